// Popup menus built from menu resources and handles: item records, their
// texts and sizes, the recent-file list, the document-window list, export
// back to a menu handle and the command-UI update.
#include "uitoolkit/commands/ExtPopupMenuWnd.h"

#include "framework/win/AfxMsg.h"
#include "framework/win/AfxRes.h"
#include "framework/win/MdiFrameWnd.h"
#include "framework/win/Menu.h"
#include "framework/win/RecentFileList.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

using MENUITEMDATA = CExtPopupMenuWnd::MENUITEMDATA;

const UINT kFileMenu = 0x7340;
const char* const kProfile = "popup-menu-test";

// Disables 100, handles 101, disables 104 too.
class CUpdateFrame : public CFrameWnd
{
public:
    afx_msg void OnUpdateDisable(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnOpen() {}
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CUpdateFrame, CFrameWnd)
ON_UPDATE_COMMAND_UI(100, OnUpdateDisable)
ON_UPDATE_COMMAND_UI(104, OnUpdateDisable)
ON_COMMAND(101, OnOpen)
END_MESSAGE_MAP()

class PopupMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_PaintManager.InstallPaintManager(nullptr);
        m_pFrame = new CUpdateFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "menus", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200)));
        ASSERT_TRUE(g_CmdManager->SetupProfile(kProfile, m_pFrame->GetSafeHwnd()));
    }
    void TearDown() override
    {
        delete m_app.m_pRecentFileList;
        m_app.m_pRecentFileList = nullptr;
        g_CmdManager->DetachWindowFromProfile(m_pFrame->GetSafeHwnd(), true);
        m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    HWND Target() const { return m_pFrame->GetSafeHwnd(); }
    static CString Joined(const CExtPopupMenuWnd& menu)
    {
        CString s;
        for (int i = 0; i < menu.ItemGetCount(); ++i)
        {
            const MENUITEMDATA& mi = menu.GetItemAt(i);
            s += (i > 0 ? "|" : "") + (mi.IsSeparator() ? CString("-") : mi.GetText());
        }
        return s;
    }

    CWinApp m_app{"Kestrelux"};
    CUpdateFrame* m_pFrame = nullptr;
};

TEST_F(PopupMenuTest, PopupTextSplitsIntoTextAcceleratorAndMnemonic)
{
    MENUITEMDATA mi;
    mi.SetCmdID(100);
    EXPECT_TRUE(mi.SetPopupText("&File\tCtrl+F"));
    EXPECT_STREQ(mi.GetText(), "&File");
    EXPECT_STREQ(mi.GetAccelText(), "Ctrl+F");
    mi.UpdateMnemonic();
    EXPECT_EQ(mi.GetMnemonic(), 'F');

    mi.SetPopupText("save&");
    mi.UpdateMnemonic();
    EXPECT_FALSE(mi.HasMnemonic());
    mi.SetPopupText("&open");
    mi.UpdateMnemonic();
    EXPECT_EQ(mi.GetMnemonic(), 'O'); // upper-cased

    MENUITEMDATA separator;
    separator.SetText("ignored");
    EXPECT_STREQ(separator.GetText(), "");
    separator.MeasureItem();
    EXPECT_EQ(separator.m_nWidth, 0);
    EXPECT_EQ(separator.m_nHeight, g_PaintManager->GetSeparatorHeight());
    int l = 0, t = 0, r = 0, b = 0;
    separator.GetMargins(&l, &t, &r, &b);
    EXPECT_EQ(l + t + r + b, 3);
    EXPECT_EQ(separator.GetFullHeight(), separator.m_nHeight + 1);
}

TEST_F(PopupMenuTest, BoldItemMeasuresFromTheMenuFont)
{
    MENUITEMDATA mi;
    mi.SetCmdID(0x7FFF0001); // no command: no icon
    mi.m_hWndSpecCmdReceiver = Target();
    mi.SetStateBit(MENUITEMDATA::STATE_DEFAULT, true);
    mi.SetPopupText("&Bold item");
    mi.MeasureItem();

    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, g_PaintManager->FontBold.GetSafeHandle());
    RECT rc = {0, 0, 0, 0};
    ::DrawTextA(hDC, "Bold item", -1, &rc, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
    const int tw = rc.right - rc.left, th = rc.bottom - rc.top;
    ASSERT_LE(th, 18);
    EXPECT_EQ(mi.m_nWidth, tw + 4 + 5 + 26 + 24 + 16);
    EXPECT_EQ(mi.m_nHeight, 22);
    EXPECT_EQ(mi.m_nIconAreaWidth, 24);
}

