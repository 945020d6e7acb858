#include "DVD/source/DiskVobFile.h"

#include "DVD/source/DvdTime.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/VobTestSupport.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/source/dataAccess/DataFile.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

const uint32_t kSector = 2048;

// A source VOB file made of VobBuilder sectors, with the writer that copies
// from it into a scratch folder.
class DiskVobFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.Created());
        folder = scratch.Path() + "/";
    }

    void SaveSource()
    {
        std::string path = scratch.File("source.bin");
        ASSERT_TRUE(kxtest::WriteFile(path, src.bytes.data(), src.bytes.size()));
        ASSERT_TRUE(file.Open(&log, path.c_str(), true, true));
    }

    BYTE* SourceSector(uint32_t n) { return src.bytes.data() + size_t(n) * kSector; }

    // Queues the VOBU whose NAV pack is source sector nNav with the source
    // sectors [nFirst, nFirst + nCount) after it.
    bool Queue(uint32_t nNav, uint32_t nFirst, uint32_t nCount)
    {
        std::unique_ptr<BYTE[]> nav(new BYTE[kSector]);
        std::memcpy(nav.get(), SourceSector(nNav), kSector);
        bool ok = writer.QueueVobu(log, std::move(nav));
        for (uint32_t s = nFirst; s < nFirst + nCount; ++s)
            writer.AddData(CDataRange(&file, s * kSector, kSector));
        return ok;
    }

    std::vector<BYTE> Output(const std::string& name) { return kxtest::ReadWholeFile(folder + name); }

    kxtest::ScratchFolder scratch;
    std::string folder;
    kxtest::RecordingLog log;
    kxtest::VobBuilder src;
    CDataFile file;
    CDiskVobFile writer;
};

DWORD OutputLbn(const std::vector<BYTE>& bytes, uint32_t nSector)
{
    PciPacket pci;
    pci.ReadFromSector(bytes.data() + size_t(nSector) * kSector);
    DsiPacket dsi;
    dsi.ReadFromSector(bytes.data() + size_t(nSector) * kSector);
    EXPECT_EQ(pci.GetNvPckLbn(), dsi.GetNvPckLbn());
    return pci.GetNvPckLbn();
}

TEST_F(DiskVobFileTest, FileNamesOfTheThreeKindsOfDomain)
{
    EXPECT_EQ(CDiskVobFile::GetFileName("d/", 0, true, 1), "d/VIDEO_TS.VOB");
    EXPECT_EQ(CDiskVobFile::GetFileName("d/", 3, true, 1), "d/VTS_03_0.VOB");
    EXPECT_EQ(CDiskVobFile::GetFileName("d/", 12, false, 7), "d/VTS_12_7.VOB");
}

// Three VOBUs of three sectors each with a limit of nLimit sectors per file.
struct RolloverCase
{
    uint32_t nLimit;
    std::vector<size_t> fileSectors;
};

class DiskVobFileRollover : public DiskVobFileTest, public ::testing::WithParamInterface<RolloverCase>
{
};

TEST_P(DiskVobFileRollover, SplitsAtTheLimitWithSectorNumbersContinuing)
{
    for (WORD v = 0; v < 3; ++v)
    {
        src.Nav(1, BYTE(v + 1));
        src.Pes(0xE0);
        src.Pes(0xBD, 0x80);
    }
    SaveSource();
    writer.SetFileSizeLimit(GetParam().nLimit * kSector);
    ASSERT_TRUE(writer.Open(log, folder.c_str(), 1, false));
    for (uint32_t v = 0; v < 3; ++v)
        ASSERT_TRUE(Queue(v * 3, v * 3 + 1, 2));
    ASSERT_TRUE(writer.Flush(log)) << log.Dump();
    EXPECT_EQ(writer.GetWrittenSize(), 9u * kSector);

    std::vector<BYTE> all;
    for (size_t k = 0; k < GetParam().fileSectors.size(); ++k)
    {
        std::vector<BYTE> part = Output("VTS_01_" + std::to_string(k + 1) + ".VOB");
        EXPECT_EQ(part.size(), GetParam().fileSectors[k] * kSector) << "file " << k + 1;
        all.insert(all.end(), part.begin(), part.end());
    }
    EXPECT_FALSE(kx::FileExists(folder + "VTS_01_" + std::to_string(GetParam().fileSectors.size() + 1) + ".VOB"));
    ASSERT_EQ(all.size(), src.bytes.size());
    for (uint32_t v = 0; v < 3; ++v)
        EXPECT_EQ(OutputLbn(all, v * 3), v * 3);
    // Data packs come out as they went in, the video packs' SCRs aside.
    for (uint32_t s = 0; s < 9; ++s)
    {
        if (s % 3 != 0)
        {
            EXPECT_EQ(0, std::memcmp(all.data() + s * kSector + 14, SourceSector(s) + 14, kSector - 14)) << s;
        }
    }
    EXPECT_EQ(log.Count('E'), 0) << log.Dump();
}

