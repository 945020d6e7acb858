#include "DVD/source/VobCell.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/PGC.h"
#include "DVD/source/Validator.h"
#include "DVD/source/VobData.h"
#include "DVD/source/IfoView.h"

#include <cstring>

namespace
{

// The VOBUs of the map that start inside [first, last], appended to both
// tables. The tables grow once by the whole count: growing them VOBU by VOBU
// copies them over and over for a cell of many VOBUs.
void AppendVobusInRange(const CVobuAddressList& vobus, DWORD dwFirst, DWORD dwLast, CGrowArray<DWORD>& source,
                        CGrowArray<DWORD>& output)
{
    int32_t nInRange = 0;
    for (int32_t i = 0; i < vobus.GetSize(); ++i)
        if (vobus[i] >= dwFirst && vobus[i] <= dwLast)
            ++nInRange;
    int32_t nSource = source.GetSize();
    int32_t nOutput = output.GetSize();
    source.SetSize(nSource + nInRange);
    output.SetSize(nOutput + nInRange);
    for (int32_t i = 0; i < vobus.GetSize(); ++i)
    {
        if (vobus[i] >= dwFirst && vobus[i] <= dwLast)
        {
            source[nSource++] = vobus[i];
            output[nOutput++] = vobus[i];
        }
    }
}

// A fresh cache plays at 25 fps until a real pack is read.
void ResetNav(PciPacket& pci, DsiPacket& dsi)
{
    pci = PciPacket();
    dsi = DsiPacket();
    CDvdTime rate;
    rate.frames = DVDTIME_RATE_25;
    pci.SetCEltm(rate);
}

void CopyPieces(const CDvdPtrArray<CVobCellPiece>& from, CDvdPtrArray<CVobCellPiece>& to)
{
    to.RemoveAll();
    for (uint32_t i = 0; i < from.GetSize(); ++i)
        to.Add(new CVobCellPiece(*from[i]));
}

uint32_t CountSectors(const CDvdPtrArray<CVobCellPiece>& pieces)
{
    uint32_t nSectors = 0;
    for (uint32_t i = 0; i < pieces.GetSize(); ++i)
        if (pieces[i]->m_dwLastSector >= pieces[i]->m_dwFirstSector)
            nSectors += pieces[i]->m_dwLastSector - pieces[i]->m_dwFirstSector + 1;
    return nSectors;
}

const DWORD kPictureStartCode = 0x00000100;
const DWORD kSequenceEndCode = 0x000001B7;
const size_t kVobuFirstRefEaOffset = 1043;

// The first packet of a sector after the pack header and its stuffing; null
// when the sector does not start with a pack header.
const BYTE* FirstPacket(const BYTE* pSector)
{
    if (GetBE32(pSector) != 0x000001BA)
        return nullptr;
    const size_t nStuffing = pSector[13] & 0x07;
    return pSector + 14 + nStuffing;
}

// Whether the video packet of this sector holds no further picture start or
// sequence end after its PES header: the picture then runs on into the next
// sector.
bool PictureRunsOn(const BYTE* pSector, const BYTE* pPacket)
{
    const size_t nFrom = size_t(pPacket - pSector) + 9 + pPacket[8];
    for (size_t i = nFrom; i <= VOB_SECTOR_SIZE - 4; ++i)
    {
        const DWORD code = GetBE32(pSector + i);
        if (code == kPictureStartCode || code == kSequenceEndCode)
            return false;
    }
    return true;
}

} // namespace

// ---- CStillSource ------------------------------------------------------------------

CStillSource::CStillSource(const CVobCell& ilvu, uint32_t nVobu) : m_pVobData(ilvu.GetVobData())
{
    if (m_pVobData)
        m_pVobData->AddRef();
    if (!m_pVobData || nVobu >= ilvu.GetVobuCount())
        return;
    m_dwNavSector = ilvu.GetSourceVobus()[int32_t(nVobu)];
    BYTE sector[VOB_SECTOR_SIZE];
    if (!m_pVobData->ReadSector(m_dwNavSector, sector))
        return;
    m_dwFirstRefEnd = GetBE32(sector + kVobuFirstRefEaOffset);
    DWORD nVideo = 0;
    bool bRunsOn = false;
    for (DWORD n = 1; n <= m_dwFirstRefEnd; ++n)
    {
        if (!m_pVobData->ReadSector(m_dwNavSector + n, sector))
            return;
        const BYTE* pPacket = FirstPacket(sector);
        if (pPacket && size_t(pPacket - sector) + 9 <= VOB_SECTOR_SIZE && GetBE32(pPacket) == 0x000001E0)
        {
            ++nVideo;
            bRunsOn = PictureRunsOn(sector, pPacket);
        }
    }
    m_dwPictureSectors = nVideo + (nVideo > 0 && bRunsOn ? 1 : 0);
}

