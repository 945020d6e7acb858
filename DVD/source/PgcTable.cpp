#include "DVD/source/PgcTable.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/Menu.h"
#include "DVD/source/Validator.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/title.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

namespace
{

const size_t PGCIT_HEADER_SIZE = 8;
const size_t SEARCH_POINTER_SIZE = 8;
const size_t TMAPTI_HEADER_SIZE = 8;
const size_t TMAP_HEADER_SIZE = 4;

const int64_t TICKS_PER_SECOND = 90000;
// The map of one PGC holds at most this many entries.
const int64_t MAX_TIME_MAP_ENTRIES = 2048;
const DWORD TIME_MAP_DISCONTINUITY = 0x80000000;

struct TimeMapPlan
{
    uint32_t nEntries = 0;
    BYTE nUnit = 0; // seconds per entry
};

} // namespace

// ---- CPgcTable -------------------------------------------------------------------------

CPgcTable::CPgcTable(BYTE nMenu, CDvdObject* pParent) : CDvdObject(DVDNODE_PGC_TABLE, pParent), m_nMenu(nMenu)
{
}

CPgcTable::CPgcTable(uint8_t nKind, BYTE nMenu, CDvdObject* pParent) : CDvdObject(nKind, pParent), m_nMenu(nMenu)
{
}

CPgcTable::CPgcTable(const CPgcTable& src, const CBlockMap* pBlockMap, CDvdObject* pParent)
    : CDvdObject(src, pParent), m_nMenu(src.m_nMenu)
{
    Assign(src, pBlockMap);
}

int CPgcTable::GetChildIndex(const CDvdObject* pChild) const
{
    const CDvdObject* pNode = pChild ? pChild->Self() : nullptr;
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        if (m_pgcs[i] == pNode)
            return int(i);
    return -1;
}

bool CPgcTable::IsModified() const
{
    if (CDvdObject::IsModified())
        return true;
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        if (m_pgcs[i]->IsModified())
            return true;
    return false;
}

void CPgcTable::ClearModified()
{
    CDvdObject::ClearModified();
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        m_pgcs[i]->ClearModified();
}

bool CPgcTable::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        bReported = m_pgcs[i]->Validate(validator, messages) || bReported;
    return bReported;
}

void CPgcTable::Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b)
{
    if (nCode == DVDNOTICE_CLEAR_MARKS)
        SetFlags(GetFlags() & ~DVDFLAG_MARK);
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        m_pgcs[i]->Notify(pSender, nCode, a, b);
}

CString CPgcTable::GetChildName(unsigned nIndex) const
{
    CString strName = FormatString("PGC %u", nIndex + 1);
    const CPgc* pPgc = m_pgcs[nIndex];
    if (!pPgc)
        return strName;
    if (pPgc->m_nMenu)
    {
        const char* pszLabel = CPgc::GetMenuTypeLabel(pPgc->GetMenuType());
        if (*pszLabel)
            strName += FormatString(" (%s menu)", pszLabel);
    }
    else if (pPgc->GetTitleNumber() != 0)
    {
        strName += FormatString("  (title %d)", pPgc->GetTitleNumber());
    }
    return strName;
}

uint32_t CPgcTable::AddPgc(CPgc* pPgc)
{
    pPgc->SetParent(this);
    SetModified();
    return m_pgcs.Add(pPgc);
}

void CPgcTable::Assign(const CPgcTable& src, const CBlockMap* pBlockMap)
{
    if (&src == this)
        return;
    SetModified();
    m_pgcs.RemoveAll();
    for (uint32_t i = 0; i < src.m_pgcs.GetSize(); ++i)
        m_pgcs.Add(new CPgc(*src.m_pgcs[i], pBlockMap, this));
    CDvdObject::operator=(src);
}

void CPgcTable::AddCopy(const CPgc& pgc, const CBlockMap* pBlockMap)
{
    m_pgcs.Add(new CPgc(pgc, pBlockMap, this));
    SetModified();
}

void CPgcTable::RemoveAll()
{
    m_pgcs.RemoveAll();
}

CAngleBlockList* CPgcTable::GetDomain() const
{
    if (GetKind() == DVDNODE_LANGUAGE_UNIT && GetParent() && GetParent()->GetKind() == DVDNODE_LANGUAGE_UNITS)
        return static_cast<const CLanguageUnits*>(GetParent())->GetDomain();
    return m_pDomain;
}

