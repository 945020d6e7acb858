// The framework's test MDI application: a template of documents that keep
// a line of text, MDI child frames with one view each, and a main frame with
// a status bar. The tests drive it as a user would through its commands.
#include "framework/win/DocManager.h"
#include "framework/win/DocTemplate.h"
#include "framework/win/Document.h"
#include "framework/win/MdiFrameWnd.h"
#include "framework/win/RecentFileList.h"
#include "framework/win/StatusBar.h"
#include "framework/win/ToolBar.h"
#include "framework/win/View.h"
#include "framework/win/WinThread.h"
#include "framework/win/Dc.h"
#include "framework/win/testapp/TestAppRes.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <fstream>
#include <string>

namespace
{

const char kRegistryKey[] = "KxFrameTests";
const UINT ID_EDIT_BREAK = 32790;

class CTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CTestDoc)
public:
    CString m_text;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
        {
            ar << m_text;
            // A store that fails half way, as a full disk would.
            if (m_text.Find('!') >= 0)
                AfxThrowArchiveException(CArchiveException::genericException);
        }
        else
            ar >> m_text;
    }
    void DeleteContents() override { m_text.Empty(); }
    afx_msg void OnBreak()
    {
        m_text += "!";
        SetModifiedFlag();
    }
    afx_msg void OnTouch()
    {
        m_text += "x";
        SetModifiedFlag();
        UpdateAllViews(nullptr);
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
ON_COMMAND(ID_EDIT_TOUCH, OnTouch)
ON_COMMAND(ID_EDIT_BREAK, OnBreak)
END_MESSAGE_MAP()

class CTestView : public CView
{
    DECLARE_DYNCREATE(CTestView)
public:
    int pings = 0;
    int updates = 0;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override
    {
        ++updates;
        CView::OnUpdate(pSender, lHint, pHint);
    }
    void OnDraw(CDC* pDC) override
    {
        auto* pDoc = static_cast<CTestDoc*>(GetDocument());
        CString text = "Project text: " + (pDoc ? pDoc->m_text : CString());
        pDC->TextOut(10, 10, text);
    }
    afx_msg void OnPing() { ++pings; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestView, CView)
BEGIN_MESSAGE_MAP(CTestView, CView)
ON_COMMAND(ID_VIEW_PING, OnPing)
END_MESSAGE_MAP()

class CTestChildFrame : public CMDIChildWnd
{
    DECLARE_DYNCREATE(CTestChildFrame)
};
IMPLEMENT_DYNCREATE(CTestChildFrame, CMDIChildWnd)

const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_PROJECTS, ID_INDICATOR_CAPS};

class CTestMainFrame : public CMDIFrameWnd
{
public:
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CMDIFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        if (!m_wndToolBar.CreateEx(this) || !m_wndToolBar.LoadToolBar(IDR_MAINFRAME) ||
            !m_wndStatusBar.Create(this, 0x50008200, AFX_IDW_STATUS_BAR) ||
            !m_wndStatusBar.SetIndicators(kIndicators, 3))
            return -1;
        return 0;
    }
    afx_msg void OnUpdateProjects(CCmdUI* pCmdUI)
    {
        CString text;
        text.Format("projects: %d", AfxGetApp()->m_pDocManager->GetOpenDocumentCount());
        pCmdUI->SetText(text);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestMainFrame, CMDIFrameWnd)
ON_WM_CREATE()
ON_UPDATE_COMMAND_UI(ID_INDICATOR_PROJECTS, OnUpdateProjects)
END_MESSAGE_MAP()

class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp("KxFrameTest") {}
    CTestMainFrame* m_pFrame = nullptr;

    BOOL InitInstance() override
    {
        SetRegistryKey(kRegistryKey);
        LoadStdProfileSettings(4);
        AddDocTemplate(new CMultiDocTemplate(IDR_PROJECTTYPE, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestChildFrame),
                                             RUNTIME_CLASS(CTestView)));
        m_pFrame = new CTestMainFrame;
        if (!m_pFrame->LoadFrame(IDR_MAINFRAME))
            return FALSE;
        m_pMainWnd = m_pFrame;
        m_pFrame->SetWindowPos(nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->UpdateWindow();
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    ::GetTempPathA(sizeof(dir), dir);
    return std::string(dir) + name;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class MdiAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kRegistryKey).c_str());
        m_pathA = TempPath("kx_mdi_a.kxp");
        m_pathB = TempPath("kx_mdi_b.kxp");
        ::DeleteFileA(m_pathA.c_str());
        ::DeleteFileA(m_pathB.c_str());
        ASSERT_TRUE(m_app.InitInstance());
        Idle();
    }
    void TearDown() override
    {
        if (m_app.m_pMainWnd)
        {
            // Nothing must ask any more: the documents go unsaved.
            kxgui::DialogAnswerer answerer(IDNO);
            m_app.m_pMainWnd->SendMessage(WM_CLOSE);
        }
        m_app.ExitInstance();
        // The main window's end asks the loop to quit; no loop runs here.
        MSG msg;
        kxgui::PumpUntilIdle();
        while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        {
        }
        ::DeleteFileA(m_pathA.c_str());
        ::DeleteFileA(m_pathB.c_str());
    }

    void Idle()
    {
        kxgui::PumpUntilIdle();
        m_app.OnIdle(0);
        kxgui::PumpUntilIdle();
    }
    void Command(UINT nID) { m_app.m_pFrame->SendMessage(WM_COMMAND, nID, 0); }
    CTestDoc* ActiveDoc()
    {
        CMDIChildWnd* pChild = m_app.m_pFrame->MDIGetActive();
        return pChild ? dynamic_cast<CTestDoc*>(pChild->GetActiveDocument()) : nullptr;
    }
    int OpenCount() { return m_app.m_pDocManager->GetOpenDocumentCount(); }
    int ChildCount()
    {
        int n = 0;
        for (HWND h = ::GetTopWindow(m_app.m_pFrame->m_hWndMDIClient); h; h = ::GetWindow(h, GW_HWNDNEXT))
            if (CWnd::FromHandlePermanent(h))
                ++n;
        return n;
    }

    CTestApp m_app;
    std::string m_pathA, m_pathB;
};

