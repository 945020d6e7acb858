#include "DVD/source/AngleBlock.h"

#include "DVD/source/NavRetarget.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobTestSupport.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace
{

using kxtest::RecordingLog;
using kxtest::VobBuilder;

struct Domain
{
    const char* fixture;
    const char* ifo;
    BYTE vts;
    bool menu;
    const char* dom; // kx_ifodump's name of the domain
};

const Domain kDomains[] = {
    {"pal1", "VIDEO_TS/VTS_01_0.IFO", 1, false, "vts"},     {"pal1split", "VIDEO_TS/VTS_01_0.IFO", 1, false, "vts"},
    {"ntscmenu", "VIDEO_TS/VIDEO_TS.IFO", 0, true, "vmgm"}, {"ntscmenu", "VIDEO_TS/VTS_01_0.IFO", 1, true, "vtsm"},
    {"ntscmenu", "VIDEO_TS/VTS_01_0.IFO", 1, false, "vts"}, {"twovts", "VIDEO_TS/VTS_01_0.IFO", 1, false, "vts"},
    {"twovts", "VIDEO_TS/VTS_02_0.IFO", 2, false, "vts"},   {"cmdtable", "VIDEO_TS/VTS_01_0.IFO", 1, false, "vts"},
};

// The stream attributes of the domain as its IFO holds them.
void ReadIfoStreams(const Domain& d, CStreamSet& streams)
{
    std::vector<BYTE> ifo = kxtest::ReadWholeFile(kxtest::FixturePath(d.fixture, d.ifo));
    const size_t at = d.menu ? 0x100 : 0x200;
    ASSERT_GE(ifo.size(), at + STREAM_BLOCK_SIZE);
    EXPECT_TRUE(streams.ReadIfo(ifo.data() + at, d.menu));
}

// A source VOB set of a fixture domain read from its IFO's tables.
std::unique_ptr<CVobData> OpenDomain(RecordingLog& log, const Domain& d)
{
    CCellAddressList cells;
    CVobuAddressList vobus;
    EXPECT_TRUE(kxtest::ReadDomainTables(kxtest::FixturePath(d.fixture, d.ifo), d.menu, cells, vobus));
    CStreamSet streams(nullptr, d.menu);
    ReadIfoStreams(d, streams);
    std::string folder = kxtest::FixturePath(d.fixture, "VIDEO_TS") + kx::NativePathSeparator();
    return std::unique_ptr<CVobData>(
        new CVobData(log, folder.c_str(), d.vts, d.menu, &streams, cells, vobus, true, nullptr));
}

// A PGC whose stream controls are those libdvdread reads for PGC 1 of the
// domain.
CPgc* PgcWithDumpedControls(const Domain& d)
{
    auto records = kxtest::IfoDump(kxtest::FixtureDir(d.fixture));
    auto pgcs = kxtest::Select(records, "pgc", {{"dom", d.dom}, {"vts", std::to_string(d.vts)}, {"pgc", "1"}});
    EXPECT_EQ(pgcs.size(), 1u);
    CPgc* pgc = new CPgc(0, nullptr);
    if (pgcs.empty())
        return pgc;
    std::string audio = pgcs[0].Get("audio_ctl");
    std::string subp = pgcs[0].Get("subp_ctl");
    for (int i = 0; i < 8; ++i)
    {
        unsigned long v = std::stoul(audio.substr(size_t(i) * 5, 4), nullptr, 16);
        pgc->m_audio[i].bEnabled = (v & 0x8000) ? 1 : 0;
        pgc->m_audio[i].nStream = BYTE((v >> 8) & 7);
    }
    for (int i = 0; i < 32; ++i)
    {
        unsigned long v = std::stoul(subp.substr(size_t(i) * 9, 8), nullptr, 16);
        pgc->m_subpictures[i].bEnabled = (v & 0x80000000u) ? 1 : 0;
        for (int k = 0; k < 4; ++k)
            pgc->m_subpictures[i].nStreams[k] = BYTE((v >> (24 - 8 * k)) & 31);
    }
    return pgc;
}

class DomainBlocks : public ::testing::TestWithParam<Domain>
{
};

// The blocks a disc domain receives from a source VOB set: one block of one
// ILVU per cell, with the pieces, VOBUs and sectors of the IFO.
TEST_P(DomainBlocks, CopiesOfTheSourceBlocksMatchTheIfo)
{
    const Domain& d = GetParam();
    KX_REQUIRE_FIXTURE(dir, d.fixture);
    KX_REQUIRE_IFODUMP();
    RecordingLog log;
    std::unique_ptr<CVobData> set = OpenDomain(log, d);
    ASSERT_TRUE(set->IsUsable()) << log.Dump();
    const uint32_t baseRefs = set->GetRefCount();

    auto records = kxtest::IfoDump(dir);
    std::vector<std::pair<std::string, std::string>> where = {{"dom", d.dom}, {"vts", std::to_string(d.vts)}};
    auto cadr = kxtest::Select(records, "cadr", where);
    auto vobuRecords = kxtest::Select(records, "vobu", where);
    ASSERT_FALSE(cadr.empty());

    {
        CAngleBlockList domain(nullptr, d.menu);
        domain.CopyConstruct(set->GetPristineBlocks());
        EXPECT_TRUE(domain.GetStreams().Equals(set->GetStreams()));

        std::set<std::pair<long long, long long>> ids;
        uint64_t sectors = 0;
        size_t vobuCount = 0;
        for (const auto& r : cadr)
        {
            ids.insert({r.Num("vob"), r.Num("cell")});
            sectors += uint64_t(r.Num("last") - r.Num("first") + 1);
        }
        ASSERT_EQ(domain.GetBlockCount(), ids.size());
        for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
        {
            const CAngleBlock* block = domain.GetBlock(b);
            const CAngleBlock* source = set->GetPristineBlocks().GetBlock(b);
            SCOPED_TRACE("block " + std::to_string(b));
            EXPECT_EQ(block->GetId(), source->GetId());
            EXPECT_EQ(block->GetParent(), &domain);
            ASSERT_EQ(block->GetIlvuCount(), 1u);
            EXPECT_FALSE(block->IsInterleaved());
            const CVobCell* ilvu = block->GetIlvu(0);
            EXPECT_EQ(ilvu->GetParent(), block);
            EXPECT_NE(ilvu, source->GetIlvu(0));
            // A copy restores to the imported ILVU.
            EXPECT_EQ(block->GetPristine(0), source->GetIlvu(0));

            // The pieces are the C_ADT entries with the ILVU's ids, in table order.
            std::vector<std::vector<long long>> expected;
            for (const auto& r : cadr)
                if (r.Num("vob") == ilvu->GetVobId() && r.Num("cell") == ilvu->GetCellId())
                    expected.push_back({r.Num("first"), r.Num("last")});
            std::vector<std::vector<long long>> pieces;
            for (uint32_t p = 0; p < ilvu->GetSourcePieces().GetSize(); ++p)
                pieces.push_back(
                    {ilvu->GetSourcePieces()[p]->m_dwFirstSector, ilvu->GetSourcePieces()[p]->m_dwLastSector});
            EXPECT_EQ(pieces, expected);

            std::vector<long long> expectedVobus;
            for (const auto& v : vobuRecords)
                for (const auto& piece : expected)
                    if (v.Num("sector") >= piece[0] && v.Num("sector") <= piece[1])
                        expectedVobus.push_back(v.Num("sector"));
            std::vector<long long> vobus;
            for (int32_t v = 0; v < ilvu->GetSourceVobus().GetSize(); ++v)
                vobus.push_back(ilvu->GetSourceVobus()[v]);
            EXPECT_EQ(vobus, expectedVobus);
            vobuCount += vobus.size();
            EXPECT_EQ(block->GetSourceSize(), uint64_t(ilvu->GetSectorCount()) * 2048);
        }
        EXPECT_EQ(vobuCount, vobuRecords.size());

        // The sizes: the source is every sector of the VOB files, and keeping
        // every stream keeps all of it.
        EXPECT_EQ(domain.GetSourceSize(), sectors * 2048);
        EXPECT_EQ(domain.GetSourceSize(), uint64_t(set->GetSectorCount()) * 2048);
        uint64_t kept = 0;
        for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
            kept += domain.GetBlock(b)->GetOutputSizeWithMasks(0xFF, 0xFFFFFFFF);
        EXPECT_EQ(kept, domain.GetSourceSize());
        EXPECT_EQ(domain.GetVobuAddressMapSize(), 4 + 4 * vobuRecords.size());
        EXPECT_EQ(domain.GetCellAddressTableSize(), 8 + 12 * cadr.size());

        // Each copied ILVU and each pristine entry holds the set.
        EXPECT_EQ(set->GetRefCount(), baseRefs + 2 * domain.GetBlockCount());
        CVobDataList used;
        domain.CollectVobData(used);
        ASSERT_EQ(used.GetSize(), 1);
        EXPECT_EQ(used[0], set.get());
    }
    EXPECT_EQ(set->GetRefCount(), baseRefs);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DomainBlocks, ::testing::ValuesIn(kDomains));

// A title set whose title domain holds the blocks of a fixture domain and
// whose PGC table holds one PGC.
struct TitleSet
{
    RecordingLog log;
    std::unique_ptr<CVobData> set;
    CVts vts{nullptr};

    bool Open(const Domain& d, CPgc* pgc)
    {
        set = OpenDomain(log, d);
        if (!set->IsUsable())
            return false;
        CAngleBlockList& domain = vts.GetTitleDomain();
        domain.CopyConstruct(set->GetPristineBlocks());
        pgc->SetParent(&vts.GetPgcTable());
        vts.GetPgcTable().AddPgc(pgc);
        return true;
    }
};

// The sub-picture streams the PGC of a fixture can select: the 4:3 number
// of a 4:3 domain; of the 16:9 domain with letterbox allowed and pan-scan
// not, the wide and the letterbox numbers.
TEST(AngleBlockList, StreamMapsOfTheFixturesFollowTheirAspectRatio)
{
    KX_REQUIRE_FIXTURE(pal1, "pal1");
    KX_REQUIRE_FIXTURE(twovts, "twovts");
    KX_REQUIRE_IFODUMP();
    struct Case
    {
        Domain domain;
        BYTE aspect;
        BYTE audio;
        DWORD subpictures;
    } cases[] = {
        {kDomains[0], 0, 0x01, 0x01},
        {kDomains[6], 3, 0x01, 0x03},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.domain.fixture);
        TitleSet ts;
        ASSERT_TRUE(ts.Open(c.domain, PgcWithDumpedControls(c.domain))) << ts.log.Dump();
        CAngleBlockList& domain = ts.vts.GetTitleDomain();
        EXPECT_EQ(domain.GetStreams().GetVideo().GetAspectRatio(), c.aspect);
        EXPECT_EQ(domain.MapAudioMask(domain.GetAudioStreamMask()), c.audio);
        EXPECT_EQ(domain.MapSubpictureMask(domain.GetSubpictureStreamMask()), c.subpictures);
        EXPECT_EQ(domain.MapSubpictureMask(0), 0u);
        // Every physical stream the disc holds is selectable, so the estimate
        // is the source size.
        EXPECT_EQ(domain.GetOutputSize(), domain.GetSourceSize());
    }
}

