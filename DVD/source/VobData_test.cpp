#include "DVD/source/VobData.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobTestSupport.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{

using kxtest::RecordingLog;
using kxtest::VobBuilder;

const char kRecovering[] = "Recovering C_ADT & VOBU_ADMAP tables.";

std::string VideoTsFolder(const std::string& fixture)
{
    return kxtest::FixturePath(fixture, "VIDEO_TS") + kx::NativePathSeparator();
}

struct Domain
{
    const char* fixture;
    const char* ifo;
    BYTE vts;
    bool menu;
    const char* dom; // kx_ifodump's name of the domain
};

// (vob, cell, first, last) sorted by first sector.
typedef std::vector<std::vector<long long>> CellRows;

CellRows Rows(const CCellAddressList& cells)
{
    CellRows rows;
    for (uint32_t i = 0; i < cells.GetSize(); ++i)
        rows.push_back({cells[i]->m_wVobId, cells[i]->m_nCellId, cells[i]->m_dwFirstSector, cells[i]->m_dwLastSector});
    std::sort(rows.begin(), rows.end(),
              [](const std::vector<long long>& a, const std::vector<long long>& b) { return a[2] < b[2]; });
    return rows;
}

std::vector<long long> Vobus(const CVobuAddressList& vobus)
{
    std::vector<long long> out;
    for (int32_t i = 0; i < vobus.GetSize(); ++i)
        out.push_back(vobus[i]);
    return out;
}

// What libdvdread reads from the intact IFO.
void DumpTables(const Domain& d, CellRows& cells, std::vector<long long>& vobus)
{
    auto records = kxtest::IfoDump(kxtest::FixtureDir(d.fixture));
    std::vector<std::pair<std::string, std::string>> where = {{"dom", d.dom}, {"vts", std::to_string(d.vts)}};
    for (const auto& r : kxtest::Select(records, "cadr", where))
        cells.push_back({r.Num("vob"), r.Num("cell"), r.Num("first"), r.Num("last")});
    std::sort(cells.begin(), cells.end(),
              [](const std::vector<long long>& a, const std::vector<long long>& b) { return a[2] < b[2]; });
    for (const auto& r : kxtest::Select(records, "vobu", where))
        vobus.push_back(r.Num("sector"));
    EXPECT_FALSE(cells.empty());
    EXPECT_FALSE(vobus.empty());
}

std::unique_ptr<CVobData> OpenDomain(RecordingLog& log, const Domain& d, const CCellAddressList& cells,
                                     const CVobuAddressList& vobus, bool check = true)
{
    return std::unique_ptr<CVobData>(
        new CVobData(log, VideoTsFolder(d.fixture).c_str(), d.vts, d.menu, nullptr, cells, vobus, check, nullptr));
}

uint32_t CountIlvus(const CVobData& set)
{
    uint32_t n = 0;
    for (uint32_t b = 0; b < set.GetPristineBlocks().GetBlockCount(); ++b)
        n += set.GetPristineBlocks().GetBlock(b)->GetIlvuCount();
    return n;
}

const Domain kDomains[] = {
    {"pal1", "VIDEO_TS/VTS_01_0.IFO", 1, false, "vts"},     {"pal1split", "VIDEO_TS/VTS_01_0.IFO", 1, false, "vts"},
    {"ntscmenu", "VIDEO_TS/VIDEO_TS.IFO", 0, true, "vmgm"}, {"ntscmenu", "VIDEO_TS/VTS_01_0.IFO", 1, true, "vtsm"},
    {"ntscmenu", "VIDEO_TS/VTS_01_0.IFO", 1, false, "vts"},
};

class DomainTest : public ::testing::TestWithParam<Domain>
{
};

