// The panel picker modes: HSL mixer, basic hue, roller and the six axis
// planes, each a picture above a strip.
#include "uitoolkit/controls/ExtColorCtrl.h"

#include "uitoolkit/controls/ExtBitmapDC.h"
#include "uitoolkit/core/ExtColorMath.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>
#include <cmath>

namespace
{

using Panel = CExtColorPanelGeometry;
using Math = CExtColorMath;

const int kMargin = Panel::MARGIN;
const int kMarkerSize = 6;

// Coarse screens get 4 by 4 dots.
bool IsTrueColor()
{
    return CExtPaintManager::GetScreenBitsPerPixel() > 8;
}

int DotStep()
{
    return IsTrueColor() ? 1 : 4;
}

} // namespace

// ---- common to the panel modes ----

BOOL CExtColorCtrl::hsl_panel_data_t::Layout(CDC* pDC, CPalette* pPalette, int cx, int cy, bool bKeepCells)
{
    // Both pictures follow the size; the stored size is the inner one, so a
    // later layout always rebuilds them.
    Reset();
    any_picker_data_t::Layout(pDC, pPalette, cx, cy, bKeepCells);
    m_geom.Build(cx, cy);
    m_nWidth = std::max(cx - 2 * kMargin, 1);
    m_nHeight = std::max(cy - 3 * kMargin, 1);
    BuildPanel(pDC, pPalette);
    BuildStrip(pDC, pPalette);
    return TRUE;
}

void CExtColorCtrl::hsl_panel_data_t::Reset()
{
    m_panel.Destroy();
    m_strip.Destroy();
    m_bPanelValid = m_bStripValid = false;
    m_nTrackingState = 0;
}

bool CExtColorCtrl::hsl_panel_data_t::BeginPicture(picture_t& picture, bool bValid, CDC* pDC, CPalette* pPalette,
                                                   int cx, int cy, CPalette** ppOldPalette)
{
    *ppOldPalette = nullptr;
    if (bValid || !picture.Create(pDC, cx, cy))
        return false;
    if (pPalette != nullptr)
    {
        *ppOldPalette = picture.GetDC()->SelectPalette(pPalette, FALSE);
        picture.GetDC()->RealizePalette();
    }
    return true;
}

void CExtColorCtrl::hsl_panel_data_t::EndPicture(picture_t& picture, CPalette* pOldPalette)
{
    if (pOldPalette != nullptr)
        picture.GetDC()->SelectPalette(pOldPalette, FALSE);
}

void CExtColorCtrl::hsl_panel_data_t::DrawPictures(CDC* pDC, int nStrip, bool bPanelTransparent)
{
    if (m_panel.GetDC() != nullptr)
    {
        if (bPanelTransparent)
            CExtPaintManager::TransparentBltEmulated(pDC->GetSafeHdc(), kMargin, kMargin, m_geom.m_nPanelWidth,
                                                     m_geom.m_nPanelHeight, m_panel.GetDC()->GetSafeHdc(), 0, 0,
                                                     m_geom.m_nPanelWidth, m_geom.m_nPanelHeight, RGB(255, 255, 255));
        else
            pDC->BitBlt(kMargin, kMargin, m_geom.m_nPanelWidth, m_geom.m_nPanelHeight, m_panel.GetDC(), 0, 0, SRCCOPY);
    }
    // The strip picture is only as high as the strip.
    if (m_strip.GetDC() != nullptr)
        pDC->BitBlt(kMargin, m_geom.StripTop(), m_geom.m_nStripWidth, m_geom.m_nStripHeight, m_strip.GetDC(), 0, 0,
                    SRCCOPY);
    DrawMarker(pDC, kMargin + nStrip, m_geom.StripTop() + m_geom.m_nStripHeight / 2, kMarkerSize,
               m_geom.m_nStripHeight);
}

void CExtColorCtrl::hsl_panel_data_t::DrawMarker(CDC* pDC, int x, int y, int cx, int cy)
{
    CRect rc(Panel::MarkerRect(x, y, cx, cy));
    pDC->Draw3dRect(&rc, RGB(255, 255, 255), RGB(255, 255, 255));
    rc.InflateRect(1, 1);
    pDC->Draw3dRect(&rc, RGB(0, 0, 0), RGB(0, 0, 0));
}