// Video attribute byte and sub-picture control (4:3, wide, letterbox,
// pan-scan numbers) against the physical streams they select.
TEST(AngleBlockList, StreamMapsCollectTheFormsTheAspectRatioAllows)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    struct Case
    {
        BYTE video;
        bool enabled;
        DWORD expected;
    } cases[] = {
        {0x10, true, 1u << 4},                           // 4:3: the 4:3 number only
        {0x1C, true, (1u << 5) | (1u << 6) | (1u << 7)}, // 16:9, both allowed
        {0x1D, true, (1u << 5) | (1u << 7)},             // letterbox disallowed
        {0x1E, true, (1u << 5) | (1u << 6)},             // pan-scan disallowed
        {0x1F, true, 1u << 5},                           // both disallowed: wide only
        {0x1C, false, 0},                                // a stream no PGC enables
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(int(c.video));
        CPgc* pgc = new CPgc(0, nullptr);
        pgc->m_subpictures[0].bEnabled = c.enabled ? 1 : 0;
        const BYTE numbers[4] = {4, 5, 6, 7};
        memcpy(pgc->m_subpictures[0].nStreams, numbers, 4);
        TitleSet ts;
        ASSERT_TRUE(ts.Open(kDomains[0], pgc)) << ts.log.Dump();
        BYTE block[STREAM_BLOCK_SIZE] = {};
        block[0] = c.video;
        block[0x55] = 1; // one sub-picture stream
        CStreamSet streams(nullptr, false);
        ASSERT_TRUE(streams.ReadIfo(block, false));
        CAngleBlockList& domain = ts.vts.GetTitleDomain();
        domain.SetStreams(streams);
        EXPECT_EQ(domain.MapSubpictureMask(domain.GetSubpictureStreamMask()), c.expected);
    }
}

