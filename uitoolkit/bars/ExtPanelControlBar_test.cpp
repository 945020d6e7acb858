// The panel bar on a docking frame: its size from the hosted window and the
// margins, the hosted window kept in place and never stretched, the focus
// handed on, and how the bar paints in each theme.
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/core/ExtColorTable.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const UINT kIdPanel = AFX_IDW_CONTROLBAR_FIRST + 41;

class ExtPanelControlBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 480, 320), "Kestrelux panel bar test"));
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        ASSERT_TRUE(m_panel.Create("Panel", &m_frame, kIdPanel, WS_CHILD | WS_VISIBLE | CBRS_TOP));
        m_panel.SetOwner(&m_frame);
        m_panel.EnableDocking(CBRS_ALIGN_ANY);
        m_frame.DockControlBar(&m_panel, AFX_IDW_DOCKBAR_TOP);
        kxgui::Activate(m_frame.m_hWnd);
    }
    void TearDown() override
    {
        kxgui::PumpUntilIdle();
        m_frame.DestroyWindow();
        g_PaintManager.InstallPaintManager(nullptr);
        kxgui::PumpUntilIdle();
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    // A framed static control as the panel's first child.
    HWND CreateChild(int cx, int cy)
    {
        return ::CreateWindowExA(0, "STATIC", "Hosted", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER, 0, 0, cx, cy,
                                 m_panel.m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    }
    CSize PanelSize() const
    {
        CRect rc;
        m_panel.GetWindowRect(&rc);
        return rc.Size();
    }
    // The child's window rectangle in the panel's client coordinates.
    CRect ChildRect(HWND hChild) const
    {
        CRect rc;
        ::GetWindowRect(hChild, &rc);
        m_panel.ScreenToClient(&rc);
        return rc;
    }

    CTestDockFrame m_frame{CTestDockFrame::Kind::PlainFrame};
    CExtPanelControlBar m_panel;
};

TEST_F(ExtPanelControlBarTest, WithoutChildMeasuresMarginsAndPaintsOnlyItsBackground)
{
    Layout();
    ASSERT_TRUE(m_panel.IsDockedHorizontally());
    EXPECT_FALSE(m_panel.HasGripper());
    EXPECT_EQ(m_panel.GetChildSize(), CSize(0, 0));
    EXPECT_EQ(m_panel.GetPanelSize(1), CSize(10, 10));
    EXPECT_EQ(m_panel.CalcFixedLayout(FALSE, TRUE), CSize(12, 12));
    EXPECT_EQ(PanelSize(), CSize(12, 12));
    EXPECT_EQ(m_panel.GetChevron(), nullptr);
    EXPECT_EQ(m_panel.HelpHitTest(CPoint(1, 1)), -1);

    m_panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer image = kxgui::CaptureScreen(m_frame.m_hWnd);
    ASSERT_FALSE(image.IsEmpty());
    CRect rcClient;
    m_panel.GetClientRect(&rcClient);
    m_panel.MapWindowPoints(&m_frame, &rcClient);
    ASSERT_FALSE(rcClient.IsRectEmpty());
    const COLORREF clrFace = g_PaintManager->GetColor(CExtColorTable::TC_FACE_NORMAL, &m_panel);
    EXPECT_EQ(image.CountColor(clrFace, rcClient), rcClient.Width() * rcClient.Height());
}

TEST_F(ExtPanelControlBarTest, FollowsTheChildsSizeAndMovesItInsideTheMargins)
{
    const HWND hChild = CreateChild(100, 30);
    ASSERT_NE(hChild, nullptr);
    Layout();
    EXPECT_EQ(m_panel.GetChildSize(), CSize(100, 30));
    EXPECT_EQ(PanelSize(), CSize(112, 42));
    EXPECT_EQ(ChildRect(hChild), CRect(5, 5, 105, 35));
    EXPECT_EQ(m_panel.GetMinimalSize(), CSize(110, 40));

    // the child grows: the panel follows at the next frame layout
    ::SetWindowPos(hChild, nullptr, 0, 0, 150, 44, SWP_NOMOVE | SWP_NOZORDER);
    Layout();
    EXPECT_EQ(PanelSize(), CSize(162, 56));
    EXPECT_EQ(ChildRect(hChild), CRect(5, 5, 155, 49));

    // a larger bar moves a displaced child back to the corner and leaves
    // its size alone
    ::MoveWindow(hChild, 0, 0, 150, 44, TRUE);
    m_panel.SetWindowPos(nullptr, 0, 0, 300, 120, SWP_NOMOVE | SWP_NOZORDER);
    kxgui::PumpUntilIdle();
    EXPECT_EQ(ChildRect(hChild), CRect(5, 5, 155, 49));

    // docked at the left, the same size (no caption)
    m_frame.DockControlBar(&m_panel, AFX_IDW_DOCKBAR_LEFT);
    Layout();
    ASSERT_TRUE(m_panel.IsDockedVertically());
    EXPECT_EQ(PanelSize(), CSize(162, 56));
    EXPECT_EQ(ChildRect(hChild), CRect(5, 5, 155, 49));
}

TEST_F(ExtPanelControlBarTest, FocusGoesToTheChild)
{
    const HWND hChild = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 80, 20,
                                          m_panel.m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hChild, nullptr);
    Layout();
    m_panel.SetFocus();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(::GetFocus(), hChild);
}

// A panel holding a framed child, docked at the top, in each theme.
class ExtPanelControlBarGallery : public ExtPanelControlBarTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(ExtPanelControlBarGallery, Screenshot)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(GetParam())));
    const HWND hChild = CreateChild(160, 24);
    ASSERT_NE(hChild, nullptr);
    Layout();
    m_frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    kxgui::PumpUntilIdle();
    EXPECT_EQ(PanelSize(), CSize(172, 36));
    const kxgui::PixelBuffer image = kxgui::CaptureScreen(m_frame.m_hWnd);
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_FALSE(kxgui::SaveArtifact(image, std::string("panel-bar-") + ExtTestThemeName(GetParam()) + ".png").empty());
    // the margin band between the bar's edge and the child is painted, and
    // not in the child's colour
    CRect rcMargin(1, 1, 4, 4);
    m_panel.MapWindowPoints(&m_frame, &rcMargin);
    const COLORREF clrMargin = image.At(rcMargin.left, rcMargin.top);
    EXPECT_EQ(image.CountColor(clrMargin, rcMargin), rcMargin.Width() * rcMargin.Height());
}

INSTANTIATE_TEST_SUITE_P(Themes, ExtPanelControlBarGallery, ::testing::Range(0, kExtTestThemeCount),
                         [](const ::testing::TestParamInfo<int>& info) { return ExtTestThemeName(info.param); });

} // namespace
