#include "uitoolkit/controls/ExtColorCtrl.h"

#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/controls/ExtBitmapDC.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/core/ExtColorMath.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>

const UINT CExtColorCtrl::g_nMsgColorChanged = ::RegisterWindowMessageA("CExtColorCtrl::g_nMsgColorChanged");

namespace
{

enum
{
    IDS_FIRST_MODE_NAME = 30343,
};

const char* const kModeNames[CExtColorCtrl::MODE_DIFF] = {
    " basic colors",
    " hue, saturation and luminance - mixer",
    " hue, saturation and luminance - basic hue",
    " hue, saturation and luminance - roller",
    " red, green and blue - cube",
    " red, green and blue - mixer",
    " gray scale mixer",
    " cyan, magenta and yellow - cube",
    " cyan, magenta and yellow - mixer",
    " red axis",
    " green axis",
    " blue axis",
    " cyan axis",
    " magenta axis",
    " yellow axis",
};

// Children with the inherited background are painted over with it; the
// others keep their own.
bool KeepsInheritedBackground(HDC, HWND, HWND hWndChild, LPARAM)
{
    return g_PaintManager->IsBackgroundInherited(CWnd::FromHandle(hWndChild), false);
}

} // namespace

// ---- picture_t ----

CExtColorCtrl::picture_t::picture_t() = default;
CExtColorCtrl::picture_t::~picture_t() = default;

bool CExtColorCtrl::picture_t::Create(CDC* pDC, int cx, int cy)
{
    Destroy();
    if (cx <= 0 || cy <= 0 || !m_bitmap.CreateCompatibleBitmap(pDC, cx, cy))
        return false;
    m_pDC = std::make_unique<CExtBitmapDC>(*pDC, m_bitmap.GetSafeHandle());
    if (m_pDC->IsReady())
        return true;
    Destroy();
    return false;
}

void CExtColorCtrl::picture_t::Destroy()
{
    m_pDC.reset();
    m_bitmap.DeleteObject();
}

CDC* CExtColorCtrl::picture_t::GetDC() const
{
    return m_pDC.get();
}

// ---- any_picker_data_t ----

BOOL CExtColorCtrl::any_picker_data_t::Layout(CDC*, CPalette*, int cx, int cy, bool)
{
    m_nWidth = std::max(cx, 1);
    m_nHeight = std::max(cy, 1);
    return TRUE;
}

void CExtColorCtrl::any_picker_data_t::SetRefColor(COLORREF clr)
{
    m_clrRef = clr;
}

void CExtColorCtrl::any_picker_data_t::SetColor(COLORREF clr)
{
    m_clr = clr;
    CExtColorMath::RgbToHls(clr, &m_fH, &m_fS, &m_fL);
}

void CExtColorCtrl::any_picker_data_t::SetHLS(double fH, double fL, double fS)
{
    m_fH = fH;
    m_fL = fL;
    m_fS = fS;
    m_clr = CExtColorMath::HlsToRgb(fH, fL, fS);
}

// ---- CExtColorCtrl ----

