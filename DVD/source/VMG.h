// The Video Manager node: the disc-wide part of a disc (VIDEO_TS.IFO, .BUP
// and the menus of VIDEO_TS.VOB). It lives inside the disc root and is never
// created on its own.
//
// The node holds the header values that survive an edit, the first-play PGC,
// the menu domain (the blocks of VIDEO_TS.VOB) with its language units, the
// title table that maps disc titles to title-set titles, the VMG's column of
// the parental management table and the text data, carried as bytes.
#pragma once

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DvdObject.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PGC.h"

#include <cstdint>
#include <memory>
#include <vector>

class CDvd;
class CDvdLog;
class CDvdProgress;
class CProjectReader;
class CProjectWriter;
class CVts;
struct CCommandOperation;

// One country's row of parental masks for the VMG or one title set.
struct CParentalRecord
{
    // Bytes of one record in a project stream.
    static constexpr uint32_t kStoredSize = 18;

    uint16_t nCountry = 0;  // the two letters of the country code, read big-endian
    uint16_t masks[8] = {}; // mask k for parental level k + 1
};

using CParentalRecordArray = CDvdPtrArray<CParentalRecord>;
// One list of records per title set, as the VMG's parental table gives them.
using CParentalTableArray = CDvdPtrArray<CParentalRecordArray>;

// Index of the first record of a country, -1 when there is none.
int FindParentalRecord(const CParentalRecordArray& records, uint16_t nCountry);
// Replaces the records of dst by copies of those of src.
void CopyParentalRecords(CParentalRecordArray& dst, const CParentalRecordArray& src);
// A 32-bit count, then each record as 18 bytes.
bool StoreParentalRecords(CProjectWriter& writer, const CParentalRecordArray& records);
// Replaces the records by those of the stream; a count the stream cannot
// hold or a record cut short is refused as damaged content.
bool LoadParentalRecords(CDvdLog& log, CProjectReader& reader, CParentalRecordArray& records);

// Which title of which title set a disc title plays; 0-based, with
// VMGTITLE_UNDEFINED for a number stored as 0 or dropped by a deletion.
struct CVmgTitleEntry
{
    BYTE nVts = 0;
    BYTE nTitle = 0;
};

const BYTE VMGTITLE_UNDEFINED = 255;

// The title table (TT_SRPT) of the Video Manager: entry i is disc title i + 1.
class CVmgTitles : public CDvdObject
{
public:
    explicit CVmgTitles(CDvdObject* pParentVmg);

    CVmgTitles* Self() override { return this; }
    const CVmgTitles* Self() const override { return this; }
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}
    void Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b) override;

    uint32_t GetEntryCount() const { return m_entries.GetSize(); }
    const CVmgTitleEntry* GetEntry(uint32_t nIndex) const { return m_entries[nIndex]; }
    // Appends an entry with a clear flag byte.
    void AddEntry(const CVmgTitleEntry& entry);
    BYTE GetFlag(uint32_t nIndex) const { return m_flags[int32_t(nIndex)]; }
    void SetFlag(uint32_t nIndex, BYTE nFlag) { m_flags[int32_t(nIndex)] = nFlag; }
    void ClearFlags();
    // Deletes every entry and flag and frees their storage.
    void RemoveAll();
    // Copies the entries, the flag bytes, the node's flags and identity.
    void CopyFrom(const CVmgTitles& src);

    // Reads TT_SRPT; false when an entry lies outside the bytes.
    bool ReadIfo(const CIfoView& bytes);

    // Follows the insertion or deletion of titles of title set nLimit
    // (RETARGET_VTS_TITLE) or of title sets up to nLimit
    // (RETARGET_TITLE_SET): numbers from nFirst move by nDelta, a deleted
    // one becomes VMGTITLE_UNDEFINED. Answers whether an entry changed.
    bool RenumberTitles(int nKind, int nFirst, int nDelta, int nLimit);

    // The title that disc title nTitle + 1 plays; a null reference with the
    // reason in strMessage when it plays none.
    CDvdReference ResolveTitle(uint16_t nTitle, CString& strMessage) const;
    CDvdReference GetTitleReference(uint32_t nIndex) const
    {
        return CDvdReference(const_cast<CVmgTitles*>(this), 1, nIndex);
    }

private:
    CDvdPtrArray<CVmgTitleEntry> m_entries;
    CGrowArray<BYTE> m_flags; // one per entry
};

