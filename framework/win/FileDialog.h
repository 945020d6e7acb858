// CFileDialog: the system's open and save dialogs (explorer style), with
// the hook that lets a subclass follow the user's moves.
#pragma once

#include "framework/win/Dialog.h"

#include <commdlg.h>

class CFileDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFileDialog)
public:
    // lpszFilter: "Name|*.ext|Name|*.ext||".
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr, DWORD dwSize = 0, BOOL bVistaStyle = TRUE);
    ~CFileDialog() override;

    INT_PTR DoModal() override;

    // After DoModal: the chosen file; while open: the current choice.
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
    // The folder shown (while the dialog is open).
    CString GetFolderPath() const;
    void SetControlText(int nID, LPCSTR lpsz);
    void HideControl(int nID);
    void SetDefExt(LPCSTR lpsz);

    OPENFILENAMEA m_ofn;
    BOOL m_bOpenFileDialog;

    // Notifications of the open dialog.
    virtual void OnInitDone() {}
    virtual void OnFileNameChange() {}
    virtual void OnFolderChange() {}
    virtual void OnTypeChange() {}
    // FALSE accepts the name; TRUE keeps the dialog open.
    virtual BOOL OnFileNameOK() { return FALSE; }

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    CString m_strFilter; // '\0'-separated, as the system wants it
    CString m_strDefExt;
    CString m_strFileTitle;
    char* m_pszFile; // the file-name buffer of m_ofn
    DWORD m_nFileBuffer;
    char m_szFileTitle[MAX_PATH];

private:
    static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
