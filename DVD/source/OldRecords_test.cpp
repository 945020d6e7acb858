#include "DVD/source/OldRecords.h"

#include <gtest/gtest.h>

#include "DVD/source/RecordTestSupport.h"
#include "tests/support/TestSinks.h"

using kxtest::RecordBytes;

namespace
{

// A frames set of version V with the given list lengths; a trailing marker
// byte shows where the loader stopped.
RecordBytes FramesSet(uint8_t version, uint32_t first, uint32_t second)
{
    RecordBytes record;
    record.U8(version).U64(0x1122334455667788ull).U32(7);
    if (version >= 2)
        record.U8(1);
    const auto count = [&](uint32_t n) { version >= 3 ? record.U32(n) : record.U16(n); };
    count(first);
    for (uint32_t i = 0; i < first; ++i)
        record.U64(i).U64(i + 1).U32(i + 2);
    count(second);
    for (uint32_t i = 0; i < second; ++i)
        record.U64(i).U32(1).U32(2).U32(3);
    return record;
}

RecordBytes VideoParser()
{
    RecordBytes record;
    record.U8(1).U64(1).U32(2).U32(3).U8(4).U8(5).Fill(MPEGVideoParser::kBlockBytes, 0xAB);
    record.U32(6).U32(7).U64(8).U32(9).U32(10).U64(11).U32(12);
    record.U8(1).U8(2).U8(3).U8(4).U8(5);
    return record;
}

struct FramesCase
{
    uint8_t version;
    uint32_t first;
    uint32_t second;
    size_t expectedBytes;
};

class FramesSetVersions : public testing::TestWithParam<FramesCase>
{
};

TEST_P(FramesSetVersions, ConsumeExactlyTheirBytes)
{
    const FramesCase& c = GetParam();
    RecordBytes record = FramesSet(c.version, c.first, c.second);
    ASSERT_EQ(record.Size(), c.expectedBytes);
    record.U8(0xEE);
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    EXPECT_TRUE(MPEGFramesSet::Load(log, reader));
    EXPECT_TRUE(reader.IsOk());
    EXPECT_EQ(reader.GetTransferred(), c.expectedBytes);
    EXPECT_TRUE(log.lines.empty()) << log.Dump();
}

INSTANTIATE_TEST_SUITE_P(OldRecords, FramesSetVersions,
                         testing::Values(
                             // Version 0 reads like version 1: no 8-bit value, 16-bit counts.
                             FramesCase{0, 1, 1, 1 + 8 + 4 + 2 + 20 + 2 + 20},
                             FramesCase{1, 1, 1, 1 + 8 + 4 + 2 + 20 + 2 + 20},
                             FramesCase{2, 0, 2, 1 + 8 + 4 + 1 + 2 + 2 + 40}, FramesCase{3, 2, 0, 62}));

TEST(OldRecords, FramesSetOfAnUnknownVersionIsRefusedAfterItsVersionByte)
{
    RecordBytes record = FramesSet(3, 0, 0);
    record.bytes[0] = 4;
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    EXPECT_FALSE(MPEGFramesSet::Load(log, reader));
    EXPECT_EQ(reader.GetTransferred(), 1u);
    ASSERT_EQ(log.lines, std::vector<std::string>{"E:Bad archive"});
    EXPECT_EQ(log.locations[0], "23:MPEGFramesSet.cpp");
}

TEST(OldRecords, FramesSetCountBeyondTheStreamIsRefusedWithoutReadingOn)
{
    // A damaged 32-bit count would otherwise keep the loader reading 20 bytes
    // at a time for billions of entries.
    RecordBytes record;
    record.U8(3).U64(0).U32(0).U8(0).U32(0xFFFFFFFFu).Fill(40);
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    EXPECT_FALSE(MPEGFramesSet::Load(log, reader));
    EXPECT_FALSE(reader.IsOk());
    EXPECT_EQ(reader.GetTransferred(), 1u + 8 + 4 + 1 + 4);
    EXPECT_TRUE(log.Has('E', "Bad archive"));
}

TEST(OldRecords, VideoSourceConsumesItsFramesSetAndThreeWords)
{
    RecordBytes record;
    record.U8(1).Raw(FramesSet(1, 2, 1).bytes).U16(1).U16(2).U16(3);
    const size_t size = record.Size();
    record.U8(0xEE);
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    EXPECT_TRUE(MPEGVideoSource::Load(log, reader));
    EXPECT_TRUE(reader.IsOk());
    EXPECT_EQ(reader.GetTransferred(), size);
}

TEST(OldRecords, VideoSourceVersion2IsABadArchiveAfterOneByte)
{
    RecordBytes record;
    record.U8(2).Raw(FramesSet(1, 0, 0).bytes).U16(1).U16(2).U16(3);
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    EXPECT_FALSE(MPEGVideoSource::Load(log, reader));
    EXPECT_EQ(reader.GetTransferred(), 1u);
    ASSERT_EQ(log.lines, std::vector<std::string>{"E:Bad archive"});
    EXPECT_EQ(log.locations[0], "15:MPEGVideoSource.cpp");
}

TEST(OldRecords, VideoSourceWithARefusedFramesSetFails)
{
    RecordBytes record;
    record.U8(1).U8(9).Fill(20);
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    EXPECT_FALSE(MPEGVideoSource::Load(log, reader));
    EXPECT_EQ(reader.GetTransferred(), 2u);
    EXPECT_EQ(log.Count('E'), 1);
}

TEST(OldRecords, VideoParserConsumesExactly196Bytes)
{
    RecordBytes record = VideoParser();
    ASSERT_EQ(record.Size(), MPEGVideoParser::kRecordBytes);
    record.U8(0xEE);
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    EXPECT_TRUE(MPEGVideoParser::Load(log, reader));
    EXPECT_TRUE(reader.IsOk());
    EXPECT_EQ(reader.GetTransferred(), MPEGVideoParser::kRecordBytes);
}

TEST(OldRecords, VideoParserFailures)
{
    struct Case
    {
        size_t keep; // bytes of the record left in the stream
        uint8_t version;
        uint64_t transferred;
        const char* location;
    };
    const Case cases[] = {
        {196, 2, 1, "16:MPEGVideoParser.cpp"},
        {19 + 100, 1, 19 + 100, "28:MPEGVideoParser.cpp"},
    };
    for (const Case& c : cases)
    {
        RecordBytes record = VideoParser();
        record.bytes[0] = c.version;
        record.bytes.resize(c.keep);
        auto reader = kxtest::ReaderOf(record);
        kxtest::RecordingLog log;
        EXPECT_FALSE(MPEGVideoParser::Load(log, reader));
        EXPECT_EQ(reader.GetTransferred(), c.transferred);
        ASSERT_EQ(log.lines, std::vector<std::string>{"E:Bad archive"});
        EXPECT_EQ(log.locations[0], c.location);
    }
}

TEST(OldRecords, VideoParserCutAfterItsBlockShowsOnlyInTheOkFlag)
{
    RecordBytes record = VideoParser();
    record.bytes.resize(160);
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    EXPECT_TRUE(MPEGVideoParser::Load(log, reader));
    EXPECT_FALSE(reader.IsOk());
    EXPECT_TRUE(log.lines.empty());
}

} // namespace
