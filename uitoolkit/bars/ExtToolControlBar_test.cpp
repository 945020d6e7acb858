// The tool bar on a docking frame: its buttons from the test resource's tool
// bar 128, the button array, the layout of docked, vertical and floating
// bars, mouse input with real clicks, drop-down menus handed from button to
// button, command-UI update, the chevron and the colour button, and how the
// bar paints in each theme.
#include "framework/win/DockContext.h"
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupColorMenuWnd.h"
#include "uitoolkit/commands/ExtPopupMenuTipWnd.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace
{

const UINT kIdBar = AFX_IDW_CONTROLBAR_FIRST + 40;
const UINT kBold = 0x7401, kItalic = 0x7402, kOpen = 0x7403, kColour = 0x7404, kPrint = 0x7405, kHelp = 0x7406;
const UINT kRecent = 0x7407;
const UINT kOpenMenu = 0x7410;
const char* const kProfile = "tool-bar-test";

// The frame the bar docks in: it records the commands and colour
// notifications it receives and answers the update of every command of the
// test tool bar from a table.
class CCommandFrame : public CTestDockFrame
{
public:
    struct State
    {
        bool bEnabled = true;
        int nCheck = -1; // -1: not a check box
    };

    std::vector<UINT> m_arrCommands;
    std::vector<COLORREF> m_arrColours;
    std::map<UINT, State> m_states;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nID >= kBold && nID <= kRecent)
        {
            if (nCode == CN_UPDATE_COMMAND_UI && pExtra != nullptr)
            {
                auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
                const State& state = m_states[nID];
                pCmdUI->Enable(state.bEnabled);
                if (state.nCheck >= 0)
                    pCmdUI->SetCheck(state.nCheck);
                return TRUE;
            }
            if (nCode == CN_COMMAND)
            {
                if (pHandlerInfo == nullptr)
                    m_arrCommands.push_back(nID);
                return TRUE;
            }
        }
        return CTestDockFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally)
        {
            m_arrColours.push_back(static_cast<COLORREF>(wParam));
            return 0;
        }
        return CTestDockFrame::WindowProc(message, wParam, lParam);
    }
};

class ExtToolControlBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nAnimation = CExtPopupBaseWnd::g_nDefaultAnimationKind;
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 640, 400), "Kestrelux tool bar test"));
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        ASSERT_TRUE(g_CmdManager->SetupProfile(kProfile, m_frame.m_hWnd));
        ASSERT_TRUE(m_bar.Create("Tools", &m_frame, kIdBar, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC));
        m_bar.SetOwner(&m_frame);
        m_bar.EnableDocking(CBRS_ALIGN_ANY);
        kxgui::Activate(m_frame.m_hWnd);
    }
    void TearDown() override
    {
        CExtToolControlBar::CancelTrackingInAllBars();
        kxgui::PumpUntilIdle();
        m_frame.DestroyWindow();
        g_CmdManager->ResetProfile(kProfile);
        g_PaintManager.InstallPaintManager(nullptr);
        CExtPopupBaseWnd::g_nDefaultAnimationKind = m_nAnimation;
        kxgui::PumpUntilIdle();
    }
    // The test bar loaded and docked at the top, its drop-down and colour
    // buttons set up.
    void LoadAndDock()
    {
        ASSERT_TRUE(m_bar.LoadToolBarResource(128, RGB(192, 192, 192)));
        ASSERT_TRUE(m_bar.SetButtonMenu(3, ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kOpenMenu)), true,
                                        true, false));
        auto* pColour = new CExtBarColorButton(&m_bar, kColour, 0, RGB(255, 0, 0), RGB(0, 0, 0), 77);
        ASSERT_TRUE(m_bar.RemoveButton(4, false));
        ASSERT_TRUE(m_bar.InsertSpecButton(4, pColour, false));
        m_frame.DockControlBar(&m_bar, AFX_IDW_DOCKBAR_TOP);
        Layout();
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    CPoint Centre(int nIndex) { return m_bar.GetButton(nIndex)->GetRect().CenterPoint(); }
    void IdleUpdate()
    {
        m_bar.OnUpdateCmdUI(&m_frame, TRUE);
        kxgui::PumpUntilIdle();
    }

    CCommandFrame m_frame;
    CExtToolControlBar m_bar;
    int m_nAnimation = 0;
};

