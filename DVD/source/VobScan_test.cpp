#include "DVD/source/VobScan.h"

#include "DVD/source/VobData.h"
#include "DVD/source/VobTestSupport.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

using kxtest::RecordingLog;
using kxtest::VobBuilder;

std::unique_ptr<CVobData> MemorySet(const VobBuilder& vob, const char* name = "scan")
{
    RecordingLog log;
    std::unique_ptr<CVobData> set(new CVobData(log, name, uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr));
    EXPECT_TRUE(set->IsUsable()) << log.Dump();
    return set;
}

// Packs of each stream in one VOBU, counted here without the engine: the
// stream of the first packet behind each pack header.
struct StreamCounts
{
    std::vector<int> audio = std::vector<int>(8, 0);
    std::vector<int> subpictures = std::vector<int>(32, 0);
};

StreamCounts CountVobu(const std::vector<BYTE>& bytes, size_t first, size_t end)
{
    StreamCounts counts;
    for (size_t s = first; s < end && (s + 1) * 2048 <= bytes.size(); ++s)
    {
        const BYTE* p = bytes.data() + s * 2048;
        if (p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] != 0xBA)
            continue;
        size_t pos = 14 + (p[13] & 7);
        if (p[pos + 3] == 0xBB)
            pos += 6 + ((p[pos + 4] << 8) | p[pos + 5]);
        BYTE id = p[pos + 3];
        if (id >= 0xC0 && id <= 0xC7)
        {
            counts.audio[id - 0xC0]++;
        }
        else if (id >= 0xD0 && id <= 0xD7)
        {
            counts.audio[id - 0xD0]++;
        }
        else if (id == 0xBD)
        {
            BYTE sub = p[pos + 9 + p[pos + 8]];
            if ((sub >= 0x80 && sub <= 0x97) || (sub >= 0xA0 && sub <= 0xA7))
                counts.audio[sub & 7]++;
            else if (sub >= 0x20 && sub <= 0x3F)
                counts.subpictures[sub & 31]++;
        }
    }
    return counts;
}

TEST(VobScan, FullScanCountsEveryPackOfTheFixture)
{
    KX_REQUIRE_FIXTURE(dir, "pal1split");
    CCellAddressList cells;
    CVobuAddressList vobus;
    ASSERT_TRUE(
        kxtest::ReadDomainTables(kxtest::FixturePath("pal1split", "VIDEO_TS/VTS_01_0.IFO"), false, cells, vobus));
    RecordingLog log;
    std::string folder = kxtest::FixturePath("pal1split", "VIDEO_TS") + kx::NativePathSeparator();
    CVobData set(log, folder.c_str(), 1, false, nullptr, cells, vobus, true, nullptr);
    ASSERT_TRUE(set.IsUsable()) << log.Dump();

    set.PostMessage(VOBSCAN_CMD_FULL, 0);
    CVobData* sets[] = {&set};
    ASSERT_TRUE(kxtest::WaitUntil([&] { return IsFullScanComplete(sets, 1) && set.GetScanState() == VOBSCAN_IDLE; }));
    EXPECT_FALSE(IsFullScanRunning(sets, 1));

    std::vector<BYTE> bytes;
    for (int part = 1; part <= 3; ++part)
    {
        auto file =
            kxtest::ReadWholeFile(kxtest::FixturePath("pal1split", "VIDEO_TS/VTS_01_" + std::to_string(part) + ".VOB"));
        bytes.insert(bytes.end(), file.begin(), file.end());
    }
    kx::ScopedLock lock(set.GetLock());
    const CVobuScanRecordArray& records = set.GetScanRecords();
    ASSERT_EQ(records.GetSize(), vobus.GetSize());
    StreamCounts total;
    for (int32_t i = 0; i < vobus.GetSize(); ++i)
    {
        size_t end = i + 1 < vobus.GetSize() ? vobus[i + 1] : bytes.size() / 2048;
        StreamCounts expected = CountVobu(bytes, vobus[i] + 1, end);
        EXPECT_EQ(records[i].length, end - vobus[i]) << "VOBU " << i;
        for (int a = 0; a < 8; ++a)
        {
            EXPECT_EQ(records[i].audio[a], expected.audio[a]) << "VOBU " << i << " audio " << a;
            total.audio[a] += expected.audio[a];
        }
        for (int p = 0; p < 32; ++p)
        {
            EXPECT_EQ(records[i].subpictures[p], expected.subpictures[p]) << "VOBU " << i << " sub-picture " << p;
            total.subpictures[p] += expected.subpictures[p];
        }
    }
    // pal1 has audio and one sub-picture stream.
    EXPECT_GE(set.GetAudioStreamCount(), 1);
    EXPECT_EQ(set.GetSubpictureStreamCount(), 1);
    EXPECT_GT(total.audio[0], 0);
    EXPECT_GT(total.subpictures[0], 0);

    DWORD audio[8];
    DWORD subpictures[32];
    EXPECT_TRUE(set.GetStreamSizes(set.GetVobus(), audio, subpictures));
    for (int a = 0; a < 8; ++a)
        EXPECT_EQ(audio[a], DWORD(total.audio[a]));
    for (int p = 0; p < 32; ++p)
        EXPECT_EQ(subpictures[p], DWORD(total.subpictures[p]));
}

