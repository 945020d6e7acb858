#include "controls/treelist/core/TreeListCore.h"

#include <algorithm>
#include <cstdlib>

CTreeListCore::CTreeListCore()
{
    m_pRootItem = new CTreeListItem(1);
    m_pRootItem->SetState(TLIS_EXPANDED, 0);
}

CTreeListCore::~CTreeListCore()
{
    // No window is left to hear about the items going.
    while (CTreeListItem* pChild = m_pRootItem->m_pChild)
    {
        m_pRootItem->m_pChild = pChild->m_pNext;
        pChild->m_pNext = nullptr;
        std::vector<CTreeListItem*> pending{pChild};
        while (!pending.empty())
        {
            CTreeListItem* pItem = pending.back();
            pending.pop_back();
            for (CTreeListItem* p = pItem->m_pChild; p; p = p->m_pNext)
                pending.push_back(p);
            delete pItem;
        }
    }
    delete m_pRootItem;
    delete m_pEditBackup;
    while (!m_arColumns.empty())
    {
        delete m_arColumns.back();
        m_arColumns.pop_back();
    }
}

// ---- styles ----------------------------------------------------------------

DWORD CTreeListCore::SetStyle(DWORD dwStyle)
{
    DWORD dwOld = m_dwStyle;
    if (!(dwStyle & TLC_TREELIST))
        dwStyle &= ~(TLC_TREELINE | TLC_ROOTLINE | TLC_BUTTON);
    if (!(dwStyle & TLC_HGRID))
        dwStyle &= ~(TLC_TGRID | TLC_HGRID_EXT | TLC_HGRID_FULL);
    if (!(dwStyle & TLC_VGRID))
        dwStyle &= ~TLC_VGRID_EXT;
    if ((dwStyle & TLC_HGRID) && (dwStyle & TLC_VGRID) &&
        ((dwStyle & TLC_HGRID_EXT) != 0) != ((dwStyle & TLC_VGRID_EXT) != 0))
        dwStyle &= ~(TLC_HGRID_EXT | TLC_VGRID_EXT);
    if (!(dwStyle & TLC_HEADER))
        dwStyle &= ~(TLC_HEADDRAGDROP | TLC_HEADFULLDRAG);
    m_dwStyle = dwStyle;
    OnStyleChanged();
    return dwOld;
}

DWORD CTreeListCore::HeaderStyleOf(DWORD dwStyle)
{
    DWORD dwHeader = 0;
    if (dwStyle & TLC_HEADER)
        dwHeader |= TLHS_VISIBLE;
    if (dwStyle & TLC_HEADDRAGDROP)
        dwHeader |= TLHS_DRAGCOLUMN;
    if (dwStyle & TLC_HEADFULLDRAG)
        dwHeader |= TLHS_DRAGFREE;
    if (dwStyle & TLC_IMAGE)
        dwHeader |= TLHS_IMAGECOLUMNS;
    return dwHeader;
}

DWORD CTreeListCore::SetExtendedStyle(DWORD dwExStyle)
{
    DWORD dwOld = m_dwExStyle;
    m_dwExStyle = dwExStyle;
    // The scroll bars depend on it, so lay out again rather than only redraw.
    OnTreeChanged();
    return dwOld;
}

int CTreeListCore::SetRowHeight(int nHeight)
{
    int nOld = m_nRowHeight;
    if (nHeight == -1)
    {
        int h = GetFontHeight();
        nHeight = h < 0 ? 5 - h : (h > 0 ? h + 5 : 20);
    }
    if (nHeight % 2)
        ++nHeight;
    m_nRowHeight = nHeight;
    Redraw();
    return nOld;
}

// ---- columns ---------------------------------------------------------------

int CTreeListCore::InsertColumn(LPCTSTR lpszText, DWORD dwFormat, int nWidth, int nImage, int nMin, int nMax)
{
    CTreeListColumn* pColumn = new CTreeListColumn;
    pColumn->m_strText = lpszText ? lpszText : "";
    pColumn->m_dwFormat = dwFormat;
    pColumn->m_nWidth = nWidth;
    pColumn->m_nImage = nImage;
    pColumn->m_nMinWidth = nMin;
    pColumn->m_nMaxWidth = nMax;
    int nIndex = GetColumnCount();
    m_arColumns.push_back(pColumn);
    if (!(dwFormat & TLF_HIDDEN))
        m_arShows.push_back(nIndex);
    if ((dwFormat & TLF_SORTABLE) && (dwFormat & (TLF_SORT_ASC | TLF_SORT_DESC)))
        m_arSorts.push_back(nIndex);
    OnTreeChanged();
    return 1;
}

