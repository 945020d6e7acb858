// The arithmetic of a container's nested dock bar, kept apart from windows
// so that it runs natively: a container never asks for room, it divides the
// size its dock bar gives it among its rows and, within each row, among its
// panes, a pixel at a time, and it cannot be squeezed below the sum of its
// rows' minimal thicknesses and its longest row's minimal length.
#pragma once

#include "framework/core/AfxGeometry.h"

#include <vector>

namespace kxdock
{

// One visible pane of a nested row: its extents across and along the row.
struct ContainerPane
{
    int nThickness = 0;
    int nMinThickness = 0;
    int nLength = 0;
    int nMinLength = 0;
};

// One row of visible panes, in row order.
struct ContainerRow
{
    std::vector<ContainerPane> panes;
    // The thickness and minimal thickness of its first pane.
    int Thickness() const { return panes.empty() ? 0 : panes.front().nThickness; }
    int MinThickness() const { return panes.empty() ? 0 : panes.front().nMinThickness; }
    int Length() const;
};

using ContainerRows = std::vector<ContainerRow>;

// The sums the container's minimal size and layout are built from.
struct ContainerTotals
{
    int nThickness = 0;    // the rows' thicknesses
    int nMinThickness = 0; // per row the smallest minimal thickness of its panes
    int nMaxMinLength = 0; // the largest sum of a row's minimal lengths
    int nPaneCount = 0;
};
ContainerTotals SumContainerRows(const ContainerRows& rows);

// Brings the rows' total thickness to nAvailable: one pixel per row and
// pass, every pane of the row following its first. Shrinking passes over
// rows at their first pane's minimal thickness and stops when all are; the
// rest stays unresolved and the panes overflow.
void DistributeContainerThickness(ContainerRows& rows, int nAvailable);
// Brings the row's length to nAvailable: one pixel per pane and pass;
// shrinking passes over panes at or below their minimal length.
void DistributeContainerLength(ContainerRow& row, int nAvailable);

// The smallest size of a container whose rows run horizontally (panes side
// by side) or vertically: across the rows their minimal thicknesses add up,
// along them the longest row's minimal length counts.
CSize ContainerMinSize(const ContainerTotals& totals, bool bHorzRows);

} // namespace kxdock
