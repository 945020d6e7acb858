// Capturing live panes, containers and tabbed containers into bar-state
// records and rebuilding a frame's inner circles and floating containers
// from them.
#include "framework/win/DockContext.h"
#include "uitoolkit/core/ExtBarFilter.h"
#include "uitoolkit/docking/ExtBarStateTabbed.h"
#include "uitoolkit/docking/ExtDynControlBar.h"

using kxdock::InternalDockStateBar;
using kxdock::InternalDockStateSite;

namespace
{

// Calls f(bar, bRowBegan) for each toolkit bar of the dock bar in slot
// order; bRowBegan tells that a row ended before it.
template <class F>
void ForEachSlotBar(CDockBar* pDockBar, F f)
{
    bool bRowBegan = false;
    for (INT_PTR i = 1; i < pDockBar->m_arrBars.GetSize(); ++i)
    {
        void* pEntry = pDockBar->m_arrBars[i];
        if (pEntry == nullptr)
        {
            bRowBegan = true;
            continue;
        }
        if (CDockBar::IsPlaceholder(pEntry))
            continue;
        auto* pBar = static_cast<CControlBar*>(pEntry);
        if (!pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
            continue;
        f(static_cast<CExtControlBar*>(pBar), bRowBegan);
        bRowBegan = false;
    }
}

CRect OnWorkArea(const RECT& rc)
{
    return CExtPaintManager::FitRectIntoMonitor(rc, true, false);
}

// A bar a record may still hold: containers can dissolve (and delete
// themselves) while the layout settles after the rebuild.
bool IsLiveBar(CExtControlBar* pBar)
{
    return pBar != nullptr && kxbars::RegistryContains(CExtControlBar::g_AllBars, CExtControlBar::g_csAllBars, pBar) &&
           pBar->GetSafeHwnd() != nullptr;
}

CExtDockDynBar* NestedDockBarOf(CExtControlBar* pBar)
{
    if (!IsLiveBar(pBar) || !pBar->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)))
        return nullptr;
    return static_cast<CExtDynControlBar*>(pBar)->m_pNestedDockBar;
}

// The dock bar of a frame side at a circle. A circle may be at most one
// beyond the innermost there is: each step past that would make a whole
// circle of dock bars for nothing.
CExtDockBar* SideCircleDockBar(CFrameWnd* pFrame, UINT nDockBarId, UINT nCircleNo)
{
    if (nCircleNo == 0 || nDockBarId < AFX_IDW_DOCKBAR_TOP || nDockBarId > AFX_IDW_DOCKBAR_BOTTOM)
        return nullptr;
    CControlBar* pSide = pFrame->GetControlBar(nDockBarId);
    if (pSide == nullptr || !pSide->IsKindOf(RUNTIME_CLASS(CExtDockBar)) ||
        static_cast<CExtDockBar*>(pSide)->GetCircleNo() != 0)
        return nullptr;
    auto* pOuter = static_cast<CExtDockBar*>(pSide);
    UINT nInnermost = 0;
    for (CExtDockBar* p = pOuter; p->m_pDockBarInner != nullptr; p = p->m_pDockBarInner)
        nInnermost = p->m_pDockBarInner->GetCircleNo();
    if (nCircleNo > nInnermost + 1)
        return nullptr;
    try
    {
        return pOuter->GetCircleDockBar(nCircleNo);
    }
    catch (CException* pException)
    {
        pException->Delete();
        return nullptr;
    }
}

// A bar a plain record may name: a resizable toolkit pane, not a dock bar
// and not a container.
CExtControlBar* AsRebuildablePane(CControlBar* pBar)
{
    if (pBar == nullptr || pBar->IsDockBar() || !pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ||
        pBar->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)))
        return nullptr;
    auto* pPane = static_cast<CExtControlBar*>(pBar);
    return pPane->IsFixedMode() || pPane->IsFixedDockStyle() ? nullptr : pPane;
}

