// The colour picker control on a host window: change notifications of clicks
// and drags, the buttons that do nothing, the mode names, the cube's handles
// and faces, the strips of the panel modes, tiny controls, and pictures of
// every mode.
#include "uitoolkit/controls/ExtColorCtrl.h"

#include "tests/gui/GuiHarness.h"
#include "uitoolkit/core/ExtColorMath.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

struct Change
{
    HWND hWnd;
    COLORREF clrRef, clrCurrent, clrPrev;
};

std::vector<Change> g_changes;

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CExtColorCtrl::g_nMsgColorChanged)
    {
        const COLORREF* pColors = reinterpret_cast<const COLORREF*>(lParam);
        g_changes.push_back(Change{reinterpret_cast<HWND>(wParam), pColors[0], pColors[1], pColors[2]});
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

// A host window with picker controls subclassed over plain child windows,
// as a dialog's items are.
class ColorCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override { g_changes.clear(); }
    void TearDown() override
    {
        for (auto& pCtrl : m_ctrls)
            pCtrl->DestroyWindow();
        m_ctrls.clear();
        if (m_hHost != nullptr)
            ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
    }

    void Host(int cx, int cy) { m_hHost = kxgui::CreateTestWindow(cx, cy, "Colour picker", &HostProc); }

    CExtColorCtrl& Add(int nMode, int x, int y, int cx, int cy)
    {
        HWND hWnd = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, x, y, cx, cy, m_hHost,
                                      nullptr, ::GetModuleHandleA(nullptr), nullptr);
        m_ctrls.push_back(std::make_unique<CExtColorCtrl>(nMode));
        CExtColorCtrl& ctrl = *m_ctrls.back();
        EXPECT_TRUE(ctrl.SubclassWindow(hWnd));
        return ctrl;
    }

    static void Send(CExtColorCtrl& ctrl, UINT message, POINT pt, UINT nFlags = 0)
    {
        ctrl.SendMessage(message, nFlags, MAKELPARAM(pt.x, pt.y));
    }
    static void Drag(CExtColorCtrl& ctrl, POINT from, POINT to, UINT nFlags = 0)
    {
        Send(ctrl, WM_LBUTTONDOWN, from, MK_LBUTTON | nFlags);
        Send(ctrl, WM_MOUSEMOVE, to, MK_LBUTTON | nFlags);
        Send(ctrl, WM_LBUTTONUP, to, nFlags);
    }
    static POINT CellCentre(const CExtColorCtrl& ctrl, int n)
    {
        const CExtColorCtrl::cell_t& cell = ctrl.m_cellBased.m_arrCells[n];
        return POINT{cell.m_pts[1].x, (cell.m_pts[1].y + cell.m_pts[4].y) / 2};
    }

    HWND m_hHost = nullptr;
    std::vector<std::unique_ptr<CExtColorCtrl>> m_ctrls;
};

TEST_F(ColorCtrlTest, DragNotifiesEachChangeWithThePreviousColor)
{
    Host(160, 160);
    CExtColorCtrl& ctrl = Add(0, 0, 0, 160, 160);
    const COLORREF clrA = ctrl.m_cellBased.m_arrCells[3].m_clr, clrB = ctrl.m_cellBased.m_arrCells[40].m_clr;
    const COLORREF clrC = ctrl.m_cellBased.m_arrCells[130].m_clr;
    Send(ctrl, WM_LBUTTONDOWN, CellCentre(ctrl, 3), MK_LBUTTON);
    EXPECT_TRUE(ctrl.m_bTracking);
    EXPECT_EQ(CExtMouseCaptureSink::GetCapture(), ctrl.m_hWnd);
    Send(ctrl, WM_MOUSEMOVE, CellCentre(ctrl, 40), MK_LBUTTON);
    Send(ctrl, WM_MOUSEMOVE, CellCentre(ctrl, 40), MK_LBUTTON); // no change, no message
    Send(ctrl, WM_MOUSEMOVE, POINT{1, 1}, MK_LBUTTON);          // between cells
    Send(ctrl, WM_MOUSEMOVE, CellCentre(ctrl, 130), MK_LBUTTON);
    Send(ctrl, WM_LBUTTONUP, CellCentre(ctrl, 130));
    EXPECT_FALSE(ctrl.m_bTracking);
    EXPECT_EQ(CExtMouseCaptureSink::GetCapture(), nullptr);
    ASSERT_EQ(g_changes.size(), 3u);
    const COLORREF expected[3][2] = {{clrA, RGB(255, 255, 255)}, {clrB, clrA}, {clrC, clrB}};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(g_changes[i].hWnd, ctrl.m_hWnd);
        EXPECT_EQ(g_changes[i].clrCurrent, expected[i][0]) << i;
        EXPECT_EQ(g_changes[i].clrPrev, expected[i][1]) << i;
        EXPECT_EQ(g_changes[i].clrRef, RGB(255, 255, 255));
    }
    EXPECT_EQ(ctrl.m_colors.m_clrCurrent, clrC);
}

