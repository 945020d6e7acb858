// The "Windows" dialog over a test MDI frame with four children: buttons by
// selection, tiling that minimises the unselected, activation by double
// click, saving that passes over windows without a document, and the
// dialog's picture in every theme.
#include "uitoolkit/controls/ExtMdiWindowsListDlg.h"

#include "framework/win/DocTemplate.h"
#include "framework/win/Document.h"
#include "framework/win/MdiFrameWnd.h"
#include "framework/win/View.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class CListTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CListTestDoc)
};
IMPLEMENT_DYNCREATE(CListTestDoc, CDocument)

class CListTestView : public CView
{
    DECLARE_DYNCREATE(CListTestView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CListTestView, CView)

// Run modelessly, so that a test can drive it.
class CTestWindowsDlg : public CExtMdiWindowsListDlg
{
public:
    using CExtMdiWindowsListDlg::CExtMdiWindowsListDlg;
    bool Enabled(UINT nID) { return GetDlgItem(nID)->IsWindowEnabled() != FALSE; }
    void Select(std::initializer_list<int> items)
    {
        m_listWindows.SetSel(-1, FALSE);
        for (int i : items)
            m_listWindows.SetSel(i, TRUE);
        if (items.size() > 0)
            m_listWindows.SendMessage(LB_SETCARETINDEX, *items.begin(), FALSE);
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EXT_MDI_LIST, LBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(m_listWindows.m_hWnd));
    }
    HWND ItemWindow(int i) { return reinterpret_cast<HWND>(m_listWindows.GetItemData(i)); }
};

class MdiWindowsListTest : public ::testing::Test
{
protected:
    CMDIFrameWnd* m_pFrame = nullptr;
    CMDIChildWnd* m_pChildren[4] = {};
    CListTestDoc* m_pDoc = nullptr;

    void SetUp() override
    {
        m_pFrame = new CMDIFrameWnd;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "mdi", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 700, 520)));
        // child 0 holds a document in a view; the others are bare frames
        m_pDoc = new CListTestDoc;
        m_pDoc->SetTitle("Doc A");
        CCreateContext ctx;
        ctx.m_pNewViewClass = RUNTIME_CLASS(CListTestView);
        ctx.m_pCurrentDoc = m_pDoc;
        const char* const kTitles[4] = {"Alpha", "Bravo", "Charlie", "Delta"};
        for (int i = 0; i < 4; ++i)
        {
            m_pChildren[i] = new CMDIChildWnd;
            ASSERT_TRUE(m_pChildren[i]->Create(nullptr, kTitles[i], WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                                               CFrameWnd::rectDefault, m_pFrame, i == 0 ? &ctx : nullptr));
        }
        m_pChildren[0]->InitialUpdateFrame(m_pDoc, TRUE);
        m_pChildren[0]->SetWindowText("Alpha");
        // the framework shows a frame once it is set up
        for (CMDIChildWnd* pChild : m_pChildren)
            pChild->ShowWindow(SW_SHOW);
        m_pFrame->MDIActivate(m_pChildren[2]);
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        m_pDoc->SetModifiedFlag(FALSE);
        m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    void Open(CTestWindowsDlg& dlg)
    {
        ASSERT_TRUE(dlg.Create(IDD_EXT_MDI_WINDOWS_LIST, m_pFrame));
        kxgui::PumpUntilIdle();
    }
};

TEST_F(MdiWindowsListTest, ListsTheChildrenAndSelectsTheActiveOne)
{
    CTestWindowsDlg dlg(m_pFrame);
    Open(dlg);
    ASSERT_EQ(dlg.m_listWindows.GetCount(), 4);
    const char* const kSorted[4] = {"Alpha", "Bravo", "Charlie", "Delta"};
    for (int i = 0; i < 4; ++i)
    {
        CString s;
        dlg.m_listWindows.GetText(i, s);
        EXPECT_STREQ(s, kSorted[i]);
        EXPECT_EQ(dlg.ItemWindow(i), m_pChildren[i]->m_hWnd);
    }
    EXPECT_EQ(dlg.m_listWindows.GetSelCount(), 1);
    EXPECT_GT(dlg.m_listWindows.GetSel(2), 0);
    dlg.DestroyWindow();
}

