#include "DVD/source/StreamSet.h"

#include "DVD/source/IfoView.h"
#include "tests/support/Fixtures.h"
#include "tests/support/MemoryProjectStream.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace
{

// An attribute block whose entries carry their stream number, so moved or
// lost entries show.
std::vector<BYTE> MakeBlock(WORD nAudio, WORD nSubpictures)
{
    std::vector<BYTE> block(STREAM_BLOCK_SIZE, 0);
    block[0] = 0x5D; // MPEG-2, 625/50, 16:9
    block[1] = 0x48;
    PutBE16(block.data() + 2, nAudio);
    for (int i = 0; i < MAX_AUDIO_STREAMS; i++)
        for (int k = 0; k < 8; k++)
            block[4 + 8 * i + k] = (BYTE)(0x10 * i + k + 1);
    PutBE16(block.data() + 84, nSubpictures);
    for (int i = 0; i < MAX_SUBPICTURE_STREAMS; i++)
        for (int k = 0; k < 6; k++)
            block[86 + 6 * i + k] = (BYTE)(0x80 + i + k);
    for (int i = 0; i < 192; i++)
        block[280 + i] = (BYTE)(i ^ 0x5A);
    return block;
}

TEST(StreamSet, StreamCountLimits)
{
    struct Case
    {
        bool menu;
        WORD audio;
        WORD subpictures;
        bool accepted;
    };
    const Case cases[] = {
        {false, 8, 32, true}, {false, 9, 0, false}, {false, 0, 33, false}, {true, 8, 28, true},
        {true, 9, 1, false},  {true, 1, 29, false}, {true, 0, 0, true},
    };
    for (const Case& c : cases)
    {
        CStreamSet set(nullptr, !c.menu);
        std::vector<BYTE> block = MakeBlock(c.audio, c.subpictures);
        EXPECT_EQ(c.accepted, set.ReadIfo(block.data(), c.menu)) << c.menu << " " << c.audio << " " << c.subpictures;
        EXPECT_EQ(c.menu, set.IsMenu());
        if (c.accepted)
        {
            EXPECT_EQ(c.audio, set.GetAudioCount());
            EXPECT_EQ(c.subpictures, set.GetSubpictureCount());
        }
    }
}

TEST(StreamSet, RefusedSubpictureCountKeepsTheAudioRead)
{
    CStreamSet set(nullptr, false);
    std::vector<BYTE> block = MakeBlock(3, 40);
    EXPECT_FALSE(set.ReadIfo(block.data(), false));
    EXPECT_EQ(3, set.GetAudioCount());
    EXPECT_EQ(0, set.GetSubpictureCount());
}

TEST(StreamSet, WritesOnlyWhatItHolds)
{
    std::vector<BYTE> block = MakeBlock(3, 2);
    CStreamSet set(nullptr, false);
    ASSERT_TRUE(set.ReadIfo(block.data(), false));
    EXPECT_EQ(0, memcmp(block.data() + 4 + 8, set.GetAudio(1)->bytes, 7));
    EXPECT_EQ(0, memcmp(block.data() + 86 + 6, set.GetSubpicture(1)->bytes, 6));

    std::vector<BYTE> out(STREAM_BLOCK_SIZE, 0xEE);
    set.WriteIfo(out.data());
    for (size_t i = 0; i < STREAM_BLOCK_SIZE; i++)
    {
        bool written = i < 4 || (i >= 4 && i < 4 + 8 * 3 && (i - 4) % 8 != 7) || i == 84 || i == 85 ||
                       (i >= 86 && i < 86 + 6 * 2) || (i >= 280 && i < 280 + 192);
        EXPECT_EQ(written ? block[i] : 0xEE, out[i]) << i;
    }
}

TEST(StreamSet, MenuSetLeavesMultichannelAlone)
{
    std::vector<BYTE> block = MakeBlock(1, 1);
    CStreamSet set(nullptr, true);
    ASSERT_TRUE(set.ReadIfo(block.data(), true));
    for (BYTE b : set.GetMultichannel().bytes)
        ASSERT_EQ(0, b);
    std::vector<BYTE> out(STREAM_BLOCK_SIZE, 0xEE);
    set.WriteIfo(out.data());
    for (size_t i = 280; i < 280 + 192; i++)
        ASSERT_EQ(0xEE, out[i]) << i;
}

TEST(StreamSet, RemoveStreamsRenumbersLaterOnes)
{
    std::vector<BYTE> block = MakeBlock(3, 4);
    CStreamSet set(nullptr, false);
    ASSERT_TRUE(set.ReadIfo(block.data(), false));
    set.ClearModified();

    set.RemoveAudioStream(0);
    EXPECT_TRUE(set.IsModified());
    ASSERT_EQ(2, set.GetAudioCount());
    EXPECT_EQ(0, memcmp(block.data() + 4 + 8, set.GetAudio(0)->bytes, 7));
    EXPECT_EQ(0, memcmp(block.data() + 4 + 16, set.GetAudio(1)->bytes, 7));

    set.RemoveSubpictureStream(3);
    set.RemoveSubpictureStream(1);
    ASSERT_EQ(2, set.GetSubpictureCount());
    EXPECT_EQ(0, memcmp(block.data() + 86 + 12, set.GetSubpicture(1)->bytes, 6));

    // A stream that is not there changes nothing.
    set.RemoveAudioStream(7);
    EXPECT_EQ(2, set.GetAudioCount());
}

TEST(StreamSet, SetSubpictureCount)
{
    std::vector<BYTE> block = MakeBlock(0, 2);
    CStreamSet set(nullptr, true);
    ASSERT_TRUE(set.ReadIfo(block.data(), true));

    set.SetSubpictureCount(4, false);
    ASSERT_EQ(4, set.GetSubpictureCount());
    EXPECT_EQ(0, memcmp(block.data() + 86 + 6, set.GetSubpicture(1)->bytes, 6));
    const BYTE zero[6] = {};
    EXPECT_EQ(0, memcmp(zero, set.GetSubpicture(3)->bytes, 6));

    set.SetSubpictureCount(3, true);
    ASSERT_EQ(3, set.GetSubpictureCount());
    EXPECT_EQ(0, memcmp(zero, set.GetSubpicture(0)->bytes, 6));

    // No more than the domain holds, so the block can always be written.
    set.SetSubpictureCount(200, false);
    EXPECT_EQ(MAX_MENU_SUBPICTURE_STREAMS, set.GetSubpictureCount());
    CStreamSet title(nullptr, false);
    title.SetSubpictureCount(255, false);
    EXPECT_EQ(MAX_SUBPICTURE_STREAMS, title.GetSubpictureCount());
}

TEST(StreamSet, CopyAndEquals)
{
    std::vector<BYTE> block = MakeBlock(2, 3);
    CStreamSet set(nullptr, false);
    ASSERT_TRUE(set.ReadIfo(block.data(), false));

    CStreamSet copy(set, nullptr);
    EXPECT_EQ(set.GetId(), copy.GetId());
    EXPECT_TRUE(copy.Equals(set));
    EXPECT_NE(set.GetAudio(0), copy.GetAudio(0)); // deep copy

    // Neither the menu flag nor the multichannel table is compared.
    std::vector<BYTE> other = block;
    other[300] ^= 0xFF;
    CStreamSet menu(nullptr, true);
    ASSERT_TRUE(menu.ReadIfo(other.data(), true));
    EXPECT_TRUE(menu.Equals(set));

    other[4 + 8 + 6] ^= 1; // last held byte of audio entry 1
    ASSERT_TRUE(menu.ReadIfo(other.data(), false));
    EXPECT_FALSE(menu.Equals(set));
    other = block;
    other[4 + 8 + 7] ^= 1; // the 8th byte is not held
    ASSERT_TRUE(menu.ReadIfo(other.data(), false));
    EXPECT_TRUE(menu.Equals(set));

    CStreamSet assigned(nullptr, true);
    assigned = set;
    EXPECT_EQ(set.GetId(), assigned.GetId());
    EXPECT_FALSE(assigned.IsMenu());
    EXPECT_TRUE(assigned.Equals(set));
    EXPECT_EQ(0, memcmp(set.GetMultichannel().bytes, assigned.GetMultichannel().bytes, 192));

    set.RemoveAll();
    EXPECT_EQ(0, set.GetAudioCount());
    EXPECT_EQ(0, set.GetSubpictureCount());
    EXPECT_FALSE(set.Equals(assigned));
}

TEST(StreamSet, ProjectRecordRoundTrip)
{
    std::vector<BYTE> block = MakeBlock(4, 5);
    CStreamSet set(nullptr, false);
    ASSERT_TRUE(set.ReadIfo(block.data(), false));

    kxtest::MemoryProjectWriter writer;
    ASSERT_TRUE(set.Store(writer));
    ASSERT_EQ(1 + STREAM_BLOCK_SIZE, writer.bytes.size());
    EXPECT_EQ(0, writer.bytes[0]);

    kxtest::MemoryProjectReader reader(writer.bytes);
    kxtest::RecordingLog log;
    CStreamSet loaded(nullptr, true);
    ASSERT_TRUE(loaded.Load(log, reader));
    EXPECT_FALSE(loaded.IsMenu());
    EXPECT_TRUE(loaded.Equals(set));
    EXPECT_EQ(0, memcmp(set.GetMultichannel().bytes, loaded.GetMultichannel().bytes, 192));
    EXPECT_EQ(0, log.Count('E'));
}

TEST(StreamSet, DamagedProjectRecordIsRefused)
{
    std::vector<std::vector<BYTE>> records;
    std::vector<BYTE> tooManyAudio(1, 0);
    std::vector<BYTE> block = MakeBlock(9, 0);
    tooManyAudio.insert(tooManyAudio.end(), block.begin(), block.end());
    records.push_back(tooManyAudio);

    std::vector<BYTE> menuSubpictures(1, 1);
    block = MakeBlock(1, 29);
    menuSubpictures.insert(menuSubpictures.end(), block.begin(), block.end());
    records.push_back(menuSubpictures);

    block = MakeBlock(1, 1);
    std::vector<BYTE> cut(1, 0);
    cut.insert(cut.end(), block.begin(), block.begin() + 500);
    records.push_back(cut);

    for (const std::vector<BYTE>& record : records)
    {
        kxtest::MemoryProjectReader reader(record);
        kxtest::RecordingLog log;
        CStreamSet set(nullptr, false);
        EXPECT_FALSE(set.Load(log, reader));
        EXPECT_TRUE(log.Has('E', "Unexpected archive content")) << log.Dump();
    }
}

TEST(StreamSet, VideoSizes)
{
    struct Case
    {
        BYTE b0, b1;
        int width, height;
    };
    const Case cases[] = {
        {0x40, 0x00, 720, 480}, {0x40, 0x04, 704, 480}, {0x40, 0x08, 352, 480}, {0x40, 0x0C, 352, 240},
        {0x50, 0x00, 720, 576}, {0x5C, 0x04, 704, 576}, {0x50, 0x08, 352, 576}, {0x50, 0x0C, 352, 288},
    };
    for (const Case& c : cases)
    {
        CVideoAttributes v = {{c.b0, c.b1}};
        EXPECT_EQ(c.width, v.GetWidth());
        EXPECT_EQ(c.height, v.GetHeight());
    }
}

TEST(StreamSet, StreamIdsAndTexts)
{
    struct Case
    {
        BYTE coding;
        BYTE stream;
        const char* name;
        BYTE id;
        BYTE sub;
        const char* formatted;
    };
    const Case cases[] = {
        {0, 2, "AC3", 0xBD, 0x82, "0xBD:0x82"}, {2, 1, "Mpeg-1", 0xC1, 0, "0xC1"},
        {3, 7, "Mpeg-2ext", 0xD7, 0, "0xD7"},   {4, 0, "LPCM", 0xBD, 0xA0, "0xBD:0xA0"},
        {6, 3, "DTS", 0xBD, 0x8B, "0xBD:0x8B"}, {7, 5, "SDDS", 0xBD, 0x95, "0xBD:0x95"},
        {1, 0, "", 0, 0, "0xBD:0x00"},          {5, 0, "", 0, 0, "0xBD:0x00"},
    };
    for (const Case& c : cases)
    {
        EXPECT_STREQ(c.name, GetAudioCodingName(c.coding));
        EXPECT_EQ(c.id, GetAudioStreamId(c.coding, c.stream));
        EXPECT_EQ(c.sub, GetAudioSubstreamId(c.coding, c.stream));
        EXPECT_STREQ(c.formatted, (const char*)FormatAudioStreamId(c.coding, c.stream));
    }
    EXPECT_STREQ("", GetAudioCodingName(9));
    EXPECT_EQ(0x3F, GetSubpictureSubstreamId(31));
    EXPECT_STREQ("0xBD:0x25", (const char*)FormatSubpictureStreamId(5));

    EXPECT_STREQ("for visually impaired", GetAudioCodeExtensionText(2));
    EXPECT_STREQ("alternate director comments", GetAudioCodeExtensionText(4));
    EXPECT_STREQ("", GetAudioCodeExtensionText(5));
    EXPECT_STREQ("childrens captions", GetSubpictureCodeExtensionText(7));
    EXPECT_STREQ("forced", GetSubpictureCodeExtensionText(9));
    EXPECT_STREQ("director comments for children", GetSubpictureCodeExtensionText(15));
    EXPECT_STREQ("", GetSubpictureCodeExtensionText(4));
    EXPECT_STREQ("", GetSubpictureCodeExtensionText(16));
}

// ---- The attribute blocks of the generated discs ---------------------------------

struct IfoDomain
{
    std::string file;
    std::string dom;
    int vts;
    size_t offset;
    bool menu;
};

std::vector<IfoDomain> DomainsOf(const std::string& fixture)
{
    std::vector<IfoDomain> domains = {{"VIDEO_TS.IFO", "vmgm", 0, 0x100, true}};
    for (int vts = 1; vts <= 99; vts++)
    {
        char name[16];
        snprintf(name, sizeof(name), "VTS_%02d_0.IFO", vts);
        if (!std::ifstream(kxtest::FixturePath(fixture, std::string("VIDEO_TS/") + name)))
            break;
        domains.push_back({name, "vtsm", vts, 0x100, true});
        domains.push_back({name, "vts", vts, 0x200, false});
    }
    return domains;
}

std::vector<BYTE> ReadHeaderSector(const std::string& path)
{
    std::vector<BYTE> bytes(2048, 0);
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), (std::streamsize)bytes.size());
    if (in.gcount() != (std::streamsize)bytes.size())
        bytes.clear();
    return bytes;
}

