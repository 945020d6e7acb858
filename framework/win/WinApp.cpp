// CWinApp's documents, recent files, command line and profile.
#include "framework/win/WinThread.h"

#include "framework/win/CommandLineInfo.h"
#include "framework/win/DocManager.h"
#include "framework/win/DocTemplate.h"
#include "framework/win/Document.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/RecentFileList.h"
#include "framework/win/Wnd.h"

#include <cstring>

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
END_MESSAGE_MAP()

namespace
{
const char szRecentFileSection[] = "Recent File List";
const char szRecentFileEntry[] = "File%d";
} // namespace

int CWinApp::ExitInstance()
{
    if (m_pRecentFileList)
        SaveStdProfileSettings();
    delete m_pDocManager;
    m_pDocManager = nullptr;
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    return CWinThread::ExitInstance();
}

// ---- documents -------------------------------------------------------------

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!m_pDocManager)
        m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return m_pDocManager ? m_pDocManager->GetFirstDocTemplatePosition() : nullptr;
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const
{
    return m_pDocManager ? m_pDocManager->GetNextDocTemplate(pos) : nullptr;
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    return m_pDocManager ? m_pDocManager->OpenDocumentFile(lpszFileName) : nullptr;
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName)
{
    if (m_pRecentFileList)
        m_pRecentFileList->Add(lpszPathName);
}

BOOL CWinApp::SaveAllModified()
{
    return m_pDocManager ? m_pDocManager->SaveAllModified() : TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    if (m_pDocManager)
        m_pDocManager->CloseAllDocuments(bEndSession);
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                               CDocTemplate* pTemplate)
{
    if (!m_pDocManager)
        m_pDocManager = new CDocManager;
    return m_pDocManager->DoPromptFileName(fileName, nIDSTitle, lFlags, bOpenFileDialog, pTemplate);
}

