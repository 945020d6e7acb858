#include "DVD/source/PgcTable.h"

#include "DVD/source/PgcTestSupport.h"
#include "DVD/source/title.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

using namespace pgctest;

namespace
{

const DWORD TICKS = 90000;

// A title table whose titles each name one PGC per chapter.
class TitleTable : public ::testing::Test
{
protected:
    // A PGC of one cell of nSeconds (whole or tenths through dwTicks) with
    // VOBUs of half a second, playing title nTitle.
    CPgc* AddPgc(BYTE nTitle, DWORD dwTicks, DWORD dwStartPtm = 0, int nCells = 1)
    {
        CPgc* pPgc = new CPgc(0, nullptr);
        pPgc->m_nCategory = BYTE(0x80 | nTitle);
        CGrowArray<BYTE> one;
        one.Add(0);
        for (int c = 0; c < nCells; ++c)
        {
            IlvuRecipe recipe;
            recipe.nCellId = BYTE(domain.GetBlockCount() + 1);
            recipe.dwFirstSector = dwNextSector;
            recipe.nVobus = int((dwTicks + TICKS / 2 - 1) / (TICKS / 2));
            recipe.dwSectorsPerVobu = 20;
            recipe.dwStartPtm = dwStartPtm + DWORD(c) * dwTicks;
            recipe.dwEndPtm = recipe.dwStartPtm + dwTicks;
            dwNextSector += recipe.dwSectorsPerVobu * DWORD(recipe.nVobus);
            pPgc->AddCell(new CPgcCell(0, 0, 0, 0, AddBlock(domain, {recipe}), one, pPgc));
        }
        pPgc->AddProgram(0);
        table.AddPgc(pPgc);
        return pPgc;
    }

    void AddTitle(WORD wPgc)
    {
        CChapterEntry chapter;
        chapter.m_wPgc = wPgc;
        titles.AddTitle(chapter);
    }

    void SetUp() override
    {
        table.SetDomain(&domain);
        table.SetTitles(&titles);
        titles.SetPgcTable(&table);
    }

    std::vector<BYTE> Map(const CPgc& pgc, CDvdProgress* pProgress = nullptr)
    {
        std::vector<BYTE> bytes(pgc.GetTimeMapSize());
        EXPECT_TRUE(pgc.WriteTimeMap(log, bytes.data(), pProgress));
        return bytes;
    }

    CAngleBlockList domain{nullptr};
    CPgcTable table{0, nullptr};
    CVtsTitles titles{nullptr};
    kxtest::RecordingLog log;
    DWORD dwNextSector = 0;
};

} // namespace

TEST_F(TitleTable, TimeMapUnitAndEntries)
{
    struct Case
    {
        DWORD dwTicks;
        int nUnit;
        uint32_t nEntries;
    };
    const Case cases[] = {
        {3599 * TICKS, 2, 1799}, // 59:59
        {600 * TICKS, 1, 600},   // 10 minutes
        {81000, 0, 0},           // 0.9 seconds
        {TICKS, 1, 1},
    };
    for (const Case& c : cases)
    {
        table.RemoveAll();
        titles.RemoveAll();
        CPgc* pPgc = AddPgc(1, c.dwTicks);
        AddTitle(0);
        EXPECT_EQ(c.nEntries, pPgc->GetTimeMapEntryCount()) << c.dwTicks;
        const std::vector<BYTE> map = Map(*pPgc);
        ASSERT_EQ(4 + 4 * size_t(c.nEntries), map.size());
        EXPECT_EQ(c.nUnit, map[0]);
        const WORD nWritten = GetBE16(&map[2]);
        // The last target falls on the end of the PGC, which no VOBU covers.
        EXPECT_GE(nWritten + 1u, c.nEntries);
        EXPECT_LE(nWritten, c.nEntries);
        const DWORD dwFirst = nWritten ? pPgc->GetCell(0)->GetIlvu(0)->GetOutputVobus()[0] : 0;
        DWORD dwPrevious = dwFirst;
        for (WORD i = 0; i < nWritten; ++i)
        {
            const DWORD dwEntry = GetBE32(&map[4 + 4 * i]);
            EXPECT_EQ(i + 1 == nWritten, (dwEntry & 0x80000000) != 0) << i;
            // VOBUs of half a second, 20 sectors each: the entry for
            // second k * unit is VOBU 2 * k * unit.
            EXPECT_EQ(dwFirst + 40u * (i + 1) * c.nUnit, dwEntry & 0x7FFFFFFF) << i;
            EXPECT_GT(dwEntry & 0x7FFFFFFF, dwPrevious);
            dwPrevious = dwEntry & 0x7FFFFFFF;
        }
    }
}

