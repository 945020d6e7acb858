// The block and cell edits on fixture discs held in a revision list, as the
// document holds them: each command that runs makes one revision with its
// history text and path, does what its engine operation does, and undo
// brings the state before back; a command whose check fails sends nothing.
#include "DvdGui/core/BlockEdits.h"
#include "DVD/source/MultiAngleDiscTestSupport.h"
#include "DVD/source/NodePath.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DVD/source/button.h"
#include "DvdGui/core/RevisionList.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

// The document's part: a revision per begin notice, and what was noticed.
class Recorder : public CDvdObserver
{
public:
    void OnChange(const CDvdChange& change) override
    {
        changes.push_back(change);
        if (change.nKind == DVDCHANGE_ACTION)
            list->BeginAction(change, 10);
    }
    CRevisionList* list = nullptr;
    std::vector<CDvdChange> changes;
};

struct Project
{
    Project() : list(&recorder) { recorder.list = &list; }
    bool Import(const std::string& folder)
    {
        kxtest::RecordingLog log;
        return list.GetCurrentDvd().Read(log, folder.c_str(), nullptr);
    }
    CDvd& Dvd() { return list.GetCurrentDvd(); }
    CAngleBlockList& Titles() { return Dvd().GetVts(0)->GetTitleDomain(); }
    CAngleBlock* Block(uint32_t n) { return Titles().GetBlock(n); }
    std::vector<CAngleBlock*> Blocks(std::initializer_list<uint32_t> indexes)
    {
        std::vector<CAngleBlock*> blocks;
        for (uint32_t n : indexes)
            blocks.push_back(Block(n));
        return blocks;
    }
    std::vector<CAngleBlock*> AllBlocks()
    {
        std::vector<CAngleBlock*> blocks;
        for (uint32_t n = 0; n < Titles().GetBlockCount(); ++n)
            blocks.push_back(Block(n));
        return blocks;
    }
    Recorder recorder;
    CRevisionList list;
};

bool Hidden(CAngleBlock* pBlock)
{
    return pBlock->GetIlvu(0)->IsStock();
}

class BlockEditsTest : public ::testing::Test
{
protected:
    // the blank cells that hidden blocks show, as the program makes them
    static void SetUpTestSuite() { CreateStockCells(); }
    void TearDown() override { PurgeUnusedVobData(); }
};

