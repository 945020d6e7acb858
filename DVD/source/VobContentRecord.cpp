// Project records of VOB content: a domain with the source VOB sets it uses,
// its blocks, their ILVUs with the pristine ILVUs they came from, still
// pictures and (through the button records) the highlights.
//
// Records name a source VOB set by its index in the domain's list of sets
// and a pristine ILVU by its index in the pristine list, which is not stored:
// both sides build it from the list of sets (see BuildPristineList).

#include "DVD/source/AngleBlock.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/OldRecords.h"
#include "DVD/source/ProjectStream.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

namespace
{
constexpr uint8_t kDomainRecordVersion = 1;

constexpr uint8_t kBlockRecordVersion = 3;
constexpr uint8_t kBlockPristineVersion = 2;    // a pristine index after each ILVU
constexpr uint8_t kBlockInterleavedVersion = 3; // the interleaved flag

constexpr uint8_t kStillRecordVersion = 1;
constexpr uint8_t kStillConstant = 1; // written for earlier readers, not read back

// ILVU record versions and what each added.
constexpr uint8_t kIlvuRecordVersion = 10;
constexpr uint8_t kIlvuStockVersion = 2;     // the stock flag counts
constexpr uint8_t kIlvuUopsVersion = 3;      // the user operations mask
constexpr uint8_t kIlvuSegmentsVersion = 4;  // usable button segments
constexpr uint8_t kIlvuNoPlayerVersion = 5;  // no more decoder records
constexpr uint8_t kIlvuCutsVersion = 6;      // sectors cut at either end
constexpr uint8_t kIlvuSerialVersion = 7;    // the serial number
constexpr uint8_t kIlvuStillVersion = 8;     // the still picture
constexpr uint8_t kIlvuHighlightVersion = 9; // segments keep their times
constexpr uint8_t kIlvuFlagsVersion = 10;    // the node flags
constexpr uint32_t kIlvuConstant = 12;       // written for earlier readers, not read back

// Serial numbers of ILVUs whose records are older than the serial number.
uint16_t g_wNextSerial = 0;

// Smallest records, to hold counts against the bytes left.
constexpr uint32_t kMinBlockRecordBytes = 1 + 1 + 2;
constexpr uint32_t kMinIlvuRecordBytes = 1 + 2 + 2 + 1 + 4 + 1 + 2 + 2 + 2;
constexpr uint32_t kMinVobDataRecordBytes = 1 + 4 + 1 + 1;
constexpr uint32_t kMinSegmentRecordBytes = 1 + 4 + 4 + 4 + 2 + 24;

int FindSet(const CVobDataList& sets, const CVobData* pSet)
{
    for (int32_t i = 0; i < sets.GetSize() && i < 0x10000; ++i)
        if (sets[i] == pSet)
            return int(i);
    return -1;
}

// Index 0 is none; then, for every set in order, every ILVU of every block
// of its pristine domain, in block and angle order. A set storing its own
// pristine domain uses none of them: its blocks are what is being read.
void BuildPristineList(const CVobDataList& sets, const CVobData* pOwnSet, CGrowArray<CVobCell*>& list)
{
    list.SetSize(0);
    list.Add(nullptr);
    if (pOwnSet != nullptr)
        return;
    for (int32_t s = 0; s < sets.GetSize(); ++s)
    {
        const CAngleBlockList& pristine = sets[s]->GetPristineBlocks();
        for (uint32_t b = 0; b < pristine.GetBlockCount(); ++b)
        {
            const CAngleBlock* pBlock = pristine.GetBlock(b);
            for (uint32_t a = 0; a < pBlock->GetIlvuCount(); ++a)
                list.Add(pBlock->GetIlvu(a));
        }
    }
}

void ReportUnexpected(CDvdLog& log, const CString& location)
{
    log.ReportError(kUnexpectedArchiveContent, location);
}
} // namespace

// ---- Still picture ------------------------------------------------------------------

CStillSource::CStillSource(CVobData* pVobData) : m_pVobData(pVobData)
{
    if (m_pVobData)
        m_pVobData->AddRef();
}

