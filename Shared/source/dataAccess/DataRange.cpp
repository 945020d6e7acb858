#include "Shared/source/dataAccess/DataRange.h"

#include "Shared/source/dataAccess/DataFile.h"

namespace
{

// The part of [offset, offset + length) that lies below end.
uint32_t Clip(uint32_t offset, uint32_t length, uint64_t end)
{
    if (offset >= end)
        return 0;
    return uint64_t(offset) + length > end ? uint32_t(end - offset) : length;
}

} // namespace

CDataRange::CDataRange() : m_nOffset(0), m_nLength(0), m_pFile(nullptr)
{
}

CDataRange::CDataRange(CDataFile* file) : m_nOffset(0), m_nLength(file != nullptr ? file->GetSize() : 0), m_pFile(file)
{
}

CDataRange::CDataRange(CDataFile* file, uint32_t offset, uint32_t length)
    : m_nOffset(offset), m_nLength(Clip(offset, length, file != nullptr ? file->GetSize() : 0)), m_pFile(file)
{
}

void CDataRange::SetSubRange(const CDataRange& base, uint32_t relativeOffset, uint32_t length)
{
    uint64_t end = uint64_t(base.m_nOffset) + base.m_nLength;
    uint64_t offset = uint64_t(base.m_nOffset) + relativeOffset;
    m_pFile = base.m_pFile;
    if (offset >= end)
    {
        m_nOffset = uint32_t(end);
        m_nLength = 0;
        return;
    }
    m_nOffset = uint32_t(offset);
    m_nLength = Clip(m_nOffset, length, end);
}

bool CDataRange::Merge(const CDataRange& next)
{
    if (next.m_pFile != m_pFile || uint64_t(m_nOffset) + m_nLength != next.m_nOffset)
        return false;
    if (uint64_t(m_nLength) + next.m_nLength > UINT32_MAX)
        return false;
    m_nLength += next.m_nLength;
    return true;
}