uint8_t CPgcTable::GetTableDomainCode() const
{
    if (GetKind() != DVDNODE_LANGUAGE_UNIT)
        return DVDDOMAIN_TITLE;
    const CDvdObject* pUnits = GetParent();
    const CDvdObject* pOwner = pUnits ? pUnits->GetParent() : nullptr;
    return pOwner && pOwner->GetKind() == DVDNODE_VMG ? DVDDOMAIN_VMG_MENU : DVDDOMAIN_VTS_MENU;
}

CPgc* CPgcTable::SetMenuType(CPgc* pPgc, BYTE nType)
{
    CPgc* pPrevious = FindMenu(nType);
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
    {
        CPgc* pOther = m_pgcs[i];
        BYTE nCategory = pOther->m_nCategory;
        if (pOther == pPgc)
            nCategory = BYTE((nType & 0x0F) | (pOther->m_nMenu && nType != 0 ? 0x80 : 0));
        else if (pOther->GetMenuType() == nType)
            nCategory = 0;
        if (nCategory != pOther->m_nCategory)
        {
            pOther->m_nCategory = nCategory;
            pOther->SetModified();
        }
    }
    return pPrevious;
}

CPgc* CPgcTable::FindMenu(BYTE nType) const
{
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        if (m_pgcs[i]->GetMenuType() == nType)
            return m_pgcs[i];
    return nullptr;
}

void CPgcTable::DisableAudioStream(BYTE nStream)
{
    if (nStream >= PGC_AUDIO_CONTROLS)
        return;
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
    {
        m_pgcs[i]->m_audio[nStream] = CAudioControl();
        m_pgcs[i]->SetModified();
    }
}

void CPgcTable::DisableSubpictureStream(BYTE nStream)
{
    if (nStream >= PGC_SUBPICTURE_CONTROLS)
        return;
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
    {
        m_pgcs[i]->m_subpictures[nStream] = CSubpictureControl();
        m_pgcs[i]->SetModified();
    }
}

void CPgcTable::GetPgcsOfTitle(uint32_t nTitle, CGrowArray<WORD>& indices) const
{
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        if (m_pgcs[i]->GetTitleNumber() == nTitle + 1)
            indices.Add(WORD(i));
}

bool CPgcTable::IsSinglePgcTitle(uint32_t nTitle) const
{
    CGrowArray<WORD> indices;
    GetPgcsOfTitle(nTitle, indices);
    if (indices.GetSize() != 1 || !m_pTitles || nTitle >= m_pTitles->GetTitleCount())
        return false;
    const CVtsTitle* pTitle = m_pTitles->GetTitle(nTitle);
    for (uint32_t c = 0; c < pTitle->GetChapterCount(); ++c)
        if (pTitle->GetChapter(c)->m_wPgc != indices[0])
            return false;
    return true;
}

// ---- PGCIT ----------------------------------------------------------------------------------

bool CPgcTable::ReadIfo(CDvdLog& log, CAngleBlockList* pDomain, const CIfoView& bytes)
{
    SetModified();
    m_pgcs.RemoveAll();

    WORD nCount = 0;
    if (!bytes.Get16(0, nCount))
    {
        log.ReportError("PGC table is cut short", DVD_LOCATION);
        return false;
    }
    for (WORD i = 0; i < nCount; ++i)
    {
        const size_t nPointer = PGCIT_HEADER_SIZE + SEARCH_POINTER_SIZE * i;
        CPgcCategory category;
        category.nMenu = m_nMenu;
        DWORD dwOffset = 0;
        // A search pointer outside the table leaves the PGC without bytes,
        // which its reader reports.
        const bool bPointer = bytes.Get8(nPointer, category.nCategory) &&
                              bytes.Get16(nPointer + 2, category.wParentalMask) && bytes.Get32(nPointer + 4, dwOffset);
        CPgc* pPgc = new CPgc(m_nMenu, this);
        m_pgcs.Add(pPgc);
        if (!pPgc->ReadIfo(log, category, pDomain, bPointer ? bytes.From(dwOffset) : CIfoView()))
        {
            log.ReportInfo(FormatString("Can't read PGC (%d)", i + 1), DVD_LOCATION);
            return false;
        }
    }
    return true;
}