TEST_F(MdiWindowsListTest, ButtonsFollowTheSelection)
{
    CTestWindowsDlg dlg(m_pFrame);
    Open(dlg);
    const struct
    {
        std::initializer_list<int> items;
        bool bActivate, bOne, bTwo;
    } kCases[] = {{{}, false, false, false}, {{1}, true, true, false}, {{1, 3}, false, true, true}};
    for (const auto& c : kCases)
    {
        dlg.Select(c.items);
        EXPECT_EQ(dlg.Enabled(IDC_EXT_MDI_ACTIVATE), c.bActivate) << c.items.size();
        for (UINT nID : {IDC_EXT_MDI_SAVE, IDC_EXT_MDI_CLOSE, IDC_EXT_MDI_MINIMIZE})
            EXPECT_EQ(dlg.Enabled(nID), c.bOne) << nID << " " << c.items.size();
        for (UINT nID : {IDC_EXT_MDI_CASCADE, IDC_EXT_MDI_TILE_HORZ, IDC_EXT_MDI_TILE_VERT})
            EXPECT_EQ(dlg.Enabled(nID), c.bTwo) << nID << " " << c.items.size();
        EXPECT_TRUE(dlg.Enabled(IDOK));
    }
    dlg.DestroyWindow();
}

TEST_F(MdiWindowsListTest, TileWithTwoOfFourMinimisesTheOtherTwo)
{
    CTestWindowsDlg dlg(m_pFrame);
    Open(dlg);
    dlg.Select({0, 3});
    dlg.SendMessage(WM_COMMAND, IDC_EXT_MDI_TILE_VERT);
    kxgui::PumpUntilIdle();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m_pChildren[i]->IsIconic() != FALSE, i == 1 || i == 2) << i;
    dlg.DestroyWindow();
}

TEST_F(MdiWindowsListTest, DoubleClickActivatesAndCloses)
{
    CTestWindowsDlg dlg(m_pFrame);
    Open(dlg);
    dlg.Select({3});
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EXT_MDI_LIST, LBN_DBLCLK),
                    reinterpret_cast<LPARAM>(dlg.m_listWindows.m_hWnd));
    kxgui::PumpUntilIdle();
    EXPECT_EQ(m_pFrame->MDIGetActive(), m_pChildren[3]);
    EXPECT_FALSE(dlg.IsWindowVisible()); // a modeless dialog ends by hiding
    if (dlg.m_hWnd != nullptr)
        dlg.DestroyWindow();
}

TEST_F(MdiWindowsListTest, SaveAsksOnlyForWindowsWithADocument)
{
    m_pDoc->SetModifiedFlag(TRUE);
    CTestWindowsDlg dlg(m_pFrame);
    Open(dlg);
    dlg.Select({0, 1});
    std::vector<std::string> prompts;
    {
        // answers the save prompts, not the Windows dialog coming back
        kxgui::DialogAnswerer answerer(
            [&](HWND hWnd)
            {
                if (hWnd == dlg.m_hWnd)
                    return 0;
                char text[256] = {};
                ::GetDlgItemTextA(hWnd, 0xFFFF, text, sizeof(text));
                prompts.push_back(text);
                return IDNO;
            });
        dlg.SendMessage(WM_COMMAND, IDC_EXT_MDI_SAVE);
    }
    // the one document asked; the bare frame was passed over
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_NE(prompts[0].find("Doc A"), std::string::npos) << prompts[0];
    EXPECT_EQ(dlg.m_listWindows.GetCount(), 4);
    dlg.DestroyWindow();
}

class MdiWindowsListGallery : public MdiWindowsListTest, public ::testing::WithParamInterface<int>
{
protected:
    void TearDown() override
    {
        MdiWindowsListTest::TearDown();
        g_PaintManager.InstallPaintManager(nullptr);
    }
};

TEST_P(MdiWindowsListGallery, Screenshot)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(GetParam())));
    CTestWindowsDlg dlg(m_pFrame);
    Open(dlg);
    dlg.Select({1, 2});
    kxgui::Activate(dlg.m_hWnd);
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(dlg.m_hWnd, false);
    ASSERT_FALSE(shot.IsEmpty());
    EXPECT_FALSE(
        kxgui::SaveArtifact(shot, std::string("mdi-windows-list-") + ExtTestThemeName(GetParam()) + ".png").empty());
    // the selected items are painted in the theme's highlight
    CRect rcList;
    dlg.m_listWindows.GetWindowRect(&rcList);
    dlg.ScreenToClient(&rcList);
    CRect rcWindow, rcClient;
    dlg.GetWindowRect(&rcWindow);
    dlg.GetClientRect(&rcClient);
    dlg.ClientToScreen(&rcClient);
    rcList.OffsetRect(rcClient.left - rcWindow.left, rcClient.top - rcWindow.top);
    EXPECT_GT(shot.CountColor(g_PaintManager->GetColor(COLOR_HIGHLIGHT), rcList), 100);
    dlg.DestroyWindow();
}

INSTANTIATE_TEST_SUITE_P(Themes, MdiWindowsListGallery, ::testing::Range(0, kExtTestThemeCount));

} // namespace
