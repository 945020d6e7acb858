#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{

struct Recorded
{
    POINT lastClick = {-1, -1};
    WPARAM clickFlags = 0;
    int buttonUps = 0;
    WORD lastKey = 0;
    bool shiftHeldAtKey = false;
    std::string typed;
};
Recorded g_rec;

// Four solid quadrants: red, green, blue, white.
void PaintQuadrants(HWND hWnd, HDC dc)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    int mx = rc.right / 2, my = rc.bottom / 2;
    const struct
    {
        RECT r;
        COLORREF c;
    } parts[] = {
        {{0, 0, mx, my}, RGB(255, 0, 0)},
        {{mx, 0, rc.right, my}, RGB(0, 255, 0)},
        {{0, my, mx, rc.bottom}, RGB(0, 0, 255)},
        {{mx, my, rc.right, rc.bottom}, RGB(255, 255, 255)},
    };
    for (const auto& p : parts)
    {
        HBRUSH b = CreateSolidBrush(p.c);
        FillRect(dc, &p.r, b);
        DeleteObject(b);
    }
}

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_PAINT:
    {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hWnd, &ps);
        PaintQuadrants(hWnd, dc);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: PaintQuadrants(hWnd, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_LBUTTONDOWN:
        g_rec.lastClick = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        g_rec.clickFlags = wParam;
        return 0;
    case WM_LBUTTONUP: ++g_rec.buttonUps; return 0;
    case WM_KEYDOWN:
        g_rec.lastKey = static_cast<WORD>(wParam);
        g_rec.shiftHeldAtKey = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        return 0;
    case WM_CHAR: g_rec.typed += static_cast<char>(wParam); return 0;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

class GuiHarnessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_rec = Recorded();
        m_hWnd = kxgui::CreateTestWindow(200, 120, "Harness", RecordingProc);
        ASSERT_NE(m_hWnd, nullptr);
        InvalidateRect(m_hWnd, nullptr, TRUE);
        UpdateWindow(m_hWnd);
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        DestroyWindow(m_hWnd);
        kxgui::PumpUntilIdle();
    }
    HWND m_hWnd = nullptr;
};

TEST_F(GuiHarnessTest, BothCapturesShowWhatTheWindowPainted)
{
    for (bool screen : {false, true})
    {
        SCOPED_TRACE(screen ? "screen" : "print");
        kxgui::PixelBuffer img = screen ? kxgui::CaptureScreen(m_hWnd) : kxgui::CaptureWindow(m_hWnd);
        ASSERT_EQ(img.width, 200);
        ASSERT_EQ(img.height, 120);
        EXPECT_EQ(img.At(10, 10), RGB(255, 0, 0));
        EXPECT_EQ(img.At(190, 10), RGB(0, 255, 0));
        EXPECT_EQ(img.At(10, 110), RGB(0, 0, 255));
        EXPECT_EQ(img.At(190, 110), RGB(255, 255, 255));
        EXPECT_EQ(img.CountColor(RGB(255, 0, 0), RECT{0, 0, 200, 120}), 100 * 60);
    }
    kxgui::PixelBuffer whole = kxgui::CaptureScreen(m_hWnd, false);
    EXPECT_GT(whole.width, 200);
    EXPECT_FALSE(kxgui::SaveArtifact(whole, "harness_quadrants.png").empty());
}

TEST_F(GuiHarnessTest, ClickArrivesAtTheClientPoint)
{
    kxgui::Click(m_hWnd, POINT{30, 20});
    EXPECT_EQ(g_rec.lastClick.x, 30);
    EXPECT_EQ(g_rec.lastClick.y, 20);
}

TEST_F(GuiHarnessTest, KeysChangeTheKeyStateAndTextArrivesAsCharacters)
{
    kxgui::PressKey('Q', false, false, true);
    EXPECT_EQ(g_rec.lastKey, 'Q');
    EXPECT_TRUE(g_rec.shiftHeldAtKey);
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
    g_rec.typed.clear();
    kxgui::TypeText("ab1");
    EXPECT_EQ(g_rec.typed, "ab1");
}

