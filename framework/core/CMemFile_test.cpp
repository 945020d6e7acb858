#include "framework/core/CMemFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{

class ProbeMemFile : public CMemFile
{
public:
    using CMemFile::CMemFile;
    size_t BufferSize() const { return m_nBufferSize; }
};

template <class F>
int ThrownFileCause(F f)
{
    try
    {
        f();
    }
    catch (CFileException* e)
    {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    catch (CMemoryException* e)
    {
        e->Delete();
        return -1;
    }
    return CFileException::none;
}

TEST(CMemFile, GrowsInStepsOf1024)
{
    ProbeMemFile file;
    std::vector<BYTE> bytes(3000, 0x5A);
    file.Write(bytes.data(), 1);
    EXPECT_EQ(1024u, file.BufferSize());
    file.Write(bytes.data(), 1023);
    EXPECT_EQ(1024u, file.BufferSize());
    file.Write(bytes.data(), 1);
    EXPECT_EQ(2048u, file.BufferSize());
    file.Write(bytes.data(), 3000);
    EXPECT_EQ(4096u, file.BufferSize());
    EXPECT_EQ(4025u, file.GetLength());
    EXPECT_EQ(4025u, file.GetPosition());
}

TEST(CMemFile, SeekPastTheEndThenWriteZeroFillsTheGap)
{
    CMemFile file;
    const BYTE one = 1;
    file.Write(&one, 1);
    file.SetLength(600);
    file.SetLength(1); // leaves old bytes in the buffer behind the end
    EXPECT_EQ(1u, file.GetPosition());
    file.Seek(10, CFile::end);
    file.Write(&one, 1);
    ASSERT_EQ(12u, file.GetLength());
    BYTE back[12];
    file.SeekToBegin();
    EXPECT_EQ(12u, file.Read(back, 100));
    const BYTE expected[12] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(0, memcmp(expected, back, sizeof(back)));
    EXPECT_EQ(0u, file.Read(back, 1));
}

TEST(CMemFile, SeekBeforeTheStartThrows)
{
    CMemFile file;
    EXPECT_EQ(CFileException::badSeek, ThrownFileCause([&] { file.Seek(-1, CFile::begin); }));
    EXPECT_EQ(CFileException::badSeek, ThrownFileCause([&] { file.Seek(-1, CFile::current); }));
    EXPECT_EQ(0u, file.GetPosition());
}

TEST(CMemFile, AttachedBytesWithoutGrowStepAreTheWholeFile)
{
    BYTE bytes[4] = {1, 2, 3, 4};
    CMemFile file(bytes, sizeof(bytes));
    EXPECT_EQ(4u, file.GetLength());
    file.Seek(1, CFile::begin);
    const BYTE nine = 9;
    file.Write(&nine, 1);
    EXPECT_EQ(9, bytes[1]); // written in place
    file.SeekToEnd();
    EXPECT_EQ(-1, ThrownFileCause([&] { file.Write(&nine, 1); })); // cannot grow
    EXPECT_EQ(4u, file.GetLength());
    EXPECT_EQ(bytes, file.Detach());
    EXPECT_EQ(0u, file.GetLength());
}

TEST(CMemFile, GrowingAttachedBytesLeavesThemAlone)
{
    BYTE bytes[8] = {0};
    {
        ProbeMemFile file(bytes, sizeof(bytes), 16);
        EXPECT_EQ(0u, file.GetLength()); // with a grow step the bytes are only room
        const char text[] = "0123456789abcdefXYZ";
        file.Write(text, 4);
        EXPECT_EQ(0, memcmp(bytes, "0123", 4));
        file.Write(text + 4, 16);
        EXPECT_EQ(32u, file.BufferSize());
        BYTE* pOwn = file.Detach();
        ASSERT_NE(bytes, pOwn);
        EXPECT_EQ(0, memcmp(pOwn, text, 20));
        free(pOwn);
    }
    EXPECT_EQ(0, memcmp(bytes, "0123\0\0\0\0", 8)); // never written past its size, never freed
}

TEST(CMemFile, ConstantBytesAreReadOnly)
{
    static const BYTE bytes[3] = {7, 8, 9};
    CMemFile file(bytes, sizeof(bytes));
    BYTE back[3];
    EXPECT_EQ(3u, file.Read(back, 3));
    EXPECT_EQ(9, back[2]);
    file.SeekToBegin();
    EXPECT_EQ(CFileException::accessDenied, ThrownFileCause([&] { file.Write(back, 1); }));
    EXPECT_EQ(CFileException::accessDenied, ThrownFileCause([&] { file.SetLength(0); }));
}

TEST(CMemFile, DetachHandsOverTheBlock)
{
    CMemFile file;
    file.Write("abc", 3);
    BYTE* p = file.Detach();
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0, memcmp(p, "abc", 3));
    free(p);
    EXPECT_EQ(0u, file.GetLength());
    file.Write("d", 1); // a detached file starts again with a block of its own
    EXPECT_EQ(1u, file.GetLength());
}

} // namespace