TEST(ExtBarButton, StyleAndIdRules)
{
    CExtBarButton button(nullptr, 0, 0);
    EXPECT_TRUE(button.IsSeparator());
    button.SetCmdID(100);
    EXPECT_FALSE(button.IsSeparator());
    EXPECT_EQ(button.GetCmdID(false), 100u);
    button.ModifyStyle(TBBS_CHECKED, TBBS_CHECKED);
    EXPECT_FALSE(button.IsPressed());
    button.ModifyStyle(TBBS_CHECKED);
    EXPECT_TRUE(button.IsPressed());
    // only the effective id follows an auto-change choice
    button.SetCmdID(200, true);
    EXPECT_EQ(button.GetCmdID(true), 200u);
    EXPECT_EQ(button.GetCmdID(false), 100u);
    button.SetStyle(TBBS_SEPARATOR);
    EXPECT_EQ(button.GetCmdID(true), 0u);
    EXPECT_EQ(button.GetCmdID(false), 0u);
    // one wrap flag per layout kind
    button.SetWrapAfter(1, true);
    EXPECT_FALSE(button.GetWrapAfter(0));
    EXPECT_TRUE(button.GetWrapAfter(1));
    EXPECT_FALSE(button.GetWrapAfter(2));
    // a null menu keeps the flags of the previous call
    HMENU hMenu = ::CreatePopupMenu();
    button.SetCmdID(100);
    button.SetMenu(hMenu, true, true);
    EXPECT_TRUE(button.IsFirstSubmenu());
    EXPECT_TRUE(button.CanTrackMenu(false));
    button.SetMenu(nullptr, false, false);
    EXPECT_TRUE(button.IsFirstSubmenu());
    EXPECT_FALSE(::IsMenu(hMenu));

    CExtBarContentExpandButton chevron;
    EXPECT_EQ(chevron.MeasureButton(nullptr, CSize(16, 22), true), CSize(11, 22));
    EXPECT_EQ(chevron.MeasureButton(nullptr, CSize(24, 16), false), CSize(24, 11));

    // the colour button's drop-down counts for its size but is no menu
    CExtBarColorButton colour;
    EXPECT_TRUE(colour.CanTrackMenu(false));
    EXPECT_FALSE(colour.HasDropDownMenu());
    colour.SetColor(RGB(1, 2, 3), true);
    EXPECT_EQ(colour.GetColor(false), RGB(1, 2, 3));
    colour.SetColor(RGB(4, 5, 6), false);
    EXPECT_EQ(colour.GetColor(true), RGB(4, 5, 6));
}

