#include "uitoolkit/bars/ExtTabMdiWnd.h"

IMPLEMENT_DYNAMIC(CExtTabMdiWnd, CExtTabWnd)

void CExtTabMdiWnd::SyncVisibility()
{
    const bool bVisible = (GetStyle() & WS_VISIBLE) != 0;
    CWnd* pParent = GetParent();
    CFrameWnd* pFrame = pParent != nullptr && pParent->IsFrameWnd() ? static_cast<CFrameWnd*>(pParent) : nullptr;
    const bool bHide = GetItemCount() == 0 || (pFrame != nullptr && (CExtControlBar::IsFramePrintPreview(pFrame) ||
                                                                     CExtControlBar::IsOleInPlaceActive(pFrame)));
    if (bHide)
    {
        if (bVisible)
            SetWindowPos(nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOOWNERZORDER | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        return;
    }
    if (bVisible)
        return;
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOOWNERZORDER | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    // the client's border joins the strip only once it is recomputed
    if (const HWND hWndClient = GetMdiClientHwnd())
        ::SetWindowPos(hWndClient, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOOWNERZORDER | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
}
