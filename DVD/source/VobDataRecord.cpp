// The project record of a source VOB set: where it was, its address tables
// and total size, so that a project reopens it without a scan and notices a
// missing file; from version 2 on also its pristine blocks and the progress
// of its background scan.

#include "DVD/source/AngleBlock.h"
#include "DVD/source/ProjectStream.h"
#include "DVD/source/VobData.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

#include <memory>

namespace
{
constexpr uint8_t kVobDataRecordVersion = 2;
// The scan state follows the tables from this version on.
constexpr uint8_t kVobDataScanStateVersion = 2;
constexpr uint8_t kScanDataRecordVersion = 1;
// A stored path, its terminator included.
constexpr uint32_t kMaxPathBytes = 1024;
// The record's table counts are 16-bit.
constexpr uint32_t kMaxTableEntries = 0xFFFF;
constexpr uint32_t kCellAddressBytes = 12;

void SetProgress(CDvdProgress* pProgress, const CProjectReader& reader)
{
    if (pProgress != nullptr)
        pProgress->SetPosition(reader.GetTransferred());
}

// The scan counts of a record, read before they are given to a set.
struct CStoredScanData
{
    BYTE audioIds[8];
    BYTE nAudioStreams = 0;
    BYTE nSubpictureStreams = 0;
    CVobuScanRecordArray records;
    int32_t nLastScanned = -1;
};

bool LoadScanData(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress, CStoredScanData& data)
{
    uint8_t nVersion = 0;
    uint8_t nAudio = 0;
    uint8_t nSubpictures = 0;
    if (!ReadByte(reader, nVersion) || nVersion != kScanDataRecordVersion || !ReadByte(reader, nAudio) ||
        !ReadByte(reader, nSubpictures) || nAudio > 8 || nSubpictures > 32)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    memset(data.audioIds, 0xFF, sizeof(data.audioIds));
    uint16_t nRecords = 0;
    const uint32_t nRecordBytes = 2 + 2 * uint32_t(nAudio) + 2 * uint32_t(nSubpictures);
    if (TransferBytes(reader, data.audioIds, nAudio) != nAudio || !ReadWord(reader, nRecords) ||
        !reader.CanHold(nRecords, nRecordBytes))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    data.nAudioStreams = nAudio;
    data.nSubpictureStreams = nSubpictures;
    data.records.SetSize(nRecords, true);
    bool bOk = true;
    for (uint16_t i = 0; bOk && i < nRecords; ++i)
    {
        CVobuScanRecord& record = data.records[i];
        bOk = ReadWord(reader, record.length);
        for (uint8_t a = 0; bOk && a < nAudio; ++a)
            bOk = ReadWord(reader, record.audio[a]);
        for (uint8_t s = 0; bOk && s < nSubpictures; ++s)
            bOk = ReadWord(reader, record.subpictures[s]);
    }
    uint32_t nLast = 0;
    if (!bOk || !ReadDword(reader, nLast))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    data.nLastScanned = int32_t(nLast);
    SetProgress(pProgress, reader);
    return true;
}

// The stock set of this run with that name.
CVobData* FindMemorySet(const CString& name)
{
    for (uint32_t i = 0; i < GetVobDataCount(); ++i)
    {
        CVobData* pSet = GetVobDataAt(i);
        if (pSet->GetVtsNumber() == VOBDATA_MEMORY && name == pSet->GetPath())
            return pSet;
    }
    return nullptr;
}
} // namespace

bool CVobData::Store(CDvdLog& log, CProjectWriter& writer)
{
    if (m_cells.GetSize() > kMaxTableEntries || uint32_t(m_vobus.GetSize()) > kMaxTableEntries)
    {
        log.ReportError(FormatString("Too many cells or VOBUs in %s to store.", (const char*)m_path), DVD_LOCATION);
        return false;
    }
    WriteByte(writer, kVobDataRecordVersion);
    writer.WriteString(m_path);
    WriteByte(writer, m_nVts);
    WriteByte(writer, m_bMenu);
    if (!m_streams.Store(writer))
        return false;
    WriteWord(writer, uint16_t(m_cells.GetSize()));
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
    {
        const CCellAddress& cell = *m_cells[i];
        WriteWord(writer, cell.m_wVobId);
        WriteByte(writer, cell.m_nCellId);
        WriteByte(writer, 0);
        WriteDword(writer, cell.m_dwFirstSector);
        WriteDword(writer, cell.m_dwLastSector);
    }
    WriteWord(writer, uint16_t(m_vobus.GetSize()));
    for (int32_t i = 0; i < m_vobus.GetSize(); ++i)
        WriteDword(writer, m_vobus[i]);
    WriteQword(writer, m_files.GetTotalSize());

    // The scan thread changes what follows.
    kx::ScopedLock lock(GetLock());
    const bool bScanState = m_nVts != VOBDATA_MEMORY;
    WriteByte(writer, bScanState ? 1 : 0);
    if (bScanState)
    {
        if (!m_pBlocks->Store(log, writer, this) || !StoreScanData(log, writer))
            return false;
        WriteByte(writer, m_bPreliminaryDone.load() ? 1 : 0);
        WriteDword(writer, m_nBlockCursor);
        WriteDword(writer, m_nVobuCursor.load());
    }
    return writer.IsOk();
}

