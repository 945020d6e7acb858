#include "DVD/source/DvdTime.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

CDvdTime Time(BYTE h, BYTE m, BYTE s, BYTE f)
{
    const BYTE bytes[4] = {h, m, s, f};
    return CDvdTime::FromBytes(bytes);
}

TEST(RoundToInt, RoundsHalvesUp)
{
    EXPECT_EQ(3, RoundToInt(2.5));
    EXPECT_EQ(2, RoundToInt(2.4));
    EXPECT_EQ(3, RoundToInt(2.9999));
    EXPECT_EQ(0, RoundToInt(0.0));
}

struct MakeCase
{
    int32_t ticks;
    int rate;
    CDvdTime expected;
};

TEST(DvdTime, MakeFromTicks)
{
    const MakeCase cases[] = {
        {-1, 25, Time(0x99, 0x59, 0x59, 0x40)},
        {-1, 30, Time(0x99, 0x59, 0x59, 0xC0)},
        {90000, 25, Time(0, 0, 1, 0x40)},
        {90000, 30, Time(0, 0, 1, 0xC0)}, // 29.97 frames round to 30
        {1000, 25, Time(0, 0, 0, 0x40)},  // 0.28 frames
        {2000, 25, Time(0, 0, 0, 0x41)},  // 0.56 frames
        {3003 * 29, 30, Time(0, 0, 0, 0xC0 | 0x29)},
        {90000 * 3661 + 3600 * 12, 25, Time(0x01, 0x01, 0x01, 0x52)},
        {-5, 25, Time(0, 0, 0, 0x40)},
    };
    for (const MakeCase& c : cases)
        EXPECT_EQ(c.expected, MakeDvdTime(c.ticks, c.rate)) << c.ticks << " at " << c.rate;
}

struct FrameCase
{
    CDvdTime time;
    DWORD frames;
    int64_t pts;
    double rate;
};

TEST(DvdTime, FramesAndTicks)
{
    const FrameCase cases[] = {
        {Time(0, 0, 1, 0x40), 25, 90000, 25.0},
        {Time(0, 0, 1, 0xC0), 30, 90090, DVDTIME_NTSC_RATE},
        {Time(0x01, 0x02, 0x03, 0x64), 3723 * 25 + 24, RoundToInt((3723 * 25 + 24) * 3600.0), 25.0},
        {Time(0x10, 0x59, 0x59, 0xE9), (10 * 3600 + 59 * 60 + 59) * 30 + 29,
         RoundToInt(((10 * 3600 + 59 * 60 + 59) * 30 + 29) * 90000.0 / DVDTIME_NTSC_RATE), DVDTIME_NTSC_RATE},
        // Rate codes 00 and 10 play as 29.97.
        {Time(0, 0, 2, 0x05), 65, RoundToInt(65 * 3003.0), DVDTIME_NTSC_RATE},
        {Time(0, 0, 2, 0x85), 65, RoundToInt(65 * 3003.0), DVDTIME_NTSC_RATE},
        {Time(0x99, 0x59, 0x59, 0x40), 359999 * 25, -1, 25.0},
    };
    for (const FrameCase& c : cases)
    {
        EXPECT_EQ(c.frames, c.time.GetFrames());
        EXPECT_EQ(c.pts, c.time.DvdTimeToPts());
        EXPECT_EQ(c.rate, c.time.GetDvdTimeFrameRate());
    }
}

struct SetCase
{
    BYTE rateBits;
    DWORD frames;
    CDvdTime expected;
};

TEST(DvdTime, SetFromFrames)
{
    const SetCase cases[] = {
        {0xC0, 30 * 16000, Time(0x04, 0x26, 0x40, 0xC0)},
        {0x40, 25 * 3600 * 2 + 25 * 61 + 13, Time(0x02, 0x01, 0x01, 0x53)},
        {0x40, 0, Time(0, 0, 0, 0x40)},
        {0xC0, 29, Time(0, 0, 0, 0xE9)},
        // Rate codes 00 and 10 are written back as 0xC0.
        {0x00, 31, Time(0, 0, 1, 0xC1)},
        {0x80, 31, Time(0, 0, 1, 0xC1)},
    };
    for (const SetCase& c : cases)
    {
        CDvdTime t = Time(0x12, 0x34, 0x56, c.rateBits | 0x17);
        t.SetFromFrames(c.frames);
        EXPECT_EQ(c.expected, t) << c.frames;
    }
}

