#include "DVD/source/VobCell.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/MultiAngleTestSupport.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTestSupport.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobTestSupport.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{

using kxtest::RecordingLog;
using kxtest::VobBuilder;

const size_t kSector = 2048;

// (vob id, [pieces], [VOBUs]) of every angle of every block.
std::string Describe(const CAngleBlockList& domain)
{
    std::string text;
    for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
    {
        const CAngleBlock* block = domain.GetBlock(b);
        text += block->IsInterleaved() ? "[i" : "[";
        for (uint32_t a = 0; a < block->GetIlvuCount(); ++a)
        {
            const CVobCell* ilvu = block->GetIlvu(a);
            text += " " + std::to_string(ilvu->GetVobId()) + "/" + std::to_string(ilvu->GetCellId()) + ":";
            for (uint32_t p = 0; p < ilvu->GetSourcePieces().GetSize(); ++p)
                text += std::to_string(ilvu->GetSourcePieces()[p]->m_dwFirstSector) + "-" +
                        std::to_string(ilvu->GetSourcePieces()[p]->m_dwLastSector) + ",";
            text += "v";
            for (int32_t v = 0; v < ilvu->GetSourceVobus().GetSize(); ++v)
                text += std::to_string(ilvu->GetSourceVobus()[v]) + ",";
        }
        text += "]";
    }
    return text;
}

class MultiAngle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (kxtest::FixtureDir("pal1").empty())
            GTEST_SKIP() << kxtest::MissingFixtureMessage("pal1");
        ASSERT_TRUE(disc.folder.Created());
        ASSERT_TRUE(disc.Build());
        const std::vector<DWORD>& s = disc.starts;
        auto range = [&](int i) { return std::to_string(s[i]) + "-" + std::to_string(s[i + 1] - 1) + ","; };
        auto start = [&](int i) { return std::to_string(s[i]) + ","; };
        expected = "[ 1/1:" + range(0) + "v" + start(0) + "]" +                  //
                   "[i 2/1:" + range(1) + range(3) + "v" + start(1) + start(3) + //
                   " 3/1:" + range(2) + range(4) + "v" + start(2) + start(4) + "]" + "[ 4/1:" + range(5) + "v" +
                   start(5) + "]";
    }

    kxtest::AngleDisc disc;
    std::string expected;
};

// One block per angle group with one ILVU per angle, each ILVU holding its
// interleaved pieces.
TEST_F(MultiAngle, BuildsOneBlockWithOneIlvuPerAngle)
{
    RecordingLog log;
    std::unique_ptr<CVobData> set = disc.Open(log, disc.cells);
    ASSERT_TRUE(set->IsUsable()) << log.Dump();
    EXPECT_EQ(log.Count('E'), 0) << log.Dump();
    EXPECT_EQ(Describe(set->GetPristineBlocks()), expected);

    CAngleBlockList domain(nullptr);
    domain.CopyConstruct(set->GetPristineBlocks());
    EXPECT_EQ(Describe(domain), expected);
    const CAngleBlock* angles = domain.GetBlock(1);
    for (uint32_t a = 0; a < 2; ++a)
    {
        const CVobCell* ilvu = angles->GetIlvu(a);
        EXPECT_EQ(ilvu->GetAngleCount(), 2);
        EXPECT_TRUE(ilvu->IsInterleaved());
        EXPECT_EQ(angles->GetPristine(a), set->GetPristineBlocks().GetBlock(1)->GetIlvu(a));
    }
    for (uint32_t b : {0u, 2u})
    {
        EXPECT_EQ(domain.GetBlock(b)->GetIlvu(0)->GetAngleCount(), 0);
        EXPECT_FALSE(domain.GetBlock(b)->GetIlvu(0)->IsInterleaved());
    }
    // Every sector of the set lies in exactly one ILVU.
    EXPECT_EQ(domain.GetSourceSize(), disc.vob.size());
    EXPECT_EQ(domain.GetCellAddressTableSize(), 8u + 12 * 6);
    EXPECT_EQ(domain.GetVobuAddressMapSize(), 4u + 4 * 6);
}

