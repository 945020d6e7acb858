// A folder chooser on the system's Explorer-style open dialog: the confirm
// button reads "Select", a read-only field in place of the file name always
// shows the folder open in the dialog, and "Select" ends the dialog at once
// with that folder.
#pragma once

#include "framework/win/AfxWin.h"
#include "framework/win/FileDialog.h"

// The read-only field that shows the open folder.
const UINT IDC_SELECT_FOLDER_EDIT = 102;

class CSelectFolderDialog : public CFileDialog
{
    DECLARE_DYNAMIC(CSelectFolderDialog)
public:
    CSelectFolderDialog(BOOL bOpen, LPCTSTR lpszInitialFolder = nullptr,
                        DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                        CWnd* pParentWnd = nullptr);
    ~CSelectFolderDialog() override;

    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    // The folder last shown: the result after "Select".
    const CString& GetFolderPath() const { return m_strFolder; }

protected:
    void OnInitDone() override;
    void OnFolderChange() override;

    BOOL m_bOpen;
    CEdit* m_pFolderEdit = nullptr;
    CString m_strTitle = "Select folder";
    CString m_strFolder;

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Keeps the field beside "Select" and its label above it.
    void FollowSize();

    CString m_strInitialFolder;
    WNDPROC m_pfnPrevious = nullptr;
};