// Appends the bar as a new last row of the dock bar, also when it is
// already there.
void DockAsLastRow(CExtDockBar* pDockBar, CExtControlBar* pBar)
{
    if (pBar->m_pDockBar == pDockBar)
        pDockBar->RemoveControlBar(pBar, -1, -1, false);
    pDockBar->DockControlBar(pBar, nullptr, false);
}

void MoveWithoutSizeHandling(CExtControlBar* pBar, const RECT& rc)
{
    pBar->m_bNoSizeHandling = true;
    pBar->SetWindowPos(nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    pBar->m_bNoSizeHandling = false;
}

void TakeNestedDockBarOutOfFrameList(CFrameWnd* pFrame, CExtControlBar* pContainer)
{
    CExtDockDynBar* pNested = NestedDockBarOf(pContainer);
    if (pNested == nullptr || pNested->m_bRemovedFromFrameList)
        return;
    if (pFrame->m_listControlBars.Find(pNested) != nullptr)
        pFrame->RemoveControlBar(pNested);
    pNested->m_bRemovedFromFrameList = true;
}

} // namespace

void InternalDockStateSite::CaptureFloatingContainer(CMiniDockFrameWnd* pFloatingFrame)
{
    CWnd* pDockBar = pFloatingFrame->GetWindow(GW_CHILD);
    CWnd* pContainer = pDockBar != nullptr ? pDockBar->GetWindow(GW_CHILD) : nullptr;
    pContainer = pContainer != nullptr ? CWnd::FromHandlePermanent(pContainer->m_hWnd) : nullptr;
    if (pContainer == nullptr || !pContainer->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)))
        return;
    auto* pRecord = new InternalDockStateBar;
    m_arrBars.Add(pRecord);
    pRecord->CaptureBar(static_cast<CExtControlBar*>(pContainer), nullptr);
}

void InternalDockStateSite::CaptureDockBar(CExtDockBar* pDockBar)
{
    ForEachSlotBar(pDockBar,
                   [this](CExtControlBar* pBar, bool bRowBegan)
                   {
                       auto* pRecord = new InternalDockStateBar;
                       m_arrBars.Add(pRecord);
                       pRecord->CaptureBar(pBar, nullptr);
                       if (bRowBegan)
                           pRecord->m_dwStateFlags |= InternalDockStateBar::StateNewRow;
                   });
}

