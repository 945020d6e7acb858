// Glyph painting and the tree-box images: one body for every theme.
#include "uitoolkit/core/ExtGlyphBitmap.h"
#include "uitoolkit/core/ExtTreeBoxImages.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"

void CExtPaintManager::PaintGlyph(CDC& dc, int x, int y, const CExtGlyphBitmap& glyph, const COLORREF* pColors)
{
    const SIZE size = glyph.GetSize();
    const UINT* pData = glyph.GetData();
    const CRect rc(x, y, x + size.cx, y + size.cy);
    // a glyph outside the clip costs no pixel operation
    if (pData == nullptr || !dc.RectVisible(&rc))
        return;
    for (int row = 0; row < size.cy; ++row)
    {
        for (int col = 0; col < size.cx; ++col)
        {
            const UINT index = pData[row * size.cx + col];
            if (index != 0)
                dc.SetPixel(x + col, y + row, pColors[index]);
        }
    }
}

void CExtPaintManager::PaintGlyphCentered(CDC& dc, const RECT& rc, const CExtGlyphBitmap& glyph,
                                          const COLORREF* pColors)
{
    CRect r(rc);
    r.NormalizeRect();
    const SIZE size = glyph.GetSize();
    if (r.IsRectEmpty() || size.cx > r.Width() || size.cy > r.Height())
        return;
    PaintGlyph(dc, r.left + (r.Width() - size.cx) / 2, r.top + (r.Height() - size.cy) / 2, glyph, pColors);
}

void CExtPaintManager::LoadTreeBoxIcon(CExtCmdIcon& icon, bool bExpanded)
{
    icon.Empty();
    HBITMAP hBitmap = LoadBitmapFromMemory(CExtTreeBoxImages::GetFile(bExpanded), CExtTreeBoxImages::g_nFileSize);
    // the images hold no magenta: no pixel of them is transparent
    if (hBitmap != nullptr)
        icon.AssignFromHBITMAP(hBitmap, RGB(255, 0, 255), nullptr, false);
}
