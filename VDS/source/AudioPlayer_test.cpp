#include "VDS/source/AudioPlayer.h"

#include "tests/support/AudioClips.h"
#include "tests/support/ByteStreams.h"
#include "tests/support/ProgramStreamWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{

using kxtest::AudioClip;
using kxtest::ReadWholeFile;

const uint64_t kTicks = CAudioPlayer::TICKS_PER_SECOND;
const uint64_t kBase = kTicks; // the streams' clocks start at 1 s

// An elementary audio clip with its frames.
struct Clip
{
    std::vector<BYTE> bytes;
    std::vector<kxtest::FrameSpan> frames;
    double bytesPerSecond;
};

Clip LoadClip(const std::string& file, int type, double bytesPerSecond)
{
    Clip c;
    c.bytes = ReadWholeFile(AudioClip(file));
    c.frames = kxtest::SplitFrames(c.bytes, type);
    c.bytesPerSecond = bytesPerSecond;
    return c;
}

// How the clip is laid into packs.
struct Layout
{
    BYTE streamId = 0xC0;
    int subStreamId = -1;
    int packEvery = 1;           // a pack header in every n-th sector only
    bool stamps = true;          // time stamps on packets where a frame begins
    int64_t firstPtsShift = 0;   // added to the first stamp (27 MHz)
    uint64_t lead = 0;           // how long before its time a frame arrives
    uint64_t gapAfterSector = 0; // sector after which the clock jumps
    uint64_t gap = 0;
    uint64_t stopAfter = 0; // 0: the whole clip
};

// 2,000 bytes of the clip per sector, each sector's clock the time of its
// first byte; then a closing pack at the clip's end with a packet of another
// stream, so the last span ends exactly there.
std::vector<BYTE> Mux(const Clip& clip, const Layout& l, uint64_t* pEndTicks = nullptr)
{
    kxtest::ProgramStreamWriter w;
    const size_t chunk = 2000;
    size_t total = l.stopAfter ? std::min<size_t>(l.stopAfter, clip.bytes.size()) : clip.bytes.size();
    size_t nextFrame = 0;
    uint64_t shift = 0;
    bool first = true;
    for (size_t at = 0, sector = 0; at < total; at += chunk, sector++)
    {
        uint64_t scr = kBase + shift + uint64_t(double(at) / clip.bytesPerSecond * double(kTicks));
        if (sector % size_t(l.packEvery) == 0)
            w.Pack(scr, 25200);
        kxtest::PesPacket p{l.streamId, l.subStreamId, 0, {}};
        size_t end = std::min(at + chunk, total);
        p.payload.assign(clip.bytes.begin() + long(at), clip.bytes.begin() + long(end));
        while (nextFrame < clip.frames.size() && clip.frames[nextFrame].offset < at)
            nextFrame++;
        if (l.stamps && nextFrame < clip.frames.size() && clip.frames[nextFrame].offset < end)
        {
            uint64_t t = kBase + shift + l.lead +
                         uint64_t(double(clip.frames[nextFrame].offset) / clip.bytesPerSecond * double(kTicks));
            if (first)
                t = uint64_t(int64_t(t) + l.firstPtsShift);
            first = false;
            p.pts90 = t / 300;
        }
        w.Packet(p);
        w.PadSector();
        if (l.gap && sector == l.gapAfterSector)
            shift += l.gap;
    }
    uint64_t end = kBase + shift + uint64_t(double(total) / clip.bytesPerSecond * double(kTicks));
    w.Pack(end, 25200);
    w.Packet({0xC7, -1, 0, {0}});
    w.PadSector();
    if (pEndTicks)
        *pEndTicks = end - kBase;
    return w.Bytes();
}

CAudioSettings Settings(WORD selection)
{
    CAudioSettings s = {};
    s.dwStream = selection;
    return s;
}

// All of a stream through Produce, each call into a buffer with a guard
// after it: the concatenated output and the calls' sizes.
struct Produced
{
    std::vector<int16_t> pcm;
    std::vector<int> calls;
    bool guardIntact = true;
};

