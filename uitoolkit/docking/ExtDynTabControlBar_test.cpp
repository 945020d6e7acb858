// Tabbed containers: made by dropping a pane on another pane's centre
// marker, left by dragging a page's tab away, fed with a whole container,
// switched by keys, and their pages hidden, floated and previewed.
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/docking/ExtDynTabControlBar.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 90;

// A pane that notes when a drag of it has finished.
class CPagePane : public CExtControlBar
{
public:
    void OnDragFinished(const InternalDraggingState_t& shown, const InternalDraggingState_t& computed,
                        bool bCancelled) override
    {
        CExtControlBar::OnDragFinished(shown, computed, bCancelled);
        ++m_nFinished;
    }
    bool HandleMouseMove(UINT nFlags, CPoint ptClient) override
    {
        const bool bResult = CExtControlBar::HandleMouseMove(nFlags, ptClient);
        if (m_bDragging && m_onDragStep)
            m_onDragStep();
        return bResult;
    }
    int m_nFinished = 0;
    // Called at each step of a drag of this pane, after the step is shown.
    std::function<void()> m_onDragStep;
    CWnd m_child;
};

CRect WindowRect(const CWnd* pWnd)
{
    CRect rc;
    pWnd->GetWindowRect(&rc);
    return rc;
}

class ExtDynTabControlBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pSavedLayeredFn = g_PaintManager.SetLayeredWindowAttributesFn;
        // Markers appear at once.
        g_PaintManager.SetLayeredWindowAttributesFn = nullptr;
        CExtControlBar::g_nDockingStyle = 1;
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 900, 650)));
        kxgui::Activate(m_frame.m_hWnd);
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        static const char* const kNames[] = {"Alpha", "Bravo", "Charlie", "Delta", "Echo"};
        for (int i = 0; i < 5; ++i)
        {
            CPagePane& pane = m_panes[i];
            ASSERT_TRUE(pane.Create(kNames[i], &m_frame, kIdPane + i, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER));
            pane.EnableDocking(CBRS_ALIGN_ANY);
            pane.m_sizeDockedH = CSize(500, 280);
            pane.m_sizeDockedV = CSize(200, 300);
            pane.m_sizeFloated = CSize(220, 160);
            ASSERT_TRUE(pane.m_child.CreateEx(0, AfxRegisterWndClass(0), "child", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                              CRect(0, 0, 10, 10), &pane, 1));
        }
        TopCircle()->DockControlBar(&m_panes[1], nullptr);
        Layout();
    }
    void TearDown() override
    {
        g_PaintManager.SetLayeredWindowAttributesFn = m_pSavedLayeredFn;
        CExtControlBar::g_nDockingStyle = -1;
        m_frame.DestroyWindow();
        g_PaintManager.InstallPaintManager(nullptr);
        kxgui::PumpUntilIdle();
    }
    CExtDockBar* TopCircle()
    {
        return static_cast<CExtDockBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP))->GetCircleDockBar(1);
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    // The bar in the first slot of the top circle.
    CControlBar* TopSlot() { return TopCircle()->GetDockedControlBar(0); }
    CExtDynTabControlBar* TopContainer()
    {
        CControlBar* pSlot = TopSlot();
        return pSlot != nullptr && pSlot->IsKindOf(RUNTIME_CLASS(CExtDynTabControlBar))
                   ? static_cast<CExtDynTabControlBar*>(pSlot)
                   : nullptr;
    }
    // Pages in tab order.
    static std::vector<CExtControlBar*> Tabs(CExtDynTabControlBar* pContainer)
    {
        std::vector<CExtControlBar*> arr;
        for (int i = 0; i < pContainer->m_wndTabs.GetItemCount(); ++i)
            arr.push_back(pContainer->m_wndTabs.GetBarAt(i, false));
        return arr;
    }
    // Bravo docked at the top with the given panes as further pages.
    CExtDynTabControlBar* MakeTabs(std::initializer_list<int> pages)
    {
        for (int i : pages)
            EXPECT_TRUE(m_panes[1].TabInto(&m_panes[i], -1, nullptr, true));
        Layout();
        return TopContainer();
    }
    // The strip's client point at the middle of a tab.
    static CPoint TabPoint(CExtDynTabWnd& tabs, int nIndex)
    {
        CRect rc;
        tabs.GetClientRect(&rc);
        int nFirst = -1, nLast = -1;
        for (int x = rc.left; x < rc.right; ++x)
            if (tabs.HitTest(CPoint(x, rc.CenterPoint().y)) == nIndex)
            {
                nFirst = nFirst < 0 ? x : nFirst;
                nLast = x;
            }
        return CPoint((nFirst + nLast) / 2, rc.CenterPoint().y);
    }
    // Dispatches what played input brings until the condition holds or the
    // queue has stayed quiet for long.
    static bool PumpUntil(const std::function<bool()>& done)
    {
        for (int nQuiet = 0; nQuiet < 60 && !done();)
        {
            MSG msg;
            if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            {
                ++nQuiet;
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
                continue;
            }
            nQuiet = 0;
            if (msg.message == WM_QUIT)
            {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        return done();
    }
    // The screen centre of a frame marker of the given kind.
    CPoint FrameMarkerCentre(int nKind)
    {
        CExtDynDockMarkerWnd::CreateFrameMarkers(&m_frame, false);
        CPoint pt(-1, -1);
        for (INT_PTR i = 0; i < CExtDynDockMarkerWnd::g_arrFrameMarkers.GetSize(); ++i)
            if (CExtDynDockMarkerWnd::g_arrFrameMarkers[i]->m_nKind == nKind)
                pt = WindowRect(CExtDynDockMarkerWnd::g_arrFrameMarkers[i]).CenterPoint();
        CExtDynDockMarkerWnd::DestroyAllMarkers();
        return pt;
    }

    CTestDockFrame m_frame{CTestDockFrame::Kind::PlainFrame};
    CPagePane m_panes[5];
    CExtPaintManagerHolder::SetLayeredWindowAttributesFnType m_pSavedLayeredFn = nullptr;
};

TEST_F(ExtDynTabControlBarTest, DroppingAPaneOnTheCentreMarkerMakesATabbedContainer)
{
    CPagePane& dragged = m_panes[0];
    CPagePane& target = m_panes[1];
    ASSERT_TRUE(dragged.FloatAt(560, 430, CBRS_ALIGN_TOP));
    Layout();
    const CRect rcTarget = WindowRect(&target);
    CFrameWnd* pFloat = dragged.GetParentFrame();
    CRect rcFloat = WindowRect(pFloat);
    CPoint ptCaption(rcFloat.CenterPoint().x, rcFloat.top + ::GetSystemMetrics(SM_CYSMCAPTION) / 2 + 2);
    ASSERT_EQ(pFloat->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptCaption.x, ptCaption.y)), HTCAPTION);
    m_frame.ScreenToClient(&ptCaption);
    CPoint ptNear = rcTarget.CenterPoint() + CSize(-100, 40), ptCentre = rcTarget.CenterPoint();
    m_frame.ScreenToClient(&ptNear);
    m_frame.ScreenToClient(&ptCentre);

    kxgui::InputScript input;
    input.MoveTo(m_frame.m_hWnd, ptCaption)
        .ButtonDown()
        .MoveTo(m_frame.m_hWnd, ptCaption + CSize(0, 10))
        .MoveTo(m_frame.m_hWnd, ptNear)
        .MoveTo(m_frame.m_hWnd, ptNear + CSize(3, 0))
        .MoveTo(m_frame.m_hWnd, ptCentre)
        .MoveTo(m_frame.m_hWnd, ptCentre + CSize(1, 0))
        .ButtonUp();
    input.Play(80);
    ASSERT_TRUE(PumpUntil([&] { return dragged.m_nFinished > 0; }));
    input.Wait();
    Layout();

    CExtDynTabControlBar* pContainer = TopContainer();
    ASSERT_NE(pContainer, nullptr);
    EXPECT_EQ(WindowRect(pContainer), rcTarget);
    EXPECT_EQ(Tabs(pContainer), (std::vector<CExtControlBar*>{&target, &dragged}));
    EXPECT_TRUE(pContainer->m_wndTabs.IsWindowVisible());
    // The pages show no caption of their own; the container shows one.
    for (CExtControlBar* pPage : {static_cast<CExtControlBar*>(&target), static_cast<CExtControlBar*>(&dragged)})
    {
        EXPECT_FALSE(pPage->HasGripper());
        EXPECT_TRUE(pPage->m_rectCaption.IsRectEmpty());
        EXPECT_EQ(pPage->GetTabbedContainer(), pContainer);
    }
    EXPECT_TRUE(pContainer->HasGripper());
    // The selected page is on top and fills the area above the strip.
    CExtControlBar* pSelected = pContainer->GetSelectedPage();
    ASSERT_NE(pSelected, nullptr);
    EXPECT_EQ(WindowRect(pSelected).bottom, WindowRect(&pContainer->m_wndTabs).top);
    EXPECT_EQ(DumpDockLayout(&m_frame), "top 59419 circle 0 CExtDockOuterBar\n"
                                        "top 59419 circle 1 CExtDockBar\n"
                                        "  row 59419\n"
                                        "    CExtDockDynTabBar\n"
                                        "      row 59483\n"
                                        "      row 59482\n"
                                        "bottom 59422 circle 0 CExtDockOuterBar\n"
                                        "bottom 59422 circle 1 CExtDockBar\n"
                                        "left 59420 circle 0 CExtDockOuterBar\n"
                                        "left 59420 circle 1 CExtDockBar\n"
                                        "right 59421 circle 0 CExtDockOuterBar\n"
                                        "right 59421 circle 1 CExtDockBar\n");
}

