#include "DVD/source/RefCollector.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

namespace
{
// A title set reduced to what the collector asks of it: a VOB domain and a
// table of PGCs, with the notices going down to the PGCs.
class TitleSet : public CDvdObject
{
public:
    TitleSet() : CDvdObject(DVDNODE_VTS, nullptr), domain(this), table(0, this) {}

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    bool Validate(CDvdValidator&, CDvdValidationMessages&) override { return false; }
    void Invalidate() override {}
    void Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b) override
    {
        for (uint32_t i = 0; i < table.GetPgcCount(); ++i)
            table.GetPgc(i)->Notify(pSender, nCode, a, b);
    }

    CAngleBlock* AddBlock()
    {
        CAngleBlock* pBlock = new CAngleBlock(nullptr, nullptr, &domain);
        domain.AddBlock(pBlock);
        return pBlock;
    }

    // A PGC whose cells play the given blocks in order.
    CPgc* AddPgc(const std::vector<CAngleBlock*>& blocks)
    {
        CPgc* pPgc = new CPgc(0, nullptr);
        table.AddPgc(pPgc);
        CGrowArray<BYTE> angles;
        angles.Add(0);
        for (CAngleBlock* pBlock : blocks)
            pPgc->AddCell(new CPgcCell(1, 0, 0, 0, pBlock, angles, pPgc));
        return pPgc;
    }

    CAngleBlockList domain;
    CPgcTable table;
};

typedef std::vector<int> Links; // the cells the buttons of a block link to

// Buttons stand in as Link Cell commands per block; the retargeting is the
// real one.
class TestCollector : public CReferenceCollector
{
public:
    explicit TestCollector(TitleSet& vts) : CReferenceCollector(RETARGET_IFO_CELL), m_vts(vts) {}

    void SetLinks(const CAngleBlock* pBlock, const Links& links)
    {
        std::vector<std::array<BYTE, 8>>& commands = m_buttons[pBlock];
        commands.clear();
        for (int n : links)
        {
            CNavCommand command;
            command.SetType(NAV_TYPE_LINK);
            command.GetInstruction().SetCode(NAV_LINK_CELL);
            command.GetInstruction().SetParam1(WORD(n));
            std::array<BYTE, 8> bytes;
            command.Encode(bytes.data());
            commands.push_back(bytes);
        }
    }

    Links GetLinks(const CAngleBlock* pBlock) const
    {
        Links links;
        auto it = m_buttons.find(pBlock);
        if (it == m_buttons.end())
            return links;
        for (const std::array<BYTE, 8>& bytes : it->second)
            links.push_back(CNavCommand::FromBytes(DVDDOMAIN_ANY, bytes.data()).GetInstruction().GetParam1());
        return links;
    }

    int nRetargets = 0;

protected:
    bool ButtonsReferTo(const CAngleBlock* pBlock, BYTE nKind, int nFirst, int nLast) const override
    {
        EXPECT_EQ(RETARGET_IFO_CELL, nKind);
        auto it = m_buttons.find(pBlock);
        if (it == m_buttons.end())
            return false;
        for (const std::array<BYTE, 8>& bytes : it->second)
        {
            if (CommandRefersTo(bytes.data(), nKind, nFirst, nLast))
                return true;
        }
        return false;
    }

    bool RetargetButtonCommands(CAngleBlock* pBlock, BYTE nKind, int nStart, int nDelta, int nLimit) override
    {
        nRetargets++;
        bool bChanged = false;
        for (std::array<BYTE, 8>& bytes : m_buttons[pBlock])
            bChanged |= RetargetCommand(bytes.data(), nKind, nStart, nDelta, nLimit);
        return bChanged;
    }

    CAngleBlock* DuplicateBlock(CPgcCell* pCell) override
    {
        CAngleBlock* pOld = pCell->GetBlock();
        CAngleBlock* pCopy = new CAngleBlock(nullptr, nullptr, &m_vts.domain);
        m_vts.domain.InsertAfter(pOld, pCopy);
        m_buttons[pCopy] = m_buttons[pOld];
        pCell->SetBlock(pCopy);
        return pCopy;
    }

private:
    TitleSet& m_vts;
    std::map<const CAngleBlock*, std::vector<std::array<BYTE, 8>>> m_buttons;
};

void RunEdit(TestCollector& collector)
{
    collector.Collect();
    collector.Resolve(nullptr, nullptr);
    collector.Finish();
}
} // namespace

