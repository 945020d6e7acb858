#include "DVD/source/NodePath.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DVD/source/AngleBlock.h"
#include "DVD/source/CellAddress.h"
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "tests/support/TestNodes.h"

using kxtest::TestNode;

namespace
{

// A disc of two title sets. Nodes below its VMG and title sets are test
// nodes that own their children, so their numbers can be set up freely.
struct Tree
{
    Tree()
    {
        dvd.AddVtsCopy(*dvd.GetVts(0));
        vmg = &dvd.GetVmg();
        vts1 = dvd.GetVts(0);
        vts2 = dvd.GetVts(1);
    }
    // A node hanging from one of the disc's nodes.
    TestNode& Below(CDvdObject* parent, uint8_t kind)
    {
        below.push_back(std::make_unique<TestNode>(kind, parent));
        return *below.back();
    }
    CDvd dvd;
    CVmg* vmg;
    CVts* vts1;
    CVts* vts2;
    std::vector<std::unique_ptr<TestNode>> below;
};

// The n-th child (1-based) of a kind, with n - 1 siblings of the same kind
// before it.
TestNode& NthChild(TestNode& parent, uint8_t kind, int n)
{
    for (int i = 1; i < n; ++i)
        parent.Add(kind);
    return parent.Add(kind);
}

} // namespace

