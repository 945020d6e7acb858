// The menus of a domain grouped by language: each language unit holds the
// menu PGCs for one menu language. In the IFO the units form the PGCI unit
// table (VMGM_PGCI_UT or VTSM_PGCI_UT).
#pragma once

#include "DVD/source/DvdObject.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/PgcTable.h"
#include "Shared/source/DvdArray.h"

class CAngleBlockList;
class CBlockMap;
class CDvdLog;
class CDvdProgress;
class CLanguageUnits;
class CProjectReader;
class CProjectWriter;

class CLanguageUnit : public CPgcTable
{
public:
    // wLanguage holds the two characters of the code, first character first
    // in memory.
    CLanguageUnit(WORD wLanguage, CLanguageUnits* pParent);
    CLanguageUnit(const CLanguageUnit& src, const CBlockMap* pBlockMap, CLanguageUnits* pParent);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }

    WORD GetLanguageCode() const { return m_wLanguage; }
    void SetLanguageCode(WORD wLanguage) { m_wLanguage = wLanguage; }
    // The two code bytes as they lie in the IFO.
    void GetLanguageBytes(BYTE* pBytes) const { memcpy(pBytes, &m_wLanguage, 2); }
    void SetLanguageBytes(const BYTE* pBytes) { memcpy(&m_wLanguage, pBytes, 2); }

    void CopyFrom(const CLanguageUnit& src, const CBlockMap* pBlockMap);
    // The menu existence flags of the unit's entry in the unit table.
    BYTE GetMenuExistence() const;

    // In the PGCs of one angle: cells whose block has buttons become stills
    // of their first picture, the others play blank blocks of their own.
    void ConvertMenusToStill();
    // In the PGCs of one angle: cells whose ILVU has one button segment
    // without buttons play blank blocks of their own.
    void HideMenuTransitions();

private:
    WORD m_wLanguage;
};

class CLanguageUnits : public CDvdObject
{
public:
    explicit CLanguageUnits(CDvdObject* pParent);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    int GetChildIndex(const CDvdObject* pChild) const override;
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}
    void Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b) override;

    uint32_t GetUnitCount() const { return m_units.GetSize(); }
    CLanguageUnit* GetUnit(uint32_t nIndex) const { return m_units[nIndex]; }
    CLanguageUnit* AddUnit();
    // Deletes every unit.
    void RemoveAll() { m_units.RemoveAll(); }
    // Deletes one unit; the later ones move down by one.
    void RemoveUnit(uint32_t nIndex) { m_units.RemoveAt(nIndex); }

    // Every unit in order; true when anything changed.
    bool RetargetReferences(int nKind, int nStart, int nDelta, int nLimit);
    // The general registers the units' commands use.
    WORD GetUsedRegisters() const;
    void DisableAudioStream(BYTE nStream);
    void DisableSubpictureStream(BYTE nStream);

    // The menu domain whose blocks the units' PGCs play; the VMG or title
    // set that owns the units gives it.
    CAngleBlockList* GetDomain() const { return m_pDomain; }
    void SetDomain(CAngleBlockList* pDomain) { m_pDomain = pDomain; }

    // Appends the units of the table. A unit whose PGCIT does not lie inside
    // the bytes fails like a PGCIT that cannot be read.
    bool ReadIfo(CDvdLog& log, CAngleBlockList* pDomain, const CIfoView& bytes);
    // Writes GetIfoSize bytes at pDest (zeroed by the caller).
    bool WriteIfo(CDvdLog& log, BYTE* pDest) const;
    size_t GetIfoSize() const;

    // The project record: each unit's code and PGC table, whose cells name
    // their blocks by their numbers in the index.
    bool Store(CDvdLog& log, CProjectWriter& writer, const CBlockIndex& blocks) const;
    bool Load(CDvdLog& log, CProjectReader& reader, const CBlockIndex& blocks, CDvdProgress* pProgress);

    // Copies the units, their PGCs playing the blocks the map gives, and
    // the flags and identity of the source.
    void Assign(const CLanguageUnits& src, const CBlockMap* pBlockMap);

private:
    CDvdObjectArray<CLanguageUnit> m_units;
    CAngleBlockList* m_pDomain = nullptr;
};
