// kx_video_bench: the video decoder's frame rate against mpeg2dec's on the
// same stream in the same run, then the decoder's rate with each registered
// transform. Not a test: it prints what it measured.
//
//   kx_video_bench [--cache DIR] [--runs N]
//
// The stream (60 s of 720 x 576 at 25 frames a second, MPEG-2 at 8 Mb/s,
// GOP 15 with two B pictures, as a DVD program stream) is made once with
// ffmpeg and kept in the cache folder (kx_bench_cache) for later runs. Both
// decoders run single-threaded; the figures are medians of N runs (5).

#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "VDS/source/Idct.h"
#include "VDS/source/MpegVideoDecoder.h"
#include "tests/support/ByteStreams.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

[[noreturn]] void Fail(const std::string& message)
{
    std::fprintf(stderr, "kx_video_bench: %s\n", message.c_str());
    std::exit(1);
}

bool Exists(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f)
        std::fclose(f);
    return f != nullptr;
}

// Seconds for one decode of the whole stream by our decoder; the pictures.
// The stream is read from memory, as mpeg2dec reads its file through large
// buffered reads; the figure is the decoder's, not the file layer's (nor the
// copy of the bytes into the stream, made before the clock starts).
double DecodeOnce(kxtest::MemoryByteStream& stream, int& pictures)
{
    auto start = std::chrono::steady_clock::now();
    CMpegVideoDecoder decoder;
    MpegVideoInitAttributes attributes;
    attributes.pStream = &stream;
    if (!decoder.Init(attributes) || !decoder.Start(false, false, 0))
        Fail("the decoder does not open the stream");
    CVideoPicture* picture = nullptr;
    pictures = 0;
    while (decoder.GetNextPicture(&picture))
    {
        picture->Release();
        pictures++;
    }
    decoder.Stop();
    return Seconds(start);
}

double DecoderRate(kxtest::MemoryByteStream& stream, int runs)
{
    std::vector<double> times;
    int pictures = 0;
    for (int i = 0; i < runs; i++)
        times.push_back(DecodeOnce(stream, pictures));
    return pictures / Median(times);
}
}

int main(int argc, char** argv)
{
    std::string cache = "kx_bench_cache";
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        std::string arg = argv[i];
        if (arg == "--cache")
            cache = argv[i + 1];
        else if (arg == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else
            Fail("usage: kx_video_bench [--cache DIR] [--runs N]");
    }
    kx::CreateFolder(cache);
    const std::string stream = kx::JoinPath(cache, "video_60s_8mbps.mpg");
    const int frames = 60 * 25;
    if (!Exists(stream))
    {
        std::string make = "ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i testsrc2=s=720x576:r=25:d=60 "
                           "-c:v mpeg2video -b:v 8M -minrate 8M -maxrate 8M -bufsize 1835008 -g 15 -bf 2 -an "
                           "-f dvd \"" +
                           stream + "\"";
        if (std::system(make.c_str()) != 0 || !Exists(stream))
            Fail("ffmpeg could not make " + stream);
    }

    std::vector<double> peer;
    std::string run = "mpeg2dec -s -o null \"" + stream + "\" >/dev/null 2>&1";
    for (int i = 0; i < runs; i++)
    {
        auto start = std::chrono::steady_clock::now();
        if (std::system(run.c_str()) != 0)
            Fail("mpeg2dec failed on " + stream);
        peer.push_back(Seconds(start));
    }
    double peerRate = frames / Median(peer);

    std::vector<BYTE> bytes;
    {
        kxtest::SectorExtentStream file(std::vector<kxtest::SectorExtent>{{stream, 0, -1}});
        bytes.resize(size_t(file.GetSize()));
        if (file.Read(bytes.data(), DWORD(bytes.size())) != int32_t(bytes.size()))
            Fail("cannot read " + stream);
    }
    kxtest::MemoryByteStream memory(std::move(bytes));

    SelectFastestIdct();
    std::string chosen = "?";
    const CGrowArray<IdctDescriptor>& registry = GetIdctRegistry();
    for (int32_t i = 0; i < registry.GetSize(); i++)
        if (registry[i].transform == g_pfnIdct)
            chosen = registry[i].name;
    double ourRate = DecoderRate(memory, runs);
    std::printf("mpeg2dec:           %8.1f frames/s\n", peerRate);
    std::printf("decoder (%s): %8.1f frames/s\n", chosen.c_str(), ourRate);
    std::printf("ratio decoder/mpeg2dec: %.2f\n", ourRate / peerRate);

    IdctTransformFunction installed = g_pfnIdct;
    for (int32_t i = 0; i < registry.GetSize(); i++)
    {
        if (registry[i].init)
            registry[i].init();
        g_pfnIdct = registry[i].transform;
        std::printf("  with %-18s %8.1f frames/s\n", registry[i].name, DecoderRate(memory, std::max(1, runs / 2)));
    }
    g_pfnIdct = installed;
    return 0;
}
