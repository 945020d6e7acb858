// One Video Title Set node: what VTS_nn_0.IFO and the title set's VOB files
// describe. The disc root owns the title sets, numbered from 1 in its array.
//
// The node holds the VTS category and the title set's column of the parental
// management table. The title and menu domains, the titles, the title PGC
// table and the menu language units join it with the classes that model
// them.
#pragma once

#include "DVD/source/DvdObject.h"
#include "DVD/source/VMG.h"

#include <cstdint>

class CDvdLog;
class CDvdProgress;
class CProjectReader;
class CProjectWriter;

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
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override;
    void Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b) override;

    // Back to an empty title set, marked modified. The parental records stay.
    void Clear();

    // Reads VTS_nn_0.IFO of the folder (which ends with a separator) for
    // title set nNumber, with the title set's column of the parental table.
    bool ReadIfo(CDvdLog& log, const CParentalRecordArray& parentalRecords, const char* pszFolder,
                 uint8_t nNumber, CDvdProgress* pProgress);
    // Drops what the import left that nothing plays.
    void RemoveOrphanMenuBlocks();
    void RemoveOrphanTitleBlocks();
    // Writes the title set's VOB, IFO and BUP files; answers the bytes
    // written, 0 on failure or cancel.
    uint64_t Write(CDvdLog& log, const char* pszFolder, bool bModifiedOnly, uint8_t nNumber,
                   CDvdProgress* pProgress, bool bWriteIfo);

    bool Store(CDvdLog& log, CProjectWriter& writer);
    bool Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress);

    uint32_t GetCategory() const { return m_nCategory; }
    void SetCategory(uint32_t nCategory) { m_nCategory = nCategory; }
    CParentalRecordArray& GetParentalRecords() { return m_parentalRecords; }
    const CParentalRecordArray& GetParentalRecords() const { return m_parentalRecords; }

private:
    uint32_t m_nCategory = 0; // as read from VTSI_MAT; written back there and into VTS_ATRT
    CParentalRecordArray m_parentalRecords; // this title set's masks, one record per country
};