void CExtColorCtrl::hsl_panel_data_t::PanelPoint(UINT nFlags, int x, int y, int* px, int* py) const
{
    *px = (nFlags & MK_CONTROL) != 0 ? m_nMarkerX : std::clamp(x - kMargin, 0, m_geom.m_nPanelWidth);
    *py = (nFlags & MK_SHIFT) != 0 ? m_nMarkerY : std::clamp(y - kMargin, 0, m_geom.m_nPanelHeight);
}

void CExtColorCtrl::hsl_panel_data_t::OnButtonDown(UINT nFlags, int x, int y)
{
    if (!m_bPanelValid)
        return;
    m_nTrackingState = m_geom.IsStripPoint(y) ? TRACK_STRIP : TRACK_PANEL;
    OnTrack(nFlags | MK_LBUTTON, x, y);
}

void CExtColorCtrl::hsl_panel_data_t::OnButtonUp(UINT, int, int)
{
    m_nTrackingState = 0;
}

void CExtColorCtrl::hsl_panel_data_t::SetColor(COLORREF clr)
{
    any_picker_data_t::SetColor(clr);
    OnColorChanged();
}

void CExtColorCtrl::hsl_panel_data_t::SetHLS(double fH, double fL, double fS)
{
    any_picker_data_t::SetHLS(fH, fL, fS);
    OnColorChanged();
}

void CExtColorCtrl::hsl_panel_data_t::BuildLightnessStrip(CDC* pDC, CPalette* pPalette)
{
    CPalette* pOld;
    if (!BeginPicture(m_strip, m_bStripValid, pDC, pPalette, m_geom.m_nStripWidth, m_geom.m_nStripHeight, &pOld))
        return;
    const int s = DotStep(), w = m_geom.m_nStripWidth;
    for (int x = w - 1; x >= 0; x -= s)
    {
        const COLORREF clr = Math::HlsToRgb(m_fH, static_cast<double>(x) / w, m_fS);
        if (s == 1)
            m_strip.GetDC()->FillSolidRect(x, 0, 1, m_geom.m_nStripHeight, clr);
        else
            m_strip.GetDC()->FillSolidRect(x - 3, 0, 4, m_geom.m_nStripHeight, clr);
    }
    EndPicture(m_strip, pOld);
    m_bStripValid = true;
}

void CExtColorCtrl::hsl_panel_data_t::TrackLightness(int x)
{
    m_fL = Math::FractionOf(x - kMargin, m_geom.m_nStripWidth);
    m_clr = Math::HlsToRgb(m_fH, m_fL, m_fS);
}

// ---- HSL mixer ----

void CExtColorCtrl::hsl_panel_data_t::BuildStrip(CDC* pDC, CPalette* pPalette)
{
    BuildLightnessStrip(pDC, pPalette);
}

void CExtColorCtrl::hsl_panel_data_t::BuildPanel(CDC* pDC, CPalette* pPalette)
{
    CPalette* pOld;
    const int w = m_geom.m_nPanelWidth, h = m_geom.m_nPanelHeight;
    if (!BeginPicture(m_panel, m_bPanelValid, pDC, pPalette, w, h, &pOld))
        return;
    const bool bTrueColor = IsTrueColor();
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
        {
            const COLORREF clr = Math::HlsToRgb(static_cast<double>(x) / w, 0.5, static_cast<double>(h - y - 1) / h);
            if (bTrueColor)
                m_panel.GetDC()->SetPixelV(x, y, clr);
            else
                m_panel.GetDC()->FillSolidRect(x - 2, y - 2, 4, 4, clr);
        }
    EndPicture(m_panel, pOld);
    m_bPanelValid = true;
}

void CExtColorCtrl::hsl_panel_data_t::Draw(CDC* pDC, CPalette* pPalette)
{
    BuildPanel(pDC, pPalette);
    BuildStrip(pDC, pPalette);
    DrawPictures(pDC, Math::MarkerFromFraction(m_geom.m_nStripWidth, m_fL), false);
    DrawMarker(pDC, m_nMarkerX + kMargin, m_nMarkerY + kMargin, kMarkerSize, kMarkerSize);
}

