#include "DVD/source/DVD.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DVD/source/VobTestSupport.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "tests/support/Fixtures.h"
#include "tests/support/MemoryProjectStream.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

namespace
{

using kxtest::RecordingLog;

// The background scan moves on while a test runs: a disc is stored once
// the preliminary scan of every set is done and nothing changes any more.
bool WaitForScans()
{
    return kxtest::WaitUntil(
        []
        {
            for (uint32_t i = 0; i < GetVobDataCount(); ++i)
                if (!GetVobDataAt(i)->IsPreliminaryDone())
                    return false;
            return true;
        });
}

std::vector<uint8_t> StoreDisc(CDvd& dvd)
{
    EXPECT_TRUE(WaitForScans());
    kxtest::MemoryProjectWriter writer;
    RecordingLog log;
    kxtest::RecordingProgress progress;
    EXPECT_TRUE(dvd.Store(log, writer, &progress)) << log.Dump();
    return writer.bytes;
}

// Every file an export wrote, by name.
std::vector<std::pair<std::string, std::vector<BYTE>>> Export(CDvd& dvd, const std::string& folder)
{
    std::vector<std::pair<std::string, std::vector<BYTE>>> files;
    RecordingLog log;
    EXPECT_TRUE(kx::CreateFolder(folder));
    EXPECT_TRUE(dvd.Write(log, folder.c_str(), false, nullptr, true)) << log.Dump();
    std::vector<std::string> names;
    kx::ListFiles(folder, names);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        files.emplace_back(name, kxtest::ReadWholeFile(kx::JoinPath(folder, name)));
    return files;
}

void ExpectSameExport(const std::vector<std::pair<std::string, std::vector<BYTE>>>& a,
                      const std::vector<std::pair<std::string, std::vector<BYTE>>>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
    {
        EXPECT_EQ(a[i].first, b[i].first);
        EXPECT_TRUE(a[i].second == b[i].second) << a[i].first << " differs";
    }
}

class DvdRecordFixture : public ::testing::TestWithParam<const char*>
{
};

// A disc stored and loaded into a fresh disc, with the sets of the first one
// closed in between, stores the same bytes again and exports the same files.
TEST_P(DvdRecordFixture, StoredDiscLoadsIntoTheSameTreeAndExport)
{
    KX_REQUIRE_FIXTURE(dir, GetParam());
    kxtest::ScratchFolder scratch;
    std::vector<uint8_t> bytes;
    std::vector<std::pair<std::string, std::vector<BYTE>>> before;
    {
        CDvd dvd;
        RecordingLog log;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath(GetParam(), "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        bytes = StoreDisc(dvd);
        before = Export(dvd, kx::JoinPath(scratch.Path(), "before"));
    }
    PurgeUnusedVobData();
    // The whole disc with its VOB content, and an export of every file.
    EXPECT_GT(bytes.size(), 1000u);
    ASSERT_GE(before.size(), 5u);

    CDvd loaded;
    RecordingLog log;
    kxtest::MemoryProjectReader reader(bytes);
    kxtest::RecordingProgress progress;
    ASSERT_TRUE(loaded.Load(log, reader, &progress)) << log.Dump();
    EXPECT_EQ(reader.GetTransferred(), bytes.size());
    EXPECT_EQ(log.Count('E'), 0) << log.Dump();
    EXPECT_TRUE(StoreDisc(loaded) == bytes);
    ExpectSameExport(before, Export(loaded, kx::JoinPath(scratch.Path(), "after")));
}

INSTANTIATE_TEST_SUITE_P(DvdRecord, DvdRecordFixture,
                         ::testing::Values("pal1", "ntscmenu", "twovts", "cmdtable", "pal1split"));

// Edits the disc the ways the editor does: a split, a cut, a still menu and
// a hidden block; answers how many took.
int EditDisc(CDvd& dvd)
{
    int edits = 0;
    for (uint32_t v = 0; v < dvd.GetVtsCount(); ++v)
    {
        CAngleBlockList& titles = dvd.GetVts(v)->GetTitleDomain();
        if (titles.GetBlockCount() > 0)
        {
            CAngleBlock* first = titles.GetBlock(0);
            const uint32_t vobus = first->GetIlvu(0)->GetVobuCount();
            if (vobus >= 4 && first->GetIlvuCount() == 1 && first->SplitAt(vobus / 2))
                ++edits;
            CVobCell* ilvu = titles.GetBlock(titles.GetBlockCount() - 1)->GetIlvu(0);
            if (ilvu->CanCutTo(1) && ilvu->CutTo(1))
                ++edits;
            if (titles.GetBlockCount() > 1 && titles.GetBlock(1)->SetBlank())
                ++edits;
        }
        CAngleBlockList& menus = dvd.GetVts(v)->GetMenuDomain();
        for (uint32_t b = 0; b < menus.GetBlockCount(); ++b)
            if (menus.GetBlock(b)->HasButtons() && menus.GetBlock(b)->GetIlvu(0)->ConvertToStill())
            {
                ++edits;
                break;
            }
    }
    CAngleBlockList& menus = dvd.GetVmg().GetMenuDomain();
    if (menus.GetBlockCount() > 0 && menus.GetBlock(0)->SetBlank())
        ++edits;
    return edits;
}

TEST(DvdRecord, EditedDiscLoadsIntoTheSameTreeAndExport)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ReleaseStockCells();
    ASSERT_TRUE(CreateStockCells());
    kxtest::ScratchFolder scratch;
    std::vector<uint8_t> bytes;
    std::vector<std::pair<std::string, std::vector<BYTE>>> before;
    {
        CDvd dvd;
        RecordingLog log;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        EXPECT_GE(EditDisc(dvd), 3);
        bytes = StoreDisc(dvd);
        before = Export(dvd, kx::JoinPath(scratch.Path(), "before"));
    }
    PurgeUnusedVobData();
    {
        CDvd loaded;
        RecordingLog log;
        kxtest::MemoryProjectReader reader(bytes);
        ASSERT_TRUE(loaded.Load(log, reader, nullptr)) << log.Dump();
        EXPECT_TRUE(StoreDisc(loaded) == bytes);
        ExpectSameExport(before, Export(loaded, kx::JoinPath(scratch.Path(), "after")));
    }
    PurgeUnusedVobData();
    EXPECT_TRUE(ReleaseStockCells());
}

TEST(DvdRecord, CutAndDamagedProjectsNeverCrash)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    std::vector<uint8_t> bytes;
    {
        CDvd dvd;
        RecordingLog log;
        ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str(), nullptr)) << log.Dump();
        bytes = StoreDisc(dvd);
    }
    kxtest::ScriptedUi ui;
    // A few hundred cuts and damaged bytes spread over the whole project.
    const size_t step = bytes.size() / 300 + 1;
    for (size_t at = 0; at < bytes.size(); at += step)
    {
        {
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + at);
            CDvd dvd;
            RecordingLog log;
            kxtest::MemoryProjectReader reader(cut);
            EXPECT_FALSE(dvd.Load(log, reader, nullptr)) << at;
            EXPECT_EQ(dvd.GetVtsCount(), 1u);
        }
        std::vector<uint8_t> damaged = bytes;
        damaged[at] ^= 0xA5;
        CDvd dvd;
        RecordingLog log;
        kxtest::MemoryProjectReader reader(damaged);
        dvd.Load(log, reader, nullptr);
        EXPECT_LE(reader.GetTransferred(), damaged.size());
    }
    PurgeUnusedVobData();
}

} // namespace
