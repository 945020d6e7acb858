#include "framework/core/CArchive.h"

#include "framework/core/CMemFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{

std::vector<BYTE> Contents(CMemFile& file)
{
    std::vector<BYTE> bytes((size_t)file.GetLength());
    file.SeekToBegin();
    if (!bytes.empty())
        file.Read(bytes.data(), (UINT)bytes.size());
    return bytes;
}

struct AllTypes
{
    BYTE by = 0;
    WORD w = 0;
    DWORD dw = 0;
    LONG l = 0;
    int n = 0;
    UINT u = 0;
    short s = 0;
    char ch = 0;
    bool b = false;
    float f = 0;
    double d = 0;
    LONGLONG ll = 0;
    CPoint pt;
    CSize size;
    CRect rc;
    CString text;
    CString empty;

    void Serialize(CArchive& ar)
    {
        if (ar.IsStoring())
            ar << by << w << dw << l << n << u << s << ch << b << f << d << ll << pt << size << rc << text << empty;
        else
            ar >> by >> w >> dw >> l >> n >> u >> s >> ch >> b >> f >> d >> ll >> pt >> size >> rc >> text >> empty;
    }
};

AllTypes SampleValues()
{
    AllTypes v;
    v.by = 0xA5;
    v.w = 0xBEEF;
    v.dw = 0xDEADBEEF;
    v.l = -123456789;
    v.n = -2;
    v.u = 4000000000u;
    v.s = -30000;
    v.ch = 'K';
    v.b = true;
    v.f = 1.5f;
    v.d = -2.25e300;
    v.ll = -0x123456789ALL;
    v.pt = CPoint(-5, 7);
    v.size = CSize(720, 576);
    v.rc = CRect(1, -2, 3000, 4);
    v.text = "VTS_01_1.VOB";
    return v;
}

TEST(CArchive, RoundTripsEveryType)
{
    CMemFile file;
    AllTypes stored = SampleValues();
    {
        CArchive ar(&file, CArchive::store);
        stored.Serialize(ar);
        ar.Close();
    }
    // 43 bytes of numbers, 32 of geometry, 13 and 1 for the texts
    EXPECT_EQ(89u, file.GetLength());

    file.SeekToBegin();
    AllTypes loaded;
    loaded.empty = "to be replaced";
    CArchive ar(&file, CArchive::load);
    loaded.Serialize(ar);
    EXPECT_EQ(stored.by, loaded.by);
    EXPECT_EQ(stored.w, loaded.w);
    EXPECT_EQ(stored.dw, loaded.dw);
    EXPECT_EQ(stored.l, loaded.l);
    EXPECT_EQ(stored.n, loaded.n);
    EXPECT_EQ(stored.u, loaded.u);
    EXPECT_EQ(stored.s, loaded.s);
    EXPECT_EQ(stored.ch, loaded.ch);
    EXPECT_EQ(stored.b, loaded.b);
    EXPECT_EQ(stored.f, loaded.f);
    EXPECT_EQ(stored.d, loaded.d);
    EXPECT_EQ(stored.ll, loaded.ll);
    EXPECT_EQ(stored.pt, loaded.pt);
    EXPECT_EQ(stored.size, loaded.size);
    EXPECT_EQ(stored.rc, loaded.rc);
    EXPECT_STREQ(stored.text, loaded.text);
    EXPECT_TRUE(loaded.empty.IsEmpty());
    BYTE extra;
    EXPECT_EQ(0u, ar.Read(&extra, 1)); // a plain read at the end just comes back short
}

TEST(CArchive, NumbersAreLittleEndianInTheirOwnWidth)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << (DWORD)0x11223344 << (WORD)0x5566 << (LONG)-2 << true << CPoint(1, -1) << 1.0f;
    }
    const std::vector<BYTE> expected = {0x44, 0x33, 0x22, 0x11, 0x66, 0x55, 0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0x01,
                                        0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F};
    EXPECT_EQ(expected, Contents(file));
}