void CExtColorCtrl::hsl_panel_data_t::OnTrack(UINT nFlags, int x, int y)
{
    if ((nFlags & MK_LBUTTON) == 0 || !m_bPanelValid)
        return;
    if (m_nTrackingState == TRACK_STRIP)
        TrackLightness(x);
    else if (m_nTrackingState == TRACK_PANEL)
    {
        int px, py;
        PanelPoint(nFlags, x, y, &px, &py);
        m_fH = Math::FractionOf(px, m_geom.m_nPanelWidth);
        m_fS = Math::FractionOf(m_geom.m_nPanelHeight - py, m_geom.m_nPanelHeight);
        m_clr = Math::HlsToRgb(m_fH, m_fL, m_fS);
        m_nMarkerX = px;
        m_nMarkerY = py;
        m_bStripValid = false;
    }
}

void CExtColorCtrl::hsl_panel_data_t::OnColorChanged()
{
    m_nMarkerX = Math::MarkerFromFraction(m_geom.m_nPanelWidth, m_fH);
    m_nMarkerY = m_geom.m_nPanelHeight - Math::MarkerFromFraction(m_geom.m_nPanelHeight, m_fS) - 1;
    m_bStripValid = false;
}

// ---- basic hue ----

void CExtColorCtrl::hsl_basic_hue_data_t::BuildStrip(CDC* pDC, CPalette* pPalette)
{
    CPalette* pOld;
    if (!BeginPicture(m_strip, m_bStripValid, pDC, pPalette, m_geom.m_nStripWidth, m_geom.m_nStripHeight, &pOld))
        return;
    const int s = DotStep(), w = m_geom.m_nStripWidth;
    for (int x = 0; x < w; x += s)
        m_strip.GetDC()->FillSolidRect(x, 0, s, m_geom.m_nStripHeight,
                                       Math::HlsToRgb(static_cast<double>(x) / w, 0.5, 1.0));
    EndPicture(m_strip, pOld);
    m_bStripValid = true;
}

void CExtColorCtrl::hsl_basic_hue_data_t::BuildPanel(CDC* pDC, CPalette* pPalette)
{
    CPalette* pOld;
    const int w = m_geom.m_nPanelWidth, h = m_geom.m_nPanelHeight;
    if (!BeginPicture(m_panel, m_bPanelValid, pDC, pPalette, w, h, &pOld))
        return;
    const int s = DotStep();
    for (int x = 0; x < w; x += s)
        for (int y = 0; y < h; y += s)
        {
            const COLORREF clr = Math::HlsToRgb(m_fH, static_cast<double>(h - y - 1) / h, static_cast<double>(x) / w);
            if (s == 1)
                m_panel.GetDC()->SetPixelV(x, y, clr);
            else
                m_panel.GetDC()->FillSolidRect(x - 2, y - 2, 4, 4, clr);
        }
    EndPicture(m_panel, pOld);
    m_bPanelValid = true;
}

void CExtColorCtrl::hsl_basic_hue_data_t::Draw(CDC* pDC, CPalette* pPalette)
{
    BuildPanel(pDC, pPalette);
    BuildStrip(pDC, pPalette);
    DrawPictures(pDC, Math::MarkerFromFraction(m_geom.m_nStripWidth, m_fH), false);
    DrawMarker(pDC, kMargin + Math::MarkerFromFraction(m_geom.m_nPanelWidth, m_fS),
               kMargin + m_geom.m_nPanelHeight - Math::MarkerFromFraction(m_geom.m_nPanelHeight, m_fL), kMarkerSize,
               kMarkerSize);
}

void CExtColorCtrl::hsl_basic_hue_data_t::OnTrack(UINT nFlags, int x, int y)
{
    if ((nFlags & MK_LBUTTON) == 0 || !m_bStripValid)
        return;
    if (m_nTrackingState == TRACK_STRIP)
    {
        m_fH = Math::FractionOf(x - kMargin, m_geom.m_nStripWidth);
        m_clr = Math::HlsToRgb(m_fH, m_fL, m_fS);
        m_bPanelValid = false;
    }
    else if (m_nTrackingState == TRACK_PANEL)
    {
        int px, py;
        PanelPoint(nFlags, x, y, &px, &py);
        m_fL = Math::FractionOf(m_geom.m_nPanelHeight - py, m_geom.m_nPanelHeight);
        m_fS = Math::FractionOf(px, m_geom.m_nPanelWidth);
        m_clr = Math::HlsToRgb(m_fH, m_fL, m_fS);
        m_nMarkerX = px;
        m_nMarkerY = py;
    }
}

