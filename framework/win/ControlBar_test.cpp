// Control bars in a frame: layout by WM_SIZEPARENT, delayed showing and
// hiding, the frame's bar list and idle updates of the status bar.
#include "framework/win/ControlBar.h"
#include "framework/win/DockBar.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/StatusBar.h"
#include "framework/win/ToolBar.h"
#include "framework/win/WinThread.h"
#include "framework/win/testapp/TestAppRes.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

const UINT kBarId = AFX_IDW_CONTROLBAR_FIRST + 40;
const int kBarHeight = 30;

// A bar of fixed height along the top.
class CPlainBar : public CControlBar
{
public:
    int updates = 0;
    BOOL Create(CWnd* pParent)
    {
        m_dwStyle = CBRS_TOP;
        return CWnd::CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), pParent,
                              kBarId);
    }
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override { return CSize(bStretch ? 32767 : 100, kBarHeight); }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override { ++updates; }
};

class CBarFrame : public CFrameWnd
{
public:
    CStatusBar m_status;
    CPlainBar m_bar;
    CWnd m_pane;
    int capsUpdates = 0;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS};
        if (!m_bar.Create(this) || !m_status.Create(this, 0x50008200) || !m_status.SetIndicators(indicators, 2) ||
            !m_pane.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST))
            return -1;
        return 0;
    }
    afx_msg void OnUpdateCaps(CCmdUI* pCmdUI)
    {
        ++capsUpdates;
        pCmdUI->SetText("CAPS ON");
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
ON_WM_CREATE()
ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateCaps)
END_MESSAGE_MAP()

class ControlBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new CBarFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "bars", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300)));
        m_pFrame->ShowWindow(SW_SHOW);
        m_app.m_pMainWnd = m_pFrame;
        Idle();
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr; // no quit for the test's thread
        if (m_pFrame)
            m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    void Idle()
    {
        kxgui::PumpUntilIdle();
        m_app.OnIdle(0);
        kxgui::PumpUntilIdle();
    }
    static CRect RectIn(CWnd* pParent, CWnd* pChild)
    {
        CRect rect;
        pChild->GetWindowRect(&rect);
        pParent->ScreenToClient(&rect);
        return rect;
    }

    CWinApp m_app{"Kestrelux"};
    CBarFrame* m_pFrame = nullptr;
};

TEST_F(ControlBarTest, LayoutGivesEachBarItsSideAndThePaneTheRest)
{
    CRect client;
    m_pFrame->GetClientRect(&client);
    m_pFrame->RecalcLayout();
    CRect bar = RectIn(m_pFrame, &m_pFrame->m_bar);
    CRect status = RectIn(m_pFrame, &m_pFrame->m_status);
    CRect pane = RectIn(m_pFrame, &m_pFrame->m_pane);
    EXPECT_EQ(bar, CRect(0, 0, client.right, kBarHeight));
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(status.left, 0);
    EXPECT_EQ(status.right, client.right);
    EXPECT_GT(status.Height(), 10);
    EXPECT_EQ(pane, CRect(0, kBarHeight, client.right, status.top));

    // a bigger frame lays out again
    m_pFrame->SetWindowPos(nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    m_pFrame->GetClientRect(&client);
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_bar).right, client.right);
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_status).bottom, client.bottom);
}

TEST_F(ControlBarTest, TheFrameKnowsItsBarsByIdUntilTheyGo)
{
    EXPECT_EQ(m_pFrame->GetControlBar(kBarId), &m_pFrame->m_bar);
    EXPECT_EQ(m_pFrame->GetControlBar(AFX_IDW_STATUS_BAR), &m_pFrame->m_status);
    EXPECT_EQ(m_pFrame->m_listControlBars.GetCount(), 2);
    EXPECT_EQ(m_pFrame->m_bar.m_pDockSite, m_pFrame);
    EXPECT_EQ(m_pFrame->m_status.GetBarStyle(), static_cast<DWORD>(CBRS_BOTTOM));
    m_pFrame->m_bar.DestroyWindow();
    EXPECT_EQ(m_pFrame->GetControlBar(kBarId), nullptr);
    EXPECT_EQ(m_pFrame->m_listControlBars.GetCount(), 1);
}

// A bar object that outlives its window and its frame (a member of another
// object, or held by value in a test) must not reach the frame on its way.
TEST_F(ControlBarTest, ABarOutlivingItsFrameLetsGoOfIt)
{
    auto pBar = std::make_unique<CPlainBar>();
    ASSERT_TRUE(pBar->Create(m_pFrame));
    EXPECT_EQ(pBar->m_pDockSite, m_pFrame);
    pBar->DestroyWindow();
    EXPECT_EQ(pBar->m_pDockSite, nullptr);
    EXPECT_EQ(m_pFrame->m_listControlBars.Find(pBar.get()), nullptr);
    m_pFrame->DestroyWindow();
    m_pFrame = nullptr;
    pBar.reset();
}

