#include "uitoolkit/bars/ExtTabWnd.h"

#include "uitoolkit/paint/ExtPaintManager.h"

IMPLEMENT_DYNAMIC(CExtTabWnd, CWnd)
IMPLEMENT_DYNAMIC(CExtTabMdiWnd, CExtTabWnd)

LRESULT CExtTabWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CWnd::WindowProc(message, wParam, lParam);
    if (CExtPaintManagerHolder::IsSysNotifyMessage(message))
        g_PaintManager.RelaySysNotify(this, message, wParam, lParam);
    return lResult;
}
