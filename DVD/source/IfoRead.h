// What the readers of VIDEO_TS.IFO and VTS_nn_0.IFO share: the whole file
// held in memory, and the opening of a domain's VOB set.
//
// An IFO is read whole before any table is parsed; every table is then taken
// from that one image through a bounded view, so a sector or offset that
// points past the bytes read gives an empty or short view instead of a read
// outside the buffer.
#pragma once

#include "DVD/source/CellAddress.h"
#include "DVD/source/IfoView.h"
#include "Shared/source/dataAccess/DataFile.h"

#include <memory>

class CAngleBlockList;
class CDataBlock;
class CDvdLog;
class CDvdProgress;
class CStreamSet;

const size_t IFO_SECTOR_SIZE = 2048;

class CIfoImage
{
public:
    CIfoImage();
    ~CIfoImage();
    CIfoImage(const CIfoImage&) = delete;
    CIfoImage& operator=(const CIfoImage&) = delete;

    // Opens the file read-only; false when it cannot be opened (the file
    // layer has reported the system's reason).
    bool Open(CDvdLog& log, const char* pszPath);
    // The file's length in bytes.
    uint32_t GetFileSize() const { return m_file.GetSize(); }
    // Reads the whole file into a pooled block.
    void Load();

    // The bytes read.
    CIfoView GetView() const;
    // The bytes from sector dwSector to the end of the file; empty when the
    // sector lies at or past the end.
    CIfoView GetTable(DWORD dwSector) const { return GetView().From(size_t(dwSector) * IFO_SECTOR_SIZE); }
    // Whether a table sector field names a sector inside the bytes read.
    bool HoldsSector(DWORD dwSector) const { return size_t(dwSector) * IFO_SECTOR_SIZE < GetView().GetSize(); }

private:
    CDataFile m_file;
    std::unique_ptr<CDataBlock> m_pBlock;
};

// Opens (or finds again) the source VOB set of one domain and fills the
// domain from it. When the set cannot be used the domain is left empty with
// the IFO's stream attributes and pszWarning is reported; the read goes on.
// False only when the user cancelled.
bool OpenDomainContent(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu, const CStreamSet& streams,
                       const CCellAddressList& cells, const CVobuAddressList& vobus, CDvdProgress* pProgress,
                       CAngleBlockList& domain, const char* pszWarning);