TEST_F(PopupMenuTest, ResourceMenuDropsDoubledSeparatorsAndInsertsRecentFiles)
{
    {
        CExtPopupMenuWnd menu;
        ASSERT_TRUE(menu.LoadMenu(Target(), kFileMenu));
        // no recent-file list: nothing in its place
        EXPECT_STREQ(Joined(menu), "&New|-|&Open...|&Help|&More");
        EXPECT_STREQ(menu.GetItemAt(0).GetAccelText(), "Ctrl+N");
        for (int i = 0; i < menu.ItemGetCount(); ++i)
            EXPECT_EQ(menu.GetItemAt(i).m_nItemIndex, i);
        const MENUITEMDATA& more = menu.GetItemAt(4);
        ASSERT_TRUE(more.IsPopup());
        ASSERT_NE(more.GetPopup(), nullptr);
        EXPECT_EQ(more.GetPopup()->GetParentMenu(), &menu);
        EXPECT_STREQ(Joined(*more.GetPopup()), "&File");
        EXPECT_TRUE(menu.IsRoot());
        EXPECT_FALSE(more.GetPopup()->IsRoot());
    }

    m_app.m_pRecentFileList = new CRecentFileList(0, "Recent File List", "File%d", 4);
    {
        CExtPopupMenuWnd menu;
        ASSERT_TRUE(menu.LoadMenu(Target(), kFileMenu));
        EXPECT_STREQ(Joined(menu), "&New|-|&Open...|&Help|&More"); // an empty list
    }
    m_app.m_pRecentFileList->Add("C:\\docs\\second.kxp");
    m_app.m_pRecentFileList->Add("C:\\docs\\first.kxp");
    CString sFirst, sSecond;
    ASSERT_TRUE(m_app.m_pRecentFileList->GetDisplayName(sFirst, 0, "C:\\elsewhere", 12, TRUE));
    ASSERT_TRUE(m_app.m_pRecentFileList->GetDisplayName(sSecond, 1, "C:\\elsewhere", 12, TRUE));
    CExtPopupMenuWnd menu;
    ASSERT_TRUE(menu.LoadMenu(Target(), kFileMenu));
    EXPECT_STREQ(Joined(menu), "&New|-|&Open...|&1 " + sFirst + "|&2 " + sSecond + "|-|&Help|&More");
    EXPECT_EQ(menu.GetItemAt(3).GetCmdID(), UINT(ID_FILE_MRU_FILE1));
    EXPECT_EQ(menu.GetItemAt(4).GetCmdID(), UINT(ID_FILE_MRU_FILE1 + 1));
    CExtCmdItem* pCmd = g_CmdManager->FindCommand(kProfile, ID_FILE_MRU_FILE1 + 1);
    ASSERT_NE(pCmd, nullptr);
    EXPECT_STREQ(pCmd->m_sToolbarText, "Recent file 2");
    EXPECT_STREQ(pCmd->m_sTipTool, "Recent file 2 (\"" + sSecond + "\")");
    EXPECT_STREQ(pCmd->m_sTipStatus, pCmd->m_sTipTool);

    // an own-item menu keeps the menu's own states and leaves the list out
    CMenu handle;
    ASSERT_TRUE(handle.LoadMenu(kFileMenu));
    CExtPopupMenuWnd own;
    ASSERT_TRUE(own.UpdateFromMenuHandle(Target(), handle.GetSafeHmenu(), true, true, true));
    EXPECT_STREQ(Joined(own), "&New|-|&Open...|&Help|&More");
    EXPECT_TRUE(own.GetItemAt(0).IsOwnItem());
    EXPECT_EQ(own.GetItemAt(0).GetCmd(), nullptr);
}

TEST_F(PopupMenuTest, ExportGivesEmptyOrDeepSubMenus)
{
    CExtPopupMenuWnd menu;
    ASSERT_TRUE(menu.LoadMenu(Target(), kFileMenu));
    for (bool bDeep : {false, true})
    {
        HMENU hMenu = menu.ExportToMenu(bDeep);
        ASSERT_NE(hMenu, nullptr);
        ASSERT_EQ(::GetMenuItemCount(hMenu), 5);
        char szText[64] = "";
        ::GetMenuStringA(hMenu, 0, szText, sizeof(szText), MF_BYPOSITION);
        EXPECT_STREQ(szText, "&New\tCtrl+N");
        EXPECT_EQ(::GetMenuItemID(hMenu, 2), 101u);
        HMENU hSub = ::GetSubMenu(hMenu, 4);
        ASSERT_NE(hSub, nullptr); // still alive: the parent owns it
        ASSERT_TRUE(::IsMenu(hSub));
        EXPECT_EQ(::GetMenuItemCount(hSub), bDeep ? 1 : 0);
        ::DestroyMenu(hMenu);
    }
}