CTreeListColumn* CTreeListCore::GetColumn(int nColumn) const
{
    return nColumn >= 0 && nColumn < GetColumnCount() ? m_arColumns[nColumn] : nullptr;
}

int CTreeListCore::GetColumnWidth(int nColumn) const
{
    CTreeListColumn* pColumn = GetColumn(nColumn);
    return pColumn ? pColumn->m_nWidth : 0;
}

bool CTreeListCore::IsColumnDisplayed(int nColumn) const
{
    return std::find(m_arShows.begin(), m_arShows.end(), nColumn) != m_arShows.end();
}

int CTreeListCore::GetIndentWidth(CTreeListItem* pItem) const
{
    int nWidth = 0;
    if (m_dwStyle & TLC_TREELIST)
        nWidth += 16 * (pItem->m_nLevel - 1);
    if (m_dwStyle & (TLC_TREELINE | TLC_BUTTON))
        nWidth += 16;
    if ((m_dwStyle & TLC_CHECKBOX) && (pItem->m_dwState & TLIS_SHOWCHECK))
        nWidth += 16;
    if ((m_dwStyle & TLC_LOCKBOX) && (pItem->m_dwState & TLIS_SHOWLOCK))
        nWidth += 8;
    if ((m_dwStyle & TLC_IMAGE) && (pItem->m_dwState & TLIS_SHOWIMAGE))
        nWidth += 16;
    if (m_dwStyle & (TLC_LOCKBOX | TLC_IMAGE))
        nWidth += 2;
    return nWidth;
}

int CTreeListCore::GetCellContentWidth(CTreeListItem* pItem, int nColumn)
{
    LPCTSTR lpszText = pItem->GetText(nColumn);
    int nWidth = MeasureText(lpszText ? lpszText : "", false) + 8;
    if (nColumn == 0)
        nWidth += GetIndentWidth(pItem);
    return nWidth;
}

int CTreeListCore::SetColumnWidth(int nColumn, int nWidth, int nMin, int nMax)
{
    CTreeListColumn* pColumn = GetColumn(nColumn);
    if (!pColumn)
        return 0;
    if (nWidth <= -1 && nWidth >= -4)
    {
        bool bHeader = nWidth == -2 || nWidth == -4;
        nWidth = nMin;
        for (CTreeListItem* pItem = GetFirstItem(); pItem; pItem = GetNextVisibleItem(pItem, true))
            nWidth = std::max(nWidth, GetCellContentWidth(pItem, nColumn));
        if (bHeader)
            nWidth = std::max(nWidth, MeasureText(pColumn->m_strText, true) + 10);
    }
    nMin = std::max(nMin, 0);
    nMax = std::max(nMax, 0);
    if (nMax != 0 && nMax < nMin)
        nMax = nMin;
    nWidth = std::max(nWidth, nMin);
    if (nMax != 0)
        nWidth = std::min(nWidth, nMax);
    pColumn->m_nWidth = nWidth;
    pColumn->m_nMinWidth = nMin;
    pColumn->m_nMaxWidth = nMax;
    OnTreeChanged();
    return 0;
}

// ---- items -----------------------------------------------------------------

static CTreeListItem* LastChild(CTreeListItem* pParent)
{
    CTreeListItem* p = pParent->m_pChild;
    while (p && p->m_pNext)
        p = p->m_pNext;
    return p;
}

CTreeListItem* CTreeListCore::InsertItem(LPCTSTR lpszText, DWORD dwState, CTreeListItem* pParent,
                                         CTreeListItem* pInsertAfter)
{
    if (pParent == TLI_ROOT || !pParent)
        pParent = m_pRootItem;
    // An item made before any column still keeps its label.
    CTreeListItem* pItem = new CTreeListItem(std::max(GetColumnCount(), 1));
    pItem->SetText(lpszText, 0);
    pItem->SetState(dwState, 0);
    pItem->m_pParent = pParent;
    if (!pParent->m_pChild)
    {
        pParent->m_pChild = pItem;
    }
    else if (pInsertAfter == TLI_FIRST)
    {
        pItem->m_pNext = pParent->m_pChild;
        pParent->m_pChild->m_pPrev = pItem;
        pParent->m_pChild = pItem;
    }
    else
    {
        // Anything but one of the parent's own children appends: linking
        // after an item of another list would tear both lists.
        CTreeListItem* pAfter = pInsertAfter;
        if (!pAfter || pAfter == TLI_LAST || pAfter == TLI_SORT || pAfter->m_pParent != pParent)
            pAfter = LastChild(pParent);
        pItem->m_pPrev = pAfter;
        pItem->m_pNext = pAfter->m_pNext;
        if (pAfter->m_pNext)
            pAfter->m_pNext->m_pPrev = pItem;
        pAfter->m_pNext = pItem;
    }
    pItem->m_nLevel = pParent->m_nLevel + 1;
    if (pParent->GetCheck() == 1)
        pItem->SetCheck(true);
    if (pParent->GetLock() == 1)
        pItem->SetLock(true);
    pItem->SetImages(0, 1, 2, 3);
    bool bShown = true;
    for (CTreeListItem* p = pParent; p; p = p->m_pParent)
    {
        ++p->m_nCount;
        bShown = bShown && p->IsExpanded();
        if (bShown)
            ++p->m_nVisibleCount;
    }
    OnTreeChanged();
    return pItem;
}

