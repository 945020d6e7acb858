// A tracked popup menu's highlight and input: keyboard order and mnemonics,
// command delivery, sub-menus opened by delay and by key, status prompts,
// scrolling and expand-on-hover timers, and roots that close themselves.
#include "framework/win/AfxMsg.h"
#include "framework/win/AfxRes.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupColorMenuWnd.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtSoundPlayer.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/PopupStage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

namespace
{
// While set, freed blocks are overwritten, so that a popup menu read after
// its deletion fails visibly instead of reading stale members.
bool g_bPoisonFreedBlocks = false;
} // namespace

void operator delete(void* p) noexcept
{
    if (p == nullptr)
        return;
    if (g_bPoisonFreedBlocks)
        std::memset(p, 0xDD, _msize(p));
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    ::operator delete(p);
}

namespace
{

using MENUITEMDATA = CExtPopupMenuWnd::MENUITEMDATA;

const char* const kProfile = "popup-input-test";

// Records what the menus send and post to their command target.
class CTargetFrame : public CFrameWnd
{
public:
    std::vector<UINT> m_commands;
    std::vector<UINT> m_prompts;
    int m_nPopupNext = 0;
    int m_nPopupPrev = 0;
    std::vector<int> m_coveringCodes;
    int m_nWheels = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
        {
            m_commands.push_back(LOWORD(wParam));
            return 0;
        }
        if (message == WM_MOUSEWHEEL)
            ++m_nWheels;
        if (message == WM_SETMESSAGESTRING)
            m_prompts.push_back(static_cast<UINT>(wParam));
        else if (message == CExtPopupMenuWnd::g_nMsgPopupNext)
            ++m_nPopupNext;
        else if (message == CExtPopupMenuWnd::g_nMsgPopupPrev)
            ++m_nPopupPrev;
        else if (message == CExtPopupMenuWnd::g_nMsgItemCoveringNotification)
            m_coveringCodes.push_back(reinterpret_cast<CExtPopupMenuWnd::ItemCoveringNotice*>(wParam)->m_nCode);
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
};

int CommandSounds(kxtest::SoundRecorder& sounds)
{
    const std::vector<std::string> played = sounds.Played();
    return static_cast<int>(std::count(played.begin(), played.end(), "MenuCommand"));
}

// Shows the scroll offset and the expand-hover counter.
class CProbeMenu : public CExtPopupMenuWnd
{
public:
    int ScrollOffset() const { return m_nDyScrollOffset; }
    int HoverCounter() const { return m_nExpandHoverCounter; }
};

int Highlighted(const CExtPopupMenuWnd& menu)
{
    for (int i = 0; i < menu.ItemGetCount(); ++i)
        if ((menu.GetItemAt(i).m_nStateFlags & MENUITEMDATA::STATE_HIGHLIGHTED) != 0)
            return i;
    return -1;
}

class PopupMenuInputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_PaintManager.InstallPaintManager(nullptr);
        m_pFrame = new CTargetFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "input", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300)));
        m_pFrame->ShowWindow(SW_SHOW);
        ASSERT_TRUE(g_CmdManager->SetupProfile(kProfile, m_pFrame->GetSafeHwnd()));
        m_pSounds = std::make_unique<kxtest::SoundRecorder>();
        // sub-menus open at once, so that their keys are not held back
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
    }
    void TearDown() override
    {
        CloseActivePopupTree();
        kxgui::PumpUntilIdle();
        m_pSounds.reset();
        CExtPopupBaseWnd::g_nDefaultAnimationKind = m_nOldAnimationKind;
        CExtToolControlBar::g_bMenuTracking = false;
        g_CmdManager->DetachWindowFromProfile(m_pFrame->GetSafeHwnd(), true);
        m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    HWND Target() const { return m_pFrame->GetSafeHwnd(); }

    // A new root menu: own items "&Alpha" 10, "&Beta" 11, separator, "B&ravo"
    // 12, disabled "&Delta" 13, sub-menu "&Sub" with "&One" 20 and "&Two" 21.
    CExtPopupMenuWnd* NewMenu()
    {
        auto* pMenu = new CExtPopupMenuWnd;
        pMenu->CreatePopupMenu(Target());
        pMenu->ItemInsertCommand(10, -1, "&Alpha");
        pMenu->ItemInsertCommand(11, -1, "&Beta");
        pMenu->ItemInsertCommand(0);
        pMenu->ItemInsertCommand(12, -1, "B&ravo");
        pMenu->ItemInsertCommand(13, -1, "&Delta");
        pMenu->ItemEnable(4, false);
        pMenu->ItemInsertCommand(CExtPopupMenuWnd::CMD_POPUP, -1, "&Sub");
        CExtPopupMenuWnd* pSub = pMenu->ItemGetPopup(5);
        pSub->ItemInsertCommand(20, -1, "&One");
        pSub->ItemInsertCommand(21, -1, "&Two");
        return pMenu;
    }
    bool Track(CExtPopupMenuWnd* pMenu, DWORD dwFlags = 0, UINT* pResult = nullptr)
    {
        const bool bTracked = pMenu->TrackPopupMenu(dwFlags | CExtPopupMenuWnd::TRACK_NO_ANIMATION, 60, 60, nullptr,
                                                    nullptr, nullptr, pResult);
        kxgui::PumpUntilIdle();
        WaitUntilShown(pMenu);
        return bTracked;
    }
    // Input waits until a menu has finished appearing; that takes timer
    // messages, so wait for them rather than only for an idle queue.
    static void WaitUntilShown(CExtPopupMenuWnd* pMenu)
    {
        for (int i = 0;
             i < 200 && (!pMenu->m_animation.Finished || CExtPopupMenuWnd::GetTracker().GetAnimatingPopup() != nullptr);
             ++i)
        {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            kxgui::PumpUntilIdle();
        }
    }
    static bool Key(CExtPopupMenuWnd* pMenu, UINT nKey)
    {
        bool bPassOn = false;
        return pMenu->OnKeyDown(nKey, 1, 0, bPassOn);
    }
    static bool IsTracked() { return CExtPopupMenuWnd::GetTracker().GetTopPopup() != nullptr; }

    CWinApp m_app{"Kestrelux"};
    CTargetFrame* m_pFrame = nullptr;
    std::unique_ptr<kxtest::SoundRecorder> m_pSounds;
    const int m_nOldAnimationKind = CExtPopupBaseWnd::g_nDefaultAnimationKind;
};

