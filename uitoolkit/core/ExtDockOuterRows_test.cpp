// Swapping rows, moving a bar into another row and exchanging two bars of a
// row keep the row array sound, over arrays written as text: letters are
// bars, [n] a placeholder of id n, | the end of a row.
#include "uitoolkit/core/ExtDockOuterRows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace
{

int g_bars[5];

void* Bar(char c)
{
    return &g_bars[c - 'A'];
}

void SetRows(CPtrArray& arr, const std::string& sText)
{
    arr.RemoveAll();
    arr.Add(nullptr);
    std::istringstream in(sText);
    std::string sToken;
    while (in >> sToken)
    {
        if (sToken == "|")
            arr.Add(nullptr);
        else if (sToken[0] == '[')
            arr.Add(kxdock::PlaceholderOf(static_cast<UINT>(std::atoi(sToken.c_str() + 1))));
        else
            arr.Add(Bar(sToken[0]));
    }
    arr.Add(nullptr);
}

std::string Text(const CPtrArray& arr)
{
    std::string sText;
    for (INT_PTR i = 1; i < arr.GetSize(); ++i)
    {
        void* p = arr[i];
        std::string sToken;
        if (p == nullptr)
            sToken = i + 1 < arr.GetSize() ? "|" : "";
        else if (kxdock::IsPlaceholder(p))
            sToken = "[" + std::to_string(reinterpret_cast<uintptr_t>(p)) + "]";
        else
            sToken = std::string(1, static_cast<char>('A' + (static_cast<int*>(p) - g_bars)));
        if (!sToken.empty())
            sText += (sText.empty() ? "" : " ") + sToken;
    }
    return sText;
}

struct SwapCase
{
    const char* pszRows;
    char cA;
    char cB;
    const char* pszWanted;
};

TEST(ExtDockOuterRowsTest, SwappingRowsMovesTheWholeRowWithItsPlaceholders)
{
    const SwapCase kCases[] = {
        {"A [7] | B", 'A', 'B', "B | A [7]"},
        {"A | B C", 'B', 'A', "B C | A"},
        {"A | B [9] C | D", 'D', 'B', "A | D | B [9] C"},
        {"A | [5] B | C D", 'B', 'C', "A | C D | [5] B"},
        {"A | B | C", 'A', 'B', "B | A | C"},
    };
    for (const SwapCase& c : kCases)
    {
        SCOPED_TRACE(c.pszRows);
        CPtrArray arr;
        SetRows(arr, c.pszRows);
        kxdock::SwapRowsOf(arr, kxdock::FindEntry(arr, Bar(c.cA)), kxdock::FindEntry(arr, Bar(c.cB)));
        EXPECT_EQ(Text(arr), c.pszWanted);
        EXPECT_TRUE(kxdock::IsRowArraySound(arr));
    }
}

struct MoveCase
{
    const char* pszRows;
    char cBar;
    char cTarget;
    bool bAfter;
    const char* pszWanted;
};

TEST(ExtDockOuterRowsTest, MovingABarIntoARowKeepsTheArraySound)
{
    const MoveCase kCases[] = {
        // alone in its row: the row goes with it
        {"A | B C", 'A', 'C', false, "B A C"},
        {"A | B C", 'A', 'C', true, "B C A"},
        {"B C | A", 'A', 'B', false, "A B C"},
        // a placeholder keeps its row
        {"A [7] | B", 'A', 'B', true, "[7] | B A"},
        {"B | D A | C", 'A', 'C', false, "B | D | A C"},
    };
    for (const MoveCase& c : kCases)
    {
        SCOPED_TRACE(c.pszRows);
        CPtrArray arr;
        SetRows(arr, c.pszRows);
        const int nNew = kxdock::MoveEntryIntoRow(arr, kxdock::FindEntry(arr, Bar(c.cBar)), Bar(c.cTarget), c.bAfter);
        EXPECT_EQ(Text(arr), c.pszWanted);
        EXPECT_EQ(nNew, kxdock::FindEntry(arr, Bar(c.cBar)));
        EXPECT_TRUE(kxdock::IsRowArraySound(arr));
    }
    CPtrArray arr;
    SetRows(arr, "A | B");
    EXPECT_EQ(kxdock::MoveEntryIntoRow(arr, 1, Bar('E'), false), -1);
    EXPECT_EQ(Text(arr), "A | B");
}

TEST(ExtDockOuterRowsTest, TheBarGoesBeforeTheFirstBarStartingAtOrAfterItsPlace)
{
    const std::vector<kxdock::RowSpan> row = {{0, 50}, {60, 120}, {200, 260}};
    EXPECT_EQ(kxdock::ChooseRowInsertTarget(row, -5), 0);
    EXPECT_EQ(kxdock::ChooseRowInsertTarget(row, 0), 0);
    EXPECT_EQ(kxdock::ChooseRowInsertTarget(row, 30), 1);
    EXPECT_EQ(kxdock::ChooseRowInsertTarget(row, 150), 2);
    EXPECT_EQ(kxdock::ChooseRowInsertTarget(row, 201), -1);
    EXPECT_EQ(kxdock::ChooseRowInsertTarget({}, 0), -1);
}

TEST(ExtDockOuterRowsTest, SwappingTwoItemsExchangesTheirEntriesAndMovesTheItem)
{
    CPtrArray arr;
    SetRows(arr, "E | A [3] B C | D");
    kxdock::OuterRowItems items;
    for (char c : {'A', 'B', 'C'})
    {
        kxdock::OuterRowItem item;
        item.m_pBar = Bar(c);
        items.Add(item);
    }
    kxdock::SwapRowItemEntries(arr, items, 0, 2);
    EXPECT_EQ(Text(arr), "E | C [3] B A | D");
    ASSERT_EQ(items.GetSize(), 3);
    EXPECT_EQ(items[0].m_pBar, Bar('C'));
    EXPECT_EQ(items[1].m_pBar, Bar('A'));
    EXPECT_EQ(items[2].m_pBar, Bar('B'));
    EXPECT_TRUE(kxdock::IsRowArraySound(arr));
}

} // namespace
