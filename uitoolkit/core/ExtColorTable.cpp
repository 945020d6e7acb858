#include "uitoolkit/core/ExtColorTable.h"

#include "uitoolkit/core/ExtColorMath.h"

int CExtColorTable::InstallColorIn(CExtColorArray& colors, COLORREF color, int nEntry)
{
    if (nEntry >= 0 && nEntry < colors.GetSize())
    {
        colors[nEntry] = color;
        return nEntry;
    }
    return static_cast<int>(colors.Add(color));
}

COLORREF CExtColorTable::LookupColorIn(const CExtColorArray& colors, const CExtColorIndexMap& map, int nIndex)
{
    if (colors.GetSize() <= kFaceEntry)
        return 0;
    if (nIndex >= 1000)
    {
        int nEntry = 0;
        if (!map.Lookup(nIndex, nEntry))
            return colors[kFaceEntry];
        nIndex = nEntry;
    }
    if (nIndex >= 0 && nIndex < colors.GetSize())
        return colors[nIndex];
    return colors[kFaceEntry];
}

void CExtColorTable::RefreshSystemColors(CExtColorArray& colors, ExtSysColorFn sysColor)
{
    while (colors.GetSize() < kSystemColorCount)
        colors.Add(sysColor(kColor3dFace));
    for (int i = 0; i < kSystemColorCount; ++i)
        colors[i] = sysColor(i);
}

void CExtColorTable::InitClassicColors(CExtColorArray& colors, CExtColorIndexMap& map)
{
    if (colors.GetSize() > kSystemColorCount)
        colors.SetSize(kSystemColorCount);
    map.RemoveAll();
    map.InitHashTable(17);
    static const struct
    {
        int nIndex;
        int nEntry;
    } kClassic[] = {
        {TC_FACE_NORMAL, kColor3dFace},
        {TC_FACE_ACTIVE, kColor3dFace},
        {TC_XP_FACE, kColor3dFace},
        {TC_LIGHT_NORMAL, kColor3dLight},
        {TC_LIGHT_ACTIVE, kColor3dLight},
        {TC_XP_SOFT_SHADOW, kColor3dLight},
        {TC_HILIGHT_NORMAL, kColor3dHilight},
        {TC_HILIGHT_ACTIVE, kColor3dHilight},
        {TC_XP_HOT_BORDER, kColor3dHilight},
        {TC_SHADOW_NORMAL, kColor3dShadow},
        {TC_SHADOW_ACTIVE, kColor3dShadow},
        {TC_XP_HOT_TEXT, kColor3dShadow},
        {TC_DKSHADOW_NORMAL, kColor3dDkShadow},
        {TC_DKSHADOW_ACTIVE, kColor3dDkShadow},
        {TC_XP_FRAME_LIGHT, kColor3dDkShadow},
        {TC_TEXT_NORMAL, kColorWindowText},
        {TC_TEXT_ACTIVE, kColorWindowText},
        {TC_XP_EDGE_ACTIVE, kColor3dShadow},
        {TC_WINDOW_NORMAL, kColorWindow},
        {TC_WINDOW_ACTIVE, kColorWindow},
        {TC_WINDOWTEXT_NORMAL, kColorWindowText},
        {TC_WINDOWTEXT_ACTIVE, kColorWindowText},
        {TC_SELTEXT_NORMAL, kColorHighlightText},
        {TC_SELTEXT_ACTIVE, kColorHighlightText},
        {TC_ACCENT_FACE_1, kColor3dFace},
        {TC_ACCENT_FACE_2, kColor3dFace},
        {TC_ACCENT_SEL_1, kColorHighlight},
        {TC_ACCENT_SEL_2, kColorHighlight},
    };
    for (const auto& m : kClassic)
        map.SetAt(m.nIndex, m.nEntry);
}

