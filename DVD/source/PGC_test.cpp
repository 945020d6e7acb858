#include "DVD/source/PGC.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/StreamSet.h"

#include "DVD/source/PgcTestSupport.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/RefCollector.h"
#include "DVD/source/VMG.h"
#include "DVD/source/Validator.h"
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/VTS.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace pgctest;

namespace
{

// A domain of three plain blocks (vob 1 cells 1-3) and one block of two
// interleaved angles (vob 2 cells 1-2).
class PgcRead : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (BYTE c = 1; c <= 3; ++c)
        {
            IlvuRecipe recipe;
            recipe.nCellId = c;
            recipe.dwFirstSector = 100 * (c - 1);
            AddBlock(domain, {recipe});
        }
        IlvuRecipe angle1;
        angle1.wVobId = 2;
        angle1.nCellId = 1;
        angle1.dwFirstSector = 300;
        angle1.nAngles = 2;
        angle1.bIlvu = true;
        IlvuRecipe angle2 = angle1;
        angle2.nCellId = 2;
        angle2.dwFirstSector = 310;
        AddBlock(domain, {angle1, angle2});
    }

    bool Read(const PgciRecipe& recipe)
    {
        bytes = BuildPgci(recipe);
        return pgc.ReadIfo(log, CPgcCategory(), &domain, View(bytes));
    }

    CAngleBlockList domain{nullptr};
    CPgc pgc{0, nullptr};
    kxtest::RecordingLog log;
    std::vector<BYTE> bytes;
};

CellRecipe Cell(WORD wVobId, BYTE nCellId)
{
    CellRecipe c;
    c.wVobId = wVobId;
    c.nCellId = nCellId;
    return c;
}

} // namespace

TEST_F(PgcRead, GeneralInformationAndCommands)
{
    PgciRecipe recipe;
    recipe.pre = {MakeCommand(0x71, 1), MakeCommand(0x71, 2)};
    recipe.post = {MakeCommand(0x30, 3)};
    recipe.cell = {MakeCommand(0x20, 4)};
    recipe.programs = {1};
    recipe.cells = {Cell(1, 1)};
    bytes = BuildPgci(recipe);
    PutBE32(&bytes[8], 0x01020304);
    bytes[12] = 0x83; // audio 0: enabled, stream 3
    bytes[28] = 0x85; // sub-picture 0: enabled, streams 5, 6, 7, 8
    bytes[29] = 6;
    bytes[30] = 0x27;
    bytes[31] = 8;
    PutBE16(&bytes[156], 2);
    PutBE16(&bytes[158], 3);
    PutBE16(&bytes[160], 4);
    bytes[162] = 0x81;
    bytes[163] = 10;
    bytes[164 + 4 * 15 + 1] = 0xEB;
    CPgcCategory category;
    category.nMenu = 1;
    category.nCategory = 0x83;
    category.wParentalMask = 0x1234;
    ASSERT_TRUE(pgc.ReadIfo(log, category, &domain, View(bytes))) << log.Dump();
    EXPECT_EQ(1, pgc.m_nMenu);
    EXPECT_EQ(0x83, pgc.m_nCategory);
    EXPECT_EQ(0x1234, pgc.m_wParentalMask);
    BYTE uops[4] = {};
    pgc.m_uops.ToBytes(uops);
    EXPECT_EQ(0x01020304u, GetBE32(uops));
    EXPECT_EQ(3, pgc.m_audio[0].nStream);
    EXPECT_EQ(1, pgc.m_audio[0].bEnabled);
    EXPECT_EQ(0, pgc.m_audio[1].bEnabled);
    EXPECT_EQ(5, pgc.m_subpictures[0].nStreams[0]);
    EXPECT_EQ(7, pgc.m_subpictures[0].nStreams[2]);
    EXPECT_EQ(1, pgc.m_subpictures[0].bEnabled);
    EXPECT_EQ(2, pgc.m_wNextPgc);
    EXPECT_EQ(3, pgc.m_wPrevPgc);
    EXPECT_EQ(4, pgc.m_wGoUpPgc);
    EXPECT_EQ(0x81, pgc.m_nPlaybackMode);
    EXPECT_EQ(10, pgc.m_nStillTime);
    EXPECT_EQ(0xEB, pgc.m_colours.colours[15][1]);
    ASSERT_EQ(2u, pgc.m_preCommands.GetCount());
    EXPECT_EQ(2, pgc.m_preCommands.GetCommand(1)[7]);
    ASSERT_EQ(1u, pgc.m_postCommands.GetCount());
    EXPECT_EQ(3, pgc.m_postCommands.GetCommand(0)[7]);
    ASSERT_EQ(1u, pgc.m_cellCommands.GetCount());
    EXPECT_EQ(PGC_GROUP_CELL, pgc.m_cellCommands.GetGroup());
    EXPECT_TRUE(log.lines.empty()) << log.Dump();
}

TEST_F(PgcRead, CommandTableWarningsKeepTheCommands)
{
    PgciRecipe recipe;
    recipe.pre = std::vector<Command>(130, MakeCommand(0x71));
    recipe.nCommandEndOverride = 8 * 130 + 6;
    ASSERT_TRUE(Read(recipe)) << log.Dump();
    EXPECT_TRUE(log.Has('W', "PGC Commands Table size is incorrect."));
    EXPECT_TRUE(log.Has('W', "Too many commands in PGC (130)"));
    EXPECT_EQ(130u, pgc.m_preCommands.GetCount());
    EXPECT_EQ(0, log.Count('E'));
}

