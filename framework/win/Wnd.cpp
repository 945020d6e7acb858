#include "framework/win/Wnd.h"

#include "framework/core/CException.h"
#include "framework/win/Dc.h"
#include "framework/win/GdiObjects.h"
#include "framework/win/HandleMap.h"
#include "framework/win/Menu.h"
#include "framework/win/WinThread.h"

#include <cstdio>
#include <cstdlib>
#include <shellapi.h>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

const char AFX_WND_CLASS_NAME[] = "KxWnd";

namespace
{

CHandleMap<CWnd, HWND>& WndMap()
{
    // Never freed: objects that outlive the thread's locals (statics) still
    // look their handles up when they are destroyed.
    thread_local CHandleMap<CWnd, HWND>* t_pMap = nullptr;
    if (!t_pMap)
        t_pMap = new CHandleMap<CWnd, HWND>([](CWnd* p, HWND h) { p->m_hWnd = h; });
    return *t_pMap;
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    _AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (code != HCBT_CREATEWND || !pState->m_pWndInit)
        return ::CallNextHookEx(pState->m_hHookOldCbtFilter, code, wParam, lParam);

    HWND hWnd = reinterpret_cast<HWND>(wParam);
    // The system may make the thread's input-method window inside the
    // creation we are waiting for; that one is not ours.
    char szClass[16] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, "IME") == 0)
        return ::CallNextHookEx(pState->m_hHookOldCbtFilter, code, wParam, lParam);

    CWnd* pWnd = pState->m_pWndInit;
    pState->m_pWndInit = nullptr;
    pWnd->Attach(hWnd);
    pWnd->PreSubclassWindow();
    WNDPROC* ppSuper = pWnd->GetSuperWndProcAddr();
    WNDPROC pfnOld =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (pfnOld != &AfxWndProc)
        *ppSuper = pfnOld;
    return ::CallNextHookEx(pState->m_hHookOldCbtFilter, code, wParam, lParam);
}

void RegisterDefaultClass()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = AFX_WND_CLASS_NAME;
    if (!AfxRegisterClass(&wc))
        AfxThrowResourceException();
    registered = true;
}

bool IsControlColorMessage(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

} // namespace

// ---- thread state ----------------------------------------------------------

_AFX_THREAD_STATE* AfxGetThreadState()
{
    // Never freed, for the same reason as the handle maps; the creation hook
    // ends with the thread.
    thread_local _AFX_THREAD_STATE* t_pState = nullptr;
    if (!t_pState)
        t_pState = new _AFX_THREAD_STATE;
    return t_pState;
}

void AfxAddFrameWnd(CWnd* pFrame)
{
    AfxGetThreadState()->m_frameList.push_back(pFrame);
}

void AfxRemoveFrameWnd(CWnd* pFrame)
{
    auto& list = AfxGetThreadState()->m_frameList;
    for (auto it = list.begin(); it != list.end(); ++it)
    {
        if (*it == pFrame)
        {
            list.erase(it);
            return;
        }
    }
}

// ---- window procedure and creation hook -----------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_QUERYAFXWNDPROC)
        return 1;
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    _AFX_THREAD_STATE* pState = AfxGetThreadState();
    MSG saved = pState->m_lastSentMsg;
    pState->m_lastSentMsg.hwnd = hWnd;
    pState->m_lastSentMsg.message = nMsg;
    pState->m_lastSentMsg.wParam = wParam;
    pState->m_lastSentMsg.lParam = lParam;

    LRESULT lResult = 0;
    try
    {
        lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    }
    catch (CException* e)
    {
        // A C++ exception must not unwind through the system's frames: the
        // message fails here, as gently as the message allows.
        if (!e->IsKindOf(RUNTIME_CLASS(CUserException)))
            e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
        if (nMsg == WM_CREATE)
            lResult = -1;
        else if (nMsg == WM_PAINT)
            ::ValidateRect(hWnd, nullptr);
    }
    pState->m_lastSentMsg = saved;
    return lResult;
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    _AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (!pState->m_hHookOldCbtFilter)
    {
        pState->m_hHookOldCbtFilter = ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
        if (!pState->m_hHookOldCbtFilter)
            AfxThrowMemoryException();
    }
    pState->m_pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate()
{
    _AFX_THREAD_STATE* pState = AfxGetThreadState();
    BOOL bAttached = pState->m_pWndInit == nullptr;
    pState->m_pWndInit = nullptr;
    return bAttached;
}