// Streams that no PGC can select are left out of the estimate; the counts
// come from a full scan.
TEST(AngleBlockList, OutputSizeLeavesOutStreamsNoPgcSelects)
{
    const Domain& d = kDomains[0];
    KX_REQUIRE_FIXTURE(dir, d.fixture);
    CPgc* pgc = new CPgc(0, nullptr);
    pgc->m_audio[0].bEnabled = 1; // the sub-picture stream stays off
    TitleSet ts;
    ASSERT_TRUE(ts.Open(d, pgc)) << ts.log.Dump();
    CAngleBlockList& domain = ts.vts.GetTitleDomain();
    ASSERT_EQ(domain.GetStreams().GetSubpictureCount(), 1);
    // Nothing counted yet: the sizes are estimates.
    bool estimated = true;
    domain.GetAudioStreamSize(0, estimated);
    EXPECT_FALSE(estimated);
    domain.StartFullScan();
    ASSERT_TRUE(kxtest::WaitUntil([&] { return domain.IsFullScanComplete(); }));
    bool exact = true;
    const uint64_t subpictures = domain.GetSubpictureStreamSize(0, exact);
    EXPECT_TRUE(exact);
    EXPECT_GT(subpictures, 0u);
    EXPECT_EQ(domain.GetOutputSize(), domain.GetSourceSize() - subpictures);
    EXPECT_EQ(domain.GetBlock(0)->GetOutputSize(), domain.GetBlock(0)->GetOutputSizeWithMasks(0x01, 0));
    EXPECT_EQ(domain.GetBlock(0)->GetIlvu(0)->GetEstimatedSize(), domain.GetBlock(0)->GetOutputSize());
    EXPECT_FALSE(domain.IsScanning());
}

