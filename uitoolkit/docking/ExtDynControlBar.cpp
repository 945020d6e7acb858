// Containers and their nested dock bars: the visible layout a container
// divides its size by, its minimal size, the queries its panes answer
// together, and its dissolving when one pane or none is left.
#include "uitoolkit/docking/ExtDynControlBar.h"

#include "uitoolkit/core/ExtDockContainerLayout.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CExtDockDynBar, CExtDockBar)
IMPLEMENT_DYNCREATE(CExtDynControlBar, CExtControlBar)

namespace
{

CExtDynControlBar* AsContainer(void* pEntry)
{
    if (!kxdock::IsBarEntry(pEntry))
        return nullptr;
    auto* pBar = static_cast<CControlBar*>(pEntry);
    if (!pBar->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)))
        return nullptr;
    auto* pContainer = static_cast<CExtDynControlBar*>(pBar);
    if (pContainer->IsFixedMode() || pContainer->IsFixedDockStyle() || pContainer->m_pNestedDockBar == nullptr)
        return nullptr;
    return pContainer;
}

// The containers docked in a row array, collected first: dissolving one
// changes the array.
void CollectContainers(const CPtrArray& arr, CArray<CExtDynControlBar*, CExtDynControlBar*>& arrOut, bool bVisibleOnly)
{
    for (INT_PTR i = 1; i < arr.GetSize(); ++i)
        if (CExtDynControlBar* pContainer = AsContainer(arr[i]))
            if (!bVisibleOnly || pContainer->IsVisible())
                arrOut.Add(pContainer);
}

bool IsLiveWindow(CWnd* pWnd)
{
    return pWnd != nullptr && pWnd->m_hWnd != nullptr && ::IsWindow(pWnd->m_hWnd);
}

// The extents of the layout's panes across and along their rows.
kxdock::ContainerRows PaneRows(const CExtDockDynBar::RowLayout_t& layout, bool bHorz)
{
    kxdock::ContainerRows rows(static_cast<size_t>(layout.m_arrRows.GetSize()));
    for (INT_PTR r = 0; r < layout.m_arrRows.GetSize(); ++r)
        for (INT_PTR i = 0; i < layout.m_arrRows[r]->m_arrBars.GetSize(); ++i)
        {
            const CExtControlBar* pPane = layout.m_arrRows[r]->m_arrBars[i];
            kxdock::ContainerPane pane;
            pane.nThickness = bHorz ? pPane->m_sizeDockedH.cy : pPane->m_sizeDockedV.cx;
            pane.nLength = bHorz ? pPane->m_sizeDockedH.cx : pPane->m_sizeDockedV.cy;
            pane.nMinThickness = bHorz ? pPane->GetMinimalHeight() : pPane->GetMinimalWidth();
            pane.nMinLength = bHorz ? pPane->GetMinimalWidth() : pPane->GetMinimalHeight();
            rows[static_cast<size_t>(r)].panes.push_back(pane);
        }
    return rows;
}

} // namespace

// ---- the recursion of every dock bar into its containers ----

void CExtDockBar::UpdateNestedLayout()
{
    if (m_bLayoutLocked || m_bUpdatingNested)
        return;
    m_bUpdatingNested = true;
    CArray<CExtDynControlBar*, CExtDynControlBar*> arrContainers;
    CollectContainers(m_arrBars, arrContainers, true);
    for (INT_PTR i = 0; i < arrContainers.GetSize(); ++i)
        arrContainers[i]->m_pNestedDockBar->UpdateNestedLayout();
    m_bUpdatingNested = false;
}

void CExtDockBar::CollapseNestedContainers()
{
    if (m_bLayoutLocked)
        return;
    CArray<CExtDynControlBar*, CExtDynControlBar*> arrContainers;
    CollectContainers(m_arrBars, arrContainers, false);
    for (INT_PTR i = 0; i < arrContainers.GetSize(); ++i)
        if (FindBar(arrContainers[i]) > 0)
            arrContainers[i]->m_pNestedDockBar->CollapseNestedContainers();
}