// The C_ADT as an IFO stores it, sorted by ids, gives the same blocks.
TEST_F(MultiAngle, CellTableSortedByIdsBuildsTheSameBlocks)
{
    CCellAddressList sorted;
    for (int order : {0, 1, 3, 2, 4, 5})
        sorted.Add(new CCellAddress(*disc.cells[uint32_t(order)]));
    RecordingLog log;
    std::unique_ptr<CVobData> set = disc.Open(log, sorted);
    ASSERT_TRUE(set->IsUsable()) << log.Dump();
    EXPECT_EQ(Describe(set->GetPristineBlocks()), expected);
}

// The IFO cells of the angles fold into one cell entry that lists both.
TEST_F(MultiAngle, AngleCellsOfAPgcFoldIntoOneEntry)
{
    RecordingLog log;
    std::unique_ptr<CVobData> set = disc.Open(log, disc.cells);
    ASSERT_TRUE(set->IsUsable()) << log.Dump();
    CAngleBlockList domain(nullptr);
    domain.CopyConstruct(set->GetPristineBlocks());

    pgctest::PgciRecipe recipe;
    recipe.programs = {1};
    for (WORD v = 1; v <= 4; ++v)
    {
        pgctest::CellRecipe cell;
        cell.wVobId = v;
        cell.nCellId = 1;
        recipe.cells.push_back(cell);
    }
    recipe.cells[1].nCategory = 0x50; // first cell of an angle block
    recipe.cells[2].nCategory = 0xD0; // last cell of an angle block
    std::vector<BYTE> bytes = pgctest::BuildPgci(recipe);
    CPgc pgc(0, nullptr);
    ASSERT_TRUE(pgc.ReadIfo(log, CPgcCategory(), &domain, pgctest::View(bytes))) << log.Dump();
    ASSERT_EQ(pgc.GetCellCount(), 3u);
    EXPECT_EQ(pgc.GetIfoCellCount(), 4u);
    const CPgcCell* folded = pgc.GetCell(1);
    EXPECT_EQ(folded->GetBlock(), domain.GetBlock(1));
    ASSERT_EQ(folded->GetAngleCount(), 2);
    EXPECT_EQ(folded->GetAngle(0), 0);
    EXPECT_EQ(folded->GetAngle(1), 1);
    EXPECT_EQ(pgc.GetCell(0)->GetAngleCount(), 1);
    EXPECT_EQ(pgc.GetCell(2)->GetBlock(), domain.GetBlock(2));
}

// The title of the synthetic disc: its PGC plays the plain cell, the two
// angles and the plain cell. The title set finds the angle block with the
// ILVU of each angle, and stripping keeps the chosen angle only.
TEST_F(MultiAngle, TitleSetCollectsAndStripsTheAngles)
{
    RecordingLog log;
    std::unique_ptr<CVobData> set = disc.Open(log, disc.cells);
    ASSERT_TRUE(set->IsUsable()) << log.Dump();
    CVts vts(nullptr);
    CAngleBlockList& domain = vts.GetTitleDomain();
    set->GetBlocks(domain);
    ASSERT_EQ(domain.GetBlockCount(), 3u);

    pgctest::PgciRecipe recipe;
    recipe.programs = {1};
    for (WORD v = 1; v <= 4; ++v)
    {
        pgctest::CellRecipe cell;
        cell.wVobId = v;
        recipe.cells.push_back(cell);
    }
    recipe.cells[1].nCategory = 0x50;
    recipe.cells[2].nCategory = 0xD0;
    std::vector<BYTE> bytes = pgctest::BuildPgci(recipe);
    CPgc* pgc = new CPgc(0, &vts.GetPgcTable());
    ASSERT_TRUE(pgc->ReadIfo(log, CPgcCategory(), &domain, pgctest::View(bytes))) << log.Dump();
    vts.GetPgcTable().AddPgc(pgc);
    CChapterEntry chapter;
    chapter.m_wPgc = 0;
    vts.GetTitles().AddTitle(chapter);
    EXPECT_EQ(vts.GetTitleAngleCount(0), 2);
    EXPECT_EQ(vts.GetMinAngleCount(), 2);

    CAngleBlockArray blocks;
    CAngleMap angleMap;
    ASSERT_EQ(vts.CollectAngleBlocks(blocks, angleMap), 2);
    ASSERT_EQ(blocks.GetSize(), 1);
    CAngleBlock* angles = domain.GetBlock(1);
    EXPECT_EQ(blocks[0], angles);
    ASSERT_EQ(angleMap.GetSize(), 2u);
    for (uint32_t a = 0; a < 2; ++a)
    {
        ASSERT_EQ(angleMap[a]->GetSize(), 1);
        EXPECT_EQ((*angleMap[a])[0], a);
    }

    StripAngles(blocks, angleMap, 1);
    ASSERT_EQ(angles->GetIlvuCount(), 1u);
    EXPECT_EQ(angles->GetIlvu(0)->GetVobId(), 3);
    EXPECT_FALSE(angles->IsInterleaved());
    EXPECT_TRUE(angles->IsModified());
    EXPECT_EQ(pgc->GetCell(1)->GetAngleCount(), 1);
    EXPECT_EQ(vts.GetMinAngleCount(), 0);
}

