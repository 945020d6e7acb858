// What a control bar does with its window messages outside the non-client
// area: the bars menu on right-button releases, focus tracking at idle time,
// the guarded command-UI update and the frame layout requests.
#include "framework/win/FrameWnd.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"

bool CExtControlBar::TrackBarsMenu(WORD nEventType, UINT nMsg)
{
    CFrameWnd* pFrame = GetDockingFrame();
    if (m_bDialogHosted || pFrame == nullptr || IsFrameHelpMode(pFrame))
        return false;
    CPoint ptCursor;
    if (!::GetCursorPos(&ptCursor))
        return true;
    if (nMsg == WM_RBUTTONUP && !m_bFixedMode)
    {
        // A pane's client area belongs to the window it holds.
        CRect rcClient;
        GetClientRect(&rcClient);
        ClientToScreen(&rcClient);
        if (rcClient.PtInRect(ptCursor))
            return true;
    }
    CWnd* pOwner = GetOwner();
    CWnd* pFocus = pOwner;
    if (nEventType == 1)
        pFocus = CWnd::FromHandle(::GetWindow(m_hWnd, GW_CHILD));
    CExtDockBar::TrackBarsPopupMenu(pFrame, pOwner, pFocus, nEventType, this, nMsg, ptCursor);
    return true;
}

void CExtControlBar::OnDockedPosChanged(const WINDOWPOS& wp)
{
    if (!m_bFixedMode && (wp.flags & SWP_NOSIZE) == 0 && !IsFloating())
    {
        // The pane keeps the size its row gave it for the next layout.
        if (IsDockedHorizontally())
            m_sizeDockedH = CSize(wp.cx, wp.cy);
        else if (IsDockedVertically())
            m_sizeDockedV = CSize(wp.cx, wp.cy);
    }
    if ((wp.flags & SWP_FRAMECHANGED) == 0)
        RecalcNcFrame();
}

void CExtControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    if (m_bDialogHosted || m_bRowResizing || m_bInRowResizing || m_bDragging || GetDraggedBar() != nullptr)
        return;
    CPoint ptCursor;
    if (!IsWindowVisible() || !::GetCursorPos(&ptCursor))
        return;
    const bool bButtonHover = NcButtonsHitTest(ptCursor) != HTCLIENT;
    HWND hFocus = ::GetFocus();
    const bool bFocusInside = hFocus != nullptr && (hFocus == m_hWnd || ::IsChild(m_hWnd, hFocus));
    if (bFocusInside == m_bFocusInside && bButtonHover == m_bNcButtonHover)
        return;
    m_bFocusInside = bFocusInside;
    m_bNcButtonHover = bButtonHover;
    // The caption shows whether the focus is inside and the buttons whether
    // the mouse is over them.
    SendMessage(WM_NCPAINT);
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_NCPAINT);
}

bool CExtControlBar::DoUpdateCmdUI(BOOL bDisableIfNoHandler)
{
    if (m_bUpdateSuspended)
        return true;
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd))
        return false;
    m_bUpdateSuspended = true;
    OnUpdateCmdUI(m_bDialogHosted ? nullptr : GetDockingFrame(), bDisableIfNoHandler);
    m_bUpdateSuspended = false;
    return true;
}

void CExtControlBar::UpdateChildBarsCmdUI(CWnd* pParent, BOOL bDisableIfNoHandler)
{
    if (pParent == nullptr || !::IsWindow(pParent->GetSafeHwnd()))
        return;
    for (HWND h = ::GetWindow(pParent->m_hWnd, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
    {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
            static_cast<CExtControlBar*>(pWnd)->DoUpdateCmdUI(bDisableIfNoHandler);
    }
}

bool CExtControlBar::PreTranslateChildBars(CWnd* pParent, MSG* pMsg)
{
    if (pParent == nullptr || !::IsWindow(pParent->GetSafeHwnd()))
        return false;
    for (HWND h = ::GetWindow(pParent->m_hWnd, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
    {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CExtControlBar)) && pWnd->PreTranslateMessage(pMsg))
            return true;
    }
    return false;
}

void CExtControlBar::RequestFrameRecalcLayout()
{
    if (!m_bFrameLayoutRequests || m_bDialogHosted)
        return;
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame == nullptr || !::IsWindow(pFrame->m_hWnd) || pFrame->m_bInRecalcLayout)
        return;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    CWnd* pTop = GetTopLevelWnd(this);
    if (pTop != nullptr && ::GetWindowPlacement(pTop->m_hWnd, &wp) && wp.showCmd == SW_SHOWMINIMIZED)
        return;
    if (m_bFixedMode && IsFloating() && pFrame->IsWindowVisible())
        pFrame->RecalcLayout();
    else
        pFrame->DelayRecalcLayout(TRUE);
}
