#include "DVD/source/Menu.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/Validator.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"

#include <algorithm>
#include <map>
#include <vector>

namespace
{

// How many times the bytes of a unit table the copies of shared PGC tables
// may hold.
const size_t SHARED_TABLE_ALLOWANCE = 16;

const size_t UNIT_TABLE_HEADER_SIZE = 8;
const size_t UNIT_ENTRY_SIZE = 8;

} // namespace

// ---- CLanguageUnit -----------------------------------------------------------------

CLanguageUnit::CLanguageUnit(WORD wLanguage, CLanguageUnits* pParent)
    : CPgcTable(DVDNODE_LANGUAGE_UNIT, 1, pParent), m_wLanguage(wLanguage)
{
}

CLanguageUnit::CLanguageUnit(const CLanguageUnit& src, const CBlockMap* pBlockMap, CLanguageUnits* pParent)
    : CPgcTable(src, pBlockMap, pParent), m_wLanguage(src.m_wLanguage)
{
}

void CLanguageUnit::CopyFrom(const CLanguageUnit& src, const CBlockMap* pBlockMap)
{
    if (&src == this)
        return;
    m_wLanguage = src.m_wLanguage;
    Assign(src, pBlockMap);
}

BYTE CLanguageUnit::GetMenuExistence() const
{
    BYTE nExistence = 0;
    for (uint32_t i = 0; i < GetPgcCount(); ++i)
    {
        switch (GetPgc(i)->GetMenuType())
        {
        case 2: nExistence = 0x80; break;
        case 3: nExistence |= 0x80; break;
        case 4: nExistence |= 0x40; break;
        case 5: nExistence |= 0x20; break;
        case 6: nExistence |= 0x10; break;
        case 7: nExistence |= 0x08; break;
        default: break;
        }
    }
    return nExistence;
}

void CLanguageUnit::ConvertMenusToStill()
{
    for (uint32_t p = 0; p < GetPgcCount(); ++p)
    {
        CPgc* pPgc = GetPgc(p);
        if (pPgc->GetMaxAngleCount() != 1)
            continue;
        for (uint32_t c = 0; c < pPgc->GetCellCount(); ++c)
        {
            CPgcCell* pCell = pPgc->GetCell(c);
            CAngleBlock* pBlock = pCell->GetBlock();
            if (pBlock && pBlock->HasButtons())
            {
                // A block several cells play is turned into a still once.
                CVobCell* pIlvu = pBlock->GetIlvu(0);
                if (pIlvu && !pIlvu->HasStillSource())
                    pIlvu->ConvertToStill();
            }
            else
                pCell->SetBlock(nullptr, false, true);
        }
    }
}

void CLanguageUnit::HideMenuTransitions()
{
    for (uint32_t p = 0; p < GetPgcCount(); ++p)
    {
        CPgc* pPgc = GetPgc(p);
        if (pPgc->GetMaxAngleCount() != 1)
            continue;
        // Collected first: blanking a cell changes the blocks the others see.
        std::vector<CPgcCell*> transitions;
        for (uint32_t c = 0; c < pPgc->GetCellCount(); ++c)
        {
            CPgcCell* pCell = pPgc->GetCell(c);
            const CVobCell* pIlvu = pCell->GetIlvu(0);
            if (pIlvu && pIlvu->GetSegmentCount() == 1 && pIlvu->GetSegment(0)->GetButtonCount() == 0)
                transitions.push_back(pCell);
        }
        for (CPgcCell* pCell : transitions)
            pCell->SetBlock(nullptr, false, true);
    }
}

// ---- CLanguageUnits ----------------------------------------------------------------

CLanguageUnits::CLanguageUnits(CDvdObject* pParent) : CDvdObject(DVDNODE_LANGUAGE_UNITS, pParent)
{
}

int CLanguageUnits::GetChildIndex(const CDvdObject* pChild) const
{
    const CDvdObject* pNode = pChild ? pChild->Self() : nullptr;
    for (uint32_t i = 0; i < m_units.GetSize(); ++i)
        if (m_units[i] == pNode)
            return int(i);
    return -1;
}

bool CLanguageUnits::IsModified() const
{
    if (CDvdObject::IsModified())
        return true;
    for (uint32_t i = 0; i < m_units.GetSize(); ++i)
        if (m_units[i]->IsModified())
            return true;
    return false;
}

void CLanguageUnits::ClearModified()
{
    CDvdObject::ClearModified();
    for (uint32_t i = 0; i < m_units.GetSize(); ++i)
        m_units[i]->ClearModified();
}

bool CLanguageUnits::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    for (uint32_t i = 0; i < m_units.GetSize(); ++i)
        bReported = m_units[i]->Validate(validator, messages) || bReported;
    return bReported;
}

void CLanguageUnits::Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b)
{
    if (nCode == DVDNOTICE_CLEAR_MARKS)
        SetFlags(GetFlags() & ~DVDFLAG_MARK);
    for (uint32_t i = 0; i < m_units.GetSize(); ++i)
        m_units[i]->Notify(pSender, nCode, a, b);
}

CLanguageUnit* CLanguageUnits::AddUnit()
{
    CLanguageUnit* pUnit = new CLanguageUnit(0, this);
    m_units.Add(pUnit);
    return pUnit;
}

