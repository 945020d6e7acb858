// Writing one title set: its menu VOB, its title VOBs, VTS_nn_0.IFO laid out
// around the addresses the VOB export produced, and the backup copy.
#include "DVD/source/VTS.h"

#include "DVD/source/IfoWrite.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobExport.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

#include <cstring>

namespace
{

// VTSI_MAT, by byte offset.
const size_t kVtsLastSector = 12;
const size_t kVtsiLastSector = 28;
const size_t kVersion = 33;
const size_t kCategory = 34;
const size_t kVtsiMatLastByte = 128;
const size_t kMenuVobs = 192;
const size_t kTitleVobs = 196;
const size_t kPttSrpt = 200;
const size_t kPgcit = 204;
const size_t kMenuPgciUt = 208;
const size_t kTimeMaps = 212;
const size_t kMenuCellAddresses = 216;
const size_t kMenuVobuMap = 220;
const size_t kTitleCellAddresses = 224;
const size_t kTitleVobuMap = 228;
const size_t kMenuAttributes = 256;
const size_t kTitleAttributes = 512;

const char kVtsIdentifier[] = "DVDVIDEO-VTS";
const BYTE kFormatVersion = 0x11;

// UOP bits that decide the two lowest bits of a title's playback type.
const BYTE kUop1Prohibited = 0x02;
const BYTE kUop0Prohibited = 0x01;

bool IsJumpLinkOrCallInButtons(const CPgc& pgc)
{
    for (uint32_t c = 0; c < pgc.GetCellCount(); ++c)
    {
        const CAngleBlock* pBlock = pgc.GetCell(c)->GetBlock();
        for (uint32_t a = 0; pBlock != nullptr && a < pBlock->GetIlvuCount(); ++a)
        {
            if (pBlock->GetIlvu(a)->HasNavigatingButtons())
                return true;
        }
    }
    return false;
}

// One domain's VOB files, or what the previous export left of them when
// the domain is unchanged and only changes are written.
bool ExportTitleSetDomain(CDvdLog& log, CAngleBlockList& domain, const char* pszFolder, uint8_t nNumber, bool bMenu,
                          bool bModifiedOnly, CDvdProgress* pProgress, CCellAddressList& cells, CVobuAddressList& vobus,
                          uint64_t& nBytes)
{
    nBytes = 0;
    if (domain.GetBlockCount() == 0)
        return true;
    if (bModifiedOnly && !domain.IsModified())
    {
        BuildAddressTables(domain, cells, vobus);
        nBytes = domain.GetExportedSize();
        if (pProgress != nullptr)
            pProgress->Advance(nBytes);
        return true;
    }
    if (pProgress != nullptr)
        PrintfToSink(pProgress, bMenu ? "Writing VTS %d menu vob file." : "Writing VTS %d vob files.", nNumber);
    return ExportDomainVobs(log, domain, pszFolder, nNumber, bMenu, pProgress, cells, vobus, nBytes) ==
           VobExportResult::Written;
}

} // namespace

BYTE CVts::GetTitleType(uint32_t nTitle) const
{
    if (nTitle >= m_titles.GetTitleCount())
        return 0;
    const CVtsTitle* pTitle = m_titles.GetTitle(nTitle);
    if (pTitle->GetChapterCount() == 0)
        return 0;
    const CChapterEntry* pFirst = pTitle->GetChapter(0);
    if (pFirst->m_wPgc >= m_pgcTable.GetPgcCount())
        return 0;
    const CPgc& pgc = *m_pgcTable.GetPgc(pFirst->m_wPgc);

    BYTE nType = 0;
    if (!m_pgcTable.IsSinglePgcTitle(nTitle) || pgc.m_nPlaybackMode != 0 || pgc.HasInfiniteStill())
        nType |= 0x40;
    if (IsJumpLinkOrCallInButtons(pgc))
        nType |= 0x0C;
    if (pgc.HasNavigationInPrePost())
        nType |= 0x14;
    if (pgc.HasNavigationInCellCommands())
        nType |= 0x24;
    BYTE uops[4];
    pgc.m_uops.ToBytes(uops);
    nType |= BYTE(uops[3] & (kUop1Prohibited | kUop0Prohibited));
    return nType;
}

uint64_t CVts::GetIfoSize() const
{
    uint64_t nSectors = 1;
    if (m_titles.GetTitleCount() > 0)
        nSectors += IfoSectors(m_titles.GetIfoSize());
    if (m_pgcTable.GetPgcCount() > 0)
        nSectors += IfoSectors(m_pgcTable.GetIfoSize());
    if (m_languageUnits.GetUnitCount() > 0)
        nSectors += IfoSectors(m_languageUnits.GetIfoSize());
    if (m_pgcTable.GetPgcCount() > 0)
        nSectors += IfoSectors(m_pgcTable.GetTimeMapSize());
    for (const CAngleBlockList* pDomain : {&m_menuDomain, &m_titleDomain})
    {
        if (pDomain->GetBlockCount() > 0)
            nSectors += IfoSectors(pDomain->GetCellAddressTableSize()) + IfoSectors(pDomain->GetVobuAddressMapSize());
    }
    return nSectors * IFO_SECTOR_SIZE;
}