TEST_F(ExtToolControlBarTest, ButtonArray)
{
    // an empty bar is the default size, plus 4 across without a dock site
    CExtToolControlBar loose;
    loose.m_dwStyle = CBRS_ALIGN_TOP;
    EXPECT_EQ(loose.CalcFixedLayout(FALSE, TRUE), CSize(23, 26));
    loose.m_dwStyle = CBRS_ALIGN_LEFT;
    EXPECT_EQ(loose.CalcFixedLayout(FALSE, FALSE), CSize(27, 22));
    m_frame.DockControlBar(&m_bar, AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(m_bar.CalcFixedLayout(FALSE, TRUE), CSize(23, 22));
    EXPECT_TRUE(m_bar.SetButtons(nullptr, 0));
    EXPECT_EQ(m_bar.GetButtonsCount(), 0);
    EXPECT_EQ(m_bar.GetChevron(), nullptr);

    const UINT ids[] = {kBold, 0, kItalic};
    ASSERT_TRUE(m_bar.SetButtons(ids, 3));
    ASSERT_EQ(m_bar.GetButtonsCount(), 4);
    EXPECT_TRUE(m_bar.IsChevronButton(3));
    EXPECT_EQ(m_bar.GetButtonID(3), CExtBarContentExpandButton::kChevronCmdID);
    EXPECT_TRUE(m_bar.GetButton(1)->IsSeparator());
    // appended before the chevron; a position beyond the count fails
    EXPECT_TRUE(m_bar.InsertButton(-1, kPrint, false));
    EXPECT_EQ(m_bar.GetButtonID(3), kPrint);
    EXPECT_TRUE(m_bar.IsChevronButton(4));
    EXPECT_FALSE(m_bar.InsertButton(6, kHelp, false));
    EXPECT_FALSE(m_bar.RemoveButton(4, false));
    EXPECT_TRUE(m_bar.RemoveButton(3, false));
    EXPECT_EQ(m_bar.GetButtonsCount(), 4);
    EXPECT_EQ(m_bar.GetButton(9), nullptr);
    EXPECT_EQ(m_bar.GetButtonStyle(9), 0u);
}

TEST_F(ExtToolControlBarTest, LoadsTheResourceThroughTheCommandManager)
{
    ASSERT_TRUE(m_bar.LoadToolBarResource(128, RGB(192, 192, 192)));
    const UINT expected[] = {kBold, kItalic, 0, kOpen, kColour, 0, kPrint, kHelp};
    ASSERT_EQ(m_bar.GetButtonsCount(), 9);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(m_bar.GetButtonID(i), expected[i]) << i;
        EXPECT_EQ(m_bar.GetButton(i)->IsSeparator(), expected[i] == 0) << i;
        if (expected[i] == 0)
            continue;
        const CExtCmdItem* pItem = g_CmdManager->FindCommand(kProfile, expected[i]);
        ASSERT_NE(pItem, nullptr) << i;
        const CExtCmdIcon* pIcon = g_CmdManager->GetCommandIcon(kProfile, expected[i]);
        ASSERT_NE(pIcon, nullptr) << i;
        EXPECT_EQ(pIcon->GetSize(), CSize(16, 16)) << i;
    }
    EXPECT_TRUE(m_bar.IsChevronButton(8));
    EXPECT_STREQ(LPCTSTR(g_CmdManager->FindCommand(kProfile, kPrint)->m_sTipTool), "Print");
    // a missing resource keeps the buttons
    EXPECT_FALSE(m_bar.LoadToolBarResource(129));
    EXPECT_EQ(m_bar.GetButtonsCount(), 9);
}

TEST_F(ExtToolControlBarTest, DockedLayoutDropsButtonsIntoTheChevron)
{
    LoadAndDock();
    CRect rcBar;
    m_bar.GetClientRect(&rcBar);
    // docked at the top, all buttons in one row; icons only: 23 x 22
    EXPECT_EQ(m_bar.GetButton(0)->GetSize(), CSize(23, 22));
    EXPECT_EQ(m_bar.GetButton(3)->GetSize(), CSize(34, 22)) << "the drop-down's arrow part";
    EXPECT_EQ(m_bar.GetButton(4)->GetSize(), CSize(34, 22)) << "the colour button's arrow part";
    EXPECT_EQ(m_bar.GetChevron()->GetHiddenButtons().GetSize(), 0);
    EXPECT_EQ(m_bar.GetButton(1)->GetRect().left, m_bar.GetButton(0)->GetRect().right);

    // a separator at the start, after a separator or before a hidden button
    // is not shown
    m_bar.SetButtonStyle(6, m_bar.GetButtonStyle(6) | TBBS_HIDDEN);
    m_bar.InsertButton(0, 0, false);
    m_bar.InsertButton(4, 0, false);
    m_bar.RequestFrameRecalcLayout();
    kxgui::PumpUntilIdle();
    // now: separator, bold, italic, separator, separator, open, colour,
    // separator, print (hidden), help, chevron
    EXPECT_FALSE(m_bar.GetButton(0)->IsVisible());
    EXPECT_TRUE(m_bar.GetButton(3)->IsVisible());
    EXPECT_FALSE(m_bar.GetButton(4)->IsVisible());
    EXPECT_FALSE(m_bar.GetButton(7)->IsVisible());
    EXPECT_EQ(m_bar.GetButton(5)->GetRect().left, m_bar.GetButton(3)->GetRect().right);

    // too short: the buttons that pass the end go into the chevron
    m_bar.SetWindowPos(nullptr, 0, 0, 100, rcBar.Height(), SWP_NOMOVE | SWP_NOZORDER);
    m_bar.ArrangeButtons();
    const auto& hidden = m_bar.GetChevron()->GetHiddenButtons();
    ASSERT_GT(hidden.GetSize(), 0);
    for (INT_PTR i = 0; i < hidden.GetSize(); ++i)
    {
        EXPECT_FALSE(hidden[i]->IsVisible());
        EXPECT_EQ(hidden[i]->GetStyle() & TBBS_HIDDEN, 0u);
    }
    EXPECT_TRUE(m_bar.GetChevron()->IsVisible());
}

