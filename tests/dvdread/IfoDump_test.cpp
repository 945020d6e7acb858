// Checks the generated fixtures through kx_ifodump: what each recipe asked
// dvdauthor and spumux for must be on the disc, and the tool must read it.
#include "tests/support/Fixtures.h"

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using kxtest::IfoDump;
using kxtest::IfoRecord;
using kxtest::Select;

// Bits of the stored attribute bytes ("raw=" hex) that the fixtures vary.
unsigned RawByte(const IfoRecord& attr, int i)
{
    return unsigned(std::stoul(attr.Get("raw").substr(2 * i, 2), nullptr, 16));
}
unsigned VideoStandard(const IfoRecord& video)
{
    return (RawByte(video, 0) >> 4) & 3;
} // 0 NTSC, 1 PAL
unsigned VideoAspect(const IfoRecord& video)
{
    return (RawByte(video, 0) >> 2) & 3;
} // 0 4:3, 3 16:9
unsigned AudioCoding(const IfoRecord& audio)
{
    return RawByte(audio, 0) >> 5;
} // 0 AC-3, 2 MPEG-1, 4 LPCM

IfoRecord One(const std::vector<IfoRecord>& recs, const std::string& kind,
              const std::vector<std::pair<std::string, std::string>>& match)
{
    std::vector<IfoRecord> found = Select(recs, kind, match);
    EXPECT_EQ(found.size(), 1u) << kind;
    return found.empty() ? IfoRecord() : found[0];
}

struct DiscFacts
{
    const char* fixture;
    int titleSets;
    std::vector<int> chaptersPerTitle;
};

class FixtureLayout : public ::testing::TestWithParam<DiscFacts>
{
};

TEST_P(FixtureLayout, TitleTableMatchesRecipe)
{
    const DiscFacts& facts = GetParam();
    KX_REQUIRE_IFODUMP();
    KX_REQUIRE_FIXTURE(dir, facts.fixture);
    std::vector<IfoRecord> recs = IfoDump(dir);
    IfoRecord vmg = One(recs, "vmg", {});
    EXPECT_EQ(vmg.Num("vts_count"), facts.titleSets);
    EXPECT_EQ(vmg.Num("titles"), long(facts.chaptersPerTitle.size()));
    std::vector<IfoRecord> titles = Select(recs, "title");
    ASSERT_EQ(titles.size(), facts.chaptersPerTitle.size());
    for (size_t i = 0; i < titles.size(); ++i)
    {
        EXPECT_EQ(titles[i].Num("chapters"), facts.chaptersPerTitle[i]) << "title " << i + 1;
        EXPECT_EQ(titles[i].Num("angles"), 1);
        // Every chapter of the title table has its entry in the title set.
        std::string vts = titles[i].Get("vts"), ttn = titles[i].Get("ttn");
        EXPECT_EQ(Select(recs, "ptt", {{"vts", vts}, {"ttn", ttn}}).size(), size_t(facts.chaptersPerTitle[i]));
    }
    std::vector<IfoRecord> headers = Select(recs, "vtshdr");
    std::vector<IfoRecord> copies = Select(recs, "vtsatrt");
    ASSERT_EQ(headers.size(), size_t(facts.titleSets));
    ASSERT_EQ(copies.size(), size_t(facts.titleSets));
    // The VMG keeps a copy of each title set's attributes.
    for (size_t i = 0; i < headers.size(); ++i)
    {
        std::string copy = copies[i].Get("attrs");
        ASSERT_FALSE(copy.empty());
        EXPECT_EQ(copy, headers[i].Get("attrs").substr(0, copy.size())) << "title set " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllFixtures, FixtureLayout,
    ::testing::Values(DiscFacts{"pal1", 1, {3}}, DiscFacts{"ntscmenu", 1, {2, 2}}, DiscFacts{"twovts", 2, {2, 1}},
                      DiscFacts{"cmdtable", 1, std::vector<int>(14, 1)}, DiscFacts{"pal1split", 1, {3}}),
    [](const ::testing::TestParamInfo<DiscFacts>& info) { return std::string(info.param.fixture); });

TEST(Pal1, HasTwoAudioStreamsAndASubPictureStreamInThreeChapters)
{
    KX_REQUIRE_IFODUMP();
    KX_REQUIRE_FIXTURE(dir, "pal1");
    std::vector<IfoRecord> recs = IfoDump(dir);
    IfoRecord streams = One(recs, "streams", {{"dom", "vts"}, {"vts", "1"}});
    EXPECT_EQ(streams.Num("audio"), 2);
    EXPECT_EQ(streams.Num("subp"), 1);
    IfoRecord video = One(recs, "attr", {{"dom", "vts"}, {"kind", "video"}});
    EXPECT_EQ(VideoStandard(video), 1u);
    EXPECT_EQ(VideoAspect(video), 0u);
    EXPECT_EQ(AudioCoding(One(recs, "attr", {{"dom", "vts"}, {"kind", "audio"}, {"index", "0"}})), 0u);
    EXPECT_EQ(AudioCoding(One(recs, "attr", {{"dom", "vts"}, {"kind", "audio"}, {"index", "1"}})), 2u);
    IfoRecord pgc = One(recs, "pgc", {{"dom", "vts"}, {"pgc", "1"}});
    EXPECT_EQ(pgc.Num("programs"), 3);
    EXPECT_EQ(pgc.Get("program_map"), "1,2,3");
    // Cells follow each other without gaps in the title VOB set.
    std::vector<IfoRecord> cells = Select(recs, "cell", {{"dom", "vts"}, {"pgc", "1"}});
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0].Num("first"), 0);
    for (size_t i = 1; i < cells.size(); ++i)
        EXPECT_EQ(cells[i].Num("first"), cells[i - 1].Num("last") + 1);
}

