// Frame-wide, dock-bar, tool-bar and inherited backgrounds over real frames
// with docked and floating tool bars; the bar metrics that read the bars'
// state; and a gallery of this theme part per theme, saved as pictures.
#include "uitoolkit/bars/ExtStatusControlBar.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include "framework/win/Controls.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/FakeLunaStyle.h"

#include "tests/support/PaintingParent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace
{

const COLORREF kBack = RGB(1, 2, 3);

// A strong face colour, so that the gradients' ends lie far apart.
COLORREF StrongSysColor(int n)
{
    switch (n)
    {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_3DFACE: return RGB(120, 150, 210);
    case COLOR_3DSHADOW: return RGB(60, 80, 120);
    default: return ::GetSysColor(n);
    }
}

// The colour i steps of n from a towards b.
COLORREF Along(COLORREF a, COLORREF b, int i, int n)
{
    auto mix = [&](int ca, int cb) { return ca + (cb - ca) * i / n; };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

bool Near(COLORREF a, COLORREF b, int nTolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= nTolerance && std::abs(GetGValue(a) - GetGValue(b)) <= nTolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= nTolerance;
}

// A tool bar whose background is the theme's.
template <class TBase>
class CTestBar : public TBase
{
public:
    BOOL Create(CWnd* pParent, UINT nID, DWORD dwBarStyle)
    {
        this->m_dwStyle = dwBarStyle;
        return this->CreateEx(0, AfxRegisterWndClass(0), "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), pParent, nID);
    }
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? CSize(200, 26) : CSize(26, 120); }
    void AddButton(const CRect& rc)
    {
        auto* pButton = new CExtBarButton(this);
        pButton->m_rc = rc;
        this->m_arrButtons.Add(pButton);
    }
    void DoPaint(CDC* pDC) override
    {
        CRect rc;
        this->GetClientRect(&rc);
        g_PaintManager->PaintToolBarBackground(*pDC, rc, this, 0);
    }
};
typedef CTestBar<CExtToolControlBar> CTestToolBar;
typedef CTestBar<CExtMenuControlBar> CTestMenuBar;

// An outer dock bar that shows its slice of the frame's background.
class CTestDockBar : public CExtDockOuterBar
{
    DECLARE_DYNCREATE(CTestDockBar)
public:
    void DoPaint(CDC* pDC) override
    {
        CRect rc;
        GetClientRect(&rc);
        g_PaintManager->PaintDockBarClientArea(*pDC, rc, this, 0);
    }
};
IMPLEMENT_DYNCREATE(CTestDockBar, CExtDockOuterBar)

// The frame's client area: what lies under it is the frame's background.
class CTestView : public CWnd
{
protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC)
    {
        // a theme that leaves it to the window gets the face colour
        CRect rc;
        GetClientRect(&rc);
        if (!g_PaintManager->PaintInheritedBackground(true, *pDC, this, 0))
            pDC->FillSolidRect(&rc, g_PaintManager->GetColor(CExtPaintManager::TC_FACE_NORMAL));
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestView, CWnd)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

const UINT kIdMenu = AFX_IDW_CONTROLBAR_FIRST + 40, kIdTop = kIdMenu + 1, kIdLeft = kIdMenu + 2, kIdFloat = kIdMenu + 3;

// A frame whose dock sites hold a menu bar and two tool bars, and a third
// bar the tests may float.
class CDockFrame : public CFrameWnd
{
public:
    CTestMenuBar m_menu;
    CTestToolBar m_top, m_left, m_float;
    CTestView m_view;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        m_pFloatingFrameClass = RUNTIME_CLASS(CExtMiniDockFrameWnd);
        m_pDockBarClass = RUNTIME_CLASS(CTestDockBar);
        EnableDocking(CBRS_ALIGN_ANY);
        struct
        {
            CExtToolControlBar* pBar;
            UINT nID, nDockBar;
        } bars[] = {{&m_menu, kIdMenu, AFX_IDW_DOCKBAR_TOP},
                    {&m_top, kIdTop, AFX_IDW_DOCKBAR_TOP},
                    {&m_left, kIdLeft, AFX_IDW_DOCKBAR_LEFT},
                    {&m_float, kIdFloat, AFX_IDW_DOCKBAR_TOP}};
        for (const auto& b : bars)
        {
            const bool bCreated = b.pBar == &m_menu ? m_menu.Create(this, b.nID, CBRS_TOP)
                                                    : static_cast<CTestToolBar*>(b.pBar)->Create(this, b.nID, CBRS_TOP);
            if (!bCreated)
                return -1;
            b.pBar->EnableDocking(CBRS_ALIGN_ANY);
            DockControlBar(b.pBar, b.nDockBar);
        }
        if (!m_view.CreateEx(0, AfxRegisterWndClass(0), "view", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), this,
                             AFX_IDW_PANE_FIRST))
            return -1;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDockFrame, CFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

class Backgrounds : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        ExtTestHooks().nScreenBitsPerPixel = 32;
        ExtTestHooks().pfnSysColor = StrongSysColor;
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerOffice2003));
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        if (m_pFrame != nullptr)
            m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
        ExtTestHooks() = ExtPaintTestHooks();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    CDockFrame* MakeFrame(int cx = 700, int cy = 400)
    {
        auto* pFrame = new CDockFrame;
        EXPECT_TRUE(pFrame->Create(nullptr, "backgrounds", WS_OVERLAPPEDWINDOW, CRect(0, 0, cx, cy)));
        pFrame->ShowWindow(SW_SHOW);
        pFrame->RecalcLayout();
        m_app.m_pMainWnd = pFrame;
        m_pFrame = pFrame;
        kxgui::PumpUntilIdle();
        return pFrame;
    }
    static COLORREF C(int nIndex) { return g_PaintManager->GetColor(nIndex); }

    CWinApp m_app{"Kestrelux"};
    CFrameWnd* m_pFrame = nullptr;
};