TEST_F(PgcRead, FoldsAngleCellsIntoEntries)
{
    // The two-angle block played twice in a row: angles 1, 2, 1, 2.
    PgciRecipe recipe;
    recipe.programs = {1, 3};
    recipe.cells = {Cell(2, 1), Cell(2, 2), Cell(2, 1), Cell(2, 2)};
    ASSERT_TRUE(Read(recipe)) << log.Dump();
    ASSERT_EQ(2u, pgc.GetCellCount());
    EXPECT_EQ(4u, pgc.GetIfoCellCount());
    for (uint32_t i = 0; i < 2; ++i)
    {
        ASSERT_EQ(2, pgc.GetCell(i)->GetAngleCount());
        EXPECT_EQ(0, pgc.GetCell(i)->GetAngle(0));
        EXPECT_EQ(1, pgc.GetCell(i)->GetAngle(1));
        EXPECT_EQ(domain.GetBlock(3), pgc.GetCell(i)->GetBlock());
    }
    ASSERT_EQ(2, pgc.GetProgramCount());
    EXPECT_EQ(0, pgc.GetProgramStart(0));
    EXPECT_EQ(1, pgc.GetProgramStart(1));

    std::vector<BYTE> out(pgc.GetIfoSize());
    ASSERT_TRUE(pgc.WriteIfo(log, out.data())) << log.Dump();
    const size_t nPlayback = GetBE16(&out[232]);
    const BYTE expected[4] = {0x50, 0xD0, 0x50, 0xD0};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(expected[i], out[nPlayback + 24 * i] & 0xF0) << i;
    EXPECT_EQ(4, out[3]);
    const size_t nMap = GetBE16(&out[230]);
    EXPECT_EQ(1, out[nMap]);
    EXPECT_EQ(3, out[nMap + 1]);
}

TEST_F(PgcRead, AngleDifferencesAreWarnedAndIgnored)
{
    PgciRecipe recipe;
    recipe.cell = {MakeCommand(0x20)};
    recipe.programs = {1};
    CellRecipe second = Cell(2, 2);
    second.nRestricted = 1;
    second.nStill = 5;
    second.nCommand = 1;
    recipe.cells = {Cell(2, 1), second};
    ASSERT_TRUE(Read(recipe)) << log.Dump();
    ASSERT_EQ(1u, pgc.GetCellCount());
    EXPECT_EQ(0, pgc.GetCell(0)->m_bRestricted);
    EXPECT_EQ(0, pgc.GetCell(0)->m_nStillTime);
    EXPECT_EQ(0, pgc.GetCell(0)->m_nCellCommand);
    EXPECT_TRUE(log.Has('W', "Cell #2 (vobID=2, cellID=2) restricted flag is different"));
    EXPECT_TRUE(log.Has('W', "Cell #2 (vobID=2, cellID=2) still time is different"));
    EXPECT_TRUE(log.Has('W', "Cell #2 (vobID=2, cellID=2) command id is different"));
}

TEST_F(PgcRead, MissingCellsBecomeOneBlankBlock)
{
    PgciRecipe recipe;
    recipe.programs = {1};
    recipe.cells = {Cell(7, 3), Cell(1, 1), Cell(7, 3)};
    ASSERT_TRUE(Read(recipe)) << log.Dump();
    EXPECT_EQ(1, log.Count('W'));
    EXPECT_TRUE(log.Has('W', "Cell #1 uses vobus (vobID=7, cellID=3) not pressent in vob file. Substituting "
                             "blank cell instead."));
    ASSERT_EQ(5u, domain.GetBlockCount());
    CAngleBlock* pBlank = domain.GetBlock(4);
    EXPECT_TRUE(pBlank->GetIlvu(0)->IsBlank());
    EXPECT_EQ(7, pBlank->GetIlvu(0)->GetVobId());
    EXPECT_EQ(pBlank, pgc.GetCell(0)->GetBlock());
    EXPECT_EQ(pBlank, pgc.GetCell(2)->GetBlock());
}

TEST_F(PgcRead, CellCommandBeyondTheTableBecomesZero)
{
    PgciRecipe recipe;
    recipe.cell = {MakeCommand(0x20)};
    recipe.programs = {1};
    CellRecipe cell = Cell(1, 1);
    cell.nCommand = 3;
    recipe.cells = {cell};
    ASSERT_TRUE(Read(recipe));
    EXPECT_EQ(0, pgc.GetCell(0)->m_nCellCommand);
    EXPECT_TRUE(log.Has('W', "Cell #1 has cell command #3 yet there is only 1 commands awailable in cells command "
                             "table. Substituting with 0."));
}

TEST_F(PgcRead, ProgramMapRepairsAndErrors)
{
    struct Case
    {
        std::vector<BYTE> programs;
        std::vector<CellRecipe> cells;
        bool bOk;
        int nPrograms;
        const char* pszMessage;
    };
    const Case cases[] = {
        {{1, 2, 0},
         {Cell(1, 1), Cell(1, 2), Cell(1, 3)},
         true,
         2,
         "W:Last program points to cell with 0 index. Ignore."},
        {{0}, {Cell(1, 1)}, false, 1, "E:Can't ignore the only program in PGC"},
        {{1, 9, 2},
         {Cell(1, 1), Cell(1, 2)},
         true,
         1,
         "W:Program 2 points to non nonexistent cell (9). Ignore rest of the programs."},
        {{5}, {Cell(1, 1)}, false, 1, "E:Can't ignore the only program in PGC"},
        {{1, 3},
         {Cell(1, 1), Cell(2, 1), Cell(2, 2)},
         false,
         2,
         "E:Cell should not start in the middle of angle group"},
        {{1, 2, 4}, {Cell(1, 1), Cell(2, 1), Cell(2, 2), Cell(1, 2)}, true, 3, nullptr},
    };
    for (const Case& c : cases)
    {
        CPgc fresh(0, nullptr);
        kxtest::RecordingLog caseLog;
        PgciRecipe recipe;
        recipe.programs = c.programs;
        recipe.cells = c.cells;
        std::vector<BYTE> image = BuildPgci(recipe);
        EXPECT_EQ(c.bOk, fresh.ReadIfo(caseLog, CPgcCategory(), &domain, View(image))) << caseLog.Dump();
        EXPECT_EQ(c.nPrograms, fresh.GetProgramCount());
        if (c.pszMessage)
        {
            EXPECT_NE(caseLog.lines.end(), std::find(caseLog.lines.begin(), caseLog.lines.end(), c.pszMessage))
                << caseLog.Dump();
        }
        else
        {
            EXPECT_TRUE(caseLog.lines.empty()) << caseLog.Dump();
        }
    }
    // Programs starting at entries 0, 1 and 3 (IFO cells 1, 2 and 4).
    CPgc pgc3(0, nullptr);
    PgciRecipe recipe;
    recipe.programs = {1, 2, 4};
    recipe.cells = {Cell(1, 1), Cell(2, 1), Cell(2, 2), Cell(1, 2)};
    std::vector<BYTE> image = BuildPgci(recipe);
    ASSERT_TRUE(pgc3.ReadIfo(log, CPgcCategory(), &domain, View(image)));
    EXPECT_EQ(2, pgc3.GetProgramStart(2));
}

