#include "framework/win/AfxWin.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kBlack = RGB(0, 0, 0);

// A CDC attached to a DIB section of the harness.
class DrawingTest : public ::testing::Test
{
protected:
    DrawingTest() : m_canvas(64, 48) { m_dc.Attach(m_canvas.Dc()); }
    ~DrawingTest() override { m_dc.Detach(); }
    kxgui::PixelBuffer Pixels() { return m_canvas.Pixels(); }
    int Count(COLORREF c, RECT area) { return Pixels().CountColor(c, area); }

    kxgui::DibCanvas m_canvas;
    CDC m_dc;
};

TEST_F(DrawingTest, FillSolidRectAcceptsNegativeExtentsAndKeepsTheBackgroundColour)
{
    m_dc.SetBkColor(kBlue);
    const struct
    {
        int x, y, cx, cy;
        RECT filled;
    } cases[] = {
        {10, 10, 5, 4, {10, 10, 15, 14}},
        {20, 20, -5, 4, {15, 20, 20, 24}}, // extends to the left of x
        {30, 30, 5, -4, {30, 26, 35, 30}}, // extends above y
        {50, 40, -6, -7, {44, 33, 50, 40}},
    };
    for (const auto& c : cases)
    {
        m_dc.FillSolidRect(0, 0, 64, 48, kWhite);
        m_dc.FillSolidRect(c.x, c.y, c.cx, c.cy, kRed);
        int area = (c.filled.right - c.filled.left) * (c.filled.bottom - c.filled.top);
        EXPECT_EQ(Count(kRed, c.filled), area) << c.x;
        EXPECT_EQ(Count(kRed, RECT{0, 0, 64, 48}), area) << c.x;
    }
    EXPECT_EQ(m_dc.GetBkColor(), kBlue);
}

TEST_F(DrawingTest, Draw3dRectPaintsTopLeftAndBottomRightEdges)
{
    m_dc.Draw3dRect(CRect(10, 10, 30, 20), kGreen, kRed);
    kxgui::PixelBuffer px = Pixels();
    EXPECT_EQ(px.At(10, 10), kGreen); // top-left corner
    EXPECT_EQ(px.At(20, 10), kGreen); // top edge
    EXPECT_EQ(px.At(10, 15), kGreen); // left edge
    EXPECT_EQ(px.At(29, 15), kRed);   // right edge
    EXPECT_EQ(px.At(20, 19), kRed);   // bottom edge
    EXPECT_EQ(px.At(29, 10), kRed);   // top-right corner belongs to the right edge
    EXPECT_EQ(px.At(10, 19), kRed);   // bottom-left corner belongs to the bottom edge
    EXPECT_EQ(px.At(20, 15), kWhite); // inside untouched
    EXPECT_EQ(px.At(30, 15), kWhite); // outside untouched
    EXPECT_EQ(px.CountColor(kGreen, RECT{0, 0, 64, 48}) + px.CountColor(kRed, RECT{0, 0, 64, 48}), 2 * 20 + 2 * 10 - 4);
}

TEST_F(DrawingTest, PolygonRegionsFollowTheirFillMode)
{
    // A five-pointed star drawn in one stroke: its centre is enclosed twice.
    const POINT star[] = {{32, 2}, {44, 44}, {8, 16}, {56, 16}, {20, 44}};
    const struct
    {
        int mode;
        BOOL centreInside;
    } cases[] = {{ALTERNATE, FALSE}, {WINDING, TRUE}};
    for (const auto& c : cases)
    {
        CRgn rgn;
        ASSERT_TRUE(rgn.CreatePolygonRgn(star, 5, c.mode));
        EXPECT_EQ(rgn.PtInRegion(32, 24), c.centreInside);
        EXPECT_TRUE(rgn.PtInRegion(32, 8)); // in a point of the star
        EXPECT_FALSE(rgn.PtInRegion(2, 2));
        m_dc.FillSolidRect(0, 0, 64, 48, kWhite);
        CBrush brush(kBlue);
        EXPECT_TRUE(m_dc.FillRgn(&rgn, &brush));
        EXPECT_EQ(Pixels().At(32, 24) == kBlue, c.centreInside == TRUE);
    }
}

