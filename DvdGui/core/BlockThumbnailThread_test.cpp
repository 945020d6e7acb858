// The block strip's thumbnail thread on fixture discs and on a unit without
// video, reporting to a recording strip.
#include "DvdGui/core/BlockThumbnailThread.h"
#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DvdGui/core/AppLog.h"
#include "VDS/source/Idct.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

namespace
{

// Stands in for the strip window: counts the passes and lets a test wait
// for the end of one.
class CRecordingStrip : public CThumbnailSink
{
public:
    void OnThumbnailPassStarted() override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        ++nStarted;
    }
    void OnThumbnailPassEnded(bool bFinished) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        ++(bFinished ? nFinished : nPaused);
        m_changed.notify_all();
    }
    bool WaitFinished(int n)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        // A safety net only: a pass over the fixtures takes well under this.
        return m_changed.wait_for(lock, std::chrono::minutes(2), [&] { return nFinished >= n; });
    }

    int nStarted = 0;
    int nFinished = 0;
    int nPaused = 0;

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
};

// A unit of patterned sectors: no video at all.
class NoVideoBlock
{
public:
    NoVideoBlock()
    {
        std::vector<BYTE> sectors(20 * 2048, 0x5A);
        m_set = new CVobData(m_log, "", uint32_t(sectors.size()), sectors.data(), nullptr);
        CVobuAddressList vobus;
        vobus.Add(2);
        vobus.Add(10);
        m_block = std::make_unique<CAngleBlock>(new CVobCell(m_set, CCellAddress{1, 1, 2, 19}, vobus, nullptr), nullptr,
                                                nullptr);
    }
    ~NoVideoBlock()
    {
        m_block.reset();
        delete m_set;
    }
    CAngleBlock* Block() const { return m_block.get(); }

private:
    kxtest::RecordingLog m_log;
    CVobData* m_set;
    std::unique_ptr<CAngleBlock> m_block;
};

class BlockThumbnailThreadTest : public ::testing::Test
{
protected:
    // The program selects its transform at start-up.
    void SetUp() override
    {
        InitRefIdct();
        g_pfnIdct = RefIdct;
    }
    void TearDown() override
    {
        m_dvd.reset();
        g_pLog = nullptr;
        PurgeUnusedVobData();
    }

    std::vector<CAngleBlock*> TitleBlocks(const char* fixture)
    {
        std::vector<CAngleBlock*> blocks;
        if (kxtest::FixtureDir(fixture).empty())
            return blocks;
        m_dvd = std::make_unique<CDvd>();
        EXPECT_TRUE(m_dvd->Read(m_log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr));
        CAngleBlockList& titles = m_dvd->GetVts(0)->GetTitleDomain();
        for (uint32_t i = 0; i < titles.GetBlockCount(); ++i)
            blocks.push_back(titles.GetBlock(i));
        return blocks;
    }

    kxtest::RecordingLog m_log;
    std::unique_ptr<CDvd> m_dvd;
};

TEST_F(BlockThumbnailThreadTest, EveryTileGetsItsFirstPicture)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    std::vector<CAngleBlock*> blocks = TitleBlocks("pal1");
    ASSERT_FALSE(blocks.empty());
    int nWidth = 0, nHeight = 0;
    bool bWide = true;
    ProbeFrameSize(blocks, nWidth, nHeight, bWide);
    EXPECT_EQ(nWidth, 720);
    EXPECT_EQ(nHeight, 576);
    EXPECT_FALSE(bWide);

    CRecordingStrip strip;
    CBlockThumbnailThread thread(&strip);
    thread.SetTiles(blocks);
    thread.StartPass(nWidth, nHeight, false);
    ASSERT_TRUE(strip.WaitFinished(1));
    ASSERT_EQ(thread.GetTileCount(), blocks.size());
    for (size_t n = 0; n < thread.GetTileCount(); ++n)
    {
        const CThumbnailTile& tile = thread.GetTile(n);
        EXPECT_TRUE(tile.bDone);
        EXPECT_TRUE(tile.thumbnail.IsValid()) << n;
        EXPECT_EQ(tile.thumbnail.GetWidth(), 350u);
        EXPECT_EQ(tile.thumbnail.GetHeight(), 280u);
        EXPECT_EQ(tile.thumbnail.GetBitsPerPixel(), 32u);
        EXPECT_EQ(tile.nVobu, 0u);
        // The fixture's pictures are colour bars, never one flat colour.
        const BYTE* pData = tile.thumbnail.GetData();
        EXPECT_FALSE(std::all_of(pData, pData + tile.thumbnail.GetImageSize(), [&](BYTE b) { return b == pData[0]; }))
            << n;
    }
    EXPECT_EQ(strip.nStarted, 1);
}