// Each command once on a fresh import of pal1: one begin and one end notice
// for the node named, the revision described by the text and the path, the
// effect, and undo back to the state before.
TEST_F(BlockEditsTest, EachCommandMakesOneRevision)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    struct Case
    {
        const char* text;
        // Runs the command; answers the node of its notices and the node of
        // its path.
        std::function<bool(Project&, CDvdObject*& node, CDvdObject*& pathNode)> run;
        std::function<bool(Project&)> effect;
    };
    const Case cases[] = {
        {"hide block(s)",
         [](Project& p, CDvdObject*& node, CDvdObject*& path)
         {
             node = path = &p.Titles();
             return HideSelectedBlocks(p.Blocks({0, 1, 2}));
         },
         [](Project& p) { return Hidden(p.Block(0)) && Hidden(p.Block(1)) && Hidden(p.Block(2)); }},
        {"hide blocks before",
         [](Project& p, CDvdObject*& node, CDvdObject*& path)
         {
             node = p.Dvd().GetVts(0);
             path = p.Block(2);
             return HideBlocksBefore(p.AllBlocks(), 2);
         },
         [](Project& p) { return Hidden(p.Block(0)) && Hidden(p.Block(1)) && !Hidden(p.Block(2)); }},
        {"hide blocks after",
         [](Project& p, CDvdObject*& node, CDvdObject*& path)
         {
             node = p.Dvd().GetVts(0);
             path = p.Block(0);
             return HideBlocksAfter(p.AllBlocks(), 0);
         },
         [](Project& p) { return !Hidden(p.Block(0)) && Hidden(p.Block(1)) && Hidden(p.Block(2)); }},
        {"hide block",
         [](Project& p, CDvdObject*& node, CDvdObject*& path)
         {
             node = path = p.Block(1);
             return HideBlock(p.Block(1));
         },
         [](Project& p) { return !Hidden(p.Block(0)) && Hidden(p.Block(1)); }},
        {"convert selected block(s) to still",
         [](Project& p, CDvdObject*& node, CDvdObject*& path)
         {
             node = path = &p.Titles();
             return ConvertSelectedBlocksToStill(p.Blocks({1}));
         },
         [](Project& p) { return p.Block(1)->GetIlvu(0)->HasStillSource(); }},
        {"cut from here",
         [](Project& p, CDvdObject*& node, CDvdObject*& path)
         {
             node = path = p.Block(0)->GetIlvu(0);
             return CutFromHere(p.Block(0)->GetIlvu(0), 1);
         },
         [](Project& p) { return p.Block(0)->GetIlvu(0)->GetVobuCount() == 2; }},
        {"cut to here",
         [](Project& p, CDvdObject*& node, CDvdObject*& path)
         {
             node = path = p.Block(0)->GetIlvu(0);
             return CutToHere(p.Block(0)->GetIlvu(0), 1);
         },
         [](Project& p)
         {
             return p.Block(0)->GetIlvu(0)->GetVobuCount() + 1 ==
                    p.list[0]->m_dvd.GetVts(0)->GetTitleDomain().GetBlock(0)->GetIlvu(0)->GetVobuCount();
         }},
        {"cut cell",
         [](Project& p, CDvdObject*& node, CDvdObject*& path)
         {
             node = p.Dvd().GetVts(0);
             path = p.Block(0)->GetIlvu(0);
             return SplitHere(p.Block(0)->GetIlvu(0), 1);
         },
         [](Project& p)
         { return p.Titles().GetBlockCount() == p.list[0]->m_dvd.GetVts(0)->GetTitleDomain().GetBlockCount() + 1; }},
        {"convert to still",
         [](Project& p, CDvdObject*& node, CDvdObject*& path)
         {
             node = path = p.Block(0)->GetIlvu(0);
             return ConvertToStillHere(p.Block(0)->GetIlvu(0), 1);
         },
         [](Project& p) { return p.Block(0)->GetIlvu(0)->HasStillSource(); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        Project project;
        ASSERT_TRUE(project.Import(kxtest::FixturePath("pal1", "VIDEO_TS")));
        ASSERT_GE(project.Titles().GetBlockCount(), 3u);
        ASSERT_GE(project.Block(0)->GetIlvu(0)->GetVobuCount(), 3u);
        CDvdObject* pNode = nullptr;
        CDvdObject* pPathNode = nullptr;
        ASSERT_TRUE(c.run(project, pNode, pPathNode));
        const std::vector<CDvdChange>& changes = project.recorder.changes;
        ASSERT_EQ(changes.size(), 2u);
        EXPECT_EQ(changes[0].nKind, DVDCHANGE_ACTION);
        EXPECT_EQ(changes[0].pNode, pNode);
        EXPECT_STREQ(changes[0].strAction, c.text);
        EXPECT_STREQ(changes[0].strPath, GetPath(pPathNode));
        EXPECT_EQ(changes[1].nKind, DVDCHANGE_NODE_CHANGED);
        EXPECT_EQ(changes[1].pNode, pNode);
        ASSERT_EQ(project.list.GetSize(), 2);
        EXPECT_STREQ(project.list.GetCurrent().m_strDescription, c.text);
        EXPECT_TRUE(c.effect(project));
        ASSERT_TRUE(project.list.Undo());
        EXPECT_FALSE(c.effect(project));
    }
}

// Restore changes only the blocks that can be restored, in one revision,
// and makes none when no selected block can be.
TEST_F(BlockEditsTest, RestoreRunsOnlyForRestorableBlocks)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    Project project;
    ASSERT_TRUE(project.Import(kxtest::FixturePath("pal1", "VIDEO_TS")));
    ASSERT_FALSE(project.Block(0)->CanRestore());
    EXPECT_FALSE(RestoreSelectedBlocks(project.Blocks({0, 1})));
    EXPECT_FALSE(RestoreBlock(project.Block(0)));
    EXPECT_TRUE(project.recorder.changes.empty());
    EXPECT_EQ(project.list.GetSize(), 1);

    ASSERT_TRUE(HideBlock(project.Block(1)));
    project.recorder.changes.clear();
    ASSERT_TRUE(RestoreSelectedBlocks(project.Blocks({0, 1})));
    ASSERT_EQ(project.recorder.changes.size(), 2u);
    EXPECT_STREQ(project.recorder.changes[0].strAction, "restore block(s)");
    EXPECT_FALSE(Hidden(project.Block(1)));
    EXPECT_EQ(project.list.GetSize(), 3);

    ASSERT_TRUE(HideBlock(project.Block(2)));
    project.recorder.changes.clear();
    ASSERT_TRUE(RestoreBlock(project.Block(2)));
    ASSERT_EQ(project.recorder.changes.size(), 2u);
    EXPECT_STREQ(project.recorder.changes[0].strAction, "restore block");
    EXPECT_EQ(project.recorder.changes[0].pNode, project.Block(2));
    EXPECT_FALSE(Hidden(project.Block(2)));
}

