// The arithmetic of resizable windows, free of the platform so that it is
// tested natively: where an anchored control goes when its parent's client
// area changes size, and the text a window's placement is stored as.
#pragma once

#include "framework/core/AfxGeometry.h"

#include <string>

// Where a control's corners sit: each corner follows a percentage of every
// change of the client width and height, plus a fixed offset.
struct ExtAnchorRecord
{
    CSize m_szPercentLT;
    CSize m_szOffsetLT;
    CSize m_szPercentRB;
    CSize m_szOffsetRB;
};

// The anchor presets; (-1, -1) is no anchor. One copy per file, so that
// tables of other files' static objects may use them.
const CSize g_szAnchorNone(-1, -1);
const CSize g_szAnchorTopLeft(0, 0);
const CSize g_szAnchorTopRight(100, 0);
const CSize g_szAnchorBottomLeft(0, 100);
const CSize g_szAnchorBottomRight(100, 100);

// The record of a control at rcCtrl (client coordinates) in a client area of
// cx by cy. szRB of g_szAnchorNone means szLT: the control moves without
// changing its size. The offsets round exactly as ExtAnchoredRect does, so
// arranging at an unchanged size moves nothing.
ExtAnchorRecord ExtMakeAnchorRecord(int cx, int cy, const RECT& rcCtrl, CSize szLT, CSize szRB);
// The control's rectangle for a client area of cx by cy.
CRect ExtAnchoredRect(const ExtAnchorRecord& record, int cx, int cy);

// A window placement as stored: the normal rectangle, the show command and
// the placement flags, as "left,top,right,bottom,show,flags".
struct ExtWindowPlacementText
{
    CRect m_rcNormal;
    unsigned m_nShowCmd = 0;
    unsigned m_nFlags = 0;
};

std::string ExtFormatWindowPlacement(const ExtWindowPlacementText& placement);
// False, leaving placement alone, unless the text starts with six decimal
// numbers joined by commas that each fit in 32 bits, the show command is a
// known one, the flags are known bits and the rectangle is not empty. Text
// after the sixth number is ignored.
bool ExtParseWindowPlacement(const char* pszText, ExtWindowPlacementText& placement);