class FixtureStreamSets : public ::testing::TestWithParam<const char*>
{
};

TEST_P(FixtureStreamSets, IfoBlocksReadAndWriteBack)
{
    KX_REQUIRE_FIXTURE(dir, GetParam());
    for (const IfoDomain& d : DomainsOf(GetParam()))
    {
        SCOPED_TRACE(d.file + " " + d.dom);
        std::vector<BYTE> ifo = ReadHeaderSector(kxtest::FixturePath(GetParam(), "VIDEO_TS/" + d.file));
        ASSERT_FALSE(ifo.empty());
        const BYTE* block = ifo.data() + d.offset;
        CStreamSet set(nullptr, d.menu);
        ASSERT_TRUE(set.ReadIfo(block, d.menu));
        EXPECT_EQ(GetBE16(block + 2), set.GetAudioCount());
        EXPECT_EQ(GetBE16(block + 84), set.GetSubpictureCount());

        // Clear every byte the set writes, then write: the header comes back.
        std::vector<BYTE> cleared = ifo;
        BYTE* p = cleared.data() + d.offset;
        memset(p, 0, 4);
        for (int i = 0; i < set.GetAudioCount(); i++)
            memset(p + 4 + 8 * i, 0, 7);
        memset(p + 84, 0, 2 + 6 * (size_t)set.GetSubpictureCount());
        if (!d.menu)
            memset(p + 280, 0, 192);
        set.WriteIfo(p);
        EXPECT_EQ(0, memcmp(ifo.data(), cleared.data(), ifo.size()));

        // The project record carries the same block.
        kxtest::MemoryProjectWriter writer;
        ASSERT_TRUE(set.Store(writer));
        kxtest::MemoryProjectReader reader(writer.bytes);
        kxtest::RecordingLog log;
        CStreamSet loaded(nullptr, !d.menu);
        ASSERT_TRUE(loaded.Load(log, reader));
        EXPECT_EQ(d.menu, loaded.IsMenu());
        EXPECT_TRUE(loaded.Equals(set));
    }
}

