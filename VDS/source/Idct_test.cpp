#include "VDS/source/Idct.h"
#include "VDS/source/CpuFeatures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace
{

void InitAll()
{
    for (const IdctDescriptor& d : g_builtinIdcts)
        if (d.init)
            d.init();
}

struct Block
{
    alignas(16) int16_t v[64];
};

Block Transformed(const IdctDescriptor& d, const Block& in)
{
    Block b = in;
    d.transform(b.v);
    return b;
}

bool Clamps(const IdctDescriptor& d)
{
    return std::strcmp(d.name, "MMX_iDCT") != 0 && std::strcmp(d.name, "Fast_SSE2_iDCT") != 0;
}

TEST(Idct, SimpleBlocksInEveryImplementation)
{
    InitAll();
    struct Case
    {
        const char* name;
        int index;
        int value;
        // expected sample at (y, x): per column for F(0,1), per row for F(1,0)
        int dcClamped, dcUnclamped;
    };
    for (const IdctDescriptor& d : g_builtinIdcts)
    {
        Block zero = {};
        Block out = Transformed(d, zero);
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(0, out.v[i]) << d.name;

        const int dcCases[][3] = {{8, 1, 1}, {1000, 125, 125}, {4000, 255, 500}};
        for (const auto& c : dcCases)
        {
            Block dc = {};
            dc.v[0] = int16_t(c[0]);
            out = Transformed(d, dc);
            int expected = Clamps(d) ? c[1] : c[2];
            for (int i = 0; i < 64; ++i)
                ASSERT_EQ(expected, out.v[i]) << d.name << " d=" << c[0] << " at " << i;
        }

        const int across[8] = {17, 15, 10, 3, -3, -10, -15, -17};
        Block horizontal = {};
        horizontal.v[1] = 100; // F(0, 1)
        out = Transformed(d, horizontal);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_NEAR(across[x], out.v[8 * y + x], 1) << d.name << " F(0,1) at " << y << "," << x;
        for (int y = 1; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(out.v[x], out.v[8 * y + x]) << d.name << " rows differ";

        Block vertical = {};
        vertical.v[8] = 100; // F(1, 0)
        Block down = Transformed(d, vertical);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(out.v[y], down.v[8 * y + x]) << d.name << " F(1,0) at " << y << "," << x;
    }
}

// The random generator and the forward transform of IEEE Std 1180-1990.
class Ieee1180
{
public:
    int Random(int low, int high)
    {
        m_x = m_x * 1103515245u + 12345u; // 32-bit arithmetic, as the standard's long
        uint32_t i = m_x & 0x7FFFFFFEu;
        double x = double(i) / double(0x7FFFFFFF) * (low + high + 1);
        return int(x) - low;
    }

    // In double precision, separably, then rounded and clipped.
    static void ForwardDct(const int in[64], int16_t out[64])
    {
        static double basis[8][8]; // C(u)/2 cos((2x + 1) u pi / 16)
        if (basis[1][0] == 0.0)
        {
            const double pi = 3.14159265358979323846;
            for (int u = 0; u < 8; ++u)
                for (int x = 0; x < 8; ++x)
                    basis[u][x] = (u == 0 ? std::sqrt(0.5) : 1.0) / 2 * std::cos((2 * x + 1) * u * pi / 16);
        }
        double t[8][8];
        for (int y = 0; y < 8; ++y)
            for (int u = 0; u < 8; ++u)
            {
                double s = 0.0;
                for (int x = 0; x < 8; ++x)
                    s += in[8 * y + x] * basis[u][x];
                t[y][u] = s;
            }
        for (int v = 0; v < 8; ++v)
            for (int u = 0; u < 8; ++u)
            {
                double s = 0.0;
                for (int y = 0; y < 8; ++y)
                    s += basis[v][y] * t[y][u];
                int r = int(std::floor(s + 0.5));
                out[8 * v + u] = int16_t(r < -2048 ? -2048 : r > 2047 ? 2047 : r);
            }
    }

private:
    uint32_t m_x = 1;
};

const IdctDescriptor& Builtin(const char* name)
{
    for (const IdctDescriptor& d : g_builtinIdcts)
        if (std::strcmp(d.name, name) == 0)
            return d;
    throw std::string(name);
}

TEST(Idct, AccuracyAgainstTheReferenceOnIeee1180Blocks)
{
    InitAll();
    const char* fixed[] = {"FAST_iDCT", "MMX_iDCT", "Fast_SSE2_iDCT"};
    const char* floats[] = {"AMD_x87_iDCT", "AMD_3D_NOW_iDCT", "RefLow_SSE2_iDCT"};
    const int ranges[][2] = {{256, 255}, {5, 5}, {300, 300}};
    const IdctDescriptor& ref = Builtin("Ref_iDCT");
    double errorSum[3] = {}, squareSum[3] = {};
    long long samples = 0;
    for (const auto& range : ranges)
        for (int sign : {1, -1})
        {
            Ieee1180 gen;
            for (int n = 0; n < 10000; ++n)
            {
                int pixels[64];
                for (int& p : pixels)
                    p = sign * gen.Random(range[0], range[1]);
                Block coefficients;
                Ieee1180::ForwardDct(pixels, coefficients.v);
                Block expected = Transformed(ref, coefficients);
                for (int k = 0; k < 3; ++k)
                {
                    Block got = Transformed(Builtin(fixed[k]), coefficients);
                    for (int i = 0; i < 64; ++i)
                    {
                        int g = got.v[i] < -256 ? -256 : got.v[i] > 255 ? 255 : got.v[i];
                        int e = g - expected.v[i];
                        ASSERT_LE(std::abs(e), 1) << fixed[k] << " block " << n << " sample " << i;
                        errorSum[k] += e;
                        squareSum[k] += e * e;
                    }
                }
                for (const char* name : floats)
                {
                    Block got = Transformed(Builtin(name), coefficients);
                    for (int i = 0; i < 64; ++i)
                        ASSERT_LE(std::abs(got.v[i] - expected.v[i]), 1) << name << " block " << n;
                }
                samples += 64;
            }
        }
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_LT(squareSum[k] / samples, 0.015) << fixed[k];
        EXPECT_LT(std::fabs(errorSum[k] / samples), 0.001) << fixed[k];
    }
}

TEST(Idct, Sse2RowTables)
{
    const int16_t table4[32] = {16384,  21407,  16384, 8867,  16384,  -8867,  16384, -21407, 16384, 8867,  -16384,
                                -21407, -16384, 21407, 16384, -8867,  22725,  19266, 19266,  -4520, 12873, -22725,
                                4520,   -12873, 12873, 4520,  -22725, -12873, 4520,  19266,  19266, -22725};
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(table4[i], FastSse2RowTable(4)[i]) << i;
    EXPECT_EQ(22725, FastSse2RowTable(1)[0]);
    EXPECT_EQ(29692, FastSse2RowTable(1)[1]);
}

TEST(IdctRegistry, BenchmarkCoefficients)
{
    std::vector<int16_t> c(kIdctBenchmarkCoefficients);
    FillIdctBenchmarkBlocks(c.data());
    EXPECT_EQ(1052, c[0]);
    EXPECT_EQ(360, c[1]);
    EXPECT_EQ(632, c[2]);
    EXPECT_EQ(1095, c[3]);
    EXPECT_EQ(1941, c[4]);
    for (int16_t v : c)
        ASSERT_TRUE(v >= 0 && v <= 2048);
}

std::vector<std::string> Names(const CGrowArray<IdctDescriptor>& registry)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < registry.GetSize(); ++i)
        names.push_back(registry[i].name);
    return names;
}

