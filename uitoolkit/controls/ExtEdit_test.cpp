// Edits: the edit commands and their command-UI states, the themed colours
// of the control-colour answer, and the hover polling of the framed edit.
#include "uitoolkit/controls/ExtEdit.h"

#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/support/ControlStage.h"

#include <gtest/gtest.h>

namespace
{

using Rules = CExtEditRules;

class ExtEditTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager)); }
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }

    // 1 enabled, 0 disabled
    int UpdateState(CExtEditBase& edit, UINT nID)
    {
        kxtest::RecordingCmdUI ui;
        ui.m_nID = nID;
        EXPECT_TRUE(edit.OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &ui, nullptr));
        return ui.nEnabled;
    }

    kxtest::ControlStage m_stage{300, 120, "Edits"};
};

TEST_F(ExtEditTest, ReadOnlyDisablesChangingCommands)
{
    CExtEditBase edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), &m_stage.Parent(), 101));
    edit.SetWindowText("hello world");
    edit.SetSel(0, 0);
    edit.ReplaceSel("x", TRUE); // something to undo
    ASSERT_TRUE(edit.OpenClipboard());
    ::EmptyClipboard();
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, 4);
    memcpy(::GlobalLock(hText), "abc", 4);
    ::GlobalUnlock(hText);
    ::SetClipboardData(CF_TEXT, hText);
    ::CloseClipboard();

    edit.SetSel(1, 4);
    for (UINT nID :
         {Rules::CmdUndo, Rules::CmdCut, Rules::CmdCopy, Rules::CmdPaste, Rules::CmdClear, Rules::CmdSelectAll})
        EXPECT_EQ(1, UpdateState(edit, nID)) << nID;

    edit.SetReadOnly(TRUE);
    for (UINT nID : {Rules::CmdUndo, Rules::CmdCut, Rules::CmdPaste, Rules::CmdClear})
        EXPECT_EQ(0, UpdateState(edit, nID)) << nID;
    EXPECT_EQ(1, UpdateState(edit, Rules::CmdCopy));
    edit.SetSel(3, 3);
    EXPECT_EQ(0, UpdateState(edit, Rules::CmdCopy));

    // other ids go on to the framework, which has no handler here
    kxtest::RecordingCmdUI other;
    EXPECT_FALSE(edit.OnCmdMsg(57600, CN_UPDATE_COMMAND_UI, &other, nullptr));
    EXPECT_EQ(-1, other.nEnabled);
    edit.m_bHandleEditCommands = 0;
    kxtest::RecordingCmdUI off;
    EXPECT_FALSE(edit.OnCmdMsg(Rules::CmdCopy, CN_UPDATE_COMMAND_UI, &off, nullptr));
    EXPECT_EQ(-1, off.nEnabled);
}

TEST_F(ExtEditTest, SelectAllFollowsTheSelection)
{
    CExtEditBase edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER, CRect(10, 10, 200, 34), &m_stage.Parent(), 101));
    EXPECT_EQ(0, UpdateState(edit, Rules::CmdSelectAll)); // empty text
    edit.SetWindowText("abcdef");
    edit.SetSel(2, 4);
    EXPECT_EQ(1, UpdateState(edit, Rules::CmdSelectAll));
    EXPECT_TRUE(edit.OnCmdMsg(Rules::CmdSelectAll, CN_COMMAND, nullptr, nullptr));
    int nStart = -1, nEnd = -1;
    edit.GetSel(nStart, nEnd);
    EXPECT_EQ(0, nStart);
    EXPECT_EQ(6, nEnd);
    EXPECT_EQ(0, UpdateState(edit, Rules::CmdSelectAll)); // already wholly selected

    // asking who handles a command carries nothing out
    edit.SetSel(1, 2);
    AFX_CMDHANDLERINFO info = {};
    EXPECT_TRUE(edit.OnCmdMsg(Rules::CmdClear, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(&edit, info.pTarget);
    CString sText;
    edit.GetWindowText(sText);
    EXPECT_STREQ("abcdef", sText);
    EXPECT_TRUE(edit.OnCmdMsg(Rules::CmdClear, CN_COMMAND, nullptr, nullptr));
    edit.GetWindowText(sText);
    EXPECT_STREQ("acdef", sText);
}

TEST_F(ExtEditTest, ColoursFollowTheThemeAndReadOnly)
{
    CExtEditBase edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER, CRect(10, 10, 200, 34), &m_stage.Parent(), 101));
    HDC hDC = ::GetDC(edit.GetSafeHwnd());
    auto answer = [&](UINT nMsg)
    {
        return reinterpret_cast<HBRUSH>(
            m_stage.Parent().SendMessage(nMsg, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(edit.m_hWnd)));
    };
    ASSERT_NE(nullptr, answer(WM_CTLCOLOREDIT));
    EXPECT_EQ(g_PaintManager->GetColor(COLOR_WINDOW), ::GetBkColor(hDC));
    EXPECT_EQ(g_PaintManager->GetColor(COLOR_WINDOWTEXT), ::GetTextColor(hDC));
    edit.SetReadOnly(TRUE);
    answer(WM_CTLCOLORSTATIC);
    EXPECT_EQ(g_PaintManager->GetColor(COLOR_BTNFACE), ::GetBkColor(hDC));
    EXPECT_EQ(g_PaintManager->GetColor(COLOR_BTNFACE), edit.m_clrBackBrush);
    edit.EnableWindow(FALSE);
    edit.m_clrBack = RGB(1, 2, 3);
    answer(WM_CTLCOLORSTATIC);
    EXPECT_EQ(RGB(1, 2, 3), ::GetBkColor(hDC));
    EXPECT_EQ(g_PaintManager->GetColor(COLOR_GRAYTEXT), ::GetTextColor(hDC));
    LOGBRUSH lb = {};
    ::GetObjectA(edit.m_brushBack.GetSafeHandle(), sizeof(lb), &lb);
    EXPECT_EQ(RGB(1, 2, 3), lb.lbColor);
    ::ReleaseDC(edit.GetSafeHwnd(), hDC);
}

class CCountingEdit : public CExtEdit
{
public:
    int nFrameRedraws = 0;
    void RedrawFrame() override
    {
        ++nFrameRedraws;
        CExtEdit::RedrawFrame();
    }
};

TEST_F(ExtEditTest, HoverEndsOnceTheCursorLeaves)
{
    CCountingEdit edit;
    ASSERT_TRUE(edit.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "text", WS_CHILD | WS_VISIBLE, CRect(10, 10, 200, 34),
                              &m_stage.Parent(), 101));
    kxgui::Activate(m_stage.Host());
    m_stage.Pump();
    kxgui::MoveMouseTo(CPoint(0, 0));
    CRect rc;
    edit.GetWindowRect(&rc);
    kxgui::MoveMouseTo(rc.CenterPoint());
    ASSERT_TRUE(m_stage.PumpUntil([&] { return (edit.m_bHover & 1) != 0; }));
    const int nRedraws = edit.nFrameRedraws;
    kxgui::MoveMouseTo(CPoint(rc.right + 40, rc.bottom + 40));
    ASSERT_TRUE(m_stage.PumpUntil([&] { return (edit.m_bHover & 1) == 0; }));
    EXPECT_EQ(nRedraws + 1, edit.nFrameRedraws);
}

} // namespace
