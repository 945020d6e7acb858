#include "uitoolkit/docking/ExtControlBar.h"

IMPLEMENT_DYNCREATE(CExtControlBar, CControlBar)
IMPLEMENT_DYNCREATE(CExtDockBar, CDockBar)
IMPLEMENT_DYNCREATE(CExtDockOuterBar, CExtDockBar)
IMPLEMENT_DYNAMIC(CExtDynAutoHideSlider, CWnd)
IMPLEMENT_DYNAMIC(CExtDynAutoHideArea, CExtTabWnd)

// ---- dock bars ----

LRESULT CExtDockOuterBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDBLCLK && CExtControlBar::IsFrameHelpMode(this))
        return 0;
    const LRESULT lResult = CExtDockBar::WindowProc(message, wParam, lParam);
    if (CExtPaintManagerHolder::IsSysNotifyMessage(message))
        g_PaintManager.RelaySysNotify(this, message, wParam, lParam);
    return lResult;
}
