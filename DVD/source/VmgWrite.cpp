// Writing the Video Manager: VIDEO_TS.VOB, then VIDEO_TS.IFO laid out afresh
// from the model and from the title sets just written, then the backup.
#include "DVD/source/VMG.h"

#include "DVD/source/IfoWrite.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobExport.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

#include <algorithm>
#include <cstring>

namespace
{

// VMGI_MAT, by byte offset.
const size_t kVmgLastSector = 0x0C;
const size_t kVmgiLastSector = 0x1C;
const size_t kVersion = 0x21;
const size_t kCategory = 0x22;
const size_t kVolumeCount = 0x26;
const size_t kVolumeNumber = 0x28;
const size_t kSide = 0x2A;
const size_t kTitleSetCount = 0x3E;
const size_t kProvider = 0x40;
const size_t kPosCode = 0x60;
const size_t kVmgiMatLastByte = 0x80;
const size_t kFirstPlayOffset = 0x84;
const size_t kMenuVobs = 0xC0;
const size_t kTitleTable = 0xC4;
const size_t kMenuPgciUt = 0xC8;
const size_t kParentalTable = 0xCC;
const size_t kVtsAttributeTable = 0xD0;
const size_t kTextData = 0xD4;
const size_t kMenuCellAddresses = 0xD8;
const size_t kMenuVobuMap = 0xDC;
const size_t kMenuAttributes = 0x100;
// The first-play PGC follows the header's fixed part.
const size_t kFirstPlayPgc = 0x400;

const char kVmgIdentifier[] = "DVDVIDEO-VMG";
const char kProviderId[] = "KLX 3.6.2";
const BYTE kFormatVersion = 0x11;

// TT_SRPT: an 8-byte header, then 12 bytes per title.
const uint32_t kTableHeader = 8;
const uint32_t kTitleEntrySize = 12;
// PTL_MAIT: 8 bytes per country entry, then per country 8 levels of one
// 2-byte mask for the VMG and each title set.
const uint32_t kCountryEntrySize = 8;
const uint32_t kParentalLevels = 8;

size_t GetFirstPlaySize(const CPgc* pFirstPlay)
{
    return pFirstPlay != nullptr ? pFirstPlay->GetIfoSize() : 0;
}

uint64_t GetTextDataSectors(const CTextData* pText)
{
    return pText != nullptr ? pText->GetIfoSize() / IFO_SECTOR_SIZE + 1 : 0;
}

} // namespace

// The text data as read: the header, a zero, the kept byte, the end
// address and the payload.
void CTextData::WriteIfo(BYTE* pDest) const
{
    memcpy(pDest, m_header, 14);
    pDest[15] = m_nByte;
    PutBE32(pDest + 16, GetIfoSize() - 1);
    if (m_nPayloadLength > 0)
        memcpy(pDest + kHeaderBytes, m_payload.get(), m_nPayloadLength);
}

void CVmg::PrepareMenuExport()
{
    std::vector<const CPgc*> pgcs;
    for (uint32_t u = 0; u < m_languageUnits.GetUnitCount(); ++u)
        CollectPgcs(*m_languageUnits.GetUnit(u), pgcs);
    if (m_pFirstPlay)
        pgcs.push_back(m_pFirstPlay.get());
    PrepareDomainExport(m_menuDomain, pgcs);
}

uint32_t CVmg::GetTitleTableSize(const CDvdObjectArray<CVts>& titleSets) const
{
    // Room for the larger of the two counts: the title sets' titles and the
    // entries actually written.
    uint32_t nTitles = 0;
    for (uint32_t i = 0; i < titleSets.GetSize(); ++i)
        nTitles += titleSets[i]->GetTitles().GetTitleCount();
    return kTableHeader + kTitleEntrySize * std::max(nTitles, m_titles.GetEntryCount());
}

void CVmg::CollectCountries(const CDvdObjectArray<CVts>& titleSets, std::vector<uint16_t>& countries) const
{
    countries.clear();
    auto collect = [&countries](const CParentalRecordArray& records)
    {
        for (uint32_t i = 0; i < records.GetSize(); ++i)
        {
            if (std::find(countries.begin(), countries.end(), records[i]->nCountry) == countries.end())
                countries.push_back(records[i]->nCountry);
        }
    };
    collect(m_parentalRecords);
    for (uint32_t i = 0; i < titleSets.GetSize(); ++i)
        collect(titleSets[i]->GetParentalRecords());
}

