// The resizable dialog on a real window: anchored controls over a table of
// client sizes, the smallest size it may take, minimising, the gripper's
// hit test, the stored placement and what is refused of it, and the
// dialog's look in every theme.
#include "uitoolkit/controls/ExtResizableDialog.h"

#include "tests/gui/GuiHarness.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/controls/ExtButton.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/testsupport/ExtAnchorTestTable.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const UINT kIdDialog = 0x7A10, kIdFirstControl = 0x7A11;
const char kRegistryKey[] = "Kestrelux Resizable Dialog Tests";

class CAnchoredDialog : public CExtResizableDialog
{
public:
    CAnchoredDialog() : CExtResizableDialog(kIdDialog) {}

    CExtButton m_ok, m_left, m_right;

    BOOL OnInitDialog() override
    {
        CExtResizableDialog::OnInitDialog();
        m_ok.SubclassDlgItem(kIdFirstControl + 1, this);
        m_left.SubclassDlgItem(kIdFirstControl + 3, this);
        m_right.SubclassDlgItem(kIdFirstControl + 4, this);
        SetClientSize(kExtAnchorTestClientCx, kExtAnchorTestClientCy);
        for (int i = 0; i < 5; ++i)
        {
            const ExtAnchorTestControl& c = kExtAnchorTestControls[i];
            GetDlgItem(kIdFirstControl + i)->MoveWindow(&c.rc);
            m_bAnchored[i] = AddAnchor(kIdFirstControl + i, c.szLT, c.szRB) != FALSE;
        }
        return TRUE;
    }
    void SetClientSize(int cx, int cy)
    {
        CRect rc(0, 0, cx, cy);
        ::AdjustWindowRectEx(&rc, GetStyle(), FALSE, GetExStyle());
        SetWindowPos(nullptr, 0, 0, rc.Width(), rc.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CRect ControlRect(int i)
    {
        CRect rc;
        GetDlgItem(kIdFirstControl + i)->GetWindowRect(&rc);
        ScreenToClient(&rc);
        return rc;
    }
    CSize InitialSize() const { return m_szInitial; }

    bool m_bAnchored[5] = {};
};

class ResizableDialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
        m_app.SetRegistryKey(kRegistryKey);
    }
    void TearDown() override
    {
        if (m_dlg.m_hWnd != nullptr)
            m_dlg.DestroyWindow();
        kxgui::PumpUntilIdle();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kRegistryKey).c_str());
    }
    void Open()
    {
        ASSERT_TRUE(m_dlg.Create(kIdDialog));
        m_dlg.ShowWindow(SW_SHOW);
        kxgui::Activate(m_dlg.m_hWnd);
        kxgui::PumpUntilIdle();
    }
    void ExpectTableRow(const ExtAnchorTestSize& s)
    {
        CRect rcClient;
        m_dlg.GetClientRect(&rcClient);
        ASSERT_EQ(rcClient.Size(), CSize(s.cx, s.cy));
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(m_dlg.ControlRect(i), s.expected[i]) << s.cx << "x" << s.cy << " #" << i;
    }

    CWinApp m_app{"Kestrelux"};
    CAnchoredDialog m_dlg;
};

TEST_F(ResizableDialogs, AnchoredControlsFollowTheTable)
{
    Open();
    for (bool bAnchored : m_dlg.m_bAnchored)
        EXPECT_TRUE(bAnchored);
    // an unchanged size moves nothing, also when arranged again
    ExpectTableRow(kExtAnchorTestSizes[0]);
    m_dlg.ArrangeLayout(-1, -1);
    ExpectTableRow(kExtAnchorTestSizes[0]);
    for (const ExtAnchorTestSize& s : kExtAnchorTestSizes)
    {
        m_dlg.SetClientSize(s.cx, s.cy);
        kxgui::PumpUntilIdle();
        ExpectTableRow(s);
    }
}

