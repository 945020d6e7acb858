#include "DVD/source/title.h"

#include "DVD/source/PgcTable.h"
#include "DVD/source/ProjectStream.h"
#include "DVD/source/Validator.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

namespace
{

const size_t PTT_HEADER_SIZE = 8;
const size_t CHAPTER_SIZE = 4;
const BYTE TITLE_RECORD_VERSION = 1;

} // namespace

// ---- CVtsTitle ------------------------------------------------------------------

CVtsTitle::CVtsTitle(CVtsTitles* pParent) : CDvdObject(DVDNODE_VTS_TITLE, pParent)
{
}

CVtsTitle::CVtsTitle(const CVtsTitle& src, CVtsTitles* pParent) : CDvdObject(src, pParent)
{
    for (uint32_t i = 0; i < src.m_chapters.GetSize(); ++i)
        m_chapters.Add(new CChapterEntry(*src.m_chapters[i]));
}

bool CVtsTitle::ReadIfo(uint32_t nCount, const CIfoView& bytes)
{
    SetModified();
    m_chapters.RemoveAll();
    if (!bytes.Contains(0, size_t(nCount) * CHAPTER_SIZE))
        return false;
    for (uint32_t i = 0; i < nCount; ++i)
    {
        const BYTE* p = bytes.GetData() + size_t(i) * CHAPTER_SIZE;
        CChapterEntry* pChapter = new CChapterEntry;
        // A stored 0 names nothing; it wraps to the invalid index on purpose.
        pChapter->m_wPgc = WORD(GetBE16(p) - 1);
        pChapter->m_wProgram = WORD(GetBE16(p + 2) - 1);
        m_chapters.Add(pChapter);
    }
    return true;
}

void CVtsTitle::WriteIfo(BYTE* pDest) const
{
    for (uint32_t i = 0; i < m_chapters.GetSize(); ++i)
    {
        PutBE16(pDest + CHAPTER_SIZE * i, WORD(m_chapters[i]->m_wPgc + 1));
        PutBE16(pDest + CHAPTER_SIZE * i + 2, WORD(m_chapters[i]->m_wProgram + 1));
    }
}

bool CVtsTitle::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    for (uint32_t i = 0; i < m_chapters.GetSize(); ++i)
        bReported = validator.Check(GetChapterReference(i), messages) || bReported;
    return bReported;
}

uint32_t CVtsTitle::AddChapter(const CChapterEntry& chapter)
{
    SetModified();
    const uint32_t nIndex = m_chapters.Add(new CChapterEntry(chapter));
    UpdatePgcTitleNumber(chapter.m_wPgc, m_chapters.GetSize() == 1, false);
    return nIndex;
}

bool CVtsTitle::UpdatePgcTitleNumber(uint32_t nPgc, bool bEntry, bool bForce)
{
    const CVtsTitles* pTitles = static_cast<const CVtsTitles*>(GetParent());
    CPgcTable* pTable = pTitles ? pTitles->GetPgcTable() : nullptr;
    if (!pTable || nPgc >= pTable->GetPgcCount())
        return false;
    CPgc* pPgc = pTable->GetPgc(nPgc);
    BYTE nCategory = pPgc->m_nCategory;
    if ((nCategory & 0x7F) != 0 && !bForce)
        return true;
    nCategory = BYTE((nCategory & 0x80) | ((pTitles->GetChildIndex(this) + 1) & 0x7F));
    if (bEntry)
        nCategory |= 0x80;
    pPgc->m_nCategory = nCategory;
    pPgc->SetModified();
    return true;
}

CDvdReference CVtsTitle::ResolveChapter(uint32_t nChapter, CString& strMessage) const
{
    const uint32_t nCount = m_chapters.GetSize();
    if (nChapter >= nCount)
    {
        strMessage = FormatString("Chapter %u is requested while there are only %u Chapters in the Title.",
                                  unsigned(nChapter + 1), unsigned(nCount));
        return CDvdReference();
    }
    const CChapterEntry* pChapter = m_chapters[nChapter];
    if (pChapter->m_wPgc == INVALID_CHAPTER_INDEX)
    {
        strMessage = "Reference to invalid PGC. Was it deleted?";
        return CDvdReference();
    }
    const CVtsTitles* pTitles = static_cast<const CVtsTitles*>(GetParent());
    const CPgcTable* pTable = pTitles ? pTitles->GetPgcTable() : nullptr;
    const uint32_t nPgcs = pTable ? pTable->GetPgcCount() : 0;
    if (pChapter->m_wPgc >= nPgcs)
    {
        strMessage = FormatString("Reference to PGC %d while there are only %u PGC(s) available in the VTS.",
                                  pChapter->m_wPgc + 1, unsigned(nPgcs));
        return CDvdReference();
    }
    if (pChapter->m_wProgram == INVALID_CHAPTER_INDEX)
    {
        strMessage = "Reference to invalid Program. Was it deleted?";
        return CDvdReference();
    }
    CPgc* pPgc = pTable->GetPgc(pChapter->m_wPgc);
    if (pChapter->m_wProgram >= pPgc->GetProgramCount())
    {
        strMessage = FormatString("Reference to Program %d while there are only %d Program(s) available in PGC %d.",
                                  pChapter->m_wProgram + 1, pPgc->GetProgramCount(), pChapter->m_wPgc + 1);
        return CDvdReference();
    }
    return CDvdReference(pPgc, PGCFIELD_PROGRAM, pChapter->m_wProgram);
}