TEST(NtscMenu, MenusHaveTheirButtonsAndTitlesReturnToTheMenu)
{
    KX_REQUIRE_IFODUMP();
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    std::vector<IfoRecord> recs = IfoDump(dir);
    EXPECT_EQ(One(recs, "pgc", {{"dom", "vmgm"}, {"lu", "1"}, {"pgc", "1"}}).Get("entry"), "0x82");
    std::vector<IfoRecord> units = Select(recs, "lu", {{"dom", "vtsm"}});
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].Get("lang"), "en");
    EXPECT_EQ(units[1].Get("lang"), "fr");
    for (const char* lu : {"1", "2"})
        EXPECT_EQ(One(recs, "pgc", {{"dom", "vtsm"}, {"lu", lu}, {"pgc", "1"}}).Get("entry"), "0x83") << lu;
    for (const IfoRecord& title : Select(recs, "pgc", {{"dom", "vts"}}))
        EXPECT_GT(title.Num("post"), 0) << "title pgc " << title.Get("pgc");
    EXPECT_EQ(Select(recs, "cmd", {{"dom", "vts"}, {"kind", "cell"}}).size(), 1u);

    std::vector<IfoRecord> nav = IfoDump(dir, true);
    struct Button
    {
        const char* dom;
        int b, x0, y0, up, down, left, right;
    };
    const Button buttons[] = {{"vmgm", 1, 252, 112, 3, 2, 1, 3},
                              {"vmgm", 2, 252, 212, 1, 3, 2, 2},
                              {"vmgm", 3, 252, 312, 2, 1, 1, 3},
                              {"vtsm", 1, 132, 192, 1, 1, 2, 2},
                              {"vtsm", 2, 392, 192, 2, 2, 1, 1}};
    EXPECT_EQ(One(nav, "hli", {{"dom", "vmgm"}, {"n", "1"}}).Num("buttons"), 3);
    EXPECT_EQ(One(nav, "hli", {{"dom", "vtsm"}, {"n", "1"}}).Num("buttons"), 2);
    for (const Button& e : buttons)
    {
        IfoRecord b = One(nav, "btn", {{"dom", e.dom}, {"n", "1"}, {"b", std::to_string(e.b)}});
        EXPECT_EQ(b.Num("x0"), e.x0) << e.dom << " button " << e.b;
        EXPECT_EQ(b.Num("y0"), e.y0) << e.dom << " button " << e.b;
        EXPECT_EQ(b.Num("up"), e.up) << e.dom << " button " << e.b;
        EXPECT_EQ(b.Num("down"), e.down) << e.dom << " button " << e.b;
        EXPECT_EQ(b.Num("left"), e.left) << e.dom << " button " << e.b;
        EXPECT_EQ(b.Num("right"), e.right) << e.dom << " button " << e.b;
    }
}

