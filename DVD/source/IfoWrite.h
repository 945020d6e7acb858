// What the writers of VIDEO_TS.IFO and VTS_nn_0.IFO share: the layout of
// tables on whole sectors, the preparation of a domain for its export, the
// export of a domain's VOB files and the writing of an IFO with its backup.
#pragma once

#include "DVD/source/CellAddress.h"
#include "DVD/source/IfoRead.h"
#include "framework/core/AfxTypes.h"

#include <cstdint>
#include <string>
#include <vector>

class CAngleBlockList;
class CDvdLog;
class CDvdProgress;
class CPgc;
class CPgcTable;

// Whole sectors that nBytes take, a partial sector counting as one.
inline uint64_t IfoSectors(uint64_t nBytes)
{
    return (nBytes + IFO_SECTOR_SIZE - 1) / IFO_SECTOR_SIZE;
}

// Places tables one after another, each on a sector boundary, in an IFO
// image whose size was computed beforehand. A table that would run past the
// image is refused, so a size rule and a writer that disagree fail the
// export instead of writing outside the image.
class CIfoLayout
{
public:
    CIfoLayout(CDvdLog& log, std::vector<BYTE>& image, uint32_t nFirstSector)
        : m_log(log), m_image(image), m_nSector(nFirstSector)
    {
    }

    // Where a table of nBytes goes, with its start sector in dwSector; the
    // cursor moves on by the table's whole sectors. Null, with an error in
    // the log, when it does not fit the image.
    BYTE* Place(uint64_t nBytes, DWORD& dwSector);

private:
    CDvdLog& m_log;
    std::vector<BYTE>& m_image;
    uint32_t m_nSector;
};

// Before a domain is exported: an ILVU that some cell of the PGCs holds as a
// still keeps its last highlight without an end time; the flag is the
// longest still time of those cells. Then the domain's vob and cell ids are
// numbered for the new files.
void PrepareDomainExport(CAngleBlockList& domain, const std::vector<const CPgc*>& pgcs);
// Every PGC of a table, appended.
void CollectPgcs(const CPgcTable& table, std::vector<const CPgc*>& pgcs);

// How the export of a domain's VOB files ended.
enum class VobExportResult
{
    Written,
    OpenFailed,
    WriteFailed,
    FlushFailed,
};

// Writes the domain into its new VOB files (nVts 0 is the VMG), filling the
// address tables; nBytes is the size of the VOB data.
VobExportResult ExportDomainVobs(CDvdLog& log, CAngleBlockList& domain, const char* pszFolder, BYTE nVts, bool bMenu,
                                 CDvdProgress* pProgress, CCellAddressList& cells, CVobuAddressList& vobus,
                                 uint64_t& nBytes);

// The address tables of a domain into their reserved sectors. False, with
// an error in the log, when a table holds more entries than were reserved
// for it.
bool PlaceAddressTables(CDvdLog& log, CIfoLayout& layout, const CAngleBlockList& domain, CCellAddressList& cells,
                        const CVobuAddressList& vobus, DWORD& dwCellSector, DWORD& dwVobuSector);

// Creates the file at its full size and writes the bytes; false, with the
// reason in the log, when either fails.
bool WriteIfoFile(CDvdLog& log, const std::string& path, const std::vector<BYTE>& bytes);