void InternalDockStateBar::CaptureBar(CExtControlBar* pBar, InternalDockStateBar* pParent)
{
    Clear();
    m_nBarID = static_cast<UINT>(pBar->GetDlgCtrlID());
    CDockBar* pDockBar = pBar->m_pDockBar;
    const bool bFloating = pBar->IsFloating();
    if (pDockBar != nullptr)
        m_nDockBarID = static_cast<UINT>(pDockBar->GetDlgCtrlID());
    m_nCircleNo = !bFloating && pDockBar != nullptr && pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar))
                      ? static_cast<CExtDockBar*>(pDockBar)->GetCircleNo()
                      : 0;
    if (pBar->IsVisible())
        m_dwStateFlags |= StateVisible;

    CArray<CExtControlBar*, CExtControlBar*> arrPages;
    int nSelected = -1;
    const bool bTabbed = kxbarstate::CollectTabbedPages(pBar, arrPages, nSelected);
    if (pBar->IsAutoHideMode())
    {
        // A page hides with its whole tabbed container.
        if (kxbarstate::IsTabbedPageDockBar(pDockBar))
        {
            if (pParent != nullptr)
                pParent->m_dwStateFlags |= StateAutoHidden;
        }
        else if (!bTabbed)
            m_dwStateFlags |= StateAutoHidden;
    }

    m_nMRUWidth = static_cast<UINT>(pBar->m_nMRUWidth);
    m_ptFloatPos = pBar->m_ptFloatPos;
    m_sizeDockedH = pBar->m_sizeDockedH;
    m_sizeDockedV = pBar->m_sizeDockedV;
    m_sizeFloated = pBar->m_sizeFloated;
    m_nSavedExtent = static_cast<DWORD>(pBar->m_nSavedExtent);
    if (CDockContext* pContext = pBar->m_pDockContext)
    {
        m_rcMRUDockPos = pContext->m_rectMRUDockPos;
        m_dwMRUFloatStyle = pContext->m_dwMRUFloatStyle;
        m_ptMRUFloatPos = pContext->m_ptMRUFloatPos;
    }
    m_dwBarStyle = pBar->GetBarStyle();

    if (bTabbed)
    {
        m_dwStateFlags |= StateKindTabbed;
        for (INT_PTR i = 0; i < arrPages.GetSize(); ++i)
        {
            auto* pChild = new InternalDockStateBar;
            m_arrChildren.Add(pChild);
            pChild->CaptureBar(arrPages[i], this);
            pChild->m_dwStateFlags |= StateChild | StateTabPage | (i == nSelected ? StateSelectedTab : 0);
        }
    }
    else if (CExtDockDynBar* pNested = NestedDockBarOf(pBar))
    {
        m_dwStateFlags |= StateKindContainer;
        ForEachSlotBar(pNested,
                       [this](CExtControlBar* pChildBar, bool bRowBegan)
                       {
                           auto* pChild = new InternalDockStateBar;
                           m_arrChildren.Add(pChild);
                           pChild->CaptureBar(pChildBar, this);
                           pChild->m_dwStateFlags |= StateChild | (bRowBegan ? StateNewRow : 0);
                       });
    }
    else
        m_dwStateFlags |= StateKindBar;

    if (GetKind() != StateKindBar && bFloating)
    {
        if (CFrameWnd* pFloatingFrame = pBar->GetParentFrame())
        {
            m_dwStateFlags |= StateFloatingContainer;
            CRect rc;
            pFloatingFrame->GetWindowRect(&rc);
            m_rcFloatFrame = rc;
            m_dwFloatFrameStyle = pFloatingFrame->GetStyle();
        }
    }
}

