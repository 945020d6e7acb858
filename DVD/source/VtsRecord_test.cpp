#include "DVD/source/DVD.h"
#include "DVD/source/VTS.h"

#include <gtest/gtest.h>

#include "DVD/source/RecordTestSupport.h"
#include "tests/support/TestSinks.h"

using kxtest::RecordBytes;

namespace
{

std::vector<uint8_t> EmptyDomain(bool menu)
{
    CAngleBlockList domain(nullptr, menu);
    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    EXPECT_TRUE(domain.Store(log, writer, nullptr));
    return writer.bytes;
}

// A PGC record without cells, commands or programs.
void AddPgc(RecordBytes& record, uint8_t category)
{
    record.U8(5).U8(0).U8(30).U8(0).U8(category).U16(0).U32(0).Fill(16 + 160);
    record.U16(0).U16(0).U16(0).U8(0).U8(0).Fill(64);
    for (int t = 0; t < 3; ++t)
        record.U8(2).U8(0).U16(0);
    record.U8(4).U8(0).U16(0).U16(0);
}

// A title-set record of the given version: two title PGCs and two titles,
// the first playing PGC 1, the second PGCs 1 and 2; from version 2 one
// parental record.
RecordBytes Vts(uint8_t version)
{
    RecordBytes record;
    record.U8(version).U8(0x08).U32(0x00000001);
    record.Raw(EmptyDomain(false));
    record.U8(1).U8(0).U16(2);               // titles
    record.U8(1).U8(0).U16(1).U16(0).U16(1); // title 1: PGC 1, program 1
    record.U8(1).U8(0).U16(2).U16(0).U16(1).U16(1).U16(1);
    record.U8(1).U8(0x08).U8(0).U16(2); // the title PGC table
    AddPgc(record, version >= 3 ? 0x81 : 0x00);
    AddPgc(record, version >= 3 ? 0x02 : 0x00);
    record.Raw(EmptyDomain(true));
    record.U8(1).U8(0).U16(0); // no language units
    if (version >= 2)
    {
        record.U32(1).U16(0x4445);
        for (int level = 0; level < 8; ++level)
            record.U16(0x00FF >> level);
    }
    return record;
}

struct Loaded
{
    explicit Loaded(const RecordBytes& record) : reader(kxtest::ReaderOf(record))
    {
        CVts* vts = dvd.GetVts(0);
        vts->GetParentalRecords().Add(new CParentalRecord);
        ok = vts->Load(log, reader, nullptr);
    }
    CVts& Vts() { return *dvd.GetVts(0); }
    CDvd dvd;
    kxtest::MemoryProjectReader reader;
    kxtest::RecordingLog log;
    bool ok = false;
};

TEST(VtsRecord, CurrentVersionStoresTheSameBytes)
{
    const RecordBytes record = Vts(3);
    Loaded l(record);
    ASSERT_TRUE(l.ok) << l.log.Dump();
    EXPECT_EQ(l.reader.GetTransferred(), record.Size());
    EXPECT_EQ(l.Vts().GetFlags(), 0x08);
    EXPECT_EQ(l.Vts().GetCategory(), 1u);
    ASSERT_EQ(l.Vts().GetPgcTable().GetPgcCount(), 2u);
    EXPECT_EQ(l.Vts().GetTitles().GetTitleCount(), 2u);
    ASSERT_EQ(l.Vts().GetParentalRecords().GetSize(), 1u);
    EXPECT_EQ(l.Vts().GetParentalRecords()[0]->nCountry, 0x4445);

    kxtest::MemoryProjectWriter writer;
    ASSERT_TRUE(l.Vts().Store(l.log, writer)) << l.log.Dump();
    EXPECT_TRUE(writer.bytes == record.bytes);
}

TEST(VtsRecord, Version2TakesTheTitleNumbersFromTheTitles)
{
    const RecordBytes record = Vts(2);
    Loaded l(record);
    ASSERT_TRUE(l.ok) << l.log.Dump();
    // Both titles start with PGC 1: the later one wins, with the entry flag.
    EXPECT_EQ(l.Vts().GetPgcTable().GetPgc(0)->m_nCategory, 0x82);
    EXPECT_EQ(l.Vts().GetPgcTable().GetPgc(1)->m_nCategory, 0x02);
}

TEST(VtsRecord, Version1HasNoParentalRecords)
{
    const RecordBytes record = Vts(1);
    Loaded l(record);
    ASSERT_TRUE(l.ok) << l.log.Dump();
    EXPECT_EQ(l.reader.GetTransferred(), record.Size());
    // The title set keeps what it had.
    EXPECT_EQ(l.Vts().GetParentalRecords().GetSize(), 1u);
}

TEST(VtsRecord, NewerRecordIsRefusedBeforeAnythingChanges)
{
    RecordBytes record = Vts(3);
    record.bytes[0] = 4;
    CDvd dvd;
    CVts& vts = *dvd.GetVts(0);
    vts.SetCategory(7);
    vts.ClearModified();
    kxtest::MemoryProjectReader reader(record.bytes);
    kxtest::RecordingLog log;
    EXPECT_FALSE(vts.Load(log, reader, nullptr));
    EXPECT_EQ(log.lines, std::vector<std::string>{"E:Unexpected archive content"});
    EXPECT_EQ(vts.GetCategory(), 7u);
    EXPECT_FALSE(vts.IsModified());
}

TEST(VtsRecord, NoParentalRecordsWriteOnlyTheirCount)
{
    CDvd dvd;
    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.GetVts(0)->Store(log, writer));
    ASSERT_GE(writer.bytes.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(writer.bytes.end() - 4, writer.bytes.end()), std::vector<uint8_t>(4, 0));
}

TEST(VtsRecord, CutRecordsFail)
{
    const RecordBytes record = Vts(3);
    for (size_t keep = 0; keep < record.Size(); ++keep)
    {
        RecordBytes cut = record;
        cut.bytes.resize(keep);
        Loaded l(cut);
        EXPECT_FALSE(l.ok) << keep;
    }
}

} // namespace