TEST_F(PgcRead, MissingTablesAreErrors)
{
    PgciRecipe recipe;
    recipe.programs = {1};
    recipe.cells = {Cell(1, 1)};
    std::vector<BYTE> image = BuildPgci(recipe);
    std::vector<BYTE> noPositions = image;
    PutBE16(&noPositions[234], 0);
    CPgc a(0, nullptr);
    EXPECT_FALSE(a.ReadIfo(log, CPgcCategory(), &domain, View(noPositions)));
    EXPECT_TRUE(log.Has('E', "No cells found"));

    std::vector<BYTE> noMap = image;
    PutBE16(&noMap[230], 0);
    CPgc b(0, nullptr);
    EXPECT_FALSE(b.ReadIfo(log, CPgcCategory(), &domain, View(noMap)));
    EXPECT_TRUE(log.Has('E', "No programs found"));

    // Without cells or programs, tables that point nowhere are not read.
    std::vector<BYTE> empty = BuildPgci(PgciRecipe());
    for (size_t nField : {230, 232, 234})
        PutBE16(&empty[nField], 0xFFF0);
    CPgc c(0, nullptr);
    kxtest::RecordingLog emptyLog;
    EXPECT_TRUE(c.ReadIfo(emptyLog, CPgcCategory(), &domain, View(empty))) << emptyLog.Dump();
}

TEST_F(PgcRead, DamagedBytesNeverReadOutside)
{
    PgciRecipe recipe;
    recipe.pre = {MakeCommand(0x71), MakeCommand(0x71)};
    recipe.cell = {MakeCommand(0x20)};
    recipe.programs = {1, 2};
    recipe.cells = {Cell(1, 1), Cell(2, 1), Cell(2, 2), Cell(1, 3)};
    const std::vector<BYTE> image = BuildPgci(recipe);

    // Every truncation reads from a copy of exactly that many bytes, so a
    // read past them is an ASan error.
    for (size_t n = 0; n < image.size(); ++n)
    {
        std::vector<BYTE> cut(image.begin(), image.begin() + n);
        CPgc damaged(0, nullptr);
        kxtest::RecordingLog cutLog;
        EXPECT_FALSE(damaged.ReadIfo(cutLog, CPgcCategory(), &domain, View(cut))) << n;
        EXPECT_GT(cutLog.Count('E'), 0) << n;
    }
    EXPECT_TRUE(pgc.ReadIfo(log, CPgcCategory(), &domain, View(image))) << log.Dump();

    std::mt19937 random(4711);
    for (int round = 0; round < 2000; ++round)
    {
        std::vector<BYTE> flipped = image;
        for (int k = 0; k < 4; ++k)
            flipped[random() % flipped.size()] = BYTE(random());
        // Offsets and counts are the fields that matter most.
        const size_t nField = 228 + 2 * (random() % 4);
        PutBE16(&flipped[nField], WORD(random()));
        flipped[2 + random() % 2] = BYTE(random());
        CPgc damaged(0, nullptr);
        kxtest::RecordingLog flipLog;
        if (!damaged.ReadIfo(flipLog, CPgcCategory(), &domain, View(flipped)))
        {
            EXPECT_GT(flipLog.Count('E'), 0);
        }
    }
}

TEST(PgcGeometry, CellsProgramsAndAngles)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe a1, a2, a3, plain;
    a2.nCellId = 2;
    a3.nCellId = 3;
    plain.nCellId = 4;
    CAngleBlock* pThree = AddBlock(domain, {a1, a2, a3});
    CAngleBlock* pOne = AddBlock(domain, {plain});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> three;
    three.Add(0);
    three.Add(1);
    three.Add(2);
    CGrowArray<BYTE> one;
    one.Add(0);
    pgc.AddCell(new CPgcCell(1, 0, 0, 0, pThree, three, &pgc));
    EXPECT_EQ(3u, pgc.GetIfoCellCount());
    EXPECT_EQ(0, pgc.FindCellOfIfoCell(2));
    EXPECT_EQ(-1, pgc.FindCellOfIfoCell(3));
    EXPECT_EQ(-1, pgc.FindProgramOfCell(0));
    for (int i = 0; i < 4; ++i)
        pgc.AddCell(new CPgcCell(1, 0, 0, 0, pOne, one, &pgc));
    EXPECT_EQ(3u, pgc.GetFirstIfoCell(1));
    EXPECT_EQ(4, pgc.FindCellOfIfoCell(6));
    EXPECT_EQ(3, pgc.GetMaxAngleCount());
    pgc.AddProgram(0);
    pgc.AddProgram(3);
    const int expected[] = {0, 0, 0, 1, 1};
    for (uint32_t i = 0; i < 5; ++i)
        EXPECT_EQ(expected[i], pgc.FindProgramOfCell(i)) << i;
    pgc.ShiftProgramMap(2, 1);
    EXPECT_EQ(4, pgc.GetProgramStart(1));
    EXPECT_EQ(0, pgc.GetProgramStart(0));
    // Beyond the IFO's one-byte numbers the model keeps counting.
    pgc.AddProgram(255);
    pgc.ShiftProgramMap(100, 1);
    EXPECT_EQ(256, pgc.GetProgramStart(2));
}

