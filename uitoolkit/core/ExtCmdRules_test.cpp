#include "uitoolkit/core/ExtCmdRules.h"

#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"

#include <gtest/gtest.h>

#include <set>

namespace
{

using Rules = CExtCmdRules;

TEST(ExtCmdRules, TipTexts)
{
    struct Case
    {
        const char* text;
        bool ok;
        const char* status;
        const char* tip;
    };
    const Case cases[] = {
        {"Create a document\nNew", true, "Create a document", "New"},
        {"  Open\ta document \r\n  Open  ", true, "Open a document", "Open"},
        {"Only a prompt", true, "Only a prompt", ""},
        {"Prompt\n", true, "Prompt", ""},
        {" \n ", true, "", ""},
        {"\nTip only", true, "", "Tip only"},
        {"Two\nline\nbreaks", true, "Two", "line\nbreaks"},
        {"   ", false, "", ""},
        {" \t\r ", false, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        CString status = "old", tip = "old";
        EXPECT_EQ(Rules::SplitTipText(c.text, status, tip), c.ok);
        EXPECT_STREQ(status, c.status);
        EXPECT_STREQ(tip, c.tip);
    }
}

TEST(ExtCmdRules, MenuTexts)
{
    struct Case
    {
        const char* text;
        bool ok;
        const char* menu;
        const char* accel;
    };
    const Case cases[] = {
        {"&File\tCtrl+F", true, "&File", "Ctrl+F"},
        {" &New \t Ctrl+N ", true, "&New", "Ctrl+N"},
        {"&Open...", true, "&Open...", ""},
        {"Line\r\nbreak\tF1", true, "Linebreak", "F1"},
        {"  ", false, "", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        CString menu = "old", accel = "old";
        EXPECT_EQ(Rules::SplitMenuText(c.text, menu, accel), c.ok);
        EXPECT_STREQ(menu, c.menu);
        EXPECT_STREQ(accel, c.accel);
    }
}

TEST(ExtCmdRules, UsagePercentDoesNotWrap)
{
    EXPECT_EQ(Rules::UsagePercent(5, 0), 0u);
    EXPECT_EQ(Rules::UsagePercent(1, 3), 33u);
    EXPECT_EQ(Rules::UsagePercent(50000000, 100000000), 50u);
    // 32-bit arithmetic would give (4,000,000,000 * 100 mod 2^32) / ... = 3
    EXPECT_EQ(Rules::UsagePercent(4000000000u, 4000000000u), 100u);
    EXPECT_EQ(Rules::UsagePercent(0xFFFFFFFDu, 0xFFFFFFFDu), 100u);
}

TEST(ExtCmdRules, FreeCommandIdsCountDownFrom65534)
{
    std::set<UINT> registered;
    auto isRegistered = [&](UINT id) { return registered.count(id) != 0; };
    EXPECT_EQ(Rules::FindFreeCommandId(isRegistered), 65534u);
    registered = {65534, 65533, 65531};
    EXPECT_EQ(Rules::FindFreeCommandId(isRegistered), 65532u);
    EXPECT_EQ(Rules::FindFreeCommandId([](UINT) { return true; }), 0u);
}

std::vector<BYTE> Stored(UINT total, const std::vector<Rules::UsageRecord>& records)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        Rules::StoreUsage(ar, total, records);
    }
    std::vector<BYTE> bytes((size_t)file.GetLength());
    file.SeekToBegin();
    file.Read(bytes.data(), (UINT)bytes.size());
    return bytes;
}

bool Load(const std::vector<BYTE>& bytes, UINT& total, std::vector<Rules::UsageRecord>& records)
{
    CMemFile file(bytes.data(), (UINT)bytes.size());
    CArchive ar(&file, CArchive::load);
    return Rules::LoadUsage(ar, total, records);
}

TEST(ExtCmdRules, UsageArchiveLayout)
{
    const std::vector<BYTE> bytes = Stored(7, {{100, 5}, {0x7FFFFFFF, 2}});
    const std::string signature = "Quorbis (v. 2.5.0.0) command profile";
    ASSERT_EQ(bytes.size(), 1 + signature.size() + 4 * (2 + 4 + 1 + 4 + 1));
    EXPECT_EQ(bytes[0], signature.size());
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 1 + signature.size()), signature);
    auto dword = [&](size_t index)
    {
        size_t at = 1 + signature.size() + 4 * index;
        return DWORD(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
    };
    EXPECT_EQ(dword(0), 0x02050000u);
    EXPECT_EQ(dword(1), 0x0205u);
    EXPECT_EQ(dword(2) | dword(3) | dword(4) | dword(5), 0u);
    EXPECT_EQ(dword(6), 7u);
    EXPECT_EQ(dword(7), 100u);
    EXPECT_EQ(dword(8), 5u);
    EXPECT_EQ(dword(9), 0x7FFFFFFFu);
    EXPECT_EQ(dword(11), 0u);

    UINT total = 0;
    std::vector<Rules::UsageRecord> records;
    ASSERT_TRUE(Load(bytes, total, records));
    EXPECT_EQ(total, 7u);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].nCmdID, 0x7FFFFFFFu);
    EXPECT_EQ(records[1].nUsage, 2u);
}

TEST(ExtCmdRules, RefusedArchivesChangeNothing)
{
    const std::vector<BYTE> good = Stored(7, {{100, 5}});
    std::vector<BYTE> otherVersion = good;
    otherVersion[1 + 36 + 4] = 0x06; // short version word 0x0206
    std::vector<BYTE> noTerminator(good.begin(), good.end() - 4);
    std::vector<BYTE> cutInPair(good.begin(), good.end() - 6);
    for (const std::vector<BYTE>* bytes : {&otherVersion, &noTerminator, &cutInPair})
    {
        UINT total = 99;
        std::vector<Rules::UsageRecord> records = {{1, 1}};
        EXPECT_FALSE(Load(*bytes, total, records));
        EXPECT_EQ(total, 99u);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].nCmdID, 1u);
    }
}

} // namespace
