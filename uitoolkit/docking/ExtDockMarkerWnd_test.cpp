// Docking markers during a drag in marker docking: the frame set, the set
// around the pane under the cursor, the drop kinds they give, their fading,
// and what they look like on the screen.
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{

const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 80;

std::vector<int> g_arrAlphaSteps;

BOOL WINAPI RecordLayeredAlpha(HWND, COLORREF, BYTE nAlpha, DWORD)
{
    g_arrAlphaSteps.push_back((nAlpha * 100 + 127) / 255);
    return TRUE;
}

class ExtDockMarkerWndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pSavedLayeredFn = g_PaintManager.SetLayeredWindowAttributesFn;
        // Markers appear at once unless a test lets them fade.
        g_PaintManager.SetLayeredWindowAttributesFn = nullptr;
        CExtControlBar::g_nDockingStyle = 1;
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(0, 0, 900, 650)));
        kxgui::Activate(m_frame.m_hWnd);
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        for (int i = 0; i < 2; ++i)
        {
            ASSERT_TRUE(m_panes[i].Create(i == 0 ? "Target" : "Dragged", &m_frame, kIdPane + i,
                                          WS_CHILD | WS_VISIBLE | CBRS_TOP));
            m_panes[i].EnableDocking(CBRS_ALIGN_ANY);
            m_panes[i].m_sizeDockedH = CSize(400, 260);
            m_panes[i].m_sizeFloated = CSize(220, 160);
        }
        static_cast<CExtDockBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP))
            ->GetCircleDockBar(1)
            ->DockControlBar(&Target(), nullptr);
        Dragged().FloatAt(650, 450, CBRS_ALIGN_TOP);
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        EndDrag();
        g_PaintManager.SetLayeredWindowAttributesFn = m_pSavedLayeredFn;
        CExtControlBar::g_nDockingStyle = -1;
        m_frame.DestroyWindow();
        g_PaintManager.InstallPaintManager(nullptr);
        kxgui::PumpUntilIdle();
    }
    CExtControlBar& Target() { return m_panes[0]; }
    CExtControlBar& Dragged() { return m_panes[1]; }
    static CRect WindowRect(HWND hWnd)
    {
        CRect rc;
        ::GetWindowRect(hWnd, &rc);
        return rc;
    }
    // A drag of the floating pane, stepped to a screen point as the drag
    // loop steps it.
    void DragTo(CPoint pt)
    {
        CExtControlBar& bar = Dragged();
        if (!bar.m_bDragging)
        {
            bar.m_bDragging = true;
            CExtControlBar::g_DragStateShown.m_pBar = CExtControlBar::g_DragStateNew.m_pBar = &bar;
            CExtControlBar::g_DragStateNew.m_bEmpty = false;
            // The loop's first step makes the markers, hidden until the next.
            const CPoint ptFirst(pt.x - 1, pt.y);
            kxgui::MoveMouseTo(ptFirst);
            bar.ContinueDragging(ptFirst, false);
            CExtDynDockMarkerWnd::CreateFrameMarkers(&m_frame, false);
            CExtDynDockMarkerWnd::UpdateTargetMarkers(&m_frame, false);
        }
        kxgui::MoveMouseTo(pt);
        bar.ContinueDragging(pt, false);
    }
    void EndDrag()
    {
        if (!Dragged().m_bDragging)
            return;
        // Marker docking applies even a cancelled drag: the layout stays as
        // the fixture built it only without a target.
        CExtControlBar::g_DragStateNew.Reset();
        Dragged().StopDragging(true);
    }
    static std::vector<int> Kinds(const CExtDockMarkerWndArray& arr)
    {
        std::vector<int> kinds;
        for (INT_PTR i = 0; i < arr.GetSize(); ++i)
            kinds.push_back(arr[i]->m_nKind);
        return kinds;
    }
    static CExtDynDockMarkerWnd* Marker(int nKind, bool bFrameSet)
    {
        const CExtDockMarkerWndArray& arr =
            bFrameSet ? CExtDynDockMarkerWnd::g_arrFrameMarkers : CExtDynDockMarkerWnd::g_arrTargetMarkers;
        for (INT_PTR i = 0; i < arr.GetSize(); ++i)
            if (arr[i]->m_nKind == nKind)
                return arr[i];
        return nullptr;
    }
    CRect OuterEdge(UINT nSide) { return static_cast<CExtDockBar*>(m_frame.GetControlBar(nSide))->m_rcInnerEdge; }
    // Pumps until the condition holds; the markers' timers drive it.
    static bool PumpUntil(const std::function<bool()>& done)
    {
        for (int i = 0; i < 2000 && !done(); ++i)
        {
            MSG msg;
            if (!::GetMessageA(&msg, nullptr, 0, 0))
            {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        return done();
    }

    CTestDockFrame m_frame{CTestDockFrame::Kind::PlainFrame};
    CExtControlBar m_panes[2];
    CExtPaintManagerHolder::SetLayeredWindowAttributesFnType m_pSavedLayeredFn = nullptr;
};

TEST_F(ExtDockMarkerWndTest, FrameAndPaneMarkersGiveTheirDropKinds)
{
    const CRect rcTarget = WindowRect(Target().m_hWnd);
    // the frame markers go around the area inside the tool-bar rows
    CRect rcInner(OuterEdge(AFX_IDW_DOCKBAR_LEFT).left, OuterEdge(AFX_IDW_DOCKBAR_TOP).top,
                  OuterEdge(AFX_IDW_DOCKBAR_RIGHT).left, OuterEdge(AFX_IDW_DOCKBAR_BOTTOM).top);
    // first over the free area: the frame set only
    DragTo(CPoint(rcInner.CenterPoint().x - 150, rcInner.bottom - 60));
    ASSERT_EQ(Kinds(CExtDynDockMarkerWnd::g_arrFrameMarkers), (std::vector<int>{0, 1, 2, 3}));
    for (int nKind = 0; nKind < 4; ++nKind)
    {
        CExtDynDockMarkerWnd* pMarker = Marker(nKind, true);
        EXPECT_TRUE(pMarker->IsWindowVisible());
        EXPECT_EQ(pMarker->GetTarget(), nullptr);
        HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
        const int nRgn = ::GetWindowRgn(pMarker->m_hWnd, hRgn);
        EXPECT_TRUE(nRgn == SIMPLEREGION || nRgn == COMPLEXREGION) << nKind;
        ::DeleteObject(hRgn);
        // against its own edge of the free area, centred along it
        const CRect rc = WindowRect(pMarker->m_hWnd);
        EXPECT_TRUE(rcInner.PtInRect(rc.CenterPoint())) << nKind;
        const int nGap[4] = {rc.top - rcInner.top, rcInner.bottom - rc.bottom, rc.left - rcInner.left,
                             rcInner.right - rc.right};
        EXPECT_LE(nGap[nKind], 12) << nKind;
        EXPECT_LE(std::abs(nKind < 2 ? rc.CenterPoint().x - rcInner.CenterPoint().x
                                     : rc.CenterPoint().y - rcInner.CenterPoint().y),
                  1)
            << nKind;
        EXPECT_EQ(pMarker->GetDropKind(), 14 + nKind);
    }
    EXPECT_EQ(CExtDynDockMarkerWnd::g_arrTargetMarkers.GetSize(), 0);

    // over the docked pane: the cross, its four arms and the centre
    DragTo(rcTarget.CenterPoint() + CSize(-120, 60));
    EXPECT_EQ(CExtDynDockMarkerWnd::g_hWndMarkerTarget, Target().m_hWnd);
    ASSERT_EQ(Kinds(CExtDynDockMarkerWnd::g_arrTargetMarkers), (std::vector<int>{4, 0, 1, 2, 3, 8}));
    CExtDynDockMarkerWnd* pCentre = Marker(8, false);
    EXPECT_EQ(pCentre->GetTarget(), Target().m_hWnd);

    // the centre marker tabs with the pane, an arm docks beside it
    CExtControlBar::InternalDraggingState_t& state = CExtControlBar::g_DragStateNew;
    DragTo(WindowRect(pCentre->m_hWnd).CenterPoint());
    EXPECT_EQ(state.m_eDropKind, 26);
    EXPECT_EQ(state.m_pTarget, &Target());
    // still the same set: pointing at a marker keeps it
    EXPECT_EQ(CExtDynDockMarkerWnd::g_arrTargetMarkers.GetSize(), 6);
    DragTo(WindowRect(Marker(2, false)->m_hWnd).CenterPoint());
    EXPECT_EQ(state.m_eDropKind, 24);
    DragTo(WindowRect(Marker(0, true)->m_hWnd).CenterPoint());
    EXPECT_EQ(state.m_eDropKind, 14);
    EXPECT_EQ(state.m_pTarget, nullptr);

    // a side zone of the pane without a marker floats the pane
    DragTo(CPoint(rcTarget.left + 10, rcTarget.top + 40));
    EXPECT_EQ(state.m_eDropKind, 0);
    EXPECT_EQ(state.m_pTarget, nullptr);

    EndDrag();
    EXPECT_EQ(CExtDynDockMarkerWnd::g_arrFrameMarkers.GetSize(), 0);
    EXPECT_EQ(CExtDynDockMarkerWnd::g_arrTargetMarkers.GetSize(), 0);
    EXPECT_EQ(CExtDynDockMarkerWnd::g_hWndMarkerTarget, nullptr);
}

TEST_F(ExtDockMarkerWndTest, MarkersFadeInFourStepsAndDieAfterTheFade)
{
    ExtTestHooks().nScreenBitsPerPixel = 32;
    g_PaintManager.SetLayeredWindowAttributesFn = RecordLayeredAlpha;
    ASSERT_TRUE(CExtDynDockMarkerWnd::CanFade());
    CExtDockMarkerWndArray arr;
    ASSERT_TRUE(g_PaintManager->CreateDockMarkerWindows(0, 5, CRect(100, 100, 500, 400), arr));
    CExtDynDockMarkerWnd* pMarker = arr[0];
    const HWND hMarker = pMarker->m_hWnd;

    g_arrAlphaSteps.clear();
    pMarker->ShowMarker(true, true);
    EXPECT_TRUE(pMarker->IsFading());
    EXPECT_NE(pMarker->m_nFlags & CExtDynDockMarkerWnd::FlagFadingIn, 0);
    EXPECT_TRUE(pMarker->IsWindowVisible());
    ASSERT_TRUE(PumpUntil([&] { return !pMarker->IsFading(); }));
    EXPECT_EQ(g_arrAlphaSteps, (std::vector<int>{0, 25, 50, 75, 100}));
    EXPECT_EQ(pMarker->GetExStyle() & WS_EX_LAYERED, 0u);
    EXPECT_TRUE(pMarker->IsWindowVisible());

    // destroyed while fading out: it goes when the fade ends
    g_arrAlphaSteps.clear();
    CExtDynDockMarkerWnd::DestroyMarkers(arr, true);
    EXPECT_EQ(arr.GetSize(), 0);
    EXPECT_TRUE(::IsWindow(hMarker));
    EXPECT_TRUE(pMarker->IsFading());
    EXPECT_NE(pMarker->m_nFlags & CExtDynDockMarkerWnd::FlagDestroyAfterFade, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(hMarker); }));
    EXPECT_EQ(g_arrAlphaSteps, (std::vector<int>{100, 75, 50, 25, 0}));
    ExtTestHooks().nScreenBitsPerPixel = 0;
}

