#include "uitoolkit/core/ExtBarFilter.h"

namespace kxbars
{

const HitCodeBit g_arrHitCodeBits[13] = {
    {0x40000, 10},    // HTLEFT
    {0x80000, 11},    // HTRIGHT
    {0x100000, 12},   // HTTOP
    {0x200000, 15},   // HTBOTTOM
    {0x400000, 13},   // HTTOPLEFT
    {0x800000, 14},   // HTTOPRIGHT
    {0x1000000, 16},  // HTBOTTOMLEFT
    {0x2000000, 17},  // HTBOTTOMRIGHT
    {0x4000000, 0},   // HTNOWHERE
    {0x10000000, 4},  // HTSIZE
    {0x20000000, 8},  // HTMINBUTTON
    {0x40000000, 9},  // HTMAXBUTTON
    {0x80000000u, 1}, // HTCLIENT
};

uint32_t HitCodeMask()
{
    uint32_t nMask = 0;
    for (const HitCodeBit& bit : g_arrHitCodeBits)
        nMask |= bit.nBit;
    return nMask;
}

bool FilterCollectsAnything(uint32_t nFilter)
{
    return (nFilter & 0x7) != 0 && (nFilter & 0x300) != 0 && (nFilter & 0xC00) != 0;
}

bool FilterNeedsHitCode(uint32_t nFilter)
{
    return (nFilter & FilterPointFirst) == 0 && (nFilter & HitCodeMask()) != 0;
}

bool FilterEndsAtFirst(uint32_t nFilter)
{
    return nFilter != FilterEverything && (nFilter & FilterPointFirst) != 0;
}

namespace
{

bool DockPasses(const BarFacts& facts, uint32_t nFilter)
{
    if (facts.bFloating)
        return (nFilter & FilterFloating) != 0;
    if ((nFilter & (FilterDockedTop | FilterDockedBottom | FilterDockedLeft | FilterDockedRight)) == 0)
        return false;
    switch (facts.nDockBarId)
    {
    case DockIdTop: return (nFilter & FilterDockedTop) != 0;
    case DockIdBottom: return (nFilter & FilterDockedBottom) != 0;
    case DockIdLeft: return (nFilter & FilterDockedLeft) != 0;
    case DockIdRight: return (nFilter & FilterDockedRight) != 0;
    default: return true;
    }
}

bool PointPasses(const BarFacts& facts, uint32_t nFilter)
{
    if ((nFilter & FilterPointFirst) != 0)
        return facts.bWindowHasPoint;
    const uint32_t nHitBits = nFilter & HitCodeMask();
    if ((nFilter & (FilterPointClient | FilterPointCaption)) == 0 && nHitBits == 0)
        return true;
    if (!facts.bWindowHasPoint)
        return false;
    if ((nFilter & FilterPointClient) != 0 && !facts.bClientHasPoint)
        return false;
    if ((nFilter & FilterPointCaption) != 0 && !facts.bCaptionHasPoint)
        return false;
    for (const HitCodeBit& bit : g_arrHitCodeBits)
        if ((nHitBits & bit.nBit) != 0 && facts.nHitCode != bit.nHitCode)
            return false;
    return true;
}

} // namespace

bool FilterKeeps(const BarFacts& facts, uint32_t nFilter)
{
    if (!FilterCollectsAnything(nFilter))
        return false;
    if (nFilter == FilterEverything)
        return true;
    if (facts.bFixed)
    {
        if ((nFilter & FilterFixed) == 0)
            return false;
    }
    else if (!((nFilter & FilterResizableMinimal) != 0 && facts.bMinimalInRow) &&
             !((nFilter & FilterResizableNormal) != 0 && !facts.bMinimalInRow))
        return false;
    if ((nFilter & (facts.bBarVisible ? FilterBarVisible : FilterBarHidden)) == 0)
        return false;
    if ((nFilter & (facts.bWndVisible ? FilterWndVisible : FilterWndHidden)) == 0)
        return false;
    return DockPasses(facts, nFilter) && PointPasses(facts, nFilter);
}

} // namespace kxbars
