// Command icons: archive kinds and round trips, the extracted key colour,
// the built check mark, the colourised cache and the colourise formula as
// drawn.
#include "uitoolkit/paint/ExtCmdIcon.h"

#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/core/ExtBitmapRoutines.h"
#include "uitoolkit/core/ExtCmdIconColors.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);

// A 32-bit bitmap of the colours, given top row first.
HBITMAP MakeBitmap(int cx, int cy, const std::vector<COLORREF>& topDown)
{
    COLORREF* pBits = nullptr;
    HBITMAP hBitmap = CExtPaintManager::CreateDibSection32(cx, cy, &pBits);
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            pBits[(cy - 1 - y) * cx + x] = CExtBitmapRoutines::ColorRefToPixel(topDown[y * cx + x]);
    return hBitmap;
}

HBITMAP SolidBitmap(int cx, int cy, COLORREF clr)
{
    return MakeBitmap(cx, cy, std::vector<COLORREF>((size_t)cx * cy, clr));
}

std::vector<BYTE> Store(CExtCmdIcon& icon)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        EXPECT_TRUE(icon.Serialize(ar));
    }
    std::vector<BYTE> bytes((size_t)file.GetLength());
    file.SeekToBegin();
    file.Read(bytes.data(), (UINT)bytes.size());
    return bytes;
}

bool Load(CExtCmdIcon& icon, const std::vector<BYTE>& bytes)
{
    CMemFile file(bytes.data(), (UINT)bytes.size());
    CArchive ar(&file, CArchive::load);
    return icon.Serialize(ar);
}

kxgui::PixelBuffer DrawIcon(HICON hIcon, int cx, int cy)
{
    kxgui::DibCanvas canvas(cx, cy, kWhite);
    ::DrawIconEx(canvas.Dc(), 0, 0, hIcon, cx, cy, 0, nullptr, DI_NORMAL);
    return canvas.Pixels();
}

// A picture with a magenta corner (the transparent colour) and three colours.
CExtCmdIcon SampleBitmapIcon()
{
    std::vector<COLORREF> px(16 * 16, RGB(200, 30, 40));
    px[0] = kMagenta;
    px[17] = RGB(0, 0, 0);
    px[255] = RGB(10, 200, 90);
    return CExtCmdIcon(MakeBitmap(16, 16, px), kMagenta);
}

TEST(ExtCmdIcon, BitmapWithCachedIconStoresAsBitmapAndLoadsBack)
{
    CExtCmdIcon icon = SampleBitmapIcon();
    ASSERT_NE(icon.GetIcon(), nullptr); // the cache beside the bitmap
    icon.SetColorizeColor(RGB(1, 2, 3));
    const std::vector<BYTE> bytes = Store(icon);
    ASSERT_GT(bytes.size(), 14u + 40u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 'B');
    EXPECT_EQ(bytes[2], 'M');

    CExtCmdIcon loaded;
    loaded.SetColorizeColor(RGB(9, 9, 9));
    ASSERT_TRUE(Load(loaded, bytes));
    EXPECT_TRUE(loaded.IsBitmapBased());
    EXPECT_EQ(loaded.GetSize(), CSize(16, 16));
    EXPECT_EQ(loaded.GetTransparentColor(), kMagenta);
    EXPECT_EQ(loaded.GetColorizeColor(), CExtCmdIcon::g_clrNone); // not stored
    const kxgui::PixelBuffer a = DrawIcon(icon.GetIcon(false), 16, 16);
    const kxgui::PixelBuffer b = DrawIcon(loaded.GetIcon(false), 16, 16);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(b.At(0, 0), kWhite);
    EXPECT_EQ(b.At(1, 1), RGB(0, 0, 0));
}