INSTANTIATE_TEST_SUITE_P(Limits, DiskVobFileRollover,
                         ::testing::Values(RolloverCase{9, {9}}, RolloverCase{8, {8, 1}}, RolloverCase{4, {4, 4, 1}},
                                           RolloverCase{3, {3, 3, 3}}));

TEST_F(DiskVobFileTest, BatchesNeverStraddleALimitThatIsNotASectorMultiple)
{
    std::vector<BYTE> data(5 * kSector, 0x5A);
    writer.SetFileSizeLimit(2 * kSector + 100);
    ASSERT_TRUE(writer.Open(log, folder.c_str(), 2, false));
    EXPECT_EQ(writer.Write(log, data.data(), uint32_t(data.size())), data.size());
    writer.Close();
    EXPECT_EQ(Output("VTS_02_1.VOB").size(), 2 * kSector);
    EXPECT_EQ(Output("VTS_02_2.VOB").size(), 2 * kSector);
    EXPECT_EQ(Output("VTS_02_3.VOB").size(), 1 * kSector);
}

TEST_F(DiskVobFileTest, AMenuDomainRefusesASecondFile)
{
    std::vector<BYTE> sector(kSector, 1);
    writer.SetFileSizeLimit(kSector);
    ASSERT_TRUE(writer.Open(log, folder.c_str(), 0, true));
    EXPECT_EQ(writer.Write(log, sector.data(), kSector), kSector);
    EXPECT_EQ(writer.Write(log, sector.data(), kSector), 0u);
    EXPECT_TRUE(log.Has('E', "Bad index")) << log.Dump();
    writer.Close();
    EXPECT_EQ(Output("VIDEO_TS.VOB").size(), kSector);
}

TEST_F(DiskVobFileTest, ATenthTitleFileFailsTheExport)
{
    std::vector<BYTE> sector(kSector, 2);
    writer.SetFileSizeLimit(kSector);
    ASSERT_TRUE(writer.Open(log, folder.c_str(), 5, false));
    for (int k = 1; k <= 9; ++k)
        ASSERT_EQ(writer.Write(log, sector.data(), kSector), kSector) << k;
    EXPECT_EQ(writer.Write(log, sector.data(), kSector), 0u);
    EXPECT_TRUE(log.Has('E', "Too large VTS. Max 9 VOB files are allowed.")) << log.Dump();
    EXPECT_TRUE(log.HasError());
    writer.Close();
    EXPECT_TRUE(kx::FileExists(folder + "VTS_05_9.VOB"));
    EXPECT_FALSE(kx::FileExists(folder + "VTS_05_10.VOB"));
}

TEST_F(DiskVobFileTest, DeletingOldTitleFilesStopsAtTheFirstGap)
{
    for (const char* name : {"VTS_01_0.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_4.VOB"})
        ASSERT_TRUE(kxtest::WriteFile(folder + name, "old", 3));
    ASSERT_TRUE(writer.Open(log, folder.c_str(), 1, false));
    writer.Close();
    EXPECT_EQ(Output("VTS_01_1.VOB").size(), 0u); // created anew
    EXPECT_FALSE(kx::FileExists(folder + "VTS_01_2.VOB"));
    EXPECT_TRUE(kx::FileExists(folder + "VTS_01_4.VOB"));
    EXPECT_TRUE(kx::FileExists(folder + "VTS_01_0.VOB")); // the menus are another domain
}

TEST_F(DiskVobFileTest, AFileThatCannotBeCreatedIsAnError)
{
    EXPECT_FALSE(writer.Open(log, (folder + "missing/").c_str(), 1, false));
    EXPECT_TRUE(log.Has('E', "VTS_01_1.VOB: ")) << log.Dump();
    EXPECT_FALSE(writer.IsOpen());
}

