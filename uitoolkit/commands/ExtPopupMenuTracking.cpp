// Showing a popup menu: the public entry with its ownership rule, the show
// sequence of one menu level, the window creation and the placement on the
// monitor beside the area the menu must not cover.
#include "framework/win/AfxMsg.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtSoundPlayer.h"
#include "uitoolkit/core/ExtPopupMenuPlacement.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"

namespace
{

// A drop-down combo box of the focus (or of its parent) whose list is open.
void CloseOpenComboList()
{
    HWND hWnd = ::GetFocus();
    for (int i = 0; i < 2 && hWnd != nullptr; ++i, hWnd = ::GetParent(hWnd))
    {
        char szClass[32] = "";
        ::GetClassNameA(hWnd, szClass, sizeof(szClass));
        if (::lstrcmpiA(szClass, "ComboBox") != 0)
            continue;
        const DWORD dwType = static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_STYLE)) & 0x03;
        if ((dwType == CBS_DROPDOWN || dwType == CBS_DROPDOWNLIST) && ::SendMessageA(hWnd, CB_GETDROPPEDSTATE, 0, 0))
            ::SendMessageA(hWnd, CB_SHOWDROPDOWN, FALSE, 0);
        return;
    }
}

} // namespace

bool CExtPopupMenuWnd::HaveCommonVisibleAncestor(HWND hWndA, HWND hWndB, bool bBothEnabled, bool bBothVisible,
                                                 bool bOnlyWhileNoMenuTracked)
{
    if (bOnlyWhileNoMenuTracked && IsPopupTrackingActive())
        return false;
    if (!::IsWindow(hWndA) || !::IsWindow(hWndB))
        return false;
    if (bBothEnabled && (!::IsWindowEnabled(hWndA) || !::IsWindowEnabled(hWndB)))
        return false;
    const auto styleOf = [](HWND hWnd) { return static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_STYLE)); };
    if (bBothVisible && ((styleOf(hWndA) & WS_VISIBLE) == 0 || (styleOf(hWndB) & WS_VISIBLE) == 0))
        return false;
    const auto counts = [&](HWND hWnd) { return (styleOf(hWnd) & (WS_POPUP | WS_VISIBLE)) != 0; };
    for (HWND hWndP = ::GetParent(hWndA); hWndP != nullptr; hWndP = ::GetParent(hWndP))
    {
        if (!counts(hWndP))
            continue;
        if (hWndB == hWndP)
            return true;
        for (HWND hWndQ = ::GetParent(hWndB); hWndQ != nullptr; hWndQ = ::GetParent(hWndQ))
            if (hWndQ == hWndP && counts(hWndQ))
                return true;
    }
    return false;
}

