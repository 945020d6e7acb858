// The tab strip's item model, measuring, layout and hit testing over a fixed
// text measure: every character 5 pixels wide (6 in the bold font), 13 high.
#include "uitoolkit/core/ExtTabCore.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using T = CExtTabCore;

class TestStrip : public CExtTabCore
{
public:
    bool m_bRefuseAll = false;

protected:
    SIZE MeasureText(const CString& sText, bool bBold, int /*nOrientation*/) override
    {
        return {sText.GetLength() * (bBold ? 6 : 5), 13};
    }
    SIZE GetPartButtonSize(int /*nCross*/) const override { return {PartButtonSide(15), PartButtonSide(15)}; }
    bool OnSelectionChange(int nOld, int nNew, bool bBefore) override
    {
        return !m_bRefuseAll && CExtTabCore::OnSelectionChange(nOld, nNew, bBefore);
    }
};

CString Chars(int nWidth)
{
    return CString(std::string(nWidth / 5, 'x').c_str());
}

void AddItems(TestStrip& strip, int nCount, int nTextWidth = 20, DWORD dwStyle = 0)
{
    for (int i = 0; i < nCount; ++i)
        strip.InsertItem(Chars(nTextWidth), SIZE{0, 0}, dwStyle, -1, 100 + i);
}

TEST(ExtTabCore, InsertingAppendsOutOfRangeAndKeepsTheSelectedItem)
{
    const struct
    {
        int nIndex;
        int nExpectedAt;
        int nExpectedSel;
    } cases[] = {{-1, 3, 1}, {3, 3, 1}, {99, 3, 1}, {0, 0, 2}, {1, 1, 2}, {2, 2, 1}};
    for (const auto& c : cases)
    {
        TestStrip strip;
        AddItems(strip, 3);
        strip.SelectItem(1);
        const T::Item* pSelected = strip.GetItem(1);
        const T::Item* pNew = strip.InsertItem("new", SIZE{0, 0}, 0, c.nIndex, 7);
        EXPECT_EQ(strip.FindItemIndex(pNew), c.nExpectedAt) << c.nIndex;
        EXPECT_EQ(strip.GetSelectedIndex(), c.nExpectedSel) << c.nIndex;
        EXPECT_EQ(strip.GetItem(strip.GetSelectedIndex()), pSelected) << c.nIndex;
        EXPECT_EQ(strip.GetVisibleItemCount(), 4);
    }
}

TEST(ExtTabCore, DeletingMovesOrClearsTheSelectionAndCutsTheCount)
{
    const struct
    {
        int nIndex;
        int nCount;
        int nExpectedRemoved;
        int nExpectedSel; // item 3 of 6 selected
    } cases[] = {{2, 2, 2, -1},  {3, 1, 1, -1}, {0, 2, 2, 1}, {1, 2, 2, 1}, {4, 10, 2, 3},
                 {2, 10, 4, -1}, {0, 0, 0, 3},  {9, 1, 0, 3}, {-1, 2, 0, 3}};
    for (const auto& c : cases)
    {
        TestStrip strip;
        AddItems(strip, 6);
        strip.ModifyItemStyle(5, 0, T::ItemHidden);
        strip.SelectItem(3);
        const int nRemoved = strip.DeleteItems(c.nIndex, c.nCount);
        EXPECT_EQ(nRemoved, c.nExpectedRemoved) << c.nIndex << "," << c.nCount;
        EXPECT_EQ(strip.GetItemCount(), 6 - nRemoved);
        EXPECT_EQ(strip.GetSelectedIndex(), c.nExpectedSel) << c.nIndex << "," << c.nCount;
        if (c.nExpectedSel >= 0)
        {
            EXPECT_EQ(strip.GetItemData(c.nExpectedSel), 103);
        }
        int nVisible = 0;
        for (int i = 0; i < strip.GetItemCount(); ++i)
            nVisible += strip.GetItem(i)->IsVisible() ? 1 : 0;
        EXPECT_EQ(strip.GetVisibleItemCount(), nVisible);
    }
}

