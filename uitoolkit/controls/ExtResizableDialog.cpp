#include "uitoolkit/controls/ExtResizableDialog.h"

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
