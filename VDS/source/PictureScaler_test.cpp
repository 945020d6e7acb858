#include "VDS/source/PictureScaler.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

void FillPattern(CVideoPicture& picture)
{
    BYTE* data = picture.GetData();
    for (DWORD i = 0; i < picture.GetImageSize(); ++i)
        data[i] = BYTE(i * 7 + i / 13);
}

struct GeometryCase
{
    int32_t width, height;
    bool keepAspect;
    double pictureAspect, targetAspect;
    bool setUp;
    int32_t scaledWidth, scaledHeight, top, left, right, bottom;
};

class ScalerGeometry : public ::testing::TestWithParam<GeometryCase>
{
};

TEST_P(ScalerGeometry, SizesOffsetsAndBorders)
{
    const GeometryCase& c = GetParam();
    ScaleGeometry g;
    g.width = c.width;
    g.height = c.height;
    g.keepAspect = c.keepAspect;
    g.pictureAspect = c.pictureAspect;
    g.targetAspect = c.targetAspect;
    CPictureScaler scaler;
    EXPECT_EQ(c.setUp, scaler.SetGeometry(g));
    ASSERT_EQ(c.setUp, scaler.IsSetUp());
    if (!c.setUp)
        return;
    EXPECT_EQ(c.scaledWidth, scaler.GetScaledWidth());
    EXPECT_EQ(c.scaledHeight, scaler.GetScaledHeight());
    EXPECT_EQ(c.top, scaler.GetTopBorder());
    EXPECT_EQ(c.top, scaler.GetYOffset());
    EXPECT_EQ(c.left, scaler.GetLeftBorder());
    EXPECT_EQ(c.left, scaler.GetXOffset());
    EXPECT_EQ(c.right, scaler.GetRightBorder());
    EXPECT_EQ(c.bottom, scaler.GetBottomBorder());

    // Every geometry that sets up scales a picture of any size cleanly.
    for (DWORD size : {2u, 3u, 7u, 720u})
    {
        CVideoPicture source, target;
        source.SetFormat(size, size + 1, kPicYuv420, 0);
        FillPattern(source);
        target.SetFormat(DWORD(c.width), DWORD(c.height), kPicYuv420, 0);
        EXPECT_TRUE(scaler.Scale(source, target));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ScalerGeometry,
                         ::testing::Values(GeometryCase{640, 480, false, 0.5625, 1.0, true, 640, 480, 0, 0, 0, 0},
                                           GeometryCase{640, 480, true, 0.5625, 0.75, true, 640, 360, 60, 0, 0, 60},
                                           // 361.5 rows made 360, the offset 61 made 60, the odd row below
                                           GeometryCase{640, 482, true, 0.5625, 0.75, true, 640, 360, 60, 0, 0, 62},
                                           // wider target than picture: columns of border
                                           GeometryCase{640, 480, true, 0.75, 0.5625, true, 480, 480, 0, 80, 80, 0},
                                           // out-of-range aspects become 0.75 each
                                           GeometryCase{160, 120, true, 0.0, 2.0, true, 160, 120, 0, 0, 0, 0},
                                           // results below 4 stay 4
                                           GeometryCase{640, 4, true, 0.01, 1.0, true, 640, 4, 0, 0, 0, 0},
                                           GeometryCase{4, 480, true, 1.0, 0.001, true, 4, 480, 0, 0, 0, 0},
                                           GeometryCase{1000, 4, true, 1.0, 0.002, true, 4, 4, 0, 498, 498, 0},
                                           GeometryCase{3, 480, false, 0.75, 1.0, false, 0, 0, 0, 0, 0, 0},
                                           GeometryCase{640, 3, true, 0.75, 0.75, false, 0, 0, 0, 0, 0, 0}));

TEST(PictureScaler, OwnSizeIsExact)
{
    for (DWORD w : {720u, 9u})
    {
        CVideoPicture source, target;
        source.SetFormat(w, 6, kPicYuv420, 0);
        FillPattern(source);
        target.SetFormat(w, 6, kPicYuv420, 0);
        CPictureScaler scaler;
        ScaleGeometry g;
        g.width = int32_t(w);
        g.height = 6;
        ASSERT_TRUE(scaler.SetGeometry(g));
        ASSERT_TRUE(scaler.Scale(source, target));
        EXPECT_EQ(0, std::memcmp(source.GetData(), target.GetData(), source.GetImageSize()));
    }
}

TEST(PictureScaler, InterpolatesBetweenSamplesAndKeepsTheEnds)
{
    // A 3-sample ramp 0, 100, 200 to 5 samples lands halfway between samples.
    const BYTE source[6] = {0, 100, 200, 0, 100, 200};
    BYTE target[10] = {};
    CPictureScaler::ScalePlane(source, target, 3, 2, 5, 2, 3, 5);
    const BYTE expected[5] = {0, 50, 100, 150, 200};
    EXPECT_EQ(0, std::memcmp(expected, target, 5));
    EXPECT_EQ(0, std::memcmp(expected, target + 5, 5));

    // Down from 5 to 3 samples picks samples 0, 2 and 4.
    const BYTE wide[10] = {10, 20, 30, 40, 50, 10, 20, 30, 40, 50};
    BYTE narrow[6] = {};
    CPictureScaler::ScalePlane(wide, narrow, 5, 2, 3, 2, 5, 3);
    EXPECT_EQ(10, narrow[0]);
    EXPECT_EQ(30, narrow[1]);
    EXPECT_EQ(50, narrow[2]);
}

TEST(PictureScaler, KeepAspectFillsBlackBorders)
{
    CVideoPicture source, target;
    source.SetFormat(720, 576, kPicYuv420, 0);
    std::memset(source.GetData(), 200, source.GetImageSize());
    target.SetFormat(640, 480, kPicYuv420, 0);
    std::memset(target.GetData(), 77, target.GetImageSize());
    CPictureScaler scaler;
    ScaleGeometry g;
    g.width = 640;
    g.height = 480;
    g.keepAspect = 1;
    g.pictureAspect = 0.5625;
    g.targetAspect = 0.75;
    ASSERT_TRUE(scaler.SetGeometry(g));
    ASSERT_TRUE(scaler.Scale(source, target));
    PicturePlanes p;
    target.GetPlanes(&p);
    EXPECT_EQ(0, p.pY[0]);
    EXPECT_EQ(0, p.pY[59 * 640 + 639]);
    EXPECT_EQ(200, p.pY[60 * 640]);
    EXPECT_EQ(200, p.pY[419 * 640 + 639]);
    EXPECT_EQ(0, p.pY[420 * 640]);
    EXPECT_EQ(0, p.pY[479 * 640 + 639]);
    EXPECT_EQ(128, p.pV[29 * 320]);
    EXPECT_EQ(200, p.pV[30 * 320]);
    EXPECT_EQ(200, p.pU[209 * 320 + 319]);
    EXPECT_EQ(128, p.pU[210 * 320]);
}

TEST(PictureScaler, RefusesMismatchedPicturesWithoutWriting)
{
    CPictureScaler scaler;
    ScaleGeometry g;
    g.width = 160;
    g.height = 120;
    ASSERT_TRUE(scaler.SetGeometry(g));
    CVideoPicture yuv, rgb, tiny, wrongSize, target;
    yuv.SetFormat(720, 576, kPicYuv420, 0);
    rgb.SetFormat(720, 576, kPicRgb32, 0);
    tiny.SetFormat(1, 5, kPicYuv420, 0);
    wrongSize.SetFormat(162, 120, kPicYuv420, 0);
    target.SetFormat(160, 120, kPicYuv420, 0);
    std::memset(target.GetData(), 33, target.GetImageSize());
    std::memset(wrongSize.GetData(), 33, wrongSize.GetImageSize());

    EXPECT_FALSE(scaler.Scale(rgb, target));
    EXPECT_FALSE(scaler.Scale(tiny, target));
    EXPECT_FALSE(scaler.Scale(yuv, wrongSize));
    EXPECT_FALSE(scaler.Scale(yuv, rgb));
    EXPECT_FALSE(CPictureScaler().Scale(yuv, target));
    for (DWORD i = 0; i < target.GetImageSize(); ++i)
        ASSERT_EQ(33, target.GetData()[i]);
    EXPECT_EQ(33, wrongSize.GetData()[0]);
}

} // namespace
