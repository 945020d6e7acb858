// The command manager: profiles by name, windows attached to them, the walk
// from a window to its profile through docked bars, and the relay of system
// notifications to the profiles.
#include "uitoolkit/commands/ExtCmdManager.h"

#include "framework/win/DockBar.h"
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

const UINT kIdBar = AFX_IDW_CONTROLBAR_FIRST + 61;

HWND MakeWindow()
{
    return kxgui::CreateTestWindow(50, 50, "attached");
}

TEST(ExtCmdManager, DefaultProfileAndSetup)
{
    CExtCmdManager manager;
    CExtCmdProfile* pDefault = manager.GetProfile(nullptr);
    ASSERT_NE(pDefault, nullptr);
    EXPECT_STREQ(pDefault->m_sName, "default");
    EXPECT_EQ(manager.GetProfile(""), pDefault);
    EXPECT_TRUE(manager.SetupProfile(nullptr, nullptr, nullptr));
    EXPECT_EQ(manager.GetProfile("default"), pDefault);
    EXPECT_EQ(manager.GetProfile("Default"), nullptr); // names keep their case

    // a given object is adopted for a new name only
    auto* pGiven = new CExtCmdProfile("its own name");
    EXPECT_TRUE(manager.SetupProfile("app", nullptr, pGiven));
    EXPECT_EQ(manager.GetProfile("app"), pGiven);
    std::unique_ptr<CExtCmdProfile> unused(new CExtCmdProfile("unused"));
    EXPECT_TRUE(manager.SetupProfile("app", nullptr, unused.get()));
    EXPECT_EQ(manager.GetProfile("app"), pGiven);

    // commands by profile name; null reaches "default"
    EXPECT_NE(manager.NewCommand(nullptr, 100), nullptr);
    EXPECT_EQ(manager.FindCommand("default", 100), manager.FindCommand(nullptr, 100));
    EXPECT_EQ(manager.FindCommand("nobody", 100), nullptr);
    EXPECT_EQ(manager.NewCommand("nobody", 100), nullptr);
    bool added = true;
    EXPECT_FALSE(manager.SetupCommand("nobody", CExtCmdItem(5), false, &added));
    EXPECT_FALSE(added);
    EXPECT_TRUE(manager.SetupCommand("app", CExtCmdItem(5), false, &added));
    EXPECT_TRUE(added);
    EXPECT_FALSE(manager.RemoveCommandsByFlags("nobody", 0x40));
    bool removed = false;
    EXPECT_TRUE(manager.RemoveCommand("app", 5, &removed));
    EXPECT_TRUE(removed);
    manager.ResetProfile(nullptr);
    EXPECT_EQ(manager.FindCommand(nullptr, 100), nullptr);
}

TEST(ExtCmdManager, ToolBarAndMenuByName)
{
    CExtCmdManager manager;
    UINT* pIds = nullptr;
    int nCount = 0;
    // only the low 16 bits of the resource name are the id
    ASSERT_TRUE(manager.LoadToolBarResourceCommands(nullptr, reinterpret_cast<LPCTSTR>(0x10007310), &pIds, &nCount));
    EXPECT_EQ(nCount, 3);
    delete[] pIds;
    EXPECT_NE(manager.GetCommandIcon(nullptr, 100), nullptr);
    EXPECT_TRUE(manager.LoadMenuResourceCommands(nullptr, 0x7320));
    EXPECT_STREQ(manager.FindCommand(nullptr, 102)->m_sAccelText, "Ctrl+F");
    EXPECT_FALSE(manager.LoadToolBarCommands("nobody", 0x7310));
    EXPECT_TRUE(manager.SetCommandIconFromHICON(nullptr, 100, nullptr, false));
    EXPECT_EQ(manager.GetCommandIcon(nullptr, 100), nullptr);
}

TEST(ExtCmdManager, WindowsAttachAndDetach)
{
    CExtCmdManager manager;
    HWND a = MakeWindow(), b = MakeWindow();
    ASSERT_TRUE(manager.SetupProfile("one", a));
    ASSERT_TRUE(manager.SetupProfile("two"));
    EXPECT_FALSE(manager.AttachWindowToProfile("missing", b));
    EXPECT_FALSE(manager.AttachWindowToProfile("two", nullptr));
    // an attached window keeps its first profile
    EXPECT_TRUE(manager.AttachWindowToProfile("two", a));
    EXPECT_STREQ(manager.GetWindowProfileName(a), "one");
    EXPECT_TRUE(manager.AttachWindowToProfile("one", b));
    EXPECT_EQ(manager.GetWindowProfileName(nullptr), nullptr);

    bool deleted = true;
    EXPECT_TRUE(manager.DetachWindowFromProfile(a, true, &deleted));
    EXPECT_FALSE(deleted);
    EXPECT_NE(manager.GetProfile("one"), nullptr);
    EXPECT_EQ(manager.GetWindowProfileName(a), nullptr);
    EXPECT_FALSE(manager.DetachWindowFromProfile(a, true, &deleted));
    EXPECT_FALSE(deleted);
    EXPECT_TRUE(manager.DetachWindowFromProfile(b, true, &deleted));
    EXPECT_TRUE(deleted);
    EXPECT_EQ(manager.GetProfile("one"), nullptr);

    // without deleteUnused the profile stays
    EXPECT_TRUE(manager.AttachWindowToProfile("two", a));
    EXPECT_TRUE(manager.DetachWindowFromProfile(a, false, &deleted));
    EXPECT_FALSE(deleted);
    EXPECT_NE(manager.GetProfile("two"), nullptr);
    ::DestroyWindow(a);
    ::DestroyWindow(b);
}

