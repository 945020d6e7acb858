// End-to-end round trips through kx_export_driver: every fixture disc is
// imported and exported unchanged, then the VOB data, the decoded video and
// a second import of the export are compared with the source; the edits of
// the driver are exported and read back with kx_ifodump.

#include "DVD/source/DVD.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/Menu.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/MemoryProjectStream.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <map>
#include <random>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace
{

const size_t kSector = 2048;

std::string Driver()
{
    const char* path = std::getenv("KX_EXPORT_DRIVER");
    return path ? std::string(path) : std::string();
}

// Runs a command; its standard output lands in a file whose text is
// answered in output. Answers the exit status.
int RunCommand(const std::string& command, const std::string& outputFile, std::string& output)
{
    const int status = std::system((command + " > '" + outputFile + "' 2>&1").c_str());
    output.clear();
    if (std::FILE* f = std::fopen(outputFile.c_str(), "rb"))
    {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            output.append(buf, n);
        std::fclose(f);
    }
    return status;
}

bool Exists(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f)
        std::fclose(f);
    return f != nullptr;
}

std::vector<unsigned char> ReadAll(const std::string& path)
{
    std::vector<unsigned char> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb"))
    {
        unsigned char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    return bytes;
}

// The VOB files of one domain of a VIDEO_TS folder, in order.
std::vector<std::string> DomainFiles(const std::string& videoTs, int vts, bool menu)
{
    std::vector<std::string> files;
    char name[32];
    if (menu)
    {
        if (vts == 0)
            std::snprintf(name, sizeof name, "VIDEO_TS.VOB");
        else
            std::snprintf(name, sizeof name, "VTS_%02d_0.VOB", vts);
        if (Exists(videoTs + "/" + name))
            files.push_back(videoTs + "/" + name);
        return files;
    }
    for (int k = 1; k <= 9; ++k)
    {
        std::snprintf(name, sizeof name, "VTS_%02d_%d.VOB", vts, k);
        if (!Exists(videoTs + "/" + name))
            break;
        files.push_back(videoTs + "/" + name);
    }
    return files;
}

std::vector<unsigned char> Concat(const std::vector<std::string>& files)
{
    std::vector<unsigned char> all;
    for (const std::string& f : files)
    {
        std::vector<unsigned char> part = ReadAll(f);
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// Removes an exported folder and its files (a scratch folder removes only
// its own files).
void RemoveExport(const std::string& folder)
{
    std::vector<std::string> names;
    kx::ListFiles(folder, names);
    for (const std::string& name : names)
        kx::RemoveFile(kx::JoinPath(folder, name));
    kx::RemoveFolder(folder);
}

bool IsNavPack(const unsigned char* s)
{
    return s[14] == 0 && s[15] == 0 && s[16] == 1 && s[17] == 0xBB;
}

class ExportRoundTrip : public ::testing::TestWithParam<const char*>
{
};

TEST_P(ExportRoundTrip, AnUnchangedDiscComesBackTheSame)
{
    KX_REQUIRE_FIXTURE(dir, GetParam());
    ASSERT_FALSE(Driver().empty()) << "KX_EXPORT_DRIVER is not set";
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    const std::string source = dir + "/VIDEO_TS";
    const std::string out = scratch.File("VIDEO_TS");
    std::string log;
    ASSERT_EQ(RunCommand("'" + Driver() + "' '" + source + "' --export '" + out + "'", scratch.File("export.txt"), log),
              0)
        << log;
    EXPECT_NE(log.find("write: ok"), std::string::npos) << log;

    // Every domain: the same sectors, NAV packs that know their new place.
    int domains = 0;
    for (int vts = 0; vts <= 99; ++vts)
    {
        for (bool menu : {true, false})
        {
            if (vts == 0 && !menu)
                continue;
            std::vector<std::string> sourceFiles = DomainFiles(source, vts, menu);
            if (sourceFiles.empty())
                continue;
            ++domains;
            SCOPED_TRACE("vts " + std::to_string(vts) + (menu ? " menu" : " titles"));
            std::vector<unsigned char> a = Concat(sourceFiles);
            std::vector<unsigned char> b = Concat(DomainFiles(out, vts, menu));
            ASSERT_EQ(a.size(), b.size());
            for (size_t s = 0; s < a.size() / kSector; ++s)
            {
                const unsigned char* pa = a.data() + s * kSector;
                const unsigned char* pb = b.data() + s * kSector;
                if (IsNavPack(pa))
                {
                    PciPacket pci;
                    pci.ReadFromSector(pb);
                    EXPECT_EQ(pci.GetNvPckLbn(), s);
                }
                else
                    EXPECT_EQ(0, std::memcmp(pa, pb, kSector)) << "sector " << s;
            }
        }
    }
    EXPECT_GE(domains, 1);

    // The decoded video of the first title set's titles.
    std::string md5a, md5b;
    auto concat = [](const std::vector<std::string>& files)
    {
        std::string list = "concat:";
        for (size_t i = 0; i < files.size(); ++i)
            list += (i ? "|" : "") + files[i];
        return list;
    };
    if (RunCommand("ffmpeg -version", scratch.File("v.txt"), md5a) == 0)
    {
        ASSERT_EQ(
            RunCommand("ffmpeg -v error -i '" + concat(DomainFiles(source, 1, false)) + "' -map 0:v -f framemd5 -",
                       scratch.File("a.md5"), md5a),
            0);
        ASSERT_EQ(RunCommand("ffmpeg -v error -i '" + concat(DomainFiles(out, 1, false)) + "' -map 0:v -f framemd5 -",
                             scratch.File("b.md5"), md5b),
                  0);
        EXPECT_FALSE(md5a.empty());
        EXPECT_EQ(md5a, md5b);
    }

    // The export imports again without any repair.
    ASSERT_EQ(RunCommand("'" + Driver() + "' '" + out + "'", scratch.File("reimport.txt"), log), 0) << log;
    EXPECT_EQ(log.find("warning"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ExportRoundTrip, ::testing::Values("pal1", "pal1split", "ntscmenu", "twovts"));

// The decoded pictures (4:2:0, each frame as it was decoded, none repeated
// to fill gaps in time) of a list of VOB files, or "" when ffmpeg is not
// there.
std::string DecodeFrames(const std::vector<std::string>& files, const kxtest::ScratchFolder& scratch)
{
    std::string list = "concat:";
    for (size_t i = 0; i < files.size(); ++i)
        list += (i ? "|" : "") + files[i];
    std::string luma;
    if (RunCommand("ffmpeg -version", scratch.File("v.txt"), luma) != 0)
        return std::string();
    RunCommand("ffmpeg -v error -i '" + list + "' -map 0:v -vsync passthrough -f rawvideo -pix_fmt yuv420p -",
               scratch.File("frames.raw"), luma);
    return luma;
}

// The number of frames ffmpeg decodes from a list of VOB files.
size_t CountFrames(const std::vector<std::string>& files, const kxtest::ScratchFolder& scratch)
{
    std::string list = "concat:";
    for (size_t i = 0; i < files.size(); ++i)
        list += (i ? "|" : "") + files[i];
    std::string md5;
    RunCommand("ffmpeg -v error -i '" + list + "' -map 0:v -vsync passthrough -f framemd5 -",
               scratch.File("frames.md5"), md5);
    size_t frames = 0;
    for (size_t line = 0; line < md5.size(); line = md5.find('\n', line) + 1)
    {
        if (md5[line] != '#')
            ++frames;
        if (md5.find('\n', line) == std::string::npos)
            break;
    }
    return frames;
}

// Every cell of the title hidden: the export decodes as one black frame
// (Y = 16) per cell, the length of the blank stock cell; cut cells decode to
// fewer frames than their source.
TEST(ExportEdits, HiddenCellsDecodeBlackAndCutCellsShorter)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    ASSERT_FALSE(Driver().empty()) << "KX_EXPORT_DRIVER is not set";
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    const std::string source = dir + "/VIDEO_TS";
    const std::string hidden = scratch.File("hidden");
    const std::string cut = scratch.File("cut");
    std::string log;
    ASSERT_EQ(RunCommand("'" + Driver() + "' '" + source +
                             "' --edit hide:vts1:0 --edit hide:vts1:1 --edit hide:vts1:2" + " --export '" + hidden +
                             "'",
                         scratch.File("hidden.txt"), log),
              0)
        << log;
    ASSERT_EQ(RunCommand("'" + Driver() + "' '" + source +
                             "' --edit cutfrom:vts1:0:0 --edit cutto:vts1:2:2 --export '" + cut + "'",
                         scratch.File("cut.txt"), log),
              0)
        << log;

    const size_t luma = 720 * 576;
    const size_t frame = luma * 3 / 2;
    const std::string blank = DecodeFrames(DomainFiles(hidden, 1, false), scratch);
    if (blank.empty())
        GTEST_SKIP() << "ffmpeg is not available";
    ASSERT_EQ(blank.size(), 3 * frame);
    size_t off = 0;
    for (size_t f = 0; f < 3; ++f)
        for (size_t i = 0; i < luma; ++i)
            if (static_cast<unsigned char>(blank[f * frame + i]) != 16)
                ++off;
    EXPECT_EQ(off, 0u);

    const size_t full = CountFrames(DomainFiles(source, 1, false), scratch);
    const size_t shorter = CountFrames(DomainFiles(cut, 1, false), scratch);
    EXPECT_GT(shorter, 0u);
    EXPECT_LT(shorter, full);

    for (const std::string& folder : {hidden, cut})
        RemoveExport(folder);
}

// ---- Disc-wide operations, merge and the validator through the driver ----------------

// Runs the driver with the arguments; answers its exit code (-1 when it did
// not exit normally) and its output in log.
int RunDriver(const std::string& arguments, const kxtest::ScratchFolder& scratch, std::string& log)
{
    const int status = RunCommand("'" + Driver() + "' " + arguments, scratch.File("driver.txt"), log);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Stores a disc as a project file.
bool StoreProjectFile(CDvd& dvd, const std::string& path)
{
    kxtest::RecordingLog log;
    kxtest::MemoryProjectWriter writer;
    if (!dvd.Store(log, writer, nullptr))
        return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool bWritten = std::fwrite(writer.bytes.data(), 1, writer.bytes.size(), f) == writer.bytes.size();
    return std::fclose(f) == 0 && bWritten;
}

// The disc of a fixture, read in this process.
struct FixtureDisc
{
    explicit FixtureDisc(const std::string& dir) { ok = dvd.Read(log, (dir + "/VIDEO_TS").c_str(), nullptr); }
    kxtest::RecordingLog log;
    CDvd dvd;
    bool ok = false;
};

// The file names of an exported folder, sorted.
std::vector<std::string> SortedFiles(const std::string& folder)
{
    std::vector<std::string> names;
    kx::ListFiles(folder, names);
    std::sort(names.begin(), names.end());
    return names;
}

// Every file of two exports has the same bytes.
void ExpectSameExport(const std::string& a, const std::string& b)
{
    const std::vector<std::string> names = SortedFiles(a);
    EXPECT_EQ(names, SortedFiles(b));
    EXPECT_FALSE(names.empty());
    for (const std::string& name : names)
        EXPECT_TRUE(ReadAll(a + "/" + name) == ReadAll(b + "/" + name)) << name;
}

// The commands of one kind of a PGC in kx_ifodump's record form, in order.
std::vector<std::string> CommandBytes(const std::vector<kxtest::IfoRecord>& records,
                                      const std::vector<std::pair<std::string, std::string>>& place)
{
    std::vector<std::string> bytes;
    for (const kxtest::IfoRecord& r : kxtest::Select(records, "cmd", place))
        bytes.push_back(r.Get("bytes"));
    return bytes;
}

std::vector<unsigned char> HexBytes(const std::string& hex)
{
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

TEST(DriverOperations, EnableUopsOnAStoredProjectThatProhibitsOperations)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    KX_REQUIRE_IFODUMP();
    kxtest::ScratchFolder scratch;
    FixtureDisc disc(dir);
    ASSERT_TRUE(disc.ok);
    disc.dvd.ModifyUops(0, 0x00FFF800);
    const std::string project = scratch.File("uops.kxp");
    ASSERT_TRUE(StoreProjectFile(disc.dvd, project));
    const std::string plain = scratch.File("plain");
    const std::string enabled = scratch.File("enabled");
    std::string log;
    ASSERT_EQ(RunDriver("--load '" + project + "' --export '" + plain + "'", scratch, log), 0) << log;
    ASSERT_EQ(RunDriver("--load '" + project + "' --op enable-uops --export '" + enabled + "'", scratch, log), 0)
        << log;

    auto prohibited = [](const std::vector<kxtest::IfoRecord>& records, const char* kind)
    {
        size_t count = 0;
        for (const kxtest::IfoRecord& r : kxtest::Select(records, kind))
            count += r.Num("uops") != 0;
        return count;
    };
    const auto plainIfo = kxtest::IfoDump(plain);
    const auto plainNav = kxtest::IfoDump(plain, true);
    EXPECT_EQ(prohibited(plainIfo, "pgc"), kxtest::Select(plainIfo, "pgc").size());
    EXPECT_GT(prohibited(plainNav, "nav"), 0u);
    const auto enabledIfo = kxtest::IfoDump(enabled);
    const auto enabledNav = kxtest::IfoDump(enabled, true);
    EXPECT_GE(kxtest::Select(enabledIfo, "pgc").size(), 8u);
    EXPECT_EQ(prohibited(enabledIfo, "pgc"), 0u);
    EXPECT_GT(kxtest::Select(enabledNav, "nav").size(), 0u);
    EXPECT_EQ(prohibited(enabledNav, "nav"), 0u);
    RemoveExport(plain);
    RemoveExport(enabled);
}

TEST(DriverOperations, RemoveParentalDropsTheTableAndTheLevelChanges)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    KX_REQUIRE_IFODUMP();
    kxtest::ScratchFolder scratch;
    FixtureDisc disc(dir);
    ASSERT_TRUE(disc.ok);
    // No fixture maker writes parental management: a table for one country
    // and a SetTmpPML 4 (then goto line 1) in the VMG menu.
    CParentalRecord* pRecord = new CParentalRecord;
    pRecord->nCountry = uint16_t('U' << 8 | 'S');
    for (int level = 0; level < 8; ++level)
        pRecord->masks[level] = 0xFFFF;
    disc.dvd.GetVmg().GetParentalRecords().Add(pRecord);
    const BYTE setLevel[8] = {0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x04, 0x01};
    disc.dvd.GetVmg().GetLanguageUnits().GetUnit(0)->GetPgc(0)->m_preCommands.Add(setLevel);
    const std::string project = scratch.File("parental.kxp");
    ASSERT_TRUE(StoreProjectFile(disc.dvd, project));
    const std::string plain = scratch.File("plain");
    const std::string removed = scratch.File("removed");
    std::string log;
    ASSERT_EQ(RunDriver("--load '" + project + "' --export '" + plain + "'", scratch, log), 0) << log;
    ASSERT_EQ(RunDriver("--load '" + project + "' --op remove-parental --export '" + removed + "'", scratch, log), 0)
        << log;
    EXPECT_NE(log.find("op: has-parental: false"), std::string::npos) << log;

    auto levelChanges = [](const std::vector<kxtest::IfoRecord>& records)
    {
        size_t count = 0;
        for (const kxtest::IfoRecord& r : kxtest::Select(records, "cmd"))
            count += r.Get("bytes").compare(0, 4, "0003") == 0;
        return count;
    };
    const auto plainIfo = kxtest::IfoDump(plain);
    EXPECT_EQ(kxtest::Select(plainIfo, "vmg")[0].Num("ptl"), 1);
    EXPECT_EQ(kxtest::Select(plainIfo, "vmg")[0].Num("ptl_countries"), 1);
    EXPECT_EQ(levelChanges(plainIfo), 1u);
    const auto removedIfo = kxtest::IfoDump(removed);
    EXPECT_EQ(kxtest::Select(removedIfo, "vmg")[0].Num("ptl"), 0);
    EXPECT_EQ(levelChanges(removedIfo), 0u);
    // The level change became its goto.
    const std::vector<std::string> pre =
        CommandBytes(removedIfo, {{"dom", "vmgm"}, {"lu", "1"}, {"pgc", "1"}, {"kind", "pre"}});
    ASSERT_FALSE(pre.empty());
    EXPECT_EQ(pre.back(), "0001000000000001");
    RemoveExport(plain);
    RemoveExport(removed);
}

// The highlight records of a navigation dump without the VOBU number.
std::multiset<std::string> Buttons(const std::vector<kxtest::IfoRecord>& nav)
{
    std::multiset<std::string> buttons;
    for (const kxtest::IfoRecord& r : kxtest::Select(nav, "btn"))
    {
        std::string text = r.Get("dom") + r.Get("vts");
        for (const auto& field : r.fields)
            if (field.first != "n")
                text += " " + field.first + "=" + field.second;
        buttons.insert(text);
    }
    return buttons;
}

// The luma of the pictures ffmpeg decodes from sectors of a VOB file.
std::string DecodeSectors(const std::string& vob, long long first, long long last, const kxtest::ScratchFolder& scratch)
{
    const std::vector<unsigned char> all = ReadAll(vob);
    const std::string part = scratch.File("part.vob");
    if (std::FILE* f = std::fopen(part.c_str(), "wb"))
    {
        std::fwrite(all.data() + first * kSector, 1, size_t(last - first + 1) * kSector, f);
        std::fclose(f);
    }
    return DecodeFrames({part}, scratch);
}

TEST(DriverOperations, MenuTransitionsAndStillMenus)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    KX_REQUIRE_IFODUMP();
    kxtest::ScratchFolder scratch;
    const std::string source = dir + "/VIDEO_TS";
    const std::string hidden = scratch.File("hidden");
    const std::string still = scratch.File("still");
    std::string log;
    ASSERT_EQ(RunDriver("'" + source + "' --op hide-transitions --export '" + hidden + "'", scratch, log), 0) << log;
    ASSERT_EQ(RunDriver("'" + source + "' --op menus-to-still --export '" + still + "'", scratch, log), 0) << log;
    const std::multiset<std::string> sourceButtons = Buttons(kxtest::IfoDump(dir, true));
    EXPECT_GE(sourceButtons.size(), 3u);
    const size_t luma = 720 * 480;
    const size_t frame = luma * 3 / 2;
    for (const std::string& out : {hidden, still})
    {
        SCOPED_TRACE(out);
        const auto ifo = kxtest::IfoDump(out);
        // The menus with buttons keep them, commands and all.
        EXPECT_EQ(Buttons(kxtest::IfoDump(out, true)), sourceButtons);
        // The French unit's still without buttons plays a blank.
        const auto blank = kxtest::Select(ifo, "cell", {{"dom", "vtsm"}, {"lu", "2"}, {"pgc", "2"}});
        ASSERT_EQ(blank.size(), 1u);
        const std::string pictures =
            DecodeSectors(out + "/VTS_01_0.VOB", blank[0].Num("first"), blank[0].Num("last"), scratch);
        if (pictures.empty())
            GTEST_SKIP() << "ffmpeg is not available";
        ASSERT_EQ(pictures.size() % frame, 0u);
        size_t off = 0;
        for (size_t f = 0; f < pictures.size() / frame; ++f)
            for (size_t i = 0; i < luma; ++i)
                off += static_cast<unsigned char>(pictures[f * frame + i]) != 16;
        EXPECT_EQ(off, 0u);
    }
    // Every menu with buttons is one still picture.
    const auto ifo = kxtest::IfoDump(still);
    for (const auto& place :
         std::vector<std::pair<std::string, std::string>>{{"vmgm", "1"}, {"vtsm", "1"}, {"vtsm", "2"}})
    {
        const auto cells = kxtest::Select(ifo, "cell", {{"dom", place.first}, {"lu", place.second}, {"pgc", "1"}});
        ASSERT_EQ(cells.size(), 1u);
        const std::string vob = still + (place.first == "vmgm" ? "/VIDEO_TS.VOB" : "/VTS_01_0.VOB");
        const std::string pictures = DecodeSectors(vob, cells[0].Num("first"), cells[0].Num("last"), scratch);
        EXPECT_EQ(pictures.size(), frame) << place.first << " " << place.second;
    }
    RemoveExport(hidden);
    RemoveExport(still);
}

TEST(DriverOperations, BypassOnADiscWithoutHiddenBlocksChangesNoByte)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    kxtest::ScratchFolder scratch;
    const std::string source = dir + "/VIDEO_TS";
    const std::string plain = scratch.File("plain");
    const std::string bypassed = scratch.File("bypassed");
    std::string log;
    ASSERT_EQ(RunDriver("'" + source + "' --export '" + plain + "'", scratch, log), 0) << log;
    ASSERT_EQ(RunDriver("'" + source + "' --op bypass-hidden --export '" + bypassed + "'", scratch, log), 0) << log;
    EXPECT_NE(log.find("op: bypass-hidden: false"), std::string::npos) << log;
    ExpectSameExport(plain, bypassed);
    RemoveExport(plain);
    RemoveExport(bypassed);
}

TEST(DriverValidate, BrokenReferencesArePrintedAndFail)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    kxtest::ScratchFolder scratch;
    std::string log;
    ASSERT_EQ(RunDriver("'" + dir + "/VIDEO_TS' --validate", scratch, log), 0) << log;
    EXPECT_NE(log.find("validate: 0 messages"), std::string::npos) << log;

    FixtureDisc disc(dir);
    ASSERT_TRUE(disc.ok);
    disc.dvd.GetVts(0)->GetPgcTable().GetPgc(1)->GetCell(0)->m_nCellCommand = 4;
    disc.dvd.GetVts(0)->GetPgcTable().GetPgc(0)->m_wNextPgc = 9;
    const std::string project = scratch.File("broken.kxp");
    ASSERT_TRUE(StoreProjectFile(disc.dvd, project));
    ASSERT_EQ(RunDriver("--load '" + project + "' --validate", scratch, log), 1) << log;
    EXPECT_NE(log.find("\nVTS 1/PGCs/PGC 1:NextPgc >> Invalid NextPGC destination\n"), std::string::npos) << log;
    EXPECT_NE(log.find("\nVTS 1/PGCs/PGC 2/ c1 >> Reference to Cell Command 4 while there are only 1 Cell "
                       "Commands(s).\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("validate: 2 messages"), std::string::npos) << log;
}

TEST(DriverMerge, RefusedMergesPrintTheCheckAndFail)
{
    KX_REQUIRE_FIXTURE(pal1, "pal1");
    KX_REQUIRE_FIXTURE(twovts, "twovts");
    kxtest::ScratchFolder scratch;
    std::string log;
    EXPECT_EQ(RunDriver("'" + pal1 + "/VIDEO_TS' --merge '" + twovts + "' --merge '" + pal1 + "'", scratch, log), 1);
    EXPECT_NE(log.find("merge: Select two disks for merger.\n"), std::string::npos) << log;
    EXPECT_NE(log.find("merge: failed"), std::string::npos) << log;
}

// The validator's messages of a driver run, without their paths. (A merge
// copies the VMG menus into every language that a title set's menus have, so
// a source message may come back once per language.)
std::set<std::string> ValidatorTexts(const std::string& log)
{
    std::set<std::string> texts;
    for (size_t line = 0; line < log.size();)
    {
        size_t end = log.find('\n', line);
        if (end == std::string::npos)
            end = log.size();
        const std::string text = log.substr(line, end - line);
        const size_t arrow = text.find(" >> ");
        if (arrow != std::string::npos)
            texts.insert(text.substr(arrow));
        line = end + 1;
    }
    return texts;
}

class DriverMerge : public ::testing::TestWithParam<std::pair<const char*, const char*>>
{
};

TEST_P(DriverMerge, MergedDiscPlaysBothSourcesFromItsChooser)
{
    KX_REQUIRE_FIXTURE(first, GetParam().first);
    KX_REQUIRE_FIXTURE(second, GetParam().second);
    KX_REQUIRE_IFODUMP();
    kxtest::ScratchFolder scratch;
    const std::string merged = scratch.File("merged");
    const std::string again = scratch.File("again");
    const std::string project = scratch.File("merged.kxp");
    std::string log;
    ASSERT_EQ(RunDriver("'" + first + "/VIDEO_TS' --merge '" + second + "' --store '" + project + "' --export '" +
                            merged + "'",
                        scratch, log),
              0)
        << log;
    const auto a = kxtest::IfoDump(first);
    const auto b = kxtest::IfoDump(second);
    const auto m = kxtest::IfoDump(merged);
    const kxtest::IfoRecord va = kxtest::Select(a, "vmg")[0];
    const kxtest::IfoRecord vb = kxtest::Select(b, "vmg")[0];
    const kxtest::IfoRecord vm = kxtest::Select(m, "vmg")[0];
    const long long n = va.Num("vts_count") + vb.Num("vts_count") + 1;
    ASSERT_EQ(vm.Num("vts_count"), n);
    ASSERT_EQ(vm.Num("titles"), va.Num("titles") + vb.Num("titles") + 1);
    const auto last = kxtest::Select(m, "title", {{"n", std::to_string(vm.Num("titles"))}});
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].Num("vts"), n);
    EXPECT_EQ(last[0].Num("ttn"), 1);
    const std::string vtsN = std::to_string(n);
    const auto titlePgcs = kxtest::Select(m, "pgc", {{"dom", "vts"}, {"vts", vtsN}});
    ASSERT_EQ(titlePgcs.size(), 1u);
    EXPECT_EQ(titlePgcs[0].Num("programs"), 1);
    EXPECT_EQ(kxtest::Select(m, "ptt", {{"vts", vtsN}}).size(), 1u);

    // First Play: Jump VMG PGC x + 1, whose one command starts the root menu
    // of title set n.
    const std::vector<std::string> fp = CommandBytes(m, {{"dom", "fp"}, {"kind", "pre"}});
    ASSERT_EQ(fp.size(), 1u);
    const CNavCommand jump = CNavCommand::FromBytes(DVDDOMAIN_FIRST_PLAY, HexBytes(fp[0]).data());
    ASSERT_EQ(jump.GetInstruction().GetCode(), NAV_JUMP_VMG_PGC);
    const std::string x1 = std::to_string(jump.GetInstruction().GetParam(0));
    const std::vector<std::string> start =
        CommandBytes(m, {{"dom", "vmgm"}, {"lu", "1"}, {"pgc", x1}, {"kind", "pre"}});
    ASSERT_EQ(start.size(), 1u);
    const CNavCommand root = CNavCommand::FromBytes(DVDDOMAIN_VMG_MENU, HexBytes(start[0]).data());
    EXPECT_EQ(root.GetInstruction().GetCode(), NAV_JUMP_VTS_MENU);
    EXPECT_EQ(root.GetInstruction().GetParam(0), n);
    EXPECT_EQ(root.GetInstruction().GetParam(1), 3);
    EXPECT_EQ(root.GetInstruction().GetParam(2), 1);

    // The chooser: registers cleared, then the highlighted button picks the
    // disc.
    std::vector<std::string> pre;
    for (int r = 0; r < 16; ++r)
        pre.push_back(std::string("53000000000") + "0123456789abcdef"[r] + "0000");
    pre.push_back("5400000000000000");
    EXPECT_EQ(CommandBytes(m, {{"dom", "vtsm"}, {"vts", vtsN}, {"lu", "1"}, {"pgc", "1"}, {"kind", "pre"}}), pre);
    const std::vector<std::string> post =
        CommandBytes(m, {{"dom", "vtsm"}, {"vts", vtsN}, {"lu", "1"}, {"pgc", "1"}, {"kind", "post"}});
    ASSERT_EQ(post.size(), 6u);
    EXPECT_EQ(post[0], "6100000000880000");
    EXPECT_EQ(post[1], "00b1000004000005");
    EXPECT_EQ(post[2], "5300000000000000");
    EXPECT_EQ(post[4], "5300000000000000");
    const CNavCommand disc1 = CNavCommand::FromBytes(DVDDOMAIN_VTS_MENU, HexBytes(post[3]).data());
    const CNavCommand disc2 = CNavCommand::FromBytes(DVDDOMAIN_VTS_MENU, HexBytes(post[5]).data());
    ASSERT_EQ(disc1.GetInstruction().GetCode(), NAV_JUMP_VMG_PGC);
    ASSERT_EQ(disc2.GetInstruction().GetCode(), NAV_JUMP_VMG_PGC);
    // Button 2's path ends at disc 2's former First Play.
    const std::vector<std::string> former = CommandBytes(
        m,
        {{"dom", "vmgm"}, {"lu", "1"}, {"pgc", std::to_string(disc2.GetInstruction().GetParam(0))}, {"kind", "pre"}});
    EXPECT_EQ(former.size(), CommandBytes(b, {{"dom", "fp"}, {"kind", "pre"}}).size());
    const auto buttons = kxtest::Select(kxtest::IfoDump(merged, true), "btn", {{"dom", "vtsm"}, {"vts", vtsN}});
    ASSERT_GE(buttons.size(), 2u);
    for (const kxtest::IfoRecord& button : buttons)
    {
        EXPECT_LE(button.Num("b"), 2);
        EXPECT_EQ(button.Get("cmd"), "200100000000000d");
    }

    // Every title set plays the frames of its source.
    std::vector<std::pair<std::string, int>> sources;
    for (int v = 1; v <= va.Num("vts_count"); ++v)
        sources.emplace_back(first, v);
    for (int v = 1; v <= vb.Num("vts_count"); ++v)
        sources.emplace_back(second, v);
    for (size_t i = 0; i < sources.size(); ++i)
    {
        const std::string from =
            DecodeFrames(DomainFiles(sources[i].first + "/VIDEO_TS", sources[i].second, false), scratch);
        if (from.empty())
            break;
        EXPECT_TRUE(from == DecodeFrames(DomainFiles(merged, int(i + 1), false), scratch)) << "title set " << i + 1;
    }

    // No validator message beyond those of the sources.
    std::string logA, logB, logM;
    RunDriver("'" + first + "/VIDEO_TS' --validate", scratch, logA);
    RunDriver("'" + second + "/VIDEO_TS' --validate", scratch, logB);
    RunDriver("--load '" + project + "' --validate --export '" + again + "'", scratch, logM);
    std::set<std::string> expected = ValidatorTexts(logA);
    const std::set<std::string> fromB = ValidatorTexts(logB);
    expected.insert(fromB.begin(), fromB.end());
    EXPECT_EQ(ValidatorTexts(logM), expected) << logM;
    // Stored and loaded, the merged disc exports the same bytes again.
    ExpectSameExport(merged, again);
    RemoveExport(merged);
    RemoveExport(again);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DriverMerge,
                         ::testing::Values(std::make_pair("pal1", "twovts"), std::make_pair("ntscmenu", "cmdtable")));

// The first cell kx_navwalk reports for a disc (after activating a button of
// the first title-set menu when button is not 0), or "" when it failed.
std::string FirstCell(const std::string& disc, int button, const kxtest::ScratchFolder& scratch)
{
    const char* walker = std::getenv("KX_NAVWALK");
    std::string output;
    if (walker == nullptr)
        return output;
    const std::string command =
        std::string("'") + walker + "' '" + disc + "'" + (button ? " " + std::to_string(button) : std::string());
    // libdvdnav talks on both streams; the answer is the line of the cell.
    size_t at = std::string::npos;
    if (RunCommand(command, scratch.File("walk.txt"), output) != 0 ||
        (at = output.rfind("cell dom=")) == std::string::npos)
        return std::string();
    return output.substr(at, output.find('\n', at) - at);
}

// A walker's cell line with its title-set number moved by delta (the VMG's 0
// stays).
std::string MoveTitleSet(const std::string& cell, int delta)
{
    const size_t at = cell.find(" vts=");
    if (at == std::string::npos)
        return cell;
    const size_t end = cell.find(' ', at + 5);
    const int vts = std::atoi(cell.substr(at + 5, end - at - 5).c_str());
    return cell.substr(0, at + 5) + std::to_string(vts ? vts + delta : 0) + cell.substr(end);
}

class DriverMergePlayback : public ::testing::TestWithParam<std::pair<const char*, const char*>>
{
};

// A player that starts the merged disc and activates button k of the chooser
// plays first the cell that disc k plays first on its own.
TEST_P(DriverMergePlayback, ChooserButtonPlaysWhatEachDiscPlaysFirst)
{
    KX_REQUIRE_FIXTURE(first, GetParam().first);
    KX_REQUIRE_FIXTURE(second, GetParam().second);
    KX_REQUIRE_IFODUMP();
    if (std::getenv("KX_NAVWALK") == nullptr)
        GTEST_SKIP() << "kx_navwalk is only built natively";
    kxtest::ScratchFolder scratch;
    const std::string merged = scratch.File("merged");
    std::string log;
    ASSERT_EQ(RunDriver("'" + first + "/VIDEO_TS' --merge '" + second + "' --export '" + merged + "'", scratch, log), 0)
        << log;
    const std::string alone1 = FirstCell(first, 0, scratch);
    const std::string alone2 = FirstCell(second, 0, scratch);
    ASSERT_FALSE(alone1.empty());
    ASSERT_FALSE(alone2.empty());
    const int a = int(kxtest::Select(kxtest::IfoDump(first), "vmg")[0].Num("vts_count"));
    EXPECT_EQ(FirstCell(merged, 1, scratch), alone1);
    EXPECT_EQ(FirstCell(merged, 2, scratch), MoveTitleSet(alone2, a));
    RemoveExport(merged);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DriverMergePlayback,
                         ::testing::Values(std::make_pair("pal1", "twovts"), std::make_pair("ntscmenu", "pal1")));

// ---- Driver switches and edits ----------------------------------------------------------

using kxtest::IfoRecord;
using kxtest::Select;

// Runs the driver with the arguments (already quoted where needed) in a
// scratch folder of its own; the exported folder is "out" there.
struct DriverRun
{
    kxtest::ScratchFolder scratch;
    std::string out = scratch.File("out");
    std::string log;
    int status = -1;

    bool Run(const std::string& arguments)
    {
        status = RunCommand("'" + Driver() + "' " + arguments, scratch.File("log.txt"), log);
        return status == 0;
    }
    std::vector<IfoRecord> Ifo() const { return kxtest::IfoDump(out); }

    ~DriverRun()
    {
        for (const std::string& folder : {out, scratch.File("VIDEO_TS")})
        {
            std::vector<std::string> names;
            kx::ListFiles(folder, names);
            for (const std::string& name : names)
                kx::RemoveFile(kx::JoinPath(folder, name));
            kx::RemoveFolder(folder);
        }
    }
};

// The comma-separated entries of a field.
std::vector<std::string> Entries(const std::string& list)
{
    std::vector<std::string> entries;
    std::stringstream in(list);
    std::string entry;
    while (std::getline(in, entry, ','))
        entries.push_back(entry);
    return entries;
}

// --help names every switch and every edit, each on a line of its own.
TEST(DriverSwitches, HelpListsEverySwitchAndEdit)
{
    ASSERT_FALSE(Driver().empty()) << "KX_EXPORT_DRIVER is not set";
    DriverRun run;
    ASSERT_TRUE(run.Run("--help")) << run.log;
    for (const char* item : {"--load",          "--edit",
                             "--store",         "--export",
                             "--modified-only", "--no-ifo",
                             "--help",          "hide:",
                             "restore:",        "separate:",
                             "still:",          "split:",
                             "cutfrom:",        "cutto:",
                             "keepangle:",      "bypass:",
                             "disableaudio:",   "disablesubpicture:",
                             "deleteaudio:",    "deletesubpicture:",
                             "hideall:",        "restoreall:",
                             "stripangles:"})
    {
        EXPECT_NE(run.log.find(std::string("\n  ") + item), std::string::npos) << item << "\n" << run.log;
    }
}

// Given the folder that holds VIDEO_TS, the driver says it retries there and
// reads the disc; a project that holds a hidden block (a stock cell) stores
// and loads again, and exports the hidden cell.
TEST(DriverSwitches, ReadRetriesInVideoTsAndHiddenBlocksLoadFromAProject)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    KX_REQUIRE_IFODUMP();
    ASSERT_FALSE(Driver().empty()) << "KX_EXPORT_DRIVER is not set";
    DriverRun run;
    const std::string project = run.scratch.File("hidden.kxp");
    ASSERT_TRUE(run.Run("'" + dir + "' --edit hide:vts1:1 --store '" + project + "'")) << run.log;
    EXPECT_NE(run.log.find("read: retrying in " + dir + "/VIDEO_TS"), std::string::npos) << run.log;
    DriverRun loaded;
    ASSERT_TRUE(loaded.Run("--load '" + project + "' --export '" + loaded.out + "'")) << loaded.log;
    EXPECT_EQ(loaded.log.find("retrying"), std::string::npos) << loaded.log;

    const auto source = Select(kxtest::IfoDump(dir), "cell", {{"dom", "vts"}, {"vts", "1"}});
    const auto cells = Select(loaded.Ifo(), "cell", {{"dom", "vts"}, {"vts", "1"}});
    ASSERT_EQ(cells.size(), source.size());
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_LT(cells[1].Num("last") - cells[1].Num("first"), source[1].Num("last") - source[1].Num("first"));
    EXPECT_EQ(cells[0].Num("last") - cells[0].Num("first"), source[0].Num("last") - source[0].Num("first"));
}

