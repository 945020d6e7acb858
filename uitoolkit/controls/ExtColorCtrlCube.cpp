// The RGB and CMY cube picker modes.
#include "uitoolkit/controls/ExtBitmapDC.h"
#include "uitoolkit/controls/ExtColorCtrl.h"
#include "uitoolkit/core/ExtColorMath.h"
#include "uitoolkit/paint/ExtPaintManager.h"

namespace
{

using Cube = CExtColorCubeGeometry;

void DrawHandle(CDC* pDC, const POINT& pt, int nExtra)
{
    const int h = Cube::HANDLE_HALF;
    CRect rc(pt.x - h, pt.y - h, pt.x + h + nExtra, pt.y + h + nExtra);
    pDC->Draw3dRect(&rc, RGB(0, 0, 0), RGB(0, 0, 0));
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(&rc, RGB(255, 255, 255), RGB(255, 255, 255));
}

} // namespace

COLORREF CExtColorCtrl::rgb_cube_data_t::Components() const
{
    return m_bCmy ? CExtColorMath::InvertColor(m_clr) : m_clr & 0xFFFFFF;
}

COLORREF CExtColorCtrl::rgb_cube_data_t::FromComponents(COLORREF clrComponents) const
{
    return m_bCmy ? CExtColorMath::InvertColor(clrComponents) : clrComponents;
}

void CExtColorCtrl::rgb_cube_data_t::PlaceHandles()
{
    const COLORREF c = Components();
    m_geom.PlaceHandles(GetRValue(c), GetGValue(c), GetBValue(c));
}

BOOL CExtColorCtrl::rgb_cube_data_t::Layout(CDC* pDC, CPalette* pPalette, int cx, int cy, bool bKeepCells)
{
    if (cx != m_nWidth || cy != m_nHeight)
        Reset();
    any_picker_data_t::Layout(pDC, pPalette, cx, cy, bKeepCells);
    Render(pDC, pPalette);
    PlaceHandles();
    return TRUE;
}

void CExtColorCtrl::rgb_cube_data_t::Reset()
{
    m_cache.Destroy();
    m_nTrackingState = 0;
}

void CExtColorCtrl::rgb_cube_data_t::Render(CDC* pDC, CPalette* pPalette)
{
    m_geom.Build(m_nWidth, m_nHeight);
    if (m_cache.GetDC() != nullptr || !m_geom.HasPicture())
        return;
    const int W = m_geom.Width(), H = m_geom.Height();
    if (!m_cache.Create(pDC, W, H))
        return;
    CDC* pCache = m_cache.GetDC();
    CPalette* pOldPalette = SelectPalette(pCache, pPalette);
    const bool bTrueColor = CExtPaintManager::GetScreenBitsPerPixel() > 8;
    const int nDot = bTrueColor ? 1 : 4;
    pCache->FillSolidRect(0, 0, W, H, RGB(255, 255, 255));
    const int n = m_geom.FaceSteps();
    for (int face = Cube::FACE_FIRST_SECOND; face <= Cube::FACE_SECOND_THIRD; ++face)
        for (int i = 0; i <= n; ++i)
            for (int j = 0; j <= n; ++j)
            {
                POINT pt;
                int a, b, c;
                m_geom.FaceDot(static_cast<Cube::e_face_t>(face), i, j, &pt, &a, &b, &c);
                const COLORREF clr = FromComponents(RGB(a, b, c));
                if (bTrueColor)
                {
                    pCache->SetPixelV(pt.x, pt.y, clr);
                    if (face == Cube::FACE_SECOND_THIRD)
                        pCache->SetPixelV(pt.x - 1, pt.y, clr);
                }
                else
                    pCache->FillSolidRect(pt.x - nDot / 2, pt.y - nDot / 2, nDot, nDot, clr);
            }
    if (pOldPalette != nullptr)
        pCache->SelectPalette(pOldPalette, FALSE);
}

