#include "uitoolkit/core/ExtCmdIconColors.h"

#include "uitoolkit/core/ExtColorMath.h"

#include <algorithm>
#include <unordered_set>

COLORREF CExtCmdIconColors::ColorizePixel(COLORREF clrPixel, COLORREF clrColorize, double dFactor)
{
    double luminance =
        0.3 * GetRValue(clrPixel) / 255.0 + 0.5 * GetGValue(clrPixel) / 255.0 + 0.2 * GetBValue(clrPixel) / 255.0;
    if (dFactor > 0)
        luminance += (1.0 - luminance) * dFactor;
    else if (dFactor < 0)
        luminance *= 1.0 + dFactor;
    luminance = std::min(1.0, std::max(0.0, luminance));
    const int L = (int)(luminance * 255.0);
    auto channel = [L](int c) { return (3 * CExtColorMath::MulDivRound(c, L, 255) + L) / 4; };
    return RGB(channel(GetRValue(clrColorize)), channel(GetGValue(clrColorize)), channel(GetBValue(clrColorize)));
}

bool CExtCmdIconColors::ChooseKeyColor(const std::vector<COLORREF>& colorsUsed, COLORREF* pKey)
{
    const std::unordered_set<COLORREF> used(colorsUsed.begin(), colorsUsed.end());
    for (COLORREF c : {RGB(255, 0, 255), RGB(0, 255, 0), RGB(192, 192, 192)})
    {
        if (used.count(c) == 0)
        {
            *pKey = c;
            return true;
        }
    }
    for (COLORREF c = 1; c < 0xFFFFFE; ++c)
    {
        if (used.count(c) == 0)
        {
            *pKey = c;
            return true;
        }
    }
    return false;
}

COLORREF CExtCmdIconColors::GlyphTransparentColor(COLORREF clrGlyph, COLORREF clrTransparent)
{
    if (clrTransparent != 0xFFFFFFFF)
        return clrTransparent;
    return clrGlyph == RGB(255, 0, 255) ? RGB(128, 255, 128) : RGB(255, 0, 255);
}