bool CStillSource::Store(CDvdLog& log, CProjectWriter& writer, const CVobDataList& sets) const
{
    const int nSet = FindSet(sets, m_pVobData);
    if (nSet < 0)
    {
        log.ReportError("Can't find source data", DVD_LOCATION);
        return false;
    }
    WriteByte(writer, kStillRecordVersion);
    WriteByte(writer, kStillConstant);
    WriteDword(writer, m_dwNavSector);
    WriteDword(writer, m_dwFirstRefEnd);
    WriteDword(writer, m_dwPictureSectors);
    WriteWord(writer, uint16_t(nSet));
    return writer.IsOk();
}

CStillSource* CStillSource::Load(CDvdLog& log, CProjectReader& reader, const CVobDataList& sets)
{
    uint8_t nVersion = 0;
    uint8_t nConstant = 0;
    uint32_t values[3] = {};
    uint16_t nSet = 0;
    bool bOk = ReadByte(reader, nVersion) && nVersion == kStillRecordVersion && ReadByte(reader, nConstant);
    for (uint32_t& dwValue : values)
        bOk = bOk && ReadDword(reader, dwValue);
    if (!bOk || !ReadWord(reader, nSet) || nSet >= uint32_t(sets.GetSize()))
    {
        ReportUnexpected(log, DVD_LOCATION);
        return nullptr;
    }
    CStillSource* pStill = new CStillSource(sets[nSet]);
    pStill->m_dwNavSector = values[0];
    pStill->m_dwFirstRefEnd = values[1];
    pStill->m_dwPictureSectors = values[2];
    return pStill;
}

// ---- ILVU -----------------------------------------------------------------------------

CVobCell::CVobCell(CVobData* pVobData, CAngleBlock* pParent)
    : CDvdObject(DVDNODE_VOB_CELL, pParent), m_pVobData(pVobData)
{
    if (m_pVobData)
        m_pVobData->AddRef();
}

bool CVobCell::Store(CDvdLog& log, CProjectWriter& writer, const CVobDataList& sets) const
{
    const int nSet = FindSet(sets, m_pVobData);
    if (nSet < 0)
    {
        log.ReportError("Can't find source data", DVD_LOCATION);
        return false;
    }
    // The record's counts are 16-bit: a cell edited beyond them cannot be
    // stored faithfully.
    if (m_sourceVobus.GetSize() > 0xFFFF || m_sourcePieces.GetSize() > 0xFFFF || m_segments.GetSize() > 0xFFFF)
    {
        log.ReportError(FormatString("Too many VOBUs in cell %u/%u to store.", unsigned(m_wVobId), unsigned(m_nCellId)),
                        DVD_LOCATION);
        return false;
    }
    WriteByte(writer, kIlvuRecordVersion);
    WriteByte(writer, GetFlags());
    WriteWord(writer, uint16_t(nSet));
    WriteWord(writer, m_wVobId);
    WriteByte(writer, m_nCellId);
    WriteDword(writer, kIlvuConstant);
    WriteByte(writer, m_bStock);
    WriteWord(writer, uint16_t(m_sourceVobus.GetSize()));
    for (int32_t i = 0; i < m_sourceVobus.GetSize(); ++i)
        WriteDword(writer, m_sourceVobus[i]);
    WriteWord(writer, uint16_t(m_sourcePieces.GetSize()));
    for (uint32_t i = 0; i < m_sourcePieces.GetSize(); ++i)
    {
        WriteDword(writer, m_sourcePieces[i]->m_dwFirstSector);
        WriteDword(writer, m_sourcePieces[i]->m_dwLastSector);
    }
    WriteWord(writer, uint16_t(m_segments.GetSize()));
    for (uint32_t i = 0; i < m_segments.GetSize(); ++i)
        if (!m_segments[i]->Store(log, writer))
            return false;
    WriteDword(writer, m_uops.GetMask());
    WriteDword(writer, m_dwCutAtStart);
    WriteDword(writer, m_dwCutAtEnd);
    WriteWord(writer, m_wSerial);
    WriteByte(writer, m_pStill != nullptr ? 1 : 0);
    if (m_pStill != nullptr && !m_pStill->Store(log, writer, sets))
        return false;
    return writer.IsOk();
}

