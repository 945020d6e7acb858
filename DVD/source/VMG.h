// The Video Manager node: the disc-wide part of a disc (VIDEO_TS.IFO, .BUP
// and the menus of VIDEO_TS.VOB). It lives inside the disc root and is never
// created on its own.
//
// The node holds the header values that survive an edit and the VMG's column
// of the parental management table. The first-play PGC, the menu domain, the
// menu language units, the title table and the text data join it with the
// classes that model them.
#pragma once

#include "DVD/source/DvdObject.h"

#include <cstdint>

class CDvd;
class CDvdLog;
class CDvdProgress;
class CProjectReader;
class CProjectWriter;
class CVts;

// One country's row of parental masks for the VMG or one title set.
struct CParentalRecord
{
    // Bytes of one record in a project stream.
    static constexpr uint32_t kStoredSize = 18;

    uint16_t nCountry = 0; // the two letters of the country code, read big-endian
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

class CVmg : public CDvdObject
{
public:
    explicit CVmg(CDvd* pDvd);
    ~CVmg() override;
    CVmg(const CVmg&) = delete;
    CVmg& operator=(const CVmg& src);

    CVmg* Self() override { return this; }
    const CVmg* Self() const override { return this; }
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override;
    void Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b) override;

    // Back to the values of a new VMG, marked modified. The parental records
    // stay: a project record replaces them and an import appends to them.
    void Clear();

    // Reads VIDEO_TS.IFO of the folder (which ends with a separator): the
    // number of title sets and one list of parental records per title set.
    bool ReadIfo(CDvdLog& log, const char* pszFolder, uint16_t& nTitleSets,
                 CParentalTableArray& parentalTables, CDvdProgress* pProgress);
    // Drops what the import left that nothing plays.
    void RemoveOrphanMenuBlocks();
    // Writes VIDEO_TS.VOB, .IFO and .BUP; answers the bytes written, 0 on
    // failure or cancel.
    uint64_t Write(CDvdLog& log, const char* pszFolder, bool bModifiedOnly,
                   const CDvdObjectArray<CVts>& titleSets, CDvdProgress* pProgress, bool bWriteIfo);

    bool Store(CDvdLog& log, CProjectWriter& writer, CDvdProgress* pProgress);
    bool Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress);

    uint32_t GetCategory() const { return m_nCategory; }
    void SetCategory(uint32_t nCategory) { m_nCategory = nCategory; }
    uint16_t GetVolumeCount() const { return m_nVolumes; }
    uint16_t GetVolumeNumber() const { return m_nVolumeNumber; }
    uint8_t GetSide() const { return m_nSide; }
    uint64_t GetPosCode() const { return m_nPosCode; }
    CParentalRecordArray& GetParentalRecords() { return m_parentalRecords; }
    const CParentalRecordArray& GetParentalRecords() const { return m_parentalRecords; }

private:
    uint32_t m_nCategory = 0; // region mask and category of VMGI_MAT
    CParentalRecordArray m_parentalRecords; // the VMG's own column
    uint16_t m_nVolumes = 1;
    uint16_t m_nVolumeNumber = 1;
    uint8_t m_nSide = 1;
    uint64_t m_nPosCode = 0; // VMGI_MAT bytes 0x60-0x67 as one big-endian number
};
