// The colour dialog's field rules: values per group, typed texts to colours
// with the first bad field, and the caption rule.
#include "uitoolkit/core/ExtColorDlgRules.h"

#include "uitoolkit/core/ExtColorMath.h"

#include <gtest/gtest.h>

namespace
{

using Rules = CExtColorDlgRules;

TEST(ExtColorDlgRules, FieldValuesPerGroup)
{
    int v[3];
    Rules::FieldValues(RGB(0x12, 0x34, 0x56), Rules::GROUP_RGB, v);
    EXPECT_EQ(v[0], 0x12);
    EXPECT_EQ(v[2], 0x56);
    Rules::FieldValues(RGB(0x12, 0x34, 0x56), Rules::GROUP_CMY, v);
    EXPECT_EQ(v[0], 0xED);
    EXPECT_EQ(v[1], 0xCB);
    EXPECT_EQ(v[2], 0xA9);
    Rules::FieldValues(RGB(0, 0, 255), Rules::GROUP_HLS, v); // hue, saturation, lightness
    EXPECT_EQ(v[0], 170);
    EXPECT_EQ(v[1], 255);
    EXPECT_EQ(v[2], 128);
}

TEST(ExtColorDlgRules, TypedTexts)
{
    struct Case
    {
        Rules::e_group_t group;
        const char* texts[3];
        int bad;
        COLORREF clr;
    } cases[] = {
        {Rules::GROUP_RGB, {"10", "20", "30"}, -1, RGB(10, 20, 30)},
        {Rules::GROUP_RGB, {"256", "20", "30"}, 0, 0},
        {Rules::GROUP_RGB, {"", "", "7"}, -1, RGB(0, 0, 7)},
        {Rules::GROUP_RGB, {"1", "999999999999", "300"}, 1, 0},
        {Rules::GROUP_CMY, {"255", "0", "0"}, -1, RGB(0, 255, 255)},
        {Rules::GROUP_CMY, {"0", "0", "-4"}, 2, 0},
        {Rules::GROUP_HLS, {"0", "255", "128"}, -1, RGB(255, 4, 1)},
    };
    for (const auto& c : cases)
    {
        COLORREF clr = 0xABCDEF;
        EXPECT_EQ(Rules::ColorFromFields(c.group, c.texts, &clr), c.bad) << c.texts[0] << c.texts[1] << c.texts[2];
        EXPECT_EQ(clr, c.bad < 0 ? c.clr : 0xABCDEFu) << c.texts[0] << c.texts[1] << c.texts[2];
    }
    // hue 255 is a full turn: the colour of hue 0.0
    const char* const hue255[3] = {"255", "200", "100"};
    COLORREF clr = 0;
    ASSERT_EQ(Rules::ColorFromFields(Rules::GROUP_HLS, hue255, &clr), -1);
    EXPECT_EQ(clr, CExtColorMath::HlsToRgb(0.0, 100.5 / 255.0, 200.5 / 255.0));
}

TEST(ExtColorDlgRules, Caption)
{
    EXPECT_EQ(Rules::CaptionText("Pick"), CString("Pick"));
    EXPECT_EQ(Rules::CaptionText("Menu\nPick"), CString("Pick"));
    EXPECT_EQ(Rules::CaptionText("a\nb\nPick"), CString("Pick"));
    EXPECT_EQ(Rules::CaptionText("\nPick"), CString("\nPick"));
    EXPECT_TRUE(Rules::CaptionText("Pick\n").IsEmpty());
}

} // namespace
