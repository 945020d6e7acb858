// "Hide all blocks" and "Restore all blocks" on the PGC tables of the fixture
// discs: each hidden cell gets a blank block of its own, so cells of other
// tables that played the same block keep playing it.
#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/EditTestSupport.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace
{

// What a cell entry plays, as the editor shows it.
struct Played
{
    WORD vobId;
    BYTE cellId;
    uint32_t vobus;
    bool blank;
    bool operator==(const Played& o) const
    {
        return vobId == o.vobId && cellId == o.cellId && vobus == o.vobus && blank == o.blank;
    }
};

Played PlayedBy(const CPgcCell& cell)
{
    const CVobCell* ilvu = cell.GetIlvu(0);
    if (!ilvu)
        return {0, 0, 0, false};
    return {ilvu->GetVobId(), ilvu->GetCellId(), ilvu->GetVobuCount(), ilvu->IsBlank()};
}

std::vector<Played> PlayedBy(const CPgcTable& table)
{
    std::vector<Played> played;
    for (uint32_t p = 0; p < table.GetPgcCount(); ++p)
        for (uint32_t c = 0; c < table.GetPgc(p)->GetCellCount(); ++c)
            played.push_back(PlayedBy(*table.GetPgc(p)->GetCell(c)));
    return played;
}

// A fixture disc read as the editor reads it.
struct ReadDisc
{
    kxtest::RecordingLog log;
    CDvd dvd;
    bool Read(const char* fixture)
    {
        // The program builds its stock cells at start-up; a hide needs them.
        CreateStockCells();
        if (!dvd.Read(log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr))
            return false;
        // As the document takes a disc it has just read: nothing edited yet.
        dvd.ClearModified();
        return true;
    }
    ~ReadDisc()
    {
        dvd.Reset();
        PurgeUnusedVobData();
    }
};

TEST(PgcTableBlocks, HideAllGivesEveryCellABlankBlockOfItsOwnAndRestoreBringsItBack)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ReadDisc disc;
    ASSERT_TRUE(disc.Read("ntscmenu")) << disc.log.Dump();
    CVts& vts = *disc.dvd.GetVts(0);
    CPgcTable& table = vts.GetPgcTable();
    const std::vector<Played> before = PlayedBy(table);
    ASSERT_GE(before.size(), 3u);
    const uint32_t menuBlocks = vts.GetMenuDomain().GetBlockCount();
    const CVideoAttributes video = vts.GetTitleDomain().GetStreams().GetVideo();
    const BYTE audioMask = vts.GetTitleDomain().GetAudioStreamMask();
    ASSERT_NE(audioMask, 0);
    EXPECT_FALSE(table.CanRestoreBlocks());

    table.HideAllBlocks();

    const std::vector<Played> hidden = PlayedBy(table);
    std::set<const CAngleBlock*> blocks;
    for (size_t i = 0; i < before.size(); ++i)
    {
        SCOPED_TRACE(i);
        // The blank keeps the cell's ids, so the address table still names it.
        EXPECT_TRUE(hidden[i].blank);
        EXPECT_EQ(hidden[i].vobId, before[i].vobId);
        EXPECT_EQ(hidden[i].cellId, before[i].cellId);
    }
    for (uint32_t p = 0; p < table.GetPgcCount(); ++p)
        for (uint32_t c = 0; c < table.GetPgc(p)->GetCellCount(); ++c)
            blocks.insert(table.GetPgc(p)->GetCell(c)->GetBlock());
    // The blocks the cells played before were dropped with the refresh.
    EXPECT_EQ(blocks.size(), before.size());
    EXPECT_EQ(vts.GetTitleDomain().GetBlockCount(), before.size());
    for (const CAngleBlock* block : blocks)
        EXPECT_GE(vts.GetTitleDomain().GetBlockIndex(block), 0);
    EXPECT_EQ(vts.GetMenuDomain().GetBlockCount(), menuBlocks);
    EXPECT_TRUE(table.CanRestoreBlocks());

    table.RestoreAllBlocks();
    EXPECT_EQ(PlayedBy(table), before);
    // Once every block of the domain was hidden, none brought streams; the
    // restored ones bring back those of the import.
    EXPECT_EQ(vts.GetTitleDomain().GetStreams().GetVideo().bytes[0], video.bytes[0]);
    EXPECT_EQ(vts.GetTitleDomain().GetStreams().GetVideo().bytes[1], video.bytes[1]);
    EXPECT_EQ(vts.GetTitleDomain().GetAudioStreamMask(), audioMask);
    EXPECT_EQ(disc.log.Count('E'), 0) << disc.log.Dump();
}

