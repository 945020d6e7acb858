// Window images, bitmap copies and colour lists, icons from bitmaps, the
// loaders, regions from bitmaps, colour adjustment and colour-sample icons.
#include "uitoolkit/paint/ExtPaintManager.h"

#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/core/ExtBitmap.h"
#include "uitoolkit/core/ExtBitmapRoutines.h"
#include "uitoolkit/core/ExtTreeBoxImages.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kMagenta = RGB(255, 0, 255);

HBITMAP SolidBitmap(int cx, int cy, COLORREF clr, COLORREF** ppBits = nullptr)
{
    COLORREF* pBits = nullptr;
    HBITMAP hBitmap = CExtPaintManager::CreateDibSection32(cx, cy, &pBits);
    for (int i = 0; i < cx * cy; ++i)
        pBits[i] = CExtBitmapRoutines::ColorRefToPixel(clr);
    if (ppBits != nullptr)
        *ppBits = pBits;
    return hBitmap;
}

kxgui::PixelBuffer DrawIcon(HICON hIcon, COLORREF clrBack)
{
    kxgui::DibCanvas canvas(16, 16, clrBack);
    ::DrawIconEx(canvas.Dc(), 0, 0, hIcon, 16, 16, 0, nullptr, DI_NORMAL);
    return canvas.Pixels();
}

// A DIB section of the depth whose colour table (at 8 bits or fewer) is
// entry(i) for entry i.
template <class EntryFn>
HBITMAP PaletteBitmap(int cx, int cy, WORD nBPP, EntryFn entry, BYTE** ppBits)
{
    struct
    {
        BITMAPINFOHEADER bmiHeader;
        RGBQUAD bmiColors[256];
    } bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = nBPP;
    for (int i = 0; i < 256; ++i)
        bmi.bmiColors[i] = entry(i);
    return ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bmi), DIB_RGB_COLORS,
                              reinterpret_cast<void**>(ppBits), nullptr, 0);
}

TEST(ExtPaintBitmaps, RegionFromBitmapSkipsKeyPixels)
{
    const COLORREF kKey = RGB(250, 0, 250);
    COLORREF* pBits = nullptr;
    HBITMAP hBitmap = SolidBitmap(50, 50, kKey, &pBits);

    CRgn rgn;
    ASSERT_TRUE(rgn.Attach(CExtPaintManager::CreateRegionFromBitmap(hBitmap, RGB(248, 0, 248), RGB(4, 0, 4))));
    CRect box;
    EXPECT_EQ(rgn.GetRgnBox(&box), NULLREGION);
    rgn.DeleteObject();

    for (int i = 0; i < 50 * 50; ++i)
        pBits[i] = 0x00102030;
    ASSERT_TRUE(rgn.Attach(CExtPaintManager::CreateRegionFromBitmap(hBitmap, kKey, 0)));
    EXPECT_EQ(rgn.GetRgnBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(0, 0, 50, 50));
    rgn.DeleteObject();

    // the top row, counted from the top of the picture, keyed out; and a
    // hole in the bottom row
    for (int x = 0; x < 50; ++x)
        pBits[49 * 50 + x] = CExtBitmapRoutines::ColorRefToPixel(kKey);
    pBits[7] = CExtBitmapRoutines::ColorRefToPixel(kKey);
    ASSERT_TRUE(rgn.Attach(CExtPaintManager::CreateRegionFromBitmap(hBitmap, kKey, 0)));
    EXPECT_EQ(rgn.GetRgnBox(&box), COMPLEXREGION);
    EXPECT_EQ(box, CRect(0, 1, 50, 50));
    EXPECT_FALSE(rgn.PtInRegion(7, 49));
    EXPECT_TRUE(rgn.PtInRegion(8, 49));
    ::DeleteObject(hBitmap);
    EXPECT_EQ(CExtPaintManager::CreateRegionFromBitmap(nullptr, kKey, 0), nullptr);
}

