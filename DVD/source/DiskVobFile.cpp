#include "DVD/source/DiskVobFile.h"

#include "DVD/source/DvdTime.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/NavPack.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/SystemError.h"
#include "Shared/source/dataAccess/DataFile.h"

#include <algorithm>
#include <cstring>

namespace
{

const uint32_t SECTOR = 2048;
// The output goes to the files in writes of this size, and the source
// sectors of the VOBUs are read straight into it: large enough that the
// system calls do not dominate, small enough to stay out of the way of the
// rest of the program.
const uint32_t OUTPUT_BUFFER_SIZE = 512 * SECTOR;

uint64_t SectorsIn(uint64_t nBytes)
{
    return (nBytes + SECTOR - 1) / SECTOR;
}

// Packs built for a still picture carry SCR 0; they take the clock on from
// their NAV pack. A picture may need more packs than the video it replaces,
// so once it is placed the source packs behind it in the VOBU may lie at or
// before its clock: those are stamped on as well, each at least one pack's
// transfer time after the one before, so that the clock rises from pack to
// pack. VOBUs without a still keep their packs untouched.
void StampClock(BYTE* pSector, uint64_t& scr, CVobuClock& clock)
{
    BYTE* pField = GetPackScrField(pSector);
    const bool bPack = GetBE32(pSector) == 0x000001BA;
    if (FindVideoPacket(pSector) != 0 && DecodeScr(pField) == 0)
    {
        clock.previous = std::max(scr, clock.previous + SCR_TICKS_PER_PACK);
        EncodeScr(clock.previous, pField);
        clock.stamping = true;
    }
    else if (bPack && clock.stamping && GetPackScr(pSector) < clock.previous + SCR_TICKS_PER_PACK)
    {
        clock.previous += SCR_TICKS_PER_PACK;
        EncodeScr(clock.previous, pField);
    }
    else if (bPack)
        clock.previous = GetPackScr(pSector);
    AdvanceScr(scr, 1);
}

} // namespace

size_t FindVideoPacket(const BYTE* pSector)
{
    if (pSector[0] != 0 || pSector[1] != 0 || pSector[2] != 1 || pSector[3] != 0xBA || (pSector[4] & 0xC0) != 0x40)
        return 0;
    size_t pos = 14 + (pSector[13] & 0x07);
    if (pos + 9 > SECTOR)
        return 0;
    const BYTE* p = pSector + pos;
    return p[0] == 0 && p[1] == 0 && p[2] == 1 && p[3] == 0xE0 ? pos : 0;
}

CDiskVobFile::CDiskVobFile() : m_nReadAhead(OUTPUT_BUFFER_SIZE)
{
}

CDiskVobFile::~CDiskVobFile()
{
    CDvdLog discarded;
    Flush(discarded);
    m_queue.clear();
    Close();
}

std::string CDiskVobFile::GetFileName(const std::string& folder, BYTE nVts, bool bMenu, uint32_t k)
{
    if (bMenu && nVts == 0)
        return folder + "VIDEO_TS.VOB";
    return folder + std::string(FormatString("VTS_%02d_%u.VOB", int(nVts), bMenu ? 0u : k));
}

bool CDiskVobFile::StartDomain(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu)
{
    bool bFlushed = Flush(log);
    Close();
    return bFlushed && Open(log, pszFolder, nVts, bMenu);
}

bool CDiskVobFile::Open(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu)
{
    Close();
    m_folder = pszFolder != nullptr ? pszFolder : "";
    if (!m_folder.empty() && !kx::IsPathSeparator(m_folder.back()))
        m_folder += kx::NativePathSeparator();
    m_nVts = nVts;
    m_bMenu = bMenu ? 1 : 0;
    DeleteOldFiles();
    if (!OpenNextFile(log))
    {
        Close();
        return false;
    }
    return true;
}

void CDiskVobFile::Close()
{
    CDvdLog discarded;
    WriteOut(discarded);
    m_file.Close();
    m_folder.clear();
    m_nDomainBytes = 0;
    m_nFileBytes = 0;
    m_bMenu = 0;
    m_nVts = 255;
    m_nFiles = 0;
}

