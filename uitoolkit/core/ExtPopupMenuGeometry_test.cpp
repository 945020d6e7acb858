// Popup-menu geometry: item slots of a vertical list, scrolled and under a
// tear-off caption, palette rows, the scroll, expand and tear-off areas and
// the hit-test codes over them.
#include "uitoolkit/core/ExtPopupMenuGeometry.h"

#include <gtest/gtest.h>

namespace
{

using G = CExtPopupMenuGeometry;

G::Item Row(int nHeight)
{
    G::Item item;
    item.Height = nHeight;
    item.Width = item.FullWidth = 40;
    return item;
}

G::Frame MenuFrame()
{
    G::Frame f;
    f.Client.SetRect(0, 0, 150, 200);
    f.Border = 2;
    f.ExpandButtonHeight = 16;
    f.ContentWidth = 140;
    return f;
}

const std::vector<G::Item> Items = {Row(20), Row(20), Row(8), Row(20)};

TEST(ExtPopupMenuGeometry, SlotsAreOnePixelTallerThanTheirItemsExceptTheLast)
{
    const G::Frame f = MenuFrame();
    EXPECT_EQ(G::ItemRect(f, Items, 0, false), CRect(2, 3, 142, 24));
    EXPECT_EQ(G::ItemRect(f, Items, 0, true), CRect(3, 3, 141, 23));
    int nTop = f.Border + 1;
    for (int i = 0; i < 4; ++i)
    {
        const CRect slot = G::ItemRect(f, Items, i, false);
        EXPECT_EQ(slot.top, nTop) << i;
        EXPECT_EQ(slot.Height(), Items[i].Height + (i == 3 ? 0 : 1)) << i;
        EXPECT_EQ(G::ItemRect(f, Items, i, true).Height(), Items[i].Height) << i;
        nTop = slot.bottom;
    }
    EXPECT_TRUE(G::ItemRect(f, Items, 4, false).IsRectEmpty());
    EXPECT_TRUE(G::ItemRect(f, Items, -1, false).IsRectEmpty());
}

TEST(ExtPopupMenuGeometry, HiddenItemsTakeNoSlot)
{
    std::vector<G::Item> items = Items;
    items[1].Displayed = false;
    const G::Frame f = MenuFrame();
    EXPECT_TRUE(G::ItemRect(f, items, 1, true).IsRectEmpty());
    EXPECT_EQ(G::ItemRect(f, items, 2, false).top, G::ItemRect(f, Items, 1, false).top);
}

TEST(ExtPopupMenuGeometry, ScrollingTearOffAndLeftAreaMoveTheItems)
{
    G::Frame f = MenuFrame();
    const CRect plain = G::ItemRect(f, Items, 2, true);
    f.ScrollOffset = -30;
    CRect r = G::ItemRect(f, Items, 2, true);
    EXPECT_EQ(r, plain - CPoint(0, 30));
    f.ScrollOffset = 0;
    f.TearOffHeight = 8;
    f.LeftAreaWidth = 20;
    r = G::ItemRect(f, Items, 2, true);
    EXPECT_EQ(r, plain + CPoint(20, 8));
}

TEST(ExtPopupMenuGeometry, ScrollExpandAndTearOffAreas)
{
    G::Frame f = MenuFrame();
    f.Scrollable = true;
    G::Areas a;
    G::RecalcScrollAreas(f, a);
    EXPECT_EQ(a.ScrollTop, CRect(3, 3, 147, 19));
    EXPECT_EQ(a.ScrollBottom, CRect(3, 181, 147, 197));
    EXPECT_TRUE(a.ExpandButton.IsRectEmpty());
    EXPECT_TRUE(a.TearOffCaption.IsRectEmpty());

    // the tear-off caption pushes the top button down, the expand button the
    // bottom one up
    f.TearOffHeight = 8;
    f.ExpandShown = true;
    G::RecalcScrollAreas(f, a);
    EXPECT_EQ(a.TearOffCaption, CRect(3, 3, 147, 11));
    EXPECT_EQ(a.ScrollTop, CRect(3, 11, 147, 27));
    EXPECT_EQ(a.ExpandButton, CRect(2, 181, 148, 197));
    EXPECT_EQ(a.ScrollBottom, CRect(3, 165, 147, 181));
    EXPECT_EQ(G::SpecialRect(f, a, G::HitExpandButton, true), CRect(3, 182, 147, 196));
    EXPECT_EQ(G::SpecialRect(f, a, G::HitTearOffCaption, false), a.TearOffCaption);
    f.Scrollable = false;
    EXPECT_TRUE(G::SpecialRect(f, a, G::HitScrollTop, false).IsRectEmpty());
}

TEST(ExtPopupMenuGeometry, HitTestCodes)
{
    G::Frame f = MenuFrame();
    f.Scrollable = true;
    f.ExpandShown = true;
    f.TearOffHeight = 8;
    G::Areas a;
    G::RecalcScrollAreas(f, a);
    const int nPosMin = -100;
    const auto hit = [&](POINT pt, int nOffset, bool bNoHookOrHelp)
    {
        G::Frame at = f;
        at.ScrollOffset = nOffset;
        return G::HitTest(at, a, pt, nPosMin, bNoHookOrHelp, static_cast<int>(Items.size()),
                          [&](int i) { return G::ItemRect(at, Items, i, true); });
    };
    const CPoint top = a.ScrollTop.CenterPoint();
    const CPoint bottom = a.ScrollBottom.CenterPoint();
    const struct
    {
        POINT Pt;
        int Offset;
        bool NoHookOrHelp;
        int Expected;
    } cases[] = {
        {top, -30, false, G::HitScrollTop},
        {top, 0, false, 0}, // at the top the button is not there: the item below it
        {bottom, -30, false, G::HitScrollBottom},
        {bottom, nPosMin, false, G::HitNothing}, // at the end
        {a.ExpandButton.CenterPoint(), 0, false, G::HitExpandButton},
        {a.TearOffCaption.CenterPoint(), 0, false, G::HitTearOffCaption},
        {a.TearOffCaption.CenterPoint(), 0, true, G::HitNothing},
        {CPoint(50, 250), 0, false, G::HitNothing}, // outside the client area
    };
    for (const auto& c : cases)
        EXPECT_EQ(hit(c.Pt, c.Offset, c.NoHookOrHelp), c.Expected) << c.Pt.x << "," << c.Pt.y << " " << c.Offset;

    // items under the scroll buttons' band are reached between them
    f.Scrollable = false;
    f.ExpandShown = false;
    f.TearOffHeight = 0;
    G::Areas none;
    for (int i = 0; i < 4; ++i)
    {
        const CRect r = G::ItemRect(f, Items, i, true);
        EXPECT_EQ(G::HitTest(f, none, r.CenterPoint(), nPosMin, false, 4,
                             [&](int n) { return G::ItemRect(f, Items, n, true); }),
                  i);
    }
    // the gap pixel between two items belongs to neither
    const CRect first = G::ItemRect(f, Items, 0, true);
    EXPECT_EQ(G::HitTest(f, none, CPoint(50, first.bottom), nPosMin, false, 4,
                         [&](int n) { return G::ItemRect(f, Items, n, true); }),
              G::HitNothing);
}

TEST(ExtPopupMenuGeometry, PaletteRowsAndSeparators)
{
    G::Frame f = MenuFrame();
    G::Item tall = Row(30);
    tall.Wrap = true;
    G::Item sep;
    sep.Separator = true;
    const std::vector<G::Item> items = {Row(20), tall, Row(20), sep, Row(20)};
    EXPECT_FALSE(G::EndsPaletteRow(items, 0));
    EXPECT_TRUE(G::EndsPaletteRow(items, 1));
    EXPECT_TRUE(G::EndsPaletteRow(items, 2)); // a separator follows
    EXPECT_FALSE(G::EndsPaletteRow(items, 5));

    const int nSep = 4;
    // first row: centred on the tallest item of the row
    EXPECT_EQ(G::ItemRectPalette(f, items, 0, nSep), CRect(4, 9, 44, 29));
    EXPECT_EQ(G::ItemRectPalette(f, items, 1, nSep), CRect(46, 4, 86, 34));
    // second row starts below the first one
    EXPECT_EQ(G::ItemRectPalette(f, items, 2, nSep), CRect(4, 34, 44, 54));
    // the separator spans the client width less border + 2 at each side
    EXPECT_EQ(G::ItemRectPalette(f, items, 3, nSep), CRect(4, 55, 146, 62));
    // after it, y has grown by the row and the separator height + 3
    EXPECT_EQ(G::ItemRectPalette(f, items, 4, nSep), CRect(4, 61, 44, 81));
}

} // namespace

