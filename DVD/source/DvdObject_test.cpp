#include "DVD/source/DvdObject.h"

#include <gtest/gtest.h>

#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "tests/support/TestNodes.h"

using kxtest::TestNode;

TEST(DvdObject, NewNodesGetGrowingIdsAndCopiesKeepThem)
{
    TestNode first(DVDNODE_PGC, nullptr);
    TestNode second(DVDNODE_PGC, nullptr);
    EXPECT_GT(first.GetId(), 0u);
    EXPECT_GT(second.GetId(), first.GetId());

    second.SetFlags(DVDFLAG_MODIFIED | 0x40);
    TestNode copy(second, &first);
    EXPECT_EQ(copy.GetId(), second.GetId());
    EXPECT_EQ(copy.GetKind(), DVDNODE_PGC);
    EXPECT_EQ(copy.GetFlags(), second.GetFlags());
    EXPECT_EQ(copy.GetParent(), &first);

    TestNode later(DVDNODE_PGC, nullptr);
    EXPECT_GT(later.GetId(), second.GetId());
}

TEST(DvdObject, ModifiedBitIsBitThree)
{
    TestNode node(DVDNODE_PGC_CELL, nullptr);
    EXPECT_FALSE(node.IsModified());
    node.SetFlags(0x02);
    EXPECT_FALSE(node.IsModified());
    node.SetModified();
    EXPECT_EQ(node.GetFlags(), 0x0A);
    EXPECT_TRUE(node.IsModified());
    node.ClearModified();
    EXPECT_EQ(node.GetFlags(), 0x02);
}

TEST(DvdObject, BaseAnswersNoChildren)
{
    TestNode parent(DVDNODE_PGC_TABLE, nullptr);
    TestNode stranger(DVDNODE_PGC, nullptr);
    EXPECT_EQ(parent.GetChildIndex(&stranger), -1);
    EXPECT_EQ(parent.CDvdObject::GetChildIndex(&stranger), -1);
    EXPECT_EQ(parent.GetChildCount(), 0u);
    EXPECT_EQ(parent.GetChild(0), nullptr);
    EXPECT_TRUE(parent.GetChildName(0).IsEmpty());
}

namespace
{

struct DomainCase
{
    std::vector<uint8_t> kinds; // from the top down; the last is asked
    uint8_t domain;
};

} // namespace

TEST(DvdObject, DomainCodeByPlaceInTree)
{
    const DomainCase cases[] = {
        {{DVDNODE_VMG}, DVDDOMAIN_VMG_MENU},
        {{DVDNODE_DVD, DVDNODE_VMG, DVDNODE_VMG_TITLES}, DVDDOMAIN_VMG_MENU},
        {{DVDNODE_DVD, DVDNODE_VMG, DVDNODE_LANGUAGE_UNITS}, DVDDOMAIN_VMG_MENU},
        {{DVDNODE_DVD, DVDNODE_VTS, DVDNODE_LANGUAGE_UNITS}, DVDDOMAIN_VTS_MENU},
        {{DVDNODE_VTS, DVDNODE_VTS_TITLES}, DVDDOMAIN_TITLE},
        {{DVDNODE_VTS, DVDNODE_VTS_TITLES, DVDNODE_VTS_TITLE}, DVDDOMAIN_TITLE},
        {{DVDNODE_VTS, DVDNODE_VTS_TITLES, DVDNODE_VTS_TITLE, DVDNODE_PGC_BLOCK_LIST}, DVDDOMAIN_TITLE},
        // A button sits below its segment, which sits in a block of the
        // domain: the command-group bit is added once.
        {{DVDNODE_VMG, DVDNODE_ANGLE_BLOCK_LIST, DVDNODE_ANGLE_BLOCK, DVDNODE_VOB_CELL, DVDNODE_BUTTON_SEGMENT},
         DVDDOMAIN_VMG_MENU + DVDDOMAIN_COMMAND_GROUP},
        {{DVDNODE_VMG, DVDNODE_ANGLE_BLOCK_LIST, DVDNODE_ANGLE_BLOCK, DVDNODE_VOB_CELL, DVDNODE_BUTTON_SEGMENT,
          DVDNODE_BUTTON},
         DVDDOMAIN_VMG_MENU + DVDDOMAIN_COMMAND_GROUP},
        // Outside any domain.
        {{DVDNODE_DVD}, DVDDOMAIN_ANY},
        {{DVDNODE_DVD, DVDNODE_VTS}, DVDDOMAIN_ANY},
        {{DVDNODE_VOB_CELL}, DVDDOMAIN_ANY},
        {{DVDNODE_BUTTON_SEGMENT, DVDNODE_BUTTON}, DVDDOMAIN_ANY},
    };
    for (const DomainCase& c : cases)
    {
        TestNode root(c.kinds.front(), nullptr);
        TestNode* node = &root;
        for (size_t i = 1; i < c.kinds.size(); ++i)
            node = &node->Add(c.kinds[i]);
        EXPECT_EQ(node->GetDomainCode(), c.domain) << "depth " << c.kinds.size() << " kind " << int(c.kinds.back());
    }
}