// Paints through fn into a canvas of the window's client size.
template <class Fn>
kxgui::PixelBuffer PaintInto(CWnd& wnd, Fn fn, bool bRightToLeft = false)
{
    CRect rc;
    wnd.GetClientRect(&rc);
    kxgui::DibCanvas canvas(rc.Width(), rc.Height(), kBack);
    CDC dc;
    dc.Attach(canvas.Dc());
    if (bRightToLeft)
        dc.SetLayout(LAYOUT_RTL);
    fn(dc, rc);
    dc.Detach();
    return canvas.Pixels();
}

TEST_F(Backgrounds, FrameGradientOver686Pixels)
{
    const COLORREF dark = C(CExtPaintManager::TC_2003_BACK_DARK), light = C(CExtPaintManager::TC_2003_BACK_LIGHT);
    ASSERT_FALSE(Near(dark, light, 10));
    struct Case
    {
        int nWidth;
        bool bRightToLeft;
    } cases[] = {{1000, false}, {500, false}, {1000, true}};
    for (const Case& k : cases)
    {
        kxgui::DibCanvas canvas(k.nWidth, 4, kBack);
        CDC dc;
        dc.Attach(canvas.Dc());
        if (k.bRightToLeft)
            dc.SetLayout(LAYOUT_RTL);
        EXPECT_TRUE(g_PaintManager->PaintFrameBackground(true, dc, CRect(0, 0, k.nWidth, 4), CRect(), 0));
        dc.Detach();
        const kxgui::PixelBuffer px = canvas.Pixels();
        if (k.bRightToLeft)
        {
            // mirrored: the flat band at the left, the gradient ending in the
            // dark colour at the right edge (the platform may leave the very
            // last column of a mirrored context alone)
            EXPECT_EQ(px.At(0, 2), light);
            EXPECT_EQ(px.At(1000 - 687, 2), light);
            EXPECT_FALSE(Near(px.At(1000 - 343, 2), light, 4));
            EXPECT_TRUE(Near(px.At(1000 - 2, 2), dark, 3));
            continue;
        }
        EXPECT_TRUE(Near(px.At(0, 2), dark, 2)) << k.nWidth;
        if (k.nWidth == 1000)
        {
            EXPECT_TRUE(Near(px.At(685, 2), light, 4));
            EXPECT_FALSE(Near(px.At(342, 2), light, 4));
            EXPECT_EQ(px.At(686, 2), light);
            EXPECT_EQ(px.At(999, 2), light);
        }
        else
            EXPECT_TRUE(Near(px.At(499, 2), light, 4));
    }
    // classic: a flat fill
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    kxgui::DibCanvas canvas(50, 4, kBack);
    CDC dc;
    dc.Attach(canvas.Dc());
    g_PaintManager->PaintFrameBackground(true, dc, CRect(0, 0, 50, 4), CRect(), 0);
    dc.Detach();
    EXPECT_EQ(canvas.Pixels().CountColor(C(1000), CRect(0, 0, 50, 4)), 200);
}

