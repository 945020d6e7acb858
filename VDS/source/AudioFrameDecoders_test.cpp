#include "VDS/source/AudioFrameDecoders.h"

#include "tests/support/AudioClips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace
{

using kxtest::AudioClip;
using kxtest::ReadWholeFile;

TEST(ParseFrameHeader, ReadsAc3RateBitRateChannelsAndLfe)
{
    struct Case
    {
        BYTE byte4, byte6;
        int rate, bitRate, channels;
        bool lfe;
    } cases[] = {
        {0x4E, 0x40, 44100, 112, 2, false}, // fscod 1, frmsizecod 14, acmod 2
        {0x1E, 0xE1, 48000, 448, 5, true},  // acmod 7 with the LFE bit under mask 0x01
        {0x80, 0x30, 32000, 32, 1, true},   // acmod 1: the LFE bit is 0x10
        {0x0C, 0xD0, 48000, 96, 4, false},  // acmod 6: 0x10 is not its LFE bit
    };
    for (const Case& c : cases)
    {
        BYTE frame[8] = {0x0B, 0x77, 0, 0, c.byte4, 0, c.byte6, 0};
        CAudioFrameHeader h = {};
        ASSERT_TRUE(ParseFrameHeader(AUDIO_TYPE_AC3, frame, &h));
        EXPECT_EQ(h.nType, AUDIO_TYPE_AC3);
        EXPECT_EQ(h.nRate, c.rate);
        EXPECT_EQ(h.nBitRate, c.bitRate);
        EXPECT_EQ(h.nChannels, c.channels);
        EXPECT_EQ(h.nLfe != 0, c.lfe) << int(c.byte6);
    }
}

TEST(ParseFrameHeader, ReadsMpegLayerRateAndMode)
{
    struct Case
    {
        BYTE b1, b2, b3;
        int rate, bitRate, channels;
    } cases[] = {
        {0xFD, 0xA4, 0x04, 48000, 192, 2}, // MPEG-1 Layer II, stereo
        {0xFD, 0x60, 0xC4, 44100, 96, 1},  // single channel
        {0xFB, 0x98, 0x44, 32000, 128, 2}, // Layer III, joint stereo
        {0xF5, 0x84, 0x00, 24000, 64, 2},  // lower sampling frequency: half of 48 kHz
    };
    for (const Case& c : cases)
    {
        BYTE frame[4] = {0xFF, c.b1, c.b2, c.b3};
        CAudioFrameHeader h = {};
        ASSERT_TRUE(ParseFrameHeader(AUDIO_TYPE_MPEG, frame, &h));
        EXPECT_EQ(h.nRate, c.rate);
        EXPECT_EQ(h.nBitRate, c.bitRate);
        EXPECT_EQ(h.nChannels, c.channels);
    }
    CAudioFrameHeader h = {};
    EXPECT_FALSE(ParseFrameHeader(AUDIO_TYPE_MPEG, nullptr, &h));
    BYTE any[4] = {};
    EXPECT_FALSE(ParseFrameHeader(3, any, &h));
    EXPECT_TRUE(ParseFrameHeader(2, any, &h));
}

TEST(AudioFrameTables, FrameSizes)
{
    EXPECT_EQ(Ac3FrameBytes(0, 14), 448);
    EXPECT_EQ(Ac3FrameBytes(1, 14), 486);
    EXPECT_EQ(Ac3FrameBytes(1, 15), 488);
    EXPECT_EQ(Ac3FrameBytes(1, 37), 2788);
    EXPECT_EQ(Ac3FrameBytes(2, 37), 3840);
    EXPECT_EQ(Ac3FrameBytes(3, 14), 0);
    EXPECT_EQ(Ac3FrameBytes(0, 38), 0);

    const BYTE l2[3] = {0xFF, 0xFD, 0xA4}; // 48 kHz, 192 kbit/s
    EXPECT_EQ(MpegFrameBytes(l2), 576);
    const BYTE l1[3] = {0xFF, 0xFF, 0x92}; // Layer I, 44.1 kHz, 288 kbit/s, padded
    EXPECT_EQ(MpegFrameBytes(l1), (12 * 288000 / 44100 + 1) * 4);
    const BYTE freeFormat[3] = {0xFF, 0xFD, 0x04};
    EXPECT_EQ(MpegFrameBytes(freeFormat), 0);
}

// Every frame of an AC-3 clip, decoded, against a52dec's stereo output.
void CheckAc3Clip(const std::string& name)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    auto stream = ReadWholeFile(AudioClip(name + ".ac3"));
    auto ref = kxtest::AsSamples(ReadWholeFile(AudioClip(name + ".ref")));
    auto frames = kxtest::SplitFrames(stream, AUDIO_TYPE_AC3);
    ASSERT_GT(frames.size(), 50u);
    ASSERT_EQ(ref.size(), frames.size() * AC3_FRAME_SAMPLES * 2);

    CAc3Decoder decoder;
    ASSERT_EQ(decoder.Init(), 1);
    std::vector<int16_t> out(frames.size() * AC3_FRAME_SAMPLES * 2);
    for (size_t i = 0; i < frames.size(); i++)
        ASSERT_EQ(decoder.DecodeFrame(reinterpret_cast<BYTE*>(&out[i * AC3_FRAME_SAMPLES * 2]),
                                      &stream[frames[i].offset], frames[i].size),
                  AC3_FRAME_BYTES_OUT);
    int worst = 0;
    for (size_t i = 0; i < out.size(); i++)
        worst = std::max(worst, std::abs(out[i] - ref[i]));
    EXPECT_LE(worst, 1) << name;
    EXPECT_GT(*std::max_element(out.begin(), out.end()), 1000) << "the clip is not silence";
}