CStillSource::CStillSource(const CStillSource& other)
    : m_pVobData(other.m_pVobData), m_dwNavSector(other.m_dwNavSector), m_dwFirstRefEnd(other.m_dwFirstRefEnd),
      m_dwPictureSectors(other.m_dwPictureSectors)
{
    if (m_pVobData)
        m_pVobData->AddRef();
}

CStillSource::~CStillSource()
{
    if (m_pVobData)
        m_pVobData->Release();
}

// ---- CVobCell ----------------------------------------------------------------------

CVobCell::CVobCell(CVobData* pVobData, const CCellAddress& address, const CVobuAddressList& vobus, CAngleBlock* pParent)
    : CDvdObject(DVDNODE_VOB_CELL, pParent), m_wVobId(address.m_wVobId), m_nCellId(address.m_nCellId),
      m_pVobData(pVobData)
{
    if (m_pVobData)
        m_pVobData->AddRef();
    ResetNav(m_firstPci, m_firstDsi);
    ResetNav(m_lastPci, m_lastDsi);
    AddPiece(address, vobus);
    m_uops.SetMask(GetFirstPci().GetVobuUopCtl());
}

CVobCell::CVobCell(const CVobCell& source, CAngleBlock* pParent)
    : CDvdObject(source, pParent), m_dwCutAtEnd(source.m_dwCutAtEnd), m_dwCutAtStart(source.m_dwCutAtStart),
      m_wVobId(source.m_wVobId), m_nCellId(source.m_nCellId), m_bStock(source.m_bStock), m_uops(source.m_uops),
      m_sourceVobus(source.m_sourceVobus), m_outputVobus(source.m_outputVobus),
      m_outputStartPtms(source.m_outputStartPtms), m_outputEndPtms(source.m_outputEndPtms),
      m_bPlainRun(source.m_bPlainRun), m_bPrecedesInterleaved(source.m_bPrecedesInterleaved),
      m_dwCellStartPtm(source.m_dwCellStartPtm), m_dwCellEndPtm(source.m_dwCellEndPtm),
      m_nEndlessHighlight(source.m_nEndlessHighlight), m_pVobData(source.m_pVobData), m_wSerial(source.m_wSerial),
      m_wThumbnailVobu(source.m_wThumbnailVobu), m_bFirstNavValid(source.m_bFirstNavValid),
      m_firstPci(source.m_firstPci), m_firstDsi(source.m_firstDsi), m_bLastNavValid(source.m_bLastNavValid),
      m_lastPci(source.m_lastPci), m_lastDsi(source.m_lastDsi)
{
    memcpy(m_firstScr, source.m_firstScr, sizeof(m_firstScr));
    CopyPieces(source.m_sourcePieces, m_sourcePieces);
    CopyPieces(source.m_outputPieces, m_outputPieces);
    for (uint32_t i = 0; i < source.m_segments.GetSize(); ++i)
        m_segments.Add(CButtonSegment::CopyConstruct(*source.m_segments[i], this));
    if (source.m_pStill)
        m_pStill = new CStillSource(*source.m_pStill);
    if (m_pVobData)
        m_pVobData->AddRef();
}

CVobCell* CVobCell::CopyConstruct(const CVobCell& source, CAngleBlock* pParent)
{
    return new CVobCell(source, pParent);
}

CVobCell::~CVobCell()
{
    m_segments.RemoveAll();
    delete m_pStill;
    if (m_pVobData)
        m_pVobData->Release();
}

bool CVobCell::IsModified() const
{
    if (CDvdObject::IsModified())
        return true;
    for (uint32_t i = 0; i < m_segments.GetSize(); ++i)
        if (m_segments[i]->IsModified())
            return true;
    return false;
}

