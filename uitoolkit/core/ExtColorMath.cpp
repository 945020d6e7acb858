#include "uitoolkit/core/ExtColorMath.h"

#include <algorithm>
#include <cmath>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace
{

BYTE ClampChannel(int v)
{
    return static_cast<BYTE>(std::clamp(v, 0, 255));
}

double AdjustComponent(double x, double d)
{
    if (d > 0.0)
        x += (1.0 - x) * d;
    else if (d < 0.0)
        x *= 1.0 + d;
    return std::clamp(x, 0.0, 1.0);
}

} // namespace

COLORREF CExtColorMath::InvertColor(COLORREF c)
{
    return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c));
}

void CExtColorMath::RgbToHls(COLORREF c, double* pHue, double* pSaturation, double* pLightness)
{
    const double k = 1.0 / 255.0;
    const double r = GetRValue(c) * k, g = GetGValue(c) * k, b = GetBValue(c) * k;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double l = (mx + mn) / 2.0;
    double h = 0.0, s = 0.0;
    if (mx != mn)
    {
        const double delta = mx - mn;
        s = l < 0.5 ? delta / (mx + mn) : delta / (2.0 - mx - mn);
        if (r == mx)
            h = (g - b) / delta;
        else if (g == mx)
            h = 2.0 + (b - r) / delta;
        else
            h = 4.0 + (r - g) / delta;
        h /= 6.0;
        if (h < 0.0)
            h += 1.0;
    }
    if (pHue)
        *pHue = h;
    if (pSaturation)
        *pSaturation = s;
    if (pLightness)
        *pLightness = l;
}

double CExtColorMath::HueToRgbComponent(double m1, double m2, double hue)
{
    if (hue < 0.0)
        hue += 1.0;
    if (hue > 1.0)
        hue -= 1.0;
    if (6.0 * hue < 1.0)
        return m1 + (m2 - m1) * 6.0 * hue;
    if (2.0 * hue < 1.0)
        return m2;
    if (3.0 * hue < 2.0)
        return m1 + (m2 - m1) * (2.0 / 3.0 - hue) * 6.0;
    return m1;
}

COLORREF CExtColorMath::HlsToRgb(double hue, double lightness, double saturation)
{
    if (saturation == 0.0)
    {
        const BYTE v = ClampChannel(static_cast<int>(lightness * 255.0));
        return RGB(v, v, v);
    }
    const double m2 =
        lightness <= 0.5 ? lightness * (1.0 + saturation) : lightness + saturation - lightness * saturation;
    const double m1 = 2.0 * lightness - m2;
    const int r = static_cast<int>(HueToRgbComponent(m1, m2, hue + 1.0 / 3.0) * 255.0);
    const int g = static_cast<int>(HueToRgbComponent(m1, m2, hue) * 255.0);
    const int b = static_cast<int>(HueToRgbComponent(m1, m2, hue - 1.0 / 3.0) * 255.0);
    return RGB(ClampChannel(r), ClampChannel(g), ClampChannel(b));
}

int CExtColorMath::HueToRgbComponentDegrees(float m1, float m2, float hueDegrees)
{
    const float kSixtieth = 1.0f / 60.0f;
    if (hueDegrees > 360.0f)
        hueDegrees -= 360.0f;
    if (hueDegrees < 0.0f)
        hueDegrees += 360.0f;
    float v;
    if (hueDegrees < 60.0f)
        v = m1 + (m2 - m1) * hueDegrees * kSixtieth;
    else if (hueDegrees < 180.0f)
        v = m2;
    else if (hueDegrees < 240.0f)
        v = m1 + (m2 - m1) * (240.0f - hueDegrees) * kSixtieth;
    else
        v = m1;
    return static_cast<int>(v * 255.0f);
}

COLORREF CExtColorMath::HlsToRgbDegrees(double hueDegrees, double lightness, double saturation)
{
    if (saturation == 0.0)
    {
        const BYTE v = ClampChannel(static_cast<int>(lightness * 255.0));
        return RGB(v, v, v);
    }
    const float m2 = static_cast<float>(lightness <= 0.5 ? lightness * (1.0 + saturation)
                                                         : lightness + saturation - lightness * saturation);
    const float m1 = static_cast<float>(2.0 * lightness) - m2;
    const float h = static_cast<float>(hueDegrees);
    return RGB(ClampChannel(HueToRgbComponentDegrees(m1, m2, h + 120.0f)),
               ClampChannel(HueToRgbComponentDegrees(m1, m2, h)),
               ClampChannel(HueToRgbComponentDegrees(m1, m2, h - 120.0f)));
}

