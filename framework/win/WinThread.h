// The GUI thread's message loop and the application object.
//
// CWinThread pumps messages, offers each to PreTranslateMessage (the window
// tree from the message's window up to the main window), and when the queue
// runs dry calls OnIdle with a growing count: count 0 updates the command UI
// of every frame of the thread, count 1 frees the temporary handle wrappers.
// CWinApp is the thread object of the program's main thread.
#pragma once

#include "framework/win/CmdTarget.h"

class CWnd;

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    ~CWinThread() override;

    CWnd* m_pMainWnd = nullptr;
    CWnd* m_pActiveWnd = nullptr;
    BOOL m_bAutoDelete = TRUE;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    // The message being pumped; readers use it to decide about idle work.
    MSG m_msgCur = {};

    virtual CWnd* GetMainWnd();
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // TRUE while more idle work is wanted.
    virtual BOOL OnIdle(LONG lCount);
    // Whether a message should restart idle processing once the queue is
    // empty again: not for paints, the caret timer or a mouse that did not
    // move.
    virtual BOOL IsIdleMessage(MSG* pMsg);
    // Gets, pre-translates and dispatches one message; FALSE on WM_QUIT.
    virtual BOOL PumpMessage();

private:
    POINT m_ptCursorLast = {-1, -1};
    UINT m_nMsgLast = 0;
};

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCTSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;

    BOOL InitInstance() override { return TRUE; }
    BOOL OnIdle(LONG lCount) override;

    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCEA(nIDResource)); }
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursorA(nullptr, lpszCursorName); }
    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCEA(nIDResource)); }
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIconA(nullptr, lpszIconName); }

private:
    char* m_pszOwnedAppName = nullptr;
};

CWinApp* AfxGetApp();
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

// The message loop pieces for code that runs its own loop (modal loops,
// tracking): one message through the thread's PumpMessage, and the idle test.
BOOL AfxPumpMessage();
BOOL AfxIsIdleMessage(MSG* pMsg);
// The message the thread's loop pumped last.
MSG* AfxGetCurrentMessage();
// Frees the temporary wrappers of windows, DCs, GDI objects, menus and
// image lists made by FromHandle on this thread.
void AfxDeleteTempMaps();
