// Helpers of the audio tests and benchmark: the clips of the "audio" fixture, cut into
// frames, and the comparison of decoded PCM with a reference.
#pragma once

#include "VDS/source/AudioFrameDecoders.h"
#include "tests/support/FileBytes.h"
#include "tests/support/Fixtures.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace kxtest
{

inline std::string AudioClip(const std::string& file)
{
    return FixturePath("audio", file);
}

// Start and size of each frame of an elementary stream.
struct FrameSpan
{
    size_t offset;
    int size;
};

inline std::vector<FrameSpan> SplitFrames(const std::vector<uint8_t>& s, int type)
{
    std::vector<FrameSpan> frames;
    size_t pos = 0;
    while (pos + 6 < s.size())
    {
        int size = type == AUDIO_TYPE_AC3
                       ? (s[pos] == 0x0B && s[pos + 1] == 0x77 ? Ac3FrameBytes(s[pos + 4] >> 6, s[pos + 4] & 0x3F) : 0)
                       : MpegFrameBytes(&s[pos]);
        if (size == 0 || pos + size_t(size) > s.size())
            break;
        frames.push_back({pos, size});
        pos += size_t(size);
    }
    return frames;
}

inline std::vector<int16_t> AsSamples(const std::vector<uint8_t>& bytes)
{
    std::vector<int16_t> samples(bytes.size() / 2);
    memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// Signal-to-noise ratio in dB of channel ch of out (interleaved by
// outChannels) against the same channel of ref (interleaved by refChannels),
// over the frames both hold.
inline double ChannelSnr(const std::vector<int16_t>& out, int outChannels, const std::vector<int16_t>& ref,
                         int refChannels, int ch)
{
    size_t frames = std::min(out.size() / size_t(outChannels), ref.size() / size_t(refChannels));
    double signal = 0, noise = 0;
    for (size_t i = 0; i < frames; i++)
    {
        double r = ref[i * size_t(refChannels) + size_t(ch)];
        double d = out[i * size_t(outChannels) + size_t(ch)] - r;
        signal += r * r;
        noise += d * d;
    }
    return noise == 0 ? 200.0 : 10 * std::log10(signal / noise);
}

} // namespace kxtest
