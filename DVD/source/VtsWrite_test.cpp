// Title-set writer: the VTSI_MAT fields and the table layout of
// VTS_nn_0.IFO, its backup, the flags that skip parts, and failures that
// must stop the export.
#include "DVD/source/DVD.h"
#include "DVD/source/DiscTestSupport.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/PGC.h"
#include "DVD/source/VTS.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using kxtest::ReadWholeFile;

DWORD Be32(const std::vector<uint8_t>& bytes, size_t offset)
{
    return bytes.size() >= offset + 4 ? GetBE32(bytes.data() + offset) : 0xFFFFFFFF;
}

std::string Folder(const kxtest::ScratchFolder& scratch)
{
    return scratch.Path() + kx::NativePathSeparator();
}

// Title 1 of the title set plays PGC 1 from its first program.
CPgc& AddTitleWithPgc(CVts& vts)
{
    CPgc* pPgc = new CPgc(0, &vts.GetPgcTable());
    vts.GetPgcTable().AddPgc(pPgc);
    CChapterEntry chapter;
    chapter.m_wPgc = WORD(vts.GetPgcTable().GetPgcCount() - 1);
    vts.GetTitles().AddTitle(chapter);
    return *pPgc;
}

TEST(VtsWrite, EmptyTitleSetIsOneSectorWithEveryTableAbsent)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    CVts& vts = *dvd.GetVts(0);
    vts.SetCategory(0x12345678);
    kxtest::RecordingLog log;
    EXPECT_EQ(vts.GetIfoSize(), 2048u);
    EXPECT_EQ(vts.Write(log, Folder(scratch).c_str(), false, 1, nullptr, true), 4096u) << log.Dump();

    const auto ifo = ReadWholeFile(scratch.File("VTS_01_0.IFO"));
    ASSERT_EQ(ifo.size(), 2048u);
    EXPECT_EQ(std::string(ifo.begin(), ifo.begin() + 12), "DVDVIDEO-VTS");
    EXPECT_EQ(Be32(ifo, 12), 1u); // IFO and BUP
    EXPECT_EQ(Be32(ifo, 28), 0u);
    EXPECT_EQ(ifo[32], 0x00);
    EXPECT_EQ(ifo[33], 0x11);
    EXPECT_EQ(Be32(ifo, 34), 0x12345678u);
    EXPECT_EQ(Be32(ifo, 128), 2047u);
    for (size_t offset = 192; offset <= 228; offset += 4)
        EXPECT_EQ(Be32(ifo, offset), 0u) << "offset " << offset;
    EXPECT_EQ(ReadWholeFile(scratch.File("VTS_01_0.BUP")), ifo);
}

TEST(VtsWrite, TablesFollowTheHeaderOnSectorBoundaries)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    CVts& vts = *dvd.GetVts(0);
    AddTitleWithPgc(vts);
    kxtest::RecordingLog log;
    ASSERT_EQ(vts.GetIfoSize(), 4u * 2048);
    EXPECT_EQ(vts.Write(log, Folder(scratch).c_str(), false, 1, nullptr, true), 8u * 2048) << log.Dump();

    const auto ifo = ReadWholeFile(scratch.File("VTS_01_0.IFO"));
    ASSERT_EQ(ifo.size(), 4u * 2048);
    EXPECT_EQ(Be32(ifo, 12), 7u);
    EXPECT_EQ(Be32(ifo, 28), 3u);
    EXPECT_EQ(Be32(ifo, 192), 0u); // no menus
    EXPECT_EQ(Be32(ifo, 196), 0u); // no title VOBs
    EXPECT_EQ(Be32(ifo, 200), 1u); // VTS_PTT_SRPT
    EXPECT_EQ(Be32(ifo, 204), 2u); // VTS_PGCIT
    EXPECT_EQ(Be32(ifo, 208), 0u); // VTSM_PGCI_UT
    EXPECT_EQ(Be32(ifo, 212), 3u); // VTS_TMAPT
    for (size_t offset = 216; offset <= 228; offset += 4)
        EXPECT_EQ(Be32(ifo, offset), 0u) << "offset " << offset;
    // Each table is where the header says: one title, one PGC, one map.
    EXPECT_EQ(GetBE16(ifo.data() + 2048), 1);
    EXPECT_EQ(GetBE16(ifo.data() + 2 * 2048), 1);
    EXPECT_EQ(GetBE16(ifo.data() + 3 * 2048), 1);
    EXPECT_EQ(ReadWholeFile(scratch.File("VTS_01_0.BUP")), ifo);
}

TEST(VtsWrite, WithoutTheIfoFlagNoIfoIsWrittenButItIsCounted)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    CVts& vts = *dvd.GetVts(0);
    AddTitleWithPgc(vts);
    kxtest::RecordingLog log;
    kxtest::RecordingProgress progress;
    EXPECT_EQ(vts.Write(log, Folder(scratch).c_str(), false, 1, &progress, false), 8u * 2048);
    EXPECT_EQ(progress.position, 8u * 2048);
    EXPECT_TRUE(ReadWholeFile(scratch.File("VTS_01_0.IFO")).empty());
    EXPECT_TRUE(ReadWholeFile(scratch.File("VTS_01_0.BUP")).empty());
}

