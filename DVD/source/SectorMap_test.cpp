#include "DVD/source/SectorMap.h"

#include <gtest/gtest.h>

namespace
{

TEST(SectorMap, AdjacentRangesMerge)
{
    CSectorMap map;
    map.AddRange({100, 199, 0});
    const CSectorRange& merged = map.AddRange({200, 299, 10});
    ASSERT_EQ(1, map.GetRangeCount());
    EXPECT_EQ(100u, merged.first);
    EXPECT_EQ(299u, merged.last);
    EXPECT_EQ(10u, merged.kept);

    map.AddRange({301, 310, 0});
    ASSERT_EQ(2, map.GetRangeCount());
    EXPECT_EQ(301u, map.GetRange(1).first);
}

struct MapCase
{
    DWORD position;
    bool forward;
    DWORD distance;
    DWORD expected;
};

TEST(SectorMap, OneRemovedRun)
{
    // Sectors 100-199 left out entirely.
    const MapCase cases[] = {
        {50, true, 200, 100},   // target 250, past the run
        {50, true, 100, 49},    // target 150, inside the run
        {50, true, 40, 40},     // target 90, before the run
        {50, false, 30, 30},    // nothing removed behind
        {250, false, 200, 100}, // target 50
        {250, false, 100, 50},  // target 150, inside the run
        {250, false, 40, 40},   // target 210
        {250, true, 500, 500},  // cursor at the end
        {250, true, 7, 7},
    };
    for (const MapCase& c : cases)
    {
        CSectorMap map;
        map.AddRange({100, 199, 0});
        map.SetPosition(c.position);
        DWORD got = c.forward ? map.MapForwardOffset(c.distance) : map.MapBackwardOffset(c.distance);
        EXPECT_EQ(c.expected, got) << "at " << c.position << (c.forward ? " +" : " -") << c.distance;
    }
}

TEST(SectorMap, SeveralRunsWithKeptSectors)
{
    CSectorMap map;
    map.AddRange({10, 19, 0});   // removes 10
    map.AddRange({30, 39, 5});   // removes 5
    map.AddRange({100, 109, 0}); // removes 10

    map.SetPosition(0);
    EXPECT_EQ(25u, map.GetRemovedAfter());
    EXPECT_EQ(35u, map.MapForwardOffset(50));
    EXPECT_EQ(120u - 25u, map.MapForwardOffset(120));

    map.SetPosition(40);
    EXPECT_EQ(10u, map.GetRemovedAfter());
    EXPECT_EQ(20u, map.MapBackwardOffset(35));
    EXPECT_EQ(59u, map.MapForwardOffset(59));
    EXPECT_EQ(70u - 10u, map.MapForwardOffset(70));

    map.SetPosition(200);
    EXPECT_EQ(0u, map.GetRemovedAfter());
    EXPECT_EQ(200u - 25u, map.MapBackwardOffset(200));
}

TEST(SectorMap, EmptyMapKeepsDistances)
{
    CSectorMap map;
    map.SetPosition(1000);
    EXPECT_EQ(123u, map.MapForwardOffset(123));
    EXPECT_EQ(456u, map.MapBackwardOffset(456));
    EXPECT_EQ(0u, map.GetRemovedAfter());
}

TEST(SectorMap, ResetKeepsStorage)
{
    CSectorMap map;
    map.AddRange({5, 9, 1});
    map.SetPosition(20);
    EXPECT_EQ(1001u * 12 + 16, map.GetMemorySize());

    map.Reset();
    EXPECT_EQ(0, map.GetRangeCount());
    EXPECT_EQ(1001u * 12 + 16, map.GetMemorySize());
    // The cursor is back at the start: the new range lies ahead again.
    map.AddRange({30, 39, 0});
    map.SetPosition(0);
    EXPECT_EQ(10u, map.GetRemovedAfter());
}

} // namespace
