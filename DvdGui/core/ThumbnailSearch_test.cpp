// The thumbnail thread's choice of tile, VOBU schedule and thumbnail size.
#include "DvdGui/core/ThumbnailSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

TEST(ThumbnailSearch, Width)
{
    const struct
    {
        int width, height;
        bool wide;
        int thumbnail;
    } cases[] = {
        {720, 576, false, 350}, {720, 480, false, 420}, {720, 576, true, 466}, {352, 288, false, 342},
        {0, 0, false, 372},     {0, 0, true, 496},      {720, 0, false, 372},  {705, 576, false, 342},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ThumbnailWidth(c.width, c.height, c.wide), c.thumbnail) << c.width << "x" << c.height << c.wide;
}

TEST(ThumbnailSearch, VobuSchedule)
{
    std::vector<uint32_t> tried;
    for (uint32_t n = 0; n < kThumbnailVobuLimit; n = NextThumbnailVobu(n))
        tried.push_back(n);
    EXPECT_EQ(tried, (std::vector<uint32_t>{0, 1, 2, 3, 4, 7, 10, 13, 18, 23, 29, 35, 41, 47}));
    EXPECT_EQ(ThumbnailVobuLimit(4), 4u);
    EXPECT_EQ(ThumbnailVobuLimit(500), 50u);
}

TEST(ThumbnailSearch, AcceptanceOfADarkUnitOfFourVobus)
{
    // Every picture is black: 0, 1, 2, 3 are tried and 3 is taken because 4
    // reaches the limit.
    uint32_t nLimit = ThumbnailVobuLimit(4);
    std::vector<uint32_t> tried;
    uint32_t nVobu = 0;
    for (;;)
    {
        tried.push_back(nVobu);
        uint32_t nNext = NextThumbnailVobu(nVobu);
        if (!ContinueThumbnailSearch(true, 0.0, nNext, nLimit))
            break;
        nVobu = nNext;
    }
    EXPECT_EQ(tried, (std::vector<uint32_t>{0, 1, 2, 3}));
    EXPECT_FALSE(ContinueThumbnailSearch(true, 0.03, 1, 4));  // bright enough
    EXPECT_TRUE(ContinueThumbnailSearch(true, 0.0299, 1, 4)); //
    EXPECT_FALSE(ContinueThumbnailSearch(false, 0.0, 1, 4));  // no picture
}

TEST(ThumbnailSearch, StartVobuAfterACut)
{
    EXPECT_EQ(ThumbnailStartVobu(3, 10), 3u);
    EXPECT_EQ(ThumbnailStartVobu(9, 10), 9u);
    EXPECT_EQ(ThumbnailStartVobu(10, 10), 0u);
    EXPECT_EQ(ThumbnailStartVobu(7, 2), 0u);
    EXPECT_EQ(ThumbnailStartVobu(0, 0), 0u);
}

TEST(ThumbnailSearch, TileChoiceFromTheFirstVisible)
{
    const struct
    {
        const char* done; // '#' done
        float first;
        int tile;
    } cases[] = {
        {"......", 0.0f, 0}, {"......", 2.7f, 2},  {"###...", 1.0f, 3}, {"..####", 3.5f, 1},
        {"#.####", 5.0f, 1}, {"######", 2.0f, -1}, {"", 0.0f, -1},      {".#####", 9.0f, 0}, // a stale first visible
    };
    for (const auto& c : cases)
    {
        std::string done = c.done;
        int nTile = ChooseThumbnailTile(int(done.size()), c.first, [&](int n) { return done[size_t(n)] == '#'; });
        EXPECT_EQ(nTile, c.tile) << c.done << " from " << c.first;
    }
}

TEST(ThumbnailSearch, Progress)
{
    EXPECT_DOUBLE_EQ(ThumbnailProgress(0, 4), 0.25);
    EXPECT_DOUBLE_EQ(ThumbnailProgress(3, 4), 1.0);
    EXPECT_DOUBLE_EQ(ThumbnailProgress(9, 4), 1.0);
    EXPECT_DOUBLE_EQ(ThumbnailProgress(0, 0), 0.0);
}

// The popups' strip: VOBU 0, then every sixth while the pictures are dark.
TEST(ThumbnailSearch, RowSearchTries)
{
    const struct
    {
        const char* what;
        uint32_t vobus;
        uint32_t bright; // the first VOBU with a bright picture; 1000: none
        uint32_t noPicture;
        std::vector<uint32_t> tries;
        uint32_t kept;
    } cases[] = {
        {"all dark", 100, 1000, 1000, {0, 6, 12, 18, 24, 30, 36, 42, 48, 54}, 54},
        {"bright at once", 100, 0, 1000, {0}, 0},
        {"bright at 12", 100, 12, 1000, {0, 6, 12}, 12},
        {"short unit", 20, 1000, 1000, {0, 6, 12, 18}, 18},
        {"exactly six more", 12, 1000, 1000, {0, 6}, 6},
        {"no picture at 6", 100, 1000, 6, {0, 6}, 6},
    };
    for (const auto& c : cases)
    {
        std::vector<uint32_t> tries;
        const uint32_t kept = SearchRowThumbnail(c.vobus,
                                                 [&](uint32_t nVobu, double& dLuma)
                                                 {
                                                     tries.push_back(nVobu);
                                                     dLuma = nVobu >= c.bright ? 0.2 : 0.01;
                                                     return nVobu != c.noPicture;
                                                 });
        EXPECT_EQ(tries, c.tries) << c.what;
        EXPECT_EQ(kept, c.kept) << c.what;
    }
}

} // namespace