COLORREF CExtColorMath::AdjustColorHls(COLORREF c, double dHue, double dLightness, double dSaturation)
{
    double h = 0.0, s = 0.0, l = 0.0;
    RgbToHls(c, &h, &s, &l);
    return HlsToRgb(AdjustComponent(h, dHue), AdjustComponent(l, dLightness), AdjustComponent(s, dSaturation));
}

COLORREF CExtColorMath::BlendColors(COLORREF c1, COLORREF c2, int weight)
{
    const int total = weight < 100 ? 100 : 1000;
    const int rounding = total / 2;
    auto mix = [&](int a, int b) { return ClampChannel((a * weight + b * (total - weight) + rounding) / total); };
    return RGB(mix(GetRValue(c1), GetRValue(c2)), mix(GetGValue(c1), GetGValue(c2)), mix(GetBValue(c1), GetBValue(c2)));
}

COLORREF CExtColorMath::AlphaBlendColors(COLORREF c1, COLORREF c2, int alpha)
{
    auto mix = [&](int a, int b) { return ClampChannel((b * (255 - alpha) + a * alpha) / 255); };
    return RGB(mix(GetRValue(c1), GetRValue(c2)), mix(GetGValue(c1), GetGValue(c2)), mix(GetBValue(c1), GetBValue(c2)));
}

UINT CExtColorMath::GradientBandCount(int extent, UINT nSteps, int bitsPerPixel)
{
    if (extent <= 0)
        return 0;
    nSteps = std::min<UINT>(nSteps, static_cast<UINT>(extent));
    if (bitsPerPixel <= 8 && nSteps != 0 && static_cast<UINT>(extent) / nSteps < 4)
        nSteps = static_cast<UINT>(extent) / 4;
    return nSteps;
}

COLORREF CExtColorMath::GradientBandColor(COLORREF colourA, COLORREF colourB, UINT i, UINT n)
{
    if (n == 0)
        return colourA;
    auto mix = [&](UINT a, UINT b) { return static_cast<BYTE>((a * (n - i) + b * i) / n); };
    return RGB(mix(GetRValue(colourA), GetRValue(colourB)), mix(GetGValue(colourA), GetGValue(colourB)),
               mix(GetBValue(colourA), GetBValue(colourB)));
}

int CExtColorMath::MulDivRound(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(nNumber) * nNumerator;
    const int64_t half = std::llabs(static_cast<int64_t>(nDenominator)) / 2;
    const bool negative = (product < 0) != (nDenominator < 0);
    const int64_t magnitude = (std::llabs(product) + half) / std::llabs(static_cast<int64_t>(nDenominator));
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX || result < INT32_MIN)
        return -1;
    return static_cast<int>(result);
}

UINT CExtColorMath::ClampWheelScrollLines(UINT nLines)
{
    return nLines < 2 ? 2 : nLines;
}

int CExtColorMath::RoundToInt(float v)
{
    const float magnitude = std::fabs(v);
    int n = static_cast<int>(magnitude);
    if (magnitude - static_cast<float>(n) >= 0.5f)
        ++n;
    return v < 0.0f ? -n : n;
}

int CExtColorMath::AngleOf(int dx, int dy)
{
    return static_cast<int>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 57.29577951308239);
}

int CExtColorMath::ComponentFromPosition(int p, int extent, bool bCap255)
{
    if (extent <= 0)
        return 0;
    p = std::clamp(p, 0, extent);
    const int v = static_cast<int>(static_cast<int64_t>(p) * 255 / extent);
    return bCap255 ? std::min(v, 255) : v;
}

int CExtColorMath::PositionFromComponent(int v, int extent)
{
    return static_cast<int>(v * 0.00392156862745098 * extent);
}

double CExtColorMath::FractionOf(int p, int extent)
{
    if (extent <= 0)
        return 0.0;
    return static_cast<double>(std::clamp(p, 0, extent)) / extent;
}

int CExtColorMath::MarkerFromFraction(int extent, double fraction)
{
    return static_cast<int>(extent * fraction);
}

int CExtColorMath::HlsToFieldValue(double x)
{
    return std::min(static_cast<int>(x * 255.0 + 0.5), 255);
}

double CExtColorMath::HlsFromFieldValue(int v)
{
    return std::min((v + 0.5) * 0.00392156862745098, 1.0);
}

bool CExtColorMath::ParseColorField(const char* pszText, int* pnValue)
{
    const char* p = pszText != nullptr ? pszText : "";
    while (*p == ' ' || *p == '\t')
        ++p;
    bool bNegative = false;
    if (*p == '+' || *p == '-')
        bNegative = *p++ == '-';
    int magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        magnitude = std::min(magnitude * 10 + (*p - '0'), 1000); // saturates well above 255
    if (magnitude > 255 || (bNegative && magnitude != 0))
        return false;
    *pnValue = magnitude;
    return true;
}
