#include "framework/core/CMap.h"

#include <gtest/gtest.h>

#include <map>

namespace
{

// Walks the map by position and counts each key it meets.
template <class MAP, class KEY, class VALUE>
std::map<KEY, int> VisitCounts(const MAP& map, std::map<KEY, VALUE>* pValues = nullptr)
{
    std::map<KEY, int> counts;
    POSITION pos = map.GetStartPosition();
    INT_PTR nSteps = 0;
    while (pos != nullptr && nSteps++ <= map.GetCount())
    {
        KEY key;
        VALUE value;
        map.GetNextAssoc(pos, key, value);
        ++counts[key];
        if (pValues != nullptr)
            (*pValues)[key] = value;
    }
    return counts;
}

TEST(CMap, IterationVisitsEveryKeyOnceAfterInsertsAndRemovals)
{
    CMap<UINT, UINT, DWORD, DWORD> map;
    EXPECT_EQ(17u, map.GetHashTableSize());
    std::map<UINT, DWORD> expected;
    for (UINT key = 0; key < 500; ++key)
    {
        map.SetAt(key * 7, key + 1000);
        expected[key * 7] = key + 1000;
    }
    for (UINT key = 0; key < 500; key += 3)
    {
        EXPECT_TRUE(map.RemoveKey(key * 7));
        expected.erase(key * 7);
    }
    EXPECT_FALSE(map.RemoveKey(1)); // never there
    map[7 * 3] = 5;                 // a removed key comes back
    expected[7 * 3] = 5;
    map[7 * 4] = 6; // an existing key changes its value only
    expected[7 * 4] = 6;

    std::map<UINT, DWORD> seen;
    std::map<UINT, int> counts = VisitCounts(map, &seen);
    EXPECT_EQ((INT_PTR)expected.size(), map.GetCount());
    EXPECT_EQ(expected, seen);
    for (const auto& kv : counts)
        EXPECT_EQ(1, kv.second) << kv.first;
}

TEST(CMap, RemovingTheEntryJustVisitedKeepsTheWalkWhole)
{
    CMap<int, int, int, int> map;
    for (int i = 0; i < 100; ++i)
        map[i] = i;
    int nVisited = 0;
    POSITION pos = map.GetStartPosition();
    while (pos != nullptr)
    {
        int key, value;
        map.GetNextAssoc(pos, key, value);
        EXPECT_EQ(key, value);
        if (key % 2 == 0)
            map.RemoveKey(key);
        ++nVisited;
    }
    EXPECT_EQ(100, nVisited);
    EXPECT_EQ(50, map.GetCount());
    int value;
    EXPECT_FALSE(map.Lookup(4, value));
    EXPECT_TRUE(map.Lookup(5, value));
    EXPECT_EQ(5, value);
}

TEST(CMap, InitHashTableKeepsEntries)
{
    CMap<int, int, int, int> map;
    map.InitHashTable(3);
    for (int i = 0; i < 40; ++i)
        map[i] = -i;
    map.InitHashTable(101);
    EXPECT_EQ(101u, map.GetHashTableSize());
    std::map<int, int> seen;
    VisitCounts(map, &seen);
    ASSERT_EQ(40u, seen.size());
    for (const auto& kv : seen)
        EXPECT_EQ(-kv.first, kv.second);
}

TEST(CMap, EmptiedMapStartsNowhere)
{
    CMapPtrToWord map;
    int a, b;
    map[&a] = 1;
    map[&b] = 0;
    WORD w = 9;
    EXPECT_TRUE(map.Lookup(&b, w));
    EXPECT_EQ(0, w);
    map.RemoveKey(&a);
    map.RemoveKey(&b);
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(nullptr, map.GetStartPosition());
    map[&a] = 2; // usable again after giving its blocks back
    EXPECT_EQ(1, map.GetCount());
}

TEST(CMap, TextKeysCompareByContent)
{
    CMapStringToPtr map;
    int target;
    char key[] = "VTS_01_0.IFO";
    map.SetAt(key, &target);
    key[0] = 'X'; // the map keeps its own copy of the key
    void* p = nullptr;
    EXPECT_TRUE(map.Lookup("VTS_01_0.IFO", p));
    EXPECT_EQ(&target, p);
    EXPECT_FALSE(map.Lookup("XTS_01_0.IFO", p));
    CString other("VTS_01_0.IFO");
    EXPECT_TRUE(map.RemoveKey(other));
    EXPECT_EQ(0, map.GetCount());
}

TEST(CMap, ValuesHoldingTextSurviveBlockReuse)
{
    CMap<UINT, UINT, CString, const CString&> map;
    for (UINT i = 0; i < 200; ++i)
        map[i].Format("pane %u with a long enough text for the heap", i);
    for (UINT i = 0; i < 200; i += 2)
        map.RemoveKey(i);
    for (UINT i = 1000; i < 1100; ++i)
        map.SetAt(i, CString("reused"));
    CString text;
    EXPECT_TRUE(map.Lookup(199, text));
    EXPECT_STREQ("pane 199 with a long enough text for the heap", text);
    EXPECT_TRUE(map.Lookup(1050, text));
    EXPECT_STREQ("reused", text);
    EXPECT_EQ(200, map.GetCount());
}

} // namespace
