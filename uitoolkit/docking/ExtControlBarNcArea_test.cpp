// A docked pane's own frame: which splitter strips it gets by its place in
// the rows, their hit codes, what the caption asks of the theme, the caption
// buttons' places left to right and right to left, printing, and screenshots
// of panes on every side.
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/docking/ExtDynControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace
{

const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 68;
const UINT kIdTool = AFX_IDW_CONTROLBAR_FIRST + 88;

// Remembers what the bars ask of the caption painting.
class CRecordingCaptionTheme : public CExtPaintManagerXP
{
public:
    struct Caption
    {
        CObject* pBar;
        CRect rcCaption;
        CRect rcText;
        bool bActive;
        std::string sText;
    };
    void PaintBarCaption(CDC& dc, BarCaptionParams& p) override
    {
        m_captions.push_back({p.Bar, p.CaptionRect, p.TextRect, p.Active, p.Text});
        CExtPaintManagerXP::PaintBarCaption(dc, p);
    }
    std::vector<Caption> m_captions;
};

// Remembers what the bars ask of the client-area painting.
class CRecordingClientTheme : public CExtPaintManagerXP
{
public:
    void OnPaintSessionComplete(CObject* pHelperSrc, LPARAM) override { m_sessions.push_back(pHelperSrc); }
    std::vector<CObject*> m_sessions;
};

// A caption button of 14 pixels that lines up from the caption's far end,
// left to right (or down a side caption) whatever the reading order.
class CPlacedButton : public CExtBarNcAreaButton
{
public:
    CPlacedButton(CExtControlBar* pBar, bool bVisible) : CExtBarNcAreaButton(pBar), m_bVisible(bVisible) {}
    void OnNcAreaReposition(CExtBarNcAreaButton* pPrev) override
    {
        const CRect& rcCaption = m_pBar->m_rectCaption;
        if (rcCaption.Height() > rcCaption.Width())
        {
            const int nTop = pPrev != nullptr ? pPrev->m_rc.bottom + 1 : rcCaption.top + 2;
            m_rc.SetRect(rcCaption.left + 1, nTop, rcCaption.left + 15, nTop + 14);
        }
        else
        {
            const int nRight = pPrev != nullptr ? pPrev->m_rc.left - 1 : rcCaption.right - 2;
            m_rc.SetRect(nRight - 14, rcCaption.top + 1, nRight, rcCaption.top + 15);
        }
    }
    bool OnQueryVisibility() const override { return m_bVisible; }

private:
    bool m_bVisible;
};

// A pane with three caption buttons, the middle one hidden.
class CButtonedPane : public CExtControlBar
{
public:
    void CreateNcButtons() override
    {
        for (bool bVisible : {true, false, true})
            m_arrNcButtons.Add(new CPlacedButton(this, bVisible));
    }
};

class ExtControlBarNcAreaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 800, 600)));
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
    }
    void TearDown() override
    {
        CExtControlBar::g_DragStateShown.Reset();
        m_frame.DestroyWindow();
        g_PaintManager.InstallPaintManager(nullptr);
        kxgui::PumpUntilIdle();
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    CExtDockBar* Circle(UINT nCircle, UINT nSide)
    {
        return static_cast<CExtDockBar*>(m_frame.GetControlBar(nSide))->GetCircleDockBar(nCircle);
    }
    CExtControlBar* NewPane(const char* pszText, int nExtent = 200, int nThickness = 100)
    {
        m_panes.push_back(std::make_unique<CExtControlBar>());
        CExtControlBar* pPane = m_panes.back().get();
        const UINT nId = kIdPane + static_cast<UINT>(m_panes.size()) - 1;
        EXPECT_TRUE(pPane->Create(pszText, &m_frame, nId, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER));
        pPane->EnableDocking(CBRS_ALIGN_ANY);
        pPane->m_sizeDockedH = CSize(nExtent, nThickness);
        pPane->m_sizeDockedV = CSize(nThickness, nExtent);
        return pPane;
    }
    CExtToolControlBar* NewToolBar(int nLength)
    {
        m_tools.push_back(std::make_unique<CExtToolControlBar>());
        CExtToolControlBar* pBar = m_tools.back().get();
        const UINT nId = kIdTool + static_cast<UINT>(m_tools.size()) - 1;
        EXPECT_TRUE(pBar->Create("Tools", &m_frame, nId, WS_CHILD | WS_VISIBLE | CBRS_TOP));
        pBar->EnableDocking(CBRS_ALIGN_ANY);
        pBar->m_sizeDockedH = CSize(nLength, 26);
        pBar->m_sizeDockedV = CSize(26, nLength);
        return pBar;
    }
    // Docks the bars into the dock bar as its only row, in this order.
    void OneRow(CExtDockBar* pDockBar, std::initializer_list<CControlBar*> bars)
    {
        for (CControlBar* pBar : bars)
        {
            pDockBar->DockControlBar(pBar, nullptr);
            ASSERT_EQ(pBar->m_pDockBar, pDockBar);
        }
        CPtrArray& arr = pDockBar->m_arrBars;
        arr.RemoveAll();
        arr.Add(nullptr);
        for (CControlBar* pBar : bars)
            arr.Add(pBar);
        arr.Add(nullptr);
        Layout();
        for (CControlBar* pBar : bars)
            pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    static CPoint ScreenPoint(CWnd* pWnd, CPoint ptWindow)
    {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        return rc.TopLeft() + ptWindow;
    }
    static UINT HitTest(CWnd* pWnd, CPoint ptScreen)
    {
        return static_cast<UINT>(pWnd->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptScreen.x, ptScreen.y)));
    }

    CTestDockFrame m_frame;
    std::vector<std::unique_ptr<CExtControlBar>> m_panes;
    std::vector<std::unique_ptr<CExtToolControlBar>> m_tools;
};

