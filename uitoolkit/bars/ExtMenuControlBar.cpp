// The menu bar: building its buttons from the menu, following the MDI
// client, the hooks on the frame's windows, moving between menus and system
// menus, and the keyboard protocol.
#include "uitoolkit/bars/ExtMenuControlBar.h"

#include "framework/win/MdiFrameWnd.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"

IMPLEMENT_DYNCREATE(CExtMenuControlBar, CExtToolControlBar)

const UINT CExtMenuControlBar::g_nMsgPrepareSystemMenu =
    ::RegisterWindowMessageA("CExtMenuControlBar::g_nMsgPrepareSystemMenu");
bool CExtMenuControlBar::g_bAltUsed = false;

namespace
{

bool IsKeyMessage(UINT nMessage)
{
    return nMessage == WM_KEYDOWN || nMessage == WM_KEYUP || nMessage == WM_SYSKEYDOWN || nMessage == WM_SYSKEYUP;
}

bool IsDocButton(const CExtBarButton* pButton)
{
    return pButton != nullptr && pButton->IsKindOf(RUNTIME_CLASS(CExtBarMdiDocButton)) &&
           !pButton->IsKindOf(RUNTIME_CLASS(CExtBarMdiRightButton));
}

// The focus window or its parent when it is a combo box with its list down.
HWND FindDroppedCombo()
{
    HWND hWnd = ::GetFocus();
    for (int i = 0; i < 2 && hWnd != nullptr; ++i, hWnd = ::GetParent(hWnd))
    {
        char szClass[16] = {0};
        ::GetClassNameA(hWnd, szClass, sizeof(szClass));
        if (::lstrcmpiA(szClass, "ComboBox") == 0 && ::SendMessageA(hWnd, CB_GETDROPPEDSTATE, 0, 0) != 0)
            return hWnd;
    }
    return nullptr;
}

CString TrimmedMenuName(LPCTSTR lpszText)
{
    CString s(lpszText != nullptr ? lpszText : "");
    s.Replace("&", "");
    s.TrimLeft();
    s.TrimRight();
    return s;
}

} // namespace

CExtMenuControlBar::CExtMenuControlBar() : CExtHookSink(true)
{
}

CExtMenuControlBar::~CExtMenuControlBar()
{
    RemoveAllWndHooks();
}

CFrameWnd* CExtMenuControlBar::DockingFrameOrNull() const
{
    return m_bDialogHosted || GetSafeHwnd() == nullptr ? nullptr : GetDockingFrame();
}

