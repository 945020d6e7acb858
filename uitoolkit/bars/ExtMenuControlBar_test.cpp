// The menu bar, the MDI buttons and the MDI tab window in a test MDI frame
// with toolkit docking, a tool bar and documents of two templates (one menu
// with the window-list popup, one without): the keyboard protocol driven
// with real input, moving between menus and system menus, following the
// active document, the maximised child's buttons, and the frame in every
// theme.
#include "framework/win/DocTemplate.h"
#include "framework/win/Document.h"
#include "framework/win/MdiFrameWnd.h"
#include "framework/win/OleDocument.h"
#include "framework/win/View.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/bars/ExtMenuControlBar.h"
#include "uitoolkit/bars/ExtTabMdiWnd.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/testsupport/ExtTestPump.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace
{

const char* const kProfile = "menu-bar-test";
const UINT kFrameMenu = 0x7500, kAlphaMenu = 0x7510, kBetaMenu = 0x7520;
const UINT kIdMenuBar = AFX_IDW_CONTROLBAR_FIRST + 41, kIdToolBar = AFX_IDW_CONTROLBAR_FIRST + 42;

class CMenuTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CMenuTestDoc)
};
IMPLEMENT_DYNCREATE(CMenuTestDoc, CDocument)

class CMenuTestView : public CView
{
    DECLARE_DYNCREATE(CMenuTestView)
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, RGB(255, 255, 255));
    }
};
IMPLEMENT_DYNCREATE(CMenuTestView, CView)

// A print preview as the frame's active view.
class CTestPreviewView : public CPreviewView
{
public:
    void OnDraw(CDC*) override {}
};

class CMenuTestFrame : public CMDIFrameWnd
{
public:
    CExtMenuControlBar m_wndMenuBar;
    CExtToolControlBar m_wndToolBar;
    CExtTabMdiWnd m_wndTabs;
    bool m_bRefuseClose = false;
    std::vector<HWND> m_arrSystemMenus; // windows whose system menu was prepared

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (m_wndMenuBar.TranslateMainFrameMessage(pMsg))
            return TRUE;
        return CMDIFrameWnd::PreTranslateMessage(pMsg);
    }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CMDIFrameWnd::OnCreate(lpcs) == -1 || !CExtControlBar::EnableFrameDocking(this) ||
            !g_CmdManager->SetupProfile(kProfile, m_hWnd) ||
            !g_CmdManager->LoadMenuResourceCommands(kProfile, kAlphaMenu) ||
            !g_CmdManager->LoadMenuResourceCommands(kProfile, kBetaMenu))
            return -1;
        m_wndMenuBar.SetMdiWindowPopupName(" Win&dow ");
        if (!m_wndMenuBar.Create(nullptr, this, kIdMenuBar, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC) ||
            !m_wndToolBar.Create("Tools", this, kIdToolBar, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC) ||
            !m_wndToolBar.LoadToolBarResource(128) || !m_wndTabs.Create(this, CRect(0, 0, 0, 0), 0x7E00))
            return -1;
        m_wndMenuBar.EnableDocking(CBRS_ALIGN_ANY);
        m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_wndMenuBar, AFX_IDW_DOCKBAR_TOP);
        DockControlBar(&m_wndToolBar, AFX_IDW_DOCKBAR_TOP);
        return 0;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CExtMenuControlBar::g_nMsgPrepareSystemMenu)
        {
            m_arrSystemMenus.push_back(reinterpret_cast<CWnd*>(lParam)->GetSafeHwnd());
            return 0;
        }
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE && m_bRefuseClose)
            return 0;
        return CMDIFrameWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override {}
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMenuTestFrame, CMDIFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

class ExtMenuControlBarTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        g_nAnimation = CExtPopupBaseWnd::g_nDefaultAnimationKind;
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
        // every item shown, none folded away as rarely used
        g_bCollapse = CExtPopupMenuWnd::g_bCollapseRarelyUsed;
        CExtPopupMenuWnd::g_bCollapseRarelyUsed = false;
        // the keys here follow each other faster than a hand types them; the
        // auto-repeat filter has tests of its own
        g_nRepeatFilterMs = CExtPopupMenuTracker::g_nKeyRepeatFilterMs;
        CExtPopupMenuTracker::g_nKeyRepeatFilterMs = 0;
        g_pApp = new CWinApp("Kestrelux");
        g_pAlpha = new CMultiDocTemplate(kAlphaMenu, RUNTIME_CLASS(CMenuTestDoc), RUNTIME_CLASS(CMDIChildWnd),
                                         RUNTIME_CLASS(CMenuTestView));
        g_pBeta = new CMultiDocTemplate(kBetaMenu, RUNTIME_CLASS(CMenuTestDoc), RUNTIME_CLASS(CMDIChildWnd),
                                        RUNTIME_CLASS(CMenuTestView));
        g_pAlpha->LoadTemplate();
        g_pBeta->LoadTemplate();
        g_pFrame = new CMenuTestFrame;
        g_pFrame->Create(nullptr, "Kestrelux menu bar test", WS_OVERLAPPEDWINDOW, CRect(10, 10, 650, 450), nullptr,
                         MAKEINTRESOURCEA(kFrameMenu));
        g_pApp->m_pMainWnd = g_pFrame;
        g_pFrame->ShowWindow(SW_SHOW);
        g_pFrame->RecalcLayout();
    }
    static void TearDownTestSuite()
    {
        g_pApp->m_pMainWnd = nullptr;
        g_pFrame->DestroyWindow();
        delete g_pFrame;
        delete g_pAlpha;
        delete g_pBeta;
        delete g_pApp;
        g_CmdManager->ResetProfile(kProfile);
        g_PaintManager.InstallPaintManager(nullptr);
        CExtPopupBaseWnd::g_nDefaultAnimationKind = g_nAnimation;
        CExtPopupMenuWnd::g_bCollapseRarelyUsed = g_bCollapse;
        CExtPopupMenuTracker::g_nKeyRepeatFilterMs = g_nRepeatFilterMs;
        kxgui::PumpUntilIdle();
    }
    void SetUp() override
    {
        ASSERT_NE(g_pFrame->GetSafeHwnd(), nullptr);
        kxgui::Activate(g_pFrame->m_hWnd);
        Pump();
    }
    void TearDown() override
    {
        CloseMenus();
        CExtToolControlBar::CancelTrackingInAllBars();
        Pump();
        if (Bar().IsKeyboardMode())
            Bar().UpdateKeyboardHighlight(true);
        g_pFrame->m_bRefuseClose = false;
        while (CMDIChildWnd* pChild = g_pFrame->MDIGetActive())
            pChild->MDIDestroy();
        g_ResourceManager->SetRTLMode(-1);
        Bar().RebuildMenuBar(true);
        Pump();
    }

    static CExtMenuControlBar& Bar() { return g_pFrame->m_wndMenuBar; }
    static void Pump() { PumpAppUntilIdle(*g_pApp); }
    static bool PumpUntil(const std::function<bool()>& done) { return PumpAppUntil(*g_pApp, done); }
    static CExtPopupMenuWnd* TopPopup() { return CExtPopupMenuWnd::GetTracker().GetTopPopup(); }
    // Real keys pumped through the application's pre-translation, as the
    // program's loop does: without it the frame never sees Alt+Space first,
    // the system's translation turns it into a character and the default
    // handling runs the system's own modal menu loop.
    static void Keys(kxgui::InputScript& script)
    {
        script.Send();
        Pump();
    }
    static void Key(WORD vk, bool bAlt = false)
    {
        kxgui::InputScript script;
        if (bAlt)
            script.KeyDown(VK_MENU);
        script.Key(vk);
        if (bAlt)
            script.KeyUp(VK_MENU);
        Keys(script);
    }
    // A menu takes keys once its opening animation (one timer step even
    // without an effect) is over, as it does for a user.
    static bool WaitForMenu()
    {
        return PumpUntil(
            [] { return TopPopup() != nullptr && CExtPopupMenuWnd::GetTracker().GetAnimatingPopup() == nullptr; });
    }
    // Escape until no menu is open, within the pump's limit.
    static bool CloseMenus()
    {
        for (int i = 0; i < 4 && TopPopup() != nullptr; ++i)
        {
            WaitForMenu();
            Key(VK_ESCAPE);
            PumpUntil([] { return TopPopup() == nullptr; });
        }
        return TopPopup() == nullptr;
    }
    // The command of the open menu's first item; 0 without a menu.
    static UINT TopFirstCommand() { return TopPopup() != nullptr ? TopPopup()->ItemGetCmdID(0) : 0; }

    static CMDIChildWnd* OpenDocument(CMultiDocTemplate* pTemplate)
    {
        CDocument* pDoc = pTemplate->OpenDocumentFile(nullptr);
        Pump();
        return pDoc != nullptr ? g_pFrame->MDIGetActive() : nullptr;
    }
    // The texts of the buttons, the MDI buttons as "<doc>" and "<right>".
    static std::string ButtonTexts()
    {
        std::string s;
        for (int i = 0; i < Bar().GetButtonsCount(); ++i)
        {
            const CExtBarButton* pButton = Bar().GetButton(i);
            if (!s.empty())
                s += "|";
            if (pButton->IsKindOf(RUNTIME_CLASS(CExtBarMdiRightButton)))
                s += "<right>";
            else if (pButton->IsKindOf(RUNTIME_CLASS(CExtBarMdiDocButton)))
                s += "<doc>";
            else
                s += LPCTSTR(pButton->GetText());
        }
        return s;
    }
    static int IndexOf(const char* pszText)
    {
        for (int i = 0; i < Bar().GetButtonsCount(); ++i)
            if (Bar().GetButton(i)->GetText() == pszText)
                return i;
        return -1;
    }
    static void Maximize(CMDIChildWnd* pChild)
    {
        g_pFrame->MDIMaximize(pChild);
        Pump();
    }

    static CWinApp* g_pApp;
    static CMultiDocTemplate* g_pAlpha;
    static CMultiDocTemplate* g_pBeta;
    static CMenuTestFrame* g_pFrame;
    static int g_nAnimation;
    static bool g_bCollapse;
    static int g_nRepeatFilterMs;
};
CWinApp* ExtMenuControlBarTest::g_pApp = nullptr;
CMultiDocTemplate* ExtMenuControlBarTest::g_pAlpha = nullptr;
CMultiDocTemplate* ExtMenuControlBarTest::g_pBeta = nullptr;
CMenuTestFrame* ExtMenuControlBarTest::g_pFrame = nullptr;
int ExtMenuControlBarTest::g_nAnimation = 0;
bool ExtMenuControlBarTest::g_bCollapse = true;
int ExtMenuControlBarTest::g_nRepeatFilterMs = 0;

