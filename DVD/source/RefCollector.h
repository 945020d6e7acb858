// The reference collector: keeps button commands pointing at the right cells
// while an edit inserts or removes cells in the PGCs that play their blocks.
//
// Button commands of a block link to cells of the PGC that plays the block.
// When an edit changes the cell numbering of some PGCs, the collector gathers
// for each affected block every PGC cell that plays it with the range of
// numbers that moved and by how much. A block played by PGCs whose numbering
// moved differently cannot keep one set of commands for all of them, so such
// a block is duplicated, one copy per PGC; then the commands are shifted.
//
// One collector lives for one edit: construct, let the PGCs report through
// the edit's notice (AddReference), Collect, optionally HasOverlaps, Resolve,
// Finish.
#pragma once

#include "DVD/source/DVDTypes.h"
#include "DVD/source/PGC.h"
#include "Shared/source/DvdArray.h"

#include <cstdint>
#include <vector>

class CAngleBlock;

// The PGC cells that play the block, each once: the title set or VMG of the
// block's domain passes the collecting notice to its PGCs.
void CollectCellsPlaying(CAngleBlock* pBlock, CPgcCellArray& cells);

// Cells first .. last of a PGC moved by shift (0: nothing moved); a record
// whose first is above its last has an empty range.
struct CReferenceRecord
{
    WORD wReserved = 0;
    WORD wFirst = 0;
    WORD wLast = 0;
    int32_t nShift = 0;
    CPgcCell* pCell = nullptr; // the referring cell, not owned

    bool IsEmpty() const { return wFirst > wLast; }
};

// The records of the cells that play one block.
struct CReferenceList
{
    CAngleBlock* pBlock = nullptr; // not owned; the key
    CDvdPtrArray<CReferenceRecord> records;
};

class CReferenceCollector
{
public:
    // nOperation is the retarget kind used on the button commands.
    explicit CReferenceCollector(BYTE nOperation);
    virtual ~CReferenceCollector();

    CReferenceCollector(const CReferenceCollector&) = delete;
    CReferenceCollector& operator=(const CReferenceCollector&) = delete;

    // Files the record under the block the cell plays now.
    void AddReference(CPgcCell* pCell, WORD wFirst, WORD wLast, int32_t nShift);
    // Adds the PGCs that play a collected block without having reported.
    void Collect();
    // Whether the list of pBlock (every list for none) holds records whose
    // different moves meet at cells the block's buttons link to.
    bool HasOverlaps(const CAngleBlock* pBlock) const;
    // Gives every overlapping record but the first its own copy of the block
    // (for pBlock's list, or every list for none); the copies are appended to
    // pNewBlocks when given.
    void Resolve(const CAngleBlock* pBlock, CGrowArray<CAngleBlock*>* pNewBlocks);
    // Shifts the button commands of every list.
    void Finish();

    BYTE GetOperation() const { return m_nOperation; }
    bool IsCollected() const { return m_bCollected; }
    bool IsFinished() const { return m_bFinished; }
    uint32_t GetListCount() const { return m_lists.GetSize(); }
    const CReferenceList& GetList(uint32_t nIndex) const { return *m_lists[nIndex]; }
    // The list of pBlock, or null.
    const CReferenceList* FindList(const CAngleBlock* pBlock) const;

protected:
    // What the collector needs of the disc tree.

    // The PGC cells that play the block, each once.
    virtual void CollectPlayingCells(CAngleBlock* pBlock, CPgcCellArray& cells);
    // Whether a button command of the block refers, by retarget kind
    // nKind, to a number in [nFirst, nLast].
    virtual bool ButtonsReferTo(const CAngleBlock* pBlock, BYTE nKind, int nFirst, int nLast) const = 0;
    // Applies the retarget operation to every button command of the block;
    // true when any changed.
    virtual bool RetargetButtonCommands(CAngleBlock* pBlock, BYTE nKind, int nStart, int nDelta, int nLimit) = 0;
    // Gives the cell a copy of its block to play and answers the copy.
    virtual CAngleBlock* DuplicateBlock(CPgcCell* pCell) = 0;

private:
    CReferenceList* FindWritableList(const CAngleBlock* pBlock);
    // Indices of the records that overlap, ascending, each once.
    std::vector<uint32_t> FindOverlaps(const CReferenceList& list) const;
    void Collect(CReferenceList& list);
    void Resolve(CReferenceList& list, CGrowArray<CAngleBlock*>* pNewBlocks);
    void Finish(CReferenceList& list);

    CDvdPtrArray<CReferenceList> m_lists;
    BYTE m_nOperation;
    bool m_bFinished = false;
    bool m_bCollected = false;
};