TEST_F(TitleTable, PgcsWithoutATimeMap)
{
    CPgc* pRandom = AddPgc(1, 60 * TICKS);
    AddTitle(0);
    pRandom->m_nPlaybackMode = 0x81;
    CPgc* pStill = AddPgc(2, 60 * TICKS);
    AddTitle(1);
    pStill->GetCell(0)->m_nStillTime = STILL_INFINITE;
    // Two PGCs of title 3.
    CPgc* pShared1 = AddPgc(3, 60 * TICKS);
    CPgc* pShared2 = AddPgc(3, 60 * TICKS);
    AddTitle(2);
    CPgc* pNoTitle = AddPgc(0, 60 * TICKS);
    // Title 4's chapters name a PGC of another title.
    CPgc* pForeign = AddPgc(4, 60 * TICKS);
    AddTitle(0);
    for (const CPgc* pPgc : {pRandom, pStill, pShared1, pShared2, pNoTitle, pForeign})
    {
        EXPECT_EQ(4u, pPgc->GetTimeMapSize());
        const std::vector<BYTE> map = Map(*pPgc);
        EXPECT_EQ(std::vector<BYTE>(4, 0), map);
    }
    // A menu table has no time maps.
    CPgcTable menus(1, nullptr);
    CPgc* pMenu = new CPgc(1, nullptr);
    pMenu->m_nCategory = 0x81;
    menus.AddPgc(pMenu);
    EXPECT_EQ(0u, pMenu->GetTimeMapEntryCount());
}

TEST_F(TitleTable, TimeMapMarksDiscontinuities)
{
    // Two cells of 10 s whose time stamps do not continue each other.
    CPgc* pPgc = AddPgc(1, 10 * TICKS, 0, 1);
    IlvuRecipe recipe;
    recipe.nCellId = 9;
    recipe.dwFirstSector = 1000;
    recipe.nVobus = 20;
    recipe.dwSectorsPerVobu = 20;
    recipe.dwStartPtm = 5000000;
    recipe.dwEndPtm = 5000000 + 10 * TICKS;
    CGrowArray<BYTE> one;
    one.Add(0);
    pPgc->AddCell(new CPgcCell(0, 0, 0, 0, AddBlock(domain, {recipe}), one, pPgc));
    AddTitle(0);
    ASSERT_EQ(20u, pPgc->GetTimeMapEntryCount());
    const std::vector<BYTE> map = Map(*pPgc);
    ASSERT_EQ(19, GetBE16(&map[2]));
    for (int i = 0; i < 19; ++i)
    {
        const DWORD dwEntry = GetBE32(&map[4 + 4 * i]);
        // The last entry of the first cell and the last of all are marked.
        EXPECT_EQ(i == 8 || i == 18, (dwEntry & 0x80000000) != 0) << i;
    }
    EXPECT_EQ(1000u, GetBE32(&map[4 + 4 * 9]));
}

