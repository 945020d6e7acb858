#include "DvdGui/source/MergeDlg.h"

#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/Resource.h"

BEGIN_MESSAGE_MAP(CMergeDlg, CExtResizableDialog)
ON_CBN_SELCHANGE(IDC_MERGE_DISK1, OnSelChange)
ON_CBN_SELCHANGE(IDC_MERGE_DISK2, OnSelChange)
END_MESSAGE_MAP()

CMergeDlg::CMergeDlg(CDocTemplate* pTemplate, CWnd* pParentWnd)
    : CExtResizableDialog(IDD_MERGE, pParentWnd), m_pTemplate(pTemplate)
{
}

BOOL CMergeDlg::OnInitDialog()
{
    CExtResizableDialog::OnInitDialog();
    m_wndDisk1.SubclassDlgItem(IDC_MERGE_DISK1, this);
    m_wndDisk2.SubclassDlgItem(IDC_MERGE_DISK2, this);
    m_wndStatus.SubclassDlgItem(IDC_MERGE_STATUS, this);
    m_wndMerge.SubclassDlgItem(IDOK, this);
    m_wndCancel.SubclassDlgItem(IDCANCEL, this);

    AddAnchor(IDC_MERGE_DISK1, CSize(0, 0), CSize(100, 0));
    AddAnchor(IDC_MERGE_DISK2, CSize(0, 0), CSize(100, 0));
    AddAnchor(IDC_MERGE_STATUS, CSize(0, 0), CSize(100, 100));
    AddAnchor(IDOK, CSize(100, 100), CSize(100, 100));
    AddAnchor(IDCANCEL, CSize(100, 100), CSize(100, 100));
    EnableSaveRestore("Wnds", "Merge Dlg");

    POSITION pos = m_pTemplate->GetFirstDocPosition();
    while (pos)
    {
        auto* pDoc = dynamic_cast<CDvdDoc*>(m_pTemplate->GetNextDoc(pos));
        if (!pDoc)
            continue;
        CDvd* pDvd = &pDoc->GetCurrentDvd();
        m_wndDisk1.SetItemData(m_wndDisk1.AddString(pDoc->GetTitle()), DWORD_PTR(pDvd));
        m_wndDisk2.SetItemData(m_wndDisk2.AddString(pDoc->GetTitle()), DWORD_PTR(pDvd));
    }
    m_wndDisk1.SetCurSel(0);
    m_wndDisk2.SetCurSel(1);
    RunCheck();
    return TRUE;
}

void CMergeDlg::OnSelChange()
{
    RunCheck();
}

void CMergeDlg::RunCheck()
{
    m_selection.SetSize(0);
    for (CSkinComboBox* pList : {&m_wndDisk1, &m_wndDisk2})
    {
        const DWORD_PTR dwData = GetComboSelectedData(*pList);
        if (dwData != DWORD_PTR(-1))
            m_selection.Add(reinterpret_cast<CDvd*>(dwData));
    }
    CString strStatus;
    bool bOk;
    // One project chosen twice is no pair to merge.
    if (m_selection.GetSize() == 2 && m_selection[0] == m_selection[1])
    {
        strStatus = "Select two disks for merger.\r\n";
        bOk = false;
    }
    else
        bOk = CDvd::CheckMerge(m_selection, strStatus);
    m_wndMerge.EnableWindow(bOk);
    m_wndStatus.SetWindowText(strStatus);
}
