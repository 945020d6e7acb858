#include "DVD/source/VobExport.h"

#include "DVD/source/DiskVobFile.h"
#include "DVD/source/DvdTime.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DVD/source/button.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace
{

const uint32_t SECTOR = VOB_SECTOR_SIZE;
const DWORD PICTURE_START_CODE = 0x00000100;
const DWORD GOP_START_CODE = 0x000001B8;
const DWORD SEQUENCE_END_CODE = 0x000001B7;
const BYTE STREAM_PADDING = 0xBE;
// 33-bit PTS arithmetic wraps here.
const uint64_t PTS_WRAP = uint64_t(1) << 33;

// A pack header, a video packet holding only a sequence end code, and a
// padding packet: ends a still whose picture fills its last pack. SCR 0 lets
// the VOB writer give it the clock after the picture's packs.
const BYTE END_SECTOR_HEAD[33] = {0x00, 0x00, 0x01, 0xBA, 0x44, 0x00, 0x04, 0x00, 0x04, 0x01, 0x01,
                                  0x89, 0xC3, 0xF8, 0x00, 0x00, 0x01, 0xE0, 0x00, 0x07, 0x81, 0x00,
                                  0x00, 0x00, 0x00, 0x01, 0xB7, 0x00, 0x00, 0x01, 0xBE, 0x07, 0xDF};

bool IsPal(const CVobData* pSet)
{
    return pSet != nullptr && pSet->GetStreams().GetVideo().GetStandard() == 1;
}

// The PES header data of a video packet starts 9 bytes in; the payload
// behind it. 0 when the header does not fit the sector.
size_t PayloadOffset(const BYTE* pSector, size_t nPacket)
{
    size_t nPayload = nPacket + 9 + pSector[nPacket + 8];
    return nPayload < SECTOR ? nPayload : 0;
}

// The first picture's temporal reference becomes 0 and its GOP closed, so
// that the picture decodes and shows on its own; answers the offset just
// behind the picture start code (0 when none was met).
size_t PrepareFirstPicture(BYTE* pSector)
{
    bool bPicture = false;
    bool bGop = false;
    size_t nAfterPicture = 0;
    for (size_t i = 0; i + 4 <= SECTOR && !(bPicture && bGop); ++i)
    {
        DWORD code = GetBE32(pSector + i);
        if (!bPicture && code == PICTURE_START_CODE && i + 6 <= SECTOR)
        {
            pSector[i + 4] = 0;
            pSector[i + 5] &= 0x3F;
            bPicture = true;
            nAfterPicture = i + 4;
        }
        else if (!bGop && code == GOP_START_CODE && i + 8 <= SECTOR)
        {
            pSector[i + 7] |= 0x40;
            bGop = true;
        }
    }
    return nAfterPicture;
}

// The PTS and DTS of a video packet, found behind the pack's stuffing.
void SetPictureTimes(BYTE* pSector, size_t nPacket, DWORD dwPts, bool bPal)
{
    const BYTE flags = pSector[nPacket + 7];
    const size_t nHeaderEnd = nPacket + 9 + pSector[nPacket + 8];
    if (!(flags & 0x80) || nHeaderEnd > SECTOR || nPacket + 14 > nHeaderEnd)
        return;
    EncodePts(pSector + nPacket + 9, dwPts);
    if ((flags & 0x40) && nPacket + 19 <= nHeaderEnd)
        EncodePts(pSector + nPacket + 14, (uint64_t(dwPts) + PTS_WRAP - (bPal ? 3600 : 3003)) % PTS_WRAP);
}

// Ends the picture in its last pack at the next picture start or sequence
// end behind nFrom; false when the pack holds neither.
bool EndPicture(BYTE* pSector, size_t nPacket, size_t nFrom)
{
    for (size_t p = nFrom; p + 4 <= SECTOR; ++p)
    {
        DWORD code = GetBE32(pSector + p);
        if (code != PICTURE_START_CODE && code != SEQUENCE_END_CODE)
            continue;
        pSector[p] = 0;
        pSector[p + 1] = 0;
        pSector[p + 2] = 1;
        pSector[p + 3] = 0xB7;
        if (p + 10 <= SECTOR)
        {
            BYTE* pPad = pSector + p + 4;
            pPad[0] = 0;
            pPad[1] = 0;
            pPad[2] = 1;
            pPad[3] = STREAM_PADDING;
            PutBE16(pPad + 4, WORD(SECTOR - (p + 10)));
            std::memset(pPad + 6, 0xFF, SECTOR - (p + 10));
            PutBE16(pSector + nPacket + 4, WORD(p + 4 - (nPacket + 6)));
        }
        else
        {
            // No room for a padding packet: the video packet runs to the end
            // of the sector, its tail zero bytes behind the end code.
            std::memset(pSector + p + 4, 0, SECTOR - (p + 4));
            PutBE16(pSector + nPacket + 4, WORD(SECTOR - (nPacket + 6)));
        }
        return true;
    }
    return false;
}

} // namespace

