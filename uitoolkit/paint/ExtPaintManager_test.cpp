// Themes: the holder's installed theme, colour tables over injected system
// colours, fonts, banded gradients and a picture of the three themes.
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/support/ToolkitPaintWindow.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <set>

namespace
{

COLORREF FakeSysColor(int n)
{
    switch (n)
    {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_3DFACE: return RGB(212, 208, 200);
    case COLOR_3DSHADOW: return RGB(128, 128, 128);
    case COLOR_3DDKSHADOW: return RGB(64, 64, 64);
    default: return ::GetSysColor(n);
    }
}

// Every test starts and ends with a fresh XP theme and no injection.
class ThemeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(nullptr));
    }
    void TearDown() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        g_PaintManager.InstallPaintManager(nullptr);
    }
};

TEST_F(ThemeTest, HolderInstallsThemes)
{
    EXPECT_EQ(g_PaintManager->GetThemeId(), 2);
    CExtPaintManager* pTheme = g_PaintManager.GetPM();
    const HGDIOBJ hFont = pTheme->FontNormal.GetSafeHandle();
    const INT_PTR nColors = pTheme->Colors.GetSize();
    // the font families are enumerated on a screen device context, so the
    // installed Tahoma is found
    ASSERT_TRUE(g_PaintManager.OsFlags.Win2000OrLater);
    EXPECT_TRUE(pTheme->ThemeOptions.UseTahoma);
    LOGFONTA lf = {};
    pTheme->FontNormal.GetObject(sizeof(lf), &lf);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");

    EXPECT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
    EXPECT_EQ(g_PaintManager.GetPM(), pTheme);
    EXPECT_EQ(pTheme->FontNormal.GetSafeHandle(), hFont);
    EXPECT_EQ(pTheme->Colors.GetSize(), nColors);

    struct Case
    {
        CRuntimeClass* pClass;
        int nId;
    } cases[] = {
        {RUNTIME_CLASS(CExtPaintManager), 1},
        {RUNTIME_CLASS(CExtPaintManagerNativeXP), 5},
        {RUNTIME_CLASS(CExtPaintManagerOffice2003), 3},
        {RUNTIME_CLASS(CExtPaintManagerStudio2005), 4},
    };
    for (const auto& c : cases)
    {
        auto* pNew = static_cast<CExtPaintManager*>(c.pClass->CreateObject());
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(pNew));
        EXPECT_EQ(g_PaintManager->GetThemeId(), c.nId);
        EXPECT_EQ(g_PaintManager->GetRuntimeClass(), c.pClass);
        EXPECT_NE(g_PaintManager->FontMarlett.GetSafeHandle(), nullptr);
        EXPECT_GE(g_PaintManager->Colors.GetSize(), 50);
    }
    EXPECT_TRUE(g_PaintManager.InstallPaintManager(nullptr));
    EXPECT_EQ(g_PaintManager->GetThemeId(), 2);
    EXPECT_EQ(g_PaintManager->GetMenuBackgroundColor(), g_PaintManager->GetColor(2001));
}

TEST_F(ThemeTest, ColoursFromInjectedSystemColours)
{
    ExtTestHooks().pfnSysColor = FakeSysColor;
    ExtTestHooks().nScreenBitsPerPixel = 32;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerXP));
    CExtPaintManager* pm = g_PaintManager.GetPM();
    EXPECT_EQ(pm->GetColor(1000), RGB(219, 216, 209));
    EXPECT_EQ(pm->GetColor(2001), RGB(249, 248, 247));
    for (int n = 1002; n <= 1009; ++n)
        EXPECT_EQ(pm->GetColor(n), RGB(112, 112, 112)) << n;
    EXPECT_EQ(pm->GetColor(1011), RGB(0, 0, 0));
    EXPECT_EQ(pm->DisabledDrawStateFlags, static_cast<UINT>(DSS_MONO));

    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    pm = g_PaintManager.GetPM();
    for (int n : {2001, -5, 999, 5000})
        EXPECT_EQ(pm->GetColor(n), RGB(212, 208, 200)) << n;
    EXPECT_EQ(pm->GetBrush(COLOR_3DFACE), ::GetSysColorBrush(COLOR_3DFACE));
    EXPECT_EQ(pm->GetBrush(50), pm->GetBrush(COLOR_3DFACE));
    EXPECT_EQ(pm->GetMenuBackgroundColor(), pm->GetColor(1000));

    // a system notification rebuilds from the new colours, once
    ExtTestHooks().pfnSysColor = nullptr;
    pm->OnSysColorChange();
    EXPECT_EQ(pm->GetColor(2001), ::GetSysColor(COLOR_3DFACE));
}