TEST_F(ExtDynTabControlBarTest, DraggingATabOutDissolvesTheContainer)
{
    CExtDynTabControlBar* pContainer = MakeTabs({0});
    ASSERT_NE(pContainer, nullptr);
    const HWND hContainer = pContainer->m_hWnd;
    const int nContainerHeight = WindowRect(pContainer).Height();
    const CPoint ptMarker = FrameMarkerCentre(CExtDynDockMarkerWnd::KindRight);
    ASSERT_NE(ptMarker, CPoint(-1, -1));
    CExtDynTabWnd& tabs = pContainer->m_wndTabs;
    const CPoint ptTab = TabPoint(tabs, 1);
    CPoint ptMarkerClient = ptMarker;
    tabs.ScreenToClient(&ptMarkerClient);

    kxgui::InputScript input;
    input.MoveTo(tabs.m_hWnd, ptTab)
        .ButtonDown()
        .MoveTo(tabs.m_hWnd, ptTab + CSize(0, -12))
        .MoveTo(tabs.m_hWnd, ptTab + CSize(0, -40))
        .MoveTo(tabs.m_hWnd, ptMarkerClient + CSize(-20, 0))
        .MoveTo(tabs.m_hWnd, ptMarkerClient)
        .MoveTo(tabs.m_hWnd, ptMarkerClient + CSize(1, 0))
        .ButtonUp();
    input.Play(80);
    ASSERT_TRUE(PumpUntil([&] { return m_panes[0].m_nFinished > 0; }));
    input.Wait();
    Layout();

    // The frame's right marker opens a fresh outer circle: the remaining
    // page takes the container's place one circle further in.
    EXPECT_FALSE(::IsWindow(hContainer));
    auto* pTopBar = static_cast<CExtDockBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(pTopBar->GetCircleDockBar(2)->GetDockedControlBar(0), &m_panes[1]) << DumpDockLayout(&m_frame);
    EXPECT_EQ(m_panes[1].GetTabbedContainer(), nullptr);
    EXPECT_EQ(m_panes[0].GetTabbedContainer(), nullptr);
    ASSERT_NE(m_panes[0].m_pDockBar, nullptr);
    EXPECT_EQ(m_panes[0].m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_RIGHT);
    EXPECT_EQ(static_cast<CExtDockBar*>(m_panes[0].m_pDockBar)->GetCircleNo(), 1u);
    // The remaining pane is a plain pane again, as high as the container was.
    EXPECT_TRUE(m_panes[1].IsWindowVisible());
    EXPECT_TRUE(m_panes[1].HasGripper());
    EXPECT_FALSE(m_panes[1].m_rectCaption.IsRectEmpty());
    EXPECT_EQ(WindowRect(&m_panes[1]).Height(), nContainerHeight);
    EXPECT_EQ(DumpDockLayout(&m_frame), "top 59419 circle 0 CExtDockOuterBar\n"
                                        "top 59419 circle 1 CExtDockBar\n"
                                        "top 59419 circle 2 CExtDockBar\n"
                                        "  row 59483\n"
                                        "bottom 59422 circle 0 CExtDockOuterBar\n"
                                        "bottom 59422 circle 1 CExtDockBar\n"
                                        "bottom 59422 circle 2 CExtDockBar\n"
                                        "left 59420 circle 0 CExtDockOuterBar\n"
                                        "left 59420 circle 1 CExtDockBar\n"
                                        "left 59420 circle 2 CExtDockBar\n"
                                        "right 59421 circle 0 CExtDockOuterBar\n"
                                        "right 59421 circle 1 CExtDockBar\n"
                                        "  row 59482\n"
                                        "right 59421 circle 2 CExtDockBar\n");
}

