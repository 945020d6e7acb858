#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Shared/platform/PlatformRegistry.h"
#include "Shared/platform/PlatformTime.h"
#include "Shared/source/RegistryKey.h"

namespace
{

using kx::RegistryCurrentUser;

// A key of its own for each test below the current user's settings,
// removed afterwards.
class RegistryTest : public ::testing::Test
{
protected:
    void SetUp() override { path = "Software\\KestreluxTests\\t" + std::to_string(kx::MonotonicTicks()); }
    void TearDown() override
    {
        CRegistryKey::DeleteKeyRecursive(RegistryCurrentUser(), path.c_str());
        CRegistryKey::DeleteKeyRecursive(RegistryCurrentUser(), "Software\\KestreluxTests");
    }
    bool Exists(const std::string& sub)
    {
        kx::RegistryHandle h = 0;
        if (kx::RegistryOpenKey(RegistryCurrentUser(), sub.c_str(), kx::kRegRead, h) != kx::kRegOk)
        {
            return false;
        }
        kx::RegistryCloseKey(h);
        return true;
    }
    std::string path;
};

TEST_F(RegistryTest, ValuesRoundTripThroughTheStore)
{
    {
        CRegistryKey key(CRegistryKey::kCreate);
        ASSERT_TRUE(key.Open(RegistryCurrentUser(), path.c_str(), kx::kRegRead | kx::kRegWrite));
        EXPECT_EQ(key.GetValueCount(), 0u);
        key.GetValue("LastFolder").SetString("D:\\DVD\\VIDEO_TS");
        key.GetValue("REV").SetDword(0x01020304);
        const uint8_t blob[] = {0, 1, 2, 250};
        key.GetValue("data").SetBinary(blob, sizeof(blob));
        key.GetValue("empty").SetBinary(blob, 0); // nothing for no bytes
        const char list[] = "one\0two\0";         // with the array's NUL: "one\0two\0\0"
        key.GetValue("list").SetMultiString(list, sizeof(list), false);
        EXPECT_TRUE(key.GetValue("rev").IsWritten()); // names compare without case
        EXPECT_FALSE(key.GetValue("empty").IsWritten());
        EXPECT_EQ(key.GetValue("list").GetStrings(), (std::vector<std::string>{"one", "two"}));
    }
    CRegistryKey key;
    ASSERT_TRUE(key.Open(RegistryCurrentUser(), path.c_str(), kx::kRegRead));
    EXPECT_EQ(key.GetValueCount(), 4u);
    EXPECT_EQ(key.GetValue("lastfolder").GetType(), uint32_t(kx::kRegString));
    EXPECT_EQ(key.GetValue("LastFolder").GetString(), "D:\\DVD\\VIDEO_TS");
    EXPECT_EQ(key.GetValue("REV").GetDword(), 0x01020304u);
    EXPECT_EQ(key.GetValue("data").GetBinary(), (std::vector<uint8_t>{0, 1, 2, 250}));
    EXPECT_EQ(key.GetValue("list").GetType(), uint32_t(kx::kRegMultiString));
    EXPECT_EQ(key.GetValue("list").GetStrings(), (std::vector<std::string>{"one", "two"}));
    // Loading assigns the records without writing them back.
    EXPECT_FALSE(key.GetValue("REV").IsWritten());
    EXPECT_EQ(key.GetValueCount(), 4u);
}

TEST_F(RegistryTest, MissingKeyFailsWithoutCreateMode)
{
    CRegistryKey key;
    EXPECT_FALSE(key.Open(RegistryCurrentUser(), path.c_str(), kx::kRegRead));
    EXPECT_EQ(key.GetHandle(), 0u);
    EXPECT_FALSE(Exists(path));
}

TEST_F(RegistryTest, SameNameKeepsRecordsOtherNameDropsThem)
{
    CRegistryKey key(CRegistryKey::kCreate);
    ASSERT_TRUE(key.Open(RegistryCurrentUser(), path.c_str(), kx::kRegRead | kx::kRegWrite));
    key.GetValue("kept").SetDword(1);
    std::string upper = path;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ASSERT_TRUE(key.Open(RegistryCurrentUser(), upper.c_str(), kx::kRegRead | kx::kRegWrite));
    EXPECT_EQ(key.GetValueCount(), 1u);
    ASSERT_TRUE(key.Open(RegistryCurrentUser(), (path + "\\Other").c_str(), kx::kRegRead));
    EXPECT_EQ(key.GetValueCount(), 0u);
}

TEST_F(RegistryTest, OnDemandKeyHoldsNoHandleBetweenUses)
{
    CRegistryKey key(CRegistryKey::kCreate | CRegistryKey::kOnDemand);
    ASSERT_TRUE(key.Open(RegistryCurrentUser(), path.c_str(), kx::kRegRead));
    EXPECT_EQ(key.GetHandle(), 0u);
    key.GetValue("MF_MX").SetDword(1);
    EXPECT_TRUE(key.GetValue("MF_MX").IsWritten());
    EXPECT_EQ(key.GetHandle(), 0u);
    EXPECT_EQ(key.GetMode(), uint32_t(CRegistryKey::kCreate | CRegistryKey::kOnDemand));

    CRegistryKey reader(CRegistryKey::kOnDemand);
    ASSERT_TRUE(reader.Open(RegistryCurrentUser(), path.c_str(), kx::kRegRead));
    EXPECT_EQ(reader.GetValue("mf_mx").GetDword(), 1u);
}

TEST_F(RegistryTest, DeleteKeyRecursiveRemovesNestedKeys)
{
    for (const char* sub : {"\\a\\b\\c", "\\a\\d", "\\e"})
    {
        CRegistryKey key(CRegistryKey::kCreate);
        ASSERT_TRUE(key.Open(RegistryCurrentUser(), (path + sub).c_str(), kx::kRegWrite));
        key.GetValue("v").SetDword(7);
    }
    EXPECT_TRUE(Exists(path + "\\a\\b\\c"));
    EXPECT_TRUE(CRegistryKey::DeleteKeyRecursive(RegistryCurrentUser(), path.c_str()));
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(CRegistryKey::DeleteKeyRecursive(RegistryCurrentUser(), path.c_str()));
    EXPECT_FALSE(CRegistryKey::DeleteKeyRecursive(RegistryCurrentUser(), ""));
    EXPECT_FALSE(CRegistryKey::DeleteKeyRecursive(0, path.c_str()));
}

TEST_F(RegistryTest, DeleteKeyOfAnOpenKey)
{
    CRegistryKey key(CRegistryKey::kCreate);
    ASSERT_TRUE(key.Open(RegistryCurrentUser(), (path + "\\Profile\\ControlBar").c_str(), kx::kRegWrite));
    CRegistryKey profile(CRegistryKey::kCreate);
    ASSERT_TRUE(profile.Open(RegistryCurrentUser(), (path + "\\Profile").c_str(), kx::kRegWrite));
    EXPECT_TRUE(profile.DeleteKey());
    EXPECT_EQ(profile.GetHandle(), 0u);
    EXPECT_FALSE(Exists(path + "\\Profile"));
    EXPECT_TRUE(Exists(path));
}

TEST_F(RegistryTest, DeleteStopsAtAKeyThatCannotBeDeleted)
{
    {
        CRegistryKey key(CRegistryKey::kCreate);
        ASSERT_TRUE(key.Open(RegistryCurrentUser(), (path + "\\locked\\inner").c_str(), kx::kRegWrite));
    }
    kx::RegistryHandle locked = 0;
    ASSERT_EQ(kx::RegistryOpenKey(RegistryCurrentUser(), (path + "\\locked").c_str(), kx::kRegRead, locked),
              kx::kRegOk);
    bool readOnly = kx::RegistryMakeReadOnly(locked);
    kx::RegistryCloseKey(locked);
    if (!readOnly)
        GTEST_SKIP() << "this store cannot protect a key";
    // The protected key keeps coming back as the first sub-key; the delete
    // must give up instead of trying it for ever.
    EXPECT_FALSE(CRegistryKey::DeleteKeyRecursive(RegistryCurrentUser(), path.c_str()));
    EXPECT_TRUE(Exists(path + "\\locked\\inner"));
    EXPECT_FALSE(CRegistryKey::DeleteKeyRecursive(RegistryCurrentUser(), (path + "\\locked").c_str()));
}

TEST_F(RegistryTest, QueryValueByNameWithoutCase)
{
    kx::RegistryHandle key = 0;
    ASSERT_EQ(kx::RegistryCreateKey(RegistryCurrentUser(), path.c_str(), kx::kRegRead | kx::kRegWrite, key),
              kx::kRegOk);
    const uint8_t bytes[] = {9, 8, 7};
    ASSERT_EQ(kx::RegistrySetValue(key, "Chunk", kx::kRegBinary, bytes, sizeof(bytes)), kx::kRegOk);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(kx::RegistryQueryValue(key, "CHUNK", type, data), kx::kRegOk);
    EXPECT_EQ(type, uint32_t(kx::kRegBinary));
    EXPECT_EQ(data, (std::vector<uint8_t>{9, 8, 7}));
    EXPECT_EQ(kx::RegistryQueryValue(key, "other", type, data), kx::kRegNotFound);
    kx::RegistryCloseKey(key);
}

} // namespace