TEST(VobScan, TotalsAreExtrapolatedOverVobusNotScanned)
{
    VobBuilder vob;
    for (int v = 0; v < 4; ++v)
    {
        vob.Nav(1, 1);
        for (int k = 0; k < 20; ++k)
            vob.Pes(0xC0);
    }
    auto set = MemorySet(vob);
    kx::ScopedLock lock(set->GetLock());
    DWORD audio[8];
    DWORD subpictures[32];
    EXPECT_FALSE(set->GetStreamSizes(set->GetVobus(), audio, subpictures));
    EXPECT_EQ(audio[0], 0u);

    set->ScanVobu(0);
    EXPECT_FALSE(set->GetStreamSizes(set->GetVobus(), audio, subpictures));
    EXPECT_EQ(audio[0], 80u); // 20 + 20 x 3 / 1
    for (int a = 1; a < 8; ++a)
        EXPECT_EQ(audio[a], 0u);
    for (int p = 0; p < 32; ++p)
        EXPECT_EQ(subpictures[p], 0u);

    for (int32_t i = 1; i < 4; ++i)
        set->ScanVobu(i);
    EXPECT_TRUE(set->GetStreamSizes(set->GetVobus(), audio, subpictures));
    EXPECT_EQ(audio[0], 80u);
}

TEST(VobScan, ExtrapolationOfLargeTotalsDoesNotOverflow)
{
    // 1000 packs counted a thousand times over, 10,000 VOBUs not scanned: the
    // product 10^6 x 10^4 needs more than 32 bits, the result does not.
    VobBuilder vob;
    vob.Nav(1, 1);
    for (int k = 0; k < 1000; ++k)
        vob.Pes(0xC0);
    vob.Nav(1, 1);
    auto set = MemorySet(vob);
    kx::ScopedLock lock(set->GetLock());
    set->ScanVobu(0);
    CGrowArray<DWORD> list;
    for (int i = 0; i < 1000; ++i)
        list.Add(set->GetVobus()[0]);
    for (int i = 0; i < 10000; ++i)
        list.Add(set->GetVobus()[1]);
    DWORD audio[8];
    DWORD subpictures[32];
    EXPECT_FALSE(set->GetStreamSizes(list, audio, subpictures));
    EXPECT_EQ(audio[0], 11000000u);
}

TEST(VobScan, RecordsCountTheStreamsOfEachVobu)
{
    VobBuilder vob;
    vob.Nav(1, 1);
    vob.Pes(0xE0);
    vob.Pes(0xC3);       // MPEG-1 audio stream 3 only
    vob.Pes(0xBD, 0x21); // sub-picture stream 1
    vob.Pes(0xBD, 0x21);
    vob.Nav(1, 1);
    vob.Pes(0xE0); // video only
    auto set = MemorySet(vob);
    kx::ScopedLock lock(set->GetLock());
    set->ScanVobu(0);
    set->ScanVobu(1);
    const CVobuScanRecordArray& records = set->GetScanRecords();
    EXPECT_EQ(records[0].length, 5);
    EXPECT_EQ(records[0].audio[3], 1);
    EXPECT_EQ(records[0].subpictures[1], 2);
    EXPECT_EQ(set->GetAudioStreamCount(), 4);
    EXPECT_EQ(set->GetSubpictureStreamCount(), 2);
    EXPECT_EQ(set->GetAudioId(3), 2);
    for (int a = 0; a < 3; ++a)
        EXPECT_EQ(set->GetAudioId(a), 0xFF);
    CVobuScanRecord onlyLength = {};
    onlyLength.length = 2;
    EXPECT_EQ(memcmp(&records[1], &onlyLength, sizeof onlyLength), 0);
    EXPECT_EQ(set->GetLastScannedVobu(), 1);
    // A VOBU scanned already is left alone, its index too.
    set->ScanVobu(0);
    EXPECT_EQ(set->GetLastScannedVobu(), 1);
    EXPECT_EQ(records[0].subpictures[1], 2);
}

