#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Shared/platform/PlatformFile.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "Shared/source/dataAccess/DataBlock.h"
#include "Shared/source/dataAccess/DataFile.h"
#include "Shared/source/dataAccess/DataFileSet.h"
#include "Shared/source/dataAccess/DataRange.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

namespace
{

using kxtest::ScratchFolder;

// A file of n bytes whose byte i is (i * 7 + seed) & 0xFF.
std::string MakeFile(const ScratchFolder& dir, const char* name, uint32_t n, int seed)
{
    std::string path = dir.File(name);
    CDataFile file;
    EXPECT_TRUE(file.Create(nullptr, path.c_str(), n, false));
    std::vector<unsigned char> bytes(n);
    for (uint32_t i = 0; i < n; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + seed);
    EXPECT_EQ(file.WriteAt(bytes.data(), 0, n), n);
    return path;
}

unsigned char Expected(uint32_t i, int seed)
{
    return static_cast<unsigned char>(i * 7 + seed);
}

TEST(CDataFile, OpenReadsAndCachesThePosition)
{
    ScratchFolder dir;
    std::string path = MakeFile(dir, "VTS_01_1.VOB", 10000, 1);
    CDataFile file;
    ASSERT_TRUE(file.Open(nullptr, path.c_str(), true, true));
    EXPECT_EQ(file.GetSize(), 10000u);
    EXPECT_TRUE(file.IsReadOnly());
    EXPECT_STREQ(file.GetName(), path.c_str());
    unsigned char buf[100];
    EXPECT_EQ(file.ReadAt(buf, 0, 100), 100u);
    EXPECT_EQ(file.GetSeekCount(), 1u); // no position is known after Open
    EXPECT_EQ(file.ReadAt(buf, 100, 100), 100u);
    EXPECT_EQ(file.GetSeekCount(), 1u); // sequential: no seek
    EXPECT_EQ(buf[0], Expected(100, 1));
    EXPECT_EQ(file.ReadAt(buf, 5000, 100), 100u);
    EXPECT_EQ(file.GetSeekCount(), 2u);
    EXPECT_EQ(file.ReadAt(buf, 9950, 100), 50u); // short at the end
    EXPECT_EQ(buf[49], Expected(9999, 1));
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetSize(), 0u);
    EXPECT_STREQ(file.GetName(), "");
    EXPECT_EQ(file.ReadAt(buf, 0, 10), 0u);
}

TEST(CDataFile, FailuresAreReportedWhenAsked)
{
    ScratchFolder dir;
    kxtest::RecordingLog log;
    CDataFile file;
    EXPECT_FALSE(file.Open(&log, dir.File("missing.ifo").c_str(), true, true));
    ASSERT_EQ(log.Count('E'), 1) << log.Dump();
    EXPECT_EQ(log.lines[0], "E:" + kx::SystemErrorText(2)); // the system's "not found" text
    EXPECT_NE(log.locations[0].find(":DataFile.cpp"), std::string::npos) << log.locations[0];
    EXPECT_FALSE(file.IsOpen());

    EXPECT_FALSE(file.Open(&log, dir.File("missing.ifo").c_str(), true, false));
    EXPECT_EQ(log.Count('E'), 1); // not asked to report

    // Over-long paths are refused with an error, never cut or overrun.
    std::string longPath = dir.File(std::string(5000, 'n'));
    EXPECT_FALSE(file.Open(&log, longPath.c_str(), true, true));
    EXPECT_FALSE(file.Create(&log, longPath.c_str(), 10, true));
    EXPECT_EQ(log.Count('E'), 3);
    EXPECT_TRUE(log.Has('E', "too long"));
}

TEST(CDataFile, CreateSizesAndReplaces)
{
    ScratchFolder dir;
    std::string path = MakeFile(dir, "out.ifo", 5000, 0);
    CDataFile file;
    ASSERT_TRUE(file.Create(nullptr, path.c_str(), 2048, true));
    EXPECT_FALSE(file.IsReadOnly());
    EXPECT_EQ(file.GetSize(), 2048u);
    unsigned char buf[16] = {1};
    EXPECT_EQ(file.ReadAt(buf, 0, 16), 16u);
    EXPECT_EQ(buf[0], 0); // the old content is gone
    ASSERT_TRUE(file.SetSize(nullptr, 4096, true));
    EXPECT_EQ(file.GetSize(), 4096u);
}

