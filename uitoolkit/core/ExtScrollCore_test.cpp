// Scroll bar layout with corners and buddies, the bars a surface needs, the
// scroll codes and the wheel distance.
#include "uitoolkit/core/ExtScrollCore.h"

#include <gtest/gtest.h>

#include <climits>

using namespace kxscroll;

namespace
{

const BarMetrics kMetrics = []
{
    BarMetrics m;
    m.nHorzThickness = 16;
    m.nVertThickness = 17;
    m.nHorzArrow = 18;
    m.nVertArrow = 19;
    return m;
}();

TEST(ExtScrollCore, OrientationFromStyle)
{
    const struct
    {
        DWORD dwStyle;
        int nOrientation;
    } kCases[] = {
        {0, OrientationBottom},
        {StyleAlignStart, OrientationTop},
        {StyleAlignEnd, OrientationBottom},
        {StyleVert, OrientationRight},
        {StyleVert | StyleAlignStart, OrientationLeft},
        {StyleVert | StyleAlignEnd, OrientationRight},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(OrientationFromStyle(c.dwStyle), c.nOrientation) << c.dwStyle;
}

TEST(ExtScrollCore, CornerFlagsOnlyBesideAPerpendicularPartner)
{
    EXPECT_EQ(CornerFlagFor(OrientationBottom, OrientationRight), BarCornerAtEnd);
    EXPECT_EQ(CornerFlagFor(OrientationTop, OrientationLeft), BarCornerAtStart);
    EXPECT_EQ(CornerFlagFor(OrientationRight, OrientationBottom), BarCornerAtEnd);
    EXPECT_EQ(CornerFlagFor(OrientationLeft, OrientationTop), BarCornerAtStart);
    EXPECT_EQ(CornerFlagFor(OrientationBottom, OrientationTop), 0);
    EXPECT_EQ(CornerFlagFor(OrientationRight, OrientationLeft), 0);
}

TEST(ExtScrollCore, EachSideTakesItsBandAndGrowsTheTotal)
{
    const struct
    {
        int nOrientation;
        CRect rcBar, rcLeft;
        CSize sizeTotal;
    } kCases[] = {
        {OrientationTop, CRect(0, 0, 200, 16), CRect(0, 16, 200, 100), CSize(0, 16)},
        {OrientationBottom, CRect(0, 84, 200, 100), CRect(0, 0, 200, 84), CSize(0, 16)},
        {OrientationLeft, CRect(0, 0, 17, 100), CRect(17, 0, 200, 100), CSize(17, 0)},
        {OrientationRight, CRect(183, 0, 200, 100), CRect(0, 0, 183, 100), CSize(17, 0)},
    };
    for (const auto& c : kCases)
    {
        CRect rc(0, 0, 200, 100);
        CSize total(0, 0);
        BarBuddy a, b;
        EXPECT_EQ(LayoutBar(c.nOrientation, BarDefaultFlags, kMetrics, rc, total, a, b), c.rcBar) << c.nOrientation;
        EXPECT_EQ(rc, c.rcLeft);
        EXPECT_EQ(total, c.sizeTotal);
    }
}

TEST(ExtScrollCore, BottomAndRightPairLeaveTheCornerEmpty)
{
    // the bottom bar, first in z-order, leaves the corner; the right bar
    // fills only what is left above it
    CRect rc(0, 0, 200, 100);
    CSize total(0, 0);
    BarBuddy a, b;
    const CRect rcBottom = LayoutBar(OrientationBottom, BarDefaultFlags | BarCornerAtEnd, kMetrics, rc, total, a, b);
    const CRect rcRight = LayoutBar(OrientationRight, BarDefaultFlags, kMetrics, rc, total, a, b);
    EXPECT_EQ(rcBottom, CRect(0, 84, 200 - 17, 100));
    EXPECT_EQ(rcRight, CRect(183, 0, 200, 84));
    EXPECT_EQ(total, CSize(17, 16));
    EXPECT_EQ(rc, CRect(0, 0, 183, 84));

    CRect rcVert(0, 0, 200, 100);
    EXPECT_EQ(LayoutBar(OrientationLeft, BarCornerAtStart | BarCornerAtEnd, kMetrics, rcVert, total, a, b),
              CRect(0, 16, 17, 84));
}

TEST(ExtScrollCore, HorizontalBuddiesShortenTheBar)
{
    CRect rc(0, 0, 300, 100);
    CSize total(0, 0);
    BarBuddy start, end;
    start.bTakesPart = end.bTakesPart = true;
    start.rcCurrent = CRect(5, 5, 85, 25); // 80 wide
    end.rcCurrent = CRect(10, 10, 50, 50); // 40 wide
    const CRect rcBar = LayoutBar(OrientationBottom, BarDefaultFlags, kMetrics, rc, total, start, end);
    EXPECT_EQ(end.rcNew, CRect(260, 84, 300, 100));
    EXPECT_EQ(start.rcNew, CRect(0, 84, 80, 100));
    EXPECT_FALSE(start.bHide);
    EXPECT_FALSE(end.bHide);
    EXPECT_EQ(rcBar, CRect(80, 84, 260, 100));
}

TEST(ExtScrollCore, ABarTooShortForItsEndBuddyHidesItAndKeepsItsLength)
{
    // 36 for the two arrows: a 40-wide buddy needs more than 76
    CRect rc(0, 0, 76, 100);
    CSize total(0, 0);
    BarBuddy start, end;
    end.bTakesPart = true;
    end.rcCurrent = CRect(0, 0, 40, 20);
    EXPECT_EQ(LayoutBar(OrientationTop, BarDefaultFlags, kMetrics, rc, total, start, end), CRect(0, 0, 76, 16));
    EXPECT_TRUE(end.bHide);

    CRect rcWider(0, 0, 77, 100);
    EXPECT_EQ(LayoutBar(OrientationTop, BarDefaultFlags, kMetrics, rcWider, total, start, end), CRect(0, 0, 37, 16));
    EXPECT_FALSE(end.bHide);
    EXPECT_EQ(end.rcNew, CRect(37, 0, 77, 16));
}

TEST(ExtScrollCore, VerticalBuddiesOnlyOnARightBar)
{
    BarBuddy start, end;
    start.bTakesPart = end.bTakesPart = true;
    start.rcCurrent = CRect(0, 0, 30, 20);
    end.rcCurrent = CRect(0, 0, 30, 25);
    CSize total(0, 0);
    CRect rc(0, 0, 200, 150);
    EXPECT_EQ(LayoutBar(OrientationRight, BarDefaultFlags, kMetrics, rc, total, start, end), CRect(183, 20, 200, 125));
    EXPECT_EQ(start.rcNew, CRect(183, 0, 200, 20));
    EXPECT_EQ(end.rcNew, CRect(183, 125, 200, 150));

    CRect rcShort(0, 0, 200, 55); // 38 for the arrows: neither buddy fits
    LayoutBar(OrientationRight, BarDefaultFlags, kMetrics, rcShort, total, start, end);
    EXPECT_TRUE(end.bHide);
    EXPECT_TRUE(start.bHide);

    CRect rcLeft(0, 0, 200, 150);
    EXPECT_EQ(LayoutBar(OrientationLeft, BarDefaultFlags, kMetrics, rcLeft, total, start, end), CRect(0, 0, 17, 150));
    EXPECT_EQ(start.rcNew, start.rcCurrent);
    EXPECT_EQ(end.rcNew, end.rcCurrent);
    EXPECT_FALSE(start.bHide || end.bHide);
}

TEST(ExtScrollCore, BarStateTable)
{
    const CSize kBars(17, 16);
    const struct
    {
        CSize total, client;
        CPoint pos;
        bool bInside, bHorz, bVert;
        CSize range;
        CPoint move;
    } kCases[] = {
        // smaller than the client: no bars, back to the origin
        {CSize(100, 80), CSize(200, 100), CPoint(30, 40), true, false, false, CSize(-100, -20), CPoint(0, 0)},
        // taller only
        {CSize(150, 300), CSize(200, 100), CPoint(5, 250), true, false, true, CSize(-33, 200), CPoint(0, 200)},
        // a width that fits until the vertical bar takes its room
        {CSize(190, 300), CSize(200, 100), CPoint(0, 0), true, true, true, CSize(7, 216), CPoint(0, 0)},
        // the same laid out by the parent: the bars take no room inside
        {CSize(190, 300), CSize(200, 100), CPoint(0, 0), false, false, true, CSize(-10, 200), CPoint(0, 0)},
        // wider only, and the horizontal bar's height makes it taller
        {CSize(400, 90), CSize(200, 100), CPoint(500, 0), true, true, true, CSize(217, 6), CPoint(217, 0)},
    };
    for (const auto& c : kCases)
    {
        const BarState s = ComputeBarState(c.total, c.client, kBars, c.pos, c.bInside);
        EXPECT_EQ(s.bNeedHorz, c.bHorz) << c.total.cx << "x" << c.total.cy;
        EXPECT_EQ(s.bNeedVert, c.bVert) << c.total.cx << "x" << c.total.cy;
        EXPECT_EQ(s.range, c.range) << c.total.cx << "x" << c.total.cy;
        EXPECT_EQ(s.move, c.move) << c.total.cx << "x" << c.total.cy;
    }
}

TEST(ExtScrollCore, ScrollCodesAndTheLimit)
{
    CodeInput in;
    in.nPosition = 50;
    in.nThumb = 77;
    in.nLineBack = 3;
    in.nLineForward = 4;
    in.nPageBack = 20;
    in.nPageForward = 30;
    const struct
    {
        int nCode;
        bool bTracking;
        int nWanted;
    } kCases[] = {
        {CodeLineUp, true, 47},         {CodeLineDown, true, 54},   {CodePageUp, true, 30},
        {CodePageDown, true, 80},       {CodeTop, true, 0},         {CodeBottom, true, INT_MAX},
        {CodeThumbPosition, false, 77}, {CodeThumbTrack, true, 77}, {CodeThumbTrack, false, 50},
        {8 /* end scroll */, true, 50}, {CodeNone, true, 50},
    };
    for (const auto& c : kCases)
    {
        in.nCode = c.nCode;
        in.bThumbTracking = c.bTracking;
        EXPECT_EQ(PositionForCode(in), c.nWanted) << c.nCode;
    }
    // the bottom stops at the limit, and nothing goes below 0
    EXPECT_EQ(ClampScrollPosition(50, INT_MAX - 50, 120), 120);
    EXPECT_EQ(ClampScrollPosition(5, -20, 120), 0);
    EXPECT_EQ(ClampScrollPosition(5, 20, 120), 25);
    EXPECT_EQ(ClampScrollPosition(-5, INT_MAX, 0), 0);
}

TEST(ExtScrollCore, WheelDistanceIsLinesUpToAPage)
{
    const struct
    {
        int nDelta, nLines, nLine, nPageBack, nPageForward, nDistance;
    } kCases[] = {
        {-120, 3, 16, 40, 40, 40}, {120, 3, 16, 40, 40, -40},   {-120, 3, 10, 40, 40, 30},
        {120, 3, 10, 40, 40, -30}, {-240, 3, 10, 100, 100, 60}, {-40, 3, 10, 40, 40, 10},
        {40, 3, 10, 40, 40, -10},  {-120, -1, 10, 25, 40, 25},  {120, -1, 10, 25, 40, -25},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(WheelScrollDistance(c.nDelta, c.nLines, c.nLine, c.nPageBack, c.nPageForward), c.nDistance)
            << c.nDelta << " " << c.nLines << " " << c.nLine;
}

} // namespace
