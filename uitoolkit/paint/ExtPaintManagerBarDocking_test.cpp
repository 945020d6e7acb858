// Bar captions, grippers and frames painted for bars that the framework's
// docking put on a side of a real frame or floated into a mini frame, active
// or not by focus. The bars here reserve their own non-client caption or
// gripper band, as the docking bars do once they paint their chrome.
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/paint/ExtPaintRecords.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const COLORREF kBack = RGB(1, 2, 3);
const int kBand = 18;
const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 70;
const UINT kIdOther = kIdPane + 1;
const UINT kIdGripper = kIdPane + 2;

// A bar with a caption band on top (a pane) or a gripper band at its
// leading edge (a tool bar) while docked; floating, the mini frame's
// caption stands for both.
class CChromeBar : public CExtControlBar
{
public:
    explicit CChromeBar(bool bPane) : m_bPane(bPane) { m_bFixedMode = true; }
    bool Create(CFrameWnd* pFrame, UINT nID)
    {
        m_dwStyle = CBRS_TOP | (m_bPane ? 0 : CBRS_GRIPPER);
        return CWnd::CreateEx(0, AfxRegisterWndClass(0, nullptr, ::GetSysColorBrush(COLOR_WINDOW)), "bar",
                              WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), pFrame, nID) != FALSE;
    }
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override
    {
        return m_bPane ? CSize(150, 130) : (bHorz ? CSize(160, 28) : CSize(28, 160));
    }
    CRect WindowRectAtOrigin() const
    {
        CRect rc;
        GetWindowRect(&rc);
        return CRect(0, 0, rc.Width(), rc.Height());
    }
    CRect ClientRectInWindow() const
    {
        CRect rcWindow, rcClient;
        GetWindowRect(&rcWindow);
        GetClientRect(&rcClient);
        ClientToScreen(&rcClient);
        rcClient.OffsetRect(-rcWindow.left, -rcWindow.top);
        return rcClient;
    }
    // The band the caption or the gripper is painted in, window coordinates.
    CRect BandRect() const
    {
        const CRect rc = WindowRectAtOrigin();
        return m_bPane ? CRect(rc.left, rc.top, rc.right, rc.top + kBand) : CRect(rc.left, rc.top, kBand, rc.bottom);
    }
    void PaintChrome(CDC& dc)
    {
        CExtPaintManager* pm = g_PaintManager.GetPM();
        if (m_bPane)
        {
            CExtPaintManager::BarFrameParams frame(this, WindowRectAtOrigin(), ClientRectInWindow(), IsFloating(),
                                                   false, false);
            pm->PaintBarFrame(dc, frame);
        }
        CExtPaintManager::BarCaptionParams caption(this, BandRect(), BandRect(), CWnd::GetFocus() == this, false,
                                                   !m_bPane, m_bPane, m_bPane ? "Pane" : nullptr, false);
        pm->PaintBarCaption(dc, caption);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message)
        {
        case WM_NCCALCSIZE:
            if (!IsFloating())
            {
                RECT& rc = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0];
                (m_bPane ? rc.top : rc.left) += kBand;
            }
            return 0;
        case WM_NCPAINT:
            if (!IsFloating())
            {
                CWindowDC dc(this);
                PaintChrome(dc);
            }
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW); break;
        }
        return CExtControlBar::WindowProc(message, wParam, lParam);
    }

private:
    bool m_bPane;
};

