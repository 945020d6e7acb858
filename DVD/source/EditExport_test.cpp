// Edited discs exported and read back: what a player sees of a hidden,
// restored, split or cut block.
#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/DiscTestSupport.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobData.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace
{

using kxtest::IfoRecord;
using kxtest::Select;

const long long kNoVobu = 0x3FFFFFFF;

// A fixture read, edited and exported into a VIDEO_TS folder of its own.
struct ExportedDisc
{
    kxtest::ScratchFolder scratch;
    std::string folder = scratch.File("VIDEO_TS");
    kxtest::RecordingLog log;

    ~ExportedDisc()
    {
        std::vector<std::string> names;
        kx::ListFiles(folder, names);
        for (const auto& name : names)
            kx::RemoveFile(kx::JoinPath(folder, name));
        kx::RemoveFolder(folder);
    }

    // The edit answers whether it was made.
    bool Export(const char* fixture, const std::function<bool(CDvd&)>& edit)
    {
        if (!scratch.Created() || !kx::CreateFolder(folder))
            return false;
        // The program builds its stock cells at start-up; a hide needs them.
        CreateStockCells();
        bool ok = false;
        {
            CDvd dvd;
            ok = dvd.Read(log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr) && (!edit || edit(dvd)) &&
                 dvd.Write(log, folder.c_str(), false, nullptr, true) && log.Count('E') == 0;
        }
        // The source VOB sets are closed before anything removes the files.
        PurgeUnusedVobData();
        return ok;
    }
    std::vector<uint8_t> File(const std::string& name) const
    {
        return kxtest::ReadWholeFile(kx::JoinPath(folder, name));
    }
};

CAngleBlock* TitleBlock(CDvd& dvd, unsigned vts, uint32_t block)
{
    CVts* set = dvd.GetVts(vts - 1);
    return set && block < set->GetTitleDomain().GetBlockCount() ? set->GetTitleDomain().GetBlock(block) : nullptr;
}

// The cells of the title PGC 1 of a title set.
std::vector<IfoRecord> TitleCells(const std::vector<IfoRecord>& records, const char* vts)
{
    return Select(records, "cell", {{"dom", "vts"}, {"vts", vts}, {"pgc", "1"}});
}

// Frames of a BCD playback time as kx_ifodump prints it (0xHHMMSSFF).
long long TimeFrames(long long bcd)
{
    auto decimal = [](long long byte) { return (byte >> 4) * 10 + (byte & 15); };
    const long long rate = (bcd & 0xC0) == 0x40 ? 25 : 30;
    const long long seconds =
        (decimal(bcd >> 24 & 0xFF) * 60 + decimal(bcd >> 16 & 0xFF)) * 60 + decimal(bcd >> 8 & 0xFF);
    return seconds * rate + decimal(bcd & 0x3F);
}

// Every exported cell of the title PGC 1 of a title set counts its elapsed
// time from its own first VOBU, in the PCI and in the DSI alike, and each
// later VOBU's time agrees with where it starts within the cell.
void ExpectCellTimesFromFirstVobu(const std::string& disc, const char* vts)
{
    const auto cells = TitleCells(kxtest::IfoDump(disc), vts);
    const auto navs = Select(kxtest::IfoDump(disc, true), "nav", {{"dom", "vts"}, {"vts", vts}});
    ASSERT_FALSE(cells.empty());
    for (size_t c = 0; c < cells.size(); ++c)
    {
        long long firstPtm = -1;
        for (const IfoRecord& nav : navs)
        {
            const long long sector = nav.Num("sector");
            if (sector < cells[c].Num("first") || sector > cells[c].Num("last"))
                continue;
            SCOPED_TRACE("cell " + std::to_string(c + 1) + " VOBU at " + std::to_string(sector));
            if (firstPtm < 0)
            {
                firstPtm = nav.Num("s_ptm");
                EXPECT_EQ(nav.Num("c_eltm") & 0xFFFFFF3F, 0);
                EXPECT_EQ(nav.Num("e_eltm") & 0xFFFFFF3F, 0);
                continue;
            }
            const long long rate = (nav.Num("e_eltm") & 0xC0) == 0x40 ? 25 : 30;
            const double frames = double(nav.Num("s_ptm") - firstPtm) * rate / 90000.0;
            EXPECT_NEAR(double(TimeFrames(nav.Num("c_eltm"))), frames, 1.0);
            EXPECT_NEAR(double(TimeFrames(nav.Num("e_eltm"))), frames, 1.0);
        }
        EXPECT_GE(firstPtm, 0) << "cell " << c + 1 << " has no VOBU";
    }
}

// Hide then restore gives back an export equal byte for byte to that of the
// unedited disc; the hidden cell itself is exported as the blank stock cell.
TEST(EditExport, HideThenRestoreExportsTheUneditedDisc)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    ExportedDisc plain, restored, hidden;
    ASSERT_TRUE(plain.Export("pal1", nullptr)) << plain.log.Dump();
    ASSERT_TRUE(restored.Export("pal1",
                                [](CDvd& dvd)
                                {
                                    CAngleBlock* block = TitleBlock(dvd, 1, 1);
                                    return block && block->SetBlank() && block->Restore();
                                }))
        << restored.log.Dump();
    ASSERT_TRUE(hidden.Export("pal1",
                              [](CDvd& dvd)
                              {
                                  CAngleBlock* block = TitleBlock(dvd, 1, 1);
                                  return block && block->SetBlank();
                              }))
        << hidden.log.Dump();

    std::vector<std::string> names;
    ASSERT_TRUE(kx::ListFiles(plain.folder, names));
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = plain.File(name);
        ASSERT_FALSE(bytes.empty());
        EXPECT_TRUE(restored.File(name) == bytes);
    }
    EXPECT_LT(hidden.File("VTS_01_1.VOB").size(), plain.File("VTS_01_1.VOB").size());

    KX_REQUIRE_IFODUMP();
    const auto source = kxtest::IfoDump(dir);
    const auto cells = TitleCells(kxtest::IfoDump(hidden.scratch.Path()), "1");
    ASSERT_EQ(cells.size(), TitleCells(source, "1").size());
    // One VOBU of the blank cell, of the stock cell's length, in place of the
    // cell's own.
    const CVobCell* stock = GetStockCell(STOCK_EMPTY_PAL);
    ASSERT_NE(stock, nullptr);
    const auto navs = Select(kxtest::IfoDump(hidden.scratch.Path(), true), "nav", {{"dom", "vts"}, {"vts", "1"}});
    int blankVobus = 0;
    for (const IfoRecord& nav : navs)
        if (nav.Num("sector") >= cells[1].Num("first") && nav.Num("sector") <= cells[1].Num("last"))
            ++blankVobus;
    EXPECT_EQ(blankVobus, 1);
    EXPECT_EQ(cells[1].Num("last") - cells[1].Num("first") + 1, (long long)stock->GetSectorCount());
    EXPECT_LT(cells[1].Num("time") & 0xFFFFFF3F, TitleCells(source, "1")[1].Num("time") & 0xFFFFFF3F);
}

