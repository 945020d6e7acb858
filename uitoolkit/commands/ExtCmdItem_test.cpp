// Command items: state bits, tip texts from the tests' string table, usage
// statistics within a profile, delivery to a window and the update from a
// command target's ON_UPDATE_COMMAND_UI handler.
#include "uitoolkit/commands/ExtCmdItem.h"

#include "framework/win/AfxMsg.h"
#include "framework/win/Wnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/commands/ExtCmdProfile.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

TEST(ExtCmdItem, NewItemAndSpecialIds)
{
    CExtCmdItem item(100);
    EXPECT_EQ(item.m_nIconIdx, -1);
    EXPECT_TRUE(item.GetDisplayText().IsEmpty());
    EXPECT_EQ(item.GetUsageCount(), 0u);
    EXPECT_TRUE(item.IsEnabled());
    EXPECT_FALSE(item.IsChecked() || item.IsRadio() || item.IsIndeterminate());
    EXPECT_FALSE(item.IsBasicCommand());
    EXPECT_EQ(item.m_nParams[0], 0);
    EXPECT_EQ(item.m_nParams[1], 100);
    EXPECT_EQ(item.m_nParams[2], -2);
    EXPECT_EQ(item.m_nParams[3], 250);

    for (UINT id : {0xE110u, 0xE11Fu, 0xE210u, 0xE21Fu, 0xF000u, 0xF1EFu, 0xFF00u, 0xFF09u})
    {
        CExtCmdItem special(id);
        special.SetUsageFrozen(true);
        EXPECT_TRUE(special.IsBasicCommand()) << std::hex << id;
        EXPECT_FALSE(special.IsUsageFrozen()) << std::hex << id;
    }
    for (UINT id : {0xE120u, 0xF1F0u, 0xFF0Au, 0xE10Fu})
        EXPECT_FALSE(CExtCmdItem(id).IsBasicCommand()) << std::hex << id;
}

TEST(ExtCmdItem, CheckStatesExcludeEachOther)
{
    CExtCmdItem item(100);
    item.SetCheck(true);
    item.SetRadio(true);
    EXPECT_TRUE(item.IsRadio());
    EXPECT_FALSE(item.IsChecked());
    item.SetIndeterminate(true);
    EXPECT_TRUE(item.IsIndeterminate());
    EXPECT_FALSE(item.IsRadio());
    item.SetCheck(false);
    EXPECT_EQ(item.m_dwStateFlags & CExtCmdItem::kStateCheckMask, 0u);
    item.Enable(false);
    EXPECT_FALSE(item.IsEnabled());
    EXPECT_EQ(item.m_dwStateFlags, DWORD(CExtCmdItem::kStateDisabled));
}

TEST(ExtCmdItem, FlagsTouchOnlyTheirBits)
{
    CExtCmdItem item(100);
    item.SetStateFlag7(true);
    item.SetStateFlag29(true);
    item.SetStateFlag21(true);
    EXPECT_EQ(item.m_dwStateFlags, 0x80u | 0x20000000u | 0x200000u);
    item.SetStateFlag29(false);
    EXPECT_EQ(item.m_dwStateFlags, 0x80u | 0x200000u);
    item.m_dwStateFlags = 0;

    item.SetFlagGroupB(true);
    EXPECT_EQ(item.m_dwStateFlags, 0x1400u);
    EXPECT_TRUE(item.IsFlagGroupA()); // A's bit is part of B and C
    EXPECT_TRUE(item.IsFlagGroupB());
    EXPECT_FALSE(item.IsFlagGroupC());
    item.SetFlagGroupC(true);
    EXPECT_EQ(item.m_dwStateFlags, 0x10000400u);
    EXPECT_FALSE(item.IsFlagGroupB());
    item.SetFlagGroupA(false);
    EXPECT_EQ(item.m_dwStateFlags, 0u);

    item.SetExtraFlag0(true);
    EXPECT_EQ(item.m_dwExStateFlags, 1u);
    EXPECT_EQ(item.m_dwStateFlags, 0u);
}

