// Program chains: the unit of playback of DVD-Video. A PGC is an ordered list
// of cell entries grouped into programs, with the commands run before, after
// and at the end of cells, stream control tables and links to other PGCs.
// A cell entry plays a block of the PGC's VOB domain and lists which of the
// block's ILVUs (one per angle) it plays; an entry that lists n angles is
// written as n consecutive cells of the IFO. Everything in the IFO that counts
// cells counts those IFO cells; the model counts cell entries.
#pragma once

#include "DVD/source/DVDTypes.h"
#include "DVD/source/DvdObject.h"
#include "DVD/source/DvdTime.h"
#include "DVD/source/IfoView.h"
#include "Shared/source/DvdArray.h"

#include <cstring>

class CAngleBlock;
class CAngleBlockList;
class CBlockMap;
class CDvdLog;
class CDvdProgress;
class CPgc;
class CPgcCell;
class CPgcTable;
class CProjectReader;
class CProjectWriter;
class CReferenceCollector;
class CVobCell;

// The blocks of a domain in the order its project record stores them: a PGC
// record names a block by its index here.
typedef CGrowArray<CAngleBlock*> CBlockIndex;

const int PGC_COMMAND_SIZE = 8;
// A project record holds at most this many commands in a PGC.
const int PGC_MAX_COMMANDS = 128;
const int PGC_AUDIO_CONTROLS = 8;
const int PGC_SUBPICTURE_CONTROLS = 32;
const int PGC_COLOURS = 16;

// Still time that never ends.
const BYTE STILL_INFINITE = 255;
// A PGC link whose target was deleted.
const WORD PGC_LINK_DELETED = 65533;

// Size of PGC_GI, the fixed head of a PGCI.
const size_t PGC_GI_SIZE = 236;

// One raw 8-byte navigation command, decoded on demand (CNavCommand).
struct CPgcCommand
{
    BYTE bytes[PGC_COMMAND_SIZE];
};

// The cells that play a block, as notice code 3 collects them.
typedef CGrowArray<CPgcCell*> CPgcCellArray;

// The reference fields of a PGC.
enum : uint8_t
{
    PGCFIELD_PROGRAM = 1,
    PGCFIELD_NEXT = 2,
    PGCFIELD_PREV = 3,
    PGCFIELD_GOUP = 4,
    PGCFIELD_COLOUR = 5,
    PGCFIELD_PLAYBACK_MODE = 6,
    PGCFIELD_STILL_TIME = 7,
    PGCFIELD_AUDIO = 8,
    PGCFIELD_SUBPICTURE = 9,
    PGCFIELD_CATEGORY = 10,
    PGCFIELD_UOPS = 11,
};

// Command groups of the three tables of a PGC.
enum : uint8_t
{
    PGC_GROUP_NONE = 0,
    PGC_GROUP_PRE = 1,
    PGC_GROUP_POST = 2,
    PGC_GROUP_CELL = 3,
};

// The colour table: 16 entries, each the four palette bytes in file order
// (0, Y, Cr, Cb).
struct CClut
{
    BYTE colours[PGC_COLOURS][4];

    CClut() { Clear(); }
    void Clear() { memset(colours, 0, sizeof(colours)); }
};

struct CAudioControl
{
    BYTE nStream = 0; // 0-7
    BYTE bEnabled = 0;
};

struct CSubpictureControl
{
    BYTE nStreams[4] = {}; // 4:3, wide, letterbox, pan-scan; each 0-31
    BYTE bEnabled = 0;
};

// The category group a PGC table hands to the PGC reader: the table's menu
// flag, the category byte and the parental mask of the search pointer.
struct CPgcCategory
{
    BYTE nMenu = 0;
    BYTE nCategory = 0;
    WORD wParentalMask = 0;
};