// ---- nested dock bar ----

CExtDockDynBar::RowLayout_t::~RowLayout_t()
{
    for (INT_PTR i = 0; i < m_arrRows.GetSize(); ++i)
        delete m_arrRows[i];
}

CExtDockDynBar::CExtDockDynBar(UINT nCircleNo) : CExtDockBar(nCircleNo), m_bRemovedFromFrameList(false)
{
    m_bAutoDelete = TRUE;
}

bool CExtDockDynBar::IsHorzRows() const
{
    const UINT nId = m_hWnd != nullptr ? static_cast<UINT>(GetDlgCtrlID()) : AFX_IDW_DOCKBAR_TOP;
    return nId == AFX_IDW_DOCKBAR_TOP || nId == AFX_IDW_DOCKBAR_BOTTOM;
}

CExtControlBar* CExtDockDynBar::GetContainer() const
{
    CWnd* pParent = m_hWnd != nullptr ? CWnd::FromHandlePermanent(::GetParent(m_hWnd)) : nullptr;
    return pParent != nullptr && pParent->IsKindOf(RUNTIME_CLASS(CExtDynControlBar))
               ? static_cast<CExtControlBar*>(pParent)
               : nullptr;
}

CDockBar* CExtDockDynBar::GetHoldingDockBar() const
{
    CExtControlBar* pContainer = GetContainer();
    return pContainer != nullptr ? pContainer->m_pDockBar : nullptr;
}

void CExtDockDynBar::BuildVisibleLayout(RowLayout_t& layout) const
{
    VisibleLayoutItem_t* pRow = nullptr;
    for (INT_PTR i = 1; i < m_arrBars.GetSize(); ++i)
    {
        void* pEntry = m_arrBars[i];
        if (pEntry == nullptr)
        {
            if (i != m_arrBars.GetSize() - 1 && pRow != nullptr && pRow->m_arrBars.GetSize() > 0)
                pRow = nullptr;
            continue;
        }
        if (!kxdock::IsBarEntry(pEntry))
            continue;
        auto* pBar = static_cast<CControlBar*>(pEntry);
        if (!pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) || !pBar->IsVisible())
            continue;
        if (pRow == nullptr)
        {
            pRow = new VisibleLayoutItem_t;
            layout.m_arrRows.Add(pRow);
        }
        auto* pPane = static_cast<CExtControlBar*>(pBar);
        pRow->m_arrBars.Add(pPane);
        ++layout.m_nVisibleCount;
    }
    const kxdock::ContainerRows rows = PaneRows(layout, IsHorzRows());
    for (INT_PTR r = 0; r < layout.m_arrRows.GetSize(); ++r)
    {
        const kxdock::ContainerRow& row = rows[static_cast<size_t>(r)];
        layout.m_arrRows[r]->m_nRowThickness = row.Thickness();
        layout.m_arrRows[r]->m_nRowMinThickness = row.MinThickness();
        layout.m_arrRows[r]->m_nRowLength = row.Length();
    }
    const kxdock::ContainerTotals totals = kxdock::SumContainerRows(rows);
    layout.m_nTotalThickness = totals.nThickness;
    layout.m_nTotalMinThickness = totals.nMinThickness;
    layout.m_nMaxMinLength = totals.nMaxMinLength;
}

