#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "DVD/source/title.h"
#include "Shared/source/DvdFormat.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

namespace
{

// A disc of empty title sets with a First Play PGC (unless told otherwise)
// and VMG titles that name title set 1.
std::unique_ptr<CDvd> MakeDisc(unsigned nTitleSets, unsigned nTitles, bool bFirstPlay = true)
{
    std::unique_ptr<CDvd> pDvd(new CDvd);
    pDvd->Clear();
    for (unsigned i = 0; i < nTitleSets; ++i)
        pDvd->AddVtsCopy(CVts(nullptr));
    for (unsigned i = 0; i < nTitles; ++i)
        pDvd->GetVmg().GetTitles().AddEntry(CVmgTitleEntry());
    if (bFirstPlay)
        pDvd->GetVmg().CreateFirstPlayPgc();
    return pDvd;
}

CDvdDiscArray Discs(std::initializer_list<CDvd*> discs)
{
    CDvdDiscArray array;
    for (CDvd* pDisc : discs)
        array.Add(pDisc);
    return array;
}

// A VMG menu PGC whose pre-commands are the given commands.
void AddVmgMenuCommands(CDvd& dvd, const std::vector<std::vector<BYTE>>& commands)
{
    CLanguageUnits& units = dvd.GetVmg().GetLanguageUnits();
    CLanguageUnit* pUnit = units.GetUnitCount() ? units.GetUnit(0) : units.AddUnit();
    CPgc* pPgc = new CPgc(1, pUnit);
    pUnit->AddPgc(pPgc);
    for (const std::vector<BYTE>& command : commands)
        pPgc->m_preCommands.Add(command.data());
}

// The commands that set every general register, and one that reads the
// title number (system register 4) into register 0.
std::vector<std::vector<BYTE>> AllRegisterCommands(bool bReadTitle)
{
    std::vector<std::vector<BYTE>> commands;
    for (BYTE r = 0; r < 16; ++r)
        commands.push_back({0x71, 0x00, 0x00, r, 0x00, 0x01, 0x00, 0x00});
    if (bReadTitle)
        commands.push_back({0x61, 0x00, 0x00, 0x00, 0x00, 0x84, 0x00, 0x00});
    return commands;
}

// Copies of the blocks of a domain in the disc's VMG menu domain.
void AddMenuBlocks(CDvd& dvd, const CAngleBlockList& domain)
{
    CAngleBlockArray blocks;
    domain.GetBlocks(blocks);
    CBlockMap map;
    dvd.GetVmg().GetMenuDomain().CopyBlocks(blocks, map);
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

std::string Bytes(const BYTE* pCommand)
{
    std::string text;
    for (int i = 0; i < 8; ++i)
        text += FormatString("%02x", pCommand[i]).operator LPCSTR();
    return text;
}

} // namespace

TEST(DvdMerge, CheckMergeTable)
{
    CreateStockCells();
    const std::string kSelectTwo = "Select two disks for merger.\r\n";
    const std::string kTitleSets = "More then 98 TitleSets in selected disks.\r\n";
    const std::string kTitles = "More then 98 VMG Titles in selected disks.\r\n";
    const std::string kNoFirstPlay = "Disk without FirstPlay PGC is selected.\r\n";
    const std::string kStreams =
        "WARNING: Different VMG streams detected. This may have an undesired effect on the playback of the DVD.\r\n";
    const std::string kRegister =
        "vmg_title register is used for navigation in disk 2. Command(s) can not be adjusted automatically\r\n";

    auto small = MakeDisc(1, 1);
    auto other = MakeDisc(1, 1);
    auto third = MakeDisc(1, 1);
    auto fifty = MakeDisc(50, 1);
    auto fiftyMore = MakeDisc(50, 1);
    auto titles50 = MakeDisc(1, 50);
    auto titles49 = MakeDisc(1, 49);
    auto titles48 = MakeDisc(1, 48);
    auto noFirstPlay = MakeDisc(1, 1, false);
    // VMG menus of NTSC video and menus made of a PAL title set's blocks.
    Disc menus("ntscmenu");
    Disc titles("twovts");
    if (!menus.ok || !titles.ok)
        GTEST_SKIP() << "fixtures ntscmenu and twovts not generated";
    auto ntsc = MakeDisc(1, 1);
    AddMenuBlocks(*ntsc, menus.dvd.GetVmg().GetMenuDomain());
    auto pal = MakeDisc(1, 1);
    AddMenuBlocks(*pal, titles.dvd.GetVts(0)->GetTitleDomain());
    auto allRegisters = MakeDisc(1, 1);
    AddVmgMenuCommands(*allRegisters, AllRegisterCommands(false));
    auto allRegistersTitle = MakeDisc(1, 1);
    AddVmgMenuCommands(*allRegistersTitle, AllRegisterCommands(true));

    struct Case
    {
        const char* name;
        CDvdDiscArray discs;
        bool answer;
        std::string messages;
    } cases[] = {
        {"one disc", Discs({small.get()}), false, kSelectTwo},
        {"three discs", Discs({small.get(), other.get(), third.get()}), false, kSelectTwo},
        {"two small discs", Discs({small.get(), other.get()}), true, ""},
        {"50 + 50 title sets", Discs({fifty.get(), fiftyMore.get()}), false, kTitleSets},
        {"50 + 49 VMG titles", Discs({titles50.get(), titles49.get()}), false, kTitles},
        {"50 + 48 VMG titles", Discs({titles50.get(), titles48.get()}), true, ""},
        {"no First Play", Discs({small.get(), noFirstPlay.get()}), false, kNoFirstPlay},
        {"different VMG menu streams", Discs({pal.get(), ntsc.get()}), true, kStreams},
        {"same VMG menu streams", Discs({ntsc.get(), &menus.dvd}), true, ""},
        {"menus without streams after others", Discs({ntsc.get(), small.get()}), true, ""},
        {"all registers, no title read", Discs({small.get(), allRegisters.get()}), true, ""},
        {"all registers and a title read", Discs({small.get(), allRegistersTitle.get()}), false, kRegister},
        {"all registers on the first disc", Discs({allRegistersTitle.get(), small.get()}), true, ""},
    };
    for (const Case& c : cases)
    {
        CString strMessages = "stale";
        EXPECT_EQ(CDvd::CheckMerge(c.discs, strMessages), c.answer) << c.name;
        EXPECT_EQ(std::string(strMessages), c.messages) << c.name;
    }
}

TEST(DvdMerge, RefusedDiscsLeaveTheDestinationReset)
{
    CreateStockCells();
    auto a = MakeDisc(2, 1);
    auto b = MakeDisc(1, 1);
    auto c = MakeDisc(1, 1);
    CDvd merged;
    merged.GetVmg().CreateFirstPlayPgc();
    EXPECT_FALSE(merged.Merge(Discs({a.get(), b.get(), c.get()}), nullptr));
    EXPECT_EQ(merged.GetVtsCount(), 1u);
    EXPECT_EQ(merged.GetVmg().GetFirstPlayPgc(), nullptr);
    EXPECT_EQ(merged.GetVmg().GetTitles().GetEntryCount(), 0u);
    EXPECT_EQ(a->GetVtsCount(), 2u);
}

TEST(DvdMerge, MergedDiscOfTwoFixtures)
{
    CreateStockCells();
    Disc first("pal1");
    Disc second("twovts");
    if (!first.ok || !second.ok)
        GTEST_SKIP() << "fixtures pal1 and twovts not generated";
    const unsigned a = first.dvd.GetVtsCount();
    const unsigned b = second.dvd.GetVtsCount();
    const uint32_t ta = first.dvd.GetVmg().GetTitles().GetEntryCount();
    const uint32_t tb = second.dvd.GetVmg().GetTitles().GetEntryCount();
    CDvd merged;
    ASSERT_TRUE(merged.Merge(Discs({&first.dvd, &second.dvd}), nullptr));

    // The sources are untouched.
    EXPECT_NE(first.dvd.GetVmg().GetFirstPlayPgc(), nullptr);
    EXPECT_NE(second.dvd.GetVmg().GetFirstPlayPgc(), nullptr);
    EXPECT_EQ(first.dvd.GetVtsCount(), a);

    const unsigned n = a + b + 1;
    ASSERT_EQ(merged.GetVtsCount(), n);
    const CVmgTitles& titles = merged.GetVmg().GetTitles();
    ASSERT_EQ(titles.GetEntryCount(), ta + tb + 1);
    EXPECT_EQ(titles.GetEntry(ta + tb)->nVts, n - 1);
    EXPECT_EQ(titles.GetEntry(ta + tb)->nTitle, 0);
    // Disc 2's titles name its title sets after disc 1's.
    EXPECT_EQ(titles.GetEntry(ta)->nVts, second.dvd.GetVmg().GetTitles().GetEntry(0)->nVts + a);

    const CVts& chooserSet = *merged.GetVts(n - 1);
    ASSERT_EQ(chooserSet.GetTitles().GetTitleCount(), 1u);
    ASSERT_EQ(chooserSet.GetPgcTable().GetPgcCount(), 1u);
    EXPECT_EQ(chooserSet.GetPgcTable().GetPgc(0)->GetProgramCount(), 1);

    // First Play: Jump VMG PGC x + 1, whose one command starts the root menu
    // of title set n.
    const CPgc* pFirstPlay = merged.GetVmg().GetFirstPlayPgc();
    ASSERT_NE(pFirstPlay, nullptr);
    ASSERT_EQ(pFirstPlay->m_preCommands.GetCount(), 1u);
    const CNavCommand jump = CNavCommand::FromBytes(DVDDOMAIN_FIRST_PLAY, pFirstPlay->m_preCommands.GetCommand(0));
    ASSERT_EQ(jump.GetInstruction().GetCode(), NAV_JUMP_VMG_PGC);
    const CLanguageUnit* pVmgUnit = merged.GetVmg().GetLanguageUnits().GetUnit(0);
    const uint32_t x = jump.GetInstruction().GetParam(0) - 1u;
    ASSERT_LT(x, pVmgUnit->GetPgcCount());
    const CPgc* pStart = pVmgUnit->GetPgc(x);
    EXPECT_EQ(pStart->m_nCategory, 0x82);
    ASSERT_EQ(pStart->m_preCommands.GetCount(), 1u);
    const CNavCommand root = CNavCommand::FromBytes(DVDDOMAIN_VMG_MENU, pStart->m_preCommands.GetCommand(0));
    EXPECT_EQ(root.GetInstruction().GetCode(), NAV_JUMP_VTS_MENU);
    EXPECT_EQ(root.GetInstruction().GetParam(0), n);
    EXPECT_EQ(root.GetInstruction().GetParam(1), 3);
    EXPECT_EQ(root.GetInstruction().GetParam(2), 1);

    // The chooser's commands.
    ASSERT_EQ(chooserSet.GetLanguageUnits().GetUnitCount(), 1u);
    const CPgc* pChooser = chooserSet.GetLanguageUnits().GetUnit(0)->GetPgc(0);
    EXPECT_EQ(pChooser->m_nCategory, 0x83);
    ASSERT_EQ(pChooser->m_preCommands.GetCount(), 17u);
    for (uint32_t r = 0; r < 16; ++r)
    {
        const CNavCommand set = CNavCommand::FromBytes(DVDDOMAIN_VTS_MENU, pChooser->m_preCommands.GetCommand(r));
        EXPECT_EQ(set.GetType(), NAV_TYPE_SYSTEM_SET);
        EXPECT_EQ(set.GetSystemSet().GetKind(), NAV_SET_GPRMMD);
        EXPECT_EQ(set.GetSystemSet().GetValue(0), r);
        EXPECT_EQ(set.GetSystemSet().GetValue(1), 0);
    }
    EXPECT_EQ(
        CNavCommand::FromBytes(DVDDOMAIN_VTS_MENU, pChooser->m_preCommands.GetCommand(16)).GetSystemSet().GetKind(),
        NAV_SET_AMXMD);
    ASSERT_EQ(pChooser->m_postCommands.GetCount(), 6u);
    const CNavCommand r0 = CNavCommand::FromBytes(DVDDOMAIN_VTS_MENU, pChooser->m_postCommands.GetCommand(0));
    EXPECT_EQ(r0.GetType(), NAV_TYPE_SET);
    EXPECT_STREQ(r0.GetSet().GetOperatorSymbol(r0.GetSet().GetOperator()), "=");
    EXPECT_EQ(r0.GetSet().GetLeft(), 0);
    EXPECT_EQ(r0.GetSet().GetRight(), 0x88);
    const CNavCommand test = CNavCommand::FromBytes(DVDDOMAIN_VTS_MENU, pChooser->m_postCommands.GetCommand(1));
    EXPECT_EQ(test.GetInstruction().GetCode(), NAV_GOTO_LINE);
    EXPECT_EQ(test.GetInstruction().GetParam(0), 5);
    EXPECT_STREQ(test.GetCompare().GetOperatorSymbol(test.GetCompare().GetOperator()), "!=");
    EXPECT_EQ(test.GetCompare().GetRight(), 1024);
    // Button 2's path: line 5 clears R[0], line 6 starts disc 2's former First Play.
    const CNavCommand clear = CNavCommand::FromBytes(DVDDOMAIN_VTS_MENU, pChooser->m_postCommands.GetCommand(4));
    EXPECT_EQ(clear.GetSystemSet().GetKind(), NAV_SET_GPRMMD);
    const CNavCommand second2 = CNavCommand::FromBytes(DVDDOMAIN_VTS_MENU, pChooser->m_postCommands.GetCommand(5));
    ASSERT_EQ(second2.GetInstruction().GetCode(), NAV_JUMP_VMG_PGC);
    const uint32_t nDisc2 = second2.GetInstruction().GetParam(0) - 1u;
    ASSERT_LT(nDisc2, pVmgUnit->GetPgcCount());
    const CPgc* pFormer = pVmgUnit->GetPgc(nDisc2);
    const CPgc* pSourceFirstPlay = second.dvd.GetVmg().GetFirstPlayPgc();
    ASSERT_EQ(pFormer->m_preCommands.GetCount(), pSourceFirstPlay->m_preCommands.GetCount());

    // The buttons: LinkTailPGC in every group, one button per disc.
    const CAngleBlockList& menus = chooserSet.GetMenuDomain();
    ASSERT_EQ(menus.GetBlockCount(), 1u);
    const CButtonSegment* pSegment = menus.GetBlock(0)->GetIlvu(0)->GetSegment(0);
    ASSERT_EQ(pSegment->GetButtonCount(), 2u);
    for (uint32_t i = 0; i < 2; ++i)
        for (uint32_t g = 0; g < pSegment->GetButton(i)->GetGroupCount(); ++g)
            EXPECT_EQ(Bytes(pSegment->GetButton(i)->GetGroup(int(g)).command), "200100000000000d");
}
