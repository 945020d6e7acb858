#include "DVD/source/AngleBlock.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"

#include <gtest/gtest.h>

#include <memory>

#include "DVD/source/RecordTestSupport.h"
#include "DVD/source/VobTestSupport.h"
#include "tests/support/TestSinks.h"

using kxtest::RecordBytes;

namespace
{

// A memory set of three cells of two VOBUs each whose NAV packs carry a
// highlight of one button: HLI times 1000 to 5000 after each VOBU's start,
// forced selection of button 1, user operations 0x40.
struct Source
{
    Source()
    {
        kxtest::VobBuilder vob;
        for (BYTE cell = 1; cell <= 3; ++cell)
            for (int v = 0; v < 2; ++v)
            {
                const DWORD start = 9000u * cell + 3000u * v;
                vob.Nav(1, cell, start,
                        [start](PciPacket& pci)
                        {
                            pci.SetVobuUopCtl(0x40);
                            pci.SetHliStatus(1);
                            pci.SetHliSPtm(start + 1000);
                            pci.SetHliEPtm(start + 5000);
                            pci.SetBtnSlEPtm(start + 4000);
                            pci.SetButtonGroupCount(1);
                            pci.SetBtnNs(1);
                            pci.SetNslBtnNs(1);
                            pci.SetFoslBtnn(1);
                        });
                vob.Pes(0xE0);
            }
        BYTE block[STREAM_BLOCK_SIZE] = {};
        block[3] = 1;
        CStreamSet streams(nullptr, true);
        streams.ReadIfo(block, true);
        set.reset(new CVobData(log, "records", uint32_t(vob.bytes.size()), vob.bytes.data(), &streams));
        sets.Add(set.get());
    }
    const CAngleBlockList& Pristine() const { return set->GetPristineBlocks(); }
    CVobCell* Pristine(uint32_t block) const { return Pristine().GetBlock(block)->GetIlvu(0); }
    // The pristine list of a domain that uses this set: none, then every
    // pristine ILVU.
    CGrowArray<CVobCell*> PristineList() const
    {
        CGrowArray<CVobCell*> list;
        list.Add(nullptr);
        for (uint32_t b = 0; b < Pristine().GetBlockCount(); ++b)
            list.Add(Pristine(b));
        return list;
    }

