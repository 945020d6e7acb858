// The VOB files of one domain as an export writes them: VIDEO_TS.VOB for the
// VMG menus, VTS_nn_0.VOB for a title set's menus, VTS_nn_1.VOB onwards for
// its titles, each at most VOB_FILE_SIZE_LIMIT bytes.
//
// VOBUs come in as a prepared NAV sector plus the source ranges of the packs
// that follow it. A VOBU waits in the queue until every source sector its
// navigation data can point at has been either queued or recorded as removed
// in the sector map; only then are its relative addresses known, so only
// then is it written, with its new sector number and remapped addresses.
#pragma once

#include "DVD/source/SectorMap.h"
#include "Shared/platform/PlatformFile.h"
#include "Shared/source/DvdArray.h"
#include "Shared/source/dataAccess/DataRange.h"
#include "framework/core/AfxTypes.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class CDvdLog;

// Players take no VOB file of 1 GiB or more.
const uint32_t VOB_FILE_SIZE_LIMIT = 0x3FFFF800;
// A title domain may spread over this many files at most.
const BYTE VOB_MAX_TITLE_FILES = 9;

// One VOBU waiting to be written.
struct CVobuWriteItem
{
    // The NAV pack as the export prepared it; NV_PCK_LBN still holds the
    // VOBU's source sector.
    std::unique_ptr<BYTE[]> nav;
    // The packs after the NAV pack in output order, adjacent ranges merged.
    std::vector<CDataRange> ranges;
    // How far ahead of the NAV pack, in source sectors, the navigation data
    // points.
    DWORD reach = 0;
    // 2,048 for the NAV sector plus the bytes of the ranges.
    uint64_t size = 0;
};

// The clock references of one VOBU as it is written.
struct CVobuClock
{
    uint64_t previous = 0; // 27 MHz clock of the last pack written
    bool stamping = false; // a still picture's packs were placed
};

class CDiskVobFile
{
public:
    CDiskVobFile();
    // Writes what is still queued (its messages are dropped) and closes.
    ~CDiskVobFile();
    CDiskVobFile(const CDiskVobFile&) = delete;
    CDiskVobFile& operator=(const CDiskVobFile&) = delete;

    // Flushes the previous domain, closes it and, when the flush succeeded,
    // opens the files of the next one. nVts 0 is the VMG.
    bool StartDomain(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu);
    // Deletes the domain's old VOB files and creates its first one.
    bool Open(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu);
    // Writes what the output buffer still holds (failures are reported only
    // by Flush) and closes the file.
    void Close();

    // Appends bytes to the domain, starting the next file where the current
    // one would pass the size limit; answers the bytes taken, 0 on failure.
    // Bytes are gathered in an output buffer: a failure to write them may
    // show only at a later call, at the latest at Flush.
    uint32_t Write(CDvdLog& log, const BYTE* pBytes, uint32_t nCount);

    // Queues a VOBU (the writer owns its NAV sector from now on) and writes
    // every queued VOBU whose references are settled. False once the log
    // holds an error or a cancel.
    bool QueueVobu(CDvdLog& log, std::unique_ptr<BYTE[]> nav);
    // Appends source bytes to the newest VOBU.
    void AddData(const CDataRange& range);
    // Source sectors first..last that became nKept output sectors.
    void AddRemovedRange(DWORD dwFirst, DWORD dwLast, DWORD nKept);
    // Writes every queued VOBU; the sector map is reset when all went out.
    // The output buffer may still hold them.
    bool FlushQueue(CDvdLog& log);
    // Writes every queued VOBU and the output buffer.
    bool Flush(CDvdLog& log);

    uint64_t GetQueuedSize() const { return m_nQueuedBytes; }
    uint64_t GetTotalSize() const { return m_nDomainBytes + m_nQueuedBytes; }
    uint64_t GetWrittenSize() const { return m_nDomainBytes; }
    uint32_t GetQueueCount() const { return uint32_t(m_queue.size()); }
    BYTE GetFileCount() const { return m_nFiles; }
    bool IsOpen() const { return m_file.IsOpen(); }
    const CSectorMap& GetSectorMap() const { return m_map; }

    // The per-file limit; tests lower it (in whole sectors) to see rollover
    // without writing gigabytes.
    void SetFileSizeLimit(uint32_t nLimit) { m_nFileLimit = nLimit; }
    // How many bytes must be queued behind a settled VOBU before it is
    // written (one output buffer); tests set 0 to see each VOBU go as soon
    // as its references are settled.
    void SetReadAhead(uint32_t nBytes) { m_nReadAhead = nBytes; }

    // The name of file k of a domain (k is ignored for menus).
    static std::string GetFileName(const std::string& folder, BYTE nVts, bool bMenu, uint32_t k);

private:
    void DeleteOldFiles();
    bool OpenNextFile(CDvdLog& log);
    // Room in the output buffer for the next at most nWanted bytes of the
    // domain, in the file they belong to: answers where they go and sets
    // nChunk (whole sectors unless all of nWanted fits); null on failure.
    // Drops what was read ahead.
    BYTE* Reserve(CDvdLog& log, uint32_t nWanted, uint32_t& nChunk);
    // Bytes the output buffer and the current file still take.
    uint32_t GetRoom() const;
    // How far the source bytes from range nRange of the oldest VOBU, from
    // nOffset on, run on through the following queued VOBUs without a gap
    // other than their NAV sectors, up to nLimit bytes.
    uint32_t MeasureRun(uint32_t nRange, uint32_t nOffset, uint32_t nLimit, bool bFlushing) const;
    // Takes the nChunk bytes placed at what Reserve answered.
    void Commit(uint32_t nChunk);
    // Writes the output buffer to the current file.
    bool WriteOut(CDvdLog& log);
    // Writes the oldest VOBU unless, when not flushing, it must still wait.
    bool WriteNextVobu(CDvdLog& log, bool bFlushing);
    // The data ranges of a VOBU, read straight into the output buffer.
    bool WriteRanges(CDvdLog& log, const CVobuWriteItem& item, uint64_t& scr, CVobuClock& clock, bool bFlushing);

    kx::PlatformFile m_file;
    std::string m_folder; // ends with a separator
    uint64_t m_nDomainBytes = 0;
    uint64_t m_nFileBytes = 0;
    BYTE m_bMenu = 0;
    BYTE m_nVts = 255;
    BYTE m_nFiles = 0;
    std::deque<std::unique_ptr<CVobuWriteItem>> m_queue;
    uint64_t m_nQueuedBytes = 0;
    CSectorMap m_map;
    uint32_t m_nFileLimit = VOB_FILE_SIZE_LIMIT;
    uint32_t m_nReadAhead;
    std::unique_ptr<BYTE[]> m_out; // the output buffer, made on first use
    uint32_t m_nOut = 0;           // bytes in it, all of the current file
    // Source bytes read ahead behind the output: where the VOBUs after the
    // oldest go when they are written, their NAV sectors to be overwritten.
    uint32_t m_nAhead = 0;
    CDataFile* m_pAheadFile = nullptr;
    uint32_t m_nAheadOffset = 0; // of the first byte read ahead
};

// Where the video packet of a 2,048-byte pack starts; 0 when the pack holds
// none (or its header does not fit the sector).
size_t FindVideoPacket(const BYTE* pSector);
