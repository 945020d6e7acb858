#include "uitoolkit/core/ExtCheckBoxRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using Rules = CExtCheckBoxRules;

TEST(ExtCheckBoxRules, ClickCycles)
{
    int nCheck = 0;
    std::vector<int> threeState;
    for (int i = 0; i < 4; ++i)
        threeState.push_back(nCheck = Rules::NextCheck(nCheck, true));
    EXPECT_EQ((std::vector<int>{1, 2, 0, 1}), threeState);
    EXPECT_EQ(1, Rules::NextCheck(0, false));
    EXPECT_EQ(0, Rules::NextCheck(1, false));
}

TEST(ExtCheckBoxRules, StateIndexTable)
{
    // rows: normal, pressed, hot, disabled; columns: unchecked, checked, indeterminate
    for (int nLook = 0; nLook < 4; ++nLook)
        for (int nCheck = 0; nCheck < 3; ++nCheck)
            EXPECT_EQ(nLook * 3 + nCheck, Rules::GlyphStateIndex(nCheck, nLook));
    EXPECT_EQ(0, Rules::GlyphStateIndex(3, Rules::LookHot));
    EXPECT_EQ(0, Rules::GlyphStateIndex(-1, Rules::LookDisabled));
}

TEST(ExtCheckBoxRules, LookFromControlState)
{
    struct Case
    {
        bool enabled, hover, mouseDown, spaceDown;
        int look;
    };
    const Case cases[] = {
        {false, true, true, true, Rules::LookDisabled}, {true, false, false, true, Rules::LookPressed},
        {true, true, false, false, Rules::LookHot},     {true, false, true, false, Rules::LookHot},
        {true, false, false, false, Rules::LookNormal}, {true, true, true, false, Rules::LookPressed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.look, Rules::GlyphLook(c.enabled, c.hover, c.mouseDown, c.spaceDown))
            << c.enabled << c.hover << c.mouseDown << c.spaceDown;
}

TEST(ExtCheckBoxRules, VisualStyleStates)
{
    const int checkBox[12] = {1, 5, 9, 3, 7, 11, 2, 6, 10, 4, 8, 12};
    const int radio[12] = {1, 5, 1, 3, 7, 1, 2, 6, 1, 4, 8, 1};
    for (int i = 0; i < 12; ++i)
    {
        EXPECT_EQ(checkBox[i], Rules::CheckBoxVisualState(i)) << i;
        EXPECT_EQ(radio[i], Rules::RadioVisualState(i)) << i;
    }
}

} // namespace
