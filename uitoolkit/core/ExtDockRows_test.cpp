// The row array's invariants, the sharing of a row among resizable panes and
// the fitting of tool-bar rows, over plain arrays.
#include "uitoolkit/core/ExtDockRows.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using kxdock::OuterRowItem;
using kxdock::OuterRowItems;
using kxdock::RowPane;

// Bars are told apart by address; their ids are their index + 100.
struct FakeBar
{
    UINT nId;
    bool bResizable;
};

FakeBar g_bars[] = {{100, false}, {101, false}, {102, true}, {103, true}, {104, false}};

void* Bar(int n)
{
    return &g_bars[n];
}

// Rows from the entries between the array's first and last null.
void SetRows(CPtrArray& arr, const std::vector<void*>& entries)
{
    arr.RemoveAll();
    arr.Add(nullptr);
    for (void* p : entries)
        arr.Add(p);
    if (arr[arr.GetSize() - 1] != nullptr)
        arr.Add(nullptr);
}

// "|" ends a row, "[id]" a placeholder, "b<n>" bar n.
std::string Text(const CPtrArray& arr)
{
    std::string s;
    for (INT_PTR i = 1; i < arr.GetSize(); ++i)
    {
        void* p = arr[i];
        if (p == nullptr)
            s += "|";
        else if (kxdock::IsPlaceholder(p))
            s += "[" + std::to_string(reinterpret_cast<uintptr_t>(p)) + "]";
        else
            s += "b" + std::to_string(static_cast<FakeBar*>(p) - g_bars);
    }
    return s;
}

// ---- the row array ----

// A frame of dock bars: arrays 0 and 1 are docked, array 2 floats.
struct FrameModel
{
    CPtrArray arrDocked0, arrDocked1, arrFloating;

    FrameModel()
    {
        SetRows(arrDocked0, {Bar(0), Bar(1), nullptr, Bar(2), Bar(3)});
        SetRows(arrDocked1, {Bar(4)});
        SetRows(arrFloating, {});
    }

    CPtrArray* All(int n) { return n == 0 ? &arrDocked0 : n == 1 ? &arrDocked1 : &arrFloating; }

    // A bar leaves its dock bar as the dock bars do it.
    void Remove(int nFrom, int nBar, int nAddPlaceholder)
    {
        FakeBar& bar = g_bars[nBar];
        if (kxdock::RemoveBarEntry(*All(nFrom), &bar, bar.nId, -1, nAddPlaceholder, bar.bResizable) ==
            kxdock::RemoveOutcome::RemovedWithPlaceholders)
            RemovePlaceholdersInFrame(bar.nId);
    }
    void RemovePlaceholdersInFrame(UINT nId)
    {
        for (int n = 0; n < 3; ++n)
            if (kxdock::RemovePlaceholder(*All(n), nId))
                return;
    }
    // Docking at the end of dock bar nTo; a docked dock bar takes the bar's
    // placeholders away frame-wide.
    void Dock(int nTo, int nFrom, int nBar)
    {
        kxdock::AppendToLastRow(*All(nTo), Bar(nBar));
        const bool bIntoFloating = nTo == 2;
        Remove(nFrom, nBar, bIntoFloating && nFrom != 2 ? 1 : 0);
        if (!bIntoFloating)
            RemovePlaceholdersInFrame(g_bars[nBar].nId);
    }
    bool Sound()
    {
        for (int n = 0; n < 3; ++n)
            if (!kxdock::IsRowArraySound(*All(n)))
                return false;
        return true;
    }
};

