// The choice of the two projects to merge. Every change of the choice runs
// the disc model's merge check; "Merge" is enabled exactly when it passes,
// and the status box says why it does not.
#pragma once

#include "DVD/source/DVD.h"
#include "controls/custom/SkinControls.h"
#include "framework/win/DocTemplate.h"
#include "uitoolkit/controls/ExtButton.h"
#include "uitoolkit/controls/ExtResizableDialog.h"

class CMergeDlg : public CExtResizableDialog
{
public:
    CMergeDlg(CDocTemplate* pTemplate, CWnd* pParentWnd);

    BOOL OnInitDialog() override;

    // The chosen discs, in list order; read after the dialog closed.
    CDvdDiscArray m_selection;

protected:
    afx_msg void OnSelChange();
    DECLARE_MESSAGE_MAP()

private:
    void RunCheck();

    CDocTemplate* m_pTemplate;
    CSkinComboBox m_wndDisk1;
    CSkinComboBox m_wndDisk2;
    CSkinEdit m_wndStatus;
    CExtButton m_wndMerge;
    CExtButton m_wndCancel;
};
