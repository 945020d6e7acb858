// Times the seven IDCT implementations, the start-up benchmark that chooses
// among them, and the 4:2:0 to RGB conversion of a PAL frame. Run by hand:
//
//   build/linux/tests/bench/kx_idct_bench
//
// Each transform is also given as a ratio to Ref_iDCT, timed in the same run.

#include "Shared/platform/PlatformTime.h"
#include "VDS/source/ColorConvert.h"
#include "VDS/source/CpuFeatures.h"
#include "VDS/source/Idct.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace
{

double Seconds(uint64_t ticks)
{
    return double(ticks) / double(kx::MonotonicFrequency());
}

// Nanoseconds per block: the best of several rounds (the machine may be
// busy with other work), each round transforming every block of the
// benchmark's set once per pass from a fresh copy.
double NsPerBlock(IdctTransformFunction transform)
{
    CAlignedBuffer source(16, DWORD(kIdctBenchmarkCoefficients * sizeof(int16_t)));
    CAlignedBuffer work(16, DWORD(kIdctBenchmarkCoefficients * sizeof(int16_t)));
    int16_t* blocks = reinterpret_cast<int16_t*>(source.GetData());
    int16_t* w = reinterpret_cast<int16_t*>(work.GetData());
    FillIdctBenchmarkBlocks(blocks);
    // Keep the blocks in the range the decoder hands over.
    for (int i = 0; i < kIdctBenchmarkCoefficients; ++i)
        blocks[i] = int16_t(blocks[i] - 1024);
    const int rounds = 9, passes = 40;
    double best = 1e30;
    for (int round = 0; round < rounds; ++round)
    {
        uint64_t elapsed = 0;
        for (int pass = 0; pass < passes; ++pass)
        {
            std::memcpy(w, blocks, kIdctBenchmarkCoefficients * sizeof(int16_t));
            uint64_t start = kx::MonotonicTicks();
            for (int b = 0; b < kIdctBenchmarkBlocks; ++b)
                transform(w + 64 * b);
            elapsed += kx::MonotonicTicks() - start;
        }
        double ns = Seconds(elapsed) * 1e9 / (double(passes) * kIdctBenchmarkBlocks);
        if (ns < best)
            best = ns;
    }
    return best;
}

} // namespace

int main()
{
    std::printf("processor features: 0x%02X\n", unsigned(GetCpuFeatures()));
    for (const IdctDescriptor& d : g_builtinIdcts)
        if (d.init)
            d.init();

    NsPerBlock(RefIdct); // warms the caches and the clock up
    double ns[7], reference = 0.0;
    for (int i = 0; i < 7; ++i)
    {
        ns[i] = NsPerBlock(g_builtinIdcts[i].transform);
        if (g_builtinIdcts[i].transform == RefIdct)
            reference = ns[i];
    }
    std::printf("\n%-20s %12s %14s\n", "transform", "ns/block", "vs Ref_iDCT");
    for (int i = 0; i < 7; ++i)
        std::printf("%-20s %12.1f %13.2fx\n", g_builtinIdcts[i].name, ns[i], reference / ns[i]);

    uint64_t start = kx::MonotonicTicks();
    SelectFastestIdct();
    double selectMs = Seconds(kx::MonotonicTicks() - start) * 1e3;
    const char* chosen = "?";
    const CGrowArray<IdctDescriptor>& registry = GetIdctRegistry();
    for (int32_t i = 0; i < registry.GetSize(); ++i)
        if (registry[i].transform == g_pfnIdct)
            chosen = registry[i].name;
    std::printf("\nstart-up benchmark: %.2f ms over %d registered, installed %s\n", selectMs, registry.GetSize(),
                chosen);

    const DWORD w = 720, h = 576;
    std::vector<BYTE> yuv(w * h * 3 / 2), rgb(w * h * 4);
    for (size_t i = 0; i < yuv.size(); ++i)
        yuv[i] = BYTE(16 + (i * 7) % 220);
    const BYTE* y = yuv.data();
    const BYTE* v = y + w * h;
    const BYTE* u = v + (w / 2) * (h / 2);
    for (bool progressive : {true, false})
    {
        double best = 1e30;
        for (int frame = 0; frame < 50; ++frame)
        {
            start = kx::MonotonicTicks();
            ConvertYuvToRgb32(y, u, v, rgb.data(), w * 4, w, h, w, w / 2, progressive);
            double ms = Seconds(kx::MonotonicTicks() - start) * 1e3;
            if (ms < best)
                best = ms;
        }
        std::printf("ConvertYuvToRgb32 720x576 %s: %.3f ms per frame (best of 50)\n",
                    progressive ? "progressive" : "field", best);
    }
    return 0;
}