TEST(ExtCmdIcon, IconRoundTripKeepsSizeHotSpotAndPixels)
{
    const struct
    {
        CSize size;
        BOOL fIcon; // icons keep their hot spot in the centre, cursors where set
    } cases[] = {{CSize(16, 16), TRUE}, {CSize(24, 20), FALSE}};
    for (const auto& c : cases)
    {
        const CSize size = c.size;
        HBITMAP hColor = SolidBitmap(size.cx, size.cy, RGB(0, 128, 255));
        HBITMAP hMask = ::CreateBitmap(size.cx, size.cy, 1, 1, nullptr); // all opaque
        ICONINFO ii = {c.fIcon, 3, 5, hMask, hColor};
        CExtCmdIcon icon(::CreateIconIndirect(&ii), false);
        ::DeleteObject(hColor);
        ::DeleteObject(hMask);
        ICONINFO original = {};
        ASSERT_TRUE(::GetIconInfo(icon.GetIcon(), &original));
        ::DeleteObject(original.hbmColor);
        ::DeleteObject(original.hbmMask);
        ASSERT_FALSE(icon.IsEmpty());
        EXPECT_EQ(icon.GetSize(), size);

        const std::vector<BYTE> bytes = Store(icon);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes[0], 2);
        EXPECT_EQ(bytes[1], (c.fIcon ? 1 : 0) | 2 | 4);

        CExtCmdIcon loaded;
        ASSERT_TRUE(Load(loaded, bytes));
        EXPECT_FALSE(loaded.IsBitmapBased());
        EXPECT_EQ(loaded.GetSize(), size);
        ICONINFO back = {};
        ASSERT_TRUE(::GetIconInfo(loaded.GetIcon(), &back));
        EXPECT_EQ(back.fIcon, c.fIcon);
        EXPECT_EQ(back.xHotspot, original.xHotspot);
        EXPECT_EQ(back.yHotspot, original.yHotspot);
        ::DeleteObject(back.hbmColor);
        ::DeleteObject(back.hbmMask);
        const kxgui::PixelBuffer p = DrawIcon(loaded.GetIcon(), size.cx, size.cy);
        EXPECT_EQ(p.CountColor(RGB(0, 128, 255), CRect(0, 0, size.cx, size.cy)), size.cx * size.cy);
    }
}

TEST(ExtCmdIcon, MonochromeIconTakesHalfItsMaskAndRoundTrips)
{
    // AND half opaque (0), XOR half white (1): a white 16 x 16 square
    std::vector<BYTE> bits(2 * 16 * 2, 0);
    std::fill(bits.begin() + 32, bits.end(), 0xFF);
    HBITMAP hMask = ::CreateBitmap(16, 32, 1, 1, bits.data());
    ICONINFO ii = {TRUE, 0, 0, hMask, nullptr};
    CExtCmdIcon icon(::CreateIconIndirect(&ii), false);
    ::DeleteObject(hMask);
    EXPECT_EQ(icon.GetSize(), CSize(16, 16));
    EXPECT_EQ(icon.GetBitsPerPixel(), 1);
    const std::vector<BYTE> bytes = Store(icon);
    ASSERT_GT(bytes.size(), 2u);
    EXPECT_EQ(bytes[1] & 6, 4); // a mask and no colour bitmap
    CExtCmdIcon loaded;
    ASSERT_TRUE(Load(loaded, bytes));
    EXPECT_EQ(loaded.GetSize(), CSize(16, 16));
    kxgui::PixelBuffer p = DrawIcon(loaded.GetIcon(), 16, 16);
    EXPECT_EQ(p.CountColor(kWhite, CRect(0, 0, 16, 16)), 256);
    kxgui::DibCanvas canvas(16, 16, RGB(0, 0, 0));
    ::DrawIconEx(canvas.Dc(), 0, 0, loaded.GetIcon(), 16, 16, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(canvas.Pixels().CountColor(kWhite, CRect(0, 0, 16, 16)), 256);
}

TEST(ExtCmdIcon, ScaleKeepsTheKindAndTheTransparency)
{
    CExtCmdIcon src = SampleBitmapIcon();
    CExtCmdIcon big;
    ASSERT_TRUE(big.Scale(src, 32, 32));
    EXPECT_TRUE(big.IsBitmapBased());
    EXPECT_EQ(big.GetSize(), CSize(32, 32));
    EXPECT_EQ(big.GetTransparentColor(), kMagenta);
    kxgui::PixelBuffer p = DrawIcon(big.GetIcon(false), 32, 32);
    EXPECT_EQ(p.At(0, 0), kWhite);
    EXPECT_EQ(p.At(2, 2), RGB(0, 0, 0)); // the black pixel at (1, 1), doubled
    EXPECT_EQ(p.At(20, 20), RGB(200, 30, 40));

    CExtCmdIcon fromIcon(src.DetachIcon(false), false);
    EXPECT_TRUE(src.IsEmpty());
    ASSERT_TRUE(big.Scale(fromIcon, 8, 8, RGB(1, 1, 1)));
    EXPECT_FALSE(big.IsBitmapBased());
    EXPECT_EQ(big.GetSize(), CSize(8, 8));
    EXPECT_FALSE(big.Scale(fromIcon, 0, 8));
    ASSERT_TRUE(fromIcon.Scale(fromIcon, 16, 16)); // the same size: a copy of itself
    EXPECT_EQ(fromIcon.GetSize(), CSize(16, 16));
}

TEST(ExtCmdIcon, ThemeSetsColourAndFactorAndDropsTheConvertedIcon)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerOffice2003));
    CExtCmdIcon icon = SampleBitmapIcon();
    ASSERT_NE(icon.GetIcon(), nullptr);
    icon.OnSysColorChange();
    EXPECT_EQ(icon.GetColorizeColor(), g_PaintManager->GetIconAlphaColor());
    EXPECT_EQ(icon.GetColorizeFactor(), 0.7);
    EXPECT_TRUE(icon.IsBitmapBased());
    kxgui::DibCanvas canvas(16, 16, kWhite);
    CDC dc;
    dc.Attach(canvas.Dc());
    icon.PaintState(dc, CPoint(0, 0), CExtCmdIcon::PS_COLORIZED);
    dc.Detach();
    const kxgui::PixelBuffer p = canvas.Pixels();
    EXPECT_EQ(p.At(8, 8), CExtCmdIconColors::ColorizePixel(RGB(200, 30, 40), icon.GetColorizeColor(), 0.7));
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    icon.OnThemeChanged(0, 0);
    EXPECT_EQ(icon.GetColorizeColor(), CExtCmdIcon::g_clrNone);
    EXPECT_EQ(icon.GetColorizedIcon(), nullptr);
    g_PaintManager.InstallPaintManager(nullptr);
}