// ---- Navigation packs, sizes and queries on small sets --------------------------

// A set of one cell of n VOBUs (a NAV pack and two video packs each) in a
// folder, so that a test can change the file under it.
struct FolderSet
{
    kxtest::ScratchFolder folder;
    VobBuilder vob;
    RecordingLog log;
    std::unique_ptr<CVobData> set;

    // hli may fill in the highlight of each VOBU; damage changes the bytes
    // before they are written, and the set then takes the tables unchecked.
    bool Open(int vobus, const std::function<void(int, PciPacket&)>& hli = nullptr,
              const std::function<void(std::vector<BYTE>&)>& damage = nullptr)
    {
        for (int v = 0; v < vobus; ++v)
        {
            vob.Nav(1, 1, DWORD(v) * 3600,
                    [&](PciPacket& pci)
                    {
                        if (hli)
                            hli(v, pci);
                    });
            vob.Pes(0xE0);
            vob.Pes(0xE0);
        }
        if (damage)
            damage(vob.bytes);
        if (!Write())
            return false;
        CCellAddressList cells;
        CCellAddress* entry = new CCellAddress();
        entry->m_wVobId = 1;
        entry->m_nCellId = 1;
        entry->m_dwFirstSector = 0;
        entry->m_dwLastSector = vob.SectorCount() - 1;
        cells.Add(entry);
        CVobuAddressList starts;
        for (int v = 0; v < vobus; ++v)
            starts.Add(DWORD(v) * 3);
        std::string path = folder.Path() + kx::NativePathSeparator();
        set.reset(new CVobData(log, path.c_str(), 1, false, nullptr, cells, starts, !damage, nullptr));
        return damage || set->IsUsable();
    }
    bool Write() { return kxtest::WriteFile(folder.File("VTS_01_1.VOB"), vob.bytes.data(), vob.bytes.size()); }
    CVobCell* Ilvu() const { return set->GetPristineBlocks().GetBlock(0)->GetIlvu(0); }
    PciPacket Pci(uint32_t v) const
    {
        PciPacket pci;
        pci.ReadFromSector(vob.bytes.data() + size_t(v) * 3 * kSector);
        return pci;
    }
    void SetPci(uint32_t v, const PciPacket& pci) { pci.WriteToSector(vob.bytes.data() + size_t(v) * 3 * kSector); }
};

TEST(VobCell, FirstPackOfAOneVobuCellFillsTheFirstCacheOnly)
{
    FolderSet f;
    ASSERT_TRUE(f.Open(1)) << f.log.Dump();
    CVobCell* ilvu = f.Ilvu();
    PciPacket marked = f.Pci(0);
    marked.SetVobuSPtm(1234);
    ilvu->Invalidate();
    ilvu->SetLastNav(marked, DsiPacket());
    PciPacket pci;
    ASSERT_TRUE(ilvu->ReadNavPack(pci, 0));
    EXPECT_EQ(pci.GetVobuSPtm(), 0u);
    EXPECT_EQ(ilvu->GetFirstPci().GetVobuSPtm(), 0u);
    EXPECT_EQ(ilvu->GetLastPci().GetVobuSPtm(), 1234u);
    EXPECT_FALSE(ilvu->ReadNavPack(pci, 1));
}

