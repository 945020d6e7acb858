// CTreeListCore: what a tree list knows without a window.
//
// The item tree under an invisible root, the columns with their display and
// sort orders, the style words and the selection (primary item, anchor,
// caret and focus column). Counts are kept per item so that rows map to
// items and back in one step per sibling and level, never a walk over all
// rows. Whatever needs a window (notices to the parent, text measuring,
// layout, scrolling and redrawing) goes through the virtual hooks, which do
// nothing here; the window control supplies them.
#pragma once

#include "controls/treelist/core/TreeListItem.h"

#include <cstdint>
#include <vector>

// Parent and insert-after values of InsertItem.
#define TLI_ROOT reinterpret_cast<CTreeListItem*>(static_cast<uintptr_t>(0xFFFF0001))
#define TLI_LAST reinterpret_cast<CTreeListItem*>(static_cast<uintptr_t>(0xFFFF0002))
#define TLI_FIRST reinterpret_cast<CTreeListItem*>(static_cast<uintptr_t>(0xFFFF0003))
#define TLI_SORT reinterpret_cast<CTreeListItem*>(static_cast<uintptr_t>(0xFFFF0004))

// Control style word.
enum : DWORD
{
    TLC_TREELIST = 0x1,
    TLC_BKGNDIMAGE = 0x2,
    TLC_BKGNDCOLOR = 0x4,
    TLC_DOUBLECOLOR = 0x8,
    TLC_MULTIPLESELECT = 0x10,
    TLC_SHOWSELACTIVE = 0x20,
    TLC_SHOWSELALWAYS = 0x40,
    TLC_SHOWSELFULLROWS = 0x80,
    TLC_HEADER = 0x100,
    TLC_HGRID = 0x200,
    TLC_VGRID = 0x400,
    TLC_TGRID = 0x800,
    TLC_HGRID_EXT = 0x1000,
    TLC_VGRID_EXT = 0x2000,
    TLC_HGRID_FULL = 0x4000,
    TLC_READONLY = 0x8000,
    TLC_TREELINE = 0x10000,
    TLC_ROOTLINE = 0x20000,
    TLC_BUTTON = 0x40000,
    TLC_CHECKBOX = 0x80000,
    TLC_LOCKBOX = 0x100000,
    TLC_IMAGE = 0x200000,
    TLC_DRAG = 0x1000000,
    TLC_DROP = 0x2000000,
    TLC_DROPTHIS = 0x4000000,
    TLC_DROPROOT = 0x8000000,
    TLC_HEADDRAGDROP = 0x10000000,
    TLC_HEADFULLDRAG = 0x20000000,
    TLC_NOAUTOCHECK = 0x40000000,
    TLC_NOAUTOLOCK = 0x80000000,
};

// Extended style word.
enum : DWORD
{
    TLC_EX_FILLLAST = 0x1,
    TLC_EX_NOHSCROLL = 0x2,
    TLC_EX_NOVSCROLL = 0x4,
    TLC_EX_EMPTYROWS = 0x10,
    TLC_EX_NOFULLNOTIFY = 0x20,
    TLC_EX_NOEMPTYAREA = 0x40,
    TLC_EX_NOFOCUSRECT = 0x80,
    TLC_EX_NOSCROLL = 0x800000,
};

// Header style word, derived from the control's style.
enum : DWORD
{
    TLHS_VISIBLE = 1,
    TLHS_DRAGCOLUMN = 2,
    TLHS_DRAGFREE = 4,
    TLHS_IMAGECOLUMNS = 8,
};

// Notice codes (WM_NOTIFY to the parent).
enum : int
{
    TLN_SELCHANGING = -401, // also for every deleted item
    TLN_SELCHANGED = -402,
    TLN_ITEMEXPANDING = -405,
    TLN_ITEMEXPANDED = -406,
    TLN_BEGINDRAG = -407,
    TLN_BEGINEDIT = -410,    // before an editor is shown
    TLN_EDITORHIDDEN = -411, // after it was hidden
    TLN_TEXTCHANGING = -420, // the edited column's text changed
    TLN_ITEMCHANGING = -421, // some column's text differs from before the edit
    TLN_ENDEDIT = -422,      // value 1: 1 when nothing changed
    TLN_DRAGENTER = -423,    // short record, as every drag notice
    TLN_DRAGLEAVE = -424,
    TLN_DRAGOVER = -425,
    TLN_DROP = -426,
    TLN_CHECKCHANGING = -427,
    TLN_LOCKCHANGING = -428,
    TLN_COLUMNRESIZED = -430,
    TLN_DBLCLK = 0x203,    // the left double click's message number
    TLN_RBUTTONUP = 0x205, // the right button release's message number
};

// What a drop on a target would do.
enum : int
{
    TLD_NONE = 0,     // no drop here
    TLD_NOCHANGE = 1, // onto the dragged items or where they are
    TLD_ONITEM = 2,
    TLD_TOROOT = 3, // the empty area: to the top level
};

// Expand codes.
enum : int
{
    TLE_EXPAND = 0,
    TLE_COLLAPSE = 1,
    TLE_TOGGLE = 2,
    TLE_COLLAPSERESET = 3,
};

