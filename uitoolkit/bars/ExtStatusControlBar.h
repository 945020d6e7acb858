// The toolkit's status bar: every one passes the four system notifications
// on, and a frame's standard status bar is its only relay.
#pragma once

#include "framework/win/StatusBar.h"

class CExtStatusControlBar : public CStatusBar
{
    DECLARE_DYNAMIC(CExtStatusControlBar)
public:
    CExtStatusControlBar() = default;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