void CTreeListCore::ForgetItem(CTreeListItem* pItem)
{
    if (m_pAnchorItem == pItem)
        m_pAnchorItem = nullptr;
    if (m_pSelectItem == pItem)
        m_pSelectItem = nullptr;
    if (m_pFocusItem == pItem)
        m_pFocusItem = nullptr;
    if (m_pHoverItem == pItem)
        m_pHoverItem = nullptr;
    if (m_pTargetItem == pItem)
        m_pTargetItem = nullptr;
    if (m_pEditItem == pItem)
        DropEdit();
    OnItemDeleting(pItem);
}

void CTreeListCore::DestroySubtree(CTreeListItem* pItem)
{
    CTreeListItem* pChild = pItem->m_pChild;
    while (pChild)
    {
        CTreeListItem* pNext = pChild->m_pNext;
        DestroySubtree(pChild);
        pChild = pNext;
    }
    ForgetItem(pItem);
    Notify(TLN_SELCHANGING, pItem, 0);
    delete pItem;
}

void CTreeListCore::DeleteOne(CTreeListItem* pItem)
{
    CTreeListItem* pParent = pItem->m_pParent;
    if (pItem->m_pPrev)
        pItem->m_pPrev->m_pNext = pItem->m_pNext;
    else
        pParent->m_pChild = pItem->m_pNext;
    if (pItem->m_pNext)
        pItem->m_pNext->m_pPrev = pItem->m_pPrev;
    bool bShown = true;
    for (CTreeListItem* p = pParent; p; p = p->m_pParent)
    {
        p->m_nCount -= pItem->m_nCount;
        bShown = bShown && p->IsExpanded();
        if (bShown)
            p->m_nVisibleCount -= pItem->m_nVisibleCount;
    }
    DestroySubtree(pItem);
}

void CTreeListCore::DeleteEveryItem()
{
    while (m_pRootItem->m_pChild)
        DeleteOne(m_pRootItem->m_pChild);
    if (!m_pSelectItem)
        m_pSelectItem = GetSelectedItem();
}

BOOL CTreeListCore::DeleteItem(CTreeListItem* pItem)
{
    if (pItem == TLI_ROOT)
    {
        DeleteEveryItem();
    }
    else
    {
        if (!pItem || pItem == m_pRootItem)
            return FALSE;
        DeleteOne(pItem);
        if (!m_pSelectItem)
            m_pSelectItem = GetSelectedItem();
    }
    OnTreeChanged();
    return TRUE;
}

BOOL CTreeListCore::DeleteAllItems()
{
    SetTreeRedraw(false);
    DeleteEveryItem();
    SetTreeRedraw(true);
    OnTreeChanged();
    return TRUE;
}

void CTreeListCore::UpdateVisibleCount(CTreeListItem* pItem)
{
    int nVisible = 1;
    if (pItem->IsExpanded())
    {
        for (CTreeListItem* p = pItem->m_pChild; p; p = p->m_pNext)
            nVisible += p->m_nVisibleCount;
    }
    int nDelta = nVisible - pItem->m_nVisibleCount;
    pItem->m_nVisibleCount = nVisible;
    for (CTreeListItem* p = pItem->m_pParent; p && p->IsExpanded(); p = p->m_pParent)
        p->m_nVisibleCount += nDelta;
}

int CTreeListCore::Expand(CTreeListItem* pItem, int nCode)
{
    return ExpandItem(pItem, nCode, m_nFocusColumn);
}

