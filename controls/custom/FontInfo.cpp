#include "controls/custom/FontInfo.h"

#include "controls/core/FontRecord.h"
#include "framework/win/Dc.h"
#include "framework/win/WinThread.h"

#include <cstring>

static_assert(sizeof(FONT_RECORD) == sizeof(LOGFONTA), "the portable record is a LOGFONTA");

namespace
{
constexpr UINT kFaceList = 1136;
constexpr UINT kSampleText = 1092;
constexpr UINT kLabelIds[5] = {1088, 1089, 1090, 1091, 1094};
constexpr UINT kEffectsGroup = 1072;
// no vertical faces ("@" names) offered
constexpr DWORD kExtraFlags = 0x2000000;

CXFontDialog* g_pHookTarget = nullptr;
} // namespace

// ---- CFontInfo --------------------------------------------------------------

CFontInfo::CFontInfo()
{
    const FONT_RECORD record = DefaultFontRecord();
    std::memcpy(&m_lf, &record, sizeof(m_lf));
    Recreate();
}

CFontInfo::~CFontInfo()
{
    DeleteObject();
}

void CFontInfo::Recreate()
{
    DeleteObject();
    CreateFontIndirect(&m_lf);
}

void CFontInfo::CopyFrom(CFont& font)
{
    font.GetLogFont(&m_lf);
    m_crColor = 0;
    Recreate();
}

void CFontInfo::Assign(const CFontInfo& other)
{
    m_lf = other.m_lf;
    m_crColor = other.m_crColor;
    Recreate();
}

bool CFontInfo::CreateStockFont(int nStockIndex)
{
    const HGDIOBJ hStock = ::GetStockObject(nStockIndex);
    if (hStock == nullptr || ::GetObjectA(hStock, sizeof(m_lf), &m_lf) == 0)
        return false;
    Recreate();
    return true;
}

int CFontInfo::SetHeight(int nHeight)
{
    const int nOld = m_lf.lfHeight;
    m_lf.lfHeight = nHeight;
    Recreate();
    return nOld;
}

void CFontInfo::Grow(int n)
{
    SetHeight(GrowFontHeight(m_lf.lfHeight, n));
}

CString CFontInfo::ToString() const
{
    FONT_RECORD record;
    std::memcpy(&record, &m_lf, sizeof(record));
    return FontRecordToString(record, m_crColor);
}

bool CFontInfo::FromString(LPCSTR pszText)
{
    FONT_RECORD record;
    std::memcpy(&record, &m_lf, sizeof(record));
    uint32_t crColor = m_crColor;
    if (!FontRecordFromString(pszText, record, crColor))
        return false;
    std::memcpy(&m_lf, &record, sizeof(m_lf));
    m_crColor = crColor;
    Recreate();
    return true;
}

bool CFontInfo::DoFontDialog(CFont* pStartFont, CWnd* pParentWnd)
{
    LOGFONTA lf = m_lf;
    if (pStartFont != nullptr && pStartFont->GetSafeHandle() != nullptr)
        pStartFont->GetLogFont(&lf);
    CXFontDialog dlg(&lf, CF_SCREENFONTS | CF_EFFECTS, nullptr, pParentWnd);
    dlg.m_cf.rgbColors = m_crColor;
    dlg.m_nFilter = CXFontDialog::FILTER_NO_SYMBOL;
    if (dlg.DoModal() != IDOK)
        return false;
    m_lf = dlg.m_lf;
    m_crColor = dlg.GetColor();
    Recreate();
    return true;
}

// ---- CXFontDialog -----------------------------------------------------------

BEGIN_MESSAGE_MAP(CXFontDialog, CFontDialog)
ON_WM_CTLCOLOR()
ON_MESSAGE(CXFontDialog::WM_XFONT_MONOSPACED, OnMonospaced)
END_MESSAGE_MAP()

CXFontDialog::CXFontDialog(LPLOGFONTA lplfInitial, DWORD dwFlags, CDC* pdcPrinter, CWnd* pParentWnd)
    : CFontDialog(lplfInitial, dwFlags | kExtraFlags, pdcPrinter, pParentWnd)
{
    if (lplfInitial != nullptr)
        m_strFace = lplfInitial->lfFaceName;
    g_pHookTarget = this;
}

CXFontDialog::~CXFontDialog()
{
    if (g_pHookTarget == this)
        g_pHookTarget = nullptr;
}

INT_PTR CXFontDialog::DoModal()
{
    m_cf.Flags |= CF_ENABLEHOOK | CF_ENABLETEMPLATE;
    m_cf.hInstance = AfxGetResourceHandle();
    m_cf.lpTemplateName = "IDD_XFONTDIALOG";
    m_cf.lpfnHook = &CXFontDialog::HookProc;
    g_pHookTarget = this;
    return CFontDialog::DoModal();
}

BOOL CXFontDialog::OnInitDialog()
{
    const BOOL bResult = CFontDialog::OnInitDialog();
    for (int i = 0; i < 5; ++i)
        m_labels[i].SubclassDlgItem(kLabelIds[i], this);
    m_groupEffects.SubclassDlgItem(kEffectsGroup, this);
    m_buttonOK.SubclassDlgItem(IDOK, this);
    m_buttonCancel.SubclassDlgItem(IDCANCEL, this);
    return bResult;
}

UINT_PTR CALLBACK CXFontDialog::HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM)
{
    CXFontDialog* pDlg = g_pHookTarget;
    if (pDlg == nullptr || pDlg->m_hWnd != hWnd)
        return 0;
    if (message == WM_INITDIALOG)
        pDlg->OnHookInitDialog();
    else if (message == WM_COMMAND)
        pDlg->OnHookCommand(wParam);
    return 0;
}

