// Reading VIDEO_TS.IFO into the Video Manager.
#include "DVD/source/IfoRead.h"
#include "DVD/source/VMG.h"

#include "DVD/source/StreamSet.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"

#include <string>

namespace
{
// VMGI_MAT, by byte offset from the start of the file.
const size_t VMG_LAST_SECTOR = 0x0C;
const size_t VMGI_LAST_SECTOR = 0x1C;
const size_t VMG_CATEGORY = 0x22;
const size_t VMG_VOLUMES = 0x26;
const size_t VMG_VOLUME_NUMBER = 0x28;
const size_t VMG_SIDE = 0x2A;
const size_t VMG_TITLE_SETS = 0x3E;
const size_t VMG_POS_CODE = 0x60;
const size_t VMGI_LAST_BYTE = 0x80;
const size_t VMG_FIRST_PLAY_PGC = 0x84;
const size_t VMGM_VOBS = 0xC0;
const size_t VMG_TT_SRPT = 0xC4;
const size_t VMGM_PGCI_UT = 0xC8;
const size_t VMG_PTL_MAIT = 0xCC;
const size_t VMG_VTS_ATRT = 0xD0;
const size_t VMG_TXTDT_MGI = 0xD4;
const size_t VMGM_C_ADT = 0xD8;
const size_t VMGM_VOBU_ADMAP = 0xDC;
const size_t VMGM_ATTRIBUTES = 0x100;

// The smallest VMGI_MAT that holds every field above.
const DWORD MIN_VMGI_LAST_BYTE = 341;

const char kVmgIdentifier[] = "DVDVIDEO-VMG";

// TT_SRPT: a 8-byte header, then 12 bytes per title.
const size_t TT_SRPT_HEADER_SIZE = 8;
const size_t TT_SRPT_ENTRY_SIZE = 12;
const size_t TT_SRPT_VTS = 6;
const size_t TT_SRPT_VTS_TITLE = 7;

// PTL_MAIT: a 8-byte header, then 8 bytes per country.
const size_t PTL_MAIT_HEADER_SIZE = 8;
const size_t PTL_MAIT_ENTRY_SIZE = 8;
const size_t PTL_MAIT_ENTRY_OFFSET = 4;
const int PARENTAL_LEVELS = 8;

// TXTDT_MGI.
const size_t TXTDT_HEADER = 14;
const size_t TXTDT_BYTE = 15;
const size_t TXTDT_END_ADDRESS = 16;

// A header field; the image is at least one sector long, so every field of
// VMGI_MAT lies inside it.
DWORD Field32(const CIfoView& ifo, size_t nOffset)
{
    DWORD dwValue = 0;
    ifo.Get32(nOffset, dwValue);
    return dwValue;
}

WORD Field16(const CIfoView& ifo, size_t nOffset)
{
    WORD wValue = 0;
    ifo.Get16(nOffset, wValue);
    return wValue;
}

// A sector field of a table: it must not name a sector past the bytes of the
// file either, or the table would be read from outside them.
struct TableField
{
    size_t nOffset;
    const char* pszCheck;
};

const TableField kVmgTables[] = {
    {VMG_TT_SRPT, "tt_srpt <= vmgi_last_sector"},
    {VMGM_PGCI_UT, "vmgm_pgci_ut <= vmgi_last_sector"},
    {VMG_PTL_MAIT, "ptl_mait <= vmgi_last_sector"},
    {VMG_VTS_ATRT, "vts_atrt <= vmgi_last_sector"},
    {VMG_TXTDT_MGI, "txtdt_mgi <= vmgi_last_sector"},
    {VMGM_C_ADT, "vmgm_c_adt <= vmgi_last_sector"},
    {VMGM_VOBU_ADMAP, "vmgm_vobu_admap <= vmgi_last_sector"},
};
} // namespace

// ---- Tables -----------------------------------------------------------------------

bool CVmgTitles::ReadIfo(const CIfoView& bytes)
{
    WORD nCount = 0;
    if (!bytes.Get16(0, nCount) || !bytes.Contains(TT_SRPT_HEADER_SIZE, TT_SRPT_ENTRY_SIZE * size_t(nCount)))
        return false;
    for (WORD i = 0; i < nCount; ++i)
    {
        const BYTE* pEntry = bytes.GetData() + TT_SRPT_HEADER_SIZE + TT_SRPT_ENTRY_SIZE * i;
        CVmgTitleEntry entry;
        // A stored 0 (no title set, no title) becomes VMGTITLE_UNDEFINED.
        entry.nVts = BYTE(pEntry[TT_SRPT_VTS] - 1);
        entry.nTitle = BYTE(pEntry[TT_SRPT_VTS_TITLE] - 1);
        AddEntry(entry);
    }
    return true;
}

bool CVmg::ReadTitleTable(const CIfoView& bytes)
{
    return m_titles.ReadIfo(bytes);
}