TEST(AngleBlockList, EmptyDomainHasNothingToScanOrMap)
{
    CAngleBlockList domain(nullptr);
    EXPECT_TRUE(domain.IsFullScanComplete());
    EXPECT_TRUE(domain.IsPreliminaryScanDone());
    EXPECT_FALSE(domain.IsScanning());
    EXPECT_EQ(domain.MapAudioMask(0xFF), 0);
    EXPECT_EQ(domain.MapSubpictureMask(0xFFFFFFFF), 0u);
    EXPECT_EQ(domain.GetOutputSize(), 0u);
    EXPECT_EQ(domain.GetVobuAddressMapSize(), 4u);
    EXPECT_EQ(domain.GetCellAddressTableSize(), 8u);
}

// ---- Block operations on a small VOB set held in memory ----------------------

// One cell per (vob id, cell id), each of n VOBUs of a NAV pack and a video
// pack.
struct MemorySet
{
    RecordingLog log;
    std::unique_ptr<CVobData> set;

    MemorySet(std::vector<std::pair<WORD, BYTE>> cells, int vobusPerCell, BYTE video = 0x10,
              const std::function<void(PciPacket&)>& hli = nullptr)
    {
        VobBuilder vob;
        for (const auto& c : cells)
            for (int v = 0; v < vobusPerCell; ++v)
            {
                vob.Nav(c.first, c.second, 0, hli);
                vob.Pes(0xE0);
            }
        BYTE block[STREAM_BLOCK_SIZE] = {};
        block[0] = video;
        block[3] = 1; // one audio stream
        CStreamSet streams(nullptr, false);
        streams.ReadIfo(block, false);
        set.reset(new CVobData(log, "blocks", uint32_t(vob.bytes.size()), vob.bytes.data(), &streams));
    }
    const CAngleBlockList& Blocks() const { return set->GetPristineBlocks(); }
    CVobCell* Copy(uint32_t block) const
    {
        return CVobCell::CopyConstruct(*Blocks().GetBlock(block)->GetIlvu(0), nullptr);
    }
};