uint32_t CVmg::GetParentalTableSize(const CDvdObjectArray<CVts>& titleSets) const
{
    std::vector<uint16_t> countries;
    CollectCountries(titleSets, countries);
    if (countries.empty())
        return 0;
    const uint32_t nRow = 2 * titleSets.GetSize() + 2;
    return uint32_t(countries.size()) * (kCountryEntrySize + kParentalLevels * nRow) + kTableHeader;
}

uint32_t CVmg::GetVtsAttributeTableSize(const CDvdObjectArray<CVts>& titleSets)
{
    return kTableHeader + titleSets.GetSize() * (4 + CVts::GetAttributeRecordSize());
}

uint64_t CVmg::GetIfoSize(const CDvdObjectArray<CVts>& titleSets) const
{
    uint64_t nSectors = IfoSectors(GetFirstPlaySize(m_pFirstPlay.get()) + kFirstPlayPgc);
    nSectors += IfoSectors(GetTitleTableSize(titleSets));
    if (m_languageUnits.GetUnitCount() > 0)
        nSectors += IfoSectors(m_languageUnits.GetIfoSize());
    nSectors += IfoSectors(GetParentalTableSize(titleSets));
    nSectors += IfoSectors(GetVtsAttributeTableSize(titleSets));
    nSectors += GetTextDataSectors(m_pTextData.get());
    if (m_menuDomain.GetBlockCount() > 0)
        nSectors +=
            IfoSectors(m_menuDomain.GetCellAddressTableSize()) + IfoSectors(m_menuDomain.GetVobuAddressMapSize());
    return nSectors * IFO_SECTOR_SIZE;
}

bool CVmg::WriteTitleTable(CDvdLog& log, BYTE* pDest, uint64_t nFirstOffset,
                           const CDvdObjectArray<CVts>& titleSets) const
{
    const uint32_t nTitleSets = titleSets.GetSize();
    std::vector<uint64_t> starts(nTitleSets);
    uint64_t nStart = nFirstOffset;
    for (uint32_t k = 0; k < nTitleSets; ++k)
    {
        starts[k] = nStart;
        const CVts& vts = *titleSets[k];
        nStart += 2 * vts.GetIfoSize() + vts.GetMenuWrittenSize() + vts.GetTitleWrittenSize();
    }

    const uint32_t nEntries = m_titles.GetEntryCount();
    for (uint32_t t = 0; t < nEntries; ++t)
    {
        const CVmgTitleEntry& entry = *m_titles.GetEntry(t);
        if (entry.nVts >= nTitleSets)
        {
            log.ReportError(FormatString("Reference to title in VTS %d while only %d title sets are available.",
                                         entry.nVts + 1, int(nTitleSets)),
                            DVD_LOCATION);
            return false;
        }
        const CVts& vts = *titleSets[entry.nVts];
        const uint32_t nTitles = vts.GetTitles().GetTitleCount();
        if (entry.nTitle >= nTitles)
        {
            log.ReportError(FormatString("Reference to title %d in VTS %d while only %d titles are available.",
                                         entry.nTitle + 1, entry.nVts + 1, int(nTitles)),
                            DVD_LOCATION);
            return false;
        }
        BYTE* p = pDest + kTableHeader + kTitleEntrySize * t;
        p[0] = vts.GetTitleType(entry.nTitle);
        p[1] = vts.GetTitleAngleCount(entry.nTitle);
        PutBE16(p + 2, WORD(vts.GetTitles().GetTitle(entry.nTitle)->GetChapterCount()));
        PutBE16(p + 4, vts.GetTitleParentalMask(entry.nTitle));
        p[6] = BYTE(entry.nVts + 1);
        p[7] = BYTE(entry.nTitle + 1);
        PutBE32(p + 8, DWORD(starts[entry.nVts] / IFO_SECTOR_SIZE));
    }
    PutBE16(pDest, WORD(nEntries));
    PutBE32(pDest + 4, kTitleEntrySize * nEntries + kTableHeader - 1);
    return true;
}

