// Whole-disc import of the generated discs: the tree that CDvd::Read builds
// from the IFO files, compared with libdvdread's view of the same files.
#include "DVD/source/DVD.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobData.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace
{

using kxtest::IfoRecord;
using kxtest::Select;

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

std::string Str(long long n)
{
    return std::to_string(n);
}

// The stream counts and the audio and sub-picture attributes of a domain.
void ExpectStreams(const std::vector<IfoRecord>& recs, const std::string& dom, const std::string& vts,
                   const CStreamSet& streams)
{
    SCOPED_TRACE(dom + " " + vts);
    const auto counts = Select(recs, "streams", {{"dom", dom}, {"vts", vts}});
    ASSERT_EQ(counts.size(), 1u);
    ASSERT_EQ(streams.GetAudioCount(), counts[0].Num("audio"));
    ASSERT_EQ(streams.GetSubpictureCount(), counts[0].Num("subp"));
    const auto video = Select(recs, "attr", {{"dom", dom}, {"vts", vts}, {"kind", "video"}});
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(Hex(streams.GetVideo().bytes, 2), video[0].Get("raw"));
    for (int i = 0; i < streams.GetAudioCount(); ++i)
    {
        const auto audio = Select(recs, "attr", {{"dom", dom}, {"vts", vts}, {"kind", "audio"}, {"index", Str(i)}});
        ASSERT_EQ(audio.size(), 1u);
        // The model keeps the first 7 of the 8 bytes (coding mode, language,
        // code extension).
        EXPECT_EQ(Hex(streams.GetAudio(i)->bytes, 7), audio[0].Get("raw").substr(0, 14));
    }
    for (int i = 0; i < streams.GetSubpictureCount(); ++i)
    {
        const auto subp = Select(recs, "attr", {{"dom", dom}, {"vts", vts}, {"kind", "subp"}, {"index", Str(i)}});
        ASSERT_EQ(subp.size(), 1u);
        EXPECT_EQ(Hex(streams.GetSubpicture(i)->bytes, 6), subp[0].Get("raw"));
    }
}

// Programs and IFO cells of a PGC.
void ExpectPgc(const IfoRecord& rec, const CPgc& pgc)
{
    SCOPED_TRACE(rec.Get("dom") + " vts " + rec.Get("vts") + " lu " + rec.Get("lu") + " pgc " + rec.Get("pgc"));
    EXPECT_EQ(pgc.GetIfoCellCount(), uint32_t(rec.Num("cells")));
    EXPECT_EQ(pgc.GetProgramCount(), rec.Num("programs"));
}

void ExpectLanguageUnits(const std::vector<IfoRecord>& recs, const std::string& dom, const std::string& vts,
                         const CLanguageUnits& units)
{
    const auto lus = Select(recs, "lu", {{"dom", dom}, {"vts", vts}});
    ASSERT_EQ(units.GetUnitCount(), lus.size());
    for (uint32_t u = 0; u < units.GetUnitCount(); ++u)
    {
        const CLanguageUnit& unit = *units.GetUnit(u);
        BYTE code[2];
        unit.GetLanguageBytes(code);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(code), 2), lus[u].Get("lang"));
        ASSERT_EQ(unit.GetPgcCount(), uint32_t(lus[u].Num("pgcs")));
        const auto pgcs = Select(recs, "pgc", {{"dom", dom}, {"vts", vts}, {"lu", Str(u + 1)}});
        ASSERT_EQ(pgcs.size(), unit.GetPgcCount());
        for (uint32_t p = 0; p < unit.GetPgcCount(); ++p)
            ExpectPgc(pgcs[p], *unit.GetPgc(p));
    }
}

// The source VOB set of a domain that the import registered for this disc.
const CVobData* FindVobData(const std::string& folder, BYTE nVts, bool bMenu)
{
    for (uint32_t i = 0; i < GetVobDataCount(); ++i)
    {
        const CVobData* pSet = GetVobDataAt(i);
        if (pSet->GetVtsNumber() == nVts && pSet->IsMenu() == bMenu && std::string(pSet->GetPath()).find(folder) == 0)
            return pSet;
    }
    return nullptr;
}

// The address tables the import handed to the domain's VOB set.
void ExpectAddressTables(const std::vector<IfoRecord>& recs, const std::string& dom, const std::string& vts,
                         const CVobData* pSet)
{
    SCOPED_TRACE(dom + " " + vts);
    const auto cadrs = Select(recs, "cadr", {{"dom", dom}, {"vts", vts}});
    if (cadrs.empty())
    {
        EXPECT_EQ(pSet, nullptr);
        return;
    }
    ASSERT_NE(pSet, nullptr);
    const CCellAddressList& cells = pSet->GetCellAddresses();
    ASSERT_EQ(cells.GetSize(), cadrs.size());
    for (uint32_t i = 0; i < cells.GetSize(); ++i)
    {
        EXPECT_EQ(cells[i]->m_wVobId, cadrs[i].Num("vob"));
        EXPECT_EQ(cells[i]->m_nCellId, cadrs[i].Num("cell"));
        EXPECT_EQ(cells[i]->m_dwFirstSector, DWORD(cadrs[i].Num("first")));
        EXPECT_EQ(cells[i]->m_dwLastSector, DWORD(cadrs[i].Num("last")));
    }
    const auto map = Select(recs, "vobumap", {{"dom", dom}, {"vts", vts}});
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(pSet->GetVobus().GetSize(), map[0].Num("count"));
}

class DiscReadFixture : public ::testing::TestWithParam<const char*>
{
};