TEST(ExtPaintBitmaps, ColoursOfAPaletteBitmapKeepOrderAndDuplicates)
{
    BYTE* pBits = nullptr;
    HBITMAP hBitmap = PaletteBitmap(
        8, 8, 4,
        [](int i) {
            return i % 4 == 0 ? RGBQUAD{0, 0, 0, 0} : RGBQUAD{BYTE(16 * i), BYTE(8 * i), 0, 0};
        }, // black 4 times
        &pBits);
    ASSERT_NE(hBitmap, nullptr);
    CArray<COLORREF, COLORREF> colors;
    EXPECT_EQ(CExtPaintManager::GetBitmapColors(hBitmap, colors, false), 4);
    ASSERT_EQ(colors.GetSize(), 16);
    EXPECT_EQ(colors[0], RGB(0, 0, 0));
    EXPECT_EQ(colors[5], RGB(0, 40, 80));
    EXPECT_EQ(CExtPaintManager::GetBitmapColors(hBitmap, colors, true), 4);
    ASSERT_EQ(colors.GetSize(), 16 - 3);
    EXPECT_EQ(colors[0], RGB(0, 0, 0));
    EXPECT_EQ(colors[1], RGB(0, 8, 16));
    EXPECT_EQ(colors[12], RGB(0, 120, 240));

    std::map<COLORREF, int> histogram;
    EXPECT_EQ(CExtPaintManager::CollectBitmapColors(hBitmap, histogram), 4);
    ASSERT_EQ(histogram.size(), 1u);
    EXPECT_EQ(histogram[RGB(0, 0, 0)], 64);
    ::DeleteObject(hBitmap);
    EXPECT_EQ(CExtPaintManager::GetBitmapColors(nullptr, colors, true), 0);
    EXPECT_EQ(colors.GetSize(), 0);
}

TEST(ExtPaintBitmaps, CloneCopiesTheRectangle)
{
    COLORREF* pBits = nullptr;
    HBITMAP hBitmap = SolidBitmap(10, 10, RGB(1, 2, 3), &pBits);
    pBits[9 * 10 + 2] = CExtBitmapRoutines::ColorRefToPixel(RGB(200, 100, 50)); // (2, 0) from the top
    const CRect rc(2, 0, 6, 3);
    COLORREF* pCopy = nullptr;
    HBITMAP hCopy = CExtPaintManager::CloneBitmap(hBitmap, &rc, &pCopy);
    ASSERT_NE(hCopy, nullptr);
    BITMAP bm = {};
    ::GetObjectA(hCopy, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 4);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(CExtBitmapRoutines::PixelToColorRef(pCopy[2 * 4]), RGB(200, 100, 50));
    EXPECT_EQ(CExtBitmapRoutines::PixelToColorRef(pCopy[0]), RGB(1, 2, 3));
    ::DeleteObject(hCopy);
    ::DeleteObject(hBitmap);
    EXPECT_EQ(CExtPaintManager::CloneBitmap(nullptr), nullptr);
}