size_t CPgcTable::GetIfoSize() const
{
    size_t nSize = PGCIT_HEADER_SIZE;
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        nSize += SEARCH_POINTER_SIZE + m_pgcs[i]->GetIfoSize();
    return nSize;
}

bool CPgcTable::WriteIfo(CDvdLog& log, BYTE* pDest) const
{
    const uint32_t nCount = m_pgcs.GetSize();
    PutBE16(pDest, WORD(nCount));
    PutBE32(pDest + 4, DWORD(GetIfoSize() - 1));
    size_t nOffset = PGCIT_HEADER_SIZE + SEARCH_POINTER_SIZE * nCount;
    for (uint32_t i = 0; i < nCount; ++i)
    {
        const CPgc* pPgc = m_pgcs[i];
        BYTE* pPointer = pDest + PGCIT_HEADER_SIZE + SEARCH_POINTER_SIZE * i;
        pPointer[0] = pPgc->m_nCategory;
        PutBE16(pPointer + 2, pPgc->m_wParentalMask);
        PutBE32(pPointer + 4, DWORD(nOffset));
        if (!pPgc->WriteIfo(log, pDest + nOffset))
        {
            log.ReportError(FormatString("Can't write PGC (%u)", unsigned(i + 1)), DVD_LOCATION);
            return false;
        }
        nOffset += pPgc->GetIfoSize();
    }
    return true;
}

// ---- Time map ----------------------------------------------------------------------------

namespace
{

TimeMapPlan PlanTimeMap(const CPgc& pgc)
{
    TimeMapPlan plan;
    const int64_t nTicks = pgc.GetPlaybackTime().DvdTimeToPts();
    if (nTicks < TICKS_PER_SECOND || pgc.HasInfiniteStill() || pgc.GetPgcDomainCode() != DVDDOMAIN_TITLE ||
        pgc.GetTitleNumber() == 0 || pgc.m_nPlaybackMode != 0)
        return plan;
    const CPgcTable* pTable = pgc.GetTable();
    if (!pTable || !pTable->IsSinglePgcTitle(uint32_t(pgc.GetTitleNumber() - 1)))
        return plan;
    const int64_t nSeconds = nTicks / TICKS_PER_SECOND;
    int64_t nUnit = (nSeconds + MAX_TIME_MAP_ENTRIES - 1) / MAX_TIME_MAP_ENTRIES;
    if (nUnit < 1)
        nUnit = 1;
    // A playback time of at most 99 hours keeps the unit within its byte.
    plan.nEntries = uint32_t(nSeconds / nUnit);
    plan.nUnit = BYTE(nUnit);
    return plan;
}

} // namespace

uint32_t CPgc::GetTimeMapEntryCount() const
{
    return PlanTimeMap(*this).nEntries;
}

