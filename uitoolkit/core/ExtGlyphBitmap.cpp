#include "uitoolkit/core/ExtGlyphBitmap.h"

#include <cstring>
#include <new>

namespace
{

// A glyph's pixels written as text, one character per pixel and row after
// row from the top: '.' is index 0 (transparent), a digit its index.
template <int W, int H>
struct GlyphGrid
{
    UINT data[W * H];
};

template <int W, int H, size_t N>
constexpr GlyphGrid<W, H> Grid(const char (&text)[N])
{
    static_assert(N == W * H + 1, "a glyph grid holds width x height characters");
    GlyphGrid<W, H> grid{};
    for (int i = 0; i < W * H; ++i)
        grid.data[i] = text[i] == '.' ? 0u : (UINT)(text[i] - '0');
    return grid;
}

#define KX_GLYPH(name, w, h, colors, text)                                                                             \
    constexpr GlyphGrid<w, h> name##Data = Grid<w, h>(text);                                                           \
    const CExtGlyphBitmap name(w, h, colors, name##Data.data);

// clang-format off
KX_GLYPH(gEmpty, 9, 9, 2,
    "........."
    "........."
    "........."
    "........."
    "........."
    "........."
    "........."
    "........."
    ".........")
KX_GLYPH(gClose, 9, 9, 2,
    "........."
    "11.....11"
    ".11...11."
    "..11.11.."
    "...111..."
    "..11.11.."
    ".11...11."
    "11.....11"
    ".........")
KX_GLYPH(gArrowUp, 9, 9, 2,
    "........."
    "........."
    "....1...."
    "...111..."
    "..11111.."
    ".1111111."
    "........."
    "........."
    ".........")
const CExtGlyphBitmap gArrowDown(gArrowUp, 180);
const CExtGlyphBitmap gArrowLeft(gArrowUp, 270);
const CExtGlyphBitmap gArrowRight(gArrowLeft, 180);
KX_GLYPH(gMinimize, 9, 9, 2,
    "........."
    "........."
    "........."
    "........."
    "........."
    "........."
    ".1111111."
    ".1111111."
    ".........")
KX_GLYPH(gRestore, 9, 9, 2,
    "..111111."
    "..111111."
    "..1....1."
    "111111.1."
    "111111.1."
    "1....111."
    "1....1..."
    "1....1..."
    "111111...")
KX_GLYPH(gMaximize, 9, 9, 2,
    "111111111"
    "111111111"
    "1.......1"
    "1.......1"
    "1.......1"
    "1.......1"
    "1.......1"
    "1.......1"
    "111111111")
KX_GLYPH(gHelp, 9, 9, 2,
    "..11111.."
    ".11...11."
    ".....11.."
    "....11..."
    "...11...."
    "...11...."
    "........."
    "...11...."
    "...11....")
KX_GLYPH(gPinVertical, 9, 9, 2,
    "..11111.."
    "..1..11.."
    "..1..11.."
    "..1..11.."
    ".1111111."
    "....1...."
    "....1...."
    "....1...."
    ".........")
const CExtGlyphBitmap gPinHorizontal(gPinVertical, 90);
KX_GLYPH(gStemArrowUp, 9, 9, 2,
    "....1...."
    "...111..."
    "..11111.."
    ".1111111."
    "111111111"
    "..11111.."
    "..11111.."
    "..11111.."
    ".........")
const CExtGlyphBitmap gStemArrowDown(gStemArrowUp, 180);
const CExtGlyphBitmap gStemArrowLeft(gStemArrowUp, 270);
const CExtGlyphBitmap gStemArrowRight(gStemArrowLeft, 180);
KX_GLYPH(gCloseThin, 9, 9, 2,
    "........."
    ".1.....1."
    "..1...1.."
    "...1.1..."
    "....1...."
    "...1.1..."
    "..1...1.."
    ".1.....1."
    ".........")
KX_GLYPH(gHollowArrowUp, 9, 9, 2,
    "........."
    "....1...."
    "...1.1..."
    "..1...1.."
    ".1.....1."
    "111111111"
    "........."
    "........."
    ".........")
const CExtGlyphBitmap gHollowArrowDown(gHollowArrowUp, 180);
const CExtGlyphBitmap gHollowArrowLeft(gHollowArrowUp, 270);
const CExtGlyphBitmap gHollowArrowRight(gHollowArrowLeft, 180);
KX_GLYPH(gCloseSmall, 9, 9, 2,
    "........."
    ".11...11."
    "..11.11.."
    "...111..."
    "...111..."
    "..11.11.."
    ".11...11."
    "........."
    ".........")
KX_GLYPH(gPlus, 9, 9, 2,
    "........."
    "........."
    "....1...."
    "....1...."
    "..11111.."
    "....1...."
    "....1...."
    "........."
    ".........")
KX_GLYPH(gMinus, 9, 9, 2,
    "........."
    "........."
    "........."
    "........."
    "..11111.."
    "........."
    "........."
    "........."
    ".........")
KX_GLYPH(gBoxedPlus, 9, 9, 2,
    "111111111"
    "1.......1"
    "1...1...1"
    "1...1...1"
    "1.11111.1"
    "1...1...1"
    "1...1...1"
    "1.......1"
    "111111111")
KX_GLYPH(gBoxedMinus, 9, 9, 2,
    "111111111"
    "1.......1"
    "1.......1"
    "1.......1"
    "1.11111.1"
    "1.......1"
    "1.......1"
    "1.......1"
    "111111111")
KX_GLYPH(gCircledPlus, 9, 9, 2,
    "..11111.."
    ".1.....1."
    "1...1...1"
    "1...1...1"
    "1.11111.1"
    "1...1...1"
    "1...1...1"
    ".1.....1."
    "..11111..")
KX_GLYPH(gCircledMinus, 9, 9, 2,
    "..11111.."
    ".1.....1."
    "1.......1"
    "1.......1"
    "1.11111.1"
    "1.......1"
    "1.......1"
    ".1.....1."
    "..11111..")
KX_GLYPH(gBigArrowUp, 11, 11, 2,
    ".....1....."
    "....111...."
    "...11111..."
    "..1111111.."
    ".111111111."
    "11111111111"
    "...11111..."
    "...11111..."
    "...11111..."
    "...11111..."
    "...........")
const CExtGlyphBitmap gBigArrowDown(gBigArrowUp, 180);
const CExtGlyphBitmap gBigArrowLeft(gBigArrowUp, 270);
const CExtGlyphBitmap gBigArrowRight(gBigArrowLeft, 180);
KX_GLYPH(gArrowTopLeft, 11, 11, 2,
    "1111111...."
    "111111....."
    "11111......"
    "111111....."
    "1111111...."
    "11...111..."
    "1.....111.."
    ".......111."
    "........111"
    ".........11"
    "..........1")
const CExtGlyphBitmap gArrowTopRight(gArrowTopLeft, 90);
const CExtGlyphBitmap gArrowBottomRight(gArrowTopRight, 90);
const CExtGlyphBitmap gArrowBottomLeft(gArrowBottomRight, 90);
KX_GLYPH(gSmallArrowUp, 5, 3, 2,
    "..1.."
    ".111."
    "11111")
const CExtGlyphBitmap gSmallArrowDown(gSmallArrowUp, 180);
const CExtGlyphBitmap gSmallArrowLeft(gSmallArrowUp, 270);
const CExtGlyphBitmap gSmallArrowRight(gSmallArrowLeft, 180);
KX_GLYPH(gEllipsis, 9, 3, 2,
    "........."
    "1...1...1"
    ".........")
KX_GLYPH(g3dArrowUp, 10, 10, 4,
    "....12...."
    "....12...."
    "...1..2..."
    "...1..2..."
    "..1....2.."
    "..1....2.."
    ".1......2."
    ".1......2."
    "1........2"
    "3333333333")
KX_GLYPH(g3dArrowDown, 10, 10, 4,
    "3333333333"
    "1........2"
    ".1......2."
    ".1......2."
    "..1....2.."
    "..1....2.."
    "...1..2..."
    "...1..2..."
    "....12...."
    "....12....")
const CExtGlyphBitmap g3dArrowLeft(g3dArrowDown, 90);
const CExtGlyphBitmap g3dArrowRight(g3dArrowUp, 90);
KX_GLYPH(gBarArrowDown, 7, 7, 2,
    "1111111"
    "1111111"
    "......."
    "1111111"
    ".11111."
    "..111.."
    "...1...")
KX_GLYPH(gChevronArrowDown, 7, 12, 2,
    "1...1.."
    "11..11."
    ".11..11"
    "11..11."
    "1...1.."
    "......."
    "......."
    "......."
    "11111.."
    ".111..."
    "..1...."
    ".......")
KX_GLYPH(gFilledBoxedPlus, 9, 9, 3,
    "111111111"
    "122222221"
    "122212221"
    "122212221"
    "121111121"
    "122212221"
    "122212221"
    "122222221"
    "111111111")
KX_GLYPH(gFilledBoxedMinus, 9, 9, 3,
    "111111111"
    "122222221"
    "122222221"
    "122222221"
    "121111121"
    "122222221"
    "122222221"
    "122222221"
    "111111111")
KX_GLYPH(gBarArrowUp, 7, 7, 2,
    "1111111"
    "1111111"
    "......."
    "...1..."
    "..111.."
    ".11111."
    "1111111")
KX_GLYPH(gBarArrowLeft, 7, 7, 2,
    "11....1"
    "11...11"
    "11..111"
    "11.1111"
    "11..111"
    "11...11"
    "11....1")
KX_GLYPH(gArrowDownBar, 7, 7, 2,
    "1111111"
    ".11111."
    "..111.."
    "...1..."
    "......."
    "1111111"
    "1111111")
KX_GLYPH(gArrowRightBar, 7, 7, 2,
    "1....11"
    "11...11"
    "111..11"
    "1111.11"
    "111..11"
    "11...11"
    "1....11")

KX_GLYPH(gDropDownArrow, 5, 3, 2,
    "11111"
    ".111."
    "..1..")
KX_GLYPH(gExpandChevrons, 8, 5, 2,
    "11..11.."
    ".11..11."
    "..11..11"
    ".11..11."
    "11..11..")
KX_GLYPH(gExpandArrow2003, 5, 6, 2,
    "11111"
    "....."
    "....."
    "11111"
    ".111."
    "..1..")
KX_GLYPH(gExpandChevrons2003, 6, 5, 2,
    "1..1.."
    ".1..1."
    "..1..1"
    ".1..1."
    "1..1..")
KX_GLYPH(gSubmenuArrow, 12, 16, 2,
    "............"
    "............"
    "............"
    "......1....."
    "......11...."
    "......111..."
    "......1111.."
    "......11111."
    "......111111"
    "......11111."
    "......1111.."
    "......111..."
    "......11...."
    "......1....."
    "............"
    "............")
KX_GLYPH(gSubmenuArrowSplit, 12, 16, 2,
    "1..........."
    "1..........."
    "1..........."
    "1.....1....."
    "1.....11...."
    "1.....111..."
    "1.....1111.."
    "1.....11111."
    "1.....111111"
    "1.....11111."
    "1.....1111.."
    "1.....111..."
    "1.....11...."
    "1.....1....."
    "1..........."
    "1...........")
// clang-format on

#undef KX_GLYPH

} // namespace

const CExtGlyphBitmap* const CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GLYPH_COUNT] = {
    &gEmpty,
    &gClose,
    &gArrowUp,
    &gArrowDown,
    &gArrowLeft,
    &gArrowRight,
    &gMinimize,
    &gRestore,
    &gMaximize,
    &gHelp,
    &gPinVertical,
    &gPinHorizontal,
    &gStemArrowUp,
    &gStemArrowDown,
    &gStemArrowLeft,
    &gStemArrowRight,
    &gCloseThin,
    &gHollowArrowUp,
    &gHollowArrowDown,
    &gHollowArrowLeft,
    &gHollowArrowRight,
    &gCloseSmall,
    &gPlus,
    &gMinus,
    &gBoxedPlus,
    &gBoxedMinus,
    &gCircledPlus,
    &gCircledMinus,
    &gBigArrowUp,
    &gBigArrowDown,
    &gBigArrowLeft,
    &gBigArrowRight,
    &gArrowTopLeft,
    &gArrowTopRight,
    &gArrowBottomRight,
    &gArrowBottomLeft,
    &gSmallArrowUp,
    &gSmallArrowDown,
    &gSmallArrowLeft,
    &gSmallArrowRight,
    &gEllipsis,
    &g3dArrowUp,
    &g3dArrowDown,
    &g3dArrowLeft,
    &g3dArrowRight,
    &gBarArrowDown,
    &gChevronArrowDown,
    &gFilledBoxedPlus,
    &gFilledBoxedMinus,
    &gBarArrowUp,
    &gBarArrowLeft,
    &gArrowDownBar,
    &gArrowRightBar,
};

