#include "uitoolkit/core/ExtDockRows.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace kxdock
{

// ---- the row array ----

bool IsPlaceholder(const void* pEntry)
{
    return reinterpret_cast<uintptr_t>(pEntry) - 1 < 0xFFFF;
}

void* PlaceholderOf(UINT nId)
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(nId & 0xFFFF));
}

int FindEntry(const CPtrArray& arr, const void* pEntry, int nPosExclude)
{
    for (int i = 0; i < arr.GetSize(); ++i)
        if (i != nPosExclude && arr[i] == pEntry)
            return i;
    return -1;
}

void RemoveEntry(CPtrArray& arr, int nPos)
{
    arr.RemoveAt(nPos);
    if (nPos < arr.GetSize() && arr[nPos] == nullptr && arr[nPos - 1] == nullptr)
        arr.RemoveAt(nPos);
}

bool RemovePlaceholder(CPtrArray& arr, UINT nId)
{
    const int nPos = FindEntry(arr, PlaceholderOf(nId));
    if (nPos <= 0)
        return false;
    RemoveEntry(arr, nPos);
    return true;
}

bool IsRowArrayEmpty(const CPtrArray& arr)
{
    for (INT_PTR i = 0; i < arr.GetSize(); ++i)
        if (arr[i] != nullptr)
            return false;
    return true;
}

bool IsRowArraySound(const CPtrArray& arr)
{
    if (arr.GetSize() == 0 || arr[0] != nullptr || arr[arr.GetSize() - 1] != nullptr)
        return false;
    for (INT_PTR i = 1; i < arr.GetSize(); ++i)
        if (arr[i] == nullptr && arr[i - 1] == nullptr)
            return false;
    return true;
}

void RowBounds(const CPtrArray& arr, int nPos, int* pFirst, int* pEnd)
{
    int nFirst = nPos;
    while (nFirst > 0 && arr[nFirst - 1] != nullptr)
        --nFirst;
    int nEnd = nPos;
    while (nEnd < arr.GetSize() && arr[nEnd] != nullptr)
        ++nEnd;
    *pFirst = std::max(nFirst, 1);
    *pEnd = nEnd;
}

RemoveOutcome RemoveBarEntry(CPtrArray& arr, void* pBar, UINT nId, int nPosExclude, int nAddPlaceholder,
                             bool bResizable)
{
    if (bResizable && nAddPlaceholder == 1)
        nAddPlaceholder = 0;
    const int nPos = FindEntry(arr, pBar, nPosExclude);
    if (nPos <= 0)
        return RemoveOutcome::NotFound;
    nId &= 0xFFFF;
    if (nAddPlaceholder == 1 && nId != 0)
    {
        if (FindEntry(arr, PlaceholderOf(nId)) > 0)
        {
            RemoveEntry(arr, nPos);
            return RemoveOutcome::Removed;
        }
        arr[nPos] = PlaceholderOf(nId);
        return RemoveOutcome::LeftPlaceholder;
    }
    RemoveEntry(arr, nPos);
    return nAddPlaceholder == 0 && nId != 0 ? RemoveOutcome::RemovedWithPlaceholders : RemoveOutcome::Removed;
}

int IsolateEntry(CPtrArray& arr, int nPos)
{
    const bool bBefore = arr[nPos - 1] != nullptr;
    const bool bAfter = nPos + 1 < arr.GetSize() && arr[nPos + 1] != nullptr;
    if (bBefore && !bAfter)
    {
        arr.InsertAt(nPos, static_cast<void*>(nullptr));
        return nPos + 1;
    }
    if (bBefore && bAfter)
    {
        // In front of its row, with the rest of the row behind a row end.
        int nFirst = 0, nEnd = 0;
        RowBounds(arr, nPos, &nFirst, &nEnd);
        void* pEntry = arr[nPos];
        arr.RemoveAt(nPos);
        arr.InsertAt(nFirst, pEntry);
        arr.InsertAt(nFirst + 1, static_cast<void*>(nullptr));
        return nFirst;
    }
    if (bAfter)
        arr.InsertAt(nPos + 1, static_cast<void*>(nullptr));
    return nPos;
}

