// Where a dragged pane would land: the drop kind, target and rectangle of a
// cursor position, in outline docking from hit zones along panes, floating
// frames and the frame's edges, in marker docking from the marker under the
// cursor.
#include "framework/win/FrameWnd.h"
#include "framework/win/MiniFrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/core/ExtBarFilter.h"
#include "uitoolkit/core/ExtDockDropZones.h"
#include "uitoolkit/docking/ExtDynTabControlBar.h"

#include <algorithm>

namespace
{

// The frame's dock-bar ids and the style bits that permit them, in the
// order top, bottom, left, right.
const UINT kSideDockBarIds[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                                 AFX_IDW_DOCKBAR_RIGHT};
const DWORD kSideAlignBits[4] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};

const int kOuterEdgeInflate = 12;
const int kOuterEdgeStrip = 16;
const int kInnerEdgeStrip = 12;
const int kFrameInflate = 32;
const int kMinDragSize = 8;

const DWORD kResizableVisible = kxbars::FilterResizableMinimal | kxbars::FilterResizableNormal |
                                kxbars::FilterBarVisible | kxbars::FilterWndVisible | kxbars::FilterPointFirst;

int SideOfDockBarId(UINT nId)
{
    for (int i = 0; i < 4; ++i)
        if (kSideDockBarIds[i] == nId)
            return i;
    return kxdock::SideTop;
}

CExtDockBar* FrameDockBar(CFrameWnd* pFrame, int nSide)
{
    CControlBar* pBar = pFrame->GetControlBar(kSideDockBarIds[nSide]);
    return pBar != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) ? static_cast<CExtDockBar*>(pBar) : nullptr;
}

CRect WindowRectOf(const CWnd* pWnd)
{
    CRect rc;
    if (pWnd != nullptr && pWnd->m_hWnd != nullptr)
        pWnd->GetWindowRect(&rc);
    return rc;
}

// Whether both panes accept each other as tabs, or side by side.
bool MutualTabbing(CExtControlBar* pA, CExtControlBar* pB)
{
    return pA->CanDockAsTabWith(pB) && pB->CanDockAsTabWith(pA);
}

bool MutualBeside(CExtControlBar* pA, CExtControlBar* pB)
{
    return pA->CanDockBesideBar(pB) && pB->CanDockBesideBar(pA);
}

// The tab strip of a tabbed container while it shows, else null.
CExtDynTabWnd* VisibleTabStrip(CExtControlBar* pBar)
{
    if (pBar == nullptr || !pBar->IsKindOf(RUNTIME_CLASS(CExtDynTabControlBar)))
        return nullptr;
    CExtDynTabWnd& tabs = static_cast<CExtDynTabControlBar*>(pBar)->m_wndTabs;
    return tabs.GetSafeHwnd() != nullptr && tabs.IsWindowVisible() ? &tabs : nullptr;
}

} // namespace

CExtControlBar* CExtControlBar::InternalDraggingState_t::SetTarget(CExtControlBar* pBar, bool bKeepPreview)
{
    CExtControlBar* pPrevious = m_pTarget;
    if (!bKeepPreview && pPrevious != pBar && pPrevious != nullptr &&
        pPrevious->IsKindOf(RUNTIME_CLASS(CExtDynTabControlBar)) &&
        static_cast<CExtDynTabControlBar*>(pPrevious)->m_wndTabs.GetSafeHwnd() != nullptr)
        static_cast<CExtDynTabControlBar*>(pPrevious)->m_wndTabs.RemoveTemporaryItems(true);
    m_pTarget = pBar;
    m_nTabIndex = 0;
    return pPrevious;
}

void CExtControlBar::InternalDraggingState_t::SetEmpty(bool bEmpty)
{
    m_nShift = 0;
    if (bEmpty)
        SetTarget(nullptr, false);
    if (m_bEmpty != bEmpty)
    {
        m_bEmpty = bEmpty;
        ::SetRectEmpty(&m_rect);
    }
    m_nTabIndex = 0;
}