TEST_F(ExtDynTabControlBarTest, DroppingAContainerOfThreeInsertsItsPanesInRowOrder)
{
    CExtDynTabControlBar* pTabbed = MakeTabs({0});
    ASSERT_NE(pTabbed, nullptr);
    // Charlie, Delta and Echo side by side in a floating container.
    ASSERT_TRUE(m_panes[2].FloatAt(500, 420, CBRS_ALIGN_TOP));
    ASSERT_TRUE(m_panes[3].DockBeside(50, &m_panes[2], AFX_IDW_DOCKBAR_RIGHT, true));
    ASSERT_TRUE(m_panes[4].DockBeside(50, &m_panes[3], AFX_IDW_DOCKBAR_RIGHT, true));
    Layout();
    CExtControlBar* pSource = static_cast<CExtControlBar*>(m_panes[2].m_pDockBar->GetParent());
    ASSERT_TRUE(pSource->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)));
    const HWND hSource = pSource->m_hWnd;

    CExtControlBar::InternalDraggingState_t state(pSource);
    state.m_bEmpty = false;
    state.m_pTarget = pTabbed;
    state.m_eDropKind = 29;
    state.m_nTabIndex = 1;
    ASSERT_TRUE(pSource->ApplyDrop(state, true));
    Layout();

    EXPECT_EQ(Tabs(pTabbed),
              (std::vector<CExtControlBar*>{&m_panes[1], &m_panes[2], &m_panes[3], &m_panes[4], &m_panes[0]}));
    EXPECT_EQ(pTabbed->m_wndTabs.GetSelectedIndex(), 1);
    EXPECT_FALSE(::IsWindow(hSource));
    for (CPagePane& pane : m_panes)
        EXPECT_EQ(pane.GetTabbedContainer(), pTabbed);
}

