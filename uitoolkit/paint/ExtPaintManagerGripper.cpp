// The size grip of status bars and resizable windows: classic diagonal lines,
// or the Office 2003 triangle of dots.
#include "uitoolkit/paint/ExtPaintManager.h"

#include "framework/win/Wnd.h"

void CExtPaintManager::PaintResizingGripper(CDC& dc, const RECT& rc, CWnd* pWnd, LPARAM lParam)
{
    if (rc.left > rc.right || rc.top > rc.bottom || !dc.RectVisible(&rc))
        return;
    CPen penWindow, penShadow;
    penWindow.CreatePen(PS_SOLID, 1, GetColor(COLOR_WINDOW, pWnd, lParam));
    penShadow.CreatePen(PS_SOLID, 1, GetColor(COLOR_3DSHADOW, pWnd, lParam));
    CPen* pOldPen = dc.SelectObject(&penShadow);
    for (int group = 0; group < 3; ++group)
    {
        for (int line = 0; line < 3; ++line)
        {
            dc.SelectObject(line == 2 ? &penWindow : &penShadow);
            const int step = 4 * group + line;
            dc.MoveTo(rc.right - 2 - step, rc.bottom - 1);
            dc.LineTo(rc.right, rc.bottom - 3 - step);
        }
    }
    dc.SelectObject(pOldPen);
}

void CExtPaintManagerOffice2003::PaintResizingGripper(CDC& dc, const RECT& rc, CWnd* pWnd, LPARAM lParam)
{
    if (GetDcBitsPerPixel(dc) <= 8)
    {
        CExtPaintManagerXP::PaintResizingGripper(dc, rc, pWnd, lParam);
        return;
    }
    if (rc.left > rc.right || rc.top > rc.bottom || !dc.RectVisible(&rc))
        return;
    const int kDot = 2, kPitch = 4;
    const COLORREF clrLight = GetColor(TC_2003_GRIPPER_LIGHT, pWnd, lParam);
    const COLORREF clrDark = GetColor(TC_2003_GRIPPER_DARK, pWnd, lParam);
    // three dots in the rightmost column, two in the next, one in the third
    for (int col = 0; col < 3; ++col)
    {
        for (int row = 0; row < 3 - col; ++row)
        {
            const int x = rc.right - kDot - col * kPitch, y = rc.bottom - kDot - row * kPitch;
            dc.FillSolidRect(x, y, kDot, kDot, clrLight);
            dc.FillSolidRect(x - 1, y - 1, kDot, kDot, clrDark);
        }
    }
}
