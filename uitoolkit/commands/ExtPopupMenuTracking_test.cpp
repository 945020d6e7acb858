// Tracking popup menus under a real owner frame: showing, the ownership of
// the menu object, the own message loop, the thread hooks, the painting
// through the theme and screenshots of tracked menus.
#include "framework/win/AfxMsg.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/core/ExtPopupMenuPlacement.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/PopupStage.h"

#include <gtest/gtest.h>

namespace
{

const UINT kDocumentMenu = 0x7320;
const char* const kProfile = "popup-tracking-test";
const UINT_PTR kEscapeTimer = 77;

// Counts its deletions and the keys that reach it.
class CCountedMenu : public CExtPopupMenuWnd
{
public:
    ~CCountedMenu() override { ++g_nDeleted; }
    bool OnKeyDown(UINT nVirtualKey, UINT nRepeat, UINT nFlags, bool& bPassOn) override
    {
        ++m_nKeys;
        return CExtPopupMenuWnd::OnKeyDown(nVirtualKey, nRepeat, nFlags, bPassOn);
    }
    void SetLeftAreaWidth(int nWidth) { m_nLeftAreaWidth = nWidth; }

    static int g_nDeleted;
    int m_nKeys = 0;
};
int CCountedMenu::g_nDeleted = 0;

// Closes its own tree from its click handler and leaves the click unhandled.
class CClosingMenu : public CCountedMenu
{
public:
    bool OnMouseClick(UINT, CPoint, bool&) override
    {
        CloseTree(false);
        return false;
    }
};

// The application's main frame as far as menus see it.
class CMenuOwnerFrame : public CFrameWnd
{
public:
    afx_msg LRESULT OnPrepareMenu(WPARAM wParam, LPARAM)
    {
        ++m_nPrepared;
        if (m_bCancel)
            reinterpret_cast<CExtPopupMenuWnd::PrepareMenuNotify_t*>(wParam)->m_nFlags |=
                CExtPopupMenuWnd::PrepareMenuNotify_t::CANCEL;
        return 0;
    }
    afx_msg LRESULT OnMenuClosed(WPARAM, LPARAM lParam)
    {
        ++m_nClosed;
        m_lClosedMenu = lParam;
        return 0;
    }
    afx_msg LRESULT OnMenuExpanded(WPARAM, LPARAM)
    {
        ++m_nExpanded;
        return 0;
    }
    afx_msg LRESULT OnDrawItem(WPARAM, LPARAM lParam)
    {
        const auto* pRecord = reinterpret_cast<const CExtPopupMenuWnd::ItemDrawRecord_t*>(lParam);
        ++m_nDrawItem;
        return pRecord->m_pItemData->GetCmdID() == m_nOwnDrawnCmd ? 1 : 0;
    }
    afx_msg LRESULT OnDrawLeftArea(WPARAM, LPARAM lParam)
    {
        auto* pRecord = reinterpret_cast<CExtPopupMenuWnd::LeftAreaDrawRecord_t*>(lParam);
        if (!m_bPaintLeftArea)
            return 0;
        pRecord->m_dc.FillSolidRect(pRecord->m_prcLeftArea, RGB(255, 0, 0));
        return 1;
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        if (nIDEvent != kEscapeTimer)
            return;
        KillTimer(kEscapeTimer);
        kxgui::InputScript().Key(VK_ESCAPE).Send();
    }
    afx_msg void OnRButtonDown(UINT, CPoint) { ++m_nRButtonDown; }
    afx_msg void OnCommandNew() {}
    afx_msg void OnCommandOpen() {}

