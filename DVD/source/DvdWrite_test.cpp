// Whole-disc export: every fixture read and written back unchanged gives a
// disc that libdvdread reads as the same structure, with each IFO equal to
// its backup and the program's identification in place.
#include "DVD/source/DVD.h"
#include "DVD/source/DiscTestSupport.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/PGC.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace
{

using kxtest::IfoRecord;
using kxtest::ReadWholeFile;

// Fields that hold where things lie on the disc rather than what it is (an
// export may lay the files out differently), and the title's playback type,
// which the writer derives from the PGCs by its own rule.
const std::map<std::string, std::set<std::string>> kPlacement = {
    {"vmg", {"last_sector", "ifo_last_sector", "spec", "provider_raw"}},
    {"title", {"vts_sector", "pb_type"}},
    {"vtshdr", {"last_sector", "ifo_last_sector", "spec", "menu_vobs", "title_vobs"}},
    {"cell", {"first", "ilvu_end", "last_vobu", "last"}},
};
// Records that are nothing but addresses; their counts are compared.
const std::set<std::string> kAddressRecords = {"cadr", "vobu"};
// The time maps are rebuilt from the cells by the engine's own rule.
const std::set<std::string> kRebuilt = {"tmap", "tmapent"};

// A menu domain without VOB content has no stream attributes in the model:
// the reader keeps none for it, so the writer leaves them zero.
const size_t kMenuAttributeHex = 2 * 256;

std::string Describe(const IfoRecord& record, bool bMenuContent)
{
    std::string text = record.kind;
    const auto placement = kPlacement.find(record.kind);
    for (const auto& field : record.fields)
    {
        if (placement != kPlacement.end() && placement->second.count(field.first) != 0)
            continue;
        // A chain without cells lasts no time at any frame rate.
        if (record.kind == "pgc" && field.first == "time" && record.Num("cells") == 0)
        {
            text += " time=0";
            continue;
        }
        if (field.first == "attrs" && !bMenuContent)
        {
            text += " attrs=-" + field.second.substr(std::min(field.second.size(), kMenuAttributeHex));
            continue;
        }
        text += " " + field.first + "=" + field.second;
    }
    return text;
}

std::vector<std::string> Structure(const std::vector<IfoRecord>& records)
{
    // The menu domains that have VOB content, by "dom vts".
    std::set<std::string> content;
    for (const IfoRecord& record : records)
    {
        if (record.kind == "cadt" && record.Num("count") > 0)
            content.insert(record.Get("dom") + " " + record.Get("vts"));
    }
    std::vector<std::string> lines;
    std::map<std::string, int> addressCounts;
    for (const IfoRecord& record : records)
    {
        const std::string dom = record.Get("dom");
        if (kRebuilt.count(record.kind) != 0)
            continue;
        // An empty address table describes what an absent one does.
        if ((record.kind == "cadt" || record.kind == "vobumap") && record.Num("count") == 0)
            continue;
        if ((record.kind == "attr" || record.kind == "streams") && (dom == "vmgm" || dom == "vtsm") &&
            content.count(dom + " " + record.Get("vts")) == 0)
            continue;
        if (kAddressRecords.count(record.kind) != 0)
        {
            ++addressCounts[record.kind + " dom=" + dom + " vts=" + record.Get("vts")];
            continue;
        }
        const std::string vts = record.kind == "vtsatrt" ? record.Get("n") : record.Get("vts");
        lines.push_back(Describe(record, content.count("vtsm " + vts) != 0));
    }
    for (const auto& count : addressCounts)
        lines.push_back(count.first + " count=" + std::to_string(count.second));
    return lines;
}

uint64_t FileSize(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return 0;
    std::fseek(f, 0, SEEK_END);
    const long nSize = std::ftell(f);
    std::fclose(f);
    return nSize > 0 ? uint64_t(nSize) : 0;
}

std::string VtsFile(int nVts, int nFile, const char* pszExtension)
{
    char name[32];
    std::snprintf(name, sizeof name, "VTS_%02d_%d.%s", nVts, nFile, pszExtension);
    return name;
}

// The sectors the IFOs give for the VMG, each title set and each title
// agree with the files as they lie on the disc, one after another.
void ExpectPlacementOfFiles(const std::vector<IfoRecord>& records, const std::string& folder)
{
    auto size = [&folder](const std::string& name) { return FileSize(kx::JoinPath(folder, name)); };
    const uint64_t nVmg = size("VIDEO_TS.IFO") + size("VIDEO_TS.VOB") + size("VIDEO_TS.BUP");
    const auto vmg = kxtest::Select(records, "vmg");
    ASSERT_EQ(vmg.size(), 1u);
    EXPECT_EQ(vmg[0].Num("last_sector"), (long long)(nVmg / 2048 - 1));
    EXPECT_EQ(vmg[0].Num("ifo_last_sector"), (long long)(size("VIDEO_TS.IFO") / 2048 - 1));

    std::map<std::string, uint64_t> starts;
    uint64_t nStart = nVmg;
    for (int v = 1; v <= vmg[0].Num("vts_count"); ++v)
    {
        SCOPED_TRACE("VTS " + std::to_string(v));
        const std::string vts = std::to_string(v);
        starts[vts] = nStart;
        const uint64_t nIfo = size(VtsFile(v, 0, "IFO"));
        const uint64_t nMenu = size(VtsFile(v, 0, "VOB"));
        uint64_t nTitle = 0;
        for (int k = 1; k <= 9 && kx::FileExists(kx::JoinPath(folder, VtsFile(v, k, "VOB"))); ++k)
            nTitle += size(VtsFile(v, k, "VOB"));
        const auto header = kxtest::Select(records, "vtshdr", {{"vts", vts}});
        ASSERT_EQ(header.size(), 1u);
        EXPECT_EQ(header[0].Num("last_sector"), (long long)((2 * nIfo + nMenu + nTitle) / 2048 - 1));
        EXPECT_EQ(header[0].Num("ifo_last_sector"), (long long)(nIfo / 2048 - 1));
        EXPECT_EQ(header[0].Num("menu_vobs"), nMenu != 0 ? (long long)(nIfo / 2048) : 0);
        EXPECT_EQ(header[0].Num("title_vobs"), nTitle != 0 ? (long long)((nIfo + nMenu) / 2048) : 0);
        nStart += 2 * nIfo + nMenu + nTitle;
    }
    for (const IfoRecord& title : kxtest::Select(records, "title"))
        EXPECT_EQ(title.Num("vts_sector"), (long long)(starts[title.Get("vts")] / 2048)) << "title " << title.Get("n");
}

// The export folder inside the scratch folder, removed with its files.
struct ExportFolder
{
    explicit ExportFolder(const std::string& folder) : path(folder) { created = kx::CreateFolder(path); }
    ~ExportFolder()
    {
        std::vector<std::string> names;
        kx::ListFiles(path, names);
        for (const auto& name : names)
            kx::RemoveFile(kx::JoinPath(path, name));
        kx::RemoveFolder(path);
    }
    std::string path;
    bool created = false;
};

class DvdWriteFixture : public ::testing::TestWithParam<const char*>
{
};

TEST_P(DvdWriteFixture, UnchangedExportKeepsTheStructure)
{
    KX_REQUIRE_FIXTURE(dir, GetParam());
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    const ExportFolder folder(scratch.File("VIDEO_TS"));
    ASSERT_TRUE(folder.created);
    const std::string& output = folder.path;

    kxtest::RecordingLog log;
    kxtest::RecordingProgress progress;
    {
        CDvd dvd;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath(GetParam(), "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        ASSERT_TRUE(dvd.Write(log, output.c_str(), false, &progress, true)) << log.Dump();
        EXPECT_EQ(log.Count('E'), 0) << log.Dump();
        EXPECT_EQ(progress.range, dvd.GetSourceSize());
        EXPECT_LE(progress.position, progress.range);
        // With every stream kept the estimate is what was written.
        uint64_t nWritten = 0;
        std::vector<std::string> files;
        kx::ListFiles(output, files);
        for (const std::string& name : files)
            nWritten += FileSize(kx::JoinPath(output, name));
        EXPECT_EQ(dvd.GetOutputSize(), nWritten);
    }
    // The source VOB sets the disc opened are closed before the files go.
    PurgeUnusedVobData();

    std::vector<std::string> names;
    ASSERT_TRUE(kx::ListFiles(output, names));
    int nIfos = 0;
    for (const std::string& name : names)
    {
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".IFO") != 0)
            continue;
        SCOPED_TRACE(name);
        ++nIfos;
        const auto ifo = ReadWholeFile(kx::JoinPath(output, name));
        ASSERT_GE(ifo.size(), 2048u);
        EXPECT_EQ(ReadWholeFile(kx::JoinPath(output, name.substr(0, name.size() - 4) + ".BUP")), ifo);
        if (name == "VIDEO_TS.IFO")
        {
            EXPECT_EQ(std::string(ifo.begin() + 0x40, ifo.begin() + 0x49), "KLX 3.6.2");
            EXPECT_EQ(ifo[0x49], 0);
            EXPECT_EQ(ifo[0x21], 0x11);
        }
        else
        {
            EXPECT_EQ(ifo[33], 0x11);
        }
    }
    EXPECT_GE(nIfos, 2);

    if (kxtest::IfoDumpTool().empty())
        return;
    const auto source = Structure(kxtest::IfoDump(dir));
    const auto exportRecords = kxtest::IfoDump(scratch.Path());
    ExpectPlacementOfFiles(exportRecords, output);
    const auto exported = Structure(exportRecords);
    ASSERT_FALSE(exported.empty());
    // Compared line by line so that a difference names its record.
    const size_t n = std::max(source.size(), exported.size());
    int nReported = 0;
    for (size_t i = 0; i < n && nReported < 10; ++i)
    {
        const std::string a = i < source.size() ? source[i] : "(none)";
        const std::string b = i < exported.size() ? exported[i] : "(none)";
        if (a != b)
        {
            ADD_FAILURE() << "record " << i << "\n source: " << a << "\n export: " << b;
            ++nReported;
        }
    }
}