TEST(Ac3Decoder, StereoMatchesA52dec)
{
    CheckAc3Clip("ac3_stereo");
}

TEST(Ac3Decoder, FivePointOneMatchesA52decDownmix)
{
    CheckAc3Clip("ac3_51");
}

TEST(Ac3Decoder, DamagedFrameIsExactlyOneFrameOfSilence)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    auto stream = ReadWholeFile(AudioClip("ac3_stereo.ac3"));
    auto frames = kxtest::SplitFrames(stream, AUDIO_TYPE_AC3);
    ASSERT_GT(frames.size(), 3u);
    std::vector<BYTE> frame(stream.begin() + long(frames[2].offset),
                            stream.begin() + long(frames[2].offset + size_t(frames[2].size)));
    // Every bit of the audio blocks set: exponents and bit allocation out of range.
    std::fill(frame.begin() + 8, frame.end(), BYTE(0xFF));

    CAc3Decoder decoder;
    decoder.Init();
    std::vector<BYTE> out(AC3_FRAME_BYTES_OUT + 64, 0xA5);
    EXPECT_EQ(decoder.DecodeFrame(out.data(), frame.data(), int(frame.size())), AC3_FRAME_BYTES_OUT);
    EXPECT_TRUE(std::all_of(out.begin(), out.begin() + AC3_FRAME_BYTES_OUT, [](BYTE b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(out.begin() + AC3_FRAME_BYTES_OUT, out.end(), [](BYTE b) { return b == 0xA5; }));

    // The next good frame decodes again.
    std::fill(out.begin(), out.end(), BYTE(0));
    decoder.DecodeFrame(out.data(), &stream[frames[3].offset], frames[3].size);
    EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](BYTE b) { return b != 0; }));
}

// A clip through CMpegAudioInput frame by frame, each frame into its 1,152
// stereo frames, against the reference decoding.
struct MpegClip
{
    const char* name;
    int refChannels;
    int samplesPerFrame;
    const char* ext = ".mp2";
    double minSnr = 75.0;
};

class MpegAudioInputClips : public ::testing::TestWithParam<MpegClip>
{
};

