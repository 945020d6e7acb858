#pragma once
// A framework parent window inside a harness window, for tests of the
// toolkit's controls: the controls' notifications and colour messages are
// reflected back to them as in a dialog, and the pump pre-translates as a
// program's message loop does.

#include "framework/win/AfxWin.h"
#include "tests/gui/GuiHarness.h"

#include <functional>

namespace kxtest
{

class ControlStage
{
public:
    ControlStage(int cx, int cy, const char* title)
    {
        m_hHost = kxgui::CreateTestWindow(cx, cy, title);
        if (m_hHost != nullptr)
            m_parent.Create(nullptr, "stage", WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, cx, cy),
                            CWnd::FromHandle(m_hHost), 1);
    }
    ~ControlStage()
    {
        m_parent.DestroyWindow();
        ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
        AfxDeleteTempMaps();
    }
    ControlStage(const ControlStage&) = delete;
    ControlStage& operator=(const ControlStage&) = delete;

    CWnd& Parent() { return m_parent; }
    HWND Host() const { return m_hHost; }

    void Pump()
    {
        kxgui::PumpUntilIdle([this](MSG& msg) { return CWnd::WalkPreTranslateTree(m_hHost, &msg) != FALSE; });
    }
    // Pumps until the condition holds, waking on each message (timers
    // included); false when it still fails after the time limit.
    bool PumpUntil(const std::function<bool()>& condition, DWORD dwLimitMs = 5000)
    {
        const DWORD dwStart = ::GetTickCount();
        for (;;)
        {
            Pump();
            if (condition())
                return true;
            if (::GetTickCount() - dwStart > dwLimitMs)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        }
    }

private:
    HWND m_hHost = nullptr;
    CWnd m_parent;
};

// Records what a command's update handler set.
class RecordingCmdUI : public CCmdUI
{
public:
    int nEnabled = -1; // -1: not asked
    void Enable(BOOL bOn = TRUE) override { nEnabled = bOn ? 1 : 0; }
};

} // namespace kxtest
