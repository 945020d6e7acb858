// The control bar object and the frame-wide bar services on real frames:
// the bar list, the frame set-up, bar creation, the frame-bar query, layout
// with the reposition query, status texts, the docking test frame and how
// bars paint.
#include "framework/win/FrameWnd.h"
#include "framework/win/StatusBar.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/commands/ExtCmdItem.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/docking/ExtDynControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{

const UINT kIdBar1 = AFX_IDW_CONTROLBAR_FIRST + 40;
const UINT kIdBar2 = kIdBar1 + 1;
const UINT kIdBar3 = kIdBar1 + 2;
const UINT kIdBar4 = kIdBar1 + 3;
const UINT kIdDialogBar = kIdBar1 + 4;
const UINT kIdLogCommand = 0x8140;
const char kProfile[] = "docking-object-test";

// Resizable bars of a fixed size until rows lay them out.
class CSizedBar : public CExtControlBar
{
public:
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? CSize(160, 40) : CSize(40, 160); }
    CSize CalcDynamicLayout(int, DWORD dwMode) override { return CalcFixedLayout(FALSE, (dwMode & LM_HORZ) != 0); }
};

bool CreateDockedBar(CSizedBar& bar, CFrameWnd& frame, UINT nID, UINT nDockBarID, LPCRECT lpRect = nullptr)
{
    if (!bar.Create("bar", &frame, nID, WS_CHILD | WS_VISIBLE | CBRS_TOP))
        return false;
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame.DockControlBar(&bar, nDockBarID, lpRect);
    return true;
}

// A window that is neither a frame nor a control bar, as a dialog is.
bool CreateHost(CWnd& host, CWnd* pParent, const CRect& rc)
{
    return host.CreateEx(0, AfxRegisterWndClass(0, nullptr, ::GetSysColorBrush(COLOR_WINDOW)), "host",
                         WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rc, pParent, 0x300) != FALSE;
}

class ExtControlBarObjectTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_frame.CreateTestFrame(CRect(40, 40, 700, 560))); }
    void TearDown() override
    {
        CExtControlBar::g_nDockingStyle = -1;
        g_PaintManager.InstallPaintManager(nullptr);
        kxgui::PumpUntilIdle();
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    // A bar docked at the top, and one in a window that is not a frame.
    void CreateDockedAndHostedBars(CSizedBar& bar, CWnd& host, CSizedBar& hosted, DWORD dwHostedStyle)
    {
        ASSERT_TRUE(CreateDockedBar(bar, m_frame, kIdBar1, AFX_IDW_DOCKBAR_TOP));
        ASSERT_TRUE(CreateHost(host, &m_frame, CRect(200, 150, 440, 330)));
        ASSERT_TRUE(hosted.Create("dialog bar", &host, kIdDialogBar, dwHostedStyle));
        Layout();
    }
    CTestDockFrame m_frame;
};

TEST(ExtControlBarRegistry, BarsWithoutWindowsAreListedInConstructionOrder)
{
    const INT_PTR nBefore = CExtControlBar::g_AllBars.GetSize();
    auto pA = std::make_unique<CExtControlBar>();
    auto pB = std::make_unique<CExtControlBar>();
    auto pC = std::make_unique<CExtControlBar>();
    ASSERT_EQ(CExtControlBar::g_AllBars.GetSize(), nBefore + 3);
    EXPECT_EQ(CExtControlBar::g_AllBars[nBefore], pA.get());
    EXPECT_EQ(CExtControlBar::g_AllBars[nBefore + 1], pB.get());
    EXPECT_EQ(CExtControlBar::g_AllBars[nBefore + 2], pC.get());
    pB.reset();
    ASSERT_EQ(CExtControlBar::g_AllBars.GetSize(), nBefore + 2);
    EXPECT_EQ(CExtControlBar::g_AllBars[nBefore], pA.get());
    EXPECT_EQ(CExtControlBar::g_AllBars[nBefore + 1], pC.get());
}