BOOL AfxRegisterClass(WNDCLASSA* lpWndClass)
{
    WNDCLASSA existing;
    if (::GetClassInfoA(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    return ::RegisterClassA(lpWndClass) != 0;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // The name stays valid until this thread registers the next one.
    thread_local char szName[96];
    HINSTANCE hInst = ::GetModuleHandleA(nullptr);
    std::snprintf(szName, sizeof(szName), "Kx:%p:%x:%p:%p:%p", static_cast<void*>(hInst), nClassStyle,
                  static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    WNDCLASSA wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = hInst;
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = szName;
    if (!AfxRegisterClass(&wc))
        AfxThrowResourceException();
    return szName;
}

// ---- handle maps -----------------------------------------------------------

CWnd* CWnd::FromHandle(HWND hWnd)
{
    return WndMap().FromHandle(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? WndMap().LookupPermanent(hWnd) : nullptr;
}

void CWnd::DeleteTempMap()
{
    WndMap().DeleteTemp();
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd)
        return FALSE;
    m_hWnd = hWndNew;
    WndMap().SetPermanent(hWndNew, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd)
        WndMap().RemovePermanent(hWnd, this);
    m_hWnd = nullptr;
    return hWnd;
}

CWnd::~CWnd()
{
    // wndTop and its kin hold HWND_TOP, HWND_BOTTOM, HWND_TOPMOST and
    // HWND_NOTOPMOST (0, 1, -1, -2), no windows; they die after the maps.
    if (reinterpret_cast<UINT_PTR>(m_hWnd) + 2 <= 3)
        return;
    if (FromHandlePermanent(m_hWnd) == this)
    {
        // The object goes first: its window must not outlive it. The
        // derived parts are already gone, so this window only sees CWnd's
        // handling while it is destroyed.
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd)
        Detach();
}

// ---- creation --------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
    {
        RegisterDefaultClass();
        cs.lpszClass = AFX_WND_CLASS_NAME;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCT cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = ::GetModuleHandleA(nullptr);
    cs.lpCreateParams = lpParam;

    if (!PreCreateWindow(cs))
    {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // A window that was attached and then failed in WM_CREATE has already
    // been through WM_NCDESTROY and PostNcDestroy; one that never got as far
    // as the hook still needs its PostNcDestroy. Either way `this` may be
    // gone now when the object deletes itself.
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext* pContext)
{
    // Create makes child windows; top-level windows go through CreateEx.
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::OnNcDestroy()
{
    // The thread's main window is gone: the application ends.
    CWinThread* pThread = AfxGetThread();
    if (pThread && pThread->m_pMainWnd == this)
    {
        pThread->m_pMainWnd = nullptr;
        if (pThread == AfxGetApp())
            ::PostQuitMessage(0);
    }
    if (m_nFlags & WF_TOOLTIPS)
        CancelToolTips();

    Default();
    // Put the original procedure back so late messages reach it, then let
    // go of the handle before the object may delete itself.
    WNDPROC pfnWndProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC));
    WNDPROC* ppSuper = GetSuperWndProcAddr();
    if (pfnWndProc == &AfxWndProc && *ppSuper)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(*ppSuper));
    Detach();
    PostNcDestroy();
}

// ---- subclassing -----------------------------------------------------------

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC* ppSuper = GetSuperWndProcAddr();
    WNDPROC pfnOld =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (pfnOld != &AfxWndProc)
        *ppSuper = pfnOld;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), static_cast<int>(nID));
    return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd)
        return nullptr;
    WNDPROC* ppSuper = GetSuperWndProcAddr();
    if (*ppSuper)
    {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(*ppSuper));
        *ppSuper = nullptr;
    }
    return Detach();
}

