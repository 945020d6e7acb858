// The highlight of a shown popup menu and what hangs on it: status texts,
// covering notices to the command target, delayed and immediate sub-menus,
// closing a menu level or the whole tree, and delivering the chosen command.
//
// Notices, commands and focus changes reach owner code that may destroy the
// menu; every such step is followed by a check of the window handle kept in
// a local, and a dead window ends the operation without touching the object.
#include "framework/win/AfxRes.h"
#include "framework/win/FrameWnd.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtSoundPlayer.h"
#include "uitoolkit/core/ExtPopupMenuNavigation.h"
#include "uitoolkit/docking/ExtControlBar.h"

const UINT CExtPopupMenuWnd::g_nMsgItemCoveringNotification =
    ::RegisterWindowMessageA("CExtPopupMenuWnd::g_nMsgItemCoveringNotification");
const UINT CExtPopupMenuWnd::g_nMsgTearOff = ::RegisterWindowMessageA("CExtPopupMenuWnd::g_nMsgTearOff");
const UINT CExtPopupMenuWnd::g_nMsgCustomFloatPos = ::RegisterWindowMessageA("CExtPopupMenuWnd::g_nMsgCustomFloatPos");

namespace
{

using MENUITEMDATA = CExtPopupMenuWnd::MENUITEMDATA;

const UINT_PTR kTimerDelayedSubMenu = 667;
const UINT kDelayedSubMenuMs = 500;

} // namespace

bool CExtPopupMenuWnd::ItemCoveringNotice::Notify()
{
    HWND hWndReceiver = nullptr;
    if (m_pPopup != nullptr)
    {
        hWndReceiver = m_pPopup->GetCmdTargetWnd();
        if (!IsLiveWindow(hWndReceiver) || m_pPopup->IsHelpModeTracking())
            return false;
    }
    else if (m_pBarButton != nullptr && m_pBarButton->GetBar() != nullptr)
    {
        CExtToolControlBar* pBar = m_pBarButton->GetBar();
        CFrameWnd* pDockSite = pBar->m_pDockSite;
        if (pDockSite != nullptr && pDockSite->GetSafeHwnd() != nullptr)
        {
            if (pDockSite->m_bHelpMode)
                return false;
            hWndReceiver = pDockSite->GetSafeHwnd();
        }
        else
            hWndReceiver = ::GetParent(pBar->GetSafeHwnd());
        if (!IsLiveWindow(hWndReceiver))
            return false;
    }
    else
        return false;
    ::SendMessageA(hWndReceiver, g_nMsgItemCoveringNotification, reinterpret_cast<WPARAM>(this), 0);
    return true;
}

bool CExtPopupMenuWnd::SendCoveringNotice(int nCode, int nIndex, BYTE nFlags)
{
    const HWND hWnd = GetSafeHwnd();
    ItemCoveringNotice notice;
    notice.m_pPopup = this;
    notice.m_nCode = nCode;
    notice.m_nItemIndex = nIndex;
    notice.m_nFlags = static_cast<BYTE>(nFlags & ~ItemCoveringNotice::SUPPRESS_TIPS);
    notice.Notify();
    if (hWnd != nullptr && !IsLiveWindow(hWnd))
        return false;
    const bool bSuppress = (notice.m_nFlags & ItemCoveringNotice::SUPPRESS_TIPS) != 0;
    m_nMenuState = static_cast<BYTE>(bSuppress ? m_nMenuState | MENU_NO_ITEM_TIPS : m_nMenuState & ~MENU_NO_ITEM_TIPS);
    return true;
}

void CExtPopupMenuWnd::ShowStatusText(UINT nCmdID)
{
    HWND hWndOwner = ::GetWindow(GetSafeHwnd(), GW_OWNER);
    if (hWndOwner == nullptr)
        hWndOwner = ::GetParent(GetSafeHwnd());
    CExtControlBar::ShowCommandStatusText(CWnd::FromHandle(hWndOwner), CExtPopupMenuNavigation::StatusTextID(nCmdID));
}

void CExtPopupMenuWnd::RepaintNow()
{
    if (GetSafeHwnd() == nullptr || !IsWindowVisible())
        return;
    CClientDC dc(this);
    PaintFinished(dc, false);
}

