// The colour rules of command icons: the colourised tint of a pixel, the key
// (transparent) colour chosen for an extracted image, and the transparent
// colour of the built check mark and radio dot. Portable, so the Windows
// icon code and the tests share them.
#pragma once

#include "framework/core/AfxTypes.h"

#include <vector>

class CExtCmdIconColors
{
public:
    // The pixel's luminance moved towards 1 (factor > 0) or 0 (factor < 0),
    // then the tint colour at that lightness.
    static COLORREF ColorizePixel(COLORREF clrPixel, COLORREF clrColorize, double dFactor);

    // A key the image does not use: magenta, green or silver, else the
    // smallest of 1, 2, 3, ... below 0xFFFFFE. False when every candidate is
    // taken.
    static bool ChooseKeyColor(const std::vector<COLORREF>& colorsUsed, COLORREF* pKey);

    // The transparent colour of a built check mark or radio dot; 0xFFFFFFFF
    // asks for the default, which must differ from the glyph colour.
    static COLORREF GlyphTransparentColor(COLORREF clrGlyph, COLORREF clrTransparent);
};