int CTreeListCore::ExpandItem(CTreeListItem* pItem, int nCode, int nColumn)
{
    if (!pItem)
        return 0;
    if ((pItem->m_dwState & TLIS_CHILDRENKNOWN) && !pItem->m_pChild)
        return 1;
    if (nCode == TLE_TOGGLE)
        nCode = pItem->IsExpanded() ? TLE_COLLAPSE : TLE_EXPAND;
    if ((nCode == TLE_EXPAND && pItem->IsExpanded()) ||
        ((nCode == TLE_COLLAPSE || nCode == TLE_COLLAPSERESET) && !pItem->IsExpanded()))
        return 1;
    if (nCode != TLE_EXPAND && nCode != TLE_COLLAPSE && nCode != TLE_COLLAPSERESET)
        return 0;
    if (Notify(TLN_ITEMEXPANDING, pItem, nColumn) == -1)
        return 0;
    SetTreeRedraw(false);
    if (nCode == TLE_EXPAND)
    {
        pItem->SetState(TLIS_EXPANDED, 0);
    }
    else
    {
        pItem->SetState(0, TLIS_EXPANDED);
        if (nCode == TLE_COLLAPSERESET)
        {
            while (pItem->m_pChild)
                DeleteOne(pItem->m_pChild);
            if (!m_pSelectItem)
                m_pSelectItem = GetSelectedItem();
        }
    }
    UpdateVisibleCount(pItem);
    SetTreeRedraw(true);
    OnTreeChanged();
    Notify(TLN_ITEMEXPANDED, pItem, nColumn);
    return 0;
}

int CTreeListCore::ExpandAll(CTreeListItem* pItem, int nCode)
{
    if (!pItem || (nCode != TLE_EXPAND && nCode != TLE_COLLAPSE))
        return 0;
    if (nCode == TLE_EXPAND)
        Expand(pItem, TLE_EXPAND);
    for (CTreeListItem* p = pItem->m_pChild; p; p = p->m_pNext)
        ExpandAll(p, nCode);
    if (nCode == TLE_COLLAPSE)
        Expand(pItem, TLE_COLLAPSE);
    return 1;
}

BOOL CTreeListCore::EnsureVisible(CTreeListItem* pItem, int nColumn)
{
    if (!pItem || pItem == TLI_ROOT)
        return TRUE;
    std::vector<CTreeListItem*> ancestors;
    for (CTreeListItem* p = pItem->m_pParent; p && p != m_pRootItem; p = p->m_pParent)
        ancestors.push_back(p);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
    {
        if (!(*it)->IsExpanded())
            Expand(*it, TLE_EXPAND);
    }
    ScrollIntoView(pItem, nColumn);
    Redraw();
    return TRUE;
}

CTreeListItem* CTreeListCore::SelectItemByData(DWORD_PTR dwData, CTreeListItem* pFirst)
{
    for (CTreeListItem* p = pFirst ? pFirst : GetFirstItem(); p; p = p->m_pNext)
    {
        if (p->m_dwData == dwData)
        {
            SelectItem(p, 0, false, false);
            return p;
        }
    }
    return nullptr;
}

void CTreeListCore::SelectItem(CTreeListItem* pItem, int nColumn, bool bCtrl, bool bShift)
{
    bool bMulti = (m_dwStyle & TLC_MULTIPLESELECT) != 0;
    if (!bMulti)
        bCtrl = bShift = false;
    if (!(bMulti && bShift && m_pAnchorItem))
        m_pAnchorItem = pItem;
    if (!bMulti && pItem && pItem == m_pSelectItem && nColumn == m_nFocusColumn)
    {
        EnsureVisible(pItem, nColumn);
        Redraw();
        return;
    }
    if (Notify(TLN_SELCHANGING, pItem, nColumn) == -1)
        return;
    if (bCtrl)
    {
        if (!bShift && pItem)
        {
            pItem->SetSelected(!pItem->IsSelected());
            m_pSelectItem = pItem->IsSelected() ? pItem : nullptr;
        }
    }
    else if (pItem || bShift)
    {
        for (CTreeListItem* p = GetSelectedItem(); p; p = GetNextItem(p))
            p->SetSelected(false);
        m_pSelectItem = nullptr;
    }
    if (pItem && (!bCtrl || bShift))
    {
        CTreeListItem* pFrom = m_pAnchorItem ? m_pAnchorItem : pItem;
        CTreeListItem* pTo = pItem;
        if (GetItemRow(pFrom) > GetItemRow(pTo))
            std::swap(pFrom, pTo);
        for (CTreeListItem* p = pFrom; p; p = GetNextVisibleItem(p, true))
        {
            p->SetSelected(true);
            if (p == pTo)
                break;
        }
        m_pSelectItem = pItem;
    }
    if (!m_pSelectItem)
    {
        m_pSelectItem = GetNextSelectedItem(pItem);
        if (!m_pSelectItem)
            m_pSelectItem = GetPrevSelectedItem(pItem);
        if (!m_pSelectItem)
            m_pSelectItem = GetSelectedItem();
    }
    if (!m_pSelectItem && m_pFocusItem)
    {
        m_pSelectItem = m_pFocusItem;
        m_pSelectItem->SetSelected(true);
    }
    CTreeListItem* pOldCaret = m_pFocusItem;
    m_pFocusItem = m_pSelectItem;
    if (m_pFocusItem)
        EnsureVisible(m_pFocusItem, nColumn);
    if (m_pFocusItem != pOldCaret)
        Notify(TLN_SELCHANGED, m_pFocusItem, nColumn);
    Redraw();
}