void CVobCell::ClearModified()
{
    CDvdObject::ClearModified();
    for (uint32_t i = 0; i < m_segments.GetSize(); ++i)
        m_segments[i]->ClearModified();
}

bool CVobCell::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    for (uint32_t i = 0; i < m_segments.GetSize(); ++i)
        bReported = m_segments[i]->Validate(validator, messages) || bReported;
    return bReported;
}

void CVobCell::Invalidate()
{
    m_bFirstNavValid = 0;
    m_bLastNavValid = 0;
    for (uint32_t i = 0; i < m_segments.GetSize(); ++i)
        m_segments[i]->Invalidate();
}

void CVobCell::AddPiece(const CCellAddress& address, const CVobuAddressList& vobus)
{
    CVobCellPiece piece;
    piece.m_dwFirstSector = address.m_dwFirstSector;
    piece.m_dwLastSector = address.m_dwLastSector;
    m_sourcePieces.Add(new CVobCellPiece(piece));
    m_outputPieces.Add(new CVobCellPiece(piece));
    AppendVobusInRange(vobus, address.m_dwFirstSector, address.m_dwLastSector, m_sourceVobus, m_outputVobus);
    // The last VOBU may have moved on.
    m_bLastNavValid = 0;
}

void CVobCell::SetIds(WORD wVobId, BYTE nCellId)
{
    if (wVobId != m_wVobId || nCellId != m_nCellId)
    {
        m_wVobId = wVobId;
        m_nCellId = nCellId;
        SetModified();
    }
}

bool CVobCell::ModifyUops(DWORD dwClear, DWORD dwSet)
{
    if (!m_uops.Modify(dwClear, dwSet))
        return false;
    SetModified();
    return true;
}

bool CVobCell::SetUops(DWORD dwMask)
{
    if (m_uops.GetMask() == dwMask)
        return false;
    m_uops.SetMask(dwMask);
    SetModified();
    return true;
}

uint32_t CVobCell::GetSectorCount() const
{
    return CountSectors(m_sourcePieces);
}

uint32_t CVobCell::GetExportedSectorCount() const
{
    return CountSectors(m_outputPieces);
}

// ---- Navigation packs ------------------------------------------------------------------

bool CVobCell::ReadNavSector(uint32_t nVobu, BYTE* pSector) const
{
    const uint32_t nCount = GetVobuCount();
    if (!m_pVobData || nVobu >= nCount || !m_pVobData->ReadSector(m_sourceVobus[int32_t(nVobu)], pSector))
        return false;
    if (nVobu == 0)
    {
        m_firstPci.ReadFromSector(pSector);
        m_firstDsi.ReadFromSector(pSector);
        memcpy(m_firstScr, pSector + NAV_SCR_OFFSET, sizeof(m_firstScr));
        m_bFirstNavValid = 1;
    }
    else if (nVobu + 1 == nCount)
    {
        m_lastPci.ReadFromSector(pSector);
        m_lastDsi.ReadFromSector(pSector);
        m_bLastNavValid = 1;
    }
    return true;
}

bool CVobCell::ReadNavPack(PciPacket& pci, uint32_t nVobu) const
{
    BYTE sector[VOB_SECTOR_SIZE];
    if (!ReadNavSector(nVobu, sector))
        return false;
    pci.ReadFromSector(sector);
    return true;
}

bool CVobCell::ReadDsi(DsiPacket& dsi, uint32_t nVobu) const
{
    BYTE sector[VOB_SECTOR_SIZE];
    if (!ReadNavSector(nVobu, sector))
        return false;
    dsi.ReadFromSector(sector);
    return true;
}

const PciPacket& CVobCell::GetFirstPci() const
{
    if (!m_bFirstNavValid)
    {
        BYTE sector[VOB_SECTOR_SIZE];
        ReadNavSector(0, sector);
    }
    return m_firstPci;
}

const DsiPacket& CVobCell::GetFirstDsi() const
{
    GetFirstPci();
    return m_firstDsi;
}

const BYTE* CVobCell::GetFirstScrBytes() const
{
    GetFirstPci();
    return m_firstScr;
}