// "Hide all blocks" then "Restore all blocks" on the title PGCs of a title
// set exports the unedited disc; hidden, every cell of the title set is
// exported as a blank cell.
TEST(EditExport, TableHideAllThenRestoreAllExportsTheUneditedDisc)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ExportedDisc plain, restored, hidden;
    ASSERT_TRUE(plain.Export("ntscmenu", nullptr)) << plain.log.Dump();
    ASSERT_TRUE(restored.Export("ntscmenu",
                                [](CDvd& dvd)
                                {
                                    CPgcTable& table = dvd.GetVts(0)->GetPgcTable();
                                    table.HideAllBlocks();
                                    table.RestoreAllBlocks();
                                    return true;
                                }))
        << restored.log.Dump();
    ASSERT_TRUE(hidden.Export("ntscmenu",
                              [](CDvd& dvd)
                              {
                                  dvd.GetVts(0)->GetPgcTable().HideAllBlocks();
                                  return true;
                              }))
        << hidden.log.Dump();

    std::vector<std::string> names;
    ASSERT_TRUE(kx::ListFiles(plain.folder, names));
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = plain.File(name);
        ASSERT_FALSE(bytes.empty());
        EXPECT_TRUE(restored.File(name) == bytes);
    }
    EXPECT_LT(hidden.File("VTS_01_1.VOB").size(), plain.File("VTS_01_1.VOB").size());
    // The menus were not part of the table.
    EXPECT_TRUE(hidden.File("VTS_01_0.VOB") == plain.File("VTS_01_0.VOB"));

    KX_REQUIRE_IFODUMP();
    const CVobCell* stock = GetStockCell(STOCK_EMPTY_NTSC);
    ASSERT_NE(stock, nullptr);
    const auto source = Select(kxtest::IfoDump(dir), "cell", {{"dom", "vts"}, {"vts", "1"}});
    const auto cells = Select(kxtest::IfoDump(hidden.scratch.Path()), "cell", {{"dom", "vts"}, {"vts", "1"}});
    ASSERT_EQ(cells.size(), source.size());
    for (const IfoRecord& cell : cells)
        EXPECT_EQ(cell.Num("last") - cell.Num("first") + 1, (long long)stock->GetSectorCount());
}

