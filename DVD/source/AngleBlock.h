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
class CDvdLog;
class CDvdProgress;
class CProjectReader;
class CProjectWriter;
class CVobData;
struct CCommandOperation;

// The source VOB sets a domain refers to, each once, in order of first use.
typedef CGrowArray<CVobData*> CVobDataList;

class CAngleBlock : public CDvdObject
{
public:
    // The first ILVU becomes angle 1 (its parent is left to the caller); a
    // null ILVU gives an empty block.
    CAngleBlock(CVobCell* pFirst, CVobCell* pPristine, CAngleBlockList* pList);
    ~CAngleBlock() override;
    // A deep copy for another domain: the ILVUs are copied, the pristine
    // ILVUs shared. The copy of a block of a source VOB set's own domain
    // remembers that block's ILVUs as its pristine ones.
    static CAngleBlock* CopyConstruct(const CAngleBlock& source, CAngleBlockList* pList);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    int GetChildIndex(const CDvdObject* pChild) const override;
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override;

    CAngleBlockList* GetList() const;

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
    // Orders the angles by vob id, as the source VOB set groups them.
    void SortByVobId();
    // Deletes the ILVUs and forgets the pristine ones (before a load).
    void Clear();

    // The project record: the ILVUs, each with the index of its pristine
    // ILVU in the pristine list of the domain's record (0: none).
    bool Store(CDvdLog& log, CProjectWriter& writer, const CVobDataList& sets,
               const CGrowArray<CVobCell*>& pristine) const;
    bool Load(CDvdLog& log, CProjectReader& reader, const CGrowArray<CVobCell*>& pristine, const CVobDataList& sets,
              CDvdProgress* pProgress);

    // ---- Edits ---------------------------------------------------------------------
    // Each answers whether the block changed and tells the PGCs that play it.
    // Shows a blank stock cell of the block's frame rate in its place; false
    // when there is none.
    bool SetBlank();
    // The block was edited and every angle has its imported cell.
    bool CanRestore() const;
    // Copies of the imported cells replace the current ones.
    bool Restore();
    // Splits at the start of VOBU nVobu of angle 1; the second part is a new
    // block that follows this one.
    bool SplitAt(uint32_t nVobu);
    // A copy of the block inserted after it in the domain; null outside one.
    CAngleBlock* Duplicate();
    bool KeepAngle(uint32_t nAngle);
    // Angles 2..n become blocks of their own that follow this one.
    bool SeparateAngles();
    // Takes a copy of the source's content with this block's ids; with
    // bUpdateStreams the domain may take the source's streams.
    bool CopyContentFrom(const CAngleBlock* pSource, bool bUpdateStreams);
    // The PGC cells that play this menu block run button nButton's command
    // (0-based) as their cell command, and the block is hidden.
    bool BypassMenu(const BYTE* pCommand, int nButton);

    // ---- Pristine ILVUs ---------------------------------------------------------
    // Each holds a reference on its source VOB set.
    uint32_t GetPristineCount() const { return uint32_t(m_pristine.GetSize()); }
    CVobCell* GetPristine(uint32_t nAngle) const;
    void AddPristine(CVobCell* pPristine);
    // Cuts to n entries or pads with empty ones.
    void SetPristineCount(uint32_t n);

    // The stream set of the source VOB set of angle 1; false for an empty
    // block, a stock cell or an ILVU without a set.
    bool GetSourceStreams(CStreamSet& streams) const;
    // Some ILVU shows buttons.
    bool HasButtons() const;
    // A stock cell of the other video standard in angle 1 (or as pristine
    // angle 1) is replaced by the blank cell of this one.
    void MatchStockStandard(bool bPal);