TEST_F(ResizableDialogs, NeverSmallerThanAtFirstAndStillWhenMinimised)
{
    Open();
    const CSize szInitial = m_dlg.InitialSize();
    ASSERT_GT(szInitial.cx, 0);
    m_dlg.SetWindowPos(nullptr, 0, 0, 40, 30, SWP_NOMOVE | SWP_NOZORDER);
    CRect rcWindow;
    m_dlg.GetWindowRect(&rcWindow);
    EXPECT_EQ(rcWindow.Size(), szInitial);

    const ExtAnchorTestSize& s = kExtAnchorTestSizes[2];
    m_dlg.SetClientSize(s.cx, s.cy);
    kxgui::PumpUntilIdle();
    m_dlg.ShowWindow(SW_MINIMIZE);
    kxgui::PumpUntilIdle();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(m_dlg.ControlRect(i), s.expected[i]) << i;
    m_dlg.ShowWindow(SW_RESTORE);
    kxgui::PumpUntilIdle();
    ExpectTableRow(s);
}

TEST_F(ResizableDialogs, AnchorsRefusedAndDroppedSoundly)
{
    Open();
    EXPECT_FALSE(m_dlg.AddAnchor(m_dlg.GetDlgItem(kIdFirstControl)->m_hWnd, g_szAnchorNone));
    const HWND hStranger = kxgui::CreateTestWindow(50, 50, "Stranger");
    EXPECT_FALSE(m_dlg.AddAnchor(hStranger, g_szAnchorTopLeft));
    EXPECT_FALSE(m_dlg.IsAnchored(hStranger));
    ::DestroyWindow(hStranger);
    EXPECT_EQ(m_dlg.GetAnchorCount(), 5);
    // an anchored control that goes away is forgotten at the next arrangement
    const HWND hList = m_dlg.GetDlgItem(kIdFirstControl + 2)->m_hWnd;
    ::DestroyWindow(hList);
    m_dlg.ArrangeLayout();
    EXPECT_FALSE(m_dlg.IsAnchored(hList));
    EXPECT_EQ(m_dlg.GetAnchorCount(), 4);
}

TEST_F(ResizableDialogs, TheGripperAnswersTheHitTest)
{
    Open();
    const CRect rcGripper = m_dlg.GetGripperRect();
    CRect rcClient;
    m_dlg.GetClientRect(&rcClient);
    EXPECT_EQ(rcGripper.BottomRight(), rcClient.BottomRight());
    EXPECT_EQ(rcGripper.Width(), ::GetSystemMetrics(SM_CXVSCROLL));
    CPoint pt(rcGripper.left + 2, rcGripper.top + 2);
    m_dlg.ClientToScreen(&pt);
    EXPECT_EQ(m_dlg.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)), HTBOTTOMRIGHT);
    CPoint ptOut(rcGripper.left - 3, rcGripper.top - 3);
    m_dlg.ClientToScreen(&ptOut);
    EXPECT_EQ(m_dlg.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptOut.x, ptOut.y)), HTCLIENT);
}

TEST_F(ResizableDialogs, PlacementIsSavedAndRestored)
{
    m_app.WriteProfileString("Wnds", "Test", "10,20,300,400,1,0");
    Open();
    m_dlg.EnableSaveRestore("Wnds", "Test");
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    ASSERT_TRUE(::GetWindowPlacement(m_dlg.m_hWnd, &wp));
    EXPECT_EQ(CRect(wp.rcNormalPosition), CRect(10, 20, 300, 400));
    EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWNORMAL));

    // destroyed and made again, it comes back where it was left
    m_dlg.SetWindowPos(nullptr, 30, 40, 320, 250, SWP_NOZORDER);
    m_dlg.DestroyWindow();
    EXPECT_EQ(std::string(m_app.GetProfileString("Wnds", "Test")), "30,40,350,290,1,0");
    Open();
    m_dlg.EnableSaveRestore("Wnds", "Test");
    ASSERT_TRUE(::GetWindowPlacement(m_dlg.m_hWnd, &wp));
    EXPECT_EQ(CRect(wp.rcNormalPosition), CRect(30, 40, 350, 290));
}

