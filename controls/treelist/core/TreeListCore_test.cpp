// The tree list's item tree, columns and selection without a window: counts
// and rows against a brute-force walk, insert positions, expansion codes,
// deletion, style rules, column widths, check propagation and selection.
#include "controls/treelist/core/TreeListCore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace
{

struct Notice
{
    int code;
    CTreeListItem* item;
    int column;
};

// Records the notices and answers them as told; measures 6 pixels per
// character (9 in the header font).
class CRecordingTree : public CTreeListCore
{
public:
    std::vector<Notice> notices;
    std::function<LONG_PTR(int code, CTreeListItem*)> answer;
    int fontHeight = -12;

    std::vector<int> Codes() const
    {
        std::vector<int> codes;
        for (const Notice& n : notices)
            codes.push_back(n.code);
        return codes;
    }

protected:
    LONG_PTR Notify(int nCode, CTreeListItem* pItem, int nColumn, int, int) override
    {
        notices.push_back({nCode, pItem, nColumn});
        return answer ? answer(nCode, pItem) : 0;
    }
    int MeasureText(LPCTSTR lpszText, bool bHeader) override
    {
        return static_cast<int>(std::strlen(lpszText)) * (bHeader ? 9 : 6);
    }
    int GetFontHeight() override { return fontHeight; }
};

// The rows as a plain recursive walk sees them.
void WalkRows(CTreeListItem* pParent, bool bShown, std::vector<CTreeListItem*>& rows, std::vector<CTreeListItem*>& all)
{
    for (CTreeListItem* p = pParent->m_pChild; p; p = p->m_pNext)
    {
        all.push_back(p);
        if (bShown)
            rows.push_back(p);
        WalkRows(p, bShown && p->IsExpanded(), rows, all);
    }
}

// Checks every count, link and row lookup against the walk.
void ExpectConsistent(CRecordingTree& tree)
{
    std::vector<CTreeListItem*> rows, all;
    WalkRows(tree.GetRootItem(), true, rows, all);
    ASSERT_EQ(tree.GetRowCount(), static_cast<int>(rows.size()));
    ASSERT_EQ(tree.GetItemCount(), static_cast<int>(all.size()));
    std::function<int(CTreeListItem*)> total = [&](CTreeListItem* p)
    {
        int n = 1;
        for (CTreeListItem* c = p->m_pChild; c; c = c->m_pNext)
            n += total(c);
        return n;
    };
    std::function<int(CTreeListItem*)> visible = [&](CTreeListItem* p)
    {
        int n = 1;
        if (p->IsExpanded())
        {
            for (CTreeListItem* c = p->m_pChild; c; c = c->m_pNext)
                n += visible(c);
        }
        return n;
    };
    for (size_t i = 0; i < all.size(); ++i)
    {
        CTreeListItem* p = all[i];
        ASSERT_EQ(p->m_nCount, total(p));
        ASSERT_EQ(p->m_nVisibleCount, visible(p));
        ASSERT_EQ(p->m_nLevel, p->m_pParent->m_nLevel + 1);
        ASSERT_EQ(p->m_pPrev ? p->m_pPrev->m_pNext : p->m_pParent->m_pChild, p);
        if (p->m_pNext)
        {
            ASSERT_EQ(p->m_pNext->m_pPrev, p);
        }
        ASSERT_EQ(tree.GetNextItem(p), i + 1 < all.size() ? all[i + 1] : nullptr);
        ASSERT_EQ(tree.GetPrevItem(p), i > 0 ? all[i - 1] : nullptr);
    }
    for (size_t r = 0; r < rows.size(); ++r)
    {
        ASSERT_EQ(tree.GetItemAtRow(static_cast<int>(r)), rows[r]);
        ASSERT_EQ(tree.GetItemRow(rows[r]), static_cast<int>(r));
        ASSERT_EQ(tree.GetNextVisibleItem(rows[r], true), r + 1 < rows.size() ? rows[r + 1] : nullptr);
        ASSERT_EQ(tree.GetPrevVisibleItem(rows[r]), r > 0 ? rows[r - 1] : nullptr);
    }
    ASSERT_EQ(tree.GetItemAtRow(-1), nullptr);
    ASSERT_EQ(tree.GetItemAtRow(static_cast<int>(rows.size())), nullptr);
}

TEST(TreeListCore, RandomEditsKeepCountsAndRowsExact)
{
    CRecordingTree tree;
    tree.InsertColumn("Name");
    std::mt19937 random(4711);
    std::vector<CTreeListItem*> items;
    const CTreeListItem* const positions[] = {TLI_LAST, TLI_FIRST, TLI_SORT, nullptr};
    for (int step = 0; step < 1500; ++step)
    {
        int action = static_cast<int>(random() % 10);
        if (items.empty() || action < 5)
        {
            CTreeListItem* pParent = items.empty() || random() % 4 == 0 ? TLI_ROOT : items[random() % items.size()];
            CTreeListItem* pAfter = const_cast<CTreeListItem*>(positions[random() % 4]);
            CTreeListItem* pSiblings = pParent == TLI_ROOT ? tree.GetRootItem() : pParent;
            if (!pAfter)
            {
                // a named sibling: the second child when there is one
                CTreeListItem* pFirst = pSiblings->m_pChild;
                pAfter = !pFirst ? TLI_LAST : (pFirst->m_pNext ? pFirst->m_pNext : pFirst);
            }
            DWORD state = random() % 3 == 0 ? DWORD(TLIS_EXPANDED) : (random() % 2 ? DWORD(TLIS_CHILDRENKNOWN) : 0);
            items.push_back(tree.InsertItem("item", state, pParent, pAfter));
        }
        else if (action < 9)
        {
            tree.Expand(items[random() % items.size()], static_cast<int>(random() % 4));
        }
        else
        {
            tree.DeleteItem(items[random() % items.size()]);
        }
        // items deleted with their parents are gone: rebuild the list
        std::vector<CTreeListItem*> rows;
        items.clear();
        WalkRows(tree.GetRootItem(), true, rows, items);
        if (step % 25 == 0)
            ExpectConsistent(tree);
        if (::testing::Test::HasFatalFailure())
            return;
    }
    ExpectConsistent(tree);
    tree.DeleteAllItems();
    EXPECT_EQ(tree.GetRowCount(), 0);
    EXPECT_EQ(tree.GetItemRow(tree.GetRootItem()), -1);
}

TEST(TreeListCore, InsertPositions)
{
    CRecordingTree tree;
    tree.InsertColumn("Name");
    CTreeListItem* a = tree.InsertItem("a");
    CTreeListItem* b = tree.InsertItem("b", 0, TLI_ROOT, TLI_SORT); // appends like TLI_LAST
    CTreeListItem* c = tree.InsertItem("c", 0, TLI_ROOT, TLI_FIRST);
    CTreeListItem* d = tree.InsertItem("d", 0, TLI_ROOT, a); // after a named sibling
    CTreeListItem* e = tree.InsertItem("e", 0, TLI_ROOT, TLI_LAST);
    std::vector<CTreeListItem*> order;
    for (CTreeListItem* p = tree.GetFirstItem(); p; p = p->m_pNext)
        order.push_back(p);
    EXPECT_EQ(order, (std::vector<CTreeListItem*>{c, a, d, b, e}));
    EXPECT_EQ(tree.GetItemRow(c), 0);
    int images[4];
    e->GetImages(images[0], images[1], images[2], images[3]);
    EXPECT_EQ(std::vector<int>(images, images + 4), (std::vector<int>{0, 1, 2, 3}));

    // an item of another list as insert-after does not tear that list
    CTreeListItem* child = tree.InsertItem("child", 0, a);
    CTreeListItem* misplaced = tree.InsertItem("x", 0, TLI_ROOT, child);
    EXPECT_EQ(misplaced->m_pPrev, e);
    EXPECT_EQ(child->m_pNext, nullptr);
    ExpectConsistent(tree);
}

TEST(TreeListCore, InsertingUnderACollapsedItemAddsRowsOnlyWhenExpanded)
{
    CRecordingTree tree;
    tree.InsertColumn("Name");
    CTreeListItem* parent = tree.InsertItem("parent", TLIS_CHILDRENKNOWN);
    tree.InsertItem("after");
    ASSERT_EQ(tree.GetRowCount(), 2);
    tree.InsertItem("one", 0, parent);
    tree.InsertItem("two", 0, parent);
    EXPECT_EQ(tree.GetRowCount(), 2);
    EXPECT_EQ(tree.GetItemCount(), 4);
    EXPECT_EQ(tree.Expand(parent, TLE_EXPAND), 0);
    EXPECT_EQ(tree.GetRowCount(), 4);
    EXPECT_EQ(tree.GetItemAtRow(3)->GetText(0), std::string("after"));
    ExpectConsistent(tree);
}

TEST(TreeListCore, ExpandCodes)
{
    CRecordingTree tree;
    tree.InsertColumn("Name");
    CTreeListItem* parent = tree.InsertItem("parent", TLIS_CHILDRENKNOWN);
    tree.InsertItem("child", 0, parent);

    // code 1 on a collapsed item: 1 and no notice
    EXPECT_EQ(tree.Expand(parent, TLE_COLLAPSE), 1);
    EXPECT_TRUE(tree.notices.empty());
    // code 2 toggles, with the notices before and after
    EXPECT_EQ(tree.Expand(parent, TLE_TOGGLE), 0);
    EXPECT_TRUE(parent->IsExpanded());
    EXPECT_EQ(tree.Codes(), (std::vector<int>{TLN_ITEMEXPANDING, TLN_ITEMEXPANDED}));
    EXPECT_EQ(tree.notices[0].column, -1); // the focus column, none yet
    EXPECT_EQ(tree.Expand(parent, TLE_TOGGLE), 0);
    EXPECT_FALSE(parent->IsExpanded());
    // unknown codes do nothing
    tree.notices.clear();
    EXPECT_EQ(tree.Expand(parent, 7), 0);
    EXPECT_TRUE(tree.notices.empty());
    // a veto leaves the item as it was
    tree.answer = [](int code, CTreeListItem*) { return code == TLN_ITEMEXPANDING ? -1 : 0; };
    EXPECT_EQ(tree.Expand(parent, TLE_EXPAND), 0);
    EXPECT_FALSE(parent->IsExpanded());
    EXPECT_EQ(tree.GetRowCount(), 1);
    tree.answer = nullptr;

    // a final empty child list cannot be expanded; an open one can
    CTreeListItem* leaf = tree.InsertItem("leaf", TLIS_CHILDRENKNOWN);
    tree.notices.clear();
    EXPECT_EQ(tree.Expand(leaf, TLE_EXPAND), 1);
    EXPECT_FALSE(leaf->IsExpanded());
    EXPECT_TRUE(tree.notices.empty());
    CTreeListItem* open = tree.InsertItem("open");
    EXPECT_EQ(tree.Expand(open, TLE_EXPAND), 0);
    EXPECT_TRUE(open->IsExpanded());
    EXPECT_EQ(tree.GetRowCount(), 3);

    // code 3 collapses and drops the children
    tree.Expand(parent, TLE_EXPAND);
    ASSERT_EQ(tree.GetRowCount(), 4);
    EXPECT_EQ(tree.Expand(parent, TLE_COLLAPSERESET), 0);
    EXPECT_EQ(parent->m_pChild, nullptr);
    EXPECT_EQ(tree.GetItemCount(), 3);
    ExpectConsistent(tree);
}

TEST(TreeListCore, ExpandAllOpensAndClosesWholeSubtrees)
{
    CRecordingTree tree;
    tree.InsertColumn("Name");
    CTreeListItem* a = tree.InsertItem("a");
    CTreeListItem* b = tree.InsertItem("b", 0, a);
    tree.InsertItem("c", 0, b);
    tree.ExpandAll(a, TLE_EXPAND);
    EXPECT_EQ(tree.GetRowCount(), 3);
    tree.notices.clear();
    tree.ExpandAll(a, TLE_COLLAPSE);
    EXPECT_EQ(tree.GetRowCount(), 1);
    // descendants first, then the item
    ASSERT_GE(tree.notices.size(), 2u);
    EXPECT_EQ(tree.notices.front().item, b);
    EXPECT_EQ(tree.notices.back().item, a);
}

TEST(TreeListCore, DeletingLeavesNoReferenceToTheItemOrItsDescendants)
{
    CRecordingTree tree;
    tree.SetStyle(TLC_TREELIST | TLC_MULTIPLESELECT);
    tree.InsertColumn("Name");
    CTreeListItem* first = tree.InsertItem("first", TLIS_EXPANDED);
    CTreeListItem* inner = tree.InsertItem("inner", 0, first);
    CTreeListItem* second = tree.InsertItem("second");
    CTreeListItem* third = tree.InsertItem("third");

    tree.SelectItem(third, 0, false, false);
    tree.SelectItem(inner, 0, true, false); // primary and caret: inner
    tree.SetHoverItem(inner);
    tree.SetDropHighlight(first);
    ASSERT_EQ(tree.GetCaretItem(), inner);
    tree.notices.clear();
    tree.answer = [](int, CTreeListItem*) { return -1; }; // ignored on deletion
    tree.DeleteItem(first);
    // children first, each announced before it is freed
    ASSERT_EQ(tree.notices.size(), 2u);
    EXPECT_EQ(tree.notices[0].item, inner);
    EXPECT_EQ(tree.notices[1].item, first);
    EXPECT_EQ(tree.notices[0].code, TLN_SELCHANGING);
    EXPECT_EQ(tree.GetCaretItem(), nullptr);
    EXPECT_EQ(tree.GetHoverItem(), nullptr);
    EXPECT_EQ(tree.GetDropHighlight(), nullptr);
    EXPECT_EQ(tree.GetSelectionAnchor(), nullptr);
    // the first remaining selected item becomes primary
    EXPECT_EQ(tree.GetPrimarySelection(), third);
    EXPECT_EQ(tree.GetItemAtRow(0), second);

    tree.DeleteItem(TLI_ROOT);
    EXPECT_EQ(tree.GetPrimarySelection(), nullptr);
    EXPECT_EQ(tree.GetRowCount(), 0);
    EXPECT_FALSE(tree.DeleteItem(nullptr));
}

TEST(TreeListCore, SetStyleClearsBitsWhoseBaseIsMissing)
{
    struct Case
    {
        DWORD given, kept, header;
    };
    const Case cases[] = {
        {TLC_TREELINE | TLC_ROOTLINE | TLC_BUTTON, 0, 0},
        {TLC_TREELIST | TLC_TREELINE | TLC_ROOTLINE | TLC_BUTTON,
         TLC_TREELIST | TLC_TREELINE | TLC_ROOTLINE | TLC_BUTTON, 0},
        {TLC_TGRID | TLC_HGRID_EXT | TLC_HGRID_FULL, 0, 0},
        {TLC_HGRID | TLC_TGRID | TLC_HGRID_EXT | TLC_HGRID_FULL, TLC_HGRID | TLC_TGRID | TLC_HGRID_EXT | TLC_HGRID_FULL,
         0},
        {TLC_VGRID_EXT, 0, 0},
        {TLC_VGRID | TLC_VGRID_EXT, TLC_VGRID | TLC_VGRID_EXT, 0},
        // both grids: the empty-area extensions go together or not at all
        {TLC_HGRID | TLC_VGRID | TLC_HGRID_EXT, TLC_HGRID | TLC_VGRID, 0},
        {TLC_HGRID | TLC_VGRID | TLC_VGRID_EXT, TLC_HGRID | TLC_VGRID, 0},
        {TLC_HGRID | TLC_VGRID | TLC_HGRID_EXT | TLC_VGRID_EXT, TLC_HGRID | TLC_VGRID | TLC_HGRID_EXT | TLC_VGRID_EXT,
         0},
        {TLC_HEADDRAGDROP | TLC_HEADFULLDRAG | TLC_IMAGE, TLC_IMAGE, TLHS_IMAGECOLUMNS},
        {TLC_HEADER | TLC_HEADDRAGDROP | TLC_HEADFULLDRAG, TLC_HEADER | TLC_HEADDRAGDROP | TLC_HEADFULLDRAG,
         TLHS_VISIBLE | TLHS_DRAGCOLUMN | TLHS_DRAGFREE},
        // the disc tree pane's style: no horizontal grid, so none of its extensions
        {0x6775C9, 0x6725C9, TLHS_VISIBLE | TLHS_IMAGECOLUMNS},
    };
    for (const Case& c : cases)
    {
        CRecordingTree tree;
        tree.SetStyle(0x8);
        EXPECT_EQ(tree.SetStyle(c.given), 0x8u);
        EXPECT_EQ(tree.GetStyle(), c.kept) << std::hex << c.given;
        EXPECT_EQ(CTreeListCore::HeaderStyleOf(tree.GetStyle()), c.header) << std::hex << c.given;
    }
}

TEST(TreeListCore, RowHeightFromTheFontIsEven)
{
    struct Case
    {
        int fontHeight, given, expected;
    };
    const Case cases[] = {{-12, -1, 18}, {0, -1, 20}, {13, -1, 18}, {-13, -1, 18}, {0, 21, 22}, {0, 16, 16}};
    for (const Case& c : cases)
    {
        CRecordingTree tree;
        tree.fontHeight = c.fontHeight;
        tree.SetRowHeight(c.given);
        EXPECT_EQ(tree.GetRowHeight(), c.expected) << c.fontHeight << " " << c.given;
    }
}

TEST(TreeListCore, ColumnsTheirOrdersAndWidths)
{
    CRecordingTree tree;
    tree.SetStyle(TLC_TREELIST | TLC_BUTTON | TLC_CHECKBOX | TLC_IMAGE);
    tree.InsertColumn("Name", TLF_DEFAULT, 0);
    tree.InsertColumn("Hidden", TLF_DEFAULT | TLF_HIDDEN, 0);
    tree.InsertColumn("Sorted", TLF_DEFAULT | TLF_SORTABLE | TLF_SORT_DESC, 0);
    tree.InsertColumn("Sortable", TLF_DEFAULT | TLF_SORTABLE, 0);
    EXPECT_EQ(tree.GetDisplayOrder(), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(tree.GetSortOrder(), (std::vector<int>{2}));

    // empty tree: the header text in the header font + 10
    tree.SetColumnWidth(0, -2, 0, 0);
    EXPECT_EQ(tree.GetColumnWidth(0), 4 * 9 + 10);
    tree.SetColumnWidth(0, -1, 0, 0);
    EXPECT_EQ(tree.GetColumnWidth(0), 0);

    // a cell at depth 2 with button slot, check icon and image
    CTreeListItem* top = tree.InsertItem("t", TLIS_EXPANDED);
    CTreeListItem* deep = tree.InsertItem("twelve chars", 0, top);
    deep->SetState(TLIS_SHOWCHECK | TLIS_SHOWIMAGE, 0);
    tree.SetColumnWidth(0, -1, 0, 0);
    EXPECT_EQ(tree.GetColumnWidth(0), 12 * 6 + 8 + 16 + 16 + 16 + 16 + 2);
    // a collapsed parent hides the row from the measure
    tree.Expand(top, TLE_COLLAPSE);
    tree.SetColumnWidth(0, -1, 0, 0);
    EXPECT_EQ(tree.GetColumnWidth(0), 1 * 6 + 8 + 16 + 16 + 2); // button slot, check icon, gap

    // limits: negatives become 0, a maximum below the minimum is the minimum
    struct Case
    {
        int width, min, max, expected, storedMin, storedMax;
    };
    const Case cases[] = {
        {50, 60, 0, 60, 60, 0}, {500, 0, 100, 100, 0, 100}, {50, 80, 40, 80, 80, 80}, {-7, -5, -9, 0, 0, 0}};
    for (const Case& c : cases)
    {
        EXPECT_EQ(tree.SetColumnWidth(2, c.width, c.min, c.max), 0);
        EXPECT_EQ(tree.GetColumnWidth(2), c.expected);
        EXPECT_EQ(tree.GetColumn(2)->m_nMinWidth, c.storedMin);
        EXPECT_EQ(tree.GetColumn(2)->m_nMaxWidth, c.storedMax);
    }
    EXPECT_EQ(tree.GetColumn(4), nullptr);
}

TEST(TreeListCore, ItemTextsTipsAndColoursPerColumn)
{
    CRecordingTree tree;
    tree.InsertColumn("A");
    CTreeListItem* early = tree.InsertItem("early");
    tree.InsertColumn("B");
    CTreeListItem* late = tree.InsertItem("late");
    // sub-items only for the columns that existed when the item was made
    EXPECT_FALSE(early->SetText("x", 1));
    EXPECT_EQ(early->GetText(1), nullptr);
    EXPECT_TRUE(late->SetText("x", 1));
    EXPECT_STREQ(late->GetText(1), "x");
    EXPECT_TRUE(late->SetTipText("tip", -1));
    EXPECT_TRUE(late->HasTipText(1));
    EXPECT_FALSE(early->HasTipText(3));
    EXPECT_EQ(late->SetTextColor(0xA0A0A0, -1), TLC_DEFAULT_COLOR);
    EXPECT_EQ(late->GetTextColor(1), 0xA0A0A0u);
    late->ResetTextColor(1);
    EXPECT_EQ(late->GetTextColor(1), TLC_DEFAULT_COLOR);
    EXPECT_EQ(late->GetTextColor(0), 0xA0A0A0u);
    late->SetState(TLIS_EXPANDED, 0);
    EXPECT_TRUE(late->GetState() & TLIS_CHILDRENKNOWN);
    late->SetState(0, TLIS_CHILDRENKNOWN);
    EXPECT_FALSE(late->IsExpanded());
}

TEST(TreeListCore, CheckChangesPropagateDownAndUp)
{
    CRecordingTree tree;
    tree.SetStyle(TLC_TREELIST | TLC_CHECKBOX);
    tree.InsertColumn("Name");
    CTreeListItem* parent = tree.InsertItem("parent", TLIS_EXPANDED);
    CTreeListItem* a = tree.InsertItem("a", 0, parent);
    CTreeListItem* b = tree.InsertItem("b", 0, parent);
    CTreeListItem* grand = tree.InsertItem("grand", 0, a);
    ASSERT_EQ(parent->GetCheck(), 0);

    tree.ToggleCheck(a, true);
    EXPECT_EQ(a->GetCheck(), 1);
    EXPECT_EQ(grand->GetCheck(), 1);  // descendants follow
    EXPECT_EQ(parent->GetCheck(), 2); // mixed children
    tree.ToggleCheck(b, true);
    EXPECT_EQ(parent->GetCheck(), 1);
    tree.ToggleCheck(a, true);
    tree.ToggleCheck(b, true);
    EXPECT_EQ(parent->GetCheck(), 0);

    // a child without a check icon does not count
    b->SetState(0, TLIS_SHOWCHECK);
    tree.ToggleCheck(a, true);
    EXPECT_EQ(parent->GetCheck(), 1);

    // new items start checked only under a checked parent
    EXPECT_EQ(tree.InsertItem("new", 0, parent)->GetCheck(), 1);
    // the root follows its children like any parent
    EXPECT_EQ(tree.InsertItem("root-level")->GetCheck(), 1);
    tree.ToggleCheck(grand, true); // a now indeterminate
    ASSERT_EQ(a->GetCheck(), 0);
    grand->SetCheck(true);
    a->m_dwState |= TLIS_CHECKBITS;
    EXPECT_EQ(tree.InsertItem("under mixed", 0, a)->GetCheck(), 0);

    // a veto changes nothing; the style bit stops the propagation
    int before = parent->GetCheck();
    tree.answer = [](int code, CTreeListItem*) { return code == TLN_CHECKCHANGING ? -1 : 0; };
    tree.ToggleCheck(parent, true);
    EXPECT_EQ(parent->GetCheck(), before);
    tree.answer = nullptr;
    tree.SetStyle(TLC_TREELIST | TLC_CHECKBOX | TLC_NOAUTOCHECK);
    tree.ToggleCheck(parent, true);
    EXPECT_EQ(parent->GetCheck(), 0);
    EXPECT_EQ(grand->GetCheck(), 1);
}

TEST(TreeListCore, LocksPropagateWithTheirOwnBits)
{
    CRecordingTree tree;
    tree.SetStyle(TLC_TREELIST | TLC_LOCKBOX);
    tree.InsertColumn("Name");
    CTreeListItem* parent = tree.InsertItem("parent", TLIS_EXPANDED);
    CTreeListItem* a = tree.InsertItem("a", 0, parent);
    tree.InsertItem("b", 0, parent);
    tree.ToggleLock(a, true);
    EXPECT_EQ(tree.Codes(), (std::vector<int>{TLN_LOCKCHANGING}));
    EXPECT_EQ(a->GetLock(), 1);
    EXPECT_EQ(parent->GetLock(), 2);
    EXPECT_EQ(parent->GetCheck(), 0); // the check bits are untouched
    EXPECT_EQ(tree.InsertItem("c", 0, a)->GetLock(), 1);
}

TEST(TreeListCore, SelectionWithControlAndShift)
{
    CRecordingTree tree;
    tree.SetStyle(TLC_MULTIPLESELECT);
    tree.InsertColumn("Name");
    CTreeListItem* item[5];
    for (auto& p : item)
        p = tree.InsertItem("row");
    auto selected = [&]()
    {
        std::string s;
        for (CTreeListItem* p : item)
            s += p->IsSelected() ? '1' : '0';
        return s;
    };
    tree.SelectItem(item[1], 0, false, false);
    EXPECT_EQ(selected(), "01000");
    EXPECT_EQ(tree.Codes(), (std::vector<int>{TLN_SELCHANGING, TLN_SELCHANGED}));
    tree.SelectItem(item[3], 0, false, true);
    EXPECT_EQ(selected(), "01110");
    tree.SelectItem(item[0], 0, true, false);
    EXPECT_EQ(selected(), "11110");
    // Control+Shift adds the range from the anchor (item 0)
    tree.SelectItem(item[4], 0, false, false);
    tree.SelectItem(item[2], 0, true, false);
    tree.SelectItem(item[0], 0, true, true);
    EXPECT_EQ(selected(), "11101");
    EXPECT_EQ(tree.GetCaretItem(), item[0]);
    // Control+click on the only selected item, the caret, keeps it
    tree.SelectItem(item[3], 0, false, false);
    tree.SelectItem(item[3], 0, true, false);
    EXPECT_EQ(selected(), "00010");
    EXPECT_EQ(tree.GetPrimarySelection(), item[3]);
    // a veto keeps everything but the anchor
    tree.answer = [](int code, CTreeListItem*) { return code == TLN_SELCHANGING ? -1 : 0; };
    tree.SelectItem(item[0], 0, false, false);
    EXPECT_EQ(selected(), "00010");
    tree.answer = nullptr;
    // nothing hit: the selection stays and the primary item is the caret
    tree.notices.clear();
    tree.SelectItem(nullptr, 0, false, false);
    EXPECT_EQ(tree.notices[0].item, nullptr);
    EXPECT_EQ(selected(), "00010");
    EXPECT_EQ(tree.GetCaretItem(), item[3]);
    // without multiple selection every click selects one item
    tree.SetStyle(0);
    tree.SelectItem(item[0], 0, true, true);
    EXPECT_EQ(selected(), "10000");
    // SelectItemByData looks at the given item and its followers only
    item[4]->m_dwData = reinterpret_cast<DWORD_PTR>(&tree);
    EXPECT_EQ(tree.SelectItemByData(reinterpret_cast<DWORD_PTR>(&tree), item[2]), item[4]);
    EXPECT_EQ(tree.SelectItemByData(0x1234), nullptr);
    EXPECT_EQ(selected(), "00001");
}

TEST(TreeListCore, SelectingAHiddenItemExpandsItsAncestors)
{
    CRecordingTree tree;
    tree.InsertColumn("Name");
    CTreeListItem* top = tree.InsertItem("top");
    CTreeListItem* mid = tree.InsertItem("mid", 0, top);
    CTreeListItem* leaf = tree.InsertItem("leaf", 0, mid);
    tree.SelectItem(leaf, 0, false, false);
    EXPECT_TRUE(top->IsExpanded());
    EXPECT_TRUE(mid->IsExpanded());
    EXPECT_EQ(tree.GetItemRow(leaf), 2);
}

} // namespace
