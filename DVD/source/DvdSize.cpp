// The size of the disc an export writes: each domain's VOB data plus every
// IFO twice, for the IFO and its backup.
#include "DVD/source/DVD.h"

uint64_t CDvd::GetOutputSize()
{
    uint64_t nSize = 2 * m_vmg.GetIfoSize(m_titleSets) + m_vmg.GetMenuDomain().GetOutputSize();
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
    {
        CVts& vts = *m_titleSets[i];
        nSize += 2 * vts.GetIfoSize() + vts.GetTitleDomain().GetOutputSize() + vts.GetMenuDomain().GetOutputSize();
    }
    return nSize;
}

uint64_t CDvd::GetSourceSize() const
{
    uint64_t nSize = 2 * m_vmg.GetIfoSize(m_titleSets) + m_vmg.GetMenuDomain().GetSourceSize();
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
    {
        const CVts& vts = *m_titleSets[i];
        nSize += 2 * vts.GetIfoSize() + vts.GetTitleDomain().GetSourceSize() + vts.GetMenuDomain().GetSourceSize();
    }
    return nSize;
}