CSize CExtDockDynBar::CalcFixedLayout(BOOL bStretch, BOOL)
{
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    RowLayout_t layout;
    BuildVisibleLayout(layout);
    if (layout.m_nVisibleCount == 0 || !bStretch || rcWindow.Width() < 1 || rcWindow.Height() < 1)
        return rcWindow.Size();
    CRect rcClient;
    GetClientRect(&rcClient);
    const bool bHorz = IsHorzRows();

    // The sizes as the panes hold them, divided, and written back.
    kxdock::ContainerRows rows = PaneRows(layout, bHorz);
    kxdock::DistributeContainerThickness(rows, bHorz ? rcClient.Height() : rcClient.Width());
    for (kxdock::ContainerRow& row : rows)
        kxdock::DistributeContainerLength(row, bHorz ? rcClient.Width() : rcClient.Height());

    HDWP hDWP = ::BeginDeferWindowPos(layout.m_nVisibleCount);
    CPoint pos(0, 0);
    for (INT_PTR r = 0; r < layout.m_arrRows.GetSize(); ++r)
    {
        const kxdock::ContainerRow& row = rows[static_cast<size_t>(r)];
        for (INT_PTR i = 0; i < layout.m_arrRows[r]->m_arrBars.GetSize(); ++i)
        {
            CExtControlBar* pPane = layout.m_arrRows[r]->m_arrBars[i];
            const kxdock::ContainerPane& pane = row.panes[static_cast<size_t>(i)];
            CSize& size = bHorz ? pPane->m_sizeDockedH : pPane->m_sizeDockedV;
            size = bHorz ? CSize(pane.nLength, pane.nThickness) : CSize(pane.nThickness, pane.nLength);
            const UINT nFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER;
            if (hDWP != nullptr)
                hDWP = ::DeferWindowPos(hDWP, pPane->m_hWnd, nullptr, pos.x, pos.y, size.cx, size.cy, nFlags);
            if (hDWP == nullptr)
                pPane->MoveWindow(pos.x, pos.y, size.cx, size.cy, TRUE);
            (bHorz ? pos.x : pos.y) += bHorz ? size.cx : size.cy;
        }
        (bHorz ? pos.y : pos.x) += row.Thickness();
        (bHorz ? pos.x : pos.y) = 0;
    }
    if (hDWP != nullptr)
        ::EndDeferWindowPos(hDWP);
    for (INT_PTR r = 0; r < layout.m_arrRows.GetSize(); ++r)
        for (INT_PTR i = 0; i < layout.m_arrRows[r]->m_arrBars.GetSize(); ++i)
            layout.m_arrRows[r]->m_arrBars[i]->RepositionChild(-1, -1, true);
    return rcWindow.Size();
}

CExtDynAutoHideArea* CExtDockDynBar::GetAutoHideArea() const
{
    CDockBar* pHolding = GetHoldingDockBar();
    return pHolding != nullptr && pHolding->IsKindOf(RUNTIME_CLASS(CExtDockBar))
               ? static_cast<CExtDockBar*>(pHolding)->GetAutoHideArea()
               : nullptr;
}

bool CExtDockDynBar::LockLayout(bool bLock)
{
    const bool bWas = CExtDockBar::LockLayout(bLock);
    CDockBar* pHolding = GetHoldingDockBar();
    if (pHolding != nullptr && pHolding->IsKindOf(RUNTIME_CLASS(CExtDockBar)))
        static_cast<CExtDockBar*>(pHolding)->LockLayout(bLock);
    return bWas;
}

void CExtDockDynBar::UpdateNestedLayout()
{
    if (m_bLayoutLocked || m_bUpdatingNested || m_hWnd == nullptr)
        return;
    m_bUpdatingNested = true;
    CalcFixedLayout(TRUE, IsHorzRows());
    m_bUpdatingNested = false;
    CExtDockBar::UpdateNestedLayout();
}