TEST(AngleBlock, AddCellIgnoresIdsTheBlockHolds)
{
    MemorySet m({{1, 1}, {2, 1}}, 1);
    ASSERT_TRUE(m.set->IsUsable()) << m.log.Dump();
    CAngleBlockList domain(nullptr);
    CAngleBlock* block = domain.AddCell(m.Copy(0), nullptr);
    std::unique_ptr<CVobCell> same(m.Copy(0));
    EXPECT_FALSE(block->AddCell(same.get(), nullptr));
    EXPECT_EQ(block->GetIlvuCount(), 1u);
    EXPECT_EQ(block->GetPristineCount(), 1u);
    CVobCell* other = m.Copy(1);
    EXPECT_TRUE(block->AddCell(other, m.Blocks().GetBlock(1)->GetIlvu(0)));
    other->SetParent(block);
    EXPECT_EQ(block->GetIlvuCount(), 2u);
    EXPECT_EQ(block->GetPristine(1), m.Blocks().GetBlock(1)->GetIlvu(0));
}

TEST(AngleBlock, SortByVobIdKeepsEachPristineWithItsAngle)
{
    MemorySet m({{3, 1}, {1, 1}, {2, 1}}, 1);
    ASSERT_TRUE(m.set->IsUsable()) << m.log.Dump();
    CAngleBlockList domain(nullptr);
    CAngleBlock* block = domain.AddCell(m.Copy(0), m.Blocks().GetBlock(0)->GetIlvu(0));
    for (uint32_t b = 1; b < 3; ++b)
        ASSERT_TRUE(block->AddCell(m.Copy(b), m.Blocks().GetBlock(b)->GetIlvu(0)));
    block->SortByVobId();
    for (uint32_t a = 0; a < 3; ++a)
    {
        EXPECT_EQ(block->GetIlvu(a)->GetVobId(), a + 1);
        EXPECT_EQ(block->GetPristine(a)->GetVobId(), a + 1);
    }
}

TEST(AngleBlock, PristineReferencesStayBalanced)
{
    MemorySet m({{1, 1}, {2, 1}}, 1);
    ASSERT_TRUE(m.set->IsUsable()) << m.log.Dump();
    const uint32_t base = m.set->GetRefCount();
    {
        CAngleBlockList domain(nullptr);
        CAngleBlock* block = domain.AddCell(m.Copy(0), m.Blocks().GetBlock(0)->GetIlvu(0));
        EXPECT_EQ(m.set->GetRefCount(), base + 2);
        block->SetPristineCount(3);
        EXPECT_EQ(block->GetPristine(2), nullptr);
        block->AddPristine(m.Blocks().GetBlock(1)->GetIlvu(0));
        EXPECT_EQ(m.set->GetRefCount(), base + 3);
        block->SetPristineCount(1);
        EXPECT_EQ(m.set->GetRefCount(), base + 2);
        std::unique_ptr<CAngleBlock> copy(CAngleBlock::CopyConstruct(*block, &domain));
        EXPECT_EQ(copy->GetId(), block->GetId());
        EXPECT_EQ(copy->GetPristine(0), block->GetPristine(0));
        EXPECT_EQ(m.set->GetRefCount(), base + 4);
        copy.reset();
        block->Clear();
        EXPECT_EQ(block->GetIlvuCount(), 0u);
        EXPECT_EQ(m.set->GetRefCount(), base);
    }
    EXPECT_EQ(m.set->GetRefCount(), base);
}