const PciPacket& CVobCell::GetLastPci() const
{
    // Read here: for a one-VOBU cell a read of VOBU 0 fills the first cache
    // only.
    const uint32_t nCount = GetVobuCount();
    BYTE sector[VOB_SECTOR_SIZE];
    if (!m_bLastNavValid && nCount > 0 && m_pVobData &&
        m_pVobData->ReadSector(m_sourceVobus[int32_t(nCount - 1)], sector))
    {
        m_lastPci.ReadFromSector(sector);
        m_lastDsi.ReadFromSector(sector);
        m_bLastNavValid = 1;
    }
    return m_lastPci;
}

const DsiPacket& CVobCell::GetLastDsi() const
{
    GetLastPci();
    return m_lastDsi;
}

void CVobCell::SetFirstNav(const PciPacket& pci, const DsiPacket& dsi, const BYTE* pScr)
{
    m_firstPci = pci;
    m_firstDsi = dsi;
    if (pScr)
        memcpy(m_firstScr, pScr, sizeof(m_firstScr));
    m_bFirstNavValid = 1;
}

void CVobCell::SetLastNav(const PciPacket& pci, const DsiPacket& dsi)
{
    m_lastPci = pci;
    m_lastDsi = dsi;
    m_bLastNavValid = 1;
}

int CVobCell::GetAngleCount() const
{
    const PciPacket& pci = GetFirstPci();
    for (int i = NSML_AGLI_COUNT - 1; i >= 0; --i)
        if (!pci.IsNsmlAgliEmpty(i))
            return i + 1;
    return GetSmlAngleCount(GetFirstDsi());
}

bool CVobCell::AnnouncesAngles() const
{
    for (int i = 0; i < NSML_AGLI_COUNT; ++i)
        if (!GetFirstPci().IsNsmlAgliEmpty(i))
            return true;
    return HasSeamlessAngleInfo(GetFirstDsi());
}

bool CVobCell::IsInterleaved() const
{
    return !m_bPlainRun && GetFirstDsi().IsIlvu();
}

uint64_t CVobCell::GetFirstScr() const
{
    const BYTE* pScr = GetFirstScrBytes();
    return DecodeScr(pScr) * 300 + DecodeScrExtension(pScr);
}

int CVobCell::GetFrameRate() const
{
    return (GetFirstPci().GetCEltm().frames & DVDTIME_RATE_MASK) == DVDTIME_RATE_25 ? 25 : 30;
}

// ---- Sizes -------------------------------------------------------------------------------

uint64_t CVobCell::GetOutputSize(BYTE nKeptAudio, DWORD dwKeptSubpictures) const
{
    DWORD audio[8] = {};
    DWORD subpictures[32] = {};
    if (m_pVobData)
        m_pVobData->GetStreamSizes(m_sourceVobus, audio, subpictures);
    uint64_t nSectors = 0;
    if (m_pStill)
    {
        nSectors = uint64_t(m_pStill->GetPictureSectorCount()) + GetVobuCount();
        for (int i = 0; i < 8; ++i)
            if (nKeptAudio & (1u << i))
                nSectors += audio[i];
        for (int i = 0; i < 32; ++i)
            if (dwKeptSubpictures & (1u << i))
                nSectors += subpictures[i];
    }
    else
    {
        nSectors = GetSectorCount();
        if (!IsStock())
        {
            uint64_t nDropped = 0;
            for (int i = 0; i < 8; ++i)
                if (!(nKeptAudio & (1u << i)))
                    nDropped += audio[i];
            for (int i = 0; i < 32; ++i)
                if (!(dwKeptSubpictures & (1u << i)))
                    nDropped += subpictures[i];
            // Extrapolated counts may overshoot what the cell holds.
            nSectors = nDropped < nSectors ? nSectors - nDropped : 0;
        }
    }
    return nSectors * VOB_SECTOR_SIZE;
}

uint64_t CVobCell::GetEstimatedSize() const
{
    BYTE nAudio = 0xFF;
    DWORD dwSubpictures = 0xFFFFFFFF;
    CDvdObject* pParent = GetParent();
    if (pParent && pParent->GetKind() == DVDNODE_ANGLE_BLOCK)
        static_cast<CAngleBlock*>(pParent)->GetStreamMasks(nAudio, dwSubpictures);
    return GetOutputSize(nAudio, dwSubpictures);
}

