// Dragging a pane by its caption with real input: a click is no drag, Esc
// cancels a running drag, and so does the program's quit; a whole outline
// drag onto another pane's side ends in the layout it showed.
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include <gtest/gtest.h>

namespace
{

const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 72;

// Notes what the drag looked like from inside.
class CWatchedPane : public CExtControlBar
{
public:
    void OnDragStarted() override
    {
        CExtControlBar::OnDragStarted();
        ++m_nStarted;
    }
    bool HandleMouseMove(UINT nFlags, CPoint ptClient) override
    {
        if (m_bDragging)
        {
            m_pDraggedDuringDrag = GetDraggedBar();
            m_bCaptureDuringDrag = ::GetCapture() == m_hWnd;
            if (m_nQuitCode != 0)
            {
                ::PostQuitMessage(m_nQuitCode);
                m_nQuitCode = 0;
            }
        }
        return CExtControlBar::HandleMouseMove(nFlags, ptClient);
    }
    void OnDragFinished(const InternalDraggingState_t& shown, const InternalDraggingState_t& computed,
                        bool bCancelled) override
    {
        CExtControlBar::OnDragFinished(shown, computed, bCancelled);
        m_bFinishedCancelled = bCancelled;
        ++m_nFinished;
    }

    // Posted as the program's quit at the first step of a drag.
    int m_nQuitCode = 0;
    int m_nStarted = 0;
    int m_nFinished = 0;
    bool m_bFinishedCancelled = false;
    bool m_bCaptureDuringDrag = false;
    CExtControlBar* m_pDraggedDuringDrag = nullptr;
};

class ExtControlBarDraggingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 800, 600)));
        kxgui::Activate(m_frame.m_hWnd);
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        ASSERT_TRUE(m_pane.Create("Pane", &m_frame, kIdPane, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER));
        m_pane.EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_TRUE(m_child.CreateEx(0, AfxRegisterWndClass(0), "child", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                     CRect(0, 0, 10, 10), &m_pane, 1));
        auto* pOuter = static_cast<CExtDockBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP));
        pOuter->GetCircleDockBar(1)->DockControlBar(&m_pane, nullptr);
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
        m_frame.SetFocus();
        ASSERT_FALSE(m_pane.m_rectCaption.IsRectEmpty());
    }
    void TearDown() override
    {
        m_frame.DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    // The caption's centre in the frame's client coordinates, dx pixels on.
    POINT CaptionPoint(int dx = 0)
    {
        CRect rcWindow;
        m_pane.GetWindowRect(&rcWindow);
        CPoint pt = rcWindow.TopLeft() + m_pane.m_rectCaption.CenterPoint();
        pt.x += dx;
        m_frame.ScreenToClient(&pt);
        return pt;
    }
    // Pumps the played input until the button release has been handled
    // here or has ended the drag inside its loop.
    bool PumpUntilButtonUp()
    {
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            const bool bPress = msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN;
            if (msg.message == WM_LBUTTONUP || (bPress && m_pane.m_nFinished > 0))
                return true;
        }
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    void ExpectNoDragLeft()
    {
        EXPECT_EQ(CExtControlBar::GetDraggedBar(), nullptr);
        EXPECT_TRUE(CExtControlBar::g_DragStateShown.m_bEmpty);
        EXPECT_TRUE(CExtControlBar::g_DragStateNew.m_bEmpty);
        EXPECT_NE(::GetCapture(), m_pane.m_hWnd);
        EXPECT_FALSE(m_pane.m_bDragging);
        // the step timer is gone
        EXPECT_FALSE(::KillTimer(m_pane.m_hWnd, 0x1004));
    }

    CTestDockFrame m_frame{CTestDockFrame::Kind::PlainFrame};
    CWatchedPane m_pane;
    CWnd m_child;
};

TEST_F(ExtControlBarDraggingTest, ClickOnTheCaptionFocusesTheChildAndStartsNoDrag)
{
    kxgui::InputScript input;
    input.MoveTo(m_frame.m_hWnd, CaptionPoint()).ButtonDown().ButtonUp();
    input.Play();
    ASSERT_TRUE(PumpUntilButtonUp());
    input.Wait();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_pane.m_nStarted, 0);
    EXPECT_EQ(::GetFocus(), m_child.m_hWnd);
    ExpectNoDragLeft();
}

