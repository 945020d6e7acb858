#include "DVD/source/Validator.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "DVD/source/title.h"
#include "Shared/source/DvdFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Fixtures.h"
#include "tests/support/TestNodes.h"
#include "tests/support/TestSinks.h"

using kxtest::TestNode;

namespace
{

// Reports the same text for every reference of field 1 and nothing else.
class FieldOneChecker : public CDvdValidator
{
public:
    CDvdValidationMessage* Visit(const CDvdReference& reference) override
    {
        ++visits;
        return reference.nField == 1 ? new CDvdValidationMessage(reference, "bad field") : nullptr;
    }
    int visits = 0;
};

} // namespace

TEST(Validator, MessagesAreKeptWithoutDuplicates)
{
    TestNode a(DVDNODE_PGC, nullptr);
    TestNode b(DVDNODE_PGC, nullptr);
    CDvdValidationMessages messages;
    messages.Add(new CDvdValidationMessage(CDvdReference(&a, 1, 0), "one"));
    messages.Add(new CDvdValidationMessage(CDvdReference(&a, 1, 0), "one")); // same: dropped
    messages.Add(new CDvdValidationMessage(CDvdReference(&a, 1, 0), "One")); // text differs in case
    messages.Add(new CDvdValidationMessage(CDvdReference(&a, 1, 1), "one")); // index differs
    messages.Add(new CDvdValidationMessage(CDvdReference(&b, 1, 0), "one")); // node differs
    messages.Add(nullptr);
    ASSERT_EQ(messages.GetSize(), 4u);
    EXPECT_STREQ(messages[1]->GetText(), "One");
    EXPECT_EQ(messages[3]->GetReference().pNode, &b);
}

TEST(Validator, CheckListsWhatTheVisitFinds)
{
    TestNode node(DVDNODE_PGC, nullptr);
    FieldOneChecker checker;
    CDvdValidationMessages messages;
    EXPECT_FALSE(checker.Check(CDvdReference(&node, 0, 0), messages));
    EXPECT_TRUE(checker.Check(CDvdReference(&node, 1, 0), messages));
    EXPECT_TRUE(checker.Check(CDvdReference(&node, 1, 0), messages)); // reported again, listed once
    EXPECT_EQ(checker.visits, 3);
    EXPECT_EQ(messages.GetSize(), 1u);

    CDvdValidator base;
    EXPECT_FALSE(base.Check(CDvdReference(&node, 1, 0), messages));
    EXPECT_EQ(messages.GetSize(), 1u);
}

// ---- The editor's checks ----------------------------------------------------------------

namespace
{

// The texts the validator finds for one reference.
std::vector<std::string> MessagesOf(const CDvdReference& reference)
{
    CDvdStructureValidator validator;
    CDvdValidationMessages messages;
    validator.Check(reference, messages);
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < messages.GetSize(); ++i)
        texts.push_back(static_cast<const char*>(messages[i]->GetText()));
    return texts;
}

// Every message of a whole disc, in the chain form, one string per line.
std::vector<std::string> DiscMessages(CDvd& dvd)
{
    CDvdStructureValidator validator;
    CDvdValidationMessages messages;
    dvd.Validate(validator, messages);
    std::vector<std::string> lines;
    for (uint32_t i = 0; i < messages.GetSize(); ++i)
    {
        CDvdValidationMessages one;
        one.Add(new CDvdValidationMessage(messages[i]->GetReference(), messages[i]->GetText()));
        lines.push_back(static_cast<const char*>(one.FormatReferenceChain(1)));
    }
    return lines;
}

struct Disc
{
    explicit Disc(const char* fixture)
    {
        const std::string folder = kxtest::FixturePath(fixture, "VIDEO_TS");
        ok = !folder.empty() && dvd.Read(log, folder.c_str(), nullptr);
    }
    kxtest::RecordingLog log;
    CDvd dvd;
    bool ok = false;
};

const BYTE kNop[8] = {0, 0, 0, 0, 0, 0, 0, 0};

void GotoLine(BYTE* pCommand, BYTE nLine)
{
    const BYTE bytes[8] = {0x00, 0x01, 0, 0, 0, 0, 0, nLine};
    memcpy(pCommand, bytes, 8);
}

