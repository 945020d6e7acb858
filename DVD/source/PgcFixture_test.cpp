// The IFO tables of the generated discs, read with the engine's readers and
// compared with libdvdread's view (kx_ifodump), then written back and
// compared with the bytes dvdauthor wrote.
#include "DVD/source/CellAddress.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/PgcTestSupport.h"
#include "DVD/source/title.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{

const size_t SECTOR = 2048;

std::vector<BYTE> ReadFile(const std::string& path)
{
    std::vector<BYTE> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    BYTE buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
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

// The VOB files of one domain laid end to end.
class VobSet
{
public:
    void Add(const std::string& path)
    {
        std::vector<BYTE> bytes = ReadFile(path);
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }
    const BYTE* Sector(DWORD dwSector) const
    {
        return (size_t(dwSector) + 1) * SECTOR <= m_bytes.size() ? &m_bytes[size_t(dwSector) * SECTOR] : nullptr;
    }

private:
    std::vector<BYTE> m_bytes;
};

// The table at the sector that the 32-bit field at nField of the IFO header
// names, up to the end of the file.
CIfoView TableAt(const std::vector<BYTE>& ifo, size_t nField)
{
    const DWORD dwSector = GetBE32(&ifo[nField]);
    return CIfoView(ifo.data(), ifo.size()).From(size_t(dwSector) * SECTOR);
}

// A domain built from the address tables, one block per cell, its ILVUs'
// navigation packs read from the VOB files.
void BuildDomain(CAngleBlockList& domain, const CCellAddressList& cells, const CVobuAddressList& vobus,
                 const VobSet& vobs)
{
    for (uint32_t i = 0; i < cells.GetSize(); ++i)
    {
        int nAngle = 0;
        CAngleBlock* pBlock = domain.FindCell(cells[i]->m_wVobId, cells[i]->m_nCellId, nAngle);
        if (pBlock)
            pBlock->GetIlvu(uint32_t(nAngle))->AddPiece(*cells[i], vobus);
        else
            domain.AddCell(new CVobCell(nullptr, *cells[i], vobus, nullptr), nullptr);
    }
    for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
    {
        CVobCell* pIlvu = domain.GetBlock(b)->GetIlvu(0);
        const CGrowArray<DWORD>& sectors = pIlvu->GetSourceVobus();
        ASSERT_GT(sectors.GetSize(), 0);
        const BYTE* pFirst = vobs.Sector(sectors[0]);
        const BYTE* pLast = vobs.Sector(sectors[sectors.GetSize() - 1]);
        ASSERT_TRUE(pFirst && pLast);
        PciPacket pci;
        DsiPacket dsi;
        pci.ReadFromSector(pFirst);
        dsi.ReadFromSector(pFirst);
        pIlvu->SetFirstNav(pci, dsi, pFirst + NAV_SCR_OFFSET);
        pci.ReadFromSector(pLast);
        dsi.ReadFromSector(pLast);
        pIlvu->SetLastNav(pci, dsi);
    }
}

struct Place
{
    std::string dom;
    std::string vts;
    std::string lu; // empty outside menus
};

std::vector<std::pair<std::string, std::string>> Match(const Place& place, int nPgc)
{
    std::vector<std::pair<std::string, std::string>> match = {
        {"dom", place.dom}, {"vts", place.vts}, {"pgc", std::to_string(nPgc)}};
    if (!place.lu.empty())
        match.push_back({"lu", place.lu});
    return match;
}

// The PGC as read against libdvdread's records.
void ComparePgcRecords(const std::vector<kxtest::IfoRecord>& dump, const Place& place, int nPgc, const CPgc& pgc)
{
    const auto records = kxtest::Select(dump, "pgc", Match(place, nPgc));
    ASSERT_EQ(1u, records.size());
    const kxtest::IfoRecord& r = records[0];
    EXPECT_EQ(r.Num("programs"), pgc.GetProgramCount());
    EXPECT_EQ(r.Num("cells"), pgc.GetIfoCellCount());
    EXPECT_EQ(r.Num("next"), pgc.m_wNextPgc);
    EXPECT_EQ(r.Num("prev"), pgc.m_wPrevPgc);
    EXPECT_EQ(r.Num("goup"), pgc.m_wGoUpPgc);
    EXPECT_EQ(r.Num("still"), pgc.m_nStillTime);
    EXPECT_EQ(r.Num("pb_mode"), pgc.m_nPlaybackMode);
    EXPECT_EQ(r.Num("pre"), pgc.m_preCommands.GetCount());
    EXPECT_EQ(r.Num("post"), pgc.m_postCommands.GetCount());
    EXPECT_EQ(r.Num("cellcmds"), pgc.m_cellCommands.GetCount());
    if (place.dom != "fp")
    {
        EXPECT_EQ(r.Num("entry"), pgc.m_nCategory);
        EXPECT_EQ(r.Num("ptl_mask"), pgc.m_wParentalMask);
    }
    std::string map;
    for (int p = 0; p < pgc.GetProgramCount(); ++p)
        map += (p ? "," : "") + std::to_string(pgc.GetFirstIfoCell(pgc.GetProgramStart(p)) + 1);
    EXPECT_EQ(r.Get("program_map"), map.empty() ? "-" : map);
    std::string palette;
    for (int i = 0; i < PGC_COLOURS; ++i)
        palette += (i ? "," : "") + Hex(pgc.m_colours.colours[i], 4);
    EXPECT_EQ(r.Get("palette"), palette);

    const struct
    {
        const char* pszKind;
        const CPgcCommands* pTable;
    } tables[] = {{"pre", &pgc.m_preCommands}, {"post", &pgc.m_postCommands}, {"cell", &pgc.m_cellCommands}};
    for (const auto& t : tables)
    {
        auto match = Match(place, nPgc);
        match.push_back({"kind", t.pszKind});
        const auto commands = kxtest::Select(dump, "cmd", match);
        ASSERT_EQ(commands.size(), t.pTable->GetCount());
        for (uint32_t i = 0; i < t.pTable->GetCount(); ++i)
            EXPECT_EQ(commands[i].Get("bytes"), Hex(t.pTable->GetCommand(i), 8)) << t.pszKind << i;
    }
}

// The PGC against libdvdread's records (when there are any), and its PGCI
// as written against the bytes it was read from.
void ComparePgc(const std::vector<kxtest::IfoRecord>& dump, const Place& place, int nPgc, const CPgc& pgc,
                const CIfoView& original)
{
    SCOPED_TRACE(place.dom + " vts " + place.vts + " lu " + place.lu + " pgc " + std::to_string(nPgc));
    if (!dump.empty())
        ComparePgcRecords(dump, place, nPgc, pgc);

    // Written back, the PGCI is the one dvdauthor wrote, playback times
    // included (they are computed from the navigation packs). Only the
    // playback time of a PGC without cells differs: dvdauthor leaves its
    // frame-rate bits as they happen to be.
    kxtest::RecordingLog log;
    std::vector<BYTE> out(pgc.GetIfoSize());
    ASSERT_TRUE(pgc.WriteIfo(log, out.data())) << log.Dump();
    ASSERT_TRUE(original.Contains(0, out.size()));
    std::vector<BYTE> expected(original.GetData(), original.GetData() + out.size());
    if (pgc.GetCellCount() == 0)
        std::copy(expected.begin() + 4, expected.begin() + 8, out.begin() + 4);
    EXPECT_EQ(Hex(expected.data(), expected.size()), Hex(out.data(), out.size()));
}

void CompareTable(const std::vector<kxtest::IfoRecord>& dump, const Place& place, const CPgcTable& table,
                  const CIfoView& bytes)
{
    for (uint32_t i = 0; i < table.GetPgcCount(); ++i)
        ComparePgc(dump, place, int(i) + 1, *table.GetPgc(i), bytes.From(GetBE32(bytes.GetData() + 12 + 8 * i)));
    kxtest::RecordingLog log;
    std::vector<BYTE> out(table.GetIfoSize());
    ASSERT_TRUE(table.WriteIfo(log, out.data())) << log.Dump();
    // Count, end address and search pointers.
    const size_t nHeader = 8 + 8 * size_t(table.GetPgcCount());
    EXPECT_EQ(Hex(bytes.GetData(), nHeader), Hex(out.data(), nHeader));
}

// The address tables as read against libdvdread's records.
void CompareAddressRecords(const std::vector<kxtest::IfoRecord>& dump, const Place& place,
                           const CCellAddressList& cells, const CVobuAddressList& vobus)
{
    const auto addresses = kxtest::Select(dump, "cadr", {{"dom", place.dom}, {"vts", place.vts}});
    ASSERT_EQ(addresses.size(), cells.GetSize());
    for (uint32_t i = 0; i < cells.GetSize(); ++i)
    {
        EXPECT_EQ(addresses[i].Num("vob"), cells[i]->m_wVobId);
        EXPECT_EQ(addresses[i].Num("cell"), cells[i]->m_nCellId);
        EXPECT_EQ(addresses[i].Num("first"), cells[i]->m_dwFirstSector);
        EXPECT_EQ(addresses[i].Num("last"), cells[i]->m_dwLastSector);
    }
    const auto vobuRecords = kxtest::Select(dump, "vobu", {{"dom", place.dom}, {"vts", place.vts}});
    ASSERT_EQ(vobuRecords.size(), size_t(vobus.GetSize()));
    for (int32_t i = 0; i < vobus.GetSize(); ++i)
        EXPECT_EQ(vobuRecords[size_t(i)].Num("sector"), vobus[i]);
}

void CompareAddressTables(const std::vector<kxtest::IfoRecord>& dump, const Place& place, const CIfoView& cadt,
                          const CIfoView& admap, CCellAddressList& cells, CVobuAddressList& vobus)
{
    SCOPED_TRACE(place.dom + " vts " + place.vts);
    ASSERT_TRUE(ReadCellAddressTable(cadt, cells));
    ASSERT_TRUE(ReadVobuAddressMap(admap, vobus));
    if (!dump.empty())
        CompareAddressRecords(dump, place, cells, vobus);

    // Written back: the same bytes, as far as the end address says.
    CCellAddressList copy;
    ReadCellAddressTable(cadt, copy);
    std::vector<BYTE> out(8 + 12 * size_t(copy.GetSize()));
    const size_t nCells = WriteCellAddressTable(out.data(), copy);
    EXPECT_EQ(Hex(cadt.GetData(), nCells), Hex(out.data(), nCells));
    std::vector<BYTE> map(4 + 4 * size_t(vobus.GetSize()));
    const size_t nMap = WriteVobuAddressMap(map.data(), vobus);
    EXPECT_EQ(Hex(admap.GetData(), nMap), Hex(map.data(), nMap));
}

void CompareMenus(const std::vector<kxtest::IfoRecord>& dump, const Place& domainPlace, const CIfoView& bytes,
                  CAngleBlockList& domain)
{
    CLanguageUnits units(nullptr);
    units.SetDomain(&domain);
    kxtest::RecordingLog log;
    ASSERT_TRUE(units.ReadIfo(log, &domain, bytes)) << log.Dump();
    EXPECT_EQ(0, log.Count('W')) << log.Dump();
    const auto lus = kxtest::Select(dump, "lu", {{"dom", domainPlace.dom}, {"vts", domainPlace.vts}});
    if (!dump.empty())
    {
        ASSERT_EQ(lus.size(), units.GetUnitCount());
    }
    for (uint32_t i = 0; i < units.GetUnitCount(); ++i)
    {
        if (!dump.empty())
        {
            BYTE code[2];
            units.GetUnit(i)->GetLanguageBytes(code);
            EXPECT_EQ(lus[i].Get("lang"), std::string(reinterpret_cast<char*>(code), 2));
            EXPECT_EQ(lus[i].Num("exists"), units.GetUnit(i)->GetMenuExistence());
            EXPECT_EQ(lus[i].Num("pgcs"), units.GetUnit(i)->GetPgcCount());
        }
        Place place = domainPlace;
        place.lu = std::to_string(i + 1);
        CompareTable(dump, place, *units.GetUnit(i), bytes.From(GetBE32(bytes.GetData() + 12 + 8 * i)));
    }
    // Codes, existence flags and offsets as dvdauthor laid them out.
    std::vector<BYTE> out(units.GetIfoSize());
    ASSERT_TRUE(units.WriteIfo(log, out.data()));
    const size_t nHeader = 8 + 8 * size_t(units.GetUnitCount());
    EXPECT_EQ(Hex(bytes.GetData(), nHeader), Hex(out.data(), nHeader));
}

// Where kx_ifodump is not built (the Windows build) only the bytes written
// back are compared.
void CheckDisc(const char* pszFixture)
{
    const std::string dir = kxtest::FixtureDir(pszFixture);
    if (dir.empty())
        GTEST_SKIP() << kxtest::MissingFixtureMessage(pszFixture);
    const std::string ts = dir + "/VIDEO_TS/";
    const std::vector<kxtest::IfoRecord> dump =
        kxtest::IfoDumpTool().empty() ? std::vector<kxtest::IfoRecord>() : kxtest::IfoDump(dir);

    // The Video Manager: first-play PGC and menus.
    const std::vector<BYTE> vmg = ReadFile(ts + "VIDEO_TS.IFO");
    ASSERT_GT(vmg.size(), 0x100u);
    {
        Place place{"vmgm", "0", ""};
        CAngleBlockList domain(nullptr);
        CCellAddressList cells;
        CVobuAddressList vobus;
        const bool bMenus = GetBE32(&vmg[0xC8]) != 0;
        if (bMenus)
        {
            CompareAddressTables(dump, place, TableAt(vmg, 0xD8), TableAt(vmg, 0xDC), cells, vobus);
            VobSet vobs;
            vobs.Add(ts + "VIDEO_TS.VOB");
            BuildDomain(domain, cells, vobus, vobs);
            CompareMenus(dump, place, TableAt(vmg, 0xC8), domain);
        }
        const DWORD dwFirstPlay = GetBE32(&vmg[0x84]);
        if (dwFirstPlay)
        {
            CPgc firstPlay(0, nullptr);
            CPgcCategory category;
            category.nMenu = 1;
            kxtest::RecordingLog log;
            const CIfoView bytes = CIfoView(vmg.data(), vmg.size()).From(dwFirstPlay);
            ASSERT_TRUE(firstPlay.ReadIfo(log, category, &domain, bytes)) << log.Dump();
            ComparePgc(dump, Place{"fp", "0", ""}, 1, firstPlay, bytes);
        }
    }

    for (int nVts = 1; nVts <= GetBE16(&vmg[0x3E]); ++nVts)
    {
        char name[32];
        std::snprintf(name, sizeof(name), "VTS_%02d_", nVts);
        const std::vector<BYTE> ifo = ReadFile(ts + name + "0.IFO");
        ASSERT_GT(ifo.size(), 0x100u);
        const std::string vts = std::to_string(nVts);

        // Titles and chapters, and their bytes written back.
        CVtsTitles titles(nullptr);
        kxtest::RecordingLog log;
        const CIfoView ptt = TableAt(ifo, 0xC8);
        ASSERT_TRUE(titles.ReadIfo(log, ptt)) << log.Dump();
        const auto chapters = kxtest::Select(dump, "ptt", {{"vts", vts}});
        size_t nChapter = 0;
        for (uint32_t t = 0; t < titles.GetTitleCount() && !dump.empty(); ++t)
        {
            for (uint32_t c = 0; c < titles.GetTitle(t)->GetChapterCount(); ++c, ++nChapter)
            {
                ASSERT_LT(nChapter, chapters.size());
                EXPECT_EQ(chapters[nChapter].Num("ttn"), t + 1);
                EXPECT_EQ(chapters[nChapter].Num("pgcn"), titles.GetTitle(t)->GetChapter(c)->m_wPgc + 1);
                EXPECT_EQ(chapters[nChapter].Num("pgn"), titles.GetTitle(t)->GetChapter(c)->m_wProgram + 1);
            }
        }
        EXPECT_EQ(chapters.size(), nChapter);
        std::vector<BYTE> pttOut(titles.GetIfoSize());
        ASSERT_TRUE(titles.WriteIfo(log, pttOut.data()));
        EXPECT_EQ(Hex(ptt.GetData(), pttOut.size()), Hex(pttOut.data(), pttOut.size()));

        // Menus.
        if (GetBE32(&ifo[0xD0]) != 0)
        {
            Place place{"vtsm", vts, ""};
            CCellAddressList cells;
            CVobuAddressList vobus;
            CompareAddressTables(dump, place, TableAt(ifo, 0xD8), TableAt(ifo, 0xDC), cells, vobus);
            VobSet vobs;
            vobs.Add(ts + name + "0.VOB");
            CAngleBlockList domain(nullptr);
            BuildDomain(domain, cells, vobus, vobs);
            CompareMenus(dump, place, TableAt(ifo, 0xD0), domain);
        }

        // Titles: the PGC table and the time map.
        Place place{"vts", vts, ""};
        CCellAddressList cells;
        CVobuAddressList vobus;
        CompareAddressTables(dump, place, TableAt(ifo, 0xE0), TableAt(ifo, 0xE4), cells, vobus);
        VobSet vobs;
        for (int n = 1; n <= 9; ++n)
            vobs.Add(ts + name + std::to_string(n) + ".VOB");
        CAngleBlockList domain(nullptr);
        BuildDomain(domain, cells, vobus, vobs);
        CPgcTable table(0, nullptr);
        table.SetDomain(&domain);
        table.SetTitles(&titles);
        titles.SetPgcTable(&table);
        const CIfoView pgcit = TableAt(ifo, 0xCC);
        ASSERT_TRUE(table.ReadIfo(log, &domain, pgcit)) << log.Dump();
        EXPECT_EQ(0, log.Count('W')) << log.Dump();
        CompareTable(dump, place, table, pgcit);

        std::vector<BYTE> map(table.GetTimeMapSize());
        ASSERT_TRUE(table.CreateTimeMap(log, map.data(), nullptr));
        for (uint32_t i = 0; i < table.GetPgcCount(); ++i)
        {
            const CPgc* pPgc = table.GetPgc(i);
            if (dump.empty() || pPgc->GetTitleNumber() == 0 || !table.IsSinglePgcTitle(pPgc->GetTitleNumber() - 1u))
                continue;
            const auto tmap = kxtest::Select(dump, "tmap", {{"vts", vts}, {"pgc", std::to_string(i + 1)}});
            ASSERT_EQ(1u, tmap.size());
            const BYTE* pMap = &map[GetBE32(&map[8 + 4 * i])];
            const int nCount = GetBE16(pMap + 2);
            EXPECT_NEAR(double(tmap[0].Num("count")), double(nCount), 1.0) << "pgc " << i + 1;
            if (nCount > 0)
            {
                EXPECT_EQ(tmap[0].Num("unit"), pMap[0]);
            }
            for (int e = 1; e < nCount; ++e)
                EXPECT_LT(GetBE32(pMap + 4 * e) & 0x7FFFFFFF, GetBE32(pMap + 4 + 4 * e) & 0x7FFFFFFF);
        }
    }
}

} // namespace