TEST_F(ExtControlBarNcAreaTest, AlonePaneInAnInnerTopRowGetsOnlyTheRowStrip)
{
    CExtControlBar* pPane = NewPane("Alone");
    Circle(1, AFX_IDW_DOCKBAR_TOP)->DockControlBar(pPane, nullptr);
    Layout();
    CRect rcWindow;
    pPane->GetWindowRect(&rcWindow);
    const int nFrame = pPane->m_nFrameHeight;
    EXPECT_EQ(pPane->m_rectRowSplitter, CRect(0, rcWindow.Height() - nFrame, rcWindow.Width(), rcWindow.Height()));
    EXPECT_TRUE(pPane->m_rectTrailingSplitter.IsRectEmpty());
    EXPECT_TRUE(pPane->m_rectLeadingSplitter.IsRectEmpty());
    EXPECT_EQ(pPane->m_rectCaption, CRect(0, 0, rcWindow.Width(), pPane->m_nCaptionHeight));
    bool bLeft = false, bTop = false, bRight = false, bBottom = false;
    pPane->GetNcBorderFlags(&bLeft, &bTop, &bRight, &bBottom);
    EXPECT_FALSE(bLeft);
    EXPECT_FALSE(bTop);
    EXPECT_FALSE(bRight);
    EXPECT_TRUE(bBottom);
    // the client area starts below the caption and ends at the row strip
    CRect rcClient;
    pPane->GetClientRect(&rcClient);
    pPane->ClientToScreen(&rcClient);
    rcClient.OffsetRect(-rcWindow.TopLeft());
    EXPECT_EQ(rcClient, CRect(0, pPane->m_nCaptionHeight + 1, rcWindow.Width(), rcWindow.Height() - nFrame));

    const CPoint ptRowStrip = ScreenPoint(pPane, pPane->m_rectRowSplitter.CenterPoint());
    EXPECT_EQ(HitTest(pPane, ptRowStrip), static_cast<UINT>(HTBOTTOM));
    EXPECT_EQ(HitTest(pPane, ScreenPoint(pPane, rcClient.CenterPoint())), static_cast<UINT>(HTCLIENT));
    // while a bar is dragged nothing of a pane answers
    CExtControlBar::g_DragStateShown.m_pBar = pPane;
    CExtControlBar::g_DragStateShown.m_bEmpty = false;
    EXPECT_EQ(HitTest(pPane, ptRowStrip), static_cast<UINT>(HTNOWHERE));
    EXPECT_EQ(HitTest(pPane, ScreenPoint(pPane, rcClient.CenterPoint())), static_cast<UINT>(HTNOWHERE));
}