int InsertAsNewRow(CPtrArray& arr, int nRefPos, bool bBefore, void* pBar)
{
    int nPos = nRefPos;
    const int nLast = static_cast<int>(arr.GetSize()) - 1;
    while (nPos > 0 && nPos < nLast && arr[nPos] != nullptr)
        nPos += bBefore ? -1 : 1;
    arr.InsertAt(nPos, pBar);
    arr.InsertAt(nPos, static_cast<void*>(nullptr));
    return nPos + 1;
}

void InsertAsFirstRow(CPtrArray& arr, void* pBar)
{
    arr.InsertAt(1, pBar);
    if (arr.GetSize() < 3 || arr[2] != nullptr)
        arr.InsertAt(2, static_cast<void*>(nullptr));
}

void AppendToLastRow(CPtrArray& arr, void* pBar)
{
    const bool bHadRows = arr.GetSize() > 1;
    arr.Add(pBar);
    arr.Add(nullptr);
    if (bHadRows)
        arr.RemoveAt(arr.GetSize() - 3);
}

int SeparateEntry(CPtrArray& arr, int nPos)
{
    if (nPos + 1 >= arr.GetSize() || arr[nPos + 1] != nullptr)
        arr.InsertAt(nPos + 1, static_cast<void*>(nullptr));
    if (arr[nPos - 1] != nullptr)
    {
        arr.InsertAt(nPos, static_cast<void*>(nullptr));
        ++nPos;
    }
    return nPos;
}

// ---- sharing a row's length among resizable panes ----

RowMeasure MeasureRow(std::vector<RowPane>& arrPanes, int nLength, int nBorder)
{
    RowMeasure measure;
    measure.nLength = nLength;
    int nTotal = nBorder;
    for (size_t i = 0; i < arrPanes.size(); ++i)
    {
        RowPane& pane = arrPanes[i];
        if (pane.bResizable)
        {
            pane.nExtent = std::max(pane.nExtent, pane.nMinExtent);
            nTotal += pane.nMinExtent;
            measure.nSum += pane.nExtent;
        }
        else
        {
            nTotal += pane.nExtent;
            measure.nLength -= pane.nExtent;
        }
        if (nTotal > measure.nLength)
        {
            if (pane.bResizable)
                measure.nSum -= pane.nExtent;
            measure.nOverflowAt = static_cast<int>(i);
            break;
        }
    }
    return measure;
}

void ShareRowExtent(std::vector<RowPane>& arrPanes, int nDelta, int nLastResizable)
{
    int nResizable = 0, nAtMinimum = 0;
    for (const RowPane& pane : arrPanes)
    {
        if (!pane.bResizable)
            continue;
        ++nResizable;
        if (pane.nExtent <= pane.nMinExtent)
            ++nAtMinimum;
    }
    if (nResizable == 0 || nDelta == 0)
        return;
    if (nAtMinimum == nResizable)
    {
        if (nLastResizable >= 0)
            arrPanes[static_cast<size_t>(nLastResizable)].nExtent += nDelta;
        return;
    }
    const int nStep = nDelta > 0 ? 1 : -1;
    // Every round moves at least one pixel while a pane can move, so the
    // bound is never reached by a sound row; it keeps a layout from spinning.
    const int nMaxRounds = 2 * std::abs(nDelta);
    for (int nRound = 0; nRound < nMaxRounds && nDelta != 0 && nAtMinimum < nResizable; ++nRound)
    {
        for (RowPane& pane : arrPanes)
        {
            if (nDelta == 0 || nAtMinimum >= nResizable)
                break;
            if (!pane.bResizable || pane.nExtent <= pane.nMinExtent)
                continue;
            pane.nExtent += nStep;
            nDelta -= nStep;
            if (pane.nExtent <= pane.nMinExtent)
                ++nAtMinimum;
        }
    }
}

void EndLayoutRow(CSize& size, CPoint& pos, int& nRowThickness, bool bHorz)
{
    if (nRowThickness == 0)
        return;
    if (bHorz)
    {
        pos.y += nRowThickness;
        size.cx = std::max(size.cx, pos.x);
        size.cy = std::max(size.cy, pos.y) - 1;
        pos.x = 0;
    }
    else
    {
        pos.x += nRowThickness;
        size.cx = std::max(size.cx, pos.x) - 1;
        size.cy = std::max(size.cy, pos.y);
        pos.y = 0;
    }
    nRowThickness = 0;
}

