#include "DvdGui/source/OptionsSheet.h"

#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/Resource.h"
#include "framework/win/DocTemplate.h"
#include "framework/win/Document.h"

#include <climits>
#include <cstdlib>
#include <iterator>

namespace
{
// Format page
constexpr UINT IDC_SHOW_SIZES = 1051;
constexpr UINT IDC_TARGET_SIZE_CHOICE = 1001;
constexpr UINT IDC_TARGET_SIZE = 1002;
constexpr UINT IDC_SKIP_BLANK = 1026;
constexpr UINT IDC_SHOW_INFO = 1052;
constexpr UINT IDC_BUTTON_LINKS = 1003;
constexpr UINT IDC_REVISIONS = 1004;
constexpr UINT IDC_FONT_SAMPLE = 1041;
constexpr UINT IDC_FONT_CHANGE = 1040;
constexpr UINT IDC_FONT_RESET = 1042;
constexpr UINT kFormatGroups[5] = {1027, 1031, 1033, 1034, 1039};
// Import/Export page
constexpr UINT IDC_BOV_DURATION = 1004;
constexpr UINT IDC_AUTO_BYPASS = 1012;
constexpr UINT IDC_SCENE_CUT = 1009;
constexpr UINT IDC_CUT_MENUS = 1003;
constexpr UINT IDC_MENU_CUT = 1010;
constexpr UINT kImportExportGroups[4] = {1060, 1061, 1065, 1046};

struct ComboItem
{
    LPCTSTR lpszText;
    int nValue;
};
constexpr ComboItem kButtonLinkItems[] = {{"don't show", 0}, {"center", 1}, {"inside", 2}, {"outside", 3}};
constexpr ComboItem kRevisionItems[] = {{"don't keep", 0}, {"1", 1},   {"5", 5},    {"10", 10},
                                        {"25", 25},        {"50", 50}, {"100", 100}};
constexpr ComboItem kBovItems[] = {{".5 sec", 1}, {"1.5 sec", 3}, {"3 sec", 6},
                                   {"9 sec", 18}, {"15 sec", 30}, {"no BOV", BOV_DURATION_NO_SEARCH}};

template <size_t N>
void FillCombo(CComboBox& combo, const ComboItem (&items)[N])
{
    for (const ComboItem& item : items)
        combo.SetItemData(combo.AddString(item.lpszText), static_cast<DWORD_PTR>(item.nValue));
}

// The whole text as a positive number, else 0.
int PositiveNumber(const CString& sText)
{
    if (sText.IsEmpty())
        return 0;
    char* pEnd = nullptr;
    const long n = std::strtol(sText, &pEnd, 10);
    return *pEnd == '\0' && n > 0 && n <= INT_MAX ? static_cast<int>(n) : 0;
}

void WriteInt(LPCTSTR lpszKey, int nValue)
{
    AfxGetApp()->WriteProfileInt(OPTIONS_SECTION, lpszKey, nValue);
}
void WriteText(LPCTSTR lpszKey, LPCTSTR lpszValue)
{
    AfxGetApp()->WriteProfileString(OPTIONS_SECTION, lpszKey, lpszValue);
}
} // namespace

// ---- Format page ----------------------------------------------------------------

BEGIN_MESSAGE_MAP(COptionsFormatPage, CExtResizablePropertyPage)
ON_CBN_SELCHANGE(IDC_TARGET_SIZE_CHOICE, OnTargetSizeChoice)
ON_EN_CHANGE(IDC_TARGET_SIZE, OnTargetSizeEdit)
ON_BN_CLICKED(IDC_SHOW_SIZES, OnShowSizes)
ON_BN_CLICKED(IDC_SKIP_BLANK, OnSkipBlankFrames)
ON_BN_CLICKED(IDC_SHOW_INFO, OnShowPreviewInfo)
ON_CBN_SELCHANGE(IDC_BUTTON_LINKS, OnButtonLinkPointers)
ON_CBN_SELCHANGE(IDC_REVISIONS, OnRevisionLimit)
ON_BN_CLICKED(IDC_FONT_CHANGE, OnChangeFont)
ON_BN_CLICKED(IDC_FONT_RESET, OnResetFont)
END_MESSAGE_MAP()

COptionsFormatPage::COptionsFormatPage()
    : CExtResizablePropertyPage(IDD_OPTIONS_FORMAT), m_nTargetSize(GetOptionTargetSize()),
      m_nCustomTargetSize(m_nTargetSize), m_bSkipBlankFrames(GetOptionSkipBlankFrames()),
      m_nButtonLinkPointers(GetOptionButtonLinkPointers()), m_bShowSizes(GetOptionShowSizes()),
      m_bShowPreviewInfo(GetOptionShowPreviewInfo()), m_nRevisionLimit(GetOptionRevisionLimit())
{
    m_font.Assign(GetOptionFont());
}

