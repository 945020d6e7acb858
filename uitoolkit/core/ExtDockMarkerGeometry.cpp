#include "uitoolkit/core/ExtDockMarkerGeometry.h"

#include "uitoolkit/core/ExtColorMath.h"

namespace
{

bool Inside(const RECT& rc, int x, int y)
{
    return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}

DWORD ToPixel(COLORREF c)
{
    return ((DWORD)GetRValue(c) << 16) | ((DWORD)GetGValue(c) << 8) | GetBValue(c);
}

COLORREF FromPixel(DWORD px)
{
    return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
}

int HalfWay(int nOld, int nNew)
{
    return nOld + (nNew - nOld) / 2;
}

// Whether (x, y) of the shape lies on the preview's border: a band b pixels
// deep along the outline, as deep with the tab at the top as at the bottom.
bool OnBorder(int x, int y, bool bTabShape, bool bTabTop, const RECT& rcBody, const RECT& rcTab, int b)
{
    if (b < 1)
        return false;
    if (bTabShape && Inside(rcTab, x, y))
    {
        const bool bOuterBand = bTabTop ? y < rcTab.top + b : y >= rcTab.bottom - b;
        return bOuterBand || x < rcTab.left + b || x >= rcTab.right - b;
    }
    if (!Inside(rcBody, x, y))
        return false;
    const bool bAwayBand = bTabTop ? y >= rcBody.bottom - b : y < rcBody.top + b;
    if (bAwayBand || x < rcBody.left + b || x >= rcBody.right - b)
        return true;
    const bool bTowardsBand = bTabTop ? y < rcBody.top + b : y >= rcBody.bottom - b;
    if (!bTowardsBand)
        return false;
    // where the tab joins the body the outline stays open
    return !(bTabShape && x >= rcTab.left + b && x < rcTab.right - b);
}

} // namespace

RECT CExtDockMarkerGeometry::PlaceMarker(int nKind, const RECT& rc, int cx, int cy)
{
    const int nCentredX = rc.left + (rc.right - rc.left - cx) / 2;
    const int nCentredY = rc.top + (rc.bottom - rc.top - cy) / 2;
    POINT pt = {nCentredX, nCentredY};
    switch (nKind)
    {
    case KindTop: pt.y = rc.top; break;
    case KindBottom: pt.y = rc.bottom - cy; break;
    case KindLeft: pt.x = rc.left; break;
    case KindRight: pt.x = rc.right - cx; break;
    default: break;
    }
    return RECT{pt.x, pt.y, pt.x + cx, pt.y + cy};
}

RECT CExtDockMarkerGeometry::PlaceOuterFrame(int nKind, const RECT& rc, int cxFrame, int cyFrame, const RECT& rcMargins)
{
    CRect r(PlaceMarker(nKind, rc, cxFrame, cyFrame));
    switch (nKind)
    {
    case KindTop: r.OffsetRect(0, rcMargins.top); break;
    case KindBottom: r.OffsetRect(0, -rcMargins.bottom); break;
    case KindLeft: r.OffsetRect(rcMargins.left, 0); break;
    case KindRight: r.OffsetRect(-rcMargins.right, 0); break;
    default: break;
    }
    return r;
}

POINT CExtDockMarkerGeometry::OuterImageOffset(int nKind)
{
    switch (nKind)
    {
    case KindBottom: return POINT{4, 3};
    case KindRight: return POINT{3, 4};
    default: return POINT{4, 4};
    }
}

POINT CExtDockMarkerGeometry::LayoutShift(int nKind, bool bCompass)
{
    if (nKind == KindTab)
        return POINT{1, 1};
    if (!bCompass)
        return POINT{0, 0};
    switch (nKind)
    {
    case KindTop: return POINT{1, 10};
    case KindBottom: return POINT{1, -8};
    case KindLeft: return POINT{10, 1};
    case KindRight: return POINT{-8, 1};
    default: return POINT{0, 0};
    }
}

RECT CExtDockMarkerGeometry::CompassBox(const RECT& rc, int cxCentre, int cyCentre)
{
    const int cx = cxCentre + g_nCompassPadding;
    const int cy = cyCentre + g_nCompassPadding;
    const int x = rc.left + (rc.right - rc.left - cx) / 2;
    const int y = rc.top + (rc.bottom - rc.top - cy) / 2;
    return RECT{x, y, x + cx, y + cy};
}

void CExtDockMarkerGeometry::ShadeDockingPreview(DWORD* pPixels, int nWidth, int nHeight, bool bTabShape, bool bTabTop,
                                                 const RECT& rcBody, const RECT& rcTab, COLORREF clrFill,
                                                 COLORREF clrBorder, int nBorderWidth, bool bFewColors,
                                                 COLORREF clrCheckers)
{
    if (pPixels == nullptr || nWidth <= 0 || nHeight <= 0)
        return;
    for (int nRow = 0; nRow < nHeight; ++nRow) // from the bottom
    {
        const int y = nHeight - 1 - nRow;
        DWORD* pRow = pPixels + (size_t)nRow * nWidth;
        for (int x = 0; x < nWidth; ++x)
        {
            if (bTabShape && !Inside(rcBody, x, y) && !Inside(rcTab, x, y))
                continue;
            if (bFewColors)
            {
                if ((nRow % 2 == 1) == (x % 2 == 0))
                    pRow[x] = ToPixel(clrCheckers);
                continue;
            }
            const COLORREF clr = OnBorder(x, y, bTabShape, bTabTop, rcBody, rcTab, nBorderWidth) ? clrBorder : clrFill;
            const COLORREF old = FromPixel(pRow[x]);
            const COLORREF mixed = RGB(HalfWay(GetRValue(old), GetRValue(clr)), HalfWay(GetGValue(old), GetGValue(clr)),
                                       HalfWay(GetBValue(old), GetBValue(clr)));
            pRow[x] = ToPixel(CExtColorMath::AdjustColorHls(mixed, 0.0, 0.1, 0.0));
        }
    }
}
