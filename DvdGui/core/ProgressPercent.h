// The percentage a progress window shows for a position of the engine's
// 64-bit range.
#pragma once

#include <cstdint>

// position × 100 / total, truncated. With no range yet (total 0) the bar is
// full: 100. A position beyond the total gives more than 100, capped at the
// largest int; the product never overflows, so huge totals stay exact.
int ProgressPercent(uint64_t nPosition, uint64_t nTotal);