bool CExtPopupMenuWnd::TrackPopupMenu(DWORD dwTrackFlags, int x, int y, LPCRECT prcExclude,
                                      LPVOID pCbPaintCombinedCookie, pCbPaintCombinedContent pCbPaintCombinedContent,
                                      UINT* pResultCmdID, bool bCookieIsObject)
{
    CExtPopupMenuTracker& tracker = GetTracker();
    CExtPopupMenuTipWnd& tipShared = tracker.GetTipWnd();
    bool bTipWasVisible = false;
    if (IsLiveWindow(tipShared.GetSafeHwnd()))
    {
        bTipWasVisible = tipShared.IsWindowVisible() != FALSE;
        tipShared.Hide();
        tipShared.DestroyWindow();
    }
    CWnd::CancelToolTips(FALSE);
    if (IsLiveWindow(m_wndToolTip.GetSafeHwnd()) && m_wndToolTip.IsWindowVisible())
    {
        bTipWasVisible = true;
        m_wndToolTip.Hide();
    }
    if (bTipWasVisible)
        CExtPaintManager::DispatchPendingPaint(true, true, true);
    if (pResultCmdID != nullptr)
        *pResultCmdID = 0;

    CWnd* pWndCmdRecv = CWnd::FromHandlePermanent(m_hWndCmdReceiver);
    if (pWndCmdRecv != nullptr && CExtControlBar::IsFrameHelpMode(pWndCmdRecv))
        dwTrackFlags |= TRACK_HELP_MODE;
    if ((dwTrackFlags & TRACK_NO_HOOKS) != 0)
    {
        dwTrackFlags &= ~0x8F0u;
        dwTrackFlags |= 0x1700u;
    }
    if ((dwTrackFlags & TRACK_HELP_MODE) != 0)
        dwTrackFlags |= TRACK_SHOW_ALL;
    const bool bNoHooks = (dwTrackFlags & TRACK_NO_HOOKS) != 0;
    CloseOpenComboList();

    if (tracker.GetTopPopup() != nullptr)
    {
        if (tracker.IsClosing())
        {
            // one ownership rule: the menu is ours from the call on
            if (!bNoHooks)
                delete this;
            return false;
        }
        tracker.Done();
    }
    if (CWnd* pWndCapture = CWnd::FromHandlePermanent(::GetCapture()))
    {
        ::ReleaseCapture();
        pWndCapture->SendMessage(WM_CANCELMODE);
    }
    if (!bNoHooks)
    {
        tracker.SetTopPopup(this);
        if (pResultCmdID != nullptr)
            tracker.SetResultCmdIdPtr(pResultCmdID);
    }
    m_dwTrackFlags = dwTrackFlags;
    if ((dwTrackFlags & (TRACK_HELP_MODE | TRACK_NO_HOOKS)) == 0)
        UpdateCmdUI();

    if (!TrackPopupMenuImpl(dwTrackFlags, x, y, prcExclude, pCbPaintCombinedCookie, pCbPaintCombinedContent,
                            bCookieIsObject))
    {
        // Done deletes the menu through the tracker; a menu that the tracker
        // no longer holds (its window died and closed the tree on the way)
        // is already gone
        if (!bNoHooks && tracker.IsTopPopup(this))
            tracker.Done();
        return false;
    }
    if ((dwTrackFlags & TRACK_OWN_LOOP) != 0)
    {
        const HWND hWndMenu = GetSafeHwnd();
        while (tracker.IsTopPopup(this) && IsLiveWindow(hWndMenu))
        {
            ::WaitMessage();
            PumpPendingMessages();
        }
        if (!CExtToolControlBar::g_bMenuTracking && tracker.IsTopPopup(this))
            tracker.Done();
    }
    return true;
}

