#include "uitoolkit/core/ExtTabCore.h"

#include <algorithm>

namespace
{

const RECT EmptyRect = {0, 0, 0, 0};

} // namespace

CExtTabCore::Item* CExtTabCore::GetItem(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetItemCount())
        return nullptr;
    return m_items[nIndex].get();
}

LONG_PTR CExtTabCore::GetItemData(int nIndex) const
{
    const Item* pItem = GetItem(nIndex);
    return pItem ? pItem->m_lParam : 0;
}

int CExtTabCore::FindItemIndex(const Item* pItem) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_items[i].get() == pItem)
            return i;
    return -1;
}

int CExtTabCore::FindItemByData(LONG_PTR lParam, int nStartAfter, bool bVisible, bool bHidden) const
{
    for (int i = std::max(nStartAfter + 1, 0); i < GetItemCount(); ++i)
    {
        const Item& item = *m_items[i];
        if (item.m_lParam != lParam)
            continue;
        if (bVisible != bHidden && item.IsVisible() != bVisible)
            continue;
        return i;
    }
    return -1;
}

int CExtTabCore::FindItemByStyle(DWORD dwRequired, DWORD dwExcluded, int nStartAfter) const
{
    for (int i = std::max(nStartAfter + 1, 0); i < GetItemCount(); ++i)
    {
        const DWORD dwStyle = m_items[i]->m_dwStyle;
        if ((dwRequired == 0 || (dwStyle & dwRequired) != 0) && (dwStyle & dwExcluded) == 0)
            return i;
    }
    return -1;
}

void CExtTabCore::GetGroupRange(int nIndex, int& nFirst, int& nLast) const
{
    nFirst = nIndex;
    while (nFirst > 0 && !m_items[nFirst]->IsGroupStart())
        --nFirst;
    nLast = nIndex;
    while (nLast + 1 < GetItemCount() && !m_items[nLast + 1]->IsGroupStart())
        ++nLast;
}

DWORD CExtTabCore::ModifyItemStyle(int nIndex, DWORD dwRemove, DWORD dwAdd)
{
    Item& item = *m_items[nIndex];
    const DWORD dwOld = item.m_dwStyle;
    DWORD dwNew = (dwOld & ~dwRemove) | dwAdd;
    if (dwNew & ItemSelected)
        dwNew |= ItemActiveInGroup;
    item.m_dwStyle = dwNew;
    if ((dwOld ^ dwNew) & ItemHidden)
        m_nVisibleCount += (dwNew & ItemHidden) ? -1 : 1;
    if ((dwNew & ItemActiveInGroup) && !(dwOld & ItemActiveInGroup))
    {
        // Only one member of a group shows its full extent: the one that had
        // it before gives it up.
        bool bCleared = false;
        if (!item.IsGroupStart())
        {
            for (int i = nIndex - 1; i >= 0; --i)
            {
                Item& other = *m_items[i];
                if (other.IsActiveInGroup())
                {
                    other.m_dwStyle &= ~ItemActiveInGroup;
                    bCleared = true;
                    break;
                }
                if (other.IsGroupStart())
                    break;
            }
        }
        for (int i = nIndex + 1; !bCleared && i < GetItemCount(); ++i)
        {
            Item& other = *m_items[i];
            if (other.IsGroupStart())
                break;
            if (other.IsActiveInGroup())
            {
                other.m_dwStyle &= ~ItemActiveInGroup;
                bCleared = true;
            }
        }
    }
    m_bLayoutDirty = true;
    return dwOld;
}

CExtTabCore::Item* CExtTabCore::InsertItem(const CString& sText, SIZE sizeIcon, DWORD dwStyle, int nIndex,
                                           LONG_PTR lParam)
{
    auto pItem = std::make_unique<Item>();
    pItem->m_dwStyle = dwStyle;
    pItem->m_sText = sText;
    pItem->m_sizeIcon = sizeIcon;
    pItem->m_lParam = lParam;
    return InsertItem(std::move(pItem), nIndex);
}

CExtTabCore::Item* CExtTabCore::InsertItem(std::unique_ptr<Item> pItem, int nIndex)
{
    if (nIndex < 0 || nIndex > GetItemCount())
        nIndex = GetItemCount();
    Item* pResult = pItem.get();
    m_items.insert(m_items.begin() + nIndex, std::move(pItem));
    if (m_nSelIndex >= nIndex)
        ++m_nSelIndex;
    if (pResult->IsVisible())
        ++m_nVisibleCount;
    m_bLayoutDirty = true;
    return pResult;
}