TEST_F(TitleTable, CellWithoutVobusGivesNoEntries)
{
    CPgc* pPgc = AddPgc(1, 10 * TICKS);
    AddTitle(0);
    // A second cell that claims time but has no VOBUs to point at.
    CGrowArray<BYTE> one;
    one.Add(0);
    IlvuRecipe recipe;
    recipe.nCellId = 40;
    recipe.nVobus = 0;
    recipe.dwStartPtm = 10 * TICKS;
    recipe.dwEndPtm = 20 * TICKS;
    pPgc->AddCell(new CPgcCell(0, 0, 0, 0, AddBlock(domain, {recipe}), one, pPgc));
    ASSERT_EQ(20u, pPgc->GetTimeMapEntryCount());
    const std::vector<BYTE> map = Map(*pPgc);
    EXPECT_EQ(9, GetBE16(&map[2]));
}

TEST_F(TitleTable, TimeMapTableAndProgress)
{
    AddPgc(1, 3 * TICKS);
    AddPgc(0, 3 * TICKS);
    AddTitle(0);
    ASSERT_EQ(size_t(8 + (4 + 16) + (4 + 4)), table.GetTimeMapSize());
    std::vector<BYTE> bytes(table.GetTimeMapSize());
    kxtest::RecordingProgress progress;
    progress.SetText("outer");
    progress.SetRange(1000);
    progress.SetPosition(123);
    ASSERT_TRUE(table.CreateTimeMap(log, bytes.data(), &progress));
    EXPECT_EQ(2, GetBE16(&bytes[0]));
    EXPECT_EQ(35u, GetBE32(&bytes[4]));
    EXPECT_EQ(16u, GetBE32(&bytes[8]));
    EXPECT_EQ(32u, GetBE32(&bytes[12]));
    EXPECT_EQ(1, bytes[16]);
    EXPECT_EQ(2, GetBE16(&bytes[18]));
    EXPECT_EQ(0, GetBE16(&bytes[34]));
    EXPECT_EQ(std::string("Creating time map ... "), progress.texts[1]);
    EXPECT_EQ(1000u, progress.range);
    EXPECT_EQ(123u, progress.position);
    EXPECT_STREQ("outer", progress.GetText());

    // The sink runs over the maps' sizes while the table is written, and
    // every map moves it by its size but 2.
    struct RangeProgress : kxtest::RecordingProgress
    {
        void SetRange(uint64_t total) override
        {
            ranges.push_back(total);
            kxtest::RecordingProgress::SetRange(total);
        }
        void Advance(uint64_t delta) override
        {
            advanced += delta;
            kxtest::RecordingProgress::Advance(delta);
        }
        std::vector<uint64_t> ranges;
        uint64_t advanced = 0;
    } inner;
    ASSERT_TRUE(table.CreateTimeMap(log, bytes.data(), &inner));
    ASSERT_EQ(2u, inner.ranges.size());
    EXPECT_EQ(16u + 4u, inner.ranges[0]);
    EXPECT_EQ(16u + 4u - 2u - 2u, inner.advanced);

    kxtest::RecordingProgress cancelling(1);
    kxtest::RecordingLog cancelLog;
    EXPECT_FALSE(table.CreateTimeMap(cancelLog, bytes.data(), &cancelling));
    EXPECT_EQ(1, cancelLog.Count('C'));
}

TEST(PgcTableIfo, EmptyTableIsEightBytes)
{
    CPgcTable table(0, nullptr);
    ASSERT_EQ(8u, table.GetIfoSize());
    BYTE bytes[8] = {};
    kxtest::RecordingLog log;
    ASSERT_TRUE(table.WriteIfo(log, bytes));
    const BYTE expected[8] = {0, 0, 0, 0, 0, 0, 0, 7};
    EXPECT_EQ(0, memcmp(expected, bytes, 8));
    ASSERT_TRUE(table.ReadIfo(log, nullptr, CIfoView(bytes, 8)));
    EXPECT_EQ(0u, table.GetPgcCount());
}