Produced ProduceAll(CAudioPlayer& player)
{
    Produced r;
    std::vector<BYTE> buffer(player.GetMaxProduce() + 4096);
    for (int i = 0; i < 100; i++)
    {
        std::fill(buffer.begin(), buffer.end(), BYTE(0xA5));
        int bytes = player.Produce(buffer.data());
        r.guardIntact =
            r.guardIntact && std::all_of(buffer.begin() + bytes, buffer.end(), [](BYTE b) { return b == 0xA5; });
        r.calls.push_back(bytes / 4);
        const int16_t* s = reinterpret_cast<const int16_t*>(buffer.data());
        r.pcm.insert(r.pcm.end(), s, s + bytes / 2);
        BYTE* unused = nullptr;
        if (!player.Read(nullptr, &unused, 0))
            break;
    }
    return r;
}

// The frames decoded one after the other, as stereo.
std::vector<int16_t> DecodeInOrder(const Clip& clip, int type)
{
    std::vector<int16_t> pcm;
    CMpegAudioInput mpeg;
    mpeg.Init();
    CAc3Decoder ac3;
    ac3.Init();
    const int spf = type == AUDIO_TYPE_AC3 ? AC3_FRAME_SAMPLES : MPEG_FRAME_SAMPLES;
    std::vector<int16_t> slot(size_t(spf) * 2);
    for (const auto& f : clip.frames)
    {
        std::fill(slot.begin(), slot.end(), int16_t(0));
        BYTE* out = reinterpret_cast<BYTE*>(slot.data());
        if (type == AUDIO_TYPE_AC3)
            ac3.DecodeFrame(out, &clip.bytes[f.offset], f.size);
        else
            mpeg.DecodeFrame(out, &clip.bytes[f.offset], f.size);
        pcm.insert(pcm.end(), slot.begin(), slot.end());
    }
    return pcm;
}

struct Started
{
    kxtest::MemoryByteStream stream;
    CAudioPlayer player;
    Started(std::vector<BYTE> bytes, WORD selection, bool probe = false, int outputRate = 48000)
        : stream(std::move(bytes))
    {
        opened = player.Open(&stream, probe);
        CAudioSettings s = Settings(selection);
        started = player.Start(outputRate, AUDIOPLAYER_CHAIN | AUDIOPLAYER_RESTATE, &s);
    }
    bool opened = false, started = false;
};

TEST(AudioPlayer, OneSecondOfStreamIs48000FramesWhateverTheSplit)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    Clip clip = LoadClip("l2_48_stereo.mp2", AUDIO_TYPE_MPEG, 24000);
    for (int packEvery : {1, 5, 16})
    {
        Layout l;
        l.packEvery = packEvery;
        uint64_t endTicks = 0;
        Started s(Mux(clip, l, &endTicks), 0xC0);
        ASSERT_TRUE(s.started);
        Produced r = ProduceAll(s.player);
        uint64_t expected = (endTicks * 48000 + kTicks / 2 - 1) / kTicks;
        EXPECT_EQ(r.pcm.size() / 2, expected) << "a pack every " << packEvery << " sectors";
        EXPECT_TRUE(r.guardIntact);
        EXPECT_GE(r.calls.size(), 2u);
    }
}

TEST(AudioPlayer, FramesContinueAcrossCallsWithoutLossOrRepetition)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    struct Case
    {
        const char* file;
        int type;
        WORD selection;
        double rate;
        int subStream;
    } cases[] = {
        {"l2_48_stereo.mp2", AUDIO_TYPE_MPEG, 0xC0, 24000, -1},
        {"ac3_stereo.ac3", AUDIO_TYPE_AC3, 0x80BD, 24000, 0x80},
    };
    for (const Case& c : cases)
    {
        Clip clip = LoadClip(c.file, c.type, c.rate);
        Layout l;
        l.streamId = c.subStream >= 0 ? 0xBD : 0xC0;
        l.subStreamId = c.subStream;
        l.packEvery = 7; // spans of 0.58 s: frames straddle the calls
        // As on a disc, frames arrive ahead of their time (here 0.25 s), so
        // each call finds the frames its span needs.
        l.lead = kTicks / 4;
        Started s(Mux(clip, l), c.selection);
        ASSERT_TRUE(s.started) << c.file;
        Produced r = ProduceAll(s.player);
        auto expected = DecodeInOrder(clip, c.type);
        expected.insert(expected.begin(), 48000 / 4 * 2, int16_t(0));
        size_t n = std::min(r.pcm.size(), expected.size());
        ASSERT_GT(n, 48000u) << c.file;
        auto diff = std::mismatch(r.pcm.begin(), r.pcm.begin() + long(n), expected.begin());
        EXPECT_EQ(diff.first - r.pcm.begin(), long(n)) << c.file << " calls " << r.calls[0] << " " << r.calls[1];
        EXPECT_TRUE(r.guardIntact) << c.file;
        EXPECT_TRUE(s.player.HasHeader());
        EXPECT_EQ(s.player.GetHeader().nType, c.type);
    }
}

