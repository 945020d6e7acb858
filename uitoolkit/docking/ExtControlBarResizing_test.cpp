// Row and in-row resizing with real input: the splitter strips move the
// rows and shares, never past a neighbour's minimum, and Esc applies nothing;
// a press on a strip gives the pane the focus unless it resizes the row.
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include <gtest/gtest.h>

namespace
{

const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 74;

class ExtControlBarResizingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 900, 700)));
        kxgui::Activate(m_frame.m_hWnd);
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        for (int i = 0; i < 2; ++i)
        {
            ASSERT_TRUE(m_panes[i].Create("Pane", &m_frame, kIdPane + i, WS_CHILD | WS_VISIBLE | CBRS_TOP));
            m_panes[i].EnableDocking(CBRS_ALIGN_ANY);
            m_panes[i].m_sizeDockedH = CSize(400, 150);
        }
        m_pTop = static_cast<CExtDockBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP))->GetCircleDockBar(1);
    }
    void TearDown() override
    {
        m_frame.DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    // A point of a bar's strip (window coordinates) in the frame's client area.
    POINT StripPoint(CExtControlBar& bar, const CRect& rcStrip, int dx, int dy)
    {
        CRect rcWindow;
        bar.GetWindowRect(&rcWindow);
        CPoint pt = rcWindow.TopLeft() + rcStrip.CenterPoint() + CSize(dx, dy);
        m_frame.ScreenToClient(&pt);
        return pt;
    }
    // Presses on the strip, moves by (dx, dy), optionally presses Esc, and
    // releases; returns when the tracking loop is over.
    void DragStrip(CExtControlBar& bar, const CRect& rcStrip, int dx, int dy, bool bEscape)
    {
        kxgui::InputScript input;
        input.MoveTo(m_frame.m_hWnd, StripPoint(bar, rcStrip, 0, 0))
            .ButtonDown()
            .MoveTo(m_frame.m_hWnd, StripPoint(bar, rcStrip, dx / 2, dy / 2))
            .MoveTo(m_frame.m_hWnd, StripPoint(bar, rcStrip, dx, dy));
        if (bEscape)
            input.Key(VK_ESCAPE);
        input.ButtonUp();
        input.Play();
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            if (msg.message == WM_NCLBUTTONDOWN && msg.hwnd == bar.m_hWnd)
                break;
        }
        input.Wait();
        kxgui::PumpUntilIdle();
        Layout();
    }
    static int Thickness(CWnd& wnd)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        return rc.Height();
    }
    static int Extent(CWnd& wnd)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        return rc.Width();
    }

    CTestDockFrame m_frame{CTestDockFrame::Kind::PlainFrame};
    CExtControlBar m_panes[2];
    CExtDockBar* m_pTop = nullptr;
};

TEST_F(ExtControlBarResizingTest, RowStripMovesTheRowBoundary)
{
    m_pTop->DockControlBar(&m_panes[0], nullptr);
    m_pTop->DockControlBarInNewRow(&m_panes[0], &m_panes[1], false);
    Layout();
    ASSERT_FALSE(m_panes[0].m_rectRowSplitter.IsRectEmpty());
    const int nFirst = Thickness(m_panes[0]);
    const int nSecond = Thickness(m_panes[1]);

    DragStrip(m_panes[0], m_panes[0].m_rectRowSplitter, 0, 20, false);
    EXPECT_EQ(Thickness(m_panes[0]), nFirst + 20);
    EXPECT_EQ(Thickness(m_panes[1]), nSecond - 20);
    EXPECT_FALSE(m_panes[0].IsRowResizing());
    EXPECT_NE(::GetCapture(), m_panes[0].m_hWnd);

    // far down: the next row keeps its minimum and the first row gets no more
    const int nTotal = Thickness(m_panes[0]) + Thickness(m_panes[1]);
    DragStrip(m_panes[0], m_panes[0].m_rectRowSplitter, 0, 300, false);
    // (a horizontal row is never thinner than the pane's minimal width)
    EXPECT_EQ(Thickness(m_panes[1]), m_panes[1].GetMinimalWidth());
    EXPECT_EQ(Thickness(m_panes[0]) + Thickness(m_panes[1]), nTotal);

    // each line drawn was erased again
    int nDrawn = 0;
    for (const CTestDockFrame::TrackedAreaRecord& rec : m_frame.m_arrTrackedAreas)
    {
        EXPECT_EQ(rec.nShape, 0);
        nDrawn += (rec.nFlags & 1) != 0 ? -1 : 1;
    }
    EXPECT_EQ(nDrawn, 0);
    EXPECT_FALSE(m_frame.m_arrTrackedAreas.empty());
}

