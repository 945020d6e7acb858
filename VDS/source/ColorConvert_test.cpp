#include "VDS/source/ColorConvert.h"
#include "VDS/source/VideoPicture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace
{

// One 2 x 2 picture of a single colour through ConvertYuvToRgb32.
std::vector<BYTE> Rgb(BYTE y, BYTE u, BYTE v)
{
    BYTE yPlane[4] = {y, y, y, y};
    std::vector<BYTE> out(16);
    ConvertYuvToRgb32(yPlane, &u, &v, out.data(), 8, 2, 2, 2, 1, true);
    return std::vector<BYTE>(out.begin(), out.begin() + 4);
}

TEST(ColorConvert, YuvToRgbValues)
{
    struct Case
    {
        BYTE y, u, v;
        std::vector<BYTE> bgr0;
    };
    const Case cases[] = {
        {16, 128, 128, {0, 0, 0, 0}},        {235, 128, 128, {255, 255, 255, 0}},
        {235, 240, 240, {255, 120, 255, 0}}, {235, 128, 3, {255, 255, 56, 0}}, // red term of V = 3 is -199
        {16, 128, 253, {0, 0, 199, 0}},                                        // and of V = 253 is 199
        {126, 128, 128, {128, 128, 128, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.bgr0, Rgb(c.y, c.u, c.v)) << int(c.y) << "," << int(c.u) << "," << int(c.v);
}

TEST(ColorConvert, RowsAreStoredBottomUp)
{
    CVideoPicture yuv, rgb;
    yuv.SetFormat(720, 576, kPicYuv420, kPicProgressive);
    rgb.SetFormat(720, 576, kPicRgb32, kPicProgressive);
    PicturePlanes p;
    yuv.GetPlanes(&p);
    std::memset(p.pY, 16, 720 * 576);
    std::memset(p.pY, 235, 720); // first luma row white
    std::memset(p.pV, 128, 2 * 360 * 288);
    rgb.Convert(yuv);
    const BYTE* last = rgb.GetData() + 575 * 2880;
    for (int x = 0; x < 720; ++x)
        ASSERT_EQ(255, last[4 * x + 1]) << x;
    EXPECT_EQ(0, rgb.GetData()[1]);
    EXPECT_EQ(0, rgb.GetData()[574 * 2880 + 1]);
}

TEST(ColorConvert, FieldAndProgressiveChromaRows)
{
    // Luma constant; chroma row i has U = 100 + 10 i, so the blue channel
    // tells which chroma row served a luma row.
    const DWORD w = 4, h = 12;
    BYTE y[w * h], u[2 * 6], v[2 * 6];
    std::memset(y, 126, sizeof(y));
    std::memset(v, 128, sizeof(v));
    for (int i = 0; i < 6; ++i)
        u[2 * i] = u[2 * i + 1] = BYTE(100 + 10 * i);
    const int progressive[h] = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5};
    const int field[h] = {0, 1, 0, 1, 2, 3, 2, 3, 4, 5, 4, 5};
    for (bool prog : {true, false})
    {
        std::vector<BYTE> out(w * h * 4);
        ConvertYuvToRgb32(y, u, v, out.data(), w * 4, w, h, w, 2, prog);
        for (DWORD j = 0; j < h; ++j)
        {
            int row = prog ? progressive[j] : field[j];
            BYTE expected = Rgb(126, BYTE(100 + 10 * row), 128)[0];
            EXPECT_EQ(expected, out[(h - 1 - j) * w * 4]) << (prog ? "progressive" : "field") << " row " << j;
        }
    }
}

TEST(ColorConvert, RgbToYuv)
{
    std::vector<BYTE> white(16, 255), black(16, 0), yuv(6);
    ConvertRgb32ToYuv420(white.data(), yuv.data(), 2, 2);
    EXPECT_EQ((std::vector<BYTE>{235, 235, 235, 235, 128, 128}), yuv);
    ConvertRgb32ToYuv420(black.data(), yuv.data(), 2, 2);
    EXPECT_EQ((std::vector<BYTE>{16, 16, 16, 16, 128, 128}), yuv);
}

// The YUV to RGB terms are rounded and the RGB to YUV sums truncated four
// times over, so colours drift by a few steps on a round trip: up to 5 from
// RGB (the blue term doubles a U error), up to 2 from YUV.
TEST(ColorConvert, RoundTrips)
{
    std::mt19937 random(7);
    for (DWORD size : {16u, 34u})
    {
        // RGB constant over each 2 x 2 block, so 4:2:0 loses nothing but
        // rounding.
        CVideoPicture rgb, yuv, back;
        rgb.SetFormat(size, size, kPicRgb32, kPicProgressive);
        yuv.SetFormat(size, size, kPicYuv420, kPicProgressive);
        back.SetFormat(size, size, kPicRgb32, kPicProgressive);
        BYTE* p = rgb.GetData();
        for (DWORD by = 0; by < size; by += 2)
            for (DWORD bx = 0; bx < size; bx += 2)
            {
                BYTE colour[3] = {BYTE(random()), BYTE(random()), BYTE(random())};
                for (DWORD dy = 0; dy < 2; ++dy)
                    for (DWORD dx = 0; dx < 2; ++dx)
                        std::memcpy(p + ((by + dy) * size + bx + dx) * 4, colour, 3);
            }
        yuv.Convert(rgb);
        back.Convert(yuv);
        // RGB to YUV keeps the row order; YUV to RGB stores bottom-up.
        for (DWORD j = 0; j < size; ++j)
            for (DWORD x = 0; x < size * 4; ++x)
                ASSERT_NEAR(p[j * size * 4 + x], back.GetData()[(size - 1 - j) * size * 4 + x], 5)
                    << "row " << j << " byte " << x;

        // Random 4:2:0 pictures whose colours all lie inside RGB.
        CVideoPicture source, again;
        source.SetFormat(size, size, kPicYuv420, kPicProgressive);
        again.SetFormat(size, size, kPicYuv420, kPicProgressive);
        PicturePlanes s, a;
        source.GetPlanes(&s);
        again.GetPlanes(&a);
        for (DWORD i = 0; i < size * size; ++i)
            s.pY[i] = BYTE(60 + random() % 121);
        for (DWORD i = 0; i < 2 * s.chromaWidth * s.chromaHeight; ++i)
            s.pV[i] = BYTE(104 + random() % 49);
        rgb.Convert(source);
        again.Convert(rgb);
        for (DWORD j = 0; j < size; ++j)
            for (DWORD x = 0; x < size; ++x)
                ASSERT_NEAR(s.pY[j * size + x], a.pY[(size - 1 - j) * size + x], 2) << j << "," << x;
        DWORD cw = s.chromaWidth, ch = s.chromaHeight;
        for (DWORD j = 0; j < 2 * ch; ++j)
            for (DWORD x = 0; x < cw; ++x)
            {
                DWORD flipped = j < ch ? ch - 1 - j : 3 * ch - 1 - j; // within the V or the U plane
                ASSERT_NEAR(s.pV[j * cw + x], a.pV[flipped * cw + x], 2) << j << "," << x;
            }
    }
}

TEST(ColorConvert, VerticalUpsamplingFilters)
{
    // One chroma column of four rows.
    const BYTE s[4] = {10, 50, 90, 200};
    BYTE out[8];
    UpsampleChromaVertical(s, out, 2, 8, true);
    const BYTE progressive[8] = {10,
                                 (30 + 50 + 2) / 4,
                                 (10 + 150 + 2) / 4,
                                 (150 + 90 + 2) / 4,
                                 (50 + 270 + 2) / 4,
                                 (270 + 200 + 2) / 4,
                                 (90 + 600 + 2) / 4,
                                 200};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(progressive[i], out[i]) << "progressive " << i;
    UpsampleChromaVertical(s, out, 2, 8, false);
    const BYTE field[8] = {
        10, (30 + 250 + 4) / 8, (50 + 270 + 4) / 8, (350 + 200 + 4) / 8, (10 + 630 + 4) / 8, (150 + 1000 + 4) / 8,
        90, (90 + 1400 + 4) / 8};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(field[i], out[i]) << "field " << i;
}

TEST(ColorConvert, OverlayAlphaExtremes)
{
    // A 2 x 2 picture and overlay: Y, V, U planes.
    BYTE picture[6] = {100, 100, 100, 100, 100, 100};
    const BYTE overlay[6] = {0, 255, 0, 255, 255, 0};
    const BYTE transparent[4] = {0, 0, 0, 0};
    BlendOverlayYuv(picture, 2, 2, overlay, transparent, transparent, 0, 0, 2, 2);
    EXPECT_EQ((std::vector<BYTE>(6, 100)), std::vector<BYTE>(picture, picture + 6));
    const BYTE opaque[4] = {255, 255, 255, 255};
    BlendOverlayYuv(picture, 2, 2, overlay, opaque, opaque, 0, 0, 2, 2);
    EXPECT_EQ((std::vector<BYTE>{0, 254, 0, 254, 254, 0}), std::vector<BYTE>(picture, picture + 6));
}

TEST(ColorConvert, OverlayOnAPicture)
{
    CVideoPicture picture, overlay;
    picture.SetFormat(64, 48, kPicYuv420, kPicProgressive);
    std::memset(picture.GetData(), 50, picture.GetImageSize());
    overlay.SetFormat(16, 8, kPicYuva420, kPicProgressive);
    PicturePlanes o;
    overlay.GetPlanes(&o);
    std::memset(o.pY, 200, 16 * 8);
    std::memset(o.pV, 200, 2 * 8 * 4);
    std::memset(o.pA, 255, 16 * 8);
    picture.BlendOverlay(10, 20, overlay);
    PicturePlanes p;
    picture.GetPlanes(&p);
    EXPECT_EQ(50, p.pY[20 * 64 + 9]);
    EXPECT_EQ(199, p.pY[20 * 64 + 10]);
    EXPECT_EQ(199, p.pY[27 * 64 + 25]);
    EXPECT_EQ(50, p.pY[28 * 64 + 25]);
    EXPECT_EQ(199, p.pV[10 * 32 + 5]);
    EXPECT_EQ(199, p.pU[13 * 32 + 12]);
    EXPECT_EQ(50, p.pU[14 * 32 + 12]);

    // An overlay that does not fit changes nothing.
    std::vector<BYTE> before(picture.GetData(), picture.GetData() + picture.GetImageSize());
    picture.BlendOverlay(49, 0, overlay);
    EXPECT_EQ(before, std::vector<BYTE>(picture.GetData(), picture.GetData() + picture.GetImageSize()));
}

// Every conversion pair on odd, narrow and tiny sizes: under ASan a byte read
// or written outside a plane fails here; a uniform grey must come out grey
// everywhere, last row and column included.
TEST(ColorConvert, AnySizeThroughEveryConversion)
{
    const DWORD sizes[][2] = {{1, 1}, {2, 1}, {1, 2}, {3, 3}, {2, 2}, {5, 7}, {17, 2}, {2, 17}, {14, 6}, {641, 481}};
    for (const auto& size : sizes)
    {
        const DWORD w = size[0], h = size[1];
        CVideoPicture yuv;
        yuv.SetFormat(w, h, kPicYuv420, kPicProgressive);
        std::memset(yuv.GetData(), 126, yuv.GetImageSize());
        PicturePlanes p;
        yuv.GetPlanes(&p);
        if (p.pV)
            std::memset(p.pV, 128, size_t(p.chromaWidth) * p.chromaHeight * 2);
        for (DWORD flags : {DWORD(kPicProgressive), DWORD(kPicFieldPicture)})
        {
            yuv.SetFlags(flags);
            CVideoPicture rgb;
            rgb.SetFormat(w, h, kPicRgb32, kPicProgressive);
            rgb.Convert(yuv);
            for (size_t i = 0; i < size_t(w) * h; ++i)
                ASSERT_EQ(128, rgb.GetData()[4 * i + 1]) << w << "x" << h << " pixel " << i;
            CVideoPicture yuyv;
            yuyv.SetFormat(w, h, kPicYuyv, kPicProgressive);
            yuyv.Convert(yuv);
            for (size_t i = 0; i < size_t(w) * h * 2; ++i)
                ASSERT_EQ(i % 2 ? 128 : 126, yuyv.GetData()[i]) << w << "x" << h << " byte " << i;
            CVideoPicture full;
            full.SetFormat(w, h, kPicYuv444, kPicProgressive);
            full.Convert(yuv);
            for (size_t i = 0; i < size_t(w) * h * 3; ++i)
                ASSERT_EQ(i < size_t(w) * h ? 126 : 128, full.GetData()[i]) << w << "x" << h << " byte " << i;

            CVideoPicture rgb24, back;
            rgb24.SetFormat(w, h, kPicRgb24, kPicProgressive);
            rgb24.Convert(rgb);
            EXPECT_EQ(128, rgb24.GetData()[3 * (size_t(w) * h - 1)]);
            back.SetFormat(w, h, kPicYuv420, kPicProgressive);
            back.Convert(rgb);
            EXPECT_NEAR(126, back.GetData()[size_t(w) * h - 1], 1) << w << "x" << h;
        }

        CVideoPicture alpha444, alpha420;
        alpha444.SetFormat(w, h, kPicYuva444, kPicProgressive);
        std::memset(alpha444.GetData(), 90, alpha444.GetImageSize());
        alpha420.SetFormat(w, h, kPicYuva420, kPicProgressive);
        alpha420.Convert(alpha444);
        PicturePlanes a;
        alpha420.GetPlanes(&a);
        bool even = w % 2 == 0 && h % 2 == 0;
        EXPECT_EQ(even ? 90 : 0, a.pA[size_t(w) * h - 1]) << w << "x" << h;

        // The overlay at the far corner and covering the whole picture.
        CVideoPicture target;
        target.SetFormat(w + 3, h + 1, kPicYuv420, kPicProgressive);
        std::memset(alpha420.GetData(), 255, alpha420.GetImageSize());
        target.BlendOverlay(3, 1, alpha420);
        EXPECT_EQ(254, target.GetData()[size_t(w + 3) * (h + 1) - 1]) << w << "x" << h;
        target.BlendOverlay(0, 0, alpha420);
    }
}

} // namespace
