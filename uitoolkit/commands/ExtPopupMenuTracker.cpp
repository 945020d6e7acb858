// The popup-menu family's registered messages and the menu tracker with its
// thread hooks. The messages are registered while the program's static
// objects are built, after the theme and the command manager, so every
// window can use them from its first message on.
#include "uitoolkit/commands/ExtPopupMenuTracker.h"

#include "framework/win/AfxRes.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"

#define KX_POPUP_MENU_MESSAGE(name)                                                                                    \
    const UINT CExtPopupMenuWnd::name = ::RegisterWindowMessageA("CExtPopupMenuWnd::" #name)

KX_POPUP_MENU_MESSAGE(g_nMsgPrepareMenu);
KX_POPUP_MENU_MESSAGE(g_nMsgPrepareOneMenuLevel);
KX_POPUP_MENU_MESSAGE(g_nMsgPrepareDesktopBk);
KX_POPUP_MENU_MESSAGE(g_nMsgPopupNext);
KX_POPUP_MENU_MESSAGE(g_nMsgPopupPrev);
KX_POPUP_MENU_MESSAGE(g_nMsgNotifyMenuExpanded);
KX_POPUP_MENU_MESSAGE(g_nMsgNotifyMenuClosed);
KX_POPUP_MENU_MESSAGE(g_nMsgPopupDrawItem);
KX_POPUP_MENU_MESSAGE(g_nMsgPopupDrawLeftArea);
KX_POPUP_MENU_MESSAGE(g_nMsgPopupDrawBackground);
KX_POPUP_MENU_MESSAGE(g_nMsgCreateInplaceEdit);

// ---- the tracker -------------------------------------------------------------

int CExtPopupMenuTracker::g_nKeyRepeatFilterMs = 20;

namespace
{

bool IsLiveWindow(const CWnd* pWnd)
{
    return pWnd != nullptr && CExtPopupMenuWnd::IsLiveWindow(pWnd->GetSafeHwnd());
}

bool IsHookedButtonMessage(UINT message)
{
    switch (message)
    {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP: return true;
    default: return false;
    }
}

bool IsMenuWindow(HWND hWnd)
{
    const CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CExtPopupMenuWnd));
}

bool IsButtonDownMessage(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

} // namespace

// Built on first use, after the theme and the icons its tip window needs,
// whatever the order in which the program's static objects are built.
CExtPopupMenuTracker& CExtPopupMenuWnd::GetTracker()
{
    static CExtPopupMenuTracker s_tracker;
    return s_tracker;
}

CExtPopupMenuTracker::CExtPopupMenuTracker() = default;

CExtPopupMenuTracker::~CExtPopupMenuTracker()
{
    Done();
    if (m_wndTip.GetSafeHwnd() != nullptr && ::IsWindow(m_wndTip.GetSafeHwnd()))
        m_wndTip.DestroyWindow();
}

void CExtPopupMenuTracker::SetTopPopup(CExtPopupMenuWnd* pPopup)
{
    if (m_pWndTop != nullptr)
    {
        if (m_pWndTop == pPopup)
            return;
        Done();
    }
    if (pPopup == nullptr)
        return;
    m_pWndTop = pPopup;
    // a new tree's first key is never taken for a repeat of the last tree's
    m_bLastKeyValid = false;
    SetHooks(true);
}

void CExtPopupMenuTracker::Done()
{
    if (IsLiveWindow(&m_wndTip))
        m_wndTip.Hide();
    m_nFlags |= FLAG_CLOSING;
    m_pWndCapture = nullptr;
    m_pWndAnimating = nullptr;
    m_pResultCmdID = nullptr;
    if (CExtPopupMenuWnd* pTop = m_pWndTop)
    {
        pTop->UpdateFromMenu(nullptr, true, false);
        if (IsLiveWindow(pTop))
        {
            HWND hWndOwner = ::GetWindow(pTop->GetSafeHwnd(), GW_OWNER);
            if (hWndOwner == nullptr)
                hWndOwner = ::GetParent(pTop->GetSafeHwnd());
            if (hWndOwner != nullptr)
                CExtControlBar::ShowCommandStatusText(CWnd::FromHandle(hWndOwner), AFX_IDS_IDLEMESSAGE);
            pTop->DestroyWindow();
            PumpPendingMessages();
        }
        // the root may have been replaced while the messages were pumped
        if (m_pWndTop == pTop)
            m_pWndTop = nullptr;
        delete pTop;
    }
    SetHooks(false);
    m_nFlags &= ~FLAG_CLOSING;
}

