#include "controls/custom/SplitterBar.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

const UINT kBarId = 501;

class CSplitParent : public CWnd
{
public:
    std::vector<NMSPLITTER> moves;

protected:
    afx_msg void OnMoved(NMHDR* pNMHDR, LRESULT* pResult) { moves.push_back(*reinterpret_cast<NMSPLITTER*>(pNMHDR)); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CSplitParent, CWnd)
ON_NOTIFY(SPN_MOVED, kBarId, OnMoved)
END_MESSAGE_MAP()

class SplitterBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hHost = kxgui::CreateTestWindow(400, 360, "Splitter");
        ASSERT_NE(m_hHost, nullptr);
        ASSERT_TRUE(m_parent.Create(nullptr, "parent", WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 400, 360),
                                    CWnd::FromHandle(m_hHost), 1));
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
        AfxDeleteTempMaps();
    }
    // The bar's rectangle in the parent.
    CRect BarRect(CSplitterBar& bar)
    {
        CRect rc;
        bar.GetWindowRect(&rc);
        m_parent.ScreenToClient(&rc);
        return rc;
    }
    // Presses on the bar's centre, moves by (dx, dy) in a few steps and
    // releases, letting the bar see each step.
    void Drag(CSplitterBar& bar, int dx, int dy)
    {
        HWND hWnd = m_parent.m_hWnd;
        CPoint centre = BarRect(bar).CenterPoint();
        kxgui::InputScript input;
        input.MoveTo(hWnd, centre).ButtonDown().Send();
        kxgui::PumpUntilIdle();
        for (int step = 1; step <= 4; ++step)
        {
            input.MoveTo(hWnd, CPoint(centre.x + dx * step / 4, centre.y + dy * step / 4)).Send();
            kxgui::PumpUntilIdle();
        }
        input.ButtonUp().Send();
        kxgui::PumpUntilIdle();
    }
    HWND m_hHost = nullptr;
    CSplitParent m_parent;
};

TEST_F(SplitterBarTest, TheRectangleDecidesTheOrientationAndTheBarIsFivePixelsThick)
{
    CSplitterBar vertical;
    ASSERT_TRUE(vertical.Create(WS_CHILD | WS_VISIBLE, CRect(100, 20, 104, 320), &m_parent, kBarId));
    EXPECT_EQ(BarRect(vertical), CRect(100, 20, 105, 320));
    EXPECT_EQ(vertical.SetOrientation(CSplitterBar::vertical), CSplitterBar::vertical);
    EXPECT_TRUE(vertical.GetStyle() & SS_NOTIFY);

    // the size cursor of its orientation over the bar
    vertical.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(vertical.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_SIZEWE));
    // a raised frame around a grey-green face with a grey border
    vertical.Invalidate();
    vertical.UpdateWindow();
    kxgui::PixelBuffer shot = kxgui::CaptureScreen(vertical.m_hWnd);
    EXPECT_EQ(shot.At(0, 150), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(shot.At(4, 150), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(shot.At(1, 150), RGB(200, 200, 200));
    EXPECT_EQ(shot.At(2, 150), RGB(200, 220, 220));

    CSplitterBar horizontal;
    ASSERT_TRUE(horizontal.Create(WS_CHILD | WS_VISIBLE, CRect(20, 200, 320, 260), &m_parent, kBarId + 1));
    EXPECT_EQ(BarRect(horizontal), CRect(20, 200, 320, 205));
    EXPECT_EQ(horizontal.SetOrientation(CSplitterBar::horizontal), CSplitterBar::horizontal);
    horizontal.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(horizontal.m_hWnd),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_SIZENS));
}

TEST_F(SplitterBarTest, WithoutARangeADragMovesNothing)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(100, 20, 104, 320), &m_parent, kBarId));
    Drag(bar, 60, 0);
    ASSERT_EQ(m_parent.moves.size(), 1u);
    EXPECT_EQ(m_parent.moves[0].delta, 0);
    EXPECT_EQ(m_parent.moves[0].newPos, 100);
    EXPECT_EQ(m_parent.moves[0].hdr.idFrom, kBarId);
    EXPECT_EQ(BarRect(bar).left, 100);
}

TEST_F(SplitterBarTest, ADragStopsAtTheEndOfTheRange)
{
    struct Case
    {
        const char* name;
        int dx;
        int expectedLeft;
    };
    // centre 102; range 60 .. 150 in the parent: left edge = centre - 2
    const Case cases[] = {
        {"inside", 30, 130},
        {"beyond the maximum", 200, 148},
        {"beyond the minimum", -90, 58},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_parent.moves.clear();
        CSplitterBar bar;
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(100, 20, 104, 320), &m_parent, kBarId));
        bar.SetRange(60, 150);
        Drag(bar, c.dx, 0);
        ASSERT_EQ(m_parent.moves.size(), 1u);
        EXPECT_EQ(m_parent.moves[0].delta, c.expectedLeft - 100);
        EXPECT_EQ(m_parent.moves[0].newPos, c.expectedLeft);
        EXPECT_EQ(BarRect(bar), CRect(c.expectedLeft, 20, c.expectedLeft + 5, 320));
        bar.DestroyWindow();
    }
}

TEST_F(SplitterBarTest, AHorizontalBarMovesUpAndDownAroundItsOwnCentre)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(20, 200, 320, 260), &m_parent, kBarId));
    // around the centre in the parent's coordinates (202), not the screen's
    bar.SetRangeAround(40, 30);
    Drag(bar, 0, 150);
    ASSERT_EQ(m_parent.moves.size(), 1u);
    EXPECT_EQ(m_parent.moves[0].delta, 30);
    EXPECT_EQ(m_parent.moves[0].newPos, 230);
    EXPECT_EQ(BarRect(bar).top, 230);
}

TEST_F(SplitterBarTest, AReleaseWithoutMovingReportsNoDistanceAndTheSameEdge)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(100, 20, 104, 320), &m_parent, kBarId));
    bar.SetRange(60, 150);
    kxgui::Click(m_parent.m_hWnd, BarRect(bar).CenterPoint());
    ASSERT_EQ(m_parent.moves.size(), 1u);
    EXPECT_EQ(m_parent.moves[0].delta, 0);
    EXPECT_EQ(m_parent.moves[0].newPos, 100);
    EXPECT_EQ(BarRect(bar).left, 100);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

} // namespace