TEST_F(DiskVobFileTest, AVobuWaitsUntilTheSectorsItReachesAreAccountedFor)
{
    // VOBU 0 points 6 sectors ahead (its next-video search entry); VOBUs 1
    // and 2 reach nothing.
    src.Nav(1, 1, 0, nullptr, [](DsiPacket& dsi) { dsi.SetSri(SRI_NEXT_VIDEO, SRI_VIDEO_FLAG | 6); });
    src.Pes(0xE0);
    src.Nav(1, 1);
    src.Pes(0xE0);
    src.Pes(0xE0);
    src.Nav(1, 1);
    src.Pes(0xE0);
    src.Pes(0xE0);
    SaveSource();
    ASSERT_TRUE(writer.Open(log, folder.c_str(), 1, false));
    writer.SetReadAhead(0);

    ASSERT_TRUE(Queue(0, 1, 1));
    EXPECT_EQ(writer.GetQueueCount(), 1u); // alone: never written before a flush
    ASSERT_TRUE(Queue(2, 3, 2));
    // 5 queued sectors, 6 needed.
    EXPECT_EQ(writer.GetQueueCount(), 2u);
    EXPECT_EQ(writer.GetWrittenSize(), 0u);
    EXPECT_EQ(writer.GetTotalSize(), 5u * kSector);
    ASSERT_TRUE(Queue(5, 6, 2));
    // VOBU 0 goes; VOBU 1 reaches nothing but is written only behind it.
    EXPECT_EQ(writer.GetQueueCount(), 1u);
    EXPECT_EQ(writer.GetWrittenSize(), 5u * kSector);
    EXPECT_EQ(writer.GetTotalSize(), 8u * kSector);
    ASSERT_TRUE(writer.Flush(log));
    EXPECT_EQ(writer.GetQueueCount(), 0u);
    EXPECT_EQ(writer.GetWrittenSize(), 8u * kSector);
}

TEST_F(DiskVobFileTest, TheQueueGrowsForAVobuThatReachesFarAhead)
{
    // VOBU 0 refers 120 sectors ahead (a search entry far into the cell):
    // 60 VOBUs of two sectors must wait behind it, more than any fixed queue
    // of 35 would hold.
    src.Nav(1, 1, 0, nullptr, [](DsiPacket& dsi) { dsi.SetSri(SRI_FWD_FIRST, 120); });
    src.Pes(0xE0);
    for (int v = 0; v < 70; ++v)
    {
        src.Nav(1, 1);
        src.Pes(0xE0);
    }
    SaveSource();
    ASSERT_TRUE(writer.Open(log, folder.c_str(), 1, false));
    writer.SetReadAhead(0);
    uint32_t nLongest = 0;
    for (uint32_t v = 0; v <= 70; ++v)
    {
        ASSERT_TRUE(Queue(v * 2, v * 2 + 1, 1));
        nLongest = std::max(nLongest, writer.GetQueueCount());
    }
    EXPECT_GT(nLongest, 35u);
    EXPECT_EQ(writer.GetQueueCount(), 1u);
    ASSERT_TRUE(writer.Flush(log));
    writer.Close();
    std::vector<BYTE> out = Output("VTS_01_1.VOB");
    ASSERT_EQ(out.size(), src.bytes.size());
    for (uint32_t v = 0; v <= 70; ++v)
        EXPECT_EQ(OutputLbn(out, v * 2), v * 2);
}

TEST_F(DiskVobFileTest, RemovedSectorsPullAddressesBack)
{
    // VOBU at 0 with its end at 3 and the next VOBU at 4; sector 2 is left out.
    src.Nav(1, 1, 0, nullptr,
            [](DsiPacket& dsi)
            {
                dsi.SetVobuEa(3);
                dsi.SetSri(SRI_NEXT, 4);
            });
    src.Pes(0xE0);
    src.Pes(0xC0);
    src.Pes(0xE0);
    src.Nav(1, 1, 0, nullptr, [](DsiPacket& dsi) { dsi.SetSri(SRI_PREV, 4); });
    src.Pes(0xE0);
    SaveSource();
    ASSERT_TRUE(writer.Open(log, folder.c_str(), 1, false));
    ASSERT_TRUE(Queue(0, 1, 1));
    writer.AddRemovedRange(2, 2, 0);
    writer.AddData(CDataRange(&file, 3 * kSector, kSector));
    ASSERT_TRUE(Queue(4, 5, 1));
    ASSERT_TRUE(writer.Flush(log));
    EXPECT_EQ(writer.GetSectorMap().GetRangeCount(), 0); // reset by the complete flush
    writer.Close();

    std::vector<BYTE> out = Output("VTS_01_1.VOB");
    ASSERT_EQ(out.size(), 5u * kSector);
    EXPECT_EQ(OutputLbn(out, 0), 0u);
    EXPECT_EQ(OutputLbn(out, 3), 3u);
    DsiPacket first;
    first.ReadFromSector(out.data());
    EXPECT_EQ(first.GetVobuEa(), 2u);
    EXPECT_EQ(first.GetSri(SRI_NEXT) & SRI_OFFSET_MASK, 3u);
    DsiPacket second;
    second.ReadFromSector(out.data() + 3 * kSector);
    EXPECT_EQ(second.GetSri(SRI_PREV) & SRI_OFFSET_MASK, 3u);
    EXPECT_EQ(0, std::memcmp(out.data() + 2 * kSector + 14, SourceSector(3) + 14, kSector - 14));
}

