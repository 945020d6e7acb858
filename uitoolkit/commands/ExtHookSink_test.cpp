// Hook chains on real windows: dispatch order, consumption, changed
// parameters, the chain's end at WM_NCDESTROY, sinks that leave or destroy
// the window while they handle a message, and chains on framework windows.
#include "uitoolkit/commands/ExtHookSink.h"

#include "framework/win/AfxWin.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const UINT WM_TEST_PROBE = WM_APP + 7;
const WORD kIdTestCommand = 0x4711;

std::vector<std::string> g_log;
std::vector<WPARAM> g_origWParams;
WNDPROC g_procAtNcDestroy = nullptr;

// The hooked windows' own procedure.
LRESULT CALLBACK OriginalProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_COMMAND || nMessage == WM_TEST_PROBE)
    {
        g_log.push_back("orig");
        g_origWParams.push_back(wParam);
        return 100;
    }
    if (nMessage == WM_NCDESTROY)
    {
        g_log.push_back("orig-ncdestroy");
        g_procAtNcDestroy = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    }
    return ::DefWindowProcA(hWnd, nMessage, wParam, lParam);
}

class CLogSink : public CExtHookSink
{
public:
    explicit CLogSink(std::string name, bool bDetailed = true) : CExtHookSink(bDetailed), m_name(std::move(name)) {}

    bool DispatchHookedMessage(LRESULT& lResult, HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam) override
    {
        if (nMessage == WM_TEST_PROBE)
        {
            g_log.push_back(m_name);
            m_wParamsSeen.push_back(wParam);
            if (m_nAddToWParam != 0)
                wParam += m_nAddToWParam;
            // both may end this object: nothing of it is touched afterwards
            if (m_bDestroyOnProbe)
            {
                ::DestroyWindow(hWnd);
                return false;
            }
            if (m_bLeaveOnProbe)
            {
                SetupHookWndSink(hWnd, true);
                return false;
            }
            if (m_bCallOriginal)
            {
                m_nOriginalResult = CallOriginalProc();
                m_nOriginalResultWithParams = CallOriginalProcWithParams(wParam + 1, 0);
            }
            return false;
        }
        return CExtHookSink::DispatchHookedMessage(lResult, hWnd, nMessage, wParam, lParam);
    }
    bool OnHookCmdMsg(LRESULT& lResult, HWND, WORD wNotifyCode, WORD wID, HWND hWndCtrl) override
    {
        g_log.push_back(m_name + ":cmd");
        m_cmd = {wNotifyCode, wID, hWndCtrl};
        lResult = 42;
        return m_bConsumeCommand;
    }
    bool OnHookNotifyMsg(LRESULT&, HWND, WPARAM, LPARAM) override { return Handled("notify"); }
    bool OnHookPaintMsg(LRESULT&, HWND, HDC hDC) override { return Handled("paint", hDC); }
    bool OnHookEraseBackgroundMsg(LRESULT&, HWND, HDC hDC) override { return Handled("erase", hDC); }
    bool OnHookPrintMsg(LRESULT&, HWND, HDC hDC) override { return Handled("print", hDC); }
    bool OnHookNcPaintMsg(LRESULT&, HWND, HRGN hRgn) override { return Handled("ncpaint", hRgn); }
    void OnHookWndNcDestroy() override
    {
        g_log.push_back(m_name + ":ncdestroy");
        if (m_bWithholdNcDestroy)
            m_nHookSinkFlags |= WithholdNcDestroy;
    }
    void OnHookWndAttach(HWND) override { g_log.push_back(m_name + ":attach"); }
    void OnHookWndDetach(HWND) override { g_log.push_back(m_name + ":detach"); }

    struct Cmd
    {
        WORD wNotifyCode = 0, wID = 0;
        HWND hWndCtrl = nullptr;
    } m_cmd;
    std::string m_name;
    std::vector<WPARAM> m_wParamsSeen;
    WPARAM m_nAddToWParam = 0;
    bool m_bConsumeCommand = false, m_bDestroyOnProbe = false, m_bLeaveOnProbe = false, m_bCallOriginal = false,
         m_bWithholdNcDestroy = false;
    LRESULT m_nOriginalResult = 0, m_nOriginalResultWithParams = 0;
    const void* m_pLastHandle = nullptr;

private:
    bool Handled(const char* what, const void* handle = nullptr)
    {
        g_log.push_back(m_name + ":" + what);
        m_pLastHandle = handle;
        return true;
    }
};

