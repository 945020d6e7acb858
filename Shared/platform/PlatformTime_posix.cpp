#include "Shared/platform/PlatformTime.h"

#include <cerrno>
#include <ctime>

namespace kx
{

uint64_t MonotonicTicks()
{
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

uint64_t MonotonicFrequency()
{
    return 1000000000u;
}

uint64_t MonotonicMilliseconds()
{
    return MonotonicTicks() / 1000000u;
}

void SleepMilliseconds(uint32_t ms)
{
    timespec ts;
    ts.tv_sec = ms / 1000;
    ts.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR)
    {
    }
}

} // namespace kx
