#include "DVD/source/AngleBlock.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "DVD/source/VobCell.h"
#include "DVD/source/PgcTestSupport.h"
#include "DVD/source/RecordTestSupport.h"
#include "tests/support/TestSinks.h"

using kxtest::RecordBytes;

namespace
{

using pgctest::Command;
using pgctest::MakeCommand;

CVobCell* MakeIlvu(WORD vobId, BYTE cellId)
{
    return pgctest::MakeBareIlvu(vobId, cellId);
}

// A domain of three blocks, the second with two angles.
struct Domain
{
    Domain()
    {
        domain.AddCell(MakeIlvu(1, 1), nullptr);
        CAngleBlock* second = domain.AddCell(MakeIlvu(1, 2), nullptr);
        CVobCell* angle = MakeIlvu(2, 2);
        angle->SetParent(second);
        EXPECT_TRUE(second->AddCell(angle, nullptr));
        domain.AddCell(MakeIlvu(1, 3), nullptr);
        domain.GetBlocks(blocks);
    }
    CAngleBlockList domain{nullptr};
    CBlockIndex blocks;
};

// Fills every field of a PGC with values of its own, playing the domain.
void FillPgc(CPgc& pgc, const Domain& d, BYTE seed)
{
    pgc.m_nCategory = BYTE(0x80 | seed);
    pgc.m_wParentalMask = WORD(0x0102 * seed);
    pgc.m_uops.SetMask(0x01020300u + seed);
    for (int i = 0; i < PGC_AUDIO_CONTROLS; ++i)
        pgc.m_audio[i] = {BYTE((i + seed) & 7), BYTE(i & 1)};
    for (int i = 0; i < PGC_SUBPICTURE_CONTROLS; ++i)
        pgc.m_subpictures[i] = {{BYTE(i), BYTE(i + 1), BYTE(i + 2), BYTE(seed)}, BYTE((i + 1) & 1)};
    pgc.m_wNextPgc = 2;
    pgc.m_wPrevPgc = 3;
    pgc.m_wGoUpPgc = 4;
    pgc.m_nPlaybackMode = 0x81;
    pgc.m_nStillTime = seed;
    for (int i = 0; i < PGC_COLOURS; ++i)
        for (int k = 0; k < 4; ++k)
            pgc.m_colours.colours[i][k] = BYTE(i * 4 + k + seed);
    pgc.m_preCommands.Add(MakeCommand(0x30, seed).data());
    pgc.m_postCommands.Add(MakeCommand(0x20, seed).data());
    pgc.m_postCommands.Add(MakeCommand(0x21, seed).data());
    pgc.m_cellCommands.Add(MakeCommand(0x22, seed).data());
    CGrowArray<BYTE> one;
    one.Add(0);
    CGrowArray<BYTE> two;
    two.Add(1);
    two.Add(0);
    pgc.AddCell(new CPgcCell(1, 0, 5, 1, d.blocks[2], one, &pgc));
    pgc.AddCell(new CPgcCell(0, 1, 0, 0, d.blocks[1], two, &pgc));
    pgc.AddProgram(0);
    pgc.AddProgram(1);
}

void ExpectSameCommands(const CPgcCommands& a, const CPgcCommands& b)
{
    ASSERT_EQ(a.GetCount(), b.GetCount());
    EXPECT_EQ(a.GetFlags(), b.GetFlags());
    for (uint32_t i = 0; i < a.GetCount(); ++i)
    {
        EXPECT_EQ(0, memcmp(a.GetCommand(i), b.GetCommand(i), PGC_COMMAND_SIZE));
        EXPECT_EQ(a.GetMark(i), b.GetMark(i));
    }
}

void ExpectSamePgc(const CPgc& a, const CPgc& b)
{
    EXPECT_EQ(a.GetFlags(), b.GetFlags());
    EXPECT_EQ(a.m_nMenu, b.m_nMenu);
    EXPECT_EQ(a.m_nCategory, b.m_nCategory);
    EXPECT_EQ(a.m_wParentalMask, b.m_wParentalMask);
    EXPECT_EQ(a.m_uops.GetMask(), b.m_uops.GetMask());
    for (int i = 0; i < PGC_AUDIO_CONTROLS; ++i)
    {
        EXPECT_EQ(a.m_audio[i].nStream, b.m_audio[i].nStream);
        EXPECT_EQ(a.m_audio[i].bEnabled, b.m_audio[i].bEnabled);
    }
    for (int i = 0; i < PGC_SUBPICTURE_CONTROLS; ++i)
    {
        EXPECT_EQ(0, memcmp(a.m_subpictures[i].nStreams, b.m_subpictures[i].nStreams, 4));
        EXPECT_EQ(a.m_subpictures[i].bEnabled, b.m_subpictures[i].bEnabled);
    }
    EXPECT_EQ(a.m_wNextPgc, b.m_wNextPgc);
    EXPECT_EQ(a.m_wPrevPgc, b.m_wPrevPgc);
    EXPECT_EQ(a.m_wGoUpPgc, b.m_wGoUpPgc);
    EXPECT_EQ(a.m_nPlaybackMode, b.m_nPlaybackMode);
    EXPECT_EQ(a.m_nStillTime, b.m_nStillTime);
    EXPECT_EQ(0, memcmp(a.m_colours.colours, b.m_colours.colours, sizeof(a.m_colours.colours)));
    ExpectSameCommands(a.m_preCommands, b.m_preCommands);
    ExpectSameCommands(a.m_postCommands, b.m_postCommands);
    ExpectSameCommands(a.m_cellCommands, b.m_cellCommands);
    EXPECT_EQ(a.m_blockList.GetFlags(), b.m_blockList.GetFlags());
    ASSERT_EQ(a.GetCellCount(), b.GetCellCount());
    for (uint32_t i = 0; i < a.GetCellCount(); ++i)
    {
        const CPgcCell* ca = a.GetCell(i);
        const CPgcCell* cb = b.GetCell(i);
        EXPECT_EQ(ca->GetBlock(), cb->GetBlock());
        EXPECT_EQ(ca->m_bRestricted, cb->m_bRestricted);
        EXPECT_EQ(ca->m_nStillTime, cb->m_nStillTime);
        EXPECT_EQ(ca->m_bSeamless, cb->m_bSeamless);
        EXPECT_EQ(ca->m_nCellCommand, cb->m_nCellCommand);
        ASSERT_EQ(ca->GetAngleCount(), cb->GetAngleCount());
        for (int k = 0; k < ca->GetAngleCount(); ++k)
            EXPECT_EQ(ca->GetAngle(k), cb->GetAngle(k));
    }
    ASSERT_EQ(a.GetProgramCount(), b.GetProgramCount());
    for (int i = 0; i < a.GetProgramCount(); ++i)
        EXPECT_EQ(a.GetProgramStart(i), b.GetProgramStart(i));
}

std::vector<uint8_t> StoreTable(const CPgcTable& table, const Domain& d)
{
    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    EXPECT_TRUE(table.Store(log, writer, d.blocks)) << log.Dump();
    return writer.bytes;
}

// A table of two filled PGCs, its flags and the PGCs' own varied.
struct Table
{
    explicit Table(const Domain& d)
    {
        for (BYTE seed = 1; seed <= 2; ++seed)
        {
            CPgc* pgc = new CPgc(1, &table);
            table.AddPgc(pgc);
            FillPgc(*pgc, d, seed);
            pgc->SetFlags(BYTE(0x08 | (seed << 4)));
        }
        table.SetFlags(0x48);
    }
    CPgcTable table{1, nullptr};
};

TEST(PgcRecord, TableRoundTripsFieldByField)
{
    Domain d;
    Table source(d);
    const std::vector<uint8_t> bytes = StoreTable(source.table, d);

    CPgcTable loaded(0, nullptr);
    kxtest::MemoryProjectReader reader(bytes);
    kxtest::RecordingLog log;
    kxtest::RecordingProgress progress;
    ASSERT_TRUE(loaded.Load(log, reader, d.blocks, &progress)) << log.Dump();
    EXPECT_EQ(reader.GetTransferred(), bytes.size());
    EXPECT_EQ(progress.position, bytes.size());
    EXPECT_EQ(loaded.GetFlags(), source.table.GetFlags());
    EXPECT_EQ(loaded.GetMenuFlag(), 1);
    ASSERT_EQ(loaded.GetPgcCount(), 2u);
    for (uint32_t i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(loaded.GetPgc(i)->GetParent(), &loaded);
        ExpectSamePgc(*source.table.GetPgc(i), *loaded.GetPgc(i));
    }
    // Stored again, the loaded table gives the same bytes.
    EXPECT_EQ(StoreTable(loaded, d), bytes);
}

TEST(PgcRecord, CommandMarksSurviveTheRecord)
{
    CPgc pgc(0, nullptr);
    pgc.m_preCommands.Add(MakeCommand(0x30).data());
    RecordBytes record;
    record.U8(2).U8(0x02).U16(2);
    const Command c1 = MakeCommand(0x30, 1), c2 = MakeCommand(0x31, 2);
    record.Raw({c1.begin(), c1.end()}).U8(1).Raw({c2.begin(), c2.end()}).U8(0);
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    ASSERT_TRUE(pgc.m_preCommands.Load(reader, log));
    ASSERT_EQ(pgc.m_preCommands.GetCount(), 2u);
    EXPECT_EQ(pgc.m_preCommands.GetMark(0), 1);
    EXPECT_EQ(pgc.m_preCommands.GetMark(1), 0);
    EXPECT_EQ(pgc.m_preCommands.GetFlags(), 0x02);
    EXPECT_EQ(0, memcmp(pgc.m_preCommands.GetCommand(1), c2.data(), 8));

    kxtest::MemoryProjectWriter writer;
    ASSERT_TRUE(pgc.m_preCommands.Store(writer));
    EXPECT_EQ(writer.bytes, record.bytes);
}

TEST(PgcRecord, CommandTableVersionsAndCounts)
{
    struct Case
    {
        uint8_t version;
        uint32_t count;
        bool loads;
    };
    const Case cases[] = {
        {1, 3, true},    // no mark bytes
        {2, 128, true},  // the most a table holds
        {2, 129, false}, // one more is refused
        {3, 0, false},   // a newer record
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(int(c.version) * 1000 + int(c.count));
        RecordBytes record;
        record.U8(c.version).U8(0).U16(c.count);
        for (uint32_t i = 0; i < c.count; ++i)
        {
            record.U8(0x30).Fill(6).U8(i & 0xFF);
            if (c.version >= 2)
                record.U8(1);
        }
        CPgc pgc(0, nullptr);
        auto reader = kxtest::ReaderOf(record);
        kxtest::RecordingLog log;
        EXPECT_EQ(pgc.m_postCommands.Load(reader, log), c.loads);
        if (c.loads)
        {
            EXPECT_EQ(pgc.m_postCommands.GetCount(), c.count);
            EXPECT_EQ(reader.GetTransferred(), record.Size());
            if (c.count > 0)
            {
                EXPECT_EQ(pgc.m_postCommands.GetMark(c.count - 1), c.version >= 2 ? 1 : 0);
            }
        }
        else
        {
            EXPECT_EQ(log.lines, std::vector<std::string>{"E:Unexpected archive content"});
        }
    }
}

// The PGC record as the older versions wrote it, with one cell entry in a
// cell list of the given version.
RecordBytes OldPgc(uint8_t version, BYTE menu, BYTE category, uint8_t cellVersion, uint32_t angles)
{
    RecordBytes record;
    record.U8(version).U8(0).U8(25).U8(menu).U8(category).U16(0x0004).U32(0x10);
    if (version >= 2)
    {
        for (int i = 0; i < PGC_AUDIO_CONTROLS; ++i)
            record.U8(i).U8(i == 0);
        for (int i = 0; i < PGC_SUBPICTURE_CONTROLS; ++i)
            record.U8(i).U8(1).U8(2).U8(3).U8(i == 1);
    }
    else
    {
        record.U16(2).U8(3).U8(4);
        record.U16(1).U8(5).U8(6).U8(7).U8(8);
    }
    record.U16(1).U16(2).U16(3).U8(0);
    if (version >= 4)
        record.U8(7);
    record.Fill(64, 0x11);
    const int tables = version >= 3 ? 3 : 2;
    for (int t = 0; t < tables; ++t)
        record.U8(1).U8(0).U16(1).U8(0x20).Fill(6).U8(t + 1);
    record.U8(cellVersion).U8(0).U16(1).U8(0).U8(0).U8(0);
    if (cellVersion >= 4)
        record.U8(1);
    record.U16(1);
    if (cellVersion >= 3)
    {
        record.U8(angles);
        for (uint32_t a = 0; a < angles; ++a)
            record.U8(a % 2);
    }
    record.U16(1).U8(0);
    return record;
}

TEST(PgcRecord, OlderPgcVersionsLoad)
{
    Domain d;
    struct Case
    {
        uint8_t version;
        BYTE menu;
        BYTE category;
        BYTE loadedCategory;
    };
    const Case cases[] = {
        {4, 1, 0x03, 0x83}, // a menu PGC of a menu type gets the entry bit
        {4, 1, 0x00, 0x00},
        {4, 0, 0x03, 0x03}, // not a menu PGC
        {5, 1, 0x03, 0x03}, // the current version keeps what it stored
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(int(c.version) * 1000 + c.category);
        const RecordBytes record = OldPgc(c.version, c.menu, c.category, 4, 2);
        CPgc pgc(1, nullptr);
        auto reader = kxtest::ReaderOf(record);
        kxtest::RecordingLog log;
        ASSERT_TRUE(pgc.Load(log, reader, d.blocks, nullptr)) << log.Dump();
        EXPECT_EQ(reader.GetTransferred(), record.Size());
        EXPECT_EQ(pgc.m_nCategory, c.loadedCategory);
        EXPECT_EQ(pgc.m_nStillTime, 7);
    }
}

TEST(PgcRecord, Version2HasNoCellCommandsAndNoStillTime)
{
    Domain d;
    const RecordBytes record = OldPgc(2, 1, 0x02, 2, 0);
    CPgc pgc(1, nullptr);
    pgc.m_cellCommands.Add(MakeCommand(0x20).data());
    pgc.m_nStillTime = 9;
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    ASSERT_TRUE(pgc.Load(log, reader, d.blocks, nullptr)) << log.Dump();
    EXPECT_EQ(reader.GetTransferred(), record.Size());
    EXPECT_EQ(pgc.m_cellCommands.GetCount(), 0u);
    EXPECT_EQ(pgc.m_preCommands.GetCount(), 1u);
    EXPECT_EQ(pgc.m_nStillTime, 0);
    EXPECT_EQ(pgc.m_nCategory, 0x82);
    // A cell list before angles plays every angle of its block, seamless.
    ASSERT_EQ(pgc.GetCellCount(), 1u);
    EXPECT_EQ(pgc.GetCell(0)->GetBlock(), d.blocks[1]);
    EXPECT_EQ(pgc.GetCell(0)->GetAngleCount(), 2);
    EXPECT_EQ(pgc.GetCell(0)->m_bSeamless, 1);
}

TEST(PgcRecord, Version1KeepsOnlyTheEnabledControls)
{
    Domain d;
    const RecordBytes record = OldPgc(1, 0, 0, 3, 1);
    CPgc pgc(0, nullptr);
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    ASSERT_TRUE(pgc.Load(log, reader, d.blocks, nullptr)) << log.Dump();
    EXPECT_EQ(reader.GetTransferred(), record.Size());
    EXPECT_EQ(pgc.m_audio[0].nStream, 3);
    EXPECT_EQ(pgc.m_audio[1].nStream, 4);
    EXPECT_EQ(pgc.m_audio[1].bEnabled, 1);
    EXPECT_EQ(pgc.m_audio[2].bEnabled, 0);
    EXPECT_EQ(pgc.m_subpictures[0].nStreams[3], 8);
    EXPECT_EQ(pgc.m_subpictures[0].bEnabled, 1);
    EXPECT_EQ(pgc.m_subpictures[1].bEnabled, 0);
}

TEST(PgcRecord, RefusedPgcRecords)
{
    Domain d;
    struct Case
    {
        const char* name;
        RecordBytes record;
    };
    RecordBytes tooManyAudio;
    tooManyAudio.U8(1).U8(0).U8(25).U8(0).U8(0).U16(0).U32(0).U16(9).Fill(200);
    RecordBytes blockOutside = OldPgc(5, 0, 0, 4, 1);
    blockOutside.bytes[blockOutside.Size() - 7] = 3; // block number 3 of 3 blocks
    const Case cases[] = {
        {"version 6", OldPgc(5, 0, 0, 4, 1)},   {"version 0", OldPgc(5, 0, 0, 4, 1)},
        {"ten angles", OldPgc(5, 0, 0, 4, 10)}, {"cell list version 5", OldPgc(5, 0, 0, 5, 1)},
        {"nine audio streams", tooManyAudio},   {"block outside the domain", blockOutside},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        RecordBytes record = c.record;
        if (std::string(c.name) == "version 6")
            record.bytes[0] = 6;
        if (std::string(c.name) == "version 0")
            record.bytes[0] = 0;
        CPgc pgc(0, nullptr);
        auto reader = kxtest::ReaderOf(record);
        kxtest::RecordingLog log;
        EXPECT_FALSE(pgc.Load(log, reader, d.blocks, nullptr));
        EXPECT_TRUE(log.Has('E', "Unexpected archive content")) << log.Dump();
    }
}

TEST(PgcRecord, NineAnglesLoad)
{
    Domain d;
    const RecordBytes record = OldPgc(5, 0, 0, 4, 9);
    CPgc pgc(0, nullptr);
    auto reader = kxtest::ReaderOf(record);
    kxtest::RecordingLog log;
    ASSERT_TRUE(pgc.Load(log, reader, d.blocks, nullptr)) << log.Dump();
    EXPECT_EQ(pgc.GetCell(0)->GetAngleCount(), 9);
}

TEST(PgcRecord, AFailingPgcNamesItselfInTheTable)
{
    Domain d;
    Table source(d);
    std::vector<uint8_t> bytes = StoreTable(source.table, d);
    bytes.resize(bytes.size() - 3);
    CPgcTable loaded(1, nullptr);
    kxtest::MemoryProjectReader reader(bytes);
    kxtest::RecordingLog log;
    EXPECT_FALSE(loaded.Load(log, reader, d.blocks, nullptr));
    EXPECT_TRUE(log.Has('I', "Can't read PGC (2)")) << log.Dump();
}

TEST(PgcRecord, CutAndDamagedTablesFailCleanly)
{
    Domain d;
    Table source(d);
    const std::vector<uint8_t> bytes = StoreTable(source.table, d);
    for (size_t keep = 0; keep < bytes.size(); ++keep)
    {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + keep);
        CPgcTable loaded(1, nullptr);
        kxtest::MemoryProjectReader reader(cut);
        kxtest::RecordingLog log;
        EXPECT_FALSE(loaded.Load(log, reader, d.blocks, nullptr)) << keep;
    }
    // Every byte set to 0xFF in turn: the load may succeed or fail, but reads
    // nothing beyond the stream and takes no count on trust.
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        std::vector<uint8_t> damaged = bytes;
        damaged[i] = 0xFF;
        CPgcTable loaded(1, nullptr);
        kxtest::MemoryProjectReader reader(damaged);
        kxtest::RecordingLog log;
        loaded.Load(log, reader, d.blocks, nullptr);
        EXPECT_LE(reader.GetTransferred(), damaged.size());
    }
}

