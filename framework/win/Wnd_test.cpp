#include "framework/win/AfxWin.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const UINT WM_TEST_PING = WM_APP + 1;
UINT g_nRegisteredPing = ::RegisterWindowMessageA("KxTest::Ping");

// Host for child windows: one top-level harness window per test.
class WndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hHost = kxgui::CreateTestWindow(400, 300, "Wnd tests");
        ASSERT_NE(m_hHost, nullptr);
    }
    void TearDown() override
    {
        ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
        AfxDeleteTempMaps();
    }
    CWnd* Host() { return CWnd::FromHandle(m_hHost); }
    HWND m_hHost = nullptr;
};

// ---- message maps ----------------------------------------------------------

class CMapWnd : public CWnd
{
public:
    std::vector<std::string> log;
    bool attachedAtCreate = false;
    CSize lastSize;
    UINT firstMessage = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (firstMessage == 0)
            firstMessage = message;
        return CWnd::WindowProc(message, wParam, lParam);
    }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        attachedAtCreate = CWnd::FromHandlePermanent(m_hWnd) == this;
        log.push_back("create");
        return CWnd::OnCreate(lpcs);
    }
    afx_msg void OnSize(UINT nType, int cx, int cy)
    {
        lastSize = CSize(cx, cy);
        log.push_back("size");
    }
    afx_msg LRESULT OnPing(WPARAM wParam, LPARAM lParam)
    {
        log.push_back("ping");
        return static_cast<LRESULT>(wParam + lParam);
    }
    afx_msg LRESULT OnRegisteredPing(WPARAM wParam, LPARAM)
    {
        log.push_back("registered");
        return static_cast<LRESULT>(wParam * 2);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMapWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_MESSAGE(WM_TEST_PING, OnPing)
ON_REGISTERED_MESSAGE(g_nRegisteredPing, OnRegisteredPing)
END_MESSAGE_MAP()

// Adds a paint handler of its own on top of CMapWnd's map.
class CPaintingWnd : public CMapWnd
{
public:
    int paints = 0;

protected:
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        ++paints;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintingWnd, CMapWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(WndTest, MessageMapHandlersReceiveTheirMessages)
{
    CMapWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "map", WS_VISIBLE, CRect(0, 0, 50, 40), Host(), 1));
    EXPECT_TRUE(wnd.attachedAtCreate);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);

    wnd.SetWindowPos(nullptr, 0, 0, 120, 70, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(wnd.lastSize, CSize(120, 70));
    EXPECT_EQ(wnd.SendMessage(WM_TEST_PING, 3, 4), 7);
    EXPECT_EQ(wnd.SendMessage(g_nRegisteredPing, 21, 0), 42);
    ASSERT_GE(wnd.log.size(), 4u);
    EXPECT_EQ(wnd.log.front(), "create");
    EXPECT_EQ(wnd.log[wnd.log.size() - 2], "ping");
    EXPECT_EQ(wnd.log.back(), "registered");
    // an unmapped message goes to the default procedure
    EXPECT_EQ(wnd.SendMessage(WM_GETDLGCODE), 0);
}

TEST_F(WndTest, TheObjectSeesTheVeryFirstMessageOfItsWindow)
{
    // a child window starts with WM_NCCREATE, a top-level one even before it
    CMapWnd child, top;
    ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, CRect(0, 0, 50, 40), Host(), 1));
    EXPECT_EQ(child.firstMessage, static_cast<UINT>(WM_NCCREATE));
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_OVERLAPPEDWINDOW, CRect(0, 0, 50, 40), nullptr, 0));
    EXPECT_EQ(top.firstMessage, static_cast<UINT>(WM_GETMINMAXINFO));
    top.DestroyWindow();
}

TEST_F(WndTest, OwnMapIntrospectionSeesOnlyTheMostDerivedClassEntries)
{
    CPaintingWnd painting;
    ASSERT_TRUE(painting.Create(nullptr, "paint", WS_VISIBLE, CRect(0, 0, 50, 40), Host(), 2));
    CMapWnd plain;
    ASSERT_TRUE(plain.Create(nullptr, "plain", WS_VISIBLE, CRect(60, 0, 110, 40), Host(), 3));

    // what the class itself declares, as a toolkit window asks about itself
    const AFX_MSGMAP_ENTRY* ownPainting = static_cast<CCmdTarget&>(painting).GetMessageMap()->lpEntries;
    const AFX_MSGMAP_ENTRY* ownPlain = static_cast<CCmdTarget&>(plain).GetMessageMap()->lpEntries;
    const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(ownPainting, WM_PAINT, 0, 0);
    ASSERT_NE(pEntry, nullptr);
    // the base's own map has WM_SIZE, the derived class's own map does not
    EXPECT_EQ(AfxFindMessageEntry(ownPainting, WM_SIZE, 0, 0), nullptr);
    EXPECT_NE(AfxFindMessageEntry(ownPlain, WM_SIZE, 0, 0), nullptr);
    EXPECT_EQ(AfxFindMessageEntry(ownPlain, WM_PAINT, 0, 0), nullptr);

    painting.Invalidate();
    int before = painting.paints;
    AfxCallMessageEntry(&painting, pEntry, WM_PAINT, 0, 0);
    EXPECT_EQ(painting.paints, before + 1);
}

