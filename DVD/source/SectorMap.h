// Which runs of source sectors an output domain dropped or shrank, and the
// output distance that a relative sector address of a navigation pack becomes.
#pragma once

#include "Shared/source/DvdArray.h"
#include "framework/core/AfxTypes.h"

#include <cstddef>

// A run of source sectors that became kept output sectors; the run removed
// (last - first + 1) - kept sectors.
struct CSectorRange
{
    DWORD first; // first source sector
    DWORD last;  // last source sector, inclusive
    DWORD kept;  // output sectors the run became
};

class CSectorMap
{
public:
    CSectorMap();
    virtual ~CSectorMap() {}
    virtual size_t GetMemorySize() const;

    // Forgets every range but keeps the storage for the next domain.
    void Reset();
    // Ranges come in increasing source order; one that starts right after the
    // last range extends it.
    CSectorRange& AddRange(const CSectorRange& range);
    // Moves to the source sector of the next NAV pack; positions only grow.
    void SetPosition(DWORD nSector);

    // Sectors removed from the current position to the end of the domain.
    DWORD GetRemovedAfter() const;
    // The output distance of n source sectors ahead of or behind the current
    // sector. Only distances whose target lies inside the domain make sense.
    DWORD MapForwardOffset(DWORD n) const;
    DWORD MapBackwardOffset(DWORD n) const;

    int32_t GetRangeCount() const { return m_ranges.GetSize(); }
    const CSectorRange& GetRange(int32_t i) const { return m_ranges[i]; }

private:
    CGrowArray<CSectorRange> m_ranges;
    DWORD m_nCursor;  // first range that starts at or after the current sector
    DWORD m_nCurrent; // source sector of the NAV pack being rewritten
};
