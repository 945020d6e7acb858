// VMG writer: VMGI_MAT as written, the title table, the parental table and
// the VTS attribute table, the flags that skip parts, and the failures that
// must stop the export.
#include "DVD/source/DVD.h"
#include "DVD/source/DiscTestSupport.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/PGC.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

using kxtest::ReadWholeFile;

DWORD Be32(const std::vector<uint8_t>& bytes, size_t offset)
{
    return bytes.size() >= offset + 4 ? GetBE32(bytes.data() + offset) : 0xFFFFFFFF;
}

WORD Be16(const std::vector<uint8_t>& bytes, size_t offset)
{
    return bytes.size() >= offset + 2 ? GetBE16(bytes.data() + offset) : 0xFFFF;
}

std::string Folder(const kxtest::ScratchFolder& scratch)
{
    return scratch.Path() + kx::NativePathSeparator();
}

void AddTitle(CVts& vts, uint32_t nChapters)
{
    CPgc* pPgc = new CPgc(0, &vts.GetPgcTable());
    vts.GetPgcTable().AddPgc(pPgc);
    for (uint32_t c = 0; c < nChapters; ++c)
        pPgc->AddProgram(0);
    CChapterEntry chapter;
    chapter.m_wPgc = WORD(vts.GetPgcTable().GetPgcCount() - 1);
    const uint32_t nTitle = vts.GetTitles().AddTitle(chapter);
    for (uint32_t c = 1; c < nChapters; ++c)
    {
        chapter.m_wProgram = WORD(c);
        vts.GetTitles().GetTitle(nTitle)->AddChapter(chapter);
    }
}

void AddEntry(CVmg& vmg, BYTE nVts, BYTE nTitle)
{
    CVmgTitleEntry entry;
    entry.nVts = nVts;
    entry.nTitle = nTitle;
    vmg.GetTitles().AddEntry(entry);
}

void AddParental(CParentalRecordArray& records, const char* pszCountry, WORD wBase)
{
    CParentalRecord* pRecord = new CParentalRecord;
    pRecord->nCountry = WORD((pszCountry[0] << 8) | pszCountry[1]);
    for (int k = 0; k < 8; ++k)
        pRecord->masks[k] = WORD(wBase + k);
    records.Add(pRecord);
}

TEST(VmgWrite, BareVmgHoldsHeaderTitleTableAndAttributeTable)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    CVmg& vmg = dvd.GetVmg();
    vmg.SetCategory(0x00FE0000);
    kxtest::RecordingLog log;
    const uint64_t nIfo = vmg.GetIfoSize(dvd.GetTitleSets());
    ASSERT_EQ(nIfo, 3u * 2048);
    EXPECT_EQ(vmg.Write(log, Folder(scratch).c_str(), false, dvd.GetTitleSets(), nullptr, true), 2 * nIfo)
        << log.Dump();

    const auto ifo = ReadWholeFile(scratch.File("VIDEO_TS.IFO"));
    ASSERT_EQ(ifo.size(), nIfo);
    EXPECT_EQ(std::string(ifo.begin(), ifo.begin() + 12), "DVDVIDEO-VMG");
    EXPECT_EQ(Be32(ifo, 0x0C), 5u);
    EXPECT_EQ(Be32(ifo, 0x1C), 2u);
    EXPECT_EQ(ifo[0x20], 0x00);
    EXPECT_EQ(ifo[0x21], 0x11);
    EXPECT_EQ(Be32(ifo, 0x22), 0x00FE0000u);
    EXPECT_EQ(Be16(ifo, 0x26), 1);
    EXPECT_EQ(Be16(ifo, 0x28), 1);
    EXPECT_EQ(ifo[0x2A], 1);
    EXPECT_EQ(Be16(ifo, 0x3E), 1);
    const std::vector<uint8_t> provider(ifo.begin() + 0x40, ifo.begin() + 0x60);
    std::vector<uint8_t> expected(32, 0);
    memcpy(expected.data(), "KLX 3.6.2", 9);
    EXPECT_EQ(provider, expected);
    EXPECT_EQ(Be32(ifo, 0x80), 0x3FFu);
    EXPECT_EQ(Be32(ifo, 0x84), 0u);
    EXPECT_EQ(Be32(ifo, 0xC0), 0u); // no menu VOB
    EXPECT_EQ(Be32(ifo, 0xC4), 1u); // TT_SRPT
    EXPECT_EQ(Be32(ifo, 0xC8), 0u);
    EXPECT_EQ(Be32(ifo, 0xCC), 0u);
    EXPECT_EQ(Be32(ifo, 0xD0), 2u); // VTS_ATRT
    for (size_t offset = 0xD4; offset <= 0xDC; offset += 4)
        EXPECT_EQ(Be32(ifo, offset), 0u) << "offset " << offset;

    // VTS_ATRT: one title set, its record after the offset table.
    const size_t atrt = 2 * 2048;
    EXPECT_EQ(Be16(ifo, atrt), 1);
    EXPECT_EQ(Be32(ifo, atrt + 4), 8u + 4 + 776 - 1);
    EXPECT_EQ(Be32(ifo, atrt + 8), 12u);
    EXPECT_EQ(Be32(ifo, atrt + 12), 775u);

    EXPECT_EQ(ReadWholeFile(scratch.File("VIDEO_TS.BUP")), ifo);
    EXPECT_TRUE(ReadWholeFile(scratch.File("VIDEO_TS.VOB")).empty());
}

