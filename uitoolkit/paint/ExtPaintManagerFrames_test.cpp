// Edit and combo frames: the rings of the classic edit frame, the XP combo
// inside a menu item, the arrow font's size and when the Office 2003 combo
// form applies.
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

const COLORREF kBack = RGB(1, 2, 3);

struct Canvas
{
    kxgui::DibCanvas canvas{120, 40, kBack};
    CDC dc;
    Canvas() { dc.Attach(canvas.Dc()); }
    ~Canvas() { dc.Detach(); }
};

class Frames : public ::testing::Test
{
protected:
    void SetUp() override { ExtTestHooks() = ExtPaintTestHooks(); }
    void TearDown() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    static COLORREF C(int nIndex) { return g_PaintManager->GetColor(nIndex); }
};

TEST_F(Frames, ClassicEditRings)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    const CRect rcFrame(20, 10, 60, 30);
    for (int nState = 0; nState < 4; ++nState)
    {
        Canvas c;
        CExtPaintManager::ControlFrameParams p(nullptr, rcFrame, false, (nState & 1) != 0, false, (nState & 2) != 0);
        g_PaintManager->PaintControlFrame(c.dc, p);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        for (int nRing = 0; nRing < 3; ++nRing)
            EXPECT_EQ(px.At(rcFrame.left - nRing, 20), C(COLOR_WINDOW));
        // a disabled frame is flat whatever hover and focus say
        for (int nRing : {3, 4})
        {
            EXPECT_EQ(px.At(rcFrame.left - nRing, 20), C(1000)) << nState;
            EXPECT_EQ(px.At(rcFrame.right - 1 + nRing, 20), C(1000)) << nState;
        }
        EXPECT_EQ(px.At(rcFrame.left - 5, 20), kBack);
    }
    // enabled with hover and focus: the full sunken edge
    Canvas c;
    CExtPaintManager::ControlFrameParams p(nullptr, rcFrame, false, true, true, true);
    g_PaintManager->PaintControlFrame(c.dc, p);
    const kxgui::PixelBuffer px = c.canvas.Pixels();
    EXPECT_EQ(px.At(rcFrame.left - 3, 20), C(COLOR_3DDKSHADOW));
    EXPECT_EQ(px.At(rcFrame.right + 2, 20), C(COLOR_3DFACE));
    EXPECT_EQ(px.At(rcFrame.left - 4, 20), C(COLOR_3DSHADOW));
    EXPECT_EQ(px.At(rcFrame.right + 3, 20), C(COLOR_3DHILIGHT));
}

TEST_F(Frames, XpComboInAMenuItemHasNoOuterRing)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerXP));
    for (bool bInMenu : {false, true})
    {
        Canvas c;
        CExtPaintManager::ComboFrameParams p(nullptr, CRect(5, 5, 105, 27), false, false, true);
        p.InMenuItem = bInMenu;
        g_PaintManager->PaintComboFrame(c.dc, p);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_EQ(px.At(5, 15), bInMenu ? kBack : C(1000)) << bInMenu;
        EXPECT_EQ(px.At(50, 5), bInMenu ? kBack : C(1000)) << bInMenu;
        EXPECT_EQ(px.At(6, 15), C(CExtPaintManager::TC_XP_LIGHT_FACE)) << bInMenu;
    }
}

TEST_F(Frames, ArrowFontKeepsItsPixelHeight)
{
    EXPECT_EQ(CExtPaintManager::ComboFrameParams::ArrowPointSize(96), 60);
    EXPECT_EQ(CExtPaintManager::ComboFrameParams::ArrowPointSize(120), 48);
}

TEST_F(Frames, Office2003ComboFormNeedsColourDepthAndThemeColours)
{
    ExtTestHooks().nScreenBitsPerPixel = 32;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerOffice2003));
    CExtBarButton button;
    struct Case
    {
        int nDcBits;
        COLORREF clrFrame;
        bool bOfficeForm;
    } cases[] = {
        {32, static_cast<COLORREF>(-1), true},
        {8, static_cast<COLORREF>(-1), false},
        {32, RGB(200, 0, 0), false},
    };
    for (const Case& k : cases)
    {
        ExtTestHooks().nDcBitsPerPixel = k.nDcBits;
        Canvas c;
        CExtPaintManager::ComboFrameParams p(&button, CRect(5, 5, 105, 27), false, false, true);
        p.FrameColor = k.clrFrame;
        g_PaintManager->PaintComboFrame(c.dc, p);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        // the Office form leaves the outer ring to the background and draws
        // window-coloured rings inside it
        EXPECT_EQ(px.At(5, 15), k.bOfficeForm ? kBack : C(1000)) << k.nDcBits;
        if (k.bOfficeForm)
        {
            EXPECT_EQ(px.At(6, 15), C(COLOR_WINDOW));
        }
        // the text area inside the frame stays the caller's
        EXPECT_EQ(px.At(40, 15), kBack);
    }
}

} // namespace
