// The rules of the colour popup menu that need no window: the 40 named
// colours it offers, the grid they form, keyboard moves over the grid, the
// cell and button rectangles and the window size. Text sizes are measured by
// the window and handed in.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/AfxTypes.h"

#include <vector>

class CExtColorGrid
{
public:
    struct NamedColor
    {
        UINT StringID; // accepted by the menu's entries, never stored
        COLORREF Color;
        LPCSTR Name;
    };
    // The standard colours in grid order, 8 to a row.
    static const NamedColor* StandardColors(int* pCount);

    enum e_move
    {
        MoveLeft,
        MoveUp,
        MoveRight,
        MoveDown,
    };

    // A column count below 1 would leave the grid without rows: it counts as 1.
    static int ClampColumns(int nColumns) { return nColumns < 1 ? 1 : nColumns; }
    // (columns, rows); a single row is as wide as its colours.
    static CSize GridSize(int nCount, int nColumns);
    // (column, row) of a cell, over the columns GridSize reports.
    static CPoint CellPos(int nIndex, int nCount, int nColumns);
    // The cell a move leads to, wrapping inside rows and columns; a cell that
    // is not in the grid (nothing, a button) leads to cell 0, an empty grid
    // to -1. An unchanged index means the move is not handled.
    static int NextIndex(int nIndex, e_move move, int nCount, int nColumns);
    // The first index of a colour, -1 when none.
    static int FindColor(const std::vector<COLORREF>& colors, COLORREF color);

    // What the layout depends on besides the colours.
    struct Frame
    {
        int Count = 0;
        int Columns = 8;
        CSize Cell = CSize(16, 16);
        CSize Spacing = CSize(2, 2);
        int Border = 0;          // the menu border
        int Shadow = 0;          // the shadow size
        int SeparatorHeight = 0; // the theme's separator height
        int TearOffHeight = 0;   // the tear-off bar when shown, else 0
        int LeftAreaWidth = 0;
        bool DefaultButton = true;
        bool CustomButton = true;
        CSize DefaultText; // measured, ampersands removed
        CSize CustomText;
    };
    struct Layout
    {
        CSize Window;        // left area included, tear-off bar not
        CRect DefaultButton; // empty when not shown
        CRect CustomButton;
    };
    static Layout WindowLayout(const Frame& frame);
    // A cell in client coordinates, with rcClient the menu's inner client
    // rectangle and nDefaultButtonHeight the height of the default button
    // (used only when it is shown).
    static CRect CellRect(const Frame& frame, int nIndex, const RECT& rcClient, int nDefaultButtonHeight);
};
