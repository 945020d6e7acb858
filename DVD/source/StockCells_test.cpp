#include "DVD/source/StockCells.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobTestSupport.h"
#include "DVD/source/button.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{

struct StockCase
{
    int index;
    const char* name;
    const BYTE* sectors;
    uint32_t count;
    bool pal;
    bool merge;
    DWORD pts;
    BYTE video; // first video attribute byte of the set's streams
};

const StockCase kStock[] = {
    {STOCK_EMPTY_PAL, "Stock::Empty_Pal", g_abStockEmptyPal, 5, true, false, 25854, 0x10},
    {STOCK_EMPTY_NTSC, "Stock::Empty_Ntsc", g_abStockEmptyNtsc, 5, false, false, 25257, 0x00},
    {STOCK_MERGE_2_PAL, "Stock::Merge_2_Pal", g_abStockMerge2Pal, 18, true, true, 19681, 0x53},
    {STOCK_MERGE_2_NTSC, "Stock::Merge_2_Ntsc", g_abStockMerge2Ntsc, 17, false, true, 19681, 0x43},
};

// The buttons of the chooser: columns, then rows for PAL and for NTSC.
struct Rect
{
    DWORD x0, x1, y0, y1;
};
Rect ButtonRect(int button, bool pal)
{
    if (button == 0)
        return pal ? Rect{142, 191, 179, 232} : Rect{142, 191, 149, 193};
    return pal ? Rect{214, 263, 253, 306} : Rect{214, 263, 211, 254};
}

class StockCellsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ReleaseStockCells();
        ASSERT_TRUE(CreateStockCells());
    }
    void TearDown() override
    {
        EXPECT_TRUE(ReleaseStockCells());
        EXPECT_FALSE(ReleaseStockCells());
    }
};

TEST(StockCellTable, NoCellBeforeCreationOrForABadIndex)
{
    ReleaseStockCells();
    EXPECT_EQ(GetStockCell(0), nullptr);
    ASSERT_TRUE(CreateStockCells());
    EXPECT_EQ(GetStockCell(-1), nullptr);
    EXPECT_EQ(GetStockCell(STOCK_CELL_COUNT), nullptr);
    EXPECT_NE(GetStockCell(STOCK_CELL_COUNT - 1), nullptr);
    EXPECT_TRUE(ReleaseStockCells());
}

TEST_F(StockCellsTest, CreatedOnceAsOneVobuAndOneCellEach)
{
    CVobCell* before[STOCK_CELL_COUNT];
    for (int i = 0; i < STOCK_CELL_COUNT; ++i)
        before[i] = GetStockCell(i);
    EXPECT_FALSE(CreateStockCells());
    for (int i = 0; i < STOCK_CELL_COUNT; ++i)
        EXPECT_EQ(GetStockCell(i), before[i]);

    for (const StockCase& c : kStock)
    {
        SCOPED_TRACE(c.name);
        CVobCell* cell = GetStockCell(c.index);
        ASSERT_NE(cell, nullptr);
        EXPECT_TRUE(cell->IsStock());
        CVobData* set = cell->GetVobData();
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(std::string(set->GetPath()), c.name);
        EXPECT_EQ(set->GetVtsNumber(), VOBDATA_MEMORY);
        EXPECT_EQ(set->GetSectorCount(), c.count);
        ASSERT_EQ(set->GetVobus().GetSize(), 1);
        EXPECT_EQ(set->GetVobus()[0], 0u);
        ASSERT_EQ(set->GetCellAddresses().GetSize(), 1u);
        EXPECT_EQ(set->GetCellAddresses()[0]->m_dwFirstSector, 0u);
        EXPECT_EQ(set->GetCellAddresses()[0]->m_dwLastSector, c.count - 1);
        EXPECT_EQ(cell->GetVobuCount(), 1u);
        EXPECT_EQ(set->GetStreams().GetVideo().bytes[0], c.video);
        EXPECT_EQ(set->HasStreamsGiven(), c.merge);
        EXPECT_EQ(set->GetStreams().GetAudioCount(), 0);
        EXPECT_EQ(set->GetStreams().GetSubpictureCount(), c.merge ? 1 : 0);
        EXPECT_TRUE(set->GetPristineBlocks().GetStreams().Equals(set->GetStreams()));

        kx::ScopedLock lock(set->GetLock());
        set->ScanVobu(0);
        const CVobuScanRecord& record = set->GetScanRecords()[0];
        EXPECT_EQ(record.length, c.count);
        for (int a = 0; a < 8; ++a)
            EXPECT_EQ(record.audio[a], 0);
        EXPECT_EQ(record.subpictures[0], c.merge ? 1 : 0);
    }
}