// The stream edits: a disabled track keeps its attributes but no PGC selects
// it; deleted tracks are gone from the attributes too.
TEST(DriverSwitches, StreamEditsDisableOrDeleteTracks)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    KX_REQUIRE_IFODUMP();
    ASSERT_FALSE(Driver().empty()) << "KX_EXPORT_DRIVER is not set";
    struct Case
    {
        const char* edit;
        long long audio, subpictures;   // tracks left in the attributes
        size_t audioOff, subpictureOff; // control entry that no longer selects a stream (99: none)
        bool smaller;                   // the packs of a stream no track selects any more are dropped
    };
    const auto sourceStreams = Select(kxtest::IfoDump(dir), "streams", {{"dom", "vts"}, {"vts", "1"}});
    ASSERT_EQ(sourceStreams.size(), 1u);
    ASSERT_EQ(sourceStreams[0].Num("audio"), 2);
    ASSERT_EQ(sourceStreams[0].Num("subp"), 1);
    // Both audio tracks of pal1 select physical stream 0: with one of them
    // gone the other still does, and its packs stay.
    const Case cases[] = {
        {"disableaudio:vts1:1", 2, 1, 1, 99, false},
        {"deleteaudio:vts1:1", 1, 1, 1, 99, false},
        {"disablesubpicture:vts1:0", 2, 1, 99, 0, true},
        {"deletesubpicture:vts1:0", 2, 0, 99, 0, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.edit);
        DriverRun run;
        ASSERT_TRUE(run.Run("'" + dir + "/VIDEO_TS' --edit " + c.edit + " --export '" + run.out + "'")) << run.log;
        const auto records = run.Ifo();
        const auto streams = Select(records, "streams", {{"dom", "vts"}, {"vts", "1"}});
        ASSERT_EQ(streams.size(), 1u);
        EXPECT_EQ(streams[0].Num("audio"), c.audio);
        EXPECT_EQ(streams[0].Num("subp"), c.subpictures);
        const auto pgcs = Select(records, "pgc", {{"dom", "vts"}, {"vts", "1"}});
        ASSERT_FALSE(pgcs.empty());
        for (const IfoRecord& pgc : pgcs)
        {
            const auto audio = Entries(pgc.Get("audio_ctl"));
            const auto subpictures = Entries(pgc.Get("subp_ctl"));
            ASSERT_EQ(audio.size(), 8u);
            ASSERT_EQ(subpictures.size(), 32u);
            EXPECT_NE(std::strtoul(audio[0].c_str(), nullptr, 16) & 0x8000, 0u);
            if (c.audioOff != 99)
            {
                EXPECT_EQ(std::strtoul(audio[c.audioOff].c_str(), nullptr, 16) & 0x8000, 0u);
            }
            if (c.subpictureOff != 99)
            {
                EXPECT_EQ(std::strtoul(subpictures[c.subpictureOff].c_str(), nullptr, 16) & 0x80000000, 0u);
            }
        }
        const size_t sourceSize = Concat(DomainFiles(dir + "/VIDEO_TS", 1, false)).size();
        const size_t size = Concat(DomainFiles(run.out, 1, false)).size();
        if (c.smaller)
        {
            EXPECT_LT(size, sourceSize);
        }
        else
        {
            EXPECT_EQ(size, sourceSize);
        }
    }
}