    int m_nPrepared = 0;
    bool m_bCancel = false;
    int m_nClosed = 0;
    LPARAM m_lClosedMenu = 0;
    int m_nDrawItem = 0;
    int m_nExpanded = 0;
    UINT m_nOwnDrawnCmd = 0;
    bool m_bPaintLeftArea = false;
    int m_nRButtonDown = 0;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMenuOwnerFrame, CFrameWnd)
ON_REGISTERED_MESSAGE(CExtPopupMenuWnd::g_nMsgPrepareMenu, OnPrepareMenu)
ON_REGISTERED_MESSAGE(CExtPopupMenuWnd::g_nMsgNotifyMenuClosed, OnMenuClosed)
ON_REGISTERED_MESSAGE(CExtPopupMenuWnd::g_nMsgNotifyMenuExpanded, OnMenuExpanded)
ON_REGISTERED_MESSAGE(CExtPopupMenuWnd::g_nMsgPopupDrawItem, OnDrawItem)
ON_REGISTERED_MESSAGE(CExtPopupMenuWnd::g_nMsgPopupDrawLeftArea, OnDrawLeftArea)
ON_WM_TIMER()
ON_WM_RBUTTONDOWN()
ON_COMMAND(100, OnCommandNew)
ON_COMMAND(101, OnCommandOpen)
END_MESSAGE_MAP()

class PopupMenuTrackingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_PaintManager.InstallPaintManager(nullptr);
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
        // the test profile's commands were never used: all would count as
        // rarely used and hide behind the expand button
        CExtPopupMenuWnd::g_bCollapseRarelyUsed = false;
        CCountedMenu::g_nDeleted = 0;
        m_pFrame = new CMenuOwnerFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "menus", WS_OVERLAPPEDWINDOW, CRect(0, 0, 640, 480)));
        m_pFrame->ShowWindow(SW_SHOW);
        kxgui::Activate(m_pFrame->GetSafeHwnd());
        ASSERT_TRUE(g_CmdManager->SetupProfile(kProfile, m_pFrame->GetSafeHwnd()));
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        CloseActivePopupTree();
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationFade;
        CExtPopupMenuWnd::g_bCollapseRarelyUsed = true;
        g_PaintManager.InstallPaintManager(nullptr);
        g_CmdManager->DetachWindowFromProfile(m_pFrame->GetSafeHwnd(), true);
        m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    HWND Target() const { return m_pFrame->GetSafeHwnd(); }
    CCountedMenu* NewMenu()
    {
        auto* pMenu = new CCountedMenu;
        EXPECT_TRUE(pMenu->LoadMenu(Target(), kDocumentMenu));
        return pMenu;
    }
    static CExtPopupMenuTracker& Tracker() { return CExtPopupMenuWnd::GetTracker(); }

    CWinApp m_app{"Kestrelux"};
    CMenuOwnerFrame* m_pFrame = nullptr;
};