TEST_F(ExtToolControlBarTest, IdleUpdateEnablesChecksAndMarks)
{
    LoadAndDock();
    m_frame.m_states[kBold].nCheck = 1;
    m_frame.m_states[kItalic].nCheck = 2;
    m_frame.m_states[kPrint].bEnabled = false;
    IdleUpdate();
    EXPECT_EQ(m_bar.GetButtonStyle(0) & (TBBS_CHECKED | TBBS_CHECKBOX), TBBS_CHECKED | TBBS_CHECKBOX);
    EXPECT_EQ(m_bar.GetButtonStyle(1) & TBBS_INDETERMINATE, TBBS_INDETERMINATE);
    EXPECT_NE(m_bar.GetButtonStyle(6) & TBBS_DISABLED, 0u);
    EXPECT_FALSE(g_CmdManager->FindCommand(kProfile, kPrint)->IsEnabled());
    EXPECT_TRUE(g_CmdManager->FindCommand(kProfile, kBold)->IsChecked());
    // the chevron is left alone
    EXPECT_EQ(m_bar.GetButtonStyle(8) & TBBS_DISABLED, 0u);
}

TEST_F(ExtToolControlBarTest, CheckBoxRunsItsCommandThenToggles)
{
    LoadAndDock();
    m_frame.m_states[kBold].nCheck = 0;
    IdleUpdate();
    kxgui::Click(m_bar.m_hWnd, Centre(0));
    kxgui::PumpUntilIdle();
    ASSERT_EQ(m_frame.m_arrCommands, std::vector<UINT>{kBold});
    // the release gave the checked look, then the update set the check the
    // application holds
    EXPECT_EQ(m_bar.GetButtonStyle(0) & (TBBS_PRESSED | TBBS_INDETERMINATE), 0u);

    // the update does not answer any more: the toggled look stays
    m_frame.m_states[kBold].nCheck = -1;
    m_bar.SetButtonStyle(0, (m_bar.GetButtonStyle(0) & ~TBBS_CHECKED) | TBBS_INDETERMINATE | TBBS_CHECKBOX);
    kxgui::Click(m_bar.m_hWnd, Centre(0));
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_frame.m_arrCommands.size(), 2u);
    EXPECT_EQ(m_bar.GetButtonStyle(0) & (TBBS_CHECKED | TBBS_INDETERMINATE), TBBS_CHECKED);

    // press, move away and release: nothing runs and the pressed look goes
    kxgui::InputScript()
        .MoveTo(m_bar.m_hWnd, Centre(1))
        .ButtonDown()
        .MoveTo(m_frame.m_hWnd, CPoint(300, 300))
        .ButtonUp()
        .Send();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_frame.m_arrCommands.size(), 2u);
    EXPECT_EQ(m_bar.GetButtonStyle(1) & TBBS_PRESSED, 0u);
    EXPECT_EQ(m_bar.GetPressedButton(), -1);

    // a disabled plain button ignores clicks
    m_frame.m_states[kPrint].bEnabled = false;
    IdleUpdate();
    kxgui::Click(m_bar.m_hWnd, Centre(6));
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_frame.m_arrCommands.size(), 2u);
    EXPECT_EQ(m_bar.GetButtonStyle(6) & TBBS_PRESSED, 0u);
}

TEST_F(ExtToolControlBarTest, HoverShowsTheTipOfTheButton)
{
    LoadAndDock();
    CPoint pt = Centre(6);
    m_bar.ClientToScreen(&pt);
    kxgui::MoveMouseTo(CPoint(pt.x, pt.y + 200));
    kxgui::PumpUntilIdle();
    kxgui::MoveMouseTo(pt);
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_bar.GetHoverButton(), 6);
    EXPECT_TRUE(m_bar.GetButton(6)->IsHover());
    CExtPopupMenuTipWnd& tip = CExtPopupMenuWnd::GetTracker().GetTipWnd();
    EXPECT_STREQ(LPCTSTR(tip.m_sText), "Print");
    EXPECT_EQ(tip.GetTipType(), CExtPopupMenuTipWnd::TipTypeRectBelow);
    // the framework's tooltip control gets nothing: the bar shows its own
    EXPECT_EQ(m_bar.OnToolHitTest(Centre(6), nullptr), -1);
    // leaving the bar ends the hover
    kxgui::MoveMouseTo(CPoint(pt.x, pt.y + 200));
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_bar.GetHoverButton(), -1);
    tip.Hide();
}