TEST(ExtControlBarRegistry, RegisteredMessagesAndDefaults)
{
    EXPECT_EQ(CExtControlBar::g_nMsgConstructPopupMenu,
              ::RegisterWindowMessageA("CExtControlBar::g_nMsgConstructPopupMenu"));
    EXPECT_EQ(CExtControlBar::g_nMsgCustomNcAreaQuery,
              ::RegisterWindowMessageA("CExtControlBar::g_nMsgCustomNcAreaQuery"));
    DWORD dwStyle = 0;
    ASSERT_TRUE(CExtControlBar::g_DockBarStyles.Lookup(AFX_IDW_DOCKBAR_BOTTOM, dwStyle));
    EXPECT_EQ(dwStyle, 0x8200u);
    CExtControlBar bar;
    EXPECT_TRUE(bar.m_bCaptionAlwaysAtTop);
    EXPECT_FALSE(bar.m_bFixedMode);
    EXPECT_EQ(bar.GetMinimalFloatingSize(), CSize(80, 60));
    EXPECT_LE(bar.GetFrameWidth(), 4);
    EXPECT_EQ(bar.m_nNcWidth, ::GetSystemMetrics(SM_CYSMCAPTION) + bar.GetFrameWidth() + 1);
    // A bar that is not docked through a frame counts as docked.
    EXPECT_TRUE(bar.IsDocked());
    EXPECT_FALSE(bar.IsFloating());
}

TEST_F(ExtControlBarObjectTest, EnableFrameDockingReplacesTheEdgesItMay)
{
    m_frame.EnableDocking(CBRS_ALIGN_ANY);
    auto dockBar = [this](UINT nID) { return m_frame.GetControlBar(nID); };
    EXPECT_FALSE(CExtControlBar::EnableFrameDocking(&m_frame, CBRS_ALIGN_TOP));
    EXPECT_TRUE(dockBar(AFX_IDW_DOCKBAR_TOP)->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar)));
    for (UINT nID : {AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT})
        EXPECT_FALSE(dockBar(nID)->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar))) << nID;

    EXPECT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame, CBRS_ALIGN_ANY));
    CControlBar* arrFirst[4];
    const UINT kIds[] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};
    for (int i = 0; i < 4; ++i)
    {
        arrFirst[i] = dockBar(kIds[i]);
        ASSERT_NE(arrFirst[i], nullptr);
        EXPECT_TRUE(arrFirst[i]->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar))) << kIds[i];
        EXPECT_EQ(arrFirst[i]->GetBarStyle() & CBRS_ALIGN_ANY, kIds[i] == AFX_IDW_DOCKBAR_TOP      ? CBRS_ALIGN_TOP
                                                               : kIds[i] == AFX_IDW_DOCKBAR_BOTTOM ? CBRS_ALIGN_BOTTOM
                                                               : kIds[i] == AFX_IDW_DOCKBAR_LEFT   ? CBRS_ALIGN_LEFT
                                                                                                   : CBRS_ALIGN_RIGHT);
    }
    EXPECT_EQ(m_frame.m_pFloatingFrameClass, RUNTIME_CLASS(CExtMiniDockFrameWnd));

    EXPECT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame, CBRS_ALIGN_ANY));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(dockBar(kIds[i]), arrFirst[i]);
    // Only the four live outer dock bars are left in the frame's list.
    int nDockBars = 0;
    POSITION pos = m_frame.m_listControlBars.GetHeadPosition();
    while (pos != nullptr)
    {
        auto* pBar = static_cast<CControlBar*>(m_frame.m_listControlBars.GetNext(pos));
        if (!pBar->IsDockBar())
            continue;
        ++nDockBars;
        EXPECT_TRUE(::IsWindow(pBar->m_hWnd));
        EXPECT_TRUE(pBar->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar)));
    }
    EXPECT_EQ(nDockBars, 4);
}