BEGIN_MESSAGE_MAP(CExtColorCtrl, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_KEYDOWN()
ON_WM_CANCELMODE()
ON_WM_KILLFOCUS()
ON_WM_QUERYNEWPALETTE()
ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

CExtColorCtrl::CExtColorCtrl(int nMode)
    : m_nMode(nMode), m_arrModes{&m_cellBased, &m_hslPanel,   &m_hslBasicHue,    &m_hslRoller,
                                 &m_rgbCube,   &m_rgbMixer,   &m_grayscaleMixer, &m_cmyCube,
                                 &m_cmyMixer,  &m_xyzRed,     &m_xyzGreen,       &m_xyzBlue,
                                 &m_xyzCyan,   &m_xyzMagenta, &m_xyzYellow,      &m_diff}
{
}

CExtColorCtrl::~CExtColorCtrl()
{
    ResetAllModes();
}

CString CExtColorCtrl::GetModeName(int nMode)
{
    CString sName;
    if (nMode < 0 || nMode >= MODE_DIFF)
        return sName;
    if (!g_ResourceManager->LoadString(sName, IDS_FIRST_MODE_NAME + nMode))
        sName = kModeNames[nMode];
    return sName;
}

CPalette* CExtColorCtrl::SelectPalette(CDC* pDC, CPalette* pPalette)
{
    if (pPalette == nullptr)
        return nullptr;
    CPalette* pOld = pDC->SelectPalette(pPalette, FALSE);
    pDC->RealizePalette();
    return pOld;
}

void CExtColorCtrl::ResetAllModes()
{
    for (any_picker_data_t* pMode : m_arrModes)
        pMode->Reset();
}

void CExtColorCtrl::RecalcLayout(bool bKeepCells)
{
    if (!bKeepCells)
        ResetAllModes();
    if (GetSafeHwnd() == nullptr)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    CClientDC dc(this);
    any_picker_data_t* pMode = GetCurrentMode();
    pMode->Layout(&dc, &g_PaintManager->Palette, rcClient.Width(), rcClient.Height(), bKeepCells);
    pMode->SetColor(m_colors.m_clrCurrent);
    pMode->SetRefColor(m_colors.m_clrRef);
}

void CExtColorCtrl::SetColor(COLORREF clr, bool bNotify)
{
    if (clr != m_colors.m_clrCurrent)
    {
        m_colors.m_clrCurrent = clr;
        if (bNotify)
            NotifyColorChanged();
    }
    GetCurrentMode()->SetColor(m_colors.m_clrCurrent);
    Repaint();
}

void CExtColorCtrl::NotifyColorChanged()
{
    CWnd* pParent = GetParent();
    if (pParent != nullptr)
        pParent->SendMessage(g_nMsgColorChanged, reinterpret_cast<WPARAM>(m_hWnd), reinterpret_cast<LPARAM>(&m_colors));
}

void CExtColorCtrl::Repaint()
{
    if (GetSafeHwnd() == nullptr)
        return;
    Invalidate();
    UpdateWindow();
}

void CExtColorCtrl::PreSubclassWindow()
{
    CWnd::PreSubclassWindow();
    RecalcLayout(false);
}

LRESULT CExtColorCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_UPDATEUISTATE: return 0;
    // Buttons other than the left one and key releases neither pick nor
    // reach the default processing.
    case WM_KEYUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: return 0;
    case WM_SETTEXT:
    case WM_ENABLE:
    {
        const LRESULT lResult = CWnd::WindowProc(message, wParam, lParam);
        Repaint();
        return lResult;
    }
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CExtColorCtrl::OnPaint()
{
    CPaintDC dcPaint(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (rcClient.IsRectEmpty() || !dcPaint.RectVisible(&rcClient))
        return;
    CPalette* pPalette = &g_PaintManager->Palette;
    const bool bPaletteDevice =
        (dcPaint.GetDeviceCaps(RASTERCAPS) & RC_PALETTE) != 0 && pPalette->GetSafeHandle() != nullptr;
    CPalette* pOldPaintPalette = SelectPalette(&dcPaint, bPaletteDevice ? pPalette : nullptr);
    {
        CExtMemoryDC dc(&dcPaint, &rcClient, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
        bool bPainted = false;
        if (g_PaintManager->IsBackgroundInherited(this, false))
        {
            CExtPaintManager::ExcludeVisibleChildren(dc.GetSafeHdc(), m_hWnd, &KeepsInheritedBackground, 0);
            bPainted = g_PaintManager->PaintInheritedBackground(true, dc, this, 0);
        }
        if (!bPainted)
            dc.FillSolidRect(&rcClient, g_PaintManager->GetColor(CExtPaintManager::TC_FACE_NORMAL, this));
        const bool bMemPalette = bPaletteDevice && (dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE) != 0;
        CPalette* pOldPalette = SelectPalette(&dc, bMemPalette ? pPalette : nullptr);
        GetCurrentMode()->Draw(&dc, bMemPalette ? pPalette : nullptr);
        if (pOldPalette != nullptr)
            dc.SelectPalette(pOldPalette, FALSE);
    }
    if (pOldPaintPalette != nullptr)
        dcPaint.SelectPalette(pOldPaintPalette, FALSE);
}

BOOL CExtColorCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CExtColorCtrl::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout(true);
    Repaint();
}

void CExtColorCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_bTracking = true;
    CExtMouseCaptureSink::SetCapture(m_hWnd);
    any_picker_data_t* pMode = GetCurrentMode();
    if (pMode->m_clr != m_colors.m_clrCurrent)
    {
        pMode->SetColor(m_colors.m_clrCurrent);
        Repaint();
    }
    pMode->OnButtonDown(nFlags, point.x, point.y);
    MoveStep(0, point.x, point.y);
}

void CExtColorCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    MoveStep(nFlags, point.x, point.y);
}

void CExtColorCtrl::MoveStep(UINT nFlags, int x, int y)
{
    if (!m_bTracking)
        return;
    any_picker_data_t* pMode = GetCurrentMode();
    pMode->OnTrack(nFlags, x, y);
    if (pMode->m_clr == m_colors.m_clrCurrent)
        return;
    m_colors.m_clrPrev = m_colors.m_clrCurrent;
    m_colors.m_clrCurrent = pMode->m_clr;
    NotifyColorChanged();
    Repaint();
}

void CExtColorCtrl::OnLButtonUp(UINT nFlags, CPoint point)
{
    StopTracking();
    GetCurrentMode()->OnButtonUp(nFlags, point.x, point.y);
}

void CExtColorCtrl::StopTracking()
{
    m_bTracking = false;
    if (CExtMouseCaptureSink::GetCapture() == m_hWnd)
        CExtMouseCaptureSink::ReleaseCapture();
}

void CExtColorCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    StopTracking();
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CExtColorCtrl::OnCancelMode()
{
    CWnd::OnCancelMode();
    StopTracking();
}

void CExtColorCtrl::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    StopTracking();
}

BOOL CExtColorCtrl::OnQueryNewPalette()
{
    Invalidate();
    return CWnd::OnQueryNewPalette();
}

void CExtColorCtrl::OnPaletteChanged(CWnd* pFocusWnd)
{
    CWnd::OnPaletteChanged(pFocusWnd);
    Invalidate();
}
