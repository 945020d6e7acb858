// Push buttons on a real dialog driven by real input: clicks, a press that
// leaves the button, the space bar holding the mouse off, keys on disabled
// and hidden buttons, the dialog's default face moving, the popup-menu
// notifications reaching the dialog, and the faces in every theme.
#include "uitoolkit/controls/ExtButton.h"

#include "framework/win/Dialog.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const UINT kIdDialog = 0x7A00, kIdAlpha = 0x7A01, kIdBeta = 0x7A02, kIdGamma = 0x7A03;

class CButtonDialog : public CDialog
{
public:
    CExtButton m_alpha, m_beta, m_gamma;
    std::vector<UINT> m_commands;
    struct Relayed
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Relayed> m_relayed;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_alpha.SubclassDlgItem(kIdAlpha, this);
        m_beta.SubclassDlgItem(kIdBeta, this);
        m_gamma.SubclassDlgItem(kIdGamma, this);
        return TRUE;
    }
    // the commands of the buttons' menus are enabled
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nCode == CN_UPDATE_COMMAND_UI && (nID == 0x7A30 || nID == 0x7A31))
        {
            static_cast<CCmdUI*>(pExtra)->Enable(TRUE);
            return TRUE;
        }
        return CDialog::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (HIWORD(wParam) == BN_CLICKED)
            m_commands.push_back(LOWORD(wParam));
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= 0xC000)
        {
            m_relayed.push_back({message, wParam, lParam});
            return static_cast<LRESULT>(message) * 3 + 1;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

class PushButtonWindows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
        ASSERT_TRUE(m_dlg.Create(kIdDialog));
        m_dlg.ShowWindow(SW_SHOW);
        kxgui::Activate(m_dlg.m_hWnd);
        // the cursor starts off every button
        kxgui::InputScript park;
        park.MoveTo(m_dlg.m_hWnd, {2, 2});
        Step(park);
    }
    void TearDown() override
    {
        if (m_dlg.m_hWnd != nullptr)
            m_dlg.DestroyWindow();
        Pump();
    }
    void Pump()
    {
        kxgui::PumpUntilIdle([this](MSG& msg) { return CWnd::WalkPreTranslateTree(m_dlg.m_hWnd, &msg) != FALSE; });
    }
    // One input step at a time: the button reads the cursor position when
    // it handles the step, as it does for a user.
    void Step(kxgui::InputScript& script)
    {
        script.Send();
        Pump();
    }
    static POINT Centre(CWnd& wnd)
    {
        CRect rc;
        wnd.GetClientRect(&rc);
        return {rc.Width() / 2, rc.Height() / 2};
    }

    CButtonDialog m_dlg;
};