// Bypassing the VMG menu with its first button: the PGC that played it runs
// the button's command as the command of a blank cell.
TEST(DriverSwitches, BypassRunsTheButtonCommandInABlankCell)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    KX_REQUIRE_IFODUMP();
    ASSERT_FALSE(Driver().empty()) << "KX_EXPORT_DRIVER is not set";
    DriverRun run;
    ASSERT_TRUE(run.Run("'" + dir + "' --edit bypass:vmgm:0:0 --export '" + run.out + "'")) << run.log;
    const auto records = run.Ifo();
    const auto cells = Select(records, "cell", {{"dom", "vmgm"}, {"pgc", "1"}});
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0].Num("cmd"), 1);
    const auto commands = Select(records, "cmd", {{"dom", "vmgm"}, {"pgc", "1"}, {"kind", "cell"}});
    ASSERT_EQ(commands.size(), 1u);
    const auto buttons = Select(kxtest::IfoDump(dir, true), "btn", {{"dom", "vmgm"}, {"b", "1"}});
    ASSERT_FALSE(buttons.empty());
    // The button's link, with button 1 to highlight (bits 15-10 of the last
    // word).
    std::string expected = buttons[0].Get("cmd");
    ASSERT_EQ(expected.size(), 16u);
    EXPECT_EQ(commands[0].Get("bytes").substr(0, 12), expected.substr(0, 12));
    EXPECT_EQ(std::strtoul(commands[0].Get("bytes").substr(12).c_str(), nullptr, 16) >> 10, 1u);
    EXPECT_LT(Concat(DomainFiles(run.out, 0, true)).size(), Concat(DomainFiles(dir + "/VIDEO_TS", 0, true)).size());
}