TEST_F(BlockThumbnailThreadTest, ProbeOfAWideScreenDisc)
{
    KX_REQUIRE_FIXTURE(dir, "vwide");
    int nWidth = 0, nHeight = 0;
    bool bWide = false;
    ProbeFrameSize(TitleBlocks("vwide"), nWidth, nHeight, bWide);
    EXPECT_TRUE(bWide);
    EXPECT_GT(nWidth, 0);
    EXPECT_GT(nHeight, 0);

    NoVideoBlock unit;
    ProbeFrameSize({unit.Block()}, nWidth, nHeight, bWide);
    EXPECT_EQ(nWidth, 0);
    EXPECT_EQ(nHeight, 0);
    EXPECT_FALSE(bWide);
}

#ifndef _WIN32
// The mean difference per colour byte between a thumbnail and the first
// frame, in display order, that ffmpeg decodes from the packets at or after
// a byte offset of a VOB file, scaled alike. The thumbnail is a bottom-up
// bitmap of blue, green, red bytes, as DrawDib takes it.
double DifferenceFromFfmpeg(const CVideoPicture& thumbnail, const std::string& vob, uint64_t nOffset)
{
    const DWORD nWidth = thumbnail.GetWidth();
    const DWORD nHeight = thumbnail.GetHeight();
    std::string command = "ffmpeg -hide_banner -loglevel error -i '" + vob + "' -vf 'select=gte(pos\\," +
                          std::to_string(nOffset) + "),scale=" + std::to_string(nWidth) + ":" +
                          std::to_string(nHeight) + ":flags=bilinear' -frames:v 1 -f rawvideo -pix_fmt bgra -";
    std::FILE* p = popen(command.c_str(), "r");
    if (p == nullptr)
        return 1e9;
    std::vector<BYTE> frame(size_t(nWidth) * nHeight * 4);
    size_t nRead = std::fread(frame.data(), 1, frame.size(), p);
    pclose(p);
    if (nRead != frame.size())
        return 1e9;
    double dDifference = 0;
    for (DWORD y = 0; y < nHeight; ++y)
        for (DWORD x = 0; x < nWidth; ++x)
            for (DWORD c = 0; c < 3; ++c)
                dDifference +=
                    std::abs(int(thumbnail.GetData()[(nHeight - 1 - y) * thumbnail.GetStride() + x * 4 + c]) -
                             int(frame[(y * nWidth + x) * 4 + c]));
    return dDifference / (double(nWidth) * nHeight * 3);
}

TEST_F(BlockThumbnailThreadTest, ThumbnailMatchesFfmpegsFirstFrame)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    std::vector<CAngleBlock*> blocks = TitleBlocks("pal1");
    blocks.resize(1);
    CRecordingStrip strip;
    CBlockThumbnailThread thread(&strip);
    thread.SetTiles(blocks);
    thread.StartPass(720, 576, false);
    ASSERT_TRUE(strip.WaitFinished(1));
    const CVideoPicture& thumbnail = thread.GetTile(0).thumbnail;
    ASSERT_TRUE(thumbnail.IsValid());
    EXPECT_LT(DifferenceFromFfmpeg(thumbnail, kxtest::FixturePath("pal1", "VIDEO_TS/VTS_01_1.VOB"), 0), 4.0);
}

