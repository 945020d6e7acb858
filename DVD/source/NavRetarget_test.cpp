#include "DVD/source/NavRetarget.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/button.h"
#include "DVD/source/title.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
typedef std::array<BYTE, 8> Bytes;

// A command of one type carrying one instruction.
struct Instr
{
    BYTE type = 0;
    BYTE code = NAV_NO_INSTRUCTION;
    WORD p1 = 0;
    WORD p2 = 0;
    WORD p3 = 0;
};

Bytes Encode(const CNavCommand& command)
{
    Bytes bytes;
    command.Encode(bytes.data());
    bool bDecoded = false;
    CNavCommand::FromBytes(DVDDOMAIN_ANY, bytes.data(), &bDecoded);
    EXPECT_TRUE(bDecoded) << "the test built a command that does not decode";
    return bytes;
}

Bytes Make(const Instr& in)
{
    CNavCommand command;
    command.SetType(in.type);
    command.GetInstruction().SetCode(in.code);
    command.GetInstruction().SetParam(0, in.p1);
    command.GetInstruction().SetParam(1, in.p2);
    command.GetInstruction().SetParam(2, in.p3);
    return Encode(command);
}

// The timer set with its PGC: SetNVTMR 30 s, then PGC nPgc.
Bytes MakeTimer(WORD wPgc)
{
    CNavCommand command;
    command.SetType(NAV_TYPE_SYSTEM_SET);
    command.GetSystemSet().SetKind(NAV_SET_NVTMR);
    command.GetSystemSet().SetImmediate(true);
    command.GetSystemSet().SetValue(0, 30);
    command.GetSystemSet().SetValue(1, wPgc);
    return Encode(command);
}

// A set: left op right, the right an immediate or a register.
Bytes MakeSet(BYTE nLeft, BYTE nOperator, WORD wRight, bool bImmediate)
{
    CNavCommand command;
    command.SetType(NAV_TYPE_SET);
    command.GetSet().SetOperator(nOperator);
    command.GetSet().SetLeft(nLeft);
    command.GetSet().SetImmediate(bImmediate);
    command.GetSet().SetRight(wRight);
    return Encode(command);
}

// if (left op right) goto line nLine.
Bytes MakeCompareGoto(BYTE nLeft, BYTE nOperator, WORD wRight, bool bImmediate, WORD wLine)
{
    CNavCommand command;
    command.SetType(NAV_TYPE_SPECIAL);
    command.GetCompare().SetOperator(nOperator);
    command.GetCompare().SetLeft(nLeft);
    command.GetCompare().SetImmediate(bImmediate);
    command.GetCompare().SetRight(wRight);
    command.GetInstruction().SetCode(NAV_GOTO_LINE);
    command.GetInstruction().SetParam1(wLine);
    return Encode(command);
}

// A block of one ILVU per angle, each one VOBU of 10 sectors, appended to
// the domain.
CAngleBlock* AddBlock(CAngleBlockList& domain, int nAngles, BYTE nFirstCellId)
{
    CAngleBlock* pBlock = nullptr;
    for (int a = 0; a < nAngles; ++a)
    {
        CCellAddress address;
        address.m_wVobId = 1;
        address.m_nCellId = BYTE(nFirstCellId + a);
        address.m_dwFirstSector = 10 * DWORD(address.m_nCellId);
        address.m_dwLastSector = address.m_dwFirstSector + 9;
        CVobuAddressList vobus;
        vobus.Add(address.m_dwFirstSector);
        CVobCell* pIlvu = new CVobCell(nullptr, address, vobus, nullptr);
        if (!pBlock)
        {
            pBlock = domain.AddCell(pIlvu, nullptr);
            continue;
        }
        pIlvu->SetParent(pBlock);
        EXPECT_TRUE(pBlock->AddCell(pIlvu, nullptr));
    }
    return pBlock;
}

CNavCommand Decode(const Bytes& bytes)
{
    return CNavCommand::FromBytes(DVDDOMAIN_ANY, bytes.data());
}

const WORD SPRM_TITLE = 0x84;
const WORD SPRM_CHAPTER = 0x87;
const WORD SPRM_PARENTAL = 0x8D;
} // namespace

// ---- Retargeting one command --------------------------------------------------------

struct RetargetCase
{
    const char* what;
    Instr before;
    int kind;
    int start;
    int delta;
    int limit;
    Instr after;
};

TEST(RetargetCommand, RenumbersTheParameterOfItsKind)
{
    const int ANY = RETARGET_NO_LIMIT;
    const RetargetCase cases[] = {
        // PGCs 3 and 4 deleted.
        {"link pgc 3 deleted", {1, NAV_LINK_PGC, 3}, 4, 3, -2, ANY, {1, NAV_LINK_PGC, 0}},
        {"link pgc 4 deleted", {1, NAV_LINK_PGC, 4}, 4, 3, -2, ANY, {1, NAV_LINK_PGC, 0}},
        {"link pgc 7 moves down", {1, NAV_LINK_PGC, 7}, 4, 3, -2, ANY, {1, NAV_LINK_PGC, 5}},
        {"link pgc 2 before the range", {1, NAV_LINK_PGC, 2}, 4, 3, -2, ANY, {1, NAV_LINK_PGC, 2}},
        {"link pgc beyond the limit", {1, NAV_LINK_PGC, 9}, 4, 3, -2, 8, {1, NAV_LINK_PGC, 9}},
        {"VMG PGC kind leaves link pgc", {1, NAV_LINK_PGC, 7}, 5, 3, -2, ANY, {1, NAV_LINK_PGC, 7}},
        {"jump vmg pgc", {2, NAV_JUMP_VMG_PGC, 7}, 5, 3, -2, ANY, {2, NAV_JUMP_VMG_PGC, 5}},
        {"call vmg pgc keeps its resume cell", {2, NAV_CALL_VMG_PGC, 4, 4}, 5, 3, -2, ANY, {2, NAV_CALL_VMG_PGC, 0, 4}},
        // Lines.
        {"goto line after an inserted line", {0, NAV_GOTO_LINE, 3}, 1, 2, 1, ANY, {0, NAV_GOTO_LINE, 4}},
        {"goto line before it", {0, NAV_GOTO_LINE, 1}, 1, 2, 1, ANY, {0, NAV_GOTO_LINE, 1}},
        {"parental level line", {0, NAV_SET_PARENTAL_LEVEL, 5, 3}, 1, 2, 1, ANY, {0, NAV_SET_PARENTAL_LEVEL, 5, 4}},
        // IFO cells, also the resume cell of the calls.
        {"link cell", {1, NAV_LINK_CELL, 4, 2}, 2, 3, 1, ANY, {1, NAV_LINK_CELL, 5, 2}},
        {"link cell deleted", {1, NAV_LINK_CELL, 3, 2}, 2, 3, -1, ANY, {1, NAV_LINK_CELL, 0, 2}},
        {"call first play resume", {2, NAV_CALL_FIRST_PLAY, 4}, 2, 3, 1, ANY, {2, NAV_CALL_FIRST_PLAY, 5}},
        {"call title menu resume", {2, NAV_CALL_VMG_TITLE_MENU, 4}, 2, 3, 1, ANY, {2, NAV_CALL_VMG_TITLE_MENU, 5}},
        {"call vts menu resume", {2, NAV_CALL_VTS_MENU, 3, 4}, 2, 3, 1, ANY, {2, NAV_CALL_VTS_MENU, 3, 5}},
        {"call vmg pgc resume", {2, NAV_CALL_VMG_PGC, 2, 4}, 2, 3, 1, ANY, {2, NAV_CALL_VMG_PGC, 2, 5}},
        {"call without a resume cell", {2, NAV_CALL_VTS_MENU, 3, 0}, 2, 0, 1, ANY, {2, NAV_CALL_VTS_MENU, 3, 0}},
        {"link program", {1, NAV_LINK_PROGRAM, 6}, 3, 2, -1, ANY, {1, NAV_LINK_PROGRAM, 5}},
        {"link chapter", {1, NAV_LINK_CHAPTER, 6}, 6, 2, 2, ANY, {1, NAV_LINK_CHAPTER, 8}},
        // Chapters of one title: the limit names the title.
        {"chapter of the named title",
         {2, NAV_JUMP_VTS_TITLE_CHAPTER, 2, 5},
         7,
         3,
         1,
         2,
         {2, NAV_JUMP_VTS_TITLE_CHAPTER, 2, 6}},
        {"chapter of another title",
         {2, NAV_JUMP_VTS_TITLE_CHAPTER, 1, 5},
         7,
         3,
         1,
         2,
         {2, NAV_JUMP_VTS_TITLE_CHAPTER, 1, 5}},
        {"chapter above the title number",
         {2, NAV_JUMP_VTS_TITLE_CHAPTER, 2, 90},
         7,
         3,
         -1,
         2,
         {2, NAV_JUMP_VTS_TITLE_CHAPTER, 2, 89}},
        {"deleted chapter", {2, NAV_JUMP_VTS_TITLE_CHAPTER, 2, 3}, 7, 3, -1, 2, {2, NAV_JUMP_VTS_TITLE_CHAPTER, 2, 0}},
        // Titles: no upper bound whatever the limit.
        {"vts title", {2, NAV_JUMP_VTS_TITLE, 5}, 8, 2, 1, 3, {2, NAV_JUMP_VTS_TITLE, 6}},
        {"title of jump to chapter",
         {2, NAV_JUMP_VTS_TITLE_CHAPTER, 5, 3},
         8,
         2,
         -1,
         3,
         {2, NAV_JUMP_VTS_TITLE_CHAPTER, 4, 3}},
        {"vmg title", {2, NAV_JUMP_VMG_TITLE, 5}, 9, 1, 3, ANY, {2, NAV_JUMP_VMG_TITLE, 8}},
        // Title sets: 0 is the own set, 255 none.
        {"title set moves", {2, NAV_JUMP_VTS_MENU, 2, 3, 1}, 10, 2, 1, ANY, {2, NAV_JUMP_VTS_MENU, 3, 3, 1}},
        {"own title set kept", {2, NAV_JUMP_VTS_MENU, 0, 3, 1}, 10, 0, 1, ANY, {2, NAV_JUMP_VTS_MENU, 0, 3, 1}},
        {"title set 255 kept", {2, NAV_JUMP_VTS_MENU, 255, 3, 1}, 10, 2, -1, ANY, {2, NAV_JUMP_VTS_MENU, 255, 3, 1}},
        {"deleted title set becomes 255",
         {2, NAV_JUMP_VTS_MENU, 2, 3, 1},
         10,
         2,
         -1,
         ANY,
         {2, NAV_JUMP_VTS_MENU, 255, 3, 1}},
        // A link carried by a set command moves too.
        {"link of a set command", {4, NAV_LINK_PGC, 7}, 4, 3, -2, ANY, {4, NAV_LINK_PGC, 5}},
    };
    for (const RetargetCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        Bytes bytes = Make(c.before);
        const Bytes expected = Make(c.after);
        const bool bChanged = RetargetCommand(bytes.data(), c.kind, c.start, c.delta, c.limit);
        EXPECT_EQ(expected, bytes);
        EXPECT_EQ(Make(c.before) != expected, bChanged);
    }
}