// A block played by one PGC whose cells from 3 on move up by one (a cell was
// inserted before them).
TEST(ReferenceCollector, ShiftsLinksIntoTheMovedRangeOnly)
{
    TitleSet vts;
    CAngleBlock* pMenu = vts.AddBlock();
    CAngleBlock* pOther = vts.AddBlock();
    CPgc* pPgc = vts.AddPgc({pMenu, pOther, pOther});
    TestCollector collector(vts);
    collector.SetLinks(pMenu, {1, 2, 3, 5});

    collector.AddReference(pPgc->GetCell(0), 3, 10, 1);
    collector.Collect();
    EXPECT_TRUE(collector.IsCollected());
    EXPECT_FALSE(collector.HasOverlaps(pMenu));
    collector.Resolve(nullptr, nullptr);
    collector.Finish();

    EXPECT_TRUE(collector.IsFinished());
    EXPECT_EQ((Links{1, 2, 4, 6}), collector.GetLinks(pMenu));
    EXPECT_EQ(2u, vts.domain.GetBlockCount());
}

// The same block in two PGCs: one moves its cells from 3 on by one, the
// other does not and reported nothing.
TEST(ReferenceCollector, SharedBlockWithDifferentMovesIsDuplicated)
{
    TitleSet vts;
    CAngleBlock* pMenu = vts.AddBlock();
    CAngleBlock* pOther = vts.AddBlock();
    CPgc* pMoved = vts.AddPgc({pMenu, pOther, pOther, pOther});
    CPgc* pStill = vts.AddPgc({pOther, pMenu});
    TestCollector collector(vts);
    collector.SetLinks(pMenu, {1, 4});

    collector.AddReference(pMoved->GetCell(0), 3, 10, 1);
    collector.Collect();

    // The PGC that reported nothing is known to play the block, with nothing
    // of it moving.
    const CReferenceList* pList = collector.FindList(pMenu);
    ASSERT_NE(nullptr, pList);
    ASSERT_EQ(2u, pList->records.GetSize());
    EXPECT_EQ(pStill->GetCell(1), pList->records[1]->pCell);
    EXPECT_EQ(0, pList->records[1]->nShift);

    EXPECT_TRUE(collector.HasOverlaps(pMenu));
    EXPECT_TRUE(collector.HasOverlaps(nullptr));
    CGrowArray<CAngleBlock*> newBlocks;
    collector.Resolve(pMenu, &newBlocks);
    ASSERT_EQ(1, newBlocks.GetSize());
    CAngleBlock* pCopy = newBlocks[0];
    EXPECT_EQ(pCopy, pStill->GetCell(1)->GetBlock());
    EXPECT_EQ(pMenu, pMoved->GetCell(0)->GetBlock());
    EXPECT_EQ(1, vts.domain.GetBlockIndex(pCopy));
    EXPECT_EQ(1u, pList->records.GetSize());
    EXPECT_FALSE(collector.HasOverlaps(nullptr));

    collector.Finish();
    EXPECT_EQ((Links{1, 5}), collector.GetLinks(pMenu));
    EXPECT_EQ((Links{1, 4}), collector.GetLinks(pCopy));
}

// Without a link into the moved cells both PGCs can keep sharing the block.
TEST(ReferenceCollector, SharedBlockWithoutLinksIntoTheMoveStaysShared)
{
    TitleSet vts;
    CAngleBlock* pMenu = vts.AddBlock();
    CPgc* pMoved = vts.AddPgc({pMenu, pMenu, pMenu});
    CPgc* pStill = vts.AddPgc({pMenu});
    TestCollector collector(vts);
    collector.SetLinks(pMenu, {1, 2});

    collector.AddReference(pMoved->GetCell(0), 3, 10, 1);
    collector.Collect();
    EXPECT_FALSE(collector.HasOverlaps(nullptr));
    CGrowArray<CAngleBlock*> newBlocks;
    collector.Resolve(nullptr, &newBlocks);
    collector.Finish();

    EXPECT_EQ(0, newBlocks.GetSize());
    EXPECT_EQ(pMenu, pStill->GetCell(0)->GetBlock());
    EXPECT_EQ((Links{1, 2}), collector.GetLinks(pMenu));
}

