// Colour arithmetic of the themes: inversion, RGB and hue/lightness/
// saturation in two unit systems, relative HLS adjustment, weighted mixes,
// the band rule of gradients drawn without the platform's gradient fill, and
// the mouse-wheel setting's lower bound.
//
// Portable: the paint manager inherits these as its static helpers, and the
// colour dialog uses the degree form.
#pragma once

#include "framework/core/AfxTypes.h"

class CExtColorMath
{
public:
    static COLORREF InvertColor(COLORREF c);
    // Outputs in the order hue, saturation, lightness; all in 0..1.
    static void RgbToHls(COLORREF c, double* pHue, double* pSaturation, double* pLightness);
    static COLORREF HlsToRgb(double hue, double lightness, double saturation);
    static double HueToRgbComponent(double m1, double m2, double hue);
    static COLORREF HlsToRgbDegrees(double hueDegrees, double lightness, double saturation);
    static int HueToRgbComponentDegrees(float m1, float m2, float hueDegrees);
    // Each delta moves its component towards 1 (positive) or 0 (negative) by
    // that share of the distance.
    static COLORREF AdjustColorHls(COLORREF c, double dHue, double dLightness, double dSaturation);
    // weight below 100: percent of c1; 100 and above: tenths of a percent.
    static COLORREF BlendColors(COLORREF c1, COLORREF c2, int weight);
    // alpha 0..255 is the share of c1.
    static COLORREF AlphaBlendColors(COLORREF c1, COLORREF c2, int alpha);

    // Banded gradients: how many bands an extent gets for the steps asked
    // (coarse devices dither, so a band narrower than 4 pixels shows nothing).
    static UINT GradientBandCount(int extent, UINT nSteps, int bitsPerPixel);
    // Band i of n runs from colourA (i = 0) towards colourB, one step short.
    static COLORREF GradientBandColor(COLORREF colourA, COLORREF colourB, UINT i, UINT n);
    // nNumber * nNumerator / nDenominator rounded half away from zero, -1
    // for a zero denominator or an overflow (the platform's MulDiv).
    static int MulDivRound(int nNumber, int nNumerator, int nDenominator);

    // ---- the colour picker's integer rules ----
    // Halves away from zero.
    static int RoundToInt(float v);
    // Degrees of the vector, truncated toward zero (-180..180); screen y
    // grows downward, so positive angles point below the centre.
    static int AngleOf(int dx, int dy);
    // p * 255 / extent with p first clamped to 0..extent; an empty extent
    // gives 0. Capped at 255 on request.
    static int ComponentFromPosition(int p, int extent, bool bCap255 = false);
    // trunc(v / 255 * extent).
    static int PositionFromComponent(int v, int extent);
    // p / extent with p clamped to 0..extent, so the far edge gives 1.0; an
    // empty extent gives 0.
    static double FractionOf(int p, int extent);
    static int MarkerFromFraction(int extent, double fraction);
    // The colour dialog's HLS fields: a double shown as 0..255 and back.
    static int HlsToFieldValue(double x);
    static double HlsFromFieldValue(int v);
    // A decimal colour field: leading blanks, an optional sign, then digits
    // up to the first other character (none counts as 0); the digits
    // saturate, so any length parses without overflow; false when not 0..255.
    static bool ParseColorField(const char* pszText, int* pnValue);

    // Lines per wheel notch: fewer than 2 scroll too little to be noticed;
    // the page-scroll value (all bits set) stays.
    static UINT ClampWheelScrollLines(UINT nLines);
};
