// One Video Title Set node: what VTS_nn_0.IFO and the title set's VOB files
// describe. The disc root owns the title sets, numbered from 1 in its array.
//
// The node holds the title domain and the menu domain (the blocks of the
// title set's VOB files), the titles with their chapters, the title PGC
// table, the menu language units, the VTS category and the title set's column
// of the parental management table. The domains are not children in the
// tree; the language units, the PGC table and the titles are.
#pragma once

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DvdObject.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VMG.h"
#include "DVD/source/title.h"

#include <cstdint>

// One array per angle, one byte per collected block: the ILVU it plays.
typedef CDvdPtrArray<CGrowArray<BYTE>> CAngleMap;

// Every collected block keeps only the ILVU that angle index nAngle of the
// map plays (CVts::CollectAngleBlocks).
void StripAngles(const CAngleBlockArray& blocks, const CAngleMap& angleMap, uint32_t nAngle);

class CDvdLog;
class CDvdProgress;
class CProjectReader;
class CProjectWriter;
struct CCommandOperation;

class CVts : public CDvdObject
{
public:
    explicit CVts(CDvdObject* pParent);
    // A copy keeps the source's identity.
    CVts(const CVts& src, CDvdObject* pParent);
    ~CVts() override;
    CVts& operator=(const CVts& src);