// ---- message dispatch ------------------------------------------------------

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC pfnSuper = *GetSuperWndProcAddr();
    if (pfnSuper)
        return ::CallWindowProcA(pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = AfxGetThreadState()->m_lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

const MSG* CWnd::GetCurrentMessage()
{
    return &AfxGetThreadState()->m_lastSentMsg;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND)
    {
        if (OnCommand(wParam, lParam))
        {
            *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NOTIFY)
    {
        NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        if (pNMHDR && pNMHDR->hwndFrom && OnNotify(wParam, lParam, &lResult))
        {
            *pResult = lResult;
            return TRUE;
        }
        return FALSE;
    }

    // Messages a control sends its parent go back to the control first.
    HWND hWndChild = nullptr;
    switch (message)
    {
    case WM_DRAWITEM:
        if (wParam)
            hWndChild = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem;
        break;
    case WM_MEASUREITEM:
        if (wParam)
            hWndChild = ::GetDlgItem(m_hWnd, static_cast<int>(wParam));
        break;
    case WM_COMPAREITEM:
        if (wParam)
            hWndChild = reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem;
        break;
    case WM_DELETEITEM:
        if (wParam)
            hWndChild = reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem;
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: hWndChild = reinterpret_cast<HWND>(lParam); break;
    case WM_PARENTNOTIFY:
        if (LOWORD(wParam) == WM_CREATE || LOWORD(wParam) == WM_DESTROY)
            hWndChild = reinterpret_cast<HWND>(lParam);
        break;
    default:
        if (IsControlColorMessage(message))
            hWndChild = reinterpret_cast<HWND>(lParam);
        break;
    }
    if (hWndChild && ReflectLastMsg(hWndChild, message, wParam, lParam, &lResult))
    {
        *pResult = lResult;
        return TRUE;
    }

    // The seven control-colour messages share the one ON_WM_CTLCOLOR entry.
    UINT nLookup = message;
    AFX_CTLCOLOR ctl;
    WPARAM wLookup = wParam;
    LPARAM lLookup = lParam;
    if (IsControlColorMessage(message))
    {
        nLookup = WM_CTLCOLOR;
        ctl.hWnd = reinterpret_cast<HWND>(lParam);
        ctl.hDC = reinterpret_cast<HDC>(wParam);
        ctl.nCtlType = message - WM_CTLCOLORMSGBOX;
        lLookup = reinterpret_cast<LPARAM>(&ctl);
    }

    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    {
        const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(pMap->lpEntries, nLookup, 0, 0);
        if (!pEntry)
            continue;
        AFX_MSGARGS args = {message, wLookup, lLookup, 0, nullptr, TRUE};
        lResult = pEntry->pfn(this, args);
        // The handler may have deleted this object: only locals from here.
        *pResult = lResult;
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);

    if (!hWndCtrl)
    {
        // A menu item or accelerator: a disabled command does nothing, as
        // its update handler says right now.
        struct CTestCmdUI : CCmdUI
        {
            BOOL m_bEnabled = TRUE;
            void Enable(BOOL bOn) override
            {
                m_bEnabled = bOn;
                m_bEnableChanged = TRUE;
            }
            void SetCheck(int) override {}
            void SetRadio(BOOL) override {}
            void SetText(LPCTSTR) override {}
        } test;
        test.m_nID = nID;
        OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &test, nullptr);
        if (!test.m_bEnabled)
            return TRUE;
        nCode = CN_COMMAND;
    }
    else
    {
        if (::GetParent(hWndCtrl) == m_hWnd || FromHandlePermanent(hWndCtrl))
        {
            LRESULT lResult = 0;
            if (ReflectLastMsg(hWndCtrl, WM_COMMAND, wParam, lParam, &lResult))
                return TRUE;
        }
        if (nID == 0)
            return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    HWND hWndCtrl = pNMHDR->hwndFrom;
    UINT nID = static_cast<UINT>(pNMHDR->idFrom);
    int nCode = static_cast<int>(pNMHDR->code);

    if (ReflectLastMsg(hWndCtrl, WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;

    AFX_NOTIFY notify;
    notify.pResult = pResult;
    notify.pNMHDR = pNMHDR;
    return OnCmdMsg(nID, MAKELONG(nCode, WM_NOTIFY), &notify, nullptr);
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* pWnd = FromHandlePermanent(hWndChild);
    if (!pWnd)
        return FALSE;
    return pWnd->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message)
    {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM: return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);

    case WM_COMMAND:
    {
        int nCode = HIWORD(wParam);
        if (OnCmdMsg(0, MAKELONG(nCode, WM_REFLECT_BASE + WM_COMMAND), nullptr, nullptr))
        {
            if (pResult)
                *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }

    case WM_NOTIFY:
    {
        NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        int nCode = static_cast<int>(pNMHDR->code);
        AFX_NOTIFY notify;
        notify.pResult = pResult;
        notify.pNMHDR = pNMHDR;
        return OnCmdMsg(0, MAKELONG(nCode, WM_REFLECT_BASE + WM_NOTIFY), &notify, nullptr);
    }

    default:
        if (IsControlColorMessage(message))
        {
            // The control answers its own colours; a null brush lets the
            // parent answer instead.
            AFX_CTLCOLOR ctl;
            ctl.hDC = reinterpret_cast<HDC>(wParam);
            ctl.nCtlType = message - WM_CTLCOLORMSGBOX;
            ctl.hWnd = m_hWnd;
            LRESULT lResult = 0;
            if (!OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&ctl), &lResult) || lResult == 0)
                return FALSE;
            if (pResult)
                *pResult = lResult;
            return TRUE;
        }
        return FALSE;
    }
}

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    // Default() still holds the original WM_CTLCOLORxxx message.
    return reinterpret_cast<HBRUSH>(Default());
}

