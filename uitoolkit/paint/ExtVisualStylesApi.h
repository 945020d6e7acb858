// A thin wrapper over the visual-styles library, loaded at run time so that
// the program also runs where it is missing. At most one theme-data handle
// is open at a time; opening data for another class list or window closes
// the previous one first.
#pragma once

#include "framework/core/AfxTypes.h"

typedef HANDLE HTHEME;

class CExtVisualStylesApi
{
public:
    typedef HTHEME(WINAPI* OpenThemeDataFn)(HWND, LPCWSTR);
    typedef HRESULT(WINAPI* CloseThemeDataFn)(HTHEME);
    typedef HRESULT(WINAPI* DrawThemeBackgroundFn)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    typedef HRESULT(WINAPI* DrawThemeTextFn)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
    typedef HRESULT(WINAPI* GetThemeColorFn)(HTHEME, int, int, int, COLORREF*);
    typedef HRESULT(WINAPI* GetCurrentThemeNameFn)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
    typedef BOOL(WINAPI* IsThemeActiveFn)();
    typedef BOOL(WINAPI* IsAppThemedFn)();
    typedef DWORD(WINAPI* GetThemeAppPropertiesFn)();

    // Characters of a remembered class list, terminator included.
    static const int kClassListChars = 130;

    CExtVisualStylesApi();
    ~CExtVisualStylesApi();
    CExtVisualStylesApi(const CExtVisualStylesApi&) = delete;
    CExtVisualStylesApi& operator=(const CExtVisualStylesApi&) = delete;

    bool IsAvailable() const;
    HTHEME OpenThemeData(HWND hWnd, LPCWSTR lpszClassList);
    HRESULT CloseThemeData();
    HRESULT CloseThemeHandle(HTHEME hTheme);
    HRESULT DrawThemeBackground(HDC hDC, int nPart, int nState, const RECT* pRect, const RECT* pClip);
    HRESULT DrawThemeTextW(HDC hDC, int nPart, int nState, LPCWSTR lpszText, int nCount, DWORD dwFlags, DWORD dwFlags2,
                           const RECT* pRect);
    HRESULT DrawThemeText(HDC hDC, int nPart, int nState, LPCSTR lpszText, int nCount, DWORD dwFlags, DWORD dwFlags2,
                          const RECT* pRect);
    HRESULT GetThemeColor(int nPart, int nState, int nProperty, COLORREF* pColor);
    HRESULT GetCurrentThemeName(LPWSTR lpszFile, int nFileChars, LPWSTR lpszColor, int nColorChars, LPWSTR lpszSize,
                                int nSizeChars);
    BOOL IsThemeActive() const;
    DWORD GetThemeAppProperties() const;
    BOOL IsAppThemed() const;

    HTHEME m_hTheme = nullptr;
    HMODULE m_hLibrary = nullptr;
    BYTE m_nFlags = 0; // bit 0: the library was loaded here and is freed here
    DWORD m_dwComCtlVersion = 0;
    WCHAR m_szClassList[kClassListChars] = {};
    HWND m_hWndTheme = nullptr;

    // The entry points the wrapper forwards to; tests may replace them.
    OpenThemeDataFn m_pfnOpenThemeData = nullptr;
    CloseThemeDataFn m_pfnCloseThemeData = nullptr;
    DrawThemeBackgroundFn m_pfnDrawThemeBackground = nullptr;
    DrawThemeTextFn m_pfnDrawThemeText = nullptr;
    GetThemeColorFn m_pfnGetThemeColor = nullptr;
    GetCurrentThemeNameFn m_pfnGetCurrentThemeName = nullptr;
    IsThemeActiveFn m_pfnIsThemeActive = nullptr;
    IsAppThemedFn m_pfnIsAppThemed = nullptr;
    GetThemeAppPropertiesFn m_pfnGetThemeAppProperties = nullptr;
    // The library's other entry points, looked up for the controls that
    // will draw through them.
    FARPROC m_pfnOther[39] = {};
};
