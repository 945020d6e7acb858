// The tree list's in-place editing and drag decisions without a window: the
// notices of concluding and cancelling, vetoes, column moves, deleting the
// edited item, the Tab order, the drop-down entries, drop results, hover
// scrolling and where dragged columns land.
#include "controls/treelist/core/DragImageFade.h"
#include "controls/treelist/core/TreeListCore.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

struct Notice
{
    int code;
    CTreeListItem* item;
    int column;
    int value1;
};

// Stands in for the window: the editor is a typed text, notices are
// recorded and answered as told.
class CEditingTree : public CTreeListCore
{
public:
    std::vector<Notice> notices;
    std::function<LONG_PTR(int code)> answer;
    std::string typed;    // what the editor holds when it is hidden
    int shownColumn = -1; // where the editor is shown, -1 hidden
    int placedAgain = 0;
    std::vector<std::pair<int, CTreeListItem*>> dragNotices;

    std::vector<int> Codes() const
    {
        std::vector<int> codes;
        for (const Notice& n : notices)
            codes.push_back(n.code);
        return codes;
    }

protected:
    LONG_PTR Notify(int nCode, CTreeListItem* pItem, int nColumn, int nValue1, int) override
    {
        notices.push_back({nCode, pItem, nColumn, nValue1});
        return answer ? answer(nCode) : 0;
    }
    LONG_PTR NotifyDrag(int nCode, CTreeListCore*, CTreeListItem* pItem) override
    {
        dragNotices.push_back({nCode, pItem});
        return answer ? answer(nCode) : 0;
    }
    void ShowEditor(CTreeListItem* pItem, int nColumn) override
    {
        shownColumn = nColumn;
        LPCTSTR lpszText = pItem->GetText(nColumn);
        typed = lpszText ? lpszText : "";
    }
    bool HideEditorWindow(CString& strText) override
    {
        bool bText = shownColumn >= 0 && GetColumn(shownColumn)->m_nEditor != 0;
        shownColumn = -1;
        strText = typed.c_str();
        return bText;
    }
    void PlaceEditorAgain() override
    {
        ++placedAgain;
        shownColumn = GetEditColumn();
    }
};

class TreeListEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"Name", "Size", "State", "Kind"})
        {
            tree.InsertColumn(name);
            tree.GetColumn(tree.GetColumnCount() - 1)->m_nEditor = 1;
        }
        a = tree.InsertItem("alpha");
        b = tree.InsertItem("beta");
        a->SetText("10", 1);
        a->SetText("on", 2);
    }
    CEditingTree tree;
    CTreeListItem* a = nullptr;
    CTreeListItem* b = nullptr;
};

const int kHidden = TLN_EDITORHIDDEN;
const int kText = TLN_TEXTCHANGING;
const int kItem = TLN_ITEMCHANGING;
const int kEnd = TLN_ENDEDIT;

