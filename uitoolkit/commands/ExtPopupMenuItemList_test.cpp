// The item list operations of a popup menu: positions of insertion, removal,
// separators, command targets over sub-menu levels, own items with icons and
// the flag setters.
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

using MENUITEMDATA = CExtPopupMenuWnd::MENUITEMDATA;

const char* const kProfile = "popup-item-list-test";

class PopupMenuItemListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_PaintManager.InstallPaintManager(nullptr);
        m_pFrame = new CFrameWnd;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "items", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200)));
        ASSERT_TRUE(g_CmdManager->SetupProfile(kProfile, m_pFrame->GetSafeHwnd()));
        for (UINT nID = 100; nID <= 103; ++nID)
        {
            CExtCmdItem* pCmd = g_CmdManager->NewCommand(kProfile, nID);
            ASSERT_NE(pCmd, nullptr);
            pCmd->m_sMenuText.Format("Command &%u", nID - 100);
        }
        ASSERT_TRUE(m_menu.CreatePopupMenu(Target()));
        // the commands are unused: shown all the same
        m_menu.TrackFlagsSet(CExtPopupMenuWnd::TRACK_SHOW_ALL);
    }
    void TearDown() override
    {
        m_menu.ItemRemove(-1);
        g_CmdManager->DetachWindowFromProfile(m_pFrame->GetSafeHwnd(), true);
        m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    HWND Target() const { return m_pFrame->GetSafeHwnd(); }
    CString Ids(const CExtPopupMenuWnd& menu) const
    {
        CString s;
        for (int i = 0; i < menu.ItemGetCount(); ++i)
        {
            CString sId;
            sId.Format("%s%d", i > 0 ? "," : "", static_cast<int>(menu.ItemGetCmdID(i)));
            s += sId;
        }
        return s;
    }

    CWinApp m_app{"Kestrelux"};
    CFrameWnd* m_pFrame = nullptr;
    CExtPopupMenuWnd m_menu;
};

TEST_F(PopupMenuItemListTest, InsertPositionsAppendOrFail)
{
    EXPECT_TRUE(m_menu.ItemInsert(100, -1));
    EXPECT_EQ(m_menu.GetItemAt(0).m_nItemIndex, 0);
    EXPECT_TRUE(m_menu.ItemInsert(101, 1));  // the count: appends
    EXPECT_FALSE(m_menu.ItemInsert(102, 3)); // past the end
    EXPECT_TRUE(m_menu.ItemInsert(0, 0));
    EXPECT_FALSE(m_menu.ItemInsert(999)); // unknown to the command manager
    EXPECT_STREQ(Ids(m_menu), "0,100,101");
    for (int i = 0; i < m_menu.ItemGetCount(); ++i)
        EXPECT_EQ(m_menu.GetItemAt(i).m_nItemIndex, i);

    EXPECT_STREQ(m_menu.ItemGetText(1), "Command &0");
    EXPECT_STREQ(m_menu.ItemGetText(0), "");
    EXPECT_EQ(m_menu.ItemGetCmdID(m_menu.ItemGetCount()), 0u);
    EXPECT_EQ(m_menu.ItemFindPosForCmdID(101), 2);
    EXPECT_EQ(m_menu.ItemFindPosForCmdID(101, 2), -1);
    EXPECT_THROW(m_menu.GetItemAt(3), CNotSupportedException*);

    EXPECT_TRUE(m_menu.ItemInsert(CExtPopupMenuWnd::CMD_POPUP, -1, "&Sub\tF2"));
    EXPECT_STREQ(m_menu.ItemGetText(3), "&Sub");
    EXPECT_STREQ(m_menu.ItemGetAccelText(3), "F2");
    ASSERT_NE(m_menu.ItemGetPopup(3), nullptr);
    EXPECT_EQ(m_menu.ItemGetPopup(3)->GetParentMenu(), &m_menu);
    EXPECT_EQ(m_menu.ItemGetPopup(1), nullptr);

    EXPECT_TRUE(m_menu.ItemRemove(-1));
    EXPECT_EQ(m_menu.ItemGetCount(), 0);
    EXPECT_FALSE(m_menu.ItemRemove(0));
}

