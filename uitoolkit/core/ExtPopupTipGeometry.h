// The shape and place of a menu tip: a balloon whose tail points at the
// area it explains, or a flat rectangle with a shadow above or below it.
// The tip window measures its text and icon, then asks these for its window
// size, region outline and position.
#pragma once

#include "framework/core/AfxGeometry.h"

class CExtPopupTipGeometry
{
public:
    enum e_tip_type
    {
        TipTypeNone = 0,
        TipTypeBalloonIcon = 1,
        TipTypeBalloon = 2,
        TipTypeRectIconBelow = 3,
        TipTypeRectBelow = 4,
        TipTypeRectIconAbove = 5,
        TipTypeRectAbove = 6,
    };
    static bool IsBalloon(int nType) { return nType == TipTypeBalloonIcon || nType == TipTypeBalloon; }
    static bool IsRect(int nType) { return nType >= TipTypeRectIconBelow && nType <= TipTypeRectAbove; }
    static bool ShowsIcon(int nType)
    {
        return nType == TipTypeBalloonIcon || nType == TipTypeRectIconBelow || nType == TipTypeRectIconAbove;
    }

    static constexpr int RectMarginX = 3;
    static constexpr int RectMarginY = 2;
    static constexpr int BalloonMarginX = 12; // also the corner ellipse's width
    static constexpr int BalloonMarginY = 10; // and its height
    static constexpr int TailWidth = 25;
    static constexpr int TailHeight = 25;
    static constexpr int IconGap = 5;
    static constexpr int AnchorInset = 12;
    static constexpr int RectGap = 13;

    enum e_mirror
    {
        MirrorHorz = 1,
        MirrorVert = 2,
    };

    struct Shape
    {
        CSize Window;       // the window's size
        CRect Body;         // the balloon's rounded body, or the whole rectangle
        POINT Tail[3] = {}; // the balloon's tail triangle, window coordinates
        int Mirror = 0;     // e_mirror bits
    };

    // A balloon around text of sizeText (with the icon for type 1 when
    // sizeIcon is not empty); the tail moves to the left when the anchor
    // minus the body width leaves the placement area, and points up when the
    // anchor minus the body height minus 20 leaves it at the top.
    static Shape BalloonShape(int nType, SIZE sizeText, SIZE sizeIcon, POINT ptAnchor, const RECT& rcPlacement);
    // The anchor of a balloon for an area: its top-left corner moved
    // inwards by half the anchor inset.
    static POINT BalloonAnchor(const RECT& rcArea);
    // Where a balloon window goes so that the tail's tip lies on the anchor.
    static POINT BalloonPosition(const Shape& shape, POINT ptAnchor, const RECT& rcArea);

    // A rectangular tip: text, icon for types 3 and 5, margins and the
    // shadow on the right and bottom.
    static Shape RectShape(int nType, SIZE sizeText, SIZE sizeIcon, int nShadowSize);
    // Its position: above the area for types 5 and 6; below the cursor's
    // image when the cursor is in the area (nCursorHeight > 0), else 13
    // below the area; then kept inside the placement area.
    static POINT RectPosition(int nType, const Shape& shape, const RECT& rcArea, POINT ptCursor, int nCursorHeight,
                              const RECT& rcPlacement);
};
