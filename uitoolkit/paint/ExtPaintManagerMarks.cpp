// Check marks, radio dots, corner-less 3D frames, the insertion mark and the
// drag outline: small pieces that several painters share.
#include "uitoolkit/paint/ExtPaintManager.h"

namespace
{

COLORREF ShadowOf(CDC& dc, COLORREF clr)
{
    return dc.GetNearestColor(RGB(255 - GetRValue(clr), 255 - GetGValue(clr), 255 - GetBValue(clr)));
}

} // namespace

void CExtPaintManager::PaintMenuCheckMark(CDC& dc, int x, int y, COLORREF clr)
{
    static const int kRowOfColumn[7] = {2, 3, 4, 3, 2, 1, 0};
    const COLORREF clrShadow = ShadowOf(dc, clr);
    for (int i = 0; i < 7; ++i)
    {
        const int t = kRowOfColumn[i];
        dc.SetPixel(x + i, y + t, clr);
        dc.SetPixel(x + i, y + t + 1, clr);
        dc.SetPixel(x + i, y + t + 2, clrShadow);
    }
}

void CExtPaintManager::PaintMenuRadioDot(CDC& dc, int x, int y, COLORREF clr)
{
    auto ellipse = [&dc](const RECT& rc, COLORREF c)
    {
        CPen pen;
        CBrush brush;
        pen.CreatePen(PS_SOLID, 1, c);
        brush.CreateSolidBrush(c);
        CPen* pOldPen = dc.SelectObject(&pen);
        CBrush* pOldBrush = dc.SelectObject(&brush);
        dc.Ellipse(&rc);
        dc.SelectObject(pOldBrush);
        dc.SelectObject(pOldPen);
    };
    ellipse(CRect(x + 1, y + 1, x + 7, y + 7), ShadowOf(dc, clr));
    ellipse(CRect(x, y, x + 6, y + 6), clr);
}

void CExtPaintManager::Draw3dRectNoCorners(CDC& dc, int x, int y, int cx, int cy, COLORREF clrTopLeft,
                                           COLORREF clrBottomRight)
{
    dc.FillSolidRect(x + 1, y, cx - 2, 1, clrTopLeft);
    dc.FillSolidRect(x, y + 1, 1, cy - 2, clrTopLeft);
    dc.FillSolidRect(x + cx - 1, y + 1, 1, cy - 2, clrBottomRight);
    dc.FillSolidRect(x + 1, y + cy - 1, cx - 2, 1, clrBottomRight);
}

void CExtPaintManager::Draw3dRectNoCorners(CDC& dc, const RECT& rc, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRectNoCorners(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, clrTopLeft, clrBottomRight);
}

void CExtPaintManager::PaintDragOutline(CDC& dc, const RECT& rc)
{
    if (!dc.RectVisible(&rc))
        return;
    const COLORREF clr = SysColor(COLOR_BTNTEXT);
    CRect r(rc);
    dc.Draw3dRect(&r, clr, clr);
    r.DeflateRect(1, 1);
    dc.Draw3dRect(&r, clr, clr);
}

void CExtPaintManager::PaintInsertMark(CDC& dc, const RECT& rc, bool bLeadingEdge, bool bHorizontal)
{
    const COLORREF clr = SysColor(COLOR_BTNTEXT);
    // An I-beam: a two-pixel bar on the chosen edge with serifs at its ends,
    // six pixels wide on the end row and four on the two end rows.
    if (bHorizontal)
    {
        const int top = rc.top - 1, bottom = rc.bottom + 1;
        const int c = bLeadingEdge ? rc.left : rc.right;
        dc.FillSolidRect(CRect(c - 1, top, c + 1, bottom), clr);
        dc.FillSolidRect(CRect(c - 3, top, c + 3, top + 1), clr);
        dc.FillSolidRect(CRect(c - 2, top, c + 2, top + 2), clr);
        dc.FillSolidRect(CRect(c - 3, bottom - 1, c + 3, bottom), clr);
        dc.FillSolidRect(CRect(c - 2, bottom - 2, c + 2, bottom), clr);
    }
    else
    {
        const int left = rc.left - 1, right = rc.right + 1;
        const int c = bLeadingEdge ? rc.top : rc.bottom;
        dc.FillSolidRect(CRect(left, c - 1, right, c + 1), clr);
        dc.FillSolidRect(CRect(left, c - 3, left + 1, c + 3), clr);
        dc.FillSolidRect(CRect(left, c - 2, left + 2, c + 2), clr);
        dc.FillSolidRect(CRect(right - 1, c - 3, right, c + 3), clr);
        dc.FillSolidRect(CRect(right - 2, c - 2, right, c + 2), clr);
    }
}