TEST(ExtCmdItem, TextsAndCopies)
{
    CExtCmdItem item(100);
    item.m_sToolbarText = "Bar";
    EXPECT_STREQ(item.GetDisplayText(), "Bar");
    item.m_sTipTool = "Tip";
    EXPECT_STREQ(item.GetText(), "Tip");
    item.m_sMenuText = "&Menu";
    EXPECT_STREQ(item.GetDisplayText(), "&Menu");

    CExtCmdItem other(100);
    other.m_nIconIdx = 3;
    other.m_sTipStatus = "Status";
    other.m_sToolbarText = "Other bar";
    item.FillGapsFromOther(other);
    EXPECT_EQ(item.m_nIconIdx, 3);
    EXPECT_STREQ(item.GetStatusText(), "Status");
    EXPECT_STREQ(item.m_sToolbarText, "Bar"); // never filled this way
    other.m_nIconIdx = -1;
    other.m_sMenuText = "&Other";
    item.ReplaceFromOther(other);
    EXPECT_EQ(item.m_nIconIdx, 3);
    EXPECT_STREQ(item.m_sMenuText, "&Other");
    EXPECT_STREQ(item.m_sToolbarText, "Other bar");
    EXPECT_STREQ(item.m_sTipTool, "Tip");

    CExtCmdProfile profile("p");
    item.m_pProfile = &profile;
    item.m_nUsageTickCount = 9;
    item.SetCheck(true);
    CExtCmdItem copy(item);
    EXPECT_EQ(copy.m_pProfile, &profile);
    EXPECT_EQ(copy.m_nUsageTickCount, 9u);
    EXPECT_TRUE(copy.IsChecked());
    EXPECT_STREQ(copy.m_sAccelText, item.m_sAccelText);
}

TEST(ExtCmdItem, TipTextsFromTheStringTable)
{
    struct Case
    {
        UINT id;
        bool ok;
        const char* status;
        const char* tip;
    };
    const Case cases[] = {
        {100, true, "Create a document", "New"},
        {101, true, "Open a document", "Open"},
        {102, true, "Only a prompt", ""},
        {103, false, "", ""}, // blanks only
        {0x7399, false, "", ""},
        {0, false, "", ""},
        {0x80000000u, false, "", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.id);
        CExtCmdItem item(c.id);
        item.m_sTipTool = "old";
        item.m_sTipStatus = "old";
        EXPECT_EQ(item.LoadTipTexts(), c.ok);
        EXPECT_STREQ(item.m_sTipStatus, c.status);
        EXPECT_STREQ(item.m_sTipTool, c.tip);
    }
}

TEST(ExtCmdItem, UsageStatistics)
{
    CExtCmdProfile profile("usage");
    CExtCmdItem* a = profile.NewCommand(100);
    CExtCmdItem* b = profile.NewCommand(101);
    CExtCmdItem* basic = profile.NewCommand(0xF060);
    ASSERT_TRUE(a && b && basic);

    // nothing counted yet: every ordinary command is rarely used
    EXPECT_EQ(a->GetUsagePercent(), 0u);
    EXPECT_TRUE(a->IsRarelyUsed());
    EXPECT_FALSE(basic->IsRarelyUsed());

    a->IncrementUsage();
    a->IncrementUsage();
    b->IncrementUsage();
    basic->IncrementUsage();
    EXPECT_EQ(profile.m_nTotalTickCount, 3u);
    EXPECT_EQ(basic->GetUsageCount(), 0u);
    EXPECT_EQ(a->GetUsagePercent(), 66u);
    b->SetUsageFrozen(true);
    b->IncrementUsage();
    b->ResetUsage();
    EXPECT_EQ(b->GetUsageCount(), 1u);

    // far beyond where 32-bit arithmetic wraps
    profile.m_nTotalTickCount = 100000000;
    a->m_nUsageTickCount = 50000000;
    EXPECT_EQ(a->GetUsagePercent(), 50u);
    a->m_nUsageTickCount = 4000000;
    EXPECT_EQ(a->GetUsagePercent(), 4u);
    EXPECT_TRUE(a->IsRarelyUsed());
    EXPECT_EQ(a->SetRarelyUsedPercent(150), 100u);
    EXPECT_EQ(profile.m_nRarelyUsedPercent, 100u);
    EXPECT_EQ(b->GetRarelyUsedPercent(), 100u);
    a->SetRarelyUsedPercent(3);
    EXPECT_FALSE(a->IsRarelyUsed());

    // reaching 0xFFFFFFFE halves the total and every counter at once
    profile.m_nTotalTickCount = 0xFFFFFFFD;
    a->m_nUsageTickCount = 10;
    b->m_nUsageTickCount = 7;
    a->IncrementUsage();
    EXPECT_EQ(profile.m_nTotalTickCount, 0x7FFFFFFFu);
    EXPECT_EQ(a->GetUsageCount(), 5u);
    EXPECT_EQ(b->GetUsageCount(), 3u);
}