bool CVmg::ReadParentalTable(const CIfoView& bytes, CParentalTableArray& parentalTables)
{
    WORD nCountries = 0;
    WORD nTitleSets = 0;
    if (!bytes.Get16(0, nCountries) || !bytes.Get16(2, nTitleSets) ||
        !bytes.Contains(PTL_MAIT_HEADER_SIZE, PTL_MAIT_ENTRY_SIZE * size_t(nCountries)))
        return false;
    // Each country's PTL_MAI: one row per level, from level 8 down, each the
    // VMG's mask and then one per title set.
    const size_t nRowSize = 2 * size_t(nTitleSets) + 2;
    for (WORD c = 0; c < nCountries; ++c)
    {
        WORD wOffset = 0;
        bytes.Get16(PTL_MAIT_HEADER_SIZE + PTL_MAIT_ENTRY_SIZE * c + PTL_MAIT_ENTRY_OFFSET, wOffset);
        if (!bytes.Contains(wOffset, nRowSize * PARENTAL_LEVELS))
            return false;
    }

    const uint32_t nFirstList = parentalTables.GetSize();
    for (WORD j = 0; j < nTitleSets; ++j)
        parentalTables.Add(new CParentalRecordArray);
    for (WORD c = 0; c < nCountries; ++c)
    {
        const size_t nEntry = PTL_MAIT_HEADER_SIZE + PTL_MAIT_ENTRY_SIZE * c;
        const WORD wCountry = GetBE16(bytes.GetData() + nEntry);
        const size_t nTable = GetBE16(bytes.GetData() + nEntry + PTL_MAIT_ENTRY_OFFSET);
        for (size_t j = 0; j <= nTitleSets; ++j)
        {
            CParentalRecord* pRecord = new CParentalRecord;
            pRecord->nCountry = wCountry;
            for (int nLevel = 1; nLevel <= PARENTAL_LEVELS; ++nLevel)
                pRecord->masks[nLevel - 1] =
                    GetBE16(bytes.GetData() + nTable + size_t(PARENTAL_LEVELS - nLevel) * nRowSize + 2 * j);
            if (j == 0)
                m_parentalRecords.Add(pRecord);
            else
                parentalTables[nFirstList + uint32_t(j) - 1]->Add(pRecord);
        }
    }
    return true;
}

bool CTextData::ReadIfo(const CIfoView& bytes)
{
    Clear();
    DWORD dwEnd = 0;
    if (!bytes.GetBytes(0, m_header, TXTDT_HEADER) || !bytes.Get8(TXTDT_BYTE, m_nByte) ||
        !bytes.Get32(TXTDT_END_ADDRESS, dwEnd))
        return false;
    // The end address is the table's last byte; the payload follows the
    // 20-byte header.
    if (dwEnd < kHeaderBytes)
        return true;
    const uint32_t nLength = dwEnd - (kHeaderBytes - 1);
    if (!bytes.Contains(kHeaderBytes, nLength))
        return false;
    m_payload.reset(new BYTE[nLength]);
    bytes.GetBytes(kHeaderBytes, m_payload.get(), nLength);
    m_nPayloadLength = nLength;
    return true;
}

// ---- VIDEO_TS.IFO -----------------------------------------------------------------