// Records how the standard entries unpack their parameters.
class CUnpackWnd : public CWnd
{
public:
    std::vector<std::string> log;

protected:
    void Add(const char* what, long a, long b = 0, long c = 0)
    {
        log.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c));
    }
    afx_msg void OnMouseMove(UINT nFlags, CPoint pt) { Add("move", nFlags, pt.x, pt.y); }
    afx_msg void OnRButtonUp(UINT nFlags, CPoint pt) { Add("rup", nFlags, pt.x, pt.y); }
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
    {
        Add("wheel", nFlags, zDelta, pt.x);
        return TRUE;
    }
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { Add("key", nChar, nRepCnt, nFlags); }
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint pt) { Add("context", pWnd == this, pt.x, pt.y); }
    afx_msg LRESULT OnNcHitTest(CPoint pt)
    {
        Add("hittest", pt.x, pt.y);
        return HTCLIENT;
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent) { Add("timer", static_cast<long>(nIDEvent)); }
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pBar)
    {
        Add("hscroll", nSBCode, nPos, pBar == nullptr);
    }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) { Add("syscommand", nID, static_cast<long>(lParam)); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CUnpackWnd, CWnd)
ON_WM_MOUSEMOVE()
ON_WM_RBUTTONUP()
ON_WM_MOUSEWHEEL()
ON_WM_KEYDOWN()
ON_WM_CONTEXTMENU()
ON_WM_NCHITTEST()
ON_WM_TIMER()
ON_WM_HSCROLL()
ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

TEST_F(WndTest, StandardEntriesUnpackTheirParametersWithSigns)
{
    CUnpackWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "unpack", WS_VISIBLE, CRect(0, 0, 50, 50), Host(), 1));
    const struct
    {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        const char* logged;
        LRESULT result;
    } cases[] = {
        {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-3, 7), "move 1 -3 7", 0},
        {WM_RBUTTONUP, 0, MAKELPARAM(12, -20), "rup 0 12 -20", 0},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -120), MAKELPARAM(-1500, 5), "wheel 4 -120 -1500", 1},
        {WM_KEYDOWN, VK_F2, 0x013C0003, "key 113 3 316", 0},
        {WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1), "context 1 -1 -1", 0},
        {WM_NCHITTEST, 0, MAKELPARAM(-1280, 40), "hittest -1280 40 0", HTCLIENT},
        {WM_TIMER, 301, 0, "timer 301 0 0", 0},
        {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 65), 0, "hscroll 5 65 1", 0},
        {WM_SYSCOMMAND, SC_KEYMENU, ' ', "syscommand 61696 32 0", 0},
    };
    for (const auto& c : cases)
    {
        wnd.log.clear();
        WPARAM wParam = c.msg == WM_CONTEXTMENU ? reinterpret_cast<WPARAM>(wnd.m_hWnd) : c.wParam;
        EXPECT_EQ(wnd.SendMessage(c.msg, wParam, c.lParam), c.result) << c.logged;
        EXPECT_EQ(wnd.log, std::vector<std::string>{c.logged});
    }
}

// ---- command routing -------------------------------------------------------

enum : UINT
{
    ID_CMD_VIEW = 1001,
    ID_CMD_DOC = 1002,
    ID_CMD_APP = 1003,
    ID_CMD_FRAME = 1004,
    ID_CMD_BOTH = 1005, // view and frame both handle it
    ID_CMD_DISABLED = 1006,
    ID_CMD_NOBODY = 1007,
};

std::vector<std::string> g_route;