void CDiskVobFile::DeleteOldFiles()
{
    if (m_bMenu)
    {
        kx::RemoveFile(GetFileName(m_folder, m_nVts, true, 0));
        return;
    }
    // Title files are numbered without gaps, so the first missing one ends
    // the set; anything beyond it belongs to no disc and is left alone.
    for (uint32_t k = 1; k <= 99; ++k)
    {
        if (!kx::RemoveFile(GetFileName(m_folder, m_nVts, false, k)))
            break;
    }
}

bool CDiskVobFile::OpenNextFile(CDvdLog& log)
{
    if (!WriteOut(log))
        return false;
    m_file.Close();
    if (m_bMenu && m_nFiles >= 1)
    {
        log.ReportError("Bad index", DVD_LOCATION);
        return false;
    }
    if (!m_bMenu && m_nFiles >= VOB_MAX_TITLE_FILES)
    {
        // Players reject a title set with a tenth file, so the disc would be
        // unusable while the export looked successful.
        log.ReportError("Too large VTS. Max 9 VOB files are allowed.", DVD_LOCATION);
        return false;
    }
    ++m_nFiles;
    m_nFileBytes = 0;
    kx::FileOpenOptions options;
    options.access = kx::kFileReadWrite;
    options.disposition = kx::FileDisposition::CreateAlways;
    options.hint = kx::FileHint::SequentialScan;
    const std::string name = GetFileName(m_folder, m_nVts, m_bMenu != 0, m_nFiles);
    if (!m_file.Open(name.c_str(), options))
    {
        // The system's text alone does not say which file it was about.
        CPlainString reason = GetLastErrorText();
        log.ReportError(FormatString("%s: %s", name.c_str(), reason.GetText()), DVD_LOCATION);
        return false;
    }
    return true;
}

BYTE* CDiskVobFile::Reserve(CDvdLog& log, uint32_t nWanted, uint32_t& nChunk)
{
    if (!m_file.IsOpen())
    {
        log.ReportError("No VOB file is open", DVD_LOCATION);
        return nullptr;
    }
    if (!m_out)
        m_out.reset(new BYTE[OUTPUT_BUFFER_SIZE]);
    m_nAhead = 0;
    for (;;)
    {
        const uint64_t nFileRoom = m_nFileLimit > m_nFileBytes ? m_nFileLimit - m_nFileBytes : 0;
        const uint64_t nRoom = GetRoom();
        if (nWanted <= nRoom)
        {
            nChunk = nWanted;
            return m_out.get() + m_nOut;
        }
        // Split where a sector-by-sector writer would have started the next
        // file, so batching never changes where files end.
        nChunk = uint32_t(nRoom / SECTOR * SECTOR);
        if (nChunk > 0)
            return m_out.get() + m_nOut;
        if (nFileRoom < SECTOR ? !OpenNextFile(log) : !WriteOut(log))
            return nullptr;
    }
}

uint32_t CDiskVobFile::GetRoom() const
{
    const uint64_t nFileRoom = m_nFileLimit > m_nFileBytes ? m_nFileLimit - m_nFileBytes : 0;
    return uint32_t(std::min<uint64_t>(nFileRoom, OUTPUT_BUFFER_SIZE - m_nOut));
}

void CDiskVobFile::Commit(uint32_t nChunk)
{
    m_nOut += nChunk;
    m_nFileBytes += nChunk;
    m_nDomainBytes += nChunk;
}

bool CDiskVobFile::WriteOut(CDvdLog& log)
{
    m_nAhead = 0;
    if (m_nOut == 0)
        return true;
    const uint32_t nCount = m_nOut;
    m_nOut = 0;
    if (m_file.Write(m_out.get(), nCount) != int64_t(nCount))
    {
        log.ReportError(GetLastErrorText(), DVD_LOCATION);
        return false;
    }
    return true;
}

uint32_t CDiskVobFile::Write(CDvdLog& log, const BYTE* pBytes, uint32_t nCount)
{
    uint32_t nDone = 0;
    while (nDone < nCount)
    {
        uint32_t nChunk = 0;
        BYTE* pTo = Reserve(log, nCount - nDone, nChunk);
        if (pTo == nullptr)
            return 0;
        std::memcpy(pTo, pBytes + nDone, nChunk);
        Commit(nChunk);
        nDone += nChunk;
    }
    return nDone;
}

