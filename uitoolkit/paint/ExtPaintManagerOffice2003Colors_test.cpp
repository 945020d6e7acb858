// The Office 2003 and Studio 2005 colours through the theme: the system
// path, the forced 8-bit depth, and the Luna schemes through the
// visual-styles wrapper.
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/support/FakeLunaStyle.h"

#include <gtest/gtest.h>

#include <vector>

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
    template <class Theme = CExtPaintManagerOffice2003>
    Theme* Install()
    {
        auto* pTheme = new Theme;
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

TEST_F(Office2003Colors, Studio2005BlueHasFixedBaseColours)
{
    ExtTestHooks().nScreenBitsPerPixel = 32;
    kxtest::FakeLunaStyle luna;
    auto* pm = Install<CExtPaintManagerStudio2005>();
    ASSERT_TRUE(pm->IsLunaSchemeUsed());
    EXPECT_EQ(pm->GetColor(CExtPaintManager::TC_XP_HOT_BORDER), RGB(49, 106, 197));
    EXPECT_EQ(pm->GetColor(CExtPaintManager::TC_FACE_NORMAL), RGB(225, 225, 210));
    EXPECT_EQ(pm->GetColor(COLOR_3DFACE), RGB(225, 225, 210));
    EXPECT_EQ(pm->GetColor(CExtPaintManager::TC_2005_CAPTION_ACTIVE_FROM), RGB(59, 128, 237));
    EXPECT_TRUE(pm->GetLunaBaseColors(nullptr, nullptr));
    EXPECT_EQ(pm->ToolBarEdgeColorIndex, 3005);
    EXPECT_EQ(pm->ButtonGradientIndices[0], 3021);
}

TEST_F(Office2003Colors, Studio2005SilverAndOlive)
{
    ExtTestHooks().nScreenBitsPerPixel = 32;
    {
        kxtest::FakeLunaStyle silver(L"Metallic");
        auto* pm = Install<CExtPaintManagerStudio2005>();
        COLORREF base = 0, officeBase = 0;
        ASSERT_TRUE(pm->GetLunaBaseColors(&base, nullptr));
        ASSERT_TRUE(pm->CExtPaintManagerOffice2003::GetLunaBaseColors(&officeBase, nullptr));
        EXPECT_EQ(base, officeBase);
        EXPECT_EQ(pm->GetColor(CExtPaintManager::TC_2005_CAPTION_INACTIVE), RGB(240, 240, 245));
    }
    // olive takes the Office 2003 system path: the table without a scheme
    std::vector<COLORREF> office;
    {
        auto* pm = Install<CExtPaintManagerOffice2003>();
        ASSERT_FALSE(pm->IsLunaSchemeUsed());
        for (int n = 1000; n <= 3035; ++n)
            office.push_back(pm->GetColor(n));
    }
    kxtest::FakeLunaStyle olive(L"HomeStead");
    auto* pm = Install<CExtPaintManagerStudio2005>();
    EXPECT_FALSE(pm->IsLunaSchemeUsed());
    EXPECT_FALSE(pm->GetLunaBaseColors(nullptr, nullptr));
    for (int n = 1000; n <= 3035; ++n)
        if (n < 1012 || n > 1021)
            EXPECT_EQ(pm->GetColor(n), office[n - 1000]) << n;
    EXPECT_EQ(pm->GetColor(CExtPaintManager::TC_2005_CAPTION_ACTIVE_TO), RGB(145, 160, 117));
}

TEST_F(Office2003Colors, Studio2005CaptionsWithoutStylesAndAtEightBits)
{
    ExtTestHooks().nScreenBitsPerPixel = 32;
    auto* pm = Install<CExtPaintManagerStudio2005>();
    ASSERT_FALSE(pm->IsLunaSchemeUsed());
    EXPECT_EQ(pm->GetColor(4000), ::GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(pm->GetColor(4001), ::GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(pm->GetColor(4002), ::GetSysColor(COLOR_ACTIVECAPTION));

    ExtTestHooks().nScreenBitsPerPixel = 8;
    kxtest::FakeLunaStyle luna;
    pm->OnSysColorChange();
    for (int n = 4000; n <= 4002; ++n)
        EXPECT_EQ(pm->GetColor(n), pm->Colors[15]) << n;
}

} // namespace