BOOL COptionsFormatPage::OnInitDialog()
{
    const BOOL bResult = CExtResizablePropertyPage::OnInitDialog();
    for (int i = 0; i < 5; ++i)
    {
        m_groups[i].SubclassDlgItem(kFormatGroups[i], this);
        AddAnchor(kFormatGroups[i], g_szAnchorTopLeft, g_szAnchorTopRight);
    }
    m_checkShowSizes.SubclassDlgItem(IDC_SHOW_SIZES, this);
    m_checkSkipBlank.SubclassDlgItem(IDC_SKIP_BLANK, this);
    m_checkShowInfo.SubclassDlgItem(IDC_SHOW_INFO, this);
    m_comboTargetSize.SubclassDlgItem(IDC_TARGET_SIZE_CHOICE, this);
    m_comboButtonLinks.SubclassDlgItem(IDC_BUTTON_LINKS, this);
    m_comboRevisions.SubclassDlgItem(IDC_REVISIONS, this);
    m_editTargetSize.SubclassDlgItem(IDC_TARGET_SIZE, this);
    m_buttonChange.SubclassDlgItem(IDC_FONT_CHANGE, this);
    m_buttonReset.SubclassDlgItem(IDC_FONT_RESET, this);
    AddAnchor(IDC_FONT_SAMPLE, g_szAnchorTopLeft, g_szAnchorTopRight);
    AddAnchor(IDC_FONT_CHANGE, g_szAnchorTopRight);
    AddAnchor(IDC_FONT_RESET, g_szAnchorTopRight);

    m_comboTargetSize.AddString("DVD5");
    m_comboTargetSize.AddString("Custom");
    SetDlgItemInt(IDC_TARGET_SIZE, static_cast<UINT>(m_nTargetSize), FALSE);
    m_comboTargetSize.SetCurSel(m_nTargetSize == TARGET_SIZE_DVD5 ? 0 : 1);
    OnTargetSizeChoice();

    ShowSampleFont();
    m_checkSkipBlank.SetCheck(m_bSkipBlankFrames ? 1 : 0);
    m_checkShowSizes.SetCheck(m_bShowSizes ? 1 : 0);
    m_checkShowInfo.SetCheck(m_bShowPreviewInfo ? 1 : 0);

    FillCombo(m_comboButtonLinks, kButtonLinkItems);
    SelectComboByData(m_comboButtonLinks, static_cast<DWORD_PTR>(m_nButtonLinkPointers));
    FillCombo(m_comboRevisions, kRevisionItems);
    if (!SelectComboByData(m_comboRevisions, static_cast<DWORD_PTR>(m_nRevisionLimit)))
        m_nRevisionLimit = static_cast<int>(GetComboSelectedData(m_comboRevisions));
    return bResult;
}

void COptionsFormatPage::OnTargetSizeChoice()
{
    const bool bCustom = m_comboTargetSize.GetCurSel() == 1;
    CString sText;
    GetDlgItemText(IDC_TARGET_SIZE, sText);
    const int nShown = PositiveNumber(sText);
    if (nShown != 0 && nShown != TARGET_SIZE_DVD5)
        m_nCustomTargetSize = nShown;
    m_nTargetSize = bCustom ? m_nCustomTargetSize : TARGET_SIZE_DVD5;
    m_editTargetSize.EnableWindow(bCustom);
    SetDlgItemInt(IDC_TARGET_SIZE, static_cast<UINT>(m_nTargetSize), FALSE);
}

void COptionsFormatPage::OnTargetSizeEdit()
{
    CString sText;
    GetDlgItemText(IDC_TARGET_SIZE, sText);
    // an empty, zero or non-numeric entry would mark every disc oversize
    if (const int nSize = PositiveNumber(sText))
        m_nTargetSize = nSize;
}

void COptionsFormatPage::OnShowSizes()
{
    m_bShowSizes = !m_bShowSizes;
    m_checkShowSizes.SetCheck(m_bShowSizes ? 1 : 0);
}

void COptionsFormatPage::OnSkipBlankFrames()
{
    m_bSkipBlankFrames = !m_bSkipBlankFrames;
    m_checkSkipBlank.SetCheck(m_bSkipBlankFrames ? 1 : 0);
}

void COptionsFormatPage::OnShowPreviewInfo()
{
    m_bShowPreviewInfo = !m_bShowPreviewInfo;
    m_checkShowInfo.SetCheck(m_bShowPreviewInfo ? 1 : 0);
}

