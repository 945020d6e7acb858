// Resizing docked panes with their splitter strips: the thickness of a whole
// row and the share of a row two neighbouring panes get, each as a modal
// tracking loop that shows an inverted line until the button is released.
#include "framework/win/FrameWnd.h"
#include "framework/win/MiniFrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtMessageQueue.h"
#include "uitoolkit/core/ExtDockDropZones.h"
#include "uitoolkit/docking/ExtControlBar.h"

#include <vector>

namespace
{

LONG& ThicknessOf(CExtControlBar* pBar, bool bHorz)
{
    return bHorz ? pBar->m_sizeDockedH.cy : pBar->m_sizeDockedV.cx;
}

int MinThicknessOf(const CExtControlBar* pBar, bool bHorz)
{
    return bHorz ? pBar->GetMinimalHeight() : pBar->GetMinimalWidth();
}

// The thickness below which the row layout raises a pane again.
int LayoutMinThicknessOf(const CExtControlBar* pBar, bool bHorz)
{
    return bHorz ? pBar->GetMinimalWidth() : pBar->GetMinimalHeight();
}

LONG& ExtentOf(CExtControlBar* pBar, bool bHorz)
{
    return bHorz ? pBar->m_sizeDockedH.cx : pBar->m_sizeDockedV.cy;
}

int MinExtentOf(const CExtControlBar* pBar, bool bHorz)
{
    return bHorz ? pBar->GetMinimalWidth() : pBar->GetMinimalHeight();
}

CExtControlBar* AsResizable(CControlBar* pBar)
{
    if (pBar == nullptr || !pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
        return nullptr;
    auto* pExt = static_cast<CExtControlBar*>(pBar);
    return pExt->IsFixedMode() ? nullptr : pExt;
}

// Messages that cancel a splitter drag before the pump sees them.
bool CancelsResizing(UINT nMsg, bool bRow)
{
    if (nMsg >= WM_KEYFIRST && nMsg <= WM_KEYLAST)
        return true;
    switch (nMsg)
    {
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_ACTIVATEAPP:
    case WM_CANCELMODE:
    case WM_CONTEXTMENU:
    case WM_RBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return true;
    case WM_NCLBUTTONUP: return bRow;
    case WM_NCLBUTTONDOWN: return !bRow;
    default: return false;
    }
}

// rc narrowed to nThickness around nPos, across y (bAlongY) or x.
CRect TrackLineRect(CRect rc, bool bAlongY, int nPos, int nThickness)
{
    if (bAlongY)
    {
        rc.top = nPos - nThickness / 2;
        rc.bottom = rc.top + nThickness;
    }
    else
    {
        rc.left = nPos - nThickness / 2;
        rc.right = rc.left + nThickness;
    }
    return rc;
}

// Draws a tracking line given in the frame's window coordinates.
void DrawFrameLine(CExtControlBar* pBar, const CRect& rcScreen, bool bErase)
{
    CFrameWnd* pFrame = pBar->GetParentFrame();
    if (pFrame == nullptr)
        return;
    CRect rcFrame;
    pFrame->GetWindowRect(&rcFrame);
    HDC hDC = ::GetDCEx(pFrame->m_hWnd, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE | DCX_CLIPSIBLINGS);
    if (hDC == nullptr)
        return;
    CExtControlBar::DRAW_TRACKED_AREA_DATA data;
    data.m_pBar = pBar;
    data.m_pDC = CDC::FromHandle(hDC);
    data.m_nShape = 0;
    data.m_rc = rcScreen;
    ::OffsetRect(&data.m_rc, -rcFrame.left, -rcFrame.top);
    data.m_nFlags = bErase ? CExtControlBar::DRAW_TRACKED_AREA_DATA::FlagErasing : 0;
    data.Draw();
    ::ReleaseDC(pFrame->m_hWnd, hDC);
}

} // namespace

bool CExtControlBar::OnNcLeftButtonDown(UINT nHitTest, CPoint ptScreen)
{
    // The framework's default would start its own move loop on the frame
    // of a bar that the toolkit moves itself.
    if (m_bFixedMode || IsFloating())
        return true;
    if (m_pDockBar == nullptr || GetDraggedBar() != nullptr)
        return false;
    // A press on the frame of a pane works on the pane, so it takes the
    // focus first; a pane squeezed to its minimum would be stretched open by
    // taking it (OnSetFocus) and stays as it is.
    // A press on a caption button waits for its release.
    if (NcButtonsHitTest(ptScreen) != HTCLIENT)
        return true;
    if (nHitTest != HTLEFT && nHitTest != HTBOTTOM && !IsMinimizedInRow())
        SetFocus();
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const CPoint pt(ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top);
    if (m_rectRowSplitter.PtInRect(pt))
    {
        StartRowResizing();
        return true;
    }
    const bool bTrailing = m_rectTrailingSplitter.PtInRect(pt) && !IsLastInRow(true);
    const bool bLeading = !bTrailing && m_rectLeadingSplitter.PtInRect(pt) && !IsFirstInRow(true);
    if (!bTrailing && !bLeading)
        return false;
    if (bTrailing ? CanResizeTrailingEdge() : CanResizeLeadingEdge())
    {
        m_bInRowResizeFromLeading = bLeading;
        StartInRowResizing();
    }
    return true;
}

void CExtControlBar::TrackResizing(bool bRow)
{
    const HWND hWnd = m_hWnd;
    auto tracking = [this, bRow]() { return bRow ? m_bRowResizing : m_bInRowResizing; };
    auto stop = [this, bRow](bool bCancel) { bRow ? StopRowResizing(bCancel) : StopInRowResizing(bCancel); };
    while (::IsWindow(hWnd) && tracking())
    {
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            ::WaitMessage();
        while (::IsWindow(hWnd) && tracking() && ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            if (msg.message == WM_QUIT)
            {
                // The program ends: nothing is applied, the quit goes on to
                // the loop outside.
                ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
                stop(true);
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (CancelsResizing(msg.message, bRow))
            {
                stop(true);
                break;
            }
            AfxPumpMessage();
        }
        if (::IsWindow(hWnd) && tracking())
            RunIdleInTrackingLoop();
    }
}

// ---- row resizing ----

void CExtControlBar::StartRowResizing()
{
    CancelToolTips(FALSE);
    if (!CanResizeRow(this))
        return;
    m_bRowResizing = true;
    CExtMouseCaptureSink::SetCapture(m_hWnd);
    if (!IsLiveRowResizing())
    {
        const bool bHorz = IsDockedHorizontally();
        m_nTrackExtent = ThicknessOf(this, bHorz);
        CPoint pt;
        ::GetCursorPos(&pt);
        m_nTrackStart = bHorz ? pt.y : pt.x;
        DrawRowResizingLine(false);
    }
    TrackResizing(true);
}

void CExtControlBar::ContinueRowResizing()
{
    CFrameWnd* pSite = m_pDockSite;
    if (!m_bRowResizing || pSite == nullptr)
        return;
    const bool bHorz = IsDockedHorizontally();
    CRect rcSite, rcWindow;
    pSite->GetWindowRect(&rcSite);
    GetWindowRect(&rcWindow);
    CPoint pt;
    ::GetCursorPos(&pt);
    const int nCursor = bHorz ? pt.y - rcWindow.top : pt.x - rcWindow.left;
    const int nStrip = bHorz ? m_rectRowSplitter.Height() : m_rectRowSplitter.Width();
    const int nThickness =
        kxdock::RowResizeThickness(nCursor, nStrip, IsDockedAtTop() || IsDockedAtLeft(), ThicknessOf(this, bHorz),
                                   MinThicknessOf(this, bHorz), bHorz ? rcSite.Height() : rcSite.Width());
    // The line stays where it is until the thickness changes.
    if (nThickness < 0 || nThickness == m_nTrackExtent)
        return;
    m_nTrackExtent = nThickness;
    if (!IsLiveRowResizing())
    {
        DrawRowResizingLine(true);
        m_nTrackStart = bHorz ? pt.y : pt.x;
        DrawRowResizingLine(false);
        return;
    }
    CArray<CExtControlBar*, CExtControlBar*> arrRow;
    CollectRowToolkitBars(arrRow, true);
    for (INT_PTR i = 0; i < arrRow.GetSize(); ++i)
        ThicknessOf(arrRow[i], bHorz) = nThickness;
    pSite->RecalcLayout();
    if (m_pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)))
        static_cast<CExtDockBar*>(m_pDockBar)->UpdateNestedLayout();
    CExtMessageQueue::DispatchPending(WM_PAINT);
}