// Still packs (video without a clock) take the clock on from their NAV
// pack; a pack behind them whose own clock does not lie at least one pack
// later, like the sub-picture pack behind a still picture that needed one
// pack more than the video it replaced, is stamped on too.
TEST_F(DiskVobFileTest, VideoPacksWithoutAClockFollowTheirNavPack)
{
    src.Nav(1, 1);
    src.Pes(0xE0);
    src.Pes(0xBD, 0x80);
    src.Pes(0xE0);
    src.Pes(0xBD, 0x20);
    src.Pes(0xE0);
    const uint64_t navScr = 27000000;
    const uint64_t keptScr = 123456 * 300;
    EncodeScr(navScr, GetPackScrField(SourceSector(0)));
    EncodeScr(navScr + 3 * SCR_TICKS_PER_PACK, GetPackScrField(SourceSector(4)));
    EncodeScr(keptScr, GetPackScrField(SourceSector(5)));
    SaveSource();
    ASSERT_TRUE(writer.Open(log, folder.c_str(), 1, false));
    ASSERT_TRUE(Queue(0, 1, 5));
    ASSERT_TRUE(writer.Flush(log));
    writer.Close();

    std::vector<BYTE> out = Output("VTS_01_1.VOB");
    ASSERT_EQ(out.size(), 6u * kSector);
    auto scrOf = [&](uint32_t s) { return GetPackScr(out.data() + s * kSector); };
    EXPECT_EQ(scrOf(0), navScr);
    for (uint32_t s = 1; s <= 4; ++s)
    {
        EXPECT_EQ(scrOf(s), navScr + s * SCR_TICKS_PER_PACK) << s;
    }
    EXPECT_EQ(scrOf(5), keptScr);
}

TEST_F(DiskVobFileTest, StartDomainFlushesThePreviousDomain)
{
    src.Nav(1, 1);
    src.Pes(0xE0);
    SaveSource();
    ASSERT_TRUE(writer.StartDomain(log, folder.c_str(), 1, true));
    ASSERT_TRUE(Queue(0, 1, 1));
    EXPECT_EQ(writer.GetQueueCount(), 1u);
    ASSERT_TRUE(writer.StartDomain(log, folder.c_str(), 1, false));
    EXPECT_EQ(writer.GetQueueCount(), 0u);
    EXPECT_EQ(writer.GetTotalSize(), 0u);
    EXPECT_EQ(Output("VTS_01_0.VOB").size(), 2u * kSector);
    EXPECT_TRUE(kx::FileExists(folder + "VTS_01_1.VOB"));
}

// VOBUs of several megabytes written through the read-ahead: the source
// sectors of queued VOBUs are read together into the output buffer and the
// NAV sectors among them give way to the prepared ones. Whatever breaks a
// run (a removed pack, a VOBU from another file, a jump between blocks, the
// end of an output file or of the buffer) must leave every byte where a
// sector-by-sector copy puts it.
struct ReadAheadCase
{
    const char* name;
    uint32_t nFileLimit;  // output sectors per file
    uint32_t nGapEvery;   // every n-th VOBU loses its second pack (0: none)
    bool bJump;           // blocks of VOBUs in the order 0, 2, 1
    uint32_t nOtherEvery; // every n-th VOBU takes its packs from another file
};

class DiskVobFileReadAhead : public DiskVobFileTest, public ::testing::WithParamInterface<ReadAheadCase>
{
};