void CExtPopupMenuWnd::ItemHighlightClear(bool bRepaint, bool bHideTip)
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsNoHookTracking() && bHideTip)
    {
        TipHide(true);
        if (hWnd != nullptr && !IsLiveWindow(hWnd))
            return;
    }
    if (IsValidIndex(m_nCurIndex))
    {
        const int nIndex = m_nCurIndex;
        MENUITEMDATA& mi = m_items[nIndex];
        if (mi.IsInplaceEdit())
        {
            mi.m_nInplaceFlags &= ~MENUITEMDATA::INPLACE_OWN_TEXT;
            mi.m_sInplaceEditText.Empty();
            if (mi.m_pInplaceEditWnd != nullptr && mi.m_pInplaceEditWnd->GetSafeHwnd() != nullptr &&
                mi.m_pInplaceEditWnd->IsWindowVisible())
                mi.m_pInplaceEditWnd->ShowWindow(SW_HIDE);
        }
        mi.SetStateBit(MENUITEMDATA::STATE_HIGHLIGHTED, false);
        CExtPopupMenuWnd* pSub = mi.IsPopup() ? mi.m_pWndChild : nullptr;
        m_nCurIndex = -1;
        if (!SendCoveringNotice(ItemCoveringNotice::CODE_UNCOVERED, nIndex, 0))
            return;
        if (pSub != nullptr)
        {
            pSub->CloseTree(false);
            if (hWnd != nullptr && !IsLiveWindow(hWnd))
                return;
        }
    }
    else
        m_nCurIndex = -1;
    ShowStatusText(0);
    if (bRepaint)
        RepaintNow();
}

void CExtPopupMenuWnd::DelayedSubMenuStart(int nIndex)
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsLiveWindow(hWnd))
        return;
    if (nIndex == m_nDelayedFocusItemIndex)
        return;
    KillTimer(kTimerDelayedSubMenu);
    if (nIndex < 0)
    {
        m_nDelayedFocusItemIndex = -1;
        return;
    }
    m_nDelayedFocusItemIndex = nIndex;
    if (!SendCoveringNotice(ItemCoveringNotice::CODE_DELAYED_SUB_MENU, nIndex, 0))
        return;
    SetTimer(kTimerDelayedSubMenu, kDelayedSubMenuMs, nullptr);
}

bool CExtPopupMenuWnd::IsItemHighlightable(int nIndex) const
{
    if (!IsValidIndex(nIndex))
        return false;
    const MENUITEMDATA& mi = m_items[nIndex];
    if (!mi.IsDisplayed())
        return false;
    return mi.IsPopup() || (!mi.IsSeparator() && (mi.IsForceEnabled() || mi.IsEnabled()));
}

void CExtPopupMenuWnd::ScrollItemIntoView(int nIndex)
{
    CRect rcItem, rcClient;
    ItemGetRect(nIndex, rcItem, false);
    GetClientRect(&rcClient);
    const int nScrollPosMin = GetScrollPosMin();
    const int nBorder2 = 2 * GetMenuBorderSize();
    int nLower = rcClient.bottom;
    if (m_nDyScrollOffset != nScrollPosMin)
    {
        CRect rcScroll;
        ItemGetRect(IDX_SCROLL_BOTTOM, rcScroll, false);
        nLower = rcScroll.top;
        if ((m_nMenuState & MENU_COLLAPSED) != 0)
            nLower -= GetMenuExpandButtonHeight();
    }
    int nUpper = rcClient.top;
    if (m_nDyScrollOffset != 0)
    {
        CRect rcScroll;
        ItemGetRect(IDX_SCROLL_TOP, rcScroll, false);
        nUpper = rcScroll.bottom;
    }
    int nOffset = m_nDyScrollOffset;
    if (rcItem.bottom >= nLower)
        nOffset -= rcItem.bottom - (nLower - nBorder2);
    else if (rcItem.top <= nUpper)
        nOffset += (nUpper + nBorder2) - rcItem.top;
    nOffset = std::max(nScrollPosMin, std::min(0, nOffset));
    if (nOffset != m_nDyScrollOffset)
    {
        m_nDyScrollOffset = nOffset;
        ResetItemRectCache();
    }
}