// ---- Still pictures ------------------------------------------------------------

bool WriteStillPicture(const CStillSource& still, DWORD dwPts, std::vector<BYTE>& out)
{
    out.clear();
    const CVobData* pSet = still.GetVobData();
    if (pSet == nullptr)
        return false;
    CVobSectorRun run(*pSet);
    const BYTE* nav = run.Get(still.GetNavSector(), still.GetNavSector());
    if (nav == nullptr)
        return false;
    DsiPacket dsi;
    dsi.ReadFromSector(nav);
    const DWORD dwRefEnd = dsi.GetVobuRefEa(0);
    // The reference picture lies inside its VOBU; anything else is damage and
    // must not make us read (or hold) the rest of the disc.
    if (dwRefEnd == 0 || dwRefEnd > dsi.GetVobuEa())
        return false;
    const bool bPal = IsPal(pSet);
    out.insert(out.end(), nav, nav + SECTOR);

    // The last video pack is known only once all are read; hold it back.
    std::vector<BYTE> last;
    size_t nLastPacket = 0;
    size_t nSearchFrom = 0;
    bool bFirst = true;
    BYTE sector[SECTOR];
    for (DWORD n = 1; n <= dwRefEnd; ++n)
    {
        const BYTE* pSource = run.Get(still.GetNavSector() + n, still.GetNavSector() + dwRefEnd);
        if (pSource == nullptr)
            return false;
        std::memcpy(sector, pSource, SECTOR);
        const size_t nPacket = FindVideoPacket(sector);
        if (nPacket == 0)
            continue;
        const size_t nPayload = PayloadOffset(sector, nPacket);
        if (nPayload == 0)
            continue;
        EncodeScr(0, GetPackScrField(sector));
        size_t nFrom = nPayload;
        if (bFirst)
        {
            const size_t nAfterPicture = PrepareFirstPicture(sector);
            SetPictureTimes(sector, nPacket, dwPts, bPal);
            // A picture that starts in this pack ends only behind its own
            // start code.
            nFrom = std::max(nPayload, nAfterPicture);
            bFirst = false;
        }
        if (!last.empty())
            out.insert(out.end(), last.begin(), last.end());
        last.assign(sector, sector + SECTOR);
        nLastPacket = nPacket;
        nSearchFrom = nFrom;
    }
    if (last.empty())
        return false;
    const bool bEnded = EndPicture(last.data(), nLastPacket, nSearchFrom);
    out.insert(out.end(), last.begin(), last.end());
    if (!bEnded)
    {
        size_t nAt = out.size();
        out.resize(nAt + SECTOR, 0xFF);
        std::memcpy(out.data() + nAt, END_SECTOR_HEAD, sizeof END_SECTOR_HEAD);
    }
    return true;
}

// ---- Vob and cell ids ------------------------------------------------------------

namespace
{

typedef std::vector<CVobCell*> CVobGroup;

// The ILVUs of a closed group become one VOB each 255 cells, so that cell
// ids never wrap.
void AssignGroupIds(CVobGroup& group, WORD& wVobCounter)
{
    for (size_t nStart = 0; nStart < group.size(); nStart += MAX_CELLS_PER_VOB)
    {
        const size_t nEnd = std::min(group.size(), nStart + MAX_CELLS_PER_VOB);
        ++wVobCounter;
        const DWORD dwStart = group[nStart]->GetFirstPci().GetVobuSPtm();
        const DWORD dwEnd = group[nEnd - 1]->GetLastPci().GetVobuEPtm();
        for (size_t i = nStart; i < nEnd; ++i)
        {
            group[i]->SetIds(wVobCounter, BYTE(i - nStart + 1));
            group[i]->SetPtmRange(dwStart, dwEnd);
        }
    }
    group.clear();
}

// The first of the open groups from g on whose last ILVU ends where pIlvu
// starts; nOpen when none does.
size_t FindContinuedGroup(const std::vector<CVobGroup>& groups, size_t g, size_t nOpen, const CVobCell& ilvu)
{
    const DWORD dwStart = ilvu.GetFirstPci().GetVobuSPtm();
    size_t t = g;
    while (t < nOpen && (groups[t].empty() || groups[t].back()->GetLastPci().GetVobuEPtm() != dwStart))
        ++t;
    return t;
}

// Whether every ILVU of a block of angles continues one of the open groups,
// all of one length: only then do the angles keep one cell id in their VOBs
// (as after a block of as many angles), which is how a reader finds them to
// be one block.
bool ContinuesAsAngles(const CAngleBlock& block, const std::vector<CVobGroup>& groups, size_t nOpen)
{
    size_t g = 0;
    size_t nLength = 0;
    for (uint32_t a = 0; a < block.GetIlvuCount(); ++a)
    {
        const CVobCell* pIlvu = block.GetIlvu(a);
        if (pIlvu == nullptr)
            continue;
        const size_t t = FindContinuedGroup(groups, g, nOpen, *pIlvu);
        if (t == nOpen || (nLength != 0 && groups[t].size() != nLength))
            return false;
        nLength = groups[t].size();
        g = t + 1;
    }
    return true;
}

} // namespace