TEST_F(ExtControlBarResizingTest, EscapeLeavesTheSizes)
{
    m_pTop->DockControlBar(&m_panes[0], nullptr);
    m_pTop->DockControlBarInNewRow(&m_panes[0], &m_panes[1], false);
    Layout();
    const int nFirst = Thickness(m_panes[0]);
    const int nSecond = Thickness(m_panes[1]);
    DragStrip(m_panes[0], m_panes[0].m_rectRowSplitter, 0, 40, true);
    EXPECT_EQ(Thickness(m_panes[0]), nFirst);
    EXPECT_EQ(Thickness(m_panes[1]), nSecond);
    EXPECT_FALSE(m_panes[0].IsRowResizing());
}

TEST_F(ExtControlBarResizingTest, InRowStripStopsAtTheNeighboursMinimum)
{
    m_pTop->DockControlBarAtEdge(&m_panes[0], false);
    m_pTop->DockControlBarAtEdge(&m_panes[1], false);
    Layout();
    ASSERT_EQ(m_panes[0].GetRowNeighbour(true, true, true), &m_panes[1]);
    ASSERT_FALSE(m_panes[0].m_rectTrailingSplitter.IsRectEmpty());
    const int nFirst = Extent(m_panes[0]);
    const int nSecond = Extent(m_panes[1]);

    DragStrip(m_panes[0], m_panes[0].m_rectTrailingSplitter, -30, 0, false);
    EXPECT_EQ(Extent(m_panes[0]), nFirst - 30);
    EXPECT_EQ(Extent(m_panes[1]), nSecond + 30);

    // past the neighbour: it keeps its minimum, the bar gains the rest only
    DragStrip(m_panes[0], m_panes[0].m_rectTrailingSplitter, nSecond + 100, 0, false);
    EXPECT_EQ(Extent(m_panes[1]), m_panes[1].GetMinimalWidth());
    EXPECT_EQ(Extent(m_panes[0]) + Extent(m_panes[1]), nFirst + nSecond);
    EXPECT_FALSE(m_panes[0].IsInRowResizing());
}

TEST_F(ExtControlBarResizingTest, PressOnAStripFocusesThePaneUnlessItResizesTheRow)
{
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, AfxRegisterWndClass(0), "child", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                               CRect(0, 0, 10, 10), &m_panes[0], 1));
    m_pTop->DockControlBarAtEdge(&m_panes[0], false);
    m_pTop->DockControlBarAtEdge(&m_panes[1], false);
    Layout();
    struct Case
    {
        const char* pszStrip;
        const CRect& rcStrip;
        UINT nHitTest;
        bool bFocused;
    } const cases[] = {
        {"row", m_panes[0].m_rectRowSplitter, HTBOTTOM, false},
        {"trailing", m_panes[0].m_rectTrailingSplitter, HTRIGHT, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszStrip);
        ASSERT_FALSE(c.rcStrip.IsRectEmpty());
        CRect rcWindow;
        m_panes[0].GetWindowRect(&rcWindow);
        const CPoint ptScreen = rcWindow.TopLeft() + c.rcStrip.CenterPoint();
        ASSERT_EQ(m_panes[0].SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptScreen.x, ptScreen.y)),
                  static_cast<LRESULT>(c.nHitTest));
        m_frame.SetFocus();
        const int nExtent = Extent(m_panes[0]);
        DragStrip(m_panes[0], c.rcStrip, 0, 0, false);
        EXPECT_EQ(::GetFocus(), c.bFocused ? child.m_hWnd : m_frame.m_hWnd);
        EXPECT_EQ(Extent(m_panes[0]), nExtent);
        EXPECT_FALSE(m_panes[0].IsRowResizing());
        EXPECT_FALSE(m_panes[0].IsInRowResizing());
    }
}

TEST_F(ExtControlBarResizingTest, QuitEndsTheTrackingAndGoesOn)
{
    m_pTop->DockControlBar(&m_panes[0], nullptr);
    m_pTop->DockControlBarInNewRow(&m_panes[0], &m_panes[1], false);
    Layout();
    const int nFirst = Thickness(m_panes[0]);
    ::PostQuitMessage(7);
    m_panes[0].StartRowResizing();
    EXPECT_FALSE(m_panes[0].IsRowResizing());
    EXPECT_NE(::GetCapture(), m_panes[0].m_hWnd);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    Layout();
    EXPECT_EQ(Thickness(m_panes[0]), nFirst);
}

} // namespace