TEST_F(ControlBarTest, DelayedShowAndHideHappenAtTheNextLayout)
{
    CPlainBar& bar = m_pFrame->m_bar;
    m_pFrame->ShowControlBar(&bar, FALSE, TRUE);
    // asked, not done: the bar answers as it will be
    EXPECT_TRUE(bar.GetStyle() & WS_VISIBLE);
    EXPECT_FALSE(bar.IsVisible());
    EXPECT_TRUE(m_pFrame->m_nIdleFlags & CFrameWnd::idleLayout);
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_pane).top, kBarHeight);

    Idle();
    EXPECT_FALSE(bar.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(bar.m_nStateFlags & (CControlBar::delayHide | CControlBar::delayShow), 0u);
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_pane).top, 0);

    m_pFrame->ShowControlBar(&bar, TRUE, TRUE);
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_FALSE(bar.GetStyle() & WS_VISIBLE);
    Idle();
    EXPECT_TRUE(bar.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_pane).top, kBarHeight);

    // without delay at once; a query layout moves nothing
    m_pFrame->ShowControlBar(&bar, FALSE, FALSE);
    EXPECT_FALSE(bar.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_pane).top, 0);
    m_pFrame->ShowControlBar(&bar, TRUE, TRUE);
    CRect query;
    m_pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &query);
    EXPECT_EQ(query.top, kBarHeight);
    EXPECT_FALSE(bar.GetStyle() & WS_VISIBLE);
}

TEST_F(ControlBarTest, IdleUpdatesReachTheBarsAndTheStatusIndicators)
{
    int before = m_pFrame->m_bar.updates;
    Idle();
    EXPECT_GT(m_pFrame->m_bar.updates, before);
    EXPECT_GT(m_pFrame->capsUpdates, 0);
    EXPECT_STREQ(m_pFrame->m_status.GetPaneText(1), "CAPS ON");
    EXPECT_EQ(m_pFrame->m_status.CommandToIndex(ID_INDICATOR_CAPS), 1);
    EXPECT_EQ(m_pFrame->m_status.CommandToIndex(ID_FILE_NEW), -1);
    CRect pane0, pane1;
    m_pFrame->m_status.GetItemRect(0, &pane0);
    m_pFrame->m_status.GetItemRect(1, &pane1);
    EXPECT_LE(pane0.right, pane1.left + 2);
    EXPECT_GT(pane0.Width(), pane1.Width()); // the first pane stretches
}

TEST_F(ControlBarTest, MessageStringsGoToTheFirstPane)
{
    m_pFrame->SendMessage(WM_SETMESSAGESTRING, ID_FILE_NEW);
    EXPECT_STREQ(m_pFrame->m_status.GetPaneText(0), "Creates a new project");
    m_pFrame->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>("plain text"));
    EXPECT_STREQ(m_pFrame->m_status.GetPaneText(0), "plain text");
    // a menu item under the cursor shows its prompt, the closed menu the idle one
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_FILE_OPEN, MF_STRING), 0);
    EXPECT_STREQ(m_pFrame->m_status.GetPaneText(0), "Opens a project");
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_STREQ(m_pFrame->m_status.GetPaneText(0), "Ready");
    char text[64] = "";
    ::GetWindowTextA(m_pFrame->m_status.m_hWnd, text, sizeof(text));
    EXPECT_STREQ(text, "Ready");
}

class CToolFrame : public CFrameWnd
{
public:
    CToolBar m_toolBar;
    CStatusBar m_status;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        static const UINT indicators[] = {ID_SEPARATOR};
        if (!m_toolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_FLYBY) ||
            !m_toolBar.LoadToolBar(IDR_MAINFRAME) || !m_status.Create(this) || !m_status.SetIndicators(indicators, 1))
            return -1;
        return 0;
    }
    afx_msg void OnNew() {}
    afx_msg void OnUpdateTouch(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CToolFrame, CFrameWnd)
ON_WM_CREATE()
ON_COMMAND(ID_FILE_NEW, OnNew)
ON_UPDATE_COMMAND_UI(ID_EDIT_TOUCH, OnUpdateTouch)
END_MESSAGE_MAP()

TEST(ToolBarTest, TheResourceGivesButtonsImagesAndUpdates)
{
    CWinApp app("Kestrelux");
    auto* pFrame = new CToolFrame;
    ASSERT_TRUE(pFrame->Create(nullptr, "tools", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 200)));
    pFrame->ShowWindow(SW_SHOW);
    CToolBar& bar = pFrame->m_toolBar;
    ASSERT_EQ(bar.GetCount(), 4);
    const struct
    {
        UINT id;
        int image;
    } buttons[] = {{ID_FILE_NEW, 0}, {ID_SEPARATOR, -1}, {ID_FILE_OPEN, 1}, {ID_EDIT_TOUCH, 2}};
    for (int i = 0; i < 4; ++i)
    {
        UINT nID, nStyle;
        int iImage;
        bar.GetButtonInfo(i, nID, nStyle, iImage);
        EXPECT_EQ(nID, buttons[i].id) << i;
        EXPECT_EQ(iImage, buttons[i].image) << i;
        EXPECT_EQ(nStyle & TBBS_SEPARATOR, buttons[i].id ? 0u : TBBS_SEPARATOR) << i;
    }
    EXPECT_EQ(bar.CommandToIndex(ID_FILE_OPEN), 2);
    EXPECT_EQ(::ImageList_GetImageCount(bar.GetImageList()), 3);

    // the frame lays the bar out along the top
    pFrame->RecalcLayout();
    CRect rect;
    bar.GetWindowRect(&rect);
    pFrame->ScreenToClient(&rect);
    EXPECT_EQ(rect.top, 0);
    EXPECT_GT(rect.Height(), 15);

    // idle update: no handler disables, an update handler decides
    kxgui::PumpUntilIdle();
    app.OnIdle(0);
    EXPECT_FALSE(bar.GetButtonStyle(0) & TBBS_DISABLED);
    EXPECT_TRUE(bar.GetButtonStyle(2) & TBBS_DISABLED);
    EXPECT_TRUE(bar.GetButtonStyle(3) & TBBS_DISABLED);
    EXPECT_EQ(bar.OnToolHitTest(CPoint(rect.Width() - 1, 1), nullptr), -1);
    pFrame->DestroyWindow();
}

