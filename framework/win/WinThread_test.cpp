#include "framework/win/AfxWin.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

TEST(FrameworkStrings, IdleAndSystemCommandPromptsAreInTheResources)
{
    CString idle;
    ASSERT_TRUE(idle.LoadString(AFX_IDS_IDLEMESSAGE));
    EXPECT_STREQ(idle, "Ready");
    const UINT prompts[] = {AFX_IDS_SCSIZE,     AFX_IDS_SCMOVE,       AFX_IDS_SCMINIMIZE,
                            AFX_IDS_SCMAXIMIZE, AFX_IDS_SCNEXTWINDOW, AFX_IDS_SCPREVWINDOW,
                            AFX_IDS_SCCLOSE,    AFX_IDS_SCRESTORE,    AFX_IDS_SCTASKLIST};
    for (UINT id : prompts)
    {
        CString text;
        ASSERT_TRUE(text.LoadString(id)) << id;
        // a status prompt, then the tooltip after the newline
        int nl = text.Find('\n');
        EXPECT_GT(nl, 0) << id;
        EXPECT_GT(text.GetLength(), nl + 1) << id;
    }
    EXPECT_NE(AfxGetContextHelpCursor(), nullptr);
}

TEST(FrameworkStrings, MessageBoxByIdShowsTheStringUnderTheAppTitle)
{
    CWinApp app("Kestrelux");
    kxgui::DialogAnswerer answerer(IDOK);
    EXPECT_EQ(AfxMessageBox(AFX_IDS_IDLEMESSAGE), IDOK);
    EXPECT_EQ(AfxMessageBox("Plain text", MB_OKCANCEL), IDOK);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[0], "Kestrelux|Ready");
    EXPECT_EQ(answerer.Seen()[1], "Kestrelux|Plain text");
}

// ---- the current message --------------------------------------------------

const UINT WM_OUTER = WM_APP + 10;
const UINT WM_INNER = WM_APP + 11;

