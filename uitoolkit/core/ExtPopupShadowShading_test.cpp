// The shadow's shading over bottom-up pixel buffers: the band values, the
// one-row offset of the bottom band, tints, and the adjoining cases.
#include "uitoolkit/core/ExtPopupShadowShading.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

constexpr DWORD White = 0xFFFFFF;

// A work image for a W x H window with a shadow of size, filled with one
// colour; At reads by row counted from the top.
struct WorkImage
{
    std::vector<DWORD> bits;
    CExtPopupShadowShading::Image image;
    WorkImage(int w, int h, int size, DWORD fill = White) : bits(size_t(w + size) * (h + size), fill)
    {
        image.Bits = bits.data();
        image.Width = w + size;
        image.Height = h + size;
    }
    DWORD At(int x, int yFromTop) const { return bits[size_t(image.Height - 1 - yFromTop) * image.Width + x]; }
    int Changed() const
    {
        int n = 0;
        for (DWORD px : bits)
            n += px != White;
        return n;
    }
};

DWORD Grey(int v)
{
    return (DWORD(v) << 16) | (DWORD(v) << 8) | DWORD(v);
}

const RECT NoRect = {0, 0, 0, 0};

TEST(ExtPopupShadowShading, BandsFadeOutwardsWithTheBottomBandOneRowUp)
{
    const int w = 40, h = 30;
    WorkImage img(w, h, 4);
    CExtPopupShadowShading::Shade(img.image, CRect(0, 0, w, h), NoRect, NoRect, 4, 75, 100, 0xFFFFFFFF);
    // right band at mid-height: 75, 81, 87 and 93 percent of white
    EXPECT_EQ(img.At(w, h / 2), Grey(191));
    EXPECT_EQ(img.At(w + 1, h / 2), Grey(206));
    EXPECT_EQ(img.At(w + 2, h / 2), Grey(221));
    EXPECT_EQ(img.At(w + 3, h / 2), Grey(237));
    // the bottom band's rows are shifted one up: row H gets 81 percent, the
    // 75 percent row lies under the window and the last row keeps the white
    EXPECT_EQ(img.At(w / 2, h - 1), Grey(191));
    EXPECT_EQ(img.At(w / 2, h), Grey(206));
    EXPECT_EQ(img.At(w / 2, h + 1), Grey(221));
    EXPECT_EQ(img.At(w / 2, h + 2), Grey(237));
    EXPECT_EQ(img.At(w / 2, h + 3), White);
    // the band starts 2 * size + 1 from the window's left and top edges
    EXPECT_EQ(img.At(4, h), White); // beyond the bottom-left corner's fade
    EXPECT_EQ(img.At(9, h), Grey(206));
    EXPECT_EQ(img.At(w, 7), Grey(191)); // the top-right corner's fade
    EXPECT_EQ(img.At(w, 3), White);
    // the window itself is untouched apart from that row
    EXPECT_EQ(img.At(w / 2, h / 2), White);
}

TEST(ExtPopupShadowShading, TintsAndEmptyShadows)
{
    const int w = 20, h = 20;
    WorkImage white(w, h, 4);
    CExtPopupShadowShading::Shade(white.image, CRect(0, 0, w, h), NoRect, NoRect, 4, 75, 100, 0xFFFFFF);
    EXPECT_EQ(white.Changed(), 0);

    WorkImage black(w, h, 4), none(w, h, 4);
    CExtPopupShadowShading::Shade(black.image, CRect(0, 0, w, h), NoRect, NoRect, 4, 75, 100, 0);
    CExtPopupShadowShading::Shade(none.image, CRect(0, 0, w, h), NoRect, NoRect, 4, 75, 100, 0xFFFFFFFF);
    EXPECT_EQ(black.bits, none.bits);
    EXPECT_GT(none.Changed(), 0);

    // a red tint keeps the red channel whole and darkens the others
    WorkImage red(w, h, 4);
    CExtPopupShadowShading::Shade(red.image, CRect(0, 0, w, h), NoRect, NoRect, 4, 75, 100, 0x0000FF);
    EXPECT_EQ(red.At(w, h / 2), (DWORD(255) << 16) | (Grey(191) & 0xFFFF));

    WorkImage empty(w, h, 4);
    CExtPopupShadowShading::Shade(empty.image, CRect(0, 0, w, h), NoRect, NoRect, 0, 75, 100, 0xFFFFFFFF);
    EXPECT_EQ(empty.Changed(), 0);
}

TEST(ExtPopupShadowShading, AdjoiningElementsShortenTheBands)
{
    const int w = 40, h = 30, size = 4;
    struct Case
    {
        const char* name;
        RECT a, b;
        int x, yFromTop; // a pixel whose shading tells the case apart
        bool shaded;
    };
    const Case cases[] = {
        // a sub-menu whose right edge lines up with its item's, opened above
        // it: the right band runs on down beside the item
        {"right edges, B below", {100, 100, 140, 130}, {120, 130, 140, 150}, w + 3, h + 2, true},
        // the same edges with B above: the band starts higher
        {"right edges, B above", {100, 100, 140, 130}, {120, 80, 140, 100}, w + 3, size, true},
        // left edges equal, A above B: the bottom band starts diagonally
        // past B's right edge, without the bottom-left corner
        {"A above B", {100, 100, 140, 130}, {100, 130, 120, 150}, 2 * size, h, false},
        // bottoms equal, A left of B: the bottom band runs on under B
        {"bottoms, B to the right", {100, 100, 140, 130}, {150, 120, 160, 130}, w + 3, h + 2, true},
        // A to the right of B, A.left = B.right - 1: the band starts at i + 1
        {"A right of B", {100, 100, 140, 130}, {60, 140, 101, 160}, 2, h, true},
        // nothing adjoins: none of these pixels is shaded
        {"apart, below the corner", {100, 100, 140, 130}, {300, 300, 310, 310}, w + 3, h + 2, false},
        {"apart, above the corner", {100, 100, 140, 130}, {300, 300, 310, 310}, w + 3, size, false},
        {"apart, left of the band", {100, 100, 140, 130}, {300, 300, 310, 310}, 2, h, false},
        {"apart, bottom-left corner", {100, 100, 140, 130}, {300, 300, 310, 310}, 2 * size, h, true},
    };
    for (const Case& c : cases)
    {
        WorkImage img(w, h, size);
        CExtPopupShadowShading::Shade(img.image, CRect(0, 0, w, h), c.a, c.b, size, 75, 100, 0xFFFFFFFF);
        EXPECT_EQ(img.At(c.x, c.yFromTop) != White, c.shaded) << c.name;
    }
}

TEST(ExtPopupShadowShading, PixelsOutsideTheImageAreLeftAlone)
{
    WorkImage img(4, 4, 2);
    CExtPopupShadowShading::ShadePixel(img.image, 50, 0, 0, 0xFFFFFFFF); // row -1
    CExtPopupShadowShading::ShadePixel(img.image, 50, 6, 3, 0xFFFFFFFF);
    CExtPopupShadowShading::ShadePixel(img.image, 50, -1, 3, 0xFFFFFFFF);
    EXPECT_EQ(img.Changed(), 0);
    CExtPopupShadowShading::ShadePixel(img.image, 50, 5, 1, 0xFFFFFFFF);
    EXPECT_EQ(img.At(5, 0), Grey(127));
}

} // namespace