TEST(VmgWrite, TitleEntriesPointAtTheTitleSetsAsWritten)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    dvd.AddVtsCopy(*dvd.GetVts(0));
    AddTitle(*dvd.GetVts(0), 1);
    AddTitle(*dvd.GetVts(1), 3);
    dvd.GetVts(1)->GetPgcTable().GetPgc(0)->m_wParentalMask = 0x00F0;
    CVmg& vmg = dvd.GetVmg();
    // Disc titles in another order than the title sets list them.
    AddEntry(vmg, 1, 0);
    AddEntry(vmg, 0, 0);
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Write(log, scratch.Path().c_str(), false, nullptr, true)) << log.Dump();

    const auto ifo = ReadWholeFile(scratch.File("VIDEO_TS.IFO"));
    ASSERT_FALSE(ifo.empty());
    const size_t tt = size_t(Be32(ifo, 0xC4)) * 2048;
    EXPECT_EQ(Be16(ifo, tt), 2);
    EXPECT_EQ(Be32(ifo, tt + 4), 2u * 12 + 7);
    const DWORD vmgSectors = Be32(ifo, 0x0C) + 1;
    const DWORD vts1Sectors = Be32(ReadWholeFile(scratch.File("VTS_01_0.IFO")), 12) + 1;
    // Title 1: VTS 2, three chapters.
    EXPECT_EQ(Be16(ifo, tt + 8 + 2), 3);
    EXPECT_EQ(Be16(ifo, tt + 8 + 4), 0x00F0);
    EXPECT_EQ(ifo[tt + 8 + 6], 2);
    EXPECT_EQ(ifo[tt + 8 + 7], 1);
    EXPECT_EQ(Be32(ifo, tt + 8 + 8), vmgSectors + vts1Sectors);
    // Title 2: VTS 1, one chapter, right behind the VMG.
    EXPECT_EQ(Be16(ifo, tt + 20 + 2), 1);
    EXPECT_EQ(ifo[tt + 20 + 6], 1);
    EXPECT_EQ(ifo[tt + 20 + 7], 1);
    EXPECT_EQ(Be32(ifo, tt + 20 + 8), vmgSectors);
}

struct BadEntryCase
{
    BYTE nVts;
    BYTE nTitle;
    const char* message;
};

