// Reading VIDEO_TS.IFO: the tables of the Video Manager, the header checks and
// damaged files.
#include "DVD/source/DVD.h"
#include "DVD/source/DiscTestSupport.h"
#include "DVD/source/NodePath.h"
#include "DVD/source/VMG.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<uint8_t>;

// A disc read that must fail: the error, then "can't load VMG.", and the
// disc reset to one empty title set.
void ExpectFailedRead(CDvd& dvd, const std::string& folder, const std::string& error)
{
    kxtest::RecordingLog log;
    EXPECT_FALSE(dvd.Read(log, folder.c_str(), nullptr));
    EXPECT_TRUE(log.Has('E', error)) << log.Dump();
    EXPECT_EQ(log.lines.back(), "I:can't load VMG.") << log.Dump();
    ASSERT_EQ(dvd.GetVtsCount(), 1u);
    EXPECT_EQ(dvd.GetVts(0)->GetPgcTable().GetPgcCount(), 0u);
    EXPECT_EQ(dvd.GetVts(0)->GetTitles().GetTitleCount(), 0u);
    EXPECT_EQ(dvd.GetVmg().GetTitles().GetEntryCount(), 0u);
    EXPECT_EQ(dvd.GetVmg().GetFirstPlayPgc(), nullptr);
    EXPECT_EQ(dvd.GetVmg().GetLanguageUnits().GetUnitCount(), 0u);
    EXPECT_EQ(dvd.GetVmg().GetParentalRecords().GetSize(), 0u);
}

struct DamagedVmg
{
    const char* fixture;
    const char* error; // the exact text the read reports
    std::function<void(Bytes&)> damage;
};

