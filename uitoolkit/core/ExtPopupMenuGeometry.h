// Where things lie in a popup menu's client area: the item slots of a
// vertical list or of palette rows, the scroll buttons, the expand button of
// a collapsed menu and the tear-off caption, and what a point hits among
// them. The menu window caches the rectangles these compute and describes
// its items to them as a list of sizes.
#pragma once

#include "framework/core/AfxGeometry.h"

#include <functional>
#include <vector>

class CExtPopupMenuGeometry
{
public:
    // Hit-test codes and special indices besides the item indices.
    enum e_hit
    {
        HitNothing = -1,
        HitScrollTop = -2,
        HitScrollBottom = -3,
        HitExpandButton = -4,
        HitTearOffCaption = -5,
    };

    // The menu's frame as laid out and placed.
    struct Frame
    {
        CRect Client; // the cached client rectangle
        int Border = 0;
        int LeftAreaWidth = 0;
        int ExpandButtonHeight = 0;
        int TearOffHeight = 0; // 0 while the tear-off caption is off
        bool Scrollable = false;
        bool ExpandShown = false; // rarely used items hidden
        int ScrollOffset = 0;     // 0 or negative
        int ContentWidth = 0;
    };

    struct Areas
    {
        CRect ScrollTop;
        CRect ScrollBottom;
        CRect ExpandButton;
        CRect TearOffCaption;
    };

    // One item as the geometry sees it.
    struct Item
    {
        bool Displayed = true;
        bool Separator = false;
        bool ToolButton = false;
        bool Wrap = false; // a palette row ends after it
        bool InplaceEdit = false;
        int Width = 0;
        int FullWidth = 0;
        int Height = 0;
        int MarginLeft = 1, MarginTop = 0, MarginRight = 1, MarginBottom = 1;
    };

    // The areas whose condition holds; the others keep their value.
    static void RecalcScrollAreas(const Frame& frame, Areas& areas);

    // The rectangle of a special index (-2 to -5), empty when it is not
    // shown; inner narrows the expand button and tear-off caption by one.
    static CRect SpecialRect(const Frame& frame, const Areas& areas, int nIndex, bool bInner);

    // An item's slot (inner false) or item rectangle in a vertical list;
    // empty for an index outside the list or an item not displayed. The
    // default margins make each slot one pixel taller than its item, except
    // the last.
    static CRect ItemRect(const Frame& frame, const std::vector<Item>& items, int nIndex, bool bInner);

    // Palette rows: true when the item's row ends after it.
    static bool EndsPaletteRow(const std::vector<Item>& items, int nIndex);
    // An item's rectangle in palette rows; separators span the client width
    // less border + 2 at each side, items are centred vertically on the
    // tallest item of their row.
    static CRect ItemRectPalette(const Frame& frame, const std::vector<Item>& items, int nIndex, int nSeparatorHeight);

    // Flags of the visible-item entries.
    enum e_visible_flags
    {
        VisibleRarely = 0x01,
        VisibleRarelyPrev = 0x02,
        VisibleRarelyNext = 0x04,
        VisibleSeparator = 0x08,
        VisibleSubMenu = 0x10,
    };
    // Joins the rarely used entries of a visible-item list into groups: each
    // neighbour of a rarely used entry learns it, and a separator between
    // two of them, outside no-hook tracking, becomes part of their group.
    static void GroupRarelyUsed(int nCount, const std::function<int&(int)>& flagsOf, bool bNoHookTracking);

    // The bands of a painted menu that the items must not paint over: the
    // expand button and tear-off caption when shown, the scroll buttons
    // while the menu can scroll that way, each also as a band of the
    // window's full width, and the border bands at the top and bottom.
    // rcWindow is the window's real client rectangle.
    static std::vector<CRect> ItemClipExclusions(const Frame& frame, const Areas& areas, const RECT& rcWindow,
                                                 int nScrollPosMin);

    // What a client point hits: -1 outside the client rectangle; the scroll
    // buttons only while the menu can scroll that way; the expand button;
    // the tear-off caption (-1 in no-hook or context-help tracking); else
    // the first item whose item rectangle (given by itemRect) holds it.
    static int HitTest(const Frame& frame, const Areas& areas, POINT pt, int nScrollPosMin, bool bNoHookOrHelp,
                       int nItemCount, const std::function<CRect(int)>& itemRect);
};