TEST(AudioPlayer, AFrameStampedLaterThan250FramesAheadLeavesSilenceBeforeIt)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    Clip clip = LoadClip("l2_48_stereo.mp2", AUDIO_TYPE_MPEG, 24000);
    auto expected = DecodeInOrder(clip, AUDIO_TYPE_MPEG);
    for (int ahead : {200, 1000})
    {
        Layout l;
        l.firstPtsShift = int64_t(ahead) * int64_t(kTicks) / 48000;
        l.stamps = true;
        l.stopAfter = 576 * 10;
        Started s(Mux(clip, l), 0xC0);
        Produced r = ProduceAll(s.player);
        const size_t at = ahead < 250 ? 0 : size_t(ahead);
        ASSERT_GE(r.pcm.size(), (at + 1152) * 2);
        EXPECT_TRUE(std::all_of(r.pcm.begin(), r.pcm.begin() + long(at * 2), [](int16_t v) { return v == 0; }));
        EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 2304, r.pcm.begin() + long(at * 2)))
            << "stamped " << ahead << " frames ahead";
    }
}

TEST(AudioPlayer, AFrameStampedAtTheSpanEndStaysInsideTheCall)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    Clip clip = LoadClip("ac3_stereo.ac3", AUDIO_TYPE_AC3, 24000);
    Layout l;
    l.streamId = 0xBD;
    l.subStreamId = 0x80;
    l.packEvery = 16;
    l.stamps = false;
    auto bytes = Mux(clip, l);
    // Restamp the first packet to 100 frames before the first span's end.
    kxtest::ProgramStreamWriter w;
    const uint64_t spanEnd = kBase + uint64_t(16 * 2000 / 24000.0 * double(kTicks));
    w.Pack(kBase, 25200);
    w.Packet({0xBD, 0x80, (spanEnd - 100 * kTicks / 48000) / 300,
              std::vector<BYTE>(clip.bytes.begin(), clip.bytes.begin() + 2000)});
    w.PadSector();
    std::vector<BYTE> stream = w.Bytes();
    stream.insert(stream.end(), bytes.begin() + 2048, bytes.end());
    Started s(stream, 0x80BD);
    Produced r = ProduceAll(s.player);
    EXPECT_TRUE(r.guardIntact);
    ASSERT_GE(r.calls.size(), 2u);
    // The frame's first 100 sample frames end the first call, the rest opens the next.
    auto expected = DecodeInOrder(clip, AUDIO_TYPE_AC3);
    const size_t firstCall = size_t(r.calls[0]);
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 3072, r.pcm.begin() + long(firstCall - 100) * 2));
}

TEST(AudioPlayer, AClockGapOfMoreThanOneAndAHalfSecondsEndsTheStream)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    Clip clip = LoadClip("l2_48_stereo.mp2", AUDIO_TYPE_MPEG, 24000);
    Layout l;
    l.gapAfterSector = 12; // 1 s in
    l.gap = 2 * kTicks;
    Started s(Mux(clip, l), 0xC0);
    Produced r = ProduceAll(s.player);
    // The span holding the gap is cut to 1.5 s and ends the stream.
    EXPECT_LT(r.pcm.size() / 2, size_t(48000 * 3));
    BYTE* p = nullptr;
    EXPECT_FALSE(s.player.Read(nullptr, &p, 8192));
}

