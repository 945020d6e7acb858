#include "uitoolkit/bars/ExtStatusControlBar.h"

#include "uitoolkit/paint/ExtPaintManager.h"

IMPLEMENT_DYNAMIC(CExtStatusControlBar, CStatusBar)

LRESULT CExtStatusControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CStatusBar::WindowProc(message, wParam, lParam);
    if (CExtPaintManagerHolder::IsSysNotifyMessage(message))
        g_PaintManager.RelaySysNotify(this, message, wParam, lParam);
    return lResult;
}