TEST_F(StockCellsTest, NavPacksCarryTheRatesTimesAndChooserHighlight)
{
    for (const StockCase& c : kStock)
    {
        SCOPED_TRACE(c.name);
        // Every sector is a pack at the mux rate, its SCR one pack time later.
        for (uint32_t s = 0; s < c.count; ++s)
        {
            const BYTE* p = c.sectors + s * 2048;
            ASSERT_EQ(GetBE32(p), 0x000001BAu);
            EXPECT_EQ((p[4] & 0xC0), 0x40);
            EXPECT_EQ(((p[10] << 14) | (p[11] << 6) | (p[12] >> 2)), 25200);
            EXPECT_EQ(p[13] & 7, 0);
            uint64_t expected =
                c.index == STOCK_EMPTY_PAL ? uint64_t(s) * 43886 : uint64_t(s) * 2048 * 27000000 / 1260000;
            EXPECT_EQ(GetPackScr(p), expected) << "sector " << s;
        }
        PciPacket pci;
        pci.ReadFromSector(c.sectors);
        DsiPacket dsi;
        dsi.ReadFromSector(c.sectors);
        EXPECT_EQ(pci.GetCEltm().frames & DVDTIME_RATE_MASK, c.pal ? DVDTIME_RATE_25 : DVDTIME_RATE_30);
        EXPECT_EQ(pci.GetVobuSPtm(), c.pts);
        EXPECT_EQ(pci.GetVobuEPtm(), c.pts + (c.pal ? 43200u : 45045u));
        EXPECT_EQ(pci.GetVobuSeEPtm(), c.pts + (c.pal ? 3600u : 3003u));
        EXPECT_EQ(dsi.GetVobVSPtm(), c.pts);
        EXPECT_EQ(dsi.GetVobVEPtm(), pci.GetVobuEPtm());
        EXPECT_EQ(dsi.GetVobuEa(), c.count - 1);
        EXPECT_EQ(dsi.GetVobuRefEa(0), c.count - 1);
        EXPECT_EQ(GetSmlAngleCount(dsi), 0);
        for (int i = 0; i < NSML_AGLI_COUNT; ++i)
            EXPECT_TRUE(pci.IsNsmlAgliEmpty(i));
        if (!c.merge)
        {
            EXPECT_EQ(pci.GetHliStatus(), 0);
            EXPECT_EQ(pci.GetBtnNs(), 0);
            continue;
        }
        EXPECT_EQ(pci.GetHliStatus(), 1);
        EXPECT_EQ(pci.GetHliSPtm(), c.pts);
        EXPECT_EQ(pci.GetHliEPtm(), 0xFFFFFFFFu);
        EXPECT_EQ(pci.GetBtnSlEPtm(), 0xFFFFFFFFu);
        EXPECT_EQ(pci.GetButtonGroupCount(), 1);
        EXPECT_EQ(pci.GetBtnNs(), 2);
        EXPECT_EQ(pci.GetNslBtnNs(), 2);
        EXPECT_EQ(pci.GetFoslBtnn(), 0);
        EXPECT_EQ(pci.GetFoacBtnn(), 0);
        const BYTE colors[8] = {0x76, 0x54, 0x85, 0x20, 0xBA, 0x98, 0x85, 0x20};
        EXPECT_EQ(memcmp(pci.GetColorTable(0), colors, 8), 0);

        // The same highlight read as a button segment.
        kxtest::RecordingLog log;
        CButtonSegmentArray segments;
        DWORD uops = 0;
        ASSERT_TRUE(
            ParseButtonSegments(log, *GetStockCell(c.index), true, g_nBovShortestDuration, nullptr, segments, uops));
        ASSERT_EQ(segments.GetSize(), 1u);
        ASSERT_EQ(segments[0]->GetButtonCount(), 2u);
        for (int b = 0; b < 2; ++b)
        {
            const CButtonGroupEntry& e = segments[0]->GetButton(b)->GetGroup(0);
            Rect r = ButtonRect(b, c.pal);
            EXPECT_EQ(e.dwXStart, r.x0);
            EXPECT_EQ(e.dwXEnd, r.x1);
            EXPECT_EQ(e.dwYStart, r.y0);
            EXPECT_EQ(e.dwYEnd, r.y1);
            EXPECT_EQ(e.nColorTable, 1u);
            EXPECT_EQ(e.bAutoAction, 0);
            EXPECT_EQ(e.neighbours[BTNDIR_UP], 0);
            EXPECT_EQ(e.neighbours[BTNDIR_DOWN], 1);
            EXPECT_EQ(e.neighbours[BTNDIR_LEFT], 0);
            EXPECT_EQ(e.neighbours[BTNDIR_RIGHT], 1);
            const BYTE command[8] = {0x30, 0x05, 0x00, BYTE(b + 1), 0x00, 0x01, 0x00, 0x00};
            EXPECT_EQ(memcmp(e.command, command, 8), 0);
        }
    }
}