class CNestingWnd : public CWnd
{
public:
    std::vector<UINT> seen;

protected:
    afx_msg LRESULT OnOuter(WPARAM wParam, LPARAM)
    {
        seen.push_back(GetCurrentMessage()->message);
        SendMessage(WM_INNER, 5, 6);
        // back from the nested message: ours again, parameters too
        const MSG* pMsg = GetCurrentMessage();
        seen.push_back(pMsg->message);
        EXPECT_EQ(pMsg->wParam, wParam);
        EXPECT_EQ(pMsg->hwnd, m_hWnd);
        return 0;
    }
    afx_msg LRESULT OnInner(WPARAM, LPARAM lParam)
    {
        seen.push_back(AfxGetThreadState()->m_lastSentMsg.message);
        EXPECT_EQ(AfxGetThreadState()->m_lastSentMsg.lParam, 6);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CNestingWnd, CWnd)
ON_MESSAGE(WM_OUTER, OnOuter)
ON_MESSAGE(WM_INNER, OnInner)
END_MESSAGE_MAP()

TEST(CurrentMessage, IsSetForEachDispatchAndRestoredAfterNestedOnes)
{
    CNestingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "nest", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    MSG before = AfxGetThreadState()->m_lastSentMsg;
    wnd.SendMessage(WM_OUTER, 77, 0);
    EXPECT_EQ(wnd.seen, (std::vector<UINT>{WM_OUTER, WM_INNER, WM_OUTER}));
    EXPECT_EQ(AfxGetThreadState()->m_lastSentMsg.message, before.message);
    wnd.DestroyWindow();
}

// ---- exceptions in handlers -----------------------------------------------

class CFailingWnd : public CWnd
{
protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { AfxThrowUserException(); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CFailingWnd, CWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(HandlerExceptions, AThrowInCreateFailsTheCreationQuietly)
{
    CFailingWnd wnd;
    kxgui::DialogAnswerer answerer(IDOK);
    EXPECT_FALSE(wnd.CreateEx(0, nullptr, "fail", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_TRUE(answerer.Seen().empty()); // the user was told already
}

const UINT WM_FAIL = WM_APP + 30;

class CFailingHandler : public CWnd
{
protected:
    afx_msg LRESULT OnFail(WPARAM, LPARAM) { AfxThrowResourceException(); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CFailingHandler, CWnd)
ON_MESSAGE(WM_FAIL, OnFail)
END_MESSAGE_MAP()

TEST(HandlerExceptions, OtherFailuresAreReportedToTheUserAndTheMessageEnds)
{
    CWinApp app("Kestrelux");
    CFailingHandler wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "fail", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    kxgui::DialogAnswerer answerer(IDOK);
    EXPECT_EQ(wnd.SendMessage(WM_FAIL), 0);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].rfind("Kestrelux|", 0), 0u);
    EXPECT_GT(answerer.Seen()[0].size(), std::string("Kestrelux|").size());
    EXPECT_TRUE(::IsWindow(wnd.m_hWnd));
    wnd.DestroyWindow();
}

// ---- the thread's loop ----------------------------------------------------

const UINT WM_THREAD_JOB = WM_APP + 20;

class CLoopApp : public CWinApp
{
public:
    std::vector<std::string> log;
    int idleCalls = 0;
    bool posted = false;
    BOOL OnIdle(LONG lCount) override
    {
        ++idleCalls;
        if (lCount == 0)
        {
            log.push_back("idle");
            // the queue ran dry: give the loop its next job
            if (!posted)
                ::PostThreadMessageA(::GetCurrentThreadId(), WM_THREAD_JOB, 3, 0);
            posted = true;
        }
        return CWinApp::OnIdle(lCount);
    }
    int ExitInstance() override
    {
        log.push_back("exit");
        return CWinApp::ExitInstance();
    }

protected:
    afx_msg void OnThreadJob(WPARAM wParam, LPARAM)
    {
        log.push_back("job");
        ::PostQuitMessage(static_cast<int>(wParam));
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLoopApp, CWinApp)
ON_THREAD_MESSAGE(WM_THREAD_JOB, OnThreadJob)
END_MESSAGE_MAP()

TEST(MessageLoop, RunIdlesDispatchesThreadMessagesAndEndsOnQuit)
{
    kxgui::PumpUntilIdle();
    CLoopApp app;
    EXPECT_EQ(app.Run(), 3);
    EXPECT_EQ(app.log, (std::vector<std::string>{"idle", "job", "exit"}));
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxGetThread(), &app);
}

TEST(MessageLoop, MouseMovesToTheSamePlaceDoNotRestartIdle)
{
    CWinThread thread;
    MSG move = {};
    move.message = WM_MOUSEMOVE;
    move.pt = {10, 20};
    EXPECT_TRUE(thread.IsIdleMessage(&move));
    EXPECT_FALSE(thread.IsIdleMessage(&move));
    move.pt.x = 11;
    EXPECT_TRUE(thread.IsIdleMessage(&move));
    MSG paint = {};
    paint.message = WM_PAINT;
    EXPECT_FALSE(thread.IsIdleMessage(&paint));
    MSG key = {};
    key.message = WM_KEYDOWN;
    EXPECT_TRUE(thread.IsIdleMessage(&key));
}

} // namespace

namespace
{

// ---- pre-translation --------------------------------------------------------

std::vector<std::string> g_pretranslated;

class CNamedWnd : public CWnd
{
public:
    explicit CNamedWnd(const char* name, bool consumes = false) : m_name(name), m_consumes(consumes) {}
    int keyDowns = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != WM_KEYDOWN)
            return FALSE;
        g_pretranslated.push_back(m_name);
        return m_consumes;
    }

protected:
    afx_msg void OnKeyDown(UINT, UINT, UINT) { ++keyDowns; }
    DECLARE_MESSAGE_MAP()

private:
    std::string m_name;
    bool m_consumes;
};
BEGIN_MESSAGE_MAP(CNamedWnd, CWnd)
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class PreTranslateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_pretranslated.clear();
        ASSERT_TRUE(m_frame.CreateEx(0, nullptr, "frame", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 150), nullptr, 0));
        ASSERT_TRUE(m_pane.Create(nullptr, "pane", WS_VISIBLE, CRect(0, 0, 100, 100), &m_frame, 1));
        ASSERT_TRUE(m_leaf.Create(nullptr, "leaf", WS_VISIBLE, CRect(0, 0, 50, 50), &m_pane, 2));
        m_app.m_pMainWnd = &m_frame;
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        m_frame.DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    CWinApp m_app;
    CNamedWnd m_frame{"frame", true};
    CNamedWnd m_pane{"pane"};
    CNamedWnd m_leaf{"leaf"};
};

TEST_F(PreTranslateTest, KeysArePreTranslatedFromTheirWindowUpToTheMainWindow)
{
    m_leaf.PostMessage(WM_KEYDOWN, VK_F5, 0);
    EXPECT_TRUE(m_app.PumpMessage());
    EXPECT_EQ(g_pretranslated, (std::vector<std::string>{"leaf", "pane", "frame"}));
    EXPECT_EQ(m_leaf.keyDowns, 0); // the frame consumed it

    // a popup outside the main window: its own chain, then the main window
    CNamedWnd popup("popup");
    ASSERT_TRUE(popup.CreateEx(0, nullptr, "popup", WS_POPUP, CRect(300, 0, 350, 50), nullptr, 0));
    g_pretranslated.clear();
    popup.PostMessage(WM_KEYDOWN, VK_F5, 0);
    EXPECT_TRUE(m_app.PumpMessage());
    EXPECT_EQ(g_pretranslated, (std::vector<std::string>{"popup", "frame"}));
    popup.DestroyWindow();
}

