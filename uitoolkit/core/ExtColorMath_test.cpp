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

TEST(ExtColorMath, PickerConversionEdges)
{
    double h = -1, s = -1, l = -1;
    CExtColorMath::RgbToHls(RGB(255, 255, 255), &h, &s, &l);
    EXPECT_EQ(h, 0.0);
    EXPECT_EQ(s, 0.0);
    EXPECT_EQ(l, 1.0);
    CExtColorMath::RgbToHls(RGB(255, 0, 0), &h, &s, &l);
    EXPECT_EQ(h, 0.0);
    EXPECT_EQ(s, 1.0);
    EXPECT_EQ(l, 0.5);
    CExtColorMath::RgbToHls(RGB(0, 0, 255), &h, &s, &l);
    EXPECT_NEAR(h, 4.0 / 6.0, 1e-12);
    EXPECT_EQ(CExtColorMath::HlsToRgb(0, 0.5, 1), 0x0000FFu);
    EXPECT_EQ(CExtColorMath::HlsToRgb(0.3, 1.0, 0.7), RGB(255, 255, 255));
    EXPECT_EQ(CExtColorMath::HlsToRgb(0.7, 0.5, 0), RGB(127, 127, 127)); // truncated, not rounded
    for (double lightness : {0.2, 0.5, 0.8})
        EXPECT_EQ(CExtColorMath::HlsToRgb(1.0, lightness, 0.6), CExtColorMath::HlsToRgb(0.0, lightness, 0.6));
    for (double lightness : {0.3, 0.5, 0.9})
        EXPECT_EQ(CExtColorMath::HlsToRgbDegrees(-90, lightness, 1), CExtColorMath::HlsToRgbDegrees(270, lightness, 1));
    EXPECT_EQ(CExtColorMath::InvertColor(RGB(0x12, 0x34, 0x56)), RGB(0xED, 0xCB, 0xA9));
    for (COLORREF c : {RGB(0x12, 0x34, 0x56), RGB(0, 0, 0), RGB(255, 1, 128)})
        EXPECT_EQ(CExtColorMath::InvertColor(CExtColorMath::InvertColor(c)), c);
}

TEST(ExtColorMath, PickerIntegerRules)
{
    struct Round
    {
        float v;
        int n;
    } rounds[] = {{0.5f, 1}, {-0.5f, -1}, {1.49f, 1}, {-1.5f, -2}, {2.0f, 2}, {-0.4f, 0}};
    for (const auto& r : rounds)
        EXPECT_EQ(CExtColorMath::RoundToInt(r.v), r.n) << r.v;
    struct Angle
    {
        int dx, dy, deg;
    } angles[] = {{1, 0, 0}, {0, 1, 90}, {-1, 0, 180}, {0, -1, -90}, {1, 1, 45}, {2, 1, 26}, {-2, -1, -153}};
    for (const auto& a : angles)
        EXPECT_EQ(CExtColorMath::AngleOf(a.dx, a.dy), a.deg) << a.dx << "," << a.dy;
    EXPECT_EQ(CExtColorMath::ComponentFromPosition(192, 192), 255);
    EXPECT_EQ(CExtColorMath::ComponentFromPosition(500, 192), 255); // clamped to the extent
    EXPECT_EQ(CExtColorMath::ComponentFromPosition(-3, 192), 0);
    EXPECT_EQ(CExtColorMath::ComponentFromPosition(100, 192), 132);
    EXPECT_EQ(CExtColorMath::ComponentFromPosition(5, 0), 0); // an empty extent divides by nothing
    EXPECT_EQ(CExtColorMath::PositionFromComponent(255, 192), 192);
    EXPECT_EQ(CExtColorMath::PositionFromComponent(128, 192), 96);
    EXPECT_EQ(CExtColorMath::FractionOf(192, 192), 1.0);
    EXPECT_EQ(CExtColorMath::FractionOf(400, 192), 1.0);
    EXPECT_EQ(CExtColorMath::FractionOf(7, 0), 0.0);
    EXPECT_EQ(CExtColorMath::MarkerFromFraction(168, 0.999), 167);
    EXPECT_EQ(CExtColorMath::HlsToFieldValue(1.0), 255);
    EXPECT_EQ(CExtColorMath::HlsToFieldValue(0.5), 128);
    EXPECT_EQ(CExtColorMath::HlsFromFieldValue(255), 1.0); // 255.5 / 255, capped
    EXPECT_DOUBLE_EQ(CExtColorMath::HlsFromFieldValue(0), 0.5 / 255.0);
}

TEST(ExtColorMath, ColorFieldParse)
{
    struct Case
    {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"", true, 0},
        {"0", true, 0},
        {"255", true, 255},
        {"256", false, 0},
        {"  17", true, 17},
        {"+9", true, 9},
        {"-0", true, 0},
        {"-1", false, 0},
        {"12ab", true, 12},
        {"abc", true, 0},
        {"999999999999", false, 0},
        {"000000000000000000042", true, 42},
    };
    for (const auto& c : cases)
    {
        int value = -1;
        EXPECT_EQ(CExtColorMath::ParseColorField(c.text, &value), c.ok) << c.text;
        if (c.ok)
        {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}
