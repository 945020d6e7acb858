// CTreeListItem and CTreeListColumn: the rows and columns of a tree list.
//
// An item is one row: its place in the tree (parent, first child, siblings),
// its depth, the number of items and of rows its subtree holds, its state
// bits, the owner's data and one sub-item per column that existed when the
// item was made. Items are owned through the tree links by the tree that
// inserted them.
#pragma once

#include "framework/core/AfxTypes.h"
#include "framework/core/CString.h"

#include <vector>

// Item state bits.
enum : DWORD
{
    TLIS_SELECTED = 0x1,
    TLIS_EXPANDED = 0x2,
    // The child list is final; without it the item offers an expand button
    // even while it has no children yet.
    TLIS_CHILDRENKNOWN = 0x4,
    TLIS_SHOWCHECK = 0x10,
    TLIS_SHOWLOCK = 0x20,
    TLIS_SHOWIMAGE = 0x40,
    TLIS_CHECKED = 0x10000,
    TLIS_UNCHECKED = 0x20000,
    TLIS_CHECKBITS = TLIS_CHECKED | TLIS_UNCHECKED, // both: indeterminate
    TLIS_LOCKED = 0x1000000,
    TLIS_UNLOCKED = 0x2000000,
    TLIS_LOCKBITS = TLIS_LOCKED | TLIS_UNLOCKED,
    TLIS_INITIAL = 0x2020030,
};

// Colour value meaning "the control's own colour".
const COLORREF TLC_DEFAULT_COLOR = static_cast<COLORREF>(-1);

struct CTreeListSubItem
{
    CString m_strText;
    COLORREF m_crBack = TLC_DEFAULT_COLOR;
    COLORREF m_crText = TLC_DEFAULT_COLOR;
    CString m_strTip;
};

class CTreeListItem
{
public:
    explicit CTreeListItem(int nSubItems);
    virtual ~CTreeListItem() = default;
    CTreeListItem(const CTreeListItem&) = delete;
    CTreeListItem& operator=(const CTreeListItem&) = delete;

    CTreeListItem* m_pParent = nullptr;
    CTreeListItem* m_pChild = nullptr;
    CTreeListItem* m_pPrev = nullptr;
    CTreeListItem* m_pNext = nullptr;
    int m_nLevel = 0;        // the root is 0
    int m_nCount = 1;        // this item and all its descendants
    int m_nVisibleCount = 1; // the rows this item and its shown subtree take
    DWORD m_dwState = TLIS_INITIAL;
    DWORD_PTR m_dwData = 0;          // the owner's
    int m_nImages[4] = {0, 0, 0, 0}; // normal, expanded, selected, expanded and selected
    std::vector<CTreeListSubItem> m_arSubItems;

    DWORD GetState() const { return m_dwState; }
    // Expanding implies a final child list; forgetting the child list
    // collapses.
    void SetState(DWORD dwAdd, DWORD dwRemove);
    bool IsSelected() const { return (m_dwState & TLIS_SELECTED) != 0; }
    void SetSelected(bool bSelected);
    bool IsExpanded() const { return (m_dwState & TLIS_EXPANDED) != 0; }
    // 0 unchecked, 1 checked, 2 indeterminate.
    int GetCheck() const;
    void SetCheck(bool bChecked);
    int GetLock() const;
    void SetLock(bool bLocked);
    void ShowImage(bool bShow);

    bool SetText(LPCTSTR lpszText, int nColumn);
    // Null for a column the item has no sub-item for.
    LPCTSTR GetText(int nColumn = 0) const;
    // A negative column sets every column.
    bool SetTipText(LPCTSTR lpszText, int nColumn);
    CString GetTipText(int nColumn) const;
    bool HasTipText(int nColumn) const;
    // A negative column sets every column; returns the previous colour (of
    // column 0 then).
    COLORREF SetTextColor(COLORREF crColor, int nColumn);
    void ResetTextColor(int nColumn) { SetTextColor(TLC_DEFAULT_COLOR, nColumn); }
    COLORREF GetTextColor(int nColumn) const;
    COLORREF GetBkColor(int nColumn) const;

    void SetImages(int nNormal, int nExpanded, int nSelected, int nExpandedSelected);
    void GetImages(int& nNormal, int& nExpanded, int& nSelected, int& nExpandedSelected) const;

private:
    bool HasColumn(int nColumn) const { return nColumn >= 0 && nColumn < static_cast<int>(m_arSubItems.size()); }
};

// Column format bits.
enum : DWORD
{
    TLF_HDR_LEFT = 0x1,
    TLF_HDR_RIGHT = 0x2,
    TLF_HDR_CENTER = 0x4,
    TLF_HDR_TOP = 0x10,
    TLF_HDR_BOTTOM = 0x20,
    TLF_HDR_VCENTER = 0x40,
    TLF_HDR_ELLIPSIS = 0x8000,
    TLF_TEXT_LEFT = 0x100,
    TLF_TEXT_RIGHT = 0x200,
    TLF_TEXT_CENTER = 0x400,
    TLF_TEXT_TOP = 0x1000,
    TLF_TEXT_BOTTOM = 0x2000,
    TLF_TEXT_VCENTER = 0x4000,
    TLF_TEXT_ELLIPSIS = 0x80000000,
    TLF_IMAGE_LEFT = 0x10000,
    TLF_IMAGE_RIGHT = 0x20000,
    TLF_IMAGE_CENTER = 0x40000,
    TLF_SHOWTEXT = 0x100000,
    TLF_SORTABLE = 0x200000,
    TLF_SHOWIMAGE = 0x400000,
    TLF_SORT_ASC = 0x1000000,
    TLF_SORT_DESC = 0x2000000,
    TLF_HIDDEN = 0x10000000,
    TLF_FIXED = 0x20000000,
    TLF_DEFAULT = 0x104144,
};

class CTreeListColumn
{
public:
    CTreeListColumn() = default;
    virtual ~CTreeListColumn() = default;

    DWORD m_dwFormat = TLF_DEFAULT;
    int m_nEditor = 0; // 0 read-only field, 1 edit box, 2 drop-down list
    int m_nMinWidth = 0;
    int m_nMaxWidth = 0; // 0: unlimited
    int m_nWidth = 30;
    CString m_strText;
    int m_nImage = -1;
    CString m_strChoices; // the drop-down list's entries, "|" between them
    // The entries, empty pieces included.
    std::vector<CString> GetChoices() const;
    // Only while the header resizes the column.
    int m_nResizeStartWidth = 0;
    int m_nResizeStartPos = 0;
};