TEST_F(ExtControlBarObjectTest, CreateTakesTheCommandTextAndTheToolkitClass)
{
    ASSERT_TRUE(g_CmdManager->SetupProfile(kProfile, m_frame.m_hWnd));
    CExtCmdItem* pCmd = g_CmdManager->NewCommand(kProfile, kIdLogCommand);
    ASSERT_NE(pCmd, nullptr);
    pCmd->m_sMenuText = "&Log\nsecond line";

    CExtControlBar named, unnamed;
    ASSERT_TRUE(named.Create(nullptr, &m_frame, kIdLogCommand, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(unnamed.Create(nullptr, &m_frame, 0, WS_CHILD | CBRS_TOP));
    CString sText;
    named.GetWindowText(sText);
    EXPECT_STREQ(sText, "Log");
    unnamed.GetWindowText(sText);
    EXPECT_STREQ(sText, "");
    char szClass[64] = {};
    ::GetClassNameA(named.m_hWnd, szClass, sizeof(szClass));
    EXPECT_STREQ(szClass, "Quorbis-ControlBar");
    EXPECT_EQ(named.GetBarStyle() & CBRS_ALIGN_ANY, static_cast<DWORD>(CBRS_ALIGN_TOP));
    EXPECT_TRUE(named.GetStyle() & WS_CLIPCHILDREN);
    // A resizable bar's frame gets the toolkit's dock bars when it is made.
    EXPECT_TRUE(m_frame.GetControlBar(AFX_IDW_DOCKBAR_LEFT)->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar)));
    named.DestroyWindow();
    unnamed.DestroyWindow();
    g_CmdManager->DetachWindowFromProfile(m_frame.m_hWnd, true);
}

