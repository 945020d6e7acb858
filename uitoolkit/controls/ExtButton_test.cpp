// Push buttons on a real dialog driven by real input: clicks, a press that
// leaves the button, the space bar holding the mouse off, keys on disabled
// and hidden buttons, the dialog's default face moving, the popup-menu
// notifications reaching the dialog, and the faces in every theme.
#include "uitoolkit/controls/ExtButton.h"

#include "framework/win/Dialog.h"
#include "tests/gui/GuiHarness.h"
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

TEST_F(PushButtonWindows, ACheckBoxKindTogglesAndNotifies)
{
    m_dlg.m_beta.m_nButtonType = BS_AUTOCHECKBOX;
    m_dlg.m_beta.OnClick(false);
    EXPECT_EQ(m_dlg.m_beta.GetCheck(), 1);
    m_dlg.m_beta.OnClick(false);
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
}

} // namespace