TEST_P(MpegAudioInputClips, MatchReferencePerChannel)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    const MpegClip& clip = GetParam();
    auto stream = ReadWholeFile(AudioClip(std::string(clip.name) + clip.ext));
    auto ref = kxtest::AsSamples(ReadWholeFile(AudioClip(std::string(clip.name) + ".ref")));
    auto frames = kxtest::SplitFrames(stream, AUDIO_TYPE_MPEG);
    ASSERT_GT(frames.size(), 20u);

    // ffmpeg's reader takes a first frame that looks like a tag for one and
    // leaves it out of the reference; start where the reference starts.
    size_t first = frames.size() - ref.size() / size_t(clip.refChannels) / size_t(clip.samplesPerFrame);
    ASSERT_LE(first, 1u);

    CMpegAudioInput input;
    ASSERT_EQ(input.Init(), 1);
    std::vector<int16_t> out;
    std::vector<int16_t> slot(MPEG_FRAME_SAMPLES * 2);
    for (size_t i = first; i < frames.size(); i++)
    {
        const auto& f = frames[i];
        std::fill(slot.begin(), slot.end(), int16_t(0));
        ASSERT_TRUE(input.DecodeFrame(reinterpret_cast<BYTE*>(slot.data()), &stream[f.offset], f.size));
        out.insert(out.end(), slot.begin(), slot.begin() + clip.samplesPerFrame * 2);
    }
    ASSERT_GE(out.size() / 2, ref.size() / size_t(clip.refChannels));
    for (int ch = 0; ch < clip.refChannels; ch++)
        EXPECT_GE(kxtest::ChannelSnr(out, 2, ref, clip.refChannels, ch), clip.minSnr) << clip.name << " channel " << ch;
    if (clip.refChannels == 1)
    {
        for (size_t i = 0; i < out.size(); i += 2)
            ASSERT_EQ(out[i], out[i + 1]) << "mono frame " << i / 2;
    }
}

INSTANTIATE_TEST_SUITE_P(LayerII, MpegAudioInputClips,
                         ::testing::Values(MpegClip{"l2_48_stereo", 2, 1152}, MpegClip{"l2_44_stereo", 2, 1152},
                                           MpegClip{"l2_32_stereo", 2, 1152}, MpegClip{"l2_44_high", 2, 1152},
                                           MpegClip{"l2_48_low", 2, 1152}, MpegClip{"l2_48_mono", 1, 1152},
                                           MpegClip{"l2_32_mono", 1, 1152}, MpegClip{"l2_48_joint", 2, 1152},
                                           MpegClip{"l2_24_stereo", 2, 1152}),
                         [](const ::testing::TestParamInfo<MpegClip>& info) { return std::string(info.param.name); });

// LAME's streams: every big-value code table it chooses, CBR and VBR.
INSTANTIATE_TEST_SUITE_P(LayerIII, MpegAudioInputClips,
                         ::testing::Values(MpegClip{"l3_48_stereo", 2, 1152, ".mp3", 60.0},
                                           MpegClip{"l3_48_mono", 1, 1152, ".mp3", 60.0},
                                           MpegClip{"l3_44_joint_vbr", 2, 1152, ".mp3", 60.0},
                                           MpegClip{"l3_24_joint", 2, 576, ".mp3", 60.0}),
                         [](const ::testing::TestParamInfo<MpegClip>& info) { return std::string(info.param.name); });

TEST(MpegAudioInput, TruncatedFrameFailsAndTheNextDecodes)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    auto stream = ReadWholeFile(AudioClip("l2_48_stereo.mp2"));
    auto frames = kxtest::SplitFrames(stream, AUDIO_TYPE_MPEG);
    ASSERT_GT(frames.size(), 2u);
    CMpegAudioInput input;
    input.Init();
    std::vector<BYTE> out(MPEG_FRAME_SAMPLES * 4);
    EXPECT_FALSE(input.DecodeFrame(out.data(), &stream[frames[0].offset], frames[0].size / 2));
    EXPECT_TRUE(input.DecodeFrame(out.data(), &stream[frames[1].offset], frames[1].size));
}

} // namespace
