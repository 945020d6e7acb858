// The cell preview's picture placement, coordinate mapping, link markers,
// overlay texts and the VOBU of a player position.
#include "DvdGui/core/CellPreviewCore.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DVD/source/button.h"
#include "DvdGui/core/CellDataStream.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

// Client sizes whose picture area (less the bottom row and the 3-pixel
// inset) is the given size.
int ClientWidth(int areaWidth)
{
    return areaWidth + 6;
}
int ClientHeight(int areaHeight)
{
    return areaHeight + 6 + PREVIEW_ROW_HEIGHT;
}

TEST(CellPreviewCore, PictureRectTable)
{
    const struct
    {
        const char* what;
        int cx, cy, fw, fh;
        bool bNatural;
        CRect expected;
    } cases[] = {
        {"fits: natural size, centred", ClientWidth(800), ClientHeight(600), 720, 480, true, CRect(43, 63, 763, 543)},
        {"too wide: the width fills", ClientWidth(360), ClientHeight(600), 720, 480, true, CRect(3, 183, 363, 423)},
        {"too high: the height fills", ClientWidth(800), ClientHeight(240), 720, 480, true, CRect(223, 3, 583, 243)},
        {"no natural size: stretched", ClientWidth(800), ClientHeight(600), 720, 480, false, CRect(3, 3, 803, 603)},
        {"unknown frame: stretched", ClientWidth(800), ClientHeight(600), 0, 480, true, CRect(3, 3, 803, 603)},
        {"odd sizes become even", ClientWidth(801), ClientHeight(601), 720, 480, false, CRect(3, 3, 803, 603)},
        {"odd frame becomes even", ClientWidth(800), ClientHeight(600), 721, 481, true, CRect(43, 63, 763, 543)},
        {"huge client counts as 0", 3000, 3000, 720, 480, true, CRect(3, 3, 3, 3)},
        {"smaller than the row and inset", 4, 10, 720, 480, true, CRect(3, 3, 3, 3)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const CRect rect = ComputePictureRect(c.cx, c.cy, c.fw, c.fh, c.bNatural);
        EXPECT_EQ(c.expected, rect);
        EXPECT_EQ(0, rect.Width() % 2);
        EXPECT_EQ(0, rect.Height() % 2);
    }
}

TEST(CellPreviewCore, FrameSize)
{
    int w = 0, h = 0;
    GetPreviewFrameSize(720, 480, true, w, h);
    EXPECT_EQ(960, w);
    EXPECT_EQ(480, h);
    GetPreviewFrameSize(0, 576, false, w, h);
    EXPECT_EQ(720, w);
    EXPECT_EQ(480, h);
    GetPreviewFrameSize(352, 240, false, w, h);
    EXPECT_EQ(352, w);
    EXPECT_EQ(240, h);
}

TEST(CellPreviewCore, WideScreenButtonLandsOnTheCentre)
{
    CPreviewMapping mapping;
    GetPreviewFrameSize(720, 480, true, mapping.nFrameWidth, mapping.nFrameHeight);
    mapping.bWideScreen = true;
    mapping.rect = ComputePictureRect(1000, 600, mapping.nFrameWidth, mapping.nFrameHeight, true);
    EXPECT_EQ(960, mapping.rect.Width());
    EXPECT_EQ(mapping.rect.CenterPoint().x, mapping.ToPicture(360, 0).x);
    EXPECT_EQ(mapping.rect.TopLeft(), mapping.ToPicture(0, 0));
    EXPECT_EQ(CPoint(360, 240), mapping.ToFrame(mapping.rect.CenterPoint().x, mapping.rect.CenterPoint().y));
}

TEST(CellPreviewCore, MappingRoundTrips)
{
    CPreviewMapping mapping;
    mapping.rect = CRect(10, 20, 370, 260); // half of 720 x 480
    EXPECT_EQ(CPoint(190, 140), mapping.ToPicture(360, 240));
    EXPECT_EQ(CPoint(360, 240), mapping.ToFrame(190, 140));
    EXPECT_EQ(CPoint(0, 0), mapping.ToFrame(10, 20));
    CButtonGroupEntry entry = {};
    entry.dwXStart = 100;
    entry.dwYStart = 50;
    entry.dwXEnd = 300;
    entry.dwYEnd = 150;
    EXPECT_EQ(CRect(60, 45, 160, 95), mapping.ToPicture(entry));
    // an empty picture maps everything to the frame origin
    mapping.rect = CRect(5, 5, 5, 5);
    EXPECT_EQ(CPoint(0, 0), mapping.ToFrame(100, 100));
}

TEST(CellPreviewCore, LinkMarkerTable)
{
    CButtonGroupEntry linked = {};
    linked.dwXStart = 100;
    linked.dwXEnd = 200;
    linked.dwYStart = 120;
    linked.dwYEnd = 180;
    const struct
    {
        int direction, mode;
        CPoint expected;
    } cases[] = {
        {BTNDIR_LEFT, 1, CPoint(153, 150)},  {BTNDIR_LEFT, 2, CPoint(100, 150)},  {BTNDIR_LEFT, 3, CPoint(200, 150)},
        {BTNDIR_RIGHT, 1, CPoint(147, 150)}, {BTNDIR_RIGHT, 2, CPoint(200, 150)}, {BTNDIR_RIGHT, 3, CPoint(100, 150)},
        {BTNDIR_UP, 1, CPoint(150, 153)},    {BTNDIR_UP, 2, CPoint(150, 120)},    {BTNDIR_UP, 3, CPoint(150, 180)},
        {BTNDIR_DOWN, 1, CPoint(150, 147)},  {BTNDIR_DOWN, 7, CPoint(150, 180)},  {BTNDIR_DOWN, 3, CPoint(150, 120)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "direction " << c.direction << " mode " << c.mode);
        CPoint point;
        ASSERT_TRUE(GetLinkMarkerPoint(linked, c.direction, c.mode, point));
        EXPECT_EQ(c.expected, point);
    }
    CPoint point;
    EXPECT_FALSE(GetLinkMarkerPoint(linked, BTNDIR_LEFT, 0, point));
}

TEST(CellPreviewCore, ArrowOutlines)
{
    POINT points[8];
    GetArrowOutline(50, 60, BTNDIR_LEFT, 5, 3, 9, points);
    const POINT left[8] = {{50, 60}, {55, 65}, {55, 63}, {59, 63}, {59, 57}, {55, 57}, {55, 55}, {50, 60}};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(CPoint(left[i]), CPoint(points[i])) << i;
    GetArrowOutline(50, 60, BTNDIR_RIGHT, 5, 3, 9, points);
    EXPECT_EQ(CPoint(41, 63), CPoint(points[3]));
    GetArrowOutline(50, 60, BTNDIR_UP, 5, 3, 9, points);
    EXPECT_EQ(CPoint(53, 69), CPoint(points[3]));
    EXPECT_EQ(CPoint(45, 65), CPoint(points[6]));
    GetArrowOutline(50, 60, BTNDIR_DOWN, 5, 3, 9, points);
    EXPECT_EQ(CPoint(53, 51), CPoint(points[3]));
    EXPECT_EQ(CPoint(50, 60), CPoint(points[7]));
}

TEST(CellPreviewCore, OverlayTexts)
{
    // 2 s at 25 frames per second
    EXPECT_EQ(CString(" 1.50 Mb \n 00:00:02.00 "), FormatPreviewInfo(1572864, 180000, 25, false));
    EXPECT_EQ(CString(" 1.50 Mb \n 00:00:02.00 \n edited "), FormatPreviewInfo(1572864, 180000, 25, true));
    EXPECT_EQ(CString(" 0.50 Mb <> 1.00 Mb \n VOBU 3 \n audio: {0xBD:0x80} \n subpicture: {0xBD:0x21} "),
              FormatPreviewPosition(524288, 1572864, 3, 0xBD, 0x80, 0x21));
    // a position beyond the unit counts as its end
    EXPECT_EQ(CString(" 1.50 Mb <> 0.00 Mb \n VOBU 9 \n audio: {0x00:0x00} \n subpicture: {0xBD:0x20} "),
              FormatPreviewPosition(9999999, 1572864, 9, 0, 0, 0x20));
}

TEST(CellPreviewCore, VobuOfAPlayerPosition)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    kxtest::RecordingLog log;
    CDvd dvd;
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("pal1", "VIDEO_TS").c_str(), nullptr));
    CVobCell& unit = *dvd.GetVts(0)->GetTitleDomain().GetBlock(0)->GetIlvu(0);
    ASSERT_GT(unit.GetVobuCount(), 2u);
    CCellDataStream stream;
    stream.Open(&unit, 0);
    const uint64_t nSize = stream.GetSize();
    for (uint32_t v = 0; v < unit.GetVobuCount(); ++v)
    {
        const int64_t nStart = stream.SourceToStreamPosition(uint64_t(unit.GetSourceVobus()[v]) * 2048);
        ASSERT_GE(nStart, 0);
        EXPECT_EQ(v, FindPreviewVobu(unit, stream, uint64_t(nStart), nSize));
        EXPECT_EQ(v, FindPreviewVobu(unit, stream, uint64_t(nStart) + 2047, nSize));
    }
    EXPECT_EQ(unit.GetVobuCount() - 1, FindPreviewVobu(unit, stream, nSize, nSize));
    EXPECT_EQ(0u, FindPreviewVobu(unit, stream, 0, nSize));
}

} // namespace
