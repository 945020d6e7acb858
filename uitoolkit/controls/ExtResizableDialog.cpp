#include "uitoolkit/controls/ExtResizableDialog.h"

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

void CExtResizableDialog::PreSubclassWindow()
{
    CExtWA<CExtWS<CExtResDlg, 301>>::PreSubclassWindow();
    EnableToolTips(TRUE);
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
