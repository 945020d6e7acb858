#include "DVD/source/StockCells.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobScan.h"
#include "Shared/source/DvdLog.h"

#include <memory>

namespace
{

struct CStockCellSource
{
    const char* pszName;
    const BYTE* pSectors;
    uint32_t nSize;
    // The first video attribute byte of the merge cells' stream set; 0 for
    // the empty cells, which take their standard from the elapsed time.
    BYTE nVideo;
};

const CStockCellSource kSources[STOCK_CELL_COUNT] = {
    {"Stock::Empty_Pal", g_abStockEmptyPal, sizeof(g_abStockEmptyPal), 0},
    {"Stock::Empty_Ntsc", g_abStockEmptyNtsc, sizeof(g_abStockEmptyNtsc), 0},
    {"Stock::Merge_2_Pal", g_abStockMerge2Pal, sizeof(g_abStockMerge2Pal), 0x53},
    {"Stock::Merge_2_Ntsc", g_abStockMerge2Ntsc, sizeof(g_abStockMerge2Ntsc), 0x43},
};

struct CStockTable
{
    CGrowArray<CVobCell*> cells;
    bool bCreated = false;
};

// Never destroyed: the scheduler empties it while static objects go away.
CStockTable& GetTable()
{
    static CStockTable* pTable = new CStockTable;
    return *pTable;
}

// MPEG-2 video of the standard, no audio, one sub-picture stream with zero
// attributes.
std::unique_ptr<CStreamSet> MakeMergeStreams(BYTE nVideo)
{
    std::unique_ptr<CStreamSet> pStreams(new CStreamSet(nullptr, true));
    BYTE block[STREAM_BLOCK_SIZE] = {};
    block[0] = nVideo;
    block[85] = 1; // one sub-picture stream (big-endian count at byte 84)
    pStreams->ReadIfo(block, true);
    return pStreams;
}

} // namespace

bool CreateStockCells()
{
    CStockTable& table = GetTable();
    if (table.bCreated)
        return false;
    for (int i = 0; i < STOCK_CELL_COUNT; ++i)
    {
        const CStockCellSource& source = kSources[i];
        CDvdLog log;
        std::unique_ptr<CStreamSet> pStreams;
        if (source.nVideo != 0)
            pStreams = MakeMergeStreams(source.nVideo);
        CVobData* pSet = new CVobData(log, source.pszName, source.nSize, source.pSectors, pStreams.get());
        if (log.IsCancelled() || log.HasError() || !pSet->IsUsable() || pSet->GetPristineBlocks().GetBlockCount() == 0)
        {
            delete pSet;
            // A later attempt starts again from an empty table.
            table.cells.SetSize(0);
            return false;
        }
        RegisterVobData(pSet);
        CVobCell* pCell = pSet->GetPristineBlocks().GetBlock(0)->GetIlvu(0);
        pCell->SetStock(true);
        table.cells.Add(pCell);
    }
    table.bCreated = true;
    return true;
}

CVobCell* GetStockCell(int nIndex)
{
    // Hiding before the cells exist, or with a bad index, finds no cell
    // rather than reading outside the table.
    const CStockTable& table = GetTable();
    if (!table.bCreated || nIndex < 0 || nIndex >= table.cells.GetSize())
        return nullptr;
    return table.cells[nIndex];
}

bool ReleaseStockCells()
{
    kx::ScopedLock lock(GetVobScanScheduler().GetLock());
    CStockTable& table = GetTable();
    if (!table.bCreated)
        return false;
    table.cells.SetSize(0);
    table.bCreated = false;
    return true;
}
