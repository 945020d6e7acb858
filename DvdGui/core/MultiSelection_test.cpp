// Click sequences over the strip's tiles, the notices the host hears and the
// view state saved and restored across a refresh.
#include "DvdGui/core/MultiSelection.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{

class CRecordingTiles : public CTileSelection
{
public:
    explicit CRecordingTiles(int32_t nTiles) { ResetTiles(nTiles); }

    int SendNotify(int nCode, int32_t nItem, int, int) override
    {
        notices.emplace_back(nCode, nItem);
        return nCode == BLN_SELCHANGING ? nChangingAnswer : 0;
    }
    void EnsureItemVisible(int32_t nItem) override { shown.push_back(nItem); }
    void OnLayout() override { ++nLayouts; }

    std::string Selected() const
    {
        std::string text;
        for (int32_t n = 0; n < GetTileCount(); ++n)
            text += IsItemSelected(n) ? '#' : '.';
        return text;
    }

    int nChangingAnswer = 0;
    int nLayouts = 0;
    std::vector<std::pair<int, int32_t>> notices;
    std::vector<int32_t> shown;
};

struct Click
{
    int32_t item;
    bool ctrl, shift;
};

TEST(MultiSelection, ClickSequences)
{
    const struct
    {
        const char* what;
        bool multi;
        std::vector<Click> clicks;
        const char* selected;
        int32_t anchor, focus, caret;
    } cases[] = {
        {"plain", true, {{2, false, false}}, "..#...", 2, 2, 2},
        {"plain replaces", true, {{2, false, false}, {4, false, false}}, "....#.", 4, 4, 4},
        {"ctrl adds", true, {{1, false, false}, {3, true, false}}, ".#.#..", 3, 3, 3},
        {"ctrl removes, focus to the next selected",
         true,
         {{1, false, false}, {3, true, false}, {4, true, false}, {3, true, false}},
         ".#..#.",
         3,
         4,
         4},
        {"ctrl removes the last one, focus to the previous",
         true,
         {{1, false, false}, {3, true, false}, {3, true, false}},
         ".#....",
         3,
         1,
         1},
        {"ctrl on the only selected tile keeps it", true, {{2, false, false}, {2, true, false}}, "..#...", 2, 2, 2},
        {"shift range", true, {{1, false, false}, {4, false, true}}, ".####.", 1, 4, 4},
        {"shift range backwards", true, {{4, false, false}, {1, false, true}}, ".####.", 4, 1, 1},
        {"shift range replaces", true, {{0, true, false}, {3, false, false}, {5, false, true}}, "...###", 3, 5, 5},
        {"ctrl+shift adds the range", true, {{0, false, false}, {3, true, false}, {5, true, true}}, "#..###", 3, 5, 5},
        {"without multi-selection ctrl and shift are ignored",
         false,
         {{1, false, false}, {3, true, false}, {5, false, true}},
         ".....#",
         5,
         5,
         5},
        {"without multi-selection a click on the focus",
         false,
         {{2, false, false}, {2, true, false}},
         "..#...",
         2,
         2,
         2},
    };
    for (const auto& c : cases)
    {
        CRecordingTiles tiles(6);
        tiles.m_bMultiSelect = c.multi;
        for (const Click& click : c.clicks)
            tiles.OnItemClick(click.item, click.ctrl, click.shift, 0, 0);
        EXPECT_EQ(tiles.Selected(), c.selected) << c.what;
        EXPECT_EQ(tiles.GetAnchorItem(), c.anchor) << c.what;
        EXPECT_EQ(tiles.GetFocusItem(), c.focus) << c.what;
        EXPECT_EQ(tiles.GetCaretItem(), c.caret) << c.what;
    }
}

TEST(MultiSelection, NoticesAroundAClick)
{
    CRecordingTiles tiles(4);
    tiles.OnItemClick(2, false, false, 0, 0);
    std::vector<std::pair<int, int32_t>> expected = {{BLN_SELCHANGING, 2}, {BLN_SELCHANGED, 2}};
    EXPECT_EQ(tiles.notices, expected);
    EXPECT_EQ(tiles.shown, std::vector<int32_t>{2});

    // The caret stays: no change notice.
    tiles.notices.clear();
    tiles.OnItemClick(2, false, false, 0, 0);
    expected = {{BLN_SELCHANGING, 2}};
    EXPECT_EQ(tiles.notices, expected);

    tiles.m_bNotify = false;
    tiles.notices.clear();
    tiles.OnItemClick(3, false, false, 0, 0);
    EXPECT_TRUE(tiles.notices.empty());
    EXPECT_EQ(tiles.GetCaretItem(), 3);
}

