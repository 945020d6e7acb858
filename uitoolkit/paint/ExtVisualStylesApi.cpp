#include "uitoolkit/paint/ExtVisualStylesApi.h"

#include "uitoolkit/paint/ExtPaintManager.h"

#include <cwchar>
#include <cwctype>
#include <vector>

namespace
{

const char* const kOtherEntryPoints[39] = {
    "GetThemeBackgroundContentRect",
    "GetThemeBackgroundExtent",
    "GetThemePartSize",
    "GetThemeTextExtent",
    "GetThemeTextMetrics",
    "GetThemeBackgroundRegion",
    "HitTestThemeBackground",
    "DrawThemeEdge",
    "DrawThemeIcon",
    "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent",
    "GetThemeMetric",
    "GetThemeString",
    "GetThemeBool",
    "GetThemeInt",
    "GetThemeEnumValue",
    "GetThemePosition",
    "GetThemeFont",
    "GetThemeRect",
    "GetThemeMargins",
    "GetThemeIntList",
    "GetThemePropertyOrigin",
    "SetWindowTheme",
    "GetThemeFilename",
    "GetThemeSysColor",
    "GetThemeSysColorBrush",
    "GetThemeSysBool",
    "GetThemeSysSize",
    "GetThemeSysFont",
    "GetThemeSysString",
    "GetThemeSysInt",
    "GetWindowTheme",
    "EnableThemeDialogTexture",
    "IsThemeDialogTextureEnabled",
    "SetThemeAppProperties",
    "GetThemeDocumentationProperty",
    "DrawThemeParentBackground",
    "EnableTheming",
    "DrawThemeBackgroundEx",
};

template <class Fn>
void Lookup(HMODULE hModule, const char* name, Fn& pfn)
{
    pfn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(hModule, name)));
}

bool SameClassList(LPCWSTR a, LPCWSTR b)
{
    for (;; ++a, ++b)
    {
        if (std::towlower(*a) != std::towlower(*b))
            return false;
        if (*a == 0)
            return true;
    }
}

} // namespace

CExtVisualStylesApi::CExtVisualStylesApi()
{
    m_hLibrary = ::GetModuleHandleA("UxTheme.dll");
    if (m_hLibrary == nullptr)
    {
        m_hLibrary = ::LoadLibraryA("UxTheme.dll");
        if (m_hLibrary != nullptr)
            m_nFlags |= 1;
    }
    if (m_hLibrary != nullptr)
    {
        Lookup(m_hLibrary, "OpenThemeData", m_pfnOpenThemeData);
        Lookup(m_hLibrary, "CloseThemeData", m_pfnCloseThemeData);
        Lookup(m_hLibrary, "DrawThemeBackground", m_pfnDrawThemeBackground);
        Lookup(m_hLibrary, "DrawThemeText", m_pfnDrawThemeText);
        Lookup(m_hLibrary, "GetThemeColor", m_pfnGetThemeColor);
        Lookup(m_hLibrary, "GetCurrentThemeName", m_pfnGetCurrentThemeName);
        Lookup(m_hLibrary, "IsThemeActive", m_pfnIsThemeActive);
        Lookup(m_hLibrary, "IsAppThemed", m_pfnIsAppThemed);
        Lookup(m_hLibrary, "GetThemeAppProperties", m_pfnGetThemeAppProperties);
        for (int i = 0; i < 39; ++i)
            m_pfnOther[i] = ::GetProcAddress(m_hLibrary, kOtherEntryPoints[i]);
    }
    m_dwComCtlVersion = CExtPaintManager::GetDllVersion("COMCTL32.DLL");
}

CExtVisualStylesApi::~CExtVisualStylesApi()
{
    CloseThemeData();
    if (m_hLibrary != nullptr && (m_nFlags & 1) != 0)
        ::FreeLibrary(m_hLibrary);
    m_hLibrary = nullptr;
}

bool CExtVisualStylesApi::IsAvailable() const
{
    if (m_hLibrary == nullptr || !IsThemeActive() || (GetThemeAppProperties() & 2) == 0)
        return false;
    return HIWORD(m_dwComCtlVersion) > 5;
}