TEST_F(MdiAppTest, NewProjectsGetNumberedTitlesTheTemplateMenuAndAnActiveView)
{
    HMENU hFrameMenu = ::GetMenu(m_app.m_pFrame->m_hWnd);
    Command(ID_FILE_NEW);
    Idle();
    CTestDoc* pDoc = ActiveDoc();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_STREQ(pDoc->GetTitle(), "project1");
    EXPECT_FALSE(pDoc->IsModified());
    CMDIChildWnd* pChild = m_app.m_pFrame->MDIGetActive();
    EXPECT_NE(dynamic_cast<CTestView*>(pChild->GetActiveView()), nullptr);
    // the shared menu of the template replaces the frame's own
    auto* pTemplate = static_cast<CMultiDocTemplate*>(pDoc->GetDocTemplate());
    EXPECT_EQ(::GetMenu(m_app.m_pFrame->m_hWnd), pTemplate->m_hMenuShared);
    EXPECT_NE(pTemplate->m_hMenuShared, hFrameMenu);
    char caption[64] = "";
    ::GetWindowTextA(pChild->m_hWnd, caption, sizeof(caption));
    EXPECT_STREQ(caption, "project1");

    Command(ID_FILE_NEW);
    Idle();
    EXPECT_STREQ(ActiveDoc()->GetTitle(), "project2");
    EXPECT_EQ(OpenCount(), 2);
    EXPECT_EQ(ChildCount(), 2);

    // the last project closed brings the frame's own menu back
    Command(ID_FILE_CLOSE);
    Command(ID_FILE_CLOSE);
    Idle();
    EXPECT_EQ(OpenCount(), 0);
    EXPECT_EQ(::GetMenu(m_app.m_pFrame->m_hWnd), hFrameMenu);
}

TEST_F(MdiAppTest, CommandsRouteToTheActiveViewAndItsDocument)
{
    Command(ID_FILE_NEW);
    Command(ID_FILE_NEW);
    Idle();
    CTestDoc* pSecond = ActiveDoc();
    auto* pView = static_cast<CTestView*>(m_app.m_pFrame->MDIGetActive()->GetActiveView());
    Command(ID_VIEW_PING);
    Command(ID_EDIT_TOUCH);
    EXPECT_EQ(pView->pings, 1);
    EXPECT_STREQ(pSecond->m_text, "x");
    EXPECT_TRUE(pSecond->IsModified());

    // another child activated: the commands follow it
    m_app.m_pFrame->MDINext();
    Idle();
    CTestDoc* pFirst = ActiveDoc();
    ASSERT_NE(pFirst, pSecond);
    Command(ID_EDIT_TOUCH);
    EXPECT_STREQ(pFirst->m_text, "x");
    EXPECT_STREQ(pSecond->m_text, "x");
    EXPECT_EQ(pView->pings, 1);

    // idle update reaches the status bar's indicator
    Idle();
    EXPECT_STREQ(m_app.m_pFrame->m_wndStatusBar.GetPaneText(1), "projects: 2");
}

