// The slider button in a tool bar of the periphery test frame (a tool bar
// with a slider and a scroll-bar button, a panel bar holding a window and
// the status bar with an icon pane and a pane control): its size and parts,
// presses that do nothing, the tracking loop held on an arrow, ended by
// other input and dragging the thumb, and the whole frame in four themes.
#include "uitoolkit/bars/ExtBarSliderButton.h"

#include "framework/win/Controls.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/bars/ExtStatusControlBar.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{

using namespace kxtoolbar;

const UINT kIdToolBar = AFX_IDW_CONTROLBAR_FIRST + 42;
const UINT kIdPanel = AFX_IDW_CONTROLBAR_FIRST + 43;
const UINT kBold = 0x7401;
const UINT kNoFace = 0x7420; // registered without icon and text
const UINT kIdIconPane = 101, kIdControlPane = 102, kIdEdit = 200;
const char* const kProfile = "slider-test";

// The frame that shows this family of bars together: the tool bar holds a
// slider (button 0) and a scroll bar (button 1), the panel bar a static
// window, and the status bar relays the system notifications.
class CPeripheryFrame : public CTestDockFrame
{
public:
    CPeripheryFrame() : CTestDockFrame(Kind::PlainFrame) {}

    bool CreatePeriphery()
    {
        if (!CreateTestFrame(CRect(20, 20, 620, 360), "Kestrelux slider test") ||
            !CExtControlBar::EnableFrameDocking(this) || !g_CmdManager->SetupProfile(kProfile, m_hWnd))
            return false;
        if (!m_toolBar.Create("Sliders", this, kIdToolBar, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC) ||
            !m_toolBar.LoadToolBarResource(128) || !m_toolBar.SetButtons(nullptr, 0))
            return false;
        CExtCmdItem* pNoFace = g_CmdManager->NewCommand(kProfile, kNoFace);
        if (pNoFace == nullptr)
            return false;
        m_toolBar.SetOwner(this);
        m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
        m_pSlider = new CExtBarSliderButton(&m_toolBar, kBold);
        m_pScroll = new CExtBarSliderButton(&m_toolBar, kNoFace);
        if (!m_toolBar.InsertSpecButton(-1, m_pSlider, false) || !m_toolBar.InsertSpecButton(-1, m_pScroll, false))
            return false;
        m_pSlider->SetScrollTotalRange(11);
        m_pSlider->SetScrollPos(5);
        m_pScroll->SetScrollButtonExtentHorz(12);
        m_pScroll->SetScrollTotalRange(100);
        m_pScroll->SetScrollPageSize(10);
        m_pScroll->SetScrollPos(30);
        DockControlBar(&m_toolBar, AFX_IDW_DOCKBAR_TOP);

        if (!m_panel.Create("Panel", this, kIdPanel, WS_CHILD | WS_VISIBLE | CBRS_TOP))
            return false;
        m_panel.SetOwner(this);
        m_panel.EnableDocking(CBRS_ALIGN_ANY);
        ::CreateWindowExA(0, "STATIC", "Panel", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER, 0, 0, 90, 20,
                          m_panel.m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        DockControlBar(&m_panel, AFX_IDW_DOCKBAR_TOP);

        if (!m_status.Create(this))
            return false;
        static const UINT kPanes[] = {ID_SEPARATOR, kIdIconPane, kIdControlPane};
        m_status.SetIndicators(kPanes, 3);
        m_status.SetPaneInfo(1, kIdIconPane, SBPS_NORMAL, 60);
        m_status.SetPaneInfo(2, kIdControlPane, SBPS_NORMAL, 90);
        m_status.SetPaneText(0, "Ready");
        m_status.SetPaneText(1, "Icon");
        m_status.SendMessage(
            SB_SETICON, 1,
            reinterpret_cast<LPARAM>(::LoadImageA(nullptr, IDI_INFORMATION, IMAGE_ICON, 16, 16, LR_SHARED)));
        if (!m_edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 10, 10), &m_status, kIdEdit))
            return false;
        m_edit.SetWindowText("control");
        if (!m_status.AddPaneControl(m_edit.m_hWnd, kIdControlPane, false))
            return false;
        RecalcLayout();
        return true;
    }

    // The sliders' commands stay enabled: a press updates its button first.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if ((nID == kBold || nID == kNoFace) && nCode == CN_UPDATE_COMMAND_UI && pExtra != nullptr)
        {
            static_cast<CCmdUI*>(pExtra)->Enable(TRUE);
            return TRUE;
        }
        return CTestDockFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }

    CExtToolControlBar m_toolBar;
    CExtPanelControlBar m_panel;
    CExtStatusControlBar m_status;
    CEdit m_edit;
    CExtBarSliderButton* m_pSlider = nullptr; // the tool bar's
    CExtBarSliderButton* m_pScroll = nullptr;
};