// Commands whose target does not fit send nothing: tile ranges out of
// range, blocks outside any disc, a disc that allows no operations.
TEST_F(BlockEditsTest, FailedChecksSendNothing)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    Project project;
    ASSERT_TRUE(project.Import(kxtest::FixturePath("pal1", "VIDEO_TS")));
    const std::vector<CAngleBlock*> all = project.AllBlocks();
    const int nLast = int(all.size()) - 1;
    EXPECT_FALSE(HideBlocksBefore(all, 0));
    EXPECT_FALSE(HideBlocksBefore(all, nLast + 1));
    EXPECT_FALSE(HideBlocksAfter(all, nLast));
    EXPECT_FALSE(HideBlocksAfter(all, -1));
    EXPECT_FALSE(HideSelectedBlocks({}));
    EXPECT_FALSE(HideBlock(nullptr));
    CVobCell* pUnit = project.Block(0)->GetIlvu(0);
    EXPECT_FALSE(HideButton(pUnit, int(pUnit->GetSegmentCount()), 0));
    EXPECT_FALSE(HideButton(pUnit, 0, 99));
    EXPECT_FALSE(BypassMenu(pUnit, 0, 99, 0));
    EXPECT_FALSE(BypassMenu(nullptr, 0, 0, 0));

    // the pristine blocks of the source set belong to no disc: the original
    // preview's copies are such blocks
    const CAngleBlockList& pristine = pUnit->GetVobData()->GetPristineBlocks();
    CAngleBlock* pLoose = pristine.GetBlock(0);
    EXPECT_FALSE(HideBlock(pLoose));
    EXPECT_FALSE(HideSelectedBlocks({pLoose}));
    EXPECT_FALSE(CutToHere(pLoose->GetIlvu(0), 1));
    EXPECT_FALSE(HideBlocksAfter({pLoose, pristine.GetBlock(1)}, 0));
    EXPECT_TRUE(project.recorder.changes.empty());
    EXPECT_FALSE(Hidden(pLoose));
    EXPECT_EQ(project.list.GetSize(), 1);
}

// A selection of the interleaved angle block and a plain block: one
// revision, and only the plain block becomes a still.
TEST_F(BlockEditsTest, ConvertToStillLeavesInterleavedBlocks)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    kxtest::MultiAngleDisc disc(2);
    ASSERT_TRUE(disc.Build()) << disc.log.Dump();
    Project project;
    ASSERT_TRUE(project.Import(disc.Folder()));
    ASSERT_EQ(project.Titles().GetBlockCount(), 3u);
    ASSERT_TRUE(project.Block(1)->IsInterleaved());
    ASSERT_FALSE(project.Block(2)->IsInterleaved());
    ASSERT_TRUE(ConvertSelectedBlocksToStill(project.Blocks({1, 2})));
    EXPECT_EQ(project.recorder.changes.size(), 2u);
    EXPECT_FALSE(project.Block(1)->GetIlvu(0)->HasStillSource());
    EXPECT_FALSE(project.Block(1)->GetIlvu(1)->HasStillSource());
    EXPECT_TRUE(project.Block(2)->GetIlvu(0)->HasStillSource());
}

// The two button commands on the VMG menu of ntscmenu (three buttons in a
// column): hiding the middle one moves its rectangle out of the way in every
// group and links its neighbours past it; the bypass hides the menu block as
// one edit of the Video Manager.
TEST_F(BlockEditsTest, ButtonCommandsOnTheMenu)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    Project project;
    ASSERT_TRUE(project.Import(kxtest::FixturePath("ntscmenu", "VIDEO_TS")));
    CAngleBlockList& menu = project.Dvd().GetVmg().GetMenuDomain();
    ASSERT_GE(menu.GetBlockCount(), 1u);
    CVobCell* pUnit = menu.GetBlock(0)->GetIlvu(0);
    ASSERT_GE(pUnit->GetSegmentCount(), 1u);
    CButtonSegment* pSegment = pUnit->GetSegment(0);
    ASSERT_EQ(pSegment->GetButtonCount(), 3u);

    ASSERT_TRUE(HideButton(pUnit, 0, 1));
    const std::vector<CDvdChange>& changes = project.recorder.changes;
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].pNode, pSegment);
    EXPECT_STREQ(changes[0].strAction, "hide button");
    EXPECT_STREQ(changes[0].strPath, GetPath(pSegment));
    ASSERT_EQ(pSegment->GetButtonCount(), 3u);
    const CDvdButton& hidden = *pSegment->GetButton(1);
    for (uint32_t g = 0; g < hidden.GetGroupCount(); ++g)
    {
        const CButtonGroupEntry& entry = hidden.GetGroup(int(g));
        EXPECT_EQ(entry.dwXStart, 1u);
        EXPECT_EQ(entry.dwYStart, 1u);
        EXPECT_EQ(entry.dwXEnd, 2u);
        EXPECT_EQ(entry.dwYEnd, 2u);
        EXPECT_EQ(pSegment->GetButton(0)->GetGroup(int(g)).neighbours[BTNDIR_DOWN], 2);
        EXPECT_EQ(pSegment->GetButton(2)->GetGroup(int(g)).neighbours[BTNDIR_UP], 0);
    }

    project.recorder.changes.clear();
    // the bypass blanks the block, which deletes the unit
    const CString unitPath = GetPath(pUnit);
    ASSERT_TRUE(BypassMenu(pUnit, 0, 0, 0));
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].pNode, &project.Dvd().GetVmg());
    EXPECT_STREQ(changes[0].strAction, "bypass menu");
    EXPECT_STREQ(changes[0].strPath, unitPath);
    EXPECT_EQ(changes[1].pNode, &project.Dvd().GetVmg());
    EXPECT_TRUE(Hidden(menu.GetBlock(0)));
    EXPECT_EQ(project.list.GetSize(), 3);
}

} // namespace