TEST_F(MdiAppTest, SavedProjectsReopenFromFilesAndTheRecentList)
{
    Command(ID_FILE_NEW);
    Command(ID_EDIT_TOUCH);
    ASSERT_TRUE(ActiveDoc()->DoSave(m_pathA.c_str()));
    EXPECT_FALSE(ActiveDoc()->IsModified());
    EXPECT_STREQ(ActiveDoc()->GetTitle(), "kx_mdi_a.kxp");
    // the archive's text: length byte and characters
    EXPECT_EQ(ReadFileBytes(m_pathA), std::string("\x01x", 2));

    Command(ID_FILE_NEW);
    Command(ID_EDIT_TOUCH);
    Command(ID_EDIT_TOUCH);
    ASSERT_TRUE(ActiveDoc()->DoSave(m_pathB.c_str()));
    Command(ID_FILE_CLOSE);
    Command(ID_FILE_CLOSE);
    Idle();
    ASSERT_EQ(OpenCount(), 0);

    // both open again, each with its own text
    CDocument* pA = m_app.OpenDocumentFile(m_pathA.c_str());
    CDocument* pB = m_app.OpenDocumentFile(m_pathB.c_str());
    Idle();
    ASSERT_NE(pA, nullptr);
    ASSERT_NE(pB, nullptr);
    EXPECT_STREQ(static_cast<CTestDoc*>(pA)->m_text, "x");
    EXPECT_STREQ(static_cast<CTestDoc*>(pB)->m_text, "xx");
    EXPECT_EQ(ChildCount(), 2);
    EXPECT_EQ(ActiveDoc(), pB);

    // opening an open project activates its window instead
    EXPECT_EQ(m_app.OpenDocumentFile(m_pathA.c_str()), pA);
    Idle();
    EXPECT_EQ(ActiveDoc(), pA);
    EXPECT_EQ(OpenCount(), 2);

    // the recent list holds the newest first (activating an open project
    // is no opening) and reopens from the menu
    CRecentFileList& mru = *m_app.m_pRecentFileList;
    EXPECT_EQ(mru[0].CompareNoCase(pB->GetPathName()), 0);
    EXPECT_EQ(mru[1].CompareNoCase(pA->GetPathName()), 0);
    Command(ID_FILE_CLOSE); // closes A
    Idle();
    ASSERT_EQ(OpenCount(), 1);
    Command(ID_FILE_MRU_FILE2);
    Idle();
    ASSERT_EQ(OpenCount(), 2);
    EXPECT_STREQ(ActiveDoc()->m_text, "x");
    EXPECT_EQ(ActiveDoc()->GetPathName().CompareNoCase(mru[0]), 0);

    // the File menu lists the recent files when it opens
    HMENU hFile = ::GetSubMenu(::GetMenu(m_app.m_pFrame->m_hWnd), 0);
    m_app.m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hFile), 0);
    char item[MAX_PATH + 8] = "";
    ::GetMenuStringA(hFile, ID_FILE_MRU_FILE1, item, sizeof(item), MF_BYCOMMAND);
    EXPECT_EQ(std::string(item).rfind("&1 ", 0), 0u) << item;
    EXPECT_NE(std::string(item).find("kx_mdi_a.kxp"), std::string::npos) << item;
    EXPECT_EQ(::GetMenuState(hFile, ID_FILE_MRU_FILE2, MF_BYCOMMAND) & MF_GRAYED, 0u);

    // the list is kept in the profile when the program ends
    m_app.SaveStdProfileSettings();
    CString stored = m_app.GetProfileString("Recent File List", "File1");
    EXPECT_EQ(stored.CompareNoCase(mru[0]), 0);
}