int CExtTabCore::DeleteItems(int nIndex, int nCount)
{
    m_bLayoutDirty = true;
    if (nCount <= 0 || m_items.empty() || nIndex < 0 || nIndex >= GetItemCount())
        return 0;
    nCount = std::min(nCount, GetItemCount() - nIndex);
    if (m_nSelIndex >= nIndex + nCount)
        m_nSelIndex -= nCount;
    else if (m_nSelIndex >= nIndex)
        m_nSelIndex = -1;
    for (int i = nIndex; i < nIndex + nCount; ++i)
        if (m_items[i]->IsVisible())
            --m_nVisibleCount;
    m_items.erase(m_items.begin() + nIndex, m_items.begin() + nIndex + nCount);
    return nCount;
}

void CExtTabCore::DeleteAllItems()
{
    if (m_items.empty())
        return;
    m_items.clear();
    m_bLayoutDirty = true;
    m_nVisibleCount = 0;
    m_nSelIndex = -1;
}

int CExtTabCore::SelectItem(int nIndex, bool* pbAccepted)
{
    const int nOld = m_nSelIndex;
    const int nNew = (nIndex < 0 || nIndex >= GetItemCount()) ? -1 : nIndex;
    bool bAccepted = OnSelectionChange(nOld, nNew, true);
    if (bAccepted)
    {
        m_nSelIndex = nNew;
        if (nOld >= 0)
            ModifyItemStyle(nOld, ItemSelected, 0);
        if (nNew >= 0)
            ModifyItemStyle(nNew, 0, ItemSelected);
        bAccepted = OnSelectionChange(nOld, nNew, false);
    }
    if (pbAccepted != nullptr)
        *pbAccepted = bAccepted;
    return nOld;
}

bool CExtTabCore::OnSelectionChange(int /*nOld*/, int nNew, bool bBefore)
{
    return !(bBefore && nNew >= 0 && !m_items[nNew]->IsEnabled());
}

bool CExtTabCore::EnsureVisible(int nIndex)
{
    m_bLayoutDirty = true;
    if (!IsScrollAvailable())
        return true;
    const Item* pItem = GetItem(nIndex);
    if (pItem == nullptr || !pItem->IsVisible())
        return false;
    const bool bHorz = IsHorizontal();
    const int nNear = (bHorz ? pItem->m_rc.left : pItem->m_rc.top) - m_nScrollPos;
    const int nFar = (bHorz ? pItem->m_rc.right : pItem->m_rc.bottom) - m_nScrollPos;
    const int nSpan =
        (bHorz ? m_rcItems.right - m_rcItems.left : m_rcItems.bottom - m_rcItems.top) + g_nEnsureVisibleSlack;
    if (nFar > nSpan)
    {
        m_nScrollPos += nFar - nSpan;
        m_nScrollPos += std::min(m_nScrollMax - m_nScrollPos, g_nEnsureVisibleSlack);
    }
    if (nNear < 0)
    {
        m_nScrollPos += nNear;
        m_nScrollPos -= std::min(m_nScrollPos, g_nEnsureVisibleSlack);
    }
    m_nScrollPos = std::min(m_nScrollPos, m_nScrollMax);
    return true;
}

void CExtTabCore::SetScrollPosition(int nPos)
{
    m_nScrollPos = std::clamp(nPos, 0, m_nScrollMax);
    m_bLayoutDirty = true;
}

DWORD CExtTabCore::ModifyTabWndStyle(DWORD dwRemove, DWORD dwAdd)
{
    const DWORD dwOld = m_dwTabStyle;
    m_dwTabStyle = (dwOld & ~dwRemove) | dwAdd;
    if (m_dwTabStyle & StyleFit)
        m_nScrollPos = 0;
    m_bLayoutDirty = true;
    return dwOld;
}

CExtTabCore::Margins CExtTabCore::GetMarginMetrics() const
{
    return {4, 2, (m_dwTabStyle & StyleGroups) ? 0 : 2};
}

void CExtTabCore::AdjustItemSize(int /*nIndex*/, SIZE& /*size*/)
{
}

