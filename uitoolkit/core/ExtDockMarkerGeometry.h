// The platform-free half of the docking markers: where a marker of each
// kind sits over its target rectangle, the frame of an outer marker, the
// compass box, and the shading of the translucent docking preview over a
// 32-bit pixel buffer. The themes' marker sets and painters call these.
#pragma once

#include "framework/core/AfxGeometry.h"

class CExtDockMarkerGeometry
{
public:
    enum e_kind
    {
        KindEmpty = -1,
        KindTop = 0,
        KindBottom = 1,
        KindLeft = 2,
        KindRight = 3,
        KindCompassCentre = 4,
        KindOuterSet = 5,
        KindCompass = 6,
        KindCompassWithTab = 7,
        KindTab = 8,
    };

    // What lies around a marker's own image.
    static constexpr int g_nCompassPadding = 12; // around the compass centre, each side

    // A marker of cx x cy at its kind's place in rc: kinds 0 to 3 at their
    // edge and centred along it, kinds 4 and 8 centred both ways.
    static RECT PlaceMarker(int nKind, const RECT& rc, int cx, int cy);
    // An outer marker's frame at its edge of rc, moved inwards by that
    // edge's margin.
    static RECT PlaceOuterFrame(int nKind, const RECT& rc, int cxFrame, int cyFrame, const RECT& rcMargins);
    // Where an outer marker's window draws the arrow inside its frame.
    static POINT OuterImageOffset(int nKind);
    // The final nudge of a laid-out marker (in a compass or on its own).
    static POINT LayoutShift(int nKind, bool bCompass);
    // The box the compass arrows are laid out on: the centre's size plus the
    // padding, centred in rc.
    static RECT CompassBox(const RECT& rc, int cxCentre, int cyCentre);

    // Shades the preview in place. pPixels holds nWidth x nHeight pixels
    // 0x00RRGGBB, the bottom row first; rectangles are counted from the top.
    // In tab shape only the body and the tab are touched. With bFewColors
    // every second pixel of the shape becomes clrCheckers; otherwise each
    // pixel goes half way to the fill or (within nBorderWidth of the shape's
    // outline) the border colour, and is lightened.
    static void ShadeDockingPreview(DWORD* pPixels, int nWidth, int nHeight, bool bTabShape, bool bTabTop,
                                    const RECT& rcBody, const RECT& rcTab, COLORREF clrFill, COLORREF clrBorder,
                                    int nBorderWidth, bool bFewColors, COLORREF clrCheckers);
};