// Split at VOBU 3 of the 6 of the one cell of title set 2: the address
// table holds two cells and the PGC one more cell, the PGC plays as long as
// before, and the second cell counts its elapsed time from the split.
TEST(EditExport, SplitGivesTwoCellsInTheAddressTable)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    KX_REQUIRE_IFODUMP();
    ExportedDisc split;
    ASSERT_TRUE(split.Export("twovts",
                             [](CDvd& dvd)
                             {
                                 CAngleBlock* block = TitleBlock(dvd, 2, 0);
                                 return block && block->GetIlvu(0)->GetVobuCount() == 6 && block->SplitAt(3);
                             }))
        << split.log.Dump();
    const auto source = kxtest::IfoDump(dir);
    const auto records = kxtest::IfoDump(split.scratch.Path());
    ASSERT_EQ(Select(source, "cadr", {{"dom", "vts"}, {"vts", "2"}}).size(), 1u);
    EXPECT_EQ(Select(records, "cadr", {{"dom", "vts"}, {"vts", "2"}}).size(), 2u);
    const auto cells = TitleCells(records, "2");
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[1].Num("first"), cells[0].Num("last") + 1);
    const auto pgcs = Select(records, "pgc", {{"dom", "vts"}, {"vts", "2"}});
    const auto sourcePgcs = Select(source, "pgc", {{"dom", "vts"}, {"vts", "2"}});
    ASSERT_EQ(pgcs.size(), 1u);
    ASSERT_EQ(sourcePgcs.size(), 1u);
    EXPECT_EQ(pgcs[0].Num("cells"), sourcePgcs[0].Num("cells") + 1);
    EXPECT_EQ(pgcs[0].Get("time"), sourcePgcs[0].Get("time"));
    ExpectCellTimesFromFirstVobu(split.scratch.Path(), "2");
}

