// The multi-angle test discs that the application's tests use: the block of
// n angles as the strip captions it, and the whole disc written with its
// IFO files, whose title an independent reader finds with n angles and which
// reads back with its angles in one block.
#include "DVD/source/MultiAngleDiscTestSupport.h"
#include "DVD/source/VobData.h"
#include "DvdGui/core/TileCaption.h"

#include <gtest/gtest.h>

namespace
{

TEST(MultiAngleDisc, TheAngleBlockIsCaptionedAsSuch)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    for (int nAngles : {2, 3})
    {
        SCOPED_TRACE(nAngles);
        kxtest::AngleDisc disc(nAngles);
        ASSERT_TRUE(disc.folder.Created());
        ASSERT_TRUE(disc.Build());
        kxtest::RecordingLog log;
        std::unique_ptr<CVobData> set = disc.Open(log, disc.cells);
        ASSERT_TRUE(set->IsUsable()) << log.Dump();
        {
            CVts vts(nullptr);
            CAngleBlockList& domain = vts.GetTitleDomain();
            domain.CopyConstruct(set->GetPristineBlocks());
            ASSERT_EQ(domain.GetBlockCount(), 3u);
            ASSERT_EQ(domain.GetBlock(1)->GetIlvuCount(), uint32_t(nAngles));
            const CString caption = FormatTileCaption(GetTileCaptionFacts(*domain.GetBlock(1)));
            EXPECT_NE(caption.Find(" \n ILVU   MA "), -1) << LPCSTR(caption);
            EXPECT_EQ(FormatTileCaption(GetTileCaptionFacts(*domain.GetBlock(0))).Find("ILVU"), -1);
        }
        set.reset();
        PurgeUnusedVobData();
    }
}

TEST(MultiAngleDisc, TheWrittenTitleHasItsAngles)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    for (int nAngles : {2, 3})
    {
        SCOPED_TRACE(nAngles);
        kxtest::MultiAngleDisc disc(nAngles);
        ASSERT_TRUE(disc.Build()) << disc.log.Dump();
        EXPECT_EQ(disc.log.Count('E'), 0) << disc.log.Dump();
        {
            // read back, the angles form one block again
            kxtest::RecordingLog readLog;
            CDvd dvd;
            ASSERT_TRUE(dvd.Read(readLog, disc.Folder().c_str(), nullptr)) << readLog.Dump();
            ASSERT_EQ(dvd.GetVtsCount(), 1u);
            const CAngleBlockList& domain = dvd.GetVts(0)->GetTitleDomain();
            ASSERT_EQ(domain.GetBlockCount(), 3u);
            EXPECT_EQ(domain.GetBlock(1)->GetIlvuCount(), uint32_t(nAngles));
        }
        PurgeUnusedVobData();
        // the independent reader exists in the native build only
        if (kxtest::IfoDumpTool().empty())
            continue;
        const auto records = kxtest::IfoDump(disc.out.Path());
        const auto titles = kxtest::Select(records, "title");
        ASSERT_EQ(titles.size(), 1u);
        EXPECT_EQ(titles[0].Num("angles"), nAngles);
        // the plain cell, the n cells of the angle block, the plain cell
        EXPECT_EQ(kxtest::Select(records, "cell", {{"dom", "vts"}, {"pgc", "1"}}).size(), size_t(nAngles + 2));
    }
}

} // namespace