void CExtPopupMenuWnd::ItemFocusSet(int nIndex, bool bOpenSubMenu, bool bRepaint, bool bSelectFirstInSubMenu)
{
    const HWND hWnd = GetSafeHwnd();
    if (nIndex != m_nCurIndex)
    {
        ItemHighlightClear(false, true);
        if (hWnd != nullptr && !IsLiveWindow(hWnd))
            return;
        m_nCurIndex = nIndex;
        if (nIndex < 0)
            return;
        BYTE nFlags = 0;
        if (bOpenSubMenu)
            nFlags |= ItemCoveringNotice::OPEN_SUB_MENU;
        if (bSelectFirstInSubMenu)
            nFlags |= ItemCoveringNotice::SELECT_FIRST;
        if (!SendCoveringNotice(ItemCoveringNotice::CODE_COVERED, nIndex, nFlags))
            return;
    }
    if (!IsValidIndex(nIndex))
        return;
    const bool bHighlighted = IsItemHighlightable(nIndex);
    if (bHighlighted)
    {
        m_items[nIndex].SetStateBit(MENUITEMDATA::STATE_HIGHLIGHTED, true);
        if ((m_nMenuState & MENU_SCROLLING) != 0 && hWnd != nullptr)
            ScrollItemIntoView(nIndex);
    }
    const MENUITEMDATA& shown = m_items[nIndex];
    ShowStatusText(bHighlighted && !shown.IsPopup() ? shown.GetCmdID() : 0);
    if (bRepaint)
        RepaintNow();

    MENUITEMDATA& mi = m_items[nIndex];
    CExtPopupMenuWnd* pSub = mi.m_pWndChild;
    const bool bEditVisible = mi.m_pInplaceEditWnd != nullptr && mi.m_pInplaceEditWnd->GetSafeHwnd() != nullptr &&
                              mi.m_pInplaceEditWnd->IsWindowVisible();
    if (!mi.IsPopup() || pSub == nullptr || bEditVisible || !bOpenSubMenu || !bHighlighted ||
        !pSub->IsSubMenuOpenAllowed())
        return;
    if (!IsNoHookTracking())
        CaptureRelease();
    CRect rcItem;
    ItemGetRect(nIndex, rcItem);
    rcItem.left -= m_nLeftAreaWidth;
    ClientToScreen(&rcItem);
    if (pSub->GetSafeHwnd() == nullptr)
    {
        DWORD dwFlags = (m_dwTrackFlags & (TRACK_NO_SHADOW | TRACK_NO_CMD_UI_UPDATE | TRACK_NO_CMD_POST));
        if ((mi.m_nStateFlags & MENUITEMDATA::STATE_SUBMENU_SIDE) != 0)
            dwFlags |= TRACK_COMBINE_BY_THEME;
        if (!pSub->TrackPopupMenuImpl(dwFlags, rcItem.right, rcItem.top, &rcItem,
                                      reinterpret_cast<LPVOID>(static_cast<INT_PTR>(nIndex)), PaintParentItem, false))
            return;
        if (!IsLiveWindow(hWnd))
            return;
    }
    else if (!pSub->IsWindowVisible())
    {
        pSub->SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW);
        pSub->RepaintNow();
    }
    if (bSelectFirstInSubMenu && pSub->ItemGetCount() > 0)
    {
        const int nFirst = pSub->ItemGetNextSelectable(CExtPopupMenuNavigation::NavCurrent);
        if (nFirst >= 0)
        {
            pSub->ItemFocusSet(nFirst, false, GetTracker().GetAnimatingPopup() == nullptr, true);
            if (!IsLiveWindow(hWnd))
                return;
        }
    }
    if (m_items[nIndex].IsInplaceEdit())
        RepaintNow();
}

void CExtPopupMenuWnd::TipHide(bool bAnimate)
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsLiveWindow(hWnd) || !IsLiveWindow(m_wndToolTip.GetSafeHwnd()))
        return;
    if (bAnimate && GetTracker().GetAnimatingPopup() == nullptr)
    {
        m_animation.Kind = CExtPopupAnimation::AnimationInstant;
        StartAnimation();
        if (!IsLiveWindow(hWnd))
            return;
    }
    m_wndToolTip.Hide();
}

