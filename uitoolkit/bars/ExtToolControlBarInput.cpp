// The tool bar's commands, menu tracking, mouse input, tips, command-UI
// update and context help.
#include "uitoolkit/bars/ExtToolControlBar.h"

#include "framework/win/DockContext.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuTipWnd.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"

#include <cstdlib>

namespace
{

CPoint PointFromLParam(LPARAM lParam)
{
    return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

} // namespace

bool CExtToolControlBar::LoadToolBarResource(UINT nResourceID, COLORREF clrTransparent)
{
    LPCTSTR pszProfile = g_CmdManager->GetWindowProfileName(GetSafeHwnd());
    UINT* pIDs = nullptr;
    int nCount = 0;
    if (pszProfile == nullptr ||
        !g_CmdManager->LoadToolBarCommands(pszProfile, nResourceID, &pIDs, &nCount, false, true, clrTransparent))
        return false;
    const bool bResult = SetButtons(pIDs, nCount);
    delete[] pIDs;
    return bResult;
}

bool CExtToolControlBar::TrackButtonMenu(int nIndex, bool bSelectFirst, bool bDelayed, bool bExtraFlag)
{
    if (g_bMenuTracking && m_nBtnIdxMenuTracking == nIndex)
        return true;
    CExtBarButton* pButton = GetButton(nIndex);
    if (GetSafeHwnd() == nullptr || !IsWindowVisible() || pButton == nullptr ||
        (pButton->GetStyle() & (TBBS_DISABLED | TBBS_HIDDEN)) != 0 || !pButton->CanTrackMenu(false))
        return false;
    CPoint pt;
    if (!::GetCursorPos(&pt))
        return false;
    ScreenToClient(&pt);
    if (bDelayed)
    {
        PostMessage(g_nMsgTrackButtonMenu, static_cast<WPARAM>(nIndex), bExtraFlag ? 1 : 0);
        return true;
    }
    pButton->TrackDropDownMenu(pt, bSelectFirst, bExtraFlag);
    return true;
}

void CExtToolControlBar::SetTrackedButton(int nIndex)
{
    if (GetSafeHwnd() == nullptr)
        return;
    if (CExtBarButton* pOld = GetButton(m_nBtnIdxMenuTracking); pOld != nullptr)
    {
        pOld->SetStyle(pOld->GetStyle() & ~(TBBS_CHECKED | TBBS_PRESSED | TBBS_INDETERMINATE));
        pOld->ClearMenuTracked();
        InvalidateButton(m_nBtnIdxMenuTracking);
    }
    m_nBtnIdxMenuTracking = -1;
    if (CExtBarButton* pNew = GetButton(nIndex); pNew != nullptr)
    {
        m_nBtnIdxMenuTracking = nIndex;
        pNew->SetStyle((pNew->GetStyle() & ~(TBBS_CHECKED | TBBS_INDETERMINATE)) | TBBS_PRESSED);
        pNew->SetMenuTracked();
        InvalidateButton(nIndex);
    }
    UpdateWindow();
}

void CExtToolControlBar::CancelTrackingInAllBars()
{
    g_bMenuTracking = false;
    {
        CSingleLock lock(&g_csAllBars, TRUE);
        for (INT_PTR i = 0; i < g_AllBars.GetSize(); ++i)
        {
            CExtControlBar* pBar = g_AllBars[i];
            if (pBar != nullptr && pBar->GetSafeHwnd() != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CExtToolControlBar)))
                static_cast<CExtToolControlBar*>(pBar)->SetTrackedButton(-1);
        }
    }
    CExtPopupMenuTracker& tracker = CExtPopupMenuWnd::GetTracker();
    CExtPopupMenuWnd* pPopup = tracker.GetTopPopup();
    if (pPopup != nullptr && !tracker.IsClosing() && pPopup->GetSafeHwnd() != nullptr)
        pPopup->PostMessage(WM_CANCELMODE);
    CWnd::CancelToolTips(FALSE);
}