TEST(ExtTabCore, SelectingInAGroupMovesTheActiveBitOnlyWithinIt)
{
    // groups: [0 1 2] [3 4]; items 0 and 3 active
    TestStrip strip;
    AddItems(strip, 5);
    strip.ModifyItemStyle(0, 0, T::ItemGroupStart | T::ItemActiveInGroup);
    strip.ModifyItemStyle(3, 0, T::ItemGroupStart | T::ItemActiveInGroup);
    const struct
    {
        int nSelect;
        const char* pszActive; // active bits of items 0..4 afterwards
    } cases[] = {{2, "00110"}, {1, "01010"}, {4, "01001"}, {0, "10001"}, {3, "10010"}, {-1, "10010"}};
    for (const auto& c : cases)
    {
        strip.SelectItem(c.nSelect);
        std::string sActive;
        for (int i = 0; i < 5; ++i)
            sActive += strip.GetItem(i)->IsActiveInGroup() ? '1' : '0';
        EXPECT_EQ(sActive, c.pszActive) << c.nSelect;
        EXPECT_EQ(strip.GetSelectedIndex(), c.nSelect);
        EXPECT_EQ(strip.FindItemByStyle(T::ItemSelected, 0, -1), c.nSelect);
    }
}

TEST(ExtTabCore, GroupsSpanFromAGroupStartToTheNext)
{
    TestStrip strip;
    AddItems(strip, 6);
    strip.ModifyItemStyle(2, 0, T::ItemGroupStart);
    strip.ModifyItemStyle(5, 0, T::ItemGroupStart);
    const struct
    {
        int nIndex;
        int nFirst, nLast;
    } cases[] = {{0, 0, 1}, {1, 0, 1}, {2, 2, 4}, {4, 2, 4}, {5, 5, 5}};
    for (const auto& c : cases)
    {
        int nFirst = -1, nLast = -1;
        strip.GetGroupRange(c.nIndex, nFirst, nLast);
        EXPECT_EQ(nFirst, c.nFirst) << c.nIndex;
        EXPECT_EQ(nLast, c.nLast) << c.nIndex;
    }

    // in the strip a gap of 20 goes before each later group
    strip.ModifyTabWndStyle(0, T::StyleGroups | T::StyleGroupsNoCollapse);
    strip.RecalcLayout(RECT{0, 0, 600, 100});
    const int lefts[] = {0, 27, 74, 101, 128, 175};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(strip.GetItem(i)->m_rc.left, lefts[i]) << i;
    EXPECT_EQ(strip.GetTotalExtent(), 10 + 6 * 27 + 2 * 20);
}

TEST(ExtTabCore, SelectionIsRangeCheckedAndDisabledItemsRefused)
{
    TestStrip strip;
    AddItems(strip, 5);
    strip.ModifyItemStyle(2, 0, T::ItemDisabled);
    strip.SelectItem(1);
    const struct
    {
        int nSelect;
        int nExpectedSel;
    } cases[] = {{99, -1}, {1, 1}, {5, -1}, {1, 1}, {2, 1}, {-7, -1}, {4, 4}};
    for (const auto& c : cases)
    {
        strip.SelectItem(c.nSelect);
        EXPECT_EQ(strip.GetSelectedIndex(), c.nExpectedSel) << c.nSelect;
        EXPECT_EQ(strip.FindItemByStyle(T::ItemSelected, 0, -1), c.nExpectedSel) << c.nSelect;
    }
    for (int nIndex : {99, 5, -1})
        EXPECT_EQ(strip.GetItemData(nIndex), 0) << nIndex;
    EXPECT_EQ(strip.GetItemData(4), 104);
    strip.m_bRefuseAll = true;
    EXPECT_EQ(strip.SelectItem(0), 4);
    EXPECT_EQ(strip.GetSelectedIndex(), 4);
}

