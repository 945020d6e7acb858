#include "DvdGui/source/GuiHelpers.h"

#include "controls/custom/SelectFolderDialog.h"

void SelectFolder(CString& strResult, LPCTSTR lpszTitle, LPCTSTR lpszStartFolder)
{
    CSelectFolderDialog dlg(TRUE, lpszStartFolder, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr, AfxGetMainWnd());
    dlg.SetTitle(lpszTitle);
    if (dlg.DoModal() == IDOK)
        strResult = dlg.GetFolderPath();
    else
        strResult.Empty();
}

WINDOWPLACEMENT MinimizeMainWindow()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    CWnd* pMain = AfxGetMainWnd();
    if (!pMain || !pMain->m_hWnd)
        return placement;
    ::GetWindowPlacement(pMain->m_hWnd, &placement);
    WINDOWPLACEMENT minimized = placement;
    minimized.showCmd = SW_SHOWMINIMIZED;
    ::SetWindowPlacement(pMain->m_hWnd, &minimized);
    return placement;
}

void RestoreMainWindow(const WINDOWPLACEMENT& placement)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && pMain->m_hWnd && placement.length == sizeof(placement))
        ::SetWindowPlacement(pMain->m_hWnd, &placement);
}

DWORD_PTR GetComboSelectedData(const CComboBox& combo)
{
    const int nSelected = combo.GetCurSel();
    return nSelected < 0 ? DWORD_PTR(-1) : combo.GetItemData(nSelected);
}

bool SelectComboByData(CComboBox& combo, DWORD_PTR dwData)
{
    const int nCount = combo.GetCount();
    for (int i = 0; i < nCount; ++i)
    {
        if (combo.GetItemData(i) == dwData)
        {
            combo.SetCurSel(i);
            return true;
        }
    }
    combo.SetCurSel(0);
    return false;
}