TEST(VmgWrite, AnEntryThatNamesNoTitleFailsTheExport)
{
    const BadEntryCase cases[] = {
        {3, 0, "Reference to title in VTS 4 while only 3 title sets are available."},
        {VMGTITLE_UNDEFINED, 0, "Reference to title in VTS 256 while only 3 title sets are available."},
        {0, 1, "Reference to title 2 in VTS 1 while only 1 titles are available."},
    };
    for (const BadEntryCase& test : cases)
    {
        SCOPED_TRACE(test.message);
        kxtest::ScratchFolder scratch;
        ASSERT_TRUE(scratch.Created());
        CDvd dvd;
        dvd.AddVtsCopy(*dvd.GetVts(0));
        dvd.AddVtsCopy(*dvd.GetVts(0));
        AddTitle(*dvd.GetVts(0), 1);
        AddEntry(dvd.GetVmg(), test.nVts, test.nTitle);
        kxtest::RecordingLog log;
        EXPECT_FALSE(dvd.Write(log, scratch.Path().c_str(), false, nullptr, true));
        EXPECT_TRUE(log.Has('E', test.message)) << log.Dump();
        EXPECT_TRUE(log.Has('I', "VMG: Can't write table of titles"));
        ASSERT_FALSE(log.lines.empty());
        EXPECT_EQ(log.lines.back(), "I:Can't write VMG.");
    }
}

TEST(VmgWrite, ACancelledLogWritesNoBrokenIfoAndAnswersZero)
{
    for (const bool bBadEntry : {false, true})
    {
        SCOPED_TRACE(bBadEntry ? "bad entry" : "good entry");
        kxtest::ScratchFolder scratch;
        ASSERT_TRUE(scratch.Created());
        CDvd dvd;
        AddTitle(*dvd.GetVts(0), 1);
        AddEntry(dvd.GetVmg(), bBadEntry ? 1 : 0, 0);
        kxtest::RecordingLog log;
        log.ReportCancel();
        EXPECT_EQ(dvd.GetVmg().Write(log, Folder(scratch).c_str(), false, dvd.GetTitleSets(), nullptr, true), 0u);
        EXPECT_FALSE(log.Has('I', "VMG: Can't write table of titles"));
        EXPECT_EQ(ReadWholeFile(scratch.File("VIDEO_TS.IFO")).empty(), bBadEntry);
    }
}

TEST(VmgWrite, TitleTableRoomCoversTheLargerCount)
{
    CDvd dvd;
    AddTitle(*dvd.GetVts(0), 1);
    CVmg& vmg = dvd.GetVmg();
    EXPECT_EQ(vmg.GetTitleTableSize(dvd.GetTitleSets()), 8u + 12);
    for (int i = 0; i < 200; ++i)
        AddEntry(vmg, 0, 0);
    EXPECT_EQ(vmg.GetTitleTableSize(dvd.GetTitleSets()), 8u + 12 * 200);

    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    kxtest::RecordingLog log;
    ASSERT_TRUE(dvd.Write(log, scratch.Path().c_str(), false, nullptr, true)) << log.Dump();
    const auto ifo = ReadWholeFile(scratch.File("VIDEO_TS.IFO"));
    const size_t tt = size_t(Be32(ifo, 0xC4)) * 2048;
    EXPECT_EQ(Be16(ifo, tt), 200);
    // The table's two sectors come before the attribute table.
    EXPECT_EQ(Be32(ifo, 0xD0), Be32(ifo, 0xC4) + 2);
}

