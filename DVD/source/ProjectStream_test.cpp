#include "DVD/source/ProjectStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/MemoryProjectStream.h"

using kxtest::MemoryProjectReader;
using kxtest::MemoryProjectWriter;

namespace
{

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> bytes;
    for (int v : values)
        bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

// A stored text as WriteString lays it out, with a length field of choice.
std::vector<uint8_t> StoredText(uint32_t storedLength, const std::string& body)
{
    std::vector<uint8_t> bytes = {uint8_t(storedLength), uint8_t(storedLength >> 8), uint8_t(storedLength >> 16),
                                  uint8_t(storedLength >> 24)};
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

// A reader that claims to have moved more than it was asked.
class BoastingReader : public CProjectReader
{
public:
    uint32_t Read(void*, uint32_t count) override { return count + 1; }
    uint64_t GetSize() const override { return 100; }
};

} // namespace

TEST(ProjectStream, NumbersAreLittleEndianInTheirOwnWidth)
{
    MemoryProjectWriter writer;
    EXPECT_TRUE(WriteByte(writer, 0x12));
    EXPECT_TRUE(WriteWord(writer, 0x3456));
    EXPECT_TRUE(WriteDword(writer, 0x789ABCDE));
    EXPECT_TRUE(WriteQword(writer, 0x0102030405060708ull));
    EXPECT_EQ(writer.bytes, Bytes({0x12, 0x56, 0x34, 0xDE, 0xBC, 0x9A, 0x78, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(writer.GetTransferred(), 15u);
    EXPECT_TRUE(writer.IsOk());

    MemoryProjectReader reader(writer.bytes);
    uint8_t b = 0;
    uint16_t w = 0;
    uint32_t d = 0;
    uint64_t q = 0;
    EXPECT_TRUE(ReadByte(reader, b));
    EXPECT_TRUE(ReadWord(reader, w));
    EXPECT_TRUE(ReadDword(reader, d));
    EXPECT_TRUE(ReadQword(reader, q));
    EXPECT_EQ(b, 0x12);
    EXPECT_EQ(w, 0x3456);
    EXPECT_EQ(d, 0x789ABCDEu);
    EXPECT_EQ(q, 0x0102030405060708ull);
    EXPECT_EQ(reader.GetBytesLeft(), 0u);
    EXPECT_TRUE(reader.IsOk());
}

TEST(ProjectStream, ShortTransfersClearOk)
{
    MemoryProjectReader reader(Bytes({1, 2, 3}));
    uint16_t w = 0;
    EXPECT_TRUE(ReadWord(reader, w));
    uint32_t d = 0xFFFFFFFF;
    EXPECT_FALSE(ReadDword(reader, d));
    EXPECT_EQ(d, 0u);
    EXPECT_FALSE(reader.IsOk());
    EXPECT_EQ(reader.GetTransferred(), 3u);
    EXPECT_EQ(reader.GetBytesLeft(), 0u);

    MemoryProjectWriter writer(5);
    EXPECT_TRUE(WriteDword(writer, 1));
    EXPECT_FALSE(WriteWord(writer, 2));
    EXPECT_FALSE(writer.IsOk());
    EXPECT_EQ(writer.GetTransferred(), 5u);

    BoastingReader boaster;
    uint8_t byte = 0;
    EXPECT_FALSE(ReadByte(boaster, byte));
    EXPECT_EQ(boaster.GetTransferred(), 0u);
}

TEST(ProjectStream, CountsAreCheckedAgainstTheBytesLeft)
{
    MemoryProjectReader reader(std::vector<uint8_t>(40));
    uint32_t skip = 0;
    ASSERT_TRUE(ReadDword(reader, skip));
    EXPECT_EQ(reader.GetBytesLeft(), 36u);
    EXPECT_TRUE(reader.CanHold(2, 18));
    EXPECT_FALSE(reader.CanHold(3, 18));
    EXPECT_TRUE(reader.CanHold(36, 1));
    EXPECT_FALSE(reader.CanHold(37, 0));
    EXPECT_FALSE(reader.CanHold(UINT64_MAX, 1));
    EXPECT_TRUE(reader.CanHold(0, 1000));
}

TEST(ProjectStream, WriteStringStoresLengthTextAndNul)
{
    MemoryProjectWriter writer;
    writer.WriteString("abc");
    writer.WriteString("");
    EXPECT_EQ(writer.bytes, Bytes({4, 0, 0, 0, 'a', 'b', 'c', 0, 1, 0, 0, 0, 0}));
}

TEST(ProjectStream, ReadStringAlwaysLeavesATerminatedText)
{
    struct Case
    {
        const char* name;
        std::vector<uint8_t> stored;
        uint32_t capacity;
        uint32_t result;
        std::string text;
        uint64_t left;
    };
    const std::string ten = "0123456789";
    const Case cases[] = {
        {"whole", StoredText(11, ten + '\0'), 11, 0, ten, 0},
        {"roomy buffer", StoredText(11, ten + '\0'), 64, 0, ten, 0},
        {"longer than the buffer", StoredText(11, ten + '\0'), 8, 3, "0123456", 3},
        {"no NUL", StoredText(3, "abc"), 10, 1, "abc", 0},
        {"no NUL, buffer just fits", StoredText(3, "abc"), 3, 1, "ab", 0},
        {"zero length", StoredText(0, ""), 4, 1, "", 0},
        {"cut short", StoredText(11, "0123"), 64, 7, "0123", 0},
        {"no length", Bytes({5, 0}), 8, 1, "", 0},
        {"huge length", StoredText(0xFFFFFFFF, "ab"), 16, 0xFFFFFFFD, "ab", 0},
    };
    for (const Case& c : cases)
    {
        MemoryProjectReader reader(c.stored);
        std::vector<char> buffer(c.capacity, 'x');
        EXPECT_EQ(reader.ReadString(buffer.data(), c.capacity), c.result) << c.name;
        EXPECT_EQ(std::string(buffer.data()), c.text) << c.name;
        EXPECT_EQ(reader.GetBytesLeft(), c.left) << c.name;
    }
}

TEST(ProjectStream, ReadStringIntoCStringRefusesDamage)
{
    struct Case
    {
        const char* name;
        std::vector<uint8_t> stored;
        uint32_t maxLength;
        bool ok;
        const char* text;
    };
    const Case cases[] = {
        {"whole", StoredText(4, std::string("abc") + '\0'), 3, true, "abc"},
        {"empty", StoredText(1, std::string(1, '\0')), 0, true, ""},
        {"too long", StoredText(4, std::string("abc") + '\0'), 2, false, ""},
        {"no NUL", StoredText(4, "abcd"), 10, false, ""},
        {"NUL inside", StoredText(4, std::string("a\0c\0", 4)), 10, false, ""},
        {"zero length", StoredText(0, ""), 10, false, ""},
        {"beyond the stream", StoredText(0x7FFFFFF0, "abc"), 0x7FFFFFFF, false, ""},
    };
    for (const Case& c : cases)
    {
        MemoryProjectReader reader(c.stored);
        CString text("old");
        EXPECT_EQ(reader.ReadString(text, c.maxLength), c.ok) << c.name;
        EXPECT_STREQ(text, c.text) << c.name;
    }
}