TEST_F(PopupMenuTest, CmdUiUpdateFollowsTheHandlers)
{
    CExtPopupMenuWnd menu;
    ASSERT_TRUE(menu.LoadMenu(Target(), kFileMenu));
    MENUITEMDATA& help = menu.GetItemAt(3);
    help.SetStateBit(MENUITEMDATA::STATE_FORCE_ENABLED, true);
    MENUITEMDATA& more = menu.GetItemAt(4);
    const BYTE nMoreFlags = more.m_nExtraFlags;
    menu.UpdateCmdUI();
    EXPECT_FALSE(menu.GetItemAt(0).IsEnabled()); // Enable(FALSE)
    EXPECT_TRUE(menu.GetItemAt(2).IsEnabled());  // a command handler exists
    EXPECT_TRUE(help.IsEnabled());               // forced
    EXPECT_EQ(more.m_nExtraFlags, nMoreFlags);   // sub-menu items are left alone
    // the sub-menu's own item has no handler anywhere
    EXPECT_FALSE(more.GetPopup()->GetItemAt(0).IsEnabled());

    // a root menu tracked without updates keeps its states
    menu.GetItemAt(0).SetExtraBit(MENUITEMDATA::EXTRA_ENABLED, true);
    menu.TrackFlagsSet(CExtPopupMenuWnd::TRACK_NO_CMD_UI_UPDATE);
    menu.UpdateCmdUI();
    EXPECT_TRUE(menu.GetItemAt(0).IsEnabled());
}

TEST_F(PopupMenuTest, MoreWindowsAfterNineDocuments)
{
    auto* pMdi = new CMDIFrameWnd;
    ASSERT_TRUE(pMdi->Create(nullptr, "mdi", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 640, 480)));
    ASSERT_NE(pMdi->m_hWndMDIClient, nullptr);
    ASSERT_TRUE(g_CmdManager->SetupProfile(kProfile, pMdi->GetSafeHwnd()));
    CMDIChildWnd* pChildren[12] = {};
    for (int i = 0; i < 12; ++i)
    {
        CString sTitle;
        sTitle.Format("Doc %d", i);
        pChildren[i] = new CMDIChildWnd;
        ASSERT_TRUE(pChildren[i]->Create(nullptr, sTitle, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                                         CFrameWnd::rectDefault, pMdi));
    }
    // the framework shows a document once it is set up; a hidden one is
    // not listed
    for (int i = 1; i < 12; ++i)
        pChildren[i]->ShowWindow(SW_SHOW);
    pMdi->ShowWindow(SW_SHOW);
    pMdi->MDIActivate(pChildren[2]);
    kxgui::PumpUntilIdle();
    CWnd* pActive = pMdi->MDIGetActive();
    ASSERT_NE(pActive, nullptr);

    CExtPopupMenuWnd menu;
    ASSERT_TRUE(menu.UpdateFromMenu(nullptr));
    MENUITEMDATA first;
    ASSERT_TRUE(menu.ItemInsertRecord(first)); // a separator: no second one
    ASSERT_TRUE(menu.AddMoreWindowsItems(pMdi));
    ASSERT_EQ(menu.ItemGetCount(), 1 + 9 + 1 + 1); // 11 visible documents
    int nRadio = 0;
    for (int i = 1; i <= 9; ++i)
    {
        const MENUITEMDATA& mi = menu.GetItemAt(i);
        EXPECT_EQ(mi.GetText().Left(3), CString("&") + char('0' + i) + " ") << i;
        EXPECT_TRUE(CExtCmdItem::IsMdiWindowListCmdID(mi.GetCmdID()));
        HWND hChild = ::GetDlgItem(pMdi->m_hWndMDIClient, static_cast<int>(mi.GetCmdID()));
        EXPECT_EQ(mi.IsRadio(), hChild == pActive->GetSafeHwnd()) << i;
        nRadio += mi.IsRadio() ? 1 : 0;
    }
    EXPECT_EQ(nRadio, 1);
    EXPECT_TRUE(menu.GetItemAt(10).IsSeparator());
    EXPECT_EQ(menu.GetItemAt(11).GetCmdID(), 0xFF09u);
    EXPECT_STREQ(menu.GetItemAt(11).GetText(), "More Windows");

    // without an MDI frame there is nothing to list
    CExtPopupMenuWnd plain;
    EXPECT_FALSE(plain.AddMoreWindowsItems(m_pFrame));
    g_CmdManager->DetachWindowFromProfile(pMdi->GetSafeHwnd());
    pMdi->DestroyWindow();
}

} // namespace
