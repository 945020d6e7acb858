// Docking-marker sets on Windows: composition of the composite kinds, the
// layout of outer and compass markers, window regions from the pictures,
// marker windows, highlights, the shaded docking preview, and a screenshot
// of every picture.
#include "uitoolkit/paint/ExtPaintManagerDockMarkers.h"

#include "framework/win/AfxWin.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/ToolkitPaintWindow.h"
#include "uitoolkit/core/ExtColorMath.h"
#include "uitoolkit/core/ExtDockMarkerGeometry.h"
#include "uitoolkit/core/ExtDockMarkerImages.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtBitmapDC.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

typedef CExtPaintManager::DockMarkerBase DockMarkerBase;
typedef CExtPaintManager::DockMarkerBeta2 DockMarkerBeta2;

const COLORREF kHighlight = RGB(0, 96, 196);
const COLORREF kGreen = RGB(0, 255, 0);

std::vector<int> ChildKinds(const DockMarkerBase& marker)
{
    std::vector<int> kinds;
    for (INT_PTR i = 0; i < marker.m_arrChildren.GetSize(); ++i)
        kinds.push_back(marker.m_arrChildren[i]->m_nKind);
    return kinds;
}

// The pixels of a bitmap as COLORREFs, top row first.
std::vector<COLORREF> BitmapPixels(HBITMAP hBitmap, int cx, int cy)
{
    COLORREF* pBits = nullptr; // 0x00RRGGBB, the bottom row first
    HBITMAP hCopy = CExtPaintManager::CloneBitmap(hBitmap, nullptr, &pBits);
    std::vector<COLORREF> out;
    for (int y = cy - 1; y >= 0; --y)
        for (int x = 0; x < cx; ++x)
        {
            const COLORREF px = pBits[(size_t)y * cx + x];
            out.push_back(RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF));
        }
    ::DeleteObject(hCopy);
    return out;
}

// A theme whose markers fail for one kind and count their deletions.
int g_nMarkersDeleted = 0;
int g_nFailingKind = -2;

class CCountingMarker : public DockMarkerBeta2
{
public:
    ~CCountingMarker() override { ++g_nMarkersDeleted; }
    bool Create(bool bFlag, int nKind, const RECT& rc) override
    {
        return nKind != g_nFailingKind && DockMarkerBeta2::Create(bFlag, nKind, rc);
    }
};

class CFailingMarkerTheme : public CExtPaintManagerXP
{
public:
    DockMarkerBase* CreateDockMarker() override { return new CCountingMarker; }
};

class DockMarkerTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerXP)); }
    void TearDown() override
    {
        g_nFailingKind = -2;
        ExtTestHooks().nScreenBitsPerPixel = 0;
        g_PaintManager.InstallPaintManager(nullptr);
        AfxDeleteTempMaps();
    }
};

TEST_F(DockMarkerTest, TheEmptyKindSucceedsWithAnEmptyMarker)
{
    DockMarkerBeta2 marker;
    ASSERT_TRUE(marker.Create(true, 0, CRect(0, 0, 200, 200)));
    EXPECT_FALSE(marker.IsEmpty());
    EXPECT_TRUE(marker.Create(false, -1, CRect(0, 0, 200, 200)));
    EXPECT_TRUE(marker.IsEmpty());
    EXPECT_EQ(marker.m_bmpNormal.GetSafeHandle(), nullptr);
    EXPECT_EQ(marker.m_rgn.GetSafeHandle(), nullptr);
    EXPECT_EQ(marker.m_arrChildren.GetSize(), 0);
}

TEST_F(DockMarkerTest, AnOuterSetWhoseThirdArrowFailsKeepsNothing)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CFailingMarkerTheme));
    g_nFailingKind = 2;
    g_nMarkersDeleted = 0;
    DockMarkerBase set;
    EXPECT_FALSE(set.Create(false, 5, CRect(0, 0, 400, 300)));
    EXPECT_TRUE(set.IsEmpty());
    EXPECT_EQ(set.m_arrChildren.GetSize(), 0);
    EXPECT_EQ(g_nMarkersDeleted, 3); // the two made and the one that failed

    g_nFailingKind = -2;
    g_nMarkersDeleted = 0;
    ASSERT_TRUE(set.Create(false, 5, CRect(0, 0, 400, 300)));
    EXPECT_EQ(ChildKinds(set), (std::vector<int>{0, 1, 2, 3}));
    set.Empty();
    EXPECT_EQ(g_nMarkersDeleted, 4);
}

