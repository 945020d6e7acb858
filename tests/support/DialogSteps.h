#pragma once
// Steps that a test runs inside a modal dialog's own loop once the dialog has
// shown itself: a timer message comes only after the pending paints.

#include <windows.h>

#include <functional>
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

} // namespace kxtest