TEST(DvdWrite, OnlyChangesLeaveUnchangedVobsAndGiveTheSameIfos)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    const ExportFolder folder(scratch.File("VIDEO_TS"));
    ASSERT_TRUE(folder.created);
    const std::vector<std::string> ifos = {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.BUP"};

    kxtest::RecordingLog log;
    {
        CDvd dvd;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        ASSERT_TRUE(dvd.Write(log, folder.path.c_str(), false, nullptr, true)) << log.Dump();
        std::vector<std::vector<uint8_t>> first;
        for (const std::string& name : ifos)
            first.push_back(ReadWholeFile(kx::JoinPath(folder.path, name)));
        // Gone VOB files show that the second export does not write them.
        ASSERT_TRUE(kx::RemoveFile(kx::JoinPath(folder.path, "VTS_01_0.VOB")));
        ASSERT_TRUE(kx::RemoveFile(kx::JoinPath(folder.path, "VTS_01_1.VOB")));

        dvd.ClearModified();
        ASSERT_TRUE(dvd.Write(log, folder.path.c_str(), true, nullptr, true)) << log.Dump();
        EXPECT_FALSE(kx::FileExists(kx::JoinPath(folder.path, "VTS_01_0.VOB")));
        EXPECT_FALSE(kx::FileExists(kx::JoinPath(folder.path, "VTS_01_1.VOB")));
        for (size_t i = 0; i < ifos.size(); ++i)
            EXPECT_EQ(ReadWholeFile(kx::JoinPath(folder.path, ifos[i])), first[i]) << ifos[i];
    }
    PurgeUnusedVobData();
}

