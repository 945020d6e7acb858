// Moving a tool bar inside the frame's outer dock bars while it is dragged:
// along its row, shorter or longer in a compressed row, past a neighbour,
// and into another row. The moves change the bar's remembered place and
// recency; the row layout then puts every bar where the records say.
#include "uitoolkit/core/ExtDockOuterRows.h"
#include "uitoolkit/docking/ExtControlBar.h"

#include <algorithm>
#include <cstdlib>

namespace
{

kxdock::OuterPositionData* OuterPositionOf(CControlBar* pBar)
{
    return pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ? static_cast<CExtControlBar*>(pBar)->GetOuterPosition()
                                                         : nullptr;
}

int StartOf(const CRect& rc, bool bHorz)
{
    return bHorz ? rc.left : rc.top;
}

int EndOf(const CRect& rc, bool bHorz)
{
    return bHorz ? rc.right : rc.bottom;
}

int LengthOf(const CRect& rc, bool bHorz)
{
    return bHorz ? rc.Width() : rc.Height();
}

void MoveAlong(CRect& rc, bool bHorz, int nDelta)
{
    rc.OffsetRect(bHorz ? nDelta : 0, bHorz ? 0 : nDelta);
}

// The length a bar needs at least along the row.
int MinimalLengthOf(CControlBar* pBar, bool bHorz)
{
    if (pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
    {
        const CSize size = static_cast<CExtControlBar*>(pBar)->GetMinimalSize();
        return bHorz ? size.cx : size.cy;
    }
    CRect rc;
    pBar->GetWindowRect(&rc);
    return LengthOf(rc, bHorz);
}

} // namespace

bool CExtDockOuterBar::IsHorzDockBar() const
{
    const UINT nID = static_cast<UINT>(GetDlgCtrlID());
    return nID == AFX_IDW_DOCKBAR_TOP || nID == AFX_IDW_DOCKBAR_BOTTOM;
}

void CExtDockOuterBar::MakeBarFirstInRowOrder(CControlBar* pBar)
{
    kxdock::OuterPositionData* pPos = OuterPositionOf(pBar);
    const int nSelf = kxdock::FindEntry(m_arrBars, pBar);
    if (pPos == nullptr || nSelf <= 0)
        return;
    pPos->m_nOrder = 1;
    int nFirst = 0, nEnd = 0;
    kxdock::RowBounds(m_arrBars, nSelf, &nFirst, &nEnd);
    std::vector<kxdock::OuterPositionData*> arrOthers;
    auto nNewRank = static_cast<DWORD>(4 * m_arrBars.GetSize());
    for (int i = nFirst; i < nEnd; ++i)
    {
        if (!kxdock::IsBarEntry(m_arrBars[i]) || m_arrBars[i] == pBar)
            continue;
        kxdock::OuterPositionData* pOther = OuterPositionOf(static_cast<CControlBar*>(m_arrBars[i]));
        if (pOther == nullptr)
            continue;
        pOther->m_nOrder = pOther->IsEmpty() ? nNewRank++ : pOther->m_nOrder + 1;
        arrOthers.push_back(pOther);
    }
    std::stable_sort(arrOthers.begin(), arrOthers.end(),
                     [](const kxdock::OuterPositionData* a, const kxdock::OuterPositionData* b)
                     { return a->m_nOrder < b->m_nOrder; });
    DWORD nRank = 2;
    for (kxdock::OuterPositionData* pOther : arrOthers)
        pOther->m_nOrder = nRank++;
}

void CExtDockOuterBar::BuildRowItems(CControlBar* pBar, kxdock::OuterRowItems& items)
{
    items.RemoveAll();
    const int nSelf = kxdock::FindEntry(m_arrBars, pBar);
    if (nSelf <= 0)
        return;
    int nFirst = 0, nEnd = 0;
    kxdock::RowBounds(m_arrBars, nSelf, &nFirst, &nEnd);
    const CSize sizeExtent = LayoutExtent();
    for (int i = nFirst; i < nEnd; ++i)
        if (kxdock::IsBarEntry(m_arrBars[i]) && static_cast<CControlBar*>(m_arrBars[i])->IsVisible())
            items.Add(MakeItem(static_cast<CControlBar*>(m_arrBars[i]), sizeExtent));
}

void CExtDockOuterBar::SwapRowItems(kxdock::OuterRowItems& items, int nIndex, int nOther)
{
    kxdock::SwapRowItemEntries(m_arrBars, items, nIndex, nOther);
}

void CExtDockOuterBar::MoveBarInRow(CControlBar* pBar, int nDelta, bool* pbResized)
{
    if (pbResized != nullptr)
        *pbResized = false;
    if (nDelta == 0)
        return;
    const bool bHorz = IsHorzDockBar();
    kxdock::OuterRowItems items;
    BuildRowItems(pBar, items);
    int nSelf = -1;
    for (INT_PTR i = 0; i < items.GetSize() && nSelf < 0; ++i)
        if (items[i].m_pBar == pBar)
            nSelf = static_cast<int>(i);
    if (nSelf < 0)
        return;
    const CSize sizeExtent = LayoutExtent();
    const int nExtent = bHorz ? sizeExtent.cx : sizeExtent.cy;
    CRect rcBar;
    pBar->GetWindowRect(&rcBar);
    ScreenToClient(&rcBar);
    const CPoint ptRow = bHorz ? CPoint(0, rcBar.top) : CPoint(rcBar.left, 0);

    kxdock::OuterPositionData* pPos = OuterPositionOf(pBar);
    if (pPos != nullptr)
    {
        CRect rcWanted = pPos->m_rcBar;
        if (rcWanted.IsRectEmpty())
            rcWanted = rcBar;
        MoveAlong(rcWanted, bHorz, nDelta);
        MoveAlong(rcWanted, bHorz, std::min(0, nExtent - EndOf(rcWanted, bHorz)));
        MoveAlong(rcWanted, bHorz, std::max(0, -StartOf(rcWanted, bHorz)));
        pPos->m_rcBar = rcWanted;
    }

    // A trial layout that moves no window.
    AFX_SIZEPARENTPARAMS trial = {};
    CSize sizeFixed(0, 0);
    CPoint pos = ptRow;
    int nRows = 0;
    bool bCompressed = false;
    LayoutOuterRow(&sizeFixed, &sizeExtent, &pos, bHorz, &trial, items, &nRows, &bCompressed);
    if (m_bLayoutQuery)
        return;

    enum class Next
    {
        FinalLayout,
        RankAndStore,
        Store
    };
    Next next = Next::FinalLayout;
    const int nLast = static_cast<int>(items.GetSize()) - 1;
    if (items.GetSize() >= 2 && pPos != nullptr)
    {
        if (bCompressed)
        {
            if (nRows > 1)
                next = Next::RankAndStore;
            else if (nSelf == 0)
                next = Next::Store;
            else
            {
                // The drag resizes the bar instead of moving it.
                const int nLength = LengthOf(rcBar, bHorz);
                const int nCalc = bHorz ? items[nSelf].m_sizeCalc.cx : items[nSelf].m_sizeCalc.cy;
                const int nMin = bHorz ? items[nSelf].m_sizeMin.cx : items[nSelf].m_sizeMin.cy;
                int nNew = nDelta < 0 ? nLength + std::min(-nDelta, nCalc - nLength)
                                      : nLength - std::min(nDelta, nLength - nMin);
                nNew = std::min(nNew, nCalc);
                LONG& nPreferred = bHorz ? pPos->m_nExtentH : pPos->m_nExtentV;
                if (nNew == nLength || nNew == nPreferred)
                    next = Next::RankAndStore;
                else
                {
                    if (pPos->m_nOrder != 1)
                        MakeBarFirstInRowOrder(pBar);
                    nPreferred = nNew;
                    if (pbResized != nullptr)
                        *pbResized = true;
                }
            }
        }
        else if (nRows <= 1)
        {
            std::vector<CRect> arrRects;
            for (INT_PTR i = 0; i < items.GetSize(); ++i)
            {
                CRect rc;
                static_cast<CControlBar*>(items[i].m_pBar)->GetWindowRect(&rc);
                ScreenToClient(&rc);
                arrRects.push_back(rc);
            }
            bool bGap = false;
            if (nDelta > 0)
            {
                bGap = nSelf == nLast || EndOf(arrRects.back(), bHorz) < nExtent;
                for (int i = nSelf; i < nLast && !bGap; ++i)
                    bGap = StartOf(arrRects[i + 1], bHorz) > EndOf(arrRects[i], bHorz);
            }
            else
                bGap = nSelf == 0 ? StartOf(arrRects[0], bHorz) > 0
                                  : StartOf(arrRects[nSelf], bHorz) > EndOf(arrRects[nSelf - 1], bHorz);
            next = bGap ? Next::FinalLayout : Next::RankAndStore;
        }
    }
    if (next == Next::RankAndStore)
        MakeBarFirstInRowOrder(pBar);
    if (next != Next::FinalLayout)
    {
        const CRect rcCalc = items[nSelf].m_rcCalc;
        pPos->m_rcBar = rcCalc;
        if (nDelta > 0 && nSelf < nLast)
        {
            const kxdock::OuterRowItem& itemNext = items[nSelf + 1];
            if (itemNext.m_pPos != nullptr && (StartOf(itemNext.m_rcCalc, bHorz) - LengthOf(rcCalc, bHorz) >
                                                   StartOf(itemNext.m_pPos->m_rcBar, bHorz) ||
                                               EndOf(rcCalc, bHorz) + nDelta >= EndOf(itemNext.m_rcCalc, bHorz) - 1))
                SwapRowItems(items, nSelf, nSelf + 1);
        }
        else if (nDelta < 0 && nSelf > 0)
        {
            const kxdock::OuterRowItem& itemPrev = items[nSelf - 1];
            if (itemPrev.m_pPos != nullptr &&
                (StartOf(rcCalc, bHorz) <= StartOf(itemPrev.m_pPos->m_rcBar, bHorz) ||
                 StartOf(rcCalc, bHorz) + nDelta <= StartOf(itemPrev.m_rcCalc, bHorz) + 1))
                SwapRowItems(items, nSelf - 1, nSelf);
        }
    }

    AFX_SIZEPARENTPARAMS layout = {};
    layout.hDWP = ::BeginDeferWindowPos(static_cast<int>(items.GetSize()));
    sizeFixed = CSize(0, 0);
    pos = ptRow;
    LayoutOuterRow(&sizeFixed, &sizeExtent, &pos, bHorz, &layout, items, &nRows, &bCompressed);
    if (layout.hDWP != nullptr)
        ::EndDeferWindowPos(layout.hDWP);
    for (INT_PTR i = 0; i < items.GetSize(); ++i)
    {
        auto* pRowBar = static_cast<CControlBar*>(items[i].m_pBar);
        if (items[i].m_bExtBar && pRowBar->IsVisible())
            pRowBar->RedrawWindow(nullptr, nullptr,
                                  RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW |
                                      RDW_NOFRAME);
    }
}

bool CExtDockOuterBar::InsertBarIntoRow(CControlBar* pBar, CArray<CControlBar*, CControlBar*>& rowBars, int nDelta)
{
    const bool bHorz = IsHorzDockBar();
    int nRowMinimal = 0;
    for (INT_PTR i = 0; i < rowBars.GetSize(); ++i)
        nRowMinimal += MinimalLengthOf(rowBars[i], bHorz);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (LengthOf(rcClient, bHorz) - nRowMinimal < MinimalLengthOf(pBar, bHorz) || rowBars.GetSize() == 0)
        return false;

    auto clientRectOf = [this](CControlBar* pRowBar)
    {
        CRect rc;
        pRowBar->GetWindowRect(&rc);
        ScreenToClient(&rc);
        return rc;
    };
    const CRect rcBar = clientRectOf(pBar);
    const int nWanted = std::max(0, StartOf(rcBar, bHorz) + nDelta);
    nDelta = nWanted - StartOf(rcBar, bHorz);
    std::vector<kxdock::RowSpan> arrSpans;
    for (INT_PTR i = 0; i < rowBars.GetSize(); ++i)
    {
        const CRect rc = clientRectOf(rowBars[i]);
        arrSpans.push_back({StartOf(rc, bHorz), EndOf(rc, bHorz)});
    }
    const int nTarget = kxdock::ChooseRowInsertTarget(arrSpans, nWanted);
    const bool bAfterLast = nTarget < 0;
    CControlBar* pTarget = bAfterLast ? rowBars[rowBars.GetSize() - 1] : rowBars[nTarget];
    if (kxdock::MoveEntryIntoRow(m_arrBars, kxdock::FindEntry(m_arrBars, pBar), pTarget, bAfterLast) < 0)
        return false;

    const CRect rcTarget = clientRectOf(pTarget);
    CRect rc = rcBar;
    MoveAlong(rc, bHorz, nDelta);
    rc.OffsetRect(bHorz ? 0 : rcTarget.left - rc.left, bHorz ? rcTarget.top - rc.top : 0);
    if (!bAfterLast && StartOf(rcTarget, bHorz) < StartOf(rc, bHorz))
        MoveAlong(rc, bHorz, StartOf(rcTarget, bHorz) - StartOf(rc, bHorz));
    else if (bAfterLast && StartOf(rc, bHorz) < EndOf(rcTarget, bHorz))
        MoveAlong(rc, bHorz, EndOf(rcTarget, bHorz) - StartOf(rc, bHorz));
    if (rc != rcBar)
        pBar->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                           SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOSENDCHANGING);
    return true;
}