void CTreeListCore::ToggleState(CTreeListItem* pItem, bool bFlip, DWORD dwBits, DWORD dwOn, DWORD dwIcon,
                                bool bPropagate)
{
    DWORD dwOff = dwBits & ~dwOn;
    auto state = [dwBits, dwOn](const CTreeListItem* p)
    {
        DWORD d = p->m_dwState & dwBits;
        return d == dwBits ? 2 : (d == dwOn ? 1 : 0);
    };
    auto set = [dwBits, dwOn, dwOff](CTreeListItem* p, bool bOn)
    { p->m_dwState = (p->m_dwState & ~dwBits) | (bOn ? dwOn : dwOff); };
    if (bFlip)
        set(pItem, state(pItem) == 0);
    if (bPropagate)
    {
        bool bOn = state(pItem) != 0;
        std::vector<CTreeListItem*> pending;
        for (CTreeListItem* p = pItem->m_pChild; p; p = p->m_pNext)
            pending.push_back(p);
        while (!pending.empty())
        {
            CTreeListItem* p = pending.back();
            pending.pop_back();
            set(p, bOn);
            for (CTreeListItem* c = p->m_pChild; c; c = c->m_pNext)
                pending.push_back(c);
        }
        for (CTreeListItem* p = pItem->m_pParent; p; p = p->m_pParent)
        {
            DWORD dwUnion = 0;
            for (CTreeListItem* c = p->m_pChild; c; c = c->m_pNext)
            {
                if (c->m_dwState & dwIcon)
                    dwUnion |= c->m_dwState & dwBits;
            }
            p->m_dwState = (p->m_dwState & ~dwBits) | dwUnion;
        }
    }
    Redraw();
}

void CTreeListCore::ToggleCheck(CTreeListItem* pItem, bool bFlip)
{
    if (!pItem || Notify(TLN_CHECKCHANGING, pItem, 0) == -1)
        return;
    ToggleState(pItem, bFlip, TLIS_CHECKBITS, TLIS_CHECKED, TLIS_SHOWCHECK, !(m_dwStyle & TLC_NOAUTOCHECK));
}

void CTreeListCore::ToggleLock(CTreeListItem* pItem, bool bFlip)
{
    if (!pItem || Notify(TLN_LOCKCHANGING, pItem, 0) == -1)
        return;
    ToggleState(pItem, bFlip, TLIS_LOCKBITS, TLIS_LOCKED, TLIS_SHOWLOCK, !(m_dwStyle & TLC_NOAUTOLOCK));
}

// ---- navigation ------------------------------------------------------------

CTreeListItem* CTreeListCore::GetNextItem(CTreeListItem* pItem) const
{
    if (!pItem)
        return nullptr;
    if (pItem->m_pChild)
        return pItem->m_pChild;
    for (; pItem && pItem != m_pRootItem; pItem = pItem->m_pParent)
    {
        if (pItem->m_pNext)
            return pItem->m_pNext;
    }
    return nullptr;
}

CTreeListItem* CTreeListCore::GetPrevItem(CTreeListItem* pItem) const
{
    if (!pItem || pItem == m_pRootItem)
        return nullptr;
    if (pItem->m_pPrev)
    {
        CTreeListItem* p = pItem->m_pPrev;
        while (p->m_pChild)
            p = LastChild(p);
        return p;
    }
    return pItem->m_pParent == m_pRootItem ? nullptr : pItem->m_pParent;
}

