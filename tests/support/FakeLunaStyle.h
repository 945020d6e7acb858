#pragma once
// The theme holder's visual-styles wrapper answering as the Luna style of a
// colour scheme (blue, olive or silver) with fixed task-band colours, for the
// tests of the themes that follow the scheme. The holder's own entry points
// come back and the scheme is detected afresh when the object goes away.

#include "uitoolkit/paint/ExtPaintManager.h"

#include <cwchar>
#include <memory>

namespace kxtest
{

// Puts fake entry points into the theme holder's visual-styles wrapper and
// the holder's own back when it goes away.
class ScopedVisualStylesFake
{
public:
    ScopedVisualStylesFake(CExtVisualStylesApi::OpenThemeDataFn open, CExtVisualStylesApi::CloseThemeDataFn close,
                           CExtVisualStylesApi::GetCurrentThemeNameFn name, CExtVisualStylesApi::GetThemeColorFn color,
                           CExtVisualStylesApi::IsAppThemedFn themed)
    {
        CExtVisualStylesApi& vs = g_PaintManager.VisualStyles;
        m_saved = {vs.m_hLibrary,         vs.m_pfnOpenThemeData, vs.m_pfnCloseThemeData, vs.m_pfnGetCurrentThemeName,
                   vs.m_pfnGetThemeColor, vs.m_pfnIsAppThemed};
        vs.m_hLibrary = reinterpret_cast<HMODULE>(1);
        vs.m_pfnOpenThemeData = open;
        vs.m_pfnCloseThemeData = close;
        vs.m_pfnGetCurrentThemeName = name;
        vs.m_pfnGetThemeColor = color;
        vs.m_pfnIsAppThemed = themed;
    }
    ~ScopedVisualStylesFake()
    {
        CExtVisualStylesApi& vs = g_PaintManager.VisualStyles;
        vs.m_hLibrary = m_saved.hLibrary;
        vs.m_pfnOpenThemeData = m_saved.open;
        vs.m_pfnCloseThemeData = m_saved.close;
        vs.m_pfnGetCurrentThemeName = m_saved.name;
        vs.m_pfnGetThemeColor = m_saved.color;
        vs.m_pfnIsAppThemed = m_saved.themed;
    }
    ScopedVisualStylesFake(const ScopedVisualStylesFake&) = delete;
    ScopedVisualStylesFake& operator=(const ScopedVisualStylesFake&) = delete;

private:
    struct
    {
        HMODULE hLibrary;
        CExtVisualStylesApi::OpenThemeDataFn open;
        CExtVisualStylesApi::CloseThemeDataFn close;
        CExtVisualStylesApi::GetCurrentThemeNameFn name;
        CExtVisualStylesApi::GetThemeColorFn color;
        CExtVisualStylesApi::IsAppThemedFn themed;
    } m_saved = {};
};

class FakeLunaStyle
{
public:
    // edge light, edge highlight, edge shadow, edge dark shadow, edge fill,
    // fill hint, accent hint: a blue base of RGB(157, 189, 245) and an
    // orange accent
    static constexpr COLORREF kTaskBand[7] = {RGB(255, 255, 255), RGB(240, 240, 240), RGB(148, 148, 148),
                                              RGB(64, 64, 64),    RGB(200, 200, 200), RGB(158, 190, 245),
                                              RGB(255, 170, 60)};

    explicit FakeLunaStyle(const wchar_t* pszColorName = L"NormalColor")
    {
        ColorName() = pszColorName;
        m_fake = std::make_unique<ScopedVisualStylesFake>(Open, Close, ThemeName, Color, Themed);
        g_PaintManager.DetectLunaScheme();
    }
    ~FakeLunaStyle()
    {
        m_fake.reset();
        g_PaintManager.DetectLunaScheme();
    }
    FakeLunaStyle(const FakeLunaStyle&) = delete;
    FakeLunaStyle& operator=(const FakeLunaStyle&) = delete;

private:
    static const wchar_t*& ColorName()
    {
        static const wchar_t* pszName = L"NormalColor";
        return pszName;
    }
    static HTHEME WINAPI Open(HWND, LPCWSTR) { return reinterpret_cast<HTHEME>(static_cast<INT_PTR>(1)); }
    static HRESULT WINAPI Close(HTHEME) { return S_OK; }
    static HRESULT WINAPI ThemeName(LPWSTR pszFile, int nFile, LPWSTR pszColor, int nColor, LPWSTR, int)
    {
        std::wcsncpy(pszFile, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", nFile - 1);
        std::wcsncpy(pszColor, ColorName(), nColor - 1);
        return S_OK;
    }
    static HRESULT WINAPI Color(HTHEME, int nPart, int, int nProperty, COLORREF* pColor)
    {
        static const int kProperties[7] = {3804, 3805, 3806, 3807, 3808, 3821, 3823};
        for (int i = 0; i < 7; ++i)
            if (nPart == 2 && kProperties[i] == nProperty)
            {
                *pColor = kTaskBand[i];
                return S_OK;
            }
        return E_FAIL;
    }
    static BOOL WINAPI Themed() { return TRUE; }

    std::unique_ptr<ScopedVisualStylesFake> m_fake;
};

} // namespace kxtest
