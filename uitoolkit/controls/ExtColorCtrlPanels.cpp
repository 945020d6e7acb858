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

void CExtColorCtrl::hsl_panel_data_t::FillPanel(CDC* pDC, CPalette* pPalette, int nStep, int nDotOffset,
                                                const std::function<COLORREF(int x, int y)>& colorAt)
{
    if (m_bPanelValid || !m_panel.Create(pDC, m_geom.m_nPanelWidth, m_geom.m_nPanelHeight))
        return;
    CDC* pPanel = m_panel.GetDC();
    CPalette* pOld = SelectPalette(pPanel, pPalette);
    const bool bTrueColor = IsTrueColor();
    for (int x = 0; x < m_geom.m_nPanelWidth; x += nStep)
        for (int y = 0; y < m_geom.m_nPanelHeight; y += nStep)
        {
            if (bTrueColor)
                pPanel->SetPixelV(x, y, colorAt(x, y));
            else
                pPanel->FillSolidRect(x - nDotOffset, y - nDotOffset, 4, 4, colorAt(x, y));
        }
    if (pOld != nullptr)
        pPanel->SelectPalette(pOld, FALSE);
    m_bPanelValid = true;
}

void CExtColorCtrl::hsl_panel_data_t::FillStrip(CDC* pDC, CPalette* pPalette, int nFirst, int nColumnOffset,
                                                const std::function<COLORREF(int x)>& colorAt)
{
    if (m_bStripValid || !m_strip.Create(pDC, m_geom.m_nStripWidth, m_geom.m_nStripHeight))
        return;
    CDC* pStrip = m_strip.GetDC();
    CPalette* pOld = SelectPalette(pStrip, pPalette);
    const int s = DotStep();
    for (int x = s == 1 ? 0 : nFirst; x < m_geom.m_nStripWidth; x += s)
        pStrip->FillSolidRect(s == 1 ? x : x - nColumnOffset, 0, s, m_geom.m_nStripHeight, colorAt(x));
    if (pOld != nullptr)
        pStrip->SelectPalette(pOld, FALSE);
    m_bStripValid = true;
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
    // Coarse columns count down from the right edge.
    const int w = m_geom.m_nStripWidth;
    FillStrip(pDC, pPalette, (w - 1) % 4, 3,
              [&](int x) { return Math::HlsToRgb(m_fH, static_cast<double>(x) / w, m_fS); });
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
    // Every pixel on every screen: the picture does not depend on the colour.
    const int w = m_geom.m_nPanelWidth, h = m_geom.m_nPanelHeight;
    FillPanel(pDC, pPalette, 1, 2,
              [&](int x, int y)
              { return Math::HlsToRgb(static_cast<double>(x) / w, 0.5, static_cast<double>(h - y - 1) / h); });
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
    const int w = m_geom.m_nStripWidth;
    FillStrip(pDC, pPalette, 0, 0, [&](int x) { return Math::HlsToRgb(static_cast<double>(x) / w, 0.5, 1.0); });
}

void CExtColorCtrl::hsl_basic_hue_data_t::BuildPanel(CDC* pDC, CPalette* pPalette)
{
    const int w = m_geom.m_nPanelWidth, h = m_geom.m_nPanelHeight;
    FillPanel(pDC, pPalette, DotStep(), 2,
              [&](int x, int y)
              { return Math::HlsToRgb(m_fH, static_cast<double>(h - y - 1) / h, static_cast<double>(x) / w); });
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
    const int w = m_geom.m_nPanelWidth, h = m_geom.m_nPanelHeight;
    if (m_bPanelValid || !m_panel.Create(pDC, w, h))
        return;
    CDC* pPanel = m_panel.GetDC();
    CPalette* pOld = SelectPalette(pPanel, pPalette);
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
    if (pOld != nullptr)
        pPanel->SelectPalette(pOld, FALSE);
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
    FillStrip(pDC, pPalette, 0, 0, [&](int x) { return m_geom.AxisStripColor(m_nAxis, x); });
}

void CExtColorCtrl::xyz_plain_data_t::BuildPanel(CDC* pDC, CPalette* pPalette)
{
    FillPanel(pDC, pPalette, DotStep(), 0, [&](int x, int y) { return m_geom.AxisPanelColor(m_nAxis, m_clr, x, y); });
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
