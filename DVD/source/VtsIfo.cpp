// Reading a title set's VTS_nn_0.IFO into its node.
#include "DVD/source/IfoRead.h"
#include "DVD/source/VTS.h"

#include "DVD/source/StreamSet.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"

namespace
{
// VTSI_MAT, by byte offset from the start of the file.
const size_t VTS_LAST_SECTOR = 12;
const size_t VTSI_LAST_SECTOR = 28;
const size_t VTS_CATEGORY = 34;
const size_t VTSI_LAST_BYTE = 128;
const size_t VTSM_VOBS = 192;
const size_t VTSTT_VOBS = 196;
const size_t VTS_PTT_SRPT = 200;
const size_t VTS_PGCIT = 204;
const size_t VTSM_PGCI_UT = 208;
const size_t VTS_TMAPT = 212;
const size_t VTSM_C_ADT = 216;
const size_t VTSM_VOBU_ADMAP = 220;
const size_t VTS_C_ADT = 224;
const size_t VTS_VOBU_ADMAP = 228;
const size_t VTSM_ATTRIBUTES = 256;
const size_t VTS_ATTRIBUTES = 512;

const char kVtsIdentifier[] = "DVDVIDEO-VTS";

struct TableField
{
    size_t nOffset;
    const char* pszCheck;
};

// Checked in this order, each against the IFO's last sector and the bytes of
// the file.
const TableField kVtsTables[] = {
    {VTS_PTT_SRPT, "vts_ptt_srpt <= vtsi_last_sector"}, {VTS_PGCIT, "vts_pgcit <= vtsi_last_sector"},
    {VTSM_PGCI_UT, "vtsm_pgci_ut <= vtsi_last_sector"}, {VTS_TMAPT, "vts_tmapt <= vtsi_last_sector"},
    {VTSM_C_ADT, "vtsm_c_adt <= vtsi_last_sector"},     {VTSM_VOBU_ADMAP, "vtsm_vobu_admap <= vtsi_last_sector"},
    {VTS_C_ADT, "vts_c_adt <= vtsi_last_sector"},       {VTS_VOBU_ADMAP, "vts_vobu_admap <= vtsi_last_sector"},
};

DWORD Field32(const CIfoView& ifo, size_t nOffset)
{
    DWORD dwValue = 0;
    ifo.Get32(nOffset, dwValue);
    return dwValue;
}

// The address tables of one domain. Each domain starts from empty tables, so
// that a title domain without a table of its own never takes the menu's.
bool ReadDomainTables(CDvdLog& log, const CIfoImage& image, DWORD dwCells, DWORD dwVobus, CCellAddressList& cells,
                      CVobuAddressList& vobus, const char* pszAdmapError, const char* pszCellError)
{
    cells.RemoveAll();
    vobus.SetSize(0);
    if (dwVobus != 0 && !ReadVobuAddressMap(image.GetTable(dwVobus), vobus))
    {
        log.ReportError(pszAdmapError, DVD_LOCATION);
        return false;
    }
    if (dwCells != 0 && !ReadCellAddressTable(image.GetTable(dwCells), cells))
    {
        log.ReportError(pszCellError, DVD_LOCATION);
        return false;
    }
    return true;
}
} // namespace

