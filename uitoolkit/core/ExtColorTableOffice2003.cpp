// The Office 2003 colours: gradients in the tones of the Luna scheme when
// the platform's visual style is one, tones derived from the system colours
// otherwise.
#include "uitoolkit/core/ExtColorTable.h"

#include "uitoolkit/core/ExtColorMath.h"

#include <initializer_list>

namespace
{

// Maps every index of a list to one entry.
struct TableWriter
{
    CExtColorArray& colors;
    CExtColorIndexMap& map;

    COLORREF T(int nIndex) const { return CExtColorTable::LookupColorIn(colors, map, nIndex); }
    void Install(std::initializer_list<int> indices, COLORREF color) const
    {
        const int nEntry = CExtColorTable::InstallColorIn(colors, color);
        for (int nIndex : indices)
            map.SetAt(nIndex, nEntry);
    }
    void Entry(std::initializer_list<int> indices, int nEntry) const
    {
        for (int nIndex : indices)
            map.SetAt(nIndex, nEntry);
    }
};

COLORREF H(COLORREF c, double dHue, double dLightness, double dSaturation)
{
    return CExtColorMath::AdjustColorHls(c, dHue, dLightness, dSaturation);
}

COLORREF ScaleChannels(COLORREF c, int nRed, int nGreen, int nBlue)
{
    return RGB(GetRValue(c) * nRed / 1000, GetGValue(c) * nGreen / 1000, GetBValue(c) * nBlue / 1000);
}

void InitLunaRules(const TableWriter& w, int nScheme, COLORREF b, COLORREF k)
{
    using T = CExtColorTable;
    COLORREF light = H(b, 0, 0.95, -0.05);
    light = RGB(GetRValue(light) + CExtColorMath::MulDivRound(255 - GetRValue(light), 40, 100),
                GetGValue(light) + CExtColorMath::MulDivRound(255 - GetGValue(light), 20, 100), GetBValue(light));
    light = H(light, 0, 0.06, 0.05);
    const COLORREF dark1 = ScaleChannels(b, 999, 995, 995);
    const COLORREF dark2 = ScaleChannels(b, 857, 857, 857);

    w.Install({T::TC_FACE_NORMAL}, H(b, 0, 0.2, 0));
    w.Install({T::TC_FACE_ACTIVE}, H(k, 0.02, 0.6, 0.45));
    w.Install({T::TC_LIGHT_NORMAL, T::TC_LIGHT_ACTIVE, T::TC_HILIGHT_NORMAL, T::TC_HILIGHT_ACTIVE, T::TC_SHADOW_NORMAL,
               T::TC_SHADOW_ACTIVE, T::TC_DKSHADOW_NORMAL, T::TC_DKSHADOW_ACTIVE, T::TC_XP_SOFT_SHADOW,
               T::TC_XP_HOT_BORDER, T::TC_XP_HOT_TEXT, T::TC_XP_FRAME_LIGHT},
              H(b, 0, -0.25, 0));
    w.Entry({T::TC_TEXT_NORMAL, T::TC_TEXT_ACTIVE}, T::kColorWindowText);
    w.Entry({T::TC_XP_EDGE_ACTIVE}, T::kColor3dFace);
    w.Entry({T::TC_XP_HOT_TEXT}, T::kColorBtnText);
    w.Install({T::TC_XP_EDGE_NORMAL}, dark2);
    w.Install({T::TC_XP_FACE}, H(b, 0, 0.2, 0));
    w.Install({T::TC_XP_LIGHT_FACE}, light);
    w.Install({T::TC_XP_SOFT_SHADOW}, dark2);
    w.Install({T::TC_XP_PRESSED_FACE}, H(k, 0, -0.3, 0.45));
    w.Install({T::TC_XP_HOT_BORDER}, H(H(H(b, 0, 0.2, 0), 0, -0.25, 0.1), 0, -0.5, 0));
    w.Install({T::TC_XP_DARK_FACE}, dark1);
    w.Install({T::TC_XP_FRAME_FACE}, H(b, 0, 0.5, 0));
    const bool bSilver = nScheme == 3;
    w.Install({T::TC_2003_BACK_LIGHT}, bSilver ? H(b, 0, 0.845, 0.1) : H(b, 0, 0.43, 0));
    w.Install({T::TC_2003_BACK_DARK}, bSilver ? H(b, 0, 0.45, 0.1) : H(b, 0.02, 0.07, 0));
    w.Install({T::TC_2003_ROW_LIGHT}, H(b, 0, 0.98, 0));
    w.Install({T::TC_2003_ROW_DARK}, H(b, 0, -0.45, 0));
    w.Install({T::TC_2003_GRIPPER_DARK}, H(b, 0, -0.6, 0));
    w.Install({T::TC_2003_GRIPPER_LIGHT}, H(b, 0, 0.95, 0));
    w.Install({T::TC_2003_CHEVRON_LIGHT}, H(b, 0, -0.1, 0));
    w.Install({T::TC_2003_CHEVRON_DARK}, H(b, 0, -0.6, 0));
    w.Install({T::TC_2003_CHEVRON_HOT_LIGHT}, H(k, 0, 0.85, 0));
    w.Install({T::TC_2003_CHEVRON_HOT_DARK}, H(k, 0, -0.05, 0));
    w.Install({T::TC_2003_CHEVRON_PRESSED_LIGHT}, H(k, 0, 0.3, 0));
    w.Install({T::TC_2003_CHEVRON_PRESSED_DARK}, H(k, 0, -0.3, 0));
    w.Install({T::TC_2003_CHEVRON_ARROW_LIGHT}, H(b, 0, 0.97, 0));
    w.Install({T::TC_2003_CHEVRON_ARROW_DARK}, H(b, 0, -0.97, 0));
    w.Entry({T::TC_2003_SEPARATOR}, T::kColor3dShadow);

    // 3015 to 3020, 2007, 1012, 1013, 1014 to 1017, 1018 and 1021, 1019 and 1020
    static const COLORREF kScheme[3][11] = {
        {RGB(227, 239, 255), RGB(202, 225, 252), RGB(135, 173, 228), RGB(203, 221, 246), RGB(161, 196, 248),
         RGB(121, 161, 220), RGB(0, 45, 150), RGB(221, 236, 254), RGB(74, 122, 201), RGB(0, 45, 134),
         RGB(196, 219, 249)},
        {RGB(255, 255, 237), RGB(206, 219, 167), RGB(184, 199, 146), RGB(230, 230, 209), RGB(186, 200, 143),
         RGB(164, 180, 120), RGB(117, 141, 94), RGB(243, 242, 231), RGB(190, 198, 152), RGB(90, 107, 70),
         RGB(210, 223, 174)},
        {RGB(249, 249, 255), RGB(225, 226, 236), RGB(159, 157, 185), RGB(215, 215, 226), RGB(184, 185, 202),
         RGB(128, 126, 158), RGB(124, 124, 148), RGB(238, 238, 244), RGB(177, 176, 195), RGB(92, 91, 121),
         RGB(207, 207, 222)},
    };
    static const COLORREF kSchemeSel[3] = {RGB(101, 143, 224), RGB(161, 176, 128), RGB(169, 168, 191)};
    const COLORREF* c = kScheme[nScheme - 1];
    for (int i = 0; i < 6; ++i)
        w.Install({T::TC_2003_TOOLBAR_LIGHT + i}, c[i]);
    w.Install({T::TC_XP_GRIPPER}, c[6]);

    w.Install({T::TC_2003_HOT_FROM}, H(k, 0.05, 0.75, 0));
    w.Install({T::TC_2003_HOT_TO}, H(k, -0.05, -0.02, 0));
    w.Install({T::TC_2003_PRESSED_FROM}, H(k, 0.02, 0.4, 0));
    w.Install({T::TC_2003_PRESSED_TO}, H(k, -0.07, -0.31, 0));
    w.Install({T::TC_2003_HOT_PRESSED_FROM}, H(k, -0.07, -0.31, 0));
    w.Install({T::TC_2003_HOT_PRESSED_TO}, H(k, 0.02, 0.4, 0));
    w.Install({T::TC_2003_SHADOW_A}, H(b, 0.1, -0.55, 0));
    w.Install({T::TC_2003_LIGHT_A}, H(b, 0.02, -0.23, -0.25));
    w.Install({T::TC_2003_SHADOW_B}, H(b, 0.05, -0.6, 0));
    w.Install({T::TC_2003_HILIGHT_B}, H(b, 0, 0.45, 0));
    w.Install({T::TC_2003_LIGHT_B}, H(b, 0, 0, 0));
    w.Install({T::TC_2003_HILIGHT_C}, H(b, 0, 0.55, 0.2));
    w.Install({T::TC_2003_LIGHT_C}, H(b, 0, -0.13, -0.15));
    w.Install({T::TC_2003_ALT_LIGHT}, w.T(T::TC_2003_TOOLBAR_LIGHT));
    w.Install({T::TC_2003_ALT_DARK}, w.T(T::TC_2003_TOOLBAR_DARK));

    w.Install({T::TC_WINDOW_NORMAL}, c[7]);
    w.Install({T::TC_WINDOW_ACTIVE}, c[8]);
    w.Install({T::TC_WINDOWTEXT_NORMAL, T::TC_WINDOWTEXT_ACTIVE, T::TC_SELTEXT_NORMAL, T::TC_SELTEXT_ACTIVE}, c[9]);
    w.Install({T::TC_ACCENT_FACE_1, T::TC_ACCENT_SEL_2}, c[10]);
    w.Install({T::TC_ACCENT_SEL_1, T::TC_ACCENT_FACE_2}, kSchemeSel[nScheme - 1]);

    // Every painter that reads the system faces and edges follows the scheme.
    CExtColorTable::InstallColorIn(w.colors, b, T::kColor3dFace);
    CExtColorTable::InstallColorIn(w.colors, H(b, 0, 0.45, 0.1), T::kColor3dLight);
    CExtColorTable::InstallColorIn(w.colors, H(b, 0, 0.75, 0), T::kColor3dHilight);
    CExtColorTable::InstallColorIn(w.colors, H(b, 0, -0.45, 0.1), T::kColor3dShadow);
    CExtColorTable::InstallColorIn(w.colors, H(b, 0, -0.75, 0), T::kColor3dDkShadow);
}

void InitSystemRules(const TableWriter& w)
{
    using T = CExtColorTable;
    using M = CExtColorMath;
    w.Install({T::TC_2003_BACK_LIGHT}, M::BlendColors(w.T(T::kColor3dFace), w.T(T::kColorWindow), 222));
    w.Entry({T::TC_2003_BACK_DARK}, T::kColor3dFace);
    w.Install({T::TC_2003_ROW_LIGHT}, RGB(255, 255, 255));
    w.Install({T::TC_2003_ROW_DARK}, H(w.T(T::kColorWindow), 0, -0.36, -0.8));
    w.Install({T::TC_2003_GRIPPER_DARK}, H(w.T(T::kColor3dShadow), 0, 0.2, 0));
    w.Entry({T::TC_2003_GRIPPER_LIGHT}, T::kColorWindow);
    w.Install({T::TC_2003_CHEVRON_LIGHT}, H(w.T(T::kColor3dShadow), 0, 0.7, 0.1));
    w.Install({T::TC_2003_CHEVRON_DARK}, H(w.T(T::kColor3dShadow), 0, -0.05, 0));
    w.Install({T::TC_2003_CHEVRON_HOT_LIGHT, T::TC_2003_CHEVRON_HOT_DARK}, H(w.T(T::TC_XP_PRESSED_FACE), 0, 0.3, 0));
    w.Install({T::TC_2003_CHEVRON_PRESSED_LIGHT, T::TC_2003_CHEVRON_PRESSED_DARK},
              H(w.T(T::TC_XP_PRESSED_FACE), 0, 0.6, 0));
    w.Entry({T::TC_2003_CHEVRON_ARROW_LIGHT}, T::kColorWindow);
    w.Entry({T::TC_2003_CHEVRON_ARROW_DARK}, T::kColorBtnText);
    w.Entry({T::TC_2003_SEPARATOR}, T::kColor3dShadow);
    w.Install({T::TC_2003_TOOLBAR_LIGHT}, w.T(T::TC_XP_LIGHT_FACE));
    w.Install({T::TC_2003_TOOLBAR_MID}, H(w.T(T::TC_XP_FACE), 0, 0.4, 0));
    w.Install({T::TC_2003_TOOLBAR_DARK}, H(w.T(T::TC_XP_FACE), 0, -0.04, 0));
    w.Install({T::TC_2003_TOOLBAR2_LIGHT}, M::BlendColors(w.T(T::kColorWindow), w.T(T::TC_XP_FACE), 500));
    w.Install({T::TC_2003_TOOLBAR2_MID}, H(w.T(T::TC_2003_TOOLBAR_DARK), 0, 0.3, 0));
    w.Install({T::TC_2003_TOOLBAR2_DARK}, H(w.T(T::TC_2003_TOOLBAR_DARK), 0, -0.04, 0));
    w.Install({T::TC_2003_SHADOW_A, T::TC_2003_SHADOW_B}, w.T(T::kColor3dShadow));
    w.Install({T::TC_2003_LIGHT_A, T::TC_2003_LIGHT_B, T::TC_2003_LIGHT_C}, w.T(T::kColor3dLight));
    w.Install({T::TC_2003_HILIGHT_B, T::TC_2003_HILIGHT_C}, w.T(T::kColor3dHilight));
    w.Install({T::TC_2003_ALT_LIGHT}, w.T(T::TC_XP_LIGHT_FACE));
    w.Install({T::TC_2003_ALT_DARK}, M::BlendColors(w.T(T::kColorWindow), w.T(T::kColor3dFace), 550));
    w.Install({T::TC_WINDOW_NORMAL}, M::BlendColors(w.T(T::kColor3dFace), w.T(T::kColorWindow), 50));
    w.Install({T::TC_WINDOW_ACTIVE}, w.T(T::kColor3dFace));
    w.Entry({T::TC_WINDOWTEXT_NORMAL, T::TC_WINDOWTEXT_ACTIVE, T::TC_SELTEXT_NORMAL, T::TC_SELTEXT_ACTIVE},
            T::kColorWindowText);
    w.Install({T::TC_ACCENT_FACE_1, T::TC_ACCENT_SEL_2},
              M::BlendColors(w.T(T::kColor3dFace), w.T(T::kColorWindow), 39));
    w.Install({T::TC_ACCENT_SEL_1, T::TC_ACCENT_FACE_2},
              M::BlendColors(w.T(T::kColor3dFace), w.T(T::kColorWindow), 70));
}

} // namespace

