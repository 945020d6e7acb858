// Moving a pane between places: applying a drop, docking beside another
// pane (which builds a container), docking at a frame edge or in a circle,
// floating in a floating frame and toggling between docked and floating.
#include "framework/core/CException.h"
#include "framework/win/DockContext.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtDynTabControlBar.h"

namespace
{

// The drop kinds name the sides in this order.
const UINT kSideIds[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};

bool IsLive(HWND hWnd, const CWnd* pWnd)
{
    return hWnd != nullptr && ::IsWindow(hWnd) && CWnd::FromHandlePermanent(hWnd) == pWnd;
}

// A frame the bar left: a floating frame lays itself out at once, another
// one at idle time.
void RecalcLeftFrame(HWND hFrame, CFrameWnd* pFrame)
{
    if (!IsLive(hFrame, pFrame))
        return;
    if (pFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
        pFrame->RecalcLayout();
    else
        pFrame->m_nIdleFlags |= CFrameWnd::idleLayout | CFrameWnd::idleNotify;
}

CExtDockBar* SideDockBar(CFrameWnd* pFrame, UINT nDockBarId)
{
    CControlBar* pBar = pFrame != nullptr ? pFrame->GetControlBar(nDockBarId) : nullptr;
    return pBar != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) ? static_cast<CExtDockBar*>(pBar) : nullptr;
}

// Takes the bar out of the dock bar it leaves for a container; a docked
// toolkit dock bar then dissolves containers left with one pane.
void LeaveForContainer(CControlBar* pBar)
{
    CDockBar* pOld = pBar->m_pDockBar;
    if (pOld == nullptr)
        return;
    if (pOld->IsKindOf(RUNTIME_CLASS(CExtDockBar)) && !pOld->m_bFloating)
    {
        auto* pOldExt = static_cast<CExtDockBar*>(pOld);
        pOldExt->RemoveControlBar(pBar, -1, 0, true);
        pOldExt->CollapseNestedContainers();
    }
    else
        pOld->CDockBar::RemoveControlBar(pBar, -1, 0);
}

} // namespace

UINT CExtControlBar::GetDockCircleNumber() const
{
    return m_pDockBar != nullptr && m_pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar))
               ? static_cast<CExtDockBar*>(m_pDockBar)->GetCircleNo()
               : 0;
}

// ---- applying a drop ----

