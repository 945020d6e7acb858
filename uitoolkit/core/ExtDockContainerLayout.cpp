#include "uitoolkit/core/ExtDockContainerLayout.h"

#include <algorithm>
#include <limits>

namespace kxdock
{

int ContainerRow::Length() const
{
    int nLength = 0;
    for (const ContainerPane& pane : panes)
        nLength += pane.nLength;
    return nLength;
}

ContainerTotals SumContainerRows(const ContainerRows& rows)
{
    ContainerTotals totals;
    for (const ContainerRow& row : rows)
    {
        if (row.panes.empty())
            continue;
        totals.nThickness += row.Thickness();
        int nMinThickness = std::numeric_limits<int>::max();
        int nMinLength = 0;
        for (const ContainerPane& pane : row.panes)
        {
            nMinThickness = std::min(nMinThickness, pane.nMinThickness);
            nMinLength += pane.nMinLength;
        }
        totals.nMinThickness += nMinThickness;
        totals.nMaxMinLength = std::max(totals.nMaxMinLength, nMinLength);
        totals.nPaneCount += static_cast<int>(row.panes.size());
    }
    return totals;
}

void DistributeContainerThickness(ContainerRows& rows, int nAvailable)
{
    int nTotal = 0;
    for (const ContainerRow& row : rows)
        nTotal += row.Thickness();
    int nDiff = nAvailable - nTotal;
    const int nStep = nDiff > 0 ? 1 : -1;
    while (nDiff != 0)
    {
        bool bAnyChanged = false;
        for (ContainerRow& row : rows)
        {
            if (nDiff == 0)
                break;
            if (row.panes.empty() || (nStep < 0 && row.Thickness() <= row.MinThickness()))
                continue;
            const int nNew = row.Thickness() + nStep;
            for (ContainerPane& pane : row.panes)
                pane.nThickness = nNew;
            nDiff -= nStep;
            bAnyChanged = true;
        }
        if (!bAnyChanged)
            break;
    }
    // Every pane follows its row even where nothing was handed out.
    for (ContainerRow& row : rows)
        for (ContainerPane& pane : row.panes)
            pane.nThickness = row.Thickness();
}

void DistributeContainerLength(ContainerRow& row, int nAvailable)
{
    int nDiff = nAvailable - row.Length();
    const int nStep = nDiff > 0 ? 1 : -1;
    while (nDiff != 0)
    {
        bool bAnyChanged = false;
        for (ContainerPane& pane : row.panes)
        {
            if (nDiff == 0)
                break;
            if (nStep < 0 && pane.nLength <= pane.nMinLength)
                continue;
            pane.nLength += nStep;
            nDiff -= nStep;
            bAnyChanged = true;
        }
        if (!bAnyChanged)
            break;
    }
}

CSize ContainerMinSize(const ContainerTotals& totals, bool bHorzRows)
{
    if (bHorzRows)
        return CSize(totals.nMaxMinLength, totals.nMinThickness);
    return CSize(totals.nMinThickness, totals.nMaxMinLength);
}

} // namespace kxdock