class CRouteApp : public CWinApp
{
protected:
    afx_msg void OnApp() { g_route.push_back("app"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CRouteApp, CWinApp)
ON_COMMAND(ID_CMD_APP, OnApp)
END_MESSAGE_MAP()

class CRouteDoc : public CCmdTarget
{
protected:
    afx_msg void OnDoc() { g_route.push_back("doc"); }
    afx_msg void OnUpdateDoc(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    afx_msg void OnUpdateShared(CCmdUI* pCmdUI)
    {
        g_route.push_back("doc-update");
        pCmdUI->Enable(FALSE);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CRouteDoc, CCmdTarget)
ON_COMMAND(ID_CMD_DOC, OnDoc)
ON_UPDATE_COMMAND_UI(ID_CMD_DOC, OnUpdateDoc)
ON_UPDATE_COMMAND_UI(1008, OnUpdateShared)
END_MESSAGE_MAP()

class CRouteView : public CWnd
{
public:
    CRouteDoc* m_pDoc = nullptr;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
        return m_pDoc && m_pDoc->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }

protected:
    afx_msg void OnView() { g_route.push_back("view"); }
    afx_msg void OnBoth() { g_route.push_back("view-both"); }
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnDisabled() { g_route.push_back("disabled"); }
    afx_msg void OnUpdateShared(CCmdUI* pCmdUI)
    {
        g_route.push_back("view-update");
        pCmdUI->ContinueRouting();
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CRouteView, CWnd)
ON_UPDATE_COMMAND_UI(1008, OnUpdateShared)
ON_COMMAND(ID_CMD_VIEW, OnView)
ON_COMMAND(ID_CMD_BOTH, OnBoth)
ON_COMMAND(ID_CMD_DISABLED, OnDisabled)
ON_UPDATE_COMMAND_UI(ID_CMD_DISABLED, OnUpdateDisabled)
END_MESSAGE_MAP()

// The frame's route: active view (and its document), the frame, the app.
class CRouteFrame : public CWnd
{
public:
    CRouteView* m_pView = nullptr;
    BOOL IsFrameWnd() const override { return TRUE; }
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (m_pView && m_pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
        if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
        CWinApp* pApp = AfxGetApp();
        return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }

protected:
    afx_msg void OnFrame() { g_route.push_back("frame"); }
    afx_msg void OnBoth() { g_route.push_back("frame-both"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CRouteFrame, CWnd)
ON_COMMAND(ID_CMD_FRAME, OnFrame)
ON_COMMAND(ID_CMD_BOTH, OnBoth)
END_MESSAGE_MAP()

// A view that looks at an update first but lets the document decide.
const UINT ID_CMD_SHARED_UPDATE = 1008;

class RoutingTest : public WndTest
{
protected:
    void SetUp() override
    {
        WndTest::SetUp();
        g_route.clear();
        ASSERT_TRUE(m_frame.Create(nullptr, "frame", WS_VISIBLE, CRect(0, 0, 300, 200), Host(), 10));
        ASSERT_TRUE(m_view.Create(nullptr, "view", WS_VISIBLE, CRect(0, 0, 100, 100), &m_frame, 11));
        m_view.m_pDoc = &m_doc;
        m_frame.m_pView = &m_view;
    }
    CRouteApp m_app;
    CRouteDoc m_doc;
    CRouteView m_view;
    CRouteFrame m_frame;
};

TEST_F(RoutingTest, MenuCommandsRouteThroughViewDocumentFrameAndApplication)
{
    const struct
    {
        UINT id;
        const char* handler;
    } cases[] = {
        {ID_CMD_VIEW, "view"}, {ID_CMD_DOC, "doc"},        {ID_CMD_FRAME, "frame"},
        {ID_CMD_APP, "app"},   {ID_CMD_BOTH, "view-both"}, // the view comes before the frame
    };
    for (const auto& c : cases)
    {
        g_route.clear();
        m_frame.SendMessage(WM_COMMAND, MAKEWPARAM(c.id, 0), 0);
        ASSERT_EQ(g_route.size(), 1u) << c.id;
        EXPECT_EQ(g_route[0], c.handler);
    }
    g_route.clear();
    m_frame.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_NOBODY, 0), 0);
    EXPECT_TRUE(g_route.empty());
}

TEST_F(RoutingTest, ACommandDisabledByItsUpdateHandlerIsNotExecuted)
{
    m_frame.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_DISABLED, 0), 0);
    EXPECT_TRUE(g_route.empty());
    // called directly it still runs: only the menu and accelerator path asks first
    EXPECT_TRUE(m_frame.OnCmdMsg(ID_CMD_DISABLED, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(g_route, std::vector<std::string>{"disabled"});
}

TEST_F(RoutingTest, DoUpdateReportsWhetherAHandlerRanAndDisablesOrphans)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    const UINT ids[] = {ID_CMD_DOC, ID_CMD_VIEW, ID_CMD_NOBODY, ID_CMD_DISABLED};
    for (UINT id : ids)
        menu.AppendMenu(MF_STRING, id, "item");

    const struct
    {
        UINT index;
        BOOL handlerRan;
        bool enabled;
        bool checked;
    } expect[] = {
        {0, TRUE, true, true},    // document's update handler checks it
        {1, FALSE, true, false},  // no update handler, but a command handler
        {2, FALSE, false, false}, // nobody handles it: disabled
        {3, TRUE, false, false},  // update handler disables it
    };
    for (const auto& e : expect)
    {
        CCmdUI ui;
        ui.m_pMenu = &menu;
        ui.m_nIndex = e.index;
        ui.m_nIndexMax = 4;
        ui.m_nID = ids[e.index];
        EXPECT_EQ(ui.DoUpdate(&m_frame, TRUE), e.handlerRan) << e.index;
        UINT state = menu.GetMenuState(e.index, MF_BYPOSITION);
        EXPECT_EQ((state & MF_GRAYED) == 0, e.enabled) << e.index;
        EXPECT_EQ((state & MF_CHECKED) != 0, e.checked) << e.index;
    }
    // an update handler that continues the routing lets the next target answer
    g_route.clear();
    CMenu shared;
    ASSERT_TRUE(shared.CreatePopupMenu());
    shared.AppendMenu(MF_STRING, ID_CMD_SHARED_UPDATE, "shared");
    CCmdUI sharedUi;
    sharedUi.m_pMenu = &shared;
    sharedUi.m_nID = ID_CMD_SHARED_UPDATE;
    EXPECT_TRUE(sharedUi.DoUpdate(&m_frame, TRUE));
    EXPECT_EQ(g_route, (std::vector<std::string>{"view-update", "doc-update"}));
    EXPECT_NE(shared.GetMenuState(0, MF_BYPOSITION) & MF_GRAYED, 0u);

    // without disableIfNoHandler an orphan keeps its state
    menu.EnableMenuItem(2, MF_BYPOSITION | MF_ENABLED);
    CCmdUI ui;
    ui.m_pMenu = &menu;
    ui.m_nIndex = 2;
    ui.m_nID = ID_CMD_NOBODY;
    EXPECT_FALSE(ui.DoUpdate(&m_frame, FALSE));
    EXPECT_EQ(menu.GetMenuState(2, MF_BYPOSITION) & MF_GRAYED, 0u);
}

// ---- ranges, _EX handlers and template maps ---------------------------------

class CRangeWnd : public CWnd
{
public:
    std::vector<std::string> calls;

protected:
    afx_msg void OnRange(UINT nID) { calls.push_back("range " + std::to_string(nID)); }
    afx_msg BOOL OnEx(UINT nID)
    {
        calls.push_back("ex " + std::to_string(nID));
        return nID == 2101; // handles one id, passes the other on
    }
    afx_msg void OnUpdateRange(CCmdUI* pCmdUI) { pCmdUI->Enable(pCmdUI->m_nID % 2 == 0); }
    afx_msg void OnNotifyRange(UINT nID, NMHDR*, LRESULT* pResult)
    {
        calls.push_back("notify " + std::to_string(nID));
        *pResult = nID;
    }
    afx_msg void OnControlRange(UINT nID) { calls.push_back("control " + std::to_string(nID)); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CRangeWnd, CWnd)
ON_COMMAND_RANGE(2000, 2009, OnRange)
ON_UPDATE_COMMAND_UI_RANGE(2000, 2009, OnUpdateRange)
ON_COMMAND_EX_RANGE(2100, 2101, OnEx)
ON_NOTIFY_RANGE(NM_CLICK, 2200, 2205, OnNotifyRange)
ON_CONTROL_RANGE(EN_CHANGE, 2300, 2301, OnControlRange)
END_MESSAGE_MAP()

TEST_F(WndTest, RangeAndExEntriesDispatchWithTheirIds)
{
    CRangeWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "range", WS_VISIBLE, CRect(0, 0, 50, 50), Host(), 1));
    HWND hFakeControl = Host()->GetSafeHwnd(); // any window can stand for the sender

    const struct
    {
        UINT message;
        WPARAM wParam;
        UINT id;
        const char* call;
    } cases[] = {
        {WM_COMMAND, MAKEWPARAM(2004, 0), 2004, "range 2004"},
        {WM_COMMAND, MAKEWPARAM(2101, 0), 2101, "ex 2101"},
        {WM_COMMAND, MAKEWPARAM(2300, EN_CHANGE), 2300, "control 2300"},
    };
    for (const auto& c : cases)
    {
        wnd.calls.clear();
        wnd.SendMessage(c.message, c.wParam, c.wParam >> 16 ? reinterpret_cast<LPARAM>(hFakeControl) : 0);
        EXPECT_EQ(wnd.calls, std::vector<std::string>{c.call});
    }
    // odd ids are disabled by the range update handler
    wnd.calls.clear();
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(2005, 0), 0);
    EXPECT_TRUE(wnd.calls.empty());
    wnd.calls.clear();
    // an _EX handler answers whether it took the command; FALSE passes it
    // on to the next target of the route
    EXPECT_FALSE(wnd.OnCmdMsg(2100, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(wnd.OnCmdMsg(2101, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(wnd.calls, (std::vector<std::string>{"ex 2100", "ex 2101"}));

    wnd.calls.clear();
    NMHDR hdr = {hFakeControl, 2203, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 2203, reinterpret_cast<LPARAM>(&hdr)), 2203);
    EXPECT_EQ(wnd.calls, std::vector<std::string>{"notify 2203"});
    hdr.idFrom = 2206; // outside the range
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 2206, reinterpret_cast<LPARAM>(&hdr)), 0);
}

template <class TBase>
class CCountingLayer : public TBase
{
public:
    int sizes = 0;

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy)
    {
        ++sizes;
        TBase::OnSize(nType, cx, cy);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_TEMPLATE_MESSAGE_MAP(CCountingLayer, TBase, TBase)
ON_WM_SIZE()
END_MESSAGE_MAP()

TEST_F(WndTest, ATemplateLayerHasAMapOverItsBaseClassMap)
{
    CCountingLayer<CMapWnd> wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "layer", WS_VISIBLE, CRect(0, 0, 50, 50), Host(), 1));
    int before = wnd.sizes;
    EXPECT_EQ(wnd.SendMessage(WM_TEST_PING, 1, 1), 2); // from the base class's map
    wnd.SetWindowPos(nullptr, 0, 0, 80, 60, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(wnd.sizes, before + 1);       // the layer's entry took WM_SIZE
    EXPECT_EQ(wnd.lastSize, CSize(80, 60)); // and passed it to the base's handler
}

// ---- reflection ------------------------------------------------------------

const UINT ID_CHILD = 50;
const int NM_TEST_NOTIFY = -901;

class CReflectChild : public CWnd
{
public:
    BOOL reflectAnswer = TRUE;
    int notifies = 0;
    int clicks = 0;

protected:
    afx_msg BOOL OnNotifyReflect(NMHDR*, LRESULT* pResult)
    {
        ++notifies;
        *pResult = 7;
        return reflectAnswer;
    }
    afx_msg void OnClickedReflect() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectChild, CWnd)
ON_NOTIFY_REFLECT_EX(NM_TEST_NOTIFY, OnNotifyReflect)
ON_CONTROL_REFLECT(BN_CLICKED, OnClickedReflect)
END_MESSAGE_MAP()

class CReflectParent : public CWnd
{
public:
    int notifies = 0;
    int clicks = 0;
    int doubleClicks = 0;

protected:
    afx_msg void OnChildNotify(NMHDR* pNMHDR, LRESULT* pResult)
    {
        ++notifies;
        *pResult = 9;
    }
    afx_msg void OnChildClicked() { ++clicks; }
    afx_msg void OnChildDoubleClicked() { ++doubleClicks; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectParent, CWnd)
ON_NOTIFY(NM_TEST_NOTIFY, ID_CHILD, OnChildNotify)
ON_BN_CLICKED(ID_CHILD, OnChildClicked)
ON_BN_DOUBLECLICKED(ID_CHILD, OnChildDoubleClicked)
END_MESSAGE_MAP()

TEST_F(WndTest, ReflectedNotificationsReachTheChildAndFalseLetsTheParentSeeThem)
{
    CReflectParent parent;
    ASSERT_TRUE(parent.Create(nullptr, "parent", WS_VISIBLE, CRect(0, 0, 200, 100), Host(), 5));
    CReflectChild child;
    ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, CRect(0, 0, 50, 50), &parent, ID_CHILD));

    NMHDR hdr = {child.m_hWnd, ID_CHILD, static_cast<UINT>(NM_TEST_NOTIFY)};
    const struct
    {
        BOOL answer;
        int parentNotifies;
        LRESULT result;
    } cases[] = {
        {TRUE, 0, 7},  // the child handled it: the parent never sees it
        {FALSE, 1, 9}, // the child passed: the parent handles it too
    };
    for (const auto& c : cases)
    {
        child.reflectAnswer = c.answer;
        child.notifies = parent.notifies = 0;
        LRESULT r = parent.SendMessage(WM_NOTIFY, ID_CHILD, reinterpret_cast<LPARAM>(&hdr));
        EXPECT_EQ(child.notifies, 1);
        EXPECT_EQ(parent.notifies, c.parentNotifies);
        EXPECT_EQ(r, c.result);
    }

    // a control notification with a reflect handler stays with the child...
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CHILD, BN_CLICKED), reinterpret_cast<LPARAM>(child.m_hWnd));
    EXPECT_EQ(child.clicks, 1);
    EXPECT_EQ(parent.clicks, 0);
    // ...and one without reaches the parent's map
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CHILD, BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(child.m_hWnd));
    EXPECT_EQ(parent.doubleClicks, 1);
}