TEST_F(ThemeTest, MixedBrushesFollowTheDepth)
{
    ExtTestHooks().pfnSysColor = FakeSysColor;
    ExtTestHooks().nScreenBitsPerPixel = 32;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    LOGBRUSH lb = {};
    ASSERT_TRUE(g_PaintManager->FillBrushes[CExtPaintManager::BrushShadow40].GetObject(sizeof(lb), &lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, RGB(162, 160, 157)); // 2/5 of the way from shadow to face

    ExtTestHooks().nScreenBitsPerPixel = 8;
    g_PaintManager->InitBrushes();
    ASSERT_TRUE(g_PaintManager->FillBrushes[CExtPaintManager::BrushShadow40].GetObject(sizeof(lb), &lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_PATTERN));
}

TEST_F(ThemeTest, BandedGradientAtEightBits)
{
    ExtTestHooks().bIgnoreGradientFillFn = true;
    ExtTestHooks().nDcBitsPerPixel = 8;
    kxgui::DibCanvas canvas(40, 4);
    CDC dc;
    dc.Attach(canvas.Dc());
    CExtPaintManager::PaintGradientRect(dc, CRect(0, 0, 40, 4), RGB(0, 0, 0), RGB(0, 0, 250), false, 256);
    dc.Detach();
    const kxgui::PixelBuffer pixels = canvas.Pixels();
    std::set<COLORREF> bands;
    for (int x = 0; x < 40; ++x)
        bands.insert(pixels.At(x, 2));
    EXPECT_EQ(bands.size(), 10u);
    EXPECT_EQ(pixels.At(0, 2), RGB(0, 0, 0));

    // above 8 bits one band per pixel
    ExtTestHooks().nDcBitsPerPixel = 32;
    CDC dc2;
    dc2.Attach(canvas.Dc());
    CExtPaintManager::PaintGradientRect(dc2, CRect(0, 0, 40, 4), RGB(0, 0, 0), RGB(0, 0, 200), false, 256);
    dc2.Detach();
    const kxgui::PixelBuffer fine = canvas.Pixels();
    bands.clear();
    for (int x = 0; x < 40; ++x)
        bands.insert(fine.At(x, 2));
    EXPECT_EQ(bands.size(), 40u);
}

// A theme whose default font is a menu font of a given height.
class CFixedFontTheme : public CExtPaintManagerXP
{
public:
    explicit CFixedFontTheme(int nHeight) : m_nHeight(nHeight) {}
    HFONT GetDefaultFontHandle() override
    {
        LOGFONTA lf = {};
        lf.lfHeight = m_nHeight;
        lstrcpyA(lf.lfFaceName, "Tahoma");
        return ::CreateFontIndirectA(&lf);
    }
    int m_nHeight;
};

LONG FontHeight(const CFont& font)
{
    LOGFONTA lf = {};
    font.GetObject(sizeof(lf), &lf);
    return lf.lfHeight;
}

TEST_F(ThemeTest, SmallFontsAndMarlett)
{
    for (auto [nMenu, nSmall] : {std::pair<int, int>{-13, -11}, {-10, -10}, {14, 14}})
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CFixedFontTheme(nMenu)));
        CExtPaintManager* pm = g_PaintManager.GetPM();
        EXPECT_EQ(FontHeight(pm->FontNormal), nMenu);
        for (CFont* pFont : {&pm->FontSmall, &pm->FontSmallVert, &pm->FontSmallVertRev, &pm->FontSmallBold,
                             &pm->FontSmallBoldVert, &pm->FontSmallBoldVertRev})
            EXPECT_EQ(FontHeight(*pFont), nSmall) << nMenu;
    }
    EXPECT_EQ(FontHeight(g_PaintManager->FontMarlett), ::GetSystemMetrics(SM_CYMENUCHECK) - 1);
    LOGFONTA lf = {};
    g_PaintManager->FontBoldVertRev.GetObject(sizeof(lf), &lf);
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_EQ(lf.lfWeight, 900);

    // Marlett's "0" is a glyph (the minimise bar), not the digit of the menu font
    auto draw = [](CFont& font)
    {
        kxgui::DibCanvas canvas(32, 32);
        HGDIOBJ hOld = ::SelectObject(canvas.Dc(), font.GetSafeHandle());
        ::SetBkMode(canvas.Dc(), TRANSPARENT);
        ::TextOutA(canvas.Dc(), 4, 4, "0", 1);
        ::SelectObject(canvas.Dc(), hOld);
        return canvas.Pixels();
    };
    {
        kxgui::DibCanvas probe(4, 4);
        HGDIOBJ hOld = ::SelectObject(probe.Dc(), g_PaintManager->FontMarlett.GetSafeHandle());
        char face[LF_FACESIZE] = {};
        ::GetTextFaceA(probe.Dc(), LF_FACESIZE, face);
        ::SelectObject(probe.Dc(), hOld);
        EXPECT_STREQ(face, "Marlett");
    }
    const kxgui::PixelBuffer marlett = draw(g_PaintManager->FontMarlett);
    const kxgui::PixelBuffer normal = draw(g_PaintManager->FontNormal);
    EXPECT_NE(marlett.pixels, normal.pixels);
    EXPECT_LT(marlett.CountColor(RGB(255, 255, 255), CRect(0, 0, 32, 32)), 32 * 32);
}

