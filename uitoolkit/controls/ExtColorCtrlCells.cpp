// The cell-based picker modes: honeycomb, grey, RGB and CMY mixers and the
// difference view.
#include "uitoolkit/controls/ExtColorCtrl.h"

#include "uitoolkit/core/ExtColorMath.h"

namespace
{

using Cells = CExtColorPickerCells;

void FrameRegion(CDC* pDC, CRgn& rgn, COLORREF clr, int n)
{
    CBrush brush;
    brush.CreateSolidBrush(clr);
    pDC->FrameRgn(&rgn, &brush, n, n);
}

} // namespace

BOOL CExtColorCtrl::cell_based_data_t::Layout(CDC* pDC, CPalette* pPalette, int cx, int cy, bool bKeepCells)
{
    any_picker_data_t::Layout(pDC, pPalette, cx, cy, bKeepCells);
    Cells::LayoutHoneycomb(m_arrCells, m_nWidth, m_nHeight, bKeepCells);
    return TRUE;
}

void CExtColorCtrl::cell_based_data_t::Reset()
{
    m_nTrackingState = 0;
}

void CExtColorCtrl::cell_based_data_t::Draw(CDC* pDC, CPalette* pPalette)
{
    int hl[3];
    const int n = Cells::HoneycombHighlights(m_arrCells, m_clr, hl);
    DrawCells(pDC, pPalette, hl, n);
}

void CExtColorCtrl::cell_based_data_t::OnButtonDown(UINT nFlags, int x, int y)
{
    m_nTrackingState = TRACK_CELLS;
    OnTrack(nFlags | MK_LBUTTON, x, y);
}

void CExtColorCtrl::cell_based_data_t::OnButtonUp(UINT, int, int)
{
    m_nTrackingState = 0;
}

void CExtColorCtrl::cell_based_data_t::OnTrack(UINT, int x, int y)
{
    if (m_nTrackingState != TRACK_CELLS)
        return;
    const int n = Cells::FindCell(m_arrCells, x, y);
    if (n >= 0)
        SetColor(m_arrCells[n].m_clr);
}

void CExtColorCtrl::cell_based_data_t::DrawCells(CDC* pDC, CPalette* pPalette, const int* pnHighlighted,
                                                 int nHighlighted)
{
    CPalette* pOldPalette = SelectPalette(pDC, pPalette);
    for (INT_PTR i = 0; i < m_arrCells.GetSize(); ++i)
        DrawCell(pDC, m_arrCells[i], false, pPalette != nullptr);
    for (int i = 0; i < nHighlighted; ++i)
        DrawCell(pDC, m_arrCells[pnHighlighted[i]], true, pPalette != nullptr);
    if (pOldPalette != nullptr)
        pDC->SelectPalette(pOldPalette, FALSE);
}

void CExtColorCtrl::cell_based_data_t::DrawCell(CDC* pDC, const cell_t& cell, bool bHighlighted, bool bPalette)
{
    const int nSaved = pDC->SaveDC();
    CBrush brush;
    brush.CreateSolidBrush(cell.m_clr);
    CPen pen;
    pen.CreatePen(PS_SOLID, 0, cell.m_clr);
    pDC->SelectObject(&brush);
    pDC->SelectObject(&pen);
    if (!cell.m_bHexagon)
    {
        CRect rc(cell.m_rect);
        if (bHighlighted)
        {
            const COLORREF frame[3] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0)};
            for (int n = 3; n >= 1; --n)
            {
                CRect rcFrame(rc);
                rcFrame.InflateRect(n, n);
                pDC->FillSolidRect(&rcFrame, frame[3 - n]);
            }
        }
        if (bPalette)
            pDC->FillRect(&rc, &brush);
        else
            pDC->FillSolidRect(&rc, cell.m_clr);
    }
    else if (!bHighlighted)
        pDC->Polygon(cell.m_pts, 6);
    else
    {
        static const POINT kGrow[6] = {{-2, -1}, {0, -2}, {2, -1}, {2, 1}, {0, 2}, {-2, 1}};
        POINT ptsOuter[6];
        for (int i = 0; i < 6; ++i)
            ptsOuter[i] = POINT{cell.m_pts[i].x + kGrow[i].x, cell.m_pts[i].y + kGrow[i].y};
        CRgn rgnOuter, rgnCell;
        rgnOuter.CreatePolygonRgn(ptsOuter, 6, WINDING);
        rgnCell.CreatePolygonRgn(cell.m_pts, 6, WINDING);
        CBrush brushWhite;
        brushWhite.CreateSolidBrush(RGB(255, 255, 255));
        pDC->FillRgn(&rgnOuter, &brushWhite);
        pDC->Polygon(cell.m_pts, 6);
        FrameRegion(pDC, rgnOuter, RGB(255, 255, 255), 3);
        FrameRegion(pDC, rgnOuter, RGB(0, 0, 0), 1);
        FrameRegion(pDC, rgnCell, RGB(0, 0, 0), 1);
    }
    pDC->RestoreDC(nSaved);
}

BOOL CExtColorCtrl::mixer_data_t::Layout(CDC* pDC, CPalette* pPalette, int cx, int cy, bool bKeepCells)
{
    any_picker_data_t::Layout(pDC, pPalette, cx, cy, bKeepCells);
    Cells::LayoutMixer(m_arrCells, m_eMixer, m_nWidth, m_nHeight, bKeepCells);
    return TRUE;
}

void CExtColorCtrl::mixer_data_t::Draw(CDC* pDC, CPalette* pPalette)
{
    int hl[3];
    DrawCells(pDC, pPalette, hl, Cells::MixerHighlights(m_eMixer, m_clr, hl));
}

void CExtColorCtrl::mixer_data_t::OnTrack(UINT nFlags, int x, int y)
{
    // A grey cell gives its colour as the honeycomb's do; the RGB and CMY
    // columns replace one component and change the colour directly.
    if (m_eMixer == Cells::MIXER_GRAY)
    {
        cell_based_data_t::OnTrack(nFlags, x, y);
        return;
    }
    if (m_nTrackingState != TRACK_CELLS)
        return;
    const int n = Cells::FindCell(m_arrCells, x, y);
    if (n >= 0)
        m_clr = Cells::MixerPick(m_eMixer, n, m_clr);
}

BOOL CExtColorCtrl::diff_data_t::Layout(CDC* pDC, CPalette* pPalette, int cx, int cy, bool bKeepCells)
{
    any_picker_data_t::Layout(pDC, pPalette, cx, cy, bKeepCells);
    Cells::LayoutDiff(m_arrCells, m_nWidth, m_nHeight, bKeepCells, m_clr, m_clrRef);
    return TRUE;
}

void CExtColorCtrl::diff_data_t::Draw(CDC* pDC, CPalette* pPalette)
{
    DrawCells(pDC, pPalette, nullptr, 0);
}

void CExtColorCtrl::diff_data_t::SetColor(COLORREF clr)
{
    grayscale_mixer_data_t::SetColor(clr);
    Cells::LayoutDiff(m_arrCells, m_nWidth, m_nHeight, false, m_clr, m_clrRef);
}

void CExtColorCtrl::diff_data_t::SetHLS(double fH, double fL, double fS)
{
    grayscale_mixer_data_t::SetHLS(fH, fL, fS);
    Cells::LayoutDiff(m_arrCells, m_nWidth, m_nHeight, false, m_clr, m_clrRef);
}
