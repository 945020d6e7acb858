#include "uitoolkit/core/ExtColorGrid.h"

#include <algorithm>

namespace
{

constexpr COLORREF Rgb(int r, int g, int b)
{
    return static_cast<COLORREF>(r | (g << 8) | (b << 16));
}

const CExtColorGrid::NamedColor kStandardColors[] = {
    {30302, Rgb(0x00, 0x00, 0x00), "Black"},
    {30303, Rgb(0xA5, 0x2A, 0x00), "Brown"},
    {30304, Rgb(0x00, 0x40, 0x40), "Dark Olive Green"},
    {30305, Rgb(0x00, 0x55, 0x00), "Dark Green"},
    {30306, Rgb(0x00, 0x00, 0x5E), "Dark Teal"},
    {30307, Rgb(0x00, 0x00, 0x8B), "Dark blue"},
    {30308, Rgb(0x4B, 0x00, 0x82), "Indigo"},
    {30309, Rgb(0x28, 0x28, 0x28), "Dark grey"},
    {30310, Rgb(0x8B, 0x00, 0x00), "Dark red"},
    {30311, Rgb(0xFF, 0x68, 0x20), "Orange"},
    {30312, Rgb(0x8B, 0x8B, 0x00), "Dark yellow"},
    {30313, Rgb(0x00, 0x93, 0x00), "Green"},
    {30314, Rgb(0x38, 0x8E, 0x8E), "Teal"},
    {30315, Rgb(0x00, 0x00, 0xFF), "Blue"},
    {30316, Rgb(0x7B, 0x7B, 0xC0), "Blue-grey"},
    {30325, Rgb(0x66, 0x66, 0x66), "Grey - 50"},
    {30318, Rgb(0xFF, 0x00, 0x00), "Red"},
    {30319, Rgb(0xFF, 0xAD, 0x5B), "Light orange"},
    {30320, Rgb(0x32, 0xCD, 0x32), "Lime"},
    {30321, Rgb(0x3C, 0xB3, 0x71), "Sea green"},
    {30322, Rgb(0x7F, 0xFF, 0xD4), "Aqua"},
    {30323, Rgb(0x7D, 0x9E, 0xC0), "Light blue"},
    {30324, Rgb(0x80, 0x00, 0x80), "Violet"},
    {30317, Rgb(0x7F, 0x7F, 0x7F), "Grey - 40"},
    {30326, Rgb(0xFF, 0xC0, 0xCB), "Pink"},
    {30327, Rgb(0xFF, 0xD7, 0x00), "Gold"},
    {30328, Rgb(0xFF, 0xFF, 0x00), "Yellow"},
    {30329, Rgb(0x00, 0xFF, 0x00), "Bright green"},
    {30330, Rgb(0x40, 0xE0, 0xD0), "Turquoise"},
    {30331, Rgb(0xC0, 0xFF, 0xFF), "Skyblue"},
    {30332, Rgb(0x48, 0x00, 0x48), "Plum"},
    {30333, Rgb(0xC0, 0xC0, 0xC0), "Light grey"},
    {30334, Rgb(0xFF, 0xE4, 0xE1), "Rose"},
    {30335, Rgb(0xD2, 0xB4, 0x8C), "Tan"},
    {30336, Rgb(0xFF, 0xFF, 0xE0), "Light yellow"},
    {30337, Rgb(0x98, 0xFB, 0x98), "Pale green "},
    {30338, Rgb(0xAF, 0xEE, 0xEE), "Pale turquoise"},
    {30339, Rgb(0x68, 0x83, 0x8B), "Pale blue"},
    {30340, Rgb(0xE6, 0xE6, 0xFA), "Lavender"},
    {30341, Rgb(0xFF, 0xFF, 0xFF), "White"},
};

} // namespace

const CExtColorGrid::NamedColor* CExtColorGrid::StandardColors(int* pCount)
{
    *pCount = static_cast<int>(sizeof(kStandardColors) / sizeof(kStandardColors[0]));
    return kStandardColors;
}

CSize CExtColorGrid::GridSize(int nCount, int nColumns)
{
    const int c = ClampColumns(nColumns);
    const int r = nCount / c + (nCount % c != 0 ? 1 : 0);
    return CSize(r == 1 ? nCount : c, r);
}

CPoint CExtColorGrid::CellPos(int nIndex, int nCount, int nColumns)
{
    const int c = ClampColumns(GridSize(nCount, nColumns).cx);
    return CPoint(nIndex % c, nIndex / c);
}

