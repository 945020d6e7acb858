// Layout files as written, and the files the reader must refuse without
// reading past their end.
#include "DvdGui/core/LayoutFile.h"

#include "framework/core/CMemFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

using Bytes = std::vector<uint8_t>;

const char kProfile[] = "CFRMPRGR0";

Bytes Contents(CMemFile& file)
{
    Bytes bytes(size_t(file.GetLength()));
    file.SeekToBegin();
    if (!bytes.empty())
        file.Read(bytes.data(), UINT(bytes.size()));
    return bytes;
}

Bytes WriteFile(const char* pszProfile, const Bytes* pState)
{
    CMemFile file;
    WriteLayoutSignature(file);
    EXPECT_TRUE(WriteLayoutBody(file, pszProfile, pState));
    return Contents(file);
}

// Signature and body read as the program does; the state is kept in *pState.
bool ReadFile(const Bytes& bytes, const char* pszProfile = kProfile, Bytes* pState = nullptr)
{
    CMemFile file(bytes.data(), UINT(bytes.size()));
    if (!ReadLayoutSignature(file))
        return false;
    Bytes state = {0xEE};
    const bool bRead = ReadLayoutBody(file, pszProfile, state);
    if (!bRead)
        EXPECT_TRUE(state.empty()) << "a refused state is dropped";
    if (pState)
        *pState = state;
    return bRead;
}

void PutUInt32(Bytes& bytes, size_t nOffset, uint32_t nValue)
{
    for (int i = 0; i < 4; ++i)
        bytes[nOffset + i] = uint8_t(nValue >> (8 * i));
}

const Bytes kState = {'b', 'a', 'r', 's', 0, 1, 2};
// Where the fields of a file with kProfile stand.
const size_t kNameLengthAt = 8;
const size_t kNameAt = 12;
const size_t kFlagAt = kNameAt + sizeof(kProfile);
const size_t kStateLengthAt = kFlagAt + 1;
const size_t kStateAt = kStateLengthAt + 4;

TEST(LayoutFile, TheFileHoldsSignatureTagNameFlagAndState)
{
    const Bytes bytes = WriteFile(kProfile, &kState);
    const Bytes expected = {0x00, 0x66, 0x00, 0x00, 101, 0, 0, 0, 10, 0, 0,   0,   'C', 'F', 'R', 'M', 'P',
                            'R',  'G',  'R',  '0',  0,   1, 7, 0, 0,  0, 'b', 'a', 'r', 's', 0,   1,   2};
    EXPECT_EQ(bytes, expected);
    Bytes state;
    EXPECT_TRUE(ReadFile(bytes, kProfile, &state));
    EXPECT_EQ(state, kState);
}

TEST(LayoutFile, OnlyTheSecondByteOfTheSignatureCounts)
{
    const struct
    {
        Bytes bytes;
        bool bAccepted;
    } cases[] = {
        {{}, false},
        {{0x00}, false},
        {{0x00, 0x66}, false},
        {{0x00, 0x66, 0x00}, false}, // shorter than the signature
        {{0x00, 0x67, 0x00, 0x00}, false},
        {{0x66, 0x00, 0x00, 0x00}, false},
        {{0x00, 0x66, 0x00, 0x00}, true},
        {{'A', 'f', 'B', 'C'}, true},
    };
    for (const auto& c : cases)
    {
        CMemFile file(c.bytes.data(), UINT(c.bytes.size()));
        EXPECT_EQ(ReadLayoutSignature(file), c.bAccepted) << c.bytes.size();
    }
}

TEST(LayoutFile, DamagedBodiesAreRefused)
{
    const Bytes good = WriteFile(kProfile, &kState);
    const struct
    {
        const char* what;
        size_t nOffset;
        uint32_t nValue;
        bool bByte; // only the byte at the offset
    } cases[] = {
        {"tag", 4, 102, false},
        {"name length 0", kNameLengthAt, 0, false},
        {"name length above 256", kNameLengthAt, 257, false},
        {"name length far beyond the file", kNameLengthAt, 0xFFFFFFFF, false},
        {"name length one short", kNameLengthAt, 9, false},
        {"name length one long", kNameLengthAt, 11, false},
        {"name without its zero", kFlagAt - 1, 'X', true},
        {"zero inside the name", kNameAt + 3, 0, true},
        {"another profile", kNameAt + 8, '1', true},
        {"no state", kFlagAt, 0, true},
        {"unknown flag", kFlagAt, 2, true},
        {"state length 0", kStateLengthAt, 0, false},
        {"state one beyond the end", kStateLengthAt, uint32_t(kState.size() + 1), false},
        {"state far beyond the end", kStateLengthAt, 0xFFFFFFFF, false},
    };
    for (const auto& c : cases)
    {
        Bytes bytes = good;
        if (c.bByte)
            bytes[c.nOffset] = uint8_t(c.nValue);
        else
            PutUInt32(bytes, c.nOffset, c.nValue);
        EXPECT_FALSE(ReadFile(bytes)) << c.what;
    }
}

TEST(LayoutFile, EveryTruncationIsRefused)
{
    const Bytes good = WriteFile(kProfile, &kState);
    for (size_t nLength = 0; nLength < good.size(); ++nLength)
        EXPECT_FALSE(ReadFile(Bytes(good.begin(), good.begin() + nLength))) << nLength;
}

TEST(LayoutFile, BytesAfterTheStateAreLeftUnread)
{
    Bytes bytes = WriteFile(kProfile, &kState);
    bytes.insert(bytes.end(), {9, 9, 9});
    Bytes state;
    EXPECT_TRUE(ReadFile(bytes, kProfile, &state));
    EXPECT_EQ(state, kState);
}

TEST(LayoutFile, AFileWithoutStateIsWrittenButNotLoaded)
{
    const Bytes bytes = WriteFile(kProfile, nullptr);
    ASSERT_EQ(bytes.size(), kStateLengthAt);
    EXPECT_EQ(bytes[kFlagAt], 0);
    EXPECT_FALSE(ReadFile(bytes));
}

TEST(LayoutFile, NamesUpTo255CharactersGoBothWays)
{
    const struct
    {
        size_t nLength;
        bool bWritten;
    } cases[] = {{0, false}, {1, true}, {255, true}, {256, false}};
    for (const auto& c : cases)
    {
        const std::string name(c.nLength, 'N');
        CMemFile file;
        EXPECT_EQ(WriteLayoutBody(file, name.c_str(), &kState), c.bWritten) << c.nLength;
        if (!c.bWritten)
        {
            EXPECT_EQ(file.GetLength(), 0u);
            continue;
        }
        file.SeekToBegin();
        Bytes state;
        EXPECT_TRUE(ReadLayoutBody(file, name.c_str(), state)) << c.nLength;
        EXPECT_EQ(state, kState);
    }
}

} // namespace