TEST_F(ExtMenuControlBarTest, TheFrameMenuBecomesTheBar)
{
    EXPECT_EQ(::GetMenu(g_pFrame->m_hWnd), nullptr);
    EXPECT_EQ(ButtonTexts(), "&File|&View|&Help");
    EXPECT_EQ(Bar().GetMdiWindowPopupName(), "Window");
    // a top-level command the application never registered keeps its button
    const CExtCmdItem* pHelp = g_CmdManager->FindCommand(kProfile, 0x7504);
    ASSERT_NE(pHelp, nullptr);
    EXPECT_EQ(pHelp->m_sMenuText, "&Help");
}

TEST_F(ExtMenuControlBarTest, TheTabStripFollowsTheChildren)
{
    CExtTabMdiWnd& tabs = g_pFrame->m_wndTabs;
    EXPECT_FALSE(tabs.IsWindowVisible());
    // hidden, the strip takes no room from the documents' area
    const auto clientTop = []
    {
        CRect rc;
        ::GetWindowRect(g_pFrame->m_hWndMDIClient, &rc);
        return rc.top;
    };
    const int nTopWithoutTabs = clientTop();
    CMDIChildWnd* pFirst = OpenDocument(g_pAlpha);
    ASSERT_NE(pFirst, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return tabs.IsWindowVisible() && tabs.GetItemCount() == 1; }));
    CRect rcTabs;
    tabs.GetWindowRect(&rcTabs);
    EXPECT_GT(rcTabs.Height(), 0);
    EXPECT_EQ(clientTop(), nTopWithoutTabs + rcTabs.Height());
    g_pFrame->OnWindowNew();
    CMDIChildWnd* pSecond = g_pFrame->MDIGetActive();
    ASSERT_TRUE(PumpUntil([&] { return tabs.GetItemCount() == 2; }));
    std::vector<std::string> arrTexts;
    for (int i = 0; i < tabs.GetItemCount(); ++i)
        arrTexts.push_back(LPCTSTR(*tabs.OnQueryItemText(tabs.GetItem(i))));
    std::sort(arrTexts.begin(), arrTexts.end());
    EXPECT_EQ(arrTexts, (std::vector<std::string>{"Alpha1:1", "Alpha1:2"}));
    EXPECT_EQ(reinterpret_cast<HWND>(tabs.GetSelectedItem()->m_lParam), pSecond->m_hWnd);

    // a tab selects its child and the child's activation its tab
    tabs.SelectItem(tabs.FindItemByHwnd(pFirst->m_hWnd), true, true);
    EXPECT_EQ(g_pFrame->MDIGetActive(), pFirst);
    g_pFrame->MDIActivate(pSecond);
    EXPECT_EQ(reinterpret_cast<HWND>(tabs.GetSelectedItem()->m_lParam), pSecond->m_hWnd);

    // Close disabled in the active child's system menu disables the button
    ::EnableMenuItem(::GetSystemMenu(pSecond->m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    tabs.SyncAllItems();
    EXPECT_EQ(tabs.GetTabWndStyle() & CExtTabWnd::StyleCloseEnabled, 0u);
    ::EnableMenuItem(::GetSystemMenu(pSecond->m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    tabs.SyncAllItems();
    EXPECT_NE(tabs.GetTabWndStyle() & CExtTabWnd::StyleCloseEnabled, 0u);

    // the strip leaves itself out of a frame's query, and answers no other
    CExtControlBar::QUERY_REPOSITION_CALC_EFFECT_DATA frameQuery(reposQuery, g_pFrame, 0, 0xFFFF, 0, nullptr, nullptr,
                                                                 TRUE);
    tabs.SendMessage(CExtControlBar::g_nMsgQueryRepositionCalcEffect, frameQuery);
    EXPECT_TRUE(frameQuery.IsExcluded());
    CExtControlBar::QUERY_REPOSITION_CALC_EFFECT_DATA barQuery(reposQuery, &Bar(), 0, 0xFFFF, 0, nullptr, nullptr,
                                                               TRUE);
    tabs.SendMessage(CExtControlBar::g_nMsgQueryRepositionCalcEffect, barQuery);
    EXPECT_FALSE(barQuery.IsExcluded());

    // hidden while a print preview is the frame's view
    CTestPreviewView preview;
    ASSERT_TRUE(preview.Create(nullptr, "preview", WS_CHILD, CRect(0, 0, 10, 10), g_pFrame, 0x7E01));
    CView* pOldView = g_pFrame->GetActiveView();
    g_pFrame->SetActiveView(&preview, FALSE);
    g_pFrame->RecalcLayout();
    EXPECT_FALSE(tabs.IsWindowVisible());
    g_pFrame->SetActiveView(pOldView, FALSE);
    g_pFrame->RecalcLayout();
    EXPECT_TRUE(tabs.IsWindowVisible());
    preview.DestroyWindow();

    // closing removes the tab; the last one hides the strip
    const HWND hWndSecond = pSecond->m_hWnd;
    pSecond->MDIDestroy();
    EXPECT_EQ(tabs.FindItemByHwnd(hWndSecond), -1);
    pFirst->MDIDestroy();
    ASSERT_TRUE(PumpUntil([&] { return !tabs.IsWindowVisible(); }));
}

TEST_F(ExtMenuControlBarTest, AltHighlightsTheFirstMenuAndAltOrEscapeRemovesIt)
{
    Key(VK_MENU);
    ASSERT_TRUE(PumpUntil([] { return Bar().IsKeyboardMode(); }));
    EXPECT_EQ(Bar().GetHighlightedButton(), 0);
    EXPECT_NE(Bar().GetButtonStyle(0) & TBBS_PRESSED, 0u);
    EXPECT_EQ(TopPopup(), nullptr);
    Key(VK_MENU);
    ASSERT_TRUE(PumpUntil([] { return !Bar().IsKeyboardMode(); }));
    EXPECT_EQ(Bar().GetButtonStyle(0) & TBBS_PRESSED, 0u);

    Key(VK_MENU);
    ASSERT_TRUE(PumpUntil([] { return Bar().IsKeyboardMode(); }));
    // Right moves the highlight, Escape ends the mode
    Key(VK_RIGHT);
    ASSERT_TRUE(PumpUntil([] { return Bar().GetHighlightedButton() == 1; }));
    Key(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([] { return !Bar().IsKeyboardMode(); }));
    EXPECT_EQ(Bar().GetHighlightedButton(), -1);
}

TEST_F(ExtMenuControlBarTest, MnemonicsOpenTheirMenuWithTheFirstItemSelected)
{
    const int nFile = IndexOf("&File");
    kxgui::PressKey('F', true);
    ASSERT_TRUE(WaitForMenu());
    EXPECT_EQ(Bar().GetMenuTrackingButton(), nFile);
    EXPECT_NE(TopPopup()->TrackFlagsGet() & CExtPopupMenuWnd::TRACK_SELECT_FIRST, 0u);
    EXPECT_EQ(TopPopup()->ItemGetCmdID(0), 0x7501u);
    CExtToolControlBar::CancelTrackingInAllBars();
}

TEST_F(ExtMenuControlBarTest, TheBarFollowsTheActiveDocument)
{
    CMDIChildWnd* pAlpha = OpenDocument(g_pAlpha);
    ASSERT_NE(pAlpha, nullptr);
    ASSERT_TRUE(PumpUntil([] { return ButtonTexts() == "&File|&Edit|Win&dow |&Help"; })) << ButtonTexts();
    const UINT nEditCmd = Bar().GetButtonID(IndexOf("&Edit"));
    EXPECT_NE(g_CmdManager->FindCommand(kProfile, nEditCmd), nullptr);
    // the window-list popup lists the open windows: its name matches without
    // the ampersand and blanks
    CExtBarButton* pWindow = Bar().GetButton(IndexOf("Win&dow "));
    EXPECT_TRUE(pWindow->IsAppendMdiWindows());

    CMDIChildWnd* pBeta = OpenDocument(g_pBeta);
    ASSERT_NE(pBeta, nullptr);
    ASSERT_TRUE(PumpUntil([] { return ButtonTexts() == "&File|&Project|&WINDOW"; })) << ButtonTexts();
    // the previous build's popup commands are gone; a different case is no match
    for (UINT nID = 65534; nID > 65500; --nID)
        if (const CExtCmdItem* pCmd = g_CmdManager->FindCommand(kProfile, nID))
            EXPECT_NE(pCmd->m_sMenuText, "&Edit") << nID;
    EXPECT_FALSE(Bar().GetButton(IndexOf("&WINDOW"))->IsAppendMdiWindows());

    g_pFrame->MDIActivate(pAlpha);
    ASSERT_TRUE(PumpUntil([] { return ButtonTexts() == "&File|&Edit|Win&dow |&Help"; })) << ButtonTexts();
    Bar().CExtToolControlBar::TrackButtonMenu(IndexOf("Win&dow "), false);
    ASSERT_TRUE(WaitForMenu());
    std::vector<UINT> arrIds;
    for (int i = 0; i < TopPopup()->ItemGetCount(); ++i)
        arrIds.push_back(TopPopup()->ItemGetCmdID(i));
    EXPECT_EQ(std::count_if(arrIds.begin(), arrIds.end(), [](UINT n) { return CExtCmdItem::IsMdiWindowListCmdID(n); }),
              2);
    CExtToolControlBar::CancelTrackingInAllBars();
    Pump();

    // right to left: the buttons in reverse order, the document button first
    Maximize(pAlpha);
    g_ResourceManager->SetRTLMode(1);
    Bar().RebuildMenuBar(true);
    Pump();
    EXPECT_EQ(ButtonTexts(), "<doc>|&Help|Win&dow |&Edit|&File|<right>");

    // the last document closed, the frame's own menu is back
    g_ResourceManager->SetRTLMode(-1);
    pAlpha->MDIDestroy();
    pBeta->MDIDestroy();
    ASSERT_TRUE(PumpUntil([] { return ButtonTexts() == "&File|&View|&Help"; })) << ButtonTexts();
}

TEST_F(ExtMenuControlBarTest, MaximisedChildButtons)
{
    CMDIChildWnd* pChild = OpenDocument(g_pAlpha);
    ASSERT_NE(pChild, nullptr);
    Maximize(pChild);
    ASSERT_TRUE(PumpUntil([] { return ButtonTexts() == "<doc>|&File|&Edit|Win&dow |&Help|<right>"; })) << ButtonTexts();
    // the right button stands at the bar's right end
    auto* pRight = static_cast<CExtBarMdiRightButton*>(Bar().GetButton(Bar().GetButtonsCount() - 1));
    CRect rcClient;
    Bar().GetClientRect(&rcClient);
    EXPECT_EQ(pRight->GetRect().right, rcClient.right - 1);
    EXPECT_LT(Bar().GetButton(4)->GetRect().right, pRight->GetRect().left);

    // every part's tip is the program's text; help has none
    CExtMenuControlBar::MDI_BUTTONS_INFO info;
    ASSERT_TRUE(pRight->GetInfo(info));
    const struct
    {
        const CRect& rc;
        const char* pszTip;
    } kTips[] = {{info.m_rcMinimize, "Reduce the window to an icon"},
                 {info.m_rcRestore, "Restore the window to normal size"},
                 {info.m_rcClose, "Close the active window and prompts to save the projects"}};
    for (const auto& tip : kTips)
    {
        ASSERT_FALSE(tip.rc.IsRectEmpty()) << tip.pszTip;
        TOOLINFOA ti = {};
        ASSERT_NE(pRight->ToolHitTest(tip.rc.CenterPoint(), &ti), -1) << tip.pszTip;
        EXPECT_STREQ(ti.lpszText, tip.pszTip);
        std::free(ti.lpszText);
    }
    EXPECT_TRUE(info.m_rcMaximize.IsRectEmpty());
    EXPECT_TRUE(info.m_rcHelp.IsRectEmpty());

    // restoring takes both away
    g_pFrame->MDIRestore(pChild);
    ASSERT_TRUE(PumpUntil([] { return ButtonTexts() == "&File|&Edit|Win&dow |&Help"; })) << ButtonTexts();
}

TEST_F(ExtMenuControlBarTest, ChildWithoutMinimiseBoxAndWithoutClose)
{
    CMDIChildWnd* pChild = OpenDocument(g_pAlpha);
    ASSERT_NE(pChild, nullptr);
    pChild->ModifyStyle(WS_MINIMIZEBOX, 0);
    ::EnableMenuItem(::GetSystemMenu(pChild->m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    Maximize(pChild);
    ASSERT_TRUE(PumpUntil([] { return Bar().GetButtonsCount() == 6; })) << ButtonTexts();
    auto* pRight = static_cast<CExtBarMdiRightButton*>(Bar().GetButton(5));
    CExtMenuControlBar::MDI_BUTTONS_INFO info;
    ASSERT_TRUE(pRight->GetInfo(info));
    EXPECT_FALSE(info.m_rcMaximize.IsRectEmpty());
    EXPECT_TRUE(info.m_rcMinimize.IsRectEmpty());
    EXPECT_TRUE(info.m_rcRestore.IsRectEmpty());
    EXPECT_TRUE(info.m_rcClose.IsRectEmpty());
    TOOLINFOA ti = {};
    ASSERT_NE(pRight->ToolHitTest(info.m_rcMaximize.CenterPoint(), &ti), -1);
    EXPECT_STREQ(ti.lpszText, "Enlarge the window to full size");
    std::free(ti.lpszText);

    // no close by a double click on the document button
    auto* pDoc = static_cast<CExtBarMdiDocButton*>(Bar().GetButton(0));
    EXPECT_FALSE(pDoc->OnMouseDblClick(pDoc->GetRect().CenterPoint()));
    Pump();
    EXPECT_TRUE(::IsWindow(pChild->m_hWnd));

    // a real click on the maximise part restores the child
    kxgui::Click(Bar().m_hWnd, info.m_rcMaximize.CenterPoint());
    ASSERT_TRUE(PumpUntil([&] { return !pChild->IsZoomed(); }));
    ASSERT_TRUE(PumpUntil([] { return Bar().GetButtonsCount() == 4; })) << ButtonTexts();
}

TEST_F(ExtMenuControlBarTest, FrameInEveryTheme)
{
    CMDIChildWnd* pChild = OpenDocument(g_pAlpha);
    ASSERT_NE(pChild, nullptr);
    OpenDocument(g_pAlpha);
    g_pFrame->MDIActivate(pChild);
    Maximize(pChild);
    for (int nTheme = 0; nTheme < 4; ++nTheme)
    {
        g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme));
        g_pFrame->RecalcLayout();
        g_pFrame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        Pump();
        ASSERT_TRUE(Bar().CExtToolControlBar::TrackButtonMenu(IndexOf("&File"), true));
        ASSERT_TRUE(WaitForMenu());
        Pump();
        // the screen capture of a window holds only what that window shows:
        // the open menu, a window of its own, is laid over the frame's
        kxgui::PixelBuffer shot = kxgui::CaptureScreen(g_pFrame->m_hWnd, false);
        const kxgui::PixelBuffer menu = kxgui::CaptureScreen(TopPopup()->m_hWnd, false);
        CRect rcFrame, rcMenu;
        g_pFrame->GetWindowRect(&rcFrame);
        TopPopup()->GetWindowRect(&rcMenu);
        // only inside the menu's window region, when it has one
        const HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
        const bool bRegion = ::GetWindowRgn(TopPopup()->m_hWnd, hRgn) != ERROR;
        for (int y = 0; y < menu.height; ++y)
            for (int x = 0; x < menu.width; ++x)
            {
                const int nX = rcMenu.left - rcFrame.left + x, nY = rcMenu.top - rcFrame.top + y;
                if (nX >= 0 && nY >= 0 && nX < shot.width && nY < shot.height && (!bRegion || ::PtInRegion(hRgn, x, y)))
                    shot.pixels[static_cast<size_t>(nY) * shot.width + nX] =
                        menu.pixels[static_cast<size_t>(y) * menu.width + x];
            }
        ::DeleteObject(hRgn);
        kxgui::SaveArtifact(shot, std::string("menubar_") + ExtTestThemeName(nTheme) + ".png");
        CExtToolControlBar::CancelTrackingInAllBars();
        ASSERT_TRUE(PumpUntil([] { return TopPopup() == nullptr; }));
    }
}

TEST_F(ExtMenuControlBarTest, AltSpaceAndAltMinusOpenTheSystemMenus)
{
    CMDIChildWnd* pChild = OpenDocument(g_pBeta);
    ASSERT_NE(pChild, nullptr);
    g_pFrame->m_arrSystemMenus.clear();
    Key(VK_SPACE, true);
    ASSERT_TRUE(WaitForMenu());
    EXPECT_EQ(TopPopup()->GetCmdTargetWnd(), g_pFrame->m_hWnd);
    EXPECT_TRUE(Bar().IsSystemMenuShown());
    ASSERT_TRUE(CloseMenus());
    EXPECT_FALSE(Bar().IsSystemMenuShown());

    // a child that is not maximised: its own system menu at its place
    Key(VK_OEM_MINUS, true);
    ASSERT_TRUE(WaitForMenu());
    EXPECT_EQ(TopPopup()->GetCmdTargetWnd(), pChild->m_hWnd);
    ASSERT_TRUE(CloseMenus());
    // maximised: through the document button
    Maximize(pChild);
    ASSERT_TRUE(PumpUntil([] { return ButtonTexts() == "<doc>|&File|&Project|&WINDOW|<right>"; })) << ButtonTexts();
    Key(VK_OEM_MINUS, true);
    ASSERT_TRUE(WaitForMenu());
    EXPECT_EQ(TopPopup()->GetCmdTargetWnd(), pChild->m_hWnd);
    EXPECT_EQ(Bar().GetMenuTrackingButton(), 0);
    ASSERT_TRUE(CloseMenus());
    // and the document button's click
    kxgui::Click(Bar().m_hWnd, Bar().GetButton(0)->GetRect().CenterPoint());
    ASSERT_TRUE(WaitForMenu());
    EXPECT_EQ(TopPopup()->GetCmdTargetWnd(), pChild->m_hWnd);
    EXPECT_EQ(g_pFrame->m_arrSystemMenus,
              (std::vector<HWND>{g_pFrame->m_hWnd, pChild->m_hWnd, pChild->m_hWnd, pChild->m_hWnd}));
    EXPECT_TRUE(CloseMenus());
}

TEST_F(ExtMenuControlBarTest, RightAndLeftGoRoundTheMenusAndTheSystemMenus)
{
    CMDIChildWnd* pChild = OpenDocument(g_pBeta);
    ASSERT_NE(pChild, nullptr);
    Maximize(pChild);
    ASSERT_TRUE(PumpUntil([] { return ButtonTexts() == "<doc>|&File|&Project|&WINDOW|<right>"; })) << ButtonTexts();
    // the open menu: a menu button's text, "frame" or "child" for a system menu
    const auto open = [pChild]() -> std::string
    {
        if (TopPopup() == nullptr)
            return "none";
        const int nTracked = Bar().GetMenuTrackingButton();
        if (nTracked > 0)
            return LPCTSTR(Bar().GetButton(nTracked)->GetText());
        return TopPopup()->GetCmdTargetWnd() == pChild->m_hWnd ? "child" : "frame";
    };
    const auto press = [&open](WORD vk, const char* pszExpected)
    {
        Key(vk);
        return PumpUntil([&] { return open() == pszExpected && WaitForMenu(); });
    };
    const auto submenuShown = []
    {
        CExtPopupMenuWnd* pSub = TopPopup() != nullptr ? TopPopup()->ItemGetPopup(0) : nullptr;
        return pSub != nullptr && pSub->GetSafeHwnd() != nullptr && pSub->IsWindowVisible() &&
               CExtPopupMenuWnd::GetTracker().GetAnimatingPopup() == nullptr;
    };

    Key('W', true);
    ASSERT_TRUE(WaitForMenu());
    ASSERT_EQ(open(), "&WINDOW");
    const struct
    {
        WORD vk;
        const char* pszOpen;
    } kSteps[] = {{VK_RIGHT, "frame"}, {VK_RIGHT, "child"}, {VK_RIGHT, "&File"},
                  {VK_LEFT, "child"},  {VK_LEFT, "frame"},  {VK_LEFT, "&WINDOW"}};
    for (const auto& step : kSteps)
        ASSERT_TRUE(press(step.vk, step.pszOpen)) << step.pszOpen << " expected, open: " << open();

    // from a submenu: Left closes it, Right at its edge goes on to the next menu
    ASSERT_TRUE(press(VK_LEFT, "&Project"));
    Key(VK_RIGHT);
    ASSERT_TRUE(PumpUntil(submenuShown));
    Key(VK_LEFT);
    ASSERT_TRUE(PumpUntil([&] { return !submenuShown(); }));
    EXPECT_EQ(open(), "&Project");
    Key(VK_RIGHT);
    ASSERT_TRUE(PumpUntil(submenuShown));
    ASSERT_TRUE(press(VK_RIGHT, "&WINDOW")) << open();
    EXPECT_TRUE(CloseMenus());
}

TEST_F(ExtMenuControlBarTest, MenuButtonsAreLowerThanToolBarButtons)
{
    // empty bars in a window of their own answer the size they measure from
    CWnd host;
    ASSERT_TRUE(
        host.CreateEx(0, AfxRegisterWndClass(0), "bars", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), nullptr, 0));
    CExtMenuControlBar menuBar;
    CExtToolControlBar toolBar;
    ASSERT_TRUE(menuBar.Create(nullptr, &host, 0x7E10, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(toolBar.Create("Tools", &host, 0x7E11, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    EXPECT_EQ(menuBar.CalcSize(false), CSize(23, 20));
    EXPECT_EQ(toolBar.CalcSize(false), CSize(23, 22));
    // a menu button without an icon is never lower than that
    for (int i = 0; i < Bar().GetButtonsCount(); ++i)
        EXPECT_GE(Bar().GetButton(i)->GetRect().Height(), 20) << i;
    menuBar.DestroyWindow();
    toolBar.DestroyWindow();
    host.DestroyWindow();
}

TEST_F(ExtMenuControlBarTest, ALetterInKeyboardModeOpensItsMenu)
{
    // a menu opened and closed first leaves no tracking behind
    Key('F', true);
    ASSERT_TRUE(WaitForMenu());
    ASSERT_TRUE(CloseMenus());

    Key(VK_MENU);
    ASSERT_TRUE(PumpUntil([] { return Bar().IsKeyboardMode(); }));
    // a letter of no menu is swallowed and keeps the mode
    Key('Q');
    EXPECT_TRUE(Bar().IsKeyboardMode());
    EXPECT_EQ(TopPopup(), nullptr);
    Key('V');
    ASSERT_TRUE(WaitForMenu());
    EXPECT_EQ(Bar().GetMenuTrackingButton(), IndexOf("&View"));
    EXPECT_EQ(TopFirstCommand(), 0x7503u);
    EXPECT_FALSE(Bar().IsKeyboardMode());
    EXPECT_TRUE(CloseMenus());
}

TEST_F(ExtMenuControlBarTest, SystemMenuOfARightToLeftFrameOpensUnderItsRightCorner)
{
    for (const bool bRtl : {false, true})
    {
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(bRtl ? WS_EX_LAYOUTRTL : 0, AfxRegisterWndClass(0), "system menu",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(200, 200, 700, 500), nullptr, 0));
        CRect rcWnd;
        wnd.GetWindowRect(&rcWnd);
        ASSERT_TRUE(Bar().TrackFrameSystemMenu(&wnd, nullptr, true, nullptr, static_cast<DWORD>(-1), false));
        ASSERT_TRUE(WaitForMenu());
        CRect rcPopup;
        TopPopup()->GetWindowRect(&rcPopup);
        // inside the window's width, at the side of its caption icon
        EXPECT_GE(rcPopup.left, rcWnd.left) << bRtl;
        EXPECT_LE(rcPopup.right, rcWnd.right) << bRtl;
        if (bRtl)
        {
            EXPECT_GT(rcPopup.right, rcWnd.right - ::GetSystemMetrics(SM_CXFRAME) - 8);
        }
        else
        {
            EXPECT_LT(rcPopup.left, rcWnd.left + ::GetSystemMetrics(SM_CXFRAME) + 8);
        }
        CExtToolControlBar::CancelTrackingInAllBars();
        ASSERT_TRUE(PumpUntil([] { return TopPopup() == nullptr; }));
        wnd.DestroyWindow();
    }
}

TEST_F(ExtMenuControlBarTest, ANarrowFrameWrapsTheMenuBarIntoRows)
{
    ASSERT_NE(OpenDocument(g_pAlpha), nullptr);
    ASSERT_TRUE(PumpUntil([] { return ButtonTexts() == "&File|&Edit|Win&dow |&Help"; })) << ButtonTexts();
    CRect rcFrame;
    g_pFrame->GetWindowRect(&rcFrame);
    const auto rows = []()
    {
        std::vector<int> arrTops;
        for (int i = 0; i < Bar().GetButtonsCount(); ++i)
        {
            const CExtBarButton* pButton = Bar().GetButton(i);
            EXPECT_TRUE(pButton->IsVisible()) << i;
            if (std::find(arrTops.begin(), arrTops.end(), pButton->GetRect().top) == arrTops.end())
                arrTops.push_back(pButton->GetRect().top);
        }
        return arrTops.size();
    };
    EXPECT_EQ(rows(), 1u);
    const int nOneRow = []
    {
        CRect rc;
        Bar().GetWindowRect(&rc);
        return rc.Height();
    }();
    g_pFrame->SetWindowPos(nullptr, 0, 0, 130, rcFrame.Height(), SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_GE(rows(), 2u);
    CRect rcBar;
    Bar().GetWindowRect(&rcBar);
    EXPECT_GT(rcBar.Height(), nOneRow);
    g_pFrame->SetWindowPos(nullptr, 0, 0, rcFrame.Width(), rcFrame.Height(), SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(rows(), 1u);
}

// Last: Alt+Tab leaves the system's window switching in a state that
// keeps the next release of Alt from reaching the bar.
TEST_F(ExtMenuControlBarTest, AltWithAnotherKeyBetweenDoesNotHighlight)
{
    g_pFrame->m_bRefuseClose = true;
    for (WORD vk : {VK_TAB, VK_F4})
    {
        kxgui::InputScript().KeyDown(VK_MENU).Key(vk).KeyUp(VK_MENU).Send();
        Pump();
        EXPECT_FALSE(Bar().IsKeyboardMode()) << vk;
        EXPECT_EQ(Bar().GetHighlightedButton(), -1) << vk;
    }
}

} // namespace
