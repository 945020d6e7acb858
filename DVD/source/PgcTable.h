// A table of program chains: the title PGCs of a title set (VTS_PGCIT) or
// the menu PGCs of one language unit. Also the time map table (VTS_TMAPTI)
// that the title set's writer builds from its title PGCs.
#pragma once

#include "DVD/source/DvdObject.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/PGC.h"
#include "Shared/source/DvdArray.h"

class CAngleBlockList;
class CBlockMap;
class CDvdLog;
class CDvdProgress;
class CProjectReader;
class CProjectWriter;
class CVtsTitles;

class CPgcTable : public CDvdObject
{
public:
    CPgcTable(BYTE nMenu, CDvdObject* pParent);
    CPgcTable(const CPgcTable& src, const CBlockMap* pBlockMap, CDvdObject* pParent);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    int GetChildIndex(const CDvdObject* pChild) const override;
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}
    void Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b) override;
    unsigned GetChildCount() const override { return m_pgcs.GetSize(); }
    CDvdObject* GetChild(unsigned nIndex) const override { return m_pgcs[nIndex]; }
    CString GetChildName(unsigned nIndex) const override;

    BYTE GetMenuFlag() const { return m_nMenu; }
    uint32_t GetPgcCount() const { return m_pgcs.GetSize(); }
    CPgc* GetPgc(uint32_t nIndex) const { return m_pgcs[nIndex]; }
    // Appends a PGC (taking ownership); answers its index.
    uint32_t AddPgc(CPgc* pPgc);

    void Assign(const CPgcTable& src, const CBlockMap* pBlockMap);
    void AddCopy(const CPgc& pgc, const CBlockMap* pBlockMap);
    // Deletes every PGC.
    void RemoveAll();

    // The domain whose blocks the PGCs play, and for a title table the
    // titles whose chapters name its PGCs. The title set or VMG that owns
    // the table gives both; a language unit takes its domain from its list.
    CAngleBlockList* GetDomain() const;
    void SetDomain(CAngleBlockList* pDomain) { m_pDomain = pDomain; }
    const CVtsTitles* GetTitles() const { return m_pTitles; }
    void SetTitles(const CVtsTitles* pTitles) { m_pTitles = pTitles; }
    // 2 for a title table; 4 or 8 for a language unit of the VMG or a VTS.
    uint8_t GetTableDomainCode() const;

    // The previous holder of the menu type, or none.
    CPgc* SetMenuType(CPgc* pPgc, BYTE nType);
    CPgc* FindMenu(BYTE nType) const;
    // Stream n is no longer selectable: its control entry of every PGC is
    // cleared.
    void DisableAudioStream(BYTE nStream);
    void DisableSubpictureStream(BYTE nStream);
    void GetPgcsOfTitle(uint32_t nTitle, CGrowArray<WORD>& indices) const;
    bool IsSinglePgcTitle(uint32_t nTitle) const;

    // ---- Project record and whole-table operations ----------------------------
    bool Store(CDvdLog& log, CProjectWriter& writer, const CBlockIndex& blocks) const;
    bool Load(CDvdLog& log, CProjectReader& reader, const CBlockIndex& blocks, CDvdProgress* pProgress);
    // The distinct blocks the cells of all PGCs play, in order of first use.
    void GetUsedBlocks(CBlockIndex& blocks) const;
    // The editor's "Hide all blocks" and "Restore all blocks" on the PGCs of
    // the table: each hidden cell gets a block of its own, so the PGCs of
    // other tables that shared its block still play it.
    void HideAllBlocks();
    void RestoreAllBlocks();
    bool CanRestoreBlocks() const;
    void SetUops(DWORD dwMask);
    void ModifyUops(DWORD dwClear, DWORD dwSet);
    void RemoveParentalManagement();
    WORD GetGeneralRegisters() const;

    // ---- IFO form (PGCIT) ---------------------------------------------------------
    bool ReadIfo(CDvdLog& log, CAngleBlockList* pDomain, const CIfoView& bytes);
    bool WriteIfo(CDvdLog& log, BYTE* pDest) const;
    size_t GetIfoSize() const;

    // ---- Time map table (VTS_TMAPTI) ------------------------------------------------
    // False when the user cancelled or a map failed.
    bool CreateTimeMap(CDvdLog& log, BYTE* pDest, CDvdProgress* pProgress) const;
    size_t GetTimeMapSize() const;

protected:
    // For a language unit: the same table under another node kind.
    CPgcTable(uint8_t nKind, BYTE nMenu, CDvdObject* pParent);

private:
    BYTE m_nMenu;
    CDvdObjectArray<CPgc> m_pgcs;
    CAngleBlockList* m_pDomain = nullptr;
    const CVtsTitles* m_pTitles = nullptr;
};
