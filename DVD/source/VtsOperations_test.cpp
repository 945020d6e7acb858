// Edits of a whole title set on imported discs and on blocks built in memory.
#include "DVD/source/DVD.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

struct VtsOperations : ::testing::Test
{
    void SetUp() override
    {
        // Blanking shows the stock cells.
        ReleaseStockCells();
        ASSERT_TRUE(CreateStockCells());
    }

    // Reads a fixture into m_dvd; false (after a failure) when it can't.
    bool Read(const char* pszFixture)
    {
        kxtest::RecordingLog log;
        const bool bOk = m_dvd.Read(log, kxtest::FixturePath(pszFixture, "VIDEO_TS").c_str(), nullptr);
        EXPECT_TRUE(bOk) << log.Dump();
        return bOk;
    }

    CDvd m_dvd;
};

TEST_F(VtsOperations, HideAndRestoreEveryTitleBlock)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    ASSERT_TRUE(Read("pal1"));
    CVts& vts = *m_dvd.GetVts(0);
    const CAngleBlockList& titles = vts.GetTitleDomain();
    ASSERT_GT(titles.GetBlockCount(), 0u);
    EXPECT_FALSE(vts.CanRestoreBlocks());

    vts.HideAllBlocks();
    for (uint32_t i = 0; i < titles.GetBlockCount(); ++i)
        EXPECT_TRUE(titles.GetBlock(i)->GetIlvu(0)->IsBlank()) << i;
    EXPECT_TRUE(vts.CanRestoreBlocks());

    vts.RestoreAllBlocks();
    for (uint32_t i = 0; i < titles.GetBlockCount(); ++i)
        EXPECT_FALSE(titles.GetBlock(i)->GetIlvu(0)->IsBlank()) << i;
}

TEST_F(VtsOperations, MenuTransitionsAndStills)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ASSERT_TRUE(Read("ntscmenu"));
    CVts& vts = *m_dvd.GetVts(0);
    const CAngleBlockList& menus = vts.GetMenuDomain();
    ASSERT_GT(menus.GetBlockCount(), 0u);
    bool bButtons = false;
    for (uint32_t i = 0; i < menus.GetBlockCount(); ++i)
        bButtons = bButtons || menus.GetBlock(i)->HasButtons();
    ASSERT_TRUE(bButtons) << "the fixture's menus have buttons";

    CDvd copy(m_dvd);
    vts.HideMenuTransitions();
    for (uint32_t i = 0; i < menus.GetBlockCount(); ++i)
    {
        const CAngleBlock& block = *menus.GetBlock(i);
        EXPECT_NE(block.HasButtons(), block.GetIlvu(0)->IsBlank()) << i;
    }

    CVts& other = *copy.GetVts(0);
    other.ConvertMenusToStill();
    const CAngleBlockList& stills = other.GetMenuDomain();
    for (uint32_t i = 0; i < stills.GetBlockCount(); ++i)
    {
        const CAngleBlock& block = *stills.GetBlock(i);
        if (block.HasButtons())
            EXPECT_TRUE(block.GetIlvu(0)->HasStillSource()) << i;
        else
            EXPECT_TRUE(block.GetIlvu(0)->IsBlank()) << i;
    }
}

TEST_F(VtsOperations, ParentalManagementAndUserOperations)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ASSERT_TRUE(Read("ntscmenu"));
    CVts& vts = *m_dvd.GetVts(0);
    vts.GetParentalRecords().Add(new CParentalRecord);
    ASSERT_TRUE(vts.HasParentalManagement());
    vts.RemoveParentalManagement();
    EXPECT_FALSE(vts.HasParentalManagement());
    EXPECT_EQ(vts.GetParentalRecords().GetCapacity(), 0u);

    vts.ModifyUops(0, 0x40000);
    EXPECT_EQ(vts.GetPgcTable().GetPgc(0)->m_uops.GetMask() & 0x40000, 0x40000u);
    EXPECT_EQ(vts.GetLanguageUnits().GetUnit(1)->GetPgc(0)->m_uops.GetMask() & 0x40000, 0x40000u);
    vts.ModifyUops(0x40000, 0);
    EXPECT_EQ(vts.GetPgcTable().GetPgc(0)->m_uops.GetMask() & 0x40000, 0u);
}