bool CDiskVobFile::QueueVobu(CDvdLog& log, std::unique_ptr<BYTE[]> nav)
{
    std::unique_ptr<CVobuWriteItem> item(new CVobuWriteItem);
    PciPacket pci;
    pci.ReadFromSector(nav.get());
    DsiPacket dsi;
    dsi.ReadFromSector(nav.get());
    int32_t nNsml = GetFarthestNsmlReference(pci);
    item->reach = std::max(GetFarthestForwardReference(dsi), DWORD(nNsml > 0 ? nNsml : 0));
    item->nav = std::move(nav);
    item->size = SECTOR;
    m_queue.push_back(std::move(item));
    m_nQueuedBytes += SECTOR;
    while (WriteNextVobu(log, false))
    {
    }
    return !log.IsCancelled() && !log.HasError();
}

void CDiskVobFile::AddData(const CDataRange& range)
{
    if (m_queue.empty() || range.GetLength() == 0)
        return;
    CVobuWriteItem& item = *m_queue.back();
    if (item.ranges.empty() || !item.ranges.back().Merge(range))
        item.ranges.push_back(range);
    item.size += range.GetLength();
    m_nQueuedBytes += range.GetLength();
}

void CDiskVobFile::AddRemovedRange(DWORD dwFirst, DWORD dwLast, DWORD nKept)
{
    CSectorRange range;
    range.first = dwFirst;
    range.last = dwLast;
    range.kept = nKept;
    m_map.AddRange(range);
}

bool CDiskVobFile::Flush(CDvdLog& log)
{
    return FlushQueue(log) && WriteOut(log);
}

bool CDiskVobFile::FlushQueue(CDvdLog& log)
{
    while (WriteNextVobu(log, true))
    {
    }
    if (!m_queue.empty())
    {
        log.ReportError("Not all vobus are written", DVD_LOCATION);
        return false;
    }
    m_map.Reset();
    return true;
}

bool CDiskVobFile::WriteNextVobu(CDvdLog& log, bool bFlushing)
{
    if (m_queue.empty())
        return false;
    const CVobuWriteItem& item = *m_queue.front();
    // The queued NAV sector stays as it came, so a VOBU that fails to write
    // still knows its source sector.
    BYTE nav[SECTOR];
    std::memcpy(nav, item.nav.get(), SECTOR);
    PciPacket pci;
    pci.ReadFromSector(nav);
    DsiPacket dsi;
    dsi.ReadFromSector(nav);
    m_map.SetPosition(pci.GetNvPckLbn());
    if (!bFlushing)
    {
        // Source sectors after this NAV pack that are already accounted for:
        // queued for output or recorded as removed.
        uint64_t nSeen = uint64_t(m_map.GetRemovedAfter()) + SectorsIn(m_nQueuedBytes);
        // A settled VOBU still waits until an output buffer's worth is
        // queued behind it, so that their source sectors are read together.
        if (m_queue.size() == 1 || item.reach > nSeen || m_nQueuedBytes - item.size < m_nReadAhead)
            return false;
    }
    DWORD dwNew = DWORD(SectorsIn(m_nDomainBytes));
    pci.SetNvPckLbn(dwNew);
    dsi.SetNvPckLbn(dwNew);
    UpdateNsmlAgli(pci, m_map);
    UpdateDsi(dsi, m_map);
    pci.WriteToSector(nav);
    dsi.WriteToSector(nav);

    CVobuClock clock;
    clock.previous = GetPackScr(nav);
    uint64_t scr = clock.previous;
    if (m_nAhead >= SECTOR)
    {
        // The NAV sector read ahead with the VOBU's source sectors gives way
        // to the prepared one; what follows is used only where it is the
        // VOBU's next range.
        std::memcpy(m_out.get() + m_nOut, nav, SECTOR);
        Commit(SECTOR);
        m_nAhead -= SECTOR;
        m_nAheadOffset += SECTOR;
    }
    else if (Write(log, nav, SECTOR) != SECTOR)
        return false;
    AdvanceScr(scr, 1);
    if (!WriteRanges(log, item, scr, clock, bFlushing))
        return false;
    m_nQueuedBytes -= item.size;
    m_queue.pop_front();
    return true;
}

