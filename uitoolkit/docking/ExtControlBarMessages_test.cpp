// A docked pane's window messages: the bars menu on right-button releases,
// closing, focus tracking at idle time and frame layout requests.
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include <gtest/gtest.h>

namespace
{

const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 70;

class ExtControlBarMessagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 800, 600)));
        kxgui::Activate(m_frame.m_hWnd);
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        ASSERT_TRUE(g_CmdManager->SetupProfile("bar-messages-test", m_frame.m_hWnd));
        ASSERT_TRUE(m_pane.Create("Pane", &m_frame, kIdPane, WS_CHILD | WS_VISIBLE | CBRS_TOP));
        m_pane.EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_TRUE(m_child.CreateEx(0, AfxRegisterWndClass(0), "child", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                     CRect(0, 0, 10, 10), &m_pane, 1));
        auto* pOuter = static_cast<CExtDockBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP));
        pOuter->GetCircleDockBar(1)->DockControlBar(&m_pane, nullptr);
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        CloseActivePopupTree();
        g_CmdManager->DetachWindowFromProfile(m_frame.m_hWnd, true);
        m_frame.DestroyWindow();
        kxgui::PumpUntilIdle();
    }

    CTestDockFrame m_frame{CTestDockFrame::Kind::PlainFrame};
    CExtControlBar m_pane;
    CWnd m_child;
};

TEST_F(ExtControlBarMessagesTest, RightButtonReleaseShowsTheBarsMenuOffTheClientArea)
{
    CRect rcClient;
    m_pane.GetClientRect(&rcClient);
    m_pane.ClientToScreen(&rcClient);
    ASSERT_FALSE(rcClient.IsRectEmpty());
    ::SetCursorPos(rcClient.CenterPoint().x, rcClient.CenterPoint().y);
    m_pane.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(m_frame.m_arrPopupMenuEvents.empty());
    EXPECT_FALSE(IsPopupTrackingActive());

    m_pane.SendMessage(WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(rcClient.left, rcClient.top));
    kxgui::PumpUntilIdle();
    ASSERT_EQ(m_frame.m_arrPopupMenuEvents.size(), 2u);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].nEventType, 2);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].hWndSource, m_pane.m_hWnd);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].nSourceMessage, static_cast<UINT>(WM_NCRBUTTONUP));
    EXPECT_TRUE(IsPopupTrackingActive());
}

TEST_F(ExtControlBarMessagesTest, FocusIsTrackedAtIdleUntilTheBarCloses)
{
    // the child fills the pane's client area
    CRect rcClient, rcChild;
    m_pane.GetClientRect(&rcClient);
    m_child.GetWindowRect(&rcChild);
    m_pane.ScreenToClient(&rcChild);
    EXPECT_EQ(rcChild, rcClient);

    m_pane.SetFocus();
    EXPECT_EQ(::GetFocus(), m_child.m_hWnd);
    EXPECT_FALSE(m_pane.m_bFocusInside);
    m_pane.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(m_pane.m_bFocusInside);

    m_frame.SetFocus();
    m_pane.SendMessage(WM_CLOSE);
    EXPECT_TRUE(::IsWindow(m_pane.m_hWnd));
    m_pane.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(m_pane.m_bFocusInside); // no more updates
}

TEST_F(ExtControlBarMessagesTest, NoLayoutRequestsWhileTheMainWindowIsMinimized)
{
    m_frame.ShowWindow(SW_MINIMIZE);
    kxgui::PumpUntilIdle();
    m_frame.m_nIdleFlags = 0;
    m_pane.RequestFrameRecalcLayout();
    EXPECT_EQ(m_frame.m_nIdleFlags & CFrameWnd::idleLayout, 0u);
    m_frame.ShowWindow(SW_RESTORE);
    kxgui::PumpUntilIdle();
    m_frame.m_nIdleFlags = 0;
    m_pane.RequestFrameRecalcLayout();
    EXPECT_NE(m_frame.m_nIdleFlags & CFrameWnd::idleLayout, 0u);
}

TEST_F(ExtControlBarMessagesTest, ADockedPaneKeepsTheSizeItWasGiven)
{
    m_pane.SetWindowPos(nullptr, 0, 0, 333, 77, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(m_pane.m_sizeDockedH, CSize(333, 77));
    const CSize sizeVertical = m_pane.m_sizeDockedV;
    m_pane.SetWindowPos(nullptr, 5, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(m_pane.m_sizeDockedH, CSize(333, 77));
    EXPECT_EQ(m_pane.m_sizeDockedV, sizeVertical);
}

} // namespace
