#include "DvdGui/source/WindowsListDlg.h"

void CWindowsListDlg::UpdateButtons()
{
    CExtMdiWindowsListDlg::UpdateButtons();
    if (CWnd* pSave = GetDlgItem(IDC_EXT_MDI_SAVE))
        pSave->ShowWindow(SW_HIDE);
}