void CExtControlBar::InternalDraggingState_t::SetTabIndexFromPoint(CPoint ptScreen)
{
    CExtDynTabWnd* pTabs = m_pTarget != nullptr && m_pTarget->IsKindOf(RUNTIME_CLASS(CExtDynTabControlBar))
                               ? &static_cast<CExtDynTabControlBar*>(m_pTarget)->m_wndTabs
                               : nullptr;
    m_nTabIndex = pTabs != nullptr ? pTabs->HitTestBar(ptScreen) : -1;
}

void CExtControlBar::InternalDraggingState_t::CalcDropTarget(CPoint pt, bool bForceFloat)
{
    CExtControlBar* pBar = m_pBar;
    if (pBar == nullptr || pBar->m_hWnd == nullptr)
        return;
    if (pBar->IsFixedDockStyle())
    {
        // Tool bars move at once instead of being dropped at the release.
        m_eDropKind = 0;
        SetTarget(nullptr, false);
        CalcFixedBarDropTarget(pt, bForceFloat);
        return;
    }
    const int nStyle = GetDockingType();
    const bool bLive = pBar->IsMarkerDockingStyle();
    const bool bFloating = pBar->IsFloating();
    if (bLive && !bFloating && nStyle != 1 && WindowRectOf(pBar->m_pDockBar).PtInRect(pt))
        return;
    ::SetRectEmpty(&m_rect);
    m_eDropKind = 0;
    SetTarget(nullptr, false);
    const CSize szDrag(std::max(kMinDragSize, pBar->GetMinimalWidth()),
                       std::max(kMinDragSize, pBar->GetMinimalHeight()));
    CFrameWnd* pFrame = CExtDockBar::GetBarDockingFrame(pBar);
    if (pFrame == nullptr)
        return;
    const CRect rcFrame = WindowRectOf(pFrame);
    CRect rc;

    if (nStyle == 1)
    {
        if (!bForceFloat && bFloating && CalcMarkerDropTarget(pt, bForceFloat))
            return;
    }
    else if (!bForceFloat && bFloating && !bLive)
    {
        // Over its own floating frame the user merely moves the frame.
        CFrameWnd* pParentFrame = pBar->GetParentFrame();
        if (pParentFrame != nullptr && pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)) &&
            WindowRectOf(pParentFrame).PtInRect(pt))
            bForceFloat = true;
    }
    if (::GetKeyState(VK_CONTROL) < 0)
        bForceFloat = true;

    if (!bForceFloat && pBar->IsPaneDocking())
    {
        CArray<CExtControlBar*, CExtControlBar*> arrBars;
        CollectFrameBars(nStyle == 1 ? pBar : nullptr, pFrame, arrBars, kxbars::FilterFloating | kResizableVisible, pt);
        CExtControlBar* pTarget = arrBars.GetSize() > 0 && arrBars[0] != pBar ? arrBars[0] : nullptr;
        if (pTarget != nullptr && (pBar->m_dwDockStyle & CBRS_ALIGN_ANY) != 0)
        {
            SetTarget(pTarget, false);
            m_bTargetFlag = true; // a floating target's dock bar is no row of a frame side
            kxdock::DropZoneInput in;
            in.rcTarget = WindowRectOf(pTarget->GetParentFrame());
            in.rcDockBar = WindowRectOf(pTarget->m_pDockBar);
            in.bTabbing = MutualTabbing(pBar, pTarget);
            in.bBeside = MutualBeside(pBar, pTarget);
            in.bFloating = true;
            in.rcTabs = WindowRectOf(VisibleTabStrip(pTarget));
            in.bTopBottom = kxdock::CanSplitTopBottom(in.rcTarget, szDrag, pTarget->GetMinimalHeight(), false);
            in.bLeftRight = kxdock::CanSplitLeftRight(in.rcTarget, szDrag, pTarget->GetMinimalWidth(), false);
            const kxdock::DropZoneResult zone = kxdock::CalcTargetZone(in, pt);
            if (zone.bFloat)
                bForceFloat = true;
            else if (zone.nKind != 0)
            {
                m_eDropKind = zone.nKind;
                rc = zone.rc;
                if (m_eDropKind == 29)
                    SetTabIndexFromPoint(pt);
                if (m_eDropKind >= 27)
                    m_bTargetFlag = false;
                if (rc.Width() < szDrag.cx || rc.Height() < szDrag.cy)
                    m_eDropKind = 0;
            }
        }
    }

    if (m_eDropKind == 0 && !bForceFloat)
        CalcFrameEdgeDropTarget(pt, rc);

    if (m_eDropKind == 0 && !bForceFloat)
    {
        CArray<CExtControlBar*, CExtControlBar*> arrBars;
        CollectFrameBars(nStyle == 1 ? pBar : nullptr, pFrame, arrBars,
                         kxbars::FilterDockedTop | kxbars::FilterDockedBottom | kxbars::FilterDockedLeft |
                             kxbars::FilterDockedRight | kResizableVisible,
                         pt);
        if (arrBars.GetSize() == 1)
        {
            CExtControlBar* pTarget = arrBars[0];
            SetTarget(pTarget, false);
            rc = WindowRectOf(pTarget);
            const CExtDockBar* pTargetDockBar =
                pTarget->m_pDockBar != nullptr && pTarget->m_pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar))
                    ? static_cast<CExtDockBar*>(pTarget->m_pDockBar)
                    : nullptr;
            const int nSide = SideOfDockBarId(pTarget->GetDockBarCtrlId());
            const bool bHorz = nSide == kxdock::SideTop || nSide == kxdock::SideBottom;
            if (pTarget == pBar)
                m_eDropKind = 13;
            else if ((!pBar->IsPaneDocking() && pTargetDockBar != nullptr && pTargetDockBar->GetCircleNo() != 0) ||
                     (pBar->m_dwDockStyle & kSideAlignBits[nSide]) == 0)
                ::SetRectEmpty(&rc);
            else
            {
                m_bTargetFlag = pTargetDockBar == nullptr || pTarget->IsFloating();
                kxdock::DropZoneInput in;
                in.rcTarget = rc;
                in.rcDockBar = WindowRectOf(pTarget->m_pDockBar);
                in.bTabbing = MutualTabbing(pBar, pTarget);
                in.rcTabs = WindowRectOf(VisibleTabStrip(pTarget));
                in.bTopBottom = kxdock::CanSplitTopBottom(rc, szDrag, pTarget->GetMinimalHeight(), true);
                in.bLeftRight = kxdock::CanSplitLeftRight(rc, szDrag, pTarget->GetMinimalWidth(), true);
                in.bIgnoreTopBottom = bLive && bHorz;
                in.bIgnoreLeftRight = bLive && !bHorz;
                const kxdock::DropZoneResult zone = kxdock::CalcTargetZone(in, pt);
                m_eDropKind = zone.nKind;
                rc = zone.rc;
                if (m_eDropKind == 29)
                    SetTabIndexFromPoint(pt);
                if (m_eDropKind >= 1 && m_eDropKind <= 4)
                    m_bTargetFlag = true;
                if (m_eDropKind >= 27 || (!pTarget->IsFloating() && pTarget->IsAloneInRow(true, true)))
                    m_bTargetFlag = false;
                if (m_eDropKind != 0 && (bHorz ? rc.Width() < szDrag.cx : rc.Height() < szDrag.cy))
                    m_eDropKind = 0;
            }
        }
    }

    // Only markers dock in marker docking; the tab zones still work.
    if (nStyle == 1 && m_eDropKind != 28 && m_eDropKind != 29 && m_eDropKind != 30)
        m_eDropKind = 0;

    if (m_eDropKind == 0)
    {
        SetTarget(nullptr, false);
        if (bFloating)
        {
            const CRect rcFloatFrame = WindowRectOf(pBar->GetParentFrame());
            const int m = std::min(pBar->GetCaptionRect().Width(), pBar->GetCaptionRect().Height());
            rc = CRect(pt - CSize(pBar->m_ptGrabFloating), rcFloatFrame.Size());
            rc.OffsetRect(-m, -m / 2);
        }
        else
        {
            const CPoint ptGrab = pBar->IsDockedHorizontally() ? pBar->m_ptGrabDockedH : pBar->m_ptGrabDockedV;
            rc = CRect(pt - CSize(ptGrab), pBar->m_sizeFloated);
        }
        rc.OffsetRect(rcFrame.TopLeft());
    }
    m_rect = rc;
}