uint64_t CVobCell::GetAudioStreamSize(int nStream, bool& bExact) const
{
    DWORD audio[8] = {};
    DWORD subpictures[32] = {};
    if (!m_pVobData || nStream < 0 || nStream >= 8)
        return 0;
    if (!m_pVobData->GetStreamSizes(m_sourceVobus, audio, subpictures))
        bExact = false;
    return uint64_t(audio[nStream]) * VOB_SECTOR_SIZE;
}

uint64_t CVobCell::GetSubpictureStreamSize(int nStream, bool& bExact) const
{
    DWORD audio[8] = {};
    DWORD subpictures[32] = {};
    if (!m_pVobData || nStream < 0 || nStream >= 32)
        return 0;
    if (!m_pVobData->GetStreamSizes(m_sourceVobus, audio, subpictures))
        bExact = false;
    return uint64_t(subpictures[nStream]) * VOB_SECTOR_SIZE;
}

// ---- Edit checks -------------------------------------------------------------------------

bool CVobCell::CanSplitAt(uint32_t nVobu) const
{
    if (nVobu < 1 || nVobu >= GetVobuCount())
        return false;
    if (m_segments.GetSize() == 1 && m_segments[0]->GetButtonCount() == 0)
        return true;
    PciPacket pci;
    if (!ReadNavPack(pci, nVobu))
        return false;
    const WORD wStatus = pci.GetHliStatus();
    return wStatus == 0 || wStatus == 1;
}

uint8_t CVobCell::GetDomain() const
{
    const CDvdObject* pBlock = GetParent();
    const CDvdObject* pList = pBlock ? pBlock->GetParent() : nullptr;
    const CDvdObject* pOwner = pList ? pList->GetParent() : nullptr;
    if (!pOwner)
        return DVDDOMAIN_ANY;
    if (pOwner->GetKind() == DVDNODE_VMG)
        return DVDDOMAIN_VMG_MENU;
    if (pOwner->GetKind() == DVDNODE_VTS)
        return pList->GetDomainCode();
    return DVDDOMAIN_ANY;
}

void CVobCell::GetPalette(CClut& clut) const
{
    clut.Clear();
    CDvdObject* pBlock = GetParent();
    CDvdObject* pList = pBlock ? pBlock->GetParent() : nullptr;
    if (!pList || pList->GetKind() != DVDNODE_ANGLE_BLOCK_LIST)
        return;
    CDvdObject* pContainer = static_cast<CAngleBlockList*>(pList)->GetPgcContainer();
    if (!pContainer)
        return;
    CPgcCellArray cells;
    pContainer->Notify(pBlock, DVDNOTICE_COLLECT_CELLS, reinterpret_cast<intptr_t>(&cells), 0);
    if (cells.GetSize() == 0)
        return;
    if (const CPgc* pPgc = cells[0]->GetPgc())
        clut = pPgc->m_colours;
}

// ---- Buttons -------------------------------------------------------------------------------

bool CVobCell::HasButtons() const
{
    for (uint32_t i = 0; i < m_segments.GetSize(); ++i)
        if (m_segments[i]->GetButtonCount() > 0)
            return true;
    return false;
}

bool CVobCell::ParseButtons(CDvdLog& log, bool bMenu, CDvdProgress* pProgress)
{
    DWORD dwUops = m_uops.GetMask();
    const bool bParsed = ParseButtonSegments(log, *this, bMenu, g_nBovShortestDuration, pProgress, m_segments, dwUops);
    m_uops.SetMask(dwUops);
    return bParsed;
}

bool CVobCell::ForEachButtonCommand(const std::function<bool(BYTE* pCommand)>& operation, bool bWriteBack)
{
    bool bChanged = false;
    for (uint32_t s = 0; s < m_segments.GetSize(); ++s)
    {
        CButtonSegment* pSegment = m_segments[s];
        for (uint32_t b = 0; b < pSegment->GetButtonCount(); ++b)
        {
            CDvdButton* pButton = pSegment->GetButton(b);
            for (uint32_t g = 0; g < pButton->GetGroupCount(); ++g)
            {
                BYTE command[8];
                memcpy(command, pButton->GetGroup(int(g)).command, sizeof(command));
                if (!operation(command))
                    continue;
                bChanged = true;
                if (bWriteBack)
                {
                    memcpy(pButton->GetGroup(int(g)).command, command, sizeof(command));
                    pSegment->SetModified();
                }
            }
        }
    }
    return bChanged;
}