void CExtDockDynBar::CollectBars(CArray<CExtControlBar*, CExtControlBar*>& arrBars)
{
    for (INT_PTR i = 1; i < m_arrBars.GetSize(); ++i)
        if (kxdock::IsBarEntry(m_arrBars[i]) &&
            static_cast<CControlBar*>(m_arrBars[i])->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
            arrBars.Add(static_cast<CExtControlBar*>(m_arrBars[i]));
}

void CExtDockDynBar::CollapseNestedContainers()
{
    if (m_bLayoutLocked)
        return;
    CExtControlBar* pPane = nullptr;
    int nEntries = 0;
    for (INT_PTR i = 1; i < m_arrBars.GetSize(); ++i)
    {
        void* pEntry = m_arrBars[i];
        if (pEntry == nullptr)
            continue;
        ++nEntries;
        if (pPane == nullptr && kxdock::IsBarEntry(pEntry))
            pPane = static_cast<CExtControlBar*>(pEntry);
    }
    if (pPane != nullptr && nEntries >= 2)
    {
        CExtDockBar::CollapseNestedContainers();
        return;
    }
    DissolveContainer(pPane);
}

void CExtDockDynBar::DissolveContainer(CExtControlBar* pPane)
{
    CExtControlBar* pContainer = GetContainer();
    CDockBar* pHolding = GetHoldingDockBar();
    if (pContainer == nullptr || pHolding == nullptr)
        return;
    CFrameWnd* pDockSite = m_pDockSite;
    CFrameWnd* pParentFrame = GetParentFrame();
    const bool bInFloatingFrame = pParentFrame != nullptr && pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd));
    if (bInFloatingFrame)
        pParentFrame->m_nIdleFlags |= CFrameWnd::idleLayout | CFrameWnd::idleNotify;
    const int nPos = pHolding->FindBar(pContainer);
    if (pPane != nullptr)
    {
        if (nPos <= 0)
            return;
        CRect rcContainer;
        pContainer->GetWindowRect(&rcContainer);
        pHolding->ScreenToClient(&rcContainer);
        pHolding->m_arrBars[nPos] = pPane;
        pPane->m_pDockBar = pHolding;
        if (!pPane->IsFixedMode())
        {
            const bool bHolderHorz = (pHolding->m_dwStyle & CBRS_ORIENT_HORZ) != 0;
            (bHolderHorz ? pPane->m_sizeDockedH : pPane->m_sizeDockedV) = rcContainer.Size();
            pPane->SetBarStyle((pPane->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_FLOATING)) |
                               (pContainer->m_dwStyle & (CBRS_ALIGN_ANY | CBRS_FLOATING)) | CBRS_BORDER_ANY);
        }
        m_arrBars.RemoveAll();
        m_arrBars.Add(nullptr);
        pPane->m_bNoSizeHandling = true;
        pPane->SetParent(pHolding);
        pPane->SetWindowPos(nullptr, rcContainer.left, rcContainer.top, rcContainer.Width(), rcContainer.Height(),
                            SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        pPane->m_bNoSizeHandling = false;
        pPane->RepositionChild(-1, -1, true);
    }
    else if (nPos > 0)
        pHolding->CDockBar::RemoveControlBar(pContainer, -1, -1);
    pContainer->m_pDockBar = nullptr;
    if (pDockSite != nullptr)
        pDockSite->RemoveControlBar(this);
    // The container and this dock bar delete themselves with their windows.
    if (IsLiveWindow(pContainer))
        pContainer->DestroyWindow();
    if (!bInFloatingFrame && pDockSite != nullptr)
        pDockSite->DelayRecalcLayout();
    if (IsLiveWindow(pHolding) && pHolding->IsKindOf(RUNTIME_CLASS(CExtDockBar)))
        static_cast<CExtDockBar*>(pHolding)->UpdateNestedLayout();
}

LRESULT CExtDockDynBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CExtDockBar::WindowProc(message, wParam, lParam);
    if (message == WM_SIZE && !m_bRemovedFromFrameList)
    {
        // Frame-wide walks reach the panes through the container.
        m_bRemovedFromFrameList = true;
        if (m_pDockSite != nullptr)
            m_pDockSite->RemoveControlBar(this);
    }
    return lResult;
}

// ---- container ----

CExtDynControlBar::CExtDynControlBar()
{
    m_bListedInBarsMenu = false;
    m_bAutoDelete = TRUE;
}

CExtDockDynBar* CExtDynControlBar::CreateNestedDockBar()
{
    return new CExtDockDynBar(0);
}