TEST(StockCellData, LibdvdreadReadsTheNavPacks)
{
    // The VMG menu of a fixture with its VOB replaced by a stock cell and its
    // VOBU map cut to the one VOBU: libdvdread then reads the cell's NAV pack.
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    KX_REQUIRE_IFODUMP();
    kxtest::ScratchFolder folder;
    std::vector<std::string> names;
    ASSERT_TRUE(kx::ListFiles(kxtest::FixturePath("ntscmenu", "VIDEO_TS"), names));
    for (const std::string& name : names)
    {
        std::vector<BYTE> bytes = kxtest::ReadWholeFile(kxtest::FixturePath("ntscmenu", "VIDEO_TS/" + name));
        if (name == "VIDEO_TS.IFO" || name == "VIDEO_TS.BUP")
        {
            ASSERT_GT(bytes.size(), 0x100u);
            size_t admap = size_t(GetBE32(&bytes[0xDC])) * 2048;
            ASSERT_LT(admap + 8, bytes.size());
            PutBE32(&bytes[admap], 7); // one entry
        }
        ASSERT_TRUE(kxtest::WriteFile(folder.File(name), bytes.data(), bytes.size()));
    }
    for (const StockCase& c : kStock)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(kxtest::WriteFile(folder.File("VIDEO_TS.VOB"), c.sectors, c.count * 2048));
        auto records = kxtest::IfoDump(folder.Path(), true);
        auto nav = kxtest::Select(records, "nav", {{"dom", "vmgm"}});
        ASSERT_EQ(nav.size(), 1u);
        EXPECT_EQ(nav[0].Num("c_eltm") & 0xC0, c.pal ? 0x40 : 0xC0);
        EXPECT_EQ(nav[0].Num("vobu_ea"), c.count - 1);
        EXPECT_EQ(nav[0].Num("ref1"), c.count - 1);
        EXPECT_EQ(nav[0].Num("s_ptm"), c.pts);
        EXPECT_EQ(nav[0].Num("e_ptm"), c.pts + (c.pal ? 43200 : 45045));
        auto hli = kxtest::Select(records, "hli", {{"dom", "vmgm"}});
        auto btn = kxtest::Select(records, "btn", {{"dom", "vmgm"}});
        if (!c.merge)
        {
            EXPECT_TRUE(hli.empty());
            continue;
        }
        ASSERT_EQ(hli.size(), 1u);
        EXPECT_EQ(hli[0].Num("buttons"), 2);
        EXPECT_EQ(hli[0].Num("groups"), 1);
        EXPECT_EQ(hli[0].Num("numeric"), 2);
        EXPECT_EQ(hli[0].Num("s_ptm"), c.pts);
        EXPECT_EQ(hli[0].Get("colors"), "76548520,ba988520,00000000,00000000,00000000,00000000");
        ASSERT_EQ(btn.size(), 2u);
        for (int b = 0; b < 2; ++b)
        {
            Rect r = ButtonRect(b, c.pal);
            EXPECT_EQ(btn[b].Num("x0"), r.x0);
            EXPECT_EQ(btn[b].Num("x1"), r.x1);
            EXPECT_EQ(btn[b].Num("y0"), r.y0);
            EXPECT_EQ(btn[b].Num("y1"), r.y1);
            EXPECT_EQ(btn[b].Num("color"), 1);
            EXPECT_EQ(btn[b].Num("up"), 1);
            EXPECT_EQ(btn[b].Num("down"), 2);
            EXPECT_EQ(btn[b].Num("left"), 1);
            EXPECT_EQ(btn[b].Num("right"), 2);
            EXPECT_EQ(btn[b].Get("cmd"), b == 0 ? "3005000100010000" : "3005000200010000");
        }
    }
}

