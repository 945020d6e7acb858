// Cuts and still pictures of an ILVU. None of these touch VOB data: they
// shorten the VOBU table, the source sector ranges and the button segments,
// or attach a still record, and the export then writes only what is left.
#include "DVD/source/VobCell.h"

#include <cstdint>

namespace
{

// A relative highlight time that has no end.
const DWORD kNoTime = 0xFFFFFFFF;

// Deletes the first n elements; the others move to the front.
template <class T, class D>
void RemoveFront(CDvdPtrArray<T, D>& array, uint32_t n)
{
    const uint32_t nSize = array.GetSize();
    if (n > nSize)
        n = nSize;
    if (n == 0)
        return;
    T** pData = array.GetData();
    for (uint32_t i = 0; i < n; ++i)
    {
        D()(pData[i]);
        pData[i] = nullptr;
    }
    for (uint32_t i = n; i < nSize; ++i)
    {
        pData[i - n] = pData[i];
        pData[i] = nullptr;
    }
    array.SetSize(nSize - n);
}

DWORD ClampTime(int64_t nTime)
{
    if (nTime < 0)
        return 0;
    return nTime >= int64_t(kNoTime) ? kNoTime - 1 : DWORD(nTime);
}

uint32_t PieceSectors(const CVobCellPiece& piece)
{
    return piece.m_dwLastSector >= piece.m_dwFirstSector ? piece.m_dwLastSector - piece.m_dwFirstSector + 1 : 0;
}

// Index of the segment that holds VOBU nVobu (the first whose end lies
// beyond it); the count when none does.
uint32_t FindSegmentAfter(const CButtonSegmentArray& segments, uint32_t nVobu)
{
    for (uint32_t i = 0; i < segments.GetSize(); ++i)
        if (uint64_t(segments[i]->GetFirstVobu()) + segments[i]->GetVobuCount() > nVobu)
            return i;
    return segments.GetSize();
}

// Index of the segment with the most buttons, the first of a tie; -1 without
// segments.
int FindFullestSegment(const CButtonSegmentArray& segments)
{
    int nBest = -1;
    for (uint32_t i = 0; i < segments.GetSize(); ++i)
        if (nBest < 0 || segments[i]->GetButtonCount() > segments[uint32_t(nBest)]->GetButtonCount())
            nBest = int(i);
    return nBest;
}

} // namespace

bool CVobCell::CutFrom(uint32_t nVobu)
{
    return nVobu < GetVobuCount() && TruncateAt(nVobu + 1);
}

bool CVobCell::CutBefore(uint32_t nVobu)
{
    return TruncateAt(nVobu);
}

bool CVobCell::TruncateAt(uint32_t n)
{
    // Keeping no VOBU at all would leave a cell that nothing can play.
    const uint32_t nCount = GetVobuCount();
    if (n == 0 || n >= nCount)
        return false;
    if (m_wThumbnailVobu >= n)
        m_wThumbnailVobu = 0;
    const DWORD dwLast = m_sourceVobus[int32_t(n)] - 1;

    const uint32_t nSegment = FindSegmentAfter(m_segments, n);
    uint32_t nKeptSegments = nSegment;
    if (nSegment < m_segments.GetSize() && m_segments[nSegment]->GetFirstVobu() < n)
    {
        // The segment spans the cut: its highlight may not outlast what is
        // left of it.
        CButtonSegment* pSegment = m_segments[nSegment];
        const uint32_t nFirst = pSegment->GetFirstVobu();
        uint32_t nEndVobu = nFirst + pSegment->GetVobuCount() - 1;
        if (nEndVobu >= nCount)
            nEndVobu = nCount - 1;
        PciPacket first, end, newEnd;
        if (ReadNavPack(first, nFirst) && ReadNavPack(end, nEndVobu) && ReadNavPack(newEnd, n - 1))
        {
            const int64_t nStart = first.GetVobuSPtm();
            const int64_t nFull = int64_t(end.GetVobuEPtm()) - nStart;
            const int64_t nKept = int64_t(newEnd.GetVobuEPtm()) - nStart;
            const int64_t nRemoved = int64_t(end.GetVobuEPtm()) - int64_t(newEnd.GetVobuEPtm());
            DWORD times[3] = {pSegment->GetHliStartPtm(), pSegment->GetHliEndPtm(), pSegment->GetSelectEndPtm()};
            bool bChanged = false;
            for (DWORD& dwTime : times)
            {
                if (dwTime == kNoTime || int64_t(dwTime) <= nKept)
                    continue;
                dwTime = ClampTime(int64_t(dwTime) > nFull ? int64_t(dwTime) - nRemoved : nKept);
                bChanged = true;
            }
            if (bChanged)
            {
                pSegment->SetTimes(times[0], times[1], times[2]);
                pSegment->SetModified();
            }
        }
        pSegment->SetVobuCount(n - nFirst);
        nKeptSegments = nSegment + 1;
    }
    if (nKeptSegments < m_segments.GetSize())
        m_segments.SetSize(nKeptSegments);

    m_sourceVobus.SetSize(int32_t(n));

    DWORD dwRemoved = 0;
    uint32_t nPiece = 0;
    while (nPiece < m_sourcePieces.GetSize() && m_sourcePieces[nPiece]->m_dwLastSector <= dwLast)
        ++nPiece;
    if (nPiece < m_sourcePieces.GetSize())
    {
        CVobCellPiece* pPiece = m_sourcePieces[nPiece];
        uint32_t nKeptPieces = nPiece;
        if (pPiece->m_dwFirstSector <= dwLast)
        {
            dwRemoved += pPiece->m_dwLastSector - dwLast;
            pPiece->m_dwLastSector = dwLast;
            ++nKeptPieces;
        }
        for (uint32_t i = nKeptPieces; i < m_sourcePieces.GetSize(); ++i)
            dwRemoved += PieceSectors(*m_sourcePieces[i]);
        m_sourcePieces.SetSize(nKeptPieces);
    }
    m_dwCutAtEnd += dwRemoved;
    m_bLastNavValid = 0;
    SetModified();
    return true;
}

