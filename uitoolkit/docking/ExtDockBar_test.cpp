// Dock bars on a real frame: panes sharing rows in the inner circles, the
// dock bar's reported thickness, the circles' creation, insertion, removal
// and z-order, placeholders, and how the dock bars paint.
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

// Ids 59460... and 59480... as the layout dumps show them.
const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 68;
const UINT kIdTool = AFX_IDW_CONTROLBAR_FIRST + 88;

const UINT kSides[] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};

// Bars that show their outline in the screenshots; their content belongs
// to other tests.
template <class TBar>
class COutlinedBar : public TBar
{
public:
    void DoPaint(CDC* pDC) override
    {
        CRect rc;
        this->GetClientRect(&rc);
        pDC->FillSolidRect(&rc, g_PaintManager->GetColor(COLOR_3DFACE));
        CBrush brush(this->IsFixedMode() ? RGB(0, 0, 160) : RGB(200, 60, 0));
        pDC->FrameRect(&rc, &brush);
    }
};

// A tool bar of a given length: these tests place bars, not buttons.
class CLengthToolBar : public COutlinedBar<CExtToolControlBar>
{
public:
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override
    {
        return CExtControlBar::CalcFixedLayout(bStretch, bHorz);
    }
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override
    {
        return CExtControlBar::CalcDynamicLayout(nLength, nMode);
    }
};

class ExtDockBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 800, 600)));
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
    }
    void TearDown() override
    {
        m_frame.DestroyWindow();
        g_PaintManager.InstallPaintManager(nullptr);
        kxgui::PumpUntilIdle();
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    CExtDockBar* Outer(UINT nSide) { return static_cast<CExtDockBar*>(m_frame.GetControlBar(nSide)); }
    CExtDockBar* Circle(UINT nCircle, UINT nSide) { return Outer(nSide)->GetCircleDockBar(nCircle); }

    // A pane with a small caption so that thin rows are possible.
    CExtControlBar* NewPane(int nExtent = 200, int nThickness = 60)
    {
        m_panes.push_back(std::make_unique<COutlinedBar<CExtControlBar>>());
        CExtControlBar* pPane = m_panes.back().get();
        const UINT nId = kIdPane + static_cast<UINT>(m_panes.size()) - 1;
        EXPECT_TRUE(pPane->Create("Pane", &m_frame, nId, WS_CHILD | WS_VISIBLE | CBRS_TOP));
        pPane->EnableDocking(CBRS_ALIGN_ANY);
        pPane->m_nNcWidth = pPane->m_nNcHeight = 10;
        pPane->m_sizeDockedH = CSize(nExtent, nThickness);
        pPane->m_sizeDockedV = CSize(nThickness, nExtent);
        return pPane;
    }
    CExtToolControlBar* NewToolBar(int nLength)
    {
        m_tools.push_back(std::make_unique<CLengthToolBar>());
        CExtToolControlBar* pBar = m_tools.back().get();
        const UINT nId = kIdTool + static_cast<UINT>(m_tools.size()) - 1;
        EXPECT_TRUE(pBar->Create("Tools", &m_frame, nId, WS_CHILD | WS_VISIBLE | CBRS_TOP));
        pBar->EnableDocking(CBRS_ALIGN_ANY);
        pBar->m_sizeDockedH = CSize(nLength, 26);
        pBar->m_sizeDockedV = CSize(26, nLength);
        return pBar;
    }
    static int Extent(CWnd* pWnd)
    {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        return rc.Width();
    }
    // Dock bars among the frame's children, top of the z-order first, as
    // "circle/side" with the sides t, b, l, r.
    std::string DockBarZOrder()
    {
        std::string s;
        for (HWND h = ::GetTopWindow(m_frame.m_hWnd); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
        {
            CWnd* pWnd = CWnd::FromHandlePermanent(h);
            if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CExtDockBar)))
                continue;
            const UINT nId = static_cast<UINT>(pWnd->GetDlgCtrlID());
            const char cSide = nId == AFX_IDW_DOCKBAR_TOP      ? 't'
                               : nId == AFX_IDW_DOCKBAR_BOTTOM ? 'b'
                               : nId == AFX_IDW_DOCKBAR_LEFT   ? 'l'
                                                               : 'r';
            s += std::to_string(static_cast<CExtDockBar*>(pWnd)->m_nCircleNo) + cSide + " ";
        }
        return s;
    }
    // Every chain runs 0, 1, 2... through matching links.
    void ExpectChainsSound(UINT nCircles)
    {
        for (UINT nSide : kSides)
        {
            CExtDockBar* p = Outer(nSide);
            ASSERT_EQ(p->m_pDockBarOuter, nullptr);
            for (UINT n = 0; n < nCircles; ++n)
            {
                ASSERT_NE(p, nullptr);
                EXPECT_EQ(p->m_nCircleNo, n);
                EXPECT_EQ(static_cast<UINT>(p->GetDlgCtrlID()), nSide);
                if (p->m_pDockBarInner != nullptr)
                    EXPECT_EQ(p->m_pDockBarInner->m_pDockBarOuter, p);
                p = p->m_pDockBarInner;
            }
            EXPECT_EQ(p, nullptr);
        }
    }

    CTestDockFrame m_frame;
    std::vector<std::unique_ptr<CExtControlBar>> m_panes;
    std::vector<std::unique_ptr<CExtToolControlBar>> m_tools;
};

