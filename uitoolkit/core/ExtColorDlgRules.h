// The colour dialog's field rules: the three numbers each group of fields
// shows for a colour, the colour a group's typed texts give (or the first
// field that is not a number from 0 to 255), and the caption the dialog
// shows for the text its caller set.
//
// Portable, so the rules are tested natively too.
#pragma once

#include "framework/core/AfxTypes.h"
#include "framework/core/CString.h"

class CExtColorDlgRules
{
public:
    enum e_group_t
    {
        GROUP_RGB, // red, green, blue
        GROUP_CMY, // cyan, magenta, yellow
        GROUP_HLS, // hue, saturation, lightness
    };

    static void FieldValues(COLORREF clr, e_group_t eGroup, int* pnValues);
    // -1 and the colour when all three texts are valid, else the index of
    // the first invalid one and the colour untouched.
    static int ColorFromFields(e_group_t eGroup, const char* const* ppszTexts, COLORREF* pClr);
    // Only the text after the last line break, unless that break is the
    // first character.
    static CString CaptionText(const CString& sCaption);
};