HWND CExtMenuControlBar::GetMdiClientHwnd() const
{
    CFrameWnd* pFrame = DockingFrameOrNull();
    if (pFrame == nullptr)
        return nullptr;
    if (pFrame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
        return static_cast<CMDIFrameWnd*>(pFrame)->m_hWndMDIClient;
    return FindMdiClientWindow(pFrame->GetSafeHwnd());
}

// ---- menus and buttons ----

void CExtMenuControlBar::SetMdiWindowPopupName(LPCTSTR lpszName)
{
    m_sMdiWindowPopupName = TrimmedMenuName(lpszName);
}

HMENU CExtMenuControlBar::GetMenu() const
{
    if (m_hMenuMdi != nullptr && ::IsMenu(m_hMenuMdi))
        return m_hMenuMdi;
    return m_menu.GetSafeHmenu() != nullptr && ::IsMenu(m_menu.GetSafeHmenu()) ? m_menu.GetSafeHmenu() : nullptr;
}

bool CExtMenuControlBar::LoadMenuBar(UINT nResourceID)
{
    m_menu.DestroyMenu();
    m_hMenuMdi = nullptr;
    if (GetDockingFrame() != nullptr && GetSafeHwnd() == nullptr)
        return false;
    if (!g_ResourceManager->LoadMenu(m_menu, nResourceID))
        return false;
    if (LPCTSTR pszProfile = g_CmdManager->GetWindowProfileName(GetSafeHwnd()))
        g_CmdManager->LoadMenuCommands(pszProfile, m_menu.GetSafeHmenu());
    return RebuildMenuBar(true);
}

CExtBarContentExpandButton* CExtMenuControlBar::CreateChevronButton()
{
    return (m_nMenuBarOptions & OptNoChevron) != 0 ? nullptr : CExtToolControlBar::CreateChevronButton();
}

bool CExtMenuControlBar::RebuildMenuBar(bool bRecalcLayout)
{
    if (GetSafeHwnd() == nullptr)
        return false;
    LPCTSTR pszProfile = g_CmdManager->GetWindowProfileName(GetSafeHwnd());
    SetButtons(nullptr, 0);
    m_nHighlight = m_nPrevHighlight = -1;
    if (pszProfile != nullptr)
        g_CmdManager->RemoveCommandsByFlags(pszProfile, CExtCmdItem::kStateMenuBarTemporary);
    const HMENU hMenu = GetMenu();
    if (hMenu != nullptr && pszProfile != nullptr)
    {
        const bool bReversed = IsRightToLeft();
        const int nCount = ::GetMenuItemCount(hMenu);
        for (int i = 0; i < nCount; ++i)
        {
            char szText[1025] = {0};
            MENUITEMINFOA mii = {};
            mii.cbSize = sizeof(mii);
            mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
            mii.dwTypeData = szText;
            mii.cch = 1024;
            if (!::GetMenuItemInfoA(hMenu, static_cast<UINT>(i), TRUE, &mii))
                continue;
            const int nPos = bReversed ? 0 : -1;
            if (mii.hSubMenu == nullptr && mii.wID == 0)
            {
                InsertSpecButton(nPos, CreateCommandButton(0, TBBS_SEPARATOR), false);
                continue;
            }
            CExtCmdItem* pCmd = nullptr;
            if (mii.hSubMenu == nullptr)
            {
                // a command the application did not register would lose its
                // button: it is registered here as the menu names it
                pCmd = g_CmdManager->FindCommand(pszProfile, mii.wID);
                if (pCmd == nullptr)
                    pCmd = g_CmdManager->NewCommand(pszProfile, mii.wID);
            }
            else
            {
                pCmd = g_CmdManager->NewCommand(pszProfile, 0);
                if (pCmd != nullptr)
                    pCmd->SetMenuBarTemporary(true);
            }
            if (pCmd == nullptr)
                continue;
            if (pCmd->m_sMenuText.IsEmpty())
                pCmd->m_sMenuText = szText;
            if (pCmd->m_sToolbarText.IsEmpty())
                pCmd->m_sToolbarText = szText;
            if (!InsertButton(nPos, pCmd->m_nCmdID, false) || mii.hSubMenu == nullptr)
                continue;
            const int nIndex = bReversed ? 0 : GetButtonsCount() - 1;
            SetButtonMenu(nIndex, mii.hSubMenu, false, false, false);
            if (IsMdiMode() && !m_sMdiWindowPopupName.IsEmpty() && TrimmedMenuName(szText) == m_sMdiWindowPopupName)
                SetButtonAppendMdiWindows(nIndex, true);
        }
    }
    if (CExtBarContentExpandButton* pChevron = CreateChevronButton())
    {
        m_pChevron = pChevron;
        m_arrButtons.Add(pChevron);
    }
    if (IsMdiMode())
    {
        if (!IsDockingFrameOleInPlaceActive())
            SyncMdiButtons(false);
        SyncActiveMdiChild();
    }
    if (bRecalcLayout)
    {
        Invalidate();
        UpdateWindow();
        RequestFrameRecalcLayout();
        CFrameWnd* pParentFrame = GetParentFrame();
        if (pParentFrame != nullptr && pParentFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
            pParentFrame->SetWindowPos(nullptr, 0, 0, 0, 0,
                                       SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    }
    return true;
}

bool CExtMenuControlBar::IsRightToLeft() const
{
    return g_ResourceManager->IsRTL() > 0;
}

bool CExtMenuControlBar::IsMultiRowLayout() const
{
    if (m_bDialogHosted || m_pDockSite == nullptr || IsFloating())
        return false;
    return (m_nMenuBarOptions & OptNoChevron) != 0;
}

void CExtMenuControlBar::ArrangeButtons()
{
    CExtToolControlBar::ArrangeButtons();
    const int nCount = GetButtonsCount();
    if (nCount < 2 || GetSafeHwnd() == nullptr || IsFloating())
        return;
    int nRight = nCount - 1;
    CExtBarButton* pChevron = IsChevronButton(nRight) ? GetButton(nRight--) : nullptr;
    CExtBarButton* pButton = GetButton(nRight);
    if (pButton == nullptr || !pButton->IsKindOf(RUNTIME_CLASS(CExtBarMdiRightButton)) || !pButton->IsVisible())
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    const bool bHorz = !IsDockedVertically();
    int nEnd = (bHorz ? rcClient.right : rcClient.bottom) - 1;
    if (pChevron != nullptr && pChevron->IsVisible())
    {
        CRect rcChevron = pChevron->GetRect();
        const int nExtent = bHorz ? rcChevron.Width() : rcChevron.Height();
        if (bHorz)
            rcChevron.OffsetRect(nEnd - rcChevron.right, 0);
        else
            rcChevron.OffsetRect(0, nEnd - rcChevron.bottom);
        pChevron->SetRect(rcChevron);
        nEnd -= nExtent;
    }
    CRect rc = pButton->GetRect();
    if (bHorz)
        rc.OffsetRect(nEnd - rc.right, 0);
    else
        rc.OffsetRect(0, nEnd - rc.bottom);
    pButton->SetRect(rc);
}

// ---- MDI following ----

HWND CExtMenuControlBar::GetActiveMdiChild(bool* pbMaximized) const
{
    if (pbMaximized != nullptr)
        *pbMaximized = false;
    if (!IsMdiMode())
        return nullptr;
    const HWND hWndClient = GetMdiClientHwnd();
    if (hWndClient == nullptr)
        return nullptr;
    BOOL bMaximized = FALSE;
    const HWND hWndChild =
        reinterpret_cast<HWND>(::SendMessageA(hWndClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&bMaximized)));
    if (hWndChild == nullptr)
        return nullptr;
    // a hidden child counts only in a framework MDI frame, whose children
    // are never pseudo-inactive
    CFrameWnd* pFrame = DockingFrameOrNull();
    if (!::IsWindowVisible(hWndChild) && (pFrame == nullptr || !pFrame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))))
        return nullptr;
    if (pbMaximized != nullptr)
        *pbMaximized = bMaximized != FALSE;
    return hWndChild;
}

bool CExtMenuControlBar::SyncMdiButtons(bool bRecalcLayout)
{
    if (!IsMdiButtonsEnabled() || GetDraggedBar() != nullptr || GetSafeHwnd() == nullptr)
        return false;
    bool bMaximized = false;
    const HWND hWndChild = GetActiveMdiChild(&bMaximized);
    if (GetButtonsCount() == 0 && hWndChild == nullptr)
        return false;
    CExtBarButton* pFirst = GetButton(0);
    auto* pDoc = IsDocButton(pFirst) ? static_cast<CExtBarMdiDocButton*>(pFirst) : nullptr;
    int nLast = GetButtonsCount() - 1;
    if (IsChevronButton(nLast))
        --nLast;
    CExtBarButton* pLast = GetButton(nLast);
    auto* pRight = pLast != nullptr && pLast->IsKindOf(RUNTIME_CLASS(CExtBarMdiRightButton))
                       ? static_cast<CExtBarMdiRightButton*>(pLast)
                       : nullptr;
    bool bChanged = false;
    if (hWndChild == nullptr || !bMaximized)
    {
        if (pRight != nullptr)
            bChanged |= RemoveButton(nLast, false);
        if (pDoc != nullptr)
            bChanged |= RemoveButton(0, false);
    }
    else
    {
        LPCTSTR pszProfile = g_CmdManager->GetWindowProfileName(GetSafeHwnd());
        if (m_nMdiButtonsCmdID == 0 && pszProfile != nullptr)
            if (CExtCmdItem* pCmd = g_CmdManager->NewCommand(pszProfile, 0))
                m_nMdiButtonsCmdID = pCmd->m_nCmdID;
        if (pRight == nullptr)
        {
            pRight = new CExtBarMdiRightButton(this, m_nMdiButtonsCmdID);
            if (!InsertSpecButton(-1, pRight, false))
                pRight = nullptr;
            bChanged = true;
        }
        const HMENU hSysMenu = ::GetSystemMenu(hWndChild, FALSE);
        if (pDoc == nullptr && hSysMenu != nullptr)
        {
            pDoc = new CExtBarMdiDocButton(this, m_nMdiButtonsCmdID);
            pDoc->SetDocFlags((m_nMenuBarOptions & OptDocButtonCloses) != 0 ? CExtBarMdiDocButton::DocFlagSeparatePopup
                                                                            : 0);
            pDoc->SetMenu(hSysMenu, false, false);
            if (!InsertSpecButton(0, pDoc, false))
                pDoc = nullptr;
            bChanged = true;
        }
        if (pRight != nullptr)
            pRight->SetChildHwnd(hWndChild);
        if (pDoc != nullptr)
            pDoc->SetChildHwnd(hWndChild);
    }
    if (bChanged)
    {
        m_nHighlight = m_nPrevHighlight = -1;
        m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
    }
    if (bRecalcLayout)
    {
        if (CFrameWnd* pFrame = DockingFrameOrNull())
            pFrame->RecalcLayout();
        ArrangeButtons();
        Invalidate();
    }
    return bChanged;
}

