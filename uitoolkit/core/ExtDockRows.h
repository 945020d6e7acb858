// The arithmetic of docked rows, kept apart from windows so that it runs
// natively: the row array every dock bar keeps, the sharing of a row's
// length among resizable panes, and the fitting of tool-bar rows in the
// frame's outer dock bars by the places their users chose.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CArray.h"

#include <vector>

namespace kxdock
{

// ---- the row array ----
//
// Entry 0 is null, a null ends a row and the last entry is a null, two nulls
// never follow each other; an entry below 0x10000 is a placeholder (the
// control id of a bar that left and may come back); any other entry is a bar.

bool IsPlaceholder(const void* pEntry);
void* PlaceholderOf(UINT nId);
inline bool IsBarEntry(const void* pEntry)
{
    return pEntry != nullptr && !IsPlaceholder(pEntry);
}
// Index of the entry, skipping nPosExclude; -1 when absent.
int FindEntry(const CPtrArray& arr, const void* pEntry, int nPosExclude = -1);
// Takes the entry out and, when two nulls then meet, one of them.
void RemoveEntry(CPtrArray& arr, int nPos);
// Removes the first placeholder of the id; false when there is none.
bool RemovePlaceholder(CPtrArray& arr, UINT nId);
// Every entry is null: no bars and no placeholders.
bool IsRowArrayEmpty(const CPtrArray& arr);
// The invariants above hold.
bool IsRowArraySound(const CPtrArray& arr);
// The first index of the row holding nPos and the index of the null ending it.
void RowBounds(const CPtrArray& arr, int nPos, int* pFirst, int* pEnd);

enum class RemoveOutcome
{
    NotFound,
    LeftPlaceholder,
    Removed,
    RemovedWithPlaceholders, // the caller removes the bar's placeholders frame-wide
};
// The row-array part of taking a bar out of a dock bar. nAddPlaceholder is
// 1 (leave the id in its place), 0 (none; its placeholders everywhere go
// too) or -1 (none; others stay). A resizable bar never leaves one.
RemoveOutcome RemoveBarEntry(CPtrArray& arr, void* pBar, UINT nId, int nPosExclude, int nAddPlaceholder,
                             bool bResizable);

// A bar that occupies a whole row at nPos ends alone in its row; returns its
// new index.
int IsolateEntry(CPtrArray& arr, int nPos);
// Puts the bar as a row of its own right before or after the row holding
// nRefPos; returns its index.
int InsertAsNewRow(CPtrArray& arr, int nRefPos, bool bBefore, void* pBar);
// The bar as the first row of its own.
void InsertAsFirstRow(CPtrArray& arr, void* pBar);
// The bar as the last bar of the existing last row (a row of its own in an
// empty array).
void AppendToLastRow(CPtrArray& arr, void* pBar);
// Row ends before and after the entry, where there are none; returns its
// new index.
int SeparateEntry(CPtrArray& arr, int nPos);

// ---- sharing a row's length among resizable panes ----

// The visible bars of one row, in order.
struct RowPane
{
    int nExtent = 0;    // length along the row
    int nMinExtent = 0; // resizable panes only
    bool bResizable = false;
};

struct RowMeasure
{
    int nOverflowAt = -1; // the pane at which the minimal lengths overflow
    int nLength = 0;      // the length left for the resizable panes
    int nSum = 0;         // their current lengths up to the overflow
};

// Raises every resizable pane to its minimal length and sums, from nBorder
// on, the minimal lengths and the fixed panes' lengths (which also leave
// nLength); stops at the first pane past the length.
RowMeasure MeasureRow(std::vector<RowPane>& arrPanes, int nLength, int nBorder);

// Hands nDelta out to the resizable panes: all of it to nLastResizable when
// every one is at its minimal length, else a pixel at a time in turn to
// those that are not, for at most 2*|nDelta| rounds.
void ShareRowExtent(std::vector<RowPane>& arrPanes, int nDelta, int nLastResizable);

// The end of a row in a dock bar's layout: the position moves past the row
// and the dock bar's size takes it in, one pixel short across (the border
// correction at the end gives it back).
void EndLayoutRow(CSize& size, CPoint& pos, int& nRowThickness, bool bHorz);

// ---- tool-bar rows of the outer dock bars ----

// Where a fixed-size bar was put in its row and how long it was there.
struct OuterPositionData
{
    DWORD m_nOrder = 0; // rank in the row's most-recently-used order; 0: none stored
    RECT m_rcBar = {0, 0, 0, 0};
    LONG m_nExtentH = 0;
    LONG m_nExtentV = 0;
    DWORD m_dwExtra = 1;

    bool IsEmpty() const { return m_nOrder == 0; }
    void Reset() { *this = OuterPositionData(); }
};

// One bar of a row being laid out.
struct OuterRowItem
{
    void* m_pBar = nullptr;
    bool m_bVisible = false;
    bool m_bExtBar = false; // a toolkit bar
    bool m_bFixedMode = false;
    bool m_bSyncsThickness = false;
    OuterPositionData* m_pPos = nullptr; // null: laid out from its calculated size only
    CSize m_sizeCalc;
    CSize m_sizeMin;
    CRect m_rcCalc;
    CRect m_rcCurrent;
};
using OuterRowItems = CArray<OuterRowItem, const OuterRowItem&>;

// Lays out the visible items of one row from *pPos, wrapping into further
// rows when even shrinking fails, and moves the position past the row.
void LayoutOuterRowItems(CSize* pSizeFixed, CPoint* pPos, int nExtent, bool bHorz, bool bFloating, OuterRowItems& items,
                         int* pRowCount, bool* pCompressed);
bool FitRowSegment(OuterRowItems& items, int nFirst, int nLast, int nExtent, bool bHorz, bool* pSingleRow,
                   bool* pCompressed);
void BuildRowOrder(bool bHorz, CArray<int, int>& order, OuterRowItems& items, bool bInit, int nFirst, int nLast);
void EqualizeRowThickness(bool bHorz, OuterRowItems& items, int nFirst, int nLast);
int ShiftRowItems(bool bHorz, OuterRowItems& items, int nFirst, int nLast, int nDelta, int nExtent);
void MoveItemToPreferred(bool bHorz, OuterRowItems& items, int nIndex, const OuterPositionData* pPos, int nExtent);
void SlideItemToPreferred(bool bHorz, OuterRowItems& items, int nIndex, const OuterPositionData* pPos, int nExtent);

} // namespace kxdock