TEST_F(DrawingTest, CombinedRegionsAndFrames)
{
    CRgn outer, hole, ring, copy;
    ASSERT_TRUE(outer.CreateRectRgn(10, 10, 40, 40));
    ASSERT_TRUE(hole.CreateEllipticRgn(15, 15, 35, 35));
    ASSERT_TRUE(ring.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(ring.CombineRgn(&outer, &hole, RGN_DIFF), COMPLEXREGION);
    ASSERT_TRUE(copy.CreateRectRgn(0, 0, 0, 0));
    EXPECT_NE(copy.CopyRgn(&ring), ERROR);
    EXPECT_TRUE(copy.EqualRgn(&ring));
    EXPECT_TRUE(ring.PtInRegion(11, 11));
    EXPECT_FALSE(ring.PtInRegion(25, 25));
    CRect box;
    ring.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(10, 10, 40, 40));

    CBrush red(kRed), black(kBlack);
    m_dc.FillRgn(&ring, &red);
    m_dc.FrameRgn(&outer, &black, 1, 1);
    kxgui::PixelBuffer px = Pixels();
    EXPECT_EQ(px.At(25, 25), kWhite);
    EXPECT_EQ(px.At(12, 12), kRed);
    EXPECT_EQ(px.At(10, 20), kBlack);
    EXPECT_EQ(px.At(39, 20), kBlack);

    CRgn round;
    ASSERT_TRUE(round.CreateRoundRectRgn(0, 0, 20, 20, 10, 10));
    EXPECT_FALSE(round.PtInRegion(0, 0)); // the corner is cut off
    EXPECT_TRUE(round.PtInRegion(10, 10));
}

TEST_F(DrawingTest, BlitsCopyAndStretchFromAMemoryDC)
{
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(&m_dc));
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(&m_dc, 4, 4));
    CBitmap* pOld = mem.SelectObject(&bmp);
    mem.FillSolidRect(0, 0, 4, 4, kGreen);
    mem.FillSolidRect(0, 0, 2, 2, kRed);

    EXPECT_TRUE(m_dc.BitBlt(1, 1, 4, 4, &mem, 0, 0, SRCCOPY));
    EXPECT_TRUE(m_dc.StretchBlt(20, 20, 8, 8, &mem, 0, 0, 4, 4, SRCCOPY));
    kxgui::PixelBuffer px = Pixels();
    EXPECT_EQ(px.At(1, 1), kRed);
    EXPECT_EQ(px.At(4, 4), kGreen);
    EXPECT_EQ(px.At(0, 0), kWhite);
    EXPECT_EQ(px.CountColor(kRed, RECT{20, 20, 28, 28}), 16); // 2x2 grew to 4x4
    EXPECT_EQ(px.CountColor(kGreen, RECT{20, 20, 28, 28}), 48);
    mem.SelectObject(pOld);

    // PatBlt with the halftone brush: every other pixel
    m_dc.SetTextColor(kBlack);
    m_dc.SetBkColor(kWhite);
    CBrush* pHalftone = CDC::GetHalftoneBrush();
    ASSERT_NE(pHalftone, nullptr);
    CBrush* pOldBrush = m_dc.SelectObject(pHalftone);
    m_dc.PatBlt(40, 0, 8, 8, PATCOPY);
    m_dc.SelectObject(pOldBrush);
    px = Pixels();
    EXPECT_EQ(px.CountColor(kBlack, RECT{40, 0, 48, 8}), 32);
    EXPECT_NE(px.At(40, 0), px.At(41, 0));
    EXPECT_NE(px.At(40, 0), px.At(40, 1));
}