TEST(PgcFixtures, Pal1)
{
    CheckDisc("pal1");
}

TEST(PgcFixtures, NtscMenu)
{
    CheckDisc("ntscmenu");
}

TEST(PgcFixtures, TwoTitleSets)
{
    CheckDisc("twovts");
}

TEST(PgcFixtures, CommandTable)
{
    CheckDisc("cmdtable");
}

TEST(PgcFixtures, SplitVobFiles)
{
    CheckDisc("pal1split");
}

TEST(PgcFixtures, DamagedTablesNeverReadOutside)
{
    const std::string dir = kxtest::FixtureDir("ntscmenu");
    if (dir.empty())
        GTEST_SKIP() << kxtest::MissingFixtureMessage("ntscmenu");
    const std::vector<BYTE> ifo = ReadFile(dir + "/VIDEO_TS/VTS_01_0.IFO");
    ASSERT_GT(ifo.size(), 0x100u);
    // Damage falls on the tables after the header.
    const size_t nTables = size_t(GetBE32(&ifo[0xC8])) * SECTOR;
    ASSERT_LT(nTables, ifo.size());

    std::mt19937 random(20261210);
    for (int round = 0; round < 300; ++round)
    {
        std::vector<BYTE> damaged = ifo;
        for (int k = 0; k < 12; ++k)
            damaged[nTables + random() % (damaged.size() - nTables)] = BYTE(random());
        // Cut the image short now and then, so tables run off its end.
        if (round % 3 == 0)
            damaged.resize(nTables + random() % (damaged.size() - nTables));

        CAngleBlockList domain(nullptr);
        CCellAddressList cells;
        CVobuAddressList vobus;
        ReadCellAddressTable(TableAt(damaged, 0xE0), cells);
        ReadVobuAddressMap(TableAt(damaged, 0xE4), vobus);
        kxtest::RecordingLog log;
        CVtsTitles titles(nullptr);
        if (!titles.ReadIfo(log, TableAt(damaged, 0xC8)))
        {
            EXPECT_GT(log.Count('E'), 0);
        }
        CPgcTable table(0, nullptr);
        kxtest::RecordingLog tableLog;
        if (!table.ReadIfo(tableLog, &domain, TableAt(damaged, 0xCC)))
        {
            EXPECT_GT(tableLog.Count('E'), 0);
        }
        CAngleBlockList menus(nullptr, true);
        CLanguageUnits units(nullptr);
        kxtest::RecordingLog unitLog;
        if (!units.ReadIfo(unitLog, &menus, TableAt(damaged, 0xD0)))
        {
            EXPECT_GT(unitLog.Count('E'), 0);
        }
    }
}
