// Glyph records, their rotation and the built-in set.
#include "uitoolkit/core/ExtGlyphBitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

std::vector<UINT> Pixels(const CExtGlyphBitmap& g)
{
    const SIZE size = g.GetSize();
    return std::vector<UINT>(g.GetData(), g.GetData() + size.cx * size.cy);
}

TEST(ExtGlyphBitmap, RotationTurnsClockwise)
{
    // 5 x 3, every pixel distinct
    const UINT data[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const CExtGlyphBitmap source(5, 3, 16, data);
    const CExtGlyphBitmap turned90(source, 90);
    EXPECT_EQ(turned90.GetSize().cx, 3);
    EXPECT_EQ(turned90.GetSize().cy, 5);
    // the top row becomes the right column
    EXPECT_EQ(Pixels(turned90), (std::vector<UINT>{11, 6, 1, 12, 7, 2, 13, 8, 3, 14, 9, 4, 15, 10, 5}));
    const CExtGlyphBitmap turned270(source, 270);
    EXPECT_EQ(Pixels(turned270), (std::vector<UINT>{5, 10, 15, 4, 9, 14, 3, 8, 13, 2, 7, 12, 1, 6, 11}));
    const CExtGlyphBitmap turned180(source, 180);
    EXPECT_EQ(turned180.GetSize().cx, 5);
    EXPECT_EQ(Pixels(turned180), (std::vector<UINT>{15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));

    CExtGlyphBitmap copy;
    ASSERT_TRUE(copy.CopyFrom(source));
    for (int i = 0; i < 4; ++i)
        copy.Rotate(90);
    EXPECT_EQ(Pixels(copy), Pixels(source));
    EXPECT_EQ(copy.GetSize().cx, 5);
    copy.Rotate(45); // not an angle the toolkit uses
    EXPECT_EQ(Pixels(copy), Pixels(source));
}

TEST(ExtGlyphBitmap, EmptyCopiesAndResets)
{
    const CExtGlyphBitmap empty;
    CExtGlyphBitmap copy;
    EXPECT_TRUE(copy.CopyFrom(empty));
    EXPECT_EQ(copy.GetSize().cx, 0);
    EXPECT_EQ(copy.GetSize().cy, 0);
    EXPECT_EQ(copy.GetData(), nullptr);
    EXPECT_EQ(copy.GetColorCount(), 1);
}

TEST(ExtGlyphBitmap, BuiltInSetFitsItsSizesAndColours)
{
    struct Case
    {
        int number, cx, cy, colors;
    } cases[] = {
        {CExtGlyphBitmap::GlyphEmpty, 9, 9, 2},
        {CExtGlyphBitmap::GlyphBigArrowLeft, 11, 11, 2},
        {CExtGlyphBitmap::GlyphSmallArrowLeft, 3, 5, 2},
        {CExtGlyphBitmap::GlyphEllipsis, 9, 3, 2},
        {CExtGlyphBitmap::Glyph3dArrowRight, 10, 10, 4},
        {CExtGlyphBitmap::GlyphChevronArrowDown, 7, 12, 2},
        {CExtGlyphBitmap::GlyphFilledBoxedMinus, 9, 9, 3},
        {CExtGlyphBitmap::GlyphArrowRightBar, 7, 7, 2},
    };
    for (const auto& c : cases)
    {
        const CExtGlyphBitmap* g = CExtGlyphBitmap::g_GlyphTable[c.number];
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->GetSize().cx, c.cx) << c.number;
        EXPECT_EQ(g->GetSize().cy, c.cy) << c.number;
        EXPECT_EQ(g->GetColorCount(), c.colors) << c.number;
    }
    // no entry uses an index beyond its colour count
    for (int i = 0; i < CExtGlyphBitmap::GLYPH_COUNT; ++i)
        for (UINT v : Pixels(*CExtGlyphBitmap::g_GlyphTable[i]))
            EXPECT_LT(v, (UINT)CExtGlyphBitmap::g_GlyphTable[i]->GetColorCount()) << i;

    // the small left arrow has its point alone in column 0
    const CExtGlyphBitmap& left = *CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GlyphSmallArrowLeft];
    EXPECT_EQ(Pixels(left), (std::vector<UINT>{0, 0, 1, 0, 1, 1, 1, 1, 1, 0, 1, 1, 0, 0, 1}));
    // rotated entries are copies of their sources
    const CExtGlyphBitmap& up = *CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GlyphArrowUp];
    CExtGlyphBitmap down;
    down.CopyFrom(*CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GlyphArrowDown]);
    down.Rotate(180);
    EXPECT_EQ(Pixels(down), Pixels(up));

    EXPECT_EQ(Pixels(CExtGlyphBitmap::GlyphDropDownArrow),
              (std::vector<UINT>{1, 1, 1, 1, 1, 0, 1, 1, 1, 0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(CExtGlyphBitmap::GlyphDropDownArrowVert.GetSize().cx, 3);
    // pointing right: the point in the last column
    EXPECT_EQ(CExtGlyphBitmap::GlyphDropDownArrowVert.GetData()[2 * 3 + 2], 1u);
    EXPECT_EQ(CExtGlyphBitmap::GlyphDropDownArrowVert.GetData()[0 * 3 + 2], 0u);
    EXPECT_EQ(CExtGlyphBitmap::GlyphExpandChevronsVert.GetSize().cy, 8);
    EXPECT_EQ(CExtGlyphBitmap::GlyphSubmenuArrowSplit.GetSize().cy, 16);
}

} // namespace