TEST(TwoVts, TitleSetsDifferInStandardAspectAndAudio)
{
    KX_REQUIRE_IFODUMP();
    KX_REQUIRE_FIXTURE(dir, "twovts");
    std::vector<IfoRecord> recs = IfoDump(dir);
    IfoRecord v1 = One(recs, "attr", {{"dom", "vts"}, {"vts", "1"}, {"kind", "video"}});
    IfoRecord v2 = One(recs, "attr", {{"dom", "vts"}, {"vts", "2"}, {"kind", "video"}});
    EXPECT_EQ(VideoStandard(v1), 1u);
    EXPECT_EQ(VideoAspect(v1), 0u);
    EXPECT_EQ(VideoStandard(v2), 0u);
    EXPECT_EQ(VideoAspect(v2), 3u);
    EXPECT_EQ(One(recs, "streams", {{"dom", "vts"}, {"vts", "1"}}).Num("audio"), 1);
    EXPECT_EQ(One(recs, "streams", {{"dom", "vts"}, {"vts", "2"}}).Num("audio"), 2);
    EXPECT_EQ(AudioCoding(One(recs, "attr", {{"dom", "vts"}, {"vts", "1"}, {"kind", "audio"}, {"index", "0"}})), 0u);
    EXPECT_EQ(AudioCoding(One(recs, "attr", {{"dom", "vts"}, {"vts", "2"}, {"kind", "audio"}, {"index", "0"}})), 4u);
    EXPECT_EQ(AudioCoding(One(recs, "attr", {{"dom", "vts"}, {"vts", "2"}, {"kind", "audio"}, {"index", "1"}})), 2u);
    // One sub-picture stream whose widescreen form is stream 0 and letterbox form stream 1.
    EXPECT_EQ(One(recs, "streams", {{"dom", "vts"}, {"vts", "2"}}).Num("subp"), 1);
    IfoRecord pgc = One(recs, "pgc", {{"dom", "vts"}, {"vts", "2"}, {"pgc", "1"}});
    EXPECT_EQ(pgc.Get("subp_ctl").substr(0, 8), "80000100");
    EXPECT_EQ(pgc.Num("still"), 2);
}

class NavPacks : public ::testing::TestWithParam<const char*>
{
};

