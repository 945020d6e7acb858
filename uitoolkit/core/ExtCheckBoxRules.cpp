#include "uitoolkit/core/ExtCheckBoxRules.h"

int CExtCheckBoxRules::NextCheck(int nCheck, bool bThreeState)
{
    return (nCheck + 1) % (bThreeState ? 3 : 2);
}

int CExtCheckBoxRules::GlyphLook(bool bEnabled, bool bHover, bool bMouseDown, bool bSpaceDown)
{
    if (!bEnabled)
        return LookDisabled;
    if (bSpaceDown)
        return LookPressed;
    if (bHover != bMouseDown)
        return LookHot;
    return bHover ? LookPressed : LookNormal;
}

int CExtCheckBoxRules::GlyphStateIndex(int nCheck, int nLook)
{
    if (nCheck < 0 || nCheck > 2)
        return 0;
    return nCheck + 3 * nLook;
}

int CExtCheckBoxRules::CheckBoxVisualState(int nIndex)
{
    static const int kStates[12] = {1, 5, 9, 3, 7, 11, 2, 6, 10, 4, 8, 12};
    return nIndex >= 0 && nIndex < 12 ? kStates[nIndex] : 1;
}

int CExtCheckBoxRules::RadioVisualState(int nIndex)
{
    // unchecked and checked of normal, pressed, hot and disabled
    static const int kStates[4][2] = {{1, 5}, {3, 7}, {2, 6}, {4, 8}};
    if (nIndex < 0 || nIndex >= 12 || nIndex % 3 == 2)
        return 1;
    return kStates[nIndex / 3][nIndex % 3];
}