TEST_P(DomainTest, TablesOfTheIfoFitAndBuildOneIlvuPerCell)
{
    const Domain& d = GetParam();
    KX_REQUIRE_FIXTURE(dir, d.fixture);
    CCellAddressList cells;
    CVobuAddressList vobus;
    ASSERT_TRUE(kxtest::ReadDomainTables(kxtest::FixturePath(d.fixture, d.ifo), d.menu, cells, vobus));
    RecordingLog log;
    auto set = OpenDomain(log, d, cells, vobus);
    EXPECT_TRUE(set->IsUsable()) << log.Dump();
    EXPECT_FALSE(log.HasError() || log.HasWarning()) << log.Dump();
    EXPECT_EQ(Rows(set->GetCellAddresses()), Rows(cells));
    EXPECT_EQ(Vobus(set->GetVobus()), Vobus(vobus));
    EXPECT_EQ(set->GetScanRecords().GetSize(), vobus.GetSize());
    EXPECT_EQ(CountIlvus(*set), set->GetCellAddresses().GetSize());
    EXPECT_EQ(set->GetVtsNumber(), d.vts);
    EXPECT_EQ(set->IsMenu(), d.menu);
    if (!kxtest::IfoDumpTool().empty())
    {
        CellRows dumpCells;
        std::vector<long long> dumpVobus;
        DumpTables(d, dumpCells, dumpVobus);
        EXPECT_EQ(Rows(set->GetCellAddresses()), dumpCells);
        EXPECT_EQ(Vobus(set->GetVobus()), dumpVobus);
    }
}

// Damage that the checks must notice: a VOBU entry off its NAV pack, a cell
// reaching past the files, a gap between cells.
enum class Damage
{
    VobuMap,
    CellPastEnd,
    CellGap
};

