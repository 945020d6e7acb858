#include "DvdGui/core/PopupLayout.h"

#include <gtest/gtest.h>

namespace
{

TEST(PopupLayout, StoredPlacementsAreFittedOnTheScreen)
{
    EXPECT_EQ(DefaultPopupPlacement(1280, 1024), (CPopupPlacement{370, 312, 540, 400}));
    const struct
    {
        CPopupPlacement stored;
        CPopupPlacement fitted;
    } cases[] = {
        {{100, 80, 540, 400}, {100, 80, 540, 400}},   {{-50, 80, 540, 400}, {0, 80, 540, 400}}, // off the left edge
        {{900, 80, 540, 400}, {740, 80, 540, 400}},                                             // off the right edge
        {{100, -9, 540, 400}, {100, 0, 540, 400}},                                              // above the top
        {{100, 900, 540, 400}, {100, 624, 540, 400}},                                           // below the bottom
        {{100, 80, 2000, 400}, {0, 80, 1280, 400}},                                             // wider than the screen
        {{100, 80, 540, 3000}, {100, 0, 540, 1024}}, // taller than the screen
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitPopupOnScreen(c.stored, 1280, 1024), c.fitted) << c.stored.x << "," << c.stored.y;
}

TEST(PopupLayout, TheConfirmingButtonStandsLeftOfCancel)
{
    const CPopupButtonRow row = LayoutPopupButtons(532, 366, 80, 20);
    EXPECT_EQ(row.nContentHeight, 366 - 32);
    EXPECT_EQ(row.nButtonTop, 366 - 32 + 8);
    EXPECT_EQ(row.xCancel, 532 - 40 - 80);
    EXPECT_EQ(row.xConfirm, 532 - 40 - 80 - 80 - 10);
    EXPECT_EQ(GetPopupMinTrackWidth(80, 20), 2 * 120 + 10);
}

TEST(PopupLayout, TheStripLeavesRoomBelowIt)
{
    EXPECT_EQ(FitStripHeight(137, 400, 137), 137);
    EXPECT_EQ(FitStripHeight(300, 400, 137), 263);
    EXPECT_EQ(FitStripHeight(137, 100, 137), 0);
    EXPECT_EQ(FitStripHeight(-5, 400, 137), 0);
}

} // namespace