TEST(PgcWrite, SeamlessFlagFollowsThePreviousCell)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe recipe;
    CAngleBlock* pBlock = AddBlock(domain, {recipe});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> one;
    one.Add(0);
    for (int i = 0; i < 5; ++i)
        pgc.AddCell(new CPgcCell(1, 0, 0, 0, pBlock, one, &pgc));
    pgc.GetCell(1)->m_nStillTime = 3;
    pgc.GetCell(3)->m_nCellCommand = 1;
    const BYTE expected[] = {0, 1, 0, 1, 0};
    for (uint32_t i = 0; i < 5; ++i)
        EXPECT_EQ(expected[i], pgc.GetCell(i)->GetSeamlessFlag()) << i;

    CPgc afterBlank(0, nullptr);
    CAngleBlock* pBlank = CPgc::CreateBlankBlock(&domain, 5, 1, nullptr);
    afterBlank.AddCell(new CPgcCell(1, 0, 0, 0, pBlank, one, &afterBlank));
    afterBlank.AddCell(new CPgcCell(1, 0, 0, 0, pBlock, one, &afterBlank));
    EXPECT_EQ(0, afterBlank.GetCell(1)->GetSeamlessFlag());
}

// A blank block is a copy of the stock blank cell of the domain's standard
// with the ids asked for.
TEST(PgcBlank, BlankBlockCopiesTheStockCell)
{
    ReleaseStockCells();
    ASSERT_TRUE(CreateStockCells());
    for (bool pal : {true, false})
    {
        SCOPED_TRACE(pal);
        CStreamSet streams(nullptr, false);
        BYTE block[STREAM_BLOCK_SIZE] = {};
        block[0] = pal ? 0x50 : 0x40;
        ASSERT_TRUE(streams.ReadIfo(block, false));
        CAngleBlockList domain(streams, nullptr);
        CAngleBlock* pBlank = CPgc::CreateBlankBlock(&domain, 7, 2, nullptr);
        ASSERT_EQ(domain.GetBlockIndex(pBlank), 0);
        const CVobCell* pIlvu = pBlank->GetIlvu(0);
        const CVobCell* pStock = GetStockCell(pal ? STOCK_EMPTY_PAL : STOCK_EMPTY_NTSC);
        EXPECT_TRUE(pIlvu->IsStock());
        EXPECT_EQ(pIlvu->GetVobData(), pStock->GetVobData());
        EXPECT_EQ(pIlvu->GetVobuCount(), pStock->GetVobuCount());
        EXPECT_EQ(pIlvu->GetVobId(), 7);
        EXPECT_EQ(pIlvu->GetCellId(), 2);
        EXPECT_EQ(pIlvu->GetParent(), pBlank);
    }
    EXPECT_TRUE(ReleaseStockCells());
}

TEST(PgcWrite, LayoutPaddingAndCellPlayback)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe first;
    first.dwFirstSector = 0;
    first.nVobus = 3;
    first.dwStartPtm = 1000;
    first.dwEndPtm = 1000 + 2 * 90000;
    IlvuRecipe second = first;
    second.nCellId = 2;
    second.dwFirstSector = 30;
    CAngleBlock* pFirst = AddBlock(domain, {first});
    CAngleBlock* pSecond = AddBlock(domain, {second});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> one;
    one.Add(0);
    pgc.AddCell(new CPgcCell(1, 1, 0, 0, pFirst, one, &pgc));
    pgc.AddCell(new CPgcCell(1, 0, 0, 0, pSecond, one, &pgc));
    pgc.AddCell(new CPgcCell(1, 0, 0, 0, pSecond, one, &pgc));
    pgc.AddProgram(0);
    pgc.AddProgram(1);
    pgc.AddProgram(2);
    pgc.m_preCommands.Add(MakeCommand(0x71).data());

    ASSERT_EQ(size_t(236 + 8 + 8 + 3 + 1 + 28 * 3), pgc.GetIfoSize());
    std::vector<BYTE> out(pgc.GetIfoSize());
    kxtest::RecordingLog log;
    ASSERT_TRUE(pgc.WriteIfo(log, out.data())) << log.Dump();
    EXPECT_EQ(3, out[2]);
    EXPECT_EQ(3, out[3]);
    EXPECT_EQ(236, GetBE16(&out[228]));
    EXPECT_EQ(252, GetBE16(&out[230]));
    EXPECT_EQ(256, GetBE16(&out[232])); // one byte of padding after 3 programs
    EXPECT_EQ(256 + 72, GetBE16(&out[234]));
    EXPECT_EQ(1, out[252]);
    EXPECT_EQ(2, out[253]);
    EXPECT_EQ(3, out[254]);
    // 6 seconds at 25 fps.
    const BYTE time[4] = {0, 0, 0x06, 0x40};
    EXPECT_EQ(0, memcmp(time, &out[4], 4));

    const BYTE* pCell = &out[256];
    // First cell: no seamless, restricted, STC discontinuity (no previous cell).
    EXPECT_EQ(0x02, pCell[0]);
    EXPECT_EQ(0x20, pCell[1]);
    const BYTE cellTime[4] = {0, 0, 0x02, 0x40};
    EXPECT_EQ(0, memcmp(cellTime, pCell + 4, 4));
    EXPECT_EQ(0u, GetBE32(pCell + 8));
    EXPECT_EQ(20u, GetBE32(pCell + 16));
    EXPECT_EQ(29u, GetBE32(pCell + 20));
    // Second cell continues the first: seamless and no discontinuity.
    EXPECT_EQ(0x08, pCell[24]);
    EXPECT_EQ(30u, GetBE32(pCell + 24 + 8));
    // Third cell starts again at sector 30: a discontinuity.
    EXPECT_EQ(0x0A, pCell[48]);
    // Cell positions.
    EXPECT_EQ(1, GetBE16(&out[328 + 4]));
    EXPECT_EQ(2, out[328 + 4 + 3]);
    EXPECT_TRUE(log.lines.empty()) << log.Dump();
}