void CWinApp::OnFileNew()
{
    if (m_pDocManager)
        m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen()
{
    if (!m_pDocManager)
        m_pDocManager = new CDocManager;
    m_pDocManager->OnFileOpen();
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
    if (!m_pRecentFileList)
        return FALSE;
    int nIndex = static_cast<int>(nID - ID_FILE_MRU_FILE1);
    if (nIndex < 0 || nIndex >= m_pRecentFileList->GetSize() || (*m_pRecentFileList)[nIndex].IsEmpty())
        return FALSE;
    CString path = (*m_pRecentFileList)[nIndex];
    // A file that cannot be opened any more leaves the list.
    if (!OpenDocumentFile(path))
        m_pRecentFileList->Remove(nIndex);
    return TRUE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    if (!m_pRecentFileList)
        pCmdUI->Enable(FALSE);
    else
        m_pRecentFileList->UpdateMenu(pCmdUI);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    if (nMaxMRU != 0)
    {
        delete m_pRecentFileList;
        m_pRecentFileList = new CRecentFileList(0, szRecentFileSection, szRecentFileEntry, static_cast<int>(nMaxMRU));
        m_pRecentFileList->ReadList();
    }
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
}

// ---- command line ----------------------------------------------------------

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    CStringArray args;
    CCommandLineInfo::SplitCommandLine(m_lpCmdLine, args);
    INT_PTR nArgs = args.GetSize();
    for (INT_PTR i = 0; i < nArgs; ++i)
    {
        const CString& arg = args[i];
        BOOL bFlag = arg.GetLength() > 1 && (arg.GetAt(0) == '/' || arg.GetAt(0) == '-');
        rCmdInfo.ParseParam(bFlag ? static_cast<LPCSTR>(arg) + 1 : static_cast<LPCSTR>(arg), bFlag, i == nArgs - 1);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand)
    {
    case CCommandLineInfo::FileNew:
        if (!AfxGetApp()->OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
            OnFileNew();
        return TRUE;
    case CCommandLineInfo::FileOpen: return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::AppRegister: RegisterShellFileTypes(FALSE); return FALSE; // registered; nothing more to run
    case CCommandLineInfo::AppUnregister: return FALSE;
    default: return TRUE;
    }
}

void CWinApp::EnableShellOpen()
{
    // Files from the shell come on the command line of a new instance; the
    // program does not answer DDE.
}

void CWinApp::RegisterShellFileTypes(BOOL bCompat)
{
    if (m_pDocManager)
        m_pDocManager->RegisterShellFileTypes(bCompat);
}

// ---- profile ---------------------------------------------------------------

void CWinApp::EnsureAppName()
{
    if (m_pszAppName)
        return;
    CString title;
    if (!title.LoadString(AFX_IDS_APP_TITLE) || title.IsEmpty())
    {
        // The module's name without folder and extension.
        char szModule[MAX_PATH * 2] = "";
        ::GetModuleFileNameA(nullptr, szModule, sizeof(szModule) - 1);
        title = szModule;
        int nSlash = title.ReverseFind('\\');
        title = title.Mid(nSlash + 1);
        int nDot = title.ReverseFind('.');
        if (nDot > 0)
            title = title.Left(nDot);
    }
    m_pszOwnedAppName = new char[title.GetLength() + 1];
    std::memcpy(m_pszOwnedAppName, static_cast<LPCSTR>(title), title.GetLength() + 1);
    m_pszAppName = m_pszOwnedAppName;
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    EnsureAppName();
    m_strRegistryKey = lpszRegistryKey;
    m_strProfileName = m_pszAppName;
    m_pszRegistryKey = m_strRegistryKey;
    m_pszProfileName = m_strProfileName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (!m_pszRegistryKey || !m_pszProfileName)
        return nullptr;
    CString path;
    path.Format("Software\\%s\\%s", m_pszRegistryKey, m_pszProfileName);
    HKEY hAppKey = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                          &hAppKey, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return hAppKey;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection)
{
    HKEY hAppKey = GetAppRegistryKey();
    if (!hAppKey)
        return nullptr;
    HKEY hSectionKey = nullptr;
    if (::RegCreateKeyExA(hAppKey, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                          &hSectionKey, nullptr) != ERROR_SUCCESS)
        hSectionKey = nullptr;
    ::RegCloseKey(hAppKey);
    return hSectionKey;
}

namespace
{
// The .ini file of a program without a registry key: beside the program.
CString ProfileFile(LPCTSTR lpszAppName)
{
    char szModule[MAX_PATH * 2] = "";
    ::GetModuleFileNameA(nullptr, szModule, sizeof(szModule) - 1);
    CString path = szModule;
    int nSlash = path.ReverseFind('\\');
    return path.Left(nSlash + 1) + (lpszAppName ? lpszAppName : "") + ".ini";
}
} // namespace

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    if (!m_pszRegistryKey)
    {
        EnsureAppName();
        return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, ProfileFile(m_pszAppName));
    }
    HKEY hSecKey = GetSectionKey(lpszSection);
    if (!hSecKey)
        return static_cast<UINT>(nDefault);
    DWORD dwValue = 0, dwType = 0, dwCount = sizeof(DWORD);
    LONG lResult =
        ::RegQueryValueExA(hSecKey, lpszEntry, nullptr, &dwType, reinterpret_cast<LPBYTE>(&dwValue), &dwCount);
    ::RegCloseKey(hSecKey);
    if (lResult == ERROR_SUCCESS && dwType == REG_DWORD && dwCount == sizeof(DWORD))
        return static_cast<UINT>(dwValue);
    return static_cast<UINT>(nDefault);
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    CString strDefault = lpszDefault ? lpszDefault : "";
    if (!m_pszRegistryKey)
    {
        EnsureAppName();
        CString file = ProfileFile(m_pszAppName);
        for (int nSize = 256; nSize <= 65536; nSize *= 2)
        {
            CString value;
            DWORD n =
                ::GetPrivateProfileStringA(lpszSection, lpszEntry, strDefault, value.GetBuffer(nSize), nSize, file);
            if (n < static_cast<DWORD>(nSize - 1))
            {
                value.ReleaseBuffer(static_cast<int>(n));
                return value;
            }
            value.ReleaseBuffer(0);
        }
        return strDefault;
    }
    HKEY hSecKey = GetSectionKey(lpszSection);
    if (!hSecKey)
        return strDefault;
    CString value = strDefault;
    DWORD dwType = 0, dwCount = 0;
    if (::RegQueryValueExA(hSecKey, lpszEntry, nullptr, &dwType, nullptr, &dwCount) == ERROR_SUCCESS &&
        dwType == REG_SZ)
    {
        // The stored size may lack the terminator; never trust it for one.
        CString stored;
        LPSTR p = stored.GetBuffer(static_cast<int>(dwCount) + 1);
        DWORD dwRead = dwCount;
        if (::RegQueryValueExA(hSecKey, lpszEntry, nullptr, &dwType, reinterpret_cast<LPBYTE>(p), &dwRead) ==
                ERROR_SUCCESS &&
            dwType == REG_SZ)
        {
            p[dwRead <= dwCount ? dwRead : dwCount] = '\0';
            stored.ReleaseBuffer(static_cast<int>(strnlen(p, dwCount + 1)));
            value = stored;
        }
        else
        {
            stored.ReleaseBuffer(0);
        }
    }
    ::RegCloseKey(hSecKey);
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    if (!m_pszRegistryKey)
    {
        EnsureAppName();
        CString text;
        text.Format("%d", nValue);
        return ::WritePrivateProfileStringA(lpszSection, lpszEntry, text, ProfileFile(m_pszAppName));
    }
    HKEY hSecKey = GetSectionKey(lpszSection);
    if (!hSecKey)
        return FALSE;
    DWORD dwValue = static_cast<DWORD>(nValue);
    LONG lResult =
        ::RegSetValueExA(hSecKey, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
    ::RegCloseKey(hSecKey);
    return lResult == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (!m_pszRegistryKey)
    {
        EnsureAppName();
        return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, ProfileFile(m_pszAppName));
    }
    if (!lpszEntry)
    {
        // No entry: the whole section goes.
        HKEY hAppKey = GetAppRegistryKey();
        if (!hAppKey)
            return FALSE;
        LONG lResult = ::RegDeleteTreeA(hAppKey, lpszSection);
        ::RegCloseKey(hAppKey);
        return lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND;
    }
    HKEY hSecKey = GetSectionKey(lpszSection);
    if (!hSecKey)
        return FALSE;
    LONG lResult;
    if (!lpszValue)
    {
        lResult = ::RegDeleteValueA(hSecKey, lpszEntry);
        if (lResult == ERROR_FILE_NOT_FOUND)
            lResult = ERROR_SUCCESS;
    }
    else
    {
        lResult = ::RegSetValueExA(hSecKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                   static_cast<DWORD>(std::strlen(lpszValue) + 1));
    }
    ::RegCloseKey(hSecKey);
    return lResult == ERROR_SUCCESS;
}

// ---- entry -----------------------------------------------------------------

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    ::InitCommonControls();
    int nResult;
    if (!pApp->InitInstance())
    {
        if (pApp->m_pMainWnd && pApp->m_pMainWnd->m_hWnd)
            pApp->m_pMainWnd->DestroyWindow();
        nResult = pApp->ExitInstance();
    }
    else
    {
        nResult = pApp->Run();
    }
    AfxDeleteTempMaps();
    return nResult;
}