TEST_F(DrawingTest, MappingAndOriginsConvertBetweenLogicalAndDevicePoints)
{
    int saved = m_dc.SaveDC();
    m_dc.SetViewportOrg(10, 5);
    CPoint pt(0, 0);
    m_dc.LPtoDP(&pt);
    EXPECT_EQ(pt, CPoint(10, 5));
    m_dc.FillSolidRect(0, 0, 2, 2, kRed); // lands at device (10, 5)
    EXPECT_EQ(Pixels().At(10, 5), kRed);
    m_dc.SetMapMode(MM_ANISOTROPIC);
    m_dc.SetWindowExt(1, 1);
    m_dc.SetViewportExt(2, 2);
    CSize size(3, 4);
    m_dc.LPtoDP(&size);
    EXPECT_EQ(size, CSize(6, 8));
    CRect rc(0, 0, 4, 4);
    m_dc.LPtoDP(&rc);
    EXPECT_EQ(rc, CRect(10, 5, 18, 13));
    m_dc.DPtoLP(&rc);
    EXPECT_EQ(rc, CRect(0, 0, 4, 4));
    EXPECT_TRUE(m_dc.RestoreDC(saved));
    EXPECT_EQ(m_dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(m_dc.GetViewportOrg(), CPoint(0, 0));
}

TEST_F(DrawingTest, ClippingLimitsDrawing)
{
    m_dc.IntersectClipRect(10, 10, 20, 20);
    m_dc.ExcludeClipRect(12, 12, 14, 14);
    m_dc.FillSolidRect(0, 0, 64, 48, kRed);
    EXPECT_EQ(Count(kRed, RECT{0, 0, 64, 48}), 100 - 4);
    CRect clip;
    m_dc.GetClipBox(&clip);
    EXPECT_EQ(clip, CRect(10, 10, 20, 20));
    m_dc.SelectClipRgn(nullptr);
    m_dc.FillSolidRect(0, 0, 1, 1, kRed);
    EXPECT_EQ(Pixels().At(0, 0), kRed);
}

TEST_F(DrawingTest, TextExtentsAreConsistentWithTheSelectedFont)
{
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, "Tahoma", &m_dc));
    LOGFONTA lf;
    ASSERT_GT(font.GetLogFont(&lf), 0);
    EXPECT_LT(lf.lfHeight, 0); // a character height, not a cell height
    CFont* pOld = m_dc.SelectObject(&font);
    TEXTMETRICA tm;
    ASSERT_TRUE(m_dc.GetTextMetrics(&tm));
    CSize one = m_dc.GetTextExtent("W", 1);
    CSize two = m_dc.GetTextExtent(CString("WW"));
    EXPECT_EQ(one.cy, tm.tmHeight);
    EXPECT_EQ(two.cx, 2 * one.cx);
    EXPECT_EQ(m_dc.GetCurrentFont()->GetSafeHandle(), font.GetSafeHandle());

    // DrawText measures with DT_CALCRECT exactly what GetTextExtent says
    CRect rc(0, 0, 0, 0);
    m_dc.DrawText("WW", 2, &rc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(rc.Width(), two.cx);
    m_dc.SetTextColor(kBlue);
    m_dc.SetBkMode(TRANSPARENT);
    m_dc.TextOut(2, 2, CString("WW"));
    EXPECT_GT(Count(kBlue, RECT{2, 2, 2 + two.cx, 2 + two.cy}), 0);
    m_dc.SelectObject(pOld);
}