void CExtMenuControlBar::SyncActiveMdiChild()
{
    if (m_bDialogHosted || GetSafeHwnd() == nullptr || !IsWindowVisible())
        return;
    CExtControlBar* pDragged = GetDraggedBar();
    if (pDragged != nullptr && pDragged != this)
        return;
    const HWND hWndChild = GetActiveMdiChild();
    if (hWndChild != m_hWndHooked)
    {
        const bool bLastChildGone = hWndChild == nullptr && m_hWndHooked != nullptr;
        if (m_hWndHooked != nullptr && ::IsWindow(m_hWndHooked))
            SetupHookWndSink(m_hWndHooked, true);
        m_hWndHooked = nullptr;
        if (hWndChild != nullptr && SetupHookWndSink(hWndChild))
            m_hWndHooked = hWndChild;
        // The frame's menu was taken over before the framework could note it
        // as the frame's default, so nobody sets it again when the last
        // document closes: the closed document's menu must not stay.
        if (bLastChildGone && m_hMenuMdi != nullptr)
        {
            m_hMenuMdi = nullptr;
            PostRebuild();
        }
    }
    SyncMdiButtons(true);
}

bool CExtMenuControlBar::HookMdiClient(HWND hWndMdiClient)
{
    if (hWndMdiClient == nullptr || (!IsSinkOfWindow(hWndMdiClient) && !SetupHookWndSink(hWndMdiClient)))
        return false;
    m_hWndMdiClient = hWndMdiClient;
    ::SetWindowPos(hWndMdiClient, nullptr, 0, 0, 0, 0,
                   SWP_NOOWNERZORDER | SWP_NOCOPYBITS | SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE |
                       SWP_NOSIZE);
    SyncActiveMdiChild();
    return true;
}

void CExtMenuControlBar::PostSyncActiveMdiChild()
{
    if ((m_nMenuBarOptions & OptSyncPending) != 0 || GetSafeHwnd() == nullptr)
        return;
    m_nMenuBarOptions |= OptSyncPending;
    PostMessage(WM_TIMER, TimerSyncActiveChild);
}

void CExtMenuControlBar::PostRebuild()
{
    if ((m_nMenuBarOptions & OptRebuildPending) != 0 || GetSafeHwnd() == nullptr)
        return;
    m_nMenuBarOptions &= static_cast<BYTE>(~OptSyncPending);
    m_nMenuBarOptions |= OptRebuildPending;
    PostMessage(WM_TIMER, TimerRebuild);
}

void CExtMenuControlBar::RemoveFrameMenu()
{
    CFrameWnd* pFrame = DockingFrameOrNull();
    if (pFrame == nullptr || IsDockingFrameOleInPlaceActive() || ::GetMenu(pFrame->GetSafeHwnd()) == nullptr)
        return;
    ::SetMenu(pFrame->GetSafeHwnd(), nullptr);
    PostRebuild();
}

// ---- creation, timers, window messages ----

void CExtMenuControlBar::OnCreateMenuBar()
{
    CFrameWnd* pFrame = GetDockingFrame();
    if (pFrame == nullptr)
    {
        m_bDialogHosted = true;
        CWnd* pParent = GetParent();
        if (pParent != nullptr && m_hWndHooked == nullptr && SetupHookWndSink(pParent->GetSafeHwnd()))
            m_hWndHooked = pParent->GetSafeHwnd();
        return;
    }
    const HWND hWndFrame = pFrame->GetSafeHwnd();
    // the menus send their commands and their moves to the next menu there
    SetOwner(pFrame);
    if ((pFrame->GetStyle() & WS_CHILD) == 0)
        if (const HMENU hMenu = ::GetMenu(hWndFrame))
        {
            m_menu.DestroyMenu();
            m_menu.Attach(hMenu);
            RebuildMenuBar(false);
            ::SetMenu(hWndFrame, nullptr);
        }
    CWnd* pTop = GetTopLevelWnd(pFrame);
    if (pTop == nullptr || !SetupHookWndSink(pTop->GetSafeHwnd()))
        return;
    if (pTop->GetSafeHwnd() != hWndFrame && !SetupHookWndSink(hWndFrame))
        return;
    if (pFrame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)) || IsMdiMode())
    {
        m_nMenuBarOptions |= OptMdiMode;
        if (!HookMdiClient(GetMdiClientHwnd()))
            SetTimer(TimerFindMdiClient, 10, nullptr);
    }
    PumpPendingMessages();
}

void CExtMenuControlBar::OnTimerMenuBar(UINT_PTR nIDEvent)
{
    switch (nIDEvent)
    {
    case TimerSyncActiveChild:
        if ((m_nMenuBarOptions & OptSyncPending) == 0)
            return;
        m_nMenuBarOptions &= static_cast<BYTE>(~OptSyncPending);
        SyncActiveMdiChild();
        return;
    case TimerRebuild:
        if ((m_nMenuBarOptions & OptRebuildPending) == 0)
            return;
        m_nMenuBarOptions &= static_cast<BYTE>(~OptRebuildPending);
        RebuildMenuBar(true);
        return;
    case TimerFindMdiClient:
        if (HookMdiClient(GetMdiClientHwnd()))
            KillTimer(TimerFindMdiClient);
        return;
    case TimerRemoveFrameMenu:
        KillTimer(TimerRemoveFrameMenu);
        RemoveFrameMenu();
        return;
    }
}