TEST(ExtControlBarCreate, RightToLeftLayoutIsRemoved)
{
    CFrameWnd* pFrame = new CFrameWnd; // deletes itself with its window
    ASSERT_TRUE(pFrame->Create(nullptr, "rtl", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(60, 60, 400, 300), nullptr,
                               nullptr, WS_EX_LAYOUTRTL));
    ASSERT_TRUE(pFrame->GetExStyle() & WS_EX_LAYOUTRTL);
    // A plain child of this frame takes the layout over.
    HWND hPlain = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, pFrame->m_hWnd, nullptr, nullptr, nullptr);
    EXPECT_TRUE(::GetWindowLongA(hPlain, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    ::DestroyWindow(hPlain);
    CExtControlBar bar;
    ASSERT_TRUE(bar.Create("rtl bar", pFrame, kIdBar1, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    EXPECT_EQ(bar.GetExStyle() & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING), 0u);
    bar.DestroyWindow();
    pFrame->DestroyWindow();
    kxgui::PumpUntilIdle();
}

TEST_F(ExtControlBarObjectTest, CollectFrameBarsFilters)
{
    CSizedBar top, left, floating, hidden, dialogBar;
    ASSERT_TRUE(CreateDockedBar(top, m_frame, kIdBar1, AFX_IDW_DOCKBAR_TOP));
    ASSERT_TRUE(CreateDockedBar(left, m_frame, kIdBar2, AFX_IDW_DOCKBAR_LEFT));
    ASSERT_TRUE(CreateDockedBar(floating, m_frame, kIdBar3, AFX_IDW_DOCKBAR_TOP));
    ASSERT_TRUE(CreateDockedBar(hidden, m_frame, kIdBar4, AFX_IDW_DOCKBAR_RIGHT));
    floating.FloatAt(300, 300, CBRS_ALIGN_TOP);
    m_frame.ShowControlBar(&hidden, FALSE, FALSE);
    CWnd host;
    ASSERT_TRUE(CreateHost(host, &m_frame, CRect(200, 150, 440, 330)));
    ASSERT_TRUE(dialogBar.Create("dialog bar", &host, kIdDialogBar, WS_CHILD | WS_VISIBLE));
    Layout();

    EXPECT_TRUE(top.IsDockedAtTop());
    EXPECT_TRUE(left.IsDockedAtLeft());
    EXPECT_TRUE(left.IsDockedVertically());
    EXPECT_TRUE(floating.IsFloating());
    EXPECT_EQ(floating.GetDockingFrame(), &m_frame);
    EXPECT_TRUE(dialogBar.IsDialogHosted());
    EXPECT_TRUE(dialogBar.IsDocked());

    CRect rcFloat, rcTop;
    floating.GetParentFrame()->GetWindowRect(&rcFloat);
    top.GetWindowRect(&rcTop);
    const CPoint kNowhere(-1000, -1000);
    struct Case
    {
        DWORD dwFilter;
        POINT pt;
        std::vector<CExtControlBar*> expected;
    } cases[] = {
        {0x5FF, kNowhere, {&top, &left, &floating}},
        {0xFFF, kNowhere, {&top, &left, &floating, &hidden}},
        {0x8584, rcFloat.CenterPoint(), {&floating}},
        {0x8584, rcTop.CenterPoint(), {}},
        {0x57F, kNowhere, {&top, &left}}, // docked anywhere, not floating
        {0x50F, kNowhere, {&top}},
        {0xAFF, kNowhere, {&hidden}},
        {0x5F8, kNowhere, {}},
    };
    for (const Case& c : cases)
    {
        CArray<CExtControlBar*, CExtControlBar*> arrOut;
        CExtControlBar::CollectFrameBars(nullptr, &m_frame, arrOut, c.dwFilter, c.pt);
        ASSERT_EQ(arrOut.GetSize(), static_cast<INT_PTR>(c.expected.size())) << std::hex << c.dwFilter;
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(arrOut[i], c.expected[i]) << std::hex << c.dwFilter << " #" << i;
    }
    CArray<CExtControlBar*, CExtControlBar*> arrSiblings;
    top.CollectSiblingBars(true, arrSiblings, 0x5FF, kNowhere);
    ASSERT_EQ(arrSiblings.GetSize(), 2);
    EXPECT_EQ(arrSiblings[0], &left);
}

TEST_F(ExtControlBarObjectTest, CollectFrameBarsFindsThePanesOfAContainerNotTheContainer)
{
    ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
    CExtControlBar panes[2];
    for (int i = 0; i < 2; ++i)
    {
        ASSERT_TRUE(panes[i].Create("pane", &m_frame, kIdBar1 + static_cast<UINT>(i),
                                    WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER));
        panes[i].EnableDocking(CBRS_ALIGN_ANY);
    }
    static_cast<CExtDockBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP))
        ->GetCircleDockBar(1)
        ->DockControlBar(&panes[0], nullptr);
    Layout();
    ASSERT_TRUE(panes[1].DockBeside(50, &panes[0], AFX_IDW_DOCKBAR_LEFT, true));
    Layout();
    CControlBar* pContainer = panes[0].m_pDockBar->GetParent() != nullptr
                                  ? static_cast<CControlBar*>(panes[0].m_pDockBar->GetParent())
                                  : nullptr;
    ASSERT_TRUE(pContainer != nullptr && pContainer->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)));
    const std::string sContainer = "  row " + std::to_string(pContainer->GetDlgCtrlID()) +
                                   "\n    CExtDockDynBar\n      row " + std::to_string(kIdBar2) + " " +
                                   std::to_string(kIdBar1) + "\n";
    EXPECT_NE(DumpDockLayout(&m_frame).find(sContainer), std::string::npos) << DumpDockLayout(&m_frame);
    for (CExtControlBar& pane : panes)
    {
        EXPECT_TRUE(pane.IsDocked());
        EXPECT_FALSE(pane.IsFloating());
        EXPECT_EQ(pane.GetDockingFrame(), &m_frame);
    }
    for (DWORD dwFilter : {0x5FFul, 0xFFFul})
    {
        CArray<CExtControlBar*, CExtControlBar*> arrOut;
        CExtControlBar::CollectFrameBars(nullptr, &m_frame, arrOut, dwFilter, CPoint(-1000, -1000));
        ASSERT_EQ(arrOut.GetSize(), 2) << std::hex << dwFilter;
        EXPECT_EQ(arrOut[0], &panes[0]);
        EXPECT_EQ(arrOut[1], &panes[1]);
    }
    m_frame.DestroyWindow();
}