int CExtTabCore::PartButtonSide(int nSmallCaptionSide)
{
    return std::max(nSmallCaptionSide + 1, 12);
}

SIZE CExtTabCore::MeasureItem(int nIndex)
{
    Item& item = *m_items[nIndex];
    const int nOrientation = GetOrientation();
    const CString sText = QueryItemText(nIndex);
    item.m_sizeIcon = QueryItemIconSize(nIndex);
    item.m_sizeText = MeasureText(
        sText, item.IsSelected() && (m_dwTabStyle & StyleBoldSelected) && !(m_dwTabStyle & StyleGroups), nOrientation);
    if (m_dwTabStyle & StyleDualFont)
    {
        const bool bOtherBold =
            !item.IsSelected() && (m_dwTabStyle & StyleBoldSelected) && !(m_dwTabStyle & StyleGroups);
        const SIZE other = MeasureText(sText, bOtherBold, OrientationTop);
        item.m_sizeText.cx = std::max(item.m_sizeText.cx, other.cx);
        item.m_sizeText.cy = std::max(item.m_sizeText.cy, other.cy);
    }
    const SIZE& icon = item.m_sizeIcon;
    SIZE size;
    if (IsHorizontal())
    {
        size.cx = std::max<LONG>(item.m_sizeText.cx + icon.cx + (icon.cx >= 1 ? 3 : 0) + 7, 24);
        size.cy = std::max<LONG>(std::max(icon.cy, item.m_sizeText.cy) + 4, 20);
    }
    else
    {
        item.m_sizeText.cx += 10;
        item.m_sizeText.cy += 2;
        size.cx = std::max<LONG>(std::max(icon.cx, item.m_sizeText.cy) + 4, 20);
        size.cy = std::max<LONG>((icon.cy >= 1 ? 3 : 0) + icon.cy + item.m_sizeText.cx + 7, 24);
    }
    AdjustItemSize(nIndex, size);
    item.m_size = size;
    return size;
}

bool CExtTabCore::ShowsScrollButtons() const
{
    if (m_dwTabStyle & StyleFit)
        return false;
    return IsScrollAvailable() || !(m_dwTabStyle & (StyleHideIdleScroll | StyleMultiRow));
}

int CExtTabCore::CalcPartButtonsExtent(int nExtent, int nGap) const
{
    int nButtons = 0;
    int nResult = 0;
    if (m_dwTabStyle & StyleClose)
        nResult += nExtent + 2 * nGap;
    for (DWORD dwButton : {StyleTabList, StyleHelp})
        if (m_dwTabStyle & dwButton)
            ++nButtons;
    if (!(m_dwTabStyle & (StyleFit | StyleMultiRow)))
    {
        // Reserved even while the buttons are hidden, so the strip keeps its
        // length when scrolling becomes possible.
        nButtons += 2;
        for (DWORD dwButton : {StyleHome, StyleEnd})
            if (m_dwTabStyle & dwButton)
                ++nButtons;
    }
    nResult += nButtons * (nExtent + nGap);
    if (!(m_dwTabStyle & StyleClose) && nButtons > 0)
        nResult += nGap;
    return nResult;
}

void CExtTabCore::LayoutPartButtons(const RECT& rcFirst, int nExtent, int nGap)
{
    for (RECT& rc : m_rcParts)
        rc = EmptyRect;
    m_dwTabStyle &= ~(StylePreviousEnabled | StyleNextEnabled | StyleHomeEnabled | StyleEndEnabled);
    const bool bHorz = IsHorizontal();
    RECT rc = rcFirst;
    auto place = [&](int nPart)
    {
        m_rcParts[nPart] = rc;
        const int nStep = nExtent + nGap;
        if (bHorz)
            rc.left -= nStep, rc.right -= nStep;
        else
            rc.top -= nStep, rc.bottom -= nStep;
    };
    if (m_dwTabStyle & StyleClose)
        place(PartClose);
    if (m_dwTabStyle & StyleTabList)
        place(PartTabList);
    if (m_dwTabStyle & StyleHelp)
        place(PartHelp);
    if (ShowsScrollButtons())
    {
        const bool bMultiRow = (m_dwTabStyle & StyleMultiRow) != 0;
        if ((m_dwTabStyle & StyleEnd) && !bMultiRow)
            place(PartEnd);
        place(PartNext);
        place(PartPrevious);
        if ((m_dwTabStyle & StyleHome) && !bMultiRow)
            place(PartHome);
    }
    if (IsScrollAvailable())
    {
        if (m_nScrollPos > 0)
            m_dwTabStyle |= StyleHomeEnabled | StylePreviousEnabled;
        if (m_nScrollPos < m_nScrollMax)
            m_dwTabStyle |= StyleEndEnabled | StyleNextEnabled;
    }
}