bool CExtColorTable::InitOffice2003Colors(CExtColorArray& colors, CExtColorIndexMap& map, int nBitsPerPixel,
                                          int nLunaScheme, COLORREF clrBase, COLORREF clrAccent)
{
    const TableWriter w{colors, map};
    if (nBitsPerPixel <= 8)
    {
        w.Install({TC_2003_SEPARATOR}, w.T(kColor3dShadow));
        return false;
    }
    if (nLunaScheme < 1 || nLunaScheme > 3)
    {
        InitSystemRules(w);
        return false;
    }
    InitLunaRules(w, nLunaScheme, clrBase, clrAccent);
    return true;
}

void CExtColorTable::LunaBaseColors(const COLORREF taskBand[7], COLORREF* pClrBase, COLORREF* pClrAccent)
{
    if (pClrBase != nullptr)
    {
        double hue = 0, saturation = 0, lightEdge = 0, shadowEdge = 0;
        CExtColorMath::RgbToHls(taskBand[5], &hue, &saturation, nullptr);
        CExtColorMath::RgbToHls(taskBand[0], nullptr, nullptr, &lightEdge);
        CExtColorMath::RgbToHls(taskBand[2], nullptr, nullptr, &shadowEdge);
        *pClrBase = CExtColorMath::HlsToRgb(hue, (lightEdge + shadowEdge) / 2.0, saturation);
    }
    if (pClrAccent != nullptr)
        *pClrAccent = CExtColorMath::AdjustColorHls(taskBand[6], 0.01, 0, 0);
}