TEST_F(Backgrounds, DockedToolBarGradientAndDockBarSlice)
{
    CDockFrame* pFrame = MakeFrame();
    ASSERT_NE(pFrame->m_top.m_pDockBar, nullptr);
    ASSERT_EQ(pFrame->m_top.m_pDockSite, pFrame);
    ASSERT_TRUE(pFrame->m_top.IsDockedHorizontally());

    // top to bottom from the tool-bar light to the dark colour
    const COLORREF light = C(CExtPaintManager::TC_2003_TOOLBAR_LIGHT), dark = C(CExtPaintManager::TC_2003_TOOLBAR_DARK);
    kxgui::PixelBuffer px = PaintInto(pFrame->m_top, [&](CDC& dc, const CRect& rc)
                                      { g_PaintManager->PaintToolBarBackground(dc, rc, &pFrame->m_top, 0); });
    EXPECT_TRUE(Near(px.At(100, 0), light, 3));
    // the rounded clip leaves the last rows to the frame's background
    EXPECT_TRUE(Near(px.At(100, px.height - 3), Along(light, dark, px.height - 3, px.height), 4));
    // the rounded corner shows the frame's background under the bar
    EXPECT_FALSE(Near(px.At(px.width - 1, 0), light, 3));
    EXPECT_NE(px.At(px.width - 1, 0), kBack);

    // a vertically docked bar runs left to right
    px = PaintInto(pFrame->m_left, [&](CDC& dc, const CRect& rc)
                   { g_PaintManager->PaintToolBarBackground(dc, rc, &pFrame->m_left, 0); });
    EXPECT_TRUE(Near(px.At(0, 60), light, 3));
    EXPECT_TRUE(Near(px.At(px.width - 3, 60), Along(light, dark, px.width - 3, px.width), 4));

    // the left dock bar starts where the frame's gradient starts
    CWnd* pDockLeft = pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT);
    ASSERT_NE(pDockLeft, nullptr);
    px = PaintInto(*pDockLeft, [&](CDC& dc, const CRect& rc)
                   { EXPECT_TRUE(g_PaintManager->PaintDockBarClientArea(dc, rc, pDockLeft, 0)); });
    EXPECT_TRUE(Near(px.At(0, 10), C(CExtPaintManager::TC_2003_BACK_DARK), 2));

    // at 8 bits the classic flat fills
    ExtTestHooks().nScreenBitsPerPixel = 8;
    g_PaintManager->OnSysColorChange();
    px = PaintInto(pFrame->m_top, [&](CDC& dc, const CRect& rc)
                   { g_PaintManager->PaintToolBarBackground(dc, rc, &pFrame->m_top, 0); });
    EXPECT_EQ(px.CountColor(C(1000), CRect(0, 0, px.width, px.height)), px.width * px.height);
    px = PaintInto(*pDockLeft,
                   [&](CDC& dc, const CRect& rc) { g_PaintManager->PaintDockBarClientArea(dc, rc, pDockLeft, 0); });
    EXPECT_EQ(px.At(0, 10), C(COLOR_3DFACE));
}

