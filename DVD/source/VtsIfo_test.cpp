// Reading a title set's IFO: header checks, damaged tables, missing VOB files
// and discs whose file names are lower-case.
#include "DVD/source/DVD.h"
#include "DVD/source/DiscTestSupport.h"
#include "DVD/source/VTS.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<uint8_t>;

struct DamagedVts
{
    const char* fixture;
    const char* error;
    std::function<void(Bytes&)> damage;
};

// pal1's VTS_01_0.IFO: vts_last_sector 614, vtsi_last_sector 5, last byte
// 2047, no menu VOB, title VOB at 6; PTT_SRPT 1, PGCIT 2, TMAPT 3, C_ADT 4,
// VOBU_ADMAP 5. ntscmenu's: menu C_ADT 5 and VOBU_ADMAP 6.
const DamagedVts kDamagedVts[] = {
    {"pal1", "Bad file size", [](Bytes& b) { b.resize(2047); }},
    {"pal1", "Bad file format",
     [](Bytes& b)
     {
         b[11] = 'G';
         b[9] = 'V';
         b[10] = 'M';
     }},
    {"pal1", "vtsi_last_sector*2 <= vts_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 12, 9); }},
    {"pal1", "vtsi_last_byte/SECTOR_SIZE <= vtsi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 128, 6 * 2048); }},
    {"pal1", "vtsm_vobs == 0 || (vtsm_vobs > vtsi_last_sector && vtsm_vobs < vts_last_sector)",
     [](Bytes& b) { kxtest::PutBig32(b, 192, 5); }},
    {"pal1", "vtstt_vobs == 0 || (vtstt_vobs > vtsi_last_sector && vtstt_vobs < vts_last_sector)",
     [](Bytes& b) { kxtest::PutBig32(b, 196, 5); }},
    {"pal1", "vtstt_vobs == 0 || (vtstt_vobs > vtsi_last_sector && vtstt_vobs < vts_last_sector)",
     [](Bytes& b) { kxtest::PutBig32(b, 196, 614); }},
    {"pal1", "vts_ptt_srpt <= vtsi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 200, 6); }},
    {"pal1", "vts_pgcit <= vtsi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 204, 6); }},
    {"pal1", "vtsm_pgci_ut <= vtsi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 208, 6); }},
    {"pal1", "vts_tmapt <= vtsi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 212, 6); }},
    {"pal1", "vtsm_c_adt <= vtsi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 216, 6); }},
    {"pal1", "vtsm_vobu_admap <= vtsi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 220, 6); }},
    {"pal1", "vts_c_adt <= vtsi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 224, 6); }},
    {"pal1", "vts_vobu_admap <= vtsi_last_sector", [](Bytes& b) { kxtest::PutBig32(b, 228, 6); }},
    // A sector the header allows but the file does not hold.
    {"pal1", "vts_pgcit <= vtsi_last_sector",
     [](Bytes& b)
     {
         kxtest::PutBig32(b, 28, 100);
         kxtest::PutBig32(b, 196, 0);
         kxtest::PutBig32(b, 204, 50);
     }},
    // End addresses inside the tables that run past the file.
    {"pal1", "VTS: error reading cell address table", [](Bytes& b) { kxtest::PutBig32(b, 4 * 2048 + 4, 0xFFFFFF); }},
    {"pal1", "VTS: error reading admap", [](Bytes& b) { kxtest::PutBig32(b, 5 * 2048, 0xFFFFFF); }},
    {"ntscmenu", "VTS menu: error reading cell address table",
     [](Bytes& b) { kxtest::PutBig32(b, 5 * 2048 + 4, 0xFFFFFF); }},
    {"ntscmenu", "VTS menu: error reading admap", [](Bytes& b) { kxtest::PutBig32(b, 6 * 2048, 0xFFFFFF); }},
};

TEST(VtsIfo, DamagedHeadersAndTablesFailWithTheirCheck)
{
    kxtest::ScratchFolder scratch;
    for (const DamagedVts& test : kDamagedVts)
    {
        SCOPED_TRACE(test.error);
        KX_REQUIRE_DISC_COPY(disc, scratch, test.fixture);
        Bytes ifo = disc.Read("VTS_01_0.IFO");
        test.damage(ifo);
        ASSERT_TRUE(disc.Write("VTS_01_0.IFO", ifo));
        CDvd dvd;
        kxtest::RecordingLog log;
        EXPECT_FALSE(dvd.Read(log, disc.Folder().c_str(), nullptr));
        EXPECT_TRUE(log.Has('E', test.error)) << log.Dump();
        EXPECT_EQ(log.lines.back(), "I:can't load VTS 1") << log.Dump();
        // The disc is reset to one empty title set, the VMG's tables gone.
        ASSERT_EQ(dvd.GetVtsCount(), 1u);
        EXPECT_EQ(dvd.GetVts(0)->GetPgcTable().GetPgcCount(), 0u);
        EXPECT_EQ(dvd.GetVts(0)->GetLanguageUnits().GetUnitCount(), 0u);
        EXPECT_EQ(dvd.GetVmg().GetTitles().GetEntryCount(), 0u);
        EXPECT_EQ(dvd.GetVmg().GetFirstPlayPgc(), nullptr);
    }
}

TEST(VtsIfo, SecondTitleSetThatFailsResetsTheWholeDisc)
{
    kxtest::ScratchFolder scratch;
    KX_REQUIRE_DISC_COPY(disc, scratch, "twovts");
    ASSERT_TRUE(disc.Remove("VTS_02_0.IFO"));
    CDvd dvd;
    kxtest::RecordingLog log;
    kxtest::RecordingProgress progress;
    EXPECT_FALSE(dvd.Read(log, disc.Folder().c_str(), &progress));
    EXPECT_EQ(log.lines.back(), "I:can't load VTS 2") << log.Dump();
    EXPECT_TRUE(log.Has('I', "Read VTS1"));
    EXPECT_TRUE(log.Has('I', "Read VTS2"));
    ASSERT_EQ(dvd.GetVtsCount(), 1u);
    EXPECT_EQ(dvd.GetVts(0)->GetTitles().GetTitleCount(), 0u);
}

TEST(VtsIfo, MissingTitleVobLeavesTheDomainWithoutContent)
{
    kxtest::ScratchFolder scratch;
    KX_REQUIRE_DISC_COPY(disc, scratch, "pal1");
    ASSERT_TRUE(disc.Remove("VTS_01_1.VOB"));
    CDvd dvd;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Read(log, disc.Folder().c_str(), nullptr)) << log.Dump();
    // The VOB layer's reason, then the substitution.
    const auto error = std::find(log.lines.begin(), log.lines.end(), "E:Can't find VTS 1 movie vob file.");
    const auto warning =
        std::find(log.lines.begin(), log.lines.end(), "W:Can't open title set vob - will substitute blanks.");
    ASSERT_NE(warning, log.lines.end()) << log.Dump();
    EXPECT_LT(error, warning) << log.Dump();
    // The substitution repairs the failure: only the warning counts.
    EXPECT_FALSE(log.HasError());
    EXPECT_TRUE(log.HasWarning());
    const CVts& vts = *dvd.GetVts(0);
    // The titles and PGCs are read all the same; the domain keeps the IFO's
    // streams.
    EXPECT_EQ(vts.GetTitles().GetTitleCount(), 1u);
    EXPECT_GT(vts.GetPgcTable().GetPgcCount(), 0u);
    EXPECT_EQ(vts.GetTitleDomain().GetStreams().GetAudioCount(), 2);
    EXPECT_TRUE(vts.GetTitleDomain().IsPal());
}

TEST(VtsIfo, MissingMenuVobsAreReplacedByBlanks)
{
    struct Case
    {
        const char* file;
        const char* warning;
    };
    const Case cases[] = {
        {"VIDEO_TS.VOB", "Can't open VIDEO_TS.VOB - will substitute blanks."},
        {"VTS_01_0.VOB", "Can't open title set menu vob - will substitute blanks."},
    };
    kxtest::ScratchFolder scratch;
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.file);
        KX_REQUIRE_DISC_COPY(disc, scratch, "ntscmenu");
        ASSERT_TRUE(disc.Remove(test.file));
        CDvd dvd;
        kxtest::RecordingLog log;
        ASSERT_TRUE(dvd.Read(log, disc.Folder().c_str(), nullptr)) << log.Dump();
        EXPECT_TRUE(log.Has('W', test.warning)) << log.Dump();
        EXPECT_FALSE(log.HasError()) << log.Dump();
        // The menus are still read.
        EXPECT_EQ(dvd.GetVmg().GetLanguageUnits().GetUnitCount(), 1u);
        EXPECT_EQ(dvd.GetVts(0)->GetLanguageUnits().GetUnitCount(), 2u);
    }
}

TEST(VtsIfo, TitleSetWithoutMenusNeedsNoMenuVob)
{
    kxtest::ScratchFolder scratch;
    KX_REQUIRE_DISC_COPY(disc, scratch, "pal1");
    CDvd dvd;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Read(log, disc.Folder().c_str(), nullptr)) << log.Dump();
    EXPECT_FALSE(log.Has('W', "menu vob")) << log.Dump();
    EXPECT_EQ(log.Count('E'), 0) << log.Dump();
    EXPECT_EQ(dvd.GetVts(0)->GetLanguageUnits().GetUnitCount(), 0u);
}

TEST(VtsIfo, LowerCaseFileNamesImport)
{
    kxtest::ScratchFolder scratch;
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    kxtest::DiscCopy disc("ntscmenu", scratch.File("video_ts"), true);
    ASSERT_TRUE(disc.Ok());
    CDvd dvd;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Read(log, disc.Folder().c_str(), nullptr)) << log.Dump();
    EXPECT_EQ(log.Count('E'), 0) << log.Dump();
    EXPECT_FALSE(log.Has('W', "will substitute blanks")) << log.Dump();
    EXPECT_EQ(dvd.GetVmg().GetTitles().GetEntryCount(), 2u);
    EXPECT_EQ(dvd.GetVts(0)->GetTitles().GetTitleCount(), 2u);
}

TEST(VtsIfo, ChildrenAndCopiesOfATitleSet)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvd dvd;
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
    const CVts& vts = *dvd.GetVts(0);
    // Two language units, the PGC table, the titles.
    ASSERT_EQ(vts.GetChildCount(), 4u);
    EXPECT_STREQ((const char*)vts.GetChildName(0), "Menus en");
    EXPECT_STREQ((const char*)vts.GetChildName(1), "Menus fr");
    EXPECT_EQ(vts.GetChild(2), &vts.GetPgcTable());
    EXPECT_STREQ((const char*)vts.GetChildName(2), "Program Chains");
    EXPECT_EQ(vts.GetChild(3), &vts.GetTitles());
    EXPECT_STREQ((const char*)vts.GetChildName(3), "Titles");
    EXPECT_EQ(vts.GetChild(4), nullptr);
    EXPECT_STREQ((const char*)vts.GetChildName(4), "");

    // A copy of the disc keeps the identities and the content.
    CDvd copy(dvd);
    const CVts& copied = *copy.GetVts(0);
    EXPECT_EQ(copied.GetId(), vts.GetId());
    EXPECT_EQ(copied.GetPgcTable().GetPgcCount(), vts.GetPgcTable().GetPgcCount());
    EXPECT_EQ(copied.GetLanguageUnits().GetUnitCount(), 2u);
    EXPECT_EQ(copied.GetTitles().GetTitleCount(), 2u);
    EXPECT_EQ(copy.GetVmg().GetTitles().GetEntryCount(), 2u);
    EXPECT_NE(copy.GetVmg().GetFirstPlayPgc(), nullptr);
    EXPECT_EQ(copied.GetTitleDomain().GetStreams().GetAudioCount(), 1);
    // Its PGCs play its own blocks, never the source's.
    const CAngleBlock* pPlayed = copied.GetPgcTable().GetPgc(0)->GetCell(0)->GetBlock();
    ASSERT_NE(pPlayed, nullptr);
    EXPECT_EQ(pPlayed->GetParent(), &copied.GetTitleDomain());
    const CAngleBlock* pMenuPlayed = copied.GetLanguageUnits().GetUnit(0)->GetPgc(0)->GetCell(0)->GetBlock();
    ASSERT_NE(pMenuPlayed, nullptr);
    EXPECT_EQ(pMenuPlayed->GetParent(), &copied.GetMenuDomain());
    EXPECT_EQ(copied.GetTitleDomain().GetBlockCount(), vts.GetTitleDomain().GetBlockCount());
    const CAngleBlock* pFirstMenu = copy.GetVmg().GetLanguageUnits().GetUnit(0)->GetPgc(0)->GetCell(0)->GetBlock();
    EXPECT_EQ(pFirstMenu->GetParent(), &copy.GetVmg().GetMenuDomain());

    // Reading resets the modified marks only when the caller clears them.
    EXPECT_TRUE(dvd.IsModified());
    dvd.ClearModified();
    EXPECT_FALSE(dvd.IsModified());
}

} // namespace
