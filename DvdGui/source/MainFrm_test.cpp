// The main window as the program starts it with an empty registry: its bars,
// themes and settings, the menus it trims and what it writes at close.
#include "DvdGui/source/MainFrm.h"

#include "DvdGui/core/AppLog.h"
#include "DvdGui/source/Resource.h"
#include "controls/custom/SkinControls.h"
#include "framework/win/DocManager.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/EditorStage.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

class MainFrameTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_stage.Start()); }
    void TearDown() override { m_stage.Stop(); }

    CMainFrame& Frame() { return m_stage.Frame(); }
    void Command(UINT nID)
    {
        Frame().SendMessage(WM_COMMAND, nID);
        kxtest::EditorStage::Pump();
    }
    int Setting(const char* pszEntry) { return int(m_stage.app.GetProfileInt("Settings", pszEntry, -99)); }

    // The items of a menu as the frame leaves it before it is shown.
    std::vector<std::string> Prepared(CExtPopupMenuWnd& menu)
    {
        CExtPopupMenuWnd::PrepareMenuNotify_t notify;
        notify.m_pPopup = &menu;
        EXPECT_EQ(Frame().SendMessage(CExtPopupMenuWnd::g_nMsgPrepareMenu, WPARAM(&notify), LPARAM(&menu)), 1);
        std::vector<std::string> items;
        for (int i = 0; i < menu.ItemGetCount(); ++i)
            items.push_back(menu.ItemGetCmdID(i) == 0 ? "-" : std::string(LPCSTR(menu.ItemGetText(i))));
        return items;
    }

    kxtest::EditorStage m_stage;
};

TEST_F(MainFrameTest, FirstStartHasTheDefaultBarsThemeAndAnimation)
{
    CMainFrame& frame = Frame();
    EXPECT_TRUE(frame.GetMenuBar().IsDockedAtTop());
    EXPECT_TRUE(frame.GetToolBar().IsDockedAtTop());
    EXPECT_TRUE(frame.GetHistoryBar().IsDockedAtRight());
    EXPECT_TRUE(frame.GetLogBar().IsDockedAtRight());
    EXPECT_EQ(frame.GetToolBar().GetDlgCtrlID(), AFX_IDW_TOOLBAR);
    EXPECT_EQ(CMainFrame::GetTheme(), CMainFrame::ThemeStudio2005);
    EXPECT_EQ(g_nCheckBoxSkin, 2);
    EXPECT_EQ(CExtPopupBaseWnd::g_nDefaultAnimationKind, 4);
    EXPECT_EQ(CExtControlBar::g_nDockingStyle, 0);
    // the projects bar waits at the bottom for a second project
    EXPECT_TRUE(frame.GetProjectTabs().IsVisibleFlag());
    EXPECT_EQ(frame.GetProjectTabs().GetOrientation(), CExtTabWnd::OrientationBottom);
    EXPECT_FALSE(frame.GetProjectTabs().IsWindowVisible());

    frame.ShowWindow(SW_RESTORE);
    frame.SetWindowPos(nullptr, 0, 0, 200, 100, SWP_NOZORDER | SWP_NOMOVE);
    CRect rc;
    frame.GetWindowRect(&rc);
    EXPECT_EQ(rc.Width(), 640);
    EXPECT_EQ(rc.Height(), 480);
}

TEST_F(MainFrameTest, ThemesComeFromTheViewMenuAndAreRememberedAtClose)
{
    const struct
    {
        UINT nCommand;
        int nTheme;
        int nCheckBoxSkin;
        const char* pszShot;
    } cases[] = {
        {ID_THEME_OFFICE2000, 1, 0, "main_frame_office2000.png"},
        {ID_THEME_OFFICEXP, 2, 1, "main_frame_officexp.png"},
        {ID_THEME_OFFICE2003, 3, 2, "main_frame_office2003.png"},
        {ID_THEME_STUDIO2005, 4, 2, "main_frame_studio2005.png"},
    };
    Frame().SetWindowPos(nullptr, 0, 0, 800, 600, SWP_NOZORDER);
    for (const auto& c : cases)
    {
        Command(c.nCommand);
        EXPECT_EQ(CMainFrame::GetTheme(), c.nTheme);
        EXPECT_EQ(g_nCheckBoxSkin, c.nCheckBoxSkin);
        // the current theme again changes nothing
        CExtPaintManager* pInstalled = g_PaintManager.GetPM();
        Command(c.nCommand);
        EXPECT_EQ(g_PaintManager.GetPM(), pInstalled);
        kxgui::SaveArtifact(kxgui::CaptureScreen(Frame().m_hWnd, false), c.pszShot);
    }
    Command(ID_THEME_OFFICEXP);
    Command(ID_DOCKING_STUDIO2005);
    Command(ID_MENU_ANIMATION_FIRST + 7);
    Command(ID_PROJECTS_BAR_LEFT);
    Frame().SendMessage(WM_CLOSE);
    EXPECT_EQ(Setting("MF_PM"), 2);
    EXPECT_EQ(Setting("MF_DT"), 1);
    EXPECT_EQ(Setting("MF_MA"), 7);
    EXPECT_EQ(Setting("MF_PTV"), 1);
    EXPECT_EQ(Setting("MF_PTO"), CExtTabWnd::OrientationLeft);
}