BOOL CExtMenuControlBar::PreTranslateMessage(MSG* pMsg)
{
    if (m_bDialogHosted && TranslateMainFrameMessage(pMsg))
        return TRUE;
    return CExtToolControlBar::PreTranslateMessage(pMsg);
}

void CExtMenuControlBar::OnDragStarted()
{
    m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
    UpdateKeyboardHighlight(true);
    CancelTrackingInAllBars();
    CExtToolControlBar::OnDragStarted();
}

void CExtMenuControlBar::ContinueDragging(const POINT& ptScreen, bool bForceFloat)
{
    CExtToolControlBar::ContinueDragging(ptScreen, bForceFloat);
    if (IsMdiMode() && GetSafeHwnd() != nullptr)
    {
        SyncMdiButtons(true);
        ArrangeButtons();
    }
}

LRESULT CExtMenuControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_nMsgTrackButtonMenu)
    {
        OnTrackButtonMenuMsg(static_cast<int>(wParam), lParam != 0);
        return 0;
    }
    switch (message)
    {
    case WM_CREATE:
    {
        const LRESULT lResult = CExtToolControlBar::WindowProc(message, wParam, lParam);
        if (lResult != -1)
            OnCreateMenuBar();
        return lResult;
    }
    case WM_DESTROY:
        if (m_nMdiButtonsCmdID != 0)
            if (LPCTSTR pszProfile = g_CmdManager->GetWindowProfileName(GetSafeHwnd()))
                g_CmdManager->RemoveCommand(pszProfile, m_nMdiButtonsCmdID);
        m_nMdiButtonsCmdID = 0;
        RemoveAllWndHooks();
        m_hWndHooked = m_hWndMdiClient = nullptr;
        break;
    case WM_TIMER:
        if (wParam >= TimerSyncActiveChild && wParam <= TimerRemoveFrameMenu)
        {
            OnTimerMenuBar(wParam);
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        if (IsKeyboardMode())
        {
            const int nIndex = HitTest(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
            if (nIndex >= 0 && nIndex != m_nHighlight)
                TrackButtonMenu(nIndex);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        if (!IsKeyboardMode() && g_bMenuTracking &&
            HitTest(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))) ==
                GetMenuTrackingButton())
            return 0;
        break;
    case WM_LBUTTONUP:
    {
        m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
        UpdateKeyboardHighlight(false);
        const LRESULT lResult = CExtToolControlBar::WindowProc(message, wParam, lParam);
        if (GetSafeHwnd() != nullptr)
            Invalidate();
        return lResult;
    }
    default: break;
    }
    return CExtToolControlBar::WindowProc(message, wParam, lParam);
}

// ---- hooks ----

