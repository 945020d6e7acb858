#include "DVD/source/DVD.h"
#include "DVD/source/VMG.h"

#include <gtest/gtest.h>

#include "DVD/source/RecordTestSupport.h"
#include "tests/support/TestSinks.h"

using kxtest::RecordBytes;

namespace
{

// The record of an empty menu domain and of a domain's empty language units.
std::vector<uint8_t> EmptyMenuDomain()
{
    CAngleBlockList domain(nullptr, true);
    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    EXPECT_TRUE(domain.Store(log, writer, nullptr));
    return writer.bytes;
}

// A VMG record of the given version with two title entries, a first-play
// PGC without cells (from version 1 on the record carries one), text data
// from version 2 and one parental record from version 3.
RecordBytes Vmg(uint8_t version)
{
    RecordBytes record;
    record.U8(version).U8(0x08).U32(0x00FE0001).U16(2).U16(1).U8(1).U64(0x0102030405060708ull);
    record.Raw(EmptyMenuDomain());
    record.U8(1);
    record.U8(5).U8(0).U8(30).U8(0).U8(0).U16(0).U32(0); // first-play PGC
    record.Fill(8 * 2 + 32 * 5).U16(3).U16(0).U16(0).U8(0).U8(0).Fill(64);
    for (int t = 0; t < 3; ++t)
        record.U8(2).U8(0).U16(0);
    record.U8(4).U8(0).U16(0).U16(0);
    record.U8(1).U8(0x08).U16(0); // no language units
    record.U16(2);
    record.U8(0).U8(0);
    if (version >= 4)
        record.U8(0x40);
    record.U8(0).U8(1);
    if (version >= 4)
        record.U8(0x41);
    if (version >= 2)
    {
        record.U8(1).U32(24);
        for (int i = 0; i < 14; ++i)
            record.U8('A' + i);
        record.U8(0).U8(7).U8(0).U8(0).U8(0).U8(23).U32(0xDEADBEEF);
    }
    if (version >= 3)
    {
        record.U32(1).U16(0x5553);
        for (int level = 0; level < 8; ++level)
            record.U16(level + 1);
    }
    return record;
}

struct Loaded
{
    explicit Loaded(const RecordBytes& record) : reader(kxtest::ReaderOf(record))
    {
        // What the disc held before the load.
        dvd.GetVmg().GetParentalRecords().Add(new CParentalRecord);
        dvd.GetVmg().GetParentalRecords().Add(new CParentalRecord);
        ok = dvd.GetVmg().Load(log, reader, nullptr);
    }
    CDvd dvd;
    kxtest::MemoryProjectReader reader;
    kxtest::RecordingLog log;
    bool ok = false;
};

TEST(VmgRecord, CurrentVersionLoadsEveryFieldAndStoresTheSameBytes)
{
    const RecordBytes record = Vmg(4);
    Loaded l(record);
    ASSERT_TRUE(l.ok) << l.log.Dump();
    EXPECT_EQ(l.reader.GetTransferred(), record.Size());
    const CVmg& vmg = l.dvd.GetVmg();
    EXPECT_EQ(vmg.GetFlags(), 0x08);
    EXPECT_EQ(vmg.GetCategory(), 0x00FE0001u);
    EXPECT_EQ(vmg.GetVolumeCount(), 2);
    EXPECT_EQ(vmg.GetVolumeNumber(), 1);
    EXPECT_EQ(vmg.GetSide(), 1);
    EXPECT_EQ(vmg.GetPosCode(), 0x0102030405060708ull);
    ASSERT_NE(vmg.GetFirstPlayPgc(), nullptr);
    EXPECT_EQ(vmg.GetFirstPlayPgc()->GetParent(), &vmg);
    ASSERT_EQ(vmg.GetTitles().GetEntryCount(), 2u);
    EXPECT_EQ(vmg.GetTitles().GetEntry(1)->nTitle, 1);
    EXPECT_EQ(vmg.GetTitles().GetFlag(0), 0x40);
    EXPECT_EQ(vmg.GetTitles().GetFlag(1), 0x41);
    ASSERT_NE(vmg.GetTextData(), nullptr);
    EXPECT_EQ(vmg.GetTextData()->GetPayloadLength(), 4u);
    ASSERT_EQ(vmg.GetParentalRecords().GetSize(), 1u);
    EXPECT_EQ(vmg.GetParentalRecords()[0]->masks[7], 8);

    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    ASSERT_TRUE(l.dvd.GetVmg().Store(log, writer, nullptr)) << log.Dump();
    ASSERT_EQ(writer.bytes.size(), record.Size());
    for (size_t i = 0; i < record.Size(); ++i)
        ASSERT_EQ(writer.bytes[i], record.bytes[i]) << "byte " << i;
}

TEST(VmgRecord, OlderVersionsLoadWithoutWhatTheyLacked)
{
    struct Case
    {
        uint8_t version;
        bool text;
        uint32_t parental;
    };
    const Case cases[] = {{1, false, 0}, {2, true, 0}, {3, true, 1}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(int(c.version));
        const RecordBytes record = Vmg(c.version);
        Loaded l(record);
        ASSERT_TRUE(l.ok) << l.log.Dump();
        EXPECT_EQ(l.reader.GetTransferred(), record.Size());
        const CVmg& vmg = l.dvd.GetVmg();
        EXPECT_EQ(vmg.GetTextData() != nullptr, c.text);
        EXPECT_EQ(vmg.GetParentalRecords().GetSize(), c.parental);
        ASSERT_EQ(vmg.GetTitles().GetEntryCount(), 2u);
        EXPECT_EQ(vmg.GetTitles().GetFlag(0), 0);
        EXPECT_EQ(vmg.GetTitles().GetFlag(1), 0);
    }
}

TEST(VmgRecord, NewerAndDamagedRecordsAreRefused)
{
    RecordBytes newer = Vmg(4);
    newer.bytes[0] = 5;
    Loaded refused(newer);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.log.lines, std::vector<std::string>{"E:Unexpected archive content"});

    // A parental count beyond the stream, and every cut.
    RecordBytes parental = Vmg(4);
    parental.bytes.resize(parental.Size() - 18 - 4);
    parental.U32(0x10000000);
    Loaded counted(parental);
    EXPECT_FALSE(counted.ok);
    EXPECT_TRUE(counted.log.Has('E', "Unexpected archive content"));
    const RecordBytes record = Vmg(4);
    for (size_t keep = 0; keep < record.Size(); ++keep)
    {
        RecordBytes cut = record;
        cut.bytes.resize(keep);
        Loaded l(cut);
        EXPECT_FALSE(l.ok) << keep;
    }
}

} // namespace
