// The toolkit's status bar in a docking frame that leaves the bars menu to
// the toolkit: pane painting and borders, tooltips, the redraw on text and
// icon changes, pane controls, the gripper, the bars menu and the relay of
// system notifications, with a gallery in the four themes.
#include "uitoolkit/bars/ExtStatusControlBar.h"

#include "framework/win/Controls.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"
#include "uitoolkit/testsupport/ExtTestPump.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

enum : UINT
{
    kIdIconPane = 101,
    kIdDisabledPane = 102,
    kIdControlPane = 103,
    kIdTipPane = 104,
    kIdEdit = 200,
    kIdPane = 300,
};

// The classic theme, keeping what the bar asks of it.
class CRecordingTheme : public CExtPaintManager
{
public:
    std::vector<CRect> m_arrPaneBorders;
    int m_nBarBorders = 0;
    int m_nSysColorChanges = 0;
    void PaintStatusBarItem(CDC& dc, StatusBarItemParams& params) override
    {
        if (params.Kind == StatusBarItemParams::KindPane)
            m_arrPaneBorders.push_back(params.Rect);
        else
            ++m_nBarBorders;
        CExtPaintManager::PaintStatusBarItem(dc, params);
    }
    void OnSysColorChange() override
    {
        ++m_nSysColorChanges;
        CExtPaintManager::OnSysColorChange();
    }
};

class CTestStatusBar : public CExtStatusControlBar
{
public:
    struct PaneRecord
    {
        int nIndex;
        UINT nStyle;
        bool bIcon;
        std::string sText;
        UINT nFormat;
    };
    int m_nPaints = 0;
    int m_nGrippers = 0;
    std::vector<PaneRecord> m_arrPanes;
    std::vector<int> m_arrSeparators;

    void ClearRecords()
    {
        m_nPaints = m_nGrippers = 0;
        m_arrPanes.clear();
        m_arrSeparators.clear();
    }
    void PaintBackground(CDC* pDC, const CRect& rc) override
    {
        ++m_nPaints;
        m_arrPanes.clear();
        m_arrSeparators.clear();
        CExtStatusControlBar::PaintBackground(pDC, rc);
    }
    void PaintPane(CDC* pDC, int nIndex, const CRect& rcPane, UINT nStyle, HICON hIcon, LPCTSTR lpszText,
                   UINT nTextFormat) override
    {
        m_arrPanes.push_back({nIndex, nStyle, hIcon != nullptr, lpszText ? lpszText : "", nTextFormat});
        CExtStatusControlBar::PaintPane(pDC, nIndex, rcPane, nStyle, hIcon, lpszText, nTextFormat);
    }
    void PaintGripper(CDC* pDC, const CRect& rc) override
    {
        ++m_nGrippers;
        CExtStatusControlBar::PaintGripper(pDC, rc);
    }
    void PaintPaneSeparator(CDC* pDC, int nIndex, const CRect& rcPrev, const CRect& rcPane) override
    {
        m_arrSeparators.push_back(nIndex);
        CExtStatusControlBar::PaintPaneSeparator(pDC, nIndex, rcPrev, rcPane);
    }
};

class ExtStatusControlBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_PaintManager.InstallPaintManager(m_pTheme = new CRecordingTheme);
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(40, 40, 640, 400), "Kestrelux status bar test"));
        m_app.m_pMainWnd = &m_frame;
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        ASSERT_TRUE(m_bar.Create(&m_frame));
        static const UINT kPanes[] = {ID_SEPARATOR, kIdIconPane, kIdDisabledPane, kIdControlPane, kIdTipPane};
        m_bar.SetIndicators(kPanes, 5);
        m_bar.SetPaneInfo(1, kIdIconPane, SBPS_NORMAL, 60);
        m_bar.SetPaneInfo(2, kIdDisabledPane, SBPS_DISABLED, 70);
        m_bar.SetPaneInfo(3, kIdControlPane, SBPS_NORMAL, 90);
        m_bar.SetPaneInfo(4, kIdTipPane, SBPS_NORMAL, 70);
        const char* kTexts[] = {"Ready", "Icon", "Disabled", "", "Tip"};
        for (int i = 0; i < 5; ++i)
            m_bar.SetPaneText(i, kTexts[i]);
        m_bar.SetPaneTipText(4, "Pane tooltip");
        m_hIcon = static_cast<HICON>(::LoadImageA(nullptr, IDI_INFORMATION, IMAGE_ICON, 16, 16, LR_SHARED));
        m_bar.SendMessage(SB_SETICON, 1, reinterpret_cast<LPARAM>(m_hIcon));
        ASSERT_TRUE(m_edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 10, 10), &m_bar, kIdEdit));
        m_edit.SetWindowText("control");
        ASSERT_TRUE(m_bar.AddPaneControl(m_edit.m_hWnd, kIdControlPane, false));
        Layout();
        kxgui::Activate(m_frame.m_hWnd);
        Pump();
    }
    void TearDown() override
    {
        kxgui::MoveMouseTo(CPoint(1200, 1000));
        CloseActivePopupTree();
        Pump();
        m_app.m_pMainWnd = nullptr;
        m_frame.DestroyWindow();
        kxgui::PumpUntilIdle();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        Pump();
    }
    void Pump() { PumpAppUntilIdle(m_app); }
    bool PumpUntil(const std::function<bool()>& done) { return PumpAppUntil(m_app, done); }
    // Paints the bar now and returns the records of that paint.
    void Repaint()
    {
        m_bar.ClearRecords();
        m_bar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    CRect PaneRect(int nIndex)
    {
        CRect rc;
        m_bar.GetItemRect(nIndex, &rc);
        return rc;
    }
    const CTestStatusBar::PaneRecord* Painted(int nIndex)
    {
        for (const auto& record : m_bar.m_arrPanes)
            if (record.nIndex == nIndex)
                return &record;
        return nullptr;
    }
    CExtControlBar* DockTitledPane(const char* pszTitle)
    {
        m_panes.push_back(std::make_unique<CExtControlBar>());
        CExtControlBar* pPane = m_panes.back().get();
        EXPECT_TRUE(pPane->Create(pszTitle, &m_frame, kIdPane, WS_CHILD | WS_VISIBLE | CBRS_TOP));
        pPane->EnableDocking(CBRS_ALIGN_ANY);
        auto* pOuter = static_cast<CExtDockBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP));
        pOuter->GetCircleDockBar(1)->DockControlBarAtEdge(pPane, false);
        Layout();
        return pPane;
    }

    CWinApp m_app{"Kestrelux"};
    CRecordingTheme* m_pTheme = nullptr;
    CTestDockFrame m_frame{CTestDockFrame::Kind::PlainFrame};
    CTestStatusBar m_bar;
    CEdit m_edit;
    HICON m_hIcon = nullptr;
    std::vector<std::unique_ptr<CExtControlBar>> m_panes;
};

TEST_F(ExtStatusControlBarTest, IsTheFramesStatusBarAndRelayWindow)
{
    EXPECT_EQ(m_bar.GetDlgCtrlID(), 59393);
    EXPECT_EQ(m_frame.GetControlBar(59393), &m_bar);
    EXPECT_TRUE(CExtPaintManagerHolder::IsSysNotifyRelayWindow(&m_bar));
    EXPECT_TRUE(m_bar.GetStyle() & WS_CLIPCHILDREN);
    EXPECT_EQ(m_bar.GetPaneCount(), 5);
    EXPECT_EQ(m_bar.GetPaneCommandID(4), UINT(kIdTipPane));
    EXPECT_EQ(m_bar.GetPaneCommandID(5), 0u);
    EXPECT_EQ(m_bar.GetPaneCommandID(-1), 0u);
}

