// Glyph painting through the installed theme, on a 32-bit canvas.
#include "uitoolkit/core/ExtGlyphBitmap.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

const COLORREF kWhite = RGB(255, 255, 255);

struct Canvas
{
    kxgui::DibCanvas canvas{40, 30, kWhite};
    CDC dc;
    Canvas() { dc.Attach(canvas.Dc()); }
    ~Canvas() { dc.Detach(); }
};

class GlyphPaint : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(g_PaintManager.InstallPaintManager(nullptr)); }
};

TEST_F(GlyphPaint, PaintsNonzeroIndicesInTheirColours)
{
    const UINT data[] = {0, 1, 2, 1, 0, 2};
    const CExtGlyphBitmap glyph(3, 2, 3, data);
    const COLORREF colors[] = {RGB(0, 0, 0), RGB(200, 0, 0), RGB(0, 0, 200)};
    Canvas c;
    g_PaintManager->PaintGlyph(c.dc, 5, 7, glyph, colors);
    const kxgui::PixelBuffer p = c.canvas.Pixels();
    EXPECT_EQ(p.At(5, 7), kWhite); // index 0 leaves the destination
    EXPECT_EQ(p.At(6, 7), RGB(200, 0, 0));
    EXPECT_EQ(p.At(7, 7), RGB(0, 0, 200));
    EXPECT_EQ(p.At(5, 8), RGB(200, 0, 0));
    EXPECT_EQ(p.At(6, 8), kWhite);
    EXPECT_EQ(p.CountColor(kWhite, CRect(0, 0, 40, 30)), 40 * 30 - 4);
}

TEST_F(GlyphPaint, CentredGlyphThatDoesNotFitPaintsNothing)
{
    const CExtGlyphBitmap& close = *CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GlyphClose];
    const COLORREF colors[] = {0, RGB(0, 0, 0)};
    Canvas c;
    g_PaintManager->PaintGlyphCentered(c.dc, CRect(0, 0, 20, 8), close, colors);
    g_PaintManager->PaintGlyphCentered(c.dc, CRect(20, 20, 10, 10), close, colors); // normalised: 10 x 10 fits
    const kxgui::PixelBuffer p = c.canvas.Pixels();
    EXPECT_EQ(p.CountColor(kWhite, CRect(0, 0, 40, 10)), 40 * 10);
    // 9 x 9 centred in (10, 10)-(20, 20) starts at (10, 10); the cross's
    // first stroke pixel is at column 0 of row 1
    EXPECT_EQ(p.At(10, 11), RGB(0, 0, 0));
    EXPECT_EQ(p.At(10, 10), kWhite);
}

TEST_F(GlyphPaint, TreeBoxIconsAreOpaqueNineByNinePictures)
{
    for (bool bExpanded : {true, false})
    {
        CExtCmdIcon icon(CExtPaintManager::CreateColorSampleIcon(RGB(1, 2, 3)), false);
        g_PaintManager->LoadTreeBoxIcon(icon, bExpanded);
        ASSERT_TRUE(icon.IsBitmapBased());
        EXPECT_EQ(icon.GetSize(), CSize(9, 9));
        EXPECT_EQ(icon.GetTransparentColor(), RGB(255, 0, 255));
        Canvas c;
        icon.PaintState(c.dc, CPoint(2, 3), CExtCmdIcon::PS_NORMAL);
        const kxgui::PixelBuffer p = c.canvas.Pixels();
        EXPECT_EQ(p.At(2, 3), RGB(176, 194, 211));
        EXPECT_EQ(p.At(2 + 4, 3 + 4), RGB(0, 0, 0));
        EXPECT_EQ(p.At(2 + 4, 3 + 2), bExpanded ? RGB(245, 244, 240) : RGB(0, 0, 0));
        EXPECT_EQ(p.CountColor(kWhite, CRect(2, 3, 11, 12)), 7); // the first inner row only
    }
}

} // namespace