void CExtColorTable::InitXpColors(CExtColorArray& colors, CExtColorIndexMap& map, ExtSysColorFn sysColor,
                                  int nBitsPerPixel)
{
    InitClassicColors(colors, map);
    const COLORREF window = sysColor(kColorWindow), face = sysColor(kColor3dFace), shadow = sysColor(kColor3dShadow),
                   dkShadow = sysColor(kColor3dDkShadow), highlight = sysColor(kColorHighlight),
                   btnText = sysColor(kColorBtnText);
    COLORREF clrFace, clrLightFace, clrDarkFace, clrHot, clrPressed, clrHotBorder, clrSoftShadow, clrEdge;
    if (nBitsPerPixel > 8)
    {
        clrFace = CExtColorMath::BlendColors(window, face, 165);
        clrLightFace = CExtColorMath::BlendColors(face, window, 143);
        clrDarkFace = CExtColorMath::BlendColors(face, shadow, 90);
        clrHot = CExtColorMath::BlendColors(highlight, window, 30);
        clrPressed = CExtColorMath::BlendColors(highlight, window, 50);
        clrHotBorder = highlight;
        clrSoftShadow = CExtColorMath::BlendColors(shadow, window, 70);
        auto edge = [](int s, int d) { return (3 * s + d) * 250 / 1000; };
        clrEdge = RGB(edge(GetRValue(shadow), GetRValue(dkShadow)), edge(GetGValue(shadow), GetGValue(dkShadow)),
                      edge(GetBValue(shadow), GetBValue(dkShadow)));
    }
    else
    {
        clrFace = face;
        clrLightFace = window;
        clrDarkFace = shadow;
        clrHot = face;
        clrPressed = shadow;
        clrHotBorder = btnText;
        clrSoftShadow = shadow;
        clrEdge = shadow;
    }
    map.SetAt(TC_FACE_NORMAL, InstallColorIn(colors, clrFace));
    map.SetAt(TC_FACE_ACTIVE, InstallColorIn(colors, clrHot));
    map.SetAt(TC_XP_FACE, kColor3dFace);
    const int nEdge = InstallColorIn(colors, clrEdge);
    for (int nIndex : {TC_LIGHT_NORMAL, TC_LIGHT_ACTIVE, TC_XP_SOFT_SHADOW, TC_HILIGHT_NORMAL, TC_HILIGHT_ACTIVE,
                       TC_XP_HOT_BORDER, TC_SHADOW_NORMAL, TC_SHADOW_ACTIVE, TC_XP_HOT_TEXT, TC_DKSHADOW_NORMAL,
                       TC_DKSHADOW_ACTIVE, TC_XP_FRAME_LIGHT})
        map.SetAt(nIndex, nEdge);
    map.SetAt(TC_TEXT_NORMAL, kColorWindowText);
    map.SetAt(TC_TEXT_ACTIVE, InstallColorIn(colors, nBitsPerPixel > 8 ? RGB(0, 0, 0) : sysColor(kColor3dHilight)));
    map.SetAt(TC_XP_EDGE_ACTIVE, kColor3dFace);
    map.SetAt(TC_XP_EDGE_NORMAL, InstallColorIn(colors, clrSoftShadow));
    map.SetAt(TC_XP_HOT_TEXT, kColorHighlightText);
    map.SetAt(TC_XP_FACE, InstallColorIn(colors, clrFace));
    map.SetAt(TC_XP_LIGHT_FACE, InstallColorIn(colors, clrLightFace));
    map.SetAt(TC_XP_SOFT_SHADOW, InstallColorIn(colors, clrSoftShadow));
    map.SetAt(TC_XP_PRESSED_FACE, InstallColorIn(colors, clrPressed));
    map.SetAt(TC_XP_HOT_BORDER, InstallColorIn(colors, clrHotBorder));
    map.SetAt(TC_XP_DARK_FACE, InstallColorIn(colors, clrDarkFace));
    map.SetAt(TC_XP_GRIPPER, InstallColorIn(colors, CExtColorMath::BlendColors(btnText, shadow, 20)));
    map.SetAt(TC_XP_FRAME_LIGHT, InstallColorIn(colors, clrLightFace));
    map.SetAt(TC_XP_FRAME_FACE, InstallColorIn(colors, LookupColorIn(colors, map, TC_FACE_NORMAL)));
    map.SetAt(TC_WINDOW_NORMAL, InstallColorIn(colors, clrLightFace));
    map.SetAt(TC_WINDOW_ACTIVE, InstallColorIn(colors, clrLightFace));
    for (int nIndex : {TC_WINDOWTEXT_NORMAL, TC_WINDOWTEXT_ACTIVE, TC_SELTEXT_NORMAL, TC_SELTEXT_ACTIVE})
        map.SetAt(nIndex, kColorWindowText);
}

void CExtColorTable::InitNativeXpColors(CExtColorArray& colors, CExtColorIndexMap& map, int nLunaScheme)
{
    InitClassicColors(colors, map);
    if (nLunaScheme < 1 || nLunaScheme > 3)
        return;
    // TC_WINDOW_NORMAL .. TC_ACCENT_SEL_2 for blue, olive and silver.
    static const COLORREF kLuna[3][10] = {
        {RGB(123, 162, 231), RGB(99, 117, 214), RGB(33, 93, 198), RGB(66, 142, 255), RGB(255, 255, 255),
         RGB(66, 142, 255), RGB(255, 255, 255), RGB(0, 73, 181), RGB(198, 211, 247), RGB(41, 93, 206)},
        {RGB(204, 217, 173), RGB(165, 189, 132), RGB(86, 102, 45), RGB(114, 146, 29), RGB(255, 255, 255),
         RGB(224, 231, 184), RGB(255, 252, 236), RGB(119, 140, 64), RGB(224, 231, 184), RGB(150, 168, 103)},
        {RGB(196, 200, 212), RGB(177, 179, 200), RGB(63, 61, 61), RGB(126, 124, 124), RGB(255, 255, 255),
         RGB(230, 230, 230), RGB(255, 255, 255), RGB(119, 119, 146), RGB(214, 215, 224), RGB(180, 182, 199)},
    };
    for (int i = 0; i < 10; ++i)
        map.SetAt(TC_WINDOW_NORMAL + i, InstallColorIn(colors, kLuna[nLunaScheme - 1][i]));
}
