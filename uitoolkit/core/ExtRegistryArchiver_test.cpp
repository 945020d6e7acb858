#include "uitoolkit/core/ExtRegistryArchiver.h"

#include "Shared/platform/PlatformTime.h"
#include "Shared/source/RegistryKey.h"
#include "framework/core/CMemFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using Archiver = CExtRegistryArchiver;

CString Integrity(const std::string& bytes)
{
    Archiver::IntegrityText text;
    text.Add(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
    return text.GetText();
}

TEST(ExtRegistryArchiverText, IntegrityTextOfTheKnownInputs)
{
    EXPECT_STREQ(Integrity(""), "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_STREQ(Integrity("abc"), "00 00 00 61 00 00 00 62 00 00 00 63 00 00 00 00");
    EXPECT_STREQ(Integrity("abcdefgh"), "00 00 06 75 00 00 06 86 00 00 06 97 00 00 06 A8");
    EXPECT_STREQ(Integrity("abcdefghijklmnopqrstuvwxyz0123456789ABCD"),
                 "04 8A B9 A1 05 9B 5B A2 06 AC A9 E3 07 BD E7 E4");
    // The lanes carry on across pieces: adding in parts gives the same text.
    Archiver::IntegrityText pieces;
    const std::string all = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";
    pieces.Add(reinterpret_cast<const BYTE*>(all.data()), 7);
    pieces.Add(reinterpret_cast<const BYTE*>(all.data()) + 7, all.size() - 7);
    EXPECT_STREQ(pieces.GetText(), Integrity(all));
}

TEST(ExtRegistryArchiverText, LibraryVersion)
{
    EXPECT_EQ(Archiver::GetLibraryVersionWord(true), 0x0205u);
    EXPECT_EQ(Archiver::GetLibraryVersionWord(false), 0x02050000u);
    CString s;
    EXPECT_STREQ(Archiver::GetLibraryVersionString(s), "2.5.0.0");
    EXPECT_STREQ(Archiver::GetLibraryVersionString(s, ','), "2,5,0,0");
}

TEST(ExtRegistryArchiverText, ProfileKeyPath)
{
    CString s;
    EXPECT_STREQ(Archiver::MakeProfileRegPath(s, "CommandManager", "Kestrelux", "Quorbis Apps", "Editor"),
                 "Software\\Quorbis Apps\\Editor\\Quorbis\\Profiles\\Kestrelux\\CommandManager");
    EXPECT_STREQ(Archiver::MakeProfileRegPath(s, "Control*Bar", "Who?", "Line\r\nBreak", "Tab\tbed"),
                 "Software\\Line__Break\\Tab_bed\\Quorbis\\Profiles\\Who_\\Control_Bar");
}

// A key of its own below the current user's settings, removed afterwards
// (under Wine this is the real registry).
class ExtRegistryArchiverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = "Software\\KestreluxTests\\archiver" + std::to_string(kx::MonotonicTicks());
        root = kx::RegistryCurrentUser();
    }
    void TearDown() override
    {
        CRegistryKey::DeleteKeyRecursive(root, path.c_str());
        CRegistryKey::DeleteKeyRecursive(root, "Software\\KestreluxTests");
    }

    static std::vector<BYTE> Pattern(size_t n)
    {
        std::vector<BYTE> bytes(n);
        for (size_t i = 0; i < n; ++i)
            bytes[i] = BYTE(i * 7 + 3);
        return bytes;
    }
    bool Store(const std::vector<BYTE>& bytes)
    {
        CMemFile file;
        file.Write(bytes.data(), (UINT)bytes.size());
        return Archiver::WriteArchiveToRegistry(file, path.c_str(), root);
    }
    // The bytes read back, or nothing with ok false.
    std::vector<BYTE> Load(bool& ok)
    {
        CMemFile file;
        ok = Archiver::ReadArchiveFromRegistry(file, path.c_str(), root);
        std::vector<BYTE> bytes((size_t)file.GetLength());
        file.SeekToBegin();
        if (!bytes.empty())
            file.Read(bytes.data(), (UINT)bytes.size());
        return bytes;
    }
    std::vector<std::string> SubKeys()
    {
        std::vector<std::string> names;
        kx::RegistryHandle key = Archiver::RegOpenKeyOrNull(root, path.c_str(), kx::kRegRead);
        std::string name;
        for (uint32_t i = 0; key != 0 && kx::RegistryEnumKey(key, i, name) == kx::kRegOk; ++i)
            names.push_back(name);
        if (key != 0)
            kx::RegistryCloseKey(key);
        return names;
    }
    std::vector<std::string> ValueNames(const std::string& sub)
    {
        std::vector<std::string> names;
        kx::RegistryHandle key = Archiver::RegOpenKeyOrNull(root, (path + "\\" + sub).c_str(), kx::kRegRead);
        std::string name;
        uint32_t type = 0;
        std::vector<uint8_t> data;
        for (uint32_t i = 0; key != 0 && kx::RegistryEnumValue(key, i, name, type, data) == kx::kRegOk; ++i)
            names.push_back(name);
        if (key != 0)
            kx::RegistryCloseKey(key);
        return names;
    }
    std::string path;
    kx::RegistryHandle root = 0;
};

