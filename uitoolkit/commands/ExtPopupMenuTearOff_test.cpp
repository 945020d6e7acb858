// Tearing a menu off by its tear-off bar under a frame with the framework's
// docking: an owner that ignores the notification, a bar floated at the
// cursor, the menu coming back in the start area, the end by a button or a
// key, and a picture of the torn-off bar; under the toolkit's docking the
// bar floats in the toolkit's own floating frame and docks back as any bar.
// The drag loop sees input only through the menu hooks, so each step is real
// input sent from a thread timer: a timer message comes only once the input
// before it was handled.
#include "framework/win/AfxRes.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{

using TEAROFF = CExtPopupMenuWnd::TEAROFFNOTIFICATON;

const UINT kIdBar = 0xE900;

class CTearOffBar : public CExtControlBar
{
public:
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? CSize(180, 40) : CSize(40, 180); }
    CSize CalcDynamicLayout(int, DWORD dwMode) override { return CalcFixedLayout(FALSE, (dwMode & LM_HORZ) != 0); }
};

// What the owner saw at one drag step.
struct Step
{
    bool bMenuVisible;
    bool bBarVisible;
    bool bBarFloating;
    CPoint ptCursor;
    CPoint ptFrame;
};

// Answers the tear-off with its bar (unless told to ignore it) and records
// every notification.
class CTearOffFrame : public CFrameWnd
{
public:
    bool m_bSupplyBar = true;
    std::vector<int> m_codes;
    std::vector<Step> m_steps;
    int m_nWheels = 0;
    CTearOffBar m_bar;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_MOUSEWHEEL)
            ++m_nWheels;
        if (message != CExtPopupMenuWnd::g_nMsgTearOff)
            return CFrameWnd::WindowProc(message, wParam, lParam);
        auto* pNotify = reinterpret_cast<TEAROFF*>(wParam);
        m_codes.push_back(pNotify->m_nCode);
        if (pNotify->m_nCode == TEAROFF::CODE_START && m_bSupplyBar)
            pNotify->m_hWndSubstituteBar = m_bar.GetSafeHwnd();
        if (pNotify->m_nCode == TEAROFF::CODE_STEP)
        {
            Step step{::IsWindowVisible(pNotify->m_hWndMenu) != FALSE, m_bar.IsWindowVisible() != FALSE,
                      m_bar.IsFloating() != FALSE, CPoint(), CPoint()};
            ::GetCursorPos(&step.ptCursor);
            if (step.bBarFloating)
            {
                CRect rc;
                m_bar.GetParentFrame()->GetWindowRect(&rc);
                step.ptFrame = rc.TopLeft();
            }
            m_steps.push_back(step);
        }
        return 0;
    }
};

// Runs one step per tick of a thread timer until all have run. A step that
// starts the drag loop returns at once; the loop then runs the later ticks.
class TimedSteps
{
public:
    explicit TimedSteps(std::vector<std::function<void()>> steps) : m_steps(std::move(steps))
    {
        g_pRunning = this;
        m_nTimer = ::SetTimer(nullptr, 0, 20, &TimedSteps::OnTimer);
    }
    ~TimedSteps()
    {
        ::KillTimer(nullptr, m_nTimer);
        g_pRunning = nullptr;
    }
    TimedSteps(const TimedSteps&) = delete;
    TimedSteps& operator=(const TimedSteps&) = delete;
    void RunAll()
    {
        while (m_nNext < m_steps.size())
        {
            ::WaitMessage();
            kxgui::PumpUntilIdle();
        }
        kxgui::PumpUntilIdle();
    }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        TimedSteps* pThis = g_pRunning;
        if (pThis != nullptr && pThis->m_nNext < pThis->m_steps.size())
            pThis->m_steps[pThis->m_nNext++]();
    }
    static TimedSteps* g_pRunning;
    std::vector<std::function<void()>> m_steps;
    size_t m_nNext = 0;
    UINT_PTR m_nTimer = 0;
};
TimedSteps* TimedSteps::g_pRunning = nullptr;

class PopupMenuTearOffTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_PaintManager.InstallPaintManager(nullptr);
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
        m_pFrame = new CTearOffFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "tear-off", WS_OVERLAPPEDWINDOW, CRect(0, 0, 500, 400)));
        if (m_bToolkitDocking)
            ASSERT_TRUE(CExtControlBar::EnableFrameDocking(m_pFrame));
        else
            m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_TRUE(m_pFrame->m_bar.Create("Torn off", m_pFrame, kIdBar, WS_CHILD | CBRS_TOP));
        m_pFrame->m_bar.EnableDocking(CBRS_ALIGN_ANY);
        if (m_bToolkitDocking)
            static_cast<CExtDockBar*>(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP))
                ->GetCircleDockBar(1)
                ->DockControlBar(&m_pFrame->m_bar, nullptr);
        else
            m_pFrame->DockControlBar(&m_pFrame->m_bar, AFX_IDW_DOCKBAR_TOP);
        m_pFrame->ShowControlBar(&m_pFrame->m_bar, FALSE, FALSE);
        m_pFrame->ShowWindow(SW_SHOW);
        kxgui::Activate(m_pFrame->GetSafeHwnd());
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        CloseActivePopupTree();
        kxgui::PumpUntilIdle();
        CExtPopupBaseWnd::g_nDefaultAnimationKind = m_nOldAnimationKind;
        m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    // A menu with a tear-off bar, tracked at (100, 100).
    CExtPopupMenuWnd* Track()
    {
        auto* pMenu = new CExtPopupMenuWnd;
        pMenu->CreatePopupMenu(m_pFrame->GetSafeHwnd());
        pMenu->ItemInsertCommand(10, -1, "&Alpha");
        pMenu->ItemInsertCommand(11, -1, "&Beta");
        if (!pMenu->TrackPopupMenu(CExtPopupMenuWnd::TRACK_TEAR_OFF | CExtPopupMenuWnd::TRACK_NO_ANIMATION, 100, 100))
            return nullptr;
        kxgui::PumpUntilIdle();
        return pMenu;
    }
    static CPoint TearOffBarPoint(CExtPopupMenuWnd* pMenu)
    {
        CRect rc;
        pMenu->ItemGetRect(CExtPopupMenuWnd::IDX_TEAR_OFF, rc, false);
        return rc.CenterPoint();
    }
    static bool IsTracked() { return CExtPopupMenuWnd::GetTracker().GetTopPopup() != nullptr; }

    // Presses on the tear-off bar, moves to each point (client points of the
    // menu) and releases the button at the last.
    static void Drag(CExtPopupMenuWnd* pMenu, const std::vector<CPoint>& path)
    {
        const HWND hWndMenu = pMenu->GetSafeHwnd();
        std::vector<std::function<void()>> steps;
        steps.push_back([=]() { kxgui::InputScript().MoveTo(hWndMenu, TearOffBarPoint(pMenu)).Send(); });
        steps.push_back([]() { kxgui::InputScript().ButtonDown().Send(); });
        for (const CPoint& pt : path)
            steps.push_back([=]() { kxgui::InputScript().MoveTo(hWndMenu, pt).Send(); });
        steps.push_back([]() { kxgui::InputScript().ButtonUp().Send(); });
        TimedSteps(std::move(steps)).RunAll();
    }

    CWinApp m_app{"Kestrelux"};
    CTearOffFrame* m_pFrame = nullptr;
    // the frame docks its bars in the toolkit's dock bars, not the framework's
    bool m_bToolkitDocking = false;
    const int m_nOldAnimationKind = CExtPopupBaseWnd::g_nDefaultAnimationKind;
};

TEST_F(PopupMenuTearOffTest, AnOwnerThatIgnoresTheNoticeLeavesTheMenuAsItWas)
{
    m_pFrame->m_bSupplyBar = false;
    CExtPopupMenuWnd* pMenu = Track();
    ASSERT_NE(pMenu, nullptr);
    CRect rcBefore;
    pMenu->GetWindowRect(&rcBefore);
    Drag(pMenu, {CPoint(250, 200), CPoint(300, 260)});
    ASSERT_TRUE(IsTracked());
    CRect rcAfter;
    pMenu->GetWindowRect(&rcAfter);
    EXPECT_EQ(rcAfter, rcBefore);
    EXPECT_TRUE(pMenu->IsWindowVisible());
    EXPECT_EQ(pMenu->ItemGetCount(), 2);
    EXPECT_EQ(m_pFrame->m_codes, std::vector<int>{TEAROFF::CODE_START});
    EXPECT_FALSE(m_pFrame->m_bar.IsVisible());
    EXPECT_EQ(TEAROFF::g_pActive, nullptr);
}

TEST_F(PopupMenuTearOffTest, TheBarFloatsAtTheCursorAndTheTreeClosesWhenTheMenuStaysHidden)
{
    CExtPopupMenuWnd* pMenu = Track();
    ASSERT_NE(pMenu, nullptr);
    Drag(pMenu, {CPoint(200, 150), CPoint(260, 210)});
    EXPECT_FALSE(IsTracked());
    ASSERT_TRUE(m_pFrame->m_bar.IsFloating());
    EXPECT_TRUE(m_pFrame->m_bar.IsWindowVisible());
    CPoint ptCursor;
    ::GetCursorPos(&ptCursor);
    CRect rcFrame;
    m_pFrame->m_bar.GetParentFrame()->GetWindowRect(&rcFrame);
    EXPECT_EQ(rcFrame.TopLeft(), ptCursor - CSize(30, 10));
    ASSERT_FALSE(m_pFrame->m_steps.empty());
    const Step& last = m_pFrame->m_steps.back();
    EXPECT_FALSE(last.bMenuVisible);
    EXPECT_EQ(last.ptFrame, last.ptCursor - CSize(30, 10));
    EXPECT_EQ(m_pFrame->m_codes.front(), TEAROFF::CODE_START);
    EXPECT_EQ(m_pFrame->m_codes.back(), TEAROFF::CODE_END);
    EXPECT_EQ(TEAROFF::g_pActive, nullptr);
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_pFrame->m_bar.GetParentFrame()->GetSafeHwnd(), false),
                        "menu_torn_off_bar.png");
}