TEST_F(ColorCtrlTest, ClicksWithoutChangeAndOtherButtonsSendNothing)
{
    Host(160, 160);
    CExtColorCtrl& ctrl = Add(0, 0, 0, 160, 160);
    const POINT ptA = CellCentre(ctrl, 10);
    ctrl.SetColor(ctrl.m_cellBased.m_arrCells[10].m_clr, true);
    ASSERT_EQ(g_changes.size(), 1u);
    g_changes.clear();
    ctrl.SetColor(ctrl.m_colors.m_clrCurrent, true); // the same colour: nothing
    Drag(ctrl, ptA, ptA);
    EXPECT_TRUE(g_changes.empty());
    const COLORREF clr = ctrl.m_colors.m_clrCurrent;
    for (UINT message : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK,
                         WM_LBUTTONDBLCLK})
    {
        Send(ctrl, message, CellCentre(ctrl, 50));
        Send(ctrl, WM_MOUSEMOVE, CellCentre(ctrl, 60), MK_LBUTTON);
        EXPECT_FALSE(ctrl.m_bTracking) << message;
    }
    EXPECT_TRUE(g_changes.empty());
    EXPECT_EQ(ctrl.m_colors.m_clrCurrent, clr);
}

TEST_F(ColorCtrlTest, KeyDownEndsTheDrag)
{
    Host(160, 160);
    CExtColorCtrl& ctrl = Add(0, 0, 0, 160, 160);
    Send(ctrl, WM_LBUTTONDOWN, CellCentre(ctrl, 3), MK_LBUTTON);
    ctrl.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(ctrl.m_bTracking);
    g_changes.clear();
    Send(ctrl, WM_MOUSEMOVE, CellCentre(ctrl, 40), MK_LBUTTON);
    EXPECT_TRUE(g_changes.empty());
}

TEST(ExtColorCtrl, ModeNames)
{
    EXPECT_EQ(CExtColorCtrl::GetModeName(0), CString(" basic colors"));
    EXPECT_EQ(CExtColorCtrl::GetModeName(14), CString(" yellow axis"));
    EXPECT_TRUE(CExtColorCtrl::GetModeName(15).IsEmpty());
    EXPECT_TRUE(CExtColorCtrl::GetModeName(-1).IsEmpty());
}

TEST_F(ColorCtrlTest, ModeChangeKeepsTheColorAndCatchesUp)
{
    Host(150, 150);
    CExtColorCtrl& ctrl = Add(5, 0, 0, 150, 150);
    ctrl.SetColor(RGB(10, 20, 30), false);
    ctrl.ResetAllModes();
    ctrl.m_nMode = 4;
    ctrl.RecalcLayout(false);
    EXPECT_EQ(ctrl.m_rgbCube.m_clr, RGB(10, 20, 30));
    // a mode left behind is brought up to date at the next button-down
    ctrl.m_nMode = 5;
    ctrl.SetColor(RGB(40, 50, 60), false);
    ctrl.m_nMode = 4;
    Send(ctrl, WM_LBUTTONDOWN, POINT{1, 1}, MK_LBUTTON);
    Send(ctrl, WM_LBUTTONUP, POINT{1, 1});
    EXPECT_EQ(ctrl.m_rgbCube.m_clr, RGB(40, 50, 60));
    EXPECT_TRUE(g_changes.empty());
}

