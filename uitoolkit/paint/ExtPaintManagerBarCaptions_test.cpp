// Bar captions, grippers and frames, and the Office 2003 finish under a
// tracked bar button, probed at computed pixels (never on text).
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

const COLORREF kBack = RGB(1, 2, 3);

struct Canvas
{
    kxgui::DibCanvas canvas{120, 60, kBack};
    CDC dc;
    Canvas() { dc.Attach(canvas.Dc()); }
    ~Canvas() { dc.Detach(); }
};

int Distance(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

// The pixel is nearer to the first colour than to the second.
bool Nearer(COLORREF pixel, COLORREF first, COLORREF second)
{
    return Distance(pixel, first) < Distance(pixel, second);
}

class BarChrome : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        ExtTestHooks().nScreenBitsPerPixel = 32;
        ExtTestHooks().nDcBitsPerPixel = 32;
    }
    void TearDown() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    CExtPaintManager* Install(CExtPaintManager* pTheme)
    {
        EXPECT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
        return pTheme;
    }
};

TEST_F(BarChrome, Office2003DockedPaneFrameOnlyAtLowDepth)
{
    CExtPaintManager* pm = Install(new CExtPaintManagerOffice2003);
    CExtControlBar bar;
    const CRect rcWindow(10, 10, 90, 50), rcClient(14, 14, 86, 46);
    {
        Canvas c;
        CExtPaintManager::BarFrameParams p(&bar, rcWindow, rcClient, false, false, false);
        pm->PaintBarFrame(c.dc, p);
        EXPECT_EQ(c.canvas.Pixels().CountColor(kBack, CRect(0, 0, 120, 60)), 120 * 60);
    }
    ExtTestHooks().nScreenBitsPerPixel = 8;
    ExtTestHooks().nDcBitsPerPixel = 8;
    const COLORREF clrFace = pm->GetColor(CExtPaintManager::TC_FACE_NORMAL, &bar);
    const COLORREF clrEdge = pm->GetColor(COLOR_3DFACE, &bar);
    for (bool bNoDotted : {true, false})
    {
        Canvas c;
        CExtPaintManager::BarFrameParams p(&bar, rcWindow, rcClient, false, false, bNoDotted);
        pm->PaintBarFrame(c.dc, p);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_EQ(px.At(12, 12), clrFace);
        EXPECT_EQ(px.At(50, 30), kBack); // the client area is left alone
        const int nEdge = px.CountColor(clrEdge, CRect(13, 10, 87, 11));
        if (bNoDotted)
            EXPECT_EQ(nEdge, 87 - 13) << "a plain edge";
        else
            EXPECT_LT(nEdge, 87 - 13) << "the dotted outline over the edge";
        // the Office 2003 outline cuts its corners
        EXPECT_EQ(px.At(10, 10), clrEdge);
    }
}

TEST_F(BarChrome, XpFloatingFrameDoubleBorderAndCorners)
{
    CExtPaintManager* pm = Install(new CExtPaintManagerXP);
    Canvas c;
    CExtPaintManager::BarFrameParams p(nullptr, CRect(10, 10, 90, 50), CRect(14, 14, 86, 46), true, false, false);
    pm->PaintBarFrame(c.dc, p);
    const kxgui::PixelBuffer px = c.canvas.Pixels();
    const COLORREF clrShadow = pm->GetColor(COLOR_3DSHADOW);
    EXPECT_EQ(px.At(10, 10), clrShadow);
    EXPECT_EQ(px.At(11, 11), clrShadow);
    EXPECT_EQ(px.At(88, 48), clrShadow);
    EXPECT_EQ(px.At(12, 12), pm->GetColor(CExtPaintManager::TC_XP_FRAME_FACE));
    EXPECT_EQ(px.At(50, 30), kBack);
}

TEST_F(BarChrome, Office2003InactiveTitleGradientAndRightToLeft)
{
    CExtPaintManager* pm = Install(new CExtPaintManagerOffice2003);
    CExtControlBar bar;
    const COLORREF clrLight = pm->GetColor(CExtPaintManager::TC_2003_BACK_LIGHT, &bar);
    const COLORREF clrDark = pm->GetColor(CExtPaintManager::TC_2003_BACK_DARK, &bar);
    ASSERT_NE(clrLight, clrDark);
    for (bool bRtl : {false, true})
    {
        Canvas c;
        CExtPaintManager::BarCaptionParams p(&bar, CRect(0, 0, 100, 18), CRect(2, 0, 98, 18), false, false, false, true,
                                             nullptr, bRtl);
        pm->PaintBarCaption(c.dc, p);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_TRUE(p.NoFill);
        EXPECT_EQ(Nearer(px.At(1, 9), clrLight, clrDark), !bRtl);
        EXPECT_EQ(Nearer(px.At(98, 9), clrDark, clrLight), !bRtl);
    }
    // an active title gets the flat highlight
    Canvas c;
    CExtPaintManager::BarCaptionParams p(&bar, CRect(0, 0, 100, 18), CRect(2, 0, 98, 18), true, false, false, true,
                                         nullptr, false);
    pm->PaintBarCaption(c.dc, p);
    EXPECT_EQ(c.canvas.Pixels().At(50, 9), pm->GetColor(COLOR_HIGHLIGHT, &bar));
}

