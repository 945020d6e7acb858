// Where a dragged tool bar goes at each step of its drag: it is not dropped
// at the release like a pane but moves at once, along and between the rows
// of the frame's outer dock bars, onto another side, or floating.
#include "framework/win/DockContext.h"
#include "framework/win/FrameWnd.h"
#include "uitoolkit/core/ExtDockOuterRows.h"
#include "uitoolkit/docking/ExtControlBar.h"

#include <cstdlib>

namespace
{

// How far beyond a dock bar its zone reaches, and the tolerance around it.
const int kZoneDepth = 12;
const int kZoneTolerance = ::MulDiv(kZoneDepth, 3, 2);

enum : int
{
    ZoneCurrentSide = 0x1,
    ZoneVisible = 0x2,
    ZoneMissed = 0x4,
};

struct DockZone
{
    UINT nID;
    int nFlags;
    CRect rc;
    CExtDockBar* pDockBar;
};

bool IsHorzDockBarId(UINT nID)
{
    return nID == AFX_IDW_DOCKBAR_TOP || nID == AFX_IDW_DOCKBAR_BOTTOM;
}

CPoint Offset(CPoint pt, CPoint ptBy)
{
    return CPoint(pt.x - ptBy.x, pt.y - ptBy.y);
}

CRect WindowRectOf(const CWnd* pWnd)
{
    CRect rc;
    pWnd->GetWindowRect(&rc);
    return rc;
}

} // namespace

void CExtControlBar::ApplyOuterPosition()
{
    if (GetOuterPosition() != nullptr && m_pDockBar != nullptr && m_pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar)))
        static_cast<CExtDockOuterBar*>(m_pDockBar)->MakeBarFirstInRowOrder(this);
}

bool CExtControlBar::InternalDraggingState_t::CalcFixedBarDropTarget(CPoint ptScreen, bool bForceFloat)
{
    ::SetRectEmpty(&m_rect);
    if (bForceFloat || ::GetKeyState(VK_CONTROL) < 0)
    {
        FloatFixedBarAt(ptScreen);
        return false;
    }
    CFrameWnd* pFrame = m_pBar->GetDockingFrame();
    if (pFrame == nullptr)
        return false;
    const CRect rcFrame = WindowRectOf(pFrame);
    CRect rcReach = rcFrame;
    rcReach.InflateRect(2, 2);
    if (!rcReach.PtInRect(ptScreen))
    {
        FloatFixedBarAt(ptScreen);
        return false;
    }

    DockZone zones[4] = {{AFX_IDW_DOCKBAR_TOP, 0, {}, nullptr},
                         {AFX_IDW_DOCKBAR_BOTTOM, 0, {}, nullptr},
                         {AFX_IDW_DOCKBAR_LEFT, 0, {}, nullptr},
                         {AFX_IDW_DOCKBAR_RIGHT, 0, {}, nullptr}};
    const UINT nCurrentID = m_pBar->IsFloating() ? 0 : m_pBar->GetDockBarCtrlId();
    for (DockZone& zone : zones)
    {
        CControlBar* pDockBar = pFrame->GetControlBar(zone.nID);
        if (pDockBar != nullptr && pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)))
            zone.pDockBar = static_cast<CExtDockBar*>(pDockBar);
        if (zone.nID == nCurrentID)
            zone.nFlags |= ZoneCurrentSide;
        if (zone.pDockBar != nullptr && zone.pDockBar->IsWindowVisible())
        {
            zone.nFlags |= ZoneVisible;
            zone.rc = WindowRectOf(zone.pDockBar);
        }
        else
        {
            // A hidden dock bar still takes bars along the frame's edge.
            zone.rc = rcFrame;
            switch (zone.nID)
            {
            case AFX_IDW_DOCKBAR_TOP: zone.rc.bottom = zone.rc.top; break;
            case AFX_IDW_DOCKBAR_BOTTOM: zone.rc.top = zone.rc.bottom; break;
            case AFX_IDW_DOCKBAR_LEFT: zone.rc.right = zone.rc.left; break;
            default: zone.rc.left = zone.rc.right; break;
            }
        }
        switch (zone.nID)
        {
        case AFX_IDW_DOCKBAR_TOP:
            zone.rc.top = rcFrame.top;
            zone.rc.bottom += kZoneDepth;
            break;
        case AFX_IDW_DOCKBAR_BOTTOM:
            zone.rc.top -= kZoneDepth;
            zone.rc.bottom = rcFrame.bottom;
            break;
        case AFX_IDW_DOCKBAR_LEFT:
            zone.rc.left = rcFrame.left;
            zone.rc.right += kZoneDepth;
            break;
        default:
            zone.rc.left -= kZoneDepth;
            zone.rc.right = rcFrame.right;
            break;
        }
    }
    // The side zones run between the top and bottom dock bars.
    for (int i = 2; i < 4; ++i)
    {
        zones[i].rc.top = zones[0].rc.bottom - kZoneDepth;
        zones[i].rc.bottom = zones[1].rc.top + kZoneDepth;
    }
    for (DockZone& zone : zones)
    {
        CRect rcTolerant = zone.rc;
        rcTolerant.InflateRect(kZoneTolerance, kZoneTolerance);
        if (!rcTolerant.PtInRect(ptScreen))
            zone.nFlags |= ZoneMissed;
    }

    for (DockZone& zone : zones)
    {
        if ((zone.nFlags & ZoneCurrentSide) == 0)
            continue;
        if (!zone.rc.PtInRect(ptScreen))
            zone.nFlags &= ~ZoneCurrentSide;
        else if (zone.pDockBar != nullptr && TryDockFixedBar(ptScreen, zone.pDockBar))
            return true;
    }
    for (int nWanted : {static_cast<int>(ZoneVisible), 0})
        for (DockZone& zone : zones)
            if (zone.nFlags == nWanted && zone.pDockBar != nullptr && TryDockFixedBar(ptScreen, zone.pDockBar))
                return true;
    FloatFixedBarAt(ptScreen);
    return false;
}

