#include "uitoolkit/core/ExtDockOuterRows.h"

#include <algorithm>

namespace kxdock
{

void SwapRowsOf(CPtrArray& arr, int nPosA, int nPosB)
{
    const bool bABeforeB = nPosA < nPosB;
    void* pEntryB = arr[nPosB];
    int nFirst = 0, nEnd = 0;
    RowBounds(arr, nPosA, &nFirst, &nEnd);
    std::vector<void*> arrRowA;
    for (int i = nFirst; i < nEnd; ++i)
        arrRowA.push_back(arr[i]);
    arr.RemoveAt(nFirst, std::min<int>(nEnd + 1, static_cast<int>(arr.GetSize())) - nFirst);

    nPosB = FindEntry(arr, pEntryB);
    int nInsertAt = 0;
    if (!bABeforeB)
    {
        RowBounds(arr, nPosB, &nInsertAt, &nEnd);
    }
    else
    {
        RowBounds(arr, nPosB, &nFirst, &nEnd);
        if (nEnd >= arr.GetSize())
            arr.Add(nullptr);
        nInsertAt = nEnd + 1;
    }
    arr.InsertAt(nInsertAt, static_cast<void*>(nullptr));
    for (auto it = arrRowA.rbegin(); it != arrRowA.rend(); ++it)
        arr.InsertAt(nInsertAt, *it);
}

int ChooseRowInsertTarget(const std::vector<RowSpan>& arrRow, int nWantedStart)
{
    for (size_t i = 0; i < arrRow.size(); ++i)
        if (arrRow[i].nStart >= nWantedStart)
            return static_cast<int>(i);
    return -1;
}

int MoveEntryIntoRow(CPtrArray& arr, int nPos, const void* pTarget, bool bAfterTarget)
{
    if (FindEntry(arr, pTarget) < 0)
        return -1;
    void* pEntry = arr[nPos];
    const bool bAlone = arr[nPos - 1] == nullptr && nPos + 1 < arr.GetSize() && arr[nPos + 1] == nullptr;
    arr.RemoveAt(nPos, bAlone ? 2 : 1);
    const int nAt = FindEntry(arr, pTarget) + (bAfterTarget ? 1 : 0);
    arr.InsertAt(nAt, pEntry);
    return nAt;
}

void SwapRowItemEntries(CPtrArray& arr, OuterRowItems& items, int nIndex, int nOther)
{
    const int nPos = FindEntry(arr, items[nIndex].m_pBar);
    const int nPosOther = FindEntry(arr, items[nOther].m_pBar);
    if (nPos >= 0 && nPosOther >= 0)
        std::swap(arr[nPos], arr[nPosOther]);
    const OuterRowItem item = items[nOther];
    items.RemoveAt(nOther);
    items.InsertAt(nIndex, item);
}

} // namespace kxdock