CTreeListItem* CTreeListCore::GetNextVisibleItem(CTreeListItem* pItem, bool bDescend) const
{
    if (!pItem)
        return nullptr;
    if (bDescend && pItem->IsExpanded() && pItem->m_pChild)
        return pItem->m_pChild;
    for (; pItem && pItem != m_pRootItem; pItem = pItem->m_pParent)
    {
        if (pItem->m_pNext)
            return pItem->m_pNext;
    }
    return nullptr;
}

CTreeListItem* CTreeListCore::GetPrevVisibleItem(CTreeListItem* pItem) const
{
    if (!pItem || pItem == m_pRootItem)
        return nullptr;
    if (pItem->m_pPrev)
    {
        CTreeListItem* p = pItem->m_pPrev;
        while (p->IsExpanded() && p->m_pChild)
            p = LastChild(p);
        return p;
    }
    return pItem->m_pParent == m_pRootItem ? nullptr : pItem->m_pParent;
}

CTreeListItem* CTreeListCore::GetSelectedItem() const
{
    for (CTreeListItem* p = GetFirstItem(); p; p = GetNextItem(p))
    {
        if (p->IsSelected())
            return p;
    }
    return nullptr;
}

CTreeListItem* CTreeListCore::GetNextSelectedItem(CTreeListItem* pItem) const
{
    if (!(m_dwStyle & TLC_MULTIPLESELECT))
        return nullptr;
    for (CTreeListItem* p = GetNextItem(pItem); p; p = GetNextItem(p))
    {
        if (p->IsSelected())
            return p;
    }
    return nullptr;
}

CTreeListItem* CTreeListCore::GetPrevSelectedItem(CTreeListItem* pItem) const
{
    for (CTreeListItem* p = GetPrevItem(pItem); p; p = GetPrevItem(p))
    {
        if (p->IsSelected())
            return p;
    }
    return nullptr;
}

CTreeListItem* CTreeListCore::GetItemAtRow(int nRow) const
{
    if (nRow < 0 || nRow >= GetRowCount())
        return nullptr;
    CTreeListItem* pItem = GetFirstItem();
    while (pItem && nRow > 0)
    {
        if (nRow >= pItem->m_nVisibleCount)
        {
            nRow -= pItem->m_nVisibleCount;
            pItem = pItem->m_pNext;
        }
        else
        {
            pItem = pItem->m_pChild;
            --nRow;
        }
    }
    return pItem;
}

int CTreeListCore::GetItemRow(CTreeListItem* pItem) const
{
    if (!pItem || pItem == m_pRootItem || GetRowCount() == 0)
        return -1;
    int nRow = -1;
    for (; pItem != m_pRootItem; pItem = pItem->m_pParent)
    {
        ++nRow;
        for (CTreeListItem* p = pItem->m_pPrev; p; p = p->m_pPrev)
            nRow += p->m_nVisibleCount;
    }
    return nRow;
}

// ---- in-place editing --------------------------------------------------------

namespace
{

bool SameText(LPCTSTR a, LPCTSTR b)
{
    return CString(a ? a : "") == CString(b ? b : "");
}

} // namespace

int CTreeListCore::GetNextEditColumn(int nColumn, bool bBackward) const
{
    auto it = std::find(m_arShows.begin(), m_arShows.end(), nColumn);
    if (it == m_arShows.end())
        return -1;
    int nPlace = static_cast<int>(it - m_arShows.begin());
    int nStep = bBackward ? -1 : 1;
    for (int i = nPlace + nStep; i >= 0 && i < static_cast<int>(m_arShows.size()); i += nStep)
    {
        if (m_arColumns[m_arShows[i]]->m_nEditor != 0)
            return m_arShows[i];
    }
    return -1;
}

bool CTreeListCore::BeginEdit(CTreeListItem* pItem, int nColumn)
{
    // A request from inside a conclusion's notices would start a second
    // edit over the one still being concluded.
    if ((m_dwStyle & TLC_READONLY) || m_bConcluding || !pItem || !GetColumn(nColumn))
        return false;
    if (!m_pEditItem)
    {
        m_pEditItem = pItem;
        m_nEditColumn = nColumn;
        m_pEditBackup = new CTreeListItem(GetColumnCount());
        for (int c = 0; c < GetColumnCount(); ++c)
        {
            LPCTSTR lpszText = pItem->GetText(c);
            m_pEditBackup->SetText(lpszText ? lpszText : "", c);
        }
        ShowEditor(pItem, nColumn);
        Redraw();
        return true;
    }
    if (m_pEditItem == pItem)
    {
        if (!ConcludeColumn())
        {
            PlaceEditorAgain();
            return false;
        }
        m_nEditColumn = nColumn;
        ShowEditor(pItem, nColumn);
        return true;
    }
    if (!ConcludeForNewItem())
        return false;
    return BeginEdit(pItem, nColumn);
}

