// Colour menu rules: the standard colours, the grid, keyboard moves, the
// first-match colour search and the window layout.
#include "uitoolkit/core/ExtColorGrid.h"

#include <gtest/gtest.h>

namespace
{

using G = CExtColorGrid;

TEST(ExtColorGrid, StandardColorsAreFortyInFiveRowsOfEight)
{
    int n = 0;
    const G::NamedColor* pColors = G::StandardColors(&n);
    ASSERT_EQ(40, n);
    EXPECT_EQ(0x00002AA5u, pColors[1].Color); // brown: red A5, green 2A
    EXPECT_STREQ("Pale green ", pColors[35].Name);
    EXPECT_EQ(30325u, pColors[15].StringID);
    EXPECT_EQ(0x00FFFFFFu, pColors[39].Color);
    EXPECT_EQ(CSize(8, 5), G::GridSize(n, 8));
    EXPECT_EQ(CPoint(3, 4), G::CellPos(35, n, 8));
}

TEST(ExtColorGrid, ShortGridsAndColumnCountsBelowOne)
{
    EXPECT_EQ(CSize(5, 1), G::GridSize(5, 8));
    EXPECT_EQ(CSize(8, 2), G::GridSize(10, 8));
    EXPECT_EQ(CPoint(4, 0), G::CellPos(4, 5, 8));
    // a count of 0 or less behaves as one column
    EXPECT_EQ(CSize(1, 3), G::GridSize(3, 0));
    EXPECT_EQ(CSize(1, 3), G::GridSize(3, -4));
    EXPECT_EQ(CPoint(0, 2), G::CellPos(2, 3, 0));
    EXPECT_EQ(1, G::NextIndex(0, G::MoveDown, 3, 0));
    EXPECT_EQ(0, G::NextIndex(0, G::MoveLeft, 3, 0));
}

TEST(ExtColorGrid, KeyboardMovesWrapInsideRowsAndColumns)
{
    const struct
    {
        int nCount, nIndex;
        G::e_move move;
        int nExpected;
    } cases[] = {
        {40, 0, G::MoveLeft, 7},
        {40, 7, G::MoveRight, 0},
        {40, 3, G::MoveUp, 35},
        {40, 35, G::MoveDown, 3},
        {40, 9, G::MoveUp, 1},
        {40, 12, G::MoveDown, 20},
        // a second row of two cells
        {10, 9, G::MoveRight, 8},
        {10, 8, G::MoveLeft, 9},
        {10, 5, G::MoveDown, 5},
        {10, 5, G::MoveUp, 5},
        {10, 1, G::MoveUp, 9},
        {10, 9, G::MoveDown, 1},
        // one row: up and down are not handled
        {5, 2, G::MoveUp, 2},
        {5, 2, G::MoveDown, 2},
        {5, 4, G::MoveRight, 0},
        {5, 0, G::MoveLeft, 4},
        // nothing or a button leads to cell 0, whatever the move
        {40, -1, G::MoveUp, 0},
        {40, -101, G::MoveLeft, 0},
        {40, -102, G::MoveDown, 0},
        {40, 40, G::MoveRight, 0},
        {0, 3, G::MoveRight, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.nExpected, G::NextIndex(c.nIndex, c.move, c.nCount, 8))
            << c.nCount << " colours, from " << c.nIndex << " move " << c.move;
}

TEST(ExtColorGrid, FindColorGivesTheFirstMatch)
{
    const std::vector<COLORREF> colors = {0x10, 0x20, 0x10};
    EXPECT_EQ(0, G::FindColor(colors, 0x10));
    EXPECT_EQ(1, G::FindColor(colors, 0x20));
    EXPECT_EQ(-1, G::FindColor(colors, 0x30));
}

G::Frame Frame40()
{
    G::Frame f;
    f.Count = 40;
    f.Border = 3;
    f.Shadow = 4;
    f.SeparatorHeight = 8;
    f.DefaultText = CSize(70, 13);
    f.CustomText = CSize(90, 13);
    return f;
}

TEST(ExtColorGrid, WindowLayoutHoldsTheGridAndBothButtons)
{
    G::Frame f = Frame40();
    G::Layout layout = G::WindowLayout(f);
    // 20 per cell, borders and the shadow; texts narrower than the grid
    EXPECT_EQ(20 * 8 + 6 + 4, layout.Window.cx);
    EXPECT_EQ(20 * 5 + 6 + 4 + (8 + 6 + 22) + (8 + 7 + 22), layout.Window.cy);
    EXPECT_EQ(CRect(6, 6, 170 - 3 - 3 - 4, 28), layout.DefaultButton);
    // below the default button, its separator and the grid
    EXPECT_EQ(CRect(6, 6 + 36 + 100 + 2 + 3, 160, 6 + 36 + 100 + 2 + 3 + 22), layout.CustomButton);

    // a wide custom text widens the window and the custom button only
    f.CustomText = CSize(300, 30);
    f.LeftAreaWidth = 12;
    f.TearOffHeight = 9;
    layout = G::WindowLayout(f);
    EXPECT_EQ(306 + 12, layout.Window.cx);
    EXPECT_EQ(160, layout.DefaultButton.right);
    EXPECT_EQ(306 - 3 - 3 - 4, layout.CustomButton.right);
    EXPECT_EQ(30, layout.CustomButton.Height());
    EXPECT_EQ(15, layout.DefaultButton.top);

    // no buttons: the grid alone
    f.DefaultButton = f.CustomButton = false;
    layout = G::WindowLayout(f);
    EXPECT_EQ(CSize(170 + 12, 110), layout.Window);
    EXPECT_TRUE(layout.DefaultButton.IsRectEmpty());
}

TEST(ExtColorGrid, CellRectangles)
{
    G::Frame f = Frame40();
    const CRect rcClient(0, 0, 170, 200);
    EXPECT_EQ(CRect(5, 5 + 36, 21, 21 + 36), G::CellRect(f, 0, rcClient, 22));
    EXPECT_EQ(CRect(5 + 60, 5 + 36 + 20, 21 + 60, 21 + 36 + 20), G::CellRect(f, 11, rcClient, 22));
    f.DefaultButton = false;
    f.LeftAreaWidth = 10;
    f.TearOffHeight = 7;
    EXPECT_EQ(CRect(1 + 5 + 10, 2 + 5 + 7, 1 + 21 + 10, 2 + 21 + 7), G::CellRect(f, 0, CRect(1, 2, 100, 100), 22));
}

} // namespace