bool CExtControlBar::InternalDraggingState_t::TryDockFixedBar(CPoint ptScreen, CExtDockBar* pDockBar)
{
    g_DragStateShown.m_nShift = 0;
    CExtControlBar* pBar = m_pBar;
    if ((pBar->m_dwDockStyle & pDockBar->m_dwStyle & CBRS_ALIGN_ANY) == 0 ||
        !pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar)))
        return false;
    auto* pOuter = static_cast<CExtDockOuterBar*>(pDockBar);
    const UINT nID = static_cast<UINT>(pDockBar->GetDlgCtrlID());
    const bool bHorz = IsHorzDockBarId(nID);
    const CPoint ptGrab = bHorz ? pBar->m_ptGrabDockedH : pBar->m_ptGrabDockedV;
    CFrameWnd* pDockSite = pBar->m_pDockSite;

    if (pBar->m_pDockBar != pDockBar)
    {
        const CSize size = pBar->CalcFixedLayout(FALSE, bHorz);
        const CRect rc(Offset(ptScreen, ptGrab), size);
        pBar->ResetOuterPosition();
        pDockBar->DockControlBar(pBar, &rc, true);
        pBar->ApplyOuterPosition();
        pDockSite->RecalcLayout(TRUE);
        return true;
    }

    auto moveInRow = [&]()
    {
        CPoint ptWanted = Offset(ptScreen, ptGrab);
        pOuter->ScreenToClient(&ptWanted);
        CRect rcBar = WindowRectOf(pBar);
        pOuter->ScreenToClient(&rcBar);
        const int nDelta = bHorz ? ptWanted.x - rcBar.left : ptWanted.y - rcBar.top;
        const BOOL bSavedQuery = pOuter->m_bLayoutQuery;
        const CRect rcSavedLayout = pOuter->m_rectLayout;
        pOuter->m_bLayoutQuery = FALSE;
        CRect rcLayout = WindowRectOf(pOuter);
        rcLayout.OffsetRect(-rcLayout.TopLeft());
        pOuter->m_rectLayout = rcLayout;
        if (pBar->IsFixedMode())
        {
            if (OuterPositionData_t* pPos = pBar->GetOuterPosition())
            {
                CRect rcClient;
                pOuter->GetClientRect(&rcClient);
                if (!pPos->IsEmpty() && !pBar->OccupiesWholeRow() &&
                    ((pPos->m_dwExtra & 1) != 0 ||
                     (bHorz && (rcBar.Width() >= rcClient.Width() || rcBar.Height() >= rcClient.Height()))))
                    pPos->Reset();
                if (pPos->IsEmpty())
                {
                    pPos->m_rcBar = rcBar;
                    pPos->m_nExtentH = rcBar.Width();
                    pPos->m_nExtentV = rcBar.Height();
                    pOuter->MakeBarFirstInRowOrder(pBar);
                }
            }
        }
        const CRect rcBefore = WindowRectOf(pBar);
        pOuter->MoveBarInRow(pBar, nDelta, nullptr);
        pOuter->m_bLayoutQuery = bSavedQuery;
        pOuter->m_rectLayout = rcSavedLayout;
        if (WindowRectOf(pBar) != rcBefore)
            g_DragStateShown.m_nShift = bHorz ? 1 : 2;
        CExtPaintManager::DispatchPendingPaint(true, true, true);
        return true;
    };

    CArray<CControlBar*, CControlBar*> arrRow;
    CRect rcRow;
    bool bRowFull = false;
    pBar->CollectRowBars(arrRow, &rcRow, nullptr, nullptr, &bRowFull);
    CRect rcAcross = rcRow;
    bHorz ? rcAcross.InflateRect(0, 1) : rcAcross.InflateRect(1, 0);
    int nLow = bHorz ? rcAcross.top : rcAcross.left;
    int nHigh = bHorz ? rcAcross.bottom : rcAcross.right;
    if (nID == AFX_IDW_DOCKBAR_TOP || nID == AFX_IDW_DOCKBAR_LEFT)
        nLow += 2;
    else
        nHigh -= 2;
    const int c = bHorz ? ptScreen.y : ptScreen.x;
    if (c > nLow && c < nHigh)
        return moveInRow();
    const int nDirection = c > nLow ? 1 : -1;

    if (arrRow.GetSize() > 1)
    {
        pBar->ResetOuterPosition();
        pOuter->DockControlBarInNewRow(pBar, pBar, nDirection < 0);
        pBar->ApplyOuterPosition();
        pBar->ApplyOuterPosition();
        ReflowOuterDockBar(pDockSite, pOuter);
        return true;
    }

    CArray<CControlBar*, CControlBar*> arrAdjacent;
    CRect rcAdjacent;
    bool bAdjacentFull = false;
    pBar->CollectAdjacentRow(nDirection > 0, arrAdjacent, &rcAdjacent, nullptr, nullptr, &bAdjacentFull);
    CRect rcDockClient;
    pOuter->GetClientRect(&rcDockClient);
    if (bAdjacentFull && !bRowFull && arrAdjacent.GetSize() > 0)
    {
        // Shrunk to their minimal lengths the bars may still leave room.
        int nSum = bHorz ? pBar->GetMinimalSize().cx : pBar->GetMinimalSize().cy;
        for (INT_PTR i = 0; i < arrAdjacent.GetSize(); ++i)
        {
            CControlBar* pOther = arrAdjacent[i];
            CRect rcWindow = WindowRectOf(pOther);
            CRect rcClient;
            pOther->GetClientRect(&rcClient);
            auto* pExtOther =
                pOther->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ? static_cast<CExtControlBar*>(pOther) : nullptr;
            if (pExtOther != nullptr && pExtOther->IsFixedMode() && !pExtOther->OccupiesWholeRow())
                nSum += bHorz ? pExtOther->GetMinimalSize().cx + rcWindow.Width() - rcClient.Width()
                              : pExtOther->GetMinimalSize().cy + rcWindow.Height() - rcClient.Height();
            else
                nSum += bHorz ? rcWindow.Width() : rcWindow.Height();
        }
        if (nSum < (bHorz ? rcDockClient.Width() : rcDockClient.Height()))
            bAdjacentFull = false;
    }

    auto swapTest = [&](bool bApplyFirst)
    {
        if (arrAdjacent.GetSize() == 0)
            return moveInRow();
        CRect rcStretched = rcAdjacent;
        const CRect rcDock = WindowRectOf(pOuter);
        if (bHorz)
        {
            rcStretched.left = rcDock.left;
            rcStretched.right = rcDock.right;
            rcStretched.OffsetRect(0, std::abs(rcRow.bottom - rcAdjacent.bottom));
        }
        else
        {
            rcStretched.top = rcDock.top;
            rcStretched.bottom = rcDock.bottom;
            rcStretched.OffsetRect(std::abs(rcRow.right - rcAdjacent.right), 0);
        }
        if (rcStretched.PtInRect(ptScreen))
            return moveInRow();
        if (bApplyFirst)
            pBar->ApplyOuterPosition();
        SwapBarRows(arrAdjacent[0], arrRow[0]);
        ReflowOuterDockBar(pDockSite, pOuter);
        return true;
    };
    if (bRowFull || bAdjacentFull)
        return swapTest(false);
    if (arrAdjacent.GetSize() == 0)
        return moveInRow();
    CPoint ptWanted = Offset(ptScreen, ptGrab);
    pOuter->ScreenToClient(&ptWanted);
    CRect rcBar = WindowRectOf(pBar);
    pOuter->ScreenToClient(&rcBar);
    if (pOuter->InsertBarIntoRow(pBar, arrAdjacent, bHorz ? ptWanted.x - rcBar.left : ptWanted.y - rcBar.top))
    {
        pBar->ApplyOuterPosition();
        ReflowOuterDockBar(pDockSite, pOuter);
        return true;
    }
    return swapTest(true);
}

