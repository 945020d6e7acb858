// The division of a container's size among its rows and panes, and the
// smallest size it can be squeezed to.
#include "uitoolkit/core/ExtDockContainerLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using kxdock::ContainerPane;
using kxdock::ContainerRow;
using kxdock::ContainerRows;

ContainerRow RowOf(std::vector<ContainerPane> panes)
{
    ContainerRow row;
    row.panes = std::move(panes);
    return row;
}

std::vector<int> Thicknesses(const ContainerRows& rows)
{
    std::vector<int> out;
    for (const ContainerRow& row : rows)
        for (const ContainerPane& pane : row.panes)
            out.push_back(pane.nThickness);
    return out;
}

TEST(ExtDockContainerLayout, ThicknessIsHandedOutAPixelPerRowAndPass)
{
    struct Case
    {
        const char* name;
        std::vector<ContainerRow> rows;
        int nAvailable;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"shrink two rows by 21", {RowOf({{100, 20, 0, 0}}), RowOf({{50, 20, 0, 0}})}, 129, {89, 40}},
        {"grow two rows by 3", {RowOf({{100, 20, 0, 0}}), RowOf({{50, 20, 0, 0}})}, 153, {102, 51}},
        {"a row at its minimum gives nothing more", {RowOf({{100, 20, 0, 0}}), RowOf({{50, 48, 0, 0}})}, 130, {82, 48}},
        {"every row at its minimum overflows", {RowOf({{30, 30, 0, 0}}), RowOf({{25, 20, 0, 0}})}, 40, {30, 20}},
        {"panes of a row follow its first", {RowOf({{60, 10, 0, 0}, {70, 10, 0, 0}})}, 64, {64, 64}},
        {"the first pane's minimum decides", {RowOf({{60, 50, 0, 0}, {60, 10, 0, 0}})}, 40, {50, 50}},
    };
    for (const Case& c : cases)
    {
        ContainerRows rows = c.rows;
        kxdock::DistributeContainerThickness(rows, c.nAvailable);
        EXPECT_EQ(Thicknesses(rows), c.expected) << c.name;
    }
}

TEST(ExtDockContainerLayout, LengthIsHandedOutAPixelPerPaneAndPass)
{
    struct Case
    {
        const char* name;
        std::vector<ContainerPane> panes;
        int nAvailable;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"grow", {{0, 0, 100, 10}, {0, 0, 100, 10}}, 205, {103, 102}},
        {"shrink", {{0, 0, 100, 10}, {0, 0, 100, 10}}, 195, {97, 98}},
        {"a pane at its minimum is passed over", {{0, 0, 12, 12}, {0, 0, 100, 10}}, 100, {12, 88}},
        {"all at their minimum", {{0, 0, 12, 12}, {0, 0, 10, 10}}, 15, {12, 10}},
    };
    for (const Case& c : cases)
    {
        ContainerRow row = RowOf(c.panes);
        kxdock::DistributeContainerLength(row, c.nAvailable);
        std::vector<int> lengths;
        for (const ContainerPane& pane : row.panes)
            lengths.push_back(pane.nLength);
        EXPECT_EQ(lengths, c.expected) << c.name;
    }
}

TEST(ExtDockContainerLayout, MinimalSizeAddsThicknessesAcrossAndTakesTheLongestRowAlong)
{
    // Two rows: minimal thicknesses 20 and (smallest of 30, 25) 25; minimal
    // lengths 40 and 15 + 35 = 50.
    const ContainerRows rows = {RowOf({{80, 20, 100, 40}}), RowOf({{60, 30, 50, 15}, {60, 25, 50, 35}})};
    const kxdock::ContainerTotals totals = kxdock::SumContainerRows(rows);
    EXPECT_EQ(totals.nThickness, 140);
    EXPECT_EQ(totals.nMinThickness, 45);
    EXPECT_EQ(totals.nMaxMinLength, 50);
    EXPECT_EQ(totals.nPaneCount, 3);
    EXPECT_EQ(kxdock::ContainerMinSize(totals, true), CSize(50, 45));
    EXPECT_EQ(kxdock::ContainerMinSize(totals, false), CSize(45, 50));
}

} // namespace
