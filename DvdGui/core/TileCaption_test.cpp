// The caption over a block strip's tile, from plain facts and from the
// blocks of fixture discs.
#include "DvdGui/core/TileCaption.h"
#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DvdGui/core/GuiText.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace
{

TEST(TileCaption, TableOfFacts)
{
    auto facts = [](auto change)
    {
        CTileCaptionFacts f;
        f.nOutputSize = 3 * 1048576 + 524288;
        f.nDurationTicks = 90000 * 61 + 3600; // 61 s and one PAL frame
        f.nFrameRate = 25;
        change(f);
        return f;
    };
    const struct
    {
        CTileCaptionFacts facts;
        const char* caption;
    } cases[] = {
        {facts([](CTileCaptionFacts&) {}), " 3.50 Mb \n 00:01:01.01 "},
        {facts([](CTileCaptionFacts& f) { f.nFrameRate = 30; }), " 3.50 Mb \n 00:01:00.29 "},
        {facts(
             [](CTileCaptionFacts& f)
             {
                 f.bButtons = true;
                 f.buttons = {{3}};
             }),
         " 3.50 Mb \n 00:01:01.01 \n 3 buttons "},
        {facts(
             [](CTileCaptionFacts& f)
             {
                 f.bButtons = true;
                 f.buttons = {{2, 4}, {1}};
                 f.bInterleaved = true;
             }),
         " 3.50 Mb \n 00:01:01.01 \n {2+4}{1} buttons \n ILVU "},
        {facts(
             [](CTileCaptionFacts& f)
             {
                 f.bInterleaved = true;
                 f.bMultiAngle = true;
                 f.bEdited = true;
             }),
         " 3.50 Mb \n 00:01:01.01 \n ILVU   MA \n edited "},
        {facts([](CTileCaptionFacts& f) { f.bEdited = true; }), " 3.50 Mb \n 00:01:01.01 \n edited "},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(LPCSTR(FormatTileCaption(c.facts)), c.caption);

    // the popups' strip: no size and no buttons
    const struct
    {
        CTileCaptionFacts facts;
        const char* caption;
    } rows[] = {
        {cases[2].facts, " 00:01:01.01"},
        {cases[3].facts, " 00:01:01.01\n ILVU "},
        {cases[4].facts, " 00:01:01.01\n ILVU   MA \n edited "},
    };
    for (const auto& c : rows)
        EXPECT_STREQ(LPCSTR(FormatRowTileCaption(c.facts)), c.caption);
}

class TileCaptionFixture : public ::testing::Test
{
protected:
    void TearDown() override { PurgeUnusedVobData(); }
};

TEST_F(TileCaptionFixture, FixtureBlocks)
{
    {
        KX_REQUIRE_FIXTURE(dir, "pal1");
        kxtest::RecordingLog log;
        CDvd dvd;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("pal1", "VIDEO_TS").c_str(), nullptr));
        CAngleBlock* pBlock = dvd.GetVts(0)->GetTitleDomain().GetBlock(0);
        CTileCaptionFacts facts = GetTileCaptionFacts(*pBlock);
        EXPECT_EQ(facts.nFrameRate, 25);
        EXPECT_GT(facts.nDurationTicks, 0);
        std::string caption = LPCSTR(FormatTileCaption(facts));
        EXPECT_EQ(caption.rfind(std::string(" ") + LPCSTR(FormatMegabytes(pBlock->GetOutputSize())) + " \n ", 0), 0u);
        EXPECT_TRUE(std::regex_match(caption, std::regex(" [0-9.]+ Mb \n 00:0[0-9]:[0-5][0-9]\\.[0-2][0-9] ")))
            << caption;
        ASSERT_TRUE(pBlock->GetIlvu(0)->ModifyUops(0, 1));
        caption = LPCSTR(FormatTileCaption(GetTileCaptionFacts(*pBlock)));
        EXPECT_EQ(caption.substr(caption.size() - 9), "\n edited ") << caption;
    }
    {
        KX_REQUIRE_FIXTURE(dir, "ntscmenu");
        kxtest::RecordingLog log;
        CDvd dvd;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr));
        CAngleBlock* pBlock = dvd.GetVmg().GetMenuDomain().GetBlock(0);
        CTileCaptionFacts facts = GetTileCaptionFacts(*pBlock);
        EXPECT_EQ(facts.nFrameRate, 30);
        std::string caption = LPCSTR(FormatTileCaption(facts));
        EXPECT_TRUE(std::regex_match(caption, std::regex(" [0-9.]+ Mb \n [0-9:.]+ \n 3 buttons "))) << caption;
    }
}

} // namespace
