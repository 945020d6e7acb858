// A gallery of the small theme parts in one window, painted through the
// off-screen device context and saved as a picture: every glyph in two
// colours and four rotations, separators, check marks, radio dots, insert
// marks, size grips, colour-sample icons and command icons in their states.
#include "uitoolkit/core/ExtBitmapRoutines.h"
#include "uitoolkit/core/ExtGlyphBitmap.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/ToolkitPaintWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

const int kWidth = 1000, kHeight = 280;
const int kCell = 16;
const int kGlyphsPerRow = 15;
const int kGlyphRows = (CExtGlyphBitmap::GLYPH_COUNT + 11 + kGlyphsPerRow - 1) / kGlyphsPerRow;
const int kPartsTop = 4 + kGlyphRows * 2 * kCell + 12;
const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kIconColor = RGB(200, 30, 40);

struct Gallery
{
    std::vector<const CExtGlyphBitmap*> glyphs;
    std::vector<std::unique_ptr<CExtGlyphBitmap>> rotated; // four per glyph
    CExtCmdIcon bitmapIcon, iconIcon, checkMark, radioDot;
    HICON sampleIcons[3] = {};

    Gallery()
    {
        for (int i = 0; i < CExtGlyphBitmap::GLYPH_COUNT; ++i)
            glyphs.push_back(CExtGlyphBitmap::g_GlyphTable[i]);
        for (const CExtGlyphBitmap* p :
             {&CExtGlyphBitmap::GlyphDropDownArrow, &CExtGlyphBitmap::GlyphDropDownArrowVert,
              &CExtGlyphBitmap::GlyphExpandArrowVert, &CExtGlyphBitmap::GlyphExpandChevrons,
              &CExtGlyphBitmap::GlyphExpandChevronsVert, &CExtGlyphBitmap::GlyphExpandArrow2003,
              &CExtGlyphBitmap::GlyphExpandArrow2003Vert, &CExtGlyphBitmap::GlyphExpandChevrons2003,
              &CExtGlyphBitmap::GlyphExpandChevrons2003Vert, &CExtGlyphBitmap::GlyphSubmenuArrow,
              &CExtGlyphBitmap::GlyphSubmenuArrowSplit})
            glyphs.push_back(p);
        for (const CExtGlyphBitmap* p : glyphs)
            for (int angle : {0, 90, 180, 270})
                rotated.push_back(std::make_unique<CExtGlyphBitmap>(*p, angle));

        // a 16 x 16 picture: a red square with a dark border and a magenta
        // (transparent) corner
        COLORREF* pBits = nullptr;
        HBITMAP hBitmap = CExtPaintManager::CreateDibSection32(16, 16, &pBits);
        for (int y = 0; y < 16; ++y)
        {
            for (int x = 0; x < 16; ++x)
            {
                COLORREF clr = x == 0 || y == 0 || x == 15 || y == 15 ? RGB(40, 40, 90) : kIconColor;
                if (x + y < 5)
                    clr = RGB(255, 0, 255);
                pBits[(15 - y) * 16 + x] = CExtBitmapRoutines::ColorRefToPixel(clr); // bottom-up
            }
        }
        bitmapIcon.AssignFromHBITMAP(hBitmap, RGB(255, 0, 255));
        iconIcon.AssignFromHICON(CExtPaintManager::CreateFramedColorSampleIcon(RGB(0, 120, 200)), false);
        checkMark.CreateCheckMark(RGB(0, 0, 0), CExtCmdIcon::g_clrNone, 16, 16);
        radioDot.CreateRadioDot(RGB(0, 0, 0), CExtCmdIcon::g_clrNone, 16, 16);
        for (CExtCmdIcon* p : {&bitmapIcon, &iconIcon, &checkMark, &radioDot})
            p->SetColorizeColor(RGB(0, 90, 200));
        sampleIcons[0] = CExtPaintManager::CreateColorSampleIcon(RGB(0, 160, 80));
        sampleIcons[1] = CExtPaintManager::CreateFramedColorSampleIcon(RGB(0, 160, 80));
        sampleIcons[2] = CExtPaintManager::CreateColorLetterIcon(
            RGB(0, 160, 80), static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), 'A');
    }
    ~Gallery()
    {
        for (HICON h : sampleIcons)
            ::DestroyIcon(h);
    }

    void Paint(CDC& dc)
    {
        // glyphs: rows of kGlyphsPerRow glyphs, each with its four rotations
        // side by side; the second colour in the row below
        const COLORREF colors[2][4] = {{0, RGB(0, 0, 0), RGB(128, 128, 128), RGB(220, 220, 220)},
                                       {0, RGB(0, 70, 200), RGB(110, 160, 240), RGB(200, 220, 255)}};
        for (size_t g = 0; g < glyphs.size(); ++g)
        {
            const int x0 = 4 + static_cast<int>(g % kGlyphsPerRow) * (4 * kCell + 2);
            const int y0 = 4 + static_cast<int>(g / kGlyphsPerRow) * 2 * kCell;
            for (int c = 0; c < 2; ++c)
            {
                for (int r = 0; r < 4; ++r)
                {
                    const CRect rc(x0 + r * kCell, y0 + c * kCell, x0 + (r + 1) * kCell, y0 + (c + 1) * kCell);
                    g_PaintManager->PaintGlyphCentered(dc, rc, *rotated[g * 4 + r], colors[c]);
                }
            }
        }

        int x = 4;
        const int y = kPartsTop;
        // separators: horizontal and vertical
        g_PaintManager->PaintSeparator(dc, CRect(x, y, x + 40, y + 8), false, true, nullptr, 0);
        g_PaintManager->PaintSeparator(dc, CRect(x + 44, y, x + 52, y + 40), true, true, nullptr, 0);
        x += 60;
        // check marks and radio dots in two colours
        CExtPaintManager::PaintMenuCheckMark(dc, x, y, RGB(0, 0, 0));
        CExtPaintManager::PaintMenuCheckMark(dc, x + 12, y, RGB(0, 70, 200));
        CExtPaintManager::PaintMenuRadioDot(dc, x, y + 14, RGB(0, 0, 0));
        CExtPaintManager::PaintMenuRadioDot(dc, x + 12, y + 14, RGB(0, 70, 200));
        x += 30;
        // insert marks on both edges, horizontal and vertical
        g_PaintManager->PaintInsertMark(dc, CRect(x + 4, y + 4, x + 24, y + 30), true, true);
        g_PaintManager->PaintInsertMark(dc, CRect(x + 4, y + 4, x + 24, y + 30), false, true);
        g_PaintManager->PaintInsertMark(dc, CRect(x + 30, y + 4, x + 56, y + 24), true, false);
        x += 64;
        // size grips: classic and Office 2003 (on the theme's own face)
        dc.FillSolidRect(x, y, 40, 40, g_PaintManager->GetColor(COLOR_3DFACE));
        g_PaintManager->PaintResizingGripper(dc, CRect(x, y, x + 20, y + 20), nullptr, 0);
        CExtPaintManagerOffice2003 office;
        office.InitColorTable();
        office.PaintResizingGripper(dc, CRect(x + 20, y + 20, x + 40, y + 40), nullptr, 0);
        x += 48;
        // sunken frame
        g_PaintManager->PaintSunkenFrame(dc, CRect(x, y, x + 30, y + 30), nullptr, 0);
        x += 38;
        // colour-sample icons
        for (HICON h : sampleIcons)
        {
            ::DrawIconEx(dc.GetSafeHdc(), x, y, h, 16, 16, 0, nullptr, DI_NORMAL);
            x += 20;
        }
        x += 8;
        // command icons, one column per state
        int row = 0;
        for (CExtCmdIcon* p : {&bitmapIcon, &iconIcon, &checkMark, &radioDot})
        {
            for (int state = 0; state < 4; ++state)
                p->PaintState(dc, CPoint(x + state * 22, y + row * 22), state,
                              static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
            ++row;
        }
        // a scaled copy beside them
        CExtCmdIcon big;
        big.Scale(bitmapIcon, 32, 32);
        big.PaintState(dc, CPoint(x + 4 * 22 + 8, y), CExtCmdIcon::PS_NORMAL);
    }
};