bool CVts::ReadIfo(CDvdLog& log, const CParentalRecordArray& parentalRecords, const char* pszFolder, uint8_t nNumber,
                   CDvdProgress* pProgress)
{
    Clear();
    CopyParentalRecords(m_parentalRecords, parentalRecords);
    log.ReportInfo(FormatString("Read VTS%d", nNumber), DVD_LOCATION);

    const CString path = FormatString("%sVTS_%02d_0.IFO", pszFolder, nNumber);
    CIfoImage image;
    if (!image.Open(log, path))
        return false;
    if (image.GetFileSize() < IFO_SECTOR_SIZE)
    {
        log.ReportError("Bad file size", DVD_LOCATION);
        return false;
    }
    image.Load();
    const CIfoView ifo = image.GetView();
    if (ifo.GetSize() < IFO_SECTOR_SIZE || memcmp(ifo.GetData(), kVtsIdentifier, 12) != 0)
    {
        log.ReportError("Bad file format", DVD_LOCATION);
        return false;
    }

    m_nCategory = Field32(ifo, VTS_CATEGORY);
    const DWORD vts_last_sector = Field32(ifo, VTS_LAST_SECTOR);
    const DWORD vtsi_last_sector = Field32(ifo, VTSI_LAST_SECTOR);
    const DWORD vtsi_last_byte = Field32(ifo, VTSI_LAST_BYTE);
    const DWORD vtsm_vobs = Field32(ifo, VTSM_VOBS);
    const DWORD vtstt_vobs = Field32(ifo, VTSTT_VOBS);
    const char* pszFailed = nullptr;
    if (!(uint64_t(vtsi_last_sector) * 2 <= vts_last_sector))
        pszFailed = "vtsi_last_sector*2 <= vts_last_sector";
    else if (!(vtsi_last_byte / IFO_SECTOR_SIZE <= vtsi_last_sector))
        pszFailed = "vtsi_last_byte/SECTOR_SIZE <= vtsi_last_sector";
    else if (!(vtsm_vobs == 0 || (vtsm_vobs > vtsi_last_sector && vtsm_vobs < vts_last_sector)))
        pszFailed = "vtsm_vobs == 0 || (vtsm_vobs > vtsi_last_sector && vtsm_vobs < vts_last_sector)";
    else if (!(vtstt_vobs == 0 || (vtstt_vobs > vtsi_last_sector && vtstt_vobs < vts_last_sector)))
        pszFailed = "vtstt_vobs == 0 || (vtstt_vobs > vtsi_last_sector && vtstt_vobs < vts_last_sector)";
    for (const TableField& table : kVtsTables)
    {
        if (pszFailed != nullptr)
            break;
        const DWORD dwSector = Field32(ifo, table.nOffset);
        if (dwSector > vtsi_last_sector || (dwSector != 0 && !image.HoldsSector(dwSector)))
            pszFailed = table.pszCheck;
    }
    if (pszFailed != nullptr)
    {
        log.ReportError(pszFailed, DVD_LOCATION);
        return false;
    }

    CStreamSet streams(nullptr, true);
    CCellAddressList cells;
    CVobuAddressList vobus;

    // Menus: the domain is filled before the language units, whose cells
    // play its blocks.
    if (!streams.ReadIfo(ifo.GetData() + VTSM_ATTRIBUTES, true))
    {
        log.ReportError("VTS menu: error reading streams attributes", DVD_LOCATION);
        return false;
    }
    if (!ReadDomainTables(log, image, Field32(ifo, VTSM_C_ADT), Field32(ifo, VTSM_VOBU_ADMAP), cells, vobus,
                          "VTS menu: error reading admap", "VTS menu: error reading cell address table"))
        return false;
    if (cells.GetSize() > 0 &&
        !OpenDomainContent(log, pszFolder, nNumber, true, streams, cells, vobus, pProgress, m_menuDomain,
                           "Can't open title set menu vob - will substitute blanks."))
        return false;
    const DWORD vtsm_pgci_ut = Field32(ifo, VTSM_PGCI_UT);
    if (vtsm_pgci_ut != 0)
    {
        m_languageUnits.SetModified();
        m_languageUnits.RemoveAll();
        if (!m_languageUnits.ReadIfo(log, &m_menuDomain, image.GetTable(vtsm_pgci_ut)))
        {
            log.ReportInfo("can't read vts menu.", DVD_LOCATION);
            return false;
        }
    }

    // Titles.
    if (!streams.ReadIfo(ifo.GetData() + VTS_ATTRIBUTES, false))
    {
        log.ReportError("VTS: error reading streams attributes", DVD_LOCATION);
        return false;
    }
    if (!ReadDomainTables(log, image, Field32(ifo, VTS_C_ADT), Field32(ifo, VTS_VOBU_ADMAP), cells, vobus,
                          "VTS: error reading admap", "VTS: error reading cell address table"))
        return false;
    if (cells.GetSize() > 0 && !OpenDomainContent(log, pszFolder, nNumber, false, streams, cells, vobus, pProgress,
                                                  m_titleDomain, "Can't open title set vob - will substitute blanks."))
        return false;
    const DWORD vts_ptt_srpt = Field32(ifo, VTS_PTT_SRPT);
    if (vts_ptt_srpt != 0 && !m_titles.ReadIfo(log, image.GetTable(vts_ptt_srpt)))
    {
        log.ReportInfo("can't read vts titles.", DVD_LOCATION);
        return false;
    }
    const DWORD vts_pgcit = Field32(ifo, VTS_PGCIT);
    if (vts_pgcit != 0 && !m_pgcTable.ReadIfo(log, &m_titleDomain, image.GetTable(vts_pgcit)))
    {
        log.ReportInfo("can't read vts program chains.", DVD_LOCATION);
        return false;
    }
    return true;
}