LRESULT CExtDynControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_CREATE)
        return CExtControlBar::WindowProc(message, wParam, lParam);
    if (CExtControlBar::WindowProc(message, wParam, lParam) == -1)
        return -1;
    m_pNestedDockBar = CreateNestedDockBar();
    const DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_ALIGN_TOP | CBRS_BORDER_ANY;
    if (!m_pNestedDockBar->Create(GetParent(), dwStyle, static_cast<UINT>(GetDlgCtrlID())))
    {
        // A dock bar whose window was never made does not delete itself.
        delete m_pNestedDockBar;
        m_pNestedDockBar = nullptr;
        return -1;
    }
    m_pNestedDockBar->SetParent(this);
    EnableToolTips(TRUE);
    return 0;
}

CSize CExtDynControlBar::CalcDynamicLayout(int nLength, DWORD nMode)
{
    const CSize size = CExtControlBar::CalcDynamicLayout(nLength, nMode);
    if (m_pDockBar == nullptr || m_pDockBar->m_bLayoutQuery || !IsLiveWindow(m_pNestedDockBar))
        return size;
    CExtDockDynBar::RowLayout_t layout;
    m_pNestedDockBar->BuildVisibleLayout(layout);
    if (layout.m_nVisibleCount == 0)
    {
        if (m_pDockSite != nullptr)
            m_pDockSite->ShowControlBar(this, FALSE, FALSE);
        return CSize(0, 0);
    }
    CFrameWnd* pParentFrame = GetParentFrame();
    if (pParentFrame != nullptr && pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)) &&
        pParentFrame == m_pDockBar->GetParentFrame() && !m_pNestedDockBar->m_bLayoutLocked)
        m_pNestedDockBar->UpdateNestedLayout();
    return size;
}

bool CExtDynControlBar::HasGripper(bool* pbCaptionAtTop, bool* pbCaptionShown) const
{
    if (pbCaptionAtTop != nullptr)
        *pbCaptionAtTop = false;
    if (pbCaptionShown != nullptr)
        *pbCaptionShown = false;
    return false;
}