void CExtColorCtrl::hsl_basic_hue_data_t::OnColorChanged()
{
    m_bPanelValid = false;
}

// ---- roller ----

void CExtColorCtrl::hsl_roller_data_t::BuildPanel(CDC* pDC, CPalette* pPalette)
{
    CPalette* pOld;
    const int w = m_geom.m_nPanelWidth, h = m_geom.m_nPanelHeight;
    if (!BeginPicture(m_panel, m_bPanelValid, pDC, pPalette, w, h, &pOld))
        return;
    CDC* pPanel = m_panel.GetDC();
    m_rgnWheel.DeleteObject();
    m_rgnGrab.DeleteObject();
    pPanel->FillSolidRect(0, 0, w, h, RGB(255, 255, 255));
    m_nRadius = m_geom.RollerRadius();
    const POINT centre = m_geom.RollerCentre();
    m_nCentreX = centre.x;
    m_nCentreY = centre.y;
    const int r = m_nRadius;
    m_rgnWheel.CreateEllipticRgn(m_nCentreX - r, m_nCentreY - r, m_nCentreX + r, m_nCentreY + r);
    m_rgnGrab.CreateEllipticRgn(m_nCentreX - r - 18, m_nCentreY - r - 18, m_nCentreX + r + 18, m_nCentreY + r + 18);
    const bool bTrueColor = IsTrueColor();
    if (!bTrueColor)
        pPanel->SelectClipRgn(&m_rgnWheel);
    for (int x = m_nCentreX - r; x < m_nCentreX + r; ++x)
        for (int y = m_nCentreY - r; y < m_nCentreY + r; ++y)
        {
            const int dx = m_nCentreX - x, dy = m_nCentreY - y;
            if (dx * dx + dy * dy > r * r || (!bTrueColor && (x % 4 != 0 || y % 4 != 0)))
                continue;
            double fH, fS;
            Panel::RollerPick(dx, dy, r, &fH, &fS);
            const COLORREF clr = Math::HlsToRgb(fH, 0.5, fS);
            if (bTrueColor)
                pPanel->SetPixel(x, y, clr);
            else
                pPanel->FillSolidRect(x - 2, y - 2, 4, 4, clr);
        }
    if (!bTrueColor)
        pPanel->SelectClipRgn(nullptr);
    EndPicture(m_panel, pOld);
    m_bPanelValid = true;
}

void CExtColorCtrl::hsl_roller_data_t::Draw(CDC* pDC, CPalette* pPalette)
{
    BuildPanel(pDC, pPalette);
    BuildStrip(pDC, pPalette);
    DrawPictures(pDC, Math::MarkerFromFraction(m_geom.m_nStripWidth, m_fL), true);
    const double fTurn = 6.28318530717958 * m_fH, fReach = std::sqrt(m_fS) * m_nRadius;
    DrawMarker(pDC, m_nCentreX - static_cast<int>(std::cos(fTurn) * fReach) + kMargin,
               m_nCentreY - static_cast<int>(std::sin(fTurn) * fReach) + kMargin, kMarkerSize, kMarkerSize);
}

void CExtColorCtrl::hsl_roller_data_t::OnButtonDown(UINT nFlags, int x, int y)
{
    if (!m_bPanelValid)
        return;
    if (m_rgnGrab.GetSafeHandle() != nullptr && m_rgnGrab.PtInRegion(x - kMargin, y - kMargin))
        m_nTrackingState = TRACK_PANEL;
    else if (m_geom.IsStripPoint(y))
        m_nTrackingState = TRACK_STRIP;
    else
        m_nTrackingState = 0;
    OnTrack(nFlags | MK_LBUTTON, x, y);
}