TEST_F(ExtDynTabControlBarTest, FrameBarsListTheContainerForItsPagesUnlessEverythingIsAsked)
{
    CExtDynTabControlBar* pContainer = MakeTabs({0});
    ASSERT_NE(pContainer, nullptr);
    auto count = [](const CArray<CExtControlBar*, CExtControlBar*>& arr, const CExtControlBar* pBar)
    {
        int n = 0;
        for (INT_PTR i = 0; i < arr.GetSize(); ++i)
            n += arr[i] == pBar ? 1 : 0;
        return n;
    };
    const CPoint kNowhere(-1000, -1000);
    CArray<CExtControlBar*, CExtControlBar*> arr;
    CExtControlBar::CollectFrameBars(nullptr, &m_frame, arr, 0x5FF, kNowhere);
    EXPECT_EQ(count(arr, pContainer), 1);
    EXPECT_EQ(count(arr, &m_panes[0]), 0);
    EXPECT_EQ(count(arr, &m_panes[1]), 0);
    CExtControlBar::CollectFrameBars(nullptr, &m_frame, arr, 0xFFF, kNowhere);
    EXPECT_EQ(count(arr, pContainer), 1);
    EXPECT_EQ(count(arr, &m_panes[0]), 1);
    EXPECT_EQ(count(arr, &m_panes[1]), 1);
}

