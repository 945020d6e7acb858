#include "VDS/source/PsDemuxer.h"
#include "tests/support/ByteStreams.h"
#include "tests/support/ProgramStreamWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using kxtest::MemoryByteStream;
using kxtest::PesPacket;
using kxtest::ProgramStreamWriter;

constexpr DWORD kMux = 25200; // 10.08 Mbit/s, the DVD rate

std::vector<BYTE> Bytes(std::initializer_list<int> values)
{
    return std::vector<BYTE>(values.begin(), values.end());
}

struct Read
{
    DWORD stream, sub;
    uint64_t clock, pts;
    std::vector<BYTE> payload;
};

// Every packet of a stream as ReadPacket (or ReadTimedPacket) hands it out.
std::vector<Read> ReadAll(CPsDemuxer& d, bool timed)
{
    std::vector<Read> out;
    const BYTE* payload;
    CPsPacketInfo info;
    while (timed ? d.ReadTimedPacket(&payload, &info) : d.ReadPacket(&payload, &info))
        out.push_back({info.streamId, info.subStreamId, info.clockReference, info.presentationTime,
                       std::vector<BYTE>(payload, payload + info.payloadLength)});
    return out;
}

TEST(PsDemuxer, PacketFieldsAndSubStreams)
{
    ProgramStreamWriter w;
    w.Pack(300 * 9000 + 17, kMux);
    w.Packet({0xE0, -1, 12345, Bytes({1, 2, 3, 4, 5})});
    w.Packet({0xBD, 0x21, 0, Bytes({6, 7})});
    w.Packet({0xBD, 0x80, 90000, Bytes({8, 9, 10})});
    w.Packet({0xC0, -1, 0, Bytes({11})});
    w.PadSector();
    MemoryByteStream stream(w.Bytes());
    CPsDemuxer d;
    ASSERT_TRUE(d.Attach(&stream));

    const BYTE* payload = nullptr;
    CPsPacketInfo info;
    ASSERT_TRUE(d.ReadPacket(&payload, &info));
    EXPECT_EQ(1, info.packSeen);
    EXPECT_EQ(0xE0u, info.streamId);
    EXPECT_EQ(0u, info.subStreamId);
    EXPECT_EQ(300u * 9000 + 17, info.clockReference);
    EXPECT_EQ(kMux, info.muxRate);
    EXPECT_EQ(12345u * 300, info.presentationTime);
    ASSERT_EQ(5u, info.payloadLength);
    EXPECT_EQ(Bytes({1, 2, 3, 4, 5}), std::vector<BYTE>(payload, payload + 5));
    // 14 header bytes counted as 5, then the 19-byte packet.
    EXPECT_EQ(5u + 19, info.bytesSincePack);
    EXPECT_TRUE(d.IsMpeg2());

    std::vector<Read> rest = ReadAll(d, false);
    ASSERT_EQ(3u, rest.size());
    EXPECT_EQ(0xBDu, rest[0].stream);
    EXPECT_EQ(0x21u, rest[0].sub);
    EXPECT_EQ(0u, rest[0].pts);
    EXPECT_EQ(Bytes({6, 7}), rest[0].payload); // right after the sub-stream byte
    EXPECT_EQ(0x80u, rest[1].sub);
    EXPECT_EQ(90000u * 300, rest[1].pts);
    EXPECT_EQ(Bytes({8, 9, 10}), rest[1].payload); // four bytes later
    EXPECT_EQ(0xC0u, rest[2].stream);
    EXPECT_EQ(Bytes({11}), rest[2].payload);
}

TEST(PsDemuxer, NavigationAndPaddingNeverReachTheCaller)
{
    ProgramStreamWriter w;
    w.Pack(0, kMux);
    w.OtherPacket(0xBB, 12); // system header
    w.OtherPacket(0xBF, 980);
    w.OtherPacket(0xBF, 1018);
    w.PadSector();
    w.Sector(3000, kMux, {0xE0, -1, 0, Bytes({42})});
    w.Pack(6000, kMux);
    w.OtherPacket(0xBE, 100);
    w.PadSector();
    MemoryByteStream stream(w.Bytes());
    CPsDemuxer d;
    d.Attach(&stream);
    std::vector<Read> all = ReadAll(d, false);
    ASSERT_EQ(1u, all.size());
    EXPECT_EQ(0xE0u, all[0].stream);
    EXPECT_EQ(Bytes({42}), all[0].payload);
}