TEST_F(ExtToolControlBarTest, DropDownMenusAndSeparatedDropDowns)
{
    LoadAndDock();
    // a plain drop-down opens on the press
    kxgui::Click(m_bar.m_hWnd, Centre(3));
    kxgui::PumpUntilIdle();
    ASSERT_TRUE(IsPopupTrackingActive());
    EXPECT_TRUE(CExtToolControlBar::g_bMenuTracking);
    EXPECT_EQ(m_bar.GetMenuTrackingButton(), 3);
    EXPECT_NE(m_bar.GetButtonStyle(3) & TBBS_PRESSED, 0u);
    EXPECT_TRUE(m_frame.m_arrCommands.empty());
    // moving onto the colour button hands the menu over
    kxgui::MoveMouseTo(
        [&]
        {
            CPoint pt = Centre(4);
            m_bar.ClientToScreen(&pt);
            return pt;
        }());
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_bar.GetMenuTrackingButton(), 4);
    CExtPopupMenuWnd* pTop = CExtPopupMenuWnd::GetTracker().GetTopPopup();
    ASSERT_NE(pTop, nullptr);
    EXPECT_TRUE(pTop->IsKindOf(RUNTIME_CLASS(CExtPopupColorMenuWnd)));
    // cancelling ends every bar's tracking
    CExtToolControlBar::CancelTrackingInAllBars();
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(CExtToolControlBar::g_bMenuTracking);
    EXPECT_EQ(m_bar.GetMenuTrackingButton(), -1);
    EXPECT_EQ(m_bar.GetButtonStyle(4) & TBBS_PRESSED, 0u);
    EXPECT_FALSE(IsPopupTrackingActive());

    // a separated drop-down: the body delivers on the release, the arrow
    // opens the menu even when disabled
    CExtBarButton* pOpen = m_bar.GetButton(3);
    pOpen->SetSeparatedDropDown(true);
    kxgui::Click(m_bar.m_hWnd, CPoint(pOpen->GetRect().left + 4, Centre(3).y));
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_frame.m_arrCommands, std::vector<UINT>{kOpen});
    EXPECT_FALSE(IsPopupTrackingActive());
    m_frame.m_states[kOpen].bEnabled = false;
    IdleUpdate();
    ASSERT_TRUE(pOpen->IsDisabled());
    kxgui::Click(m_bar.m_hWnd, CPoint(pOpen->GetRect().left + 4, Centre(3).y));
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(m_frame.m_arrCommands.size(), 1u);
    kxgui::Click(m_bar.m_hWnd, CPoint(pOpen->GetRect().right - 4, Centre(3).y));
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(IsPopupTrackingActive());
    EXPECT_EQ(m_bar.GetMenuTrackingButton(), 3);
}

TEST_F(ExtToolControlBarTest, ColourButtonSendsTheColourInsteadOfACommand)
{
    LoadAndDock();
    auto* pColour = static_cast<CExtBarColorButton*>(m_bar.GetButton(4));
    const CExtCmdIcon* pIcon = g_CmdManager->GetCommandIcon(kProfile, kColour);
    ASSERT_NE(pIcon, nullptr);
    EXPECT_FALSE(pIcon->IsEmpty());
    EXPECT_EQ(pColour->DeliverCommand(), 0);
    EXPECT_EQ(m_frame.m_arrColours, std::vector<COLORREF>{RGB(255, 0, 0)});
    EXPECT_TRUE(m_frame.m_arrCommands.empty());
    EXPECT_EQ(pColour->HelpHitTest(CPoint(0, 0)), static_cast<int>(kColour));
}

