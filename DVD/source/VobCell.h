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
#include "DVD/source/button.h"
#include "Shared/source/DvdArray.h"

#include <functional>

class CAngleBlock;
class CDvdLog;
class CDvdProgress;
class CProjectReader;
class CProjectWriter;
class CVobData;
struct CClut;

// First and last sector (inclusive) of one piece of a cell.
struct CVobCellPiece
{
    DWORD m_dwFirstSector = 0;
    DWORD m_dwLastSector = 0;
};

// The picture a still ILVU shows: the video packs that follow one VOBU's NAV
// pack up to the end of its first reference picture.
class CStillSource
{
public:
    // Measures the picture of VOBU nVobu of the ILVU; a count of 0 when the
    // VOBU has none or its sectors cannot be read.
    CStillSource(const CVobCell& ilvu, uint32_t nVobu);
    CStillSource(const CStillSource& other);
    CStillSource& operator=(const CStillSource&) = delete;
    ~CStillSource();

    CVobData* GetVobData() const { return m_pVobData; }
    DWORD GetNavSector() const { return m_dwNavSector; }
    DWORD GetFirstRefEnd() const { return m_dwFirstRefEnd; }
    DWORD GetPictureSectorCount() const { return m_dwPictureSectors; }

    // The project record names the source VOB set by its index in the
    // domain's list of sets.
    bool Store(CDvdLog& log, CProjectWriter& writer, const CGrowArray<CVobData*>& sets) const;
    static CStillSource* Load(CDvdLog& log, CProjectReader& reader, const CGrowArray<CVobData*>& sets);

private:
    explicit CStillSource(CVobData* pVobData);

    CVobData* m_pVobData;
    DWORD m_dwNavSector = 0;
    DWORD m_dwFirstRefEnd = 0;
    DWORD m_dwPictureSectors = 0;
};

class CVobCell : public CDvdObject
{
public:
    // A cell of a source VOB set made from one C_ADT entry and the VOBUs of
    // its sector range (taken from the domain's VOBU address map). It reads
    // its first NAV pack and takes the user operations from it.
    CVobCell(CVobData* pVobData, const CCellAddress& address, const CVobuAddressList& vobus, CAngleBlock* pParent);
    ~CVobCell() override;
    static CVobCell* CopyConstruct(const CVobCell& source, CAngleBlock* pParent);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    bool IsModified() const override;
    void ClearModified() override;
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
    // Both mark the cell modified when the mask changes.
    bool ModifyUops(DWORD dwClear, DWORD dwSet);
    bool SetUops(DWORD dwMask);
    CVobData* GetVobData() const { return m_pVobData; }
    bool HasStillSource() const { return m_pStill != nullptr; }
    const CStillSource* GetStillSource() const { return m_pStill; }

    uint32_t GetVobuCount() const { return uint32_t(m_sourceVobus.GetSize()); }
    const CGrowArray<DWORD>& GetSourceVobus() const { return m_sourceVobus; }
    const CDvdPtrArray<CVobCellPiece>& GetSourcePieces() const { return m_sourcePieces; }
    // Source sectors of all pieces.
    uint32_t GetSectorCount() const;
    // Sectors of the output pieces of the last export.
    uint32_t GetExportedSectorCount() const;

    // ---- Navigation packs ------------------------------------------------------------
    // The PCI or DSI of VOBU nVobu read from the source; reading the first or
    // the last VOBU refreshes its cache. False when the VOBU does not exist
    // or its sector cannot be read.
    bool ReadNavPack(PciPacket& pci, uint32_t nVobu) const;
    bool ReadDsi(DsiPacket& dsi, uint32_t nVobu) const;
    // The packs of the first and last VOBU, read on first use.
    const PciPacket& GetFirstPci() const;
    const DsiPacket& GetFirstDsi() const;
    const PciPacket& GetLastPci() const;
    const DsiPacket& GetLastDsi() const;
    // The six SCR bytes of the first VOBU's pack header.
    const BYTE* GetFirstScrBytes() const;
    // Fill the caches with packs read from the source.
    void SetFirstNav(const PciPacket& pci, const DsiPacket& dsi, const BYTE* pScr);
    void SetLastNav(const PciPacket& pci, const DsiPacket& dsi);

