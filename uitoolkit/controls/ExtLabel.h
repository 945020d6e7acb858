// CExtLabel: the themed static text (or icon) of dialogs. It paints its
// text itself, in its own font attributes and themable colours over the
// parent's background when the theme wants it, through an off-screen device
// context; rectangles, frames, bitmaps and owner-drawn kinds are left to
// the platform.
#pragma once

#include "framework/win/Controls.h"

class CDC;

class CExtLabel : public CStatic
{
    DECLARE_DYNAMIC(CExtLabel)
public:
    enum e_font_style : BYTE
    {
        FONT_BOLD = 0x01,
        FONT_ITALIC = 0x02,
        FONT_UNDERLINE = 0x04,
        FONT_STRIKEOUT = 0x08,
    };

    virtual void DrawLabelText(CDC& dc, const CRect& rc, const CString& sText, UINT nDrawTextFlags, bool bEnabled);
    virtual COLORREF GetTextColorForPaint(bool bEnabled);
    COLORREF GetTextColor(bool bEnabled) const { return bEnabled ? m_clrTextNormal : m_clrTextDisabled; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    BYTE m_bFontStyle = 0;
    COLORREF m_clrTextNormal = static_cast<COLORREF>(-1);
    COLORREF m_clrTextDisabled = static_cast<COLORREF>(-1);
    COLORREF m_clrBackground = static_cast<COLORREF>(-1);

protected:
    void OnPaint();
    void DrawIcon(CDC& dc, const CRect& rcClient);
};
