// Waiting in the toolkit's GUI tests for what timers and input bring about,
// with the application pre-translating every message as a program's loop
// does (tool tips, accelerators, bar prompts).
#pragma once

#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"

#include <functional>

// Dispatches until the queue has stayed empty for a few rounds.
inline void PumpAppUntilIdle(CWinApp& app)
{
    kxgui::PumpUntilIdle([&app](MSG& msg) { return app.PreTranslateMessage(&msg) != FALSE; });
}

// Dispatches one message at a time (timers included) until the condition
// holds; false when it did not within the limit.
inline bool PumpAppUntil(CWinApp& app, const std::function<bool()>& done, DWORD dwLimitMs = 5000)
{
    const DWORD dwStart = ::GetTickCount();
    while (!done())
    {
        MSG msg;
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (!app.PreTranslateMessage(&msg))
            {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            continue;
        }
        if (::GetTickCount() - dwStart > dwLimitMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}