// Records the commands it receives; answers 1 so that a sent one counts as
// delivered.
std::vector<MSG> g_received;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || message == WM_SYSCOMMAND)
    {
        g_received.push_back(MSG{hWnd, message, wParam, lParam, 0, {}});
        return 1;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST(ExtCmdItem, DeliverSendsOrPostsTheCommand)
{
    HWND hWnd = kxgui::CreateTestWindow(200, 100, "deliver", RecordingProc);
    ASSERT_NE(hWnd, nullptr);
    ::SetCursorPos(37, 41);
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    CExtCmdProfile profile("deliver");
    CExtCmdItem* command = profile.NewCommand(100);
    CExtCmdItem* close = profile.NewCommand(0xF060);
    for (bool send : {true, false})
    {
        SCOPED_TRACE(send ? "sent" : "posted");
        g_received.clear();
        EXPECT_TRUE(command->Deliver(hWnd, send));
        EXPECT_TRUE(close->Deliver(hWnd, send));
        kxgui::PumpUntilIdle();
        ASSERT_EQ(g_received.size(), 2u);
        EXPECT_EQ(g_received[0].message, UINT(WM_COMMAND));
        EXPECT_EQ(g_received[0].wParam, 100u);
        EXPECT_EQ(g_received[0].lParam, 0);
        EXPECT_EQ(g_received[1].message, UINT(WM_SYSCOMMAND));
        EXPECT_EQ(g_received[1].wParam, 0xF060u);
        EXPECT_EQ(g_received[1].lParam, MAKELPARAM(cursor.x, cursor.y));
    }
    EXPECT_EQ(command->GetUsageCount(), 2u);
    EXPECT_FALSE(command->Deliver(nullptr, true));
    EXPECT_FALSE(command->DeliverToWindow(nullptr, false));
    EXPECT_EQ(command->GetUsageCount(), 2u);

    // from a window: to its owner, else its parent
    CWnd child;
    ASSERT_TRUE(
        child.CreateEx(0, AfxRegisterWndClass(0), "child", WS_CHILD, CRect(0, 0, 10, 10), CWnd::FromHandle(hWnd), 1));
    g_received.clear();
    EXPECT_TRUE(command->DeliverFromWindow(&child, true));
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].hwnd, hWnd);
    EXPECT_FALSE(command->DeliverFromWindow(nullptr, true));
    child.DestroyWindow();
    ::DestroyWindow(hWnd);
}

class CDisablingTarget : public CCmdTarget
{
protected:
    afx_msg void OnUpdateOpen(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnUpdateNew(CCmdUI* pCmdUI)
    {
        pCmdUI->SetCheck(2);
        pCmdUI->SetText("&Renamed");
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDisablingTarget, CCmdTarget)
ON_UPDATE_COMMAND_UI(101, OnUpdateOpen)
ON_UPDATE_COMMAND_UI(100, OnUpdateNew)
END_MESSAGE_MAP()

TEST(ExtCmdItem, UpdateFromCmdTarget)
{
    CDisablingTarget target;
    CExtCmdItem open(101);
    EXPECT_TRUE(open.UpdateFromCmdTarget(&target, 0));
    EXPECT_FALSE(open.IsEnabled());

    CExtCmdItem create(100);
    EXPECT_TRUE(create.UpdateFromCmdTarget(&target, 0));
    EXPECT_TRUE(create.IsIndeterminate());
    EXPECT_STREQ(create.m_sMenuText, "&Renamed");

    // no handler at all: no answer, and the item is disabled
    CExtCmdItem other(102);
    EXPECT_FALSE(other.UpdateFromCmdTarget(&target, 0));
    EXPECT_FALSE(other.IsEnabled());

    // system-menu and window-list ids are only enabled
    for (UINT id : {0xF060u, 0xFF03u})
    {
        CExtCmdItem system(id);
        system.Enable(false);
        EXPECT_TRUE(system.UpdateFromCmdTarget(&target, 0));
        EXPECT_TRUE(system.IsEnabled());
    }
}

} // namespace