// ---- attaching, subclassing, self-deleting windows ------------------------

class CDialogObject : public CWnd
{
public:
    bool attachedAtInit = false;
    int initCount = 0;

protected:
    afx_msg LRESULT OnInitDialog(WPARAM, LPARAM)
    {
        attachedAtInit = CWnd::FromHandlePermanent(m_hWnd) == this;
        ++initCount;
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDialogObject, CWnd)
ON_MESSAGE(WM_INITDIALOG, OnInitDialog)
END_MESSAGE_MAP()

INT_PTR CALLBACK PlainDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

TEST_F(WndTest, ADialogTheSystemCreatesIsAttachedBeforeInitDialog)
{
    // An empty dialog template: style, no items, no menu, default class, no title.
    alignas(4) WORD tmpl[16] = {};
    DLGTEMPLATE* pTemplate = reinterpret_cast<DLGTEMPLATE*>(tmpl);
    pTemplate->style = WS_POPUP | WS_CAPTION;
    pTemplate->cx = 100;
    pTemplate->cy = 50;

    CDialogObject dlg;
    AfxHookWindowCreate(&dlg);
    HWND hDlg = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), pTemplate, m_hHost, PlainDlgProc, 0);
    EXPECT_TRUE(AfxUnhookWindowCreate());
    ASSERT_NE(hDlg, nullptr);
    EXPECT_EQ(dlg.m_hWnd, hDlg);
    EXPECT_EQ(dlg.initCount, 1);
    EXPECT_TRUE(dlg.attachedAtInit);
    char cls[16] = "";
    ::GetClassNameA(hDlg, cls, sizeof(cls));
    EXPECT_STREQ(cls, "#32770");
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

