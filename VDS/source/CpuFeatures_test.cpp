#include "VDS/source/CpuFeatures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace
{

// The CPUID answers of one stand-in processor, EDX by leaf; leaves 0 and
// 0x80000000 answer their maximum in EAX.
struct FakeCpu
{
    bool hasCpuid;
    uint32_t maxBasic;
    uint32_t edx1;
    uint32_t maxExtended;
    uint32_t edxExt;
};

const FakeCpu* g_cpu = nullptr;

bool FakeCpuid(uint32_t leaf, CpuidRegisters& regs)
{
    if (!g_cpu->hasCpuid)
        return false;
    regs = CpuidRegisters();
    switch (leaf)
    {
    case 0: regs.eax = g_cpu->maxBasic; break;
    case 1: regs.edx = g_cpu->edx1; break;
    case 0x80000000u: regs.eax = g_cpu->maxExtended; break;
    case 0x80000001u: regs.edx = g_cpu->edxExt; break;
    }
    return true;
}

constexpr uint32_t kBit(int n)
{
    return 1u << n;
}

TEST(CpuFeatures, WordFromCpuidAnswers)
{
    struct Case
    {
        const char* name;
        FakeCpu cpu;
        DWORD expected;
    };
    const Case cases[] = {
        {"no CPUID", {false, 0, 0, 0, 0}, 0},
        {"highest basic leaf 0", {true, 0, kBit(23) | kBit(25), 0x80000001u, kBit(31)}, 3},
        {"MMX only, no extended leaves", {true, 1, kBit(23), 0x80000000u, kBit(31)}, 3 | 4},
        {"SSE2 processor", {true, 13, kBit(23) | kBit(25) | kBit(26), 0x80000008u, 0}, 3 | 4 | 8 | 16 | 32},
        {"K6-2: MMX and 3DNow!", {true, 1, kBit(23), 0x80000001u, kBit(31)}, 3 | 4 | 64},
        {"Athlon: AMD MMX extensions, 3DNow! and its extensions",
         {true, 1, kBit(23), 0x80000001u, kBit(22) | kBit(30) | kBit(31)},
         3 | 4 | 8 | 64 | 128},
        {"extended maximum below 0x80000001", {true, 1, kBit(23), 0x7FFFFFFFu, kBit(31)}, 3 | 4},
    };
    for (const Case& c : cases)
    {
        g_cpu = &c.cpu;
        EXPECT_EQ(c.expected, CpuFeaturesFromCpuid(FakeCpuid)) << c.name;
    }
    g_cpu = nullptr;
}

TEST(CpuFeatures, StartupFlagsFollowTheWord)
{
    DWORD word = GetCpuFeatures();
    EXPECT_EQ(word, g_dwCpuFeatures);
    EXPECT_EQ((word & kCpuMmx) ? 1 : 0, g_bMmx);
    EXPECT_EQ((word & kCpuMmxExt) ? 1 : 0, g_bMmxExt);
#if defined(__x86_64__)
    EXPECT_EQ(DWORD(kCpuHasCpuid | kCpuMmx | kCpuSse2), word & (kCpuHasCpuid | kCpuMmx | kCpuSse2));
#endif
}

TEST(AlignedBuffer, SizeZeroOnAnEmptyBufferStaysEmpty)
{
    CAlignedBuffer buffer(16);
    EXPECT_EQ(nullptr, buffer.Resize(0));
    EXPECT_EQ(nullptr, buffer.GetData());
    EXPECT_EQ(0u, buffer.GetCapacity());
}

TEST(AlignedBuffer, AlignedWhateverTheHeapReturns)
{
    // Many live blocks of odd sizes give the heap every chance to hand out
    // addresses that are not multiples of 256.
    CAlignedBuffer* buffers[40];
    for (int i = 0; i < 40; ++i)
    {
        buffers[i] = new CAlignedBuffer(256, DWORD(1 + 37 * i));
        ASSERT_NE(nullptr, buffers[i]->GetData());
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(buffers[i]->GetData()) % 256) << i;
        EXPECT_EQ(DWORD(1 + 37 * i), buffers[i]->GetCapacity());
    }
    for (CAlignedBuffer* b : buffers)
        delete b;
}

TEST(AlignedBuffer, SmallerSizeKeepsAddressAndClearsWholeCapacity)
{
    CAlignedBuffer buffer(16, 1000);
    BYTE* data = buffer.GetData();
    ASSERT_NE(nullptr, data);
    std::memset(data, 0xAB, 1000);
    EXPECT_EQ(data, buffer.Resize(10));
    EXPECT_EQ(1000u, buffer.GetCapacity());
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(0, data[i]) << i;

    BYTE* grown = buffer.Resize(5000);
    ASSERT_NE(nullptr, grown);
    EXPECT_EQ(5000u, buffer.GetCapacity());
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(grown) % 16);
    EXPECT_EQ(nullptr, buffer.Resize(0));
    EXPECT_EQ(0u, buffer.GetCapacity());
}

} // namespace