TEST_F(ExtControlBarNcAreaTest, PaneAfterAToolBarInItsRowGetsALeadingStrip)
{
    CExtDockBar* pTop = Circle(1, AFX_IDW_DOCKBAR_TOP);
    CExtControlBar* pFirst = NewPane("First", 200);
    CExtControlBar* pSecond = NewPane("Second", 200);
    CExtToolControlBar* pTool = NewToolBar(100);
    OneRow(pTop, {pFirst, pTool, pSecond});

    const int nFrameWidth = pSecond->m_nFrameWidth;
    CRect rcSecond;
    pSecond->GetWindowRect(&rcSecond);
    EXPECT_EQ(pSecond->m_rectLeadingSplitter.left, 0);
    EXPECT_EQ(pSecond->m_rectLeadingSplitter.Width(), nFrameWidth);
    EXPECT_EQ(pSecond->m_rectCaption.left, nFrameWidth);
    EXPECT_EQ(pSecond->m_rectCaption.top, 0);
    EXPECT_TRUE(pFirst->m_rectLeadingSplitter.IsRectEmpty());
    EXPECT_EQ(pFirst->m_rectCaption.left, 0);
    // the first pane's trailing strip separates it from the row; the last
    // pane's trailing strip answers nothing
    EXPECT_FALSE(pFirst->m_rectTrailingSplitter.IsRectEmpty());
    EXPECT_TRUE(pSecond->m_rectTrailingSplitter.IsRectEmpty());
    EXPECT_EQ(HitTest(pSecond, ScreenPoint(pSecond, pSecond->m_rectLeadingSplitter.CenterPoint())),
              static_cast<UINT>(HTLEFT));
}

