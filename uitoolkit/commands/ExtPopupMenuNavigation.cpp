// Closing a menu level and its sub-menus, and the capture menu that owns the
// mouse for tips and hover.
#include "framework/win/AfxMsg.h"
#include "framework/win/AfxRes.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"

bool CExtPopupMenuWnd::IsNoItemDisplayed() const
{
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
    {
        const MENUITEMDATA& mi = m_items[i];
        if (mi.IsDisplayed() || (!mi.IsSeparator() && !mi.IsPopup() && mi.m_pCbCustom != nullptr))
            return false;
    }
    return true;
}

void CExtPopupMenuWnd::OnDestroyCleanup()
{
    m_rgnWnd.DeleteObject();
    m_shadow.Reset();
    m_shadowCombined.Reset();
    CExtPopupBaseWnd::ReleaseAnimationSurfaces();
    if (IsLiveWindow(GetSafeHwnd()))
        KillTimer(ID_TIMER_ANIMATION);
}

void CExtPopupMenuWnd::CloseTree(bool bKeepWindow)
{
    const HWND hWnd = GetSafeHwnd();
    const bool bNoHooks = IsNoHookTracking();
    if (CWnd* pWndOwner = CWnd::GetSafeOwner())
        CExtControlBar::ShowCommandStatusText(pWndOwner, AFX_IDS_IDLEMESSAGE);
    if (!bNoHooks)
    {
        TipHide(false);
        if (hWnd != nullptr && !IsLiveWindow(hWnd))
            return;
        OnDestroyCleanup();
        CaptureRelease();
    }
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        mi.SetStateBit(MENUITEMDATA::STATE_HIGHLIGHTED, false);
        if (mi.GetPopup() != nullptr && IsLiveWindow(mi.GetPopup()->GetSafeHwnd()))
            mi.GetPopup()->CloseTree(false);
    }
    m_nLastMousePick = m_nCurIndex = -1;
    if (bKeepWindow || !IsLiveWindow(hWnd))
        return;
    const bool bRoot = m_pWndParentMenu == nullptr;
    ShowWindow(SW_HIDE);
    if (!bNoHooks)
    {
        DelayedSubMenuStart(-1);
        // a root's window going away ends the tracked tree and deletes the
        // menu object: nothing of it may be used after this call
        if (IsLiveWindow(hWnd))
            DestroyWindow();
    }
    if (CExtToolControlBar::g_bMenuTracking && bRoot && !bNoHooks)
        CExtToolControlBar::CancelTrackingInAllBars();
}

bool CExtPopupMenuWnd::IsPointOverThisWindow(POINT ptClient) const
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsLiveWindow(hWnd))
        return false;
    ::ClientToScreen(hWnd, &ptClient);
    return ::WindowFromPoint(ptClient) == hWnd;
}

void CExtPopupMenuWnd::CaptureSet()
{
    GetTracker().SetCapturePopup(IsLiveWindow(GetSafeHwnd()) ? this : nullptr);
}

CExtPopupMenuWnd* CExtPopupMenuWnd::CaptureGet() const
{
    return GetTracker().GetCapturePopup();
}

void CExtPopupMenuWnd::CaptureRelease()
{
    CExtPopupMenuTracker& tracker = GetTracker();
    if (tracker.GetTopPopup() != nullptr && !tracker.IsClosing() && tracker.GetCapturePopup() == this)
        tracker.SetCapturePopup(nullptr);
}

bool CExtPopupMenuWnd::IsTipShown() const
{
    return !IsNoHookTracking() && IsLiveWindow(GetSafeHwnd()) && GetTracker().GetCapturePopup() == this &&
           IsLiveWindow(m_wndToolTip.GetSafeHwnd()) && m_wndToolTip.IsWindowVisible();
}

bool CExtPopupMenuWnd::OnHookMouseWheel(UINT, const MOUSEHOOKSTRUCT*, bool&)
{
    return true;
}