TEST(PgcWrite, CellCommandBeyondTheTableIsWrittenWithAWarningPerAngle)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe recipe;
    recipe.nAngles = 2;
    recipe.bIlvu = true;
    IlvuRecipe recipe2 = recipe;
    recipe2.nCellId = 2;
    CAngleBlock* pBlock = AddBlock(domain, {recipe, recipe2});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> angles;
    angles.Add(0);
    angles.Add(1);
    pgc.AddCell(new CPgcCell(0, 0, 0, 5, pBlock, angles, &pgc));
    for (int i = 0; i < 3; ++i)
        pgc.m_cellCommands.Add(MakeCommand(0x20).data());
    std::vector<BYTE> out(pgc.GetIfoSize());
    kxtest::RecordingLog log;
    ASSERT_TRUE(pgc.WriteIfo(log, out.data()));
    EXPECT_EQ(2, log.Count('W'));
    EXPECT_TRUE(log.Has('W', "Command# 5 for block 0 is large then amount of cell commands (3) in this PGC. Ignore "
                             "it. Disk may not play right."));
    const size_t nPlayback = GetBE16(&out[232]);
    EXPECT_EQ(5, out[nPlayback + 3]);
    EXPECT_EQ(5, out[nPlayback + 24 + 3]);
}

TEST(PgcWrite, RefusesChainsBeyondTheOneByteCounts)
{
    struct Case
    {
        int nCells;
        int nPrograms;
        bool bOk;
        const char* pszError;
    };
    const Case cases[] = {
        {255, 255, true, nullptr},
        {256, 1, false, "Too many cells in PGC (256)"},
        {256, 256, false, "Too many programs in PGC (256)"},
    };
    CAngleBlockList domain(nullptr);
    IlvuRecipe recipe;
    CAngleBlock* pBlock = AddBlock(domain, {recipe});
    CGrowArray<BYTE> one;
    one.Add(0);
    for (const Case& c : cases)
    {
        CPgc pgc(0, nullptr);
        for (int i = 0; i < c.nCells; ++i)
            pgc.AddCell(new CPgcCell(0, 0, 0, 0, pBlock, one, &pgc));
        for (int p = 0; p < c.nPrograms; ++p)
            pgc.AddProgram(BYTE(p));
        std::vector<BYTE> out(pgc.GetIfoSize());
        kxtest::RecordingLog log;
        EXPECT_EQ(c.bOk, pgc.WriteIfo(log, out.data())) << c.nCells;
        if (c.pszError)
        {
            EXPECT_TRUE(log.Has('E', c.pszError)) << log.Dump();
        }
        else
        {
            EXPECT_EQ(255, out[3]);
        }
    }
}

TEST(PgcCommands, EmptyAndMarks)
{
    CPgc pgc(0, nullptr);
    pgc.m_postCommands.Add(MakeCommand(0x30).data());
    pgc.m_cellCommands.Add(MakeCommand(0x20).data());
    pgc.ClearModified();
    pgc.Notify(nullptr, DVDNOTICE_CLEAR_COMMANDS, 0, 0);
    EXPECT_EQ(0u, pgc.GetCommandCount());
    EXPECT_TRUE(pgc.m_postCommands.IsModified());
    EXPECT_FALSE(pgc.m_preCommands.IsModified());
    EXPECT_EQ(236u, pgc.GetIfoSize());
    CDvdReference ref = pgc.m_postCommands.GetReference(4);
    EXPECT_EQ(&pgc.m_postCommands, ref.pNode);
    EXPECT_EQ(PGC_GROUP_POST, ref.nField);
    EXPECT_EQ(4u, ref.nIndex);
}

TEST(PgcCopy, KeepsIdsAndMapsBlocks)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe recipe;
    CAngleBlock* pBlock = AddBlock(domain, {recipe});
    CAngleBlock* pOther = AddBlock(domain, {recipe});
    CPgc pgc(1, nullptr);
    CGrowArray<BYTE> one;
    one.Add(0);
    pgc.AddCell(new CPgcCell(1, 1, 7, 1, pBlock, one, &pgc));
    pgc.AddProgram(0);
    pgc.m_cellCommands.Add(MakeCommand(0x20, 9).data());
    pgc.m_nCategory = 0x83;

    CBlockMap map;
    map.Add(CBlockMapEntry{pBlock, pOther});
    CPgc copy(pgc, &map, nullptr);
    EXPECT_EQ(pgc.GetId(), copy.GetId());
    EXPECT_EQ(pgc.GetCell(0)->GetId(), copy.GetCell(0)->GetId());
    EXPECT_EQ(pOther, copy.GetCell(0)->GetBlock());
    EXPECT_EQ(7, copy.GetCell(0)->m_nStillTime);
    EXPECT_EQ(0x83, copy.m_nCategory);
    EXPECT_EQ(1, copy.GetProgramCount());
    EXPECT_EQ(9, copy.m_cellCommands.GetCommand(0)[7]);
    EXPECT_EQ(&copy, copy.GetCell(0)->GetParent());
}

TEST(PgcNotices, CollectHideAndClearMarks)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe recipe;
    CAngleBlock* pBlock = AddBlock(domain, {recipe});
    recipe.nCellId = 2;
    CAngleBlock* pOther = AddBlock(domain, {recipe});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> one;
    one.Add(0);
    pgc.AddCell(new CPgcCell(0, 0, 5, 0, pBlock, one, &pgc));
    pgc.AddCell(new CPgcCell(0, 0, 5, 0, pOther, one, &pgc));
    pgc.AddCell(new CPgcCell(0, 0, 5, 0, pBlock, one, &pgc));

    CPgcCellArray cells;
    pgc.Notify(pBlock, DVDNOTICE_COLLECT_CELLS, reinterpret_cast<intptr_t>(&cells), 0);
    pgc.Notify(pBlock, DVDNOTICE_COLLECT_CELLS, reinterpret_cast<intptr_t>(&cells), 0);
    ASSERT_EQ(2, cells.GetSize());
    EXPECT_EQ(pgc.GetCell(0), cells[0]);
    EXPECT_EQ(pgc.GetCell(2), cells[1]);

    pgc.Notify(pBlock, DVDNOTICE_BLOCK_HIDDEN, 0, 0);
    EXPECT_EQ(0, pgc.GetCell(0)->m_nStillTime);
    EXPECT_EQ(5, pgc.GetCell(1)->m_nStillTime);
    EXPECT_EQ(0, pgc.GetCell(2)->m_nStillTime);

    pgc.SetFlags(pgc.GetFlags() | DVDFLAG_MARK);
    pgc.m_preCommands.SetFlags(DVDFLAG_MARK);
    pgc.GetCell(1)->SetFlags(DVDFLAG_MARK);
    pgc.Notify(nullptr, DVDNOTICE_CLEAR_MARKS, 0, 0);
    EXPECT_EQ(0, pgc.GetFlags() & DVDFLAG_MARK);
    EXPECT_EQ(0, pgc.m_preCommands.GetFlags() & DVDFLAG_MARK);
    EXPECT_EQ(0, pgc.GetCell(1)->GetFlags() & DVDFLAG_MARK);
}

