#include "DvdGui/core/CellDataStream.h"

#include "DVD/source/CellAddress.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"

#include <algorithm>
#include <cstring>

namespace
{
const uint64_t kSector = 2048;

uint64_t RangeBytes(const CVobCellPiece& piece)
{
    return (uint64_t(piece.m_dwLastSector) - piece.m_dwFirstSector + 1) * kSector;
}
} // namespace

CCellDataStream::~CCellDataStream()
{
    delete m_pStill;
}

bool CCellDataStream::Open(CVobCell* pUnit, DWORD nMode)
{
    m_pSource = pUnit;
    delete m_pStill;
    m_pStill = nullptr;
    m_pReading = pUnit;
    if (pUnit != nullptr && pUnit->HasStillSource() && nMode == 0)
    {
        const CStillSource& still = *pUnit->GetStillSource();
        CCellAddress address;
        address.m_dwFirstSector = still.GetNavSector();
        address.m_dwLastSector = still.GetNavSector() + (still.GetFirstRefEnd() & 0xFFFF);
        CVobuAddressList vobus;
        vobus.Add(still.GetNavSector());
        m_pStill = new CVobCell(still.GetVobData(), address, vobus, nullptr);
        m_pReading = m_pStill;
    }
    m_nPosition = 0;
    m_nBufferStart = 0;
    m_nBufferLength = 0;
    m_nSize = pUnit != nullptr ? uint64_t(pUnit->GetSectorCount()) * kSector : 0;
    return true;
}

CByteStream* CCellDataStream::Clone(DWORD nMode)
{
    CCellDataStream* pClone = new CCellDataStream;
    pClone->Open(m_pSource, nMode);
    return pClone;
}

bool CCellDataStream::Locate(const CVobCell& unit, uint64_t nOffset, uint32_t& nRange, uint64_t& nInside,
                             uint64_t& nLeft)
{
    const CDvdPtrArray<CVobCellPiece>& pieces = unit.GetSourcePieces();
    for (uint32_t i = 0; i < pieces.GetSize(); ++i)
    {
        const uint64_t nBytes = RangeBytes(*pieces[i]);
        if (nBytes > nOffset)
        {
            nRange = i;
            nInside = nOffset;
            nLeft = nBytes - nOffset;
            return true;
        }
        nOffset -= nBytes;
    }
    return false;
}

void CCellDataStream::Fill()
{
    if (m_nBufferLength != 0 && m_nBufferStart <= m_nPosition && m_nPosition < m_nBufferStart + m_nBufferLength)
        return;
    m_nBufferLength = 0;
    m_nBufferStart = m_nPosition;
    uint32_t nRange = 0;
    uint64_t nInside = 0, nLeft = 0;
    if (m_pReading == nullptr || m_pReading->GetVobData() == nullptr ||
        !Locate(*m_pReading, m_nPosition, nRange, nInside, nLeft))
        return;
    const CDataFileSet& files = m_pReading->GetVobData()->GetFiles();
    const CDvdPtrArray<CVobCellPiece>& pieces = m_pReading->GetSourcePieces();
    DWORD nWanted = CELL_STREAM_BUFFER_SIZE;
    // A short read leaves a gap at the end of its range; the next range is
    // still read so that the buffer holds what the files give.
    while (nWanted > 0 && nRange < pieces.GetSize())
    {
        const uint32_t nPart = uint32_t(std::min<uint64_t>(nWanted, nLeft));
        const uint64_t nAddress = uint64_t(pieces[nRange]->m_dwFirstSector) * kSector + nInside;
        const uint32_t nGot = files.Read(m_buffer + m_nBufferLength, nAddress, nPart);
        m_nBufferLength += nGot;
        nWanted -= nPart;
        if (++nRange < pieces.GetSize())
        {
            nInside = 0;
            nLeft = RangeBytes(*pieces[nRange]);
        }
    }
}

DWORD CCellDataStream::ReadChunk(BYTE* pOut, DWORD nCount)
{
    Fill();
    const uint64_t nEnd = m_nBufferStart + m_nBufferLength;
    if (nEnd <= m_nPosition)
        return 0;
    const DWORD n = DWORD(std::min<uint64_t>(nEnd - m_nPosition, nCount));
    std::memcpy(pOut, m_buffer + (m_nPosition - m_nBufferStart), n);
    m_nPosition += n;
    return n;
}

int32_t CCellDataStream::Read(void* pBuffer, DWORD nCount)
{
    BYTE* pOut = static_cast<BYTE*>(pBuffer);
    DWORD nDone = 0;
    while (nDone < nCount)
    {
        const DWORD n = ReadChunk(pOut + nDone, nCount - nDone);
        if (n == 0)
            break;
        nDone += n;
    }
    return int32_t(nDone);
}

bool CCellDataStream::Seek(uint64_t nPosition)
{
    if (nPosition != m_nPosition)
        m_nPosition = std::min(nPosition, m_nSize);
    return true;
}

int64_t CCellDataStream::SourceToStreamPosition(uint64_t nAddress) const
{
    if (m_pSource == nullptr)
        return 0;
    const CDvdPtrArray<CVobCellPiece>& pieces = m_pSource->GetSourcePieces();
    uint64_t nTotal = 0;
    for (uint32_t i = 0; i < pieces.GetSize(); ++i)
    {
        const CVobCellPiece& piece = *pieces[i];
        if ((uint64_t(piece.m_dwLastSector) + 1) * kSector > nAddress)
            return int64_t(nTotal) + int64_t(nAddress) - int64_t(uint64_t(piece.m_dwFirstSector) * kSector);
        nTotal += RangeBytes(piece);
    }
    return -1;
}

uint64_t CCellDataStream::StreamToSourcePosition(uint64_t nOffset) const
{
    if (m_pSource == nullptr)
        return 0;
    const CDvdPtrArray<CVobCellPiece>& pieces = m_pSource->GetSourcePieces();
    if (pieces.GetSize() > 0 && nOffset == uint64_t(m_pSource->GetSectorCount()) * kSector)
        return (uint64_t(pieces[pieces.GetSize() - 1]->m_dwLastSector) + 1) * kSector;
    uint32_t nRange = 0;
    uint64_t nInside = 0, nLeft = 0;
    if (!Locate(*m_pSource, nOffset, nRange, nInside, nLeft))
        return 0;
    return uint64_t(pieces[nRange]->m_dwFirstSector) * kSector + nInside;
}
