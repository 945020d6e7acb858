#include "VDS/source/Idct.h"

#include "Shared/platform/PlatformTime.h"
#include "VDS/source/CpuFeatures.h"

#include <cstdlib>
#include <mutex>

IdctInitFunction g_pfnIdctInit = nullptr;
IdctTransformFunction g_pfnIdct = nullptr;
IdctCleanupFunction g_pfnIdctCleanup = nullptr;

const IdctDescriptor g_builtinIdcts[7] = {
    {"AMD_x87_iDCT", InitX87Idct, X87Idct, nullptr, kIdctClassAny | kIdctClassFloat},
    {"AMD_3D_NOW_iDCT", Init3dNowIdct, Amd3dNowIdct, nullptr, kIdctClassAny | kIdctClassFloat | kIdctNeeds3dNow},
    {"FAST_iDCT", InitFastIdct, FastIdct, nullptr, kIdctClassAny | kIdctClassFixed},
    {"MMX_iDCT", nullptr, MmxIdct, nullptr, kIdctClassAny | kIdctClassFixed | kIdctNeedsMmx},
    {"Ref_iDCT", InitRefIdct, RefIdct, nullptr, kIdctClassAny | kIdctClassFloat},
    {"Fast_SSE2_iDCT", nullptr, FastSse2Idct, nullptr, kIdctClassAny | kIdctClassFixed | kIdctNeedsSse2},
    {"RefLow_SSE2_iDCT", InitRefLowSse2Idct, RefLowSse2Idct, nullptr, kIdctClassAny | kIdctClassFloat | kIdctNeedsSse2},
};

namespace
{

std::mutex s_selectLock;

void RunInstalledCleanup()
{
    if (g_pfnIdctCleanup)
        g_pfnIdctCleanup();
}

uint64_t ReadCounter()
{
    return kx::MonotonicTicks();
}

} // namespace

bool RegisterIdct(CGrowArray<IdctDescriptor>& registry, const IdctDescriptor* descriptor, DWORD features)
{
    DWORD needed = descriptor->flags & kIdctFeatureMask;
    if (needed != 0 && (needed & (features >> 2)) == 0)
        return false;
    registry.Add(*descriptor);
    return true;
}

void RegisterBuiltinIdcts(CGrowArray<IdctDescriptor>& registry, DWORD features)
{
    for (const IdctDescriptor& d : g_builtinIdcts)
        RegisterIdct(registry, &d, features);
}

const CGrowArray<IdctDescriptor>& GetIdctRegistry()
{
    // Filled on first use rather than by one static object per file: the
    // linker drops unreferenced objects of a static library and orders the
    // rest at will, and the order of registration decides ties.
    static CGrowArray<IdctDescriptor> registry;
    static std::once_flag once;
    std::call_once(once,
                   []
                   {
                       RegisterBuiltinIdcts(registry, GetCpuFeatures());
                       std::atexit(RunInstalledCleanup);
                   });
    return registry;
}

void FillIdctBenchmarkBlocks(int16_t* coefficients)
{
    uint32_t x = 1;
    for (int i = 0; i < kIdctBenchmarkCoefficients; ++i)
    {
        x = x * 1103515245u + 12345u;
        uint32_t v = x & 0x7FFFFFFEu;
        coefficients[i] = int16_t(uint64_t(v) * 2049 >> 31);
    }
}

int32_t ChooseIdct(const CGrowArray<IdctDescriptor>& registry, int16_t* coefficients, IdctCounterFunction counter)
{
    int64_t bestTime = INT64_MAX;
    int32_t best = -1;
    for (int32_t i = 0; coefficients && i < registry.GetSize(); ++i)
    {
        const IdctDescriptor& d = registry[i];
        uint64_t start, end;
        try
        {
            if (d.init)
                d.init();
            start = counter();
            for (int block = 0; block < kIdctBenchmarkBlocks; ++block)
                for (int n = 0; n < 64; ++n)
                    d.transform(coefficients + 64 * block);
            end = counter();
            if (d.cleanup)
                d.cleanup();
        }
        catch (...)
        {
            continue;
        }
        if (end == 0)
            break;
        int64_t elapsed = int64_t(end - start);
        if (elapsed < bestTime)
        {
            bestTime = elapsed;
            best = i;
        }
    }
    if (best >= 0)
        return best;
    for (int32_t i = 0; i < registry.GetSize(); ++i)
        if (registry[i].flags & kIdctNeedsMmx)
            return i;
    return 0;
}

void SelectFastestIdct()
{
    std::lock_guard<std::mutex> hold(s_selectLock);
    if (g_pfnIdct)
        return;
    const CGrowArray<IdctDescriptor>& registry = GetIdctRegistry();
    CAlignedBuffer buffer(16, DWORD(kIdctBenchmarkCoefficients * sizeof(int16_t)));
    int16_t* coefficients = reinterpret_cast<int16_t*>(buffer.GetData());
    if (coefficients)
        FillIdctBenchmarkBlocks(coefficients);
    const IdctDescriptor& chosen = registry[ChooseIdct(registry, coefficients, ReadCounter)];
    g_pfnIdctInit = chosen.init;
    g_pfnIdctCleanup = chosen.cleanup;
    if (chosen.init)
        chosen.init();
    g_pfnIdct = chosen.transform;
}