    CVts* Self() override { return this; }
    const CVts* Self() const override { return this; }
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override;
    void Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b) override;
    // The language units, then the PGC table, then the titles.
    unsigned GetChildCount() const override;
    CDvdObject* GetChild(unsigned nIndex) const override;
    CString GetChildName(unsigned nIndex) const override;

    // Back to an empty title set, marked modified. The parental records stay.
    void Clear();

    // Reads VTS_nn_0.IFO of the folder (which ends with a separator) for
    // title set nNumber, with the title set's column of the parental table.
    bool ReadIfo(CDvdLog& log, const CParentalRecordArray& parentalRecords, const char* pszFolder, uint8_t nNumber,
                 CDvdProgress* pProgress);
    // Drop the blocks of the import that no PGC cell plays; a domain left
    // without blocks leaves its PGCs no stream to select.
    void RemoveOrphanMenuBlocks();
    void RemoveOrphanTitleBlocks();
    // Writes the title set's VOB, IFO and BUP files; answers the bytes
    // written, 0 on failure or cancel.
    uint64_t Write(CDvdLog& log, const char* pszFolder, bool bModifiedOnly, uint8_t nNumber, CDvdProgress* pProgress,
                   bool bWriteIfo);

    bool HasParentalManagement() const { return m_parentalRecords.GetSize() > 0; }

    // ---- Edits of the whole title set -----------------------------------------------
    // Every title block blanked, or restored to what the disc held.
    void HideAllBlocks();
    void RestoreAllBlocks();
    bool CanRestoreBlocks() const;
    // Menu blocks without buttons are blanked.
    void HideMenuTransitions();
    // Single-angle menu blocks that are not stills yet: a block with buttons
    // becomes a still, one without is blanked.
    void ConvertMenusToStill();
    // Drops the parental records and the parental-level changes of every
    // command.
    void RemoveParentalManagement();
    void ModifyUops(DWORD dwClear, DWORD dwSet);
    // A command pass of the disc-wide operations or of a merge over the
    // button commands (not for a bypass) and the PGCs; true when a command
    // changed. CheckCommands answers whether the pass can be made.
    bool RetargetCommands(const CCommandOperation& operation);
    bool CheckCommands(const CCommandOperation& operation) const;
    // The general registers that any command of the title set uses.
    WORD GetUsedRegisters() const;
    // References of one kind renumbered in the menus' and the titles'
    // button and PGC commands; true when any changed.
    bool RetargetMenuReferences(int nKind, int nFirst, int nDelta, int nLimit);
    bool RetargetTitleReferences(int nKind, int nFirst, int nDelta, int nLimit);
    bool RetargetReferences(int nKind, int nFirst, int nDelta, int nLimit);

    // ---- Angles -----------------------------------------------------------------------
    // The multi-angle title blocks whose first packs announce their angles,
    // and for each angle a of GetMinAngleCount (array a of the map) the ILVU
    // that every collected block plays for it. Answers GetMinAngleCount;
    // both outputs stay empty below 2 angles.
    BYTE CollectAngleBlocks(CAngleBlockArray& blocks, CAngleMap& angleMap) const;

    // ---- What the VMG's tables say of this title set --------------------------
    // The largest angle count among the PGCs that title nTitle's chapters
    // play; 0 for a title without chapters.
    BYTE GetTitleAngleCount(uint32_t nTitle) const;
    // The smallest title angle count above 1; 0 when no title has angles.
    BYTE GetMinAngleCount() const;
    // The OR of the parental masks of the PGCs that title nTitle's chapters
    // play.
    WORD GetTitleParentalMask(uint32_t nTitle) const;
    // The playback type byte of title nTitle's VMG title entry, from the PGC
    // its first chapter plays; 0 when there is none.
    BYTE GetTitleType(uint32_t nTitle) const;
    // The title set's VTS_ATRT entry: its last byte offset, the category, the
    // menu and the title stream attributes laid out as in VTSI_MAT.
    static uint32_t GetAttributeRecordSize() { return kAttributeRecordSize; }
    void WriteAttributeRecord(BYTE* pDest) const;

    // ---- Sizes in bytes ------------------------------------------------------------
    // The VOBs an export would write with the current streams, and the
    // source VOBs the domains play.
    uint64_t GetMenuVobSize() { return m_menuDomain.GetOutputSize(); }
    uint64_t GetTitleVobSize() { return m_titleDomain.GetOutputSize(); }
    uint64_t GetMenuSourceSize() const { return m_menuDomain.GetSourceSize(); }
    uint64_t GetTitleSourceSize() const { return m_titleDomain.GetSourceSize(); }
    // VTS_nn_0.IFO as the writer lays it out, whole sectors.
    uint64_t GetIfoSize() const;
    // The menu and title VOB files as the last export wrote them.
    uint64_t GetMenuWrittenSize() const { return m_menuDomain.GetExportedSize(); }
    uint64_t GetTitleWrittenSize() const { return m_titleDomain.GetExportedSize(); }

    bool Store(CDvdLog& log, CProjectWriter& writer);
    bool Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress);

    uint32_t GetCategory() const { return m_nCategory; }
    void SetCategory(uint32_t nCategory) { m_nCategory = nCategory; }
    CParentalRecordArray& GetParentalRecords() { return m_parentalRecords; }
    const CParentalRecordArray& GetParentalRecords() const { return m_parentalRecords; }
    CAngleBlockList& GetTitleDomain() { return m_titleDomain; }
    const CAngleBlockList& GetTitleDomain() const { return m_titleDomain; }
    CAngleBlockList& GetMenuDomain() { return m_menuDomain; }
    const CAngleBlockList& GetMenuDomain() const { return m_menuDomain; }
    CVtsTitles& GetTitles() { return m_titles; }
    const CVtsTitles& GetTitles() const { return m_titles; }
    CPgcTable& GetPgcTable() { return m_pgcTable; }
    const CPgcTable& GetPgcTable() const { return m_pgcTable; }
    CLanguageUnits& GetLanguageUnits() { return m_languageUnits; }
    const CLanguageUnits& GetLanguageUnits() const { return m_languageUnits; }

private:
    static constexpr uint32_t kAttributeRecordSize = 776;

    // Gives the tables their domains and each other.
    void Connect();
    // The PGC that a chapter names, or none.
    const CPgc* GetChapterPgc(const CChapterEntry& chapter) const;
    CAngleBlockList m_titleDomain;
    CVtsTitles m_titles;
    CPgcTable m_pgcTable;                   // the title PGCs
    uint32_t m_nCategory = 0;               // as read from VTSI_MAT; written back there and into VTS_ATRT
    CParentalRecordArray m_parentalRecords; // this title set's masks, one record per country
    CAngleBlockList m_menuDomain;
    CLanguageUnits m_languageUnits;
};