bool CExtControlBar::ApplyDrop(const InternalDraggingState_t& state, bool bFinal)
{
    CExtDynDockMarkerWnd::HideAllHighlights(true);
    CExtControlBar* pBar = state.m_pBar != nullptr ? state.m_pBar : this;
    if (state.m_bEmpty || pBar->IsFixedDockStyle())
        return false;
    CFrameWnd* pDockSite = pBar->GetDockingFrame();
    CFrameWnd* pOldFrame = pBar->GetParentFrame();
    const HWND hOldFrame = pOldFrame != nullptr ? pOldFrame->m_hWnd : nullptr;
    CExtControlBar* pTarget = state.m_pTarget;
    const bool bHadDockBar = pBar->m_pDockBar != nullptr;
    int nKind = state.m_eDropKind;
    if (bFinal)
    {
        if (nKind >= 14 && nKind <= 21)
            return pBar->DockAtFrameEdge(kSideIds[(nKind - 14) % 4], nKind >= 18, nullptr, true);
        if (nKind >= 22 && nKind <= 25)
            nKind -= 21;
        else if (nKind == 26)
            return pTarget != nullptr && pTarget->TabInto(pBar, 0, nullptr, true);
    }
    if (pDockSite == nullptr)
        return false;
    switch (nKind)
    {
    case 0:
    {
        if (pBar->m_pDockBar != nullptr && !pBar->m_pDockBar->m_bFloating)
        {
            // The row keeps its length: a neighbour takes the bar's share.
            CControlBar* pNext = pBar->GetRowNeighbour(true, true, true);
            if (pNext == nullptr)
                pNext = pBar->GetRowNeighbour(false, true, true);
            if (pNext != nullptr && pNext->IsVisible())
            {
                auto* pNeighbour = static_cast<CExtControlBar*>(pNext);
                CRect rcBar;
                pBar->GetWindowRect(&rcBar);
                if (pBar->IsDockedHorizontally())
                    pNeighbour->m_sizeDockedH.cx += rcBar.Width();
                else
                    pNeighbour->m_sizeDockedV.cy += rcBar.Height();
            }
        }
        CRect rcFrame;
        pDockSite->GetWindowRect(&rcFrame);
        const CPoint pt(state.m_rect.left - rcFrame.left, state.m_rect.top - rcFrame.top);
        if (!pBar->FloatAt(pt.x, pt.y, CBRS_ALIGN_TOP))
            return false;
        if (pBar->m_pDockContext != nullptr)
            pBar->m_pDockContext->m_ptMRUFloatPos = pt;
        if (!pBar->IsMarkerDockingStyle())
            pDockSite->RecalcLayout();
        return true;
    }
    case 1:
    case 2:
    case 3:
    case 4: return pTarget != nullptr && pBar->DockBesideHalf(pTarget, kSideIds[nKind - 1], true);
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    {
        const int nSide = (nKind - 5) % 4;
        CExtDockBar* pDockBar = SideDockBar(pDockSite, kSideIds[nSide]);
        if (pDockBar == nullptr)
            return false;
        if (nKind <= 8)
        {
            if (nSide < 2)
                pBar->m_sizeDockedH.cy = state.m_rect.bottom - state.m_rect.top;
            else
                pBar->m_sizeDockedV.cx = state.m_rect.right - state.m_rect.left;
            if (state.m_nCircle > 0)
                pDockBar = pDockBar->GetCircleDockBar(state.m_nCircle);
            pDockBar->DockControlBarAtEdge(pBar, true);
        }
        else
        {
            if (nSide >= 2)
                CExtDockBar::InsertCircleInFrame(pDockSite, 1);
            pDockBar->GetCircleDockBar(1)->DockControlBarAtEdge(pBar, false);
        }
        if (bHadDockBar)
            pDockSite->RecalcLayout();
        if (pOldFrame != pDockSite)
            RecalcLeftFrame(hOldFrame, pOldFrame);
        if (::IsWindow(pBar->m_hWnd))
            pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        return true;
    }
    case 13: pDockSite->DelayRecalcLayout(); return true;
    case 27:
    case 28:
    case 29:
    case 30: return pTarget != nullptr && pTarget->TabInto(pBar, nKind >= 29 ? state.m_nTabIndex : -1, nullptr, true);
    default:
        if (nKind >= 14 && nKind <= 26)
        {
            // A live step of marker docking only shows where the pane would go.
            CExtDynDockMarkerWnd::HighlightMarkerUnderCursor(nKind);
            return true;
        }
        return false;
    }
}

// ---- docking beside a pane ----