TEST_F(ExtRegistryArchiverTest, RoundTripWithItsValues)
{
    const std::vector<BYTE> bytes = Pattern(40);
    ASSERT_TRUE(Store(bytes));
    kx::RegistryHandle key = Archiver::RegOpenKeyOrNull(root, path.c_str(), kx::kRegRead);
    ASSERT_NE(key, 0u);
    DWORD size = 0;
    EXPECT_TRUE(Archiver::RegReadDword(key, nullptr, "data_size", size));
    EXPECT_EQ(size, 40u);
    char text[64];
    EXPECT_TRUE(Archiver::RegReadString(key, nullptr, "data_generator", text, sizeof(text)));
    EXPECT_STREQ(text, "Quorbis v. 2.5.0.0 registry archiver");
    EXPECT_TRUE(Archiver::RegReadString(key, nullptr, "data_integrity", text, sizeof(text)));
    EXPECT_EQ(std::string(text).size(), 47u);
    // too small a buffer for the text and its terminator
    EXPECT_FALSE(Archiver::RegReadString(key, nullptr, "data_integrity", text, 47));
    BYTE chunk[16];
    DWORD n = sizeof(chunk);
    EXPECT_TRUE(Archiver::RegReadBinary(key, "block_0x00000000", "data_0x00000002", chunk, &n));
    EXPECT_EQ(n, 8u);
    EXPECT_EQ(chunk[0], bytes[32]);
    kx::RegistryCloseKey(key);

    bool ok = false;
    EXPECT_EQ(Load(ok), bytes);
    EXPECT_TRUE(ok);
}

TEST_F(ExtRegistryArchiverTest, ChunksFillBlocksOf128)
{
    ASSERT_TRUE(Store(Pattern(2048)));
    EXPECT_EQ(SubKeys(), std::vector<std::string>{"block_0x00000000"});
    std::vector<std::string> names = ValueNames("block_0x00000000");
    ASSERT_EQ(names.size(), 128u);
    EXPECT_EQ(names.front(), "data_0x00000000");
    EXPECT_EQ(names.back(), "data_0x0000007F");

    ASSERT_TRUE(Store(Pattern(2049)));
    EXPECT_EQ(SubKeys(), (std::vector<std::string>{"block_0x00000000", "block_0x00000001"}));
    EXPECT_EQ(ValueNames("block_0x00000001"), std::vector<std::string>{"data_0x00000080"});
    BYTE chunk[16];
    DWORD n = sizeof(chunk);
    kx::RegistryHandle key = Archiver::RegOpenKeyOrNull(root, path.c_str(), kx::kRegRead);
    EXPECT_TRUE(Archiver::RegReadBinary(key, "block_0x00000001", "data_0x00000080", chunk, &n));
    kx::RegistryCloseKey(key);
    EXPECT_EQ(n, 1u);
    bool ok = false;
    EXPECT_EQ(Load(ok), Pattern(2049));
    EXPECT_TRUE(ok);

    // a shorter file over the longer one leaves no stale block
    ASSERT_TRUE(Store(Pattern(20)));
    EXPECT_EQ(SubKeys(), std::vector<std::string>{"block_0x00000000"});
    EXPECT_EQ(ValueNames("block_0x00000000").size(), 2u);
    EXPECT_EQ(Load(ok), Pattern(20));
    EXPECT_TRUE(ok);
}

