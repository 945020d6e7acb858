// The popup shadow painted into 32-bit canvases: band values, nothing to
// draw, the saved background over a changed screen, and the dot pattern of
// palette screens.
#include "uitoolkit/commands/ExtPopupShadow.h"

#include "uitoolkit/paint/ExtPaintManager.h"
#include "tests/support/PopupStage.h"

#include <gtest/gtest.h>

namespace
{

struct Canvas
{
    kxgui::DibCanvas canvas{120, 100, RGB(255, 255, 255)};
    CDC dc;
    Canvas() { dc.Attach(canvas.Dc()); }
    ~Canvas() { dc.Detach(); }
    void Fill(COLORREF clr) { dc.FillSolidRect(0, 0, 120, 100, clr); }
};

const CRect Window(20, 10, 60, 50);
const CRect ScreenWindow(320, 210, 360, 250);
const CRect NoRect(0, 0, 0, 0);

using PopupShadowTest = kxtest::PopupTest;

TEST_F(PopupShadowTest, BandsOverWhite)
{
    Canvas c;
    CExtPopupShadow shadow;
    ASSERT_TRUE(shadow.Paint(c.dc, Window, ScreenWindow, NoRect, 4, 75, 100, true, true));
    const kxgui::PixelBuffer p = c.canvas.Pixels();
    const int mid = (Window.top + Window.bottom) / 2;
    EXPECT_EQ(p.At(60, mid), RGB(191, 191, 191));
    EXPECT_EQ(p.At(61, mid), RGB(206, 206, 206));
    EXPECT_EQ(p.At(62, mid), RGB(221, 221, 221));
    EXPECT_EQ(p.At(63, mid), RGB(237, 237, 237));
    EXPECT_EQ(p.At(64, mid), RGB(255, 255, 255));
    EXPECT_EQ(p.At(40, 49), RGB(255, 255, 255)); // the window is left alone
    EXPECT_EQ(p.At(40, 50), RGB(206, 206, 206));
    EXPECT_EQ(p.At(40, 51), RGB(221, 221, 221));
    EXPECT_EQ(p.At(40, 52), RGB(237, 237, 237));
    EXPECT_EQ(p.At(40, 53), RGB(255, 255, 255));
    EXPECT_TRUE(shadow.IsBackgroundSaved());
    EXPECT_TRUE(shadow.IsShadowSaved());
    shadow.DiscardSavedShadow();
    EXPECT_TRUE(shadow.IsBackgroundSaved());
    EXPECT_FALSE(shadow.IsShadowSaved());
    shadow.Reset();
    EXPECT_FALSE(shadow.IsBackgroundSaved());
}

TEST_F(PopupShadowTest, NothingToDraw)
{
    Canvas c;
    CExtPopupShadow shadow;
    EXPECT_TRUE(shadow.Paint(c.dc, Window, ScreenWindow, NoRect, 0, 75, 100, true, true));
    EXPECT_TRUE(shadow.Paint(c.dc, CRect(20, 10, 20, 50), ScreenWindow, NoRect, 4, 75, 100, true, true));
    EXPECT_EQ(c.canvas.Pixels().CountColor(RGB(255, 255, 255), CRect(0, 0, 120, 100)), 120 * 100);
    EXPECT_FALSE(shadow.IsBackgroundSaved());
}

TEST_F(PopupShadowTest, RepaintsKeepTheFirstBackground)
{
    for (bool keep : {true, false})
    {
        Canvas c;
        CExtPopupShadow shadow;
        ASSERT_TRUE(shadow.Paint(c.dc, Window, ScreenWindow, NoRect, 4, 75, 100, keep, false));
        EXPECT_EQ(shadow.IsShadowSaved(), keep);
        c.Fill(RGB(0, 0, 255));
        ASSERT_TRUE(shadow.Paint(c.dc, Window, ScreenWindow, NoRect, 4, 75, 100, keep, false));
        const kxgui::PixelBuffer p = c.canvas.Pixels();
        EXPECT_EQ(p.At(61, 30), RGB(206, 206, 206)) << keep;
        EXPECT_EQ(p.At(40, 51), RGB(221, 221, 221)) << keep;
        EXPECT_EQ(p.At(40, 53), RGB(255, 255, 255)) << keep; // the saved band, not the new blue
        EXPECT_EQ(p.At(40, 30), RGB(0, 0, 255)) << keep;
    }
}

TEST_F(PopupShadowTest, PaletteScreensGetFourDotsWide)
{
    ExtTestHooks().nScreenBitsPerPixel = 8;
    Canvas c;
    CExtPopupShadow shadow;
    ASSERT_TRUE(shadow.Paint(c.dc, Window, ScreenWindow, NoRect, 10, 75, 100, true, true));
    const kxgui::PixelBuffer p = c.canvas.Pixels();
    EXPECT_GT(p.CountColor(RGB(0, 0, 0), CRect(60, 14, 64, 50)), 0);
    EXPECT_EQ(p.CountColor(RGB(0, 0, 0), CRect(64, 0, 120, 100)), 0);
    EXPECT_GT(p.CountColor(RGB(0, 0, 0), CRect(24, 50, 60, 54)), 0);
    EXPECT_EQ(p.CountColor(RGB(0, 0, 0), CRect(0, 54, 120, 100)), 0);
    EXPECT_EQ(p.CountColor(RGB(0, 0, 0), Window), 0);
}

} // namespace
