// Title-set queries that the VMG's tables are built from, and the VMG title
// table's renumbering.
#include "DVD/source/DVD.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/VTS.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>

namespace
{

// A PGC of the title set whose one cell entry plays nAngles angles.
CPgc* AddPgc(CVts& vts, int nAngles, WORD wParentalMask)
{
    CPgc* pPgc = new CPgc(0, &vts.GetPgcTable());
    CGrowArray<BYTE> angles;
    for (int a = 0; a < nAngles; ++a)
        angles.Add(BYTE(a));
    pPgc->AddCell(new CPgcCell(0, 0, 0, 0, nullptr, angles, pPgc));
    pPgc->m_wParentalMask = wParentalMask;
    vts.GetPgcTable().AddPgc(pPgc);
    return pPgc;
}

// A PGC of a table whose cell entries play the given blocks.
CPgc* AddPgcPlaying(CPgcTable& table, std::initializer_list<CAngleBlock*> blocks)
{
    CPgc* pPgc = new CPgc(table.GetMenuFlag(), &table);
    CGrowArray<BYTE> angles;
    angles.Add(0);
    for (CAngleBlock* pBlock : blocks)
        pPgc->AddCell(new CPgcCell(0, 0, 0, 0, pBlock, angles, pPgc));
    pPgc->m_audio[0].bEnabled = 1;
    pPgc->m_subpictures[3].bEnabled = 1;
    table.AddPgc(pPgc);
    return pPgc;
}

CChapterEntry Chapter(WORD wPgc)
{
    CChapterEntry chapter;
    chapter.m_wPgc = wPgc;
    return chapter;
}

TEST(Vts, AnglesAndParentalMasksOfTitles)
{
    CVts vts(nullptr);
    EXPECT_EQ(vts.GetMinAngleCount(), 0);
    AddPgc(vts, 1, 0x0001);
    AddPgc(vts, 3, 0x0010);
    AddPgc(vts, 2, 0x0100);
    CVtsTitles& titles = vts.GetTitles();
    titles.AddTitle(Chapter(0));                // title 1: one angle
    titles.AddTitle(Chapter(1));                // title 2: three angles
    titles.GetTitle(1)->AddChapter(Chapter(2)); // ... and a PGC of two
    titles.AddTitle(Chapter(2));                // title 3: two angles
    titles.GetTitle(2)->AddChapter(Chapter(INVALID_CHAPTER_INDEX));
    titles.GetTitle(2)->AddChapter(Chapter(7)); // past the PGCs: skipped

    EXPECT_EQ(vts.GetTitleAngleCount(0), 1);
    EXPECT_EQ(vts.GetTitleAngleCount(1), 3);
    EXPECT_EQ(vts.GetTitleAngleCount(2), 2);
    EXPECT_EQ(vts.GetTitleAngleCount(9), 0);
    EXPECT_EQ(vts.GetMinAngleCount(), 2);
    EXPECT_EQ(vts.GetTitleParentalMask(0), 0x0001);
    EXPECT_EQ(vts.GetTitleParentalMask(1), 0x0110);
    EXPECT_EQ(vts.GetTitleParentalMask(2), 0x0100);
    EXPECT_EQ(vts.GetTitleParentalMask(9), 0);
}

std::string Hex(const BYTE* p, size_t n)
{
    std::string text;
    char digits[3];
    for (size_t i = 0; i < n; ++i)
    {
        std::snprintf(digits, sizeof(digits), "%02x", p[i]);
        text += digits;
    }
    return text;
}

TEST(Vts, AttributeRecordEqualsTheDiscsOwn)
{
    for (const char* name : {"ntscmenu", "twovts"})
    {
        SCOPED_TRACE(name);
        KX_REQUIRE_FIXTURE(dir, name);
        KX_REQUIRE_IFODUMP();
        const auto recs = kxtest::Select(kxtest::IfoDump(dir), "vtsatrt");
        CDvd dvd;
        kxtest::RecordingLog log;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath(name, "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        ASSERT_EQ(recs.size(), dvd.GetVtsCount());
        for (uint32_t v = 0; v < dvd.GetVtsCount(); ++v)
        {
            ASSERT_EQ(CVts::GetAttributeRecordSize(), 776u);
            BYTE entry[776] = {};
            dvd.GetVts(v)->WriteAttributeRecord(entry);
            EXPECT_EQ(GetBE32(entry), DWORD(recs[v].Num("last_byte")));
            EXPECT_EQ(GetBE32(entry + 4), DWORD(recs[v].Num("category")));
            EXPECT_EQ(Hex(entry + 8, 768), recs[v].Get("attrs"));
        }
    }
}

TEST(VmgTitles, RenumberingFollowsTitlesAndTitleSets)
{
    CVmgTitles titles(nullptr);
    // Titles 1 to 5 of title set 2, title 3 of title set 1, an undefined one.
    for (BYTE t = 0; t < 5; ++t)
        titles.AddEntry({1, t});
    titles.AddEntry({0, 2});
    titles.AddEntry({VMGTITLE_UNDEFINED, 0});

    // Titles 3 and 4 of title set 2 deleted.
    EXPECT_TRUE(titles.RenumberTitles(RETARGET_VTS_TITLE, 3, -2, 2));
    const BYTE afterDelete[] = {0, 1, VMGTITLE_UNDEFINED, VMGTITLE_UNDEFINED, 2, 2};
    for (uint32_t i = 0; i < 6; ++i)
        EXPECT_EQ(titles.GetEntry(i)->nTitle, afterDelete[i]) << i;
    EXPECT_TRUE(titles.IsModified());

    // A title inserted before title 2 of title set 1 moves its title 3.
    EXPECT_TRUE(titles.RenumberTitles(RETARGET_VTS_TITLE, 2, 1, 1));
    EXPECT_EQ(titles.GetEntry(5)->nTitle, 3);
    EXPECT_EQ(titles.GetEntry(4)->nTitle, 2);

    // Title set 1 deleted: its entries become undefined, title set 2 moves.
    EXPECT_TRUE(titles.RenumberTitles(RETARGET_TITLE_SET, 1, -1, 99));
    EXPECT_EQ(titles.GetEntry(0)->nVts, 0);
    EXPECT_EQ(titles.GetEntry(5)->nVts, VMGTITLE_UNDEFINED);
    EXPECT_EQ(titles.GetEntry(6)->nVts, VMGTITLE_UNDEFINED);

    // Title sets beyond the limit stay; other kinds change nothing.
    titles.ClearModified();
    EXPECT_FALSE(titles.RenumberTitles(RETARGET_TITLE_SET, 5, 1, 9));
    EXPECT_FALSE(titles.RenumberTitles(RETARGET_PGC, 1, 1, 99));
    EXPECT_FALSE(titles.IsModified());
}

TEST(Vts, BlocksThatNoCellPlaysAreRemoved)
{
    CVts vts(nullptr);
    CAngleBlockList& titles = vts.GetTitleDomain();
    CAngleBlock* blocks[4];
    for (BYTE i = 0; i < 4; ++i)
        blocks[i] = CPgc::CreateBlankBlock(&titles, 1, BYTE(i + 1), nullptr);
    CPgc* pTitlePgc = AddPgcPlaying(vts.GetPgcTable(), {blocks[1], blocks[3], blocks[1]});

    // The menus: one block that a menu plays, one that none does.
    CAngleBlockList& menus = vts.GetMenuDomain();
    CAngleBlock* pMenuBlock = CPgc::CreateBlankBlock(&menus, 1, 1, nullptr);
    CPgc::CreateBlankBlock(&menus, 2, 1, nullptr);
    CLanguageUnit* pUnit = vts.GetLanguageUnits().AddUnit();
    AddPgcPlaying(*pUnit, {pMenuBlock});

    vts.RemoveOrphanTitleBlocks();
    ASSERT_EQ(titles.GetBlockCount(), 2u);
    EXPECT_EQ(titles.GetBlock(0), blocks[1]);
    EXPECT_EQ(titles.GetBlock(1), blocks[3]);
    EXPECT_EQ(pTitlePgc->m_audio[0].bEnabled, 1);
    vts.RemoveOrphanMenuBlocks();
    ASSERT_EQ(menus.GetBlockCount(), 1u);
    EXPECT_EQ(menus.GetBlock(0), pMenuBlock);
    EXPECT_EQ(pUnit->GetPgc(0)->m_audio[0].bEnabled, 1);

    // A second pass finds nothing more to remove.
    vts.RemoveOrphanTitleBlocks();
    EXPECT_EQ(titles.GetBlockCount(), 2u);
}

TEST(Vts, DomainLeftWithoutBlocksLeavesNoStreamToSelect)
{
    CVts vts(nullptr);
    CPgc::CreateBlankBlock(&vts.GetMenuDomain(), 1, 1, nullptr);
    CLanguageUnit* pUnit = vts.GetLanguageUnits().AddUnit();
    CPgc* pMenu = AddPgcPlaying(*pUnit, {});
    vts.RemoveOrphanMenuBlocks();
    EXPECT_EQ(vts.GetMenuDomain().GetBlockCount(), 0u);
    EXPECT_EQ(pMenu->m_audio[0].bEnabled, 0);
    EXPECT_EQ(pMenu->m_subpictures[3].bEnabled, 0);
}

TEST(Vmg, MenuBlockThatOnlyFirstPlayPlaysIsKept)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    kxtest::RecordingLog log;
    CDvd dvd;
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
    CVmg& vmg = dvd.GetVmg();
    CAngleBlockList& menus = vmg.GetMenuDomain();
    const uint32_t nRead = menus.GetBlockCount();
    ASSERT_GT(nRead, 0u);
    CAngleBlock* pFirstPlayBlock = CPgc::CreateBlankBlock(&menus, 90, 1, nullptr);
    CPgc::CreateBlankBlock(&menus, 91, 1, nullptr);
    CPgc* pFirstPlay = vmg.GetFirstPlayPgc();
    ASSERT_NE(pFirstPlay, nullptr);
    CGrowArray<BYTE> angles;
    angles.Add(0);
    pFirstPlay->AddCell(new CPgcCell(0, 0, 0, 0, pFirstPlayBlock, angles, pFirstPlay));

    vmg.RemoveOrphanMenuBlocks();
    ASSERT_EQ(menus.GetBlockCount(), nRead + 1);
    EXPECT_EQ(menus.GetBlock(nRead), pFirstPlayBlock);
}

// A block of nAngles ILVUs; with bAnnounced its first packs name the angles.
CAngleBlock* AddAngleBlock(CAngleBlockList& domain, BYTE nCellId, int nAngles, bool bAnnounced)
{
    CAngleBlock* pBlock = nullptr;
    for (int a = 0; a < nAngles; ++a)
    {
        CCellAddress address;
        address.m_wVobId = WORD(a + 1);
        address.m_nCellId = nCellId;
        CVobCell* pIlvu = new CVobCell(nullptr, address, CVobuAddressList(), nullptr);
        PciPacket pci;
        if (bAnnounced)
            for (int i = 0; i < nAngles; ++i)
                pci.SetNsmlAgli(i, 100 + i);
        pIlvu->SetFirstNav(pci, DsiPacket(), nullptr);
        if (!pBlock)
        {
            pBlock = domain.AddCell(pIlvu, nullptr);
        }
        else
        {
            pBlock->AddCell(pIlvu, nullptr);
            pIlvu->SetParent(pBlock);
        }
    }
    return pBlock;
}

TEST(Vts, AngleBlocksAndTheIlvusOfEachAngle)
{
    CVts vts(nullptr);
    CAngleBlockArray blocks;
    CAngleMap angleMap;
    EXPECT_EQ(vts.CollectAngleBlocks(blocks, angleMap), 0);

    CAngleBlockList& domain = vts.GetTitleDomain();
    CAngleBlock* pAnnounced = AddAngleBlock(domain, 1, 3, true);
    CAngleBlock* pSilent = AddAngleBlock(domain, 2, 3, false);
    CAngleBlock* pSingle = AddAngleBlock(domain, 3, 1, true);
    CPgc* pPgc = new CPgc(0, &vts.GetPgcTable());
    const BYTE order[3][3] = {{2, 0, 1}, {0, 1, 2}, {0, 0, 0}};
    CAngleBlock* played[3] = {pAnnounced, pSilent, pSingle};
    for (int c = 0; c < 3; ++c)
    {
        CGrowArray<BYTE> angles;
        for (int a = 0; a < (c < 2 ? 3 : 1); ++a)
            angles.Add(order[c][a]);
        pPgc->AddCell(new CPgcCell(0, 0, 0, 0, played[c], angles, pPgc));
    }
    vts.GetPgcTable().AddPgc(pPgc);
    vts.GetTitles().AddTitle(Chapter(0));

    ASSERT_EQ(vts.CollectAngleBlocks(blocks, angleMap), 3);
    // Only the block whose packs announce its angles.
    ASSERT_EQ(blocks.GetSize(), 1);
    EXPECT_EQ(blocks[0], pAnnounced);
    ASSERT_EQ(angleMap.GetSize(), 3u);
    for (uint32_t a = 0; a < 3; ++a)
    {
        ASSERT_EQ(angleMap[a]->GetSize(), 1);
        EXPECT_EQ((*angleMap[a])[0], order[0][a]);
    }
}

TEST(Vts, SourceSizesAreTheVobFilesRead)
{
    // The encoder's output, and so the files' sizes, varies with the machine
    // that made the fixtures: the files on disk are the measure.
    auto fileSize = [](const std::string& path) -> int64_t
    {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (f == nullptr)
            return -1;
        std::fseek(f, 0, SEEK_END);
        const long nSize = std::ftell(f);
        std::fclose(f);
        return nSize;
    };
    const struct
    {
        const char* fixture;
        bool bMenu;
        int nTitleFiles;
    } cases[] = {{"pal1split", false, 3}, {"ntscmenu", true, 1}};
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.fixture);
        KX_REQUIRE_FIXTURE(dir, test.fixture);
        const int64_t nMenu = fileSize(kxtest::FixturePath(test.fixture, "VIDEO_TS/VTS_01_0.VOB"));
        EXPECT_EQ(nMenu >= 0, test.bMenu);
        int64_t nTitle = 0;
        int nTitleFiles = 0;
        for (int n = 1; n <= 9; ++n)
        {
            const int64_t nSize =
                fileSize(kxtest::FixturePath(test.fixture, "VIDEO_TS/VTS_01_" + std::to_string(n) + ".VOB"));
            if (nSize < 0)
                break;
            nTitle += nSize;
            ++nTitleFiles;
        }
        ASSERT_EQ(nTitleFiles, test.nTitleFiles);
        CDvd dvd;
        kxtest::RecordingLog log;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath(test.fixture, "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        CVts& vts = *dvd.GetVts(0);
        EXPECT_EQ(vts.GetMenuSourceSize(), uint64_t(std::max<int64_t>(nMenu, 0)));
        EXPECT_EQ(vts.GetTitleSourceSize(), uint64_t(nTitle));
        EXPECT_LE(vts.GetTitleVobSize(), vts.GetTitleSourceSize());
    }
}

} // namespace