bool CPgc::WriteTimeMap(CDvdLog& log, BYTE* pDest, CDvdProgress* pProgress) const
{
    const TimeMapPlan plan = PlanTimeMap(*this);
    if (pProgress)
        pProgress->Advance(1);

    uint32_t nWritten = 0;
    if (plan.nEntries > 0)
    {
        pDest[0] = plan.nUnit;
        const int64_t nStep = int64_t(plan.nUnit) * TICKS_PER_SECOND;
        int64_t nTarget = nStep;
        int64_t nBefore = 0;
        bool bMark = false;
        BYTE* pEntries = pDest + TMAP_HEADER_SIZE;
        const uint32_t nCells = GetCellCount();
        for (uint32_t c = 0; c < nCells && nWritten < plan.nEntries; ++c)
        {
            const CVobCell* pIlvu = GetCell(c)->GetIlvu(0);
            if (!pIlvu)
                continue;
            const int64_t s = pIlvu->GetFirstPci().GetVobuSPtm();
            const int64_t e = pIlvu->GetLastPci().GetVobuEPtm();
            const CGrowArray<DWORD>& sectors = pIlvu->GetOutputVobus();
            const CGrowArray<DWORD>& starts = pIlvu->GetOutputStartPtms();
            const CGrowArray<DWORD>& ends = pIlvu->GetOutputEndPtms();
            const int32_t nVobus = sectors.GetSize();
            const bool bPtsTable = nVobus > 0 && starts.GetSize() == nVobus && ends.GetSize() == nVobus;
            // A cell without VOBUs has no place for an entry (and no share
            // of its time to give each VOBU).
            const int64_t nShare = nVobus > 0 ? (e - s) / nVobus : 0;
            for (int32_t k = 0; k < nVobus && nWritten < plan.nEntries; ++k)
            {
                const int64_t nStart = bPtsTable ? int64_t(starts[k]) : s + k * nShare;
                const int64_t nEnd = bPtsTable ? int64_t(ends[k]) : s + (k + 1) * nShare;
                const int64_t nPosition = s - nBefore + nTarget;
                if (nPosition >= nStart && nPosition < nEnd)
                {
                    if (bMark && nWritten > 0)
                    {
                        BYTE* pPrevious = pEntries + 4 * (nWritten - 1);
                        PutBE32(pPrevious, GetBE32(pPrevious) | TIME_MAP_DISCONTINUITY);
                    }
                    bMark = false;
                    DWORD dwEntry = sectors[k];
                    if (c + 1 == nCells && k + 1 == nVobus)
                        dwEntry |= TIME_MAP_DISCONTINUITY;
                    PutBE32(pEntries + 4 * nWritten, dwEntry);
                    ++nWritten;
                    nTarget += nStep;
                    if (pProgress)
                    {
                        pProgress->Advance(4);
                        if (pProgress->IsCancelled())
                        {
                            log.ReportCancel();
                            return false;
                        }
                    }
                }
                if (bPtsTable && (k + 1 == nVobus || starts[k + 1] != ends[k]))
                    bMark = true;
            }
            if (c + 1 < nCells)
            {
                const CVobCell* pNext = GetCell(c + 1)->GetIlvu(0);
                if (pNext && int64_t(pNext->GetFirstPci().GetVobuSPtm()) != e)
                    bMark = true;
            }
            nBefore += e - s;
        }
        if (nWritten > 0)
        {
            BYTE* pLast = pEntries + 4 * (nWritten - 1);
            PutBE32(pLast, GetBE32(pLast) | TIME_MAP_DISCONTINUITY);
        }
    }
    PutBE16(pDest + 2, WORD(nWritten));
    if (pProgress)
        pProgress->Advance(4 * uint64_t(plan.nEntries - nWritten) + 1);
    return true;
}

size_t CPgcTable::GetTimeMapSize() const
{
    size_t nSize = TMAPTI_HEADER_SIZE;
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        nSize += 4 + m_pgcs[i]->GetTimeMapSize();
    return nSize;
}

bool CPgcTable::CreateTimeMap(CDvdLog& log, BYTE* pDest, CDvdProgress* pProgress) const
{
    uint64_t nSavedRange = 0;
    uint64_t nSavedPosition = 0;
    CString strSavedText;
    const size_t nSize = GetTimeMapSize();
    if (pProgress)
    {
        nSavedRange = pProgress->GetRange();
        nSavedPosition = pProgress->GetPosition();
        strSavedText = pProgress->GetText() ? pProgress->GetText() : "";
        uint64_t nMaps = 0;
        for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
            nMaps += m_pgcs[i]->GetTimeMapSize();
        pProgress->SetText("Creating time map ... ");
        pProgress->SetRange(nMaps);
        pProgress->Advance(0);
    }

    const uint32_t nCount = m_pgcs.GetSize();
    PutBE16(pDest, WORD(nCount));
    PutBE32(pDest + 4, DWORD(nSize - 1));
    size_t nOffset = TMAPTI_HEADER_SIZE + 4 * size_t(nCount);
    bool bOk = true;
    for (uint32_t i = 0; i < nCount && bOk; ++i)
    {
        PutBE32(pDest + TMAPTI_HEADER_SIZE + 4 * i, DWORD(nOffset));
        bOk = m_pgcs[i]->WriteTimeMap(log, pDest + nOffset, pProgress);
        nOffset += m_pgcs[i]->GetTimeMapSize();
    }

    if (pProgress)
    {
        pProgress->SetText(strSavedText);
        pProgress->SetRange(nSavedRange);
        pProgress->SetPosition(nSavedPosition);
    }
    return bOk;
}