TEST_F(PopupMenuTrackingTest, TrackAtPointShowsTopMostWithoutFocusAndClosesCleanly)
{
    CCountedMenu* pMenu = NewMenu();
    ASSERT_TRUE(pMenu->TrackPopupMenu(0, 100, 120));
    kxgui::PumpUntilIdle();

    const HWND hWndMenu = pMenu->GetSafeHwnd();
    ASSERT_TRUE(::IsWindow(hWndMenu));
    EXPECT_TRUE(::IsWindowVisible(hWndMenu));
    EXPECT_NE(::GetWindowLongA(hWndMenu, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_NE(::GetFocus(), hWndMenu);
    EXPECT_NE(::GetActiveWindow(), hWndMenu);
    CRect rcWnd;
    ::GetWindowRect(hWndMenu, &rcWnd);
    EXPECT_EQ(rcWnd.TopLeft(), CPoint(100, 120));
    EXPECT_TRUE(IsPopupTrackingActive());
    EXPECT_EQ(Tracker().GetTopPopup(), pMenu);
    EXPECT_EQ(Tracker().GetCapturePopup(), pMenu);
    EXPECT_NE(Tracker().GetMouseHook(), nullptr);
    EXPECT_NE(Tracker().GetKeyboardHook(), nullptr);
    EXPECT_EQ(m_pFrame->m_nPrepared, 1);

    CloseActivePopupTree();
    EXPECT_FALSE(::IsWindow(hWndMenu));
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(Tracker().GetMouseHook(), nullptr);
    EXPECT_EQ(Tracker().GetKeyboardHook(), nullptr);
    EXPECT_EQ(CCountedMenu::g_nDeleted, 1);
    EXPECT_EQ(m_pFrame->m_nClosed, 1);
    EXPECT_EQ(m_pFrame->m_lClosedMenu, reinterpret_cast<LPARAM>(pMenu));
}

TEST_F(PopupMenuTrackingTest, SecondTrackClosesTheFirstTree)
{
    CCountedMenu* pFirst = NewMenu();
    ASSERT_TRUE(pFirst->TrackPopupMenu(0, 100, 120));
    CCountedMenu* pSecond = NewMenu();
    ASSERT_TRUE(pSecond->TrackPopupMenu(0, 200, 120));
    EXPECT_EQ(CCountedMenu::g_nDeleted, 1);
    EXPECT_EQ(Tracker().GetTopPopup(), pSecond);
    CloseActivePopupTree();
    EXPECT_EQ(CCountedMenu::g_nDeleted, 2);
}

TEST_F(PopupMenuTrackingTest, OwnLoopReturnsOnlyAfterTheTreeClosed)
{
    CCountedMenu* pMenu = NewMenu();
    m_pFrame->SetTimer(kEscapeTimer, 50, nullptr);
    EXPECT_TRUE(pMenu->TrackPopupMenu(CExtPopupMenuWnd::TRACK_OWN_LOOP, 100, 120));
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(CCountedMenu::g_nDeleted, 1);
    EXPECT_EQ(m_pFrame->m_nClosed, 1);
}

TEST_F(PopupMenuTrackingTest, CancelledPreparationShowsNothingAndDeletesTheMenu)
{
    m_pFrame->m_bCancel = true;
    CCountedMenu* pMenu = NewMenu();
    UINT nResult = 55;
    EXPECT_FALSE(
        pMenu->TrackPopupMenu(CExtPopupMenuWnd::TRACK_OWN_LOOP, 100, 120, nullptr, nullptr, nullptr, &nResult));
    EXPECT_EQ(nResult, 0u);
    EXPECT_EQ(m_pFrame->m_nPrepared, 1);
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(Tracker().GetMouseHook(), nullptr);
    EXPECT_EQ(CCountedMenu::g_nDeleted, 1);
    EXPECT_EQ(m_pFrame->m_nClosed, 0);
}

MOUSEHOOKSTRUCT HookRecord(HWND hWnd, POINT ptScreen)
{
    MOUSEHOOKSTRUCT mhs = {};
    mhs.pt = ptScreen;
    mhs.hwnd = hWnd;
    mhs.wHitTestCode = HTCLIENT;
    return mhs;
}

// Input waits until a menu has finished appearing, which takes timer
// messages: wait for them rather than only for an idle queue.
void WaitUntilShown(CExtPopupMenuWnd* pMenu)
{
    kxgui::PumpUntilIdle();
    for (int i = 0; i < 200 && !pMenu->m_animation.Finished; ++i)
    {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        kxgui::PumpUntilIdle();
    }
}

TEST_F(PopupMenuTrackingTest, RightClickOutsideClosesTheTreeAndReachesTheWindowBelow)
{
    CCountedMenu* pMenu = NewMenu();
    ASSERT_TRUE(pMenu->TrackPopupMenu(CExtPopupMenuWnd::TRACK_NO_ANIMATION, 300, 100));
    WaitUntilShown(pMenu);
    const POINT ptOutside = {40, 60};
    kxgui::InputScript().Click(Target(), ptOutside, true).Send();
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(CCountedMenu::g_nDeleted, 1);
    EXPECT_EQ(m_pFrame->m_nRButtonDown, 1);
}

TEST_F(PopupMenuTrackingTest, MouseHookEatsTheButtonUpOfAClickOutside)
{
    const struct
    {
        UINT Message;
        LRESULT Expected; // 1: eaten
        bool Closes;      // a left button-up alone is eaten; its button-down closed the menu before
    } cases[] = {
        {WM_RBUTTONDOWN, 0, true}, {WM_RBUTTONUP, 1, true},     {WM_LBUTTONDOWN, 0, true},
        {WM_LBUTTONUP, 1, false},  {WM_NCLBUTTONDOWN, 1, true},
    };
    for (const auto& c : cases)
    {
        CloseActivePopupTree();
        CCountedMenu* pMenu = NewMenu();
        // clicks wait until the opening animation is over
        ASSERT_TRUE(pMenu->TrackPopupMenu(CExtPopupMenuWnd::TRACK_NO_ANIMATION, 300, 100));
        WaitUntilShown(pMenu);
        POINT ptOutside = {40, 60};
        ::ClientToScreen(Target(), &ptOutside);
        MOUSEHOOKSTRUCT mhs = HookRecord(Target(), ptOutside);
        EXPECT_EQ(CExtPopupMenuTracker::MouseHookProc(HC_ACTION, c.Message, reinterpret_cast<LPARAM>(&mhs)), c.Expected)
            << c.Message;
        EXPECT_NE(IsPopupTrackingActive(), c.Closes) << c.Message;
    }
}

TEST_F(PopupMenuTrackingTest, MouseHookEatsAClickWhoseHandlerClosedTheTree)
{
    auto* pMenu = new CClosingMenu;
    ASSERT_TRUE(pMenu->LoadMenu(Target(), kDocumentMenu));
    ASSERT_TRUE(pMenu->TrackPopupMenu(0, 300, 100));
    const POINT ptOnMenu = {310, 110};
    MOUSEHOOKSTRUCT mhs = HookRecord(pMenu->GetSafeHwnd(), ptOnMenu);
    // the menu object is gone when the handler returns: the hook reads the
    // tracker again instead of the menu
    EXPECT_EQ(CExtPopupMenuTracker::MouseHookProc(HC_ACTION, WM_LBUTTONDOWN, reinterpret_cast<LPARAM>(&mhs)), 1);
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(CCountedMenu::g_nDeleted, 1);
}

TEST_F(PopupMenuTrackingTest, HooksIgnoreCallsThatDoNotRemoveTheMessage)
{
    CCountedMenu* pMenu = NewMenu();
    ASSERT_TRUE(pMenu->TrackPopupMenu(0, 300, 100));
    POINT ptOutside = {40, 60};
    ::ClientToScreen(Target(), &ptOutside);
    MOUSEHOOKSTRUCT mhs = HookRecord(Target(), ptOutside);
    CExtPopupMenuTracker::MouseHookProc(HC_NOREMOVE, WM_RBUTTONDOWN, reinterpret_cast<LPARAM>(&mhs));
    CExtPopupMenuTracker::KeyboardHookProc(HC_NOREMOVE, VK_ESCAPE, 1);
    EXPECT_TRUE(IsPopupTrackingActive());
    EXPECT_EQ(pMenu->m_nKeys, 0);
    EXPECT_TRUE(::IsWindowVisible(pMenu->GetSafeHwnd()));
}

TEST_F(PopupMenuTrackingTest, KeyReleasesNeverReachTheMenu)
{
    CCountedMenu* pMenu = NewMenu();
    ASSERT_TRUE(pMenu->TrackPopupMenu(CExtPopupMenuWnd::TRACK_NO_ANIMATION, 300, 100));
    WaitUntilShown(pMenu);
    const LPARAM lRelease = static_cast<LPARAM>(0xC0000001u);
    EXPECT_EQ(CExtPopupMenuTracker::KeyboardHookProc(HC_ACTION, VK_ESCAPE, lRelease), 1);
    EXPECT_EQ(pMenu->m_nKeys, 0);
    EXPECT_TRUE(IsPopupTrackingActive());
    EXPECT_EQ(CExtPopupMenuTracker::KeyboardHookProc(HC_ACTION, VK_ESCAPE, 1), 1);
    EXPECT_EQ(pMenu->m_nKeys, 1);
    kxgui::PumpUntilIdle(); // Escape closes the root through a posted WM_CLOSE
    EXPECT_FALSE(IsPopupTrackingActive());
}

TEST_F(PopupMenuTrackingTest, KeysFasterThanTheRepeatFilterAreDropped)
{
    ExtTestHooks().pfnClock = kxtest::FakeClock;
    CCountedMenu* pMenu = NewMenu();
    ASSERT_TRUE(pMenu->TrackPopupMenu(0, 300, 100));
    const struct
    {
        clock_t Step; // milliseconds since the previous call
        int Keys;     // keys the menu has seen afterwards
    } steps[] = {{0, 1}, {10, 1}, {9, 1}, {1, 2}, {5, 2}, {40, 3}};
    for (const auto& step : steps)
    {
        kxtest::FakeClockNow() += step.Step * CLOCKS_PER_SEC / 1000;
        EXPECT_EQ(CExtPopupMenuTracker::KeyboardHookProc(HC_ACTION, VK_DOWN, 1), 1);
        EXPECT_EQ(pMenu->m_nKeys, step.Keys) << step.Step;
    }
    ExtTestHooks() = ExtPaintTestHooks();
}

TEST_F(PopupMenuTrackingTest, CommonVisibleAncestorOnlyWhileNoMenuIsTracked)
{
    CWnd first, second;
    ASSERT_TRUE(first.CreateEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), m_pFrame, 1));
    ASSERT_TRUE(second.CreateEx(0, "STATIC", "", WS_CHILD, CRect(20, 0, 30, 10), m_pFrame, 2));
    const HWND a = first.GetSafeHwnd(), b = second.GetSafeHwnd();
    EXPECT_TRUE(CExtPopupMenuWnd::HaveCommonVisibleAncestor(a, b, true, false, true));
    EXPECT_FALSE(CExtPopupMenuWnd::HaveCommonVisibleAncestor(a, b, true, true, true)); // b is hidden
    EXPECT_FALSE(CExtPopupMenuWnd::HaveCommonVisibleAncestor(a, nullptr, false, false, false));
    CCountedMenu* pMenu = NewMenu();
    ASSERT_TRUE(pMenu->TrackPopupMenu(0, 300, 100));
    EXPECT_FALSE(CExtPopupMenuWnd::HaveCommonVisibleAncestor(a, b, false, false, true));
    EXPECT_TRUE(CExtPopupMenuWnd::HaveCommonVisibleAncestor(a, b, false, false, false));
    CloseActivePopupTree();
    first.DestroyWindow();
    second.DestroyWindow();
}