TEST_F(PopupMenuInputTest, ArrowsWrapAndSkipSeparatorsAndDisabledItems)
{
    CExtPopupMenuWnd* pMenu = NewMenu();
    ASSERT_TRUE(Track(pMenu));
    const struct
    {
        UINT nKey;
        int nExpected;
    } steps[] = {{VK_DOWN, 0}, {VK_DOWN, 1}, {VK_DOWN, 3}, {VK_DOWN, 5}, {VK_DOWN, 0},
                 {VK_UP, 5},   {VK_UP, 3},   {VK_UP, 1},   {VK_UP, 0},   {VK_UP, 5}};
    for (const auto& step : steps)
    {
        Key(pMenu, step.nKey);
        EXPECT_EQ(Highlighted(*pMenu), step.nExpected) << step.nKey;
    }

    CloseActivePopupTree();
    kxgui::PumpUntilIdle();
    CExtPopupMenuWnd* pSingle = new CExtPopupMenuWnd;
    pSingle->CreatePopupMenu(Target());
    pSingle->ItemInsertCommand(10, -1, "Only");
    pSingle->ItemInsertCommand(0);
    ASSERT_TRUE(Track(pSingle));
    Key(pSingle, VK_DOWN);
    EXPECT_EQ(Highlighted(*pSingle), 0);
    Key(pSingle, VK_DOWN);
    Key(pSingle, VK_UP);
    EXPECT_EQ(Highlighted(*pSingle), 0);
}

TEST_F(PopupMenuInputTest, UniqueMnemonicChooses)
{
    UINT nResult = 0xFFFF;
    CExtPopupMenuWnd* pMenu = NewMenu();
    ASSERT_TRUE(Track(pMenu, 0, &nResult));
    Key(pMenu, 'D'); // a disabled item: no match
    Key(pMenu, '0');
    EXPECT_EQ(Highlighted(*pMenu), -1);
    EXPECT_TRUE(IsTracked());
    Key(pMenu, 'R'); // "B&ravo": the ampersand counts, not the first letter
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsTracked());
    EXPECT_EQ(nResult, 12u);
    ASSERT_EQ(m_pFrame->m_commands.size(), 1u);
    EXPECT_EQ(m_pFrame->m_commands[0], 12u);
    EXPECT_EQ(CommandSounds(*m_pSounds), 1);
}