// pal1: vmg_last_sector 31, vmgi_last_sector 2, vmgi_last_byte 1275, first
// play at 1024, no menu VOB, TT_SRPT in sector 1, VTS_ATRT in sector 2.
// ntscmenu: a menu VOB at sector 6 and its C_ADT in sector 4.
const DamagedVmg kDamagedVmgs[] = {
    {"pal1", "Bad file size.", [](Bytes& b) { b.resize(2047); }},
    {"pal1", "Bad file format.",
     [](Bytes& b)
     {
         b[11] = 'S';
         b[9] = 'V';
         b[10] = 'T';
     }},
    {"pal1", "vmg_last_sector != 0", [](Bytes& b) { kxtest::PutBig32(b, 0x0C, 0); }},
    {"pal1", "vmgi_last_sector * 2 <= vmg_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 0x1C, 16); }},
    {"pal1", "No TitleSets specified in VMG", [](Bytes& b) { kxtest::PutBig16(b, 0x3E, 0); }},
    {"pal1", "vmgi_last_byte >= 341", [](Bytes& b) { kxtest::PutBig32(b, 0x80, 340); }},
    {"pal1", "vmgi_last_byte / SECTOR_SIZE <= vmgi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 0x80, 3 * 2048); }},
    {"pal1", "first_play_pgc < vmgi_last_byte", [](Bytes& b) { kxtest::PutBig32(b, 0x84, 1275); }},
    {"pal1", "vmgm_vobs == 0 || (vmgm_vobs > vmgi_last_sector && vmgm_vobs < vmg_last_sector)",
     [](Bytes& b) { kxtest::PutBig32(b, 0xC0, 2); }},
    {"pal1", "vmgm_vobs == 0 || (vmgm_vobs > vmgi_last_sector && vmgm_vobs < vmg_last_sector)",
     [](Bytes& b) { kxtest::PutBig32(b, 0xC0, 31); }},
    {"pal1", "tt_srpt <= vmgi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 0xC4, 3); }},
    {"pal1", "vmgm_pgci_ut <= vmgi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 0xC8, 3); }},
    {"pal1", "ptl_mait <= vmgi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 0xCC, 3); }},
    {"pal1", "vts_atrt <= vmgi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 0xD0, 3); }},
    {"pal1", "txtdt_mgi <= vmgi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 0xD4, 3); }},
    {"pal1", "vmgm_c_adt <= vmgi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 0xD8, 3); }},
    {"pal1", "vmgm_vobu_admap <= vmgi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 0xDC, 3); }},
    // Sectors the header allows but the file does not hold.
    {"pal1", "tt_srpt <= vmgi_last_sector",
     [](Bytes& b)
     {
         kxtest::PutBig32(b, 0x1C, 10);
         kxtest::PutBig32(b, 0xC4, 9);
     }},
    {"pal1", "txtdt_mgi <= vmgi_last_sector",
     [](Bytes& b)
     {
         kxtest::PutBig32(b, 0x1C, 10);
         kxtest::PutBig32(b, 0xD4, 3);
     }},
    // Counts and end addresses inside the tables that run past the file.
    {"pal1", "VMG: error reading title table", [](Bytes& b) { kxtest::PutBig16(b, 2048, 0xFFFF); }},
    {"ntscmenu", "VMG: error reading cell address table",
     [](Bytes& b) { kxtest::PutBig32(b, 4 * 2048 + 4, 0xFFFFFF); }},
    {"ntscmenu", "VMG: error reading admap", [](Bytes& b) { kxtest::PutBig32(b, 5 * 2048, 0xFFFFFF); }},
};

TEST(VmgIfo, DamagedHeadersAndTablesFailWithTheirCheck)
{
    kxtest::ScratchFolder scratch;
    for (const DamagedVmg& test : kDamagedVmgs)
    {
        SCOPED_TRACE(test.error);
        KX_REQUIRE_DISC_COPY(disc, scratch, test.fixture);
        Bytes ifo = disc.Read("VIDEO_TS.IFO");
        test.damage(ifo);
        ASSERT_TRUE(disc.Write("VIDEO_TS.IFO", ifo));
        CDvd dvd;
        ExpectFailedRead(dvd, disc.Folder(), test.error);
    }
}

TEST(VmgIfo, MissingIfoIsReportedAfterTheSystemReason)
{
    kxtest::ScratchFolder scratch;
    CDvd dvd;
    ExpectFailedRead(dvd, scratch.Path(), "Can't open VIDEO_TS.IFO.");
}

// A PTL_MAIT in a new last sector of a VIDEO_TS.IFO of three sectors: two
// countries, the VMG's column and one title set's.
Bytes WithParentalTable(Bytes ifo)
{
    const size_t table = ifo.size();
    ifo.resize(table + 2048, 0);
    kxtest::PutBig32(ifo, 0x1C, 3);      // vmgi_last_sector
    kxtest::PutBig32(ifo, 0xCC, 3);      // ptl_mait
    kxtest::PutBig16(ifo, table, 2);     // countries
    kxtest::PutBig16(ifo, table + 2, 1); // title sets
    const char* countries[2] = {"US", "DE"};
    const size_t rows = 8 * 4;
    for (size_t c = 0; c < 2; ++c)
    {
        const size_t entry = table + 8 + 8 * c;
        ifo[entry] = uint8_t(countries[c][0]);
        ifo[entry + 1] = uint8_t(countries[c][1]);
        const size_t mai = 24 + rows * c;
        kxtest::PutBig16(ifo, entry + 4, uint16_t(mai));
        // Rows from level 8 down; the VMG's mask then the title set's.
        for (size_t level = 1; level <= 8; ++level)
        {
            const size_t row = table + mai + (8 - level) * 4;
            kxtest::PutBig16(ifo, row, uint16_t(0x100 * (c + 1) + level));
            kxtest::PutBig16(ifo, row + 2, uint16_t(0x1000 * (c + 1) + level));
        }
    }
    return ifo;
}

void ExpectParentalRecords(const CDvd& dvd)
{
    const CParentalRecordArray& vmg = dvd.GetVmg().GetParentalRecords();
    ASSERT_EQ(vmg.GetSize(), 2u);
    const CParentalRecordArray& vts = dvd.GetVts(0)->GetParentalRecords();
    ASSERT_EQ(vts.GetSize(), 2u);
    EXPECT_EQ(vmg[0]->nCountry, ('U' << 8) | 'S');
    EXPECT_EQ(vts[1]->nCountry, ('D' << 8) | 'E');
    for (int level = 1; level <= 8; ++level)
    {
        EXPECT_EQ(vmg[0]->masks[level - 1], 0x100 + level);
        EXPECT_EQ(vmg[1]->masks[level - 1], 0x200 + level);
        EXPECT_EQ(vts[0]->masks[level - 1], 0x1000 + level);
        EXPECT_EQ(vts[1]->masks[level - 1], 0x2000 + level);
    }
}

TEST(VmgIfo, ParentalRecordsAreNotDuplicatedByASecondReadOrTheRetry)
{
    kxtest::ScratchFolder scratch;
    KX_REQUIRE_DISC_COPY(disc, scratch, "pal1");
    ASSERT_TRUE(disc.Write("VIDEO_TS.IFO", WithParentalTable(disc.Read("VIDEO_TS.IFO"))));

    CDvd dvd;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Read(log, disc.Folder().c_str(), nullptr)) << log.Dump();
    ExpectParentalRecords(dvd);
    EXPECT_FALSE(log.Has('W', "Parental Management Info"));

    // Reading the same folder again replaces everything.
    ASSERT_TRUE(dvd.Read(log, disc.Folder().c_str(), nullptr)) << log.Dump();
    ExpectParentalRecords(dvd);
    EXPECT_EQ(dvd.GetVmg().GetTitles().GetEntryCount(), 1u);

    // The import first tries the disc's own folder, then its VIDEO_TS
    // subfolder.
    CDvd retried;
    EXPECT_FALSE(retried.Read(log, scratch.Path().c_str(), nullptr));
    ASSERT_TRUE(retried.Read(log, disc.Folder().c_str(), nullptr)) << log.Dump();
    ExpectParentalRecords(retried);
}

TEST(VmgIfo, TitleSetsBeyondTheParentalTableGetNoRecords)
{
    kxtest::ScratchFolder scratch;
    KX_REQUIRE_DISC_COPY(disc, scratch, "twovts");
    ASSERT_TRUE(disc.Write("VIDEO_TS.IFO", WithParentalTable(disc.Read("VIDEO_TS.IFO"))));
    CDvd dvd;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Read(log, disc.Folder().c_str(), nullptr)) << log.Dump();
    EXPECT_TRUE(log.Has('W', "Parental Management Info is not available for some Title Sets.")) << log.Dump();
    ASSERT_EQ(dvd.GetVtsCount(), 2u);
    EXPECT_EQ(dvd.GetVts(0)->GetParentalRecords().GetSize(), 2u);
    EXPECT_TRUE(dvd.GetVts(0)->HasParentalManagement());
    EXPECT_EQ(dvd.GetVts(1)->GetParentalRecords().GetSize(), 0u);
    EXPECT_FALSE(dvd.GetVts(1)->HasParentalManagement());
}

TEST(VmgIfo, CancelledReadResetsTheDisc)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    CDvd dvd;
    kxtest::RecordingLog log;
    kxtest::RecordingProgress progress(0);
    EXPECT_FALSE(dvd.Read(log, kxtest::FixturePath("twovts", "VIDEO_TS").c_str(), &progress));
    EXPECT_TRUE(log.IsCancelled());
    EXPECT_EQ(log.Count('C'), 1) << log.Dump();
    ASSERT_EQ(dvd.GetVtsCount(), 1u);
    EXPECT_EQ(dvd.GetVts(0)->GetTitles().GetTitleCount(), 0u);
    EXPECT_EQ(dvd.GetVmg().GetTitles().GetEntryCount(), 0u);
}

TEST(VmgIfo, ParentalTableOfThreeTitleSets)
{
    // Two countries, three title sets: rows of the VMG's mask and three more.
    Bytes table(8 + 16 + 2 * 8 * 8, 0);
    kxtest::PutBig16(table, 0, 2);
    kxtest::PutBig16(table, 2, 3);
    for (size_t c = 0; c < 2; ++c)
    {
        table[8 + 8 * c] = 'A' + c;
        table[9 + 8 * c] = 'Z';
        kxtest::PutBig16(table, 8 + 8 * c + 4, uint16_t(24 + 64 * c));
        for (size_t level = 1; level <= 8; ++level)
            for (size_t j = 0; j <= 3; ++j)
                kxtest::PutBig16(table, 24 + 64 * c + (8 - level) * 8 + 2 * j, uint16_t((c << 12) | (j << 8) | level));
    }
    CVmg vmg(nullptr);
    CParentalTableArray lists;
    ASSERT_TRUE(vmg.ReadParentalTable(CIfoView(table.data(), table.size()), lists));
    ASSERT_EQ(vmg.GetParentalRecords().GetSize(), 2u);
    ASSERT_EQ(lists.GetSize(), 3u);
    for (uint32_t j = 0; j < 3; ++j)
    {
        ASSERT_EQ(lists[j]->GetSize(), 2u);
        for (uint32_t c = 0; c < 2; ++c)
        {
            EXPECT_EQ((*lists[j])[c]->nCountry, (('A' + c) << 8) | 'Z');
            for (int level = 1; level <= 8; ++level)
                EXPECT_EQ((*lists[j])[c]->masks[level - 1], (c << 12) | ((j + 1) << 8) | level);
        }
    }
    // A country whose rows run past the table is refused before anything is
    // added.
    kxtest::PutBig16(table, 8 + 8 + 4, uint16_t(table.size() - 8));
    CVmg damaged(nullptr);
    CParentalTableArray none;
    EXPECT_FALSE(damaged.ReadParentalTable(CIfoView(table.data(), table.size()), none));
    EXPECT_EQ(none.GetSize(), 0u);
    EXPECT_EQ(damaged.GetParentalRecords().GetSize(), 0u);
}

TEST(VmgIfo, TitleTableEntries)
{
    Bytes table(8 + 3 * 12, 0);
    kxtest::PutBig16(table, 0, 3);
    const uint8_t numbers[3][2] = {{1, 2}, {0, 1}, {2, 0}};
    for (size_t i = 0; i < 3; ++i)
    {
        table[8 + 12 * i + 6] = numbers[i][0];
        table[8 + 12 * i + 7] = numbers[i][1];
    }
    CVmg vmg(nullptr);
    ASSERT_TRUE(vmg.ReadTitleTable(CIfoView(table.data(), table.size())));
    const CVmgTitles& titles = vmg.GetTitles();
    ASSERT_EQ(titles.GetEntryCount(), 3u);
    EXPECT_EQ(titles.GetEntry(0)->nVts, 0);
    EXPECT_EQ(titles.GetEntry(0)->nTitle, 1);
    EXPECT_EQ(titles.GetEntry(1)->nVts, VMGTITLE_UNDEFINED);
    EXPECT_EQ(titles.GetEntry(2)->nTitle, VMGTITLE_UNDEFINED);
    EXPECT_EQ(titles.GetFlag(2), 0);

    // One entry more than the bytes hold.
    kxtest::PutBig16(table, 0, 4);
    CVmg cut(nullptr);
    EXPECT_FALSE(cut.ReadTitleTable(CIfoView(table.data(), table.size())));
}

TEST(VmgIfo, TextDataPayloadFollowsTheEndAddress)
{
    struct Case
    {
        uint32_t nEnd;
        size_t nBytes;
        bool bOk;
        uint32_t nPayload;
    };
    const Case cases[] = {
        {19, 20, true, 0}, {20, 21, true, 1}, {30, 40, true, 11}, {40, 40, false, 0}, {0, 19, false, 0}};
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.nEnd);
        Bytes table(test.nBytes, 0);
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = uint8_t(i + 1);
        if (table.size() >= 20)
            kxtest::PutBig32(table, 16, test.nEnd);
        CTextData text;
        ASSERT_EQ(text.ReadIfo(CIfoView(table.data(), table.size())), test.bOk);
        EXPECT_EQ(text.GetPayloadLength(), test.nPayload);
        if (test.bOk)
        {
            EXPECT_EQ(text.GetByte(), 16);
            EXPECT_EQ(text.GetHeader()[13], 14);
            EXPECT_EQ(text.GetIfoSize(), test.nPayload + 20);
            if (test.nPayload > 0)
            {
                EXPECT_EQ(text.GetPayload()[0], 21);
            }
        }
    }
}

TEST(VmgIfo, ResolveTitleNamesWhatIsMissing)
{
    CDvd dvd; // one title set without titles
    CVmgTitles& titles = dvd.GetVmg().GetTitles();
    titles.AddEntry({VMGTITLE_UNDEFINED, 0});
    titles.AddEntry({2, 0});
    titles.AddEntry({0, VMGTITLE_UNDEFINED});
    titles.AddEntry({0, 0});
    const char* messages[] = {
        "Reference to undefined VTS. Was it deleted?",
        "Reference to VTS 3 while there are only 1 Video Title Set(s) in this DVD",
        "Reference to undefined title. Was it deleted?",
        "Reference to Title 1 in VTS 1 while there are only 0 Title(s) in the VTS",
        "Reference to VMG title 5 while there are only 4 title(s)",
    };
    for (uint16_t t = 0; t < 5; ++t)
    {
        CString strMessage;
        EXPECT_EQ(titles.ResolveTitle(t, strMessage).pNode, nullptr);
        EXPECT_STREQ((const char*)strMessage, messages[t]);
    }
}

TEST(VmgIfo, ChildrenOfTheVmgAfterARead)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvd dvd;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
    const CVmg& vmg = dvd.GetVmg();
    // First play, the English menus, the title table.
    ASSERT_EQ(vmg.GetChildCount(), 3u);
    EXPECT_EQ(vmg.GetChild(0), vmg.GetFirstPlayPgc());
    EXPECT_STREQ((const char*)vmg.GetChildName(0), "First Play");
    EXPECT_STREQ((const char*)vmg.GetChildName(1), "Menus en");
    EXPECT_EQ(vmg.GetChild(2), &vmg.GetTitles());
    EXPECT_STREQ((const char*)vmg.GetChildName(2), "VMG Titles");
    EXPECT_EQ(vmg.GetChild(3), nullptr);
    EXPECT_STREQ((const char*)vmg.GetChildName(3), "");
    EXPECT_EQ(vmg.GetFirstPlayPgc()->GetDomainCode(), DVDDOMAIN_FIRST_PLAY);
    EXPECT_EQ(vmg.GetFirstPlayPgc()->m_nMenu, 1);
}

TEST(VmgIfo, PathsOfTheNodesRead)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvd dvd;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
    const CVmg& vmg = dvd.GetVmg();
    const CVts& vts = *dvd.GetVts(0);
    EXPECT_STREQ((const char*)GetPath(vmg.GetFirstPlayPgc()), "VMG/First Play");
    EXPECT_STREQ((const char*)GetPath(vmg.GetLanguageUnits().GetUnit(0)->GetPgc(0)), "VMG/LUs/Menu en/PGC 1");
    EXPECT_STREQ((const char*)GetPath(&vmg.GetTitles()), "VMG/Titles");
    EXPECT_STREQ((const char*)GetReferenceFieldName(vmg.GetTitles().GetTitleReference(1)), "VMG/Titles:VMG title 2");
    EXPECT_STREQ((const char*)GetPath(vts.GetLanguageUnits().GetUnit(1)->GetPgc(1)), "VTS 1/LUs/Menu fr/PGC 2");
    EXPECT_STREQ((const char*)GetPath(vts.GetPgcTable().GetPgc(1)), "VTS 1/PGCs/PGC 2");
    EXPECT_STREQ((const char*)GetPath(vts.GetTitles().GetTitle(1)), "VTS 1/Titles/Title 2");
    EXPECT_STREQ((const char*)GetPath(vts.GetPgcTable().GetPgc(0)->GetCell(1)), "VTS 1/PGCs/PGC 1/ c2");
}

} // namespace