bool CExtPopupMenuWnd::TrackPopupMenuImpl(DWORD dwTrackFlags, int x, int y, LPCRECT prcExclude,
                                          LPVOID pCbPaintCombinedCookie,
                                          pCbPaintCombinedContent pCbPaintCombinedContent, bool bCookieIsObject)
{
    CExtPopupMenuTracker& tracker = GetTracker();
    const bool bNoHooks = IsNoHookTracking() || (dwTrackFlags & TRACK_NO_HOOKS) != 0;
    const auto prepare = [this](UINT nMsg, BYTE nFlags)
    {
        PrepareMenuNotify_t notify;
        notify.m_nFlags = nFlags;
        notify.m_pPopup = this;
        ::SendMessageA(GetCmdTargetWnd(), nMsg, reinterpret_cast<WPARAM>(&notify), reinterpret_cast<LPARAM>(this));
        if ((notify.m_nFlags & PrepareMenuNotify_t::CANCEL) != 0)
            return false;
        if ((notify.m_nFlags & PrepareMenuNotify_t::CHANGED) != 0)
        {
            SyncItems();
            UpdateCmdUI();
        }
        return true;
    };
    if (!bNoHooks && tracker.IsTopPopup(this) && !prepare(g_nMsgPrepareMenu, 0))
        return false;
    if (!prepare(g_nMsgPrepareOneMenuLevel, PrepareMenuNotify_t::ONE_LEVEL))
        return false;

    const BYTE nKeep = m_nMenuState & (MENU_ROOT | MENU_COLLAPSED);
    const DWORD dwPaletteBits = m_dwTrackFlags & (TRACK_PALETTE | TRACK_PALETTE_INHERIT_BK);
    ResetTrackingState();
    m_nMenuState |= nKeep;
    m_pCbPaintCombinedCookie = pCbPaintCombinedCookie;
    m_pCbPaintCombinedContent = pCbPaintCombinedContent;
    m_bUseCombinedCookie = bCookieIsObject;
    m_dwTrackFlags = dwTrackFlags | dwPaletteBits;

    const auto expand = [this]()
    {
        m_nMenuState |= MENU_EXPANDED;
        if ((m_nMenuState & MENU_COLLAPSED) != 0)
        {
            m_nMenuState &= ~MENU_COLLAPSED;
            SyncItems();
        }
    };
    if (m_pWndParentMenu != nullptr)
    {
        if ((m_pWndParentMenu->m_nMenuState & MENU_EXPANDED) != 0)
            expand();
    }
    else if (!g_bCollapseRarelyUsed)
        expand();
    SyncItems();

    if (x < 0 || y < 0)
    {
        POINT pt;
        if (!::GetCursorPos(&pt))
            return false;
        x = pt.x;
        y = pt.y;
    }
    if (prcExclude != nullptr)
    {
        m_rcExcludeArea = *prcExclude;
        m_bExcludeAreaSpec = true;
    }
    else
    {
        m_rcExcludeArea.SetRect(x - 3, y - 3, x + 3, y + 3);
        m_bExcludeAreaSpec = false;
    }
    m_bCombineWithEA = false;
    if (m_bExcludeAreaSpec && ((dwTrackFlags & TRACK_COMBINE) != 0 || ((dwTrackFlags & TRACK_COMBINE_BY_THEME) != 0 &&
                                                                       g_PaintManager->IsMenuMustCombineParent())))
        m_bCombineWithEA = true;

    CSize size;
    GetWindowSize(size);
    if (m_bExcludeAreaSpec)
    {
        if (IsRightToLeft() && m_pWndParentMenu != nullptr)
        {
            const CExtPopupMenuWnd* pRoot = m_pWndParentMenu;
            while (pRoot->m_pWndParentMenu != nullptr)
                pRoot = pRoot->m_pWndParentMenu;
            const DWORD dwRootAlign = pRoot->m_dwTrackFlags & TRACK_ALIGN_MASK;
            if (dwRootAlign == CExtPopupMenuPlacement::AlignBottom || dwRootAlign == CExtPopupMenuPlacement::AlignTop)
                m_dwTrackFlags = (m_dwTrackFlags & ~TRACK_ALIGN_MASK) | CExtPopupMenuPlacement::AlignLeft;
        }
        const CRect& rcEA = m_rcExcludeArea;
        switch (m_dwTrackFlags & TRACK_ALIGN_MASK)
        {
        case CExtPopupMenuPlacement::AlignRight: x = rcEA.right, y = rcEA.top; break;
        case CExtPopupMenuPlacement::AlignCenterHorz: x -= size.cx / 2; break;
        case CExtPopupMenuPlacement::AlignLeft: x = rcEA.left - size.cx, y = rcEA.top; break;
        case CExtPopupMenuPlacement::AlignBottom: x = rcEA.left, y = rcEA.bottom; break;
        case CExtPopupMenuPlacement::AlignCenterVert: y -= size.cy / 2; break;
        case CExtPopupMenuPlacement::AlignTop: x = rcEA.left, y = rcEA.top - size.cy; break;
        default: break;
        }
    }
    m_ptTrack.SetPoint(x, y);

    if (!CreateMenuWindow(GetCmdTargetWnd()))
        return false;
    const HWND hWndMenu = GetSafeHwnd();
    if ((dwTrackFlags & TRACK_SELECT_FIRST) != 0)
    {
        const int nIndex = ItemGetNextSelectable(-101);
        if (nIndex >= 0)
            ItemFocusSet(nIndex, false, false);
        if (!IsLiveWindow(hWndMenu))
            return false;
    }
    if ((dwTrackFlags & TRACK_NO_ANIMATION) == 0 && !bNoHooks)
    {
        m_animation.Kind =
            CExtToolControlBar::g_bMenuTracking ? CExtPopupAnimation::AnimationNone : g_nDefaultAnimationKind;
        m_nSoundId = CExtSoundPlayer::SoundMenuPopup;
        StartAnimation();
        if (!IsLiveWindow(hWndMenu))
            return false;
    }
    else
        m_animation.Kind = CExtPopupAnimation::AnimationNone;
    if (m_animation.Kind == CExtPopupAnimation::AnimationNone)
    {
        // one timer step still plays the sound and releases the surfaces
        m_animation.Kind = CExtPopupAnimation::AnimationInstant;
        StartAnimation();
        if (!IsLiveWindow(hWndMenu))
            return false;
    }
    if (m_rgnWnd.GetSafeHandle() != nullptr)
    {
        CRgn rgn;
        if (rgn.CreateRectRgn(0, 0, 0, 0) && rgn.CopyRgn(&m_rgnWnd) != ERROR)
            ::SetWindowRgn(hWndMenu, static_cast<HRGN>(rgn.Detach()), FALSE);
    }
    CaptureScreenBeneath();
    ::SetWindowPos(hWndMenu, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    if (!bNoHooks)
        CaptureSet();
    return true;
}

bool CExtPopupMenuWnd::CreateMenuWindow(HWND hWndCmdRecv)
{
    bool bSync = IsPaletteMode();
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
        if (m_items[i].IsInplaceEdit())
        {
            m_items[i].m_pInplaceEditWnd = nullptr;
            bSync = true;
            break;
        }
    if (bSync)
        SyncItems();
    CRect rcWnd;
    AdjustPlacement(rcWnd);
    if (rcWnd.IsRectEmpty())
        return false;
    static LPCTSTR s_lpszClass = nullptr;
    if (s_lpszClass == nullptr)
        s_lpszClass = AfxRegisterWndClass(CS_SAVEBITS, ::LoadCursorA(nullptr, IDC_ARROW),
                                          reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1), nullptr);
    ::SendMessageA(hWndCmdRecv, g_nMsgPrepareDesktopBk, reinterpret_cast<WPARAM>(this), 0);
    DWORD dwExStyle = 0;
    if (!IsNoHookTracking())
        dwExStyle = WS_EX_TOPMOST | (g_PaintManager.OsFlags.Win2000OrLater ? WS_EX_NOINHERITLAYOUT : 0);
    if (!CreateEx(dwExStyle, s_lpszClass, nullptr, WS_POPUP, rcWnd, CWnd::FromHandle(hWndCmdRecv), 0))
        return false;
    RecalcScrollAreas();
    if (!IsHelpModeTracking())
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        if (!mi.IsInplaceEdit() || !mi.IsDisplayed())
            continue;
        CRect rcItem;
        ItemGetRect(static_cast<int>(i), rcItem);
        InplaceEditRequest_t request;
        request.m_ppEditWnd = &mi.m_pInplaceEditWnd;
        request.m_pPopup = this;
        request.m_pItemData = &mi;
        request.m_pText = mi.m_pInplaceEditStr;
        for (int k = 0; k < 4; ++k)
            request.m_nParams[k] = mi.m_nInplaceParams[k];
        request.m_rcEdit = mi.GetInplaceEditRect(rcItem, IsRightToLeft());
        if (::IsWindow(mi.m_hWndSpecCmdReceiver))
            ::SendMessageA(mi.m_hWndSpecCmdReceiver, g_nMsgCreateInplaceEdit, reinterpret_cast<WPARAM>(&request), 0);
        if (mi.m_pInplaceEditWnd == nullptr)
        {
            auto* pEdit = new CInPlaceEditWnd(mi.m_pInplaceEditStr,
                                              reinterpret_cast<CInPlaceEditWnd::pCbValidate>(mi.m_nInplaceParams[0]),
                                              reinterpret_cast<CInPlaceEditWnd::pCbCommit>(mi.m_nInplaceParams[1]),
                                              reinterpret_cast<CInPlaceEditWnd::pCbMsgHook>(mi.m_nInplaceParams[2]),
                                              static_cast<LPARAM>(mi.m_nInplaceParams[3]));
            if (pEdit->Create(this, request.m_rcEdit, mi.GetCmdID()))
                mi.m_pInplaceEditWnd = pEdit;
            else
                delete pEdit;
        }
    }
    return true;
}

