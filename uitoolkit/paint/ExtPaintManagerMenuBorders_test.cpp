// Menu borders and the combined area, status-bar borders and pane frames,
// and the metrics of the themes that need no bar state.
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

const COLORREF kBack = RGB(1, 2, 3);

struct Canvas
{
    kxgui::DibCanvas canvas{100, 60, kBack};
    CDC dc;
    Canvas() { dc.Attach(canvas.Dc()); }
    ~Canvas() { dc.Detach(); }
};

class MenuBorders : public ::testing::Test
{
protected:
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }
    static COLORREF C(int nIndex) { return g_PaintManager->GetColor(nIndex); }
};

TEST_F(MenuBorders, ClassicBorderIsFourNestedFrames)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    Canvas c;
    g_PaintManager->PaintMenuBorder(c.dc, CRect(0, 0, 40, 30), nullptr, 0);
    const kxgui::PixelBuffer px = c.canvas.Pixels();
    struct
    {
        int nInset;
        int nTopLeft, nBottomRight;
    } frames[] = {{0, 1000, 1008}, {1, 1004, 1006}, {2, 1000, 1000}, {3, 1000, 1000}};
    for (const auto& f : frames)
    {
        EXPECT_EQ(px.At(f.nInset, 15), C(f.nTopLeft)) << f.nInset;
        EXPECT_EQ(px.At(20, f.nInset), C(f.nTopLeft)) << f.nInset;
        EXPECT_EQ(px.At(39 - f.nInset, 15), C(f.nBottomRight)) << f.nInset;
        EXPECT_EQ(px.At(20, 29 - f.nInset), C(f.nBottomRight)) << f.nInset;
    }
    EXPECT_EQ(px.At(4, 15), kBack);
    EXPECT_EQ(g_PaintManager->GetMenuBorderSize(), 2);

    // XP: one frame in the gripper colour
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerXP));
    Canvas x;
    g_PaintManager->PaintMenuBorder(x.dc, CRect(0, 0, 40, 30), nullptr, 0);
    const kxgui::PixelBuffer pxXp = x.canvas.Pixels();
    EXPECT_EQ(pxXp.At(0, 15), C(CExtPaintManager::TC_XP_GRIPPER));
    EXPECT_EQ(pxXp.At(1, 15), kBack);
}

TEST_F(MenuBorders, ClassicCombinedAreaOpenAtTheTop)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    Canvas c;
    const CRect rcOuter(10, 10, 50, 30);
    g_PaintManager->PaintMenuCombinedArea(c.dc, rcOuter, CRect(60, 40, 70, 50), 2, nullptr, 0);
    const kxgui::PixelBuffer px = c.canvas.Pixels();
    const COLORREF face = C(1000);
    // filled one pixel above the outer rectangle, no top line
    EXPECT_EQ(px.At(30, 9), face);
    EXPECT_EQ(px.At(30, 8), kBack);
    EXPECT_EQ(px.At(30, 7), kBack);
    // the side lines start two pixels above it
    EXPECT_EQ(px.At(10, 8), face);
    EXPECT_EQ(px.At(49, 8), C(1006));
    EXPECT_EQ(px.At(49, 7), kBack);
    EXPECT_EQ(px.At(11, 9), C(1004));
    EXPECT_EQ(px.At(48, 9), C(1008));
    EXPECT_EQ(px.At(30, 29), C(1006));
    EXPECT_EQ(px.At(30, 28), C(1008));
}

TEST_F(MenuBorders, XpCombinedAreaFrameHasAGap)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerXP));
    Canvas c;
    // a menu below its button: the button's inside crosses the top edge
    g_PaintManager->PaintMenuCombinedArea(c.dc, CRect(10, 10, 50, 30), CRect(15, 0, 40, 12), 2, nullptr, 0);
    const kxgui::PixelBuffer px = c.canvas.Pixels();
    const COLORREF gripper = C(CExtPaintManager::TC_XP_GRIPPER);
    EXPECT_EQ(px.At(12, 9), gripper);  // one pixel outside the fill on the open edge
    EXPECT_EQ(px.At(20, 9), kBack);    // the gap
    EXPECT_EQ(px.At(20, 10), C(2000)); // the fill
    EXPECT_EQ(px.At(49, 20), gripper);
}

// A tool bar whose menu is open from its only button.
class CTrackingBar : public CExtToolControlBar
{
public:
    explicit CTrackingBar(CExtBarButton* pButton)
    {
        m_arrButtons.Add(pButton);
        m_nBtnIdxMenuTracking = 0;
    }
};

// A popup menu joined to a bar, optionally as a sub-menu of another menu.
class CJoinedMenu : public CExtPopupMenuWnd
{
public:
    CJoinedMenu(CExtToolControlBar* pBar, bool bSubMenu) : m_bSubMenu(bSubMenu)
    {
        m_pCbPaintCombinedCookie = pBar;
        m_bUseCombinedCookie = pBar != nullptr;
    }
    bool IsSubMenuOfPopupMenu() const override { return m_bSubMenu; }

private:
    bool m_bSubMenu;
};