// A thumbnail found further in is the first picture of its VOBU in display
// order.
TEST_F(BlockThumbnailThreadTest, ASkippedToThumbnailMatchesFfmpegsFrameAtItsVobu)
{
    KX_REQUIRE_FIXTURE(dir, "darkstart");
    std::vector<CAngleBlock*> blocks = TitleBlocks("darkstart");
    ASSERT_EQ(blocks.size(), 2u);
    blocks.erase(blocks.begin());
    CVobCell* pUnit = blocks[0]->GetIlvu(0);
    pUnit->SetThumbnailVobu(0);
    CRecordingStrip strip;
    CBlockThumbnailThread thread(&strip);
    thread.m_bSkipBlank = true;
    thread.SetTiles(blocks);
    thread.StartPass(720, 576, false);
    ASSERT_TRUE(strip.WaitFinished(1));
    const CThumbnailTile& tile = thread.GetTile(0);
    ASSERT_TRUE(tile.thumbnail.IsValid());
    ASSERT_EQ(tile.nVobu, 4u);
    const uint64_t nOffset = uint64_t(pUnit->GetSourceVobus()[4]) * 2048;
    EXPECT_LT(DifferenceFromFfmpeg(tile.thumbnail, kxtest::FixturePath("darkstart", "VIDEO_TS/VTS_01_1.VOB"), nOffset),
              4.0);
}
#endif

TEST_F(BlockThumbnailThreadTest, UnknownFrameSizeAndWideScreen)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    std::vector<CAngleBlock*> blocks = TitleBlocks("pal1");
    blocks.resize(1);
    const struct
    {
        bool wide;
        DWORD width;
    } cases[] = {{false, 372}, {true, 496}};
    CRecordingStrip strip;
    CBlockThumbnailThread thread(&strip);
    int nPass = 0;
    for (const auto& c : cases)
    {
        thread.SetTiles(blocks);
        thread.StartPass(0, 0, c.wide);
        ASSERT_TRUE(strip.WaitFinished(++nPass));
        EXPECT_EQ(thread.GetTile(0).thumbnail.GetWidth(), c.width);
        EXPECT_EQ(thread.GetTile(0).thumbnail.GetHeight(), 280u);
    }
}

TEST_F(BlockThumbnailThreadTest, ARememberedVobuBeyondACutStartsAtZero)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    std::vector<CAngleBlock*> blocks = TitleBlocks("pal1");
    blocks.resize(1);
    CVobCell* pUnit = blocks[0]->GetIlvu(0);
    pUnit->SetThumbnailVobu(WORD(pUnit->GetVobuCount()));
    CRecordingStrip strip;
    CBlockThumbnailThread thread(&strip);
    thread.SetTiles(blocks);
    EXPECT_EQ(thread.GetTile(0).nVobu, 0u);
    EXPECT_EQ(pUnit->GetThumbnailVobu(), 0u);
    thread.m_bSkipBlank = true;
    thread.StartPass(720, 576, false);
    ASSERT_TRUE(strip.WaitFinished(1));
    EXPECT_TRUE(thread.GetTile(0).thumbnail.IsValid());
    EXPECT_LT(pUnit->GetThumbnailVobu(), pUnit->GetVobuCount());
    EXPECT_EQ(thread.GetTile(0).nVobu, pUnit->GetThumbnailVobu());
}

// The spread of a thumbnail's colour bytes: small for a flat picture.
int ColourSpread(const CVideoPicture& picture)
{
    const BYTE* pData = picture.GetData();
    int nMin = 255, nMax = 0;
    for (DWORD n = 0; n < picture.GetImageSize(); ++n)
        if (n % 4 != 3)
        {
            nMin = std::min<int>(nMin, pData[n]);
            nMax = std::max<int>(nMax, pData[n]);
        }
    return nMax - nMin;
}

