// Colour arithmetic: conversions, blends, the gradient band rule and the
// wheel-lines bound.
#include "uitoolkit/core/ExtColorMath.h"

#include <gtest/gtest.h>

namespace
{

TEST(ExtColorMath, HlsConversionsTable)
{
    struct Case
    {
        COLORREF c;
        double h, s, l;
    } cases[] = {
        {RGB(255, 0, 0), 0.0, 1.0, 0.5},
        {RGB(0, 255, 0), 1.0 / 3.0, 1.0, 0.5},
        {RGB(0, 0, 255), 2.0 / 3.0, 1.0, 0.5},
        {RGB(255, 0, 255), 5.0 / 6.0, 1.0, 0.5}, // negative raw hue wraps
        {RGB(128, 128, 128), 0.0, 0.0, 128.0 / 255.0},
        {RGB(0, 0, 0), 0.0, 0.0, 0.0},
    };
    for (const auto& c : cases)
    {
        double h = -1, s = -1, l = -1;
        CExtColorMath::RgbToHls(c.c, &h, &s, &l);
        EXPECT_NEAR(h, c.h, 1e-9) << std::hex << c.c;
        EXPECT_NEAR(s, c.s, 1e-9) << std::hex << c.c;
        EXPECT_NEAR(l, c.l, 1e-9) << std::hex << c.c;
    }
    EXPECT_EQ(CExtColorMath::HlsToRgb(0, 0.5, 1), RGB(255, 0, 0));
    EXPECT_EQ(CExtColorMath::HlsToRgb(0.5, 0.25, 0), RGB(63, 63, 63));
    EXPECT_EQ(CExtColorMath::HlsToRgbDegrees(0, 0.5, 1), RGB(255, 0, 0));
    EXPECT_EQ(CExtColorMath::HlsToRgbDegrees(240, 0.5, 1), RGB(0, 0, 255));
    EXPECT_EQ(CExtColorMath::HlsToRgbDegrees(120, 0.75, 1), RGB(127, 255, 127));
    EXPECT_EQ(CExtColorMath::InvertColor(RGB(1, 2, 3) | 0xFF000000), RGB(254, 253, 252));
}

TEST(ExtColorMath, AdjustColorHlsRoundTripsAndMoves)
{
    for (COLORREF c : {RGB(212, 208, 200), RGB(10, 36, 106), RGB(255, 255, 255), RGB(0, 0, 0)})
    {
        const COLORREF back = CExtColorMath::AdjustColorHls(c, 0, 0, 0);
        for (int shift : {0, 8, 16})
        {
            const int a = (c >> shift) & 0xFF, b = (back >> shift) & 0xFF;
            EXPECT_TRUE(a == b || a == b + 1) << std::hex << c << " " << back;
        }
    }
    // keep 40 % of the lightness: red at 0.5 becomes lightness 0.2
    double h, s, l;
    CExtColorMath::RgbToHls(CExtColorMath::AdjustColorHls(RGB(255, 0, 0), 0, -0.6, 0.5), &h, &s, &l);
    EXPECT_NEAR(l, 0.2, 0.005);
    EXPECT_NEAR(s, 1.0, 1e-9);
}

TEST(ExtColorMath, BlendsInPercentAndTenths)
{
    const COLORREF a = RGB(200, 100, 0), b = RGB(0, 100, 200);
    EXPECT_EQ(CExtColorMath::BlendColors(a, b, 99), RGB(198, 100, 2));
    EXPECT_EQ(CExtColorMath::BlendColors(a, b, 100), RGB(20, 100, 180)); // 10 % of a
    EXPECT_EQ(CExtColorMath::BlendColors(a, b, 50), RGB(100, 100, 100));
    EXPECT_EQ(CExtColorMath::BlendColors(a, b, 1000), a);
    EXPECT_EQ(CExtColorMath::AlphaBlendColors(a, b, 255), a);
    EXPECT_EQ(CExtColorMath::AlphaBlendColors(a, b, 0), b);
    EXPECT_EQ(CExtColorMath::AlphaBlendColors(a, b, 128), RGB(100, 100, 99));
}

TEST(ExtColorMath, GradientBands)
{
    struct Case
    {
        int extent;
        UINT steps;
        int bpp;
        UINT bands;
    } cases[] = {
        {40, 256, 8, 10}, {40, 256, 32, 40}, {300, 256, 32, 256}, {300, 256, 8, 75},
        {3, 256, 8, 0},   {0, 256, 32, 0},   {-5, 10, 32, 0},     {40, 0, 8, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CExtColorMath::GradientBandCount(c.extent, c.steps, c.bpp), c.bands) << c.extent << " " << c.bpp;
    EXPECT_EQ(CExtColorMath::GradientBandColor(RGB(0, 0, 0), RGB(100, 200, 40), 0, 10), RGB(0, 0, 0));
    EXPECT_EQ(CExtColorMath::GradientBandColor(RGB(0, 0, 0), RGB(100, 200, 40), 9, 10), RGB(90, 180, 36));
    EXPECT_EQ(CExtColorMath::MulDivRound(3, 40, 8), 15);
    EXPECT_EQ(CExtColorMath::MulDivRound(1, 5, 2), 3);
    EXPECT_EQ(CExtColorMath::MulDivRound(-1, 5, 2), -3);
    EXPECT_EQ(CExtColorMath::MulDivRound(1, 1, 0), -1);
}

TEST(ExtColorMath, WheelLinesBound)
{
    EXPECT_EQ(CExtColorMath::ClampWheelScrollLines(0), 2u);
    EXPECT_EQ(CExtColorMath::ClampWheelScrollLines(1), 2u);
    EXPECT_EQ(CExtColorMath::ClampWheelScrollLines(3), 3u);
    EXPECT_EQ(CExtColorMath::ClampWheelScrollLines(0xFFFFFFFFu), 0xFFFFFFFFu);
}

} // namespace