class CSelfDeletingWnd : public CWnd
{
public:
    explicit CSelfDeletingWnd(bool* pDeleted) : m_pDeleted(pDeleted) {}
    ~CSelfDeletingWnd() override { *m_pDeleted = true; }

protected:
    void PostNcDestroy() override { delete this; }
    afx_msg void OnLButtonDown(UINT, CPoint) { DestroyWindow(); }
    DECLARE_MESSAGE_MAP()

private:
    bool* m_pDeleted;
};
BEGIN_MESSAGE_MAP(CSelfDeletingWnd, CWnd)
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

TEST_F(WndTest, AWindowThatDeletesItselfInAHandlerCrashesNothing)
{
    bool deleted = false;
    CSelfDeletingWnd* pWnd = new CSelfDeletingWnd(&deleted);
    ASSERT_TRUE(pWnd->Create(nullptr, "self", WS_VISIBLE, CRect(10, 10, 90, 60), Host(), 7));
    HWND hWnd = pWnd->m_hWnd;
    kxgui::Click(m_hHost, POINT{30, 30});
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST_F(WndTest, FailedCreationOfASelfDeletingWindowDeletesItOnce)
{
    bool deleted = false;
    CSelfDeletingWnd* pWnd = new CSelfDeletingWnd(&deleted);
    EXPECT_FALSE(pWnd->CreateEx(0, "NoSuchClassKx", "x", WS_CHILD, CRect(0, 0, 1, 1), Host(), 8));
    EXPECT_TRUE(deleted);
}

class CTextSpy : public CWnd
{
public:
    std::vector<std::string> texts;

protected:
    afx_msg LRESULT OnSetText(WPARAM, LPARAM lParam)
    {
        texts.push_back(reinterpret_cast<const char*>(lParam));
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTextSpy, CWnd)
ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

TEST_F(WndTest, SubclassedWindowsArePermanentAndForeignOnesAreNot)
{
    HWND hButton = ::CreateWindowExA(0, "BUTTON", "old", WS_CHILD | WS_VISIBLE, 0, 0, 80, 24, m_hHost,
                                     reinterpret_cast<HMENU>(60), nullptr, nullptr);
    ASSERT_NE(hButton, nullptr);
    LONG_PTR originalProc = ::GetWindowLongPtrA(hButton, GWLP_WNDPROC);

    EXPECT_EQ(CWnd::FromHandlePermanent(hButton), nullptr);
    CWnd* pTemp = CWnd::FromHandle(hButton);
    ASSERT_NE(pTemp, nullptr);
    EXPECT_TRUE(pTemp->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_EQ(pTemp->GetRuntimeClass(), RUNTIME_CLASS(CWnd));

    CTextSpy spy;
    ASSERT_TRUE(spy.SubclassDlgItem(60, Host()));
    EXPECT_EQ(CWnd::FromHandlePermanent(hButton), &spy);
    EXPECT_EQ(CWnd::FromHandle(hButton), &spy);
    spy.SetWindowText("new");
    EXPECT_EQ(spy.texts, std::vector<std::string>{"new"});
    CString text;
    spy.GetWindowText(text);
    EXPECT_STREQ(text, "new"); // the button's own procedure still ran

    EXPECT_EQ(spy.UnsubclassWindow(), hButton);
    EXPECT_EQ(CWnd::FromHandlePermanent(hButton), nullptr);
    EXPECT_EQ(::GetWindowLongPtrA(hButton, GWLP_WNDPROC), originalProc);
    ::SetWindowTextA(hButton, "after");
    EXPECT_EQ(spy.texts.size(), 1u);
}

// ---- idle processing and modal loops ---------------------------------------

class CIdleChild : public CWnd
{
public:
    int updates = 0;

protected:
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
    {
        if (wParam == TRUE)
            ++updates;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CIdleChild, CWnd)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

class CIdleFrame : public CIdleChild
{
public:
    BOOL IsFrameWnd() const override { return TRUE; }
};

TEST_F(WndTest, IdleProcessingUpdatesTheDescendantsOfEveryVisibleFrame)
{
    CWinApp app;
    CIdleFrame main, floating, hidden;
    CIdleChild mainChild, grandChild, floatingChild, hiddenChild;
    ASSERT_TRUE(main.Create(nullptr, "main", WS_VISIBLE, CRect(0, 0, 200, 150), Host(), 1));
    ASSERT_TRUE(mainChild.Create(nullptr, "c", WS_VISIBLE, CRect(0, 0, 50, 50), &main, 2));
    ASSERT_TRUE(grandChild.Create(nullptr, "g", WS_VISIBLE, CRect(0, 0, 20, 20), &mainChild, 3));
    ASSERT_TRUE(floating.CreateEx(WS_EX_TOOLWINDOW, nullptr, "float", WS_POPUP | WS_VISIBLE, CRect(500, 500, 600, 560),
                                  Host(), 0));
    ASSERT_TRUE(floatingChild.Create(nullptr, "fc", WS_VISIBLE, CRect(0, 0, 20, 20), &floating, 4));
    ASSERT_TRUE(hidden.Create(nullptr, "hidden", 0, CRect(0, 0, 20, 20), Host(), 5));
    ASSERT_TRUE(hiddenChild.Create(nullptr, "hc", WS_VISIBLE, CRect(0, 0, 10, 10), &hidden, 6));
    app.m_pMainWnd = &main;
    AfxAddFrameWnd(&floating);
    AfxAddFrameWnd(&hidden);

    EXPECT_TRUE(app.OnIdle(0)); // more idle work follows
    EXPECT_EQ(main.updates, 1);
    EXPECT_EQ(mainChild.updates, 1);
    EXPECT_EQ(grandChild.updates, 1);
    EXPECT_EQ(floating.updates, 1);
    EXPECT_EQ(floatingChild.updates, 1);
    EXPECT_EQ(hidden.updates, 0);
    EXPECT_EQ(hiddenChild.updates, 0);

    // count 1 frees the temporary wrappers and ends idle work
    CWnd* pTemp = CWnd::FromHandle(m_hHost);
    EXPECT_EQ(CWnd::FromHandlePermanent(m_hHost), nullptr);
    EXPECT_NE(pTemp, nullptr);
    EXPECT_FALSE(app.OnIdle(1));

    AfxRemoveFrameWnd(&floating);
    AfxRemoveFrameWnd(&hidden);
    app.m_pMainWnd = nullptr;
}

class CModalWnd : public CWnd
{
public:
    int pretranslated = 0;
    int kicks = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_TEST_PING)
            ++pretranslated;
        return CWnd::PreTranslateMessage(pMsg);
    }

protected:
    afx_msg LRESULT OnPing(WPARAM wParam, LPARAM)
    {
        EndModalLoop(static_cast<int>(wParam));
        return 0;
    }
    afx_msg LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        // the first idle moment ends the loop through a posted message
        if (kicks++ == 0)
            PostMessage(WM_TEST_PING, 42, 0);
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CModalWnd, CWnd)
ON_MESSAGE(WM_TEST_PING, OnPing)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

class CIdleOwner : public CWnd
{
public:
    int enterIdle = 0;

protected:
    afx_msg void OnEnterIdle(UINT nWhy, CWnd*)
    {
        if (nWhy == MSGF_DIALOGBOX)
            ++enterIdle;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CIdleOwner, CWnd)
ON_WM_ENTERIDLE()
END_MESSAGE_MAP()

TEST_F(WndTest, ModalLoopPreTranslatesIdlesAndEndsWithEndModalLoop)
{
    const struct
    {
        DWORD flags;
        bool shownAfter;
        bool ownerIdles;
    } cases[] = {
        {MLF_SHOWONIDLE, true, true},
        {0, false, true},
        {MLF_NOIDLEMSG | MLF_SHOWONIDLE, true, false},
    };
    for (const auto& c : cases)
    {
        CWinApp app;
        CIdleOwner owner;
        ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP, CRect(0, 0, 20, 20), Host(), 0));
        CModalWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "modal", WS_POPUP, CRect(50, 50, 150, 120), &owner, 0));
        app.m_pMainWnd = &wnd;

        EXPECT_EQ(wnd.RunModalLoop(c.flags), 42) << c.flags;
        EXPECT_EQ(wnd.pretranslated, 1);
        EXPECT_EQ(wnd.kicks, 1);
        EXPECT_EQ(wnd.IsWindowVisible() != FALSE, c.shownAfter) << c.flags;
        EXPECT_EQ(owner.enterIdle > 0, c.ownerIdles) << c.flags;
        EXPECT_EQ(wnd.m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL), 0u);
        app.m_pMainWnd = nullptr;
    }
}

