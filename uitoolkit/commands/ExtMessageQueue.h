// Taking messages off the thread's queue inside the toolkit's own modal
// loops (drags, resizing, marker fades) without swallowing the program's quit.
#pragma once

#include <windows.h>

class CExtMessageQueue
{
public:
    // Takes the next message of the range off the queue. The quit comes with
    // any range: it goes back for the loop that owns it and ends the taking.
    static bool Take(MSG& msg, UINT nFirst, UINT nLast, HWND hWnd = nullptr);
    // Dispatches every queued message of the one kind, as far as a quit.
    static void DispatchPending(UINT nMsg);
};
