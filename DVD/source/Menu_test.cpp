#include "DVD/source/Menu.h"

#include "DVD/source/NavRetarget.h"
#include "DVD/source/PgcTestSupport.h"
#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace pgctest;

namespace
{

void AddMenu(CLanguageUnit& unit, BYTE nCategory)
{
    CPgc* pPgc = new CPgc(1, nullptr);
    pPgc->m_nCategory = nCategory;
    unit.AddPgc(pPgc);
}

} // namespace

TEST(LanguageUnit, MenuExistenceByte)
{
    struct Case
    {
        std::vector<BYTE> types;
        BYTE nExpected;
    };
    const Case cases[] = {
        {{2, 3}, 0x80}, {{3, 2}, 0x80}, {{5, 7}, 0x28}, {{4, 2}, 0x80}, {{4, 6}, 0x50}, {{0, 1, 8}, 0x00},
    };
    for (const Case& c : cases)
    {
        CLanguageUnits units(nullptr);
        CLanguageUnit* pUnit = units.AddUnit();
        for (BYTE nType : c.types)
            AddMenu(*pUnit, BYTE(0x80 | nType));
        EXPECT_EQ(c.nExpected, pUnit->GetMenuExistence());
    }
}

TEST(LanguageUnits, WritesAndReadsTheUnitTable)
{
    CLanguageUnits units(nullptr);
    CLanguageUnit* pEnglish = units.AddUnit();
    const BYTE en[2] = {'e', 'n'};
    pEnglish->SetLanguageBytes(en);
    AddMenu(*pEnglish, 0x83);
    CLanguageUnit* pOther = units.AddUnit();
    AddMenu(*pOther, 0x82);
    AddMenu(*pOther, 0x87);
    EXPECT_EQ(DVDNODE_LANGUAGE_UNIT, pOther->GetKind());
    EXPECT_EQ(1, pOther->GetMenuFlag());

    const size_t nFirst = pEnglish->GetIfoSize();
    const size_t nSecond = pOther->GetIfoSize();
    ASSERT_EQ(8 + 16 + nFirst + nSecond, units.GetIfoSize());
    std::vector<BYTE> bytes(units.GetIfoSize());
    kxtest::RecordingLog log;
    ASSERT_TRUE(units.WriteIfo(log, bytes.data())) << log.Dump();
    EXPECT_EQ(2, GetBE16(&bytes[0]));
    EXPECT_EQ(bytes.size() - 1, GetBE32(&bytes[4]));
    EXPECT_EQ('e', bytes[8]);
    EXPECT_EQ('n', bytes[9]);
    EXPECT_EQ(0, bytes[10]);
    EXPECT_EQ(0x80, bytes[11]);
    EXPECT_EQ(24u, GetBE32(&bytes[12]));
    EXPECT_EQ(0, bytes[16]);
    EXPECT_EQ(0, bytes[17]);
    EXPECT_EQ(0x88, bytes[19]);
    EXPECT_EQ(24 + nFirst, GetBE32(&bytes[20]));

    CLanguageUnits read(nullptr);
    ASSERT_TRUE(read.ReadIfo(log, nullptr, CIfoView(bytes.data(), bytes.size()))) << log.Dump();
    ASSERT_EQ(2u, read.GetUnitCount());
    BYTE code[2] = {};
    read.GetUnit(0)->GetLanguageBytes(code);
    EXPECT_EQ('e', code[0]);
    EXPECT_EQ('n', code[1]);
    ASSERT_EQ(2u, read.GetUnit(1)->GetPgcCount());
    EXPECT_EQ(0x87, read.GetUnit(1)->GetPgc(1)->m_nCategory);
    EXPECT_EQ(1, read.GetUnit(1)->GetPgc(1)->m_nMenu);
    std::vector<BYTE> again(read.GetIfoSize());
    ASSERT_TRUE(read.WriteIfo(log, again.data()));
    EXPECT_EQ(bytes, again);
}