void CExtControlBar::StopRowResizing(bool bCancel)
{
    m_bRowResizing = false;
    if (CExtMouseCaptureSink::GetCapture() == m_hWnd)
        CExtMouseCaptureSink::ReleaseCapture();
    if (IsLiveRowResizing() || m_pDockBar == nullptr)
        return;
    DrawRowResizingLine(true);
    if (!bCancel)
    {
        const bool bHorz = IsDockedHorizontally();
        int nNew = m_nTrackExtent;
        const int nOld = ThicknessOf(this, bHorz);
        if (nNew != nOld)
        {
            CArray<CExtControlBar*, CExtControlBar*> arrRow;
            CollectRowToolkitBars(arrRow, true);
            int nDelta = 0;
            for (INT_PTR i = 0; i < arrRow.GetSize() && nDelta == 0; ++i)
                nDelta = ThicknessOf(arrRow[i], bHorz) - nNew;
            CArray<CControlBar*, CControlBar*> arrAdjacent;
            CollectAdjacentRow(IsDockedAtTop() || IsDockedAtLeft(), arrAdjacent);
            std::vector<CExtControlBar*> arrGainers;
            std::vector<kxdock::RowThickness> arrThickness;
            for (INT_PTR i = 0; i < arrAdjacent.GetSize(); ++i)
                if (CExtControlBar* pBar = AsResizable(arrAdjacent[i]))
                {
                    arrGainers.push_back(pBar);
                    arrThickness.push_back({ThicknessOf(pBar, bHorz), LayoutMinThicknessOf(pBar, bHorz)});
                }
            // The adjacent row keeps its minimal thickness; what it cannot
            // give the resized row does not get.
            const int nClamped =
                kxdock::ClampAdjacentRowDelta(nDelta, arrThickness.data(), static_cast<int>(arrThickness.size()));
            nNew += nDelta - nClamped;
            for (INT_PTR i = 0; i < arrRow.GetSize(); ++i)
                ThicknessOf(arrRow[i], bHorz) = nNew;
            for (CExtControlBar* pBar : arrGainers)
                ThicknessOf(pBar, bHorz) += nClamped;
        }
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->RecalcLayout();
    }
    m_pDockBar->RedrawWindow(nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW | RDW_NOFRAME);
}