// Runs a step of a script on every tick of the slider's repeat timer that
// the tracking loop takes from the queue, before the tick is applied.
class CTickScript
{
public:
    explicit CTickScript(std::function<void(int nTick)> fn) : m_fn(std::move(fn))
    {
        s_pThis = this;
        m_hHook = ::SetWindowsHookExA(WH_GETMESSAGE, &CTickScript::Hook, nullptr, ::GetCurrentThreadId());
    }
    ~CTickScript()
    {
        ::UnhookWindowsHookEx(m_hHook);
        s_pThis = nullptr;
    }
    CTickScript(const CTickScript&) = delete;
    CTickScript& operator=(const CTickScript&) = delete;
    bool IsHooked() const { return m_hHook != nullptr; }
    int Ticks() const { return m_nTicks; }

private:
    static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam)
    {
        const auto* pMsg = reinterpret_cast<const MSG*>(lParam);
        if (nCode == HC_ACTION && wParam == PM_REMOVE && s_pThis != nullptr && pMsg->message == WM_TIMER &&
            pMsg->wParam == CExtBarSliderButton::kStepTimerID)
            s_pThis->m_fn(s_pThis->m_nTicks++);
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    }
    static CTickScript* s_pThis;
    std::function<void(int)> m_fn;
    HHOOK m_hHook = nullptr;
    int m_nTicks = 0;
};
CTickScript* CTickScript::s_pThis = nullptr;

class ExtBarSliderButtonTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_pFrame = new CPeripheryFrame;
        ASSERT_TRUE(s_pFrame->CreatePeriphery());
    }
    static void TearDownTestSuite()
    {
        s_pFrame->DestroyWindow();
        delete s_pFrame;
        s_pFrame = nullptr;
        g_CmdManager->ResetProfile(kProfile);
        g_PaintManager.InstallPaintManager(nullptr);
        kxgui::PumpUntilIdle();
    }
    void SetUp() override
    {
        ASSERT_NE(s_pFrame, nullptr);
        kxgui::Activate(s_pFrame->m_hWnd);
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        kxgui::MoveMouseTo(CPoint(1200, 1000));
        kxgui::PumpUntilIdle();
    }
    CExtToolControlBar& Bar() { return s_pFrame->m_toolBar; }
    CExtBarSliderButton& Slider() { return *s_pFrame->m_pSlider; }
    CExtBarSliderButton& Scroll() { return *s_pFrame->m_pScroll; }
    // A part's rectangle relative to the button's.
    static CRect Relative(const CExtBarSliderButton& button, int nPart)
    {
        CRect rc = button.GetPartRect(nPart);
        rc.OffsetRect(-button.GetRect().TopLeft());
        return rc;
    }
    static CPoint Centre(const CExtBarSliderButton& button, int nPart)
    {
        return button.GetPartRect(nPart).CenterPoint();
    }
    void Relayout()
    {
        s_pFrame->RecalcLayout();
        Bar().ArrangeButtons();
        kxgui::PumpUntilIdle();
    }

    static CPeripheryFrame* s_pFrame;
};
CPeripheryFrame* ExtBarSliderButtonTest::s_pFrame = nullptr;