TEST(ExtPaintGallery, EveryPartInOneScreenshot)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerXP));
    Gallery gallery;
    kxtest::ToolkitPaintWindow wnd(kWidth, kHeight, "gallery", kBack, [&gallery](CDC& dc) { gallery.Paint(dc); });
    ASSERT_NE(wnd.Hwnd(), nullptr);
    const kxgui::PixelBuffer shot = wnd.PaintAndCapture();
    ASSERT_FALSE(shot.IsEmpty());
    EXPECT_FALSE(kxgui::SaveArtifact(shot, "gallery.png").empty());

    // every glyph but the empty one left pixels in both colours
    for (size_t g = 1; g < gallery.glyphs.size(); ++g)
    {
        const int x0 = 4 + static_cast<int>(g % kGlyphsPerRow) * (4 * kCell + 2);
        const int y0 = 4 + static_cast<int>(g / kGlyphsPerRow) * 2 * kCell;
        const CRect black(x0, y0, x0 + 4 * kCell, y0 + kCell), blue(x0, y0 + kCell, x0 + 4 * kCell, y0 + 2 * kCell);
        EXPECT_GT(black.Width() * black.Height() - shot.CountColor(kBack, black), 0) << g;
        EXPECT_EQ(shot.CountColor(RGB(0, 70, 200), black), 0) << g;
        EXPECT_GT(shot.CountColor(RGB(0, 70, 200), blue) + shot.CountColor(RGB(110, 160, 240), blue), 0) << g;
    }
    // the command icons: normal shows its colour, colourised shows none of it
    const int xIcons = 4 + 60 + 30 + 64 + 48 + 38 + 3 * 20 + 8;
    EXPECT_EQ(shot.At(xIcons + 8, kPartsTop + 8), kIconColor);
    EXPECT_EQ(shot.At(xIcons + 1, kPartsTop + 1), kBack); // the transparent corner
    EXPECT_EQ(shot.CountColor(kIconColor, CRect(xIcons + 66, kPartsTop, xIcons + 82, kPartsTop + 16)), 0);
    EXPECT_NE(shot.At(xIcons + 66 + 8, kPartsTop + 8), kBack);
    g_PaintManager.InstallPaintManager(nullptr);
}

} // namespace
