// Separators in the classic, XP and Office 2003 forms.
#include "uitoolkit/bars/ExtStatusControlBar.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
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

class Separators : public ::testing::Test
{
protected:
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }
    // Pixels of the rectangle that are not the canvas's own colour.
    static int Painted(const kxgui::PixelBuffer& p, const RECT& rc)
    {
        return (rc.right - rc.left) * (rc.bottom - rc.top) - p.CountColor(kBack, rc);
    }
};

TEST_F(Separators, ClassicEtchedLineCentredEvenInAOnePixelRectangle)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    Canvas c;
    g_PaintManager->PaintSeparator(c.dc, CRect(10, 0, 11, 20), true, true, nullptr, 0);
    const kxgui::PixelBuffer p = c.canvas.Pixels();
    EXPECT_EQ(p.At(9, 5), g_PaintManager->GetColor(CExtPaintManager::TC_SHADOW_NORMAL));
    EXPECT_EQ(p.At(10, 5), g_PaintManager->GetColor(CExtPaintManager::TC_HILIGHT_NORMAL));
    EXPECT_EQ(Painted(p, CRect(0, 0, 30, 30)), 2 * 19);
}

TEST_F(Separators, TransparentLeavesTheBackgroundAndOpaqueFillsIt)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerXP));
    Canvas c;
    g_PaintManager->PaintSeparator(c.dc, CRect(0, 0, 20, 10), false, true, nullptr, 0);
    kxgui::PixelBuffer p = c.canvas.Pixels();
    // a one-pixel row at top + height / 2 - 1 from left + 1 to right - 1
    EXPECT_EQ(Painted(p, CRect(0, 0, 30, 30)), 18);
    EXPECT_EQ(Painted(p, CRect(1, 4, 19, 5)), 18);
    g_PaintManager->PaintSeparator(c.dc, CRect(0, 10, 20, 20), false, false, nullptr, 0);
    p = c.canvas.Pixels();
    EXPECT_EQ(p.CountColor(g_PaintManager->GetColor(CExtPaintManager::TC_FACE_NORMAL), CRect(0, 10, 20, 20)), 200 - 18);
}

TEST_F(Separators, Office2003BandOfBars)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerOffice2003));
    CExtToolControlBar toolBar;
    CExtStatusControlBar statusBar;
    Canvas c;
    g_PaintManager->PaintSeparator(c.dc, CRect(0, 0, 10, 20), true, true, &toolBar, 0);
    g_PaintManager->PaintSeparator(c.dc, CRect(10, 0, 20, 20), true, true, &statusBar, 0);
    const kxgui::PixelBuffer p = c.canvas.Pixels();
    EXPECT_EQ(Painted(p, CRect(0, 0, 10, 30)), 2 * (20 - 7)); // 3 shorter at the top, 4 at the bottom
    EXPECT_EQ(Painted(p, CRect(0, 0, 10, 3)), 0);
    EXPECT_EQ(Painted(p, CRect(10, 0, 20, 30)), 2 * 20);
    EXPECT_EQ(p.At(14, 0), g_PaintManager->GetColor(CExtPaintManager::TC_2003_ROW_DARK));
}

} // namespace
