#include "VDS/source/CpuFeatures.h"

#include <cstdlib>
#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

DWORD g_dwCpuFeatures = 0;
BYTE g_bMmx = 0;
BYTE g_bMmxExt = 0;

namespace
{

bool RealCpuid(uint32_t leaf, CpuidRegisters& regs)
{
#if defined(__i386__) || defined(__x86_64__)
    // __get_cpuid checks the highest leaf itself and would hide leaf 0's
    // answer, so the basic and extended maxima are asked for directly.
    if (!__get_cpuid_max(0, nullptr))
        return false;
    __cpuid(leaf, regs.eax, regs.ebx, regs.ecx, regs.edx);
    return true;
#else
    (void)leaf;
    (void)regs;
    return false;
#endif
}

} // namespace

DWORD CpuFeaturesFromCpuid(CpuidFunction cpuid)
{
    CpuidRegisters regs = {};
    if (!cpuid(0, regs))
        return 0;
    DWORD word = kCpuHasCpuid;
    if (regs.eax == 0)
        return word;
    cpuid(1, regs);
    if (regs.edx & (1u << 23))
        word |= kCpuMmx;
    if (regs.edx & (1u << 25))
        word |= kCpuMmxExt | kCpuSse;
    if (regs.edx & (1u << 26))
        word |= kCpuSse2;
    cpuid(0x80000000u, regs);
    if (regs.eax < 0x80000001u)
        return word;
    cpuid(0x80000001u, regs);
    if (regs.edx & (1u << 31))
        word |= kCpu3dNow;
    if (regs.edx & (1u << 30))
        word |= kCpu3dNowExt;
    if (regs.edx & (1u << 22))
        word |= kCpuMmxExt;
    return word;
}

DWORD GetCpuFeatures()
{
    // Both builds run where the system saves the SSE registers (x86-64
    // always does), so reported SSE is usable SSE and needs no probe.
    g_dwCpuFeatures = CpuFeaturesFromCpuid(RealCpuid);
    return g_dwCpuFeatures;
}

void InitCpuFlags()
{
    DWORD word = GetCpuFeatures();
    g_bMmx = (word & kCpuMmx) ? 1 : 0;
    g_bMmxExt = (word & kCpuMmxExt) ? 1 : 0;
}

CAlignedBuffer::CAlignedBuffer(WORD alignment, const DWORD& size)
    : m_nAlignment(alignment ? alignment : 1), m_nCapacity(0), m_pStorage(nullptr), m_nOffset(0)
{
    if (size != 0)
        Resize(size);
}

CAlignedBuffer::~CAlignedBuffer()
{
    Free();
}

void CAlignedBuffer::Free()
{
    std::free(m_pStorage);
    m_pStorage = nullptr;
    m_nCapacity = 0;
    m_nOffset = 0;
}

BYTE* CAlignedBuffer::Resize(const DWORD& size)
{
    if (size == 0)
    {
        Free();
        return nullptr;
    }
    if (size > m_nCapacity)
    {
        // The content is cleared below anyway, so a fresh block serves as well
        // as a reallocation and leaves nothing behind when it fails.
        Free();
        uint64_t bytes = uint64_t(m_nAlignment) + size;
        if (bytes > SIZE_MAX)
            return nullptr;
        m_pStorage = static_cast<BYTE*>(std::malloc(size_t(bytes)));
        if (!m_pStorage)
            return nullptr;
        uintptr_t address = reinterpret_cast<uintptr_t>(m_pStorage);
        m_nOffset = DWORD((m_nAlignment - address % m_nAlignment) % m_nAlignment);
        m_nCapacity = size;
    }
    BYTE* data = m_pStorage + m_nOffset;
    std::memset(data, 0, m_nCapacity);
    return data;
}

namespace
{

// The start-up flags exist before any other initialiser of the engine asks.
const bool s_bCpuFlagsReady = (InitCpuFlags(), true);

} // namespace
