#pragma once
// A harness window whose client area a test paints through the toolkit's
// off-screen device context, over a plain background, for screenshots of
// painting code.

#include "tests/gui/GuiHarness.h"
#include "uitoolkit/controls/ExtMemoryDC.h"

#include <functional>
#include <utility>

namespace kxtest
{

class ToolkitPaintWindow
{
public:
    typedef std::function<void(CDC& dc)> PaintFn;

    ToolkitPaintWindow(int cx, int cy, const char* title, COLORREF clrBack, PaintFn paint)
        : m_clrBack(clrBack), m_paint(std::move(paint))
    {
        m_hWnd = kxgui::CreateTestWindow(cx, cy, title, &Proc);
        if (m_hWnd != nullptr)
            ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ToolkitPaintWindow()
    {
        if (m_hWnd != nullptr)
            ::DestroyWindow(m_hWnd);
        kxgui::PumpUntilIdle();
    }
    ToolkitPaintWindow(const ToolkitPaintWindow&) = delete;
    ToolkitPaintWindow& operator=(const ToolkitPaintWindow&) = delete;

    HWND Hwnd() const { return m_hWnd; }
    // Paints the whole client area again and returns what the screen shows.
    kxgui::PixelBuffer PaintAndCapture()
    {
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        ::UpdateWindow(m_hWnd);
        kxgui::PumpUntilIdle();
        return kxgui::CaptureScreen(m_hWnd);
    }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* pThis = reinterpret_cast<ToolkitPaintWindow*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (message != WM_PAINT || pThis == nullptr)
            return ::DefWindowProcA(hWnd, message, wParam, lParam);
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(hWnd, &ps);
        {
            CDC target;
            target.Attach(hdc);
            CRect rcClient;
            ::GetClientRect(hWnd, &rcClient);
            {
                CExtMemoryDC dc(&target, &rcClient);
                dc.FillSolidRect(&rcClient, pThis->m_clrBack);
                pThis->m_paint(dc);
            }
            target.Detach();
        }
        ::EndPaint(hWnd, &ps);
        return 0;
    }

    HWND m_hWnd = nullptr;
    COLORREF m_clrBack;
    PaintFn m_paint;
};

} // namespace kxtest
