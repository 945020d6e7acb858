// The toolkit's floating frame with real input: resizing by a border stops
// at the pane's minimal floating size, a key ends the resizing, the caption
// comes back onto the work area, Close in its caption hides the pane and
// the frame; and pictures of a floating pane and of a
// docked container in each theme.
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/docking/ExtDynControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 64;

CRect WindowRect(const CWnd* pWnd)
{
    CRect rc;
    pWnd->GetWindowRect(&rc);
    return rc;
}

class ExtMiniDockFrameWndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 640, 480)));
        kxgui::Activate(m_frame.m_hWnd);
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        for (int i = 0; i < 3; ++i)
        {
            ASSERT_TRUE(m_panes[i].Create(i == 0 ? "Floating pane" : "Docked pane", &m_frame, kIdPane + i,
                                          WS_CHILD | WS_VISIBLE | CBRS_TOP));
            m_panes[i].EnableDocking(CBRS_ALIGN_ANY);
            m_panes[i].m_sizeDockedH = CSize(300, 160);
            m_panes[i].m_sizeFloated = CSize(220, 150);
        }
        ASSERT_TRUE(m_panes[0].FloatAt(660, 120, CBRS_ALIGN_TOP));
        m_pFloat = static_cast<CExtMiniDockFrameWnd*>(m_panes[0].GetParentFrame());
        ASSERT_TRUE(m_pFloat->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)));
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        m_frame.DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    // Presses on the floating frame at a window point, moves by (dx, dy),
    // optionally presses a key, and releases; returns when the resizing is
    // over, false when the press never reached the frame.
    bool DragBorder(CPoint ptWindow, int dx, int dy, WORD vkBeforeRelease = 0)
    {
        const CRect rc = WindowRect(m_pFloat);
        CPoint pt = rc.TopLeft() + ptWindow;
        m_pFloat->ScreenToClient(&pt);
        kxgui::InputScript input;
        input.MoveTo(m_pFloat->m_hWnd, pt).ButtonDown().MoveTo(m_pFloat->m_hWnd, pt + CSize(dx / 2, dy / 2));
        input.MoveTo(m_pFloat->m_hWnd, pt + CSize(dx, dy));
        if (vkBeforeRelease != 0)
            input.Key(vkBeforeRelease).MoveTo(m_pFloat->m_hWnd, pt + CSize(dx + 30, dy + 30));
        input.ButtonUp();
        input.Play();
        // The press runs the whole resizing inside its dispatch; a press that
        // never reaches the frame must not leave the test waiting for ever.
        bool bPressed = false;
        for (int nQuiet = 0; nQuiet < 60 && !bPressed;)
        {
            MSG msg;
            if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            {
                ++nQuiet;
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
                continue;
            }
            nQuiet = 0;
            if (msg.message == WM_QUIT)
            {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            bPressed = msg.message == WM_NCLBUTTONDOWN && msg.hwnd == m_pFloat->m_hWnd;
        }
        input.Wait();
        kxgui::PumpUntilIdle();
        return bPressed;
    }

    CTestDockFrame m_frame{CTestDockFrame::Kind::PlainFrame};
    CExtControlBar m_panes[3];
    CExtMiniDockFrameWnd* m_pFloat = nullptr;
};

