// The drop-down helpers on a real combo box, the folder choice answered by
// the test, the main window minimised and given back, and context menus read
// back from the menu object.
#include "DvdGui/source/GuiHelpers.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

namespace
{

class GuiHelpersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HWND hMain = kxgui::CreateTestWindow(300, 200, "Kestrelux main");
        ASSERT_NE(hMain, nullptr);
        m_main.Attach(hMain);
        m_app.m_pMainWnd = &m_main;
        ASSERT_TRUE(m_combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(10, 10, 200, 200), &m_main, 1));
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        m_combo.DestroyWindow();
        ::DestroyWindow(m_main.Detach());
    }
    CWinApp m_app;
    CWnd m_main;
    CComboBox m_combo;
};

TEST_F(GuiHelpersTest, DropDownsSelectByTheirItemsValues)
{
    EXPECT_FALSE(SelectComboByData(m_combo, 7));
    EXPECT_EQ(m_combo.GetCurSel(), -1);
    EXPECT_EQ(GetComboSelectedData(m_combo), DWORD_PTR(-1));

    // the merge dialog keeps discs in its lists
    int discs[2] = {};
    for (int i = 0; i < 2; ++i)
        m_combo.SetItemData(m_combo.AddString(i ? "second" : "first"), DWORD_PTR(&discs[i]));
    const struct
    {
        DWORD_PTR wanted;
        bool found;
        int selected;
    } cases[] = {{DWORD_PTR(&discs[1]), true, 1}, {DWORD_PTR(&discs[0]), true, 0}, {12345, false, 0}};
    for (const auto& c : cases)
    {
        m_combo.SetCurSel(-1);
        EXPECT_EQ(SelectComboByData(m_combo, c.wanted), c.found);
        EXPECT_EQ(m_combo.GetCurSel(), c.selected);
    }
    SelectComboByData(m_combo, DWORD_PTR(&discs[1]));
    EXPECT_EQ(reinterpret_cast<int*>(GetComboSelectedData(m_combo)), &discs[1]);
}

TEST_F(GuiHelpersTest, ACancelledFolderChoiceIsEmpty)
{
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof(temp), temp);
    CString result = "unchanged";
    kxgui::DialogAnswerer answerer(IDCANCEL);
    SelectFolder(result, "Export DVD folder", temp);
    EXPECT_TRUE(result.IsEmpty()) << result;
    EXPECT_EQ(answerer.Seen().size(), 1u);
}

TEST_F(GuiHelpersTest, TheMainWindowComesBackAsItWas)
{
    m_main.ShowWindow(SW_SHOWNORMAL);
    const WINDOWPLACEMENT before = MinimizeMainWindow();
    EXPECT_EQ(before.showCmd, UINT(SW_SHOWNORMAL));
    EXPECT_TRUE(::IsIconic(m_main.m_hWnd));
    RestoreMainWindow(before);
    EXPECT_FALSE(::IsIconic(m_main.m_hWnd));
}

TEST_F(GuiHelpersTest, ContextMenusCarryTheirEntriesStates)
{
    g_PaintManager.InstallPaintManager(nullptr);
    CExtPopupMenuWnd menu;
    const struct
    {
        UINT id;
        const char* text;
        const char* accel;
        bool enabled;
    } entries[] = {{1133, "&Expand all", "Shift+E", true},
                   {1134, "&Collapse all", "Ctrl+Shift+C", false},
                   {57634, "&Copy Log to Clipboard", nullptr, false}};
    for (const auto& e : entries)
        AddPopupMenuItem(menu, e.id, e.text, e.accel, e.enabled, false);
    AddPopupMenuSeparator(menu);

    ASSERT_EQ(menu.ItemGetCount(), 4);
    for (int i = 0; i < 3; ++i)
    {
        const CExtPopupMenuWnd::MENUITEMDATA& mi = menu.GetItemAt(i);
        EXPECT_EQ(mi.GetCmdID(), entries[i].id);
        EXPECT_STREQ(mi.GetText(), entries[i].text);
        EXPECT_STREQ(mi.GetAccelText(), entries[i].accel ? entries[i].accel : "");
        EXPECT_EQ(mi.IsEnabled(), entries[i].enabled) << i;
        EXPECT_FALSE(mi.IsOwnItem());
        EXPECT_EQ(mi.m_nItemIndex, i);
    }
    EXPECT_EQ(menu.GetItemAt(0).GetMnemonic(), 'E');
    EXPECT_TRUE(menu.GetItemAt(3).IsSeparator());
}

} // namespace
