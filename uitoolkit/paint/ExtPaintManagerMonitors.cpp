// Monitor lookup and fitting rectangles onto a monitor.
#include "uitoolkit/core/ExtBitmapRoutines.h"
#include "framework/win/Wnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"

namespace
{

void FromMonitor(CExtPaintManager::MonitorParams& mp, HMONITOR hMonitor)
{
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    if (hMonitor != nullptr && ::GetMonitorInfoA(hMonitor, &mi))
    {
        mp.Monitor = mi.rcMonitor;
        mp.WorkArea = mi.rcWork;
        mp.Flags = (mi.dwFlags & MONITORINFOF_PRIMARY) != 0 ? 1 : 0;
        return;
    }
    ::GetWindowRect(::GetDesktopWindow(), &mp.Monitor);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &mp.WorkArea, 0);
    mp.Flags = 1;
}

} // namespace

void CExtPaintManager::GetMonitorParamsFromPoint(MonitorParams& mp, POINT pt)
{
    FromMonitor(mp, ::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST));
}

void CExtPaintManager::GetMonitorParamsFromRect(MonitorParams& mp, const RECT& rc)
{
    FromMonitor(mp, ::MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST));
}

void CExtPaintManager::GetMonitorParamsFromHwnd(MonitorParams& mp, HWND hWnd)
{
    RECT rc = {0, 0, 0, 0};
    if (hWnd == nullptr || !::GetWindowRect(hWnd, &rc))
        rc = RECT{0, 0, 0, 0};
    GetMonitorParamsFromRect(mp, rc);
}

void CExtPaintManager::GetMonitorParamsFromWnd(MonitorParams& mp, const CWnd* pWnd)
{
    GetMonitorParamsFromHwnd(mp, pWnd != nullptr ? pWnd->m_hWnd : nullptr);
}

RECT CExtPaintManager::FitRectIntoMonitor(RECT rc, bool bWorkArea, bool bFullyInside)
{
    MonitorParams mp;
    GetMonitorParamsFromRect(mp, rc);
    return CExtBitmapRoutines::FitRectIntoArea(rc, bWorkArea ? mp.WorkArea : mp.Monitor, bFullyInside);
}
