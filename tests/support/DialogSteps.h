#pragma once
// Steps that a test runs inside a modal dialog's own loop once the dialog has
// shown itself: a timer message comes only after the pending paints.

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

namespace kxtest
{

inline std::function<void(HWND)>& PendingDialogStep()
{
    static std::function<void(HWND)> s_step;
    return s_step;
}

inline void CALLBACK RunDialogStep(HWND hWnd, UINT, UINT_PTR nId, DWORD)
{
    ::KillTimer(hWnd, nId);
    std::function<void(HWND)> step;
    step.swap(PendingDialogStep());
    if (step)
        step(hWnd);
}

// Runs the step on the window once its loop is idle.
inline void Then(HWND hWnd, std::function<void(HWND)> step)
{
    PendingDialogStep() = std::move(step);
    ::SetTimer(hWnd, 1, 0, &RunDialogStep);
}

struct PendingWindowStep
{
    std::string caption;
    std::function<void(HWND)> step;
    UINT_PTR nTimer = 0;
};

inline PendingWindowStep& PendingWindow()
{
    static PendingWindowStep s_pending;
    return s_pending;
}

inline void CALLBACK RunWindowStep(HWND, UINT, UINT_PTR nId, DWORD)
{
    const HWND hWnd = ::FindWindowA(nullptr, PendingWindow().caption.c_str());
    if (hWnd == nullptr || !::IsWindowVisible(hWnd))
        return;
    ::KillTimer(nullptr, nId);
    PendingWindow().nTimer = 0;
    std::function<void(HWND)> step;
    step.swap(PendingWindow().step);
    if (step)
        step(hWnd);
}

// Runs the step on the top-level window of that caption from inside the
// modal loop that shows it, once the loop has shown it (a window made by
// the code under test, which the test cannot reach before).
inline void WhenShown(const char* caption, std::function<void(HWND)> step)
{
    PendingWindow().caption = caption;
    PendingWindow().step = std::move(step);
    // Slow enough that the pumping before the window comes still finds the
    // queue quiet now and then.
    PendingWindow().nTimer = ::SetTimer(nullptr, 0, 100, &RunWindowStep);
}

// Forgets a step whose window never came.
inline void CancelWhenShown()
{
    if (PendingWindow().nTimer != 0)
        ::KillTimer(nullptr, PendingWindow().nTimer);
    PendingWindow() = PendingWindowStep();
}

} // namespace kxtest