void COptionsFormatPage::OnButtonLinkPointers()
{
    m_nButtonLinkPointers = static_cast<int>(GetComboSelectedData(m_comboButtonLinks));
}

void COptionsFormatPage::OnRevisionLimit()
{
    m_nRevisionLimit = static_cast<int>(GetComboSelectedData(m_comboRevisions));
}

void COptionsFormatPage::ShowSampleFont()
{
    if (CWnd* pSample = GetDlgItem(IDC_FONT_SAMPLE))
    {
        pSample->SetFont(&m_font);
        pSample->Invalidate();
    }
}

void COptionsFormatPage::OnChangeFont()
{
    if (m_font.DoFontDialog(nullptr, this))
        ShowSampleFont();
}

void COptionsFormatPage::OnResetFont()
{
    m_font.CreateStockFont(DEFAULT_GUI_FONT);
    ShowSampleFont();
}

void COptionsFormatPage::Save()
{
    WriteInt("SZ", m_nTargetSize);
    WriteInt("SB", m_bSkipBlankFrames ? 1 : 0);
    GetOptionFont().Assign(m_font);
    WriteText("FNT", m_font.ToString());
    WriteInt("BLDP", m_nButtonLinkPointers);
    WriteInt("OPSS", m_bShowSizes ? 1 : 0);
    WriteInt("OPSPI", m_bShowPreviewInfo ? 1 : 0);
    WriteInt("REV", m_nRevisionLimit);
}

// ---- Import/Export page ----------------------------------------------------------

BEGIN_MESSAGE_MAP(COptionsImportExportPage, CExtResizablePropertyPage)
END_MESSAGE_MAP()

const COptionsImportExportPage::FolderRow COptionsImportExportPage::s_folders[4] = {
    {1007, 1043, &COptionsImportExportPage::m_strImportFolder, "Select default directory for DVD import"},
    {1011, 1044, &COptionsImportExportPage::m_strExportFolder, "Select default directory for DVD export"},
    {1013, 1045, &COptionsImportExportPage::m_strTestExportFolder, "Select default directory for test DVD export"},
    {1058, 1055, &COptionsImportExportPage::m_strModifiedExportFolder,
     "Select default directory for modified files export"},
};

COptionsImportExportPage::COptionsImportExportPage()
    : CExtResizablePropertyPage(IDD_OPTIONS_IMPORT_EXPORT), m_strImportFolder(GetOptionImportFolder()),
      m_strExportFolder(GetOptionExportFolder()), m_strTestExportFolder(GetOptionTestExportFolder()),
      m_strModifiedExportFolder(GetOptionModifiedExportFolder()), m_bCutMotionMenus(GetOptionCutMotionMenus()),
      m_nSceneCutDuration(GetOptionSceneCutDuration()), m_nMenuCutDuration(GetOptionMenuCutDuration()),
      m_nBovDuration(GetOptionBovDuration()), m_bAutoBypass(GetOptionAutoBypass())
{
}

BOOL COptionsImportExportPage::OnInitDialog()
{
    const BOOL bResult = CExtResizablePropertyPage::OnInitDialog();
    for (int i = 0; i < 4; ++i)
    {
        m_groups[i].SubclassDlgItem(kImportExportGroups[i], this);
        AddAnchor(kImportExportGroups[i], g_szAnchorTopLeft, g_szAnchorTopRight);
    }
    m_comboBovDuration.SubclassDlgItem(IDC_BOV_DURATION, this);
    m_checkAutoBypass.SubclassDlgItem(IDC_AUTO_BYPASS, this);
    m_checkCutMotionMenus.SubclassDlgItem(IDC_CUT_MENUS, this);
    m_editSceneCut.SubclassDlgItem(IDC_SCENE_CUT, this);
    m_editMenuCut.SubclassDlgItem(IDC_MENU_CUT, this);
    for (int i = 0; i < 4; ++i)
    {
        m_editFolders[i].SubclassDlgItem(s_folders[i].nEdit, this);
        m_buttonSelect[i].SubclassDlgItem(s_folders[i].nButton, this);
        AddAnchor(s_folders[i].nEdit, g_szAnchorTopLeft, g_szAnchorTopRight);
        AddAnchor(s_folders[i].nButton, g_szAnchorTopRight);
    }

    // the edits' change notices store what they show, so fill them first
    SetDlgItemInt(IDC_SCENE_CUT, static_cast<UINT>(m_nSceneCutDuration), FALSE);
    SetDlgItemInt(IDC_MENU_CUT, static_cast<UINT>(m_nMenuCutDuration), FALSE);
    m_checkCutMotionMenus.SetCheck(m_bCutMotionMenus ? 1 : 0);
    m_editMenuCut.EnableWindow(m_bCutMotionMenus);
    FillCombo(m_comboBovDuration, kBovItems);
    int nItem = 0;
    while (nItem + 1 < static_cast<int>(std::size(kBovItems)) && m_nBovDuration > kBovItems[nItem].nValue)
        ++nItem;
    m_comboBovDuration.SetCurSel(nItem);
    m_checkAutoBypass.SetCheck(m_bAutoBypass ? 1 : 0);
    for (const FolderRow& row : s_folders)
        SetDlgItemText(row.nEdit, this->*row.pFolder);
    return bResult;
}

