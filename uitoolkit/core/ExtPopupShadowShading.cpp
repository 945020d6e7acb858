#include "uitoolkit/core/ExtPopupShadowShading.h"

#include "uitoolkit/core/ExtColorMath.h"

#include <algorithm>
#include <cmath>

namespace
{

// How the window and the element it adjoins meet; each changes where the
// bands start or end and which rounded corners are left out.
struct BandLayout
{
    int nCase = 0;
    bool bOmitBottomRight = false;
    bool bOmitBottomLeft = false;
    bool bOmitTopRight = false;
};

BandLayout Classify(const CRect& a, const CRect& b)
{
    BandLayout l;
    if (a.IsRectEmpty() || b.IsRectEmpty())
        return l;
    if (a.right == b.right && a.top < b.top)
        l.nCase = 1;
    else if (a.right == b.right)
        l.nCase = 2;
    else if (a.left == b.left && b.bottom >= a.top - 1 && b.top < a.top && b.right >= a.right)
        l.nCase = 3;
    else if (a.left == b.left && a.bottom >= b.top - 1 && a.top < b.top && a.right >= b.right)
        l.nCase = 4;
    else if (a.bottom == b.bottom && a.left < b.left)
        l.nCase = 5;
    else if (a.bottom == b.bottom)
        l.nCase = 6;
    else if (a.right == b.left + 1)
        l.nCase = 7;
    else if (a.left == b.right - 1)
        l.nCase = 8;
    l.bOmitBottomRight = l.nCase == 1 || l.nCase == 5;
    l.bOmitTopRight = l.nCase == 2 || l.nCase == 3;
    l.bOmitBottomLeft = l.nCase == 4 || l.nCase == 6 || l.nCase == 8;
    return l;
}

BYTE ShadeChannel(DWORD c, int nPercent, COLORREF clrTint, int nShift)
{
    int f = nPercent;
    if (clrTint != static_cast<COLORREF>(-1))
    {
        const int t = static_cast<int>((clrTint >> nShift) & 0xFF);
        f = std::min(100, nPercent + CExtColorMath::MulDivRound(100 - nPercent, t, 255));
    }
    return static_cast<BYTE>(static_cast<int>(c) * f / 100);
}

} // namespace

void CExtPopupShadowShading::ShadePixel(Image& image, int nPercent, int x, int y, COLORREF clrTint)
{
    const int nRow = image.Height - y;
    if (image.Bits == nullptr || x < 0 || x >= image.Width || nRow < 0 || nRow >= image.Height)
        return;
    DWORD& px = image.Bits[static_cast<size_t>(nRow) * image.Width + x];
    // the pixel is 0x00RRGGBB and the tint a COLORREF 0x00BBGGRR
    const BYTE r = ShadeChannel((px >> 16) & 0xFF, nPercent, clrTint, 0);
    const BYTE g = ShadeChannel((px >> 8) & 0xFF, nPercent, clrTint, 8);
    const BYTE b = ShadeChannel(px & 0xFF, nPercent, clrTint, 16);
    px = (DWORD(r) << 16) | (DWORD(g) << 8) | b;
}

void CExtPopupShadowShading::Shade(Image& image, const RECT& rcWindow, const RECT& rcA, const RECT& rcB, int nSize,
                                   int nMinPercent, int nMaxPercent, COLORREF clrTint)
{
    if (nSize <= 0)
        return;
    const CRect a(rcA), b(rcB);
    const int w = rcWindow.right - rcWindow.left;
    const int h = rcWindow.bottom - rcWindow.top;
    const int nRange = nMaxPercent - nMinPercent;
    const BandLayout l = Classify(a, b);
    // where the adjoining element ends, relative to the window's own edges
    const int nCase7Row = b.bottom - a.top;
    const int nCase4Column = w - a.right + b.right;
    for (int i = 0; i < nSize; ++i)
    {
        const int p = nMinPercent + (i * nRange) / nSize;

        int xStart = 2 * nSize + 1;
        if (l.nCase == 4)
            xStart = i + 1 + nCase4Column;
        else if (l.nCase == 6)
            xStart = nSize + 1;
        else if (l.nCase == 8)
            xStart = i + 1;
        const int xEnd = l.nCase == 5 ? w + nSize : w;
        for (int x = xStart; x < xEnd; ++x)
            ShadePixel(image, p, x, h + i, clrTint);

        int yStart = 2 * nSize + 1;
        if (l.nCase == 2)
            yStart = nSize + 1;
        else if (l.nCase == 3)
            yStart = i + 1;
        const int yEnd = l.nCase == 1 ? h + nSize : h;
        for (int y = yStart; y < yEnd; ++y)
        {
            if (l.nCase == 7 && y >= nCase7Row && y < nCase7Row + i)
                continue;
            ShadePixel(image, p, w + i, y, clrTint);
        }

        for (int m = 0; m < nSize && i * i + m * m <= nSize * nSize; ++m)
        {
            const int q = nMinPercent + (static_cast<int>(std::sqrt(double(i * i + m * m))) * nRange) / nSize;
            if (!l.bOmitBottomRight)
                ShadePixel(image, q, w + i, h + m, clrTint);
            if (!l.bOmitBottomLeft)
                ShadePixel(image, q, 2 * nSize - i, h + m, clrTint);
            if (!l.bOmitTopRight)
                ShadePixel(image, q, w + i, 2 * nSize - m, clrTint);
        }
    }
}
