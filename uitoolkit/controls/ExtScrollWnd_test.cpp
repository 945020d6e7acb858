// A scrolling window with a bottom and a right CExtScrollBar: bars that
// follow the total size, wheel distances, Ctrl and Shift with the wheel,
// the bottom limit, and the picture with the empty corner in every theme.
#include "uitoolkit/controls/ExtScrollWnd.h"

#include "tests/gui/GuiHarness.h"
#include "uitoolkit/controls/ExtScrollBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const COLORREF kCellA = RGB(40, 90, 160), kCellB = RGB(230, 200, 80);

class CTestScrollWnd : public CExtScrollWnd
{
public:
    CExtScrollBar m_horz, m_vert;
    CSize m_sizeTotal{1000, 1000};
    CSize m_sizeLine{16, 16};
    CSize m_sizePage{40, 40};

    // Sized and shown once its bars exist, as a window with bars of its own
    // is laid out from its first real size on. Top-level without a parent.
    bool Create(const CRect& rcClient, CWnd* pParent = nullptr)
    {
        CRect rc = rcClient;
        const DWORD dwStyle = (pParent != nullptr ? WS_CHILD : WS_OVERLAPPEDWINDOW) | WS_CLIPCHILDREN;
        ::AdjustWindowRectEx(&rc, dwStyle, FALSE, 0);
        if (!CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), "scrolling", dwStyle,
                      CRect(0, 0, 0, 0), pParent, 0))
            return false;
        const CRect rcAny(0, 0, 10, 10);
        if (!m_horz.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, rcAny, this, 1) ||
            !m_vert.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, rcAny, this, 2))
            return false;
        SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_SHOWWINDOW);
        return true;
    }
    CScrollBar* GetScrollBarCtrl(int nBar) const override
    {
        CExtScrollBar* pBar = const_cast<CExtScrollBar*>(nBar == SB_HORZ ? &m_horz : &m_vert);
        return pBar->GetSafeHwnd() != nullptr ? pBar : nullptr;
    }
    CSize GetTotalSize() const override { return m_sizeTotal; }
    CSize GetLineSize(int) const override { return m_sizeLine; }
    CSize GetPageSize(int) const override { return m_sizePage; }
    // 50-pixel cells, so that the scroll position shows
    void PaintContent(CDC& dc) override
    {
        for (int y = 0; y < m_sizeTotal.cy; y += 50)
        {
            for (int x = 0; x < m_sizeTotal.cx; x += 50)
                dc.FillSolidRect(x, y, 50, 50, ((x + y) / 50) % 2 == 0 ? kCellA : kCellB);
        }
    }
};

class ExtScrollWndTest : public ::testing::Test
{
protected:
    CTestScrollWnd m_wnd;
    UINT m_nSavedLines = 0;
    bool m_bSavedCached = false;

    void SetUp() override
    {
        m_bSavedCached = g_PaintManager.WheelScrollLinesCached;
        m_nSavedLines = g_PaintManager.WheelScrollLines;
        g_PaintManager.WheelScrollLinesCached = true;
        g_PaintManager.WheelScrollLines = 3;
        ASSERT_TRUE(m_wnd.Create(CRect(60, 60, 360, 260)));
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        m_wnd.DestroyWindow();
        g_PaintManager.WheelScrollLinesCached = m_bSavedCached;
        g_PaintManager.WheelScrollLines = m_nSavedLines;
    }
    void Wheel(short zDelta, UINT nKeys = 0)
    {
        CRect rc;
        m_wnd.GetWindowRect(&rc);
        m_wnd.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(nKeys, zDelta), MAKELPARAM(rc.CenterPoint().x, rc.CenterPoint().y));
    }
};

TEST_F(ExtScrollWndTest, BarsFollowTheTotalSize)
{
    EXPECT_TRUE(m_wnd.m_horz.IsWindowVisible());
    EXPECT_TRUE(m_wnd.m_vert.IsWindowVisible());
    const int nHorz = ::GetSystemMetrics(SM_CYHSCROLL), nVert = ::GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(m_wnd.GetScrollClientRect(), CRect(0, 0, 300 - nVert, 200 - nHorz));
    m_wnd.ScrollToPosition(120, 70);
    EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(120, 70));

    m_wnd.m_sizeTotal = CSize(100, 80);
    m_wnd.UpdateScrollBars();
    EXPECT_FALSE(m_wnd.m_horz.IsWindowVisible());
    EXPECT_FALSE(m_wnd.m_vert.IsWindowVisible());
    EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(0, 0));
    EXPECT_EQ(m_wnd.GetScrollClientRect(), CRect(0, 0, 300, 200));

    // taller only: just the vertical bar, over the whole height
    m_wnd.m_sizeTotal = CSize(100, 500);
    m_wnd.UpdateScrollBars();
    EXPECT_FALSE(m_wnd.m_horz.IsWindowVisible());
    EXPECT_TRUE(m_wnd.m_vert.IsWindowVisible());
    CRect rcVert;
    m_wnd.m_vert.GetWindowRect(&rcVert);
    m_wnd.ScreenToClient(&rcVert);
    EXPECT_EQ(rcVert, CRect(300 - nVert, 0, 300, 200));
}