TEST_F(BarChrome, ClassicSideCaptionGradientIgnoresRightToLeft)
{
    ExtTestHooks().pfnSysColor = [](int n) -> COLORREF
    {
        return n == COLOR_ACTIVECAPTION           ? RGB(0, 0, 200)
               : n == COLOR_GRADIENTACTIVECAPTION ? RGB(200, 200, 0)
                                                  : ::GetSysColor(n);
    };
    CExtPaintManager* pm = Install(new CExtPaintManager);
    const COLORREF clrFirst = RGB(0, 0, 200), clrSecond = RGB(200, 200, 0);
    for (bool bRtl : {false, true})
    {
        Canvas c;
        CExtPaintManager::BarCaptionParams p(nullptr, CRect(0, 0, 18, 58), CRect(0, 2, 18, 56), true, false, true, true,
                                             nullptr, bRtl);
        pm->PaintBarCaption(c.dc, p);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_TRUE(Nearer(px.At(9, 56), clrFirst, clrSecond)); // the first colour at the bottom
        EXPECT_TRUE(Nearer(px.At(9, 1), clrSecond, clrFirst));
        EXPECT_EQ(px.At(0, 0), kBack); // shrunk by one pixel
    }
}

TEST_F(BarChrome, Office2003GripperDotsCount)
{
    CExtPaintManager* pm = Install(new CExtPaintManagerOffice2003);
    CExtControlBar bar;
    const COLORREF clrDark = pm->GetColor(CExtPaintManager::TC_2003_GRIPPER_DARK, &bar);
    struct
    {
        CRect rc;
        bool bSide;
    } cases[] = {{CRect(0, 0, 61, 12), false}, {CRect(0, 0, 12, 47), true}};
    for (const auto& t : cases)
    {
        Canvas c;
        CExtPaintManager::BarCaptionParams p(&bar, t.rc, t.rc, false, false, t.bSide, false, nullptr, false);
        pm->PaintBarCaption(c.dc, p);
        const int nSpan = t.bSide ? t.rc.Height() - 10 : t.rc.Width() - 10;
        EXPECT_EQ(c.canvas.Pixels().CountColor(clrDark, CRect(0, 0, 120, 60)), 4 * (nSpan / 4)) << t.bSide;
    }
}

TEST_F(BarChrome, Studio2005PaneTitleColours)
{
    CExtPaintManager* pm = Install(new CExtPaintManagerStudio2005);
    CExtControlBar bar;
    Canvas c;
    CExtPaintManager::BarCaptionParams inactive(&bar, CRect(0, 0, 100, 18), CRect(2, 0, 98, 18), false, false, false,
                                                true, nullptr, false);
    pm->PaintBarCaption(c.dc, inactive);
    CExtPaintManager::BarCaptionParams active(&bar, CRect(0, 30, 100, 48), CRect(2, 30, 98, 48), true, false, false,
                                              true, nullptr, false);
    pm->PaintBarCaption(c.dc, active);
    const kxgui::PixelBuffer px = c.canvas.Pixels();
    EXPECT_EQ(px.At(50, 9), pm->GetColor(CExtPaintManager::TC_2005_CAPTION_INACTIVE));
    const COLORREF clrFrom = pm->GetColor(CExtPaintManager::TC_2005_CAPTION_ACTIVE_FROM);
    const COLORREF clrTo = pm->GetColor(CExtPaintManager::TC_2005_CAPTION_ACTIVE_TO);
    if (Distance(clrFrom, clrTo) >= 40)
    {
        EXPECT_TRUE(Nearer(px.At(50, 30), clrFrom, clrTo));
        EXPECT_TRUE(Nearer(px.At(50, 47), clrTo, clrFrom));
    }
}

TEST_F(BarChrome, TrackedButtonFinish)
{
    CExtPaintManager* pm = Install(new CExtPaintManagerOffice2003);
    CExtToolControlBar bar;
    CExtBarButton plain(&bar), split(&bar);
    CExtBarColorButton colour(&bar);
    split.SetSeparatedDropDown(true);
    const COLORREF clrFrame = pm->GetColor(CExtPaintManager::TC_XP_GRIPPER);
    const COLORREF clrTop = pm->GetColor(CExtPaintManager::TC_2003_TOOLBAR_LIGHT);
    const COLORREF clrBottom = pm->GetColor(CExtPaintManager::TC_2003_TOOLBAR_DARK);
    struct
    {
        CExtBarButton* pButton;
        DWORD dwAlign;
        bool bFramed;
    } cases[] = {
        {&plain, CBRS_ALIGN_LEFT, true},
        {&plain, CBRS_ALIGN_TOP, false},
        {&colour, CBRS_ALIGN_LEFT, false},
        {&split, CBRS_ALIGN_RIGHT, false},
    };
    for (const auto& t : cases)
    {
        bar.m_dwStyle = t.dwAlign;
        t.pButton->m_rc = CRect(10, 10, 40, 50);
        Canvas c;
        pm->PaintTrackedButtonBackground(c.dc, t.pButton, 0);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_EQ(px.At(10, 10), t.bFramed ? clrFrame : kBack);
        EXPECT_EQ(px.At(39, 49), t.bFramed ? clrFrame : kBack);
        if (Distance(clrTop, clrBottom) >= 20)
        {
            EXPECT_TRUE(Nearer(px.At(20, 11), clrTop, clrBottom));
            EXPECT_TRUE(Nearer(px.At(20, 48), clrBottom, clrTop));
        }
        EXPECT_NE(px.At(20, 30), kBack);
    }
    // nothing at 8 bits, nothing in the XP theme
    ExtTestHooks().nDcBitsPerPixel = 8;
    Canvas c8;
    pm->PaintTrackedButtonBackground(c8.dc, &plain, 0);
    EXPECT_EQ(c8.canvas.Pixels().CountColor(kBack, CRect(0, 0, 120, 60)), 120 * 60);
}

} // namespace
