// The project record of a title set: its domains with their source VOB
// sets, its titles, PGC table and language units, and its parental records.
//
// Each domain is stored before the PGCs whose cell entries name its blocks
// by number.

#include "DVD/source/ProjectStream.h"
#include "DVD/source/VTS.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

namespace
{
// The newest record, and what each version added.
constexpr uint8_t kVtsRecordVersion = 3;
constexpr uint8_t kVtsParentalVersion = 2;
// Title PGCs carry their title numbers themselves.
constexpr uint8_t kVtsTitleNumbersVersion = 3;
} // namespace

bool CVts::Store(CDvdLog& log, CProjectWriter& writer)
{
    WriteByte(writer, kVtsRecordVersion);
    WriteByte(writer, GetFlags());
    WriteDword(writer, m_nCategory);
    if (!m_titleDomain.Store(log, writer, nullptr) || !m_titles.Store(log, writer))
        return false;
    CBlockIndex blocks;
    m_titleDomain.GetBlocks(blocks);
    if (!m_pgcTable.Store(log, writer, blocks) || !m_menuDomain.Store(log, writer, nullptr))
        return false;
    blocks.SetSize(0);
    m_menuDomain.GetBlocks(blocks);
    if (!m_languageUnits.Store(log, writer, blocks))
        return false;
    return StoreParentalRecords(writer, m_parentalRecords);
}

bool CVts::Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress)
{
    uint8_t nVersion = 0;
    if (!ReadByte(reader, nVersion) || nVersion > kVtsRecordVersion)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    Clear();
    uint8_t nFlags = 0;
    ReadByte(reader, nFlags);
    ReadDword(reader, m_nCategory);
    if (!reader.IsOk())
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    SetFlags(nFlags);
    if (!m_titleDomain.Load(log, reader, pProgress, nullptr) || !m_titles.Load(log, reader, pProgress))
        return false;
    CBlockIndex blocks;
    m_titleDomain.GetBlocks(blocks);
    if (!m_pgcTable.Load(log, reader, blocks, pProgress) || !m_menuDomain.Load(log, reader, pProgress, nullptr))
        return false;
    blocks.SetSize(0);
    m_menuDomain.GetBlocks(blocks);
    m_languageUnits.SetModified();
    m_languageUnits.RemoveAll();
    if (!m_languageUnits.Load(log, reader, blocks, pProgress))
        return false;
    if (nVersion >= kVtsParentalVersion && !LoadParentalRecords(log, reader, m_parentalRecords))
        return false;

    // Older PGC records lack the title fields of their category: the titles
    // give them back, a later title winning over an earlier one.
    if (nVersion < kVtsTitleNumbersVersion)
    {
        for (uint32_t t = 0; t < m_titles.GetTitleCount(); ++t)
        {
            CVtsTitle* pTitle = m_titles.GetTitle(t);
            for (uint32_t c = 0; c < pTitle->GetChapterCount(); ++c)
            {
                const WORD wPgc = pTitle->GetChapter(c)->m_wPgc;
                if (wPgc != 0xFFFF && wPgc < m_pgcTable.GetPgcCount())
                    pTitle->UpdatePgcTitleNumber(wPgc, c == 0, true);
            }
        }
    }
    if (pProgress != nullptr)
        pProgress->SetPosition(reader.GetTransferred());
    return true;
}
