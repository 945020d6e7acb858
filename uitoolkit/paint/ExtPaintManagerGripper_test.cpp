// Size grips: nothing for an inverted rectangle, the classic lines and the
// Office 2003 dots.
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

const COLORREF kBack = RGB(1, 2, 3);

struct Canvas
{
    kxgui::DibCanvas canvas{30, 30, kBack};
    CDC dc;
    Canvas() { dc.Attach(canvas.Dc()); }
    ~Canvas() { dc.Detach(); }
};

class Gripper : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(GetParam() == 0 ? new CExtPaintManager
                                                                       : new CExtPaintManagerOffice2003));
    }
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }
};

TEST_P(Gripper, InvertedRectanglePaintsNothing)
{
    Canvas c;
    g_PaintManager->PaintResizingGripper(c.dc, CRect(25, 5, 5, 25), nullptr, 0);
    g_PaintManager->PaintResizingGripper(c.dc, CRect(5, 25, 25, 5), nullptr, 0);
    EXPECT_EQ(c.canvas.Pixels().CountColor(kBack, CRect(0, 0, 30, 30)), 900);
}

INSTANTIATE_TEST_SUITE_P(Themes, Gripper, ::testing::Values(0, 1));

TEST(GripperDots, Office2003SixDotPairsAtTheirOffsets)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerOffice2003));
    const COLORREF light = g_PaintManager->GetColor(CExtPaintManager::TC_2003_GRIPPER_LIGHT);
    const COLORREF dark = g_PaintManager->GetColor(CExtPaintManager::TC_2003_GRIPPER_DARK);
    Canvas c;
    g_PaintManager->PaintResizingGripper(c.dc, CRect(5, 5, 25, 25), nullptr, 0);
    const kxgui::PixelBuffer p = c.canvas.Pixels();
    const POINT dots[6] = {{0, 0}, {0, 4}, {0, 8}, {4, 0}, {4, 4}, {8, 0}}; // left and up from the corner
    for (const POINT& d : dots)
    {
        const int x = 25 - 2 - d.x, y = 25 - 2 - d.y;
        // the light square's corner that the dark one, one pixel up and left, leaves
        EXPECT_EQ(p.At(x + 1, y + 1), light) << d.x << "," << d.y;
        EXPECT_EQ(p.At(x + 1, y), light) << d.x << "," << d.y;
        EXPECT_EQ(p.At(x - 1, y - 1), dark) << d.x << "," << d.y;
        EXPECT_EQ(p.At(x, y), dark) << d.x << "," << d.y; // dark painted over light
    }
    // each pair covers 7 pixels and nothing else is touched
    EXPECT_EQ(900 - p.CountColor(kBack, CRect(0, 0, 30, 30)), 6 * 7);
    EXPECT_EQ(11 * 11 - p.CountColor(kBack, CRect(14, 14, 25, 25)), 6 * 7);
    g_PaintManager.InstallPaintManager(nullptr);
}

TEST(GripperDots, ClassicLinesInShadowAndWindowColours)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    Canvas c;
    g_PaintManager->PaintResizingGripper(c.dc, CRect(5, 5, 25, 25), nullptr, 0);
    const kxgui::PixelBuffer p = c.canvas.Pixels();
    // the first line runs from (23, 24) towards (25, 22): its first pixel
    EXPECT_EQ(p.At(23, 24), g_PaintManager->GetColor(COLOR_3DSHADOW));
    EXPECT_EQ(p.At(21, 24), g_PaintManager->GetColor(COLOR_WINDOW));
    EXPECT_EQ(p.At(13, 24), g_PaintManager->GetColor(COLOR_WINDOW)); // the third group's window line
    EXPECT_EQ(p.At(12, 24), kBack);
    g_PaintManager.InstallPaintManager(nullptr);
}

} // namespace
