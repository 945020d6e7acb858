// Combo boxes: completion of typed text from the list and what never
// completes, the read-only edit part of a disabled combo, and the left
// click that opens and closes the list itself.
#include "uitoolkit/controls/ExtComboBox.h"

#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/support/ControlStage.h"

#include <gtest/gtest.h>

namespace
{

class ExtComboTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager)); }
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }

    void Create(CExtComboBox& combo, DWORD dwKind)
    {
        ASSERT_TRUE(combo.Create(WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | dwKind, CRect(10, 10, 200, 150),
                                 &m_stage.Parent(), 201));
        for (const char* sItem : {"Xylophone", "Abcdef", "Abacus"})
            combo.AddString(sItem);
    }
    static CString Text(CWnd& wnd)
    {
        CString sText;
        wnd.GetWindowText(sText);
        return sText;
    }

    kxtest::ControlStage m_stage{320, 200, "Combo boxes"};
};

TEST_F(ExtComboTest, TypingCompletesAndBackspaceDoesNot)
{
    CExtComboBox combo;
    Create(combo, CBS_DROPDOWN);
    ASSERT_NE(nullptr, combo.m_wndEditHook.GetSafeHwnd());
    EXPECT_EQ(&combo, combo.m_wndEditHook.GetComboBox());
    kxgui::Activate(m_stage.Host());
    combo.m_wndEditHook.SetFocus();
    m_stage.Pump();

    kxgui::InputScript().Key('A').Key('B').Key('C').Send();
    m_stage.Pump();
    EXPECT_STREQ("Abcdef", Text(combo));
    int nStart = -1, nEnd = -1;
    combo.m_wndEditHook.GetSel(nStart, nEnd);
    EXPECT_EQ(3, nStart);
    EXPECT_EQ(6, nEnd);

    kxgui::InputScript().Key(VK_BACK).Send();
    m_stage.Pump();
    EXPECT_STREQ("abc", Text(combo.m_wndEditHook).MakeLower());
    EXPECT_EQ(0, combo.m_bComboOptions & CExtComboBoxBase::OPT_COMPLETE_PENDING);

    // text that matches nothing stays as typed, caret at its end
    combo.m_wndEditHook.SetWindowText("");
    kxgui::InputScript().Key('Q').Send();
    m_stage.Pump();
    EXPECT_STREQ("q", Text(combo));
    combo.m_wndEditHook.GetSel(nStart, nEnd);
    EXPECT_EQ(1, nStart);
    EXPECT_EQ(1, nEnd);
}

TEST_F(ExtComboTest, PasteNeverCompletes)
{
    CExtComboBox combo;
    Create(combo, CBS_DROPDOWN);
    ASSERT_TRUE(combo.OpenClipboard());
    ::EmptyClipboard();
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, 3);
    memcpy(::GlobalLock(hText), "ab", 3);
    ::GlobalUnlock(hText);
    ::SetClipboardData(CF_TEXT, hText);
    ::CloseClipboard();
    combo.m_bComboOptions |= CExtComboBoxBase::OPT_COMPLETE_PENDING; // as after a key press
    combo.m_wndEditHook.SendMessage(WM_PASTE);
    m_stage.Pump();
    EXPECT_STREQ("ab", Text(combo));
    EXPECT_EQ(CB_ERR, combo.GetCurSel());
}

TEST_F(ExtComboTest, DisabledComboKeepsAReadOnlyEdit)
{
    CExtComboBox combo;
    Create(combo, CBS_DROPDOWN);
    combo.SetWindowText("Abcdef");
    combo.EnableWindow(FALSE);
    EXPECT_TRUE(combo.m_wndEditHook.IsWindowEnabled());
    EXPECT_NE(0u, combo.m_wndEditHook.GetStyle() & ES_READONLY);
    combo.m_wndEditHook.SetSel(0, -1);
    kxtest::RecordingCmdUI copy;
    EXPECT_TRUE(combo.m_wndEditHook.OnCmdMsg(CExtEditRules::CmdCopy, CN_UPDATE_COMMAND_UI, &copy, nullptr));
    EXPECT_EQ(1, copy.nEnabled);
    combo.EnableWindow(TRUE);
    EXPECT_EQ(0u, combo.m_wndEditHook.GetStyle() & ES_READONLY);
}

TEST_F(ExtComboTest, ClicksOpenAndCloseTheList)
{
    CExtComboBox combo;
    Create(combo, CBS_DROPDOWNLIST);
    kxgui::Activate(m_stage.Host());
    m_stage.Pump();
    CRect rc;
    combo.GetClientRect(&rc);
    const CPoint ptButton(rc.right - 6, rc.CenterPoint().y);
    kxgui::Click(combo.GetSafeHwnd(), ptButton);
    ASSERT_TRUE(m_stage.PumpUntil([&] { return combo.GetDroppedState() != FALSE; }));
    EXPECT_EQ(&combo, CWnd::GetFocus());
    kxgui::Click(combo.GetSafeHwnd(), ptButton);
    EXPECT_TRUE(m_stage.PumpUntil([&] { return combo.GetDroppedState() == FALSE; }));
}

} // namespace