void AssignVobCellIds(CAngleBlockList& domain)
{
    std::vector<CVobGroup> groups;
    WORD wVobCounter = 0;
    size_t nOpen = 0;
    const uint32_t nBlocks = domain.GetBlockCount();
    for (uint32_t b = 0; b < nBlocks; ++b)
    {
        const CAngleBlock* pBlock = domain.GetBlock(b);
        // The first angle mostly goes on from the cell before the block; the
        // others cannot, so each angle then starts a VOB of its own.
        if (pBlock->GetIlvuCount() > 1 && !ContinuesAsAngles(*pBlock, groups, nOpen))
        {
            for (size_t k = 0; k < nOpen; ++k)
                AssignGroupIds(groups[k], wVobCounter);
            nOpen = 0;
        }
        size_t g = 0;
        for (uint32_t a = 0; a < pBlock->GetIlvuCount(); ++a)
        {
            CVobCell* pIlvu = pBlock->GetIlvu(a);
            if (pIlvu == nullptr)
                continue;
            size_t t = FindContinuedGroup(groups, g, nOpen, *pIlvu);
            if (t < nOpen)
            {
                for (size_t k = g; k < t; ++k)
                    AssignGroupIds(groups[k], wVobCounter);
            }
            else
            {
                for (size_t k = g; k < nOpen; ++k)
                    AssignGroupIds(groups[k], wVobCounter);
                t = g;
            }
            if (groups.size() <= t)
                groups.resize(t + 1);
            groups[t].push_back(pIlvu);
            g = t + 1;
        }
        // A group beyond this block's angles can never be continued: close
        // it now, or its ILVUs would keep stale ids.
        for (size_t k = g; k < groups.size(); ++k)
            AssignGroupIds(groups[k], wVobCounter);
        nOpen = g;
    }
    for (size_t k = 0; k < groups.size(); ++k)
        AssignGroupIds(groups[k], wVobCounter);

    for (uint32_t b = 0; b < nBlocks; ++b)
    {
        const CAngleBlock* pBlock = domain.GetBlock(b);
        if (pBlock->GetIlvuCount() != 1 || pBlock->GetIlvu(0) == nullptr)
            continue;
        const CAngleBlock* pNext = b + 1 < nBlocks ? domain.GetBlock(b + 1) : nullptr;
        const CAngleBlock* pAfter = b + 2 < nBlocks ? domain.GetBlock(b + 2) : nullptr;
        const bool bPrecedes =
            pNext != nullptr && pNext->IsInterleaved() &&
            (pNext->GetIlvuCount() > 1 || pBlock->IsInterleaved() || (pAfter != nullptr && pAfter->IsInterleaved()));
        pBlock->GetIlvu(0)->SetPrecedesInterleaved(bPrecedes);
    }
}

// ---- One ILVU piece ----------------------------------------------------------------