HTHEME CExtVisualStylesApi::OpenThemeData(HWND hWnd, LPCWSTR lpszClassList)
{
    if (m_pfnOpenThemeData == nullptr)
        return nullptr;
    WCHAR szBuffer[260] = {};
    if (lpszClassList != nullptr && *lpszClassList != 0)
        std::wcsncpy(szBuffer, lpszClassList, 259);
    else if (hWnd != nullptr)
    {
        char szClass[260] = {};
        ::GetClassNameA(hWnd, szClass, 260);
        ::MultiByteToWideChar(CP_ACP, 0, szClass, -1, szBuffer, 260);
    }
    // Reuse only data opened for exactly this list (a mere prefix names
    // other classes) and this window while it lives.
    if (m_hTheme != nullptr && hWnd == m_hWndTheme && ::IsWindow(hWnd) && SameClassList(m_szClassList, szBuffer))
        return m_hTheme;
    CloseThemeData();
    HTHEME hTheme = m_pfnOpenThemeData(hWnd, szBuffer);
    if (hTheme != nullptr)
    {
        m_hTheme = hTheme;
        m_hWndTheme = hWnd;
        // A list longer than the remembered buffer is not remembered, so it
        // is never matched against a cut copy of itself.
        if (std::wcslen(szBuffer) < static_cast<size_t>(kClassListChars))
            std::wcscpy(m_szClassList, szBuffer);
    }
    return hTheme;
}

HRESULT CExtVisualStylesApi::CloseThemeData()
{
    if (m_hTheme == nullptr)
        return 0;
    const HRESULT hr = CloseThemeHandle(m_hTheme);
    m_hTheme = nullptr;
    m_szClassList[0] = 0;
    m_hWndTheme = nullptr;
    return hr;
}

HRESULT CExtVisualStylesApi::CloseThemeHandle(HTHEME hTheme)
{
    // Theme data belong to the process, not to the window they were opened
    // for: a handle whose window is gone is still released.
    if (hTheme == nullptr || m_pfnCloseThemeData == nullptr)
        return 0;
    return m_pfnCloseThemeData(hTheme);
}

HRESULT CExtVisualStylesApi::DrawThemeBackground(HDC hDC, int nPart, int nState, const RECT* pRect, const RECT* pClip)
{
    if (m_pfnDrawThemeBackground == nullptr)
        return S_FALSE;
    return m_pfnDrawThemeBackground(m_hTheme, hDC, nPart, nState, pRect, pClip);
}

HRESULT CExtVisualStylesApi::DrawThemeTextW(HDC hDC, int nPart, int nState, LPCWSTR lpszText, int nCount, DWORD dwFlags,
                                            DWORD dwFlags2, const RECT* pRect)
{
    if (m_pfnDrawThemeText == nullptr)
        return S_FALSE;
    return m_pfnDrawThemeText(m_hTheme, hDC, nPart, nState, lpszText, nCount, dwFlags, dwFlags2, pRect);
}

HRESULT CExtVisualStylesApi::DrawThemeText(HDC hDC, int nPart, int nState, LPCSTR lpszText, int nCount, DWORD dwFlags,
                                           DWORD dwFlags2, const RECT* pRect)
{
    if (lpszText == nullptr)
        return DrawThemeTextW(hDC, nPart, nState, nullptr, nCount, dwFlags, dwFlags2, pRect);
    const int nChars = ::MultiByteToWideChar(CP_ACP, 0, lpszText, -1, nullptr, 0);
    std::vector<WCHAR> wide(nChars > 0 ? nChars : 1, 0);
    ::MultiByteToWideChar(CP_ACP, 0, lpszText, -1, wide.data(), nChars);
    return DrawThemeTextW(hDC, nPart, nState, wide.data(), nCount, dwFlags, dwFlags2, pRect);
}

HRESULT CExtVisualStylesApi::GetThemeColor(int nPart, int nState, int nProperty, COLORREF* pColor)
{
    if (m_pfnGetThemeColor == nullptr)
        return S_FALSE;
    return m_pfnGetThemeColor(m_hTheme, nPart, nState, nProperty, pColor);
}

HRESULT CExtVisualStylesApi::GetCurrentThemeName(LPWSTR lpszFile, int nFileChars, LPWSTR lpszColor, int nColorChars,
                                                 LPWSTR lpszSize, int nSizeChars)
{
    if (m_pfnGetCurrentThemeName == nullptr)
        return S_FALSE;
    return m_pfnGetCurrentThemeName(lpszFile, nFileChars, lpszColor, nColorChars, lpszSize, nSizeChars);
}

BOOL CExtVisualStylesApi::IsThemeActive() const
{
    return m_pfnIsThemeActive != nullptr ? m_pfnIsThemeActive() : FALSE;
}

DWORD CExtVisualStylesApi::GetThemeAppProperties() const
{
    return m_pfnGetThemeAppProperties != nullptr ? m_pfnGetThemeAppProperties() : 0;
}

BOOL CExtVisualStylesApi::IsAppThemed() const
{
    return m_hLibrary != nullptr && m_pfnIsAppThemed != nullptr ? m_pfnIsAppThemed() : FALSE;
}