    // ---- Sizes in bytes -----------------------------------------------------------
    // The physical audio and sub-picture streams that the domain's PGCs can
    // select, cached.
    bool GetStreamMasks(BYTE& nAudio, DWORD& dwSubpictures);
    uint64_t GetOutputSize();
    uint64_t GetOutputSizeWithMasks(BYTE nAudio, DWORD dwSubpictures) const;
    uint64_t GetSourceSize() const;
    uint64_t GetExportedSize() const;
    uint64_t GetAudioStreamSize(int nStream, bool& bExact) const;
    uint64_t GetSubpictureStreamSize(int nStream, bool& bExact) const;
    // Bytes this block adds to the VOBU address map and the cell address
    // table.
    uint32_t GetVobuAddressMapSize() const;
    uint32_t GetCellAddressTableSize() const;

    // ---- Background scan of the source VOB sets -----------------------------------
    void StartFullScan() const;
    void StopScan() const;
    bool IsScanning() const;
    bool IsFullScanComplete() const;
    // The distinct source VOB sets of the current ILVUs, appended.
    void CollectVobData(CVobDataList& sets) const;

    // ---- Button commands --------------------------------------------------------
    // The retarget operation (RETARGET_...) on every button command; with
    // bWriteBack the changed commands are stored. True when any changed.
    bool ForEachButtonCommand(int nKind, int nStart, int nDelta, int nLimit, bool bWriteBack);
    bool RetargetButtonCommands(int nKind, int nStart, int nDelta, int nLimit);
    // Some button command holds a number of kind nKind in [nFirst, nLast].
    bool ButtonsReferTo(int nKind, int nFirst, int nLast) const;
    bool AdjustButtonCommandsForMerge(const CCommandOperation& operation);
    // Whether the merge operation can be applied to every button command.
    bool CheckButtonCommands(const CCommandOperation& operation) const;
    WORD GetUsedRegisters() const;
    DWORD GetUsedSystemRegisters() const;

    // ---- User operations ----------------------------------------------------------
    // Applies (clear, set) to the mask of every ILVU; answers whether any
    // changed.
    bool ModifyUops(DWORD dwClear, DWORD dwSet);
    bool SetUops(DWORD dwMask);

    // ---- After an export ------------------------------------------------------------
    // One cell address entry per output piece and every output VOBU start.
    void CollectAddresses(CCellAddressList& cells, CVobuAddressList& vobus) const;

private:
    CAngleBlock(const CAngleBlock& source, CAngleBlockList* pList);

    void ReleasePristine(uint32_t nFrom);
    // The stock cell a hide puts in, by the frame rate of angle 1.
    CVobCell* GetBlankCell() const;

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

typedef CGrowArray<CAngleBlock*> CAngleBlockArray;

class CAngleBlockList : public CDvdObject
{
public:
    // The stream set of a menu domain holds fewer sub-picture streams.
    explicit CAngleBlockList(CDvdObject* pOwner, bool bMenu = false);
    // Starts with a copy of a stream set.
    CAngleBlockList(const CStreamSet& streams, CDvdObject* pOwner);
    // Blocks, streams, cache, flags and identity; the owner stays.
    CAngleBlockList& operator=(const CAngleBlockList& source);
    // The same; the map pairs every source block with its copy so that the
    // owner's PGCs can follow.
    void Assign(const CAngleBlockList& source, CBlockMap* pMap);

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
    void GetBlocks(CAngleBlockArray& blocks) const;

    // Takes the source's streams and cache and appends copies of its blocks.
    void CopyConstruct(const CAngleBlockList& source);
    // Appends copies of the blocks; the map pairs each with its copy.
    void CopyBlocks(const CAngleBlockArray& blocks, CBlockMap& map);

    // Appends a block of one ILVU; answers the block.
    CAngleBlock* AddCell(CVobCell* pIlvu, CVobCell* pPristine);
    void AddBlock(CAngleBlock* pBlock);
    // Inserts pNew after pBlock; nothing when pBlock is not in the list.
    void InsertAfter(const CAngleBlock* pBlock, CAngleBlock* pNew);
    // Deletes the block; with bRecompute the streams are set anew when no
    // block is left that brings its own.
    void RemoveBlock(uint32_t nIndex, bool bRecompute);
    // Deletes every block and empties the streams.
    void RemoveAll();
    // Moves the block at nFrom to nTo.
    void MoveBlock(uint32_t nFrom, uint32_t nTo);
    // The block holding the ILVU with these ids and that ILVU's angle index;
    // null when no block holds it.
    CAngleBlock* FindCell(WORD wVobId, BYTE nCellId, int& nAngle) const;

