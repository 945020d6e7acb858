// Separators of tool bars, status bars and menus: the classic etched line,
// the XP family's soft one-pixel line, and the Office 2003 band of bars.
#include "uitoolkit/bars/ExtStatusControlBar.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"

void CExtPaintManager::PaintSeparator(CDC& dc, const RECT& rc, bool bHorz, bool bTransparentBackground,
                                      CObject* pHelperSrc, LPARAM lParam)
{
    const CRect r(rc);
    if (!bTransparentBackground)
        dc.FillSolidRect(&r, GetColor(TC_FACE_NORMAL, pHelperSrc, lParam));
    const COLORREF clrShadow = GetColor(TC_SHADOW_NORMAL, pHelperSrc, lParam);
    const COLORREF clrHilight = GetColor(TC_HILIGHT_NORMAL, pHelperSrc, lParam);
    if (bHorz)
    {
        const int m = (r.left + r.right) / 2;
        dc.Draw3dRect(CRect(m - 1, r.top, m + 1, r.bottom - 1), clrShadow, clrHilight);
    }
    else
    {
        const int m = (r.top + r.bottom) / 2;
        dc.Draw3dRect(CRect(r.left, m - 1, r.right - 1, m + 1), clrShadow, clrHilight);
    }
}

void CExtPaintManagerXP::PaintSeparator(CDC& dc, const RECT& rc, bool bHorz, bool bTransparentBackground,
                                        CObject* pHelperSrc, LPARAM lParam)
{
    const CRect r(rc);
    if (!bTransparentBackground)
        dc.FillSolidRect(&r, GetColor(TC_FACE_NORMAL, pHelperSrc, lParam));
    const COLORREF clr = GetColor(TC_XP_SOFT_SHADOW, pHelperSrc, lParam);
    if (bHorz)
        dc.FillSolidRect(CRect(r.left + r.Width() / 2 - 1, r.top + 1, r.left + r.Width() / 2, r.bottom - 1), clr);
    else
        dc.FillSolidRect(CRect(r.left + 1, r.top + r.Height() / 2 - 1, r.right - 1, r.top + r.Height() / 2), clr);
}

void CExtPaintManagerOffice2003::PaintSeparator(CDC& dc, const RECT& rc, bool bHorz, bool bTransparentBackground,
                                                CObject* pHelperSrc, LPARAM lParam)
{
    const bool bBarOwner = pHelperSrc != nullptr && (pHelperSrc->IsKindOf(RUNTIME_CLASS(CExtToolControlBar)) ||
                                                     pHelperSrc->IsKindOf(RUNTIME_CLASS(CExtBarButton)) ||
                                                     pHelperSrc->IsKindOf(RUNTIME_CLASS(CExtStatusControlBar)));
    if (!bBarOwner || GetDcBitsPerPixel(dc) <= 8)
    {
        CExtPaintManagerXP::PaintSeparator(dc, rc, bHorz, bTransparentBackground, pHelperSrc, lParam);
        return;
    }
    const bool bStatusBar = pHelperSrc->IsKindOf(RUNTIME_CLASS(CExtStatusControlBar)) != FALSE;
    const CRect r(rc);
    if (!bTransparentBackground)
        dc.FillSolidRect(&r, GetColor(TC_FACE_NORMAL, pHelperSrc, lParam));
    CRect band;
    if (bHorz)
    {
        const int m = (r.left + r.right) / 2;
        band.SetRect(m - 1, r.top, m + 1, r.bottom);
        if (!bStatusBar)
            band.DeflateRect(0, 3, 0, 4);
    }
    else
    {
        const int m = (r.top + r.bottom) / 2;
        band.SetRect(r.left, m - 1, r.right, m + 1);
        if (!bStatusBar)
            band.DeflateRect(4, 0, 5, 0);
    }
    dc.Draw3dRect(&band, GetColor(TC_2003_ROW_DARK, pHelperSrc, lParam),
                  GetColor(TC_2003_ROW_LIGHT, pHelperSrc, lParam));
}
