// The About box run modally as the Help menu runs it, inspected from inside
// its own loop; its links go to a recording opener, so no browser starts.
#include "DvdGui/source/AboutDlg.h"

#include "DvdGui/source/Resource.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/DialogSteps.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

std::string WindowText(CWnd* pWnd)
{
    CString s;
    if (pWnd != nullptr)
        pWnd->GetWindowText(s);
    return static_cast<LPCSTR>(s);
}

CRect ScreenRect(CWnd* pWnd)
{
    CRect rc;
    pWnd->GetWindowRect(&rc);
    return rc;
}

// The first row from the top with a black pixel, -1 without one.
int FirstBlackRow(const kxgui::PixelBuffer& image)
{
    for (int y = 0; y < image.height; ++y)
        if (image.CountColor(RGB(0, 0, 0), RECT{0, y, image.width, y + 1}) > 0)
            return y;
    return -1;
}

class AboutDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerStudio2005));
        m_main.Attach(kxgui::CreateTestWindow(300, 200, "Kestrelux main"));
        m_app.m_pMainWnd = &m_main;
        CWebLinkButton::SetOpener(
            [this](const CString& sTarget, int)
            {
                m_opened.push_back(static_cast<LPCSTR>(sTarget));
                return true;
            });
    }
    void TearDown() override
    {
        CWebLinkButton::SetOpener(nullptr);
        kxtest::PendingDialogStep() = nullptr;
        m_app.m_pMainWnd = nullptr;
        ::DestroyWindow(m_main.Detach());
        kxgui::PumpUntilIdle();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    // Runs the box modally with the step inside its loop once it is shown;
    // the step ends it. The box's answer.
    INT_PTR RunAbout(const std::function<void(CAboutDlg&)>& step)
    {
        CAboutDlg dlg(&m_main);
        kxgui::DialogAnswerer answerer(
            [&](HWND hDlg)
            {
                // later than the loop's first idle moment, which shows the box
                kxtest::PendingDialogStep() = [&](HWND)
                {
                    step(dlg);
                    // a step that failed half-way still ends the box
                    if (::testing::Test::HasFatalFailure())
                        dlg.EndDialog(IDABORT);
                };
                ::SetTimer(hDlg, 1, 100, &kxtest::RunDialogStep);
                return 0;
            });
        return dlg.DoModal();
    }
    static void ClickItem(CWnd& dlg, UINT nId)
    {
        CWnd* pItem = dlg.GetDlgItem(nId);
        ASSERT_NE(pItem, nullptr);
        CRect rc;
        pItem->GetClientRect(&rc);
        kxgui::Click(pItem->m_hWnd, {6, rc.Height() / 2});
        kxgui::PumpUntilIdle();
    }

    CWinApp m_app{"Kestrelux"};
    CWnd m_main;
    std::vector<std::string> m_opened;
};

TEST_F(AboutDlgTest, ShowsTheTitleTheLinksAndScrollingCredits)
{
    const INT_PTR nResult = RunAbout(
        [&](CAboutDlg& dlg)
        {
            EXPECT_EQ(WindowText(&dlg), "About Kestrelux");
            CString strTitle;
            ASSERT_TRUE(strTitle.LoadString(IDR_MAINFRAME));
            EXPECT_EQ(WindowText(dlg.GetDlgItem(IDC_ABOUT_TITLE)), std::string(strTitle));
            EXPECT_EQ(std::string(strTitle), "Kestrelux 3.6.2");

            // the credits in the placeholder's place
            CWnd* pCredits = dlg.GetDlgItem(CAboutDlg::kCreditsId);
            ASSERT_NE(pCredits, nullptr);
            EXPECT_EQ(WindowText(pCredits), "Credits");
            kxgui::SaveArtifact(kxgui::CaptureScreen(dlg.m_hWnd, false), "about_box.png");
            EXPECT_TRUE(pCredits->IsWindowVisible());
            EXPECT_EQ(ScreenRect(pCredits), ScreenRect(dlg.GetDlgItem(IDC_ABOUT_CREDITS)));

            // the second link's tip
            auto* pContact =
                static_cast<CExtButton*>(CWnd::FromHandlePermanent(dlg.GetDlgItem(IDC_ABOUT_CONTACT_LINK)->m_hWnd));
            ASSERT_NE(pContact, nullptr);
            char szTip[256] = "";
            TOOLINFOA info = {};
            info.cbSize = sizeof(info);
            info.lpszText = szTip;
            info.hwnd = pContact->m_hWnd;
            info.uId = 1;
            pContact->m_wndToolTip.SendMessage(TTM_GETTEXTA, sizeof(szTip), reinterpret_cast<LPARAM>(&info));
            EXPECT_STREQ(szTip, "Contact us if you have any questions");

            // the credits move up while the box is open
            const int nFirstRow = FirstBlackRow(kxgui::CaptureScreen(pCredits->m_hWnd));
            ASSERT_GT(nFirstRow, 0) << "the title starts below the top edge";
            int nRow = nFirstRow;
            for (int i = 0; i < 200 && nRow >= nFirstRow; ++i)
            {
                ::Sleep(10);
                kxgui::PumpUntilIdle();
                nRow = FirstBlackRow(kxgui::CaptureScreen(pCredits->m_hWnd));
            }
            EXPECT_LT(nRow, nFirstRow);

            ClickItem(dlg, IDC_ABOUT_WEB_LINK);
            ClickItem(dlg, IDC_ABOUT_CONTACT_LINK);
            ClickItem(dlg, IDOK);
        });
    EXPECT_EQ(nResult, IDOK);
    ASSERT_EQ(m_opened.size(), 2u);
    EXPECT_EQ(m_opened[0].rfind("https://", 0), 0u) << m_opened[0];
    EXPECT_EQ(m_opened[1].rfind("mailto:", 0), 0u) << m_opened[1];
}

TEST_F(AboutDlgTest, TheCreditsGrowWithTheBox)
{
    RunAbout(
        [&](CAboutDlg& dlg)
        {
            CWnd* pCredits = dlg.GetDlgItem(CAboutDlg::kCreditsId);
            ASSERT_NE(pCredits, nullptr);
            const CRect rcCredits = ScreenRect(pCredits), rcOk = ScreenRect(dlg.GetDlgItem(IDOK));
            const CRect rcBox = ScreenRect(&dlg);
            dlg.SetWindowPos(nullptr, 0, 0, rcBox.Width() + 100, rcBox.Height() + 60, SWP_NOMOVE | SWP_NOZORDER);
            kxgui::PumpUntilIdle();
            const CRect rcGrown = ScreenRect(pCredits);
            EXPECT_EQ(rcGrown.TopLeft(), rcCredits.TopLeft());
            const CSize szMoved = ScreenRect(dlg.GetDlgItem(IDOK)).TopLeft() - rcOk.TopLeft();
            EXPECT_GE(szMoved.cx, 100);
            EXPECT_GE(szMoved.cy, 60);
            EXPECT_EQ(rcGrown.Size(), rcCredits.Size() + szMoved);
            dlg.EndDialog(IDCANCEL);
        });
}

} // namespace
