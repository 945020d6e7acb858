// The progress dialog under Wine: the caption's percentage, pausing and
// cancelling while the operation polls, Escape, the disabled owner, the
// remembered position, the status length, a quit while pumping, and the
// dialog in the editor's themes.
#include "controls/custom/ProgressDlg.h"

#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const char kRegistryKey[] = "KestreluxProgressTest";

// A timer that presses one of the dialog's buttons while CheckCancel waits.
HWND g_hDialog = nullptr;
UINT g_nPressed = 0;
std::string g_sPauseTextWhilePaused;

void CALLBACK PressButtonLater(HWND, UINT, UINT_PTR nId, DWORD)
{
    ::KillTimer(nullptr, nId);
    char text[32] = {};
    ::GetDlgItemTextA(g_hDialog, CProgressDlg::IDC_PROGRESS_PAUSE, text, sizeof text);
    g_sPauseTextWhilePaused = text;
    ::PostMessageA(g_hDialog, WM_COMMAND, g_nPressed, 0);
}

class ProgressDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
        m_app.SetRegistryKey(kRegistryKey);
        HWND hMain = kxgui::CreateTestWindow(600, 400, "Kestrelux main");
        ASSERT_NE(hMain, nullptr);
        m_main.Attach(hMain);
        m_app.m_pMainWnd = &m_main;
    }
    void TearDown() override
    {
        m_dlg.DestroyWindow();
        m_app.m_pMainWnd = nullptr;
        ::DestroyWindow(m_main.Detach());
        kxgui::PumpUntilIdle();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kRegistryKey).c_str());
    }
    std::string Caption() const
    {
        CString s;
        m_dlg.GetWindowText(s);
        return std::string(s);
    }
    void PressDuringCheck(UINT nButton)
    {
        g_hDialog = m_dlg.m_hWnd;
        g_nPressed = nButton;
        g_sPauseTextWhilePaused.clear();
        ::SetTimer(nullptr, 0, 300, PressButtonLater);
    }

    CWinApp m_app{"Kestrelux"};
    CWnd m_main;
    CProgressDlg m_dlg;
};

TEST_F(ProgressDlgTest, TheCaptionChangesOnlyWithThePercentage)
{
    ASSERT_TRUE(m_dlg.Create("Importing DVD ... ", true, true, true));
    m_dlg.SetRange(0, 1000);
    int nCaptionChanges = 0;
    const struct
    {
        int pos;
        const char* caption;
        bool changed;
    } steps[] = {
        {420, "Importing DVD ...  [42%]", true},   {421, "Importing DVD ...  [42%]", false},
        {424, "Importing DVD ...  [42%]", false},  {425, "Importing DVD ...  [43%]", true},
        {1500, "Importing DVD ...  [150%]", true}, {0, "Importing DVD ...  [0%]", true},
    };
    std::string last = Caption();
    for (const auto& s : steps)
    {
        m_dlg.SetPos(s.pos);
        const std::string now = Caption();
        EXPECT_EQ(now, s.caption);
        EXPECT_EQ(now != last, s.changed) << s.pos;
        nCaptionChanges += now != last;
        last = now;
    }
    EXPECT_EQ(nCaptionChanges, 4);

    // an empty range shows 0
    m_dlg.SetRange(5, 5);
    m_dlg.SetPos(7);
    EXPECT_EQ(m_dlg.GetPercentShown(), 0);
}

TEST_F(ProgressDlgTest, PauseHoldsTheOperationUntilResumeOrCancel)
{
    ASSERT_TRUE(m_dlg.Create("Exporting DVD ... ", true, true, true));
    m_dlg.SendMessage(WM_COMMAND, CProgressDlg::IDC_PROGRESS_PAUSE);
    ASSERT_TRUE(m_dlg.IsPaused());

    PressDuringCheck(CProgressDlg::IDC_PROGRESS_PAUSE);
    EXPECT_FALSE(m_dlg.CheckCancel());
    EXPECT_EQ(g_sPauseTextWhilePaused, " Resume ");
    EXPECT_FALSE(m_dlg.IsPaused());
    CString sPause;
    m_dlg.GetDlgItem(CProgressDlg::IDC_PROGRESS_PAUSE)->GetWindowText(sPause);
    EXPECT_STREQ(sPause, " Pause ");

    m_dlg.SendMessage(WM_COMMAND, CProgressDlg::IDC_PROGRESS_PAUSE);
    PressDuringCheck(CProgressDlg::IDC_PROGRESS_CANCEL);
    EXPECT_TRUE(m_dlg.CheckCancel());
    EXPECT_FALSE(m_dlg.IsWindowVisible());
    // stays cancelled, and a position does not bring the window back
    m_dlg.SetPos(50);
    EXPECT_TRUE(m_dlg.CheckCancel());
    EXPECT_FALSE(m_dlg.IsWindowVisible());
}

