// The MDI tab strip layer over a test MDI frame: tabs in z-order, selection
// following activation, removal on close, the document title with the
// window number, the close button following the child's system menu, the
// strip hidden without children, and the frame with its strip in every
// theme.
#include "uitoolkit/controls/ExtMdiTabLayer.h"

#include "framework/win/DocTemplate.h"
#include "framework/win/View.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/bars/ExtTabWnd.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

typedef CExtTMWI<CExtTabWnd> CTestMdiTabs;

class CTabTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CTabTestDoc)
};
IMPLEMENT_DYNCREATE(CTabTestDoc, CDocument)

class CTabTestView : public CView
{
    DECLARE_DYNCREATE(CTabTestView)
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, RGB(255, 255, 255));
    }
};
IMPLEMENT_DYNCREATE(CTabTestView, CView)

class CTabsFrame : public CMDIFrameWnd
{
public:
    CTestMdiTabs m_tabs;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CMDIFrameWnd::OnCreate(lpcs) == -1 || !m_tabs.Create(this, CRect(0, 0, 0, 0), 0x7E00))
            return -1;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTabsFrame, CMDIFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

class MdiTabLayerTest : public ::testing::Test
{
protected:
    CTabsFrame* m_pFrame = nullptr;

    void SetUp() override
    {
        m_pFrame = new CTabsFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "mdi tabs", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 620, 420)));
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    CMDIChildWnd* AddChild(LPCTSTR lpszTitle, CDocument* pDoc = nullptr)
    {
        CCreateContext ctx;
        ctx.m_pNewViewClass = RUNTIME_CLASS(CTabTestView);
        ctx.m_pCurrentDoc = pDoc;
        CMDIChildWnd* pChild = new CMDIChildWnd;
        if (!pChild->Create(nullptr, lpszTitle, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault,
                            m_pFrame, pDoc != nullptr ? &ctx : nullptr))
            return nullptr;
        if (pDoc != nullptr)
            pChild->InitialUpdateFrame(pDoc, TRUE);
        pChild->ShowWindow(SW_SHOW);
        m_pFrame->MDIActivate(pChild);
        return pChild;
    }
    HWND ItemWindow(int i) { return reinterpret_cast<HWND>(m_pFrame->m_tabs.GetItem(i)->m_lParam); }
    CString ItemText(int i) { return *m_pFrame->m_tabs.OnQueryItemText(m_pFrame->m_tabs.GetItem(i)); }
};

TEST_F(MdiTabLayerTest, WithoutChildrenTheStripIsHidden)
{
    EXPECT_EQ(m_pFrame->m_tabs.GetItemCount(), 0);
    EXPECT_FALSE(m_pFrame->m_tabs.IsWindowVisible());
}

TEST_F(MdiTabLayerTest, TabsFollowTheChildren)
{
    CMDIChildWnd* pChildren[3] = {AddChild("One"), AddChild("Two"), AddChild("Three")};
    for (CMDIChildWnd* p : pChildren)
        ASSERT_NE(p, nullptr);
    kxgui::PumpUntilIdle();
    CTestMdiTabs& tabs = m_pFrame->m_tabs;
    ASSERT_EQ(tabs.GetItemCount(), 3);
    EXPECT_TRUE(tabs.IsWindowVisible());
    // in z-order from the top, new ones appended; existing ones keep their place
    int i = 0;
    for (HWND hWnd = ::GetWindow(pChildren[0]->m_hWnd, GW_HWNDFIRST); hWnd != nullptr;
         hWnd = ::GetWindow(hWnd, GW_HWNDNEXT), ++i)
        EXPECT_EQ(ItemWindow(i), hWnd) << i;
    EXPECT_EQ(ItemWindow(tabs.GetSelectedIndex()), pChildren[2]->m_hWnd);

    // activation selects at once
    m_pFrame->MDIActivate(pChildren[0]);
    EXPECT_EQ(ItemWindow(tabs.GetSelectedIndex()), pChildren[0]->m_hWnd);
    // a click on a tab activates its child
    const int nTwo = tabs.FindItemByHwnd(pChildren[1]->m_hWnd);
    tabs.SelectItem(nTwo, true, true);
    EXPECT_EQ(m_pFrame->MDIGetActive(), pChildren[1]);

    // closing removes at once
    const HWND hWndClosed = pChildren[1]->m_hWnd;
    pChildren[1]->MDIDestroy();
    EXPECT_EQ(tabs.GetItemCount(), 2);
    EXPECT_EQ(tabs.FindItemByHwnd(hWndClosed), -1);
    kxgui::PumpUntilIdle();
    EXPECT_EQ(ItemWindow(tabs.GetSelectedIndex()), m_pFrame->MDIGetActive()->m_hWnd);

    // the last child gone: the strip goes too
    pChildren[0]->MDIDestroy();
    pChildren[2]->MDIDestroy();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(tabs.GetItemCount(), 0);
    EXPECT_FALSE(tabs.IsWindowVisible());
}