    // The number of angles the first packs announce: the highest non-empty
    // NSML_AGLI entry, else the SML_AGLI count; 0 when neither has one.
    int GetAngleCount() const;
    // Whether the first packs carry any angle table, seamless or not: then
    // consecutive IFO cells are the angles of one block.
    bool AnnouncesAngles() const;
    // The ILVU flag of the first DSI, unless the last export wrote the cell
    // as a plain run.
    bool IsInterleaved() const;
    // The first pack's SCR as a 27 MHz count.
    uint64_t GetFirstScr() const;
    // 25 when the first PCI's cell elapsed time has the 25 fps rate bits,
    // else 30.
    int GetFrameRate() const;

    // ---- Sizes in bytes -----------------------------------------------------------
    // The bytes an export keeps with only the streams of the masks.
    uint64_t GetOutputSize(BYTE nKeptAudio, DWORD dwKeptSubpictures) const;
    // With the streams the block's PGCs can select.
    uint64_t GetEstimatedSize() const;
    uint64_t GetAudioStreamSize(int nStream, bool& bExact) const;
    uint64_t GetSubpictureStreamSize(int nStream, bool& bExact) const;

    // ---- Edit checks -------------------------------------------------------------------
    bool CanSplitAt(uint32_t nVobu) const;
    bool CanCutTo(uint32_t nVobu) const { return nVobu >= 1 && nVobu < GetVobuCount(); }
    bool CanCutFrom(uint32_t nVobu) const { return uint64_t(nVobu) + 1 < GetVobuCount(); }

    // ---- Cuts and stills -----------------------------------------------------------------
    // Each answers whether the ILVU changed; none sends a notice.
    // Keeps VOBUs 0..nVobu.
    bool CutFrom(uint32_t nVobu);
    // Keeps VOBUs 0..nVobu-1.
    bool CutBefore(uint32_t nVobu);
    // Keeps the first n VOBUs; nothing unless 0 < n < VOBU count.
    bool TruncateAt(uint32_t n);
    // Drops VOBUs 0..nVobu-1; nothing unless 0 < nVobu < VOBU count.
    bool CutTo(uint32_t nVobu);
    // Shows the picture of VOBU nVobu of the source ILVU (usually this one)
    // with one highlight over the whole cell. False for a stock cell, a
    // source of the other frame rate or a VOBU without a picture.
    bool ConvertToStillAt(const CVobCell& source, uint32_t nVobu);
    // The still of the centre of the segment with the most buttons; false
    // when the ILVU is a still already.
    bool ConvertToStill();
    // Source sectors the cuts removed at either end.
    DWORD GetSectorsCutAtStart() const { return m_dwCutAtStart; }
    DWORD GetSectorsCutAtEnd() const { return m_dwCutAtEnd; }

    // DVDDOMAIN_VMG_MENU, _TITLE or _VTS_MENU of the domain holding the
    // ILVU, DVDDOMAIN_ANY outside a domain owner.
    uint8_t GetDomain() const;
    // The colours of the first PGC that plays the block; all zero when none.
    void GetPalette(CClut& clut) const;

    // ---- Buttons -----------------------------------------------------------------------
    uint32_t GetSegmentCount() const { return m_segments.GetSize(); }
    CButtonSegment* GetSegment(uint32_t nIndex) const { return m_segments[nIndex]; }
    bool HasButtons() const;
    // Builds the button segments from the highlights of the VOBUs; false on
    // cancellation or when the highlights could not be read.
    bool ParseButtons(CDvdLog& log, bool bMenu, CDvdProgress* pProgress);
    // Gives a copy of every group command of every button to the operation;
    // with bWriteBack a command it changed (it answers true) replaces the
    // old one and marks the segment modified. True when any changed.
    bool ForEachButtonCommand(const std::function<bool(BYTE* pCommand)>& operation, bool bWriteBack);
    // Whether the test holds for any group command of any button.
    bool AnyButtonCommand(const std::function<bool(const BYTE* pCommand)>& test) const;
    // Some button command links, jumps or calls.
    bool HasNavigatingButtons() const;
    WORD GetUsedRegisters() const;
    DWORD GetUsedSystemRegisters() const;