bool CExtMenuControlBar::DispatchHookedMessage(LRESULT& lResult, HWND hWndHooked, UINT nMessage, WPARAM& wParam,
                                               LPARAM& lParam)
{
    if (GetSafeHwnd() == nullptr || !::IsWindow(GetSafeHwnd()))
        return CExtHookSink::DispatchHookedMessage(lResult, hWndHooked, nMessage, wParam, lParam);
    const bool bClient = hWndHooked == m_hWndMdiClient && m_hWndMdiClient != nullptr;
    const bool bChild = !m_bDialogHosted && !bClient && hWndHooked == m_hWndHooked;
    const bool bFrame = !bClient && !bChild;
    const auto consumed = [&lResult](LRESULT l)
    {
        lResult = l;
        return true;
    };

    if (bClient)
    {
        switch (nMessage)
        {
        case WM_MDISETMENU:
        {
            const HMENU hOld = m_hMenuMdi;
            if (wParam != 0)
                m_hMenuMdi = reinterpret_cast<HMENU>(wParam);
            CFrameWnd* pFrame = DockingFrameOrNull();
            if (pFrame != nullptr && !IsDockingFrameOleInPlaceActive())
            {
                if (::GetMenu(pFrame->GetSafeHwnd()) != nullptr)
                    ::SetMenu(pFrame->GetSafeHwnd(), nullptr);
                PostRebuild();
            }
            else if (pFrame != nullptr)
                ::SetMenu(pFrame->GetSafeHwnd(), m_hMenuMdi);
            SyncActiveMdiChild();
            m_nMenuBarOptions &= static_cast<BYTE>(~OptSyncPending);
            return consumed(reinterpret_cast<LRESULT>(hOld));
        }
        case WM_MDIREFRESHMENU: SyncActiveMdiChild(); return consumed(reinterpret_cast<LRESULT>(m_hMenuMdi));
        case WM_MDIACTIVATE:
        case WM_MDIDESTROY:
        case WM_MDINEXT: PostSyncActiveMdiChild(); break;
        case WM_PARENTNOTIFY:
            if (IsPopupTrackingActive())
                return consumed(0);
            break;
        case WM_CONTEXTMENU:
        {
            CFrameWnd* pFrame = DockingFrameOrNull();
            if (pFrame == nullptr || IsFrameHelpMode(pFrame))
                break;
            CExtDockBar::TrackBarsPopupMenu(
                pFrame, pFrame, nullptr, 6, CWnd::FromHandle(hWndHooked), WM_CONTEXTMENU,
                CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
            return consumed(0);
        }
        default: break;
        }
    }
    else
    {
        const bool bMenuCommand = nMessage == WM_COMMAND && lParam == 0;
        const bool bEnds = nMessage == WM_SIZE || nMessage == WM_ACTIVATEAPP || nMessage == WM_SYSCOMMAND ||
                           bMenuCommand || (bChild && nMessage == WM_WINDOWPOSCHANGED);
        if (bEnds && !m_bDialogHosted)
        {
            EndMenuActivity();
            if (bChild)
            {
                const bool bFrameChanged = nMessage == WM_WINDOWPOSCHANGED &&
                                           (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_FRAMECHANGED) != 0;
                if (nMessage != WM_SIZE && (nMessage != WM_WINDOWPOSCHANGED || bFrameChanged))
                    RemoveFrameMenu();
                if (bFrameChanged)
                {
                    bool bMaximized = false;
                    GetActiveMdiChild(&bMaximized);
                    if (!bMaximized || !IsDocButton(GetButton(0)))
                        PostRebuild();
                }
            }
        }
        if (nMessage == CExtPopupMenuWnd::g_nMsgNotifyMenuClosed)
            m_nKeyboardState &= static_cast<BYTE>(~KbSysMenuShown);
        else if (nMessage == CExtPopupMenuWnd::g_nMsgNotifyMenuExpanded && bFrame)
        {
            g_bMenuTrackingExpanded = true;
            return consumed(0);
        }
        else if (nMessage == CExtPopupMenuWnd::g_nMsgPopupNext || nMessage == CExtPopupMenuWnd::g_nMsgPopupPrev)
        {
            if (OnPopupNextPrev(hWndHooked, nMessage == CExtPopupMenuWnd::g_nMsgPopupNext))
                return consumed(0);
        }
        else if (nMessage >= WM_NCLBUTTONDOWN && nMessage <= WM_NCRBUTTONUP && !m_bDialogHosted)
        {
            if (OnCaptionMouse(hWndHooked, nMessage, wParam, lParam))
                return consumed(0);
        }
    }
    MSG msg = {};
    msg.hwnd = hWndHooked;
    msg.message = nMessage;
    msg.wParam = wParam;
    msg.lParam = lParam;
    if (TranslateMainFrameMessage(&msg))
        return consumed(0);
    return CExtHookSink::DispatchHookedMessage(lResult, hWndHooked, nMessage, wParam, lParam);
}

void CExtMenuControlBar::EndMenuActivity()
{
    const HWND hWndCapture = ::GetCapture();
    CWnd* pCapture = CWnd::FromHandlePermanent(hWndCapture);
    if (hWndCapture == GetSafeHwnd())
        CExtMouseCaptureSink::ReleaseCapture();
    else if (pCapture != nullptr && pCapture->IsKindOf(RUNTIME_CLASS(CExtControlBar)) &&
             !static_cast<CExtControlBar*>(pCapture)->m_bRowResizing &&
             !static_cast<CExtControlBar*>(pCapture)->m_bInRowResizing &&
             !static_cast<CExtControlBar*>(pCapture)->m_bDragging)
        CExtMouseCaptureSink::ReleaseCapture();
    m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
    UpdateKeyboardHighlight(true);
    CancelTrackingInAllBars();
    if (IsPopupTrackingActive())
        CloseActivePopupTree();
}

bool CExtMenuControlBar::OnCaptionMouse(HWND hWndHooked, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    CFrameWnd* pFrame = DockingFrameOrNull();
    if (pFrame == nullptr)
        return false;
    if (IsFramePrintPreview(pFrame))
        return true;
    const bool bChild = hWndHooked == m_hWndHooked;
    CWnd* pTop = GetTopLevelWnd(pFrame);
    if (!bChild && (pTop == nullptr || hWndHooked != pTop->GetSafeHwnd()))
        return false;
    const bool bRight = nMessage == WM_NCRBUTTONDOWN || nMessage == WM_NCRBUTTONUP;
    const bool bDown = nMessage == WM_NCLBUTTONDOWN || nMessage == WM_NCRBUTTONDOWN;
    if (!bRight && !bDown && nMessage != WM_NCLBUTTONUP)
        return false;
    const CPoint ptCursor(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    const BYTE nOption = bChild ? OptChildSysMenu : OptFrameSysMenu;
    const auto track = [&](const POINT* pPoint)
    { return bChild ? TrackChildFrameSystemMenu(pPoint, false) : TrackMainFrameSystemMenu(pPoint, false); };
    if (wParam == HTSYSMENU)
    {
        if (bDown)
            return (m_nMenuBarOptions & nOption) != 0;
        return track(bRight ? &ptCursor : nullptr);
    }
    if (wParam != HTCAPTION)
        return false;
    if (bRight)
        return track(&ptCursor);
    if (!bChild || !::IsIconic(hWndHooked))
        return false;
    return bDown ? track(nullptr) : true;
}

// ---- menus and system menus ----

bool CExtMenuControlBar::TrackButtonMenu(int nIndex, bool, bool, bool bExtraFlag)
{
    if (g_bMenuTracking && GetMenuTrackingButton() == nIndex)
        return true;
    if (GetSafeHwnd() == nullptr || !IsWindowVisible())
        return false;
    m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
    UpdateKeyboardHighlight(true);
    PostMessage(g_nMsgTrackButtonMenu, static_cast<WPARAM>(nIndex), bExtraFlag ? 1 : 0);
    return true;
}

void CExtMenuControlBar::OnTrackButtonMenuMsg(int nIndex, bool bFlag)
{
    CWnd* pOwner = m_bDialogHosted ? (GetOwner() != nullptr ? GetOwner() : GetParent()) : DockingFrameOrNull();
    if (pOwner == nullptr || !pOwner->IsWindowEnabled() || GetButtonsCount() == 0)
        return;
    CExtBarButton* pButton = GetButton(nIndex);
    if (pButton == nullptr)
    {
        m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
        UpdateKeyboardHighlight(true);
        CancelTrackingInAllBars();
        return;
    }
    if (pButton->CanTrackMenu(false) && IsPopupTrackingActive())
    {
        CExtToolControlBar::TrackButtonMenu(nIndex, true, false, bFlag);
        return;
    }
    const bool bWasKeyboardMode = IsKeyboardMode();
    CancelTrackingInAllBars();
    if (::GetCapture() == GetSafeHwnd())
        CExtMouseCaptureSink::ReleaseCapture();
    if (!bWasKeyboardMode)
        CancelFocusMode();
    m_nKeyboardState |= KbModeOn;
    m_nHighlight = nIndex;
    UpdateKeyboardHighlight(true);
}

void CExtMenuControlBar::UpdateKeyboardHighlight(bool bRepaint)
{
    if (m_nHighlight < 0 && m_nPrevHighlight < 0)
    {
        m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
        return;
    }
    if (const HWND hWndCombo = FindDroppedCombo())
        ::SendMessageA(hWndCombo, CB_SHOWDROPDOWN, FALSE, 0);
    const auto unpress = [this, bRepaint](int nIndex, UINT nStyles)
    {
        if (CExtBarButton* pButton = GetButton(nIndex))
        {
            pButton->ModifyStyle(0, nStyles);
            if (bRepaint)
                InvalidateButton(nIndex);
        }
    };
    if (IsKeyboardMode())
    {
        if (m_nHighlight != m_nPrevHighlight)
        {
            unpress(m_nPrevHighlight, TBBS_PRESSED | TBBS_CHECKED);
            if (CExtBarButton* pButton = GetButton(m_nHighlight))
            {
                pButton->ModifyStyle(TBBS_PRESSED);
                if (bRepaint)
                    InvalidateButton(m_nHighlight);
            }
            m_nPrevHighlight = m_nHighlight;
        }
    }
    else
    {
        unpress(m_nHighlight, TBBS_PRESSED);
        if (m_nPrevHighlight != m_nHighlight)
            unpress(m_nPrevHighlight, TBBS_PRESSED);
        m_nHighlight = m_nPrevHighlight = -1;
    }
    if (bRepaint && GetSafeHwnd() != nullptr)
        UpdateWindow();
}

void CExtMenuControlBar::CancelFocusMode() const
{
    if (IsPopupTrackingActive())
        return;
    if (const HWND hWndFocus = ::GetFocus())
        ::SendMessageA(hWndFocus, WM_CANCELMODE, 0, 0);
}

bool CExtMenuControlBar::TrackFrameSystemMenu(CWnd* pFrame, const POINT* pPoint, bool bSelectAny, LPCRECT prcExclude,
                                              DWORD dwTrackFlags, bool bCombined)
{
    if (pFrame == nullptr || pFrame->GetSafeHwnd() == nullptr || GetSafeHwnd() == nullptr)
        return false;
    m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
    UpdateKeyboardHighlight(true);
    const bool bWasTracking = g_bMenuTracking;
    CancelTrackingInAllBars();
    const HMENU hSysMenu = ::GetSystemMenu(pFrame->GetSafeHwnd(), FALSE);
    if (hSysMenu == nullptr)
        return false;
    auto* pPopup = new CExtPopupMenuWnd;
    if (!pPopup->UpdateFromMenuHandle(pFrame->GetSafeHwnd(), hSysMenu, false, true, false))
    {
        delete pPopup;
        return false;
    }
    const bool bRtl = (pFrame->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
    CPoint pt;
    if (pPoint != nullptr)
        pt = *pPoint;
    else
    {
        CRect rcWindow, rcClient;
        pFrame->GetWindowRect(&rcWindow);
        pFrame->GetClientRect(&rcClient);
        pFrame->ClientToScreen(&rcClient);
        const int nBorder = pFrame->IsZoomed() ? 0 : ::GetSystemMetrics(SM_CXFRAME);
        pt = CPoint(bRtl ? rcWindow.right - nBorder : rcWindow.left + nBorder, rcClient.top);
    }
    DWORD dwFlags = dwTrackFlags == static_cast<DWORD>(-1) ? 0 : dwTrackFlags;
    if ((dwFlags & CExtPopupMenuWnd::TRACK_ALIGN_MASK) == 0)
        dwFlags |= bRtl ? 3 : 4;
    if (bSelectAny)
        dwFlags |= CExtPopupMenuWnd::TRACK_SELECT_FIRST;
    if (bWasTracking)
        dwFlags |= CExtPopupMenuWnd::TRACK_SHOW_ALL;
    if (bSelectAny)
        g_bMenuTracking = bWasTracking;
    CFrameWnd* pDockingFrame = DockingFrameOrNull();
    CWnd* pNotify = pDockingFrame != nullptr ? static_cast<CWnd*>(pDockingFrame) : GetParent();
    if (pNotify != nullptr)
        pNotify->SendMessage(g_nMsgPrepareSystemMenu, reinterpret_cast<WPARAM>(pPopup),
                             reinterpret_cast<LPARAM>(pFrame));
    const CRect rcExclude = prcExclude != nullptr ? CRect(*prcExclude) : CRect(pt, pt);
    dwFlags |= CExtPopupMenuWnd::TRACK_OWNER_DRAW;
    if (bCombined)
        dwFlags |= CExtPopupMenuWnd::TRACK_COMBINE_BY_THEME;
    // the popup deletes itself when it cannot be shown
    if (!pPopup->TrackPopupMenu(dwFlags, pt.x, pt.y, &rcExclude, this, bCombined ? &DrawTrackedButtonOnPopup : nullptr,
                                nullptr, true))
    {
        CancelTrackingInAllBars();
        return false;
    }
    g_bMenuTracking = true;
    return true;
}

bool CExtMenuControlBar::TrackMainFrameSystemMenu(const POINT* pPoint, bool bSelectAny)
{
    if ((m_nMenuBarOptions & OptFrameSysMenu) == 0)
        return false;
    CWnd* pTop = GetTopLevelWnd(DockingFrameOrNull());
    if (pTop == nullptr)
        return false;
    g_bMenuTracking = true;
    SetTrackedButton(-1);
    const bool bShown = TrackFrameSystemMenu(pTop, pPoint, bSelectAny, nullptr, static_cast<DWORD>(-1), false);
    m_nKeyboardState = bShown ? (m_nKeyboardState | KbSysMenuShown) : (m_nKeyboardState & ~KbSysMenuShown);
    return bShown;
}

bool CExtMenuControlBar::TrackChildFrameSystemMenu(const POINT* pPoint, bool bSelectAny)
{
    if ((m_nMenuBarOptions & OptChildSysMenu) == 0 || !IsMdiMode())
        return false;
    if (IsDocButton(GetButton(0)))
    {
        CancelFocusMode();
        return CExtToolControlBar::TrackButtonMenu(0, bSelectAny);
    }
    const HWND hWndChild = GetActiveMdiChild();
    CWnd* pChild = hWndChild != nullptr ? CWnd::FromHandle(hWndChild) : nullptr;
    if (pChild == nullptr)
        return false;
    g_bMenuTracking = true;
    SetTrackedButton(-1);
    const bool bShown = TrackFrameSystemMenu(pChild, pPoint, bSelectAny, nullptr, static_cast<DWORD>(-1), false);
    m_nKeyboardState = bShown ? (m_nKeyboardState | KbSysMenuShown) : (m_nKeyboardState & ~KbSysMenuShown);
    return bShown;
}

bool CExtMenuControlBar::OnPopupNextPrev(HWND hWndHooked, bool bNext)
{
    const int nTracked = GetMenuTrackingButton();
    if ((nTracked < 0 || !g_bMenuTracking) && !IsSystemMenuShown())
        return true;
    // the neighbour that opens a menu, circular; the chevron and the right
    // button open none, and the document button's menu is the child's
    // system menu, which has its own place in the round
    const auto neighbour = [this](int nFrom, bool bForward)
    {
        int n = nFrom;
        for (int nStep = 0; nStep < GetButtonsCount(); ++nStep)
        {
            n = GetNextVisibleButton(n, bForward, true);
            if (n < 0 || n == nFrom)
                return nFrom;
            if (GetButton(n)->CanTrackMenu(false) && !IsDocButton(GetButton(n)))
                return n;
        }
        return nFrom;
    };
    const int nCount = GetButtonsCount();
    const int nFirst = neighbour(nCount, true) < nCount ? neighbour(nCount, true) : 0;
    const int nLast = neighbour(-1, false) >= 0 ? neighbour(-1, false) : nCount - 1;
    const bool bFrameOptionOff = (m_nMenuBarOptions & OptFrameSysMenu) == 0;
    const auto openButton = [this](int nIndex)
    {
        TrackButtonMenu(nIndex, true);
        return true;
    };
    const auto hasChild = [this]()
    { return IsMdiMode() && GetActiveMdiChild() != nullptr && !IsFramePrintPreview(DockingFrameOrNull()); };
    const bool bButtonMenu = nTracked >= 0 && g_bMenuTracking;
    const bool bDocMenu = bButtonMenu && IsDocButton(GetButton(nTracked));
    if (bButtonMenu && !bDocMenu)
    {
        const int nNext = neighbour(nTracked, bNext);
        const bool bWrapped = bNext ? nNext <= nTracked : nNext >= nTracked;
        if (!bWrapped)
            return openButton(nNext);
        if (bNext)
        {
            if (TrackMainFrameSystemMenu(nullptr, true))
                return true;
            if (!bFrameOptionOff)
                return false;
            return openButton(nFirst);
        }
        if ((hasChild() && TrackChildFrameSystemMenu(nullptr, true)) || TrackMainFrameSystemMenu(nullptr, true))
            return true;
        if (!bFrameOptionOff)
            return false;
        return openButton(nLast);
    }
    if (bDocMenu || (hWndHooked == m_hWndHooked && !m_bDialogHosted))
    {
        // from the active child's system menu
        if (bNext)
            return openButton(nFirst);
        if (TrackMainFrameSystemMenu(nullptr, true))
            return true;
        if (!bFrameOptionOff)
            return false;
        return openButton(nLast);
    }
    // from the frame's system menu
    if (!bNext)
        return openButton(nLast);
    if (hasChild() && IsMdiButtonsEnabled() && TrackChildFrameSystemMenu(nullptr, true))
        return true;
    if ((m_nMenuBarOptions & OptChildSysMenu) != 0)
        return false;
    return openButton(nFirst);
}

// ---- the keyboard protocol ----

bool CExtMenuControlBar::TranslateMainFrameMessage(MSG* pMsg)
{
    if (pMsg == nullptr || GetSafeHwnd() == nullptr)
        return false;
    CFrameWnd* pFrame = DockingFrameOrNull();
    if (!m_bDialogHosted && (pFrame == nullptr || !::IsWindow(pFrame->GetSafeHwnd()) || !pFrame->IsWindowEnabled()))
        return false;
    const UINT nMessage = pMsg->message;
    switch (nMessage)
    {
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_SETFOCUS:
    case WM_KILLFOCUS: g_bAltUsed = true; return false;
    case WM_QUERYOPEN: PostRebuild(); return false;
    case WM_COMMAND:
        if (HIWORD(pMsg->wParam) == 0 && pMsg->lParam == 0)
            g_bAltUsed = ::GetAsyncKeyState(VK_MENU) < 0;
        return false;
    case WM_CONTEXTMENU: return g_bMenuTracking || IsKeyboardMode();
    default: break;
    }
    if (IsKeyMessage(nMessage))
    {
        const bool bBlocked = (pFrame != nullptr && IsFramePrintPreview(pFrame)) || FindDroppedCombo() != nullptr;
        const bool bAltState = (pMsg->lParam & (1 << 29)) != 0;
        const UINT nKey = static_cast<UINT>(pMsg->wParam);
        if (nKey == VK_MENU && ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_SHIFT) >= 0)
            return !bBlocked && HandleAltKey(*pMsg, bBlocked);
        if (bAltState && !m_bDialogHosted &&
            (nKey == VK_SPACE || (IsMdiMode() && (nKey == VK_SUBTRACT || nKey == VK_OEM_MINUS))))
            return HandleSystemMenuKey(*pMsg);
        if (bBlocked)
            return false;
        if (!bAltState)
        {
            if (!IsKeyboardMode())
                return false;
            switch (nKey)
            {
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
            case VK_RETURN:
            case VK_ESCAPE: return HandleKeyboardNavigation(*pMsg);
            default: break;
            }
        }
        return HandleMnemonic(*pMsg);
    }
    if (IsKeyboardMode() && nMessage >= WM_LBUTTONDOWN && nMessage <= WM_MBUTTONDBLCLK)
    {
        m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
        UpdateKeyboardHighlight(true);
    }
    return false;
}

bool CExtMenuControlBar::HandleAltKey(const MSG& msg, bool)
{
    const bool bUp = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
    if (IsKeyboardMode())
    {
        if (bUp)
        {
            m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
            UpdateKeyboardHighlight(true);
        }
        return true;
    }
    if (!bUp)
    {
        g_bAltUsed = false;
        return false;
    }
    if (g_bAltUsed)
        return false;
    if (g_bMenuTracking || GetButtonsCount() == 0)
        return true;
    CancelFocusMode();
    g_bMenuTrackingExpanded = false;
    // only while the frame's window tree is in the foreground
    CWnd* pFrame = m_bDialogHosted ? GetParent() : DockingFrameOrNull();
    CWnd* pTop = GetTopLevelWnd(pFrame);
    const HWND hWndFrame = pFrame->GetSafeHwnd(), hWndTop = pTop->GetSafeHwnd();
    bool bForeground = false;
    for (HWND hWnd = ::GetForegroundWindow(); hWnd != nullptr && !bForeground; hWnd = ::GetParent(hWnd))
        bForeground = hWnd == hWndFrame || hWnd == hWndTop;
    if (!bForeground && (::GetWindowLongA(hWndFrame, GWL_STYLE) & WS_CHILD) != 0)
        bForeground = ::IsChild(::GetForegroundWindow(), hWndFrame) != FALSE;
    if (bForeground)
        TrackButtonMenu(0);
    return true;
}

bool CExtMenuControlBar::HandleSystemMenuKey(const MSG& msg)
{
    if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP)
        return true;
    CFrameWnd* pFrame = DockingFrameOrNull();
    const HWND hWndActive = ::GetActiveWindow();
    if (pFrame != nullptr && hWndActive != pFrame->GetSafeHwnd() &&
        (::GetWindowLongA(hWndActive, GWL_STYLE) & WS_POPUP) != 0)
        return true;
    g_bMenuTrackingExpanded = false;
    m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
    UpdateKeyboardHighlight(true);
    if (msg.wParam == VK_SPACE)
        return TrackMainFrameSystemMenu(nullptr, true);
    if (msg.message == WM_KEYDOWN)
        return true;
    if (GetActiveMdiChild() == nullptr)
    {
        g_bAltUsed = true;
        return true;
    }
    if (!IsDocButton(GetButton(0)))
        return TrackChildFrameSystemMenu(nullptr, true);
    CExtToolControlBar::TrackButtonMenu(0, true);
    return true;
}

bool CExtMenuControlBar::HandleMnemonic(const MSG& msg)
{
    if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP)
        return true;
    BYTE state[256] = {0};
    ::GetKeyboardState(state);
    // Alt without Ctrl changes no character
    if ((state[VK_CONTROL] & 0x80) == 0)
        state[VK_MENU] = state[VK_LMENU] = state[VK_RMENU] = 0;
    const UINT nKey = static_cast<UINT>(msg.wParam);
    WORD wChar = 0;
    const int nChars =
        ::ToAsciiEx(nKey, ::MapVirtualKeyA(nKey, 0), state, &wChar, 0, ::GetKeyboardLayout(::GetCurrentThreadId()));
    if (nChars <= 0)
    {
        g_bAltUsed = true;
        return IsKeyboardMode();
    }
    char sz[2] = {static_cast<char>(wChar & 0xFF), 0};
    ::CharUpperA(sz);
    CExtToolControlBar* pBar = this;
    int nIndex = FindButtonByMnemonic(sz[0]);
    if (nIndex < 0)
    {
        CArray<CExtControlBar*, CExtControlBar*> arrBars;
        if (CFrameWnd* pFrame = DockingFrameOrNull())
            CollectSiblingBars(true, arrBars, 0x5FF, CPoint(-1000, -1000));
        else if (CWnd* pParent = GetParent())
            for (CWnd* pChild = pParent->GetWindow(GW_CHILD); pChild != nullptr;
                 pChild = pChild->GetWindow(GW_HWNDNEXT))
            {
                CWnd* pPermanent = CWnd::FromHandlePermanent(pChild->GetSafeHwnd());
                if (pPermanent != nullptr && pPermanent != this && pPermanent->IsWindowVisible() &&
                    pPermanent->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
                    arrBars.Add(static_cast<CExtControlBar*>(pPermanent));
            }
        for (INT_PTR i = 0; i < arrBars.GetSize() && nIndex < 0; ++i)
        {
            CExtControlBar* pOther = arrBars[i];
            if (pOther == this || pOther->GetSafeHwnd() == nullptr ||
                !pOther->IsKindOf(RUNTIME_CLASS(CExtToolControlBar)))
                continue;
            nIndex = static_cast<CExtToolControlBar*>(pOther)->FindButtonByMnemonic(sz[0]);
            if (nIndex >= 0)
                pBar = static_cast<CExtToolControlBar*>(pOther);
        }
    }
    if (nIndex < 0)
    {
        g_bAltUsed = true;
        return false;
    }
    CancelFocusMode();
    m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
    UpdateKeyboardHighlight(true);
    CExtBarButton* pButton = pBar->GetButton(nIndex);
    if (pButton->CanTrackMenu(false))
    {
        g_bMenuTrackingExpanded = false;
        pBar->CExtToolControlBar::TrackButtonMenu(nIndex, true, false, (m_nMenuBarOptions & OptKeyboardTrackFlag) != 0);
    }
    else
    {
        g_bAltUsed = ::GetAsyncKeyState(VK_MENU) < 0;
        pButton->DeliverCommand();
    }
    return true;
}

bool CExtMenuControlBar::HandleKeyboardNavigation(const MSG& msg)
{
    if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP)
        return true;
    switch (msg.wParam)
    {
    case VK_RETURN:
    case VK_UP:
    case VK_DOWN:
    {
        CExtBarButton* pButton = GetButton(m_nHighlight);
        if (IsPopupTrackingActive() || pButton == nullptr)
            return true;
        if (!pButton->CanTrackMenu(false))
        {
            if (msg.wParam == VK_RETURN && static_cast<int>(pButton->GetCmdID(false)) > 0)
            {
                const CPoint pt = pButton->GetRect().CenterPoint();
                pButton->OnMouseClick(pt, true);
                pButton->OnMouseClick(pt, false);
            }
            return true;
        }
        const int nIndex = m_nHighlight;
        CancelFocusMode();
        m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
        UpdateKeyboardHighlight(false);
        CExtToolControlBar::TrackButtonMenu(nIndex, true, false, (m_nMenuBarOptions & OptKeyboardTrackFlag) != 0);
        return true;
    }
    case VK_ESCAPE:
        m_nKeyboardState &= static_cast<BYTE>(~KbModeOn);
        UpdateKeyboardHighlight(true);
        return true;
    case VK_LEFT:
    case VK_RIGHT:
    {
        int nIndex = GetNextVisibleButton(m_nHighlight, msg.wParam == VK_RIGHT, true);
        if (nIndex == -1)
            nIndex = GetButtonsCount() - 1;
        else if (nIndex == GetButtonsCount())
            nIndex = 0;
        m_nHighlight = nIndex;
        UpdateKeyboardHighlight(true);
        return true;
    }
    default: UpdateKeyboardHighlight(true); return true;
    }
}