TEST(MultiSelection, RefusedClickKeepsEverything)
{
    CRecordingTiles tiles(6);
    tiles.OnItemClick(1, false, false, 0, 0);
    tiles.OnItemClick(3, false, true, 0, 0);
    tiles.nChangingAnswer = -1;
    for (Click click : {Click{5, false, false}, Click{0, true, false}, Click{4, false, true}, Click{2, true, true}})
    {
        tiles.OnItemClick(click.item, click.ctrl, click.shift, 0, 0);
        EXPECT_EQ(tiles.Selected(), ".###..");
        EXPECT_EQ(tiles.GetAnchorItem(), 1);
        EXPECT_EQ(tiles.GetFocusItem(), 3);
        EXPECT_EQ(tiles.GetCaretItem(), 3);
    }
    // Without a host (the base answers -1) clicks do nothing either.
    struct CSilentTiles : CTileSelection
    {
    } silent;
    silent.ResetTiles(3);
    silent.OnItemClick(1, false, false, 0, 0);
    EXPECT_EQ(silent.GetCaretItem(), -1);
    EXPECT_FALSE(silent.IsItemSelected(1));
}

TEST(MultiSelection, TileOrderAndKeys)
{
    CRecordingTiles tiles(3);
    EXPECT_EQ(tiles.GetFirstItem(), 0);
    EXPECT_EQ(tiles.GetNextItem(2), -1);
    EXPECT_EQ(tiles.GetNextItem(-1), -1);
    EXPECT_EQ(tiles.GetPrevItem(0), -1);
    EXPECT_EQ(CRecordingTiles(0).GetFirstItem(), -1);

    const struct
    {
        ETileKey key;
        int32_t caret, tiles, target;
    } keys[] = {
        {TILEKEY_HOME, 2, 5, 0},  {TILEKEY_HOME, -1, 0, -1}, {TILEKEY_END, 0, 5, 4},
        {TILEKEY_END, -1, 0, -1}, {TILEKEY_PREV, 3, 5, 2},   {TILEKEY_PREV, 0, 5, 0},
        {TILEKEY_NEXT, 3, 5, 4},  {TILEKEY_NEXT, 4, 5, 4},   {TILEKEY_NEXT, -1, 0, -1},
    };
    for (const auto& k : keys)
        EXPECT_EQ(TileKeyTarget(k.key, k.caret, k.tiles), k.target) << k.key << " " << k.caret;

    tiles.SelectAll();
    EXPECT_EQ(tiles.Selected(), "###");
}

TEST(TileViewState, RestoredAfterARefresh)
{
    CRecordingTiles tiles(8);
    tiles.OnItemClick(2, false, false, 0, 0);
    tiles.OnItemClick(4, false, true, 0, 0);
    tiles.OnItemClick(7, true, false, 0, 0);
    tiles.m_fFirstVisible = 2.5f;
    CTileViewState state = tiles.GetViewState();
    EXPECT_EQ(state.positions, (std::vector<int32_t>{7, 7, 2, 3, 4, 7}));

    // A refresh clears everything; the saved state brings it back.
    tiles.ResetTiles(8);
    tiles.m_fFirstVisible = 0.0f;
    tiles.notices.clear();
    tiles.SetViewState(state, true);
    EXPECT_EQ(tiles.Selected(), "..###..#");
    EXPECT_EQ(tiles.GetAnchorItem(), 7);
    EXPECT_EQ(tiles.GetCaretItem(), 7);
    EXPECT_EQ(tiles.GetFocusItem(), 7);
    EXPECT_FLOAT_EQ(tiles.m_fFirstVisible, 2.5f);
    EXPECT_EQ(tiles.notices, (std::vector<std::pair<int, int32_t>>{{BLN_SELCHANGED, 7}}));
    EXPECT_EQ(tiles.nLayouts, 1);
    EXPECT_EQ(tiles.GetViewState(), state);

    CTileViewState other = state;
    EXPECT_TRUE(other == state);
    other.positions.back() = 6;
    EXPECT_TRUE(other != state);
    other = state;
    other.fFirstVisible = 1.0f;
    EXPECT_TRUE(other != state);
}

TEST(TileViewState, AnchorAndCaretOnlyWhenSelected)
{
    CRecordingTiles tiles(5);
    tiles.OnItemClick(1, false, false, 0, 0);
    tiles.OnItemClick(3, true, false, 0, 0);
    tiles.OnItemClick(3, true, false, 0, 0); // the caret moves back to 1, the anchor 3 is not selected
    EXPECT_EQ(tiles.GetViewState().positions, (std::vector<int32_t>{-1, 1, 1}));
}

TEST(TileViewState, EmptyStateSelectsTheFirstTile)
{
    CRecordingTiles tiles(4);
    tiles.SetViewState(CTileViewState(), false);
    EXPECT_EQ(tiles.Selected(), "#...");
    EXPECT_EQ(tiles.GetCaretItem(), 0);
    EXPECT_TRUE(tiles.notices.empty());
    EXPECT_TRUE(tiles.m_bNotify);

    CRecordingTiles notified(4);
    notified.SetViewState(CTileViewState(), true);
    EXPECT_EQ(notified.notices, (std::vector<std::pair<int, int32_t>>{{BLN_SELCHANGING, 0}, {BLN_SELCHANGED, 0}}));

    CRecordingTiles empty(0);
    empty.SetViewState(CTileViewState(), true);
    EXPECT_EQ(empty.GetCaretItem(), -1);
    EXPECT_EQ(empty.nLayouts, 1);
}

} // namespace
