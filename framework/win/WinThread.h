// The GUI thread's message loop and the application object.
//
// CWinThread pumps messages, offers each to PreTranslateMessage (the window
// tree from the message's window up to the main window), and when the queue
// runs dry calls OnIdle with a growing count: count 0 updates the command UI
// of every frame of the thread, count 1 frees the temporary handle wrappers.
// CWinApp is the thread object of the program's main thread.
#pragma once

#include "framework/core/CString.h"
#include "framework/win/CmdTarget.h"

class CWnd;
class CCommandLineInfo;
class CDocManager;
class CDocTemplate;
class CDocument;
class CRecentFileList;

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
    // A message posted to the thread (no window) to its ON_THREAD_MESSAGE
    // entry; TRUE when one took it.
    BOOL DispatchThreadMessageEx(MSG* pMsg);

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

    // ---- documents (WinApp.cpp) ----
    CDocManager* m_pDocManager = nullptr;
    CRecentFileList* m_pRecentFileList = nullptr;
    int ExitInstance() override;
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    virtual void AddToRecentFileList(LPCTSTR lpszPathName);
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);
    BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                          CDocTemplate* pTemplate);
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    void EnableShellOpen();
    void RegisterShellFileTypes(BOOL bCompat = FALSE);
    // Three-dimensional controls are the system's own nowadays.
    BOOL Enable3dControls() { return TRUE; }
    BOOL Enable3dControlsStatic() { return TRUE; }

    afx_msg void OnFileNew();
    afx_msg void OnFileOpen();
    afx_msg BOOL OnOpenRecentFile(UINT nID);
    afx_msg void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);
    afx_msg void OnAppExit();

    // ---- profile (WinApp.cpp) ----
    // With a registry key the values live under
    // HKEY_CURRENT_USER\Software\<key>\<profile name>, else in an .ini file.
    LPCTSTR m_pszRegistryKey = nullptr;
    LPCTSTR m_pszProfileName = nullptr;
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    // Keys the caller closes with RegCloseKey; null when they cannot be made.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCTSTR lpszSection);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);

protected:
    DECLARE_MESSAGE_MAP()

private:
    // The name from the string table when the constructor got none.
    void EnsureAppName();
    char* m_pszOwnedAppName = nullptr;
    CString m_strRegistryKey;
    CString m_strProfileName;
};

// The program's entry: runs the application object's InitInstance and
// message loop.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

CWinApp* AfxGetApp();
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

// The context-help cursor: the program's AFX_IDC_CONTEXTHELP cursor when it
// has one, else the system's help cursor.
HCURSOR AfxGetContextHelpCursor();

// The message loop pieces for code that runs its own loop (modal loops,
// tracking): one message through the thread's PumpMessage, and the idle test.
BOOL AfxPumpMessage();
BOOL AfxIsIdleMessage(MSG* pMsg);
// The message the thread's loop pumped last.
MSG* AfxGetCurrentMessage();
// Frees the temporary wrappers of windows, DCs, GDI objects, menus and
// image lists made by FromHandle on this thread.
void AfxDeleteTempMaps();