namespace
{

// Records every reference it is shown; reports the ones it is told to.
class RecordingValidator : public CDvdValidator
{
public:
    bool Check(const CDvdReference& reference, CDvdValidationMessages& messages) override
    {
        seen.push_back(reference);
        return reference.pNode && reference.pNode->GetKind() == nReportKind;
    }

    std::vector<CDvdReference> seen;
    uint8_t nReportKind = 0;
};

} // namespace

TEST(PgcValidate, VisitsTheNodesAndFieldsInOrder)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe recipe;
    CAngleBlock* pBlock = AddBlock(domain, {recipe});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> one;
    one.Add(0);
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pBlock, one, &pgc));
    pgc.AddProgram(0);
    pgc.AddProgram(0);
    pgc.m_cellCommands.Add(MakeCommand(0x20).data());

    RecordingValidator validator;
    CDvdValidationMessages messages;
    EXPECT_FALSE(pgc.Validate(validator, messages));
    const std::vector<CDvdReference>& seen = validator.seen;
    ASSERT_EQ(size_t(1 + 1 + 2 + 1 + 1 + 1 + 1 + 8 + 32 + 5 + 16 + 2 + 2), seen.size());
    EXPECT_EQ(CDvdReference(&pgc, 0, 0), seen[0]);
    EXPECT_EQ(CDvdReference(&pgc.m_preCommands, 0, 0), seen[1]);
    EXPECT_EQ(CDvdReference(&pgc.m_cellCommands, 0, 0), seen[2]);
    EXPECT_EQ(CDvdReference(&pgc.m_cellCommands, PGC_GROUP_CELL, 0), seen[3]);
    EXPECT_EQ(CDvdReference(&pgc.m_postCommands, 0, 0), seen[4]);
    EXPECT_EQ(CDvdReference(&pgc.m_blockList, 0, 0), seen[5]);
    EXPECT_EQ(CDvdReference(pgc.GetCell(0), 0, 0), seen[6]);
    EXPECT_EQ(CDvdReference(pBlock->GetIlvu(0), 0, 0), seen[7]);
    EXPECT_EQ(CDvdReference(&pgc, PGCFIELD_AUDIO, 0), seen[8]);
    EXPECT_EQ(CDvdReference(&pgc, PGCFIELD_SUBPICTURE, 31), seen[47]);
    EXPECT_EQ(CDvdReference(&pgc, PGCFIELD_NEXT, 0), seen[48]);
    EXPECT_EQ(CDvdReference(&pgc, PGCFIELD_STILL_TIME, 0), seen[51]);
    EXPECT_EQ(CDvdReference(&pgc, PGCFIELD_PLAYBACK_MODE, 0), seen[52]);
    EXPECT_EQ(CDvdReference(&pgc, PGCFIELD_COLOUR, 15), seen[68]);
    EXPECT_EQ(CDvdReference(&pgc, PGCFIELD_PROGRAM, 1), seen[70]);
    EXPECT_EQ(CDvdReference(&pgc, PGCFIELD_CATEGORY, 0), seen[71]);
    EXPECT_EQ(CDvdReference(&pgc, PGCFIELD_UOPS, 0), seen[72]);

    // A report anywhere below makes the whole PGC report, and the walk goes on.
    validator.seen.clear();
    validator.nReportKind = DVDNODE_VOB_CELL;
    EXPECT_TRUE(pgc.Validate(validator, messages));
    EXPECT_EQ(73u, validator.seen.size());
}

namespace
{

Command LinkCell(BYTE nCell)
{
    Command c = {0x20, 0x07, 0, 0, 0, 0, 0, nCell};
    return c;
}

Command GotoLine(BYTE nLine)
{
    Command c = {0x00, 0x01, 0, 0, 0, 0, 0, nLine};
    return c;
}

} // namespace

TEST(PgcNotices, AngleCountChangeRelinksCells)
{
    // The link commands decode as the model's Link Cell.
    CNavCommand decoded = CNavCommand::FromBytes(DVDDOMAIN_ANY, LinkCell(3).data());
    ASSERT_EQ(NAV_LINK_CELL, decoded.GetInstruction().GetCode());

    CAngleBlockList domain(nullptr);
    IlvuRecipe a1, a2, a3, plain;
    a2.nCellId = 2;
    a3.nCellId = 3;
    plain.nCellId = 4;
    CAngleBlock* pThree = AddBlock(domain, {a1, a2, a3});
    CAngleBlock* pOne = AddBlock(domain, {plain});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> three;
    for (BYTE a = 0; a < 3; ++a)
        three.Add(a);
    CGrowArray<BYTE> one;
    one.Add(0);
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pThree, three, &pgc));
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pOne, one, &pgc));
    for (BYTE n = 1; n <= 4; ++n)
        pgc.m_cellCommands.Add(LinkCell(n).data());
    pgc.ClearModified();

    pgc.Notify(pThree, DVDNOTICE_ANGLE_COUNT, 1, 0);
    const BYTE expected[] = {1, 0, 0, 2};
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(expected[i], pgc.m_cellCommands.GetCommand(i)[7]) << i;
    EXPECT_EQ(1, pgc.GetCell(0)->GetAngleCount());
    EXPECT_EQ(2u, pgc.GetIfoCellCount());
    EXPECT_TRUE(pgc.GetCell(0)->IsModified());
    EXPECT_FALSE(pgc.GetCell(1)->IsModified());
}

