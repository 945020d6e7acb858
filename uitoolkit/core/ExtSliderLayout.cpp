#include "uitoolkit/core/ExtSliderLayout.h"

#include "uitoolkit/core/ExtColorMath.h"

#include <algorithm>

namespace kxtoolbar
{

namespace
{

// The slider mode's thumb length.
constexpr int kSliderThumb = 6;
// The shortest thumb of a scroll bar.
constexpr int kMinThumb = 4;
// A track this long or shorter shows no thumb.
constexpr int kMinTrack = 5;

int MulDiv(int nNumber, int nNumerator, int nDenominator)
{
    return CExtColorMath::MulDivRound(nNumber, nNumerator, nDenominator);
}

} // namespace

UINT GetSliderScrollableRange(const SliderState& state, bool bHorz)
{
    if (state.nTotalRange <= state.nPageSize)
        return 0;
    if (state.ScrollButtonExtent(bHorz) <= 0)
        return state.nTotalRange;
    return state.nTotalRange - state.nPageSize;
}

void CalcSliderParts(const SliderState& state, const CRect& rcButton, bool bHorz, CRect (&parts)[SliderPartCount])
{
    const int nExtent = state.Extent(bHorz);
    CRect& rcLabel = parts[SliderPartLabel];
    CRect& rcSlider = parts[SliderPartSlider];
    rcLabel = rcButton;
    rcSlider = rcButton;
    if (bHorz)
    {
        rcLabel.right -= nExtent;
        rcSlider.left += rcLabel.Width();
    }
    else
    {
        rcLabel.bottom -= nExtent;
        rcSlider.top += rcLabel.Height();
    }
    const int a = state.ScrollButtonExtent(bHorz);
    CRect& rcTrack = parts[SliderPartTrack];
    CRect& rcBack = parts[SliderPartArrowBackward];
    CRect& rcForward = parts[SliderPartArrowForward];
    rcTrack = rcBack = rcForward = rcSlider;
    for (int nPart : {SliderPartPageBackward, SliderPartPageForward, SliderPartThumb})
        parts[nPart].SetRectEmpty();
    if (bHorz)
    {
        rcTrack.DeflateRect(a, 0);
        rcBack.right = rcBack.left + a;
        rcForward.left = rcForward.right - a;
    }
    else
    {
        rcTrack.DeflateRect(0, a);
        rcBack.bottom = rcBack.top + a;
        rcForward.top = rcForward.bottom - a;
    }

    const UINT nRange = GetSliderScrollableRange(state, bHorz);
    int t = 0;
    UINT nPageCount = 0;
    if (nRange > 0 && state.nPageSize == 0)
        t = a != 0 ? a : kSliderThumb;
    if (state.nPageSize != 0 && state.nTotalRange > state.nPageSize)
        nPageCount = state.nTotalRange / state.nPageSize;
    const int nTrack = bHorz ? rcTrack.Width() : rcTrack.Height();
    if (nTrack <= kMinTrack)
        return;
    if (t == 0)
    {
        if (nPageCount == 0)
            return;
        t = MulDiv(nTrack, static_cast<int>(state.nPageSize), static_cast<int>(state.nTotalRange));
        if (t <= 0)
            return;
    }
    t = std::max(t, kMinThumb);

    CRect& rcThumb = parts[SliderPartThumb];
    rcThumb = rcTrack;
    (bHorz ? rcThumb.right : rcThumb.bottom) = (bHorz ? rcThumb.left : rcThumb.top) + t;
    if (nRange == 0)
        return;
    const int nOffset = MulDiv(nTrack - t, static_cast<int>(state.nPos), static_cast<int>(nRange));
    rcThumb.OffsetRect(bHorz ? nOffset : 0, bHorz ? 0 : nOffset);
    if (state.nPos != 0)
    {
        CRect& rcPage = parts[SliderPartPageBackward];
        rcPage = rcTrack;
        (bHorz ? rcPage.right : rcPage.bottom) = bHorz ? rcThumb.left : rcThumb.top;
    }
    if (state.nPos < nRange)
    {
        CRect& rcPage = parts[SliderPartPageForward];
        rcPage = rcTrack;
        (bHorz ? rcPage.left : rcPage.top) = bHorz ? rcThumb.right : rcThumb.bottom;
    }
}

CSize MeasureSliderFace(const ButtonFace& face, const SliderState& state, CSize sizePreCalc, bool bHorz)
{
    if (!face.bRegistered)
        return sizePreCalc;
    const CSize icon = face.bLargeIcons ? CSize(face.sizeIcon.cx * 2, face.sizeIcon.cy * 2) : face.sizeIcon;
    const CSize& text = face.sizeText;
    const bool bText = text.cx > 0 || text.cy > 0;
    CSize size;
    if (bText)
        size = bHorz ? CSize(icon.cx + text.cx + 6 + state.nExtentHorz, std::max<int>(icon.cy, text.cy))
                     : CSize(std::max<int>(icon.cx, text.cy), icon.cy + text.cx + 3 + state.nExtentVert);
    else
        size = bHorz ? CSize(icon.cx + state.nExtentHorz, std::max<int>(icon.cy, kDefaultButtonHeight - 7))
                     : CSize(std::max<int>(icon.cx, kDefaultButtonWidth - 7), icon.cy + state.nExtentVert);
    if (!bText && (icon.cx <= 0 || icon.cy <= 0))
        (bHorz ? size.cy : size.cx) += 4;
    else
    {
        size.cx += 6;
        size.cy += 6;
    }
    return size;
}

int HitTestSliderPress(const CRect (&parts)[SliderPartCount], CPoint pt)
{
    for (int nPart : {SliderPartPageBackward, SliderPartPageForward, SliderPartArrowBackward, SliderPartArrowForward,
                      SliderPartThumb})
        if (!parts[nPart].IsRectEmpty() && parts[nPart].PtInRect(pt))
            return nPart;
    return -1;
}

UINT GetSliderStep(const SliderState& state, int nPart, UINT nRange)
{
    UINT nStep = 0;
    if (nPart == SliderPartPageBackward || nPart == SliderPartPageForward)
        nStep = state.nPageSize != 0 ? state.nPageSize : 1;
    else if (nPart == SliderPartArrowBackward || nPart == SliderPartArrowForward)
        nStep = 1;
    return std::min(nStep, nRange);
}

bool IsSliderStepForward(int nPart)
{
    return nPart == SliderPartPageForward || nPart == SliderPartArrowForward;
}

UINT StepSliderPosition(UINT nPos, UINT nStep, bool bForward, UINT nRange)
{
    if (bForward)
        return nRange - std::min(nPos, nRange) > nStep ? nPos + nStep : nRange;
    return nPos > nStep ? nPos - nStep : 0;
}

bool DragSliderThumb(UINT nPressPos, int nOffset, int nFreeLength, UINT nRange, UINT& nNewPos)
{
    if (nFreeLength <= 0)
        return false;
    const int d = std::clamp(nOffset, -nFreeLength, nFreeLength);
    const UINT nAmount = static_cast<UINT>(MulDiv(static_cast<int>(nRange), d < 0 ? -d : d, nFreeLength));
    if (d < 0)
    {
        nNewPos = nPressPos > nAmount ? nPressPos - nAmount : 0;
        return true;
    }
    if (nPressPos >= nRange)
        return false;
    nNewPos = StepSliderPosition(nPressPos, nAmount, true, nRange);
    return true;
}

} // namespace kxtoolbar