TEST(ExtPaintBitmaps, IconFromBitmapKeepsTheKeyTransparentAndReplacesSystemGreys)
{
    COLORREF* pBits = nullptr;
    HBITMAP hBitmap = SolidBitmap(16, 16, RGB(192, 192, 192), &pBits);
    pBits[0] = CExtBitmapRoutines::ColorRefToPixel(RGB(128, 128, 128)); // bottom-left
    pBits[1] = CExtBitmapRoutines::ColorRefToPixel(RGB(10, 20, 30));

    // the face grey is the transparent colour: it stays transparent
    HICON hIcon = CExtPaintManager::CreateIconFromBitmap(hBitmap, RGB(192, 192, 192), nullptr, true);
    ASSERT_NE(hIcon, nullptr);
    kxgui::PixelBuffer p = DrawIcon(hIcon, kWhite);
    EXPECT_EQ(p.CountColor(kWhite, CRect(0, 0, 16, 16)), 16 * 16 - 2);
    EXPECT_EQ(p.At(0, 15), CExtPaintManager::SysColor(COLOR_3DSHADOW));
    EXPECT_EQ(p.At(1, 15), RGB(10, 20, 30));
    ::DestroyIcon(hIcon);

    // the image-list path, and the mask built by hand for older systems
    const auto savedFlags = g_PaintManager.OsFlags;
    for (bool bWin2000 : {true, false})
    {
        g_PaintManager.OsFlags.Win2000OrLater = bWin2000;
        hIcon = CExtPaintManager::CreateIconFromBitmap(hBitmap, RGB(10, 20, 30), nullptr, false);
        p = DrawIcon(hIcon, kWhite);
        EXPECT_EQ(p.At(5, 5), RGB(192, 192, 192)) << bWin2000;
        EXPECT_EQ(p.At(0, 15), RGB(128, 128, 128)) << bWin2000;
        EXPECT_EQ(p.At(1, 15), kWhite) << bWin2000;
        EXPECT_EQ(DrawIcon(hIcon, RGB(0, 0, 0)).At(1, 15), RGB(0, 0, 0)) << bWin2000;
        ::DestroyIcon(hIcon);
    }
    g_PaintManager.OsFlags = savedFlags;
    ::DeleteObject(hBitmap);
}

TEST(ExtPaintBitmaps, BitmapHandlesRoundTripThroughStreamsAtEveryDepth)
{
    for (WORD nBPP : {1, 4, 8, 24, 32})
    {
        BYTE* pBits = nullptr;
        HBITMAP hBitmap = PaletteBitmap(
            13, 7, nBPP,
            [](int i) {
                return RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i * 7), 0};
            },
            &pBits);
        ASSERT_NE(hBitmap, nullptr);
        const UINT nPitch = ((13 * nBPP + 31) / 32) * 4;
        for (UINT i = 0; i < nPitch * 7; ++i)
            pBits[i] = BYTE(i * 37 + i / 5); // runs and noise, so RLE8 has both kinds
        for (UINT i = 0; i < 40; ++i)
            pBits[nPitch + i % nPitch] = 3;

        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            ASSERT_TRUE(CExtPaintManager::SerializeBitmapHandle(ar, hBitmap, false));
        }
        file.SeekToBegin();
        BYTE header[34] = {};
        file.Read(header, sizeof(header));
        EXPECT_EQ(header[28], nBPP);      // the bitmap's own depth
        EXPECT_EQ(header[30], nBPP == 8); // 8-bit pictures run-length encoded
        file.SeekToBegin();
        HBITMAP hLoaded = nullptr;
        {
            CArchive ar(&file, CArchive::load);
            ASSERT_TRUE(CExtPaintManager::SerializeBitmapHandle(ar, hLoaded, false));
        }
        COLORREF *pA = nullptr, *pB = nullptr;
        HBITMAP hA = CExtPaintManager::CloneBitmap(hBitmap, nullptr, &pA);
        HBITMAP hB = CExtPaintManager::CloneBitmap(hLoaded, nullptr, &pB);
        ASSERT_TRUE(hA != nullptr && hB != nullptr);
        EXPECT_EQ(std::vector<COLORREF>(pA, pA + 13 * 7), std::vector<COLORREF>(pB, pB + 13 * 7)) << nBPP;
        for (HBITMAP h : {hA, hB, hLoaded, hBitmap})
            ::DeleteObject(h);
    }
}

