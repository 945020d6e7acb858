#include "framework/win/WinThread.h"

#include "framework/win/AfxRes.h"
#include "framework/win/Dc.h"
#include "framework/win/GdiObjects.h"
#include "framework/win/ImageList.h"
#include "framework/win/Menu.h"
#include "framework/win/Wnd.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace
{
CWinApp* g_pApp = nullptr;
HINSTANCE g_hInstResource = nullptr;
// The loop state of a thread that has no thread object (tests, helpers).
thread_local MSG t_msgCur;
} // namespace

CWinThread::CWinThread()
{
    m_nThreadID = ::GetCurrentThreadId();
    AfxGetThreadState()->m_pCurrentWinThread = this;
}

CWinThread::~CWinThread()
{
    _AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_pCurrentWinThread == this)
        pState->m_pCurrentWinThread = nullptr;
}

CWnd* CWinThread::GetMainWnd()
{
    return m_pMainWnd;
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

int CWinThread::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;)
    {
        while (bIdle && !::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE))
        {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do
        {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur))
            {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (!PreTranslateMessage(&m_msgCur))
    {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::DispatchThreadMessageEx(MSG* pMsg)
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    {
        const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(pMap->lpEntries, pMsg->message, 0, 0);
        if (pEntry)
        {
            AfxCallMessageEntry(this, pEntry, pMsg->message, pMsg->wParam, pMsg->lParam);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg->hwnd && DispatchThreadMessageEx(pMsg))
        return TRUE;
    CWnd* pMainWnd = GetMainWnd();
    HWND hWndMain = pMainWnd->GetSafeHwnd();
    if (CWnd::WalkPreTranslateTree(hWndMain, pMsg))
        return TRUE;
    // A message of a window outside the main window (a modeless popup) is
    // still offered to the main window, which the walk did not reach.
    if (hWndMain && pMsg->hwnd && pMsg->hwnd != hWndMain && !::IsChild(hWndMain, pMsg->hwnd))
        return pMainWnd->PreTranslateMessage(pMsg);
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE)
    {
        if (m_nMsgLast == pMsg->message && m_ptCursorLast.x == pMsg->pt.x && m_ptCursorLast.y == pMsg->pt.y)
            return FALSE;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118; // 0x118: caret blink timer
}

namespace
{
void IdleUpdate(CWnd* pFrame)
{
    AfxCallWndProc(pFrame, pFrame->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
}
} // namespace

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0)
    {
        CWnd* pMainWnd = m_pMainWnd;
        if (pMainWnd && pMainWnd->m_hWnd && pMainWnd->IsWindowVisible() && !pMainWnd->IsIconic())
            IdleUpdate(pMainWnd);
        // A handler may close a frame, which takes it off the list.
        std::vector<CWnd*> frames = AfxGetThreadState()->m_frameList;
        for (CWnd* pFrame : frames)
        {
            const auto& live = AfxGetThreadState()->m_frameList;
            if (std::find(live.begin(), live.end(), pFrame) == live.end())
                continue;
            if (pFrame != pMainWnd && pFrame->m_hWnd && pFrame->IsWindowVisible())
                IdleUpdate(pFrame);
        }
    }
    else if (lCount == 1)
    {
        AfxDeleteTempMaps();
    }
    return lCount < 1;
}

// ---- CWinApp ---------------------------------------------------------------

CWinApp::CWinApp(LPCTSTR lpszAppName)
{
    if (lpszAppName)
    {
        size_t n = std::strlen(lpszAppName) + 1;
        m_pszOwnedAppName = new char[n];
        std::memcpy(m_pszOwnedAppName, lpszAppName, n);
        m_pszAppName = m_pszOwnedAppName;
    }
    m_hInstance = ::GetModuleHandleA(nullptr);
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
    delete[] m_pszOwnedAppName;
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    return CWinThread::OnIdle(lCount);
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const
{
    return ::LoadCursorA(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const
{
    return ::LoadIconA(AfxGetResourceHandle(), lpszResourceName);
}

// ---- globals ---------------------------------------------------------------

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWinThread* AfxGetThread()
{
    CWinThread* pThread = AfxGetThreadState()->m_pCurrentWinThread;
    return pThread ? pThread : nullptr;
}

CWnd* AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    if (pThread && pThread->GetMainWnd())
        return pThread->GetMainWnd();
    return g_pApp ? g_pApp->GetMainWnd() : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_hInstResource ? g_hInstResource : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_hInstResource = hInstResource;
}

HCURSOR AfxGetContextHelpCursor()
{
    HCURSOR hCursor = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(AFX_IDC_CONTEXTHELP));
    return hCursor ? hCursor : ::LoadCursorA(nullptr, IDC_HELP);
}

BOOL AfxPumpMessage()
{
    if (CWinThread* pThread = AfxGetThread())
        return pThread->PumpMessage();
    if (!::GetMessageA(&t_msgCur, nullptr, 0, 0))
        return FALSE;
    if (!CWnd::WalkPreTranslateTree(nullptr, &t_msgCur))
    {
        ::TranslateMessage(&t_msgCur);
        ::DispatchMessageA(&t_msgCur);
    }
    return TRUE;
}

BOOL AfxIsIdleMessage(MSG* pMsg)
{
    if (CWinThread* pThread = AfxGetThread())
        return pThread->IsIdleMessage(pMsg);
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118 && pMsg->message != WM_MOUSEMOVE &&
           pMsg->message != WM_NCMOUSEMOVE;
}

MSG* AfxGetCurrentMessage()
{
    if (CWinThread* pThread = AfxGetThread())
        return &pThread->m_msgCur;
    return &t_msgCur;
}

void AfxDeleteTempMaps()
{
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CMenu::DeleteTempMap();
    CImageList::DeleteTempMap();
}