void CExtControlBar::InternalDraggingState_t::FloatFixedBarAt(CPoint ptScreen)
{
    g_DragStateShown.m_nShift = 0;
    CExtControlBar* pBar = m_pBar;
    const CRect rcCaption = pBar->GetCaptionRect();
    const int m = std::min(rcCaption.Width(), rcCaption.Height());
    const CPoint ptFloat(ptScreen.x - m, ptScreen.y - m / 2);
    const HWND hWnd = pBar->m_hWnd;
    if (pBar->IsFloating())
    {
        CFrameWnd* pMiniFrame = pBar->GetParentFrame();
        const CRect rcFrame = WindowRectOf(pMiniFrame);
        const CPoint ptTopLeft = Offset(ptFloat, pBar->m_ptGrabFloating);
        pMiniFrame->MoveWindow(ptTopLeft.x, ptTopLeft.y, rcFrame.Width(), rcFrame.Height(), TRUE);
        if (!pBar->DefersWindowUpdate())
            pMiniFrame->BringWindowToTop();
        pMiniFrame->m_nIdleFlags |= CFrameWnd::idleLayout | CFrameWnd::idleNotify;
        if (pBar->m_pDockContext != nullptr)
            pBar->m_pDockContext->m_ptMRUFloatPos = ptTopLeft;
    }
    else
    {
        pBar->m_ptFloatPos = ptFloat;
        if (CExtMouseCaptureSink::GetCapture() != hWnd)
            static_cast<CExtMouseCaptureSink*>(pBar)->SetCapture(hWnd);
        pBar->FloatAt(ptFloat.x, ptFloat.y, CBRS_ALIGN_TOP);
        if (pBar->m_pDockContext != nullptr)
            pBar->m_pDockContext->m_ptMRUFloatPos = pBar->m_ptFloatPos;
    }
    if (::IsWindow(hWnd) && CExtMouseCaptureSink::GetCapture() != hWnd)
        static_cast<CExtMouseCaptureSink*>(pBar)->SetCapture(hWnd);
}