// ---- RepositionBars --------------------------------------------------------

// A bar that docks to one side with a fixed thickness.
class CSideBar : public CWnd
{
public:
    CSideBar(UINT side, int thickness) : m_side(side), m_thickness(thickness) {}

protected:
    afx_msg LRESULT OnSizeParent(WPARAM, LPARAM lParam)
    {
        AFX_SIZEPARENTPARAMS* pLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
        CRect rc(pLayout->rect);
        switch (m_side)
        {
        case CBRS_ALIGN_TOP:
            rc.bottom = rc.top + m_thickness;
            pLayout->rect.top += m_thickness;
            break;
        case CBRS_ALIGN_BOTTOM:
            rc.top = rc.bottom - m_thickness;
            pLayout->rect.bottom -= m_thickness;
            break;
        default:
            rc.right = rc.left + m_thickness;
            pLayout->rect.left += m_thickness;
            break;
        }
        pLayout->sizeTotal.cy += m_side == CBRS_ALIGN_LEFT ? 0 : m_thickness;
        AfxRepositionWindow(pLayout, m_hWnd, &rc);
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    UINT m_side;
    int m_thickness;
};
BEGIN_MESSAGE_MAP(CSideBar, CWnd)
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

CRect ChildRect(CWnd& wnd)
{
    CRect rc;
    wnd.GetWindowRect(&rc);
    wnd.GetParent()->ScreenToClient(&rc);
    return rc;
}

TEST_F(WndTest, RepositionBarsLaysOutBarsInZOrderAndGivesTheRestToThePane)
{
    const struct
    {
        bool leftBeforeBottom;
        CRect left;
        CRect bottom;
    } cases[] = {
        {true, CRect(0, 20, 30, 200), CRect(30, 190, 300, 200)},
        {false, CRect(0, 20, 30, 190), CRect(0, 190, 300, 200)},
    };
    for (const auto& c : cases)
    {
        CWnd parent;
        ASSERT_TRUE(parent.Create(nullptr, "parent", WS_VISIBLE, CRect(0, 0, 300, 200), Host(), 1));
        CSideBar top(CBRS_ALIGN_TOP, 20), left(CBRS_ALIGN_LEFT, 30), bottom(CBRS_ALIGN_BOTTOM, 10);
        CWnd pane, other;
        CRect none(0, 0, 0, 0);
        ASSERT_TRUE(top.Create(nullptr, "top", WS_VISIBLE, none, &parent, AFX_IDW_CONTROLBAR_FIRST));
        ASSERT_TRUE(left.Create(nullptr, "left", WS_VISIBLE, none, &parent, AFX_IDW_CONTROLBAR_FIRST + 1));
        ASSERT_TRUE(bottom.Create(nullptr, "bottom", WS_VISIBLE, none, &parent, AFX_IDW_CONTROLBAR_FIRST + 2));
        ASSERT_TRUE(pane.Create(nullptr, "pane", WS_VISIBLE, none, &parent, AFX_IDW_PANE_FIRST));
        ASSERT_TRUE(other.Create(nullptr, "other", WS_VISIBLE, CRect(5, 5, 6, 6), &parent, 77));
        // z-order from the top: top, then left and bottom as the case says
        CWnd* order[] = {&top, c.leftBeforeBottom ? static_cast<CWnd*>(&left) : &bottom,
                         c.leftBeforeBottom ? static_cast<CWnd*>(&bottom) : &left};
        for (CWnd* pBar : order)
            pBar->SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

        CRect query;
        parent.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST, reposQuery,
                              &query);
        EXPECT_EQ(query, CRect(30, 20, 300, 190));
        EXPECT_EQ(ChildRect(top), none); // the query moved nothing
        EXPECT_EQ(ChildRect(pane), none);

        parent.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST);
        EXPECT_EQ(ChildRect(top), CRect(0, 0, 300, 20));
        EXPECT_EQ(ChildRect(left), c.left);
        EXPECT_EQ(ChildRect(bottom), c.bottom);
        EXPECT_EQ(ChildRect(pane), CRect(30, 20, 300, 190));
        EXPECT_EQ(ChildRect(other), CRect(5, 5, 6, 6));

