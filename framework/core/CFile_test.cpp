#include "framework/core/CFile.h"

#include "framework/core/CArchive.h"

#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

void WriteText(const std::string& path, const char* text)
{
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
    file.Write(text, (UINT)strlen(text));
}

std::string ReadText(const std::string& path)
{
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    std::string text((size_t)file.GetLength(), '\0');
    if (!text.empty())
    {
        EXPECT_EQ(text.size(), file.Read(&text[0], (UINT)text.size()));
    }
    return text;
}

TEST(CFile, OpenModesFollowTheFlags)
{
    kxtest::ScratchFolder folder;
    ASSERT_TRUE(folder.Created());
    std::string path = folder.File("menu.vob");

    WriteText(path, "abcdef");
    EXPECT_EQ("abcdef", ReadText(path));

    { // create without truncation keeps the content
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        EXPECT_EQ(6u, file.GetLength());
        file.SeekToEnd();
        file.Write("gh", 2);
    }
    EXPECT_EQ("abcdefgh", ReadText(path));

    WriteText(path, "xy"); // create truncates
    EXPECT_EQ("xy", ReadText(path));
}

TEST(CFile, SeekReadWriteAndLength)
{
    kxtest::ScratchFolder folder;
    std::string path = folder.File("data.bin");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareDenyNone));
    EXPECT_STREQ(path.c_str(), file.GetFilePath());
    EXPECT_STREQ("data.bin", file.GetFileName());
    file.Write("0123456789", 10);
    EXPECT_EQ(10u, file.GetPosition());
    EXPECT_EQ(4u, file.Seek(4, CFile::begin));
    EXPECT_EQ(6u, file.Seek(2, CFile::current));
    EXPECT_EQ(7u, file.Seek(-3, CFile::end));
    char buf[8] = {0};
    EXPECT_EQ(3u, file.Read(buf, 8)); // short only at the end
    EXPECT_STREQ("789", buf);

    file.SetLength(5);
    EXPECT_EQ(5u, file.GetLength());
    EXPECT_EQ(5u, file.GetPosition());
    file.Seek(1, CFile::begin);
    file.SetLength(20); // extends without moving the position
    EXPECT_EQ(1u, file.GetPosition());
    EXPECT_EQ(20u, file.GetLength());
    file.Close();
    EXPECT_FALSE(file.IsOpen());
}

TEST(CFile, FailuresReportCauseAndName)
{
    kxtest::ScratchFolder folder;
    std::string missing = folder.File("VTS_09_0.IFO");

    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
    EXPECT_NE(-1, error.m_lOsError);
    EXPECT_STREQ(missing.c_str(), error.m_strFileName);

    try
    {
        CFile thrower(missing.c_str(), CFile::modeRead);
        ADD_FAILURE();
    }
    catch (CFileException* e)
    {
        EXPECT_EQ(CFileException::fileNotFound, e->m_cause);
        e->Delete();
    }

    try
    {
        char b;
        file.Read(&b, 1); // never opened
        ADD_FAILURE();
    }
    catch (CFileException* e)
    {
        EXPECT_EQ(CFileException::invalidFile, e->m_cause);
        e->Delete();
    }

    try
    {
        CFile::Remove(missing.c_str());
        ADD_FAILURE();
    }
    catch (CFileException* e)
    {
        EXPECT_EQ(CFileException::fileNotFound, e->m_cause);
        e->Delete();
    }
}

TEST(CFile, RemoveAndRename)
{
    kxtest::ScratchFolder folder;
    std::string a = folder.File("a.kxp"), b = folder.File("b.kxp");
    WriteText(a, "one");
    CFile::Rename(a.c_str(), b.c_str());
    EXPECT_EQ("one", ReadText(b));
    CFile probe;
    EXPECT_FALSE(probe.Open(a.c_str(), CFile::modeRead));

    WriteText(a, "two");
    try
    {
        CFile::Rename(a.c_str(), b.c_str()); // the target is there: refused, nothing lost
        ADD_FAILURE();
    }
    catch (CFileException* e)
    {
        e->Delete();
    }
    EXPECT_EQ("one", ReadText(b));

    CFile::Remove(b.c_str());
    EXPECT_FALSE(probe.Open(b.c_str(), CFile::modeRead));
}

TEST(CFile, ArchiveRoundTripThroughADiskFile)
{
    kxtest::ScratchFolder folder;
    std::string path = folder.File("project.kxp");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        for (int i = 0; i < 5000; ++i)
            ar << (DWORD)i;
        ar << CString('p', 300);
        ar.Close();
    }
    CFile file(path.c_str(), CFile::modeRead);
    EXPECT_EQ(20000u + 3u + 300u, file.GetLength());
    CArchive ar(&file, CArchive::load);
    for (int i = 0; i < 5000; ++i)
    {
        DWORD dw;
        ar >> dw;
        ASSERT_EQ((DWORD)i, dw);
    }
    CString text;
    ar >> text;
    EXPECT_EQ(300, text.GetLength());
    try
    {
        BYTE b;
        ar >> b;
        ADD_FAILURE();
    }
    catch (CArchiveException* e)
    {
        EXPECT_EQ(CArchiveException::endOfFile, e->m_cause);
        EXPECT_STREQ(path.c_str(), e->m_strFileName);
        e->Delete();
    }
}

} // namespace