// hideall and restoreall, for a domain and for one PGC: hidden, every cell is
// a blank one of the same length; restored, the cells are those of the
// source.
TEST(DriverSwitches, HideAllAndRestoreAllOfADomainOrAPgc)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    KX_REQUIRE_IFODUMP();
    ASSERT_FALSE(Driver().empty()) << "KX_EXPORT_DRIVER is not set";
    const auto source = Select(kxtest::IfoDump(dir), "cell", {{"dom", "vts"}, {"vts", "1"}});
    ASSERT_EQ(source.size(), 2u);
    struct Case
    {
        const char* edits;
        bool hidden;
    };
    const Case cases[] = {
        {"--edit hideall:vts1", true},
        {"--edit hideall:vts1:0", true},
        {"--edit hideall:vts1 --edit restoreall:vts1", false},
        {"--edit hideall:vts1:0 --edit restoreall:vts1:0", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.edits);
        DriverRun run;
        ASSERT_TRUE(run.Run("'" + dir + "' " + c.edits + " --export '" + run.out + "'")) << run.log;
        const auto cells = Select(run.Ifo(), "cell", {{"dom", "vts"}, {"vts", "1"}});
        ASSERT_EQ(cells.size(), source.size());
        for (size_t n = 0; n < cells.size(); ++n)
        {
            const long long length = cells[n].Num("last") - cells[n].Num("first");
            if (c.hidden)
            {
                EXPECT_EQ(length, cells[0].Num("last") - cells[0].Num("first"));
                EXPECT_LT(length, source[n].Num("last") - source[n].Num("first"));
            }
            else
            {
                EXPECT_EQ(length, source[n].Num("last") - source[n].Num("first"));
            }
        }
        // The second title set keeps its cells.
        EXPECT_EQ(Concat(DomainFiles(run.out, 2, false)).size(),
                  Concat(DomainFiles(dir + "/VIDEO_TS", 2, false)).size());
    }
}