TEST_F(ColorCtrlTest, RgbMixerReplacesOneChannel)
{
    Host(150, 150);
    CExtColorCtrl& ctrl = Add(5, 0, 0, 150, 150);
    ctrl.SetColor(RGB(10, 20, 30), false);
    // rows overlap in a control under 532 pixels: the first cell hit counts
    const POINT pt{ctrl.m_rgbMixer.m_arrCells[256 + 200].m_rect.left + 1, 110};
    const int n = CExtColorPickerCells::FindCell(ctrl.m_rgbMixer.m_arrCells, pt.x, pt.y);
    ASSERT_GE(n, 256 + 190);
    ASSERT_LT(n, 256 + 210);
    Drag(ctrl, pt, pt);
    EXPECT_EQ(ctrl.m_colors.m_clrCurrent, RGB(10, n - 256, 30));
}

TEST_F(ColorCtrlTest, CubeHandlesAndFaces)
{
    Host(150, 150);
    CExtColorCtrl& ctrl = Add(4, 0, 0, 150, 150);
    const CExtColorCubeGeometry& g = ctrl.m_rgbCube.m_geom;
    ASSERT_EQ(g.Width(), 140);
    ctrl.SetColor(RGB(0, 0, 200), false);
    // the first handle dragged above A clamps to 255
    Send(ctrl, WM_LBUTTONDOWN, g.m_ptFirst, MK_LBUTTON);
    Send(ctrl, WM_MOUSEMOVE, POINT{g.m_ptFirst.x, -40}, MK_LBUTTON);
    Send(ctrl, WM_LBUTTONUP, POINT{g.m_ptFirst.x, -40});
    EXPECT_EQ(ctrl.m_colors.m_clrCurrent, RGB(255, 0, 200));
    ASSERT_EQ(g_changes.size(), 1u);
    EXPECT_EQ(g_changes[0].clrPrev, RGB(0, 0, 200));
    // Ctrl on the red-green face keeps the blue
    Drag(ctrl, POINT{30, 60}, POINT{30, 60}, MK_CONTROL);
    EXPECT_EQ(GetBValue(ctrl.m_colors.m_clrCurrent), 200);
    EXPECT_NE(GetGValue(ctrl.m_colors.m_clrCurrent), 0);
    // without Ctrl the face's own colour, blue 0
    Drag(ctrl, POINT{30, 60}, POINT{30, 60});
    EXPECT_EQ(GetBValue(ctrl.m_colors.m_clrCurrent), 0);
}

TEST_F(ColorCtrlTest, PanelStripsReachTheFarEnd)
{
    Host(300, 100);
    CExtColorCtrl& mixer = Add(1, 0, 0, 100, 100);
    CExtColorCtrl& axis = Add(9, 100, 0, 100, 100);
    CExtColorCtrl& roller = Add(3, 200, 0, 100, 100);
    const int yStrip = 100 - 4 - 10; // inside the strip
    mixer.SetColor(RGB(200, 0, 0), false);
    Drag(mixer, POINT{50, yStrip}, POINT{500, yStrip});
    EXPECT_EQ(mixer.m_hslPanel.m_fL, 1.0);
    EXPECT_EQ(mixer.m_colors.m_clrCurrent, RGB(255, 255, 255));
    axis.SetColor(RGB(0, 7, 9), false);
    Drag(axis, POINT{50, yStrip}, POINT{96, yStrip});
    EXPECT_EQ(axis.m_colors.m_clrCurrent, RGB(255, 7, 9));

    // the roller: below the wheel it picks lightness, beside it nothing
    roller.SetColor(RGB(0, 0, 255), false);
    g_changes.clear();
    Drag(roller, POINT{2, 10}, POINT{2, 10});
    EXPECT_TRUE(g_changes.empty());
    Drag(roller, POINT{4, yStrip}, POINT{4, yStrip});
    EXPECT_EQ(roller.m_hslRoller.m_fL, 0.0);
    EXPECT_EQ(roller.m_colors.m_clrCurrent, RGB(0, 0, 0));
}