TEST_P(FixtureStreamSets, AttributesMatchLibdvdread)
{
    KX_REQUIRE_FIXTURE(dir, GetParam());
    KX_REQUIRE_IFODUMP();
    std::vector<kxtest::IfoRecord> records = kxtest::IfoDump(dir);
    int domains = 0;
    for (const IfoDomain& d : DomainsOf(GetParam()))
    {
        SCOPED_TRACE(d.file + " " + d.dom);
        std::vector<BYTE> ifo = ReadHeaderSector(kxtest::FixturePath(GetParam(), "VIDEO_TS/" + d.file));
        ASSERT_FALSE(ifo.empty());
        CStreamSet set(nullptr, d.menu);
        ASSERT_TRUE(set.ReadIfo(ifo.data() + d.offset, d.menu));
        const std::vector<std::pair<std::string, std::string>> where = {{"dom", d.dom}, {"vts", std::to_string(d.vts)}};
        std::vector<kxtest::IfoRecord> streams = kxtest::Select(records, "streams", where);
        ASSERT_EQ(1u, streams.size());
        EXPECT_EQ(streams[0].Num("audio"), set.GetAudioCount());
        EXPECT_EQ(streams[0].Num("subp"), set.GetSubpictureCount());
        for (const kxtest::IfoRecord& a : kxtest::Select(records, "attr", where))
        {
            std::string raw = a.Get("raw");
            int i = (int)a.Num("index");
            char hex[3];
            std::string mine;
            if (a.Get("kind") == "video")
                for (BYTE b : set.GetVideo().bytes)
                    mine += (snprintf(hex, sizeof(hex), "%02x", b), hex);
            else if (a.Get("kind") == "audio" && i < set.GetAudioCount())
            {
                raw = raw.substr(0, 14);
                for (BYTE b : set.GetAudio(i)->bytes)
                    mine += (snprintf(hex, sizeof(hex), "%02x", b), hex);
            }
            else if (a.Get("kind") == "subp" && i < set.GetSubpictureCount())
                for (BYTE b : set.GetSubpicture(i)->bytes)
                    mine += (snprintf(hex, sizeof(hex), "%02x", b), hex);
            else if (a.Get("kind") == "mcext")
            {
                for (int k = 0; k < 24; k++)
                    mine += (snprintf(hex, sizeof(hex), "%02x", set.GetMultichannel().bytes[24 * i + k]), hex);
            }
            else
                continue;
            EXPECT_EQ(raw, mine) << a.Get("kind") << " " << i;
        }
        domains++;
    }
    EXPECT_GE(domains, 3);
}

INSTANTIATE_TEST_SUITE_P(Discs, FixtureStreamSets, ::testing::Values("pal1", "ntscmenu", "twovts", "cmdtable"));

} // namespace
