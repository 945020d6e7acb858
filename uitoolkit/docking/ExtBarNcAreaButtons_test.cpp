// Caption buttons with real clicks: Close hides the pane, Expand maximises
// it in its row and contracts it again; the options menu of a floating tool
// bar asks its frame first, also when clicked in the floating frame's
// caption; the close button's tip reads "Hide".
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace
{

const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 76;
const UINT kIdTool = AFX_IDW_CONTROLBAR_FIRST + 79;

// A pane that also wants the expand button, after the others.
class CExpandablePane : public CExtControlBar
{
public:
    void CreateNcButtons() override
    {
        CExtControlBar::CreateNcButtons();
        m_arrNcButtons.Add(new CExtBarNcAreaButtonExpand(this));
    }
    template <class TButton>
    TButton* Button()
    {
        for (INT_PTR i = 0; i < m_arrNcButtons.GetSize(); ++i)
            if (dynamic_cast<TButton*>(m_arrNcButtons[i]) != nullptr)
                return static_cast<TButton*>(m_arrNcButtons[i]);
        return nullptr;
    }
};

class ExtBarNcAreaButtonsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 800, 600)));
        kxgui::Activate(m_frame.m_hWnd);
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        ASSERT_TRUE(g_CmdManager->SetupProfile("nc-buttons-test", m_frame.m_hWnd));
        CExtDockBar* pInner =
            static_cast<CExtDockBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP))->GetCircleDockBar(1);
        for (int i = 0; i < 2; ++i)
        {
            ASSERT_TRUE(m_panes[i].Create(i == 0 ? "First" : "Second", &m_frame, kIdPane + i,
                                          WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER));
            m_panes[i].EnableDocking(CBRS_ALIGN_ANY);
            pInner->DockControlBar(&m_panes[i], nullptr);
        }
        // one row of both panes
        CPtrArray& arr = pInner->m_arrBars;
        arr.RemoveAll();
        arr.Add(nullptr);
        arr.Add(&m_panes[0]);
        arr.Add(&m_panes[1]);
        arr.Add(nullptr);
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
    // Clicks the centre of a caption button with real input.
    void ClickButton(CExtBarNcAreaButton* pButton)
    {
        CRect rcWindow;
        pButton->GetBar()->GetWindowRect(&rcWindow);
        CPoint pt = rcWindow.TopLeft() + pButton->m_rc.CenterPoint();
        m_frame.ScreenToClient(&pt);
        kxgui::InputScript input;
        input.Click(m_frame.m_hWnd, pt);
        input.Send();
        kxgui::PumpUntilIdle();
    }

    CTestDockFrame m_frame{CTestDockFrame::Kind::PlainFrame};
    CExpandablePane m_panes[2];
};

TEST_F(ExtBarNcAreaButtonsTest, DockedPaneShowsExpandAndCloseOnly)
{
    CExpandablePane& pane = m_panes[0];
    ASSERT_EQ(pane.m_arrNcButtons.GetSize(), 4);
    auto* pExpand = pane.Button<CExtBarNcAreaButtonExpand>();
    auto* pClose = pane.Button<CExtBarNcAreaButtonClose>();
    ASSERT_NE(pExpand, nullptr);
    ASSERT_NE(pClose, nullptr);
    EXPECT_TRUE(pExpand->OnQueryVisibility());
    EXPECT_TRUE(pClose->OnQueryVisibility());
    // no auto-hide area yet, and the options menu is a floating tool bar's
    EXPECT_FALSE(pane.Button<CExtBarNcAreaButtonAutoHide>()->OnQueryVisibility());
    EXPECT_FALSE(pane.Button<CExtBarNcAreaButtonMenu>()->OnQueryVisibility());
    // 3 pixels apart, the first at the caption's far end
    EXPECT_EQ(pClose->m_rc.right, pane.m_rectCaption.right - 3);
    EXPECT_EQ(pExpand->m_rc.right, pClose->m_rc.left - 3);
    CPoint ptScreen;
    CRect rcWindow;
    pane.GetWindowRect(&rcWindow);
    ptScreen = rcWindow.TopLeft() + pClose->m_rc.CenterPoint();
    EXPECT_EQ(pane.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptScreen.x, ptScreen.y)), HTMINBUTTON);
}

TEST_F(ExtBarNcAreaButtonsTest, ExpandMaximisesInTheRowAndASecondClickContracts)
{
    CExpandablePane& pane = m_panes[0];
    ASSERT_FALSE(pane.IsMaximizedInRow());
    ClickButton(pane.Button<CExtBarNcAreaButtonExpand>());
    m_frame.RecalcLayout();
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(pane.IsMaximizedInRow());
    EXPECT_TRUE(m_panes[1].IsMinimizedInRow());
    ClickButton(pane.Button<CExtBarNcAreaButtonExpand>());
    m_frame.RecalcLayout();
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(pane.IsMaximizedInRow());
}

TEST_F(ExtBarNcAreaButtonsTest, CloseHidesThePane)
{
    ClickButton(m_panes[1].Button<CExtBarNcAreaButtonClose>());
    EXPECT_FALSE(m_panes[1].IsVisible());
    EXPECT_TRUE(m_panes[0].IsVisible());
}

