// The Office 2003 colours through the theme: the system path, the forced
// 8-bit depth, and the Luna blue scheme through the visual-styles wrapper.
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/support/FakeLunaStyle.h"

#include <gtest/gtest.h>

namespace
{

class Office2003Colors : public ::testing::Test
{
protected:
    void SetUp() override { ExtTestHooks() = ExtPaintTestHooks(); }
    void TearDown() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    CExtPaintManagerOffice2003* Install()
    {
        auto* pTheme = new CExtPaintManagerOffice2003;
        EXPECT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
        return pTheme;
    }
};

TEST_F(Office2003Colors, SystemPath)
{
    ExtTestHooks().nScreenBitsPerPixel = 32;
    CExtPaintManagerOffice2003* pm = Install();
    EXPECT_FALSE(pm->IsLunaSchemeUsed());
    EXPECT_EQ(pm->GetColor(3015), pm->GetColor(2001));
    EXPECT_EQ(pm->GetColor(COLOR_3DFACE), ::GetSysColor(COLOR_3DFACE));
    for (int n : pm->ButtonGradientIndices)
        EXPECT_EQ(n, -1);
    EXPECT_EQ(pm->ToolBarEdgeColorIndex, -1);
    EXPECT_EQ(pm->GetShadowColor(), static_cast<COLORREF>(-1));
}

TEST_F(Office2003Colors, EightBitsDefineOnlyTheSeparator)
{
    ExtTestHooks().nScreenBitsPerPixel = 8;
    kxtest::FakeLunaStyle luna;
    CExtPaintManagerOffice2003* pm = Install();
    const COLORREF face = pm->Colors[15];
    for (int n = 3000; n <= 3035; ++n)
        EXPECT_EQ(pm->GetColor(n), n == 3014 ? ::GetSysColor(COLOR_3DSHADOW) : face) << n;
    EXPECT_EQ(pm->ButtonGradientIndices[0], -1);
}

TEST_F(Office2003Colors, LunaBlueScheme)
{
    ExtTestHooks().nScreenBitsPerPixel = 32;
    kxtest::FakeLunaStyle luna;
    CExtPaintManagerOffice2003* pm = Install();
    ASSERT_TRUE(pm->IsLunaSchemeUsed());
    COLORREF base = 0, accent = 0;
    ASSERT_TRUE(pm->GetLunaBaseColors(&base, &accent));
    EXPECT_EQ(base, RGB(157, 189, 245));
    EXPECT_EQ(pm->GetColor(3015), RGB(227, 239, 255));
    EXPECT_EQ(pm->GetColor(2007), RGB(0, 45, 150));
    const int expected[6] = {3021, 3022, 3023, 3024, 3025, 3026};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pm->ButtonGradientIndices[i], expected[i]);
    EXPECT_EQ(pm->ToolBarEdgeColorIndex, 3005);
    // the system faces and edges carry Luna tones
    struct
    {
        int nEntry;
        COLORREF clr;
    } entries[] = {
        {15, base},
        {16, CExtColorMath::AdjustColorHls(base, 0, -0.45, 0.1)},
        {20, CExtColorMath::AdjustColorHls(base, 0, 0.75, 0)},
        {21, CExtColorMath::AdjustColorHls(base, 0, -0.75, 0)},
        {22, CExtColorMath::AdjustColorHls(base, 0, 0.45, 0.1)},
    };
    for (const auto& e : entries)
    {
        EXPECT_EQ(pm->GetColor(e.nEntry), e.clr) << e.nEntry;
        EXPECT_NE(pm->GetColor(e.nEntry), ::GetSysColor(e.nEntry)) << e.nEntry;
    }
    EXPECT_EQ(pm->GetShadowColor(), CExtColorMath::AdjustColorHls(base, 0, -0.6, 0.5));

    // a later build at 8 bits gives the system faces back
    ExtTestHooks().nScreenBitsPerPixel = 8;
    pm->OnSysColorChange();
    EXPECT_EQ(pm->ButtonGradientIndices[0], -1);
    EXPECT_EQ(pm->GetColor(COLOR_3DFACE), ::GetSysColor(COLOR_3DFACE));
}

} // namespace