// Edits the disc cannot take fail the run with a message and export
// nothing: a title set without angles has none to strip, a PGC or a track
// that does not exist cannot be edited.
TEST(DriverSwitches, EditsTheDiscCannotTakeFailTheRun)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    ASSERT_FALSE(Driver().empty()) << "KX_EXPORT_DRIVER is not set";
    for (const char* edit : {"stripangles:vts1:0", "stripangles:vts2:0", "hideall:vts1:5", "restoreall:vts1",
                             "disableaudio:vts1:2", "deletesubpicture:vtsm1:0", "bypass:vts1:0:0", "nonsense:vts1"})
    {
        SCOPED_TRACE(edit);
        DriverRun run;
        EXPECT_FALSE(run.Run("'" + dir + "' --edit " + edit + " --export '" + run.out + "'")) << run.log;
        EXPECT_NE(run.log.find("edit: failed"), std::string::npos) << run.log;
        EXPECT_FALSE(kx::FolderExists(run.out));
    }
}

// ---- Damaged sources --------------------------------------------------------------------

void WriteAll(const std::string& path, const std::vector<unsigned char>& bytes)
{
    if (std::FILE* f = std::fopen(path.c_str(), "wb"))
    {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

// Copies a fixture's VIDEO_TS folder into the run's scratch folder, where it
// is damaged; answers the copy's path.
std::string CopyDisc(const std::string& dir, const DriverRun& run)
{
    const std::string to = run.scratch.File("VIDEO_TS");
    kx::CreateFolder(to);
    std::vector<std::string> names;
    kx::ListFiles(dir + "/VIDEO_TS", names);
    for (const std::string& name : names)
        WriteAll(to + "/" + name, ReadAll(dir + "/VIDEO_TS/" + name));
    return to;
}

// The sector of every NAV pack of a file.
std::vector<size_t> NavSectors(const std::vector<unsigned char>& vob)
{
    std::vector<size_t> navs;
    for (size_t s = 0; (s + 1) * kSector <= vob.size(); ++s)
        if (IsNavPack(vob.data() + s * kSector))
            navs.push_back(s);
    return navs;
}

std::string DomainKey(const IfoRecord& r)
{
    return r.Get("dom") + "/" + r.Get("vts");
}

// What the address tables and every NAV pack of an exported folder say,
// read with libdvdread, agrees with the VOB files written: each VOBU ends
// where the next one starts (the last at the end of its files) and inside
// its C_ADT range, its reference pictures end inside it, and every cell's
// playback entry covers its C_ADT ranges with a last VOBU from the map.
void ExpectConsistentExport(const std::string& out)
{
    const auto tables = kxtest::IfoDump(out);
    const auto navs = kxtest::IfoDump(out, true);
    std::map<std::string, std::vector<long long>> vobus;
    for (const IfoRecord& v : Select(tables, "vobu"))
        vobus[DomainKey(v)].push_back(v.Num("sector"));
    const auto cadrs = Select(tables, "cadr");
    size_t checked = 0;
    for (const IfoRecord& nav : Select(navs, "nav"))
    {
        SCOPED_TRACE(DomainKey(nav) + " sector " + nav.Get("sector"));
        const std::vector<long long>& map = vobus[DomainKey(nav)];
        const long long sector = nav.Num("sector");
        const long long end = sector + nav.Num("vobu_ea");
        auto next = std::upper_bound(map.begin(), map.end(), sector);
        const int vts = int(nav.Num("vts"));
        const long long total = (long long)(Concat(DomainFiles(out, vts, nav.Get("dom") != "vts")).size() / kSector);
        EXPECT_EQ(end + 1, next == map.end() ? total : *next);
        for (const char* ref : {"ref1", "ref2", "ref3"})
            EXPECT_LE(nav.Num(ref), nav.Num("vobu_ea")) << ref;
        bool inCell = false;
        for (const IfoRecord& c : cadrs)
            if (DomainKey(c) == DomainKey(nav) && c.Num("vob") == nav.Num("vob") && c.Num("cell") == nav.Num("cell") &&
                c.Num("first") <= sector && end <= c.Num("last"))
                inCell = true;
        EXPECT_TRUE(inCell);
        ++checked;
    }
    EXPECT_GT(checked, 0u);

    const auto positions = Select(tables, "cellpos");
    for (const IfoRecord& cell : Select(tables, "cell"))
    {
        SCOPED_TRACE(DomainKey(cell) + " pgc " + cell.Get("pgc") + " cell " + cell.Get("n"));
        IfoRecord pos;
        for (const IfoRecord& p : positions)
            if (DomainKey(p) == DomainKey(cell) && p.Get("lu") == cell.Get("lu") && p.Get("pgc") == cell.Get("pgc") &&
                p.Get("n") == cell.Get("n"))
                pos = p;
        long long first = -1;
        long long last = -1;
        for (const IfoRecord& c : cadrs)
            if (DomainKey(c) == DomainKey(cell) && c.Num("vob") == pos.Num("vob") && c.Num("cell") == pos.Num("cell"))
            {
                first = first < 0 ? c.Num("first") : std::min(first, c.Num("first"));
                last = std::max(last, c.Num("last"));
            }
        EXPECT_EQ(cell.Num("first"), first);
        EXPECT_EQ(cell.Num("last"), last);
        const std::vector<long long>& map = vobus[DomainKey(cell)];
        auto lastVobu = std::find(map.begin(), map.end(), cell.Num("last_vobu"));
        ASSERT_NE(lastVobu, map.end());
        EXPECT_GE(*lastVobu, first);
        EXPECT_TRUE(lastVobu + 1 == map.end() || *(lastVobu + 1) > last);
    }
}

// The damages a copy gets, each applied to a fresh copy of a fixture disc.
enum class Damage
{
    CutTitleVob,   // inside the file's last-but-one VOBU, inside a sector
    NoMenuVob,     // the title set's menu VOB is gone
    GarbledTables, // C_ADT and VOBU_ADMAP of the title set overwritten
};

struct DamageCase
{
    const char* fixture;
    const char* file;
    Damage damage;
    const char* warning;
    bool lastPart; // the file is the last of its set
};

// Each damage imports with warnings, exports, and the export agrees with
// itself as a player reads it.
TEST(DamagedSource, ImportsWithWarningsAndExportsAValidDisc)
{
    KX_REQUIRE_IFODUMP();
    ASSERT_FALSE(Driver().empty()) << "KX_EXPORT_DRIVER is not set";
    const DamageCase cases[] = {
        {"pal1", "VTS_01_1.VOB", Damage::CutTitleVob, "Dropped the partial sector at byte ", true},
        {"pal1split", "VTS_01_3.VOB", Damage::CutTitleVob, "Dropped the partial sector at byte ", true},
        // The parts behind a part cut short still start on a sector.
        {"pal1split", "VTS_01_1.VOB", Damage::CutTitleVob, "Dropped the partial sector at byte ", false},
        {"ntscmenu", "VTS_01_0.VOB", Damage::NoMenuVob, "will substitute blanks", true},
        {"pal1", "VTS_01_1.VOB", Damage::GarbledTables, "Recovering C_ADT & VOBU_ADMAP tables.", true},
    };
    for (const DamageCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.fixture) + " " + c.file + " " + std::to_string(int(c.damage)));
        KX_REQUIRE_FIXTURE(dir, c.fixture);
        DriverRun run;
        const std::string source = CopyDisc(dir, run);
        const std::string vob = source + "/" + c.file;
        std::vector<unsigned char> bytes = ReadAll(vob);
        long long lostEa = -1;
        std::string expected = c.warning;
        switch (c.damage)
        {
        case Damage::CutTitleVob:
        {
            const std::vector<size_t> navs = NavSectors(bytes);
            ASSERT_GE(navs.size(), 2u);
            const size_t nav = navs[navs.size() - 2];
            const size_t keep = (nav + navs.back()) / 2 * kSector + 1000;
            // The NAV pack of the cut VOBU reaches past the cut: the export
            // must not keep that end.
            DsiPacket dsi;
            dsi.ReadFromSector(bytes.data() + nav * kSector);
            lostEa = dsi.GetVobuEa();
            ASSERT_GT((long long)(nav * kSector) + (lostEa + 1) * (long long)kSector, (long long)keep);
            bytes.resize(keep);
            WriteAll(vob, bytes);
            expected += std::to_string(keep - 1000) + " of " + vob;
            break;
        }
        case Damage::NoMenuVob: kx::RemoveFile(vob); break;
        case Damage::GarbledTables:
            for (const char* ifo : {"VTS_01_0.IFO", "VTS_01_0.BUP"})
            {
                std::vector<unsigned char> table = ReadAll(source + "/" + ifo);
                // The entries behind each table's header (8 bytes for the
                // C_ADT, 4 for the VOBU_ADMAP).
                for (const std::pair<size_t, size_t>& at :
                     {std::make_pair(size_t(0xE0), size_t(8)), std::make_pair(size_t(0xE4), size_t(4))})
                {
                    const size_t start = size_t(GetBE32(table.data() + at.first)) * kSector + at.second;
                    ASSERT_LT(start + 36, table.size());
                    for (size_t k = 0; k < 36; ++k)
                        table[start + k] = (unsigned char)(k * 37 + 11);
                }
                WriteAll(source + "/" + ifo, table);
            }
            break;
        }
        ASSERT_TRUE(run.Run("'" + source + "' --export '" + run.out + "'")) << run.log;
        EXPECT_NE(run.log.find(expected), std::string::npos) << run.log;
        EXPECT_EQ(run.log.find(c.warning), run.log.rfind(c.warning)) << "warned more than once\n" << run.log;
        EXPECT_NE(run.log.find("read: ok"), std::string::npos) << run.log;
        EXPECT_NE(run.log.find("write: ok"), std::string::npos) << run.log;
        ExpectConsistentExport(run.out);
        // Every cell keeps its place in the address table.
        EXPECT_EQ(Select(run.Ifo(), "cadr", {{"dom", "vts"}}).size(),
                  Select(kxtest::IfoDump(dir), "cadr", {{"dom", "vts"}}).size());
        if (c.damage == Damage::CutTitleVob && c.lastPart)
        {
            // Whole sectors only, and the cut VOBU ends where its data end.
            const auto navs = Select(kxtest::IfoDump(run.out, true), "nav", {{"dom", "vts"}});
            ASSERT_FALSE(navs.empty());
            EXPECT_LT(navs.back().Num("vobu_ea"), lostEa);
        }
    }
}