TEST_F(ResizableDialogs, BadPlacementsChangeNothing)
{
    Open();
    WINDOWPLACEMENT before = {};
    before.length = sizeof(before);
    ::GetWindowPlacement(m_dlg.m_hWnd, &before);
    for (const char* text : {"10,20,300,400,1", "10,20,99999999999,400,1,0", "10,20,300,400,77,0", "a,b,c,d,e,f"})
    {
        m_app.WriteProfileString("Wnds", "Test", text);
        m_dlg.EnableSaveRestore("Wnds", "Test");
        WINDOWPLACEMENT wp = {};
        wp.length = sizeof(wp);
        ::GetWindowPlacement(m_dlg.m_hWnd, &wp);
        EXPECT_EQ(CRect(wp.rcNormalPosition), CRect(before.rcNormalPosition)) << text;
        EXPECT_EQ(wp.showCmd, before.showCmd) << text;
    }
    // a rectangle off every monitor comes back fully onto the work area
    m_app.WriteProfileString("Wnds", "Test", "-5000,-4000,-4700,-3750,1,0");
    m_dlg.EnableSaveRestore("Wnds", "Test");
    CRect rcWindow, rcWork;
    m_dlg.GetWindowRect(&rcWindow);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_EQ(rcWindow.Size(), CSize(300, 250));
    CRect rcInside;
    EXPECT_TRUE(rcInside.IntersectRect(&rcWindow, &rcWork));
    EXPECT_EQ(rcInside, rcWindow);
}

TEST_F(ResizableDialogs, AltSpaceOpensTheToolkitSystemMenuInPopupsOnly)
{
    Open();
    // typed: the dialog's pre-translation takes Space, and the open menu's
    // keyboard hook takes the releases, so the lone Alt release never
    // reaches the system's own menu mode
    kxgui::InputScript().KeyDown(VK_MENU).KeyDown(VK_SPACE).KeyUp(VK_SPACE).KeyUp(VK_MENU).Send();
    kxgui::PumpUntilIdle([this](MSG& msg) { return CWnd::WalkPreTranslateTree(m_dlg.m_hWnd, &msg) != FALSE; });
    ASSERT_TRUE(IsPopupTrackingActive());
    EXPECT_TRUE(m_dlg.IsSysMenuTracking());
    CExtPopupMenuWnd* pTop = CExtPopupMenuWnd::GetTracker().GetTopPopup();
    ASSERT_NE(pTop, nullptr);
    EXPECT_NE(pTop->TrackFlagsGet() & CExtPopupMenuWnd::TRACK_SELECT_FIRST, 0u);
    EXPECT_GT(pTop->ItemGetCount(), 0);
    CloseActivePopupTree();
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsPopupTrackingActive());

    // handed to the pre-translation as the loop would: typed into a child,
    // the key would go on to the host's system menu, which is the system's
    // own and modal
    auto altSpace = [this]()
    {
        MSG msg = {::GetFocus(), WM_SYSKEYDOWN, VK_SPACE, 1 | (1 << 29), 0, {0, 0}};
        return m_dlg.PreTranslateMessage(&msg) != FALSE;
    };
    // the same dialog living inside another window leaves the key alone
    const HWND hHost = kxgui::CreateTestWindow(400, 300, "Host");
    m_dlg.ModifyStyle(WS_POPUP, WS_CHILD);
    m_dlg.SetParent(CWnd::FromHandle(hHost));
    kxgui::Activate(hHost);
    m_dlg.SetFocus();
    EXPECT_FALSE(altSpace());
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_FALSE(m_dlg.IsSysMenuTracking());
    m_dlg.DestroyWindow();
    ::DestroyWindow(hHost);
}

