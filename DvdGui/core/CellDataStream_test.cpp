// The cell data stream over units made sector by sector and over the cells
// of fixture discs, compared with the sectors read directly.
#include "DvdGui/core/CellDataStream.h"
#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobTestSupport.h"
#include "tests/support/FixtureCells.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

const uint64_t kSector = 2048;

// Byte k of sector n; every byte says where it came from.
BYTE Pattern(uint64_t sector, uint64_t k)
{
    return BYTE(sector * 7 + k * 13 + (k >> 8));
}

// A source VOB set of 210 patterned sectors and a unit over sectors
// [100, 104] and [200, 201].
class TwoRangeUnit
{
public:
    TwoRangeUnit()
    {
        std::vector<BYTE> sectors(210 * kSector);
        for (uint64_t i = 0; i < sectors.size(); ++i)
            sectors[i] = Pattern(i / kSector, i % kSector);
        // The patterned sectors hold no cells: the set stays unusable for
        // the disc, its files serve the reads all the same.
        m_set = new CVobData(m_log, "", uint32_t(sectors.size()), sectors.data(), nullptr);
        CCellAddress first{1, 1, 100, 104};
        CVobuAddressList vobus;
        vobus.Add(100);
        m_unit.reset(new CVobCell(m_set, first, vobus, nullptr));
        CCellAddress second{1, 1, 200, 201};
        CVobuAddressList more;
        more.Add(200);
        m_unit->AddPiece(second, more);
    }
    ~TwoRangeUnit()
    {
        m_unit.reset();
        delete m_set;
    }
    CVobCell* Unit() const { return m_unit.get(); }

    // The expected byte at a stream offset.
    static BYTE At(uint64_t offset)
    {
        uint64_t sector = offset / kSector < 5 ? 100 + offset / kSector : 200 + offset / kSector - 5;
        return Pattern(sector, offset % kSector);
    }

private:
    kxtest::RecordingLog m_log;
    CVobData* m_set;
    std::unique_ptr<CVobCell> m_unit;
};

::testing::AssertionResult BytesFrom(const std::vector<BYTE>& bytes, uint64_t offset)
{
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] != TwoRangeUnit::At(offset + i))
            return ::testing::AssertionFailure() << "byte " << offset + i << " differs";
    return ::testing::AssertionSuccess();
}

std::vector<BYTE> ReadAll(CByteStream& stream, DWORD chunk)
{
    std::vector<BYTE> all;
    std::vector<BYTE> part(chunk);
    for (;;)
    {
        int32_t n = stream.Read(part.data(), chunk);
        if (n <= 0)
            break;
        all.insert(all.end(), part.begin(), part.begin() + n);
    }
    return all;
}

TEST(CellDataStream, MapsOffsetsOfTwoRanges)
{
    TwoRangeUnit unit;
    CCellDataStream stream;
    EXPECT_TRUE(stream.Open(unit.Unit(), 0));
    EXPECT_EQ(stream.GetSize(), 14336u);

    const struct
    {
        uint64_t offset, address;
    } toSource[] = {{0, 100 * kSector},
                    {5, 100 * kSector + 5},
                    {10239, 105 * kSector - 1},
                    {10240, 200 * kSector},
                    {14335, 202 * kSector - 1},
                    {14336, 202 * kSector},
                    {14337, 0}};
    for (const auto& c : toSource)
        EXPECT_EQ(stream.StreamToSourcePosition(c.offset), c.address) << c.offset;

    const struct
    {
        uint64_t address;
        int64_t offset;
    } toStream[] = {{100 * kSector, 0},
                    {104 * kSector + 7, 4 * 2048 + 7},
                    {200 * kSector, 10240},
                    {201 * kSector + 1, 12289},
                    {202 * kSector, -1}};
    for (const auto& c : toStream)
        EXPECT_EQ(stream.SourceToStreamPosition(c.address), c.offset) << c.address;

    CCellDataStream empty;
    EXPECT_TRUE(empty.Open(nullptr, 0));
    EXPECT_EQ(empty.GetSize(), 0u);
    EXPECT_EQ(empty.SourceToStreamPosition(100 * kSector), 0);
    BYTE b;
    EXPECT_EQ(empty.Read(&b, 1), 0);
}

TEST(CellDataStream, ReadsAcrossTheBufferAndTheRanges)
{
    TwoRangeUnit unit;
    CCellDataStream stream;
    stream.Open(unit.Unit(), 0);
    const struct
    {
        uint64_t from;
        DWORD count, got;
    } reads[] = {
        {0, 0, 0},       {0, 10, 10},        {10000, 1000, 1000}, // across the end of the buffered span
        {10230, 20, 20}, {0, 14336, 14336},  {14000, 1000, 336},  // across the end of the data
        {14336, 10, 0},  {8000, 6336, 6336},
    };
    for (const auto& r : reads)
    {
        SCOPED_TRACE(r.from);
        EXPECT_TRUE(stream.Seek(r.from));
        std::vector<BYTE> bytes(r.count);
        ASSERT_EQ(stream.Read(bytes.data(), r.count), int32_t(r.got));
        bytes.resize(r.got);
        EXPECT_TRUE(BytesFrom(bytes, r.from));
        EXPECT_EQ(stream.GetPosition(), r.from + r.got);
    }
    // Seeking beyond the size stops at the size.
    EXPECT_TRUE(stream.Seek(20000));
    EXPECT_EQ(stream.GetPosition(), 14336u);
}