TEST(CDataFile, TempFileHasThePrefixAndGoesAwayOnClose)
{
    CDataFile file;
    ASSERT_TRUE(file.CreateTemp(nullptr, 4096, true));
    std::string name = file.GetName();
    EXPECT_EQ(kx::PathFileName(name).compare(0, 3, "ZEV"), 0) << name;
    EXPECT_EQ(file.GetSize(), 4096u);
    EXPECT_FALSE(file.IsReadOnly());
    const char text[] = "stock cell";
    EXPECT_EQ(file.WriteAt(text, 100, sizeof(text)), sizeof(text));
    char back[sizeof(text)] = {};
    EXPECT_EQ(file.ReadAt(back, 100, sizeof(back)), sizeof(back));
    EXPECT_STREQ(back, text);
    // Windows keeps the name until the handle closes; elsewhere it is gone at once.
    file.Close();
    EXPECT_FALSE(kx::FileExists(name));
}

TEST(CDataRange, ClipsAtTheFileEndAndMergesOnlyNeighbours)
{
    ScratchFolder dir;
    std::string pathA = MakeFile(dir, "a", 1000, 0);
    std::string pathB = MakeFile(dir, "b", 1000, 0);
    CDataFile a, b;
    ASSERT_TRUE(a.Open(nullptr, pathA.c_str(), true, false));
    ASSERT_TRUE(b.Open(nullptr, pathB.c_str(), true, false));

    struct
    {
        uint32_t offset, length, expected;
    } clips[] = {{0, 100, 100}, {900, 200, 100}, {1000, 10, 0}, {5000, 10, 0}, {10, 0xFFFFFFFFu, 990}};
    for (const auto& c : clips)
    {
        EXPECT_EQ(CDataRange(&a, c.offset, c.length).GetLength(), c.expected) << c.offset;
    }
    EXPECT_EQ(CDataRange(&a).GetLength(), 1000u);

    CDataRange sub;
    sub.SetSubRange(CDataRange(&a, 100, 300), 50, 1000);
    EXPECT_EQ(sub.GetOffset(), 150u);
    EXPECT_EQ(sub.GetLength(), 250u);
    EXPECT_EQ(sub.GetFile(), &a);
    sub.SetSubRange(CDataRange(&a, 100, 300), 400, 10);
    EXPECT_EQ(sub.GetLength(), 0u);

    CDataRange first(&a, 0, 100);
    EXPECT_FALSE(first.Merge(CDataRange(&b, 100, 50))); // another file
    EXPECT_FALSE(first.Merge(CDataRange(&a, 101, 50))); // a gap
    EXPECT_FALSE(first.Merge(CDataRange(&a, 50, 50)));  // an overlap
    EXPECT_EQ(first.GetLength(), 100u);
    EXPECT_TRUE(first.Merge(CDataRange(&a, 100, 50)));
    EXPECT_EQ(first.GetLength(), 150u);
}

TEST(CDataBlock, WritesBackOnlyToWritableFiles)
{
    ScratchFolder dir;
    std::string path = MakeFile(dir, "VTS_01_0.IFO", 4096, 3);
    {
        CDataFile file;
        ASSERT_TRUE(file.Open(nullptr, path.c_str(), true, false));
        CDataBlock block(CDataRange(&file, 2048, 2048));
        ASSERT_EQ(block.GetCount(), 2048u);
        EXPECT_EQ(block.GetData()[0], Expected(2048, 3));
        block.GetData()[0] = 0xAA; // changed in memory only
    }
    {
        CDataFile file;
        ASSERT_TRUE(file.Open(nullptr, path.c_str(), true, false));
        unsigned char byte = 0;
        file.ReadAt(&byte, 2048, 1);
        EXPECT_EQ(byte, Expected(2048, 3));
    }
    std::string created = dir.File("VIDEO_TS.IFO");
    {
        CDataFile file;
        ASSERT_TRUE(file.Create(nullptr, created.c_str(), 4096, false));
        CDataBlock block{CDataRange(&file)};
        ASSERT_EQ(block.GetCount(), 4096u);
        for (uint32_t i = 0; i < 4096; ++i)
            block.GetData()[i] = Expected(i, 5);
    }
    CDataFile file;
    ASSERT_TRUE(file.Open(nullptr, created.c_str(), true, false));
    std::vector<unsigned char> back(4096);
    ASSERT_EQ(file.ReadAt(back.data(), 0, 4096), 4096u);
    for (uint32_t i = 0; i < 4096; i += 511)
        EXPECT_EQ(back[i], Expected(i, 5)) << i;
}

