// Where a popup menu goes on its monitor: the flips beside the area it must
// not cover, the clamps to the monitor's area, the scrolling of a menu taller
// than the area and the window of a menu drawn combined with that area. The
// menu window gathers the monitor, its size and its flags, asks this for the
// rectangle and applies the outcome to its own state.
#pragma once

#include "framework/core/AfxGeometry.h"

#include <functional>

class CExtPopupMenuPlacement
{
public:
    // Alignments relative to the exclude area (the low four track flags).
    enum e_alignment
    {
        AlignNone = 0,
        AlignRight = 1,
        AlignCenterHorz = 2,
        AlignLeft = 3,
        AlignBottom = 4,
        AlignCenterVert = 5,
        AlignTop = 6,
    };
    // The side of the exclude area a combined menu is joined to.
    enum e_combine_side
    {
        CombineNone = 0,
        CombineBelow = 1, // the menu's top meets the area's bottom
        CombineAbove = 2,
        CombineLeft = 3,
        CombineRight = 4,
    };

    struct Input
    {
        CRect Area; // the monitor's work area or whole rectangle
        CSize Size; // the window size, the tear-off caption included
        int Shadow = 0;
        int Border = 0;
        CPoint Track;  // the track point the alignment gave
        CRect Exclude; // screen coordinates, meaningful with HasExclude
        bool HasExclude = false;
        bool Combined = false;
        int Alignment = AlignNone;
        bool SubMenu = false;
        bool RightToLeft = false;
    };

    struct Result
    {
        CRect Window; // screen coordinates; empty: the menu is not shown
        CRect Client; // the menu's own area in window coordinates, shadow excluded
        bool Scroll = false;
        int CombineSide = CombineNone;
        bool HasExclude = false;
        bool Combined = false;
        int Alignment = AlignNone;
        // A combined menu's window region: the union of these two, in window
        // coordinates; both empty when not combined.
        CRect RegionMenu;
        CRect RegionExclude;
    };

    // The placement. A drop-down that fits neither below nor above flips to
    // above its area once: onFlip runs first (it hides an already shown
    // window) and answers false when the menu's window died meanwhile, which
    // gives an empty window rectangle.
    static Result Place(Input in, const std::function<bool()>& onFlip = {});

    // The window size of a menu: content and left area inside the border,
    // the shadow at the right and bottom, the expand button of a collapsed
    // menu, at least twice the shadow plus 10 each way, one pixel more in
    // height and one more again when no item is displayed.
    static CSize WindowSize(CSize content, int nLeftAreaWidth, int nBorder, int nShadow, bool bCollapsed,
                            int nExpandButtonHeight, bool bNoItemDisplayed);
};