TEST_F(ExtDockBarTest, PanesInACircleShareTheirRow)
{
    CExtDockBar* pTop = Circle(1, AFX_IDW_DOCKBAR_TOP);
    CExtControlBar* pPanes[] = {NewPane(200), NewPane(300), NewPane(100)};
    for (CExtControlBar* pPane : pPanes)
        pTop->DockControlBarAtEdge(pPane, false);
    Layout();
    EXPECT_NE(DumpDockLayout(&m_frame).find("top 59419 circle 1 CExtDockBar\n  row 59460 59461 59462\n"),
              std::string::npos)
        << DumpDockLayout(&m_frame);
    CRect rcClient;
    m_frame.GetClientRect(&rcClient);
    const int nRow = Extent(pTop);
    EXPECT_EQ(nRow, rcClient.Width());
    EXPECT_EQ(Extent(pPanes[0]) + Extent(pPanes[1]) + Extent(pPanes[2]), nRow);
    EXPECT_EQ(pPanes[0]->m_sizeDockedH.cx + pPanes[1]->m_sizeDockedH.cx + pPanes[2]->m_sizeDockedH.cx, nRow);
    // the panes sit side by side from the dock bar's start
    CRect rc0, rc1, rc2;
    pPanes[0]->GetWindowRect(&rc0);
    pPanes[1]->GetWindowRect(&rc1);
    pPanes[2]->GetWindowRect(&rc2);
    EXPECT_EQ(rc0.right, rc1.left);
    EXPECT_EQ(rc1.right, rc2.left);

    // alone in a row, a pane gets all of it
    CExtControlBar* pSole = NewPane(50);
    Circle(1, AFX_IDW_DOCKBAR_BOTTOM)->DockControlBar(pSole, nullptr);
    Layout();
    EXPECT_EQ(Extent(pSole), rcClient.Width());
}

TEST_F(ExtDockBarTest, RowThicknessesAddUpExactly)
{
    CExtDockBar* pTop = Circle(1, AFX_IDW_DOCKBAR_TOP);
    CExtControlBar* pThin = NewPane(200, 20);
    CExtControlBar* pThick = NewPane(200, 30);
    pTop->DockControlBar(pThin, nullptr);
    pTop->DockControlBar(pThick, nullptr);
    Layout();
    CRect rc;
    pTop->GetWindowRect(&rc);
    EXPECT_EQ(rc.Height(), 50) << DumpDockLayout(&m_frame);
    EXPECT_EQ(pTop->CalcFixedLayout(TRUE, TRUE).cy, 50);
    // an empty dock bar takes no room
    EXPECT_EQ(Circle(1, AFX_IDW_DOCKBAR_BOTTOM)->CalcFixedLayout(TRUE, TRUE).cy, 0);
}