bool CVmg::WriteParentalTable(CDvdLog& log, BYTE* pDest, const CDvdObjectArray<CVts>& titleSets) const
{
    std::vector<uint16_t> countries;
    CollectCountries(titleSets, countries);
    const uint32_t nCountries = uint32_t(countries.size());
    const uint32_t nTitleSets = titleSets.GetSize();
    const uint32_t nRow = 2 * nTitleSets + 2;
    // The table's offsets are 16 bits: a table that outgrows them would
    // send a player to the wrong masks.
    const uint64_t nLastMasks = kTableHeader + uint64_t(kCountryEntrySize) * nCountries +
                                uint64_t(kParentalLevels) * nRow * (nCountries > 0 ? nCountries - 1 : 0);
    if (nLastMasks > 0xFFFF)
    {
        log.ReportError(FormatString("Parental management table of %u countries and %u title sets is too large",
                                     nCountries, nTitleSets),
                        DVD_LOCATION);
        return false;
    }
    PutBE16(pDest, WORD(nCountries));
    PutBE16(pDest + 2, WORD(nTitleSets));
    PutBE32(pDest + 4, (nRow + 1) * nCountries * kCountryEntrySize + kTableHeader - 1);
    for (uint32_t c = 0; c < nCountries; ++c)
    {
        const uint32_t nMasks = kTableHeader + kCountryEntrySize * nCountries + kParentalLevels * nRow * c;
        BYTE* pEntry = pDest + kTableHeader + kCountryEntrySize * c;
        PutBE16(pEntry, countries[c]);
        PutBE16(pEntry + 4, WORD(nMasks));
        for (uint32_t j = 0; j <= nTitleSets; ++j)
        {
            const CParentalRecordArray& records = j == 0 ? m_parentalRecords : titleSets[j - 1]->GetParentalRecords();
            const int nRecord = FindParentalRecord(records, countries[c]);
            if (nRecord < 0)
                continue;
            // Row r holds the masks of parental level 8 - r.
            for (uint32_t r = 0; r < kParentalLevels; ++r)
                PutBE16(pDest + nMasks + nRow * r + 2 * j, records[nRecord]->masks[kParentalLevels - 1 - r]);
        }
    }
    return true;
}

void CVmg::WriteVtsAttributeTable(BYTE* pDest, const CDvdObjectArray<CVts>& titleSets)
{
    const uint32_t nTitleSets = titleSets.GetSize();
    const uint32_t nRecord = CVts::GetAttributeRecordSize();
    PutBE16(pDest, WORD(nTitleSets));
    PutBE32(pDest + 4, kTableHeader + (4 + nRecord) * nTitleSets - 1);
    uint32_t nOffset = kTableHeader + 4 * nTitleSets;
    for (uint32_t i = 0; i < nTitleSets; ++i)
    {
        PutBE32(pDest + kTableHeader + 4 * i, nOffset);
        titleSets[i]->WriteAttributeRecord(pDest + nOffset);
        nOffset += nRecord;
    }
}

void CVmg::EncodePosCode(BYTE* pDest) const
{
    for (int i = 0; i < 8; ++i)
        pDest[i] = BYTE(m_nPosCode >> (56 - 8 * i));
}

