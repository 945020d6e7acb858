// CDialog: a dialog box from a template, modal through the framework's own
// loop (so PreTranslateMessage and idle updates run) or modeless.
//
// The dialog's window is attached to its object by the creation hook before
// WM_INITDIALOG; the system's dialog procedure stays underneath for the
// default processing.
#pragma once

#include "framework/win/Wnd.h"

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate; // TRUE: controls to members
    CWnd* m_pDlgWnd;
    // Remembers the control that failed validation, for the focus.
    HWND PrepareCtrl(int nIDC);
    // Ends validation: the failing control gets the focus, and the
    // CUserException thrown makes UpdateData fail.
    void Fail();

private:
    HWND m_hWndLastControl = nullptr;
};

// Plain exchange of texts and numbers with controls.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless.
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
    {
        return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
    }
    // lpDialogInit: initial data of OLE controls, which the program has none of.
    virtual BOOL CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd = nullptr,
                                void* lpDialogInit = nullptr);
    // Modal: from the template name, or from the in-memory template when
    // InitModalIndirect gave one. Returns the EndDialog result, -1 on failure.
    virtual INT_PTR DoModal();
    BOOL InitModalIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
    void GotoDlgCtrl(CWnd* pWndCtrl) { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, (WPARAM)pWndCtrl->GetSafeHwnd(), 1); }
    void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
    DWORD GetDefID() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL CheckAutoCenter() override;

    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);
    afx_msg void OnClose();

    LPCTSTR m_lpszTemplateName = nullptr;
    UINT m_nIDHelp = 0;
    LPCDLGTEMPLATEA m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;
    HWND m_hWndTop = nullptr;

protected:
    // What the system's dialog code answered to WM_INITDIALOG, for common
    // dialogs whose own code decides the focus.
    LRESULT m_lInitDefault = 0;
    // The window that owns the dialog: the parent given, else the main
    // window, never a child.
    HWND PreModal();
    void PostModal();
    BOOL CreateFromTemplate(LPCDLGTEMPLATEA lpTemplate, HWND hWndParent);

    DECLARE_MESSAGE_MAP()
};

// The base of the system's common dialogs: OK and Cancel are the system
// dialog's own business, and the hook procedures find the object through
// the dialog window, which the creation hook attached.
class CCommonDialog : public CDialog
{
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd) : CDialog(static_cast<LPCTSTR>(nullptr), pParentWnd) {}

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    // Runs the system's dialog function with the creation hook armed, the
    // owner disabled meanwhile as for any modal box.
    template <class Fn>
    BOOL RunSystemDialog(Fn&& fn)
    {
        HWND hWndOwner = PreModal();
        AfxHookWindowCreate(this);
        BOOL bResult = fn(hWndOwner);
        AfxUnhookWindowCreate();
        PostModal();
        // The dialog window is gone; its object may be reused.
        if (m_hWnd)
            Detach();
        return bResult;
    }
};

// The hook procedure of the common dialogs: notifications go to the object
// of the dialog window.
UINT_PTR CALLBACK AfxCommDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog procedure under every framework dialog: the framework's window
// procedure does the work, this only answers the dialog manager.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