// The named glyphs are copies, so they are constructed after their sources
// within this file.
const CExtGlyphBitmap CExtGlyphBitmap::GlyphDropDownArrow(gDropDownArrow, 0);
const CExtGlyphBitmap CExtGlyphBitmap::GlyphDropDownArrowVert(gDropDownArrow, 270);
const CExtGlyphBitmap CExtGlyphBitmap::GlyphExpandArrowVert(gDropDownArrow, 90);
const CExtGlyphBitmap CExtGlyphBitmap::GlyphExpandChevrons(gExpandChevrons, 0);
const CExtGlyphBitmap CExtGlyphBitmap::GlyphExpandChevronsVert(gExpandChevrons, 90);
const CExtGlyphBitmap CExtGlyphBitmap::GlyphExpandArrow2003(gExpandArrow2003, 0);
const CExtGlyphBitmap CExtGlyphBitmap::GlyphExpandArrow2003Vert(gExpandArrow2003, 270);
const CExtGlyphBitmap CExtGlyphBitmap::GlyphExpandChevrons2003(gExpandChevrons2003, 0);
const CExtGlyphBitmap CExtGlyphBitmap::GlyphExpandChevrons2003Vert(gExpandChevrons2003, 90);
const CExtGlyphBitmap CExtGlyphBitmap::GlyphSubmenuArrow(gSubmenuArrow, 0);
const CExtGlyphBitmap CExtGlyphBitmap::GlyphSubmenuArrowSplit(gSubmenuArrowSplit, 0);

