// Command profiles: ids, icons and their renumbering, loading from the
// tests' menu and tool-bar resources and from a live tool bar, and the usage
// statistics in an archive and in the registry.
#include "uitoolkit/commands/ExtCmdProfile.h"

#include "Shared/platform/PlatformTime.h"
#include "Shared/source/RegistryKey.h"
#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/Menu.h"
#include "framework/win/ToolBar.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/core/ExtBitmapRoutines.h"
#include "uitoolkit/paint/ExtCmdIcon.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{

const UINT kToolBar = 0x7310;            // 100, separator, 101 over three 16 x 15 images
const UINT kOverclaimedToolBar = 0x7311; // claims nine buttons, holds three
const UINT kMenu = 0x7320;

// An icon of one colour, so that tests can tell icons apart.
CExtCmdIcon* SolidIcon(COLORREF color)
{
    auto* pIcon = new CExtCmdIcon;
    COLORREF* pPixels = nullptr;
    EXPECT_TRUE(pIcon->CreateEmpty(RGB(255, 0, 255), 4, 4, &pPixels));
    for (int i = 0; i < 16; ++i)
        pPixels[i] = CExtBitmapRoutines::ColorRefToPixel(color);
    return pIcon;
}

COLORREF CornerOf(CExtCmdIcon* pIcon)
{
    HBITMAP hBitmap = nullptr;
    COLORREF clrKey = 0;
    if (pIcon == nullptr || !pIcon->ExtractBitmap(hBitmap, clrKey))
        return CLR_INVALID;
    HDC hDC = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    COLORREF color = ::GetPixel(hDC, 0, 0);
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    ::DeleteObject(hBitmap);
    return color;
}

TEST(ExtCmdProfile, NewCommandIds)
{
    CExtCmdProfile profile("ids");
    CExtCmdItem* pItem = profile.NewCommand(0);
    ASSERT_NE(pItem, nullptr);
    EXPECT_EQ(pItem->m_nCmdID, 65534u);
    EXPECT_EQ(pItem->m_pProfile, &profile);
    ASSERT_NE(profile.NewCommand(65533), nullptr);
    EXPECT_EQ(profile.NewCommand(0)->m_nCmdID, 65532u);
    EXPECT_EQ(profile.NewCommand(65533), nullptr);
    EXPECT_EQ(profile.NewCommand(0x80000000u), nullptr);
    EXPECT_EQ(profile.FindCommand(0), nullptr);
    EXPECT_EQ(profile.FindCommand(0x80000000u), nullptr);
    EXPECT_FALSE(profile.IsCommandRegistered(1));
    bool removed = true;
    EXPECT_FALSE(profile.RemoveCommand(0, &removed));
    EXPECT_FALSE(removed);
    EXPECT_TRUE(profile.RemoveCommand(1, &removed));
    EXPECT_FALSE(removed);
}

TEST(ExtCmdProfile, SetupCommandReplacesOrFills)
{
    CExtCmdProfile profile("setup");
    CExtCmdItem cmdTemplate(100);
    cmdTemplate.m_sMenuText = "&First";
    cmdTemplate.m_nUsageTickCount = 4;
    cmdTemplate.SetCheck(true);
    bool added = false;
    ASSERT_TRUE(profile.SetupCommand(cmdTemplate, false, &added));
    EXPECT_TRUE(added);
    CExtCmdItem* pItem = profile.FindCommand(100);
    EXPECT_TRUE(pItem->IsChecked());
    EXPECT_EQ(pItem->GetUsageCount(), 4u);
    EXPECT_EQ(profile.m_nTotalTickCount, 0u);

    CExtCmdItem second(100);
    second.m_sMenuText = "&Second";
    second.m_sTipTool = "Tip";
    second.m_sToolbarText = "Bar";
    ASSERT_TRUE(profile.SetupCommand(second, false, &added));
    EXPECT_FALSE(added);
    EXPECT_STREQ(pItem->m_sMenuText, "&First");
    EXPECT_STREQ(pItem->m_sTipTool, "Tip");
    EXPECT_TRUE(pItem->m_sToolbarText.IsEmpty());
    ASSERT_TRUE(profile.SetupCommand(second, true));
    EXPECT_STREQ(pItem->m_sMenuText, "&Second");
    EXPECT_STREQ(pItem->m_sToolbarText, "Bar");
    EXPECT_TRUE(pItem->IsChecked());
    EXPECT_FALSE(profile.SetupCommand(CExtCmdItem(0)));
}

