// The project record of the Video Manager.
//
// The menu domain is stored before the first-play PGC and the language units
// because their cell entries name its blocks by number.

#include "DVD/source/IfoView.h"
#include "DVD/source/ProjectStream.h"
#include "DVD/source/VMG.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

#include <memory>
#include <vector>

namespace
{
// The newest VMG record, and what each version added.
constexpr uint8_t kVmgRecordVersion = 4;
constexpr uint8_t kVmgTextVersion = 2;
constexpr uint8_t kVmgParentalVersion = 3;
constexpr uint8_t kVmgTitleFlagsVersion = 4;
} // namespace

bool CVmg::Store(CDvdLog& log, CProjectWriter& writer, CDvdProgress* pProgress)
{
    WriteByte(writer, kVmgRecordVersion);
    WriteByte(writer, GetFlags());
    WriteDword(writer, m_nCategory);
    WriteWord(writer, m_nVolumes);
    WriteWord(writer, m_nVolumeNumber);
    WriteByte(writer, m_nSide);
    WriteQword(writer, m_nPosCode);
    if (!m_menuDomain.Store(log, writer, nullptr))
    {
        log.ReportInfo("Can't write vob info", DVD_LOCATION);
        return false;
    }
    CBlockIndex blocks;
    m_menuDomain.GetBlocks(blocks);
    WriteByte(writer, m_pFirstPlay ? 1 : 0);
    if (m_pFirstPlay && !m_pFirstPlay->Store(log, writer, blocks))
    {
        log.ReportInfo("Can't write First Play PGC", DVD_LOCATION);
        return false;
    }
    if (!m_languageUnits.Store(log, writer, blocks))
    {
        log.ReportInfo("Can't write LUs", DVD_LOCATION);
        return false;
    }
    const uint32_t nTitles = m_titles.GetEntryCount();
    if (nTitles > 0xFFFF)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    WriteWord(writer, uint16_t(nTitles));
    for (uint32_t i = 0; i < nTitles; ++i)
    {
        WriteByte(writer, m_titles.GetEntry(i)->nVts);
        WriteByte(writer, m_titles.GetEntry(i)->nTitle);
        WriteByte(writer, m_titles.GetFlag(i));
    }
    WriteByte(writer, m_pTextData ? 1 : 0);
    if (m_pTextData)
    {
        std::vector<BYTE> text(m_pTextData->GetIfoSize());
        m_pTextData->WriteIfo(text.data());
        WriteDword(writer, uint32_t(text.size()));
        TransferBytes(writer, text.data(), uint32_t(text.size()));
    }
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
    if (!m_menuDomain.Load(log, reader, pProgress, nullptr))
        return false;
    CBlockIndex blocks;
    m_menuDomain.GetBlocks(blocks);

    uint8_t bFirstPlay = 0;
    if (!ReadByte(reader, bFirstPlay) || bFirstPlay > 1)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    if (bFirstPlay != 0)
    {
        m_pFirstPlay.reset(new CPgc(0, this));
        if (!m_pFirstPlay->Load(log, reader, blocks, pProgress))
            return false;
    }
    m_languageUnits.SetModified();
    m_languageUnits.RemoveAll();
    if (!m_languageUnits.Load(log, reader, blocks, pProgress))
        return false;

    const uint32_t nEntryBytes = nVersion >= kVmgTitleFlagsVersion ? 3 : 2;
    uint16_t nTitles = 0;
    if (!ReadWord(reader, nTitles) || !reader.CanHold(nTitles, nEntryBytes))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    for (uint16_t i = 0; i < nTitles; ++i)
    {
        CVmgTitleEntry entry;
        uint8_t nFlag = 0;
        bool bOk = ReadByte(reader, entry.nVts) && ReadByte(reader, entry.nTitle);
        if (nVersion >= kVmgTitleFlagsVersion)
            bOk = bOk && ReadByte(reader, nFlag);
        if (!bOk)
        {
            log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
            return false;
        }
        m_titles.AddEntry(entry);
        m_titles.SetFlag(i, nFlag);
    }

    if (nVersion >= kVmgTextVersion)
    {
        uint8_t bText = 0;
        if (!ReadByte(reader, bText) || bText > 1)
        {
            log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
            return false;
        }
        if (bText != 0)
        {
            uint32_t nSize = 0;
            if (!ReadDword(reader, nSize) || nSize < CTextData::kHeaderBytes || !reader.CanHold(nSize, 1))
            {
                log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
                return false;
            }
            std::vector<BYTE> bytes(nSize);
            std::unique_ptr<CTextData> pText(new CTextData);
            if (TransferBytes(reader, bytes.data(), nSize) != nSize || !pText->ReadIfo(CIfoView(bytes.data(), nSize)))
            {
                log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
                return false;
            }
            m_pTextData = std::move(pText);
        }
    }
    // A record without parental records replaces those of the disc before
    // with none.
    if (nVersion < kVmgParentalVersion)
        m_parentalRecords.RemoveAll();
    else if (!LoadParentalRecords(log, reader, m_parentalRecords))
        return false;
    if (pProgress != nullptr)
        pProgress->SetPosition(reader.GetTransferred());
    return true;
}