TEST(RetargetCommand, TimerPgcHasNoUpperLimit)
{
    Bytes deleted = MakeTimer(4);
    EXPECT_TRUE(RetargetCommand(deleted.data(), RETARGET_PGC, 3, -2, 3));
    EXPECT_EQ(MakeTimer(0), deleted);

    Bytes moved = MakeTimer(9);
    EXPECT_TRUE(RetargetCommand(moved.data(), RETARGET_PGC, 3, -2, 3));
    EXPECT_EQ(MakeTimer(7), moved);

    Bytes other = MakeTimer(9);
    EXPECT_FALSE(RetargetCommand(other.data(), RETARGET_VMG_PGC, 3, -2, RETARGET_NO_LIMIT));
    EXPECT_EQ(MakeTimer(9), other);
}

TEST(CommandRefersTo, NumbersOfTheKindInsideTheRange)
{
    struct Case
    {
        Instr command;
        int kind, first, last;
        bool refers;
    };
    const Case cases[] = {
        {{1, NAV_LINK_CELL, 4, 1}, RETARGET_IFO_CELL, 3, 5, true},
        {{1, NAV_LINK_CELL, 4, 1}, RETARGET_IFO_CELL, 5, 9, false},
        {{1, NAV_LINK_CELL, 4, 1}, RETARGET_IFO_CELL, 1, 3, false},
        {{1, NAV_LINK_CELL, 4, 1}, RETARGET_PROGRAM, 1, 9, false},
        {{1, NAV_LINK_CELL, 0, 1}, RETARGET_IFO_CELL, 0, 9, false},    // no cell
        {{2, NAV_CALL_VTS_MENU, 3, 4}, RETARGET_IFO_CELL, 4, 4, true}, // the resume cell
        {{1, NAV_LINK_NEXT_CELL}, RETARGET_IFO_CELL, 1, 9, false},
    };
    for (const Case& c : cases)
    {
        const Bytes bytes = Make(c.command);
        EXPECT_EQ(c.refers, CommandRefersTo(bytes.data(), c.kind, c.first, c.last))
            << GetInstructionInfo(c.command.code).pszName << " " << c.first << ".." << c.last;
    }
}

TEST(RetargetCommand, CommandThatDoesNotDecodeIsLeftAlone)
{
    // Link PGC 3 with a stray bit in byte 2, which no field of a link reads.
    Bytes bytes = Make({1, NAV_LINK_PGC, 3});
    bytes[2] |= 0x01;
    const Bytes original = bytes;
    EXPECT_FALSE(RetargetCommand(bytes.data(), RETARGET_PGC, 3, -2, RETARGET_NO_LIMIT));
    EXPECT_FALSE(RemoveParentalLevelChange(bytes.data()));
    CCommandOperation operation;
    operation.nOperation = COMMANDOP_FIRST_PLAY_TO_PGC;
    operation.a = 1;
    operation.b = 2;
    EXPECT_FALSE(AdjustCommandForMerge(bytes.data(), operation));
    EXPECT_EQ(original, bytes);
}

