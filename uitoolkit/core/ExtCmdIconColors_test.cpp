// Command-icon colour rules: the colourised tint, the extracted key and the
// built glyphs' transparent colour.
#include "uitoolkit/core/ExtCmdIconColors.h"

#include <gtest/gtest.h>

namespace
{

TEST(ExtCmdIconColors, FactorOfANewIconLightensEveryPixelToTheSameTint)
{
    const COLORREF tint = RGB(10, 100, 200);
    const COLORREF expected = RGB((3 * 10 + 255) / 4, (3 * 100 + 255) / 4, (3 * 200 + 255) / 4);
    for (COLORREF px : {RGB(0, 0, 0), RGB(255, 255, 255), RGB(12, 200, 99), RGB(128, 128, 128)})
        EXPECT_EQ(CExtCmdIconColors::ColorizePixel(px, tint, 1.4), expected) << std::hex << px;
}

TEST(ExtCmdIconColors, LuminanceAndFactorTable)
{
    struct Case
    {
        COLORREF px;
        double factor;
        COLORREF expected;
    } cases[] = {
        // luminance of mid grey 128/255; L = 128; channel (3 * MulDiv(c, 128, 255) + 128) / 4
        {RGB(128, 128, 128), 0.0, RGB((3 * 128 + 128) / 4, (3 * 64 + 128) / 4, 128 / 4)},
        // darkened by half: L = trunc(0.5 * 128 / 255 * 255) = 64
        {RGB(128, 128, 128), -0.5, RGB((3 * 64 + 64) / 4, (3 * 32 + 64) / 4, 64 / 4)},
        // green weighs most: luminance 0.5, L = 127
        {RGB(0, 255, 0), 0.0, RGB((3 * 127 + 127) / 4, (3 * 64 + 127) / 4, 127 / 4)},
        {RGB(255, 255, 255), -1.0, RGB(0, 0, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CExtCmdIconColors::ColorizePixel(c.px, RGB(255, 128, 0), c.factor), c.expected)
            << std::hex << c.px << " " << c.factor;
}

TEST(ExtCmdIconColors, KeyIsTheFirstColourTheImageDoesNotUse)
{
    COLORREF key = 0;
    ASSERT_TRUE(CExtCmdIconColors::ChooseKeyColor({RGB(0, 0, 0)}, &key));
    EXPECT_EQ(key, RGB(255, 0, 255));
    ASSERT_TRUE(CExtCmdIconColors::ChooseKeyColor({RGB(255, 0, 255)}, &key));
    EXPECT_EQ(key, RGB(0, 255, 0));
    ASSERT_TRUE(CExtCmdIconColors::ChooseKeyColor({RGB(0, 255, 0), RGB(255, 0, 255)}, &key));
    EXPECT_EQ(key, RGB(192, 192, 192));
    ASSERT_TRUE(CExtCmdIconColors::ChooseKeyColor({RGB(0, 255, 0), RGB(255, 0, 255), RGB(192, 192, 192), 0}, &key));
    EXPECT_EQ(key, RGB(1, 0, 0));
    ASSERT_TRUE(CExtCmdIconColors::ChooseKeyColor(
        {RGB(0, 255, 0), RGB(255, 0, 255), RGB(192, 192, 192), RGB(1, 0, 0), RGB(2, 0, 0)}, &key));
    EXPECT_EQ(key, RGB(3, 0, 0));
}

TEST(ExtCmdIconColors, GlyphTransparentColourAvoidsTheGlyphColour)
{
    EXPECT_EQ(CExtCmdIconColors::GlyphTransparentColor(RGB(255, 0, 255), 0xFFFFFFFF), RGB(128, 255, 128));
    EXPECT_EQ(CExtCmdIconColors::GlyphTransparentColor(RGB(0, 0, 0), 0xFFFFFFFF), RGB(255, 0, 255));
    EXPECT_EQ(CExtCmdIconColors::GlyphTransparentColor(RGB(0, 0, 0), RGB(1, 2, 3)), RGB(1, 2, 3));
}

} // namespace