TEST_F(ThemeTest, RebuildsReplaceFontsAndKeepTheTable)
{
    CExtPaintManager* pm = g_PaintManager.GetPM();
    const INT_PTR nColors = pm->Colors.GetSize();
    const HGDIOBJ hOldBold = pm->FontBold.GetSafeHandle();
    for (int i = 0; i < 2; ++i)
    {
        pm->UpdateSystemFonts();
        pm->InitColorTable();
    }
    EXPECT_EQ(pm->Colors.GetSize(), nColors);
    EXPECT_EQ(pm->Brushes.GetSize(), 50);
    EXPECT_EQ(::GetObjectType(hOldBold), 0u); // deleted, not leaked
    std::set<HGDIOBJ> fonts;
    for (CFont* pFont : {&pm->FontNormal, &pm->FontNormalVert, &pm->FontNormalVertRev, &pm->FontBold, &pm->FontBoldVert,
                         &pm->FontBoldVertRev, &pm->FontSmall, &pm->FontSmallVert, &pm->FontSmallVertRev,
                         &pm->FontSmallBold, &pm->FontSmallBoldVert, &pm->FontSmallBoldVertRev, &pm->FontMarlett})
    {
        EXPECT_EQ(::GetObjectType(pFont->GetSafeHandle()), static_cast<DWORD>(OBJ_FONT));
        fonts.insert(pFont->GetSafeHandle());
    }
    EXPECT_EQ(fonts.size(), 13u);
}

TEST_F(ThemeTest, PaletteOf252Colours)
{
    PALETTEENTRY entries[252] = {};
    ASSERT_EQ(g_PaintManager->Palette.GetPaletteEntries(0, 252, entries), 252u);
    EXPECT_EQ(entries[6 * 36 + 5 * 6 + 5].peRed, 255);
    EXPECT_EQ(entries[1 * 36 + 2 * 6 + 3].peRed, 42);
    EXPECT_EQ(entries[1 * 36 + 2 * 6 + 3].peGreen, 102);
    EXPECT_EQ(entries[1 * 36 + 2 * 6 + 3].peBlue, 153);
}