TEST_F(PopupMenuTearOffTest, BackInTheStartAreaTheMenuShowsAgainAndStaysOpen)
{
    CExtPopupMenuWnd* pMenu = Track();
    ASSERT_NE(pMenu, nullptr);
    const CPoint ptBar = TearOffBarPoint(pMenu);
    Drag(pMenu, {CPoint(220, 180), ptBar + CSize(2, 2)});
    ASSERT_TRUE(IsTracked());
    EXPECT_TRUE(pMenu->IsWindowVisible());
    EXPECT_FALSE(m_pFrame->m_bar.IsWindowVisible());
    EXPECT_FALSE(m_pFrame->m_bar.GetParentFrame()->IsWindowVisible());
    bool bHiddenOnTheWay = false;
    for (const Step& step : m_pFrame->m_steps)
        bHiddenOnTheWay = bHiddenOnTheWay || (!step.bMenuVisible && step.bBarVisible && step.bBarFloating);
    EXPECT_TRUE(bHiddenOnTheWay);
    EXPECT_EQ(m_pFrame->m_codes.back(), TEAROFF::CODE_END);
}

TEST_F(PopupMenuTearOffTest, AKeyEndsTheDragAndTheWheelIsSwallowed)
{
    CExtPopupMenuWnd* pMenu = Track();
    ASSERT_NE(pMenu, nullptr);
    const HWND hWndMenu = pMenu->GetSafeHwnd();
    std::vector<std::function<void()>> steps;
    steps.push_back([=]() { kxgui::InputScript().MoveTo(hWndMenu, TearOffBarPoint(pMenu)).Send(); });
    steps.push_back([]() { kxgui::InputScript().ButtonDown().Send(); });
    steps.push_back([=]() { kxgui::InputScript().MoveTo(hWndMenu, CPoint(240, 200)).Send(); });
    steps.push_back(
        []()
        {
            INPUT wheel = {};
            wheel.type = INPUT_MOUSE;
            wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
            wheel.mi.mouseData = static_cast<DWORD>(WHEEL_DELTA);
            ::SendInput(1, &wheel, sizeof(wheel));
        });
    steps.push_back([]() { kxgui::InputScript().KeyDown(VK_SHIFT).Send(); });
    steps.push_back([]() { kxgui::InputScript().KeyUp(VK_SHIFT).ButtonUp().Send(); });
    TimedSteps(std::move(steps)).RunAll();
    EXPECT_EQ(m_pFrame->m_nWheels, 0);
    EXPECT_FALSE(IsTracked());
    EXPECT_TRUE(m_pFrame->m_bar.IsFloating());
    EXPECT_EQ(m_pFrame->m_codes.back(), TEAROFF::CODE_END);
    EXPECT_EQ(TEAROFF::g_pActive, nullptr);
}

class PopupMenuTearOffToolkitDockingTest : public PopupMenuTearOffTest
{
protected:
    PopupMenuTearOffToolkitDockingTest() { m_bToolkitDocking = true; }
};

TEST_F(PopupMenuTearOffToolkitDockingTest, TheTornOffBarFloatsInTheToolkitsOwnFloatingFrame)
{
    CExtPopupMenuWnd* pMenu = Track();
    ASSERT_NE(pMenu, nullptr);
    Drag(pMenu, {CPoint(200, 150), CPoint(260, 210)});
    EXPECT_FALSE(IsTracked());
    CTearOffBar& bar = m_pFrame->m_bar;
    ASSERT_TRUE(bar.IsFloating());
    EXPECT_TRUE(bar.IsWindowVisible());
    CFrameWnd* pFloating = bar.GetParentFrame();
    ASSERT_NE(pFloating, nullptr);
    EXPECT_TRUE(pFloating->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)));
    EXPECT_TRUE(pFloating->IsWindowVisible());
    ASSERT_NE(bar.m_pDockBar, nullptr);
    EXPECT_TRUE(bar.m_pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)));
    EXPECT_EQ(bar.m_pDockSite, m_pFrame);
    CPoint ptCursor;
    ::GetCursorPos(&ptCursor);
    CRect rcFrame;
    pFloating->GetWindowRect(&rcFrame);
    EXPECT_EQ(rcFrame.TopLeft(), ptCursor - CSize(30, 10));
    // docked back by the toolkit, as any floating bar
    CExtDockBar* pCircle = static_cast<CExtDockBar*>(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP))->GetCircleDockBar(1);
    pCircle->DockControlBar(&bar, nullptr);
    m_pFrame->RecalcLayout();
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.GetParent(), pCircle);
}

} // namespace