void CExtPopupMenuWnd::GetWindowSize(CSize& size)
{
    size = CExtPopupMenuPlacement::WindowSize(
        CSize(m_nContentWidth, m_nContentHeight), m_nLeftAreaWidth, GetMenuBorderSize(), GetShadowSize(),
        (m_nMenuState & MENU_COLLAPSED) != 0, GetMenuExpandButtonHeight(), IsNoItemDisplayed());
}

void CExtPopupMenuWnd::AdjustPlacement(CRect& rcWnd)
{
    m_nCombineAlign = CExtPopupMenuPlacement::CombineNone;
    const bool bSubMenu = m_pWndParentMenu != nullptr;
    CExtPaintManager::MonitorParams mp;
    if (m_bExcludeAreaSpec)
        CExtPaintManager::GetMonitorParamsFromRect(mp, m_rcExcludeArea);
    else if (bSubMenu && IsLiveWindow(m_pWndParentMenu->GetSafeHwnd()))
        CExtPaintManager::GetMonitorParamsFromHwnd(mp, m_pWndParentMenu->GetSafeHwnd());
    else
        CExtPaintManager::GetMonitorParamsFromPoint(mp, m_ptTrack);

    if (bSubMenu && (m_dwTrackFlags & TRACK_ALIGN_MASK) == 0 && !m_bCombineWithEA &&
        IsLiveWindow(m_pWndParentMenu->GetSafeHwnd()))
    {
        const DWORD dwParent = m_pWndParentMenu->m_dwTrackFlags;
        const CExtPopupMenuWnd* pGrand = m_pWndParentMenu->m_pWndParentMenu;
        if ((dwParent & TRACK_ALIGN_MASK) != 0)
            m_dwTrackFlags |= dwParent & 0xFFFCFFF0u;
        else if (pGrand != nullptr && IsLiveWindow(pGrand->GetSafeHwnd()))
        {
            CRect rcParent, rcGrand;
            m_pWndParentMenu->GetWindowRect(&rcParent);
            pGrand->GetWindowRect(&rcGrand);
            m_dwTrackFlags |= rcParent.CenterPoint().x >= rcGrand.CenterPoint().x ? CExtPopupMenuPlacement::AlignRight
                                                                                  : CExtPopupMenuPlacement::AlignLeft;
        }
    }

    CExtPopupMenuPlacement::Input in;
    in.Area = g_bUseWorkArea ? mp.WorkArea : mp.Monitor;
    CSize size;
    GetWindowSize(size);
    if (IsTearOffCaption())
        size.cy += GetTearOffCaptionHeight();
    in.Size = size;
    in.Shadow = GetShadowSize();
    in.Border = GetMenuBorderSize();
    in.Track = m_ptTrack;
    in.Exclude = m_rcExcludeArea;
    in.HasExclude = m_bExcludeAreaSpec;
    in.Combined = m_bCombineWithEA;
    in.Alignment = static_cast<int>(m_dwTrackFlags & TRACK_ALIGN_MASK);
    in.SubMenu = bSubMenu;
    in.RightToLeft = IsRightToLeft();

    const auto onFlip = [this]()
    {
        const HWND hWnd = GetSafeHwnd();
        if (!IsLiveWindow(hWnd))
            return true;
        CRect rcOld;
        ::GetWindowRect(hWnd, &rcOld);
        ::ShowWindow(hWnd, SW_HIDE);
        OnDestroyCleanup();
        PumpPendingMessages();
        if (!IsLiveWindow(hWnd))
            return false;
        const HWND hWndTop = ::GetAncestor(::GetParent(hWnd), GA_ROOT);
        CRect rcTop;
        if (hWndTop != nullptr && ::IsWindowVisible(hWndTop) && ::GetWindowRect(hWndTop, &rcTop) &&
            rcTop.IntersectRect(&rcTop, &rcOld))
            ::UpdateWindow(hWndTop);
        return true;
    };
    const CExtPopupMenuPlacement::Result res = CExtPopupMenuPlacement::Place(in, onFlip);
    rcWnd = res.Window;
    if (rcWnd.IsRectEmpty())
        return;
    m_dwTrackFlags = (m_dwTrackFlags & ~TRACK_ALIGN_MASK) | static_cast<DWORD>(res.Alignment);
    m_bExcludeAreaSpec = res.HasExclude;
    m_bCombineWithEA = res.Combined;
    m_nCombineAlign = res.CombineSide;
    if (res.Scroll)
        m_nMenuState |= MENU_SCROLLING;
    m_rcClient = res.Client;
    m_rgnWnd.DeleteObject();
    if (res.Combined)
    {
        CRgn rgnExclude;
        if (!m_rgnWnd.CreateRectRgnIndirect(&res.RegionMenu) || !rgnExclude.CreateRectRgnIndirect(&res.RegionExclude) ||
            m_rgnWnd.CombineRgn(&m_rgnWnd, &rgnExclude, RGN_OR) == ERROR)
        {
            // without a region the joined area cannot be shaped: place the
            // menu on its own
            m_rgnWnd.DeleteObject();
            m_bCombineWithEA = false;
            AdjustPlacement(rcWnd);
        }
    }
}