int CExtColorGrid::NextIndex(int nIndex, e_move move, int nCount, int nColumns)
{
    if (nCount <= 0)
        return -1;
    if (nIndex < 0 || nIndex >= nCount)
        return 0;
    const int c = ClampColumns(nColumns);
    const int rem = nCount % c;
    const int rows = nCount / c + (rem > 0 ? 1 : 0);
    const int len = rows == 1 ? nCount : c;
    const int row = nIndex / len;
    const int col = nIndex % len;
    const bool bLastShort = rem > 0 && rows > 1;
    const int curLen = (bLastShort && row == rows - 1) ? rem : len;
    switch (move)
    {
    case MoveLeft:
        if (len == 1)
            return nIndex;
        return col > 0 ? row * len + col - 1 : row * len + curLen - 1;
    case MoveRight:
        if (len == 1)
            return nIndex;
        return col == curLen - 1 ? row * len : row * len + col + 1;
    case MoveUp:
        if (rows == 1)
            return nIndex;
        if (row > 0)
            return (row - 1) * len + col;
        return (bLastShort && col >= rem) ? (rows - 2) * len + col : (rows - 1) * len + col;
    case MoveDown:
    {
        if (rows == 1)
            return nIndex;
        int next = row + 1;
        if (next >= rows || (next == rows - 1 && bLastShort && col >= rem))
            next = 0;
        return next * len + col;
    }
    }
    return nIndex;
}

int CExtColorGrid::FindColor(const std::vector<COLORREF>& colors, COLORREF color)
{
    const auto it = std::find(colors.begin(), colors.end(), color);
    return it == colors.end() ? -1 : static_cast<int>(it - colors.begin());
}

CExtColorGrid::Layout CExtColorGrid::WindowLayout(const Frame& f)
{
    const CSize grid = GridSize(f.Count, f.Columns);
    const int b = f.Border;
    const int s = f.Shadow;
    int w = (f.Cell.cx + 2 * f.Spacing.cx) * grid.cx + 2 * b + s;
    int h = (f.Cell.cy + 2 * f.Spacing.cy) * grid.cy + 2 * b + s;
    Layout layout;
    int nDefaultHeight = 0;
    if (f.DefaultButton)
    {
        h += f.SeparatorHeight + 6;
        const int tw = f.DefaultText.cx + 6;
        const int th = std::max(static_cast<int>(f.DefaultText.cy), 22);
        h += th;
        w = std::max(w, tw);
        layout.DefaultButton = CRect(b + 3, b + 3, w - b - 3 - s, b + 3 + th);
        layout.DefaultButton.OffsetRect(0, f.TearOffHeight);
        nDefaultHeight = th;
    }
    if (f.CustomButton)
    {
        h += f.SeparatorHeight + 7;
        const int tw = f.CustomText.cx + 6;
        const int th = std::max(static_cast<int>(f.CustomText.cy), 22);
        h += th;
        w = std::max(w, tw);
        layout.CustomButton = CRect(b + 3, b + 3, w - b - 3 - s, b + 3 + th);
        if (f.DefaultButton)
            layout.CustomButton.OffsetRect(0, f.SeparatorHeight + nDefaultHeight + 6);
        layout.CustomButton.OffsetRect(0,
                                       (f.Cell.cy + 2 * f.Spacing.cy) * grid.cy + f.Spacing.cy + b + f.TearOffHeight);
    }
    layout.Window = CSize(w + f.LeftAreaWidth, h);
    return layout;
}

CRect CExtColorGrid::CellRect(const Frame& f, int nIndex, const RECT& rcClient, int nDefaultButtonHeight)
{
    const CPoint pos = CellPos(nIndex, f.Count, f.Columns);
    CRect rc;
    rc.left = (f.Cell.cx + 2 * f.Spacing.cx) * pos.x + f.Spacing.cx + f.Border;
    rc.top = (f.Cell.cy + 2 * f.Spacing.cy) * pos.y + f.Spacing.cy + f.Border;
    rc.right = rc.left + f.Cell.cx;
    rc.bottom = rc.top + f.Cell.cy;
    if (f.DefaultButton)
        rc.OffsetRect(0, f.SeparatorHeight + nDefaultButtonHeight + 6);
    rc.OffsetRect(rcClient.left + f.LeftAreaWidth, rcClient.top + f.TearOffHeight);
    return rc;
}