TEST_F(GuiHarnessTest, ScriptedInputHoldsKeysOverClicksAndTheFilterSeesItFirst)
{
    kxgui::InputScript()
        .KeyDown(VK_SHIFT)
        .MoveTo(m_hWnd, POINT{40, 30})
        .ButtonDown()
        .MoveTo(m_hWnd, POINT{60, 30})
        .ButtonUp()
        .KeyUp(VK_SHIFT)
        .Key('Z')
        .Send();
    // nothing is pumped until the caller pumps
    EXPECT_EQ(g_rec.lastClick.x, -1);
    std::vector<UINT> filtered;
    kxgui::PumpUntilIdle(
        [&filtered](MSG& msg)
        {
            filtered.push_back(msg.message);
            return msg.message == WM_KEYDOWN; // swallowed before dispatch
        });
    EXPECT_EQ(g_rec.lastClick.x, 40);
    EXPECT_TRUE(g_rec.clickFlags & MK_SHIFT);
    EXPECT_EQ(g_rec.buttonUps, 1);
    EXPECT_EQ(g_rec.lastKey, 0);
    EXPECT_NE(std::find(filtered.begin(), filtered.end(), static_cast<UINT>(WM_KEYDOWN)), filtered.end());
}

TEST_F(GuiHarnessTest, PlayedInputReachesAModalLoopInOrder)
{
    // A tracking loop as a drag runs it: capture, GetMessage, ends on release.
    kxgui::InputScript input;
    input.MoveTo(m_hWnd, POINT{40, 30}).ButtonDown().MoveTo(m_hWnd, POINT{90, 60}).ButtonUp();
    input.Play();
    SetCapture(m_hWnd);
    std::vector<UINT> seen;
    POINT ptCursorAtMove = {-1, -1};
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0))
    {
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONUP ||
            (msg.message == WM_MOUSEMOVE && LOWORD(msg.lParam) == 90))
        {
            seen.push_back(msg.message);
            if (msg.message == WM_MOUSEMOVE)
                GetCursorPos(&ptCursorAtMove);
        }
        if (msg.message == WM_LBUTTONUP)
            break;
        DispatchMessageA(&msg);
    }
    ReleaseCapture();
    input.Wait();
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(seen[1], static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(seen.back(), static_cast<UINT>(WM_LBUTTONUP));
    POINT ptExpected = {90, 60};
    ClientToScreen(m_hWnd, &ptExpected);
    EXPECT_EQ(ptCursorAtMove.x, ptExpected.x);
    EXPECT_EQ(ptCursorAtMove.y, ptExpected.y);
}

TEST(DialogAnswerer, AnswersMessageBoxesAndRecordsTheirText)
{
    kxgui::DialogAnswerer answerer(IDNO);
    int r1 = MessageBoxA(nullptr, "Save changes?", "Kestrelux", MB_YESNOCANCEL);
    int r2 = MessageBoxA(nullptr, "Second", "Other", MB_YESNO);
    EXPECT_EQ(r1, IDNO);
    EXPECT_EQ(r2, IDNO);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[0], "Kestrelux|Save changes?");
    EXPECT_EQ(answerer.Seen()[1], "Other|Second");
}

TEST(DialogAnswerer, ACallbackDecidesPerDialog)
{
    std::vector<HWND> boxes;
    kxgui::DialogAnswerer answerer(
        [&boxes](HWND hDlg)
        {
            boxes.push_back(hDlg);
            char text[64] = "";
            GetDlgItemTextA(hDlg, 0xFFFF, text, sizeof(text));
            return std::string(text).find("Save") != std::string::npos ? IDYES : IDNO;
        });
    EXPECT_EQ(MessageBoxA(nullptr, "Save changes?", "A", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "Discard?", "B", MB_YESNO), IDNO);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0], nullptr);
}

TEST(PngEncoder, WritesChunksAroundStoredScanlines)
{
    kxgui::PixelBuffer img;
    img.width = 2;
    img.height = 1;
    img.pixels = {0x00112233, 0x00A0B0C0};
    std::vector<uint8_t> png = kxgui::EncodePng(img);
    const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GT(png.size(), 8u + 25u + 12u);
    EXPECT_EQ(std::memcmp(png.data(), sig, 8), 0);
    // IHDR: length 13, width 2, height 1, depth 8, colour type 2.
    const uint8_t ihdr[] = {0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 2, 0, 0, 0, 1, 8, 2, 0, 0, 0};
    EXPECT_EQ(std::memcmp(png.data() + 8, ihdr, sizeof(ihdr)), 0);
    // The IEND chunk is always these twelve bytes (its CRC is fixed).
    const uint8_t iend[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    EXPECT_EQ(std::memcmp(png.data() + png.size() - 12, iend, 12), 0);
    // The one stored block holds the filter byte and the RGB triples.
    const uint8_t row[] = {0x01, 7, 0, 0xF8, 0xFF, 0, 0x11, 0x22, 0x33, 0xA0, 0xB0, 0xC0};
    const uint8_t* idat = png.data() + 8 + 25 + 8; // past IHDR and the IDAT header
    EXPECT_EQ(idat[0], 0x78);
    EXPECT_EQ(std::memcmp(idat + 2, row, sizeof(row)), 0);
}

} // namespace
