// The resizable dialog on a real window: anchored controls over a table of
// client sizes, the smallest size it may take, minimising, the gripper's
// hit test, the stored placement and what is refused of it, and the
// dialog's look in every theme.
#include "uitoolkit/controls/ExtResizableDialog.h"

#include "tests/gui/GuiHarness.h"
#include "uitoolkit/controls/ExtButton.h"
#include "uitoolkit/testsupport/ExtAnchorTestTable.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <string>

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

} // namespace
