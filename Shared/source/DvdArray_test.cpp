#include <gtest/gtest.h>

#include "Shared/source/DvdArray.h"

namespace
{

// Counts live elements so deletions can be checked.
struct Tracked
{
    explicit Tracked(int* live) : live(live) { ++*live; }
    ~Tracked() { --*live; }
    int* live;
};

TEST(CDvdPtrArray, GrowsToSizePlusGrowByWithNullSlots)
{
    int live = 0;
    CDvdPtrArray<Tracked> array;
    array.Add(new Tracked(&live));
    EXPECT_EQ(array.GetCapacity(), 1u); // grow-by 0: exactly the size
    array.SetGrowBy(4);
    array.Add(new Tracked(&live));
    EXPECT_EQ(array.GetSize(), 2u);
    EXPECT_EQ(array.GetCapacity(), 6u);
    for (uint32_t i = 2; i < 6; ++i)
        EXPECT_EQ(array.GetData()[i], nullptr);
    EXPECT_EQ(array[7], nullptr); // out of range reads answer null
    EXPECT_FALSE(array.SetAt(9, nullptr));
    EXPECT_EQ(live, 2);
}

TEST(CDvdPtrArray, ShrinkingAndDeleteAllDeleteElements)
{
    int live = 0;
    {
        CDvdPtrArray<Tracked> array;
        for (int i = 0; i < 4; ++i)
            array.Add(new Tracked(&live));
        array.SetSize(2);
        EXPECT_EQ(live, 2);
        array.SetSize(2, true); // n null slots remain
        EXPECT_EQ(live, 0);
        EXPECT_EQ(array.GetSize(), 2u);
        EXPECT_EQ(array[0], nullptr);
        array.SetAt(1, new Tracked(&live));
        array.DeleteAll();
        EXPECT_EQ(live, 0);
        EXPECT_EQ(array.GetSize(), 2u);
        array.SetAt(0, new Tracked(&live));
        array.SetSize(0);
        EXPECT_EQ(live, 0);
        array.FreeExtra();
        EXPECT_EQ(array.GetCapacity(), 0u);
        EXPECT_EQ(array.GetData(), nullptr);
        array.Add(new Tracked(&live));
    }
    EXPECT_EQ(live, 0); // the destructor deletes what is left
}

struct CountingDelete
{
    static int calls;
    void operator()(int* p) const
    {
        ++calls;
        delete p;
    }
};
int CountingDelete::calls = 0;

TEST(CDvdPtrArray, UsesItsDeleter)
{
    CountingDelete::calls = 0;
    {
        CDvdPtrArray<int, CountingDelete> array;
        array.Add(new int(1));
        array.Add(nullptr);
        array.Add(new int(3));
    }
    EXPECT_EQ(CountingDelete::calls, 2);
}

TEST(CDvdPtrArray, RemoveAtDeletesOneAndMovesTheRestDown)
{
    CountingDelete::calls = 0;
    CDvdPtrArray<int, CountingDelete> array;
    for (int i = 0; i < 4; ++i)
        array.Add(new int(i));
    array.RemoveAt(1);
    array.RemoveAt(9); // out of range: nothing
    EXPECT_EQ(CountingDelete::calls, 1);
    ASSERT_EQ(array.GetSize(), 3u);
    EXPECT_EQ(*array[0], 0);
    EXPECT_EQ(*array[1], 2);
    EXPECT_EQ(*array[2], 3);
    array.RemoveAt(2);
    EXPECT_EQ(array.GetSize(), 2u);
    EXPECT_EQ(CountingDelete::calls, 2);
}

TEST(CGrowArray, SetSizeZeroesAndCopiesGrowByItsOwnStep)
{
    CGrowArray<uint32_t> a;
    a.SetGrowBy(3);
    a.SetSize(2, true);
    EXPECT_EQ(a.GetCapacity(), 5);
    EXPECT_EQ(a[0], 0u);
    a[0] = 7;
    a[1] = 9;
    a.Add(11);
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a.GetCapacity(), 5);
    a.SetSize(-4); // a negative count is no count
    EXPECT_EQ(a.GetSize(), 0);
    a.SetSize(3);
    EXPECT_EQ(a[2], 11u); // growing within the capacity keeps the values

    CGrowArray<uint32_t> b;
    b.SetGrowBy(10);
    b = a;
    EXPECT_EQ(b.GetSize(), 3);
    EXPECT_EQ(b.GetCapacity(), 13);
    EXPECT_EQ(b[1], 9u);
    b = b;
    EXPECT_EQ(b.GetSize(), 3);
    CGrowArray<uint32_t> c(a);
    EXPECT_EQ(c[0], 7u);
    EXPECT_EQ(a.GetMemorySize(), 5 * sizeof(uint32_t) + 16);
}

TEST(CGrowArray, FindsTwoByteCodesByTheirBytes)
{
    CGrowArray<uint16_t> codes;
    const char* languages[] = {"en", "fr", "de"};
    for (const char* l : languages)
    {
        uint16_t code;
        std::memcpy(&code, l, 2);
        codes.Add(code);
    }
    EXPECT_EQ(FindTwoByteCode(codes, "fr"), 1);
    EXPECT_EQ(FindTwoByteCode(codes, "de"), 2);
    EXPECT_EQ(FindTwoByteCode(codes, "rf"), -1);
}

} // namespace