TEST(PgcCommands, InsertAtRenumbersCellCommandsAndGotoLines)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe recipe;
    CAngleBlock* pBlock = AddBlock(domain, {recipe});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> one;
    one.Add(0);
    for (BYTE n : {0, 1, 2})
        pgc.AddCell(new CPgcCell(0, 0, 0, n, pBlock, one, &pgc));
    pgc.m_cellCommands.Add(GotoLine(2).data());
    pgc.m_cellCommands.Add(LinkCell(1).data());
    pgc.m_preCommands.Add(GotoLine(1).data());

    const Command inserted = GotoLine(1);
    EXPECT_EQ(0u, pgc.m_cellCommands.InsertAt(0, inserted.data()));
    ASSERT_EQ(3u, pgc.m_cellCommands.GetCount());
    EXPECT_EQ(2, pgc.m_cellCommands.GetCommand(0)[7]); // the new goto 1 now names line 2
    EXPECT_EQ(3, pgc.m_cellCommands.GetCommand(1)[7]);
    EXPECT_EQ(1, pgc.m_cellCommands.GetCommand(2)[7]); // Link Cell is no line
    EXPECT_EQ(0, pgc.GetCell(0)->m_nCellCommand);
    EXPECT_EQ(2, pgc.GetCell(1)->m_nCellCommand);
    EXPECT_EQ(3, pgc.GetCell(2)->m_nCellCommand);
    // Another table leaves the cells alone.
    pgc.m_preCommands.InsertAt(5, LinkCell(9).data());
    EXPECT_EQ(2u, pgc.m_preCommands.GetCount());
    EXPECT_EQ(1, pgc.m_preCommands.GetCommand(0)[7]);
    EXPECT_EQ(2, pgc.GetCell(1)->m_nCellCommand);
}

TEST(PgcCells, InsertCellMovesReferencesProgramsAndBlocks)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe a, b;
    b.nCellId = 2;
    CAngleBlock* pA = AddBlock(domain, {a});
    CAngleBlock* pB = AddBlock(domain, {b});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> one;
    one.Add(0);
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pA, one, &pgc));
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pB, one, &pgc));
    pgc.AddProgram(0);
    pgc.AddProgram(1);
    for (BYTE n = 1; n <= 2; ++n)
        pgc.m_postCommands.Add(LinkCell(n).data());

    // A blank entry before entry 1: it takes a block just before B's.
    EXPECT_EQ(1u, pgc.InsertCell(1, true, nullptr));
    ASSERT_EQ(3u, pgc.GetCellCount());
    ASSERT_EQ(3u, domain.GetBlockCount());
    EXPECT_EQ(domain.GetBlock(1), pgc.GetCell(1)->GetBlock());
    EXPECT_TRUE(pgc.GetCell(1)->GetIlvu(0)->IsBlank());
    EXPECT_EQ(pB, domain.GetBlock(2));
    EXPECT_EQ(pB, pgc.GetCell(2)->GetBlock());
    EXPECT_EQ(1, pgc.m_postCommands.GetCommand(0)[7]);
    EXPECT_EQ(3, pgc.m_postCommands.GetCommand(1)[7]);
    EXPECT_EQ(0, pgc.GetProgramStart(0));
    EXPECT_EQ(1, pgc.GetProgramStart(1));

    // A given block after the last entry.
    EXPECT_EQ(3u, pgc.InsertCell(2, false, pA));
    EXPECT_EQ(pA, pgc.GetCell(3)->GetBlock());
    EXPECT_EQ(3, pgc.m_postCommands.GetCommand(1)[7]);

    EXPECT_EQ(2, pgc.AddBlankProgram());
    EXPECT_EQ(4, pgc.GetProgramStart(2));
    EXPECT_EQ(5u, pgc.GetCellCount());
    EXPECT_EQ(4u, domain.GetBlockCount());
}

TEST(PgcNotices, SplitBlockInsertsTheSecondPart)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe a, second;
    second.nCellId = 2;
    CAngleBlock* pA = AddBlock(domain, {a});
    CAngleBlock* pSecond = AddBlock(domain, {second});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> one;
    one.Add(0);
    pgc.m_cellCommands.Add(LinkCell(1).data());
    pgc.AddCell(new CPgcCell(0, 0, 0, 1, pA, one, &pgc));
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pA, one, &pgc));
    pgc.Notify(pA, DVDNOTICE_BLOCK_SPLIT, reinterpret_cast<intptr_t>(pSecond), 0);
    ASSERT_EQ(4u, pgc.GetCellCount());
    EXPECT_EQ(pA, pgc.GetCell(0)->GetBlock());
    EXPECT_EQ(pSecond, pgc.GetCell(1)->GetBlock());
    EXPECT_EQ(pA, pgc.GetCell(2)->GetBlock());
    EXPECT_EQ(pSecond, pgc.GetCell(3)->GetBlock());
    EXPECT_EQ(0, pgc.GetCell(0)->m_nCellCommand);
}

namespace
{

class TestCollector : public CReferenceCollector
{
public:
    TestCollector() : CReferenceCollector(RETARGET_IFO_CELL) {}

protected:
    bool ButtonsReferTo(const CAngleBlock*, BYTE, int, int) const override { return false; }
    bool RetargetButtonCommands(CAngleBlock*, BYTE, int, int, int) override { return false; }
    CAngleBlock* DuplicateBlock(CPgcCell*) override { return nullptr; }
};

} // namespace