// ---- tool-bar rows of the outer dock bars ----

namespace
{

int StartOf(const RECT& rc, bool bHorz)
{
    return bHorz ? rc.left : rc.top;
}

int EndOf(const RECT& rc, bool bHorz)
{
    return bHorz ? rc.right : rc.bottom;
}

int LengthOf(const RECT& rc, bool bHorz)
{
    return EndOf(rc, bHorz) - StartOf(rc, bHorz);
}

int LengthOf(const SIZE& size, bool bHorz)
{
    return bHorz ? size.cx : size.cy;
}

int ThicknessOf(const RECT& rc, bool bHorz)
{
    return bHorz ? rc.bottom - rc.top : rc.right - rc.left;
}

void MoveAlong(RECT& rc, bool bHorz, int nDelta)
{
    if (bHorz)
    {
        rc.left += nDelta;
        rc.right += nDelta;
    }
    else
    {
        rc.top += nDelta;
        rc.bottom += nDelta;
    }
}

void MoveStartTo(RECT& rc, bool bHorz, int nStart)
{
    MoveAlong(rc, bHorz, nStart - StartOf(rc, bHorz));
}

void SetStart(RECT& rc, bool bHorz, int nStart)
{
    (bHorz ? rc.left : rc.top) = nStart;
}

void SetEnd(RECT& rc, bool bHorz, int nEnd)
{
    (bHorz ? rc.right : rc.bottom) = nEnd;
}

int PreferredLength(const OuterPositionData& pos, bool bHorz)
{
    return bHorz ? pos.m_nExtentH : pos.m_nExtentV;
}

bool HasRecord(const OuterRowItem& item)
{
    return item.m_bExtBar && item.m_pPos != nullptr && !item.m_pPos->IsEmpty();
}

int LastIndex(const OuterRowItems& items)
{
    return static_cast<int>(items.GetSize()) - 1;
}

} // namespace

void BuildRowOrder(bool bHorz, CArray<int, int>& order, OuterRowItems& items, bool bInit, int nFirst, int nLast)
{
    order.RemoveAll();
    if (nLast < 0)
        nLast = LastIndex(items);
    CArray<int, int> arrTail;
    DWORD nNextRank = static_cast<DWORD>(items.GetSize());
    for (int i = nFirst; i <= nLast; ++i)
    {
        OuterRowItem& item = items[i];
        OuterPositionData* pPos = item.m_bExtBar ? item.m_pPos : nullptr;
        if (pPos == nullptr)
        {
            arrTail.Add(i);
            continue;
        }
        if (bInit)
        {
            if (pPos->IsEmpty())
                pPos->m_nOrder = ++nNextRank;
            if (CRect(pPos->m_rcBar).IsRectEmpty())
                pPos->m_rcBar = item.m_rcCurrent;
            LONG& nPreferred = bHorz ? pPos->m_nExtentH : pPos->m_nExtentV;
            if (nPreferred == 0)
                nPreferred = LengthOf(item.m_rcCurrent, bHorz);
            nPreferred = std::min(nPreferred, static_cast<LONG>(LengthOf(item.m_sizeCalc, bHorz)));
        }
        else if (pPos->IsEmpty() || CRect(pPos->m_rcBar).IsRectEmpty())
        {
            arrTail.Add(i);
            continue;
        }
        INT_PTR nAt = 0;
        while (nAt < order.GetSize() && items[order[nAt]].m_pPos->m_nOrder <= pPos->m_nOrder)
            ++nAt;
        order.InsertAt(nAt, i);
    }
    order.Append(arrTail);
}

void EqualizeRowThickness(bool bHorz, OuterRowItems& items, int nFirst, int nLast)
{
    int nThickest = 0, nCount = 0;
    for (int i = nFirst; i <= nLast; ++i)
    {
        if (!items[i].m_bExtBar || !items[i].m_bSyncsThickness)
            continue;
        ++nCount;
        nThickest = std::max(nThickest, ThicknessOf(items[i].m_rcCalc, bHorz));
    }
    if (nCount < 2)
        return;
    for (int i = nFirst; i <= nLast; ++i)
    {
        OuterRowItem& item = items[i];
        if (!item.m_bExtBar || !item.m_bSyncsThickness)
            continue;
        if (bHorz)
            item.m_rcCalc.bottom = item.m_rcCalc.top + nThickest;
        else
            item.m_rcCalc.right = item.m_rcCalc.left + nThickest;
    }
}

