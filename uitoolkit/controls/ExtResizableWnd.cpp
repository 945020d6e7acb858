#include "uitoolkit/controls/ExtResizableWnd.h"

bool ExtIsThemedBackground(CWnd* pWnd, bool bForSizing)
{
    if (!g_PaintManager->IsInheritedBackgroundUsed(pWnd, 0))
        return false;
    return !bForSizing || CExtPaintManager::GetScreenBitsPerPixel() > 8;
}

bool ExtIsDialogLike(CWnd* pWnd)
{
    if (pWnd->IsKindOf(RUNTIME_CLASS(CDialog)))
        return true;
    char szClass[64] = {};
    ::GetClassNameA(pWnd->GetSafeHwnd(), szClass, sizeof(szClass));
    return std::strchr(szClass, '#') != nullptr;
}

HBRUSH ExtThemedDialogBrush(CWnd* pWnd)
{
    // one brush for every themed dialog: the colour is the theme's, not the
    // window's
    static CBrush s_brush;
    static COLORREF s_clrBrush = static_cast<COLORREF>(-1);
    const COLORREF clrFace = g_PaintManager->GetColor(1000, pWnd);
    if (clrFace != s_clrBrush && s_brush.GetSafeHandle() != nullptr)
        s_brush.DeleteObject();
    if (s_brush.GetSafeHandle() == nullptr)
    {
        s_clrBrush = clrFace;
        s_brush.CreateSolidBrush(clrFace);
    }
    return static_cast<HBRUSH>(s_brush.GetSafeHandle());
}

bool ExtApplyWindowPlacement(HWND hWnd, const char* pszText, bool bHide)
{
    ExtWindowPlacementText stored;
    if (!ExtParseWindowPlacement(pszText, stored))
        return false;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    if (!::GetWindowPlacement(hWnd, &wp))
        return false;
    // the normal rectangle counts from the primary work area's corner
    RECT rcWork = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    CRect rcScreen = stored.m_rcNormal;
    rcScreen.OffsetRect(rcWork.left, rcWork.top);
    CRect rcFitted = CExtPaintManager::FitRectIntoMonitor(rcScreen, true, true);
    rcFitted.OffsetRect(-rcWork.left, -rcWork.top);
    wp.rcNormalPosition = rcFitted;
    wp.showCmd = bHide ? SW_HIDE : stored.m_nShowCmd;
    wp.flags = stored.m_nFlags;
    return ::SetWindowPlacement(hWnd, &wp) != FALSE;
}

CString ExtFormatWindowPlacementOf(HWND hWnd)
{
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    ::GetWindowPlacement(hWnd, &wp);
    ExtWindowPlacementText placement;
    placement.m_rcNormal = wp.rcNormalPosition;
    placement.m_nShowCmd = wp.showCmd;
    placement.m_nFlags = wp.flags;
    return CString(ExtFormatWindowPlacement(placement).c_str());
}