TEST_F(ExtBarSliderButtonTest, MeasuresAndLaysOutItsParts)
{
    EXPECT_EQ(Slider().GetSize(), CSize(72, 22)) << "16 x 16 icon, no text";
    EXPECT_EQ(Scroll().GetSize(), CSize(50, 19)) << "neither icon nor text";
    EXPECT_EQ(Slider().GetRect().Width(), 72);

    // slider mode: total 11, no page, a 50-pixel track
    EXPECT_EQ(Relative(Slider(), SliderPartTrack), CRect(22, 0, 72, Slider().GetRect().Height()));
    EXPECT_EQ(Relative(Slider(), SliderPartThumb).left - 22, 20);
    EXPECT_EQ(Slider().GetPartRect(SliderPartThumb).Width(), 6);
    EXPECT_EQ(Slider().GetScrollableRange(), 11u);

    // scroll-bar mode: total 100, page 10, 12-pixel arrows
    EXPECT_EQ(Scroll().GetPartRect(SliderPartTrack).Width(), 26);
    EXPECT_EQ(Scroll().GetPartRect(SliderPartThumb).Width(), 4);
    EXPECT_EQ(Scroll().GetPartRect(SliderPartArrowBackward).Width(), 12);
    EXPECT_EQ(Scroll().GetScrollableRange(), 90u);
    EXPECT_EQ(Scroll().GetPartRect(SliderPartSlider), Scroll().GetRect());

    // lowering the total lowers the position first
    CExtBarSliderButton loose;
    loose.SetScrollTotalRange(11);
    loose.SetScrollPos(9);
    EXPECT_EQ(loose.SetScrollTotalRange(5), 11u);
    EXPECT_EQ(loose.GetScrollPos(), 5u);
    EXPECT_EQ(loose.GetPartRect(SliderPartCount), CRect(0, 0, 0, 0));
}

TEST_F(ExtBarSliderButtonTest, PressesWithoutThumbOrRangeDoNothing)
{
    struct Case
    {
        const char* pszName;
        int nExtent;
        UINT nTotal;
    };
    const Case cases[] = {
        {"a 5-pixel track", 5, 11},
        {"a new slider", 50, 0},
    };
    CExtBarSliderButton& slider = Slider();
    for (const Case& c : cases)
    {
        slider.SetExtentHorz(c.nExtent);
        slider.SetScrollTotalRange(c.nTotal);
        slider.SetScrollPos(0);
        Relayout();
        EXPECT_TRUE(slider.GetPartRect(SliderPartThumb).IsRectEmpty()) << c.pszName;
        // held down: the press returns at once, without a pressed part
        kxgui::InputScript().MoveTo(Bar().m_hWnd, Centre(slider, SliderPartSlider)).ButtonDown().Send();
        kxgui::PumpUntilIdle();
        EXPECT_EQ(slider.GetPressedPart(), -1) << c.pszName;
        kxgui::InputScript().ButtonUp().Send();
        kxgui::PumpUntilIdle();
        EXPECT_EQ(slider.GetScrollPos(), 0u) << c.pszName;
    }
    slider.SetExtentHorz(50);
    slider.SetScrollTotalRange(11);
    slider.SetScrollPos(5);
    Relayout();
}

TEST_F(ExtBarSliderButtonTest, HeldForwardArrowStepsPausesOutsideAndStopsAtTheEnd)
{
    CExtBarSliderButton& scroll = Scroll();
    scroll.SetScrollTotalRange(15);
    scroll.SetScrollPos(0);
    Relayout();
    ASSERT_EQ(scroll.GetScrollableRange(), 5u);
    const CPoint ptArrow = Centre(scroll, SliderPartArrowForward);
    const CPoint ptLabel(scroll.GetRect().left + 1, ptArrow.y);
    const HWND hWndBar = Bar().m_hWnd;
    // out at 2, back after three ticks outside, released two ticks after
    // the end
    int nPhase = 0, nWait = 0;
    UINT nPaused = 0;
    bool bPausedHeld = false;
    CTickScript script(
        [&](int nTick)
        {
            switch (nPhase)
            {
            case 0:
                if (scroll.GetScrollPos() >= 2)
                {
                    kxgui::InputScript().MoveTo(hWndBar, ptLabel).Send();
                    nPhase = 1;
                }
                break;
            case 1:
                if (scroll.GetTrackedPart() == -1)
                {
                    nPaused = scroll.GetScrollPos();
                    nWait = 0;
                    nPhase = 2;
                }
                break;
            case 2:
                if (++nWait == 3)
                {
                    bPausedHeld = scroll.GetScrollPos() == nPaused;
                    kxgui::InputScript().MoveTo(hWndBar, ptArrow).Send();
                    nPhase = 3;
                }
                break;
            case 3:
                if (scroll.GetScrollPos() == 5 && ++nWait == 6)
                {
                    kxgui::InputScript().ButtonUp().Send();
                    nPhase = 4;
                }
                break;
            default: break;
            }
            // never hold the test longer than the script needs
            if (nTick == 400 && nPhase < 4)
            {
                kxgui::InputScript().ButtonUp().Send();
                nPhase = 5;
            }
        });
    ASSERT_TRUE(script.IsHooked());
    kxgui::InputScript().MoveTo(hWndBar, ptArrow).ButtonDown().Send();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(nPhase, 4);
    EXPECT_TRUE(bPausedHeld) << "stepped while the mouse was outside the arrow";
    EXPECT_GE(nPaused, 2u);
    EXPECT_EQ(scroll.GetScrollPos(), 5u);
    EXPECT_EQ(scroll.GetPressedPart(), -1);
    EXPECT_EQ(scroll.GetTrackedPart(), -1);
    scroll.SetScrollTotalRange(100);
    scroll.SetScrollPos(30);
}