TEST_F(TreeListEditTest, EndAndCancelSendTheirNotices)
{
    struct Case
    {
        const char* name;
        const char* typed; // null: nothing typed
        bool cancel;
        int veto; // a code answered -1, 0 for none
        std::vector<int> codes;
        bool result;
        const char* textAfter;
        bool stillEditing;
    };
    const Case cases[] = {
        {"enter unchanged", nullptr, false, 0, {kHidden, kEnd}, true, "10", false},
        {"enter changed", "12", false, 0, {kHidden, kText, kItem, kEnd}, true, "12", false},
        {"escape after typing", "12", true, 0, {kHidden, kEnd}, true, "10", false},
        {"-420 refused", "12", false, kText, {kHidden, kText}, false, "12", true},
        {"-421 refused", "12", false, kItem, {kHidden, kText, kItem}, false, "12", true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(tree.BeginEdit(a, 1));
        EXPECT_EQ(tree.shownColumn, 1);
        if (c.typed)
            tree.typed = c.typed;
        tree.notices.clear();
        int veto = c.veto;
        tree.answer = [veto](int code) { return code == veto ? -1 : 0; };
        int placed = tree.placedAgain;
        EXPECT_EQ(c.cancel ? tree.CancelEdit() : tree.EndEdit(), c.result);
        EXPECT_EQ(tree.Codes(), c.codes);
        EXPECT_STREQ(a->GetText(1), c.textAfter);
        EXPECT_EQ(tree.IsEditing(), c.stillEditing);
        if (c.stillEditing)
        {
            // the editor is back with the typed text
            EXPECT_EQ(tree.placedAgain, placed + 1);
            EXPECT_EQ(tree.shownColumn, 1);
            tree.answer = nullptr;
            tree.typed = "10";
            EXPECT_TRUE(tree.EndEdit());
        }
        else
        {
            EXPECT_EQ(tree.notices.back().value1, c.typed && !c.cancel ? 0 : 1);
        }
        EXPECT_FALSE(tree.IsEditing());
        a->SetText("10", 1);
    }
}

TEST_F(TreeListEditTest, ReadOnlyStyleAndNestedRequests)
{
    tree.SetStyle(TLC_READONLY);
    EXPECT_FALSE(tree.BeginEdit(a, 0));
    EXPECT_FALSE(tree.IsEditing());
    tree.SetStyle(0);
    EXPECT_FALSE(tree.EndEdit());
    EXPECT_FALSE(tree.CancelEdit());

    // a parent that starts another edit while one is concluded is refused
    ASSERT_TRUE(tree.BeginEdit(a, 0));
    tree.typed = "gamma";
    bool nested = true;
    tree.answer = [&](int code)
    {
        if (code == kText)
            nested = tree.BeginEdit(b, 0) || !tree.EndEdit() || !tree.CancelEdit();
        return 0;
    };
    EXPECT_TRUE(tree.EndEdit());
    EXPECT_FALSE(nested);
    EXPECT_STREQ(a->GetText(0), "gamma");
    EXPECT_FALSE(tree.IsEditing());
}

TEST_F(TreeListEditTest, MovingToAnotherColumnConcludesTheColumn)
{
    ASSERT_TRUE(tree.BeginEdit(a, 0));
    tree.typed = "alef";
    tree.notices.clear();
    ASSERT_TRUE(tree.BeginEdit(a, 2));
    EXPECT_EQ(tree.Codes(), (std::vector<int>{kHidden, kText}));
    EXPECT_EQ(tree.GetEditColumn(), 2);
    EXPECT_EQ(tree.shownColumn, 2);

    // a refused column change: the old text back, the editor where it was
    tree.typed = "off";
    tree.answer = [](int code) { return code == kText ? -1 : 0; };
    EXPECT_FALSE(tree.BeginEdit(a, 1));
    EXPECT_STREQ(a->GetText(2), "on");
    EXPECT_EQ(tree.GetEditColumn(), 2);
    EXPECT_EQ(tree.shownColumn, 2);
    EXPECT_TRUE(tree.IsEditing());

    // Escape puts back every column, the first move included
    tree.answer = nullptr;
    tree.notices.clear();
    EXPECT_TRUE(tree.CancelEdit());
    EXPECT_STREQ(a->GetText(0), "alpha");
    EXPECT_EQ(tree.Codes(), (std::vector<int>{kHidden, kEnd}));
    EXPECT_EQ(tree.notices.back().value1, 1);
}

TEST_F(TreeListEditTest, AnotherItemConcludesOrRevertsTheEdit)
{
    struct Case
    {
        int veto;
        bool begun;
        std::vector<int> codes;
        int endValue;
        const char* name0;
        const char* size;
    };
    const Case cases[] = {
        {0, true, {kHidden, kText, kItem, kEnd}, 0, "alef", "11"},
        {kText, false, {kHidden, kText, kEnd}, 0, "alef", "10"},
        {kItem, false, {kHidden, kText, kItem, kEnd}, 0, "alpha", "10"},
    };
    for (const Case& c : cases)
    {
        a->SetText("alpha", 0);
        a->SetText("10", 1);
        ASSERT_TRUE(tree.BeginEdit(a, 0));
        tree.typed = "alef";
        ASSERT_TRUE(tree.BeginEdit(a, 1));
        tree.typed = "11";
        tree.notices.clear();
        int veto = c.veto;
        tree.answer = [veto](int code) { return code == veto ? -1 : 0; };
        EXPECT_EQ(tree.BeginEdit(b, 0), c.begun) << c.veto;
        EXPECT_EQ(tree.Codes(), c.codes) << c.veto;
        EXPECT_EQ(tree.notices.back().value1, c.endValue);
        EXPECT_STREQ(a->GetText(0), c.name0);
        EXPECT_STREQ(a->GetText(1), c.size);
        EXPECT_EQ(tree.GetEditItem(), c.begun ? b : nullptr);
        tree.answer = nullptr;
        tree.CancelEdit();
    }
    // nothing changed: -422 with 1 for the old item
    ASSERT_TRUE(tree.BeginEdit(a, 2));
    tree.notices.clear();
    ASSERT_TRUE(tree.BeginEdit(b, 2));
    EXPECT_EQ(tree.Codes(), (std::vector<int>{kHidden, kEnd}));
    EXPECT_EQ(tree.notices.back().item, a);
    EXPECT_EQ(tree.notices.back().value1, 1);
}

TEST_F(TreeListEditTest, DeletingTheEditedItemEndsTheEditWithoutNotices)
{
    CTreeListItem* child = tree.InsertItem("child", 0, b);
    for (CTreeListItem* doomed : {child, b})
    {
        CTreeListItem* edited = doomed == b ? tree.InsertItem("again", 0, b) : child;
        ASSERT_TRUE(tree.BeginEdit(edited, 1));
        tree.typed = "typed";
        tree.notices.clear();
        tree.DeleteItem(doomed);
        for (const Notice& n : tree.notices)
            EXPECT_EQ(n.code, TLN_SELCHANGING);
        EXPECT_FALSE(tree.IsEditing());
        EXPECT_EQ(tree.shownColumn, -1);
        EXPECT_FALSE(tree.EndEdit());
    }
    // a parent deleting the item from a conclusion's notice
    ASSERT_TRUE(tree.BeginEdit(a, 0));
    tree.typed = "changed";
    tree.answer = [&](int code)
    {
        if (code == kText)
            tree.DeleteItem(a);
        return 0;
    };
    EXPECT_TRUE(tree.EndEdit());
    EXPECT_FALSE(tree.IsEditing());
}

TEST(TreeListEditColumns, TabOrderSkipsReadOnlyFields)
{
    CEditingTree tree;
    // editor kinds of columns 0..4; displayed in the order 0 3 1 4 (2 hidden)
    const int kinds[] = {1, 0, 2, 1, 0};
    for (int kind : kinds)
    {
        tree.InsertColumn("c");
        tree.GetColumn(tree.GetColumnCount() - 1)->m_nEditor = kind;
    }
    tree.GetDisplayOrder() = {0, 3, 1, 4};
    struct Case
    {
        int from;
        bool back;
        int next;
    };
    const Case cases[] = {
        {0, false, 3}, {3, false, -1}, {1, false, -1}, {4, true, 3}, {3, true, 0}, {0, true, -1}, {2, false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tree.GetNextEditColumn(c.from, c.back), c.next) << c.from << (c.back ? " back" : "");
}

TEST(TreeListEditColumns, ChoicesKeepEmptyPieces)
{
    struct Case
    {
        const char* choices;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"a||b", {"a", "", "b"}},
        {"one", {"one"}},
        {"", {""}},
        {"|x|", {"", "x", ""}},
    };
    for (const Case& c : cases)
    {
        CTreeListColumn column;
        column.m_strChoices = c.choices;
        std::vector<std::string> entries;
        for (const CString& s : column.GetChoices())
            entries.push_back(static_cast<LPCTSTR>(s));
        EXPECT_EQ(entries, c.entries) << c.choices;
    }
}

TEST(TreeListDrag, DropResults)
{
    CEditingTree source, target;
    for (CEditingTree* t : {&source, &target})
        t->InsertColumn("Name");
    CTreeListItem* top = source.InsertItem("top");
    CTreeListItem* sub = source.InsertItem("sub", 0, top);
    CTreeListItem* subChild = source.InsertItem("sub child", 0, sub);
    CTreeListItem* other = source.InsertItem("other", 0, top);
    CTreeListItem* distant = source.InsertItem("distant");
    CTreeListItem* there = target.InsertItem("there");
    const DWORD kWithin = TLC_DROP | TLC_DROPTHIS | TLC_DROPROOT;
    struct Case
    {
        const char* name;
        CEditingTree* on;
        DWORD style;
        CTreeListItem* selected;
        CTreeListItem* over;
        bool refuse;
        int result;
    };
    const Case cases[] = {
        {"onto itself", &source, kWithin, sub, sub, false, TLD_NOCHANGE},
        {"into its subtree", &source, kWithin, sub, subChild, false, TLD_NOCHANGE},
        {"onto another item", &source, kWithin, sub, distant, false, TLD_ONITEM},
        {"refused by the parent", &source, kWithin, sub, other, true, TLD_NONE},
        {"empty area, nested item", &source, kWithin, sub, nullptr, false, TLD_TOROOT},
        {"empty area, top-level item", &source, kWithin, distant, nullptr, false, TLD_NOCHANGE},
        {"within, no root drops", &source, TLC_DROP | TLC_DROPTHIS, sub, nullptr, false, TLD_NOCHANGE},
        {"within not allowed", &source, TLC_DROP, sub, distant, false, TLD_NOCHANGE},
        {"other control, item", &target, TLC_DROP, sub, there, false, TLD_ONITEM},
        {"other control, refused", &target, TLC_DROP, sub, there, true, TLD_NONE},
        {"other control, empty", &target, TLC_DROP, sub, nullptr, false, TLD_NONE},
        {"other control, root", &target, TLC_DROP | TLC_DROPROOT, sub, nullptr, false, TLD_TOROOT},
        {"no drop target", &target, 0, sub, there, false, TLD_NONE},
    };
    for (const Case& c : cases)
    {
        source.SelectItem(c.selected, 0, false, false);
        c.on->SetStyle(c.style);
        bool refuse = c.refuse;
        c.on->answer = [refuse](int code) { return code == TLN_DRAGOVER && refuse ? -1 : 0; };
        c.on->dragNotices.clear();
        EXPECT_EQ(c.on->QueryDrop(&source, c.over), c.result) << c.name;
        // only an item asks the parent
        bool asked = !c.on->dragNotices.empty();
        EXPECT_EQ(asked, c.result == TLD_ONITEM || (c.refuse && c.result == TLD_NONE)) << c.name;
    }
    // a second selected item at the dragged item's depth guards its subtree
    source.SetStyle(kWithin | TLC_MULTIPLESELECT);
    source.SelectItem(sub, 0, false, false);
    source.SelectItem(other, 0, true, false);
    ASSERT_TRUE(sub->IsSelected());
    ASSERT_TRUE(other->IsSelected());
    EXPECT_EQ(source.QueryDrop(&source, subChild), TLD_NOCHANGE);
}

TEST(TreeListDrag, HoverScrolling)
{
    // rows 20 high; an area of 100 shows rows top..top+4, of 110 a sixth in part
    struct Case
    {
        int row, top, height, direction;
    };
    const Case cases[] = {
        {0, 0, 100, 0},  {5, 5, 100, -1}, {9, 5, 100, 1},  {8, 5, 100, 0},
        {10, 5, 110, 1}, {9, 5, 110, 0},  {-1, 5, 100, 0}, {3, 0, 100, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CTreeListCore::HoverScrollDirection(c.row, c.top, c.height, 20), c.direction)
            << c.row << " " << c.top << " " << c.height;
}

TEST(TreeListDrag, ColumnDropPositions)
{
    CEditingTree tree;
    for (int width : {100, 40, 60}) // columns 0, 1, 2
        tree.InsertColumn("c", TLF_DEFAULT, width);
    // boundaries at 0, 100, 140, 200
    struct Case
    {
        int x;
        bool found;
        int after;
    };
    const Case cases[] = {
        {-40, true, -1}, {10, true, -1}, {49, true, -1}, {51, true, 0},  {99, true, 0},
        {116, true, 0},  {125, true, 1}, {139, true, 1}, {171, true, 2}, {500, true, 2},
    };
    for (const Case& c : cases)
    {
        int after = -9;
        EXPECT_EQ(tree.GetColumnDropPosition(c.x, after), c.found) << c.x;
        EXPECT_EQ(after, c.after) << c.x;
    }
    struct Move
    {
        int column, after;
        std::vector<int> order;
    };
    const Move moves[] = {
        {0, 2, {1, 2, 0}}, // past the end: last
        {0, 0, {1, 2, 0}}, // onto its own place
        {2, 1, {1, 2, 0}}, // after the column before it: unchanged
        {0, -1, {0, 1, 2}}, {1, 2, {0, 2, 1}},
    };
    for (const Move& m : moves)
    {
        tree.MoveColumn(m.column, m.after);
        EXPECT_EQ(tree.GetDisplayOrder(), m.order) << m.column << " after " << m.after;
    }
}

} // namespace

namespace
{

TEST(TreeListDrag, DragImageFadesFromTheCentre)
{
    const int n = 320;
    std::vector<uint32_t> pixels(n * n, 0xFFFFFFFFu);
    pixels[160 * n + 160] = 0x00FF8040; // the centre: opacity 160
    pixels[160 * n + 240] = 0x00FF8040; // 80 pixels out: 80
    pixels[0] = 0x00FF8040;             // beyond the circle: nothing
    pixels[1] = 0x00000000;             // painted black stays painted
    FadeDragImage(pixels.data(), n);
    EXPECT_EQ(pixels[160 * n + 160],
              (160u << 24) | ((255u * 160 / 255) << 16) | ((0x80u * 160 / 255) << 8) | (0x40u * 160 / 255));
    EXPECT_EQ(pixels[160 * n + 240] >> 24, 80u);
    EXPECT_EQ(pixels[160 * n + 240] & 0xFF, 0x40u * 80 / 255);
    EXPECT_EQ(pixels[0], 0u);
    EXPECT_EQ(pixels[1], 0u);
    EXPECT_EQ(pixels[5 * n + 7], 0u); // never painted: transparent
}

} // namespace
