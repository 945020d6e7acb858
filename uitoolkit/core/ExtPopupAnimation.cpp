#include "uitoolkit/core/ExtPopupAnimation.h"

#include <cmath>

namespace
{

constexpr int CellSize = 32;

bool IsFramedKind(int nKind)
{
    return nKind == CExtPopupAnimation::AnimationExpand ||
           (nKind >= CExtPopupAnimation::AnimationRoll && nKind <= CExtPopupAnimation::AnimationHoles);
}

} // namespace

void CExtPopupAnimation::Reset(int nScreenBitsPerPixel, int (*pfnRand)())
{
    Percent = 0;
    PreviousPercent = 0;
    if ((Kind < AnimationNone || Kind > AnimationHoles) && Kind != AnimationInstant && Kind != AnimationExpand)
        Kind = AnimationNone;
    if (Kind == AnimationRandom)
    {
        Kind = pfnRand() % 11;
        if (Kind == AnimationNone || Kind == AnimationRandom)
            Kind = AnimationFade;
    }
    if (nScreenBitsPerPixel <= 8 && Kind != AnimationInstant && Kind != AnimationExpand)
    {
        Kind = AnimationNone;
        Finished = true;
    }
    else
        Finished = Kind == AnimationNone;
}

bool CExtPopupAnimation::Step(clock_t tNow, clock_t tLast)
{
    if (Finished)
        return false;
    const int nPeriods = static_cast<int>(double(tNow - tLast) * (1.0 / StepPeriod) + 0.5);
    if (IsFramedKind(Kind))
    {
        PreviousPercent = Percent;
        Percent += 20;
        if (Percent > 20 * nPeriods + 100)
            Percent = 101;
        if (Percent > 100)
            Finished = true;
    }
    else if (Kind == AnimationInstant)
        Finished = true;
    return Finished;
}

bool CExtPopupAnimation::ComposeFade(const Surfaces& s, int nPercent)
{
    const size_t n = static_cast<size_t>(s.Width) * s.Height;
    for (size_t i = 0; i < n; ++i)
    {
        DWORD px = 0;
        for (int nShift = 0; nShift < 24; nShift += 8)
        {
            const int bg = (s.Background[i] >> nShift) & 0xFF;
            const int fin = (s.Finished[i] >> nShift) & 0xFF;
            px |= DWORD((bg * (100 - nPercent) + fin * nPercent) / 100) << nShift;
        }
        s.Output[i] = px;
    }
    return true;
}

bool CExtPopupAnimation::ComposeNoise(const Surfaces& s, int nPercent, int nPreviousPercent, int (*pfnRand)())
{
    if (nPercent == nPreviousPercent)
        return false;
    const int d = nPercent - nPreviousPercent;
    const int th = d / 2 + 1;
    const size_t n = static_cast<size_t>(s.Width) * s.Height;
    for (size_t i = 0; i < n; ++i)
        if (pfnRand() % d > th)
            s.Output[i] = s.Finished[i];
    return true;
}

bool CExtPopupAnimation::ComposeBoxes(const Surfaces& s, int nPercent, int nPreviousPercent)
{
    if (nPercent == nPreviousPercent)
        return false;
    for (int y = 0; y < s.Height; ++y)
    {
        const size_t row = static_cast<size_t>(y) * s.Width;
        const int ry = y % CellSize;
        const bool bBackgroundRow = 100 - ry * 100 / CellSize < nPercent;
        for (int x = 0; x < s.Width; ++x)
        {
            const bool bFinished = !bBackgroundRow && (x % CellSize) * 100 / CellSize < nPercent;
            s.Output[row + x] = bFinished ? s.Finished[row + x] : s.Background[row + x];
        }
    }
    return true;
}

bool CExtPopupAnimation::ComposeCircles(const Surfaces& s, int nPercent, int nPreviousPercent, bool bHoles)
{
    if (nPercent == nPreviousPercent)
        return false;
    const double rad = (bHoles ? 100 - nPercent : nPercent) * 16.0 * 0.01;
    if (rad <= 0)
        return true; // the previous frame stays as it is
    for (int y = 0; y < s.Height; ++y)
    {
        const size_t row = static_cast<size_t>(y) * s.Width;
        const int ry = y % CellSize - CellSize / 2;
        for (int x = 0; x < s.Width; ++x)
        {
            const int rx = x % CellSize - CellSize / 2;
            const bool bInside = std::sqrt(double(rx * rx + ry * ry)) < rad;
            s.Output[row + x] = bInside != bHoles ? s.Finished[row + x] : s.Background[row + x];
        }
    }
    return true;
}

void CExtPopupAnimation::RollOffset(int nPercent, int w, int h, bool bRoll, int& dx, int& dy)
{
    dy = (100 - nPercent) * h / 100;
    dx = bRoll ? (100 - nPercent) * w / 100 : 0;
}

void CExtPopupAnimation::StretchSize(int nPercent, int w, int h, bool bRoll, int& cw, int& ch)
{
    cw = bRoll ? nPercent * w / 100 : w;
    ch = nPercent * h / 100;
}
