#include "DVD/source/AngleBlock.h"

#include "DVD/source/EditTestSupport.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VTS.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

using kxtest::EditCell;
using kxtest::EditSet;
using kxtest::kVobuSectors;
using kxtest::LinkTarget;
using kxtest::MakeLink;

// vob id, pieces and VOBUs of every angle of every block.
std::string Describe(const CAngleBlockList& domain)
{
    std::string text;
    for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
    {
        const CAngleBlock* block = domain.GetBlock(b);
        text += "[";
        for (uint32_t a = 0; a < block->GetIlvuCount(); ++a)
        {
            const CVobCell* ilvu = block->GetIlvu(a);
            text += (a ? " " : "") + std::to_string(ilvu->GetVobId()) + (ilvu->IsStock() ? "s" : "") + ":";
            for (uint32_t p = 0; p < ilvu->GetSourcePieces().GetSize(); ++p)
                text += std::to_string(ilvu->GetSourcePieces()[p]->m_dwFirstSector) + "-" +
                        std::to_string(ilvu->GetSourcePieces()[p]->m_dwLastSector) + ",";
            text += std::to_string(ilvu->GetVobuCount()) + "v";
        }
        text += "]";
    }
    return text;
}

// Button 1 of every VOBU of the cells for which link gives a command.
std::function<void(size_t, uint32_t, PciPacket&)> Buttons(std::vector<std::vector<BYTE>> links)
{
    return [links](size_t c, uint32_t, PciPacket& pci)
    {
        if (c >= links.size() || links[c].empty())
            return;
        pci.SetHliStatus(1);
        pci.SetButtonGroupCount(1);
        pci.SetBtnNs(1);
        pci.GetButtonInfo(0, 1).SetCommand(links[c].data());
    };
}

const BYTE* ButtonCommand(const CAngleBlock* block)
{
    return block->GetIlvu(0)->GetSegment(0)->GetButton(0)->GetGroup(0).command;
}

// A title set whose title domain holds copies of a set's blocks, and PGCs of
// cell entries that play them.
struct Disc
{
    CVts vts{nullptr};

    explicit Disc(const EditSet& set) { Domain().CopyConstruct(set.Blocks()); }
    CAngleBlockList& Domain() { return vts.GetTitleDomain(); }
    CAngleBlock* Block(uint32_t b) { return Domain().GetBlock(b); }
    // Each entry plays a block with the angles listed.
    CPgc* AddPgc(const std::vector<std::pair<CAngleBlock*, std::vector<BYTE>>>& entries)
    {
        CPgc* pgc = new CPgc(0, &vts.GetPgcTable());
        vts.GetPgcTable().AddPgc(pgc);
        for (const auto& e : entries)
        {
            CGrowArray<BYTE> angles;
            for (BYTE a : e.second)
                angles.Add(a);
            pgc->AddCell(new CPgcCell(1, 0, 0, 0, e.first, angles, pgc));
        }
        return pgc;
    }
};

struct BlockEdit : ::testing::Test
{
    void SetUp() override
    {
        ReleaseStockCells();
        ASSERT_TRUE(CreateStockCells());
    }
};

