#include "DvdGui/core/MultiSelection.h"

#include <algorithm>

int32_t CMultiSelection::FindSelected(int32_t nFrom, bool bForward) const
{
    const int32_t nNull = GetNullItem();
    for (int32_t n = nFrom; n != nNull; n = bForward ? GetNextItem(n) : GetPrevItem(n))
        if (IsItemSelected(n))
            return n;
    return nNull;
}

void CMultiSelection::OnItemClick(int32_t nItem, bool bCtrl, bool bShift, int x, int y)
{
    const int32_t nNull = GetNullItem();
    // The anchor moves only once the host has let the click happen, so that
    // a refused click keeps everything.
    int32_t nAnchor = nItem;
    if (!m_bMultiSelect)
        bCtrl = bShift = false;
    else if (bShift && m_nAnchor != nNull)
        nAnchor = m_nAnchor;
    if (!m_bMultiSelect && nItem == m_nFocus)
    {
        m_nAnchor = nAnchor;
        EnsureItemVisible(nItem);
        RedrawItems();
        return;
    }
    if (m_bNotify && SendNotify(BLN_SELCHANGING, nItem, x, y) == -1)
        return;
    m_nAnchor = nAnchor;

    if (bCtrl && !bShift)
    {
        bool bSelected = !IsItemSelected(nItem);
        SetItemSelected(nItem, bSelected);
        m_nFocus = bSelected ? nItem : nNull;
    }
    else
    {
        if (!bCtrl)
        {
            for (int32_t n = GetFirstItem(); n != nNull; n = GetNextItem(n))
                if (IsItemSelected(n))
                    SetItemSelected(n, false);
            m_nFocus = nNull;
        }
        int32_t nFrom = m_nAnchor;
        int32_t nTo = nItem;
        if (GetItemOrder(nTo) < GetItemOrder(nFrom))
            std::swap(nFrom, nTo);
        for (int32_t n = nFrom; n != nNull; n = GetNextInRange(n))
        {
            SetItemSelected(n, true);
            if (n == nTo)
                break;
        }
        m_nFocus = nItem;
    }

    if (m_nFocus == nNull)
    {
        m_nFocus = FindSelected(GetNextItem(nItem), true);
        if (m_nFocus == nNull)
            m_nFocus = FindSelected(GetPrevItem(nItem), false);
        if (m_nFocus == nNull)
            m_nFocus = FindSelected(GetFirstItem(), true);
        if (m_nFocus == nNull)
        {
            m_nFocus = m_nCaret;
            if (m_nFocus != nNull)
                SetItemSelected(m_nFocus, true);
        }
    }

    const int32_t nOldCaret = m_nCaret;
    m_nCaret = m_nFocus;
    if (m_nCaret != nNull)
        EnsureItemVisible(m_nCaret);
    if (m_bNotify && m_nCaret != nOldCaret)
        SendNotify(BLN_SELCHANGED, m_nCaret, x, y);
    RedrawItems();
}

void CTileSelection::SetItemSelected(int32_t nItem, bool bSelected)
{
    if (nItem >= 0 && nItem < GetTileCount())
        m_selected[size_t(nItem)] = bSelected;
}

bool CTileSelection::IsItemSelected(int32_t nItem) const
{
    return nItem >= 0 && nItem < GetTileCount() && m_selected[size_t(nItem)];
}

int32_t CTileSelection::GetNextItem(int32_t nItem) const
{
    return nItem >= 0 && nItem + 1 < GetTileCount() ? nItem + 1 : -1;
}

void CTileSelection::ResetTiles(int32_t nTiles)
{
    m_selected.assign(size_t(std::max(nTiles, 0)), false);
    m_nFocus = m_nAnchor = m_nCaret = -1;
}

void CTileSelection::SelectAll()
{
    std::fill(m_selected.begin(), m_selected.end(), true);
}

CTileViewState CTileSelection::GetViewState() const
{
    CTileViewState state;
    state.fFirstVisible = m_fFirstVisible;
    state.positions.push_back(IsItemSelected(m_nAnchor) ? m_nAnchor : -1);
    state.positions.push_back(IsItemSelected(m_nCaret) ? m_nCaret : -1);
    for (int32_t n = 0; n < GetTileCount(); ++n)
        if (m_selected[size_t(n)])
            state.positions.push_back(n);
    return state;
}

void CTileSelection::SetViewState(const CTileViewState& state, bool bNotify)
{
    const std::vector<int32_t>& positions = state.positions;
    if (positions.size() > 2)
    {
        m_nAnchor = m_nCaret = -1;
        size_t nNext = 2;
        for (int32_t n = 0; n < GetTileCount(); ++n)
        {
            bool bSelected = nNext < positions.size() && positions[nNext] == n;
            if (bSelected)
                ++nNext;
            m_selected[size_t(n)] = bSelected;
            if (bSelected && n == positions[0])
                m_nAnchor = n;
            if (bSelected && n == positions[1])
                m_nCaret = n;
        }
        m_nFocus = m_nCaret;
    }
    m_fFirstVisible = state.fFirstVisible;
    if (m_nCaret == -1)
    {
        bool bWasNotifying = m_bNotify;
        m_bNotify = bNotify;
        if (GetTileCount() > 0)
            OnItemClick(0, false, false, 0, 0);
        m_bNotify = bWasNotifying;
    }
    else if (bNotify)
        SendNotify(BLN_SELCHANGED, m_nCaret, 0, 0);
    OnLayout();
}

int32_t TileKeyTarget(ETileKey key, int32_t nCaret, int32_t nTiles)
{
    switch (key)
    {
    case TILEKEY_HOME: return nTiles > 0 ? 0 : -1;
    case TILEKEY_END: return nTiles - 1;
    case TILEKEY_PREV: return nCaret >= 1 ? nCaret - 1 : nCaret;
    case TILEKEY_NEXT: return nCaret + 1 < nTiles ? nCaret + 1 : nCaret;
    }
    return -1;
}