TEST_F(MdiTabLayerTest, TextIsTheDocumentTitleWithTheWindowNumber)
{
    CTabTestDoc* pDoc = new CTabTestDoc;
    pDoc->SetTitle("D");
    CMDIChildWnd* pWithDoc = AddChild("frame title", pDoc);
    ASSERT_NE(pWithDoc, nullptr);
    pWithDoc->m_nWindow = 2;
    CMDIChildWnd* pBare = AddChild("Bare");
    ASSERT_NE(pBare, nullptr);
    kxgui::PumpUntilIdle();
    EXPECT_STREQ(ItemText(m_pFrame->m_tabs.FindItemByHwnd(pWithDoc->m_hWnd)), "D:2");
    EXPECT_STREQ(ItemText(m_pFrame->m_tabs.FindItemByHwnd(pBare->m_hWnd)), "Bare");
}

TEST_F(MdiTabLayerTest, CloseButtonFollowsTheActiveChildsSystemMenu)
{
    CMDIChildWnd* pChild = AddChild("Locked");
    ASSERT_NE(pChild, nullptr);
    kxgui::PumpUntilIdle();
    EXPECT_NE(m_pFrame->m_tabs.GetTabWndStyle() & CExtTabWnd::StyleCloseEnabled, 0u);
    ::EnableMenuItem(::GetSystemMenu(pChild->m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    m_pFrame->m_tabs.SyncAllItems();
    EXPECT_EQ(m_pFrame->m_tabs.GetTabWndStyle() & CExtTabWnd::StyleCloseEnabled, 0u);
}

TEST_F(MdiTabLayerTest, RightClickActivatesTheChildWithoutAMenu)
{
    CMDIChildWnd* pFirst = AddChild("First");
    ASSERT_NE(pFirst, nullptr);
    ASSERT_NE(AddChild("Second"), nullptr);
    kxgui::PumpUntilIdle();
    m_pFrame->RecalcLayout();
    kxgui::PumpUntilIdle();
    CTestMdiTabs& tabs = m_pFrame->m_tabs;
    const int nFirst = tabs.FindItemByHwnd(pFirst->m_hWnd);
    CRect rcClient;
    tabs.GetClientRect(&rcClient);
    CPoint pt(-1, rcClient.CenterPoint().y);
    for (int x = 0; x < rcClient.right && pt.x < 0; ++x)
    {
        if (tabs.HitTest(CPoint(x, pt.y)) == nFirst)
            pt.x = x + 4;
    }
    ASSERT_GE(pt.x, 0);
    tabs.ClientToScreen(&pt);
    // the frame builds no menu: none is shown, the tab's child is active
    tabs.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tabs.m_hWnd), MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(m_pFrame->MDIGetActive(), pFirst);
    EXPECT_FALSE(IsPopupTrackingActive());
}

class MdiTabLayerGallery : public MdiTabLayerTest, public ::testing::WithParamInterface<int>
{
protected:
    void TearDown() override
    {
        MdiTabLayerTest::TearDown();
        g_PaintManager.InstallPaintManager(nullptr);
    }
};

TEST_P(MdiTabLayerGallery, FrameWithItsStrip)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(GetParam())));
    m_pFrame->m_tabs.ModifyTabWndStyle(0, CExtTabCore::StyleClose, true);
    ASSERT_NE(AddChild("First"), nullptr);
    ASSERT_NE(AddChild("Second"), nullptr);
    kxgui::PumpUntilIdle();
    // what the frame's idle layout would do once the strip appeared
    EXPECT_NE(m_pFrame->m_nIdleFlags & CFrameWnd::idleLayout, 0u);
    m_pFrame->RecalcLayout();
    kxgui::Activate(m_pFrame->m_hWnd);
    m_pFrame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_pFrame->m_hWnd);
    ASSERT_FALSE(shot.IsEmpty());
    EXPECT_FALSE(kxgui::SaveArtifact(shot, std::string("mdi-tabs-") + ExtTestThemeName(GetParam()) + ".png").empty());
    EXPECT_TRUE(m_pFrame->m_tabs.IsWindowVisible());
    EXPECT_EQ(m_pFrame->m_tabs.GetItemCount(), 2);
    CRect rcStrip;
    m_pFrame->m_tabs.GetWindowRect(&rcStrip);
    m_pFrame->ScreenToClient(&rcStrip);
    EXPECT_GT(rcStrip.Height(), 10) << rcStrip.left << "," << rcStrip.top << "," << rcStrip.right << ","
                                    << rcStrip.bottom;
}

INSTANTIATE_TEST_SUITE_P(Themes, MdiTabLayerGallery, ::testing::Range(0, kExtTestThemeCount));

} // namespace
