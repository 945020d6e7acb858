// Taking messages in the toolkit's modal loops: the range is honoured, and a
// quit met by a filtered take stays queued for the loop that owns it.
#include "uitoolkit/commands/ExtMessageQueue.h"

#include "framework/win/AfxWin.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

const UINT WM_TEST_FIRST = WM_APP + 21;
const UINT WM_TEST_OTHER = WM_APP + 22;

std::vector<UINT> g_dispatched;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_TEST_FIRST || nMessage == WM_TEST_OTHER)
    {
        g_dispatched.push_back(nMessage);
        return 0;
    }
    return ::DefWindowProcA(hWnd, nMessage, wParam, lParam);
}

class ExtMessageQueueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        kxgui::PumpUntilIdle();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "KxMessageQueueTest";
        ::RegisterClassA(&wc);
        m_hWnd =
            ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(m_hWnd, nullptr);
        g_dispatched.clear();
    }
    void TearDown() override
    {
        ::DestroyWindow(m_hWnd);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, WM_TEST_FIRST, WM_TEST_OTHER, PM_REMOVE))
        {
        }
    }
    // Takes the quit the code under test left queued; false when there is none.
    static bool TakeQuit(WPARAM& nCode)
    {
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            return false;
        nCode = msg.wParam;
        return true;
    }
    HWND m_hWnd = nullptr;
};

TEST_F(ExtMessageQueueTest, TakeKeepsToTheRangeAndTheWindow)
{
    ::PostMessageA(m_hWnd, WM_TEST_OTHER, 0, 0);
    ::PostMessageA(m_hWnd, WM_TEST_FIRST, 1, 0);
    const HWND hOther = ::CreateWindowExA(0, "KxMessageQueueTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                          ::GetModuleHandleA(nullptr), nullptr);
    MSG msg;
    EXPECT_FALSE(CExtMessageQueue::Take(msg, WM_TEST_FIRST, WM_TEST_FIRST, hOther));
    ::DestroyWindow(hOther);
    ASSERT_TRUE(CExtMessageQueue::Take(msg, WM_TEST_FIRST, WM_TEST_FIRST, m_hWnd));
    EXPECT_EQ(msg.message, WM_TEST_FIRST);
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_FALSE(CExtMessageQueue::Take(msg, WM_TEST_FIRST, WM_TEST_FIRST));
    ASSERT_TRUE(CExtMessageQueue::Take(msg, WM_TEST_OTHER, WM_TEST_OTHER));
    EXPECT_EQ(msg.message, WM_TEST_OTHER);
}

TEST_F(ExtMessageQueueTest, AQuitMetByAFilteredTakeStaysForItsOwner)
{
    ::PostQuitMessage(9);
    MSG msg;
    EXPECT_FALSE(CExtMessageQueue::Take(msg, WM_PAINT, WM_PAINT));
    WPARAM nCode = 0;
    ASSERT_TRUE(TakeQuit(nCode));
    EXPECT_EQ(nCode, 9u);
}

TEST_F(ExtMessageQueueTest, DispatchPendingStopsAtAQuitAndLeavesItQueued)
{
    ::PostMessageA(m_hWnd, WM_TEST_FIRST, 0, 0);
    ::PostMessageA(m_hWnd, WM_TEST_FIRST, 0, 0);
    ::PostMessageA(m_hWnd, WM_TEST_OTHER, 0, 0);
    CExtMessageQueue::DispatchPending(WM_TEST_FIRST);
    EXPECT_EQ(g_dispatched, (std::vector<UINT>{WM_TEST_FIRST, WM_TEST_FIRST}));

    g_dispatched.clear();
    ::PostQuitMessage(4);
    CExtMessageQueue::DispatchPending(WM_TEST_OTHER);
    WPARAM nCode = 0;
    ASSERT_TRUE(TakeQuit(nCode));
    EXPECT_EQ(nCode, 4u);
    CExtMessageQueue::DispatchPending(WM_TEST_OTHER);
    EXPECT_EQ(g_dispatched, std::vector<UINT>{WM_TEST_OTHER});
}

} // namespace
