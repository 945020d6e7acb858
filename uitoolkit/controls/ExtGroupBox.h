// CExtGroupBox: the themed group box of dialogs. It paints its own frame in
// one of five styles with a caption that interrupts the frame (or, in the
// header style, sits in a filled header bar), over the parent's background
// when the theme wants it, through an off-screen device context.
#pragma once

#include "framework/win/Controls.h"

class CDC;

class CExtGroupBox : public CButton
{
    DECLARE_DYNAMIC(CExtGroupBox)
public:
    enum e_frame_style
    {
        STYLE_SYSTEM = 0, // the visual style's group frame, else etched
        STYLE_ETCHED = 1,
        STYLE_ROUNDED = 2,
        STYLE_FLAT = 3,
        STYLE_CAPTION = 4, // a flat frame under a filled header bar holding the caption
    };
    enum e_caption_align
    {
        ALIGN_LEFT = 0,
        ALIGN_RIGHT = 1,
        ALIGN_CENTER = 2,
    };

    // Draws the caption into rcCaption and leaves there the rectangle the
    // frame must leave open; an empty one when the caption goes elsewhere.
    virtual void DrawCaption(CDC& dc, CRect& rcCaption, const CString& sText, UINT nDrawTextFlags, bool bEnabled);
    virtual void DrawFrame(CDC& dc, const CRect& rcFrame);

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int m_nCaptionAlign = ALIGN_LEFT;
    int m_nFrameStyle = STYLE_SYSTEM;
    int m_nHeaderHeight = 18;
    COLORREF m_clrBackground = static_cast<COLORREF>(-1);

protected:
    void OnPaint();
    void DrawEtchedFrame(CDC& dc, const CRect& rcFrame);
    void DrawHeaderFrame(CDC& dc);
};
