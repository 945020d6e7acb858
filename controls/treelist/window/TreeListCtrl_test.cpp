// The tree-list window under real input: selection by mouse with Control
// and Shift, the keyboard table, the header's dividers, the tooltip, the
// scroll bars, in-place editing, dragging items between controls and
// columns along the header, and what the control paints.
#include "controls/treelist/window/TreeListCtrl.h"
#include "controls/treelist/window/TreeListRes.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

const UINT kTreeId = 77;
const UINT kOtherTreeId = 78; // the second control of the drag tests

struct Notice
{
    int code;
    CTreeListItem* item;
    int column;
    int value1;
    int value2;
    CTreeListCtrl* source; // the drag notices' source control
    UINT id;
};

bool IsDragNotice(int code)
{
    return code == TLN_BEGINDRAG || (code <= TLN_DRAGENTER && code >= TLN_DROP);
}

std::vector<Notice> g_notices;
std::function<LRESULT(int code)> g_answer;

// The control's parent: records every notice and answers as told.
LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY)
    {
        const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        if (pHeader->idFrom == kTreeId || pHeader->idFrom == kOtherTreeId)
        {
            int code = static_cast<int>(pHeader->code);
            UINT id = static_cast<UINT>(pHeader->idFrom);
            if (IsDragNotice(code))
            {
                const NMTREELISTDRAG* pRecord = reinterpret_cast<const NMTREELISTDRAG*>(lParam);
                g_notices.push_back({code, pRecord->pItem, 0, 0, 0, pRecord->pSource, id});
            }
            else
            {
                const NMTREELIST* pRecord = reinterpret_cast<const NMTREELIST*>(lParam);
                g_notices.push_back(
                    {code, pRecord->pItem, pRecord->nCol, pRecord->nValue1, pRecord->nValue2, nullptr, id});
            }
            return g_answer ? g_answer(code) : 0;
        }
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

// Lays a popup's picture over a capture of a window where the screen shows
// it (each top-level window paints a surface of its own), inside the
// popup's window region when it has one.
void PastePopup(kxgui::PixelBuffer& shot, HWND hBase, HWND hPopup)
{
    if (!hPopup || !::IsWindowVisible(hPopup))
        return;
    POINT origin = {0, 0};
    ::ClientToScreen(hBase, &origin);
    RECT rcPopup;
    ::GetWindowRect(hPopup, &rcPopup);
    kxgui::PixelBuffer popup = kxgui::CaptureScreen(hPopup, false);
    HRGN hRegion = ::CreateRectRgn(0, 0, 0, 0);
    bool bRegion = ::GetWindowRgn(hPopup, hRegion) != ERROR;
    for (int y = 0; y < popup.height; ++y)
    {
        for (int x = 0; x < popup.width; ++x)
        {
            int tx = rcPopup.left + x - origin.x;
            int ty = rcPopup.top + y - origin.y;
            if (tx < 0 || ty < 0 || tx >= shot.width || ty >= shot.height || (bRegion && !::PtInRegion(hRegion, x, y)))
                continue;
            shot.pixels[static_cast<size_t>(ty) * shot.width + tx] =
                popup.pixels[static_cast<size_t>(y) * popup.width + x];
        }
    }
    ::DeleteObject(hRegion);
}

class TreeListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_notices.clear();
        g_answer = nullptr;
        m_host = kxgui::CreateTestWindow(420, 320, "tree list", HostProc);
        ASSERT_NE(m_host, nullptr);
        m_app.m_pMainWnd = nullptr;
    }
    void TearDown() override
    {
        if (m_tree.m_hWnd)
            m_tree.DestroyWindow();
        if (m_other.m_hWnd)
            m_other.DestroyWindow();
        ::DestroyWindow(m_host);
        kxgui::PumpUntilIdle();
        g_answer = nullptr;
    }

    // The control over the host's client area with the given styles and
    // columns of the given widths.
    void Make(DWORD dwStyle, DWORD dwExStyle, std::vector<int> widths, CRect rect = CRect(0, 0, 400, 300))
    {
        ASSERT_TRUE(m_tree.Create(WS_VISIBLE | WS_BORDER, rect, CWnd::FromHandle(m_host), kTreeId));
        m_tree.SetStyle(dwStyle);
        m_tree.SetExtendedStyle(dwExStyle);
        const char* names[] = {"Name", "Size", "State", "Kind"};
        for (size_t i = 0; i < widths.size(); ++i)
            m_tree.InsertColumn(names[i % 4], TLF_DEFAULT, widths[i]);
        Pump();
    }
    std::vector<CTreeListItem*> AddRows(int count, CTreeListItem* pParent = TLI_ROOT)
    {
        std::vector<CTreeListItem*> items;
        for (int i = 0; i < count; ++i)
        {
            CString text;
            text.Format("Row %d", i);
            items.push_back(m_tree.InsertItem(text, TLIS_CHILDRENKNOWN, pParent));
        }
        Pump();
        return items;
    }
    // The program's loop, so that the control pre-translates its keys.
    void Pump()
    {
        kxgui::PumpUntilIdle([this](MSG& msg) { return m_app.PreTranslateMessage(&msg) != FALSE; });
    }
    // A point in a row on screen (0 = the top row shown), x from the left.
    CPoint RowPoint(int screenRow, int x = 120) const
    {
        return CPoint(x, m_tree.GetItemAreaRect().top + screenRow * m_tree.GetRowHeight() + m_tree.GetRowHeight() / 2);
    }
    void Click(CPoint point, bool ctrl = false, bool shift = false, bool right = false)
    {
        kxgui::InputScript input;
        if (ctrl)
            input.KeyDown(VK_CONTROL);
        if (shift)
            input.KeyDown(VK_SHIFT);
        input.Click(m_tree.m_hWnd, point, right);
        if (shift)
            input.KeyUp(VK_SHIFT);
        if (ctrl)
            input.KeyUp(VK_CONTROL);
        input.Send();
        Pump();
    }
    void Key(WORD vk)
    {
        kxgui::InputScript().Key(vk).Send();
        Pump();
    }
    void MoveTo(HWND hWnd, CPoint point)
    {
        kxgui::InputScript().MoveTo(hWnd, point).Send();
        Pump();
    }
    std::string Selected(const std::vector<CTreeListItem*>& items) const
    {
        std::string s;
        for (CTreeListItem* p : items)
            s += p->IsSelected() ? '1' : '0';
        return s;
    }
    std::vector<int> Codes() const
    {
        std::vector<int> codes;
        for (const Notice& n : g_notices)
            codes.push_back(n.code);
        return codes;
    }
    int TextWidth(LPCTSTR text, CFont* pFont)
    {
        CClientDC dc(&m_tree);
        CFont* pOld = dc.SelectObject(pFont);
        CRect rc(0, 0, 0, 0);
        dc.DrawText(text, -1, &rc, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
        dc.SelectObject(pOld);
        return rc.Width();
    }
    // The control as the screen shows it, in its client coordinates.
    kxgui::PixelBuffer Screen()
    {
        m_tree.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
        return kxgui::CaptureScreen(m_tree.m_hWnd);
    }

    // Pumps until the condition holds (timers included); false when it
    // did not within a few seconds.
    bool PumpUntil(const std::function<bool()>& done)
    {
        DWORD start = ::GetTickCount();
        for (;;)
        {
            Pump();
            if (done())
                return true;
            if (::GetTickCount() - start > 5000)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    std::vector<int> CodesFrom(UINT id) const
    {
        std::vector<int> codes;
        for (const Notice& n : g_notices)
        {
            if (n.id == id)
                codes.push_back(n.code);
        }
        return codes;
    }
    bool HasCode(int code) const
    {
        for (const Notice& n : g_notices)
        {
            if (n.code == code)
                return true;
        }
        return false;
    }
    CString EditorText()
    {
        CString text;
        if (m_tree.GetEditorWnd())
            m_tree.GetEditorWnd()->GetWindowText(text);
        return text;
    }
    bool EditorShown() const
    {
        CWnd* pEditor = m_tree.GetEditorWnd();
        return pEditor && pEditor->IsWindowVisible();
    }

    CWinApp m_app;
    HWND m_host = nullptr;
    CTreeListCtrl m_tree;
    CTreeListCtrl m_other;
};

TEST_F(TreeListTest, MouseSelectionWithControlAndShift)
{
    Make(TLC_MULTIPLESELECT | TLC_HEADER, 0, {200, 100});
    std::vector<CTreeListItem*> items = AddRows(6);
    struct Step
    {
        int row;
        bool ctrl, shift;
        const char* selected;
    };
    const Step steps[] = {
        {1, false, false, "010000"}, // a plain click selects only the item
        {3, true, false, "010100"},  // Control toggles one
        {5, false, true, "000111"},  // Shift: the range from the anchor
        {0, true, true, "111111"},   // Control+Shift adds the range
        {4, true, false, "111101"},  // Control takes one away
    };
    for (const Step& s : steps)
    {
        Click(RowPoint(s.row), s.ctrl, s.shift);
        EXPECT_EQ(Selected(items), s.selected) << "row " << s.row;
    }
    // the item taken away leaves the next selected one primary and caret
    EXPECT_EQ(m_tree.GetCaretItem(), items[5]);

    // a veto of -401 changes nothing
    g_answer = [](int code) { return code == TLN_SELCHANGING ? -1 : 0; };
    Click(RowPoint(2));
    EXPECT_EQ(Selected(items), "111101");
    g_answer = nullptr;

    // a right click on a selected item keeps the selection and reports 517
    g_notices.clear();
    Click(RowPoint(1), false, false, true);
    EXPECT_EQ(Selected(items), "111101");
    ASSERT_FALSE(g_notices.empty());
    EXPECT_EQ(g_notices.back().code, TLN_RBUTTONUP);
    EXPECT_EQ(g_notices.back().item, items[1]);
    CPoint screen = RowPoint(1);
    m_tree.ClientToScreen(&screen);
    EXPECT_EQ(g_notices.back().value1, screen.x);
    EXPECT_EQ(g_notices.back().value2, screen.y);

    // a click below the rows: -401 with no item, the selection stays
    g_notices.clear();
    Click(RowPoint(8));
    ASSERT_FALSE(g_notices.empty());
    EXPECT_EQ(g_notices[0].code, TLN_SELCHANGING);
    EXPECT_EQ(g_notices[0].item, nullptr);
    EXPECT_EQ(Selected(items), "111101");
}

TEST_F(TreeListTest, WithoutMultipleSelectionEveryClickSelectsOneItem)
{
    Make(TLC_HEADER, 0, {200});
    std::vector<CTreeListItem*> items = AddRows(4);
    Click(RowPoint(0));
    Click(RowPoint(2), true, false);
    EXPECT_EQ(Selected(items), "0010");
    Click(RowPoint(0), false, true);
    EXPECT_EQ(Selected(items), "1000");
    Click(RowPoint(3), true, true);
    EXPECT_EQ(Selected(items), "0001");
    EXPECT_EQ(m_tree.GetCaretItem(), items[3]);
}

TEST_F(TreeListTest, KeyboardTable)
{
    Make(TLC_TREELIST | TLC_BUTTON | TLC_HEADER, 0, {200}, CRect(0, 0, 400, 200));
    std::vector<CTreeListItem*> items = AddRows(30);
    CTreeListItem* parent = m_tree.InsertItem("parent", TLIS_CHILDRENKNOWN, TLI_ROOT, items[0]);
    CTreeListItem* child = m_tree.InsertItem("child", TLIS_CHILDRENKNOWN, parent);
    Pump();
    int f = m_tree.GetItemAreaRect().Height() / m_tree.GetRowHeight() - 1;
    ASSERT_GT(f, 2);
    m_tree.SetFocus();
    Pump();

    Key(VK_DOWN); // no caret: the first row
    EXPECT_EQ(m_tree.GetCaretItem(), items[0]);
    Key(VK_NEXT); // the bottom row of the page
    EXPECT_EQ(m_tree.GetItemRow(m_tree.GetCaretItem()), f);
    Key(VK_NEXT); // already at the bottom: a page further
    EXPECT_EQ(m_tree.GetItemRow(m_tree.GetCaretItem()), 2 * f + 1);
    EXPECT_EQ(m_tree.GetScrollPos(SB_VERT), f + 1);
    Key(VK_PRIOR); // the top row of the page
    EXPECT_EQ(m_tree.GetItemRow(m_tree.GetCaretItem()), f + 1);
    Key(VK_PRIOR); // at the top: a page up
    EXPECT_EQ(m_tree.GetItemRow(m_tree.GetCaretItem()), 0);
    Key(VK_END);
    EXPECT_EQ(m_tree.GetCaretItem(), items[29]);
    Key(VK_NEXT); // Page Down on the last row keeps the selection
    EXPECT_EQ(m_tree.GetCaretItem(), items[29]);
    EXPECT_TRUE(items[29]->IsSelected());
    Key(VK_UP);
    EXPECT_EQ(m_tree.GetCaretItem(), items[28]);
    Key(VK_HOME);
    EXPECT_EQ(m_tree.GetCaretItem(), items[0]);

    Key(VK_DOWN);
    ASSERT_EQ(m_tree.GetCaretItem(), parent);
    Key(VK_RIGHT); // collapsed: expand
    EXPECT_TRUE(parent->IsExpanded());
    EXPECT_EQ(m_tree.GetCaretItem(), parent);
    Key(VK_RIGHT); // expanded: the first child
    EXPECT_EQ(m_tree.GetCaretItem(), child);
    Key(VK_RIGHT); // no children: nothing
    EXPECT_EQ(m_tree.GetCaretItem(), child);
    Key(VK_LEFT); // the parent
    EXPECT_EQ(m_tree.GetCaretItem(), parent);
    Key(VK_LEFT); // expanded: collapse
    EXPECT_FALSE(parent->IsExpanded());
    Key(VK_ADD);
    EXPECT_TRUE(parent->IsExpanded());
    Key(VK_SUBTRACT);
    EXPECT_FALSE(parent->IsExpanded());

    // Left on a collapsed top-level item: -401 with no item, caret kept
    g_notices.clear();
    Key(VK_LEFT);
    ASSERT_FALSE(g_notices.empty());
    EXPECT_EQ(g_notices[0].code, TLN_SELCHANGING);
    EXPECT_EQ(g_notices[0].item, nullptr);
    EXPECT_EQ(m_tree.GetCaretItem(), parent);
    EXPECT_TRUE(parent->IsSelected());
}

TEST_F(TreeListTest, ButtonsAndIconsActWithoutSelecting)
{
    Make(TLC_TREELIST | TLC_BUTTON | TLC_TREELINE | TLC_CHECKBOX | TLC_LOCKBOX | TLC_HEADER, 0, {200});
    CTreeListItem* parent = m_tree.InsertItem("parent", TLIS_CHILDRENKNOWN);
    CTreeListItem* child = m_tree.InsertItem("child", TLIS_CHILDRENKNOWN, parent);
    Pump();
    // the button slot, then the check (16) and lock (8) icons
    const int xButton = 2 + 8 - 1, xCheck = 2 + 16 + 8, xLock = 2 + 16 + 16 + 4;
    Click(RowPoint(0, xButton));
    EXPECT_TRUE(parent->IsExpanded());
    EXPECT_FALSE(parent->IsSelected());
    EXPECT_EQ(m_tree.GetRowCount(), 2);
    EXPECT_EQ(Codes(), (std::vector<int>{TLN_ITEMEXPANDING, TLN_ITEMEXPANDED}));

    g_notices.clear();
    Click(RowPoint(0, xCheck));
    EXPECT_EQ(parent->GetCheck(), 1);
    EXPECT_EQ(child->GetCheck(), 1);
    EXPECT_EQ(Codes(), (std::vector<int>{TLN_CHECKCHANGING}));
    Click(RowPoint(1, xLock + 16));
    EXPECT_EQ(child->GetLock(), 1);
    EXPECT_EQ(parent->GetLock(), 1);
    EXPECT_FALSE(child->IsSelected());
    // a veto keeps the check
    g_answer = [](int code) { return code == TLN_CHECKCHANGING ? -1 : 0; };
    Click(RowPoint(1, xCheck + 16));
    EXPECT_EQ(child->GetCheck(), 1);
}

TEST_F(TreeListTest, WithoutFullNoticesNothingCanVeto)
{
    Make(TLC_HEADER, TLC_EX_NOFULLNOTIFY, {200});
    std::vector<CTreeListItem*> items = AddRows(3);
    g_answer = [](int) { return -1; };
    Click(RowPoint(1));
    Click(RowPoint(2), false, false, true);
    EXPECT_TRUE(g_notices.empty());
    EXPECT_EQ(Selected(items), "001");
}

TEST_F(TreeListTest, ColumnWidthFromTheHeaderTextAndRowHeightFromTheFont)
{
    Make(TLC_HEADER, 0, {0});
    m_tree.SetColumnWidth(0, -2, 0, 0);
    CClientDC dc(&m_tree);
    CFont* pOld = dc.SelectObject(m_tree.GetHeaderCtrl().GetHeaderFont());
    int extent = dc.GetTextExtent("Name", 4).cx;
    dc.SelectObject(pOld);
    EXPECT_EQ(m_tree.GetColumnWidth(0), extent + 10);

    struct Case
    {
        int height, expected;
    };
    for (const Case& c : {Case{-12, 18}, Case{0, 20}})
    {
        CFont font;
        ASSERT_TRUE(font.CreateFont(c.height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
        m_tree.SetFont(&font);
        EXPECT_EQ(m_tree.GetRowHeight(), c.expected);
    }
}

TEST_F(TreeListTest, HeaderDividers)
{
    Make(TLC_HEADER, 0, {});
    m_tree.InsertColumn("Name", TLF_DEFAULT, 100, -1, 60, 0);
    m_tree.InsertColumn("Hidden", TLF_DEFAULT, 0);
    m_tree.InsertColumn("Fixed", TLF_DEFAULT | TLF_FIXED, 80);
    m_tree.InsertColumn("Last", TLF_DEFAULT, 50);
    AddRows(3);
    CTreeListHeaderCtrl& header = m_tree.GetHeaderCtrl();
    int y = header.GetHeight() / 2;
    ASSERT_GT(y, 0);

    // dragging below the minimum stops there and reports -430
    kxgui::InputScript()
        .MoveTo(header.m_hWnd, CPoint(99, y))
        .ButtonDown()
        .MoveTo(header.m_hWnd, CPoint(20, y))
        .ButtonUp()
        .Send();
    Pump();
    EXPECT_EQ(m_tree.GetColumnWidth(0), 60);
    ASSERT_FALSE(g_notices.empty());
    EXPECT_EQ(g_notices.back().code, TLN_COLUMNRESIZED);
    EXPECT_EQ(g_notices.back().column, 0);
    EXPECT_EQ(g_notices.back().item, nullptr);
    EXPECT_EQ(g_notices.back().value1, 20);

    // the zero-width column is grabbed right of the shared edge and widened
    MoveTo(header.m_hWnd, CPoint(61, y));
    EXPECT_EQ(::GetCursor(), header.GetDividerCursor(2));
    kxgui::InputScript().ButtonDown().MoveTo(header.m_hWnd, CPoint(91, y)).ButtonUp().Send();
    Pump();
    EXPECT_EQ(m_tree.GetColumnWidth(1), 30);
    EXPECT_EQ(m_tree.GetColumnWidth(0), 60);

    // the fixed column's edge is no divider; the next one is
    MoveTo(header.m_hWnd, CPoint(90 + 80, y));
    EXPECT_NE(::GetCursor(), header.GetDividerCursor(1));
    EXPECT_NE(::GetCursor(), header.GetDividerCursor(2));
    MoveTo(header.m_hWnd, CPoint(90 + 80 + 50 - 1, y));
    EXPECT_EQ(::GetCursor(), header.GetDividerCursor(1));
}

TEST_F(TreeListTest, TooltipShowsTextsThatDoNotFit)
{
    Make(TLC_HEADER, 0, {120, 100, 100});
    std::vector<CTreeListItem*> items = AddRows(3);
    const char* text = "A longer cell text";
    for (CTreeListItem* p : items)
    {
        p->SetText(text, 1);
        p->SetText(text, 2);
    }
    m_tree.GetColumn(2)->m_dwFormat = (TLF_DEFAULT & ~TLF_TEXT_LEFT) | TLF_TEXT_RIGHT;
    int w = TextWidth(text, m_tree.GetFont());
    CTreeListTipCtrl& tip = m_tree.GetTipCtrl();

    // w + 5 fits the cell: no tooltip; one pixel less shows it
    m_tree.SetColumnWidth(1, w + 5);
    Pump();
    MoveTo(m_tree.m_hWnd, RowPoint(0, 120 + 10));
    EXPECT_FALSE(tip.IsWindowVisible());
    m_tree.SetColumnWidth(1, w + 4);
    m_tree.SetColumnWidth(2, w + 4);
    Pump();
    MoveTo(m_tree.m_hWnd, RowPoint(0, 120 + 12));
    ASSERT_TRUE(tip.IsWindowVisible());
    EXPECT_STREQ(tip.GetText(), text);
    CRect cell;
    ASSERT_TRUE(m_tree.GetCellRect(items[0], 1, &cell));
    EXPECT_EQ(tip.GetCellRect(), cell);
    m_tree.ClientToScreen(&cell);
    EXPECT_EQ(tip.GetTipRect().left, cell.left - 1);
    EXPECT_EQ(tip.GetTipRect().right, cell.left - 1 + w + 5 + 1);
    CRect shown;
    tip.GetWindowRect(&shown);
    EXPECT_EQ(shown, tip.GetTipRect());

    // moving within the cell does not start it again
    items[0]->SetText("changed", 1);
    MoveTo(m_tree.m_hWnd, RowPoint(0, 120 + 20));
    EXPECT_STREQ(tip.GetText(), text);
    EXPECT_TRUE(tip.IsWindowVisible());

    // a right-aligned column's tooltip grows to the left
    MoveTo(m_tree.m_hWnd, RowPoint(1, 120 + w + 4 + 10));
    ASSERT_TRUE(tip.IsWindowVisible());
    ASSERT_TRUE(m_tree.GetCellRect(items[1], 2, &cell));
    m_tree.ClientToScreen(&cell);
    EXPECT_EQ(tip.GetTipRect().right, cell.right);
    EXPECT_EQ(tip.GetTipRect().left, cell.right - 1 - w - 6);

    // a cell far too narrow, for the picture
    m_tree.SetColumnWidth(2, w / 2);
    Pump();
    MoveTo(m_tree.m_hWnd, RowPoint(2, 120 + w + 4 + 5));
    ASSERT_TRUE(tip.IsWindowVisible());
    // each top-level window keeps its own surface: the tooltip is captured on its own
    kxgui::SaveArtifact(kxgui::CaptureScreen(tip.m_hWnd, false), "treelist_tooltip.png");

    // deleting the item under the tooltip takes the tooltip away
    m_tree.DeleteItem(items[2]);
    Pump();
    EXPECT_FALSE(tip.IsWindowVisible());
}

TEST_F(TreeListTest, AnEmptyTreePaintsOnlyItsBackground)
{
    Make(TLC_HEADER | TLC_HGRID | TLC_VGRID | TLC_HGRID_EXT | TLC_VGRID_EXT | TLC_DOUBLECOLOR, 0, {120, 100});
    kxgui::PixelBuffer image = Screen();
    CRect area = m_tree.GetItemAreaRect();
    EXPECT_EQ(image.CountColor(m_tree.GetColor(1), area), area.Width() * area.Height());
    // with empty rows asked for, the stripes and grid appear
    m_tree.SetExtendedStyle(TLC_EX_EMPTYROWS);
    image = Screen();
    EXPECT_GT(image.CountColor(m_tree.GetColor(2), area), 0);
    EXPECT_GT(image.CountColor(m_tree.GetColor(18), area), 0);
}

TEST_F(TreeListTest, StripesFollowTheRowNumbersWhileScrolling)
{
    Make(TLC_HEADER | TLC_DOUBLECOLOR, 0, {150}, CRect(0, 0, 300, 200));
    AddRows(40);
    int x = 140; // right of every text
    auto rowColor = [&](const kxgui::PixelBuffer& image, int screenRow) { return image.At(x, RowPoint(screenRow).y); };
    kxgui::PixelBuffer image = Screen();
    EXPECT_EQ(rowColor(image, 0), m_tree.GetColor(3));
    EXPECT_EQ(rowColor(image, 1), m_tree.GetColor(2));
    m_tree.SendMessage(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(m_tree.GetScrollPos(SB_VERT), 1);
    image = Screen();
    EXPECT_EQ(rowColor(image, 0), m_tree.GetColor(2));
    EXPECT_EQ(rowColor(image, 1), m_tree.GetColor(3));
    // the wheel scrolls a page
    m_tree.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    Pump();
    EXPECT_EQ(m_tree.GetScrollPos(SB_VERT), 1 + m_tree.GetItemAreaRect().Height() / m_tree.GetRowHeight());
}

TEST_F(TreeListTest, WideColumnsBringTheScrollBars)
{
    Make(TLC_HEADER, 0, {150}, CRect(0, 0, 300, 200));
    CRect window;
    m_tree.GetWindowRect(&window);
    // rows that fit only while there is no horizontal bar
    int avail = window.Height() - 2 - m_tree.GetHeaderCtrl().GetHeight();
    int rows = (avail - ::GetSystemMetrics(SM_CYHSCROLL)) / m_tree.GetRowHeight() + 1;
    ASSERT_LE(rows * m_tree.GetRowHeight(), avail);
    AddRows(rows);
    EXPECT_FALSE(m_tree.CWnd::GetStyle() & WS_HSCROLL);
    EXPECT_FALSE(m_tree.CWnd::GetStyle() & WS_VSCROLL);
    m_tree.SetColumnWidth(0, 500);
    Pump();
    EXPECT_TRUE(m_tree.CWnd::GetStyle() & WS_HSCROLL);
    EXPECT_TRUE(m_tree.CWnd::GetStyle() & WS_VSCROLL);
    m_tree.SetExtendedStyle(TLC_EX_NOSCROLL);
    Pump();
    EXPECT_FALSE(m_tree.CWnd::GetStyle() & WS_HSCROLL);
    EXPECT_FALSE(m_tree.CWnd::GetStyle() & WS_VSCROLL);
}

TEST_F(TreeListTest, TheLastColumnFillsTheWindowWithinItsLimits)
{
    // set after the columns: every column is the last one while it is inserted
    Make(TLC_HEADER, 0, {}, CRect(0, 0, 300, 200));
    m_tree.InsertColumn("Name", TLF_DEFAULT, 100);
    m_tree.InsertColumn("Rest", TLF_DEFAULT, 30, -1, 50, 250);
    m_tree.SetExtendedStyle(TLC_EX_FILLLAST);
    Pump();
    CRect client;
    m_tree.GetClientRect(&client);
    EXPECT_EQ(m_tree.GetColumnWidth(1), client.Width() - 100);
    m_tree.SetWindowPos(nullptr, 0, 0, 500, 200, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(m_tree.GetColumnWidth(1), 250);
    m_tree.SetWindowPos(nullptr, 0, 0, 120, 200, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(m_tree.GetColumnWidth(1), 50);
}

TEST_F(TreeListTest, ScreenshotsOfAFullTree)
{
    Make(TLC_TREELIST | TLC_TREELINE | TLC_ROOTLINE | TLC_BUTTON | TLC_CHECKBOX | TLC_LOCKBOX | TLC_IMAGE | TLC_HEADER |
             TLC_HGRID | TLC_VGRID | TLC_SHOWSELFULLROWS | TLC_SHOWSELALWAYS | TLC_DOUBLECOLOR,
         0, {});
    m_tree.InsertColumn("Domain", 0x504144 | TLF_SORTABLE | TLF_SORT_ASC, 190, 0);
    m_tree.InsertColumn("Size", 0x104246 | TLF_SORTABLE, 80);
    m_tree.InsertColumn("States", 0x504144, 110, 1);
    CTreeListItem* disc = m_tree.InsertItem("Disc", TLIS_EXPANDED | TLIS_SHOWIMAGE);
    disc->SetText("4.2 GB", 1);
    CTreeListItem* vmg = m_tree.InsertItem("Video manager", TLIS_EXPANDED | TLIS_SHOWIMAGE, disc);
    m_tree.InsertItem("First play", TLIS_CHILDRENKNOWN | TLIS_SHOWIMAGE, vmg)->SetText("12 KB", 1);
    m_tree.InsertItem("Menus", TLIS_SHOWIMAGE, vmg)->SetText("not read", 2);
    CTreeListItem* vts = m_tree.InsertItem("Title set 1", TLIS_SHOWIMAGE, disc);
    m_tree.InsertItem("Title 1", TLIS_CHILDRENKNOWN | TLIS_SHOWIMAGE, vts);
    CTreeListItem* last = m_tree.InsertItem("Title set 2", TLIS_EXPANDED | TLIS_SHOWIMAGE, disc);
    CTreeListItem* title = m_tree.InsertItem("Title 2", TLIS_CHILDRENKNOWN | TLIS_SHOWIMAGE, last);
    title->SetText("1.1 GB", 1);
    m_tree.InsertItem("Backup", TLIS_CHILDRENKNOWN | TLIS_SHOWIMAGE);
    m_tree.ToggleCheck(vmg, true);
    m_tree.ToggleLock(title, true);
    m_tree.SelectItem(vmg, 0, false, false);
    Pump();
    kxgui::PixelBuffer enabled = Screen();
    kxgui::SaveArtifact(enabled, "treelist_enabled.png");
    // the selected row is filled, its icons keep the row's own background
    EXPECT_GT(enabled.CountColor(m_tree.GetColor(11), CRect(0, RowPoint(1).y, 380, RowPoint(1).y + 1)), 100);
    // tree lines and buttons in colour 19
    EXPECT_GT(enabled.CountColor(m_tree.GetColor(19), m_tree.GetItemAreaRect()), 20);

    m_tree.EnableWindow(FALSE);
    kxgui::PixelBuffer disabled = Screen();
    kxgui::SaveArtifact(disabled, "treelist_disabled.png");
    EXPECT_GT(disabled.CountColor(m_tree.GetColor(5), m_tree.GetItemAreaRect()), 1000);
}

} // namespace

// ---- in-place editing -------------------------------------------------------

class TreeListEditTest : public TreeListTest
{
protected:
    // Columns: an edit box, a read-only field, an edit box and a drop-down
    // list with the choices "a||b".
    void MakeEditable(DWORD dwStyle = TLC_HEADER | TLC_HGRID | TLC_VGRID)
    {
        Make(dwStyle, 0, {120, 80, 80, 80});
        const int kinds[] = {1, 0, 1, 2};
        for (int c = 0; c < 4; ++c)
            m_tree.GetColumn(c)->m_nEditor = kinds[c];
        m_tree.GetColumn(3)->m_strChoices = "a||b";
        m_items = AddRows(4);
        for (CTreeListItem* item : m_items)
        {
            item->SetText("ro", 1);
            item->SetText("10", 2);
            item->SetText("c", 3);
        }
        m_tree.SetFocus();
        Pump();
    }
    std::vector<CTreeListItem*> m_items;
};

TEST_F(TreeListEditTest, EnterEscapeAndVetoes)
{
    MakeEditable();
    CTreeListItem* item = m_items[1];
    struct Case
    {
        const char* name;
        const char* typed; // null: nothing typed
        WORD key;
        int veto; // a code answered -1, 0 for none
        std::vector<int> codes;
        const char* text;
        bool stillEditing;
    };
    const Case cases[] = {
        {"enter unchanged", nullptr, VK_RETURN, 0, {TLN_EDITORHIDDEN, TLN_ENDEDIT}, "10", false},
        {"enter changed",
         "12",
         VK_RETURN,
         0,
         {TLN_EDITORHIDDEN, TLN_TEXTCHANGING, TLN_ITEMCHANGING, TLN_ENDEDIT},
         "12",
         false},
        {"escape after typing", "99", VK_ESCAPE, 0, {TLN_EDITORHIDDEN, TLN_ENDEDIT}, "12", false},
        {"-420 refused", "77", VK_RETURN, TLN_TEXTCHANGING, {TLN_EDITORHIDDEN, TLN_TEXTCHANGING}, "77", true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        g_notices.clear();
        ASSERT_TRUE(m_tree.BeginEdit(item, 2));
        Pump();
        ASSERT_EQ(Codes(), std::vector<int>{TLN_BEGINEDIT});
        ASSERT_TRUE(EditorShown());
        EXPECT_EQ(::GetFocus(), m_tree.GetEditorWnd()->m_hWnd);
        CRect rcCell, rcEditor;
        m_tree.GetCellRect(item, 2, &rcCell, TRUE);
        m_tree.GetEditorWnd()->GetWindowRect(&rcEditor);
        m_tree.ScreenToClient(&rcEditor);
        // over the grid lines at the top and left
        EXPECT_EQ(rcEditor, CRect(rcCell.left - 1, rcCell.top - 1, rcCell.right, rcCell.bottom));
        if (c.typed)
            kxgui::TypeText(c.typed);
        g_notices.clear();
        int veto = c.veto;
        g_answer = [veto](int code) { return code == veto ? -1 : 0; };
        Key(c.key);
        g_answer = nullptr;
        EXPECT_EQ(Codes(), c.codes);
        EXPECT_STREQ(item->GetText(2), c.text);
        EXPECT_EQ(m_tree.IsEditing(), c.stillEditing);
        if (c.stillEditing)
        {
            EXPECT_TRUE(EditorShown());
            EXPECT_EQ(EditorText(), CString(c.typed));
            Key(VK_RETURN);
            EXPECT_FALSE(m_tree.IsEditing());
            item->SetText("12", 2);
        }
        else
        {
            EXPECT_EQ(g_notices.back().value1, c.typed && c.key == VK_RETURN ? 0 : 1);
            EXPECT_FALSE(EditorShown());
            // the keys go to the rows again
            EXPECT_EQ(::GetFocus(), m_tree.m_hWnd);
        }
    }
}

TEST_F(TreeListEditTest, TabMovesToTheNextEditableColumn)
{
    MakeEditable();
    CTreeListItem* item = m_items[0];
    m_tree.GetColumn(3)->m_nEditor = 0; // only read-only fields after column 2
    ASSERT_TRUE(m_tree.BeginEdit(item, 0));
    Pump();
    kxgui::TypeText("renamed");
    g_notices.clear();
    Key(VK_TAB); // skips the read-only column 1
    EXPECT_EQ(m_tree.GetEditColumn(), 2);
    EXPECT_EQ(Codes(), (std::vector<int>{TLN_EDITORHIDDEN, TLN_TEXTCHANGING, TLN_BEGINEDIT}));
    EXPECT_STREQ(item->GetText(0), "renamed");
    EXPECT_EQ(EditorText(), CString("10"));
    g_notices.clear();
    Key(VK_TAB); // nothing editable after it
    EXPECT_EQ(m_tree.GetEditColumn(), 2);
    EXPECT_TRUE(g_notices.empty());
    EXPECT_TRUE(EditorShown());
    kxgui::InputScript().KeyDown(VK_SHIFT).Key(VK_TAB).KeyUp(VK_SHIFT).Send();
    Pump();
    EXPECT_EQ(m_tree.GetEditColumn(), 0);
    // Escape undoes the whole edit, the first column included
    Key(VK_ESCAPE);
    EXPECT_STREQ(item->GetText(0), "Row 0");
}

TEST_F(TreeListEditTest, DropDownListOffersTheChoices)
{
    MakeEditable();
    struct Case
    {
        const char* cell;
        std::vector<std::string> entries;
        int selected;
    };
    const Case cases[] = {
        {"c", {"a", "", "b", "c"}, 3}, // not a choice: added and selected
        {"b", {"a", "", "b"}, 2},
        {"", {"a", "", "b"}, 1},
    };
    CComboBox& combo = m_tree.GetComboEditor();
    for (const Case& c : cases)
    {
        m_items[2]->SetText(c.cell, 3);
        ASSERT_TRUE(m_tree.BeginEdit(m_items[2], 3));
        Pump();
        ASSERT_EQ(m_tree.GetEditorWnd(), &combo);
        EXPECT_TRUE(EditorShown());
        std::vector<std::string> entries;
        for (int i = 0; i < combo.GetCount(); ++i)
        {
            CString entry;
            combo.GetLBText(i, entry);
            entries.push_back(static_cast<LPCTSTR>(entry));
        }
        EXPECT_EQ(entries, c.entries) << c.cell;
        EXPECT_EQ(combo.GetCurSel(), c.selected) << c.cell;
        g_notices.clear();
        Key(VK_RETURN); // the entry chosen is the text kept: nothing changed
        EXPECT_STREQ(m_items[2]->GetText(3), c.cell);
        EXPECT_EQ(g_notices.back().value1, 1);
    }
    // choosing another entry changes the cell
    ASSERT_TRUE(m_tree.BeginEdit(m_items[2], 3));
    Pump();
    combo.SetCurSel(0);
    Key(VK_RETURN);
    EXPECT_STREQ(m_items[2]->GetText(3), "a");
}

TEST_F(TreeListEditTest, ReadOnlyFieldShowsTheTextAndIgnoresArrows)
{
    MakeEditable();
    m_tree.GetColumn(1)->m_dwFormat = (TLF_DEFAULT & ~TLF_TEXT_LEFT) | TLF_TEXT_RIGHT;
    m_tree.SelectItem(m_items[1], 0, false, false);
    ASSERT_TRUE(m_tree.BeginEdit(m_items[1], 1));
    Pump();
    CWnd* field = m_tree.GetEditorWnd();
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(EditorText(), CString("ro"));
    EXPECT_EQ(field->GetStyle() & SS_TYPEMASK, static_cast<DWORD>(SS_RIGHT));
    for (WORD key : {VK_DOWN, VK_UP, VK_LEFT, VK_RIGHT})
        Key(key);
    EXPECT_TRUE(m_tree.IsEditing());
    EXPECT_EQ(m_tree.GetCaretItem(), m_items[1]);
    // the button face around the text, the text at the right
    field->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    kxgui::PixelBuffer shot = kxgui::CaptureScreen(field->m_hWnd);
    CRect rc;
    field->GetClientRect(&rc);
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(shot.At(2, rc.Height() / 2), face);
    CRect left(0, 0, rc.Width() / 2, rc.Height());
    EXPECT_EQ(shot.CountColor(face, left), left.Width() * left.Height());
    EXPECT_LT(shot.CountColor(face, CRect(rc.Width() / 2, 0, rc.Width(), rc.Height())), rc.Width() / 2 * rc.Height());
    // the field carries no text into the cell
    g_notices.clear();
    Key(VK_RETURN);
    EXPECT_EQ(Codes(), (std::vector<int>{TLN_EDITORHIDDEN, TLN_ENDEDIT}));
}

TEST_F(TreeListEditTest, ReadOnlyStyleRefusesAndDeletingEndsTheEdit)
{
    MakeEditable(TLC_HEADER | TLC_READONLY);
    EXPECT_FALSE(m_tree.BeginEdit(m_items[0], 0));
    EXPECT_FALSE(EditorShown());
    m_tree.SetStyle(TLC_HEADER);

    ASSERT_TRUE(m_tree.BeginEdit(m_items[3], 0));
    Pump();
    kxgui::TypeText("typed");
    g_notices.clear();
    m_tree.DeleteItem(m_items[3]);
    Pump();
    EXPECT_FALSE(m_tree.IsEditing());
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(Codes(), std::vector<int>{TLN_SELCHANGING});
    EXPECT_EQ(m_tree.GetRowCount(), 3);
}

TEST_F(TreeListEditTest, ClicksAndTheFocusEndTheEdit)
{
    MakeEditable();
    struct Case
    {
        const char* name;
        std::function<void()> act;
        bool kept; // the typed text stays
    };
    const Case cases[] = {
        {"click on another row", [this] { Click(RowPoint(3, 60)); }, true},
        {"click below the rows", [this] { Click(RowPoint(8, 60)); }, true},
        {"click on the header", [this] { Click(CPoint(60, m_tree.GetHeaderRect().CenterPoint().y)); }, true},
        {"right click on another row", [this] { Click(RowPoint(3, 60), false, false, true); }, false},
        {"the focus leaves",
         [this]
         {
             ::SetFocus(m_host);
             Pump();
         },
         false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_items[0]->SetText("Row 0", 0);
        m_tree.SetFocus();
        ASSERT_TRUE(m_tree.BeginEdit(m_items[0], 0));
        Pump();
        kxgui::TypeText("new");
        c.act();
        EXPECT_FALSE(m_tree.IsEditing());
        EXPECT_FALSE(EditorShown());
        EXPECT_STREQ(m_items[0]->GetText(0), c.kept ? "new" : "Row 0");
    }
    // a click on another column of the edited item moves the editor there
    m_tree.SetFocus();
    ASSERT_TRUE(m_tree.BeginEdit(m_items[0], 0));
    Pump();
    Click(RowPoint(0, 120 + 80 + 40));
    EXPECT_TRUE(m_tree.IsEditing());
    EXPECT_EQ(m_tree.GetEditColumn(), 2);
    // a refused conclusion swallows the click on another row
    kxgui::TypeText("5");
    g_answer = [](int code) { return code == TLN_TEXTCHANGING ? -1 : 0; };
    Click(RowPoint(2, 60));
    g_answer = nullptr;
    EXPECT_TRUE(m_tree.IsEditing());
    EXPECT_EQ(m_tree.GetCaretItem(), m_items[0]);
    Key(VK_ESCAPE);
}

TEST_F(TreeListEditTest, ScreenshotsOfAnOpenEditAndDropDown)
{
    MakeEditable(TLC_HEADER | TLC_HGRID | TLC_VGRID | TLC_SHOWSELFULLROWS);
    m_tree.SelectItem(m_items[1], 0, false, false);
    ASSERT_TRUE(m_tree.BeginEdit(m_items[1], 0));
    Pump();
    kxgui::TypeText("Edited name");
    kxgui::PixelBuffer edit = Screen();
    kxgui::SaveArtifact(edit, "treelist_edit.png");
    // the edit box's white over the selected row
    CRect rcEditor;
    m_tree.GetEditorWnd()->GetWindowRect(&rcEditor);
    m_tree.ScreenToClient(&rcEditor);
    EXPECT_GT(edit.CountColor(RGB(255, 255, 255), rcEditor), rcEditor.Width() * rcEditor.Height() / 2);
    Key(VK_RETURN);

    ASSERT_TRUE(m_tree.BeginEdit(m_items[1], 3));
    Pump();
    m_tree.GetComboEditor().ShowDropDown(TRUE);
    Pump();
    EXPECT_TRUE(m_tree.GetComboEditor().GetDroppedState());
    // the open list is a popup of its own
    HWND hList = ::FindWindowA("ComboLBox", nullptr);
    ASSERT_TRUE(hList && ::IsWindowVisible(hList));
    ::RedrawWindow(hList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    Pump();
    kxgui::PixelBuffer shot = Screen();
    PastePopup(shot, m_tree.m_hWnd, hList);
    kxgui::SaveArtifact(shot, "treelist_dropdown.png");
    m_tree.GetComboEditor().ShowDropDown(FALSE);
    Key(VK_ESCAPE);
}

// ---- dragging ---------------------------------------------------------------

class TreeListDragTest : public TreeListTest
{
protected:
    const DWORD kSourceStyle = TLC_TREELIST | TLC_BUTTON | TLC_HEADER | TLC_MULTIPLESELECT | TLC_DRAG | TLC_DROP |
                               TLC_DROPTHIS | TLC_DROPROOT | TLC_SHOWSELFULLROWS | TLC_HGRID;
    // The source on the left, a second control on the right.
    void MakeTwo(DWORD dwOtherStyle, CRect rcOther = CRect(210, 0, 410, 300))
    {
        Make(kSourceStyle, 0, {180}, CRect(0, 0, 200, 300));
        ASSERT_TRUE(m_other.Create(WS_VISIBLE | WS_BORDER, rcOther, CWnd::FromHandle(m_host), kOtherTreeId));
        m_other.SetStyle(dwOtherStyle);
        m_other.InsertColumn("Target", TLF_DEFAULT, 180);
        m_a = m_tree.InsertItem("A", TLIS_CHILDRENKNOWN);
        m_a1 = m_tree.InsertItem("a1", TLIS_CHILDRENKNOWN, m_a);
        m_b = m_tree.InsertItem("B", TLIS_CHILDRENKNOWN);
        m_b1 = m_tree.InsertItem("b1", TLIS_CHILDRENKNOWN, m_b);
        m_c = m_tree.InsertItem("C", TLIS_CHILDRENKNOWN);
        m_tree.Expand(m_a, TLE_EXPAND);
        m_tree.Expand(m_b, TLE_EXPAND);
        Pump();
    }
    CPoint OtherRow(int screenRow, int x = 60) const
    {
        return CPoint(x,
                      m_other.GetItemAreaRect().top + screenRow * m_other.GetRowHeight() + m_other.GetRowHeight() / 2);
    }
    void MoveOver(HWND hWnd, CPoint point)
    {
        MoveTo(hWnd, point);
        Pump();
    }
    void Release()
    {
        kxgui::InputScript().ButtonUp().Send();
        Pump();
    }
    int Count(int code, UINT id) const
    {
        int n = 0;
        for (const Notice& notice : g_notices)
            n += notice.code == code && notice.id == id;
        return n;
    }
    HCURSOR Arrow() const { return ::LoadCursor(nullptr, IDC_ARROW); }
    // Selects the item and presses the button on it (one press, never the
    // second click of a double click).
    void StartDragOn(CTreeListItem* item, CPoint point)
    {
        m_tree.SelectItem(item, 0, false, false);
        kxgui::InputScript().MoveTo(m_tree.m_hWnd, point).ButtonDown().Send();
        Pump();
        ASSERT_TRUE(m_tree.IsDragging());
    }

    CTreeListItem *m_a = nullptr, *m_a1 = nullptr, *m_b = nullptr, *m_b1 = nullptr, *m_c = nullptr;
};

TEST_F(TreeListDragTest, BetweenTwoControls)
{
    MakeTwo(TLC_TREELIST | TLC_HEADER | TLC_DROP | TLC_DROPROOT);
    CTreeListItem* t0 = m_other.InsertItem("T0", TLIS_CHILDRENKNOWN);
    CTreeListItem* t1 = m_other.InsertItem("T1", TLIS_CHILDRENKNOWN);
    Pump();
    // rows of the source: A a1 B b1 C; A selected, then B added by Control
    Click(RowPoint(0));
    g_notices.clear();
    kxgui::InputScript().KeyDown(VK_CONTROL).MoveTo(m_tree.m_hWnd, RowPoint(2)).ButtonDown().KeyUp(VK_CONTROL).Send();
    Pump();
    ASSERT_TRUE(m_a->IsSelected() && m_b->IsSelected());
    ASSERT_TRUE(m_tree.IsDragging());
    EXPECT_EQ(::GetCapture(), m_tree.m_hWnd);
    EXPECT_EQ(Count(TLN_BEGINDRAG, kTreeId), 1);
    EXPECT_EQ(g_notices.back().source, &m_tree);

    // within the system's drag rectangle nothing shows
    MoveOver(m_tree.m_hWnd, CPoint(121, RowPoint(2).y + 1));
    EXPECT_EQ(m_tree.GetDragImage(), nullptr);

    struct Step
    {
        const char* name;
        int row;
        HCURSOR cursor;
        bool arrowShown;
    };
    HCURSOR drop = m_tree.GetDropCursor(true);
    const Step steps[] = {
        {"onto itself", 2, Arrow(), false},
        {"below itself", 3, Arrow(), false},
        {"below another selected item at its depth", 1, Arrow(), false},
        {"onto another item", 4, drop, true},
        {"the empty area, the item being top-level", 8, Arrow(), false},
    };
    for (const Step& s : steps)
    {
        SCOPED_TRACE(s.name);
        MoveOver(m_tree.m_hWnd, RowPoint(s.row, 100));
        ASSERT_NE(m_tree.GetDragImage(), nullptr);
        EXPECT_TRUE(m_tree.GetDragImage()->IsWindowVisible());
        EXPECT_EQ(::GetCursor(), s.cursor);
        EXPECT_EQ(m_tree.GetDropArrow()->IsWindowVisible() != FALSE, s.arrowShown);
    }
    EXPECT_EQ(Count(TLN_DRAGENTER, kTreeId), 1);
    EXPECT_EQ(Count(TLN_DRAGOVER, kTreeId), 1); // only over C
    // the drag image follows the mouse, opaque a little below right of it
    CRect rcImage;
    m_tree.GetDragImage()->GetWindowRect(&rcImage);
    CPoint mouse = RowPoint(8, 100);
    m_tree.ClientToScreen(&mouse);
    EXPECT_EQ(rcImage.TopLeft(), CPoint(mouse.x + 20, mouse.y + 4));
    EXPECT_EQ(rcImage.Height(), m_tree.GetRowHeight());

    // over the other control: it is left here and entered there
    g_notices.clear();
    MoveOver(m_other.m_hWnd, OtherRow(1));
    EXPECT_EQ(CodesFrom(kTreeId), std::vector<int>{TLN_DRAGLEAVE});
    EXPECT_EQ(CodesFrom(kOtherTreeId), (std::vector<int>{TLN_DRAGENTER, TLN_DRAGOVER}));
    EXPECT_EQ(::GetCursor(), drop);
    EXPECT_EQ(m_other.GetDropHighlight(), t1);
    CRect rcArrow, rcRow;
    m_tree.GetDropArrow()->GetWindowRect(&rcArrow);
    m_other.GetItemRect(t1, &rcRow);
    CPoint edge(0, rcRow.CenterPoint().y);
    m_other.ClientToScreen(&edge);
    EXPECT_EQ(rcArrow.TopLeft(), CPoint(edge.x - 18, edge.y - 9));

    kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_host);
    PastePopup(shot, m_host, m_tree.GetDragImage()->m_hWnd);
    PastePopup(shot, m_host, m_tree.GetDropArrow()->m_hWnd);
    kxgui::SaveArtifact(shot, "treelist_drag.png");
    // the arrow's blue at the target's left edge
    CPoint inShot = edge;
    ::ScreenToClient(m_host, &inShot);
    EXPECT_EQ(shot.At(inShot.x - 10, inShot.y), RGB(0, 0, 255));

    // the empty area of a control that takes drops to the top level
    MoveOver(m_other.m_hWnd, OtherRow(6));
    EXPECT_EQ(::GetCursor(), drop);
    EXPECT_EQ(m_other.GetDropHighlight(), nullptr);

    // released over T0: left, then dropped there
    MoveOver(m_other.m_hWnd, OtherRow(0));
    g_notices.clear();
    Release();
    EXPECT_EQ(CodesFrom(kOtherTreeId), (std::vector<int>{TLN_DRAGOVER, TLN_DRAGLEAVE, TLN_DROP}));
    EXPECT_EQ(g_notices.back().item, t0);
    EXPECT_EQ(g_notices.back().source, &m_tree);
    EXPECT_FALSE(m_tree.IsDragging());
    EXPECT_EQ(m_tree.GetDragImage(), nullptr);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(m_other.GetDropHighlight(), nullptr);

    // a second drag over the same target asks it again
    g_notices.clear();
    kxgui::InputScript().MoveTo(m_tree.m_hWnd, RowPoint(4)).ButtonDown().Send();
    Pump();
    MoveOver(m_tree.m_hWnd, RowPoint(4, 150));
    MoveOver(m_other.m_hWnd, OtherRow(1));
    g_answer = [](int code) { return code == TLN_DRAGOVER ? -1 : 0; };
    MoveOver(m_other.m_hWnd, OtherRow(0));
    EXPECT_EQ(::GetCursor(), m_tree.GetDropCursor(false));
    Release();
    g_answer = nullptr;
    EXPECT_EQ(Count(TLN_DRAGENTER, kOtherTreeId), 1);
    EXPECT_EQ(Count(TLN_DROP, kOtherTreeId), 0);
}

TEST_F(TreeListDragTest, RefusingTargetsAndEscapes)
{
    MakeTwo(TLC_TREELIST | TLC_HEADER | TLC_DROP);
    m_other.InsertItem("T0", TLIS_CHILDRENKNOWN);
    Pump();
    StartDragOn(m_c, RowPoint(4));
    MoveOver(m_tree.m_hWnd, RowPoint(4, 150));
    // a parent refusing -423 keeps its control from being entered
    g_answer = [](int code) { return code == TLN_DRAGENTER ? -1 : 0; };
    g_notices.clear();
    MoveOver(m_other.m_hWnd, OtherRow(0));
    EXPECT_EQ(::GetCursor(), m_tree.GetDropCursor(false));
    ASSERT_NE(m_tree.GetDropArrow(), nullptr);
    EXPECT_FALSE(m_tree.GetDropArrow()->IsWindowVisible());
    EXPECT_EQ(Count(TLN_DRAGOVER, kOtherTreeId), 0);
    g_answer = nullptr;
    // the empty area without root drops refuses
    MoveOver(m_other.m_hWnd, OtherRow(5));
    EXPECT_EQ(::GetCursor(), m_tree.GetDropCursor(false));
    // outside every tree list
    MoveOver(m_host, CPoint(205, 200));
    EXPECT_EQ(::GetCursor(), m_tree.GetDropCursor(false));
    // keys are swallowed while dragging; cancelling ends the drag
    MoveOver(m_other.m_hWnd, OtherRow(0));
    Key(VK_DOWN);
    EXPECT_EQ(m_tree.GetCaretItem(), m_c);
    g_notices.clear();
    m_tree.SendMessage(WM_CANCELMODE);
    Pump();
    EXPECT_FALSE(m_tree.IsDragging());
    EXPECT_EQ(m_tree.GetDragImage(), nullptr);
    EXPECT_EQ(CodesFrom(kOtherTreeId), std::vector<int>{TLN_DRAGLEAVE});
    Release();
    EXPECT_FALSE(HasCode(TLN_DROP));
}

TEST_F(TreeListDragTest, PressAndReleaseWithoutMovingDropsNothing)
{
    MakeTwo(TLC_DROP);
    g_notices.clear();
    StartDragOn(m_c, RowPoint(4));
    EXPECT_TRUE(m_tree.IsDragging());
    MoveOver(m_tree.m_hWnd, CPoint(122, RowPoint(4).y + 1));
    Release();
    EXPECT_EQ(::FindWindowA("VUDE.TLCDAW", nullptr), nullptr);
    EXPECT_EQ(::FindWindowA("VUDE.TLCDOW", nullptr), nullptr);
    // the release still drops onto the item itself, which changes nothing
    std::vector<int> dragCodes;
    for (int code : Codes())
    {
        if (IsDragNotice(code))
            dragCodes.push_back(code);
    }
    EXPECT_EQ(dragCodes, (std::vector<int>{TLN_BEGINDRAG, TLN_DRAGLEAVE}));
    EXPECT_FALSE(m_tree.IsDragging());

    // refused by the parent, no drag begins (pressed away from the last
    // release, so that it is no double click)
    g_answer = [](int code) { return code == TLN_BEGINDRAG ? -1 : 0; };
    kxgui::InputScript().MoveTo(m_tree.m_hWnd, RowPoint(4, 40)).ButtonDown().Send();
    Pump();
    EXPECT_FALSE(m_tree.IsDragging());
    EXPECT_EQ(::GetCapture(), nullptr);
    Release();
    g_answer = nullptr;
}

TEST_F(TreeListDragTest, HoveringExpandsAndScrollsATreeTarget)
{
    MakeTwo(TLC_TREELIST | TLC_BUTTON | TLC_HEADER | TLC_DROP, CRect(210, 0, 410, 130));
    std::vector<CTreeListItem*> rows;
    for (int i = 0; i < 20; ++i)
    {
        CString text;
        text.Format("T%d", i);
        rows.push_back(m_other.InsertItem(text, TLIS_CHILDRENKNOWN));
        m_other.InsertItem("child", TLIS_CHILDRENKNOWN, rows.back());
    }
    Pump();
    int fit = m_other.GetItemAreaRect().Height() / m_other.GetRowHeight();
    ASSERT_GE(fit, 3);
    StartDragOn(m_c, RowPoint(4));
    MoveOver(m_tree.m_hWnd, RowPoint(4, 150));

    struct Case
    {
        bool refused;
        DWORD atLeast;
    };
    for (const Case& c : {Case{true, 500}, Case{false, 1000}})
    {
        SCOPED_TRACE(c.refused ? "refused" : "allowed");
        CTreeListItem* item = rows[c.refused ? 1 : 2];
        bool refused = c.refused;
        g_answer = [refused](int code) { return code == TLN_DRAGOVER && refused ? -1 : 0; };
        DWORD start = ::GetTickCount();
        MoveOver(m_other.m_hWnd, OtherRow(c.refused ? 1 : 2));
        EXPECT_FALSE(item->IsExpanded());
        EXPECT_EQ(m_other.GetHoverItem(), item);
        ASSERT_TRUE(PumpUntil([item] { return item->IsExpanded(); }));
        EXPECT_GE(::GetTickCount() - start, c.atLeast);
        m_other.Expand(item, TLE_COLLAPSE);
    }

    // the bottom row scrolls one row at a time while the mouse stays
    g_answer = nullptr;
    int bottom = (m_other.GetItemAreaRect().Height() - 1) / m_other.GetRowHeight();
    DWORD start = ::GetTickCount();
    MoveOver(m_other.m_hWnd, OtherRow(bottom));
    ASSERT_TRUE(PumpUntil([this] { return m_other.GetScrollPos(SB_VERT) >= 1; }));
    EXPECT_GE(::GetTickCount() - start, 200u);
    ASSERT_TRUE(PumpUntil([this] { return m_other.GetScrollPos(SB_VERT) >= 3; }));
    EXPECT_EQ(m_other.GetHoverItem(), m_other.GetItemAtRow(m_other.GetScrollPos(SB_VERT) + bottom));
    // the top row scrolls back
    MoveOver(m_other.m_hWnd, OtherRow(0));
    ASSERT_TRUE(PumpUntil([this] { return m_other.GetScrollPos(SB_VERT) == 0; }));
    Release();
}

TEST_F(TreeListDragTest, ColumnsDragAlongTheHeader)
{
    Make(TLC_HEADER | TLC_HEADDRAGDROP, 0, {100, 80, 60});
    AddRows(3);
    CTreeListHeaderCtrl& header = m_tree.GetHeaderCtrl();
    int y = header.GetHeight() / 2;
    kxgui::InputScript().MoveTo(header.m_hWnd, CPoint(50, y)).ButtonDown().Send();
    Pump();
    EXPECT_TRUE(header.IsDraggingColumn());
    MoveOver(header.m_hWnd, CPoint(51, y));
    EXPECT_EQ(header.GetColumnImage(), nullptr);
    MoveOver(header.m_hWnd, CPoint(170, y)); // nearest boundary: after "Size" at 180
    ASSERT_NE(header.GetColumnImage(), nullptr);
    ASSERT_NE(header.GetColumnMarker(), nullptr);
    EXPECT_TRUE(header.GetColumnMarker()->IsWindowVisible());
    CRect rcMarker, rcImage;
    header.GetColumnMarker()->GetWindowRect(&rcMarker);
    CPoint boundary(180 - 6, -11);
    header.ClientToScreen(&boundary);
    EXPECT_EQ(rcMarker.TopLeft(), boundary);
    header.GetColumnImage()->GetWindowRect(&rcImage);
    CPoint imageAt(120, 0);
    header.ClientToScreen(&imageAt);
    EXPECT_EQ(rcImage.TopLeft(), imageAt); // moved by the mouse, in the header's band
    EXPECT_EQ(rcImage.Width(), 100);
    // past the header's end: last
    MoveOver(header.m_hWnd, CPoint(395, y));
    Release();
    EXPECT_EQ(m_tree.GetDisplayOrder(), (std::vector<int>{1, 2, 0}));
    EXPECT_FALSE(header.IsDraggingColumn());
    EXPECT_EQ(header.GetColumnImage(), nullptr);
    EXPECT_EQ(::FindWindowA("VUDE.TLCDOW", nullptr), nullptr);

    // onto its own place: nothing changes
    kxgui::InputScript().MoveTo(header.m_hWnd, CPoint(40, y)).ButtonDown().Send();
    Pump();
    MoveOver(header.m_hWnd, CPoint(60, y));
    Release();
    EXPECT_EQ(m_tree.GetDisplayOrder(), (std::vector<int>{1, 2, 0}));
}

TEST_F(TreeListDragTest, SnapshotOfTheRowsAroundTheGrabPoint)
{
    Make(TLC_HEADER | TLC_SHOWSELFULLROWS, 0, {200});
    AddRows(5);
    m_tree.SetFocus();
    m_tree.SelectItem(m_tree.GetItemAtRow(2), 0, false, false);
    Pump();
    const COLORREF white = RGB(255, 255, 255);
    kxgui::DibCanvas canvas(320, 320, white);
    int h = m_tree.GetRowHeight();
    // grabbed in the middle of row 2, 100 pixels into the column
    m_tree.DrawSnapshot(CDC::FromHandle(canvas.Dc()), CPoint(100, 2 * h + h / 2), 320);
    kxgui::PixelBuffer shot = canvas.Pixels();
    COLORREF selected = m_tree.GetColor(8);
    EXPECT_EQ(shot.At(250, 160), selected);      // the grabbed row, filled
    EXPECT_EQ(shot.At(250, 160 - 2 * h), white); // another row: no background
    EXPECT_EQ(shot.At(40, 160), white);          // left of the rows
    EXPECT_EQ(shot.At(160, 160 + 3 * h), white); // below the last row
    EXPECT_LT(shot.CountColor(white, CRect(60, 160 - 2 * h - h / 2, 260, 160 - h - h / 2)), 200 * h); // its text
}
