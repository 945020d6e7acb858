#include "DVD/source/title.h"

#include "DVD/source/PgcTable.h"

#include "tests/support/MemoryProjectStream.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

// Two titles of 2 and 3 chapters, laid out as the IFO holds them.
std::vector<BYTE> TwoTitles()
{
    return {0, 2, 0, 0, 0, 0, 0, 35, 0, 0, 0, 16, 0, 0, 0, 24, 0, 1, 0, 1, 0, 1, 0, 2, // title 1
            0, 2, 0, 1, 0, 2, 0, 2,  0, 0, 0, 3};                                      // title 2, a chapter with PGC 0
}

} // namespace

TEST(VtsTitles, ReadsAndWritesTheChapterTable)
{
    const std::vector<BYTE> table = TwoTitles();
    CVtsTitles titles(nullptr);
    kxtest::RecordingLog log;
    ASSERT_TRUE(titles.ReadIfo(log, CIfoView(table.data(), table.size())));
    ASSERT_EQ(2u, titles.GetTitleCount());
    EXPECT_EQ(2u, titles.GetTitle(0)->GetChapterCount());
    ASSERT_EQ(3u, titles.GetTitle(1)->GetChapterCount());
    EXPECT_EQ(1, titles.GetTitle(1)->GetChapter(0)->m_wPgc);
    EXPECT_EQ(1, titles.GetTitle(1)->GetChapter(1)->m_wProgram);
    EXPECT_EQ(INVALID_CHAPTER_INDEX, titles.GetTitle(1)->GetChapter(2)->m_wPgc);
    EXPECT_EQ(2, titles.GetTitle(1)->GetChapter(2)->m_wProgram);

    ASSERT_EQ(36u, titles.GetIfoSize());
    std::vector<BYTE> out(titles.GetIfoSize());
    ASSERT_TRUE(titles.WriteIfo(log, out.data()));
    EXPECT_EQ(table, out);
    EXPECT_TRUE(log.lines.empty()) << log.Dump();
}

TEST(VtsTitles, EmptyTable)
{
    const BYTE table[8] = {0, 0, 0, 0, 0, 0, 0, 7};
    CVtsTitles titles(nullptr);
    kxtest::RecordingLog log;
    ASSERT_TRUE(titles.ReadIfo(log, CIfoView(table, sizeof(table))));
    EXPECT_EQ(0u, titles.GetTitleCount());
    BYTE out[8] = {};
    ASSERT_TRUE(titles.WriteIfo(log, out));
    EXPECT_EQ(0, memcmp(table, out, 8));
}

TEST(VtsTitles, ChapterListsOutsideTheTableAreRefused)
{
    struct Case
    {
        size_t nField; // offset of a 32-bit field to change
        DWORD dwValue;
        size_t nBytes; // bytes of the image given to the reader
    };
    const Case cases[] = {
        {4, 1000, 36},      // end address beyond the bytes
        {4, 3, 36},         // end address inside the offset table
        {8, 28, 36},        // offsets decreasing: title 1 ends before it starts
        {12, 40, 36},       // title 2 starts past the end
        {8, 4, 36},         // title 1 starts inside the header
        {4, 35, 30},        // bytes cut short
        {0, 0xFFFF0000, 36} // 65535 titles
    };
    for (const Case& c : cases)
    {
        std::vector<BYTE> table = TwoTitles();
        PutBE32(&table[c.nField], c.dwValue);
        table.resize(c.nBytes);
        CVtsTitles titles(nullptr);
        kxtest::RecordingLog log;
        EXPECT_FALSE(titles.ReadIfo(log, CIfoView(table.data(), table.size()))) << c.nField << " " << c.dwValue;
        EXPECT_EQ(1, log.Count('E')) << log.Dump();
    }
}