bool CTreeListCore::EndEdit()
{
    if (m_bConcluding)
        return true;
    if (!m_pEditItem)
        return false;
    if (!ConcludeEdit())
    {
        PlaceEditorAgain();
        return false;
    }
    Redraw();
    return true;
}

bool CTreeListCore::CancelEdit()
{
    if (m_bConcluding)
        return true;
    if (!m_pEditItem)
        return false;
    // Hiding the editor moves the focus, which asks for a cancel again.
    m_bConcluding = true;
    HideEditor();
    if (m_pEditItem)
    {
        RestoreEditTexts();
        FinishEdit(true);
    }
    m_bConcluding = false;
    Redraw();
    return true;
}

void CTreeListCore::HideEditor()
{
    CString strText;
    if (HideEditorWindow(strText) && m_pEditItem)
        m_pEditItem->SetText(strText, m_nEditColumn);
    if (m_pEditItem)
        Notify(TLN_EDITORHIDDEN, m_pEditItem, m_nEditColumn);
}

bool CTreeListCore::IsEditColumnChanged(int nColumn) const
{
    return !SameText(m_pEditItem->GetText(nColumn), m_pEditBackup->GetText(nColumn));
}

int CTreeListCore::GetFirstChangedColumn() const
{
    for (int c = 0; c < GetColumnCount(); ++c)
    {
        if (IsEditColumnChanged(c))
            return c;
    }
    return -1;
}

void CTreeListCore::RestoreEditColumn(int nColumn)
{
    m_pEditItem->SetText(m_pEditBackup->GetText(nColumn), nColumn);
}

void CTreeListCore::RestoreEditTexts()
{
    for (int c = 0; c < GetColumnCount(); ++c)
        RestoreEditColumn(c);
}

void CTreeListCore::ResetEdit()
{
    delete m_pEditBackup;
    m_pEditBackup = nullptr;
    m_pEditItem = nullptr;
    m_nEditColumn = -1;
    m_bConcluding = false;
}

void CTreeListCore::FinishEdit(bool bUnchanged)
{
    CTreeListItem* pItem = m_pEditItem;
    Notify(TLN_ENDEDIT, pItem, 0, bUnchanged ? 1 : 0);
    if (m_pEditItem != pItem)
        return; // the parent deleted the item: the edit is already gone
    ResetEdit();
}

// Every notice below may delete the edited item (DropEdit then ends the
// edit), so each is followed by a look at whether the edit still exists.
bool CTreeListCore::ConcludeEdit()
{
    m_bConcluding = true;
    HideEditor();
    if (!m_pEditItem)
        return true;
    if (IsEditColumnChanged(m_nEditColumn) && Notify(TLN_TEXTCHANGING, m_pEditItem, m_nEditColumn) < 0)
    {
        m_bConcluding = false;
        return !m_pEditItem;
    }
    if (!m_pEditItem)
        return true;
    int nChanged = GetFirstChangedColumn();
    if (nChanged >= 0 && Notify(TLN_ITEMCHANGING, m_pEditItem, 0) < 0)
    {
        m_bConcluding = false;
        return !m_pEditItem;
    }
    if (m_pEditItem)
        FinishEdit(nChanged < 0);
    m_bConcluding = false;
    return true;
}

bool CTreeListCore::ConcludeColumn()
{
    if (m_bConcluding || !m_pEditItem)
        return true;
    m_bConcluding = true;
    HideEditor();
    if (m_pEditItem && IsEditColumnChanged(m_nEditColumn) && Notify(TLN_TEXTCHANGING, m_pEditItem, m_nEditColumn) < 0 &&
        m_pEditItem)
    {
        RestoreEditColumn(m_nEditColumn);
        m_bConcluding = false;
        return false;
    }
    m_bConcluding = false;
    // an edit whose item went with a notice has nothing left to move
    return m_pEditItem != nullptr;
}

