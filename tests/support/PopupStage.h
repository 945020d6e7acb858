#pragma once
// What the popup window tests share: a full-screen stage window of one known
// colour for popups to appear over, a clock the test moves by hand, and a
// record of the menu sounds played (the test machine has no sound device).

#include "tests/gui/GuiHarness.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtSoundPlayer.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace kxtest
{

// Every popup test starts and ends with the XP theme, no injection and the
// default animation kind, as the application sets them up.
class PopupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(nullptr));
    }
    void TearDown() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        g_PaintManager.InstallPaintManager(nullptr);
    }
};

class PopupStage
{
public:
    explicit PopupStage(COLORREF color) : m_brush(::CreateSolidBrush(color))
    {
        m_hWnd = kxgui::CreateTestWindow(200, 200, "stage", StageProc);
        ::SetPropA(m_hWnd, "KxStageBrush", m_brush);
        ::SetWindowLongA(m_hWnd, GWL_STYLE, WS_POPUP | WS_VISIBLE);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                       SWP_FRAMECHANGED | SWP_NOZORDER);
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        kxgui::Activate(m_hWnd);
        kxgui::PumpUntilIdle();
    }
    ~PopupStage()
    {
        ::DestroyWindow(m_hWnd);
        ::DeleteObject(m_brush);
        kxgui::PumpUntilIdle();
    }
    PopupStage(const PopupStage&) = delete;
    PopupStage& operator=(const PopupStage&) = delete;

    HWND Hwnd() const { return m_hWnd; }

private:
    static LRESULT CALLBACK StageProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_ERASEBKGND)
        {
            RECT rc;
            ::GetClientRect(hWnd, &rc);
            ::FillRect(reinterpret_cast<HDC>(wParam), &rc, static_cast<HBRUSH>(::GetPropA(hWnd, "KxStageBrush")));
            return TRUE;
        }
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
    HBRUSH m_brush;
};

// The popups' animation clock, moved by the test.
// Menus take input only once no animation runs; even a menu shown without
// one finishes on a timer step.
inline void WaitForPopupAnimations()
{
    while (CExtPopupMenuWnd::GetTracker().GetAnimatingPopup() != nullptr)
    {
        ::WaitMessage();
        kxgui::PumpUntilIdle();
    }
}

inline clock_t& FakeClockNow()
{
    static clock_t now = 1000;
    return now;
}

inline clock_t FakeClock()
{
    return FakeClockNow();
}

// The sound aliases played, in order (purges left out).
class SoundRecorder
{
public:
    SoundRecorder()
    {
        Calls().clear();
        ExtTestHooks().pfnPlaySound = Record;
    }
    ~SoundRecorder()
    {
        WaitIdle();
        ExtTestHooks().pfnPlaySound = nullptr;
    }
    SoundRecorder(const SoundRecorder&) = delete;
    SoundRecorder& operator=(const SoundRecorder&) = delete;

    // The aliases played once no sound thread runs any more.
    std::vector<std::string> Played()
    {
        WaitIdle();
        std::lock_guard<std::mutex> lock(Lock());
        return Calls();
    }

private:
    static void WaitIdle()
    {
        ::WaitForSingleObject(g_SoundPlayerIdleEvent, 10000);
        ::SetEvent(g_SoundPlayerIdleEvent);
    }
    static std::mutex& Lock()
    {
        static std::mutex lock;
        return lock;
    }
    static std::vector<std::string>& Calls()
    {
        static std::vector<std::string> calls;
        return calls;
    }
    static BOOL WINAPI Record(LPCSTR pszSound, HMODULE, DWORD)
    {
        if (pszSound != nullptr)
        {
            std::lock_guard<std::mutex> lock(Lock());
            Calls().push_back(pszSound);
        }
        return TRUE;
    }
};

} // namespace kxtest
