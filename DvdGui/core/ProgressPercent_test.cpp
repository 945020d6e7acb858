// The progress window's percentage over the engine's 64-bit ranges.
#include "DvdGui/core/ProgressPercent.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{

TEST(ProgressPercent, TableOfPositions)
{
    const struct
    {
        uint64_t position;
        uint64_t total;
        int percent;
    } cases[] = {
        {0, 0, 100},                              // a position before any range: full bar
        {12345, 0, 100},                          //
        {0, 1000, 0},                             //
        {999, 1000, 99},                          // truncated, never rounded up
        {1000, 1000, 100},                        //
        {1500, 1000, 150},                        // beyond the total
        {(1ull << 40) / 4 * 3, 1ull << 40, 75},   // totals above 2^32 stay exact
        {(1ull << 33) + 1, (1ull << 33) * 2, 50}, //
        {UINT64_MAX, UINT64_MAX, 100},            // the product would overflow 64 bits
        {UINT64_MAX / 2, UINT64_MAX, 49},         //
        {UINT64_MAX, 1, INT_MAX},                 // capped
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressPercent(c.position, c.total), c.percent) << c.position << " of " << c.total;
}

} // namespace