void CExtControlBar::InternalDraggingState_t::CalcFrameEdgeDropTarget(CPoint pt, CRect& rc)
{
    CExtControlBar* pBar = m_pBar;
    CFrameWnd* pFrame = CExtDockBar::GetBarDockingFrame(pBar);
    CExtDockBar* arrDockBars[4] = {};
    for (int i = 0; i < 4; ++i)
        arrDockBars[i] = FrameDockBar(pFrame, i);
    if (std::find(std::begin(arrDockBars), std::end(arrDockBars), nullptr) != std::end(arrDockBars))
        return;
    const DWORD dwDockStyle = pBar->m_dwDockStyle;

    // Along the inner edges of the tool-bar dock bars: the outermost place.
    const CRect rcInner(
        arrDockBars[kxdock::SideLeft]->m_rcInnerEdge.left, arrDockBars[kxdock::SideTop]->m_rcInnerEdge.top,
        arrDockBars[kxdock::SideRight]->m_rcInnerEdge.left, arrDockBars[kxdock::SideBottom]->m_rcInnerEdge.top);
    CRect rcInflated = rcInner;
    rcInflated.InflateRect(kOuterEdgeInflate, kOuterEdgeInflate);
    if (!rcInner.IsRectEmpty() && rcInflated.PtInRect(pt))
        for (int nSide = 0; nSide < 4; ++nSide)
        {
            if ((dwDockStyle & kSideAlignBits[nSide]) == 0 ||
                !kxdock::EdgeStrip(rcInflated, nSide, kOuterEdgeStrip).PtInRect(pt))
                continue;
            m_eDropKind = 9 + nSide;
            m_nCircle = 1;
            const int nDepth = nSide < 2 ? pBar->m_sizeDockedH.cy : pBar->m_sizeDockedV.cx;
            rc = kxdock::EdgeStrip(rcInner, nSide, nDepth);
            return;
        }

    // Along the free client area: the innermost place.
    CRect rcFrame = WindowRectOf(pFrame);
    rcFrame.InflateRect(kFrameInflate, kFrameInflate);
    if (!rcFrame.PtInRect(pt))
        return;
    CRect rcFree;
    pFrame->GetClientRect(&rcFree);
    RepositionBars(pFrame, 0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rcFree, &rcFree);
    pFrame->ClientToScreen(&rcFree);
    if (rcFree.IsRectEmpty() || !rcFree.PtInRect(pt))
        return;
    const int cxMax = ::MulDiv(rcFree.Width(), 3, 4);
    const int cyMax = ::MulDiv(rcFree.Height(), 3, 4);
    const bool bLive = pBar->IsMarkerDockingStyle();
    const bool bDocked = !pBar->IsFloating();
    for (int nSide = 0; nSide < 4; ++nSide)
    {
        if ((dwDockStyle & kSideAlignBits[nSide]) == 0)
            continue;
        CExtDockBar* pDockBar = arrDockBars[nSide];
        if (bLive && bDocked && pDockBar == pBar->m_pDockBar)
        {
            if (WindowRectOf(pDockBar).PtInRect(pt))
            {
                m_eDropKind = 13;
                return;
            }
            continue;
        }
        if (!kxdock::EdgeStrip(rcFree, nSide, kInnerEdgeStrip).PtInRect(pt))
            continue;
        CExtDockBar* pInnermost = pDockBar;
        while (pInnermost->m_pDockBarInner != nullptr)
            pInnermost = pInnermost->m_pDockBarInner;
        m_eDropKind = 5 + nSide;
        const UINT nCircle = pInnermost->GetCircleNo();
        // An empty innermost circle far inside the bar's own takes the bar
        // as it is; otherwise the bar opens a circle of its own.
        bool bReuse = false;
        if (bDocked && pBar->m_pDockBar != nullptr && pBar->m_pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) &&
            nCircle - static_cast<CExtDockBar*>(pBar->m_pDockBar)->GetCircleNo() > 2U)
        {
            const bool bHorz = nSide < 2;
            CExtDockBar* pFirst =
                pInnermost->GetSiblingDockBar(bHorz ? AFX_IDW_DOCKBAR_LEFT : AFX_IDW_DOCKBAR_TOP, true);
            CExtDockBar* pSecond =
                pInnermost->GetSiblingDockBar(bHorz ? AFX_IDW_DOCKBAR_RIGHT : AFX_IDW_DOCKBAR_BOTTOM, true);
            bReuse = pFirst != nullptr && pSecond != nullptr && pFirst->IsRowArrayEmpty() && pSecond->IsRowArrayEmpty();
        }
        m_nCircle = bReuse ? nCircle : nCircle + 1;
        const int nDepth = nSide < 2 ? std::min(static_cast<int>(pBar->m_sizeDockedH.cy), cyMax)
                                     : std::min(static_cast<int>(pBar->m_sizeDockedV.cx), cxMax);
        rc = kxdock::EdgeStrip(rcFree, nSide, nDepth);
        return;
    }
}