// Swatches and gradients of the installed theme.
void PaintSwatches(CDC& dc)
{
    const int indices[] = {1000, 1001, 1002, 1006, 1010, 1012, 1013, 1016, 1018, 1019,
                           2000, 2001, 2002, 2003, 2004, 2005, 2007, 2009, 2011};
    int x = 4;
    for (int n : indices)
    {
        dc.FillSolidRect(x, 4, 20, 20, g_PaintManager->GetColor(n));
        x += 22;
    }
    CExtPaintManager::PaintGradientRect(dc, CRect(4, 30, 420, 60), g_PaintManager->GetColor(1000),
                                        g_PaintManager->GetColor(1019), false, 256);
    CExtPaintManager::PaintGradientRect(dc, CRect(4, 64, 420, 94), g_PaintManager->GetColor(2001),
                                        g_PaintManager->GetColor(2004), true, 256);
    HGDIOBJ hOld = dc.SelectObject(g_PaintManager->FontNormal.GetSafeHandle());
    dc.SetBkMode(TRANSPARENT);
    char text[64];
    wsprintfA(text, "theme %d", g_PaintManager->GetThemeId());
    dc.TextOut(4, 98, text, lstrlenA(text));
    dc.SelectObject(g_PaintManager->FontMarlett.GetSafeHandle());
    dc.TextOut(100, 98, "012r", 4);
    dc.SelectObject(hOld);
}

TEST_F(ThemeTest, ThreeThemesScreenshot)
{
    kxtest::ToolkitPaintWindow wnd(430, 3 * 120, "themes", RGB(255, 255, 255), PaintSwatches);
    ASSERT_NE(wnd.Hwnd(), nullptr);
    kxgui::PixelBuffer all;
    all.width = 430;
    all.height = 3 * 120;
    all.pixels.resize(static_cast<size_t>(all.width) * all.height);
    int nRow = 0;
    for (CRuntimeClass* pClass :
         {RUNTIME_CLASS(CExtPaintManager), RUNTIME_CLASS(CExtPaintManagerXP), RUNTIME_CLASS(CExtPaintManagerNativeXP)})
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(static_cast<CExtPaintManager*>(pClass->CreateObject())));
        const kxgui::PixelBuffer shot = wnd.PaintAndCapture();
        ASSERT_FALSE(shot.IsEmpty());
        EXPECT_EQ(shot.At(10, 10), g_PaintManager->GetColor(1000) & 0xFFFFFF);
        EXPECT_EQ(shot.At(4 + 22 * 11 + 10, 10), g_PaintManager->GetColor(2001));
        for (int y = 0; y < 120 && y < shot.height; ++y)
            for (int x = 0; x < shot.width && x < all.width; ++x)
                all.pixels[static_cast<size_t>(nRow * 120 + y) * all.width + x] =
                    shot.pixels[static_cast<size_t>(y) * shot.width + x];
        ++nRow;
    }
    EXPECT_FALSE(kxgui::SaveArtifact(all, "themes.png").empty());
}

} // namespace

namespace
{

TEST(PaintManagerHolder, WheelLinesAreReadOnceUntilASettingChanges)
{
    UINT nSaved = 3;
    ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &nSaved, 0);
    struct Case
    {
        UINT nSetting, nExpected;
    } cases[] = {{0, 2}, {1, 2}, {5, 5}, {WHEEL_PAGESCROLL, WHEEL_PAGESCROLL}};
    for (const auto& c : cases)
    {
        ASSERT_TRUE(::SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, c.nSetting, nullptr, 0));
        // the cached value stays until a relay window passes a setting change on
        const UINT nBefore = g_PaintManager.GetMouseWheelScrollLines();
        EXPECT_EQ(g_PaintManager.GetMouseWheelScrollLines(), nBefore);
        g_PaintManager.HandleSettingChange(nullptr, SPI_SETWHEELSCROLLLINES, 0);
        EXPECT_EQ(g_PaintManager.GetMouseWheelScrollLines(), c.nExpected) << c.nSetting;
    }
    ::SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, nSaved, nullptr, 0);
    g_PaintManager.HandleSettingChange(nullptr, SPI_SETWHEELSCROLLLINES, 0);
}

} // namespace