void CExtDynControlBar::ShowBar(bool bShow, bool bDelay, int nFlag)
{
    CFrameWnd* pFrame = GetDockingFrame();
    if (pFrame == nullptr)
        return;
    if (m_pNestedDockBar != nullptr)
    {
        CArray<CExtControlBar*, CExtControlBar*> arrPanes;
        m_pNestedDockBar->CollectBars(arrPanes);
        for (INT_PTR i = 0; i < arrPanes.GetSize(); ++i)
            arrPanes[i]->ShowBar(bShow, true, nFlag);
        for (INT_PTR i = 1; i < m_pNestedDockBar->m_arrBars.GetSize(); ++i)
        {
            void* pEntry = m_pNestedDockBar->m_arrBars[i];
            if (kxdock::IsBarEntry(pEntry) &&
                !static_cast<CControlBar*>(pEntry)->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
                pFrame->ShowControlBar(static_cast<CControlBar*>(pEntry), bShow, TRUE);
        }
    }
    pFrame->ShowControlBar(this, bShow, TRUE);
    if (!bDelay)
        if (CFrameWnd* pParentFrame = GetParentFrame())
            pParentFrame->RecalcLayout();
}

CSize CExtDynControlBar::CalcContainerMinSize() const
{
    CWnd* pChild = m_hWnd != nullptr ? CWnd::FromHandlePermanent(::GetWindow(m_hWnd, GW_CHILD)) : nullptr;
    if (pChild == nullptr || !pChild->IsKindOf(RUNTIME_CLASS(CExtDockDynBar)))
        return CSize(0, 0);
    auto* pNested = static_cast<CExtDockDynBar*>(pChild);
    CExtDockDynBar::RowLayout_t layout;
    pNested->BuildVisibleLayout(layout);
    kxdock::ContainerTotals totals;
    totals.nMinThickness = layout.m_nTotalMinThickness;
    totals.nMaxMinLength = layout.m_nMaxMinLength;
    return kxdock::ContainerMinSize(totals, pNested->IsHorzRows());
}

int CExtDynControlBar::GetMinimalWidth() const
{
    return CalcContainerMinSize().cx;
}

int CExtDynControlBar::GetMinimalHeight() const
{
    return CalcContainerMinSize().cy;
}

CSize CExtDynControlBar::GetMinimalFloatingSize() const
{
    return CalcContainerMinSize();
}

bool CExtDynControlBar::AllPanesAgree(bool bBase, bool (CExtControlBar::*pQuery)(CExtControlBar*) const,
                                      CExtControlBar* pBar) const
{
    if (!bBase || m_pNestedDockBar == nullptr)
        return bBase;
    CArray<CExtControlBar*, CExtControlBar*> arrPanes;
    m_pNestedDockBar->CollectBars(arrPanes);
    for (INT_PTR i = 0; i < arrPanes.GetSize(); ++i)
        if (!(arrPanes[i]->*pQuery)(pBar))
            return false;
    return true;
}

bool CExtDynControlBar::CanResizeRow(CExtControlBar* pBar) const
{
    return AllPanesAgree(CExtControlBar::CanResizeRow(pBar), &CExtControlBar::CanResizeRow, pBar);
}

bool CExtDynControlBar::CanResizeInRow(CExtControlBar* pBar) const
{
    return AllPanesAgree(CExtControlBar::CanResizeInRow(pBar), &CExtControlBar::CanResizeInRow, pBar);
}

bool CExtDynControlBar::CanDrag(CExtControlBar* pBar) const
{
    return AllPanesAgree(CExtControlBar::CanDrag(pBar), &CExtControlBar::CanDrag, pBar);
}

bool CExtDynControlBar::CanDockAsTabWith(CExtControlBar* pBar) const
{
    if (!CExtControlBar::CanDockAsTabWith(pBar) || m_pNestedDockBar == nullptr)
        return false;
    return AllPanesAgree(true, &CExtControlBar::CanDockAsTabWith, pBar);
}

bool CExtDynControlBar::CanToggleDocking(CExtControlBar* pBar) const
{
    return AllPanesAgree(CExtControlBar::CanToggleDocking(pBar), &CExtControlBar::CanToggleDocking, pBar);
}

bool CExtDynControlBar::CanShowOptionsMenu(CExtControlBar* pBar) const
{
    return AllPanesAgree(CExtControlBar::CanShowOptionsMenu(pBar), &CExtControlBar::CanShowOptionsMenu, pBar);
}

bool CExtDynControlBar::CanClose(CExtControlBar* pBar) const
{
    return AllPanesAgree(CExtControlBar::CanClose(pBar), &CExtControlBar::CanClose, pBar);
}

bool CExtDynControlBar::CanAutoHide(CExtControlBar* pBar) const
{
    return AllPanesAgree(CExtControlBar::CanAutoHide(pBar), &CExtControlBar::CanAutoHide, pBar);
}

CExtControlBar* CExtDynControlBar::GetCaptionSource() const
{
    if (m_pNestedDockBar == nullptr)
        return nullptr;
    CExtControlBar* pSource = nullptr;
    CArray<CExtControlBar*, CExtControlBar*> arrPanes;
    m_pNestedDockBar->CollectBars(arrPanes);
    for (INT_PTR i = 0; i < arrPanes.GetSize(); ++i)
    {
        CExtControlBar* pPane = arrPanes[i];
        if (pPane->IsFixedMode() || !pPane->IsVisible())
            continue;
        if (pPane->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)))
            pPane = static_cast<CExtDynControlBar*>(pPane)->GetCaptionSource();
        if (pPane == nullptr || pSource != nullptr)
            return nullptr;
        pSource = pPane;
    }
    return pSource;
}
