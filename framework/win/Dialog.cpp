#include "framework/win/Dialog.h"

#include "framework/core/CException.h"
#include "framework/win/WinThread.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_WM_CLOSE()
END_MESSAGE_MAP()

INT_PTR CALLBACK AfxDlgProc(HWND, UINT message, WPARAM, LPARAM)
{
    // WM_INITDIALOG reaches the object through the window procedure first;
    // here FALSE leaves the focus to what OnInitDialog answered.
    return FALSE;
}

// ---- data exchange ---------------------------------------------------------

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    return m_hWndLastControl;
}

void CDataExchange::Fail()
{
    if (m_hWndLastControl && ::IsWindow(m_hWndLastControl))
        ::SetFocus(m_hWndLastControl);
    throw new CUserException;
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!hWndCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
    {
        int nLen = ::GetWindowTextLengthA(hWndCtrl);
        ::GetWindowTextA(hWndCtrl, value.GetBuffer(nLen), nLen + 1);
        value.ReleaseBuffer();
    }
    else
    {
        ::SetWindowTextA(hWndCtrl, value);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!hWndCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
    {
        BOOL bOk = FALSE;
        int n = static_cast<int>(::GetDlgItemInt(pDX->m_pDlgWnd->m_hWnd, nIDC, &bOk, TRUE));
        if (!bOk)
        {
            ::MessageBoxA(pDX->m_pDlgWnd->m_hWnd, "Please enter an integer.", nullptr, MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = n;
    }
    else
    {
        ::SetDlgItemInt(pDX->m_pDlgWnd->m_hWnd, nIDC, static_cast<UINT>(value), TRUE);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!hWndCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

// ---- CDialog ---------------------------------------------------------------

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    // A modeless dialog still open goes with its object.
    if (m_hWnd && CWnd::FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

BOOL CDialog::CreateFromTemplate(LPCDLGTEMPLATEA lpTemplate, HWND hWndParent)
{
    if (!lpTemplate)
        return FALSE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamA(AfxGetResourceHandle(), lpTemplate, hWndParent, &AfxDlgProc, 0);
    if (!AfxUnhookWindowCreate())
    {
        // never attached: nothing of ours was made
        if (hWnd)
            ::DestroyWindow(hWnd);
        return FALSE;
    }
    if (!hWnd)
        return FALSE;
    return TRUE;
}

namespace
{
LPCDLGTEMPLATEA LoadDialogTemplate(LPCTSTR lpszTemplateName)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceA(hInst, lpszTemplateName, MAKEINTRESOURCEA(5));
    if (!hResource)
        return nullptr;
    HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
    return hTemplate ? static_cast<LPCDLGTEMPLATEA>(::LockResource(hTemplate)) : nullptr;
}
} // namespace

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    if (!pParentWnd)
        pParentWnd = AfxGetMainWnd();
    return CreateFromTemplate(LoadDialogTemplate(lpszTemplateName), pParentWnd->GetSafeHwnd());
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd, void*)
{
    if (!pParentWnd)
        pParentWnd = AfxGetMainWnd();
    return CreateFromTemplate(lpDialogTemplate, pParentWnd->GetSafeHwnd());
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    return lpDialogTemplate != nullptr;
}

HWND CDialog::PreModal()
{
    HWND hWnd = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (!hWnd)
    {
        CWnd* pMain = AfxGetMainWnd();
        hWnd = pMain ? pMain->GetSafeHwnd() : ::GetActiveWindow();
    }
    // The owner is a top-level window, never a child.
    while (hWnd && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    if (hWnd)
        hWnd = ::GetLastActivePopup(hWnd);
    m_hWndTop = hWnd;
    return hWnd;
}

void CDialog::PostModal()
{
    m_hWndTop = nullptr;
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATEA lpTemplate = m_lpDialogTemplate;
    if (!lpTemplate && m_lpszTemplateName)
        lpTemplate = LoadDialogTemplate(m_lpszTemplateName);
    if (!lpTemplate)
        return -1;

    HWND hWndParent = PreModal();
    BOOL bEnableParent = FALSE;
    if (hWndParent && hWndParent != ::GetDesktopWindow() && ::IsWindowEnabled(hWndParent))
    {
        ::EnableWindow(hWndParent, FALSE);
        bEnableParent = TRUE;
    }

    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    BOOL bCreated = FALSE;
    try
    {
        bCreated = CreateFromTemplate(lpTemplate, hWndParent);
    }
    catch (CException* e)
    {
        e->Delete();
        bCreated = FALSE;
    }
    if (bCreated && (m_nFlags & WF_CONTINUEMODAL))
    {
        // Shown when the queue first runs dry, unless already visible.
        DWORD dwFlags = MLF_SHOWONIDLE;
        if (GetStyle() & DS_NOIDLEMSG)
            dwFlags |= MLF_NOIDLEMSG;
        RunModalLoop(dwFlags);
    }
    m_nFlags &= ~WF_CONTINUEMODAL;

    // Hide before enabling the owner, so activation goes back to it.
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (bEnableParent)
        ::EnableWindow(hWndParent, TRUE);
    if (hWndParent && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndParent);
    if (m_hWnd)
        DestroyWindow();
    PostModal();
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    if (!m_hWnd)
        return;
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nResult);
    ::EndDialog(m_hWnd, nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    m_lInitDefault = Default();
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    // Controls show the members; a failure here is the dialog's problem
    // only, the box still opens.
    UpdateData(FALSE);
    return TRUE;
}

// CWnd's, defined beside the data exchange it runs.
BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try
    {
        DoDataExchange(&dx);
    }
    catch (CException* e)
    {
        if (!e->IsKindOf(RUNTIME_CLASS(CUserException)))
            e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnClose()
{
    // The close box of a dialog cancels it.
    OnCancel();
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // The dialog manager's keyboard handling (tab, Enter, Escape, mnemonics)
    // for the dialog's own messages.
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return PreTranslateInput(pMsg);
}

BOOL CDialog::CheckAutoCenter()
{
    // A template with a position of its own keeps it.
    return (GetStyle() & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) == 0;
}

// ---- CCommonDialog ---------------------------------------------------------

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)

BOOL CCommonDialog::OnInitDialog()
{
    // The system's code set the focus as it wanted.
    return static_cast<BOOL>(m_lInitDefault);
}

void CCommonDialog::OnOK()
{
    Default();
}

void CCommonDialog::OnCancel()
{
    Default();
}

UINT_PTR CALLBACK AfxCommDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    // The dialog's object gets every message through the framework's window
    // procedure; the hook only answers "not handled".
    return 0;
}