TEST(VtsTitles, StoreAndLoad)
{
    const std::vector<BYTE> table = TwoTitles();
    CVtsTitles titles(nullptr);
    kxtest::RecordingLog log;
    ASSERT_TRUE(titles.ReadIfo(log, CIfoView(table.data(), table.size())));
    kxtest::MemoryProjectWriter writer;
    ASSERT_TRUE(titles.Store(log, writer));
    // version, flags, count; per title version, flags, count and 4 bytes a chapter
    ASSERT_EQ(size_t(4 + 4 + 8 + 4 + 12), writer.bytes.size());

    CVtsTitles loaded(nullptr);
    kxtest::MemoryProjectReader reader(writer.bytes);
    kxtest::RecordingProgress progress;
    ASSERT_TRUE(loaded.Load(log, reader, &progress)) << log.Dump();
    ASSERT_EQ(2u, loaded.GetTitleCount());
    std::vector<BYTE> out(loaded.GetIfoSize());
    ASSERT_TRUE(loaded.WriteIfo(log, out.data()));
    EXPECT_EQ(table, out);
    EXPECT_EQ(writer.bytes.size(), progress.position);
    EXPECT_EQ(titles.GetFlags(), loaded.GetFlags());

    // A newer record, and records cut short anywhere, are refused.
    std::vector<BYTE> newer = writer.bytes;
    newer[0] = 2;
    kxtest::MemoryProjectReader newerReader(newer);
    EXPECT_FALSE(loaded.Load(log, newerReader, nullptr));
    EXPECT_TRUE(log.Has('E', "Unexpected archive content"));
    for (size_t n = 0; n < writer.bytes.size(); ++n)
    {
        std::vector<BYTE> cut(writer.bytes.begin(), writer.bytes.begin() + n);
        kxtest::MemoryProjectReader cutReader(cut);
        kxtest::RecordingLog cutLog;
        EXPECT_FALSE(loaded.Load(cutLog, cutReader, nullptr)) << n;
    }
}

TEST(VtsTitles, CopyKeepsIds)
{
    const std::vector<BYTE> table = TwoTitles();
    CVtsTitles titles(nullptr);
    kxtest::RecordingLog log;
    ASSERT_TRUE(titles.ReadIfo(log, CIfoView(table.data(), table.size())));
    CVtsTitles copy(nullptr);
    copy = titles;
    EXPECT_EQ(titles.GetId(), copy.GetId());
    ASSERT_EQ(2u, copy.GetTitleCount());
    EXPECT_EQ(titles.GetTitle(1)->GetId(), copy.GetTitle(1)->GetId());
    EXPECT_EQ(&copy, copy.GetTitle(1)->GetParent());
    EXPECT_EQ(1, copy.GetChildIndex(copy.GetTitle(1)));
    EXPECT_EQ(-1, copy.GetChildIndex(titles.GetTitle(1)));
}

namespace
{

// A title table of nPgcs PGCs of two programs each, tied to the titles.
struct TitleSet
{
    explicit TitleSet(int nPgcs)
    {
        titles.SetPgcTable(&pgcs);
        pgcs.SetTitles(&titles);
        for (int i = 0; i < nPgcs; ++i)
        {
            CPgc* pPgc = new CPgc(0, nullptr);
            pPgc->AddProgram(0);
            pPgc->AddProgram(0);
            pgcs.AddPgc(pPgc);
        }
    }

    CPgcTable pgcs{0, nullptr};
    CVtsTitles titles{nullptr};
};

CChapterEntry Chapter(WORD wPgc, WORD wProgram)
{
    CChapterEntry chapter;
    chapter.m_wPgc = wPgc;
    chapter.m_wProgram = wProgram;
    return chapter;
}

} // namespace