TEST_F(PreTranslateTest, AMessageNobodyConsumesIsDispatched)
{
    m_leaf.PostMessage(WM_KEYDOWN, VK_F5, 0);
    m_app.m_pMainWnd = &m_pane; // the walk now stops at the pane, before the frame
    EXPECT_TRUE(m_app.PumpMessage());
    EXPECT_EQ(g_pretranslated, (std::vector<std::string>{"leaf", "pane"}));
    EXPECT_EQ(m_leaf.keyDowns, 1);
}

// A container that lets the dialog manager handle Tab between its controls.
class CTabContainer : public CWnd
{
public:
    BOOL PreTranslateMessage(MSG* pMsg) override { return PreTranslateInput(pMsg); }
};

TEST(PreTranslateInput, TabMovesTheFocusThroughTheDialogManager)
{
    CWinApp app;
    CTabContainer container;
    ASSERT_TRUE(container.CreateEx(WS_EX_CONTROLPARENT, nullptr, "tabs", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100),
                                   nullptr, 0));
    CButton first, second;
    ASSERT_TRUE(first.Create("first", WS_VISIBLE | WS_TABSTOP, CRect(0, 0, 80, 24), &container, 1));
    ASSERT_TRUE(second.Create("second", WS_VISIBLE | WS_TABSTOP, CRect(0, 30, 80, 54), &container, 2));
    app.m_pMainWnd = &container;
    kxgui::Activate(container.m_hWnd);
    first.SetFocus();
    first.PostMessage(WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_EQ(::GetFocus(), second.m_hWnd);
    app.m_pMainWnd = nullptr;
    container.DestroyWindow();
}

} // namespace

namespace
{

class CTipWnd : public CWnd
{
public:
    mutable std::vector<CPoint> hits;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const override
    {
        hits.push_back(point);
        return CWnd::OnToolHitTest(point, pTI);
    }
};

TEST(ToolTips, MouseMovesAskTheWindowsThatEnabledThem)
{
    CWinApp app;
    CTipWnd top, tipped, plain;
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
    ASSERT_TRUE(tipped.Create(nullptr, "tipped", WS_VISIBLE, CRect(10, 10, 60, 60), &top, 1));
    ASSERT_TRUE(plain.Create(nullptr, "plain", WS_VISIBLE, CRect(100, 10, 150, 60), &top, 2));
    app.m_pMainWnd = &top;
    EXPECT_FALSE(tipped.EnableToolTips(TRUE));
    EXPECT_TRUE(tipped.m_nFlags & WF_TOOLTIPS);

    tipped.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 7));
    plain.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 7));
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_TRUE(app.PumpMessage());
    ASSERT_EQ(tipped.hits.size(), 1u);
    EXPECT_EQ(tipped.hits[0], CPoint(5, 7));
    EXPECT_TRUE(plain.hits.empty());
    EXPECT_TRUE(top.hits.empty());

    EXPECT_TRUE(tipped.EnableToolTips(FALSE));
    tipped.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(6, 7));
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_EQ(tipped.hits.size(), 1u);
    app.m_pMainWnd = nullptr;
    top.DestroyWindow();
}

// Hands back its tip text as a copy on the C heap, or the callback marker.
class CHeapTipWnd : public CWnd
{
public:
    const char* m_pszTip = nullptr;
    mutable std::vector<const void*> handedOut;
    INT_PTR OnToolHitTest(CPoint, TOOLINFOA* pTI) const override
    {
        pTI->lpszText = m_pszTip ? _strdup(m_pszTip) : LPSTR_TEXTCALLBACKA;
        handedOut.push_back(pTI->lpszText);
        return 1;
    }
};

std::vector<std::string> g_freedTipTexts;
std::vector<const void*> g_freedTipPointers;

TEST(ToolTips, TipTextsOnTheHeapAreFreedAndTheCallbackMarkerIsNot)
{
    CWinApp app;
    CHeapTipWnd top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
    app.m_pMainWnd = &top;
    top.EnableToolTips(TRUE);
    g_freedTipTexts.clear();
    g_freedTipPointers.clear();
    CWnd::g_pfnToolTipTextFreed = [](LPCSTR lpszText)
    {
        g_freedTipTexts.emplace_back(lpszText);
        g_freedTipPointers.push_back(lpszText);
    };

    top.m_pszTip = "pane tip";
    top.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 7));
    EXPECT_TRUE(app.PumpMessage());
    top.m_pszTip = nullptr;
    top.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(6, 7));
    EXPECT_TRUE(app.PumpMessage());

    CWnd::g_pfnToolTipTextFreed = nullptr;
    ASSERT_EQ(top.handedOut.size(), 2u);
    EXPECT_EQ(g_freedTipTexts, std::vector<std::string>{"pane tip"});
    EXPECT_EQ(g_freedTipPointers, std::vector<const void*>{top.handedOut[0]});
    app.m_pMainWnd = nullptr;
    top.DestroyWindow();
}

} // namespace