    // ---- Edits of every block --------------------------------------------------------
    void HideAllBlocks();
    void RestoreAllBlocks();
    bool CanRestoreBlocks() const;
    // Menu blocks without buttons are transitions: hidden.
    void HideMenuTransitions();
    // Menu blocks with buttons become stills of their first picture; the
    // others are hidden. Blocks of several angles and stills stay.
    void ConvertMenusToStill();

    // ---- Button commands ----------------------------------------------------------
    bool RetargetButtonCommands(int nKind, int nStart, int nDelta, int nLimit);
    // False at the first block whose commands the operation cannot take.
    bool CheckButtonCommands(const CCommandOperation& operation) const;
    WORD GetUsedRegisters() const;

    // ---- Streams ------------------------------------------------------------------
    CStreamSet& GetStreams() { return m_streams; }
    const CStreamSet& GetStreams() const { return m_streams; }
    // The domain's video standard is 625/50.
    bool IsPal() const { return m_streams.GetVideo().GetStandard() == 1; }
    // Takes the streams and brings stock cells to the domain's standard.
    void SetStreams(const CStreamSet& streams);
    // The first block that brings streams defines them: nothing while a
    // block other than pExcluded has streams of its own.
    void UpdateStreams(const CStreamSet& streams, const CAngleBlock* pExcluded);
    bool HasSourceStreams(const CAngleBlock* pExcluded) const;
    bool GetSourceStreams(CStreamSet& streams, const CAngleBlock* pExcluded) const;
    void MatchStockStandard();

    // Bits of the logical streams of the stream set.
    BYTE GetAudioStreamMask() const;
    DWORD GetSubpictureStreamMask() const;
    // The physical streams that the domain's PGCs let the logical streams of
    // the mask select.
    BYTE MapAudioMask(BYTE nLogical);
    DWORD MapSubpictureMask(DWORD dwLogical);

    // ---- Owner ------------------------------------------------------------------------
    bool IsMenuDomain() const;
    // The PGC table of a title domain or the language units of a menu domain;
    // none outside a disc.
    CDvdObject* GetPgcContainer() const;
    void CollectVobData(CVobDataList& sets) const;

    // ---- Project record -------------------------------------------------------------
    // The domain with the source VOB sets its ILVUs use, its streams and
    // blocks. A source VOB set storing its own pristine domain passes itself:
    // the record then names no sets.
    bool Store(CDvdLog& log, CProjectWriter& writer, CVobData* pOwnSet) const;
    bool Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress, CVobData* pOwnSet);

    // ---- Sizes in bytes -----------------------------------------------------------
    uint64_t GetOutputSize();
    uint64_t GetSourceSize() const;
    uint64_t GetExportedSize() const;
    uint64_t GetAudioStreamSize(int nStream, bool& bExact) const;
    uint64_t GetSubpictureStreamSize(int nStream, bool& bExact) const;
    uint32_t GetVobuAddressMapSize() const;
    uint32_t GetCellAddressTableSize() const;

    // ---- Background scan ----------------------------------------------------------
    void StartFullScan() const;
    void StopScan() const;
    bool IsScanning() const;
    bool IsFullScanComplete() const;
    bool IsPreliminaryScanDone() const;

private:
    CAngleBlockList(const CAngleBlockList&) = delete;

    void BuildStreamMaps();

    CDvdObjectArray<CAngleBlock> m_blocks;
    CStreamSet m_streams;
    DWORD m_audioMaps[8] = {};
    DWORD m_subpictureMaps[32] = {};
    BYTE m_bMapsValid = 0;
};

// The retarget operation on the button commands of every block of the array;
// true when any changed.
bool RetargetButtonCommands(const CAngleBlockArray& blocks, int nKind, int nStart, int nDelta, int nLimit);