TEST_F(DockMarkerTest, TheCompassPutsItsCentreFirstAndTheTabTargetLast)
{
    const CRect rc(100, 100, 400, 350);
    DockMarkerBase compass, compassWithTab;
    ASSERT_TRUE(compass.Create(false, 6, rc));
    EXPECT_EQ(compass.m_nKind, 6);
    EXPECT_EQ(ChildKinds(compass), (std::vector<int>{4, 0, 1, 2, 3}));
    ASSERT_TRUE(compassWithTab.Create(false, 7, rc));
    EXPECT_EQ(compassWithTab.m_nKind, 7);
    EXPECT_EQ(ChildKinds(compassWithTab), (std::vector<int>{4, 0, 1, 2, 3, 8}));

    // the centre in the middle, the arrows on its arms, none of them outer
    const DockMarkerBase& centre = *compass.m_arrChildren[0];
    EXPECT_EQ(centre.m_rc, CRect(206, 181, 294, 269));
    const CRect expected[4] = {
        {239, 185, 262, 211}, // top: box top + 10, centred + 1
        {239, 241, 262, 267}, // bottom: box bottom - 26 - 8
        {210, 214, 236, 237}, // left
        {266, 214, 292, 237}, // right
    };
    for (int i = 0; i < 4; ++i)
    {
        const DockMarkerBase& arrow = *compass.m_arrChildren[i + 1];
        EXPECT_EQ(arrow.m_rc, expected[i]) << i;
        EXPECT_EQ(arrow.m_nFlags & DockMarkerBase::FlagOuter, 0) << i;
        EXPECT_EQ(arrow.m_bmpFrame.GetSafeHandle(), nullptr) << i;
    }
    EXPECT_EQ(compassWithTab.m_arrChildren[5]->m_rc, CRect(238, 213, 263, 238));
}

TEST_F(DockMarkerTest, OuterMarkersSitInsideTheFrameEdgesInTheirFrames)
{
    const CRect rc(0, 0, 400, 300);
    DockMarkerBase set;
    ASSERT_TRUE(set.Create(false, 5, rc));
    struct Expect
    {
        CRect rc;
        int nOffsetX, nOffsetY;
    } expected[4] = {
        {{185, 5, 214, 36}, 4, 4},
        {{185, 264, 214, 295}, 4, 3},
        {{5, 135, 36, 164}, 4, 4},
        {{364, 135, 395, 164}, 3, 4},
    };
    for (int i = 0; i < 4; ++i)
    {
        const DockMarkerBase& arrow = *set.m_arrChildren[i];
        EXPECT_NE(arrow.m_nFlags & DockMarkerBase::FlagOuter, 0) << i;
        EXPECT_NE(arrow.m_bmpFrame.GetSafeHandle(), nullptr) << i;
        EXPECT_EQ(arrow.m_rc, expected[i].rc) << i;
        EXPECT_EQ(arrow.m_nImageOffsetX, expected[i].nOffsetX) << i;
        EXPECT_EQ(arrow.m_nImageOffsetY, expected[i].nOffsetY) << i;
    }
    // with the flag set the same arrows are plain markers at the edges
    ASSERT_TRUE(set.Create(true, 5, rc));
    EXPECT_EQ(set.m_arrChildren[0]->m_rc, CRect(188, 0, 211, 26));
    EXPECT_EQ(set.m_arrChildren[0]->m_bmpFrame.GetSafeHandle(), nullptr);
}

