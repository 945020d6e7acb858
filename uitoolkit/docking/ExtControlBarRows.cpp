// A resizable bar in its row: its sizes, the queries about its row and
// neighbours, the layout of a whole row of panes, and contracting and
// expanding it among them.
#include "framework/win/FrameWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"

#include <algorithm>
#include <vector>

namespace
{

CExtControlBar* AsExtBar(void* pEntry)
{
    if (!kxdock::IsBarEntry(pEntry))
        return nullptr;
    auto* pBar = static_cast<CControlBar*>(pEntry);
    return pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ? static_cast<CExtControlBar*>(pBar) : nullptr;
}

bool IsResizableEntry(void* pEntry)
{
    CExtControlBar* pBar = AsExtBar(pEntry);
    return pBar != nullptr && !pBar->IsFixedMode();
}

bool PassesRowFilter(void* pEntry, bool bToolkitOnly, bool bResizableOnly)
{
    if (bResizableOnly)
        return IsResizableEntry(pEntry);
    return !bToolkitOnly || AsExtBar(pEntry) != nullptr;
}

LONG& ExtentOf(CExtControlBar* pBar, bool bHorz)
{
    return bHorz ? pBar->m_sizeDockedH.cx : pBar->m_sizeDockedV.cy;
}

int MinExtentOf(const CExtControlBar* pBar, bool bHorz)
{
    return bHorz ? pBar->GetMinimalWidth() : pBar->GetMinimalHeight();
}

// What the row collections report besides the bars.
struct RowFacts
{
    CRect rcUnion;
    bool bAnyResizable = false;
    bool bFull = false;
};

// Union, resizable and fullness over the bars of [nFirst, nEnd), visible
// ones only when asked.
RowFacts FactsOfRow(const CDockBar* pDockBar, int nFirst, int nEnd, bool bVisibleOnly)
{
    RowFacts facts;
    facts.rcUnion.SetRectEmpty();
    const bool bHorz = (pDockBar->m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    int nSum = 0;
    for (int i = nFirst; i < nEnd; ++i)
    {
        void* pEntry = pDockBar->m_arrBars[i];
        if (!kxdock::IsBarEntry(pEntry))
            continue;
        auto* pBar = static_cast<CControlBar*>(pEntry);
        if (bVisibleOnly && !pBar->IsVisible())
            continue;
        CRect rc;
        pBar->GetWindowRect(&rc);
        facts.rcUnion.UnionRect(&facts.rcUnion, &rc);
        nSum += bHorz ? rc.Width() : rc.Height();
        facts.bAnyResizable = facts.bAnyResizable || IsResizableEntry(pEntry);
        if (CExtControlBar* pExtBar = AsExtBar(pEntry))
            facts.bFull = facts.bFull || pExtBar->OccupiesWholeRow();
    }
    CRect rcDockBar;
    pDockBar->GetWindowRect(&rcDockBar);
    facts.bFull = facts.bFull || nSum >= (bHorz ? rcDockBar.Width() : rcDockBar.Height()) - 1;
    return facts;
}

void ReportFacts(const RowFacts& facts, RECT* pUnion, bool* pAnyResizable, bool* pFull)
{
    if (pUnion != nullptr)
        *pUnion = facts.rcUnion;
    if (pAnyResizable != nullptr)
        *pAnyResizable = facts.bAnyResizable;
    if (pFull != nullptr)
        *pFull = facts.bFull;
}

// The entries of the bar's own row, [*pFirst, *pEnd); false when the bar is
// not docked.
bool FindOwnRow(const CControlBar* pBar, int* pFirst, int* pEnd)
{
    const int nSelf = pBar->m_pDockBar != nullptr ? kxdock::FindEntry(pBar->m_pDockBar->m_arrBars, pBar) : -1;
    if (nSelf <= 0)
        return false;
    kxdock::RowBounds(pBar->m_pDockBar->m_arrBars, nSelf, pFirst, pEnd);
    return true;
}

// The resizable bars of a docked bar's row when it shares the row with
// another one.
bool PanesSharingRow(const CExtControlBar* pBar, CArray<CExtControlBar*, CExtControlBar*>& arrBars)
{
    if (pBar->IsFloating() || pBar->IsAloneInRow(false, false))
        return false;
    pBar->CollectRowToolkitBars(arrBars, true);
    return arrBars.GetSize() >= 2;
}

} // namespace

CSize CExtControlBar::GetDesiredSize(bool bHorz)
{
    if (IsFloating())
        return m_sizeFloated;
    if (bHorz)
    {
        m_sizeDockedH.cy = std::max(m_sizeDockedH.cy, static_cast<LONG>(GetMinimalWidth()));
        return m_sizeDockedH;
    }
    m_sizeDockedV.cx = std::max(m_sizeDockedV.cx, static_cast<LONG>(GetMinimalHeight()));
    return m_sizeDockedV;
}

CSize CExtControlBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    return GetDesiredSize(bHorz != FALSE);
}

