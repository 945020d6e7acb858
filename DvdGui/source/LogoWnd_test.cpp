// The logo window under Wine: the picture and the line above it, where a
// user sees them in a 300 x 200 client area.
#include "DvdGui/source/LogoWnd.h"

#include "DvdGui/source/Resource.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

TEST(LogoWnd, ThePictureSitsBelowTheMiddleWithTheLineRightAboveIt)
{
    HWND hHost = kxgui::CreateTestWindow(340, 240, "Logo");
    ASSERT_NE(hHost, nullptr);
    CLogoWnd logo;
    ASSERT_TRUE(logo.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), CWnd::FromHandle(hHost), 1148));
    logo.UpdateWindow();
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(logo.m_hWnd);
    kxgui::SaveArtifact(shot, "logo_300x200.png");

    // The picture's own corners, as the resource holds them.
    CBitmap picture;
    ASSERT_TRUE(picture.LoadBitmap(IDB_LOGO));
    BITMAP info = {};
    picture.GetBitmap(&info);
    ASSERT_EQ(info.bmWidth, 169);
    ASSERT_EQ(info.bmHeight, 126);
    EXPECT_EQ(CLogoWnd::GetPicturePosition(CRect(0, 0, 300, 200), CSize(169, 126)), CPoint(65, 62));
    kxgui::DibCanvas canvas(169, 126);
    HDC hMem = ::CreateCompatibleDC(canvas.Dc());
    HGDIOBJ hOld = ::SelectObject(hMem, picture.GetSafeHandle());
    ::BitBlt(canvas.Dc(), 0, 0, 169, 126, hMem, 0, 0, SRCCOPY);
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
    const kxgui::PixelBuffer own = canvas.Pixels();
    EXPECT_EQ(shot.At(65, 62), own.At(0, 0));
    EXPECT_EQ(shot.At(65 + 168, 62 + 125), own.At(168, 125));
    EXPECT_EQ(shot.At(64, 62), RGB(255, 255, 255)) << "white beside the picture";
    EXPECT_EQ(shot.At(65, 61), shot.At(0, 61)) << "background above the picture's corner";

    // The line's dark pixels all lie in the rows right above the picture.
    int nTop = 200;
    int nBottom = -1;
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 300; ++x)
            if (shot.At(x, y) != RGB(255, 255, 255))
            {
                nTop = std::min(nTop, y);
                nBottom = std::max(nBottom, y);
            }
    ASSERT_GE(nBottom, 0) << "the line is drawn";
    EXPECT_GT(nBottom, 62 - 6) << "its bottom is at the picture's top edge";
    EXPECT_GT(nTop, 62 - 25) << "one line high";

    logo.DestroyWindow();
    ::DestroyWindow(hHost);
}

} // namespace