CDvdReference CVtsTitle::GetChapterReference(uint32_t nChapter) const
{
    if (nChapter >= m_chapters.GetSize())
        return CDvdReference();
    return CDvdReference(const_cast<CVtsTitle*>(this), 1, nChapter);
}

bool CVtsTitle::Store(CProjectWriter& writer) const
{
    WriteByte(writer, TITLE_RECORD_VERSION);
    WriteByte(writer, GetFlags());
    WriteWord(writer, WORD(m_chapters.GetSize()));
    for (uint32_t i = 0; i < m_chapters.GetSize(); ++i)
    {
        WriteWord(writer, m_chapters[i]->m_wPgc);
        WriteWord(writer, m_chapters[i]->m_wProgram);
    }
    return true;
}

bool CVtsTitle::Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress)
{
    uint8_t nVersion = 0;
    if (!ReadByte(reader, nVersion) || nVersion != TITLE_RECORD_VERSION)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    SetModified();
    m_chapters.RemoveAll();
    uint8_t nFlags = 0;
    uint16_t nCount = 0;
    if (!ReadByte(reader, nFlags) || !ReadWord(reader, nCount) || !reader.CanHold(nCount, CHAPTER_SIZE))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    SetFlags(nFlags);
    for (uint16_t i = 0; i < nCount; ++i)
    {
        CChapterEntry* pChapter = new CChapterEntry;
        m_chapters.Add(pChapter);
        if (!ReadWord(reader, pChapter->m_wPgc) || !ReadWord(reader, pChapter->m_wProgram))
        {
            log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
            return false;
        }
    }
    if (pProgress)
        pProgress->SetPosition(reader.GetTransferred());
    return true;
}

// ---- CVtsTitles -----------------------------------------------------------------

CVtsTitles::CVtsTitles(CDvdObject* pParentVts) : CDvdObject(DVDNODE_VTS_TITLES, pParentVts)
{
}

int CVtsTitles::GetChildIndex(const CDvdObject* pChild) const
{
    const CDvdObject* pNode = pChild ? pChild->Self() : nullptr;
    for (uint32_t i = 0; i < m_titles.GetSize(); ++i)
        if (m_titles[i] == pNode)
            return int(i);
    return -1;
}

bool CVtsTitles::IsModified() const
{
    if (CDvdObject::IsModified())
        return true;
    for (uint32_t i = 0; i < m_titles.GetSize(); ++i)
        if (m_titles[i]->IsModified())
            return true;
    return false;
}

void CVtsTitles::ClearModified()
{
    CDvdObject::ClearModified();
    for (uint32_t i = 0; i < m_titles.GetSize(); ++i)
        m_titles[i]->ClearModified();
}

bool CVtsTitles::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    for (uint32_t i = 0; i < m_titles.GetSize(); ++i)
        bReported = m_titles[i]->Validate(validator, messages) || bReported;
    return bReported;
}

uint32_t CVtsTitles::AddTitle(const CChapterEntry& chapter)
{
    CVtsTitle* pTitle = new CVtsTitle(this);
    const uint32_t nIndex = m_titles.Add(pTitle);
    pTitle->AddChapter(chapter);
    return nIndex;
}

CDvdReference CVtsTitles::GetEntryPgc(uint32_t nTitle, CString& strMessage) const
{
    if (nTitle >= m_titles.GetSize())
    {
        strMessage = FormatString("Title %u is requested while there are only %u Titles in the VTS.",
                                  unsigned(nTitle + 1), unsigned(m_titles.GetSize()));
        return CDvdReference();
    }
    CGrowArray<WORD> pgcs;
    if (m_pPgcTable)
        m_pPgcTable->GetPgcsOfTitle(nTitle, pgcs);
    CPgc* pEntry = nullptr;
    for (int32_t i = 0; i < pgcs.GetSize(); ++i)
    {
        CPgc* pPgc = m_pPgcTable->GetPgc(pgcs[i]);
        if (!pPgc->IsEntry())
            continue;
        if (pEntry)
        {
            strMessage = FormatString("Title %u has more than one entry PGC.", unsigned(nTitle + 1));
            return CDvdReference();
        }
        pEntry = pPgc;
    }
    if (!pEntry)
    {
        strMessage = FormatString("Title %u has no entry PGC set.", unsigned(nTitle + 1));
        return CDvdReference();
    }
    return CDvdReference(pEntry, 0, 0);
}