TEST_F(ExtDockMarkerWndTest, AVanishedTargetHidesItsMarkers)
{
    // without a drag the markers hide and post nothing
    CWnd gone;
    ASSERT_TRUE(
        gone.CreateEx(0, AfxRegisterWndClass(0), "gone", WS_POPUP | WS_VISIBLE, CRect(100, 100, 300, 300), nullptr, 0));
    CExtDockMarkerWndArray arr;
    ASSERT_TRUE(g_PaintManager->CreateDockMarkerWindows(reinterpret_cast<LPARAM>(gone.m_hWnd), 7,
                                                        CRect(100, 100, 300, 300), arr));
    CExtDynDockMarkerWnd::g_arrTargetMarkers.Copy(arr);
    CExtDynDockMarkerWnd::ShowMarkers(arr, true, false);
    gone.DestroyWindow();
    CExtDynDockMarkerWnd* pCross = arr[0];
    EXPECT_TRUE(PumpUntil([&] { return !pCross->IsWindowVisible(); }));
    CExtDynDockMarkerWnd::DestroyMarkers(CExtDynDockMarkerWnd::g_arrTargetMarkers, false);
}

TEST_F(ExtDockMarkerWndTest, WithoutLayeredWindowsMarkersShowAndHideAtOnce)
{
    ASSERT_FALSE(CExtDynDockMarkerWnd::CanFade());
    CExtDockMarkerWndArray arr;
    ASSERT_TRUE(g_PaintManager->CreateDockMarkerWindows(0, 5, CRect(100, 100, 500, 400), arr));
    CExtDynDockMarkerWnd* pMarker = arr[0];
    pMarker->ShowMarker(true, true);
    EXPECT_FALSE(pMarker->IsFading());
    EXPECT_TRUE(pMarker->IsWindowVisible());
    pMarker->ShowMarker(false, true);
    EXPECT_FALSE(pMarker->IsWindowVisible());
    const HWND hMarker = pMarker->m_hWnd;
    CExtDynDockMarkerWnd::DestroyMarkers(arr, true);
    EXPECT_FALSE(::IsWindow(hMarker));
}