// ---- painting ----------------------------------------------------------------

const DWORD kStill = CExtPopupMenuWnd::TRACK_NO_ANIMATION | CExtPopupMenuWnd::TRACK_NO_SHADOW;

TEST_F(PopupMenuTrackingTest, PaintsBackgroundAndBorderThroughTheTheme)
{
    CCountedMenu* pMenu = NewMenu();
    ASSERT_TRUE(pMenu->TrackPopupMenu(kStill, 100, 120));
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(pMenu->GetSafeHwnd(), false);
    CRect rcClient;
    pMenu->GetClientRect(&rcClient);
    ASSERT_EQ(shot.width, rcClient.Width());

    // the theme's border over its background, painted apart
    kxgui::DibCanvas canvas(rcClient.Width(), rcClient.Height());
    CDC dc;
    dc.Attach(canvas.Dc());
    dc.FillSolidRect(&rcClient, g_PaintManager->GetMenuBackgroundColor(pMenu, 0));
    g_PaintManager->PaintMenuBorder(dc, rcClient, pMenu, 0);
    dc.Detach();
    const kxgui::PixelBuffer expected = canvas.Pixels();
    const int b = pMenu->GetMenuBorderSize();
    int nDiffer = 0;
    for (int y = 0; y < rcClient.Height(); ++y)
        for (int x = 0; x < rcClient.Width(); ++x)
        {
            const bool bRing = x < b || y < b || x >= rcClient.Width() - b || y >= rcClient.Height() - b;
            if (bRing && shot.At(x, y) != expected.At(x, y))
                ++nDiffer;
        }
    EXPECT_EQ(nDiffer, 0);
    // the gap above the first item is background
    EXPECT_EQ(shot.At(rcClient.Width() / 2, b), g_PaintManager->GetMenuBackgroundColor(pMenu, 0));
}