CVobCell* CVobCell::Load(CDvdLog& log, CProjectReader& reader, const CVobDataList& sets, CAngleBlock* pParent)
{
    uint8_t nVersion = 0;
    uint8_t nFlags = 0;
    uint16_t nSet = 0;
    uint16_t wVobId = 0;
    uint8_t nCellId = 0;
    uint32_t dwConstant = 0;
    uint8_t bStock = 0;
    bool bOk = ReadByte(reader, nVersion) && nVersion <= kIlvuRecordVersion;
    if (bOk && nVersion >= kIlvuFlagsVersion)
        bOk = ReadByte(reader, nFlags);
    bOk = bOk && ReadWord(reader, nSet) && nSet < uint32_t(sets.GetSize()) && ReadWord(reader, wVobId) &&
          ReadByte(reader, nCellId) && ReadDword(reader, dwConstant) && ReadByte(reader, bStock);
    if (!bOk)
    {
        ReportUnexpected(log, DVD_LOCATION);
        return nullptr;
    }

    CVobCell* pIlvu = new CVobCell(sets[nSet], pParent);
    pIlvu->m_wVobId = wVobId;
    pIlvu->m_nCellId = nCellId;
    pIlvu->m_bStock = nVersion >= kIlvuStockVersion ? bStock : 0;

    uint16_t nCount = 0;
    bOk = ReadWord(reader, nCount) && reader.CanHold(nCount, 4);
    for (uint16_t i = 0; bOk && i < nCount; ++i)
    {
        uint32_t dwSector = 0;
        bOk = ReadDword(reader, dwSector);
        pIlvu->m_sourceVobus.Add(dwSector);
    }
    bOk = bOk && ReadWord(reader, nCount) && reader.CanHold(nCount, 8);
    for (uint16_t i = 0; bOk && i < nCount; ++i)
    {
        uint32_t dwFirst = 0;
        uint32_t dwLast = 0;
        bOk = ReadDword(reader, dwFirst) && ReadDword(reader, dwLast);
        pIlvu->m_sourcePieces.Add(new CVobCellPiece{dwFirst, dwLast});
    }
    uint8_t nSegmentVersion = 0;
    bOk = bOk && ReadWord(reader, nCount) && reader.CanHold(nCount, kMinSegmentRecordBytes);
    for (uint16_t i = 0; bOk && i < nCount; ++i)
    {
        CButtonSegment* pSegment = CButtonSegment::Load(log, reader, pIlvu, nSegmentVersion);
        bOk = pSegment != nullptr;
        if (bOk)
            pIlvu->m_segments.Add(pSegment);
    }
    if (!bOk)
    {
        if (!log.HasError())
            ReportUnexpected(log, DVD_LOCATION);
        delete pIlvu;
        return nullptr;
    }

    // The first versions kept records of the decoder objects of their time.
    if (nVersion < kIlvuNoPlayerVersion)
    {
        uint8_t bPresent = 0;
        bOk = ReadByte(reader, bPresent) && (bPresent == 0 || MPEGVideoSource::Load(log, reader)) &&
              ReadByte(reader, bPresent) && (bPresent == 0 || MPEGVideoParser::Load(log, reader));
    }
    uint32_t dwUops = 0;
    uint32_t dwCutAtStart = 0;
    uint32_t dwCutAtEnd = 0;
    uint8_t bStill = 0;
    if (bOk && nVersion >= kIlvuUopsVersion)
        bOk = ReadDword(reader, dwUops);
    if (bOk && nVersion >= kIlvuCutsVersion)
        bOk = ReadDword(reader, dwCutAtStart) && ReadDword(reader, dwCutAtEnd);
    if (bOk && nVersion >= kIlvuSerialVersion)
        bOk = ReadWord(reader, pIlvu->m_wSerial);
    else
        pIlvu->m_wSerial = g_wNextSerial++;
    if (bOk && nVersion >= kIlvuStillVersion)
        bOk = ReadByte(reader, bStill) && bStill <= 1;
    if (bOk && bStill != 0)
    {
        pIlvu->m_pStill = CStillSource::Load(log, reader, sets);
        bOk = pIlvu->m_pStill != nullptr;
    }
    if (!bOk)
    {
        if (!log.HasError())
            ReportUnexpected(log, DVD_LOCATION);
        delete pIlvu;
        return nullptr;
    }
    pIlvu->m_dwCutAtStart = dwCutAtStart;
    pIlvu->m_dwCutAtEnd = dwCutAtEnd;

    // What a record keeps of the source also stands for the last export.
    pIlvu->m_outputVobus = pIlvu->m_sourceVobus;
    for (uint32_t i = 0; i < pIlvu->m_sourcePieces.GetSize(); ++i)
        pIlvu->m_outputPieces.Add(new CVobCellPiece(*pIlvu->m_sourcePieces[i]));

    // Older records lack what the source's navigation packs still hold.
    if (nVersion < kIlvuUopsVersion)
        dwUops = pIlvu->GetFirstPci().GetVobuUopCtl();
    pIlvu->m_uops.SetMask(dwUops);
    if (nVersion < kIlvuSegmentsVersion)
    {
        pIlvu->m_segments.RemoveAll();
        if (!pIlvu->ParseButtons(log, true, nullptr))
        {
            delete pIlvu;
            return nullptr;
        }
    }
    else if (nVersion < kIlvuHighlightVersion)
    {
        for (uint32_t i = 0; i < pIlvu->m_segments.GetSize(); ++i)
        {
            CButtonSegment* pSegment = pIlvu->m_segments[i];
            PciPacket pci;
            if (pIlvu->ReadNavPack(pci, pSegment->GetFirstVobu()))
                pSegment->SetFromHli(pci, pci.GetVobuSPtm());
        }
    }
    pIlvu->SetFlags(nFlags);
    return pIlvu;
}