// Every VOBU the address map names starts with a navigation pack that knows
// its own sector and ends before the next VOBU.
TEST_P(NavPacks, EveryMappedVobuStartsWithItsNavigationPack)
{
    KX_REQUIRE_IFODUMP();
    KX_REQUIRE_FIXTURE(dir, GetParam());
    std::vector<IfoRecord> ifo = IfoDump(dir);
    std::vector<IfoRecord> nav = IfoDump(dir, true);
    EXPECT_TRUE(Select(nav, "navbad").empty());
    size_t mapped = Select(ifo, "vobu").size();
    std::vector<IfoRecord> packs = Select(nav, "nav");
    EXPECT_EQ(packs.size(), mapped);
    ASSERT_GT(mapped, 0u);
    for (size_t i = 0; i < packs.size(); ++i)
    {
        const IfoRecord& p = packs[i];
        EXPECT_EQ(p.Num("lbn"), p.Num("sector"));
        EXPECT_EQ(p.Num("pci_lbn"), p.Num("sector"));
        EXPECT_GT(p.Num("vobu_ea"), 0);
        bool nextInDomain =
            i + 1 < packs.size() && packs[i + 1].Get("dom") == p.Get("dom") && packs[i + 1].Get("vts") == p.Get("vts");
        if (nextInDomain)
        {
            EXPECT_LT(p.Num("sector") + p.Num("vobu_ea"), packs[i + 1].Num("sector"));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllFixtures, NavPacks,
                         ::testing::Values("pal1", "ntscmenu", "twovts", "cmdtable", "pal1split"));

// The VOB set cut into three files reads exactly like the one-file original.
TEST(Pal1Split, ReadsLikePal1)
{
    KX_REQUIRE_IFODUMP();
    KX_REQUIRE_FIXTURE(whole, "pal1");
    KX_REQUIRE_FIXTURE(split, "pal1split");
    for (bool nav : {false, true})
    {
        std::vector<IfoRecord> a = IfoDump(whole, nav), b = IfoDump(split, nav);
        ASSERT_EQ(a.size(), b.size()) << (nav ? "--nav" : "ifo");
        for (size_t i = 0; i < a.size(); ++i)
        {
            EXPECT_EQ(a[i].kind, b[i].kind);
            EXPECT_EQ(a[i].fields, b[i].fields) << a[i].kind << " #" << i;
        }
    }
}

// commands.txt, written by the maker from the IFO bytes, agrees with
// libdvdread, and every statement of the list has its program chain.
TEST(CmdTable, CommandListMatchesTheProgramChains)
{
    KX_REQUIRE_IFODUMP();
    KX_REQUIRE_FIXTURE(dir, "cmdtable");
    std::vector<IfoRecord> recs = IfoDump(dir);
    std::ifstream list(kxtest::FixturePath("cmdtable", "commands.txt"));
    ASSERT_TRUE(list.is_open());
    std::string line;
    std::set<std::string> statements;
    size_t commands = 0;
    while (std::getline(list, line))
    {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        std::string dom, pgc, kind, n, bytes, statement;
        in >> dom >> pgc >> kind >> n >> bytes;
        std::getline(in, statement);
        const std::string vts = dom == "vmgm" ? "0" : "1";
        const std::string recDom = dom == "title" ? "vts" : dom;
        std::vector<std::pair<std::string, std::string>> where = {
            {"dom", recDom}, {"vts", vts}, {"pgc", pgc}, {"kind", kind}, {"n", n}};
        if (recDom != "vts")
            where.push_back({"lu", "1"});
        EXPECT_EQ(One(recs, "cmd", where).Get("bytes"), bytes) << line;
        statements.insert(dom + " " + pgc);
        ++commands;
    }
    EXPECT_GT(commands, 0u);

    const char* source = std::getenv("KX_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::ifstream stmts(std::string(source) + "/tests/fixtures/cmdtable_statements.txt");
    ASSERT_TRUE(stmts.is_open());
    size_t listed = 0;
    while (std::getline(stmts, line))
        if (!line.empty() && line[0] != '#')
            ++listed;
    EXPECT_EQ(statements.size(), listed);
}

TEST(IfoDumpTool, FailsOnAFolderWithoutADisc)
{
    KX_REQUIRE_IFODUMP();
    int code = 0;
    std::vector<IfoRecord> recs = IfoDump("/nonexistent-kx-folder", false, &code);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(recs.empty());
}

// A title set whose IFO is gone: the VMG is still dumped, and the tool says
// that something could not be read.
TEST(IfoDumpTool, ReportsAnUnreadableTitleSetAfterDumpingTheRest)
{
    KX_REQUIRE_IFODUMP();
    KX_REQUIRE_FIXTURE(dir, "twovts");
    char tmpl[] = "/tmp/kx-ifodump-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string copy = tmpl;
    ASSERT_EQ(std::system(("cp -r '" + dir + "/VIDEO_TS' '" + copy + "/' && rm '" + copy + "/VIDEO_TS/VTS_02_0.IFO' '" +
                           copy + "/VIDEO_TS/VTS_02_0.BUP'")
                              .c_str()),
              0);
    int code = 0;
    std::vector<IfoRecord> recs = IfoDump(copy, false, &code);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(One(recs, "vmg", {}).Num("vts_count"), 2);
    EXPECT_EQ(Select(recs, "vtshdr").size(), 1u);
    EXPECT_EQ(std::system(("rm -rf '" + copy + "'").c_str()), 0);
}

} // namespace