    // ---- Output addresses, valid after an export -------------------------------
    const CGrowArray<DWORD>& GetOutputVobus() const { return m_outputVobus; }
    const CDvdPtrArray<CVobCellPiece>& GetOutputPieces() const { return m_outputPieces; }
    // Start and end PTM of each VOBU as written; empty before an export.
    const CGrowArray<DWORD>& GetOutputStartPtms() const { return m_outputStartPtms; }
    const CGrowArray<DWORD>& GetOutputEndPtms() const { return m_outputEndPtms; }
    // Sets the output tables of an export: one start sector, start PTM and
    // end PTM per VOBU, and one piece per source piece.
    void SetOutput(const CGrowArray<DWORD>& vobus, const CGrowArray<DWORD>& startPtms, const CGrowArray<DWORD>& endPtms,
                   const CDvdPtrArray<CVobCellPiece>& pieces);
    void SetPlainRun(bool bPlain) { m_bPlainRun = bPlain ? 1 : 0; }
    bool IsPlainRun() const { return m_bPlainRun != 0; }
    void SetPrecedesInterleaved(bool b) { m_bPrecedesInterleaved = b ? 1 : 0; }
    bool PrecedesInterleaved() const { return m_bPrecedesInterleaved != 0; }
    void SetPtmRange(DWORD dwStart, DWORD dwEnd)
    {
        m_dwCellStartPtm = dwStart;
        m_dwCellEndPtm = dwEnd;
    }
    DWORD GetCellStartPtm() const { return m_dwCellStartPtm; }
    DWORD GetCellEndPtm() const { return m_dwCellEndPtm; }
    // The largest still time of the PGC cells that play the block; any
    // value but 0 keeps the last highlight on to the end.
    void SetEndlessHighlight(BYTE nStillTime) { m_nEndlessHighlight = nStillTime; }
    bool HasEndlessHighlight() const { return m_nEndlessHighlight != 0; }

    DWORD GetFirstVobuSector() const;    // C_FVOBU_SA
    DWORD GetLastVobuSector() const;     // C_LVOBU_SA
    DWORD GetLastVobuEndSector() const;  // C_LVOBU_EA
    DWORD GetFirstIlvuEndSector() const; // C_FILVU_EA, 0 when not interleaved

    WORD GetThumbnailVobu() const { return m_wThumbnailVobu; }
    void SetThumbnailVobu(WORD wVobu) { m_wThumbnailVobu = wVobu; }

    // ---- Project record -----------------------------------------------------------------
    // Names the source VOB set by its index in the domain's list of sets.
    bool Store(CDvdLog& log, CProjectWriter& writer, const CGrowArray<CVobData*>& sets) const;
    // A new ILVU from the stream, or none after a report. Older records are
    // completed from the navigation packs of the source.
    static CVobCell* Load(CDvdLog& log, CProjectReader& reader, const CGrowArray<CVobData*>& sets,
                          CAngleBlock* pParent);

private:
    // An empty ILVU of a source VOB set, for the project record to fill.
    CVobCell(CVobData* pVobData, CAngleBlock* pParent);
    CVobCell(const CVobCell& source, CAngleBlock* pParent);
    CVobCell& operator=(const CVobCell&) = delete;

    // Reads VOBU nVobu's NAV pack sector; refreshes a cache it belongs to.
    bool ReadNavSector(uint32_t nVobu, BYTE* pSector) const;

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
    CButtonSegmentArray m_segments;
    CStillSource* m_pStill = nullptr;
    WORD m_wThumbnailVobu = 0;
    // The caches fill on first use, so const readers may fill them.
    mutable BYTE m_bFirstNavValid = 0;
    mutable PciPacket m_firstPci;
    mutable DsiPacket m_firstDsi;
    mutable BYTE m_firstScr[6] = {};
    mutable BYTE m_bLastNavValid = 0;
    mutable PciPacket m_lastPci;
    mutable DsiPacket m_lastDsi;
};

// Index of the last VOBU of the ILVU that starts at or before the byte
// offset of the source file set: -1 before VOBU 0, the last VOBU beyond it.
int FindVobuAtOffset(const CVobCell& ilvu, uint64_t nOffset);

// A 33-bit PTS or DTS of five bytes with marker bits, its low 32 bits.
DWORD DecodePts(const BYTE* p);
// Rewrites the value of such a field, keeping the prefix of the first byte.
void EncodePts(BYTE* p, uint64_t nPts);
