#include "uitoolkit/commands/ExtMessageQueue.h"

bool CExtMessageQueue::Take(MSG& msg, UINT nFirst, UINT nLast, HWND hWnd)
{
    if (!::PeekMessageA(&msg, hWnd, nFirst, nLast, PM_REMOVE))
        return false;
    if (msg.message != WM_QUIT)
        return true;
    ::PostQuitMessage(static_cast<int>(msg.wParam));
    return false;
}

void CExtMessageQueue::DispatchPending(UINT nMsg)
{
    MSG msg;
    while (Take(msg, nMsg, nMsg))
        ::DispatchMessageA(&msg);
}