TEST_F(PushButtonWindows, SubclassingKeepsTheKindAndDrawsItself)
{
    EXPECT_TRUE(m_dlg.m_alpha.IsDefaultButton());
    EXPECT_FALSE(m_dlg.m_beta.IsDefaultButton());
    EXPECT_TRUE(m_dlg.m_beta.IsPushButtonType());
    EXPECT_EQ(m_dlg.m_beta.GetStyle() & 0x0F, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(m_dlg.m_beta.m_nTextAlign, static_cast<UINT>(DT_CENTER | DT_VCENTER));
}

TEST_F(PushButtonWindows, AClickSendsTheCommand)
{
    kxgui::InputScript().Click(m_dlg.m_beta.m_hWnd, Centre(m_dlg.m_beta)).Send();
    Pump();
    EXPECT_EQ(m_dlg.m_commands, std::vector<UINT>{kIdBeta});
}

TEST_F(PushButtonWindows, APressMovedOffAndReleasedSendsNothing)
{
    CExtButton& beta = m_dlg.m_beta;
    kxgui::InputScript down;
    down.MoveTo(beta.m_hWnd, Centre(beta)).ButtonDown();
    Step(down);
    EXPECT_EQ(beta.GetState() & 0x1C, 0x1C);
    kxgui::InputScript off;
    off.MoveTo(beta.m_hWnd, {Centre(beta).x, -15});
    Step(off);
    EXPECT_EQ(beta.GetState() & (CExtButton::STATE_HOVER | CExtButton::STATE_PUSHED), 0);
    kxgui::InputScript back;
    back.MoveTo(beta.m_hWnd, Centre(beta));
    Step(back);
    EXPECT_NE(beta.GetState() & CExtButton::STATE_PUSHED, 0);
    kxgui::InputScript offAgain;
    offAgain.MoveTo(beta.m_hWnd, {Centre(beta).x, -15}).ButtonUp();
    Step(offAgain);
    EXPECT_TRUE(m_dlg.m_commands.empty());
    EXPECT_EQ(beta.GetState() & 0x1C, 0);
    EXPECT_NE(::GetCapture(), beta.m_hWnd);
}

TEST_F(PushButtonWindows, TheMouseIsIgnoredWhileSpaceIsHeld)
{
    CExtButton& beta = m_dlg.m_beta;
    beta.SetFocus();
    Pump();
    kxgui::InputScript space;
    space.KeyDown(VK_SPACE);
    Step(space);
    EXPECT_EQ(beta.GetState() & 0x2C, 0x2C);
    kxgui::InputScript click;
    click.Click(beta.m_hWnd, Centre(beta));
    Step(click);
    EXPECT_TRUE(m_dlg.m_commands.empty());
    EXPECT_NE(beta.GetState() & CExtButton::STATE_KEY_PRESS, 0);
    kxgui::InputScript release;
    release.KeyUp(VK_SPACE);
    Step(release);
    EXPECT_EQ(m_dlg.m_commands, std::vector<UINT>{kIdBeta});
    EXPECT_EQ(beta.GetState() & 0x38, 0);
}

TEST_F(PushButtonWindows, KeysOnADisabledOrHiddenButtonAreEaten)
{
    m_dlg.m_beta.ShowWindow(SW_HIDE);
    struct Case
    {
        CExtButton* button;
        UINT message;
        WPARAM key;
    };
    const Case cases[] = {{&m_dlg.m_gamma, WM_KEYDOWN, VK_RETURN},
                          {&m_dlg.m_gamma, WM_KEYDOWN, VK_SPACE},
                          {&m_dlg.m_gamma, WM_KEYUP, VK_SPACE},
                          {&m_dlg.m_beta, WM_KEYDOWN, VK_RETURN},
                          {&m_dlg.m_beta, WM_KEYDOWN, VK_SPACE}};
    for (const Case& c : cases)
    {
        MSG msg = {c.button->m_hWnd, c.message, c.key, 0, 0, {0, 0}};
        EXPECT_TRUE(c.button->PreTranslateMessage(&msg)) << c.message << " " << c.key;
        EXPECT_EQ(c.button->GetState() & 0x3C, 0);
    }
    Pump();
    EXPECT_TRUE(m_dlg.m_commands.empty());
}

TEST_F(PushButtonWindows, EnterClicksTheFocusedButton)
{
    m_dlg.m_beta.SetFocus();
    Pump();
    kxgui::InputScript enter;
    enter.Key(VK_RETURN);
    Step(enter);
    EXPECT_EQ(m_dlg.m_commands, std::vector<UINT>{kIdBeta});
}

TEST_F(PushButtonWindows, SetStyleMovesTheDefaultFace)
{
    const kxgui::PixelBuffer plainBefore = kxgui::CaptureScreen(m_dlg.m_beta.m_hWnd);
    m_dlg.m_alpha.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    m_dlg.m_beta.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    Pump();
    EXPECT_FALSE(m_dlg.m_alpha.IsDefaultButton());
    EXPECT_TRUE(m_dlg.m_beta.IsDefaultButton());
    // the control stays owner-drawn whatever kind it is told
    EXPECT_EQ(m_dlg.m_beta.GetStyle() & 0x0F, static_cast<DWORD>(BS_OWNERDRAW));
    // the bold caption darkens more pixels than the normal one
    auto dark = [](const kxgui::PixelBuffer& px) {
        return px.CountColor(RGB(0, 0, 0), {4, 4, px.width - 4, px.height - 4});
    };
    const kxgui::PixelBuffer boldAfter = kxgui::CaptureScreen(m_dlg.m_beta.m_hWnd);
    EXPECT_GT(dark(boldAfter), dark(plainBefore));
}

TEST_F(PushButtonWindows, PopupMenuNotificationsReachTheParent)
{
    const UINT messages[] = {CExtPopupMenuWnd::g_nMsgPrepareMenu,      CExtPopupMenuWnd::g_nMsgPopupNext,
                             CExtPopupMenuWnd::g_nMsgPopupPrev,        CExtPopupMenuWnd::g_nMsgNotifyMenuExpanded,
                             CExtPopupMenuWnd::g_nMsgNotifyMenuClosed, CExtPopupMenuWnd::g_nMsgPopupDrawItem,
                             CExtPopupMenuWnd::g_nMsgPopupDrawLeftArea};
    for (UINT message : messages)
    {
        m_dlg.m_relayed.clear();
        EXPECT_EQ(m_dlg.m_alpha.SendMessage(message, 11, 22), static_cast<LRESULT>(message) * 3 + 1);
        ASSERT_EQ(m_dlg.m_relayed.size(), 1u);
        EXPECT_EQ(m_dlg.m_relayed[0].message, message);
        EXPECT_EQ(m_dlg.m_relayed[0].wParam, 11u);
        EXPECT_EQ(m_dlg.m_relayed[0].lParam, 22);
    }
}

TEST_F(PushButtonWindows, AButtonWithAMenuOpensItInsteadOfCommanding)
{
    ASSERT_TRUE(g_CmdManager->SetupProfile("PushButtonTest", m_dlg.m_hWnd));
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, 0x7A30, "Item");
    ASSERT_TRUE(m_dlg.m_beta.m_menu.CreateMenu());
    m_dlg.m_beta.m_menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), "Menu");
    kxgui::InputScript().Click(m_dlg.m_beta.m_hWnd, Centre(m_dlg.m_beta)).Send();
    Pump();
    EXPECT_TRUE(IsPopupTrackingActive());
    EXPECT_TRUE(m_dlg.m_commands.empty());
    CloseActivePopupTree();
    Pump();
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_TRUE(m_dlg.m_commands.empty());
    g_CmdManager->DetachWindowFromProfile(m_dlg.m_hWnd, true);
}