TEST(DvdTime, AddAndSubtractCountEachSideAtItsOwnRate)
{
    CDvdTime t = Time(0, 0x59, 0x59, 0x64); // 25 fps, 24 frames
    t.AddDvdTime(Time(0, 0, 0, 0x41));
    EXPECT_EQ(Time(0x01, 0, 0, 0x40), t);

    // One 30 fps second is 30 frames, added as 30 frames to a 25 fps time.
    t.AddDvdTime(Time(0, 0, 1, 0xC0));
    EXPECT_EQ(Time(0x01, 0, 0x01, 0x45), t);

    t.SubtractDvdTime(Time(0, 0, 0, 0x46));
    EXPECT_EQ(Time(0x01, 0, 0, 0x64), t);

    CDvdTime ntsc = Time(0, 0x01, 0, 0xC0);
    ntsc.SubtractDvdTime(Time(0, 0, 0x01, 0xC1));
    EXPECT_EQ(Time(0, 0, 0x58, 0xE9), ntsc);
}

TEST(DvdTime, SubtractingALongerTimeStopsAtZero)
{
    CDvdTime t = Time(0, 0, 0x02, 0x40);
    t.SubtractDvdTime(Time(0, 0, 0x03, 0x40));
    EXPECT_EQ(Time(0, 0, 0, 0x40), t);
}

TEST(DvdTime, BytesRoundTrip)
{
    const BYTE in[4] = {0x01, 0x23, 0x45, 0xD9};
    BYTE out[4] = {};
    CDvdTime::FromBytes(in).ToBytes(out);
    EXPECT_EQ(0, memcmp(in, out, 4));
}

TEST(Scr, EncodeZero)
{
    BYTE scr[6] = {};
    EncodeScr(0, scr);
    const BYTE expected[6] = {0x44, 0x00, 0x04, 0x00, 0x04, 0x01};
    EXPECT_EQ(0, memcmp(expected, scr, 6));
    EXPECT_EQ(0u, DecodeScr(scr));
    EXPECT_EQ(0u, DecodeScrExtension(scr));
}

TEST(Scr, EncodeWithoutBytesIsHarmless)
{
    EncodeScr(12345, nullptr);
}

TEST(Scr, RoundTripKeepsBaseAndExtension)
{
    const uint64_t maxBase = (1ull << 33) - 1;
    const uint64_t values[] = {
        1,
        299,
        300,
        301,
        27000000,
        43886ull * 1000 + 17,
        maxBase * 300 + 299, // every bit of base and extension set
        0x155555555ull * 300 + 41,
        0x0AAAAAAAAull * 300 + 170,
    };
    for (uint64_t v : values)
    {
        BYTE scr[6] = {};
        EncodeScr(v, scr);
        EXPECT_EQ(v / 300, DecodeScr(scr)) << v;
        EXPECT_EQ(v % 300, DecodeScrExtension(scr)) << v;
        // Marker bits and the '01' prefix.
        EXPECT_EQ(0x44, scr[0] & 0xC4);
        EXPECT_EQ(0x04, scr[2] & 0x04);
        EXPECT_EQ(0x04, scr[4] & 0x04);
        EXPECT_EQ(0x01, scr[5] & 0x01);
    }
}

TEST(Scr, KnownPackHeaderBytes)
{
    // Base 0x1_2345_6789 and extension 0x123, laid out as the MPEG-2 pack
    // header bit string '01' base[32..30] 1 base[29..15] 1 base[14..0] 1 ext 1.
    BYTE scr[6] = {};
    EncodeScr(0x123456789ull * 300 + 0x123, scr);
    const BYTE expected[6] = {0x66, 0x34, 0x57, 0x3C, 0x4E, 0x47};
    EXPECT_EQ(0, memcmp(expected, scr, 6));
}

TEST(Scr, AdvanceByPacks)
{
    uint64_t clock = 1000;
    AdvanceScr(clock, 3);
    EXPECT_EQ(1000u + 131658u, clock);
    AdvanceScr(clock, 0);
    EXPECT_EQ(1000u + 131658u, clock);
}

} // namespace