TEST(VtsTitles, AddTitleNumbersItsPgc)
{
    TitleSet set(4);
    set.pgcs.GetPgc(3)->m_nCategory = 0x05;
    EXPECT_EQ(0u, set.titles.AddTitle(Chapter(0, 0)));
    EXPECT_EQ(1u, set.titles.AddTitle(Chapter(1, 0)));
    EXPECT_EQ(2u, set.titles.AddTitle(Chapter(2, 0)));
    EXPECT_EQ(0x83, set.pgcs.GetPgc(2)->m_nCategory);
    // A PGC that already plays a title keeps its number.
    EXPECT_EQ(3u, set.titles.AddTitle(Chapter(3, 0)));
    EXPECT_EQ(0x05, set.pgcs.GetPgc(3)->m_nCategory);
    // A second chapter is no entry.
    set.pgcs.GetPgc(1)->m_nCategory = 0;
    set.titles.GetTitle(2)->AddChapter(Chapter(1, 1));
    EXPECT_EQ(0x03, set.pgcs.GetPgc(1)->m_nCategory);
    EXPECT_TRUE(set.titles.GetTitle(2)->UpdatePgcTitleNumber(3, true, true));
    EXPECT_EQ(0x83, set.pgcs.GetPgc(3)->m_nCategory);
    EXPECT_FALSE(set.titles.GetTitle(2)->UpdatePgcTitleNumber(4, true, true));
}

TEST(VtsTitles, ResolveChapter)
{
    TitleSet set(2);
    set.titles.AddTitle(Chapter(0, 0));
    CVtsTitle* pTitle = set.titles.GetTitle(0);
    pTitle->AddChapter(Chapter(1, 1));
    pTitle->AddChapter(Chapter(INVALID_CHAPTER_INDEX, 0));
    pTitle->AddChapter(Chapter(5, 0));
    pTitle->AddChapter(Chapter(1, INVALID_CHAPTER_INDEX));
    pTitle->AddChapter(Chapter(1, 2));
    struct Case
    {
        uint32_t nChapter;
        CDvdObject* pNode;
        const char* pszMessage;
    };
    const Case cases[] = {
        {1, set.pgcs.GetPgc(1), ""},
        {2, nullptr, "Reference to invalid PGC. Was it deleted?"},
        {3, nullptr, "Reference to PGC 6 while there are only 2 PGC(s) available in the VTS."},
        {4, nullptr, "Reference to invalid Program. Was it deleted?"},
        {5, nullptr, "Reference to Program 3 while there are only 2 Program(s) available in PGC 2."},
        {6, nullptr, "Chapter 7 is requested while there are only 6 Chapters in the Title."},
    };
    for (const Case& c : cases)
    {
        CString strMessage;
        const CDvdReference ref = pTitle->ResolveChapter(c.nChapter, strMessage);
        EXPECT_EQ(c.pNode, ref.pNode) << c.nChapter;
        EXPECT_STREQ(c.pszMessage, strMessage) << c.nChapter;
    }
    CString strMessage;
    const CDvdReference ref = pTitle->ResolveChapter(1, strMessage);
    EXPECT_EQ(PGCFIELD_PROGRAM, ref.nField);
    EXPECT_EQ(1u, ref.nIndex);
    EXPECT_EQ(nullptr, pTitle->GetChapterReference(6).pNode);
    EXPECT_EQ(pTitle, pTitle->GetChapterReference(5).pNode);
}

TEST(VtsTitles, EntryPgc)
{
    TitleSet set(3);
    set.titles.AddTitle(Chapter(0, 0));
    set.titles.AddTitle(Chapter(1, 0));
    set.pgcs.GetPgc(2)->m_nCategory = 0x82; // a second entry PGC of title 2
    set.titles.AddTitle(Chapter(0, 0));
    set.pgcs.GetPgc(0)->m_nCategory = 0x81;
    CString strMessage;
    EXPECT_EQ(set.pgcs.GetPgc(0), set.titles.GetEntryPgc(0, strMessage).pNode);
    EXPECT_STREQ("", strMessage);
    EXPECT_EQ(nullptr, set.titles.GetEntryPgc(1, strMessage).pNode);
    EXPECT_STREQ("Title 2 has more than one entry PGC.", strMessage);
    EXPECT_EQ(nullptr, set.titles.GetEntryPgc(2, strMessage).pNode);
    EXPECT_STREQ("Title 3 has no entry PGC set.", strMessage);
    EXPECT_EQ(nullptr, set.titles.GetEntryPgc(3, strMessage).pNode);
    EXPECT_STREQ("Title 4 is requested while there are only 3 Titles in the VTS.", strMessage);
}
