#include "controls/custom/ModalPopupWnd.h"

namespace
{

// A popup created with this style bit runs its loop without WM_ENTERIDLE.
const DWORD kStyleNoIdleMessage = 0x100;

} // namespace

CString CModalPopupWnd::s_strClassName;

BEGIN_MESSAGE_MAP(CModalPopupWnd, CCustomWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_WM_CLOSE()
END_MESSAGE_MAP()

CModalPopupWnd::CModalPopupWnd(LPCTSTR lpszTitle, const RECT& rect, CWnd* pOwner)
    : CCustomWnd(s_strClassName), m_strTitle(lpszTitle), m_rect(rect), m_pOwner(pOwner)
{
}

int CModalPopupWnd::DoModal()
{
    if (!CreateEx(WS_EX_DLGMODALFRAME, m_strTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU, m_rect, m_pOwner, 0))
        return -1;

    // Block the whole owner chain: its top enabled window, which is the
    // popup itself when it has no owner.
    HWND hWndDisabled = m_hWnd;
    for (HWND hWndParent; (hWndParent = ::GetParent(hWndDisabled)) != nullptr && ::IsWindowEnabled(hWndParent);)
        hWndDisabled = hWndParent;
    ::EnableWindow(hWndDisabled, FALSE);
    EnableWindow(TRUE);

    DWORD dwFlags = MLF_SHOWONIDLE;
    if (GetStyle() & kStyleNoIdleMessage)
        dwFlags |= MLF_NOIDLEMSG;
    int nResult = -1;
    try
    {
        nResult = RunModalLoop(dwFlags);
    }
    catch (CException* e)
    {
        e->Delete();
        nResult = -1;
    }

    BOOL bWasActive = m_hWnd && ::GetActiveWindow() == m_hWnd;
    if (m_hWnd)
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
    ::EnableWindow(hWndDisabled, TRUE);
    // The owner gets the activation back; hiding may already have handed it
    // elsewhere, hence the check from before the hide as well.
    if (hWndDisabled != m_hWnd && (bWasActive || (m_hWnd && ::GetActiveWindow() == m_hWnd)))
        ::SetActiveWindow(hWndDisabled);
    if (m_hWnd)
        DestroyWindow();
    return nResult;
}

void CModalPopupWnd::OnOK()
{
    if (UpdateData(TRUE))
        EndModal(IDOK);
}

void CModalPopupWnd::OnCancel()
{
    EndModal(IDCANCEL);
}

void CModalPopupWnd::EndModal(int nResult)
{
    if (m_nFlags & WF_MODALLOOP)
        EndModalLoop(nResult);
}

void CModalPopupWnd::OnClose()
{
    OnCancel();
}