bool CVobCell::AnyButtonCommand(const std::function<bool(const BYTE* pCommand)>& test) const
{
    for (uint32_t s = 0; s < m_segments.GetSize(); ++s)
    {
        const CButtonSegment* pSegment = m_segments[s];
        for (uint32_t b = 0; b < pSegment->GetButtonCount(); ++b)
        {
            const CDvdButton* pButton = pSegment->GetButton(b);
            for (uint32_t g = 0; g < pButton->GetGroupCount(); ++g)
                if (test(pButton->GetGroup(int(g)).command))
                    return true;
        }
    }
    return false;
}

bool CVobCell::HasNavigatingButtons() const
{
    for (uint32_t s = 0; s < m_segments.GetSize(); ++s)
        for (uint32_t b = 0; b < m_segments[s]->GetButtonCount(); ++b)
            if (m_segments[s]->GetButton(b)->HasNavigation())
                return true;
    return false;
}

WORD CVobCell::GetUsedRegisters() const
{
    WORD wMask = 0;
    for (uint32_t s = 0; s < m_segments.GetSize(); ++s)
        for (uint32_t b = 0; b < m_segments[s]->GetButtonCount(); ++b)
            wMask |= m_segments[s]->GetButton(b)->GetUsedRegisters();
    return wMask;
}

DWORD CVobCell::GetUsedSystemRegisters() const
{
    DWORD dwMask = 0;
    for (uint32_t s = 0; s < m_segments.GetSize(); ++s)
        for (uint32_t b = 0; b < m_segments[s]->GetButtonCount(); ++b)
            dwMask |= m_segments[s]->GetButton(b)->GetUsedSystemRegisters();
    return dwMask;
}

// ---- Output addresses ------------------------------------------------------------------

void CVobCell::SetOutput(const CGrowArray<DWORD>& vobus, const CGrowArray<DWORD>& startPtms,
                         const CGrowArray<DWORD>& endPtms, const CDvdPtrArray<CVobCellPiece>& pieces)
{
    m_outputVobus = vobus;
    m_outputStartPtms = startPtms;
    m_outputEndPtms = endPtms;
    CopyPieces(pieces, m_outputPieces);
}

DWORD CVobCell::GetFirstVobuSector() const
{
    return m_outputVobus.GetSize() > 0 ? m_outputVobus[0] : 0;
}

DWORD CVobCell::GetLastVobuSector() const
{
    return m_outputVobus.GetSize() > 0 ? m_outputVobus[m_outputVobus.GetSize() - 1] : 0;
}

DWORD CVobCell::GetLastVobuEndSector() const
{
    return m_outputPieces.GetSize() > 0 ? m_outputPieces[m_outputPieces.GetSize() - 1]->m_dwLastSector : 0;
}

DWORD CVobCell::GetFirstIlvuEndSector() const
{
    if (!IsInterleaved() || m_outputPieces.GetSize() == 0)
        return 0;
    return m_outputPieces[0]->m_dwLastSector;
}

// ---- Free functions ------------------------------------------------------------------------

int FindVobuAtOffset(const CVobCell& ilvu, uint64_t nOffset)
{
    const CGrowArray<DWORD>& vobus = ilvu.GetSourceVobus();
    int nFound = -1;
    for (int32_t i = 0; i < vobus.GetSize(); ++i)
    {
        if (uint64_t(vobus[i]) * VOB_SECTOR_SIZE > nOffset)
            break;
        nFound = i;
    }
    return nFound;
}

DWORD DecodePts(const BYTE* p)
{
    const uint64_t nPts = (uint64_t(p[0] & 0x0E) << 29) | (uint64_t(p[1]) << 22) | (uint64_t(p[2] & 0xFE) << 14) |
                          (uint64_t(p[3]) << 7) | (uint64_t(p[4]) >> 1);
    return DWORD(nPts);
}

void EncodePts(BYTE* p, uint64_t nPts)
{
    p[0] = BYTE((p[0] & 0xF0) | ((nPts >> 29) & 0x0E) | 0x01);
    p[1] = BYTE(nPts >> 22);
    p[2] = BYTE(((nPts >> 14) & 0xFE) | 0x01);
    p[3] = BYTE(nPts >> 7);
    p[4] = BYTE(((nPts << 1) & 0xFE) | 0x01);
}