void CExtPopupMenuTracker::SetHooks(bool bInstall)
{
    if (bInstall)
    {
        if (m_hMouseHook == nullptr)
            m_hMouseHook = ::SetWindowsHookExA(WH_MOUSE, MouseHookProc, nullptr, ::GetCurrentThreadId());
        if (m_hKeyboardHook == nullptr)
            m_hKeyboardHook = ::SetWindowsHookExA(WH_KEYBOARD, KeyboardHookProc, nullptr, ::GetCurrentThreadId());
        return;
    }
    if (m_hMouseHook != nullptr)
        ::UnhookWindowsHookEx(m_hMouseHook);
    if (m_hKeyboardHook != nullptr)
        ::UnhookWindowsHookEx(m_hKeyboardHook);
    m_hMouseHook = m_hKeyboardHook = nullptr;
}

LRESULT CALLBACK CExtPopupMenuTracker::MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    return CExtPopupMenuWnd::GetTracker().OnMouseHook(nCode, wParam, lParam);
}

LRESULT CALLBACK CExtPopupMenuTracker::KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    return CExtPopupMenuWnd::GetTracker().OnKeyboardHook(nCode, wParam, lParam);
}

// Only HC_ACTION removes the message from the queue: a peek that leaves it
// there (HC_NOREMOVE) comes back as HC_ACTION later and must not be handled
// twice.
LRESULT CExtPopupMenuTracker::OnMouseHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto passOn = [&]() { return ::CallNextHookEx(m_hMouseHook, nCode, wParam, lParam); };
    if (nCode != HC_ACTION)
        return passOn();
    const UINT message = static_cast<UINT>(wParam);
    const MOUSEHOOKSTRUCT* pHook = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    if (CExtPopupMenuWnd::TEAROFFNOTIFICATON* pTearOff = CExtPopupMenuWnd::TEAROFFNOTIFICATON::g_pActive)
    {
        const bool bEaten = message == WM_MOUSEMOVE    ? pTearOff->OnHookMouseMove(message, pHook->pt.x, pHook->pt.y)
                            : message == WM_MOUSEWHEEL ? pTearOff->OnHookMouseWheel(message, pHook)
                            : IsHookedButtonMessage(message)
                                ? pTearOff->OnHookMouseButton(message, pHook->pt.x, pHook->pt.y)
                                : false;
        if (bEaten)
            return 1;
    }
    if (m_pWndTop == nullptr || IsClosing())
        return passOn();
    CExtPopupMenuWnd* pCapture = m_pWndCapture;
    if (!IsLiveWindow(pCapture))
        return 1;
    CPoint ptClient(pHook->pt);
    ::ScreenToClient(pCapture->GetSafeHwnd(), &ptClient);
    bool bPassOn = false;
    if (message == WM_MOUSEMOVE)
        return pCapture->OnMouseMove(0, ptClient, bPassOn) ? 1 : passOn();
    if (message == WM_MOUSEWHEEL)
        return pCapture->OnHookMouseWheel(message, pHook, bPassOn) || !bPassOn ? 1 : passOn();
    if (!IsHookedButtonMessage(message))
        return passOn();
    if (pCapture->OnMouseClick(message, ptClient, bPassOn))
        return 1;
    // the click may have closed the tree: read the tracker afresh
    pCapture = m_pWndCapture;
    if (m_pWndTop == nullptr || !IsLiveWindow(pCapture))
        return 1;
    if (bPassOn)
        return passOn();
    for (CExtPopupMenuWnd* pPopup = pCapture; pPopup != nullptr; pPopup = pPopup->GetParentMenu())
    {
        if (!IsLiveWindow(pPopup))
            continue;
        CPoint pt(pHook->pt);
        ::ScreenToClient(pPopup->GetSafeHwnd(), &pt);
        if (pPopup->IsPointOverThisWindow(pt))
            return 1;
        CExtPopupMenuTipWnd& tip = pPopup->GetTipWnd();
        if (IsLiveWindow(&tip) && ::WindowFromPoint(pHook->pt) == tip.GetSafeHwnd())
            return 1;
    }
    m_pWndTop->CloseTree(false);
    return IsButtonDownMessage(message) ? passOn() : 1;
}