TEST(PgcTableIfo, ReadsWritesAndReportsBadPointers)
{
    CAngleBlockList domain(nullptr);
    IlvuRecipe recipe;
    AddBlock(domain, {recipe});
    PgciRecipe pgci;
    pgci.programs = {1};
    pgci.cells = {CellRecipe()};
    const std::vector<BYTE> one = BuildPgci(pgci);
    pgci.post = {MakeCommand(0x30, 1)};
    const std::vector<BYTE> two = BuildPgci(pgci);

    std::vector<BYTE> table(24);
    PutBE16(&table[0], 2);
    PutBE32(&table[4], DWORD(24 + one.size() + two.size() - 1));
    table[8] = 0x81;
    PutBE16(&table[10], 0x00FF);
    PutBE32(&table[12], 24);
    table[16] = 0x02;
    PutBE32(&table[20], DWORD(24 + one.size()));
    table.insert(table.end(), one.begin(), one.end());
    table.insert(table.end(), two.begin(), two.end());

    CPgcTable pgcs(0, nullptr);
    kxtest::RecordingLog log;
    ASSERT_TRUE(pgcs.ReadIfo(log, &domain, CIfoView(table.data(), table.size()))) << log.Dump();
    ASSERT_EQ(2u, pgcs.GetPgcCount());
    EXPECT_EQ(0x81, pgcs.GetPgc(0)->m_nCategory);
    EXPECT_EQ(0x00FF, pgcs.GetPgc(0)->m_wParentalMask);
    EXPECT_EQ(0x02, pgcs.GetPgc(1)->m_nCategory);
    EXPECT_EQ(1u, pgcs.GetPgc(1)->m_postCommands.GetCount());
    EXPECT_EQ(1, pgcs.GetChildIndex(pgcs.GetPgc(1)));

    std::vector<BYTE> out(pgcs.GetIfoSize());
    ASSERT_EQ(table.size(), out.size());
    ASSERT_TRUE(pgcs.WriteIfo(log, out.data()));
    // Header and search pointers as read; the PGCIs at the same offsets.
    EXPECT_TRUE(std::equal(table.begin(), table.begin() + 24, out.begin()));
    CPgcTable again(0, nullptr);
    ASSERT_TRUE(again.ReadIfo(log, &domain, CIfoView(out.data(), out.size())));
    std::vector<BYTE> out2(again.GetIfoSize());
    ASSERT_TRUE(again.WriteIfo(log, out2.data()));
    EXPECT_EQ(out, out2);

    // Cut anywhere, the table fails without reading past the bytes.
    for (size_t n = 0; n < table.size(); ++n)
    {
        std::vector<BYTE> cut(table.begin(), table.begin() + n);
        CPgcTable damaged(0, nullptr);
        kxtest::RecordingLog cutLog;
        EXPECT_FALSE(damaged.ReadIfo(cutLog, &domain, CIfoView(cut.data(), cut.size()))) << n;
        EXPECT_EQ(1, cutLog.Count('E')) << n;
    }

    // The second search pointer points past the bytes.
    PutBE32(&table[20], DWORD(table.size() + 10));
    CPgcTable damaged(0, nullptr);
    kxtest::RecordingLog damagedLog;
    EXPECT_FALSE(damaged.ReadIfo(damagedLog, &domain, CIfoView(table.data(), table.size())));
    EXPECT_TRUE(damagedLog.Has('I', "Can't read PGC (2)")) << damagedLog.Dump();
    EXPECT_EQ(1, damagedLog.Count('E'));
    EXPECT_EQ(2u, damaged.GetPgcCount());

    // A count of search pointers beyond the bytes.
    PutBE16(&table[0], 9);
    PutBE32(&table[20], 24);
    CPgcTable tooMany(0, nullptr);
    kxtest::RecordingLog tooManyLog;
    EXPECT_FALSE(tooMany.ReadIfo(tooManyLog, &domain, CIfoView(table.data(), 40)));
    EXPECT_EQ(1, tooManyLog.Count('I')) << tooManyLog.Dump();
}

