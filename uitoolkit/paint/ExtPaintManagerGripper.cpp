// The size grip of status bars and resizable windows (classic diagonal lines
// or the Office 2003 triangle of dots), sunken frames and the colour and
// strength command icons take for their colourised state.
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

void CExtPaintManager::PaintSunkenFrame(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam)
{
    dc.Draw3dRect(&rc, GetColor(COLOR_3DSHADOW, pHelperSrc, lParam), GetColor(COLOR_3DHILIGHT, pHelperSrc, lParam));
}

void CExtPaintManager::PaintTabNcFrame(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam)
{
    CExtPaintManager::PaintSunkenFrame(dc, rc, pHelperSrc, lParam);
}

void CExtPaintManagerXP::PaintSunkenFrame(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam)
{
    const COLORREF clr = GetColor(COLOR_3DSHADOW, pHelperSrc, lParam);
    dc.Draw3dRect(&rc, clr, clr);
}

void CExtPaintManagerXP::PaintTabNcFrame(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam)
{
    CExtPaintManagerXP::PaintSunkenFrame(dc, rc, pHelperSrc, lParam);
}

COLORREF CExtPaintManager::GetIconAlphaColor()
{
    return static_cast<COLORREF>(-1);
}

double CExtPaintManager::GetIconAlphaFactor()
{
    return 0.0;
}

COLORREF CExtPaintManagerOffice2003::GetIconAlphaColor()
{
    if (!g_PaintManager.OsFlags.Win2000OrLater)
        return static_cast<COLORREF>(-1);
    return GetColor(COLOR_3DFACE, this, 0);
}

double CExtPaintManagerOffice2003::GetIconAlphaFactor()
{
    return 0.7;
}

// Controls draw their own text colour and check box unless a theme says
// otherwise; none of ours does.
COLORREF CExtPaintManager::GetControlTextColor(CDC&, UINT, UINT, UINT, UINT, CObject*, LPARAM)
{
    return static_cast<COLORREF>(-1);
}

bool CExtPaintManager::PaintCheckBoxBox(CDC&, RECT, UINT, CObject*, LPARAM)
{
    return false;
}