TEST(ExtCmdIcon, LoadingOddKindsAndCutStreams)
{
    CExtCmdIcon sample = SampleBitmapIcon();
    std::vector<BYTE> bytes = Store(sample);
    bytes[0] = 3; // bits 0 and 1: a bitmap
    CExtCmdIcon loaded;
    ASSERT_TRUE(Load(loaded, bytes));
    EXPECT_TRUE(loaded.IsBitmapBased());

    ASSERT_TRUE(Load(loaded, {4}));
    EXPECT_TRUE(loaded.IsEmpty());

    bytes.resize(bytes.size() - 2); // the transparent colour cut short
    EXPECT_FALSE(Load(loaded, bytes));
    EXPECT_TRUE(loaded.IsEmpty());
}

TEST(ExtCmdIcon, ExtractedKeyAvoidsColoursTheImageUses)
{
    const struct
    {
        std::vector<COLORREF> colors;
        COLORREF key;
    } cases[] = {
        {{RGB(0, 0, 0), RGB(10, 20, 30)}, kMagenta},
        {{kMagenta, RGB(10, 20, 30)}, RGB(0, 255, 0)},
        {{kMagenta, RGB(0, 255, 0)}, RGB(192, 192, 192)},
        {{kMagenta, RGB(0, 255, 0), RGB(192, 192, 192)}, RGB(1, 0, 0)},
    };
    for (const auto& c : cases)
    {
        std::vector<COLORREF> px(4 * 4, RGB(0, 0, 255));
        std::copy(c.colors.begin(), c.colors.end(), px.begin());
        CExtCmdIcon icon(MakeBitmap(4, 4, px), RGB(0, 0, 255));
        HBITMAP hBitmap = nullptr;
        COLORREF key = 0;
        COLORREF* pPixels = nullptr;
        CArray<COLORREF, COLORREF> colors;
        ASSERT_TRUE(icon.ExtractBitmap(hBitmap, key, &colors, &pPixels));
        EXPECT_EQ(key, c.key);
        ASSERT_NE(pPixels, nullptr);
        // the transparent colour became the key; the rest is unchanged
        // (rows bottom-up: the first row of the picture is the last one here)
        EXPECT_EQ(CExtBitmapRoutines::PixelToColorRef(pPixels[0]), c.key);
        EXPECT_EQ(CExtBitmapRoutines::PixelToColorRef(pPixels[12]), c.colors[0]);
        ASSERT_EQ(colors.GetSize(), (INT_PTR)c.colors.size() + 2);
        EXPECT_EQ(colors[0], c.key);
        ::DeleteObject(hBitmap);

        // without the pixels the key is the transparent colour
        ASSERT_TRUE(icon.ExtractBitmap(hBitmap, key));
        EXPECT_EQ(key, RGB(0, 0, 255));
        ::DeleteObject(hBitmap);
    }
}

