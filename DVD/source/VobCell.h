// One cell of VOB content as stored on the source disc, an interleaved unit
// (ILVU) in the editor's words: the VOBUs of a source VOB set that make up
// one angle of a block, the sector ranges they occupy, and after an export
// where they landed in the new VOB files. It caches the navigation packs of
// its first and last VOBU, which the PGC layer consults constantly.
#pragma once

#include "DVD/source/CellAddress.h"
#include "DVD/source/DvdObject.h"
#include "DVD/source/DVDTypes.h"
#include "DVD/source/NavPack.h"
#include "Shared/source/DvdArray.h"

class CAngleBlock;
class CStillSource;
class CVobData;

// First and last sector (inclusive) of one piece of a cell.
struct CVobCellPiece
{
    DWORD m_dwFirstSector = 0;
    DWORD m_dwLastSector = 0;
};

class CVobCell : public CDvdObject
{
public:
    // A cell of a source VOB set made from one C_ADT entry and the VOBUs of
    // its sector range (taken from the domain's VOBU address map).
    CVobCell(CVobData* pVobData, const CCellAddress& address, const CVobuAddressList& vobus,
             CAngleBlock* pParent);
    ~CVobCell() override;

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    // Drops both navigation-pack caches.
    void Invalidate() override;

    // Appends one more piece (an interleaved cell has one per C_ADT entry)
    // with the VOBUs that start inside it, to the source and output tables.
    void AddPiece(const CCellAddress& address, const CVobuAddressList& vobus);

    WORD GetVobId() const { return m_wVobId; }
    BYTE GetCellId() const { return m_nCellId; }
    // Marks the cell modified when an id changes.
    void SetIds(WORD wVobId, BYTE nCellId);

    // Cells of the stock table are the blank cells that stand in for hidden
    // or missing content.
    bool IsStock() const { return m_bStock != 0; }
    void SetStock(bool bStock) { m_bStock = bStock ? 1 : 0; }
    bool IsBlank() const { return IsStock(); }

    const CUopMask& GetUopMask() const { return m_uops; }
    CVobData* GetVobData() const { return m_pVobData; }
    bool HasStillSource() const { return m_pStill != nullptr; }

    uint32_t GetVobuCount() const { return uint32_t(m_sourceVobus.GetSize()); }
    const CGrowArray<DWORD>& GetSourceVobus() const { return m_sourceVobus; }
    const CDvdPtrArray<CVobCellPiece>& GetSourcePieces() const { return m_sourcePieces; }

    // ---- Navigation packs of the first and last VOBU --------------------------
    const PciPacket& GetFirstPci() const { return m_firstPci; }
    const DsiPacket& GetFirstDsi() const { return m_firstDsi; }
    const PciPacket& GetLastPci() const { return m_lastPci; }
    const DsiPacket& GetLastDsi() const { return m_lastDsi; }
    // The six SCR bytes of the first VOBU's pack header.
    const BYTE* GetFirstScrBytes() const { return m_firstScr; }
    // Fill the caches with packs read from the source.
    void SetFirstNav(const PciPacket& pci, const DsiPacket& dsi, const BYTE* pScr);
    void SetLastNav(const PciPacket& pci, const DsiPacket& dsi);

    // The number of angles the first packs announce: the highest non-empty
    // NSML_AGLI entry, else the SML_AGLI count; 0 when neither has one.
    int GetAngleCount() const;
    // The ILVU flag of the first DSI, unless the last export wrote the cell
    // as a plain run.
    bool IsInterleaved() const;
    // The first pack's SCR as a 27 MHz count.
    uint64_t GetFirstScr() const;
    // 25 when the first PCI's cell elapsed time has the 25 fps rate bits,
    // else 30.
    int GetFrameRate() const;

    // ---- Output addresses, valid after an export -------------------------------
    const CGrowArray<DWORD>& GetOutputVobus() const { return m_outputVobus; }
    // Start and end PTM of each VOBU as written; empty before an export.
    const CGrowArray<DWORD>& GetOutputStartPtms() const { return m_outputStartPtms; }
    const CGrowArray<DWORD>& GetOutputEndPtms() const { return m_outputEndPtms; }
    // Sets the output tables of an export: one start sector, start PTM and
    // end PTM per VOBU, and one piece per source piece.
    void SetOutput(const CGrowArray<DWORD>& vobus, const CGrowArray<DWORD>& startPtms,
                   const CGrowArray<DWORD>& endPtms, const CDvdPtrArray<CVobCellPiece>& pieces);
    void SetPlainRun(bool bPlain) { m_bPlainRun = bPlain ? 1 : 0; }

    DWORD GetFirstVobuSector() const;     // C_FVOBU_SA
    DWORD GetLastVobuSector() const;      // C_LVOBU_SA
    DWORD GetLastVobuEndSector() const;   // C_LVOBU_EA
    DWORD GetFirstIlvuEndSector() const;  // C_FILVU_EA, 0 when not interleaved

private:
    DWORD m_dwCutAtEnd = 0;
    DWORD m_dwCutAtStart = 0;
    WORD m_wVobId = 0;
    BYTE m_nCellId = 0;
    BYTE m_bStock = 0;
    CUopMask m_uops;
    CGrowArray<DWORD> m_sourceVobus;
    CDvdPtrArray<CVobCellPiece> m_sourcePieces;
    CGrowArray<DWORD> m_outputVobus;
    CDvdPtrArray<CVobCellPiece> m_outputPieces;
    CGrowArray<DWORD> m_outputStartPtms;
    CGrowArray<DWORD> m_outputEndPtms;
    BYTE m_bPlainRun = 0;
    BYTE m_bPrecedesInterleaved = 0;
    DWORD m_dwCellStartPtm = 0;
    DWORD m_dwCellEndPtm = 0;
    BYTE m_nEndlessHighlight = 0;
    CVobData* m_pVobData = nullptr;
    WORD m_wSerial = 0;
    CStillSource* m_pStill = nullptr;
    WORD m_wThumbnailVobu = 0;
    BYTE m_bFirstNavValid = 0;
    PciPacket m_firstPci;
    DsiPacket m_firstDsi;
    BYTE m_firstScr[6] = {};
    BYTE m_bLastNavValid = 0;
    PciPacket m_lastPci;
    DsiPacket m_lastDsi;
};
