#include "uitoolkit/commands/ExtWndRelations.h"

bool HaveCommonVisibleAncestor(HWND hWnd, HWND hWndOther, bool bRequireEnabled, bool bRequireVisible)
{
    if (hWnd == nullptr || hWndOther == nullptr || !::IsWindow(hWnd) || !::IsWindow(hWndOther))
        return false;
    if (bRequireEnabled && (!::IsWindowEnabled(hWnd) || !::IsWindowEnabled(hWndOther)))
        return false;
    if (bRequireVisible && (!::IsWindowVisible(hWnd) || !::IsWindowVisible(hWndOther)))
        return false;
    for (HWND hWndWalk = hWnd; hWndWalk != nullptr; hWndWalk = ::GetParent(hWndWalk))
    {
        const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongA(hWndWalk, GWL_STYLE));
        if ((dwStyle & (WS_POPUP | WS_VISIBLE)) == 0)
            continue;
        if (hWndWalk == hWndOther || ::IsChild(hWndWalk, hWndOther))
            return true;
    }
    return false;
}
