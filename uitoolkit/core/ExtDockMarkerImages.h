// The docking markers' built-in pictures, drawn here by a few lines of code
// and kept as complete 24-bit BMP files (bottom-up, uncompressed) the way the
// bitmap loaders read program data from memory.
//
// Pure green is the key colour: the window region of a marker is every
// pixel of its picture that is not green.
#pragma once

#include "framework/core/AfxTypes.h"

#include <cstddef>

class CExtDockMarkerImages
{
public:
    static constexpr COLORREF g_clrKey = RGB(0, 255, 0);

    // The BMP file of a marker kind's picture (kinds 0 to 4 and 8) or of the
    // frame around an outer arrow (kinds 0 to 3), followed by one zero byte
    // that nSize counts, as the memory loader expects. False for a kind
    // without such a picture.
    static bool GetBmp(int nKind, bool bOuterFrame, const BYTE*& pData, size_t& nSize);
};