// A title set whose title table holds one title PGC of title 1.
CPgc* AddTitlePgc(CVts& vts)
{
    CPgc* pPgc = new CPgc(0, &vts.GetPgcTable());
    vts.GetPgcTable().AddPgc(pPgc);
    pPgc->m_nCategory = 0x81;
    return pPgc;
}

} // namespace

TEST(StructureValidator, DiscTitleSetLimit)
{
    struct Case
    {
        unsigned titleSets;
        const char* message;
    } cases[] = {{99, nullptr}, {100, "Too many Title Sets (max 99)"}};
    for (const Case& c : cases)
    {
        CDvd dvd;
        dvd.Clear();
        for (unsigned i = 0; i < c.titleSets; ++i)
            dvd.AddVtsCopy(CVts(nullptr));
        const std::vector<std::string> texts = MessagesOf(CDvdReference(&dvd, 0, 0));
        if (c.message == nullptr)
            EXPECT_TRUE(texts.empty()) << c.titleSets;
        else
            EXPECT_EQ(texts, std::vector<std::string>{c.message}) << c.titleSets;
    }
}

TEST(StructureValidator, TooManyCellsIsReportedBeforeTooManyPrograms)
{
    CreateStockCells();
    CDvd dvd;
    CPgc* pPgc = AddTitlePgc(*dvd.GetVts(0));
    for (int i = 0; i < 120; ++i)
        pPgc->AddBlankProgram();
    for (int i = 0; i < 136; ++i)
        pPgc->AddBlankCell();
    ASSERT_EQ(pPgc->GetIfoCellCount(), 256u);
    EXPECT_EQ(MessagesOf(CDvdReference(pPgc, 0, 0)), std::vector<std::string>{"Too many cells in the PGC (max 255)"});
    // Without the extra cells the programs are what is wrong.
    CPgc* pShort = AddTitlePgc(*dvd.GetVts(0));
    for (int i = 0; i < 120; ++i)
        pShort->AddBlankProgram();
    EXPECT_EQ(MessagesOf(CDvdReference(pShort, 0, 0)),
              std::vector<std::string>{"Too many programs in the PGC (max 99)"});
}

TEST(StructureValidator, TitlePgcWithoutOrBeyondItsTitle)
{
    CDvd dvd;
    CVts& vts = *dvd.GetVts(0);
    CPgc* pPgc = AddTitlePgc(vts);
    pPgc->m_nCategory = 0;
    EXPECT_EQ(MessagesOf(CDvdReference(pPgc, 0, 0)), std::vector<std::string>{"PGC is not assigned to any title"});
    pPgc->m_nCategory = 0x82;
    vts.GetTitles().AddTitle(CChapterEntry());
    EXPECT_EQ(MessagesOf(CDvdReference(pPgc, 0, 0)),
              std::vector<std::string>{"PGC is assigned to title 2 while there are only 1 titles in VTS"});
}

TEST(StructureValidator, GotoItsOwnLineIsALoop)
{
    CDvd dvd;
    CPgc* pPgc = AddTitlePgc(*dvd.GetVts(0));
    BYTE gotoTwo[8];
    GotoLine(gotoTwo, 2);
    pPgc->m_preCommands.Add(gotoTwo);
    pPgc->m_preCommands.Add(gotoTwo);
    // Line 1 jumps on to line 2; line 2 jumps to itself.
    EXPECT_TRUE(MessagesOf(pPgc->m_preCommands.GetReference(0)).empty());
    EXPECT_EQ(MessagesOf(pPgc->m_preCommands.GetReference(1)),
              std::vector<std::string>{"Infinite loop. Command points to itself."});
}

TEST(StructureValidator, MenuEntryPgcWithPrevLink)
{
    CDvd dvd;
    CLanguageUnit* pUnit = dvd.GetVts(0)->GetLanguageUnits().AddUnit();
    CPgc* pMenu = new CPgc(1, pUnit);
    pUnit->AddPgc(pMenu);
    pMenu->m_nCategory = 0x83;
    pMenu->m_wPrevPgc = 1;
    EXPECT_EQ(MessagesOf(CDvdReference(pMenu, PGCFIELD_PREV, 0)),
              std::vector<std::string>{"Entry PGC in menu domain can't have Prev PGC link"});
    pMenu->m_nCategory = 0x03; // not an entry
    EXPECT_TRUE(MessagesOf(CDvdReference(pMenu, PGCFIELD_PREV, 0)).empty());
}