// A child that answers the layout messages and counts them.
class CLayoutProbe : public CWnd
{
public:
    bool Create(CWnd* pParent, UINT nID, const CRect& rc, bool bExclude)
    {
        m_bExclude = bExclude;
        return CreateEx(0, AfxRegisterWndClass(0), "probe", WS_CHILD | WS_VISIBLE, rc, pParent, nID) != FALSE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CExtControlBar::g_nMsgQueryRepositionCalcEffect)
        {
            auto* pData = reinterpret_cast<CExtControlBar::QUERY_REPOSITION_CALC_EFFECT_DATA*>(wParam);
            ++m_nQueries;
            m_bSawQueryMode = pData->IsQueryMode();
            pData->ExcludeFromCalcEffect(m_bExclude);
            return 0;
        }
        if (message == WM_SIZEPARENT)
        {
            ++m_nSizeParents;
            reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam)->sizeTotal.cy += 20;
            reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam)->rect.top += 20;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    bool m_bExclude = false, m_bSawQueryMode = false;
    int m_nQueries = 0, m_nSizeParents = 0;
};

TEST_F(ExtControlBarObjectTest, RepositionBarsQueriesFirstAndMovesNothingInQueryMode)
{
    CWnd parent;
    ASSERT_TRUE(CreateHost(parent, &m_frame, CRect(0, 0, 300, 200)));
    CLayoutProbe excluded, counted, outside, leftOver;
    ASSERT_TRUE(excluded.Create(&parent, 0xE810, CRect(0, 0, 10, 10), true));
    ASSERT_TRUE(counted.Create(&parent, 0xE811, CRect(0, 0, 10, 10), false));
    ASSERT_TRUE(outside.Create(&parent, 0x120, CRect(0, 0, 10, 10), false));
    ASSERT_TRUE(leftOver.Create(&parent, 0xE900, CRect(5, 5, 15, 15), false));

    CRect rcQuery;
    CExtControlBar::RepositionBars(&parent, 0xE800, 0xE8FF, 0xE900, reposQuery, &rcQuery, nullptr, FALSE);
    EXPECT_EQ(excluded.m_nQueries, 1);
    EXPECT_TRUE(excluded.m_bSawQueryMode);
    EXPECT_EQ(excluded.m_nSizeParents, 0);
    EXPECT_EQ(counted.m_nSizeParents, 1);
    EXPECT_EQ(outside.m_nQueries, 1);
    EXPECT_EQ(outside.m_nSizeParents, 0);
    EXPECT_EQ(leftOver.m_nQueries, 0);
    EXPECT_EQ(rcQuery, CRect(0, 0, 0, 20));
    CRect rcLeftOver;
    leftOver.GetWindowRect(&rcLeftOver);
    parent.ScreenToClient(&rcLeftOver);
    EXPECT_EQ(rcLeftOver, CRect(5, 5, 15, 15));

    // The exclude bit counts in query mode only; a real layout moves the
    // left-over child into what the bars leave.
    CExtControlBar::RepositionBars(&parent, 0xE800, 0xE8FF, 0xE900, reposDefault, nullptr, nullptr, TRUE);
    EXPECT_EQ(excluded.m_nSizeParents, 1);
    leftOver.GetWindowRect(&rcLeftOver);
    parent.ScreenToClient(&rcLeftOver);
    EXPECT_EQ(rcLeftOver, CRect(0, 40, 300, 200));
}