// The text data (TXTDT_MGI) of the VMG, kept as read and written back as is.
class CTextData
{
public:
    CTextData() = default;
    CTextData(const CTextData& src);
    CTextData& operator=(const CTextData& src);

    // False when the table's end address lies outside the bytes.
    bool ReadIfo(const CIfoView& bytes);
    void Clear();

    const BYTE* GetHeader() const { return m_header; }
    BYTE GetByte() const { return m_nByte; }
    const BYTE* GetPayload() const { return m_payload.get(); }
    uint32_t GetPayloadLength() const { return m_nPayloadLength; }
    uint32_t GetIfoSize() const { return m_nPayloadLength + kHeaderBytes; }
    // The table as the IFO holds it: GetIfoSize bytes.
    void WriteIfo(BYTE* pDest) const;

    static constexpr uint32_t kHeaderBytes = 20;

private:
    BYTE m_header[14] = {};
    BYTE m_nByte = 0;                  // byte 15; byte 14 is written as 0
    std::unique_ptr<BYTE[]> m_payload; // the bytes from offset 20 to the end address
    uint32_t m_nPayloadLength = 0;
};

class CVmg : public CDvdObject
{
public:
    explicit CVmg(CDvd* pDvd);
    ~CVmg() override;
    CVmg(const CVmg&) = delete;
    CVmg& operator=(const CVmg& src);