// Damaged copies of the fixture discs at random: cut files, garbage sectors,
// flipped IFO bytes, missing files. Every run ends with "ok" or "failed" by
// itself, never by a crash or a sanitizer report, and leaves the source as it
// was. KX_DAMAGE_SEED repeats a run.
TEST(DamagedSource, RandomDamageEndsCleanlyAndLeavesTheSourceAlone)
{
    ASSERT_FALSE(Driver().empty()) << "KX_EXPORT_DRIVER is not set";
    const char* seedText = std::getenv("KX_DAMAGE_SEED");
    const unsigned seed = seedText ? unsigned(std::strtoul(seedText, nullptr, 10)) : std::random_device()();
    RecordProperty("seed", int(seed));
    SCOPED_TRACE("KX_DAMAGE_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    const char* fixtures[] = {"pal1", "pal1split", "ntscmenu", "twovts"};
    const int kRuns = 8;
    for (int r = 0; r < kRuns; ++r)
    {
        KX_REQUIRE_FIXTURE(dir, fixtures[random() % 4]);
        DriverRun run;
        const std::string source = CopyDisc(dir, run);
        std::vector<std::string> names;
        kx::ListFiles(source, names);
        std::sort(names.begin(), names.end());
        std::string what = dir;
        bool bOnlyCuts = true;
        const int damages = 1 + int(random() % 3);
        for (int d = 0; d < damages && !names.empty(); ++d)
        {
            const std::string name = names[random() % names.size()];
            const std::string path = source + "/" + name;
            std::vector<unsigned char> bytes = ReadAll(path);
            if (!kx::FileExists(path))
                continue;
            const bool ifo = name.find(".VOB") == std::string::npos;
            const unsigned kind = random() % 4;
            bOnlyCuts = bOnlyCuts && kind == 0 && !ifo;
            switch (kind)
            {
            case 0:
                bytes.resize(bytes.empty() ? 0 : random() % bytes.size());
                what += " cut " + name + "@" + std::to_string(bytes.size());
                break;
            case 1:
                for (int k = 0; k < 4 && bytes.size() >= kSector; ++k)
                {
                    const size_t at = random() % (bytes.size() / kSector) * kSector;
                    for (size_t b = 0; b < kSector; ++b)
                        bytes[at + b] = (unsigned char)random();
                    what += " garbage " + name + "@" + std::to_string(at);
                }
                break;
            case 2:
                for (int k = 0; k < 16 && !bytes.empty(); ++k)
                {
                    // IFO files get bytes of their tables flipped, VOB files
                    // bytes of their NAV and pack headers.
                    const size_t at = ifo ? random() % bytes.size()
                                          : random() % ((bytes.size() + kSector - 1) / kSector) * kSector +
                                                random() % std::min<size_t>(bytes.size(), 64);
                    if (at < bytes.size())
                        bytes[at] ^= (unsigned char)(1u << (random() % 8));
                }
                what += " flipped " + name;
                break;
            default:
                kx::RemoveFile(path);
                what += " removed " + name;
                continue;
            }
            WriteAll(path, bytes);
        }
        SCOPED_TRACE(what);
        std::vector<std::vector<unsigned char>> before;
        kx::ListFiles(source, names);
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
            before.push_back(ReadAll(source + "/" + name));

        run.Run("'" + source + "' --export '" + run.out + "'");
        ASSERT_TRUE(WIFEXITED(run.status)) << run.log;
        const int code = WEXITSTATUS(run.status);
        EXPECT_TRUE(code == 0 || code == 1) << run.log;
        EXPECT_TRUE(run.log.find(": ok\n") != std::string::npos || run.log.find(": failed\n") != std::string::npos)
            << run.log;
        if (code == 0)
        {
            EXPECT_NE(run.log.find("write: ok"), std::string::npos) << run.log;
            // Cut VOB files lose data but nothing that is written may point
            // past it.
            if (bOnlyCuts)
                ExpectConsistentExport(run.out);
        }

        std::vector<std::string> after;
        kx::ListFiles(source, after);
        std::sort(after.begin(), after.end());
        ASSERT_EQ(after, names);
        for (size_t i = 0; i < names.size(); ++i)
            EXPECT_TRUE(ReadAll(source + "/" + names[i]) == before[i]) << names[i] << " changed";
    }
}

} // namespace
