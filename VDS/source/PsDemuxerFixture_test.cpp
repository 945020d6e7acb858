// The demultiplexer against the packet lists that ffprobe wrote for each
// fixture disc (tests/fixtures/make_fixtures.sh).
#include "VDS/source/PsDemuxer.h"
#include "tests/support/ByteStreams.h"
#include "tests/support/FixtureCells.h"
#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

struct RefPacket
{
    DWORD stream;
    DWORD sub;
    long long pts; // 90 kHz, -1 for none
    DWORD size;
    uint64_t pos; // of the start code
};

std::vector<RefPacket> LoadList(const std::string& path, uint64_t offset = 0)
{
    std::vector<RefPacket> list;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
    {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string stream, sub;
        RefPacket p;
        words >> stream >> sub >> p.pts >> p.size >> p.pos;
        p.stream = DWORD(std::stoul(stream, nullptr, 16));
        p.sub = DWORD(std::stoul(sub, nullptr, 16));
        p.pos += offset;
        list.push_back(p);
    }
    return list;
}

// The packets the caller should see: no navigation or padding packets.
std::vector<RefPacket> Kept(const std::vector<RefPacket>& list)
{
    std::vector<RefPacket> kept;
    for (const RefPacket& p : list)
        if (p.stream == kPsPrivateStream1 || (p.stream >= 0xC0 && p.stream <= 0xEF))
            kept.push_back(p);
    return kept;
}

// PES_packet_length of the packet whose start code is at pos.
DWORD PacketLengthAt(CByteStream& stream, uint64_t pos)
{
    BYTE head[6] = {};
    uint64_t kept = stream.GetPosition();
    stream.Seek(pos);
    stream.Read(head, 6);
    stream.Seek(kept);
    return DWORD(head[4]) << 8 | head[5];
}

void ExpectMatchesList(CByteStream& stream, const std::vector<RefPacket>& reference, const std::string& what)
{
    std::vector<RefPacket> expected = Kept(reference);
    ASSERT_FALSE(expected.empty()) << what;
    CPsDemuxer d;
    d.Attach(&stream);
    const BYTE* payload;
    CPsPacketInfo info;
    size_t n = 0;
    while (d.ReadPacket(&payload, &info))
    {
        ASSERT_LT(n, expected.size()) << what << ": more packets than ffprobe lists";
        const RefPacket& e = expected[n];
        ASSERT_EQ(e.stream, info.streamId) << what << " packet " << n;
        ASSERT_EQ(e.sub, info.subStreamId) << what << " packet " << n;
        ASSERT_EQ(e.pts < 0 ? 0 : uint64_t(e.pts) * 300, info.presentationTime) << what << " packet " << n;
        bool lpcm = e.stream == kPsPrivateStream1 && e.sub >= 0xA0 && e.sub <= 0xAF;
        if (!lpcm)
        {
            ASSERT_EQ(e.size, info.payloadLength) << what << " packet " << n;
        }
        // The packet read ends where the listed packet does.
        ASSERT_EQ(e.pos + 6 + PacketLengthAt(stream, e.pos), d.GetPosition()) << what << " packet " << n;
        ++n;
    }
    EXPECT_EQ(expected.size(), n) << what;
}

std::vector<std::string> VobFiles(const std::string& fixture)
{
    const char* candidates[] = {"VIDEO_TS.VOB", "VTS_01_0.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_3.VOB",
                                "VTS_02_0.VOB", "VTS_02_1.VOB", "VTS_03_0.VOB", "VTS_03_1.VOB"};
    std::vector<std::string> names;
    for (const char* name : candidates)
    {
        std::ifstream list(kxtest::FixturePath(fixture, std::string("packets/") + name + ".txt"));
        if (list)
            names.push_back(name);
    }
    return names;
}

TEST(PsDemuxerFixture, EveryVobFileMatchesItsPacketList)
{
    for (const char* fixture : {"pal1", "twovts", "ntscmenu", "pal1split", "cmdtable"})
    {
        std::string dir = kxtest::FixtureDir(fixture);
        if (dir.empty())
            GTEST_SKIP() << kxtest::MissingFixtureMessage(fixture);
        std::vector<std::string> vobs = VobFiles(fixture);
        ASSERT_FALSE(vobs.empty()) << fixture;
        for (const std::string& vob : vobs)
        {
            kxtest::SectorExtentStream stream(kxtest::FixturePath(fixture, "VIDEO_TS/" + vob));
            ExpectMatchesList(stream, LoadList(kxtest::FixturePath(fixture, "packets/" + vob + ".txt")),
                              std::string(fixture) + "/" + vob);
        }
    }
}

TEST(PsDemuxerFixture, VobSetOverSeveralFilesReadsAsOne)
{
    KX_REQUIRE_FIXTURE(dir, "pal1split");
    std::vector<kxtest::SectorExtent> extents;
    std::vector<RefPacket> reference;
    uint64_t offset = 0;
    for (const char* vob : {"VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_3.VOB"})
    {
        std::string path = kxtest::FixturePath("pal1split", std::string("VIDEO_TS/") + vob);
        extents.push_back({path, 0, -1});
        std::vector<RefPacket> part =
            LoadList(kxtest::FixturePath("pal1split", std::string("packets/") + vob + ".txt"), offset);
        reference.insert(reference.end(), part.begin(), part.end());
        kxtest::SectorExtentStream file(path);
        offset += file.GetSize();
    }
    kxtest::SectorExtentStream set(extents);
    ExpectMatchesList(set, reference, "pal1split as one set");
}