TEST(ExtCmdProfile, IconsAreOwnedAndRenumbered)
{
    CExtCmdProfile profile("icons");
    for (UINT id : {100u, 101u, 102u})
        profile.NewCommand(id);
    EXPECT_TRUE(profile.SetCommandIcon(100, SolidIcon(RGB(255, 0, 0)), true));
    std::unique_ptr<CExtCmdIcon> green(SolidIcon(RGB(0, 255, 0)));
    EXPECT_TRUE(profile.SetCommandIcon(101, green.get(), false)); // a copy
    EXPECT_TRUE(profile.SetCommandIcon(102, SolidIcon(RGB(0, 0, 255)), true));
    EXPECT_NE(profile.GetCommandIcon(101), green.get());
    EXPECT_EQ(profile.FindCommand(102)->m_nIconIdx, 2);

    // replacing: adopted takes the place, a copy is assigned into it
    EXPECT_TRUE(profile.SetCommandIcon(102, SolidIcon(RGB(0, 0, 128)), true));
    EXPECT_EQ(CornerOf(profile.GetCommandIcon(102)), RGB(0, 0, 128));
    CExtCmdIcon* pKept = profile.GetCommandIcon(101);
    std::unique_ptr<CExtCmdIcon> gray(SolidIcon(RGB(128, 128, 128)));
    EXPECT_TRUE(profile.SetCommandIcon(101, gray.get(), false));
    EXPECT_EQ(profile.GetCommandIcon(101), pKept);
    EXPECT_EQ(CornerOf(pKept), RGB(128, 128, 128));

    // removing the command at index 0 moves the others down
    EXPECT_TRUE(profile.RemoveCommand(100));
    EXPECT_EQ(profile.m_icons.GetSize(), 2);
    EXPECT_EQ(profile.FindCommand(101)->m_nIconIdx, 0);
    EXPECT_EQ(profile.FindCommand(102)->m_nIconIdx, 1);
    EXPECT_EQ(CornerOf(profile.GetCommandIcon(102)), RGB(0, 0, 128));

    // an empty icon (or none) removes the command's icon
    EXPECT_TRUE(profile.SetCommandIcon(101, new CExtCmdIcon, true));
    EXPECT_EQ(profile.GetCommandIcon(101), nullptr);
    EXPECT_EQ(profile.FindCommand(102)->m_nIconIdx, 0);
    EXPECT_TRUE(profile.SetCommandIconFromHICON(102, nullptr, false));
    EXPECT_EQ(profile.m_icons.GetSize(), 0);
    EXPECT_FALSE(profile.SetCommandIcon(999, SolidIcon(RGB(1, 2, 3)), true));

    HICON hIcon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    EXPECT_TRUE(profile.SetCommandIconFromHICON(102, hIcon, true));
    ASSERT_NE(profile.GetCommandIcon(102), nullptr);
    EXPECT_FALSE(profile.GetCommandIcon(102)->IsEmpty());
}

TEST(ExtCmdProfile, ToolBarResource)
{
    CExtCmdProfile profile("toolbar");
    UINT* pIds = nullptr;
    int nCount = 0;
    ASSERT_TRUE(profile.LoadToolBarCommands(kToolBar, &pIds, &nCount));
    ASSERT_NE(pIds, nullptr);
    EXPECT_EQ(nCount, 3);
    EXPECT_EQ(pIds[0], 100u);
    EXPECT_EQ(pIds[1], 0u);
    EXPECT_EQ(pIds[2], 101u);
    delete[] pIds;
    EXPECT_EQ(profile.m_cmds.GetCount(), 2);
    EXPECT_EQ(profile.FindCommand(100)->m_nIconIdx, 0);
    EXPECT_EQ(profile.FindCommand(101)->m_nIconIdx, 1);
    EXPECT_STREQ(profile.FindCommand(101)->m_sTipTool, "Open");
    CExtCmdIcon* pIcon = profile.GetCommandIcon(101);
    ASSERT_NE(pIcon, nullptr);
    EXPECT_EQ(pIcon->GetSize(), CSize(16, 15));

    // loading again replaces the icons instead of adding more
    ASSERT_TRUE(profile.LoadToolBarCommands(kToolBar, nullptr, nullptr, true));
    EXPECT_EQ(profile.m_icons.GetSize(), 2);

    CExtCmdProfile refused("overclaimed");
    pIds = reinterpret_cast<UINT*>(1);
    nCount = -1;
    EXPECT_FALSE(refused.LoadToolBarCommands(kOverclaimedToolBar, &pIds, &nCount));
    EXPECT_EQ(refused.m_cmds.GetCount(), 0);
    EXPECT_EQ(nCount, -1);
    EXPECT_FALSE(refused.LoadToolBarCommands(0x7399));
    EXPECT_FALSE(refused.LoadToolBarCommands(0));
}

