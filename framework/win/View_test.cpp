// Scroll views: the logical size sets the bars, the position moves the
// drawing origin, and scrolling stays inside the size.
#include "framework/win/Dc.h"
#include "framework/win/DocTemplate.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/View.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

class CBigView : public CScrollView
{
    DECLARE_DYNCREATE(CBigView)
public:
    int initialUpdates = 0;
    void OnInitialUpdate() override
    {
        ++initialUpdates;
        SetScrollSizes(MM_TEXT, CSize(1000, 800), CSize(100, 100), CSize(10, 10));
    }
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CBigView, CScrollView)

TEST(ScrollViewTest, TheBarsCoverTheSizeAndTheOriginFollowsThePosition)
{
    CWinApp app("Kestrelux");
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CBigView);
    auto* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, "scroll", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr,
                               nullptr, 0, &context));
    pFrame->InitialUpdateFrame(nullptr, TRUE);
    kxgui::PumpUntilIdle();
    auto* pView = dynamic_cast<CBigView*>(pFrame->GetActiveView());
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->initialUpdates, 1);
    EXPECT_EQ(pView->GetTotalSize(), CSize(1000, 800));

    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE;
    ::GetScrollInfo(pView->m_hWnd, SB_HORZ, &si);
    EXPECT_EQ(si.nMax, 999);
    CRect client;
    pView->GetClientRect(&client);
    EXPECT_EQ(static_cast<int>(si.nPage), client.Width());

    pView->ScrollToPosition(CPoint(100, 50));
    EXPECT_EQ(pView->GetScrollPosition(), CPoint(100, 50));
    CDC dc;
    dc.Attach(::GetDC(pView->m_hWnd));
    pView->OnPrepareDC(&dc);
    POINT origin;
    ::GetViewportOrgEx(dc.GetSafeHdc(), &origin);
    EXPECT_EQ(origin.x, -100);
    EXPECT_EQ(origin.y, -50);
    ::ReleaseDC(pView->m_hWnd, dc.Detach());

    // a line down, then to the end: never past the last page
    pView->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(pView->GetScrollPosition().y, 60);
    pView->SendMessage(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(pView->GetScrollPosition().y, 800 - client.Height());
    pView->SendMessage(WM_HSCROLL, SB_TOP);
    EXPECT_EQ(pView->GetScrollPosition().x, 0);
    pFrame->DestroyWindow();
}

} // namespace