TEST(PsDemuxer, JunkBeforeTheFirstPack)
{
    for (size_t junk : {size_t(3), size_t(700), size_t(2048), size_t(5000)})
    {
        ProgramStreamWriter w;
        for (size_t i = 0; i < junk; ++i)
            w.Put(BYTE(0x47 + i));
        while (w.Position() % 2048)
            w.Put(0x47);
        w.Sector(0, kMux, {0xE0, -1, 0, Bytes({1})});
        MemoryByteStream stream(w.Bytes());
        CPsDemuxer d;
        d.Attach(&stream);
        std::vector<Read> all = ReadAll(d, false);
        ASSERT_EQ(1u, all.size()) << junk;
        EXPECT_EQ(Bytes({1}), all[0].payload) << junk;
    }
}

TEST(PsDemuxer, EndOfDataAndMissingSource)
{
    CPsDemuxer d;
    const BYTE* payload;
    CPsPacketInfo info;
    EXPECT_FALSE(d.Attach(nullptr));
    EXPECT_FALSE(d.ReadPacket(&payload, &info));
    EXPECT_EQ(0u, d.GetPosition());

    // A packet cut short by the end of the data.
    ProgramStreamWriter w;
    w.Pack(0, kMux);
    w.Packet({0xE0, -1, 0, std::vector<BYTE>(100, 7)});
    std::vector<BYTE> cut(w.Bytes().begin(), w.Bytes().end() - 10);
    MemoryByteStream stream(cut);
    d.Attach(&stream);
    EXPECT_FALSE(d.ReadPacket(&payload, &info));
    EXPECT_EQ(255u, info.payloadLength);
}

// Damaged packets are skipped up to the next pack; what follows reads on.
TEST(PsDemuxer, DamagedPacketsResumeAtTheNextPack)
{
    struct Case
    {
        const char* name;
        PesPacket bad;
    };
    const Case cases[] = {
        {"PTS announced, header length 2", {0xE0, -1, 9000, std::vector<BYTE>(50, 1), 0, 2}},
        {"packet length below the header", {0xE0, -1, 9000, std::vector<BYTE>(50, 1), -52, -1}},
        {"header length beyond the packet", {0xE0, -1, 0, std::vector<BYTE>(20, 1), 0, 200}},
        {"private stream 1 without its sub-stream byte", {0xBD, -1, 0, {}, 0, -1}},
        {"audio sub-stream without its frame header", {0xBD, 0x80, 0, {}, -3, -1}},
        {"packet length past the sector", {0xE0, -1, 0, std::vector<BYTE>(20, 1), 3000, -1}},
    };
    for (const Case& c : cases)
    {
        ProgramStreamWriter w;
        w.Sector(0, kMux, {0xE0, -1, 0, Bytes({1})});
        w.Pack(3000, kMux);
        w.Packet(c.bad);
        w.PadSector();
        w.Sector(6000, kMux, {0xE0, -1, 0, Bytes({3})});
        MemoryByteStream stream(w.Bytes());
        CPsDemuxer d;
        d.Attach(&stream);
        std::vector<Read> all = ReadAll(d, false);
        // "past the sector" swallows the next pack as its payload; the reader
        // then goes on after it.
        bool swallowed = c.bad.lengthDelta == 3000;
        ASSERT_EQ(2u, all.size()) << c.name;
        EXPECT_EQ(Bytes({1}), all[0].payload) << c.name;
        if (!swallowed)
        {
            EXPECT_EQ(Bytes({3}), all[1].payload) << c.name;
        }
    }
}

