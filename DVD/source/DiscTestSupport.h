// Test helpers for whole-disc reads: copies of a fixture's VIDEO_TS files in
// a scratch folder, patched byte by byte to make damaged discs.
#pragma once

#include "DVD/source/VobData.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/FileBytes.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kxtest
{

inline bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline void PutBig32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = uint8_t(value >> (24 - 8 * i));
}

inline void PutBig16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value)
{
    bytes.at(offset) = uint8_t(value >> 8);
    bytes.at(offset + 1) = uint8_t(value);
}

// A copy of a fixture's VIDEO_TS files in a folder of its own, removed with
// its files when the copy goes away. Source VOB sets that no disc uses any
// more are dropped first, so that no file of the copy is still open.
class DiscCopy
{
public:
    // Without a fixture the copy stays empty; Ok() tells.
    DiscCopy(const std::string& fixture, const std::string& folder, bool lowerCase = false) : m_folder(folder)
    {
        const std::string source = FixturePath(fixture, "VIDEO_TS");
        std::vector<std::string> names;
        if (source.empty() || !kx::ListFiles(source, names))
            return;
        if (!kx::FolderExists(m_folder) && !kx::CreateFolder(m_folder))
            return;
        for (std::string name : names)
        {
            const std::vector<uint8_t> bytes = ReadWholeFile(kx::JoinPath(source, name));
            if (lowerCase)
                for (char& c : name)
                    c = char(std::tolower(static_cast<unsigned char>(c)));
            if (!WriteWholeFile(kx::JoinPath(m_folder, name), bytes))
                return;
        }
        m_ok = true;
    }
    ~DiscCopy()
    {
        PurgeUnusedVobData();
        std::vector<std::string> names;
        kx::ListFiles(m_folder, names);
        for (const auto& n : names)
            kx::RemoveFile(kx::JoinPath(m_folder, n));
        kx::RemoveFolder(m_folder);
    }
    DiscCopy(const DiscCopy&) = delete;
    DiscCopy& operator=(const DiscCopy&) = delete;

    bool Ok() const { return m_ok; }
    const std::string& Folder() const { return m_folder; }
    std::string File(const std::string& name) const { return kx::JoinPath(m_folder, name); }

    std::vector<uint8_t> Read(const std::string& name) const { return ReadWholeFile(File(name)); }
    bool Write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        return WriteWholeFile(File(name), bytes);
    }
    bool Remove(const std::string& name) const { return kx::RemoveFile(File(name)); }

private:
    std::string m_folder;
    bool m_ok = false;
};

} // namespace kxtest

// Declares `kxtest::DiscCopy var` of the fixture in a scratch folder, or
// skips the test when the fixture is not there.
#define KX_REQUIRE_DISC_COPY(var, scratch, name)                                                                       \
    KX_REQUIRE_FIXTURE(var##Fixture, name);                                                                            \
    kxtest::DiscCopy var(name, (scratch).File("VIDEO_TS"));                                                            \
    ASSERT_TRUE(var.Ok()) << "can't copy " << var##Fixture