TEST_F(MainFrameTest, MenusAreTrimmedAndTheWindowMenuOffersTheWindowsList)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_PROJECTTYPE));
    CExtPopupMenuWnd* pFile = new CExtPopupMenuWnd;
    ASSERT_TRUE(pFile->CreatePopupMenu(Frame().m_hWnd));
    ASSERT_TRUE(pFile->UpdateFromMenu(::GetSubMenu(menu.GetSafeHmenu(), 0)));
    std::vector<std::string> file = Prepared(*pFile);
    EXPECT_EQ(std::count(file.begin(), file.end(), "&New project"), 0);
    EXPECT_EQ(std::count(file.begin(), file.end(), "&Open project..."), 1);
    pFile->DestroyWindow();

    CExtPopupMenuWnd* pTools = new CExtPopupMenuWnd;
    ASSERT_TRUE(pTools->CreatePopupMenu(Frame().m_hWnd));
    ASSERT_TRUE(pTools->ItemInsertCommand(ID_APP_OPTIONS, -1, "&Options..."));
    ASSERT_TRUE(pTools->ItemInsertSpecPopup(new CExtPopupMenuWnd, -1, "&Debug..."));
    ASSERT_TRUE(pTools->ItemInsertCommand(32856, -1, "Player Settings..."));
    ASSERT_TRUE(pTools->ItemInsert(0));
    ASSERT_TRUE(pTools->ItemInsertCommand(ID_APP_ABOUT, -1, "&About Kestrelux..."));
    ASSERT_TRUE(pTools->ItemInsertCommand(ID_HELP_MANUAL, -1, "&Download user manual ..."));
    EXPECT_EQ(Prepared(*pTools), (std::vector<std::string>{"&Options...", "About Kestrelux"}));
    pTools->DestroyWindow();

    // four open windows: a separator and the list after the last of them
    CExtPopupMenuWnd* pWindow = new CExtPopupMenuWnd;
    ASSERT_TRUE(pWindow->CreatePopupMenu(Frame().m_hWnd));
    ASSERT_TRUE(pWindow->ItemInsertCommand(ID_WINDOW_CASCADE, -1, "&Cascade"));
    ASSERT_TRUE(pWindow->ItemInsert(0));
    for (UINT i = 0; i < 4; ++i)
        ASSERT_TRUE(pWindow->ItemInsertCommand(0xFF00 + i, -1, "&1 Project"));
    std::vector<std::string> window = Prepared(*pWindow);
    ASSERT_EQ(window.size(), 8u);
    EXPECT_EQ(window[6], "-");
    EXPECT_EQ(window[7], "Windows...");
    pWindow->DestroyWindow();

    // past nine windows the list takes the place of "more windows"
    pWindow = new CExtPopupMenuWnd;
    ASSERT_TRUE(pWindow->CreatePopupMenu(Frame().m_hWnd));
    ASSERT_TRUE(pWindow->ItemInsertCommand(ID_WINDOW_CASCADE, -1, "&Cascade"));
    ASSERT_TRUE(pWindow->ItemInsert(0));
    ASSERT_TRUE(pWindow->ItemInsertCommand(0xFF09, -1, "More Windows"));
    EXPECT_EQ(Prepared(*pWindow), (std::vector<std::string>{"&Cascade", "-", "Windows..."}));
    pWindow->DestroyWindow();
}

TEST_F(MainFrameTest, ACancelledCloseStoresTheSettingsAndKeepsTheLog)
{
    CDocument* pDoc = m_stage.app.GetDocTemplate()->OpenDocumentFile(nullptr, TRUE);
    ASSERT_NE(pDoc, nullptr);
    pDoc->SetModifiedFlag(TRUE);
    {
        kxgui::DialogAnswerer answerer(IDCANCEL);
        Frame().SendMessage(WM_CLOSE);
    }
    ASSERT_NE(m_stage.app.m_pMainWnd, nullptr);
    for (const char* pszEntry :
         {"MF_X", "MF_Y", "MF_W", "MF_H", "MF_MX", "MF_PTV", "MF_PTO", "MF_PM", "MF_MA", "MF_DT"})
        EXPECT_NE(Setting(pszEntry), -99) << pszEntry;
    HKEY hKey = nullptr;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brannwick\\Kestrelux\\Quorbis\\Profiles\\Kestrelux", 0,
                              KEY_READ, &hKey),
              ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    // the program runs on with its log
    EXPECT_EQ(g_pLog, static_cast<CDvdLog*>(&GetLogPane()));
    pDoc->SetModifiedFlag(FALSE);
    Frame().SendMessage(WM_CLOSE);
    EXPECT_EQ(g_pLog, nullptr);
    m_stage.app.m_pMainWnd = nullptr;
}

} // namespace
