// Whether two windows belong together for hover and wheel handling: a
// window reacts to the mouse only while it and the active window share a
// visible ancestor, so that windows of inactive frames stay still.
#pragma once

#include "framework/core/AfxTypes.h"

// False when either handle is no window or a required state (enabled,
// visible) fails for either; otherwise whether some window from hWnd up its
// parents that is visible (or a popup) is hWndOther or an ancestor of it.
bool HaveCommonVisibleAncestor(HWND hWnd, HWND hWndOther, bool bRequireEnabled, bool bRequireVisible);
