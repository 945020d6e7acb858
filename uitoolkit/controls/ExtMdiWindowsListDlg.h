// CExtMdiWindowsListDlg: the resizable "Windows" dialog of an MDI frame. It
// lists the frame's visible MDI children with their icons and activates
// one, or saves, closes or minimises the selected ones, or cascades or tiles
// them. Its template (IDD_EXT_MDI_WINDOWS_LIST) is the toolkit's own.
#pragma once

#include "framework/win/Controls.h"
#include "uitoolkit/controls/ExtButton.h"
#include "uitoolkit/controls/ExtControlsRes.h"
#include "uitoolkit/controls/ExtLabel.h"
#include "uitoolkit/controls/ExtResizableDialog.h"
#include "uitoolkit/controls/ExtWFF.h"

class CMDIFrameWnd;

class CExtMdiWindowsListDlg : public CExtResizableDialog
{
public:
    CExtMdiWindowsListDlg(CMDIFrameWnd* pMDIFrame, CWnd* pParent = nullptr);

    // The framework reflects owner-draw messages to the control: the list
    // hands them back to the dialog, which draws its items.
    class CWindowsList : public CExtWFF<CListBox, 1, 1, 1>
    {
    public:
        CExtMdiWindowsListDlg* m_pDlg = nullptr;
        void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
        void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
        int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct) override;
    };

    CExtButton m_btnOk, m_btnTileVert, m_btnTileHorz, m_btnSave, m_btnMinimize, m_btnClose, m_btnCascade, m_btnActivate;
    CExtLabel m_labelSelect;
    CWindowsList m_listWindows;
    HICON m_hIcon = nullptr; // not owned
    HWND m_hWndMDIFrame = nullptr;
    HWND m_hWndMDIClient = nullptr;

    virtual void UpdateButtons();
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg int OnCompareItem(int nIDCtl, LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    afx_msg void OnSelChangeList();
    afx_msg void OnDblClkList();
    DECLARE_MESSAGE_MAP()

    void InitIcon(HWND hWndFrame);
    void FillList();
    void SelectActiveChild();

private:
    HWND ActiveChild() const;
    // Restores the selected windows and minimises the others, last first.
    void RestoreSelectedMinimiseOthers();
};