bool CVtsTitles::ReadIfo(CDvdLog& log, const CIfoView& bytes)
{
    SetModified();
    m_titles.RemoveAll();

    WORD nCount = 0;
    DWORD dwEnd = 0;
    if (!bytes.Get16(0, nCount) || !bytes.Get32(4, dwEnd))
    {
        log.ReportError("Chapter table is truncated", DVD_LOCATION);
        return false;
    }
    // The chapter lists must lie between the offset table and the table's
    // end, and inside the bytes read.
    const size_t nListStart = PTT_HEADER_SIZE + 4 * size_t(nCount);
    const size_t nTableEnd = size_t(dwEnd) + 1;
    if (!bytes.Contains(0, nListStart) || !bytes.Contains(0, nTableEnd) || nTableEnd < nListStart)
    {
        log.ReportError("Chapter table is truncated", DVD_LOCATION);
        return false;
    }

    m_titles.SetSize(nCount);
    for (WORD i = 0; i < nCount; ++i)
    {
        const size_t nStart = GetBE32(bytes.GetData() + PTT_HEADER_SIZE + 4 * size_t(i));
        const size_t nEnd = i + 1 < nCount ? GetBE32(bytes.GetData() + PTT_HEADER_SIZE + 4 * size_t(i + 1)) : nTableEnd;
        CVtsTitle* pTitle = new CVtsTitle(this);
        m_titles.SetAt(i, pTitle);
        if (nStart < nListStart || nEnd < nStart || nEnd > nTableEnd ||
            !pTitle->ReadIfo(uint32_t((nEnd - nStart) / CHAPTER_SIZE), bytes.From(nStart)))
        {
            log.ReportError(FormatString("Chapter list of title %d lies outside the table", i + 1), DVD_LOCATION);
            return false;
        }
    }
    return true;
}

uint32_t CVtsTitles::GetIfoSize() const
{
    uint32_t nSize = PTT_HEADER_SIZE;
    for (uint32_t i = 0; i < m_titles.GetSize(); ++i)
        nSize += 4 + m_titles[i]->GetIfoSize();
    return nSize;
}

bool CVtsTitles::WriteIfo(CDvdLog& log, BYTE* pDest) const
{
    const uint32_t nCount = m_titles.GetSize();
    PutBE16(pDest, WORD(nCount));
    uint32_t nOffset = PTT_HEADER_SIZE + 4 * nCount;
    for (uint32_t i = 0; i < nCount; ++i)
    {
        PutBE32(pDest + PTT_HEADER_SIZE + 4 * i, nOffset);
        m_titles[i]->WriteIfo(pDest + nOffset);
        nOffset += m_titles[i]->GetIfoSize();
    }
    PutBE32(pDest + 4, nOffset - 1);
    if (nOffset != GetIfoSize())
    {
        log.ReportError("bad size", DVD_LOCATION);
        return false;
    }
    return true;
}

CVtsTitles& CVtsTitles::operator=(const CVtsTitles& src)
{
    if (&src == this)
        return *this;
    m_titles.RemoveAll();
    for (uint32_t i = 0; i < src.m_titles.GetSize(); ++i)
    {
        const CVtsTitle* pSource = src.m_titles[i];
        CVtsTitle* pTitle = new CVtsTitle(*pSource, this);
        m_titles.Add(pTitle);
    }
    CDvdObject::operator=(src);
    return *this;
}

bool CVtsTitles::Store(CDvdLog& log, CProjectWriter& writer) const
{
    WriteByte(writer, TITLE_RECORD_VERSION);
    WriteByte(writer, GetFlags());
    WriteWord(writer, WORD(m_titles.GetSize()));
    for (uint32_t i = 0; i < m_titles.GetSize(); ++i)
        m_titles[i]->Store(writer);
    return writer.IsOk();
}

bool CVtsTitles::Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress)
{
    uint8_t nVersion = 0;
    if (!ReadByte(reader, nVersion) || nVersion != TITLE_RECORD_VERSION)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    SetModified();
    m_titles.RemoveAll();
    uint8_t nFlags = 0;
    uint16_t nCount = 0;
    // A title record is at least its version, flags and chapter count.
    if (!ReadByte(reader, nFlags) || !ReadWord(reader, nCount) || !reader.CanHold(nCount, 4))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    SetFlags(nFlags);
    m_titles.SetSize(nCount);
    for (uint16_t i = 0; i < nCount; ++i)
    {
        CVtsTitle* pTitle = new CVtsTitle(this);
        m_titles.SetAt(i, pTitle);
        if (!pTitle->Load(log, reader, pProgress))
        {
            log.ReportInfo(FormatString("Can't read Title (%d)", i + 1), DVD_LOCATION);
            return false;
        }
    }
    return true;
}
