// Check marks, radio dots, corner-less frames and the drag outline, pixel by
// pixel on a 32-bit canvas.
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

struct Canvas
{
    kxgui::DibCanvas canvas{20, 20, kWhite};
    CDC dc;
    Canvas(COLORREF fill = kWhite) : canvas(20, 20, fill) { dc.Attach(canvas.Dc()); }
    ~Canvas() { dc.Detach(); }
};

TEST(ExtPaintMarks, CheckMarkPatternWithItsShadow)
{
    // painted on grey so the white shadow shows; '#' colour, 's' shadow
    const char* const expected[7] = {
        "......#", ".....##", "#...##s", "##.##s.", "s###s..", ".s#s...", "..s....",
    };
    const COLORREF grey = RGB(128, 128, 128);
    Canvas c(grey);
    CExtPaintManager::PaintMenuCheckMark(c.dc, 3, 4, kBlack);
    const kxgui::PixelBuffer p = c.canvas.Pixels();
    for (int row = 0; row < 7; ++row)
    {
        for (int col = 0; col < 7; ++col)
        {
            const char ch = expected[row][col];
            const COLORREF want = ch == '#' ? kBlack : ch == 's' ? kWhite : grey;
            EXPECT_EQ(p.At(3 + col, 4 + row), want) << "row " << row << " col " << col;
        }
    }
    EXPECT_EQ(p.CountColor(grey, CRect(0, 0, 20, 20)), 20 * 20 - 21);
}

TEST(ExtPaintMarks, RadioDotIsADotOverItsShadow)
{
    const COLORREF grey = RGB(128, 128, 128);
    Canvas c(grey);
    CExtPaintManager::PaintMenuRadioDot(c.dc, 5, 5, kBlack);
    const kxgui::PixelBuffer p = c.canvas.Pixels();
    EXPECT_EQ(p.At(7, 7), kBlack);  // inside the dot
    EXPECT_EQ(p.At(11, 9), kWhite); // the shadow's right edge, past the dot
    EXPECT_GT(p.CountColor(kWhite, CRect(5, 5, 12, 12)), 0);
    EXPECT_GT(p.CountColor(kBlack, CRect(5, 5, 11, 11)), 16);
    EXPECT_EQ(20 * 20 - p.CountColor(grey, CRect(0, 0, 20, 20)),
              49 - p.CountColor(grey, CRect(5, 5, 12, 12))); // nothing outside the 7 x 7 box
}

TEST(ExtPaintMarks, FrameWithoutCornersAndDragOutline)
{
    Canvas c;
    CExtPaintManager::Draw3dRectNoCorners(c.dc, CRect(2, 2, 8, 6), RGB(255, 0, 0), RGB(0, 0, 255));
    kxgui::PixelBuffer p = c.canvas.Pixels();
    for (POINT corner : {POINT{2, 2}, POINT{7, 2}, POINT{2, 5}, POINT{7, 5}})
        EXPECT_EQ(p.At(corner.x, corner.y), kWhite);
    EXPECT_EQ(p.CountColor(RGB(255, 0, 0), CRect(0, 0, 20, 20)), 4 + 2);
    EXPECT_EQ(p.CountColor(RGB(0, 0, 255), CRect(0, 0, 20, 20)), 4 + 2);
    EXPECT_EQ(p.At(3, 2), RGB(255, 0, 0));
    EXPECT_EQ(p.At(7, 3), RGB(0, 0, 255));

    Canvas d;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(nullptr));
    g_PaintManager->PaintDragOutline(d.dc, CRect(4, 4, 14, 12));
    p = d.canvas.Pixels();
    const COLORREF text = CExtPaintManager::SysColor(COLOR_BTNTEXT);
    EXPECT_EQ(p.CountColor(text, CRect(4, 4, 14, 12)), 10 * 8 - 6 * 4);
    EXPECT_EQ(p.CountColor(kWhite, CRect(6, 6, 12, 10)), 6 * 4);
}

TEST(ExtPaintMarks, InsertMarkIsAnIBeamOnTheChosenEdge)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(nullptr));
    const COLORREF text = CExtPaintManager::SysColor(COLOR_BTNTEXT);
    // vertical mark at the leading (left) edge of (8, 5)-(14, 15): rows 4 to 15
    Canvas c;
    g_PaintManager->PaintInsertMark(c.dc, CRect(8, 5, 14, 15), true, true);
    kxgui::PixelBuffer p = c.canvas.Pixels();
    const char* const top[3] = {"######", ".####.", "..##.."};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 6; ++col)
        {
            EXPECT_EQ(p.At(5 + col, 4 + row), top[row][col] == '#' ? text : kWhite) << row << "," << col;
            EXPECT_EQ(p.At(5 + col, 15 - row), top[row][col] == '#' ? text : kWhite) << row << "," << col;
        }
    EXPECT_EQ(p.CountColor(text, CRect(0, 0, 20, 20)), 2 * 12 + 2 * (4 + 2));

    // horizontal mark at the trailing (bottom) edge: the same shape turned
    Canvas d;
    g_PaintManager->PaintInsertMark(d.dc, CRect(5, 2, 15, 9), false, false);
    p = d.canvas.Pixels();
    EXPECT_EQ(p.CountColor(text, CRect(4, 8, 16, 10)), 2 * 12);
    EXPECT_EQ(p.CountColor(text, CRect(4, 6, 6, 12)), 6 + 4); // the left serif
    EXPECT_EQ(p.CountColor(text, CRect(0, 0, 20, 20)), 2 * 12 + 2 * (4 + 2));
}

} // namespace