class CAutoDeleteSink : public CLogSink
{
public:
    CAutoDeleteSink(std::string name, bool* pDeleted) : CLogSink(std::move(name)), m_pDeleted(pDeleted) {}
    ~CAutoDeleteSink() override { *m_pDeleted = true; }
    bool IsAutoDeleteHookWndSink() override { return true; }

private:
    bool* m_pDeleted;
};

class HookSinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        g_origWParams.clear();
        g_procAtNcDestroy = nullptr;
        m_hWnd = kxgui::CreateTestWindow(200, 120, "Hook chains", &OriginalProc);
        ASSERT_NE(m_hWnd, nullptr);
    }
    void TearDown() override
    {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        kxgui::PumpUntilIdle();
        AfxDeleteTempMaps();
    }
    WNDPROC CurrentProc() const { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)); }
    HWND m_hWnd = nullptr;
};

TEST_F(HookSinkTest, HeadSinkSeesMessagesFirstAndConsumingHidesThemFromTheRest)
{
    CLogSink first("first"), second("second");
    ASSERT_TRUE(first.SetupHookWndSink(m_hWnd));
    ASSERT_TRUE(second.SetupHookWndSink(m_hWnd, false, true));

    ::SendMessageA(m_hWnd, WM_TEST_PROBE, 1, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"first:attach", "second:attach", "second", "first", "orig"}));

    g_log.clear();
    second.m_bConsumeCommand = true;
    HWND hWndCtrl = reinterpret_cast<HWND>(0x1234);
    LRESULT lResult =
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(kIdTestCommand, BN_CLICKED), reinterpret_cast<LPARAM>(hWndCtrl));
    EXPECT_EQ(lResult, 42);
    EXPECT_EQ(g_log, std::vector<std::string>{"second:cmd"});
    EXPECT_EQ(second.m_cmd.wID, kIdTestCommand);
    EXPECT_EQ(second.m_cmd.wNotifyCode, BN_CLICKED);
    EXPECT_EQ(second.m_cmd.hWndCtrl, hWndCtrl);

    // not consumed: every sink, then the window's own procedure
    g_log.clear();
    second.m_bConsumeCommand = false;
    EXPECT_EQ(::SendMessageA(m_hWnd, WM_COMMAND, kIdTestCommand, 0), 100);
    EXPECT_EQ(g_log, (std::vector<std::string>{"second:cmd", "first:cmd", "orig"}));
    first.RemoveAllWndHooks();
    second.RemoveAllWndHooks();
}

TEST_F(HookSinkTest, ChangedParametersReachLaterSinksAndTheOwnProcedure)
{
    CLogSink first("first"), second("second");
    first.m_nAddToWParam = 10;
    first.SetupHookWndSink(m_hWnd);
    second.SetupHookWndSink(m_hWnd);
    ::SendMessageA(m_hWnd, WM_TEST_PROBE, 5, 0);
    EXPECT_EQ(first.m_wParamsSeen, std::vector<WPARAM>{5});
    EXPECT_EQ(second.m_wParamsSeen, std::vector<WPARAM>{15});
    EXPECT_EQ(g_origWParams, std::vector<WPARAM>{15});
    first.RemoveAllWndHooks();
    second.RemoveAllWndHooks();
}

TEST_F(HookSinkTest, TheOriginalProcedureIsReachableWithTheMessageAsItArrived)
{
    CLogSink first("first"), second("second");
    first.m_nAddToWParam = 10;
    second.m_bCallOriginal = true;
    first.SetupHookWndSink(m_hWnd);
    second.SetupHookWndSink(m_hWnd);
    ::SendMessageA(m_hWnd, WM_TEST_PROBE, 5, 0);
    EXPECT_EQ(second.m_nOriginalResult, 100);
    EXPECT_EQ(second.m_nOriginalResultWithParams, 100);
    // as it arrived, with the given parameters, then the end of the dispatch
    EXPECT_EQ(g_origWParams, (std::vector<WPARAM>{5, 16, 15}));
    first.RemoveAllWndHooks();
    second.RemoveAllWndHooks();
}