void CExtTabCore::RecalcLayout(const RECT& L)
{
    if (!m_bLayoutDirty)
        return;
    m_bLayoutDirty = false;
    m_rcItems = m_rcRest = EmptyRect;
    m_nFirstVisible = m_nLastVisible = -1;
    m_bSomeClipped = false;
    if (L.right <= L.left || L.bottom <= L.top)
        return;
    m_rcItems = L;
    const bool bHorz = IsHorizontal();
    const bool bMultiRow = (m_dwTabStyle & StyleMultiRow) != 0;
    const bool bGroups = (m_dwTabStyle & StyleGroups) != 0;
    const bool bNoCollapse = (m_dwTabStyle & StyleGroupsNoCollapse) != 0;
    bool bFit = (m_dwTabStyle & StyleFit) != 0;
    auto along = [bHorz](const SIZE& s) -> LONG { return bHorz ? s.cx : s.cy; };
    auto across = [bHorz](const SIZE& s) -> LONG { return bHorz ? s.cy : s.cx; };

    const int nRowGap = bMultiRow ? GetRowGap() : 0;
    int nRowLimit = 0;
    m_nTotalExtent = m_nScrollMax = 0;
    if (bMultiRow)
    {
        const SIZE sizeButton = GetPartButtonSize(20);
        const int nButtons = CalcPartButtonsExtent(along(sizeButton), 2);
        if (bHorz)
            m_rcItems.bottom = m_rcItems.top;
        else
            m_rcItems.right = m_rcItems.left;
        nRowLimit = (bHorz ? L.right - L.left : L.bottom - L.top) - nButtons;
        if (bGroups)
            bFit = false;
    }
    else if (bGroups)
    {
        m_nTotalExtent = m_nScrollMax = 10;
        bFit = false;
    }

    int nCross = 0;
    int nCounted = 0;
    int nRowUsed = 0, nRowHeight = 0, nPrevVisible = -1;
    const int nCount = GetItemCount();
    for (int i = 0; i < nCount; ++i)
    {
        Item& item = *m_items[i];
        item.m_nLayoutFlags &= ~LayoutRowEnd;
        if (!item.IsVisible())
            continue;
        if (!bGroups || bNoCollapse)
        {
            const SIZE size = MeasureItem(i);
            nCross = std::max<int>(nCross, across(size));
            if (bGroups)
            {
                m_nTotalExtent += along(size);
                if (item.IsGroupStart() && nCounted > 0)
                    m_nTotalExtent += g_nGroupGap;
            }
            else if (!bMultiRow)
                m_nTotalExtent += along(size);
            else if (nRowUsed + along(size) <= nRowLimit)
            {
                nRowUsed += along(size);
                nRowHeight = std::max<int>(nRowHeight, across(size));
                m_nTotalExtent = std::max(m_nTotalExtent, nRowHeight);
            }
            else
            {
                nRowHeight = std::max<int>(nRowHeight, across(size));
                (bHorz ? m_rcItems.bottom : m_rcItems.right) += nRowHeight + nRowGap;
                m_nTotalExtent = std::max(m_nTotalExtent, nRowHeight + nRowGap);
                m_items[nPrevVisible >= 0 ? nPrevVisible : i]->m_nLayoutFlags |= LayoutRowEnd;
                nRowUsed = along(size);
                nRowHeight = across(size);
            }
            nPrevVisible = i;
            ++nCounted;
            continue;
        }
        // A collapsed group: the active member shows all of itself, the
        // others only their icon.
        int nLast = i;
        while (nLast + 1 < nCount && !m_items[nLast + 1]->IsGroupStart())
            ++nLast;
        int nFull = 0, nShort = 0, nMembers = 0;
        for (int k = i; k <= nLast; ++k)
        {
            Item& member = *m_items[k];
            if (!member.IsVisible())
                continue;
            const SIZE size = MeasureItem(k);
            nFull = std::max<int>(nFull, along(size));
            // the text is measured unrotated: its length is cx on every side
            nShort =
                std::max<int>(nShort, along(size) - (along(member.m_sizeIcon) >= 1 ? 3 : 0) - member.m_sizeText.cx);
            nCross = std::max<int>(nCross, across(size));
            ++nMembers;
        }
        if (item.IsGroupStart() && nCounted > 0)
            m_nTotalExtent += g_nGroupGap;
        m_nTotalExtent += (nMembers - 1) * nShort + nFull;
        for (int k = i; k <= nLast; ++k)
        {
            Item& member = *m_items[k];
            if (!member.IsVisible())
                continue;
            (bHorz ? member.m_size.cx : member.m_size.cy) = member.IsActiveInGroup() ? nFull : nShort;
        }
        nCounted += nMembers;
        i = nLast;
    }
    if (bMultiRow && !bGroups)
    {
        m_nTotalExtent = std::max(m_nTotalExtent, nRowHeight);
        (bHorz ? m_rcItems.bottom : m_rcItems.right) += nRowHeight;
    }

    const Margins margins = GetMarginMetrics();
    const SIZE sizeButton = GetPartButtonSize(nCross);
    const int nButtonExtent = along(sizeButton);
    const int nReserve = margins.nTrail + CalcPartButtonsExtent(nButtonExtent, 2);
    const int nThickness = std::max(nCross, 20);
    int nRowPos;
    if (bMultiRow)
    {
        nRowPos = (bHorz ? L.top : L.left) + margins.nOffset;
        m_nScrollPos = m_nScrollMax = 0;
    }
    else
    {
        switch (GetOrientation())
        {
        case OrientationTop:
            m_rcItems.top = L.top + margins.nOffset;
            m_rcItems.bottom = std::min<LONG>(m_rcItems.top + nThickness, L.bottom);
            if (m_rcItems.bottom < L.bottom)
                m_rcRest = {L.left, m_rcItems.bottom, L.right, L.bottom};
            break;
        case OrientationBottom:
            m_rcItems.bottom = L.bottom - margins.nOffset;
            m_rcItems.top = std::max<LONG>(m_rcItems.bottom - nThickness, L.top);
            if (m_rcItems.top > L.top)
                m_rcRest = {L.left, L.top, L.right, m_rcItems.top};
            break;
        case OrientationLeft:
            m_rcItems.left = L.left + margins.nOffset;
            m_rcItems.right = std::min<LONG>(m_rcItems.left + nThickness, L.right);
            m_rcRest = {m_rcItems.right, L.top, L.right, L.bottom};
            break;
        default:
            m_rcItems.right = L.right - margins.nOffset;
            m_rcItems.left = std::max<LONG>(m_rcItems.right - nThickness, L.left);
            m_rcRest = {L.left, L.top, m_rcItems.left, L.bottom};
            break;
        }
        nRowPos = bHorz ? m_rcItems.top : m_rcItems.left;
    }
    if (bHorz)
        m_rcItems.left += margins.nLead, m_rcItems.right -= nReserve;
    else
        m_rcItems.top += margins.nLead, m_rcItems.bottom -= nReserve;
    const int nStart = bHorz ? m_rcItems.left : m_rcItems.top;
    const int nLength = bHorz ? m_rcItems.right - m_rcItems.left : m_rcItems.bottom - m_rcItems.top;
    if (!bMultiRow)
    {
        m_nScrollMax = std::max(0, m_nTotalExtent - nLength);
        m_nScrollPos = std::min(m_nScrollPos, m_nScrollMax);
    }

    int nEqual = 0;
    if (bFit && m_nVisibleCount > 0 && (IsScrollAvailable() || (m_dwTabStyle & StyleEqualAlways)))
        nEqual = std::max(24, nLength / m_nVisibleCount);

    RECT rcFirst;
    if (bHorz)
    {
        rcFirst.right = L.right - margins.nTrail - 2;
        rcFirst.left = rcFirst.right - sizeButton.cx;
        rcFirst.top = m_rcItems.top + (m_rcItems.bottom - m_rcItems.top - sizeButton.cy) / 2;
        rcFirst.bottom = rcFirst.top + sizeButton.cy;
    }
    else
    {
        rcFirst.bottom = L.bottom - margins.nTrail - 2;
        rcFirst.top = rcFirst.bottom - sizeButton.cy;
        rcFirst.left = m_rcItems.left + (m_rcItems.right - m_rcItems.left - sizeButton.cx) / 2;
        rcFirst.right = rcFirst.left + sizeButton.cx;
    }
    LayoutPartButtons(rcFirst, nButtonExtent, 2);

    auto place = [&](Item& item, int nPos)
    {
        if (bHorz)
            item.m_rc = {nPos, nRowPos, nPos + item.m_size.cx, nRowPos + item.m_size.cy};
        else
            item.m_rc = {nRowPos, nPos, nRowPos + item.m_size.cx, nPos + item.m_size.cy};
    };
    int nPos = 0;
    if (!bMultiRow)
    {
        nCounted = 0;
        for (int i = 0; i < nCount; ++i)
        {
            Item& item = *m_items[i];
            if (!item.IsVisible())
                continue;
            item.m_nLayoutFlags &= ~LayoutClipped;
            if (nEqual > 0)
            {
                LONG& nAlong = bHorz ? item.m_size.cx : item.m_size.cy;
                if (nAlong > nEqual)
                {
                    item.m_nLayoutFlags |= LayoutClipped;
                    m_bSomeClipped = true;
                }
                nAlong = nEqual;
            }
            if (bGroups && item.IsGroupStart() && nCounted > 0)
                nPos += g_nGroupGap;
            place(item, nPos);
            nPos += along(item.m_size);
            ++nCounted;
            const int nShift = nStart - m_nScrollPos;
            const int nNear = (bHorz ? item.m_rc.left : item.m_rc.top) + nShift;
            const int nFar = (bHorz ? item.m_rc.right : item.m_rc.bottom) + nShift;
            if (nFar >= 0 && m_nFirstVisible < 0)
                m_nFirstVisible = i;
            if (nNear <= nLength + 8)
                m_nLastVisible = i;
        }
    }
    else
    {
        int nRowMax = 0;
        for (int i = 0; i < nCount; ++i)
        {
            Item& item = *m_items[i];
            if (item.IsVisible())
            {
                place(item, nPos);
                nPos += along(item.m_size);
                nRowMax = std::max<int>(nRowMax, across(item.m_size));
                if (m_nFirstVisible < 0)
                    m_nFirstVisible = i;
                m_nLastVisible = i;
            }
            if (item.m_nLayoutFlags & LayoutRowEnd)
            {
                nRowPos += nRowMax + nRowGap;
                nPos = nRowMax = 0;
            }
        }
    }
    if (m_nFirstVisible < 0 || m_nLastVisible < 0)
        m_nFirstVisible = m_nLastVisible = -1;
    else if (m_nFirstVisible > m_nLastVisible)
        m_nLastVisible = m_nFirstVisible;
}