uint64_t CVmg::Write(CDvdLog& log, const char* pszFolder, bool bModifiedOnly, const CDvdObjectArray<CVts>& titleSets,
                     CDvdProgress* pProgress, bool bWriteIfo)
{
    PrepareMenuExport();

    const bool bMenus = m_menuDomain.GetBlockCount() > 0;
    CCellAddressList cells;
    CVobuAddressList vobus;
    uint64_t nVobBytes = 0;
    if (bMenus && bModifiedOnly && !m_menuDomain.IsModified())
    {
        BuildAddressTables(m_menuDomain, cells, vobus);
        nVobBytes = m_menuDomain.GetExportedSize();
        if (pProgress != nullptr)
            pProgress->Advance(nVobBytes);
    }
    else if (bMenus)
    {
        if (pProgress != nullptr)
            pProgress->SetText("Writing VMG vob file.");
        switch (ExportDomainVobs(log, m_menuDomain, pszFolder, 0, true, pProgress, cells, vobus, nVobBytes))
        {
        case VobExportResult::Written: break;
        case VobExportResult::OpenFailed: log.ReportInfo("Can't open VIDEO_TS.VOB", DVD_LOCATION); return 0;
        case VobExportResult::WriteFailed:
            if (!log.IsCancelled())
                log.ReportInfo("Can't write VIDEO_TS.VOB", DVD_LOCATION);
            return 0;
        case VobExportResult::FlushFailed: return 0;
        }
    }

    const uint64_t nIfoSize = GetIfoSize(titleSets);
    const uint64_t nTotal = 2 * nIfoSize + nVobBytes;
    if (pProgress != nullptr)
        pProgress->SetText("Writing VMG ifo file.");
    if (!bWriteIfo)
    {
        if (pProgress != nullptr)
            pProgress->Advance(2 * nIfoSize);
        return log.IsCancelled() ? 0 : nTotal;
    }

    std::vector<BYTE> ifo(size_t(nIfoSize), 0);
    BYTE* pMat = ifo.data();
    memcpy(pMat, kVmgIdentifier, strlen(kVmgIdentifier));
    PutBE32(pMat + kVmgLastSector, DWORD(nTotal / IFO_SECTOR_SIZE - 1));
    PutBE32(pMat + kVmgiLastSector, DWORD(nIfoSize / IFO_SECTOR_SIZE - 1));
    pMat[kVersion] = kFormatVersion;
    PutBE32(pMat + kCategory, m_nCategory);
    PutBE16(pMat + kVolumeCount, m_nVolumes);
    PutBE16(pMat + kVolumeNumber, m_nVolumeNumber);
    pMat[kSide] = m_nSide;
    PutBE16(pMat + kTitleSetCount, WORD(titleSets.GetSize()));
    memcpy(pMat + kProvider, kProviderId, strlen(kProviderId));
    EncodePosCode(pMat + kPosCode);
    const size_t nFirstPlay = GetFirstPlaySize(m_pFirstPlay.get());
    PutBE32(pMat + kVmgiMatLastByte, DWORD(kFirstPlayPgc + nFirstPlay - 1));
    if (m_pFirstPlay)
    {
        PutBE32(pMat + kFirstPlayOffset, DWORD(kFirstPlayPgc));
        if (!m_pFirstPlay->WriteIfo(log, pMat + kFirstPlayPgc))
        {
            log.ReportInfo("VMG: Can't write First Play PGC", DVD_LOCATION);
            return 0;
        }
    }
    PutBE32(pMat + kMenuVobs, bMenus ? DWORD(nIfoSize / IFO_SECTOR_SIZE) : 0);

    CIfoLayout layout(log, ifo, uint32_t(IfoSectors(nFirstPlay + kFirstPlayPgc)));
    DWORD dwSector = 0;
    BYTE* pTable = layout.Place(GetTitleTableSize(titleSets), dwSector);
    if (pTable == nullptr || !WriteTitleTable(log, pTable, nTotal, titleSets))
    {
        // After a cancel the reason is already in the log; either way no IFO
        // with a broken title table goes to disk.
        if (!log.IsCancelled())
            log.ReportInfo("VMG: Can't write table of titles", DVD_LOCATION);
        return 0;
    }
    PutBE32(pMat + kTitleTable, dwSector);
    if (m_languageUnits.GetUnitCount() > 0)
    {
        pTable = layout.Place(m_languageUnits.GetIfoSize(), dwSector);
        if (pTable == nullptr || !m_languageUnits.WriteIfo(log, pTable))
        {
            log.ReportInfo("VMG: Can't write LUs", DVD_LOCATION);
            return 0;
        }
        PutBE32(pMat + kMenuPgciUt, dwSector);
    }
    const uint32_t nParentalSize = GetParentalTableSize(titleSets);
    if (nParentalSize != 0)
    {
        pTable = layout.Place(nParentalSize, dwSector);
        if (pTable == nullptr || !WriteParentalTable(log, pTable, titleSets))
            return 0;
        PutBE32(pMat + kParentalTable, dwSector);
    }
    pTable = layout.Place(GetVtsAttributeTableSize(titleSets), dwSector);
    if (pTable == nullptr)
        return 0;
    WriteVtsAttributeTable(pTable, titleSets);
    PutBE32(pMat + kVtsAttributeTable, dwSector);
    if (m_pTextData)
    {
        // Its size rounded down to sectors, plus one: a table that fills its
        // last sector exactly is followed by an empty one.
        pTable = layout.Place(GetTextDataSectors(m_pTextData.get()) * IFO_SECTOR_SIZE, dwSector);
        if (pTable == nullptr)
            return 0;
        m_pTextData->WriteIfo(pTable);
        PutBE32(pMat + kTextData, dwSector);
    }
    if (bMenus)
    {
        DWORD dwCells = 0;
        DWORD dwVobus = 0;
        if (!PlaceAddressTables(log, layout, m_menuDomain, cells, vobus, dwCells, dwVobus))
            return 0;
        PutBE32(pMat + kMenuCellAddresses, dwCells);
        PutBE32(pMat + kMenuVobuMap, dwVobus);
    }
    m_menuDomain.GetStreams().WriteIfo(pMat + kMenuAttributes);

    const std::string folder(pszFolder);
    if (!WriteIfoFile(log, folder + "VIDEO_TS.IFO", ifo))
        return 0;
    if (pProgress != nullptr)
    {
        pProgress->Advance(nIfoSize);
        pProgress->SetText("Writing VMG bup file.");
    }
    if (!WriteIfoFile(log, folder + "VIDEO_TS.BUP", ifo))
        return 0;
    if (pProgress != nullptr)
        pProgress->Advance(nIfoSize);
    return log.IsCancelled() ? 0 : nTotal;
}