TEST(DvdObject, DomainCodeOfProgramChainsAndCommandTables)
{
    CDvd dvd;
    CVts* vts = dvd.GetVts(0);
    CPgcTable titles(0, vts);
    CPgc* title = new CPgc(0, &titles);
    titles.AddPgc(title);
    CLanguageUnits vmgUnits(&dvd.GetVmg());
    CLanguageUnit* vmgUnit = vmgUnits.AddUnit();
    CPgc* vmgMenu = new CPgc(1, vmgUnit);
    vmgUnit->AddPgc(vmgMenu);
    CLanguageUnits vtsUnits(vts);
    CLanguageUnit* vtsUnit = vtsUnits.AddUnit();
    CPgc* vtsMenu = new CPgc(1, vtsUnit);
    vtsUnit->AddPgc(vtsMenu);
    CPgc firstPlay(0, &dvd.GetVmg());

    const struct
    {
        const CDvdObject* node;
        uint8_t domain;
    } cases[] = {
        {&titles, DVDDOMAIN_TITLE},
        {title, DVDDOMAIN_TITLE},
        {&title->m_preCommands, DVDDOMAIN_TITLE},
        {&title->m_postCommands, DVDDOMAIN_TITLE},
        {&title->m_cellCommands, DVDDOMAIN_TITLE + DVDDOMAIN_COMMAND_GROUP},
        {&title->m_blockList, DVDDOMAIN_TITLE},
        {&vmgUnits, DVDDOMAIN_VMG_MENU},
        {vmgUnit, DVDDOMAIN_VMG_MENU},
        {vmgMenu, DVDDOMAIN_VMG_MENU},
        {&vmgMenu->m_cellCommands, DVDDOMAIN_VMG_MENU + DVDDOMAIN_COMMAND_GROUP},
        {&vtsUnits, DVDDOMAIN_VTS_MENU},
        {vtsUnit, DVDDOMAIN_VTS_MENU},
        {vtsMenu, DVDDOMAIN_VTS_MENU},
        {&vtsMenu->m_postCommands, DVDDOMAIN_VTS_MENU},
        {&vtsMenu->m_cellCommands, DVDDOMAIN_VTS_MENU + DVDDOMAIN_COMMAND_GROUP},
        {&firstPlay, DVDDOMAIN_FIRST_PLAY},
        {&firstPlay.m_preCommands, DVDDOMAIN_FIRST_PLAY},
        {&firstPlay.m_cellCommands, DVDDOMAIN_FIRST_PLAY + DVDDOMAIN_COMMAND_GROUP},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.node->GetDomainCode(), c.domain) << "kind " << int(c.node->GetKind()) << " want " << int(c.domain);
    }
}