TEST_F(ExtStatusControlBarTest, PaneWithoutExtraDataIsSingleLineCentredAndAsksForItsTipByCallback)
{
    EXPECT_EQ(m_bar.GetPaneTextFormat(1), UINT(DT_SINGLELINE | DT_VCENTER));
    EXPECT_TRUE(m_bar.GetPaneTipText(1).IsEmpty());
    // an index out of range counts as command id 0, which has no entry
    EXPECT_EQ(m_bar.GetPaneTextFormat(9), UINT(DT_SINGLELINE | DT_VCENTER));
    Repaint();
    ASSERT_NE(Painted(1), nullptr);
    EXPECT_EQ(Painted(1)->nFormat, 36u);
    EXPECT_EQ(Painted(1)->sText, "Icon");
    EXPECT_TRUE(Painted(1)->bIcon);

    const CRect rcPane = PaneRect(1);
    TOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    EXPECT_EQ(m_bar.OnToolHitTest(rcPane.CenterPoint(), &ti), INT_PTR(kIdIconPane));
    EXPECT_EQ(ti.lpszText, LPSTR_TEXTCALLBACKA);
    EXPECT_EQ(CRect(ti.rect), rcPane);
    EXPECT_EQ(ti.uId, UINT_PTR(kIdIconPane));
    EXPECT_EQ(ti.hwnd, m_bar.m_hWnd);

    // a pane's own format and tooltip; the tip comes as a heap copy
    m_bar.SetPaneTextFormat(1, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    Repaint();
    ASSERT_NE(Painted(1), nullptr);
    EXPECT_EQ(Painted(1)->nFormat, UINT(DT_SINGLELINE | DT_VCENTER | DT_RIGHT));
    TOOLINFOA tiTip = {};
    tiTip.cbSize = sizeof(tiTip);
    EXPECT_EQ(m_bar.OnToolHitTest(PaneRect(4).CenterPoint(), &tiTip), INT_PTR(kIdTipPane));
    ASSERT_NE(tiTip.lpszText, LPSTR_TEXTCALLBACKA);
    EXPECT_STREQ(tiTip.lpszText, "Pane tooltip");
    std::free(tiTip.lpszText);
    // nothing under a point outside the panes, nothing while a menu tracks
    EXPECT_EQ(m_bar.OnToolHitTest(CPoint(-5, -5), nullptr), -1);
}

TEST_F(ExtStatusControlBarTest, PaneTooltipShowsWhenHovered)
{
    // every mouse move asks the bar, whose heap copy of the tip the
    // framework frees
    static std::vector<std::string> s_freed;
    s_freed.clear();
    CWnd::g_pfnToolTipTextFreed = [](LPCSTR lpszText) { s_freed.emplace_back(lpszText); };
    CExtPopupMenuTipWnd& tip = CExtPopupMenuWnd::GetTracker().GetTipWnd();
    kxgui::InputScript().MoveTo(m_bar.m_hWnd, PaneRect(4).CenterPoint()).Send();
    const bool bShown = PumpUntil([&] { return tip.GetSafeHwnd() != nullptr && tip.IsWindowVisible(); });
    CWnd::g_pfnToolTipTextFreed = nullptr;
    ASSERT_TRUE(bShown);
    EXPECT_EQ(std::string(tip.m_sText), "Pane tooltip");
    ASSERT_FALSE(s_freed.empty());
    EXPECT_EQ(s_freed.back(), "Pane tooltip");
    // a pane without a tip takes it down
    kxgui::InputScript().MoveTo(m_bar.m_hWnd, PaneRect(1).CenterPoint()).Send();
    ASSERT_TRUE(PumpUntil([&] { return !tip.IsWindowVisible(); }));
}

TEST_F(ExtStatusControlBarTest, DisabledPaneHidesItsTextOrDrawsItDisabled)
{
    auto countInPane = [&](COLORREF clr)
    {
        const kxgui::PixelBuffer image = kxgui::CaptureScreen(m_bar.m_hWnd);
        CRect rc = PaneRect(2);
        rc.DeflateRect(2, 2);
        return image.CountColor(clr, rc);
    };
    Repaint();
    ASSERT_NE(Painted(2), nullptr);
    EXPECT_TRUE(Painted(2)->nStyle & SBPS_DISABLED);
    EXPECT_EQ(Painted(2)->sText, "Disabled");
    EXPECT_EQ(countInPane(m_bar.m_clrDisabledText), 0);
    EXPECT_EQ(countInPane(m_bar.m_clrText), 0);

    m_bar.m_nOptions &= ~CExtStatusControlBar::OptHideDisabledText;
    Repaint();
    EXPECT_GT(countInPane(m_bar.m_clrDisabledText), 10);
    EXPECT_EQ(countInPane(m_bar.m_clrText), 0);
}

TEST_F(ExtStatusControlBarTest, BordersFollowTheOptions)
{
    struct Case
    {
        BYTE nOptions;
        std::vector<int> borders; // pane indices with a border
        std::vector<int> separators;
    };
    // pane 0 is a separator pane (no borders) of the framework
    const Case cases[] = {
        {CExtStatusControlBar::OptToolkitPaints, {1, 2, 3, 4}, {}},
        {CExtStatusControlBar::OptToolkitPaints | CExtStatusControlBar::OptFirstPaneBorder, {0, 1, 2, 3, 4}, {}},
        {CExtStatusControlBar::OptToolkitPaints | CExtStatusControlBar::OptPaneSeparators, {}, {1, 2, 3, 4}},
        {CExtStatusControlBar::OptToolkitPaints | CExtStatusControlBar::OptFirstPaneBorder |
             CExtStatusControlBar::OptPaneSeparators,
         {},
         {1, 2, 3, 4}},
    };
    for (const Case& c : cases)
    {
        m_bar.m_nOptions = c.nOptions;
        m_pTheme->m_arrPaneBorders.clear();
        Repaint();
        std::vector<int> borders;
        for (const CRect& rc : m_pTheme->m_arrPaneBorders)
            for (int i = 0; i < m_bar.GetPaneCount(); ++i)
                if (rc.left == PaneRect(i).left)
                    borders.push_back(i);
        EXPECT_EQ(borders, c.borders) << int(c.nOptions);
        EXPECT_EQ(m_bar.m_arrSeparators, c.separators) << int(c.nOptions);
    }
}

TEST_F(ExtStatusControlBarTest, TextOrIconChangeRepaintsTheBarOnce)
{
    m_bar.ClearRecords();
    m_bar.SetPaneText(1, "Changed");
    EXPECT_EQ(m_bar.m_nPaints, 1);
    ASSERT_NE(Painted(1), nullptr);
    EXPECT_EQ(Painted(1)->sText, "Changed");
    Pump();
    EXPECT_EQ(m_bar.m_nPaints, 1);

    m_bar.ClearRecords();
    m_bar.SendMessage(SB_SETICON, 4, reinterpret_cast<LPARAM>(m_hIcon));
    EXPECT_EQ(m_bar.m_nPaints, 1);
    ASSERT_NE(Painted(4), nullptr);
    EXPECT_TRUE(Painted(4)->bIcon);
    Pump();
    EXPECT_EQ(m_bar.m_nPaints, 1);
}

TEST_F(ExtStatusControlBarTest, PaneControlFollowsItsPane)
{
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    for (int cx : {600, 420, 760})
    {
        m_frame.SetWindowPos(nullptr, 0, 0, cx, 360, SWP_NOMOVE | SWP_NOZORDER);
        Layout();
        CRect rcPane = PaneRect(3);
        rcPane.DeflateRect(cxEdge, cxEdge);
        CRect rcEdit;
        m_edit.GetWindowRect(&rcEdit);
        m_bar.ScreenToClient(&rcEdit);
        EXPECT_EQ(rcEdit, rcPane) << cx;
        EXPECT_TRUE(m_edit.IsWindowVisible());
    }
    // the same window cannot have two panes; a missing pane has none
    EXPECT_FALSE(m_bar.AddPaneControl(m_edit.m_hWnd, kIdTipPane, false));
    CEdit other;
    ASSERT_TRUE(other.Create(WS_CHILD, CRect(0, 0, 10, 10), &m_bar, kIdEdit + 1));
    EXPECT_FALSE(m_bar.AddPaneControl(other.m_hWnd, 999, false));
    other.DestroyWindow();
}

TEST_F(ExtStatusControlBarTest, DestructionHidesPaneControlsAndDestroysOnlyItsOwn)
{
    CWnd host;
    ASSERT_TRUE(host.Create(nullptr, "host", WS_CHILD, CRect(0, 0, 10, 10), &m_frame, 400));
    auto* pOwned = new CEdit;
    ASSERT_TRUE(pOwned->Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &host, 401));
    CEdit kept;
    ASSERT_TRUE(kept.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &host, 402));
    const HWND hOwned = pOwned->m_hWnd;
    {
        CExtStatusControlBar bar;
        ASSERT_TRUE(bar.Create(&m_frame, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, 501));
        static const UINT kIds[] = {ID_SEPARATOR, kIdIconPane};
        bar.SetIndicators(kIds, 2);
        ASSERT_TRUE(bar.AddPaneControl(hOwned, kIdIconPane, true));
        ASSERT_TRUE(bar.AddPaneControl(kept.m_hWnd, kIdIconPane, false));
        bar.DestroyWindow();
    }
    EXPECT_FALSE(::IsWindow(hOwned));
    ASSERT_TRUE(::IsWindow(kept.m_hWnd));
    EXPECT_FALSE(kept.GetStyle() & WS_VISIBLE);
    delete pOwned;
    kept.DestroyWindow();
    host.DestroyWindow();
}