BOOL CWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_nFlags & WF_TOOLTIPS)
        FilterToolTipMessage(pMsg);
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd))
    {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

BOOL CWnd::PreTranslateInput(LPMSG lpMsg)
{
    if ((lpMsg->message < WM_KEYFIRST || lpMsg->message > WM_KEYLAST) &&
        (lpMsg->message < WM_MOUSEFIRST || lpMsg->message > WM_MOUSELAST))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, lpMsg);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild; hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT))
    {
        if (bOnlyPerm)
        {
            CWnd* pWnd = FromHandlePermanent(hWndChild);
            if (pWnd)
                AfxCallWndProc(pWnd, hWndChild, message, wParam, lParam);
        }
        else
        {
            ::SendMessageA(hWndChild, message, wParam, lParam);
        }
        if (bDeep && ::GetTopWindow(hWndChild))
        {
            CWnd child(hWndChild);
            child.SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
            child.m_hWnd = nullptr;
        }
    }
}

// ---- modal loops -----------------------------------------------------------

int CWnd::RunModalLoop(DWORD dwFlags)
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    BOOL bShowIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    HWND hWndParent = ::GetParent(m_hWnd);
    m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
    MSG msg;

    for (;;)
    {
        while (bIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            if (bShowIdle)
            {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                bShowIdle = FALSE;
            }
            if (!(dwFlags & MLF_NOIDLEMSG) && hWndParent && lIdleCount == 0)
                ::SendMessageA(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
            if ((dwFlags & MLF_NOKICKIDLE) || !SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, lIdleCount++))
                bIdle = FALSE;
        }

        do
        {
            if (!AfxPumpMessage())
            {
                ::PostQuitMessage(0);
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return -1;
            }
            MSG* pMsg = AfxGetCurrentMessage();
            if (bShowIdle && (pMsg->message == 0x118 /* WM_SYSTIMER: caret blink */ || pMsg->message == WM_SYSKEYDOWN))
            {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                bShowIdle = FALSE;
            }
            if (!ContinueModal())
            {
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return m_nModalResult;
            }
            if (AfxIsIdleMessage(pMsg))
            {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWnd::ContinueModal()
{
    return (m_nFlags & WF_CONTINUEMODAL) != 0;
}

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL)
    {
        m_nFlags &= ~WF_CONTINUEMODAL;
        // wake the loop so it sees the end at once
        PostMessage(WM_NULL);
    }
}

void CWnd::BeginModalState()
{
}

void CWnd::EndModalState()
{
}

// ---- layout ----------------------------------------------------------------

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType)
{
    DWORD dwExStyle = GetExStyle();
    if (nAdjustType == 0)
        dwExStyle &= ~WS_EX_CLIENTEDGE;
    ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, dwExStyle);
}

CScrollBar* CWnd::GetScrollBarCtrl(int) const
{
    return nullptr;
}