TEST_F(ExtToolControlBarTest, ChevronTipAndMenu)
{
    m_frame.m_kind = CTestDockFrame::Kind::PlainFrame;
    LoadAndDock();
    CExtBarContentExpandButton* pChevron = m_bar.GetChevron();
    TOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    EXPECT_EQ(pChevron->ToolHitTest(CPoint(0, 0), &ti), 57345);
    ASSERT_NE(ti.lpszText, LPSTR_TEXTCALLBACKA);
    EXPECT_STREQ(ti.lpszText, "Where are buttons?");
    EXPECT_EQ(ti.uId, 57345u);
    free(ti.lpszText);

    CRect rcBar;
    m_bar.GetClientRect(&rcBar);
    m_bar.SetWindowPos(nullptr, 0, 0, 90, rcBar.Height(), SWP_NOMOVE | SWP_NOZORDER);
    m_bar.ArrangeButtons();
    ASSERT_GT(pChevron->GetHiddenButtons().GetSize(), 0);
    kxgui::Click(m_bar.m_hWnd, pChevron->GetRect().CenterPoint());
    kxgui::PumpUntilIdle();
    ASSERT_TRUE(IsPopupTrackingActive());
    CExtPopupMenuWnd* pMenu = CExtPopupMenuWnd::GetTracker().GetTopPopup();
    ASSERT_NE(pMenu, nullptr);
    std::string sItems;
    for (int i = 0; i < pMenu->ItemGetCount(); ++i)
        sItems += pMenu->GetItemAt(i).IsSeparator() ? std::string("- ") : std::string(pMenu->ItemGetText(i)) + "|";
    EXPECT_NE(sItems.find("&Show/hide panels"), std::string::npos) << sItems;
    EXPECT_EQ(m_bar.GetMenuTrackingButton(), m_bar.GetButtonsCount() - 1);
    // in columns: the hidden buttons' separators are gone, drop-downs open
    // at the side, commands are the menu's own items; the bars menu ends
    // its own row after the one separator
    using MI = CExtPopupMenuWnd::MENUITEMDATA;
    const int nCount = pMenu->ItemGetCount();
    ASSERT_GE(nCount, 3);
    for (int i = 0; i < nCount - 2; ++i)
    {
        const MI& mi = pMenu->GetItemAt(i);
        EXPECT_FALSE(mi.IsSeparator()) << i;
        EXPECT_TRUE(mi.IsPopup() ? (mi.m_nStateFlags & MI::STATE_SUBMENU_SIDE) != 0 : mi.IsOwnItem()) << i;
    }
    EXPECT_TRUE(pMenu->GetItemAt(0).IsPopup()) << "the open button's menu";
    EXPECT_TRUE(pMenu->GetItemAt(nCount - 2).IsSeparator());
    const BYTE nBarsFlags = pMenu->GetItemAt(nCount - 1).m_nStateFlags;
    EXPECT_EQ(nBarsFlags & (MI::STATE_SUBMENU_SIDE | MI::STATE_TOOL_BUTTON | MI::STATE_WRAP),
              MI::STATE_SUBMENU_SIDE | MI::STATE_TOOL_BUTTON | MI::STATE_WRAP);
}

TEST_F(ExtToolControlBarTest, ContextHelp)
{
    LoadAndDock();
    // outside help mode a drop-down answers -3 and a plain button its id
    EXPECT_EQ(m_bar.HelpHitTest(Centre(3)), -3);
    EXPECT_EQ(m_bar.HelpHitTest(Centre(6)), static_cast<int>(kPrint));
    EXPECT_EQ(CExtToolControlBar::ContextHelpLoop(&m_bar), -3);
    // in help mode a loop runs until a command comes; a second one answers
    // -3 at once
    m_frame.m_bHelpMode = TRUE;
    CExtToolControlBar::g_bHelpLoop = true;
    EXPECT_EQ(CExtToolControlBar::ContextHelpLoop(&m_bar), -3);
    CExtToolControlBar::g_bHelpLoop = false;
    m_frame.PostMessage(WM_COMMAND, kHelp);
    EXPECT_EQ(CExtToolControlBar::ContextHelpLoop(&m_bar), static_cast<int>(kHelp));
    m_frame.PostMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(CExtToolControlBar::ContextHelpLoop(&m_bar), 0x1EF06);
    EXPECT_FALSE(CExtToolControlBar::g_bHelpLoop);
    m_frame.m_bHelpMode = FALSE;
}

