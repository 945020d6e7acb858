#include "framework/core/CList.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

template <class LIST>
std::vector<int> Forward(const LIST& list)
{
    std::vector<int> values;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        values.push_back(list.GetNext(pos));
    return values;
}

template <class LIST>
std::vector<int> Backward(const LIST& list)
{
    std::vector<int> values;
    for (POSITION pos = list.GetTailPosition(); pos != nullptr;)
        values.push_back(list.GetPrev(pos));
    return values;
}

TEST(CList, AddInsertRemoveKeepTheLinksBothWays)
{
    CList<int, int> list;
    list.AddTail(2);
    list.AddHead(1);
    POSITION p3 = list.AddTail(3);
    list.InsertBefore(p3, 25);
    list.InsertAfter(p3, 4);
    list.InsertAfter(nullptr, 5);  // null: the tail
    list.InsertBefore(nullptr, 0); // null: the head
    EXPECT_EQ((std::vector<int>{0, 1, 2, 25, 3, 4, 5}), Forward(list));
    EXPECT_EQ((std::vector<int>{5, 4, 3, 25, 2, 1, 0}), Backward(list));

    list.RemoveAt(list.Find(25));
    EXPECT_EQ(0, list.RemoveHead());
    EXPECT_EQ(5, list.RemoveTail());
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Forward(list));
    EXPECT_EQ((std::vector<int>{4, 3, 2, 1}), Backward(list));
    EXPECT_EQ(1, list.GetHead());
    EXPECT_EQ(4, list.GetTail());
    EXPECT_EQ(4, list.GetCount());
    EXPECT_EQ(3, list.GetAt(list.FindIndex(2)));
    EXPECT_EQ(nullptr, list.FindIndex(4));
}

TEST(CList, FindStartsAfterTheGivenPosition)
{
    CList<int, int> list;
    for (int v : {7, 1, 7, 2, 7})
        list.AddTail(v);
    POSITION first = list.Find(7);
    POSITION second = list.Find(7, first);
    POSITION third = list.Find(7, second);
    EXPECT_NE(first, second);
    EXPECT_NE(second, third);
    EXPECT_EQ(list.GetTailPosition(), third);
    EXPECT_EQ(nullptr, list.Find(7, third));
    EXPECT_EQ(nullptr, list.Find(42));
}

TEST(CList, ListsAddedToThemselvesKeepOrder)
{
    CList<int, int> list;
    list.AddTail(1);
    list.AddTail(2);
    list.AddTail(&list);
    list.AddHead(&list);
    EXPECT_EQ((std::vector<int>{1, 2, 1, 2, 1, 2, 1, 2}), Forward(list));
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(nullptr, list.GetHeadPosition());
}

TEST(CList, EmptyListHasNoHead)
{
    CPtrList list;
    try
    {
        list.GetHead();
        ADD_FAILURE();
    }
    catch (CException* e)
    {
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CInvalidArgException)));
        e->Delete();
    }
}

TEST(CTypedPtrList, KeepsTypedPointers)
{
    int a = 1, b = 2, c = 3;
    CTypedPtrList<CPtrList, int*> list;
    list.AddTail(&a);
    list.AddTail(&b);
    list.AddHead(&c);
    std::vector<int> values;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        values.push_back(*list.GetNext(pos));
    EXPECT_EQ((std::vector<int>{3, 1, 2}), values);
    EXPECT_EQ(&b, list.GetTail());
    EXPECT_NE(nullptr, list.Find(&a));
    EXPECT_EQ(&c, list.RemoveHead());
    EXPECT_EQ(2, list.GetCount());
}

} // namespace
