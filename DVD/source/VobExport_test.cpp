#include "DVD/source/VobExport.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DiskVobFile.h"
#include "DVD/source/DvdTime.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobTestSupport.h"
#include "Shared/platform/PlatformPath.h"
#include "Shared/source/dataAccess/DataFile.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

using kxtest::RecordingLog;
using kxtest::VobBuilder;

namespace
{

const uint32_t kSector = 2048;

// ---- Crafted still pictures ---------------------------------------------------------

// Rewrites sector n of the builder as a video pack with nStuffing stuffing
// bytes in its pack header, a PES header with PTS (and DTS), and the payload
// at the start of the packet's data; zero bytes fill the rest.
size_t MakeVideoPack(VobBuilder& vob, uint32_t n, int nStuffing, bool bPts, bool bDts, const std::vector<BYTE>& payload)
{
    BYTE* s = vob.bytes.data() + size_t(n) * kSector;
    std::memset(s + 14, 0, kSector - 14);
    s[13] = BYTE(0xF8 | nStuffing);
    std::memset(s + 14, 0xFF, size_t(nStuffing));
    size_t pos = 14 + size_t(nStuffing);
    BYTE* p = s + pos;
    p[0] = 0;
    p[1] = 0;
    p[2] = 1;
    p[3] = 0xE0;
    PutBE16(p + 4, WORD(kSector - pos - 6));
    p[6] = 0x81;
    p[7] = BYTE((bPts ? 0x80 : 0) | (bDts ? 0x40 : 0));
    p[8] = BYTE(bPts ? (bDts ? 10 : 5) : 0);
    if (bPts)
    {
        p[9] = bDts ? 0x31 : 0x21;
        EncodePts(p + 9, 77777);
    }
    if (bDts)
    {
        p[14] = 0x11;
        EncodePts(p + 14, 70000);
    }
    std::memcpy(p + 9 + p[8], payload.data(), payload.size());
    return pos + 9 + p[8];
}

std::vector<BYTE> Code(BYTE id, std::vector<BYTE> tail)
{
    std::vector<BYTE> c = {0, 0, 1, id};
    c.insert(c.end(), tail.begin(), tail.end());
    return c;
}

std::vector<BYTE> Join(std::initializer_list<std::vector<BYTE>> parts)
{
    std::vector<BYTE> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A sequence header, a GOP header (open) and a picture with temporal
// reference 5, then slice bytes.
std::vector<BYTE> PictureStart()
{
    return Join({Code(0xB3, {0x2D, 0x02, 0x40, 0x33, 0xFF, 0xFF, 0xE0, 0x18}), Code(0xB8, {0x00, 0x08, 0x00, 0x00}),
                 Code(0x00, {0x01, 0x4F, 0xFF, 0xF8}), Code(0x01, {0x12, 0x34, 0x56})});
}

struct StillCase
{
    const char* name;
    int nPacks;         // video packs up to the reference end
    int nStuffing;      // of the first pack
    size_t nNextCodeAt; // where the last pack holds the next picture (0: nowhere)
};

class StillPicture : public ::testing::TestWithParam<StillCase>
{
};

TEST_P(StillPicture, EndsThePictureAndClearsItsClock)
{
    const StillCase& c = GetParam();
    VobBuilder vob;
    const DWORD refEnd = DWORD(c.nPacks) + 1; // an audio pack sits between NAV and picture
    vob.Nav(1, 1, 0, nullptr,
            [&](DsiPacket& dsi)
            {
                dsi.SetVobuEa(refEnd + 1);
                dsi.SetVobuRefEa(0, refEnd);
            });
    vob.Pes(0xC0);
    for (int i = 0; i < c.nPacks + 1; ++i)
        vob.Pes(0xE0);
    EncodeScr(5000000, GetPackScrField(vob.bytes.data() + 2 * kSector));
    size_t payloadAt = MakeVideoPack(vob, 2, c.nStuffing, true, true, PictureStart());
    const size_t firstPacket = 14 + size_t(c.nStuffing);
    for (int i = 1; i < c.nPacks; ++i)
        MakeVideoPack(vob, 2 + uint32_t(i), 0, false, false, {0x00, 0x00, 0x01, 0x05});
    if (c.nNextCodeAt != 0)
    {
        BYTE* last = vob.bytes.data() + size_t(refEnd) * kSector;
        std::memcpy(last + c.nNextCodeAt, "\x00\x00\x01\x00", 4);
    }
    RecordingLog log;
    CVobData set(log, c.name, uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    ASSERT_TRUE(set.IsUsable()) << log.Dump();
    CStillSource still(*set.GetPristineBlocks().GetBlock(0)->GetIlvu(0), 0);

    std::vector<BYTE> out;
    ASSERT_TRUE(WriteStillPicture(still, 90000, out));
    const size_t extra = c.nNextCodeAt == 0 ? 1 : 0;
    ASSERT_EQ(out.size(), (1 + size_t(c.nPacks) + extra) * kSector);
    EXPECT_EQ(0, std::memcmp(out.data(), vob.bytes.data(), kSector)); // the NAV copy

    const BYTE* first = out.data() + kSector;
    const BYTE zeroScr[6] = {0x44, 0x00, 0x04, 0x00, 0x04, 0x01};
    for (size_t s = 1; s < out.size() / kSector; ++s)
        EXPECT_EQ(0, std::memcmp(out.data() + s * kSector + 4, zeroScr, 6)) << "pack " << s;
    // PTS and DTS behind the stuffing; an NTSC source decodes 3003 earlier.
    EXPECT_EQ(DecodePts(first + firstPacket + 9), 90000u);
    EXPECT_EQ(DecodePts(first + firstPacket + 14), 90000u - 3003u);
    EXPECT_EQ(first[firstPacket + 9] & 0xF0, 0x30);
    const BYTE* gop = first + payloadAt + 12;
    EXPECT_EQ(gop[7] & 0x40, 0x40);
    const BYTE* picture = gop + 8;
    EXPECT_EQ(picture[4], 0);
    EXPECT_EQ(picture[5], 0x4F & 0x3F);

    const BYTE* last = out.data() + size_t(c.nPacks) * kSector;
    const size_t lastPacket = c.nPacks == 1 ? firstPacket : 14;
    if (c.nNextCodeAt == 0)
    {
        const BYTE* end = out.data() + out.size() - kSector;
        EXPECT_EQ(GetBE32(end + 23), 0x000001B7u);
        EXPECT_EQ(GetBE32(end + 27), 0x000001BEu);
        EXPECT_EQ(end[kSector - 1], 0xFF);
        EXPECT_EQ(0, std::memcmp(last + 14, vob.bytes.data() + size_t(refEnd) * kSector + 14, kSector - 14));
    }
    else
    {
        const size_t p = c.nNextCodeAt;
        EXPECT_EQ(GetBE32(last + p), 0x000001B7u);
        if (p + 10 <= kSector)
        {
            EXPECT_EQ(GetBE32(last + p + 4), 0x000001BEu);
            EXPECT_EQ(GetBE16(last + p + 8), kSector - (p + 10));
            EXPECT_EQ(GetBE16(last + lastPacket + 4), p + 4 - (lastPacket + 6));
        }
        else
        {
            // Every byte stays inside the video packet.
            EXPECT_EQ(GetBE16(last + lastPacket + 4), kSector - (lastPacket + 6));
            for (size_t i = p + 4; i < kSector; ++i)
                EXPECT_EQ(last[i], 0) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Endings, StillPicture,
                         ::testing::Values(StillCase{"padded", 1, 0, 600}, StillCase{"stuffed", 2, 3, 1000},
                                           StillCase{"tight", 2, 0, kSector - 8}, StillCase{"runs_on", 3, 2, 0}),
                         [](const ::testing::TestParamInfo<StillCase>& info) { return info.param.name; });

TEST(StillPictureDamage, AReferenceBeyondItsVobuIsRefused)
{
    VobBuilder vob;
    vob.Nav(1, 1, 0, nullptr,
            [](DsiPacket& dsi)
            {
                dsi.SetVobuEa(1);
                dsi.SetVobuRefEa(0, 5000000);
            });
    vob.Pes(0xE0);
    RecordingLog log;
    CVobData set(log, "damaged", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    ASSERT_TRUE(set.IsUsable()) << log.Dump();
    CStillSource still(*set.GetPristineBlocks().GetBlock(0)->GetIlvu(0), 0);
    std::vector<BYTE> out;
    EXPECT_FALSE(WriteStillPicture(still, 0, out));
}

// ---- Vob and cell ids ----------------------------------------------------------------

// One-VOBU cells whose times run from start to end; each becomes one block.
struct TimedCell
{
    WORD vob;
    BYTE cell;
    DWORD start;
    DWORD end;
};

std::unique_ptr<CVobData> TimedSet(RecordingLog& log, const std::vector<TimedCell>& cells)
{
    VobBuilder vob;
    for (const TimedCell& c : cells)
    {
        DWORD end = c.end;
        vob.Nav(c.vob, c.cell, c.start, [end](PciPacket& pci) { pci.SetVobuEPtm(end); });
        vob.Pes(0xE0);
    }
    return std::unique_ptr<CVobData>(new CVobData(log, "timed", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr));
}

std::vector<std::pair<int, int>> Ids(const CAngleBlockList& domain)
{
    std::vector<std::pair<int, int>> ids;
    for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
        for (uint32_t a = 0; a < domain.GetBlock(b)->GetIlvuCount(); ++a)
            ids.emplace_back(domain.GetBlock(b)->GetIlvu(a)->GetVobId(), domain.GetBlock(b)->GetIlvu(a)->GetCellId());
    return ids;
}

TEST(AssignVobCellIds, ContinuingTimesShareAVob)
{
    RecordingLog log;
    // Source ids differ so that each cell is a block of its own.
    auto set =
        TimedSet(log, {{7, 1, 0, 100}, {8, 1, 100, 200}, {9, 1, 200, 300}, {10, 1, 500, 600}, {11, 1, 600, 700}});
    ASSERT_TRUE(set->IsUsable()) << log.Dump();
    CAngleBlockList domain(nullptr);
    domain.CopyConstruct(set->GetPristineBlocks());
    ASSERT_EQ(domain.GetBlockCount(), 5u);
    AssignVobCellIds(domain);
    EXPECT_EQ(Ids(domain), (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}}));
    EXPECT_EQ(domain.GetBlock(1)->GetIlvu(0)->GetCellStartPtm(), 0u);
    EXPECT_EQ(domain.GetBlock(1)->GetIlvu(0)->GetCellEndPtm(), 300u);
    EXPECT_EQ(domain.GetBlock(4)->GetIlvu(0)->GetCellStartPtm(), 500u);
}

TEST(AssignVobCellIds, AVobOf255CellsIsClosedInsteadOfWrappingTheCellId)
{
    RecordingLog log;
    std::vector<TimedCell> cells;
    for (DWORD n = 0; n < 257; ++n)
        cells.push_back({WORD(1 + n / 200), BYTE(1 + n % 200), n * 10, n * 10 + 10});
    auto set = TimedSet(log, cells);
    ASSERT_TRUE(set->IsUsable()) << log.Dump();
    CAngleBlockList domain(nullptr);
    domain.CopyConstruct(set->GetPristineBlocks());
    ASSERT_EQ(domain.GetBlockCount(), 257u);
    AssignVobCellIds(domain);
    auto ids = Ids(domain);
    EXPECT_EQ(ids[254], std::make_pair(1, 255));
    EXPECT_EQ(ids[255], std::make_pair(2, 1));
    EXPECT_EQ(ids[256], std::make_pair(2, 2));
    EXPECT_EQ(domain.GetBlock(0)->GetIlvu(0)->GetCellEndPtm(), 2550u);
    EXPECT_EQ(domain.GetBlock(255)->GetIlvu(0)->GetCellStartPtm(), 2550u);
}

TEST(AssignVobCellIds, GroupsOfAnglesThatEndAreClosedWithIdsOfTheirOwn)
{
    // Two angles, then one block that continues angle 1 only, then a block
    // that continues nothing.
    auto twoAngles = [](DsiPacket& dsi)
    {
        dsi.SetSmlCategory(0x40);
        dsi.SetSmlAgli(0, 4, 2);
        dsi.SetSmlAgli(1, 6, 2);
    };
    auto ilvu = [](DsiPacket& dsi) { dsi.SetSmlCategory(0x40); };
    auto ends = [](DWORD e) { return [e](PciPacket& pci) { pci.SetVobuEPtm(e); }; };
    VobBuilder vob;
    vob.Nav(1, 1, 0, ends(100), twoAngles);
    vob.Pes(0xE0);
    vob.Nav(2, 1, 0, ends(100), ilvu);
    vob.Pes(0xE0);
    vob.Nav(3, 1, 100, ends(200));
    vob.Pes(0xE0);
    vob.Nav(4, 1, 900, ends(1000));
    vob.Pes(0xE0);
    RecordingLog log;
    CVobData set(log, "angles", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    ASSERT_TRUE(set.IsUsable()) << log.Dump();
    CAngleBlockList domain(nullptr);
    domain.CopyConstruct(set.GetPristineBlocks());
    ASSERT_EQ(domain.GetBlockCount(), 3u);
    ASSERT_EQ(domain.GetBlock(0)->GetIlvuCount(), 2u);
    AssignVobCellIds(domain);
    auto ids = Ids(domain);
    // Angle 1 and its continuation share a VOB; angle 2 got one of its own.
    EXPECT_EQ(ids[0].first, ids[2].first);
    EXPECT_EQ(ids[2].second, 2);
    EXPECT_NE(ids[1].first, ids[0].first);
    EXPECT_NE(ids[3].first, ids[0].first);
    EXPECT_NE(ids[3].first, ids[1].first);
    std::set<std::pair<int, int>> unique(ids.begin(), ids.end());
    EXPECT_EQ(unique.size(), ids.size());
}

std::vector<BYTE> ReadDomainFiles(const std::string& folder, BYTE vts, bool menu)
{
    std::vector<BYTE> all;
    for (uint32_t k = 1; k <= 9; ++k)
    {
        std::string name = CDiskVobFile::GetFileName(folder, vts, menu, k);
        if (!kx::FileExists(name))
            break;
        std::vector<BYTE> part = kxtest::ReadWholeFile(name);
        all.insert(all.end(), part.begin(), part.end());
        if (menu)
            break;
    }
    return all;
}

// ---- Crafted domains -------------------------------------------------------------------

// Exports a memory set's pristine blocks keeping every stream; answers the
// output sectors (empty on failure, the log says why).
std::vector<BYTE> ExportCrafted(RecordingLog& log, CVobData& set, CAngleBlockList& domain, CCellAddressList& cells,
                                CVobuAddressList& vobus, CDvdProgress* pProgress = nullptr,
                                const std::function<void(CAngleBlockList&)>& prepare = nullptr)
{
    domain.CopyConstruct(set.GetPristineBlocks());
    for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
        for (uint32_t a = 0; a < domain.GetBlock(b)->GetIlvuCount(); ++a)
            EXPECT_TRUE(domain.GetBlock(b)->GetIlvu(a)->ParseButtons(log, false, nullptr));
    AssignVobCellIds(domain);
    if (prepare)
        prepare(domain);
    kxtest::ScratchFolder scratch;
    std::string folder = scratch.Path() + kx::NativePathSeparator();
    bool bOk;
    {
        CDiskVobFile writer;
        EXPECT_TRUE(writer.StartDomain(log, folder.c_str(), 1, false));
        bOk = WriteVobsKeeping(domain, 0xFF, 0xFFFFFFFF, log, writer, cells, vobus, pProgress);
    }
    return bOk ? ReadDomainFiles(folder, 1, false) : std::vector<BYTE>();
}

TEST(CraftedExport, InterleavedAnglesKeepTheirSourceOrder)
{
    auto twoAngles = [](DsiPacket& dsi)
    {
        dsi.SetSmlCategory(0x40);
        dsi.SetSmlAgli(0, 4, 2);
        dsi.SetSmlAgli(1, 6, 2);
    };
    auto ilvu = [](DsiPacket& dsi) { dsi.SetSmlCategory(0x40); };
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
    CAngleBlockList domain(nullptr);
    CCellAddressList cells;
    CVobuAddressList vobus;
    std::vector<BYTE> out = ExportCrafted(log, set, domain, cells, vobus);
    ASSERT_EQ(out.size(), vob.bytes.size()) << log.Dump();
    ASSERT_EQ(vobus.GetSize(), 6);
    const DWORD expectedVobus[6] = {0, 2, 4, 5, 6, 7};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(vobus[i], expectedVobus[i]);
    for (DWORD s : expectedVobus)
    {
        PciPacket pci;
        pci.ReadFromSector(out.data() + size_t(s) * kSector);
        EXPECT_EQ(pci.GetNvPckLbn(), s);
    }
    EXPECT_EQ(0, std::memcmp(out.data() + kSector + 14, vob.bytes.data() + kSector + 14, kSector - 14));
    // One C_ADT entry per piece in the order written; each angle's output
    // pieces are where its pieces landed.
    ASSERT_EQ(cells.GetSize(), 6u);
    const CVobCell* angle1 = domain.GetBlock(0)->GetIlvu(0);
    const CVobCell* angle2 = domain.GetBlock(0)->GetIlvu(1);
    ASSERT_EQ(angle1->GetOutputPieces().GetSize(), 2u);
    EXPECT_EQ(angle1->GetOutputPieces()[0]->m_dwLastSector, 1u);
    EXPECT_EQ(angle1->GetOutputPieces()[1]->m_dwFirstSector, 4u);
    EXPECT_EQ(angle2->GetOutputPieces()[1]->m_dwFirstSector, 5u);
    EXPECT_EQ(cells[1]->m_wVobId, angle2->GetVobId());
    EXPECT_NE(angle1->GetVobId(), angle2->GetVobId());
    EXPECT_FALSE(angle1->IsPlainRun());
    EXPECT_EQ(log.Count('E'), 0) << log.Dump();
}

TEST(CraftedExport, AForeignSectorBetweenTwoPiecesIsRemoved)
{
    // Cell (1,1) has the pieces 0-1 and 4-6; cell (1,2) sits between them.
    VobBuilder vob;
    vob.Nav(1, 1, 0, nullptr,
            [](DsiPacket& dsi)
            {
                dsi.SetVobuEa(1);
                dsi.SetSri(SRI_NEXT, 4);
            });
    vob.Pes(0xE0);
    vob.Nav(1, 2);
    vob.Pes(0xC0);
    vob.Nav(1, 1, 0, nullptr,
            [](DsiPacket& dsi)
            {
                dsi.SetVobuEa(2);
                dsi.SetSri(SRI_PREV, 4);
            });
    vob.Pes(0xE0);
    vob.Pes(0xBD, 0x20);
    RecordingLog log;
    CVobData set(log, "pieces", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    ASSERT_TRUE(set.IsUsable()) << log.Dump();
    CAngleBlockList domain(nullptr);
    CCellAddressList cells;
    CVobuAddressList vobus;
    std::vector<BYTE> out = ExportCrafted(log, set, domain, cells, vobus);
    ASSERT_EQ(out.size(), vob.bytes.size()) << log.Dump();
    // Block 1 (the two pieces) first, then block 2.
    ASSERT_EQ(vobus.GetSize(), 3);
    EXPECT_EQ(vobus[0], 0u);
    EXPECT_EQ(vobus[1], 2u);
    EXPECT_EQ(vobus[2], 5u);
    DsiPacket first;
    first.ReadFromSector(out.data());
    EXPECT_EQ(first.GetSri(SRI_NEXT) & SRI_OFFSET_MASK, 2u); // the gap of 2 sectors is gone
    DsiPacket second;
    second.ReadFromSector(out.data() + 2 * kSector);
    EXPECT_EQ(second.GetNvPckLbn(), 2u);
    EXPECT_EQ(second.GetSri(SRI_PREV) & SRI_OFFSET_MASK, 2u);
    // The crafted packs carry no clock, so the writer stamps them: the
    // packet behind the pack header is what counts.
    EXPECT_EQ(0, std::memcmp(out.data() + 4 * kSector + 14, vob.bytes.data() + 6 * kSector + 14, kSector - 14));
    EXPECT_TRUE(domain.GetBlock(0)->GetIlvu(0)->IsPlainRun());
    ASSERT_EQ(cells.GetSize(), 3u);
    EXPECT_EQ(cells[0]->m_dwLastSector, 1u);
    EXPECT_EQ(cells[1]->m_dwFirstSector, 2u);
    EXPECT_EQ(cells[1]->m_dwLastSector, 4u);
}

TEST(CraftedExport, TheLastVobusBeforeAnInterleavedBlockAnnounceIt)
{
    auto twoAngles = [](DsiPacket& dsi)
    {
        dsi.SetSmlCategory(0x40);
        dsi.SetSmlAgli(0, 1, 1);
        dsi.SetSmlAgli(1, 2, 1);
    };
    auto ilvu = [](DsiPacket& dsi) { dsi.SetSmlCategory(0x40); };
    VobBuilder vob;
    for (int i = 0; i < 4; ++i)
        vob.Nav(1, 1, 0, nullptr, [](DsiPacket& dsi) { dsi.SetSmlCategory(0x20); });
    vob.Nav(2, 1, 0, nullptr, twoAngles);
    vob.Nav(3, 1, 0, nullptr, ilvu);
    RecordingLog log;
    CVobData set(log, "seamless", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    ASSERT_TRUE(set.IsUsable()) << log.Dump();
    CAngleBlockList domain(nullptr);
    CCellAddressList cells;
    CVobuAddressList vobus;
    std::vector<BYTE> out = ExportCrafted(log, set, domain, cells, vobus);
    ASSERT_EQ(out.size(), vob.bytes.size()) << log.Dump();
    ASSERT_EQ(domain.GetBlockCount(), 2u);
    EXPECT_TRUE(domain.GetBlock(0)->GetIlvu(0)->PrecedesInterleaved());
    const BYTE expected[4] = {0x00, 0xA0, 0x80, 0x90};
    for (int i = 0; i < 4; ++i)
    {
        DsiPacket dsi;
        dsi.ReadFromSector(out.data() + size_t(i) * kSector);
        EXPECT_EQ(dsi.GetSmlCategory(), expected[i]) << "VOBU " << i;
    }
}

TEST(CraftedExport, ACancelStopsTheExport)
{
    VobBuilder vob;
    vob.Nav(1, 1);
    for (int i = 0; i < 6; ++i)
        vob.Pes(0xE0);
    RecordingLog log;
    CVobData set(log, "cancel", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    ASSERT_TRUE(set.IsUsable()) << log.Dump();
    CAngleBlockList domain(nullptr);
    CCellAddressList cells;
    CVobuAddressList vobus;
    kxtest::RecordingProgress progress(2);
    EXPECT_TRUE(ExportCrafted(log, set, domain, cells, vobus, &progress).empty());
    EXPECT_TRUE(log.IsCancelled());
    EXPECT_EQ(progress.position, 3u * kSector);
}

TEST(CraftedExport, AVobuOutsideEveryButtonSegmentFailsTheExport)
{
    VobBuilder vob;
    vob.Nav(1, 1);
    vob.Pes(0xE0);
    vob.Nav(1, 1);
    vob.Pes(0xE0);
    RecordingLog log;
    CVobData set(log, "nosegments", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    ASSERT_TRUE(set.IsUsable()) << log.Dump();
    CAngleBlockList domain(nullptr);
    CCellAddressList cells;
    CVobuAddressList vobus;
    // The segments end before the ILVU's second VOBU.
    auto shorten = [](CAngleBlockList& d)
    {
        CVobCell* ilvu = d.GetBlock(0)->GetIlvu(0);
        ASSERT_GE(ilvu->GetSegmentCount(), 1u);
        CButtonSegment* last = ilvu->GetSegment(ilvu->GetSegmentCount() - 1);
        last->SetVobuCount(1 - last->GetFirstVobu());
    };
    EXPECT_TRUE(ExportCrafted(log, set, domain, cells, vobus, nullptr, shorten).empty());
    EXPECT_TRUE(log.Has('E', "ops: vobid=1, cellid=1, segmentIdx=0, vobuIdx=1, btnSegmentIdx=1")) << log.Dump();
}

// ---- Fixture domains -------------------------------------------------------------------

struct Domain
{
    const char* fixture;
    const char* ifo;
    BYTE vts;
    bool menu;
};

std::unique_ptr<CVobData> OpenDomain(RecordingLog& log, const Domain& d)
{
    CCellAddressList cells;
    CVobuAddressList vobus;
    EXPECT_TRUE(kxtest::ReadDomainTables(kxtest::FixturePath(d.fixture, d.ifo), d.menu, cells, vobus));
    std::vector<BYTE> ifo = kxtest::ReadWholeFile(kxtest::FixturePath(d.fixture, d.ifo));
    CStreamSet streams(nullptr, d.menu);
    const size_t at = d.menu ? 0x100 : 0x200;
    EXPECT_GE(ifo.size(), at + STREAM_BLOCK_SIZE);
    if (ifo.size() >= at + STREAM_BLOCK_SIZE)
    {
        EXPECT_TRUE(streams.ReadIfo(ifo.data() + at, d.menu));
    }
    std::string folder = kxtest::FixturePath(d.fixture, "VIDEO_TS") + kx::NativePathSeparator();
    return std::unique_ptr<CVobData>(
        new CVobData(log, folder.c_str(), d.vts, d.menu, &streams, cells, vobus, true, nullptr));
}

class DomainExport : public ::testing::TestWithParam<Domain>
{
};

// Nothing removed: the data packs come out as they went in, and every NAV
// pack knows where it landed and where its VOBU ends.
TEST_P(DomainExport, AnUnchangedDomainKeepsEverySectorAndAddress)
{
    const Domain& d = GetParam();
    KX_REQUIRE_FIXTURE(dir, d.fixture);
    RecordingLog log;
    std::unique_ptr<CVobData> set = OpenDomain(log, d);
    ASSERT_TRUE(set->IsUsable()) << log.Dump();
    CAngleBlockList domain(nullptr, d.menu);
    domain.CopyConstruct(set->GetPristineBlocks());
    for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
        for (uint32_t a = 0; a < domain.GetBlock(b)->GetIlvuCount(); ++a)
            ASSERT_TRUE(domain.GetBlock(b)->GetIlvu(a)->ParseButtons(log, d.menu, nullptr)) << log.Dump();
    AssignVobCellIds(domain);

    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    std::string folder = scratch.Path() + kx::NativePathSeparator();
    CCellAddressList cells;
    CVobuAddressList vobus;
    kxtest::RecordingProgress progress;
    {
        CDiskVobFile writer;
        // Title domains spread over several files: sector numbers go on.
        if (!d.menu)
            writer.SetFileSizeLimit(uint32_t(set->GetFiles().GetTotalSize() / kSector / 4 + 1) * kSector);
        ASSERT_TRUE(writer.StartDomain(log, folder.c_str(), d.vts, d.menu)) << log.Dump();
        ASSERT_TRUE(WriteVobsKeeping(domain, 0xFF, 0xFFFFFFFF, log, writer, cells, vobus, &progress)) << log.Dump();
        EXPECT_EQ(writer.GetQueueCount(), 0u);
        writer.Close();
    }
    EXPECT_EQ(log.Count('E'), 0) << log.Dump();

    std::vector<BYTE> out = ReadDomainFiles(folder, d.vts, d.menu);
    ASSERT_EQ(out.size(), set->GetFiles().GetTotalSize());
    const CVobuAddressList& sourceVobus = set->GetVobus();
    ASSERT_EQ(vobus.GetSize(), sourceVobus.GetSize());
    std::vector<bool> isNav(out.size() / kSector, false);
    for (int32_t i = 0; i < vobus.GetSize(); ++i)
    {
        EXPECT_EQ(vobus[i], sourceVobus[i]);
        isNav[vobus[i]] = true;
    }
    BYTE sector[kSector];
    for (uint32_t s = 0; s < out.size() / kSector; ++s)
    {
        const BYTE* o = out.data() + size_t(s) * kSector;
        if (isNav[s])
        {
            PciPacket pci;
            pci.ReadFromSector(o);
            DsiPacket dsi;
            dsi.ReadFromSector(o);
            EXPECT_EQ(pci.GetNvPckLbn(), s);
            EXPECT_EQ(dsi.GetNvPckLbn(), s);
            DWORD next = s + dsi.GetVobuEa() + 1;
            EXPECT_TRUE(next == out.size() / kSector || isNav[next]) << "VOBU at " << s;
            // Search entries land on NAV packs unless they are the end marker.
            for (int w = 0; w < SRI_WORD_COUNT; ++w)
            {
                const DWORD offset = dsi.GetSri(w) & SRI_OFFSET_MASK;
                if (offset == SRI_OFFSET_MASK)
                    continue;
                const int64_t target = w <= SRI_NEXT ? int64_t(s) + offset : int64_t(s) - offset;
                EXPECT_TRUE(target >= 0 && target < int64_t(isNav.size()) && isNav[size_t(target)])
                    << "search word " << w << " of the VOBU at " << s;
            }
            // The ids are those of the C_ADT entry that holds the VOBU.
            const CCellAddress* pCell = nullptr;
            for (uint32_t c = 0; c < cells.GetSize() && pCell == nullptr; ++c)
                if (cells[c]->m_dwFirstSector <= s && s <= cells[c]->m_dwLastSector)
                    pCell = cells[c];
            ASSERT_NE(pCell, nullptr) << s;
            EXPECT_EQ(dsi.GetVobuVobIdn(), pCell->m_wVobId) << s;
            EXPECT_EQ(dsi.GetVobuCIdn(), pCell->m_nCellId) << s;
            continue;
        }
        ASSERT_TRUE(set->ReadSector(s, sector));
        EXPECT_EQ(0, std::memcmp(o, sector, kSector)) << "sector " << s;
    }
    EXPECT_EQ(progress.position, out.size() - uint64_t(vobus.GetSize()) * kSector);

    // The C_ADT written matches the source's (same cells, same sectors) and
    // the address tables rebuilt from the ILVUs agree with what was written.
    const CCellAddressList& sourceCells = set->GetCellAddresses();
    ASSERT_EQ(cells.GetSize(), sourceCells.GetSize());
    CCellAddressList rebuiltCells;
    CVobuAddressList rebuiltVobus;
    BuildAddressTables(domain, rebuiltCells, rebuiltVobus);
    ASSERT_EQ(rebuiltCells.GetSize(), cells.GetSize());
    ASSERT_EQ(rebuiltVobus.GetSize(), vobus.GetSize());
    for (int32_t i = 0; i < vobus.GetSize(); ++i)
        EXPECT_EQ(rebuiltVobus[i], vobus[i]);
    uint64_t written = 0;
    for (uint32_t i = 0; i < cells.GetSize(); ++i)
    {
        written += cells[i]->m_dwLastSector - cells[i]->m_dwFirstSector + 1;
        EXPECT_EQ(rebuiltCells[i]->m_dwFirstSector, cells[i]->m_dwFirstSector);
        EXPECT_EQ(rebuiltCells[i]->m_dwLastSector, cells[i]->m_dwLastSector);
    }
    EXPECT_EQ(written, out.size() / kSector);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DomainExport,
                         ::testing::Values(Domain{"pal1", "VIDEO_TS/VTS_01_0.IFO", 1, false},
                                           Domain{"pal1split", "VIDEO_TS/VTS_01_0.IFO", 1, false},
                                           Domain{"ntscmenu", "VIDEO_TS/VIDEO_TS.IFO", 0, true},
                                           Domain{"ntscmenu", "VIDEO_TS/VTS_01_0.IFO", 1, true},
                                           Domain{"twovts", "VIDEO_TS/VTS_02_0.IFO", 2, false}));

} // namespace

// Dropping a stream of pal1 (audio 0 is its AC-3 and its MPEG audio, which
// share the number): its packs leave, the size shrinks by exactly them, and
// the NAV packs that stay point at the right places.
struct DropCase
{
    const char* name;
    BYTE nKeptAudio;
    DWORD dwKeptSubpictures;
};

class DomainExportDrop : public ::testing::TestWithParam<DropCase>
{
};

bool IsDropped(const DropCase& c, const BYTE* pSector)
{
    BYTE nStream = 0;
    if (GetAudioStreamInfo(pSector, nStream) != 255 && !(c.nKeptAudio & (1u << nStream)))
        return true;
    const int nSub = GetSubpictureStream(pSector);
    return nSub >= 0 && !(c.dwKeptSubpictures & (DWORD(1) << nSub));
}

TEST_P(DomainExportDrop, ADroppedStreamLeavesNoPackAndAddressesFollow)
{
    const DropCase& c = GetParam();
    const Domain d{"pal1", "VIDEO_TS/VTS_01_0.IFO", 1, false};
    KX_REQUIRE_FIXTURE(dir, d.fixture);
    RecordingLog log;
    std::unique_ptr<CVobData> set = OpenDomain(log, d);
    ASSERT_TRUE(set->IsUsable()) << log.Dump();
    CAngleBlockList domain(nullptr, d.menu);
    domain.CopyConstruct(set->GetPristineBlocks());
    for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
        ASSERT_TRUE(domain.GetBlock(b)->GetIlvu(0)->ParseButtons(log, d.menu, nullptr)) << log.Dump();
    AssignVobCellIds(domain);

    BYTE sector[kSector];
    const uint32_t nSource = set->GetSectorCount();
    uint32_t nDropped = 0;
    for (uint32_t s = 0; s < nSource; ++s)
    {
        ASSERT_TRUE(set->ReadSector(s, sector));
        nDropped += IsDropped(c, sector) ? 1 : 0;
    }
    ASSERT_GT(nDropped, 0u);

    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    std::string folder = scratch.Path() + kx::NativePathSeparator();
    CCellAddressList cells;
    CVobuAddressList vobus;
    {
        CDiskVobFile writer;
        ASSERT_TRUE(writer.StartDomain(log, folder.c_str(), d.vts, d.menu));
        ASSERT_TRUE(WriteVobsKeeping(domain, c.nKeptAudio, c.dwKeptSubpictures, log, writer, cells, vobus, nullptr))
            << log.Dump();
    }
    std::vector<BYTE> out = ReadDomainFiles(folder, d.vts, d.menu);
    const uint32_t nOut = uint32_t(out.size() / kSector);
    EXPECT_EQ(nOut, nSource - nDropped);
    std::vector<bool> isNav(nOut, false);
    for (int32_t i = 0; i < vobus.GetSize(); ++i)
    {
        ASSERT_LT(vobus[i], nOut);
        isNav[vobus[i]] = true;
    }
    for (uint32_t s = 0; s < nOut; ++s)
    {
        const BYTE* o = out.data() + size_t(s) * kSector;
        EXPECT_FALSE(IsDropped(c, o)) << "sector " << s;
        if (!isNav[s])
            continue;
        PciPacket pci;
        pci.ReadFromSector(o);
        DsiPacket dsi;
        dsi.ReadFromSector(o);
        EXPECT_EQ(pci.GetNvPckLbn(), s);
        if (!(c.nKeptAudio & 1))
        {
            EXPECT_EQ(dsi.GetAudioSync(0), 0) << s;
        }
        if (!(c.dwKeptSubpictures & 1))
        {
            EXPECT_EQ(dsi.GetSubpictureSync(0), 0) << s;
        }
        const DWORD next = s + dsi.GetVobuEa() + 1;
        EXPECT_TRUE(next == nOut || isNav[next]) << "VOBU at " << s;
        const DWORD nextWord = dsi.GetSri(SRI_NEXT);
        if ((nextWord & SRI_OFFSET_MASK) != SRI_EMPTY && (nextWord & SRI_OFFSET_MASK) != 0)
        {
            const DWORD target = s + (nextWord & SRI_OFFSET_MASK);
            EXPECT_TRUE(target < nOut && isNav[target]) << "next VOBU of " << s;
        }
    }
    uint64_t nCells = 0;
    for (uint32_t i = 0; i < cells.GetSize(); ++i)
        nCells += cells[i]->m_dwLastSector - cells[i]->m_dwFirstSector + 1;
    EXPECT_EQ(nCells, nOut);
}

INSTANTIATE_TEST_SUITE_P(Streams, DomainExportDrop,
                         ::testing::Values(DropCase{"audio0", 0xFE, 0xFFFFFFFF},
                                           DropCase{"subpicture0", 0xFF, 0xFFFFFFFE}),
                         [](const ::testing::TestParamInfo<DropCase>& info) { return info.param.name; });

// ---- A still picture made from a fixture's VOBU ------------------------------------------

namespace
{

// Runs a shell command with its output into a file and answers that
// output; false when the command failed (or the tool is not there).
bool RunTool(const std::string& command, const std::string& outputFile, std::string& output)
{
    if (std::system((command + " > '" + outputFile + "' 2>/dev/null").c_str()) != 0)
        return false;
    std::vector<BYTE> bytes = kxtest::ReadWholeFile(outputFile);
    output.assign(bytes.begin(), bytes.end());
    return true;
}

// The frame checksums of a framemd5 listing, in order.
std::vector<std::string> FrameMd5s(const std::string& listing)
{
    std::vector<std::string> md5s;
    size_t pos = 0;
    while (pos < listing.size())
    {
        size_t end = listing.find('\n', pos);
        if (end == std::string::npos)
            end = listing.size();
        std::string line = listing.substr(pos, end - pos);
        if (!line.empty() && line[0] != '#')
            md5s.push_back(line.substr(line.rfind(',') + 1));
        pos = end + 1;
    }
    for (std::string& m : md5s)
        m.erase(0, m.find_first_not_of(' '));
    return md5s;
}

// mpeg2dec's md5 output: one "<md5> *<n>.pgm" line per frame.
std::vector<std::string> Mpeg2decMd5s(const std::string& listing)
{
    std::vector<std::string> md5s;
    size_t pos = 0;
    while ((pos = listing.find(".pgm", pos)) != std::string::npos)
    {
        size_t start = listing.rfind('\n', pos);
        start = start == std::string::npos ? 0 : start + 1;
        md5s.push_back(listing.substr(start, 32));
        pos += 4;
    }
    return md5s;
}

} // namespace

TEST(StillFromFixture, DecodesToTheSourceIFrameWithRisingClocks)
{
    const Domain d{"pal1", "VIDEO_TS/VTS_01_0.IFO", 1, false};
    KX_REQUIRE_FIXTURE(dir, d.fixture);
    RecordingLog log;
    std::unique_ptr<CVobData> set = OpenDomain(log, d);
    ASSERT_TRUE(set->IsUsable()) << log.Dump();
    const CVobCell& ilvu = *set->GetPristineBlocks().GetBlock(0)->GetIlvu(0);
    CStillSource still(ilvu, 0);
    ASSERT_GT(still.GetPictureSectorCount(), 0u);
    std::vector<BYTE> picture;
    ASSERT_TRUE(WriteStillPicture(still, ilvu.GetFirstPci().GetVobuSPtm(), picture));

    // Through the writer, as an export places it after its NAV pack.
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    const std::string packs = scratch.File("packs.bin");
    ASSERT_TRUE(kxtest::WriteFile(packs, picture.data() + kSector, picture.size() - kSector));
    CDataFile source;
    ASSERT_TRUE(source.Open(&log, packs.c_str(), true, true));
    std::string folder = scratch.Path() + kx::NativePathSeparator();
    {
        CDiskVobFile writer;
        ASSERT_TRUE(writer.Open(log, folder.c_str(), 0, true));
        std::unique_ptr<BYTE[]> nav(new BYTE[kSector]);
        std::memcpy(nav.get(), picture.data(), kSector);
        ASSERT_TRUE(writer.QueueVobu(log, std::move(nav)));
        writer.AddData(CDataRange(&source, 0, uint32_t(picture.size() - kSector)));
        ASSERT_TRUE(writer.Flush(log)) << log.Dump();
    }
    const std::string stillPath = folder + "VIDEO_TS.VOB";
    std::vector<BYTE> out = kxtest::ReadWholeFile(stillPath);
    ASSERT_EQ(out.size(), picture.size());
    for (size_t s = 1; s < out.size() / kSector; ++s)
        EXPECT_GT(GetPackScr(out.data() + s * kSector), GetPackScr(out.data() + (s - 1) * kSector)) << s;

    // The source VOBU alone, for the reference decode.
    DsiPacket dsi;
    dsi.ReadFromSector(picture.data());
    std::vector<BYTE> vobu((size_t(dsi.GetVobuEa()) + 1) * kSector);
    for (DWORD s = 0; s <= dsi.GetVobuEa(); ++s)
        ASSERT_TRUE(set->ReadSector(still.GetNavSector() + s, vobu.data() + size_t(s) * kSector));
    const std::string vobuPath = scratch.File("vobu.vob");
    ASSERT_TRUE(kxtest::WriteFile(vobuPath, vobu.data(), vobu.size()));

    // The decoders are native programs that take the native build's paths.
    if (kxtest::IfoDumpTool().empty())
        GTEST_SKIP() << "the decoders run only in the native build";
    std::string listing;
    if (!RunTool("ffmpeg -version", scratch.File("version.txt"), listing))
        GTEST_SKIP() << "ffmpeg is not available";
    ASSERT_TRUE(RunTool("ffmpeg -v error -i '" + vobuPath +
                            "' -an -sn -vf \"select='eq(pict_type,I)'\" -frames:v 1 -f framemd5 -",
                        scratch.File("source.md5"), listing));
    std::vector<std::string> sourceMd5 = FrameMd5s(listing);
    ASSERT_EQ(sourceMd5.size(), 1u) << listing;
    ASSERT_TRUE(
        RunTool("ffmpeg -v error -i '" + stillPath + "' -an -sn -f framemd5 -", scratch.File("still.md5"), listing));
    EXPECT_EQ(FrameMd5s(listing), sourceMd5) << listing;

    // The elementary stream ends with the sequence end code.
    ASSERT_TRUE(RunTool("ffmpeg -v error -i '" + stillPath + "' -map 0:v -c copy -f mpeg2video -",
                        scratch.File("still.m2v"), listing));
    ASSERT_GE(listing.size(), 4u);
    EXPECT_EQ(listing.substr(listing.size() - 4), std::string("\x00\x00\x01\xB7", 4));

    std::string reference;
    if (RunTool("cd '" + scratch.Path() + "' && mpeg2dec -s -o md5 '" + vobuPath + "'", scratch.File("m1.txt"),
                reference))
    {
        ASSERT_TRUE(RunTool("cd '" + scratch.Path() + "' && mpeg2dec -s -o md5 '" + stillPath + "'",
                            scratch.File("m2.txt"), listing));
        std::vector<std::string> frames = Mpeg2decMd5s(listing);
        ASSERT_EQ(frames.size(), 1u) << listing;
        std::vector<std::string> sourceFrames = Mpeg2decMd5s(reference);
        ASSERT_FALSE(sourceFrames.empty());
        EXPECT_EQ(frames[0], sourceFrames[0]);
    }
}

namespace
{

// ---- Edited ILVUs of a fixture --------------------------------------------------------------

// A domain of a fixture (pal1's title domain unless told) with its first
// ILVU edited, exported keeping every stream; the output sectors and where
// its VOBUs start.
struct EditedExport
{
    RecordingLog log;
    std::unique_ptr<CVobData> set;
    std::unique_ptr<CAngleBlockList> domain;
    CCellAddressList cells;
    CVobuAddressList vobus;
    std::vector<BYTE> out;
    std::vector<bool> isNav;

    bool Run(const std::function<bool(CVobCell&)>& edit, const Domain& d = {"pal1", "VIDEO_TS/VTS_01_0.IFO", 1, false})
    {
        set = OpenDomain(log, d);
        if (!set->IsUsable())
            return false;
        domain.reset(new CAngleBlockList(nullptr, false));
        domain->CopyConstruct(set->GetPristineBlocks());
        for (uint32_t b = 0; b < domain->GetBlockCount(); ++b)
            if (!domain->GetBlock(b)->GetIlvu(0)->ParseButtons(log, false, nullptr))
                return false;
        if (!edit(*domain->GetBlock(0)->GetIlvu(0)))
            return false;
        AssignVobCellIds(*domain);
        kxtest::ScratchFolder scratch;
        std::string folder = scratch.Path() + kx::NativePathSeparator();
        {
            CDiskVobFile writer;
            if (!writer.StartDomain(log, folder.c_str(), d.vts, d.menu) ||
                !WriteVobsKeeping(*domain, 0xFF, 0xFFFFFFFF, log, writer, cells, vobus, nullptr))
                return false;
        }
        out = ReadDomainFiles(folder, d.vts, d.menu);
        isNav.assign(out.size() / kSector, false);
        for (int32_t i = 0; i < vobus.GetSize(); ++i)
        {
            if (vobus[i] >= isNav.size())
                return false;
            isNav[vobus[i]] = true;
        }
        return true;
    }

    const BYTE* Sector(uint32_t s) const { return out.data() + size_t(s) * kSector; }

    // Every NAV pack names its own sector and ends its VOBU before the next.
    void CheckNavPacks() const
    {
        const uint32_t n = uint32_t(isNav.size());
        for (uint32_t s = 0; s < n; ++s)
        {
            if (!isNav[s])
                continue;
            PciPacket pci;
            pci.ReadFromSector(Sector(s));
            DsiPacket dsi;
            dsi.ReadFromSector(Sector(s));
            EXPECT_EQ(pci.GetNvPckLbn(), s);
            const DWORD next = s + dsi.GetVobuEa() + 1;
            EXPECT_TRUE(next == n || (next < n && isNav[next])) << "VOBU at " << s;
        }
    }
};

TEST(EditedExport, ACellCutAtItsStartBeginsAtElapsedTimeZero)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    EditedExport e;
    DWORD dwCutSectors = 0;
    ASSERT_TRUE(e.Run(
        [&](CVobCell& ilvu)
        {
            const DWORD dwFirst = ilvu.GetSourceVobus()[0];
            const bool bCut = ilvu.CutTo(2);
            dwCutSectors = ilvu.GetSourceVobus()[0] - dwFirst;
            return bCut;
        }))
        << e.log.Dump();
    ASSERT_GT(dwCutSectors, 0u);
    EXPECT_EQ(e.out.size(), e.set->GetFiles().GetTotalSize() - uint64_t(dwCutSectors) * kSector);
    e.CheckNavPacks();
    PciPacket first;
    first.ReadFromSector(e.Sector(0));
    EXPECT_EQ(first.GetCEltm().GetFrames(), 0u);
    DsiPacket dsi;
    dsi.ReadFromSector(e.Sector(0));
    // Nothing before the cell's new start is referred to.
    EXPECT_EQ(dsi.GetSri(SRI_PREV) & SRI_OFFSET_MASK, SRI_EMPTY);
    EXPECT_EQ(e.cells[0]->m_dwFirstSector, 0u);
}

TEST(EditedExport, AStillCellShowsOnePictureClockedAfterItsNavPack)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    EditedExport e;
    ASSERT_TRUE(e.Run([](CVobCell& ilvu) { return ilvu.ConvertToStillAt(ilvu, 0); })) << e.log.Dump();
    EXPECT_EQ(e.log.Count('E'), 0) << e.log.Dump();
    e.CheckNavPacks();
    const CVobCell& still = *e.domain->GetBlock(0)->GetIlvu(0);
    ASSERT_GE(still.GetOutputVobus().GetSize(), 2);
    const DWORD dwSecond = still.GetOutputVobus()[1];

    PciPacket pci;
    pci.ReadFromSector(e.Sector(0));
    EXPECT_EQ(pci.GetVobuSeEPtm(), pci.GetVobuSPtm() + 3600); // PAL
    DsiPacket dsi;
    dsi.ReadFromSector(e.Sector(0));
    const DWORD dwRefEnd = dsi.GetVobuRefEa(0);
    ASSERT_GT(dwRefEnd, 0u);
    ASSERT_LT(dwRefEnd, dwSecond);
    EXPECT_EQ(dsi.GetVobuRefEa(1), 0u);
    EXPECT_EQ(dsi.GetVobuRefEa(2), 0u);
    EXPECT_NE(FindVideoPacket(e.Sector(dwRefEnd)), 0u);

    // The picture's packs follow the NAV pack's clock; the ILVU's other
    // VOBUs carry no video.
    uint64_t previous = GetPackScr(e.Sector(0));
    uint32_t nVideo = 0;
    for (uint32_t s = 1; s < dwSecond; ++s)
    {
        if (FindVideoPacket(e.Sector(s)) == 0)
            continue;
        ++nVideo;
        EXPECT_GT(GetPackScr(e.Sector(s)), previous) << s;
        previous = GetPackScr(e.Sector(s));
    }
    EXPECT_GT(nVideo, 0u);
    const DWORD dwCellEnd = still.GetOutputPieces()[still.GetOutputPieces().GetSize() - 1]->m_dwLastSector;
    for (uint32_t s = dwSecond; s <= dwCellEnd; ++s)
        EXPECT_EQ(FindVideoPacket(e.Sector(s)), 0u) << s;

    // The exported cell decodes to one picture: the source's I-frame.
    if (kxtest::IfoDumpTool().empty())
        return; // the decoders run only in the native build
    kxtest::ScratchFolder scratch;
    const std::string cellPath = scratch.File("cell.vob");
    ASSERT_TRUE(kxtest::WriteFile(cellPath, e.Sector(0), size_t(dwCellEnd + 1) * kSector));
    const std::string sourcePath = kxtest::FixturePath("pal1", "VIDEO_TS/VTS_01_1.VOB");
    std::string listing;
    if (!RunTool("ffmpeg -version", scratch.File("version.txt"), listing))
        return;
    ASSERT_TRUE(RunTool("ffmpeg -v error -i '" + sourcePath +
                            "' -an -sn -vf \"select='eq(pict_type,I)'\" -frames:v 1 -f framemd5 -",
                        scratch.File("source.md5"), listing));
    std::vector<std::string> sourceMd5 = FrameMd5s(listing);
    ASSERT_EQ(sourceMd5.size(), 1u) << listing;
    ASSERT_TRUE(
        RunTool("ffmpeg -v error -i '" + cellPath + "' -an -sn -f framemd5 -", scratch.File("cell.md5"), listing));
    EXPECT_EQ(FrameMd5s(listing), sourceMd5) << listing;
}

// A still made from a menu whose sub-picture packs follow its picture: the
// picture may take more packs than the video it replaces, and every pack
// of the VOBU still starts at least one pack's transfer time after the one
// before it.
TEST(EditedExport, AStillMenuClocksRiseThroughItsSubpictures)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    EditedExport e;
    ASSERT_TRUE(e.Run([](CVobCell& ilvu) { return ilvu.ConvertToStillAt(ilvu, 0); },
                      {"ntscmenu", "VIDEO_TS/VIDEO_TS.IFO", 0, true}))
        << e.log.Dump();
    e.CheckNavPacks();
    const CVobCell& still = *e.domain->GetBlock(0)->GetIlvu(0);
    const DWORD dwEnd = still.GetOutputVobus().GetSize() > 1
                            ? still.GetOutputVobus()[1]
                            : still.GetOutputPieces()[still.GetOutputPieces().GetSize() - 1]->m_dwLastSector + 1;
    bool bPicture = false;
    uint32_t nSubpicturesBehind = 0;
    for (uint32_t s = 1; s < dwEnd; ++s)
    {
        const uint64_t previous = GetPackScr(e.Sector(s - 1));
        if (FindVideoPacket(e.Sector(s)) != 0)
            bPicture = true;
        else if (bPicture && GetSubpictureStream(e.Sector(s)) >= 0)
            ++nSubpicturesBehind;
        EXPECT_GT(GetPackScr(e.Sector(s)), previous) << s;
        if (bPicture)
        {
            EXPECT_GE(GetPackScr(e.Sector(s)), previous + SCR_TICKS_PER_PACK) << s;
        }
    }
    EXPECT_TRUE(bPicture);
    EXPECT_GT(nSubpicturesBehind, 0u);
}

} // namespace