TEST(ExtCmdIcon, CheckMarkTransparencyAvoidsTheGlyphColour)
{
    CExtCmdIcon icon;
    COLORREF* pPixels = nullptr;
    ASSERT_TRUE(icon.CreateCheckMark(kMagenta, CExtCmdIcon::g_clrNone, 16, 16, &pPixels));
    EXPECT_EQ(icon.GetTransparentColor(), RGB(128, 255, 128));
    ASSERT_NE(pPixels, nullptr);
    // the mark's first column at (16 / 2 - 3, 16 / 2 - 3 + 2), bottom-up rows
    EXPECT_EQ(CExtBitmapRoutines::PixelToColorRef(pPixels[(15 - 7) * 16 + 5]), kMagenta);
    EXPECT_EQ(CExtBitmapRoutines::PixelToColorRef(pPixels[0]), RGB(128, 255, 128));

    ASSERT_TRUE(icon.CreateRadioDot(RGB(0, 0, 0), CExtCmdIcon::g_clrNone, 16, 16));
    EXPECT_EQ(icon.GetTransparentColor(), kMagenta);
    ASSERT_TRUE(icon.CreateEmpty(CExtCmdIcon::g_clrNone, 8, 8));
    EXPECT_EQ(icon.GetSize(), CSize(8, 8));
    EXPECT_FALSE(icon.CreateEmpty(kWhite, 0, 8));
}

TEST(ExtCmdIcon, ColorizedIconIsCachedUntilColourOrFactorChange)
{
    CExtCmdIcon icon = SampleBitmapIcon();
    EXPECT_EQ(icon.GetColorizedIcon(), nullptr); // no colour yet
    icon.SetColorizeColor(RGB(0, 0, 255));
    HICON hFirst = icon.GetColorizedIcon();
    ASSERT_NE(hFirst, nullptr);
    EXPECT_EQ(icon.SetColorizeColor(RGB(0, 0, 255)), RGB(0, 0, 255));
    EXPECT_EQ(icon.GetColorizedIcon(), hFirst);
    EXPECT_EQ(icon.SetColorizeFactor(CExtCmdIcon::g_dDefaultColorizeFactor), 1.4);
    EXPECT_EQ(icon.GetColorizedIcon(), hFirst);
    icon.SetColorizeFactor(0.5);
    EXPECT_NE(icon.GetColorizedIcon(), nullptr);
    icon.SetColorizeColor(CExtCmdIcon::g_clrNone);
    EXPECT_EQ(icon.GetColorizedIcon(), nullptr);
}

TEST(ExtCmdIcon, DefaultFactorTintsEveryPixelTheSame)
{
    for (const COLORREF tint : {RGB(0, 0, 255), RGB(200, 100, 0)})
    {
        CExtCmdIcon icon = SampleBitmapIcon();
        icon.SetColorizeColor(tint);
        const kxgui::PixelBuffer p = DrawIcon(icon.GetColorizedIcon(), 16, 16);
        const COLORREF expected =
            RGB((3 * GetRValue(tint) + 255) / 4, (3 * GetGValue(tint) + 255) / 4, (3 * GetBValue(tint) + 255) / 4);
        EXPECT_EQ(p.At(0, 0), kWhite); // the transparent corner
        EXPECT_EQ(p.CountColor(expected, CRect(0, 0, 16, 16)), 16 * 16 - 1);
    }
}

} // namespace