// Hide puts in the blank stock cell of the block's frame rate with the
// block's ids and drops the cell's still; restore brings back the imported
// content.
TEST_F(BlockEdit, HideThenRestoreGivesBackTheImportedCell)
{
    struct Case
    {
        BYTE rate;
        int stock;
    };
    for (const Case& c : {Case{DVDTIME_RATE_25, STOCK_EMPTY_PAL}, Case{DVDTIME_RATE_30, STOCK_EMPTY_NTSC}})
    {
        SCOPED_TRACE(c.stock);
        EditSet set({{3, 2, 12}, {4, 1, 3}}, nullptr, c.rate);
        ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
        Disc disc(set);
        CPgc* pgc = disc.AddPgc({{disc.Block(0), {0}}, {disc.Block(1), {0}}});
        pgc->GetCell(0)->m_nStillTime = 5;
        pgc->GetCell(1)->m_nStillTime = 7;
        const std::string before = Describe(disc.Domain());
        disc.Domain().ClearModified();
        CAngleBlock* block = disc.Block(0);
        EXPECT_FALSE(block->CanRestore());

        ASSERT_TRUE(block->SetBlank());
        const CVobCell* blank = block->GetIlvu(0);
        ASSERT_EQ(block->GetIlvuCount(), 1u);
        EXPECT_TRUE(blank->IsStock());
        EXPECT_EQ(blank->GetVobData(), GetStockCell(c.stock)->GetVobData());
        EXPECT_EQ(blank->GetVobId(), 3);
        EXPECT_EQ(blank->GetCellId(), 2);
        EXPECT_EQ(blank->GetParent(), block);
        EXPECT_TRUE(block->IsModified());
        EXPECT_EQ(pgc->GetCell(0)->m_nStillTime, 0);
        EXPECT_EQ(pgc->GetCell(1)->m_nStillTime, 7);
        EXPECT_EQ(pgc->GetCell(0)->GetBlock(), block);

        ASSERT_TRUE(block->CanRestore());
        ASSERT_TRUE(block->Restore());
        EXPECT_EQ(Describe(disc.Domain()), before);
        EXPECT_EQ(block->GetIlvu(0)->GetParent(), block);
        EXPECT_FALSE(block->GetIlvu(0)->IsStock());
    }
}

// The copy goes beside the block in its domain; a block the domain does not
// hold gets none (and nothing is left behind, which ASan checks).
TEST_F(BlockEdit, DuplicateNeedsTheBlockInItsDomain)
{
    EditSet set({{1, 1, 3}});
    ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
    Disc disc(set);
    CAngleBlock* copy = disc.Block(0)->Duplicate();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(disc.Domain().GetBlockCount(), 2u);
    EXPECT_EQ(disc.Domain().GetBlockIndex(copy), 1);

    CAngleBlock stray(nullptr, nullptr, &disc.Domain());
    EXPECT_EQ(stray.Duplicate(), nullptr);
    EXPECT_EQ(disc.Domain().GetBlockCount(), 2u);
}

// A block without the imported cells to copy back is not restored: it
// would be left with no content at all.
TEST_F(BlockEdit, RestoreNeedsAnImportedCellForEveryAngle)
{
    EditSet set({{1, 1, 3}});
    ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
    Disc disc(set);
    CAngleBlock* block = disc.Block(0);
    ASSERT_TRUE(block->GetIlvu(0)->CutFrom(1));
    block->SetPristineCount(0);
    EXPECT_FALSE(block->CanRestore());
    EXPECT_FALSE(block->Restore());
    ASSERT_EQ(block->GetIlvuCount(), 1u);
    EXPECT_EQ(block->GetIlvu(0)->GetVobuCount(), 2u);
}