void CExtControlBar::DrawRowResizingLine(bool bErase)
{
    if (m_pDockBar == nullptr)
        return;
    CRect rc;
    m_pDockBar->GetWindowRect(&rc);
    const bool bHorz = IsDockedHorizontally();
    DrawFrameLine(
        this, TrackLineRect(rc, bHorz, m_nTrackStart, bHorz ? m_rectRowSplitter.Height() : m_rectRowSplitter.Width()),
        bErase);
}

// ---- in-row resizing ----

bool CExtControlBar::CanResizeTrailingEdge() const
{
    CControlBar* pNext = GetRowNeighbour(true, true, true);
    const bool bNextMinimized = pNext == nullptr || static_cast<CExtControlBar*>(pNext)->IsMinimizedInRow();
    return !(IsMinimizedInRow() && bNextMinimized);
}

bool CExtControlBar::CanResizeLeadingEdge() const
{
    // Asks the same of the bar and the one after it.
    return CanResizeTrailingEdge();
}

void CExtControlBar::StartInRowResizing()
{
    CancelToolTips(FALSE);
    if (!CanResizeInRow(this))
        return;
    m_bInRowResizing = true;
    CExtMouseCaptureSink::SetCapture(m_hWnd);
    if (!IsLiveInRowResizing())
    {
        m_nTrackExtent = 0;
        CPoint pt;
        ::GetCursorPos(&pt);
        m_nTrackStart = IsDockedHorizontally() ? pt.x : pt.y;
        DrawInRowResizingLine(false);
    }
    TrackResizing(false);
}

