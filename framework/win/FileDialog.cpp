#include "framework/win/FileDialog.h"

#include "framework/win/WinThread.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

namespace
{
// Room for a multiple selection: the folder and many names.
const DWORD nMultiSelectBuffer = 64 * 1024;
} // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD, BOOL)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog)
{
    std::memset(&m_ofn, 0, sizeof(m_ofn));
    std::memset(m_szFileTitle, 0, sizeof(m_szFileTitle));
    m_nFileBuffer = (dwFlags & OFN_ALLOWMULTISELECT) ? nMultiSelectBuffer : MAX_PATH * 2;
    m_pszFile = new char[m_nFileBuffer];
    std::memset(m_pszFile, 0, m_nFileBuffer);
    if (lpszFileName)
    {
        size_t n = std::strlen(lpszFileName);
        if (n >= m_nFileBuffer)
            n = m_nFileBuffer - 1;
        std::memcpy(m_pszFile, lpszFileName, n);
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFile = m_pszFile;
    m_ofn.nMaxFile = m_nFileBuffer;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof(m_szFileTitle);
    m_ofn.Flags = dwFlags | OFN_ENABLEHOOK | OFN_EXPLORER;
    m_ofn.hInstance = AfxGetResourceHandle();
    m_ofn.lpfnHook = &CFileDialog::HookProc;
    if (lpszDefExt)
    {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFilter)
    {
        // "a|b||" becomes "a\0b\0\0".
        m_strFilter = lpszFilter;
        int nLen = m_strFilter.GetLength();
        LPSTR p = m_strFilter.GetBuffer(nLen + 1);
        for (int i = 0; i < nLen; ++i)
        {
            if (p[i] == '|')
                p[i] = '\0';
        }
        p[nLen] = '\0';
        m_strFilter.ReleaseBuffer(nLen);
        m_ofn.lpstrFilter = m_strFilter;
    }
}

CFileDialog::~CFileDialog()
{
    delete[] m_pszFile;
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = nullptr;
    BOOL bResult = RunSystemDialog(
        [this](HWND hWndOwner)
        {
            m_ofn.hwndOwner = hWndOwner;
            return m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
        });
    return bResult ? IDOK : IDCANCEL;
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The hook's dialog is a child of the explorer dialog, whose object
    // gets the notifications.
    if (message != WM_NOTIFY)
        return 0;
    CFileDialog* pDlg = dynamic_cast<CFileDialog*>(CWnd::FromHandlePermanent(::GetParent(hWnd)));
    if (!pDlg)
        return 0;
    LRESULT lResult = 0;
    if (pDlg->OnNotify(wParam, lParam, &lResult))
    {
        ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lResult);
        return lResult;
    }
    return 0;
}

BOOL CFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* pNotify = reinterpret_cast<OFNOTIFYA*>(lParam);
    switch (pNotify->hdr.code)
    {
    case CDN_INITDONE: OnInitDone(); return TRUE;
    case CDN_SELCHANGE: OnFileNameChange(); return TRUE;
    case CDN_FOLDERCHANGE: OnFolderChange(); return TRUE;
    case CDN_TYPECHANGE:
        m_ofn.nFilterIndex = pNotify->lpOFN->nFilterIndex;
        OnTypeChange();
        return TRUE;
    case CDN_FILEOK: *pResult = OnFileNameOK(); return TRUE;
    default: return CCommonDialog::OnNotify(wParam, lParam, pResult);
    }
}

CString CFileDialog::GetPathName() const
{
    if (m_hWnd)
    {
        char szPath[MAX_PATH * 2] = "";
        LRESULT n = ::SendMessageA(m_hWnd, CDM_GETFILEPATH, sizeof(szPath), reinterpret_cast<LPARAM>(szPath));
        if (n > 0 && n < static_cast<LRESULT>(sizeof(szPath)))
            return CString(szPath);
    }
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const
{
    CString path = GetPathName();
    int nSlash = path.ReverseFind('\\');
    return path.Mid(nSlash + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString name = GetFileName();
    int nDot = name.ReverseFind('.');
    return nDot < 0 ? CString() : name.Mid(nDot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    CString name = GetFileName();
    int nDot = name.ReverseFind('.');
    return nDot < 0 ? name : name.Left(nDot);
}

CString CFileDialog::GetFolderPath() const
{
    if (!m_hWnd)
        return CString();
    char szPath[MAX_PATH * 2] = "";
    LRESULT n = ::SendMessageA(m_hWnd, CDM_GETFOLDERPATH, sizeof(szPath), reinterpret_cast<LPARAM>(szPath));
    if (n <= 0 || n >= static_cast<LRESULT>(sizeof(szPath)))
        return CString();
    return CString(szPath);
}

void CFileDialog::SetControlText(int nID, LPCSTR lpsz)
{
    ::SendMessageA(m_hWnd, CDM_SETCONTROLTEXT, static_cast<WPARAM>(nID), reinterpret_cast<LPARAM>(lpsz));
}

void CFileDialog::HideControl(int nID)
{
    ::SendMessageA(m_hWnd, CDM_HIDECONTROL, static_cast<WPARAM>(nID), 0);
}

void CFileDialog::SetDefExt(LPCSTR lpsz)
{
    ::SendMessageA(m_hWnd, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(lpsz));
}
