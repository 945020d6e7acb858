#include "DvdGui/source/ButtonRowPopup.h"

#include "DvdGui/core/PopupLayout.h"

namespace
{

const char kSettings[] = "Settings";

CString PlacementEntry(const char* pszPrefix, const char* pszSuffix)
{
    return CString(pszPrefix) + pszSuffix;
}

} // namespace

BEGIN_MESSAGE_MAP(CButtonRowPopup, CModalPopupWnd)
ON_BN_CLICKED(IDC_POPUP_CONFIRM, OnConfirm)
ON_BN_CLICKED(IDC_POPUP_CANCEL, OnCancelButton)
END_MESSAGE_MAP()

CButtonRowPopup::CButtonRowPopup(LPCTSTR lpszTitle, CWnd* pOwner, const char* pszConfirm, const char* pszMeasure,
                                 const char* pszPlacement)
    : CModalPopupWnd(lpszTitle, CRect(0, 0, 540, 400), pOwner), m_pszConfirm(pszConfirm), m_pszMeasure(pszMeasure),
      m_pszPlacement(pszPlacement)
{
}

void CButtonRowPopup::OnCreated()
{
    MakeFontAndButtonSize();
    const CRect size(0, 0, m_nButtonWidth, m_nButtonHeight);
    const DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    m_btnCancel.Create("Cancel", dwStyle, size, this, IDC_POPUP_CANCEL);
    m_btnCancel.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
    m_btnConfirm.Create(m_pszConfirm, dwStyle, size, this, IDC_POPUP_CONFIRM);
    m_btnConfirm.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
    CreateContent();
    MoveToStoredPlacement();
    OnLayout();
    FillContent();
    Invalidate();
}

void CButtonRowPopup::MakeFontAndButtonSize()
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        m_font.CreateFontIndirect(&metrics.lfMessageFont);
    else
        m_font.Attach(::GetStockObject(DEFAULT_GUI_FONT));
    CClientDC dc(this);
    CFont* pOld = dc.SelectObject(&m_font);
    const CSize extent = dc.GetTextExtent(m_pszMeasure);
    dc.SelectObject(pOld);
    m_nButtonWidth = extent.cx + 4 * ::GetSystemMetrics(SM_CXEDGE);
    m_nButtonHeight = extent.cy + 3 * ::GetSystemMetrics(SM_CYEDGE);
}

void CButtonRowPopup::MoveToStoredPlacement()
{
    const int sw = ::GetSystemMetrics(SM_CXSCREEN);
    const int sh = ::GetSystemMetrics(SM_CYSCREEN);
    const CPopupPlacement defaults = DefaultPopupPlacement(sw, sh);
    CPopupPlacement stored;
    CWinApp* pApp = AfxGetApp();
    stored.x = int(pApp->GetProfileInt(kSettings, PlacementEntry(m_pszPlacement, "_X"), defaults.x));
    stored.y = int(pApp->GetProfileInt(kSettings, PlacementEntry(m_pszPlacement, "_Y"), defaults.y));
    stored.w = int(pApp->GetProfileInt(kSettings, PlacementEntry(m_pszPlacement, "_W"), defaults.w));
    stored.h = int(pApp->GetProfileInt(kSettings, PlacementEntry(m_pszPlacement, "_H"), defaults.h));
    const CPopupPlacement placement = FitPopupOnScreen(stored, sw, sh);
    SetWindowPos(nullptr, placement.x, placement.y, placement.w, placement.h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CButtonRowPopup::SavePlacement()
{
    if (m_hWnd == nullptr)
        return;
    CRect rect;
    GetWindowRect(&rect);
    CWinApp* pApp = AfxGetApp();
    pApp->WriteProfileInt(kSettings, PlacementEntry(m_pszPlacement, "_X"), rect.left);
    pApp->WriteProfileInt(kSettings, PlacementEntry(m_pszPlacement, "_Y"), rect.top);
    pApp->WriteProfileInt(kSettings, PlacementEntry(m_pszPlacement, "_W"), rect.Width());
    pApp->WriteProfileInt(kSettings, PlacementEntry(m_pszPlacement, "_H"), rect.Height());
}

void CButtonRowPopup::OnLayout()
{
    if (m_btnCancel.m_hWnd == nullptr)
        return;
    CRect client;
    GetClientRect(&client);
    const CPopupButtonRow row = LayoutPopupButtons(client.Width(), client.Height(), m_nButtonWidth, m_nButtonHeight);
    LayoutContent(client.Width(), row.nContentHeight);
    m_btnCancel.SetWindowPos(nullptr, row.xCancel, row.nButtonTop, m_nButtonWidth, m_nButtonHeight,
                             SWP_NOZORDER | SWP_NOACTIVATE);
    m_btnConfirm.SetWindowPos(nullptr, row.xConfirm, row.nButtonTop, m_nButtonWidth, m_nButtonHeight,
                              SWP_NOZORDER | SWP_NOACTIVATE);
    PaintBackground();
    Invalidate(FALSE);
}

void CButtonRowPopup::PaintBackground()
{
    if (!m_bmBack.GetSafeHandle() || m_btnCancel.m_hWnd == nullptr)
        return;
    CBufferedDC dc(this, FALSE);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, ::GetSysColor(COLOR_3DFACE));
    const int y = LayoutPopupButtons(client.Width(), client.Height(), m_nButtonWidth, m_nButtonHeight).nContentHeight;
    CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* pOld = dc.SelectObject(&black);
    dc.MoveTo(1, y);
    dc.LineTo(client.Width() - 1, y);
    dc.SelectObject(pOld);
}

void CButtonRowPopup::OnOK()
{
    SavePlacement();
    CModalPopupWnd::OnOK();
}

void CButtonRowPopup::OnCancel()
{
    SavePlacement();
    CModalPopupWnd::OnCancel();
}

void CButtonRowPopup::OnConfirm()
{
    OnOK();
}

void CButtonRowPopup::OnCancelButton()
{
    OnCancel();
}
