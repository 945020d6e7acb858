#include "uitoolkit/controls/ExtColorDlg.h"

#include "framework/win/MessageBox.h"
#include "uitoolkit/commands/ExtResourceManager.h"

#include <cstdio>

namespace
{

// The fields of each group, in the order the rules read them.
const int kGroupFields[3][3] = {
    {CExtColorDlg::IDC_RED, CExtColorDlg::IDC_GREEN, CExtColorDlg::IDC_BLUE},
    {CExtColorDlg::IDC_CYAN, CExtColorDlg::IDC_MAGENTA, CExtColorDlg::IDC_YELLOW},
    {CExtColorDlg::IDC_HUE, CExtColorDlg::IDC_SATURATION, CExtColorDlg::IDC_LIGHTNESS},
};

// Spin, label and edit of each field, then the two labels of the
// difference view and the one of the mode list.
const int kSpinIds[9] = {30032, 30033, 30034, 30035, 30036, 30037, 30038, 30041, 30044};
const int kEditIds[9] = {30016, 30018, 30020, 30022, 30024, 30026, 30031, 30040, 30043};
const int kLabelIds[12] = {30015, 30017, 30019, 30021, 30023, 30025, 30030, 30039, 30042, 30028, 30029, 30291};

// The mode list and the picker stretch with the dialog; everything on the
// right follows the right edge, OK and Cancel the bottom edge.
struct Anchor
{
    int nID;
    CSize szLT, szRB;
};
const Anchor kAnchors[] = {
    {CExtColorDlg::IDC_MODE, g_szAnchorTopLeft, g_szAnchorTopRight},
    {CExtColorDlg::IDC_PICKER, g_szAnchorTopLeft, CSize(100, 100)},
    {CExtColorDlg::IDC_DIFF, g_szAnchorTopRight, g_szAnchorNone},
    {30028, g_szAnchorTopRight, g_szAnchorNone},
    {30029, g_szAnchorTopRight, g_szAnchorNone},
    {IDOK, g_szAnchorBottomLeft, g_szAnchorNone},
    {IDCANCEL, g_szAnchorBottomLeft, g_szAnchorNone},
};

} // namespace

BEGIN_MESSAGE_MAP(CExtColorDlg, CExtResizableDialog)
ON_WM_CONTEXTMENU()
ON_WM_SIZE()
ON_CBN_SELENDOK(CExtColorDlg::IDC_MODE, OnModeSelEndOK)
ON_REGISTERED_MESSAGE(CExtColorCtrl::g_nMsgColorChanged, OnColorChanged)
ON_EN_CHANGE(CExtColorDlg::IDC_RED, OnRgbChanged)
ON_EN_CHANGE(CExtColorDlg::IDC_GREEN, OnRgbChanged)
ON_EN_CHANGE(CExtColorDlg::IDC_BLUE, OnRgbChanged)
ON_EN_CHANGE(CExtColorDlg::IDC_CYAN, OnCmyChanged)
ON_EN_CHANGE(CExtColorDlg::IDC_MAGENTA, OnCmyChanged)
ON_EN_CHANGE(CExtColorDlg::IDC_YELLOW, OnCmyChanged)
ON_EN_CHANGE(CExtColorDlg::IDC_HUE, OnHlsChanged)
ON_EN_CHANGE(CExtColorDlg::IDC_SATURATION, OnHlsChanged)
ON_EN_CHANGE(CExtColorDlg::IDC_LIGHTNESS, OnHlsChanged)
END_MESSAGE_MAP()

