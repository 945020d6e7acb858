// The popup base window over a full-screen stage: the Fade animation from
// the screen captured before showing, stepped by the test's own timer ticks
// against a hand-moved clock; the menu sound; activation; the timer ids;
// and a finished popup with its shadow in two themes.
#include "uitoolkit/commands/ExtPopupBaseWnd.h"

#include "framework/win/AfxMsg.h"
#include "tests/support/PopupStage.h"

#include <gtest/gtest.h>

namespace
{

const COLORREF StageColor = RGB(0, 128, 255);
const COLORREF FaceColor = RGB(255, 0, 0);

// A popup that paints one colour, or a menu-like face with its shadow, and
// shows the animation frames of its kind.
class CTestPopup : public CExtPopupBaseWnd
{
public:
    bool m_bMenuFace = false;
    int m_nFinishedPaints = 0;

    bool Create(HWND hWndOwner, const CRect& rc)
    {
        return CreateEx(WS_EX_TOPMOST, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), "", WS_POPUP, rc,
                        CWnd::FromHandle(hWndOwner), 0) != FALSE;
    }
    void PaintAnimationFrame(CDC& dc) override { PaintAnimationKindFrame(dc, 0); }
    void PaintFinished(CDC& dc, bool) override
    {
        ++m_nFinishedPaints;
        CRect rc;
        GetClientRect(&rc);
        if (!m_bMenuFace)
        {
            dc.FillSolidRect(&rc, FaceColor);
            return;
        }
        const int s = GetShadowSize();
        CRect rcMenu(rc.left, rc.top, rc.right - s, rc.bottom - s);
        dc.FillSolidRect(&rcMenu, g_PaintManager->GetMenuBackgroundColor(this));
        g_PaintManager->PaintMenuBorder(dc, rcMenu, this, 0);
        CRect rcScreen(rcMenu);
        ClientToScreen(&rcScreen);
        m_shadow.Paint(dc, rcMenu, rcScreen, CRect(0, 0, 0, 0), s, 75, 100, true, true);
    }
};

class PopupBaseTest : public kxtest::PopupTest
{
protected:
    void SetUp() override
    {
        kxtest::PopupTest::SetUp();
        ExtTestHooks().pfnClock = kxtest::FakeClock;
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationFade;
    }
    void TearDown() override
    {
        kxtest::PopupTest::TearDown();
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationFade;
    }

    // The next 30 ms animation step, delivered as the timer would.
    static void Tick(CExtPopupBaseWnd& popup)
    {
        kxtest::FakeClockNow() += 30;
        popup.SendMessage(WM_TIMER, CExtPopupBaseWnd::ID_TIMER_ANIMATION);
        popup.UpdateWindow();
    }
    // Shows the popup as the popups do: the animation started, the screen
    // beneath kept, then shown without activation. The test delivers the
    // steps itself.
    static void ShowAnimated(CExtPopupBaseWnd& popup)
    {
        popup.StartAnimation();
        popup.KillTimer(CExtPopupBaseWnd::ID_TIMER_ANIMATION);
        ASSERT_TRUE(popup.CaptureScreenBeneath());
        popup.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        popup.UpdateWindow();
    }
};

COLORREF Mix(COLORREF bg, COLORREF fin, int p)
{
    return RGB((GetRValue(bg) * (100 - p) + GetRValue(fin) * p) / 100,
               (GetGValue(bg) * (100 - p) + GetGValue(fin) * p) / 100,
               (GetBValue(bg) * (100 - p) + GetBValue(fin) * p) / 100);
}