// Inserting number s and deleting it again gives every command of the
// fixtures back byte for byte, whatever it refers to.
TEST(RetargetCommand, InsertThenDeleteRestoresFixtureCommands)
{
    KX_REQUIRE_IFODUMP();
    int nMoved = 0;
    for (const char* name : {"pal1", "ntscmenu", "twovts", "cmdtable"})
    {
        KX_REQUIRE_FIXTURE(dir, name);
        std::vector<std::string> hexes;
        for (const kxtest::IfoRecord& r : kxtest::Select(kxtest::IfoDump(dir), "cmd"))
            hexes.push_back(r.Get("bytes"));
        for (const kxtest::IfoRecord& r : kxtest::Select(kxtest::IfoDump(dir, true), "btn"))
            hexes.push_back(r.Get("cmd"));
        for (const std::string& hex : hexes)
        {
            Bytes original = {};
            ASSERT_EQ(16u, hex.size());
            for (size_t i = 0; i < 8; ++i)
                original[i] = BYTE(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
            for (int kind = RETARGET_LINE; kind <= RETARGET_TITLE_SET; ++kind)
            {
                SCOPED_TRACE(std::string(name) + " " + hex + " kind " + std::to_string(kind));
                const CNavCommand decoded = Decode(original);
                const int limit =
                    kind == RETARGET_TITLE_CHAPTER ? decoded.GetInstruction().GetParam1() : RETARGET_NO_LIMIT;
                Bytes bytes = original;
                if (RetargetCommand(bytes.data(), kind, 1, 1, limit))
                {
                    nMoved++;
                    EXPECT_NE(original, bytes);
                    EXPECT_TRUE(RetargetCommand(bytes.data(), kind, 1, -1, limit));
                }
                EXPECT_EQ(original, bytes);
            }
        }
    }
    EXPECT_GT(nMoved, 0);
}

// ---- PGC links and categories --------------------------------------------------------

TEST(RetargetPgcLink, DeletedTargetsBecomeTheDeletedMark)
{
    struct Case
    {
        WORD link;
        int start, delta, limit;
        WORD expected;
    };
    const Case cases[] = {
        {4, 3, -2, RETARGET_NO_LIMIT, PGC_LINK_DELETED},
        {3, 3, -2, RETARGET_NO_LIMIT, PGC_LINK_DELETED},
        {7, 3, -2, RETARGET_NO_LIMIT, 5},
        {2, 3, -2, RETARGET_NO_LIMIT, 2},
        {0, 0, 1, RETARGET_NO_LIMIT, 0},
        {PGC_LINK_DELETED, 3, -2, RETARGET_NO_LIMIT, PGC_LINK_DELETED},
        {PGC_LINK_DELETED, 1, 1, RETARGET_NO_LIMIT, PGC_LINK_DELETED},
        {9, 3, -2, 8, 9},
        {5, 2, 1, RETARGET_NO_LIMIT, 6},
    };
    for (const Case& c : cases)
    {
        WORD link = c.link;
        EXPECT_EQ(c.link != c.expected, RetargetPgcLink(link, c.start, c.delta, c.limit)) << c.link;
        EXPECT_EQ(c.expected, link) << c.link;
    }
}

TEST(RetargetTitleCategory, KeepsTheEntryBit)
{
    struct Case
    {
        BYTE category;
        int start, delta;
        BYTE expected;
    };
    const Case cases[] = {
        {0x83, 3, -1, 0x80}, // title 3 deleted
        {0x85, 3, -1, 0x84}, {0x02, 3, -1, 0x02},
        {0x05, 3, 2, 0x07},  {0x7F, 1, 1, 0x00}, // the number stays within its 7 bits
    };
    for (const Case& c : cases)
    {
        BYTE category = c.category;
        EXPECT_EQ(c.category != c.expected, RetargetTitleCategory(category, c.start, c.delta)) << int(c.category);
        EXPECT_EQ(c.expected, category) << int(c.category);
    }
}

// ---- Tables and PGCs ---------------------------------------------------------------

namespace
{
// A title table of two PGCs, the second one the PGC under test.
struct TitlePgc : public ::testing::Test
{
    CPgcTable table{0, nullptr};
    CPgc* pPgc = nullptr;

    void SetUp() override
    {
        table.AddPgc(new CPgc(0, nullptr));
        pPgc = new CPgc(0, nullptr);
        table.AddPgc(pPgc);
    }

    static void Fill(CPgcCommands& commands, const std::vector<Bytes>& list)
    {
        for (const Bytes& b : list)
            commands.Add(b.data());
    }

    static Bytes At(const CPgcCommands& commands, uint32_t i)
    {
        Bytes bytes;
        memcpy(bytes.data(), commands.GetCommand(i), 8);
        return bytes;
    }
};
} // namespace

TEST_F(TitlePgc, DeletingPgcsRenumbersCommandsLinksAndKeepsOtherKinds)
{
    Fill(pPgc->m_preCommands, {Make({1, NAV_LINK_PGC, 3}), Make({1, NAV_LINK_PGC, 7})});
    Fill(pPgc->m_postCommands, {Make({1, NAV_LINK_PGC, 2})});
    Fill(pPgc->m_cellCommands, {MakeTimer(4)});
    pPgc->m_wNextPgc = 4;
    pPgc->m_wPrevPgc = 7;
    pPgc->m_wGoUpPgc = 1;
    pPgc->m_nCategory = 0x83;
    table.ClearModified();

    EXPECT_FALSE(RetargetPgcReferences(*pPgc, RETARGET_VMG_PGC, 3, -2, RETARGET_NO_LIMIT));
    EXPECT_EQ(4, pPgc->m_wNextPgc);
    EXPECT_FALSE(pPgc->IsModified());

    EXPECT_TRUE(RetargetPgcTableReferences(table, RETARGET_PGC, 3, -2, RETARGET_NO_LIMIT));
    EXPECT_EQ(Make({1, NAV_LINK_PGC, 0}), At(pPgc->m_preCommands, 0));
    EXPECT_EQ(Make({1, NAV_LINK_PGC, 5}), At(pPgc->m_preCommands, 1));
    EXPECT_EQ(Make({1, NAV_LINK_PGC, 2}), At(pPgc->m_postCommands, 0));
    EXPECT_EQ(MakeTimer(0), At(pPgc->m_cellCommands, 0));
    EXPECT_EQ(PGC_LINK_DELETED, pPgc->m_wNextPgc);
    EXPECT_EQ(5, pPgc->m_wPrevPgc);
    EXPECT_EQ(1, pPgc->m_wGoUpPgc);
    EXPECT_EQ(0x83, pPgc->m_nCategory); // titles are another kind
    EXPECT_TRUE(pPgc->m_preCommands.IsModified());
    EXPECT_FALSE(pPgc->m_postCommands.IsModified());
    EXPECT_TRUE(pPgc->IsModified());

    EXPECT_TRUE(RetargetPgcReferences(*pPgc, RETARGET_VTS_TITLE, 3, -1, RETARGET_NO_LIMIT));
    EXPECT_EQ(0x80, pPgc->m_nCategory);
}

TEST_F(TitlePgc, MenuPgcKeepsItsCategory)
{
    pPgc->m_nMenu = 1;
    pPgc->m_nCategory = 0x83;
    EXPECT_FALSE(RetargetPgcReferences(*pPgc, RETARGET_VTS_TITLE, 3, -1, RETARGET_NO_LIMIT));
    EXPECT_EQ(0x83, pPgc->m_nCategory);
}

TEST_F(TitlePgc, RetargetsOneCommandOfATable)
{
    Fill(pPgc->m_preCommands, {Make({0, NAV_GOTO_LINE, 2}), Make({0, NAV_GOTO_LINE, 2})});
    table.ClearModified();
    EXPECT_FALSE(RetargetTableCommand(pPgc->m_preCommands, 2, RETARGET_LINE, 1, 1, RETARGET_NO_LIMIT));
    EXPECT_FALSE(pPgc->m_preCommands.IsModified());
    EXPECT_TRUE(RetargetTableCommand(pPgc->m_preCommands, 1, RETARGET_LINE, 1, 1, RETARGET_NO_LIMIT));
    EXPECT_EQ(Make({0, NAV_GOTO_LINE, 2}), At(pPgc->m_preCommands, 0));
    EXPECT_EQ(Make({0, NAV_GOTO_LINE, 3}), At(pPgc->m_preCommands, 1));
    EXPECT_TRUE(pPgc->m_preCommands.IsModified());
}

// ---- Merge adjustments --------------------------------------------------------------

namespace
{
CCommandOperation TitleRegister(uint32_t nTitles, uint32_t nRegister)
{
    CCommandOperation operation;
    operation.nOperation = COMMANDOP_TITLE_REGISTER;
    operation.a = nTitles;
    operation.b = nRegister;
    return operation;
}
} // namespace

TEST(AdjustCommandForMerge, TitleNumberReadsGoThroughTheRegister)
{
    const CCommandOperation operation = TitleRegister(3, 5);
    struct Case
    {
        const char* what;
        Bytes before;
        Bytes after;
    };
    const Case cases[] = {
        {"compare left", MakeCompareGoto(BYTE(SPRM_TITLE), 2, 1, true, 4), MakeCompareGoto(5, 2, 1, true, 4)},
        {"compare right register", MakeCompareGoto(2, 2, SPRM_TITLE, false, 4), MakeCompareGoto(2, 2, 5, false, 4)},
        {"compare right immediate 132", MakeCompareGoto(2, 2, SPRM_TITLE, true, 4),
         MakeCompareGoto(2, 2, SPRM_TITLE, true, 4)},
        {"set source", MakeSet(1, 1, SPRM_TITLE, false), MakeSet(1, 1, 5, false)},
        {"other system register", MakeSet(1, 1, SPRM_CHAPTER, false), MakeSet(1, 1, SPRM_CHAPTER, false)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Bytes bytes = c.before;
        EXPECT_EQ(c.before != c.after, AdjustCommandForMerge(bytes.data(), operation));
        EXPECT_EQ(c.after, bytes);
    }
    EXPECT_TRUE(CanAdjustCommandForMerge(cases[0].before.data(), operation));
    EXPECT_FALSE(CanAdjustCommandForMerge(cases[0].before.data(), TitleRegister(3, 16)));
}

TEST(AdjustCommandForMerge, FirstPlayAndTitleMenuBecomeVmgPgc)
{
    CCommandOperation firstPlay;
    firstPlay.nOperation = COMMANDOP_FIRST_PLAY_TO_PGC;
    firstPlay.a = 1;
    firstPlay.b = 4;
    CCommandOperation titleMenu = firstPlay;
    titleMenu.a = 2;
    struct Case
    {
        const CCommandOperation* operation;
        Instr before;
        Instr after;
    };
    const Case cases[] = {
        {&firstPlay, {2, NAV_JUMP_FIRST_PLAY}, {2, NAV_JUMP_VMG_PGC, 4}},
        {&firstPlay, {2, NAV_CALL_FIRST_PLAY, 3}, {2, NAV_CALL_VMG_PGC, 4, 3}},
        {&firstPlay, {2, NAV_JUMP_VMG_TITLE_MENU}, {2, NAV_JUMP_VMG_TITLE_MENU}},
        {&titleMenu, {2, NAV_JUMP_VMG_TITLE_MENU}, {2, NAV_JUMP_VMG_PGC, 4}},
        {&titleMenu, {2, NAV_CALL_VMG_TITLE_MENU, 2}, {2, NAV_CALL_VMG_PGC, 4, 2}},
        {&titleMenu, {2, NAV_CALL_FIRST_PLAY, 3}, {2, NAV_CALL_FIRST_PLAY, 3}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(GetInstructionInfo(c.before.code).pszName);
        Bytes bytes = Make(c.before);
        EXPECT_EQ(Make(c.before) != Make(c.after), AdjustCommandForMerge(bytes.data(), *c.operation));
        EXPECT_EQ(Make(c.after), bytes);
        EXPECT_TRUE(CanAdjustCommandForMerge(bytes.data(), *c.operation));
    }
    CCommandOperation bypass;
    bypass.nOperation = COMMANDOP_BYPASS;
    EXPECT_FALSE(CanAdjustCommandForMerge(Make({2, NAV_JUMP_FIRST_PLAY}).data(), bypass));
}

namespace
{
// A PGC of nTotal commands whose pre- and post-commands read the current
// title number (when asked) and whose cell commands are NOPs.
void FillForMerge(CPgc& pgc, uint32_t nTotal, bool bPreReads, bool bPostReads, bool bCellReads)
{
    const Bytes reads = MakeCompareGoto(BYTE(SPRM_TITLE), 2, 1, true, 2);
    const Bytes nop = Make({0, NAV_NOP});
    pgc.m_preCommands.Add((bPreReads ? reads : nop).data());
    pgc.m_preCommands.Add(nop.data());
    pgc.m_postCommands.Add((bPostReads ? reads : nop).data());
    pgc.m_cellCommands.Add((bCellReads ? reads : nop).data());
    while (pgc.GetCommandCount() < nTotal)
        pgc.m_cellCommands.Add(nop.data());
}
} // namespace

TEST_F(TitlePgc, MergeRefusesWhatWouldExceed128Commands)
{
    FillForMerge(*pPgc, 125, true, true, false);
    EXPECT_FALSE(CanAdjustPgcForMerge(*pPgc, TitleRegister(3, 5)));
    EXPECT_FALSE(CanAdjustPgcTableForMerge(table, TitleRegister(3, 5)));
}

TEST_F(TitlePgc, MergeGrowsBothTablesByTwoLinesTo128)
{
    FillForMerge(*pPgc, 124, true, true, false);
    ASSERT_TRUE(CanAdjustPgcForMerge(*pPgc, TitleRegister(3, 5)));
    ASSERT_TRUE(RetargetPgcTableCommands(table, TitleRegister(3, 5)));
    EXPECT_EQ(128u, pPgc->GetCommandCount());

    Bytes load;
    Bytes subtract;
    MakeTitleRegisterCommands(TitleRegister(3, 5), load.data(), subtract.data());
    EXPECT_EQ(MakeSet(5, 1, SPRM_TITLE, false), load);
    EXPECT_EQ(MakeSet(5, 4, 3, true), subtract);
    for (const CPgcCommands* pTable : {&pPgc->m_preCommands, &pPgc->m_postCommands})
    {
        EXPECT_EQ(load, At(*pTable, 0));
        EXPECT_EQ(subtract, At(*pTable, 1));
        // The former first line, now third, reads r[5] and its goto moved by
        // the two inserted lines.
        EXPECT_EQ(MakeCompareGoto(5, 2, 1, true, 4), At(*pTable, 2));
    }
    EXPECT_EQ(4u, pPgc->m_preCommands.GetCount());
    EXPECT_EQ(3u, pPgc->m_postCommands.GetCount());
}

TEST_F(TitlePgc, MergeChecksOfTheTitleRegister)
{
    struct Case
    {
        const char* what;
        bool pre, post, cell;
        uint32_t nRegister;
        bool accepted;
    };
    const Case cases[] = {
        {"nothing reads the title", false, false, false, 16, true},
        {"a cell command reads it", false, false, true, 5, false},
        {"pre-commands with a general register", true, false, false, 5, true},
        {"pre-commands without a free register", true, false, false, 16, false},
        {"post-commands without a free register", false, true, false, 16, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        CPgc pgc(0, nullptr);
        FillForMerge(pgc, 10, c.pre, c.post, c.cell);
        EXPECT_EQ(c.accepted, CanAdjustPgcForMerge(pgc, TitleRegister(2, c.nRegister)));
    }
    CCommandOperation bypass;
    bypass.nOperation = COMMANDOP_BYPASS;
    CPgc pgc(0, nullptr);
    FillForMerge(pgc, 10, true, true, true);
    EXPECT_TRUE(CanAdjustPgcForMerge(pgc, bypass));
}

TEST_F(TitlePgc, TitleRegisterLeavesCellCommandsAndUnreadTables)
{
    FillForMerge(*pPgc, 6, true, false, false);
    pPgc->m_cellCommands.Add(MakeCompareGoto(BYTE(SPRM_TITLE), 2, 1, true, 2).data());
    table.ClearModified();
    EXPECT_TRUE(RetargetPgcCommands(*pPgc, TitleRegister(1, 7)));
    EXPECT_EQ(4u, pPgc->m_preCommands.GetCount());
    EXPECT_EQ(1u, pPgc->m_postCommands.GetCount());
    EXPECT_FALSE(pPgc->m_postCommands.IsModified());
    EXPECT_EQ(MakeCompareGoto(BYTE(SPRM_TITLE), 2, 1, true, 2),
              At(pPgc->m_cellCommands, pPgc->m_cellCommands.GetCount() - 1));
}

// ---- Parental levels ----------------------------------------------------------------

TEST(RemoveParentalLevelChange, BecomesGotoAndReadsLevel15)
{
    struct Case
    {
        const char* what;
        Bytes before;
        Bytes after;
    };
    // Type 6: if (R[2] == 7) R[1] = parental level, link sub-instruction.
    CNavCommand compareFirst;
    compareFirst.SetType(NAV_TYPE_COMPARE_SET_LINK);
    compareFirst.GetCompare().SetOperator(2);
    compareFirst.GetCompare().SetLeft(2);
    compareFirst.GetCompare().SetImmediate(true);
    compareFirst.GetCompare().SetRight(7);
    compareFirst.GetSet().SetOperator(1);
    compareFirst.GetSet().SetLeft(1);
    compareFirst.GetSet().SetImmediate(false);
    compareFirst.GetSet().SetRight(SPRM_PARENTAL);
    compareFirst.GetInstruction().SetCode(NAV_LINK_NO_LINK);
    const Bytes compareFirstBytes = Encode(compareFirst);

    const Case cases[] = {
        {"set parental level", Make({0, NAV_SET_PARENTAL_LEVEL, 5, 3}), Make({0, NAV_GOTO_LINE, 3})},
        {"set reads the level", MakeSet(1, 1, SPRM_PARENTAL, false), MakeSet(1, 1, 15, true)},
        {"set reads another register", MakeSet(1, 1, SPRM_CHAPTER, false), MakeSet(1, 1, SPRM_CHAPTER, false)},
        {"immediate 141", MakeSet(1, 1, SPRM_PARENTAL, true), MakeSet(1, 1, SPRM_PARENTAL, true)},
        // An immediate source would leave no room for the compare's
        // immediate operand: the command stays as it is.
        {"compare first with an immediate", compareFirstBytes, compareFirstBytes},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Bytes bytes = c.before;
        EXPECT_EQ(c.before != c.after, RemoveParentalLevelChange(bytes.data()));
        EXPECT_EQ(c.after, bytes);
    }
}

TEST_F(TitlePgc, ParentalLevelRemovalMarksOnlyChangedTables)
{
    Fill(pPgc->m_preCommands, {Make({0, NAV_NOP}), Make({0, NAV_SET_PARENTAL_LEVEL, 4, 1})});
    Fill(pPgc->m_postCommands, {Make({0, NAV_NOP})});
    table.ClearModified();
    EXPECT_TRUE(RemoveParentalLevelChanges(pPgc->m_preCommands));
    EXPECT_FALSE(RemoveParentalLevelChanges(pPgc->m_postCommands));
    EXPECT_EQ(Make({0, NAV_GOTO_LINE, 1}), At(pPgc->m_preCommands, 1));
    EXPECT_TRUE(pPgc->m_preCommands.IsModified());
    EXPECT_FALSE(pPgc->m_postCommands.IsModified());
}

// ---- Operand checks ---------------------------------------------------------------

namespace
{
// The check of each present part, through the operation's own slot.
bool CheckParts(const Bytes& bytes, CString& strError)
{
    const CNavCommand command = Decode(bytes);
    const CNavOperation& compare = command.GetCompare();
    const CNavOperation& set = command.GetSet();
    return compare.Check(strError) && set.Check(strError);
}
} // namespace

TEST(OperandCheck, RegistersAndSetOperators)
{
    struct Case
    {
        const char* what;
        Bytes command;
        const char* error; // null: passes
    };
    const Case cases[] = {
        {"general registers", MakeSet(3, 3, 4, false), nullptr},
        {"immediate source", MakeSet(3, 1, 40000, true), nullptr},
        {"system register source", MakeSet(0, 1, SPRM_CHAPTER, false), nullptr},
        {"and with a system register", MakeSet(0, 9, SPRM_CHAPTER, false), nullptr},
        {"xor with a system register", MakeSet(0, 11, SPRM_CHAPTER, false), nullptr},
        {"destination beyond the general registers", MakeSet(20, 1, 1, true),
         "Only general registers can be used (r[0] - r[15])"},
        {"system register destination", MakeSet(BYTE(SPRM_CHAPTER), 1, 1, true),
         "Only general registers can be used (r[0] - r[15])"},
        {"source register 20", MakeSet(1, 1, 20, false), "Incorrect register index for right operand"},
        {"source past the system registers", MakeSet(1, 1, 0x97, false), "Incorrect register index for right operand"},
        {"swap with an immediate", MakeSet(1, 2, 5, true),
         "SET: swap operation can only be used with register right operand"},
        {"swap registers", MakeSet(1, 2, 5, false), nullptr},
        {"add a system register", MakeSet(1, 3, SPRM_CHAPTER, false),
         "SET: only =, &=, |=, ^= operations can be used if source is system register"},
        {"random of a system register", MakeSet(1, 8, SPRM_CHAPTER, false),
         "SET: only =, &=, |=, ^= operations can be used if source is system register"},
        {"swap with a system register", MakeSet(1, 2, SPRM_CHAPTER, false),
         "SET: only =, &=, |=, ^= operations can be used if source is system register"},
        {"compare of a system register", MakeCompareGoto(BYTE(SPRM_TITLE), 2, 1, true, 1), nullptr},
        {"compare left 151", MakeCompareGoto(0x97, 2, 1, true, 1), "Incorrect register index for left operand"},
        {"compare left 16", MakeCompareGoto(16, 2, 1, true, 1), "Incorrect register index for left operand"},
        {"compare right register 200", MakeCompareGoto(1, 2, 200, false, 1),
         "Incorrect register index for right operand"},
        {"compare right immediate 200", MakeCompareGoto(1, 2, 200, true, 1), nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        CString strError;
        EXPECT_EQ(c.error == nullptr, CheckParts(c.command, strError));
        EXPECT_STREQ(c.error ? c.error : "", (LPCSTR)strError);
    }
}

// The set destination rule comes from the operand rules that decoding sets.
TEST(OperandCheck, RegisterRulesOfTheOperation)
{
    CNavSetOperation set;
    set.SetOperator(1);
    set.SetLeft(BYTE(SPRM_CHAPTER));
    set.SetRules(CNavOperation::RULE_IMMEDIATE | CNavOperation::RULE_REGISTER);
    CString strError;
    EXPECT_TRUE(set.CheckRegisters(strError)) << (LPCSTR)strError;
    set.SetLeft(0x97);
    EXPECT_FALSE(set.CheckRegisters(strError));
    EXPECT_STREQ("Incorrect register index for left operand", (LPCSTR)strError);
}

// Every command of the generated discs was written by an authoring tool that
// only uses registers the player has.
TEST(OperandCheck, FixtureCommandsPass)
{
    KX_REQUIRE_IFODUMP();
    int nChecked = 0;
    for (const char* name : {"pal1", "ntscmenu", "twovts", "cmdtable"})
    {
        KX_REQUIRE_FIXTURE(dir, name);
        std::vector<std::string> hexes;
        for (const kxtest::IfoRecord& r : kxtest::Select(kxtest::IfoDump(dir), "cmd"))
            hexes.push_back(r.Get("bytes"));
        for (const kxtest::IfoRecord& r : kxtest::Select(kxtest::IfoDump(dir, true), "btn"))
            hexes.push_back(r.Get("cmd"));
        for (const std::string& hex : hexes)
        {
            Bytes bytes = {};
            for (size_t i = 0; i < 8 && 2 * i + 1 < hex.size(); ++i)
                bytes[i] = BYTE(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
            CString strError;
            EXPECT_TRUE(CheckParts(bytes, strError)) << name << " " << hex << ": " << (LPCSTR)strError;
            nChecked++;
        }
    }
    EXPECT_GT(nChecked, 0);
}

// ---- Targets -------------------------------------------------------------------------

namespace
{
// A disc of one title set: title PGCs 1-3 (PGC 1 has three cell entries, the
// second of two angles, and programs from entries 1 and 3), titles 1 (two
// chapters in PGC 1) and 2 (PGC 2), VTS menus in English and French (only
// English has a root menu) and two VMG menu PGCs in English with the first
// as title menu.
class DiscTargets : public ::testing::Test
{
protected:
    void SetUp() override
    {
        pVts = dvd.GetVts(0);
        CAngleBlockList& domain = pVts->GetTitleDomain();
        CPgcTable& table = pVts->GetPgcTable();
        pPgc = AddPgc(table, domain, {1, 2, 1});
        pPgc->AddProgram(0);
        pPgc->AddProgram(2);
        AddPgc(table, domain, {1});
        AddPgc(table, domain, {1});
        pPgc->m_preCommands.Add(Make({0, NAV_NOP}).data());
        pPgc->m_preCommands.Add(Make({0, NAV_NOP}).data());
        pPgc->m_cellCommands.Add(Make({1, NAV_LINK_NEXT_CELL}).data());
        pPgc->m_cellCommands.Add(Make({1, NAV_LINK_TOP_CELL}).data());
        pPgc->GetCell(2)->m_nCellCommand = 1;

        pVts->GetTitles().AddTitle(CChapterEntry{0, 0});
        pVts->GetTitles().GetTitle(0)->AddChapter(CChapterEntry{0, 1});
        pVts->GetTitles().AddTitle(CChapterEntry{1, 0});

        CLanguageUnit* pEnglish = AddUnit(pVts->GetLanguageUnits(), "en");
        pRoot = AddPgc(*pEnglish, pVts->GetMenuDomain(), {1}, 1);
        pEnglish->SetMenuType(pRoot, 3);
        AddPgc(*AddUnit(pVts->GetLanguageUnits(), "fr"), pVts->GetMenuDomain(), {1}, 1);

        CVmg& vmg = dvd.GetVmg();
        CLanguageUnit* pVmgUnit = AddUnit(vmg.GetLanguageUnits(), "en");
        pTitleMenu = AddPgc(*pVmgUnit, vmg.GetMenuDomain(), {1}, 1);
        pVmgUnit->SetMenuType(pTitleMenu, 2);
        pVmgPgc2 = AddPgc(*pVmgUnit, vmg.GetMenuDomain(), {1}, 1);
        vmg.GetTitles().AddEntry(CVmgTitleEntry{0, 0});
    }

    static CLanguageUnit* AddUnit(CLanguageUnits& units, const char* pszCode)
    {
        CLanguageUnit* pUnit = units.AddUnit();
        pUnit->SetLanguageBytes(reinterpret_cast<const BYTE*>(pszCode));
        return pUnit;
    }

    // A PGC whose cell entries list the given numbers of angles, each entry
    // playing a block of its own.
    static CPgc* AddPgc(CPgcTable& table, CAngleBlockList& domain, const std::vector<int>& angles, BYTE nMenu = 0)
    {
        CPgc* pNew = new CPgc(nMenu, nullptr);
        table.AddPgc(pNew);
        for (int n : angles)
        {
            CAngleBlock* pBlock = new CAngleBlock(nullptr, nullptr, &domain);
            domain.AddBlock(pBlock);
            CGrowArray<BYTE> list;
            for (int a = 0; a < n; ++a)
                list.Add(BYTE(a));
            pNew->AddCell(new CPgcCell(1, 0, 0, 0, pBlock, list, pNew));
        }
        return pNew;
    }

    CPgc* Pgc(uint32_t n) const { return pVts->GetPgcTable().GetPgc(n - 1); }
    static CDvdReference Start(CPgc* pStart) { return pStart->m_preCommands.GetReference(0); }

    CDvd dvd;
    CVts* pVts = nullptr;
    CPgc* pPgc = nullptr;
    CPgc* pRoot = nullptr;
    CPgc* pTitleMenu = nullptr;
    CPgc* pVmgPgc2 = nullptr;
};

struct TargetCase
{
    const char* what;
    Bytes command;
    CDvdReference from;
    CDvdReference target;
    const char* error;
};

void CheckTargets(const std::vector<TargetCase>& cases)
{
    for (const TargetCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        CString strError;
        const CDvdReference target = ResolveCommandTarget(c.command.data(), c.from, strError);
        EXPECT_TRUE(c.target == target) << "node " << target.pNode << " field " << int(target.nField) << " index "
                                        << target.nIndex;
        EXPECT_STREQ(c.error, (LPCSTR)strError);
    }
}
} // namespace

TEST_F(DiscTargets, TitlePgcCommands)
{
    const CDvdReference pre = pPgc->m_preCommands.GetReference(0);
    const CVtsTitles& titles = pVts->GetTitles();
    CheckTargets({
        {"link pgc", Make({1, NAV_LINK_PGC, 2}), pre, Start(Pgc(2)), ""},
        {"link pgc 0", Make({1, NAV_LINK_PGC, 0}), pre, {}, "Reference to invalid PGC. Was it deleted?"},
        {"link pgc beyond",
         Make({1, NAV_LINK_PGC, 9}),
         pre,
         {},
         "Reference to PGC 9 while there are only 3 Program Chain(s) available."},
        {"timer pgc", MakeTimer(3), pre, Start(Pgc(3)), ""},
        {"link program", Make({1, NAV_LINK_PROGRAM, 2}), pre, CDvdReference(pPgc, PGCFIELD_PROGRAM, 1), ""},
        {"link program beyond",
         Make({1, NAV_LINK_PROGRAM, 5}),
         pre,
         {},
         "Reference to program 5 while there are only 2 program(s) available."},
        {"link cell of the second angle", Make({1, NAV_LINK_CELL, 3}), pre, CDvdReference(pPgc->GetCell(1), 0, 0), ""},
        {"link cell beyond",
         Make({1, NAV_LINK_CELL, 5}),
         pre,
         {},
         "Reference to block 0 while there are only 3 block(s) available."},
        {"link chapter", Make({1, NAV_LINK_CHAPTER, 2}), pre, titles.GetTitle(0)->GetChapterReference(1), ""},
        {"link chapter beyond",
         Make({1, NAV_LINK_CHAPTER, 3}),
         pre,
         {},
         "Reference to Chapter 3 while there are only 2 Chapter(s) available in Title 1."},
        {"jump title", Make({2, NAV_JUMP_VTS_TITLE, 2}), pre, CDvdReference(titles.GetTitle(1), 0, 0), ""},
        {"jump title beyond",
         Make({2, NAV_JUMP_VTS_TITLE, 3}),
         pre,
         {},
         "Reference to Title 3 while there are only 2 Title(s) available in the VTS."},
        {"jump chapter", Make({2, NAV_JUMP_VTS_TITLE_CHAPTER, 1, 2}), pre, titles.GetTitle(0)->GetChapterReference(1),
         ""},
        {"jump chapter 0",
         Make({2, NAV_JUMP_VTS_TITLE_CHAPTER, 2, 0}),
         pre,
         {},
         "Reference to invalid chapter. Was it deleted?"},
        {"goto line", Make({0, NAV_GOTO_LINE, 2}), pre, pPgc->m_preCommands.GetReference(1), ""},
        {"goto line beyond",
         Make({0, NAV_GOTO_LINE, 5}),
         pre,
         {},
         "Reference to line 5 while there are only 2 command(s) available in this group."},
        {"goto line 0", Make({0, NAV_GOTO_LINE, 0}), pre, {}, "Reference to invalid command line. Was it deleted?"},
        {"call root menu",
         Make({2, NAV_CALL_VTS_MENU, 3, 1}),
         pre,
         {},
         "There is no \"root\" menu in \"French\" Language Unit"},
        {"call vmg pgc", Make({2, NAV_CALL_VMG_PGC, 2, 1}), pre, Start(pVmgPgc2), ""},
        {"call vmg pgc beyond",
         Make({2, NAV_CALL_VMG_PGC, 3, 1}),
         pre,
         {},
         "Reference to VMG PGC 3 while there are only 2 Program Chains available in the VMG \"English\" LU."},
        {"call title menu", Make({2, NAV_CALL_VMG_TITLE_MENU, 1}), pre, Start(pTitleMenu), ""},
        {"call first play", Make({2, NAV_CALL_FIRST_PLAY, 1}), pre, {}, "No First Play PGC in the VMG"},
        {"exit", Make({2, NAV_EXIT}), pre, {}, ""},
        {"cell link in pre-commands",
         Make({1, NAV_LINK_TOP_CELL}),
         pre,
         {},
         "Invalid command format or command is not allowed in this domain"},
    });
}

TEST_F(DiscTargets, CellCommands)
{
    const CDvdReference first = pPgc->m_cellCommands.GetReference(0);
    const CDvdReference unused = pPgc->m_cellCommands.GetReference(1);
    CheckTargets({
        {"next cell after the last", Make({1, NAV_LINK_NEXT_CELL}), first, {}, "NextPGC is not set"},
        {"previous cell", Make({1, NAV_LINK_PREV_CELL}), first, CDvdReference(pPgc->GetCell(1), 0, 0), ""},
        {"top cell", Make({1, NAV_LINK_TOP_CELL}), first, CDvdReference(pPgc->GetCell(2), 0, 0), ""},
        {"top program", Make({1, NAV_LINK_TOP_PROGRAM}), first, CDvdReference(pPgc->GetCell(2), 0, 0), ""},
        {"previous program", Make({1, NAV_LINK_PREV_PROGRAM}), first, CDvdReference(pPgc->GetCell(0), 0, 0), ""},
        {"next program after the last", Make({1, NAV_LINK_NEXT_PROGRAM}), first, {}, "NextPGC is not set"},
        {"tail of the pgc", Make({1, NAV_LINK_TAIL_PGC}), first, Start(pPgc), ""},
        {"no link", Make({1, NAV_LINK_NO_LINK}), first, {}, ""},
        {"go up without a link", Make({1, NAV_LINK_GO_UP_PGC}), first, {}, "GoUpPGC is not set"},
        {"command no cell uses",
         Make({1, NAV_LINK_TOP_CELL}),
         unused,
         {},
         "Cell command is not assigned to any PGC cell."},
        // A goto on its own line names itself; the validator reports the loop.
        {"goto its own line", Make({0, NAV_GOTO_LINE, 1}), first, first, ""},
    });
}

TEST_F(DiscTargets, VmgMenuCommands)
{
    const CDvdReference pre = pTitleMenu->m_preCommands.GetReference(0);
    const CVmgTitles& titles = dvd.GetVmg().GetTitles();
    CheckTargets({
        {"own title set from the VMG",
         Make({2, NAV_JUMP_VTS_MENU, 0, 3, 1}),
         pre,
         {},
         "Can't \"Jump to same VTS\" from VMG."},
        {"title set beyond",
         Make({2, NAV_JUMP_VTS_MENU, 2, 3, 1}),
         pre,
         {},
         "Reference to VTS 2 while there are only 1 Video Title Sets available."},
        {"unknown menu", Make({2, NAV_JUMP_VTS_MENU, 1, 2, 1}), pre, {}, "Unknown menu category"},
        {"root menu lacking in a unit",
         Make({2, NAV_JUMP_VTS_MENU, 1, 3, 1}),
         pre,
         {},
         "There is no \"root\" menu in \"French\" Language Unit"},
        {"jump vmg title", Make({2, NAV_JUMP_VMG_TITLE, 1}), pre, titles.GetTitleReference(0), ""},
        {"jump vmg title beyond",
         Make({2, NAV_JUMP_VMG_TITLE, 2}),
         pre,
         {},
         "Reference to VMG Title 2 while there are only 1 Title(s) available in the VMG."},
        {"link pgc in the unit", Make({1, NAV_LINK_PGC, 2}), pre, Start(pVmgPgc2), ""},
        {"jump title menu", Make({2, NAV_JUMP_VMG_TITLE_MENU}), pre, Start(pTitleMenu), ""},
    });
}

TEST_F(DiscTargets, VtsMenuOfAnotherUnitSet)
{
    // With a root menu in every unit the jump lands on the first unit's.
    CLanguageUnit* pFrench = pVts->GetLanguageUnits().GetUnit(1);
    pFrench->SetMenuType(pFrench->GetPgc(0), 3);
    CString strError;
    const Bytes command = Make({2, NAV_JUMP_VTS_MENU, 1, 3, 1});
    EXPECT_TRUE(Start(pRoot) ==
                ResolveCommandTarget(command.data(), pTitleMenu->m_preCommands.GetReference(0), strError));
    EXPECT_STREQ("", (LPCSTR)strError);
}

// ---- Bypass of hidden cells -----------------------------------------------------------

namespace
{
struct EntryShape
{
    bool hidden;
    int angles;
    BYTE command; // cell command number
};

// A title PGC whose entries play blocks of their own; a hidden entry's block
// holds a blank ILVU.
class Bypass : public TitlePgc
{
protected:
    void Build(const std::vector<EntryShape>& entries)
    {
        for (const EntryShape& e : entries)
        {
            CAngleBlock* pBlock = AddBlock(domain, e.angles, BYTE(nextCellId));
            nextCellId += e.angles;
            pBlock->GetIlvu(0)->SetStock(e.hidden);
            CGrowArray<BYTE> list;
            for (int a = 0; a < e.angles; ++a)
                list.Add(BYTE(a));
            pPgc->AddCell(new CPgcCell(1, 0, 0, e.command, pBlock, list, pPgc));
        }
    }

    std::vector<int> CellCommands() const
    {
        std::vector<int> numbers;
        for (uint32_t i = 0; i < pPgc->GetCellCount(); ++i)
            numbers.push_back(pPgc->GetCell(i)->m_nCellCommand);
        return numbers;
    }

    bool RunBypass()
    {
        CCommandOperation bypass;
        bypass.nOperation = COMMANDOP_BYPASS;
        return RetargetPgcTableCommands(table, bypass);
    }

    CAngleBlockList domain{nullptr};
    int nextCellId = 1;
};
} // namespace

// A (two angles), hidden B, hidden C, D: one Link Cell to D's first IFO
// cell, which is the fifth.
TEST_F(Bypass, HiddenRunBetweenVisibleEntries)
{
    Build({{false, 2, 0}, {true, 1, 0}, {true, 1, 0}, {false, 1, 0}});
    EXPECT_FALSE(RunBypass());
    ASSERT_EQ(1u, pPgc->m_cellCommands.GetCount());
    EXPECT_EQ(Make({1, NAV_LINK_CELL, 5}), At(pPgc->m_cellCommands, 0));
    EXPECT_EQ((std::vector<int>{1, 1, 0, 0}), CellCommands());
    EXPECT_TRUE(pPgc->GetCell(1)->IsModified());
}

TEST_F(Bypass, TrailingHiddenEntriesLinkToTheTail)
{
    Build({{false, 1, 0}, {false, 1, 0}, {true, 1, 0}, {true, 1, 0}});
    RunBypass();
    ASSERT_EQ(1u, pPgc->m_cellCommands.GetCount());
    EXPECT_EQ(Make({1, NAV_LINK_TAIL_PGC}), At(pPgc->m_cellCommands, 0));
    EXPECT_EQ((std::vector<int>{0, 1, 1, 0}), CellCommands());
}

TEST_F(Bypass, NothingHiddenAddsNothing)
{
    Build({{false, 1, 0}, {false, 1, 0}});
    pPgc->m_postCommands.Add(Make({2, NAV_EXIT}).data());
    table.ClearModified();
    RunBypass();
    EXPECT_EQ(0u, pPgc->m_cellCommands.GetCount());
    EXPECT_FALSE(pPgc->IsModified());
}

// A visible entry that already runs a cell command keeps it; the hidden
// entries after it still skip ahead.
TEST_F(Bypass, OwnCellCommandIsKept)
{
    pPgc->m_cellCommands.Add(Make({1, NAV_LINK_TOP_CELL}).data());
    Build({{false, 1, 1}, {true, 1, 0}, {true, 1, 0}, {true, 1, 0}, {false, 1, 0}});
    RunBypass();
    ASSERT_EQ(2u, pPgc->m_cellCommands.GetCount());
    EXPECT_EQ(Make({1, NAV_LINK_CELL, 5}), At(pPgc->m_cellCommands, 1));
    EXPECT_EQ((std::vector<int>{1, 2, 2, 0, 0}), CellCommands());
}

// A blank entry with a cell command of its own is not hidden.
TEST_F(Bypass, BlankEntryWithCellCommandPlays)
{
    pPgc->m_cellCommands.Add(Make({1, NAV_LINK_TOP_CELL}).data());
    Build({{false, 1, 0}, {true, 1, 1}, {false, 1, 0}});
    RunBypass();
    EXPECT_EQ(1u, pPgc->m_cellCommands.GetCount());
    EXPECT_EQ((std::vector<int>{0, 1, 0}), CellCommands());
}

// Nothing visible: the Breaks of the pre-commands lead to a copy of the
// post-commands, whose goto lines follow them.
TEST_F(Bypass, AllHiddenRunsThePostCommandsFromThePreCommands)
{
    Build({{true, 1, 0}, {true, 1, 0}});
    Fill(pPgc->m_preCommands, {Make({0, NAV_BREAK}), Make({0, NAV_NOP})});
    Fill(pPgc->m_postCommands, {Make({0, NAV_GOTO_LINE, 2}), Make({2, NAV_EXIT})});
    RunBypass();
    ASSERT_EQ(4u, pPgc->m_preCommands.GetCount());
    EXPECT_EQ(Make({0, NAV_GOTO_LINE, 3}), At(pPgc->m_preCommands, 0));
    EXPECT_EQ(Make({0, NAV_NOP}), At(pPgc->m_preCommands, 1));
    EXPECT_EQ(Make({0, NAV_GOTO_LINE, 4}), At(pPgc->m_preCommands, 2));
    EXPECT_EQ(Make({2, NAV_EXIT}), At(pPgc->m_preCommands, 3));
    EXPECT_EQ(2u, pPgc->m_postCommands.GetCount());
    EXPECT_EQ(Make({1, NAV_LINK_TAIL_PGC}), At(pPgc->m_cellCommands, 0));
    EXPECT_EQ((std::vector<int>{1, 0}), CellCommands());
}

// Without room for a copy of the post-commands the Breaks lead to a NOP at
// the end of the pre-commands, after which the post-commands run as usual.
TEST_F(Bypass, AllHiddenWithoutRoomForACopy)
{
    Build({{true, 1, 0}});
    Fill(pPgc->m_preCommands, {Make({0, NAV_BREAK})});
    for (int i = 0; i < 70; ++i)
        pPgc->m_postCommands.Add(Make({0, NAV_NOP}).data());
    RunBypass();
    ASSERT_EQ(2u, pPgc->m_preCommands.GetCount());
    EXPECT_EQ(Make({0, NAV_GOTO_LINE, 2}), At(pPgc->m_preCommands, 0));
    EXPECT_EQ(Make({0, NAV_NOP}), At(pPgc->m_preCommands, 1));
}

// ---- Targets on the generated discs -----------------------------------------------------

namespace
{
// Every command of the disc's PGCs with its reference.
void ForEachPgcCommand(CPgc& pgc, std::vector<std::pair<CDvdReference, Bytes>>& commands)
{
    for (CPgcCommands* pTable : {&pgc.m_preCommands, &pgc.m_postCommands, &pgc.m_cellCommands})
    {
        for (uint32_t i = 0; i < pTable->GetCount(); ++i)
        {
            Bytes bytes;
            memcpy(bytes.data(), pTable->GetCommand(i), 8);
            commands.push_back({pTable->GetReference(i), bytes});
        }
    }
}

void ForEachTableCommand(CPgcTable& table, std::vector<std::pair<CDvdReference, Bytes>>& commands)
{
    for (uint32_t p = 0; p < table.GetPgcCount(); ++p)
        ForEachPgcCommand(*table.GetPgc(p), commands);
}

void ForEachUnitCommand(CLanguageUnits& units, std::vector<std::pair<CDvdReference, Bytes>>& commands)
{
    for (uint32_t u = 0; u < units.GetUnitCount(); ++u)
        ForEachTableCommand(*units.GetUnit(u), commands);
}
} // namespace

// The discs were made by an authoring tool: every command of their PGCs
// names something that is there. The command table disc also holds
// statements compiled for a domain that does not allow them.
TEST(CommandTargetFixture, AuthoredCommandsResolve)
{
    int nTargets = 0;
    for (const char* name : {"pal1", "ntscmenu", "twovts", "cmdtable"})
    {
        KX_REQUIRE_FIXTURE(dir, name);
        kxtest::RecordingLog log;
        CDvd dvd;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath(name, "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        std::vector<std::pair<CDvdReference, Bytes>> commands;
        if (dvd.GetVmg().GetFirstPlayPgc())
            ForEachPgcCommand(*dvd.GetVmg().GetFirstPlayPgc(), commands);
        ForEachUnitCommand(dvd.GetVmg().GetLanguageUnits(), commands);
        for (uint32_t v = 0; v < dvd.GetVtsCount(); ++v)
        {
            ForEachUnitCommand(dvd.GetVts(v)->GetLanguageUnits(), commands);
            ForEachTableCommand(dvd.GetVts(v)->GetPgcTable(), commands);
        }
        ASSERT_FALSE(commands.empty()) << name;
        const bool bTable = std::string(name) == "cmdtable";
        for (const auto& c : commands)
        {
            CString strError;
            const CDvdReference target = ResolveCommandTarget(c.second.data(), c.first, strError);
            const BYTE nCode = Decode(c.second).GetInstruction().GetCode();
            SCOPED_TRACE(std::string(name) + " " + GetInstructionInfo(nCode).pszName);
            if (bTable && strError == "Invalid command format or command is not allowed in this domain")
                continue;
            EXPECT_STREQ("", (LPCSTR)strError);
            const bool bGoesNowhere = nCode == NAV_EXIT || nCode == NAV_RESUME || nCode == NAV_LINK_NO_LINK;
            if (IsNavigationCommand(c.second.data()) && !bGoesNowhere)
            {
                EXPECT_NE(nullptr, target.pNode);
            }
            nTargets += target.pNode != nullptr;
        }
    }
    EXPECT_GT(nTargets, 0);
}

// A button runs in the PGC that plays its block, with that PGC's cell
// commands as its command group.
TEST_F(DiscTargets, ButtonCommands)
{
    CAngleBlockList& menus = pVts->GetMenuDomain();
    CAngleBlock* pPlayed = AddBlock(menus, 1, 1);
    pRoot->GetCell(0)->SetBlock(pPlayed);
    CAngleBlock* pUnplayed = AddBlock(menus, 1, 2);

    const PciPacket hli;
    std::unique_ptr<CButtonSegment> pSegment(new CButtonSegment(0, hli, 0, pPlayed->GetIlvu(0)));
    std::unique_ptr<CDvdButton> pButton(new CDvdButton(pSegment.get()));
    std::unique_ptr<CButtonSegment> pLoneSegment(new CButtonSegment(0, hli, 0, pUnplayed->GetIlvu(0)));
    std::unique_ptr<CDvdButton> pLoneButton(new CDvdButton(pLoneSegment.get()));
    const CDvdReference button(pButton.get(), BTNREF_COMMAND, 0);
    const CDvdReference lone(pLoneButton.get(), BTNREF_COMMAND, 0);

    CheckTargets({
        {"top cell", Make({1, NAV_LINK_TOP_CELL, 1}), button, CDvdReference(pRoot->GetCell(0), 0, 0), ""},
        {"next cell after the only one", Make({1, NAV_LINK_NEXT_CELL, 1}), button, {}, "NextPGC is not set"},
        {"link pgc of the unit", Make({1, NAV_LINK_PGC, 1}), button, Start(pRoot), ""},
        {"goto a cell command line",
         Make({0, NAV_GOTO_LINE, 1}),
         button,
         {},
         "Reference to line 1 while there are only 0 command(s) available in this group."},
        {"exit", Make({2, NAV_EXIT}), button, {}, ""},
        {"top cell of a block no PGC plays", Make({1, NAV_LINK_TOP_CELL, 1}), lone, {}, "Cell is not defined."},
        {"goto line of a button no PGC plays", Make({0, NAV_GOTO_LINE, 1}), lone, {}, "Button not used in any PGC."},
    });
}

// PGC links name PGCs of their own domain: VMG menu links move with the VMG
// PGC numbers, VTS menu links with the PGC numbers of the title set.
TEST_F(DiscTargets, LinksFollowTheNumbersOfTheirDomain)
{
    pTitleMenu->m_wNextPgc = 4;
    pRoot->m_wNextPgc = 4;
    EXPECT_FALSE(RetargetPgcReferences(*pTitleMenu, RETARGET_PGC, 3, -2, RETARGET_NO_LIMIT));
    EXPECT_TRUE(RetargetPgcReferences(*pTitleMenu, RETARGET_VMG_PGC, 3, -2, RETARGET_NO_LIMIT));
    EXPECT_EQ(PGC_LINK_DELETED, pTitleMenu->m_wNextPgc);

    EXPECT_FALSE(RetargetPgcReferences(*pRoot, RETARGET_VMG_PGC, 3, 1, RETARGET_NO_LIMIT));
    EXPECT_TRUE(RetargetPgcReferences(*pRoot, RETARGET_PGC, 3, 1, RETARGET_NO_LIMIT));
    EXPECT_EQ(5, pRoot->m_wNextPgc);
}
