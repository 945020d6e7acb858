// The disc's project record: store, load and the refusal of damaged streams.
#include "DVD/source/DVD.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "DVD/source/ProjectStream.h"
#include "tests/support/MemoryProjectStream.h"
#include "tests/support/TestSinks.h"

using kxtest::MemoryProjectReader;
using kxtest::MemoryProjectWriter;
using kxtest::RecordingLog;

namespace
{

CParentalRecord* MakeParental(uint16_t country, uint16_t firstMask)
{
    auto* record = new CParentalRecord;
    record->nCountry = country;
    for (int k = 0; k < 8; ++k)
        record->masks[k] = static_cast<uint16_t>(firstMask + k);
    return record;
}

std::vector<uint8_t> Store(CDvd& dvd)
{
    RecordingLog log;
    MemoryProjectWriter writer;
    EXPECT_TRUE(dvd.Store(log, writer, nullptr)) << log.Dump();
    return writer.bytes;
}

// A disc of three title sets with parental records and distinct values.
void Fill(CDvd& dvd)
{
    dvd.AddVtsCopy(*dvd.GetVts(0));
    dvd.AddVtsCopy(*dvd.GetVts(0));
    for (unsigned i = 0; i < 3; ++i)
    {
        dvd.GetVts(i)->SetCategory(0x100 + i);
        dvd.GetVts(i)->GetParentalRecords().Add(MakeParental(0x4445, static_cast<uint16_t>(10 * i)));
    }
    dvd.GetVmg().SetCategory(0x00FE0001);
    dvd.GetVmg().GetParentalRecords().Add(MakeParental(0x4445, 500));
    dvd.GetVmg().GetParentalRecords().Add(MakeParental(0x5553, 600));
    dvd.SetFlags(0x48);
}

// The layout of a stored disc whose title sets are all empty: the disc's
// own fields with the VMG record, the 16-bit count, then one title-set
// record per title set, all alike. Measured on what the disc stores, so the
// shells below follow the records as they grow.
struct StoredLayout
{
    StoredLayout()
    {
        CDvd one;
        CDvd two;
        two.AddVtsCopy(*two.GetVts(0));
        const std::vector<uint8_t> oneBytes = Store(one);
        const std::vector<uint8_t> twoBytes = Store(two);
        vtsRecord.assign(oneBytes.end() - static_cast<std::ptrdiff_t>(twoBytes.size() - oneBytes.size()),
                         oneBytes.end());
        head.assign(oneBytes.begin(), oneBytes.end() - static_cast<std::ptrdiff_t>(vtsRecord.size()) - 2);
    }
    std::vector<uint8_t> head;      // version, marker, flags, VMG record
    std::vector<uint8_t> vtsRecord; // the record of one empty title set
};

// A stream of count empty title sets with the given disc record version.
std::vector<uint8_t> ShellWithTitleSets(uint8_t version, unsigned count)
{
    const StoredLayout layout;
    std::vector<uint8_t> bytes = layout.head;
    bytes[0] = version;
    if (version == 1)
        bytes.erase(bytes.begin() + 1); // no marker
    bytes.push_back(static_cast<uint8_t>(count));
    bytes.push_back(static_cast<uint8_t>(count >> 8));
    for (unsigned i = 0; i < count; ++i)
        bytes.insert(bytes.end(), layout.vtsRecord.begin(), layout.vtsRecord.end());
    return bytes;
}

void ExpectResetDisc(const CDvd& dvd)
{
    ASSERT_EQ(dvd.GetVtsCount(), 1u);
    EXPECT_EQ(dvd.GetVts(0)->GetCategory(), 0u);
    EXPECT_EQ(dvd.GetVts(0)->GetParentalRecords().GetSize(), 0u);
    EXPECT_EQ(dvd.GetVmg().GetCategory(), 0u);
}

} // namespace

TEST(DvdProject, EmptyDiscStoresAndLoads)
{
    CDvd dvd;
    dvd.ClearModified();
    const std::vector<uint8_t> bytes = Store(dvd);
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 2); // version
    EXPECT_EQ(bytes[1], 1); // marker
    EXPECT_EQ(bytes[2], 0); // flags

    CDvd loaded;
    loaded.AddVtsCopy(*loaded.GetVts(0));
    const uint64_t id = loaded.GetId();
    RecordingLog log;
    MemoryProjectReader reader(bytes);
    EXPECT_TRUE(loaded.Load(log, reader, nullptr)) << log.Dump();
    EXPECT_EQ(reader.GetBytesLeft(), 0u);
    EXPECT_EQ(loaded.GetVtsCount(), 1u);
    EXPECT_EQ(loaded.GetFlags(), 0);
    EXPECT_EQ(loaded.GetId(), id); // a loaded disc keeps its own identity
    EXPECT_TRUE(log.lines.empty()) << log.Dump();
}