TEST_F(ExtMiniDockFrameWndTest, TheFrameDrawsItsOwnBorderAndCaption)
{
    EXPECT_EQ(m_pFloat->GetStyle() & (WS_CAPTION | WS_THICKFRAME), 0u);
    EXPECT_EQ(m_pFloat->GetExStyle() & WS_EX_TOOLWINDOW, 0u);
    const CRect rcWindow = WindowRect(m_pFloat);
    CRect rcClient;
    m_pFloat->GetClientRect(&rcClient);
    const int cx = ::GetSystemMetrics(SM_CXFRAME), cy = ::GetSystemMetrics(SM_CYFRAME);
    EXPECT_EQ(rcWindow.Width() - rcClient.Width(), 2 * cx);
    EXPECT_EQ(rcWindow.Height() - rcClient.Height(), 2 * cy + ::GetSystemMetrics(SM_CYSMCAPTION));
    struct HitCase
    {
        CPoint pt;
        LRESULT nExpected;
    };
    const int ch = ::GetSystemMetrics(SM_CYSMCAPTION);
    const HitCase cases[] = {
        {CPoint(rcWindow.CenterPoint().x, rcWindow.top + 1), HTTOP},
        {CPoint(rcWindow.CenterPoint().x, rcWindow.bottom - 1), HTBOTTOM},
        {CPoint(rcWindow.left + 1, rcWindow.CenterPoint().y), HTLEFT},
        {CPoint(rcWindow.right - 1, rcWindow.CenterPoint().y), HTRIGHT},
        {CPoint(rcWindow.right - 1, rcWindow.bottom - 1), HTBOTTOMRIGHT},
        {CPoint(rcWindow.left + 1, rcWindow.top + ch - 1), HTTOPLEFT},
        {CPoint(rcWindow.CenterPoint().x, rcWindow.top + cy + ch / 2), HTCAPTION},
        {rcWindow.CenterPoint(), HTCLIENT},
        {CPoint(rcWindow.right + 5, rcWindow.top + 5), HTNOWHERE},
    };
    for (const HitCase& c : cases)
        EXPECT_EQ(m_pFloat->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(c.pt.x, c.pt.y)), c.nExpected)
            << c.pt.x << "," << c.pt.y;
}

TEST_F(ExtMiniDockFrameWndTest, ResizingStopsAtTheMinimalFloatingSizeAndAKeyEndsIt)
{
    const CRect rcBefore = WindowRect(m_pFloat);
    const CPoint ptRight(rcBefore.Width() - 1, rcBefore.Height() / 2);
    ASSERT_TRUE(DragBorder(ptRight, 40 - rcBefore.Width(), 0));
    EXPECT_EQ(m_pFloat->m_nResizingHT, 0u);
    CRect rc = WindowRect(m_pFloat);
    EXPECT_EQ(rc.TopLeft(), rcBefore.TopLeft());
    EXPECT_EQ(rc.Width(), 80);
    EXPECT_EQ(rc.Height(), rcBefore.Height());

    const CPoint ptCorner(rc.Width() - 1, rc.Height() - 1);
    ASSERT_TRUE(DragBorder(ptCorner, -200, -200));
    rc = WindowRect(m_pFloat);
    EXPECT_EQ(rc.Size(), CSize(80, 60));

    // Growing, then a key: the frame keeps the size reached and the moves
    // after the key change nothing. The dragged edge follows the cursor.
    ASSERT_TRUE(DragBorder(CPoint(rc.Width() - 1, rc.Height() - 1), 100, 50, VK_SHIFT));
    EXPECT_EQ(m_pFloat->m_nResizingHT, 0u);
    EXPECT_EQ(WindowRect(m_pFloat).Size(), CSize(179, 109));
}