void CExtPopupMenuWnd::ResetTrackingState()
{
    ResetAnimation();
    m_bCombineWithEA = false;
    m_nMenuState &= ~(MENU_ROOT | MENU_SCROLLING | MENU_COLLAPSED | MENU_EXPANDED | MENU_NO_ITEM_TIPS);
    m_nDyScrollOffset = 0;
    m_dwTrackFlags = 0;
    m_nExpandHoverCounter = 0;
    m_nLastMousePick = m_nDelayedFocusItemIndex = m_nCurIndex = -1;
    m_nScrollingDirection = 0;
    m_rcScrollTop.SetRectEmpty();
    m_rcScrollBottom.SetRectEmpty();
    m_rcExpandButton.SetRectEmpty();
    m_rcTearOffBtn.SetRectEmpty();
    m_nCombineAlign = 0;
    m_pCbPaintCombinedCookie = nullptr;
    m_pCbPaintCombinedContent = nullptr;
    m_bUseCombinedCookie = false;
}

void CExtPopupMenuWnd::StartAnimation()
{
    if (IsNoHookTracking())
        return;
    const HWND hWnd = GetSafeHwnd();
    DelayedSubMenuStart(-1);
    if (!IsLiveWindow(hWnd))
        return;
    TipHide(false);
    if (!IsLiveWindow(hWnd))
        return;
    CExtPopupBaseWnd::StartAnimation();
    if (!IsLiveWindow(hWnd))
        return;
    GetTracker().SetAnimatingPopup(m_animation.Finished ? nullptr : this);
}

void CExtPopupMenuWnd::ReleaseAnimationSurfaces()
{
    CExtPopupBaseWnd::ReleaseAnimationSurfaces();
    if (!IsLiveWindow(GetSafeHwnd()))
        return;
    Invalidate(FALSE);
    if (!IsNoHookTracking())
        CaptureSet();
}

void CExtPopupMenuWnd::PostNcDestroy()
{
    if (IsNoHookTracking() || m_pWndParentMenu != nullptr)
        return;
    if (IsLiveWindow(m_hWndCmdReceiver))
        ::SendMessageA(m_hWndCmdReceiver, g_nMsgNotifyMenuClosed, 0, reinterpret_cast<LPARAM>(this));
    CExtPopupMenuTracker& tracker = GetTracker();
    if (!tracker.IsClosing() && tracker.IsTopPopup(this))
        tracker.Done();
}