uint64_t CVts::Write(CDvdLog& log, const char* pszFolder, bool bModifiedOnly, uint8_t nNumber, CDvdProgress* pProgress,
                     bool bWriteIfo)
{
    if (bModifiedOnly && !IsModified() && !bWriteIfo)
        return 2 * GetIfoSize() + GetMenuWrittenSize() + GetTitleWrittenSize();

    std::vector<const CPgc*> titlePgcs;
    CollectPgcs(m_pgcTable, titlePgcs);
    PrepareDomainExport(m_titleDomain, titlePgcs);
    std::vector<const CPgc*> menuPgcs;
    for (uint32_t u = 0; u < m_languageUnits.GetUnitCount(); ++u)
        CollectPgcs(*m_languageUnits.GetUnit(u), menuPgcs);
    PrepareDomainExport(m_menuDomain, menuPgcs);

    CCellAddressList menuCells;
    CVobuAddressList menuVobus;
    uint64_t nMenuBytes = 0;
    if (!ExportTitleSetDomain(log, m_menuDomain, pszFolder, nNumber, true, bModifiedOnly, pProgress, menuCells,
                              menuVobus, nMenuBytes))
        return 0;
    CCellAddressList titleCells;
    CVobuAddressList titleVobus;
    uint64_t nTitleBytes = 0;
    if (!ExportTitleSetDomain(log, m_titleDomain, pszFolder, nNumber, false, bModifiedOnly, pProgress, titleCells,
                              titleVobus, nTitleBytes))
        return 0;

    const uint64_t nIfoSize = GetIfoSize();
    const uint64_t nTotal = 2 * nIfoSize + nMenuBytes + nTitleBytes;
    if (!bWriteIfo)
    {
        if (pProgress != nullptr)
            pProgress->Advance(2 * nIfoSize);
        return nTotal;
    }
    // Sector fields are 32 bits: a title set beyond them cannot be described.
    if (nTotal / IFO_SECTOR_SIZE > UINT32_MAX)
    {
        log.ReportError(FormatString("VTS %d is too large", nNumber), DVD_LOCATION);
        return 0;
    }

    if (pProgress != nullptr)
        PrintfToSink(pProgress, "Writing VTS %d ifo file.", nNumber);
    std::vector<BYTE> ifo(size_t(nIfoSize), 0);
    BYTE* pMat = ifo.data();
    memcpy(pMat, kVtsIdentifier, strlen(kVtsIdentifier));
    PutBE32(pMat + kVtsLastSector, DWORD(nTotal / IFO_SECTOR_SIZE - 1));
    PutBE32(pMat + kVtsiLastSector, DWORD(nIfoSize / IFO_SECTOR_SIZE - 1));
    pMat[kVersion] = kFormatVersion;
    PutBE32(pMat + kCategory, m_nCategory);
    PutBE32(pMat + kVtsiMatLastByte, DWORD(IFO_SECTOR_SIZE - 1));
    PutBE32(pMat + kMenuVobs, nMenuBytes != 0 ? DWORD(nIfoSize / IFO_SECTOR_SIZE) : 0);
    PutBE32(pMat + kTitleVobs, nTitleBytes != 0 ? DWORD((nIfoSize + nMenuBytes) / IFO_SECTOR_SIZE) : 0);

    CIfoLayout layout(log, ifo, 1);
    DWORD dwSector = 0;
    if (m_titles.GetTitleCount() > 0)
    {
        BYTE* pTable = layout.Place(m_titles.GetIfoSize(), dwSector);
        if (pTable == nullptr || !m_titles.WriteIfo(log, pTable))
            return 0;
        PutBE32(pMat + kPttSrpt, dwSector);
    }
    if (m_pgcTable.GetPgcCount() > 0)
    {
        BYTE* pTable = layout.Place(m_pgcTable.GetIfoSize(), dwSector);
        if (pTable == nullptr || !m_pgcTable.WriteIfo(log, pTable))
            return 0;
        PutBE32(pMat + kPgcit, dwSector);
    }
    if (m_languageUnits.GetUnitCount() > 0)
    {
        BYTE* pTable = layout.Place(m_languageUnits.GetIfoSize(), dwSector);
        if (pTable == nullptr || !m_languageUnits.WriteIfo(log, pTable))
            return 0;
        PutBE32(pMat + kMenuPgciUt, dwSector);
    }
    if (m_pgcTable.GetPgcCount() > 0)
    {
        BYTE* pTable = layout.Place(m_pgcTable.GetTimeMapSize(), dwSector);
        if (pTable == nullptr || !m_pgcTable.CreateTimeMap(log, pTable, pProgress))
            return 0;
        PutBE32(pMat + kTimeMaps, dwSector);
    }
    DWORD dwCells = 0;
    DWORD dwVobus = 0;
    if (m_menuDomain.GetBlockCount() > 0)
    {
        if (!PlaceAddressTables(log, layout, m_menuDomain, menuCells, menuVobus, dwCells, dwVobus))
            return 0;
        PutBE32(pMat + kMenuCellAddresses, dwCells);
        PutBE32(pMat + kMenuVobuMap, dwVobus);
    }
    if (m_titleDomain.GetBlockCount() > 0)
    {
        if (!PlaceAddressTables(log, layout, m_titleDomain, titleCells, titleVobus, dwCells, dwVobus))
            return 0;
        PutBE32(pMat + kTitleCellAddresses, dwCells);
        PutBE32(pMat + kTitleVobuMap, dwVobus);
    }
    m_menuDomain.GetStreams().WriteIfo(pMat + kMenuAttributes);
    m_titleDomain.GetStreams().WriteIfo(pMat + kTitleAttributes);

    if (!WriteIfoFile(log, LPCSTR(FormatString("%sVTS_%02d_0.IFO", pszFolder, nNumber)), ifo))
        return 0;
    if (pProgress != nullptr)
    {
        pProgress->Advance(nIfoSize);
        PrintfToSink(pProgress, "Writing VTS %d bup file.", nNumber);
    }
    if (!WriteIfoFile(log, LPCSTR(FormatString("%sVTS_%02d_0.BUP", pszFolder, nNumber)), ifo))
        return 0;
    if (pProgress != nullptr)
        pProgress->Advance(nIfoSize);
    return nTotal;
}
