// The walk over dialog-init records, sound to its end and past damaged data.
#include "uitoolkit/core/ExtDialogInitData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{

typedef std::vector<BYTE> Bytes;

void Record(Bytes& out, WORD nId, WORD nMessage, const Bytes& data)
{
    const DWORD n = (DWORD)data.size();
    out.insert(out.end(), {(BYTE)nId, (BYTE)(nId >> 8), (BYTE)nMessage, (BYTE)(nMessage >> 8), (BYTE)n, (BYTE)(n >> 8),
                           (BYTE)(n >> 16), (BYTE)(n >> 24)});
    out.insert(out.end(), data.begin(), data.end());
}

Bytes Text(const char* s, bool bZero = true)
{
    Bytes b(s, s + std::strlen(s));
    if (bZero)
        b.push_back(0);
    return b;
}

TEST(ExtDialogInitData, RecordsRunUpToTheEndingControlId)
{
    Bytes data;
    Record(data, 0x7341, 0x0403, Text("One"));
    Record(data, 0x7342, 0x0402, Text("skipped by the sender, not here"));
    Record(data, 0x7343, 0x0401, Text("no zero", false));
    data.insert(data.end(), {0, 0});
    Record(data, 0x7344, 0x0401, Text("after the end"));
    const std::vector<ExtDialogInitRecord> records = ParseDialogInitData(data.data(), data.size());
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].nControlId, 0x7341);
    EXPECT_EQ(records[0].nMessage, 0x0403);
    EXPECT_EQ(records[0].sText, "One");
    EXPECT_EQ(records[1].nMessage, 0x0402);
    EXPECT_EQ(records[2].sText, "no zero");
}

TEST(ExtDialogInitData, TheEndOfTheDataEndsTheWalk)
{
    Bytes data;
    Record(data, 0x10, 0x0403, Text("kept"));
    Record(data, 0x11, 0x0403, Text("cut short"));
    // without the ending id; cut inside the second record's text, its
    // header and its control id (it starts at 13)
    for (size_t nCut : {data.size(), (size_t)13 + 8 + 4, (size_t)13 + 5, (size_t)13 + 1})
    {
        const std::vector<ExtDialogInitRecord> records = ParseDialogInitData(data.data(), nCut);
        ASSERT_GE(records.size(), 1u) << nCut;
        EXPECT_EQ(records[0].sText, "kept");
        EXPECT_EQ(records.size(), nCut == data.size() ? 2u : 1u) << nCut;
    }
    // a length that runs far past the end
    Bytes huge;
    Record(huge, 0x12, 0x0401, Text("x"));
    huge[4] = huge[5] = huge[6] = huge[7] = 0xFF;
    EXPECT_TRUE(ParseDialogInitData(huge.data(), huge.size()).empty());
    EXPECT_TRUE(ParseDialogInitData(nullptr, 0).empty());
}

} // namespace
