#include "controls/custom/SelectFolderDialog.h"

#include <dlgs.h>

#include <cstdlib>

IMPLEMENT_DYNAMIC(CSelectFolderDialog, CFileDialog)

namespace
{
// A child's rectangle in its dialog's client coordinates; false when the
// dialog has no such control (the system's layouts differ).
bool GetChildRect(HWND hDialog, int nID, RECT& rect)
{
    HWND hChild = ::GetDlgItem(hDialog, nID);
    if (!hChild)
        return false;
    ::GetWindowRect(hChild, &rect);
    ::MapWindowPoints(nullptr, hDialog, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

void MoveChild(HWND hDialog, int nID, const RECT& rect)
{
    if (HWND hChild = ::GetDlgItem(hDialog, nID))
        ::MoveWindow(hChild, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}
} // namespace

CSelectFolderDialog::CSelectFolderDialog(BOOL bOpen, LPCTSTR lpszInitialFolder, DWORD dwFlags, LPCTSTR lpszFilter,
                                         CWnd* pParentWnd)
    : CFileDialog(bOpen, nullptr, bOpen ? (lpszFilter ? nullptr : "*.*") : "*..*", dwFlags, lpszFilter, pParentWnd),
      m_bOpen(bOpen)
{
    if (lpszInitialFolder)
    {
        m_strInitialFolder = lpszInitialFolder;
        m_strFolder = m_strInitialFolder;
        m_ofn.lpstrInitialDir = m_strInitialFolder;
    }
}

CSelectFolderDialog::~CSelectFolderDialog()
{
    delete m_pFolderEdit;
}

void CSelectFolderDialog::OnInitDone()
{
    HWND hDialog = m_hWnd;
    RECT ok = {}, cancel = {}, label = {}, name = {};
    const bool bHasOk = GetChildRect(hDialog, IDOK, ok);
    const bool bHasCancel = GetChildRect(hDialog, IDCANCEL, cancel);
    SetControlText(IDOK, "Select");
    SetWindowText(m_strTitle);

    m_pfnPrevious = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hDialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CSelectFolderDialog::SubclassProc)));

    const int nNameId = ::GetDlgItem(hDialog, cmb13) ? cmb13 : edt1;
    const bool bHasName = GetChildRect(hDialog, nNameId, name);
    if (HWND hName = ::GetDlgItem(hDialog, nNameId))
        ::ShowWindow(hName, SW_HIDE);
    const bool bHasLabel = GetChildRect(hDialog, stc3, label);
    ::SetDlgItemTextA(hDialog, stc3, "Folder name");

    m_pFolderEdit = new CEdit;
    m_pFolderEdit->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, name, this,
                          IDC_SELECT_FOLDER_EDIT);
    m_pFolderEdit->SetFont(GetFont());
    m_pFolderEdit->SetWindowText(m_strInitialFolder);
    m_pFolderEdit->ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
    if (HWND hList = ::GetDlgItem(hDialog, lst1))
        ::SetWindowPos(m_pFolderEdit->m_hWnd, hList, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    if (!(m_bOpen && m_strFilter.GetLength() > 0))
    {
        for (int nID : {stc2, cmb1})
            if (HWND hChild = ::GetDlgItem(hDialog, nID))
                ::ShowWindow(hChild, SW_HIDE);
    }

    if (bHasOk && bHasCancel)
    {
        // "Select" beside Cancel, on its row.
        const int nWidth = ok.right - ok.left;
        ok.right = cancel.left - 4;
        ok.left = ok.right - nWidth;
        ok.bottom = cancel.bottom;
        ok.top = cancel.top;
        MoveChild(hDialog, IDOK, ok);

        RECT list;
        if (GetChildRect(hDialog, lst1, list))
        {
            list.bottom = list.top + std::abs(list.top - cancel.top + 45) + 25;
            MoveChild(hDialog, lst1, list);
        }
        if (bHasName && bHasLabel)
        {
            RECT field = {label.left, cancel.bottom - (name.bottom - name.top), ok.left - 10, cancel.bottom};
            m_pFolderEdit->MoveWindow(&field);
            const int nLabelHeight = label.bottom - label.top;
            label = {label.left, field.top - 4 - nLabelHeight, label.right + 20, field.top - 4};
            MoveChild(hDialog, stc3, label);
        }
    }
    CenterWindow();
}

void CSelectFolderDialog::OnFolderChange()
{
    if (!m_hWnd)
        return;
    m_strFolder = CFileDialog::GetFolderPath();
    if (m_pFolderEdit && m_pFolderEdit->m_hWnd)
        m_pFolderEdit->SetWindowText(m_strFolder);
}

void CSelectFolderDialog::FollowSize()
{
    HWND hDialog = m_hWnd;
    RECT ok, field, label;
    if (!m_pFolderEdit || !m_pFolderEdit->m_hWnd || !GetChildRect(hDialog, IDOK, ok) ||
        !GetChildRect(hDialog, IDC_SELECT_FOLDER_EDIT, field))
        return;
    field.right = ok.left - 4;
    m_pFolderEdit->MoveWindow(&field);
    if (GetChildRect(hDialog, stc3, label))
    {
        const int nHeight = label.bottom - label.top;
        label.bottom = field.top - 4;
        label.top = label.bottom - nHeight;
        MoveChild(hDialog, stc3, label);
        ::InvalidateRect(::GetDlgItem(hDialog, stc3), nullptr, TRUE);
    }
}

LRESULT CALLBACK CSelectFolderDialog::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* pDlg = dynamic_cast<CSelectFolderDialog*>(CWnd::FromHandlePermanent(hWnd));
    if (!pDlg || !pDlg->m_pfnPrevious)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    // The system's own confirm handling would look for a file name.
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
    {
        ::EndDialog(hWnd, IDOK);
        return 0;
    }
    const LRESULT lResult = ::CallWindowProcA(pDlg->m_pfnPrevious, hWnd, message, wParam, lParam);
    if (message == WM_SIZE)
        pDlg->FollowSize();
    return lResult;
}