    kxtest::RecordingLog log;
    std::unique_ptr<CVobData> set;
    CVobDataList sets;
};

void ExpectSameIlvu(const CVobCell& a, const CVobCell& b)
{
    EXPECT_EQ(a.GetFlags(), b.GetFlags());
    EXPECT_EQ(a.GetVobData(), b.GetVobData());
    EXPECT_EQ(a.GetVobId(), b.GetVobId());
    EXPECT_EQ(a.GetCellId(), b.GetCellId());
    EXPECT_EQ(a.IsStock(), b.IsStock());
    EXPECT_EQ(a.GetUopMask().GetMask(), b.GetUopMask().GetMask());
    ASSERT_EQ(a.GetVobuCount(), b.GetVobuCount());
    for (uint32_t i = 0; i < a.GetVobuCount(); ++i)
        EXPECT_EQ(a.GetSourceVobus()[i], b.GetSourceVobus()[i]);
    ASSERT_EQ(a.GetSourcePieces().GetSize(), b.GetSourcePieces().GetSize());
    for (uint32_t i = 0; i < a.GetSourcePieces().GetSize(); ++i)
    {
        EXPECT_EQ(a.GetSourcePieces()[i]->m_dwFirstSector, b.GetSourcePieces()[i]->m_dwFirstSector);
        EXPECT_EQ(a.GetSourcePieces()[i]->m_dwLastSector, b.GetSourcePieces()[i]->m_dwLastSector);
    }
    ASSERT_EQ(a.GetSegmentCount(), b.GetSegmentCount());
    for (uint32_t i = 0; i < a.GetSegmentCount(); ++i)
    {
        const CButtonSegment& sa = *a.GetSegment(i);
        const CButtonSegment& sb = *b.GetSegment(i);
        EXPECT_EQ(sa.GetFirstVobu(), sb.GetFirstVobu());
        EXPECT_EQ(sa.GetVobuCount(), sb.GetVobuCount());
        EXPECT_EQ(sa.GetButtonCount(), sb.GetButtonCount());
        EXPECT_EQ(sa.GetHliStartPtm(), sb.GetHliStartPtm());
        EXPECT_EQ(sa.GetHliEndPtm(), sb.GetHliEndPtm());
        EXPECT_EQ(sa.GetForcedSelect(), sb.GetForcedSelect());
    }
    EXPECT_EQ(a.HasStillSource(), b.HasStillSource());
}

std::vector<uint8_t> StoreIlvu(const CVobCell& ilvu, const CVobDataList& sets)
{
    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    EXPECT_TRUE(ilvu.Store(log, writer, sets)) << log.Dump();
    return writer.bytes;
}

TEST(VobContentRecord, IlvuRoundTripsFieldByField)
{
    Source s;
    ASSERT_TRUE(s.set->IsUsable()) << s.log.Dump();
    std::unique_ptr<CVobCell> ilvu(CVobCell::CopyConstruct(*s.Pristine(1), nullptr));
    ilvu->SetFlags(0x08);
    const std::vector<uint8_t> bytes = StoreIlvu(*ilvu, s.sets);

    kxtest::MemoryProjectReader reader(bytes);
    kxtest::RecordingLog log;
    std::unique_ptr<CVobCell> loaded(CVobCell::Load(log, reader, s.sets, nullptr));
    ASSERT_NE(loaded, nullptr) << log.Dump();
    EXPECT_EQ(reader.GetTransferred(), bytes.size());
    ExpectSameIlvu(*ilvu, *loaded);
    // The output tables stand for the source until the next export.
    EXPECT_EQ(loaded->GetOutputVobus().GetSize(), int32_t(loaded->GetVobuCount()));
    EXPECT_EQ(StoreIlvu(*loaded, s.sets), bytes);
}

TEST(VobContentRecord, IlvuOfASetOutsideTheListIsRefused)
{
    Source s;
    std::unique_ptr<CVobCell> ilvu(CVobCell::CopyConstruct(*s.Pristine(0), nullptr));
    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    EXPECT_FALSE(ilvu->Store(log, writer, CVobDataList()));
    EXPECT_EQ(log.lines, std::vector<std::string>{"E:Can't find source data"});

    std::vector<uint8_t> bytes = StoreIlvu(*ilvu, s.sets);
    bytes[2] = 1; // VOB-set index 1 of a list of one
    kxtest::MemoryProjectReader reader(bytes);
    kxtest::RecordingLog readLog;
    EXPECT_EQ(CVobCell::Load(readLog, reader, s.sets, nullptr), nullptr);
    EXPECT_EQ(readLog.lines, std::vector<std::string>{"E:Unexpected archive content"});
}

TEST(VobContentRecord, IlvuBeyondTheRecordsCountsIsNotStored)
{
    CCellAddress address;
    address.m_wVobId = 3;
    address.m_nCellId = 4;
    address.m_dwLastSector = 0x20000;
    CVobuAddressList vobus;
    vobus.SetSize(0x10000);
    for (int32_t v = 0; v < vobus.GetSize(); ++v)
        vobus[v] = DWORD(v);
    std::unique_ptr<CVobCell> ilvu(new CVobCell(nullptr, address, vobus, nullptr));
    CVobDataList sets;
    sets.Add(nullptr);
    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    EXPECT_FALSE(ilvu->Store(log, writer, sets));
    EXPECT_EQ(log.lines, std::vector<std::string>{"E:Too many VOBUs in cell 3/4 to store."});
    EXPECT_TRUE(writer.bytes.empty());
}

// An ILVU record of an older version for cell 2 of the source: its two
// VOBUs, one range and one segment of version 1 without times.
RecordBytes OldIlvu(const Source& s, uint8_t version)
{
    const CVobCell& cell = *s.Pristine(1);
    RecordBytes record;
    record.U8(version);
    if (version >= 10)
        record.U8(0);
    record.U16(0).U16(cell.GetVobId()).U8(cell.GetCellId()).U32(12).U8(0);
    record.U16(2).U32(cell.GetSourceVobus()[0]).U32(cell.GetSourceVobus()[1]);
    record.U16(1).U32(cell.GetSourcePieces()[0]->m_dwFirstSector).U32(cell.GetSourcePieces()[0]->m_dwLastSector);
    record.U16(1).U8(1).U32(13).U32(0).U32(2).U16(0).Fill(24, 0x5A);
    if (version < 5)
        record.U8(0).U8(0); // no decoder records
    if (version >= 3)
        record.U32(0x1234);
    if (version >= 6)
        record.U32(0).U32(0);
    if (version >= 7)
        record.U16(77);
    if (version >= 8)
        record.U8(0);
    return record;
}

TEST(VobContentRecord, OlderIlvuVersionsLoad)
{
    Source s;
    ASSERT_TRUE(s.set->IsUsable()) << s.log.Dump();
    for (uint8_t version : {4, 5, 8})
    {
        SCOPED_TRACE(int(version));
        const RecordBytes record = OldIlvu(s, version);
        auto reader = kxtest::ReaderOf(record);
        kxtest::RecordingLog log;
        std::unique_ptr<CVobCell> loaded(CVobCell::Load(log, reader, s.sets, nullptr));
        ASSERT_NE(loaded, nullptr) << log.Dump();
        EXPECT_EQ(reader.GetTransferred(), record.Size());
        EXPECT_EQ(loaded->GetVobuCount(), 2u);
        EXPECT_EQ(loaded->GetUopMask().GetMask(), 0x1234u);
        EXPECT_FALSE(loaded->HasStillSource());
        // A segment of an ILVU before version 9 takes its times and forced
        // buttons from the highlight of its first VOBU; its colours stay.
        ASSERT_EQ(loaded->GetSegmentCount(), 1u);
        const CButtonSegment& segment = *loaded->GetSegment(0);
        EXPECT_EQ(segment.GetHliStartPtm(), 1000u);
        EXPECT_EQ(segment.GetHliEndPtm(), 5000u);
        EXPECT_EQ(segment.GetForcedSelect(), 0);
        EXPECT_EQ(segment.GetColorTable()[0], 0x5A);
        EXPECT_EQ(segment.GetButtonCount(), 0u);
    }
}

TEST(VobContentRecord, IlvusBeforeTheSerialNumberTakeTheNextOne)
{
    Source s;
    const RecordBytes record = OldIlvu(s, 5);
    std::vector<CVobCell*> loaded;
    for (int i = 0; i < 2; ++i)
    {
        auto reader = kxtest::ReaderOf(record);
        kxtest::RecordingLog log;
        loaded.push_back(CVobCell::Load(log, reader, s.sets, nullptr));
        ASSERT_NE(loaded.back(), nullptr) << log.Dump();
    }
    // Stored again, each record carries its own serial number.
    const std::vector<uint8_t> first = StoreIlvu(*loaded[0], s.sets);
    const std::vector<uint8_t> second = StoreIlvu(*loaded[1], s.sets);
    const size_t serial = first.size() - 3;
    const int a = first[serial] | first[serial + 1] << 8;
    const int b = second[serial] | second[serial + 1] << 8;
    EXPECT_EQ((a + 1) & 0xFFFF, b);
    for (CVobCell* ilvu : loaded)
        delete ilvu;
}

TEST(VobContentRecord, IlvuBeforeVersion5DropsTheDecoderRecords)
{
    Source s;
    RecordBytes record = OldIlvu(s, 4);
    record.bytes.resize(record.Size() - 2 - 4);
    record.U8(1).U8(1).U8(0).U64(0).U32(0).U16(0).U16(0).U16(1).U16(2).U16(3); // a source, frames set v0
    record.U8(0);                                                              // no parser
    record.U32(0x1234);
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    std::unique_ptr<CVobCell> loaded(CVobCell::Load(log, reader, s.sets, nullptr));
    ASSERT_NE(loaded, nullptr) << log.Dump();
    EXPECT_EQ(reader.GetTransferred(), record.Size());
}

TEST(VobContentRecord, BlockStoresTheIndicesOfItsPristineIlvus)
{
    Source s;
    const CGrowArray<CVobCell*> pristine = s.PristineList();
    CAngleBlockList domain(nullptr);
    CAngleBlock* block = domain.AddCell(CVobCell::CopyConstruct(*s.Pristine(0), nullptr), s.Pristine(0));
    CVobCell* second = CVobCell::CopyConstruct(*s.Pristine(1), nullptr);
    ASSERT_TRUE(block->AddCell(second, s.Pristine(1)));
    second->SetParent(block);

    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    ASSERT_TRUE(block->Store(log, writer, s.sets, pristine)) << log.Dump();

    CAngleBlock loaded(nullptr, nullptr, &domain);
    kxtest::MemoryProjectReader reader(writer.bytes);
    ASSERT_TRUE(loaded.Load(log, reader, pristine, s.sets, nullptr)) << log.Dump();
    EXPECT_EQ(reader.GetTransferred(), writer.bytes.size());
    ASSERT_EQ(loaded.GetIlvuCount(), 2u);
    EXPECT_EQ(loaded.GetPristine(0), s.Pristine(0));
    EXPECT_EQ(loaded.GetPristine(1), s.Pristine(1));
    EXPECT_EQ(loaded.IsInterleaved(), block->IsInterleaved());
    ExpectSameIlvu(*block->GetIlvu(1), *loaded.GetIlvu(1));
}

TEST(VobContentRecord, RefusedBlocks)
{
    Source s;
    const CGrowArray<CVobCell*> pristine = s.PristineList();
    CAngleBlockList domain(nullptr);
    CAngleBlock* block = domain.AddCell(CVobCell::CopyConstruct(*s.Pristine(0), nullptr), s.Pristine(0));
    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    ASSERT_TRUE(block->Store(log, writer, s.sets, pristine));
    const size_t pristineAt = writer.bytes.size() - 3;
    ASSERT_EQ(writer.bytes[pristineAt], 1);

    struct Case
    {
        const char* name;
        size_t offset;
        uint8_t value;
    };
    const Case cases[] = {
        {"version 4", 0, 4},
        {"pristine index outside the list", pristineAt, 4},
        {"interleaved flag 2", writer.bytes.size() - 1, 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = writer.bytes;
        bytes[c.offset] = c.value;
        CAngleBlock loaded(nullptr, nullptr, &domain);
        kxtest::MemoryProjectReader reader(bytes);
        kxtest::RecordingLog readLog;
        EXPECT_FALSE(loaded.Load(readLog, reader, pristine, s.sets, nullptr));
        EXPECT_EQ(readLog.lines, std::vector<std::string>{"E:Unexpected archive content"});
        EXPECT_EQ(loaded.GetIlvuCount(), 0u);
    }
}

TEST(VobContentRecord, OwnPristineDomainRoundTripsAndSurvivesDamage)
{
    Source s;
    ASSERT_TRUE(s.set->IsUsable()) << s.log.Dump();
    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    ASSERT_TRUE(s.Pristine().Store(log, writer, s.set.get())) << log.Dump();

    CAngleBlockList loaded(nullptr, true);
    kxtest::MemoryProjectReader reader(writer.bytes);
    kxtest::RecordingProgress progress;
    ASSERT_TRUE(loaded.Load(log, reader, &progress, s.set.get())) << log.Dump();
    EXPECT_EQ(progress.position, writer.bytes.size());
    ASSERT_EQ(loaded.GetBlockCount(), s.Pristine().GetBlockCount());
    for (uint32_t b = 0; b < loaded.GetBlockCount(); ++b)
        ExpectSameIlvu(*s.Pristine(b), *loaded.GetBlock(b)->GetIlvu(0));
    EXPECT_TRUE(loaded.GetStreams().Equals(s.Pristine().GetStreams()));

    for (size_t keep = 0; keep < writer.bytes.size(); keep += 7)
    {
        std::vector<uint8_t> cut(writer.bytes.begin(), writer.bytes.begin() + keep);
        CAngleBlockList damaged(nullptr, true);
        kxtest::MemoryProjectReader cutReader(cut);
        kxtest::RecordingLog cutLog;
        EXPECT_FALSE(damaged.Load(cutLog, cutReader, nullptr, s.set.get())) << keep;
        EXPECT_EQ(damaged.GetBlockCount(), 0u);
    }
    for (size_t i = 0; i < writer.bytes.size(); ++i)
    {
        std::vector<uint8_t> bytes = writer.bytes;
        bytes[i] ^= 0xFF;
        CAngleBlockList damaged(nullptr, true);
        kxtest::MemoryProjectReader damagedReader(bytes);
        kxtest::RecordingLog damagedLog;
        damaged.Load(damagedLog, damagedReader, nullptr, s.set.get());
        EXPECT_LE(damagedReader.GetTransferred(), bytes.size());
    }
}

} // namespace