class CPgcCommands : public CDvdObject
{
public:
    explicit CPgcCommands(CPgc* pParent);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}

    uint32_t GetCount() const { return m_commands.GetSize(); }
    const BYTE* GetCommand(uint32_t nIndex) const { return m_commands[nIndex]->bytes; }
    BYTE GetMark(uint32_t nIndex) const { return m_marks[int32_t(nIndex)]; }

    // Appends the command (taking ownership) with a clear mark; marks the
    // table modified. Answers its index.
    uint32_t Add(CPgcCommand* pCommand);
    // A copy of the 8 bytes appended.
    uint32_t Add(const BYTE* pCommand);
    // Inserts a copy of the command at nIndex (at most the count): the cell
    // commands and goto lines that named the lines from there on follow
    // them. Answers the index.
    uint32_t InsertAt(uint32_t nIndex, const BYTE* pCommand);
    void ClearMarks();
    // Deletes every command; marks the table modified when it held any.
    void Empty();
    // Group 1, 2 or 3 for the pre, post and cell tables of the owning PGC.
    uint8_t GetGroup() const;
    CDvdReference GetReference(uint32_t nIndex) const;

    // Copies the commands, marks, flags and identity of the source.
    void CopyFrom(const CPgcCommands& src);

    // The project record; false after a report.
    bool Store(CProjectWriter& writer) const;
    bool Load(CProjectReader& reader, CDvdLog& log);

private:
    CDvdPtrArray<CPgcCommand> m_commands;
    CGrowArray<BYTE> m_marks;
};

// The blocks a PGC plays, as a reference target.
class CPgcBlockList : public CDvdObject
{
public:
    explicit CPgcBlockList(CPgc* pParent);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}

    // The project record of the PGC's cell entries, which name their blocks
    // by their numbers in the index.
    bool Store(CDvdLog& log, CProjectWriter& writer, const CBlockIndex& blocks) const;
    bool Load(CProjectReader& reader, CDvdLog& log, const CBlockIndex& blocks);
};

class CPgcCell : public CDvdObject
{
public:
    CPgcCell(BYTE bSeamless, BYTE bRestricted, BYTE nStillTime, BYTE nCellCommand, CAngleBlock* pBlock,
             const CGrowArray<BYTE>& angles, CPgc* pParent);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}

    CPgc* GetPgc() const;
    CAngleBlock* GetBlock() const { return m_pBlock; }
    int GetAngleCount() const { return m_angles.GetSize(); }
    BYTE GetAngle(int nPosition) const { return m_angles[nPosition]; }
    void AddAngle(BYTE nIlvu) { m_angles.Add(nIlvu); }
    // The ILVU of the block that angle position nPosition plays; null when
    // the block has no such ILVU.
    CVobCell* GetIlvu(int nPosition) const;
    // Whether an ILVU the cell lists has a button; one whose command links,
    // jumps or calls.
    bool HasButtons() const;
    bool HasNavigatingButtons() const;

    BYTE m_bRestricted;
    BYTE m_nStillTime;
    BYTE m_bSeamless;
    BYTE m_nCellCommand; // 1-based in the cell-command table, 0 = none

    // The seamless flag the IFO gets: never on the first entry, nor after an
    // entry that is blank, has a cell command or holds a still.
    BYTE GetSeamlessFlag() const;
    // C_PBI of angle position nPosition. wPrevVobId and dwPrevEnd carry the
    // previous IFO cell's VOB id and end sector from cell to cell.
    void WriteCellPlayback(CDvdLog& log, BYTE* pDest, int nPosition, WORD& wPrevVobId, DWORD& dwPrevEnd) const;
    // Appends a copy of the command to the PGC's cell-command table and plays
    // it at the end of this cell.
    void SetCellCommand(const BYTE* pCommand);
    // The cell plays angle 1 of a block. Direct: pBlock itself. Otherwise
    // the cell gets a block of its own, a copy of its current one inserted
    // after it, which takes pBlock's content or, without pBlock, is hidden;
    // the other cells that played the old block keep it. With bRefresh the
    // disc then drops the blocks that no cell plays any more. False when the
    // cell was left as it was.
    bool SetBlock(CAngleBlock* pBlock, bool bDirect = true, bool bRefresh = false);
    // Plays a copy of its block, inserted after it in the domain, so that
    // the cell's buttons can change without touching the other cells that
    // play the block. Answers the copy.
    CAngleBlock* GetBlockDuplicate();

