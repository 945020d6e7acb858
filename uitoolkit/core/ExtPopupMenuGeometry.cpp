#include "uitoolkit/core/ExtPopupMenuGeometry.h"

#include <algorithm>

void CExtPopupMenuGeometry::RecalcScrollAreas(const Frame& frame, Areas& areas)
{
    const CRect& c = frame.Client;
    const int b = frame.Border;
    const int h = frame.ExpandButtonHeight;
    const int t = frame.TearOffHeight;
    const int l = frame.LeftAreaWidth;
    if (frame.ExpandShown)
    {
        areas.ExpandButton.SetRect(c.left + b + l, c.bottom - b - h, c.right - b, c.bottom - b);
        areas.ExpandButton.OffsetRect(0, -1);
    }
    if (frame.Scrollable)
    {
        areas.ScrollTop.SetRect(c.left + b + l + 1, c.top + b, c.right - b - 1, c.top + b + h);
        areas.ScrollBottom.SetRect(c.left + b + l + 1, c.bottom - b - h, c.right - b - 1, c.bottom - b);
        areas.ScrollBottom.OffsetRect(0, -(frame.ExpandShown ? h : 0) - 1);
        areas.ScrollTop.OffsetRect(0, 1 + t);
    }
    if (t > 0)
    {
        areas.TearOffCaption.SetRect(c.left + b + l + 1, c.top + b, c.right - b - 1, c.top + b + t);
        areas.TearOffCaption.OffsetRect(0, 1);
    }
}

CRect CExtPopupMenuGeometry::SpecialRect(const Frame& frame, const Areas& areas, int nIndex, bool bInner)
{
    CRect r;
    if (frame.Scrollable && nIndex == HitScrollTop)
        return areas.ScrollTop;
    if (frame.Scrollable && nIndex == HitScrollBottom)
        return areas.ScrollBottom;
    if (frame.ExpandShown && nIndex == HitExpandButton)
        r = areas.ExpandButton;
    else if (frame.TearOffHeight > 0 && nIndex == HitTearOffCaption)
        r = areas.TearOffCaption;
    else
        return CRect();
    if (bInner)
        r.DeflateRect(1, 1);
    return r;
}

CRect CExtPopupMenuGeometry::ItemRect(const Frame& frame, const std::vector<Item>& items, int nIndex, bool bInner)
{
    const int nCount = static_cast<int>(items.size());
    if (nIndex < 0 || nIndex >= nCount || !items[nIndex].Displayed)
        return CRect();
    const Item& item = items[nIndex];
    const int b = frame.Border;
    int y = frame.ScrollOffset + b;
    for (int i = 0; i < nIndex; ++i)
        if (items[i].Displayed)
            y += items[i].Height + items[i].MarginTop + items[i].MarginBottom;
    // the last item of the menu leaves no gap below itself
    const int nMarginBottom = item.MarginBottom - (nIndex == nCount - 1 ? 1 : 0);
    CRect r(b, y + 1, item.ToolButton ? b + item.FullWidth : frame.ContentWidth + b, 0);
    r.bottom = r.top + item.Height + item.MarginTop + nMarginBottom;
    if (bInner)
    {
        r.left += item.MarginLeft;
        r.right -= item.MarginRight;
        r.top += item.MarginTop;
        r.bottom -= nMarginBottom;
    }
    r.OffsetRect(frame.Client.left + frame.LeftAreaWidth, frame.Client.top + frame.TearOffHeight);
    return r;
}

bool CExtPopupMenuGeometry::EndsPaletteRow(const std::vector<Item>& items, int nIndex)
{
    const int nCount = static_cast<int>(items.size());
    if (nIndex < 0 || nIndex >= nCount)
        return false;
    return items[nIndex].Wrap || (nIndex + 1 < nCount && items[nIndex + 1].Separator);
}