TEST_P(DiskVobFileReadAhead, EveryByteLandsWhereACopyPutsIt)
{
    const ReadAheadCase& c = GetParam();
    const uint32_t nVobus = 300;
    const uint32_t nPacks = 4;
    for (uint32_t v = 0; v < nVobus; ++v)
    {
        src.Nav(1, 1);
        for (uint32_t k = 0; k < nPacks; ++k)
            src.Pes(k % 2 ? 0xC0 : 0xE0);
    }
    // A clock of its own makes every pack tell where it came from.
    for (uint32_t s = 0; s < src.SectorCount(); ++s)
        EncodeScr(uint64_t(s + 1) * SCR_TICKS_PER_PACK, GetPackScrField(SourceSector(s)));
    SaveSource();
    kxtest::VobBuilder other;
    for (uint32_t k = 0; k < nPacks; ++k)
    {
        other.Pes(0xE0);
        EncodeScr(uint64_t(k + 1) * 7 * SCR_TICKS_PER_PACK, GetPackScrField(other.bytes.data() + k * kSector));
    }
    const std::string otherPath = scratch.File("other.bin");
    ASSERT_TRUE(kxtest::WriteFile(otherPath, other.bytes.data(), other.bytes.size()));
    CDataFile otherFile;
    ASSERT_TRUE(otherFile.Open(&log, otherPath.c_str(), true, true));

    writer.SetFileSizeLimit(c.nFileLimit * kSector);
    ASSERT_TRUE(writer.Open(log, folder.c_str(), 1, false));
    std::vector<const BYTE*> expected; // the source of each output data sector; null for NAV
    auto queueVobu = [&](uint32_t v)
    {
        const uint32_t nNav = v * (nPacks + 1);
        std::unique_ptr<BYTE[]> nav(new BYTE[kSector]);
        std::memcpy(nav.get(), SourceSector(nNav), kSector);
        ASSERT_TRUE(writer.QueueVobu(log, std::move(nav)));
        expected.push_back(nullptr);
        for (uint32_t k = 0; k < nPacks; ++k)
        {
            const uint32_t s = nNav + 1 + k;
            if (c.nOtherEvery != 0 && v % c.nOtherEvery == 1)
            {
                writer.AddData(CDataRange(&otherFile, k * kSector, kSector));
                expected.push_back(other.bytes.data() + size_t(k) * kSector);
            }
            else if (c.nGapEvery != 0 && v % c.nGapEvery == 2 && k == 1)
                writer.AddRemovedRange(s, s, 0);
            else
            {
                writer.AddData(CDataRange(&file, s * kSector, kSector));
                expected.push_back(SourceSector(s));
            }
        }
    };
    const uint32_t nBlock = nVobus / 3;
    for (uint32_t b : c.bJump ? std::vector<uint32_t>{0, 2, 1} : std::vector<uint32_t>{0, 1, 2})
    {
        for (uint32_t v = b * nBlock; v < (b + 1) * nBlock; ++v)
            queueVobu(v);
        ASSERT_TRUE(writer.FlushQueue(log)) << log.Dump();
    }
    ASSERT_TRUE(writer.Flush(log)) << log.Dump();
    writer.Close();

    std::vector<BYTE> all;
    for (uint32_t k = 1; k <= writer.GetFileCount() || kx::FileExists(folder + "VTS_01_" + std::to_string(k) + ".VOB");
         ++k)
    {
        std::vector<BYTE> part = Output("VTS_01_" + std::to_string(k) + ".VOB");
        EXPECT_LE(part.size(), c.nFileLimit * kSector);
        all.insert(all.end(), part.begin(), part.end());
    }
    ASSERT_EQ(all.size(), expected.size() * kSector);
    for (uint32_t s = 0; s < expected.size(); ++s)
    {
        if (expected[s] == nullptr)
            EXPECT_EQ(OutputLbn(all, s), s);
        else
            EXPECT_EQ(0, std::memcmp(all.data() + size_t(s) * kSector, expected[s], kSector)) << "sector " << s;
    }
    EXPECT_EQ(log.Count('E'), 0) << log.Dump();
}

INSTANTIATE_TEST_SUITE_P(Runs, DiskVobFileReadAhead,
                         ::testing::Values(ReadAheadCase{"Plain", 0x7FFFF, 0, false, 0},
                                           ReadAheadCase{"FileLimits", 777, 0, false, 0},
                                           ReadAheadCase{"RemovedPacks", 0x7FFFF, 7, false, 0},
                                           ReadAheadCase{"JumpsBetweenBlocks", 0x7FFFF, 0, true, 0},
                                           ReadAheadCase{"OtherFiles", 500, 0, true, 9}),
                         [](const ::testing::TestParamInfo<ReadAheadCase>& info) { return info.param.name; });

TEST_F(DiskVobFileTest, AFailedWriteLeavesTheVobuQueued)
{
    src.Nav(1, 1);
    src.Pes(0xE0);
    SaveSource();
    writer.SetFileSizeLimit(kSector);
    ASSERT_TRUE(writer.Open(log, folder.c_str(), 0, true));
    ASSERT_TRUE(Queue(0, 1, 1));
    EXPECT_FALSE(writer.Flush(log));
    EXPECT_TRUE(log.Has('E', "Bad index"));
    EXPECT_TRUE(log.Has('E', "Not all vobus are written"));
    EXPECT_EQ(writer.GetQueueCount(), 1u);
    EXPECT_FALSE(Queue(0, 1, 1)); // the log holds an error
}

} // namespace