TEST(CellDataStream, AClonesReadsOnItsOwn)
{
    TwoRangeUnit unit;
    CCellDataStream stream;
    stream.Open(unit.Unit(), 0);
    stream.Seek(12000);
    std::unique_ptr<CByteStream> clone(stream.Clone(1));
    EXPECT_EQ(clone->GetPosition(), 0u);
    EXPECT_EQ(clone->GetSize(), 14336u);
    std::vector<BYTE> a(500), b(500);
    ASSERT_EQ(clone->Read(b.data(), 500), 500);
    ASSERT_EQ(stream.Read(a.data(), 500), 500);
    EXPECT_TRUE(BytesFrom(b, 0));
    EXPECT_TRUE(BytesFrom(a, 12000));
    EXPECT_EQ(clone->GetPosition(), 500u);
    EXPECT_EQ(stream.GetPosition(), 12500u);
}

class CellDataStreamFixture : public ::testing::Test
{
protected:
    void TearDown() override { PurgeUnusedVobData(); }
};

// Every title cell of the disc read through the stream equals its sectors
// read from the VOB files by their cell address entry.
TEST_F(CellDataStreamFixture, FixtureCellsReadAsTheirSectors)
{
    for (const char* fixture : {"pal1", "pal1split"})
    {
        SCOPED_TRACE(fixture);
        KX_REQUIRE_FIXTURE(dir, fixture);
        kxtest::RecordingLog log;
        CDvd dvd;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr));
        const CAngleBlockList& titles = dvd.GetVts(0)->GetTitleDomain();
        ASSERT_GT(titles.GetBlockCount(), 0u);
        for (uint32_t i = 0; i < titles.GetBlockCount(); ++i)
        {
            CVobCell* pCell = titles.GetBlock(i)->GetIlvu(0);
            kxtest::SectorExtentStream direct(
                kxtest::FixtureCellExtents(fixture, 1, false, pCell->GetVobId(), pCell->GetCellId()));
            ASSERT_GT(direct.GetSize(), 0u);
            CCellDataStream stream;
            stream.Open(pCell, 0);
            EXPECT_EQ(stream.GetSize(), direct.GetSize());
            EXPECT_TRUE(ReadAll(stream, 3000) == ReadAll(direct, 65536)) << "block " << i;
        }
    }
}

TEST_F(CellDataStreamFixture, AStillReadsItsVobuInModeZeroAndTheWholeUnitInModeOne)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    kxtest::RecordingLog log;
    CDvd dvd;
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("pal1", "VIDEO_TS").c_str(), nullptr));
    CVobCell* pCell = dvd.GetVts(0)->GetTitleDomain().GetBlock(0)->GetIlvu(0);
    ASSERT_GT(pCell->GetVobuCount(), 2u);
    ASSERT_TRUE(pCell->ConvertToStillAt(*pCell, 1));
    ASSERT_TRUE(pCell->HasStillSource());
    const CStillSource& still = *pCell->GetStillSource();

    CCellDataStream whole;
    whole.Open(pCell, 1);
    const std::vector<BYTE> all = ReadAll(whole, 4096);
    EXPECT_EQ(all.size(), whole.GetSize());

    CCellDataStream picture;
    picture.Open(pCell, 0);
    EXPECT_EQ(picture.GetSize(), uint64_t(pCell->GetSectorCount()) * kSector);
    const std::vector<BYTE> read = ReadAll(picture, 4096);
    std::vector<BYTE> expected((still.GetFirstRefEnd() + 1) * kSector);
    for (DWORD n = 0; n <= still.GetFirstRefEnd(); ++n)
        ASSERT_TRUE(still.GetVobData()->ReadSector(still.GetNavSector() + n, expected.data() + n * kSector));
    EXPECT_TRUE(read == expected);
    // The player's clone reads the whole unit.
    std::unique_ptr<CByteStream> clone(picture.Clone(1));
    EXPECT_TRUE(ReadAll(*clone, 4096) == all);
}

#ifndef _WIN32
// The bytes of a cell written out are a program stream ffprobe recognises
// with the cell's video and audio streams.
TEST_F(CellDataStreamFixture, FfprobeSeesTheCellsStreams)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    kxtest::RecordingLog log;
    CDvd dvd;
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("pal1", "VIDEO_TS").c_str(), nullptr));
    CCellDataStream stream;
    stream.Open(dvd.GetVts(0)->GetTitleDomain().GetBlock(0)->GetIlvu(0), 0);
    kxtest::ScratchFolder scratch;
    const std::string path = scratch.Path() + "/cell.vob";
    const std::vector<BYTE> bytes = ReadAll(stream, 10000);
    ASSERT_TRUE(kxtest::WriteFile(path, bytes.data(), bytes.size()));
    std::string info;
    std::FILE* p =
        popen(("ffprobe -v error -show_entries stream=codec_type,codec_name -of compact '" + path + "'").c_str(), "r");
    ASSERT_NE(p, nullptr);
    char line[256];
    while (std::fgets(line, sizeof line, p))
        info += line;
    pclose(p);
    EXPECT_NE(info.find("codec_name=mpeg2video|codec_type=video"), std::string::npos) << info;
    EXPECT_NE(info.find("codec_name=ac3|codec_type=audio"), std::string::npos) << info;
    EXPECT_NE(info.find("codec_name=mp2|codec_type=audio"), std::string::npos) << info;
}
#endif

} // namespace