int ShiftRowItems(bool bHorz, OuterRowItems& items, int nFirst, int nLast, int nDelta, int nExtent)
{
    if (nDelta == 0 || nFirst > nLast)
        return 0;
    if (nFirst == nLast)
    {
        RECT& rc = items[nFirst].m_rcCalc;
        const int nStart = StartOf(rc, bHorz);
        int nMoved;
        if (nDelta < 0)
            nMoved = std::max(nDelta, -nStart);
        else
            nMoved = std::max(0, std::min(nDelta, nExtent - EndOf(rc, bHorz)));
        MoveAlong(rc, bHorz, nMoved);
        return nMoved;
    }
    if (nDelta > 0)
    {
        RECT& rc = items[nFirst].m_rcCalc;
        const int nGap = std::max(0, StartOf(items[nFirst + 1].m_rcCalc, bHorz) - EndOf(rc, bHorz));
        if (nGap >= nDelta)
        {
            MoveAlong(rc, bHorz, nDelta);
            return nDelta;
        }
        const int nMoved = ShiftRowItems(bHorz, items, nFirst + 1, nLast, nDelta - nGap, nExtent) + nGap;
        MoveAlong(rc, bHorz, nMoved);
        return nMoved;
    }
    RECT& rc = items[nLast].m_rcCalc;
    const int nGap = std::max(0, StartOf(rc, bHorz) - EndOf(items[nLast - 1].m_rcCalc, bHorz));
    if (nGap >= -nDelta)
    {
        MoveAlong(rc, bHorz, nDelta);
        return nDelta;
    }
    const int nMoved = ShiftRowItems(bHorz, items, nFirst, nLast - 1, nDelta + nGap, nExtent) - nGap;
    MoveAlong(rc, bHorz, nMoved);
    return nMoved;
}

void MoveItemToPreferred(bool bHorz, OuterRowItems& items, int nIndex, const OuterPositionData* pPos, int nExtent)
{
    if (nExtent <= 0 || pPos == nullptr)
        return;
    const int nDelta = StartOf(pPos->m_rcBar, bHorz) - StartOf(items[nIndex].m_rcCalc, bHorz);
    if (nDelta > 0)
        ShiftRowItems(bHorz, items, nIndex, LastIndex(items), nDelta, nExtent);
    else if (nDelta < 0)
        ShiftRowItems(bHorz, items, 0, nIndex, nDelta, nExtent);
}

void SlideItemToPreferred(bool bHorz, OuterRowItems& items, int nIndex, const OuterPositionData* pPos, int nExtent)
{
    if (nExtent <= 0 || pPos == nullptr)
        return;
    RECT& rc = items[nIndex].m_rcCalc;
    const int nStart = StartOf(rc, bHorz);
    const int nLength = LengthOf(rc, bHorz);
    const int nTarget = StartOf(pPos->m_rcBar, bHorz);
    if (nTarget > nStart)
    {
        if (nIndex == LastIndex(items))
        {
            if (EndOf(rc, bHorz) > nExtent)
                MoveStartTo(rc, bHorz, nExtent - nLength);
            return;
        }
        const int nRoom = StartOf(items[nIndex + 1].m_rcCalc, bHorz) - nLength;
        MoveStartTo(rc, bHorz, std::max(nStart, std::min(nTarget, nRoom)));
    }
    else if (nTarget < nStart)
    {
        if (nIndex == 0)
        {
            if (nStart < 0)
                MoveStartTo(rc, bHorz, 0);
            return;
        }
        const int nRoom = EndOf(items[nIndex - 1].m_rcCalc, bHorz);
        MoveStartTo(rc, bHorz, std::min(nStart, std::max(nTarget, nRoom)));
    }
}