TEST_F(Backgrounds, FloatingBarAndTheControlsOnIt)
{
    CDockFrame* pFrame = MakeFrame();
    pFrame->FloatControlBar(&pFrame->m_float, CPoint(300, 300));
    kxgui::PumpUntilIdle();
    CTestToolBar& bar = pFrame->m_float;
    ASSERT_TRUE(bar.IsFloating());
    ASSERT_NE(bar.m_pDockBar, nullptr);

    EXPECT_EQ(g_PaintManager->GetToolBarRowGap(&bar), 0);
    EXPECT_EQ(g_PaintManager->GetToolBarRowGap(&pFrame->m_top), 6);
    EXPECT_TRUE(g_PaintManager->HasToolBarRowBackground(&bar));
    EXPECT_FALSE(g_PaintManager->HasToolBarRowBackground(&pFrame->m_top));
    EXPECT_FALSE(g_PaintManager->HasToolBarRowBackground(&pFrame->m_menu));
    bar.m_nToolBarOptions |= CExtToolControlBar::TbOptXpExpandButton;
    EXPECT_EQ(g_PaintManager->GetToolBarRowGap(&bar), 6);
    EXPECT_FALSE(g_PaintManager->HasToolBarRowBackground(&bar));
    bar.m_nToolBarOptions &= ~CExtToolControlBar::TbOptXpExpandButton;

    // a control on the floating bar shows the bar's vertical gradient,
    // its colours exchanged in a right-to-left context
    CWnd control;
    CRect rcBar;
    bar.GetClientRect(&rcBar);
    ASSERT_TRUE(control.CreateEx(0, AfxRegisterWndClass(0), "control", WS_CHILD | WS_VISIBLE, rcBar, &bar, 1));
    const COLORREF top = C(CExtPaintManager::TC_2003_BACK_LIGHT), bottom = C(CExtPaintManager::TC_2003_BACK_DARK);
    for (bool bRightToLeft : {false, true})
    {
        const kxgui::PixelBuffer px = PaintInto(
            control,
            [&](CDC& dc, const CRect&)
            { EXPECT_TRUE(g_PaintManager->PaintInheritedBackground(true, dc, &control, 0)); },
            bRightToLeft);
        EXPECT_TRUE(Near(px.At(5, 0), bRightToLeft ? bottom : top, 3)) << bRightToLeft;
        EXPECT_TRUE(Near(px.At(5, px.height - 1), bRightToLeft ? top : bottom, 12)) << bRightToLeft;
    }
    control.DestroyWindow();

    // classic: the window's face; XP: nothing without ancestors that paint
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    kxgui::PixelBuffer px = PaintInto(bar, [&](CDC& dc, const CRect&)
                                      { EXPECT_TRUE(g_PaintManager->PaintInheritedBackground(true, dc, &bar, 0)); });
    EXPECT_EQ(px.At(3, 3), C(1000));
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerXP));
    px = PaintInto(bar, [&](CDC& dc, const CRect&)
                   { EXPECT_FALSE(g_PaintManager->PaintInheritedBackground(true, dc, &bar, 0)); });
    EXPECT_EQ(px.At(3, 3), kBack);
}

TEST_F(Backgrounds, ControlOnADockedBarContinuesItsRow)
{
    CDockFrame* pFrame = MakeFrame();
    pFrame->m_top.AddButton(CRect(2, 2, 60, 24));
    CWnd control;
    ASSERT_TRUE(control.CreateEx(0, AfxRegisterWndClass(0), "control", WS_CHILD | WS_VISIBLE, CRect(10, 5, 40, 20),
                                 &pFrame->m_top, 1));
    const kxgui::PixelBuffer px =
        PaintInto(control, [&](CDC& dc, const CRect&)
                  { EXPECT_TRUE(g_PaintManager->PaintInheritedBackground(true, dc, &control, 0)); });
    // the row runs from y = 2 to 24 of the bar; the control from 5 to 20
    const COLORREF top = C(CExtPaintManager::TC_2003_ROW_LIGHT), bottom = C(CExtPaintManager::TC_2003_TOOLBAR_DARK);
    EXPECT_TRUE(Near(px.At(5, 0), Along(top, bottom, 3, 22), 6));
    EXPECT_TRUE(Near(px.At(5, 14), Along(top, bottom, 17, 22), 6));
    EXPECT_EQ(px.At(0, 7), px.At(29, 7));
    control.DestroyWindow();
}