        // extra borders keep space free around the pane
        CRect extra(2, 3, 4, 5);
        parent.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST, reposExtra,
                              &extra);
        EXPECT_EQ(ChildRect(pane), CRect(32, 23, 296, 185));
    }
}

TEST_F(WndTest, TheLeftOverPaneKeepsItsBorderOutsideTheFreeArea)
{
    CWnd parent;
    ASSERT_TRUE(parent.Create(nullptr, "parent", WS_VISIBLE, CRect(0, 0, 200, 100), Host(), 1));
    CSideBar top(CBRS_ALIGN_TOP, 20);
    CWnd pane;
    ASSERT_TRUE(top.Create(nullptr, "top", WS_VISIBLE, CRect(0, 0, 0, 0), &parent, AFX_IDW_CONTROLBAR_FIRST));
    ASSERT_TRUE(pane.CreateEx(WS_EX_CLIENTEDGE, nullptr, "pane", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0),
                              &parent, AFX_IDW_PANE_FIRST));
    parent.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST);
    // the plain border goes outside, the client edge stays inside the free area
    CRect expected(0, 20, 200, 100);
    expected.InflateRect(::GetSystemMetrics(SM_CXBORDER), ::GetSystemMetrics(SM_CYBORDER));
    EXPECT_EQ(ChildRect(pane), expected);
}