TEST(VobScan, PreliminaryScanCoversTheFirstTenVobusOfEachIlvu)
{
    VobBuilder vob;
    for (int v = 0; v < 25; ++v)
    {
        vob.Nav(1, 1);
        vob.Pes(0xC0);
    }
    for (int v = 0; v < 3; ++v)
    {
        vob.Nav(1, 2);
        vob.Pes(0xC0);
    }
    auto set = MemorySet(vob);
    ASSERT_EQ(set->GetVobus().GetSize(), 28);
    set->PostMessage(VOBSCAN_CMD_PRELIMINARY, 0);
    ASSERT_TRUE(kxtest::WaitUntil([&] { return set->IsPreliminaryDone(); }));
    EXPECT_EQ(set->GetScanState(), VOBSCAN_IDLE);
    kx::ScopedLock lock(set->GetLock());
    const CVobuScanRecordArray& records = set->GetScanRecords();
    for (int32_t i = 0; i < 28; ++i)
    {
        bool expected = i < 10 || i >= 25;
        EXPECT_EQ(records[i].length != 0, expected) << "VOBU " << i;
    }
    EXPECT_EQ(set->GetLastScannedVobu(), 27);
}

TEST(VobScan, PauseAnswersBetweenUnitsAndTheFullScanGoesOnFromItsCursor)
{
    VobBuilder vob;
    for (int v = 0; v < 3000; ++v)
    {
        vob.Nav(1, 1);
        vob.Pes(0xC0);
    }
    auto set = MemorySet(vob);
    set->PostMessage(VOBSCAN_CMD_FULL, 0);
    set->PostMessage(VOBSCAN_CMD_FULL, 0); // a second request changes nothing
    set->Pause();
    EXPECT_NE(set->GetScanState(), VOBSCAN_FULL);
    uint32_t cursor = set->GetVobuCursor();
    for (int i = 0; i < 20; ++i)
        kx::SleepMilliseconds(1);
    EXPECT_EQ(set->GetVobuCursor(), cursor);

    set->PostMessage(VOBSCAN_CMD_FULL, 0);
    CVobData* sets[] = {set.get()};
    ASSERT_TRUE(kxtest::WaitUntil([&] { return IsFullScanComplete(sets, 1) && set->GetScanState() == VOBSCAN_IDLE; }));
    EXPECT_EQ(set->GetVobuCursor(), 3000u);
    {
        kx::ScopedLock lock(set->GetLock());
        for (int32_t i = 0; i < 3000; ++i)
            ASSERT_EQ(set->GetScanRecords()[i].audio[0], 1) << i;
    }
    set->Stop();
    EXPECT_FALSE(set->IsRunning());
}

TEST(VobScan, SchedulerScansOneSetAtATimeInRegistrationOrder)
{
    kxtest::ScratchFolder folder;
    std::vector<CVobData*> sets;
    for (int k = 0; k < 3; ++k)
    {
        VobBuilder vob;
        for (int c = 0; c < 150; ++c)
        {
            vob.Nav(1, BYTE(1 + c % 200));
            vob.Pes(0xC0);
            vob.Pes(0xE0);
        }
        std::string path = folder.File("ORDER" + std::to_string(k) + ".VOB");
        ASSERT_TRUE(kxtest::WriteFile(path, vob.bytes.data(), vob.bytes.size()));
        RecordingLog log;
        CVobData* set = new CVobData(log, path.c_str(), nullptr);
        ASSERT_TRUE(set->IsUsable()) << log.Dump();
        sets.push_back(set);
    }
    for (CVobData* set : sets)
        RegisterVobData(set);

    bool ordered = true;
    ASSERT_TRUE(kxtest::WaitUntil(
        [&]
        {
            // Later sets first: a set seen started or done means every earlier set
            // was done before it started, so it is still done when read afterwards.
            bool laterStarted = false;
            for (size_t k = sets.size(); k-- > 0;)
            {
                bool done = sets[k]->IsPreliminaryDone();
                if (laterStarted && !done)
                    ordered = false;
                laterStarted |= done || sets[k]->GetScanState() != VOBSCAN_IDLE;
            }
            return IsPreliminaryScanDone(sets.data(), uint32_t(sets.size()));
        }));
    EXPECT_TRUE(ordered);
    PurgeUnusedVobData();
    for (uint32_t i = 0; i < GetVobDataCount(); ++i)
        for (CVobData* set : sets)
            EXPECT_NE(GetVobDataAt(i), set);
}

} // namespace