bool FitRowSegment(OuterRowItems& items, int nFirst, int nLast, int nExtent, bool bHorz, bool* pSingleRow,
                   bool* pCompressed)
{
    std::vector<CRect> arrRects;
    for (int i = nFirst; i <= nLast; ++i)
        arrRects.push_back(items[i].m_rcCalc);
    const int nCount = nLast - nFirst + 1;
    int nFree = StartOf(arrRects.front(), bHorz);
    int nLengths = 0;
    for (int i = 0; i < nCount; ++i)
    {
        if (i > 0)
            nFree += StartOf(arrRects[i], bHorz) - EndOf(arrRects[i - 1], bHorz);
        nLengths += LengthOf(arrRects[i], bHorz);
    }
    if (nCount > 1)
        nFree += nExtent - EndOf(arrRects.back(), bHorz);
    const int nOverflow = nLengths - nExtent;

    bool bFits = false;
    bool bRedistributed = false;
    if (nFree > 0)
    {
        int nLimit = nExtent;
        for (int i = nCount - 1; i >= 0; --i)
        {
            if (EndOf(arrRects[i], bHorz) > nLimit)
                MoveStartTo(arrRects[i], bHorz, nLimit - LengthOf(arrRects[i], bHorz));
            nLimit = StartOf(arrRects[i], bHorz);
        }
        bFits = StartOf(arrRects.front(), bHorz) >= 0;
    }
    if (!bFits)
    {
        // What the bars must give up is what their lengths exceed the row
        // by: moving them together above has already used every gap.
        int nToRemove = nOverflow;
        if (nToRemove < 0)
        {
            if (pSingleRow != nullptr)
                *pSingleRow = false;
            return false;
        }
        int nLimit = nExtent;
        for (int i = nCount - 1; i >= 0; --i)
        {
            const int nLength = LengthOf(arrRects[i], bHorz);
            const int nMin = LengthOf(items[nFirst + i].m_sizeMin, bHorz);
            const int nGive = std::min(std::max(nLength - nMin, 0), nToRemove);
            MoveStartTo(arrRects[i], bHorz, nLimit - nLength);
            if (nGive > 0)
            {
                SetStart(arrRects[i], bHorz, StartOf(arrRects[i], bHorz) + nGive);
                nToRemove -= nGive;
            }
            nLimit = StartOf(arrRects[i], bHorz);
        }
        if (nToRemove > 0 || StartOf(arrRects.front(), bHorz) < 0)
        {
            if (pSingleRow != nullptr)
                *pSingleRow = false;
            return false;
        }
        if (StartOf(arrRects.front(), bHorz) == 0 && nCount > 1)
        {
            // The bars placed most recently take their preferred lengths
            // back from those placed before them.
            for (int i = 0; i < nCount; ++i)
                items[nFirst + i].m_rcCalc = arrRects[i];
            CArray<int, int> order;
            BuildRowOrder(bHorz, order, items, false, nFirst, nLast);
            bRedistributed = true;
            bool bChanged = false;
            for (INT_PTR k = order.GetSize() - 2; k >= 0; --k)
            {
                const int nTaker = order[k];
                if (!HasRecord(items[nTaker]))
                    continue;
                RECT& rcTaker = arrRects[nTaker - nFirst];
                int nWanted = PreferredLength(*items[nTaker].m_pPos, bHorz) - LengthOf(rcTaker, bHorz);
                if (nWanted <= 0)
                    continue;
                int nGot = 0;
                for (INT_PTR g = order.GetSize() - 1; g > k && nGot < nWanted; --g)
                {
                    const int nGiver = order[g];
                    if (!HasRecord(items[nGiver]))
                        continue;
                    RECT& rcGiver = arrRects[nGiver - nFirst];
                    const int nSpare = LengthOf(rcGiver, bHorz) - LengthOf(items[nGiver].m_sizeMin, bHorz);
                    const int nGive = std::min(std::max(nSpare, 0), nWanted - nGot);
                    SetEnd(rcGiver, bHorz, EndOf(rcGiver, bHorz) - nGive);
                    nGot += nGive;
                }
                if (nGot > 0)
                {
                    SetEnd(rcTaker, bHorz, EndOf(rcTaker, bHorz) + nGot);
                    bChanged = true;
                }
            }
            if (bChanged)
            {
                int nPos = 0;
                for (CRect& rc : arrRects)
                {
                    MoveStartTo(rc, bHorz, nPos);
                    nPos = EndOf(rc, bHorz);
                }
            }
        }
    }

    for (int i = 0; i < nCount; ++i)
        items[nFirst + i].m_rcCalc = arrRects[i];
    if (pCompressed != nullptr && !*pCompressed && (nFirst == 0 || nLast == LastIndex(items)))
    {
        bool bFillsRow = StartOf(arrRects.front(), bHorz) == 0 && EndOf(arrRects.back(), bHorz) >= nExtent;
        for (int i = 1; i < nCount && bFillsRow; ++i)
            bFillsRow = StartOf(arrRects[i], bHorz) == EndOf(arrRects[i - 1], bHorz);
        *pCompressed = bRedistributed || bFillsRow;
    }
    return true;
}