int CExtPopupMenuWnd::GetItemTipType() const
{
    return IsPaletteMode() ? g_nPaletteTipType : g_nItemTipType;
}

void CExtPopupMenuWnd::OnItemCommand(UINT nCmdID, HWND hWndDeliverTo)
{
    CExtPopupMenuTracker& tracker = GetTracker();
    if (tracker.GetResultCmdIdPtr() != nullptr)
        *tracker.GetResultCmdIdPtr() = nCmdID;
    const bool bNoPost = (m_dwTrackFlags & TRACK_NO_CMD_POST) != 0;
    CExtCmdItem* pCmd = nullptr;
    if (nCmdID != 0 && !bNoPost)
        pCmd = g_CmdManager->FindCommand(g_CmdManager->GetWindowProfileName(m_hWndCmdReceiver), nCmdID);
    CExtPopupMenuWnd* pRoot = tracker.GetTopPopup();
    const HWND hWndRoot = pRoot != nullptr ? pRoot->GetSafeHwnd() : nullptr;
    if (hWndDeliverTo == nullptr)
        hWndDeliverTo = m_hWndCmdReceiver;
    const HWND hWndTopParent = ::GetAncestor(m_hWndCmdReceiver, GA_ROOT);
    const bool bNoHooks = IsNoHookTracking();

    CRect rcUnion(0, 0, 0, 0);
    for (CExtPopupMenuWnd* p = this; p != nullptr; p = p->m_pWndParentMenu)
    {
        const HWND hWndLevel = p->GetSafeHwnd();
        if (!IsLiveWindow(hWndLevel))
            continue;
        CRect rc;
        ::GetWindowRect(hWndLevel, &rc);
        rcUnion.UnionRect(&rcUnion, &rc);
        const HWND hWndTip = p->m_wndToolTip.GetSafeHwnd();
        if (IsLiveWindow(hWndTip) && ::IsWindowVisible(hWndTip))
        {
            ::GetWindowRect(hWndTip, &rc);
            rcUnion.UnionRect(&rcUnion, &rc);
        }
        ::ShowWindow(hWndLevel, SW_HIDE);
    }
    if (!rcUnion.IsRectEmpty() && IsLiveWindow(hWndTopParent))
    {
        ::ScreenToClient(hWndTopParent, &rcUnion.TopLeft());
        ::ScreenToClient(hWndTopParent, &rcUnion.BottomRight());
        ::RedrawWindow(hWndTopParent, &rcUnion, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME);
    }
    // from here on the tree may be gone: only the locals are used
    if (IsLiveWindow(hWndRoot))
        ::PostMessageA(hWndRoot, WM_CLOSE, 0, 0);
    if (CExtToolControlBar::g_bMenuTracking)
        CExtToolControlBar::CancelTrackingInAllBars();
    if (!IsLiveWindow(hWndDeliverTo) || bNoHooks)
        return;
    if (!bNoPost)
    {
        if (pCmd != nullptr)
            pCmd->Deliver(hWndDeliverTo, false);
        else if (nCmdID != 0)
            ::PostMessageA(hWndDeliverTo, WM_COMMAND, nCmdID, 0);
    }
    g_SoundPlayer->PlaySound(CExtSoundPlayer::SoundMenuCommand);
}

void CExtPopupMenuWnd::ItemDeliverCommand(const MENUITEMDATA& mi)
{
    OnItemCommand(mi.GetCmdID(), mi.m_hWndSpecCmdReceiver);
}

void CExtPopupMenuWnd::OnActivateApp(BOOL, DWORD)
{
    CloseTree(false);
}

void CExtPopupMenuWnd::OnShowWindow(BOOL bShow, UINT nStatus)
{
    const HWND hWnd = GetSafeHwnd();
    CExtPopupBaseWnd::OnShowWindow(bShow, nStatus);
    if (IsLiveWindow(hWnd) && IsNoHookTracking() && bShow)
        RepaintNow();
}

void CExtPopupMenuWnd::OnCancelMode()
{
    if (IsNoHookTracking())
        return;
    CloseActivePopupTree();
    if (CExtToolControlBar::g_bMenuTracking)
        CExtToolControlBar::CancelTrackingInAllBars();
}