void CExtToolControlBar::DrawTrackedButtonOnPopup(LPVOID pCookie, CDC& dc, const CWnd& wndPopup,
                                                  const CRect& rcExcludeArea, int)
{
    auto* pBar = static_cast<CExtToolControlBar*>(pCookie);
    if (pBar == nullptr || rcExcludeArea.IsRectEmpty())
        return;
    CExtBarButton* pButton = pBar->GetButton(pBar->m_nBtnIdxMenuTracking);
    if (pButton == nullptr)
        return;
    if (pBar->IsChevronButton(pBar->m_nBtnIdxMenuTracking) && !pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar)) &&
        g_PaintManager->IsBackgroundInherited(pBar, false) && !pBar->m_bDialogHosted &&
        CExtPaintManager::GetScreenBitsPerPixel() > 8)
        return;
    const UINT nStyle = pButton->GetStyle();
    const bool bHover = pButton->IsHover();
    pButton->SetHover(false);
    pButton->SetStyle(nStyle & ~(TBBS_CHECKED | TBBS_PRESSED | TBBS_CHECKBOX));
    CPoint ptBar(0, 0), ptPopup(0, 0);
    pBar->ClientToScreen(&ptBar);
    wndPopup.ClientToScreen(&ptPopup);
    const CPoint ptOld = dc.SetViewportOrg(ptBar.x - ptPopup.x, ptBar.y - ptPopup.y);
    g_PaintManager->PaintTrackedButtonBackground(dc, pButton, 0);
    pButton->PaintButton(&dc, !pBar->IsDockedVertically());
    dc.SetViewportOrg(ptOld);
    pButton->SetHover(bHover);
    pButton->SetStyle(nStyle);
}

LRESULT CExtToolControlBar::OnTrackButtonMenu(WPARAM wParam, LPARAM lParam)
{
    CWnd* pTarget =
        m_bDialogHosted ? (GetOwner() != nullptr ? GetOwner() : GetParent()) : CExtDockBar::GetBarDockingFrame(this);
    if (pTarget == nullptr || !pTarget->IsWindowEnabled() || GetButtonsCount() == 0)
        return 0;
    const int nIndex = static_cast<int>(wParam);
    CExtBarButton* pButton = GetButton(nIndex);
    if (pButton != nullptr && pButton->CanTrackMenu(false) && IsPopupTrackingActive())
    {
        TrackButtonMenu(nIndex, true, false, lParam != 0);
        return 0;
    }
    CancelTrackingInAllBars();
    if (::GetCapture() == GetSafeHwnd())
        CExtMouseCaptureSink::ReleaseCapture();
    return 0;
}

LRESULT CExtToolControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_nMsgTrackButtonMenu)
        return OnTrackButtonMenu(wParam, lParam);
    switch (message)
    {
    case WM_LBUTTONDOWN: OnButtonLDown(static_cast<UINT>(wParam), PointFromLParam(lParam)); return 0;
    case WM_LBUTTONUP: OnButtonLUp(static_cast<UINT>(wParam), PointFromLParam(lParam)); return 0;
    case WM_LBUTTONDBLCLK: OnButtonDblClk(static_cast<UINT>(wParam), PointFromLParam(lParam)); return 0;
    case WM_CANCELMODE:
    {
        const LRESULT lResult = CExtControlBar::WindowProc(message, wParam, lParam);
        OnToolBarCancelMode();
        return lResult;
    }
    case WM_CAPTURECHANGED:
        if ((m_nBtnIdxCapture >= 0 || m_nBtnIdxHover >= 0) && reinterpret_cast<HWND>(lParam) != GetSafeHwnd())
            SendMessage(WM_CANCELMODE);
        break;
    case WM_SETCURSOR:
    {
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        CExtBarButton* pButton = GetButton(HitTest(pt));
        if (pButton != nullptr && pButton->OnCursorQuery(pt))
            return TRUE;
        break;
    }
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    {
        const LRESULT lResult = CExtControlBar::WindowProc(message, wParam, lParam);
        if (GetDraggedBar() != this)
            RequestFrameRecalcLayout();
        else if (message == WM_SIZE)
            ArrangeButtons();
        Invalidate(TRUE);
        if (m_pDockContext == nullptr)
            UpdateWindow();
        return lResult;
    }
    case WM_SETTINGCHANGE:
    {
        const LRESULT lResult = CExtControlBar::WindowProc(message, wParam, lParam);
        if (m_bDialogHosted)
            RequestFrameRecalcLayout();
        else if (CFrameWnd* pFrame = GetParentFrame(); pFrame != nullptr)
            pFrame->DelayRecalcLayout(TRUE);
        return lResult;
    }
    default: break;
    }
    return CExtControlBar::WindowProc(message, wParam, lParam);
}