CRect CExtPopupMenuGeometry::ItemRectPalette(const Frame& frame, const std::vector<Item>& items, int nIndex,
                                             int nSeparatorHeight)
{
    const int nCount = static_cast<int>(items.size());
    if (nIndex < 0 || nIndex >= nCount || !items[nIndex].Displayed)
        return CRect();
    const Item& item = items[nIndex];
    CRect c(frame.Client);
    c.left += frame.LeftAreaWidth;
    const int b = frame.Border;
    const int x0 = b + 2;
    int y = frame.ScrollOffset + b;
    int x = x0;
    int nRowHeight = 0;
    for (int i = 0; i < nIndex; ++i)
    {
        const Item& prev = items[i];
        if (!prev.Displayed)
            continue;
        nRowHeight = std::max<int>(nRowHeight, prev.Height);
        if (prev.Separator || EndsPaletteRow(items, i))
        {
            y += nRowHeight;
            x = x0;
            nRowHeight = 0;
            if (prev.Separator)
                y += nSeparatorHeight + 3;
            continue;
        }
        x += prev.Width + 2;
        if (prev.InplaceEdit)
            x += i == 0 ? 3 : 6;
    }
    if (item.Separator)
    {
        CRect r(c.left + b + 2, c.top + y + 3, c.right - b - 2, 0);
        r.bottom = r.top + nSeparatorHeight + 3;
        r.OffsetRect(0, frame.TearOffHeight);
        return r;
    }
    CRect r(x + (item.InplaceEdit && nIndex > 0 ? 3 : 0), y + 2, 0, 0);
    r.right = r.left + item.FullWidth;
    r.bottom = r.top + item.Height;

    // the tallest item of the row, from its first item to the one ending it
    int nFirst = nIndex;
    while (nFirst > 0 && !items[nFirst - 1].Separator &&
           !(items[nFirst - 1].Displayed && EndsPaletteRow(items, nFirst - 1)))
        --nFirst;
    int nTallest = 0;
    for (int i = nFirst; i < nCount && !items[i].Separator; ++i)
    {
        if (!items[i].Displayed)
            continue;
        nTallest = std::max<int>(nTallest, items[i].Height);
        if (EndsPaletteRow(items, i))
            break;
    }
    if (nTallest > 0)
        r.OffsetRect(0, (nTallest - item.Height) / 2);
    r.OffsetRect(c.left, c.top + frame.TearOffHeight);
    return r;
}

int CExtPopupMenuGeometry::HitTest(const Frame& frame, const Areas& areas, POINT pt, int nScrollPosMin,
                                   bool bNoHookOrHelp, int nItemCount, const std::function<CRect(int)>& itemRect)
{
    if (!frame.Client.PtInRect(pt))
        return HitNothing;
    if (frame.Scrollable)
    {
        if (frame.ScrollOffset != 0 && areas.ScrollTop.PtInRect(pt))
            return HitScrollTop;
        if (frame.ScrollOffset != nScrollPosMin && areas.ScrollBottom.PtInRect(pt))
            return HitScrollBottom;
    }
    if (SpecialRect(frame, areas, HitExpandButton, true).PtInRect(pt))
        return HitExpandButton;
    if (SpecialRect(frame, areas, HitTearOffCaption, true).PtInRect(pt))
        return bNoHookOrHelp ? HitNothing : HitTearOffCaption;
    for (int i = 0; i < nItemCount; ++i)
        if (itemRect(i).PtInRect(pt))
            return i;
    return HitNothing;
}

void CExtPopupMenuGeometry::GroupRarelyUsed(int nCount, const std::function<int&(int)>& flagsOf, bool bNoHookTracking)
{
    for (int i = 0; i < nCount; ++i)
    {
        int& nFlags = flagsOf(i);
        if (i > 0 && (flagsOf(i - 1) & VisibleRarely) != 0)
            nFlags |= VisibleRarelyPrev;
        if (i + 1 < nCount && (flagsOf(i + 1) & VisibleRarely) != 0)
            nFlags |= VisibleRarelyNext;
        const int nBoth = VisibleSeparator | VisibleRarelyPrev | VisibleRarelyNext;
        if (!bNoHookTracking && (nFlags & nBoth) == nBoth)
        {
            nFlags |= VisibleRarely;
            flagsOf(i - 1) |= VisibleRarelyNext;
            flagsOf(i + 1) |= VisibleRarelyPrev;
        }
    }
}

std::vector<CRect> CExtPopupMenuGeometry::ItemClipExclusions(const Frame& frame, const Areas& areas,
                                                             const RECT& rcWindow, int nScrollPosMin)
{
    std::vector<CRect> bands;
    const auto exclude = [&bands, &rcWindow](CRect r, int nGrow)
    {
        bands.push_back(r);
        bands.emplace_back(rcWindow.left, r.top - nGrow, rcWindow.right, r.bottom + nGrow);
    };
    if (frame.ExpandShown)
        exclude(SpecialRect(frame, areas, HitExpandButton, false), 0);
    if (frame.TearOffHeight > 0)
        exclude(SpecialRect(frame, areas, HitTearOffCaption, false), 0);
    if (frame.Scrollable && frame.ScrollOffset != 0)
        exclude(SpecialRect(frame, areas, HitScrollTop, true), 1);
    if (frame.Scrollable && frame.ScrollOffset != nScrollPosMin)
        exclude(SpecialRect(frame, areas, HitScrollBottom, true), 1);
    const CRect& c = frame.Client;
    const int b = frame.Border;
    if (c.top >= rcWindow.top)
        bands.emplace_back(rcWindow.left, rcWindow.top, rcWindow.right, c.top + b);
    if (c.bottom <= rcWindow.bottom)
        bands.emplace_back(rcWindow.left, c.bottom - b, rcWindow.right, rcWindow.bottom);
    return bands;
}