bool CVmg::ReadIfo(CDvdLog& log, const char* pszFolder, uint16_t& nTitleSets, CParentalTableArray& parentalTables,
                   CDvdProgress* pProgress)
{
    Clear();
    // A failed read, a second read into the same disc or the retry in the
    // VIDEO_TS subfolder must not leave the records of an earlier read.
    m_parentalRecords.RemoveAll();
    nTitleSets = 0;

    const std::string path = std::string(pszFolder) + "VIDEO_TS.IFO";
    log.ReportInfo("Read VMG", DVD_LOCATION);
    CIfoImage image;
    if (!image.Open(log, path.c_str()))
    {
        log.ReportError("Can't open VIDEO_TS.IFO.", DVD_LOCATION);
        return false;
    }
    CStreamSet streams(nullptr, true);
    if (image.GetFileSize() < IFO_SECTOR_SIZE)
    {
        log.ReportError("Bad file size.", DVD_LOCATION);
        return false;
    }
    image.Load();
    const CIfoView ifo = image.GetView();
    if (ifo.GetSize() < IFO_SECTOR_SIZE || memcmp(ifo.GetData(), kVmgIdentifier, 12) != 0)
    {
        log.ReportError("Bad file format.", DVD_LOCATION);
        return false;
    }

    m_nCategory = Field32(ifo, VMG_CATEGORY);
    m_nVolumes = Field16(ifo, VMG_VOLUMES);
    m_nVolumeNumber = Field16(ifo, VMG_VOLUME_NUMBER);
    ifo.Get8(VMG_SIDE, m_nSide);
    nTitleSets = Field16(ifo, VMG_TITLE_SETS);
    m_nPosCode = (uint64_t(Field32(ifo, VMG_POS_CODE)) << 32) | Field32(ifo, VMG_POS_CODE + 4);
    if (!streams.ReadIfo(ifo.GetData() + VMGM_ATTRIBUTES, true))
    {
        log.ReportError("VMG: error reading streams attributes", DVD_LOCATION);
        return false;
    }

    const DWORD vmg_last_sector = Field32(ifo, VMG_LAST_SECTOR);
    const DWORD vmgi_last_sector = Field32(ifo, VMGI_LAST_SECTOR);
    const DWORD vmgi_last_byte = Field32(ifo, VMGI_LAST_BYTE);
    const DWORD first_play_pgc = Field32(ifo, VMG_FIRST_PLAY_PGC);
    const DWORD vmgm_vobs = Field32(ifo, VMGM_VOBS);
    const char* pszFailed = nullptr;
    if (vmg_last_sector == 0)
        pszFailed = "vmg_last_sector != 0";
    else if (!(uint64_t(vmgi_last_sector) * 2 <= vmg_last_sector))
        pszFailed = "vmgi_last_sector * 2 <= vmg_last_sector";
    else if (nTitleSets == 0)
        pszFailed = "No TitleSets specified in VMG";
    else if (!(vmgi_last_byte >= MIN_VMGI_LAST_BYTE))
        pszFailed = "vmgi_last_byte >= 341";
    else if (!(vmgi_last_byte / IFO_SECTOR_SIZE <= vmgi_last_sector))
        pszFailed = "vmgi_last_byte / SECTOR_SIZE <= vmgi_last_sector";
    else if (!(first_play_pgc < vmgi_last_byte))
        pszFailed = "first_play_pgc < vmgi_last_byte";
    else if (!(vmgm_vobs == 0 || (vmgm_vobs > vmgi_last_sector && vmgm_vobs < vmg_last_sector)))
        pszFailed = "vmgm_vobs == 0 || (vmgm_vobs > vmgi_last_sector && vmgm_vobs < vmg_last_sector)";
    for (const TableField& table : kVmgTables)
    {
        if (pszFailed != nullptr)
            break;
        const DWORD dwSector = Field32(ifo, table.nOffset);
        if (dwSector > vmgi_last_sector || (dwSector != 0 && !image.HoldsSector(dwSector)))
            pszFailed = table.pszCheck;
    }
    if (pszFailed == nullptr && first_play_pgc >= ifo.GetSize())
        pszFailed = "first_play_pgc < vmgi_last_byte";
    if (pszFailed != nullptr)
    {
        log.ReportError(pszFailed, DVD_LOCATION);
        return false;
    }

    const DWORD tt_srpt = Field32(ifo, VMG_TT_SRPT);
    if (tt_srpt != 0 && !ReadTitleTable(image.GetTable(tt_srpt)))
    {
        log.ReportError("VMG: error reading title table", DVD_LOCATION);
        return false;
    }
    const DWORD ptl_mait = Field32(ifo, VMG_PTL_MAIT);
    if (ptl_mait != 0 && !ReadParentalTable(image.GetTable(ptl_mait), parentalTables))
    {
        log.ReportError("VMG: error reading parental management table", DVD_LOCATION);
        return false;
    }

    CVobuAddressList vobus;
    CCellAddressList cells;
    const DWORD vmgm_vobu_admap = Field32(ifo, VMGM_VOBU_ADMAP);
    if (vmgm_vobu_admap != 0 && !ReadVobuAddressMap(image.GetTable(vmgm_vobu_admap), vobus))
    {
        log.ReportError("VMG: error reading admap", DVD_LOCATION);
        return false;
    }
    const DWORD vmgm_c_adt = Field32(ifo, VMGM_C_ADT);
    if (vmgm_c_adt != 0 && !ReadCellAddressTable(image.GetTable(vmgm_c_adt), cells))
    {
        log.ReportError("VMG: error reading cell address table", DVD_LOCATION);
        return false;
    }
    if (cells.GetSize() > 0 && !OpenDomainContent(log, pszFolder, 0, true, streams, cells, vobus, pProgress,
                                                  m_menuDomain, "Can't open VIDEO_TS.VOB - will substitute blanks."))
        return false;

    if (first_play_pgc != 0)
    {
        m_pFirstPlay.reset(new CPgc(0, this));
        CPgcCategory category;
        category.nMenu = 1;
        if (!m_pFirstPlay->ReadIfo(log, category, &m_menuDomain, ifo.From(first_play_pgc)))
        {
            log.ReportInfo("VMG: can't read first play pgc", DVD_LOCATION);
            return false;
        }
    }

    const DWORD vmgm_pgci_ut = Field32(ifo, VMGM_PGCI_UT);
    if (vmgm_pgci_ut != 0)
    {
        m_languageUnits.SetModified();
        m_languageUnits.RemoveAll();
        if (!m_languageUnits.ReadIfo(log, &m_menuDomain, image.GetTable(vmgm_pgci_ut)))
        {
            log.ReportInfo("VMG: can't read menu", DVD_LOCATION);
            return false;
        }
    }

    const DWORD txtdt_mgi = Field32(ifo, VMG_TXTDT_MGI);
    if (txtdt_mgi != 0)
    {
        m_pTextData.reset(new CTextData);
        if (!m_pTextData->ReadIfo(image.GetTable(txtdt_mgi)))
        {
            log.ReportError("can't read text data", DVD_LOCATION);
            return false;
        }
    }
    return true;
}
