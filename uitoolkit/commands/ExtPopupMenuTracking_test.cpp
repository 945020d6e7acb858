// Tracking popup menus under a real owner frame: showing, the ownership of
// the menu object, the own message loop, the thread hooks, the painting
// through the theme and screenshots of tracked menus.
#include "framework/win/AfxMsg.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include "tests/gui/GuiHarness.h"

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
    UINT m_nOwnDrawnCmd = 0;
    bool m_bPaintLeftArea = false;
    int m_nRButtonDown = 0;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMenuOwnerFrame, CFrameWnd)
ON_REGISTERED_MESSAGE(CExtPopupMenuWnd::g_nMsgPrepareMenu, OnPrepareMenu)
ON_REGISTERED_MESSAGE(CExtPopupMenuWnd::g_nMsgNotifyMenuClosed, OnMenuClosed)
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

TEST_F(PopupMenuTrackingTest, RightClickOutsideClosesTheTreeAndReachesTheWindowBelow)
{
    CCountedMenu* pMenu = NewMenu();
    ASSERT_TRUE(pMenu->TrackPopupMenu(0, 300, 100));
    kxgui::PumpUntilIdle();
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
    } cases[] = {
        {WM_RBUTTONDOWN, 0}, {WM_RBUTTONUP, 1}, {WM_LBUTTONDOWN, 0}, {WM_LBUTTONUP, 1}, {WM_NCLBUTTONDOWN, 1},
    };
    for (const auto& c : cases)
    {
        CCountedMenu* pMenu = NewMenu();
        ASSERT_TRUE(pMenu->TrackPopupMenu(0, 300, 100));
        POINT ptOutside = {40, 60};
        ::ClientToScreen(Target(), &ptOutside);
        MOUSEHOOKSTRUCT mhs = HookRecord(Target(), ptOutside);
        EXPECT_EQ(CExtPopupMenuTracker::MouseHookProc(HC_ACTION, c.Message, reinterpret_cast<LPARAM>(&mhs)), c.Expected)
            << c.Message;
        EXPECT_FALSE(IsPopupTrackingActive()) << c.Message;
    }
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
    ASSERT_TRUE(pMenu->TrackPopupMenu(0, 300, 100));
    const LPARAM lRelease = static_cast<LPARAM>(0xC0000001u);
    EXPECT_EQ(CExtPopupMenuTracker::KeyboardHookProc(HC_ACTION, VK_ESCAPE, lRelease), 1);
    EXPECT_EQ(pMenu->m_nKeys, 0);
    EXPECT_TRUE(IsPopupTrackingActive());
    EXPECT_EQ(CExtPopupMenuTracker::KeyboardHookProc(HC_ACTION, VK_ESCAPE, 1), 1);
    EXPECT_EQ(pMenu->m_nKeys, 1);
    EXPECT_FALSE(IsPopupTrackingActive());
}

} // namespace
