// The colour button in a window that records what reaches it: the popup's
// notifications, the custom-colour dialogs (answered by the harness), a
// click that opens the colour popup and a cell chosen in it, and the face
// with its colour sample.
#include "uitoolkit/controls/ExtColorButton.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/PopupStage.h"
#include "uitoolkit/commands/ExtPopupColorMenuWnd.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/controls/ExtColorDlg.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

const UINT kIdButton = 0x7B01;
const LPARAM kCookie = 0x4C0F;

struct Notice
{
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
};

class CColorButtonHost : public CWnd
{
public:
    std::vector<Notice> m_notices;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= 0xC000)
        {
            m_notices.push_back({message, wParam, lParam});
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class ColorButtonTest : public kxtest::PopupTest
{
protected:
    void SetUp() override
    {
        kxtest::PopupTest::SetUp();
        m_nAnimation = CExtPopupBaseWnd::g_nDefaultAnimationKind;
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
        ASSERT_TRUE(m_host.CreateEx(
            0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
            "Colour button host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 360, 260), nullptr, 0));
        ASSERT_TRUE(m_button.Create("&Colour", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                    CRect(20, 20, 140, 46), &m_host, kIdButton));
        m_button.m_lParamCookie = kCookie;
        kxgui::Activate(m_host.m_hWnd);
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        CloseActivePopupTree();
        kxgui::PumpUntilIdle();
        m_button.DestroyWindow();
        m_host.DestroyWindow();
        kxgui::PumpUntilIdle();
        CExtPopupBaseWnd::g_nDefaultAnimationKind = m_nAnimation;
        kxtest::PopupTest::TearDown();
    }
    std::vector<Notice> Received(UINT nMsg) const
    {
        std::vector<Notice> found;
        for (const Notice& notice : m_host.m_notices)
            if (notice.Message == nMsg)
                found.push_back(notice);
        return found;
    }
    // Posts the custom-colour notice as the popup does and answers the
    // dialog that opens; the answer callback may fill in the dialog first.
    std::vector<std::string> ChooseCustom(const std::function<int(HWND)>& answer)
    {
        kxgui::DialogAnswerer answerer(answer);
        m_button.PostMessage(CExtPopupColorMenuWnd::g_nMsgNotifyCustColor, 0, kCookie + 1);
        kxgui::PumpUntilIdle();
        return answerer.Seen();
    }

    CColorButtonHost m_host;
    CExtColorButton m_button;
    int m_nAnimation = 0;
};

TEST_F(ColorButtonTest, AFinalColourIsStoredAndPassedOnAsReceived)
{
    const struct
    {
        COLORREF Posted;
        COLORREF Stored;
    } cases[] = {{RGB(10, 200, 30), RGB(10, 200, 30)}, {static_cast<COLORREF>(-1), 0}};
    for (const auto& c : cases)
    {
        m_host.m_notices.clear();
        m_button.m_clrSelected = RGB(99, 99, 99);
        m_button.PostMessage(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally, c.Posted, kCookie);
        kxgui::PumpUntilIdle();
        EXPECT_EQ(m_button.m_clrSelected, c.Stored);
        const std::vector<Notice> finals = Received(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally);
        ASSERT_EQ(finals.size(), 1u);
        EXPECT_EQ(static_cast<COLORREF>(finals[0].WParam), c.Posted);
        EXPECT_EQ(finals[0].LParam, kCookie);
    }
}

TEST_F(ColorButtonTest, APreviewIsPassedOnWithoutChangingTheButton)
{
    m_button.m_clrSelected = RGB(5, 6, 7);
    m_button.SendMessage(CExtPopupColorMenuWnd::g_nMsgNotifyColorChanged, RGB(200, 0, 0), kCookie);
    EXPECT_EQ(m_button.m_clrSelected, RGB(5, 6, 7));
    const std::vector<Notice> previews = Received(CExtPopupColorMenuWnd::g_nMsgNotifyColorChanged);
    ASSERT_EQ(previews.size(), 1u);
    EXPECT_EQ(static_cast<COLORREF>(previews[0].WParam), RGB(200, 0, 0));
    EXPECT_EQ(previews[0].LParam, kCookie);
}

TEST_F(ColorButtonTest, TheCustomColourOpensTheDialogTheFlagNames)
{
    const COLORREF clrStart = RGB(0, 128, 255);
    for (bool bSystem : {true, false})
    {
        m_button.m_bUseSystemColorDialog = bSystem;
        m_button.m_clrSelected = clrStart;
        m_host.m_notices.clear();
        bool bToolkitDialog = false;
        ChooseCustom(
            [&](HWND hDlg)
            {
                bToolkitDialog = ::GetDlgItem(hDlg, CExtColorDlg::IDC_RED) != nullptr;
                return IDCANCEL;
            });
        EXPECT_EQ(bToolkitDialog, !bSystem);
        EXPECT_EQ(m_button.m_clrSelected, clrStart);
        EXPECT_TRUE(m_host.m_notices.empty());
    }
}

TEST_F(ColorButtonTest, TheToolkitDialogsColourIsChosenWithTheCustomNoticesCookie)
{
    m_button.m_bUseSystemColorDialog = false;
    m_button.m_clrSelected = RGB(0, 128, 255);
    ChooseCustom(
        [](HWND hDlg)
        {
            ::SetDlgItemTextA(hDlg, CExtColorDlg::IDC_RED, "200");
            return IDOK;
        });
    EXPECT_EQ(m_button.m_clrSelected, RGB(200, 128, 255));
    const std::vector<Notice> finals = Received(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally);
    ASSERT_EQ(finals.size(), 1u);
    EXPECT_EQ(static_cast<COLORREF>(finals[0].WParam), RGB(200, 128, 255));
    EXPECT_EQ(finals[0].LParam, kCookie + 1);
}

TEST_F(ColorButtonTest, AClickTracksTheColourPopupBelowTheButtonAndACellColoursIt)
{
    m_button.m_clrSelected = RGB(255, 0, 0);
    m_button.m_sCustomColorText = "More colours...";
    kxgui::InputScript().Click(m_button.m_hWnd, {30, 13}).Send();
    kxgui::PumpUntilIdle();
    auto* pMenu = dynamic_cast<CExtPopupColorMenuWnd*>(CExtPopupMenuWnd::GetTracker().GetTopPopup());
    ASSERT_NE(pMenu, nullptr);
    kxtest::WaitForPopupAnimations();
    // the menu joins the button: its cells start below it
    CRect rcButton, rcCell = pMenu->GetCellRect(0);
    m_button.GetWindowRect(&rcButton);
    pMenu->ClientToScreen(&rcCell);
    EXPECT_GE(rcCell.top, rcButton.bottom);
    EXPECT_LT(rcCell.left, rcButton.right);
    EXPECT_EQ(pMenu->m_lParamCookie, kCookie);
    EXPECT_EQ(pMenu->m_sBtnTextColorCustom, "More colours...");
    EXPECT_EQ(pMenu->GetSelectedIndex(), pMenu->FindColorIndex(RGB(255, 0, 0)));
    EXPECT_TRUE(Received(CExtPopupColorMenuWnd::g_nMsgNotifyColorChanged).empty());
    EXPECT_TRUE(Received(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally).empty());

    kxgui::SaveArtifact(kxgui::CaptureScreen(::GetDesktopWindow(), false), "color_button_popup.png");
    // the face keeps its sample while the popup is open
    const kxgui::PixelBuffer face = kxgui::CaptureScreen(m_button.m_hWnd);
    EXPECT_EQ(face.CountColor(RGB(255, 0, 0), {0, 0, face.width, face.height}), 16 * 16);

    const int nCell = 2;
    const COLORREF clrCell = pMenu->GetColorAt(nCell);
    kxgui::InputScript().Click(pMenu->GetSafeHwnd(), pMenu->GetCellRect(nCell).CenterPoint()).Send();
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(m_button.m_clrSelected, clrCell);
    const std::vector<Notice> finals = Received(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally);
    ASSERT_EQ(finals.size(), 1u);
    EXPECT_EQ(static_cast<COLORREF>(finals[0].WParam), clrCell);
    EXPECT_EQ(finals[0].LParam, kCookie);
}

TEST_F(ColorButtonTest, TheMainPartOfASplitButtonSendsTheCurrentColourAgain)
{
    m_button.m_bState |= CExtButton::STATE_SPLIT_ARROW;
    m_button.m_clrSelected = RGB(1, 2, 3);
    m_button.OnClick(false, false);
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsPopupTrackingActive());
    const std::vector<Notice> finals = Received(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally);
    ASSERT_EQ(finals.size(), 1u);
    EXPECT_EQ(static_cast<COLORREF>(finals[0].WParam), RGB(1, 2, 3));
    EXPECT_EQ(finals[0].LParam, kCookie);
    m_button.OnClick(false, true);
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(IsPopupTrackingActive());
    EXPECT_EQ(Received(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally).size(), 1u);
}

TEST_F(ColorButtonTest, TheFaceShowsTheColourSample)
{
    const COLORREF clrSample = RGB(0, 160, 80);
    m_button.m_clrSelected = clrSample;
    m_button.RedrawWindow();
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer face = kxgui::CaptureScreen(m_button.m_hWnd);
    kxgui::SaveArtifact(face, "color_button_face.png");
    EXPECT_GE(face.CountColor(clrSample, {0, 0, face.width, face.height}), 100);
}

} // namespace