// A VOB file that cannot be created (a folder holds its name).
struct BlockedVobCase
{
    const char* file;
    const char* message;
};

TEST(DvdWrite, AVobThatCannotBeCreatedFailsTheExport)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    const BlockedVobCase cases[] = {
        {"VIDEO_TS.VOB", "I:Can't write VMG."},
        {"VTS_01_0.VOB", "I:Can't write VTS 1."},
        {"VTS_01_1.VOB", "I:Can't write VTS 1."},
    };
    for (const BlockedVobCase& test : cases)
    {
        SCOPED_TRACE(test.file);
        kxtest::ScratchFolder scratch;
        ASSERT_TRUE(scratch.Created());
        const ExportFolder folder(scratch.File("VIDEO_TS"));
        ASSERT_TRUE(folder.created);
        const ExportFolder blocker(kx::JoinPath(folder.path, test.file));
        ASSERT_TRUE(blocker.created);
        kxtest::RecordingLog log;
        {
            CDvd dvd;
            ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
            EXPECT_FALSE(dvd.Write(log, folder.path.c_str(), false, nullptr, true));
        }
        PurgeUnusedVobData();
        ASSERT_FALSE(log.lines.empty());
        EXPECT_EQ(log.lines.back(), test.message) << log.Dump();
        if (std::string(test.file) == "VIDEO_TS.VOB")
        {
            EXPECT_TRUE(log.Has('I', "Can't open VIDEO_TS.VOB"));
        }
        EXPECT_FALSE(kx::FileExists(kx::JoinPath(folder.path, "VIDEO_TS.IFO")));
    }
}

TEST(DvdWrite, CancelStopsTheExport)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    const ExportFolder folder(scratch.File("VIDEO_TS"));
    ASSERT_TRUE(folder.created);
    kxtest::RecordingLog log;
    {
        CDvd dvd;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        kxtest::RecordingProgress progress(0);
        EXPECT_FALSE(dvd.Write(log, folder.path.c_str(), false, &progress, true));
        EXPECT_GT(progress.polls, 0);
    }
    PurgeUnusedVobData();
    EXPECT_TRUE(log.IsCancelled()) << log.Dump();
    EXPECT_FALSE(kx::FileExists(kx::JoinPath(folder.path, "VIDEO_TS.IFO")));
}

