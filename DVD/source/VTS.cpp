#include "DVD/source/VTS.h"

#include "DVD/source/DVDTypes.h"
#include "DVD/source/OrphanBlocks.h"
#include "DVD/source/ProjectStream.h"
#include "DVD/source/Validator.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

#include <algorithm>
#include <cstring>

CVts::CVts(CDvdObject* pParent)
    : CDvdObject(DVDNODE_VTS, pParent), m_titleDomain(this, false), m_titles(this), m_pgcTable(0, this),
      m_menuDomain(this, true), m_languageUnits(this)
{
    Connect();
    Clear();
}

CVts::CVts(const CVts& src, CDvdObject* pParent)
    : CDvdObject(src, pParent), m_titleDomain(this, false), m_titles(this), m_pgcTable(0, this),
      m_menuDomain(this, true), m_languageUnits(this)
{
    Connect();
    *this = src;
}

void CVts::Connect()
{
    m_titles.SetPgcTable(&m_pgcTable);
    m_pgcTable.SetTitles(&m_titles);
    m_pgcTable.SetDomain(&m_titleDomain);
    m_languageUnits.SetDomain(&m_menuDomain);
}

CVts::~CVts()
{
    Clear();
}

CVts& CVts::operator=(const CVts& src)
{
    if (this == &src)
        return *this;
    Clear();
    m_nCategory = src.m_nCategory;
    // The copied PGCs play the copies of the blocks.
    CBlockMap blockMap;
    m_menuDomain.Assign(src.m_menuDomain, &blockMap);
    m_languageUnits.Assign(src.m_languageUnits, &blockMap);
    blockMap.SetSize(0);
    m_titleDomain.Assign(src.m_titleDomain, &blockMap);
    m_pgcTable.Assign(src.m_pgcTable, &blockMap);
    m_titles = src.m_titles;
    CopyParentalRecords(m_parentalRecords, src.m_parentalRecords);
    CDvdObject::operator=(src);
    return *this;
}

bool CVts::IsModified() const
{
    return CDvdObject::IsModified() || m_menuDomain.IsModified() || m_languageUnits.IsModified() ||
           m_titleDomain.IsModified() || m_titles.IsModified() || m_pgcTable.IsModified();
}

void CVts::ClearModified()
{
    CDvdObject::ClearModified();
    m_menuDomain.ClearModified();
    m_languageUnits.ClearModified();
    m_titleDomain.ClearModified();
    m_titles.ClearModified();
    m_pgcTable.ClearModified();
}

bool CVts::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    bReported = m_menuDomain.Validate(validator, messages) || bReported;
    bReported = m_languageUnits.Validate(validator, messages) || bReported;
    bReported = m_titleDomain.Validate(validator, messages) || bReported;
    bReported = m_titles.Validate(validator, messages) || bReported;
    bReported = m_pgcTable.Validate(validator, messages) || bReported;
    return bReported;
}

void CVts::Invalidate()
{
    m_menuDomain.Invalidate();
    m_languageUnits.Invalidate();
    m_titleDomain.Invalidate();
    m_titles.Invalidate();
    m_pgcTable.Invalidate();
}

void CVts::Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b)
{
    if (nCode == DVDNOTICE_IS_IN_TREE && pSender == this)
    {
        *reinterpret_cast<uint8_t*>(a) = 1;
        return;
    }
    if (nCode == DVDNOTICE_CLEAR_MARKS)
        SetFlags(static_cast<uint8_t>(GetFlags() & ~DVDFLAG_MARK));
    m_menuDomain.Notify(pSender, nCode, a, b);
    m_languageUnits.Notify(pSender, nCode, a, b);
    m_titleDomain.Notify(pSender, nCode, a, b);
    m_titles.Notify(pSender, nCode, a, b);
    m_pgcTable.Notify(pSender, nCode, a, b);
}

unsigned CVts::GetChildCount() const
{
    return m_languageUnits.GetUnitCount() + 2;
}

CDvdObject* CVts::GetChild(unsigned nIndex) const
{
    const unsigned nUnits = m_languageUnits.GetUnitCount();
    if (nIndex < nUnits)
        return m_languageUnits.GetUnit(nIndex);
    if (nIndex == nUnits)
        return const_cast<CPgcTable*>(&m_pgcTable);
    if (nIndex == nUnits + 1)
        return const_cast<CVtsTitles*>(&m_titles);
    return nullptr;
}

CString CVts::GetChildName(unsigned nIndex) const
{
    const unsigned nUnits = m_languageUnits.GetUnitCount();
    if (nIndex < nUnits)
    {
        BYTE code[2];
        m_languageUnits.GetUnit(nIndex)->GetLanguageBytes(code);
        return FormatString("Menus %s", GetLanguageCodeText(code[0], code[1]).GetText());
    }
    if (nIndex == nUnits)
        return CString("Program Chains");
    if (nIndex == nUnits + 1)
        return CString("Titles");
    return CString();
}

void CVts::Clear()
{
    m_nCategory = 0;
    SetModified();
    // The PGCs go before the blocks they play.
    m_languageUnits.SetModified();
    m_languageUnits.RemoveAll();
    m_titles.SetModified();
    m_titles.RemoveAll();
    m_pgcTable.RemoveAll();
    m_titleDomain.RemoveAll();
    m_menuDomain.RemoveAll();
}