TEST(AudioPlayer, ProbingFindsA44100Stream)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    Clip clip = LoadClip("l2_44_stereo.mp2", AUDIO_TYPE_MPEG, 16000);
    uint64_t endTicks = 0;
    auto bytes = Mux(clip, Layout(), &endTicks);
    {
        // Without probing the stream is laid out at 48,000 frames a second.
        Started s(bytes, 0xC0, false);
        EXPECT_EQ(s.player.GetStreamRate(), 48000);
        Produced r = ProduceAll(s.player);
        EXPECT_EQ(r.pcm.size() / 2, (endTicks * 48000 + kTicks / 2 - 1) / kTicks);
    }
    Started s(bytes, 0xC0, true);
    EXPECT_TRUE(s.opened);
    EXPECT_EQ(s.player.GetStreamRate(), 44100);
    ASSERT_TRUE(s.started);
    // Through the resampler to 48 kHz, the whole chain handing out blocks.
    BYTE* p = nullptr;
    int blocks = 0;
    bool sound = false;
    while (s.player.Read(nullptr, &p, 8192) && blocks < 100)
    {
        blocks++;
        const int16_t* v = reinterpret_cast<const int16_t*>(p);
        sound = sound || std::any_of(v, v + 16384, [](int16_t x) { return std::abs(x) > 1000; });
    }
    EXPECT_TRUE(sound);
    EXPECT_GE(blocks, 5);
}

TEST(AudioPlayer, RefusesStreamsWithoutADecoder)
{
    CAudioPlayer player;
    kxtest::MemoryByteStream stream(std::vector<BYTE>(4096, 0));
    ASSERT_TRUE(player.Open(&stream, false));
    for (WORD selection : {WORD(0xA0BD), WORD(0x88BD), WORD(0x20BD), WORD(0xE0), WORD(0xBE)})
    {
        EXPECT_FALSE(player.SetStreamIds(selection)) << selection;
        EXPECT_FALSE(player.SelectStream(&selection)) << selection;
        CAudioSettings s = Settings(selection);
        EXPECT_FALSE(player.Start(48000, AUDIOPLAYER_CHAIN, &s)) << selection;
        BYTE* p = nullptr;
        EXPECT_FALSE(player.Read(nullptr, &p, 8192));
    }
    EXPECT_FALSE(player.Start(48000, AUDIOPLAYER_CHAIN, nullptr));
    EXPECT_FALSE(player.Open(nullptr, false));
}

// The cell's VOB through the whole chain, as the audio thread reads it.
int PlayVob(const std::string& vob, WORD selection, bool* pSound)
{
    kxtest::SectorExtentStream stream(vob);
    CAudioPlayer player;
    EXPECT_TRUE(player.Open(&stream, false));
    CAudioSettings s = Settings(selection);
    if (!player.Start(48000, AUDIOPLAYER_CHAIN | AUDIOPLAYER_RESTATE, &s))
        return -1;
    BYTE* p = nullptr;
    int blocks = 0;
    *pSound = false;
    while (player.Read(nullptr, &p, 8192) && blocks < 1000)
    {
        blocks++;
        const int16_t* v = reinterpret_cast<const int16_t*>(p);
        *pSound = *pSound || std::any_of(v, v + 16384, [](int16_t x) { return std::abs(x) > 1000; });
    }
    player.Stop();
    return blocks;
}

TEST(AudioPlayer, PlaysTheDiscStreams)
{
    KX_REQUIRE_FIXTURE(pal1, "pal1");
    KX_REQUIRE_FIXTURE(twovts, "twovts");
    const std::string pal1Vob = kxtest::FixturePath("pal1", "VIDEO_TS/VTS_01_1.VOB");
    const std::string twoVob = kxtest::FixturePath("twovts", "VIDEO_TS/VTS_02_1.VOB");
    struct Case
    {
        std::string vob;
        WORD selection;
        int seconds; // of stream; 0 for a stream that is refused
    } cases[] = {
        {pal1Vob, 0x80BD, 6},
        {pal1Vob, 0xC0, 6},
        {twoVob, 0xC0, 3},
        {twoVob, 0xA0BD, 0},
    };
    for (const Case& c : cases)
    {
        bool sound = false;
        int blocks = PlayVob(c.vob, c.selection, &sound);
        if (c.seconds == 0)
        {
            EXPECT_EQ(blocks, -1) << c.selection;
            continue;
        }
        // Blocks of 8,192 frames until the end; the last second or so, still
        // in the chain's buffers when the stream ends, is not handed out.
        const int perSecond = 48000 / 8192;
        EXPECT_GE(blocks, (c.seconds - 1) * perSecond) << c.selection;
        EXPECT_LE(blocks, (c.seconds + 1) * perSecond) << c.selection;
        EXPECT_TRUE(sound) << c.selection;
    }
}

} // namespace
