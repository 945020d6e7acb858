// Moving panes between places: floating in the toolkit's floating frame,
// docking beside a pane (a container), a container dissolving when one pane
// is left, toggling, and tabbing into a tabbed container.
#include "framework/core/CException.h"
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtDynTabControlBar.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 60;

// A pane whose floating frame cannot be made.
class CNoFloatPane : public CExtControlBar
{
public:
    bool m_bFailFloating = false;
    CExtMiniDockFrameWnd* CreateFloatingFrame(DWORD dwBarStyle) override
    {
        if (m_bFailFloating)
            AfxThrowResourceException();
        return CExtControlBar::CreateFloatingFrame(dwBarStyle);
    }
};

class CAppContainer : public CExtDynControlBar
{
};

class CAppTabbedContainer : public CExtDynTabControlBar
{
};

// Supplies its own container class when asked to.
class CContainerFrame : public CTestDockFrame
{
public:
    CContainerFrame() : CTestDockFrame(Kind::PlainFrame) {}
    bool m_bSupplyContainer = false;
    int m_nContainerRequests = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CExtControlBar::g_nMsgCreateDynBar)
        {
            ++m_nContainerRequests;
            if (m_bSupplyContainer)
                *reinterpret_cast<CExtDynControlBar**>(wParam) = new CAppContainer;
            return 0;
        }
        if (message == CExtControlBar::g_nMsgCreateTabbedBar)
        {
            if (m_bSupplyContainer)
                *reinterpret_cast<CExtDynTabControlBar**>(wParam) = new CAppTabbedContainer;
            return 0;
        }
        return CTestDockFrame::WindowProc(message, wParam, lParam);
    }
};

// Records the floating-position notices sent to any window of the thread.
struct FloatPosRecord
{
    HWND hWnd;
    WPARAM wParam;
    CRect rc;
};
std::vector<FloatPosRecord> g_floatPosNotices;

LRESULT CALLBACK RecordFloatPos(int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && pMsg->message == CExtPopupMenuWnd::g_nMsgCustomFloatPos)
        g_floatPosNotices.push_back({pMsg->hwnd, pMsg->wParam, *reinterpret_cast<const RECT*>(pMsg->lParam)});
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

CRect WindowRect(const CWnd* pWnd)
{
    CRect rc;
    pWnd->GetWindowRect(&rc);
    return rc;
}

class ExtDockTransitionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CExtControlBar::g_nDockingStyle = 0;
        // A client area of 400 pixels across, so that a pane alone in a top
        // row is 400 wide.
        CRect rc(0, 0, 400, 500);
        ::AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW, FALSE, 0);
        rc.OffsetRect(20 - rc.left, 20 - rc.top);
        ASSERT_TRUE(m_frame.CreateTestFrame(rc));
        kxgui::Activate(m_frame.m_hWnd);
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        for (int i = 0; i < 3; ++i)
        {
            ASSERT_TRUE(
                m_panes[i].Create("Pane", &m_frame, kIdPane + i, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER));
            m_panes[i].EnableDocking(CBRS_ALIGN_ANY);
            m_panes[i].m_sizeDockedH = CSize(400, 300);
            m_panes[i].m_sizeDockedV = CSize(150, 300);
            m_panes[i].m_sizeFloated = CSize(220, 160);
        }
        Circle(AFX_IDW_DOCKBAR_TOP)->DockControlBar(&m_panes[0], nullptr);
        Layout();
    }
    void TearDown() override
    {
        CExtControlBar::g_nDockingStyle = -1;
        m_frame.DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    CExtDockBar* Circle(UINT nSide, UINT nCircle = 1)
    {
        return static_cast<CExtDockBar*>(m_frame.GetControlBar(nSide))->GetCircleDockBar(nCircle);
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    static CExtMiniDockFrameWnd* FloatingFrameOf(CExtControlBar& pane)
    {
        CFrameWnd* pFrame = pane.GetParentFrame();
        return pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd))
                   ? static_cast<CExtMiniDockFrameWnd*>(pFrame)
                   : nullptr;
    }

    CContainerFrame m_frame;
    CNoFloatPane m_panes[3];
};