TEST(PgcTableModel, MenuTypesAndNames)
{
    CPgcTable menus(1, nullptr);
    for (BYTE nCategory : {0x00, 0x83, 0x87})
    {
        CPgc* pPgc = new CPgc(1, nullptr);
        pPgc->m_nCategory = nCategory;
        menus.AddPgc(pPgc);
    }
    CPgc* pFirst = menus.GetPgc(0);
    CPgc* pRoot = menus.GetPgc(1);
    EXPECT_EQ(pRoot, menus.FindMenu(3));
    EXPECT_EQ(pRoot, menus.SetMenuType(pFirst, 3));
    EXPECT_EQ(0x83, pFirst->m_nCategory);
    EXPECT_EQ(0x00, pRoot->m_nCategory);
    EXPECT_EQ(0x87, menus.GetPgc(2)->m_nCategory);
    EXPECT_TRUE(pRoot->IsModified());

    EXPECT_STREQ("PGC 1 (Root menu)", menus.GetChildName(0));
    EXPECT_STREQ("PGC 2", menus.GetChildName(1));
    EXPECT_STREQ("PGC 3 (Chapters menu)", menus.GetChildName(2));

    EXPECT_EQ(menus.GetPgc(2), menus.SetMenuType(pRoot, 7));
    EXPECT_EQ(0x87, pRoot->m_nCategory);
    EXPECT_EQ(0x00, menus.GetPgc(2)->m_nCategory);

    CPgcTable titles(0, nullptr);
    for (BYTE nCategory : {0x81, 0x00, 0x02})
    {
        CPgc* pPgc = new CPgc(0, nullptr);
        pPgc->m_nCategory = nCategory;
        titles.AddPgc(pPgc);
    }
    EXPECT_STREQ("PGC 1  (title 1)", titles.GetChildName(0));
    EXPECT_STREQ("PGC 2", titles.GetChildName(1));
    EXPECT_STREQ("PGC 3  (title 2)", titles.GetChildName(2));
    CGrowArray<WORD> indices;
    titles.GetPgcsOfTitle(1, indices);
    ASSERT_EQ(1, indices.GetSize());
    EXPECT_EQ(2, indices[0]);
}

TEST_F(TitleTable, LinkTargets)
{
    AddPgc(1, TICKS);
    AddPgc(1, TICKS);
    AddPgc(2, TICKS);
    CPgc* pPgc = table.GetPgc(0);
    CString strError;
    struct Case
    {
        uint8_t nField;
        WORD wLink;
        CPgc* pTarget;
        const char* pszError;
    };
    const Case cases[] = {
        {PGCFIELD_NEXT, 0, nullptr, ""},
        {PGCFIELD_NEXT, 2, table.GetPgc(1), ""},
        {PGCFIELD_NEXT, 3, nullptr, "Invalid NextPGC destination"},
        {PGCFIELD_NEXT, 9, nullptr, "Invalid NextPGC destination"},
        {PGCFIELD_PREV, 1, table.GetPgc(0), ""},
        {PGCFIELD_PREV, 3, nullptr, "Invalid PrevPGC destination"},
        {PGCFIELD_GOUP, 2, table.GetPgc(1), ""},
        {PGCFIELD_GOUP, 3, nullptr, "Invalid GoUpPGC destination"},
        {PGCFIELD_GOUP, 9, nullptr, ""},
    };
    for (const Case& c : cases)
    {
        pPgc->m_wNextPgc = pPgc->m_wPrevPgc = pPgc->m_wGoUpPgc = c.wLink;
        CDvdReference target = pPgc->GetLinkTarget(c.nField, strError);
        EXPECT_EQ(c.pTarget, target.pNode) << int(c.nField) << " " << c.wLink;
        EXPECT_STREQ(c.pszError, strError) << int(c.nField) << " " << c.wLink;
    }
}