CExtColorDlg::CExtColorDlg(COLORREF clrInitial, COLORREF clrNew, CWnd* pParent)
    : CExtResizableDialog(IDD, pParent), m_clrInitial(clrInitial), m_clrNew(clrNew), m_hIcon(nullptr)
{
    HINSTANCE hModule = g_ResourceManager->FindResourceHandleAuto(RT_GROUP_ICON, MAKEINTRESOURCEA(IDD));
    if (hModule != nullptr)
        m_hIcon = static_cast<HICON>(::LoadImageA(hModule, MAKEINTRESOURCEA(IDD), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

CExtColorDlg::~CExtColorDlg()
{
    if (m_hIcon != nullptr)
        ::DestroyIcon(m_hIcon);
}

INT_PTR CExtColorDlg::DoModal()
{
    m_bInitialised = false;
    const INT_PTR nResult = CExtResizableDialog::DoModal();
    m_bInitialised = false;
    return nResult;
}

BOOL CExtColorDlg::OnInitDialog()
{
    m_bInitialised = false;
    if (!CExtResizableDialog::OnInitDialog())
        return FALSE;
    m_comboMode.SubclassDlgItem(IDC_MODE, this);
    m_comboMode.ResetContent();
    for (int nMode = 0; nMode < CExtColorCtrl::MODE_DIFF; ++nMode)
        m_comboMode.AddString(CExtColorCtrl::GetModeName(nMode));
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    if (!m_strCaption.IsEmpty())
    {
        const CString sCaption = CExtColorDlgRules::CaptionText(m_strCaption);
        if (!sCaption.IsEmpty())
            SetWindowText(sCaption);
    }
    m_wndPicker.m_colors.m_clrRef = m_wndPicker.m_colors.m_clrPrev = m_clrInitial;
    m_wndPicker.m_colors.m_clrCurrent = m_clrNew;
    m_wndDiff.m_colors.m_clrRef = m_wndDiff.m_colors.m_clrCurrent = m_wndDiff.m_colors.m_clrPrev = m_clrInitial;
    m_comboMode.SetCurSel(m_wndPicker.m_nMode);
    for (const Anchor& a : kAnchors)
        AddAnchor(a.nID, a.szLT, a.szRB);
    for (int i = 0; i < 9; ++i)
    {
        AddAnchor(kSpinIds[i], g_szAnchorTopRight);
        AddAnchor(kLabelIds[i], g_szAnchorTopRight);
        AddAnchor(kEditIds[i], g_szAnchorTopRight);
    }
    ShowGripper(true);
    for (int i = 0; i < 9; ++i)
    {
        m_arrSpins[i].SubclassDlgItem(kSpinIds[i], this);
        m_arrEdits[i].SubclassDlgItem(kEditIds[i], this);
    }
    for (int i = 0; i < 12; ++i)
        m_arrLabels[i].SubclassDlgItem(kLabelIds[i], this);
    m_btnOK.SubclassDlgItem(IDOK, this);
    m_btnCancel.SubclassDlgItem(IDCANCEL, this);
    m_wndPicker.SubclassDlgItem(IDC_PICKER, this);
    m_wndDiff.SubclassDlgItem(IDC_DIFF, this);
    for (CSpinButtonCtrl& spin : m_arrSpins)
        spin.SetRange(0, 255);
    m_bInitialised = true;
    m_bUpdating = true;
    UpdateFields(m_wndPicker.m_colors.m_clrCurrent, true, true, true);
    m_bUpdating = false;
    m_wndDiff.SetColor(m_clrInitial, false);
    return TRUE;
}

void CExtColorDlg::OnContextMenu(CWnd*, CPoint)
{
}

void CExtColorDlg::OnSize(UINT nType, int cx, int cy)
{
    CExtResizableDialog::OnSize(nType, cx, cy);
    Invalidate();
    UpdateWindow();
}

void CExtColorDlg::OnModeSelEndOK()
{
    if (!m_bInitialised)
        return;
    const int nMode = m_comboMode.GetCurSel();
    if (nMode < 0 || nMode >= CExtColorCtrl::MODE_DIFF)
        return;
    m_wndPicker.ResetAllModes();
    m_wndPicker.m_nMode = nMode;
    m_wndPicker.RecalcLayout(false);
    m_wndPicker.Invalidate();
    m_wndPicker.UpdateWindow();
}

LRESULT CExtColorDlg::OnColorChanged(WPARAM, LPARAM lParam)
{
    if (m_bUpdating)
        return 0;
    m_bUpdating = true;
    const auto* pColors = reinterpret_cast<const CExtColorCtrl::colors_t*>(lParam);
    UpdateFields(pColors->m_clrCurrent, true, true, true);
    m_bUpdating = false;
    return 0;
}

void CExtColorDlg::UpdateFields(COLORREF clr, bool bRgb, bool bCmy, bool bHls)
{
    const bool bGroups[3] = {bRgb, bCmy, bHls};
    for (int g = 0; g < 3; ++g)
    {
        if (!bGroups[g])
            continue;
        int v[3];
        CExtColorDlgRules::FieldValues(clr, static_cast<CExtColorDlgRules::e_group_t>(g), v);
        for (int i = 0; i < 3; ++i)
        {
            char sz[16];
            std::snprintf(sz, sizeof(sz), "%d", v[i]);
            SetDlgItemText(kGroupFields[g][i], sz);
        }
    }
    if (m_wndPicker.m_colors.m_clrCurrent != clr)
        m_wndPicker.SetColor(clr, false);
    if (m_wndDiff.m_colors.m_clrCurrent != clr)
        m_wndDiff.SetColor(clr, false);
    m_clrNew = m_wndPicker.m_colors.m_clrCurrent;
}

void CExtColorDlg::OnRgbChanged()
{
    OnFieldsChanged(CExtColorDlgRules::GROUP_RGB);
}

void CExtColorDlg::OnCmyChanged()
{
    OnFieldsChanged(CExtColorDlgRules::GROUP_CMY);
}

void CExtColorDlg::OnHlsChanged()
{
    OnFieldsChanged(CExtColorDlgRules::GROUP_HLS);
}

void CExtColorDlg::OnFieldsChanged(CExtColorDlgRules::e_group_t eGroup)
{
    if (!m_bInitialised || m_bUpdating)
        return;
    CString sError;
    if (!g_ResourceManager->LoadString(sError, IDS_RANGE_ERROR))
        sError = "Value must be in range 0..255";
    m_bUpdating = true;
    CString sTexts[3];
    const char* pszTexts[3];
    for (int i = 0; i < 3; ++i)
    {
        GetDlgItemText(kGroupFields[eGroup][i], sTexts[i]);
        pszTexts[i] = sTexts[i];
    }
    COLORREF clr = 0;
    const int nBad = CExtColorDlgRules::ColorFromFields(eGroup, pszTexts, &clr);
    if (nBad < 0)
        UpdateFields(clr, eGroup != CExtColorDlgRules::GROUP_RGB, eGroup != CExtColorDlgRules::GROUP_CMY,
                     eGroup != CExtColorDlgRules::GROUP_HLS);
    else
    {
        AfxMessageBox(sError, MB_OK | MB_ICONERROR | (g_ResourceManager->IsRTL() ? MB_RTLREADING : 0));
        GotoDlgCtrl(GetDlgItem(kGroupFields[eGroup][nBad]));
    }
    m_bUpdating = false;
}
