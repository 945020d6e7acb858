// The arithmetic of the toolkit's scroll bars and scrolling windows, kept
// apart from windows so that it runs natively: where a scroll bar docks in
// its parent's remaining area and where its buddies go, which corner it
// leaves for its partner, which bars a surface needs, and how far a scroll
// code or a wheel notch moves.
#pragma once

#include "framework/core/AfxGeometry.h"

namespace kxscroll
{

// Scroll bar orientations; OrientationFromStyle reads the control's style.
enum e_orientation
{
    OrientationTop = 0,
    OrientationBottom = 1,
    OrientationLeft = 2,
    OrientationRight = 3,
    OrientationByStyle = 4,
};

// The scroll bar control's flag byte.
enum : BYTE
{
    BarAutoDelete = 0x01,
    BarSizeParent = 0x02,
    BarNoCorner = 0x04,
    BarCornerAtStart = 0x08,
    BarCornerAtEnd = 0x10,
    BarFlickerFree = 0x20,
    BarHideStartBuddy = 0x40,
    BarHideEndBuddy = 0x80,
    BarDefaultFlags = BarSizeParent | BarFlickerFree,
};

// The control's style bits that carry the orientation (the platform's
// SBS_VERT, SBS_TOPALIGN/SBS_LEFTALIGN and SBS_BOTTOMALIGN/SBS_RIGHTALIGN).
enum : DWORD
{
    StyleVert = 0x0001,
    StyleAlignStart = 0x0002,
    StyleAlignEnd = 0x0004,
};

int OrientationFromStyle(DWORD dwStyle);
inline bool IsHorizontal(int nOrientation)
{
    return nOrientation == OrientationTop || nOrientation == OrientationBottom;
}

// The corner flag a bar gets beside its partner: 0 when they do not share
// a corner.
BYTE CornerFlagFor(int nOrientation, int nOtherOrientation);

// One end buddy of a bar as the parent's layout sees it. In: whether it
// takes part (a live window without its hide flag) and its rectangle in the
// parent's client coordinates. Out: its new rectangle, or that it is to be
// hidden because the bar is too short for it.
struct BarBuddy
{
    bool bTakesPart = false;
    CRect rcCurrent;
    CRect rcNew;
    bool bHide = false;
};

struct BarMetrics
{
    int nHorzThickness = 0; // height of a horizontal bar
    int nVertThickness = 0; // width of a vertical bar
    int nHorzArrow = 0;     // width of a horizontal bar's arrow button
    int nVertArrow = 0;     // height of a vertical bar's arrow button
};

// Takes the bar's band out of the remaining rectangle, adds its thickness to
// the total size, leaves the corners its flags ask for and fits the buddies
// at its ends; the bar's rectangle is returned.
CRect LayoutBar(int nOrientation, BYTE nFlags, const BarMetrics& metrics, CRect& rcRemaining, CSize& sizeTotal,
                BarBuddy& startBuddy, BarBuddy& endBuddy);

// Which bars a surface of the total size needs in a client of the given
// size, the scroll range and the position limited to it. Bars laid inside
// the client take room from the other direction.
struct BarState
{
    bool bNeedHorz = false;
    bool bNeedVert = false;
    CSize range;
    CPoint move;
};
BarState ComputeBarState(CSize sizeTotal, CSize sizeClient, CSize sizeBars, CPoint ptPosition, bool bInsideClient);

// The platform's scroll codes.
enum e_code
{
    CodeLineUp = 0,
    CodeLineDown = 1,
    CodePageUp = 2,
    CodePageDown = 3,
    CodeThumbPosition = 4,
    CodeThumbTrack = 5,
    CodeTop = 6,
    CodeBottom = 7,
    CodeNone = 0xFF,
};

// What one direction's scroll code asks for.
struct CodeInput
{
    int nCode = CodeNone;
    int nPosition = 0;    // current position
    int nThumb = 0;       // the thumb's position for the thumb codes
    int nLineBack = 0;    // line size backwards
    int nLineForward = 0; // line size forwards
    int nPageBack = 0;    // page size backwards
    int nPageForward = 0; // page size forwards
    bool bThumbTracking = true;
};
// The new position the code asks for before the limit is applied;
// SB_BOTTOM asks for the largest position and leaves the limit to the caller.
int PositionForCode(const CodeInput& in);

// The position after moving by nDelta, kept within 0 .. nLimit.
int ClampScrollPosition(int nPosition, int nDelta, int nLimit);

// How far one wheel event scrolls: nLines lines per notch of 120, each
// nLineForward long but no more than a page in all; the page-scroll setting
// (all bits set, -1) scrolls a backward page against the wheel's direction.
int WheelScrollDistance(int nWheelDelta, int nLines, int nLineForward, int nPageBack, int nPageForward);

} // namespace kxscroll