TEST_F(ExtBarNcAreaButtonsTest, CloseTipReadsHide)
{
    auto* pClose = m_panes[0].Button<CExtBarNcAreaButtonClose>();
    TOOLINFO ti;
    std::memset(&ti, 0, sizeof(ti));
    ti.cbSize = sizeof(ti);
    EXPECT_EQ(pClose->OnToolHitTest(pClose->m_rc.CenterPoint(), &ti), static_cast<INT_PTR>(kIdPane));
    ASSERT_NE(ti.lpszText, nullptr);
    EXPECT_STREQ(ti.lpszText, "Hide");
    EXPECT_EQ(ti.hwnd, m_panes[0].m_hWnd);
    std::free(ti.lpszText);
    EXPECT_EQ(pClose->OnToolHitTest(pClose->m_rc.CenterPoint(), nullptr), -1);
}

TEST_F(ExtBarNcAreaButtonsTest, OptionsMenuOfAFloatingToolBarAsksTheFrameThenListsTheBars)
{
    CExtToolControlBar tool;
    ASSERT_TRUE(tool.Create("Tools", &m_frame, kIdTool, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    tool.EnableDocking(CBRS_ALIGN_ANY);
    m_frame.FloatControlBar(&tool, CPoint(300, 300));
    kxgui::PumpUntilIdle();
    ASSERT_TRUE(tool.IsFloating());
    CExtBarNcAreaButtonMenu button(&tool);
    button.m_rc.SetRect(0, 0, 11, 11);
    m_frame.m_arrPopupMenuEvents.clear();
    EXPECT_FALSE(button.HandleClick(CPoint(20, 20)));
    EXPECT_TRUE(m_frame.m_arrPopupMenuEvents.empty());
    EXPECT_TRUE(button.HandleClick(CPoint(5, 5)));
    ASSERT_GE(m_frame.m_arrPopupMenuEvents.size(), 3u);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].nEventType, 10);
    EXPECT_FALSE(m_frame.m_arrPopupMenuEvents[0].bPostNotification);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].nSourceMessage, static_cast<UINT>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[1].nEventType, 11);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents.back().nEventType, 10);
    EXPECT_TRUE(m_frame.m_arrPopupMenuEvents.back().bPostNotification);
    CloseActivePopupTree();
    kxgui::PumpUntilIdle();
    tool.DestroyWindow();
    kxgui::PumpUntilIdle();
}

TEST_F(ExtBarNcAreaButtonsTest, FloatingToolBarShowsCloseAndOptionsInItsFrameCaption)
{
    CExtToolControlBar tool;
    ASSERT_TRUE(tool.Create("Tools", &m_frame, kIdTool, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC));
    tool.EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(tool.LoadToolBarResource(128, RGB(192, 192, 192)));
    m_frame.FloatControlBar(&tool, CPoint(300, 300));
    kxgui::PumpUntilIdle();
    auto* pFloat = static_cast<CExtMiniDockFrameWnd*>(tool.GetParentFrame());
    ASSERT_TRUE(pFloat->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)));
    CExtBarNcAreaButton* pClose = nullptr;
    CExtBarNcAreaButton* pMenu = nullptr;
    for (INT_PTR i = 0; i < tool.m_arrNcButtons.GetSize(); ++i)
    {
        CExtBarNcAreaButton* p = tool.m_arrNcButtons[i];
        if (p->IsKindOf(RUNTIME_CLASS(CExtBarNcAreaButtonClose)))
            pClose = p;
        else if (p->IsKindOf(RUNTIME_CLASS(CExtBarNcAreaButtonMenu)))
            pMenu = p;
        else
            EXPECT_FALSE(p->OnQueryVisibility());
    }
    ASSERT_NE(pClose, nullptr);
    ASSERT_NE(pMenu, nullptr);
    ASSERT_TRUE(pClose->OnQueryVisibility());
    ASSERT_TRUE(pMenu->OnQueryVisibility());
    EXPECT_EQ(pMenu->m_rc.right, pClose->m_rc.left - 3);

    CRect rcFrame;
    pFloat->GetWindowRect(&rcFrame);
    const int cy = ::GetSystemMetrics(SM_CYFRAME);
    // a tool bar's top corners size it from the top; a panel's borders all
    // move it
    const CPoint ptCorner(rcFrame.left + 1, rcFrame.top + cy / 2);
    EXPECT_EQ(pFloat->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptCorner.x, ptCorner.y)), HTTOP);
    tool.m_nToolBarOptions |= CExtToolControlBar::TbOptXpExpandButton;
    EXPECT_EQ(pFloat->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptCorner.x, ptCorner.y)), HTCAPTION);
    tool.m_nToolBarOptions &= static_cast<BYTE>(~CExtToolControlBar::TbOptXpExpandButton);

    m_frame.m_arrPopupMenuEvents.clear();
    CPoint pt = rcFrame.TopLeft() + pMenu->m_rc.CenterPoint();
    pFloat->ScreenToClient(&pt);
    kxgui::InputScript input;
    input.Click(pFloat->m_hWnd, pt);
    input.Send();
    kxgui::PumpUntilIdle();
    ASSERT_GE(m_frame.m_arrPopupMenuEvents.size(), 3u);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].nEventType, 10);
    EXPECT_FALSE(m_frame.m_arrPopupMenuEvents[0].bPostNotification);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[1].nEventType, 11);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents.back().nEventType, 10);
    EXPECT_TRUE(m_frame.m_arrPopupMenuEvents.back().bPostNotification);
    EXPECT_TRUE(IsPopupTrackingActive());
    CloseActivePopupTree();
    kxgui::PumpUntilIdle();

    tool.DestroyWindow();
    kxgui::PumpUntilIdle();
}

} // namespace