TEST_F(ExtDockTransitionsTest, FloatingUsesTheToolkitFrameAndMovesItTheNextTime)
{
    CNoFloatPane& pane = m_panes[0];
    ASSERT_TRUE(pane.FloatAt(300, 200, CBRS_ALIGN_TOP));
    kxgui::PumpUntilIdle();
    CExtMiniDockFrameWnd* pFloat = FloatingFrameOf(pane);
    ASSERT_NE(pFloat, nullptr);
    EXPECT_TRUE(pFloat->m_pWndDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)));
    EXPECT_EQ(WindowRect(pFloat).TopLeft(), CPoint(300, 200));
    EXPECT_TRUE(pane.IsFloating());
    EXPECT_TRUE(pFloat->IsWindowVisible());
    EXPECT_EQ(pFloat->GetFloatingExtBar(), &pane);
    EXPECT_EQ(CExtControlBar::GetBarBeingFloated(), nullptr);

    HHOOK hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, RecordFloatPos, nullptr, ::GetCurrentThreadId());
    g_floatPosNotices.clear();
    const CRect rcPane = WindowRect(&pane);
    const bool bMoved = pane.FloatAt(360, 240, CBRS_ALIGN_TOP);
    ::UnhookWindowsHookEx(hHook);
    EXPECT_TRUE(bMoved);
    EXPECT_EQ(FloatingFrameOf(pane), pFloat);
    EXPECT_EQ(WindowRect(pFloat).TopLeft(), CPoint(360, 240));
    EXPECT_EQ(pane.m_ptFloatPos, CPoint(360, 240));
    ASSERT_EQ(g_floatPosNotices.size(), 1u);
    EXPECT_EQ(g_floatPosNotices[0].hWnd, pFloat->m_hWnd);
    EXPECT_EQ(g_floatPosNotices[0].wParam, reinterpret_cast<WPARAM>(pFloat->m_hWnd));
    EXPECT_EQ(g_floatPosNotices[0].rc, CRect(360, 240, 360 + rcPane.Width(), 240 + rcPane.Height()));
}

TEST_F(ExtDockTransitionsTest, AFloatingFrameThatCannotBeMadeLeavesThePaneDocked)
{
    CNoFloatPane& pane = m_panes[0];
    pane.m_bFailFloating = true;
    CDockBar* pDockBar = pane.m_pDockBar;
    EXPECT_FALSE(pane.FloatAt(300, 200, CBRS_ALIGN_TOP));
    EXPECT_EQ(pane.m_pDockBar, pDockBar);
    EXPECT_FALSE(pane.IsFloating());
    EXPECT_EQ(CExtControlBar::GetBarBeingFloated(), nullptr);
    pane.ToggleDocking();
    EXPECT_EQ(pane.m_pDockBar, pDockBar);
}

TEST_F(ExtDockTransitionsTest, DockingBesideBuildsAContainerThatSplitsTheTarget)
{
    CNoFloatPane& target = m_panes[0];
    ASSERT_EQ(WindowRect(&target).Size(), CSize(400, 300));
    const CRect rcTarget = WindowRect(&target);
    CExtDockBar* pDockBar = Circle(AFX_IDW_DOCKBAR_TOP);
    const int nSlot = pDockBar->FindBar(&target);
    ASSERT_TRUE(m_panes[1].DockBeside(50, &target, AFX_IDW_DOCKBAR_TOP, true));
    kxgui::PumpUntilIdle();

    auto* pSlot = static_cast<CControlBar*>(pDockBar->m_arrBars[nSlot]);
    ASSERT_TRUE(pSlot->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)));
    auto* pContainer = static_cast<CExtDynControlBar*>(pSlot);
    EXPECT_EQ(dynamic_cast<CAppContainer*>(pSlot), nullptr);
    EXPECT_EQ(WindowRect(pContainer), rcTarget);
    EXPECT_EQ(target.m_pDockBar, pContainer->m_pNestedDockBar);
    EXPECT_EQ(m_panes[1].m_pDockBar, pContainer->m_pNestedDockBar);
    // The halves share the container's client area, above its row splitter.
    CRect rcInside;
    pContainer->m_pNestedDockBar->GetWindowRect(&rcInside);
    const int nHalf = rcInside.Height() / 2;
    EXPECT_EQ(rcInside.TopLeft(), rcTarget.TopLeft());
    EXPECT_EQ(WindowRect(&m_panes[1]), CRect(rcInside.left, rcInside.top, rcInside.right, rcInside.top + nHalf));
    EXPECT_EQ(WindowRect(&target), CRect(rcInside.left, rcInside.top + nHalf, rcInside.right, rcInside.bottom));
    EXPECT_EQ(m_frame.m_nContainerRequests, 1);
    // Frame-wide walks never meet the nested dock bar.
    EXPECT_EQ(m_frame.m_listControlBars.Find(pContainer->m_pNestedDockBar), nullptr);
    EXPECT_EQ(pContainer->GetMinimalSize(), pContainer->CalcContainerMinSize());
}