class CTreeListCore
{
public:
    CTreeListCore();
    virtual ~CTreeListCore();
    CTreeListCore(const CTreeListCore&) = delete;
    CTreeListCore& operator=(const CTreeListCore&) = delete;

    // ---- styles ----
    // Stores the style with its dependent bits cleared where the bits they
    // depend on are missing; returns the previous style.
    DWORD SetStyle(DWORD dwStyle);
    DWORD GetStyle() const { return m_dwStyle; }
    DWORD SetExtendedStyle(DWORD dwExStyle);
    DWORD GetExtendedStyle() const { return m_dwExStyle; }
    // The header's style word for a control style.
    static DWORD HeaderStyleOf(DWORD dwStyle);
    // -1 takes the height from the font. Heights are even. Returns the
    // previous height.
    int SetRowHeight(int nHeight);
    int GetRowHeight() const { return m_nRowHeight; }

    // ---- columns ----
    int InsertColumn(LPCTSTR lpszText, DWORD dwFormat = TLF_DEFAULT, int nWidth = 30, int nImage = -1, int nMin = 0,
                     int nMax = 0);
    // -1/-3: the widest cell of the rows; -2/-4: the same but at least the
    // header text.
    int SetColumnWidth(int nColumn, int nWidth, int nMin = 0, int nMax = 0);
    int GetColumnWidth(int nColumn) const;
    CTreeListColumn* GetColumn(int nColumn) const;
    int GetColumnCount() const { return static_cast<int>(m_arColumns.size()); }
    std::vector<int>& GetDisplayOrder() { return m_arShows; }
    const std::vector<int>& GetSortOrder() const { return m_arSorts; }
    bool IsColumnDisplayed(int nColumn) const;

    // ---- items ----
    CTreeListItem* InsertItem(LPCTSTR lpszText, DWORD dwState = 0, CTreeListItem* pParent = TLI_ROOT,
                              CTreeListItem* pInsertAfter = TLI_LAST);
    // TLI_ROOT deletes every top-level item.
    BOOL DeleteItem(CTreeListItem* pItem = TLI_ROOT);
    BOOL DeleteAllItems();
    int Expand(CTreeListItem* pItem, int nCode);
    int ExpandAll(CTreeListItem* pItem, int nCode);
    BOOL EnsureVisible(CTreeListItem* pItem, int nColumn);
    CTreeListItem* SelectItemByData(DWORD_PTR dwData, CTreeListItem* pFirst = nullptr);
    virtual void SelectItem(CTreeListItem* pItem, int nColumn, bool bCtrl, bool bShift);
    // Asks the parent, then flips (when asked) and propagates.
    void ToggleCheck(CTreeListItem* pItem, bool bFlip);
    void ToggleLock(CTreeListItem* pItem, bool bFlip);

    // ---- navigation ----
    CTreeListItem* GetRootItem() const { return m_pRootItem; }
    CTreeListItem* GetFirstItem() const { return m_pRootItem->m_pChild; }
    CTreeListItem* GetNextItem(CTreeListItem* pItem) const;
    CTreeListItem* GetPrevItem(CTreeListItem* pItem) const;
    CTreeListItem* GetNextVisibleItem(CTreeListItem* pItem, bool bDescend = true) const;
    CTreeListItem* GetPrevVisibleItem(CTreeListItem* pItem) const;
    CTreeListItem* GetSelectedItem() const;
    CTreeListItem* GetNextSelectedItem(CTreeListItem* pItem) const;
    CTreeListItem* GetPrevSelectedItem(CTreeListItem* pItem) const;
    CTreeListItem* GetItemAtRow(int nRow) const;
    int GetItemRow(CTreeListItem* pItem) const;
    int GetRowCount() const { return m_pRootItem->m_nVisibleCount - 1; }
    int GetItemCount() const { return m_pRootItem->m_nCount - 1; }

    // ---- selection and other references to items ----
    CTreeListItem* GetCaretItem() const { return m_pFocusItem; }
    CTreeListItem* GetPrimarySelection() const { return m_pSelectItem; }
    CTreeListItem* GetSelectionAnchor() const { return m_pAnchorItem; }
    int GetFocusColumn() const { return m_nFocusColumn; }
    CTreeListItem* GetHoverItem() const { return m_pHoverItem; }
    CTreeListItem* GetDropHighlight() const { return m_pTargetItem; }
    void SetHoverItem(CTreeListItem* pItem) { m_pHoverItem = pItem; }
    void SetDropHighlight(CTreeListItem* pItem) { m_pTargetItem = pItem; }

    // ---- in-place editing ----
    // Starts an edit, or moves it to another column of the edited item, or
    // concludes the edit of another item first. False when refused.
    bool BeginEdit(CTreeListItem* pItem, int nColumn);
    // Keeps the texts; false when the parent refused them (the editor stays).
    bool EndEdit();
    // Puts the texts back as they were when the edit began.
    bool CancelEdit();
    bool IsEditing() const { return m_pEditItem != nullptr; }
    CTreeListItem* GetEditItem() const { return m_pEditItem; }
    int GetEditColumn() const { return m_nEditColumn; }
    // The displayed column after (or before) the given one whose editor is
    // not the read-only field; -1 when none.
    int GetNextEditColumn(int nColumn, bool bBackward) const;