// ---- Block ------------------------------------------------------------------------------

bool CAngleBlock::Store(CDvdLog& log, CProjectWriter& writer, const CVobDataList& sets,
                        const CGrowArray<CVobCell*>& pristine) const
{
    WriteByte(writer, kBlockRecordVersion);
    WriteByte(writer, GetFlags());
    WriteWord(writer, uint16_t(m_ilvus.GetSize()));
    for (uint32_t a = 0; a < m_ilvus.GetSize(); ++a)
    {
        if (!m_ilvus[a]->Store(log, writer, sets))
            return false;
        // A pristine ILVU outside the list (the stock cell of a hidden
        // block) is stored as none.
        const CVobCell* pPristine = GetPristine(a);
        uint16_t nPristine = 0;
        for (int32_t i = 1; pPristine != nullptr && i < pristine.GetSize() && i < 0x10000; ++i)
        {
            if (pristine[i] == pPristine)
            {
                nPristine = uint16_t(i);
                break;
            }
        }
        WriteWord(writer, nPristine);
    }
    WriteByte(writer, m_bInterleaved);
    return writer.IsOk();
}

bool CAngleBlock::Load(CDvdLog& log, CProjectReader& reader, const CGrowArray<CVobCell*>& pristine,
                       const CVobDataList& sets, CDvdProgress*)
{
    Clear();
    uint8_t nVersion = 0;
    uint8_t nFlags = 0;
    uint16_t nCount = 0;
    if (!ReadByte(reader, nVersion) || nVersion > kBlockRecordVersion || GetKind() != DVDNODE_ANGLE_BLOCK ||
        !ReadByte(reader, nFlags) || !ReadWord(reader, nCount) || !reader.CanHold(nCount, kMinIlvuRecordBytes))
    {
        ReportUnexpected(log, DVD_LOCATION);
        return false;
    }
    for (uint16_t a = 0; a < nCount; ++a)
    {
        CVobCell* pIlvu = CVobCell::Load(log, reader, sets, this);
        if (pIlvu == nullptr)
        {
            Clear();
            return false;
        }
        uint16_t nPristine = 0;
        bool bOk = nVersion < kBlockPristineVersion ||
                   (ReadWord(reader, nPristine) && nPristine < uint32_t(pristine.GetSize()));
        // A second angle with the ids of another is not a block the program
        // could have written.
        bOk = bOk && !log.IsCancelled() && !log.HasError() && AddCell(pIlvu, pristine[nPristine]);
        if (!bOk)
        {
            if (!log.HasError() && !log.IsCancelled())
                ReportUnexpected(log, DVD_LOCATION);
            delete pIlvu;
            Clear();
            return false;
        }
    }
    uint8_t bInterleaved = nCount > 1 ? 1 : 0;
    if (nVersion >= kBlockInterleavedVersion && (!ReadByte(reader, bInterleaved) || bInterleaved > 1))
    {
        ReportUnexpected(log, DVD_LOCATION);
        Clear();
        return false;
    }
    m_bInterleaved = bInterleaved;
    SetFlags(nFlags);
    return true;
}