TEST(ExtCmdProfile, MenuResource)
{
    CExtCmdProfile profile("menu");
    ASSERT_TRUE(profile.LoadMenuResourceCommands(kMenu));
    EXPECT_EQ(profile.m_cmds.GetCount(), 4);
    struct Case
    {
        UINT id;
        const char* menu;
        const char* accel;
        const char* status;
    };
    const Case cases[] = {
        {100, "&New", "Ctrl+N", "Create a document"},
        {101, "&Open...", "", "Open a document"},
        {102, "&File", "Ctrl+F", "Only a prompt"}, // from the nested popup
        {104, "&Help", "", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.id);
        CExtCmdItem* pItem = profile.FindCommand(c.id);
        ASSERT_NE(pItem, nullptr);
        EXPECT_STREQ(pItem->m_sMenuText, c.menu);
        EXPECT_STREQ(pItem->m_sAccelText, c.accel);
        EXPECT_STREQ(pItem->m_sTipStatus, c.status);
    }
    EXPECT_FALSE(profile.LoadMenuResourceCommands(0x7399));
    EXPECT_FALSE(profile.LoadMenuCommands(nullptr));

    // without recursion the nested popup is skipped
    CExtCmdProfile flat("flat");
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    ASSERT_TRUE(flat.LoadMenuCommands(::GetSubMenu(menu.GetSafeHmenu(), 0), false, false, false));
    EXPECT_EQ(flat.m_cmds.GetCount(), 2);
    EXPECT_TRUE(flat.FindCommand(100)->m_sTipStatus.IsEmpty());
}

TEST(ExtCmdProfile, LiveToolBar)
{
    CFrameWnd* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, "tool bar", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200)));
    CToolBar bar;
    ASSERT_TRUE(bar.CreateEx(pFrame));
    ASSERT_TRUE(bar.LoadToolBar(kToolBar));
    CExtCmdProfile profile("live");
    ASSERT_TRUE(profile.LoadToolBarControlCommands(&bar));
    EXPECT_EQ(profile.m_cmds.GetCount(), 2);
    EXPECT_EQ(profile.m_icons.GetSize(), 2);
    ASSERT_NE(profile.GetCommandIcon(101), nullptr);
    EXPECT_EQ(profile.GetCommandIcon(101)->GetSize(), CSize(16, 15));
    EXPECT_STREQ(profile.FindCommand(100)->m_sTipTool, "New");
    EXPECT_FALSE(profile.LoadToolBarControlCommands(nullptr));
    pFrame->DestroyWindow();
}

TEST(ExtCmdProfile, BasicCommandsAndRemovalByFlags)
{
    CExtCmdProfile profile("flags");
    for (UINT id : {100u, 101u, 102u, 0xF060u})
        profile.NewCommand(id);
    const UINT basics[] = {100, 101, 0};
    EXPECT_TRUE(profile.SetBasicCommands(basics));
    EXPECT_TRUE(profile.FindCommand(101)->IsBasicCommand());
    const UINT mixed[] = {102, 0xF060, 999, 0};
    EXPECT_FALSE(profile.SetBasicCommands(mixed));
    EXPECT_TRUE(profile.FindCommand(102)->IsBasicCommand());
    EXPECT_FALSE(profile.SetBasicCommands(nullptr));

    profile.FindCommand(101)->SetMenuBarTemporary(true);
    profile.FindCommand(102)->SetMenuBarTemporary(true);
    profile.FindCommand(102)->SetExtraFlag0(true);
    profile.RemoveCommandsByFlags(0x40);
    EXPECT_EQ(profile.m_cmds.GetCount(), 2);
    EXPECT_TRUE(profile.IsCommandRegistered(100));
    // all bits of both masks asked for
    profile.FindCommand(100)->SetMenuBarTemporary(true);
    profile.RemoveCommandsByFlags(0x40, 0x01, true, true);
    EXPECT_TRUE(profile.IsCommandRegistered(100));
}

TEST(ExtCmdProfile, AssignFromOtherKeepsIconIndices)
{
    CExtCmdProfile source("source");
    ASSERT_TRUE(source.LoadToolBarCommands(kToolBar));
    source.m_nRarelyUsedPercent = 25;
    source.FindCommand(101)->m_nUsageTickCount = 3;
    CExtCmdProfile copy("copy");
    copy.NewCommand(500);
    copy.AssignFromOther(source);
    EXPECT_STREQ(copy.m_sName, "source");
    EXPECT_EQ(copy.m_nRarelyUsedPercent, 25u);
    EXPECT_FALSE(copy.IsCommandRegistered(500));
    CExtCmdItem* pItem = copy.FindCommand(101);
    ASSERT_NE(pItem, nullptr);
    EXPECT_EQ(pItem->m_pProfile, &copy);
    EXPECT_EQ(pItem->m_nUsageTickCount, 3u);
    ASSERT_NE(copy.GetCommandIcon(101), nullptr);
    EXPECT_NE(copy.GetCommandIcon(101), source.GetCommandIcon(101));
    EXPECT_EQ(CornerOf(copy.GetCommandIcon(101)), CornerOf(source.GetCommandIcon(101)));
}

