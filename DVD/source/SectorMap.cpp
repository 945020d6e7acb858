#include "DVD/source/SectorMap.h"

namespace
{

// Many cuts in one domain would otherwise reallocate for every range.
const int32_t SECTOR_MAP_GROW_BY = 1000;

DWORD RemovedIn(const CSectorRange& r)
{
    return r.last - r.first + 1 - r.kept;
}

} // namespace

CSectorMap::CSectorMap() : m_nCursor(0), m_nCurrent(0)
{
    m_ranges.SetGrowBy(SECTOR_MAP_GROW_BY);
}

size_t CSectorMap::GetMemorySize() const
{
    return m_ranges.GetMemorySize();
}

void CSectorMap::Reset()
{
    m_ranges.SetSize(0);
    m_nCursor = 0;
    m_nCurrent = 0;
}

CSectorRange& CSectorMap::AddRange(const CSectorRange& range)
{
    int32_t n = m_ranges.GetSize();
    if (n > 0 && range.first == m_ranges[n - 1].last + 1)
    {
        CSectorRange& last = m_ranges[n - 1];
        last.last = range.last;
        last.kept += range.kept;
        return last;
    }
    return m_ranges[m_ranges.Add(range)];
}

void CSectorMap::SetPosition(DWORD nSector)
{
    m_nCurrent = nSector;
    DWORD n = (DWORD)m_ranges.GetSize();
    while (m_nCursor < n && m_ranges[(int32_t)m_nCursor].first < nSector)
        m_nCursor++;
}

DWORD CSectorMap::GetRemovedAfter() const
{
    DWORD removed = 0;
    for (int32_t i = (int32_t)m_nCursor; i < m_ranges.GetSize(); i++)
        removed += RemovedIn(m_ranges[i]);
    return removed;
}

DWORD CSectorMap::MapForwardOffset(DWORD n) const
{
    DWORD target = m_nCurrent + n;
    DWORD removed = 0;
    for (int32_t i = (int32_t)m_nCursor; i < m_ranges.GetSize() && m_ranges[i].first <= target; i++)
    {
        const CSectorRange& r = m_ranges[i];
        removed += RemovedIn(r);
        if (r.last > target)
            removed -= r.last - target;
    }
    return n - removed;
}

DWORD CSectorMap::MapBackwardOffset(DWORD n) const
{
    DWORD target = m_nCurrent - n;
    DWORD removed = 0;
    for (int32_t i = (int32_t)m_nCursor - 1; i >= 0 && m_ranges[i].last >= target; i--)
    {
        const CSectorRange& r = m_ranges[i];
        removed += RemovedIn(r);
        if (r.first < target)
            removed -= target - r.first;
    }
    return n - removed;
}