TEST(ReferenceCollector, CommonCellsOfEqualMovesShiftOnce)
{
    TitleSet vts;
    CAngleBlock* pMenu = vts.AddBlock();
    CPgc* pPgc = vts.AddPgc({pMenu, pMenu});
    TestCollector collector(vts);
    collector.SetLinks(pMenu, {2, 3, 5, 6});

    collector.AddReference(pPgc->GetCell(0), 3, 6, 1);
    collector.AddReference(pPgc->GetCell(1), 5, 9, 1);
    collector.Collect();
    EXPECT_FALSE(collector.HasOverlaps(pMenu)); // equal moves never conflict
    collector.Resolve(nullptr, nullptr);
    collector.Finish();

    EXPECT_EQ((Links{2, 4, 6, 7}), collector.GetLinks(pMenu));
}

// An earlier record with the same move cuts a later range at either end or
// splits it; what is left is shifted piece by piece.
TEST(ReferenceCollector, EarlierEqualMovesSplitALaterRange)
{
    TitleSet vts;
    CAngleBlock* pMenu = vts.AddBlock();
    CPgc* pPgc = vts.AddPgc({pMenu, pMenu, pMenu});
    TestCollector collector(vts);
    // Nothing links to the inner range, so no shift changes the correction.
    collector.SetLinks(pMenu, {2, 3, 8, 9});

    collector.AddReference(pPgc->GetCell(0), 5, 6, 1);
    collector.AddReference(pPgc->GetCell(1), 2, 9, 1);
    RunEdit(collector);

    // The second record shifts 2..4 and 7..9, each link once.
    EXPECT_EQ((Links{3, 4, 9, 10}), collector.GetLinks(pMenu));
    EXPECT_EQ(3, collector.nRetargets);
}

TEST(ReferenceCollector, RecordsWithoutMoveChangeNothing)
{
    TitleSet vts;
    CAngleBlock* pMenu = vts.AddBlock();
    CPgc* pPgc = vts.AddPgc({pMenu});
    TestCollector collector(vts);
    collector.SetLinks(pMenu, {1, 2, 3});

    collector.AddReference(pPgc->GetCell(0), 1, 10, 0);
    collector.AddReference(pPgc->GetCell(0), 2, 1, 5); // empty range
    RunEdit(collector);

    EXPECT_EQ((Links{1, 2, 3}), collector.GetLinks(pMenu));
    EXPECT_EQ(0, collector.nRetargets);
}

// Each block keeps its own list, keyed by the block its cell plays.
TEST(ReferenceCollector, ListsPerBlock)
{
    TitleSet vts;
    CAngleBlock* pFirst = vts.AddBlock();
    CAngleBlock* pSecond = vts.AddBlock();
    CPgc* pPgc = vts.AddPgc({pFirst, pSecond, pFirst});
    TestCollector collector(vts);
    collector.SetLinks(pFirst, {4});
    collector.SetLinks(pSecond, {4});

    collector.AddReference(pPgc->GetCell(0), 3, 10, 1);
    collector.AddReference(pPgc->GetCell(1), 3, 10, -1);
    collector.AddReference(pPgc->GetCell(2), 3, 10, 1);
    ASSERT_EQ(2u, collector.GetListCount());
    EXPECT_EQ(pFirst, collector.GetList(0).pBlock);
    EXPECT_EQ(2u, collector.GetList(0).records.GetSize());
    EXPECT_EQ(pSecond, collector.GetList(1).pBlock);
    RunEdit(collector);

    EXPECT_EQ((Links{5}), collector.GetLinks(pFirst));
    EXPECT_EQ((Links{3}), collector.GetLinks(pSecond));
}

// ---- With the notices of the program chains ---------------------------------------------

namespace
{
// Splitting block pSplit: the PGCs that play it report their moved cells.
void RunSplit(TitleSet& vts, TestCollector& collector, CAngleBlock* pSplit)
{
    vts.Notify(pSplit, DVDNOTICE_COLLECT_SPLIT_REFS, reinterpret_cast<intptr_t>(&collector), 0);
    RunEdit(collector);
}
} // namespace

// The menu plays as cell 1 of a PGC whose cell 2 is split: the cells after
// it move up by one, and the menu's links follow them.
TEST(ReferenceCollector, SplitInOnePgcMovesTheLinksAfterIt)
{
    TitleSet vts;
    CAngleBlock* pMenu = vts.AddBlock();
    CAngleBlock* pSplit = vts.AddBlock();
    CAngleBlock* pOther = vts.AddBlock();
    vts.AddPgc({pMenu, pSplit, pOther, pOther});
    TestCollector collector(vts);
    collector.SetLinks(pMenu, {1, 2, 3, 4});

    RunSplit(vts, collector, pSplit);

    EXPECT_EQ((Links{1, 2, 4, 5}), collector.GetLinks(pMenu));
    EXPECT_EQ(3u, vts.domain.GetBlockCount());
}