TEST_F(DockMarkerTest, TheWindowRegionLeavesOutExactlyTheGreenPixels)
{
    // a plain arrow's shape is its picture, an outer arrow's its frame
    DockMarkerBase compass;
    ASSERT_TRUE(compass.Create(true, 6, CRect(0, 0, 200, 200)));
    DockMarkerBase set;
    ASSERT_TRUE(set.Create(false, 5, CRect(0, 0, 200, 200)));
    const DockMarkerBase* shapes[] = {compass.m_arrChildren[0], compass.m_arrChildren[1], set.m_arrChildren[3]};
    for (const DockMarkerBase* pMarker : shapes)
    {
        const CBitmap& shape =
            pMarker->m_bmpFrame.GetSafeHandle() != nullptr ? pMarker->m_bmpFrame : pMarker->m_bmpNormal;
        const std::vector<COLORREF> pixels =
            BitmapPixels(static_cast<HBITMAP>(shape.GetSafeHandle()), pMarker->m_cx, pMarker->m_cy);
        int nGreen = 0;
        for (int y = 0; y < pMarker->m_cy; ++y)
            for (int x = 0; x < pMarker->m_cx; ++x)
            {
                const bool bGreen = pixels[(size_t)y * pMarker->m_cx + x] == kGreen;
                nGreen += bGreen ? 1 : 0;
                ASSERT_EQ(::PtInRegion(static_cast<HRGN>(pMarker->m_rgn.GetSafeHandle()), x, y) != FALSE, !bGreen)
                    << "kind " << pMarker->m_nKind << " at " << x << "," << y;
            }
        EXPECT_GT(nGreen, 0) << pMarker->m_nKind;
    }
}

TEST_F(DockMarkerTest, PicturesOfDifferentSizesOrMissingResourcesMakeNoMarker)
{
    const CRect rc(0, 0, 200, 200);
    HBITMAP hSmall = CExtPaintManager::CreateDibSection32(10, 10, nullptr);
    HBITMAP hLarge = CExtPaintManager::CreateDibSection32(12, 10, nullptr);
    DockMarkerBeta2 marker;
    EXPECT_FALSE(marker.CreateFromBitmaps(rc, 0, kGreen, hSmall, hLarge));
    EXPECT_EQ(::GetObjectType(hSmall), 0u); // both were deleted
    EXPECT_EQ(::GetObjectType(hLarge), 0u);
    EXPECT_TRUE(marker.IsEmpty());

    // the tool-bar picture of the tests' resources, as both images
    const LPCTSTR lpszPicture = MAKEINTRESOURCEA(0x7310);
    ASSERT_TRUE(
        marker.CreateFromResources(rc, 8, kGreen, lpszPicture, nullptr, RT_BITMAP, RT_BITMAP, nullptr, nullptr));
    EXPECT_EQ(marker.m_nKind, 8);
    EXPECT_NE(marker.m_bmpHover.GetSafeHandle(), nullptr);
    EXPECT_NE(marker.m_rgn.GetSafeHandle(), nullptr);
    EXPECT_EQ(marker.m_rc.left, (200 - marker.m_cx) / 2 + 1); // centred, nudged by (1, 1)
    EXPECT_FALSE(marker.CreateFromResources(rc, 8, kGreen, lpszPicture, MAKEINTRESOURCEA(0x7FFF), RT_BITMAP, RT_BITMAP,
                                            nullptr, nullptr));
    EXPECT_FALSE(marker.CreateFromResources(rc, 8, kGreen, MAKEINTRESOURCEA(0x7FFF), nullptr, RT_BITMAP, RT_BITMAP,
                                            nullptr, nullptr));
}

TEST_F(DockMarkerTest, MarkerWindowsTakeTheSetsOver)
{
    CExtDockMarkerWndArray arrWnds;
    CExtPaintManager* pTheme = g_PaintManager.GetPM();
    ASSERT_TRUE(pTheme->CreateDockMarkerWindows(77, 5, CRect(0, 0, 400, 300), arrWnds));
    ASSERT_EQ(arrWnds.GetSize(), 4);
    CRect rcWindow;
    arrWnds[0]->GetWindowRect(&rcWindow);
    EXPECT_EQ(rcWindow, CRect(185, 5, 214, 36));
    for (INT_PTR i = 0; i < arrWnds.GetSize(); ++i)
    {
        EXPECT_EQ(arrWnds[i]->m_nKind, (int)i);
        EXPECT_TRUE(arrWnds[i]->m_bOuter);
        EXPECT_EQ(arrWnds[i]->m_lOwnerParam, 77);
    }

    // asking again replaces the windows
    ASSERT_TRUE(pTheme->CreateDockMarkerWindows(78, 7, CRect(0, 0, 400, 300), arrWnds));
    ASSERT_EQ(arrWnds.GetSize(), 6);
    std::vector<int> kinds;
    for (INT_PTR i = 0; i < arrWnds.GetSize(); ++i)
        kinds.push_back(arrWnds[i]->m_nKind);
    EXPECT_EQ(kinds, (std::vector<int>{4, 0, 1, 2, 3, 8}));
    EXPECT_FALSE(arrWnds[1]->m_bOuter);
    CExtDynDockMarkerWnd::DestroyMarkers(arrWnds, false);
}

