#include "controls/treelist/window/TreeListLayered.h"

namespace
{

typedef BOOL(WINAPI* SetLayeredWindowAttributesFn)(HWND, COLORREF, BYTE, DWORD);
typedef BOOL(WINAPI* UpdateLayeredWindowFn)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
typedef HRESULT(WINAPI* DwmIsCompositionEnabledFn)(BOOL*);

SetLayeredWindowAttributesFn g_pfnSetLayeredWindowAttributes = nullptr;
UpdateLayeredWindowFn g_pfnUpdateLayeredWindow = nullptr;

void LookUpLayeredFunctions()
{
    static bool looked = false;
    if (looked)
        return;
    looked = true;
    HMODULE hUser = ::GetModuleHandleA("USER32.DLL");
    if (!hUser)
        return;
    g_pfnSetLayeredWindowAttributes = reinterpret_cast<SetLayeredWindowAttributesFn>(
        reinterpret_cast<void*>(::GetProcAddress(hUser, "SetLayeredWindowAttributes")));
    g_pfnUpdateLayeredWindow = reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(hUser, "UpdateLayeredWindow")));
}

// Without a compositor (a bare X server under Wine, say) a translucent
// window may not show at all, so the popups stay opaque there.
bool IsCompositing()
{
    static int compositing = -1;
    if (compositing < 0)
    {
        compositing = 0;
        if (HMODULE hDwm = ::LoadLibraryA("dwmapi.dll"))
        {
            auto pfnEnabled = reinterpret_cast<DwmIsCompositionEnabledFn>(
                reinterpret_cast<void*>(::GetProcAddress(hDwm, "DwmIsCompositionEnabled")));
            BOOL bEnabled = FALSE;
            if (pfnEnabled && SUCCEEDED(pfnEnabled(&bEnabled)) && bEnabled)
                compositing = 1;
        }
    }
    return compositing == 1;
}

} // namespace

namespace treelist
{

bool IsLayeredAvailable()
{
    LookUpLayeredFunctions();
    return g_pfnSetLayeredWindowAttributes && g_pfnUpdateLayeredWindow && IsCompositing();
}

void SetLayeredAlpha(HWND hWnd, COLORREF crKey, BYTE nAlpha)
{
    if (IsLayeredAvailable())
        g_pfnSetLayeredWindowAttributes(hWnd, crKey, nAlpha, LWA_ALPHA);
}

void UpdateLayeredFrom(HWND hWnd, POINT ptDest, SIZE size, HDC hdcSource)
{
    if (!IsLayeredAvailable())
        return;
    POINT ptSource = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    g_pfnUpdateLayeredWindow(hWnd, nullptr, &ptDest, &size, hdcSource, &ptSource, 0, &blend, ULW_ALPHA);
}

} // namespace treelist