TEST(DvdObject, DomainCodeOfVobDomains)
{
    CDvd dvd;
    const CVts& vts = *dvd.GetVts(0);
    EXPECT_EQ(dvd.GetVmg().GetMenuDomain().GetDomainCode(), DVDDOMAIN_VMG_MENU);
    EXPECT_EQ(vts.GetMenuDomain().GetDomainCode(), DVDDOMAIN_VTS_MENU);
    EXPECT_EQ(vts.GetTitleDomain().GetDomainCode(), DVDDOMAIN_TITLE);
}

TEST(DvdObject, DiscAndDomainOwnerAreFoundGoingUp)
{
    CDvd dvd;
    CVts* vts = dvd.GetVts(0);
    TestNode table(DVDNODE_PGC_TABLE, vts);
    TestNode& pgc = table.Add(DVDNODE_PGC);
    EXPECT_EQ(pgc.GetDvd(), &dvd);
    EXPECT_EQ(pgc.GetDomainOwner(), vts);
    EXPECT_EQ(dvd.GetVmg().GetDomainOwner(), &dvd.GetVmg());
    EXPECT_EQ(dvd.GetDomainOwner(), &dvd);
    EXPECT_TRUE(pgc.CanEdit());

    TestNode loose(DVDNODE_PGC, nullptr);
    EXPECT_EQ(loose.GetDvd(), nullptr);
    EXPECT_EQ(loose.GetDomainOwner(), nullptr);
    EXPECT_FALSE(loose.CanEdit());
}

TEST(DvdObject, IsInSubtreeFollowsTheHeldNodeUp)
{
    TestNode root(DVDNODE_VTS, nullptr);
    TestNode& table = root.Add(DVDNODE_PGC_TABLE);
    TestNode& pgc = table.Add(DVDNODE_PGC);
    TestNode& other = root.Add(DVDNODE_VTS_TITLES);
    CDvdChange change;
    change.pNode = &pgc;
    EXPECT_TRUE(CDvdObject::IsInSubtree(change, &pgc));
    EXPECT_TRUE(CDvdObject::IsInSubtree(change, &table));
    EXPECT_TRUE(CDvdObject::IsInSubtree(change, &root));
    EXPECT_FALSE(CDvdObject::IsInSubtree(change, &other));
    change.pNode = nullptr;
    EXPECT_FALSE(CDvdObject::IsInSubtree(change, &root));
}

TEST(DvdObject, ObjectArrayDeletesNodesItDropsOrClears)
{
    int destroyed = 0;
    CDvdObjectArray<CDvdObject> nodes;
    for (int i = 0; i < 4; ++i)
    {
        auto* node = new TestNode(DVDNODE_PGC, nullptr);
        node->destroyed = &destroyed;
        nodes.Add(node);
    }
    nodes.SetSize(3);
    EXPECT_EQ(destroyed, 1);
    nodes.SetSize(2, true);
    EXPECT_EQ(destroyed, 4);
    EXPECT_EQ(nodes.GetSize(), 2u);
    EXPECT_EQ(nodes[0], nullptr);
    EXPECT_EQ(nodes[1], nullptr);

    auto* last = new TestNode(DVDNODE_PGC, nullptr);
    last->destroyed = &destroyed;
    nodes.SetAt(0, last);
    nodes.SetSize(0);
    EXPECT_EQ(destroyed, 5);
}

TEST(DvdObject, ReferencesCompareEveryWord)
{
    TestNode node(DVDNODE_PGC, nullptr);
    const CDvdReference ref(&node, 2, 7);
    EXPECT_EQ(ref, CDvdReference(&node, 2, 7));
    EXPECT_NE(ref, CDvdReference(&node, 3, 7));
    EXPECT_NE(ref, CDvdReference(&node, 2, 8));
    EXPECT_NE(ref, CDvdReference(nullptr, 2, 7));
    CDvdReference other = ref;
    other.nExtra = 1;
    EXPECT_NE(ref, other);
    EXPECT_EQ(ref.nExtra, 0u);
}