// The compass window and the window of the part under the mouse.
struct CompassWindows
{
    CExtDockMarkerWndArray arrWnds;
    CompassWindows() { EXPECT_TRUE(g_PaintManager->CreateDockMarkerWindows(0, 7, CRect(0, 0, 300, 300), arrWnds)); }
    ~CompassWindows() { CExtDynDockMarkerWnd::DestroyMarkers(arrWnds, false); }
    CExtDynDockMarkerWnd* Compass() { return arrWnds[0]; }
    CExtDynDockMarkerWnd* Part(int nKind)
    {
        for (INT_PTR i = 0; i < arrWnds.GetSize(); ++i)
            if (arrWnds[i]->m_nKind == nKind)
                return arrWnds[i];
        return nullptr;
    }
};

TEST_F(DockMarkerTest, TheCompassHighlightOutlinesThePartUnderTheMouse)
{
    CompassWindows wnds;
    ASSERT_EQ(wnds.arrWnds.GetSize(), 6);
    wnds.Compass()->m_hWndHoverPart = wnds.Part(0)->m_hWnd;
    kxgui::DibCanvas canvas(88, 88);
    CDC dc;
    dc.Attach(canvas.Dc());
    g_PaintManager->PaintDockMarkerHighlight(dc, CRect(0, 0, 88, 88), 4, false, wnds.Compass());
    dc.Detach();
    const kxgui::PixelBuffer shot = canvas.Pixels();
    const CRect rects[3] = {{29, 0, 58, 1}, {29, 0, 30, 23}, {57, 0, 58, 23}};
    for (int y = 0; y < 88; ++y)
        for (int x = 0; x < 88; ++x)
        {
            bool bInside = false;
            for (const CRect& r : rects)
                bInside = bInside || r.PtInRect(CPoint(x, y));
            ASSERT_EQ(shot.At(x, y), bInside ? kHighlight : RGB(255, 255, 255)) << x << "," << y;
        }

    // nothing for a window that is no marker, nor without a part
    kxgui::DibCanvas blank(88, 88);
    dc.Attach(blank.Dc());
    wnds.Compass()->m_hWndHoverPart = nullptr;
    g_PaintManager->PaintDockMarkerHighlight(dc, CRect(0, 0, 88, 88), 4, false, wnds.Compass());
    dc.Detach();
    EXPECT_EQ(blank.Pixels().CountColor(RGB(255, 255, 255), CRect(0, 0, 88, 88)), 88 * 88);
}

TEST_F(DockMarkerTest, TheOuterHighlightLeavesTheInnerSideOpen)
{
    CExtDockMarkerWndArray arrWnds;
    ASSERT_TRUE(g_PaintManager->CreateDockMarkerWindows(0, 5, CRect(0, 0, 400, 300), arrWnds));
    kxgui::DibCanvas canvas(40, 40);
    CDC dc;
    dc.Attach(canvas.Dc());
    g_PaintManager->PaintDockMarkerHighlight(dc, CRect(0, 0, 29, 31), 0, true, arrWnds[0]);
    dc.Detach();
    const kxgui::PixelBuffer shot = canvas.Pixels();
    EXPECT_EQ(shot.CountColor(kHighlight, CRect(0, 0, 29, 1)), 29);   // top
    EXPECT_EQ(shot.CountColor(kHighlight, CRect(0, 0, 1, 31)), 31);   // left
    EXPECT_EQ(shot.CountColor(kHighlight, CRect(28, 0, 29, 31)), 31); // right
    EXPECT_EQ(shot.CountColor(kHighlight, CRect(1, 30, 28, 31)), 0);  // the open bottom
    CExtDynDockMarkerWnd::DestroyMarkers(arrWnds, false);
}

DWORD Pixel(COLORREF c)
{
    return ((DWORD)GetRValue(c) << 16) | ((DWORD)GetGValue(c) << 8) | GetBValue(c);
}