TEST_F(ExtControlBarNcAreaTest, CaptionButtonsAreMirroredRightToLeftAndKeptFreeOfTheText)
{
    auto* pTheme = new CRecordingCaptionTheme;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
    struct RtlModeKept
    {
        int nMode = g_ResourceManager->GetRTLMode();
        ~RtlModeKept() { g_ResourceManager->SetRTLMode(nMode); }
    } const keptMode;
    struct Case
    {
        const char* pszName;
        int nRtl;
        bool bSideCaption;
    } const cases[] = {{"left to right", 0, false}, {"right to left", 1, false}, {"side caption", 0, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        g_ResourceManager->SetRTLMode(c.nRtl);
        m_panes.push_back(std::make_unique<CButtonedPane>());
        CExtControlBar& pane = *m_panes.back();
        ASSERT_TRUE(pane.Create("Buttons", &m_frame, kIdPane + 20 + static_cast<UINT>(m_panes.size()),
                                WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER));
        pane.EnableDocking(CBRS_ALIGN_ANY);
        pane.m_sizeDockedH = CSize(300, 120);
        pane.m_bCaptionAlwaysAtTop = !c.bSideCaption;
        Circle(1, AFX_IDW_DOCKBAR_TOP)->DockControlBar(&pane, nullptr);
        Layout();
        pTheme->m_captions.clear();
        pane.SendMessage(WM_NCPAINT);

        ASSERT_EQ(pane.m_arrNcButtons.GetSize(), 3);
        const CRect rcCaption = pane.m_rectCaption;
        const CRect& rcFirst = pane.m_arrNcButtons[0]->m_rc;
        const CRect& rcLast = pane.m_arrNcButtons[2]->m_rc;
        EXPECT_TRUE(pane.m_arrNcButtons[1]->m_rc.IsRectEmpty());
        CRect rcTextWanted = rcCaption;
        if (c.bSideCaption)
        {
            ASSERT_GT(rcCaption.Height(), rcCaption.Width());
            EXPECT_EQ(rcFirst, CRect(rcCaption.left + 1, rcCaption.top + 2, rcCaption.left + 15, rcCaption.top + 16));
            EXPECT_EQ(rcLast, CRect(rcCaption.left + 1, rcCaption.top + 17, rcCaption.left + 15, rcCaption.top + 31));
            // the text runs on below the last button
            rcTextWanted.DeflateRect(0, 2);
            rcTextWanted.OffsetRect(-2, 0);
            rcTextWanted.top = rcLast.bottom + 1;
        }
        else
        {
            const int nRight = rcCaption.right - 2;
            const CRect rcFar(nRight - 14, rcCaption.top + 1, nRight, rcCaption.top + 15);
            const CRect rcNear(nRight - 29, rcCaption.top + 1, nRight - 15, rcCaption.top + 15);
            // the same two places, taken in the other order right to left
            EXPECT_EQ(rcFirst, c.nRtl ? rcNear : rcFar);
            EXPECT_EQ(rcLast, c.nRtl ? rcFar : rcNear);
            rcTextWanted.DeflateRect(2, 0);
            if (c.nRtl)
                rcTextWanted.left = rcTextWanted.right; // no room after the last button
            else
                rcTextWanted.right = rcLast.left - 1;
        }
        ASSERT_FALSE(pTheme->m_captions.empty());
        EXPECT_EQ(pTheme->m_captions.back().rcText, rcTextWanted);
        m_frame.ShowControlBar(&pane, FALSE, FALSE);
        Layout();
    }
}

TEST_F(ExtControlBarNcAreaTest, TrailingStripOfTheLastPaneOfItsRowAnswersNothing)
{
    CExtDockBar* pTop = Circle(1, AFX_IDW_DOCKBAR_TOP);
    CExtControlBar* pPanes[] = {NewPane("Left"), NewPane("Right")};
    OneRow(pTop, {pPanes[0], pPanes[1]});
    ASSERT_FALSE(pPanes[0]->m_rectTrailingSplitter.IsRectEmpty());
    EXPECT_EQ(HitTest(pPanes[0], ScreenPoint(pPanes[0], pPanes[0]->m_rectTrailingSplitter.CenterPoint())),
              static_cast<UINT>(HTRIGHT));
    // inside the frame's circles the last pane has no trailing strip; where
    // it keeps one (against the frame's edge) nothing follows to resize
    EXPECT_TRUE(pPanes[1]->m_rectTrailingSplitter.IsRectEmpty());
    CRect rcWindow;
    pPanes[1]->GetWindowRect(&rcWindow);
    const int nFrame = pPanes[1]->m_nFrameWidth;
    pPanes[1]->m_rectTrailingSplitter.SetRect(rcWindow.Width() - nFrame, 0, rcWindow.Width(), rcWindow.Height() / 2);
    EXPECT_EQ(HitTest(pPanes[1], ScreenPoint(pPanes[1], pPanes[1]->m_rectTrailingSplitter.CenterPoint())),
              static_cast<UINT>(HTNOWHERE));
}

TEST_F(ExtControlBarNcAreaTest, CaptionIsAskedInTheActiveLookWhileTheFocusIsInside)
{
    auto* pTheme = new CRecordingCaptionTheme;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
    CExtControlBar* pPane = NewPane("Recorded");
    Circle(1, AFX_IDW_DOCKBAR_LEFT)->DockControlBar(pPane, nullptr);
    Layout();
    for (bool bFocus : {false, true})
    {
        pTheme->m_captions.clear();
        pPane->m_bFocusInside = bFocus;
        pPane->SendMessage(WM_NCPAINT);
        ASSERT_EQ(pTheme->m_captions.size(), 1u);
        EXPECT_EQ(pTheme->m_captions[0].pBar, pPane);
        EXPECT_EQ(pTheme->m_captions[0].bActive, bFocus);
        EXPECT_EQ(pTheme->m_captions[0].sText, "Recorded");
        EXPECT_EQ(pTheme->m_captions[0].rcCaption, pPane->m_rectCaption);
    }
}

TEST_F(ExtControlBarNcAreaTest, PrintingOnlyTheChildrenPaintsNothingOfTheBar)
{
    CExtControlBar* pPane = NewPane("Printed");
    Circle(1, AFX_IDW_DOCKBAR_TOP)->DockControlBar(pPane, nullptr);
    Layout();
    CRect rcWindow;
    pPane->GetWindowRect(&rcWindow);
    const COLORREF crBack = RGB(1, 2, 3);
    for (UINT nFlags : {static_cast<UINT>(PRF_CHILDREN), static_cast<UINT>(PRF_NONCLIENT)})
    {
        kxgui::DibCanvas canvas(rcWindow.Width(), rcWindow.Height(), crBack);
        EXPECT_EQ(pPane->SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), nFlags), 1);
        const CPoint ptCaption = pPane->m_rectCaption.CenterPoint();
        if (nFlags == PRF_CHILDREN)
            EXPECT_EQ(canvas.Pixels().At(ptCaption.x, ptCaption.y), crBack);
        else
            EXPECT_NE(canvas.Pixels().At(ptCaption.x, ptCaption.y), crBack);
    }
}