bool CVobData::StoreScanData(CDvdLog& log, CProjectWriter& writer) const
{
    if (uint32_t(m_records.GetSize()) > kMaxTableEntries || m_nAudioStreams > 8 || m_nSubpictureStreams > 32)
    {
        log.ReportError(FormatString("Too many cells or VOBUs in %s to store.", (const char*)m_path), DVD_LOCATION);
        return false;
    }
    WriteByte(writer, kScanDataRecordVersion);
    WriteByte(writer, m_nAudioStreams);
    WriteByte(writer, m_nSubpictureStreams);
    TransferBytes(writer, m_audioIds, m_nAudioStreams);
    WriteWord(writer, uint16_t(m_records.GetSize()));
    for (int32_t i = 0; i < m_records.GetSize(); ++i)
    {
        const CVobuScanRecord& record = m_records[i];
        WriteWord(writer, record.length);
        for (BYTE a = 0; a < m_nAudioStreams; ++a)
            WriteWord(writer, record.audio[a]);
        for (BYTE s = 0; s < m_nSubpictureStreams; ++s)
            WriteWord(writer, record.subpictures[s]);
    }
    WriteDword(writer, uint32_t(m_nLastScanned.load()));
    return writer.IsOk();
}

bool CVobData::LoadScanState(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress, bool bDrop)
{
    uint8_t bPresent = 0;
    if (!ReadByte(reader, bPresent) || bPresent > 1)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    if (bPresent == 0)
        return true;

    // The record's pristine blocks are read against this set and dropped:
    // the set has built its own from the same tables. The scan counts are
    // taken when they fit the set's VOBUs and the caller wants them.
    std::unique_ptr<CAngleBlockList> pBlocks(new CAngleBlockList(nullptr));
    if (!pBlocks->Load(log, reader, pProgress, this))
        return false;
    CStoredScanData data;
    if (!LoadScanData(log, reader, pProgress, data))
        return false;
    uint8_t bPreliminaryDone = 0;
    uint32_t nBlockCursor = 0;
    uint32_t nVobuCursor = 0;
    if (!ReadByte(reader, bPreliminaryDone) || !ReadDword(reader, nBlockCursor) || !ReadDword(reader, nVobuCursor))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    SetProgress(pProgress, reader);
    if (bDrop || data.records.GetSize() != m_vobus.GetSize())
        return true;

    kx::ScopedLock lock(GetLock());
    memcpy(m_audioIds, data.audioIds, sizeof(m_audioIds));
    m_nAudioStreams = data.nAudioStreams;
    m_nSubpictureStreams = data.nSubpictureStreams;
    m_records = data.records;
    m_nLastScanned = data.nLastScanned;
    m_bPreliminaryDone = bPreliminaryDone != 0;
    m_nBlockCursor = nBlockCursor;
    m_nVobuCursor = nVobuCursor;
    return true;
}

CVobData* CVobData::Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress)
{
    uint8_t nVersion = 0;
    CString path;
    uint8_t nVts = 0;
    uint8_t bMenu = 0;
    if (!ReadByte(reader, nVersion) || nVersion > kVobDataRecordVersion ||
        !reader.ReadString(path, kMaxPathBytes - 1) || !ReadByte(reader, nVts) || !ReadByte(reader, bMenu) || bMenu > 1)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return nullptr;
    }
    CStreamSet streams(nullptr, bMenu != 0);
    if (!streams.Load(log, reader))
        return nullptr;
    SetProgress(pProgress, reader);

    CCellAddressList cells;
    uint16_t nCount = 0;
    bool bOk = ReadWord(reader, nCount) && reader.CanHold(nCount, kCellAddressBytes);
    for (uint16_t i = 0; bOk && i < nCount; ++i)
    {
        CCellAddress* pCell = new CCellAddress;
        cells.Add(pCell);
        uint8_t nReserved = 0;
        uint32_t dwFirst = 0;
        uint32_t dwLast = 0;
        bOk = ReadWord(reader, pCell->m_wVobId) && ReadByte(reader, pCell->m_nCellId) && ReadByte(reader, nReserved) &&
              ReadDword(reader, dwFirst) && ReadDword(reader, dwLast);
        pCell->m_dwFirstSector = dwFirst;
        pCell->m_dwLastSector = dwLast;
    }
    SetProgress(pProgress, reader);
    CVobuAddressList vobus;
    bOk = bOk && ReadWord(reader, nCount) && reader.CanHold(nCount, 4);
    for (uint16_t i = 0; bOk && i < nCount; ++i)
    {
        uint32_t dwSector = 0;
        bOk = ReadDword(reader, dwSector);
        vobus.Add(dwSector);
    }
    SetProgress(pProgress, reader);
    uint64_t nTotalSize = 0;
    if (!bOk || !ReadQword(reader, nTotalSize))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return nullptr;
    }

    CVobData* pSet = nullptr;
    bool bNew = false;
    if (nVts == VOBDATA_MEMORY)
    {
        pSet = FindMemorySet(path);
        if (pSet == nullptr)
        {
            log.ReportError(FormatString("File %s is not found", (const char*)path), DVD_LOCATION);
            return nullptr;
        }
    }
    else
    {
        const uint32_t nBefore = GetVobDataCount();
        if (nVts == VOBDATA_SINGLE_FILE)
            pSet = OpenVobFileData(log, path, pProgress, true);
        else
            pSet = OpenDomainVobData(log, path, nVts, bMenu != 0, &streams, cells, vobus, false, pProgress, true);
        bNew = pSet != nullptr && GetVobDataCount() > nBefore && GetVobDataAt(nBefore) == pSet;
    }
    if (pSet == nullptr || log.IsCancelled() || log.HasError())
        return nullptr;
    if (nVersion >= kVobDataScanStateVersion && !pSet->LoadScanState(log, reader, pProgress, !bNew))
        return nullptr;
    if (pSet->m_files.GetTotalSize() != nTotalSize)
    {
        log.ReportError("Not all needed vob files are available.", DVD_LOCATION);
        return nullptr;
    }
    return pSet;
}