class TwoFileSet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(set.OpenAndAdd(nullptr, MakeFile(dir, "VTS_01_1.VOB", kFirst, 1).c_str(), true, true));
        ASSERT_TRUE(set.OpenAndAdd(nullptr, MakeFile(dir, "VTS_01_2.VOB", kSecond, 2).c_str(), true, true));
    }
    static constexpr uint32_t kFirst = 6144;
    static constexpr uint32_t kSecond = 4096;
    ScratchFolder dir;
    CDataFileSet set;
};

TEST_F(TwoFileSet, ReadAcrossTheFileBoundary)
{
    EXPECT_EQ(set.GetTotalSize(), uint64_t(kFirst + kSecond));
    EXPECT_EQ(set[1]->GetStart(), uint64_t(kFirst));
    std::vector<unsigned char> buf(2048);
    ASSERT_EQ(set.Read(buf.data(), kFirst - 10, 2048), 2048u);
    EXPECT_EQ(buf[0], Expected(kFirst - 10, 1));
    EXPECT_EQ(buf[9], Expected(kFirst - 1, 1));
    EXPECT_EQ(buf[10], Expected(0, 2));
    EXPECT_EQ(buf[2047], Expected(2037, 2));
}

TEST_F(TwoFileSet, ReadsAtTheEnd)
{
    std::vector<unsigned char> buf(2048);
    EXPECT_EQ(set.Read(buf.data(), kFirst + kSecond, 2048), 0u);
    EXPECT_EQ(set.Read(buf.data(), uint64_t(1) << 40, 2048), 0u);
    EXPECT_EQ(set.Read(buf.data(), kFirst + kSecond - 100, 2048), 100u);
    EXPECT_EQ(buf[99], Expected(kSecond - 1, 2));
}

TEST_F(TwoFileSet, LocateFindsTheFileAndClips)
{
    CDataRange r = set.Locate(kFirst + 100, 10000);
    EXPECT_EQ(r.GetFile(), set[1]);
    EXPECT_EQ(r.GetOffset(), 100u);
    EXPECT_EQ(r.GetLength(), kSecond - 100);
    r = set.Locate(kFirst - 1, 2);
    EXPECT_EQ(r.GetFile(), set[0]);
    EXPECT_EQ(r.GetLength(), 1u);
    r = set.Locate(kFirst + kSecond, 10);
    EXPECT_EQ(r.GetFile(), set[0]); // beyond the end: an empty range of the first file
    EXPECT_EQ(r.GetOffset(), 0u);
    EXPECT_EQ(r.GetLength(), 0u);
}

TEST_F(TwoFileSet, SequentialReadsSeekOnlyWhenNeeded)
{
    std::vector<unsigned char> buf(2048);
    for (uint32_t at = 0; at < kFirst; at += 2048)
        set.Read(buf.data(), at, 2048);
    EXPECT_EQ(set[0]->GetSeekCount(), 1u);
    set.Read(buf.data(), 0, 2048);
    EXPECT_EQ(set[0]->GetSeekCount(), 2u);
}

TEST(CDataFileSet, OpenFailureAddsNothingAndEmptySetReadsNothing)
{
    ScratchFolder dir;
    kxtest::RecordingLog log;
    CDataFileSet set;
    EXPECT_FALSE(set.OpenAndAdd(&log, dir.File("VTS_09_1.VOB").c_str(), true, true));
    EXPECT_EQ(set.GetSize(), 0u);
    EXPECT_EQ(log.Count('E'), 1);
    unsigned char buf[16];
    EXPECT_EQ(set.Read(buf, 0, 16), 0u);
    EXPECT_EQ(set.Locate(0, 16).GetFile(), nullptr);
    EXPECT_EQ(set.Locate(0, 16).GetLength(), 0u);
}

TEST(CDataFileSet, ReadsAcrossSeveralSmallFiles)
{
    ScratchFolder dir;
    CDataFileSet set;
    const uint32_t sizes[] = {100, 5, 7, 300};
    for (int i = 0; i < 4; ++i)
    {
        std::string name = "f" + std::to_string(i);
        ASSERT_TRUE(set.OpenAndAdd(nullptr, MakeFile(dir, name.c_str(), sizes[i], i).c_str(), true, false));
    }
    unsigned char buf[64];
    ASSERT_EQ(set.Read(buf, 90, 64), 64u);
    EXPECT_EQ(buf[9], Expected(99, 0));
    EXPECT_EQ(buf[10], Expected(0, 1));
    EXPECT_EQ(buf[15], Expected(0, 2));
    EXPECT_EQ(buf[22], Expected(0, 3));
    set.Clear();
    EXPECT_EQ(set.GetTotalSize(), 0u);
}

} // namespace
