#include "DVD/source/VMG.h"

#include "DVD/source/DVD.h"
#include "DVD/source/DVDTypes.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/OrphanBlocks.h"
#include "DVD/source/ProjectStream.h"
#include "DVD/source/Validator.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

int FindParentalRecord(const CParentalRecordArray& records, uint16_t nCountry)
{
    for (uint32_t i = 0; i < records.GetSize(); ++i)
    {
        const CParentalRecord* pRecord = records[i];
        if (pRecord != nullptr && pRecord->nCountry == nCountry)
            return static_cast<int>(i);
    }
    return -1;
}

void CopyParentalRecords(CParentalRecordArray& dst, const CParentalRecordArray& src)
{
    if (&dst == &src)
        return;
    dst.RemoveAll();
    for (uint32_t i = 0; i < src.GetSize(); ++i)
    {
        const CParentalRecord* pRecord = src[i];
        dst.Add(pRecord != nullptr ? new CParentalRecord(*pRecord) : nullptr);
    }
}

bool StoreParentalRecords(CProjectWriter& writer, const CParentalRecordArray& records)
{
    WriteDword(writer, records.GetSize());
    static const CParentalRecord kEmpty;
    for (uint32_t i = 0; i < records.GetSize(); ++i)
    {
        const CParentalRecord& record = records[i] != nullptr ? *records[i] : kEmpty;
        WriteWord(writer, record.nCountry);
        for (uint16_t nMask : record.masks)
            WriteWord(writer, nMask);
    }
    return writer.IsOk();
}

bool LoadParentalRecords(CDvdLog& log, CProjectReader& reader, CParentalRecordArray& records)
{
    uint32_t nCount = 0;
    if (!ReadDword(reader, nCount) || !reader.CanHold(nCount, CParentalRecord::kStoredSize))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    records.RemoveAll();
    for (uint32_t i = 0; i < nCount; ++i)
    {
        CParentalRecord record;
        bool bOk = ReadWord(reader, record.nCountry);
        for (uint16_t& nMask : record.masks)
            bOk = bOk && ReadWord(reader, nMask);
        if (!bOk)
        {
            log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
            return false;
        }
        records.Add(new CParentalRecord(record));
    }
    return true;
}

// ---- CVmgTitles ------------------------------------------------------------------

CVmgTitles::CVmgTitles(CDvdObject* pParentVmg) : CDvdObject(DVDNODE_VMG_TITLES, pParentVmg)
{
}

bool CVmgTitles::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    for (uint32_t i = 0; i < m_entries.GetSize(); ++i)
        bReported = validator.Check(GetTitleReference(i), messages) || bReported;
    return bReported;
}

void CVmgTitles::Notify(CDvdObject*, int nCode, intptr_t, intptr_t)
{
    if (nCode == DVDNOTICE_CLEAR_MARKS)
        ClearFlags();
}

void CVmgTitles::AddEntry(const CVmgTitleEntry& entry)
{
    m_entries.Add(new CVmgTitleEntry(entry));
    m_flags.Add(0);
}

void CVmgTitles::ClearFlags()
{
    for (int32_t i = 0; i < m_flags.GetSize(); ++i)
        m_flags[i] = 0;
}

void CVmgTitles::RemoveAll()
{
    m_entries.RemoveAll();
    m_flags.SetSize(0);
    m_flags.FreeExtra();
}

void CVmgTitles::CopyFrom(const CVmgTitles& src)
{
    if (this == &src)
        return;
    m_entries.RemoveAll();
    for (uint32_t i = 0; i < src.m_entries.GetSize(); ++i)
        m_entries.Add(new CVmgTitleEntry(*src.m_entries[i]));
    m_flags = src.m_flags;
    CDvdObject::operator=(src);
}

namespace
{
// One 0-based index under a renumbering of the 1-based numbers from nFirst;
// answers whether it changed.
bool RenumberIndex(BYTE& nIndex, int nFirst, int nDelta)
{
    const int nNumber = nIndex + 1;
    if (nNumber < nFirst)
        return false;
    if (nDelta >= 0 || nNumber >= nFirst - nDelta)
        nIndex = BYTE(nIndex + nDelta);
    else
        nIndex = VMGTITLE_UNDEFINED;
    return true;
}
} // namespace