TEST_F(PopupBaseTest, FadeStartsFromTheScreenBeneathAndSoundsOnce)
{
    kxtest::PopupStage stage(StageColor);
    kxtest::SoundRecorder sounds;
    CTestPopup popup;
    ASSERT_TRUE(popup.Create(stage.Hwnd(), CRect(200, 200, 300, 260)));
    popup.m_nSoundId = CExtSoundPlayer::SoundMenuPopup;
    ShowAnimated(popup);
    EXPECT_EQ(popup.m_animation.Kind, CExtPopupAnimation::AnimationFade);
    EXPECT_EQ(kxgui::CaptureScreen(popup.m_hWnd, false).At(50, 30), StageColor); // 0 percent: not black
    for (int p = 20; p <= 100; p += 20)
    {
        Tick(popup);
        EXPECT_EQ(popup.m_animation.Percent, p);
        EXPECT_FALSE(popup.m_animation.Finished);
        EXPECT_EQ(kxgui::CaptureScreen(popup.m_hWnd, false).At(50, 30), Mix(StageColor, FaceColor, p)) << p;
    }
    EXPECT_TRUE(sounds.Played().empty());
    // a tip timer's tick changes nothing here
    popup.SendMessage(WM_TIMER, CExtPopupBaseWnd::ID_TIMER_TIP_HIDE);
    EXPECT_EQ(popup.m_animation.Percent, 100);
    EXPECT_TRUE(popup.IsWindowVisible());

    CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationBoxes;
    Tick(popup);
    EXPECT_TRUE(popup.m_animation.Finished);
    EXPECT_EQ(popup.m_nSoundId, 0);
    EXPECT_EQ(popup.m_animation.Kind, CExtPopupAnimation::AnimationBoxes);
    EXPECT_EQ(popup.m_bmpBackground.GetSafeHandle(), nullptr);
    EXPECT_EQ(popup.m_pBitsOutput, nullptr);
    Tick(popup); // nothing more
    EXPECT_EQ(sounds.Played(), (std::vector<std::string>{"MenuPopup"}));
    popup.Invalidate(FALSE);
    popup.UpdateWindow();
    EXPECT_EQ(kxgui::CaptureScreen(popup.m_hWnd, false).At(50, 30), FaceColor);
}

TEST_F(PopupBaseTest, KindsAtStart)
{
    CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationRandom;
    for (int i = 0; i < 20; ++i)
    {
        CExtPopupBaseWnd popup;
        EXPECT_GE(popup.m_animation.Kind, CExtPopupAnimation::AnimationRoll);
        EXPECT_LE(popup.m_animation.Kind, CExtPopupAnimation::AnimationHoles);
    }
    CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationFade;
    ExtTestHooks().nScreenBitsPerPixel = 8;
    CExtPopupBaseWnd popup;
    EXPECT_EQ(popup.m_animation.Kind, CExtPopupAnimation::AnimationNone);
    EXPECT_TRUE(popup.m_animation.Finished);
}

TEST_F(PopupBaseTest, EightBitsShowTheFinishedLookAtOnce)
{
    ExtTestHooks().nScreenBitsPerPixel = 8;
    kxtest::PopupStage stage(StageColor);
    kxtest::SoundRecorder sounds;
    CTestPopup popup;
    ASSERT_TRUE(popup.Create(stage.Hwnd(), CRect(200, 200, 300, 260)));
    ShowAnimated(popup);
    EXPECT_TRUE(popup.m_animation.Finished);
    EXPECT_EQ(kxgui::CaptureScreen(popup.m_hWnd, false).At(50, 30), FaceColor);
}

TEST_F(PopupBaseTest, ClicksNeverActivateThePopup)
{
    kxtest::PopupStage stage(StageColor);
    CTestPopup popup;
    ASSERT_TRUE(popup.Create(stage.Hwnd(), CRect(200, 200, 300, 260)));
    popup.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    kxgui::PumpUntilIdle();
    ASSERT_EQ(::GetFocus(), stage.Hwnd());
    EXPECT_EQ(popup.SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(stage.Hwnd()),
                                MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATEANDEAT);
    kxgui::Click(popup.m_hWnd, {50, 30});
    kxgui::PumpUntilIdle();
    EXPECT_EQ(::GetActiveWindow(), stage.Hwnd());
    EXPECT_EQ(::GetFocus(), stage.Hwnd());
}

