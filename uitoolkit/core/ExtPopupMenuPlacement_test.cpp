// Menu placement on a 1024 by 768 work area: menus at a point near the
// bottom, drop-downs that flip above their button, sub-menus that open on
// the other side of their item, menus taller than the area, combined menus.
#include "uitoolkit/core/ExtPopupMenuPlacement.h"

#include <gtest/gtest.h>

namespace
{

using P = CExtPopupMenuPlacement;

P::Input MenuAt(int x, int y, int cx, int cy)
{
    P::Input in;
    in.Area.SetRect(0, 0, 1024, 768);
    in.Size = CSize(cx, cy);
    in.Shadow = 4;
    in.Border = 2;
    in.Track = CPoint(x, y);
    return in;
}

P::Input BesideArea(const CRect& excl, int nAlign, int cx, int cy)
{
    // the track point the alignment gives, as the show sequence computes it
    CPoint pt;
    switch (nAlign)
    {
    case P::AlignRight: pt = CPoint(excl.right, excl.top); break;
    case P::AlignLeft: pt = CPoint(excl.left - cx, excl.top); break;
    case P::AlignTop: pt = CPoint(excl.left, excl.top - cy); break;
    default: pt = CPoint(excl.left, excl.bottom); break;
    }
    P::Input in = MenuAt(pt.x, pt.y, cx, cy);
    in.Exclude = excl;
    in.HasExclude = true;
    in.Alignment = nAlign;
    return in;
}

TEST(ExtPopupMenuPlacement, ContextMenuNearTheBottomOpensUpwardsFromThePoint)
{
    const P::Result r = P::Place(MenuAt(300, 758, 150, 200));
    EXPECT_EQ(r.Window, CRect(300, 558, 450, 758));
    EXPECT_FALSE(r.Scroll);
    EXPECT_EQ(r.Client, CRect(0, 0, 146, 196)); // the shadow lies outside
}

TEST(ExtPopupMenuPlacement, MenusInTheAreaStayWhereTheyWereAsked)
{
    EXPECT_EQ(P::Place(MenuAt(300, 100, 150, 200)).Window, CRect(300, 100, 450, 300));
    // past the right edge a menu at a point opens leftwards from it
    EXPECT_EQ(P::Place(MenuAt(1000, 100, 150, 200)).Window, CRect(850, 100, 1000, 300));
}

TEST(ExtPopupMenuPlacement, DropDownWithoutRoomBelowFlipsAboveItsButton)
{
    const CRect button(100, 740, 160, 760);
    int nFlips = 0;
    const P::Result r = P::Place(BesideArea(button, P::AlignBottom, 150, 200),
                                 [&nFlips]()
                                 {
                                     ++nFlips;
                                     return true;
                                 });
    EXPECT_EQ(nFlips, 1);
    EXPECT_EQ(r.Alignment, P::AlignTop);
    EXPECT_EQ(r.Window, CRect(100, 540, 250, 740));
    EXPECT_TRUE(r.HasExclude);

    // with room below nothing flips
    const CRect high(100, 40, 160, 60);
    const P::Result below = P::Place(BesideArea(high, P::AlignBottom, 150, 200),
                                     [&nFlips]()
                                     {
                                         ++nFlips;
                                         return true;
                                     });
    EXPECT_EQ(nFlips, 1);
    EXPECT_EQ(below.Alignment, P::AlignBottom);
    EXPECT_EQ(below.Window, CRect(100, 60, 250, 260));
}

TEST(ExtPopupMenuPlacement, AFlipWhoseWindowDiedShowsNothing)
{
    const P::Result r =
        P::Place(BesideArea(CRect(100, 740, 160, 760), P::AlignBottom, 150, 200), []() { return false; });
    EXPECT_TRUE(r.Window.IsRectEmpty());
}

TEST(ExtPopupMenuPlacement, SubMenuWithoutRoomOnTheRightOpensLeftOfItsItem)
{
    const CRect item(800, 300, 960, 320);
    P::Input in = BesideArea(item, P::AlignRight, 150, 200);
    in.SubMenu = true;
    const P::Result r = P::Place(in);
    EXPECT_EQ(r.Window, CRect(650, 300, 800, 500));

    const CRect roomy(200, 300, 360, 320);
    P::Input fits = BesideArea(roomy, P::AlignRight, 150, 200);
    fits.SubMenu = true;
    EXPECT_EQ(P::Place(fits).Window, CRect(360, 300, 510, 500));
}

TEST(ExtPopupMenuPlacement, MenuTallerThanTheAreaIsClampedAndScrolls)
{
    const P::Result r = P::Place(MenuAt(300, 100, 150, 1000));
    EXPECT_EQ(r.Window, CRect(300, 0, 450, 768));
    EXPECT_TRUE(r.Scroll);
    EXPECT_EQ(r.Client, CRect(0, 0, 146, 764));
}

TEST(ExtPopupMenuPlacement, ClampsOfARootForgetItsExcludeArea)
{
    // a drop-down wider than the area ends against its left edge, no longer
    // joined to its button
    P::Input in = BesideArea(CRect(950, 40, 1010, 60), P::AlignBottom, 1100, 200);
    in.Combined = true;
    const P::Result r = P::Place(in);
    EXPECT_EQ(r.Window.left, 0);
    EXPECT_FALSE(r.HasExclude);
    EXPECT_FALSE(r.Combined);

    // a sub-menu keeps its item
    P::Input sub = BesideArea(CRect(950, 40, 1010, 60), P::AlignRight, 1100, 200);
    sub.SubMenu = true;
    EXPECT_TRUE(P::Place(sub).HasExclude);
}

TEST(ExtPopupMenuPlacement, CombinedDropDownJoinsItsButton)
{
    const CRect button(100, 40, 160, 60);
    P::Input in = BesideArea(button, P::AlignBottom, 150, 200);
    in.Combined = true;
    const P::Result r = P::Place(in);
    ASSERT_TRUE(r.Combined);
    EXPECT_EQ(r.CombineSide, P::CombineBelow);
    // the menu overlaps the button's bottom line by one pixel
    EXPECT_EQ(r.Window, CRect(100, 40, 250, 259));
    EXPECT_EQ(r.RegionMenu, CRect(0, 19, 150, 219));
    EXPECT_EQ(r.RegionExclude, CRect(0, 0, 64, 24));
    EXPECT_EQ(r.Client, CRect(0, 19, 146, 215));

    // flipped above the button the menu meets its top edge instead
    P::Input low = BesideArea(CRect(100, 740, 160, 760), P::AlignBottom, 150, 200);
    low.Combined = true;
    const P::Result up = P::Place(low, []() { return true; });
    ASSERT_TRUE(up.Combined);
    EXPECT_EQ(up.CombineSide, P::CombineAbove);
    EXPECT_EQ(up.RegionMenu.bottom, up.RegionExclude.top + 5);
}

TEST(ExtPopupMenuPlacement, CombinedSubMenusShiftTowardsTheirItem)
{
    const CRect item(200, 300, 360, 320);
    P::Input in = BesideArea(item, P::AlignRight, 150, 200);
    in.SubMenu = true;
    in.Combined = true;
    const P::Result r = P::Place(in);
    ASSERT_TRUE(r.Combined);
    EXPECT_EQ(r.CombineSide, P::CombineRight);
    // the union of item and menu, moved left by two
    EXPECT_EQ(r.Window, CRect(198, 300, 507, 500));
    // a sub-menu's exclude part casts no shadow below itself
    EXPECT_EQ(r.RegionExclude, CRect(0, 0, 164, 20));
}

TEST(ExtPopupMenuPlacement, WindowSizeCountsBorderShadowAndExpandButton)
{
    EXPECT_EQ(P::WindowSize(CSize(100, 80), 0, 2, 4, false, 16, false), CSize(108, 89));
    EXPECT_EQ(P::WindowSize(CSize(100, 80), 20, 1, 4, true, 16, false), CSize(126, 103));
    // an empty menu is still a small window
    EXPECT_EQ(P::WindowSize(CSize(0, 0), 0, 2, 4, false, 16, true), CSize(18, 20));
}

} // namespace