    CVmg* Self() override { return this; }
    const CVmg* Self() const override { return this; }
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override;
    void Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b) override;
    // The first-play PGC (when there is one), the language units, the title
    // table.
    unsigned GetChildCount() const override;
    CDvdObject* GetChild(unsigned nIndex) const override;
    CString GetChildName(unsigned nIndex) const override;

    // Back to the values of a new VMG, marked modified. The parental records
    // stay: a project record replaces them, and the IFO read and the disc's
    // reset drop them themselves.
    void Clear();
    void RemoveParentalRecords() { m_parentalRecords.RemoveAll(); }

    // Reads VIDEO_TS.IFO of the folder (which ends with a separator): the
    // number of title sets and one list of parental records per title set,
    // appended to parentalTables.
    bool ReadIfo(CDvdLog& log, const char* pszFolder, uint16_t& nTitleSets, CParentalTableArray& parentalTables,
                 CDvdProgress* pProgress);
    // TT_SRPT into the title table.
    bool ReadTitleTable(const CIfoView& bytes);
    // PTL_MAIT: the VMG's own column into its records, one new list per
    // title set appended to parentalTables. False when a country's masks lie
    // outside the bytes.
    bool ReadParentalTable(const CIfoView& bytes, CParentalTableArray& parentalTables);
    // Drops the menu blocks of the import that no PGC cell plays.
    void RemoveOrphanMenuBlocks();
    // Writes VIDEO_TS.VOB, .IFO and .BUP; answers the bytes written, 0 on
    // failure or cancel.
    uint64_t Write(CDvdLog& log, const char* pszFolder, bool bModifiedOnly, const CDvdObjectArray<CVts>& titleSets,
                   CDvdProgress* pProgress, bool bWriteIfo);
    // Every menu ILVU that a cell holds as a still keeps its last highlight
    // without end time; then the domain's ids are numbered for the export.
    void PrepareMenuExport();

    // ---- VIDEO_TS.IFO as the writer lays it out ----------------------------------
    // Whole sectors, in bytes.
    uint64_t GetIfoSize(const CDvdObjectArray<CVts>& titleSets) const;
    // VIDEO_TS.VOB in bytes: as an export would write it with the current
    // streams, as the source holds it, and as the last export wrote it.
    uint64_t GetMenuVobSize() { return m_menuDomain.GetOutputSize(); }
    uint64_t GetMenuSourceSize() const { return m_menuDomain.GetSourceSize(); }
    uint64_t GetMenuExportedSize() const { return m_menuDomain.GetExportedSize(); }
    // Room for the larger of the title sets' titles and the title table.
    uint32_t GetTitleTableSize(const CDvdObjectArray<CVts>& titleSets) const;
    // 0 when no country has parental records.
    uint32_t GetParentalTableSize(const CDvdObjectArray<CVts>& titleSets) const;
    static uint32_t GetVtsAttributeTableSize(const CDvdObjectArray<CVts>& titleSets);
    // The distinct countries of the VMG's records, then of each title set's,
    // in order of first appearance.
    void CollectCountries(const CDvdObjectArray<CVts>& titleSets, std::vector<uint16_t>& countries) const;
    // TT_SRPT; title set 1 starts at byte nFirstOffset of the disc and each
    // next one where the previous one's files end. False, with an error in
    // the log, for an entry that names no title.
    bool WriteTitleTable(CDvdLog& log, BYTE* pDest, uint64_t nFirstOffset,
                         const CDvdObjectArray<CVts>& titleSets) const;
    // PTL_MAIT; false when its offsets do not fit their 16 bits.
    bool WriteParentalTable(CDvdLog& log, BYTE* pDest, const CDvdObjectArray<CVts>& titleSets) const;
    static void WriteVtsAttributeTable(BYTE* pDest, const CDvdObjectArray<CVts>& titleSets);
    // The eight bytes of the POS code, most significant first.
    void EncodePosCode(BYTE* pDest) const;

    bool Store(CDvdLog& log, CProjectWriter& writer, CDvdProgress* pProgress);
    bool Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress);

    // ---- Menu blocks -------------------------------------------------------------
    void HideAllBlocks();
    void RestoreAllBlocks();
    bool CanRestoreBlocks() const;
    // Blanks the menu blocks without buttons.
    void HideMenuTransitions();
    // Single-ILVU menu blocks become stills (with buttons) or blank (without).
    void ConvertMenusToStill();

    // ---- User operations, parental management, commands -----------------------
    void SetUops(DWORD dwMask);
    void ModifyUops(DWORD dwClear, DWORD dwSet);
    // Drops the parental records and the parental-level changes of the
    // commands.
    void RemoveParentalManagement();
    bool HasParentalManagement() const { return m_parentalRecords.GetSize() > 0; }
    // True when any command changed.
    bool RetargetCommands(const CCommandOperation& operation);
    // False at the first part whose commands cannot take the operation.
    bool CheckCommands(const CCommandOperation& operation) const;
    WORD GetUsedRegisters() const;
    bool RetargetReferences(int nKind, int nFirst, int nDelta, int nLimit);

    // ---- Merge steps ---------------------------------------------------------------
    void DeleteFirstPlayPgc();
    // A new empty first-play PGC; the caller deletes an existing one first.
    void CreateFirstPlayPgc();
    // Appends a copy of the first-play PGC to every language unit (making
    // one when there is none); answers the copy's number in the first unit.
    uint16_t CopyFirstPlayToMenus();
    // A copy of the first unit for every code that no unit has.
    void AddMissingLanguageUnits(const CGrowArray<WORD>& codes);
    // The other VMG's menu blocks, its menus (by language) and its title
    // entries, appended.
    void AppendMenusAndTitles(const CVmg& other);

    uint32_t GetCategory() const { return m_nCategory; }
    void SetCategory(uint32_t nCategory) { m_nCategory = nCategory; }
    uint16_t GetVolumeCount() const { return m_nVolumes; }
    uint16_t GetVolumeNumber() const { return m_nVolumeNumber; }
    uint8_t GetSide() const { return m_nSide; }
    uint64_t GetPosCode() const { return m_nPosCode; }
    CParentalRecordArray& GetParentalRecords() { return m_parentalRecords; }
    const CParentalRecordArray& GetParentalRecords() const { return m_parentalRecords; }
    CPgc* GetFirstPlayPgc() const { return m_pFirstPlay.get(); }
    const CTextData* GetTextData() const { return m_pTextData.get(); }
    CAngleBlockList& GetMenuDomain() { return m_menuDomain; }
    const CAngleBlockList& GetMenuDomain() const { return m_menuDomain; }
    CLanguageUnits& GetLanguageUnits() { return m_languageUnits; }
    const CLanguageUnits& GetLanguageUnits() const { return m_languageUnits; }
    CVmgTitles& GetTitles() { return m_titles; }
    const CVmgTitles& GetTitles() const { return m_titles; }

private:
    uint32_t m_nCategory = 0;               // region mask and category of VMGI_MAT
    CParentalRecordArray m_parentalRecords; // the VMG's own column
    uint16_t m_nVolumes = 1;
    uint16_t m_nVolumeNumber = 1;
    uint8_t m_nSide = 1;
    uint64_t m_nPosCode = 0;                // VMGI_MAT bytes 0x60-0x67 as one big-endian number
    std::unique_ptr<CPgc> m_pFirstPlay;     // none when the disc has no first-play PGC
    std::unique_ptr<CTextData> m_pTextData; // none when the disc has no TXTDT_MGI
    CAngleBlockList m_menuDomain;           // not a child in the tree
    CLanguageUnits m_languageUnits;
    CVmgTitles m_titles;
};