// ---- Domain --------------------------------------------------------------------------------

bool CAngleBlockList::Store(CDvdLog& log, CProjectWriter& writer, CVobData* pOwnSet) const
{
    CVobDataList sets;
    if (pOwnSet != nullptr)
        sets.Add(pOwnSet);
    else
        CollectVobData(sets);
    if (sets.GetSize() > 0xFFFF || m_blocks.GetSize() > 0xFFFF)
    {
        ReportUnexpected(log, DVD_LOCATION);
        return false;
    }
    WriteByte(writer, kDomainRecordVersion);
    WriteByte(writer, GetFlags());
    if (pOwnSet == nullptr)
    {
        WriteWord(writer, uint16_t(sets.GetSize()));
        for (int32_t i = 0; i < sets.GetSize(); ++i)
            if (!sets[i]->Store(log, writer))
                return false;
    }
    if (!m_streams.Store(writer))
        return false;
    CGrowArray<CVobCell*> pristine;
    BuildPristineList(sets, pOwnSet, pristine);
    WriteWord(writer, uint16_t(m_blocks.GetSize()));
    for (uint32_t b = 0; b < m_blocks.GetSize(); ++b)
        if (!m_blocks[b]->Store(log, writer, sets, pristine))
            return false;
    return writer.IsOk();
}

bool CAngleBlockList::Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress, CVobData* pOwnSet)
{
    uint8_t nVersion = 0;
    if (!ReadByte(reader, nVersion) || nVersion != kDomainRecordVersion)
    {
        ReportUnexpected(log, DVD_LOCATION);
        return false;
    }
    RemoveAll();
    m_bMapsValid = 0;
    uint8_t nFlags = 0;
    if (!ReadByte(reader, nFlags) || GetKind() != DVDNODE_ANGLE_BLOCK_LIST)
    {
        ReportUnexpected(log, DVD_LOCATION);
        return false;
    }

    CVobDataList sets;
    if (pOwnSet != nullptr)
    {
        sets.Add(pOwnSet);
    }
    else
    {
        uint16_t nSets = 0;
        if (!ReadWord(reader, nSets) || !reader.CanHold(nSets, kMinVobDataRecordBytes))
        {
            ReportUnexpected(log, DVD_LOCATION);
            return false;
        }
        for (uint16_t i = 0; i < nSets; ++i)
        {
            CVobData* pSet = CVobData::Load(log, reader, pProgress);
            if (pSet == nullptr || log.IsCancelled() || log.HasError())
                return false;
            sets.Add(pSet);
        }
    }
    CGrowArray<CVobCell*> pristine;
    BuildPristineList(sets, pOwnSet, pristine);

    uint16_t nBlocks = 0;
    if (!m_streams.Load(log, reader))
        return false;
    if (!ReadWord(reader, nBlocks) || !reader.CanHold(nBlocks, kMinBlockRecordBytes))
    {
        ReportUnexpected(log, DVD_LOCATION);
        RemoveAll();
        return false;
    }
    for (uint16_t b = 0; b < nBlocks; ++b)
    {
        CAngleBlock* pBlock = new CAngleBlock(nullptr, nullptr, this);
        AddBlock(pBlock);
        if (!pBlock->Load(log, reader, pristine, sets, pProgress))
        {
            RemoveAll();
            return false;
        }
        if (pProgress != nullptr)
            pProgress->SetPosition(reader.GetTransferred());
    }
    SetFlags(nFlags);
    if (pProgress != nullptr)
        pProgress->SetPosition(reader.GetTransferred());
    return true;
}