TEST_F(PopupMenuInputTest, MnemonicSharedByTwoItemsOnlyMoves)
{
    CExtPopupMenuWnd* pMenu = new CExtPopupMenuWnd;
    pMenu->CreatePopupMenu(Target());
    pMenu->ItemInsertCommand(10, -1, "&Copy");
    pMenu->ItemInsertCommand(11, -1, "&Cut");
    ASSERT_TRUE(Track(pMenu));
    Key(pMenu, 'C');
    EXPECT_EQ(Highlighted(*pMenu), 0);
    Key(pMenu, 'C');
    EXPECT_EQ(Highlighted(*pMenu), 1);
    Key(pMenu, 'C');
    EXPECT_EQ(Highlighted(*pMenu), 0);
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(IsTracked());
    EXPECT_TRUE(m_pFrame->m_commands.empty());
}

TEST_F(PopupMenuInputTest, EnterDeliversOrOnlyReportsWithNoPostFlag)
{
    for (bool bNoPost : {false, true})
    {
        m_pFrame->m_commands.clear();
        m_pSounds.reset(); // one recorder at a time
        m_pSounds = std::make_unique<kxtest::SoundRecorder>();
        UINT nResult = 0;
        CExtPopupMenuWnd* pMenu = NewMenu();
        ASSERT_TRUE(Track(pMenu, bNoPost ? CExtPopupMenuWnd::TRACK_NO_CMD_POST : 0, &nResult));
        Key(pMenu, VK_DOWN);
        Key(pMenu, VK_DOWN);
        Key(pMenu, VK_RETURN);
        kxgui::PumpUntilIdle();
        EXPECT_FALSE(IsTracked()) << bNoPost;
        EXPECT_EQ(nResult, 11u) << bNoPost;
        EXPECT_EQ(m_pFrame->m_commands.size(), bNoPost ? 0u : 1u);
        EXPECT_EQ(CommandSounds(*m_pSounds), 1) << bNoPost;
    }
}

TEST_F(PopupMenuInputTest, ClicksChooseOnTheButtonUp)
{
    UINT nResult = 0;
    CExtPopupMenuWnd* pMenu = NewMenu();
    ASSERT_TRUE(Track(pMenu, 0, &nResult));
    CRect rcDisabled, rcBravo;
    pMenu->ItemGetRect(4, rcDisabled);
    pMenu->ItemGetRect(3, rcBravo);
    bool bPassOn = false;
    EXPECT_TRUE(pMenu->OnMouseClick(WM_LBUTTONUP, rcDisabled.CenterPoint(), bPassOn));
    EXPECT_TRUE(pMenu->OnMouseClick(WM_LBUTTONDOWN, rcBravo.CenterPoint(), bPassOn));
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(IsTracked()); // nothing happens on the way down
    EXPECT_TRUE(pMenu->OnMouseClick(WM_LBUTTONUP, rcBravo.CenterPoint(), bPassOn));
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsTracked());
    EXPECT_EQ(nResult, 12u);
    ASSERT_EQ(m_pFrame->m_commands.size(), 1u);
    EXPECT_EQ(m_pFrame->m_commands[0], 12u);
}

TEST_F(PopupMenuInputTest, EscapeOnTheRootClosesWithoutCommand)
{
    UINT nResult = 0xFFFF;
    CExtPopupMenuWnd* pMenu = NewMenu();
    ASSERT_TRUE(Track(pMenu, 0, &nResult));
    Key(pMenu, VK_DOWN);
    Key(pMenu, VK_ESCAPE);
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsTracked());
    EXPECT_EQ(nResult, 0u);
    EXPECT_TRUE(m_pFrame->m_commands.empty());
}

TEST_F(PopupMenuInputTest, RightOnACommandHandsOverToTheMenuBar)
{
    for (DWORD dwLayout : {0ul, static_cast<DWORD>(WS_EX_LAYOUTRTL)})
    {
        m_pFrame->m_nPopupNext = m_pFrame->m_nPopupPrev = 0;
        CExtToolControlBar::g_bMenuTracking = true;
        CExtPopupMenuWnd* pMenu = NewMenu();
        ASSERT_TRUE(Track(pMenu));
        if (dwLayout != 0)
            pMenu->ModifyStyleEx(0, WS_EX_LAYOUTRTL);
        Key(pMenu, VK_DOWN);
        Key(pMenu, dwLayout != 0 ? VK_LEFT : VK_RIGHT); // the same key in both layouts
        kxgui::PumpUntilIdle();
        EXPECT_EQ(m_pFrame->m_nPopupNext, dwLayout != 0 ? 0 : 1);
        EXPECT_EQ(m_pFrame->m_nPopupPrev, dwLayout != 0 ? 1 : 0);
        CExtToolControlBar::g_bMenuTracking = false;
        CloseActivePopupTree();
        kxgui::PumpUntilIdle();
    }
}