void InternalDockStateBar::RebuildBar(CFrameWnd* pFrame, InternalDockStateBar* pParent)
{
    m_pBar = nullptr;
    const DWORD nKind = GetKind();
    const bool bChild = (m_dwStateFlags & StateChild) != 0;
    CExtDockBar* pTarget = nullptr;
    if (bChild)
    {
        // The children of a record that was skipped go with it.
        pTarget = pParent != nullptr ? NestedDockBarOf(pParent->m_pBar) : nullptr;
        if (pTarget == nullptr)
            return;
    }

    if (nKind == StateKindContainer || nKind == StateKindTabbed)
    {
        CExtControlBar* pNew = nullptr;
        if (nKind == StateKindTabbed)
        {
            pFrame->SendMessage(CExtControlBar::g_nMsgCreateTabbedBar, reinterpret_cast<WPARAM>(&pNew));
            if (pNew == nullptr)
                pNew = kxbarstate::NewTabbedContainer();
        }
        else
        {
            CExtDynControlBar* pDyn = nullptr;
            pFrame->SendMessage(CExtControlBar::g_nMsgCreateDynBar, reinterpret_cast<WPARAM>(&pDyn));
            pNew = pDyn != nullptr ? pDyn : new CExtDynControlBar;
        }
        if (pNew == nullptr)
            return;
        if (!pNew->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)))
        {
            delete pNew;
            return;
        }
        auto* pContainer = static_cast<CExtDynControlBar*>(pNew);
        pContainer->m_sizeDockedH = m_sizeDockedH;
        pContainer->m_sizeDockedV = m_sizeDockedV;
        pContainer->m_sizeFloated = m_sizeFloated;
        // The container takes the alignment it had: the stored bar style
        // holds it (the state flags never carry style bits).
        const DWORD dwStyle = WS_CHILD | CBRS_BORDER_ANY | CBRS_TOOLTIPS | (m_dwBarStyle & CBRS_ALIGN_ANY);
        // A container whose window cannot be made has deleted itself.
        if (!pContainer->Create(nullptr, pFrame, m_nBarID, dwStyle))
            return;
        pContainer->m_pDockSite = pFrame;
        pContainer->m_pNestedDockBar->m_pDockSite = pFrame;
        pContainer->SetOwner(pFrame);
        pContainer->EnableDocking(CBRS_ALIGN_ANY);
        if (pFrame->m_listControlBars.Find(pContainer) == nullptr)
            pFrame->AddControlBar(pContainer);

        CExtMiniDockFrameWnd* pFloatingFrame = nullptr;
        if ((m_dwStateFlags & StateFloatingContainer) != 0)
        {
            try
            {
                pFloatingFrame = pContainer->CreateFloatingFrame(m_dwFloatFrameStyle);
            }
            catch (CException* pException)
            {
                pException->Delete();
                pContainer->DestroyWindow();
                return;
            }
            const CRect rc = OnWorkArea(m_rcFloatFrame);
            pFloatingFrame->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
            pFloatingFrame->m_nIdleFlags |= CFrameWnd::idleLayout | CFrameWnd::idleNotify;
            pContainer->SetParent(pFloatingFrame->m_pWndDockBar);
        }
        TakeNestedDockBarOutOfFrameList(pFrame, pContainer);
        m_pBar = pContainer;

        if (pFloatingFrame != nullptr)
        {
            static_cast<CExtDockBar*>(pFloatingFrame->m_pWndDockBar)->DockControlBar(pContainer, nullptr, false);
            MoveWithoutSizeHandling(pContainer, m_rcBar);
        }
        else
        {
            if (!bChild)
                pTarget = SideCircleDockBar(pFrame, m_nDockBarID, m_nCircleNo);
            if (pTarget == nullptr)
            {
                m_pBar = nullptr;
                pContainer->DestroyWindow();
                return;
            }
            const bool bWasLocked = pTarget->LockLayout(true);
            DockAsLastRow(pTarget, pContainer);
            MoveWithoutSizeHandling(pContainer, m_rcBar);
            pTarget->LockLayout(bWasLocked);
            RestoreRow(pTarget);
        }

        m_nSelectedChild = -1;
        for (INT_PTR i = 0; i < m_arrChildren.GetSize(); ++i)
        {
            InternalDockStateBar* pChild = m_arrChildren[i];
            if (nKind == StateKindTabbed &&
                (pChild->m_dwStateFlags & (StateSelectedTab | StateVisible)) == (StateSelectedTab | StateVisible))
                m_nSelectedChild = static_cast<int>(i);
            pChild->RebuildBar(pFrame, this);
        }
    }
    else if (nKind == StateKindBar)
    {
        CExtControlBar* pPane = AsRebuildablePane(pFrame->GetControlBar(m_nBarID));
        if (pPane == nullptr)
            return;
        if (!bChild)
            pTarget = SideCircleDockBar(pFrame, m_nDockBarID, m_nCircleNo);
        if (pTarget == nullptr)
            return;
        const bool bWasLocked = pTarget->LockLayout(true);
        bool bPlaced = true;
        if (bChild)
        {
            pPane->m_bNoSizeHandling = true;
            if ((m_dwStateFlags & StateTabPage) != 0)
                bPlaced = kxbarstate::AppendTabbedPage(pParent->m_pBar, pPane);
            else
                DockAsLastRow(pTarget, pPane);
            pPane->SetWindowPos(nullptr, m_rcBar.left, m_rcBar.top, m_rcBar.right - m_rcBar.left,
                                m_rcBar.bottom - m_rcBar.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
            pPane->m_bNoSizeHandling = false;
        }
        else
            DockAsLastRow(pTarget, pPane);
        pTarget->LockLayout(bWasLocked);
        if (!bPlaced || pPane->m_pDockBar != pTarget)
            return;
        m_pBar = pPane;
        // a tabbed container keeps every page in a row of its own
        if (!bChild || (m_dwStateFlags & StateTabPage) == 0)
            RestoreRow(pTarget);
    }
    else
        return;

    pFrame->ShowControlBar(m_pBar, (m_dwStateFlags & StateVisible) != 0, TRUE);
    CFrameWnd* pParentFrame = m_pBar->GetParentFrame();
    if (pParentFrame != nullptr && pParentFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
    {
        pParentFrame->m_listControlBars.RemoveAll();
        CRect rc;
        pParentFrame->GetWindowRect(&rc);
        const CRect rcFitted = OnWorkArea(rc);
        if (rcFitted != rc)
        {
            pParentFrame->SetWindowPos(nullptr, rcFitted.left, rcFitted.top, rcFitted.Width(), rcFitted.Height(),
                                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
            pParentFrame->m_nIdleFlags |= CFrameWnd::idleLayout | CFrameWnd::idleNotify;
        }
    }
    m_pBar->SetBarStyle(m_dwBarStyle);
    CopyMetricsToBar();
}

void InternalDockStateBar::RestoreRow(CExtDockBar* pDockBar)
{
    const int n = pDockBar->FindBar(m_pBar);
    if (n <= 1)
        return;
    void* pBefore = pDockBar->m_arrBars[n - 1];
    if ((m_dwStateFlags & StateNewRow) != 0)
    {
        if (pBefore != nullptr && !CDockBar::IsPlaceholder(pBefore))
            pDockBar->m_arrBars.InsertAt(n, static_cast<void*>(nullptr));
    }
    else if (pBefore == nullptr)
        pDockBar->m_arrBars.RemoveAt(n - 1);
}

void InternalDockStateBar::CopyMetricsToBar()
{
    if (!IsLiveBar(m_pBar))
        return;
    m_pBar->m_ptFloatPos = m_ptFloatPos;
    m_pBar->m_sizeDockedH = m_sizeDockedH;
    m_pBar->m_sizeDockedV = m_sizeDockedV;
    m_pBar->m_sizeFloated = m_sizeFloated;
    m_pBar->m_nSavedExtent = static_cast<int>(m_nSavedExtent);
    m_pBar->m_nMRUWidth = static_cast<int>(m_nMRUWidth);
    if (CDockContext* pContext = m_pBar->m_pDockContext)
    {
        pContext->m_rectMRUDockPos = m_rcMRUDockPos;
        pContext->m_dwMRUFloatStyle = m_dwMRUFloatStyle;
        pContext->m_ptMRUFloatPos = m_ptMRUFloatPos;
    }
}

void InternalDockStateBar::ApplyMetrics(CFrameWnd* pFrame, InternalDockStateBar*)
{
    CopyMetricsToBar();
    for (INT_PTR i = 0; i < m_arrChildren.GetSize(); ++i)
        m_arrChildren[i]->ApplyMetrics(pFrame, this);
}

void InternalDockStateBar::FinishRebuild(CFrameWnd* pFrame, InternalDockStateBar*)
{
    const DWORD nKind = GetKind();
    if (IsLiveBar(m_pBar) && (nKind == StateKindContainer || nKind == StateKindTabbed))
    {
        TakeNestedDockBarOutOfFrameList(pFrame, m_pBar);
        if ((m_dwStateFlags & StateFloatingContainer) != 0)
            if (CFrameWnd* pFloatingFrame = m_pBar->GetParentFrame())
                pFloatingFrame->RecalcLayout(TRUE);
        if (nKind == StateKindTabbed && m_nSelectedChild >= 0)
        {
            if ((m_pBar->GetStyle() & WS_VISIBLE) == 0)
                m_pBar->ShowWindow(SW_SHOWNA);
            kxbarstate::SelectTabbedPage(m_pBar, m_nSelectedChild);
        }
    }
    if (nKind == StateKindContainer || nKind == StateKindTabbed)
        for (INT_PTR i = 0; i < m_arrChildren.GetSize(); ++i)
            m_arrChildren[i]->FinishRebuild(pFrame, this);
    CopyMetricsToBar();
}
