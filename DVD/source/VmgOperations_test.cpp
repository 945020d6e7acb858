#include "DVD/source/DVD.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VobCell.h"

#include <gtest/gtest.h>

#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

namespace
{

WORD Code(const char* text)
{
    WORD code = 0;
    memcpy(&code, text, 2);
    return code;
}

// The disc of a fixture, read; empty when the fixture was not generated.
struct Disc
{
    explicit Disc(const char* fixture)
    {
        const std::string folder = kxtest::FixturePath(fixture, "VIDEO_TS");
        ok = !folder.empty() && dvd.Read(log, folder.c_str(), nullptr);
    }
    CVmg& Vmg() { return dvd.GetVmg(); }
    kxtest::RecordingLog log;
    CDvd dvd;
    bool ok = false;
};

TEST(VmgOperations, FirstPlayCopiedToMenusOfAVmgWithoutUnits)
{
    CDvd dvd;
    CVmg& vmg = dvd.GetVmg();
    EXPECT_EQ(vmg.GetFirstPlayPgc(), nullptr);
    vmg.CreateFirstPlayPgc();
    ASSERT_NE(vmg.GetFirstPlayPgc(), nullptr);
    vmg.GetFirstPlayPgc()->m_nCategory = 0x83;
    EXPECT_EQ(vmg.CopyFirstPlayToMenus(), 0);
    ASSERT_EQ(vmg.GetLanguageUnits().GetUnitCount(), 1u);
    ASSERT_EQ(vmg.GetLanguageUnits().GetUnit(0)->GetPgcCount(), 1u);
    EXPECT_EQ(vmg.GetLanguageUnits().GetUnit(0)->GetPgc(0)->m_nCategory, 0x83);
    // A second copy lands behind the first.
    EXPECT_EQ(vmg.CopyFirstPlayToMenus(), 1);

    vmg.ClearModified();
    vmg.DeleteFirstPlayPgc();
    EXPECT_EQ(vmg.GetFirstPlayPgc(), nullptr);
    EXPECT_TRUE(vmg.IsModified());
}

TEST(VmgOperations, MissingLanguageUnitsAreCopiesOfTheFirst)
{
    CDvd dvd;
    CVmg& vmg = dvd.GetVmg();
    CLanguageUnit* english = vmg.GetLanguageUnits().AddUnit();
    english->SetLanguageCode(Code("en"));
    english->AddPgc(new CPgc(1, english));
    english->AddPgc(new CPgc(1, english));
    english->GetPgc(1)->m_nCategory = 0x83;
    vmg.ClearModified();

    CGrowArray<WORD> codes;
    codes.Add(Code("en"));
    codes.Add(Code("fr"));
    vmg.AddMissingLanguageUnits(codes);
    ASSERT_EQ(vmg.GetLanguageUnits().GetUnitCount(), 2u);
    const CLanguageUnit* french = vmg.GetLanguageUnits().GetUnit(1);
    EXPECT_EQ(french->GetLanguageCode(), Code("fr"));
    ASSERT_EQ(french->GetPgcCount(), 2u);
    EXPECT_EQ(french->GetPgc(1)->m_nCategory, 0x83);
    EXPECT_NE(french->GetPgc(1), english->GetPgc(1));
    EXPECT_TRUE(vmg.IsModified());
}

TEST(VmgOperations, UserOperationsAndParentalManagementOfTheWholeVmg)
{
    Disc disc("ntscmenu");
    if (!disc.ok)
        GTEST_SKIP() << "fixture ntscmenu not generated";
    CVmg& vmg = disc.Vmg();
    ASSERT_GT(vmg.GetLanguageUnits().GetUnitCount(), 0u);
    vmg.SetUops(0x00000004);
    if (vmg.GetFirstPlayPgc())
    {
        EXPECT_EQ(vmg.GetFirstPlayPgc()->m_uops.GetMask(), 0x00000004u);
    }
    const CPgc* menu = vmg.GetLanguageUnits().GetUnit(0)->GetPgc(0);
    EXPECT_EQ(menu->m_uops.GetMask(), 0x00000004u);
    vmg.ModifyUops(0x00000004, 0x00000100);
    EXPECT_EQ(menu->m_uops.GetMask(), 0x00000100u);

    vmg.GetParentalRecords().Add(new CParentalRecord);
    EXPECT_TRUE(vmg.HasParentalManagement());
    vmg.RemoveParentalManagement();
    EXPECT_FALSE(vmg.HasParentalManagement());
    EXPECT_EQ(vmg.GetParentalRecords().GetCapacity(), 0u);
}

TEST(VmgOperations, HideAndRestoreAllMenuBlocks)
{
    Disc disc("ntscmenu");
    if (!disc.ok)
        GTEST_SKIP() << "fixture ntscmenu not generated";
    // Hidden blocks show the blank stock cells.
    ReleaseStockCells();
    ASSERT_TRUE(CreateStockCells());
    CVmg& vmg = disc.Vmg();
    const CAngleBlockList& menus = vmg.GetMenuDomain();
    ASSERT_GT(menus.GetBlockCount(), 0u);
    EXPECT_FALSE(vmg.CanRestoreBlocks());
    vmg.HideAllBlocks();
    for (uint32_t i = 0; i < menus.GetBlockCount(); ++i)
        EXPECT_TRUE(menus.GetBlock(i)->GetIlvu(0)->IsBlank());
    EXPECT_TRUE(vmg.CanRestoreBlocks());
    vmg.RestoreAllBlocks();
    for (uint32_t i = 0; i < menus.GetBlockCount(); ++i)
        EXPECT_FALSE(menus.GetBlock(i)->GetIlvu(0)->IsBlank());
    disc.dvd.Reset();
    EXPECT_TRUE(ReleaseStockCells());
}

TEST(VmgOperations, AppendMenusAndTitlesOfAnotherVmg)
{
    Disc a("ntscmenu");
    Disc b("ntscmenu");
    if (!a.ok || !b.ok)
        GTEST_SKIP() << "fixture ntscmenu not generated";
    const uint32_t blocks = a.Vmg().GetMenuDomain().GetBlockCount();
    const uint32_t titles = a.Vmg().GetTitles().GetEntryCount();
    const uint32_t pgcs = a.Vmg().GetLanguageUnits().GetUnit(0)->GetPgcCount();
    a.Vmg().AppendMenusAndTitles(b.Vmg());
    EXPECT_EQ(a.Vmg().GetMenuDomain().GetBlockCount(), 2 * blocks);
    EXPECT_EQ(a.Vmg().GetTitles().GetEntryCount(), 2 * titles);
    EXPECT_EQ(a.Vmg().GetTitles().GetFlag(titles), 0);
    const CLanguageUnit* unit = a.Vmg().GetLanguageUnits().GetUnit(0);
    ASSERT_EQ(unit->GetPgcCount(), 2 * pgcs);
    // The appended menus play the copies of the other VMG's blocks.
    const CPgc* copy = unit->GetPgc(pgcs);
    for (uint32_t c = 0; c < copy->GetCellCount(); ++c)
        EXPECT_GE(a.Vmg().GetMenuDomain().GetBlockIndex(copy->GetCell(c)->GetBlock()), int(blocks));
}

} // namespace