BOOL COptionsImportExportPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nId = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    if (nCode == EN_CHANGE && (nId == IDC_SCENE_CUT || nId == IDC_MENU_CUT))
        (nId == IDC_SCENE_CUT ? m_nSceneCutDuration : m_nMenuCutDuration) =
            static_cast<int>(GetDlgItemInt(nId, nullptr, FALSE));
    else if (nCode == BN_CLICKED && nId == IDC_CUT_MENUS)
    {
        m_bCutMotionMenus = m_checkCutMotionMenus.GetCheck() != 0;
        m_editMenuCut.EnableWindow(m_bCutMotionMenus);
    }
    else if (nCode == BN_CLICKED && nId == IDC_AUTO_BYPASS)
        m_bAutoBypass = m_checkAutoBypass.GetCheck() != 0;
    else if (nCode == CBN_SELCHANGE && nId == IDC_BOV_DURATION)
        m_nBovDuration = static_cast<int>(GetComboSelectedData(m_comboBovDuration));
    for (const FolderRow& row : s_folders)
    {
        if (nCode == EN_CHANGE && nId == row.nEdit)
            GetDlgItemText(row.nEdit, this->*row.pFolder);
        else if (nCode == BN_CLICKED && nId == row.nButton)
        {
            CString sChosen;
            SelectFolder(sChosen, row.lpszTitle, this->*row.pFolder);
            if (!sChosen.IsEmpty())
                SetDlgItemText(row.nEdit, sChosen); // its change notice stores it
        }
    }
    return CExtResizablePropertyPage::OnCommand(wParam, lParam);
}

void COptionsImportExportPage::Save()
{
    WriteInt("DUR", m_nSceneCutDuration);
    WriteInt("CUT", m_bCutMotionMenus ? 1 : 0);
    WriteInt("MDUR", m_nMenuCutDuration);
    WriteInt("INC", m_nBovDuration);
    WriteInt("ABP", m_bAutoBypass ? 1 : 0);
    WriteText("IMP", m_strImportFolder);
    WriteText("EXP", m_strExportFolder);
    WriteText("EXPTST", m_strTestExportFolder);
    WriteText("EXPMOD", m_strModifiedExportFolder);
}

// ---- the sheet -------------------------------------------------------------------

COptionsSheet::COptionsSheet(CWnd* pParentWnd) : CExtResizablePropertySheet(0, pParentWnd)
{
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    AddPage(&m_pageImportExport);
    AddPage(&m_pageFormat);
}

BOOL COptionsSheet::OnInitDialog()
{
    const BOOL bResult = CExtResizablePropertySheet::OnInitDialog();
    SetWindowText("Kestrelux options");
    return bResult;
}

void COptionsSheet::InitLayout()
{
    CRect rcDesktop;
    ::GetClientRect(::GetDesktopWindow(), &rcDesktop);
    m_szMaxTrack = CSize(rcDesktop.Width(), m_szInitial.cy);
    m_ptMaxPos = rcDesktop.TopLeft();
    m_szMaxSize = rcDesktop.Size();
    CExtResizablePropertySheet::InitLayout();
}

void COptionsSheet::SavePages()
{
    m_pageFormat.Save();
    m_pageImportExport.Save();
}

void RunOptionsSheet(CWnd* pParentWnd)
{
    COptionsSheet sheet(pParentWnd);
    if (sheet.DoModal() != IDOK)
        return;
    sheet.SavePages();
    ApplyOptions();
    CWinApp* pApp = AfxGetApp();
    for (POSITION posTemplate = pApp->GetFirstDocTemplatePosition(); posTemplate != nullptr;)
    {
        CDocTemplate* pTemplate = pApp->GetNextDocTemplate(posTemplate);
        for (POSITION posDoc = pTemplate->GetFirstDocPosition(); posDoc != nullptr;)
            pTemplate->GetNextDoc(posDoc)->UpdateAllViews(nullptr);
    }
}