namespace
{

// The still picture of the ILVU's first VOBU while it is being exported.
struct CStillExport
{
    CVobData* pPicture = nullptr; // the memory set holding its packs
    DWORD dwSectors = 0;          // picture packs (behind the NAV copy)
    DWORD dwPlaced = 0;
    DWORD dwVideoSeen = 0;  // S: video packs of the VOBU that the picture replaces
    DWORD dwVideoPacks = 0; // video packs met so far in the VOBU
};

// Index of the VOBU starting at dwSector, or of the nearest one before it.
uint32_t FindVobu(const CGrowArray<DWORD>& vobus, DWORD dwSector)
{
    int32_t lo = 0;
    int32_t hi = vobus.GetSize() - 1;
    int32_t found = 0;
    while (lo <= hi)
    {
        int32_t mid = lo + (hi - lo) / 2;
        if (vobus[mid] <= dwSector)
        {
            found = mid;
            lo = mid + 1;
        }
        else
            hi = mid - 1;
    }
    return uint32_t(found);
}

bool AddSourceSectors(CDiskVobFile& writer, const CVobData& set, DWORD dwFirst, DWORD nCount)
{
    uint64_t nOffset = uint64_t(dwFirst) * SECTOR;
    uint64_t nLeft = uint64_t(nCount) * SECTOR;
    while (nLeft > 0)
    {
        CDataRange range = set.GetFiles().Locate(nOffset, uint32_t(std::min<uint64_t>(nLeft, 0x7FFFF800)));
        if (range.GetLength() == 0)
            return false;
        writer.AddData(range);
        nOffset += range.GetLength();
        nLeft -= range.GetLength();
    }
    return true;
}

// The lookahead over a still VOBU's packs: the PTS of its first picture and
// how many of its video packs the picture replaces (the last of them sets
// VOBU_1STREF_EA).
void MeasureStillVobu(CVobSectorRun& run, DWORD dwNav, DWORD dwLast, DWORD dwPictureSectors, DWORD& dwPts,
                      DWORD& dwSeen, DWORD& dwRefEnd)
{
    bool bPts = false;
    dwSeen = 0;
    dwRefEnd = 0;
    for (DWORD s = dwNav + 1; s <= dwLast && dwSeen < dwPictureSectors; ++s)
    {
        const BYTE* sector = run.Get(s, dwLast);
        if (sector == nullptr)
            break;
        const size_t nPacket = FindVideoPacket(sector);
        if (nPacket == 0)
            continue;
        if (!bPts && (sector[nPacket + 7] & 0x80) && nPacket + 14 <= SECTOR)
        {
            dwPts = DecodePts(sector + nPacket + 9);
            bPts = true;
        }
        ++dwSeen;
        dwRefEnd = s - dwNav;
    }
}

} // namespace