// Split at VOBU 5 of 12: the block keeps VOBUs 0-4, a new block after it
// holds 5-11 and plays as one more cell; the PGC's and the buttons' links to
// the cells after it follow.
TEST_F(BlockEdit, SplitAddsACellAndShiftsTheLinksToLaterCells)
{
    EditSet set({{1, 1, 12}, {2, 1, 2}}, Buttons({{}, MakeLink(NAV_LINK_CELL, 2)}));
    ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
    Disc disc(set);
    CPgc* pgc = disc.AddPgc({{disc.Block(0), {0}}, {disc.Block(1), {0}}});
    pgc->m_postCommands.Add(MakeLink(NAV_LINK_CELL, 2).data());
    CAngleBlock* block = disc.Block(0);
    CAngleBlock* menu = disc.Block(1);
    ASSERT_EQ(LinkTarget(ButtonCommand(menu)), 2);

    EXPECT_FALSE(block->SplitAt(0));
    EXPECT_FALSE(block->SplitAt(12));
    ASSERT_TRUE(block->SplitAt(5));
    ASSERT_EQ(disc.Domain().GetBlockCount(), 3u);
    EXPECT_EQ(Describe(disc.Domain()), "[1:0-14,5v][1:15-35,7v][2:36-41,2v]");
    EXPECT_EQ(disc.Block(0), block);
    EXPECT_EQ(disc.Block(1)->GetPristine(0), block->GetPristine(0));
    ASSERT_EQ(pgc->GetCellCount(), 3u);
    EXPECT_EQ(pgc->GetIfoCellCount(), 3u);
    EXPECT_EQ(pgc->GetCell(0)->GetBlock(), block);
    EXPECT_EQ(pgc->GetCell(1)->GetBlock(), disc.Block(1));
    EXPECT_EQ(pgc->GetCell(2)->GetBlock(), menu);
    EXPECT_EQ(LinkTarget(pgc->m_postCommands.GetCommand(0)), 3);
    EXPECT_EQ(LinkTarget(ButtonCommand(menu)), 3);
}

// A cell inserted with collection moves the buttons' links to the cells
// behind it; without it only the PGC's own commands follow.
TEST_F(BlockEdit, InsertedCellMovesButtonLinksOnlyWhenCollected)
{
    for (bool collect : {false, true})
    {
        SCOPED_TRACE(collect);
        EditSet set({{1, 1, 2}, {2, 1, 2}}, Buttons({MakeLink(NAV_LINK_CELL, 2), {}}));
        ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
        Disc disc(set);
        CPgc* pgc = disc.AddPgc({{disc.Block(0), {0}}, {disc.Block(1), {0}}});
        pgc->m_postCommands.Add(MakeLink(NAV_LINK_CELL, 2).data());
        CAngleBlock* menu = disc.Block(0);

        EXPECT_EQ(pgc->InsertCell(1, true, nullptr, collect), 1u);
        ASSERT_EQ(pgc->GetCellCount(), 3u);
        EXPECT_EQ(pgc->GetCell(2)->GetBlock(), disc.Block(2));
        EXPECT_EQ(LinkTarget(pgc->m_postCommands.GetCommand(0)), 3);
        EXPECT_EQ(LinkTarget(ButtonCommand(menu)), collect ? 3 : 2);
    }
}

// A block whose buttons serve a PGC whose cells move and one whose cells
// stay is split into one copy for each, each with its own links.
TEST_F(BlockEdit, SplitGivesAPgcWhoseCellsStayItsOwnCopyOfASharedMenu)
{
    EditSet set({{1, 1, 12}, {2, 1, 2}}, Buttons({{}, MakeLink(NAV_LINK_CELL, 2)}));
    ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
    Disc disc(set);
    CPgc* moving = disc.AddPgc({{disc.Block(0), {0}}, {disc.Block(1), {0}}});
    CPgc* staying = disc.AddPgc({{disc.Block(1), {0}}});
    CAngleBlock* menu = disc.Block(1);

    ASSERT_TRUE(disc.Block(0)->SplitAt(5));
    EXPECT_EQ(moving->GetCell(2)->GetBlock(), menu);
    EXPECT_EQ(LinkTarget(ButtonCommand(menu)), 3);
    CAngleBlock* copy = staying->GetCell(0)->GetBlock();
    ASSERT_NE(copy, menu);
    EXPECT_EQ(disc.Domain().GetBlockIndex(copy), disc.Domain().GetBlockIndex(menu) + 1);
    EXPECT_EQ(LinkTarget(ButtonCommand(copy)), 2);
    EXPECT_EQ(staying->GetCellCount(), 1u);
}

