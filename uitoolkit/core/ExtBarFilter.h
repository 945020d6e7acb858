// The bar registry's bookkeeping and the filter of the frame-bar query,
// kept apart from windows so that both run natively: the registry keeps
// bars in construction order, and the filter decides from what a caller
// found out about one bar whether the query keeps it.
#pragma once

#include "framework/core/CArray.h"
#include "framework/core/CCriticalSection.h"

#include <cstdint>

namespace kxbars
{

// The frame-side dock bar ids a bar can be held by.
enum : unsigned
{
    DockIdTop = 59419,
    DockIdLeft = 59420,
    DockIdRight = 59421,
    DockIdBottom = 59422,
    DockIdFloating = 59423,
};

// Appends under the lock.
template <class TBar>
void RegistryAdd(CArray<TBar*, TBar*>& arrBars, CCriticalSection& cs, TBar* pBar)
{
    CSingleLock lock(&cs, TRUE);
    arrBars.Add(pBar);
}

// Takes the bar out under the lock; the entries behind it move up.
template <class TBar>
void RegistryRemove(CArray<TBar*, TBar*>& arrBars, CCriticalSection& cs, TBar* pBar)
{
    CSingleLock lock(&cs, TRUE);
    for (INT_PTR i = 0; i < arrBars.GetSize(); ++i)
    {
        if (arrBars[i] == pBar)
        {
            arrBars.RemoveAt(i);
            return;
        }
    }
}

// A copy taken under the lock, for walks that send window messages.
template <class TBar>
void RegistrySnapshot(const CArray<TBar*, TBar*>& arrBars, CCriticalSection& cs, CArray<TBar*, TBar*>& arrOut)
{
    CSingleLock lock(&cs, TRUE);
    arrOut.Copy(arrBars);
}

// Whether the bar is still listed (a bar copied out may be gone since).
template <class TBar>
bool RegistryContains(const CArray<TBar*, TBar*>& arrBars, CCriticalSection& cs, TBar* pBar)
{
    CSingleLock lock(&cs, TRUE);
    for (INT_PTR i = 0; i < arrBars.GetSize(); ++i)
        if (arrBars[i] == pBar)
            return true;
    return false;
}

// Bits of the frame-bar query's filter.
enum : uint32_t
{
    FilterFixed = 0x1,
    FilterResizableMinimal = 0x2,
    FilterResizableNormal = 0x4,
    FilterDockedTop = 0x8,
    FilterDockedBottom = 0x10,
    FilterDockedLeft = 0x20,
    FilterDockedRight = 0x40,
    FilterFloating = 0x80,
    FilterBarVisible = 0x100,
    FilterBarHidden = 0x200,
    FilterWndVisible = 0x400,
    FilterWndHidden = 0x800,
    FilterEverything = 0xFFF,
    FilterPointFirst = 0x8000,
    FilterPointClient = 0x10000,
    FilterPointCaption = 0x20000,
};

// The hit-code bits and the WM_NCHITTEST codes they stand for.
struct HitCodeBit
{
    uint32_t nBit;
    int nHitCode;
};
extern const HitCodeBit g_arrHitCodeBits[13];
// Every hit-code bit at once.
uint32_t HitCodeMask();

// What the query found out about one bar. The point facts and the hit code
// are only read when the filter asks about the point.
struct BarFacts
{
    bool bFixed = false;
    bool bMinimalInRow = false;
    bool bBarVisible = false; // the bar's own visibility (a pending show counts)
    bool bWndVisible = false;
    bool bFloating = false;
    unsigned nDockBarId = 0; // the id of the dock bar that holds a docked bar
    bool bWindowHasPoint = false;
    bool bClientHasPoint = false;
    bool bCaptionHasPoint = false;
    int nHitCode = 0;
};

// False when the filter can keep no bar at all.
bool FilterCollectsAnything(uint32_t nFilter);
// Whether the filter asks for the bar's answer to WM_NCHITTEST.
bool FilterNeedsHitCode(uint32_t nFilter);
// Whether the first kept bar ends the walk.
bool FilterEndsAtFirst(uint32_t nFilter);
// Whether a bar with these facts is kept.
bool FilterKeeps(const BarFacts& facts, uint32_t nFilter);

} // namespace kxbars
