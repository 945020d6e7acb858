// The pixel work of a popup's drop shadow, apart from the device contexts
// that feed it: a band `size` pixels wide to the right of and below the
// window, darkest next to the window and fading linearly outwards, with
// quarter-circle fades at its ends, and shortened where the window adjoins
// the element it was opened from.
#pragma once

#include "framework/core/AfxGeometry.h"

class CExtPopupShadowShading
{
public:
    // The work image: 0x00RRGGBB pixels, (W + size) x (H + size), rows stored
    // bottom-up as in a DIB section with a positive height.
    struct Image
    {
        DWORD* Bits = nullptr;
        int Width = 0;
        int Height = 0;
    };

    // Darkens the pixel in column x of row y - 1 counted from the top (the
    // row index into the bottom-up image is Height - y): each channel becomes
    // c * p / 100, or with a tint (not 0xFFFFFFFF) c * f / 100 where
    // f = min(100, p + MulDiv(100 - p, tint channel, 255)). The fourth byte
    // becomes 0. Pixels outside the image are left alone.
    static void ShadePixel(Image& image, int nPercent, int x, int y, COLORREF clrTint);

    // Shades the right and bottom bands of a window rcWindow.Width() x
    // rcWindow.Height() at the image's top-left corner. rcA is the window in
    // screen coordinates and rcB the element it adjoins (both may be empty);
    // brightness runs from nMinPercent next to the window to nMaxPercent at
    // the outer edge.
    static void Shade(Image& image, const RECT& rcWindow, const RECT& rcA, const RECT& rcB, int nSize, int nMinPercent,
                      int nMaxPercent, COLORREF clrTint);
};