TEST(ExtPaintBitmaps, LoadersReadWholeFilesAndRejectDamagedOnes)
{
    CExtBitmap source;
    HBITMAP hSource = SolidBitmap(5, 3, RGB(20, 40, 60));
    ASSERT_TRUE(source.FromBitmap(hSource));
    ::DeleteObject(hSource);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ASSERT_TRUE(source.SaveBMP(ar));
    }
    std::vector<BYTE> bytes((size_t)file.GetLength());
    file.SeekToBegin();
    file.Read(bytes.data(), (UINT)bytes.size());

    HBITMAP hLoaded = CExtPaintManager::LoadBitmapFromMemory(bytes.data(), (UINT)bytes.size());
    ASSERT_NE(hLoaded, nullptr);
    std::map<COLORREF, int> histogram;
    CExtPaintManager::CollectBitmapColors(hLoaded, histogram);
    EXPECT_EQ(histogram[RGB(20, 40, 60)], 15);
    ::DeleteObject(hLoaded);

    EXPECT_EQ(CExtPaintManager::LoadBitmapFromMemory(bytes.data(), (UINT)bytes.size() - 7), nullptr);
    EXPECT_EQ(CExtPaintManager::LoadBitmapFromMemory(bytes.data(), 0), nullptr);
    EXPECT_EQ(CExtPaintManager::LoadBitmapFromMemory(nullptr, 10), nullptr);

    // a bitmap resource (no file header) and raw data holding a whole file
    const HINSTANCE hModule = ::GetModuleHandleA(nullptr);
    HBITMAP hExpected =
        CExtPaintManager::LoadBitmapFromMemory(CExtTreeBoxImages::GetFile(false), CExtTreeBoxImages::g_nFileSize);
    std::map<COLORREF, int> expected;
    CExtPaintManager::CollectBitmapColors(hExpected, expected);
    ::DeleteObject(hExpected);
    EXPECT_EQ(expected[RGB(0, 0, 0)], 9); // the plus
    for (const auto& res : {std::make_pair(2300, RT_BITMAP), std::make_pair(2301, RT_RCDATA)})
    {
        HBITMAP hResource = CExtPaintManager::LoadBitmapResource(MAKEINTRESOURCEA(res.first), res.second, hModule);
        ASSERT_NE(hResource, nullptr) << res.first;
        CExtPaintManager::CollectBitmapColors(hResource, histogram);
        EXPECT_EQ(histogram, expected) << res.first;
        ::DeleteObject(hResource);
    }
    EXPECT_EQ(CExtPaintManager::LoadBitmapResource(MAKEINTRESOURCEA(2302), RT_BITMAP, hModule), nullptr);
}

TEST(ExtPaintBitmaps, AdjustBitmapSparesKeyPixelsAndZeroChangesNothing)
{
    COLORREF* pBits = nullptr;
    HBITMAP hBitmap = SolidBitmap(4, 4, RGB(200, 50, 50), &pBits);
    pBits[0] = CExtBitmapRoutines::ColorRefToPixel(kMagenta);
    CBitmap bmp;
    bmp.Attach(hBitmap);
    EXPECT_TRUE(CExtPaintManager::AdjustBitmapHls(&bmp, kMagenta, 0, 0, 0, 0));
    EXPECT_EQ(bmp.GetSafeHandle(), hBitmap);
    EXPECT_EQ(CExtPaintManager::AdjustBitmapColorsHls(hBitmap, kMagenta, 0, 0, 0, 0), nullptr);

    ASSERT_TRUE(CExtPaintManager::AdjustBitmapHls(&bmp, kMagenta, 0, 0, -0.5, 0));
    EXPECT_NE(bmp.GetSafeHandle(), hBitmap);
    std::map<COLORREF, int> histogram;
    CExtPaintManager::CollectBitmapColors(static_cast<HBITMAP>(bmp.GetSafeHandle()), histogram);
    EXPECT_EQ(histogram[kMagenta], 1);
    EXPECT_EQ(histogram[CExtColorMath::AdjustColorHls(RGB(200, 50, 50), 0, -0.5, 0)], 15);
    CBitmap none;
    EXPECT_FALSE(CExtPaintManager::AdjustBitmapHls(&none, kMagenta, 0, 0, -0.5, 0));
}