TEST_F(HookSinkTest, AddingTwiceKeepsOneEntryAndAnEmptyChainStaysUntilDestruction)
{
    CLogSink first("first"), second("second");
    WNDPROC pfnOwn = CurrentProc();
    first.SetupHookWndSink(m_hWnd);
    second.SetupHookWndSink(m_hWnd);
    EXPECT_TRUE(first.SetupHookWndSink(m_hWnd, false, true)); // stays where it is
    ::SendMessageA(m_hWnd, WM_TEST_PROBE, 0, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"first:attach", "second:attach", "first", "second", "orig"}));

    g_log.clear();
    EXPECT_TRUE(first.SetupHookWndSink(m_hWnd, true));
    EXPECT_TRUE(first.SetupHookWndSink(m_hWnd, true)); // nothing left to remove
    second.RemoveAllWndHooks();
    EXPECT_EQ(g_log, (std::vector<std::string>{"first:detach", "second:detach"}));
    EXPECT_FALSE(first.IsSinkOfWindow(m_hWnd));
    EXPECT_NE(CurrentProc(), pfnOwn); // still subclassed, with no sink

    CList<HWND, HWND> listWnds;
    first.SetupHookWndSink(m_hWnd);
    first.GetHookedWindows(listWnds);
    ASSERT_EQ(listWnds.GetCount(), 1);
    EXPECT_EQ(listWnds.GetHead(), m_hWnd);
    EXPECT_TRUE(first.IsSinkOfWindow(m_hWnd));
    first.RemoveAllWndHooks();
}

TEST_F(HookSinkTest, NcDestroyTellsEverySinkRestoresTheProcedureAndDeletesAutoDeleteSinks)
{
    WNDPROC pfnOwn = CurrentProc();
    bool bDeleted = false;
    CLogSink kept("kept");
    kept.SetupHookWndSink(m_hWnd);
    (new CAutoDeleteSink("auto", &bDeleted))->SetupHookWndSink(m_hWnd);
    g_log.clear();

    ::DestroyWindow(m_hWnd);
    EXPECT_TRUE(bDeleted);
    EXPECT_EQ(g_log, (std::vector<std::string>{"kept:ncdestroy", "auto:ncdestroy", "orig-ncdestroy"}));
    EXPECT_EQ(g_procAtNcDestroy, pfnOwn);
    EXPECT_FALSE(kept.IsSinkOfWindow(m_hWnd));
    CList<HWND, HWND> listWnds;
    kept.GetHookedWindows(listWnds);
    EXPECT_TRUE(listWnds.IsEmpty());
}

TEST_F(HookSinkTest, ASinkCanWithholdNcDestroyFromTheOwnProcedure)
{
    CLogSink sink("sink");
    sink.m_bWithholdNcDestroy = true;
    sink.SetupHookWndSink(m_hWnd);
    g_log.clear();
    ::DestroyWindow(m_hWnd);
    EXPECT_EQ(g_log, std::vector<std::string>{"sink:ncdestroy"});
}

TEST_F(HookSinkTest, RemovingAnAutoDeleteSinkDeletesIt)
{
    bool bDeleted = false;
    CExtHookSink* pSink = new CAutoDeleteSink("auto", &bDeleted);
    pSink->SetupHookWndSink(m_hWnd);
    EXPECT_TRUE(pSink->SetupHookWndSink(m_hWnd, true));
    EXPECT_TRUE(bDeleted);
}

TEST_F(HookSinkTest, SinksThatLeaveOrDestroyTheWindowDuringDispatchBreakNothing)
{
    // a sink leaving (and deleting itself) while it handles the message
    bool bDeleted = false;
    CAutoDeleteSink* pLeaver = new CAutoDeleteSink("leaver", &bDeleted);
    pLeaver->m_bLeaveOnProbe = true;
    CLogSink after("after");
    pLeaver->SetupHookWndSink(m_hWnd);
    after.SetupHookWndSink(m_hWnd);
    g_log.clear();
    EXPECT_EQ(::SendMessageA(m_hWnd, WM_TEST_PROBE, 0, 0), 100);
    EXPECT_TRUE(bDeleted);
    EXPECT_EQ(g_log, (std::vector<std::string>{"leaver", "leaver:detach", "after", "orig"}));

    // a sink destroying the window: the sinks after it and the own
    // procedure never see the message, auto-delete sinks are gone
    CLogSink destroyer("destroyer");
    destroyer.m_bDestroyOnProbe = true;
    destroyer.SetupHookWndSink(m_hWnd, false, true);
    bool bLastDeleted = false;
    (new CAutoDeleteSink("last", &bLastDeleted))->SetupHookWndSink(m_hWnd);
    g_log.clear();
    EXPECT_EQ(::SendMessageA(m_hWnd, WM_TEST_PROBE, 0, 0), 0);
    EXPECT_FALSE(::IsWindow(m_hWnd));
    EXPECT_TRUE(bLastDeleted);
    EXPECT_EQ(g_log, (std::vector<std::string>{"destroyer", "destroyer:ncdestroy", "after:ncdestroy", "last:ncdestroy",
                                               "orig-ncdestroy"}));
    EXPECT_FALSE(after.IsSinkOfWindow(m_hWnd));
    EXPECT_FALSE(destroyer.IsSinkOfWindow(m_hWnd));
}