LRESULT CExtPopupMenuTracker::OnKeyboardHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto passOn = [&]() { return ::CallNextHookEx(m_hKeyboardHook, nCode, wParam, lParam); };
    if (nCode != HC_ACTION)
        return passOn();
    if (CExtPopupMenuWnd::TEAROFFNOTIFICATON* pTearOff = CExtPopupMenuWnd::TEAROFFNOTIFICATON::g_pActive;
        pTearOff != nullptr &&
        pTearOff->OnHookKey(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(static_cast<DWORD>(lParam))))
        return 1;
    const bool bRelease = (static_cast<DWORD>(lParam) & 0x80000000u) != 0;
    if (m_pWndTop != nullptr && !IsClosing() && IsLiveWindow(m_pWndCapture))
    {
        if (bRelease)
            return 1;
        const clock_t tNow = m_pWndCapture->GetClock();
        const clock_t tFilter = static_cast<clock_t>(g_nKeyRepeatFilterMs) * CLOCKS_PER_SEC / 1000;
        if (m_bLastKeyValid && tNow - m_tLastKey < tFilter)
        {
            // typing into a menu item's in-place edit is never throttled
            const HWND hWndFocus = ::GetFocus();
            const HWND hWndParent = hWndFocus != nullptr ? ::GetParent(hWndFocus) : nullptr;
            const bool bInplaceEdit = hWndFocus != nullptr &&
                                      (::GetWindowLongA(hWndFocus, GWL_STYLE) & WS_CHILD) != 0 &&
                                      IsMenuWindow(hWndParent);
            if (!bInplaceEdit)
                return 1;
        }
        m_tLastKey = tNow;
        m_bLastKeyValid = true;
        bool bPassOn = false;
        if (m_pWndCapture->OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam), bPassOn))
            return 1;
        return bPassOn ? passOn() : 1;
    }
    if (CExtToolControlBar::g_bMenuTracking)
        return 1;
    if (bRelease && IsMenuModifierKeyDown(lParam))
    {
        CloseActivePopupTree();
        return passOn();
    }
    return 1;
}

bool IsMenuModifierKeyDown(LPARAM lKeyData)
{
    if ((static_cast<DWORD>(lKeyData) & 0x20000000u) != 0)
        return true;
    static const int keys[] = {VK_MENU,     VK_RMENU, VK_LMENU,  VK_CONTROL, VK_RCONTROL,
                               VK_LCONTROL, VK_SHIFT, VK_RSHIFT, VK_LSHIFT};
    for (int vk : keys)
        if ((::GetKeyState(vk) & 0x8000) != 0)
            return true;
    return false;
}

bool IsPopupTrackingActive()
{
    return CExtPopupMenuWnd::GetTracker().GetTopPopup() != nullptr;
}

void CloseActivePopupTree()
{
    if (CExtPopupMenuWnd::GetTracker().GetTopPopup() != nullptr && !CExtPopupMenuWnd::GetTracker().IsClosing())
        CExtPopupMenuWnd::GetTracker().Done();
}

// Each message is taken off the queue by the peek itself: a key or mouse
// message that a peek only looks at can still be eaten by a hook on its way
// out (the menu tracker's own hooks eat keys while a tree closes), and a
// blocking GetMessage after it would then wait for input that never comes.
void PumpPendingMessages()
{
    CWinThread* pThread = AfxGetThread();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
        {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        const BOOL bTranslated =
            pThread != nullptr ? pThread->PreTranslateMessage(&msg) : CWnd::WalkPreTranslateTree(nullptr, &msg);
        if (!bTranslated)
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}
