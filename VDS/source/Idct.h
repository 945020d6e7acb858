// The 8x8 inverse DCT of the video decoder: seven implementations, the ones
// this processor runs registered at first use, and a start-up benchmark that
// installs the fastest in g_pfnIdct.
//
// Block contract of every transform: 64 signed 16-bit values in row-major
// order at a 16-byte aligned address; in: dequantised coefficients
// F(v, u) at 8v + u in -2048..2047; out: samples f(y, x) at 8y + x, clamped
// to -256..255 except by MMX_iDCT (saturated at 16 bits) and Fast_SSE2_iDCT
// (wrapped at 16 bits), whose results the decoder adds with saturation.
#pragma once

#include "Shared/source/DvdArray.h"
#include "framework/core/AfxTypes.h"

#include <cstdint>

typedef void (*IdctInitFunction)();
typedef void (*IdctTransformFunction)(int16_t* block);
typedef void (*IdctCleanupFunction)();

// Bits of IdctDescriptor::flags: the features needed (the feature word's
// values divided by four), then the class.
enum : DWORD
{
    kIdctNeedsMmx = 1,
    kIdctNeedsSse = 4,
    kIdctNeedsSse2 = 8,
    kIdctNeeds3dNow = 16,
    kIdctNeeds3dNowExt = 32,
    kIdctFeatureMask = 0x3F,
    kIdctClassAny = 0x40,
    kIdctClassFloat = 0x80,
    kIdctClassFixed = 0x100,
};

struct IdctDescriptor
{
    char name[32];
    IdctInitFunction init; // builds the tables the transform reads; may run again
    IdctTransformFunction transform;
    IdctCleanupFunction cleanup;
    DWORD flags;
};

// The installed transform; null until SelectFastestIdct has run.
extern IdctInitFunction g_pfnIdctInit;
extern IdctTransformFunction g_pfnIdct;
extern IdctCleanupFunction g_pfnIdctCleanup;

// The seven implementations in registration order.
extern const IdctDescriptor g_builtinIdcts[7];

// Appends a copy of the descriptor when the feature word (of the processor,
// as GetCpuFeatures answers it) has one of the features it needs.
bool RegisterIdct(CGrowArray<IdctDescriptor>& registry, const IdctDescriptor* descriptor, DWORD features);
// The built-in descriptors in their order, for a feature word.
void RegisterBuiltinIdcts(CGrowArray<IdctDescriptor>& registry, DWORD features);
// The process-wide registry, filled for this processor on first use.
const CGrowArray<IdctDescriptor>& GetIdctRegistry();

// A high-resolution counter; 0 means it cannot be read.
typedef uint64_t (*IdctCounterFunction)();

enum
{
    kIdctBenchmarkBlocks = 250,
    kIdctBenchmarkCoefficients = 64 * kIdctBenchmarkBlocks,
};

// The benchmark's coefficients, 0..2048 from a linear congruential generator.
void FillIdctBenchmarkBlocks(int16_t* coefficients);
// Times every registered transform on the coefficients (none: the buffer
// could not be had) and answers the index to install: the fastest, the first
// on equal times; without timing the first that needs MMX, else the first.
int32_t ChooseIdct(const CGrowArray<IdctDescriptor>& registry, int16_t* coefficients, IdctCounterFunction counter);
// Benchmarks the registry of this processor and installs its choice, unless a
// transform is installed already.
void SelectFastestIdct();

// The transforms, for direct calls.
void InitRefIdct();
void RefIdct(int16_t* block);
void InitX87Idct();
void X87Idct(int16_t* block);
void InitRefLowSse2Idct();
void RefLowSse2Idct(int16_t* block);
void Init3dNowIdct();
void Amd3dNowIdct(int16_t* block);
void InitFastIdct();
void FastIdct(int16_t* block);
void MmxIdct(int16_t* block);
void FastSse2Idct(int16_t* block);
// Row table m (1..4) of Fast_SSE2_iDCT: 32 values.
const int16_t* FastSse2RowTable(int m);
