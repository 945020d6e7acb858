#include "DVD/source/VMG.h"

#include "DVD/source/DVD.h"
#include "DVD/source/ProjectStream.h"
#include "DVD/source/Validator.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

namespace
{
// The newest VMG record this build writes and reads.
constexpr uint8_t kVmgRecordVersion = 4;
// Parental records arrived with this version.
constexpr uint8_t kVmgParentalVersion = 3;
} // namespace

int FindParentalRecord(const CParentalRecordArray& records, uint16_t nCountry)
{
    for (uint32_t i = 0; i < records.GetSize(); ++i)
    {
        const CParentalRecord* pRecord = records[i];
        if (pRecord != nullptr && pRecord->nCountry == nCountry)
            return static_cast<int>(i);
    }
    return -1;
}

void CopyParentalRecords(CParentalRecordArray& dst, const CParentalRecordArray& src)
{
    if (&dst == &src)
        return;
    dst.RemoveAll();
    for (uint32_t i = 0; i < src.GetSize(); ++i)
    {
        const CParentalRecord* pRecord = src[i];
        dst.Add(pRecord != nullptr ? new CParentalRecord(*pRecord) : nullptr);
    }
}

bool StoreParentalRecords(CProjectWriter& writer, const CParentalRecordArray& records)
{
    WriteDword(writer, records.GetSize());
    static const CParentalRecord kEmpty;
    for (uint32_t i = 0; i < records.GetSize(); ++i)
    {
        const CParentalRecord& record = records[i] != nullptr ? *records[i] : kEmpty;
        WriteWord(writer, record.nCountry);
        for (uint16_t nMask : record.masks)
            WriteWord(writer, nMask);
    }
    return writer.IsOk();
}

bool LoadParentalRecords(CDvdLog& log, CProjectReader& reader, CParentalRecordArray& records)
{
    uint32_t nCount = 0;
    if (!ReadDword(reader, nCount) || !reader.CanHold(nCount, CParentalRecord::kStoredSize))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    records.RemoveAll();
    for (uint32_t i = 0; i < nCount; ++i)
    {
        CParentalRecord record;
        bool bOk = ReadWord(reader, record.nCountry);
        for (uint16_t& nMask : record.masks)
            bOk = bOk && ReadWord(reader, nMask);
        if (!bOk)
        {
            log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
            return false;
        }
        records.Add(new CParentalRecord(record));
    }
    return true;
}

CVmg::CVmg(CDvd* pDvd) : CDvdObject(DVDNODE_VMG, pDvd)
{
}

CVmg::~CVmg()
{
    Clear();
}

CVmg& CVmg::operator=(const CVmg& src)
{
    if (this == &src)
        return *this;
    Clear();
    m_nCategory = src.m_nCategory;
    m_nVolumes = src.m_nVolumes;
    m_nVolumeNumber = src.m_nVolumeNumber;
    m_nSide = src.m_nSide;
    m_nPosCode = src.m_nPosCode;
    CopyParentalRecords(m_parentalRecords, src.m_parentalRecords);
    CDvdObject::operator=(src);
    return *this;
}

bool CVmg::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    return validator.Check(CDvdReference(this, 0, 0), messages);
}

void CVmg::Invalidate()
{
}

void CVmg::Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t)
{
    if (nCode == DVDNOTICE_IS_IN_TREE && pSender == this)
    {
        *reinterpret_cast<uint8_t*>(a) = 1;
        return;
    }
    if (nCode == DVDNOTICE_CLEAR_MARKS)
        SetFlags(static_cast<uint8_t>(GetFlags() & ~DVDFLAG_MARK));
}

void CVmg::Clear()
{
    m_nCategory = 0;
    m_nVolumes = 1;
    m_nVolumeNumber = 1;
    m_nSide = 1;
    m_nPosCode = 0;
    SetModified();
}

bool CVmg::ReadIfo(CDvdLog& log, const char*, uint16_t& nTitleSets, CParentalTableArray&, CDvdProgress*)
{
    Clear();
    nTitleSets = 0;
    log.ReportError("Reading VIDEO_TS.IFO is not supported by this build.", DVD_LOCATION);
    return false;
}

void CVmg::RemoveOrphanMenuBlocks()
{
    // Without a menu domain there are no blocks to drop.
}

uint64_t CVmg::Write(CDvdLog& log, const char*, bool, const CDvdObjectArray<CVts>&, CDvdProgress*, bool)
{
    log.ReportError("Writing the Video Manager is not supported by this build.", DVD_LOCATION);
    return 0;
}

bool CVmg::Store(CDvdLog&, CProjectWriter& writer, CDvdProgress*)
{
    WriteByte(writer, kVmgRecordVersion);
    WriteByte(writer, GetFlags());
    WriteDword(writer, m_nCategory);
    WriteWord(writer, m_nVolumes);
    WriteWord(writer, m_nVolumeNumber);
    WriteByte(writer, m_nSide);
    WriteQword(writer, m_nPosCode);
    return StoreParentalRecords(writer, m_parentalRecords);
}

bool CVmg::Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress)
{
    uint8_t nVersion = 0;
    if (!ReadByte(reader, nVersion) || nVersion > kVmgRecordVersion)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    Clear();
    uint8_t nFlags = 0;
    ReadByte(reader, nFlags);
    ReadDword(reader, m_nCategory);
    ReadWord(reader, m_nVolumes);
    ReadWord(reader, m_nVolumeNumber);
    ReadByte(reader, m_nSide);
    ReadQword(reader, m_nPosCode);
    if (!reader.IsOk())
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    SetFlags(nFlags);
    if (nVersion >= kVmgParentalVersion && !LoadParentalRecords(log, reader, m_parentalRecords))
        return false;
    if (pProgress != nullptr)
        pProgress->SetPosition(reader.GetTransferred());
    return true;
}