TEST_F(ColorCtrlTest, HslMixerCtrlKeepsTheHue)
{
    Host(100, 100);
    CExtColorCtrl& ctrl = Add(1, 0, 0, 100, 100);
    Drag(ctrl, POINT{30, 20}, POINT{30, 20});
    const double fHue = ctrl.m_hslPanel.m_fH;
    Send(ctrl, WM_LBUTTONDOWN, POINT{70, 30}, MK_LBUTTON | MK_CONTROL);
    Send(ctrl, WM_MOUSEMOVE, POINT{80, 40}, MK_LBUTTON | MK_CONTROL);
    EXPECT_EQ(ctrl.m_hslPanel.m_fH, fHue);
    EXPECT_EQ(ctrl.m_hslPanel.m_nMarkerY, 36);
    Send(ctrl, WM_LBUTTONUP, POINT{80, 40});
}

TEST_F(ColorCtrlTest, TinyControlsPaintAndPickSafely)
{
    Host(40, 40);
    for (int size : {1, 10})
        for (int nMode = 0; nMode < CExtColorCtrl::MODE_COUNT; ++nMode)
        {
            CExtColorCtrl& ctrl = Add(nMode, 0, 0, size, size);
            ctrl.SetColor(RGB(90, 80, 70), false);
            Drag(ctrl, POINT{size / 2, size / 2}, POINT{size, size});
            Drag(ctrl, POINT{0, 0}, POINT{-5, 30});
            ::RedrawWindow(ctrl.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            // a cube under 2 pixels has no picture; panel pictures are at least 1 by 1
            EXPECT_EQ(ctrl.m_rgbCube.m_cache.GetDC(), nullptr);
            EXPECT_EQ(ctrl.m_cmyCube.m_cache.GetDC(), nullptr);
            if (nMode == 1)
            {
                EXPECT_TRUE(ctrl.m_hslPanel.m_bPanelValid);
                EXPECT_GE(ctrl.m_hslPanel.m_geom.m_nPanelHeight, 1);
            }
            ctrl.DestroyWindow();
        }
    kxgui::PumpUntilIdle();
}

TEST_F(ColorCtrlTest, EveryModePaints)
{
    const int cx = 120, cy = 110;
    Host(4 * cx, 4 * cy);
    for (int nMode = 0; nMode < CExtColorCtrl::MODE_COUNT; ++nMode)
    {
        CExtColorCtrl& ctrl = Add(nMode, (nMode % 4) * cx, (nMode / 4) * cy, cx - 4, cy - 4);
        ctrl.m_colors.m_clrRef = RGB(0, 128, 0);
        ctrl.RecalcLayout(false);
        ctrl.SetColor(RGB(255, 128, 0), false);
    }
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_hHost);
    ASSERT_FALSE(shot.IsEmpty());
    kxgui::SaveArtifact(shot, "color_ctrl_modes.png");

    // the honeycomb shows each cell's own colour at its centre
    const CExtColorCtrl& honeycomb = *m_ctrls[0];
    for (int n : {0, 1, 50, 126, 130, 143})
    {
        const POINT c = CellCentre(honeycomb, n);
        EXPECT_EQ(shot.At(c.x, c.y), honeycomb.m_cellBased.m_arrCells[n].m_clr) << n;
    }
    // the difference view: the colour above the reference
    const int xDiff = 3 * cx + 10, yDiff = 3 * cy;
    EXPECT_EQ(shot.At(xDiff, yDiff + 5), RGB(255, 128, 0));
    EXPECT_EQ(shot.At(xDiff, yDiff + cy - 10), RGB(0, 128, 0));
    // the red axis strip runs from black to full red
    const int yStrip = 2 * cy + (cy - 4) - 4 - 10;
    EXPECT_EQ(shot.At(cx + 4, yStrip), RGB(0, 0, 0));
    EXPECT_EQ(shot.At(cx + 4 + 54, yStrip), RGB(127, 0, 0));
}

} // namespace