TEST(DvdProject, StoreThenLoadGivesTheSameDisc)
{
    CDvd dvd;
    Fill(dvd);
    kxtest::RecordingProgress storeProgress;
    RecordingLog log;
    MemoryProjectWriter writer;
    ASSERT_TRUE(dvd.Store(log, writer, &storeProgress));
    EXPECT_EQ(storeProgress.range, 4u);
    EXPECT_EQ(storeProgress.position, 4u);
    EXPECT_EQ(storeProgress.texts,
              (std::vector<std::string>{"Writing VMG.", "Writing VTS 1.", "Writing VTS 2.", "Writing VTS 3."}));

    CDvd loaded;
    kxtest::RecordingProgress loadProgress;
    MemoryProjectReader reader(writer.bytes);
    ASSERT_TRUE(loaded.Load(log, reader, &loadProgress)) << log.Dump();
    EXPECT_EQ(loadProgress.range, writer.bytes.size());
    EXPECT_EQ(loadProgress.position, writer.bytes.size());
    EXPECT_EQ(loadProgress.texts, (std::vector<std::string>{"Reading VMG.", "Reading VTS 1 of 3.",
                                                            "Reading VTS 2 of 3.", "Reading VTS 3 of 3."}));
    EXPECT_EQ(loaded.GetFlags(), 0x48);
    EXPECT_EQ(loaded.GetVmg().GetCategory(), 0x00FE0001u);
    EXPECT_EQ(loaded.GetVmg().GetFlags(), dvd.GetVmg().GetFlags());
    ASSERT_EQ(loaded.GetVmg().GetParentalRecords().GetSize(), 2u);
    EXPECT_EQ(loaded.GetVmg().GetParentalRecords()[1]->nCountry, 0x5553);
    EXPECT_EQ(loaded.GetVmg().GetParentalRecords()[1]->masks[7], 607);
    ASSERT_EQ(loaded.GetVtsCount(), 3u);
    for (unsigned i = 0; i < 3; ++i)
    {
        const CVts* vts = loaded.GetVts(i);
        EXPECT_EQ(vts->GetParent(), &loaded);
        EXPECT_EQ(vts->GetCategory(), 0x100 + i);
        EXPECT_EQ(vts->GetFlags(), dvd.GetVts(i)->GetFlags());
        ASSERT_EQ(vts->GetParentalRecords().GetSize(), 1u);
        EXPECT_EQ(vts->GetParentalRecords()[0]->masks[1], 10 * i + 1);
    }
    // Storing the loaded disc gives the same bytes.
    EXPECT_EQ(Store(loaded), writer.bytes);
}

TEST(DvdProject, VersionAndMarkerAreChecked)
{
    CDvd dvd;
    std::vector<uint8_t> good = Store(dvd);
    struct Case
    {
        const char* name;
        std::vector<uint8_t> bytes;
        bool loads;
    };
    std::vector<uint8_t> marker0 = good;
    marker0[1] = 0;
    std::vector<uint8_t> version0 = good;
    version0[0] = 0;
    std::vector<uint8_t> newer = good;
    newer[0] = 3;
    std::vector<uint8_t> newest = good;
    newest[0] = 0xFF;
    std::vector<uint8_t> marker7 = good;
    marker7[1] = 7;
    const Case cases[] = {
        {"as stored", good, true},
        {"any marker but 0", marker7, true},
        {"version 1 has no marker", ShellWithTitleSets(1, 2), true},
        {"marker 0", marker0, false},
        {"version 0", version0, false},
        {"newer version", newer, false},
        {"newest version", newest, false},
        {"empty stream", {}, false},
    };
    for (const Case& c : cases)
    {
        CDvd loaded;
        loaded.AddVtsCopy(*loaded.GetVts(0));
        RecordingLog log;
        MemoryProjectReader reader(c.bytes);
        EXPECT_EQ(loaded.Load(log, reader, nullptr), c.loads) << c.name << "\n" << log.Dump();
        if (c.loads)
            continue;
        EXPECT_TRUE(log.Has('E', "Unexpected archive content")) << c.name << "\n" << log.Dump();
        EXPECT_NE(log.locations[0].find("DVD.cpp"), std::string::npos) << c.name;
        ExpectResetDisc(loaded);
    }
}

TEST(DvdProject, At99TitleSetsTheLimitHolds)
{
    {
        CDvd loaded;
        RecordingLog log;
        MemoryProjectReader reader(ShellWithTitleSets(2, 99));
        EXPECT_TRUE(loaded.Load(log, reader, nullptr)) << log.Dump();
        ASSERT_EQ(loaded.GetVtsCount(), 99u);
        EXPECT_EQ(loaded.GetVts(98)->GetParent(), &loaded);
    }
    for (unsigned count : {100u, 0xFFFFu})
    {
        CDvd loaded;
        RecordingLog log;
        MemoryProjectReader reader(ShellWithTitleSets(2, count));
        EXPECT_FALSE(loaded.Load(log, reader, nullptr));
        ASSERT_EQ(log.lines.size(), 1u) << log.Dump();
        EXPECT_EQ(log.lines[0], "E:Too many titlesets (" + std::to_string(count) + ")");
        ExpectResetDisc(loaded);
    }
}

