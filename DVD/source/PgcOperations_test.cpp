#include "DVD/source/AngleBlock.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/PgcTestSupport.h"
#include "DVD/source/VobCell.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace
{

CVobCell* MakeIlvu(BYTE cellId)
{
    return pgctest::MakeBareIlvu(1, cellId);
}

// Two PGCs over three blocks: the first plays blocks 2 and 0, the second
// blocks 0 and 1; block 0 is shared.
struct Fixture
{
    Fixture()
    {
        for (BYTE i = 1; i <= 3; ++i)
            domain.AddCell(MakeIlvu(i), nullptr);
        table.SetDomain(&domain);
        const uint32_t plays[2][2] = {{2, 0}, {0, 1}};
        for (const auto& pair : plays)
        {
            CPgc* pgc = new CPgc(0, &table);
            table.AddPgc(pgc);
            for (uint32_t block : pair)
            {
                CGrowArray<BYTE> angles;
                angles.Add(0);
                pgc->AddCell(new CPgcCell(0, 0, 0, 0, domain.GetBlock(block), angles, pgc));
            }
        }
        domain.ClearModified();
        table.ClearModified();
    }
    CAngleBlockList domain{nullptr};
    CPgcTable table{0, nullptr};
};

std::array<BYTE, 8> SetParentalLevel()
{
    CNavCommand command;
    command.SetType(0);
    command.GetInstruction().SetCode(NAV_SET_PARENTAL_LEVEL);
    command.GetInstruction().SetParam(0, 5);
    command.GetInstruction().SetParam(1, 3);
    std::array<BYTE, 8> bytes = {};
    command.Encode(bytes.data());
    return bytes;
}

TEST(PgcOperations, UsedBlocksInOrderOfFirstUse)
{
    Fixture f;
    CBlockIndex blocks;
    f.table.GetUsedBlocks(blocks);
    ASSERT_EQ(blocks.GetSize(), 3);
    EXPECT_EQ(blocks[0], f.domain.GetBlock(2));
    EXPECT_EQ(blocks[1], f.domain.GetBlock(0));
    EXPECT_EQ(blocks[2], f.domain.GetBlock(1));
}

TEST(PgcOperations, UserOperationsReachEveryPlayedBlock)
{
    Fixture f;
    f.table.SetUops(0x00010000);
    for (uint32_t i = 0; i < 2; ++i)
    {
        EXPECT_EQ(f.table.GetPgc(i)->m_uops.GetMask(), 0x00010000u);
        EXPECT_TRUE(f.table.GetPgc(i)->IsModified());
    }
    for (uint32_t b = 0; b < 3; ++b)
        EXPECT_EQ(f.domain.GetBlock(b)->GetIlvu(0)->GetUopMask().GetMask(), 0x00010000u);

    f.table.ClearModified();
    f.table.ModifyUops(0x00010000, 0x00000200);
    EXPECT_EQ(f.table.GetPgc(1)->m_uops.GetMask(), 0x00000200u);
    EXPECT_EQ(f.domain.GetBlock(1)->GetIlvu(0)->GetUopMask().GetMask(), 0x00000200u);
    EXPECT_TRUE(f.table.GetPgc(0)->IsModified());

    // The same mask again changes nothing.
    f.table.ClearModified();
    f.table.SetUops(0x00000200);
    EXPECT_FALSE(f.table.GetPgc(0)->CDvdObject::IsModified());
}

TEST(PgcOperations, ParentalManagementLeavesMasksAndCommands)
{
    Fixture f;
    CPgc* pgc = f.table.GetPgc(0);
    pgc->m_wParentalMask = 0x0010;
    pgc->m_preCommands.Add(SetParentalLevel().data());
    pgc->m_postCommands.Add(SetParentalLevel().data());
    f.table.GetPgc(1)->m_wParentalMask = 0x0003;
    f.table.ClearModified();

    EXPECT_TRUE(pgc->RemoveParentalManagement());
    EXPECT_EQ(pgc->m_wParentalMask, 0);
    EXPECT_NE(0, memcmp(pgc->m_preCommands.GetCommand(0), SetParentalLevel().data(), 8));
    EXPECT_TRUE(pgc->CDvdObject::IsModified());
    // Nothing left to remove: the answer follows the post commands.
    EXPECT_FALSE(pgc->RemoveParentalManagement());

    f.table.RemoveParentalManagement();
    EXPECT_EQ(f.table.GetPgc(1)->m_wParentalMask, 0);
}

TEST(PgcOperations, OutputSizeCountsEachPlayedIlvuOnce)
{
    Fixture f;
    CPgc empty(0, &f.table);
    EXPECT_EQ(empty.GetOutputSize(), 0u);

    CPgc* pgc = f.table.GetPgc(1);
    const uint64_t expected =
        f.domain.GetBlock(0)->GetIlvu(0)->GetOutputSize(0, 0) + f.domain.GetBlock(1)->GetIlvu(0)->GetOutputSize(0, 0);
    EXPECT_EQ(pgc->GetOutputSize(), expected);
    // A second entry playing a block already counted adds nothing.
    CGrowArray<BYTE> angles;
    angles.Add(0);
    pgc->AddCell(new CPgcCell(0, 0, 0, 0, f.domain.GetBlock(0), angles, pgc));
    EXPECT_EQ(pgc->GetOutputSize(), expected);
}

} // namespace
