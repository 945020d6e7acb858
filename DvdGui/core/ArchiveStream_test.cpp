#include "DvdGui/core/ArchiveStream.h"

#include "DVD/source/DVD.h"
#include "DVD/source/StockCells.h"
#include "framework/core/CMemFile.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

std::vector<BYTE> FileBytes(CMemFile& file)
{
    std::vector<BYTE> bytes(size_t(file.GetLength()));
    file.SeekToBegin();
    if (!bytes.empty())
        file.Read(bytes.data(), UINT(bytes.size()));
    return bytes;
}

// Stores the disc through the adapter into a memory file and answers the
// file's bytes.
std::vector<BYTE> StoreDisc(CDvd& dvd)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        kxtest::RecordingLog log;
        {
            CArchiveWriter writer(ar);
            EXPECT_TRUE(dvd.Store(log, writer, nullptr));
        }
        ar.Close();
    }
    return FileBytes(file);
}

bool LoadDisc(CDvd& dvd, const std::vector<BYTE>& bytes)
{
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    kxtest::RecordingLog log;
    CArchiveReader reader(ar);
    EXPECT_EQ(reader.GetSize(), bytes.size());
    return dvd.Load(log, reader, nullptr);
}

TEST(ArchiveStream, WriterFlushesEverythingItTookWhenDestroyed)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    {
        CArchiveWriter writer(ar);
        EXPECT_EQ(writer.Write("abc", 3), 3u);
        writer.WriteString("name");
        EXPECT_TRUE(writer.IsOk());
    }
    // the archive's buffer reached the file before the archive closed
    const std::vector<BYTE> bytes = FileBytes(file);
    const std::vector<BYTE> expected = {'a', 'b', 'c', 5, 0, 0, 0, 'n', 'a', 'm', 'e', 0};
    EXPECT_EQ(bytes, expected);
}

TEST(ArchiveStream, ReaderAnswersTheFileLengthAndDropsOkOnAShortRead)
{
    const BYTE data[] = {1, 2, 3, 4, 5};
    CMemFile file(data, sizeof(data));
    CArchive ar(&file, CArchive::load);
    CArchiveReader reader(ar);
    EXPECT_EQ(reader.GetSize(), 5u);
    uint32_t value = 0;
    EXPECT_TRUE(ReadDword(reader, value));
    EXPECT_EQ(value, 0x04030201u);
    EXPECT_TRUE(reader.IsOk());
    EXPECT_FALSE(ReadDword(reader, value));
    EXPECT_FALSE(reader.IsOk());
}

class ArchiveProject : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { CreateStockCells(); }
};

TEST_F(ArchiveProject, AStoredDiscLoadsBackWhole)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvd dvd;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr));
    const std::vector<BYTE> first = StoreDisc(dvd);
    ASSERT_FALSE(first.empty());

    // the background scan of the source may add what it measured meanwhile,
    // so the second store need not repeat the bytes; the disc is whole
    CDvd loaded;
    ASSERT_TRUE(LoadDisc(loaded, first));
    EXPECT_EQ(loaded.GetVtsCount(), dvd.GetVtsCount());
    CDvd again;
    EXPECT_TRUE(LoadDisc(again, StoreDisc(loaded)));
    EXPECT_EQ(again.GetVtsCount(), dvd.GetVtsCount());
}

TEST_F(ArchiveProject, ATruncatedProjectFailsToLoadAndLeavesAnEmptyDisc)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvd dvd;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr));
    std::vector<BYTE> bytes = StoreDisc(dvd);
    bytes.resize(bytes.size() / 2);

    CDvd loaded;
    EXPECT_FALSE(LoadDisc(loaded, bytes));
    EXPECT_EQ(loaded.GetVtsCount(), 1u);
}

} // namespace
