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