TEST(NodePath, PathsOfNodesByKind)
{
    Tree t;
    TestNode& pgcs = t.Below(t.vts2, DVDNODE_PGC_TABLE);
    TestNode& pgc4 = NthChild(pgcs, DVDNODE_PGC, 4);
    TestNode& firstPlay = t.Below(t.vmg, DVDNODE_PGC);
    TestNode& lus = t.Below(t.vmg, DVDNODE_LANGUAGE_UNITS);
    TestNode& vtsTitles = t.Below(t.vts1, DVDNODE_VTS_TITLES);
    TestNode& title3 = NthChild(vtsTitles, DVDNODE_VTS_TITLE, 3);
    TestNode& vmgTitles = t.Below(t.vmg, DVDNODE_VMG_TITLES);
    TestNode& pgcBlocks = pgc4.Add(DVDNODE_PGC_BLOCK_LIST);
    TestNode& streams = t.Below(t.vts1, DVDNODE_STREAM_SET);
    // A parent of no known kind has no path of its own.
    TestNode& segment = NthChild(t.Below(t.vts1, 0), DVDNODE_BUTTON_SEGMENT, 2);
    TestNode& button = NthChild(segment, DVDNODE_BUTTON, 3);
    TestNode& pgcElsewhere = NthChild(t.Below(t.vts1, DVDNODE_VTS_TITLES), DVDNODE_PGC, 2);
    TestNode orphanVts(DVDNODE_VTS, nullptr);

    const struct
    {
        const CDvdObject* node;
        const char* path;
    } cases[] = {
        {&t.dvd, "DVD"},
        {t.vmg, "VMG"},
        {t.vts1, "VTS 1"},
        {t.vts2, "VTS 2"},
        {&orphanVts, "VTS 0"},
        {&pgcs, "VTS 2/PGCs"},
        {&pgc4, "VTS 2/PGCs/PGC 4"},
        {&firstPlay, "VMG/First Play"},
        {&pgcElsewhere, "/PGC 2"},
        {&lus, "VMG/LUs"},
        {&vtsTitles, "VTS 1/Titles"},
        {&title3, "VTS 1/Titles/Title 3"},
        {&vmgTitles, "VMG/Titles"},
        {&pgcBlocks, "VTS 2/PGCs/PGC 4/blocks"},
        {&streams, "VTS 1/streams"},
        {&segment, "/BTN SEG 2"},
        {&button, "/BTN SEG 2/BTN 3"},
        {nullptr, ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(GetPath(c.node), c.path) << c.path;
}

CAngleBlock* AddBlock(CAngleBlockList& domain, int ilvus);

TEST(NodePath, BlocksAreNamedByTheirDomain)
{
    CDvd dvd;
    CVts& vts = *dvd.GetVts(0);
    CAngleBlock* menuBlock = AddBlock(vts.GetMenuDomain(), 1);
    AddBlock(vts.GetTitleDomain(), 1);
    CAngleBlock* movieBlock = AddBlock(vts.GetTitleDomain(), 2);
    CAngleBlock* vmgBlock = AddBlock(dvd.GetVmg().GetMenuDomain(), 1);
    EXPECT_STREQ(GetPath(&vts.GetMenuDomain()), "VTS 1/menu blocks");
    EXPECT_STREQ(GetPath(&vts.GetTitleDomain()), "VTS 1/movie blocks");
    EXPECT_STREQ(GetPath(menuBlock), "VTS 1/menu blocks/menu block 1");
    EXPECT_STREQ(GetPath(movieBlock), "VTS 1/movie blocks/movie block 2");
    EXPECT_STREQ(GetPath(movieBlock->GetIlvu(1)), "VTS 1/movie blocks/movie block 2/ILVU 2");
    EXPECT_STREQ(GetPath(vmgBlock), "VMG/menu blocks/menu block 1");
}

TEST(NodePath, PathsOfTheDiscRoot)
{
    CDvd dvd;
    dvd.AddVtsCopy(*dvd.GetVts(0));
    EXPECT_STREQ(GetPath(&dvd), "DVD");
    EXPECT_STREQ(GetPath(&dvd.GetVmg()), "VMG");
    EXPECT_STREQ(GetPath(dvd.GetVts(0)), "VTS 1");
    EXPECT_STREQ(GetPath(dvd.GetVts(1)), "VTS 2");
}

TEST(NodePath, ReferenceFieldNames)
{
    Tree t;
    TestNode& pgcs = t.Below(t.vts2, DVDNODE_PGC_TABLE);
    TestNode& pgc = NthChild(pgcs, DVDNODE_PGC, 4);
    TestNode& title = t.Below(t.vts1, DVDNODE_VTS_TITLES).Add(DVDNODE_VTS_TITLE);
    TestNode& vmgTitles = t.Below(t.vmg, DVDNODE_VMG_TITLES);
    TestNode& segment = t.Below(t.vts1, 0).Add(DVDNODE_BUTTON_SEGMENT);
    segment.Add(DVDNODE_BUTTON);
    TestNode& button = segment.Add(DVDNODE_BUTTON);

    const struct
    {
        CDvdReference ref;
        const char* name;
    } cases[] = {
        {{&pgc, 1, 0}, "VTS 2/PGCs/PGC 4:prog 1"},
        {{&pgc, 2, 0}, "VTS 2/PGCs/PGC 4:NextPgc"},
        {{&pgc, 3, 0}, "VTS 2/PGCs/PGC 4:PrevPgc"},
        {{&pgc, 4, 0}, "VTS 2/PGCs/PGC 4:GoUpPgc"},
        {{&pgc, 5, 15}, "VTS 2/PGCs/PGC 4:CLUT color 16"},
        {{&pgc, 6, 0}, "VTS 2/PGCs/PGC 4:playback mode"},
        {{&pgc, 7, 0}, "VTS 2/PGCs/PGC 4:still time"},
        {{&pgc, 8, 2}, "VTS 2/PGCs/PGC 4:audio 3"},
        {{&pgc, 9, 31}, "VTS 2/PGCs/PGC 4:subs 32"},
        {{&pgc, 10, 0}, "VTS 2/PGCs/PGC 4:category"},
        {{&pgc, 11, 0}, "VTS 2/PGCs/PGC 4:PUOPs"},
        {{&pgc, 0, 0}, "VTS 2/PGCs/PGC 4"},
        {{&pgc, 12, 0}, "VTS 2/PGCs/PGC 4"},
        {{&title, 1, 4}, "VTS 1/Titles/Title 1:chapter 5"},
        {{&vmgTitles, 1, 0}, "VMG/Titles:VMG title 1"},
        {{&vmgTitles, 2, 0}, "VMG/Titles"},
        {{&button, 1, 0}, "/BTN SEG 1/BTN 2:GRP 1: CMD"},
        {{&button, 2, 2}, "/BTN SEG 1/BTN 2:GRP 3: color table id"},
        {{&button, 3, (BTNDIR_DOWN << 8) | 1}, "/BTN SEG 1/BTN 2:GRP 2: link down"},
        {{&button, 3, (BTNDIR_LEFT << 8) | 0}, "/BTN SEG 1/BTN 2:GRP 1: link left"},
        {{&button, 3, (9 << 8) | 0}, "/BTN SEG 1/BTN 2:GRP 1: link err"},
        {{&button, 4, 0}, "/BTN SEG 1/BTN 2"},
        {{&segment, 1, 0}, "/BTN SEG 1:force select button"},
        {{&segment, 2, 0}, "/BTN SEG 1:force action button"},
        {{t.vts1, 1, 0}, "VTS 1"},
        {{&t.dvd, 0, 0}, "DVD"},
        {{nullptr, 1, 0}, ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(GetReferenceFieldName(c.ref), c.name) << c.name;
}

// A block of ILVUs with distinct ids, hanging from a domain.
CAngleBlock* AddBlock(CAngleBlockList& domain, int ilvus)
{
    CAngleBlock* block = nullptr;
    for (int i = 0; i < ilvus; ++i)
    {
        CCellAddress address;
        address.m_wVobId = 1;
        address.m_nCellId = static_cast<BYTE>(i + 1);
        auto* ilvu = new CVobCell(nullptr, address, CVobuAddressList(), nullptr);
        if (block == nullptr)
        {
            block = new CAngleBlock(ilvu, nullptr, &domain);
            domain.AddBlock(block);
        }
        else
        {
            EXPECT_TRUE(block->AddCell(ilvu, nullptr));
        }
        ilvu->SetParent(block);
    }
    return block;
}

namespace
{

CPgcCell* AddCell(CPgc& pgc, int angles, BYTE cellCommand)
{
    CGrowArray<BYTE> angleList;
    for (int i = 0; i < angles; ++i)
        angleList.Add(static_cast<BYTE>(i));
    auto* cell = new CPgcCell(0, 0, 0, cellCommand, nullptr, angleList, &pgc);
    pgc.AddCell(cell);
    return cell;
}

} // namespace

TEST(NodePath, PathsOfNodesThatAskTheirClass)
{
    CDvd dvd;
    CVmg& vmg = dvd.GetVmg();
    CLanguageUnits units(&vmg);
    CLanguageUnit* english = units.AddUnit();
    english->SetLanguageBytes(reinterpret_cast<const BYTE*>("en"));
    CLanguageUnit* unnamed = units.AddUnit();
    unnamed->SetLanguageBytes(reinterpret_cast<const BYTE*>("1\0"));
    CPgc* menu = new CPgc(1, english);
    english->AddPgc(menu);

    CPgcTable titles(0, dvd.GetVts(0));
    CPgc* first = new CPgc(0, &titles);
    titles.AddPgc(first);
    CPgc* second = new CPgc(0, &titles);
    titles.AddPgc(second);
    AddCell(*second, 1, 0);
    AddCell(*second, 1, 0);
    CPgcCell* twoAngles = AddCell(*second, 2, 3);
    CPgcCell* last = AddCell(*second, 1, 0);

    CAngleBlockList menus(&vmg);
    AddBlock(menus, 1);
    CAngleBlock* single = AddBlock(menus, 1);
    CAngleBlock* angles = AddBlock(menus, 3);

    const struct
    {
        const CDvdObject* node;
        const char* path;
    } cases[] = {
        {english, "VMG/LUs/Menu en"},
        {unnamed, "VMG/LUs/Menu "},
        {menu, "VMG/LUs/Menu en/PGC 1"},
        {&second->m_preCommands, "VTS 1/PGCs/PGC 2/pre cmd"},
        {&second->m_postCommands, "VTS 1/PGCs/PGC 2/post cmd"},
        {&second->m_cellCommands, "VTS 1/PGCs/PGC 2/cell cmd"},
        {&second->m_blockList, "VTS 1/PGCs/PGC 2/blocks"},
        {second->GetCell(0), "VTS 1/PGCs/PGC 2/ c1"},
        {twoAngles, "VTS 1/PGCs/PGC 2/ c3,c4"},
        {last, "VTS 1/PGCs/PGC 2/ c5"},
        {&menus, "VMG/menu blocks"},
        {single, "VMG/menu blocks/menu block 2"},
        {single->GetIlvu(0), "VMG/menu blocks/menu block 2"},
        {angles->GetIlvu(0), "VMG/menu blocks/menu block 3/ILVU 1"},
        {angles->GetIlvu(2), "VMG/menu blocks/menu block 3/ILVU 3"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(GetPath(c.node), c.path) << c.path;

    const struct
    {
        CDvdReference ref;
        const char* name;
    } fields[] = {
        {{&second->m_postCommands, 2, 6}, "VTS 1/PGCs/PGC 2/post cmd 7"},
        {{twoAngles, 1, 4}, "VTS 1/PGCs/PGC 2/ c3,c4:vobu 5"},
        {{twoAngles, 2, 0}, "VTS 1/PGCs/PGC 2/ c3,c4:still time"},
        {{twoAngles, 3, 0}, "VTS 1/PGCs/PGC 2/ c3,c4:cmd(3)"},
        {{single->GetIlvu(0), 0, 9}, "VMG/menu blocks/menu block 2:vobu 10"},
        {{angles->GetIlvu(1), 7, 0}, "VMG/menu blocks/menu block 3/ILVU 2:vobu 1"},
    };
    for (const auto& f : fields)
        EXPECT_STREQ(GetReferenceFieldName(f.ref), f.name) << f.name;
}