TEST_F(PopupMenuInputTest, SubMenusOpenByDelayOrKeyAndCloseBackToTheParent)
{
    CExtPopupMenuWnd* pMenu = NewMenu();
    ASSERT_TRUE(Track(pMenu));
    CExtPopupMenuWnd* pSub = pMenu->ItemGetPopup(5);

    // hovering the sub-menu item schedules the delayed opening
    CRect rcItem;
    pMenu->ItemGetRect(5, rcItem);
    CPoint ptScreen = rcItem.CenterPoint();
    pMenu->ClientToScreen(&ptScreen);
    ::SetCursorPos(ptScreen.x, ptScreen.y);
    bool bPassOn = false;
    EXPECT_TRUE(pMenu->OnMouseMove(0, rcItem.CenterPoint(), bPassOn));
    EXPECT_EQ(Highlighted(*pMenu), 5);
    EXPECT_EQ(pSub->GetSafeHwnd(), nullptr);
    const size_t nNotices = m_pFrame->m_coveringCodes.size();
    pMenu->DelayedSubMenuStart(5); // the same index: the delay runs on
    EXPECT_EQ(m_pFrame->m_coveringCodes.size(), nNotices);
    pMenu->SendMessage(WM_TIMER, 667);
    ASSERT_NE(pSub->GetSafeHwnd(), nullptr);
    WaitUntilShown(pSub);
    EXPECT_TRUE(pSub->IsWindowVisible());
    EXPECT_EQ(Highlighted(*pSub), -1);

    // Left closes it and keeps the parent's item
    pMenu->CaptureSet();
    Key(pSub, VK_LEFT);
    kxgui::PumpUntilIdle();
    EXPECT_EQ(pSub->GetSafeHwnd(), nullptr);
    EXPECT_EQ(Highlighted(*pMenu), 5);

    // Right opens it at once with its first item
    Key(pMenu, VK_RIGHT);
    ASSERT_NE(pSub->GetSafeHwnd(), nullptr);
    WaitUntilShown(pSub);
    EXPECT_EQ(Highlighted(*pSub), 0);
    Key(pSub, VK_ESCAPE);
    kxgui::PumpUntilIdle();
    EXPECT_EQ(pSub->GetSafeHwnd(), nullptr);
    EXPECT_EQ(Highlighted(*pMenu), 5);
    EXPECT_TRUE(IsTracked());
}

TEST_F(PopupMenuInputTest, StatusPromptsFollowTheHighlight)
{
    CExtPopupMenuWnd* pMenu = new CExtPopupMenuWnd;
    pMenu->CreatePopupMenu(Target());
    pMenu->ItemInsertCommand(0xF060, -1, "&Close");
    pMenu->ItemInsertCommand(0xF100, -1, "&Key menu");
    pMenu->ItemInsertCommand(10, -1, "&Alpha");
    ASSERT_TRUE(Track(pMenu));
    const UINT expected[] = {0xEF06, AFX_IDS_IDLEMESSAGE, 10};
    for (int i = 0; i < 3; ++i)
    {
        m_pFrame->m_prompts.clear();
        pMenu->ItemFocusSet(i, false, false);
        ASSERT_FALSE(m_pFrame->m_prompts.empty()) << i;
        EXPECT_EQ(m_pFrame->m_prompts.back(), expected[i]) << i;
    }
}

TEST_F(PopupMenuInputTest, NullCommandClosesPlaysAndPostsNothing)
{
    CExtPopupMenuWnd* pMenu = NewMenu();
    ASSERT_TRUE(Track(pMenu));
    pMenu->OnItemCommand(0, nullptr);
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsTracked());
    EXPECT_TRUE(m_pFrame->m_commands.empty());
    EXPECT_EQ(CommandSounds(*m_pSounds), 1);
}