TEST(VmgWrite, ParentalTableReadsBackAsTheRecords)
{
    CDvd dvd;
    dvd.AddVtsCopy(*dvd.GetVts(0));
    dvd.AddVtsCopy(*dvd.GetVts(0));
    CVmg& vmg = dvd.GetVmg();
    AddParental(vmg.GetParentalRecords(), "US", 0x100);
    AddParental(dvd.GetVts(1)->GetParentalRecords(), "DE", 0x200);
    AddParental(dvd.GetVts(2)->GetParentalRecords(), "US", 0x300);

    std::vector<uint16_t> countries;
    vmg.CollectCountries(dvd.GetTitleSets(), countries);
    EXPECT_EQ(countries, (std::vector<uint16_t>{0x5553, 0x4445}));
    const uint32_t nSize = vmg.GetParentalTableSize(dvd.GetTitleSets());
    ASSERT_EQ(nSize, 152u);

    kxtest::RecordingLog log;
    std::vector<BYTE> table(nSize, 0);
    ASSERT_TRUE(vmg.WriteParentalTable(log, table.data(), dvd.GetTitleSets()));
    EXPECT_EQ(GetBE16(table.data()), 2);
    EXPECT_EQ(GetBE16(table.data() + 2), 3);
    EXPECT_EQ(GetBE32(table.data() + 4), 151u);
    EXPECT_EQ(GetBE16(table.data() + 8 + 4), 24);
    EXPECT_EQ(GetBE16(table.data() + 16 + 4), 24 + 64);

    CDvd copy;
    CParentalTableArray perVts;
    ASSERT_TRUE(copy.GetVmg().ReadParentalTable(CIfoView(table.data(), table.size()), perVts));
    ASSERT_EQ(perVts.GetSize(), 3u);
    const CParentalRecordArray& vmgRecords = copy.GetVmg().GetParentalRecords();
    ASSERT_EQ(vmgRecords.GetSize(), 2u);
    EXPECT_EQ(vmgRecords[0]->masks[0], 0x100);
    EXPECT_EQ(vmgRecords[0]->masks[7], 0x107);
    // Columns without a record for the country stay 0.
    EXPECT_EQ(vmgRecords[1]->masks[3], 0);
    EXPECT_EQ(perVts[0]->GetAt(0)->masks[5], 0);
    EXPECT_EQ(perVts[1]->GetAt(1)->nCountry, 0x4445);
    EXPECT_EQ(perVts[1]->GetAt(1)->masks[2], 0x202);
    EXPECT_EQ(perVts[2]->GetAt(0)->masks[6], 0x306);
}

TEST(VmgWrite, ParentalTableTooLargeForItsOffsetsIsRefused)
{
    CDvd dvd;
    for (int i = 0; i < 98; ++i)
        dvd.AddVtsCopy(*dvd.GetVts(0));
    char country[3] = "AA";
    for (int c = 0; c < 45; ++c)
    {
        country[0] = char('A' + c / 26);
        country[1] = char('A' + c % 26);
        AddParental(dvd.GetVmg().GetParentalRecords(), country, 0);
    }
    const uint32_t nSize = dvd.GetVmg().GetParentalTableSize(dvd.GetTitleSets());
    std::vector<BYTE> table(nSize, 0);
    kxtest::RecordingLog log;
    EXPECT_FALSE(dvd.GetVmg().WriteParentalTable(log, table.data(), dvd.GetTitleSets()));
    EXPECT_EQ(log.Count('E'), 1);
}

TEST(VmgWrite, WithoutTheIfoFlagNothingButTheVobIsWritten)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    kxtest::RecordingLog log;
    kxtest::RecordingProgress progress;
    const uint64_t nIfo = dvd.GetVmg().GetIfoSize(dvd.GetTitleSets());
    EXPECT_EQ(dvd.GetVmg().Write(log, Folder(scratch).c_str(), false, dvd.GetTitleSets(), &progress, false), 2 * nIfo);
    EXPECT_EQ(progress.position, 2 * nIfo);
    EXPECT_TRUE(ReadWholeFile(scratch.File("VIDEO_TS.IFO")).empty());
    EXPECT_TRUE(ReadWholeFile(scratch.File("VIDEO_TS.BUP")).empty());
}

TEST(VmgWrite, DiscWriteRunsItsProgressOverTheSourceSize)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    AddTitle(*dvd.GetVts(0), 1);
    AddEntry(dvd.GetVmg(), 0, 0);
    kxtest::RecordingLog log;
    kxtest::RecordingProgress progress;
    ASSERT_TRUE(dvd.Write(log, scratch.Path().c_str(), false, &progress, true)) << log.Dump();
    // Without VOB content the source size is the IFOs and their backups.
    EXPECT_EQ(progress.range, dvd.GetSourceSize());
    EXPECT_EQ(progress.range, dvd.GetOutputSize());
    EXPECT_EQ(progress.position, progress.range);
    EXPECT_EQ(progress.texts.back(), "Writing VMG bup file.");
}

} // namespace