uint64_t ExportVobus(CVobCell& ilvu, CDvdLog& log, CDiskVobFile& writer, uint32_t nPiece, BYTE nKeptAudio,
                     DWORD dwKeptSubpictures, CCellAddressList& cells, CVobuAddressList& vobus, CDvdProgress* pProgress)
{
    const CDvdPtrArray<CVobCellPiece>& pieces = ilvu.GetSourcePieces();
    const CGrowArray<DWORD>& sourceVobus = ilvu.GetSourceVobus();
    CVobData* pSet = ilvu.GetVobData();
    if (nPiece >= pieces.GetSize() || pSet == nullptr || sourceVobus.GetSize() == 0)
    {
        log.ReportError(FormatString("Cell %d/%d has no source data", int(ilvu.GetVobId()), int(ilvu.GetCellId())),
                        DVD_LOCATION);
        return 0;
    }
    const CVobCellPiece& piece = *pieces[nPiece];
    const uint32_t nVobus = uint32_t(sourceVobus.GetSize());

    CGrowArray<DWORD> outVobus(ilvu.GetOutputVobus());
    CGrowArray<DWORD> outStart(ilvu.GetOutputStartPtms());
    CGrowArray<DWORD> outEnd(ilvu.GetOutputEndPtms());
    CDvdPtrArray<CVobCellPiece> outPieces;
    outPieces.SetSize(pieces.GetSize());
    if (nPiece == 0 || outVobus.GetSize() != int32_t(nVobus) || ilvu.GetOutputPieces().GetSize() != pieces.GetSize())
    {
        outVobus.SetSize(int32_t(nVobus), true);
        outStart.SetSize(int32_t(nVobus), true);
        outEnd.SetSize(int32_t(nVobus), true);
        for (uint32_t k = 0; k < pieces.GetSize(); ++k)
            outPieces.SetAt(k, new CVobCellPiece);
    }
    else
    {
        for (uint32_t k = 0; k < pieces.GetSize(); ++k)
            outPieces.SetAt(k, new CVobCellPiece(*ilvu.GetOutputPieces()[k]));
    }

    // Sectors a cut took away still hold what the kept NAV packs refer to;
    // as removed sectors those references map to the cell's edge.
    const DWORD dwCutAtStart = ilvu.GetSectorsCutAtStart();
    if (nPiece == 0 && dwCutAtStart > 0 && pieces[0]->m_dwFirstSector >= dwCutAtStart)
        writer.AddRemovedRange(pieces[0]->m_dwFirstSector - dwCutAtStart, pieces[0]->m_dwFirstSector - 1, 0);

    int64_t delta = int64_t(writer.GetTotalSize() / SECTOR) - int64_t(piece.m_dwFirstSector);
    CCellAddress* pEntry = new CCellAddress;
    pEntry->m_wVobId = ilvu.GetVobId();
    pEntry->m_nCellId = ilvu.GetCellId();
    pEntry->m_dwFirstSector = DWORD(int64_t(piece.m_dwFirstSector) + delta);
    cells.Add(pEntry);
    outPieces[nPiece]->m_dwFirstSector = pEntry->m_dwFirstSector;

    // Both packets count the cell's time from its first exported VOBU, which
    // a cut or a split may have moved into the source cell.
    const CDvdTime basePciEltm = ilvu.GetFirstPci().GetCEltm();
    const CDvdTime baseDsiEltm = ilvu.GetFirstDsi().GetCEltm();
    const DWORD dwRangesFirst = pieces[0]->m_dwFirstSector;
    const DWORD dwRangesLast = pieces[pieces.GetSize() - 1]->m_dwLastSector;
    const bool bPlainSeamless = !ilvu.GetFirstDsi().IsIlvu() || ilvu.IsPlainRun();
    const CStillSource* pStill = ilvu.GetStillSource();
    const uint32_t nSegments = ilvu.GetSegmentCount();
    CStillExport still;
    uint64_t nBytes = 0;
    int32_t nSegmentCached = -1;
    DWORD dwSegmentBase = 0;
    CVobSectorRun run(*pSet);

    for (uint32_t i = FindVobu(sourceVobus, piece.m_dwFirstSector);
         i < nVobus && sourceVobus[int32_t(i)] <= piece.m_dwLastSector; ++i)
    {
        const DWORD dwSource = sourceVobus[int32_t(i)];
        const DWORD dwNew = DWORD(int64_t(dwSource) + delta);
        vobus.Add(dwNew);
        outVobus[int32_t(i)] = dwNew;

        uint32_t nSegment = 0;
        while (nSegment < nSegments &&
               uint64_t(ilvu.GetSegment(nSegment)->GetFirstVobu()) + ilvu.GetSegment(nSegment)->GetVobuCount() <= i)
            ++nSegment;
        if (nSegment >= nSegments)
        {
            log.ReportError(FormatString("ops: vobid=%d, cellid=%d, segmentIdx=%d, vobuIdx=%d, btnSegmentIdx=%d\n",
                                         int(ilvu.GetVobId()), int(ilvu.GetCellId()), int(nPiece), int(i),
                                         int(nSegment)),
                            DVD_LOCATION);
            return 0;
        }
        // The VOBU's other sectors end at the next VOBU, the ILVU's last
        // range, and this piece; the whole VOBU is read in one run.
        DWORD dwLast = i + 1 < nVobus ? sourceVobus[int32_t(i + 1)] - 1 : dwRangesLast;
        dwLast = std::min(dwLast, piece.m_dwLastSector);
        // A VOBU that loses no pack is not looked into: its packs are
        // queued as they lie. Nothing is lost when every stream is kept, or
        // when the scan of the set found only kept streams in the VOBU.
        const bool bKeepsAll = pStill == nullptr && ((nKeptAudio == 0xFF && dwKeptSubpictures == 0xFFFFFFFF) ||
                                                     pSet->HoldsOnlyStreams(dwSource, nKeptAudio, dwKeptSubpictures));
        const BYTE* pNavSector = run.Get(dwSource, bKeepsAll ? dwSource : dwLast);
        if (pNavSector == nullptr)
        {
            log.ReportError(FormatString("Can't read the NAV pack at sector %u", unsigned(dwSource)), DVD_LOCATION);
            return 0;
        }
        const CButtonSegment* pSegment = ilvu.GetSegment(nSegment);
        if (nSegmentCached != int32_t(nSegment))
        {
            // A segment mostly starts at this VOBU, whose NAV pack is at hand.
            PciPacket first;
            if (pSegment->GetFirstVobu() == i)
                first.ReadFromSector(pNavSector);
            else if (!ilvu.ReadNavPack(first, pSegment->GetFirstVobu()))
            {
                log.ReportError(FormatString("Can't read the NAV pack at sector %u", unsigned(dwSource)), DVD_LOCATION);
                return 0;
            }
            dwSegmentBase = first.GetVobuSPtm();
            nSegmentCached = int32_t(nSegment);
        }
        std::unique_ptr<BYTE[]> nav(new BYTE[SECTOR]);
        std::memcpy(nav.get(), pNavSector, SECTOR);
        PciPacket pci;
        pci.ReadFromSector(nav.get());
        DsiPacket dsi;
        dsi.ReadFromSector(nav.get());
        pci.SetNvPckLbn(dwSource);
        dsi.SetNvPckLbn(dwSource);
        // A source cut short ends inside a VOBU whose NAV pack still
        // describes the sectors that were lost; the new disc must not send a
        // player past what is written.
        ClampToData(dsi, dwLast - dwSource, piece.m_dwLastSector - dwSource, pSet->GetSectorCount() - dwSource);

        const WORD wSourceStatus = pci.GetHliStatus();
        pSegment->WriteHli(pci, dwSegmentBase, ilvu.HasEndlessHighlight() && nSegment + 1 == nSegments);
        if (wSourceStatus == 0 && pSegment->GetButtonCount() > 0)
            pci.SetHliStatus(i == 0 ? 1 : 2);
        else if (nSegments == 1 && pSegment->GetButtonCount() == 0)
            pci.SetHliStatus(0);

        dsi.SetVobuCIdn(ilvu.GetCellId());
        dsi.SetVobuVobIdn(ilvu.GetVobId());
        pci.SetVobuUopCtl(ilvu.GetUopMask().GetMask());
        ClearDeletedAudio(dsi, nKeptAudio);
        ClearDeletedSubpictures(dsi, dwKeptSubpictures);

        if (bPlainSeamless)
        {
            BYTE nCategory = 0;
            if (ilvu.PrecedesInterleaved())
            {
                if (i + 1 == nVobus)
                    nCategory = 0x90;
                else if (i + 2 == nVobus)
                    nCategory = 0x80;
                else if (i + 3 == nVobus)
                    nCategory = 0xA0;
            }
            dsi.SetSmlCategory(nCategory);
            dsi.SetIlvuEa(0);
            dsi.SetNxtIlvuSa(0);
            dsi.SetNxtIlvuSz(0);
            ClearSmlAgli(dsi);
            pci.ClearNsmlAgli();
            ClearForwardSri(dsi, dwRangesLast - dwSource);
            ClearBackwardSri(dsi, dwSource - dwRangesFirst);
        }

        const bool bStillVobu = pStill != nullptr && i == 0;
        if (pStill != nullptr)
        {
            if (bStillVobu)
            {
                DWORD dwPts = pci.GetVobuSPtm();
                DWORD dwRefEnd = 0;
                MeasureStillVobu(run, dwSource, dwLast, pStill->GetPictureSectorCount(), dwPts, still.dwVideoSeen,
                                 dwRefEnd);
                std::vector<BYTE> picture;
                if (!WriteStillPicture(*pStill, dwPts, picture))
                {
                    log.ReportError("Can't extract frame data", DVD_LOCATION);
                    return 0;
                }
                still.dwSectors = DWORD(picture.size() / SECTOR - 1);
                still.pPicture = CreateMemoryVobData(log, uint32_t(picture.size()), picture.data());
                if (still.pPicture == nullptr || log.IsCancelled() || log.HasError())
                    return 0;
                dsi.SetVobuRefEa(0, dwRefEnd);
            }
            else
                dsi.SetVobuRefEa(0, 0);
            dsi.SetVobuRefEa(1, 0);
            dsi.SetVobuRefEa(2, 0);
            ResetSri(dsi);
        }

        CDvdTime pciEltm = pci.GetCEltm();
        pciEltm.SubtractDvdTime(basePciEltm);
        pci.SetCEltm(pciEltm);
        CDvdTime dsiEltm = dsi.GetCEltm();
        dsiEltm.SubtractDvdTime(baseDsiEltm);
        dsi.SetCEltm(dsiEltm);
        if (bStillVobu)
            pci.SetVobuSeEPtm(pci.GetVobuSPtm() + (IsPal(pStill->GetVobData()) ? 3600 : 3003));
        dsi.SetVobVSPtm(ilvu.GetCellStartPtm());
        dsi.SetVobVEPtm(ilvu.GetCellEndPtm());
        outStart[int32_t(i)] = pci.GetVobuSPtm();
        outEnd[int32_t(i)] = pci.GetVobuEPtm();
        pci.WriteToSector(nav.get());
        dsi.WriteToSector(nav.get());
        if (!writer.QueueVobu(log, std::move(nav)))
            return 0;
        nBytes += SECTOR;

        if (bKeepsAll && dwLast > dwSource)
        {
            const DWORD nSectors = dwLast - dwSource;
            if (!AddSourceSectors(writer, *pSet, dwSource + 1, nSectors))
            {
                log.ReportError(FormatString("Can't read sector %u", unsigned(dwSource + 1)), DVD_LOCATION);
                return 0;
            }
            nBytes += uint64_t(nSectors) * SECTOR;
            for (DWORD n = 0; pProgress != nullptr && n < nSectors; ++n)
            {
                pProgress->Advance(SECTOR);
                if (pProgress->IsCancelled())
                {
                    log.ReportCancel();
                    return 0;
                }
            }
            continue;
        }
        int64_t nDropped = 0;
        for (DWORD s = dwSource + 1; s <= dwLast && s != 0; ++s)
        {
            const BYTE* sector = run.Get(s, dwLast);
            if (sector == nullptr)
            {
                log.ReportError(FormatString("Can't read sector %u", unsigned(s)), DVD_LOCATION);
                return 0;
            }
            BYTE nStream = 0;
            const BYTE nCoding = GetAudioStreamInfo(sector, nStream);
            const int nSubpicture = GetSubpictureStream(sector);
            bool bRemove = false;
            if (nCoding != 255 && !(nKeptAudio & (1u << nStream)))
                bRemove = true;
            else if (nSubpicture >= 0 && !(dwKeptSubpictures & (DWORD(1) << nSubpicture)))
                bRemove = true;
            else if (pStill != nullptr && FindVideoPacket(sector) != 0)
            {
                ++still.dwVideoPacks;
                if (bStillVobu && still.dwPlaced < still.dwSectors)
                {
                    DWORD n = 1;
                    if (still.dwVideoPacks == still.dwVideoSeen && still.dwSectors - still.dwPlaced > 1)
                        n = still.dwSectors - still.dwPlaced;
                    if (n > 1)
                        writer.AddRemovedRange(s, s, n);
                    CDataRange range =
                        still.pPicture->GetFiles().Locate(uint64_t(still.dwPlaced + 1) * SECTOR, n * SECTOR);
                    writer.AddData(range);
                    still.dwPlaced += n;
                    nBytes += uint64_t(n) * SECTOR;
                    nDropped += 1 - int64_t(n);
                }
                else
                    bRemove = true;
            }
            else
            {
                if (!AddSourceSectors(writer, *pSet, s, 1))
                {
                    log.ReportError(FormatString("Can't read sector %u", unsigned(s)), DVD_LOCATION);
                    return 0;
                }
                nBytes += SECTOR;
            }
            if (bRemove)
            {
                writer.AddRemovedRange(s, s, 0);
                ++nDropped;
            }
            if (pProgress != nullptr)
            {
                pProgress->Advance(SECTOR);
                if (pProgress->IsCancelled())
                {
                    log.ReportCancel();
                    return 0;
                }
            }
        }
        delta -= nDropped;
    }

    pEntry->m_dwLastSector = DWORD(int64_t(piece.m_dwLastSector) + delta);
    outPieces[nPiece]->m_dwLastSector = pEntry->m_dwLastSector;
    const DWORD dwCutAtEnd = ilvu.GetSectorsCutAtEnd();
    if (nPiece + 1 == pieces.GetSize() && dwCutAtEnd > 0 && piece.m_dwLastSector <= 0xFFFFFFFF - dwCutAtEnd)
        writer.AddRemovedRange(piece.m_dwLastSector + 1, piece.m_dwLastSector + dwCutAtEnd, 0);
    ilvu.SetOutput(outVobus, outStart, outEnd, outPieces);
    return nBytes;
}