TEST_F(ExtScrollWndTest, WheelScrollsLinesUpToAPage)
{
    const struct
    {
        int nLine;
        int nDistance;
    } kCases[] = {{16, 40}, {10, 30}};
    for (const auto& c : kCases)
    {
        m_wnd.m_sizeLine = CSize(c.nLine, c.nLine);
        m_wnd.ScrollToPosition(0, 100);
        Wheel(-WHEEL_DELTA);
        EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(0, 100 + c.nDistance)) << c.nLine;
        Wheel(WHEEL_DELTA);
        EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(0, 100)) << c.nLine;
    }
}

TEST_F(ExtScrollWndTest, CtrlWheelDoesNothingShiftWheelScrollsSideways)
{
    m_wnd.ScrollToPosition(100, 100);
    Wheel(-WHEEL_DELTA, MK_CONTROL);
    EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(100, 100));
    Wheel(-WHEEL_DELTA, MK_SHIFT);
    EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(140, 100));
    Wheel(WHEEL_DELTA, MK_SHIFT);
    EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(100, 100));
}

TEST_F(ExtScrollWndTest, ScrollCodesStopAtTheLimit)
{
    const CRect rcClient = m_wnd.GetScrollClientRect();
    m_wnd.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), reinterpret_cast<LPARAM>(m_wnd.m_vert.m_hWnd));
    EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(0, 1000 - rcClient.Height()));
    EXPECT_EQ(m_wnd.GetScrollLimit(SB_VERT), 1000 - rcClient.Height());
    m_wnd.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), reinterpret_cast<LPARAM>(m_wnd.m_vert.m_hWnd));
    EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(0, 1000 - rcClient.Height()));
    m_wnd.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), reinterpret_cast<LPARAM>(m_wnd.m_horz.m_hWnd));
    EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(40, 1000 - rcClient.Height()));
    m_wnd.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), reinterpret_cast<LPARAM>(m_wnd.m_vert.m_hWnd));
    EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(40, 0));
    // the window's own bar is not the control: the message is not for it
    m_wnd.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    EXPECT_EQ(m_wnd.GetScrollPosition(), CPoint(40, 0));
}

TEST_F(ExtScrollWndTest, WheelOverTheWindowScrollsItWhateverHasTheFocus)
{
    // a pane of a frame whose other child has the focus
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                               CRect(400, 60, 800, 360), nullptr, 0));
    CTestScrollWnd pane;
    ASSERT_TRUE(pane.Create(CRect(0, 0, 300, 200), &frame));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(310, 0, 390, 20), &frame, 3));
    kxgui::Activate(frame.m_hWnd);
    edit.SetFocus();
    kxgui::PumpUntilIdle();

    CRect rc = pane.GetScrollClientRect();
    pane.ClientToScreen(&rc);
    MSG msg = {};
    msg.hwnd = edit.m_hWnd;
    msg.message = WM_MOUSEWHEEL;
    msg.wParam = MAKEWPARAM(0, -WHEEL_DELTA);
    msg.lParam = MAKELPARAM(rc.CenterPoint().x, rc.CenterPoint().y);
    EXPECT_TRUE(pane.PreTranslateMessage(&msg));
    EXPECT_EQ(pane.GetScrollPosition(), CPoint(0, 40));

    // over the edit: left to others
    CRect rcEdit;
    edit.GetWindowRect(&rcEdit);
    msg.lParam = MAKELPARAM(rcEdit.CenterPoint().x, rcEdit.CenterPoint().y);
    EXPECT_FALSE(pane.PreTranslateMessage(&msg));
    EXPECT_EQ(pane.GetScrollPosition(), CPoint(0, 40));
    frame.DestroyWindow();
}

class ExtScrollWndGallery : public ::testing::TestWithParam<int>
{
protected:
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }
};

TEST_P(ExtScrollWndGallery, BothBarsAndTheEmptyCorner)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(GetParam())));
    CTestScrollWnd wnd;
    ASSERT_TRUE(wnd.Create(CRect(60, 60, 360, 260)));
    wnd.ScrollToPosition(25, 25);
    kxgui::Activate(wnd.m_hWnd);
    wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(wnd.m_hWnd);
    ASSERT_FALSE(shot.IsEmpty());
    EXPECT_FALSE(kxgui::SaveArtifact(shot, std::string("scroll-wnd-") + ExtTestThemeName(GetParam()) + ".png").empty());
    const int nHorz = ::GetSystemMetrics(SM_CYHSCROLL), nVert = ::GetSystemMetrics(SM_CXVSCROLL);
    // scrolled by half a cell: the first cell shows only its last 25 pixels
    EXPECT_EQ(shot.At(10, 10), kCellA);
    EXPECT_EQ(shot.At(30, 10), kCellB);
    // no bar covers the corner: the surface shows through it
    const CRect rcCorner(300 - nVert, 200 - nHorz, 300, 200);
    EXPECT_EQ(wnd.ChildWindowFromPoint(rcCorner.CenterPoint())->GetSafeHwnd(), wnd.m_hWnd);
    EXPECT_EQ(shot.CountColor(kCellA, rcCorner) + shot.CountColor(kCellB, rcCorner), nVert * nHorz);
    wnd.DestroyWindow();
}

INSTANTIATE_TEST_SUITE_P(Themes, ExtScrollWndGallery, ::testing::Range(0, kExtTestThemeCount));

} // namespace