const CPgc* CVts::GetChapterPgc(const CChapterEntry& chapter) const
{
    if (chapter.m_wPgc == INVALID_CHAPTER_INDEX || chapter.m_wPgc >= m_pgcTable.GetPgcCount())
        return nullptr;
    return m_pgcTable.GetPgc(chapter.m_wPgc);
}

BYTE CVts::GetTitleAngleCount(uint32_t nTitle) const
{
    const CVtsTitle* pTitle = m_titles.GetTitle(nTitle);
    int nAngles = 0;
    for (uint32_t c = 0; pTitle != nullptr && c < pTitle->GetChapterCount(); ++c)
    {
        if (const CPgc* pPgc = GetChapterPgc(*pTitle->GetChapter(c)))
            nAngles = std::max(nAngles, pPgc->GetMaxAngleCount());
    }
    return BYTE(nAngles);
}

BYTE CVts::GetMinAngleCount() const
{
    BYTE nMin = 0;
    for (uint32_t t = 0; t < m_titles.GetTitleCount(); ++t)
    {
        const BYTE nAngles = GetTitleAngleCount(t);
        if (nAngles > 1 && (nMin == 0 || nAngles < nMin))
            nMin = nAngles;
    }
    return nMin;
}

WORD CVts::GetTitleParentalMask(uint32_t nTitle) const
{
    const CVtsTitle* pTitle = m_titles.GetTitle(nTitle);
    WORD wMask = 0;
    for (uint32_t c = 0; pTitle != nullptr && c < pTitle->GetChapterCount(); ++c)
    {
        if (const CPgc* pPgc = GetChapterPgc(*pTitle->GetChapter(c)))
            wMask = WORD(wMask | pPgc->m_wParentalMask);
    }
    return wMask;
}

BYTE CVts::CollectAngleBlocks(CAngleBlockArray& blocks, CAngleMap& angleMap) const
{
    blocks.SetSize(0);
    angleMap.RemoveAll();
    const BYTE nAngles = GetMinAngleCount();
    if (nAngles < 2)
        return nAngles;
    for (uint32_t b = 0; b < m_titleDomain.GetBlockCount(); ++b)
    {
        CAngleBlock* pBlock = m_titleDomain.GetBlock(b);
        // Only blocks whose packs say where the angles are can be reduced
        // to one of them.
        if (pBlock->GetIlvuCount() >= 2 && pBlock->GetIlvu(0)->GetAngleCount() > 0)
            blocks.Add(pBlock);
    }
    if (blocks.GetSize() == 0)
        return nAngles;
    for (BYTE a = 0; a < nAngles; ++a)
    {
        CGrowArray<BYTE>* pAngle = new CGrowArray<BYTE>;
        pAngle->SetSize(blocks.GetSize(), true);
        angleMap.Add(pAngle);
    }
    for (uint32_t p = 0; p < m_pgcTable.GetPgcCount(); ++p)
    {
        const CPgc& pgc = *m_pgcTable.GetPgc(p);
        for (uint32_t c = 0; c < pgc.GetCellCount(); ++c)
        {
            const CPgcCell& cell = *pgc.GetCell(c);
            if (cell.GetAngleCount() < 2)
                continue;
            int32_t nIndex = -1;
            for (int32_t i = 0; i < blocks.GetSize() && nIndex < 0; ++i)
                if (blocks[i] == cell.GetBlock())
                    nIndex = i;
            if (nIndex < 0)
                continue;
            for (int a = 0; a < nAngles && a < cell.GetAngleCount(); ++a)
                (*angleMap[uint32_t(a)])[nIndex] = cell.GetAngle(a);
        }
    }
    return nAngles;
}

void CVts::WriteAttributeRecord(BYTE* pDest) const
{
    // After the two words the entry is VTSI_MAT's attribute area: 256 bytes
    // of menu attributes, then 512 of title attributes.
    const size_t kMenuAttributes = 8;
    const size_t kTitleAttributes = 264;
    PutBE32(pDest, kAttributeRecordSize - 1);
    PutBE32(pDest + 4, m_nCategory);
    BYTE block[STREAM_BLOCK_SIZE] = {};
    m_menuDomain.GetStreams().WriteIfo(block);
    memcpy(pDest + kMenuAttributes, block, kTitleAttributes - kMenuAttributes);
    memset(block, 0, sizeof(block));
    m_titleDomain.GetStreams().WriteIfo(block);
    memcpy(pDest + kTitleAttributes, block, kAttributeRecordSize - kTitleAttributes);
}

void CVts::RemoveOrphanMenuBlocks()
{
    MarkBlocksUnplayed(m_menuDomain);
    for (uint32_t u = 0; u < m_languageUnits.GetUnitCount(); ++u)
        MarkBlocksPlayed(*m_languageUnits.GetUnit(u));
    if (RemoveUnplayedBlocks(m_menuDomain) && m_menuDomain.GetBlockCount() == 0)
        DisableAllStreams(m_languageUnits);
}

void CVts::RemoveOrphanTitleBlocks()
{
    MarkBlocksUnplayed(m_titleDomain);
    MarkBlocksPlayed(m_pgcTable);
    if (RemoveUnplayedBlocks(m_titleDomain) && m_titleDomain.GetBlockCount() == 0)
        DisableAllStreams(m_pgcTable);
}