// Button n + 1 of every VOBU of cell c links to cell targets[n].
std::function<void(size_t, uint32_t, PciPacket&)> LinkButtons(size_t cell, std::vector<WORD> targets)
{
    return [cell, targets](size_t c, uint32_t, PciPacket& pci)
    {
        if (c != cell)
            return;
        pci.SetHliStatus(1);
        pci.SetButtonGroupCount(1);
        pci.SetBtnNs(BYTE(targets.size()));
        for (size_t n = 0; n < targets.size(); ++n)
            pci.GetButtonInfo(0, int(n + 1)).SetCommand(MakeLink(NAV_LINK_CELL, targets[n]).data());
    };
}

// Button links count IFO cells, and an entry of two angles holds two: a
// split or a hide behind such an entry leaves each link on the cell it named
// before. The PGC plays the menu (IFO cell 1), angles A (2-3), a plain cell
// of four VOBUs (4), angles B (5-6) and a plain cell (7).
TEST_F(BlockEdit, EditsBehindAnAngleEntryKeepEachButtonLinkOnItsCell)
{
    struct Case
    {
        const char* name;
        bool (*edit)(CAngleBlock* plain, CAngleBlock* anglesB);
        std::vector<WORD> links;
    };
    const Case cases[] = {
        {"split the plain cell", [](CAngleBlock* plain, CAngleBlock*) { return plain->SplitAt(2); }, {3, 4, 6, 8}},
        {"hide angles B", [](CAngleBlock*, CAngleBlock* anglesB) { return anglesB->SetBlank(); }, {3, 4, 5, 6}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EditSet set(
            {{1, 1, 2}, {2, 1, 2, true}, {3, 1, 2, true}, {4, 1, 4}, {5, 1, 2, true}, {6, 1, 2, true}, {7, 1, 2}},
            LinkButtons(0, {3, 4, 5, 7}));
        ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
        Disc disc(set);
        ASSERT_EQ(disc.Domain().GetBlockCount(), 5u) << Describe(disc.Domain());
        CAngleBlock* menu = disc.Block(0);
        disc.AddPgc({{menu, {0}},
                     {disc.Block(1), {0, 1}},
                     {disc.Block(2), {0}},
                     {disc.Block(3), {0, 1}},
                     {disc.Block(4), {0}}});
        ASSERT_TRUE(c.edit(disc.Block(2), disc.Block(3)));
        const CButtonSegment* segment = menu->GetIlvu(0)->GetSegment(0);
        ASSERT_EQ(segment->GetButtonCount(), c.links.size());
        for (size_t n = 0; n < c.links.size(); ++n)
            EXPECT_EQ(LinkTarget(segment->GetButton(uint32_t(n))->GetGroup(0).command), c.links[n])
                << "button " << n + 1;
    }
}

// An interleaved block of two angles (vob 2 and vob 3) between two plain
// cells, played by one entry that lists both angles.
struct Angles : BlockEdit
{
    EditSet set{{{1, 1, 2}, {2, 1, 2, true}, {3, 1, 2, true}, {4, 1, 2}}};
    std::unique_ptr<Disc> disc;
    CAngleBlock* block = nullptr;
    CPgc* pgc = nullptr;

    void SetUp() override
    {
        BlockEdit::SetUp();
        ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
        disc.reset(new Disc(set));
        // The source groups the interleaved cells into one block of two angles.
        ASSERT_EQ(Describe(disc->Domain()), "[1:0-5,2v][2:6-11,2v 3:12-17,2v][4:18-23,2v]");
        block = disc->Block(1);
        ASSERT_TRUE(block->IsInterleaved());
        pgc = disc->AddPgc({{disc->Block(0), {0}}, {block, {0, 1}}, {disc->Block(2), {0}}});
        // Link Cell 4: the IFO cell of the last entry.
        pgc->m_postCommands.Add(MakeLink(NAV_LINK_CELL, 4).data());
        ASSERT_EQ(pgc->GetIfoCellCount(), 4u);
    }
};

// Keeping angle 2: the block holds only that ILVU, cannot be restored, and
// the entry plays it as one IFO cell; links to later cells follow.
TEST_F(Angles, KeepAngleLeavesOneIlvuAndOneIfoCell)
{
    ASSERT_TRUE(block->KeepAngle(1));
    EXPECT_EQ(Describe(disc->Domain()), "[1:0-5,2v][3:12-17,2v][4:18-23,2v]");
    EXPECT_EQ(block->GetIlvu(0)->GetParent(), block);
    EXPECT_FALSE(block->IsInterleaved());
    EXPECT_EQ(block->GetPristineCount(), 1u);
    EXPECT_FALSE(block->CanRestore());
    EXPECT_EQ(pgc->GetIfoCellCount(), 3u);
    EXPECT_EQ(pgc->GetCell(1)->GetAngle(0), 0);
    EXPECT_EQ(LinkTarget(pgc->m_postCommands.GetCommand(0)), 3);
    // A one-angle block has nothing to keep.
    EXPECT_FALSE(block->KeepAngle(0));
    EXPECT_FALSE(disc->Block(0)->KeepAngle(0));
}

TEST_F(Angles, KeepAngleBeyondTheAnglesChangesNothing)
{
    EXPECT_FALSE(block->KeepAngle(2));
    EXPECT_EQ(block->GetIlvuCount(), 2u);
    EXPECT_EQ(pgc->GetIfoCellCount(), 4u);
}

// Separating: angle 2 becomes a block of its own after this one, which
// keeps angle 1; the entry plays this block.
TEST_F(Angles, SeparateAnglesMakesABlockPerAngle)
{
    CVobCell* pristine2 = block->GetPristine(1);
    ASSERT_TRUE(block->SeparateAngles());
    EXPECT_EQ(Describe(disc->Domain()), "[1:0-5,2v][2:6-11,2v][3:12-17,2v][4:18-23,2v]");
    CAngleBlock* made = disc->Block(2);
    EXPECT_EQ(made->GetIlvu(0)->GetParent(), made);
    EXPECT_FALSE(made->IsInterleaved());
    EXPECT_FALSE(block->IsInterleaved());
    EXPECT_EQ(made->GetPristine(0), pristine2);
    EXPECT_TRUE(made->IsModified());
    EXPECT_EQ(block->GetPristineCount(), 1u);
    EXPECT_EQ(block->GetPristine(0), nullptr);
    EXPECT_EQ(pgc->GetCell(1)->GetBlock(), block);
    EXPECT_EQ(pgc->GetIfoCellCount(), 3u);
    EXPECT_FALSE(disc->Block(0)->SeparateAngles());
}

// Hiding a block of two angles drops the second angle for its entry too;
// an interleaved block cannot be restored piece by piece.
TEST_F(Angles, HideOfAnAngleBlockLeavesOneAngle)
{
    ASSERT_TRUE(block->SetBlank());
    EXPECT_EQ(Describe(disc->Domain()), "[1:0-5,2v][2s:0-4,1v][4:18-23,2v]");
    EXPECT_FALSE(block->IsInterleaved());
    EXPECT_EQ(block->GetPristineCount(), 1u);
    EXPECT_FALSE(block->CanRestore());
    EXPECT_EQ(pgc->GetIfoCellCount(), 3u);
    EXPECT_EQ(LinkTarget(pgc->m_postCommands.GetCommand(0)), 3);
}

// The title set of a domain as the edits see it: it records the notices.
class NoticeRecorder : public CDvdObject
{
public:
    NoticeRecorder() : CDvdObject(DVDNODE_VTS, nullptr) {}
    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    bool Validate(CDvdValidator&, CDvdValidationMessages&) override { return false; }
    void Invalidate() override {}
    void Notify(CDvdObject*, int nCode, intptr_t a, intptr_t) override
    {
        codes.push_back(nCode);
        if (nCode == DVDNOTICE_ANGLE_COUNT || nCode == DVDNOTICE_COLLECT_ANGLE_REFS)
            angleCounts.push_back(int(a));
    }
    std::vector<int> codes;
    std::vector<int> angleCounts;
};

// What each edit tells the PGCs, in order.
TEST_F(Angles, EditsSendTheirNoticesInOrder)
{
    struct Case
    {
        const char* name;
        bool (*edit)(CAngleBlockList&);
        std::vector<int> codes;
    };
    const Case cases[] = {
        {"hide one angle", [](CAngleBlockList& d) { return d.GetBlock(0)->SetBlank(); }, {7}},
        {"hide two angles", [](CAngleBlockList& d) { return d.GetBlock(1)->SetBlank(); }, {7, 6, 1}},
        {"keep an angle", [](CAngleBlockList& d) { return d.GetBlock(1)->KeepAngle(0); }, {6, 1}},
        {"keep the only angle", [](CAngleBlockList& d) { return !d.GetBlock(0)->KeepAngle(0); }, {}},
        {"separate", [](CAngleBlockList& d) { return d.GetBlock(1)->SeparateAngles(); }, {2}},
        {"split", [](CAngleBlockList& d) { return d.GetBlock(0)->SplitAt(1); }, {5, 4}},
        {"take one angle",
         [](CAngleBlockList& d) { return d.GetBlock(1)->CopyContentFrom(d.GetBlock(0), false); },
         {6, 1}},
        {"restore", [](CAngleBlockList& d) { return !d.GetBlock(1)->Restore(); }, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        NoticeRecorder owner;
        CAngleBlockList domain(&owner);
        domain.CopyConstruct(disc->Domain());
        ASSERT_EQ(domain.GetBlock(1)->GetIlvuCount(), 2u);
        owner.codes.clear();
        ASSERT_TRUE(c.edit(domain));
        EXPECT_EQ(owner.codes, c.codes);
        for (int count : owner.angleCounts)
            EXPECT_EQ(count, 1);
    }
}

// Content of another block: same angle count takes all angles with this
// block's ids; a one-angle source reduces the block; other counts are
// refused.
TEST_F(Angles, CopyContentKeepsTheIdsOfTheBlock)
{
    CAngleBlock* plain = disc->Block(0);
    EXPECT_FALSE(plain->CopyContentFrom(block, false));
    ASSERT_TRUE(plain->CopyContentFrom(disc->Block(2), false));
    EXPECT_EQ(Describe(disc->Domain()), "[1:18-23,2v][2:6-11,2v 3:12-17,2v][4:18-23,2v]");
    ASSERT_TRUE(block->CopyContentFrom(plain, false));
    EXPECT_EQ(Describe(disc->Domain()), "[1:18-23,2v][2:18-23,2v][4:18-23,2v]");
    EXPECT_EQ(pgc->GetIfoCellCount(), 3u);
}

// The PGCs that play a menu block run the chosen button's command at its
// end, and the block is hidden.
TEST_F(BlockEdit, BypassRunsTheButtonCommandAsCellCommand)
{
    EditSet set({{1, 1, 2}, {2, 1, 2}});
    ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
    Disc disc(set);
    CPgc* pgc = disc.AddPgc({{disc.Block(0), {0}}, {disc.Block(1), {0}}});
    const std::vector<BYTE> link = MakeLink(NAV_LINK_CELL, 1);
    ASSERT_TRUE(disc.Block(1)->BypassMenu(link.data(), 2));
    EXPECT_TRUE(disc.Block(1)->GetIlvu(0)->IsStock());
    ASSERT_EQ(pgc->m_cellCommands.GetCount(), 1u);
    EXPECT_EQ(pgc->GetCell(1)->m_nCellCommand, 1);
    EXPECT_EQ(pgc->GetCell(0)->m_nCellCommand, 0);
    const CNavCommand command = CNavCommand::FromBytes(DVDDOMAIN_ANY, pgc->m_cellCommands.GetCommand(0));
    EXPECT_EQ(command.GetInstruction().GetParam(0), 1);
    EXPECT_EQ(command.GetInstruction().GetParam(1), 3);
}

} // namespace
