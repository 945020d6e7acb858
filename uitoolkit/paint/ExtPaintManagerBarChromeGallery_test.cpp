// One screenshot per theme of the bar chrome: a docked pane's frame with
// active and inactive titles, a gripper and caption buttons, a floating
// frame, tab strips at the top and bottom, grouped and not, and the finish
// under a tracked bar button.
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/FakeTabWnd.h"
#include "tests/support/ToolkitPaintWindow.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kNone = static_cast<COLORREF>(-1);

struct Chrome
{
    CExtControlBar pane;
    CExtToolControlBar toolBar;
    CExtBarButton button{&toolBar};
    kxtest::FakeTabWnd tabs{0, 3, 1};
    kxtest::FakeTabWnd groupedTabs{0x80, 3, 1};

    void Pane(CDC& dc, CExtPaintManager& pm, int x, int y, bool bActive)
    {
        const CRect rcWindow(x, y, x + 200, y + 90), rcClient(x + 4, y + 22, x + 196, y + 86);
        CExtPaintManager::BarFrameParams frame(&pane, rcWindow, rcClient, false, false, false);
        const int nSaved = dc.SaveDC();
        pm.PaintBarFrame(dc, frame);
        dc.RestoreDC(nSaved);
        dc.FillSolidRect(&rcClient, kBack);
        const CRect rcCaption(x + 2, y + 2, x + 198, y + 20);
        CExtPaintManager::BarCaptionParams caption(&pane, rcCaption, CRect(x + 4, y + 2, x + 160, y + 20), bActive,
                                                   false, false, true, _T("Properties"), false);
        pm.PaintBarCaption(dc, caption);
        for (int i = 0; i < 2; ++i)
        {
            CExtPaintManager::BarNcButtonParams button(
                nullptr, CRect(x + 178 - i * 18, y + 4, x + 193 - i * 18, y + 19), i == 0 ? 1 : 45, i == 0 && bActive,
                false, true, true, bActive, false);
            pm.PaintBarNcButton(dc, button);
        }
    }

    void Gripper(CDC& dc, CExtPaintManager& pm, int x, int y)
    {
        CExtPaintManager::BarCaptionParams horz(&pane, CRect(x, y, x + 200, y + 12), CRect(x, y, x + 200, y + 12),
                                                false, false, false, false, nullptr, false);
        pm.PaintBarCaption(dc, horz);
        CExtPaintManager::BarCaptionParams side(&pane, CRect(x + 210, y - 60, x + 222, y + 12),
                                                CRect(x + 210, y - 60, x + 222, y + 12), false, false, true, false,
                                                nullptr, false);
        pm.PaintBarCaption(dc, side);
    }

    void Floating(CDC& dc, CExtPaintManager& pm, int x, int y)
    {
        const CRect rcWindow(x, y, x + 200, y + 90), rcClient(x + 3, y + 21, x + 197, y + 87);
        CExtPaintManager::BarFrameParams frame(nullptr, rcWindow, rcClient, true, false, false);
        const int nSaved = dc.SaveDC();
        pm.PaintBarFrame(dc, frame);
        dc.RestoreDC(nSaved);
        dc.FillSolidRect(&rcClient, kBack);
        CExtPaintManager::BarCaptionParams caption(nullptr, CRect(x + 3, y + 3, x + 197, y + 20),
                                                   CRect(x + 5, y + 3, x + 170, y + 20), true, true, false, true,
                                                   _T("Floating pane"), false);
        pm.PaintBarCaption(dc, caption);
        CExtPaintManager::BarNcButtonParams button(nullptr, CRect(x + 179, y + 4, x + 194, y + 19), 1, true, false,
                                                   true, true, true, true);
        pm.PaintBarNcButton(dc, button);
    }

    void Strip(CDC& dc, CExtPaintManager& pm, int x, int y, bool bTop, bool bGrouped)
    {
        kxtest::FakeTabWnd& wnd = bGrouped ? groupedTabs : tabs;
        const CRect rcClient(x, y, x + 260, y + 26);
        const CRect rcNear = bTop ? CRect(x, y + 22, x + 260, y + 26) : CRect(x, y, x + 260, y + 4);
        pm.PaintTabClientArea(dc, rcClient, rcClient, rcNear, bTop ? 0 : 1, bGrouped, &wnd, 0);
        const TCHAR* texts[3] = {_T("Output"), _T("Find"), _T("Tasks")};
        for (int i = 0; i < 3; ++i)
        {
            const int nTop = bTop ? y + 3 : y + 4;
            const CRect rcItem(x + 4 + i * 70, nTop, x + 70 + i * 70, nTop + 19);
            pm.PaintTabItem(dc, rcClient, bTop, true, i == 1, false, bGrouped, false, false, rcItem, CSize(40, 13), 13,
                            &pm.FontNormal, texts[i], nullptr, &wnd, i, kNone, kNone, kNone, kNone, kNone);
        }
        pm.PaintTabButton(dc, CRect(x + 226, y + 5, x + 242, y + 21), -8, bTop, true, true, true, false, bGrouped, &wnd,
                          0);
        pm.PaintTabButton(dc, CRect(x + 243, y + 5, x + 259, y + 21), -7, bTop, true, true, false, true, bGrouped, &wnd,
                          0);
    }

    void Paint(CDC& dc)
    {
        CExtPaintManager& pm = *g_PaintManager.GetPM();
        Pane(dc, pm, 8, 8, true);
        Pane(dc, pm, 8, 106, false);
        Gripper(dc, pm, 8, 214);
        Floating(dc, pm, 250, 8);
        Strip(dc, pm, 250, 110, true, false);
        Strip(dc, pm, 250, 142, false, false);
        Strip(dc, pm, 250, 174, true, true);
        Strip(dc, pm, 250, 206, false, true);
        toolBar.m_dwStyle = CBRS_ALIGN_LEFT;
        button.m_rc = CRect(470, 8, 500, 60);
        pm.PaintTrackedButtonBackground(dc, &button, 0);
    }
};

class BarChromeGallery : public ::testing::TestWithParam<int>
{
protected:
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }
};

TEST_P(BarChromeGallery, Screenshot)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(GetParam())));
    Chrome chrome;
    kxtest::ToolkitPaintWindow wnd(520, 240, "bar chrome", kBack, [&chrome](CDC& dc) { chrome.Paint(dc); });
    ASSERT_NE(wnd.Hwnd(), nullptr);
    const kxgui::PixelBuffer shot = wnd.PaintAndCapture();
    ASSERT_FALSE(shot.IsEmpty());
    EXPECT_FALSE(kxgui::SaveArtifact(shot, std::string("bar-chrome-") + ExtTestThemeName(GetParam()) + ".png").empty());
    // the caption strips and the tab strips left the background
    EXPECT_LT(shot.CountColor(kBack, CRect(10, 10, 206, 20)), 196 * 10);
    EXPECT_LT(shot.CountColor(kBack, CRect(250, 110, 510, 136)), 260 * 26);
}

INSTANTIATE_TEST_SUITE_P(Themes, BarChromeGallery, ::testing::Range(0, kExtTestThemeCount));

} // namespace