TEST_F(PopupMenuItemListTest, SeparatorsGoAndTheLayoutRunsOnlyWhenSomethingWent)
{
    ASSERT_TRUE(m_menu.ItemInsert(100));
    ASSERT_TRUE(m_menu.ItemInsert(101));
    // a shown flag the layout would set again tells whether it ran
    m_menu.GetItemAt(0).SetStateBit(MENUITEMDATA::STATE_DISPLAYED, false);
    EXPECT_EQ(m_menu.ItemRemoveAllSeparators(), 0);
    EXPECT_FALSE(m_menu.ItemIsDisplayed(0));

    ASSERT_TRUE(m_menu.ItemInsert(0, 1));
    ASSERT_TRUE(m_menu.ItemInsert(0, 0));
    m_menu.GetItemAt(1).SetStateBit(MENUITEMDATA::STATE_DISPLAYED, false);
    EXPECT_EQ(m_menu.ItemRemoveAllSeparators(), 2);
    EXPECT_STREQ(Ids(m_menu), "100,101");
    EXPECT_TRUE(m_menu.ItemIsDisplayed(0));
    EXPECT_EQ(m_menu.GetItemAt(1).m_nItemIndex, 1);
}

TEST_F(PopupMenuItemListTest, CommandTargetReachesTwoLevels)
{
    ASSERT_TRUE(m_menu.ItemInsert(100));
    ASSERT_TRUE(m_menu.ItemInsert(CExtPopupMenuWnd::CMD_POPUP, -1, "one"));
    CExtPopupMenuWnd* pOne = m_menu.ItemGetPopup(1);
    ASSERT_TRUE(pOne->ItemInsertCommand(200, -1, "level one"));
    ASSERT_TRUE(pOne->ItemInsert(CExtPopupMenuWnd::CMD_POPUP, -1, "two"));
    CExtPopupMenuWnd* pTwo = pOne->ItemGetPopup(1);
    ASSERT_TRUE(pTwo->ItemInsertCommand(300, -1, "level two"));

    const HWND hWndOther = ::GetDesktopWindow();
    m_menu.SetCmdTargetToAllItems(hWndOther, false);
    EXPECT_EQ(m_menu.GetItemAt(0).m_hWndSpecCmdReceiver, hWndOther);
    EXPECT_EQ(pOne->GetItemAt(0).m_hWndSpecCmdReceiver, hWndOther);
    EXPECT_EQ(m_menu.GetItemAt(1).m_hWndSpecCmdReceiver, Target()); // sub-menu items keep theirs
    EXPECT_EQ(pTwo->GetItemAt(0).m_hWndSpecCmdReceiver, Target());
}