TEST_F(ExtStatusControlBarTest, GripperOnlyWhenTheParentIsBorderedAndNotMaximised)
{
    CRect rcClient;
    m_bar.GetClientRect(&rcClient);
    CPoint ptCorner(rcClient.right - 3, rcClient.CenterPoint().y);
    m_bar.ClientToScreen(&ptCorner);
    Repaint();
    EXPECT_EQ(m_bar.m_nGrippers, 1);
    EXPECT_EQ(m_bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptCorner.x, ptCorner.y)), LRESULT(HTBOTTOMRIGHT));

    m_frame.ShowWindow(SW_MAXIMIZE);
    Layout();
    m_bar.GetClientRect(&rcClient);
    ptCorner = CPoint(rcClient.right - 3, rcClient.CenterPoint().y);
    m_bar.ClientToScreen(&ptCorner);
    Repaint();
    EXPECT_EQ(m_bar.m_nGrippers, 0);
    EXPECT_EQ(m_bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptCorner.x, ptCorner.y)), LRESULT(HTCLIENT));

    m_frame.ShowWindow(SW_RESTORE);
    m_frame.ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0, SWP_FRAMECHANGED);
    Layout();
    Repaint();
    EXPECT_EQ(m_bar.m_nGrippers, 0);
}

TEST_F(ExtStatusControlBarTest, RightClickShowsTheFramesBarsMenu)
{
    CPoint pt = PaneRect(1).CenterPoint();
    m_bar.ClientToScreen(&pt);
    // no titled bar: the toolkit is asked, nothing is shown
    m_frame.m_arrPopupMenuEvents.clear();
    m_bar.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_bar.m_hWnd), MAKELPARAM(pt.x, pt.y));
    ASSERT_FALSE(m_frame.m_arrPopupMenuEvents.empty());
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].nEventType, 3);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].hWndSource, m_bar.m_hWnd);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].nSourceMessage, 123u);
    EXPECT_FALSE(IsPopupTrackingActive());

    // the menu lists the bars registered in the frame's command profile
    ASSERT_TRUE(g_CmdManager->SetupProfile("status-bar-test", m_frame.m_hWnd));
    DockTitledPane("Titled pane");
    m_bar.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_bar.m_hWnd), MAKELPARAM(pt.x, pt.y));
    ASSERT_TRUE(IsPopupTrackingActive());
    CExtPopupMenuWnd* pPopup = CExtPopupMenuWnd::GetTracker().GetTopPopup();
    bool bListed = false;
    for (int i = 0; i < pPopup->ItemGetCount(); ++i)
        bListed = bListed || pPopup->GetItemAt(i).GetCmdID() == kIdPane;
    EXPECT_TRUE(bListed);
    CloseActivePopupTree();
    g_CmdManager->DetachWindowFromProfile(m_frame.m_hWnd, true);
}

TEST_F(ExtStatusControlBarTest, ColourChangeReachesTheThemeThroughIt)
{
    m_bar.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(m_pTheme->m_nSysColorChanges, 1);
    EXPECT_EQ(m_bar.m_clrBackground, m_pTheme->GetColor(CExtPaintManager::TC_FACE_NORMAL, &m_bar, 0));
}

TEST_F(ExtStatusControlBarTest, GalleryInFourThemes)
{
    m_frame.SetWindowPos(nullptr, 0, 0, 560, 200, SWP_NOMOVE | SWP_NOZORDER);
    Layout();
    for (int nTheme = 0; nTheme < 4; ++nTheme)
    {
        g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme));
        m_pTheme = nullptr;
        m_bar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        const kxgui::PixelBuffer image = kxgui::CaptureScreen(m_bar.m_hWnd, false);
        ASSERT_FALSE(image.IsEmpty());
        kxgui::SaveArtifact(image, std::string("status_bar_") + ExtTestThemeName(nTheme) + ".png");
    }
}

} // namespace
