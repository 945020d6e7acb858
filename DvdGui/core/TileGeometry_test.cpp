// The block strip's tile sizes, scroll limits, hit tests and scrolling.
#include "DvdGui/core/TileGeometry.h"

#include <gtest/gtest.h>

namespace
{

const int kBar = 17;

TEST(TileGeometry, LayoutTable)
{
    const double kPal = TileAspect(720, 576, false);
    const double kPalWide = TileAspect(720, 576, true);
    const struct
    {
        const char* what;
        int tiles, cx, cy;
        double aspect;
        float first;
        int tileWidth, tileHeight;
        bool bar;
        float firstAfter;
    } cases[] = {
        {"no tiles", 0, 800, 100, kPal, 3.0f, 66, 50, false, 3.0f},
        {"square client: horizontal, height capped", 1, 300, 300, 1.0, 0.0f, 280, 280, false, 0.0f},
        {"fits with room", 4, 401, 100, 1.0, 2.0f, 100, 100, false, 0.0f},
        {"exact fill fails the strict test", 4, 400, 100, 1.0, 0.0f, 83, 83, false, 0.0f},
        {"exact fit after the bar counts", 4, 332, 100, 1.0, 0.0f, 83, 83, false, 0.0f},
        {"one pixel short needs the bar", 4, 331, 100, 1.0, 0.0f, 83, 83, true, 0.0f},
        {"height below the minimum", 2, 400, 30, 1.0, 0.0f, 50, 50, false, 0.0f},
        {"PAL width", 1, 500, 106, kPal, 0.0f, 131, 106, false, 0.0f},
        {"vertical 16:9", 2, 200, 600, kPalWide, 0.0f, 200, 122, false, 0.0f},
        {"vertical 16:9 capped width", 2, 600, 900, kPalWide, 0.0f, 466, 282, false, 0.0f},
        {"vertical needs the bar", 10, 100, 300, 1.0, 0.0f, 83, 83, true, 0.0f},
        {"first visible pulled back", 10, 250, 100, 1.0, 9.0f, 83, 83, true, float(10 - 250.0 / 83)},
        {"first visible in range kept", 10, 250, 100, 1.0, 1.5f, 83, 83, true, 1.5f},
    };
    for (const auto& c : cases)
    {
        CTileLayout layout = ComputeTileLayout(c.tiles, c.cx, c.cy, kBar, c.aspect, c.first);
        EXPECT_EQ(layout.nTileWidth, c.tileWidth) << c.what;
        EXPECT_EQ(layout.nTileHeight, c.tileHeight) << c.what;
        EXPECT_EQ(layout.bScrollBar, c.bar) << c.what;
        EXPECT_FLOAT_EQ(layout.fFirstVisible, c.firstAfter) << c.what;
    }
    EXPECT_FALSE(IsVerticalStrip(300, 300));
    EXPECT_TRUE(IsVerticalStrip(300, 301));
}

// The popups' strip lays its tiles side by side even in a tall client, at
// least 80 high.
TEST(TileGeometry, RowLayoutStaysHorizontal)
{
    const struct
    {
        const char* what;
        int tiles, cx, cy;
        int tileWidth, tileHeight;
        bool bar;
    } cases[] = {
        {"tall client", 2, 200, 600, 280, 280, true},
        {"low client", 2, 400, 60, 80, 80, false},
        {"fits", 2, 401, 100, 100, 100, false},
    };
    for (const auto& c : cases)
    {
        CTileLayout layout = ComputeRowLayout(c.tiles, c.cx, c.cy, kBar, 1.0, 0.0f, 80);
        EXPECT_EQ(layout.nTileWidth, c.tileWidth) << c.what;
        EXPECT_EQ(layout.nTileHeight, c.tileHeight) << c.what;
        EXPECT_EQ(layout.bScrollBar, c.bar) << c.what;
    }
}

TEST(TileGeometry, HitTestTable)
{
    const struct
    {
        bool vertical;
        float first;
        int x, y, item;
    } cases[] = {
        {false, 0.0f, 0, 0, 0},    {false, 0.0f, 99, 10, 0},  {false, 0.0f, 100, 10, 1}, {false, 0.0f, 499, 0, 4},
        {false, 0.0f, 500, 0, -1},                            // beyond the last tile
        {false, 0.0f, 10, 80, 0},  {false, 0.0f, 10, 81, -1}, // below the tile's height
        {false, 1.5f, 0, 0, 1},    {false, 1.5f, 49, 0, 1},   {false, 1.5f, 50, 0, 2},   {true, 0.0f, 10, 79, 0},
        {true, 0.0f, 10, 80, 1},   {true, 0.0f, 100, 10, 0},  {true, 0.0f, 101, 10, -1}, {true, 4.0f, 0, 80, -1},
        {true, 3.25f, 0, 59, 3},   {true, 3.25f, 0, 60, 4},
    };
    for (const auto& c : cases)
    {
        CTileStrip strip;
        strip.nTiles = 5;
        strip.nTileWidth = 100;
        strip.nTileHeight = 80;
        strip.bVertical = c.vertical;
        strip.fFirstVisible = c.first;
        EXPECT_EQ(strip.HitTest(c.x, c.y), c.item) << c.vertical << " " << c.first << " " << c.x << "," << c.y;
    }
}

TEST(TileGeometry, PictureRectangles)
{
    CTileStrip strip;
    strip.nTiles = 5;
    strip.nTileWidth = 100;
    strip.nTileHeight = 80;
    strip.fFirstVisible = 1.5f;
    EXPECT_EQ(strip.PictureRect(1), CRect(-47, 3, 47, 77));
    EXPECT_EQ(strip.PictureRect(3), CRect(153, 3, 247, 77));
    strip.bVertical = true;
    strip.fFirstVisible = 0.0f;
    EXPECT_EQ(strip.PictureRect(2), CRect(3, 163, 97, 237));
}

TEST(TileGeometry, ProgressBar)
{
    const struct
    {
        CRect bar;
        double fraction;
        bool grey;
        CRect remainder;
    } cases[] = {
        {CRect(0, 0, 6, 102), 0.0, true, CRect(1, 1, 5, 101)},     // tall: grey from the top
        {CRect(0, 0, 6, 102), 0.25, true, CRect(1, 1, 5, 76)},     //
        {CRect(0, 0, 6, 102), -3.0, true, CRect(1, 1, 5, 101)},    // clamped
        {CRect(0, 0, 6, 102), 1.0, false, CRect()},                // done: all green
        {CRect(0, 0, 6, 102), 7.0, false, CRect()},                //
        {CRect(10, 0, 112, 6), 0.5, true, CRect(11, 1, 61, 5)},    // wide: grey from the left
        {CRect(10, 20, 16, 26), 0.5, true, CRect(11, 21, 13, 25)}, // square counts as wide
    };
    for (const auto& c : cases)
    {
        CRect remainder;
        EXPECT_EQ(ProgressBarRemainder(c.bar, c.fraction, remainder), c.grey) << c.fraction;
        if (c.grey)
            EXPECT_EQ(remainder, c.remainder) << c.fraction;
    }
}

TEST(TileGeometry, EnsureVisible)
{
    CTileStrip strip;
    strip.nTiles = 10;
    strip.nTileWidth = 100;
    strip.fFirstVisible = 2.0f;
    EXPECT_FLOAT_EQ(strip.EnsureVisible(-1, 250), 2.0f);
    EXPECT_FLOAT_EQ(strip.EnsureVisible(1, 250), 1.0f);
    EXPECT_FLOAT_EQ(strip.EnsureVisible(2, 250), 2.0f);
    EXPECT_FLOAT_EQ(strip.EnsureVisible(3, 250), 2.0f);
    EXPECT_FLOAT_EQ(strip.EnsureVisible(4, 250), 2.5f);
    EXPECT_FLOAT_EQ(strip.EnsureVisible(9, 250), 7.5f);
}

TEST(TileGeometry, ScrollingStopsWithTheLastTileFirstInView)
{
    // Five tiles of 100: range 0..500, the last tile first in view at 400.
    const struct
    {
        int code, pos, newPos;
    } cases[] = {
        {TILESCROLL_LINEDOWN, 0, 100},    {TILESCROLL_LINEDOWN, 350, 400}, {TILESCROLL_LINEDOWN, 400, 400},
        {TILESCROLL_PAGEDOWN, 100, 350},  {TILESCROLL_PAGEDOWN, 300, 400}, {TILESCROLL_PAGEDOWN, 400, 400},
        {TILESCROLL_LINEUP, 0, 0},        {TILESCROLL_LINEUP, 50, 0},      {TILESCROLL_LINEUP, 300, 200},
        {TILESCROLL_PAGEUP, 300, 50},     {TILESCROLL_PAGEUP, 200, 0},     {TILESCROLL_TOP, 300, 0},
        {TILESCROLL_BOTTOM, 0, 400},      {TILESCROLL_THUMBTRACK, 0, 123}, {TILESCROLL_THUMBPOSITION, 0, 123},
        {TILESCROLL_ENDSCROLL, 300, 300},
    };
    for (const auto& c : cases)
    {
        CTileScrollInfo info;
        info.nMax = 500;
        info.nPage = 250;
        info.nPos = c.pos;
        info.nTrackPos = 123;
        EXPECT_EQ(ScrollTilePosition(c.code, info, 100), c.newPos) << c.code << " from " << c.pos;
    }
    EXPECT_FLOAT_EQ(FirstVisibleAtPosition(400, 100), 4.0f);
    EXPECT_FLOAT_EQ(FirstVisibleAtPosition(150, 100), 1.5f);
    EXPECT_FLOAT_EQ(FirstVisibleAtPosition(-5, 100), 0.0f);
    // The next layout pulls the first visible item back to N - extent / size.
    EXPECT_FLOAT_EQ(ComputeTileLayout(5, 250, 117, kBar, 1.0, 4.0f).fFirstVisible, 5 - 250.0f / 100);
}

} // namespace