// Every block of a PAL title domain hidden: the domain keeps its streams, so
// its blanks stay PAL blanks and an export still states PAL video.
TEST(PgcTableBlocks, HidingEveryBlockOfADomainKeepsItsStreams)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    ReadDisc disc;
    ASSERT_TRUE(disc.Read("pal1")) << disc.log.Dump();
    CAngleBlockList& titles = disc.dvd.GetVts(0)->GetTitleDomain();
    ASSERT_TRUE(titles.IsPal());
    const BYTE audioMask = titles.GetAudioStreamMask();

    disc.dvd.GetVts(0)->GetPgcTable().HideAllBlocks();

    EXPECT_TRUE(titles.IsPal());
    EXPECT_EQ(titles.GetAudioStreamMask(), audioMask);
    for (uint32_t i = 0; i < titles.GetBlockCount(); ++i)
    {
        ASSERT_TRUE(titles.GetBlock(i)->GetIlvu(0)->IsBlank());
        EXPECT_EQ(titles.GetBlock(i)->GetIlvu(0)->GetFrameRate(), 25);
    }
}

// The French root menu is made to play the English root menu's block; hiding
// the English unit leaves the French menu showing it.
TEST(PgcTableBlocks, HidingOneTableLeavesAnotherTablesCellOnTheSharedBlock)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ReadDisc disc;
    ASSERT_TRUE(disc.Read("ntscmenu")) << disc.log.Dump();
    CVts& vts = *disc.dvd.GetVts(0);
    ASSERT_EQ(vts.GetLanguageUnits().GetUnitCount(), 2u);
    CLanguageUnit& english = *vts.GetLanguageUnits().GetUnit(0);
    CLanguageUnit& french = *vts.GetLanguageUnits().GetUnit(1);
    CPgcCell& englishRoot = *english.GetPgc(0)->GetCell(0);
    CPgcCell& frenchRoot = *french.GetPgc(0)->GetCell(0);
    CAngleBlock* shared = englishRoot.GetBlock();
    ASSERT_TRUE(frenchRoot.SetBlock(shared));
    const Played sharedPlays = PlayedBy(englishRoot);
    ASSERT_FALSE(sharedPlays.blank);
    const uint32_t blocksBefore = vts.GetMenuDomain().GetBlockCount();

    english.HideAllBlocks();

    EXPECT_TRUE(PlayedBy(englishRoot).blank);
    EXPECT_NE(englishRoot.GetBlock(), shared);
    EXPECT_EQ(frenchRoot.GetBlock(), shared);
    EXPECT_EQ(PlayedBy(frenchRoot), sharedPlays);
    // The hidden copy came in after the shared block; the French menu's old
    // block, which no cell played any more, went.
    EXPECT_EQ(vts.GetMenuDomain().GetBlockIndex(englishRoot.GetBlock()), vts.GetMenuDomain().GetBlockIndex(shared) + 1);
    EXPECT_EQ(vts.GetMenuDomain().GetBlockCount(), blocksBefore);
    EXPECT_TRUE(english.CanRestoreBlocks());
}

// A cell whose block cannot be hidden (no blank of its frame rate) keeps it,
// and the domain gets no copy.
TEST(PgcTableBlocks, WithoutStockCellsNothingChanges)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    kxtest::RecordingLog log;
    CDvd dvd;
    ReleaseStockCells();
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("pal1", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
    CPgcTable& table = dvd.GetVts(0)->GetPgcTable();
    const std::vector<Played> before = PlayedBy(table);
    const uint32_t blocks = dvd.GetVts(0)->GetTitleDomain().GetBlockCount();
    table.HideAllBlocks();
    EXPECT_EQ(PlayedBy(table), before);
    EXPECT_EQ(dvd.GetVts(0)->GetTitleDomain().GetBlockCount(), blocks);
    CreateStockCells();
    dvd.Reset();
    PurgeUnusedVobData();
}

