#include "DVD/source/RefCollector.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DvdObject.h"

#include <algorithm>

namespace
{
// The range a PGC gets when it plays a collected block without having
// reported a move: all of its numbers, none of them moving. A range that
// covers them lets the overlap test see that the block's buttons serve a PGC
// whose numbering stays, next to one whose numbering moves.
const WORD RANGE_ALL_FIRST = 1;
const WORD RANGE_ALL_LAST = 0xFFFF;

struct CRange
{
    int nFirst;
    int nLast;
};

// Removes [nFirst, nLast] from every range of the set.
void RemoveRange(std::vector<CRange>& ranges, int nFirst, int nLast)
{
    std::vector<CRange> left;
    for (const CRange& r : ranges)
    {
        if (nLast < r.nFirst || nFirst > r.nLast)
        {
            left.push_back(r);
            continue;
        }
        if (r.nFirst < nFirst)
            left.push_back({r.nFirst, nFirst - 1});
        if (nLast < r.nLast)
            left.push_back({nLast + 1, r.nLast});
    }
    ranges.swap(left);
}

// Deletes the element at nIndex; later ones move down by one.
void DeleteRecord(CDvdPtrArray<CReferenceRecord>& records, uint32_t nIndex)
{
    const uint32_t nSize = records.GetSize();
    CReferenceRecord** pData = records.GetData();
    delete pData[nIndex];
    for (uint32_t i = nIndex; i + 1 < nSize; ++i)
        pData[i] = pData[i + 1];
    pData[nSize - 1] = nullptr;
    records.SetSize(nSize - 1);
}
} // namespace

void CollectCellsPlaying(CAngleBlock* pBlock, CPgcCellArray& cells)
{
    // Only the cells that play this block answer the notice.
    CDvdObject* pOwner = pBlock ? pBlock->GetDomainOwner() : nullptr;
    if (pOwner)
        pOwner->Notify(pBlock, DVDNOTICE_COLLECT_CELLS, reinterpret_cast<intptr_t>(&cells), 0);
}

CReferenceCollector::CReferenceCollector(BYTE nOperation) : m_nOperation(nOperation)
{
}

CReferenceCollector::~CReferenceCollector() = default;

void CReferenceCollector::AddReference(CPgcCell* pCell, WORD wFirst, WORD wLast, int32_t nShift)
{
    CReferenceList* pList = FindWritableList(pCell->GetBlock());
    if (!pList)
    {
        pList = new CReferenceList;
        pList->pBlock = pCell->GetBlock();
        m_lists.Add(pList);
    }
    CReferenceRecord* pRecord = new CReferenceRecord;
    pRecord->wFirst = wFirst;
    pRecord->wLast = wLast;
    pRecord->nShift = nShift;
    pRecord->pCell = pCell;
    pList->records.Add(pRecord);
}

const CReferenceList* CReferenceCollector::FindList(const CAngleBlock* pBlock) const
{
    for (uint32_t i = 0; i < m_lists.GetSize(); ++i)
    {
        if (m_lists[i]->pBlock == pBlock)
            return m_lists[i];
    }
    return nullptr;
}

CReferenceList* CReferenceCollector::FindWritableList(const CAngleBlock* pBlock)
{
    return const_cast<CReferenceList*>(static_cast<const CReferenceCollector*>(this)->FindList(pBlock));
}

// ---- Collect ----------------------------------------------------------------------

void CReferenceCollector::Collect()
{
    for (uint32_t i = 0; i < m_lists.GetSize(); ++i)
        Collect(*m_lists[i]);
    m_bCollected = true;
}

void CReferenceCollector::Collect(CReferenceList& list)
{
    std::vector<CPgc*> reported;
    for (uint32_t i = 0; i < list.records.GetSize(); ++i)
    {
        CPgc* pPgc = list.records[i]->pCell->GetPgc();
        if (std::find(reported.begin(), reported.end(), pPgc) == reported.end())
            reported.push_back(pPgc);
    }

    CPgcCellArray cells;
    CollectPlayingCells(list.pBlock, cells);
    std::vector<CPgc*> playing;
    for (int32_t i = 0; i < cells.GetSize(); ++i)
    {
        CPgc* pPgc = cells[i]->GetPgc();
        if (std::find(playing.begin(), playing.end(), pPgc) == playing.end())
            playing.push_back(pPgc);
    }

    for (CPgc* pPgc : reported)
    {
        auto it = std::find(playing.begin(), playing.end(), pPgc);
        if (it != playing.end())
        {
            *it = playing.back();
            playing.pop_back();
        }
    }

    for (CPgc* pPgc : playing)
    {
        for (int32_t i = 0; i < cells.GetSize(); ++i)
        {
            if (cells[i]->GetPgc() == pPgc)
                AddReference(cells[i], RANGE_ALL_FIRST, RANGE_ALL_LAST, 0);
        }
    }
}