// ---- Runs and the domain -----------------------------------------------------------

namespace
{

bool IsPlainRun(const CAngleBlockArray& run)
{
    const CVobCell* pFirst = run[0]->GetIlvuCount() == 1 ? run[0]->GetIlvu(0) : nullptr;
    if (pFirst == nullptr || pFirst->GetVobId() == 0)
        return false;
    for (int32_t b = 0; b < run.GetSize(); ++b)
    {
        if (run[b]->GetIlvuCount() != 1 || run[b]->GetIlvu(0) == nullptr ||
            run[b]->GetIlvu(0)->GetVobId() != pFirst->GetVobId())
            return false;
    }
    return true;
}

} // namespace

bool WriteBlockRun(CDvdLog& log, const CAngleBlockArray& run, BYTE nKeptAudio, DWORD dwKeptSubpictures,
                   CDiskVobFile& writer, CCellAddressList& cells, CVobuAddressList& vobus, CDvdProgress* pProgress)
{
    if (run.GetSize() == 0)
        return true;
    if (IsPlainRun(run))
    {
        for (int32_t b = 0; b < run.GetSize(); ++b)
        {
            CVobCell& ilvu = *run[b]->GetIlvu(0);
            ilvu.SetPlainRun(true);
            const CDvdPtrArray<CVobCellPiece>& pieces = ilvu.GetSourcePieces();
            for (uint32_t k = 0; k < pieces.GetSize(); ++k)
            {
                if (k > 0)
                {
                    const DWORD dwGapFirst = pieces[k - 1]->m_dwLastSector + 1;
                    const DWORD dwNext = pieces[k]->m_dwFirstSector;
                    if (dwNext > dwGapFirst)
                        writer.AddRemovedRange(dwGapFirst, dwNext - 1, 0);
                }
                if (ExportVobus(ilvu, log, writer, k, nKeptAudio, dwKeptSubpictures, cells, vobus, pProgress) == 0)
                    return false;
            }
        }
        return true;
    }

    std::vector<CVobCell*> ilvus;
    for (int32_t b = 0; b < run.GetSize(); ++b)
        for (uint32_t a = 0; a < run[b]->GetIlvuCount(); ++a)
            if (CVobCell* pIlvu = run[b]->GetIlvu(a))
            {
                pIlvu->SetPlainRun(false);
                ilvus.push_back(pIlvu);
            }
    std::vector<uint32_t> next(ilvus.size(), 0);
    bool bWritten = false;
    DWORD dwPreviousEnd = 0;
    for (;;)
    {
        size_t nChosen = ilvus.size();
        DWORD dwLowest = 0;
        for (size_t n = 0; n < ilvus.size(); ++n)
        {
            if (next[n] >= ilvus[n]->GetSourcePieces().GetSize())
                continue;
            DWORD dwFirst = ilvus[n]->GetSourcePieces()[next[n]]->m_dwFirstSector;
            if (nChosen == ilvus.size() || dwFirst < dwLowest)
            {
                nChosen = n;
                dwLowest = dwFirst;
            }
        }
        if (nChosen == ilvus.size())
            return true;
        if (dwLowest != 0 && bWritten && dwLowest > dwPreviousEnd + 1)
            writer.AddRemovedRange(dwPreviousEnd + 1, dwLowest - 1, 0);
        if (ExportVobus(*ilvus[nChosen], log, writer, next[nChosen], nKeptAudio, dwKeptSubpictures, cells, vobus,
                        pProgress) == 0)
            return false;
        dwPreviousEnd = ilvus[nChosen]->GetSourcePieces()[next[nChosen]]->m_dwLastSector;
        bWritten = true;
        ++next[nChosen];
    }
}