// Counts the status messages it is sent.
class CStatusFrame : public CFrameWnd
{
public:
    int m_nMessageStrings = 0;
    WPARAM m_nLastMessageString = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETMESSAGESTRING)
        {
            ++m_nMessageStrings;
            m_nLastMessageString = wParam;
        }
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override {}
};

TEST(ExtControlBarServices, ShowCommandStatusText)
{
    CStatusFrame frame;
    ASSERT_TRUE(frame.Create(nullptr, "status", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(50, 50, 450, 350)));
    CStatusBar status;
    static const UINT kIndicators[] = {ID_SEPARATOR};
    ASSERT_TRUE(status.Create(&frame));
    ASSERT_TRUE(status.SetIndicators(kIndicators, 1));
    ASSERT_TRUE(g_CmdManager->SetupProfile(kProfile, frame.m_hWnd));
    CExtCmdItem* pCmd = g_CmdManager->NewCommand(kProfile, kIdLogCommand);
    ASSERT_NE(pCmd, nullptr);
    pCmd->m_sTipStatus = "Shows the log pane";

    CExtControlBar::ShowCommandStatusText(&frame, kIdLogCommand);
    EXPECT_STREQ(status.GetPaneText(0), "Shows the log pane");
    EXPECT_EQ(frame.m_nMessageStrings, 0);

    CExtControlBar::ShowCommandStatusText(&frame, AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(frame.m_nMessageStrings, 1);
    EXPECT_EQ(frame.m_nLastMessageString, static_cast<WPARAM>(AFX_IDS_IDLEMESSAGE));

    // Without direct status texts every id goes through the frame.
    CExtControlBar::g_bDirectStatusText = false;
    CExtControlBar::ShowCommandStatusText(&frame, kIdLogCommand);
    CExtControlBar::g_bDirectStatusText = true;
    EXPECT_EQ(frame.m_nMessageStrings, 2);
    g_CmdManager->DetachWindowFromProfile(frame.m_hWnd, true);
    frame.DestroyWindow();
    kxgui::PumpUntilIdle();
}

TEST_F(ExtControlBarObjectTest, ToggleAndCommandUiByBarId)
{
    CSizedBar bar;
    ASSERT_TRUE(CreateDockedBar(bar, m_frame, kIdBar1, AFX_IDW_DOCKBAR_TOP));
    Layout();
    EXPECT_FALSE(CExtControlBar::ToggleFrameBarByCommand(&m_frame, kIdBar2, true));
    ASSERT_TRUE(CExtControlBar::ToggleFrameBarByCommand(&m_frame, kIdBar1, true));
    EXPECT_FALSE(bar.IsWindowVisible());
    // Without leave to hide, a toggle only ever shows.
    ASSERT_TRUE(CExtControlBar::ToggleFrameBarByCommand(&m_frame, kIdBar1, false));
    EXPECT_TRUE(bar.IsWindowVisible());
    ASSERT_TRUE(CExtControlBar::ToggleFrameBarByCommand(&m_frame, kIdBar1, false));
    EXPECT_TRUE(bar.IsWindowVisible());
}

TEST_F(ExtControlBarObjectTest, EnsureVisibleShowsAHiddenBarUnlessItIsHiddenForAWhile)
{
    CSizedBar bar, dialogBar;
    CWnd host;
    CreateDockedAndHostedBars(bar, host, dialogBar, WS_CHILD);
    struct Case
    {
        bool bShown;
        UINT nStateFlags;
        bool bExpected;
    } cases[] = {
        {true, 0, true},
        {false, 0, true}, // shown through the bar's command
        {false, CControlBar::tempHide, false},
    };
    for (const Case& c : cases)
    {
        m_frame.ShowControlBar(&bar, c.bShown, FALSE);
        bar.m_nStateFlags |= c.nStateFlags;
        Layout();
        EXPECT_EQ(bar.EnsureVisible(), c.bExpected) << c.bShown << " " << c.nStateFlags;
        EXPECT_EQ(bar.IsWindowVisible() != FALSE, c.bExpected);
        bar.m_nStateFlags &= ~c.nStateFlags;
    }
    // a bar in a dialog only answers
    EXPECT_FALSE(dialogBar.EnsureVisible());
    EXPECT_FALSE(dialogBar.IsWindowVisible());
    dialogBar.ShowWindow(SW_SHOW);
    EXPECT_TRUE(dialogBar.EnsureVisible());
}

TEST_F(ExtControlBarObjectTest, MoveFocusToFrameLeavesAFocusInTheActiveWindow)
{
    CSizedBar bar, dialogBar;
    CWnd host;
    CreateDockedAndHostedBars(bar, host, dialogBar, WS_CHILD | WS_VISIBLE);
    kxgui::Activate(m_frame.m_hWnd);
    bar.SetFocus();
    bar.MoveFocusToFrame();
    EXPECT_EQ(::GetFocus(), bar.m_hWnd);

    ::SetFocus(nullptr);
    bar.MoveFocusToFrame();
    EXPECT_EQ(::GetFocus(), m_frame.m_hWnd);
    ::SetFocus(nullptr);
    dialogBar.MoveFocusToFrame();
    EXPECT_EQ(::GetFocus(), host.m_hWnd);
}

TEST_F(ExtControlBarObjectTest, DumpDockLayoutGivesRowsAndTheFrameRecordsPopupMenus)
{
    CSizedBar first, second, third;
    ASSERT_TRUE(CreateDockedBar(first, m_frame, kIdBar1, AFX_IDW_DOCKBAR_TOP));
    Layout();
    CRect rcFirst;
    first.GetWindowRect(&rcFirst);
    const CRect rcBeside(rcFirst.right + 10, rcFirst.top, rcFirst.right + 170, rcFirst.bottom);
    ASSERT_TRUE(CreateDockedBar(second, m_frame, kIdBar2, AFX_IDW_DOCKBAR_TOP, &rcBeside));
    ASSERT_TRUE(CreateDockedBar(third, m_frame, kIdBar3, AFX_IDW_DOCKBAR_TOP));
    Layout();
    EXPECT_EQ(DumpDockLayout(&m_frame), "top 59419 circle 0 CExtDockOuterBar\n"
                                        "  row 59432 59433\n"
                                        "  row 59434\n"
                                        "bottom 59422 circle 0 CExtDockOuterBar\n"
                                        "left 59420 circle 0 CExtDockOuterBar\n"
                                        "right 59421 circle 0 CExtDockOuterBar\n");

    CExtControlBar::POPUP_MENU_EVENT_DATA data(2, nullptr, &second, CPoint(-1, -1), WM_NCRBUTTONDOWN);
    POINT ptCursor;
    ::GetCursorPos(&ptCursor);
    EXPECT_EQ(data.m_ptScreen.x, ptCursor.x);
    EXPECT_TRUE(data.IsBarsListMenu());
    EXPECT_TRUE(data.NotifyTarget(false));
    EXPECT_EQ(data.m_pTargetFrame, &m_frame);
    ASSERT_EQ(m_frame.m_arrPopupMenuEvents.size(), 1u);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].nEventType, 2);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].hWndSource, second.m_hWnd);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].nSourceMessage, static_cast<UINT>(WM_NCRBUTTONDOWN));

    // The content-pane host frame leaves the tool bar chevron menu alone.
    m_frame.m_kind = CTestDockFrame::Kind::BarHostFrame;
    CExtControlBar::POPUP_MENU_EVENT_DATA chevron(12, nullptr, &second, CPoint(10, 10), WM_LBUTTONDOWN);
    EXPECT_FALSE(chevron.IsBarsListMenu());
    EXPECT_FALSE(chevron.NotifyTarget(true));
    ASSERT_EQ(m_frame.m_arrPopupMenuEvents.size(), 2u);
    EXPECT_TRUE(m_frame.m_arrPopupMenuEvents[1].bPostNotification);
}