TEST_F(ExtDynTabControlBarTest, ShowingAPageByItsCommandBringsItForward)
{
    CExtDynTabControlBar* pContainer = MakeTabs({0});
    ASSERT_NE(pContainer, nullptr);
    CExtDynTabWnd& tabs = pContainer->m_wndTabs;
    CPagePane* pBehind = tabs.GetSelectedIndex() == tabs.FindBarItem(&m_panes[0]) ? &m_panes[1] : &m_panes[0];
    ASSERT_NE(tabs.GetSelectedIndex(), tabs.FindBarItem(pBehind));
    EXPECT_TRUE(CExtControlBar::ToggleFrameBarByCommand(&m_frame, pBehind->GetDlgCtrlID(), false));
    kxgui::PumpUntilIdle();
    EXPECT_EQ(tabs.GetSelectedIndex(), tabs.FindBarItem(pBehind));
    EXPECT_EQ(::GetFocus(), pBehind->m_child.m_hWnd);
    EXPECT_TRUE(pBehind->IsWindowVisible());
}

TEST_F(ExtDynTabControlBarTest, CtrlPageDownWrapsAndOneVisibleTabKeepsTheSelection)
{
    CExtDynTabControlBar* pContainer = MakeTabs({0, 2});
    ASSERT_NE(pContainer, nullptr);
    CExtDynTabWnd& tabs = pContainer->m_wndTabs;
    auto pressCtrlPageDown = [&]
    {
        kxgui::InputScript input;
        input.KeyDown(VK_CONTROL).Key(VK_NEXT).KeyUp(VK_CONTROL).Send();
        kxgui::PumpUntilIdle([&](MSG& msg) { return CWnd::WalkPreTranslateTree(m_frame.m_hWnd, &msg) != FALSE; });
    };
    tabs.SelectItem(2, true, true);
    m_panes[2].m_child.SetFocus();
    pressCtrlPageDown();
    EXPECT_EQ(tabs.GetSelectedIndex(), 0);
    EXPECT_EQ(pContainer->GetSelectedPage(), &m_panes[1]);

    // Hiding the selected page selects the next shown page below it.
    HWND hAbove = ::GetWindow(m_panes[1].m_hWnd, GW_HWNDNEXT);
    ASSERT_NE(hAbove, nullptr);
    m_frame.ShowControlBar(&m_panes[1], FALSE, FALSE);
    pContainer->OnPageVisibilityChanged(&m_panes[1]);
    ASSERT_GE(tabs.GetSelectedIndex(), 0);
    EXPECT_EQ(pContainer->GetSelectedPage()->m_hWnd, hAbove);
    EXPECT_FALSE(tabs.GetItem(0)->IsVisible());

    // With one visible tab left the key is taken and changes nothing.
    CExtControlBar* pOther = pContainer->GetSelectedPage() == &m_panes[0] ? &m_panes[2] : &m_panes[0];
    m_frame.ShowControlBar(pOther, FALSE, FALSE);
    pContainer->OnPageVisibilityChanged(pOther);
    const int nSelected = tabs.GetSelectedIndex();
    ASSERT_GE(nSelected, 0);
    ::SetFocus(static_cast<CPagePane*>(pContainer->GetSelectedPage())->m_child.m_hWnd);
    MSG msg = {};
    kxgui::InputScript input;
    input.KeyDown(VK_CONTROL).Send();
    kxgui::PumpUntilIdle();
    msg.hwnd = ::GetFocus();
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_NEXT;
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(m_frame.m_hWnd, &msg));
    kxgui::InputScript release;
    release.KeyUp(VK_CONTROL).Send();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(tabs.GetSelectedIndex(), nSelected);
    // Hiding the last shown page leaves no selection.
    CExtControlBar* pLast = pContainer->GetSelectedPage();
    m_frame.ShowControlBar(pLast, FALSE, FALSE);
    pContainer->OnPageVisibilityChanged(pLast);
    EXPECT_EQ(tabs.GetSelectedIndex(), -1);
}