bool CVobCell::CutTo(uint32_t k)
{
    const uint32_t nCount = GetVobuCount();
    if (k == 0 || k >= nCount)
        return false;
    const DWORD dwFirst = m_sourceVobus[int32_t(k)];

    const uint32_t nSegment = FindSegmentAfter(m_segments, k);
    if (nSegment < m_segments.GetSize())
    {
        // The segment that holds VOBU k now starts there: its relative times
        // lose what was cut before it. When it started later (the segments
        // before it went), it grows back to VOBU k and the times move on.
        CButtonSegment* pSegment = m_segments[nSegment];
        PciPacket at, first;
        if (ReadNavPack(at, k) && ReadNavPack(first, pSegment->GetFirstVobu()))
        {
            const int64_t nCut = int64_t(at.GetVobuSPtm()) - int64_t(first.GetVobuSPtm());
            DWORD times[3] = {pSegment->GetHliStartPtm(), pSegment->GetHliEndPtm(), pSegment->GetSelectEndPtm()};
            for (DWORD& dwTime : times)
                if (dwTime != kNoTime)
                    dwTime = int64_t(dwTime) > nCut ? ClampTime(int64_t(dwTime) - nCut) : 0;
            pSegment->SetTimes(times[0], times[1], times[2]);
        }
        pSegment->SetModified();
        pSegment->SetVobuCount(uint32_t(int64_t(pSegment->GetFirstVobu()) + pSegment->GetVobuCount() - k));
        pSegment->SetFirstVobu(k);
    }
    RemoveFront(m_segments, nSegment);
    for (uint32_t i = 0; i < m_segments.GetSize(); ++i)
        m_segments[i]->SetFirstVobu(m_segments[i]->GetFirstVobu() - k);

    const int32_t nLeft = int32_t(nCount - k);
    DWORD* pVobus = m_sourceVobus.GetData();
    for (int32_t i = 0; i < nLeft; ++i)
        pVobus[i] = pVobus[i + int32_t(k)];
    m_sourceVobus.SetSize(nLeft);

    DWORD dwRemoved = 0;
    uint32_t nPiece = 0;
    while (nPiece < m_sourcePieces.GetSize() && m_sourcePieces[nPiece]->m_dwLastSector < dwFirst)
    {
        dwRemoved += PieceSectors(*m_sourcePieces[nPiece]);
        ++nPiece;
    }
    if (nPiece < m_sourcePieces.GetSize() && m_sourcePieces[nPiece]->m_dwFirstSector < dwFirst)
    {
        dwRemoved += dwFirst - m_sourcePieces[nPiece]->m_dwFirstSector;
        m_sourcePieces[nPiece]->m_dwFirstSector = dwFirst;
    }
    RemoveFront(m_sourcePieces, nPiece);

    m_dwCutAtStart += dwRemoved;
    m_wThumbnailVobu = m_wThumbnailVobu > k ? WORD(m_wThumbnailVobu - k) : 0;
    m_bFirstNavValid = 0;
    SetModified();
    return true;
}

bool CVobCell::ConvertToStillAt(const CVobCell& source, uint32_t nVobu)
{
    if (IsStock() || source.GetFrameRate() != GetFrameRate())
        return false;
    CStillSource* pStill = new CStillSource(source, nVobu);
    if (pStill->GetPictureSectorCount() == 0)
    {
        delete pStill;
        return false;
    }
    delete m_pStill;
    m_pStill = pStill;
    m_wThumbnailVobu = 0;

    if (m_segments.GetSize() > 1)
    {
        // One highlight for the whole still: the one with the most buttons.
        const uint32_t nBest = uint32_t(FindFullestSegment(m_segments));
        const uint32_t nFirst = m_segments[nBest]->GetFirstVobu();
        TruncateAt(nFirst + m_segments[nBest]->GetVobuCount());
        RemoveFront(m_segments, nBest);
        for (uint32_t j = nFirst; j >= 1; --j)
        {
            if (CanSplitAt(j))
            {
                CutTo(j);
                break;
            }
        }
        CButtonSegment* pSegment = m_segments[0];
        pSegment->SetFirstVobu(0);
        pSegment->SetVobuCount(GetVobuCount());
        const DWORD dwDuration = GetLastPci().GetVobuEPtm() - GetFirstPci().GetVobuSPtm();
        pSegment->SetTimes(0, dwDuration, dwDuration);
        pSegment->SetModified();
    }
    SetModified();
    return true;
}

bool CVobCell::ConvertToStill()
{
    if (m_pStill)
        return false;
    const int nBest = FindFullestSegment(m_segments);
    uint32_t nVobu = 0;
    if (nBest >= 0)
    {
        const CButtonSegment* pSegment = m_segments[uint32_t(nBest)];
        nVobu = pSegment->GetFirstVobu() + pSegment->GetVobuCount() / 2;
    }
    return ConvertToStillAt(*this, nVobu);
}