bool CVmgTitles::RenumberTitles(int nKind, int nFirst, int nDelta, int nLimit)
{
    if (nKind != RETARGET_VTS_TITLE && nKind != RETARGET_TITLE_SET)
        return false;
    bool bChanged = false;
    for (uint32_t i = 0; i < m_entries.GetSize(); ++i)
    {
        CVmgTitleEntry& entry = *m_entries[i];
        bool bEntryChanged = false;
        if (nKind == RETARGET_VTS_TITLE)
        {
            if (entry.nTitle != VMGTITLE_UNDEFINED && entry.nVts == nLimit - 1)
                bEntryChanged = RenumberIndex(entry.nTitle, nFirst, nDelta);
        }
        else if (entry.nVts != VMGTITLE_UNDEFINED && entry.nVts + 1 <= nLimit)
        {
            bEntryChanged = RenumberIndex(entry.nVts, nFirst, nDelta);
        }
        if (bEntryChanged)
        {
            SetModified();
            bChanged = true;
        }
    }
    return bChanged;
}

CDvdReference CVmgTitles::ResolveTitle(uint16_t nTitle, CString& strMessage) const
{
    if (nTitle >= m_entries.GetSize())
    {
        strMessage = FormatString("Reference to VMG title %d while there are only %d title(s)", nTitle + 1,
                                  int(m_entries.GetSize()));
        return CDvdReference();
    }
    const CVmgTitleEntry& entry = *m_entries[nTitle];
    const CDvd* pDvd = GetDvd();
    if (entry.nVts == VMGTITLE_UNDEFINED)
    {
        strMessage = "Reference to undefined VTS. Was it deleted?";
        return CDvdReference();
    }
    const unsigned nVtsCount = pDvd != nullptr ? pDvd->GetVtsCount() : 0;
    if (entry.nVts >= nVtsCount)
    {
        strMessage = FormatString("Reference to VTS %d while there are only %d Video Title Set(s) in this DVD",
                                  entry.nVts + 1, int(nVtsCount));
        return CDvdReference();
    }
    if (entry.nTitle == VMGTITLE_UNDEFINED)
    {
        strMessage = "Reference to undefined title. Was it deleted?";
        return CDvdReference();
    }
    const CVtsTitles& titles = pDvd->GetVts(entry.nVts)->GetTitles();
    if (entry.nTitle >= titles.GetTitleCount())
    {
        strMessage = FormatString("Reference to Title %d in VTS %d while there are only %d Title(s) in the VTS",
                                  entry.nTitle + 1, entry.nVts + 1, int(titles.GetTitleCount()));
        return CDvdReference();
    }
    return CDvdReference(titles.GetTitle(entry.nTitle), 0, 0);
}

// ---- CTextData -------------------------------------------------------------------

CTextData::CTextData(const CTextData& src)
{
    *this = src;
}

CTextData& CTextData::operator=(const CTextData& src)
{
    if (this == &src)
        return *this;
    memcpy(m_header, src.m_header, sizeof(m_header));
    m_nByte = src.m_nByte;
    m_nPayloadLength = src.m_nPayloadLength;
    m_payload.reset();
    if (m_nPayloadLength > 0)
    {
        m_payload.reset(new BYTE[m_nPayloadLength]);
        memcpy(m_payload.get(), src.m_payload.get(), m_nPayloadLength);
    }
    return *this;
}

void CTextData::Clear()
{
    m_payload.reset();
    m_nPayloadLength = 0;
}

// ---- CVmg ------------------------------------------------------------------------

CVmg::CVmg(CDvd* pDvd) : CDvdObject(DVDNODE_VMG, pDvd), m_menuDomain(this, true), m_languageUnits(this), m_titles(this)
{
    m_languageUnits.SetDomain(&m_menuDomain);
}

CVmg::~CVmg()
{
    Clear();
}