bool CXFontDialog::GetFaceMetrics(const CString& sFace, TEXTMETRICA& tm)
{
    CWnd* pSample = GetDlgItem(kSampleText);
    CDC* pDC = pSample != nullptr ? pSample->GetDC() : GetDC();
    if (pDC == nullptr)
        return false;
    CFont font;
    bool bRead = false;
    if (font.CreateFont(0, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, sFace))
    {
        CFont* pOld = pDC->SelectObject(&font);
        bRead = ::GetTextMetricsA(pDC->GetSafeHdc(), &tm) != FALSE;
        pDC->SelectObject(pOld);
    }
    if (pSample != nullptr)
        pSample->ReleaseDC(pDC);
    else
        ReleaseDC(pDC);
    return bRead;
}

bool CXFontDialog::GetSelectedFaceMetrics(TEXTMETRICA& tm)
{
    const HWND hList = ::GetDlgItem(m_hWnd, kFaceList);
    const int nSel = static_cast<int>(::SendMessageA(hList, CB_GETCURSEL, 0, 0));
    if (nSel < 0)
        return false;
    const int nLen = static_cast<int>(::SendMessageA(hList, CB_GETLBTEXTLEN, nSel, 0));
    if (nLen < 0)
        return false;
    CString sFace;
    ::SendMessageA(hList, CB_GETLBTEXT, nSel, reinterpret_cast<LPARAM>(sFace.GetBuffer(nLen + 1)));
    sFace.ReleaseBuffer();
    return GetFaceMetrics(sFace, tm);
}

bool CXFontDialog::IsFaceFiltered(const TEXTMETRICA& tm) const
{
    const bool bSymbol = tm.tmCharSet == SYMBOL_CHARSET;
    // the bit set means variable pitch
    const bool bVariable = (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) != 0;
    return tm.tmItalic != 0 || tm.tmWeight > 500 || ((m_nFilter & FILTER_SYMBOL_ONLY) != 0 && !bSymbol) ||
           ((m_nFilter & FILTER_NO_SYMBOL) != 0 && bSymbol) ||
           ((m_nFilter & FILTER_FIXED_PITCH_ONLY) != 0 && bVariable) ||
           ((m_nFilter & FILTER_VARIABLE_PITCH_ONLY) != 0 && !bVariable);
}

void CXFontDialog::ShowMonospacedMark()
{
    TEXTMETRICA tm = {};
    const bool bFixed = GetSelectedFaceMetrics(tm) && (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
    SendMessage(WM_XFONT_MONOSPACED, bFixed ? TRUE : FALSE, 0);
}

void CXFontDialog::OnHookInitDialog()
{
    SetWindowText(m_strCaption);
    const HWND hList = ::GetDlgItem(m_hWnd, kFaceList);
    if (m_nFilter != 0)
    {
        for (int i = static_cast<int>(::SendMessageA(hList, CB_GETCOUNT, 0, 0)) - 1; i >= 0; --i)
        {
            const int nLen = static_cast<int>(::SendMessageA(hList, CB_GETLBTEXTLEN, i, 0));
            if (nLen < 0)
                continue;
            CString sFace;
            ::SendMessageA(hList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(sFace.GetBuffer(nLen + 1)));
            sFace.ReleaseBuffer();
            TEXTMETRICA tm = {};
            if (GetFaceMetrics(sFace, tm) && IsFaceFiltered(tm))
                ::SendMessageA(hList, CB_DELETESTRING, i, 0);
        }
    }
    if (::SendMessageA(hList, CB_GETCURSEL, 0, 0) < 0 && ::SendMessageA(hList, CB_GETCOUNT, 0, 0) > 0)
    {
        ::SendMessageA(hList, CB_SETCURSEL, 0, 0);
        SendMessage(WM_COMMAND, MAKEWPARAM(kFaceList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
    }
    const LRESULT nSel = ::SendMessageA(hList, CB_GETCURSEL, 0, 0);
    if (nSel >= 0)
        ::SendMessageA(hList, CB_SETTOPINDEX, static_cast<WPARAM>(nSel), 0);
    ShowMonospacedMark();
}

void CXFontDialog::OnHookCommand(WPARAM wParam)
{
    const UINT nId = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    if (nId == kFaceList && nCode == CBN_SELCHANGE)
        ShowMonospacedMark();
    else if (nId == IDOK && nCode == BN_CLICKED)
    {
        TEXTMETRICA tm = {};
        if (GetSelectedFaceMetrics(tm))
        {
            m_nCharSet = tm.tmCharSet;
            m_nPitchAndFamily = tm.tmPitchAndFamily;
            m_nHeight = tm.tmHeight;
        }
        else
        {
            m_nCharSet = m_nPitchAndFamily = 0;
            m_nHeight = 0;
        }
    }
    else if (nId == IDCANCEL && nCode == BN_CLICKED)
    {
        m_nCharSet = m_nPitchAndFamily = 0;
        m_nHeight = 0;
    }
}

HBRUSH CXFontDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const HBRUSH hBrush = CFontDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd != nullptr && pWnd->GetDlgCtrlID() == static_cast<int>(IDC_XFONT_MONOSPACED))
        pDC->SetTextColor(RGB(0, 0, 255));
    return hBrush;
}

LRESULT CXFontDialog::OnMonospaced(WPARAM wParam, LPARAM lParam)
{
    if (lParam != 0)
        return Default();
    if (CWnd* pMark = GetDlgItem(IDC_XFONT_MONOSPACED))
        pMark->ShowWindow(wParam != 0 ? SW_SHOW : SW_HIDE);
    return 0;
}
