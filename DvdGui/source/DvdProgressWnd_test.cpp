// The engine's progress sink over the progress dialog: percentages of 64-bit
// ranges in the caption and on the bar, status texts, and the cancel poll.
#include "DvdGui/source/DvdProgressWnd.h"

#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

class DvdProgressWndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
        HWND hMain = kxgui::CreateTestWindow(600, 400, "Kestrelux main");
        ASSERT_NE(hMain, nullptr);
        m_main.Attach(hMain);
        m_app.m_pMainWnd = &m_main;
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        ::DestroyWindow(m_main.Detach());
        kxgui::PumpUntilIdle();
    }
    static int BarPos(CDvdProgressWnd& wnd)
    {
        return static_cast<int>(wnd.GetDlgItem(CProgressDlg::IDC_PROGRESS_BAR)->SendMessage(PBM_GETPOS));
    }
    static std::string Caption(CDvdProgressWnd& wnd)
    {
        CString s;
        wnd.GetWindowText(s);
        return std::string(s);
    }

    CWinApp m_app{"Kestrelux"};
    CWnd m_main;
};

TEST_F(DvdProgressWndTest, PositionsOfTheEnginesRangeAsPercentages)
{
    CDvdProgressWnd wnd;
    wnd.m_bRememberPosition = false;
    ASSERT_TRUE(wnd.Create("Importing DVD ... ", true, true, true));
    CDvdProgress& sink = wnd;

    // a position before any range: a full bar
    sink.SetPosition(77);
    EXPECT_EQ(BarPos(wnd), 100);
    EXPECT_EQ(Caption(wnd), "Importing DVD ...  [100%]");

    const uint64_t kTotal = 6ull << 32;
    sink.SetRange(kTotal);
    EXPECT_EQ(sink.GetRange(), kTotal);
    EXPECT_EQ(sink.GetPosition(), 0u);
    sink.Advance(kTotal / 4);
    EXPECT_EQ(BarPos(wnd), 25);
    EXPECT_EQ(Caption(wnd), "Importing DVD ...  [25%]");
    sink.Advance(kTotal / 4);
    EXPECT_EQ(sink.GetPosition(), kTotal / 2);
    EXPECT_EQ(Caption(wnd), "Importing DVD ...  [50%]");

    // beyond the total: the caption says so, the bar stops at its end
    sink.SetPosition(kTotal / 2 * 3);
    EXPECT_EQ(Caption(wnd), "Importing DVD ...  [150%]");
    EXPECT_EQ(BarPos(wnd), 100);

    sink.SetText("Reading VTS_01_0.IFO");
    EXPECT_STREQ(sink.GetText(), "Reading VTS_01_0.IFO");
    CString status;
    wnd.GetDlgItem(CProgressDlg::IDC_PROGRESS_STATUS)->GetWindowText(status);
    EXPECT_STREQ(status, "Reading VTS_01_0.IFO");
    EXPECT_FALSE(sink.IsCancelled());
}

TEST_F(DvdProgressWndTest, WithoutButtonsEscapeDoesNotCancel)
{
    CDvdProgressWnd wnd;
    wnd.m_bRememberPosition = false;
    ASSERT_TRUE(wnd.Create("Saving project ... ", true, false, false));
    CDvdProgress& sink = wnd;
    sink.SetRange(10);
    wnd.PostMessage(WM_CHAR, VK_ESCAPE, 1);
    sink.SetPosition(5);
    EXPECT_FALSE(sink.IsCancelled());

    CDvdProgressWnd cancellable;
    cancellable.m_bRememberPosition = false;
    ASSERT_TRUE(cancellable.Create("Exporting DVD ... ", true, true, true));
    CDvdProgress& other = cancellable;
    other.SetRange(10);
    cancellable.PostMessage(WM_CHAR, VK_ESCAPE, 1);
    other.SetPosition(5);
    EXPECT_TRUE(other.IsCancelled());
}

} // namespace
