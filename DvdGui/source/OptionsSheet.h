// The options sheet: the pages "Import/Export" and "Format" over the
// skinned controls. Each page reads its options when it is made and writes
// them only when told to save, so Cancel leaves the registry as it was.
#pragma once

#include "DvdGui/source/Options.h"
#include "controls/custom/SkinControls.h"
#include "uitoolkit/controls/ExtResizablePropertySheet.h"

class COptionsFormatPage : public CExtResizablePropertyPage
{
public:
    COptionsFormatPage();

    void Save();

    // What the page shows, kept while it lives.
    CFontInfo m_font;
    int m_nTargetSize;
    int m_nCustomTargetSize;
    bool m_bSkipBlankFrames;
    int m_nButtonLinkPointers;
    bool m_bShowSizes;
    bool m_bShowPreviewInfo;
    int m_nRevisionLimit;

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnTargetSizeChoice();
    afx_msg void OnTargetSizeEdit();
    afx_msg void OnShowSizes();
    afx_msg void OnSkipBlankFrames();
    afx_msg void OnShowPreviewInfo();
    afx_msg void OnButtonLinkPointers();
    afx_msg void OnRevisionLimit();
    afx_msg void OnChangeFont();
    afx_msg void OnResetFont();
    DECLARE_MESSAGE_MAP()

private:
    void ShowSampleFont();

    CSkinGroupBox m_groups[5];
    CSkinCheckBox m_checkShowSizes, m_checkSkipBlank, m_checkShowInfo;
    CSkinComboBox m_comboTargetSize, m_comboButtonLinks, m_comboRevisions;
    CSkinEdit m_editTargetSize;
    CExtButton m_buttonChange, m_buttonReset;
};

class COptionsImportExportPage : public CExtResizablePropertyPage
{
public:
    COptionsImportExportPage();

    void Save();

    CString m_strImportFolder;
    CString m_strExportFolder;
    CString m_strTestExportFolder;
    CString m_strModifiedExportFolder;
    bool m_bCutMotionMenus;
    int m_nSceneCutDuration;
    int m_nMenuCutDuration;
    int m_nBovDuration;
    bool m_bAutoBypass;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

private:
    struct FolderRow
    {
        UINT nEdit;
        UINT nButton;
        CString COptionsImportExportPage::*pFolder;
        LPCTSTR lpszTitle;
    };
    static const FolderRow s_folders[4];

    CSkinGroupBox m_groups[4];
    CSkinComboBox m_comboBovDuration;
    CSkinCheckBox m_checkAutoBypass, m_checkCutMotionMenus;
    CSkinEdit m_editSceneCut, m_editMenuCut;
    CSkinEdit m_editFolders[4];
    CExtButton m_buttonSelect[4];
};

class COptionsSheet : public CExtResizablePropertySheet
{
public:
    explicit COptionsSheet(CWnd* pParentWnd = nullptr);

    // Writes both pages' options (after OK).
    void SavePages();

    COptionsFormatPage m_pageFormat;
    COptionsImportExportPage m_pageImportExport;

protected:
    BOOL OnInitDialog() override;
    // As wide as the desktop at most, never taller than at first;
    // maximised, the whole desktop.
    void InitLayout() override;
};

// The options command: the sheet, and on OK the options saved and applied
// and every view of every open document updated.
void RunOptionsSheet(CWnd* pParentWnd);