void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect)
{
    if (lpLayout && !lpLayout->hDWP)
        return;
    HWND hWndParent = ::GetParent(hWnd);
    RECT rcOld;
    ::GetWindowRect(hWnd, &rcOld);
    ::MapWindowPoints(nullptr, hWndParent, reinterpret_cast<LPPOINT>(&rcOld), 2);
    if (::EqualRect(&rcOld, lpRect))
        return;
    int cx = lpRect->right - lpRect->left;
    int cy = lpRect->bottom - lpRect->top;
    if (lpLayout)
        lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, lpRect->left, lpRect->top, cx, cy,
                                          SWP_NOACTIVATE | SWP_NOZORDER);
    else
        ::SetWindowPos(hWnd, nullptr, lpRect->left, lpRect->top, cx, cy, SWP_NOACTIVATE | SWP_NOZORDER);
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch)
{
    AFX_SIZEPARENTPARAMS layout = {};
    layout.bStretch = bStretch;
    if (lpRectClient)
        layout.rect = *lpRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);

    UINT nMode = nFlags & ~reposNoPosLeftOver;
    if (nMode != reposQuery)
        layout.hDWP = ::BeginDeferWindowPos(8);

    // The bars take their sides in z-order; each shrinks what is left.
    HWND hWndLeftOver = nullptr;
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild; hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT))
    {
        UINT nIDC = static_cast<UINT>(::GetDlgCtrlID(hWndChild));
        if (nIDC == nIDLeftOver)
            hWndLeftOver = hWndChild;
        else if (nIDC >= nIDFirst && nIDC <= nIDLast && FromHandlePermanent(hWndChild))
            ::SendMessageA(hWndChild, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }

    if (nMode == reposQuery)
    {
        if (lpRectParam)
        {
            if (bStretch)
                *lpRectParam = layout.rect;
            else
                ::SetRect(lpRectParam, 0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy);
        }
        return;
    }

    if (nIDLeftOver != 0 && hWndLeftOver && !(nFlags & reposNoPosLeftOver))
    {
        if (nMode == reposExtra && lpRectParam)
        {
            // extra borders the caller keeps free around the pane
            layout.rect.left += lpRectParam->left;
            layout.rect.top += lpRectParam->top;
            layout.rect.right -= lpRectParam->right;
            layout.rect.bottom -= lpRectParam->bottom;
        }
        CWnd* pLeftOver = FromHandle(hWndLeftOver);
        pLeftOver->CalcWindowRect(&layout.rect);
        AfxRepositionWindow(&layout, hWndLeftOver, &layout.rect);
    }
    if (layout.hDWP)
        ::EndDeferWindowPos(layout.hDWP);
}

// ---- tooltips --------------------------------------------------------------

BOOL CWnd::EnableToolTips(BOOL bEnable)
{
    BOOL bWasEnabled = (m_nFlags & WF_TOOLTIPS) != 0;
    if (bEnable)
        m_nFlags |= WF_TOOLTIPS;
    else
        m_nFlags &= ~WF_TOOLTIPS;
    return bWasEnabled;
}

void CWnd::CancelToolTips(BOOL)
{
    // The framework shows no tips of its own (the toolkit's windows show
    // theirs from their OnToolHitTest), so there is nothing to take down.
}

void CWnd::FilterToolTipMessage(MSG* pMsg)
{
    // Mouse moves over a window with tooltips ask it which tool is under
    // the mouse; the window's OnToolHitTest shows its tip.
    if (pMsg->message != WM_MOUSEMOVE)
        return;
    POINT pt = {static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam))};
    ::MapWindowPoints(pMsg->hwnd, m_hWnd, &pt, 1);
    TOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    OnToolHitTest(CPoint(pt.x, pt.y), &ti);
    if (ti.lpszText != nullptr && ti.lpszText != LPSTR_TEXTCALLBACKA)
    {
        if (g_pfnToolTipTextFreed != nullptr)
            g_pfnToolTipTextFreed(ti.lpszText);
        std::free(ti.lpszText);
    }
}

void (*CWnd::g_pfnToolTipTextFreed)(LPCSTR lpszText) = nullptr;

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const
{
    HWND hWndChild = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!hWndChild || hWndChild == m_hWnd)
        return -1;
    if (pTI && pTI->cbSize >= sizeof(TTTOOLINFOA_V1_SIZE))
    {
        pTI->hwnd = m_hWnd;
        pTI->uId = reinterpret_cast<UINT_PTR>(hWndChild);
        pTI->uFlags |= TTF_IDISHWND;
        pTI->lpszText = LPSTR_TEXTCALLBACKA;
    }
    return ::GetDlgCtrlID(hWndChild);
}

// ---- relations -------------------------------------------------------------

CWnd* CWnd::GetOwner() const
{
    return m_hWndOwner ? FromHandle(m_hWndOwner) : GetParent();
}

