// Monitor lookup on the test display and fitting onto it.
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

namespace
{

TEST(ExtPaintMonitors, NearestMonitorAndFitting)
{
    CExtPaintManager::MonitorParams mp;
    CExtPaintManager::GetMonitorParamsFromPoint(mp, POINT{-5000, 10});
    EXPECT_EQ(mp.Flags & 1, 1u); // the one display is the primary one
    const CRect monitor(mp.Monitor), work(mp.WorkArea);
    EXPECT_GT(monitor.Width(), 0);
    EXPECT_TRUE(CRect().IntersectRect(&monitor, &work));

    CExtPaintManager::MonitorParams byWindow;
    CExtPaintManager::GetMonitorParamsFromHwnd(byWindow, nullptr); // the rectangle of zeros
    EXPECT_TRUE(CRect(byWindow.Monitor) == monitor);
    CExtPaintManager::MonitorParams byWnd;
    CExtPaintManager::GetMonitorParamsFromWnd(byWnd, nullptr); // as a null window handle
    EXPECT_TRUE(CRect(byWnd.Monitor) == monitor);
    EXPECT_TRUE(CRect(byWnd.WorkArea) == work);

    // wholly left of the monitor: moved in, size kept
    const CRect left(monitor.left - 500, monitor.top + 10, monitor.left - 300, monitor.top + 60);
    const CRect moved(CExtPaintManager::FitRectIntoMonitor(left, false, false));
    EXPECT_EQ(moved.left, monitor.left);
    EXPECT_EQ(moved.Width(), 200);
    EXPECT_EQ(moved.top, left.top);
    // larger than the work area: ends at its left and top
    CRect big(work);
    big.InflateRect(30, 40);
    big.OffsetRect(17, 9);
    const CRect fitted(CExtPaintManager::FitRectIntoMonitor(big, true, true));
    EXPECT_EQ(fitted.left, work.left);
    EXPECT_EQ(fitted.top, work.top);
    EXPECT_EQ(fitted.Size(), big.Size());
}

} // namespace
