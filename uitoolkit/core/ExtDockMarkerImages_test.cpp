// The built-in marker pictures: complete BMP files of the documented sizes
// that the bitmap reader takes, with the key colour only outside the shapes.
#include "uitoolkit/core/ExtDockMarkerImages.h"

#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"
#include "uitoolkit/core/ExtBitmap.h"

#include <gtest/gtest.h>

namespace
{

COLORREF PixelAt(const CExtBitmap& bmp, int x, int yFromTop)
{
    const BYTE* p = bmp.GetBits() + (size_t)(bmp.GetHeight() - 1 - yFromTop) * bmp.GetPitch() + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

struct ImageCase
{
    int nKind;
    bool bFrame;
    int cx, cy;
    size_t nSize; // the file and its trailing zero
};

const ImageCase kImages[] = {
    {0, false, 23, 26, 1927},  {1, false, 23, 26, 1927}, {2, false, 26, 23, 1895}, {3, false, 26, 23, 1895},
    {4, false, 88, 88, 23287}, {8, false, 25, 25, 1955}, {0, true, 29, 31, 2783},  {1, true, 29, 31, 2783},
    {2, true, 31, 29, 2839},   {3, true, 31, 29, 2839},
};

TEST(ExtDockMarkerImages, EveryPictureIsACompleteBmpOfItsSize)
{
    for (const ImageCase& c : kImages)
    {
        SCOPED_TRACE(testing::Message() << "kind " << c.nKind << (c.bFrame ? " frame" : ""));
        const BYTE* pData = nullptr;
        size_t nSize = 0;
        ASSERT_TRUE(CExtDockMarkerImages::GetBmp(c.nKind, c.bFrame, pData, nSize));
        EXPECT_EQ(nSize, c.nSize);
        EXPECT_EQ(pData[nSize - 1], 0);

        CMemFile file(pData, (UINT)(nSize - 1));
        CArchive ar(&file, CArchive::load);
        CExtBitmap bmp;
        ASSERT_TRUE(bmp.LoadBMP(ar));
        EXPECT_EQ(bmp.GetWidth(), c.cx);
        EXPECT_EQ(bmp.GetHeight(), c.cy);
        EXPECT_EQ(bmp.GetBPP(), 24);
        // soft corners are cut out with the key, the middle is drawn
        EXPECT_EQ(PixelAt(bmp, 0, 0), CExtDockMarkerImages::g_clrKey);
        EXPECT_EQ(PixelAt(bmp, c.cx - 1, c.cy - 1), CExtDockMarkerImages::g_clrKey);
        EXPECT_NE(PixelAt(bmp, c.cx / 2, c.cy / 2), CExtDockMarkerImages::g_clrKey);
    }
}

TEST(ExtDockMarkerImages, TheCompassIsACrossAroundItsCentre)
{
    const BYTE* pData = nullptr;
    size_t nSize = 0;
    ASSERT_TRUE(CExtDockMarkerImages::GetBmp(4, false, pData, nSize));
    CMemFile file(pData, (UINT)(nSize - 1));
    CArchive ar(&file, CArchive::load);
    CExtBitmap bmp;
    ASSERT_TRUE(bmp.LoadBMP(ar));
    // the four arms reach the edges, the corners between them are empty
    for (POINT pt : {POINT{43, 0}, POINT{43, 87}, POINT{0, 43}, POINT{87, 43}})
        EXPECT_NE(PixelAt(bmp, pt.x, pt.y), CExtDockMarkerImages::g_clrKey) << pt.x << "," << pt.y;
    for (POINT pt : {POINT{10, 10}, POINT{77, 10}, POINT{10, 77}, POINT{77, 77}, POINT{23, 23}})
        EXPECT_EQ(PixelAt(bmp, pt.x, pt.y), CExtDockMarkerImages::g_clrKey) << pt.x << "," << pt.y;
}

TEST(ExtDockMarkerImages, KindsWithoutAPictureHaveNone)
{
    const BYTE* pData = nullptr;
    size_t nSize = 0;
    for (int nKind : {-1, 5, 6, 7, 9})
        EXPECT_FALSE(CExtDockMarkerImages::GetBmp(nKind, false, pData, nSize)) << nKind;
    for (int nKind : {4, 8})
        EXPECT_FALSE(CExtDockMarkerImages::GetBmp(nKind, true, pData, nSize)) << nKind;
}

} // namespace