// Without skipping both titles show their first, black picture. With it
// the black title of 4 VOBUs is tried at 0, 1, 2 and 3 and keeps the last
// one, and the title that starts black is shown where it moves.
TEST_F(BlockThumbnailThreadTest, SkippingBlankPicturesOnTheDarkStartDisc)
{
    KX_REQUIRE_FIXTURE(dir, "darkstart");
    std::vector<CAngleBlock*> blocks = TitleBlocks("darkstart");
    ASSERT_EQ(blocks.size(), 2u);
    CVobCell* pBlack = blocks[0]->GetIlvu(0);
    CVobCell* pLate = blocks[1]->GetIlvu(0);
    ASSERT_EQ(pBlack->GetVobuCount(), 4u);
    ASSERT_GT(pLate->GetVobuCount(), 5u);
    const struct
    {
        bool bSkip;
        uint32_t nBlack;
        uint32_t nLate;
    } cases[] = {{false, 0, 0}, {true, 3, 4}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.bSkip);
        pBlack->SetThumbnailVobu(0);
        pLate->SetThumbnailVobu(0);
        CRecordingStrip strip;
        CBlockThumbnailThread thread(&strip);
        thread.m_bSkipBlank = c.bSkip;
        thread.SetTiles(blocks);
        thread.StartPass(720, 576, false);
        ASSERT_TRUE(strip.WaitFinished(1));
        const CThumbnailTile& black = thread.GetTile(0);
        const CThumbnailTile& late = thread.GetTile(1);
        ASSERT_TRUE(black.thumbnail.IsValid());
        ASSERT_TRUE(late.thumbnail.IsValid());
        EXPECT_EQ(black.nVobu, c.nBlack);
        EXPECT_EQ(pBlack->GetThumbnailVobu(), c.nBlack);
        EXPECT_EQ(late.nVobu, c.nLate);
        EXPECT_EQ(pLate->GetThumbnailVobu(), c.nLate);
        EXPECT_LT(ColourSpread(black.thumbnail), 16);
        if (c.bSkip)
            EXPECT_GT(ColourSpread(late.thumbnail), 128);
        else
            EXPECT_LT(ColourSpread(late.thumbnail), 16);
    }
}

TEST_F(BlockThumbnailThreadTest, AUnitWithoutVideoEndsAsAnEmptyTileAndIsReported)
{
    for (bool bLog : {true, false})
    {
        NoVideoBlock unit;
        kxtest::RecordingLog log;
        g_pLog = bLog ? &log : nullptr;
        CRecordingStrip strip;
        CBlockThumbnailThread thread(&strip);
        thread.SetTiles({unit.Block()});
        thread.StartPass(0, 0, false);
        ASSERT_TRUE(strip.WaitFinished(1));
        EXPECT_TRUE(thread.GetTile(0).bDone);
        EXPECT_FALSE(thread.GetTile(0).thumbnail.IsValid());
        if (bLog)
        {
            ASSERT_EQ(log.lines.size(), 1u);
            EXPECT_EQ(log.lines[0], "E:videoDecoder.Init failed");
            EXPECT_NE(log.locations[0].find("AngleBlockListExView.cpp"), std::string::npos);
        }
        g_pLog = nullptr;
    }
}

TEST_F(BlockThumbnailThreadTest, PausesBeforeTheRecordsChangeAndSurvivesAStress)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    std::vector<CAngleBlock*> blocks = TitleBlocks("pal1");
    CRecordingStrip strip;
    {
        CBlockThumbnailThread thread(&strip);
        for (int round = 0; round < 20; ++round)
        {
            thread.SetTiles(blocks);
            thread.StartPass(720, 576, false);
            thread.m_fFirstVisible = float(round % 3);
            if (round % 2 == 0)
                thread.StopThumbnails();
        }
        thread.SetTiles(blocks);
        thread.StartPass(720, 576, false);
    }
    // Every pass that did not finish was paused: none was left running.
    EXPECT_EQ(strip.nStarted, 21);
    EXPECT_EQ(strip.nFinished + strip.nPaused, 21);
}

} // namespace