// Gives the button a menu "Menu" with "First" (0x7A30) and "Second"
// (0x7A31), registered in the dialog's profile.
void GiveMenu(CButtonDialog& dlg, CExtButton& button)
{
    ASSERT_TRUE(g_CmdManager->SetupProfile("PushButtonTest", dlg.m_hWnd));
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, 0x7A30, "First");
    popup.AppendMenu(MF_STRING, 0x7A31, "Second");
    ASSERT_TRUE(button.m_menu.CreateMenu());
    button.m_menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), "Menu");
    ASSERT_TRUE(g_CmdManager->LoadMenuCommands("PushButtonTest", button.m_menu.GetSafeHmenu()));
}

TEST_F(PushButtonWindows, ASplitButtonCommandsFromItsFaceAndOpensTheMenuFromItsArrow)
{
    GiveMenu(m_dlg, m_dlg.m_beta);
    m_dlg.m_beta.m_bState |= CExtButton::STATE_SPLIT_ARROW;
    CRect rcMain, rcArrow;
    m_dlg.m_beta.GetButtonRects(rcMain, rcArrow);
    EXPECT_EQ(rcArrow.right, rcMain.right + rcArrow.Width());
    EXPECT_GT(rcArrow.Width(), 6);
    EXPECT_EQ(rcMain.right, rcArrow.left);

    kxgui::InputScript().Click(m_dlg.m_beta.m_hWnd, rcMain.CenterPoint()).Send();
    Pump();
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(m_dlg.m_commands, (std::vector<UINT>{kIdBeta}));

    kxgui::InputScript().Click(m_dlg.m_beta.m_hWnd, rcArrow.CenterPoint()).Send();
    Pump();
    EXPECT_TRUE(IsPopupTrackingActive());
    EXPECT_EQ(m_dlg.m_commands.size(), 1u);
    CloseActivePopupTree();
    Pump();
    // the mnemonic counts as a click on the arrow part
    EXPECT_TRUE(m_dlg.m_beta.OnAccelPressed());
    EXPECT_TRUE(IsPopupTrackingActive());
    CloseActivePopupTree();
    Pump();
    EXPECT_EQ(m_dlg.m_commands.size(), 1u);
    g_CmdManager->DetachWindowFromProfile(m_dlg.m_hWnd, true);
}

// Chooses the second entry of the open menu, from inside the menu's loop:
// highlighted through the menu's own call, then Enter.
void CALLBACK ChooseSecondEntry(HWND, UINT, UINT_PTR nId, DWORD)
{
    CExtPopupMenuWnd* pMenu = CExtPopupMenuWnd::GetTracker().GetTopPopup();
    // keys wait until the menu has finished appearing
    if (pMenu == nullptr || !pMenu->IsWindowVisible() || !pMenu->m_animation.Finished ||
        CExtPopupMenuWnd::GetTracker().GetAnimatingPopup() != nullptr)
        return;
    ::KillTimer(nullptr, nId);
    pMenu->ItemFocusSet(1, false, true);
    bool bPassOn = false;
    pMenu->OnKeyDown(VK_RETURN, 1, 0, bPassOn);
    // a menu that took no choice closes, so that the test fails instead of
    // waiting for ever
    if (CExtPopupMenuWnd::GetTracker().GetTopPopup() == pMenu)
        CloseActivePopupTree();
}

