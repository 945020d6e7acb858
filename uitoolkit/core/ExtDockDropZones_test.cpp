// The hit zones over a target pane, the resizing limits and the tabbed-page
// shapes, over plain rectangles.
#include "uitoolkit/core/ExtDockDropZones.h"

#include <gtest/gtest.h>

namespace
{

using kxdock::DropZoneInput;

// A floating frame at (100,100)-(400,400) whose dock bar is a little wider.
DropZoneInput FloatingTarget()
{
    DropZoneInput in;
    in.rcTarget = CRect(100, 100, 400, 400);
    in.rcDockBar = CRect(96, 110, 404, 390);
    in.bTabbing = true;
    in.bFloating = true;
    in.bTopBottom = in.bLeftRight = true;
    return in;
}

TEST(ExtDockDropZones, ZonesOfAFloatingTarget)
{
    struct Case
    {
        POINT pt;
        int nKind;
        CRect rc;
    };
    const Case cases[] = {
        {{250, 100}, 27, CRect(100, 100, 400, 400)}, // caption strip
        {{250, 131}, 27, CRect(100, 100, 400, 400)},
        {{250, 132}, 1, CRect(96, 100, 404, 250)},  // the strip below it
        {{250, 399}, 2, CRect(96, 250, 404, 400)},  // bottom strip
        {{101, 250}, 3, CRect(100, 100, 250, 400)}, // left strip, vertically within the target
        {{399, 250}, 4, CRect(250, 100, 400, 400)},
        {{250, 250}, 0, CRect()}, // the middle
        {{50, 250}, 0, CRect()},  // outside
    };
    for (const Case& c : cases)
    {
        const kxdock::DropZoneResult r = kxdock::CalcTargetZone(FloatingTarget(), c.pt);
        EXPECT_EQ(r.nKind, c.nKind) << c.pt.x << "," << c.pt.y;
        if (c.nKind != 0)
            EXPECT_EQ(r.rc, c.rc) << c.pt.x << "," << c.pt.y;
        EXPECT_FALSE(r.bFloat);
    }
}

TEST(ExtDockDropZones, TabStripAndRefusals)
{
    DropZoneInput in = FloatingTarget();
    in.rcTabs = CRect(100, 370, 400, 400);
    EXPECT_EQ(kxdock::CalcTargetZone(in, CPoint(250, 110)).nKind, 28);
    EXPECT_EQ(kxdock::CalcTargetZone(in, CPoint(250, 380)).nKind, 29);
    // the bottom strip lies right above the tabs, the lower half ends there
    const kxdock::DropZoneResult r = kxdock::CalcTargetZone(in, CPoint(250, 345));
    EXPECT_EQ(r.nKind, 2);
    EXPECT_EQ(r.rc.bottom, 370);

    // without tabbing the beside strip is the top one
    in = FloatingTarget();
    in.bTabbing = false;
    EXPECT_EQ(kxdock::CalcTargetZone(in, CPoint(250, 110)).nKind, 1);

    // panes that refuse to dock side by side float, below the caption strip too
    in = FloatingTarget();
    in.bBeside = false;
    EXPECT_EQ(kxdock::CalcTargetZone(in, CPoint(250, 110)).nKind, 27);
    EXPECT_TRUE(kxdock::CalcTargetZone(in, CPoint(250, 140)).bFloat);

    // a docked target's halves stay inside it; a live drag skips the strips it ignores
    in = FloatingTarget();
    in.bFloating = false;
    in.bIgnoreTopBottom = true;
    EXPECT_EQ(kxdock::CalcTargetZone(in, CPoint(250, 140)).nKind, 0);
    EXPECT_EQ(kxdock::CalcTargetZone(in, CPoint(101, 250)).rc, CRect(100, 100, 250, 400));
}

TEST(ExtDockDropZones, SplitLimits)
{
    const CRect rc(0, 0, 300, 200);
    EXPECT_TRUE(kxdock::CanSplitTopBottom(rc, CSize(8, 64), 64, true));
    // a pane or target thicker than 64 gets no halves of a docked target
    EXPECT_FALSE(kxdock::CanSplitTopBottom(rc, CSize(8, 65), 20, true));
    EXPECT_FALSE(kxdock::CanSplitTopBottom(rc, CSize(8, 20), 65, true));
    EXPECT_FALSE(kxdock::CanSplitTopBottom(rc, CSize(301, 8), 8, true));
    // a floating target needs half its height for each
    EXPECT_TRUE(kxdock::CanSplitTopBottom(rc, CSize(8, 100), 100, false));
    EXPECT_FALSE(kxdock::CanSplitTopBottom(rc, CSize(8, 101), 8, false));
    EXPECT_TRUE(kxdock::CanSplitLeftRight(rc, CSize(150, 200), 150, false));
    EXPECT_FALSE(kxdock::CanSplitLeftRight(rc, CSize(150, 201), 8, false));
    EXPECT_FALSE(kxdock::CanSplitLeftRight(rc, CSize(65, 8), 8, true));
}

TEST(ExtDockDropZones, EdgeStrips)
{
    const CRect rc(10, 20, 110, 220);
    EXPECT_EQ(kxdock::EdgeStrip(rc, kxdock::SideTop, 12), CRect(10, 20, 110, 32));
    EXPECT_EQ(kxdock::EdgeStrip(rc, kxdock::SideBottom, 12), CRect(10, 208, 110, 220));
    EXPECT_EQ(kxdock::EdgeStrip(rc, kxdock::SideLeft, 16), CRect(10, 20, 26, 220));
    EXPECT_EQ(kxdock::EdgeStrip(rc, kxdock::SideRight, 16), CRect(94, 20, 110, 220));
}

TEST(ExtDockDropZones, RowResizeThickness)
{
    struct Case
    {
        int nCursor;
        bool bLeading;
        int nExpected;
    };
    // current thickness 100, strip 6, minimal 20, site 500 high
    const Case cases[] = {
        {117, true, 120},  // a top row follows the cursor
        {10, true, 40},    // never below twice the minimum
        {600, true, 480},  // nor above the site less one minimum
        {-17, false, 120}, // a bottom row grows as the cursor moves up
    };
    for (const Case& c : cases)
        EXPECT_EQ(kxdock::RowResizeThickness(c.nCursor, 6, c.bLeading, 100, 20, 500), c.nExpected);
    EXPECT_EQ(kxdock::RowResizeThickness(50, 6, true, 100, 20, 20), -1);
}

TEST(ExtDockDropZones, AdjacentRowKeepsItsMinimum)
{
    const kxdock::RowThickness rows[] = {{100, 40}, {90, 40}};
    EXPECT_EQ(kxdock::ClampAdjacentRowDelta(-20, rows, 2), -20);
    EXPECT_EQ(kxdock::ClampAdjacentRowDelta(-80, rows, 2), -50);
    EXPECT_EQ(kxdock::ClampAdjacentRowDelta(30, rows, 2), 30);
    const kxdock::RowThickness squeezed[] = {{30, 40}};
    EXPECT_EQ(kxdock::ClampAdjacentRowDelta(-10, squeezed, 1), 0);
}

TEST(ExtDockDropZones, InRowResizing)
{
    // trailing strip: half the strip plus the cursor offset; leading: from the far edge
    EXPECT_EQ(kxdock::InRowResizeExtent(150, 4, false, 200, 30), 152);
    EXPECT_EQ(kxdock::InRowResizeExtent(10, 4, false, 200, 30), 30);
    EXPECT_EQ(kxdock::InRowResizeExtent(-20, 4, true, 200, 30), 222);

    // the neighbour gives what it has above its minimum, the bar gets no more
    kxdock::InRowShares s = kxdock::ShareInRowDelta(200, 30, 100, 60, true, -80);
    EXPECT_EQ(s.nNeighbour, 60);
    EXPECT_EQ(s.nBar, 240);
    s = kxdock::ShareInRowDelta(200, 30, 100, 60, true, 50);
    EXPECT_EQ(s.nNeighbour, 150);
    EXPECT_EQ(s.nBar, 150);
    s = kxdock::ShareInRowDelta(200, 30, 0, 0, false, 190);
    EXPECT_EQ(s.nBar, 30);

    EXPECT_EQ(kxdock::ClampTrackLine(5, 10, 20), 10);
    EXPECT_EQ(kxdock::ClampTrackLine(25, 10, 20), 20);
    EXPECT_EQ(kxdock::ClampTrackLine(15, 30, 20), 20);
}

TEST(ExtDockDropZones, TabbedOutlineHoles)
{
    EXPECT_EQ(kxdock::TabBandHeight(60), 18);
    EXPECT_EQ(kxdock::TabBandHeight(30), 15);

    const CRect rc(0, 0, 200, 100);
    auto holes = kxdock::TabbedOutlineHoles(rc, 4, 4, false);
    EXPECT_EQ(holes[0], CRect(4, 4, 196, 78));  // the body
    EXPECT_EQ(holes[1], CRect(12, 78, 48, 96)); // the tab joins the body
    EXPECT_EQ(holes[2], CRect(0, 82, 8, 100));
    EXPECT_EQ(holes[3], CRect(52, 82, 200, 100));

    // right to left the tab sits at the far side
    holes = kxdock::TabbedOutlineHoles(rc, 4, 4, true);
    EXPECT_EQ(holes[1], CRect(148, 78, 184, 96));
    EXPECT_EQ(holes[2], CRect(0, 82, 144, 100));
    EXPECT_EQ(holes[3], CRect(188, 82, 200, 100));

    // narrower than 44 + 2 frame widths: the tab takes half the rest
    holes = kxdock::TabbedOutlineHoles(CRect(0, 0, 50, 60), 4, 4, false);
    EXPECT_EQ(holes[1].left, 12);
    EXPECT_EQ(holes[1].Width(), (46 - 12) / 2);
}

TEST(ExtDockDropZones, TabbedHighlightShape)
{
    kxdock::TabbedPageShape shape = kxdock::TabbedHighlightShape(CSize(200, 100), false);
    EXPECT_EQ(shape.rcBody, CRect(0, 0, 200, 82));
    EXPECT_EQ(shape.rcTab, CRect(8, 82, 44, 100));
    shape = kxdock::TabbedHighlightShape(CSize(200, 30), true);
    EXPECT_EQ(shape.rcTab, CRect(156, 15, 192, 30));
    shape = kxdock::TabbedHighlightShape(CSize(40, 100), false);
    EXPECT_EQ(shape.rcTab, CRect(8, 82, 24, 100));
}

} // namespace