TEST_F(Backgrounds, BarStateQueries)
{
    CDockFrame* pFrame = MakeFrame();
    // a bar button follows the direction of its bar's dock site
    CExtBarButton button(&pFrame->m_top);
    CExtPaintManager::PushButtonParams p(&button, true, CRect(0, 0, 10, 10), "", nullptr, false, false, false, false,
                                         true, false, false, false, 0);
    EXPECT_FALSE(p.IsRightToLeft());
    ::SetWindowLongPtrA(pFrame->m_hWnd, GWL_EXSTYLE,
                        ::GetWindowLongPtrA(pFrame->m_hWnd, GWL_EXSTYLE) | WS_EX_LAYOUTRTL);
    EXPECT_TRUE(p.IsRightToLeft());
    ::SetWindowLongPtrA(pFrame->m_hWnd, GWL_EXSTYLE,
                        ::GetWindowLongPtrA(pFrame->m_hWnd, GWL_EXSTYLE) & ~WS_EX_LAYOUTRTL);

    // the client rectangle inside the bar's non-client frame
    struct Case
    {
        CRuntimeClass* pTheme;
        int nBits;
        CExtControlBar* pBar;
        CRect rcExpected;
    } cases[] = {
        {RUNTIME_CLASS(CExtPaintManager), 32, &pFrame->m_top, CRect(3, 1, 97, 29)},
        {RUNTIME_CLASS(CExtPaintManager), 32, &pFrame->m_left, CRect(1, 3, 99, 27)},
        {RUNTIME_CLASS(CExtPaintManagerOffice2003), 32, &pFrame->m_top, CRect(0, 0, 100, 30)},
        {RUNTIME_CLASS(CExtPaintManagerOffice2003), 8, &pFrame->m_top, CRect(1, 1, 99, 29)},
        {RUNTIME_CLASS(CExtPaintManagerOffice2003), 8, &pFrame->m_left, CRect(1, 1, 99, 29)},
    };
    for (const Case& k : cases)
    {
        ExtTestHooks().nScreenBitsPerPixel = k.nBits;
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(static_cast<CExtPaintManager*>(k.pTheme->CreateObject())));
        CRect rc(0, 0, 100, 30);
        g_PaintManager->AdjustBarClientRect(k.pBar, &rc);
        EXPECT_EQ(rc, k.rcExpected) << k.pTheme->m_lpszClassName << " " << k.nBits;
    }
}

TEST_F(Backgrounds, Office2003EditAndComboShowTheirParentsBackground)
{
    CDockFrame* pFrame = MakeFrame();
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(20, 20, 120, 44), &pFrame->m_view, 1));
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(20, 60, 140, 200), &pFrame->m_view, 2));
    const COLORREF window = C(COLOR_WINDOW);

    // outside the frame grown by two the edit shows the frame's background
    kxgui::PixelBuffer px =
        PaintInto(edit,
                  [&](CDC& dc, const CRect&)
                  {
                      CExtPaintManager::ControlFrameParams p(&edit, CRect(10, 8, 60, 16), false, false, true, false);
                      g_PaintManager->PaintControlFrame(dc, p);
                  });
    EXPECT_EQ(px.At(9, 12), window);
    EXPECT_EQ(px.At(8, 12), window);
    EXPECT_NE(px.At(7, 12), kBack);
    EXPECT_NE(px.At(7, 12), window);
    EXPECT_NE(px.At(0, 0), kBack);
    EXPECT_EQ(px.At(30, 12), kBack);

    // the combo's frame ring and button column only; its inside stays
    px = PaintInto(combo,
                   [&](CDC& dc, const CRect& rc)
                   {
                       CExtPaintManager::ComboFrameParams p(&combo, rc, false, false, true);
                       g_PaintManager->PaintComboFrame(dc, p);
                   });
    EXPECT_EQ(px.At(1, px.height / 2), window);
    EXPECT_NE(px.At(0, px.height / 2), kBack);
    EXPECT_EQ(px.At(10, px.height / 2), kBack);
    edit.DestroyWindow();
    combo.DestroyWindow();
}

using kxtest::CPaintingParent;

