#include "Shared/platform/PlatformTime.h"

#include <windows.h>

namespace kx
{

uint64_t MonotonicTicks()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<uint64_t>(now.QuadPart);
}

uint64_t MonotonicFrequency()
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<uint64_t>(frequency.QuadPart);
}

uint64_t MonotonicMilliseconds()
{
    const uint64_t ticks = MonotonicTicks();
    const uint64_t frequency = MonotonicFrequency();
    // Split to keep ticks * 1000 from overflowing on long uptimes.
    return ticks / frequency * 1000 + ticks % frequency * 1000 / frequency;
}

void SleepMilliseconds(uint32_t ms)
{
    ::Sleep(ms);
}

} // namespace kx