TEST(IdctRegistry, RegistrationFollowsTheFeatureWord)
{
    struct Case
    {
        DWORD features;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {kCpuHasCpuid | kCpuMmx | kCpuMmxExt | kCpuSse | kCpuSse2,
         {"AMD_x87_iDCT", "FAST_iDCT", "MMX_iDCT", "Ref_iDCT", "Fast_SSE2_iDCT", "RefLow_SSE2_iDCT"}},
        {0, {"AMD_x87_iDCT", "FAST_iDCT", "Ref_iDCT"}},
        {kCpuHasCpuid | kCpuMmxExt | kCpuSse, {"AMD_x87_iDCT", "FAST_iDCT", "Ref_iDCT"}},
        {kCpuHasCpuid | kCpuMmx | kCpu3dNow, {"AMD_x87_iDCT", "AMD_3D_NOW_iDCT", "FAST_iDCT", "MMX_iDCT", "Ref_iDCT"}},
    };
    for (const Case& c : cases)
    {
        CGrowArray<IdctDescriptor> registry;
        RegisterBuiltinIdcts(registry, c.features);
        EXPECT_EQ(c.names, Names(registry)) << "features " << c.features;
        EXPECT_EQ(registry.GetSize(), registry.GetCapacity()); // grown one by one
    }
    // A descriptor needing several features registers with any one of them.
    IdctDescriptor both = {"both", nullptr, FastIdct, nullptr, kIdctNeedsSse | kIdctNeeds3dNowExt};
    CGrowArray<IdctDescriptor> registry;
    EXPECT_FALSE(RegisterIdct(registry, &both, kCpuMmx | kCpu3dNow));
    EXPECT_TRUE(RegisterIdct(registry, &both, kCpu3dNowExt));
    EXPECT_EQ(1, registry.GetSize());
}