TEST(DvdProject, CountsBeyondTheStreamAreRefusedBeforeAllocating)
{
    // 50 title sets announced, 2 present.
    const StoredLayout layout;
    std::vector<uint8_t> bytes = ShellWithTitleSets(2, 2);
    bytes[layout.head.size()] = 50;
    CDvd loaded;
    RecordingLog log;
    MemoryProjectReader reader(bytes);
    EXPECT_FALSE(loaded.Load(log, reader, nullptr));
    EXPECT_TRUE(log.Has('E', "Unexpected archive content")) << log.Dump();
    ExpectResetDisc(loaded);
}

TEST(DvdProject, FailedTitleSetLoadNamesIt)
{
    const StoredLayout layout;
    std::vector<uint8_t> bytes = ShellWithTitleSets(2, 3);
    bytes[layout.head.size() + 2 + 2 * layout.vtsRecord.size()] = 99; // third title set: a version from the future
    CDvd loaded;
    RecordingLog log;
    MemoryProjectReader reader(bytes);
    EXPECT_FALSE(loaded.Load(log, reader, nullptr));
    ASSERT_EQ(log.lines.size(), 2u) << log.Dump();
    EXPECT_EQ(log.lines[0], "E:Unexpected archive content");
    EXPECT_EQ(log.lines[1], "I:Can't read VTS 3.");
    ExpectResetDisc(loaded);
}

TEST(DvdProject, TruncatedStreamsAreRefused)
{
    CDvd dvd;
    Fill(dvd);
    const std::vector<uint8_t> bytes = Store(dvd);
    for (size_t length = 0; length < bytes.size(); ++length)
    {
        CDvd loaded;
        RecordingLog log;
        MemoryProjectReader reader(std::vector<uint8_t>(bytes.begin(), bytes.begin() + length));
        EXPECT_FALSE(loaded.Load(log, reader, nullptr)) << "length " << length;
        EXPECT_GE(log.Count('E'), 1) << "length " << length << "\n" << log.Dump();
        ExpectResetDisc(loaded);
    }
}

TEST(DvdProject, BitFlippedStreamsNeverCrash)
{
    CDvd dvd;
    Fill(dvd);
    const std::vector<uint8_t> bytes = Store(dvd);
    int refused = 0;
    for (size_t at = 0; at < bytes.size(); ++at)
    {
        for (int bit = 0; bit < 8; ++bit)
        {
            std::vector<uint8_t> flipped = bytes;
            flipped[at] ^= static_cast<uint8_t>(1 << bit);
            CDvd loaded;
            RecordingLog log;
            MemoryProjectReader reader(flipped);
            if (loaded.Load(log, reader, nullptr))
            {
                // What loads is a whole disc; a smaller title-set count leaves
                // the later records unread.
                EXPECT_EQ(log.Count('E'), 0);
                EXPECT_LE(loaded.GetVtsCount(), 3u) << "byte " << at << " bit " << bit;
                if (loaded.GetVtsCount() < 3)
                {
                    EXPECT_GT(reader.GetBytesLeft(), 0u);
                }
                for (unsigned i = 0; i < loaded.GetVtsCount(); ++i)
                    EXPECT_EQ(loaded.GetVts(i)->GetParent(), &loaded);
            }
            else
            {
                ++refused;
                EXPECT_GE(log.Count('E'), 1) << "byte " << at << " bit " << bit;
                ExpectResetDisc(loaded);
            }
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(DvdProject, FailedTitleSetStoreIsNamedUnlessCancelled)
{
    CDvd dvd;
    Fill(dvd);
    const size_t whole = Store(dvd).size();
    // Room for everything but the last title set's record.
    const size_t limit = whole - 10;
    {
        RecordingLog log;
        MemoryProjectWriter writer(limit);
        EXPECT_FALSE(dvd.Store(log, writer, nullptr));
        EXPECT_EQ(log.lines.back(), "I:Can't write VTS 3");
    }
    {
        RecordingLog log;
        log.ReportCancel();
        MemoryProjectWriter writer(limit);
        EXPECT_FALSE(dvd.Store(log, writer, nullptr));
        EXPECT_EQ(log.lines.size(), 1u) << log.Dump();
    }
    for (size_t tiny : {0, 2, 10})
    {
        RecordingLog log;
        MemoryProjectWriter writer(tiny);
        EXPECT_FALSE(dvd.Store(log, writer, nullptr)) << tiny;
    }
}