private:
    friend class CPgc;

    // A copy of the cell's block, inserted after it, holding pContent's
    // content or hidden; null when none could be made.
    CAngleBlock* MakeOwnBlock(const CAngleBlock* pContent);

    CAngleBlock* m_pBlock;
    CGrowArray<BYTE> m_angles;
};

class CPgc : public CDvdObject
{
public:
    CPgc(BYTE nMenu, CDvdObject* pParent);
    // A copy whose cells play the blocks that the map gives for the source's
    // blocks (the same blocks without a map).
    CPgc(const CPgc& src, const CBlockMap* pBlockMap, CDvdObject* pParent);
    ~CPgc() override;

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    int GetChildIndex(const CDvdObject* pChild) const override;
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}
    void Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b) override;

    void Assign(const CPgc& src, const CBlockMap* pBlockMap);
    // Zeroes the fields, empties the command tables, program map and cells;
    // the menu flag stays.
    void Clear();

    // ---- Fields ---------------------------------------------------------------
    BYTE m_nMenu;
    BYTE m_nCategory;
    WORD m_wParentalMask;
    CUopMask m_uops;
    CAudioControl m_audio[PGC_AUDIO_CONTROLS];
    CSubpictureControl m_subpictures[PGC_SUBPICTURE_CONTROLS];
    WORD m_wNextPgc;
    WORD m_wPrevPgc;
    WORD m_wGoUpPgc;
    BYTE m_nStillTime;
    BYTE m_nPlaybackMode;
    CClut m_colours;
    CPgcCommands m_preCommands;
    CPgcCommands m_postCommands;
    CPgcCommands m_cellCommands;
    CPgcBlockList m_blockList;

    // ---- Cells and programs ----------------------------------------------------
    uint32_t GetCellCount() const { return m_cells.GetSize(); }
    CPgcCell* GetCell(uint32_t nIndex) const { return m_cells[nIndex]; }
    uint32_t AddCell(CPgcCell* pCell);
    // A cell entry that plays a new blank block of the domain, appended;
    // answers its index.
    uint32_t AddBlankCell();
    // A program of one blank cell entry, appended; answers its index.
    int AddBlankProgram();
    // A cell entry playing pBlock (a new blank block when none is given),
    // inserted before or after entry nCell. The commands that name IFO cells
    // from there on follow, as do the programs; with bCollect the button
    // commands of the blocks the PGC plays follow too. Answers the new index.
    uint32_t InsertCell(uint32_t nCell, bool bBefore, CAngleBlock* pBlock, bool bCollect = false);
    int GetProgramCount() const { return m_programs.GetSize(); }
    // The cell entry at which program nProgram starts.
    WORD GetProgramStart(int nProgram) const { return m_programs[nProgram]; }
    void AddProgram(WORD nFirstCell) { m_programs.Add(nFirstCell); }

    uint32_t GetIfoCellCount() const;
    // 0-based IFO cell index of cell entry nCell's first IFO cell.
    uint32_t GetFirstIfoCell(uint32_t nCell) const;
    // The cell entry holding IFO cell nIfoCell (0-based), -1 when none does.
    int FindCellOfIfoCell(uint32_t nIfoCell) const;
    int GetMaxAngleCount() const;
    // The program that cell entry nCell belongs to, -1 without programs.
    int FindProgramOfCell(uint32_t nCell) const;
    // The cell entries whose cell command is number nCommand + 1.
    bool GetCellsWithCommand(uint32_t nCommand, CPgcCellArray& cells) const;
    void ShiftProgramMap(uint32_t nCell, int nDelta);

    // ---- Queries -----------------------------------------------------------------
    bool HasInfiniteStill() const;
    bool HasNavigationInPrePost() const;
    bool HasNavigationInCellCommands() const;
    bool HasButtons() const;
    bool HasNavigatingButtons() const;
    // 0 sequential, 1 random, 2 shuffle.
    int GetPlaybackModeType() const;
    WORD GetGeneralRegisters() const;
    BYTE GetTitleNumber() const { return BYTE(m_nCategory & 0x7F); }
    BYTE GetMenuType() const { return BYTE(m_nCategory & 0x0F); }
    bool IsEntry() const { return (m_nCategory & 0x80) != 0; }
    // "Title", "Root", ... for the menu types 2 to 7; "" otherwise.
    static const char* GetMenuTypeLabel(int nType);
    // 1 first play, 2 title domain, 4 VMG menus, 8 VTS menus.
    uint8_t GetPgcDomainCode() const;
    CPgcTable* GetTable() const;
    CAngleBlockList* GetDomain() const;
    // PGC nIndex of the owning table plays the same title as this one.
    bool IsSameTitle(uint32_t nIndex) const;
    // The PGC that link field nField (NextPGC, PrevPGC, GoUpPGC) names; an
    // empty reference, with the reason in strError when the link is wrong.
    CDvdReference GetLinkTarget(uint8_t nField, CString& strError) const;
    CDvdTime GetPlaybackTime() const;

    // ---- IFO form ----------------------------------------------------------------
    // Reads one PGCI into a newly constructed PGC, binding its cells to the
    // blocks of pDomain. False after an error in the log; the PGC then keeps
    // what was read.
    bool ReadIfo(CDvdLog& log, const CPgcCategory& category, CAngleBlockList* pDomain, const CIfoView& bytes);
    // Writes GetIfoSize bytes at pDest (zeroed by the caller). False after an
    // error, among them a chain too large for the one-byte counts of the IFO.
    bool WriteIfo(CDvdLog& log, BYTE* pDest) const;
    size_t GetIfoSize() const;
    uint32_t GetCommandCount() const;

    // ---- Time map ----------------------------------------------------------------
    // Entries the map gets (0 when the PGC gets none).
    uint32_t GetTimeMapEntryCount() const;
    size_t GetTimeMapSize() const { return 4 + 4 * size_t(GetTimeMapEntryCount()); }
    // False when the user cancelled.
    bool WriteTimeMap(CDvdLog& log, BYTE* pDest, CDvdProgress* pProgress) const;

    // ---- Project record and whole-PGC operations -------------------------------
    bool Store(CDvdLog& log, CProjectWriter& writer, const CBlockIndex& blocks) const;
    // Replaces the PGC by the record's; the progress, when given, moves to
    // the reader's position.
    bool Load(CDvdLog& log, CProjectReader& reader, const CBlockIndex& blocks, CDvdProgress* pProgress);
    // Every cell entry, last to first, plays a hidden block of its own; with
    // bRefresh the disc then drops the blocks no cell plays any more.
    void HideBlocks(bool bRefresh);
    // Brings back the imported content of every block the cells play;
    // answers whether any came back.
    bool RestoreBlocks();
    bool CanRestoreBlocks() const;
    // The mask of the PGC and of every block its cells play.
    void SetUops(DWORD dwMask);
    void ModifyUops(DWORD dwClear, DWORD dwSet);
    // Clears the parental mask and the parental-level changes of the
    // commands; answers whether the post-command table changed.
    bool RemoveParentalManagement();
    // Bytes an export writes for the ILVUs the cells play, with only the
    // streams the PGC can select.
    uint64_t GetOutputSize() const;

    // A blank block of pDomain with these ids, inserted after pAfter or
    // appended.
    static CAngleBlock* CreateBlankBlock(CAngleBlockList* pDomain, WORD wVobId, BYTE nCellId,
                                         const CAngleBlock* pAfter);

private:
    bool ReadCells(CDvdLog& log, CAngleBlockList* pDomain, const CIfoView& bytes);
    bool ReadPrograms(CDvdLog& log, const CIfoView& bytes);
    // The PGC's play time in 90 kHz ticks.
    int64_t GetPlaybackTicks() const;
    // Tells the collector that the entries nFirst to nLast (1-based) move by
    // nShift IFO cells, for the buttons of pCell's block; entry nLast
    // changed its own IFO cell count by nLastMove (0 when it is not the next
    // one that changed).
    void AddMovedEntries(CReferenceCollector& collector, CPgcCell* pCell, uint32_t nFirst, uint32_t nLast,
                         int32_t nShift, int32_t nLastMove) const;

    CDvdObjectArray<CPgcCell> m_cells;
    // Entry indices: wider than the IFO's bytes, so that an edited chain
    // of more entries keeps its programs until the writer refuses it.
    CGrowArray<WORD> m_programs;
};