int CExtTabCore::HitTest(const RECT& rcClient, POINT pt) const
{
    if (CRect(rcClient).IsRectEmpty() || !CRect(rcClient).PtInRect(pt))
        return HitNone;
    if (CRect(m_rcRest).PtInRect(pt))
        return HitRest;
    static const struct
    {
        int nPart;
        int nHit;
    } parts[] = {{PartPrevious, HitPrevious}, {PartNext, HitNext},   {PartHome, HitHome},      {PartEnd, HitEnd},
                 {PartHelp, HitHelp},         {PartClose, HitClose}, {PartTabList, HitTabList}};
    for (const auto& part : parts)
        if (CRect(m_rcParts[part.nPart]).PtInRect(pt))
            return part.nHit;
    if (!CRect(m_rcItems).PtInRect(pt))
        return HitNone;
    if (m_nVisibleCount == 0 || m_nFirstVisible < 0 || m_nLastVisible >= GetItemCount() ||
        m_nFirstVisible > m_nLastVisible)
        return HitItemsArea;
    if (IsHorizontal())
        pt.x += m_nScrollPos - m_rcItems.left;
    else
        pt.y += m_nScrollPos - m_rcItems.top;
    for (int i = m_nFirstVisible; i <= m_nLastVisible; ++i)
    {
        const Item& item = *m_items[i];
        if (item.IsVisible() && !CRect(item.m_rc).IsRectEmpty() && CRect(item.m_rc).PtInRect(pt))
            return i;
    }
    return HitItemsArea;
}