TEST_F(PopupMenuTrackingTest, CommandTargetPaintsItemsAndTheLeftArea)
{
    const struct
    {
        UINT OwnDrawnCmd;
        bool PaintLeftArea;
    } cases[] = {{101, false}, {0, true}};
    for (const auto& c : cases)
    {
        m_pFrame->m_nOwnDrawnCmd = c.OwnDrawnCmd;
        m_pFrame->m_bPaintLeftArea = c.PaintLeftArea;
        m_pFrame->m_nDrawItem = 0;
        CCountedMenu* pMenu = NewMenu();
        pMenu->SetLeftAreaWidth(12);
        ASSERT_TRUE(pMenu->TrackPopupMenu(kStill | CExtPopupMenuWnd::TRACK_OWNER_DRAW, 100, 120));
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer shot = kxgui::CaptureScreen(pMenu->GetSafeHwnd(), false);
        const COLORREF clrBack = g_PaintManager->GetMenuBackgroundColor(pMenu, 0);
        EXPECT_GT(m_pFrame->m_nDrawItem, 0);

        CRect rcClient;
        pMenu->GetClientRect(&rcClient);
        const int b = pMenu->GetMenuBorderSize();
        const CRect rcLeft(b, b, b + 12, rcClient.bottom - b);
        EXPECT_EQ(shot.CountColor(c.PaintLeftArea ? RGB(255, 0, 0) : clrBack, rcLeft),
                  rcLeft.Width() * rcLeft.Height());

        CRect rcNew, rcOpen;
        pMenu->ItemGetRect(0, rcNew, false);
        pMenu->ItemGetRect(1, rcOpen, false);
        const int nOpenBack = shot.CountColor(clrBack, rcOpen);
        if (c.OwnDrawnCmd == 101)
            EXPECT_EQ(nOpenBack, rcOpen.Width() * rcOpen.Height()); // nothing but the background
        else
            EXPECT_LT(nOpenBack, rcOpen.Width() * rcOpen.Height()); // the theme drew the item
        EXPECT_LT(shot.CountColor(clrBack, rcNew), rcNew.Width() * rcNew.Height());
        CloseActivePopupTree();
    }
}

