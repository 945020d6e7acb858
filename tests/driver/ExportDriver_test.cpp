// End-to-end round trips through kx_export_driver: every fixture disc is
// imported and exported unchanged, then the VOB data, the decoded video and
// a second import of the export are compared with the source.

#include "DVD/source/NavPack.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    {
        std::vector<std::string> names;
        kx::ListFiles(folder, names);
        for (const std::string& name : names)
            kx::RemoveFile(kx::JoinPath(folder, name));
        kx::RemoveFolder(folder);
    }
}

} // namespace
