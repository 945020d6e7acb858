// Test helpers for the generated DVD-Video folders and the independent reader.
//
// CTest runs tests/fixtures/make_fixtures.sh before any module test and
// passes its output folder in KX_FIXTURE_DIR. Each fixture is a disc folder
// holding VIDEO_TS (see make_fixtures.sh for what each one contains):
//
//   TEST(Reader, ReadsPal1) {
//     KX_REQUIRE_FIXTURE(dir, "pal1");            // skips when not generated
//     std::string ifo = kxtest::FixturePath("pal1", "VIDEO_TS/VTS_01_0.IFO");
//     ...
//   }
//
// Paths come back in the form the test's own build expects. In the Windows
// build under Wine, KX_FIXTURE_DIR is the Unix path CTest set; Wine maps the
// Unix root to drive Z:, so a path starting with '/' is returned as
// "Z:\..." with backslashes. (Wine's file functions also open the plain
// "/work/..." form, whatever the current drive, but Windows path handling in
// the code under test - drive letters, splitting at backslashes - expects
// the Windows form.)
//
// The native build also passes KX_IFODUMP, the path of kx_ifodump (see
// tests/dvdread/kx_ifodump.cpp for its record format). IfoDump() runs it and
// parses its output:
//
//   KX_REQUIRE_IFODUMP();
//   auto recs = kxtest::IfoDump(kxtest::FixtureDir("pal1"));
//   auto cells = kxtest::Select(recs, "cell", {{"dom", "vts"}, {"pgc", "1"}});
//   EXPECT_EQ(cells[0].Num("first"), 0);
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace kxtest
{

// A path from the environment or a join of one, converted for this build.
inline std::string NativePath(std::string path)
{
#ifdef _WIN32
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
#endif
    return path;
}

inline std::string FixtureRoot()
{
    const char* root = std::getenv("KX_FIXTURE_DIR");
    return root ? std::string(root) : std::string();
}

// The stamp is written last, so its presence means the folder is complete.
inline bool FixtureComplete(const std::string& unixDir)
{
    std::FILE* f = std::fopen(NativePath(unixDir + "/.kx-fixture-stamp").c_str(), "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

// The fixture's disc folder (the one holding VIDEO_TS), or "" when it is
// missing or incomplete.
inline std::string FixtureDir(const std::string& name)
{
    std::string root = FixtureRoot();
    if (root.empty())
        return std::string();
    std::string dir = root + "/" + name;
    return FixtureComplete(dir) ? NativePath(dir) : std::string();
}

// A file or folder inside a fixture, e.g. FixturePath("pal1", "VIDEO_TS").
inline std::string FixturePath(const std::string& name, const std::string& relative)
{
    std::string dir = FixtureDir(name);
    return dir.empty() ? std::string() : NativePath(dir + "/" + relative);
}

inline std::string MissingFixtureMessage(const std::string& name)
{
    return "DVD fixture '" + name + "' not found: run the test through ctest (KX_FIXTURE_DIR=" + FixtureRoot() + ")";
}

// The path of kx_ifodump, or "" where it is not built (the Windows build).
inline std::string IfoDumpTool()
{
    const char* tool = std::getenv("KX_IFODUMP");
    return tool ? std::string(tool) : std::string();
}

// One line of kx_ifodump's output: "<kind> key=value key=value ...".
struct IfoRecord
{
    std::string kind;
    std::map<std::string, std::string> fields;

    bool Has(const std::string& key) const { return fields.count(key) != 0; }
    std::string Get(const std::string& key) const
    {
        auto it = fields.find(key);
        return it == fields.end() ? std::string() : it->second;
    }
    // Decimal or 0x-prefixed hexadecimal; -1 when the field is missing.
    long long Num(const std::string& key) const
    {
        auto it = fields.find(key);
        return it == fields.end() ? -1 : std::strtoll(it->second.c_str(), nullptr, 0);
    }
};

inline IfoRecord ParseIfoRecord(const std::string& line)
{
    IfoRecord r;
    size_t pos = 0;
    while (pos < line.size())
    {
        size_t end = line.find(' ', pos);
        if (end == std::string::npos)
            end = line.size();
        std::string word = line.substr(pos, end - pos);
        if (!word.empty())
        {
            size_t eq = word.find('=');
            if (r.kind.empty() && eq == std::string::npos)
                r.kind = word;
            else if (eq != std::string::npos)
                r.fields[word.substr(0, eq)] = word.substr(eq + 1);
        }
        pos = end + 1;
    }
    return r;
}

// Runs kx_ifodump on a disc folder (nav: its --nav mode) and parses the
// output. Fails the calling test (and returns what was read) when the tool
// cannot be run, or when it reports an error and exitCode is null; with
// exitCode the tool's exit code (1: something could not be read) is stored
// there instead, for tests that read damaged discs on purpose.
inline std::vector<IfoRecord> IfoDump(const std::string& discDir, bool nav = false, int* exitCode = nullptr)
{
    std::vector<IfoRecord> records;
    std::string tool = IfoDumpTool();
    if (tool.empty())
    {
        ADD_FAILURE() << "KX_IFODUMP is not set";
        return records;
    }
    std::string command = "'" + tool + "' " + (nav ? "--nav " : "") + "'" + discDir + "'";
#ifdef _WIN32
    std::FILE* p = _popen(command.c_str(), "r");
#else
    std::FILE* p = popen(command.c_str(), "r");
#endif
    if (!p)
    {
        ADD_FAILURE() << "can't run " << command;
        return records;
    }
    std::string line;
    char buf[4096];
    while (std::fgets(buf, sizeof buf, p))
    {
        line += buf;
        if (!line.empty() && line.back() == '\n')
        {
            line.pop_back();
            records.push_back(ParseIfoRecord(line));
            line.clear();
        }
    }
    if (!line.empty())
        records.push_back(ParseIfoRecord(line));
#ifdef _WIN32
    int status = _pclose(p);
#else
    int status = pclose(p);
    if (status != -1 && WIFEXITED(status))
        status = WEXITSTATUS(status);
#endif
    if (exitCode)
        *exitCode = status;
    else
        EXPECT_EQ(status, 0) << command << " failed";
    return records;
}

// The records of one kind whose fields match every given key=value.
inline std::vector<IfoRecord> Select(const std::vector<IfoRecord>& records, const std::string& kind,
                                     const std::vector<std::pair<std::string, std::string>>& match = {})
{
    std::vector<IfoRecord> out;
    for (const IfoRecord& r : records)
    {
        if (r.kind != kind)
            continue;
        bool ok = true;
        for (const auto& m : match)
            if (r.Get(m.first) != m.second)
                ok = false;
        if (ok)
            out.push_back(r);
    }
    return out;
}

} // namespace kxtest

// Declares `const std::string var` as the fixture's disc folder, or skips the
// test when the fixture is not there.
#define KX_REQUIRE_FIXTURE(var, name)                                                                                  \
    const std::string var = ::kxtest::FixtureDir(name);                                                                \
    if (var.empty())                                                                                                   \
    GTEST_SKIP() << ::kxtest::MissingFixtureMessage(name)

// Skips the test where kx_ifodump is not available (the Windows build).
#define KX_REQUIRE_IFODUMP()                                                                                           \
    if (::kxtest::IfoDumpTool().empty())                                                                               \
    GTEST_SKIP() << "kx_ifodump is only built natively"