TEST_F(ExtToolControlBarTest, DoubleClickOnSeparatorFloatsAndToggleDocksBack)
{
    LoadAndDock();
    const std::string sDocked = DumpDockLayout(&m_frame);
    m_bar.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(Centre(2).x, Centre(2).y));
    kxgui::PumpUntilIdle();
    ASSERT_TRUE(m_bar.IsFloating());
    CFrameWnd* pFloating = m_bar.GetParentFrame();
    ASSERT_NE(pFloating, nullptr);
    EXPECT_TRUE(pFloating->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)));
    // the floating bar's rows show behind the windows on it in the Office
    // 2003 theme; a docked bar's do not
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerOffice2003));
    m_bar.RequestFrameRecalcLayout();
    kxgui::PumpUntilIdle();
    CWnd control;
    ASSERT_TRUE(
        control.CreateEx(0, AfxRegisterWndClass(0), "control", WS_CHILD | WS_VISIBLE, CRect(2, 2, 12, 12), &m_bar, 1));
    CExtToolControlBar::BarRowsInfo rows;
    ASSERT_TRUE(rows.Collect(control.m_hWnd));
    EXPECT_EQ(rows.m_pBar, &m_bar);
    EXPECT_EQ(rows.m_pFloatingFrame, pFloating);
    ASSERT_EQ(rows.m_arrRowRects.GetSize(), 1);
    EXPECT_EQ(rows.m_arrLastButtons[0], m_bar.GetButtonsCount());
    EXPECT_FALSE(rows.Collect(m_bar.m_hWnd)) << "the bar itself";
    m_bar.ToggleDocking();
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(m_bar.IsFloating());
    EXPECT_EQ(DumpDockLayout(&m_frame), sDocked);
    EXPECT_FALSE(rows.Collect(control.m_hWnd));
    control.DestroyWindow();
}

// A bar that asks the docking for rows filling a whole dock row, as the
// menu bar does.
class CMultiRowBar : public CExtToolControlBar
{
protected:
    bool WantsMultiRowDocking() const override { return true; }
};

TEST_F(ExtToolControlBarTest, MultiRowBarWrapsInsteadOfDroppingButtons)
{
    m_frame.SetWindowPos(nullptr, 0, 0, 140, 300, SWP_NOMOVE | SWP_NOZORDER);
    CMultiRowBar bar;
    ASSERT_TRUE(bar.Create("Rows", &m_frame, kIdBar + 3, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC));
    bar.SetOwner(&m_frame);
    bar.EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(bar.LoadToolBarResource(128));
    m_frame.DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    Layout();
    EXPECT_TRUE(bar.IsMultiRowLayout());
    EXPECT_FALSE(m_bar.IsMultiRowLayout()) << "a plain tool bar";
    EXPECT_TRUE(bar.OccupiesWholeRow()) << "wrapped into rows";
    CRect rcClient;
    bar.GetClientRect(&rcClient);
    // every button shows, in more than one row, inside the bar; the chevron
    // stays at the end and offers nothing
    std::set<int> tops;
    for (int i = 0; i + 1 < bar.GetButtonsCount(); ++i)
    {
        const CExtBarButton* pButton = bar.GetButton(i);
        if (pButton->IsSeparator())
            continue;
        EXPECT_TRUE(pButton->IsVisible()) << i;
        EXPECT_LE(pButton->GetRect().right, bar.GetChevron()->GetRect().left) << i;
        tops.insert(pButton->GetRect().top);
    }
    EXPECT_GE(tops.size(), 2u);
    EXPECT_EQ(bar.GetChevron()->GetHiddenButtons().GetSize(), 0);
    EXPECT_GE(rcClient.Height(), 2 * 22);
    bar.DestroyWindow();
}

