// The paint records callers build on their stack and hand to the theme's
// painters. A record owns nothing; colours of -1 mean the theme's own.
#pragma once

#include "uitoolkit/paint/ExtPaintManager.h"

// A push button, tool-bar or menu-bar button, chevron, popup scroll part or
// in-place combo button.
struct CExtPaintManager::PushButtonParams
{
    // Bits of TextAlignment (bit 2: bottom for vertical buttons).
    enum e_text_alignment : DWORD
    {
        AlignCenter = 1,
        AlignRight = 2,
        AlignVCenter = 4,
    };

    PushButtonParams(CObject* pOwner, bool bHorizontal, const RECT& rcButton, LPCTSTR lpszText, CExtCmdIcon* pIcon,
                     bool bFlat, bool bHover, bool bPushed, bool bExtraState, bool bEnabled, bool bDrawBorder,
                     bool bDrawFocusRect, bool bDefaultButton, DWORD dwTextAlignment, HFONT hFont = nullptr,
                     bool bDropDown = false, UINT nSysCmdId = 0, bool bTransparentBackground = false);

    // Forced by the caller, or the direction of the window a bar button
    // sits in.
    bool IsRightToLeft() const;

    CObject* Owner;
    LPARAM LParam = 0;
    CRect ButtonRect;
    LPCTSTR Text;
    CExtCmdIcon* Icon;
    DWORD TextAlignment;
    HFONT Font;
    UINT SysCmdId;
    bool Horizontal : 1;
    bool Flat : 1;
    bool Hover : 1;
    bool Pushed : 1;
    bool ExtraState : 1; // carried for the caller; cleared on disabled buttons
    bool Enabled : 1;
    bool DrawBorder : 1;
    bool DrawFocusRect : 1;
    bool DefaultButton : 1;
    bool DropDown : 1;
    bool TransparentBackground : 1;
    bool SeparateDropDown : 1;
    bool DropDownPushed : 1;
    bool WordBreak : 1;
    COLORREF TextDisabledColor = static_cast<COLORREF>(-1);
    COLORREF TextNormalColor = static_cast<COLORREF>(-1);
    COLORREF TextHoverColor = static_cast<COLORREF>(-1);
    COLORREF TextPushedColor = static_cast<COLORREF>(-1);
    COLORREF IconEffectColor = static_cast<COLORREF>(-1);
    COLORREF BackgroundColor = static_cast<COLORREF>(-1);
    DWORD DrawTextFormat;
    bool PlainDisabledText : 1;
    bool ForceRightToLeft : 1;
    bool RightToLeftReading : 1;
};

// The frame of an edit control.
struct CExtPaintManager::ControlFrameParams
{
    ControlFrameParams(CObject* pOwner, const RECT& rcFrame, bool bExtraState, bool bHover, bool bEnabled, bool bFocus)
        : Owner(pOwner), FrameRect(rcFrame), ExtraState(bExtraState), Hover(bHover), Enabled(bEnabled), Focus(bFocus)
    {
    }

    CObject* Owner;
    LPARAM LParam = 0;
    CRect FrameRect; // the frame is drawn on it and outward
    bool ExtraState : 1;
    bool Hover : 1;
    bool Enabled : 1;
    bool Focus : 1;
};

// The frame and drop-down button of a combo box.
struct CExtPaintManager::ComboFrameParams
{
    ComboFrameParams(CObject* pOwner, const RECT& rcFrame, bool bHover, bool bPushed, bool bEnabled)
        : Owner(pOwner), FrameRect(rcFrame), Hover(bHover), Pushed(bPushed), Enabled(bEnabled), InMenuItem(false)
    {
    }
    bool IsHighlighted() const { return Hover || Pushed; }
    // The size of the arrow's Marlett font in tenths of a point: 6 points at
    // 96 dots per inch, the same pixel height at any other resolution.
    static int ArrowPointSize(int nLogPixelsY) { return ::MulDiv(60, 96, nLogPixelsY); }

    CObject* Owner;
    LPARAM LParam = 0;
    CRect FrameRect; // the whole combo, button included
    bool Hover : 1;
    bool Pushed : 1; // the list is dropped down
    bool Enabled : 1;
    // Custom colours: the first two while not highlighted, the third while
    // highlighted.
    COLORREF FrameColor = static_cast<COLORREF>(-1);
    COLORREF FaceColor = static_cast<COLORREF>(-1);
    COLORREF HotFrameColor = static_cast<COLORREF>(-1);
    bool InMenuItem : 1;
};

// The borders of a status bar, or the frame of one of its panes.
struct CExtPaintManager::StatusBarItemParams
{
    enum e_kind
    {
        KindBarBorders = 1, // Style holds the bar's CBRS_BORDER_* bits
        KindPane = 2,
    };

    StatusBarItemParams(CObject* pHelperSrc, int nKind, DWORD dwStyle, const RECT& rc)
        : Owner(pHelperSrc), Kind(nKind), Style(dwStyle), Rect(rc)
    {
    }

    CObject* Owner;
    LPARAM LParam = 0;
    int Kind;
    DWORD Style;
    CRect Rect;
};