TEST(LanguageUnits, EmptyTableAndDamagedOffsets)
{
    CLanguageUnits units(nullptr);
    BYTE empty[8] = {};
    kxtest::RecordingLog log;
    ASSERT_TRUE(units.WriteIfo(log, empty));
    const BYTE expected[8] = {0, 0, 0, 0, 0, 0, 0, 7};
    EXPECT_EQ(0, memcmp(expected, empty, 8));
    ASSERT_TRUE(units.ReadIfo(log, nullptr, CIfoView(empty, 8)));
    EXPECT_EQ(0u, units.GetUnitCount());

    // Two units whose second PGCIT lies past the table.
    std::vector<BYTE> bytes(24 + 8 + 8);
    PutBE16(&bytes[0], 2);
    PutBE32(&bytes[12], 24);
    PutBE32(&bytes[16 + 4], 0x10000);
    PutBE32(&bytes[24 + 4], 7);
    PutBE32(&bytes[32 + 4], 7);
    CLanguageUnits damaged(nullptr);
    EXPECT_FALSE(damaged.ReadIfo(log, nullptr, CIfoView(bytes.data(), bytes.size())));
    EXPECT_TRUE(log.Has('I', "Can't read LU (2)")) << log.Dump();
    EXPECT_EQ(2u, damaged.GetUnitCount());

    // A unit count whose entries run past the bytes.
    PutBE16(&bytes[0], 40);
    PutBE32(&bytes[16 + 4], 24);
    CLanguageUnits tooMany(nullptr);
    kxtest::RecordingLog tooManyLog;
    EXPECT_FALSE(tooMany.ReadIfo(tooManyLog, nullptr, CIfoView(bytes.data(), bytes.size())));
    EXPECT_EQ(1, tooManyLog.Count('I'));
}

// Units that name one PGC table: the table is read once and the units that
// share it get copies of it, with their own language codes, as long as the
// copies hold no more than 16 times the table area; the units beyond are
// dropped with a warning.
TEST(LanguageUnits, UnitsSharingATableShareItWithinTheTableSize)
{
    for (const WORD nUnits : {WORD(2), WORD(3), WORD(400)})
    {
        SCOPED_TRACE(nUnits);
        CLanguageUnit shared(0, nullptr);
        for (int m = 0; m < 30; ++m)
            AddMenu(shared, 0x83);
        const size_t nTable = shared.GetIfoSize();
        const size_t nHeader = 8 + 8 * size_t(nUnits);
        std::vector<BYTE> bytes(nHeader + nTable);
        PutBE16(&bytes[0], nUnits);
        PutBE32(&bytes[4], DWORD(bytes.size() - 1));
        for (WORD u = 0; u < nUnits; ++u)
        {
            bytes[8 + 8 * u] = BYTE('a' + u % 26);
            bytes[8 + 8 * u + 1] = BYTE('a' + u / 26 % 26);
            PutBE32(&bytes[8 + 8 * u + 4], DWORD(nHeader));
        }
        kxtest::RecordingLog log;
        ASSERT_TRUE(shared.WriteIfo(log, &bytes[nHeader])) << log.Dump();

        CLanguageUnits units(nullptr);
        ASSERT_TRUE(units.ReadIfo(log, nullptr, CIfoView(bytes.data(), bytes.size()))) << log.Dump();
        // The copies together hold at most 16 times the table area.
        const uint32_t nExpected = std::min<uint32_t>(nUnits, 1 + uint32_t(16 * bytes.size() / nTable));
        EXPECT_EQ(nExpected == nUnits, nUnits < 400);
        ASSERT_EQ(units.GetUnitCount(), nExpected);
        EXPECT_EQ(log.Count('W'), int(nUnits - nExpected));
        for (uint32_t u = 0; u < units.GetUnitCount(); ++u)
        {
            EXPECT_EQ(units.GetUnit(u)->GetPgcCount(), 30u);
            BYTE code[2] = {};
            units.GetUnit(u)->GetLanguageBytes(code);
            EXPECT_EQ(code[0], BYTE('a' + u % 26));
        }
    }
}

TEST(LanguageUnits, CopyKeepsIdsAndCodes)
{
    CLanguageUnits units(nullptr);
    CLanguageUnit* pUnit = units.AddUnit();
    const BYTE fr[2] = {'f', 'r'};
    pUnit->SetLanguageBytes(fr);
    AddMenu(*pUnit, 0x83);
    CLanguageUnits copy(nullptr);
    copy.Assign(units, nullptr);
    ASSERT_EQ(1u, copy.GetUnitCount());
    EXPECT_EQ(units.GetId(), copy.GetId());
    EXPECT_EQ(pUnit->GetId(), copy.GetUnit(0)->GetId());
    EXPECT_EQ(pUnit->GetLanguageCode(), copy.GetUnit(0)->GetLanguageCode());
    EXPECT_EQ(pUnit->GetPgc(0)->GetId(), copy.GetUnit(0)->GetPgc(0)->GetId());
    EXPECT_EQ(0, copy.GetChildIndex(copy.GetUnit(0)));
    EXPECT_EQ(DVDDOMAIN_VTS_MENU, copy.GetUnit(0)->GetTableDomainCode());
}