CSize CExtControlBar::CalcDynamicLayout(int nLength, DWORD nMode)
{
    // Fixed-size bars size themselves; only panes share rows.
    if (m_bFixedMode)
        return CControlBar::CalcDynamicLayout(nLength, nMode);
    const bool bHorz = (nMode & LM_HORZ) != 0;
    if ((nMode & (LM_HORZDOCK | LM_VERTDOCK)) == 0 || IsFloating())
    {
        if (nLength > 0)
            ((nMode & LM_LENGTHY) != 0 ? m_sizeFloated.cy : m_sizeFloated.cx) = nLength;
        if ((nMode & (LM_MRUWIDTH | LM_COMMIT)) != 0)
            return m_sizeFloated;
        return GetDesiredSize(bHorz);
    }
    if (nLength >= 0 || m_pDockBar == nullptr || m_pDockBar->m_bFloating)
        return GetDesiredSize(bHorz);

    CDockBar* pDockBar = m_pDockBar;
    const CRect rcLayout = pDockBar->m_rectLayout;
    int nAvailable = bHorz ? rcLayout.Width() : rcLayout.Height();
    if (nAvailable > 0 && rcLayout.IsRectEmpty())
        return GetDesiredSize(bHorz);
    if (nAvailable <= 0)
    {
        CRect rcClient;
        pDockBar->GetClientRect(&rcClient);
        nAvailable = bHorz ? rcClient.Width() : rcClient.Height();
        if (nAvailable <= 0)
            nAvailable = 3;
    }

    CPtrArray& arr = pDockBar->m_arrBars;
    const int nSelf = kxdock::FindEntry(arr, this);
    if (nSelf <= 0)
        return GetDesiredSize(bHorz);
    int nFirst = 0, nEnd = 0;
    kxdock::RowBounds(arr, nSelf, &nFirst, &nEnd);
    // The first pane of a row lays out the whole row.
    for (int i = nFirst; i < nSelf; ++i)
        if (IsResizableEntry(arr[i]) && static_cast<CControlBar*>(arr[i])->IsVisible())
            return GetDesiredSize(bHorz);

    std::vector<CControlBar*> arrVisible;
    std::vector<kxdock::RowPane> arrPanes;
    int nThickness = 0;
    for (int i = nFirst; i < nEnd; ++i)
    {
        if (!kxdock::IsBarEntry(arr[i]) || !static_cast<CControlBar*>(arr[i])->IsVisible())
            continue;
        auto* pBar = static_cast<CControlBar*>(arr[i]);
        kxdock::RowPane pane;
        pane.bResizable = IsResizableEntry(pBar);
        if (pane.bResizable)
        {
            auto* pPane = static_cast<CExtControlBar*>(pBar);
            pane.nExtent = ExtentOf(pPane, bHorz);
            pane.nMinExtent = MinExtentOf(pPane, bHorz);
            nThickness =
                std::max(nThickness, static_cast<int>(bHorz ? pPane->m_sizeDockedH.cy : pPane->m_sizeDockedV.cx));
        }
        else
        {
            CRect rc;
            pBar->GetWindowRect(&rc);
            pane.nExtent = bHorz ? rc.Width() : rc.Height();
        }
        arrVisible.push_back(pBar);
        arrPanes.push_back(pane);
    }
    const auto nSelfVisible =
        static_cast<int>(std::find(arrVisible.begin(), arrVisible.end(), this) - arrVisible.begin());

    if (arrVisible.size() == 1)
        ExtentOf(this, bHorz) = std::max(MinExtentOf(this, bHorz), nAvailable);
    else
    {
        const kxdock::RowMeasure measure =
            kxdock::MeasureRow(arrPanes, nAvailable, bHorz ? afxData.cyBorder2 : afxData.cxBorder2);
        bool bShare = true;
        if (measure.nOverflowAt >= 0)
        {
            CControlBar* pOverflow = arrVisible[static_cast<size_t>(measure.nOverflowAt)];
            const int nOverflowPos = kxdock::FindEntry(arr, pOverflow);
            if (measure.nOverflowAt < nSelfVisible)
            {
                arr.InsertAt(nOverflowPos + 1, static_cast<void*>(nullptr));
                return GetDesiredSize(bHorz);
            }
            if (measure.nOverflowAt == nSelfVisible)
            {
                // The pane takes the whole row; the bars after it go on in a
                // row of their own.
                ExtentOf(this, bHorz) = std::max(MinExtentOf(this, bHorz), nAvailable);
                if (arr[nOverflowPos + 1] != nullptr)
                    arr.InsertAt(nOverflowPos + 1, static_cast<void*>(nullptr));
                arrVisible.resize(static_cast<size_t>(nSelfVisible) + 1);
                bShare = false;
            }
            else
            {
                arr.InsertAt(nOverflowPos, static_cast<void*>(nullptr));
                arrVisible.resize(static_cast<size_t>(measure.nOverflowAt));
                arrPanes.resize(static_cast<size_t>(measure.nOverflowAt));
            }
        }
        if (bShare)
        {
            int nLastResizable = -1;
            for (size_t i = 0; i < arrPanes.size(); ++i)
                if (arrPanes[i].bResizable)
                    nLastResizable = static_cast<int>(i);
            kxdock::ShareRowExtent(arrPanes, measure.nLength - measure.nSum, nLastResizable);
            for (size_t i = 0; i < arrPanes.size(); ++i)
            {
                if (!arrPanes[i].bResizable)
                    continue;
                auto* pPane = static_cast<CExtControlBar*>(arrVisible[i]);
                ExtentOf(pPane, bHorz) = arrPanes[i].nExtent;
                (bHorz ? pPane->m_sizeDockedH.cy : pPane->m_sizeDockedV.cx) = nThickness;
            }
        }
    }

    // The row changes on screen in one update.
    CRect rcDockBar;
    pDockBar->GetWindowRect(&rcDockBar);
    HDWP hDWP = ::BeginDeferWindowPos(static_cast<int>(arrVisible.size()));
    int nPos = 0;
    for (CControlBar* pBar : arrVisible)
    {
        CRect rcCurrent;
        pBar->GetWindowRect(&rcCurrent);
        rcCurrent.OffsetRect(-rcDockBar.left, -rcDockBar.top);
        CRect rc = rcCurrent;
        if (IsResizableEntry(pBar))
        {
            auto* pPane = static_cast<CExtControlBar*>(pBar);
            const CSize size = bHorz ? pPane->m_sizeDockedH : pPane->m_sizeDockedV;
            rc.right = rc.left + size.cx;
            rc.bottom = rc.top + size.cy;
        }
        rc.OffsetRect(bHorz ? nPos - rc.left : 0, bHorz ? 0 : nPos - rc.top);
        nPos = bHorz ? rc.right : rc.bottom;
        if (rc != rcCurrent && hDWP != nullptr)
            hDWP = ::DeferWindowPos(hDWP, pBar->m_hWnd, nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                                    SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    if (hDWP != nullptr)
        ::EndDeferWindowPos(hDWP);
    return GetDesiredSize(bHorz);
}

// ---- row queries ----

CControlBar* CExtControlBar::GetRowNeighbour(bool bForward, bool bToolkitOnly, bool bResizableOnly) const
{
    if (m_pDockBar == nullptr)
        return nullptr;
    const CPtrArray& arr = m_pDockBar->m_arrBars;
    const int nSelf = kxdock::FindEntry(arr, this);
    if (nSelf <= 0)
        return nullptr;
    for (int i = nSelf + (bForward ? 1 : -1); i > 0 && i < arr.GetSize() && arr[i] != nullptr; i += bForward ? 1 : -1)
        if (!kxdock::IsPlaceholder(arr[i]) && PassesRowFilter(arr[i], bToolkitOnly, bResizableOnly))
            return static_cast<CControlBar*>(arr[i]);
    return nullptr;
}

CControlBar* CExtControlBar::GetRowEndBar(bool bForward, bool bToolkitOnly, bool bResizableOnly) const
{
    CControlBar* pEnd = nullptr;
    if (m_pDockBar != nullptr)
    {
        const CPtrArray& arr = m_pDockBar->m_arrBars;
        const int nSelf = kxdock::FindEntry(arr, this);
        for (int i = nSelf + (bForward ? 1 : -1); nSelf > 0 && i > 0 && i < arr.GetSize() && arr[i] != nullptr;
             i += bForward ? 1 : -1)
            if (!kxdock::IsPlaceholder(arr[i]) && PassesRowFilter(arr[i], bToolkitOnly, bResizableOnly))
                pEnd = static_cast<CControlBar*>(arr[i]);
    }
    if (pEnd == nullptr)
        pEnd = GetRowNeighbour(!bForward, bToolkitOnly, bResizableOnly);
    return pEnd != nullptr ? pEnd : const_cast<CExtControlBar*>(this);
}

void CExtControlBar::CollectRowBars(CArray<CControlBar*, CControlBar*>& arrOut, RECT* pUnion, int* pIndex,
                                    bool* pAnyResizable, bool* pFull) const
{
    arrOut.RemoveAll();
    if (pIndex != nullptr)
        *pIndex = -1;
    int nFirst = 0, nEnd = 0;
    if (!FindOwnRow(this, &nFirst, &nEnd))
        return;
    for (int i = nFirst; i < nEnd; ++i)
    {
        void* pEntry = m_pDockBar->m_arrBars[i];
        if (!kxdock::IsBarEntry(pEntry) || !static_cast<CControlBar*>(pEntry)->IsVisible())
            continue;
        if (pEntry == this && pIndex != nullptr)
            *pIndex = static_cast<int>(arrOut.GetSize());
        arrOut.Add(static_cast<CControlBar*>(pEntry));
    }
    ReportFacts(FactsOfRow(m_pDockBar, nFirst, nEnd, true), pUnion, pAnyResizable, pFull);
}

void CExtControlBar::CollectRowToolkitBars(CArray<CExtControlBar*, CExtControlBar*>& arrOut, bool bSkipFixed,
                                           RECT* pUnion, int* pIndex, bool* pAnyResizable, bool* pFull) const
{
    arrOut.RemoveAll();
    if (pIndex != nullptr)
        *pIndex = -1;
    int nFirst = 0, nEnd = 0;
    if (!FindOwnRow(this, &nFirst, &nEnd))
        return;
    for (int i = nFirst; i < nEnd; ++i)
    {
        CExtControlBar* pBar = AsExtBar(m_pDockBar->m_arrBars[i]);
        if (pBar == nullptr || (bSkipFixed && pBar->IsFixedMode()))
            continue;
        if (pBar == this && pIndex != nullptr)
            *pIndex = static_cast<int>(arrOut.GetSize());
        arrOut.Add(pBar);
    }
    ReportFacts(FactsOfRow(m_pDockBar, nFirst, nEnd, false), pUnion, pAnyResizable, pFull);
}

void CExtControlBar::CollectAdjacentRow(bool bNext, CArray<CControlBar*, CControlBar*>& arrOut, RECT* pUnion,
                                        int* pPosition, bool* pAnyResizable, bool* pFull) const
{
    arrOut.RemoveAll();
    const int nSelf = m_pDockBar != nullptr ? kxdock::FindEntry(m_pDockBar->m_arrBars, this) : -1;
    if (pPosition != nullptr)
        *pPosition = nSelf;
    if (nSelf <= 0)
        return;
    const CPtrArray& arr = m_pDockBar->m_arrBars;
    int nFirst = 0, nEnd = 0;
    kxdock::RowBounds(arr, nSelf, &nFirst, &nEnd);
    int nAdjacent = bNext ? nEnd + 1 : nFirst - 2;
    if (nAdjacent <= 0 || nAdjacent >= arr.GetSize() || arr[nAdjacent] == nullptr)
        return;
    kxdock::RowBounds(arr, nAdjacent, &nFirst, &nEnd);
    for (int i = nFirst; i < nEnd; ++i)
        if (kxdock::IsBarEntry(arr[i]) && static_cast<CControlBar*>(arr[i])->IsVisible())
            arrOut.Add(static_cast<CControlBar*>(arr[i]));
    ReportFacts(FactsOfRow(m_pDockBar, nFirst, nEnd, true), pUnion, pAnyResizable, pFull);
}

bool CExtControlBar::IsFirstInRow(bool bResizableOnly) const
{
    if (m_pDockBar == nullptr)
        return false;
    const CPtrArray& arr = m_pDockBar->m_arrBars;
    int nCount = 0;
    for (INT_PTR i = 0; i < arr.GetSize(); ++i)
    {
        void* pEntry = arr[i];
        if (pEntry == nullptr)
        {
            nCount = 0;
            continue;
        }
        if (kxdock::IsPlaceholder(pEntry))
            continue;
        if (bResizableOnly && !IsResizableEntry(pEntry))
            return false;
        if (pEntry == this)
            return nCount == 0;
        ++nCount;
    }
    return false;
}

bool CExtControlBar::IsLastInRow(bool bResizableOnly) const
{
    if (bResizableOnly)
    {
        CArray<CExtControlBar*, CExtControlBar*> arrBars;
        CollectRowToolkitBars(arrBars, true);
        return arrBars.GetSize() > 0 && arrBars[arrBars.GetSize() - 1] == this;
    }
    CArray<CControlBar*, CControlBar*> arrBars;
    CollectRowBars(arrBars);
    return arrBars.GetSize() > 0 && arrBars[arrBars.GetSize() - 1] == this;
}

bool CExtControlBar::IsAloneInRow(bool bCountNonResizable, bool bCountResizable) const
{
    CArray<CControlBar*, CControlBar*> arrBars;
    CollectRowBars(arrBars);
    int nCounted = 0;
    for (INT_PTR i = 0; i < arrBars.GetSize(); ++i)
    {
        const bool bResizable = IsResizableEntry(arrBars[i]);
        if ((bCountNonResizable && !bCountResizable && bResizable) ||
            (bCountResizable && !bCountNonResizable && !bResizable))
            continue;
        ++nCounted;
    }
    return nCounted == 1;
}

bool CExtControlBar::IsMaximizedInRow() const
{
    if (!IsDocked() || IsFloating() || IsMinimizedInRow())
        return false;
    CArray<CExtControlBar*, CExtControlBar*> arrBars;
    CollectRowToolkitBars(arrBars, true);
    for (INT_PTR i = 0; i < arrBars.GetSize(); ++i)
        if (arrBars[i] != this && !arrBars[i]->IsMinimizedInRow())
            return false;
    return true;
}

void CExtControlBar::MinimizeInRow()
{
    CArray<CExtControlBar*, CExtControlBar*> arrBars;
    if (!PanesSharingRow(this, arrBars))
        return;
    const bool bHorz = IsDockedHorizontally();
    LONG& nExtent = ExtentOf(this, bHorz);
    int nFreed = nExtent - MinExtentOf(this, bHorz);
    nExtent = MinExtentOf(this, bHorz);
    while (nFreed > 0)
        for (INT_PTR i = 0; i < arrBars.GetSize() && nFreed > 0; ++i)
            if (arrBars[i] != this)
            {
                ++ExtentOf(arrBars[i], bHorz);
                --nFreed;
            }
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RecalcLayout();
    if (CFrameWnd* pFrame = GetDockingFrame())
        pFrame->SetFocus();
}

void CExtControlBar::MaximizeInRow()
{
    CArray<CExtControlBar*, CExtControlBar*> arrBars;
    if (!PanesSharingRow(this, arrBars))
        return;
    const bool bHorz = IsDockedHorizontally();
    for (INT_PTR i = 0; i < arrBars.GetSize(); ++i)
    {
        if (arrBars[i] == this)
            continue;
        LONG& nOther = ExtentOf(arrBars[i], bHorz);
        const int nMin = MinExtentOf(arrBars[i], bHorz);
        ExtentOf(this, bHorz) += std::max(0, static_cast<int>(nOther) - nMin);
        nOther = std::min(nOther, static_cast<LONG>(nMin));
    }
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RecalcLayout();
}

void CExtControlBar::MakeSoleInRow()
{
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != nullptr)
        pFrame->RecalcLayout();
    if (m_pDockBar == nullptr)
        return;
    const int nSelf = kxdock::FindEntry(m_pDockBar->m_arrBars, this);
    if (nSelf <= 0)
        return;
    kxdock::SeparateEntry(m_pDockBar->m_arrBars, nSelf);
    ExtentOf(this, IsDockedHorizontally()) = 32767;
    if (pFrame != nullptr)
        pFrame->RecalcLayout();
}

void CExtControlBar::RepositionChild(int cx, int cy, bool bRepaint)
{
    if (!m_bChildFillsClient)
        return;
    HWND hChild = ::GetWindow(m_hWnd, GW_CHILD);
    if (hChild == nullptr)
        return;
    CRect rc(0, 0, cx, cy);
    if (cx < 0 || cy < 0)
        GetClientRect(&rc);
    if (IsFloating())
        rc.DeflateRect(::GetSystemMetrics(SM_CXFRAME), ::GetSystemMetrics(SM_CYFRAME));
    CRect rcChild;
    ::GetWindowRect(hChild, &rcChild);
    ScreenToClient(&rcChild);
    if (rcChild != rc)
        ::MoveWindow(hChild, rc.left, rc.top, rc.Width(), rc.Height(), bRepaint ? TRUE : FALSE);
}
