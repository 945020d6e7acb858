// The angle edits on the synthetic two-angle title, exported: what is left
// plays as plain video of the angles kept, in the order the PGC plays them.
#include "DVD/source/AngleBlock.h"
#include "DVD/source/DiskVobFile.h"
#include "DVD/source/MultiAngleTestSupport.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobExport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

const size_t kSector = 2048;

class AngleEditExport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (kxtest::FixtureDir("pal1").empty())
            GTEST_SKIP() << kxtest::MissingFixtureMessage("pal1");
        ASSERT_TRUE(disc.folder.Created());
        ASSERT_TRUE(disc.Build());
        set = disc.Open(log, disc.cells);
        ASSERT_TRUE(set->IsUsable()) << log.Dump();
        CAngleBlockList& domain = vts.GetTitleDomain();
        domain.CopyConstruct(set->GetPristineBlocks());
        ASSERT_EQ(domain.GetBlockCount(), 3u);
        block = domain.GetBlock(1);
        ASSERT_EQ(block->GetIlvuCount(), 2u);
        ASSERT_TRUE(block->IsInterleaved());
        pgc = new CPgc(0, &vts.GetPgcTable());
        vts.GetPgcTable().AddPgc(pgc);
        for (uint32_t b = 0; b < 3; ++b)
        {
            CGrowArray<BYTE> angles;
            angles.Add(0);
            if (b == 1)
                angles.Add(1);
            pgc->AddCell(new CPgcCell(1, 0, 0, 0, domain.GetBlock(b), angles, pgc));
        }
    }

    // The title VOB of the domain as exported.
    std::vector<BYTE> Export()
    {
        CAngleBlockList& domain = vts.GetTitleDomain();
        for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
            for (uint32_t a = 0; a < domain.GetBlock(b)->GetIlvuCount(); ++a)
                EXPECT_TRUE(domain.GetBlock(b)->GetIlvu(a)->ParseButtons(log, false, nullptr));
        AssignVobCellIds(domain);
        kxtest::ScratchFolder out;
        const std::string folder = out.Path() + kx::NativePathSeparator();
        CCellAddressList cells;
        CVobuAddressList vobus;
        {
            CDiskVobFile writer;
            EXPECT_TRUE(writer.StartDomain(log, folder.c_str(), 1, false)) << log.Dump();
            EXPECT_TRUE(WriteVobsKeeping(domain, 0xFF, 0xFFFFFFFF, log, writer, cells, vobus, nullptr)) << log.Dump();
            writer.Close();
        }
        return kxtest::ReadWholeFile(out.File("VTS_01_1.VOB"));
    }

    // The source VOBUs of the units, one after another.
    std::vector<BYTE> Units(const std::vector<int>& units) const
    {
        std::vector<BYTE> bytes;
        for (int u : units)
            bytes.insert(bytes.end(), disc.vob.begin() + long(disc.starts[u] * kSector),
                         disc.vob.begin() + long(disc.starts[u + 1] * kSector));
        return bytes;
    }

    // The exported title holds exactly the units' sectors: NAV packs in their
    // places, none of them announcing an interleaved unit, every other sector
    // as it was.
    void ExpectPlainUnits(const std::vector<BYTE>& out, const std::vector<int>& units) const
    {
        const std::vector<BYTE> expected = Units(units);
        ASSERT_EQ(out.size(), expected.size());
        size_t sector = 0;
        for (int u : units)
        {
            const size_t count = disc.starts[u + 1] - disc.starts[u];
            SCOPED_TRACE("unit " + std::to_string(u));
            DsiPacket dsi;
            dsi.ReadFromSector(out.data() + sector * kSector);
            EXPECT_EQ(dsi.GetNvPckLbn(), sector);
            EXPECT_FALSE(dsi.IsIlvu());
            for (size_t s = sector + 1; s < sector + count; ++s)
                EXPECT_EQ(0, std::memcmp(out.data() + s * kSector, expected.data() + s * kSector, kSector)) << s;
            sector += count;
        }
    }

    kxtest::AngleDisc disc;
    kxtest::RecordingLog log;
    std::unique_ptr<CVobData> set;
    CVts vts{nullptr};
    CAngleBlock* block = nullptr;
    CPgc* pgc = nullptr;
};

// Keeping angle 2: the title plays the plain cell, angle 2's two pieces and
// the last plain cell as one continuous plain run.
TEST_F(AngleEditExport, KeepAngleExportsThePlainVideoOfThatAngle)
{
    ASSERT_TRUE(block->KeepAngle(1));
    EXPECT_EQ(pgc->GetIfoCellCount(), 3u);
    ExpectPlainUnits(Export(), {0, 2, 4, 5});
    EXPECT_EQ(log.Count('E'), 0) << log.Dump();
}

// Separating the angles: each angle's pieces follow one another as a block
// of its own, angle 1 played by the PGC's entry, angle 2 after it.
TEST_F(AngleEditExport, SeparatedAnglesExportAsPlainBlocks)
{
    ASSERT_TRUE(block->SeparateAngles());
    ASSERT_EQ(vts.GetTitleDomain().GetBlockCount(), 4u);
    EXPECT_EQ(pgc->GetCell(1)->GetBlock(), block);
    EXPECT_EQ(pgc->GetIfoCellCount(), 3u);
    ExpectPlainUnits(Export(), {0, 1, 3, 2, 4, 5});
    EXPECT_EQ(log.Count('E'), 0) << log.Dump();
}

} // namespace