TEST(LanguageUnits, OperationsOnEveryUnit)
{
    CLanguageUnits units(nullptr);
    for (int u = 0; u < 2; ++u)
    {
        CLanguageUnit* pUnit = units.AddUnit();
        CPgc* pPgc = new CPgc(1, nullptr);
        pPgc->m_audio[2].nStream = 2;
        pPgc->m_audio[2].bEnabled = 1;
        pPgc->m_subpictures[5].nStreams[1] = 5;
        pPgc->m_subpictures[5].bEnabled = 1;
        pPgc->m_wNextPgc = 3;
        pUnit->AddPgc(pPgc);
    }
    // Set r3 = 1 in one unit, r5 = 1 in the other: 71 00 00 rr 00 01 00 00.
    const BYTE setR3[8] = {0x71, 0x00, 0x00, 0x03, 0x00, 0x01, 0x00, 0x00};
    const BYTE setR5[8] = {0x71, 0x00, 0x00, 0x05, 0x00, 0x01, 0x00, 0x00};
    units.GetUnit(0)->GetPgc(0)->m_preCommands.Add(setR3);
    units.GetUnit(1)->GetPgc(0)->m_postCommands.Add(setR5);
    EXPECT_EQ((1 << 3) | (1 << 5), units.GetUsedRegisters());

    units.ClearModified();
    units.DisableAudioStream(2);
    units.DisableSubpictureStream(5);
    for (uint32_t u = 0; u < 2; ++u)
    {
        const CPgc* pPgc = units.GetUnit(u)->GetPgc(0);
        EXPECT_EQ(0, pPgc->m_audio[2].bEnabled);
        EXPECT_EQ(0, pPgc->m_audio[2].nStream);
        EXPECT_EQ(0, pPgc->m_subpictures[5].bEnabled);
        EXPECT_EQ(0, pPgc->m_subpictures[5].nStreams[1]);
        EXPECT_TRUE(pPgc->IsModified());
    }

    // PGCs 2 and 3 of the menus deleted: NextPGC 3 names a deleted PGC.
    EXPECT_TRUE(units.RetargetReferences(RETARGET_PGC, 2, -2, RETARGET_NO_LIMIT));
    EXPECT_EQ(PGC_LINK_DELETED, units.GetUnit(1)->GetPgc(0)->m_wNextPgc);
    EXPECT_FALSE(units.RetargetReferences(RETARGET_PGC, 9, 1, RETARGET_NO_LIMIT));
}

// ntscmenu's title-set menus: root menus with buttons and a still without.
// Both passes leave the cells with buttons playing their menus (as stills
// for the first) and give every other cell a blank block.
TEST(LanguageUnit, MenuPassesOnTheMenuFixture)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ReleaseStockCells();
    ASSERT_TRUE(CreateStockCells());
    for (bool still : {true, false})
    {
        SCOPED_TRACE(still);
        CDvd dvd;
        kxtest::RecordingLog log;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        // Every cell of every menu unit of the disc.
        std::vector<CLanguageUnit*> units;
        for (CLanguageUnits* list : {&dvd.GetVmg().GetLanguageUnits(), &dvd.GetVts(0)->GetLanguageUnits()})
            for (uint32_t u = 0; u < list->GetUnitCount(); ++u)
                units.push_back(list->GetUnit(u));
        std::vector<bool> buttons;
        for (CLanguageUnit* unit : units)
            for (uint32_t p = 0; p < unit->GetPgcCount(); ++p)
                for (uint32_t c = 0; c < unit->GetPgc(p)->GetCellCount(); ++c)
                    buttons.push_back(unit->GetPgc(p)->GetCell(c)->HasButtons());
        ASSERT_NE(std::count(buttons.begin(), buttons.end(), true), 0);
        ASSERT_NE(std::count(buttons.begin(), buttons.end(), false), 0);

        for (CLanguageUnit* unit : units)
        {
            if (still)
                unit->ConvertMenusToStill();
            else
                unit->HideMenuTransitions();
        }
        size_t n = 0;
        for (CLanguageUnit* unit : units)
            for (uint32_t p = 0; p < unit->GetPgcCount(); ++p)
                for (uint32_t c = 0; c < unit->GetPgc(p)->GetCellCount(); ++c, ++n)
                {
                    const CVobCell* ilvu = unit->GetPgc(p)->GetCell(c)->GetIlvu(0);
                    ASSERT_NE(ilvu, nullptr);
                    EXPECT_EQ(ilvu->IsStock(), !buttons[n]) << p << "/" << c;
                    if (buttons[n])
                    {
                        EXPECT_EQ(ilvu->HasStillSource(), still) << p << "/" << c;
                    }
                }
    }
    EXPECT_TRUE(ReleaseStockCells());
}