TEST_F(ResizableDialogs, LooksInEveryTheme)
{
    Open();
    m_dlg.SetClientSize(kExtAnchorTestSizes[2].cx, kExtAnchorTestSizes[2].cy);
    for (int nTheme = 0; nTheme < kExtTestThemeCount; ++nTheme)
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
        m_dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        kxgui::PumpUntilIdle();
        kxgui::SaveArtifact(kxgui::CaptureScreen(m_dlg.m_hWnd, false),
                            std::string("resizable_dialog_") + ExtTestThemeName(nTheme) + ".png");
    }
}

// Logs what reaches it, in order: a bar's keys and a dialog's OK and Cancel.
using EventLog = std::vector<std::string>;

class CKeyLoggingBar : public CExtControlBar
{
public:
    EventLog* m_pLog = nullptr;
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? CSize(600, 220) : CSize(220, 600); }
    CSize CalcDynamicLayout(int, DWORD dwMode) override { return CalcFixedLayout(FALSE, (dwMode & LM_HORZ) != 0); }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
            m_pLog->push_back(pMsg->wParam == VK_RETURN ? "bar Enter" : "bar Escape");
        return CExtControlBar::PreTranslateMessage(pMsg);
    }
};

class CLoggingDialog : public CExtResizableDialog
{
public:
    explicit CLoggingDialog(EventLog& log) : CExtResizableDialog(kIdDialog), m_log(log) {}
    EventLog& m_log;

protected:
    void OnOK() override
    {
        m_log.push_back("OK");
        CExtResizableDialog::OnOK();
    }
    void OnCancel() override
    {
        m_log.push_back("Cancel");
        CExtResizableDialog::OnCancel();
    }
};

TEST(ResizableDialogInABar, TheBarSeesEnterAndEscapeFirstAndTheDialogStays)
{
    CWinApp app("Kestrelux");
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    EventLog log;
    CTestDockFrame frame;
    ASSERT_TRUE(frame.CreateTestFrame(CRect(40, 40, 700, 560)));
    CKeyLoggingBar bar;
    bar.m_pLog = &log;
    ASSERT_TRUE(bar.Create("bar", &frame, AFX_IDW_CONTROLBAR_FIRST + 40, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame.DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame.RecalcLayout();
    CLoggingDialog child(log);
    ASSERT_TRUE(child.Create(kIdDialog, &bar));
    child.ModifyStyle(WS_POPUP | WS_CAPTION | WS_THICKFRAME, WS_CHILD);
    child.SetParent(&bar);
    child.SetWindowPos(nullptr, 0, 0, 200, 120, SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    kxgui::Activate(frame.m_hWnd);
    child.GetDlgItem(kIdFirstControl + 3)->SetFocus();
    const auto pump = [&frame]()
    { kxgui::PumpUntilIdle([&frame](MSG& msg) { return CWnd::WalkPreTranslateTree(frame.m_hWnd, &msg) != FALSE; }); };
    pump();

    kxgui::InputScript().Key(VK_RETURN).Send();
    pump();
    kxgui::InputScript().Key(VK_ESCAPE).Send();
    pump();
    child.SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(log, (EventLog{"bar Enter", "bar Escape", "Cancel", "OK"}));
    EXPECT_TRUE(::IsWindow(child.m_hWnd));
    EXPECT_TRUE(child.IsWindowVisible());

    // a top-level one still closes
    log.clear();
    CLoggingDialog popup(log);
    ASSERT_TRUE(popup.Create(kIdDialog, &frame));
    popup.ShowWindow(SW_SHOW);
    kxgui::Activate(popup.m_hWnd);
    kxgui::InputScript().Key(VK_ESCAPE).Send();
    pump();
    EXPECT_EQ(log, (EventLog{"Cancel"}));
    EXPECT_FALSE(popup.IsWindowVisible());
    popup.DestroyWindow();
    frame.DestroyWindow();
    kxgui::PumpUntilIdle();
    g_PaintManager.InstallPaintManager(nullptr);
}

} // namespace
