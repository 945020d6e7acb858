// Glyphs: small pictures held as a grid of colour indices (0 transparent)
// that the theme paints with a colour table chosen at paint time, so one
// glyph serves every theme, state and system colour; and the toolkit's
// built-in glyph set.
#pragma once

#include "framework/core/AfxTypes.h"

#include "framework/core/AfxGeometry.h"

class CExtGlyphBitmap
{
public:
    CExtGlyphBitmap() { Reset(); }
    // Over constant data, which the glyph does not own.
    constexpr CExtGlyphBitmap(int nWidth, int nHeight, int nColors, const UINT* pData)
        : m_nWidth(nWidth), m_nHeight(nHeight), m_nColors(nColors), m_pData(pData), m_bOwnsData(false)
    {
    }
    // A copy of source turned clockwise by nAngle.
    CExtGlyphBitmap(const CExtGlyphBitmap& source, int nAngle);
    ~CExtGlyphBitmap() { Empty(); }
    CExtGlyphBitmap(const CExtGlyphBitmap&) = delete;
    CExtGlyphBitmap& operator=(const CExtGlyphBitmap&) = delete;

    void Reset();
    void Empty();
    bool CopyFrom(const CExtGlyphBitmap& source);
    // 90, 180 and 270 turn the glyph clockwise; other angles do nothing.
    // Needs owned data (a copy).
    void Rotate(int nAngle);

    SIZE GetSize() const { return CSize(m_nWidth, m_nHeight); }
    const UINT* GetData() const { return m_pData; }
    int GetColorCount() const { return m_nColors; }

    // Numbers of the table's glyphs.
    enum GlyphNumber
    {
        GlyphEmpty,
        GlyphClose,
        GlyphArrowUp,
        GlyphArrowDown,
        GlyphArrowLeft,
        GlyphArrowRight,
        GlyphMinimize,
        GlyphRestore,
        GlyphMaximize,
        GlyphHelp,
        GlyphPinVertical,
        GlyphPinHorizontal,
        GlyphStemArrowUp,
        GlyphStemArrowDown,
        GlyphStemArrowLeft,
        GlyphStemArrowRight,
        GlyphCloseThin,
        GlyphHollowArrowUp,
        GlyphHollowArrowDown,
        GlyphHollowArrowLeft,
        GlyphHollowArrowRight,
        GlyphCloseSmall,
        GlyphPlus,
        GlyphMinus,
        GlyphBoxedPlus,
        GlyphBoxedMinus,
        GlyphCircledPlus,
        GlyphCircledMinus,
        GlyphBigArrowUp,
        GlyphBigArrowDown,
        GlyphBigArrowLeft,
        GlyphBigArrowRight,
        GlyphArrowTopLeft,
        GlyphArrowTopRight,
        GlyphArrowBottomRight,
        GlyphArrowBottomLeft,
        GlyphSmallArrowUp,
        GlyphSmallArrowDown,
        GlyphSmallArrowLeft,
        GlyphSmallArrowRight,
        GlyphEllipsis,
        Glyph3dArrowUp,
        Glyph3dArrowDown,
        Glyph3dArrowLeft,
        Glyph3dArrowRight,
        GlyphBarArrowDown,
        GlyphChevronArrowDown,
        GlyphFilledBoxedPlus,
        GlyphFilledBoxedMinus,
        GlyphBarArrowUp,
        GlyphBarArrowLeft,
        GlyphArrowDownBar,
        GlyphArrowRightBar,
        GLYPH_COUNT
    };
    // The numbered set; the named glyphs below are used by the themes' parts.
    static const CExtGlyphBitmap* const g_GlyphTable[GLYPH_COUNT];
    static const CExtGlyphBitmap GlyphDropDownArrow;
    static const CExtGlyphBitmap GlyphDropDownArrowVert;
    static const CExtGlyphBitmap GlyphExpandArrowVert;
    static const CExtGlyphBitmap GlyphExpandChevrons;
    static const CExtGlyphBitmap GlyphExpandChevronsVert;
    static const CExtGlyphBitmap GlyphExpandArrow2003;
    static const CExtGlyphBitmap GlyphExpandArrow2003Vert;
    static const CExtGlyphBitmap GlyphExpandChevrons2003;
    static const CExtGlyphBitmap GlyphExpandChevrons2003Vert;
    static const CExtGlyphBitmap GlyphSubmenuArrow;
    static const CExtGlyphBitmap GlyphSubmenuArrowSplit;

private:
    int m_nWidth;
    int m_nHeight;
    int m_nColors;
    const UINT* m_pData;
    bool m_bOwnsData;
};