    // ---- dragging ----
    // The drop result over an item of this control (null: the empty area)
    // for a drag from pSource; asks the parent about items (-425).
    int QueryDrop(CTreeListCore* pSource, CTreeListItem* pItem);
    // Where a drag hovering on a row scrolls: -1 up, 1 down, 0 stop. The
    // bottom row is the last one reaching into the item area.
    static int HoverScrollDirection(int nRow, int nTopRow, int nAreaHeight, int nRowHeight);
    // The place a column dropped at x (list coordinates) goes: after the
    // returned column, or before the first displayed column for -1. False
    // when x is outside every drop zone.
    bool GetColumnDropPosition(int x, int& nAfter) const;
    // Moves a displayed column right after nAfter (-1: to the front).
    void MoveColumn(int nColumn, int nAfter);

protected:
    // ---- hooks for the window ----
    // A full-record notice to the parent; the parent's answer.
    virtual LONG_PTR Notify(int nCode, CTreeListItem* pItem, int nColumn, int nValue1 = 0, int nValue2 = 0)
    {
        return 0;
    }
    // Columns or rows changed: layout and redraw.
    virtual void OnTreeChanged() {}
    // Only the picture changed.
    virtual void Redraw() {}
    virtual void OnStyleChanged() {}
    // Redraw off around expansions and bulk deletions.
    virtual void SetTreeRedraw(bool bRedraw) {}
    // Scrolls an item's row (its ancestors expanded) and column into view.
    virtual void ScrollIntoView(CTreeListItem* pItem, int nColumn) {}
    // The text's width in the control's font or, with bHeader, the header's.
    virtual int MeasureText(LPCTSTR lpszText, bool bHeader) { return 0; }
    // The LOGFONT height of the control's font.
    virtual int GetFontHeight() { return 0; }
    // The item is about to be freed.
    virtual void OnItemDeleting(CTreeListItem* pItem) {}
    // A short-record notice (the drag notices): the source control and an
    // item.
    virtual LONG_PTR NotifyDrag(int nCode, CTreeListCore* pSource, CTreeListItem* pItem) { return 0; }
    // Shows the column's editor over the cell (with -410 first).
    virtual void ShowEditor(CTreeListItem* pItem, int nColumn) {}
    // Hides the editor; true when it carries a text for the cell (strText).
    virtual bool HideEditorWindow(CString& strText) { return false; }
    // Shows the current editor again where it was, its text untouched.
    virtual void PlaceEditorAgain() {}

    int ExpandItem(CTreeListItem* pItem, int nCode, int nColumn);
    // The width of a cell's content: text and, in column 0, indentation and
    // icons.
    int GetCellContentWidth(CTreeListItem* pItem, int nColumn);
    // Where column 0's icons end, from the cell's left edge.
    int GetIndentWidth(CTreeListItem* pItem) const;
    void SetFocusColumn(int nColumn) { m_nFocusColumn = nColumn; }
    void DeleteEveryItem(); // without the redraw switch

    DWORD m_dwStyle = 0;
    DWORD m_dwExStyle = 0;
    int m_nRowHeight = 0;
    std::vector<CTreeListColumn*> m_arColumns; // owned
    std::vector<int> m_arShows;                // display order
    std::vector<int> m_arSorts;                // sort order
    CTreeListItem* m_pSelectItem = nullptr;    // primary selection
    CTreeListItem* m_pAnchorItem = nullptr;
    int m_nFocusColumn = -1;
    CTreeListItem* m_pRootItem = nullptr;
    CTreeListItem* m_pFocusItem = nullptr;  // caret
    CTreeListItem* m_pTargetItem = nullptr; // drop highlight
    CTreeListItem* m_pHoverItem = nullptr;

private:
    void HideEditor();
    bool ConcludeEdit();
    bool ConcludeColumn();
    bool ConcludeForNewItem();
    void FinishEdit(bool bUnchanged);
    void RestoreEditColumn(int nColumn);
    void RestoreEditTexts();
    // Frees the backup and forgets the edit.
    void ResetEdit();
    bool IsEditColumnChanged(int nColumn) const;
    int GetFirstChangedColumn() const;
    // The edited item is being deleted: the edit ends without a word.
    void DropEdit();

    CTreeListItem* m_pEditItem = nullptr;
    int m_nEditColumn = -1;
    CTreeListItem* m_pEditBackup = nullptr; // the texts before the edit
    bool m_bConcluding = false;

    void DeleteOne(CTreeListItem* pItem);
    void DestroySubtree(CTreeListItem* pItem);
    void ForgetItem(CTreeListItem* pItem);
    void UpdateVisibleCount(CTreeListItem* pItem);
    void ToggleState(CTreeListItem* pItem, bool bFlip, DWORD dwBits, DWORD dwOn, DWORD dwIcon, bool bPropagate);
};