TEST_P(DomainTest, DamagedTablesAreRecoveredFromTheSectors)
{
    const Domain& d = GetParam();
    KX_REQUIRE_FIXTURE(dir, d.fixture);
    for (Damage damage : {Damage::VobuMap, Damage::CellPastEnd, Damage::CellGap})
    {
        CCellAddressList cells;
        CVobuAddressList vobus;
        ASSERT_TRUE(kxtest::ReadDomainTables(kxtest::FixturePath(d.fixture, d.ifo), d.menu, cells, vobus));
        CellRows intactCells = Rows(cells);
        std::vector<long long> intactVobus = Vobus(vobus);
        switch (damage)
        {
        case Damage::VobuMap: vobus[0] += 1; break;
        case Damage::CellPastEnd: cells[cells.GetSize() - 1]->m_dwLastSector += 100000; break;
        case Damage::CellGap:
            if (cells.GetSize() < 2)
                continue;
            cells[1]->m_dwFirstSector += 1;
            break;
        }
        RecordingLog log;
        auto set = OpenDomain(log, d, cells, vobus);
        EXPECT_TRUE(log.Has('W', kRecovering)) << log.Dump();
        EXPECT_TRUE(set->IsUsable()) << log.Dump();
        EXPECT_FALSE(log.HasError()) << log.Dump();
        EXPECT_EQ(Rows(set->GetCellAddresses()), intactCells);
        EXPECT_EQ(Vobus(set->GetVobus()), intactVobus);
        if (!kxtest::IfoDumpTool().empty())
        {
            CellRows dumpCells;
            std::vector<long long> dumpVobus;
            DumpTables(d, dumpCells, dumpVobus);
            EXPECT_EQ(Rows(set->GetCellAddresses()), dumpCells);
            EXPECT_EQ(Vobus(set->GetVobus()), dumpVobus);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DomainTest, ::testing::ValuesIn(kDomains));

TEST(VobData, DomainsReceiveCopiesOfThePristineBlocks)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    const Domain& d = kDomains[3];
    CCellAddressList cells;
    CVobuAddressList vobus;
    ASSERT_TRUE(kxtest::ReadDomainTables(kxtest::FixturePath(d.fixture, d.ifo), d.menu, cells, vobus));
    RecordingLog log;
    kxtest::RecordingProgress progress;
    std::unique_ptr<CVobData> set(
        new CVobData(log, VideoTsFolder(d.fixture).c_str(), d.vts, d.menu, nullptr, cells, vobus, true, &progress));
    ASSERT_TRUE(set->IsUsable()) << log.Dump();
    EXPECT_NE(std::find(progress.texts.begin(), progress.texts.end(), "Processing VTS 1 menus information ... "),
              progress.texts.end());
    // The pristine ILVUs have their highlights parsed.
    const CAngleBlockList& pristine = set->GetPristineBlocks();
    bool buttons = false;
    for (uint32_t b = 0; b < pristine.GetBlockCount(); ++b)
    {
        const CVobCell* cell = pristine.GetBlock(b)->GetIlvu(0);
        ASSERT_GE(cell->GetSegmentCount(), 1u);
        buttons |= cell->HasButtons();
    }
    EXPECT_TRUE(buttons);
    EXPECT_EQ(set->GetExternalRefCount(), 0u);
    {
        CAngleBlockList domain(nullptr, true);
        set->GetBlocks(domain);
        ASSERT_EQ(domain.GetBlockCount(), pristine.GetBlockCount());
        EXPECT_NE(domain.GetBlock(0), pristine.GetBlock(0));
        EXPECT_EQ(domain.GetBlock(0)->GetIlvu(0)->GetVobData(), set.get());
        EXPECT_TRUE(domain.GetStreams().Equals(pristine.GetStreams()));
        EXPECT_GE(set->GetExternalRefCount(), CountIlvus(*set));
    }
    EXPECT_EQ(set->GetExternalRefCount(), 0u);
}

TEST(VobData, FailedFirstBuildDoesNotCondemnARepairedSet)
{
    // Unchecked tables with a gap fail the first build; the recovery repairs
    // them, and the set is judged by the second build.
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    const Domain& d = kDomains[4];
    CCellAddressList cells;
    CVobuAddressList vobus;
    ASSERT_TRUE(kxtest::ReadDomainTables(kxtest::FixturePath(d.fixture, d.ifo), d.menu, cells, vobus));
    ASSERT_GE(cells.GetSize(), 2u);
    cells[1]->m_dwFirstSector += 1;
    RecordingLog log;
    auto set = OpenDomain(log, d, cells, vobus, false);
    EXPECT_TRUE(log.Has('W', "Bad segments info")) << log.Dump();
    EXPECT_TRUE(log.Has('W', kRecovering));
    EXPECT_FALSE(log.HasError());
    EXPECT_TRUE(set->IsUsable());
}

TEST(VobData, MissingTitleVobIsReported)
{
    kxtest::ScratchFolder folder;
    CCellAddressList cells;
    CVobuAddressList vobus;
    RecordingLog log;
    std::string path = folder.Path() + kx::NativePathSeparator();
    CVobData set(log, path.c_str(), 7, false, nullptr, cells, vobus, true, nullptr);
    EXPECT_TRUE(log.Has('E', "Can't find VTS 7 movie vob file.")) << log.Dump();
    EXPECT_FALSE(set.IsUsable());
}

TEST(VobData, FindVobuIndexBisects)
{
    struct Case
    {
        std::vector<DWORD> table;
        DWORD sector;
        int32_t index;
    };
    const Case cases[] = {
        {{0, 10, 20}, 15, 1},
        {{0, 10, 20}, 20, 2},
        {{0, 10, 20}, 21, -1},
        {{0, 10, 20}, 0, 0},
        {{0, 10, 20}, 10, 1},
        {{5, 10, 20, 30, 40}, 4, -1},
        {{5, 10, 20, 30, 40}, 39, 3},
        {{7}, 7, 0},
        {{7, 9}, 9, 1},
        {{7, 9}, 8, 0},
        {{}, 0, -1},
    };
    // A memory set of NAV packs at the table's sectors gives the table.
    for (const Case& c : cases)
    {
        VobBuilder vob;
        DWORD last = c.table.empty() ? 0 : c.table.back();
        for (DWORD s = 0; s <= last; ++s)
        {
            if (std::find(c.table.begin(), c.table.end(), s) != c.table.end())
                vob.Nav(1, 1);
            else
                vob.Pes(0xE0);
        }
        RecordingLog log;
        CVobData set(log, "table", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
        if (c.table.empty())
        {
            EXPECT_EQ(set.FindVobuIndex(c.sector), -1);
            continue;
        }
        ASSERT_EQ(set.GetVobus().GetSize(), int32_t(c.table.size()));
        EXPECT_EQ(set.FindVobuIndex(c.sector), c.index) << "sector " << c.sector;
    }
}

TEST(VobData, RecoveryMakesOneCellPerRunOfIds)
{
    // Two NAV packs of cell (1,1) separated by one of cell (1,2): two C_ADT
    // entries with the same ids, pieces of one ILVU.
    VobBuilder vob;
    vob.Nav(1, 1);
    vob.Pes(0xE0);
    vob.Nav(1, 2);
    vob.Pes(0xC0);
    vob.Nav(1, 1);
    vob.Pes(0xE0);
    vob.Pes(0xBD, 0x20);
    RecordingLog log;
    CVobData set(log, "pieces", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    ASSERT_TRUE(set.IsUsable()) << log.Dump();
    CellRows expected = {{1, 1, 0, 1}, {1, 2, 2, 3}, {1, 1, 4, 6}};
    EXPECT_EQ(Rows(set.GetCellAddresses()), expected);
    EXPECT_EQ(Vobus(set.GetVobus()), (std::vector<long long>{0, 2, 4}));
    ASSERT_EQ(set.GetPristineBlocks().GetBlockCount(), 2u);
    const CVobCell* pFirst = set.GetPristineBlocks().GetBlock(0)->GetIlvu(0);
    EXPECT_EQ(pFirst->GetSourcePieces().GetSize(), 2u);
    EXPECT_EQ(pFirst->GetVobuCount(), 2u);
    // The scan records start cleared, one per VOBU.
    ASSERT_EQ(set.GetScanRecords().GetSize(), 3);
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(set.GetScanRecords()[i].length, 0);
}

TEST(VobData, InterleavedAnglesOfOneCellIdFormOneBlock)
{
    // Two angles (vob ids 1 and 2, cell id 1) interleaved in two units each,
    // then a third ILVU of that cell id: the first DSI announces two angles,
    // so the third begins a block of its own.
    auto ilvu = [](DsiPacket& dsi) { dsi.SetSmlCategory(0x40); };
    auto twoAngles = [](DsiPacket& dsi)
    {
        dsi.SetSmlCategory(0x40);
        dsi.SetSmlAgli(0, 4, 2);
        dsi.SetSmlAgli(1, 6, 2);
    };
    VobBuilder vob;
    vob.Nav(1, 1, 0, nullptr, twoAngles);
    vob.Pes(0xE0);
    vob.Nav(2, 1, 0, nullptr, ilvu);
    vob.Pes(0xE0);
    vob.Nav(1, 1, 0, nullptr, ilvu);
    vob.Nav(2, 1, 0, nullptr, ilvu);
    vob.Nav(3, 1, 0, nullptr, ilvu);
    vob.Nav(4, 2);
    RecordingLog log;
    CVobData set(log, "angles", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    ASSERT_TRUE(set.IsUsable()) << log.Dump();
    EXPECT_EQ(set.GetCellAddresses().GetSize(), 6u);
    const CAngleBlockList& blocks = set.GetPristineBlocks();
    ASSERT_EQ(blocks.GetBlockCount(), 3u);
    const CAngleBlock* angles = blocks.GetBlock(0);
    ASSERT_EQ(angles->GetIlvuCount(), 2u);
    EXPECT_TRUE(angles->IsInterleaved());
    EXPECT_EQ(angles->GetIlvu(0)->GetVobId(), 1);
    EXPECT_EQ(angles->GetIlvu(1)->GetVobId(), 2);
    EXPECT_EQ(angles->GetIlvu(1)->GetParent(), angles);
    EXPECT_EQ(angles->GetIlvu(0)->GetSourcePieces().GetSize(), 2u);
    EXPECT_EQ(angles->GetIlvu(1)->GetSourcePieces().GetSize(), 2u);
    EXPECT_EQ(angles->GetIlvu(0)->GetAngleCount(), 2);
    EXPECT_EQ(blocks.GetBlock(1)->GetIlvu(0)->GetVobId(), 3);
    EXPECT_EQ(blocks.GetBlock(2)->GetIlvuCount(), 1u);
    // Without a stream set the standard comes from the elapsed time (25 fps
    // in a fresh PCI is not set here: NTSC).
    EXPECT_EQ(set.GetStreams().GetVideo().GetStandard(), 0);
    EXPECT_TRUE(blocks.GetStreams().Equals(set.GetStreams()));
}

TEST(VobData, SectorsWithoutNavPacksRecoverToOneCellAndFailTheBuild)
{
    VobBuilder vob;
    for (int i = 0; i < 4; ++i)
        vob.Pes(0xE0);
    RecordingLog log;
    CVobData set(log, "nonav", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    CellRows expected = {{0xFFFF, 0xFF, 0, 3}};
    EXPECT_EQ(Rows(set.GetCellAddresses()), expected);
    EXPECT_EQ(set.GetVobus().GetSize(), 0);
    EXPECT_TRUE(log.Has('E', "can't find segment")) << log.Dump();
    EXPECT_FALSE(set.IsUsable());
}

TEST(VobData, SectorsWithoutPackHeaderAreNamedTwentyTimesThenCounted)
{
    kxtest::ScratchFolder folder;
    VobBuilder vob;
    vob.Nav(1, 1);
    for (int i = 0; i < 50; ++i)
        vob.Raw(0x55);
    std::string path = folder.File("FOREIGN.VOB");
    ASSERT_TRUE(kxtest::WriteFile(path, vob.bytes.data(), vob.bytes.size()));
    RecordingLog log;
    std::unique_ptr<CVobData> set(new CVobData(log, path.c_str(), nullptr));
    EXPECT_EQ(log.Count('W'), 21) << log.Dump();
    EXPECT_TRUE(log.Has('W', "Invalid block header in sector 1 in "));
    EXPECT_TRUE(log.Has('W', "Invalid block header in 30 more sectors"));
    EXPECT_TRUE(set->IsUsable());
    EXPECT_EQ(set->GetVtsNumber(), VOBDATA_SINGLE_FILE);
}

TEST(VobData, RecoveryReportsProgressAndStopsOnCancel)
{
    VobBuilder vob;
    for (int v = 0; v < 60; ++v)
    {
        vob.Nav(1, BYTE(1 + v / 30));
        vob.Pes(0xE0);
    }
    RecordingLog log;
    CVobData set(log, "progress", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    ASSERT_TRUE(set.IsUsable());

    // The caller's range, position and text come back afterwards.
    kxtest::RecordingProgress progress;
    progress.SetText("Reading disc");
    progress.SetRange(1000);
    progress.SetPosition(400);
    EXPECT_TRUE(set.RecoverCells(log, &progress));
    EXPECT_EQ(progress.texts[1], "Recovering cells information ... ");
    EXPECT_EQ(progress.range, 1000u);
    EXPECT_EQ(progress.position, 400u);
    EXPECT_EQ(std::string(progress.GetText()), "Reading disc");
    EXPECT_EQ(progress.polls, 2); // after sectors 50 and 100
    EXPECT_EQ(set.GetCellAddresses().GetSize(), 2u);

    kxtest::RecordingProgress cancelling(0);
    EXPECT_FALSE(set.RecoverCells(log, &cancelling));
    EXPECT_TRUE(log.IsCancelled());
    EXPECT_EQ(cancelling.position, 50u);
    EXPECT_EQ(set.GetCellAddresses().GetSize(), 0u);
    EXPECT_EQ(set.GetVobus().GetSize(), 0);
}

TEST(VobData, MemorySetOfAnExportStaysOutOfTheRegistry)
{
    VobBuilder vob;
    vob.Nav(1, 1);
    vob.Pes(0xE0);
    RecordingLog log;
    uint32_t registered = GetVobDataCount();
    CVobData* set = CreateMemoryVobData(log, uint32_t(vob.bytes.size()), vob.bytes.data());
    ASSERT_NE(set, nullptr) << log.Dump();
    EXPECT_EQ(set->GetVtsNumber(), VOBDATA_MEMORY);
    EXPECT_EQ(std::string(set->GetPath()), "");
    EXPECT_EQ(GetVobDataCount(), registered);
    // Sectors that cannot be used give none.
    VobBuilder bad;
    bad.Pes(0xE0);
    RecordingLog badLog;
    EXPECT_EQ(CreateMemoryVobData(badLog, uint32_t(bad.bytes.size()), bad.bytes.data()), nullptr);
    PurgeUnusedVobData();
}

TEST(VobData, TwoPcisInOneSectorFailTheRecovery)
{
    VobBuilder vob;
    vob.Nav(1, 1);
    // A second PCI packet where the DSI belongs.
    vob.bytes[NAV_DSI_OFFSET - 1] = 0x00;
    RecordingLog log;
    CVobData set(log, "bbh1", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    EXPECT_TRUE(log.Has('E', "BBH1")) << log.Dump();
    EXPECT_FALSE(set.IsUsable());
    EXPECT_EQ(set.GetCellAddresses().GetSize(), 0u);
}

TEST(VobData, DamagedFilesNeverCrash)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    std::vector<BYTE> source = kxtest::ReadWholeFile(kxtest::FixturePath("pal1", "VIDEO_TS/VTS_01_1.VOB"));
    ASSERT_GT(source.size(), 100000u);
    kxtest::ScratchFolder folder;
    std::mt19937 random(12345);
    std::vector<std::vector<BYTE>> inputs;
    inputs.push_back(std::vector<BYTE>(source.begin(), source.begin() + 70001)); // cut inside a sector
    std::vector<BYTE> noise(300 * 2048);
    for (BYTE& b : noise)
        b = BYTE(random());
    inputs.push_back(noise);
    std::vector<BYTE> scrambled = source;
    for (size_t i = 0; i < scrambled.size(); i += 97)
        scrambled[i] = BYTE(random());
    inputs.push_back(scrambled);
    // Packet lengths that point past the sector and start codes at its end.
    std::vector<BYTE> edges(std::vector<BYTE>(source.begin(), source.begin() + 20 * 2048));
    for (size_t s = 0; s < 20; ++s)
    {
        BYTE* p = edges.data() + s * 2048;
        p[18] = 0xFF;
        p[19] = 0xFF;
        p[2045] = 0;
        p[2046] = 0;
        p[2047] = 1;
    }
    inputs.push_back(edges);
    for (size_t k = 0; k < inputs.size(); ++k)
    {
        std::string path = folder.File("DAMAGED" + std::to_string(k) + ".VOB");
        ASSERT_TRUE(kxtest::WriteFile(path, inputs[k].data(), inputs[k].size()));
        RecordingLog log;
        std::unique_ptr<CVobData> set(new CVobData(log, path.c_str(), nullptr));
        kx::ScopedLock lock(set->GetLock());
        for (int32_t i = 0; i < set->GetVobus().GetSize(); ++i)
            set->ScanVobu(i);
        DWORD audio[8];
        DWORD subpictures[32];
        set->GetStreamSizes(set->GetVobus(), audio, subpictures);
    }
}

TEST(VobData, ReferenceCountDoesNotWrapAt16Bits)
{
    VobBuilder vob;
    vob.Nav(1, 1);
    RecordingLog log;
    CVobData set(log, "refs", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    uint32_t base = set.GetRefCount();
    for (int i = 0; i < 70000; ++i)
        set.AddRef();
    EXPECT_EQ(set.GetRefCount(), base + 70000);
    EXPECT_GT(set.GetExternalRefCount(), 65535u);
    for (int i = 0; i < 70000; ++i)
        set.Release();
    EXPECT_EQ(set.GetRefCount(), base);
}

TEST(VobData, RegisteredDomainIsSharedAndPurgedWhenUnused)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    const Domain& d = kDomains[0];
    CCellAddressList cells;
    CVobuAddressList vobus;
    ASSERT_TRUE(kxtest::ReadDomainTables(kxtest::FixturePath(d.fixture, d.ifo), d.menu, cells, vobus));
    PurgeUnusedVobData(); // what earlier tests left
    RecordingLog log;
    std::string folder = VideoTsFolder("pal1");
    CVobData* set = OpenDomainVobData(log, folder.c_str(), 1, false, nullptr, cells, vobus, true, nullptr, false);
    ASSERT_NE(set, nullptr) << log.Dump();
    // A second read of the folder (another case of letters) shares the set.
    std::string upper = folder;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    CVobData* again = OpenDomainVobData(log, upper.c_str(), 1, false, nullptr, cells, vobus, true, nullptr, false);
    EXPECT_EQ(again, set);

    // An older revision still plays it: the purge keeps it.
    // The pristine ILVUs hold a reference each; one more is a revision's.
    while (set->GetRefCount() < CountIlvus(*set))
        set->AddRef();
    EXPECT_EQ(set->GetExternalRefCount(), 0u);
    set->AddRef();
    EXPECT_EQ(set->GetExternalRefCount(), 1u);
    PurgeUnusedVobData();
    bool found = false;
    for (uint32_t i = 0; i < GetVobDataCount(); ++i)
        found |= GetVobDataAt(i) == set;
    EXPECT_TRUE(found);
    EXPECT_EQ(CountUnusedVobData(), 0u);

    set->Release();
    EXPECT_EQ(CountUnusedVobData(), 1u);
    PurgeUnusedVobData();
    found = false;
    for (uint32_t i = 0; i < GetVobDataCount(); ++i)
        found |= GetVobDataAt(i) == set;
    EXPECT_FALSE(found);
}

TEST(VobData, MovedFolderIsAskedForOnceAndRemembered)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    const Domain& d = kDomains[3];
    CCellAddressList cells;
    CVobuAddressList vobus;
    ASSERT_TRUE(kxtest::ReadDomainTables(kxtest::FixturePath(d.fixture, d.ifo), d.menu, cells, vobus));
    kxtest::ScratchFolder scratch;
    std::string gone = kx::JoinPath(scratch.Path(), "moved-away") + kx::NativePathSeparator();

    {
        kxtest::ScriptedUi ui; // declines
        RecordingLog log;
        EXPECT_EQ(OpenDomainVobData(log, gone.c_str(), 1, true, nullptr, cells, vobus, false, nullptr, true), nullptr);
        EXPECT_TRUE(log.Has('E', "File " + gone + "VTS_01_0.VOB is not found")) << log.Dump();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0],
                  "File " + gone + "VTS_01_0.VOB is not found. Would you like to browse for its new location?");
    }
    kxtest::ScriptedUi ui;
    ui.answers.push_back(kx::MessageResult::Yes);
    ui.paths.push_back(kxtest::FixturePath("ntscmenu", "VIDEO_TS/VTS_01_0.VOB"));
    RecordingLog log;
    CVobData* set = OpenDomainVobData(log, gone.c_str(), 1, true, nullptr, cells, vobus, false, nullptr, true);
    ASSERT_NE(set, nullptr) << log.Dump();
    EXPECT_EQ(std::string(set->GetPath()), VideoTsFolder("ntscmenu"));
    ASSERT_GE(GetPathRelocations().GetSize(), 1u);
    const CPathRelocation* pLast = GetPathRelocations()[GetPathRelocations().GetSize() - 1];
    EXPECT_EQ(std::string(pLast->oldPath), gone);
    // The title domain of the same folder is found without asking again.
    const Domain& titles = kDomains[4];
    CCellAddressList titleCells;
    CVobuAddressList titleVobus;
    ASSERT_TRUE(
        kxtest::ReadDomainTables(kxtest::FixturePath(titles.fixture, titles.ifo), false, titleCells, titleVobus));
    CVobData* titleSet =
        OpenDomainVobData(log, gone.c_str(), 1, false, nullptr, titleCells, titleVobus, false, nullptr, true);
    EXPECT_NE(titleSet, nullptr) << log.Dump();
    EXPECT_EQ(ui.messages.size(), 1u);
    PurgeUnusedVobData();
}

} // namespace
