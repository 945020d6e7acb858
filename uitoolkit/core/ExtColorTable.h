// The theme colour index space and the colour-table rules of the classic,
// XP and native XP themes, over an injectable source of system colours.
//
// A theme's table holds the 50 system colours first and the colours its
// rules install after them; the index map sends theme colour indices (1000
// and above) to table entries. Unknown indices fall back to entry 15, the
// face colour.
#pragma once

#include "framework/core/AfxTypes.h"
#include "framework/core/CArray.h"
#include "framework/core/CMap.h"

typedef CArray<COLORREF, COLORREF> CExtColorArray;
typedef CMap<int, int, int, int> CExtColorIndexMap;
// A system colour by its platform number (GetSysColor, or a test's table).
typedef COLORREF (*ExtSysColorFn)(int nIndex);

class CExtColorTable
{
public:
    enum e_theme_color
    {
        TC_FACE_NORMAL = 1000,
        TC_FACE_ACTIVE,
        TC_LIGHT_NORMAL,
        TC_LIGHT_ACTIVE,
        TC_HILIGHT_NORMAL,
        TC_HILIGHT_ACTIVE,
        TC_SHADOW_NORMAL,
        TC_SHADOW_ACTIVE,
        TC_DKSHADOW_NORMAL,
        TC_DKSHADOW_ACTIVE,
        TC_TEXT_NORMAL,
        TC_TEXT_ACTIVE,
        TC_WINDOW_NORMAL,
        TC_WINDOW_ACTIVE,
        TC_WINDOWTEXT_NORMAL,
        TC_WINDOWTEXT_ACTIVE,
        TC_SELTEXT_NORMAL,
        TC_SELTEXT_ACTIVE,
        TC_ACCENT_FACE_1,
        TC_ACCENT_SEL_1,
        TC_ACCENT_FACE_2,
        TC_ACCENT_SEL_2,

        TC_XP_FACE = 2000,
        TC_XP_LIGHT_FACE,
        TC_XP_SOFT_SHADOW,
        TC_XP_PRESSED_FACE,
        TC_XP_HOT_BORDER,
        TC_XP_DARK_FACE,
        TC_XP_HOT_TEXT,
        TC_XP_GRIPPER,
        TC_XP_FRAME_LIGHT,
        TC_XP_FRAME_FACE,
        TC_XP_EDGE_ACTIVE,
        TC_XP_EDGE_NORMAL,

        TC_2003_BACK_LIGHT = 3000,
        TC_2003_BACK_DARK,
        TC_2003_GRIPPER_LIGHT,
        TC_2003_GRIPPER_DARK,
        TC_2003_CHEVRON_LIGHT,
        TC_2003_CHEVRON_DARK,
        TC_2003_CHEVRON_HOT_LIGHT,
        TC_2003_CHEVRON_HOT_DARK,
        TC_2003_CHEVRON_PRESSED_LIGHT,
        TC_2003_CHEVRON_PRESSED_DARK,
        TC_2003_ROW_LIGHT,
        TC_2003_ROW_DARK,
        TC_2003_CHEVRON_ARROW_LIGHT,
        TC_2003_CHEVRON_ARROW_DARK,
        TC_2003_SEPARATOR,
        TC_2003_TOOLBAR_LIGHT,
        TC_2003_TOOLBAR_MID,
        TC_2003_TOOLBAR_DARK,
        TC_2003_TOOLBAR2_LIGHT,
        TC_2003_TOOLBAR2_MID,
        TC_2003_TOOLBAR2_DARK,
        TC_2003_HOT_FROM,
        TC_2003_HOT_TO,
        TC_2003_PRESSED_FROM,
        TC_2003_PRESSED_TO,
        TC_2003_HOT_PRESSED_FROM,
        TC_2003_HOT_PRESSED_TO,
        TC_2003_SHADOW_A,
        TC_2003_LIGHT_A,
        TC_2003_SHADOW_B,
        TC_2003_HILIGHT_B,
        TC_2003_LIGHT_B,
        TC_2003_HILIGHT_C,
        TC_2003_LIGHT_C,
        TC_2003_ALT_LIGHT,
        TC_2003_ALT_DARK,

        TC_2005_CAPTION_INACTIVE = 4000,
        TC_2005_CAPTION_ACTIVE_FROM,
        TC_2005_CAPTION_ACTIVE_TO,
    };

    // System colour numbers the rules read (the platform's COLOR_* values).
    enum e_system_color
    {
        kColorWindow = 5,
        kColorWindowText = 8,
        kColorHighlight = 13,
        kColorHighlightText = 14,
        kColor3dFace = 15,
        kColor3dShadow = 16,
        kColorBtnText = 18,
        kColor3dHilight = 20,
        kColor3dDkShadow = 21,
        kColor3dLight = 22,
    };

    // The platform's system colours occupy the first entries of every table.
    static const int kSystemColorCount = 50;
    // COLOR_3DFACE: the fallback of every unknown index.
    static const int kFaceEntry = 15;

    // Overwrites entry nEntry when it exists, else appends; the entry used.
    static int InstallColorIn(CExtColorArray& colors, COLORREF color, int nEntry = -1);
    static COLORREF LookupColorIn(const CExtColorArray& colors, const CExtColorIndexMap& map, int nIndex);
    // At least 50 entries, the first 50 the live system colours.
    static void RefreshSystemColors(CExtColorArray& colors, ExtSysColorFn sysColor);

    // The classic map over the system entries. Colours installed by an
    // earlier build are dropped first, so rebuilding on every system
    // notification does not grow the table.
    static void InitClassicColors(CExtColorArray& colors, CExtColorIndexMap& map);
    // The XP family's blended colours, after the classic map.
    static void InitXpColors(CExtColorArray& colors, CExtColorIndexMap& map, ExtSysColorFn sysColor, int nBitsPerPixel);
    // The Luna colours of the native XP theme for scheme 1 (blue), 2 (olive)
    // or 3 (silver), after the classic map; other schemes change nothing.
    static void InitNativeXpColors(CExtColorArray& colors, CExtColorIndexMap& map, int nLunaScheme);
    // The Office 2003 indices, after the XP rules. With scheme 1 (blue), 2
    // (olive) or 3 (silver) and the scheme's base and accent colours the
    // Luna rules apply and five system entries (faces, lights and shadows)
    // take Luna tones; with any other scheme the rules over the system
    // colours. At 8 bits per pixel or less only the separator is defined.
    // True when the Luna rules applied.
    static bool InitOffice2003Colors(CExtColorArray& colors, CExtColorIndexMap& map, int nBitsPerPixel, int nLunaScheme,
                                     COLORREF clrBase, COLORREF clrAccent);
    // The base and accent colours of a Luna style from its seven task-band
    // colours (edge light, edge highlight, edge shadow, edge dark shadow,
    // edge fill, fill hint, accent hint).
    static void LunaBaseColors(const COLORREF taskBand[7], COLORREF* pClrBase, COLORREF* pClrAccent);
};
