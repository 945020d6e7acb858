// Popup-menu item rules: caption, accelerator and mnemonic of a text, and
// the sizes of items over injected text sizes.
#include "uitoolkit/core/ExtMenuItemRules.h"

#include <gtest/gtest.h>

namespace
{

using R = CExtMenuItemRules;

TEST(ExtMenuItemRules, TextSplitsAtTheFirstTab)
{
    CString sCaption, sAccel = "old";
    R::SplitPopupText("&File\tCtrl+F", sCaption, sAccel);
    EXPECT_STREQ(sCaption, "&File");
    EXPECT_STREQ(sAccel, "Ctrl+F");
    EXPECT_EQ(R::MnemonicOf(sCaption), 'F');

    R::SplitPopupText("A\tB\tC", sCaption, sAccel);
    EXPECT_STREQ(sCaption, "A");
    EXPECT_STREQ(sAccel, "B\tC");

    sAccel = "kept";
    R::SplitPopupText("Plain", sCaption, sAccel);
    EXPECT_STREQ(sCaption, "Plain");
    EXPECT_STREQ(sAccel, "kept");
}

TEST(ExtMenuItemRules, MnemonicFollowsTheFirstAmpersand)
{
    const struct
    {
        const char* text;
        char mnemonic;
    } cases[] = {{"&Open", 'O'}, {"Save &as", 'a'}, {"Last&", 0}, {"None", 0}, {"", 0}, {"a&b&c", 'b'}};
    for (const auto& c : cases)
        EXPECT_EQ(R::MnemonicOf(c.text), c.mnemonic) << c.text;
    EXPECT_STREQ(R::StripAmpersands("&File && more"), "File  more");
}

TEST(ExtMenuItemRules, SeparatorIsAsHighAsTheThemeSays)
{
    R::ItemShape s;
    s.Separator = true;
    s.SeparatorHeight = 7;
    bool bMeasured = false;
    const R::ItemSize size = R::MeasureItem(s,
                                            [&]
                                            {
                                                bMeasured = true;
                                                return CSize(10, 10);
                                            });
    EXPECT_FALSE(bMeasured);
    EXPECT_EQ(size.Width, 0);
    EXPECT_EQ(size.Height, 7);
}

R::ItemShape Shape(void (*set)(R::ItemShape&))
{
    R::ItemShape s;
    set(s);
    return s;
}

TEST(ExtMenuItemRules, ItemSizesOverMeasuredText)
{
    const struct
    {
        const char* name;
        R::ItemShape shape;
        CSize text;
        int width, height, iconArea;
    } cases[] = {
        // bold command without icon: 40 + 4 + 5 + 26 + 24 + 16
        {"bold", Shape([](R::ItemShape& s) { s.Bold = true; }), CSize(40, 16), 115, 22, 24},
        {"plain", R::ItemShape(), CSize(40, 16), 110, 22, 24},
        {"tall text", R::ItemShape(), CSize(40, 26), 40 + 4 + 26 + 32 + 16, 30, 32},
        // a 16 x 12 icon counts as 16 x 16; a 24 x 24 one raises the height
        {"small icon", Shape([](R::ItemShape& s) { s.IconSize = CSize(16, 12); }), CSize(40, 16), 110, 22, 24},
        {"large icon", Shape([](R::ItemShape& s) { s.IconSize = CSize(24, 24); }), CSize(40, 16), 40 + 4 + 26 + 30 + 16,
         28, 30},
        {"custom handler", Shape([](R::ItemShape& s) { s.CustomHandler = true; }), CSize(40, 16), 40 + 4 + 26 + 50 + 16,
         22, 50},
        {"in-place edit",
         Shape(
             [](R::ItemShape& s)
             {
                 s.InplaceEdit = true;
                 s.InplaceEditWidth = 100;
             }),
         CSize(40, 16), 40 + 4 + 26 + 100 + 12, 20, 24},
        {"tool button",
         Shape(
             [](R::ItemShape& s)
             {
                 s.ToolButton = true;
                 s.IconSize = CSize(16, 16);
             }),
         CSize(40, 16), 40 + 4 + 20 + 2, 22, 0},
        {"tool button without icon", Shape([](R::ItemShape& s) { s.ToolButton = true; }), CSize(40, 16), 46, 20, 0},
        {"tool sub-menu",
         Shape(
             [](R::ItemShape& s)
             {
                 s.ToolButton = s.SubMenu = true;
                 s.IconSize = CSize(16, 16);
             }),
         CSize(40, 16), 40 + 4 + 20 + 15 + 2, 22, 0},
        {"icon-only tool sub-menu",
         Shape(
             [](R::ItemShape& s)
             {
                 s.ToolButton = s.SubMenu = s.IconOnly = true;
                 s.IconSize = CSize(16, 16);
             }),
         CSize(40, 16), 20 + 12 + 2, 22, 0},
    };
    for (const auto& c : cases)
    {
        const R::ItemSize size = R::MeasureItem(c.shape, [&] { return c.text; });
        EXPECT_EQ(size.Width, c.width) << c.name;
        EXPECT_EQ(size.Height, c.height) << c.name;
        EXPECT_EQ(size.IconAreaWidth, c.iconArea) << c.name;
    }
}

} // namespace