struct TextCase
{
    int nLength;
    std::vector<BYTE> prefix;
};

class TextEncoding : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(TextEncoding, MatchesTheLengthPrefixAndRoundTrips)
{
    const TextCase& c = GetParam();
    CString text;
    char* p = text.GetBufferSetLength(c.nLength);
    for (int i = 0; i < c.nLength; ++i)
        p[i] = (char)('a' + i % 26);
    text.ReleaseBuffer(c.nLength);

    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << text;
    }
    std::vector<BYTE> bytes = Contents(file);
    ASSERT_EQ(c.prefix.size() + (size_t)c.nLength, bytes.size());
    EXPECT_EQ(c.prefix, std::vector<BYTE>(bytes.begin(), bytes.begin() + (ptrdiff_t)c.prefix.size()));
    EXPECT_EQ(0, memcmp(bytes.data() + c.prefix.size(), (LPCSTR)text, (size_t)c.nLength));

    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CString loaded;
    ar >> loaded;
    EXPECT_EQ(c.nLength, loaded.GetLength());
    EXPECT_TRUE(loaded == text);
}

INSTANTIATE_TEST_SUITE_P(Lengths, TextEncoding,
                         ::testing::Values(TextCase{0, {0x00}}, TextCase{254, {0xFE}},
                                           TextCase{255, {0xFF, 0xFF, 0x00}}, TextCase{65533, {0xFF, 0xFD, 0xFF}},
                                           TextCase{65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                                           TextCase{65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
                                           TextCase{70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}),
                         [](const ::testing::TestParamInfo<TextCase>& info)
                         { return "Length" + std::to_string(info.param.nLength); });

int LoadCause(const std::vector<BYTE>& bytes)
{
    CMemFile file(bytes.data(), (UINT)bytes.size());
    CArchive ar(&file, CArchive::load);
    try
    {
        AllTypes loaded;
        loaded.Serialize(ar);
    }
    catch (CException* e)
    {
        int cause = e->IsKindOf(RUNTIME_CLASS(CArchiveException)) ? static_cast<CArchiveException*>(e)->m_cause : -1;
        e->Delete();
        return cause;
    }
    return CArchiveException::none;
}

TEST(CArchive, EveryTruncationThrowsEndOfFile)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        AllTypes stored = SampleValues();
        stored.text = CString('t', 300); // the WORD length form
        stored.Serialize(ar);
    }
    std::vector<BYTE> bytes = Contents(file);
    ASSERT_EQ(CArchiveException::none, LoadCause(bytes));
    for (size_t n = 0; n < bytes.size(); ++n)
        EXPECT_EQ(CArchiveException::endOfFile,
                  LoadCause(std::vector<BYTE>(bytes.begin(), bytes.begin() + (ptrdiff_t)n)))
            << "cut at " << n;
}

CArchiveException* LoadText(const std::vector<BYTE>& bytes, CString& text)
{
    CMemFile file(bytes.data(), (UINT)bytes.size());
    CArchive ar(&file, CArchive::load);
    try
    {
        ar >> text;
    }
    catch (CArchiveException* e)
    {
        return e;
    }
    return nullptr;
}