TEST_F(Backgrounds, AncestorsPaintWhenTheOptionIsOn)
{
    CDockFrame* pFrame = MakeFrame();
    CPaintingParent parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100),
                                &pFrame->m_view, 1));
    CWnd child;
    ASSERT_TRUE(
        child.CreateEx(0, AfxRegisterWndClass(0), "child", WS_CHILD | WS_VISIBLE, CRect(10, 10, 30, 30), &parent, 2));
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    EXPECT_FALSE(g_PaintManager->IsInheritedBackgroundUsed(&child, 0));
    kxgui::PixelBuffer px =
        PaintInto(child, [&](CDC& dc, const CRect&) { g_PaintManager->PaintInheritedBackground(true, dc, &child, 0); });
    EXPECT_EQ(px.At(5, 5), C(1000));
    g_PaintManager->ThemeOptions.InheritedBackground = true;
    px = PaintInto(child, [&](CDC& dc, const CRect&)
                   { EXPECT_TRUE(g_PaintManager->PaintBackgroundByAncestors(true, dc, &child, 0)); });
    EXPECT_EQ(px.At(5, 5), RGB(0, 200, 0));
    child.DestroyWindow();
    parent.DestroyWindow();
}

// ---- the gallery ----

// Push buttons, edit and combo frames, a menu border with its combined
// area and status-bar items of the installed theme.
LRESULT CALLBACK GalleryProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(hWnd, &ps);
    CDC target;
    target.Attach(hdc);
    CRect rcClient;
    ::GetClientRect(hWnd, &rcClient);
    {
        CExtMemoryDC dc(&target, &rcClient);
        CExtPaintManager* pm = g_PaintManager.GetPM();
        dc.FillSolidRect(&rcClient, pm->GetColor(CExtPaintManager::TC_FACE_NORMAL));
        struct
        {
            const char* pszText;
            bool bHover, bPushed, bEnabled, bDropDown, bSplit;
        } buttons[] = {
            {"Normal", false, false, true, false, false}, {"Hover", true, false, true, false, false},
            {"Pushed", true, true, true, false, false},   {"Disabled", false, false, false, false, false},
            {"Drop", false, false, true, true, false},    {"Split", true, false, true, true, true},
        };
        int x = 8;
        for (const auto& b : buttons)
        {
            for (bool bFlat : {false, true})
            {
                CExtPaintManager::PushButtonParams p(nullptr, true, CRect(x, bFlat ? 44 : 8, x + 84, bFlat ? 68 : 32),
                                                     b.pszText, nullptr, bFlat, b.bHover, b.bPushed, false, b.bEnabled,
                                                     true, false, false, 5, nullptr, b.bDropDown);
                p.SeparateDropDown = b.bSplit;
                pm->PaintPushButton(dc, p);
            }
            x += 92;
        }
        CExtPaintManager::PushButtonParams vert(nullptr, false, CRect(560, 80, 584, 170), "&Vertical", nullptr, false,
                                                true, false, false, true, true, false, false, 5, nullptr, true);
        pm->PaintPushButton(dc, vert);

        for (int i = 0; i < 3; ++i)
        {
            CExtPaintManager::ControlFrameParams edit(nullptr, CRect(16 + i * 120, 90, 116 + i * 120, 110), false,
                                                      i >= 1, true, i == 2);
            pm->PaintControlFrame(dc, edit);
            dc.FillSolidRect(&edit.FrameRect, pm->GetColor(COLOR_WINDOW));
            CExtPaintManager::ComboFrameParams combo(nullptr, CRect(16 + i * 120, 126, 116 + i * 120, 148), i == 1,
                                                     i == 2, true);
            dc.FillSolidRect(CRect(18 + i * 120, 128, 100 + i * 120, 146), pm->GetColor(COLOR_WINDOW));
            pm->PaintComboFrame(dc, combo);
        }

        const CRect rcMenu(16, 190, 196, 290), rcButton(16, 170, 96, 190);
        CExtPaintManager::PushButtonParams opener(nullptr, true, rcButton, "File", nullptr, true, false, true, false,
                                                  true, true, false, false, 5);
        pm->PaintPushButton(dc, opener);
        pm->PaintMenuBorder(dc, rcMenu, nullptr, 0);
        pm->PaintMenuCombinedArea(dc, CRect(rcMenu.left, rcMenu.top, rcButton.right, rcMenu.top + 4), rcButton, 2,
                                  nullptr, 0);

        const CRect rcStatus(230, 250, 540, 274);
        CExtPaintManager::StatusBarItemParams bar(nullptr, CExtPaintManager::StatusBarItemParams::KindBarBorders,
                                                  CBRS_BORDER_TOP | CBRS_BORDER_3D, CRect(0, 0, 310, 24));
        const CPoint ptOld = dc.SetViewportOrg(rcStatus.left, rcStatus.top);
        pm->PaintStatusBarItem(dc, bar);
        for (int i = 0; i < 3; ++i)
        {
            CExtPaintManager::StatusBarItemParams pane(nullptr, CExtPaintManager::StatusBarItemParams::KindPane, 0,
                                                       CRect(4 + i * 100, 4, 98 + i * 100, 22));
            pm->PaintStatusBarItem(dc, pane);
        }
        dc.SetViewportOrg(ptOld);
    }
    target.Detach();
    ::EndPaint(hWnd, &ps);
    return 0;
}