TEST_F(DockMarkerTest, TheDockingPreviewIgnoresTheCallersFillAndFollowsTheScreenDepth)
{
    ExtTestHooks().nScreenBitsPerPixel = 32;
    const COLORREF kOld = RGB(240, 240, 240);
    std::vector<DWORD> pixels(8 * 6, Pixel(kOld));
    g_PaintManager->PaintDockingHighlight(reinterpret_cast<COLORREF*>(pixels.data()), 8, 6, false, false,
                                          CRect(0, 0, 8, 6), CRect(0, 0, 0, 0), RGB(255, 0, 0), 0xFFFFFFFF, 0);
    const COLORREF mixed = RGB(240 + (0 - 240) / 2, 240 + (64 - 240) / 2, 240 + (196 - 240) / 2);
    const DWORD expected = Pixel(CExtColorMath::AdjustColorHls(mixed, 0.0, 0.1, 0.0));
    for (DWORD px : pixels)
        ASSERT_EQ(px, expected);

    ExtTestHooks().nScreenBitsPerPixel = 8;
    std::vector<DWORD> coarse(4 * 2, Pixel(kOld));
    g_PaintManager->PaintDockingHighlight(reinterpret_cast<COLORREF*>(coarse.data()), 4, 2, false, false,
                                          CRect(0, 0, 4, 2), CRect(0, 0, 0, 0), RGB(255, 0, 0), 0xFFFFFFFF, 1);
    const DWORD shadow = Pixel(g_PaintManager->GetColor(COLOR_3DSHADOW));
    // the bottom row first: odd x on row 0, even x on row 1
    EXPECT_EQ(coarse,
              (std::vector<DWORD>{Pixel(kOld), shadow, Pixel(kOld), shadow, shadow, Pixel(kOld), shadow, Pixel(kOld)}));
}

// ---- the screenshot ----

const int kShotWidth = 640, kShotHeight = 300;

struct MarkerGallery
{
    // one outer set for the arrows with their frames, a compass with the tab
    DockMarkerBase outer, compass;
    CompassWindows wnds;
    CExtDockMarkerWndArray outerWnds;

    MarkerGallery()
    {
        EXPECT_TRUE(outer.Create(false, 5, CRect(0, 0, 400, 300)));
        EXPECT_TRUE(compass.Create(false, 7, CRect(0, 0, 300, 300)));
        EXPECT_TRUE(g_PaintManager->CreateDockMarkerWindows(0, 5, CRect(0, 0, 400, 300), outerWnds));
        wnds.Compass()->m_hWndHoverPart = wnds.Part(2)->m_hWnd;
    }
    ~MarkerGallery() { CExtDynDockMarkerWnd::DestroyMarkers(outerWnds, false); }

