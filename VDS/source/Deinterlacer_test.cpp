#include "VDS/source/Deinterlacer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

uint32_t PixelAt(const CVideoPicture& picture, DWORD x, DWORD y)
{
    uint32_t p;
    std::memcpy(&p, picture.GetData() + y * picture.GetStride() + x * 4, 4);
    return p;
}

void SetPixel(CVideoPicture& picture, DWORD x, DWORD y, uint32_t p)
{
    std::memcpy(picture.GetData() + y * picture.GetStride() + x * 4, &p, 4);
}

// Rows alternate between two colours: the comb of two fields.
void FillComb(CVideoPicture& picture, uint32_t even, uint32_t odd)
{
    for (DWORD y = 0; y < picture.GetHeight(); ++y)
        for (DWORD x = 0; x < picture.GetWidth(); ++x)
            SetPixel(picture, x, y, (y & 1) ? odd : even);
}

TEST(Deinterlacer, LineBlendAveragesRowsAndLeavesEveryPlanesLastRow)
{
    for (DWORD width : {720u, 7u, 2u})
    {
        CVideoPicture source, target;
        source.SetFormat(width, 6, kPicYuv420, 0);
        target.SetFormat(width, 6, kPicYuv420, 0);
        BYTE* data = source.GetData();
        for (DWORD i = 0; i < source.GetImageSize(); ++i)
            data[i] = BYTE(i * 37);
        CDeinterlacer deinterlacer;
        ASSERT_TRUE(deinterlacer.Process(&source, &target));
        PicturePlanes s, t;
        source.GetPlanes(&s);
        target.GetPlanes(&t);
        struct
        {
            const BYTE *from, *to;
            DWORD w, h;
        } planes[] = {{s.pY, t.pY, s.width, s.height},
                      {s.pV, t.pV, s.chromaWidth, s.chromaHeight},
                      {s.pU, t.pU, s.chromaWidth, s.chromaHeight}};
        for (const auto& p : planes)
        {
            for (DWORD y = 0; y + 1 < p.h; ++y)
                for (DWORD x = 0; x < p.w; ++x)
                    ASSERT_EQ((p.from[y * p.w + x] + p.from[(y + 1) * p.w + x]) / 2, p.to[y * p.w + x]);
            EXPECT_EQ(0, std::memcmp(p.from + (p.h - 1) * p.w, p.to + (p.h - 1) * p.w, p.w));
        }
    }
}

TEST(Deinterlacer, MotionFilterBlendsMovingPixelsOnly)
{
    const DWORD w = 40, h = 8; // two mask words per row, the second part-filled
    const uint32_t red = 0x00C80000, blue = 0x00000064;
    for (int mode : {0, 1})
    {
        CDeinterlacer deinterlacer;
        deinterlacer.Init(w, h, kPicRgb32, mode, 20);
        CVideoPicture still, frame, target;
        for (CVideoPicture* p : {&still, &frame, &target})
            p->SetFormat(w, h, kPicRgb32, 0);
        FillComb(still, red, blue);
        // The first frame moves against the zeroed previous frame everywhere.
        ASSERT_TRUE(deinterlacer.Process(&still, &target));
        // The same frame again is still: copied unchanged.
        ASSERT_TRUE(deinterlacer.Process(&still, &target));
        EXPECT_EQ(0, std::memcmp(still.GetData(), target.GetData(), still.GetImageSize())) << mode;

        // One pixel changes at column 35, row 4: rows 3 to 5 of that column
        // count as moving.
        std::memcpy(frame.GetData(), still.GetData(), still.GetImageSize());
        SetPixel(frame, 35, 4, 0x00FFFFFF);
        SetPixel(frame, 10, 0, 0x00FFFFFF); // row 0 is never measured
        ASSERT_TRUE(deinterlacer.Process(&frame, &target));
        for (DWORD y = 0; y < h; ++y)
            for (DWORD x = 0; x < w; ++x)
            {
                uint32_t expected = PixelAt(frame, x, y);
                const bool moving = x == 35 && y >= 3 && y <= 5;
                if (moving && mode == 1)
                {
                    const uint32_t a = PixelAt(frame, x, y - 1), b = PixelAt(frame, x, y + 1);
                    expected = ((a >> 2) & 0x3F3F3F) + ((expected >> 1) & 0x7F7F7F) + ((b >> 2) & 0x3F3F3F);
                }
                else if (moving && (y & 1))
                {
                    const uint32_t a = PixelAt(frame, x, y - 1), b = PixelAt(frame, x, y + 1);
                    expected = ((a >> 1) & 0x7F7F7F) + ((b >> 1) & 0x7F7F7F);
                }
                ASSERT_EQ(expected, PixelAt(target, x, y)) << mode << " " << x << "," << y;
            }
        // Row 3 (blue, odd) between red row 2 and the white pixel of row 4: in
        // mode 0 their average; in mode 1 a quarter of each and half of itself.
        EXPECT_EQ(mode == 0 ? 0x00E37F7Fu : 0x00713F71u, PixelAt(target, 35, 3));
    }
}

TEST(Deinterlacer, RefusesMismatchesAndCopiesOtherFormats)
{
    CDeinterlacer deinterlacer;
    CVideoPicture rgb, smaller, yuv, target;
    rgb.SetFormat(16, 8, kPicRgb32, 0);
    smaller.SetFormat(16, 6, kPicRgb32, 0);
    yuv.SetFormat(16, 8, kPicYuv420, 0);
    target.SetFormat(16, 8, kPicRgb32, 0);
    EXPECT_FALSE(deinterlacer.Process(&rgb, &target)); // not initialised
    deinterlacer.Init(16, 6, kPicRgb32, 1, 20);
    EXPECT_FALSE(deinterlacer.Process(&rgb, &target)); // other size than Init's
    EXPECT_TRUE(deinterlacer.Process(&smaller, &smaller) == false);
    EXPECT_FALSE(deinterlacer.Process(&yuv, &target));
    EXPECT_FALSE(deinterlacer.Process(&rgb, &smaller));
    EXPECT_FALSE(deinterlacer.Process(nullptr, &target));
    deinterlacer.Free();
    EXPECT_FALSE(deinterlacer.IsInitialised());

    CVideoPicture bgr, bgrTarget;
    bgr.SetFormat(5, 3, kPicRgb24, kPicProgressive);
    bgrTarget.SetFormat(5, 3, kPicRgb24, 0);
    for (DWORD i = 0; i < bgr.GetImageSize(); ++i)
        bgr.GetData()[i] = BYTE(i + 1);
    ASSERT_TRUE(deinterlacer.Process(&bgr, &bgrTarget));
    EXPECT_EQ(0, std::memcmp(bgr.GetData(), bgrTarget.GetData(), bgr.GetImageSize()));
    EXPECT_EQ(DWORD(kPicProgressive), bgrTarget.GetFlags());
}

} // namespace