TEST(VtsWrite, ProgressNamesTheFilesAndCountsBothCopies)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    dvd.AddVtsCopy(*dvd.GetVts(0));
    kxtest::RecordingLog log;
    kxtest::RecordingProgress progress;
    EXPECT_EQ(dvd.GetVts(1)->Write(log, Folder(scratch).c_str(), false, 2, &progress, true), 4096u);
    EXPECT_EQ(progress.texts, (std::vector<std::string>{"Writing VTS 2 ifo file.", "Writing VTS 2 bup file."}));
    EXPECT_EQ(progress.position, 4096u);
    EXPECT_EQ(ReadWholeFile(scratch.File("VTS_02_0.IFO")).size(), 2048u);
}

TEST(VtsWrite, AChainTooLargeForTheIfoFailsTheWholeExport)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    CPgc& pgc = AddTitleWithPgc(*dvd.GetVts(0));
    // The IFO counts programs in one byte.
    for (int i = 0; i < 256; ++i)
        pgc.AddProgram(0);
    kxtest::RecordingLog log;
    EXPECT_FALSE(dvd.Write(log, Folder(scratch).c_str(), false, nullptr, true));
    EXPECT_TRUE(log.Has('E', "Too many programs in PGC (256)")) << log.Dump();
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ(log.lines.back(), "I:Can't write VTS 1.");
    EXPECT_TRUE(ReadWholeFile(scratch.File("VIDEO_TS.IFO")).empty());
}

TEST(VtsWrite, AFolderThatCannotTakeTheIfoFailsTheTitleSet)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    kxtest::RecordingLog log;
    const std::string missing = scratch.File("missing") + kx::NativePathSeparator();
    EXPECT_EQ(dvd.GetVts(0)->Write(log, missing.c_str(), false, 1, nullptr, true), 0u);
    EXPECT_GE(log.Count('E'), 1) << log.Dump();
}

// Bits of the playback type byte that the first chapter's PGC decides.
struct TitleTypeCase
{
    const char* name;
    void (*setUp)(CPgc& pgc);
    BYTE expected;
};

const BYTE kJumpTitle[8] = {0x30, 0x02, 0, 0, 0, 0x01, 0, 0};

const TitleTypeCase kTitleTypeCases[] = {
    {"plain", [](CPgc&) {}, 0x00},
    {"random playback", [](CPgc& pgc) { pgc.m_nPlaybackMode = 0x81; }, 0x40},
    {"infinite still", [](CPgc& pgc) { pgc.m_nStillTime = 255; }, 0x40},
    {"jump in a pre-command", [](CPgc& pgc) { pgc.m_preCommands.Add(kJumpTitle); }, 0x14},
    {"jump in a post-command", [](CPgc& pgc) { pgc.m_postCommands.Add(kJumpTitle); }, 0x14},
    {"jump in a cell command", [](CPgc& pgc) { pgc.m_cellCommands.Add(kJumpTitle); }, 0x24},
    // The model keeps the IFO's bytes in reverse: UOP0 and UOP1 are the
    // lowest bits of its top byte.
    {"UOP0 and UOP1 prohibited", [](CPgc& pgc) { pgc.m_uops.SetMask(0x03000000); }, 0x03},
    {"other UOPs prohibited", [](CPgc& pgc) { pgc.m_uops.SetMask(0xFC00FFFF); }, 0x00},
};

TEST(VtsWrite, TitleTypeFollowsTheFirstChaptersPgc)
{
    ASSERT_TRUE(IsNavigationCommand(kJumpTitle));
    for (const TitleTypeCase& test : kTitleTypeCases)
    {
        SCOPED_TRACE(test.name);
        CDvd dvd;
        CVts& vts = *dvd.GetVts(0);
        test.setUp(AddTitleWithPgc(vts));
        EXPECT_EQ(vts.GetTitleType(0), test.expected);
    }
}

TEST(VtsWrite, TitleTypeOfATitleWithoutAPlayablePgcIsZero)
{
    CDvd dvd;
    CVts& vts = *dvd.GetVts(0);
    EXPECT_EQ(vts.GetTitleType(0), 0);
    CChapterEntry chapter;
    chapter.m_wPgc = 3;
    vts.GetTitles().AddTitle(chapter);
    EXPECT_EQ(vts.GetTitleType(0), 0);
}

TEST(VtsWrite, ATitleOfSeveralPgcsIsNotASinglePgcTitle)
{
    CDvd dvd;
    CVts& vts = *dvd.GetVts(0);
    AddTitleWithPgc(vts);
    vts.GetPgcTable().AddPgc(new CPgc(0, &vts.GetPgcTable()));
    CChapterEntry second;
    second.m_wPgc = 1;
    vts.GetTitles().GetTitle(0)->AddChapter(second);
    EXPECT_EQ(vts.GetTitleType(0), 0x40);
}

} // namespace