TEST_F(MdiAppTest, ClosingAsksToSaveModifiedProjects)
{
    Command(ID_FILE_NEW);
    Command(ID_EDIT_TOUCH);
    ASSERT_TRUE(ActiveDoc()->DoSave(m_pathA.c_str()));
    Command(ID_EDIT_TOUCH); // modified again: "xx" unsaved
    Command(ID_FILE_NEW);   // an untouched one asks nothing
    Idle();

    {
        kxgui::DialogAnswerer answerer(IDCANCEL);
        m_app.m_pFrame->SendMessage(WM_CLOSE);
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_NE(answerer.Seen()[0].find("Save changes to"), std::string::npos) << answerer.Seen()[0];
        EXPECT_NE(answerer.Seen()[0].find("kx_mdi_a.kxp"), std::string::npos);
    }
    // cancelled: nothing closed
    ASSERT_NE(m_app.m_pMainWnd, nullptr);
    EXPECT_EQ(OpenCount(), 2);

    {
        kxgui::DialogAnswerer answerer(IDYES);
        m_app.m_pFrame->SendMessage(WM_CLOSE);
        EXPECT_EQ(answerer.Seen().size(), 1u);
    }
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
    EXPECT_EQ(ReadFileBytes(m_pathA), std::string("\x02xx", 3));
}

TEST_F(MdiAppTest, AFailedOpenReportsAndLeavesNoDocument)
{
    {
        std::ofstream out(m_pathA, std::ios::binary);
        out << "\x05xy"; // says five characters, holds two
    }
    kxgui::DialogAnswerer answerer(IDOK);
    EXPECT_EQ(m_app.OpenDocumentFile(m_pathA.c_str()), nullptr);
    Idle();
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(OpenCount(), 0);
    EXPECT_EQ(ChildCount(), 0);
}

TEST_F(MdiAppTest, ScreenshotOfTwoProjectWindows)
{
    Command(ID_FILE_NEW);
    Command(ID_EDIT_TOUCH);
    Command(ID_FILE_NEW);
    Command(ID_EDIT_TOUCH);
    Command(ID_EDIT_TOUCH);
    m_app.m_pFrame->MDITile(MDITILE_VERTICAL);
    m_app.m_pFrame->m_wndStatusBar.SetPaneText(0, "Ready");
    kxgui::Activate(m_app.m_pFrame->m_hWnd);
    Idle();
    ASSERT_EQ(ChildCount(), 2);
    kxgui::PixelBuffer image = kxgui::CaptureScreen(m_app.m_pFrame->m_hWnd, false);
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_FALSE(kxgui::SaveArtifact(image, "mdi_app.png").empty());
}

TEST_F(MdiAppTest, AFailedSaveKeepsTheLastGoodFile)
{
    Command(ID_FILE_NEW);
    Command(ID_EDIT_TOUCH);
    ASSERT_TRUE(ActiveDoc()->DoSave(m_pathA.c_str()));
    Command(ID_EDIT_BREAK);
    {
        kxgui::DialogAnswerer answerer(IDOK);
        EXPECT_FALSE(ActiveDoc()->DoFileSave());
        EXPECT_EQ(answerer.Seen().size(), 1u); // the failure is reported
    }
    EXPECT_TRUE(ActiveDoc()->IsModified());
    EXPECT_EQ(ReadFileBytes(m_pathA), std::string("\x01x", 2));
    EXPECT_EQ(::GetFileAttributesA((m_pathA + ".saving~").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(MdiAppTest, DroppedFilesOpenAsProjects)
{
    Command(ID_FILE_NEW);
    Command(ID_EDIT_TOUCH);
    ASSERT_TRUE(ActiveDoc()->DoSave(m_pathA.c_str()));
    Command(ID_FILE_CLOSE);
    ASSERT_EQ(OpenCount(), 0);

    // What the shell hands over: DROPFILES and a double-zero-ended list.
    std::string list = m_pathA + '\0' + '\0';
    HGLOBAL hDrop = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* pDrop = static_cast<DROPFILES*>(::GlobalLock(hDrop));
    pDrop->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(pDrop) + sizeof(DROPFILES), list.data(), list.size());
    ::GlobalUnlock(hDrop);
    m_app.m_pFrame->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop));
    Idle();
    ASSERT_EQ(OpenCount(), 1);
    EXPECT_STREQ(ActiveDoc()->m_text, "x");
}