void CExtToolControlBar::OnButtonLDown(UINT nFlags, CPoint point)
{
    const auto passOn = [&] { CExtControlBar::WindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y)); };
    if (IsBusyWithPane())
    {
        passOn();
        return;
    }
    m_nBtnIdxCapture = HitTest(point);
    if (m_nBtnIdxCapture < 0)
    {
        passOn();
        return;
    }
    const int nIndex = m_nBtnIdxCapture;
    UpdateButtonCmdUI(nIndex);
    if (nIndex == m_nBtnIdxMenuTracking)
    {
        m_nBtnIdxCapture = -1;
        return;
    }
    CExtBarButton* pButton = GetButton(nIndex);
    if (pButton == nullptr || (pButton->IsDisabled() && !pButton->HasDropDownMenu()))
    {
        m_nBtnIdxCapture = -1;
        return;
    }
    pButton->ModifyStyle(TBBS_PRESSED, 0);
    pButton->SetMenuTracked();
    InvalidateButton(nIndex);
    UpdateWindow();
    CWnd* pCtrl = pButton->GetEmbeddedCtrl();
    const HWND hWndBar = GetSafeHwnd();
    pButton->OnMouseClick(point, true);
    if (!::IsWindow(hWndBar))
        return;
    if (g_bMenuTracking ||
        (pCtrl != nullptr && (!::IsWindow(pCtrl->GetSafeHwnd()) || (pCtrl->GetStyle() & WS_VISIBLE) != 0)))
        m_nBtnIdxCapture = -1;
    else
        CExtMouseCaptureSink::SetCapture(hWndBar);
}

void CExtToolControlBar::OnButtonLUp(UINT nFlags, CPoint point)
{
    if ((m_nBtnIdxCapture < 0 && m_nBtnIdxHover < 0) || IsBusyWithPane())
    {
        CExtControlBar::WindowProc(WM_LBUTTONUP, nFlags, MAKELPARAM(point.x, point.y));
        return;
    }
    const HWND hWndBar = GetSafeHwnd();
    const int nHover = m_nBtnIdxHover;
    CExtBarButton* pHover = GetButton(nHover);
    m_nBtnIdxHover = -1;
    if (m_nBtnIdxCapture >= 0)
    {
        const int nIndex = m_nBtnIdxCapture;
        CExtBarButton* pButton = GetButton(nIndex);
        m_nBtnIdxCapture = -1;
        if (pButton != nullptr)
        {
            if (pButton->IsMenuTracked())
            {
                pButton->ClearMenuTracked();
                InvalidateButton(nIndex);
            }
            UINT nNewStyle = pButton->GetStyle() & ~TBBS_PRESSED;
            const bool bOnButton = HitTest(point) == nIndex;
            if (bOnButton)
            {
                UpdateButtonCmdUI(nIndex);
                nNewStyle = pButton->GetStyle() & ~TBBS_PRESSED;
                if (!pButton->IsDisabled() && (nNewStyle & TBBS_CHECKBOX) != 0)
                {
                    nNewStyle &= ~TBBS_INDETERMINATE;
                    nNewStyle ^= TBBS_CHECKED;
                }
            }
            CExtMouseCaptureSink::ReleaseCapture();
            if (bOnButton && GetButton(nIndex) == pButton)
            {
                pButton->OnMouseClick(point, false);
                if (!::IsWindow(hWndBar))
                    return;
            }
            if (!g_bMenuTracking && GetButton(nIndex) == pButton)
            {
                SetButtonStyle(nIndex, nNewStyle);
                UpdateButtonCmdUI(nIndex);
            }
        }
    }
    if (pHover != nullptr && GetButton(nHover) == pHover)
    {
        pHover->SetHover(false);
        bool bSuspend = false;
        pHover->OnHoverChanged(point, false, bSuspend);
        m_bTipsSuspended = bSuspend;
        if (!::IsWindow(hWndBar))
            return;
        InvalidateButton(nHover);
    }
    UpdateWindow();
}

void CExtToolControlBar::OnButtonDblClk(UINT nFlags, CPoint point)
{
    const LPARAM lParam = MAKELPARAM(point.x, point.y);
    if (IsBusyWithPane())
    {
        CExtControlBar::WindowProc(WM_LBUTTONDBLCLK, nFlags, lParam);
        return;
    }
    const int nIndex = HitTest(point);
    CExtBarButton* pButton = GetButton(nIndex);
    if (pButton == nullptr)
    {
        if (IsFloating())
            CExtControlBar::WindowProc(WM_LBUTTONDBLCLK, nFlags, lParam);
        return;
    }
    if (pButton->OnMouseDblClick(point))
        return;
    if (!IsFloating() && pButton->IsSeparator())
    {
        if (CanToggleDocking(this))
            ToggleDocking();
        return;
    }
    SendMessage(WM_LBUTTONUP, nFlags, lParam);
    SendMessage(WM_LBUTTONDOWN, nFlags, lParam);
}

