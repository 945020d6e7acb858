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
// Sectors are copied in batches of this size: large enough that the system
// calls do not dominate, small enough to stay out of the way of the rest of
// the program.
const uint32_t COPY_BUFFER_SIZE = 512 * SECTOR;

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

CDiskVobFile::CDiskVobFile()
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

uint32_t CDiskVobFile::Write(CDvdLog& log, const BYTE* pBytes, uint32_t nCount)
{
    if (!m_file.IsOpen())
    {
        log.ReportError("No VOB file is open", DVD_LOCATION);
        return 0;
    }
    uint32_t nDone = 0;
    while (nDone < nCount)
    {
        uint32_t nChunk = nCount - nDone;
        uint64_t nRoom = m_nFileLimit > m_nFileBytes ? m_nFileLimit - m_nFileBytes : 0;
        if (nChunk > nRoom)
        {
            // Split where a sector-by-sector writer would have started the
            // next file, so batching never changes where files end.
            nChunk = uint32_t(nRoom / SECTOR * SECTOR);
            if (nChunk == 0)
            {
                if (!OpenNextFile(log))
                    return 0;
                continue;
            }
        }
        int64_t nWritten = m_file.Write(pBytes + nDone, nChunk);
        if (nWritten != int64_t(nChunk))
        {
            log.ReportError(GetLastErrorText(), DVD_LOCATION);
            return 0;
        }
        m_nFileBytes += nChunk;
        m_nDomainBytes += nChunk;
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
        if (m_queue.size() == 1 || item.reach > nSeen)
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
    if (Write(log, nav, SECTOR) != SECTOR)
        return false;
    AdvanceScr(scr, 1);
    if (!WriteRanges(log, item, scr, clock))
        return false;
    m_nQueuedBytes -= item.size;
    m_queue.pop_front();
    return true;
}

bool CDiskVobFile::WriteRanges(CDvdLog& log, const CVobuWriteItem& item, uint64_t& scr, CVobuClock& clock)
{
    if (!m_buffer)
        m_buffer.reset(new BYTE[COPY_BUFFER_SIZE]);
    BYTE* pBuffer = m_buffer.get();
    for (const CDataRange& range : item.ranges)
    {
        CDataFile* pFile = range.GetFile();
        uint32_t nOffset = range.GetOffset();
        uint32_t nLeft = range.GetLength();
        while (nLeft > 0)
        {
            uint32_t nChunk = std::min(nLeft, COPY_BUFFER_SIZE);
            if (pFile == nullptr || pFile->ReadAt(pBuffer, nOffset, nChunk) != nChunk)
            {
                log.ReportError(FormatString("Can't read %s", pFile != nullptr ? pFile->GetName() : ""), DVD_LOCATION);
                return false;
            }
            for (uint32_t s = 0; s + SECTOR <= nChunk; s += SECTOR)
                StampClock(pBuffer + s, scr, clock);
            if (Write(log, pBuffer, nChunk) != nChunk)
                return false;
            nOffset += nChunk;
            nLeft -= nChunk;
        }
    }
    return true;
}