TEST_F(Backgrounds, GalleryPerTheme)
{
    ExtTestHooks().pfnSysColor = nullptr;
    CDockFrame* pFrame = MakeFrame(600, 300);
    HWND hGallery = kxgui::CreateTestWindow(600, 300, "gallery", GalleryProc);
    ASSERT_NE(hGallery, nullptr);
    struct
    {
        CRuntimeClass* pClass;
        bool bLuna;
        const char* pszFile;
    } themes[] = {
        {RUNTIME_CLASS(CExtPaintManager), false, "theme_gallery_classic.png"},
        {RUNTIME_CLASS(CExtPaintManagerXP), false, "theme_gallery_xp.png"},
        {RUNTIME_CLASS(CExtPaintManagerOffice2003), true, "theme_gallery_office2003_blue.png"},
    };
    for (const auto& t : themes)
    {
        std::unique_ptr<kxtest::FakeLunaStyle> luna;
        if (t.bLuna)
            luna = std::make_unique<kxtest::FakeLunaStyle>();
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(static_cast<CExtPaintManager*>(t.pClass->CreateObject())));
        for (HWND h : {hGallery, pFrame->m_hWnd})
        {
            ::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
            ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        }
        ::SetWindowPos(hGallery, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer gallery = kxgui::CaptureScreen(hGallery);
        ::SetWindowPos(pFrame->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer frame = kxgui::CaptureScreen(pFrame->m_hWnd);
        ASSERT_FALSE(gallery.IsEmpty());
        ASSERT_FALSE(frame.IsEmpty());
        // the gallery above the frame in one picture
        kxgui::PixelBuffer all;
        all.width = std::max(gallery.width, frame.width);
        all.height = gallery.height + frame.height;
        all.pixels.assign(static_cast<size_t>(all.width) * all.height, 0xFFFFFF);
        for (int y = 0; y < gallery.height; ++y)
            for (int x = 0; x < gallery.width; ++x)
                all.pixels[static_cast<size_t>(y) * all.width + x] =
                    gallery.pixels[static_cast<size_t>(y) * gallery.width + x];
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x)
                all.pixels[static_cast<size_t>(gallery.height + y) * all.width + x] =
                    frame.pixels[static_cast<size_t>(y) * frame.width + x];
        EXPECT_FALSE(kxgui::SaveArtifact(all, t.pszFile).empty());
        // the top tool bar paints its own piece of the picture
        CRect rcTop;
        pFrame->m_top.GetWindowRect(&rcTop);
        CPoint pt(rcTop.left + 60, rcTop.top + 1);
        pFrame->ScreenToClient(&pt);
        if (t.bLuna)
            EXPECT_NE(frame.At(pt.x, pt.y), g_PaintManager->GetColor(1000) & 0xFFFFFF);
        else
            EXPECT_EQ(frame.At(pt.x, pt.y), g_PaintManager->GetColor(1000) & 0xFFFFFF);
    }
    ::DestroyWindow(hGallery);
}

} // namespace