TEST_F(ExtControlBarDraggingTest, EscapeCancelsARunningDrag)
{
    kxgui::InputScript input;
    input.MoveTo(m_frame.m_hWnd, CaptionPoint())
        .ButtonDown()
        .MoveTo(m_frame.m_hWnd, CaptionPoint(10))
        .Key(VK_ESCAPE)
        .ButtonUp();
    input.Play();
    ASSERT_TRUE(PumpUntilButtonUp());
    input.Wait();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_pane.m_nStarted, 1);
    EXPECT_EQ(m_pane.m_pDraggedDuringDrag, &m_pane);
    EXPECT_TRUE(m_pane.m_bCaptureDuringDrag);
    EXPECT_EQ(m_pane.m_nFinished, 1);
    EXPECT_TRUE(m_pane.m_bFinishedCancelled);
    ExpectNoDragLeft();
}

TEST_F(ExtControlBarDraggingTest, ReleaseEndsTheDrag)
{
    kxgui::InputScript input;
    input.MoveTo(m_frame.m_hWnd, CaptionPoint()).ButtonDown().MoveTo(m_frame.m_hWnd, CaptionPoint(10)).ButtonUp();
    input.Play();
    ASSERT_TRUE(PumpUntilButtonUp());
    input.Wait();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_pane.m_nStarted, 1);
    EXPECT_FALSE(m_pane.m_bFinishedCancelled);
    ExpectNoDragLeft();
}

