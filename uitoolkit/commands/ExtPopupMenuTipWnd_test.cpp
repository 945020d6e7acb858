// Menu tips over a stage window: created and armed once per area, the short
// show delay, mirrored balloons near the screen edge, hiding on Alt, the
// type rules, the copied system icon, and pictures of both shapes.
#include "uitoolkit/commands/ExtPopupMenuTipWnd.h"

#include "tests/support/PopupStage.h"

#include <gtest/gtest.h>

namespace
{

const COLORREF StageColor = RGB(200, 220, 240);

class MenuTipTest : public kxtest::PopupTest
{
protected:
    // Shows the tip for an area with the mouse inside it, then delivers the
    // show timer's tick.
    static void ShowNow(CExtPopupMenuTipWnd& tip, HWND hWndOwner, const CRect& rcArea)
    {
        kxgui::MoveMouseTo(rcArea.CenterPoint());
        ASSERT_TRUE(tip.Show(CWnd::FromHandle(hWndOwner), rcArea));
        tip.SendMessage(WM_TIMER, CExtPopupMenuTipWnd::ID_TIMER_TIP_SHOW);
        ASSERT_TRUE(tip.IsWindowVisible());
    }
};

TEST_F(MenuTipTest, ShowTwiceForOneAreaCreatesAndArmsOnce)
{
    kxtest::PopupStage stage(StageColor);
    CExtPopupMenuTipWnd tip;
    tip.SetText("  Opens the disc  \n");
    EXPECT_EQ(tip.m_sText, CString("Opens the disc"));
    const CRect area(600, 500, 700, 520);
    kxgui::MoveMouseTo(area.CenterPoint());
    ASSERT_TRUE(tip.Show(CWnd::FromHandle(stage.Hwnd()), area));
    const HWND hWnd = tip.m_hWnd;
    ASSERT_NE(hWnd, nullptr);
    EXPECT_FALSE(tip.IsWindowVisible());
    EXPECT_EQ(tip.GetShowDelay(), CExtPopupMenuTipWnd::SHOW_DELAY); // nothing shown before
    tip.SendMessage(WM_TIMER, CExtPopupMenuTipWnd::ID_TIMER_TIP_SHOW);
    EXPECT_TRUE(tip.IsWindowVisible());
    EXPECT_EQ(::GetActiveWindow(), stage.Hwnd());
    // the same area again: neither hidden nor armed anew
    EXPECT_TRUE(tip.Show(CWnd::FromHandle(stage.Hwnd()), area));
    EXPECT_TRUE(tip.IsWindowVisible());
    EXPECT_EQ(tip.m_hWnd, hWnd);

    // another area while visible, then one within a second of that: quick
    const CRect area2(600, 560, 700, 580);
    kxgui::MoveMouseTo(area2.CenterPoint());
    EXPECT_TRUE(tip.Show(CWnd::FromHandle(stage.Hwnd()), area2));
    EXPECT_FALSE(tip.IsWindowVisible());
    EXPECT_EQ(tip.GetShowDelay(), CExtPopupMenuTipWnd::SHOW_DELAY_QUICK);
    tip.Hide();
    EXPECT_TRUE(tip.Show(CWnd::FromHandle(stage.Hwnd()), area));
    EXPECT_EQ(tip.GetShowDelay(), CExtPopupMenuTipWnd::SHOW_DELAY_QUICK);
    EXPECT_EQ(tip.m_hWnd, hWnd);
}

TEST_F(MenuTipTest, BalloonNearTheLeftEdgeHasItsTailOnTheLeft)
{
    kxtest::PopupStage stage(StageColor);
    CExtPopupMenuTipWnd tip;
    tip.SetTipType(CExtPopupMenuTipWnd::TipTypeBalloon);
    tip.SetText("Left");
    const CRect area(4, 500, 104, 520);
    ShowNow(tip, stage.Hwnd(), area);
    EXPECT_EQ(tip.m_nMirror, CExtPopupTipGeometry::MirrorHorz);
    CRect rc;
    tip.GetWindowRect(&rc);
    EXPECT_GE(rc.left, 0);
    // the tail's tip, 12 pixels from the left edge, lies inside the area
    CRgn rgn;
    rgn.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(tip.GetWindowRgn(static_cast<HRGN>(rgn.GetSafeHandle())), ERROR);
    EXPECT_TRUE(area.PtInRect(CPoint(rc.left + 12, rc.bottom - 10)));
    EXPECT_TRUE(rgn.PtInRegion(12, rc.Height() - 11));
    EXPECT_FALSE(rgn.PtInRegion(rc.Width() - 12, rc.Height() - 11));
}

TEST_F(MenuTipTest, AltHidesAVisibleTipOnTheNextTick)
{
    kxtest::PopupStage stage(StageColor);
    CExtPopupMenuTipWnd tip;
    tip.SetText("Alt");
    ShowNow(tip, stage.Hwnd(), CRect(600, 500, 700, 520));
    tip.SendMessage(WM_TIMER, CExtPopupBaseWnd::ID_TIMER_TIP_HIDE);
    EXPECT_TRUE(tip.IsWindowVisible()); // nothing held yet
    kxgui::InputScript().KeyDown(VK_MENU).Send();
    tip.SendMessage(WM_TIMER, CExtPopupBaseWnd::ID_TIMER_TIP_HIDE);
    const bool bVisible = tip.IsWindowVisible() != FALSE;
    kxgui::InputScript().KeyUp(VK_MENU).Send();
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(bVisible);
}

TEST_F(MenuTipTest, LeavingTheAreaHides)
{
    kxtest::PopupStage stage(StageColor);
    CExtPopupMenuTipWnd tip;
    tip.SetText("Leave");
    ShowNow(tip, stage.Hwnd(), CRect(600, 500, 700, 520));
    tip.SendMessage(WM_TIMER, CExtPopupMenuTipWnd::ID_TIMER_TIP_AREA);
    EXPECT_TRUE(tip.IsWindowVisible());
    kxgui::MoveMouseTo({300, 300});
    tip.SendMessage(WM_TIMER, CExtPopupMenuTipWnd::ID_TIMER_TIP_AREA);
    EXPECT_FALSE(tip.IsWindowVisible());
}

TEST_F(MenuTipTest, TypeNoneHidesAndUnknownTypesFail)
{
    kxtest::PopupStage stage(StageColor);
    CExtPopupMenuTipWnd tip;
    tip.SetText("Type");
    ShowNow(tip, stage.Hwnd(), CRect(600, 500, 700, 520));
    tip.SetTipType(CExtPopupMenuTipWnd::TipTypeNone);
    EXPECT_TRUE(tip.Show(CWnd::FromHandle(stage.Hwnd()), CRect(600, 560, 700, 580)));
    EXPECT_FALSE(tip.IsWindowVisible());
    tip.SetTipType(7);
    EXPECT_FALSE(tip.Show(CWnd::FromHandle(stage.Hwnd()), CRect(600, 560, 700, 580)));
    EXPECT_FALSE(tip.IsWindowVisible());
}

TEST_F(MenuTipTest, TheSharedInformationIconOutlivesTips)
{
    const HICON hShared = ::LoadIcon(nullptr, IDI_INFORMATION);
    {
        CExtPopupMenuTipWnd tip;
        EXPECT_EQ(tip.m_sizeIcon, CSize(16, 16));
        EXPECT_NE(tip.m_icon.GetIcon(), hShared);
    }
    ICONINFO ii = {};
    ASSERT_TRUE(::GetIconInfo(hShared, &ii));
    ::DeleteObject(ii.hbmMask);
    if (ii.hbmColor != nullptr)
        ::DeleteObject(ii.hbmColor);
}

TEST_F(MenuTipTest, BalloonAndRectangleScreenshots)
{
    kxtest::PopupStage stage(StageColor);
    CExtPopupMenuTipWnd balloon;
    balloon.SetText("Balloon tip with the\ninformation icon");
    ShowNow(balloon, stage.Hwnd(), CRect(600, 400, 700, 420));
    const kxgui::PixelBuffer shotBalloon = kxgui::CaptureScreen(balloon.m_hWnd, false);
    kxgui::SaveArtifact(shotBalloon, "tip_balloon.png");
    EXPECT_EQ(shotBalloon.At(shotBalloon.width / 2, 20), CExtPaintManager::SysColor(COLOR_INFOBK));
    CRgn rgn;
    rgn.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(balloon.GetWindowRgn(static_cast<HRGN>(rgn.GetSafeHandle())), ERROR);
    EXPECT_FALSE(rgn.PtInRegion(1, shotBalloon.height - 2));                      // beside the tail
    EXPECT_TRUE(rgn.PtInRegion(shotBalloon.width - 14, shotBalloon.height - 15)); // in the tail
    balloon.Hide();

    CExtPopupMenuTipWnd rect;
    rect.SetTipType(CExtPopupMenuTipWnd::TipTypeRectIconBelow);
    rect.SetText("Rectangle tip");
    ShowNow(rect, stage.Hwnd(), CRect(600, 600, 700, 620));
    const kxgui::PixelBuffer shotRect = kxgui::CaptureScreen(rect.m_hWnd, false);
    kxgui::SaveArtifact(shotRect, "tip_rectangle.png");
    const int s = rect.GetShadowSize();
    ASSERT_EQ(s, 3);
    // the shadow: 70 percent of the stage next to the tip, the stage itself
    // above the band's start
    EXPECT_EQ(shotRect.At(shotRect.width - s, shotRect.height / 2), RGB(140, 154, 168));
    EXPECT_EQ(shotRect.At(shotRect.width - 1, 1), StageColor);
    EXPECT_EQ(shotRect.At(shotRect.width - s - 2, 2), CExtPaintManager::SysColor(COLOR_INFOBK));
}

} // namespace