void CExtToolControlBar::OnToolBarCancelMode()
{
    bool bReset = false;
    if (CExtBarButton* pPressed = GetButton(m_nBtnIdxCapture); pPressed != nullptr)
    {
        if (m_nBtnIdxCapture != m_nBtnIdxMenuTracking)
            pPressed->ModifyStyle(0, TBBS_PRESSED);
        pPressed->ClearMenuTracked();
        bReset = true;
    }
    m_nBtnIdxCapture = -1;
    if (CExtBarButton* pHover = GetButton(m_nBtnIdxHover); pHover != nullptr)
    {
        pHover->SetHover(false);
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        bool bSuspend = false;
        m_nBtnIdxHover = -1;
        pHover->OnHoverChanged(pt, false, bSuspend);
        bReset = true;
    }
    m_nBtnIdxHover = -1;
    if (!bReset || GetSafeHwnd() == nullptr)
        return;
    if (::GetCapture() == GetSafeHwnd())
        CExtMouseCaptureSink::ReleaseCapture();
    Invalidate();
    UpdateWindow();
}

bool CExtToolControlBar::HandleMouseMove(UINT nFlags, CPoint point)
{
    if (IsPopupTrackingActive() && !g_bMenuTracking)
        return true;
    if (IsBusyWithPane())
        return CExtControlBar::HandleMouseMove(nFlags, point);
    if (CExtBarButton* pPressed = GetButton(m_nBtnIdxCapture); pPressed != nullptr)
    {
        UINT nStyle = pPressed->GetStyle() & ~TBBS_PRESSED;
        if (::GetCapture() != GetSafeHwnd())
            m_nBtnIdxCapture = -1;
        else if (HitTest(point) == m_nBtnIdxCapture)
            nStyle |= TBBS_PRESSED;
        SetButtonStyle(GetButtonIndex(pPressed), nStyle);
        UpdateWindow();
        return true;
    }
    const bool bChanged = UpdateHover(point);
    if (::GetCapture() == GetSafeHwnd() && m_nBtnIdxHover < 0 && m_nBtnIdxMenuTracking < 0 && m_nBtnIdxCapture < 0)
    {
        CPoint pt;
        if (!::GetCursorPos(&pt))
            return false;
        if (::WindowFromPoint(pt) != GetSafeHwnd())
            CExtMouseCaptureSink::ReleaseCapture();
    }
    const bool bTipMoved = !IsPopupTrackingActive() && g_bUseSharedTipWnd && ShowHoverTip();
    return bChanged || bTipMoved || CExtControlBar::HandleMouseMove(nFlags, point);
}

bool CExtToolControlBar::ShowHoverTip()
{
    CExtBarButton* pButton = GetButton(m_nBtnIdxHover);
    if (pButton == nullptr || m_bTipsSuspended)
        return false;
    CPoint pt;
    if (!::GetCursorPos(&pt))
        return false;
    ScreenToClient(&pt);
    TOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    ti.hinst = ::GetModuleHandleA(nullptr);
    const INT_PTR nId = pButton->ToolHitTest(pt, &ti);
    bool bMoved = false;
    if (nId > 0 && ti.lpszText != nullptr && ti.lpszText != LPSTR_TEXTCALLBACKA && *ti.lpszText != 0)
    {
        CRect rc(ti.rect);
        ClientToScreen(&rc);
        CExtPopupMenuTipWnd& tip = CExtPopupMenuWnd::GetTracker().GetTipWnd();
        const bool bShown = tip.GetSafeHwnd() != nullptr && tip.IsWindowVisible();
        if (!bShown || rc != m_rcLastTip)
        {
            bMoved = tip.GetSafeHwnd() != nullptr && rc != m_rcLastTip;
            tip.SetTipType(CExtPopupMenuTipWnd::TipTypeRectBelow);
            tip.SetText(ti.lpszText);
            tip.Show(this, rc);
            m_rcLastTip = rc;
        }
    }
    if (ti.lpszText != LPSTR_TEXTCALLBACKA)
        std::free(ti.lpszText);
    return bMoved;
}