TEST_F(ExtDynTabControlBarTest, DoubleClickingATabFloatsItsPage)
{
    CExtDynTabControlBar* pContainer = MakeTabs({0, 2});
    ASSERT_NE(pContainer, nullptr);
    m_panes[2].m_ptFloatPos = CPoint(480, 360);
    CExtDynTabWnd& tabs = pContainer->m_wndTabs;
    const CPoint ptTab = TabPoint(tabs, 2);
    tabs.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(ptTab.x, ptTab.y));
    Layout();
    EXPECT_TRUE(m_panes[2].IsFloating());
    EXPECT_EQ(WindowRect(m_panes[2].GetParentFrame()).TopLeft(), CPoint(480, 360));
    EXPECT_EQ(Tabs(pContainer), (std::vector<CExtControlBar*>{&m_panes[1], &m_panes[0]}));
    // With one page left the container goes.
    const HWND hContainer = pContainer->m_hWnd;
    const CPoint ptSecond = TabPoint(tabs, 1);
    tabs.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(ptSecond.x, ptSecond.y));
    Layout();
    EXPECT_FALSE(::IsWindow(hContainer));
    EXPECT_EQ(TopSlot(), &m_panes[1]) << DumpDockLayout(&m_frame);
}

TEST_F(ExtDynTabControlBarTest, PreviewTabAloneLooksSelectedAndGoesWithTheTarget)
{
    CExtDynTabControlBar* pContainer = MakeTabs({0});
    ASSERT_NE(pContainer, nullptr);
    CExtDynTabWnd& tabs = pContainer->m_wndTabs;
    CExtControlBar::InternalDraggingState_t state(&m_panes[2]);
    state.m_bEmpty = false;
    state.m_pTarget = pContainer;
    state.m_eDropKind = 29;
    state.m_nTabIndex = 1;
    state.DrawTrackingOutline(false);
    // the previewed pane floats in no mini frame: nothing is hidden for it
    EXPECT_TRUE(m_frame.IsWindowVisible());
    ASSERT_EQ(tabs.GetItemCount(), 3);
    EXPECT_EQ(tabs.GetBarAt(1, false), &m_panes[2]);
    EXPECT_EQ(tabs.GetBarAt(1, true), nullptr);
    EXPECT_TRUE(tabs.HasTemporaryItems());
    // A new target takes the preview away.
    state.SetTarget(nullptr, false);
    EXPECT_EQ(tabs.GetItemCount(), 2);
    EXPECT_FALSE(tabs.HasTemporaryItems());
}