bool CTreeListCore::ConcludeForNewItem()
{
    if (m_bConcluding)
        return true;
    if (!m_pEditItem)
        return false;
    m_bConcluding = true;
    HideEditor();
    bool bAccepted = true;
    bool bUnchanged = false;
    if (m_pEditItem && IsEditColumnChanged(m_nEditColumn) && Notify(TLN_TEXTCHANGING, m_pEditItem, m_nEditColumn) < 0 &&
        m_pEditItem)
    {
        RestoreEditColumn(m_nEditColumn);
        bAccepted = false;
    }
    else if (m_pEditItem)
    {
        int nChanged = GetFirstChangedColumn();
        bUnchanged = nChanged < 0;
        if (nChanged >= 0 && Notify(TLN_ITEMCHANGING, m_pEditItem, 0) < 0 && m_pEditItem)
        {
            RestoreEditTexts();
            bAccepted = false;
        }
    }
    if (m_pEditItem)
        FinishEdit(bUnchanged);
    m_bConcluding = false;
    Redraw();
    return bAccepted;
}

void CTreeListCore::DropEdit()
{
    CString strText;
    HideEditorWindow(strText);
    ResetEdit();
}

// ---- dragging ----------------------------------------------------------------

int CTreeListCore::QueryDrop(CTreeListCore* pSource, CTreeListItem* pItem)
{
    if (pSource == this)
    {
        if (!(m_dwStyle & TLC_DROP) || !(m_dwStyle & TLC_DROPTHIS))
            return TLD_NOCHANGE;
        if (pItem)
        {
            if (pItem->IsSelected())
                return TLD_NOCHANGE;
            // into the subtree of a dragged item
            if (m_pSelectItem)
            {
                for (CTreeListItem* p = pItem; p && p != m_pRootItem; p = p->m_pParent)
                {
                    if (p->m_nLevel == m_pSelectItem->m_nLevel && p->IsSelected())
                        return TLD_NOCHANGE;
                }
            }
            return NotifyDrag(TLN_DRAGOVER, pSource, pItem) < 0 ? TLD_NONE : TLD_ONITEM;
        }
        if (m_dwStyle & TLC_DROPROOT)
            return m_pSelectItem && m_pSelectItem->m_pParent != m_pRootItem ? TLD_TOROOT : TLD_NOCHANGE;
        return TLD_NOCHANGE;
    }
    if (!(m_dwStyle & TLC_DROP))
        return TLD_NONE;
    if (pItem)
        return NotifyDrag(TLN_DRAGOVER, pSource, pItem) < 0 ? TLD_NONE : TLD_ONITEM;
    return (m_dwStyle & TLC_DROPROOT) ? TLD_TOROOT : TLD_NONE;
}

int CTreeListCore::HoverScrollDirection(int nRow, int nTopRow, int nAreaHeight, int nRowHeight)
{
    if (nRow <= 0 || nRowHeight <= 0)
        return 0;
    if (nRow == nTopRow)
        return -1;
    if (nRow >= nTopRow + (nAreaHeight - 1) / nRowHeight)
        return 1;
    return 0;
}

bool CTreeListCore::GetColumnDropPosition(int x, int& nAfter) const
{
    bool bFound = false;
    int nBest = 0;
    auto consider = [&](int nColumn, int nDistance)
    {
        if (!bFound || nDistance < nBest)
        {
            bFound = true;
            nBest = nDistance;
            nAfter = nColumn;
        }
    };
    if (m_arShows.empty())
        return false;
    // Beyond either end of the header the column goes first or last.
    int nFirstWidth = m_arColumns[m_arShows[0]]->m_nWidth;
    if (x <= std::max(16, nFirstWidth / 2))
        consider(-1, std::abs(x));
    int R = 0;
    for (size_t i = 0; i < m_arShows.size(); ++i)
    {
        int w = m_arColumns[m_arShows[i]]->m_nWidth;
        R += w;
        bool bLast = i + 1 == m_arShows.size();
        int nNext = bLast ? 0 : std::max(16, m_arColumns[m_arShows[i + 1]]->m_nWidth / 2);
        if (x >= R - std::max(16, w / 2) && (bLast || x <= R + nNext))
            consider(m_arShows[i], std::abs(x - R));
    }
    return bFound;
}

void CTreeListCore::MoveColumn(int nColumn, int nAfter)
{
    auto it = std::find(m_arShows.begin(), m_arShows.end(), nColumn);
    if (nColumn == nAfter || it == m_arShows.end() || (nAfter >= 0 && !IsColumnDisplayed(nAfter)))
        return;
    m_arShows.erase(it);
    auto place = m_arShows.begin();
    if (nAfter >= 0)
        place = std::find(m_arShows.begin(), m_arShows.end(), nAfter) + 1;
    m_arShows.insert(place, nColumn);
    OnTreeChanged();
}
