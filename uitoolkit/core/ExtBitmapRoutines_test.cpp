// Monitor fitting, key-colour runs for window regions and the colour lists
// of bitmaps.
#include "uitoolkit/core/ExtBitmapRoutines.h"

#include <gtest/gtest.h>

namespace
{

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(ExtBitmapRoutines, FitRectIntoAreaTable)
{
    const CRect area(0, 0, 1000, 700);
    struct Case
    {
        CRect rc;
        bool bFullyInside;
        CRect expected;
    } cases[] = {
        {CRect(-300, 50, -100, 150), false, CRect(0, 50, 200, 150)},      // wholly left: moved in
        {CRect(1200, 800, 1300, 900), false, CRect(900, 600, 1000, 700)}, // beyond right and bottom
        {CRect(-50, 10, 50, 60), false, CRect(-50, 10, 50, 60)},          // overlapping: left alone
        {CRect(-50, 10, 50, 60), true, CRect(0, 10, 100, 60)},
        {CRect(950, 680, 1050, 720), true, CRect(900, 660, 1000, 700)},
        {CRect(-10, -10, 1190, 890), true, CRect(0, 0, 1200, 900)}, // larger: ends at left and top
        {CRect(100, 100, 200, 200), true, CRect(100, 100, 200, 200)},
    };
    for (const auto& c : cases)
    {
        const RECT r = CExtBitmapRoutines::FitRectIntoArea(c.rc, area, c.bFullyInside);
        EXPECT_TRUE(Same(r, c.expected)) << c.rc.left << "," << c.rc.top << " -> " << r.left << "," << r.top << ","
                                         << r.right << "," << r.bottom;
    }
}

TEST(ExtBitmapRoutines, KeyRangeIsInclusiveAndCapped)
{
    EXPECT_TRUE(CExtBitmapRoutines::IsKeyColor(RGB(255, 0, 255), RGB(255, 0, 255), 0));
    EXPECT_FALSE(CExtBitmapRoutines::IsKeyColor(RGB(254, 0, 255), RGB(255, 0, 255), 0));
    EXPECT_TRUE(CExtBitmapRoutines::IsKeyColor(RGB(255, 10, 255), RGB(250, 0, 250), RGB(20, 10, 20)));
    EXPECT_FALSE(CExtBitmapRoutines::IsKeyColor(RGB(255, 11, 255), RGB(250, 0, 250), RGB(20, 10, 20)));
}

TEST(ExtBitmapRoutines, RegionRunsSkipKeyPixels)
{
    const DWORD K = 0x00FF00FF, O = 0x00123456;
    const COLORREF key = RGB(255, 0, 255);
    std::vector<DWORD> onlyKey(16 * 4, K);
    EXPECT_TRUE(CExtBitmapRoutines::CollectRegionRuns(onlyKey.data(), 16, 4, 16, key, 0).empty());

    std::vector<DWORD> opaque(50 * 50, O);
    const std::vector<RECT> runs = CExtBitmapRoutines::CollectRegionRuns(opaque.data(), 50, 50, 50, key, 0);
    ASSERT_EQ(runs.size(), 50u);
    CRect box;
    for (size_t y = 0; y < runs.size(); ++y)
    {
        EXPECT_TRUE(Same(runs[y], CRect(0, (int)y, 50, (int)y + 1))) << y;
        box.UnionRect(box, CRect(runs[y]));
    }
    EXPECT_TRUE(Same(box, CRect(0, 0, 50, 50)));

    // rows top first, runs split by key pixels, the stride's tail ignored
    const DWORD rows[] = {O, K, O, O, O, /* tail */ O, K, K, K, K, O, /* tail */ K};
    const std::vector<RECT> split = CExtBitmapRoutines::CollectRegionRuns(rows, 5, 2, 6, key, 0);
    ASSERT_EQ(split.size(), 3u);
    EXPECT_TRUE(Same(split[0], CRect(0, 0, 1, 1)));
    EXPECT_TRUE(Same(split[1], CRect(2, 0, 5, 1)));
    EXPECT_TRUE(Same(split[2], CRect(4, 1, 5, 2)));
}

TEST(ExtBitmapRoutines, ColorListsOfTablesAndPixels)
{
    RGBQUAD table[16] = {};
    table[1] = {0, 0, 128, 0};
    table[5] = {255, 255, 255, 0};
    table[9] = {0, 0, 128, 0};
    const std::vector<COLORREF> all = CExtBitmapRoutines::ColorTableColors(table, 16, false);
    ASSERT_EQ(all.size(), 16u);
    EXPECT_EQ(all[1], RGB(128, 0, 0));
    EXPECT_EQ(CExtBitmapRoutines::ColorTableColors(table, 16, true),
              (std::vector<COLORREF>{RGB(0, 0, 0), RGB(128, 0, 0), RGB(255, 255, 255)}));

    const DWORD pixels[] = {0x00FF0000, 0x000000FF, 0x00FF0000};
    std::map<COLORREF, int> histogram{{RGB(1, 1, 1), 7}};
    CExtBitmapRoutines::CountColors(pixels, 3, histogram);
    EXPECT_EQ(histogram, (std::map<COLORREF, int>{{RGB(255, 0, 0), 2}, {RGB(0, 0, 255), 1}}));
}

} // namespace