TEST_F(ExtDockTransitionsTest, AFrameMaySupplyItsOwnContainer)
{
    m_frame.m_bSupplyContainer = true;
    ASSERT_TRUE(m_panes[1].DockBeside(50, &m_panes[0], AFX_IDW_DOCKBAR_LEFT, true));
    CExtDockBar* pDockBar = Circle(AFX_IDW_DOCKBAR_TOP);
    auto* pContainer = static_cast<CControlBar*>(pDockBar->GetDockedControlBar(0));
    ASSERT_NE(pContainer, nullptr);
    EXPECT_NE(dynamic_cast<CAppContainer*>(pContainer), nullptr);
    // Beside on the left: the new pane gets the left half.
    EXPECT_LT(WindowRect(&m_panes[1]).left, WindowRect(&m_panes[0]).left);
}

TEST_F(ExtDockTransitionsTest, AContainerLeftWithOnePaneDissolvesIntoIt)
{
    CNoFloatPane& target = m_panes[0];
    ASSERT_TRUE(m_panes[1].DockBeside(50, &target, AFX_IDW_DOCKBAR_TOP, true));
    Layout();
    CExtDockBar* pDockBar = Circle(AFX_IDW_DOCKBAR_TOP);
    auto* pContainer = static_cast<CControlBar*>(pDockBar->GetDockedControlBar(0));
    ASSERT_TRUE(pContainer->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)));
    const CRect rcContainer = WindowRect(pContainer);
    const HWND hContainer = pContainer->m_hWnd;

    ASSERT_TRUE(m_panes[1].FloatAt(500, 300, CBRS_ALIGN_TOP));
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(::IsWindow(hContainer));
    EXPECT_EQ(target.m_pDockBar, pDockBar);
    EXPECT_EQ(pDockBar->GetDockedControlBar(0), &target);
    EXPECT_EQ(target.m_sizeDockedH, rcContainer.Size());
    Layout();
    EXPECT_EQ(WindowRect(&target), rcContainer);
    EXPECT_TRUE(m_panes[1].IsFloating());
}

TEST_F(ExtDockTransitionsTest, ToggleDockingFloatsADockedPaneAtItsStoredPlaceOnly)
{
    CNoFloatPane& pane = m_panes[0];
    pane.m_ptFloatPos = CPoint(340, 260);
    pane.ToggleDocking();
    kxgui::PumpUntilIdle();
    CExtMiniDockFrameWnd* pFloat = FloatingFrameOf(pane);
    ASSERT_NE(pFloat, nullptr);
    EXPECT_EQ(WindowRect(pFloat).TopLeft(), CPoint(340, 260));
    pane.ToggleDocking();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(FloatingFrameOf(pane), pFloat);
    EXPECT_EQ(WindowRect(pFloat).TopLeft(), CPoint(340, 260));
}

TEST_F(ExtDockTransitionsTest, TabbingMakesATabbedContainerOfTheFramesClassWithTheTargetFirst)
{
    m_frame.m_bSupplyContainer = true;
    const CRect rcTarget = WindowRect(&m_panes[0]);
    ASSERT_TRUE(m_panes[0].TabInto(&m_panes[1], 0, nullptr, true));
    Layout();
    CControlBar* pSlot = Circle(AFX_IDW_DOCKBAR_TOP)->GetDockedControlBar(0);
    ASSERT_NE(dynamic_cast<CAppTabbedContainer*>(pSlot), nullptr);
    auto* pTabbed = static_cast<CExtDynTabControlBar*>(pSlot);
    EXPECT_EQ(WindowRect(pTabbed), rcTarget);
    CExtDynTabWnd& tabs = pTabbed->m_wndTabs;
    ASSERT_EQ(tabs.GetItemCount(), 2);
    EXPECT_EQ(tabs.GetBarAt(0, true), &m_panes[0]);
    EXPECT_EQ(tabs.GetBarAt(1, true), &m_panes[1]);
    EXPECT_EQ(tabs.GetSelectedIndex(), 0);
    // Onto a page: the container takes the bar at the index and selects it.
    ASSERT_TRUE(m_panes[1].TabInto(&m_panes[2], 1, nullptr, true));
    Layout();
    ASSERT_EQ(tabs.GetItemCount(), 3);
    EXPECT_EQ(tabs.GetBarAt(1, true), &m_panes[2]);
    EXPECT_EQ(tabs.GetSelectedIndex(), 1);
    EXPECT_EQ(pTabbed->GetSelectedPage(), &m_panes[2]);
    // A container never becomes a page of its own page.
    EXPECT_FALSE(m_panes[1].TabInto(pTabbed, 0, nullptr, true));
}

} // namespace
