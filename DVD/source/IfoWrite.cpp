#include "DVD/source/IfoWrite.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DiskVobFile.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobExport.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/dataAccess/DataFile.h"

#include <algorithm>
#include <map>

BYTE* CIfoLayout::Place(uint64_t nBytes, DWORD& dwSector)
{
    const uint64_t nStart = uint64_t(m_nSector) * IFO_SECTOR_SIZE;
    if (nStart + nBytes > m_image.size())
    {
        m_log.ReportError(FormatString("IFO table at sector %u exceeds the %u bytes of the file", m_nSector,
                                       unsigned(m_image.size())),
                          DVD_LOCATION);
        return nullptr;
    }
    dwSector = m_nSector;
    m_nSector += uint32_t(IfoSectors(nBytes));
    return m_image.data() + nStart;
}

void CollectPgcs(const CPgcTable& table, std::vector<const CPgc*>& pgcs)
{
    for (uint32_t i = 0; i < table.GetPgcCount(); ++i)
        pgcs.push_back(table.GetPgc(i));
}

void PrepareDomainExport(CAngleBlockList& domain, const std::vector<const CPgc*>& pgcs)
{
    // The longest still time of the cells that play each ILVU; an ILVU is
    // only ever held by cells of its own domain.
    std::map<CVobCell*, BYTE> stills;
    for (const CPgc* pPgc : pgcs)
    {
        for (uint32_t c = 0; c < pPgc->GetCellCount(); ++c)
        {
            const CPgcCell* pCell = pPgc->GetCell(c);
            const CAngleBlock* pBlock = pCell->GetBlock();
            if (pCell->m_nStillTime == 0 || pBlock == nullptr)
                continue;
            for (uint32_t a = 0; a < pBlock->GetIlvuCount(); ++a)
            {
                BYTE& nStill = stills[pBlock->GetIlvu(a)];
                nStill = std::max(nStill, pCell->m_nStillTime);
            }
        }
    }
    for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
    {
        const CAngleBlock* pBlock = domain.GetBlock(b);
        for (uint32_t a = 0; a < pBlock->GetIlvuCount(); ++a)
        {
            CVobCell* pIlvu = pBlock->GetIlvu(a);
            const auto it = stills.find(pIlvu);
            pIlvu->SetEndlessHighlight(it == stills.end() ? 0 : it->second);
        }
    }
    AssignVobCellIds(domain);
}

VobExportResult ExportDomainVobs(CDvdLog& log, CAngleBlockList& domain, const char* pszFolder, BYTE nVts, bool bMenu,
                                 CDvdProgress* pProgress, CCellAddressList& cells, CVobuAddressList& vobus,
                                 uint64_t& nBytes)
{
    nBytes = 0;
    // A writer that fails is dropped with whatever it still holds: its
    // destructor writes the queue out and closes the file, and its messages
    // add nothing to the failure already in the log.
    CDiskVobFile writer;
    if (!writer.StartDomain(log, pszFolder, nVts, bMenu))
        return VobExportResult::OpenFailed;
    if (!WriteVobs(domain, log, writer, cells, vobus, pProgress))
        return VobExportResult::WriteFailed;
    nBytes = writer.GetTotalSize();
    if (!writer.Flush(log))
        return VobExportResult::FlushFailed;
    writer.Close();
    return VobExportResult::Written;
}

bool PlaceAddressTables(CDvdLog& log, CIfoLayout& layout, const CAngleBlockList& domain, CCellAddressList& cells,
                        const CVobuAddressList& vobus, DWORD& dwCellSector, DWORD& dwVobuSector)
{
    // The sizes reserved come from the blocks; the lists from what the
    // export wrote. Both count the same pieces and VOBUs unless something
    // went wrong, and then the table must not spill into its neighbour.
    const uint32_t nCellBytes = domain.GetCellAddressTableSize();
    const uint64_t nCellNeeded = CELL_ADDRESS_TABLE_HEADER_SIZE + CELL_ADDRESS_ENTRY_SIZE * uint64_t(cells.GetSize());
    BYTE* pCells = layout.Place(nCellBytes, dwCellSector);
    if (pCells == nullptr)
        return false;
    if (nCellNeeded > IfoSectors(nCellBytes) * IFO_SECTOR_SIZE)
    {
        log.ReportError(FormatString("Cell address table of %u entries exceeds its %u bytes", unsigned(cells.GetSize()),
                                     unsigned(nCellBytes)),
                        DVD_LOCATION);
        return false;
    }
    WriteCellAddressTable(pCells, cells);

    const uint32_t nVobuBytes = domain.GetVobuAddressMapSize();
    const uint64_t nVobuNeeded = VOBU_ADDRESS_MAP_HEADER_SIZE + 4 * uint64_t(vobus.GetSize());
    BYTE* pVobus = layout.Place(nVobuBytes, dwVobuSector);
    if (pVobus == nullptr)
        return false;
    if (nVobuNeeded > IfoSectors(nVobuBytes) * IFO_SECTOR_SIZE)
    {
        log.ReportError(FormatString("VOBU address map of %u entries exceeds its %u bytes", unsigned(vobus.GetSize()),
                                     unsigned(nVobuBytes)),
                        DVD_LOCATION);
        return false;
    }
    WriteVobuAddressMap(pVobus, vobus);
    return true;
}

bool WriteIfoFile(CDvdLog& log, const std::string& path, const std::vector<BYTE>& bytes)
{
    const uint32_t nSize = uint32_t(bytes.size());
    CDataFile file;
    if (!file.Create(&log, path.c_str(), nSize, true))
        return false;
    if (file.WriteAt(bytes.data(), 0, nSize) != nSize)
    {
        log.ReportError(FormatString("Can't write %s", path.c_str()), DVD_LOCATION);
        return false;
    }
    file.Close();
    return true;
}