class BarChromeDocked : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        ExtTestHooks().nScreenBitsPerPixel = 32;
        ExtTestHooks().nDcBitsPerPixel = 32;
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(20, 20, 620, 440), "bar chrome"));
        m_frame.m_pFloatingFrameClass = RUNTIME_CLASS(CExtMiniDockFrameWnd);
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        for (auto [pBar, nID] : {std::pair{&m_pane, kIdPane}, {&m_other, kIdOther}, {&m_gripper, kIdGripper}})
        {
            ASSERT_TRUE(pBar->Create(&m_frame, nID));
            pBar->EnableDocking(CBRS_ALIGN_ANY);
        }
        m_frame.DockControlBar(&m_gripper, AFX_IDW_DOCKBAR_TOP);
        m_frame.DockControlBar(&m_pane, AFX_IDW_DOCKBAR_LEFT);
        m_frame.DockControlBar(&m_other, AFX_IDW_DOCKBAR_RIGHT);
        Layout();
    }
    void TearDown() override
    {
        m_frame.DestroyWindow();
        kxgui::PumpUntilIdle();
        ExtTestHooks() = ExtPaintTestHooks();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    CExtPaintManager* Install(CExtPaintManager* pTheme)
    {
        EXPECT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
        return pTheme;
    }
    // The bar's chrome painted alone over the test background.
    static kxgui::PixelBuffer PaintAlone(CChromeBar& bar)
    {
        const CRect rc = bar.WindowRectAtOrigin();
        kxgui::DibCanvas canvas(rc.Width(), rc.Height(), kBack);
        CDC dc;
        dc.Attach(canvas.Dc());
        bar.PaintChrome(dc);
        dc.Detach();
        return canvas.Pixels();
    }

    CTestDockFrame m_frame;
    CChromeBar m_pane{true}, m_other{true}, m_gripper{false};
};

TEST_F(BarChromeDocked, BarsStandWhereTheDockingPutThem)
{
    EXPECT_TRUE(m_gripper.IsDockedAtTop());
    EXPECT_TRUE(m_pane.IsDockedAtLeft());
    EXPECT_TRUE(m_other.IsDockedAtRight());
    EXPECT_EQ(m_pane.ClientRectInWindow().top, kBand);
    EXPECT_EQ(m_gripper.ClientRectInWindow().left, kBand);
}

// The Office 2003 gradient of a docked bar runs on under its gripper; a
// floating bar gets the dots alone.
TEST_F(BarChromeDocked, Office2003BackgroundUnderTheGripperOnlyWhileDocked)
{
    Install(new CExtPaintManagerOffice2003);
    const COLORREF clrDots = g_PaintManager->GetColor(CExtPaintManager::TC_2003_GRIPPER_DARK, &m_gripper);
    const CRect rcClient = m_gripper.ClientRectInWindow();
    const CPoint ptUnderGripper(1, rcClient.CenterPoint().y), ptClient(rcClient.CenterPoint());
    {
        const kxgui::PixelBuffer px = PaintAlone(m_gripper);
        EXPECT_NE(px.At(ptUnderGripper.x, ptUnderGripper.y), kBack);
        EXPECT_NE(px.At(ptClient.x, ptClient.y), kBack);
        EXPECT_GT(px.CountColor(clrDots, m_gripper.BandRect()), 0);
    }
    m_frame.FloatControlBar(&m_gripper, CPoint(300, 300));
    kxgui::PumpUntilIdle();
    ASSERT_TRUE(m_gripper.IsFloating());
    CWnd* pMiniFrame = m_gripper.GetParentFrame();
    ASSERT_NE(pMiniFrame, nullptr);
    EXPECT_TRUE(pMiniFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)));
    {
        const kxgui::PixelBuffer px = PaintAlone(m_gripper);
        EXPECT_EQ(px.At(ptClient.x, ptClient.y), kBack);
    }
}

