#include "uitoolkit/core/ExtTreeBoxImages.h"

#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"
#include "uitoolkit/core/ExtBitmap.h"

#include <gtest/gtest.h>

namespace
{

// The pixel at (x, y), y counted from the top, of a 32-bit block.
COLORREF PixelAt(const CExtBitmap& bmp, int x, int y)
{
    const BYTE* p = bmp.GetBits() + (size_t)(bmp.GetHeight() - 1 - y) * bmp.GetPitch() + 4 * x;
    return RGB(p[2], p[1], p[0]);
}

TEST(ExtTreeBoxImages, BothBoxesAreWholeBitmapFilesWithTheirSign)
{
    for (bool bExpanded : {true, false})
    {
        const BYTE* pFile = CExtTreeBoxImages::GetFile(bExpanded);
        ASSERT_EQ(pFile[0], 'B');
        EXPECT_EQ(pFile[2] | pFile[3] << 8, 306);
        CMemFile file(pFile, CExtTreeBoxImages::g_nFileSize);
        CArchive ar(&file, CArchive::load);
        CExtBitmap bmp;
        ASSERT_TRUE(bmp.LoadBMP(ar));
        EXPECT_EQ(file.GetPosition(), (ULONGLONG)CExtTreeBoxImages::g_nFileSize); // nothing left over
        EXPECT_EQ(bmp.GetWidth(), 9);
        EXPECT_EQ(bmp.GetHeight(), 9);
        EXPECT_EQ(bmp.GetBPP(), 24);
        ASSERT_TRUE(bmp.Make32());
        EXPECT_EQ(PixelAt(bmp, 0, 0), RGB(176, 194, 211));
        EXPECT_EQ(PixelAt(bmp, 8, 8), RGB(176, 194, 211));
        EXPECT_EQ(PixelAt(bmp, 4, 0), RGB(120, 152, 181));
        EXPECT_EQ(PixelAt(bmp, 3, 1), RGB(255, 255, 255));
        EXPECT_EQ(PixelAt(bmp, 1, 7), RGB(192, 183, 166));
        int nBlack = 0, nMagenta = 0;
        for (int y = 0; y < 9; ++y)
        {
            for (int x = 0; x < 9; ++x)
            {
                nBlack += PixelAt(bmp, x, y) == RGB(0, 0, 0);
                nMagenta += PixelAt(bmp, x, y) == RGB(255, 0, 255);
            }
        }
        for (int x = 2; x <= 6; ++x)
            EXPECT_EQ(PixelAt(bmp, x, 4), RGB(0, 0, 0));
        EXPECT_EQ(nBlack, bExpanded ? 5 : 9);
        EXPECT_EQ(PixelAt(bmp, 4, 2), bExpanded ? RGB(245, 244, 240) : RGB(0, 0, 0));
        EXPECT_EQ(nMagenta, 0);
    }
}

} // namespace
