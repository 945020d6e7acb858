// The resizable property sheet on a real sheet of three pages: the sizing
// border and the anchored buttons after the deferred initialisation,
// growing, Ctrl+Tab stopping at both ends, pages shown later landing over
// the first, and the sheet's look before and after growing.
#include "uitoolkit/controls/ExtResizablePropertySheet.h"

#include "tests/gui/GuiHarness.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace
{

const UINT kIdPage = 0x7A20;
// the system sheet's Apply button
const int kIdApply = 0x3021;

// Keeps where its buttons stood before the sheet made itself resizable.
class CProbeSheet : public CExtResizablePropertySheet
{
public:
    std::map<int, CRect> m_buttonsBefore;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == g_nMsgInitLayout && !IsLayoutInitialized())
            for (int nId : {IDOK, IDCANCEL, kIdApply})
                m_buttonsBefore[nId] = Rect(GetDlgItem(nId));
        return CExtResizablePropertySheet::WindowProc(message, wParam, lParam);
    }
    CRect Rect(CWnd* pWnd) const
    {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        ScreenToClient(&rc);
        return rc;
    }
    CSize MinTrack() const { return m_szInitial; }
};

class ResizableSheets : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
        for (CExtResizablePropertyPage& page : m_pages)
            m_sheet.AddPage(&page);
        ASSERT_TRUE(m_sheet.Create(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME));
        kxgui::Activate(m_sheet.m_hWnd);
        Pump();
    }
    void TearDown() override
    {
        if (m_sheet.m_hWnd != nullptr)
            m_sheet.DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    void Pump()
    {
        kxgui::PumpUntilIdle([this](MSG& msg) { return CWnd::WalkPreTranslateTree(m_sheet.m_hWnd, &msg) != FALSE; });
    }
    void Grow(int dx, int dy)
    {
        CRect rc;
        m_sheet.GetWindowRect(&rc);
        m_sheet.SetWindowPos(nullptr, 0, 0, rc.Width() + dx, rc.Height() + dy, SWP_NOMOVE | SWP_NOZORDER);
        Pump();
    }
    void CtrlTab(bool bShift)
    {
        kxgui::InputScript keys;
        keys.KeyDown(VK_CONTROL);
        if (bShift)
            keys.KeyDown(VK_SHIFT);
        keys.Key(VK_TAB);
        if (bShift)
            keys.KeyUp(VK_SHIFT);
        keys.KeyUp(VK_CONTROL).Send();
        Pump();
    }

    CExtResizablePropertyPage m_pages[3] = {CExtResizablePropertyPage(kIdPage), CExtResizablePropertyPage(kIdPage),
                                            CExtResizablePropertyPage(kIdPage)};
    CProbeSheet m_sheet;
};

TEST_F(ResizableSheets, AfterItsInitialisationTheSheetIsResizable)
{
    ASSERT_TRUE(m_sheet.IsLayoutInitialized());
    EXPECT_NE(m_sheet.GetStyle() & WS_THICKFRAME, 0u);
    ASSERT_EQ(m_sheet.m_buttonsBefore.size(), 3u);
    for (const auto& before : m_sheet.m_buttonsBefore)
    {
        CWnd* pButton = m_sheet.GetDlgItem(before.first);
        // moved 10 pixels left, the same size
        CRect rcExpected = before.second;
        rcExpected.OffsetRect(-10, 0);
        EXPECT_EQ(m_sheet.Rect(pButton), rcExpected) << before.first;
        EXPECT_TRUE(CWnd::FromHandlePermanent(pButton->m_hWnd)->IsKindOf(RUNTIME_CLASS(CExtButton)));
    }
}

TEST_F(ResizableSheets, GrowingGrowsTheTabsAndThePageAlike)
{
    CWnd* pTab = m_sheet.GetTabControl();
    const CRect rcTab = m_sheet.Rect(pTab);
    const CRect rcPage = m_sheet.Rect(m_sheet.GetActivePage());
    const CRect rcOk = m_sheet.Rect(m_sheet.GetDlgItem(IDOK));
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_sheet.m_hWnd, false), "resizable_sheet_before.png");
    Grow(50, 40);
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_sheet.m_hWnd, false), "resizable_sheet_grown.png");
    const CRect rcTabAfter = m_sheet.Rect(pTab);
    const CRect rcPageAfter = m_sheet.Rect(m_sheet.GetActivePage());
    EXPECT_EQ(rcTabAfter.TopLeft(), rcTab.TopLeft());
    EXPECT_EQ(rcTabAfter.Size(), rcTab.Size() + CSize(50, 40));
    EXPECT_EQ(rcPageAfter.TopLeft(), rcPage.TopLeft());
    EXPECT_EQ(rcPageAfter.Size(), rcPage.Size() + CSize(50, 40));
    CRect rcOkExpected = rcOk;
    rcOkExpected.OffsetRect(50, 40);
    EXPECT_EQ(m_sheet.Rect(m_sheet.GetDlgItem(IDOK)), rcOkExpected);
    // and it never gets smaller than it started
    CRect rcWindow;
    m_sheet.SetWindowPos(nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER);
    m_sheet.GetWindowRect(&rcWindow);
    EXPECT_EQ(rcWindow.Size(), m_sheet.MinTrack());
}