void CExtControlBar::InternalDraggingState_t::ReflowOuterDockBar(CFrameWnd* pFrame, CDockBar* pDockBar)
{
    pDockBar->Invalidate();
    if (!pDockBar->IsWindowVisible())
    {
        pFrame->RecalcLayout(TRUE);
        return;
    }
    const bool bHorz = IsHorzDockBarId(static_cast<UINT>(pDockBar->GetDlgCtrlID()));
    const BOOL bSavedQuery = pDockBar->m_bLayoutQuery;
    const CRect rcSavedLayout = pDockBar->m_rectLayout;
    CRect rcWindow = WindowRectOf(pDockBar);
    CRect rcLayout = rcWindow;
    rcLayout.OffsetRect(-rcLayout.TopLeft());
    pDockBar->m_rectLayout = rcLayout;
    pDockBar->m_bLayoutQuery = TRUE;
    const CSize size = pDockBar->CalcFixedLayout(FALSE, bHorz);
    const bool bSameDepth = bHorz ? size.cy == rcWindow.Height() : size.cx == rcWindow.Width();
    if (bSameDepth)
    {
        // Only the rows change: lay them out without the frame.
        pDockBar->m_bLayoutQuery = FALSE;
        pDockBar->CalcFixedLayout(FALSE, bHorz);
    }
    pDockBar->m_bLayoutQuery = bSavedQuery;
    pDockBar->m_rectLayout = rcSavedLayout;
    if (!bSameDepth)
        pFrame->RecalcLayout(TRUE);
    CExtPaintManager::DispatchPendingPaint(true, true, true);
}

void CExtControlBar::InternalDraggingState_t::SwapBarRows(CControlBar* pBarA, CControlBar* pBarB)
{
    CDockBar* pDockBar = pBarA->m_pDockBar;
    if (pDockBar == nullptr || pDockBar != pBarB->m_pDockBar)
        return;
    pDockBar->Invalidate();
    pBarA->Invalidate();
    pBarB->Invalidate();
    const int nPosA = kxdock::FindEntry(pDockBar->m_arrBars, pBarA);
    const int nPosB = kxdock::FindEntry(pDockBar->m_arrBars, pBarB);
    if (nPosA > 0 && nPosB > 0)
        kxdock::SwapRowsOf(pDockBar->m_arrBars, nPosA, nPosB);
}
