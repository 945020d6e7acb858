#include "DVD/source/VobCell.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/Validator.h"

namespace
{

// The VOBUs of the map that start inside [first, last], appended to both
// tables.
void AppendVobusInRange(const CVobuAddressList& vobus, DWORD dwFirst, DWORD dwLast, CGrowArray<DWORD>& source,
                        CGrowArray<DWORD>& output)
{
    for (int32_t i = 0; i < vobus.GetSize(); ++i)
    {
        if (vobus[i] >= dwFirst && vobus[i] <= dwLast)
        {
            source.Add(vobus[i]);
            output.Add(vobus[i]);
        }
    }
}

// A fresh cache plays at 25 fps until a real pack is read.
void ResetNav(PciPacket& pci, DsiPacket& dsi)
{
    pci = PciPacket();
    dsi = DsiPacket();
    CDvdTime rate;
    rate.frames = DVDTIME_RATE_25;
    pci.SetCEltm(rate);
}

} // namespace

CVobCell::CVobCell(CVobData* pVobData, const CCellAddress& address, const CVobuAddressList& vobus,
                   CAngleBlock* pParent)
    : CDvdObject(DVDNODE_VOB_CELL, pParent), m_wVobId(address.m_wVobId), m_nCellId(address.m_nCellId),
      m_pVobData(pVobData)
{
    ResetNav(m_firstPci, m_firstDsi);
    ResetNav(m_lastPci, m_lastDsi);
    AddPiece(address, vobus);
}

CVobCell::~CVobCell() = default;

bool CVobCell::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    return validator.Check(CDvdReference(this, 0, 0), messages);
}

void CVobCell::Invalidate()
{
    m_bFirstNavValid = 0;
    m_bLastNavValid = 0;
}

void CVobCell::AddPiece(const CCellAddress& address, const CVobuAddressList& vobus)
{
    CVobCellPiece piece;
    piece.m_dwFirstSector = address.m_dwFirstSector;
    piece.m_dwLastSector = address.m_dwLastSector;
    m_sourcePieces.Add(new CVobCellPiece(piece));
    m_outputPieces.Add(new CVobCellPiece(piece));
    AppendVobusInRange(vobus, address.m_dwFirstSector, address.m_dwLastSector, m_sourceVobus, m_outputVobus);
}

void CVobCell::SetIds(WORD wVobId, BYTE nCellId)
{
    if (wVobId != m_wVobId || nCellId != m_nCellId)
    {
        m_wVobId = wVobId;
        m_nCellId = nCellId;
        SetModified();
    }
}

void CVobCell::SetFirstNav(const PciPacket& pci, const DsiPacket& dsi, const BYTE* pScr)
{
    m_firstPci = pci;
    m_firstDsi = dsi;
    if (pScr)
        memcpy(m_firstScr, pScr, sizeof(m_firstScr));
    m_bFirstNavValid = 1;
}

void CVobCell::SetLastNav(const PciPacket& pci, const DsiPacket& dsi)
{
    m_lastPci = pci;
    m_lastDsi = dsi;
    m_bLastNavValid = 1;
}

int CVobCell::GetAngleCount() const
{
    for (int i = NSML_AGLI_COUNT - 1; i >= 0; --i)
        if (!m_firstPci.IsNsmlAgliEmpty(i))
            return i + 1;
    return GetSmlAngleCount(m_firstDsi);
}

bool CVobCell::IsInterleaved() const
{
    return !m_bPlainRun && m_firstDsi.IsIlvu();
}

uint64_t CVobCell::GetFirstScr() const
{
    return DecodeScr(m_firstScr) * 300 + DecodeScrExtension(m_firstScr);
}

int CVobCell::GetFrameRate() const
{
    return (m_firstPci.GetCEltm().frames & DVDTIME_RATE_MASK) == DVDTIME_RATE_25 ? 25 : 30;
}

void CVobCell::SetOutput(const CGrowArray<DWORD>& vobus, const CGrowArray<DWORD>& startPtms,
                         const CGrowArray<DWORD>& endPtms, const CDvdPtrArray<CVobCellPiece>& pieces)
{
    m_outputVobus = vobus;
    m_outputStartPtms = startPtms;
    m_outputEndPtms = endPtms;
    m_outputPieces.RemoveAll();
    for (uint32_t i = 0; i < pieces.GetSize(); ++i)
        m_outputPieces.Add(new CVobCellPiece(*pieces[i]));
}

DWORD CVobCell::GetFirstVobuSector() const
{
    return m_outputVobus.GetSize() > 0 ? m_outputVobus[0] : 0;
}

DWORD CVobCell::GetLastVobuSector() const
{
    return m_outputVobus.GetSize() > 0 ? m_outputVobus[m_outputVobus.GetSize() - 1] : 0;
}

DWORD CVobCell::GetLastVobuEndSector() const
{
    return m_outputPieces.GetSize() > 0 ? m_outputPieces[m_outputPieces.GetSize() - 1]->m_dwLastSector : 0;
}

DWORD CVobCell::GetFirstIlvuEndSector() const
{
    if (!IsInterleaved() || m_outputPieces.GetSize() == 0)
        return 0;
    return m_outputPieces[0]->m_dwLastSector;
}
