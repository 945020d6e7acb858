#include "uitoolkit/controls/ExtResizableDialog.h"

#include "framework/win/WinThread.h"
#include "uitoolkit/docking/ExtControlBar.h"

IMPLEMENT_DYNCREATE(CExtResizableDialog, CExtResDlg)

// Empty, so that a derived class without a map of its own is not taken for
// one that paints or erases itself.
BEGIN_MESSAGE_MAP(CExtResizableDialog, CExtResDlg)
END_MESSAGE_MAP()

CExtResizableDialog::CExtResizableDialog()
{
    m_bShowGripper = true;
}

CExtResizableDialog::CExtResizableDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : CExtWA<CExtWS<CExtResDlg, 301>>(nIDTemplate, pParentWnd)
{
    m_bShowGripper = true;
}

LRESULT CExtHostedBarsIdleUpdate::Process(CWnd* pHost, UINT message, const std::function<LRESULT()>& process)
{
    if (message == WM_DESTROY)
        m_bWindowAlive = false;
    const bool bIdle = m_bWindowAlive && AfxIsIdleMessage(AfxGetCurrentMessage()) != FALSE;
    const HWND hWnd = pHost->m_hWnd;
    const LRESULT lResult = process();
    // the message may have destroyed the window together with its object
    if (!bIdle || !::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != pHost || m_bInIdleUpdate)
        return lResult;
    m_bInIdleUpdate = true;
    CExtControlBar::UpdateChildBarsCmdUI(pHost, TRUE);
    m_bInIdleUpdate = false;
    return lResult;
}

void CExtResizableDialog::PreSubclassWindow()
{
    CExtWA<CExtWS<CExtResDlg, 301>>::PreSubclassWindow();
    m_hostedBars.OnAttached();
    EnableToolTips(TRUE);
}

LRESULT CExtResizableDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_hostedBars.Process(this, message,
                                [&]() { return CExtWA<CExtWS<CExtResDlg, 301>>::WindowProc(message, wParam, lParam); });
}

BOOL CExtResizableDialog::PreTranslateMessage(MSG* pMsg)
{
    // the keyboard messages, up to the first WM_KEYLAST
    if (pMsg->message >= WM_KEYDOWN && pMsg->message <= 0x108 && pMsg->wParam != VK_TAB &&
        (GetStyle() & (WS_CHILD | WS_VISIBLE)) == (WS_CHILD | WS_VISIBLE))
    {
        CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
        if (pParent != nullptr &&
            (pParent->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ||
             pParent->IsKindOf(RUNTIME_CLASS(CExtDynAutoHideSlider))) &&
            pParent->PreTranslateMessage(pMsg))
            return TRUE;
    }
    if (CExtControlBar::PreTranslateChildBars(this, pMsg))
        return TRUE;
    return CExtWA<CExtWS<CExtResDlg, 301>>::PreTranslateMessage(pMsg);
}

void CExtResizableDialog::OnOK()
{
    if ((GetStyle() & WS_CHILD) == 0)
        CExtWA<CExtWS<CExtResDlg, 301>>::OnOK();
}

void CExtResizableDialog::OnCancel()
{
    if ((GetStyle() & WS_CHILD) == 0)
        CExtWA<CExtWS<CExtResDlg, 301>>::OnCancel();
}
