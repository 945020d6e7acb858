#include "uitoolkit/core/ExtToolBarLayout.h"

#include <algorithm>

namespace kxtoolbar
{

CString StripMnemonics(const CString& sText)
{
    CString sOut;
    const int nLength = sText.GetLength();
    for (int i = 0; i < nLength; ++i)
    {
        if (sText[i] != '&')
            sOut += sText[i];
        else if (i + 1 < nLength && sText[i + 1] == '&')
        {
            sOut += '&';
            ++i;
        }
    }
    return sOut;
}

CString CutAtTab(const CString& sText)
{
    const int nTab = sText.Find('\t');
    return nTab < 0 ? sText : sText.Left(nTab);
}

CSize MeasureButtonFace(const ButtonFace& face, CSize sizePreCalc, bool bHorz)
{
    CSize size = sizePreCalc;
    if (face.bSeparator)
    {
        (bHorz ? size.cx : size.cy) = kSeparatorExtent;
        return size;
    }
    if (!face.bRegistered)
        return size;
    CSize icon = face.sizeIcon;
    if (face.bLargeIcons)
        icon = CSize(icon.cx * 2, icon.cy * 2);
    CSize content = icon;
    if (face.sizeText.cx > 0 || face.sizeText.cy > 0)
    {
        const CSize& text = face.sizeText;
        // a vertical bar turns its text to run top to bottom
        content = bHorz ? CSize(icon.cx + text.cx + 6, std::max<int>(icon.cy, text.cy))
                        : CSize(std::max<int>(icon.cx, text.cy), icon.cy + text.cx + 3);
    }
    size = CSize(std::max<int>(sizePreCalc.cx, content.cx + 6), std::max<int>(sizePreCalc.cy, content.cy + 6));
    if (face.bArrowPart)
        (bHorz ? size.cx : size.cy) += kArrowPartExtent;
    return size;
}

CSize MeasureChevron(CSize sizePreCalc, bool bHorz)
{
    return bHorz ? CSize(kChevronExtent, sizePreCalc.cy) : CSize(sizePreCalc.cx, kChevronExtent);
}

bool IsSkipped(const CExtToolBarButtons& buttons, int nIndex)
{
    if (buttons.IsHidden(nIndex))
        return true;
    return buttons.IsSeparator(nIndex) && nIndex + 1 < buttons.GetCount() && buttons.IsHidden(nIndex + 1);
}

namespace
{

bool IsChevron(const CExtToolBarButtons& buttons, const BarGeometry& geo, int nIndex)
{
    return geo.bHasChevron && nIndex == buttons.GetCount() - 1;
}

} // namespace

namespace
{

// Sets the wrap flags along rows (bAlongX) or columns within nLimit; the
// number of rows or columns. A panel keeps the breaks it was given;
// elsewhere a separator that does not fit stays at the row's end and the
// next button wraps, and a separator starting a row takes no room.
int WrapAlong(CExtToolBarButtons& buttons, const BarGeometry& geo, int nLimit, bool bWrapping, bool bMeasureHorz,
              bool bAlongX)
{
    const int nCount = buttons.GetCount();
    int nRows = 1, nAt = 0, nPrev = -1;
    for (int i = 0; i < nCount; ++i)
    {
        if (!geo.bPanel)
            buttons.SetWrap(i, false);
        if (IsChevron(buttons, geo, i))
            break;
        if (IsSkipped(buttons, i))
            continue;
        const bool bSeparator = buttons.IsSeparator(i);
        const CSize size = buttons.Measure(i, bMeasureHorz);
        int nExtent = bAlongX ? size.cx : size.cy;
        if (bSeparator && nAt == 0)
            nExtent = 0;
        const bool bBreak = geo.bPanel ? nPrev >= 0 && buttons.GetWrap(nPrev)
                                       : bWrapping && nPrev >= 0 && nAt + nExtent > nLimit && !bSeparator;
        if (bBreak)
        {
            if (!geo.bPanel)
                buttons.SetWrap(nPrev, true);
            ++nRows;
            nAt = 0;
        }
        nAt += nExtent;
        nPrev = i;
    }
    return nRows;
}

} // namespace

int WrapToolBar(CExtToolBarButtons& buttons, const BarGeometry& geo, int nWidth, int nHeight)
{
    const bool bWrapping = geo.bFloating || nHeight == kUnlimited || geo.bMultiRow;
    const int nCount = buttons.GetCount();
    if (!bWrapping && geo.bHorz && geo.bHasChevron && !geo.bPanel && nCount > 0)
        nWidth -= buttons.GetStoredSize(nCount - 1).cx;
    return WrapAlong(buttons, geo, nWidth, bWrapping, geo.bHorz || geo.bPanel, true);
}

int WrapToolBarVert(CExtToolBarButtons& buttons, const BarGeometry& geo, int nHeight)
{
    const int nCount = buttons.GetCount();
    if (geo.bHasChevron && !geo.bPanel && nCount > 0)
        nHeight -= buttons.Measure(nCount - 1, geo.bPanel).cy;
    return WrapAlong(buttons, geo, nHeight, true, geo.bPanel, false);
}

CSize CalcSize(CExtToolBarButtons& buttons, const BarGeometry& geo, bool bVertical, bool* pbWrapped)
{
    if (pbWrapped != nullptr)
        *pbWrapped = false;
    const int nCount = buttons.GetCount();
    if (nCount == 0)
        return CSize(kDefaultButtonWidth, kDefaultButtonHeight);
    const int nGap = geo.nRowGap;
    const bool bColumns = bVertical && geo.bMultiRow && !geo.bPanel;
    const bool bSingleColumn = bVertical && !geo.bMultiRow && !geo.bPanel;
    int nMaxWidth = kDefaultButtonWidth, nMaxHeight = kDefaultButtonHeight;
    int nThickness = bColumns ? kDefaultButtonWidth : kDefaultButtonHeight;
    int x = 0, y = 0, nWraps = 0;
    for (int i = 0; i < nCount; ++i)
    {
        if (IsSkipped(buttons, i))
            continue;
        CSize size = buttons.Measure(i, !bVertical || geo.bPanel);
        if (IsChevron(buttons, geo, i) && (geo.bMultiRow || geo.bFloating))
        {
            if (geo.bMultiRow)
            {
                if (bVertical)
                    nMaxHeight += size.cy;
                else
                    nMaxWidth += size.cx;
                if (nWraps > 0 && !geo.bPanel && pbWrapped != nullptr)
                    *pbWrapped = true;
            }
            break;
        }
        const bool bWrap = buttons.GetWrap(i);
        if (bSingleColumn)
        {
            nMaxWidth = std::max<int>(nMaxWidth, size.cx);
            y += size.cy;
            nMaxHeight = std::max(nMaxHeight, y);
            continue;
        }
        if (bColumns)
        {
            if (buttons.IsSeparator(i) && (y == 0 || bWrap))
                size = CSize(0, 0);
            nThickness = std::max<int>(nThickness, size.cx);
            nMaxWidth = std::max<int>(nMaxWidth, x + size.cx);
            y += size.cy;
            nMaxHeight = std::max(nMaxHeight, y);
            if (bWrap)
            {
                x += nThickness + nGap;
                y = 0;
                nThickness = kDefaultButtonWidth;
                ++nWraps;
            }
            continue;
        }
        if (buttons.IsSeparator(i) && (x == 0 || bWrap))
            size = CSize(0, 0);
        nThickness = std::max<int>(nThickness, size.cy);
        nMaxWidth = std::max<int>(nMaxWidth, x + size.cx);
        nMaxHeight = std::max<int>(nMaxHeight, y + size.cy);
        x += size.cx;
        if (bWrap)
        {
            y += nThickness + nGap;
            x = 0;
            nThickness = kDefaultButtonHeight;
            ++nWraps;
        }
    }
    const CRect& b = geo.rcBorders;
    CSize size = bVertical ? CSize(nMaxWidth + 1, nMaxHeight + b.top + b.bottom + nGap)
                           : CSize(nMaxWidth + nGap / 2 + b.left + b.right, nMaxHeight);
    if (geo.bFloating)
        size += CSize(1, 1);
    return size;
}

void SizeToolBar(CExtToolBarButtons& buttons, const BarGeometry& geo, int nLength, bool bVertical)
{
    if (buttons.GetCount() == 0 || geo.bPanel)
        return;
    if (geo.bMultiRow && bVertical)
    {
        // the tallest columns that still fit the length
        for (int h = std::max(nLength - kDefaultButtonHeight, kDefaultButtonHeight); h > 0;
             h -= kDefaultButtonHeight / 2)
        {
            WrapToolBarVert(buttons, geo, h);
            if (CalcSize(buttons, geo, true).cy <= nLength)
                return;
        }
        return;
    }
    if (geo.bMultiRow)
    {
        WrapToolBar(buttons, geo, nLength, kUnlimited);
        return;
    }
    if (!geo.bFloating)
    {
        if (bVertical)
            WrapToolBar(buttons, geo, kUnlimited, nLength);
        else
            WrapToolBar(buttons, geo, nLength, kUnlimited);
        return;
    }
    const int nStep = kDefaultButtonWidth / 2;
    if (bVertical)
    {
        if (nLength >= kUnlimited)
        {
            WrapToolBar(buttons, geo, kUnlimited, kUnlimited);
            return;
        }
        const int nLimit = geo.nWorkAreaWidth + nStep;
        for (int w = nStep;; w += nStep)
        {
            WrapToolBar(buttons, geo, w, kUnlimited);
            const CSize size = CalcSize(buttons, geo, false);
            if (w > nLimit)
                return;
            if (size.cy <= nLength)
            {
                WrapToolBar(buttons, geo, size.cx, kUnlimited);
                return;
            }
        }
    }
    // the smallest width that keeps the row count of the length
    const int nTarget = WrapToolBar(buttons, geo, nLength, kUnlimited);
    int nLo = nStep, nHi = nLength;
    if (WrapToolBar(buttons, geo, nLo, kUnlimited) != nTarget && nLo < nHi)
    {
        while (nLo < nHi)
        {
            const int nMid = (nLo + nHi) / 2;
            if (WrapToolBar(buttons, geo, nMid, kUnlimited) == nTarget)
                nHi = nMid;
            else if (nLo == nMid)
            {
                WrapToolBar(buttons, geo, nHi, kUnlimited);
                break;
            }
            else
                nLo = nMid;
        }
    }
    WrapToolBar(buttons, geo, CalcSize(buttons, geo, false).cx, kUnlimited);
}

namespace
{

struct Entry
{
    CRect rc;
    bool bVisible = false;
    bool bSeparator = false;
};

// Hides the separators that lead or end what is left of a bar that dropped
// buttons, and closes the gap the leading ones leave.
void CloseUpAfterDrops(std::vector<Entry>& entries, bool bHorz)
{
    const int n = static_cast<int>(entries.size());
    int nShift = 0;
    for (int i = 0; i < n; ++i)
    {
        if (!entries[i].bVisible)
            continue;
        if (!entries[i].bSeparator)
            break;
        entries[i].bVisible = false;
        nShift += bHorz ? entries[i].rc.Width() : entries[i].rc.Height();
    }
    for (int i = n - 1; i >= 0; --i)
    {
        if (!entries[i].bVisible)
            continue;
        if (!entries[i].bSeparator)
            break;
        entries[i].bVisible = false;
    }
    for (Entry& e : entries)
        if (e.bVisible)
            e.rc.OffsetRect(bHorz ? -nShift : 0, bHorz ? 0 : -nShift);
}

// A right-to-left row hugs the bar's far end; an MDI document button stays
// at its start.
void AlignRowsRightToLeft(CExtToolBarButtons& buttons, const BarGeometry& geo, bool bWrapping,
                          std::vector<Entry>& entries, int nClientWidth)
{
    const int n = static_cast<int>(entries.size());
    int nFirst = 0, nWidth = 0, nReserved = 0;
    for (int i = 0; i < n; ++i)
    {
        const bool bDoc = buttons.IsMdiDocButton(i) && !buttons.IsMdiRightButton(i);
        if (entries[i].bVisible)
        {
            if (bDoc)
            {
                const int cx = buttons.GetStoredSize(i).cx;
                nReserved = cx == 0 ? 20 : cx;
                nWidth = 0;
                nFirst = i + 1;
            }
            else
                nWidth += buttons.GetStoredSize(i).cx;
        }
        const bool bRowEnd = (bWrapping && buttons.GetWrap(i)) || buttons.IsMdiRightButton(i) || i == n - 1;
        if (!bRowEnd)
            continue;
        const int nShift = nClientWidth - nWidth - nReserved - (geo.bFloating ? 3 : 0);
        for (int j = nFirst; j <= i; ++j)
            if (entries[j].bVisible)
                entries[j].rc.OffsetRect(nShift, 0);
        nFirst = i + 1;
        nWidth = nReserved = 0;
    }
}

// The first separator between two hidden buttons that were not neighbours
// goes between them in the chevron's list.
void AddSeparatorsToHiddenList(const CExtToolBarButtons& buttons, std::vector<int>& arrHidden)
{
    for (size_t k = 0; k + 1 < arrHidden.size(); ++k)
    {
        const int a = arrHidden[k], b = arrHidden[k + 1];
        if (b == a + 1 || buttons.IsSeparator(a) || buttons.IsSeparator(b))
            continue;
        for (int s = a + 1; s < b; ++s)
            if (buttons.IsSeparator(s))
            {
                arrHidden.insert(arrHidden.begin() + static_cast<std::ptrdiff_t>(k) + 1, s);
                ++k;
                break;
            }
    }
}

} // namespace

void ArrangeButtons(CExtToolBarButtons& buttons, const BarGeometry& geo, const CRect& rcClient,
                    std::vector<int>& arrHidden)
{
    arrHidden.clear();
    const int nCount = buttons.GetCount();
    if (nCount == 0)
        return;
    const bool bHorz = geo.bHorz;
    const bool bPanel = geo.bPanel;
    const bool bMulti = geo.bMultiRow;
    // buttons measured and advanced along a row
    const bool bAlongRow = bHorz || bPanel;
    const bool bColumns = bMulti && !bAlongRow;
    const bool bWrapping = geo.bFloating || bMulti || bPanel;
    const CRect& b = geo.rcBorders;
    CRect rc = rcClient;
    rc.DeflateRect(b.left, b.top, b.right, b.bottom);
    CRect rcInner = rc;
    int n = nCount;
    if (geo.bHasChevron)
    {
        n = nCount - 1;
        const CSize size = buttons.Measure(n, bAlongRow);
        if (!geo.bFloating && !bPanel)
        {
            buttons.SetRect(n, bHorz ? CRect(rcInner.right - size.cx, rcInner.top, rcInner.right, rcInner.bottom)
                                     : CRect(rcInner.left, rcInner.bottom - size.cy, rcInner.right, rcInner.bottom));
            buttons.SetVisible(n, true);
            if (bHorz)
                rc.right -= size.cx + geo.nChevronSpacing;
            else
                rc.bottom -= size.cy + geo.nChevronSpacing;
        }
        else
        {
            buttons.SetVisible(n, false);
            buttons.SetRect(n, CRect(rcInner.TopLeft(), size));
            if (nCount == 1)
                return;
        }
    }
    if (bMulti && !geo.bFloating)
    {
        if (bHorz)
            rcInner.top += geo.bThemedBackground ? 1 : 0;
        else
        {
            rcInner.right -= geo.bThemedBackground ? 2 : 1;
            rcInner.top -= 1;
        }
    }

    std::vector<Entry> entries(static_cast<size_t>(n));
    // columns grow from right to left: x is their right edge
    int x = bColumns ? rcInner.right : rcInner.left, y = rcInner.top;
    int nThickness = bColumns ? kDefaultButtonWidth : kDefaultButtonHeight;
    bool bLastWasSeparator = false, bDropped = false;
    for (int i = 0; i < n; ++i)
    {
        Entry& e = entries[static_cast<size_t>(i)];
        e.bSeparator = buttons.IsSeparator(i);
        if (IsSkipped(buttons, i))
            continue;
        buttons.SetInVertBar(i, !bAlongRow);
        if (e.bSeparator && (i == 0 || bLastWasSeparator))
            continue;
        const CSize size = buttons.Measure(i, bAlongRow);
        CRect r(x, y, x + size.cx, y + size.cy);
        nThickness = std::max<int>(nThickness, bColumns ? size.cx : size.cy);
        e.bVisible = true;
        if (bWrapping && buttons.GetWrap(i))
        {
            if (bColumns)
            {
                y = rcInner.top;
                x -= nThickness + geo.nRowGap;
                nThickness = kDefaultButtonWidth;
            }
            else
            {
                x = rcInner.left;
                y += nThickness + geo.nRowGap;
                nThickness = kDefaultButtonHeight;
            }
        }
        else if (!bAlongRow)
        {
            y += size.cy;
            if (!bMulti && y > rc.bottom)
            {
                e.bVisible = false;
                y -= size.cy;
            }
        }
        else
        {
            x += size.cx;
            if (!bMulti && x > rc.right)
            {
                e.bVisible = false;
                x -= size.cx;
            }
        }
        if (!e.bVisible && !geo.bFloating && !bPanel)
            bDropped = true;
        if (bColumns)
            r.OffsetRect(-r.Width(), 0);
        e.rc = r;
        if (e.bVisible)
            bLastWasSeparator = e.bSeparator;
        else if (geo.bHasChevron && !bMulti && !e.bSeparator)
            arrHidden.push_back(i);
    }

    if (bDropped)
        CloseUpAfterDrops(entries, bHorz);
    const bool bRows = (bHorz || geo.bFloating || bPanel) && !bColumns;
    if (bRows && geo.bRightToLeft)
        AlignRowsRightToLeft(buttons, geo, bWrapping, entries, rc.Width());

    // every row takes the thickness of its thickest button
    const auto isRowEnd = [&](int i) { return (bWrapping && buttons.GetWrap(i)) || i == n - 1; };
    int nRows = 0;
    for (int nFirst = 0, i = 0; i < n; ++i)
    {
        if (!isRowEnd(i))
            continue;
        ++nRows;
        int nRowThickness = 0;
        for (int j = nFirst; j <= i; ++j)
        {
            const CSize size = buttons.GetStoredSize(j);
            nRowThickness = std::max<int>(nRowThickness, bRows ? size.cy : size.cx);
        }
        for (int j = nFirst; j <= i; ++j)
        {
            Entry& e = entries[static_cast<size_t>(j)];
            if (!e.bVisible)
                continue;
            if (e.bSeparator)
            {
                if (bRows)
                    e.rc.bottom = e.rc.top + nRowThickness;
                else
                    e.rc.left = e.rc.right - nRowThickness;
            }
            else if (bRows)
                e.rc.OffsetRect(0, (nRowThickness - e.rc.Height()) / 2);
            else
                e.rc.OffsetRect(-((nRowThickness - e.rc.Width()) / 2), 0);
            if (geo.bFloating || bMulti)
                e.rc.OffsetRect(0, 1);
        }
        nFirst = i + 1;
    }

    const bool bSingleDockedRow = nRows == 1 && !geo.bFloating && !bPanel && !bMulti;
    if (bSingleDockedRow)
    {
        // one docked row: centred across the whole client area
        const int nFull = bHorz ? rcClient.Height() : rcClient.Width();
        for (Entry& e : entries)
        {
            if (!e.bVisible)
                continue;
            if (bHorz)
            {
                if (e.bSeparator)
                    e.rc.top = b.top, e.rc.bottom = nFull + b.bottom;
                else
                {
                    const int cy = e.rc.Height();
                    e.rc.top = (nFull - cy) / 2;
                    e.rc.bottom = e.rc.top + cy;
                }
            }
            else if (e.bSeparator)
                e.rc.left = b.left, e.rc.right = nFull + b.right;
            else
            {
                const int cx = e.rc.Width();
                e.rc.left = (nFull - cx) / 2;
                e.rc.right = e.rc.left + cx;
            }
        }
    }
    else if (!bPanel)
    {
        // separators span their whole row
        for (int nFirst = 0, i = 0; i < n; ++i)
        {
            if (!isRowEnd(i))
                continue;
            int nMin = kUnlimited, nMax = -kUnlimited;
            for (int j = nFirst; j <= i; ++j)
            {
                const Entry& e = entries[static_cast<size_t>(j)];
                if (!e.bVisible)
                    continue;
                nMin = std::min<int>(nMin, bHorz ? e.rc.top : e.rc.left);
                nMax = std::max<int>(nMax, bHorz ? e.rc.bottom : e.rc.right);
            }
            for (int j = nFirst; j < i; ++j)
            {
                Entry& e = entries[static_cast<size_t>(j)];
                if (!e.bVisible || !e.bSeparator)
                    continue;
                if (bHorz)
                {
                    const int d = geo.bThemedBackground ? 2 : 1;
                    e.rc.top = nMin - d;
                    e.rc.bottom = nMax + d;
                }
                else
                {
                    e.rc.left = nMin - (geo.bThemedBackground ? 2 : 1);
                    e.rc.right = nMax + (geo.bThemedBackground ? 3 : 2);
                }
            }
            nFirst = i + 1;
        }
    }

    for (int i = 0; i < n; ++i)
    {
        const Entry& e = entries[static_cast<size_t>(i)];
        buttons.SetVisible(i, e.bVisible);
        if (e.bVisible)
            buttons.SetRect(i, e.rc);
    }

    arrHidden.erase(
        std::remove_if(arrHidden.begin(), arrHidden.end(), [&buttons](int i) { return buttons.IsHidden(i); }),
        arrHidden.end());
    if (geo.bHasChevron && !geo.bFloating && !bMulti && !bPanel && arrHidden.size() >= 2)
        AddSeparatorsToHiddenList(buttons, arrHidden);

    if (geo.bFloating)
        return;
    CSize offset = geo.sizeButtonsOffset;
    if (bPanel)
        (bHorz ? offset.cy : offset.cx) += 2;
    if (offset.cx == 0 && offset.cy == 0)
        return;
    for (int i = 0; i < nCount; ++i)
        if (buttons.IsVisible(i) && !buttons.IsHidden(i))
        {
            CRect r = buttons.GetRect(i);
            r.OffsetRect(offset);
            buttons.SetRect(i, r);
        }
}

} // namespace kxtoolbar