TEST_F(ExtControlBarObjectTest, MainFrameCommandsSetTheDockingStyle)
{
    const struct
    {
        UINT nID;
        int nStyle;
    } cases[] = {{32802, 1}, {32801, 0}, {32800, -1}};
    for (const auto& c : cases)
    {
        m_frame.SendMessage(WM_COMMAND, c.nID);
        EXPECT_EQ(CExtControlBar::g_nDockingStyle, c.nStyle) << c.nID;
    }
}

TEST(ExtControlBarSkeletons, ToolAndMenuBarAnswerWhatDockingAsks)
{
    CExtToolControlBar tool;
    EXPECT_TRUE(tool.IsFixedMode());
    EXPECT_FALSE(tool.m_bCaptionAlwaysAtTop);
    EXPECT_FALSE(tool.m_bChildFillsClient);
    EXPECT_EQ(tool.GetCaptionHeight(), 10);
    EXPECT_TRUE(tool.IsMarkerDockingStyle());
    EXPECT_FALSE(tool.IsPaneDocking());
    EXPECT_TRUE(tool.m_nTbFlags & CExtToolControlBar::TbFlagFloatingBordersAreCaption);
    EXPECT_EQ(CExtToolControlBar::GetDefaultButtonSize(), CSize(23, 22));
    EXPECT_NE(CExtToolControlBar::g_nMsgContinueTrackMenu, 0u);
    CExtMenuControlBar menu;
    EXPECT_TRUE(menu.OccupiesWholeRow());
    EXPECT_FALSE(tool.OccupiesWholeRow());
}