TEST_F(WndTest, SafeOwnerIsTheTopLevelWindowOrItsPopupWhenDisabled)
{
    CWnd child, popup;
    ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, CRect(0, 0, 20, 20), Host(), 1));
    HWND hTop = nullptr;
    EXPECT_EQ(CWnd::GetSafeOwner(&child, &hTop)->GetSafeHwnd(), m_hHost);
    EXPECT_EQ(hTop, m_hHost);

    ASSERT_TRUE(popup.CreateEx(0, nullptr, "popup", WS_POPUP | WS_VISIBLE, CRect(0, 0, 30, 30), Host(), 0));
    popup.SetActiveWindow();
    ::EnableWindow(m_hHost, FALSE); // as while a modal popup runs
    EXPECT_EQ(CWnd::GetSafeOwner(&child, &hTop)->GetSafeHwnd(), popup.m_hWnd);
    EXPECT_EQ(hTop, m_hHost);
    ::EnableWindow(m_hHost, TRUE);
}

TEST_F(WndTest, CheckedRadioButtonOfAGroup)
{
    CButton a, b, c;
    ASSERT_TRUE(a.Create("a", WS_VISIBLE | BS_RADIOBUTTON | WS_GROUP, CRect(0, 0, 40, 20), Host(), 401));
    ASSERT_TRUE(b.Create("b", WS_VISIBLE | BS_RADIOBUTTON, CRect(0, 20, 40, 40), Host(), 402));
    ASSERT_TRUE(c.Create("c", WS_VISIBLE | BS_RADIOBUTTON, CRect(0, 40, 40, 60), Host(), 403));
    EXPECT_EQ(Host()->GetCheckedRadioButton(401, 403), 0);
    Host()->CheckRadioButton(401, 403, 402);
    EXPECT_EQ(Host()->GetCheckedRadioButton(401, 403), 402);
    EXPECT_EQ(a.GetCheck(), BST_UNCHECKED);
}

// ---- registered classes ----------------------------------------------------

TEST(AfxRegisterWndClass, NamesAreGeneratedPerCombinationAndReused)
{
    CString a = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    CString b = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    CString c = AfxRegisterWndClass(CS_HREDRAW);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(a.Find('#'), -1); // never taken for a dialog class
    WNDCLASSA wc;
    EXPECT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), c, &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW));
}

} // namespace
