// What the processor can run, and a heap block aligned for SIMD loads.
#pragma once

#include "framework/core/AfxTypes.h"

#include <cstdint>

// Values of the processor feature word.
enum : DWORD
{
    kCpuHasCpuid = 3, // both low bits, always together
    kCpuMmx = 4,
    kCpuMmxExt = 8, // the integer part of SSE, or AMD's MMX extensions
    kCpuSse = 16,
    kCpuSse2 = 32,
    kCpu3dNow = 64,
    kCpu3dNowExt = 128,
};

// The four registers one CPUID leaf answers.
struct CpuidRegisters
{
    uint32_t eax, ebx, ecx, edx;
};

// Runs CPUID for a leaf; false when the processor has no CPUID instruction.
typedef bool (*CpuidFunction)(uint32_t leaf, CpuidRegisters& regs);

// The feature word as the given CPUID answers it (the real one at run time,
// a stand-in in tests).
DWORD CpuFeaturesFromCpuid(CpuidFunction cpuid);

// Detects the features afresh, stores the word in g_dwCpuFeatures and
// answers it.
DWORD GetCpuFeatures();

// Sets g_bMmx and g_bMmxExt from the processor; runs once among the start-up
// initialisers, before the IDCT registry is filled.
void InitCpuFlags();

extern DWORD g_dwCpuFeatures;
extern BYTE g_bMmx;
extern BYTE g_bMmxExt;

// A heap block whose usable start is a multiple of a power-of-two alignment.
// It only grows; every Resize clears the whole capacity.
class CAlignedBuffer
{
public:
    explicit CAlignedBuffer(WORD alignment, const DWORD& size = 0);
    ~CAlignedBuffer();
    CAlignedBuffer(const CAlignedBuffer&) = delete;
    CAlignedBuffer& operator=(const CAlignedBuffer&) = delete;

    // At least size usable bytes, all cleared; answers the aligned address, or
    // null for size 0 and when memory cannot be had (the buffer is then
    // empty: the old storage is gone too).
    BYTE* Resize(const DWORD& size);

    BYTE* GetData() const { return m_pStorage ? m_pStorage + m_nOffset : nullptr; }
    DWORD GetCapacity() const { return m_nCapacity; }
    WORD GetAlignment() const { return m_nAlignment; }

private:
    void Free();

    WORD m_nAlignment;
    DWORD m_nCapacity;
    BYTE* m_pStorage;
    DWORD m_nOffset;
};