TEST_F(VtsOperations, ReferencesRenumberedInTitleOrMenuCommands)
{
    CVts vts(nullptr);
    // Link PGCN 2 as the pre-command of a title PGC and of a menu PGC.
    const BYTE linkPgc2[8] = {0x20, 0x04, 0, 0, 0, 0, 0, 2};
    CPgc* pTitle = new CPgc(0, &vts.GetPgcTable());
    pTitle->m_preCommands.Add(linkPgc2);
    vts.GetPgcTable().AddPgc(pTitle);
    CLanguageUnit* pUnit = vts.GetLanguageUnits().AddUnit();
    CPgc* pMenu = new CPgc(1, pUnit);
    pMenu->m_preCommands.Add(linkPgc2);
    pUnit->AddPgc(pMenu);

    EXPECT_TRUE(vts.RetargetTitleReferences(RETARGET_PGC, 2, 1, RETARGET_NO_LIMIT));
    EXPECT_EQ(pTitle->m_preCommands.GetCommand(0)[7], 3);
    EXPECT_EQ(pMenu->m_preCommands.GetCommand(0)[7], 2);
    EXPECT_TRUE(vts.RetargetMenuReferences(RETARGET_PGC, 2, 1, RETARGET_NO_LIMIT));
    EXPECT_EQ(pMenu->m_preCommands.GetCommand(0)[7], 3);
    // Both at once; numbers below the first stay.
    EXPECT_TRUE(vts.RetargetReferences(RETARGET_PGC, 1, 2, RETARGET_NO_LIMIT));
    EXPECT_EQ(pTitle->m_preCommands.GetCommand(0)[7], 5);
    EXPECT_EQ(pMenu->m_preCommands.GetCommand(0)[7], 5);
    EXPECT_FALSE(vts.RetargetReferences(RETARGET_PGC, 9, 1, RETARGET_NO_LIMIT));
}

TEST_F(VtsOperations, UsedRegistersOfEveryCommand)
{
    CVts vts(nullptr);
    EXPECT_EQ(vts.GetUsedRegisters(), 0);
    // Set GPRM3 = 1 in a title PGC, GPRM5 = 1 in a menu PGC.
    const BYTE setGprm3[8] = {0x71, 0x00, 0x00, 0x03, 0x00, 0x01, 0x00, 0x00};
    const BYTE setGprm5[8] = {0x71, 0x00, 0x00, 0x05, 0x00, 0x01, 0x00, 0x00};
    CPgc* pTitle = new CPgc(0, &vts.GetPgcTable());
    pTitle->m_preCommands.Add(setGprm3);
    vts.GetPgcTable().AddPgc(pTitle);
    CLanguageUnit* pUnit = vts.GetLanguageUnits().AddUnit();
    CPgc* pMenu = new CPgc(1, pUnit);
    pMenu->m_postCommands.Add(setGprm5);
    pUnit->AddPgc(pMenu);
    EXPECT_EQ(vts.GetUsedRegisters(), (1 << 3) | (1 << 5));
}

// A block of nAngles ILVUs whose first packs name the angles.
CAngleBlock* AddAngleBlock(CAngleBlockList& domain, BYTE nCellId, int nAngles)
{
    CAngleBlock* pBlock = nullptr;
    for (int a = 0; a < nAngles; ++a)
    {
        CCellAddress address;
        address.m_wVobId = WORD(a + 1);
        address.m_nCellId = nCellId;
        CVobCell* pIlvu = new CVobCell(nullptr, address, CVobuAddressList(), nullptr);
        PciPacket pci;
        for (int i = 0; i < nAngles; ++i)
            pci.SetNsmlAgli(i, 100 + i);
        pIlvu->SetFirstNav(pci, DsiPacket(), nullptr);
        if (!pBlock)
        {
            pBlock = domain.AddCell(pIlvu, nullptr);
        }
        else
        {
            pBlock->AddCell(pIlvu, nullptr);
            pIlvu->SetParent(pBlock);
        }
    }
    return pBlock;
}

TEST_F(VtsOperations, StripAnglesKeepsTheChosenAngle)
{
    CVts vts(nullptr);
    CAngleBlock* pFirst = AddAngleBlock(vts.GetTitleDomain(), 1, 2);
    CAngleBlock* pSecond = AddAngleBlock(vts.GetTitleDomain(), 2, 2);
    CPgc* pPgc = new CPgc(0, &vts.GetPgcTable());
    // The first block plays its ILVUs in order, the second swapped.
    const BYTE order[2][2] = {{0, 1}, {1, 0}};
    CAngleBlock* played[2] = {pFirst, pSecond};
    for (int c = 0; c < 2; ++c)
    {
        CGrowArray<BYTE> angles;
        angles.Add(order[c][0]);
        angles.Add(order[c][1]);
        pPgc->AddCell(new CPgcCell(0, 0, 0, 0, played[c], angles, pPgc));
    }
    vts.GetPgcTable().AddPgc(pPgc);
    CChapterEntry chapter;
    vts.GetTitles().AddTitle(chapter);

    CAngleBlockArray blocks;
    CAngleMap angleMap;
    ASSERT_EQ(vts.CollectAngleBlocks(blocks, angleMap), 2);
    ASSERT_EQ(blocks.GetSize(), 2);
    // Angle 2: ILVU 1 of the first block, ILVU 0 of the second.
    StripAngles(blocks, angleMap, 1);
    ASSERT_EQ(pFirst->GetIlvuCount(), 1u);
    EXPECT_EQ(pFirst->GetIlvu(0)->GetVobId(), 2);
    ASSERT_EQ(pSecond->GetIlvuCount(), 1u);
    EXPECT_EQ(pSecond->GetIlvu(0)->GetVobId(), 1);
    EXPECT_EQ(vts.GetMinAngleCount(), 0);
}

} // namespace