TEST_F(ProgressDlgTest, EscapeCancelsOnlyWithACancelButton)
{
    {
        CProgressDlg dlg;
        ASSERT_TRUE(dlg.Create("Saving project ... ", true, false, false));
        dlg.PostMessage(WM_CHAR, VK_ESCAPE, 1);
        dlg.PumpMessages(true);
        EXPECT_FALSE(dlg.IsCancelled());
        // nothing to wait for without a Pause button
        EXPECT_FALSE(dlg.CheckCancel());
    }
    ASSERT_TRUE(m_dlg.Create("Importing DVD ... ", true, true, true));
    m_dlg.PostMessage(WM_CHAR, VK_ESCAPE, 1);
    m_dlg.PumpMessages(false);
    EXPECT_FALSE(m_dlg.IsCancelled());
    m_dlg.PostMessage(WM_CHAR, VK_ESCAPE, 1);
    m_dlg.PumpMessages(true);
    EXPECT_TRUE(m_dlg.IsCancelled());
}

TEST_F(ProgressDlgTest, TheOwnerIsDisabledWhileTheDialogLives)
{
    ASSERT_TRUE(m_main.IsWindowEnabled());
    ASSERT_TRUE(m_dlg.Create("Merging projects ... ", true, false, false));
    EXPECT_FALSE(m_main.IsWindowEnabled());
    EXPECT_TRUE(m_dlg.IsWindowEnabled());
    m_dlg.DestroyWindow();
    EXPECT_TRUE(m_main.IsWindowEnabled());
}

TEST_F(ProgressDlgTest, TheStoredPositionIsUsedOnlyOnTheScreen)
{
    m_app.WriteProfileInt("Settings", "X", 100);
    m_app.WriteProfileInt("Settings", "Y", 80);
    ASSERT_TRUE(m_dlg.Create("Importing DVD ... ", true, true, true));
    CRect rc;
    m_dlg.GetWindowRect(rc);
    EXPECT_EQ(rc.TopLeft(), CPoint(100, 80));
    m_dlg.MoveWindow(130, 90, rc.Width(), rc.Height());
    m_dlg.DestroyWindow();
    EXPECT_EQ(m_app.GetProfileInt("Settings", "X", -1), 130u);
    EXPECT_EQ(m_app.GetProfileInt("Settings", "Y", -1), 90u);

    m_app.WriteProfileInt("Settings", "X", 5000);
    ASSERT_TRUE(m_dlg.Create("Importing DVD ... ", true, true, true));
    m_dlg.GetWindowRect(rc);
    CRect rcMain;
    m_main.GetWindowRect(rcMain);
    EXPECT_NEAR(rc.CenterPoint().x, rcMain.CenterPoint().x, 1);
    EXPECT_NEAR(rc.CenterPoint().y, rcMain.CenterPoint().y, 1);
}

TEST_F(ProgressDlgTest, ALongStatusShowsItsBeginning)
{
    ASSERT_TRUE(m_dlg.Create("Importing DVD ... ", true, true, true));
    std::string text(600, 'x');
    for (size_t i = 0; i < text.size(); i += 10)
        text[i] = char('0' + (i / 10) % 10);
    m_dlg.SetStatus(text.c_str());
    CString shown;
    m_dlg.GetDlgItem(CProgressDlg::IDC_PROGRESS_STATUS)->GetWindowText(shown);
    EXPECT_EQ(std::string(shown), text.substr(0, CProgressDlg::kMaxStatus));
}

TEST_F(ProgressDlgTest, AQuitWhilePumpingReachesTheMainLoopAfterwards)
{
    ASSERT_TRUE(m_dlg.Create("Importing DVD ... ", true, true, true));
    ::PostQuitMessage(0);
    m_dlg.PumpMessages(true);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
}

TEST_F(ProgressDlgTest, Screenshots)
{
    for (int nTheme = 0; nTheme < 4; ++nTheme)
    {
        SCOPED_TRACE(ExtTestThemeName(nTheme));
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
        CProgressDlg dlg;
        dlg.m_bRememberPosition = false;
        ASSERT_TRUE(dlg.Create("Exporting DVD ... ", true, true, true));
        dlg.SetRange(0, 100);
        dlg.SetPos(42);
        dlg.SetStatus("Writing VTS_01_1.VOB");
        kxgui::PumpUntilIdle();
        kxgui::SaveArtifact(kxgui::CaptureScreen(dlg.m_hWnd, false),
                            std::string("progress_") + ExtTestThemeName(nTheme) + ".png");
        dlg.SendMessage(WM_COMMAND, CProgressDlg::IDC_PROGRESS_PAUSE);
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer paused = kxgui::CaptureScreen(dlg.m_hWnd, false);
        ASSERT_FALSE(paused.IsEmpty());
        kxgui::SaveArtifact(paused, std::string("progress_paused_") + ExtTestThemeName(nTheme) + ".png");
    }
}

} // namespace