TEST_F(PopupMenuItemListTest, OwnItemsWithAndWithoutIcons)
{
    EXPECT_TRUE(m_menu.InsertItemWithIcon(500, -1, "&Plain", "Ctrl+P", nullptr, true, 3));
    const MENUITEMDATA& plain = m_menu.GetItemAt(0);
    EXPECT_TRUE(plain.IsOwnItem());
    EXPECT_TRUE(plain.m_iconPopup.IsEmpty());
    EXPECT_EQ(m_menu.ItemGetIcon(0), nullptr);
    EXPECT_TRUE(plain.IsRadio());
    EXPECT_EQ(plain.GetMnemonic(), 'P');
    EXPECT_TRUE(m_menu.ItemIsDisplayed(0));

    HICON hIcon = ::LoadIcon(nullptr, IDI_APPLICATION);
    EXPECT_TRUE(m_menu.InsertItemWithIcon(501, -1, "Icon", nullptr, hIcon, true, 1));
    EXPECT_NE(m_menu.ItemGetIcon(1), nullptr);
    EXPECT_TRUE(m_menu.GetItemAt(1).IsChecked());
    EXPECT_TRUE(m_menu.ItemSetPopupIcon(1, nullptr));
    EXPECT_EQ(m_menu.ItemGetIcon(1), nullptr);

    ASSERT_TRUE(m_menu.ItemInsert(100));
    EXPECT_FALSE(m_menu.ItemSetPopupIcon(2, hIcon)); // a command item's icon is the command's

    auto* pSpec = new CExtPopupMenuWnd;
    ASSERT_TRUE(pSpec->CreatePopupMenu(nullptr));
    EXPECT_TRUE(m_menu.ItemInsertSpecPopup(pSpec, 0, "Spec\tAlt+S", hIcon));
    EXPECT_FALSE(pSpec->IsRoot());
    EXPECT_EQ(pSpec->GetParentMenu(), &m_menu);
    EXPECT_EQ(pSpec->GetCmdTargetWnd(), Target());
    EXPECT_STREQ(m_menu.ItemGetAccelText(0), "Alt+S");
    EXPECT_NE(m_menu.ItemGetIcon(0), nullptr);
    EXPECT_TRUE(m_menu.ItemRemove(0)); // removes and deletes the sub-menu
    EXPECT_EQ(m_menu.ItemGetCount(), 3);
}

TEST_F(PopupMenuItemListTest, FlagSettersIgnoreBadIndices)
{
    ASSERT_TRUE(m_menu.ItemInsert(100));
    ASSERT_TRUE(m_menu.ItemInsert(0));
    ASSERT_TRUE(m_menu.ItemInsert(CExtPopupMenuWnd::CMD_POPUP));

    m_menu.ItemSetDefaultCommand(0, true);
    EXPECT_TRUE(m_menu.ItemIsDefaultCommand(0));
    EXPECT_TRUE(m_menu.ItemIsDefault(0));
    m_menu.ItemSetDefaultCommand(0, false);
    EXPECT_FALSE(m_menu.ItemIsDefault(0));

    m_menu.ItemEnable(0, false);
    EXPECT_FALSE(m_menu.ItemIsEnabled(0));
    EXPECT_FALSE(m_menu.ItemIsEnabled(1));
    m_menu.ItemEnable(2, false);
    EXPECT_TRUE(m_menu.ItemIsEnabled(2)); // sub-menu items are always enabled

    m_menu.ItemSetWrap(0);
    m_menu.ItemSetMarked(0);
    m_menu.ItemSetToolButton(0);
    EXPECT_TRUE(m_menu.ItemIsWrap(0) && m_menu.ItemIsMarked(0) && m_menu.ItemIsToolButton(0));

    const int nBad[] = {-1, 3, 100};
    for (int n : nBad)
    {
        EXPECT_NO_THROW(m_menu.ItemSetDisplayed(n, true)) << n;
        m_menu.ItemSetWrap(n);
        m_menu.ItemSetDefault(n);
        m_menu.ItemEnable(n);
        EXPECT_FALSE(m_menu.ItemIsDisplayed(n) || m_menu.ItemIsWrap(n) || m_menu.ItemIsDefault(n)) << n;
        EXPECT_FALSE(m_menu.ItemSetPopupText(n, "x")) << n;
        EXPECT_EQ(m_menu.ItemGetIcon(n), nullptr) << n;
    }
    EXPECT_STREQ(Ids(m_menu), "100,0,-1");

    m_menu.GetItemAt(0).SetStateBit(MENUITEMDATA::STATE_DISPLAYED, false);
    m_menu.ItemSetDisplayed(0, true);
    EXPECT_TRUE(m_menu.ItemIsDisplayed(0));
    EXPECT_FALSE(m_menu.CreatePopupMenu(Target())); // already a root
}

} // namespace
