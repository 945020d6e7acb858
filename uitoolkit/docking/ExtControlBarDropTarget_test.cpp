// Where a dragged pane would land over a fixed layout, and the outline that
// shows it: a table of cursor positions over docked panes, a floating pane,
// the tool-bar row and the free area.
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 76;
const UINT kIdTool = AFX_IDW_CONTROLBAR_FIRST + 92;

enum PaneIndex
{
    PaneTop,
    PaneLeft,
    PaneDragged,
    PaneFloating,
    PaneCount
};

// A frame whose handler of the tracked-area message draws the area itself.
class CDrawingFrame : public CTestDockFrame
{
public:
    CDrawingFrame() : CTestDockFrame(Kind::PlainFrame) {}
    bool m_bHandles = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        const LRESULT lResult = CTestDockFrame::WindowProc(message, wParam, lParam);
        if (message == CExtControlBar::g_nMsgDrawTrackedArea && m_bHandles)
            reinterpret_cast<CExtControlBar::DRAW_TRACKED_AREA_DATA*>(wParam)->m_nFlags |=
                CExtControlBar::DRAW_TRACKED_AREA_DATA::FlagHandled;
        return lResult;
    }
};

class ExtControlBarDropTargetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CExtControlBar::g_nDockingStyle = 0;
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 1000, 700)));
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        ASSERT_TRUE(m_tool.Create("Tools", &m_frame, kIdTool, WS_CHILD | WS_VISIBLE | CBRS_TOP));
        m_tool.EnableDocking(CBRS_ALIGN_ANY);
        m_tool.m_sizeDockedH = CSize(300, 26);
        Side(AFX_IDW_DOCKBAR_TOP)->DockControlBar(&m_tool, nullptr);
        for (int i = 0; i < PaneCount; ++i)
        {
            CExtControlBar& pane = m_panes[i];
            ASSERT_TRUE(pane.Create("Pane", &m_frame, kIdPane + i, WS_CHILD | WS_VISIBLE | CBRS_TOP));
            pane.EnableDocking(CBRS_ALIGN_ANY);
            pane.m_sizeDockedH = CSize(300, 120);
            pane.m_sizeDockedV = CSize(160, 300);
            pane.m_sizeFloated = CSize(250, 200);
        }
        Side(AFX_IDW_DOCKBAR_TOP)->GetCircleDockBar(1)->DockControlBar(&m_panes[PaneTop], nullptr);
        Side(AFX_IDW_DOCKBAR_LEFT)->GetCircleDockBar(1)->DockControlBar(&m_panes[PaneLeft], nullptr);
        Side(AFX_IDW_DOCKBAR_BOTTOM)->GetCircleDockBar(1)->DockControlBar(&m_panes[PaneDragged], nullptr);
        m_panes[PaneFloating].FloatAt(600, 300, CBRS_ALIGN_TOP);
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
        m_state.m_pBar = &m_panes[PaneDragged];
        m_state.m_bEmpty = false;
    }
    void TearDown() override
    {
        SetCtrl(false);
        CExtControlBar::g_nDockingStyle = -1;
        m_frame.DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    CExtDockBar* Side(UINT nId) { return static_cast<CExtDockBar*>(m_frame.GetControlBar(nId)); }
    static CRect WindowRect(CWnd* pWnd)
    {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        return rc;
    }
    static void SetCtrl(bool bDown)
    {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = bDown ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
    // The frame's free area on the screen.
    CRect FreeArea()
    {
        CRect rc;
        m_frame.GetClientRect(&rc);
        CExtControlBar::RepositionBars(&m_frame, 0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rc, &rc);
        m_frame.ClientToScreen(&rc);
        return rc;
    }

    CDrawingFrame m_frame;
    CExtToolControlBar m_tool;
    CExtControlBar m_panes[PaneCount];
    CExtControlBar::InternalDraggingState_t m_state;
};

TEST_F(ExtControlBarDropTargetTest, DropKindsOverTheLayout)
{
    CExtControlBar& dragged = m_panes[PaneDragged];
    CExtControlBar* pTop = &m_panes[PaneTop];
    CExtControlBar* pLeft = &m_panes[PaneLeft];
    CExtControlBar* pFloating = &m_panes[PaneFloating];
    const CRect rcTop = WindowRect(pTop);
    const CRect rcLeft = WindowRect(pLeft);
    const CRect rcFloat = WindowRect(pFloating->GetParentFrame());
    const CRect rcFloatDockBar = WindowRect(pFloating->m_pDockBar);
    const CRect rcFree = FreeArea();
    const CRect rcInnerTop = Side(AFX_IDW_DOCKBAR_TOP)->m_rcInnerEdge;
    const CRect rcInner(Side(AFX_IDW_DOCKBAR_LEFT)->m_rcInnerEdge.left, rcInnerTop.top,
                        Side(AFX_IDW_DOCKBAR_RIGHT)->m_rcInnerEdge.left,
                        Side(AFX_IDW_DOCKBAR_BOTTOM)->m_rcInnerEdge.top);
    CExtDockBar* pInnermostTop = Side(AFX_IDW_DOCKBAR_TOP);
    while (pInnermostTop->m_pDockBarInner != nullptr)
        pInnermostTop = pInnermostTop->m_pDockBarInner;
    ASSERT_FALSE(rcFree.IsRectEmpty());
    const int nTopDepth = std::min(120, ::MulDiv(rcFree.Height(), 3, 4));
    const int cx = rcTop.CenterPoint().x;

    struct Case
    {
        const char* pszName;
        CPoint pt;
        int nKind;
        CExtControlBar* pTarget;
        CRect rc; // empty: not checked
        std::function<void()> prepare;
    };
    const Case cases[] = {
        {"top pane caption", {cx, rcTop.top + 8}, 27, pTop, rcTop, nullptr},
        {"top pane beside strip",
         {cx, rcTop.top + 40},
         1,
         pTop,
         {rcTop.left, rcTop.top, rcTop.right, rcTop.top + rcTop.Height() / 2},
         nullptr},
        {"top pane left strip", {rcTop.left + 10, rcTop.top + 70}, 3, pTop, {}, nullptr},
        {"left pane bottom strip", {rcLeft.CenterPoint().x, rcLeft.bottom - 10}, 2, pLeft, {}, nullptr},
        {"left pane right strip", {rcLeft.right - 5, rcLeft.CenterPoint().y}, 4, pLeft, {}, nullptr},
        {"free area top",
         {rcFree.CenterPoint().x, rcFree.top + 5},
         5,
         nullptr,
         {rcFree.left, rcFree.top, rcFree.right, rcFree.top + nTopDepth},
         nullptr},
        {"free area left", {rcFree.left + 5, rcFree.CenterPoint().y}, 7, nullptr, {}, nullptr},
        {"tool-bar row inner edge",
         {cx, rcInnerTop.top + 2},
         9,
         nullptr,
         {rcInner.left, rcInner.top, rcInner.right, rcInner.top + 120},
         nullptr},
        {"tool-bar row, 10 px outside", {cx, rcInnerTop.top - 10}, 9, nullptr, {}, nullptr},
        {"floating caption strip", {rcFloat.CenterPoint().x, rcFloat.top + 10}, 27, pFloating, rcFloat, nullptr},
        {"floating beside strip",
         {rcFloat.CenterPoint().x, rcFloat.top + 40},
         1,
         pFloating,
         {std::min(rcFloat.left, rcFloatDockBar.left), rcFloat.top, std::max(rcFloat.right, rcFloatDockBar.right),
          rcFloat.top + rcFloat.Height() / 2},
         nullptr},
        {"the bar itself", WindowRect(&dragged).CenterPoint(), 13, &dragged, {}, nullptr},
        {"ctrl over a pane", {cx, rcTop.top + 8}, 0, nullptr, {}, [] { SetCtrl(true); }},
        {"ctrl over the free area", {rcFree.CenterPoint().x, rcFree.top + 5}, 0, nullptr, {}, [] { SetCtrl(true); }},
        {"tall bar gets no top half", {cx, rcTop.top + 40}, 0, nullptr, {}, [&dragged] { dragged.m_nNcHeight = 70; }},
        {"tall bar keeps the side strips",
         {rcTop.left + 10, rcTop.top + 70},
         3,
         pTop,
         {},
         [&dragged] { dragged.m_nNcHeight = 70; }},
        {"marker style: no outline zones",
         {cx, rcTop.top + 40},
         0,
         nullptr,
         {},
         [] { CExtControlBar::g_nDockingStyle = 1; }},
        {"middle of a pane", rcTop.CenterPoint() + CSize(0, 10), 0, nullptr, {}, nullptr},
        {"off the frame", {rcFree.CenterPoint().x, WindowRect(&m_frame).bottom + 200}, 0, nullptr, {}, nullptr},
    };
    for (const Case& c : cases)
    {
        const int nSavedNc = dragged.m_nNcHeight;
        if (c.prepare)
            c.prepare();
        m_state.m_bTargetFlag = false;
        m_state.m_nCircle = 0;
        m_state.CalcDropTarget(c.pt, false);
        EXPECT_EQ(m_state.m_eDropKind, c.nKind) << c.pszName;
        EXPECT_EQ(m_state.m_pTarget, c.pTarget) << c.pszName;
        if (!c.rc.IsRectEmpty())
            EXPECT_EQ(CRect(m_state.m_rect), c.rc) << c.pszName;
        if (c.nKind == 9)
            EXPECT_EQ(m_state.m_nCircle, 1u) << c.pszName;
        if (c.nKind == 5)
            EXPECT_EQ(m_state.m_nCircle, pInnermostTop->GetCircleNo() + 1) << c.pszName;
        if (c.nKind == 1 || c.nKind == 3)
            EXPECT_EQ(m_state.m_bTargetFlag, c.pTarget == pFloating) << c.pszName; // alone in its row
        if (c.nKind == 0)
        {
            // the floating frame would go where the cursor holds the bar
            const CRect rcWindow = WindowRect(&m_frame);
            EXPECT_EQ(CRect(m_state.m_rect),
                      CRect(c.pt - CSize(dragged.m_ptGrabDockedH) + CSize(rcWindow.TopLeft()), dragged.m_sizeFloated))
                << c.pszName;
        }
        SetCtrl(false);
        CExtControlBar::g_nDockingStyle = 0;
        dragged.m_nNcHeight = nSavedNc;
    }
}

TEST_F(ExtControlBarDropTargetTest, OutlineShapesAreOfferedToTheFrame)
{
    const CRect rcTop = WindowRect(&m_panes[PaneTop]);
    struct Case
    {
        CPoint pt;
        int nKind;
        int nShape;
    };
    const Case cases[] = {
        {{rcTop.CenterPoint().x, rcTop.top + 40}, 1, 2},
        {{rcTop.CenterPoint().x, rcTop.top + 8}, 27, 3},
    };
    for (const Case& c : cases)
    {
        m_frame.m_arrTrackedAreas.clear();
        m_state.CalcDropTarget(c.pt, false);
        ASSERT_EQ(m_state.m_eDropKind, c.nKind);
        m_state.DrawTrackingOutline(false);
        m_state.DrawTrackingOutline(true);
        ASSERT_EQ(m_frame.m_arrTrackedAreas.size(), 2u);
        for (size_t i = 0; i < 2; ++i)
        {
            const CTestDockFrame::TrackedAreaRecord& rec = m_frame.m_arrTrackedAreas[i];
            EXPECT_EQ(rec.pBar, &m_panes[PaneDragged]);
            EXPECT_EQ(rec.nShape, c.nShape);
            EXPECT_EQ(rec.nFlags & 1, static_cast<int>(i)); // drawn, then erased
            // in the frame window's coordinates
            EXPECT_EQ(CRect(rec.rc) + WindowRect(&m_frame).TopLeft(), CRect(m_state.m_rect));
        }
    }

    // the bar over itself shows no outline
    m_frame.m_arrTrackedAreas.clear();
    m_state.CalcDropTarget(WindowRect(&m_panes[PaneDragged]).CenterPoint(), false);
    m_state.DrawTrackingOutline(false);
    EXPECT_TRUE(m_frame.m_arrTrackedAreas.empty());
}

TEST_F(ExtControlBarDropTargetTest, AHandlingFrameSuppressesTheDefaultOutline)
{
    // off the frame the outline is a top-most popup in its shape
    const CPoint ptOff(WindowRect(&m_frame).CenterPoint().x, WindowRect(&m_frame).bottom + 150);
    m_state.CalcDropTarget(ptOff, false);
    ASSERT_EQ(m_state.m_eDropKind, 0);
    m_state.DrawTrackingOutline(false);
    const HWND hPopup = ::FindWindowA("Quorbis-DockOutline", nullptr);
    ASSERT_NE(hPopup, nullptr);
    EXPECT_TRUE(::IsWindowVisible(hPopup));
    m_state.DrawTrackingOutline(true);
    EXPECT_FALSE(::IsWindowVisible(hPopup));

    m_frame.m_bHandles = true;
    m_frame.m_arrTrackedAreas.clear();
    m_state.DrawTrackingOutline(false);
    EXPECT_FALSE(::IsWindowVisible(hPopup));
    m_state.DrawTrackingOutline(true);
    ASSERT_EQ(m_frame.m_arrTrackedAreas.size(), 2u);
    EXPECT_EQ(m_frame.m_arrTrackedAreas[0].nShape, 2);
}

} // namespace