uint32_t CDiskVobFile::MeasureRun(uint32_t nRange, uint32_t nOffset, uint32_t nLimit, bool bFlushing) const
{
    // Only whole sectors are read ahead, so that every VOBU's clock stamping
    // starts on a pack.
    nLimit = nLimit / SECTOR * SECTOR;
    const CVobuWriteItem& oldest = *m_queue.front();
    const CDataRange* pRange = &oldest.ranges[nRange];
    CDataFile* pFile = pRange->GetFile();
    uint32_t nEnd = pRange->GetOffset() + pRange->GetLength();
    uint64_t nRun = nEnd - nOffset;
    if (nRun % SECTOR != 0 || nRun >= nLimit)
        return uint32_t(std::min<uint64_t>(nRun, nLimit));
    // The VOBU queued last may still grow, so the run stops before it
    // unless the queue is being flushed; then the next block most likely
    // continues in the source, and the run goes on to what the buffer takes.
    const size_t nComplete = bFlushing ? m_queue.size() : m_queue.size() - 1;
    size_t nItem = 0;
    size_t nNext = nRange + 1;
    while (nRun < nLimit)
    {
        const CVobuWriteItem* pItem = m_queue[nItem].get();
        if (nNext < pItem->ranges.size())
            pRange = &pItem->ranges[nNext++];
        else if (nItem + 1 == m_queue.size() && bFlushing)
            return nLimit;
        else if (nItem + 1 < nComplete && !m_queue[nItem + 1]->ranges.empty())
        {
            pItem = m_queue[++nItem].get();
            pRange = &pItem->ranges[0];
            nNext = 1;
            // The sector between holds the source NAV pack of that VOBU.
            if (pRange->GetFile() != pFile || pRange->GetOffset() != uint64_t(nEnd) + SECTOR)
                break;
            nRun += SECTOR;
            nEnd += SECTOR;
        }
        else
            break;
        if (pRange->GetFile() != pFile || pRange->GetOffset() != nEnd || pRange->GetLength() % SECTOR != 0)
            break;
        nRun += pRange->GetLength();
        nEnd += pRange->GetLength();
    }
    return uint32_t(std::min<uint64_t>(nRun, nLimit));
}

bool CDiskVobFile::WriteRanges(CDvdLog& log, const CVobuWriteItem& item, uint64_t& scr, CVobuClock& clock,
                               bool bFlushing)
{
    for (uint32_t r = 0; r < item.ranges.size(); ++r)
    {
        const CDataRange& range = item.ranges[r];
        CDataFile* pFile = range.GetFile();
        uint32_t nOffset = range.GetOffset();
        uint32_t nLeft = range.GetLength();
        while (nLeft > 0)
        {
            BYTE* pTo = m_out.get() + m_nOut;
            uint32_t nChunk = 0;
            if (m_nAhead > 0 && pFile == m_pAheadFile && nOffset == m_nAheadOffset)
            {
                nChunk = std::min(nLeft, m_nAhead);
                m_nAhead -= nChunk;
                m_nAheadOffset += nChunk;
            }
            else
            {
                pTo = Reserve(log, nLeft, nChunk);
                if (pTo == nullptr)
                    return false;
                // Source sectors that follow on, up to what the buffer and
                // the file take, are read with these; a run guessed past the
                // queue may end with the source file.
                const uint32_t nWanted =
                    pFile != nullptr ? std::max(nChunk, MeasureRun(r, nOffset, GetRoom(), bFlushing)) : 0;
                const uint32_t nRead = pFile != nullptr ? pFile->ReadAt(pTo, nOffset, nWanted) : 0;
                if (nRead < nChunk)
                {
                    log.ReportError(FormatString("Can't read %s", pFile != nullptr ? pFile->GetName() : ""),
                                    DVD_LOCATION);
                    return false;
                }
                m_nAhead = (nRead - nChunk) / SECTOR * SECTOR;
                m_pAheadFile = pFile;
                m_nAheadOffset = nOffset + nChunk;
            }
            for (uint32_t s = 0; s + SECTOR <= nChunk; s += SECTOR)
                StampClock(pTo + s, scr, clock);
            Commit(nChunk);
            nOffset += nChunk;
            nLeft -= nChunk;
        }
    }
    return true;
}