TEST_F(PushButtonWindows, TakingOverTheChosenCommand)
{
    const int nOldAnimation = CExtPopupBaseWnd::g_nDefaultAnimationKind;
    CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
    GiveMenu(m_dlg, m_dlg.m_beta);
    g_CmdManager->FindCommand("PushButtonTest", 0x7A31)->m_sToolbarText = "Two";
    struct Case
    {
        BYTE bStateEx;
        const char* pszText;
    } cases[] = {{0, "Beta"}, {CExtButton::STATE_EX_TAKE_TEXT_AND_ICON, "Two"}};
    for (const Case& c : cases)
    {
        m_dlg.m_beta.SetDlgCtrlID(kIdBeta);
        m_dlg.m_beta.SetWindowText("Beta");
        m_dlg.m_beta.m_bState |= CExtButton::STATE_TAKE_OVER_COMMAND;
        m_dlg.m_beta.m_bStateEx = c.bStateEx;
        m_dlg.m_commands.clear();
        const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 20, &ChooseSecondEntry);
        ASSERT_NE(nTimer, 0u);
        // returns once the menu has closed
        ASSERT_TRUE(m_dlg.m_beta.TrackDropDownMenu(false));
        ::KillTimer(nullptr, nTimer);
        EXPECT_FALSE(IsPopupTrackingActive());
        EXPECT_EQ(m_dlg.m_beta.GetDlgCtrlID(), 0x7A31);
        EXPECT_EQ(m_dlg.m_commands, (std::vector<UINT>{0x7A31}));
        CString sText;
        m_dlg.m_beta.GetWindowText(sText);
        EXPECT_STREQ(sText, c.pszText);
    }
    CExtPopupBaseWnd::g_nDefaultAnimationKind = nOldAnimation;
    g_CmdManager->DetachWindowFromProfile(m_dlg.m_hWnd, true);
}

TEST_F(PushButtonWindows, ACheckBoxKindTogglesAndNotifies)
{
    m_dlg.m_beta.m_nButtonType = BS_AUTOCHECKBOX;
    m_dlg.m_beta.OnClick(false, false);
    EXPECT_EQ(m_dlg.m_beta.GetCheck(), 1);
    m_dlg.m_beta.OnClick(false, false);
    EXPECT_EQ(m_dlg.m_beta.GetCheck(), 0);
    EXPECT_EQ(m_dlg.m_commands, (std::vector<UINT>{kIdBeta, kIdBeta}));
}

TEST_F(PushButtonWindows, MnemonicsMatchTheCaption)
{
    EXPECT_TRUE(m_dlg.m_alpha.IsAccelKey('A'));
    EXPECT_FALSE(m_dlg.m_alpha.IsAccelKey('L'));
    EXPECT_FALSE(m_dlg.m_beta.IsAccelKey('B'));
    m_dlg.m_beta.SetWindowText("Trailing&");
    EXPECT_FALSE(m_dlg.m_beta.IsAccelKey('G'));
}

TEST_F(PushButtonWindows, FacesInEveryTheme)
{
    // Alpha shows its arrow part of its own
    GiveMenu(m_dlg, m_dlg.m_alpha);
    m_dlg.m_alpha.m_bState |= CExtButton::STATE_SPLIT_ARROW;
    for (int nTheme = 0; nTheme < kExtTestThemeCount; ++nTheme)
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
        m_dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        // normal, default and disabled; then Beta hovered, then pressed
        kxgui::InputScript hover;
        hover.MoveTo(m_dlg.m_beta.m_hWnd, Centre(m_dlg.m_beta));
        Step(hover);
        EXPECT_NE(m_dlg.m_beta.GetState() & CExtButton::STATE_HOVER, 0);
        const std::string name = ExtTestThemeName(nTheme);
        kxgui::SaveArtifact(kxgui::CaptureScreen(m_dlg.m_hWnd), "push_buttons_hover_" + name + ".png");
        kxgui::InputScript press;
        press.ButtonDown();
        Step(press);
        kxgui::SaveArtifact(kxgui::CaptureScreen(m_dlg.m_hWnd), "push_buttons_pressed_" + name + ".png");
        kxgui::InputScript away;
        away.MoveTo(m_dlg.m_beta.m_hWnd, {Centre(m_dlg.m_beta).x, -40}).ButtonUp();
        Step(away);
    }
    EXPECT_TRUE(m_dlg.m_commands.empty());
    g_CmdManager->DetachWindowFromProfile(m_dlg.m_hWnd, true);
}

} // namespace