TEST_F(ResizableSheets, CtrlTabStopsAtBothEndsAndPagesLandOverTheFirst)
{
    // grown first, so pages made later must follow the first one's place
    Grow(50, 40);
    const CRect rcFirst = m_sheet.Rect(m_sheet.GetActivePage());
    m_sheet.GetActivePage()->GetDlgItem(0x7A21)->SetFocus();
    for (int nExpected : {1, 2, 2})
    {
        CtrlTab(false);
        EXPECT_EQ(m_sheet.GetActiveIndex(), nExpected);
        EXPECT_EQ(m_sheet.Rect(m_sheet.GetActivePage()), rcFirst) << nExpected;
        // the keyboard stays in the sheet for the next switch
        EXPECT_EQ(::GetFocus(), m_sheet.GetTabControl()->m_hWnd);
    }
    for (int nExpected : {1, 0, 0})
    {
        CtrlTab(true);
        EXPECT_EQ(m_sheet.GetActiveIndex(), nExpected);
    }
}

// Records the commands the application is asked about; it handles 0x8123.
class CCommandApp : public CWinApp
{
public:
    CCommandApp() : CWinApp("Kestrelux") {}
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nID >= 0x7000 && nID < 0xF000)
            m_asked.push_back(nID);
        return nID == 0x8123 ? TRUE : CWinApp::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
    std::vector<UINT> m_asked;
};

// Counts its embedded layouts.
class CEmbeddedSheet : public CExtResizablePropertySheet
{
public:
    int m_nEmbeddedLayouts = 0;
    void OnEmbeddedLayout() override { ++m_nEmbeddedLayouts; }
};

TEST(EmbeddedResizableSheet, FollowsItsSizeAndRoutesTheProgramsCommandsToTheApplication)
{
    CCommandApp app;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                              CRect(60, 60, 560, 460), nullptr, 0));
    CExtResizablePropertyPage pages[2] = {CExtResizablePropertyPage(kIdPage), CExtResizablePropertyPage(kIdPage)};
    CEmbeddedSheet sheet;
    for (CExtResizablePropertyPage& page : pages)
        sheet.AddPage(&page);
    ASSERT_TRUE(sheet.Create(&host, WS_CHILD | WS_VISIBLE | WS_TABSTOP));
    kxgui::PumpUntilIdle();
    ASSERT_TRUE(sheet.IsLayoutInitialized());
    EXPECT_GT(sheet.m_nEmbeddedLayouts, 0);

    // the tab control fills the sheet, however the sheet is sized
    for (const CSize& size : {CSize(420, 320), CSize(380, 300)})
    {
        sheet.m_nEmbeddedLayouts = 0;
        sheet.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        kxgui::PumpUntilIdle();
        EXPECT_GT(sheet.m_nEmbeddedLayouts, 0);
        CRect rcTab, rcClient;
        sheet.GetTabControl()->GetWindowRect(&rcTab);
        sheet.ScreenToClient(&rcTab);
        sheet.GetClientRect(&rcClient);
        EXPECT_EQ(rcTab, rcClient) << size.cx;
    }

    EXPECT_TRUE(sheet.OnCmdMsg(0x8123, CN_COMMAND, nullptr, nullptr));
    EXPECT_FALSE(sheet.OnCmdMsg(0x8124, CN_UPDATE_COMMAND_UI, nullptr, nullptr));
    EXPECT_FALSE(sheet.OnCmdMsg(0x7123, CN_COMMAND, nullptr, nullptr));       // not one of the program's commands
    EXPECT_FALSE(sheet.OnCmdMsg(0x8125, BN_DOUBLECLICKED, nullptr, nullptr)); // a control notification
    EXPECT_EQ(app.m_asked, (std::vector<UINT>{0x8123, 0x8124}));
    host.DestroyWindow();
    kxgui::PumpUntilIdle();
    g_PaintManager.InstallPaintManager(nullptr);
}

} // namespace