TEST_F(MdiAppTest, TheWindowMenuListsTheChildrenAndActivatesThem)
{
    Command(ID_FILE_NEW);
    Command(ID_FILE_NEW);
    Idle();
    HMENU hWindow = m_app.m_pFrame->GetWindowMenuPopup(::GetMenu(m_app.m_pFrame->m_hWnd));
    ASSERT_NE(hWindow, nullptr);
    char item[64] = "";
    EXPECT_GT(::GetMenuStringA(hWindow, AFX_IDM_FIRST_MDICHILD, item, sizeof(item), MF_BYCOMMAND), 0);
    EXPECT_GT(::GetMenuStringA(hWindow, AFX_IDM_FIRST_MDICHILD + 1, item, sizeof(item), MF_BYCOMMAND), 0);
    CTestDoc* pSecond = ActiveDoc();
    // the other child, by its entry in the list
    for (UINT nID = AFX_IDM_FIRST_MDICHILD; nID < AFX_IDM_FIRST_MDICHILD + 2; ++nID)
    {
        Command(nID);
        Idle();
        if (ActiveDoc() != pSecond)
            break;
    }
    EXPECT_NE(ActiveDoc(), pSecond);
    EXPECT_STREQ(ActiveDoc()->GetTitle(), "project1");
    // the window commands are enabled only with children
    Command(ID_WINDOW_CASCADE);
    Command(ID_FILE_CLOSE);
    Command(ID_FILE_CLOSE);
    Idle();
    HMENU hFrameMenu = ::GetMenu(m_app.m_pFrame->m_hWnd);
    HMENU hFrameWindow = ::GetSubMenu(hFrameMenu, 2);
    m_app.m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hFrameWindow), 2);
    EXPECT_TRUE(::GetMenuState(hFrameWindow, ID_WINDOW_CASCADE, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MdiAppTest, ASecondWindowOnAProjectSharesItsDocument)
{
    Command(ID_FILE_NEW);
    Idle();
    CTestDoc* pDoc = ActiveDoc();
    CMDIChildWnd* pFirst = m_app.m_pFrame->MDIGetActive();
    Command(ID_WINDOW_NEW);
    Idle();
    CMDIChildWnd* pSecond = m_app.m_pFrame->MDIGetActive();
    ASSERT_NE(pSecond, pFirst);
    EXPECT_EQ(ActiveDoc(), pDoc);
    EXPECT_EQ(OpenCount(), 1);
    char caption[64] = "";
    ::GetWindowTextA(pSecond->m_hWnd, caption, sizeof(caption));
    EXPECT_STREQ(caption, "project1:2");
    ::GetWindowTextA(pFirst->m_hWnd, caption, sizeof(caption));
    EXPECT_STREQ(caption, "project1:1");

    // an edit updates every view but the one that made it
    auto* pView1 = static_cast<CTestView*>(pFirst->GetActiveView());
    auto* pView2 = static_cast<CTestView*>(pSecond->GetActiveView());
    int before1 = pView1->updates, before2 = pView2->updates;
    pDoc->UpdateAllViews(pView2);
    EXPECT_EQ(pView1->updates, before1 + 1);
    EXPECT_EQ(pView2->updates, before2);

    // closing one of the two windows of a modified project asks nothing
    Command(ID_EDIT_TOUCH);
    {
        kxgui::DialogAnswerer answerer(IDCANCEL);
        pSecond->SendMessage(WM_CLOSE);
        Idle();
        EXPECT_TRUE(answerer.Seen().empty());
    }
    EXPECT_EQ(OpenCount(), 1);
    ::GetWindowTextA(pFirst->m_hWnd, caption, sizeof(caption));
    EXPECT_STREQ(caption, "project1");
    // the last one asks, and cancelling keeps it
    {
        kxgui::DialogAnswerer answerer(IDCANCEL);
        pFirst->SendMessage(WM_CLOSE);
        EXPECT_EQ(answerer.Seen().size(), 1u);
    }
    EXPECT_EQ(OpenCount(), 1);
}

TEST_F(MdiAppTest, TheActiveProjectsAcceleratorsRunItsCommands)
{
    Command(ID_FILE_NEW);
    Idle();
    kxgui::Activate(m_app.m_pFrame->m_hWnd);
    ::SetFocus(m_app.m_pFrame->MDIGetActive()->GetActiveView()->m_hWnd);
    // Ctrl+T, the project menu's Touch, as real input (the harness's own
    // key helper would pump the keys past the frame).
    INPUT keys[4] = {};
    const WORD vks[4] = {VK_CONTROL, 'T', 'T', VK_CONTROL};
    for (int i = 0; i < 4; ++i)
    {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = vks[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, keys, sizeof(INPUT));
    // The program's own loop, so the frame sees the keys before dispatch.
    for (int quiet = 0, round = 0; quiet < 3 && round < 200; ++round)
    {
        MSG msg;
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT)
        {
            m_app.PumpMessage();
            quiet = 0;
        }
        else
        {
            ++quiet;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    EXPECT_STREQ(ActiveDoc()->m_text, "x");
}

} // namespace
