// The platform-free half of the tool bar's slider button: its scrollable
// range, where its parts lie in the button (label, track, page areas, arrow
// buttons, thumb), its measured size and the position steps of its tracking.
// In slider mode (no arrow buttons) the whole range is selectable with a
// 6-pixel thumb; in scroll-bar mode the thumb shows the page's share and the
// range is shortened by one page.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "uitoolkit/core/ExtToolBarLayout.h"

namespace kxtoolbar
{

struct SliderState
{
    UINT nTotalRange = 0;
    UINT nPos = 0;
    UINT nPageSize = 0;
    // The arrow buttons' size along a horizontal or vertical bar; 0 makes a
    // slider.
    int nScrollButtonExtentHorz = 0;
    int nScrollButtonExtentVert = 0;
    // The slider part's length in a horizontal or vertical bar.
    int nExtentHorz = 50;
    int nExtentVert = 50;

    // Lowers the position to the new total first; the old total.
    UINT SetTotalRange(UINT n)
    {
        if (nPos > n)
            nPos = n;
        const UINT nOld = nTotalRange;
        nTotalRange = n;
        return nOld;
    }
    int ScrollButtonExtent(bool bHorz) const { return bHorz ? nScrollButtonExtentHorz : nScrollButtonExtentVert; }
    int Extent(bool bHorz) const { return bHorz ? nExtentHorz : nExtentVert; }
};

// The parts of a slider button; backward is left in a horizontal bar and up
// in a vertical one.
enum SliderPart
{
    SliderPartLabel = 0,
    SliderPartSlider = 1,
    SliderPartTrack = 2,
    SliderPartPageBackward = 3,
    SliderPartPageForward = 4,
    SliderPartArrowBackward = 5,
    SliderPartArrowForward = 6,
    SliderPartThumb = 7,
    SliderPartCount = 8
};

// The highest position: 0 when the total does not exceed the page, else the
// total in slider mode and the total less one page in scroll-bar mode.
UINT GetSliderScrollableRange(const SliderState& state, bool bHorz);
// The parts of a button lying at rcButton.
void CalcSliderParts(const SliderState& state, const CRect& rcButton, bool bHorz, CRect (&parts)[SliderPartCount]);
// The button's size from its face; an unregistered command keeps the
// pre-calculated size, which is otherwise no minimum.
CSize MeasureSliderFace(const ButtonFace& face, const SliderState& state, CSize sizePreCalc, bool bHorz);

// The part a press at pt starts tracking: the first non-empty page area,
// arrow or thumb holding the point, else -1.
int HitTestSliderPress(const CRect (&parts)[SliderPartCount], CPoint pt);
// How far one step of a pressed page area or arrow moves, within the range;
// 0 for the thumb.
UINT GetSliderStep(const SliderState& state, int nPart, UINT nRange);
bool IsSliderStepForward(int nPart);
// The position after one step, held within 0 and the range.
UINT StepSliderPosition(UINT nPos, UINT nStep, bool bForward, UINT nRange);
// The position for a thumb dragged nOffset pixels along a track with
// nFreeLength pixels beside the thumb, from the position it was pressed at.
// False when the drag changes nothing: no free length, or a forward drag
// from a position already at the range's end.
bool DragSliderThumb(UINT nPressPos, int nOffset, int nFreeLength, UINT nRange, UINT& nNewPos);

} // namespace kxtoolbar