TEST(PgcNotices, SplitAndAngleNoticesReportMovedCells)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe a, b, c;
    b.nCellId = 2;
    c.nCellId = 3;
    CAngleBlock* pA = AddBlock(domain, {a});
    CAngleBlock* pB = AddBlock(domain, {b, c});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> one;
    one.Add(0);
    CGrowArray<BYTE> two;
    two.Add(0);
    two.Add(1);
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pB, two, &pgc)); // entry 1
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pA, one, &pgc)); // entry 2
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pB, two, &pgc)); // entry 3
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pA, one, &pgc)); // entry 4

    // Split of B: each entry of the PGC learns that the IFO cells after
    // entry 1 move by one up to entry 3 (IFO cells 3 to 5), and after entry
    // 3 by two (IFO cell 6): links count the IFO cells of both angles.
    TestCollector split;
    pgc.Notify(pB, DVDNOTICE_COLLECT_SPLIT_REFS, reinterpret_cast<intptr_t>(&split), 0);
    const CReferenceList* pListA = split.FindList(pA);
    ASSERT_NE(nullptr, pListA);
    ASSERT_EQ(4u, pListA->records.GetSize());
    EXPECT_EQ(3, pListA->records[0]->wFirst);
    EXPECT_EQ(5, pListA->records[0]->wLast);
    EXPECT_EQ(1, pListA->records[0]->nShift);
    EXPECT_EQ(6, pListA->records[1]->wFirst);
    EXPECT_EQ(6, pListA->records[1]->wLast);
    EXPECT_EQ(2, pListA->records[1]->nShift);
    ASSERT_NE(nullptr, split.FindList(pB));
    EXPECT_EQ(4u, split.FindList(pB)->records.GetSize());

    // B down to one angle: only the cells playing other blocks report.
    TestCollector angles;
    pgc.Notify(pB, DVDNOTICE_COLLECT_ANGLE_REFS, 1, reinterpret_cast<intptr_t>(&angles));
    EXPECT_EQ(nullptr, angles.FindList(pB));
    ASSERT_NE(nullptr, angles.FindList(pA));
    ASSERT_EQ(4u, angles.FindList(pA)->records.GetSize());
    // Each range starts as far below its cells as it moves: on the IFO cell
    // entry 1 loses (2), then on cells 4 (vacated by the first range) and 5
    // (lost by entry 3), which the first range leaves out.
    EXPECT_EQ(2, angles.FindList(pA)->records[0]->wFirst);
    EXPECT_EQ(4, angles.FindList(pA)->records[0]->wLast);
    EXPECT_EQ(-1, angles.FindList(pA)->records[0]->nShift);
    EXPECT_EQ(4, angles.FindList(pA)->records[1]->wFirst);
    EXPECT_EQ(6, angles.FindList(pA)->records[1]->wLast);
    EXPECT_EQ(-2, angles.FindList(pA)->records[1]->nShift);

    // No change of the angle count: nothing moves.
    TestCollector same;
    pgc.Notify(pB, DVDNOTICE_COLLECT_ANGLE_REFS, 2, reinterpret_cast<intptr_t>(&same));
    EXPECT_EQ(0u, same.GetListCount());
}

TEST(PgcDomain, FirstPlayPlaysTheVmgMenuDomain)
{
    CVmg vmg(nullptr);
    BYTE attributes[STREAM_BLOCK_SIZE] = {};
    attributes[0] = 0x5D; // MPEG-2, 625/50
    ASSERT_TRUE(vmg.GetMenuDomain().GetStreams().ReadIfo(attributes, true));
    CPgc firstPlay(1, &vmg);
    EXPECT_EQ(&vmg.GetMenuDomain(), firstPlay.GetDomain());
    EXPECT_EQ(DVDDOMAIN_FIRST_PLAY, firstPlay.GetPgcDomainCode());
    // Without cells the playback time is zero at the domain's frame rate.
    EXPECT_EQ(DVDTIME_RATE_25, firstPlay.GetPlaybackTime().frames);
}

TEST(PgcNotices, SeparatedAnglesGiveEachEntryItsBlock)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe a1, a2, p1, p2;
    a2.nCellId = 2;
    p1.nCellId = 3;
    p2.nCellId = 4;
    CAngleBlock* pAngles = AddBlock(domain, {a1, a2});
    CAngleBlock* pFirst = AddBlock(domain, {p1});
    CAngleBlock* pSecond = AddBlock(domain, {p2});
    CPgc pgc(0, nullptr);
    CGrowArray<BYTE> both;
    both.Add(0);
    both.Add(1);
    CGrowArray<BYTE> second;
    second.Add(1);
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pAngles, both, &pgc));
    pgc.AddCell(new CPgcCell(0, 0, 0, 0, pAngles, second, &pgc));
    CGrowArray<CAngleBlock*> blocks;
    blocks.Add(pFirst);
    blocks.Add(pSecond);
    pgc.Notify(pAngles, DVDNOTICE_ANGLES_SEPARATED, reinterpret_cast<intptr_t>(&blocks), 0);
    EXPECT_EQ(pFirst, pgc.GetCell(0)->GetBlock());
    EXPECT_EQ(1, pgc.GetCell(0)->GetAngleCount());
    EXPECT_EQ(pSecond, pgc.GetCell(1)->GetBlock());
    EXPECT_EQ(0, pgc.GetCell(1)->GetAngle(0));
}

// The VMG menu of ntscmenu has buttons that link to titles; its titles have
// none.
TEST(PgcButtons, MenuPgcsHaveNavigatingButtonsTitlesNone)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvd dvd;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
    const CLanguageUnits& units = dvd.GetVmg().GetLanguageUnits();
    ASSERT_GT(units.GetUnitCount(), 0u);
    bool menuButtons = false;
    for (uint32_t i = 0; i < units.GetUnit(0)->GetPgcCount(); ++i)
    {
        const CPgc* pgc = units.GetUnit(0)->GetPgc(i);
        if (!pgc->HasButtons())
            continue;
        menuButtons = true;
        EXPECT_TRUE(pgc->HasNavigatingButtons());
        bool cellButtons = false;
        for (uint32_t c = 0; c < pgc->GetCellCount(); ++c)
            cellButtons = cellButtons || pgc->GetCell(c)->HasButtons();
        EXPECT_TRUE(cellButtons);
    }
    EXPECT_TRUE(menuButtons);
    const CPgcTable& titles = dvd.GetVts(0)->GetPgcTable();
    for (uint32_t i = 0; i < titles.GetPgcCount(); ++i)
    {
        EXPECT_FALSE(titles.GetPgc(i)->HasButtons()) << i;
        EXPECT_FALSE(titles.GetPgc(i)->HasNavigatingButtons()) << i;
    }
}