// Stand-in transforms and counters for the selection.
int g_calls[4];
void CountA(int16_t*)
{
    ++g_calls[0];
}
void CountB(int16_t*)
{
    ++g_calls[1];
}
void CountC(int16_t*)
{
    ++g_calls[2];
}
void Faulting(int16_t*)
{
    throw 1;
}

// Answers the listed readings one after another (two per timed descriptor).
std::vector<uint64_t> g_readings;
size_t g_reading;
uint64_t ScriptedCounter()
{
    return g_reading < g_readings.size() ? g_readings[g_reading++] : 0;
}

int32_t Choose(const CGrowArray<IdctDescriptor>& registry, std::vector<uint64_t> readings, bool buffer = true)
{
    g_readings = std::move(readings);
    g_reading = 0;
    std::memset(g_calls, 0, sizeof(g_calls));
    std::vector<int16_t> c(kIdctBenchmarkCoefficients);
    return ChooseIdct(registry, buffer ? c.data() : nullptr, ScriptedCounter);
}

TEST(IdctRegistry, SelectionByTiming)
{
    CGrowArray<IdctDescriptor> registry;
    IdctDescriptor a = {"A", nullptr, CountA, nullptr, kIdctClassAny};
    IdctDescriptor b = {"B", nullptr, CountB, nullptr, kIdctClassAny | kIdctNeedsMmx};
    IdctDescriptor c = {"C", nullptr, CountC, nullptr, kIdctClassAny};
    RegisterIdct(registry, &a, 0);
    RegisterIdct(registry, &b, kCpuMmx);
    RegisterIdct(registry, &c, 0);

    EXPECT_EQ(1, Choose(registry, {10, 30, 100, 110, 200, 215}));
    EXPECT_EQ(kIdctBenchmarkCoefficients, g_calls[0]); // 64 calls on each of 250 blocks
    EXPECT_EQ(kIdctBenchmarkCoefficients, g_calls[2]);
    // Equal times: the first registered wins.
    EXPECT_EQ(0, Choose(registry, {10, 20, 30, 40, 50, 60}));
    // The counter reads 0 at the first descriptor: the first that needs MMX.
    EXPECT_EQ(1, Choose(registry, {10, 0}));
    EXPECT_EQ(0, g_calls[1]); // nothing timed after the counter failed
    // Later: the best timed so far.
    EXPECT_EQ(0, Choose(registry, {10, 15, 20, 0}));
    // No benchmark buffer: the same fallback, nothing run.
    EXPECT_EQ(1, Choose(registry, {10, 11, 12, 13, 14, 15}, false));
    EXPECT_EQ(0, g_calls[0]);

    // Without an MMX descriptor the fallback is the first one.
    CGrowArray<IdctDescriptor> plain;
    RegisterIdct(plain, &a, 0);
    RegisterIdct(plain, &c, 0);
    EXPECT_EQ(0, Choose(plain, {10, 0}));
}

TEST(IdctRegistry, FaultingTransformIsSkipped)
{
    CGrowArray<IdctDescriptor> registry;
    IdctDescriptor bad = {"bad", nullptr, Faulting, nullptr, kIdctClassAny};
    IdctDescriptor a = {"A", nullptr, CountA, nullptr, kIdctClassAny};
    RegisterIdct(registry, &bad, 0);
    RegisterIdct(registry, &a, 0);
    // The faulting one reads the counter once, then the good one is timed.
    EXPECT_EQ(1, Choose(registry, {1, 50, 60}));
}

TEST(IdctRegistry, InstalledTransformIsNotBenchmarkedAgain)
{
    SelectFastestIdct();
    ASSERT_NE(nullptr, g_pfnIdct);
    IdctTransformFunction chosen = g_pfnIdct;
    bool registered = false;
    for (int32_t i = 0; i < GetIdctRegistry().GetSize(); ++i)
        registered |= GetIdctRegistry()[i].transform == chosen;
    EXPECT_TRUE(registered);

    g_pfnIdct = CountA;
    std::memset(g_calls, 0, sizeof(g_calls));
    SelectFastestIdct();
    EXPECT_EQ(CountA, g_pfnIdct);
    EXPECT_EQ(0, g_calls[0]);
    g_pfnIdct = chosen;
}

} // namespace