TEST_F(ExtDockBarTest, RowLayoutSharesPixelByPixelAndSplitsOverflowingRows)
{
    CExtDockBar* pTop = Circle(1, AFX_IDW_DOCKBAR_TOP);
    CExtControlBar* pA = NewPane(100);
    CExtControlBar* pB = NewPane(100);
    pTop->DockControlBarAtEdge(pA, false);
    pTop->DockControlBarAtEdge(pB, false);
    pTop->m_rectLayout = CRect(0, 0, 300, 400);
    pA->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
    EXPECT_EQ(pA->m_sizeDockedH.cx, 150);
    EXPECT_EQ(pB->m_sizeDockedH.cx, 150);

    // both at their minimum: the last one takes all
    pA->m_sizeDockedH.cx = pA->GetMinimalWidth();
    pB->m_sizeDockedH.cx = pB->GetMinimalWidth();
    pA->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
    EXPECT_EQ(pA->m_sizeDockedH.cx, pA->GetMinimalWidth());
    EXPECT_EQ(pB->m_sizeDockedH.cx, 300 - pA->GetMinimalWidth());

    // minimal lengths that overflow the row split it
    CExtControlBar* pC = NewPane(100);
    pTop->DockControlBarAtEdge(pC, false);
    for (CExtControlBar* p : {pA, pB, pC})
        p->m_nNcWidth = 120;
    pA->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
    EXPECT_NE(DumpDockLayout(&m_frame).find("circle 1 CExtDockBar\n  row 59460 59461\n  row 59462\n"),
              std::string::npos)
        << DumpDockLayout(&m_frame);
    pTop->m_rectLayout.SetRectEmpty();

    // a middle pane made sole in its row leaves three rows
    for (CExtControlBar* p : {pA, pB, pC})
        p->m_nNcWidth = 10;
    pTop->RemoveControlBar(pC, -1, 0, false);
    pTop->DockControlBarAtEdge(pC, false);
    pB->MakeSoleInRow();
    kxgui::PumpUntilIdle();
    EXPECT_NE(DumpDockLayout(&m_frame).find("circle 1 CExtDockBar\n  row 59460\n  row 59461\n  row 59462\n"),
              std::string::npos)
        << DumpDockLayout(&m_frame);
    CRect rcClient;
    m_frame.GetClientRect(&rcClient);
    EXPECT_EQ(Extent(pB), rcClient.Width());
    EXPECT_TRUE(kxdock::IsRowArraySound(pTop->m_arrBars));
}

TEST_F(ExtDockBarTest, RowQueries)
{
    CExtDockBar* pTop = Circle(1, AFX_IDW_DOCKBAR_TOP);
    CExtControlBar* pA = NewPane();
    CExtControlBar* pB = NewPane();
    CExtControlBar* pC = NewPane();
    for (CExtControlBar* p : {pA, pB, pC})
        pTop->DockControlBarAtEdge(p, false);
    Layout();
    EXPECT_EQ(pB->GetRowNeighbour(true, true, true), pC);
    EXPECT_EQ(pB->GetRowNeighbour(false, false, false), pA);
    EXPECT_EQ(pA->GetRowNeighbour(false, false, false), nullptr);
    EXPECT_EQ(pA->GetRowEndBar(true, true, true), pC);
    EXPECT_EQ(pC->GetRowEndBar(true, true, true), pB);
    EXPECT_TRUE(pA->IsFirstInRow(true));
    EXPECT_FALSE(pB->IsFirstInRow(false));
    EXPECT_TRUE(pC->IsLastInRow(true));
    EXPECT_FALSE(pB->IsAloneInRow(false, false));
    CArray<CControlBar*, CControlBar*> arrRow;
    int nIndex = -1;
    bool bFull = false;
    pB->CollectRowBars(arrRow, nullptr, &nIndex, nullptr, &bFull);
    EXPECT_EQ(arrRow.GetSize(), 3);
    EXPECT_EQ(nIndex, 1);
    EXPECT_TRUE(bFull);

    pB->MaximizeInRow();
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(pB->IsMaximizedInRow());
    EXPECT_EQ(pA->m_sizeDockedH.cx, pA->GetMinimalWidth());
    pB->MinimizeInRow();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(pB->m_sizeDockedH.cx, pB->GetMinimalWidth());
}