TEST(ToolBarTest, FlyByPromptsFollowTheMouseOverTheButtons)
{
    CWinApp app("Kestrelux");
    auto* pFrame = new CToolFrame;
    ASSERT_TRUE(pFrame->Create(nullptr, "fly-by", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 200)));
    pFrame->ShowWindow(SW_SHOW);
    pFrame->RecalcLayout();
    kxgui::PumpUntilIdle();
    CToolBar& bar = pFrame->m_toolBar;
    CRect button;
    bar.GetItemRect(0, &button);
    MSG msg = {};
    msg.hwnd = bar.m_hWnd;
    msg.message = WM_MOUSEMOVE;
    msg.lParam = MAKELPARAM(button.CenterPoint().x, button.CenterPoint().y);
    EXPECT_FALSE(bar.PreTranslateMessage(&msg));
    // the wait is over: the button's prompt shows
    bar.SendMessage(WM_TIMER, ID_TIMER_WAIT);
    EXPECT_STREQ(pFrame->m_status.GetPaneText(0), "Creates a new project");
    EXPECT_TRUE(bar.m_nStateFlags & CControlBar::statusSet);
    // the mouse has left the bar: the idle prompt comes back
    CRect barRect;
    bar.GetWindowRect(&barRect);
    ::SetCursorPos(barRect.right + 50, barRect.bottom + 80);
    bar.SendMessage(WM_TIMER, ID_TIMER_CHECK);
    EXPECT_STREQ(pFrame->m_status.GetPaneText(0), "Ready");
    EXPECT_FALSE(bar.m_nStateFlags & CControlBar::statusSet);
    pFrame->DestroyWindow();
}

TEST(ToolBarTest, DamagedResourcesAreRefused)
{
    const struct
    {
        std::vector<BYTE> bytes;
        BOOL ok;
        size_t count;
    } cases[] = {
        {{1, 0, 16, 0, 15, 0, 2, 0, 100, 0, 0, 0}, TRUE, 2},
        {{1, 0, 16, 0, 15, 0, 0, 0}, TRUE, 0},
        {{1, 0, 16, 0, 15, 0, 3, 0, 100, 0, 0, 0}, FALSE, 0}, // claims three, holds two
        {{2, 0, 16, 0, 15, 0, 0, 0}, FALSE, 0},               // unknown version
        {{1, 0, 16}, FALSE, 0},
    };
    for (const auto& c : cases)
    {
        CToolBarResource res;
        EXPECT_EQ(res.Parse(c.bytes.data(), static_cast<DWORD>(c.bytes.size())), c.ok);
        EXPECT_EQ(res.ids.size(), c.count);
    }
}

// A dock bar of a class of its own, as the toolkit brings.
class CTestDockBar : public CDockBar
{
    DECLARE_DYNCREATE(CTestDockBar)
};
IMPLEMENT_DYNCREATE(CTestDockBar, CDockBar)

TEST_F(ControlBarTest, EnableDockingMakesTheDockBarsOfTheAskedSides)
{
    EXPECT_EQ(m_pFrame->m_pDockBarClass, RUNTIME_CLASS(CDockBar));
    m_pFrame->m_pDockBarClass = RUNTIME_CLASS(CTestDockBar);
    m_pFrame->EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT);
    CControlBar* pTop = m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP);
    CControlBar* pLeft = m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT);
    ASSERT_NE(pTop, nullptr);
    ASSERT_NE(pLeft, nullptr);
    EXPECT_NE(dynamic_cast<CTestDockBar*>(pTop), nullptr);
    EXPECT_EQ(pTop->GetBarStyle(), static_cast<DWORD>(CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM));
    EXPECT_EQ(pLeft->GetBarStyle(), static_cast<DWORD>(CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT));
    EXPECT_EQ(pTop->m_pDockSite, m_pFrame);
    EXPECT_EQ(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM), nullptr);
    // asked again, the existing bars stay
    m_pFrame->EnableDocking(CBRS_ALIGN_TOP);
    EXPECT_EQ(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP), pTop);
}

} // namespace