TEST_F(MenuBorders, Office2003CombinedAreaFollowsThePopup)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerOffice2003));
    ASSERT_FALSE(g_PaintManager->IsLunaSchemeUsed());
    const CRect rcOuter(10, 10, 50, 30);
    const COLORREF gripper = C(CExtPaintManager::TC_XP_GRIPPER);
    {
        // a chevron's menu: only the pressed corner block, 4 x 4 plus 2 at the left
        CTrackingBar bar(new CExtBarContentExpandButton);
        bar.m_nToolBarOptions |= CExtToolControlBar::TbOptGradientUndocked;
        CJoinedMenu menu(&bar, false);
        Canvas c;
        g_PaintManager->PaintMenuCombinedArea(c.dc, rcOuter, CRect(15, 0, 40, 12), 1, &menu, 0);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_EQ(px.CountColor(C(CExtColorTable::TC_2003_CHEVRON_PRESSED_LIGHT), CRect(44, 25, 50, 29)), 24);
        EXPECT_EQ(px.CountColor(kBack, CRect(0, 0, 100, 60)), 100 * 60 - 24);
    }
    {
        // a bar neither docked nor drawn with the undocked gradient: the XP form
        CTrackingBar bar(new CExtBarContentExpandButton);
        CJoinedMenu menu(&bar, false);
        Canvas c;
        g_PaintManager->PaintMenuCombinedArea(c.dc, rcOuter, CRect(15, 0, 40, 12), 2, &menu, 0);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_EQ(px.At(20, 10), C(CExtPaintManager::TC_XP_FACE));
        EXPECT_EQ(px.At(20, 9), kBack);
        EXPECT_EQ(px.At(12, 9), gripper);
    }
    {
        // a top-level menu: the light face with a gap in the frame
        CJoinedMenu menu(nullptr, false);
        Canvas c;
        g_PaintManager->PaintMenuCombinedArea(c.dc, rcOuter, CRect(15, 0, 40, 12), 2, &menu, 0);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_EQ(px.At(20, 12), C(CExtPaintManager::TC_XP_LIGHT_FACE));
        EXPECT_EQ(px.At(20, 9), kBack);
        EXPECT_EQ(px.At(12, 9), gripper);
        EXPECT_EQ(px.At(49, 20), gripper);
    }
    {
        // a sub-menu opened to the right: the frame steps 2 pixels back and has no gap
        CJoinedMenu menu(nullptr, true);
        Canvas c;
        g_PaintManager->PaintMenuCombinedArea(c.dc, rcOuter, CRect(40, 15, 60, 25), 4, &menu, 0);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_EQ(px.At(20, 20), C(CExtPaintManager::TC_XP_FACE));
        EXPECT_EQ(px.At(48, 20), gripper);
        EXPECT_EQ(px.At(49, 20), kBack);
        EXPECT_EQ(px.At(48, 10), gripper);
    }
}

TEST_F(MenuBorders, StatusBarBordersAndPanes)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    Canvas c;
    CExtPaintManager::StatusBarItemParams bar(nullptr, CExtPaintManager::StatusBarItemParams::KindBarBorders,
                                              CBRS_BORDER_TOP | CBRS_BORDER_3D, CRect(0, 0, 100, 20));
    g_PaintManager->PaintStatusBarItem(c.dc, bar);
    kxgui::PixelBuffer px = c.canvas.Pixels();
    EXPECT_EQ(px.CountColor(C(1000), CRect(0, 0, 100, 2)), 200); // outer line at 0, inner at 1
    EXPECT_EQ(px.CountColor(kBack, CRect(0, 2, 100, 60)), 100 * 58);

    struct
    {
        CRuntimeClass* pTheme;
        int nTopLeft, nBottomRight;
    } panes[] = {
        {RUNTIME_CLASS(CExtPaintManager), 1006, 1004},
        {RUNTIME_CLASS(CExtPaintManagerXP), COLOR_3DSHADOW, COLOR_3DSHADOW},
        {RUNTIME_CLASS(CExtPaintManagerOffice2003), 3014, 3014},
    };
    for (const auto& pane : panes)
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(static_cast<CExtPaintManager*>(pane.pTheme->CreateObject())));
        Canvas k;
        CExtPaintManager::StatusBarItemParams item(nullptr, CExtPaintManager::StatusBarItemParams::KindPane, 0,
                                                   CRect(10, 10, 40, 30));
        g_PaintManager->PaintStatusBarItem(k.dc, item);
        px = k.canvas.Pixels();
        EXPECT_EQ(px.At(10, 20), C(pane.nTopLeft)) << pane.pTheme->m_lpszClassName;
        EXPECT_EQ(px.At(39, 20), C(pane.nBottomRight)) << pane.pTheme->m_lpszClassName;
        EXPECT_EQ(px.At(20, 20), kBack);
    }
}

TEST_F(MenuBorders, MetricsWithoutBarState)
{
    CExtMenuControlBar menuBar;
    CExtToolControlBar toolBar;
    for (CRuntimeClass* pClass : {RUNTIME_CLASS(CExtPaintManager), RUNTIME_CLASS(CExtPaintManagerXP),
                                  RUNTIME_CLASS(CExtPaintManagerOffice2003)})
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(static_cast<CExtPaintManager*>(pClass->CreateObject())));
        EXPECT_EQ(g_PaintManager->GetToolBarRowGap(&menuBar), 0) << pClass->m_lpszClassName;
        EXPECT_EQ(g_PaintManager->GetToolBarRowGap(&toolBar), 6) << pClass->m_lpszClassName;
        EXPECT_EQ(g_PaintManager->GetTipShadowSize(), 3);
        EXPECT_EQ(g_PaintManager->GetPopupShadowSize(), 4);
        SIZE offset = {9, 9};
        EXPECT_EQ(g_PaintManager->GetPushedContentOffset(&offset), &offset);
    }
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    SIZE offset = {0, 0};
    g_PaintManager->GetPushedContentOffset(&offset);
    EXPECT_EQ(offset.cx, 1);
    EXPECT_EQ(offset.cy, 1);
    EXPECT_EQ(g_PaintManager->GetShadowColor(), static_cast<COLORREF>(-1));
}

} // namespace
