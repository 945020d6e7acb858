// A font's logical description and colour as one line of text, so that the
// option font survives in a single registry value. The record has the shape
// and byte layout of the Windows LOGFONTA, so the window layer copies it
// straight into the font it creates.
#pragma once

#include "framework/core/CString.h"

#include <cstdint>

struct FONT_RECORD
{
    int32_t lfHeight;
    int32_t lfWidth;
    int32_t lfEscapement;
    int32_t lfOrientation;
    int32_t lfWeight;
    uint8_t lfItalic;
    uint8_t lfUnderline;
    uint8_t lfStrikeOut;
    uint8_t lfCharSet;
    uint8_t lfOutPrecision;
    uint8_t lfClipPrecision;
    uint8_t lfQuality;
    uint8_t lfPitchAndFamily;
    char lfFaceName[32];
};

// 12-pixel Times New Roman, weight 400, proof quality, variable-pitch roman.
FONT_RECORD DefaultFontRecord();

// "height,width,escapement,orientation,weight,italic,underline,strikeout,
// charset,outprecision,clipprecision,quality,pitchandfamily,face,colour".
CString FontRecordToString(const FONT_RECORD& lf, uint32_t crColor);

// The reverse. The text is anyone's registry value, so all fifteen fields are
// required, numbers must be whole decimal numbers in their field's range and
// the face name is cut to 31 characters; on any fault nothing is written and
// the answer is false.
bool FontRecordFromString(LPCSTR pszText, FONT_RECORD& lf, uint32_t& crColor);

// The height with its magnitude grown by n and its sign kept.
int32_t GrowFontHeight(int32_t nHeight, int n);
