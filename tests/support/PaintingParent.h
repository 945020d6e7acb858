#pragma once
// A parent window that paints the background of its children in one colour
// when a themed child asks for its inherited background.

#include "framework/win/AfxWin.h"
#include "uitoolkit/paint/ExtPaintManager.h"

namespace kxtest
{

class CPaintingParent : public CWnd
{
public:
    static constexpr COLORREF kBackground = RGB(0, 200, 0);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != CExtPaintManager::g_nMsgPaintInheritedBackground)
            return CWnd::WindowProc(message, wParam, lParam);
        CRect rc;
        GetClientRect(&rc);
        ::SetBkColor(reinterpret_cast<HDC>(wParam), kBackground);
        ::ExtTextOutA(reinterpret_cast<HDC>(wParam), 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        return 1;
    }
};

} // namespace kxtest