void CExtColorCtrl::hsl_roller_data_t::OnTrack(UINT nFlags, int x, int y)
{
    if ((nFlags & MK_LBUTTON) == 0 || !m_bPanelValid)
        return;
    if (m_nTrackingState == TRACK_STRIP)
        TrackLightness(x);
    else if (m_nTrackingState == TRACK_PANEL)
    {
        if (m_rgnGrab.GetSafeHandle() == nullptr || !m_rgnGrab.PtInRegion(x - kMargin, y - kMargin))
            return;
        double fH, fS;
        Panel::RollerPick(m_nCentreX - (x - kMargin), m_nCentreY - (y - kMargin), m_nRadius, &fH, &fS);
        // Only hue and saturation follow the colour's rounding.
        const double fL = m_fL;
        m_fH = fH;
        m_fS = fS;
        SetColor(Math::HlsToRgb(fH, fL, fS));
        m_fL = fL;
    }
}

void CExtColorCtrl::hsl_roller_data_t::OnColorChanged()
{
    m_bStripValid = false;
}

// ---- axis planes ----

void CExtColorCtrl::xyz_plain_data_t::BuildStrip(CDC* pDC, CPalette* pPalette)
{
    CPalette* pOld;
    if (!BeginPicture(m_strip, m_bStripValid, pDC, pPalette, m_geom.m_nStripWidth, m_geom.m_nStripHeight, &pOld))
        return;
    const int s = DotStep();
    for (int x = 0; x < m_geom.m_nStripWidth; x += s)
        m_strip.GetDC()->FillSolidRect(x, 0, s, m_geom.m_nStripHeight, m_geom.AxisStripColor(m_nAxis, x));
    EndPicture(m_strip, pOld);
    m_bStripValid = true;
}

void CExtColorCtrl::xyz_plain_data_t::BuildPanel(CDC* pDC, CPalette* pPalette)
{
    CPalette* pOld;
    const int w = m_geom.m_nPanelWidth, h = m_geom.m_nPanelHeight;
    if (!BeginPicture(m_panel, m_bPanelValid, pDC, pPalette, w, h, &pOld))
        return;
    const int s = DotStep();
    for (int x = 0; x < w; x += s)
        for (int y = 0; y < h; y += s)
        {
            const COLORREF clr = m_geom.AxisPanelColor(m_nAxis, m_clr, x, y);
            if (s == 1)
                m_panel.GetDC()->SetPixelV(x, y, clr);
            else
                m_panel.GetDC()->FillSolidRect(x, y, 4, 4, clr);
        }
    EndPicture(m_panel, pOld);
    m_bPanelValid = true;
}

void CExtColorCtrl::xyz_plain_data_t::Draw(CDC* pDC, CPalette* pPalette)
{
    BuildPanel(pDC, pPalette);
    BuildStrip(pDC, pPalette);
    int nAcross, nDown, nStrip;
    m_geom.AxisMarkers(m_nAxis, m_clr, &nAcross, &nDown, &nStrip);
    DrawPictures(pDC, nStrip, false);
    DrawMarker(pDC, nAcross + kMargin, nDown + kMargin, kMarkerSize, kMarkerSize);
}

void CExtColorCtrl::xyz_plain_data_t::OnTrack(UINT nFlags, int x, int y)
{
    if ((nFlags & MK_LBUTTON) == 0 || !m_bStripValid)
        return;
    if (m_nTrackingState == TRACK_STRIP)
    {
        const int v = Math::ComponentFromPosition(x - kMargin, m_geom.m_nStripWidth, true);
        m_clr = Panel::AxisSetComponent(m_nAxis, m_clr, v);
        Math::RgbToHls(m_clr, &m_fH, &m_fS, &m_fL);
        m_bPanelValid = false;
    }
    else if (m_nTrackingState == TRACK_PANEL)
    {
        int px, py;
        PanelPoint(nFlags, x, y, &px, &py);
        m_clr = m_geom.AxisPanelColor(m_nAxis, m_clr, px, py);
        Math::RgbToHls(m_clr, &m_fH, &m_fS, &m_fL);
        m_nMarkerX = px;
        m_nMarkerY = py;
    }
}

void CExtColorCtrl::xyz_plain_data_t::OnColorChanged()
{
    m_bPanelValid = false;
}
