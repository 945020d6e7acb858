// Highlight, closing and input of a tracked popup menu as far as tracking
// itself needs them: the capture menu, closing a level and its sub-menus,
// Escape, and clicks that land outside the menu.
#include "framework/win/AfxMsg.h"
#include "framework/win/AfxRes.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"

namespace
{

const UINT_PTR kTimerDelayedSubMenu = 667;

} // namespace

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

void CExtPopupMenuWnd::ItemFocusSet(int nIndex, bool, bool bRepaint, bool)
{
    if (nIndex < 0 || nIndex >= ItemGetCount() || nIndex == m_nCurIndex)
        return;
    if (m_nCurIndex >= 0 && m_nCurIndex < ItemGetCount())
        m_items[m_nCurIndex].SetStateBit(MENUITEMDATA::STATE_HIGHLIGHTED, false);
    m_nCurIndex = nIndex;
    m_items[nIndex].SetStateBit(MENUITEMDATA::STATE_HIGHLIGHTED, true);
    if (bRepaint && IsLiveWindow(GetSafeHwnd()))
        Invalidate(FALSE);
}

int CExtPopupMenuWnd::ItemGetNextSelectable(int nCode)
{
    if (nCode != -101)
        return -1;
    if (m_nCurIndex >= 0)
        return m_nCurIndex;
    for (int i = 0; i < ItemGetCount(); ++i)
    {
        const MENUITEMDATA& mi = m_items[i];
        if (mi.IsDisplayed() && !mi.IsSeparator() && (mi.IsPopup() || mi.IsEnabled() || mi.IsForceEnabled()))
            return i;
    }
    return -1;
}

void CExtPopupMenuWnd::DelayedSubMenuStart(int nIndex)
{
    if (!IsLiveWindow(GetSafeHwnd()) || nIndex >= 0)
        return;
    if (m_nDelayedFocusItemIndex >= 0)
        KillTimer(kTimerDelayedSubMenu);
    m_nDelayedFocusItemIndex = -1;
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

void CExtPopupMenuWnd::TipHide(bool)
{
    if (IsLiveWindow(GetSafeHwnd()) && IsLiveWindow(m_wndToolTip.GetSafeHwnd()))
        m_wndToolTip.Hide();
}

bool CExtPopupMenuWnd::OnMouseMove(UINT, CPoint, bool&)
{
    return false;
}

bool CExtPopupMenuWnd::OnMouseClick(UINT, CPoint ptClient, bool&)
{
    if (!IsLiveWindow(GetSafeHwnd()))
        return false;
    CRect rcClient;
    GetClientRect(&rcClient);
    return rcClient.PtInRect(ptClient) != FALSE;
}

bool CExtPopupMenuWnd::OnHookMouseWheel(UINT, const MOUSEHOOKSTRUCT*, bool&)
{
    return true;
}

bool CExtPopupMenuWnd::OnKeyDown(UINT nVirtualKey, UINT, UINT, bool&)
{
    if (!IsLiveWindow(GetSafeHwnd()))
        return false;
    if (nVirtualKey == VK_ESCAPE)
        CloseTree(false);
    return true;
}