TEST(StructureValidator, DuplicateVisitsAndTheCapOfTheChain)
{
    CDvd dvd;
    dvd.Clear();
    for (unsigned i = 0; i < 100; ++i)
        dvd.AddVtsCopy(CVts(nullptr));
    CDvdStructureValidator validator;
    CDvdValidationMessages messages;
    EXPECT_TRUE(validator.Check(CDvdReference(&dvd, 0, 0), messages));
    EXPECT_TRUE(validator.Check(CDvdReference(&dvd, 0, 0), messages));
    EXPECT_EQ(messages.GetSize(), 1u);

    CDvdValidationMessages many;
    for (uint32_t i = 0; i < 25; ++i)
        many.Add(new CDvdValidationMessage(CDvdReference(&dvd, 0, i), FormatString("m%u", i)));
    const std::string chain = static_cast<const char*>(many.FormatReferenceChain(20));
    size_t lines = 1;
    for (char ch : chain)
        lines += ch == '\n';
    EXPECT_EQ(lines, 20u);
    EXPECT_EQ(chain.substr(chain.size() - 12), " >> m19 ... ");
}

TEST(StructureValidator, CommandDomainTable)
{
    struct Case
    {
        BYTE bytes[8];
        uint8_t domain;
        const char* error;
    } cases[] = {
        {{0x00, 0x00, 0, 0, 0, 0, 0, 0}, DVDDOMAIN_VMG_MENU, ""},         // NOP
        {{0xE0, 0, 0, 0, 0, 0, 0, 0}, DVDDOMAIN_VMG_MENU, "Bad command"}, // type 7
        {{0x52, 0x00, 0x00, 0x0A, 0x00, 0x01, 0, 0},
         DVDDOMAIN_VMG_MENU,
         "Command is not allowed in this domain"}, // SetNVTMR
        {{0x52, 0x00, 0x00, 0x0A, 0x00, 0x01, 0, 0}, DVDDOMAIN_TITLE, ""},
        {{0x20, 0x01, 0, 0, 0, 0, 0, 0x0D}, DVDDOMAIN_VTS_MENU, "Command is not allowed in this domain"}, // LinkTailPGC
        {{0x20, 0x01, 0, 0, 0, 0, 0, 0x0D}, DVDDOMAIN_VTS_MENU | DVDDOMAIN_COMMAND_GROUP, ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(CheckCommandDomain(c.bytes, c.domain), c.error) << int(c.bytes[0]) << " in " << int(c.domain);
}

TEST(StructureValidator, FixtureDiscsValidateClean)
{
    for (const char* fixture : {"pal1", "pal1split", "ntscmenu", "twovts"})
    {
        Disc disc(fixture);
        if (!disc.ok)
            GTEST_SKIP() << "fixture " << fixture << " not generated";
        EXPECT_EQ(DiscMessages(disc.dvd), std::vector<std::string>()) << fixture;
    }
}

// The cmdtable disc compiles every statement dvdauthor knows, also those the
// DVD-Video standard does not allow where the fixture puts them: stream
// selections in the VMG menus (statements 17-20, 45 and 47) and link
// sub-instructions in pre-commands, which only cell and button commands may
// use (VMG menu PGCs 38-40 and title PGCs 7-11).
TEST(StructureValidator, CmdtableMessagesAreThoseOfItsStatements)
{
    Disc disc("cmdtable");
    if (!disc.ok)
        GTEST_SKIP() << "fixture cmdtable not generated";
    const std::string kText = " >> Invalid command format or command is not allowed in this domain";
    std::vector<std::string> expected;
    for (int pgc : {17, 18, 19, 20, 38, 39, 40, 45, 47})
        expected.push_back("VMG/LUs/Menu en/PGC " + std::to_string(pgc) + "/pre cmd 1" + kText);
    for (int pgc : {7, 8, 9, 10, 11})
        expected.push_back("VTS 1/PGCs/PGC " + std::to_string(pgc) + "/pre cmd 1" + kText);
    EXPECT_EQ(DiscMessages(disc.dvd), expected);
}

// References broken on purpose through the model: each gives one message,
// on the reference that holds the broken number.
TEST(StructureValidator, BrokenReferencesOfTheModel)
{
    struct Case
    {
        const char* name;
        void (*breakIt)(CDvd& dvd);
        const char* line;
    } cases[] = {
        {"link to a PGC that is gone", [](CDvd& dvd) { dvd.GetVts(0)->GetPgcTable().GetPgc(0)->m_wNextPgc = 9; },
         "VTS 1/PGCs/PGC 1:NextPgc >> Invalid NextPGC destination"},
        {"button neighbour past the last button",
         [](CDvd& dvd)
         {
             CDvdButton* pButton = dvd.GetVmg().GetMenuDomain().GetBlock(0)->GetIlvu(0)->GetSegment(0)->GetButton(0);
             pButton->GetGroup(0).neighbours[BTNDIR_DOWN] = 5;
         },
         "VMG/menu blocks/menu block 1/BTN SEG 0/BTN 1:GRP 1: link down >> Reference to Button 6 while there are only "
         "3 "
         "Button(s) in this menu."},
        {"force-select button past the count",
         [](CDvd& dvd)
         {
             PciPacket hli;
             hli.SetBtnNs(3);
             hli.SetFoslBtnn(5);
             dvd.GetVmg().GetMenuDomain().GetBlock(0)->GetIlvu(0)->GetSegment(0)->SetFromHli(hli, 0);
         },
         "VMG/menu blocks/menu block 1/BTN SEG 0:force select button >> Force select button is 5 while there are only "
         "3 "
         "Button(s) in this menu."},
        {"audio control beyond the streams",
         [](CDvd& dvd) { dvd.GetVts(0)->GetPgcTable().GetPgc(0)->m_audio[6].bEnabled = 1; },
         "VTS 1/PGCs/PGC 1:audio 7 >> There are only 1 audio tracks defined in this domain"},
        {"sub-picture control beyond the streams",
         [](CDvd& dvd) { dvd.GetVts(0)->GetPgcTable().GetPgc(0)->m_subpictures[9].bEnabled = 1; },
         "VTS 1/PGCs/PGC 1:subs 10 >> There are only 0 sub-picture tracks defined in this domain"},
        {"cell command past the count",
         [](CDvd& dvd) { dvd.GetVts(0)->GetPgcTable().GetPgc(1)->GetCell(0)->m_nCellCommand = 4; },
         "VTS 1/PGCs/PGC 2/ c1 >> Reference to Cell Command 4 while there are only 1 Cell Commands(s)."},
        {"chapter past the title's programs",
         [](CDvd& dvd)
         {
             CChapterEntry chapter;
             chapter.m_wProgram = 7;
             dvd.GetVts(0)->GetTitles().GetTitle(0)->AddChapter(chapter);
         },
         "VTS 1/Titles/Title 1:chapter 3 >> Reference to Program 8 while there are only 2 Program(s) available in PGC "
         "1."},
        {"command not allowed in its domain",
         [](CDvd& dvd)
         {
             const BYTE setTimer[8] = {0x52, 0x00, 0x00, 0x0A, 0x00, 0x01, 0x00, 0x00};
             dvd.GetVmg().GetLanguageUnits().GetUnit(0)->GetPgc(0)->m_preCommands.Add(setTimer);
         },
         "VMG/LUs/Menu en/PGC 1/pre cmd 3 >> Invalid command format or command is not allowed in this domain"},
    };
    for (const Case& c : cases)
    {
        Disc disc("ntscmenu");
        if (!disc.ok)
            GTEST_SKIP() << "fixture ntscmenu not generated";
        c.breakIt(disc.dvd);
        EXPECT_EQ(DiscMessages(disc.dvd), std::vector<std::string>{c.line}) << c.name;
    }
}