TEST_F(ExtMiniDockFrameWndTest, ACaptionBelowTheWorkAreaComesBack)
{
    CRect rcWork;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    m_pFloat->SetWindowPos(nullptr, 200, rcWork.bottom + 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    kxgui::PumpUntilIdle();
    EXPECT_EQ(WindowRect(m_pFloat).TopLeft(), CPoint(200, rcWork.bottom - ::GetSystemMetrics(SM_CYSMCAPTION)));
    m_pFloat->SetWindowPos(nullptr, 200, rcWork.top - 500, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    kxgui::PumpUntilIdle();
    EXPECT_EQ(WindowRect(m_pFloat).TopLeft(), CPoint(200, rcWork.top));
    m_pFloat->SetWindowPos(nullptr, 230, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    kxgui::PumpUntilIdle();
    EXPECT_EQ(WindowRect(m_pFloat).TopLeft(), CPoint(230, 140));
}

template <class TButton>
TButton* FindButton(CExtControlBar& bar)
{
    for (INT_PTR i = 0; i < bar.m_arrNcButtons.GetSize(); ++i)
        if (auto* pButton = dynamic_cast<TButton*>(bar.m_arrNcButtons[i]))
            return pButton;
    return nullptr;
}

TEST_F(ExtMiniDockFrameWndTest, CloseInTheFrameCaptionHidesThePaneAndItsFrame)
{
    CExtControlBar& pane = m_panes[0];
    auto* pClose = FindButton<CExtBarNcAreaButtonClose>(pane);
    ASSERT_NE(pClose, nullptr);
    EXPECT_TRUE(pClose->OnQueryVisibility());
    // a floating pane can neither hide at an edge nor show the options menu
    EXPECT_FALSE(FindButton<CExtBarNcAreaButtonAutoHide>(pane)->OnQueryVisibility());
    EXPECT_FALSE(FindButton<CExtBarNcAreaButtonMenu>(pane)->OnQueryVisibility());
    // a square at the far end of the frame's caption, in the frame's window
    // coordinates
    const CRect& rcCaption = m_pFloat->m_rcCaption;
    EXPECT_EQ(pClose->m_rc.right, rcCaption.right - 2);
    EXPECT_EQ(pClose->m_rc.top, rcCaption.top + 1);
    EXPECT_EQ(pClose->m_rc.Height(), rcCaption.Height() - 2);
    EXPECT_EQ(pClose->m_rc.Width(), pClose->m_rc.Height());

    CPoint ptScreen = WindowRect(m_pFloat).TopLeft() + pClose->m_rc.CenterPoint();
    EXPECT_EQ(m_pFloat->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptScreen.x, ptScreen.y)), HTMINBUTTON);
    EXPECT_TRUE(pane.m_bNcButtonHover);

    CPoint pt = ptScreen;
    m_pFloat->ScreenToClient(&pt);
    kxgui::InputScript input;
    input.Click(m_pFloat->m_hWnd, pt);
    input.Send();
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(pane.IsVisible());
    // no empty frame is left on the screen, and showing the pane brings it back
    EXPECT_FALSE(m_pFloat->IsWindowVisible());
    m_frame.ShowControlBar(&pane, TRUE, FALSE);
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(pane.IsVisible());
    EXPECT_TRUE(m_pFloat->IsWindowVisible());
}

TEST_F(ExtMiniDockFrameWndTest, PicturesInEachTheme)
{
    static_cast<CExtDockBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP))
        ->GetCircleDockBar(1)
        ->DockControlBar(&m_panes[1], nullptr);
    ASSERT_TRUE(m_panes[2].DockBeside(50, &m_panes[1], AFX_IDW_DOCKBAR_LEFT, true));
    m_frame.RecalcLayout();
    const struct
    {
        CExtPaintManager* pPM;
        const char* pszName;
    } themes[] = {{new CExtPaintManager, "classic"},
                  {new CExtPaintManagerXP, "xp"},
                  {new CExtPaintManagerOffice2003, "office2003"},
                  {new CExtPaintManagerStudio2005, "studio2005"}};
    for (const auto& theme : themes)
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(theme.pPM));
        m_frame.RecalcLayout();
        m_pFloat->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
        m_frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer floating = kxgui::CaptureScreen(m_pFloat->m_hWnd, false);
        EXPECT_FALSE(floating.IsEmpty());
        kxgui::SaveArtifact(floating, std::string("floating_frame_") + theme.pszName + ".png");
        kxgui::SaveArtifact(kxgui::CaptureScreen(m_frame.m_hWnd, true),
                            std::string("docked_container_") + theme.pszName + ".png");
    }
    g_PaintManager.InstallPaintManager(nullptr);
}

} // namespace
