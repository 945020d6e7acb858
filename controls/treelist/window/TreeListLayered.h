// The layered-window functions, looked up by name once per process, for the
// tree list's popups (tooltip, drag images, drop markers). Without them, or
// without a compositor to blend them, the popups stay opaque.
#pragma once

#include <windows.h>

namespace treelist
{

bool IsLayeredAvailable();
// SetLayeredWindowAttributes with LWA_ALPHA.
void SetLayeredAlpha(HWND hWnd, COLORREF crKey, BYTE nAlpha);
// UpdateLayeredWindow with per-pixel alpha from a memory context at (0, 0).
void UpdateLayeredFrom(HWND hWnd, POINT ptDest, SIZE size, HDC hdcSource);

} // namespace treelist