TEST(PsDemuxer, Mpeg1PackClearsTheMpeg2Form)
{
    ProgramStreamWriter w;
    w.Mpeg1Pack(90000, 3000);
    w.Packet({0xE0, -1, 0, Bytes({5})});
    w.PadSector();
    MemoryByteStream stream(w.Bytes());
    CPsDemuxer d;
    d.Attach(&stream);
    const BYTE* payload;
    CPsPacketInfo info;
    ASSERT_TRUE(d.ReadPacket(&payload, &info));
    EXPECT_FALSE(d.IsMpeg2());
    EXPECT_EQ(3000u, info.muxRate);
    EXPECT_EQ(0u, info.clockReference); // only MPEG-2 clocks are reported
    EXPECT_EQ(3u + 10, info.bytesSincePack);
}

// Two cells whose clocks restart: the second continues where the first's
// last pack ended.
TEST(PsDemuxer, RestartingClockReadsAsOneTimeLine)
{
    const uint64_t start1 = 300 * 50000, start2 = 300 * 4000;
    ProgramStreamWriter w;
    for (int i = 0; i < 3; ++i)
        w.Sector(start1 + 300 * 1000 * i, kMux, {0xE0, -1, uint64_t(50000 + 9000 + 1000 * i), Bytes({1})});
    for (int i = 0; i < 2; ++i)
        w.Sector(start2 + 300 * 1000 * i, kMux, {0xE0, -1, uint64_t(4000 + 9000 + 1000 * i), Bytes({2})});
    MemoryByteStream stream(w.Bytes());
    CPsDemuxer raw;
    raw.Attach(&stream);
    std::vector<Read> plain = ReadAll(raw, false);
    MemoryByteStream stream2(w.Bytes());
    CPsDemuxer d;
    d.Attach(&stream2);
    std::vector<Read> timed = ReadAll(d, true);
    ASSERT_EQ(5u, timed.size());
    EXPECT_EQ(0u, timed[0].clock);
    EXPECT_EQ(300u * 2000, timed[2].clock);
    EXPECT_EQ(300u * 9000, timed[0].pts);

    // The last pack of the first cell lasts (bytes since pack + 1) / rate.
    const BYTE* payload;
    CPsPacketInfo info;
    raw.Attach(&stream);
    for (int i = 0; i < 3; ++i)
        raw.ReadPacket(&payload, &info);
    uint64_t duration = (uint64_t(info.bytesSincePack) + 1) * 27000000 / (kMux * 50);
    EXPECT_EQ(timed[2].clock + duration, timed[3].clock);
    EXPECT_EQ(timed[3].clock + 300 * 1000, timed[4].clock);
    // Time stamps move with the clock.
    EXPECT_EQ(timed[3].clock + (plain[3].pts - plain[3].clock), timed[3].pts);

    // Reset starts a new time line at the next packet.
    d.Seek(2048 * 3);
    d.Reset();
    std::vector<Read> again = ReadAll(d, true);
    ASSERT_EQ(2u, again.size());
    EXPECT_EQ(0u, again[0].clock);
}

TEST(PsDemuxer, StandingClockAndMuxRateZero)
{
    ProgramStreamWriter w;
    w.Sector(300 * 1000, 0, {0xE0, -1, 0, Bytes({1})});
    w.Sector(300 * 1000, 0, {0xE0, -1, 0, Bytes({2})}); // stands still, no rate
    w.Sector(300 * 1000, kMux, {0xE0, -1, 0, Bytes({3})});
    w.Sector(300 * 1000, kMux, {0xE0, -1, 0, Bytes({4})});
    MemoryByteStream stream(w.Bytes());
    CPsDemuxer d;
    d.Attach(&stream);
    std::vector<Read> timed = ReadAll(d, true);
    ASSERT_EQ(4u, timed.size());
    EXPECT_EQ(0u, timed[0].clock);
    EXPECT_EQ(0u, timed[1].clock); // no duration to add without a rate
    EXPECT_EQ(0u, timed[2].clock);
    // After a pack with a rate the standing clock moves on by its duration.
    EXPECT_EQ((5u + 10 + 1) * 27000000 / (kMux * 50), timed[3].clock);
}