TEST_F(ExtControlBarDraggingTest, QuitDuringADragEndsItAndReachesTheCallersLoop)
{
    const int kQuitCode = 7;
    m_pane.m_nQuitCode = kQuitCode;
    kxgui::InputScript input;
    input.MoveTo(m_frame.m_hWnd, CaptionPoint())
        .ButtonDown()
        .MoveTo(m_frame.m_hWnd, CaptionPoint(10))
        .MoveTo(m_frame.m_hWnd, CaptionPoint(20))
        .ButtonUp();
    input.Play();
    // The press runs the whole drag inside its dispatch; the quit it passes
    // on must come out here, once.
    bool bQuit = false;
    WPARAM nCode = 0;
    for (int nPoll = 0; nPoll < 500 && !bQuit; ++nPoll)
    {
        MSG msg;
        while (!bQuit && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
            {
                bQuit = true;
                nCode = msg.wParam;
                break;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (!bQuit)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    input.Wait();
    kxgui::PumpUntilIdle();
    ASSERT_TRUE(bQuit);
    EXPECT_EQ(nCode, static_cast<WPARAM>(kQuitCode));
    EXPECT_EQ(m_pane.m_nStarted, 1);
    EXPECT_EQ(m_pane.m_nFinished, 1);
    EXPECT_TRUE(m_pane.m_bFinishedCancelled);
    ExpectNoDragLeft();
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(ExtControlBarDraggingTest, CursorFollowsWhatTheBarDoes)
{
    struct Case
    {
        const char* pszWhat;
        bool bFixed, bDragging, bRowResizing, bInRowResizing;
        int nShift;
        HCURSOR hExpected;
    };
    const Case cases[] = {
        {"pane dragged", false, true, false, false, 0, CExtControlBar::g_hCursorArrow},
        {"fixed bar along a row", true, true, false, false, 1, CExtControlBar::g_hCursorSizeWE},
        {"fixed bar along a column", true, true, false, false, 2, CExtControlBar::g_hCursorSizeNS},
        {"fixed bar elsewhere", true, true, false, false, 0, CExtControlBar::g_hCursorSizeAll},
        {"row resized", false, false, true, false, 0, CExtControlBar::g_hCursorSizeNS},
        {"resized in its row", false, false, false, true, 0, CExtControlBar::g_hCursorSizeWE},
        {"over the caption", false, false, false, false, 0, CExtControlBar::g_hCursorSizeAll},
    };
    CPoint ptCaption = CaptionPoint();
    m_frame.ClientToScreen(&ptCaption);
    m_pane.ScreenToClient(&ptCaption);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        m_pane.m_bFixedMode = c.bFixed;
        m_pane.m_bDragging = c.bDragging;
        m_pane.m_bRowResizing = c.bRowResizing;
        m_pane.m_bInRowResizing = c.bInRowResizing;
        CExtControlBar::g_DragStateShown.m_nShift = c.nShift;
        ::SetCursor(nullptr);
        m_pane.SetCursorForPoint(ptCaption);
        EXPECT_EQ(::GetCursor(), c.hExpected);
    }
    m_pane.m_bFixedMode = m_pane.m_bDragging = m_pane.m_bRowResizing = m_pane.m_bInRowResizing = false;
    CExtControlBar::g_DragStateShown.m_nShift = 0;
    // a bar that may not move shows the plain arrow over its caption
    CExtControlBar::g_bLockAllBars = true;
    ::SetCursor(nullptr);
    m_pane.SetCursorForPoint(ptCaption);
    CExtControlBar::g_bLockAllBars = false;
    EXPECT_EQ(::GetCursor(), CExtControlBar::g_hCursorArrow);
}

// A second pane docked on the frame's left, the target of whole drags.
class ExtControlBarDragOntoPaneTest : public ExtControlBarDraggingTest
{
protected:
    void SetUp() override
    {
        ExtControlBarDraggingTest::SetUp();
        CExtControlBar::g_nDockingStyle = 0;
        ASSERT_TRUE(m_target.Create("Target", &m_frame, kIdPane + 1, WS_CHILD | WS_VISIBLE | CBRS_LEFT));
        m_target.EnableDocking(CBRS_ALIGN_ANY);
        m_target.m_sizeDockedV = CSize(300, 400);
        auto* pLeft = static_cast<CExtDockBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_LEFT));
        pLeft->GetCircleDockBar(1)->DockControlBar(&m_target, nullptr);
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        CExtControlBar::g_nDockingStyle = -1;
        ExtControlBarDraggingTest::TearDown();
    }
    // A point of the target's window in the frame's client coordinates,
    // nInset pixels in from its left edge, half way down.
    POINT TargetLeftPoint(int nInset)
    {
        CRect rc;
        m_target.GetWindowRect(&rc);
        CPoint pt(rc.left + nInset, rc.CenterPoint().y);
        m_frame.ScreenToClient(&pt);
        return pt;
    }

    CExtControlBar m_target;
};

TEST_F(ExtControlBarDragOntoPaneTest, AnOutlineDragOntoTheLeftHalfOfAPaneSplitsItsSlot)
{
    kxgui::InputScript input;
    input.MoveTo(m_frame.m_hWnd, CaptionPoint())
        .ButtonDown()
        .MoveTo(m_frame.m_hWnd, CaptionPoint(20))
        .MoveTo(m_frame.m_hWnd, TargetLeftPoint(12))
        .MoveTo(m_frame.m_hWnd, TargetLeftPoint(10))
        .ButtonUp();
    input.Play();
    ASSERT_TRUE(PumpUntilButtonUp());
    input.Wait();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_pane.m_nFinished, 1);
    EXPECT_FALSE(m_pane.m_bFinishedCancelled);
    ExpectNoDragLeft();
    // the target's slot holds a container with the dragged pane before it
    EXPECT_EQ(DumpDockLayout(&m_frame), "top 59419 circle 0 CExtDockOuterBar\n"
                                        "top 59419 circle 1 CExtDockBar\n"
                                        "bottom 59422 circle 0 CExtDockOuterBar\n"
                                        "bottom 59422 circle 1 CExtDockBar\n"
                                        "left 59420 circle 0 CExtDockOuterBar\n"
                                        "left 59420 circle 1 CExtDockBar\n"
                                        "  row 59419\n"
                                        "    CExtDockDynBar\n"
                                        "      row 59464 59465\n"
                                        "right 59421 circle 0 CExtDockOuterBar\n"
                                        "right 59421 circle 1 CExtDockBar\n");
    CRect rcDragged, rcTarget;
    m_pane.GetWindowRect(&rcDragged);
    m_target.GetWindowRect(&rcTarget);
    EXPECT_LE(rcDragged.right, rcTarget.left);
    EXPECT_EQ(rcDragged.top, rcTarget.top);
    EXPECT_EQ(rcDragged.bottom, rcTarget.bottom);
}

} // namespace