void LayoutOuterRowItems(CSize* pSizeFixed, CPoint* pPos, int nExtent, bool bHorz, bool bFloating, OuterRowItems& items,
                         int* pRowCount, bool* pCompressed)
{
    *pRowCount = 1;
    *pCompressed = false;
    if (items.GetSize() == 0)
        return;
    CArray<int, int> order;
    BuildRowOrder(bHorz, order, items, true, 0, -1);

    int nSegment = 0;
    int nRowThickness = 0;
    bool bLastFits = true;
    for (int i = 0; i < items.GetSize(); ++i)
    {
        OuterRowItem& item = items[i];
        item.m_rcCalc = CRect(*pPos, item.m_sizeCalc);
        if (!bFloating && StartOf(item.m_rcCurrent, bHorz) > StartOf(item.m_rcCalc, bHorz))
            MoveStartTo(item.m_rcCalc, bHorz, StartOf(item.m_rcCurrent, bHorz));
        if (EndOf(item.m_rcCalc, bHorz) >= nExtent && (!item.m_bExtBar || item.m_bFixedMode))
        {
            bool bSingleRow = true;
            bLastFits = FitRowSegment(items, nSegment, i, nExtent, bHorz, &bSingleRow, pCompressed);
            // A bar alone in its segment has nowhere to wrap to: it is cut
            // at the row's end below.
            if (!bLastFits && i > nSegment)
            {
                ++*pRowCount;
                *pCompressed = true;
                EqualizeRowThickness(bHorz, items, nSegment, i);
                EndLayoutRow(*pSizeFixed, *pPos, nRowThickness, bHorz);
                nSegment = i;
                item.m_rcCalc = CRect(*pPos, item.m_sizeCalc);
                bLastFits = true;
            }
        }
        (bHorz ? pPos->x : pPos->y) = EndOf(item.m_rcCalc, bHorz);
        nRowThickness = std::max(nRowThickness, ThicknessOf(item.m_rcCalc, bHorz));
    }
    if (bLastFits)
        EqualizeRowThickness(bHorz, items, nSegment, LastIndex(items));

    if (*pRowCount == 1)
    {
        // Back toward the places the users chose, the least recent first, so
        // that the most recent has the last word.
        auto wantsMove = [&](int nIndex)
        {
            const OuterRowItem& item = items[nIndex];
            return HasRecord(item) && !CRect(item.m_pPos->m_rcBar).IsRectEmpty() &&
                   StartOf(item.m_pPos->m_rcBar, bHorz) != StartOf(item.m_rcCalc, bHorz);
        };
        for (INT_PTR k = order.GetSize() - 1; k >= 0; --k)
            if (wantsMove(order[k]))
                MoveItemToPreferred(bHorz, items, order[k], items[order[k]].m_pPos, nExtent);
        for (INT_PTR k = order.GetSize() - 1; k >= 0; --k)
            if (wantsMove(order[k]))
                SlideItemToPreferred(bHorz, items, order[k], items[order[k]].m_pPos, nExtent);
    }

    for (int i = 0; i < items.GetSize(); ++i)
    {
        RECT& rc = items[i].m_rcCalc;
        if (EndOf(rc, bHorz) > nExtent)
            SetEnd(rc, bHorz, std::max(nExtent, StartOf(rc, bHorz) + LengthOf(items[i].m_sizeMin, bHorz)));
    }
    EndLayoutRow(*pSizeFixed, *pPos, nRowThickness, bHorz);
}

} // namespace kxdock