// ---- layout ------------------------------------------------------------------

TEST_F(PopupMenuTrackingTest, LayoutHidesRedundantSeparatorsAndRarelyUsedCommands)
{
    HMENU hMenu = ::CreatePopupMenu();
    ::AppendMenuA(hMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(hMenu, MF_STRING, 100, "&New");
    ::AppendMenuA(hMenu, MF_STRING, 101, "&Open");
    ::AppendMenuA(hMenu, MF_SEPARATOR, 0, nullptr);
    const struct
    {
        bool OwnItems; // else commands never used yet: all rarely used
        int Displayed;
        bool Collapsed;
    } cases[] = {{true, 2, false}, {false, 0, true}};
    for (const auto& c : cases)
    {
        CExtPopupMenuWnd menu;
        ASSERT_TRUE(menu.UpdateFromMenuHandle(Target(), hMenu, false, true, c.OwnItems));
        menu.SyncItems();
        int nDisplayed = 0, nHeight = 0;
        for (int i = 0; i < menu.ItemGetCount(); ++i)
            if (menu.GetItemAt(i).IsDisplayed())
            {
                ++nDisplayed;
                nHeight += menu.GetItemAt(i).GetFullHeight();
                EXPECT_FALSE(menu.GetItemAt(i).IsSeparator());
            }
        EXPECT_EQ(nDisplayed, c.Displayed);
        EXPECT_EQ(menu.m_nContentHeight, nHeight);
        EXPECT_GE(menu.m_nContentWidth, 80);
        EXPECT_EQ((menu.GetMenuState() & CExtPopupMenuWnd::MENU_COLLAPSED) != 0, c.Collapsed);
        // showing every item needs no expansion
        menu.TrackFlagsSet(CExtPopupMenuWnd::TRACK_SHOW_ALL);
        menu.SyncItems();
        EXPECT_EQ(menu.GetMenuState() & CExtPopupMenuWnd::MENU_COLLAPSED, 0);
        EXPECT_EQ(menu.GetMenuState() & CExtPopupMenuWnd::MENU_EXPANDED, 0);
    }
    ::DestroyMenu(hMenu);
}

TEST_F(PopupMenuTrackingTest, ExpandingShowsTheRarelyUsedCommandsAndGrowsTheWindow)
{
    CExtPopupMenuWnd::g_bCollapseRarelyUsed = true;
    CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationFade;
    CCountedMenu* pMenu = NewMenu();
    ASSERT_TRUE(pMenu->TrackPopupMenu(0, 100, 120));
    kxgui::PumpUntilIdle();
    ASSERT_NE(pMenu->GetMenuState() & CExtPopupMenuWnd::MENU_COLLAPSED, 0);
    CRect rcBefore;
    pMenu->GetWindowRect(&rcBefore);
    // a menu expands only once no animation runs; each runs its frames on
    // the timer
    const auto waitForAnimations = []()
    {
        while (Tracker().GetAnimatingPopup() != nullptr)
        {
            ::WaitMessage();
            kxgui::PumpUntilIdle();
        }
    };
    waitForAnimations();
    pMenu->DoExpand();
    EXPECT_NE(pMenu->GetMenuState() & CExtPopupMenuWnd::MENU_EXPANDED, 0);
    EXPECT_EQ(pMenu->GetMenuState() & CExtPopupMenuWnd::MENU_COLLAPSED, 0);
    waitForAnimations();
    CRect rcAfter;
    pMenu->GetWindowRect(&rcAfter);
    EXPECT_GT(rcAfter.Height(), rcBefore.Height());
    EXPECT_EQ(rcAfter.TopLeft(), rcBefore.TopLeft());
    EXPECT_TRUE(pMenu->GetItemAt(0).IsDisplayed());
    EXPECT_EQ(m_pFrame->m_nExpanded, 1);
    EXPECT_FALSE(
        kxgui::SaveArtifact(kxgui::CaptureScreen(pMenu->GetSafeHwnd(), false), "popup_menu_expanded.png").empty());
}

// ---- screenshots -------------------------------------------------------------

// What the screen shows over the frame: each window's own surface is
// captured and laid over the frame's at its place, the last on top.
kxgui::PixelBuffer ComposeOverFrame(HWND hWndFrame, std::initializer_list<HWND> windows)
{
    kxgui::PixelBuffer image = kxgui::CaptureScreen(hWndFrame, false);
    RECT rcFrame;
    ::GetWindowRect(hWndFrame, &rcFrame);
    for (HWND hWnd : windows)
    {
        const kxgui::PixelBuffer part = kxgui::CaptureScreen(hWnd, false);
        RECT rc;
        ::GetWindowRect(hWnd, &rc);
        for (int y = 0; y < part.height; ++y)
            for (int x = 0; x < part.width; ++x)
            {
                const int tx = rc.left - rcFrame.left + x, ty = rc.top - rcFrame.top + y;
                POINT pt = {rc.left + x, rc.top + y};
                if (tx < 0 || ty < 0 || tx >= image.width || ty >= image.height || ::WindowFromPoint(pt) != hWnd)
                    continue;
                image.pixels[static_cast<size_t>(ty) * image.width + tx] =
                    part.pixels[static_cast<size_t>(y) * part.width + x];
            }
    }
    return image;
}

// The combined-area callback of the drop-down test: the button that opened
// the menu, drawn pushed.
void PaintOpeningButton(LPVOID pCookie, CDC& dc, const CWnd& wndPopup, const CRect& rcExcludeArea, int)
{
    CRect rc(rcExcludeArea);
    wndPopup.ScreenToClient(&rc);
    CExtPaintManager::PushButtonParams pbp(
        nullptr, true, rc, "Button", nullptr, true, false, true, false, true, true, false, false,
        CExtPaintManager::PushButtonParams::AlignCenter | CExtPaintManager::PushButtonParams::AlignVCenter);
    g_PaintManager->PaintPushButton(dc, pbp);
    ++*static_cast<int*>(pCookie);
}

TEST_F(PopupMenuTrackingTest, ScreenshotsOfTrackedMenus)
{
    CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
    for (int nTheme = 0; nTheme < 3; ++nTheme)
    {
        g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme));
        m_pFrame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        CCountedMenu* pMenu = NewMenu();
        CPoint ptMenu(40, 60);
        m_pFrame->ClientToScreen(&ptMenu);
        ASSERT_TRUE(pMenu->TrackPopupMenu(0, ptMenu.x, ptMenu.y));
        kxgui::PumpUntilIdle();
        // the sub-menu opens as the highlight opens it: beside its item,
        // the parent item repainted inside a combined area
        const int nMore = 3;
        ASSERT_TRUE(pMenu->GetItemAt(nMore).IsPopup());
        CExtPopupMenuWnd* pSub = pMenu->GetItemAt(nMore).GetPopup();
        CRect rcItem;
        pMenu->ItemGetRect(nMore, rcItem, true);
        pMenu->ClientToScreen(&rcItem);
        pMenu->ItemFocusSet(nMore, false, true);
        DWORD dwSubFlags = pMenu->TrackFlagsGet() & 0x1600;
        if ((pMenu->GetItemAt(nMore).m_nStateFlags & CExtPopupMenuWnd::MENUITEMDATA::STATE_SUBMENU_SIDE) != 0)
            dwSubFlags |= CExtPopupMenuWnd::TRACK_COMBINE_BY_THEME;
        ASSERT_TRUE(pSub->TrackPopupMenuImpl(dwSubFlags, rcItem.right, rcItem.top, &rcItem,
                                             reinterpret_cast<LPVOID>(static_cast<INT_PTR>(nMore)),
                                             &CExtPopupMenuWnd::PaintParentItem, true));
        kxgui::PumpUntilIdle();
        CRect rcSub;
        pSub->GetWindowRect(&rcSub);
        EXPECT_TRUE(pSub->IsWindowVisible());
        EXPECT_TRUE(pSub->IsSubMenuOfPopupMenu());
        EXPECT_FALSE(pMenu->IsSubMenuOfPopupMenu());
        EXPECT_GE(rcSub.left, rcItem.left + rcItem.Width() / 2);
        const std::string name = std::string("popup_menu_tracked_") + ExtTestThemeName(nTheme) + ".png";
        EXPECT_FALSE(
            kxgui::SaveArtifact(ComposeOverFrame(Target(), {pMenu->GetSafeHwnd(), pSub->GetSafeHwnd()}), name).empty());
        CloseActivePopupTree();
    }
    g_PaintManager.InstallPaintManager(NewExtTestTheme(2));

    // a menu taller than the work area: clamped and scrolling
    HMENU hMenu = ::CreatePopupMenu();
    char szText[32];
    for (int i = 0; i < 80; ++i)
    {
        ::wsprintfA(szText, "Item number %d", i + 1);
        ::AppendMenuA(hMenu, MF_STRING, 2000 + i, szText);
    }
    auto* pTall = new CCountedMenu;
    ASSERT_TRUE(pTall->UpdateFromMenuHandle(Target(), hMenu, false));
    ::DestroyMenu(hMenu);
    ASSERT_TRUE(pTall->TrackPopupMenu(CExtPopupMenuWnd::TRACK_SHOW_ALL, 500, 100));
    kxgui::PumpUntilIdle();
    CRect rcTall;
    pTall->GetWindowRect(&rcTall);
    CExtPaintManager::MonitorParams mp;
    CExtPaintManager::GetMonitorParamsFromRect(mp, rcTall);
    EXPECT_EQ(rcTall.bottom, mp.WorkArea.bottom);
    EXPECT_EQ(rcTall.top, mp.WorkArea.top);
    EXPECT_NE(pTall->GetMenuState() & CExtPopupMenuWnd::MENU_SCROLLING, 0);
    EXPECT_FALSE(
        kxgui::SaveArtifact(kxgui::CaptureScreen(pTall->GetSafeHwnd(), false), "popup_menu_scrollable_office2003.png")
            .empty());
    CloseActivePopupTree();

    // a drop-down drawn combined with the button that opened it
    CWnd button;
    ASSERT_TRUE(button.CreateEx(0, "BUTTON", "Button", WS_CHILD | WS_VISIBLE, CRect(20, 20, 120, 44), m_pFrame, 1));
    CRect rcButton;
    button.GetWindowRect(&rcButton);
    int nCallbacks = 0;
    CCountedMenu* pDrop = NewMenu();
    ASSERT_TRUE(pDrop->TrackPopupMenu(CExtPopupMenuPlacement::AlignBottom | CExtPopupMenuWnd::TRACK_COMBINE,
                                      rcButton.left, rcButton.bottom, &rcButton, &nCallbacks, &PaintOpeningButton));
    kxgui::PumpUntilIdle();
    EXPECT_EQ(pDrop->GetCombineSide(), CExtPopupMenuPlacement::CombineBelow);
    EXPECT_GT(nCallbacks, 0);
    EXPECT_FALSE(
        kxgui::SaveArtifact(ComposeOverFrame(Target(), {pDrop->GetSafeHwnd()}), "popup_menu_dropdown_office2003.png")
            .empty());
    CloseActivePopupTree();
    button.DestroyWindow();
}

} // namespace