bool CLanguageUnits::RetargetReferences(int nKind, int nStart, int nDelta, int nLimit)
{
    bool bChanged = false;
    for (uint32_t i = 0; i < m_units.GetSize(); ++i)
        bChanged = RetargetPgcTableReferences(*m_units[i], nKind, nStart, nDelta, nLimit) || bChanged;
    return bChanged;
}

WORD CLanguageUnits::GetUsedRegisters() const
{
    WORD wRegisters = 0;
    for (uint32_t i = 0; i < m_units.GetSize(); ++i)
        for (uint32_t p = 0; p < m_units[i]->GetPgcCount(); ++p)
            wRegisters |= m_units[i]->GetPgc(p)->GetGeneralRegisters();
    return wRegisters;
}

void CLanguageUnits::DisableAudioStream(BYTE nStream)
{
    for (uint32_t i = 0; i < m_units.GetSize(); ++i)
        m_units[i]->DisableAudioStream(nStream);
}

void CLanguageUnits::DisableSubpictureStream(BYTE nStream)
{
    for (uint32_t i = 0; i < m_units.GetSize(); ++i)
        m_units[i]->DisableSubpictureStream(nStream);
}

bool CLanguageUnits::ReadIfo(CDvdLog& log, CAngleBlockList* pDomain, const CIfoView& bytes)
{
    WORD nCount = 0;
    if (!bytes.Get16(0, nCount))
    {
        log.ReportError("Language unit table is cut short", DVD_LOCATION);
        return false;
    }
    // Units may name the PGC table of an earlier unit; each such table is
    // read once and its units get copies of it. The copies together may hold
    // 16 times the bytes of the table area, room for every language of a
    // disc whose menus are the same in all; beyond that a unit is dropped, so
    // that many units naming one large table cannot make the reader allocate
    // without bound.
    std::map<DWORD, CLanguageUnit*> tables;
    size_t nCopied = 0;
    for (WORD i = 0; i < nCount; ++i)
    {
        const size_t nEntry = UNIT_TABLE_HEADER_SIZE + UNIT_ENTRY_SIZE * i;
        BYTE code[2] = {};
        DWORD dwOffset = 0;
        const bool bEntry = bytes.GetBytes(nEntry, code, 2) && bytes.Get32(nEntry + 4, dwOffset);
        const auto known = bEntry ? tables.find(dwOffset) : tables.end();
        if (known != tables.end())
        {
            const size_t nSize = known->second->GetIfoSize();
            const size_t nAllowance = SHARED_TABLE_ALLOWANCE * bytes.GetSize();
            if (nSize > nAllowance - std::min(nCopied, nAllowance))
            {
                log.ReportWarning(
                    FormatString("Language unit %d repeats the menus of another unit and is dropped", i + 1),
                    DVD_LOCATION);
                continue;
            }
            nCopied += nSize;
            CLanguageUnit* pCopy = new CLanguageUnit(*known->second, nullptr, this);
            pCopy->SetLanguageBytes(code);
            m_units.Add(pCopy);
            continue;
        }
        CLanguageUnit* pUnit = new CLanguageUnit(0, this);
        pUnit->SetLanguageBytes(code);
        m_units.Add(pUnit);
        if (!pUnit->ReadIfo(log, pDomain, bEntry ? bytes.From(dwOffset) : CIfoView()))
        {
            log.ReportInfo(FormatString("Can't read LU (%d)", i + 1), DVD_LOCATION);
            return false;
        }
        if (bEntry)
            tables[dwOffset] = pUnit;
    }
    return true;
}

size_t CLanguageUnits::GetIfoSize() const
{
    size_t nSize = UNIT_TABLE_HEADER_SIZE;
    for (uint32_t i = 0; i < m_units.GetSize(); ++i)
        nSize += UNIT_ENTRY_SIZE + m_units[i]->GetIfoSize();
    return nSize;
}

bool CLanguageUnits::WriteIfo(CDvdLog& log, BYTE* pDest) const
{
    const uint32_t nCount = m_units.GetSize();
    PutBE16(pDest, WORD(nCount));
    size_t nOffset = UNIT_TABLE_HEADER_SIZE + UNIT_ENTRY_SIZE * nCount;
    for (uint32_t i = 0; i < nCount; ++i)
    {
        const CLanguageUnit* pUnit = m_units[i];
        BYTE* pEntry = pDest + UNIT_TABLE_HEADER_SIZE + UNIT_ENTRY_SIZE * i;
        pUnit->GetLanguageBytes(pEntry);
        pEntry[3] = pUnit->GetMenuExistence();
        PutBE32(pEntry + 4, DWORD(nOffset));
        if (!pUnit->WriteIfo(log, pDest + nOffset))
            return false;
        nOffset += pUnit->GetIfoSize();
    }
    PutBE32(pDest + 4, DWORD(nOffset - 1));
    if (nOffset != GetIfoSize())
    {
        log.ReportError("LUs: Incorrect footprint", DVD_LOCATION);
        return false;
    }
    return true;
}

void CLanguageUnits::Assign(const CLanguageUnits& src, const CBlockMap* pBlockMap)
{
    if (&src == this)
        return;
    SetModified();
    m_units.RemoveAll();
    for (uint32_t i = 0; i < src.m_units.GetSize(); ++i)
        m_units.Add(new CLanguageUnit(*src.m_units[i], pBlockMap, this));
    CDvdObject::operator=(src);
}
