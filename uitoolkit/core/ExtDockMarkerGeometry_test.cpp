// Marker placement, outer frames, the compass box and the shading of the
// docking preview.
#include "uitoolkit/core/ExtDockMarkerGeometry.h"

#include "uitoolkit/core/ExtColorMath.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

typedef CExtDockMarkerGeometry G;

TEST(ExtDockMarkerGeometry, MarkersSitAtTheirEdgeCentredAlongIt)
{
    const RECT rc = {100, 50, 301, 250}; // 201 x 200
    struct Case
    {
        int nKind;
        RECT expected;
    } cases[] = {
        {G::KindTop, {189, 50, 212, 76}},
        {G::KindBottom, {189, 224, 212, 250}},
        {G::KindLeft, {100, 137, 123, 163}},
        {G::KindRight, {278, 137, 301, 163}},
        {G::KindCompassCentre, {189, 137, 212, 163}},
        {G::KindTab, {189, 137, 212, 163}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CRect(G::PlaceMarker(c.nKind, rc, 23, 26)), CRect(c.expected)) << c.nKind;
}

TEST(ExtDockMarkerGeometry, OuterFramesSitInsideTheEdgesByTheMargins)
{
    const RECT rc = {0, 0, 400, 300};
    const RECT margins = {5, 5, 5, 5};
    EXPECT_EQ(CRect(G::PlaceOuterFrame(G::KindTop, rc, 29, 31, margins)), CRect(185, 5, 214, 36));
    EXPECT_EQ(CRect(G::PlaceOuterFrame(G::KindBottom, rc, 29, 31, margins)), CRect(185, 264, 214, 295));
    EXPECT_EQ(CRect(G::PlaceOuterFrame(G::KindLeft, rc, 31, 29, margins)), CRect(5, 135, 36, 164));
    EXPECT_EQ(CRect(G::PlaceOuterFrame(G::KindRight, rc, 31, 29, margins)), CRect(364, 135, 395, 164));

    const POINT offsets[] = {{4, 4}, {4, 3}, {4, 4}, {3, 4}};
    for (int nKind = 0; nKind < 4; ++nKind)
    {
        EXPECT_EQ(G::OuterImageOffset(nKind).x, offsets[nKind].x) << nKind;
        EXPECT_EQ(G::OuterImageOffset(nKind).y, offsets[nKind].y) << nKind;
    }
}

TEST(ExtDockMarkerGeometry, CompassArrowsAreNudgedTowardsTheCentre)
{
    struct Case
    {
        int nKind;
        bool bCompass;
        POINT shift;
    } cases[] = {
        {0, true, {1, 10}}, {1, true, {1, -8}}, {2, true, {10, 1}}, {3, true, {-8, 1}}, {8, true, {1, 1}},
        {4, true, {0, 0}},  {0, false, {0, 0}}, {3, false, {0, 0}}, {8, false, {1, 1}},
    };
    for (const Case& c : cases)
    {
        const POINT pt = G::LayoutShift(c.nKind, c.bCompass);
        EXPECT_EQ(pt.x, c.shift.x) << c.nKind << " " << c.bCompass;
        EXPECT_EQ(pt.y, c.shift.y) << c.nKind << " " << c.bCompass;
    }
    // the centre's size plus 12, centred; division toward zero
    EXPECT_EQ(CRect(G::CompassBox(RECT{0, 0, 201, 150}, 88, 88)), CRect(50, 25, 150, 125));
    EXPECT_EQ(CRect(G::CompassBox(RECT{10, 10, 99, 99}, 88, 88)), CRect(5, 5, 105, 105)); // -11 / 2 == -5
}

DWORD Pixel(COLORREF c)
{
    return ((DWORD)GetRValue(c) << 16) | ((DWORD)GetGValue(c) << 8) | GetBValue(c);
}

// What a shaded pixel of colour old becomes towards clr.
DWORD Shaded(COLORREF old, COLORREF clr)
{
    auto half = [](int a, int b) { return a + (b - a) / 2; };
    const COLORREF mixed = RGB(half(GetRValue(old), GetRValue(clr)), half(GetGValue(old), GetGValue(clr)),
                               half(GetBValue(old), GetBValue(clr)));
    return Pixel(CExtColorMath::AdjustColorHls(mixed, 0.0, 0.1, 0.0));
}

const COLORREF kFill = RGB(0, 64, 196);
const COLORREF kBorder = RGB(200, 10, 10);
const COLORREF kOld = RGB(250, 120, 30);

struct Preview
{
    int cx, cy;
    std::vector<DWORD> pixels;
    Preview(int w, int h) : cx(w), cy(h), pixels((size_t)w * h, Pixel(kOld)) {}
    DWORD At(int x, int y) const { return pixels[(size_t)(cy - 1 - y) * cx + x]; } // y from the top
};

TEST(ExtDockMarkerGeometry, WithoutABorderEveryPixelGoesHalfWayToTheFill)
{
    Preview p(12, 9);
    p.pixels[0] = Pixel(RGB(0, 0, 0)); // the bottom left pixel
    G::ShadeDockingPreview(p.pixels.data(), p.cx, p.cy, false, false, RECT{0, 0, 12, 9}, RECT{0, 0, 0, 0}, kFill,
                           kBorder, 0, false, 0);
    for (int y = 0; y < p.cy; ++y)
        for (int x = 0; x < p.cx; ++x)
            ASSERT_EQ(p.At(x, y), Shaded(x == 0 && y == p.cy - 1 ? RGB(0, 0, 0) : kOld, kFill)) << x << "," << y;
}

TEST(ExtDockMarkerGeometry, TheTabShapeBordersBodyAndTabButLeavesTheirJoinOpen)
{
    // a 20 x 16 preview: the tab at the top (4..10 x 0..5), the body below
    Preview p(20, 16);
    const RECT body = {0, 5, 20, 16}, tab = {4, 0, 10, 5};
    G::ShadeDockingPreview(p.pixels.data(), p.cx, p.cy, true, true, body, tab, kFill, kBorder, 1, false, 0);
    const DWORD border = Shaded(kOld, kBorder), fill = Shaded(kOld, kFill), untouched = Pixel(kOld);
    struct Probe
    {
        int x, y;
        DWORD expected;
    } probes[] = {
        {0, 0, untouched}, {15, 2, untouched},                   // beside the tab, outside the shape
        {6, 0, border},    {6, 1, fill},                         // the tab's outer band, b rows deep
        {4, 3, border},    {9, 3, border},     {6, 3, fill},     // the tab's sides and inside
        {6, 5, fill},      {5, 6, fill},                         // the opening where the tab joins the body
        {4, 5, border},    {12, 5, border},    {12, 6, fill},    // the body's band towards the tab
        {0, 10, border},   {19, 10, border},   {10, 15, border}, // its sides and the far band
        {10, 10, fill},
    };
    for (const Probe& pr : probes)
        EXPECT_EQ(p.At(pr.x, pr.y), pr.expected) << pr.x << "," << pr.y;
}

TEST(ExtDockMarkerGeometry, FewColorsDrawACheckerboardOfTheShadowColour)
{
    Preview p(6, 5);
    const COLORREF kShadow = RGB(128, 128, 128);
    G::ShadeDockingPreview(p.pixels.data(), p.cx, p.cy, false, false, RECT{0, 0, 6, 5}, RECT{0, 0, 0, 0}, kFill,
                           kBorder, 2, true, kShadow);
    for (int nRow = 0; nRow < p.cy; ++nRow)
        for (int x = 0; x < p.cx; ++x)
        {
            const bool bChecker = nRow % 2 == 1 ? x % 2 == 0 : x % 2 == 1;
            EXPECT_EQ(p.pixels[(size_t)nRow * p.cx + x], Pixel(bChecker ? kShadow : kOld)) << x << "," << nRow;
        }
}

} // namespace