TEST(PsDemuxer, SeekToPack)
{
    ProgramStreamWriter w;
    for (int i = 0; i < 4; ++i)
        w.Sector(300 * 1000 * i, kMux, {0xE0, -1, 0, std::vector<BYTE>(100, BYTE(i))});
    MemoryByteStream stream(w.Bytes());
    CPsDemuxer d;
    d.Attach(&stream);
    d.Seek(777);
    struct Case
    {
        uint64_t position, expected;
    };
    const Case cases[] = {
        {4096, 4096},                  // at a pack
        {4097, 2048},                  // one byte after it: the search starts a sector lower
        {6000, 2048}, {5, 0},          // inside the first sector: never below byte 0
        {0, 0},       {1 << 20, 8192}, // beyond the end: from the end
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, d.SeekToPack(c.position)) << c.position;
    EXPECT_EQ(777u, d.GetPosition());

    // No pack at all before the position: the search stops at byte 0.
    ProgramStreamWriter junk;
    junk.Put(std::vector<BYTE>(4096, 0x47));
    junk.Sector(0, kMux, {0xE0, -1, 0, Bytes({1})});
    MemoryByteStream junkStream(junk.Bytes());
    d.Attach(&junkStream);
    EXPECT_EQ(0u, d.SeekToPack(3000));
    EXPECT_EQ(4096u, d.SeekToPack(4096));

    // A start code whose SCR markers do not hold is passed over.
    ProgramStreamWriter fake;
    fake.Sector(0, kMux, {0xE0, -1, 0, Bytes({1})});
    fake.Put({0, 0, 1, 0xBA, 0, 0, 0, 0, 0, 0});
    fake.Put(std::vector<BYTE>(2038, 0xFF));
    fake.Sector(0, kMux, {0xE0, -1, 0, Bytes({2})});
    fake.Sector(0, kMux, {0xE0, -1, 0, Bytes({3})});
    MemoryByteStream fakeStream(fake.Bytes());
    d.Attach(&fakeStream);
    EXPECT_EQ(4096u, d.SeekToPack(4096));
    EXPECT_EQ(0u, d.SeekToPack(2048)); // the false pack sends the search two sectors lower
}

TEST(PsDemuxer, SeekToPreviousPacketWalksBackOverEveryVideoPacket)
{
    ProgramStreamWriter w;
    std::vector<uint64_t> video;
    for (int i = 0; i < 6; ++i)
    {
        w.Pack(300 * 1000 * i, kMux);
        if (i % 2 == 0)
        {
            video.push_back(w.Position());
            w.Packet({0xE0, -1, 0, std::vector<BYTE>(300, BYTE(i))});
        }
        else
        {
            // An audio packet whose payload holds a video start code that is
            // no packet.
            w.Packet({0xC0, -1, 0, Bytes({0, 0, 1, 0xE0, 0x00, 0x10, 9, 9, 9})});
        }
        w.PadSector();
    }
    MemoryByteStream stream(w.Bytes());
    CPsDemuxer d;
    d.Attach(&stream);
    d.Seek(stream.GetSize());
    for (size_t i = video.size(); i-- > 0;)
    {
        ASSERT_TRUE(d.SeekToPreviousPacket(0xE0)) << i;
        EXPECT_EQ(video[i], d.GetPosition()) << i;
    }
    EXPECT_FALSE(d.SeekToPreviousPacket(0xE0));

    // From a packet's start the next read hands out that packet.
    d.Seek(stream.GetSize());
    ASSERT_TRUE(d.SeekToPreviousPacket(0xE0));
    const BYTE* payload;
    CPsPacketInfo info;
    ASSERT_TRUE(d.ReadPacket(&payload, &info));
    EXPECT_EQ(300u, info.payloadLength);
    EXPECT_EQ(4, payload[0]);
}

} // namespace