TEST_F(PopupBaseTest, ChildWindowsOfThePopup)
{
    kxtest::PopupStage stage(StageColor);
    CTestPopup popup;
    ASSERT_TRUE(popup.Create(stage.Hwnd(), CRect(200, 200, 300, 260)));
    const HWND hEdit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 10, 40, 20, popup.m_hWnd, nullptr,
                                         nullptr, nullptr);
    const HWND hHidden =
        ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 60, 10, 20, 20, popup.m_hWnd, nullptr, nullptr, nullptr);
    ASSERT_NE(hEdit, nullptr);
    ASSERT_NE(hHidden, nullptr);
    popup.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    kxgui::PumpUntilIdle();

    // painting leaves the visible children out
    kxgui::DibCanvas canvas(100, 60, RGB(255, 255, 255));
    CExtPaintManager::ExcludeVisibleChildren(canvas.Dc(), popup.m_hWnd, nullptr, 0);
    CDC dc;
    dc.Attach(canvas.Dc());
    dc.FillSolidRect(0, 0, 100, 60, FaceColor);
    dc.Detach();
    const kxgui::PixelBuffer p = canvas.Pixels();
    EXPECT_EQ(p.CountColor(RGB(255, 255, 255), CRect(10, 10, 50, 30)), 40 * 20);
    EXPECT_EQ(p.CountColor(FaceColor, CRect(0, 0, 100, 60)), 100 * 60 - 40 * 20);

    // a click into the in-place edit may activate, one beside it may not
    kxgui::MoveMouseTo({230, 220});
    EXPECT_EQ(popup.SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(stage.Hwnd()),
                                MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_ACTIVATE);
    kxgui::MoveMouseTo({280, 250});
    EXPECT_EQ(popup.SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(stage.Hwnd()),
                                MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATEANDEAT);
}

TEST_F(PopupBaseTest, DelayedShowAndRepaintTimers)
{
    kxtest::PopupStage stage(StageColor);
    CTestPopup popup;
    ASSERT_TRUE(popup.Create(stage.Hwnd(), CRect(200, 200, 300, 260)));
    popup.m_animation.Kind = CExtPopupAnimation::AnimationNone;
    popup.ResetAnimation();
    popup.SetTimer(CExtPopupBaseWnd::ID_TIMER_DELAYED_SHOW, 1);
    popup.SendMessage(WM_TIMER, CExtPopupBaseWnd::ID_TIMER_DELAYED_SHOW);
    EXPECT_TRUE(popup.IsWindowVisible());
    EXPECT_EQ(::GetActiveWindow(), stage.Hwnd());
    EXPECT_EQ(kxgui::CaptureScreen(popup.m_hWnd, false).At(10, 10), FaceColor);
    const int nPaints = popup.m_nFinishedPaints;
    popup.PostDelayedRepaint();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(popup.m_nFinishedPaints, nPaints + 1);
}

TEST_F(PopupBaseTest, FinishedPopupWithShadowScreenshot)
{
    kxtest::PopupStage stage(RGB(200, 220, 240));
    const char* names[] = {"popup_shadow_classic.png", "popup_shadow_xp.png"};
    CExtPaintManager* themes[] = {new CExtPaintManager, new CExtPaintManagerXP};
    for (int i = 0; i < 2; ++i)
    {
        kxgui::PumpUntilIdle(); // the stage repaints where the last popup was
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(themes[i]));
        CTestPopup popup;
        popup.m_bMenuFace = true;
        popup.m_animation.Kind = CExtPopupAnimation::AnimationNone;
        ASSERT_TRUE(popup.Create(stage.Hwnd(), CRect(100, 100, 260, 220)));
        ShowAnimated(popup);
        const kxgui::PixelBuffer shot = kxgui::CaptureScreen(popup.m_hWnd, false);
        kxgui::SaveArtifact(shot, names[i]);
        // the shadow over the stage next to the menu: 75 to 93 percent of it
        EXPECT_EQ(shot.At(156, 60), RGB(150, 165, 180)) << names[i];
        EXPECT_EQ(shot.At(159, 60), RGB(186, 204, 223)) << names[i];
        EXPECT_EQ(shot.At(2, 118), RGB(200, 220, 240)) << names[i];
    }
}

} // namespace