TEST(ExtPaintBitmaps, ColourSampleIcons)
{
    const COLORREF clr = RGB(0, 160, 80), back = RGB(7, 7, 7);
    HICON hIcon = CExtPaintManager::CreateColorSampleIcon(clr);
    EXPECT_EQ(DrawIcon(hIcon, back).CountColor(clr, CRect(0, 0, 16, 16)), 256);
    ::DestroyIcon(hIcon);

    hIcon = CExtPaintManager::CreateFramedColorSampleIcon(clr);
    const kxgui::PixelBuffer p = DrawIcon(hIcon, back);
    EXPECT_EQ(p.CountColor(clr, CRect(0, 0, 16, 16)), 14 * 12 - 10 * 8);
    EXPECT_EQ(p.CountColor(clr, CRect(1, 2, 15, 14)), 14 * 12 - 10 * 8);
    EXPECT_EQ(p.CountColor(back, CRect(3, 4, 13, 12)), 10 * 8);
    ::DestroyIcon(hIcon);

    HFONT hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    hIcon = CExtPaintManager::CreateColorLetterIcon(clr, hFont, 'A');
    const kxgui::PixelBuffer q = DrawIcon(hIcon, back);
    EXPECT_EQ(q.CountColor(clr, CRect(2, 13, 14, 16)), 12 * 3);
    EXPECT_EQ(q.CountColor(clr, CRect(0, 0, 16, 16)), 12 * 3);
    EXPECT_GT(q.CountColor(RGB(0, 0, 0), CRect(0, 0, 16, 12)), 4); // the letter
    EXPECT_EQ(q.CountColor(back, CRect(0, 12, 16, 16)), 16 * 4 - 12 * 3);
    ::DestroyIcon(hIcon);
}

LRESULT CALLBACK TreeProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PRINTCLIENT)
    {
        // each window fills its client area with a colour of its own id
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        const LONG_PTR id = ::GetWindowLongPtrA(hWnd, GWLP_ID);
        HBRUSH hBrush = ::CreateSolidBrush(RGB(id * 40, 255 - id * 40, 0));
        ::FillRect(reinterpret_cast<HDC>(wParam), &rc, hBrush);
        ::DeleteObject(hBrush);
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST(ExtPaintBitmaps, WindowImageWithItsChildren)
{
    HWND hWnd = kxgui::CreateTestWindow(100, 80, "capture", TreeProc);
    ASSERT_NE(hWnd, nullptr);
    HWND hChild = ::CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 10, 20, 30, 20, hWnd,
                                    reinterpret_cast<HMENU>(1), nullptr, nullptr);
    ::SetWindowLongPtrA(hChild, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeProc));
    HWND hGrandChild = ::CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 5, 5, 4, 4, hChild,
                                         reinterpret_cast<HMENU>(2), nullptr, nullptr);
    ::SetWindowLongPtrA(hGrandChild, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeProc));
    HWND hHidden = ::CreateWindowExA(0, "Static", "", WS_CHILD, 50, 20, 30, 20, hWnd, reinterpret_cast<HMENU>(3),
                                     nullptr, nullptr);
    ::SetWindowLongPtrA(hHidden, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeProc));

    HBITMAP hImage = CExtPaintManager::CaptureWindowImage(hWnd, WM_PRINTCLIENT, PRF_CLIENT);
    ASSERT_NE(hImage, nullptr);
    BITMAP bm = {};
    ::GetObjectA(hImage, sizeof(bm), &bm);
    RECT rcClient;
    ::GetClientRect(hWnd, &rcClient);
    EXPECT_EQ(bm.bmWidth, rcClient.right);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    {
        HDC hDC = ::CreateCompatibleDC(nullptr);
        HGDIOBJ hOld = ::SelectObject(hDC, hImage);
        CExtPaintManager::PrintWindowTree(hWnd, WM_PRINTCLIENT, hDC, PRF_CLIENT, true);
        EXPECT_EQ(::GetPixel(hDC, 2, 2), RGB(0, 255, 0));    // the window itself
        EXPECT_EQ(::GetPixel(hDC, 12, 22), RGB(40, 215, 0)); // the child
        EXPECT_EQ(::GetPixel(hDC, 16, 26), RGB(80, 175, 0)); // the grandchild
        EXPECT_EQ(::GetPixel(hDC, 55, 25), RGB(0, 255, 0));  // hidden: not printed
        // with the frame: the DC's origin is the window's corner
        RECT rcWindow;
        ::GetWindowRect(hWnd, &rcWindow);
        POINT client = {0, 0};
        ::ClientToScreen(hWnd, &client);
        const int dx = client.x - rcWindow.left, dy = client.y - rcWindow.top;
        ASSERT_GT(dy, 0); // the caption
        CExtPaintManager::PrintWindowTree(hWnd, WM_PRINTCLIENT, hDC, PRF_NONCLIENT, false);
        EXPECT_EQ(::GetPixel(hDC, dx + 10, dy + 20), RGB(40, 215, 0));
        EXPECT_EQ(::GetPixel(hDC, dx + 39, dy + 39), RGB(40, 215, 0));
        EXPECT_EQ(::GetPixel(hDC, dx + 16, dy + 26), RGB(40, 215, 0)); // not recursive this time
        POINT org;
        ::GetViewportOrgEx(hDC, &org);
        EXPECT_EQ(org.x, 0);
        EXPECT_EQ(org.y, 0);
        ::SelectObject(hDC, hOld);
        ::DeleteDC(hDC);
    }
    ::DeleteObject(hImage);

    // an empty window has no image
    HWND hEmpty =
        ::CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hWnd, nullptr, nullptr, nullptr);
    EXPECT_EQ(CExtPaintManager::CaptureWindowImage(hEmpty, WM_PRINTCLIENT, PRF_CLIENT), nullptr);
    ::DestroyWindow(hWnd);
    CExtPaintManager::DispatchPendingPaint(true, true, true);
    kxgui::PumpUntilIdle();
}