TEST_F(ExtControlBarNcAreaTest, PanesInAContainerGetStripsOnlyTowardsEachOther)
{
    // Beside at the top the panes stack in two rows; at the left they share one.
    struct Case
    {
        UINT nSide;
        bool bFirst[4]; // left, top, right, bottom of the pane put beside
        bool bSecond[4];
    };
    const Case cases[] = {
        {AFX_IDW_DOCKBAR_TOP, {false, false, false, true}, {false, true, false, false}},
        {AFX_IDW_DOCKBAR_LEFT, {false, false, true, false}, {true, false, false, false}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.nSide);
        CExtControlBar* pTarget = NewPane("Target", 400, 300);
        CExtControlBar* pBeside = NewPane("Beside", 400, 300);
        Circle(1, AFX_IDW_DOCKBAR_TOP)->DockControlBar(pTarget, nullptr);
        Layout();
        ASSERT_TRUE(pBeside->DockBeside(50, pTarget, c.nSide, true));
        Layout();
        ASSERT_TRUE(pBeside->m_pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockDynBar)));
        CExtControlBar* pInOrder[] = {pBeside, pTarget};
        const bool* pExpected[] = {c.bFirst, c.bSecond};
        for (int i = 0; i < 2; ++i)
        {
            bool b[4] = {};
            pInOrder[i]->GetNcBorderFlags(&b[0], &b[1], &b[2], &b[3]);
            for (int nEdge = 0; nEdge < 4; ++nEdge)
                EXPECT_EQ(b[nEdge], pExpected[i][nEdge]) << "pane " << i << " edge " << nEdge;
        }
        // the strip between them belongs to the first one
        EXPECT_FALSE(pBeside->m_rectRowSplitter.IsRectEmpty() && pBeside->m_rectTrailingSplitter.IsRectEmpty());
        EXPECT_TRUE(pTarget->m_rectRowSplitter.IsRectEmpty());
        EXPECT_TRUE(pTarget->m_rectTrailingSplitter.IsRectEmpty());
        pBeside->FloatAt(500, 300, CBRS_ALIGN_TOP);
        m_frame.ShowControlBar(pBeside, FALSE, FALSE);
        m_frame.ShowControlBar(pTarget, FALSE, FALSE);
        Layout();
    }
}