#ifndef _WIN32
// Runs a command and answers its standard output; "" when it cannot run.
std::string RunTool(const std::string& command)
{
    std::string out;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    pclose(p);
    return out;
}

bool HaveTool(const char* name)
{
    return !RunTool(std::string("command -v ") + name).empty();
}

TEST(StockCellData, FfmpegAndMpeg2decDecodeOneFrameEach)
{
    if (!HaveTool("ffmpeg") || !HaveTool("ffprobe") || !HaveTool("mpeg2dec"))
        GTEST_SKIP() << "ffmpeg or mpeg2dec missing";
    kxtest::ScratchFolder folder;
    for (const StockCase& c : kStock)
    {
        SCOPED_TRACE(c.name);
        std::string path = folder.File(std::string("stock") + std::to_string(c.index) + ".vob");
        ASSERT_TRUE(kxtest::WriteFile(path, c.sectors, c.count * 2048));
        const size_t width = 720, height = c.pal ? 576 : 480;
        std::string yuv = RunTool("ffmpeg -v error -i '" + path + "' -map 0:v -f rawvideo -pix_fmt yuv420p -");
        ASSERT_EQ(yuv.size(), width * height * 3 / 2); // one frame
        if (!c.merge)
        {
            for (size_t i = 0; i < yuv.size(); ++i)
                ASSERT_EQ(BYTE(yuv[i]), i < width * height ? 16 : 128) << "byte " << i;
        }
        std::string info = RunTool("ffprobe -v error -show_streams '" + path + "'");
        EXPECT_NE(info.find("codec_name=mpeg2video"), std::string::npos);
        EXPECT_NE(info.find("r_frame_rate=" + std::string(c.pal ? "25/1" : "30000/1001")), std::string::npos);
        EXPECT_NE(info.find("codec_name=dvd_nav_packet"), std::string::npos);
        std::string mpeg2 = RunTool("mpeg2dec -o null '" + path + "' 2>&1");
        EXPECT_NE(mpeg2.find("1 frames decoded"), std::string::npos) << mpeg2;
        if (c.merge)
        {
            std::string subtitles = RunTool("ffprobe -v error -select_streams s:0 -show_frames '" + path + "'");
            EXPECT_NE(subtitles.find("num_rects=1"), std::string::npos) << subtitles;
            EXPECT_NE(info.find("codec_name=dvd_subtitle"), std::string::npos);
        }
    }
}
#endif

} // namespace