CWnd* CWnd::GetParentOwner() const
{
    HWND hWndParent = m_hWnd;
    HWND hWndT;
    while ((::GetWindowLongPtrA(hWndParent, GWL_STYLE) & WS_CHILD) && (hWndT = ::GetParent(hWndParent)) != nullptr)
        hWndParent = hWndT;
    return FromHandle(hWndParent);
}

CWnd* CWnd::GetTopLevelParent() const
{
    if (!GetSafeHwnd())
        return nullptr;
    HWND hWndParent = m_hWnd;
    HWND hWndT;
    while ((hWndT = ::GetParent(hWndParent)) != nullptr && (::GetWindowLongPtrA(hWndParent, GWL_STYLE) & WS_CHILD))
        hWndParent = hWndT;
    return FromHandle(hWndParent);
}

CWnd* CWnd::GetTopLevelOwner() const
{
    if (!GetSafeHwnd())
        return nullptr;
    HWND hWndOwner = m_hWnd;
    HWND hWndT;
    while ((hWndT = ::GetWindow(hWndOwner, GW_OWNER)) != nullptr)
        hWndOwner = hWndT;
    return FromHandle(hWndOwner);
}

CFrameWnd* CWnd::GetParentFrame() const
{
    if (!GetSafeHwnd())
        return nullptr;
    for (CWnd* pParent = GetParent(); pParent; pParent = pParent->GetParent())
    {
        if (pParent->IsFrameWnd())
            // Only CFrameWnd answers IsFrameWnd with TRUE, and CWnd is its
            // first and only base, so the object starts at the same address.
            return reinterpret_cast<CFrameWnd*>(pParent);
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    if (!GetSafeHwnd())
        return nullptr;
    CWnd* pFrame = const_cast<CWnd*>(this);
    if (!IsFrameWnd())
        pFrame = reinterpret_cast<CWnd*>(GetParentFrame());
    while (pFrame)
    {
        CWnd* pNext = reinterpret_cast<CWnd*>(pFrame->GetParentFrame());
        if (!pNext)
            break;
        pFrame = pNext;
    }
    return reinterpret_cast<CFrameWnd*>(pFrame);
}

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const
{
    HWND hWndChild = ::GetDlgItem(m_hWnd, nID);
    if (hWndChild)
    {
        if (::GetTopWindow(hWndChild))
        {
            // a direct child with its own children: it may hold the match
            CWnd child(hWndChild);
            CWnd* pWnd = child.GetDescendantWindow(nID, bOnlyPerm);
            child.m_hWnd = nullptr;
            if (pWnd)
                return pWnd;
        }
        if (!bOnlyPerm)
            return FromHandle(hWndChild);
        if (CWnd* pWnd = FromHandlePermanent(hWndChild))
            return pWnd;
    }
    for (hWndChild = ::GetTopWindow(m_hWnd); hWndChild; hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT))
    {
        CWnd child(hWndChild);
        CWnd* pWnd = child.GetDescendantWindow(nID, bOnlyPerm);
        child.m_hWnd = nullptr;
        if (pWnd)
            return pWnd;
    }
    return nullptr;
}

// ---- styles, geometry and the rest -----------------------------------------