// A caption button of a control bar (close, menu, auto-hide, expand).
struct CExtPaintManager::BarNcButtonParams
{
    BarNcButtonParams(CObject* pOwner, const RECT& rcButton, int nGlyphIndex, bool bHover, bool bPushed, bool bEnabled,
                      bool bOnCaption, bool bActiveBar, bool bFloatingBar)
        : Owner(pOwner), ButtonRect(rcButton), GlyphIndex(nGlyphIndex), Hover(bHover), Pushed(bPushed),
          Enabled(bEnabled), OnCaption(bOnCaption), ActiveBar(bActiveBar), FloatingBar(bFloatingBar)
    {
    }
    // A disabled button never shows the hover look.
    bool IsHovered() const { return Hover && Enabled; }

    CObject* Owner;
    LPARAM LParam = 0;
    CRect ButtonRect;
    int GlyphIndex; // into the numbered glyph table
    bool Hover : 1;
    bool Pushed : 1;
    bool Enabled : 1;
    bool OnCaption : 1;
    bool ActiveBar : 1;
    bool FloatingBar : 1;
};

// The caption or gripper strip of a control bar or floating frame, in
// window coordinates.
struct CExtPaintManager::BarCaptionParams
{
    BarCaptionParams(CObject* pBar, const RECT& rcCaption, const RECT& rcText, bool bActive, bool bFloatingFrame,
                     bool bSideCaption, bool bPaneTitle, LPCTSTR lpszText, bool bRightToLeft)
        : Bar(pBar), CaptionRect(rcCaption), TextRect(rcText), Active(bActive), FloatingFrame(bFloatingFrame),
          SideCaption(bSideCaption), PaneTitle(bPaneTitle), Text(lpszText != nullptr ? lpszText : _T("")),
          NoFill(false), RightToLeft(bRightToLeft)
    {
    }

    CObject* Bar;
    LPARAM LParam = 0;
    CRect CaptionRect;
    CRect TextRect;
    bool Active : 1;
    bool FloatingFrame : 1; // never drawn as a gripper
    bool SideCaption : 1;   // runs down the left side of a horizontal bar
    bool PaneTitle : 1;     // a title with text; clear for a gripper
    LPCTSTR Text;
    bool NoFill : 1; // the background is painted already
    bool RightToLeft : 1;
};

// The border around a control bar's or floating frame's client area, in
// window coordinates.
struct CExtPaintManager::BarFrameParams
{
    BarFrameParams(CObject* pBar, const RECT& rcWindow, const RECT& rcClient, bool bFloating, bool bNoEdge,
                   bool bNoDottedOutline)
        : Bar(pBar), WindowRect(rcWindow), ClientRect(rcClient), Floating(bFloating), NoEdge(bNoEdge),
          NoDottedOutline(bNoDottedOutline)
    {
    }

    CObject* Bar;
    LPARAM LParam = 0;
    CRect WindowRect;
    CRect ClientRect;
    bool Floating : 1;
    bool NoEdge : 1;
    bool NoDottedOutline : 1;
};

// One popup-menu item: its rectangles, texts, icon and states.
struct CExtPaintManager::MenuItemParams
{
    MenuItemParams(CObject* pOwner, const RECT& rcItem, const RECT& rcRow, int nIconAreaWidth, LPCTSTR lpszText,
                   LPCTSTR lpszAccelText, CExtCmdIcon* pIcon, bool bPopup, bool bSelected, bool bChecked, bool bRadio,
                   bool bExtraState, bool bEnabled, bool bRarely, bool bRarelyPrev, bool bRarelyNext, UINT nSysCmdId,
                   HFONT hFont)
        : Owner(pOwner), ItemRect(rcItem), RowRect(rcRow), IconAreaWidth(nIconAreaWidth),
          Text(lpszText != nullptr ? lpszText : ""), AccelText(lpszAccelText != nullptr ? lpszAccelText : ""),
          Icon(pIcon), SysCmdId(nSysCmdId), Font(hFont), Popup(bPopup), Selected(bSelected), Checked(bChecked),
          Radio(bRadio), ExtraState(bExtraState), Enabled(bEnabled), Rarely(bRarely), RarelyPrev(bRarelyPrev),
          RarelyNext(bRarelyNext), NoIconArea(false), GlyphArrow(false), SplitPopup(false), IconInSecondHalf(false),
          CheckBoxInFirstHalf(false), InPlaceButtonPushed(false)
    {
        InPlaceRect.SetRectEmpty();
    }
    // Asks a popup-menu owner; anything else runs left to right.
    bool IsRightToLeft() const;

    CObject* Owner;
    LPARAM LParam = 0;
    CRect ItemRect;
    CRect RowRect;
    int IconAreaWidth;
    LPCTSTR Text;
    LPCTSTR AccelText;
    CExtCmdIcon* Icon;
    UINT SysCmdId;
    HFONT Font; // null: the theme's normal font
    bool Popup : 1;
    bool Selected : 1;
    bool Checked : 1;
    bool Radio : 1;
    bool ExtraState : 1; // carried, read by no painter
    bool Enabled : 1;
    bool Rarely : 1;
    bool RarelyPrev : 1;
    bool RarelyNext : 1;
    bool NoIconArea : 1;
    bool GlyphArrow : 1;
    bool SplitPopup : 1;
    bool IconInSecondHalf : 1;
    bool CheckBoxInFirstHalf : 1;
    CRect InPlaceRect;
    CString InPlaceText;
    bool InPlaceButtonPushed : 1;
    COLORREF IconEffectColor = static_cast<COLORREF>(-1);
};