// A cell given another block indirectly plays a copy of its own block with
// the other's content under its own ids; the other block stays as it was.
TEST(PgcTableBlocks, IndirectBlockOfACellTakesTheContentUnderItsOwnIds)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ReadDisc disc;
    ASSERT_TRUE(disc.Read("ntscmenu")) << disc.log.Dump();
    CPgcTable& table = disc.dvd.GetVts(0)->GetPgcTable();
    CPgcCell& cell = *table.GetPgc(0)->GetCell(0);
    const Played own = PlayedBy(cell);
    // Another cell of a different length, so the content shows.
    CPgcCell* found = nullptr;
    for (uint32_t p = 0; p < table.GetPgcCount() && !found; ++p)
        for (uint32_t c = 0; c < table.GetPgc(p)->GetCellCount() && !found; ++c)
            if (PlayedBy(*table.GetPgc(p)->GetCell(c)).vobus != own.vobus)
                found = table.GetPgc(p)->GetCell(c);
    ASSERT_NE(found, nullptr);
    CPgcCell& other = *found;
    const Played content = PlayedBy(other);
    CAngleBlock* otherBlock = other.GetBlock();

    ASSERT_TRUE(cell.SetBlock(otherBlock, false, true));

    EXPECT_NE(cell.GetBlock(), otherBlock);
    const Played now = PlayedBy(cell);
    EXPECT_EQ(now.vobId, own.vobId);
    EXPECT_EQ(now.cellId, own.cellId);
    EXPECT_EQ(now.vobus, content.vobus);
    EXPECT_EQ(other.GetBlock(), otherBlock);
    EXPECT_EQ(PlayedBy(other), content);
}

// A cell playing two ILVUs: when their packs name no angles they are runs of
// video, so the hidden cell keeps the first as a block of its own and the
// second stays in the domain as a block of its own; real angles are hidden
// together in one copy.
TEST(PgcTableBlocks, HidingACellOfTwoIlvusSeparatesThemOnlyWhenTheyAreNoAngles)
{
    for (bool angles : {false, true})
    {
        SCOPED_TRACE(angles ? "angle addresses" : "no angle addresses");
        ReleaseStockCells();
        ASSERT_TRUE(CreateStockCells());
        kxtest::EditSet set({{1, 1, 2}, {2, 1, 2}},
                            [&](size_t, uint32_t, PciPacket& pci)
                            {
                                if (angles)
                                    pci.SetNsmlAgli(1, 4);
                            });
        CVts vts(nullptr);
        CAngleBlockList& domain = vts.GetTitleDomain();
        domain.CopyConstruct(set.Blocks());
        ASSERT_EQ(domain.GetBlockCount(), 2u);
        CAngleBlock* block = domain.GetBlock(0);
        ASSERT_TRUE(block->AddCell(CVobCell::CopyConstruct(*domain.GetBlock(1)->GetIlvu(0), block),
                                   domain.GetBlock(1)->GetPristine(0)));
        domain.RemoveBlock(1, false);
        CPgc* pgc = new CPgc(0, &vts.GetPgcTable());
        vts.GetPgcTable().AddPgc(pgc);
        CGrowArray<BYTE> both;
        both.Add(0);
        both.Add(1);
        pgc->AddCell(new CPgcCell(1, 0, 0, 0, block, both, pgc));

        vts.GetPgcTable().HideAllBlocks();

        CPgcCell& cell = *pgc->GetCell(0);
        ASSERT_EQ(cell.GetAngleCount(), 1);
        EXPECT_TRUE(PlayedBy(cell).blank);
        EXPECT_EQ(PlayedBy(cell).vobId, 1);
        EXPECT_EQ(cell.GetBlock()->GetIlvuCount(), 1u);
        // Outside a disc nothing drops the block the cell left.
        ASSERT_EQ(domain.GetBlockIndex(cell.GetBlock()), 1);
        if (angles)
        {
            EXPECT_EQ(domain.GetBlockCount(), 2u);
            EXPECT_EQ(domain.GetBlock(0)->GetIlvuCount(), 2u);
        }
        else
        {
            ASSERT_EQ(domain.GetBlockCount(), 3u);
            EXPECT_EQ(domain.GetBlock(0)->GetIlvuCount(), 1u);
            EXPECT_EQ(domain.GetBlock(2)->GetIlvu(0)->GetVobId(), 2);
            EXPECT_FALSE(domain.GetBlock(2)->GetIlvu(0)->IsBlank());
        }
    }
}

} // namespace