// The menu also plays in a PGC without the split block: that PGC gets a copy
// of the menu whose links stay.
TEST(ReferenceCollector, SplitSeenByOnePgcOfTwoDuplicatesTheMenu)
{
    TitleSet vts;
    CAngleBlock* pMenu = vts.AddBlock();
    CAngleBlock* pSplit = vts.AddBlock();
    CAngleBlock* pOther = vts.AddBlock();
    CPgc* pSplitting = vts.AddPgc({pMenu, pSplit, pOther, pOther});
    CPgc* pUnchanged = vts.AddPgc({pMenu, pOther, pOther, pOther});
    TestCollector collector(vts);
    collector.SetLinks(pMenu, {1, 4});

    RunSplit(vts, collector, pSplit);

    CAngleBlock* pCopy = pUnchanged->GetCell(0)->GetBlock();
    EXPECT_NE(pMenu, pCopy);
    EXPECT_EQ(pMenu, pSplitting->GetCell(0)->GetBlock());
    EXPECT_EQ(4u, vts.domain.GetBlockCount());
    EXPECT_EQ((Links{1, 5}), collector.GetLinks(pMenu));
    EXPECT_EQ((Links{1, 4}), collector.GetLinks(pCopy));
}

// Several entries of one PGC play the block that changes: every entry after
// the first of them moves by the sum of the changes before it. Each link
// must follow its own cell, also past the second changed entry and where
// cells move into numbers that other links held before the edit.
struct SeveralEntriesCase
{
    const char* name;
    int nAngles;    // IFO cells of each entry playing the changed block
    int nNotice;    // the collecting notice of the edit
    int nNewAngles; // the angle count after the edit (angle notices)
    Links before;
    Links after;
};

class ReferenceCollectorSeveralEntries : public ::testing::TestWithParam<SeveralEntriesCase>
{
};

TEST_P(ReferenceCollectorSeveralEntries, EveryLinkFollowsItsCell)
{
    const SeveralEntriesCase& c = GetParam();
    TitleSet vts;
    CAngleBlock* pMenu = vts.AddBlock();
    CAngleBlock* pChanged = vts.AddBlock();
    CAngleBlock* pOther = vts.AddBlock();
    // Entries: menu, changed, other, changed, other, other.
    CPgc* pPgc = vts.AddPgc({pMenu});
    CGrowArray<BYTE> angles;
    for (int a = 0; a < c.nAngles; ++a)
        angles.Add(BYTE(a));
    CGrowArray<BYTE> one;
    one.Add(0);
    for (CAngleBlock* pBlock : {pChanged, pOther, pChanged, pOther, pOther})
        pPgc->AddCell(new CPgcCell(1, 0, 0, 0, pBlock, pBlock == pChanged ? angles : one, pPgc));
    TestCollector collector(vts);
    collector.SetLinks(pMenu, c.before);

    if (c.nNotice == DVDNOTICE_COLLECT_SPLIT_REFS)
        vts.Notify(pChanged, c.nNotice, reinterpret_cast<intptr_t>(&collector), 0);
    else
        vts.Notify(pChanged, c.nNotice, c.nNewAngles, reinterpret_cast<intptr_t>(&collector));
    RunEdit(collector);

    EXPECT_EQ(c.after, collector.GetLinks(pMenu));
}

// Split: entries 3.. move by 1, entries 5.. by 2 (IFO cells = entries).
// Angles 2 -> 1: the cells 3 and 6 go (their links are emptied), 4..5 move
// down by 1, 7..8 by 2. Angles 1 -> 3: 3..4 move up by 2, 5..6 by 4.
INSTANTIATE_TEST_SUITE_P(
    Edits, ReferenceCollectorSeveralEntries,
    ::testing::Values(
        SeveralEntriesCase{"Split", 1, DVDNOTICE_COLLECT_SPLIT_REFS, 0, {1, 2, 3, 4, 5, 6}, {1, 2, 4, 5, 7, 8}},
        SeveralEntriesCase{
            "FewerAngles", 2, DVDNOTICE_COLLECT_ANGLE_REFS, 1, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 0, 3, 4, 0, 5, 6}},
        SeveralEntriesCase{"MoreAngles", 1, DVDNOTICE_COLLECT_ANGLE_REFS, 3, {1, 2, 3, 4, 5, 6}, {1, 2, 5, 6, 9, 10}}),
    [](const ::testing::TestParamInfo<SeveralEntriesCase>& info) { return info.param.name; });