bool CExtControlBar::InternalDraggingState_t::CalcMarkerDropTarget(CPoint pt, bool& bForceFloat)
{
    CWnd* pUnder = CWnd::FromHandlePermanent(::WindowFromPoint(pt));
    if (pUnder == nullptr || !pUnder->IsKindOf(RUNTIME_CLASS(CExtDynDockMarkerWnd)))
        return false;
    const auto* pMarker = static_cast<CExtDynDockMarkerWnd*>(pUnder);
    if (!pMarker->IsDockingMarker())
        return false;
    const HWND hTarget = pMarker->GetTarget();
    if (hTarget != nullptr && !::IsWindow(hTarget))
    {
        bForceFloat = true;
        return false;
    }
    m_eDropKind = pMarker->GetDropKind();
    CWnd* pTargetWnd = hTarget != nullptr ? CWnd::FromHandlePermanent(hTarget) : nullptr;
    if (pTargetWnd != nullptr && m_eDropKind >= 22 && m_eDropKind <= 26)
    {
        auto* pTarget =
            pTargetWnd->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ? static_cast<CExtControlBar*>(pTargetWnd) : nullptr;
        if (pTarget == nullptr || (m_eDropKind == 26 && !m_pBar->CanDockAsTabWith(pTarget)))
        {
            m_eDropKind = 0;
            bForceFloat = true;
            return false;
        }
        SetTarget(pTarget, false);
        if (CExtDynTabWnd* pTabs = m_eDropKind == 26 ? VisibleTabStrip(pTarget) : nullptr)
        {
            const CRect rcTabs = WindowRectOf(pTabs);
            m_eDropKind = 30;
            m_nTabIndex = pTabs->HitTestBar(CPoint(rcTabs.left + 2, rcTabs.CenterPoint().y));
        }
    }
    return m_eDropKind != 0;
}
