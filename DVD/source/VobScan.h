// The background stream scan of the source VOB sets. Every set has a worker
// thread that counts, VOBU by VOBU, the packs of each audio and sub-picture
// stream; one process-wide scheduler starts those threads one set at a time,
// in registration order, for a preliminary scan (the first VOBUs of every
// interleaved unit), enough for a size estimate. A full scan of every VOBU
// runs only when asked. Readers never wait: they extrapolate over what has
// not been counted yet and are told whether the totals are exact.
#pragma once

// First, before the system headers of the Windows build rename the worker
// thread's message members.
#include "Shared/source/WorkerThread.h"

#include "Shared/source/DvdArray.h"
#include "framework/core/AfxTypes.h"

#include <cstdint>

class CVobData;

// Commands of the set threads and the scheduler (1 is quit for both).
enum : uint32_t
{
    VOBSCAN_CMD_QUIT = CWorkerThread::kQuit,
    VOBSCAN_CMD_STOP = CWorkerThread::kPause,
    VOBSCAN_CMD_PRELIMINARY = CWorkerThread::kResume, // the scheduler: run
    VOBSCAN_CMD_FULL = 4,
};

// Scan state of a set.
enum : uint32_t
{
    VOBSCAN_IDLE = 0,
    VOBSCAN_PRELIMINARY = 1,
    VOBSCAN_FULL = 2,
};

// The preliminary scan counts at most this many VOBUs of each ILVU.
const int VOBSCAN_PRELIMINARY_VOBUS = 10;

// The counts of one VOBU: its length in sectors with the NAV pack (0 while
// not scanned) and the packs of each audio and sub-picture stream.
struct CVobuScanRecord
{
    WORD length;
    WORD audio[8];
    WORD subpictures[32];
};
static_assert(sizeof(CVobuScanRecord) == 82, "one scan record is 82 bytes");

class CVobuScanRecordArray : public CGrowArray<CVobuScanRecord>
{
};

class CVobScanScheduler : public CWorkerThread
{
public:
    CVobScanScheduler();
    // Stops the scan, forgets the stock cells and deletes every set.
    ~CVobScanScheduler() override;

    // Asks the scheduler to start the next set that needs a preliminary scan.
    void Poke();

protected:
    uint32_t Run() override;

private:
    uint32_t m_bRunning = 0;
};

// The process-wide scheduler; its lock guards the registry of sets.
CVobScanScheduler& GetVobScanScheduler();

// Queries over a set of VOB sets (the sets that the blocks of a domain play).
// Every set has finished its preliminary scan.
bool IsPreliminaryScanDone(CVobData* const* ppSets, uint32_t nCount);
// Some set runs a full scan.
bool IsFullScanRunning(CVobData* const* ppSets, uint32_t nCount);
// Every VOBU of every set has been counted.
bool IsFullScanComplete(CVobData* const* ppSets, uint32_t nCount);
void StartFullScan(CVobData* const* ppSets, uint32_t nCount);
void StopScan(CVobData* const* ppSets, uint32_t nCount);