// Cut from VOBU 1 of the first cell and to VOBU 2 of the second: both cells
// play shorter, each counts its elapsed time from its first kept VOBU, and no
// search pointer leads out of its cell.
TEST(EditExport, CutsShortenTheCellsAndKeepTheirPointersInside)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    KX_REQUIRE_IFODUMP();
    ExportedDisc cut;
    ASSERT_TRUE(cut.Export("twovts",
                           [](CDvd& dvd)
                           {
                               CAngleBlock* first = TitleBlock(dvd, 1, 0);
                               CAngleBlock* second = TitleBlock(dvd, 1, 1);
                               if (!first || !second)
                                   return false;
                               first->GetIlvu(0)->SetThumbnailVobu(2);
                               second->GetIlvu(0)->SetThumbnailVobu(3);
                               const bool ok = first->GetIlvu(0)->CutFrom(1) && second->GetIlvu(0)->CutTo(2);
                               EXPECT_LT(first->GetIlvu(0)->GetThumbnailVobu(), first->GetIlvu(0)->GetVobuCount());
                               EXPECT_LT(second->GetIlvu(0)->GetThumbnailVobu(), second->GetIlvu(0)->GetVobuCount());
                               return ok;
                           }))
        << cut.log.Dump();
    const auto source = TitleCells(kxtest::IfoDump(dir), "1");
    const auto cells = TitleCells(kxtest::IfoDump(cut.scratch.Path()), "1");
    const auto records = kxtest::IfoDump(cut.scratch.Path(), true);
    ASSERT_EQ(cells.size(), 2u);
    ASSERT_EQ(source.size(), 2u);
    for (size_t c = 0; c < 2; ++c)
    {
        SCOPED_TRACE(c);
        // Seconds and frames of the BCD time, without the rate bits.
        EXPECT_LT(cells[c].Num("time") & 0xFFFFFF3F, source[c].Num("time") & 0xFFFFFF3F);
    }
    const auto navs = Select(records, "nav", {{"dom", "vts"}, {"vts", "1"}});
    const auto sris = Select(records, "navsri", {{"dom", "vts"}, {"vts", "1"}});
    ASSERT_EQ(navs.size(), sris.size());
    for (size_t c = 0; c < 2; ++c)
    {
        bool first = true;
        for (size_t n = 0; n < navs.size(); ++n)
        {
            const long long sector = navs[n].Num("sector");
            if (sector < cells[c].Num("first") || sector > cells[c].Num("last"))
                continue;
            SCOPED_TRACE("cell " + std::to_string(c) + " VOBU at " + std::to_string(sector));
            first = false;
            const long long next = sris[n].Num("next_vobu") & kNoVobu;
            if (next != kNoVobu)
            {
                EXPECT_LE(sector + next, cells[c].Num("last_vobu"));
            }
        }
        EXPECT_FALSE(first);
    }
    ExpectCellTimesFromFirstVobu(cut.scratch.Path(), "1");
}

// Bypassing the VMG menu with its first button: the PGC that played the menu
// runs that button's command at the end of a blank cell.
TEST(EditExport, BypassedMenuRunsTheButtonCommandAsCellCommand)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    KX_REQUIRE_IFODUMP();
    ExportedDisc bypassed;
    std::string expected;
    ASSERT_TRUE(bypassed.Export("ntscmenu",
                                [&](CDvd& dvd)
                                {
                                    CAngleBlockList& menus = dvd.GetVmg().GetMenuDomain();
                                    if (menus.GetBlockCount() == 0 || !menus.GetBlock(0)->HasButtons())
                                        return false;
                                    CAngleBlock* menu = menus.GetBlock(0);
                                    const BYTE* command =
                                        menu->GetIlvu(0)->GetSegment(0)->GetButton(0)->GetGroup(0).command;
                                    for (int i = 0; i < 8; ++i)
                                    {
                                        char hex[3];
                                        std::snprintf(hex, sizeof hex, "%02x", command[i]);
                                        expected += hex;
                                    }
                                    return menu->BypassMenu(command, 0) && menu->GetIlvu(0)->IsStock();
                                }))
        << bypassed.log.Dump();
    const auto records = kxtest::IfoDump(bypassed.scratch.Path());
    const auto cells = Select(records, "cell", {{"dom", "vmgm"}, {"pgc", "1"}});
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0].Num("cmd"), 1);
    // The blank cell holds no still.
    EXPECT_EQ(cells[0].Num("still"), 0);
    const auto commands = Select(records, "cmd", {{"dom", "vmgm"}, {"pgc", "1"}, {"kind", "cell"}});
    ASSERT_EQ(commands.size(), 1u);
    // The fixture's first button sets g15 to 1 and links on; as a cell
    // command its link highlights that button (1, in bits 15-10 of the last
    // word).
    ASSERT_EQ(expected, "7101000f0001000d");
    EXPECT_EQ(commands[0].Get("bytes"), "7101000f0001040d");
}

} // namespace