TEST_F(ExtControlBarNcAreaTest, APaneAloneInItsFloatingFrameShowsNoCaption)
{
    CExtControlBar* pFloating = NewPane("Floating", 300, 200);
    CExtControlBar* pBeside = NewPane("Beside", 300, 200);
    Circle(1, AFX_IDW_DOCKBAR_TOP)->DockControlBar(pBeside, nullptr);
    Layout();
    ASSERT_TRUE(pFloating->FloatAt(400, 300, CBRS_ALIGN_TOP));
    ASSERT_TRUE(pBeside->DockBeside(50, pFloating, AFX_IDW_DOCKBAR_TOP, true));
    Layout();
    ASSERT_TRUE(pBeside->m_pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockDynBar)));
    ASSERT_NE(pFloating->GetParentFrame(), &m_frame);
    EXPECT_TRUE(pFloating->HasGripper());
    EXPECT_TRUE(pBeside->HasGripper());
    m_frame.ShowControlBar(pBeside, FALSE, FALSE);
    EXPECT_TRUE(pFloating->IsSingleInFloatingFrame());
    EXPECT_FALSE(pFloating->HasGripper());
    m_frame.ShowControlBar(pBeside, TRUE, FALSE);
    EXPECT_TRUE(pFloating->HasGripper());
}

TEST_F(ExtControlBarNcAreaTest, TheThemePaintsTheClientAreaUnlessAChildCoversIt)
{
    auto* pTheme = new CRecordingClientTheme;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
    CExtControlBar* pPane = NewPane("Client");
    Circle(1, AFX_IDW_DOCKBAR_TOP)->DockControlBar(pPane, nullptr);
    Layout();
    CRect rcClient;
    pPane->GetClientRect(&rcClient);
    ASSERT_FALSE(rcClient.IsRectEmpty());
    kxgui::DibCanvas canvas(rcClient.Width(), rcClient.Height(), RGB(1, 2, 3));
    pTheme->m_sessions.clear();
    pPane->DoPaint(CDC::FromHandle(canvas.Dc()));
    EXPECT_EQ(pTheme->m_sessions, std::vector<CObject*>{pPane});
    const CPoint ptCentre(rcClient.Width() / 2, rcClient.Height() / 2);
    EXPECT_EQ(canvas.Pixels().At(ptCentre.x, ptCentre.y), pTheme->GetColor(CExtPaintManager::TC_FACE_NORMAL, pPane, 0));

    // a child over the whole client area paints everything there is
    CWnd child;
    ASSERT_TRUE(
        child.CreateEx(0, AfxRegisterWndClass(0), "child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), pPane, 1));
    pPane->RepositionChild(rcClient.Width(), rcClient.Height(), false);
    pTheme->m_sessions.clear();
    kxgui::DibCanvas untouched(rcClient.Width(), rcClient.Height(), RGB(1, 2, 3));
    pPane->DoPaint(CDC::FromHandle(untouched.Dc()));
    EXPECT_TRUE(pTheme->m_sessions.empty());
    EXPECT_EQ(untouched.Pixels().At(ptCentre.x, ptCentre.y), RGB(1, 2, 3));
    child.DestroyWindow();
}

TEST_F(ExtControlBarNcAreaTest, ScreenshotsOfPanesOnEverySide)
{
    CExtControlBar* pPanes[] = {NewPane("Top"), NewPane("Top right"), NewPane("Bottom"), NewPane("Left"),
                                NewPane("Right")};
    CExtDockBar* pTop = Circle(1, AFX_IDW_DOCKBAR_TOP);
    OneRow(pTop, {pPanes[0], pPanes[1]});
    Circle(1, AFX_IDW_DOCKBAR_BOTTOM)->DockControlBar(pPanes[2], nullptr);
    Circle(1, AFX_IDW_DOCKBAR_LEFT)->DockControlBar(pPanes[3], nullptr);
    Circle(1, AFX_IDW_DOCKBAR_RIGHT)->DockControlBar(pPanes[4], nullptr);
    pPanes[0]->m_bFocusInside = true;
    Layout();
    for (int nTheme = 0; nTheme < 4; ++nTheme)
    {
        SCOPED_TRACE(ExtTestThemeName(nTheme));
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
        m_frame.SetForegroundWindow();
        m_frame.RedrawWindow(nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_frame.m_hWnd);
        ASSERT_FALSE(shot.IsEmpty());
        kxgui::SaveArtifact(shot, std::string("docking-pane-captions-") + ExtTestThemeName(nTheme) + ".png");
    }
}

} // namespace
