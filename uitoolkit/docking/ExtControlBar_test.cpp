// Which window of a frame passes system notifications on to the theme,
// with real frames, status bars, outer dock bars and floating frames; and
// the bar state queries painters read.
#include "uitoolkit/docking/ExtControlBar.h"

#include "framework/win/FrameWnd.h"
#include "framework/win/MiniFrameWnd.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/bars/ExtStatusControlBar.h"
#include "uitoolkit/bars/ExtTabMdiWnd.h"
#include "uitoolkit/bars/ExtTabWnd.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtCmdItem.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

namespace
{

const UINT kIdBar = AFX_IDW_CONTROLBAR_FIRST + 60;
const UINT kIdTestCommand = 0x8001; // its prompt is in the tests' string table

// Fixed-size, so that making it leaves the frame's dock bars as the test
// chose them.
class CTestExtBar : public CExtControlBar
{
public:
    CTestExtBar() { m_bFixedMode = true; }
    BOOL Create(CWnd* pParent, UINT nID)
    {
        m_dwStyle = CBRS_TOP | CBRS_GRIPPER;
        return CWnd::CreateEx(0, AfxRegisterWndClass(0), "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), pParent, nID);
    }
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? CSize(120, 24) : CSize(24, 120); }
};

// A frame with the relay candidates a test asks for.
class CRelayFrame : public CFrameWnd
{
public:
    bool m_bStatus = false, m_bOuterDockBars = false, m_bMdiTabs = false;
    CExtStatusControlBar m_status;
    CTestExtBar m_bar;
    CExtTabMdiWnd m_tabs;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        static const UINT kIndicators[] = {ID_SEPARATOR};
        if (m_bStatus && (!m_status.Create(this) || !m_status.SetIndicators(kIndicators, 1)))
            return -1;
        if (m_bMdiTabs && !m_tabs.CreateEx(0, AfxRegisterWndClass(0), "tabs", WS_CHILD | WS_VISIBLE,
                                           CRect(0, 0, 10, 10), this, 0x100))
            return -1;
        if (!m_bar.Create(this, kIdBar))
            return -1;
        m_pFloatingFrameClass = RUNTIME_CLASS(CExtMiniDockFrameWnd);
        if (m_bOuterDockBars)
            m_pDockBarClass = RUNTIME_CLASS(CExtDockOuterBar);
        EnableDocking(CBRS_ALIGN_ANY);
        m_bar.EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_bar, AFX_IDW_DOCKBAR_LEFT);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CRelayFrame, CFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

// Counts the rebuilds that reach the theme.
class CCountingTheme : public CExtPaintManagerXP
{
public:
    int m_nRebuilds = 0;
    void OnSysColorChange() override
    {
        ++m_nRebuilds;
        CExtPaintManagerXP::OnSysColorChange();
    }
};

class RelayTest : public ::testing::Test
{
protected:
    CRelayFrame* MakeFrame(bool bStatus, bool bOuter, bool bTabs = false)
    {
        auto* pFrame = new CRelayFrame;
        pFrame->m_bStatus = bStatus;
        pFrame->m_bOuterDockBars = bOuter;
        pFrame->m_bMdiTabs = bTabs;
        EXPECT_TRUE(pFrame->Create(nullptr, "relay", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300)));
        pFrame->ShowWindow(SW_SHOW);
        m_app.m_pMainWnd = pFrame;
        m_pFrame = pFrame;
        kxgui::PumpUntilIdle();
        return pFrame;
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        if (m_pFrame)
            m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    static bool Relays(CWnd* pWnd) { return CExtPaintManagerHolder::IsSysNotifyRelayWindow(pWnd); }

    CWinApp m_app{"Kestrelux"};
    CFrameWnd* m_pFrame = nullptr;
};

TEST_F(RelayTest, StandardStatusBarIsTheOnlyRelay)
{
    CRelayFrame* pFrame = MakeFrame(true, true);
    CControlBar* pTop = pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP);
    ASSERT_NE(pTop, nullptr);
    ASSERT_TRUE(pTop->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar)));
    EXPECT_TRUE(Relays(&pFrame->m_status));
    EXPECT_FALSE(Relays(pTop));
    EXPECT_FALSE(Relays(&pFrame->m_bar));
    EXPECT_FALSE(Relays(pFrame));

    // a broadcast to every window of the frame rebuilds the theme once
    auto* pTheme = new CCountingTheme;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
    for (CWnd* pWnd :
         {static_cast<CWnd*>(pFrame), static_cast<CWnd*>(&pFrame->m_status), static_cast<CWnd*>(pTop),
          static_cast<CWnd*>(&pFrame->m_bar), static_cast<CWnd*>(pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT))})
        pWnd->SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(pTheme->m_nRebuilds, 1);

    // another status bar of the toolkit relays as well
    CExtStatusControlBar other;
    ASSERT_TRUE(other.Create(pFrame, WS_CHILD | CBRS_BOTTOM, AFX_IDW_STATUS_BAR + 1));
    EXPECT_TRUE(Relays(&other));
}

TEST_F(RelayTest, OuterDockBarWithoutStatusBar)
{
    CRelayFrame* pFrame = MakeFrame(false, true);
    EXPECT_TRUE(Relays(pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP)));
    EXPECT_FALSE(Relays(pFrame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM)));
    EXPECT_FALSE(Relays(&pFrame->m_bar));
}

