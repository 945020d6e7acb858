#include "uitoolkit/core/ExtDockDropZones.h"

#include <algorithm>

namespace kxdock
{

namespace
{

// Caption and edge strips of a target.
const int kZoneStrip = 32;
// The tab of a tabbed-page shape: its inset from the page's edge and width.
const int kTabInset = 8;
const int kTabWidth = 36;
const int kTabBand = 18;
// A docked target splits only for panes no thicker than this.
const int kSplitLimit = 64;

bool InBand(int n, int nFrom, int nTo)
{
    return n >= nFrom && n < nTo;
}

} // namespace

CRect EdgeStrip(const RECT& rc, int nSide, int nDepth)
{
    switch (nSide)
    {
    case SideTop: return CRect(rc.left, rc.top, rc.right, rc.top + nDepth);
    case SideBottom: return CRect(rc.left, rc.bottom - nDepth, rc.right, rc.bottom);
    case SideLeft: return CRect(rc.left, rc.top, rc.left + nDepth, rc.bottom);
    default: return CRect(rc.right - nDepth, rc.top, rc.right, rc.bottom);
    }
}

DropZoneResult CalcTargetZone(const DropZoneInput& in, POINT pt)
{
    DropZoneResult result;
    const CRect& rcF = in.rcTarget;
    if (!rcF.PtInRect(pt))
        return result;
    const bool bHasTabs = !in.rcTabs.IsRectEmpty();
    const bool bTabStrip = in.bTabbing && bHasTabs;
    if (in.bTopBottom)
    {
        int nStripTop = rcF.top;
        if (in.bTabbing)
        {
            if (InBand(pt.y, rcF.top, rcF.top + kZoneStrip))
            {
                result.nKind = bHasTabs ? 28 : 27;
                result.rc = rcF;
                return result;
            }
            nStripTop += kZoneStrip;
        }
        if (!in.bBeside)
        {
            result.bFloat = true;
            return result;
        }
        const int nBottom = bTabStrip ? in.rcTabs.top : rcF.bottom;
        if (!in.bIgnoreTopBottom && InBand(pt.y, nStripTop, nStripTop + kZoneStrip))
        {
            result.nKind = 1;
            result.rc = CRect(rcF.left, rcF.top, rcF.right, rcF.top + rcF.Height() / 2);
        }
        else if (bTabStrip && in.rcTabs.PtInRect(pt))
        {
            result.nKind = 29;
            result.rc = rcF;
            return result;
        }
        else if (!in.bIgnoreTopBottom && InBand(pt.y, nBottom - kZoneStrip, nBottom))
        {
            result.nKind = 2;
            result.rc = CRect(rcF.left, rcF.top + rcF.Height() / 2, rcF.right, nBottom);
        }
        if (result.nKind != 0 && in.bFloating)
        {
            result.rc.left = std::min(rcF.left, in.rcDockBar.left);
            result.rc.right = std::max(rcF.right, in.rcDockBar.right);
        }
    }
    if (result.nKind == 0 && in.bLeftRight && !in.bIgnoreLeftRight)
    {
        if (InBand(pt.x, rcF.left, rcF.left + kZoneStrip))
        {
            result.nKind = 3;
            result.rc = CRect(rcF.left, rcF.top, rcF.left + rcF.Width() / 2, rcF.bottom);
        }
        else if (InBand(pt.x, rcF.right - kZoneStrip, rcF.right))
        {
            result.nKind = 4;
            result.rc = CRect(rcF.right - rcF.Width() / 2, rcF.top, rcF.right, rcF.bottom);
        }
        if (result.nKind != 0 && in.bFloating)
        {
            result.rc.top = std::min(rcF.top, in.rcDockBar.top);
            result.rc.bottom = std::max(rcF.bottom, in.rcDockBar.bottom);
        }
    }
    return result;
}

bool CanSplitTopBottom(const RECT& rcTarget, SIZE szDrag, int nTargetMin, bool bDocked)
{
    const int cx = rcTarget.right - rcTarget.left;
    const int cy = rcTarget.bottom - rcTarget.top;
    if (cx < szDrag.cx)
        return false;
    if (bDocked)
        return szDrag.cy <= kSplitLimit && nTargetMin <= kSplitLimit;
    return cy / 2 >= szDrag.cy && cy / 2 >= nTargetMin;
}

bool CanSplitLeftRight(const RECT& rcTarget, SIZE szDrag, int nTargetMin, bool bDocked)
{
    const int cx = rcTarget.right - rcTarget.left;
    const int cy = rcTarget.bottom - rcTarget.top;
    if (cy < szDrag.cy)
        return false;
    if (bDocked)
        return szDrag.cx <= kSplitLimit && nTargetMin <= kSplitLimit;
    return cx / 2 >= szDrag.cx && cx / 2 >= nTargetMin;
}

int RowResizeThickness(int nCursor, int nStripThickness, bool bAtLeadingSide, int nCurrent, int nMinimal,
                       int nSiteLength)
{
    const int nUpper = nSiteLength - nMinimal;
    if (nUpper < 1)
        return -1;
    const int nHalf = nStripThickness / 2;
    const int nWanted = bAtLeadingSide ? nCursor + nHalf : nCurrent - nCursor + nHalf;
    return std::min(std::max(nWanted, 2 * nMinimal), nUpper);
}

int ClampAdjacentRowDelta(int nDelta, const RowThickness* pAdjacent, int nCount)
{
    for (int i = 0; i < nCount && nDelta < 0; ++i)
        nDelta = std::max(nDelta, -std::max(0, pAdjacent[i].nThickness - pAdjacent[i].nMinimal));
    return nDelta;
}

int InRowResizeExtent(int nCursor, int nStripWidth, bool bFromLeading, int nCurrent, int nMinimal)
{
    const int nWanted = bFromLeading ? nStripWidth / 2 - nCursor + nCurrent : nStripWidth / 2 + nCursor;
    return std::max(nMinimal, nWanted);
}

InRowShares ShareInRowDelta(int nBar, int nBarMinimal, int nNeighbour, int nNeighbourMinimal, bool bHasNeighbour,
                            int nShrink)
{
    InRowShares shares{nBar, nNeighbour};
    if (bHasNeighbour)
    {
        shares.nNeighbour = nNeighbour + nShrink;
        if (shares.nNeighbour < nNeighbourMinimal)
        {
            nShrink += nNeighbourMinimal - shares.nNeighbour;
            shares.nNeighbour = nNeighbourMinimal;
        }
    }
    shares.nBar = std::max(nBarMinimal, nBar - nShrink);
    return shares;
}

int ClampTrackLine(int nPos, int nLow, int nHigh)
{
    return std::min(std::max(nPos, nLow), nHigh);
}

int TabBandHeight(int nHeight)
{
    return nHeight < 2 * kTabBand ? nHeight / 2 : kTabBand;
}

std::array<CRect, 4> TabbedOutlineHoles(const RECT& rc, int cx, int cy, bool bRightToLeft)
{
    const int th = TabBandHeight(rc.bottom - rc.top);
    const int nBandTop = rc.bottom - th;
    CRect rcBody(rc.left + cx, rc.top + cy, rc.right - cx, rc.bottom - cy - th);
    const int nTabLeft = rc.left + kTabInset + cx;
    int nTabWidth = kTabWidth;
    if (nTabLeft + nTabWidth > rc.right - cx)
        nTabWidth = (rc.right - cx - nTabLeft) / 2;
    CRect rcTab(nTabLeft, nBandTop - cy, nTabLeft + nTabWidth, rc.bottom - cy);
    CRect rcLeftBand(rc.left, nBandTop, rc.left + kTabInset, rc.bottom);
    CRect rcRightBand(rcTab.right + cx, nBandTop, rc.right, rc.bottom);
    if (bRightToLeft)
    {
        rcTab.OffsetRect(rc.right - kTabInset - 2 * cx - rcTab.right, 0);
        rcLeftBand.right = rcTab.left - cx;
        rcRightBand.left = rc.right - kTabInset - cx;
    }
    return {rcBody, rcTab, rcLeftBand, rcRightBand};
}

TabbedPageShape TabbedHighlightShape(SIZE szClient, bool bRightToLeft)
{
    const int th = TabBandHeight(szClient.cy);
    TabbedPageShape shape;
    shape.rcBody = CRect(0, 0, szClient.cx, szClient.cy - th);
    int nTabWidth = kTabWidth;
    if (kTabInset + nTabWidth > szClient.cx)
        nTabWidth = (szClient.cx - kTabInset) / 2;
    shape.rcTab = CRect(kTabInset, szClient.cy - th, kTabInset + nTabWidth, szClient.cy);
    if (bRightToLeft)
        shape.rcTab.OffsetRect(szClient.cx - kTabInset - shape.rcTab.right, 0);
    return shape;
}

} // namespace kxdock