TEST(ExtPaintBitmaps, SunkenFramesAndIconColourOfTheThemes)
{
    for (int nTheme = 0; nTheme < 3; ++nTheme)
    {
        CExtPaintManager* pTheme = nTheme == 0   ? new CExtPaintManager
                                   : nTheme == 1 ? new CExtPaintManagerXP
                                                 : new CExtPaintManagerOffice2003;
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
        kxgui::DibCanvas canvas(20, 20, kWhite);
        CDC dc;
        dc.Attach(canvas.Dc());
        g_PaintManager->PaintSunkenFrame(dc, CRect(2, 2, 12, 12), nullptr, 0);
        g_PaintManager->PaintTabNcFrame(dc, CRect(14, 2, 18, 6), nullptr, 0);
        dc.Detach();
        const kxgui::PixelBuffer p = canvas.Pixels();
        const COLORREF shadow = g_PaintManager->GetColor(COLOR_3DSHADOW);
        const COLORREF bottomRight = nTheme == 0 ? g_PaintManager->GetColor(COLOR_3DHILIGHT) : shadow;
        EXPECT_EQ(p.At(2, 5), shadow);
        EXPECT_EQ(p.At(11, 5), bottomRight);
        EXPECT_EQ(p.At(5, 11), bottomRight);
        EXPECT_EQ(p.At(14, 3), shadow);
        EXPECT_EQ(p.At(17, 3), bottomRight);
        EXPECT_EQ(p.At(5, 5), kWhite);
        if (nTheme < 2)
        {
            EXPECT_EQ(g_PaintManager->GetIconAlphaColor(), static_cast<COLORREF>(-1));
            EXPECT_EQ(g_PaintManager->GetIconAlphaFactor(), 0.0);
        }
        else
        {
            EXPECT_EQ(g_PaintManager->GetIconAlphaColor(), g_PaintManager->GetColor(COLOR_3DFACE));
            EXPECT_EQ(g_PaintManager->GetIconAlphaFactor(), 0.7);
        }
    }
    g_PaintManager.InstallPaintManager(nullptr);
}

} // namespace
