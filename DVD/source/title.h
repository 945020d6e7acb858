// The titles of a title set and their chapters (parts of title). Each chapter
// names a program of one of the title set's title PGCs. In the IFO the table
// is VTS_PTT_SRPT.
#pragma once

#include "DVD/source/DvdObject.h"
#include "DVD/source/IfoView.h"
#include "Shared/source/DvdArray.h"

class CDvdLog;
class CDvdProgress;
class CProjectReader;
class CPgcTable;
class CProjectWriter;
class CVtsTitles;

// Numbers stored 0 on disc, and references dropped by retargeting.
const WORD INVALID_CHAPTER_INDEX = 0xFFFF;

// One chapter: 0-based PGC index in the title set's PGC table and 0-based
// program index in that PGC; INVALID_CHAPTER_INDEX in either means invalid.
struct CChapterEntry
{
    WORD m_wPgc = 0;
    WORD m_wProgram = 0;
};

class CVtsTitle : public CDvdObject
{
public:
    explicit CVtsTitle(CVtsTitles* pParent);
    // A copy keeps the source's flags, identity and chapters.
    CVtsTitle(const CVtsTitle& src, CVtsTitles* pParent);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}

    uint32_t GetChapterCount() const { return m_chapters.GetSize(); }
    const CChapterEntry* GetChapter(uint32_t nIndex) const { return m_chapters[nIndex]; }

    // Reads nCount chapters; false when they do not lie inside the view.
    bool ReadIfo(uint32_t nCount, const CIfoView& bytes);
    void WriteIfo(BYTE* pDest) const;
    uint32_t GetIfoSize() const { return 4 * m_chapters.GetSize(); }

    // Appends a copy of the chapter and gives its PGC this title's number when
    // the PGC carries none yet. Answers the chapter's index.
    uint32_t AddChapter(const CChapterEntry& chapter);
    // Stores this title's number into the category of title PGC nPgc (and the
    // entry flag when bEntry is set) unless the PGC has a title number and
    // bForce is clear. False when the title set has no such PGC.
    bool UpdatePgcTitleNumber(uint32_t nPgc, bool bEntry, bool bForce);

    // The program that chapter nChapter names; a null reference with the
    // reason in strMessage when it names none.
    CDvdReference ResolveChapter(uint32_t nChapter, CString& strMessage) const;
    CDvdReference GetChapterReference(uint32_t nChapter) const;

    bool Store(CProjectWriter& writer) const;
    bool Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress);

private:
    friend class CVtsTitles;

    CDvdPtrArray<CChapterEntry> m_chapters;
};

class CVtsTitles : public CDvdObject
{
public:
    explicit CVtsTitles(CDvdObject* pParentVts);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    int GetChildIndex(const CDvdObject* pChild) const override;
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}

    uint32_t GetTitleCount() const { return m_titles.GetSize(); }
    CVtsTitle* GetTitle(uint32_t nIndex) const { return m_titles[nIndex]; }
    // Deletes every title.
    void RemoveAll() { m_titles.RemoveAll(); }

    // The title PGCs whose programs the chapters name; the title set that
    // owns both tables gives it.
    CPgcTable* GetPgcTable() const { return m_pPgcTable; }
    void SetPgcTable(CPgcTable* pPgcTable) { m_pPgcTable = pPgcTable; }

    // VTS_PTT_SRPT. The reader fails, with an error in the log, when a title's
    // chapter list does not lie inside the table.
    bool ReadIfo(CDvdLog& log, const CIfoView& bytes);
    bool WriteIfo(CDvdLog& log, BYTE* pDest) const;
    uint32_t GetIfoSize() const;

    // Appends a title of one chapter; answers the new title's index.
    uint32_t AddTitle(const CChapterEntry& chapter);
    // The one entry PGC of title nTitle; a null reference with the reason in
    // strMessage when there is none or more than one.
    CDvdReference GetEntryPgc(uint32_t nTitle, CString& strMessage) const;

    CVtsTitles& operator=(const CVtsTitles& src);

    bool Store(CDvdLog& log, CProjectWriter& writer) const;
    bool Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress);

private:
    CDvdObjectArray<CVtsTitle> m_titles;
    CPgcTable* m_pPgcTable = nullptr;
};
