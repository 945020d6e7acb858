// The framework's per-thread state: the message being handled, the window
// waiting for the creation hook, and the frames idle processing updates.
#pragma once

#include "framework/core/AfxTypes.h"

#include <vector>

class CWnd;
class CWinThread;

struct _AFX_THREAD_STATE
{
    // The message the innermost framework window procedure is handling, for
    // Default() and for hooks that call the original procedure.
    MSG m_lastSentMsg = {};
    // The object the creation hook attaches to the next window made.
    CWnd* m_pWndInit = nullptr;
    HHOOK m_hHookOldCbtFilter = nullptr;
    // The thread object running on this thread, if any.
    CWinThread* m_pCurrentWinThread = nullptr;
    // Frames of this thread, for idle update of their command UI.
    std::vector<CWnd*> m_frameList;
};

_AFX_THREAD_STATE* AfxGetThreadState();

// Framework code and the code written against it call GetSafeHwnd() and its
// kin on pointers that may be null. The compiler may assume that `this` is
// never null and drop a plain test, so the pointer goes through an empty asm
// statement that hides where it came from.
template <class T>
inline const T* AfxNullableThis(const T* p)
{
    asm("" : "+r"(p));
    return p;
}
