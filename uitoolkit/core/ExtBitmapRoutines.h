// The platform-free halves of the paint manager's monitor and bitmap
// helpers: fitting a rectangle into a monitor area that the caller looked
// up, the colour lists of a bitmap, and the horizontal pixel runs that make
// up a bitmap's window region. The Windows side supplies the monitor and the
// 32-bit pixels and hands the runs to the region calls.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "uitoolkit/core/ExtBitmap.h"

#include <map>
#include <vector>

class CExtBitmapRoutines
{
public:
    // A 32-bit DIB pixel (0x00RRGGBB) as a COLORREF, and back; the byte
    // order is each other's mirror, so both are the same swap.
    static COLORREF PixelToColorRef(DWORD px) { return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF); }
    static DWORD ColorRefToPixel(COLORREF clr) { return PixelToColorRef(clr); }

    // A rectangle wholly beyond an edge of area is brought back to that edge;
    // with bFullyInside it is then moved until it lies inside, so one larger
    // than the area ends on the area's left and top. The size never changes.
    static RECT FitRectIntoArea(RECT rc, const RECT& area, bool bFullyInside);

    // Each of red, green and blue lies between the key's part and that part
    // plus the range's part (capped at 255).
    static bool IsKeyColor(COLORREF clr, COLORREF clrKeyLow, COLORREF clrKeyRange);

    // Every non-key run of each row as the rectangle (x0, y, x1, y + 1); rows
    // in image order (top first). pRows holds 0x00RRGGBB pixels, the top row
    // first, nStride pixels apart.
    static std::vector<RECT> CollectRegionRuns(const DWORD* pRows, int nWidth, int nHeight, int nStride,
                                               COLORREF clrKeyLow, COLORREF clrKeyRange);

    // How often each colour occurs among 0x00RRGGBB pixels, keyed by COLORREF.
    static void CountColors(const DWORD* pPixels, size_t nCount, std::map<COLORREF, int>& histogram);

    // The colour-table entries as COLORREFs; with bNoDuplicates only the first
    // occurrence of each colour, in table order.
    static std::vector<COLORREF> ColorTableColors(const RGBQUAD* pTable, UINT nEntries, bool bNoDuplicates);
};