TEST_F(RelayTest, MdiTabWindowDecidesLast)
{
    CRelayFrame* pFrame = MakeFrame(false, false, true);
    EXPECT_TRUE(Relays(&pFrame->m_tabs));
    EXPECT_FALSE(Relays(&pFrame->m_bar));
}

TEST_F(RelayTest, WithoutCandidatesEveryWindowRelays)
{
    CRelayFrame* pFrame = MakeFrame(false, false);
    EXPECT_TRUE(Relays(pFrame));
    EXPECT_TRUE(Relays(&pFrame->m_bar));
    EXPECT_TRUE(Relays(pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP)));
}

TEST_F(RelayTest, FloatingBarIsJudgedByItsOwningFrame)
{
    CRelayFrame* pFrame = MakeFrame(true, true);
    pFrame->FloatControlBar(&pFrame->m_bar, CPoint(500, 300));
    kxgui::PumpUntilIdle();
    CFrameWnd* pMini = pFrame->m_bar.GetParentFrame();
    ASSERT_NE(pMini, nullptr);
    ASSERT_TRUE(pMini->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)));
    EXPECT_EQ(static_cast<CExtMiniDockFrameWnd*>(pMini)->GetFloatingExtBar(), &pFrame->m_bar);
    EXPECT_TRUE(pFrame->m_bar.IsFloating());
    EXPECT_FALSE(pFrame->m_bar.IsDocked());
    EXPECT_FALSE(Relays(&pFrame->m_bar));
    EXPECT_FALSE(Relays(pMini));

    // the status text goes to the owning frame's status bar, not the floating frame
    ASSERT_TRUE(g_CmdManager->SetupProfile("relay-test", pFrame->m_hWnd));
    g_CmdManager->NewCommand("relay-test", kIdTestCommand)->m_sTipStatus = "Theme test command";
    CExtControlBar::ShowCommandStatusText(&pFrame->m_bar, kIdTestCommand);
    g_CmdManager->DetachWindowFromProfile(pFrame->m_hWnd, true);
    EXPECT_STREQ(pFrame->m_status.GetPaneText(0), "Theme test command");
    CExtControlBar::ShowCommandStatusText(&pFrame->m_bar, AFX_IDS_IDLEMESSAGE);
    EXPECT_STREQ(pFrame->m_status.GetPaneText(0), "Ready");

    // any other mini frame always relays
    CMiniFrameWnd* pOther = new CMiniFrameWnd;
    ASSERT_TRUE(pOther->Create(nullptr, "mini", WS_POPUP | WS_CAPTION, CRect(0, 0, 100, 60), pFrame));
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), pOther, 1));
    EXPECT_TRUE(Relays(&child));
    pOther->DestroyWindow();
}

TEST_F(RelayTest, DockedBarQueries)
{
    CRelayFrame* pFrame = MakeFrame(false, false);
    CTestExtBar& bar = pFrame->m_bar;
    EXPECT_TRUE(bar.IsDocked());
    EXPECT_TRUE(bar.IsDockedVertically());
    EXPECT_FALSE(bar.IsDockedHorizontally());
    bar.m_bCaptionAlwaysAtTop = false;
    bool bHorz = false, bShown = false;
    EXPECT_TRUE(bar.HasGripper(&bHorz, &bShown));
    EXPECT_TRUE(bHorz);
    pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    EXPECT_TRUE(bar.IsDockedHorizontally());
    EXPECT_TRUE(bar.HasGripper(&bHorz, nullptr));
    EXPECT_FALSE(bHorz);

    // a bar outside any dock site (its parent is no frame) answers from its style
    CWnd host;
    ASSERT_TRUE(host.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 100, 100), pFrame, 2));
    CTestExtBar loose;
    ASSERT_TRUE(loose.Create(&host, kIdBar + 1));
    ASSERT_EQ(loose.m_pDockSite, nullptr);
    loose.SetBarStyle(CBRS_ALIGN_LEFT);
    EXPECT_TRUE(loose.IsDocked());
    EXPECT_TRUE(loose.IsDockedVertically());
    EXPECT_FALSE(loose.IsDockedHorizontally());

    EXPECT_FALSE(CExtControlBar::IsFrameHelpMode(&bar));
    pFrame->m_bHelpMode = TRUE;
    EXPECT_TRUE(CExtControlBar::IsFrameHelpMode(&bar));
    pFrame->m_bHelpMode = FALSE;

    EXPECT_EQ(CExtControlBar::GetDockingType(), 0);
    CExtControlBar::g_nDockingStyle = 1;
    EXPECT_EQ(CExtControlBar::GetDockingType(), 1);
    CExtControlBar::g_nDockingStyle = -1;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerStudio2005));
    EXPECT_EQ(CExtControlBar::GetDockingType(), 1);

    CExtPanelControlBar panel;
    EXPECT_EQ(panel.m_nToolBarOptions, CExtToolControlBar::TbOptDefault | CExtToolControlBar::TbOptXpExpandButton);
    EXPECT_EQ(panel.GetButton(0), nullptr);
    EXPECT_EQ(panel.GetMenuTrackingButton(), -1);
}

} // namespace
