#include "controls/custom/CreditsCtrl.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

const COLORREF kRed = RGB(220, 0, 0);
const COLORREF kBlue = RGB(0, 0, 220);
const int kWidth = 200;
const int kHeight = 100;

// Lets the tests read the scroll position and the back buffer.
class CTestCredits : public CCreditsCtrl
{
public:
    int Current() const { return m_nCurrent; }
    int Offset() const { return m_nOffset; }
    COLORREF Background() const { return m_clrBackground; }
    void Tick(int nTimes = 1)
    {
        for (int i = 0; i < nTimes; ++i)
            SendMessage(WM_TIMER, 0);
    }
    kxgui::PixelBuffer Back()
    {
        kxgui::DibCanvas canvas(kWidth, kHeight);
        CBufferedDC dc(this, FALSE);
        ::BitBlt(canvas.Dc(), 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
        return canvas.Pixels();
    }
};

// The first row (from the top) with a pixel of the colour, or -1.
int FirstRowWith(const kxgui::PixelBuffer& image, COLORREF color)
{
    for (int y = 0; y < image.height; ++y)
    {
        if (image.CountColor(color, RECT{0, y, image.width, y + 1}) > 0)
            return y;
    }
    return -1;
}

class CreditsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hHost = kxgui::CreateTestWindow(kWidth + 40, kHeight + 40, "Credits");
        ASSERT_NE(m_hHost, nullptr);
        m_pHost = CWnd::FromHandle(m_hHost);
    }
    void TearDown() override
    {
        ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
        AfxDeleteTempMaps();
    }
    void Create(CTestCredits& credits)
    {
        ASSERT_TRUE(
            credits.Create("Credits", WS_CHILD | WS_VISIBLE, CRect(20, 20, 20 + kWidth, 20 + kHeight), m_pHost, 12));
    }
    HWND m_hHost = nullptr;
    CWnd* m_pHost = nullptr;
};

