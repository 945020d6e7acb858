// The row-array side of moving tool bars between the rows of a frame's
// outer dock bars, kept apart from windows so that it runs natively. The
// row array is the one of ExtDockRows.h: entry 0 null, a null ends a row,
// small entries are placeholders.
#pragma once

#include "uitoolkit/core/ExtDockRows.h"

#include <vector>

namespace kxdock
{

// Moves the whole row holding nPosA (its bars and placeholders, in order)
// next to the row holding nPosB: before it when A's row lay after it,
// after it otherwise.
void SwapRowsOf(CPtrArray& arr, int nPosA, int nPosB);

// One bar of the row a bar is dropped into: where it starts and ends along
// the row.
struct RowSpan
{
    int nStart = 0;
    int nEnd = 0;
};
// The bar to insert before: the first whose start lies at or after
// nWantedStart; -1 to go after the row's last bar, which also is the
// answer for an empty row.
int ChooseRowInsertTarget(const std::vector<RowSpan>& arrRow, int nWantedStart);

// Takes the entry at nPos out of its row (with the row end after it when it
// was alone there) and puts it right before the entry pTarget, or right
// after it; returns its new index, -1 when pTarget is not in the array.
int MoveEntryIntoRow(CPtrArray& arr, int nPos, const void* pTarget, bool bAfterTarget);

// Exchanges the entries of two items of a row; in the item array the item
// at nOther moves to nIndex.
void SwapRowItemEntries(CPtrArray& arr, OuterRowItems& items, int nIndex, int nOther);

} // namespace kxdock
