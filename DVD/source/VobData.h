// A source VOB set: the VOB files of one domain of the imported disc read as
// one sector space (VIDEO_TS.VOB for the VMG menus, VTS_nn_0.VOB for a title
// set's menus, VTS_nn_1.VOB onwards for its titles), the address tables that
// divide it into VOBUs and cells, the pristine blocks built from them, the
// domain's stream attributes and the counts of the background stream scan.
// The same class holds a single VOB file opened by path and sectors held by
// the program itself (the stock cells, sets made during export).
//
// Sets are shared by every interleaved unit that plays their sectors, across
// all revisions of a document; only a purge deletes them, and only when no
// node refers to them any more.
#pragma once

// First, before the system headers of the Windows build rename the worker
// thread's message members.
#include "Shared/source/WorkerThread.h"

#include "DVD/source/CellAddress.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobScan.h"
#include "Shared/source/DvdArray.h"
#include "Shared/source/dataAccess/DataFileSet.h"
#include "framework/core/CString.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class CAngleBlockList;
class CDvdLog;
class CDvdProgress;
class CProjectReader;
class CProjectWriter;

// Title-set numbers of the sets that are not a disc domain.
enum : BYTE
{
    VOBDATA_VMG = 0,
    VOBDATA_THROWAWAY = 253, // made while reading a project, then dropped
    VOBDATA_SINGLE_FILE = 254,
    VOBDATA_MEMORY = 255,
};

const uint32_t VOB_SECTOR_SIZE = 2048;

class CVobData : public CWorkerThread
{
public:
    // A disc domain: the stream set (none when the IFO gave none), the C_ADT
    // entries and the VOBU table are copied; with bCheck the tables are
    // checked against the VOB files first and rebuilt from the sectors when
    // they do not fit. Failures go to the log; the caller judges the set by
    // the log's flags.
    CVobData(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu, const CStreamSet* pStreams,
             const CCellAddressList& cells, const CVobuAddressList& vobus, bool bCheck, CDvdProgress* pProgress);
    // One VOB file named by its path; its tables always come from a scan.
    CVobData(CDvdLog& log, const char* pszPath, CDvdProgress* pProgress);
    // Sectors held by the program, copied into a temporary file. Without a
    // stream set the video standard is taken from the first cell's elapsed
    // time rate.
    CVobData(CDvdLog& log, const char* pszName, uint32_t nSize, const BYTE* pSectors, const CStreamSet* pStreams);
    ~CVobData() override;

    // ---- References ---------------------------------------------------------
    void AddRef() { ++m_nRefCount; }
    void Release()
    {
        if (m_nRefCount > 0)
            --m_nRefCount;
    }
    uint32_t GetRefCount() const { return m_nRefCount; }
    // The references held by nodes outside the set's own pristine blocks; a
    // purge deletes the set when this is 0.
    uint32_t GetExternalRefCount() const;

    // ---- Fields -------------------------------------------------------------
    BYTE GetVtsNumber() const { return m_nVts; }
    bool IsMenu() const { return m_bMenu != 0; }
    const char* GetPath() const { return m_path; }
    // Whether construction succeeded (tables, files and blocks in order).
    bool IsUsable() const { return m_bUsable; }
    bool HasStreamsGiven() const { return m_bStreamsGiven != 0; }
    const CStreamSet& GetStreams() const { return m_streams; }
    const CDataFileSet& GetFiles() const { return m_files; }
    const CCellAddressList& GetCellAddresses() const { return m_cells; }
    const CVobuAddressList& GetVobus() const { return m_vobus; }
    const CAngleBlockList& GetPristineBlocks() const { return *m_pBlocks; }
    // Gives an emptied domain the pristine blocks' streams and copies of the
    // pristine blocks; each copied ILVU takes a reference on the set.
    void GetBlocks(CAngleBlockList& domain) const;
    // Sectors of the file set (whole sectors only).
    uint32_t GetSectorCount() const;
    // Reads one sector; false when it does not lie whole inside the files.
    bool ReadSector(uint32_t nSector, BYTE* pBuffer) const;

    // ---- Address tables -----------------------------------------------------
    // Index of the VOBU table entry equal to the sector or just before it; -1
    // when the table is empty or the sector lies outside it.
    int32_t FindVobuIndex(DWORD dwSector) const;
    // The VOBU start sectors of one cell piece.
    bool GetCellVobus(CDvdLog& log, const CCellAddress& address, const CVobuAddressList& vobus,
                      CVobuAddressList& out) const;
    bool OpenVobFiles(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu);
    // Rebuilds both tables from a scan of every sector.
    bool RecoverCells(CDvdLog& log, CDvdProgress* pProgress);
    // Builds the pristine blocks from the two tables.
    bool BuildBlocks(CDvdLog& log, CDvdProgress* pProgress);

    // ---- Background scan ----------------------------------------------------
    // Counts the packs of VOBU i; called with the set's lock held. Nothing
    // when the VOBU was scanned already.
    void ScanVobu(int32_t i);
    // Counts the first packet of a pack (null: none) for VOBU i.
    void CountPacket(int32_t i, const BYTE* pSector);
    // Pack totals of each audio (8) and sub-picture (32) stream over the
    // VOBUs of the list, extrapolated over those not scanned yet; true when
    // every VOBU was scanned.
    bool GetStreamSizes(const CGrowArray<DWORD>& vobus, DWORD* pAudio, DWORD* pSubpictures);
    // One unit of the background work under the set's lock: a block of the
    // preliminary scan or a VOBU of the full scan. False when idle.
    bool DoScanUnit();