TEST_F(ExtDockMarkerWndTest, ScreenshotsOfMarkersAndHighlight)
{
    struct Theme
    {
        CExtPaintManager* (*make)();
        const char* pszFile;
    };
    const Theme themes[] = {
        {[]() -> CExtPaintManager* { return new CExtPaintManagerXP; }, "dock_markers_xp.png"},
        {[]() -> CExtPaintManager* { return new CExtPaintManagerStudio2005; }, "dock_markers_studio2005.png"},
    };
    for (const Theme& theme : themes)
    {
        g_PaintManager.InstallPaintManager(theme.make());
        m_frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        kxgui::PumpUntilIdle();
        const CRect rcTarget = WindowRect(Target().m_hWnd);
        DragTo(rcTarget.CenterPoint() + CSize(-120, 60));
        ASSERT_EQ(CExtDynDockMarkerWnd::g_arrTargetMarkers.GetSize(), 6);
        // hover the top arm: the cross shows it hot, the highlight covers the pane's upper half
        CExtDynDockMarkerWnd* pArm = Marker(0, false);
        DragTo(WindowRect(pArm->m_hWnd).CenterPoint());
        EXPECT_EQ(CExtControlBar::g_DragStateNew.m_eDropKind, 22);
        ASSERT_TRUE(PumpUntil([&] { return pArm->m_nHover == 1; }));
        EXPECT_EQ(Marker(4, false)->m_hWndHoverPart, pArm->m_hWnd);
        ASSERT_NE(pArm->m_pHighlight, nullptr);
        EXPECT_EQ(WindowRect(pArm->m_pHighlight->m_hWnd),
                  CRect(rcTarget.left, rcTarget.top, rcTarget.right, rcTarget.top + rcTarget.Height() / 2));
        kxgui::PumpUntilIdle();
        // markers and highlight are windows of their own: the whole screen shows them with the frame
        kxgui::SaveArtifact(kxgui::CaptureScreen(::GetDesktopWindow(), false), theme.pszFile);
        EndDrag();
        EXPECT_EQ(CExtDynDockMarkerWnd::g_arrTargetMarkers.GetSize(), 0);
    }
}

} // namespace
