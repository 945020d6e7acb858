// A VOB domain and its blocks. A block is what a PGC cell entry plays: one
// interleaved unit (CVobCell) per angle. A domain is the ordered list of the
// blocks of one set of VOB files (the VMG menus, a title set's menus or its
// titles).
#pragma once

#include "DVD/source/DvdObject.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobCell.h"
#include "Shared/source/DvdArray.h"

class CAngleBlockList;

class CAngleBlock : public CDvdObject
{
public:
    // The first ILVU becomes angle 1 (its parent is left to the caller); a
    // null ILVU gives an empty block.
    CAngleBlock(CVobCell* pFirst, CVobCell* pPristine, CAngleBlockList* pList);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    int GetChildIndex(const CDvdObject* pChild) const override;
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override;

    // The angle count: one ILVU per angle.
    uint32_t GetIlvuCount() const { return m_ilvus.GetSize(); }
    CVobCell* GetIlvu(uint32_t nAngle) const { return m_ilvus[nAngle]; }
    bool IsInterleaved() const { return m_bInterleaved != 0; }

    // Index of the ILVU with these ids, -1 when the block has none.
    int FindIlvu(WORD wVobId, BYTE nCellId) const;
    bool HasCell(WORD wVobId, BYTE nCellId) const { return FindIlvu(wVobId, nCellId) >= 0; }
    // Appends an angle unless the block already holds those ids (the caller
    // then keeps the ILVU). Answers whether it was taken.
    bool AddCell(CVobCell* pIlvu, CVobCell* pPristine);

private:
    CDvdObjectArray<CVobCell> m_ilvus;
    // Not owned: the source cells a restore copies back, one per angle.
    CGrowArray<CVobCell*> m_pristine;
    BYTE m_bInterleaved = 0;
    BYTE m_bMasksValid = 0;
    BYTE m_nAudioMask = 0;
    DWORD m_dwSubpictureMask = 0;
};

// A block of a source and its copy, as a copy of a domain hands them to the
// PGCs that have to follow.
struct CBlockMapEntry
{
    const CAngleBlock* pSource;
    CAngleBlock* pCopy;
};

class CBlockMap : public CGrowArray<CBlockMapEntry>
{
public:
    // The copy of pSource; pSource itself when the map does not hold it.
    CAngleBlock* Lookup(const CAngleBlock* pSource) const;
};

class CAngleBlockList : public CDvdObject
{
public:
    // The stream set of a menu domain holds fewer sub-picture streams.
    explicit CAngleBlockList(CDvdObject* pOwner, bool bMenu = false);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    int GetChildIndex(const CDvdObject* pChild) const override;
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override;

    uint32_t GetBlockCount() const { return m_blocks.GetSize(); }
    CAngleBlock* GetBlock(uint32_t nIndex) const { return m_blocks[nIndex]; }
    // Index of the block, -1 when it is not in this domain.
    int GetBlockIndex(const CAngleBlock* pBlock) const;

    // Appends a block of one ILVU; answers the block.
    CAngleBlock* AddCell(CVobCell* pIlvu, CVobCell* pPristine);
    void AddBlock(CAngleBlock* pBlock);
    // Inserts pNew after pBlock; nothing when pBlock is not in the list.
    void InsertAfter(const CAngleBlock* pBlock, CAngleBlock* pNew);
    // Moves the block at nFrom to nTo.
    void MoveBlock(uint32_t nFrom, uint32_t nTo);
    // The block holding the ILVU with these ids and that ILVU's angle index;
    // null when no block holds it.
    CAngleBlock* FindCell(WORD wVobId, BYTE nCellId, int& nAngle) const;

    CStreamSet& GetStreams() { return m_streams; }
    const CStreamSet& GetStreams() const { return m_streams; }
    // The domain's video standard is 625/50.
    bool IsPal() const { return m_streams.GetVideo().GetStandard() == 1; }

private:
    CDvdObjectArray<CAngleBlock> m_blocks;
    CStreamSet m_streams;
};
