// The rectangle arithmetic of docking feedback, kept apart from windows so
// that it runs natively: the hit zones of a dragged pane over another pane
// or a floating frame, the strips along the frame's edges, the thickness a
// row or a row share gets from a splitter drag, and the tabbed-page shapes
// of the drop outline and the docking highlight.
#pragma once

#include "framework/core/AfxGeometry.h"

#include <array>

namespace kxdock
{

// Sides in the order every search tests them.
enum DockSide
{
    SideTop = 0,
    SideBottom = 1,
    SideLeft = 2,
    SideRight = 3,
};

// The part of rc along a side, nDepth deep, inside rc.
CRect EdgeStrip(const RECT& rc, int nSide, int nDepth);

// ---- zones over a target pane or floating frame ----

struct DropZoneInput
{
    CRect rcTarget;         // the pane's window or the floating frame's rectangle
    CRect rcDockBar;        // the target's dock bar
    CRect rcTabs;           // the target's visible tab strip, else empty
    bool bTabbing = false;  // both panes accept each other as tabs
    bool bBeside = true;    // both panes accept each other side by side
    bool bFloating = false; // the target floats: halves reach across its dock bar, refusals float
    bool bTopBottom = false;
    bool bLeftRight = false;
    bool bIgnoreTopBottom = false; // beside strips a live drag passes over
    bool bIgnoreLeftRight = false;
};

struct DropZoneResult
{
    int nKind = 0;       // drop kind: 0 none, 1..4 beside, 27/28 caption, 29 tab strip
    CRect rc;            // what the outline shows
    bool bFloat = false; // the panes refuse each other: float
};

// The zone of a point over a target: caption strip, beside strips, the tab
// strip and the side strips, each 32 pixels.
DropZoneResult CalcTargetZone(const DropZoneInput& in, POINT pt);

// Whether the halves of a target are wide and high enough for a dragged
// pane of szDrag and a target whose minimal docked extent is nTargetMin
// (height for the top and bottom halves, width for the sides). A docked
// target also needs the heights (widths) within the split limit.
bool CanSplitTopBottom(const RECT& rcTarget, SIZE szDrag, int nTargetMin, bool bDocked);
bool CanSplitLeftRight(const RECT& rcTarget, SIZE szDrag, int nTargetMin, bool bDocked);

// ---- row and in-row resizing ----

// The row thickness a row-splitter drag asks for, nCursor pixels from the
// bar's leading window edge; -1 when the dock site leaves no room.
int RowResizeThickness(int nCursor, int nStripThickness, bool bAtLeadingSide, int nCurrent, int nMinimal,
                       int nSiteLength);

// The thickness change the adjacent row gets when the resized row's bars
// lost nDelta pixels (negative when they grew), limited so that none of the
// adjacent row's resizable bars goes below its minimal thickness.
// arrAdjacent holds each bar's thickness and minimal thickness.
struct RowThickness
{
    int nThickness;
    int nMinimal;
};
int ClampAdjacentRowDelta(int nDelta, const RowThickness* pAdjacent, int nCount);

// The extent a bar asks for when its in-row splitter is dragged, nCursor
// pixels from the bar's leading window edge.
int InRowResizeExtent(int nCursor, int nStripWidth, bool bFromLeading, int nCurrent, int nMinimal);

// The extents after the bar gave nShrink pixels (negative: took them) to its
// neighbour; the neighbour keeps its minimal extent and the bar gets back
// what the neighbour could not give.
struct InRowShares
{
    int nBar;
    int nNeighbour;
};
InRowShares ShareInRowDelta(int nBar, int nBarMinimal, int nNeighbour, int nNeighbourMinimal, bool bHasNeighbour,
                            int nShrink);

// The tracking line's position within [nLow, nHigh]; when nLow exceeds
// nHigh, nHigh wins.
int ClampTrackLine(int nPos, int nLow, int nHigh);

// ---- tabbed-page shapes ----

// The height of the tab band below a page of height nHeight.
int TabBandHeight(int nHeight);

// The four holes that leave a tabbed-page outline of frame width cx, cy in
// rc: the body, the tab, the band left of the tab, the band right of it.
std::array<CRect, 4> TabbedOutlineHoles(const RECT& rc, int cx, int cy, bool bRightToLeft);

// The page body and its tab in a docking highlight of the client size.
struct TabbedPageShape
{
    CRect rcBody;
    CRect rcTab;
};
TabbedPageShape TabbedHighlightShape(SIZE szClient, bool bRightToLeft);

} // namespace kxdock