TEST(CArchive, DamagedTextLengthsAreRefused)
{
    struct Case
    {
        const char* name;
        std::vector<BYTE> bytes;
        int cause;
    };
    const Case cases[] = {
        // 2 GB announced, 3 bytes there: fails at the end of the bytes, without
        // reserving the announced size first
        {"HugeLength", {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'}, CArchiveException::endOfFile},
        {"LongerThanFile", {0xFF, 0x00, 0x01, 'a', 'b'}, CArchiveException::endOfFile},
        {"WideTextMarker", {0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b', 0}, CArchiveException::genericException},
        {"SixtyFourBitLength", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}, CArchiveException::genericException},
        {"BeyondAnyText", {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}, CArchiveException::genericException},
    };
    for (const Case& c : cases)
    {
        CString text("unchanged");
        CArchiveException* e = LoadText(c.bytes, text);
        ASSERT_NE(nullptr, e) << c.name;
        EXPECT_EQ(c.cause, e->m_cause) << c.name;
        EXPECT_STREQ("unchanged", text) << c.name;
        e->Delete();
    }
}

TEST(CArchive, CrossesItsBufferInBothDirections)
{
    std::vector<BYTE> block(10000);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = (BYTE)(i * 7);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store, 4096);
        for (int i = 0; i < 3000; ++i)
            ar << (DWORD)i; // 12,000 bytes in small pieces
        ar.Write(block.data(), (UINT)block.size());
        ar << CString("tail");
    }
    EXPECT_EQ(12000u + 10000u + 5u, file.GetLength());

    file.SeekToBegin();
    CArchive ar(&file, CArchive::load, 4096);
    for (int i = 0; i < 3000; ++i)
    {
        DWORD dw;
        ar >> dw;
        ASSERT_EQ((DWORD)i, dw);
    }
    std::vector<BYTE> back(block.size());
    EXPECT_EQ(back.size(), ar.Read(back.data(), (UINT)back.size()));
    EXPECT_EQ(block, back);
    CString tail;
    ar >> tail;
    EXPECT_STREQ("tail", tail);
}

TEST(CArchive, WrongDirectionThrows)
{
    CMemFile file;
    BYTE b = 0;
    {
        CArchive ar(&file, CArchive::store);
        try
        {
            ar >> b;
            ADD_FAILURE();
        }
        catch (CArchiveException* e)
        {
            EXPECT_EQ(CArchiveException::writeOnly, e->m_cause);
            e->Delete();
        }
    }
    CArchive ar(&file, CArchive::load);
    try
    {
        ar << b;
        ADD_FAILURE();
    }
    catch (CArchiveException* e)
    {
        EXPECT_EQ(CArchiveException::readOnly, e->m_cause);
        e->Delete();
    }
}

TEST(CArchive, FlushWhileLoadingPutsTheFileWhereReadingStands)
{
    const BYTE bytes[] = {1, 2, 3, 4, 5, 6, 7, 8};
    CMemFile file(bytes, sizeof(bytes));
    CArchive ar(&file, CArchive::load);
    WORD w;
    ar >> w;
    EXPECT_EQ(8u, file.GetPosition()); // read ahead into the buffer
    ar.Flush();
    EXPECT_EQ(2u, file.GetPosition());
    BYTE b;
    ar >> b;
    EXPECT_EQ(3, b);
}

TEST(CArchive, BytesLeftCountTheBufferAndTheRestOfTheFile)
{
    std::vector<BYTE> bytes(10000, 7);
    CMemFile file(bytes.data(), (UINT)bytes.size());
    CArchive ar(&file, CArchive::load, 128);
    EXPECT_EQ(10000u, ar.GetBytesLeft());
    DWORD dw;
    ar >> dw;
    EXPECT_EQ(9996u, ar.GetBytesLeft()); // the read-ahead still counts
    std::vector<BYTE> rest(9996);
    EXPECT_EQ(9996u, ar.Read(rest.data(), (UINT)rest.size()));
    EXPECT_EQ(0u, ar.GetBytesLeft());
}

TEST(CArchive, DestructionWritesWhatIsBufferedAndAbortDoesNot)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << (DWORD)1;
    }
    EXPECT_EQ(4u, file.GetLength());
    {
        CArchive ar(&file, CArchive::store);
        ar << (DWORD)2;
        ar.Abort();
        EXPECT_EQ(nullptr, ar.GetFile());
    }
    EXPECT_EQ(4u, file.GetLength());
}

TEST(CArchive, FailedFlushOnDestructionIsDroppedNotThrown)
{
    BYTE fixed[2] = {0, 0};
    CMemFile file(fixed, sizeof(fixed)); // cannot grow past two bytes
    {
        CArchive ar(&file, CArchive::store);
        ar << (DWORD)0x01020304; // sits in the buffer until the archive closes
    }
    EXPECT_EQ(2u, file.GetLength());
}

} // namespace
