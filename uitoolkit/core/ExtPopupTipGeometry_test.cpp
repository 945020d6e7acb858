// Menu tip shapes and places: balloon bodies and tails, mirrored tails near
// the placement area's edges, rectangles above and below their area.
#include "uitoolkit/core/ExtPopupTipGeometry.h"

#include <gtest/gtest.h>

namespace
{

using G = CExtPopupTipGeometry;

const RECT Screen = {0, 0, 1280, 1024};

TEST(ExtPopupTipGeometry, BalloonTailTipLiesOnTheAnchor)
{
    const RECT area = {600, 500, 700, 520};
    const POINT anchor = G::BalloonAnchor(area);
    EXPECT_EQ(anchor.x, 606);
    EXPECT_EQ(anchor.y, 506);
    const G::Shape s = G::BalloonShape(G::TipTypeBalloon, CSize(100, 13), CSize(16, 16), anchor, Screen);
    EXPECT_EQ(s.Mirror, 0);
    EXPECT_EQ(s.Body, CRect(0, 0, 124, 33)); // no icon for type 2
    EXPECT_EQ(s.Window, CSize(124, 58));
    EXPECT_EQ(s.Tail[0].x, 112);
    EXPECT_EQ(s.Tail[0].y, 23);
    EXPECT_EQ(s.Tail[1].y, 48);
    EXPECT_EQ(s.Tail[2].x, 87);
    const POINT pos = G::BalloonPosition(s, anchor, area);
    EXPECT_EQ(pos.x + s.Tail[1].x, anchor.x);
    EXPECT_EQ(pos.y + s.Tail[1].y, anchor.y);

    const G::Shape withIcon = G::BalloonShape(G::TipTypeBalloonIcon, CSize(100, 8), CSize(16, 16), anchor, Screen);
    EXPECT_EQ(withIcon.Body, CRect(0, 0, 124 + 21, 36));
}

TEST(ExtPopupTipGeometry, BalloonsNearTheEdgesMirrorTheirTails)
{
    const RECT nearLeft = {10, 500, 110, 520};
    const POINT anchor = G::BalloonAnchor(nearLeft);
    const G::Shape s = G::BalloonShape(G::TipTypeBalloon, CSize(100, 13), CSize(), anchor, Screen);
    EXPECT_EQ(s.Mirror, G::MirrorHorz);
    EXPECT_EQ(s.Tail[1].x, 12); // on the left side
    const POINT pos = G::BalloonPosition(s, anchor, nearLeft);
    EXPECT_GE(pos.x, 0);
    EXPECT_EQ(pos.x + s.Tail[1].x, nearLeft.right - 6);

    const RECT nearTop = {600, 20, 700, 40};
    const G::Shape up = G::BalloonShape(G::TipTypeBalloon, CSize(100, 13), CSize(), G::BalloonAnchor(nearTop), Screen);
    EXPECT_EQ(up.Mirror, G::MirrorVert);
    EXPECT_EQ(up.Body, CRect(0, 25, 124, 58)); // below the tail
    EXPECT_LT(up.Tail[1].y, up.Tail[0].y);     // pointing up
    const POINT posUp = G::BalloonPosition(up, G::BalloonAnchor(nearTop), nearTop);
    EXPECT_GE(posUp.y, nearTop.top);
}

TEST(ExtPopupTipGeometry, RectanglesAboveOrBelowTheirArea)
{
    const RECT area = {600, 500, 700, 520};
    const G::Shape s = G::RectShape(G::TipTypeRectIconBelow, CSize(80, 13), CSize(16, 16), 3);
    EXPECT_EQ(s.Window, CSize(80 + 21 + 6 + 3, 16 + 4 + 3));
    EXPECT_EQ(G::RectShape(G::TipTypeRectBelow, CSize(80, 13), CSize(16, 16), 3).Window, CSize(89, 20));

    POINT pt = G::RectPosition(G::TipTypeRectAbove, s, area, {0, 0}, 0, Screen);
    EXPECT_EQ(pt.x, 650);
    EXPECT_EQ(pt.y, 500 - s.Window.cy - 3);
    pt = G::RectPosition(G::TipTypeRectBelow, s, area, {0, 0}, 0, Screen);
    EXPECT_EQ(pt.y, 520 + 13);
    pt = G::RectPosition(G::TipTypeRectBelow, s, area, {620, 505}, 32, Screen);
    EXPECT_EQ(pt.x, 620);
    EXPECT_EQ(pt.y, 537);
    pt = G::RectPosition(G::TipTypeRectBelow, s, area, {620, 490}, 20, Screen);
    EXPECT_EQ(pt.y, 520); // never above the area's bottom

    // kept inside the placement area
    const RECT corner = {1250, 1000, 1280, 1024};
    pt = G::RectPosition(G::TipTypeRectBelow, s, corner, {0, 0}, 0, Screen);
    EXPECT_EQ(pt.x, 1280 - s.Window.cx);
    EXPECT_EQ(pt.y, 1024 - s.Window.cy);
}

} // namespace