CExtGlyphBitmap::CExtGlyphBitmap(const CExtGlyphBitmap& source, int nAngle)
{
    Reset();
    CopyFrom(source);
    Rotate(nAngle);
}

void CExtGlyphBitmap::Reset()
{
    m_nWidth = 0;
    m_nHeight = 0;
    m_nColors = 1;
    m_pData = nullptr;
    m_bOwnsData = false;
}

void CExtGlyphBitmap::Empty()
{
    if (m_bOwnsData)
        delete[] m_pData;
    Reset();
}

bool CExtGlyphBitmap::CopyFrom(const CExtGlyphBitmap& source)
{
    Empty();
    if (source.m_pData != nullptr)
    {
        const size_t n = (size_t)source.m_nWidth * source.m_nHeight;
        UINT* pData = new (std::nothrow) UINT[n];
        if (pData == nullptr)
            return false;
        memcpy(pData, source.m_pData, n * sizeof(UINT));
        m_pData = pData;
        m_bOwnsData = true;
    }
    m_nWidth = source.m_nWidth;
    m_nHeight = source.m_nHeight;
    m_nColors = source.m_nColors;
    return true;
}

void CExtGlyphBitmap::Rotate(int nAngle)
{
    if ((nAngle != 90 && nAngle != 180 && nAngle != 270) || m_pData == nullptr || !m_bOwnsData)
        return;
    const int w = m_nWidth, h = m_nHeight;
    UINT* pTurned = new (std::nothrow) UINT[(size_t)w * h];
    if (pTurned == nullptr)
        return;
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            const UINT v = m_pData[(size_t)y * w + x];
            if (nAngle == 180)
                pTurned[(size_t)(h - 1 - y) * w + (w - 1 - x)] = v;
            else if (nAngle == 90)
                pTurned[(size_t)x * h + (h - 1 - y)] = v;
            else
                pTurned[(size_t)(w - 1 - x) * h + y] = v;
        }
    }
    delete[] m_pData;
    m_pData = pTurned;
    if (nAngle != 180)
    {
        m_nWidth = h;
        m_nHeight = w;
    }
}