std::vector<BYTE> Store(CExtCmdProfile& profile)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        EXPECT_TRUE(profile.Serialize(ar));
    }
    std::vector<BYTE> bytes((size_t)file.GetLength());
    file.SeekToBegin();
    file.Read(bytes.data(), (UINT)bytes.size());
    return bytes;
}

TEST(ExtCmdProfile, ArchiveHoldsOnlyStorableUsage)
{
    CExtCmdProfile profile("archive");
    for (UINT id : {100u, 101u, 0xF060u})
        profile.NewCommand(id)->m_nUsageTickCount = 5;
    profile.FindCommand(100)->SetBasicCommand(true);
    profile.FindCommand(101)->SetUsageFrozen(true);
    profile.m_nTotalTickCount = 15;
    // header, total and the terminating 0 only
    const size_t header = 1 + std::string("Quorbis (v. 2.5.0.0) command profile").size() + 6 * 4;
    EXPECT_EQ(Store(profile).size(), header + 4 + 4);
    profile.FindCommand(101)->SetUsageFrozen(false);
    EXPECT_EQ(Store(profile).size(), header + 4 + 8 + 4);

    // a short version word other than 0x0205 changes nothing
    std::vector<BYTE> bytes = Store(profile);
    bytes[header - 5 * 4] = 0x04;
    CExtCmdProfile target("target");
    target.NewCommand(101)->m_nUsageTickCount = 1;
    target.m_nTotalTickCount = 1;
    CMemFile file(bytes.data(), (UINT)bytes.size());
    CArchive ar(&file, CArchive::load);
    EXPECT_FALSE(target.Serialize(ar));
    EXPECT_EQ(target.m_nTotalTickCount, 1u);
    EXPECT_EQ(target.FindCommand(101)->m_nUsageTickCount, 1u);
}

TEST(ExtCmdProfile, UsageRoundTripsThroughTheRegistry)
{
    const std::string app = "KestreluxTests";
    const std::string part2 = "commands" + std::to_string(kx::MonotonicTicks());
    CExtCmdProfile saved("Edi?tor");
    for (UINT id : {100u, 101u, 102u})
        saved.NewCommand(id)->m_nUsageTickCount = id - 90;
    saved.m_nTotalTickCount = 33;
    ASSERT_TRUE(saved.SerializeRegistryState(app.c_str(), part2.c_str(), true));

    CExtCmdProfile loaded("Edi?tor");
    loaded.NewCommand(100);
    loaded.NewCommand(102);
    loaded.NewCommand(103)->m_nUsageTickCount = 7; // not listed: untouched
    ASSERT_TRUE(loaded.SerializeRegistryState(app.c_str(), part2.c_str(), false));
    EXPECT_EQ(loaded.m_nTotalTickCount, 33u);
    EXPECT_EQ(loaded.FindCommand(100)->m_nUsageTickCount, 10u);
    EXPECT_EQ(loaded.FindCommand(102)->m_nUsageTickCount, 12u);
    EXPECT_EQ(loaded.FindCommand(103)->m_nUsageTickCount, 7u);
    EXPECT_FALSE(loaded.IsCommandRegistered(101));

    // stored under the key path with '?' made safe
    const std::string key = "Software\\" + app + "\\" + part2 + "\\Quorbis\\Profiles\\Edi_tor\\CommandManager";
    kx::RegistryHandle hKey = 0;
    EXPECT_EQ(kx::RegistryOpenKey(kx::RegistryCurrentUser(), key.c_str(), kx::kRegRead, hKey), kx::kRegOk);
    if (hKey != 0)
        kx::RegistryCloseKey(hKey);

    CExtCmdProfile other("other");
    EXPECT_FALSE(other.SerializeRegistryState(app.c_str(), part2.c_str(), false));
    CRegistryKey::DeleteKeyRecursive(kx::RegistryCurrentUser(), ("Software\\" + app).c_str());
}

TEST(ExtCmdProfile, ResetUsageStatisticsKeepsBasicCounters)
{
    CExtCmdProfile profile("reset");
    profile.NewCommand(100)->m_nUsageTickCount = 4;
    profile.NewCommand(101)->m_nUsageTickCount = 6;
    profile.FindCommand(101)->SetBasicCommand(true);
    profile.m_nTotalTickCount = 10;
    profile.ResetUsageStatistics();
    EXPECT_EQ(profile.m_nTotalTickCount, 0u);
    EXPECT_EQ(profile.FindCommand(100)->m_nUsageTickCount, 0u);
    EXPECT_EQ(profile.FindCommand(101)->m_nUsageTickCount, 6u);
    profile.Reset();
    EXPECT_EQ(profile.m_cmds.GetCount(), 0);
}

} // namespace