TEST(VobCell, InvalidatedCachesAreReadAgain)
{
    FolderSet f;
    ASSERT_TRUE(f.Open(3,
                       [](int v, PciPacket& pci)
                       {
                           if (v == 0)
                               pci.SetVobuUopCtl(0x00000400);
                       }))
        << f.log.Dump();
    CVobCell* ilvu = f.Ilvu();
    // The user operations come from the first PCI.
    EXPECT_EQ(ilvu->GetUopMask().GetMask(), 0x00000400u);
    PciPacket stale;
    stale.SetVobuSPtm(77);
    ilvu->SetFirstNav(stale, DsiPacket(), nullptr);
    ilvu->SetLastNav(stale, DsiPacket());
    // Served from the caches until they are dropped.
    EXPECT_EQ(ilvu->GetFirstPci().GetVobuSPtm(), 77u);
    EXPECT_EQ(ilvu->GetLastPci().GetVobuSPtm(), 77u);
    ilvu->Invalidate();
    EXPECT_EQ(ilvu->GetFirstPci().GetVobuSPtm(), 0u);
    EXPECT_EQ(ilvu->GetLastPci().GetVobuSPtm(), 7200u);
}

// An ILVU whose VOBUs lie past the end of its VOB files reads nothing and
// keeps the packs of a fresh cache.
TEST(VobCell, VobusPastTheFilesAreNotRead)
{
    FolderSet f;
    ASSERT_TRUE(f.Open(3)) << f.log.Dump();
    CCellAddress address;
    address.m_wVobId = 1;
    address.m_nCellId = 1;
    address.m_dwFirstSector = 100;
    address.m_dwLastSector = 108;
    CVobuAddressList vobus;
    for (DWORD v : {100u, 103u, 106u})
        vobus.Add(v);
    CVobCell ilvu(f.set.get(), address, vobus, nullptr);
    PciPacket pci;
    EXPECT_FALSE(ilvu.ReadNavPack(pci, 2));
    DsiPacket dsi;
    EXPECT_FALSE(ilvu.ReadDsi(dsi, 1));
    EXPECT_EQ(ilvu.GetFrameRate(), 25);
    EXPECT_EQ(ilvu.GetLastPci().GetVobuSPtm(), 0u);
    EXPECT_FALSE(ilvu.CanSplitAt(1));
    EXPECT_EQ(ilvu.GetOutputSize(0, 0), 9u * kSector);
    CStillSource still(ilvu, 2);
    EXPECT_EQ(still.GetPictureSectorCount(), 0u);
}

TEST(VobCell, AngleCountFromNonSeamlessThenSeamlessEntries)
{
    FolderSet f;
    ASSERT_TRUE(f.Open(1)) << f.log.Dump();
    CVobCell* ilvu = f.Ilvu();
    struct Case
    {
        int nsml; // highest NSML_AGLI entry set, 0 for none
        int sml;  // highest SML_AGLI entry set, 0 for none
        int expected;
    } cases[] = {{0, 0, 0}, {3, 0, 3}, {0, 4, 4}, {2, 9, 2}, {9, 0, 9}};
    for (const Case& c : cases)
    {
        PciPacket pci;
        DsiPacket dsi;
        if (c.nsml > 0)
            pci.SetNsmlAgli(c.nsml - 1, -20);
        if (c.sml > 0)
            dsi.SetSmlAgli(c.sml - 1, 40, 10);
        ilvu->SetFirstNav(pci, dsi, nullptr);
        EXPECT_EQ(ilvu->GetAngleCount(), c.expected) << c.nsml << " " << c.sml;
    }
}