bool CExtControlBar::InsertBarBeside(CExtControlBar* pBar, UINT nDockBarId, int nPercent)
{
    CDockBar* pDockBar = m_pDockBar;
    if (pDockBar == nullptr || m_pDockSite == nullptr || pBar == nullptr || pBar == this)
        return false;
    const int nPos = pDockBar->FindBar(this);
    if (nPos <= 0)
        return false;
    CRect rc;
    GetWindowRect(&rc);
    pDockBar->ScreenToClient(&rc);

    CExtDynControlBar* pContainer = nullptr;
    m_pDockSite->SendMessage(g_nMsgCreateDynBar, reinterpret_cast<WPARAM>(&pContainer));
    if (pContainer == nullptr)
        pContainer = new CExtDynControlBar;
    pContainer->m_sizeDockedH = m_sizeDockedH;
    pContainer->m_sizeDockedV = m_sizeDockedV;
    const bool bStacked = nDockBarId == AFX_IDW_DOCKBAR_TOP || nDockBarId == AFX_IDW_DOCKBAR_BOTTOM;
    const DWORD dwStyle = ((GetStyle() | (m_dwStyle & CBRS_ALIGN_ANY)) & ~(CBRS_FLOATING | CBRS_GRIPPER)) |
                          CBRS_BORDER_ANY | CBRS_TOOLTIPS;
    // A container whose window cannot be made has deleted itself.
    if (!pContainer->Create("", m_pDockSite, bStacked ? AFX_IDW_DOCKBAR_LEFT : AFX_IDW_DOCKBAR_TOP, dwStyle))
        return false;

    pContainer->m_pDockSite = m_pDockSite;
    pContainer->m_pDockBar = pDockBar;
    pContainer->EnableDocking(CBRS_ALIGN_ANY);
    pDockBar->m_arrBars[nPos] = pContainer;
    CExtDockDynBar* pNested = pContainer->m_pNestedDockBar;
    pNested->m_bFloating = FALSE;
    if (pDockBar->m_bFloating)
        pContainer->SetBarStyle(pContainer->m_dwStyle | CBRS_FLOATING);
    pNested->m_dwStyle &= ~CBRS_FLOATING;

    m_bNoSizeHandling = pBar->m_bNoSizeHandling = pContainer->m_bNoSizeHandling = true;
    pContainer->SetParent(pDockBar);
    SetParent(pNested);
    pBar->SetParent(pNested);
    LeaveForContainer(pBar);

    const bool bInsertedFirst = nDockBarId == AFX_IDW_DOCKBAR_TOP || nDockBarId == AFX_IDW_DOCKBAR_LEFT;
    pNested->m_arrBars.RemoveAll();
    pNested->m_arrBars.Add(nullptr);
    pNested->m_arrBars.Add(bInsertedFirst ? static_cast<void*>(pBar) : static_cast<void*>(this));
    pNested->m_arrBars.Add(bInsertedFirst ? static_cast<void*>(this) : static_cast<void*>(pBar));
    pNested->m_arrBars.Add(nullptr);
    const DWORD dwPaneAlign = bStacked ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
    for (CExtControlBar* pPane : {pBar, static_cast<CExtControlBar*>(this)})
    {
        pPane->m_pDockBar = pNested;
        pPane->SetBarStyle((pPane->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | dwPaneAlign | CBRS_BORDER_ANY);
    }

    // The inserted pane takes nPercent of the target's place.
    const int cx = rc.Width(), cy = rc.Height();
    CRect rcBar(0, 0, cx, cy), rcTarget(0, 0, cx, cy);
    if (bStacked)
    {
        const int nBar = ::MulDiv(cy, nPercent, 100);
        if (nDockBarId == AFX_IDW_DOCKBAR_TOP)
            rcBar.bottom = rcTarget.top = nBar;
        else
            rcBar.top = rcTarget.bottom = cy - nBar;
    }
    else
    {
        const int nBar = ::MulDiv(cx, nPercent, 100);
        if (nDockBarId == AFX_IDW_DOCKBAR_LEFT)
            rcBar.right = rcTarget.left = nBar;
        else
            rcBar.left = rcTarget.right = cx - nBar;
    }
    for (auto [pPane, pRect] : {std::pair{pBar, &rcBar}, std::pair{static_cast<CExtControlBar*>(this), &rcTarget}})
    {
        pPane->m_sizeDockedH = pPane->m_sizeDockedV = pRect->Size();
        pPane->SetWindowPos(nullptr, pRect->left, pRect->top, pRect->Width(), pRect->Height(),
                            SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    pContainer->m_sizeFloated = rc.Size();
    pContainer->SetWindowPos(nullptr, rc.left, rc.top, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    m_bNoSizeHandling = pBar->m_bNoSizeHandling = pContainer->m_bNoSizeHandling = false;

    CExtDockBar::RemoveEmptyCirclesInFrame(m_pDockSite);
    if (CFrameWnd* pParentFrame = pContainer->GetParentFrame())
        pParentFrame->RecalcLayout();
    pContainer->RepositionChild(-1, -1, true);
    pContainer->CreateNcButtons();
    pContainer->LayoutNcButtons();
    pNested->UpdateNestedLayout();
    return true;
}

bool CExtControlBar::DockBeside(int nPercent, CExtControlBar* pTarget, UINT nDockBarId, bool)
{
    if (pTarget == nullptr || pTarget == this)
        return false;
    CFrameWnd* pOldFrame = GetParentFrame();
    if (pOldFrame != nullptr && pOldFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)) && GetDraggedBar() == this &&
        GetDockingType() == 1)
        pOldFrame->ShowWindow(SW_HIDE);
    const HWND hOldFrame =
        pOldFrame != nullptr && pOldFrame != pTarget->m_pDockSite ? pOldFrame->m_hWnd : static_cast<HWND>(nullptr);
    const HWND hTarget = pTarget->m_hWnd;
    CFrameWnd* pDockSite = pTarget->m_pDockSite;
    if (!pTarget->InsertBarBeside(this, nDockBarId, nPercent))
        return false;
    if (CFrameWnd* pTargetFrame = pTarget->GetParentFrame())
        pTargetFrame->RecalcLayout();
    if (IsLive(hOldFrame, pOldFrame))
        pOldFrame->RecalcLayout();
    if (IsLive(hTarget, pTarget) && pDockSite != nullptr)
        pDockSite->RecalcLayout();
    return true;
}

// ---- docking at frame edges and in circles ----

bool CExtControlBar::DockAtFrameEdge(UINT nDockBarId, bool bInner, CFrameWnd* pFrame, bool bRecalc)
{
    CFrameWnd* pSite = pFrame != nullptr ? pFrame : m_pDockSite;
    if (pSite == nullptr || SideDockBar(pSite, nDockBarId) == nullptr)
        return false;
    CFrameWnd* pParentFrame = GetParentFrame();
    if (pParentFrame != nullptr && pParentFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
        pParentFrame->ShowWindow(SW_HIDE);
    CExtDockBar::InsertCircleInFrame(pSite, 1);
    const UINT nCircle = bInner ? CExtDockBar::CreateNewCircle(pSite) : 1;
    return DockAtCircle(nDockBarId, nCircle, pSite, bRecalc);
}

bool CExtControlBar::DockAtCircle(UINT nDockBarId, UINT nCircle, CFrameWnd* pFrame, bool bRecalc)
{
    CFrameWnd* pSite = pFrame != nullptr ? pFrame : m_pDockSite;
    CExtDockBar* pDockBar = SideDockBar(pSite, nDockBarId);
    if (pDockBar == nullptr)
        return false;
    if (nCircle > 0)
        pDockBar = pDockBar->GetCircleDockBar(nCircle);
    if (pDockBar == nullptr)
        return false;
    pDockBar->DockControlBarAtEdge(this, true);
    if (bRecalc)
        pSite->RecalcLayout();
    return true;
}

bool CExtControlBar::DockBesideByPosition(CExtControlBar* pBar, bool bAlongRow, bool bNear, CFrameWnd* pFrame,
                                          bool bRecalc)
{
    if (pBar == nullptr)
        return false;
    // Per side of this bar: the kinds across and along the row (near, far)
    // and whether the target flag is set.
    struct Placement
    {
        int nAcross[2];
        int nAlong[2];
        bool bFlagAcross;
        bool bFlagAlong;
    };
    static const Placement kTop = {{2, 1}, {3, 4}, false, true};
    static const Placement kBottom = {{1, 2}, {3, 4}, false, true};
    static const Placement kLeft = {{4, 3}, {1, 2}, true, false};
    static const Placement kRight = {{3, 4}, {1, 2}, true, false};
    static const Placement kFloating = {{3, 4}, {1, 2}, true, true};
    const Placement* pPlacement = &kFloating;
    if (!IsFloating())
        pPlacement = IsDockedAtTop()      ? &kTop
                     : IsDockedAtBottom() ? &kBottom
                     : IsDockedAtLeft()   ? &kLeft
                     : IsDockedAtRight()  ? &kRight
                                          : &kFloating;
    InternalDraggingState_t state(pBar);
    state.m_pTarget = this;
    state.m_bEmpty = false;
    CRect rc;
    GetWindowRect(&rc);
    state.m_rect = rc;
    state.m_eDropKind = (bAlongRow ? pPlacement->nAlong : pPlacement->nAcross)[bNear ? 0 : 1];
    state.m_bTargetFlag = bAlongRow ? pPlacement->bFlagAlong : pPlacement->bFlagAcross;
    const bool bApplied = ApplyDrop(state, true);
    CFrameWnd* pSite = pFrame != nullptr ? pFrame : m_pDockSite;
    if (pSite != nullptr)
    {
        if (bRecalc)
            pSite->RecalcLayout();
        else
            pSite->DelayRecalcLayout();
    }
    return bApplied;
}

bool CExtControlBar::TabInto(CExtControlBar* pBar, int nIndex, CFrameWnd* pFrame, bool bRecalc)
{
    // A bar never becomes a page of itself or of a page inside it.
    if (pBar == nullptr || pBar == this || ::IsChild(pBar->m_hWnd, m_hWnd) || !CanDockAsTabWith(pBar) ||
        !pBar->CanDockAsTabWith(this) || IsFixedMode() || IsFixedDockStyle() || pBar->IsFixedMode() ||
        pBar->IsFixedDockStyle())
        return false;
    CExtDynTabControlBar* pTabbed = GetTabbedContainer();
    if (pTabbed != nullptr && pTabbed != this)
        return pTabbed->TabInto(pBar, nIndex, pFrame, bRecalc);
    CFrameWnd* pOldFrame = pBar->GetParentFrame();
    const HWND hOldFrame = pOldFrame != nullptr ? pOldFrame->m_hWnd : nullptr;
    if (pTabbed == this)
    {
        auto* pContainer = static_cast<CExtDynTabControlBar*>(this);
        m_bNoSizeHandling = pBar->m_bNoSizeHandling = true;
        if (pBar->m_pDockBar != nullptr && pOldFrame != nullptr)
            pOldFrame->DelayRecalcLayout();
        auto* pBarContainer =
            pBar->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)) ? static_cast<CExtDynControlBar*>(pBar) : nullptr;
        const HWND hBar = pBar->m_hWnd;
        CExtDynTabWnd& tabs = pContainer->m_wndTabs;
        pContainer->InsertBar(pBar, nIndex, true);
        // The tab at that place among the visible ones, the last for a
        // negative index.
        int nSelect = nIndex < 0 ? tabs.GetItemCount() - 1 : nIndex;
        for (int i = 0, nVisible = 0; nIndex >= 0 && i < tabs.GetItemCount(); ++i)
            if (tabs.GetItem(i)->IsVisible() && nVisible++ == nIndex)
            {
                nSelect = i;
                break;
            }
        tabs.SelectItem(nSelect, true, true);
        pContainer->RepositionChild(-1, -1, true);
        if (CFrameWnd* pParentFrame = GetParentFrame())
        {
            if (bRecalc)
                pParentFrame->RecalcLayout();
            else
                pParentFrame->DelayRecalcLayout();
        }
        // A container whose panes all moved over goes, tabbed or not.
        if (pBarContainer != nullptr && IsLive(hBar, pBarContainer) &&
            IsLive(pBarContainer->m_pNestedDockBar->m_hWnd, pBarContainer->m_pNestedDockBar))
            pBarContainer->m_pNestedDockBar->CollapseNestedContainers();
        else if (IsLive(hBar, pBar))
            pBar->RepositionChild(-1, -1, true);
        m_bNoSizeHandling = false;
        if (IsLive(hBar, pBar))
            pBar->m_bNoSizeHandling = false;
        if (bRecalc)
        {
            if (m_pDockSite != nullptr)
                CExtDockBar::RemoveEmptyCirclesInFrame(m_pDockSite);
            if (pOldFrame != GetParentFrame())
                RecalcLeftFrame(hOldFrame, pOldFrame);
        }
        return true;
    }

    CDockBar* pDockBar = m_pDockBar;
    if (pDockBar == nullptr || m_pDockSite == nullptr)
        return false;
    const int nPos = pDockBar->FindBar(this);
    if (nPos <= 0)
        return false;
    CDockBar* pOldDockBar = pBar->m_pDockBar;
    const bool bOldExt = pOldDockBar != nullptr && pOldDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar));
    const HWND hOldDockBar = pOldDockBar != nullptr ? pOldDockBar->m_hWnd : nullptr;
    CRect rc;
    GetWindowRect(&rc);
    pDockBar->ScreenToClient(&rc);

    CExtDynTabControlBar* pContainer = nullptr;
    m_pDockSite->SendMessage(g_nMsgCreateTabbedBar, reinterpret_cast<WPARAM>(&pContainer));
    if (pContainer == nullptr)
        pContainer = new CExtDynTabControlBar;
    const DWORD dwStyle =
        ((GetStyle() | (m_dwStyle & CBRS_ALIGN_ANY)) & ~CBRS_FLOATING) | CBRS_GRIPPER | CBRS_BORDER_ANY | CBRS_TOOLTIPS;
    // A container whose window cannot be made has deleted itself.
    if (!pContainer->Create("", m_pDockSite, static_cast<UINT>(pDockBar->GetDlgCtrlID()), dwStyle))
        return false;
    pContainer->m_pDockSite = m_pDockSite;
    pContainer->m_pDockBar = pDockBar;
    pContainer->EnableDocking(CBRS_ALIGN_ANY);
    pDockBar->m_arrBars[nPos] = pContainer;
    CExtDockDynBar* pNested = pContainer->m_pNestedDockBar;
    pNested->m_bFloating = FALSE;
    if (pDockBar->m_bFloating)
        pContainer->SetBarStyle(pContainer->m_dwStyle | CBRS_FLOATING);
    pNested->m_dwStyle &= ~CBRS_FLOATING;

    m_bNoSizeHandling = pBar->m_bNoSizeHandling = pContainer->m_bNoSizeHandling = true;
    pContainer->SetParent(pDockBar);
    SetParent(pNested);
    pNested->m_arrBars.RemoveAll();
    pNested->m_arrBars.Add(nullptr);
    pNested->m_arrBars.Add(this);
    pNested->m_arrBars.Add(nullptr);
    m_pDockBar = pNested;
    SetBarStyle((m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | CBRS_ALIGN_TOP | CBRS_BORDER_ANY);
    pContainer->m_sizeDockedH = m_sizeDockedH;
    pContainer->m_sizeDockedV = m_sizeDockedV;
    pContainer->m_sizeFloated = m_sizeFloated;
    SetWindowPos(nullptr, 0, 0, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    pContainer->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                             SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    pContainer->m_wndTabs.InsertBarItem(this, 0, false, false);
    pContainer->InsertBar(pBar, -1, false);
    m_bNoSizeHandling = pBar->m_bNoSizeHandling = pContainer->m_bNoSizeHandling = false;

    if (bOldExt && IsLive(hOldDockBar, pOldDockBar))
        static_cast<CExtDockBar*>(pOldDockBar)->CollapseNestedContainers();
    CExtDockBar::RemovePlaceholderInFrame(m_pDockSite, static_cast<UINT>(GetDlgCtrlID()));
    CExtDockBar::RemovePlaceholderInFrame(m_pDockSite, static_cast<UINT>(pBar->GetDlgCtrlID()));
    CExtDockBar::RemoveEmptyCirclesInFrame(m_pDockSite);
    pContainer->RepositionChild(-1, -1, false);
    pNested->UpdateNestedLayout();
    CExtDynTabWnd& tabs = pContainer->m_wndTabs;
    for (int i = 0; i < tabs.GetItemCount(); ++i)
        if (tabs.GetItem(i)->IsVisible())
        {
            tabs.SelectItem(i, true, true);
            break;
        }
    CFrameWnd* pParentFrame = pContainer->GetParentFrame();
    if (pParentFrame == nullptr)
        return true;
    const bool bInFloatingFrame = pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd));
    if (!bInFloatingFrame && !bRecalc)
        return true;
    pContainer->CreateNcButtons();
    pContainer->LayoutNcButtons();
    if (pParentFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
        pParentFrame->RecalcLayout();
    else
        pParentFrame->DelayRecalcLayout();
    if (bInFloatingFrame)
        m_pDockSite->DelayRecalcLayout();
    if (bRecalc && pOldFrame != pParentFrame)
        RecalcLeftFrame(hOldFrame, pOldFrame);
    return true;
}

