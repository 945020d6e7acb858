// The rules of the toolkit's check boxes and radio buttons that need no
// window: the next check state of a click, and the glyph state index the
// glyph painters share (check state + 3 x look) with its visual-style states.
#pragma once

#include "framework/core/AfxTypes.h"

class CExtCheckBoxRules
{
public:
    enum e_look
    {
        LookNormal = 0,
        LookPressed = 1,
        LookHot = 2,
        LookDisabled = 3,
    };

    // 0, 1, 2, 0 for a three-state box; 0, 1, 0 otherwise.
    static int NextCheck(int nCheck, bool bThreeState);
    // The look of the glyph from the control's state. The mouse button
    // counts as down only while it went down on the control; a button held
    // outside the control shows the hot look, as a press that slid off it.
    static int GlyphLook(bool bEnabled, bool bHover, bool bMouseDown, bool bSpaceDown);
    // 0 to 11; a check state other than 0, 1 or 2 gives 0.
    static int GlyphStateIndex(int nCheck, int nLook);
    // The state of the visual style's check-box part (unchecked, checked
    // and mixed for normal, hot, pressed and disabled, 1 to 12).
    static int CheckBoxVisualState(int nIndex);
    // The radio-button part has no mixed states: an indeterminate index
    // draws as index 0.
    static int RadioVisualState(int nIndex);
};