TEST_F(DrawingTest, GeometricPensDrawWithTheirWidthAndFlatEnds)
{
    LOGBRUSH lb = {BS_SOLID, kRed, 0};
    CPen pen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 6, &lb);
    CPen* pOld = m_dc.SelectObject(&pen);
    m_dc.MoveTo(10, 20);
    m_dc.LineTo(40, 20);
    m_dc.SelectObject(pOld);
    EXPECT_EQ(m_dc.GetCurrentPosition(), CPoint(40, 20));
    kxgui::PixelBuffer px = Pixels();
    EXPECT_EQ(px.CountColor(kRed, RECT{10, 0, 40, 48}), 30 * 6);
    EXPECT_EQ(px.At(9, 20), kWhite); // flat end: nothing beyond the ends
    EXPECT_EQ(px.At(40, 20), kWhite);
}

TEST_F(DrawingTest, DeviceIndependentBitsAndImageListsDrawWhereTheySay)
{
    // two by two pixels, bottom-up rows as the format has them
    const uint32_t bits[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = 2;
    bmi.bmiHeader.biHeight = 2;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    EXPECT_EQ(m_dc.SetDIBitsToDevice(4, 4, 2, 2, 0, 0, 0, 2, bits, &bmi, DIB_RGB_COLORS), 2);
    kxgui::PixelBuffer px = Pixels();
    EXPECT_EQ(px.At(4, 5), kBlue); // the first row is the bottom one
    EXPECT_EQ(px.At(5, 5), kGreen);
    EXPECT_EQ(px.At(4, 4), kRed);

    // an image list with a mask colour leaves the background where the mask is
    CImageList images;
    ASSERT_TRUE(images.Create(8, 8, ILC_COLOR24 | ILC_MASK, 1, 1));
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(&m_dc));
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(&m_dc, 8, 8));
    CBitmap* pOld = mem.SelectObject(&bmp);
    mem.FillSolidRect(0, 0, 8, 8, RGB(255, 0, 255)); // the mask colour
    mem.FillSolidRect(2, 2, 4, 4, kGreen);
    mem.SelectObject(pOld);
    EXPECT_EQ(images.Add(&bmp, RGB(255, 0, 255)), 0);
    EXPECT_EQ(images.GetImageCount(), 1);
    m_dc.FillSolidRect(20, 20, 8, 8, kBlue);
    EXPECT_TRUE(images.Draw(&m_dc, 0, CPoint(20, 20), ILD_TRANSPARENT));
    px = Pixels();
    EXPECT_EQ(px.At(21, 21), kBlue);
    EXPECT_EQ(px.At(24, 24), kGreen);
    EXPECT_EQ(CImageList::FromHandle(images.GetSafeHandle()), &images);
}

TEST(Palette, EntriesAndNearestIndex)
{
    struct
    {
        WORD version;
        WORD count;
        PALETTEENTRY entries[3];
    } pal = {0x300, 3, {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}}};
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(reinterpret_cast<LPLOGPALETTE>(&pal)));
    EXPECT_EQ(palette.GetEntryCount(), 3);
    EXPECT_EQ(palette.GetNearestPaletteIndex(RGB(10, 240, 20)), 1u);
    PALETTEENTRY entry;
    EXPECT_EQ(palette.GetPaletteEntries(2, 1, &entry), 1u);
    EXPECT_EQ(entry.peBlue, 255);
}

TEST_F(DrawingTest, TemporaryWrappersAreFoundAgainUntilIdle)
{
    CDC* pTemp = CDC::FromHandle(m_canvas.Dc());
    EXPECT_EQ(pTemp, &m_dc); // the attached object is the permanent one
    HBRUSH hStock = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    CGdiObject* pGray = CGdiObject::FromHandle(hStock);
    EXPECT_EQ(CGdiObject::FromHandle(hStock), pGray);
    EXPECT_EQ(pGray->GetSafeHandle(), hStock);
    AfxDeleteTempMaps();
    // the stock brush still exists: the wrapper did not own it
    EXPECT_EQ(::GetObjectType(hStock), static_cast<DWORD>(OBJ_BRUSH));
    CGdiObject* pNull = nullptr;
    EXPECT_EQ(pNull->GetSafeHandle(), nullptr);
}

} // namespace