void CExtControlBar::ContinueInRowResizing()
{
    if (!m_bInRowResizing || m_pDockBar == nullptr)
        return;
    const bool bHorz = IsDockedHorizontally();
    CRect rcWindow, rcDockBar;
    GetWindowRect(&rcWindow);
    m_pDockBar->GetWindowRect(&rcDockBar);
    CPoint pt;
    ::GetCursorPos(&pt);
    const int nCursor = bHorz ? pt.x - rcWindow.left : pt.y - rcWindow.top;
    const CRect& rcStrip = m_bInRowResizeFromLeading ? m_rectLeadingSplitter : m_rectTrailingSplitter;
    const int nCurrent = ExtentOf(this, bHorz);
    const int nMinimal = MinExtentOf(this, bHorz);
    const int nExtent = kxdock::InRowResizeExtent(nCursor, bHorz ? rcStrip.Width() : rcStrip.Height(),
                                                  m_bInRowResizeFromLeading, nCurrent, nMinimal);
    // The line stays where it is until the extent changes.
    if (nCurrent - nExtent == m_nTrackExtent)
        return;
    m_nTrackExtent = nCurrent - nExtent;
    if (IsLiveInRowResizing())
    {
        CExtControlBar* pNeighbour = AsResizable(GetRowNeighbour(!m_bInRowResizeFromLeading, true, true));
        const kxdock::InRowShares shares = kxdock::ShareInRowDelta(
            nCurrent, nMinimal, pNeighbour != nullptr ? ExtentOf(pNeighbour, bHorz) : 0,
            pNeighbour != nullptr ? MinExtentOf(pNeighbour, bHorz) : 0, pNeighbour != nullptr, m_nTrackExtent);
        ExtentOf(this, bHorz) = shares.nBar;
        if (pNeighbour != nullptr)
            ExtentOf(pNeighbour, bHorz) = shares.nNeighbour;
        m_pDockSite->RecalcLayout();
        if (m_pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)))
            static_cast<CExtDockBar*>(m_pDockBar)->UpdateNestedLayout();
        return;
    }
    // The line keeps the bars on its either side at their minimal extents.
    CArray<CControlBar*, CControlBar*> arrRow;
    int nSelf = 0;
    CollectRowBars(arrRow, nullptr, &nSelf);
    auto extentAtLeast = [bHorz](CControlBar* pBar)
    {
        if (CExtControlBar* pExt = AsResizable(pBar))
            return MinExtentOf(pExt, bHorz);
        CRect rc;
        pBar->GetWindowRect(&rc);
        return bHorz ? rc.Width() : rc.Height();
    };
    int nLow = 0, nHigh = 0;
    if (!m_bInRowResizeFromLeading)
    {
        nLow = (bHorz ? rcWindow.left : rcWindow.top) + nMinimal;
        nHigh = bHorz ? rcDockBar.right : rcDockBar.bottom;
        for (INT_PTR i = nSelf + 1; i < arrRow.GetSize(); ++i)
            if (arrRow[i]->IsVisible())
                nHigh -= extentAtLeast(arrRow[i]);
    }
    else
    {
        nLow = bHorz ? rcDockBar.left : rcDockBar.top;
        for (INT_PTR i = 0; i < nSelf; ++i)
            if (arrRow[i]->IsVisible())
                nLow += extentAtLeast(arrRow[i]);
        nHigh = (bHorz ? rcWindow.right : rcWindow.bottom) - nMinimal;
    }
    DrawInRowResizingLine(true);
    m_nTrackStart = kxdock::ClampTrackLine(bHorz ? pt.x : pt.y, nLow, nHigh);
    DrawInRowResizingLine(false);
}

void CExtControlBar::StopInRowResizing(bool bCancel)
{
    m_bInRowResizing = false;
    if (CExtMouseCaptureSink::GetCapture() == m_hWnd)
        CExtMouseCaptureSink::ReleaseCapture();
    if (IsLiveInRowResizing())
        return;
    DrawInRowResizingLine(true);
    if (bCancel || m_nTrackExtent == 0 || m_pDockBar == nullptr)
        return;
    const bool bHorz = IsDockedHorizontally();
    CExtControlBar* pNeighbour = AsResizable(GetRowNeighbour(!m_bInRowResizeFromLeading, true, true));
    const kxdock::InRowShares shares = kxdock::ShareInRowDelta(
        ExtentOf(this, bHorz), MinExtentOf(this, bHorz), pNeighbour != nullptr ? ExtentOf(pNeighbour, bHorz) : 0,
        pNeighbour != nullptr ? MinExtentOf(pNeighbour, bHorz) : 0, pNeighbour != nullptr, m_nTrackExtent);
    ExtentOf(this, bHorz) = shares.nBar;
    if (pNeighbour != nullptr)
        ExtentOf(pNeighbour, bHorz) = shares.nNeighbour;
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RecalcLayout();
}

void CExtControlBar::DrawInRowResizingLine(bool bErase)
{
    CRect rc;
    GetWindowRect(&rc);
    const CRect& rcStrip = m_bInRowResizeFromLeading ? m_rectLeadingSplitter : m_rectTrailingSplitter;
    const bool bHorz = IsDockedHorizontally();
    DrawFrameLine(this, TrackLineRect(rc, !bHorz, m_nTrackStart, bHorz ? rcStrip.Width() : rcStrip.Height()), bErase);
}