TEST(ExtDockRowArray, PlaceholdersAcrossTheFrame)
{
    struct Case
    {
        const char* pszName;
        void (*pfnRun)(FrameModel&);
        const char* pszDocked0;
        const char* pszDocked1;
        const char* pszFloating;
    };
    const Case cases[] = {
        {"a tool bar floated leaves its placeholder", [](FrameModel& m) { m.Dock(2, 0, 1); }, "b0[101]|b2b3|", "b4|",
         "b1|"},
        {"floating the same tool bar twice keeps one placeholder",
         [](FrameModel& m)
         {
             m.Dock(2, 0, 1);
             m.Dock(0, 2, 1);
             m.Dock(2, 0, 1);
         },
         "b0|b2b3[101]|", "b4|", "b1|"},
        {"docking it into the other docked dock bar takes the placeholder away",
         [](FrameModel& m)
         {
             m.Dock(2, 0, 1);
             m.Dock(1, 2, 1);
         },
         "b0|b2b3|", "b4b1|", ""},
        {"docking it back takes the placeholder away",
         [](FrameModel& m)
         {
             m.Dock(2, 0, 1);
             m.Dock(0, 2, 1);
         },
         "b0|b2b3b1|", "b4|", ""},
        {"a resizable pane never leaves a placeholder", [](FrameModel& m) { m.Dock(2, 0, 2); }, "b0b1|b3|", "b4|",
         "b2|"},
        {"explicit placeholder request for a resizable pane is refused", [](FrameModel& m) { m.Remove(0, 3, 1); },
         "b0b1|b2|", "b4|", ""},
        {"the last bar of a row takes its row end with it",
         [](FrameModel& m)
         {
             m.Remove(0, 2, 0);
             m.Remove(0, 3, 0);
         },
         "b0b1|", "b4|", ""},
        {"the placeholder of a removed row's only bar stays a row", [](FrameModel& m) { m.Dock(2, 1, 4); },
         "b0b1|b2b3|", "[104]|", "b4|"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        FrameModel model;
        c.pfnRun(model);
        EXPECT_TRUE(model.Sound());
        EXPECT_EQ(Text(model.arrDocked0), c.pszDocked0);
        EXPECT_EQ(Text(model.arrDocked1), c.pszDocked1);
        EXPECT_EQ(Text(model.arrFloating), c.pszFloating);
    }
}

TEST(ExtDockRowArray, RowOperationsKeepTheArraySound)
{
    const std::vector<void*> arrRows = {Bar(0), Bar(1), nullptr, Bar(2), nullptr, Bar(3)};
    struct Case
    {
        const char* pszName;
        std::vector<void*> arrStart;
        int (*pfnRun)(CPtrArray&);
        const char* pszRows;
        int nResult;
    };
    const Case cases[] = {
        {"whole-row bar alone already", arrRows, [](CPtrArray& a) { return kxdock::IsolateEntry(a, 4); }, "b0b1|b2|b3|",
         4},
        {"whole-row bar after others", arrRows, [](CPtrArray& a) { return kxdock::IsolateEntry(a, 2); }, "b0|b1|b2|b3|",
         3},
        {"whole-row bar between others",
         {Bar(0), Bar(1), nullptr, Bar(2), Bar(4), Bar(3)},
         [](CPtrArray& a) { return kxdock::IsolateEntry(a, 5); },
         "b0b1|b4|b2b3|",
         4},
        {"whole-row bar before others",
         {Bar(0), Bar(1), nullptr, Bar(4), Bar(2), Bar(3)},
         [](CPtrArray& a) { return kxdock::IsolateEntry(a, 4); },
         "b0b1|b4|b2b3|",
         4},
        {"new row before", arrRows, [](CPtrArray& a) { return kxdock::InsertAsNewRow(a, 2, true, Bar(4)); },
         "b4|b0b1|b2|b3|", 1},
        {"new row after", arrRows, [](CPtrArray& a) { return kxdock::InsertAsNewRow(a, 1, false, Bar(4)); },
         "b0b1|b4|b2|b3|", 4},
        {"new row after the last", arrRows, [](CPtrArray& a) { return kxdock::InsertAsNewRow(a, 6, false, Bar(4)); },
         "b0b1|b2|b3|b4|", 8},
        {"first row", arrRows, [](CPtrArray& a) { return (kxdock::InsertAsFirstRow(a, Bar(4)), 1); }, "b4|b0b1|b2|b3|",
         1},
        {"end of the last row", arrRows, [](CPtrArray& a) { return (kxdock::AppendToLastRow(a, Bar(4)), 7); },
         "b0b1|b2|b3b4|", 7},
        {"sole in row, middle",
         {Bar(0), Bar(1), Bar(2)},
         [](CPtrArray& a) { return kxdock::SeparateEntry(a, 2); },
         "b0|b1|b2|",
         3},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CPtrArray arr;
        SetRows(arr, c.arrStart);
        EXPECT_EQ(c.pfnRun(arr), c.nResult);
        EXPECT_TRUE(kxdock::IsRowArraySound(arr));
        EXPECT_EQ(Text(arr), c.pszRows);
    }

    CPtrArray arr;
    SetRows(arr, {});
    EXPECT_TRUE(kxdock::IsRowArrayEmpty(arr));
    kxdock::AppendToLastRow(arr, Bar(0));
    EXPECT_EQ(Text(arr), "b0|");
    SetRows(arr, {});
    kxdock::InsertAsFirstRow(arr, Bar(0));
    EXPECT_EQ(Text(arr), "b0|");
    SetRows(arr, {kxdock::PlaceholderOf(7)});
    EXPECT_FALSE(kxdock::IsRowArrayEmpty(arr));
}

// ---- sharing a row among resizable panes ----

std::vector<RowPane> Panes(std::initializer_list<std::pair<int, int>> extents)
{
    std::vector<RowPane> arr;
    for (const auto& e : extents)
        arr.push_back({e.first, e.second, true});
    return arr;
}

TEST(ExtDockRowShare, GrowsAndShrinksAPixelAtATime)
{
    struct Case
    {
        const char* pszName;
        std::vector<RowPane> arrPanes;
        int nLength;
        std::vector<int> arrExpected;
    };
    const Case cases[] = {
        {"two panes grow evenly", Panes({{100, 20}, {100, 20}}), 300, {150, 150}},
        {"odd pixel to the first", Panes({{100, 20}, {100, 20}}), 301, {151, 150}},
        {"three panes shrink evenly", Panes({{200, 20}, {200, 20}, {200, 20}}), 450, {150, 150, 150}},
        {"both at their minimum: all to the last", Panes({{40, 40}, {40, 40}}), 300, {40, 260}},
        {"shrinking stops at the minimum", Panes({{100, 90}, {200, 20}}), 200, {90, 110}},
        {"a pane at its minimum keeps it", Panes({{40, 40}, {100, 20}}), 200, {40, 160}},
    };
    for (Case c : cases)
    {
        SCOPED_TRACE(c.pszName);
        const kxdock::RowMeasure measure = kxdock::MeasureRow(c.arrPanes, c.nLength, 4);
        ASSERT_EQ(measure.nOverflowAt, -1);
        kxdock::ShareRowExtent(c.arrPanes, measure.nLength - measure.nSum, static_cast<int>(c.arrPanes.size()) - 1);
        std::vector<int> arrGot;
        for (const RowPane& pane : c.arrPanes)
            arrGot.push_back(pane.nExtent);
        EXPECT_EQ(arrGot, c.arrExpected);
    }
}

TEST(ExtDockRowShare, OverflowOfMinimalLengthsIsFound)
{
    std::vector<RowPane> arrPanes = Panes({{120, 100}, {120, 100}, {120, 100}});
    EXPECT_EQ(kxdock::MeasureRow(arrPanes, 250, 4).nOverflowAt, 2);
    arrPanes = Panes({{10, 100}});
    EXPECT_EQ(kxdock::MeasureRow(arrPanes, 300, 4).nOverflowAt, -1);
    EXPECT_EQ(arrPanes[0].nExtent, 100); // raised to its minimum
    // A fixed bar's length leaves the panes' length.
    arrPanes = {{50, 0, false}, {100, 20, true}};
    const kxdock::RowMeasure measure = kxdock::MeasureRow(arrPanes, 300, 0);
    EXPECT_EQ(measure.nLength, 250);
    EXPECT_EQ(measure.nSum, 100);
}

TEST(ExtDockRowShare, RowEndsAddUpToTheRowThicknesses)
{
    CSize size(32767, 0);
    CPoint pos(0, 0);
    int nThickness = 20;
    kxdock::EndLayoutRow(size, pos, nThickness, true);
    nThickness = 30;
    kxdock::EndLayoutRow(size, pos, nThickness, true);
    EXPECT_EQ(pos, CPoint(0, 50));
    EXPECT_EQ(size.cy + 1, 50); // the border correction adds the last pixel
    EXPECT_EQ(nThickness, 0);
}

// ---- tool-bar rows ----

struct ToolRow
{
    kxdock::OuterPositionData arrPos[3];
    OuterRowItems items;

    // Three tool bars 100 long (at least 30), at 0, 120 and 250; ranks give
    // the most recently placed first.
    explicit ToolRow(std::initializer_list<DWORD> ranks)
    {
        const int starts[] = {0, 120, 250};
        int i = 0;
        for (DWORD nRank : ranks)
        {
            OuterRowItem item;
            item.m_bVisible = item.m_bExtBar = item.m_bFixedMode = true;
            item.m_pPos = &arrPos[i];
            item.m_sizeCalc = CSize(100, 22);
            item.m_sizeMin = CSize(30, 22);
            item.m_rcCurrent = CRect(starts[i], 0, starts[i] + 100, 22);
            arrPos[i].m_nOrder = nRank;
            arrPos[i].m_rcBar = item.m_rcCurrent;
            arrPos[i].m_nExtentH = 100;
            items.Add(item);
            ++i;
        }
    }
    // Lays the row out in a dock bar nExtent long, as the frame would, and
    // keeps the result as the bars' places for the next layout.
    std::string Layout(int nExtent, int* pRows = nullptr)
    {
        CSize size(32767, 0);
        CPoint pos(0, 0);
        int nRows = 0;
        bool bCompressed = false;
        kxdock::LayoutOuterRowItems(&size, &pos, nExtent, true, false, items, &nRows, &bCompressed);
        if (pRows != nullptr)
            *pRows = nRows;
        std::string s;
        for (INT_PTR i = 0; i < items.GetSize(); ++i)
        {
            const CRect& rc = items[i].m_rcCalc;
            s += std::to_string(rc.left) + "-" + std::to_string(rc.right) + "@" + std::to_string(rc.top) + " ";
            items[i].m_rcCurrent = rc;
        }
        return s;
    }
};

TEST(ExtDockOuterRow, FittingBarsKeepTheirGaps)
{
    ToolRow row({3, 2, 1});
    int nRows = 0;
    EXPECT_EQ(row.Layout(400, &nRows), "0-100@0 120-220@0 250-350@0 ");
    EXPECT_EQ(nRows, 1);
}

TEST(ExtDockOuterRow, NarrowingClosesGapsThenShrinksFromTheEndThenWraps)
{
    ToolRow row({1, 2, 3}); // the first bar is the most recent
    EXPECT_EQ(row.Layout(320), "0-100@0 120-220@0 220-320@0 ");
    EXPECT_EQ(row.Layout(250), "0-100@0 100-200@0 200-250@0 ");
    EXPECT_EQ(row.Layout(170), "0-100@0 100-140@0 140-170@0 ");
    int nRows = 0;
    EXPECT_EQ(row.Layout(80, &nRows), "0-50@0 50-80@0 0-80@22 ");
    EXPECT_EQ(nRows, 2);
    for (INT_PTR i = 0; i < row.items.GetSize(); ++i)
        EXPECT_GE(row.items[i].m_rcCalc.Width(), 30);
}

TEST(ExtDockOuterRow, MostRecentBarKeepsItsLengthInACompressedRow)
{
    ToolRow row({3, 2, 1}); // the last bar is the most recent
    EXPECT_EQ(row.Layout(250), "0-50@0 50-150@0 150-250@0 ");
}

TEST(ExtDockOuterRow, WideningRestoresRememberedPlaces)
{
    ToolRow row({1, 2, 3});
    row.Layout(170);
    EXPECT_EQ(row.Layout(400), "0-100@0 120-220@0 250-350@0 ");
}

TEST(ExtDockOuterRow, OrderAndThickness)
{
    ToolRow row({2, 0, 1});
    row.items[1].m_pPos->m_rcBar = RECT{0, 0, 0, 0};
    row.items[1].m_pPos->m_nExtentH = 0;
    CArray<int, int> order;
    kxdock::BuildRowOrder(true, order, row.items, false, 0, -1);
    ASSERT_EQ(order.GetSize(), 3);
    EXPECT_EQ(order[0], 2);
    EXPECT_EQ(order[1], 0);
    EXPECT_EQ(order[2], 1); // no record: last
    kxdock::BuildRowOrder(true, order, row.items, true, 0, -1);
    EXPECT_EQ(order[2], 1);
    EXPECT_GT(row.arrPos[1].m_nOrder, 3u); // a fresh rank after every item
    EXPECT_EQ(CRect(row.arrPos[1].m_rcBar), CRect(120, 0, 220, 22));
    EXPECT_EQ(row.arrPos[1].m_nExtentH, 100);

    for (INT_PTR i = 0; i < row.items.GetSize(); ++i)
    {
        row.items[i].m_rcCalc = CRect(0, 0, 10, 20 + 5 * static_cast<int>(i));
        row.items[i].m_bSyncsThickness = i != 1;
    }
    kxdock::EqualizeRowThickness(true, row.items, 0, 2);
    EXPECT_EQ(row.items[0].m_rcCalc.Height(), 30);
    EXPECT_EQ(row.items[1].m_rcCalc.Height(), 25);
    EXPECT_EQ(row.items[2].m_rcCalc.Height(), 30);
}

TEST(ExtDockOuterRow, ShiftingPushesNeighboursUpToTheEnds)
{
    ToolRow row({1, 2, 3});
    for (INT_PTR i = 0; i < row.items.GetSize(); ++i)
        row.items[i].m_rcCalc = row.items[i].m_rcCurrent;
    EXPECT_EQ(kxdock::ShiftRowItems(true, row.items, 0, 2, 70, 400), 70);
    EXPECT_EQ(row.items[0].m_rcCalc.left, 70);
    EXPECT_EQ(row.items[1].m_rcCalc.left, 170);
    EXPECT_EQ(row.items[2].m_rcCalc.left, 270);
    EXPECT_EQ(kxdock::ShiftRowItems(true, row.items, 0, 2, 100, 400), 30);
    EXPECT_EQ(row.items[2].m_rcCalc.right, 400);
    EXPECT_EQ(kxdock::ShiftRowItems(true, row.items, 0, 2, -500, 400), -100);
    EXPECT_EQ(row.items[0].m_rcCalc.left, 0);
}

} // namespace