TEST_F(ExtControlBarObjectTest, BarsPaintTheThemesFace)
{
    const struct
    {
        const char* pszName;
        CExtPaintManager* (*make)();
    } themes[] = {{"classic", [] { return new CExtPaintManager; }},
                  {"xp", []() -> CExtPaintManager* { return new CExtPaintManagerXP; }}};
    CSizedBar top, bottom, left, right, dialogBar;
    ASSERT_TRUE(CreateDockedBar(top, m_frame, kIdBar1, AFX_IDW_DOCKBAR_TOP));
    ASSERT_TRUE(CreateDockedBar(bottom, m_frame, kIdBar2, AFX_IDW_DOCKBAR_BOTTOM));
    ASSERT_TRUE(CreateDockedBar(left, m_frame, kIdBar3, AFX_IDW_DOCKBAR_LEFT));
    ASSERT_TRUE(CreateDockedBar(right, m_frame, kIdBar4, AFX_IDW_DOCKBAR_RIGHT));
    CWnd host;
    ASSERT_TRUE(CreateHost(host, &m_frame, CRect(200, 150, 440, 330)));
    ASSERT_TRUE(dialogBar.Create("dialog bar", &host, kIdDialogBar, WS_CHILD | WS_VISIBLE));
    dialogBar.MoveWindow(20, 20, 200, 140);
    for (const auto& theme : themes)
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(theme.make()));
        Layout();
        m_frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_frame.m_hWnd);
        ASSERT_FALSE(shot.IsEmpty());
        kxgui::SaveArtifact(shot, std::string("docking_bars_") + theme.pszName + ".png");
        for (CWnd* pBar : {static_cast<CWnd*>(&top), static_cast<CWnd*>(&left), static_cast<CWnd*>(&dialogBar)})
        {
            const COLORREF clrFace = g_PaintManager->GetColor(CExtPaintManager::TC_FACE_NORMAL, pBar, 0);
            CRect rc;
            pBar->GetClientRect(&rc);
            ASSERT_FALSE(rc.IsRectEmpty()) << theme.pszName;
            CPoint pt = rc.CenterPoint();
            pBar->ClientToScreen(&pt);
            m_frame.ScreenToClient(&pt);
            EXPECT_EQ(shot.At(pt.x, pt.y), clrFace) << theme.pszName << " bar " << pBar->GetDlgCtrlID();
        }
    }
}

} // namespace
