// Five anchored controls in a 300 x 200 client area and where each belongs
// at five client sizes: one held at the top left, one at the bottom right,
// one stretched between both corners, and two side by side along the
// bottom sharing the extra width half and half. The native arithmetic tests and the resizable
// dialog's tests under Wine check the same table.
#pragma once

#include "uitoolkit/core/ExtAnchorLayout.h"

struct ExtAnchorTestControl
{
    CRect rc;
    CSize szLT;
    CSize szRB;
};

const int kExtAnchorTestClientCx = 300, kExtAnchorTestClientCy = 200;

const ExtAnchorTestControl kExtAnchorTestControls[5] = {
    {CRect(10, 10, 90, 30), g_szAnchorTopLeft, g_szAnchorNone},
    {CRect(200, 160, 290, 190), g_szAnchorBottomRight, g_szAnchorNone},
    {CRect(10, 40, 290, 110), g_szAnchorTopLeft, g_szAnchorBottomRight},
    {CRect(10, 120, 145, 140), CSize(0, 100), CSize(50, 100)},
    {CRect(155, 120, 290, 140), CSize(50, 100), CSize(100, 100)},
};

struct ExtAnchorTestSize
{
    int cx, cy;
    CRect expected[5];
};

const ExtAnchorTestSize kExtAnchorTestSizes[5] = {
    {300, 200, {{10, 10, 90, 30}, {200, 160, 290, 190}, {10, 40, 290, 110}, {10, 120, 145, 140}, {155, 120, 290, 140}}},
    {301, 201, {{10, 10, 90, 30}, {201, 161, 291, 191}, {10, 40, 291, 111}, {10, 121, 146, 141}, {156, 121, 291, 141}}},
    {400, 260, {{10, 10, 90, 30}, {300, 220, 390, 250}, {10, 40, 390, 170}, {10, 180, 195, 200}, {205, 180, 390, 200}}},
    {333, 250, {{10, 10, 90, 30}, {233, 210, 323, 240}, {10, 40, 323, 160}, {10, 170, 162, 190}, {172, 170, 323, 190}}},
    {500, 300, {{10, 10, 90, 30}, {400, 260, 490, 290}, {10, 40, 490, 210}, {10, 220, 245, 240}, {255, 220, 490, 240}}},
};