TEST(ExtTabCore, FindItemByDataFiltersOnVisibility)
{
    TestStrip strip;
    for (int i = 0; i < 6; ++i)
        strip.InsertItem("t", SIZE{0, 0}, (i % 2) ? DWORD(T::ItemHidden) : DWORD(0), -1, i < 3 ? 7 : 8);
    const struct
    {
        LONG_PTR lParam;
        int nStartAfter;
        bool bVisible, bHidden;
        int nExpected;
    } cases[] = {{7, -1, false, true, 1}, {7, 1, false, true, -1}, {8, -5, false, true, 3},
                 {8, 3, false, true, 5},  {7, -1, true, false, 0}, {7, 0, true, false, 2},
                 {7, 0, true, true, 1},   {8, 3, false, false, 4}, {9, -1, false, false, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(strip.FindItemByData(c.lParam, c.nStartAfter, c.bVisible, c.bHidden), c.nExpected)
            << c.lParam << "," << c.nStartAfter << "," << c.bVisible << c.bHidden;
}

TEST(ExtTabCore, MeasuresItems)
{
    const struct
    {
        int nOrientation;
        int nTextWidth;
        SIZE icon;
        SIZE expected;
    } cases[] = {{T::OrientationTop, 0, {0, 0}, {24, 20}},       {T::OrientationRight, 0, {0, 0}, {20, 24}},
                 {T::OrientationBottom, 40, {16, 16}, {66, 20}}, {T::OrientationTop, 40, {0, 0}, {47, 20}},
                 {T::OrientationLeft, 40, {16, 16}, {20, 76}},   {T::OrientationTop, 0, {16, 22}, {26, 26}}};
    for (const auto& c : cases)
    {
        TestStrip strip;
        strip.ModifyTabWndStyle(T::StyleOrientationMask, c.nOrientation);
        strip.InsertItem(Chars(c.nTextWidth), c.icon, 0, -1, 0);
        const SIZE size = strip.MeasureItem(0);
        EXPECT_EQ(size.cx, c.expected.cx) << c.nOrientation << "," << c.nTextWidth;
        EXPECT_EQ(size.cy, c.expected.cy) << c.nOrientation << "," << c.nTextWidth;
    }
}

TEST(ExtTabCore, CollapsedGroupShowsOnlyTheActiveMemberInFull)
{
    TestStrip strip;
    strip.ModifyTabWndStyle(0, T::StyleGroups);
    const int widths[] = {40, 20, 30};
    for (int nWidth : widths)
        strip.InsertItem(Chars(nWidth), SIZE{16, 16}, 0, -1, 0);
    strip.ModifyItemStyle(0, 0, T::ItemGroupStart);
    const int measured[] = {66, 46, 56};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(strip.MeasureItem(i).cx, measured[i]);
    strip.SelectItem(1);
    strip.RecalcLayout(RECT{0, 0, 400, 100});
    const int shown[] = {23, 66, 23};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(strip.GetItem(i)->m_rc.right - strip.GetItem(i)->m_rc.left, shown[i]) << i;
    EXPECT_EQ(strip.GetTotalExtent(), 10 + 2 * 23 + 66);
    EXPECT_EQ(strip.GetItem(1)->m_rc.left, 23);

    // a vertical strip collapses its members the same way along its axis
    strip.ModifyTabWndStyle(T::StyleOrientationMask, T::OrientationLeft);
    strip.RecalcLayout(RECT{0, 0, 100, 400});
    const int shownVert[] = {23, 76, 23}; // the vertical text size grows by 10
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(strip.GetItem(i)->m_rc.bottom - strip.GetItem(i)->m_rc.top, shownVert[i]) << i;
}

TEST(ExtTabCore, FitShrinksItemsToEqualExtentsAndFlagsTheClipped)
{
    // A 200-pixel items area: 4 lead, 2 trail, no part buttons.
    TestStrip strip;
    strip.ModifyTabWndStyle(0, T::StyleFit);
    AddItems(strip, 9, 40);
    strip.InsertItem("", SIZE{0, 0}, 0, -1, 0); // 24 wide, never clipped
    strip.RecalcLayout(RECT{0, 0, 206, 60});
    const RECT& rcItems = strip.GetItemsArea();
    ASSERT_EQ(rcItems.right - rcItems.left, 200);
    for (int i = 0; i < 10; ++i)
    {
        const T::Item& item = *strip.GetItem(i);
        EXPECT_EQ(item.m_rc.right - item.m_rc.left, 24) << i;
        EXPECT_EQ(item.m_rc.left, 24 * i);
        EXPECT_EQ((item.m_nLayoutFlags & T::LayoutClipped) != 0, i < 9) << i;
    }
    EXPECT_TRUE(strip.IsSomeItemClipped());
    for (int nPart = 0; nPart < T::PartCount; ++nPart)
        EXPECT_TRUE(CRect(strip.GetPartButtonRect(nPart)).IsRectEmpty()) << nPart;
}

// Ten 47-pixel items in a top strip 300 wide with Previous and Next.
void LayOutScrollingStrip(TestStrip& strip, DWORD dwStyle = 0)
{
    strip.ModifyTabWndStyle(0, dwStyle);
    AddItems(strip, 10, 40);
    strip.RecalcLayout(RECT{0, 0, 300, 200});
}

TEST(ExtTabCore, LaysOutASingleRowWithPartButtonsAndScrollRange)
{
    TestStrip strip;
    LayOutScrollingStrip(strip, T::StyleClose | T::StyleHome);
    // buttons 16 wide: close 16+4, Next, Previous, Home 18 each, 2 trail
    EXPECT_EQ(CRect(strip.GetItemsArea()), CRect(4, 2, 300 - 2 - 20 - 3 * 18, 22));
    EXPECT_EQ(CRect(strip.GetRestArea()), CRect(0, 22, 300, 200));
    EXPECT_EQ(strip.GetTotalExtent(), 470);
    EXPECT_EQ(strip.GetScrollMax(), 470 - 220);
    EXPECT_EQ(CRect(strip.GetPartButtonRect(T::PartClose)), CRect(280, 4, 296, 20));
    EXPECT_EQ(CRect(strip.GetPartButtonRect(T::PartNext)), CRect(262, 4, 278, 20));
    EXPECT_EQ(CRect(strip.GetPartButtonRect(T::PartPrevious)), CRect(244, 4, 260, 20));
    EXPECT_EQ(CRect(strip.GetPartButtonRect(T::PartHome)), CRect(226, 4, 242, 20));
    EXPECT_TRUE(CRect(strip.GetPartButtonRect(T::PartEnd)).IsRectEmpty());
    const DWORD dwEnabled = strip.GetTabWndStyle();
    EXPECT_EQ(dwEnabled & (T::StylePreviousEnabled | T::StyleHomeEnabled), 0u);
    EXPECT_EQ(dwEnabled & (T::StyleNextEnabled | T::StyleEndEnabled), T::StyleNextEnabled | T::StyleEndEnabled);
    EXPECT_EQ(strip.GetFirstVisibleIndex(), 0);
    EXPECT_EQ(strip.GetLastVisibleIndex(), 4);
}

TEST(ExtTabCore, LaysOutOtherEdgesAndRows)
{
    TestStrip bottom;
    bottom.ModifyTabWndStyle(0, T::OrientationBottom);
    AddItems(bottom, 2);
    bottom.RecalcLayout(RECT{0, 0, 300, 200});
    EXPECT_EQ(CRect(bottom.GetItemsArea()).top, 178);
    EXPECT_EQ(CRect(bottom.GetRestArea()), CRect(0, 0, 300, 178));

    TestStrip right;
    right.ModifyTabWndStyle(0, T::OrientationRight);
    AddItems(right, 2);
    right.RecalcLayout(RECT{0, 0, 300, 200});
    EXPECT_EQ(CRect(right.GetRestArea()), CRect(0, 0, 278, 200));
    EXPECT_EQ(right.GetItem(1)->m_rc.top, 37);

    // rows of at most 300 pixels (no scroll buttons in rows): 6 items of 47
    TestStrip rows;
    rows.ModifyTabWndStyle(0, T::StyleMultiRow);
    AddItems(rows, 14, 40);
    rows.RecalcLayout(RECT{0, 0, 300, 200});
    std::string sRowEnds;
    for (int i = 0; i < 14; ++i)
        sRowEnds += (rows.GetItem(i)->m_nLayoutFlags & T::LayoutRowEnd) ? '1' : '0';
    EXPECT_EQ(sRowEnds, "00000100000100");
    EXPECT_EQ(rows.GetItem(5)->m_rc.top, 2);
    EXPECT_EQ(rows.GetItem(6)->m_rc.top, 22);
    EXPECT_EQ(rows.GetItem(6)->m_rc.left, 0);
    EXPECT_EQ(rows.GetItem(13)->m_rc.top, 42);
    EXPECT_EQ(rows.GetScrollMax(), 0);
    EXPECT_EQ(CRect(rows.GetItemsArea()).Height(), 60);
    EXPECT_EQ(rows.GetLastVisibleIndex(), 13);
}

TEST(ExtTabCore, HitTests)
{
    TestStrip strip;
    LayOutScrollingStrip(strip);
    const RECT rcClient = {0, 0, 300, 200};
    const struct
    {
        POINT pt;
        int nExpected;
    } cases[] = {{{10, 100}, T::HitRest},     {{10, 10}, 0},           {{60, 10}, 1},        {{290, 10}, T::HitNext},
                 {{270, 10}, T::HitPrevious}, {{400, 10}, T::HitNone}, {{2, 10}, T::HitNone}};
    for (const auto& c : cases)
        EXPECT_EQ(strip.HitTest(rcClient, c.pt), c.nExpected) << c.pt.x << "," << c.pt.y;

    // scrolled to the end: item 0 lies before the items area and its old
    // place shows item 4
    strip.EnsureVisible(9);
    strip.RecalcLayout(rcClient);
    ASSERT_EQ(strip.GetScrollPosition(), strip.GetScrollMax());
    const int nShift = strip.GetItemsArea().left - strip.GetScrollPosition();
    EXPECT_EQ(strip.HitTest(rcClient, POINT{strip.GetItem(0)->m_rc.left + nShift + 5, 10}), T::HitNone);
    EXPECT_EQ(strip.HitTest(rcClient, POINT{strip.GetItem(9)->m_rc.left + nShift + 5, 10}), 9);
    EXPECT_EQ(strip.HitTest(rcClient, POINT{10, 10}), 4);

    TestStrip empty;
    empty.RecalcLayout(rcClient);
    EXPECT_EQ(empty.HitTest(rcClient, POINT{10, 10}), T::HitItemsArea);
    empty.InsertItem("a", SIZE{0, 0}, 0, -1, 0);
    empty.RecalcLayout(rcClient);
    EXPECT_EQ(empty.HitTest(rcClient, POINT{100, 10}), T::HitItemsArea);
}

TEST(ExtTabCore, EnsureVisibleScrollsTheItemInWithSlackUpToTheMaximum)
{
    // items area 4..260 (256 long), items 47 wide, maximum 470 - 256 = 214
    const struct
    {
        int nIndex;
        int nExpected;
    } cases[] = {
        {5, 282 - 262 + 6}, // cut at the far end
        {6, 329 - 262 + 6},
        {8, 423 - 262 + 6},
        {9, 214}, // the slack stops at the maximum
        {2, 0},   // already in view
    };
    for (const auto& c : cases)
    {
        TestStrip strip;
        LayOutScrollingStrip(strip);
        ASSERT_EQ(strip.GetScrollMax(), 214);
        EXPECT_TRUE(strip.EnsureVisible(c.nIndex));
        EXPECT_EQ(strip.GetScrollPosition(), c.nExpected) << c.nIndex;
        strip.RecalcLayout(RECT{0, 0, 300, 200});
    }
    // back towards the start: item 1 at 47 with the strip at the end
    TestStrip strip;
    LayOutScrollingStrip(strip);
    strip.EnsureVisible(9);
    strip.RecalcLayout(RECT{0, 0, 300, 200});
    strip.EnsureVisible(1);
    EXPECT_EQ(strip.GetScrollPosition(), 47 - 6);
    strip.ModifyItemStyle(3, 0, T::ItemHidden);
    strip.RecalcLayout(RECT{0, 0, 300, 200});
    EXPECT_FALSE(strip.EnsureVisible(3));
    EXPECT_FALSE(strip.EnsureVisible(99));
}

} // namespace