TEST_F(ExtBarSliderButtonTest, RightButtonKeyOrApplicationSwitchEndsTracking)
{
    struct Case
    {
        const char* pszName;
        std::function<void()> end;
    };
    const Case cases[] = {
        {"right button", [] { kxgui::InputScript().ButtonDown(true).ButtonUp(true).Send(); }},
        {"key", [] { kxgui::InputScript().Key(VK_SHIFT).Send(); }},
        {"switch", [] { s_pFrame->PostMessage(WM_ACTIVATEAPP, FALSE, 0); }},
    };
    CExtBarSliderButton& scroll = Scroll();
    for (const Case& c : cases)
    {
        scroll.SetScrollPos(0);
        Relayout();
        CTickScript script(
            [&](int nTick)
            {
                if (nTick == 1)
                    c.end();
                if (nTick == 200)
                    kxgui::InputScript().ButtonUp().Send();
            });
        kxgui::InputScript().MoveTo(Bar().m_hWnd, Centre(scroll, SliderPartArrowForward)).ButtonDown().Send();
        kxgui::PumpUntilIdle();
        EXPECT_LT(script.Ticks(), 10) << c.pszName << ": " << script.Ticks() << " ticks";
        EXPECT_EQ(scroll.GetPressedPart(), -1) << c.pszName;
        const UINT nPos = scroll.GetScrollPos();
        EXPECT_GE(nPos, 1u) << c.pszName;
        EXPECT_LT(nPos, 10u) << c.pszName;
        kxgui::InputScript().ButtonUp().Send();
        kxgui::PumpUntilIdle();
        CloseActivePopupTree(); // the bars menu of the right click
        kxgui::PumpUntilIdle();
        EXPECT_EQ(scroll.GetScrollPos(), nPos) << c.pszName;
    }
    scroll.SetScrollPos(30);
    Relayout();
}

TEST_F(ExtBarSliderButtonTest, ThumbDraggedFromTheEndStaysThenFollowsBack)
{
    CExtBarSliderButton& slider = Slider();
    slider.SetScrollPos(11);
    Relayout();
    const CRect rcThumb = slider.GetPartRect(SliderPartThumb);
    ASSERT_EQ(rcThumb.right, slider.GetRect().right);
    const CPoint pt = rcThumb.CenterPoint();
    const HWND hWndBar = Bar().m_hWnd;
    kxgui::InputScript()
        .MoveTo(hWndBar, pt)
        .ButtonDown()
        .MoveTo(hWndBar, CPoint(pt.x + 20, pt.y))
        .MoveTo(hWndBar, CPoint(pt.x - 8, pt.y))
        .ButtonUp()
        .Send();
    kxgui::PumpUntilIdle();
    // 8 of the 44 free pixels back: MulDiv (11, 8, 44) = 2
    EXPECT_EQ(slider.GetScrollPos(), 9u);
    EXPECT_EQ(slider.GetPressedPart(), -1);
    slider.SetScrollPos(5);
}

TEST_F(ExtBarSliderButtonTest, GalleryInFourThemes)
{
    Bar().UpdateHover(Centre(Scroll(), SliderPartThumb));
    for (int nTheme = 0; nTheme < 4; ++nTheme)
    {
        g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme));
        s_pFrame->RecalcLayout();
        s_pFrame->RedrawWindow(nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer image = kxgui::CaptureScreen(s_pFrame->m_hWnd);
        ASSERT_FALSE(image.IsEmpty());
        EXPECT_FALSE(kxgui::SaveArtifact(image, std::string("periphery-") + ExtTestThemeName(nTheme) + ".png").empty());
    }
    Bar().UpdateHover(CPoint(-1, -1));
    // the status bar relays the system's notifications, not the frame
    EXPECT_TRUE(CExtPaintManagerHolder::IsSysNotifyRelayWindow(&s_pFrame->m_status));
    EXPECT_FALSE(CExtPaintManagerHolder::IsSysNotifyRelayWindow(s_pFrame));
}

} // namespace