bool CExtToolControlBar::UpdateHover(CPoint point)
{
    if (point.x < 0 || point.y < 0)
    {
        if (!::GetCursorPos(&point))
            return false;
        ScreenToClient(&point);
    }
    int nHover = HitTest(point);
    if (!IsPopupTrackingActive() &&
        !CExtPopupMenuWnd::HaveCommonVisibleAncestor(GetSafeHwnd(), ::GetActiveWindow(), true, true, false))
        nHover = -1;
    if (nHover == m_nBtnIdxHover)
        return false;
    const HWND hWndBar = GetSafeHwnd();
    if (CExtBarButton* pOld = GetButton(m_nBtnIdxHover); pOld != nullptr)
    {
        pOld->SetHover(false);
        InvalidateButton(m_nBtnIdxHover);
        UpdateWindow();
        bool bSuspend = false;
        pOld->OnHoverChanged(point, false, bSuspend);
        m_bTipsSuspended = bSuspend;
        if (!::IsWindow(hWndBar))
            return true;
    }
    m_nBtnIdxHover = -1;
    CExtBarButton* pNew = GetButton(nHover);
    if (pNew != nullptr && IsFrameHelpMode(this) && !(pNew->CanTrackMenu(false) && pNew->HelpHitTest(point) == -3))
        pNew = nullptr;
    if (pNew != nullptr && pNew->IsDisabled() && g_bMenuTracking)
        pNew = nullptr;
    if (pNew != nullptr)
    {
        m_nBtnIdxHover = nHover;
        pNew->SetHover(true);
        InvalidateButton(nHover);
        UpdateWindow();
        bool bSuspend = false;
        pNew->OnHoverChanged(point, true, bSuspend);
        m_bTipsSuspended = bSuspend;
    }
    return true;
}

INT_PTR CExtToolControlBar::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const
{
    // the bar's tips go through the shared tip window, which this system
    // always uses, so the framework's tooltip control gets none
    if (!ShowTips() || g_bMenuTracking || IsPopupTrackingActive() || g_bUseSharedTipWnd || m_bTipsSuspended)
        return -1;
    CExtBarButton* pButton = GetButton(const_cast<CExtToolControlBar*>(this)->HitTest(point));
    return pButton != nullptr ? pButton->ToolHitTest(point, pTI) : CExtControlBar::OnToolHitTest(point, pTI);
}

// ---- command-UI update ----

CWnd* CExtToolControlBar::GetCmdUITarget(BOOL* pbDisableIfNoHandler) const
{
    CWnd* pTarget = GetOwner() != nullptr ? GetOwner() : GetParent();
    if (pTarget == nullptr && !m_bDialogHosted)
        pTarget = GetParentFrame();
    *pbDisableIfNoHandler = TRUE;
    if (pTarget != nullptr && pTarget->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        *pbDisableIfNoHandler = static_cast<CFrameWnd*>(pTarget)->m_bAutoMenuEnable;
    return pTarget;
}

void CExtToolControlBar::UpdateButtonCmdUI(int nIndex)
{
    CExtBarButton* pButton = GetButton(nIndex);
    BOOL bDisableIfNoHandler = TRUE;
    CWnd* pTarget = GetCmdUITarget(&bDisableIfNoHandler);
    if (pButton == nullptr || pTarget == nullptr)
        return;
    pButton->OnUpdateCmdUI(pTarget, bDisableIfNoHandler, nIndex);
}

void CExtToolControlBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CWnd* pUpdateTarget = pTarget;
    if (!m_bDialogHosted)
    {
        CExtControlBar::OnUpdateCmdUI(pTarget, bDisableIfNoHndler);
        if (GetDraggedBar() != nullptr)
            return;
    }
    else
    {
        if (pTarget != nullptr && pTarget->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return;
        pUpdateTarget = GetOwner() != nullptr ? GetOwner() : GetParent();
    }
    if (pUpdateTarget == nullptr || GetSafeHwnd() == nullptr || (GetStyle() & WS_VISIBLE) == 0)
        return;
    for (int i = 0; i < GetButtonsCount(); ++i)
        m_arrButtons[i]->OnUpdateCmdUI(pUpdateTarget, bDisableIfNoHndler, i);
}

int CExtToolControlBar::HelpHitTest(CPoint point)
{
    CExtBarButton* pButton = GetButton(HitTest(point));
    if (pButton == nullptr)
        return -1;
    const int nId = pButton->HelpHitTest(point);
    return nId == -1 || nId == -2 ? -2 : nId;
}

int CExtToolControlBar::ContextHelpLoop(CExtToolControlBar* pBar)
{
    CFrameWnd* pFrame = pBar != nullptr ? pBar->m_pDockSite : nullptr;
    if (pFrame == nullptr || !pFrame->m_bHelpMode || g_bHelpLoop)
        return -3;
    g_bHelpLoop = true;
    const HWND hWndFrame = pFrame->GetSafeHwnd(), hWndBar = pBar->GetSafeHwnd();
    const auto finish = [](int nResult)
    {
        g_bHelpLoop = false;
        return nResult;
    };
    for (;;)
    {
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            if (!::IsWindow(hWndFrame) || !::IsWindow(hWndBar) || !pFrame->m_bHelpMode)
                return finish(-3);
            ::WaitMessage();
            continue;
        }
        CWnd* pWnd = CWnd::FromHandlePermanent(msg.hwnd);
        const CPoint pt = PointFromLParam(msg.lParam);
        if (msg.message == WM_LBUTTONDOWN && pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CExtToolControlBar)))
        {
            const int nId = static_cast<CExtToolControlBar*>(pWnd)->HelpHitTest(pt);
            if (nId > 0)
            {
                ::PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
                return finish(nId);
            }
        }
        else if (msg.message == WM_MOUSEMOVE && pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
        {
            if (static_cast<CExtControlBar*>(pWnd)->HandleMouseMove(static_cast<UINT>(msg.wParam), pt))
            {
                ::PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
                continue;
            }
        }
        else if (msg.message == WM_COMMAND && HIWORD(msg.wParam) <= 1)
        {
            ::PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
            return finish(LOWORD(msg.wParam));
        }
        else if (msg.message == WM_SYSCOMMAND)
        {
            ::PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
            const UINT nId = static_cast<UINT>(msg.wParam) & 0xFFF0;
            switch (nId)
            {
            case SC_SIZE:
            case SC_MOVE:
            case SC_MINIMIZE:
            case SC_MAXIMIZE:
            case SC_NEXTWINDOW:
            case SC_PREVWINDOW:
            case SC_CLOSE:
            case SC_RESTORE:
            case SC_TASKLIST: return finish(static_cast<int>(((nId - 0xF000) >> 4) + 0x1EF00));
            default: return finish(static_cast<int>(msg.wParam));
            }
        }
        if (!AfxGetThread()->PumpMessage())
            return finish(-3);
    }
}