TEST_F(PopupMenuInputTest, RootsClosingThemselvesReadNothingAfterwards)
{
    g_bPoisonFreedBlocks = true;
    // a click outside the menu
    CExtPopupMenuWnd* pMenu = NewMenu();
    ASSERT_TRUE(Track(pMenu));
    bool bPassOn = false;
    EXPECT_FALSE(pMenu->OnMouseClick(WM_NCLBUTTONUP, CPoint(-500, -500), bPassOn));
    EXPECT_FALSE(IsTracked());
    kxgui::PumpUntilIdle();

    // an activation change
    pMenu = NewMenu();
    ASSERT_TRUE(Track(pMenu));
    const HWND hWnd = pMenu->GetSafeHwnd();
    ::SendMessageA(hWnd, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_FALSE(IsTracked());
    kxgui::PumpUntilIdle();
    g_bPoisonFreedBlocks = false;
}

void CursorTo(CExtPopupMenuWnd* pMenu, int nIndex)
{
    CRect rc;
    pMenu->ItemGetRect(nIndex, rc, false);
    CPoint pt = rc.CenterPoint();
    pMenu->ClientToScreen(&pt);
    ::SetCursorPos(pt.x, pt.y);
}

TEST_F(PopupMenuInputTest, ScrollingMovesFivePixelsPerTickAndStopsAtBothEnds)
{
    auto* pMenu = new CProbeMenu;
    pMenu->CreatePopupMenu(Target());
    for (UINT nID = 1000; nID < 1120; ++nID)
        pMenu->ItemInsertCommand(nID, -1, "Scrolled item");
    ASSERT_TRUE(Track(pMenu));
    ASSERT_NE(pMenu->GetMenuState() & CExtPopupMenuWnd::MENU_SCROLLING, 0);
    const int nMin = pMenu->GetScrollPosMin();
    ASSERT_LT(nMin, -10);

    CursorTo(pMenu, CExtPopupMenuWnd::IDX_SCROLL_BOTTOM);
    EXPECT_TRUE(pMenu->StartScrolling(CExtPopupMenuWnd::IDX_SCROLL_BOTTOM));
    pMenu->SendMessage(WM_TIMER, 668);
    EXPECT_EQ(pMenu->ScrollOffset(), -5);
    for (int i = 0; i < 1000 && pMenu->ScrollOffset() > nMin; ++i)
        pMenu->SendMessage(WM_TIMER, 668);
    EXPECT_EQ(pMenu->ScrollOffset(), nMin);

    CursorTo(pMenu, CExtPopupMenuWnd::IDX_SCROLL_TOP);
    EXPECT_TRUE(pMenu->StartScrolling(CExtPopupMenuWnd::IDX_SCROLL_TOP));
    pMenu->SendMessage(WM_TIMER, 668);
    EXPECT_EQ(pMenu->ScrollOffset(), nMin + 5);
    for (int i = 0; i < 1000 && pMenu->ScrollOffset() < 0; ++i)
        pMenu->SendMessage(WM_TIMER, 668);
    EXPECT_EQ(pMenu->ScrollOffset(), 0);
    pMenu->SendMessage(WM_TIMER, 668);
    EXPECT_EQ(pMenu->ScrollOffset(), 0);
}

TEST_F(PopupMenuInputTest, HoveringTheExpandButtonExpandsAfterThirtyTicks)
{
    for (UINT nID = 300; nID <= 302; ++nID)
        ASSERT_NE(g_CmdManager->NewCommand(kProfile, nID), nullptr); // unused: rarely used
    for (bool bStay : {false, true})
    {
        auto* pMenu = new CProbeMenu;
        pMenu->CreatePopupMenu(Target());
        pMenu->ItemInsertCommand(10, -1, "&Alpha");
        for (UINT nID = 300; nID <= 302; ++nID)
            ASSERT_TRUE(pMenu->ItemInsert(nID));
        ASSERT_TRUE(Track(pMenu));
        ASSERT_NE(pMenu->GetMenuState() & CExtPopupMenuWnd::MENU_COLLAPSED, 0);

        CRect rcExpand;
        pMenu->ItemGetRect(CExtPopupMenuWnd::IDX_EXPAND, rcExpand, false);
        CursorTo(pMenu, CExtPopupMenuWnd::IDX_EXPAND);
        bool bPassOn = false;
        EXPECT_TRUE(pMenu->OnMouseMove(0, rcExpand.CenterPoint(), bPassOn));
        EXPECT_EQ(pMenu->HoverCounter(), 1);
        for (int nTick = 1; nTick < 30; ++nTick)
            pMenu->SendMessage(WM_TIMER, 670);
        EXPECT_EQ(pMenu->GetMenuState() & CExtPopupMenuWnd::MENU_EXPANDED, 0);
        if (!bStay)
            CursorTo(pMenu, 0);
        pMenu->SendMessage(WM_TIMER, 670);
        EXPECT_EQ((pMenu->GetMenuState() & CExtPopupMenuWnd::MENU_EXPANDED) != 0, bStay);
        EXPECT_EQ(pMenu->HoverCounter(), 0);
        CloseActivePopupTree();
        kxgui::PumpUntilIdle();
    }
}

TEST_F(PopupMenuInputTest, ScreenshotOfAnOpenSubMenu)
{
    CExtPopupMenuWnd* pMenu = NewMenu();
    ASSERT_TRUE(Track(pMenu));
    pMenu->ItemFocusSet(5, true, true, true);
    kxgui::PumpUntilIdle();
    CExtPopupMenuWnd* pSub = pMenu->ItemGetPopup(5);
    ASSERT_NE(pSub->GetSafeHwnd(), nullptr);
    EXPECT_EQ(Highlighted(*pSub), 0);
    CRect rcMenu, rcSub;
    pMenu->GetWindowRect(&rcMenu);
    pSub->GetWindowRect(&rcSub);
    EXPECT_GE(rcSub.left, rcMenu.right - 8); // beside its item, not over it
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(::GetDesktopWindow(), false);
    ASSERT_FALSE(shot.IsEmpty());
    kxgui::SaveArtifact(shot, "popup_menu_sub_menu_open.png");
}

TEST_F(PopupMenuInputTest, KeysEndToEnd)
{
    UINT nResult = 0;
    CExtPopupMenuWnd* pMenu = NewMenu();
    kxgui::Activate(Target());
    ASSERT_TRUE(Track(pMenu, 0, &nResult));
    kxgui::PressKey(VK_DOWN);
    kxgui::PressKey('R');
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsTracked());
    EXPECT_EQ(nResult, 12u);
}