void CReferenceCollector::CollectPlayingCells(CAngleBlock* pBlock, CPgcCellArray& cells)
{
    CollectCellsPlaying(pBlock, cells);
}

// ---- Overlaps ------------------------------------------------------------------------

std::vector<uint32_t> CReferenceCollector::FindOverlaps(const CReferenceList& list) const
{
    std::vector<uint32_t> indices;
    const uint32_t nCount = list.records.GetSize();
    for (uint32_t i = 0; i < nCount; ++i)
    {
        const CReferenceRecord& a = *list.records[i];
        for (uint32_t j = i + 1; j < nCount; ++j)
        {
            const CReferenceRecord& b = *list.records[j];
            // The ranges one cell reports meet only where a range moving
            // down starts below its cells; a copy of the block could not
            // part a cell from itself anyway.
            if (a.nShift == b.nShift || a.IsEmpty() || b.IsEmpty() || a.pCell == b.pCell)
                continue;
            const int nFirst = std::max(a.wFirst, b.wFirst);
            const int nLast = std::min(a.wLast, b.wLast);
            if (nFirst > nLast)
                continue;
            if (!ButtonsReferTo(list.pBlock, m_nOperation, nFirst, nLast))
                continue;
            for (uint32_t k : {i, j})
            {
                if (std::find(indices.begin(), indices.end(), k) == indices.end())
                    indices.push_back(k);
            }
        }
    }
    std::sort(indices.begin(), indices.end());
    return indices;
}

bool CReferenceCollector::HasOverlaps(const CAngleBlock* pBlock) const
{
    for (uint32_t i = 0; i < m_lists.GetSize(); ++i)
    {
        const CReferenceList& list = *m_lists[i];
        if ((!pBlock || list.pBlock == pBlock) && !FindOverlaps(list).empty())
            return true;
    }
    return false;
}

// ---- Resolve ------------------------------------------------------------------------

void CReferenceCollector::Resolve(const CAngleBlock* pBlock, CGrowArray<CAngleBlock*>* pNewBlocks)
{
    // Lists that the resolution appends (one per new block) are resolved too.
    for (uint32_t i = 0; i < m_lists.GetSize(); ++i)
    {
        if (!pBlock || m_lists[i]->pBlock == pBlock)
            Resolve(*m_lists[i], pNewBlocks);
    }
}

void CReferenceCollector::Resolve(CReferenceList& list, CGrowArray<CAngleBlock*>* pNewBlocks)
{
    const std::vector<uint32_t> overlaps = FindOverlaps(list);
    for (size_t k = overlaps.size(); k > 1; --k)
    {
        const uint32_t nIndex = overlaps[k - 1];
        const CReferenceRecord record = *list.records[nIndex];
        CAngleBlock* pCopy = DuplicateBlock(record.pCell);
        if (!pCopy)
            continue;
        if (pNewBlocks)
            pNewBlocks->Add(pCopy);
        // The cell plays the copy now, so the record lands in its list.
        AddReference(record.pCell, record.wFirst, record.wLast, record.nShift);
        DeleteRecord(list.records, nIndex);
    }
}

// ---- Finish ---------------------------------------------------------------------------

void CReferenceCollector::Finish()
{
    for (uint32_t i = 0; i < m_lists.GetSize(); ++i)
        Finish(*m_lists[i]);
    m_bFinished = true;
}

void CReferenceCollector::Finish(CReferenceList& list)
{
    struct CMove
    {
        CRange range;
        int nShift;
    };
    std::vector<CMove> moves;
    for (uint32_t i = 0; i < list.records.GetSize(); ++i)
    {
        const CReferenceRecord& record = *list.records[i];
        if (record.nShift == 0)
            continue;
        std::vector<CRange> ranges;
        if (!record.IsEmpty())
            ranges.push_back({record.wFirst, record.wLast});
        // Cells that an earlier record with the same move already shifted
        // must not move twice.
        for (uint32_t j = 0; j < i; ++j)
        {
            const CReferenceRecord& earlier = *list.records[j];
            if (earlier.nShift == record.nShift && !earlier.IsEmpty())
                RemoveRange(ranges, earlier.wFirst, earlier.wLast);
        }
        for (const CRange& r : ranges)
            moves.push_back({r, record.nShift});
    }
    // Each command must move once, by the move of the range it lay in before
    // the edit. A command shifted up must not land in a range still to be
    // shifted, so ranges moving up go from the highest down; ranges moving
    // down go from the lowest up, each after the ranges below it vacated
    // the cells it empties.
    std::stable_sort(moves.begin(), moves.end(),
                     [](const CMove& a, const CMove& b)
                     {
                         if ((a.nShift > 0) != (b.nShift > 0))
                             return a.nShift > 0;
                         return a.nShift > 0 ? a.range.nFirst > b.range.nFirst : a.range.nFirst < b.range.nFirst;
                     });
    for (const CMove& move : moves)
        RetargetButtonCommands(list.pBlock, m_nOperation, move.range.nFirst, move.nShift, move.range.nLast);
}