namespace
{

TEST(ExtPopupMenuGeometry, RarelyUsedEntriesFormGroupsAcrossSeparators)
{
    constexpr int R = G::VisibleRarely, P = G::VisibleRarelyPrev, N = G::VisibleRarelyNext, S = G::VisibleSeparator;
    const struct
    {
        std::vector<int> In;
        bool NoHook;
        std::vector<int> Out;
    } cases[] = {
        {{0, R, 0}, false, {N, R, P}},        {{R, S, R}, false, {R | N, S | R | P | N, R | P}},
        {{R, S, R}, true, {R, S | P | N, R}}, // no-hook menus leave separators alone
        {{0, S, R}, false, {0, S | N, R}},    {{R, R}, false, {R | N, R | P}},
    };
    for (const auto& c : cases)
    {
        std::vector<int> flags = c.In;
        G::GroupRarelyUsed(
            static_cast<int>(flags.size()), [&flags](int i) -> int& { return flags[i]; }, c.NoHook);
        EXPECT_EQ(flags, c.Out);
    }
}

TEST(ExtPopupMenuGeometry, ItemsDoNotPaintOverButtonsOrBorders)
{
    G::Frame f = MenuFrame();
    f.Scrollable = true;
    f.ExpandShown = true;
    G::Areas a;
    G::RecalcScrollAreas(f, a);
    const CRect window(0, 0, 154, 204); // the shadow lies right and below
    // at the top only the bottom scroll button is there
    const std::vector<CRect> atTop = G::ItemClipExclusions(f, a, window, -100);
    const std::vector<CRect> expected = {
        CRect(2, 181, 148, 197), CRect(0, 181, 154, 197), // expand button and its band
        CRect(3, 165, 147, 181), CRect(0, 164, 154, 182), // bottom scroll button and its band
        CRect(0, 0, 154, 2),     CRect(0, 198, 154, 204), // border bands
    };
    EXPECT_EQ(atTop, expected);
    f.ScrollOffset = -100;
    const std::vector<CRect> atEnd = G::ItemClipExclusions(f, a, window, -100);
    ASSERT_EQ(atEnd.size(), 6u);
    EXPECT_EQ(atEnd[2], a.ScrollTop);
}

} // namespace