// Two title VOBs of different origin back to back, as a cell stream of two
// extents: their clocks both start near 0, and the time line runs on.
TEST(PsDemuxerFixture, TwoCellsWithRestartingClockGiveOneTimeLine)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    std::string first = kxtest::FixturePath("twovts", "VIDEO_TS/VTS_01_1.VOB");
    std::string second = kxtest::FixturePath("twovts", "VIDEO_TS/VTS_02_1.VOB");
    // The first 40 sectors of the first cell, then the whole second one.
    kxtest::SectorExtentStream cells({{first, 0, 40}, {second, 0, -1}});

    CPsDemuxer raw, timed;
    kxtest::SectorExtentStream rawStream({{first, 0, 40}, {second, 0, -1}});
    raw.Attach(&rawStream);
    timed.Attach(&cells);
    const BYTE* payload;
    CPsPacketInfo r, t, lastRaw = {}, lastTimed = {};
    bool crossed = false;
    uint64_t previousClock = 0;
    while (raw.ReadPacket(&payload, &r))
    {
        ASSERT_TRUE(timed.ReadTimedPacket(&payload, &t));
        ASSERT_GE(t.clockReference, previousClock);
        previousClock = t.clockReference;
        if (!crossed && rawStream.GetPosition() > 40 * 2048)
        {
            crossed = true;
            ASSERT_LE(r.clockReference, lastRaw.clockReference) << "the fixture's second clock should restart";
            uint64_t duration = (uint64_t(lastRaw.bytesSincePack) + 1) * 27000000 / (uint64_t(lastRaw.muxRate) * 50);
            EXPECT_EQ(lastTimed.clockReference + duration, t.clockReference);
        }
        lastRaw = r;
        lastTimed = t;
    }
    EXPECT_TRUE(crossed);
}

TEST(PsDemuxerFixture, SeekToPreviousPacketFindsEveryVideoPacketFromTheEnd)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    std::string vob = kxtest::FixturePath("pal1", "VIDEO_TS/VTS_01_1.VOB");
    std::vector<uint64_t> video;
    for (const RefPacket& p : LoadList(kxtest::FixturePath("pal1", "packets/VTS_01_1.VOB.txt")))
        if (p.stream == 0xE0)
            video.push_back(p.pos);
    ASSERT_GT(video.size(), 100u);
    kxtest::SectorExtentStream stream(vob);
    CPsDemuxer d;
    d.Attach(&stream);
    d.Seek(stream.GetSize());
    for (size_t i = video.size(); i-- > 0;)
    {
        ASSERT_TRUE(d.SeekToPreviousPacket(0xE0)) << i;
        ASSERT_EQ(video[i], d.GetPosition()) << i;
    }
    EXPECT_FALSE(d.SeekToPreviousPacket(0xE0));

    // Each of those packets is the start of a pack's content: the pack is
    // the one at or before it.
    for (size_t i = 0; i < video.size(); i += 37)
    {
        uint64_t pack = video[i] - video[i] % 2048;
        EXPECT_EQ(pack, d.SeekToPack(pack)) << i;
    }
}

struct Seen
{
    DWORD stream, sub, size;
    uint64_t pts;
    bool operator==(const Seen& o) const
    {
        return stream == o.stream && sub == o.sub && size == o.size && pts == o.pts;
    }
};

std::vector<Seen> ReadCell(const std::string& fixture, int cellId, size_t* extentCount)
{
    std::vector<kxtest::SectorExtent> extents = kxtest::FixtureCellExtents(fixture, 1, false, 1, cellId);
    *extentCount = extents.size();
    std::vector<Seen> seen;
    if (extents.empty())
        return seen;
    kxtest::SectorExtentStream cell(extents);
    CPsDemuxer d;
    d.Attach(&cell);
    const BYTE* payload;
    CPsPacketInfo info;
    while (d.ReadPacket(&payload, &info))
        seen.push_back({info.streamId, info.subStreamId, info.payloadLength, info.presentationTime});
    return seen;
}

// The cells of a title read one by one as cell streams give the packets of
// the whole VOB file; a cell whose sectors cross from one VOB file into the
// next reads the same.
TEST(PsDemuxerFixture, CellStreamsOfATitle)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    KX_REQUIRE_FIXTURE(split, "pal1split");
    std::vector<Seen> all;
    for (const RefPacket& p : Kept(LoadList(kxtest::FixturePath("pal1", "packets/VTS_01_1.VOB.txt"))))
        all.push_back({p.stream, p.sub, p.size, p.pts < 0 ? 0 : uint64_t(p.pts) * 300});
    std::vector<Seen> cells;
    bool crossing = false;
    int cellId = 1;
    for (;; ++cellId)
    {
        size_t extents = 0, splitExtents = 0;
        std::vector<Seen> cell = ReadCell("pal1", cellId, &extents);
        if (extents == 0)
            break;
        EXPECT_EQ(1u, extents);
        EXPECT_FALSE(cell.empty()) << "cell " << cellId;
        EXPECT_TRUE(cell == ReadCell("pal1split", cellId, &splitExtents)) << "cell " << cellId;
        crossing |= splitExtents > 1;
        cells.insert(cells.end(), cell.begin(), cell.end());
    }
    EXPECT_GT(cellId, 2) << "pal1 has several cells";
    EXPECT_TRUE(crossing) << "a cell of pal1split should cross a file boundary";
    EXPECT_TRUE(all == cells);
}

} // namespace