CExtBarButton* CExtToolControlBar::CExtToolControlBarCmdUI::Button() const
{
    const int nIndex = static_cast<int>(m_nIndex);
    return Bar()->IsChevronButton(nIndex) ? nullptr : Bar()->GetButton(nIndex);
}

void CExtToolControlBar::CExtToolControlBarCmdUI::Enable(BOOL bOn)
{
    CExtBarButton* pButton = Button();
    if (pButton == nullptr)
        return;
    m_bEnableChanged = TRUE;
    const int nIndex = static_cast<int>(m_nIndex);
    const UINT nStyle = pButton->GetStyle();
    Bar()->SetButtonStyle(nIndex, bOn ? nStyle & ~TBBS_DISABLED : nStyle | TBBS_DISABLED);
    if (CExtCmdItem* pItem = pButton->FindCmdItem(pButton->GetCmdID(false)); pItem != nullptr)
        pItem->Enable(bOn != FALSE);
}

void CExtToolControlBar::CExtToolControlBarCmdUI::ChangeCheck(int nCheck)
{
    CExtBarButton* pButton = Button();
    UINT nStyle = pButton->GetStyle() & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (nCheck == 1)
        nStyle |= TBBS_CHECKED;
    else if (nCheck == 2)
        nStyle |= TBBS_INDETERMINATE;
    Bar()->SetButtonStyle(static_cast<int>(m_nIndex), nStyle | TBBS_CHECKBOX);
}

void CExtToolControlBar::CExtToolControlBarCmdUI::SetCheck(int nCheck)
{
    CExtBarButton* pButton = Button();
    if (pButton == nullptr)
        return;
    ChangeCheck(nCheck);
    if (CExtCmdItem* pItem = pButton->FindCmdItem(pButton->GetCmdID(false)); pItem != nullptr)
        pItem->SetCheck((pButton->GetStyle() & (TBBS_CHECKED | TBBS_INDETERMINATE)) != 0);
}

void CExtToolControlBar::CExtToolControlBarCmdUI::SetRadio(BOOL bOn)
{
    CExtBarButton* pButton = Button();
    if (pButton == nullptr)
        return;
    ChangeCheck(bOn ? 1 : 0);
    if (CExtCmdItem* pItem = pButton->FindCmdItem(pButton->GetCmdID(false)); pItem != nullptr)
        pItem->SetRadio(bOn != FALSE);
}