TEST_F(ExtRegistryArchiverTest, EmptyFileStoresNoBlock)
{
    ASSERT_TRUE(Store({}));
    EXPECT_TRUE(SubKeys().empty());
    bool ok = false;
    EXPECT_TRUE(Load(ok).empty());
    EXPECT_TRUE(ok);
}

TEST_F(ExtRegistryArchiverTest, NoKeyPathOrMissingKeyFails)
{
    CMemFile file;
    EXPECT_FALSE(Archiver::WriteArchiveToRegistry(file, nullptr, root));
    EXPECT_FALSE(Archiver::WriteArchiveToRegistry(file, "", root));
    EXPECT_FALSE(Archiver::ReadArchiveFromRegistry(file, nullptr, root));
    EXPECT_FALSE(Archiver::ReadArchiveFromRegistry(file, path.c_str(), root));
}

// Each case damages a stored 40-byte file; every one must be refused with
// the target file left empty.
TEST_F(ExtRegistryArchiverTest, DamagedStoresAreRefused)
{
    struct Case
    {
        const char* what;
        void (*damage)(kx::RegistryHandle key);
    };
    const Case cases[] = {
        {"lower-case integrity text",
         [](kx::RegistryHandle key)
         {
             char text[64];
             ASSERT_TRUE(Archiver::RegReadString(key, nullptr, "data_integrity", text, sizeof(text)));
             for (char* p = text; *p; ++p)
                 *p = (char)std::tolower((unsigned char)*p);
             ASSERT_TRUE(Archiver::RegWriteString(key, nullptr, "data_integrity", text));
         }},
        {"integrity text not a string", [](kx::RegistryHandle key)
         { ASSERT_EQ(kx::RegistrySetValue(key, "data_integrity", kx::kRegDword, "\0\0\0", 4), 0u); }},
        {"changed byte",
         [](kx::RegistryHandle key)
         {
             const BYTE piece[16] = {1};
             ASSERT_TRUE(Archiver::RegWriteBinary(key, "block_0x00000000", "data_0x00000001", piece, 16));
         }},
        {"oversized size", [](kx::RegistryHandle key)
         { ASSERT_TRUE(Archiver::RegWriteDword(key, nullptr, "data_size", Archiver::kMaxStoredSize + 1)); }},
        {"size beyond the chunks",
         [](kx::RegistryHandle key) { ASSERT_TRUE(Archiver::RegWriteDword(key, nullptr, "data_size", 56)); }},
        {"short middle chunk",
         [](kx::RegistryHandle key)
         {
             const BYTE piece[15] = {};
             ASSERT_TRUE(Archiver::RegWriteBinary(key, "block_0x00000000", "data_0x00000001", piece, 15));
         }},
        {"long last chunk",
         [](kx::RegistryHandle key)
         {
             const BYTE piece[16] = {};
             ASSERT_TRUE(Archiver::RegWriteBinary(key, "block_0x00000000", "data_0x00000002", piece, 16));
         }},
        {"chunk of another type", [](kx::RegistryHandle key)
         { ASSERT_TRUE(Archiver::RegWriteString(key, "block_0x00000000", "data_0x00000000", "0123456789abcde")); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Store(Pattern(40)));
        kx::RegistryHandle key = Archiver::RegOpenKeyOrNull(root, path.c_str(), kx::kRegRead | kx::kRegWrite);
        ASSERT_NE(key, 0u);
        c.damage(key);
        kx::RegistryCloseKey(key);
        bool ok = true;
        EXPECT_TRUE(Load(ok).empty());
        EXPECT_FALSE(ok);
    }
}

TEST_F(ExtRegistryArchiverTest, MissingGeneratorDoesNotMatter)
{
    ASSERT_TRUE(Store(Pattern(33)));
    kx::RegistryHandle key = Archiver::RegOpenKeyOrNull(root, path.c_str(), kx::kRegRead | kx::kRegWrite);
    ASSERT_TRUE(Archiver::RegWriteDword(key, nullptr, "data_generator", 0));
    kx::RegistryCloseKey(key);
    bool ok = false;
    EXPECT_EQ(Load(ok), Pattern(33));
    EXPECT_TRUE(ok);
}

} // namespace