TEST_F(ExtDockBarTest, CirclesAreCreatedLinkedAndOrdered)
{
    EXPECT_EQ(DockBarZOrder(), "0t 0b 0l 0r ");
    CExtDockBar* pThird = Outer(AFX_IDW_DOCKBAR_TOP)->GetCircleDockBar(3);
    ASSERT_NE(pThird, nullptr);
    EXPECT_EQ(pThird->m_nCircleNo, 3u);
    ExpectChainsSound(4);
    EXPECT_EQ(DockBarZOrder(), "0t 0b 0l 0r 1t 1b 1l 1r 2t 2b 2l 2r 3t 3b 3l 3r ");
    EXPECT_EQ(CExtDockBar::FindDockBarInCircle(&m_frame, 2, AFX_IDW_DOCKBAR_LEFT, false),
              Circle(2, AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(CExtDockBar::FindDockBarInCircle(&m_frame, 4, AFX_IDW_DOCKBAR_LEFT, false), nullptr);
    EXPECT_EQ(pThird->GetSiblingDockBar(AFX_IDW_DOCKBAR_RIGHT, false)->m_nCircleNo, 3u);

    // an empty circle is reused as it is
    CExtDockBar::InsertCircleInFrame(&m_frame, 1);
    ExpectChainsSound(4);
}

TEST_F(ExtDockBarTest, InsertingAndRemovingCirclesRenumbers)
{
    CExtControlBar* pOne = NewPane();
    CExtControlBar* pTwo = NewPane();
    Circle(1, AFX_IDW_DOCKBAR_TOP)->DockControlBar(pOne, nullptr);
    Circle(2, AFX_IDW_DOCKBAR_LEFT)->DockControlBar(pTwo, nullptr);
    CExtDockBar::InsertCircleInFrame(&m_frame, 1);
    ExpectChainsSound(4);
    EXPECT_EQ(static_cast<CExtDockBar*>(pOne->m_pDockBar)->m_nCircleNo, 2u);
    EXPECT_EQ(static_cast<CExtDockBar*>(pTwo->m_pDockBar)->m_nCircleNo, 3u);
    EXPECT_TRUE(Circle(1, AFX_IDW_DOCKBAR_TOP)->IsRowArrayEmpty());
    EXPECT_EQ(DockBarZOrder(), "0t 0b 0l 0r 1t 1b 1l 1r 2t 2b 2l 2r 3t 3b 3l 3r ");

    // the empty circle 1 goes; so does circle 2 once its pane leaves
    Circle(3, AFX_IDW_DOCKBAR_LEFT)->DockControlBar(pOne, nullptr);
    CExtDockBar::RemoveEmptyCirclesInFrame(&m_frame);
    ExpectChainsSound(2);
    EXPECT_EQ(static_cast<CExtDockBar*>(pOne->m_pDockBar)->m_nCircleNo, 1u);
    EXPECT_EQ(DockBarZOrder(), "0t 0b 0l 0r 1t 1b 1l 1r ");
    Layout();
    EXPECT_NE(DumpDockLayout(&m_frame).find("left 59420 circle 1 CExtDockBar\n  row 59461\n  row 59460\n"),
              std::string::npos)
        << DumpDockLayout(&m_frame);
}

TEST_F(ExtDockBarTest, PlaceholdersOfToolBarsOnly)
{
    CExtToolControlBar* pTool = NewToolBar(120);
    CExtDockBar* pBottom = Circle(1, AFX_IDW_DOCKBAR_BOTTOM);
    pBottom->DockControlBar(pTool, nullptr);
    CExtControlBar* pPane = NewPane();
    Circle(1, AFX_IDW_DOCKBAR_TOP)->DockControlBar(pPane, nullptr);
    Layout();

    // floating leaves the tool bar's place behind; a pane's is never kept
    m_frame.FloatControlBar(pTool, CPoint(300, 300));
    m_frame.FloatControlBar(pPane, CPoint(400, 300));
    kxgui::PumpUntilIdle();
    const std::string sFloated = DumpDockLayout(&m_frame);
    EXPECT_NE(sFloated.find("bottom 59422 circle 1 CExtDockBar\n  row [59480]\n"), std::string::npos) << sFloated;
    EXPECT_EQ(sFloated.find("[59460]"), std::string::npos) << sFloated;

    // the placeholder keeps circle 1 alive
    CExtDockBar::RemoveEmptyCirclesInFrame(&m_frame);
    ExpectChainsSound(2);

    // docking the tool bar into any docked dock bar takes the placeholder away
    Outer(AFX_IDW_DOCKBAR_TOP)->DockControlBar(pTool, nullptr);
    kxgui::PumpUntilIdle();
    const std::string sDocked = DumpDockLayout(&m_frame);
    EXPECT_EQ(sDocked.find("[59480]"), std::string::npos) << sDocked;
    CExtDockBar::RemoveEmptyCirclesInFrame(&m_frame);
    ExpectChainsSound(1);
    for (UINT nSide : kSides)
        EXPECT_TRUE(kxdock::IsRowArraySound(Outer(nSide)->m_arrBars));
}

TEST_F(ExtDockBarTest, DestroyedDockBarLeavesItsBarsAlive)
{
    CExtControlBar* pPane = NewPane();
    CExtDockBar* pLeft = Circle(1, AFX_IDW_DOCKBAR_LEFT);
    pLeft->DockControlBar(pPane, nullptr);
    pLeft->DestroyCircleDockBar();
    ASSERT_TRUE(::IsWindow(pPane->m_hWnd));
    EXPECT_EQ(pPane->GetParent(), &m_frame);
    EXPECT_EQ(pPane->m_pDockBar, nullptr);
    EXPECT_EQ(Outer(AFX_IDW_DOCKBAR_LEFT)->m_pDockBarInner, nullptr);
}

TEST_F(ExtDockBarTest, OuterRowsKeepToolBarsApartAndPaintTheTheme)
{
    CExtDockBar* pOuterTop = Outer(AFX_IDW_DOCKBAR_TOP);
    CExtToolControlBar* pTools[] = {NewToolBar(120), NewToolBar(90)};
    for (CExtToolControlBar* p : pTools)
        pOuterTop->DockControlBarAtEdge(p, false);
    CExtControlBar* pPanes[] = {NewPane(200, 80), NewPane(200, 80), NewPane(150, 120), NewPane(150, 120)};
    Circle(1, AFX_IDW_DOCKBAR_TOP)->DockControlBarAtEdge(pPanes[0], false);
    Circle(1, AFX_IDW_DOCKBAR_TOP)->DockControlBarAtEdge(pPanes[1], false);
    Circle(2, AFX_IDW_DOCKBAR_LEFT)->DockControlBar(pPanes[2], nullptr);
    Circle(1, AFX_IDW_DOCKBAR_RIGHT)->DockControlBar(pPanes[3], nullptr);
    Layout();
    CRect rc0, rc1;
    pTools[0]->GetWindowRect(&rc0);
    pTools[1]->GetWindowRect(&rc1);
    pOuterTop->ScreenToClient(&rc0);
    pOuterTop->ScreenToClient(&rc1);
    EXPECT_EQ(rc0, CRect(0, 0, 120, 26));
    EXPECT_EQ(rc1, CRect(120, 0, 210, 26));

    for (int nTheme : {0, 1})
    {
        SCOPED_TRACE(ExtTestThemeName(nTheme));
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
        m_frame.SetForegroundWindow();
        m_frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_frame.m_hWnd);
        ASSERT_FALSE(shot.IsEmpty());
        kxgui::SaveArtifact(shot, std::string("docking-circles-") + ExtTestThemeName(nTheme) + ".png");

        // the free area right of the tool bars shows the theme's dock-bar colour
        CRect rcDock;
        pOuterTop->GetClientRect(&rcDock);
        kxgui::DibCanvas canvas(rcDock.Width(), rcDock.Height(), RGB(1, 2, 3));
        CDC dc;
        dc.Attach(canvas.Dc());
        EXPECT_TRUE(g_PaintManager->PaintDockBarClientArea(dc, rcDock, pOuterTop, 0));
        dc.Detach();
        const CPoint ptProbe(rcDock.right - 20, rcDock.Height() / 2);
        CPoint ptFrame = ptProbe;
        pOuterTop->ClientToScreen(&ptFrame);
        m_frame.ScreenToClient(&ptFrame);
        EXPECT_EQ(shot.At(ptFrame.x, ptFrame.y), canvas.Pixels().At(ptProbe.x, ptProbe.y));
    }
}

TEST_F(ExtDockBarTest, DockingAtTheEdge)
{
    CExtDockBar* pTop = Circle(1, AFX_IDW_DOCKBAR_TOP);
    CExtDockBar* pBottom = Circle(1, AFX_IDW_DOCKBAR_BOTTOM);
    CExtControlBar* pA = NewPane();
    CExtControlBar* pB = NewPane();
    CExtControlBar* pC = NewPane();
    pTop->DockControlBar(pA, nullptr);
    pBottom->DockControlBar(pB, nullptr);
    pBottom->DockControlBar(pC, nullptr);
    const std::string sBefore = DumpDockLayout(&m_frame);
    // already first: nothing changes, whatever the side
    pTop->DockControlBarAtEdge(pA, true);
    pTop->DockControlBarAtEdge(pA, false);
    EXPECT_EQ(DumpDockLayout(&m_frame), sBefore);
    // from another dock bar: into the last row
    pTop->DockControlBarAtEdge(pB, false);
    EXPECT_NE(DumpDockLayout(&m_frame).find("top 59419 circle 1 CExtDockBar\n  row 59460 59461\n"), std::string::npos)
        << DumpDockLayout(&m_frame);
    // within the dock bar: a new last row; innermost on a bottom dock bar: its first row
    pTop->DockControlBarAtEdge(pB, false);
    EXPECT_NE(DumpDockLayout(&m_frame).find("top 59419 circle 1 CExtDockBar\n  row 59460\n  row 59461\n"),
              std::string::npos)
        << DumpDockLayout(&m_frame);
    pBottom->DockControlBarAtEdge(pA, true);
    EXPECT_NE(DumpDockLayout(&m_frame).find("bottom 59422 circle 1 CExtDockBar\n  row 59460\n  row 59462\n"),
              std::string::npos)
        << DumpDockLayout(&m_frame);
    for (CExtDockBar* p : {pTop, pBottom})
        EXPECT_TRUE(kxdock::IsRowArraySound(p->m_arrBars));

    // the inner edge lies along the dock bar's side facing the client area
    Layout();
    CRect rcTop;
    pTop->GetWindowRect(&rcTop);
    EXPECT_EQ(pTop->m_rcInnerEdge, CRect(rcTop.left, rcTop.bottom, rcTop.right, rcTop.bottom));
}

TEST_F(ExtDockBarTest, ToolBarsWrapWherePanesStay)
{
    CExtDockBar* pTop = Circle(1, AFX_IDW_DOCKBAR_TOP);
    CRect rcClient;
    m_frame.GetClientRect(&rcClient);
    CExtToolControlBar* pFirst = NewToolBar(rcClient.Width());
    CExtToolControlBar* pSecond = NewToolBar(300);
    CExtToolControlBar* pAlone = NewToolBar(rcClient.Width() + 200);
    pTop->DockControlBar(pFirst, nullptr);
    pTop->DockControlBarAtEdge(pSecond, false);
    pTop->DockControlBar(pAlone, nullptr);
    Layout();
    // the second starts past the end beside the first: a row of its own; a bar
    // right after a row end stays, cut at the dock bar's end
    EXPECT_NE(DumpDockLayout(&m_frame).find("circle 1 CExtDockBar\n  row 59480\n  row 59481\n  row 59482\n"),
              std::string::npos)
        << DumpDockLayout(&m_frame);
    EXPECT_EQ(Extent(pAlone), rcClient.Width());
}

TEST_F(ExtDockBarTest, BarsMenuListsToolBarsAndPanesApart)
{
    ASSERT_TRUE(g_CmdManager->SetupProfile("dock-bar-test", m_frame.m_hWnd));
    CExtDockBar* pOuterTop = Outer(AFX_IDW_DOCKBAR_TOP);
    for (CExtToolControlBar* p : {NewToolBar(120), NewToolBar(90)})
        pOuterTop->DockControlBarAtEdge(p, false);
    for (CExtControlBar* p : {NewPane(), NewPane()})
        Circle(1, AFX_IDW_DOCKBAR_TOP)->DockControlBarAtEdge(p, false);
    Layout();

    auto fill = [&](CExtPopupMenuWnd& menu)
    {
        HMENU hEmpty = ::CreatePopupMenu();
        menu.UpdateFromMenuHandle(m_frame.m_hWnd, hEmpty, false); // the frame receives the commands
        ::DestroyMenu(hEmpty);
        m_frame.m_arrPopupMenuEvents.clear();
        EXPECT_TRUE(CExtDockBar::FillBarsPopupMenu(&m_frame, &menu, 0, pOuterTop, WM_CONTEXTMENU, 0));
        ASSERT_EQ(m_frame.m_arrPopupMenuEvents.size(), 2u);
        for (size_t i = 0; i < 2; ++i)
        {
            EXPECT_EQ(m_frame.m_arrPopupMenuEvents[i].nEventType, 0);
            EXPECT_EQ(m_frame.m_arrPopupMenuEvents[i].pPopupMenu, &menu);
            EXPECT_EQ(m_frame.m_arrPopupMenuEvents[i].hWndSource, pOuterTop->m_hWnd);
            EXPECT_EQ(m_frame.m_arrPopupMenuEvents[i].bPostNotification, i == 1);
        }
    };

    // a frame that answers builds the menu itself
    CExtPopupMenuWnd handled;
    fill(handled);
    EXPECT_EQ(handled.ItemGetCount(), 0);

    m_frame.m_kind = CTestDockFrame::Kind::PlainFrame;
    CExtPopupMenuWnd menu;
    fill(menu);
    std::string sItems;
    for (int i = 0; i < menu.ItemGetCount(); ++i)
        sItems +=
            menu.GetItemAt(i).IsSeparator() ? std::string("- ") : std::to_string(menu.GetItemAt(i).GetCmdID()) + " ";
    ASSERT_EQ(sItems, "59480 59481 - 59460 59461 ");
    EXPECT_STREQ(static_cast<LPCTSTR>(menu.GetItemAt(0).GetText()), "Tools");

    // a right click on the dock bar's free area shows the menu there
    m_frame.m_arrPopupMenuEvents.clear();
    CRect rcDock;
    pOuterTop->GetClientRect(&rcDock);
    const CPoint ptClick(260, rcDock.CenterPoint().y);
    const int nAnimation = CExtPopupBaseWnd::g_nDefaultAnimationKind;
    CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
    const bool bCollapse = CExtPopupMenuWnd::g_bCollapseRarelyUsed;
    CExtPopupMenuWnd::g_bCollapseRarelyUsed = false;
    pOuterTop->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(ptClick.x, ptClick.y));
    kxgui::PumpUntilIdle();
    ASSERT_EQ(m_frame.m_arrPopupMenuEvents.size(), 2u);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].nEventType, 0);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].hWndSource, pOuterTop->m_hWnd);
    EXPECT_EQ(m_frame.m_arrPopupMenuEvents[0].nSourceMessage, static_cast<UINT>(WM_CONTEXTMENU));
    ASSERT_TRUE(IsPopupTrackingActive());
    CExtPopupMenuWnd* pShown = CExtPopupMenuWnd::GetTracker().GetTopPopup();
    ASSERT_NE(pShown, nullptr);
    EXPECT_EQ(pShown->ItemGetCount(), 5);
    CRect rcMenu;
    pShown->GetWindowRect(&rcMenu);
    CPoint ptScreen = ptClick;
    pOuterTop->ClientToScreen(&ptScreen);
    EXPECT_EQ(rcMenu.TopLeft(), ptScreen);
    pShown->UpdateWindow();
    kxgui::SaveArtifact(kxgui::CaptureScreen(pShown->m_hWnd, false), "docking-bars-menu.png");
    CloseActivePopupTree();
    CExtPopupBaseWnd::g_nDefaultAnimationKind = nAnimation;
    CExtPopupMenuWnd::g_bCollapseRarelyUsed = bCollapse;
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsPopupTrackingActive());
    g_CmdManager->DetachWindowFromProfile(m_frame.m_hWnd, true);
}

} // namespace