TEST(VobCell, SplitAndCutPositions)
{
    // One button all through; VOBUs 1 and 2 go on with the highlight of VOBU
    // 0, VOBU 3 announces it anew.
    const WORD status[4] = {1, 2, 2, 1};
    FolderSet f;
    ASSERT_TRUE(f.Open(4,
                       [&](int v, PciPacket& pci)
                       {
                           pci.SetHliStatus(status[v]);
                           pci.SetButtonGroupCount(1);
                           pci.SetBtnNs(1);
                       }))
        << f.log.Dump();
    CVobCell* ilvu = f.Ilvu();
    ASSERT_TRUE(ilvu->HasButtons());
    for (uint32_t v : {0u, 4u})
        EXPECT_FALSE(ilvu->CanSplitAt(v)) << v;
    EXPECT_FALSE(ilvu->CanSplitAt(1));
    EXPECT_FALSE(ilvu->CanSplitAt(2));
    EXPECT_TRUE(ilvu->CanSplitAt(3));
    // Without buttons any VOBU but the first will do.
    FolderSet plain;
    ASSERT_TRUE(plain.Open(4)) << plain.log.Dump();
    EXPECT_FALSE(plain.Ilvu()->HasButtons());
    EXPECT_TRUE(plain.Ilvu()->CanSplitAt(2));
    EXPECT_FALSE(ilvu->CanCutTo(0));
    EXPECT_TRUE(ilvu->CanCutTo(3));
    EXPECT_FALSE(ilvu->CanCutTo(4));
    EXPECT_TRUE(ilvu->CanCutFrom(2));
    EXPECT_FALSE(ilvu->CanCutFrom(3));
    EXPECT_FALSE(ilvu->CanCutFrom(0xFFFFFFFFu));

    struct Case
    {
        uint64_t offset;
        int vobu;
    } cases[] = {{0, 0}, {3 * kSector - 1, 0}, {3 * kSector, 1}, {11 * kSector, 3}, {1u << 30, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(FindVobuAtOffset(*ilvu, c.offset), c.vobu) << c.offset;
}

TEST(VobCell, VobuBeforeTheFirstIsNotFound)
{
    FolderSet f;
    ASSERT_TRUE(f.Open(2)) << f.log.Dump();
    CDvdPtrArray<CVobCellPiece> pieces;
    CCellAddress address;
    address.m_dwFirstSector = 10;
    address.m_dwLastSector = 12;
    CVobuAddressList vobus;
    vobus.Add(10);
    CVobCell late(f.set.get(), address, vobus, nullptr);
    EXPECT_EQ(FindVobuAtOffset(late, 9 * kSector), -1);
    EXPECT_EQ(FindVobuAtOffset(late, 10 * kSector), 0);
}

// The picture of a still: the video packs up to VOBU_1STREF_EA, one more
// when the last holds no further picture or sequence end.
TEST(VobCell, StillPictureCountsItsVideoPacks)
{
    struct Case
    {
        DWORD firstRefEnd;
        bool pictureEndsInLast;
        DWORD expected;
    } cases[] = {{0, false, 0}, {3, true, 2}, {3, false, 3}, {4, false, 3}, {40, true, 0}};
    for (const Case& c : cases)
    {
        FolderSet f;
        f.vob.Nav(1, 1);
        f.vob.Pes(0xE0);
        f.vob.Pes(0xC0); // audio between the video packs
        f.vob.Pes(0xE0);
        f.vob.Raw(0); // no pack header
        BYTE* nav = f.vob.bytes.data();
        PutBE32(nav + 1043, c.firstRefEnd);
        if (c.pictureEndsInLast)
            PutBE32(f.vob.bytes.data() + 3 * kSector + 100, 0x00000100);
        ASSERT_TRUE(f.Write());
        CCellAddressList cells;
        CCellAddress* entry = new CCellAddress();
        entry->m_wVobId = 1;
        entry->m_nCellId = 1;
        entry->m_dwLastSector = 4;
        cells.Add(entry);
        CVobuAddressList starts;
        starts.Add(0);
        std::string path = f.folder.Path() + kx::NativePathSeparator();
        f.set.reset(new CVobData(f.log, path.c_str(), 1, false, nullptr, cells, starts, false, nullptr));
        ASSERT_TRUE(f.set->IsUsable()) << f.log.Dump();
        const uint32_t refs = f.set->GetRefCount();
        {
            CStillSource still(*f.Ilvu(), 0);
            EXPECT_EQ(still.GetFirstRefEnd(), c.firstRefEnd);
            EXPECT_EQ(still.GetPictureSectorCount(), c.expected) << c.firstRefEnd << " " << c.pictureEndsInLast;
            EXPECT_EQ(f.set->GetRefCount(), refs + 1);
            CStillSource copy(still);
            EXPECT_EQ(f.set->GetRefCount(), refs + 2);
        }
        EXPECT_EQ(f.set->GetRefCount(), refs);
    }
}

TEST(VobCell, DomainOfTheOwner)
{
    pgctest::IlvuRecipe recipe;
    std::unique_ptr<CVobCell> loose(pgctest::MakeIlvu(recipe));
    EXPECT_EQ(loose->GetDomain(), DVDDOMAIN_ANY);
    CAngleBlockList outside(nullptr);
    CAngleBlock* block = outside.AddCell(loose.release(), nullptr);
    EXPECT_EQ(block->GetIlvu(0)->GetDomain(), DVDDOMAIN_ANY);
    CVts vts(nullptr);
    CAngleBlock* title = vts.GetTitleDomain().AddCell(pgctest::MakeIlvu(recipe), nullptr);
    CAngleBlock* menu = vts.GetMenuDomain().AddCell(pgctest::MakeIlvu(recipe), nullptr);
    EXPECT_EQ(title->GetIlvu(0)->GetDomain(), DVDDOMAIN_TITLE);
    EXPECT_EQ(menu->GetIlvu(0)->GetDomain(), DVDDOMAIN_VTS_MENU);
    EXPECT_FALSE(vts.GetTitleDomain().IsMenuDomain());
    EXPECT_TRUE(vts.GetMenuDomain().IsMenuDomain());
    EXPECT_EQ(vts.GetTitleDomain().GetPgcContainer(), &vts.GetPgcTable());
    EXPECT_EQ(vts.GetMenuDomain().GetPgcContainer(), &vts.GetLanguageUnits());
    CVmg vmg(nullptr);
    CAngleBlock* vmgMenu = vmg.GetMenuDomain().AddCell(pgctest::MakeIlvu(recipe), nullptr);
    EXPECT_EQ(vmgMenu->GetIlvu(0)->GetDomain(), DVDDOMAIN_VMG_MENU);
    EXPECT_TRUE(vmg.GetMenuDomain().IsMenuDomain());
    EXPECT_EQ(vmg.GetMenuDomain().GetPgcContainer(), &vmg.GetLanguageUnits());
    EXPECT_EQ(outside.GetPgcContainer(), nullptr);
}

TEST(VobCell, PaletteOfTheFirstPgcThatPlaysTheBlock)
{
    pgctest::IlvuRecipe recipe;
    CVts vts(nullptr);
    CAngleBlock* block = vts.GetTitleDomain().AddCell(pgctest::MakeIlvu(recipe), nullptr);
    CClut clut;
    clut.colours[0][1] = 9;
    block->GetIlvu(0)->GetPalette(clut);
    EXPECT_EQ(clut.colours[0][1], 0);

    pgctest::PgciRecipe pgci;
    pgci.programs = {1};
    pgci.cells.push_back(pgctest::CellRecipe());
    std::vector<BYTE> bytes = pgctest::BuildPgci(pgci);
    bytes[0xA4 + 5] = 0x42; // colour 1, second byte
    CPgc* pgc = new CPgc(0, nullptr);
    RecordingLog log;
    ASSERT_TRUE(pgc->ReadIfo(log, CPgcCategory(), &vts.GetTitleDomain(), pgctest::View(bytes))) << log.Dump();
    pgc->SetParent(&vts.GetPgcTable());
    vts.GetPgcTable().AddPgc(pgc);
    ASSERT_EQ(pgc->GetCell(0)->GetBlock(), block);
    block->GetIlvu(0)->GetPalette(clut);
    EXPECT_EQ(clut.colours[1][1], 0x42);
}

TEST(VobCell, CopyKeepsTablesCachesAndIdentity)
{
    FolderSet f;
    ASSERT_TRUE(f.Open(3)) << f.log.Dump();
    CVobCell* ilvu = f.Ilvu();
    const uint32_t refs = f.set->GetRefCount();
    ilvu->SetThumbnailVobu(2);
    ilvu->SetPtmRange(10, 20);
    std::unique_ptr<CVobCell> copy(CVobCell::CopyConstruct(*ilvu, nullptr));
    EXPECT_EQ(f.set->GetRefCount(), refs + 1);
    EXPECT_EQ(copy->GetId(), ilvu->GetId());
    EXPECT_EQ(copy->GetVobuCount(), 3u);
    EXPECT_EQ(copy->GetSectorCount(), 9u);
    EXPECT_EQ(copy->GetThumbnailVobu(), 2);
    EXPECT_EQ(copy->GetCellEndPtm(), 20u);
    EXPECT_EQ(copy->GetLastPci().GetVobuSPtm(), 7200u);
    EXPECT_EQ(copy->GetSegmentCount(), ilvu->GetSegmentCount());
    copy.reset();
    EXPECT_EQ(f.set->GetRefCount(), refs);
}

TEST(VobCell, OutputAddressesForTheIfoWriters)
{
    pgctest::IlvuRecipe recipe;
    recipe.bIlvu = true;
    std::unique_ptr<CVobCell> ilvu(pgctest::MakeIlvu(recipe));
    EXPECT_EQ(ilvu->GetFirstVobuSector(), 0u);
    CGrowArray<DWORD> vobus, ptms;
    for (DWORD v : {500u, 520u})
        vobus.Add(v);
    ptms.SetSize(2, true);
    CDvdPtrArray<CVobCellPiece> pieces;
    pieces.Add(new CVobCellPiece{500, 509});
    pieces.Add(new CVobCellPiece{600, 629});
    ilvu->SetOutput(vobus, ptms, ptms, pieces);
    EXPECT_EQ(ilvu->GetFirstVobuSector(), 500u);
    EXPECT_EQ(ilvu->GetLastVobuSector(), 520u);
    EXPECT_EQ(ilvu->GetLastVobuEndSector(), 629u);
    EXPECT_EQ(ilvu->GetFirstIlvuEndSector(), 509u);
    EXPECT_EQ(ilvu->GetExportedSectorCount(), 40u);
    ilvu->SetPlainRun(true);
    EXPECT_EQ(ilvu->GetFirstIlvuEndSector(), 0u);
}

TEST(VobCell, PtsFieldsKeepPrefixAndMarkers)
{
    struct Case
    {
        uint64_t pts;
        BYTE prefix;
        BYTE bytes[5];
    } cases[] = {
        {0, 0x20, {0x21, 0x00, 0x01, 0x00, 0x01}},
        {90000, 0x30, {0x31, 0x00, 0x05, 0xBF, 0x21}},
        {0x1FFFFFFFFull, 0x20, {0x2F, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases)
    {
        BYTE field[5] = {c.prefix, 0, 0, 0, 0};
        EncodePts(field, c.pts);
        EXPECT_TRUE(std::equal(field, field + 5, c.bytes)) << c.pts;
        EXPECT_EQ(DecodePts(c.bytes), DWORD(c.pts));
    }
}

// Random bytes where the NAV packs and pictures should be never make the
// queries read outside their sectors.
TEST(VobCell, DamagedSectorsNeverCrash)
{
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round)
    {
        FolderSet f;
        ASSERT_TRUE(f.Open(3, nullptr,
                           [&](std::vector<BYTE>& bytes)
                           {
                               for (size_t i = 14; i < bytes.size(); ++i)
                                   bytes[i] = BYTE(random());
                               PutBE32(bytes.data() + 1043, random() % 12);
                           }));
        ASSERT_GT(f.set->GetPristineBlocks().GetBlockCount(), 0u);
        CVobCell* ilvu = f.Ilvu();
        PciPacket pci;
        for (uint32_t v = 0; v < 3; ++v)
            EXPECT_TRUE(ilvu->ReadNavPack(pci, v));
        ilvu->GetAngleCount();
        ilvu->IsInterleaved();
        for (uint32_t v = 0; v < 4; ++v)
            ilvu->CanSplitAt(v);
        CStillSource still(*ilvu, 0);
        EXPECT_LE(still.GetPictureSectorCount(), 12u);
        RecordingLog log;
        ilvu->ParseButtons(log, true, nullptr);
        CAngleBlockList domain(nullptr);
        domain.CopyConstruct(f.set->GetPristineBlocks());
        EXPECT_EQ(domain.GetSourceSize(), 9u * kSector);
        EXPECT_LE(domain.GetBlock(0)->GetOutputSizeWithMasks(0, 0), domain.GetSourceSize());
        domain.GetBlock(0)->HasButtons();
    }
}

} // namespace