namespace
{
BOOL ModifyStyleImpl(HWND hWnd, int nStyleOffset, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, nStyleOffset));
    DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLongPtrA(hWnd, nStyleOffset, dwNewStyle);
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}
} // namespace

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleImpl(hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleImpl(hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter->GetSafeHwnd(), x, y, cx, cy, nFlags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    RECT rcArea;
    HWND hWndCenter = pAlternateOwner ? pAlternateOwner->GetSafeHwnd() : ::GetWindow(m_hWnd, GW_OWNER);
    if (GetStyle() & WS_CHILD)
        hWndCenter = ::GetParent(m_hWnd);
    if (hWndCenter && (::GetWindowLongPtrA(hWndCenter, GWL_STYLE) & WS_VISIBLE) && !::IsIconic(hWndCenter))
    {
        ::GetWindowRect(hWndCenter, &rcArea);
    }
    else
    {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
    }
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = (rcArea.left + rcArea.right) / 2 - w / 2;
    int y = (rcArea.top + rcArea.bottom) / 2 - h / 2;
    if (GetStyle() & WS_CHILD)
    {
        POINT pt = {x, y};
        ::ScreenToClient(::GetParent(m_hWnd), &pt);
        x = pt.x;
        y = pt.y;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::DragAcceptFiles(BOOL bAccept)
{
    ::DragAcceptFiles(m_hWnd, bAccept);
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase)
{
    ::InvalidateRgn(m_hWnd, static_cast<HRGN>(pRgn->GetSafeHandle()), bErase);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, static_cast<HRGN>(prgnUpdate->GetSafeHandle()), flags);
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

CDC* CWnd::GetWindowDC()
{
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}

CDC* CWnd::GetDCEx(CRgn* prgnClip, DWORD flags)
{
    return CDC::FromHandle(::GetDCEx(m_hWnd, static_cast<HRGN>(prgnClip->GetSafeHandle()), flags));
}

int CWnd::ReleaseDC(CDC* pDC)
{
    return ::ReleaseDC(m_hWnd, pDC->GetSafeHdc());
}

CDC* CWnd::BeginPaint(LPPAINTSTRUCT lpPaint)
{
    return CDC::FromHandle(::BeginPaint(m_hWnd, lpPaint));
}

int CWnd::ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, CRgn* prgnUpdate,
                         LPRECT lpRectUpdate, UINT flags)
{
    return ::ScrollWindowEx(m_hWnd, dx, dy, lpRectScroll, lpRectClip, static_cast<HRGN>(prgnUpdate->GetSafeHandle()),
                            lpRectUpdate, flags);
}

void CWnd::GetWindowText(CString& rString) const
{
    int nLen = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, rString.GetBufferSetLength(nLen), nLen + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    HWND hWnd = ::GetDlgItem(m_hWnd, nID);
    if (hWnd)
    {
        CWnd item(hWnd);
        item.GetWindowText(rString);
        item.m_hWnd = nullptr;
    }
    return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(pFont->GetSafeHandle()), bRedraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
}

CMenu* CWnd::GetMenu() const
{
    return CMenu::FromHandle(::GetMenu(m_hWnd));
}

BOOL CWnd::SetMenu(CMenu* pMenu)
{
    return ::SetMenu(m_hWnd, pMenu->GetSafeHmenu());
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const
{
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
    return TRUE;
}

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const
{
    for (int nID = nIDFirstButton; nID <= nIDLastButton; ++nID)
    {
        if (::IsDlgButtonChecked(m_hWnd, nID))
            return nID;
    }
    return 0;
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    if (!lpszCaption)
    {
        CWinApp* pApp = AfxGetApp();
        lpszCaption = pApp && pApp->m_pszAppName ? pApp->m_pszAppName : "";
    }
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

BOOL CWnd::IsTopParentActive() const
{
    CWnd* pTop = GetTopLevelParent();
    if (!pTop)
        return FALSE;
    HWND hWndActive = ::GetForegroundWindow();
    HWND hWndTop = pTop->m_hWnd;
    return hWndActive == hWndTop || (hWndActive && ::GetWindow(hWndActive, GW_OWNER) == hWndTop) ||
           ::GetLastActivePopup(hWndTop) == hWndActive;
}

CWnd* CWnd::GetSafeOwner(CWnd* pParent, HWND* pWndTop)
{
    HWND hWnd = pParent->GetSafeHwnd();
    if (!hWnd)
    {
        CWnd* pMainWnd = AfxGetMainWnd();
        hWnd = pMainWnd->GetSafeHwnd();
    }
    // up to the top-level window
    while (hWnd && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    HWND hWndTop = hWnd;
    if (pWndTop)
        *pWndTop = hWndTop;
    // a disabled window cannot own a box the user can reach: its popup can
    if (hWnd && !::IsWindowEnabled(hWnd))
        hWnd = ::GetLastActivePopup(hWnd);
    return FromHandle(hWnd);
}

int CWnd::GetUpdateRgn(CRgn* pRgn, BOOL bErase)
{
    return ::GetUpdateRgn(m_hWnd, static_cast<HRGN>(pRgn->GetSafeHandle()), bErase);
}

void CWnd::ValidateRgn(CRgn* pRgn)
{
    ::ValidateRgn(m_hWnd, static_cast<HRGN>(pRgn->GetSafeHandle()));
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_NCDESTROY()
END_MESSAGE_MAP()
