#pragma once
// Monotonic clock and sleeping.

#include <cstdint>

namespace kx
{

// A counter that only grows, in units of MonotonicFrequency() per second.
uint64_t MonotonicTicks();
uint64_t MonotonicFrequency();
// Milliseconds on the same clock.
uint64_t MonotonicMilliseconds();

void SleepMilliseconds(uint32_t ms);

} // namespace kx