    static void Blit(CDC& dc, int x, int y, const CBitmap& bmp, int cx, int cy)
    {
        CExtBitmapDC mem(static_cast<HBITMAP>(bmp.GetSafeHandle()), dc.m_hDC);
        CExtPaintManager::TransparentBltEmulated(dc.m_hDC, x, y, cx, cy, mem.m_hDC, 0, 0, cx, cy, kGreen);
    }
    // An arrow in its frame; hovered with the outer highlight.
    void PaintOuter(CDC& dc, int x, int y, int i, bool bHover)
    {
        const DockMarkerBase& m = *outer.m_arrChildren[i];
        Blit(dc, x, y, m.m_bmpFrame, m.m_cx, m.m_cy);
        BITMAP bm = {};
        ::GetObjectA(m.m_bmpNormal.GetSafeHandle(), sizeof(bm), &bm);
        Blit(dc, x + m.m_nImageOffsetX, y + m.m_nImageOffsetY, bHover ? m.m_bmpHover : m.m_bmpNormal, bm.bmWidth,
             bm.bmHeight);
        if (bHover)
        {
            dc.SetViewportOrg(x, y);
            g_PaintManager->PaintDockMarkerHighlight(dc, CRect(0, 0, m.m_cx, m.m_cy), m.m_nKind, true, outerWnds[i]);
            dc.SetViewportOrg(0, 0);
        }
    }
    void PaintPreview(CDC& dc, int x, int y, bool bTabShape)
    {
        const int cx = 140, cy = 100;
        COLORREF* pBits = nullptr;
        HBITMAP hPreview = CExtPaintManager::CreateDibSection32(cx, cy, &pBits);
        for (int i = 0; i < cx * cy; ++i)
            pBits[i] = (i / cx) % 20 < 10 ? 0x00FFFFFF : 0x00D0D0D0; // stripes to see through
        g_PaintManager->PaintDockingHighlight(pBits, cx, cy, bTabShape, false, CRect(0, 0, cx, bTabShape ? 80 : cy),
                                              CRect(10, 80, 60, 100), RGB(255, 0, 0), 0xFFFFFFFF, 3);
        {
            CExtBitmapDC mem(hPreview, dc.m_hDC);
            dc.BitBlt(x, y, cx, cy, &mem, 0, 0, SRCCOPY);
        }
        ::DeleteObject(hPreview);
    }
    void Paint(CDC& dc)
    {
        for (int i = 0; i < 4; ++i)
            for (int nHover = 0; nHover < 2; ++nHover)
                PaintOuter(dc, 10 + i * 40, 10 + nHover * 40, i, nHover != 0);
        // the compass and the tab target, plain and with highlighted parts
        for (int nState = 0; nState < 2; ++nState)
        {
            const int x = 180 + nState * 100, y = 10;
            // the arrows and the tab target where their windows sit over the centre
            const DockMarkerBase& centre = *compass.m_arrChildren[0];
            Blit(dc, x, y, centre.m_bmpNormal, 88, 88);
            for (INT_PTR i = 1; i < compass.m_arrChildren.GetSize(); ++i)
            {
                const DockMarkerBase& part = *compass.m_arrChildren[i];
                Blit(dc, x + part.m_rc.left - centre.m_rc.left, y + part.m_rc.top - centre.m_rc.top, part.m_bmpNormal,
                     part.m_cx, part.m_cy);
            }
            if (nState == 1)
            {
                dc.SetViewportOrg(x, y);
                wnds.Compass()->m_hWndHoverPart = wnds.Part(2)->m_hWnd;
                g_PaintManager->PaintDockMarkerHighlight(dc, CRect(0, 0, 88, 88), 4, false, wnds.Compass());
                wnds.Compass()->m_hWndHoverPart = wnds.Part(8)->m_hWnd;
                g_PaintManager->PaintDockMarkerHighlight(dc, CRect(0, 0, 88, 88), 4, false, wnds.Compass());
                dc.SetViewportOrg(0, 0);
            }
        }
        // plain arrows as the compass shows them
        for (int i = 1; i <= 4; ++i)
        {
            const DockMarkerBase& arrow = *compass.m_arrChildren[i];
            Blit(dc, 390 + (i - 1) * 32, 10, arrow.m_bmpNormal, arrow.m_cx, arrow.m_cy);
        }
        PaintPreview(dc, 10, 150, false);
        PaintPreview(dc, 170, 150, true);
    }
};

TEST_F(DockMarkerTest, EveryPictureInOneScreenshot)
{
    MarkerGallery gallery;
    kxtest::ToolkitPaintWindow wnd(kShotWidth, kShotHeight, "docking markers", RGB(170, 180, 190),
                                   [&gallery](CDC& dc) { gallery.Paint(dc); });
    ASSERT_NE(wnd.Hwnd(), nullptr);
    const kxgui::PixelBuffer shot = wnd.PaintAndCapture();
    ASSERT_FALSE(shot.IsEmpty());
    EXPECT_FALSE(kxgui::SaveArtifact(shot, "dock_markers.png").empty());
    // no key colour shows through, the hover highlight and the compass part do
    EXPECT_EQ(shot.CountColor(kGreen, CRect(0, 0, kShotWidth, kShotHeight)), 0);
    auto highlighted = [&shot](int x, int y, int cx, int cy)
    { return shot.CountColor(kHighlight, CRect(x, y, x + cx, y + cy)); };
    EXPECT_GE(highlighted(10, 50, 29, 31) - highlighted(10, 10, 29, 31), 29 + 31 + 31 - 2);
    EXPECT_GE(highlighted(280, 10, 88, 88) - highlighted(180, 10, 88, 88), 23 + 23 + 29 - 2);
}

} // namespace