TEST(AngleBlockList, AssignCopiesBlocksAndMapsThemForThePgcs)
{
    MemorySet m({{1, 1}, {2, 1}, {3, 1}}, 2);
    ASSERT_TRUE(m.set->IsUsable()) << m.log.Dump();
    CAngleBlockList source(nullptr);
    source.CopyConstruct(m.Blocks());
    CAngleBlockList copy(nullptr);
    CBlockMap map;
    copy.Assign(source, &map);
    ASSERT_EQ(copy.GetBlockCount(), 3u);
    ASSERT_EQ(map.GetSize(), 3);
    EXPECT_EQ(copy.GetId(), source.GetId());
    for (uint32_t b = 0; b < 3; ++b)
    {
        EXPECT_EQ(map.Lookup(source.GetBlock(b)), copy.GetBlock(b));
        EXPECT_NE(copy.GetBlock(b), source.GetBlock(b));
        EXPECT_EQ(copy.GetBlock(b)->GetId(), source.GetBlock(b)->GetId());
        EXPECT_EQ(copy.GetBlock(b)->GetIlvu(0)->GetVobId(), source.GetBlock(b)->GetIlvu(0)->GetVobId());
    }
    EXPECT_TRUE(copy.GetStreams().Equals(source.GetStreams()));
    copy = copy; // self-assignment changes nothing
    EXPECT_EQ(copy.GetBlockCount(), 3u);
}