    uint32_t GetScanState() const { return m_nScanState.load(); }
    bool IsPreliminaryDone() const { return m_bPreliminaryDone.load(); }
    int32_t GetLastScannedVobu() const { return m_nLastScanned.load(); }
    // Whether the VOBU of the table that starts at dwNavSector was scanned
    // and holds packs of no other audio and sub-picture streams than those
    // of the masks.
    bool HoldsOnlyStreams(DWORD dwNavSector, BYTE nAudio, DWORD dwSubpictures);
    uint32_t GetVobuCursor() const { return m_nVobuCursor.load(); }
    BYTE GetAudioId(int nStream) const { return m_audioIds[nStream]; }
    BYTE GetAudioStreamCount() const { return m_nAudioStreams; }
    BYTE GetSubpictureStreamCount() const { return m_nSubpictureStreams; }
    // Read under the set's lock while a scan may run.
    const CVobuScanRecordArray& GetScanRecords() const { return m_records; }

    // ---- Project record -----------------------------------------------------
    // Where the set was, its tables and total size, and for a set of the
    // disc its pristine blocks and scan progress.
    bool Store(CDvdLog& log, CProjectWriter& writer);
    // Reopens the set of a record (asking for a moved folder or file), or
    // finds it registered; none after a report, among them a set whose
    // files no longer add up to the stored size.
    static CVobData* Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress);

protected:
    uint32_t Run() override;

private:
    void Init();
    void StartThread();
    bool CheckTables();
    // The bytes of the file added last behind its last whole sector are no
    // pack: they are left out of the set, with a warning that says where, so
    // that the next file's sectors start on a sector of the set.
    void DropPartialSector(CDvdLog& log);
    void ResetScanData();
    // Parses the highlights of every ILVU of the pristine blocks; false on
    // cancel or error.
    bool ParsePristineButtons(CDvdLog& log, CDvdProgress* pProgress);
    void TakeVideoStandard();
    bool StoreScanData(CDvdLog& log, CProjectWriter& writer) const;
    // The scan state of a record; with bDrop, or when its counts do not fit
    // this set's VOBUs, read and dropped.
    bool LoadScanState(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress, bool bDrop);

    uint32_t m_nRefCount = 0;
    CDataFileSet m_files;
    CString m_path;
    BYTE m_nVts = 0;
    BYTE m_bMenu = 0;
    BYTE m_bStreamsGiven = 0;
    CStreamSet m_streams;
    CCellAddressList m_cells;
    CVobuAddressList m_vobus;
    std::unique_ptr<CAngleBlockList> m_pBlocks;
    BYTE m_audioIds[8];
    CVobuScanRecordArray m_records;
    std::vector<BYTE> m_scanBuffer; // the sectors of the VOBU being scanned
    // The NAV sectors of the first VOBUs a recovery found, in table order,
    // kept for the block build that follows it (which reads every one of
    // them) and dropped when that is done.
    std::vector<BYTE> m_recoveredNavs;
    std::atomic<int32_t> m_nLastScanned{-1};
    BYTE m_nAudioStreams = 0;
    BYTE m_nSubpictureStreams = 0;
    std::atomic<uint32_t> m_nScanState{VOBSCAN_IDLE};
    std::atomic<bool> m_bPreliminaryDone{false};
    uint32_t m_nBlockCursor = 0;
    std::atomic<uint32_t> m_nVobuCursor{0};
    bool m_bUsable = false;
};

// Sectors of a set read in runs: a walk over contiguous sectors takes one
// read per run (at most 1 MiB) instead of one per sector.
class CVobSectorRun
{
public:
    explicit CVobSectorRun(const CVobData& set) : m_set(set) {}
    // Sector nSector, read together with the sectors after it up to nLast
    // when it is not held yet; null when it does not lie whole inside the
    // files.
    const BYTE* Get(uint32_t nSector, uint32_t nLast);

private:
    const CVobData& m_set;
    std::vector<BYTE> m_buffer;
    uint32_t m_nFirst = 0;
    uint32_t m_nCount = 0;
};

// The registry of source VOB sets, the memory list and the relocations.
typedef CDvdPtrArray<CVobData, CDvdVirtualDelete<CVobData>> CVobDataArray;

// A source folder the user pointed to when a project's folder had moved.
struct CPathRelocation
{
    CString oldPath;
    CString newPath;
};
typedef CDvdPtrArray<CPathRelocation> CPathRelocationArray;

// Appends a set to the registry and lets the scheduler scan it.
void RegisterVobData(CVobData* pSet);
// The registered set of the domain, or a new one; none when the domain's
// files cannot be used (the log says why).
CVobData* OpenDomainVobData(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu, const CStreamSet* pStreams,
                            const CCellAddressList& cells, const CVobuAddressList& vobus, bool bCheck,
                            CDvdProgress* pProgress, bool bPrompt);
// The same for a single VOB file, keyed by its path.
CVobData* OpenVobFileData(CDvdLog& log, const char* pszPath, CDvdProgress* pProgress, bool bPrompt);
// A nameless memory set made during export; kept in the memory list.
CVobData* CreateMemoryVobData(CDvdLog& log, uint32_t nSize, const BYTE* pSectors);
// Registered sets that no node refers to.
uint32_t CountUnusedVobData();
// Deletes the sets of the memory list and of the registry that no node
// refers to.
void PurgeUnusedVobData();
// Registered sets, in registration order (for the GUI's lists and tests).
uint32_t GetVobDataCount();
CVobData* GetVobDataAt(uint32_t nIndex);
const CPathRelocationArray& GetPathRelocations();

// For the scheduler, which holds the registry for the life of the process:
// makes the registry before the scheduler so that it outlives it, and at
// exit deletes every set (the caller holds the registry lock).
void InitVobDataRegistry();
void DeleteAllVobData();
