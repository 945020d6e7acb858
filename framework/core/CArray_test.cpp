#include "framework/core/CArray.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace
{

template <class TYPE, class ARG_TYPE = const TYPE&>
class ProbeArray : public CArray<TYPE, ARG_TYPE>
{
public:
    INT_PTR Capacity() const { return this->m_nMaxSize; }
};

// The capacity steps of an array without a grow-by, adding one element at a
// time from empty to 2,000: {size reached, capacity after that Add}. Between
// two rows the capacity stays. The first block holds exactly one element;
// after that the array grows by size / 8, at least 4 and at most 1,024.
const std::pair<int, int> kDefaultGrowth[] = {
    {1, 1},       {2, 5},       {6, 9},       {10, 13},     {14, 17},     {18, 21},   {22, 25},    {26, 29},
    {30, 33},     {34, 37},     {38, 41},     {42, 46},     {47, 51},     {52, 57},   {58, 64},    {65, 72},
    {73, 81},     {82, 91},     {92, 102},    {103, 114},   {115, 128},   {129, 144}, {145, 162},  {163, 182},
    {183, 204},   {205, 229},   {230, 257},   {258, 289},   {290, 325},   {326, 365}, {366, 410},  {411, 461},
    {462, 518},   {519, 582},   {583, 654},   {655, 735},   {736, 826},   {827, 929}, {930, 1045}, {1046, 1175},
    {1176, 1321}, {1322, 1486}, {1487, 1671}, {1672, 1879}, {1880, 2113},
};

std::vector<INT_PTR> ExpectedCapacities(const std::pair<int, int>* pSteps, size_t nSteps, int nAdds)
{
    std::vector<INT_PTR> result;
    size_t iStep = 0;
    for (int n = 1; n <= nAdds; ++n)
    {
        if (iStep + 1 < nSteps && pSteps[iStep + 1].first == n)
            ++iStep;
        result.push_back(pSteps[iStep].second);
    }
    return result;
}

TEST(CArray, GrowsByAnEighthClampedTo4And1024)
{
    ProbeArray<int, int> arr;
    std::vector<INT_PTR> capacities;
    for (int i = 0; i < 2000; ++i)
    {
        arr.Add(i);
        capacities.push_back(arr.Capacity());
    }
    EXPECT_EQ(ExpectedCapacities(kDefaultGrowth, sizeof(kDefaultGrowth) / sizeof(kDefaultGrowth[0]), 2000), capacities);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(i, arr[i]);
}

TEST(CArray, GrowthIsCappedAt1024)
{
    ProbeArray<BYTE, BYTE> arr;
    arr.SetSize(20000);
    EXPECT_EQ(20000, arr.Capacity());
    arr.Add(1);
    EXPECT_EQ(20000 + 1024, arr.Capacity());
}

TEST(CArray, GrowsBySetGrowBy)
{
    ProbeArray<int, int> arr;
    arr.SetSize(0, 16);
    std::vector<INT_PTR> capacities;
    for (int i = 0; i < 40; ++i)
    {
        arr.Add(i);
        capacities.push_back(arr.Capacity());
    }
    const std::pair<int, int> steps[] = {{1, 16}, {17, 32}, {33, 48}};
    EXPECT_EQ(ExpectedCapacities(steps, 3, 40), capacities);
}

struct Cell
{
    int nColour;
    short nWeight;
    BYTE flags[6];
};

TEST(CArray, SetSizeKeepsElementsAndZeroFillsNewOnes)
{
    CArray<Cell, Cell&> cells;
    cells.SetSize(3);
    cells[1].nColour = 0x123456;
    cells[1].flags[5] = 9;
    // Dirty the spare capacity so the new elements cannot be zero by chance.
    cells.SetSize(1000);
    for (INT_PTR i = 0; i < cells.GetSize(); ++i)
        cells[i].nColour = -1;
    cells.SetSize(3);
    cells[1].nColour = 0x123456;
    cells.SetSize(8);
    EXPECT_EQ(8, cells.GetSize());
    EXPECT_EQ(0x123456, cells[1].nColour);
    EXPECT_EQ(9, cells[1].flags[5]);
    for (INT_PTR i = 3; i < 8; ++i)
    {
        EXPECT_EQ(0, cells[i].nColour);
        EXPECT_EQ(0, cells[i].nWeight);
        EXPECT_EQ(0, cells[i].flags[0]);
    }
}

TEST(CArray, InsertRemoveAndFreeExtra)
{
    ProbeArray<int, int> arr;
    for (int i = 0; i < 5; ++i)
        arr.Add(i * 10);    // 0 10 20 30 40
    arr.InsertAt(2, 15, 2); // 0 10 15 15 20 30 40
    arr.RemoveAt(0);        // 10 15 15 20 30 40
    arr.InsertAt(8, 99);    // past the end: the gap is zero-filled
    arr.RemoveAt(2, 2);     // 10 15 30 40 0 0 99
    const int expected[] = {10, 15, 30, 40, 0, 0, 99};
    ASSERT_EQ(7, arr.GetSize());
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(expected[i], arr[i]) << i;
    arr.FreeExtra();
    EXPECT_EQ(7, arr.Capacity());
    arr.RemoveAll();
    EXPECT_EQ(0, arr.GetSize());
    EXPECT_EQ(nullptr, arr.GetData());
}

TEST(CArray, RecordsWithTextAreCopiedNotBitwise)
{
    struct Entry
    {
        CString name;
        int nValue = 0;
    };
    CArray<Entry> entries;
    for (int i = 0; i < 300; ++i)
    {
        Entry e;
        e.name.Format("entry %d with a text long enough to live on the heap", i);
        e.nValue = i;
        entries.Add(e);
    }
    entries.InsertAt(0, entries[299]);
    entries.RemoveAt(100, 50);
    entries.FreeExtra();
    ASSERT_EQ(251, entries.GetSize());
    EXPECT_STREQ("entry 299 with a text long enough to live on the heap", entries[0].name);
    EXPECT_STREQ("entry 0 with a text long enough to live on the heap", entries[1].name);
    EXPECT_STREQ("entry 149 with a text long enough to live on the heap", entries[100].name);

    CStringArray names;
    names.Add("a");
    names.Add(names[0]);
    names.Add(CString("c"));
    EXPECT_STREQ("a", names[1]);
    EXPECT_EQ(3, names.GetSize());
}

TEST(CArray, AddingItsOwnElementWhileGrowingKeepsTheValue)
{
    ProbeArray<CString> arr;
    arr.Add(CString('x', 100));
    for (int i = 0; i < 50; ++i)
    {
        bool bFull = arr.GetSize() == arr.Capacity();
        arr.Add(arr[0]);
        if (bFull)
        {
            ASSERT_EQ(100, arr[arr.GetUpperBound()].GetLength());
        }
    }
    ProbeArray<int> ints;
    ints.Add(7);
    ints.Add(8);
    ints.InsertAt(0, ints[1]); // the element moves as it is inserted
    EXPECT_EQ(8, ints[0]);
    EXPECT_EQ(7, ints[1]);
}

TEST(CArray, IndexOutsideTheArrayThrows)
{
    CArray<int> arr;
    arr.SetSize(3);
    const INT_PTR bad[] = {-1, 3, 1000};
    for (INT_PTR i : bad)
    {
        try
        {
            arr[i] = 1;
            ADD_FAILURE() << i;
        }
        catch (CException* e)
        {
            EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CInvalidArgException)));
            e->Delete();
        }
    }
    try
    {
        arr.RemoveAt(2, 2);
        ADD_FAILURE();
    }
    catch (CException* e)
    {
        e->Delete();
    }
    EXPECT_EQ(3, arr.GetSize());
}

TEST(CArray, AppendCopyAndInsertArrays)
{
    CDWordArray a, b;
    a.Add(1);
    a.Add(2);
    b.Add(9);
    EXPECT_EQ(1, b.Append(a)); // 9 1 2
    b.Append(b);               // 9 1 2 9 1 2
    a.Copy(b);
    a.InsertAt(1, &a); // 9 [9 1 2 9 1 2] 1 2 9 1 2
    const DWORD expected[] = {9, 9, 1, 2, 9, 1, 2, 1, 2, 9, 1, 2};
    ASSERT_EQ(12, a.GetSize());
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(expected[i], a[i]) << i;
}

TEST(CTypedPtrArray, KeepsTypedPointers)
{
    int values[3] = {1, 2, 3};
    CTypedPtrArray<CPtrArray, int*> arr;
    for (int& v : values)
        arr.Add(&v);
    arr.InsertAt(0, &values[2]);
    EXPECT_EQ(4, arr.GetSize());
    EXPECT_EQ(3, *arr[0]);
    EXPECT_EQ(&values[1], arr.GetAt(2));
    arr.ElementAt(3) = &values[0];
    EXPECT_EQ(1, *arr[3]);
}

} // namespace