TEST_F(ExtDynTabControlBarTest, AnOleDragOverATabSelectsItAndIsRefused)
{
    CExtDynTabControlBar* pContainer = MakeTabs({0});
    ASSERT_NE(pContainer, nullptr);
    CExtDynTabWnd& tabs = pContainer->m_wndTabs;
    tabs.SelectItem(0, true, true);
    const CPoint ptTab = TabPoint(tabs, 1);
    const int nSavedDelay = CExtControlBar::g_nTabHoverSelectDelay;
    // Past a delay the hover-select timer waits for the tab; none selects at once.
    EXPECT_EQ(tabs.m_dropTarget.OnDragEnter(&tabs, nullptr, 0, ptTab), DROPEFFECT_NONE);
    EXPECT_EQ(tabs.GetHoverSelectIndex(), 1);
    EXPECT_EQ(tabs.GetSelectedIndex(), 0);
    tabs.SetHoverSelectTimer(-1, 0);
    CExtControlBar::g_nTabHoverSelectDelay = 0;
    EXPECT_EQ(tabs.m_dropTarget.OnDragOver(&tabs, nullptr, 0, ptTab), DROPEFFECT_NONE);
    CExtControlBar::g_nTabHoverSelectDelay = nSavedDelay;
    EXPECT_EQ(tabs.GetSelectedIndex(), 1);
    EXPECT_EQ(pContainer->GetSelectedPage(), &m_panes[0]);
}

TEST_F(ExtDynTabControlBarTest, ScreenshotsOfTabbedContainersAndPreviews)
{
    CExtDynTabControlBar* pContainer = MakeTabs({0, 2});
    ASSERT_NE(pContainer, nullptr);
    CPagePane& dragged = m_panes[3];
    CExtDynTabWnd& tabs = pContainer->m_wndTabs;
    for (int nTheme = 0; nTheme < 4; ++nTheme)
    {
        SCOPED_TRACE(ExtTestThemeName(nTheme));
        ASSERT_TRUE(dragged.FloatAt(560, 450, CBRS_ALIGN_TOP));
        Layout();
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
        m_frame.SetForegroundWindow();
        m_frame.RedrawWindow(nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_frame.m_hWnd);
        ASSERT_FALSE(shot.IsEmpty());
        kxgui::SaveArtifact(shot, std::string("docking-tabbed-") + ExtTestThemeName(nTheme) + ".png");

        // The preview is taken from inside the drag, the button still held.
        kxgui::PixelBuffer preview;
        bool bFrameShown = false;
        dragged.m_onDragStep = [&]()
        {
            if (!preview.IsEmpty() || !tabs.HasTemporaryItems())
                return;
            m_frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            bFrameShown = m_frame.IsWindowVisible() != FALSE;
            preview = kxgui::CaptureScreen(m_frame.m_hWnd);
        };
        CRect rcFloat = WindowRect(dragged.GetParentFrame());
        CPoint ptCaption(rcFloat.CenterPoint().x, rcFloat.top + ::GetSystemMetrics(SM_CYSMCAPTION) / 2 + 2);
        m_frame.ScreenToClient(&ptCaption);
        CPoint ptTab = TabPoint(tabs, 1);
        tabs.ClientToScreen(&ptTab);
        m_frame.ScreenToClient(&ptTab);
        kxgui::InputScript input;
        input.MoveTo(m_frame.m_hWnd, ptCaption)
            .ButtonDown()
            .MoveTo(m_frame.m_hWnd, ptCaption + CSize(0, 10))
            .MoveTo(m_frame.m_hWnd, ptTab + CSize(-3, 0))
            .MoveTo(m_frame.m_hWnd, ptTab)
            .Key(VK_ESCAPE)
            .ButtonUp();
        const int nFinished = dragged.m_nFinished;
        input.Play(80);
        ASSERT_TRUE(PumpUntil([&] { return dragged.m_nFinished > nFinished; }));
        input.Wait();
        dragged.m_onDragStep = nullptr;
        Layout();
        ASSERT_FALSE(preview.IsEmpty());
        EXPECT_TRUE(bFrameShown);
        kxgui::SaveArtifact(preview, std::string("docking-tab-preview-") + ExtTestThemeName(nTheme) + ".png");
        // marker docking has nothing to undo: the end of the drag keeps the
        // previewed tab as a page
        EXPECT_FALSE(tabs.HasTemporaryItems());
        EXPECT_EQ(dragged.GetTabbedContainer(), pContainer);
        EXPECT_EQ(tabs.GetBarAt(1, false), &dragged);
    }
}

} // namespace