TEST_F(CreditsTest, AnEmptyControlIgnoresItsTimerAndShowsItsBackground)
{
    CTestCredits credits;
    Create(credits);
    credits.Tick(3);
    EXPECT_EQ(credits.Current(), 0);
    EXPECT_EQ(credits.Offset(), 0);
    kxgui::PumpUntilIdle();
    kxgui::PixelBuffer shot = kxgui::CaptureScreen(credits.m_hWnd);
    EXPECT_EQ(credits.Background(), ::GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(shot.CountColor(credits.Background(), RECT{0, 0, kWidth, kHeight}), kWidth * kHeight);
}

TEST_F(CreditsTest, EachTickScrollsOnePixel)
{
    CTestCredits credits;
    credits.AddSpace(30);
    credits.AddText("Kestrelux", 24, kRed, DT_CENTER);
    Create(credits);
    int nFirst = FirstRowWith(credits.Back(), kRed);
    ASSERT_GT(nFirst, 30);
    for (int tick = 1; tick <= 5; ++tick)
    {
        credits.Tick();
        EXPECT_EQ(FirstRowWith(credits.Back(), kRed), nFirst - tick);
    }
    EXPECT_EQ(credits.Current(), 0);
    EXPECT_EQ(credits.Offset(), 5);
}

TEST_F(CreditsTest, ASpaceScrollsThroughAsBlankBackground)
{
    CTestCredits credits;
    credits.AddText("Title", 20, kRed, DT_CENTER);
    credits.AddSpace(3 * kHeight);
    Create(credits);
    // past the text: only the space shows, the list's start is far below
    while (credits.Current() == 0)
        credits.Tick();
    EXPECT_EQ(credits.Offset(), 0);
    kxgui::PixelBuffer back = credits.Back();
    EXPECT_EQ(back.CountColor(credits.Background(), RECT{0, 0, kWidth, kHeight}), kWidth * kHeight);
}

TEST_F(CreditsTest, AShortListIsDrawnASecondTimeBelowItsEndAndNoMore)
{
    CTestCredits credits;
    credits.AddText("A", 16, kRed, DT_CENTER);
    credits.AddSpace(4);
    credits.AddText("B", 16, kBlue, DT_CENTER);
    credits.AddSpace(4);
    Create(credits);
    kxgui::PixelBuffer back = credits.Back();
    int nRed = FirstRowWith(back, kRed);
    int nBlue = FirstRowWith(back, kBlue);
    ASSERT_GE(nRed, 0);
    ASSERT_GT(nBlue, nRed);
    // The list's length: text heights as the control measured them.
    int nLength = 0;
    {
        CFont font;
        font.CreateFont(16, 0, 0, 0, 100, FALSE, FALSE, FALSE, 0, 0, 0, PROOF_QUALITY, 6, "Arial");
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CFont* pOld = dc.SelectObject(&font);
        CRect rc(0, 0, 1000, 0);
        nLength = dc.DrawText("A", -1, &rc, DT_CENTER | DT_CALCRECT) + 4;
        rc.SetRect(0, 0, 1000, 0);
        nLength += dc.DrawText("B", -1, &rc, DT_CENTER | DT_CALCRECT) + 4;
        dc.SelectObject(pOld);
    }
    ASSERT_LT(2 * nLength, kHeight);
    RECT firstPass = {0, 0, kWidth, nLength};
    RECT secondPass = {0, nLength, kWidth, 2 * nLength};
    RECT below = {0, 2 * nLength, kWidth, kHeight};
    EXPECT_GT(back.CountColor(kRed, firstPass), 0);
    EXPECT_EQ(back.CountColor(kRed, secondPass), back.CountColor(kRed, firstPass));
    EXPECT_EQ(back.CountColor(kBlue, secondPass), back.CountColor(kBlue, firstPass));
    EXPECT_EQ(back.CountColor(credits.Background(), below), kWidth * (kHeight - 2 * nLength));
    EXPECT_EQ(FirstRowWith(back, kRed), nRed);
}

TEST_F(CreditsTest, AnItemTallerThanTheWindowTakesAsManyTicksAsItsHeight)
{
    CTestCredits credits;
    credits.AddSpace(250);
    credits.AddText("After", 20, kRed, DT_CENTER);
    Create(credits);
    credits.Tick(249);
    EXPECT_EQ(credits.Current(), 0);
    EXPECT_EQ(credits.Offset(), 249);
    credits.Tick();
    EXPECT_EQ(credits.Current(), 1);
    EXPECT_EQ(credits.Offset(), 0);
    // the text is at the top now
    EXPECT_EQ(FirstRowWith(credits.Back(), kRed), FirstRowWith(credits.Back(), kRed));
    EXPECT_LT(FirstRowWith(credits.Back(), kRed), 10);
}

TEST_F(CreditsTest, AnItemOfHeightZeroPassesInOneTickAndTheListWraps)
{
    CTestCredits credits;
    credits.AddSpace(0);
    credits.AddText("", 20, kRed, DT_CENTER);
    credits.AddSpace(2);
    Create(credits);
    credits.Tick();
    EXPECT_EQ(credits.Current(), 1);
    EXPECT_EQ(credits.Offset(), 0);
    // the empty text, whatever its measured height, then the space of 2
    while (credits.Current() == 1)
        credits.Tick();
    credits.Tick(2);
    EXPECT_EQ(credits.Current(), 0);
    EXPECT_EQ(credits.Offset(), 0);
}

TEST_F(CreditsTest, StartJumpsBackToTheFirstItem)
{
    CTestCredits credits;
    credits.AddText("One", 20, kRed, DT_CENTER);
    credits.AddSpace(40);
    credits.AddText("Two", 20, kBlue, DT_CENTER);
    Create(credits);
    credits.Tick(45);
    ASSERT_EQ(credits.Current(), 1);
    credits.Start(70);
    EXPECT_EQ(credits.Current(), 0);
    EXPECT_EQ(credits.Offset(), 0);
    credits.DestroyWindow();
}

TEST_F(CreditsTest, Screenshot)
{
    CTestCredits credits;
    credits.AddText("Kestrelux", 28, kRed, DT_CENTER);
    credits.AddSpace(8);
    credits.AddText("DVD-Video editor\nfor VIDEO_TS folders", 16, RGB(0, 0, 0), DT_CENTER);
    credits.AddSpace(12);
    credits.AddText("Thanks to everyone\nwho tested it", 14, kBlue, DT_CENTER);
    Create(credits);
    credits.Tick(20);
    kxgui::PumpUntilIdle();
    kxgui::PixelBuffer shot = kxgui::CaptureScreen(credits.m_hWnd);
    EXPECT_GT(shot.CountColor(kRed, RECT{0, 0, kWidth, kHeight}), 0);
    kxgui::SaveArtifact(shot, "credits.png");
}

} // namespace