bool WriteVobs(CAngleBlockList& domain, CDvdLog& log, CDiskVobFile& writer, CCellAddressList& cells,
               CVobuAddressList& vobus, CDvdProgress* pProgress)
{
    const BYTE nAudio = domain.MapAudioMask(domain.GetAudioStreamMask());
    const DWORD dwSubpictures = domain.MapSubpictureMask(domain.GetSubpictureStreamMask());
    return WriteVobsKeeping(domain, nAudio, dwSubpictures, log, writer, cells, vobus, pProgress);
}

bool WriteVobsKeeping(CAngleBlockList& domain, BYTE nKeptAudio, DWORD dwKeptSubpictures, CDvdLog& log,
                      CDiskVobFile& writer, CCellAddressList& cells, CVobuAddressList& vobus, CDvdProgress* pProgress)
{
    cells.SetSize(0);
    cells.SetGrowBy(4096);
    vobus.SetSize(0);
    vobus.SetGrowBy(4096);
    // The export reads the domain's source sets from start to end.
    CVobDataList sets;
    domain.CollectVobData(sets);
    for (int32_t i = 0; i < sets.GetSize(); ++i)
        if (sets[i]->GetVtsNumber() != VOBDATA_MEMORY)
            sets[i]->GetFiles().AdviseSequential();
    const uint32_t nBlocks = domain.GetBlockCount();
    for (uint32_t b = 0; b < nBlocks;)
    {
        CAngleBlockArray run;
        run.Add(domain.GetBlock(b++));
        if (run[0]->IsInterleaved())
            while (b < nBlocks && domain.GetBlock(b)->IsInterleaved())
                run.Add(domain.GetBlock(b++));
        if (!writer.FlushQueue(log))
            return false;
        if (!WriteBlockRun(log, run, nKeptAudio, dwKeptSubpictures, writer, cells, vobus, pProgress))
            return false;
    }
    return writer.Flush(log);
}

void BuildAddressTables(const CAngleBlockList& domain, CCellAddressList& cells, CVobuAddressList& vobus)
{
    cells.SetSize(0);
    cells.SetGrowBy(4096);
    vobus.SetSize(0);
    vobus.SetGrowBy(4096);
    for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
        domain.GetBlock(b)->CollectAddresses(cells, vobus);
    std::sort(vobus.GetData(), vobus.GetData() + vobus.GetSize());
}
