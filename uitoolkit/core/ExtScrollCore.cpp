#include "uitoolkit/core/ExtScrollCore.h"

#include "uitoolkit/core/ExtColorMath.h"

#include <climits>
#include <cstdlib>

namespace kxscroll
{

int OrientationFromStyle(DWORD dwStyle)
{
    if ((dwStyle & StyleVert) == 0)
        return (dwStyle & StyleAlignStart) != 0 ? OrientationTop : OrientationBottom;
    return (dwStyle & StyleAlignStart) != 0 ? OrientationLeft : OrientationRight;
}

BYTE CornerFlagFor(int nOrientation, int nOtherOrientation)
{
    if (IsHorizontal(nOrientation))
    {
        if (nOtherOrientation == OrientationLeft)
            return BarCornerAtStart;
        if (nOtherOrientation == OrientationRight)
            return BarCornerAtEnd;
        return 0;
    }
    if (nOtherOrientation == OrientationTop)
        return BarCornerAtStart;
    if (nOtherOrientation == OrientationBottom)
        return BarCornerAtEnd;
    return 0;
}

namespace
{

// Buddies along a horizontal bar keep their width and take the bar's height.
void FitHorizontalBuddies(CRect& rcBar, int nArrowSpan, BarBuddy& startBuddy, BarBuddy& endBuddy)
{
    if (endBuddy.bTakesPart)
    {
        CRect& rc = endBuddy.rcNew;
        rc.SetRect(rcBar.right - endBuddy.rcCurrent.Width(), rcBar.top, rcBar.right,
                   rcBar.top + endBuddy.rcCurrent.Height());
        if (rc.left <= rcBar.left + nArrowSpan)
            endBuddy.bHide = true;
        else
        {
            rc.bottom = rc.top + rcBar.Height();
            rcBar.right = rc.left;
        }
    }
    if (startBuddy.bTakesPart)
    {
        CRect& rc = startBuddy.rcNew;
        rc.SetRect(rcBar.left, rcBar.top, rcBar.left + startBuddy.rcCurrent.Width(),
                   rcBar.top + startBuddy.rcCurrent.Height());
        if (rc.right >= rcBar.right - nArrowSpan)
            startBuddy.bHide = true;
        else
        {
            rc.bottom = rc.top + rcBar.Height();
            rcBar.left = rc.right;
        }
    }
}

// Buddies along a vertical bar keep their height and take the bar's width.
void FitVerticalBuddies(CRect& rcBar, int nArrowSpan, BarBuddy& startBuddy, BarBuddy& endBuddy)
{
    if (endBuddy.bTakesPart)
    {
        CRect& rc = endBuddy.rcNew;
        rc.SetRect(rcBar.left, rcBar.bottom - endBuddy.rcCurrent.Height(), rcBar.left + endBuddy.rcCurrent.Width(),
                   rcBar.bottom);
        if (rc.top <= rcBar.top + nArrowSpan)
            endBuddy.bHide = true;
        else
        {
            rc.right = rc.left + rcBar.Width();
            rcBar.bottom = rc.top;
        }
    }
    if (startBuddy.bTakesPart)
    {
        CRect& rc = startBuddy.rcNew;
        rc.SetRect(rcBar.left, rcBar.top, rcBar.left + startBuddy.rcCurrent.Width(),
                   rcBar.top + startBuddy.rcCurrent.Height());
        if (rc.bottom >= rcBar.bottom - nArrowSpan)
            startBuddy.bHide = true;
        else
        {
            rc.right = rc.left + rcBar.Width();
            rcBar.top = rc.bottom;
        }
    }
}

} // namespace

CRect LayoutBar(int nOrientation, BYTE nFlags, const BarMetrics& metrics, CRect& rcRemaining, CSize& sizeTotal,
                BarBuddy& startBuddy, BarBuddy& endBuddy)
{
    startBuddy.rcNew = startBuddy.rcCurrent;
    startBuddy.bHide = false;
    endBuddy.rcNew = endBuddy.rcCurrent;
    endBuddy.bHide = false;

    CRect rcBar = rcRemaining;
    switch (nOrientation)
    {
    case OrientationTop:
        rcRemaining.top += metrics.nHorzThickness;
        rcBar.bottom = rcRemaining.top;
        sizeTotal.cy += metrics.nHorzThickness;
        break;
    case OrientationBottom:
        rcRemaining.bottom -= metrics.nHorzThickness;
        rcBar.top = rcRemaining.bottom;
        sizeTotal.cy += metrics.nHorzThickness;
        break;
    case OrientationLeft:
        rcRemaining.left += metrics.nVertThickness;
        rcBar.right = rcRemaining.left;
        sizeTotal.cx += metrics.nVertThickness;
        break;
    default:
        rcRemaining.right -= metrics.nVertThickness;
        rcBar.left = rcRemaining.right;
        sizeTotal.cx += metrics.nVertThickness;
        break;
    }

    if (IsHorizontal(nOrientation))
    {
        if ((nFlags & BarCornerAtStart) != 0)
            rcBar.left += metrics.nVertThickness;
        if ((nFlags & BarCornerAtEnd) != 0)
            rcBar.right -= metrics.nVertThickness;
        FitHorizontalBuddies(rcBar, 2 * metrics.nHorzArrow, startBuddy, endBuddy);
    }
    else
    {
        if ((nFlags & BarCornerAtStart) != 0)
            rcBar.top += metrics.nHorzThickness;
        if ((nFlags & BarCornerAtEnd) != 0)
            rcBar.bottom -= metrics.nHorzThickness;
        // a left bar leaves its buddies where they are
        if (nOrientation == OrientationRight)
            FitVerticalBuddies(rcBar, 2 * metrics.nVertArrow, startBuddy, endBuddy);
    }
    return rcBar;
}

BarState ComputeBarState(CSize sizeTotal, CSize sizeClient, CSize sizeBars, CPoint ptPosition, bool bInsideClient)
{
    BarState state;
    state.range = CSize(sizeTotal.cx - sizeClient.cx, sizeTotal.cy - sizeClient.cy);
    state.move = ptPosition;
    state.bNeedHorz = state.range.cx > 0;
    if (!state.bNeedHorz)
        state.move.x = 0;
    else if (bInsideClient)
        state.range.cy += sizeBars.cy;
    state.bNeedVert = state.range.cy > 0;
    if (!state.bNeedVert)
        state.move.y = 0;
    else if (bInsideClient)
        state.range.cx += sizeBars.cx;
    // the vertical bar's width may leave too little room for the width
    if (state.bNeedVert && !state.bNeedHorz && state.range.cx > 0)
    {
        state.bNeedHorz = true;
        state.range.cy += sizeBars.cy;
    }
    if (state.range.cx > 0 && state.move.x > state.range.cx)
        state.move.x = state.range.cx;
    if (state.range.cy > 0 && state.move.y > state.range.cy)
        state.move.y = state.range.cy;
    return state;
}

int PositionForCode(const CodeInput& in)
{
    switch (in.nCode)
    {
    case CodeLineUp: return in.nPosition - in.nLineBack;
    case CodeLineDown: return in.nPosition + in.nLineForward;
    case CodePageUp: return in.nPosition - in.nPageBack;
    case CodePageDown: return in.nPosition + in.nPageForward;
    case CodeTop: return 0;
    case CodeBottom: return INT_MAX;
    case CodeThumbPosition: return in.nThumb;
    case CodeThumbTrack: return in.bThumbTracking ? in.nThumb : in.nPosition;
    default: return in.nPosition;
    }
}

int ClampScrollPosition(int nPosition, int nDelta, int nLimit)
{
    long long n = static_cast<long long>(nPosition) + nDelta;
    if (n > nLimit)
        n = nLimit;
    if (n < 0)
        n = 0;
    return static_cast<int>(n);
}

int WheelScrollDistance(int nWheelDelta, int nLines, int nLineForward, int nPageBack, int nPageForward)
{
    if (nLines == -1)
        return nWheelDelta > 0 ? -nPageBack : nPageBack;
    const int nSteps = CExtColorMath::MulDivRound(-nWheelDelta, nLines, 120);
    long long nDistance = static_cast<long long>(nSteps) * nLineForward;
    if (std::llabs(nDistance) > nPageForward)
        nDistance = nDistance < 0 ? -nPageForward : nPageForward;
    return static_cast<int>(nDistance);
}

} // namespace kxscroll
