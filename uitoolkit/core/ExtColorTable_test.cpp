// The colour-table rules of the classic, XP and native XP themes over a
// fixed set of system colours.
#include "uitoolkit/core/ExtColorTable.h"

#include "uitoolkit/core/ExtColorMath.h"

#include <gtest/gtest.h>

namespace
{

COLORREF FakeSysColor(int n)
{
    switch (n)
    {
    case 5: return RGB(255, 255, 255);  // window
    case 8: return RGB(1, 2, 3);        // window text
    case 13: return RGB(10, 36, 106);   // highlight
    case 14: return RGB(254, 254, 254); // highlight text
    case 15: return RGB(212, 208, 200); // face
    case 16: return RGB(128, 128, 128); // shadow
    case 18: return RGB(0, 0, 0);       // button text
    case 20: return RGB(250, 250, 250); // hilight
    case 21: return RGB(64, 64, 64);    // dark shadow
    case 22: return RGB(220, 220, 220); // light
    default: return RGB(n, n, n);
    }
}

struct Table
{
    CExtColorArray colors;
    CExtColorIndexMap map;
    COLORREF Get(int n) const { return CExtColorTable::LookupColorIn(colors, map, n); }
};

TEST(ExtColorTable, ClassicMapAndFallbacks)
{
    Table t;
    CExtColorTable::RefreshSystemColors(t.colors, FakeSysColor);
    CExtColorTable::InitClassicColors(t.colors, t.map);
    const COLORREF face = RGB(212, 208, 200);
    for (int n : {2001, -5, 999, 5000, 3000, 2011})
        EXPECT_EQ(t.Get(n), face) << n;
    EXPECT_EQ(t.Get(2010), RGB(128, 128, 128));
    EXPECT_EQ(t.Get(1019), RGB(10, 36, 106));
    EXPECT_EQ(t.Get(1008), RGB(64, 64, 64));
    for (int i = 50; i < 60; ++i)
        CExtColorTable::InstallColorIn(t.colors, RGB(i, 0, 0));
    EXPECT_EQ(t.Get(55), RGB(55, 0, 0));
    EXPECT_EQ(t.Get(60), face);
    EXPECT_EQ(CExtColorTable::InstallColorIn(t.colors, RGB(9, 9, 9), 7), 7);
    EXPECT_EQ(t.Get(7), RGB(9, 9, 9));
}

TEST(ExtColorTable, XpRulesAboveAndAt8Bits)
{
    Table t;
    CExtColorTable::RefreshSystemColors(t.colors, FakeSysColor);
    CExtColorTable::InitXpColors(t.colors, t.map, FakeSysColor, 32);
    EXPECT_EQ(t.Get(1000), RGB(219, 216, 209));
    EXPECT_EQ(t.Get(2001), RGB(249, 248, 247));
    for (int n = 1002; n <= 1009; ++n)
        EXPECT_EQ(t.Get(n), RGB(112, 112, 112)) << n;
    EXPECT_EQ(t.Get(1011), RGB(0, 0, 0));
    EXPECT_EQ(t.Get(2010), RGB(212, 208, 200)); // face, not the classic shadow
    EXPECT_EQ(t.Get(2006), RGB(254, 254, 254));
    EXPECT_EQ(t.Get(2009), RGB(219, 216, 209));
    EXPECT_EQ(t.Get(2007), RGB(102, 102, 102));
    EXPECT_EQ(t.Get(1018), RGB(212, 208, 200)); // accents keep the classic map
    EXPECT_EQ(t.Get(1015), RGB(1, 2, 3));

    CExtColorTable::InitXpColors(t.colors, t.map, FakeSysColor, 8);
    EXPECT_EQ(t.Get(1000), RGB(212, 208, 200));
    EXPECT_EQ(t.Get(2004), RGB(0, 0, 0));
    EXPECT_EQ(t.Get(1011), RGB(250, 250, 250));
}

TEST(ExtColorTable, RebuildsDoNotGrowTheTable)
{
    Table t;
    CExtColorTable::RefreshSystemColors(t.colors, FakeSysColor);
    CExtColorTable::InitXpColors(t.colors, t.map, FakeSysColor, 32);
    const INT_PTR size = t.colors.GetSize();
    EXPECT_GT(size, 50);
    for (int i = 0; i < 3; ++i)
    {
        CExtColorTable::RefreshSystemColors(t.colors, FakeSysColor);
        CExtColorTable::InitXpColors(t.colors, t.map, FakeSysColor, 32);
    }
    EXPECT_EQ(t.colors.GetSize(), size);
    EXPECT_EQ(t.Get(2001), RGB(249, 248, 247));
}

TEST(ExtColorTable, NativeXpLunaColours)
{
    Table t;
    CExtColorTable::RefreshSystemColors(t.colors, FakeSysColor);
    CExtColorTable::InitNativeXpColors(t.colors, t.map, 2);
    EXPECT_EQ(t.Get(1012), RGB(204, 217, 173));
    EXPECT_EQ(t.Get(1021), RGB(150, 168, 103));
    EXPECT_EQ(t.Get(1000), RGB(212, 208, 200));
    CExtColorTable::InitNativeXpColors(t.colors, t.map, 0);
    EXPECT_EQ(t.colors.GetSize(), 50);
    EXPECT_EQ(t.Get(1012), RGB(255, 255, 255));
}

TEST(ExtColorTable, Office2003SystemRules)
{
    Table t;
    CExtColorTable::RefreshSystemColors(t.colors, FakeSysColor);
    CExtColorTable::InitXpColors(t.colors, t.map, FakeSysColor, 32);
    EXPECT_FALSE(CExtColorTable::InitOffice2003Colors(t.colors, t.map, 32, 0, 0, 0));
    const COLORREF face = RGB(212, 208, 200), window = RGB(255, 255, 255);
    EXPECT_EQ(t.Get(3015), t.Get(2001));
    EXPECT_EQ(t.Get(3001), face);
    EXPECT_EQ(t.Get(3000), CExtColorMath::BlendColors(face, window, 222));
    EXPECT_EQ(t.Get(3014), RGB(128, 128, 128));
    EXPECT_EQ(t.Get(3017), CExtColorMath::AdjustColorHls(t.Get(2000), 0, -0.04, 0));
    EXPECT_EQ(t.Get(3020), CExtColorMath::AdjustColorHls(t.Get(3017), 0, -0.04, 0));
    EXPECT_EQ(t.Get(3006), t.Get(3007));
    EXPECT_EQ(t.Get(1015), RGB(1, 2, 3));
    // the XP rules stay and the button gradients are absent
    EXPECT_EQ(t.Get(2004), RGB(10, 36, 106));
    for (int n = 3021; n <= 3026; ++n)
        EXPECT_EQ(t.Get(n), face) << n;
}

TEST(ExtColorTable, Office2003AtEightBitsOnlyTheSeparator)
{
    Table t;
    CExtColorTable::RefreshSystemColors(t.colors, FakeSysColor);
    CExtColorTable::InitXpColors(t.colors, t.map, FakeSysColor, 8);
    // a scheme does not matter at 8 bits
    EXPECT_FALSE(CExtColorTable::InitOffice2003Colors(t.colors, t.map, 8, 1, RGB(1, 1, 1), RGB(2, 2, 2)));
    for (int n = 3000; n <= 3035; ++n)
        EXPECT_EQ(t.Get(n), n == 3014 ? RGB(128, 128, 128) : RGB(212, 208, 200)) << n;
}

TEST(ExtColorTable, Office2003LunaRules)
{
    const COLORREF base = RGB(158, 190, 245), accent = RGB(255, 200, 80);
    auto H = CExtColorMath::AdjustColorHls;
    struct Case
    {
        int nScheme;
        COLORREF toolbarLight, gripper, backLight;
    } cases[] = {
        {1, RGB(227, 239, 255), RGB(0, 45, 150), H(base, 0, 0.43, 0)},
        {2, RGB(255, 255, 237), RGB(117, 141, 94), H(base, 0, 0.43, 0)},
        {3, RGB(249, 249, 255), RGB(124, 124, 148), H(base, 0, 0.845, 0.1)},
    };
    for (const Case& c : cases)
    {
        Table t;
        CExtColorTable::RefreshSystemColors(t.colors, FakeSysColor);
        CExtColorTable::InitXpColors(t.colors, t.map, FakeSysColor, 32);
        EXPECT_TRUE(CExtColorTable::InitOffice2003Colors(t.colors, t.map, 32, c.nScheme, base, accent));
        EXPECT_EQ(t.Get(3015), c.toolbarLight) << c.nScheme;
        EXPECT_EQ(t.Get(2007), c.gripper) << c.nScheme;
        EXPECT_EQ(t.Get(3000), c.backLight) << c.nScheme;
        EXPECT_EQ(t.Get(3021), H(accent, 0.05, 0.75, 0));
        EXPECT_EQ(t.Get(3026), H(accent, 0.02, 0.4, 0));
        EXPECT_EQ(t.Get(3034), t.Get(3015));
        EXPECT_EQ(t.Get(2011), RGB(158 * 857 / 1000, 190 * 857 / 1000, 245 * 857 / 1000));
        EXPECT_EQ(t.Get(1002), t.Get(1009));
        EXPECT_EQ(t.Get(1002), H(base, 0, -0.25, 0));
        // the system faces and edges take the scheme's tones
        EXPECT_EQ(t.Get(15), base);
        EXPECT_EQ(t.Get(16), H(base, 0, -0.45, 0.1));
        EXPECT_EQ(t.Get(20), H(base, 0, 0.75, 0));
        EXPECT_EQ(t.Get(21), H(base, 0, -0.75, 0));
        EXPECT_EQ(t.Get(22), H(base, 0, 0.45, 0.1));
        EXPECT_EQ(t.Get(3014), t.Get(16));
    }
}

TEST(ExtColorTable, LunaBaseColoursFromTheTaskBand)
{
    // edge light, edge highlight, edge shadow, edge dark shadow, edge fill,
    // fill hint, accent hint
    const COLORREF taskBand[7] = {RGB(255, 255, 255), 0, RGB(0, 0, 0), 0, 0, RGB(0, 0, 128), RGB(200, 100, 50)};
    COLORREF base = 0, accent = 0;
    CExtColorTable::LunaBaseColors(taskBand, &base, &accent);
    // the hint's hue and saturation at the edges' mean lightness
    EXPECT_EQ(base, RGB(0, 0, 255));
    EXPECT_EQ(accent, CExtColorMath::AdjustColorHls(RGB(200, 100, 50), 0.01, 0, 0));
}

} // namespace
