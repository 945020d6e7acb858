#include "controls/treelist/core/TreeListItem.h"

CTreeListItem::CTreeListItem(int nSubItems) : m_arSubItems(nSubItems > 0 ? nSubItems : 0)
{
}

void CTreeListItem::SetState(DWORD dwAdd, DWORD dwRemove)
{
    if (dwAdd & TLIS_EXPANDED)
        dwAdd |= TLIS_CHILDRENKNOWN;
    if (dwRemove & TLIS_CHILDRENKNOWN)
        dwRemove |= TLIS_EXPANDED;
    m_dwState = (m_dwState | dwAdd) & ~dwRemove;
}

void CTreeListItem::SetSelected(bool bSelected)
{
    if (bSelected)
        m_dwState |= TLIS_SELECTED;
    else
        m_dwState &= ~TLIS_SELECTED;
}

static int TriState(DWORD dwState, DWORD dwOn, DWORD dwOff)
{
    if ((dwState & (dwOn | dwOff)) == (dwOn | dwOff))
        return 2;
    return (dwState & dwOn) ? 1 : 0;
}

int CTreeListItem::GetCheck() const
{
    return TriState(m_dwState, TLIS_CHECKED, TLIS_UNCHECKED);
}

void CTreeListItem::SetCheck(bool bChecked)
{
    m_dwState = (m_dwState & ~TLIS_CHECKBITS) | (bChecked ? TLIS_CHECKED : TLIS_UNCHECKED);
}

int CTreeListItem::GetLock() const
{
    return TriState(m_dwState, TLIS_LOCKED, TLIS_UNLOCKED);
}

void CTreeListItem::SetLock(bool bLocked)
{
    m_dwState = (m_dwState & ~TLIS_LOCKBITS) | (bLocked ? TLIS_LOCKED : TLIS_UNLOCKED);
}

void CTreeListItem::ShowImage(bool bShow)
{
    if (bShow)
        m_dwState |= TLIS_SHOWIMAGE;
    else
        m_dwState &= ~TLIS_SHOWIMAGE;
}

bool CTreeListItem::SetText(LPCTSTR lpszText, int nColumn)
{
    if (!HasColumn(nColumn))
        return false;
    m_arSubItems[nColumn].m_strText = lpszText ? lpszText : "";
    return true;
}

LPCTSTR CTreeListItem::GetText(int nColumn) const
{
    return HasColumn(nColumn) ? static_cast<LPCTSTR>(m_arSubItems[nColumn].m_strText) : nullptr;
}

bool CTreeListItem::SetTipText(LPCTSTR lpszText, int nColumn)
{
    if (nColumn < 0)
    {
        for (CTreeListSubItem& sub : m_arSubItems)
            sub.m_strTip = lpszText ? lpszText : "";
        return true;
    }
    if (!HasColumn(nColumn))
        return false;
    m_arSubItems[nColumn].m_strTip = lpszText ? lpszText : "";
    return true;
}

CString CTreeListItem::GetTipText(int nColumn) const
{
    return HasColumn(nColumn) ? m_arSubItems[nColumn].m_strTip : CString();
}

bool CTreeListItem::HasTipText(int nColumn) const
{
    return HasColumn(nColumn) && !m_arSubItems[nColumn].m_strTip.IsEmpty();
}

COLORREF CTreeListItem::SetTextColor(COLORREF crColor, int nColumn)
{
    if (nColumn < 0)
    {
        COLORREF crOld = GetTextColor(0);
        for (CTreeListSubItem& sub : m_arSubItems)
            sub.m_crText = crColor;
        return crOld;
    }
    if (!HasColumn(nColumn))
        return TLC_DEFAULT_COLOR;
    COLORREF crOld = m_arSubItems[nColumn].m_crText;
    m_arSubItems[nColumn].m_crText = crColor;
    return crOld;
}

COLORREF CTreeListItem::GetTextColor(int nColumn) const
{
    return HasColumn(nColumn) ? m_arSubItems[nColumn].m_crText : TLC_DEFAULT_COLOR;
}

COLORREF CTreeListItem::GetBkColor(int nColumn) const
{
    return HasColumn(nColumn) ? m_arSubItems[nColumn].m_crBack : TLC_DEFAULT_COLOR;
}

void CTreeListItem::SetImages(int nNormal, int nExpanded, int nSelected, int nExpandedSelected)
{
    m_nImages[0] = nNormal;
    m_nImages[1] = nExpanded;
    m_nImages[2] = nSelected;
    m_nImages[3] = nExpandedSelected;
}

void CTreeListItem::GetImages(int& nNormal, int& nExpanded, int& nSelected, int& nExpandedSelected) const
{
    nNormal = m_nImages[0];
    nExpanded = m_nImages[1];
    nSelected = m_nImages[2];
    nExpandedSelected = m_nImages[3];
}

std::vector<CString> CTreeListColumn::GetChoices() const
{
    std::vector<CString> choices;
    int nStart = 0;
    for (;;)
    {
        int nBar = m_strChoices.Find('|', nStart);
        if (nBar < 0)
        {
            choices.push_back(m_strChoices.Mid(nStart));
            return choices;
        }
        choices.push_back(m_strChoices.Mid(nStart, nBar - nStart));
        nStart = nBar + 1;
    }
}
