// Scroll bars laid out by their parent: the corner a bottom and right pair
// leave empty, the query pass, and the end buddy of a bar too short for it.
#include "uitoolkit/controls/ExtScrollBar.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

const UINT kIdBottom = 101, kIdRight = 102, kIdBuddy = 103;

CRect ChildRect(const CWnd& parent, HWND hWnd)
{
    CRect rc;
    ::GetWindowRect(hWnd, &rc);
    parent.ScreenToClient(&rc);
    return rc;
}

class ExtScrollBarLayout : public ::testing::Test
{
protected:
    CWnd m_parent;
    CExtScrollBar m_bottom, m_right;
    CStatic m_buddy;
    int m_nHorz = ::GetSystemMetrics(SM_CYHSCROLL), m_nVert = ::GetSystemMetrics(SM_CXVSCROLL);

    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0, nullptr, (HBRUSH)(COLOR_WINDOW + 1)), "scroll bars",
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, CRect(40, 40, 440, 340),
                                      nullptr, 0));
        const CRect rcAny(0, 0, 10, 10);
        // bottom first: it follows the right bar's predecessor in z-order
        ASSERT_TRUE(m_bottom.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, rcAny, &m_parent, kIdBottom));
        ASSERT_TRUE(m_right.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, rcAny, &m_parent, kIdRight));
        ASSERT_TRUE(
            m_buddy.Create("buddy", WS_CHILD | WS_VISIBLE | SS_CENTER, CRect(0, 0, 60, 30), &m_parent, kIdBuddy));
        kxgui::PumpUntilIdle();
    }
    void TearDown() override { m_parent.DestroyWindow(); }

    void SetClientSize(int cx, int cy)
    {
        CRect rc(0, 0, cx, cy);
        ::AdjustWindowRectEx(&rc, m_parent.GetStyle(), FALSE, m_parent.GetExStyle());
        m_parent.SetWindowPos(nullptr, 0, 0, rc.Width(), rc.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
};

TEST_F(ExtScrollBarLayout, SynchronisedPairLeavesTheCornerEmpty)
{
    EXPECT_EQ(m_bottom.GetOrientation(), kxscroll::OrientationBottom);
    EXPECT_EQ(m_right.GetOrientation(), kxscroll::OrientationRight); // SBS_VERT alone
    m_bottom.SyncCornerFlags(&m_right);
    m_right.SyncCornerFlags(&m_bottom); // not followed by its partner: no change
    EXPECT_EQ(m_bottom.m_nBarFlags & (kxscroll::BarCornerAtStart | kxscroll::BarCornerAtEnd), kxscroll::BarCornerAtEnd);
    EXPECT_EQ(m_right.m_nBarFlags & (kxscroll::BarCornerAtStart | kxscroll::BarCornerAtEnd), 0);

    SetClientSize(300, 200);
    m_parent.RepositionBars(0, 0xFFFF, 0);
    EXPECT_EQ(ChildRect(m_parent, m_bottom.m_hWnd), CRect(0, 200 - m_nHorz, 300 - m_nVert, 200));
    EXPECT_EQ(ChildRect(m_parent, m_right.m_hWnd), CRect(300 - m_nVert, 0, 300, 200 - m_nHorz));
    const CPoint ptCorner(300 - m_nVert / 2, 200 - m_nHorz / 2);
    EXPECT_EQ(m_parent.ChildWindowFromPoint(ptCorner)->GetSafeHwnd(), m_parent.m_hWnd);

    // a hidden partner gives no corner
    m_right.ShowWindow(SW_HIDE);
    m_bottom.SyncCornerFlags(&m_right);
    EXPECT_EQ(m_bottom.m_nBarFlags & kxscroll::BarCornerAtEnd, 0);
}

TEST_F(ExtScrollBarLayout, QueryPassMovesNothing)
{
    SetClientSize(300, 200);
    m_bottom.MoveWindow(5, 5, 50, 20);
    m_right.MoveWindow(70, 5, 20, 50);
    CRect rcLeft;
    m_parent.RepositionBars(0, 0xFFFF, 0, reposQuery, &rcLeft);
    EXPECT_EQ(rcLeft, CRect(0, 0, 300 - m_nVert, 200 - m_nHorz));
    EXPECT_EQ(ChildRect(m_parent, m_bottom.m_hWnd), CRect(5, 5, 55, 25));
    EXPECT_EQ(ChildRect(m_parent, m_right.m_hWnd), CRect(70, 5, 90, 55));

    // a bar left out of the parent's layout takes no room
    m_bottom.m_nBarFlags &= ~kxscroll::BarSizeParent;
    m_parent.RepositionBars(0, 0xFFFF, 0, reposQuery, &rcLeft);
    EXPECT_EQ(rcLeft, CRect(0, 0, 300 - m_nVert, 200));
}

TEST_F(ExtScrollBarLayout, EndBuddyFitsOrHides)
{
    m_right.ShowWindow(SW_HIDE);
    m_bottom.m_hWndBuddyEnd = m_buddy.m_hWnd;
    const int nArrows = 2 * ::GetSystemMetrics(SM_CXHSCROLL);

    SetClientSize(400, 200);
    m_parent.RepositionBars(0, 0xFFFF, 0);
    EXPECT_TRUE(m_buddy.IsWindowVisible());
    EXPECT_EQ(ChildRect(m_parent, m_buddy.m_hWnd), CRect(340, 200 - m_nHorz, 400, 200));
    EXPECT_EQ(ChildRect(m_parent, m_bottom.m_hWnd), CRect(0, 200 - m_nHorz, 340, 200));

    // too short for the two arrows and the buddy: the buddy goes, the bar
    // keeps its whole length
    const CRect rcNarrow(0, 0, nArrows + 60, 200); // narrower than a frame may be
    m_parent.RepositionBars(0, 0xFFFF, 0, reposDefault, nullptr, &rcNarrow);
    EXPECT_FALSE(m_buddy.IsWindowVisible());
    EXPECT_EQ(ChildRect(m_parent, m_bottom.m_hWnd), CRect(0, 200 - m_nHorz, nArrows + 60, 200));

    // room again: it comes back; its hide flag keeps it away
    SetClientSize(400, 200);
    m_parent.RepositionBars(0, 0xFFFF, 0);
    EXPECT_TRUE(m_buddy.IsWindowVisible());
    m_bottom.m_nBarFlags |= kxscroll::BarHideEndBuddy;
    m_parent.RepositionBars(0, 0xFFFF, 0);
    EXPECT_FALSE(m_buddy.IsWindowVisible());
    EXPECT_EQ(ChildRect(m_parent, m_bottom.m_hWnd), CRect(0, 200 - m_nHorz, 400, 200));
}

TEST_F(ExtScrollBarLayout, AutoDeleteBarGoesWithItsWindow)
{
    CExtScrollBar* pBar = new CExtScrollBar;
    pBar->m_nBarFlags |= kxscroll::BarAutoDelete;
    ASSERT_TRUE(pBar->Create(WS_CHILD | WS_VISIBLE | SBS_VERT | SBS_LEFTALIGN, CRect(0, 0, 10, 10), &m_parent, 110));
    EXPECT_EQ(pBar->GetOrientation(), kxscroll::OrientationLeft);
    const HWND hWnd = pBar->m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

} // namespace
