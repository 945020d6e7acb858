// Popup-menu navigation rules: the keyboard order over lists and palette
// rows, the mnemonic and text searches, status prompts and the timer steps.
#include "uitoolkit/core/ExtPopupMenuNavigation.h"

#include <gtest/gtest.h>

namespace
{

using N = CExtPopupMenuNavigation;

N::Item Command(bool bSelectable = true)
{
    N::Item item;
    item.Selectable = bSelectable;
    return item;
}

N::Item Separator()
{
    return Command(false);
}

// A list: command, separator, disabled command, command, command.
N::Menu List(int nCurrent)
{
    N::Menu menu;
    menu.Items = {Command(), Separator(), Command(false), Command(), Command()};
    menu.Current = nCurrent;
    return menu;
}

TEST(ExtPopupMenuNavigation, ListOrderSkipsUnselectableItemsAndWraps)
{
    const struct
    {
        int nCurrent;
        int nCode;
        int nExpected;
    } cases[] = {
        {-1, N::NavNext, 0},   {-1, N::NavPrev, 0},   {-1, N::NavCurrent, 0}, {0, N::NavCurrent, 0},
        {0, N::NavNext, 3},    {3, N::NavNext, 4},    {4, N::NavNext, 0},     {0, N::NavPrev, 4},
        {4, N::NavPrev, 3},    {3, N::NavPrev, 0},    {0, N::NavNone, -1},    {0, N::NavPageDown, -1},
        {0, N::NavPageUp, -1}, {3, N::NavNextRow, 4}, {3, N::NavPrevRow, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(N::NextSelectable(List(c.nCurrent), c.nCode), c.nExpected) << c.nCurrent << " " << c.nCode;
}

TEST(ExtPopupMenuNavigation, ASingleSelectableItemKeepsTheHighlight)
{
    for (int nCurrent : {0, 2})
    {
        N::Menu menu;
        menu.Items = {Separator(), Separator(), Separator()};
        menu.Items[nCurrent].Selectable = true;
        menu.Current = nCurrent;
        EXPECT_EQ(N::NextSelectable(menu, N::NavNext), -1) << nCurrent;
        EXPECT_EQ(N::NextSelectable(menu, N::NavPrev), -1) << nCurrent;
    }
}

TEST(ExtPopupMenuNavigation, ACollapsedMenuOffersItsExpandButton)
{
    N::Menu menu = List(4);
    menu.CanExpand = true;
    EXPECT_EQ(N::NextSelectable(menu, N::NavNext), N::ResultExpandButton);
    EXPECT_EQ(N::NextSelectable(menu, N::NavPrev), 3); // up never expands
    EXPECT_EQ(N::NextSelectable(menu, N::NavNone), N::ResultExpandButton);
    menu.NoItemDisplayed = true;
    EXPECT_EQ(N::NextSelectable(menu, N::NavCurrent), N::ResultExpandButton);

    N::Menu empty;
    EXPECT_EQ(N::NextSelectable(empty, N::NavNext), -1);
    empty.CanExpand = true;
    EXPECT_EQ(N::NextSelectable(empty, N::NavNext), N::ResultExpandButton);
}

// Three rows of icons at x = 0, 20, 40; the middle row lacks its last
// icon and holds a disabled one in the middle.
N::Menu Palette(int nCurrent)
{
    N::Menu menu;
    for (int nRow = 0; nRow < 3; ++nRow)
        for (int nCol = 0; nCol < 3; ++nCol)
        {
            if (nRow == 1 && nCol == 2)
                continue;
            N::Item item;
            item.NoText = true;
            item.Left = nCol * 20;
            item.Right = item.Left + 20;
            item.Wrap = nCol == 2 || (nRow == 1 && nCol == 1);
            item.Selectable = !(nRow == 1 && nCol == 1);
            menu.Items.push_back(item);
        }
    menu.Current = nCurrent;
    return menu;
}

TEST(ExtPopupMenuNavigation, PaletteRowsKeepTheColumn)
{
    // indices: row 0 = 0 1 2, row 1 = 3 (4 disabled), row 2 = 5 6 7
    const struct
    {
        int nCurrent;
        int nCode;
        int nExpected;
    } cases[] = {
        {0, N::NavNextRow, 3}, // same column
        {1, N::NavNextRow, 3}, // column 1 is disabled below: the left neighbour at the row end
        {2, N::NavNextRow, 3}, // nothing under the last column
        {3, N::NavNextRow, 5}, {6, N::NavNextRow, -1},
        {5, N::NavPrevRow, 3}, {7, N::NavPrevRow, 3}, // the right-most item not right of it
        {3, N::NavPrevRow, 0}, {1, N::NavPrevRow, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(N::NextSelectable(Palette(c.nCurrent), c.nCode), c.nExpected) << c.nCurrent << " " << c.nCode;

    N::Menu withText = Palette(0);
    withText.Items[0].NoText = false;
    EXPECT_EQ(N::NextSelectable(withText, N::NavNextRow), 1); // an item with text moves like a list
}

TEST(ExtPopupMenuNavigation, MnemonicSearchWrapsAndSkipsUnusableItems)
{
    N::Menu menu = List(-1);
    const char mnemonics[] = {'A', 'A', 'A', 'B', 'A'};
    for (int i = 0; i < 5; ++i)
        menu.Items[i].Mnemonic = mnemonics[i];
    menu.Items[4].Displayed = menu.Items[4].Selectable = false;
    EXPECT_EQ(N::FindByAccessChar(menu, 'A', -1), 0);
    EXPECT_EQ(N::FindByAccessChar(menu, 'A', 0), -1); // the item searched from never matches itself
    EXPECT_EQ(N::FindByAccessChar(menu, 'B', 3), -1);
    EXPECT_EQ(N::FindByAccessChar(menu, 'B', 4), 3);
    EXPECT_EQ(N::FindByAccessChar(menu, 'C', -1), -1);

    menu.Items[2].Selectable = true;
    EXPECT_EQ(N::FindByAccessChar(menu, 'A', 0), 2);
    EXPECT_EQ(N::FindByAccessChar(menu, 'A', 2), 0);

    menu.Items[0].Mnemonic = '0';
    EXPECT_EQ(N::FindByAccessChar(menu, '0', -1), -1);
    EXPECT_EQ(N::FindByAccessChar(menu, 0, -1), -1);
}

TEST(ExtPopupMenuNavigation, TextSearchComparesWholeTextsWithoutCase)
{
    const std::vector<CString> texts = {"&Open", "Save", "&open", "Close"};
    EXPECT_EQ(N::FindByText(texts, "&OPEN", -1), 0);
    EXPECT_EQ(N::FindByText(texts, "&OPEN", 0), 2);
    EXPECT_EQ(N::FindByText(texts, "&OPEN", 2), 0);
    EXPECT_EQ(N::FindByText(texts, "Open", -1), -1);
    EXPECT_EQ(N::FindByText(texts, "", -1), -1);
    EXPECT_EQ(N::FindByText(texts, nullptr, -1), -1);
}

TEST(ExtPopupMenuNavigation, StatusPromptsOfCommandsAndWindowCommands)
{
    const struct
    {
        UINT nCmdID;
        UINT nPrompt;
    } cases[] = {
        {0, 0xE001},      {0xFFFFFFFF, 0xE001}, {100, 100},       {0xEFFF, 0xEFFF}, {0xF000, 0xEF00}, {0xF060, 0xEF06},
        {0xF120, 0xEF12}, {0xF130, 0xEF13},     {0xF100, 0xE001}, {0xF1EF, 0xE001}, {0xF1F0, 0xF1F0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(N::StatusTextID(c.nCmdID), c.nPrompt) << std::hex << c.nCmdID;
}

TEST(ExtPopupMenuNavigation, ScrollingMovesFivePixelsAndStopsAtBothEnds)
{
    int nOffset = -10;
    EXPECT_FALSE(N::ScrollTick(nOffset, 5, -40));
    EXPECT_EQ(nOffset, -5);
    EXPECT_FALSE(N::ScrollTick(nOffset, 5, -40)); // exactly at 0 it goes on
    EXPECT_EQ(nOffset, 0);
    EXPECT_TRUE(N::ScrollTick(nOffset, 5, -40));
    EXPECT_EQ(nOffset, 0);

    nOffset = -37;
    EXPECT_TRUE(N::ScrollTick(nOffset, -5, -40));
    EXPECT_EQ(nOffset, -40);
    EXPECT_TRUE(N::ScrollTick(nOffset, 0, -40)); // the cursor left the scroll areas
    EXPECT_EQ(nOffset, -40);
}

TEST(ExtPopupMenuNavigation, ExpandHoverEndsAfterThirtyTicks)
{
    int nCounter = 1; // set when the hover starts
    for (int nTick = 1; nTick < 30; ++nTick)
        ASSERT_FALSE(N::ExpandHoverTick(nCounter)) << nTick;
    EXPECT_EQ(nCounter, 1450);
    EXPECT_TRUE(N::ExpandHoverTick(nCounter));
    EXPECT_EQ(nCounter, 0);
}

} // namespace