int g_nColorItemClicks = 0;

bool CountColorItemClick(CExtPopupMenuWnd*, MENUITEMDATA*)
{
    ++g_nColorItemClicks;
    return true;
}

TEST_F(PopupMenuInputTest, EnterOnAColourSubMenuItemRunsItsHandlerElseOpensTheColours)
{
    for (bool bHandler : {true, false})
    {
        g_nColorItemClicks = 0;
        auto* pMenu = new CExtPopupMenuWnd;
        pMenu->CreatePopupMenu(Target());
        pMenu->ItemInsertCommand(10, -1, "&Alpha");
        ASSERT_TRUE(pMenu->ItemInsertSpecPopup(new CExtPopupColorMenuWnd, -1, "&Colours"));
        if (bHandler)
            pMenu->GetItemAt(1).m_pCbClick = &CountColorItemClick;
        ASSERT_TRUE(Track(pMenu));
        Key(pMenu, VK_DOWN);
        Key(pMenu, VK_DOWN);
        ASSERT_EQ(Highlighted(*pMenu), 1);
        WaitUntilShown(pMenu);
        Key(pMenu, VK_RETURN);
        kxgui::PumpUntilIdle();
        EXPECT_EQ(g_nColorItemClicks, bHandler ? 1 : 0);
        EXPECT_EQ(pMenu->ItemGetPopup(1)->GetSafeHwnd() != nullptr, !bHandler) << bHandler;
        EXPECT_TRUE(IsTracked());
        EXPECT_TRUE(m_pFrame->m_commands.empty());
        CloseActivePopupTree();
        kxgui::PumpUntilIdle();
    }
}

TEST_F(PopupMenuInputTest, TheWheelIsEatenWhileAMenuIsOpen)
{
    kxgui::Activate(Target());
    // the wheel goes to the focus window, here the frame, with the pointer
    // over it away from the menu
    m_pFrame->SetFocus();
    kxgui::InputScript().MoveTo(Target(), {350, 250}).Send();
    kxgui::PumpUntilIdle();
    ASSERT_TRUE(Track(NewMenu()));
    m_pFrame->m_nWheels = 0;
    INPUT wheel = {};
    wheel.type = INPUT_MOUSE;
    wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    ASSERT_EQ(::SendInput(1, &wheel, sizeof(wheel)), 1u);
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(IsTracked());
    EXPECT_EQ(m_pFrame->m_nWheels, 0);
    CloseActivePopupTree();
    kxgui::PumpUntilIdle();
    ASSERT_EQ(::SendInput(1, &wheel, sizeof(wheel)), 1u);
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_pFrame->m_nWheels, 1);
}

} // namespace