TEST(AngleBlockList, InsertMoveAndRemoveKeepTheOrder)
{
    MemorySet m({{1, 1}, {2, 1}, {3, 1}, {4, 1}}, 1);
    ASSERT_TRUE(m.set->IsUsable()) << m.log.Dump();
    CAngleBlockList domain(nullptr);
    CAngleBlock* first = domain.AddCell(m.Copy(0), nullptr);
    domain.AddCell(m.Copy(1), nullptr);
    CAngleBlock* inserted = new CAngleBlock(m.Copy(2), nullptr, nullptr);
    inserted->GetIlvu(0)->SetParent(inserted);
    domain.InsertAfter(first, inserted);
    auto order = [&]
    {
        std::vector<int> ids;
        for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
            ids.push_back(domain.GetBlock(b)->GetIlvu(0)->GetVobId());
        return ids;
    };
    EXPECT_EQ(order(), (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(inserted->GetParent(), &domain);
    // A block that is not in the list inserts nothing.
    std::unique_ptr<CAngleBlock> stray(new CAngleBlock(m.Copy(3), nullptr, nullptr));
    std::unique_ptr<CAngleBlock> notInserted(new CAngleBlock(nullptr, nullptr, nullptr));
    domain.InsertAfter(stray.get(), notInserted.get());
    EXPECT_EQ(domain.GetBlockCount(), 3u);
    domain.MoveBlock(0, 2);
    EXPECT_EQ(order(), (std::vector<int>{3, 2, 1}));
    domain.MoveBlock(2, 0);
    EXPECT_EQ(order(), (std::vector<int>{1, 3, 2}));
    domain.ClearModified();
    domain.RemoveBlock(1, false);
    EXPECT_EQ(order(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(domain.IsModified());
    domain.RemoveBlock(7, false);
    EXPECT_EQ(domain.GetBlockCount(), 2u);
}

// The first block that brings stream attributes defines the domain's; later
// blocks and removals leave them while a block with streams remains.
TEST(AngleBlockList, FirstBlockWithStreamsDefinesThem)
{
    MemorySet m({{1, 1}, {2, 1}}, 1);
    ASSERT_TRUE(m.set->IsUsable()) << m.log.Dump();
    CAngleBlockList domain(nullptr);
    EXPECT_FALSE(domain.HasSourceStreams(nullptr));
    domain.AddCell(m.Copy(0), nullptr);
    EXPECT_TRUE(domain.GetStreams().Equals(m.set->GetStreams()));
    EXPECT_EQ(domain.GetStreams().GetAudioCount(), 1);

    CStreamSet other(nullptr, false);
    domain.ClearModified();
    domain.UpdateStreams(other, nullptr);
    EXPECT_TRUE(domain.GetStreams().Equals(m.set->GetStreams()));
    EXPECT_FALSE(domain.IsModified());

    domain.AddCell(m.Copy(1), nullptr);
    domain.RemoveBlock(0, true);
    EXPECT_EQ(domain.GetStreams().GetAudioCount(), 1);
    // The last block with streams gone, the streams are set anew.
    domain.RemoveBlock(0, true);
    EXPECT_EQ(domain.GetStreams().GetAudioCount(), 0);
}

TEST(AngleBlockList, StockCellsTakeTheStandardOfTheDomain)
{
    ReleaseStockCells();
    ASSERT_TRUE(CreateStockCells());
    MemorySet m({{1, 1}}, 1, 0x10);
    ASSERT_TRUE(m.set->IsUsable()) << m.log.Dump();
    {
        CAngleBlockList domain(nullptr);
        // A block of stock cells brings no streams: the next one defines them.
        CVobCell* ntsc = CVobCell::CopyConstruct(*GetStockCell(1), nullptr);
        ntsc->SetIds(7, 2);
        CAngleBlock* stock = domain.AddCell(ntsc, GetStockCell(1));
        EXPECT_FALSE(domain.HasSourceStreams(nullptr));
        domain.AddCell(m.Copy(0), nullptr);
        ASSERT_TRUE(domain.IsPal());
        const CVobCell* pal = stock->GetIlvu(0);
        EXPECT_TRUE(pal->IsStock());
        EXPECT_EQ(pal->GetFrameRate(), 25);
        EXPECT_EQ(pal->GetVobId(), 7);
        EXPECT_EQ(pal->GetCellId(), 2);
        EXPECT_EQ(pal->GetParent(), stock);
        ASSERT_EQ(stock->GetPristineCount(), 1u);
        EXPECT_EQ(stock->GetPristine(0), GetStockCell(0));
        EXPECT_TRUE(stock->IsModified());
        // The stock cell counts in full whatever the masks drop.
        EXPECT_EQ(stock->GetOutputSizeWithMasks(0, 0), stock->GetSourceSize());
    }
    EXPECT_TRUE(ReleaseStockCells());
}

// The user operations in (clear, set) order, as everywhere else.
TEST(AngleBlock, ModifyUopsTakesClearThenSetAndMarksChangedIlvus)
{
    MemorySet m({{1, 1}, {2, 1}}, 1);
    ASSERT_TRUE(m.set->IsUsable()) << m.log.Dump();
    CAngleBlockList domain(nullptr);
    CAngleBlock* block = domain.AddCell(m.Copy(0), nullptr);
    CVobCell* second = m.Copy(1);
    block->AddCell(second, nullptr);
    second->SetParent(block);
    ASSERT_TRUE(second->SetUops(0x00000100));
    block->ClearModified();
    EXPECT_TRUE(block->ModifyUops(0x00000100, 0x00000200));
    EXPECT_EQ(block->GetIlvu(0)->GetUopMask().GetMask(), 0x00000200u);
    EXPECT_EQ(second->GetUopMask().GetMask(), 0x00000200u);
    EXPECT_TRUE(block->GetIlvu(0)->IsModified());
    block->ClearModified();
    EXPECT_FALSE(block->ModifyUops(0x00000100, 0x00000200));
    EXPECT_FALSE(block->IsModified());
    EXPECT_TRUE(block->SetUops(0));
    EXPECT_EQ(second->GetUopMask().GetMask(), 0u);
}

TEST(AngleBlock, CollectAddressesListsTheOutputPiecesAndVobus)
{
    MemorySet m({{1, 1}}, 3);
    ASSERT_TRUE(m.set->IsUsable()) << m.log.Dump();
    CAngleBlockList domain(nullptr);
    CAngleBlock* block = domain.AddCell(m.Copy(0), nullptr);
    CGrowArray<DWORD> vobus, ptms;
    for (DWORD v : {100u, 102u, 104u})
        vobus.Add(v);
    for (DWORD p : {1u, 2u, 3u})
        ptms.Add(p);
    CDvdPtrArray<CVobCellPiece> pieces;
    pieces.Add(new CVobCellPiece{100, 105});
    block->GetIlvu(0)->SetOutput(vobus, ptms, ptms, pieces);
    CCellAddressList cells;
    CVobuAddressList starts;
    block->CollectAddresses(cells, starts);
    ASSERT_EQ(cells.GetSize(), 1u);
    EXPECT_EQ(cells[0]->m_wVobId, 1);
    EXPECT_EQ(cells[0]->m_nCellId, 1);
    EXPECT_EQ(cells[0]->m_dwFirstSector, 100u);
    EXPECT_EQ(cells[0]->m_dwLastSector, 105u);
    ASSERT_EQ(starts.GetSize(), 3);
    EXPECT_EQ(starts[2], 104u);
    EXPECT_EQ(block->GetExportedSize(), 6u * 2048);
}

// Two buttons: a link to PGC 3 and a test of general register 3 against
// the title number (system register 4).
TEST(AngleBlock, ButtonCommandsAreRetargetedWhereTheyReferToTheRange)
{
    const BYTE link[8] = {0x20, 0x04, 0, 0, 0, 0, 0, 3};
    const BYTE test[8] = {0x30, 0x11, 0, 0, 0, 0, 0x03, 0x84};
    MemorySet m({{1, 1}}, 2, 0x10,
                [&](PciPacket& pci)
                {
                    pci.SetHliStatus(1);
                    pci.SetButtonGroupCount(1);
                    pci.SetBtnNs(2);
                    pci.GetButtonInfo(0, 1).SetCommand(link);
                    pci.GetButtonInfo(0, 2).SetCommand(test);
                });
    ASSERT_TRUE(m.set->IsUsable()) << m.log.Dump();
    CAngleBlockList domain(nullptr);
    domain.CopyConstruct(m.Blocks());
    ASSERT_EQ(domain.GetBlockCount(), 1u);
    CAngleBlock* block = domain.GetBlock(0);
    ASSERT_TRUE(block->HasButtons());
    CVobCell* ilvu = block->GetIlvu(0);
    ASSERT_EQ(ilvu->GetSegmentCount(), 1u);
    const BYTE* command = ilvu->GetSegment(0)->GetButton(0)->GetGroup(0).command;
    EXPECT_TRUE(ilvu->HasNavigatingButtons());
    EXPECT_EQ(block->GetUsedRegisters(), 1u << 3);
    EXPECT_EQ(domain.GetUsedRegisters(), 1u << 3);

    EXPECT_TRUE(block->ButtonsReferTo(RETARGET_PGC, 3, 3));
    EXPECT_FALSE(block->ButtonsReferTo(RETARGET_PGC, 4, 9));
    domain.ClearModified();
    EXPECT_FALSE(block->RetargetButtonCommands(RETARGET_PGC, 5, 1, RETARGET_NO_LIMIT));
    // Asked without write-back, the block only tells.
    EXPECT_TRUE(block->ForEachButtonCommand(RETARGET_PGC, 2, 1, RETARGET_NO_LIMIT, false));
    EXPECT_EQ(command[7], 3);
    EXPECT_FALSE(domain.IsModified());
    EXPECT_TRUE(domain.RetargetButtonCommands(RETARGET_PGC, 2, 1, RETARGET_NO_LIMIT));
    EXPECT_EQ(command[7], 4);
    EXPECT_TRUE(domain.IsModified());
    CAngleBlockArray blocks;
    domain.GetBlocks(blocks);
    EXPECT_TRUE(RetargetButtonCommands(blocks, RETARGET_PGC, 3, -1, RETARGET_NO_LIMIT));
    EXPECT_EQ(command[7], 3);

    // A merge that moves the title numbers cannot keep a test of the title
    // number; without a move there is nothing to keep.
    EXPECT_NE(block->GetUsedSystemRegisters() & (1u << 4), 0u);
    CCommandOperation title;
    title.nOperation = COMMANDOP_TITLE_REGISTER;
    title.a = 1;
    EXPECT_FALSE(domain.CheckButtonCommands(title));
    title.a = 0;
    EXPECT_TRUE(domain.CheckButtonCommands(title));
}

} // namespace