TEST_P(DiscReadFixture, TreeEqualsLibdvdreadView)
{
    KX_REQUIRE_FIXTURE(dir, GetParam());
    KX_REQUIRE_IFODUMP();
    const auto recs = kxtest::IfoDump(dir);
    const std::string folder = kxtest::FixturePath(GetParam(), "VIDEO_TS");

    kxtest::RecordingLog log;
    kxtest::RecordingProgress progress;
    CDvd dvd;
    ASSERT_TRUE(dvd.Read(log, folder.c_str(), &progress)) << log.Dump();
    EXPECT_EQ(log.Count('E'), 0) << log.Dump();
    // Every cell of every PGC finds its block in the VOB content.
    EXPECT_EQ(log.Count('W'), 0) << log.Dump();

    const auto vmg = Select(recs, "vmg");
    ASSERT_EQ(vmg.size(), 1u);
    ASSERT_EQ(dvd.GetVtsCount(), uint32_t(vmg[0].Num("vts_count")));

    // Title table: which title of which title set each disc title plays.
    const CVmgTitles& titles = dvd.GetVmg().GetTitles();
    const auto titleRecs = Select(recs, "title");
    ASSERT_EQ(titles.GetEntryCount(), titleRecs.size());
    for (uint32_t t = 0; t < titles.GetEntryCount(); ++t)
    {
        EXPECT_EQ(titles.GetEntry(t)->nVts + 1, titleRecs[t].Num("vts"));
        EXPECT_EQ(titles.GetEntry(t)->nTitle + 1, titleRecs[t].Num("ttn"));
        CString strMessage;
        const CDvdReference title = titles.ResolveTitle(uint16_t(t), strMessage);
        ASSERT_NE(title.pNode, nullptr) << (const char*)strMessage;
        const CVtsTitle* pTitle = static_cast<const CVtsTitle*>(title.pNode);
        EXPECT_EQ(pTitle->GetChapterCount(), uint32_t(titleRecs[t].Num("chapters")));
    }

    // First play and the VMG menus.
    const auto firstPlay = Select(recs, "pgc", {{"dom", "fp"}});
    ASSERT_EQ(dvd.GetVmg().GetFirstPlayPgc() != nullptr, !firstPlay.empty());
    if (!firstPlay.empty())
        ExpectPgc(firstPlay[0], *dvd.GetVmg().GetFirstPlayPgc());
    ExpectLanguageUnits(recs, "vmgm", "0", dvd.GetVmg().GetLanguageUnits());
    const CVobData* pVmgm = FindVobData(folder, 0, true);
    ExpectAddressTables(recs, "vmgm", "0", pVmgm);
    if (pVmgm != nullptr)
        ExpectStreams(recs, "vmgm", "0", dvd.GetVmg().GetMenuDomain().GetStreams());

    for (uint32_t v = 0; v < dvd.GetVtsCount(); ++v)
    {
        const std::string vts = Str(v + 1);
        SCOPED_TRACE("VTS " + vts);
        const CVts& set = *dvd.GetVts(v);

        // Titles and their chapters.
        const CVtsTitles& vtsTitles = set.GetTitles();
        const auto ptts = Select(recs, "ptt", {{"vts", vts}});
        size_t nChapters = 0;
        for (uint32_t t = 0; t < vtsTitles.GetTitleCount(); ++t)
        {
            const CVtsTitle& title = *vtsTitles.GetTitle(t);
            const auto chapters = Select(recs, "ptt", {{"vts", vts}, {"ttn", Str(t + 1)}});
            ASSERT_EQ(title.GetChapterCount(), chapters.size());
            for (uint32_t c = 0; c < title.GetChapterCount(); ++c)
            {
                EXPECT_EQ(title.GetChapter(c)->m_wPgc + 1, chapters[c].Num("pgcn"));
                EXPECT_EQ(title.GetChapter(c)->m_wProgram + 1, chapters[c].Num("pgn"));
            }
            nChapters += chapters.size();
        }
        EXPECT_EQ(nChapters, ptts.size());

        // Title PGCs and menus.
        const auto pgcs = Select(recs, "pgc", {{"dom", "vts"}, {"vts", vts}});
        ASSERT_EQ(set.GetPgcTable().GetPgcCount(), pgcs.size());
        for (uint32_t p = 0; p < pgcs.size(); ++p)
            ExpectPgc(pgcs[p], *set.GetPgcTable().GetPgc(p));
        ExpectLanguageUnits(recs, "vtsm", vts, set.GetLanguageUnits());

        // Address tables and streams of both domains.
        const CVobData* pMenu = FindVobData(folder, BYTE(v + 1), true);
        ExpectAddressTables(recs, "vtsm", vts, pMenu);
        if (pMenu != nullptr)
            ExpectStreams(recs, "vtsm", vts, set.GetMenuDomain().GetStreams());
        const CVobData* pTitle = FindVobData(folder, BYTE(v + 1), false);
        ExpectAddressTables(recs, "vts", vts, pTitle);
        ExpectStreams(recs, "vts", vts, set.GetTitleDomain().GetStreams());
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DiscReadFixture,
                         ::testing::Values("pal1", "ntscmenu", "twovts", "cmdtable", "pal1split"));

TEST(DiscRead, VideoStandardOfTheDisc)
{
    EXPECT_FALSE(CDvd().IsPal());
    const std::pair<const char*, bool> cases[] = {{"pal1", true}, {"ntscmenu", false}, {"twovts", true}};
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.first);
        KX_REQUIRE_FIXTURE(dir, test.first);
        CDvd dvd;
        kxtest::RecordingLog log;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath(test.first, "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        EXPECT_EQ(dvd.IsPal(), test.second);
        // Every stream kept: the VOBs an export writes are the source's.
        EXPECT_EQ(dvd.GetVmg().GetMenuVobSize(), dvd.GetVmg().GetMenuSourceSize());
    }
}

} // namespace
