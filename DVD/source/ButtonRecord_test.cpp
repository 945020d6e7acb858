#include "DVD/source/button.h"

#include <gtest/gtest.h>

#include <memory>

#include "DVD/source/RecordTestSupport.h"
#include "tests/support/TestSinks.h"

using kxtest::RecordBytes;

namespace
{

// A button record whose values follow from its seed.
void AddButton(RecordBytes& record, uint32_t seed, uint32_t groups = 2)
{
    record.U8(1).U8(0x08).U32(groups);
    for (uint32_t g = 0; g < 3; ++g)
    {
        record.U8(g + seed).Fill(3);
        record.U32(uint32_t(-1)).U32(seed).U32(g).U32(seed + 1);
        record.U32(10 + g).U32(20 + g).U32(110 + g).U32(120 + seed);
        record.U8(0x71).U8(seed).Fill(5).U8(g);
        record.U8(g & 1).Fill(3).U32((seed + g) & 3);
    }
}

RecordBytes Segment(uint8_t version, uint32_t buttons)
{
    RecordBytes record;
    record.U8(version);
    if (version >= 3)
        record.U8(0x0A);
    record.U32(13).U32(4).U32(6).U16(buttons);
    for (uint32_t b = 0; b < buttons; ++b)
        AddButton(record, b + 1);
    for (int i = 0; i < 24; ++i)
        record.U8(0x30 + i);
    if (version >= 2)
        record.U32(100).U32(200).U32(150).U32(1).U32(2).U32(1).U32(uint32_t(-1));
    return record;
}

std::unique_ptr<CButtonSegment> LoadSegment(const RecordBytes& record, kxtest::RecordingLog& log, uint8_t& version,
                                            uint64_t* transferred = nullptr)
{
    auto reader = kxtest::ReaderOf(record);
    std::unique_ptr<CButtonSegment> segment(CButtonSegment::Load(log, reader, nullptr, version));
    if (transferred != nullptr)
        *transferred = reader.GetTransferred();
    return segment;
}

TEST(ButtonRecord, SegmentLoadsEveryFieldAndStoresTheSameBytes)
{
    const RecordBytes record = Segment(3, 2);
    kxtest::RecordingLog log;
    uint8_t version = 0;
    uint64_t transferred = 0;
    auto segment = LoadSegment(record, log, version, &transferred);
    ASSERT_NE(segment, nullptr) << log.Dump();
    EXPECT_EQ(version, 3);
    EXPECT_EQ(transferred, record.Size());
    EXPECT_EQ(segment->GetFlags(), 0x0A);
    EXPECT_EQ(segment->GetFirstVobu(), 4u);
    EXPECT_EQ(segment->GetVobuCount(), 6u);
    EXPECT_EQ(segment->GetColorTable()[23], 0x30 + 23);
    EXPECT_EQ(segment->GetHliStartPtm(), 100u);
    EXPECT_EQ(segment->GetHliEndPtm(), 200u);
    EXPECT_EQ(segment->GetSelectEndPtm(), 150u);
    EXPECT_EQ(segment->GetButtonOffset(), 1u);
    EXPECT_EQ(segment->GetNumericCount(), 2u);
    EXPECT_EQ(segment->GetForcedSelect(), 1);
    EXPECT_EQ(segment->GetForcedAction(), -1);
    ASSERT_EQ(segment->GetButtonCount(), 2u);
    const CDvdButton* button = segment->GetButton(1);
    EXPECT_EQ(button->GetParent(), segment.get());
    EXPECT_EQ(button->GetFlags(), 0x08);
    EXPECT_EQ(button->GetGroupCount(), 2u);
    const CButtonGroupEntry& group = button->GetGroup(2);
    EXPECT_EQ(group.nDisplayType, 4);
    EXPECT_EQ(group.neighbours[BTNDIR_LEFT], -1);
    EXPECT_EQ(group.neighbours[BTNDIR_RIGHT], 2);
    EXPECT_EQ(group.neighbours[BTNDIR_DOWN], 3);
    EXPECT_EQ(group.dwXStart, 12u);
    EXPECT_EQ(group.dwYEnd, 122u);
    EXPECT_EQ(group.command[0], 0x71);
    EXPECT_EQ(group.command[7], 2);
    EXPECT_EQ(group.bAutoAction, 0);
    EXPECT_EQ(group.nColorTable, 0u);

    kxtest::MemoryProjectWriter writer;
    ASSERT_TRUE(segment->Store(log, writer));
    EXPECT_EQ(writer.bytes, record.bytes);
}

TEST(ButtonRecord, Version1SegmentHasNoFlagsTimesOrForcedButtons)
{
    const RecordBytes record = Segment(1, 1);
    kxtest::RecordingLog log;
    uint8_t version = 0;
    uint64_t transferred = 0;
    auto segment = LoadSegment(record, log, version, &transferred);
    ASSERT_NE(segment, nullptr) << log.Dump();
    EXPECT_EQ(version, 1);
    EXPECT_EQ(transferred, record.Size());
    EXPECT_EQ(segment->GetFlags(), 0);
    EXPECT_EQ(segment->GetHliEndPtm(), 0u);
    EXPECT_EQ(segment->GetForcedSelect(), -1);
    EXPECT_EQ(segment->GetForcedAction(), -1);
    EXPECT_EQ(segment->GetButtonCount(), 1u);
}

TEST(ButtonRecord, RefusedSegments)
{
    struct Case
    {
        const char* name;
        RecordBytes record;
        const char* message;
    };
    RecordBytes tooManyGroups = Segment(3, 0);
    tooManyGroups.bytes[1 + 1 + 12] = 1; // one button announced...
    RecordBytes withButton;
    withButton.U8(3).U8(0).U32(13).U32(0).U32(1).U16(1);
    AddButton(withButton, 1, 4); // ...with four groups
    withButton.Fill(24);
    RecordBytes noGroups;
    noGroups.U8(3).U8(0).U32(13).U32(0).U32(1).U16(1);
    AddButton(noGroups, 1, 0);
    noGroups.Fill(24);
    RecordBytes buttonVersion = Segment(3, 1);
    buttonVersion.bytes[2 + 12 + 2] = 2;
    RecordBytes newer = Segment(3, 0);
    newer.bytes[0] = 4;
    const Case cases[] = {
        {"37 buttons", Segment(3, 37), "E:Too many buttons (37)."},
        {"four groups", withButton, "E:Unexpected archive content"},
        {"no group", noGroups, "E:Unexpected archive content"},
        {"button version 2", buttonVersion, "E:Unexpected archive content"},
        {"segment version 4", newer, "E:Unexpected archive content"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        kxtest::RecordingLog log;
        uint8_t version = 0;
        EXPECT_EQ(LoadSegment(c.record, log, version), nullptr);
        EXPECT_EQ(log.lines, std::vector<std::string>{c.message});
    }
    // 36 buttons are the most a segment holds.
    kxtest::RecordingLog log;
    uint8_t version = 0;
    auto segment = LoadSegment(Segment(3, 36), log, version);
    ASSERT_NE(segment, nullptr) << log.Dump();
    EXPECT_EQ(segment->GetButtonCount(), 36u);
}

TEST(ButtonRecord, CutSegmentsFailWithoutReadingOn)
{
    const RecordBytes record = Segment(3, 3);
    for (size_t keep = 0; keep < record.Size(); ++keep)
    {
        RecordBytes cut = record;
        cut.bytes.resize(keep);
        kxtest::RecordingLog log;
        uint8_t version = 0;
        uint64_t transferred = 0;
        EXPECT_EQ(LoadSegment(cut, log, version, &transferred), nullptr) << keep;
        EXPECT_LE(transferred, keep);
    }
}

} // namespace