TEST(PgcRecord, StoreRefusesBlocksOutsideTheIndexAndWideProgramStarts)
{
    Domain d;
    Domain other;
    {
        Table source(d);
        kxtest::MemoryProjectWriter writer;
        kxtest::RecordingLog log;
        EXPECT_FALSE(source.table.Store(log, writer, other.blocks));
        EXPECT_TRUE(log.Has('E', "Unexpected archive content"));
        EXPECT_TRUE(log.Has('I', "Can't write PGC (1)"));
    }
    {
        Table source(d);
        source.table.GetPgc(1)->AddProgram(300);
        kxtest::MemoryProjectWriter writer;
        kxtest::RecordingLog log;
        EXPECT_FALSE(source.table.Store(log, writer, d.blocks));
        EXPECT_TRUE(log.Has('E', "Program 3 starts at cell 301, beyond what a project holds.")) << log.Dump();
        EXPECT_TRUE(log.Has('I', "Can't write PGC (2)")) << log.Dump();
    }
}

TEST(PgcRecord, LanguageUnitsRoundTrip)
{
    Domain d;
    CLanguageUnits units(nullptr);
    for (const char* code : {"en", "fr"})
    {
        CLanguageUnit* unit = units.AddUnit();
        unit->SetLanguageBytes(reinterpret_cast<const BYTE*>(code));
        CPgc* pgc = new CPgc(1, unit);
        unit->AddPgc(pgc);
        FillPgc(*pgc, d, BYTE(code[0] & 0x0F));
    }
    units.SetFlags(0x08);
    kxtest::MemoryProjectWriter writer;
    kxtest::RecordingLog log;
    ASSERT_TRUE(units.Store(log, writer, d.blocks));

    CLanguageUnits loaded(nullptr);
    loaded.AddUnit();
    kxtest::MemoryProjectReader reader(writer.bytes);
    ASSERT_TRUE(loaded.Load(log, reader, d.blocks, nullptr)) << log.Dump();
    ASSERT_EQ(loaded.GetUnitCount(), 2u);
    EXPECT_EQ(loaded.GetFlags(), 0x08);
    for (uint32_t i = 0; i < 2; ++i)
    {
        EXPECT_EQ(loaded.GetUnit(i)->GetLanguageCode(), units.GetUnit(i)->GetLanguageCode());
        ASSERT_EQ(loaded.GetUnit(i)->GetPgcCount(), 1u);
        ExpectSamePgc(*units.GetUnit(i)->GetPgc(0), *loaded.GetUnit(i)->GetPgc(0));
    }

    std::vector<uint8_t> newer = writer.bytes;
    newer[0] = 2;
    kxtest::MemoryProjectReader refused(newer);
    kxtest::RecordingLog refusedLog;
    EXPECT_FALSE(loaded.Load(refusedLog, refused, d.blocks, nullptr));
    EXPECT_EQ(refusedLog.lines, std::vector<std::string>{"E:Unexpected archive content"});
}

} // namespace
