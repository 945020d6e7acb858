// Audio decoding speed, as multiples of real time, beside ffmpeg decoding the
// same streams on one thread in the same run:
//
//   kx_audio_bench [SECONDS]      (default 60)
//
// For AC-3 5.1 at 448 kbit/s, MPEG-1 Layer II at 224 kbit/s and Layer III at
// 192 kbit/s it makes a stream of tones with ffmpeg, at 48 kHz and at
// 44.1 kHz, then times the frame decoders alone on the elementary stream, the
// whole pull chain (CAudioPlayer through its buffers and the compressor
// stage, with the resampler at 44.1 kHz) on the stream in a program stream,
// and `ffmpeg -threads 1 -i STREAM -f null -`. Needs ffmpeg on the PATH.

#include "VDS/source/AudioFrameDecoders.h"
#include "VDS/source/AudioPlayer.h"
#include "tests/support/AudioClips.h"
#include "tests/support/ByteStreams.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool Run(const std::string& cmd)
{
    return std::system(cmd.c_str()) == 0;
}

// Seconds of decoding by the frame decoders alone.
double TimeDecoders(const std::vector<uint8_t>& es, int type)
{
    auto frames = kxtest::SplitFrames(es, type);
    std::vector<BYTE> out(AC3_FRAME_BYTES_OUT);
    CAc3Decoder ac3;
    ac3.Init();
    CMpegAudioInput mpeg;
    mpeg.Init();
    double t0 = Now();
    for (const auto& f : frames)
        if (type == AUDIO_TYPE_AC3)
            ac3.DecodeFrame(out.data(), &es[f.offset], f.size);
        else
            mpeg.DecodeFrame(out.data(), &es[f.offset], f.size);
    return Now() - t0;
}

// Seconds for the whole chain to hand out the stream at 48 kHz.
double TimeChain(const std::string& ps, WORD selection, int* pBlocks)
{
    kxtest::SectorExtentStream stream(ps);
    CAudioPlayer player;
    double t0 = Now();
    player.Open(&stream, true);
    CAudioSettings settings = {};
    settings.dwStream = selection;
    *pBlocks = 0;
    if (!player.Start(48000, AUDIOPLAYER_CHAIN | AUDIOPLAYER_RESTATE, &settings))
        return -1;
    BYTE* samples = nullptr;
    while (player.Read(nullptr, &samples, 8192))
        ++*pBlocks;
    return Now() - t0;
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    char dirTemplate[] = "/tmp/kx_audio_bench_XXXXXX";
    const char* dir = mkdtemp(dirTemplate);
    if (!dir)
        return 1;
    struct Codec
    {
        const char* name;
        const char* args;
        const char* ext;
        int channels;
        int type;
        WORD selection;
    } codecs[] = {
        {"AC-3 5.1 448k", "-c:a ac3 -b:a 448k -channel_layout 5.1", "ac3", 6, AUDIO_TYPE_AC3, 0x80BD},
        {"Layer II 224k", "-c:a mp2 -b:a 224k", "mp2", 2, AUDIO_TYPE_MPEG, 0xC0},
        {"Layer III 192k", "-c:a libmp3lame -id3v2_version 0 -b:a 192k", "mp3", 2, AUDIO_TYPE_MPEG, 0xC0},
    };
    std::printf("%-16s %6s | %12s | %12s %7s | %12s\n", "stream", "rate", "decoders", "chain", "", "ffmpeg -t 1");
    for (const Codec& c : codecs)
        for (int rate : {48000, 44100})
        {
            std::string expr;
            for (int ch = 0; ch < c.channels; ch++)
                expr += (ch ? "|" : "") + std::string("0.3*sin(2*PI*") + std::to_string(220 + 110 * ch) +
                        "*t)+0.1*sin(2*PI*" + std::to_string(3000 + 700 * ch) + "*t)";
            std::string es = std::string(dir) + "/s." + c.ext, ps = std::string(dir) + "/s.vob";
            std::string ff = "ffmpeg -hide_banner -loglevel error -nostdin -y ";
            if (!Run(ff + "-f lavfi -i \"aevalsrc=" + expr + ":s=" + std::to_string(rate) +
                     ":d=" + std::to_string(seconds) + "\" " + c.args + " " + es) ||
                !Run(ff + "-i " + es + " -c copy -f vob " + ps))
            {
                std::fprintf(stderr, "ffmpeg could not make the %s stream\n", c.name);
                return 1;
            }
            auto bytes = kxtest::ReadWholeFile(es);
            double dec = TimeDecoders(bytes, c.type);
            int blocks = 0;
            double chain = TimeChain(ps, c.selection, &blocks);
            double t0 = Now();
            Run("ffmpeg -hide_banner -loglevel error -nostdin -threads 1 -i " + es + " -f null -");
            double ffmpeg = Now() - t0;
            auto x = [&](double t) { return t > 0 ? seconds / t : 0.0; };
            std::printf("%-16s %6d | %7.1fx %3.2f | %7.1fx %3.2f %5.1fs | %10.1fx\n", c.name, rate, x(dec),
                        ffmpeg / dec, x(chain), ffmpeg / chain, blocks * 8192 / 48000.0, x(ffmpeg));
        }
    std::printf("decoders, chain: multiple of real time and ratio to ffmpeg's time (above 1: faster than ffmpeg);\n"
                "the chain's seconds are the sound it handed out at 48 kHz.\n");
    Run(std::string("rm -rf ") + dir);
    return 0;
}
