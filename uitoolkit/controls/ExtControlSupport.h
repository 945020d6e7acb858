// What the toolkit's edit, combo box and static controls share: their own
// tooltip over the whole client area, their font and background, the colours they answer a control
// colour message with, and the test that lets a control show hover only
// while it belongs to the active window.
#pragma once

#include "framework/win/Controls.h"
#include "framework/win/GdiObjects.h"

class CExtControlSupport
{
public:
    // Creates the control's tooltip on first need (inactive until a text is
    // set).
    static void EnsureToolTip(CWnd& wnd, CToolTipCtrl& tip);
    // One tool over the client area with the text; a multi-line text (one
    // holding a carriage return) wraps at nMaxWidth pixels.
    static void SetToolTipText(CWnd& wnd, CToolTipCtrl& tip, LPCTSTR lpszText, bool bActivate, int nMaxWidth);
    static void ActivateToolTip(CToolTipCtrl& tip, bool bActivate);
    // A shown tooltip goes to the top of the z-order without being moved,
    // sized or activated; true when the notification was the tip's.
    static bool OnToolTipNotify(const CToolTipCtrl& tip, LPARAM lParam);

    // Sets the text and background colours on the device context and
    // returns a solid brush of the background, made again only when the
    // background changed.
    static HBRUSH ApplyColors(CDC* pDC, COLORREF clrText, COLORREF clrBack, CBrush& brush, COLORREF& clrBrush);

    // The font a control draws its text in: its own, else its parent's,
    // else the default GUI font, else the system font.
    static HFONT GetControlFont(HWND hWnd);
    // The background of a control drawn by the toolkit: the parent's
    // background behind it when the theme wants inherited backgrounds and
    // no colour is set (the visible children left out), else the colour or
    // the theme's face colour.
    static void PaintBackground(CWnd& wnd, CDC& dc, const CRect& rcClient, COLORREF clrBackground);

    // Whether the control and the active window share a visible (or popup)
    // ancestor, both of them enabled and visible.
    static bool IsInActiveContext(HWND hWnd);
};