TEST(DvdWrite, LongFirstPlayChainMovesTheTitleTable)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    const ExportFolder folder(scratch.File("VIDEO_TS"));
    ASSERT_TRUE(folder.created);
    kxtest::RecordingLog log;
    size_t nFirstPlay = 0;
    {
        CDvd dvd;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("pal1", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        CPgc* pFirstPlay = dvd.GetVmg().GetFirstPlayPgc();
        ASSERT_NE(pFirstPlay, nullptr);
        const BYTE setRegister[8] = {0x71, 0x00, 0x00, 0x01, 0x00, 0x05, 0x00, 0x00};
        while (pFirstPlay->GetIfoSize() + 0x400 <= 2048)
            pFirstPlay->m_preCommands.Add(setRegister);
        nFirstPlay = pFirstPlay->GetIfoSize();
        ASSERT_TRUE(dvd.Write(log, folder.path.c_str(), false, nullptr, true)) << log.Dump();
    }
    PurgeUnusedVobData();
    const auto ifo = ReadWholeFile(kx::JoinPath(folder.path, "VIDEO_TS.IFO"));
    ASSERT_GE(ifo.size(), 3u * 2048);
    EXPECT_EQ(GetBE32(ifo.data() + 0x80), 0x400 + nFirstPlay - 1);
    EXPECT_EQ(GetBE32(ifo.data() + 0x84), 0x400u);
    EXPECT_EQ(GetBE32(ifo.data() + 0xC4), 2u);
    if (kxtest::IfoDumpTool().empty())
        return;
    const auto fp = kxtest::Select(kxtest::IfoDump(scratch.Path()), "pgc", {{"dom", "fp"}});
    ASSERT_EQ(fp.size(), 1u);
    EXPECT_EQ(fp[0].Num("pre"), (long long)((nFirstPlay - 0xEC - 8) / 8));
}

TEST(DvdWrite, TextDataIsWrittenBackAsReadAndAFullSectorGetsOneMore)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    KX_REQUIRE_DISC_COPY(disc, scratch, "pal1");
    // A text data table of exactly one sector appended to the source IFO.
    std::vector<uint8_t> ifo = disc.Read("VIDEO_TS.IFO");
    ASSERT_EQ(ifo.size() % 2048, 0u);
    const uint32_t nTextSector = uint32_t(ifo.size() / 2048);
    ASSERT_EQ(GetBE32(ifo.data() + 0xC0), 0u); // no menu VOB: the IFO is all that moves
    std::vector<uint8_t> text(2048);
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = uint8_t(i * 7 + 1);
    text[14] = 0;
    kxtest::PutBig32(text, 16, 2047);
    ifo.insert(ifo.end(), text.begin(), text.end());
    kxtest::PutBig32(ifo, 0x1C, nTextSector);
    kxtest::PutBig32(ifo, 0x0C, 2 * nTextSector + 1);
    kxtest::PutBig32(ifo, 0xD4, nTextSector);
    ASSERT_TRUE(disc.Write("VIDEO_TS.IFO", ifo));
    ASSERT_TRUE(disc.Write("VIDEO_TS.BUP", ifo));

    const ExportFolder folder(scratch.File("OUT"));
    ASSERT_TRUE(folder.created);
    kxtest::RecordingLog log;
    {
        CDvd dvd;
        ASSERT_TRUE(dvd.Read(log, disc.Folder().c_str(), nullptr)) << log.Dump();
        ASSERT_NE(dvd.GetVmg().GetTextData(), nullptr);
        ASSERT_TRUE(dvd.Write(log, folder.path.c_str(), false, nullptr, true)) << log.Dump();
    }
    PurgeUnusedVobData();
    const auto out = ReadWholeFile(kx::JoinPath(folder.path, "VIDEO_TS.IFO"));
    ASSERT_GE(out.size(), 2048u);
    const size_t nAt = size_t(GetBE32(out.data() + 0xD4)) * 2048;
    ASSERT_NE(nAt, 0u);
    // Two sectors, the last one empty, end the IFO.
    EXPECT_EQ(out.size(), nAt + 2 * 2048);
    ASSERT_GE(out.size(), nAt + 2048);
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + long(nAt), out.begin() + long(nAt) + 2048), text);
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + long(nAt) + 2048, out.end()), std::vector<uint8_t>(2048, 0));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DvdWriteFixture,
                         ::testing::Values("pal1", "ntscmenu", "twovts", "cmdtable", "pal1split"));

} // namespace