// ---- floating ----

CExtMiniDockFrameWnd* CExtControlBar::CreateFloatingFrame(DWORD dwBarStyle)
{
    auto* pFrame = new CExtMiniDockFrameWnd;
    // A frame whose creation fails has deleted itself.
    if (!pFrame->Create(m_pDockSite, dwBarStyle))
        AfxThrowResourceException();
    return pFrame;
}

bool CExtControlBar::FloatAt(int x, int y, DWORD dwFlags)
{
    g_pBarBeingFloated = this;
    CDockBar* pOld = m_pDockBar;
    if (pOld != nullptr && pOld->m_bFloating && pOld->GetDockedCount() == 1)
    {
        // Alone in its floating frame: the frame only moves.
        CFrameWnd* pFloatFrame = pOld->GetParentFrame();
        CRect rcBar;
        GetWindowRect(&rcBar);
        CRect rcFloat(x, y, x + rcBar.Width(), y + rcBar.Height());
        bool bMoved = false;
        if (pFloatFrame != nullptr)
        {
            pFloatFrame->SendMessage(CExtPopupMenuWnd::g_nMsgCustomFloatPos,
                                     reinterpret_cast<WPARAM>(pFloatFrame->m_hWnd), reinterpret_cast<LPARAM>(&rcFloat));
            bMoved =
                pFloatFrame->SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
        }
        m_ptFloatPos = CPoint(x, y);
        g_pBarBeingFloated = nullptr;
        return bMoved;
    }
    CExtDynTabControlBar* pTabbed = GetTabbedContainer();
    if (pTabbed != nullptr && pTabbed != this)
        pTabbed->RemoveBarItem(this);
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) != 0)
    {
        dwFlags |= CBRS_SIZE_DYNAMIC;
        if ((dwFlags & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT | CBRS_ALIGN_BOTTOM)) != 0)
            dwFlags = (dwFlags & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_TOP;
    }
    const bool bOldDocked = pOld != nullptr && !pOld->m_bFloating && pOld->IsKindOf(RUNTIME_CLASS(CExtDockBar));
    const HWND hOld = pOld != nullptr ? pOld->m_hWnd : nullptr;
    CFrameWnd* pOldFrame = GetParentFrame();
    const HWND hOldFrame = pOldFrame != nullptr ? pOldFrame->m_hWnd : nullptr;
    const bool bVisible = IsVisible() != FALSE;
    CExtMiniDockFrameWnd* pFrame = nullptr;
    try
    {
        pFrame = CreateFloatingFrame(dwFlags);
    }
    catch (CException* pException)
    {
        // Docking operations leave the bar in place when a window cannot be made.
        pException->Delete();
        g_pBarBeingFloated = nullptr;
        return false;
    }
    pFrame->SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_bNoSizeHandling = true;
    static_cast<CExtDockBar*>(pFrame->m_pWndDockBar)->DockControlBar(this, nullptr, false);
    m_bNoSizeHandling = false;
    pFrame->RecalcLayout();
    if (bVisible)
    {
        pFrame->ShowWindow(SW_SHOWNA);
        pFrame->UpdateWindow();
    }
    m_ptFloatPos = CPoint(x, y);
    if (bOldDocked && IsLive(hOld, pOld))
        static_cast<CExtDockBar*>(pOld)->CollapseNestedContainers();
    if (pOldFrame != m_pDockSite)
        RecalcLeftFrame(hOldFrame, pOldFrame);
    if (m_pDockSite != nullptr)
    {
        if (!IsFixedMode())
            CExtDockBar::RemovePlaceholderInFrame(m_pDockSite, static_cast<UINT>(GetDlgCtrlID()));
        CExtDockBar::RemoveEmptyCirclesInFrame(m_pDockSite);
        m_pDockSite->RecalcLayout();
    }
    RepositionChild(-1, -1, true);
    g_pBarBeingFloated = nullptr;
    return true;
}

void CExtControlBar::ToggleDocking()
{
    if (IsFixedDockStyle())
    {
        if (m_pDockContext != nullptr)
            m_pDockContext->ToggleDocking();
        if (CFrameWnd* pFrame = GetDockingFrame())
            pFrame->DelayRecalcLayout();
        RecalcNcFrame();
        return;
    }
    CFrameWnd* pParentFrame = GetParentFrame();
    if (GetDockBarCtrlId() != AFX_IDW_DOCKBAR_FLOAT && pParentFrame != nullptr &&
        !pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
        FloatAtStoredPosition(CBRS_ALIGN_TOP);
}