TEST_F(HookSinkTest, DetailedDispatchRoutesSixMessagesToTheirHandlers)
{
    struct Case
    {
        UINT nMessage;
        const char* handler;
    };
    const Case cases[] = {{WM_NOTIFY, "notify"},
                          {WM_PAINT, "paint"},
                          {WM_ERASEBKGND, "erase"},
                          {WM_PRINT, "print"},
                          {WM_NCPAINT, "ncpaint"}};
    CLogSink detailed("d"), plain("p", false);
    plain.SetupHookWndSink(m_hWnd); // first in the chain, sees everything
    detailed.SetupHookWndSink(m_hWnd);
    const WPARAM handle = 0x5678;
    for (const Case& c : cases)
    {
        g_log.clear();
        detailed.m_pLastHandle = nullptr;
        ::SendMessageA(m_hWnd, c.nMessage, handle, 0);
        EXPECT_EQ(g_log, std::vector<std::string>{std::string("d:") + c.handler}) << c.handler;
        if (c.nMessage != WM_NOTIFY)
        {
            EXPECT_EQ(detailed.m_pLastHandle, reinterpret_cast<const void*>(handle)) << c.handler;
        }
    }
    plain.RemoveAllWndHooks();
    detailed.RemoveAllWndHooks();
}

TEST_F(HookSinkTest, WindowsThatAreNoneCannotBeHooked)
{
    CLogSink sink("sink");
    EXPECT_FALSE(sink.SetupHookWndSink(nullptr));
    EXPECT_FALSE(sink.SetupHookWndSink(nullptr, true));
    HWND hWndGone = m_hWnd;
    ::DestroyWindow(m_hWnd);
    EXPECT_FALSE(sink.SetupHookWndSink(hWndGone));
    EXPECT_TRUE(sink.SetupHookWndSink(hWndGone, true));
}

// ---- a chain on a framework window ----

class CCommandWnd : public CWnd
{
public:
    int m_nCommands = 0;
    bool m_bPostNcDestroy = false;

protected:
    afx_msg void OnTestCommand() { ++m_nCommands; }
    void PostNcDestroy() override { m_bPostNcDestroy = true; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCommandWnd, CWnd)
ON_COMMAND(kIdTestCommand, OnTestCommand)
END_MESSAGE_MAP()

TEST_F(HookSinkTest, AChainOnAFrameworkWindowStillReachesItsMessageMap)
{
    CCommandWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "framework child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50),
                             CWnd::FromHandle(m_hWnd), 1));
    CLogSink sink("sink");
    sink.SetupHookWndSink(wnd.m_hWnd);
    g_log.clear();
    wnd.SendMessage(WM_COMMAND, kIdTestCommand, 0);
    EXPECT_EQ(g_log, std::vector<std::string>{"sink:cmd"});
    EXPECT_EQ(wnd.m_nCommands, 1);

    HWND hWndChild = wnd.m_hWnd;
    g_log.clear();
    wnd.DestroyWindow();
    EXPECT_EQ(g_log, std::vector<std::string>{"sink:ncdestroy"});
    EXPECT_TRUE(wnd.m_bPostNcDestroy); // the framework's own end ran
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_FALSE(sink.IsSinkOfWindow(hWndChild));
}

// ---- mouse capture ----

class CRecordingCaptureSink : public CExtMouseCaptureSink
{
public:
    HWND SetCapture(HWND hWnd) override
    {
        m_hWndAsked = hWnd;
        return CExtMouseCaptureSink::SetCapture(hWnd);
    }
    HWND m_hWndAsked = nullptr;
};

TEST_F(HookSinkTest, ADerivedCaptureSinkSeesSetCapture)
{
    kxgui::Activate(m_hWnd);
    CRecordingCaptureSink sink;
    CExtMouseCaptureSink& base = sink;
    base.SetCapture(m_hWnd);
    EXPECT_EQ(sink.m_hWndAsked, m_hWnd);
    EXPECT_EQ(CExtMouseCaptureSink::GetCapture(), m_hWnd);
    EXPECT_TRUE(CExtMouseCaptureSink::ReleaseCapture());
    EXPECT_EQ(CExtMouseCaptureSink::GetCapture(), nullptr);
}

} // namespace