CVmg& CVmg::operator=(const CVmg& src)
{
    if (this == &src)
        return *this;
    Clear();
    m_nCategory = src.m_nCategory;
    m_nVolumes = src.m_nVolumes;
    m_nVolumeNumber = src.m_nVolumeNumber;
    m_nSide = src.m_nSide;
    m_nPosCode = src.m_nPosCode;
    // The copies of the PGCs play the copies of the blocks.
    CBlockMap blockMap;
    m_menuDomain.Assign(src.m_menuDomain, &blockMap);
    if (src.m_pFirstPlay)
        m_pFirstPlay.reset(new CPgc(*src.m_pFirstPlay, &blockMap, this));
    if (src.m_pTextData)
        m_pTextData.reset(new CTextData(*src.m_pTextData));
    m_languageUnits.Assign(src.m_languageUnits, &blockMap);
    m_titles.CopyFrom(src.m_titles);
    CopyParentalRecords(m_parentalRecords, src.m_parentalRecords);
    CDvdObject::operator=(src);
    return *this;
}

bool CVmg::IsModified() const
{
    return CDvdObject::IsModified() || m_menuDomain.IsModified() || m_languageUnits.IsModified() ||
           (m_pFirstPlay && m_pFirstPlay->IsModified()) || m_titles.IsModified();
}

void CVmg::ClearModified()
{
    CDvdObject::ClearModified();
    m_menuDomain.ClearModified();
    m_languageUnits.ClearModified();
    if (m_pFirstPlay)
        m_pFirstPlay->ClearModified();
    m_titles.ClearModified();
}

bool CVmg::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    bReported = m_menuDomain.Validate(validator, messages) || bReported;
    bReported = m_languageUnits.Validate(validator, messages) || bReported;
    if (m_pFirstPlay)
        bReported = m_pFirstPlay->Validate(validator, messages) || bReported;
    bReported = m_titles.Validate(validator, messages) || bReported;
    return bReported;
}

void CVmg::Invalidate()
{
    m_menuDomain.Invalidate();
    m_languageUnits.Invalidate();
    if (m_pFirstPlay)
        m_pFirstPlay->Invalidate();
    m_titles.Invalidate();
}

void CVmg::Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b)
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
    if (m_pFirstPlay)
        m_pFirstPlay->Notify(pSender, nCode, a, b);
    m_titles.Notify(pSender, nCode, a, b);
}

unsigned CVmg::GetChildCount() const
{
    return (m_pFirstPlay ? 1u : 0u) + m_languageUnits.GetUnitCount() + 1u;
}

CDvdObject* CVmg::GetChild(unsigned nIndex) const
{
    if (m_pFirstPlay)
    {
        if (nIndex == 0)
            return m_pFirstPlay.get();
        --nIndex;
    }
    if (nIndex < m_languageUnits.GetUnitCount())
        return m_languageUnits.GetUnit(nIndex);
    if (nIndex == m_languageUnits.GetUnitCount())
        return const_cast<CVmgTitles*>(&m_titles);
    return nullptr;
}

CString CVmg::GetChildName(unsigned nIndex) const
{
    if (m_pFirstPlay)
    {
        if (nIndex == 0)
            return CString("First Play");
        --nIndex;
    }
    if (nIndex < m_languageUnits.GetUnitCount())
    {
        BYTE code[2];
        m_languageUnits.GetUnit(nIndex)->GetLanguageBytes(code);
        return FormatString("Menus %s", GetLanguageCodeText(code[0], code[1]).GetText());
    }
    if (nIndex == m_languageUnits.GetUnitCount())
        return CString("VMG Titles");
    return CString();
}

void CVmg::Clear()
{
    m_nCategory = 0;
    m_nVolumes = 1;
    m_nVolumeNumber = 1;
    m_nSide = 1;
    m_nPosCode = 0;
    SetModified();
    // The PGCs go before the blocks they play.
    m_pFirstPlay.reset();
    m_pTextData.reset();
    m_languageUnits.SetModified();
    m_languageUnits.RemoveAll();
    m_menuDomain.RemoveAll();
    m_titles.RemoveAll();
}

void CVmg::RemoveOrphanMenuBlocks()
{
    MarkBlocksUnplayed(m_menuDomain);
    for (uint32_t u = 0; u < m_languageUnits.GetUnitCount(); ++u)
        MarkBlocksPlayed(*m_languageUnits.GetUnit(u));
    if (m_pFirstPlay)
        MarkBlocksPlayed(*m_pFirstPlay);
    if (RemoveUnplayedBlocks(m_menuDomain) && m_menuDomain.GetBlockCount() == 0)
        DisableAllStreams(m_languageUnits);
}