// A pane title reaches 4 pixels into the client area below its band; the
// inactive Office 2003 title is the light-to-dark gradient there, the title
// of the focused pane the flat highlight.
TEST_F(BarChromeDocked, Office2003PaneTitleStretchesIntoTheClientAreaAndFollowsFocus)
{
    CExtPaintManager* pm = Install(new CExtPaintManagerOffice2003);
    const int nRight = m_pane.WindowRectAtOrigin().right - 2;
    const int x = m_pane.WindowRectAtOrigin().CenterPoint().x;
    m_other.SetFocus();
    kxgui::PumpUntilIdle();
    {
        const kxgui::PixelBuffer px = PaintAlone(m_pane);
        EXPECT_NE(px.At(x, kBand + 3), kBack);
        EXPECT_EQ(px.At(x, kBand + 4), kBack);
        EXPECT_NE(px.At(1, kBand + 2), kBack);
        EXPECT_EQ(px.At(1, kBand + 2), px.At(1, 2)) << "a horizontal gradient, alike from top to bottom";
        EXPECT_NE(px.At(1, kBand + 2), px.At(nRight, kBand + 2));
    }
    m_pane.SetFocus();
    kxgui::PumpUntilIdle();
    ASSERT_EQ(CWnd::GetFocus(), &m_pane);
    {
        const kxgui::PixelBuffer px = PaintAlone(m_pane);
        EXPECT_EQ(px.At(x, kBand / 2), pm->GetColor(COLOR_HIGHLIGHT, &m_pane));
    }
}

// A docked pane gets no Office 2003 frame at full depth, the XP frame at 8
// bits per pixel (around the client area, so over the caption band).
TEST_F(BarChromeDocked, Office2003DockedPaneFrameByDepth)
{
    CExtPaintManager* pm = Install(new CExtPaintManagerOffice2003);
    const CRect rc = m_pane.WindowRectAtOrigin();
    CExtPaintManager::BarFrameParams frame(&m_pane, rc, m_pane.ClientRectInWindow(), m_pane.IsFloating(), false, true);
    for (int nBits : {32, 8})
    {
        ExtTestHooks().nScreenBitsPerPixel = nBits;
        ExtTestHooks().nDcBitsPerPixel = nBits;
        kxgui::DibCanvas canvas(rc.Width(), rc.Height(), kBack);
        CDC dc;
        dc.Attach(canvas.Dc());
        pm->PaintBarFrame(dc, frame);
        dc.Detach();
        EXPECT_EQ(canvas.Pixels().At(rc.Width() / 2, kBand / 2) == kBack, nBits == 32) << nBits;
    }
}

class BarChromeDockedGallery : public BarChromeDocked, public ::testing::WithParamInterface<int>
{
};

// A real frame with a gripper bar docked on top, a focused pane on the left,
// an inactive one on the right and a floating bar in its mini frame.
TEST_P(BarChromeDockedGallery, Screenshot)
{
    Install(NewExtTestTheme(GetParam()));
    CChromeBar floating(true);
    ASSERT_TRUE(floating.Create(&m_frame, kIdPane + 3));
    floating.EnableDocking(CBRS_ALIGN_ANY);
    m_frame.DockControlBar(&floating, AFX_IDW_DOCKBAR_BOTTOM);
    Layout();
    m_frame.FloatControlBar(&floating, CPoint(260, 200));
    Layout();
    m_pane.SetFocus();
    m_frame.RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    kxgui::PumpUntilIdle();
    ASSERT_EQ(CWnd::GetFocus(), &m_pane);
    ASSERT_TRUE(floating.IsFloating());
    ASSERT_TRUE(floating.GetParentFrame()->IsWindowVisible());
    // the screen, since a window's own DC leaves out the mini frame over it;
    // focusing the pane raised the main frame over the mini frame
    ::SetWindowPos(floating.GetParentFrame()->GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(::GetDesktopWindow(), false);
    ASSERT_FALSE(shot.IsEmpty());
    EXPECT_FALSE(
        kxgui::SaveArtifact(shot, std::string("bar-chrome-docked-") + ExtTestThemeName(GetParam()) + ".png").empty());
    floating.GetParentFrame()->DestroyWindow();
    kxgui::PumpUntilIdle();
}

INSTANTIATE_TEST_SUITE_P(Themes, BarChromeDockedGallery, ::testing::Range(0, kExtTestThemeCount));

} // namespace
