// The colour dialog: a large picker whose mode comes from a drop-down list,
// a difference view with the new colour above the initial one, and nine
// numeric fields for the RGB, CMY and HLS components. Every part follows
// every other; after IDOK m_clrNew is the chosen colour.
#pragma once

#include "framework/win/Controls.h"
#include "uitoolkit/controls/ExtButton.h"
#include "uitoolkit/controls/ExtColorCtrl.h"
#include "uitoolkit/controls/ExtComboBox.h"
#include "uitoolkit/controls/ExtLabel.h"
#include "uitoolkit/controls/ExtResizableDialog.h"
#include "uitoolkit/core/ExtColorDlgRules.h"

class CExtColorDlg : public CExtResizableDialog
{
public:
    enum
    {
        IDD = 30001,
        IDC_MODE = 30014,
        IDC_PICKER = 30013,
        IDC_DIFF = 30027,
        IDC_RED = 30016,
        IDC_GREEN = 30018,
        IDC_BLUE = 30020,
        IDC_HUE = 30022,
        IDC_SATURATION = 30024,
        IDC_LIGHTNESS = 30026,
        IDC_CYAN = 30031,
        IDC_MAGENTA = 30040,
        IDC_YELLOW = 30043,
        IDS_RANGE_ERROR = 30002,
    };

    CExtColorDlg(COLORREF clrInitial, COLORREF clrNew, CWnd* pParent = nullptr);
    ~CExtColorDlg() override;

    INT_PTR DoModal() override;

    COLORREF m_clrInitial;
    COLORREF m_clrNew;
    CString m_strCaption;
    CSpinButtonCtrl m_arrSpins[9];
    CEdit m_arrEdits[9];
    CExtComboBox m_comboMode;
    CExtButton m_btnCancel, m_btnOK;
    CExtLabel m_arrLabels[12];
    bool m_bInitialised = false;
    bool m_bUpdating = false;
    HICON m_hIcon;
    CExtColorCtrl m_wndPicker{0};
    CExtColorCtrl m_wndDiff{CExtColorCtrl::MODE_DIFF};

protected:
    BOOL OnInitDialog() override;

    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnModeSelEndOK();
    afx_msg LRESULT OnColorChanged(WPARAM wParam, LPARAM lParam);
    afx_msg void OnRgbChanged();
    afx_msg void OnCmyChanged();
    afx_msg void OnHlsChanged();
    DECLARE_MESSAGE_MAP()

private:
    void UpdateFields(COLORREF clr, bool bRgb, bool bCmy, bool bHls);
    void OnFieldsChanged(CExtColorDlgRules::e_group_t eGroup);
};