// A plain framework bar with one child window.
class CChildBar : public CControlBar
{
public:
    CWnd m_child;
    BOOL Create(CWnd* pParent, UINT nID)
    {
        m_dwStyle = CBRS_TOP;
        return CWnd::CreateEx(0, AfxRegisterWndClass(0), "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), pParent,
                              nID) &&
               m_child.CreateEx(0, AfxRegisterWndClass(0), "child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), this,
                                1);
    }
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? CSize(120, 24) : CSize(24, 120); }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
};

class CBarFrame : public CFrameWnd
{
public:
    CChildBar m_bar;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1 || !m_bar.Create(this, kIdBar))
            return -1;
        EnableDocking(CBRS_ALIGN_ANY);
        m_bar.EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_bar, AFX_IDW_DOCKBAR_LEFT);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(ExtCmdManager, ChildOfADockedBarResolvesToTheFrame)
{
    CExtCmdManager manager;
    auto* pFrame = new CBarFrame;
    ASSERT_TRUE(pFrame->Create(nullptr, "docked", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300)));
    kxgui::PumpUntilIdle();
    ASSERT_NE(pFrame->m_bar.m_pDockBar, nullptr);
    ASSERT_EQ(::GetParent(pFrame->m_bar.GetSafeHwnd()), pFrame->m_bar.m_pDockBar->GetSafeHwnd());
    ASSERT_TRUE(manager.SetupProfile("frame", pFrame->GetSafeHwnd()));
    // the dock bar itself is not attached: the walk goes bar -> frame
    manager.SetupProfile("dock", pFrame->m_bar.m_pDockBar->GetSafeHwnd());
    ASSERT_TRUE(manager.DetachWindowFromProfile(pFrame->m_bar.m_pDockBar->GetSafeHwnd()));
    EXPECT_STREQ(manager.GetWindowProfileName(pFrame->m_bar.m_child.GetSafeHwnd()), "frame");
    EXPECT_STREQ(manager.GetWindowProfileName(pFrame->m_bar.GetSafeHwnd()), "frame");
    // the walk passes over a bar to its frame, so a bar's own profile does
    // not reach its children
    ASSERT_TRUE(manager.SetupProfile("bar", pFrame->m_bar.GetSafeHwnd()));
    EXPECT_STREQ(manager.GetWindowProfileName(pFrame->m_bar.m_child.GetSafeHwnd()), "frame");
    EXPECT_STREQ(manager.GetWindowProfileName(pFrame->m_bar.GetSafeHwnd()), "bar");
    pFrame->DestroyWindow();
}

// Counts the notifications that reach it.
class CCountingProfile : public CExtCmdProfile
{
public:
    using CExtCmdProfile::CExtCmdProfile;
    int m_nColors = 0, m_nSettings = 0, m_nDisplays = 0, m_nThemes = 0;
    void OnSysColorChange() override { ++m_nColors; }
    void OnSettingChange(UINT, LPCTSTR) override { ++m_nSettings; }
    void OnDisplayChange(int, int, int) override { ++m_nDisplays; }
    void OnThemeChanged(WPARAM, LPARAM) override { ++m_nThemes; }
};

TEST(ExtCmdManager, HolderRelaysNotificationsToEveryProfile)
{
    ASSERT_NE(g_CmdManager->GetProfile("default"), nullptr);
    HWND hWnd = MakeWindow();
    auto* pProfile = new CCountingProfile("counting");
    ASSERT_TRUE(g_CmdManager->SetupProfile("counting", hWnd, pProfile));
    g_CmdManager.HandleSysColorChange(nullptr);
    g_CmdManager.HandleSettingChange(nullptr, 0, nullptr);
    g_CmdManager.HandleDisplayChange(nullptr, 32, 800, 600);
    g_CmdManager.HandleThemeChanged(nullptr, 0, 0);
    EXPECT_EQ(pProfile->m_nColors + pProfile->m_nSettings + pProfile->m_nDisplays + pProfile->m_nThemes, 4);
    EXPECT_EQ(pProfile->m_nThemes, 1);
    bool deleted = false;
    EXPECT_TRUE(g_CmdManager->DetachWindowFromProfile(hWnd, true, &deleted));
    EXPECT_TRUE(deleted);
    ::DestroyWindow(hWnd);
}

} // namespace