TEST_F(ExtToolControlBarTest, BarInADialogOffersItsChevronOnlyForHiddenButtons)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "Kestrelux dialog bar test", WS_POPUP | WS_VISIBLE,
                              CRect(100, 100, 500, 200), nullptr, 0));
    ASSERT_TRUE(g_CmdManager->AttachWindowToProfile(kProfile, host.m_hWnd));
    {
        CExtToolControlBar bar;
        ASSERT_TRUE(bar.Create("Dialog tools", &host, kIdBar + 4, WS_CHILD | WS_VISIBLE | CBRS_TOP));
        ASSERT_TRUE(bar.IsDialogHosted());
        // a dialog places the bar itself: it says how the bar lies
        bar.SetBarStyle(bar.GetBarStyle() | CBRS_ALIGN_TOP);
        ASSERT_TRUE(bar.LoadToolBarResource(128));
        EXPECT_FALSE(bar.IsMultiRowLayout());
        EXPECT_EQ(bar.GetLayoutKind(), 2);
        const CSize size = bar.CalcFixedLayout(FALSE, TRUE);
        bar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER);
        kxgui::PumpUntilIdle();
        EXPECT_EQ(bar.GetChevron()->GetHiddenButtons().GetSize(), 0);
        EXPECT_TRUE(bar.GetChevron()->IsDisabled());
        bar.SetWindowPos(nullptr, 0, 0, 80, size.cy, SWP_NOZORDER);
        kxgui::PumpUntilIdle();
        EXPECT_GT(bar.GetChevron()->GetHiddenButtons().GetSize(), 0);
        EXPECT_FALSE(bar.GetChevron()->IsDisabled());
        bar.DestroyWindow();
    }
    g_CmdManager->DetachWindowFromProfile(host.m_hWnd);
    host.DestroyWindow();
}

// Three bars in one frame: docked at the top with a checked, a disabled, a
// hovered and a drop-down button, the colour button and the chevron; docked
// at the left; and floating.
class ExtToolControlBarGallery : public ExtToolControlBarTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(ExtToolControlBarGallery, Screenshot)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(GetParam())));
    LoadAndDock();
    CExtToolControlBar vert, floating;
    for (CExtToolControlBar* p : {&vert, &floating})
    {
        ASSERT_TRUE(p->Create("Tools", &m_frame, kIdBar + (p == &vert ? 1 : 2),
                              WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC));
        p->SetOwner(&m_frame);
        p->EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_TRUE(p->LoadToolBarResource(128));
    }
    // the other bars' loading gave the colour command its bitmap icon back
    static_cast<CExtBarColorButton*>(m_bar.GetButton(4))->RefreshColorIcon();
    m_frame.DockControlBar(&vert, AFX_IDW_DOCKBAR_LEFT);
    CRect rcFrame;
    m_frame.GetWindowRect(&rcFrame);
    m_frame.FloatControlBar(&floating, CPoint(rcFrame.left + 200, rcFrame.top + 200));
    m_frame.m_states[kBold].nCheck = 1;
    m_frame.m_states[kPrint].bEnabled = false;
    IdleUpdate();
    Layout();
    // narrow enough for the chevron to take the help button
    CRect rcBar;
    m_bar.GetWindowRect(&rcBar);
    m_bar.SetWindowPos(nullptr, 0, 0, rcBar.Width() - 20, rcBar.Height(), SWP_NOMOVE | SWP_NOZORDER);
    m_bar.ArrangeButtons();
    m_bar.UpdateHover(Centre(1));
    m_bar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    kxgui::PumpUntilIdle();
    EXPECT_GT(m_bar.GetChevron()->GetHiddenButtons().GetSize(), 0);
    EXPECT_TRUE(floating.IsFloating());
    EXPECT_TRUE(vert.IsDockedVertically());

    const std::string sTheme = ExtTestThemeName(GetParam());
    const kxgui::PixelBuffer docked = kxgui::CaptureScreen(m_frame.m_hWnd);
    ASSERT_FALSE(docked.IsEmpty());
    EXPECT_FALSE(kxgui::SaveArtifact(docked, "tool-bar-docked-" + sTheme + ".png").empty());
    CFrameWnd* pFloating = floating.GetParentFrame();
    ASSERT_NE(pFloating, nullptr);
    pFloating->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer floated = kxgui::CaptureScreen(pFloating->m_hWnd, false);
    ASSERT_FALSE(floated.IsEmpty());
    EXPECT_FALSE(kxgui::SaveArtifact(floated, "tool-bar-floating-" + sTheme + ".png").empty());
    // the bold button's icon (a red frame) is painted
    CRect rcBold = m_bar.GetButton(0)->GetRect();
    m_bar.MapWindowPoints(&m_frame, &rcBold);
    EXPECT_GT(docked.CountColor(RGB(200, 0, 0), rcBold), 20);
    m_bar.UpdateHover(CPoint(-1, -1));
}

INSTANTIATE_TEST_SUITE_P(Themes, ExtToolControlBarGallery, ::testing::Range(0, kExtTestThemeCount),
                         [](const ::testing::TestParamInfo<int>& info) { return ExtTestThemeName(info.param); });

} // namespace
