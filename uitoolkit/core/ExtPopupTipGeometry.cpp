#include "uitoolkit/core/ExtPopupTipGeometry.h"

#include <algorithm>

CExtPopupTipGeometry::Shape CExtPopupTipGeometry::BalloonShape(int nType, SIZE sizeText, SIZE sizeIcon, POINT ptAnchor,
                                                               const RECT& rcPlacement)
{
    Shape s;
    int bw = sizeText.cx + 2 * BalloonMarginX;
    int bh = sizeText.cy + 2 * BalloonMarginY;
    if (nType == TipTypeBalloonIcon && sizeIcon.cx > 0 && sizeIcon.cy > 0)
    {
        bw += sizeIcon.cx + IconGap;
        bh = std::max<int>(bh, sizeIcon.cy + 2 * BalloonMarginY);
    }
    s.Window = CSize(bw, bh + TailHeight);
    s.Body = CRect(0, 0, bw, bh);
    s.Tail[0] = {bw - BalloonMarginX, bh - BalloonMarginY};
    s.Tail[1] = {bw - BalloonMarginX, bh + TailHeight - BalloonMarginY};
    s.Tail[2] = {bw - BalloonMarginX - TailWidth, bh - BalloonMarginY};
    if (ptAnchor.x - bw < rcPlacement.left)
    {
        s.Mirror |= MirrorHorz;
        for (POINT& pt : s.Tail)
            pt.x = bw - pt.x;
    }
    if (ptAnchor.y - bh - 20 < rcPlacement.top)
    {
        s.Mirror |= MirrorVert;
        for (POINT& pt : s.Tail)
            pt.y = s.Window.cy - pt.y;
        s.Body.OffsetRect(0, TailHeight);
    }
    return s;
}

POINT CExtPopupTipGeometry::BalloonAnchor(const RECT& rcArea)
{
    return {rcArea.left + AnchorInset / 2, rcArea.top + AnchorInset / 2};
}

POINT CExtPopupTipGeometry::BalloonPosition(const Shape& shape, POINT ptAnchor, const RECT& rcArea)
{
    if (shape.Mirror & MirrorHorz)
        ptAnchor.x += (rcArea.right - rcArea.left) - 3 * AnchorInset + shape.Window.cx;
    if (shape.Mirror & MirrorVert)
        ptAnchor.y += (rcArea.bottom - rcArea.top) - 3 * AnchorInset + shape.Window.cy;
    return {ptAnchor.x + BalloonMarginX - shape.Window.cx, ptAnchor.y + BalloonMarginY - shape.Window.cy};
}

CExtPopupTipGeometry::Shape CExtPopupTipGeometry::RectShape(int nType, SIZE sizeText, SIZE sizeIcon, int nShadowSize)
{
    int w = sizeText.cx;
    int h = sizeText.cy;
    if ((nType == TipTypeRectIconBelow || nType == TipTypeRectIconAbove) && sizeIcon.cx > 0 && sizeIcon.cy > 0)
    {
        w += sizeIcon.cx + IconGap;
        h = std::max<int>(h, sizeIcon.cy);
    }
    Shape s;
    s.Window = CSize(w + 2 * RectMarginX + nShadowSize, h + 2 * RectMarginY + nShadowSize);
    s.Body = CRect(0, 0, s.Window.cx, s.Window.cy);
    return s;
}

POINT CExtPopupTipGeometry::RectPosition(int nType, const Shape& shape, const RECT& rcArea, POINT ptCursor,
                                         int nCursorHeight, const RECT& rcPlacement)
{
    POINT pt = {(rcArea.left + rcArea.right) / 2, 0};
    if (nType == TipTypeRectIconAbove || nType == TipTypeRectAbove)
        pt.y = rcArea.top - shape.Window.cy - 3;
    else if (nCursorHeight > 0)
    {
        pt.x = ptCursor.x;
        pt.y = std::max<int>(ptCursor.y + nCursorHeight, rcArea.bottom);
    }
    else
        pt.y = rcArea.bottom + RectGap;
    if (pt.x + shape.Window.cx > rcPlacement.right)
        pt.x = rcPlacement.right - shape.Window.cx;
    if (pt.y + shape.Window.cy > rcPlacement.bottom)
        pt.y = rcPlacement.bottom - shape.Window.cy;
    if (pt.x < rcPlacement.left)
        pt.x = rcPlacement.left;
    if (pt.y < rcPlacement.top)
        pt.y = rcPlacement.top;
    return pt;
}