void CExtColorCtrl::rgb_cube_data_t::Draw(CDC* pDC, CPalette* pPalette)
{
    CPalette* pOldPalette = SelectPalette(pDC, pPalette);
    Render(pDC, pPalette);
    if (m_cache.GetDC() != nullptr)
    {
        const RECT& rc = m_geom.m_rcCube;
        CExtPaintManager::TransparentBltEmulated(pDC->GetSafeHdc(), rc.left, rc.top, m_geom.Width(), m_geom.Height(),
                                                 m_cache.GetDC()->GetSafeHdc(), 0, 0, m_geom.Width(), m_geom.Height(),
                                                 RGB(255, 255, 255));
        CGdiObject* pOldPen = pDC->SelectStockObject(BLACK_PEN);
        pDC->MoveTo(m_geom.m_ptA);
        pDC->LineTo(m_geom.m_ptO);
        pDC->LineTo(m_geom.m_ptC);
        pDC->MoveTo(m_geom.m_ptB);
        pDC->LineTo(m_geom.m_ptO);
        pDC->SelectStockObject(WHITE_PEN);
        const POINT box[] = {m_geom.m_ptFirstSecond, m_geom.m_ptSecond,     m_geom.m_ptSecondThird,
                             m_geom.m_ptThird,       m_geom.m_ptFirstThird, m_geom.m_ptFirst,
                             m_geom.m_ptFirstSecond, m_geom.m_ptAll,        m_geom.m_ptFirstThird};
        pDC->MoveTo(box[0]);
        for (int i = 1; i < 9; ++i)
            pDC->LineTo(box[i]);
        pDC->MoveTo(m_geom.m_ptAll);
        pDC->LineTo(m_geom.m_ptSecondThird);
        pDC->SelectObject(pOldPen);
        DrawHandle(pDC, m_geom.m_ptFirst, 1);
        DrawHandle(pDC, m_geom.m_ptSecond, 0);
        DrawHandle(pDC, m_geom.m_ptThird, 0);
    }
    if (pOldPalette != nullptr)
        pDC->SelectPalette(pOldPalette, FALSE);
}

void CExtColorCtrl::rgb_cube_data_t::OnButtonDown(UINT nFlags, int x, int y)
{
    m_nTrackingState = m_geom.HandleAt(x, y);
    if (m_nTrackingState != 0)
    {
        OnTrack(nFlags | MK_LBUTTON, x, y);
        return;
    }
    CDC* pCache = m_cache.GetDC();
    if (pCache == nullptr || CExtPaintManager::GetScreenBitsPerPixel() <= 8)
        return;
    const int nFace = m_geom.FaceAt(x, y);
    if (nFace < 0)
        return;
    COLORREF clr = pCache->GetPixel(x - m_geom.m_rcCube.left, y - m_geom.m_rcCube.top);
    if (clr == RGB(255, 255, 255) || clr == CLR_INVALID)
        return;
    if ((nFlags & MK_CONTROL) != 0)
    {
        // The face's missing component stays: blue, green or red.
        static const COLORREF kKept[3] = {0xFF0000, 0x00FF00, 0x0000FF};
        clr = (clr & ~kKept[nFace]) | (m_clr & kKept[nFace]);
    }
    SetColor(clr);
}

void CExtColorCtrl::rgb_cube_data_t::OnButtonUp(UINT, int, int)
{
    m_nTrackingState = 0;
}

void CExtColorCtrl::rgb_cube_data_t::OnTrack(UINT, int x, int y)
{
    if (m_nTrackingState < 1 || m_nTrackingState > 3)
        return;
    int v = 0;
    if (!m_geom.TrackHandle(m_nTrackingState, x, y, &v))
        return;
    const int nShift = 8 * (m_nTrackingState - 1);
    const COLORREF c = Components();
    if (static_cast<int>((c >> nShift) & 0xFF) == v)
        return;
    m_clr = FromComponents((c & ~(0xFFu << nShift)) | (static_cast<COLORREF>(v) << nShift));
    PlaceHandles();
}

void CExtColorCtrl::rgb_cube_data_t::SetColor(COLORREF clr)
{
    any_picker_data_t::SetColor(clr);
    PlaceHandles();
}

void CExtColorCtrl::rgb_cube_data_t::SetHLS(double fH, double fL, double fS)
{
    any_picker_data_t::SetHLS(fH, fL, fS);
    PlaceHandles();
}
