// Feeds arbitrary bytes to the project loader as a project stream. A damaged
// or cut project must load or fail with a message, never crash, and never
// make an allocation that the stream's own size cannot justify: a count read
// from the stream is only trusted as far as the bytes left can hold it.

#include "DVD/source/DVD.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VobData.h"
#include "Shared/source/DvdLog.h"
#include "tests/support/MemoryProjectStream.h"
#include "tests/support/TestSinks.h"

#include <sanitizer/allocator_interface.h>
#include <sanitizer/common_interface_defs.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{

// What a load may allocate in one piece beyond the stream's size: the fixed
// buffers that do not grow with any count read from it, the largest being
// the read buffer with which a source VOB set whose stored tables do not fit
// its files recovers its cells (1 MB).
constexpr size_t kFixedAllowance = 2 * 1024 * 1024;

// Only the loading thread is watched: the background scans that a load
// starts read the sets' VOB files, not the stream.
thread_local bool t_bWatching = false;
thread_local size_t t_nLimit = 0;
thread_local size_t t_nLargest = 0;

void OnMalloc(const volatile void*, size_t nSize)
{
    if (!t_bWatching || nSize <= t_nLargest)
        return;
    // The first allocation over the limit shows where it was made.
    if (nSize > t_nLimit && t_nLargest <= t_nLimit)
        __sanitizer_print_stack_trace();
    t_nLargest = nSize;
}

void OnFree(const volatile void*)
{
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    CreateStockCells();
    __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    {
        // A relocation prompt is declined, as by a user who gives no folder.
        kxtest::ScriptedUi ui;
        kxtest::MemoryProjectReader reader(std::vector<uint8_t>(pData, pData + nSize));
        CDvdLog log;
        CDvd dvd;
        t_nLimit = nSize + kFixedAllowance;
        t_nLargest = 0;
        t_bWatching = true;
        dvd.Load(log, reader, nullptr);
        t_bWatching = false;
        const size_t nLargest = t_nLargest;
        if (nLargest > t_nLimit)
        {
            std::fprintf(stderr, "A load of %zu bytes allocated %zu bytes at once\n", nSize, nLargest);
            std::abort();
        }
    }
    // Sets the load opened and no node holds any more.
    PurgeUnusedVobData();
    return 0;
}
