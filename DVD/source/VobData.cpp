#include "DVD/source/VobData.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DvdTime.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VobCell.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "Shared/platform/UiServices.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"
#include "Shared/source/SystemError.h"
#include "Shared/source/dataAccess/DataBlock.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{

const char kRecovering[] = "Recovering C_ADT & VOBU_ADMAP tables.";
const char kRecoveryFailed[] = "Failed to recover C_ADT & VOBU_ADMAP tables.";

// Recovery reads the set in loads of this size.
const uint32_t RECOVERY_LOAD_SIZE = 1048576;
// A recovery keeps at most this many bytes of NAV sectors for the block
// build (those of a title set of a few gigabytes).
const size_t RECOVERED_NAVS_LIMIT = 16 << 20;
// The tables are checked against the NAV packs at every this many VOBUs.
const int32_t NAV_CHECK_STEP = 1277;
// A foreign or damaged file may lack pack headers everywhere: name the first
// few sectors, then only count the rest.
const uint32_t MAX_HEADER_WARNINGS = 20;

struct CVobDataRegistry
{
    CVobDataArray sets;
    CVobDataArray memory;
    CPathRelocationArray relocations;
};

CVobDataRegistry& GetRegistry()
{
    static CVobDataRegistry registry;
    return registry;
}

// Deletes element i and closes the gap.
void RemoveSetAt(CVobDataArray& array, uint32_t i)
{
    CVobData* pSet = array[i];
    uint32_t n = array.GetSize();
    for (uint32_t j = i + 1; j < n; ++j)
        array.SetAt(j - 1, array[j]);
    array.SetAt(n - 1, nullptr);
    array.SetSize(n - 1);
    delete pSet;
}

void PurgeUnused(CVobDataArray& array)
{
    for (uint32_t i = array.GetSize(); i-- > 0;)
        if (array[i] != nullptr && array[i]->GetExternalRefCount() == 0)
            RemoveSetAt(array, i);
}

bool HasStartCode(const BYTE* p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 1;
}

// Index of the table entry equal to the sector or just before it; -1 when
// the sector lies outside the table.
int32_t FindVobuIndexIn(const CVobuAddressList& vobus, DWORD dwSector)
{
    int32_t n = vobus.GetSize();
    if (n == 0 || dwSector < vobus[0] || dwSector > vobus[n - 1])
        return -1;
    if (n <= 2)
        return vobus[n - 1] == dwSector ? n - 1 : 0;
    int32_t lo = 0;
    int32_t hi = n - 1;
    while (lo < hi - 1)
    {
        int32_t mid = (lo + hi) / 2;
        if (vobus[mid] < dwSector)
            lo = mid;
        else
            hi = mid;
    }
    return vobus[hi] == dwSector ? hi : lo;
}

// The progress sink's state, put back when an inner step is done with it.
class CSavedProgress
{
public:
    explicit CSavedProgress(CDvdProgress* pProgress) : m_pProgress(pProgress)
    {
        if (!m_pProgress)
            return;
        m_nRange = m_pProgress->GetRange();
        m_nPosition = m_pProgress->GetPosition();
        const char* pszText = m_pProgress->GetText();
        m_text = pszText ? pszText : "";
    }
    void Restore()
    {
        if (!m_pProgress)
            return;
        m_pProgress->SetRange(m_nRange);
        m_pProgress->SetPosition(m_nPosition);
        m_pProgress->SetText(m_text.c_str());
    }

private:
    CDvdProgress* m_pProgress;
    uint64_t m_nRange = 0;
    uint64_t m_nPosition = 0;
    std::string m_text;
};

// Asks the user where a source file went; empty when he does not say.
std::string PromptForMovedFile(const CString& path)
{
    kx::UiServices& ui = kx::GetUiServices();
    CString text =
        FormatString("File %s is not found. Would you like to browse for its new location?", (const char*)path);
    if (ui.ShowMessage(nullptr, text, "", kx::MessageButtons::YesNo, kx::MessageIcon::Warning) !=
        kx::MessageResult::Yes)
        return std::string();
    std::string chosen;
    if (!ui.PromptOpenFile(nullptr, "", "DVD vob file (*.vob)||", kx::PathFileName((const char*)path), chosen))
        return std::string();
    return chosen;
}

// The folder of a file path, with its trailing separator.
CString GetFolderOfPath(const std::string& path)
{
    std::string folder = kx::PathFolder(path);
    folder += kx::NativePathSeparator();
    return CString(folder.c_str());
}

CString FirstVobFileName(const CString& folder, BYTE nVts, bool bMenu)
{
    if (nVts == VOBDATA_VMG)
        return FormatString("%sVIDEO_TS.VOB", (const char*)folder);
    return FormatString("%sVTS_%02d_%d.VOB", (const char*)folder, nVts, bMenu ? 0 : 1);
}

} // namespace

// ---- Construction ------------------------------------------------------------------

void CVobData::Init()
{
    m_cells.SetGrowBy(100);
    m_vobus.SetGrowBy(1000);
    m_records.SetGrowBy(1000);
    memset(m_audioIds, 0xFF, sizeof(m_audioIds));
    m_pBlocks.reset(new CAngleBlockList(nullptr));
}

void CVobData::StartThread()
{
    Start();
    SetPriority(kx::ThreadPriority::BelowNormal);
}

CVobData::CVobData(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu, const CStreamSet* pStreams,
                   const CCellAddressList& cells, const CVobuAddressList& vobus, bool bCheck, CDvdProgress* pProgress)
    : m_streams(nullptr, bMenu)
{
    Init();
    StartThread();
    if (pStreams)
    {
        m_streams = *pStreams;
        m_bStreamsGiven = 1;
    }
    for (uint32_t i = 0; i < cells.GetSize(); ++i)
        if (cells[i])
            m_cells.Add(new CCellAddress(*cells[i]));
    m_vobus = vobus;

    if (!OpenVobFiles(log, pszFolder, nVts, bMenu))
        return;

    bool bBuilt = false;
    if (!bCheck || CheckTables())
    {
        // The first build may fail only because the tables are damaged. Its
        // messages are held back until recovery shows whether the set can be
        // used, so that a set repaired by the second build is not dropped for
        // the errors of the first.
        CDvdLog firstLog;
        bBuilt = BuildBlocks(firstLog, pProgress);
        const CDvdLogEntryArray& entries = firstLog.GetEntries();
        for (uint32_t i = 0; i < entries.GetSize(); ++i)
        {
            const CDvdLogEntry* e = entries[i];
            switch (e->GetKind())
            {
            case CDvdLogEntry::kError:
                if (bBuilt)
                    log.ReportError(e->GetText(), e->GetLocation());
                else
                    log.ReportWarning(e->GetText(), e->GetLocation());
                break;
            case CDvdLogEntry::kWarning: log.ReportWarning(e->GetText(), e->GetLocation()); break;
            case CDvdLogEntry::kCancelled: log.ReportCancel(); break;
            default: log.ReportInfo(e->GetText(), e->GetLocation()); break;
            }
        }
    }
    if (!bBuilt)
    {
        if (log.IsCancelled())
            return;
        log.ReportWarning(kRecovering, DVD_LOCATION);
        if (!RecoverCells(log, pProgress))
        {
            if (!log.IsCancelled())
                log.ReportInfo(kRecoveryFailed, DVD_LOCATION);
            return;
        }
        if (!BuildBlocks(log, pProgress))
            return;
    }
    ResetScanData();
    m_bUsable = true;
}

CVobData::CVobData(CDvdLog& log, const char* pszPath, CDvdProgress* pProgress) : m_streams(nullptr, false)
{
    Init();
    StartThread();
    m_nVts = VOBDATA_SINGLE_FILE;
    m_path = pszPath;
    if (!m_files.OpenAndAdd(&log, pszPath, true, true))
        return;
    DropPartialSector(log);
    if (!RecoverCells(log, pProgress))
        return;
    if (!BuildBlocks(log, pProgress))
        return;
    TakeVideoStandard();
    ResetScanData();
    m_bUsable = true;
}

CVobData::CVobData(CDvdLog& log, const char* pszName, uint32_t nSize, const BYTE* pSectors, const CStreamSet* pStreams)
    : m_streams(nullptr, false)
{
    Init();
    StartThread();
    m_nVts = VOBDATA_MEMORY;
    m_path = pszName;

    CDataFile* pFile = new CDataFile(0);
    if (!pFile->CreateTemp(&log, nSize, false))
    {
        delete pFile;
        log.ReportError("Can't create stock cell", DVD_LOCATION);
        return;
    }
    {
        CDataBlock block(CDataRange(pFile, 0, nSize));
        if (block.GetCount() != nSize)
        {
            delete pFile;
            log.ReportError("Can't create stock cell", DVD_LOCATION);
            return;
        }
        memcpy(block.GetData(), pSectors, nSize);
    }
    m_files.Add(pFile);

    if (!RecoverCells(log, nullptr))
        return;
    if (pStreams)
    {
        m_streams = *pStreams;
        m_bStreamsGiven = 1;
    }
    if (!BuildBlocks(log, nullptr))
        return;
    if (!pStreams)
        TakeVideoStandard();
    ResetScanData();
    m_bUsable = true;
}

CVobData::~CVobData()
{
    Pause();
    Stop();
    m_pBlocks.reset();
    m_streams.RemoveAll();
    m_files.Clear();
}

// A set without a stream set from the IFO plays PAL when its first cell's
// elapsed time counts 25 frames a second.
void CVobData::TakeVideoStandard()
{
    if (m_pBlocks->GetBlockCount() == 0 || m_vobus.GetSize() == 0)
        return;
    BYTE sector[VOB_SECTOR_SIZE];
    if (!ReadSector(m_vobus[0], sector))
        return;
    PciPacket pci;
    pci.ReadFromSector(sector);
    BYTE block[STREAM_BLOCK_SIZE] = {};
    if ((pci.GetCEltm().frames & DVDTIME_RATE_MASK) == DVDTIME_RATE_25)
        block[0] = 0x10;
    m_streams.ReadIfo(block, m_streams.IsMenu());
    m_streams.SetModified();
    m_pBlocks->SetStreams(m_streams);
}

// ---- References ------------------------------------------------------------------

uint32_t CVobData::GetExternalRefCount() const
{
    if (m_nVts == VOBDATA_MEMORY)
        return m_nRefCount;
    uint32_t nOwn = 0;
    for (uint32_t b = 0; b < m_pBlocks->GetBlockCount(); ++b)
    {
        const CAngleBlock* pBlock = m_pBlocks->GetBlock(b);
        for (uint32_t i = 0; i < pBlock->GetIlvuCount(); ++i)
            if (pBlock->GetIlvu(i)->GetVobData() == this)
                ++nOwn;
    }
    return m_nRefCount > nOwn ? m_nRefCount - nOwn : 0;
}

// ---- Files ---------------------------------------------------------------------------

uint32_t CVobData::GetSectorCount() const
{
    uint64_t n = m_files.GetTotalSize() / VOB_SECTOR_SIZE;
    return n > 0xFFFFFFFF ? 0xFFFFFFFF : uint32_t(n);
}

bool CVobData::ReadSector(uint32_t nSector, BYTE* pBuffer) const
{
    if (!m_recoveredNavs.empty())
    {
        const int32_t i = FindVobuIndex(nSector);
        if (i >= 0 && m_vobus[i] == nSector && size_t(i + 1) * VOB_SECTOR_SIZE <= m_recoveredNavs.size())
        {
            std::memcpy(pBuffer, m_recoveredNavs.data() + size_t(i) * VOB_SECTOR_SIZE, VOB_SECTOR_SIZE);
            return true;
        }
    }
    return m_files.Read(pBuffer, uint64_t(nSector) * VOB_SECTOR_SIZE, VOB_SECTOR_SIZE) == VOB_SECTOR_SIZE;
}

// ---- Runs of sectors ----------------------------------------------------------------

namespace
{

const uint32_t VOB_RUN_SECTORS = 512;

} // namespace

const BYTE* CVobSectorRun::Get(uint32_t nSector, uint32_t nLast)
{
    if (nSector < m_nFirst || nSector - m_nFirst >= m_nCount)
    {
        const uint32_t nWanted =
            nLast > nSector ? uint32_t(std::min<uint64_t>(uint64_t(nLast) - nSector + 1, VOB_RUN_SECTORS)) : 1;
        if (m_buffer.size() < size_t(nWanted) * VOB_SECTOR_SIZE)
            m_buffer.resize(size_t(nWanted) * VOB_SECTOR_SIZE);
        m_nFirst = nSector;
        m_nCount =
            m_set.GetFiles().Read(m_buffer.data(), uint64_t(nSector) * VOB_SECTOR_SIZE, nWanted * VOB_SECTOR_SIZE) /
            VOB_SECTOR_SIZE;
        if (m_nCount == 0)
            return nullptr;
    }
    return m_buffer.data() + size_t(nSector - m_nFirst) * VOB_SECTOR_SIZE;
}

bool CVobData::OpenVobFiles(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu)
{
    m_nVts = nVts;
    m_bMenu = bMenu ? 1 : 0;
    m_path = pszFolder;
    if (bMenu)
    {
        if (!m_files.OpenAndAdd(&log, FirstVobFileName(m_path, nVts, true), true, true))
            return false;
        DropPartialSector(log);
        return true;
    }
    for (int nPart = 1;; ++nPart)
    {
        CString name = FormatString("%sVTS_%02d_%d.VOB", (const char*)m_path, nVts, nPart);
        if (!m_files.OpenAndAdd(&log, name, true, false))
            break;
        DropPartialSector(log);
    }
    if (m_files.GetSize() == 0)
    {
        log.ReportError(FormatString("Can't find VTS %d movie vob file.", nVts), DVD_LOCATION);
        return false;
    }
    return true;
}

void CVobData::DropPartialSector(CDvdLog& log)
{
    if (m_files.GetSize() == 0)
        return;
    CDataFile* pLast = m_files[m_files.GetSize() - 1];
    const uint32_t nPartial = pLast->GetSize() % VOB_SECTOR_SIZE;
    if (nPartial == 0)
        return;
    log.ReportWarning(FormatString("Dropped the partial sector at byte %u of %s (%u bytes)",
                                   pLast->GetSize() - nPartial, pLast->GetName(), nPartial),
                      DVD_LOCATION);
    pLast->ClipSize(pLast->GetSize() - nPartial);
}

// ---- Address tables ----------------------------------------------------------------

int32_t CVobData::FindVobuIndex(DWORD dwSector) const
{
    return FindVobuIndexIn(m_vobus, dwSector);
}

bool CVobData::GetCellVobus(CDvdLog& log, const CCellAddress& address, const CVobuAddressList& vobus,
                            CVobuAddressList& out) const
{
    out.SetSize(0);
    int32_t i = FindVobuIndexIn(vobus, address.m_dwFirstSector);
    if (i < 0)
    {
        log.ReportError("can't find segment", DVD_LOCATION);
        return false;
    }
    for (; i < vobus.GetSize() && vobus[i] <= address.m_dwLastSector; ++i)
        out.Add(vobus[i]);
    return true;
}

bool CVobData::CheckTables()
{
    const uint32_t nSectors = GetSectorCount();
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        if (m_cells[i]->m_dwLastSector >= nSectors || m_cells[i]->m_dwFirstSector > m_cells[i]->m_dwLastSector)
            return false;
    BYTE sector[VOB_SECTOR_SIZE];
    for (int32_t i = 0; i < m_vobus.GetSize(); ++i)
    {
        if (m_vobus[i] >= nSectors || (i > 0 && m_vobus[i] <= m_vobus[i - 1]))
            return false;
        if (i % NAV_CHECK_STEP == 0)
        {
            if (!ReadSector(m_vobus[i], sector) || GetBE32(sector + NAV_PCI_OFFSET) != m_vobus[i])
                return false;
        }
    }
    if (m_cells.GetSize() > 1)
        SortCellAddresses(m_cells.GetData(), 0, int(m_cells.GetSize()) - 1, CompareCellAddressSectors);
    for (uint32_t i = 1; i < m_cells.GetSize(); ++i)
        if (m_cells[i]->m_dwFirstSector != m_cells[i - 1]->m_dwLastSector + 1)
            return false;
    return true;
}

bool CVobData::RecoverCells(CDvdLog& log, CDvdProgress* pProgress)
{
    m_vobus.SetSize(0);
    m_cells.RemoveAll();
    ResetScanData();
    m_records.SetSize(0);

    const uint32_t nSectors = GetSectorCount();
    // Reserved whole: growing would copy what is kept again and again.
    std::vector<BYTE>().swap(m_recoveredNavs);
    m_recoveredNavs.reserve(std::min<size_t>(RECOVERED_NAVS_LIMIT, size_t(nSectors) * VOB_SECTOR_SIZE));
    m_files.AdviseSequential();
    CSavedProgress saved(pProgress);
    if (pProgress)
    {
        pProgress->SetText("Recovering cells information ... ");
        pProgress->SetRange(nSectors);
        pProgress->SetPosition(0);
    }

    WORD wVobId = 0xFFFF;
    BYTE nCellId = 0xFF;
    DWORD dwCellStart = 0;
    uint32_t nBadHeaders = 0;
    std::vector<BYTE> buffer;
    uint32_t nLoadStart = 0;
    uint32_t nLoaded = 0;
    bool bOk = nSectors > 0;
    if (!bOk)
        log.ReportError("Bad segment size", DVD_LOCATION);

    for (uint32_t s = 0; bOk && s < nSectors; ++s)
    {
        if (s >= nLoadStart + nLoaded)
        {
            uint32_t nWant = std::min<uint32_t>(nSectors - s, RECOVERY_LOAD_SIZE / VOB_SECTOR_SIZE);
            buffer.resize(size_t(nWant) * VOB_SECTOR_SIZE);
            uint32_t nRead = m_files.Read(buffer.data(), uint64_t(s) * VOB_SECTOR_SIZE, nWant * VOB_SECTOR_SIZE);
            if (nRead < VOB_SECTOR_SIZE)
            {
                log.ReportError(FormatString("MVF: %s", GetLastErrorText().GetText()), DVD_LOCATION);
                bOk = false;
                break;
            }
            nLoadStart = s;
            nLoaded = nRead / VOB_SECTOR_SIZE;
        }
        const BYTE* p = buffer.data() + size_t(s - nLoadStart) * VOB_SECTOR_SIZE;

        if (!HasStartCode(p) && ++nBadHeaders <= MAX_HEADER_WARNINGS)
        {
            CDataRange range = m_files.Locate(uint64_t(s) * VOB_SECTOR_SIZE, VOB_SECTOR_SIZE);
            CDataFile* pFile = range.GetFile();
            log.ReportWarning(FormatString("Invalid block header in sector %u in %s",
                                           range.GetOffset() / VOB_SECTOR_SIZE, pFile ? pFile->GetName() : ""),
                              DVD_LOCATION);
        }

        CountPacket(m_vobus.GetSize() - 1, p);

        // The packets of the sector; every length is checked against the
        // sector before it is followed.
        const BYTE* pPci = nullptr;
        const BYTE* pDsi = nullptr;
        size_t pos = 14 + (p[13] & 0x07);
        while (pos + 7 <= VOB_SECTOR_SIZE && HasStartCode(p + pos))
        {
            if (p[pos + 3] == 0xBF)
            {
                if (p[pos + 6] == 0)
                {
                    if (pPci)
                    {
                        log.ReportError("BBH1", DVD_LOCATION);
                        bOk = false;
                        break;
                    }
                    pPci = p + pos + 7;
                }
                else if (p[pos + 6] == 1 && pos + 7 + 28 <= VOB_SECTOR_SIZE)
                {
                    if (pDsi)
                    {
                        log.ReportError("BBH2", DVD_LOCATION);
                        bOk = false;
                        break;
                    }
                    pDsi = p + pos + 7;
                }
            }
            pos += 6 + GetBE16(p + pos + 4);
        }
        if (!bOk)
            break;
        if (pDsi && !pPci)
        {
            log.ReportError("BBH3", DVD_LOCATION);
            bOk = false;
            break;
        }
        if (pPci && !pDsi)
        {
            log.ReportError("BBH3a", DVD_LOCATION);
            bOk = false;
            break;
        }

        if (pPci)
        {
            int32_t n = m_vobus.GetSize();
            if (n > 0)
                m_records[n - 1].length = WORD(std::min<DWORD>(s - m_vobus[n - 1], 0xFFFF));
            m_vobus.Add(s);
            if (m_recoveredNavs.size() == size_t(n) * VOB_SECTOR_SIZE &&
                m_recoveredNavs.size() + VOB_SECTOR_SIZE <= RECOVERED_NAVS_LIMIT)
                m_recoveredNavs.insert(m_recoveredNavs.end(), p, p + VOB_SECTOR_SIZE);
            CVobuScanRecord cleared = {};
            m_records.Add(cleared);
            m_nLastScanned = n;

            WORD wNewVob = GetBE16(pDsi + 24);
            BYTE nNewCell = pDsi[27];
            if (wNewVob != wVobId || nNewCell != nCellId)
            {
                if (s != 0)
                {
                    CCellAddress* pCell = new CCellAddress;
                    pCell->m_wVobId = wVobId;
                    pCell->m_nCellId = nCellId;
                    pCell->m_dwFirstSector = dwCellStart;
                    pCell->m_dwLastSector = s - 1;
                    m_cells.Add(pCell);
                }
                wVobId = wNewVob;
                nCellId = nNewCell;
                dwCellStart = s;
            }
        }

        if (pProgress && (s + 1) % 50 == 0)
        {
            pProgress->SetPosition(s + 1);
            if (pProgress->IsCancelled())
            {
                log.ReportCancel();
                bOk = false;
            }
        }
    }

    if (nBadHeaders > MAX_HEADER_WARNINGS)
        log.ReportWarning(FormatString("Invalid block header in %u more sectors", nBadHeaders - MAX_HEADER_WARNINGS),
                          DVD_LOCATION);
    if (!bOk)
    {
        m_vobus.SetSize(0);
        m_cells.RemoveAll();
        m_records.SetSize(0);
        std::vector<BYTE>().swap(m_recoveredNavs);
        return false;
    }

    CCellAddress* pLast = new CCellAddress;
    pLast->m_wVobId = wVobId;
    pLast->m_nCellId = nCellId;
    pLast->m_dwFirstSector = dwCellStart;
    pLast->m_dwLastSector = nSectors - 1;
    m_cells.Add(pLast);
    int32_t n = m_vobus.GetSize();
    if (n > 0)
        m_records[n - 1].length = WORD(std::min<DWORD>(nSectors - m_vobus[n - 1], 0xFFFF));
    saved.Restore();
    return true;
}

bool CVobData::BuildBlocks(CDvdLog& log, CDvdProgress* pProgress)
{
    struct CDropRecoveredNavs
    {
        std::vector<BYTE>& navs;
        ~CDropRecoveredNavs() { std::vector<BYTE>().swap(navs); }
    } drop{m_recoveredNavs};

    m_pBlocks.reset(new CAngleBlockList(nullptr, m_bMenu != 0));
    m_pBlocks->SetModified();
    CVobuAddressList vobus;
    // The block holding each vob and cell id: a search of the blocks for
    // every C_ADT entry would take quadratic time on a set of many cells.
    std::unordered_map<DWORD, CAngleBlock*> blocksOfCells;
    auto cellKey = [](const CVobCell& cell) { return DWORD(cell.GetVobId()) << 8 | cell.GetCellId(); };
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
    {
        const CCellAddress& entry = *m_cells[i];
        if (i > 0 && entry.m_dwFirstSector != m_cells[i - 1]->m_dwLastSector + 1)
        {
            log.ReportError("Bad segments info", DVD_LOCATION);
            return false;
        }
        if (!GetCellVobus(log, entry, m_vobus, vobus))
            return false;

        const auto known = blocksOfCells.find(DWORD(entry.m_wVobId) << 8 | entry.m_nCellId);
        if (known != blocksOfCells.end())
        {
            CAngleBlock* pBlock = known->second;
            pBlock->GetIlvu(uint32_t(pBlock->FindIlvu(entry.m_wVobId, entry.m_nCellId)))->AddPiece(entry, vobus);
            continue;
        }

        CVobCell* pCell = new CVobCell(this, entry, vobus, nullptr);
        if (!pCell->GetFirstDsi().IsIlvu() || m_pBlocks->GetBlockCount() == 0)
        {
            blocksOfCells.emplace(cellKey(*pCell), m_pBlocks->AddCell(pCell, nullptr));
            continue;
        }
        bool bAdded = false;
        for (uint32_t b = m_pBlocks->GetBlockCount(); b-- > 0;)
        {
            CAngleBlock* pBlock = m_pBlocks->GetBlock(b);
            const CVobCell* pFirst = pBlock->GetIlvu(0);
            if (!pFirst->GetFirstDsi().IsIlvu())
                break;
            if (pFirst->AnnouncesAngles() && int(pBlock->GetIlvuCount()) >= pFirst->GetAngleCount())
                break;
            if (pFirst->GetCellId() == pCell->GetCellId())
            {
                if (pBlock->AddCell(pCell, nullptr))
                    blocksOfCells.emplace(cellKey(*pCell), pBlock);
                pCell->SetParent(pBlock);
                bAdded = true;
                break;
            }
        }
        if (!bAdded)
            blocksOfCells.emplace(cellKey(*pCell), m_pBlocks->AddCell(pCell, nullptr));
    }
    for (uint32_t b = 0; b < m_pBlocks->GetBlockCount(); ++b)
        m_pBlocks->GetBlock(b)->SortByVobId();
    m_pBlocks->SetStreams(m_streams);
    return ParsePristineButtons(log, pProgress);
}

bool CVobData::ParsePristineButtons(CDvdLog& log, CDvdProgress* pProgress)
{
    const CAngleBlockList& blocks = *m_pBlocks;
    if (blocks.GetBlockCount() == 0)
        return true;
    // Only what this parse reports counts, not what the caller's log held.
    const bool bHadError = log.HasError();
    uint64_t nTotal = 0;
    for (uint32_t b = 0; b < blocks.GetBlockCount(); ++b)
        for (uint32_t i = 0; i < blocks.GetBlock(b)->GetIlvuCount(); ++i)
            nTotal += blocks.GetBlock(b)->GetIlvu(i)->GetVobuCount();
    CSavedProgress saved(pProgress);
    if (pProgress)
    {
        if (m_nVts == VOBDATA_VMG)
            pProgress->SetText("Processing VMG menus information ... ");
        else if (m_nVts <= 99)
            pProgress->SetText(
                FormatString("Processing VTS %d%s information ... ", m_nVts, m_bMenu ? " menus" : " BOV"));
        else
            pProgress->SetText("Processing vob file BOV information ... ");
        pProgress->SetRange(nTotal);
        pProgress->SetPosition(0);
    }
    const bool bMenu = m_nVts == VOBDATA_VMG || m_bMenu;
    for (uint32_t b = 0; b < blocks.GetBlockCount(); ++b)
    {
        for (uint32_t i = 0; i < blocks.GetBlock(b)->GetIlvuCount(); ++i)
        {
            blocks.GetBlock(b)->GetIlvu(i)->ParseButtons(log, bMenu, pProgress);
            if (log.IsCancelled() || (!bHadError && log.HasError()))
                return false;
        }
    }
    saved.Restore();
    return true;
}

void CVobData::GetBlocks(CAngleBlockList& domain) const
{
    domain.CopyConstruct(*m_pBlocks);
}

// ---- Registry ----------------------------------------------------------------------

void RegisterVobData(CVobData* pSet)
{
    CVobScanScheduler& scheduler = GetVobScanScheduler();
    {
        kx::ScopedLock lock(scheduler.GetLock());
        GetRegistry().sets.Add(pSet);
    }
    scheduler.Poke();
}

CVobData* OpenDomainVobData(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu, const CStreamSet* pStreams,
                            const CCellAddressList& cells, const CVobuAddressList& vobus, bool bCheck,
                            CDvdProgress* pProgress, bool bPrompt)
{
    CVobDataRegistry& registry = GetRegistry();
    CString folder = pszFolder;
    for (uint32_t i = 0; i < registry.relocations.GetSize(); ++i)
    {
        if (registry.relocations[i]->oldPath.CompareNoCase(folder) == 0)
        {
            folder = registry.relocations[i]->newPath;
            break;
        }
    }
    for (uint32_t i = 0; i < registry.sets.GetSize(); ++i)
    {
        CVobData* pSet = registry.sets[i];
        if (pSet->GetVtsNumber() == nVts && pSet->IsMenu() == bMenu &&
            CString(pSet->GetPath()).CompareNoCase(folder) == 0)
            return pSet;
    }
    if (bPrompt && !kx::FolderExists((const char*)folder))
    {
        CString fileName = FirstVobFileName(folder, nVts, bMenu);
        std::string chosen = PromptForMovedFile(fileName);
        if (chosen.empty())
        {
            log.ReportError(FormatString("File %s is not found", (const char*)fileName), DVD_LOCATION);
            return nullptr;
        }
        CString newFolder = GetFolderOfPath(chosen);
        for (uint32_t i = 0; i < registry.relocations.GetSize(); ++i)
            if (registry.relocations[i]->oldPath.CompareNoCase(folder) == 0)
                registry.relocations[i]->newPath = newFolder;
        CPathRelocation* pEntry = new CPathRelocation;
        pEntry->oldPath = folder;
        pEntry->newPath = newFolder;
        registry.relocations.Add(pEntry);
        folder = newFolder;
    }
    CVobData* pSet = new CVobData(log, folder, nVts, bMenu, pStreams, cells, vobus, bCheck, pProgress);
    if (log.IsCancelled() || !pSet->IsUsable())
    {
        delete pSet;
        return nullptr;
    }
    RegisterVobData(pSet);
    return pSet;
}

CVobData* OpenVobFileData(CDvdLog& log, const char* pszPath, CDvdProgress* pProgress, bool bPrompt)
{
    CVobDataRegistry& registry = GetRegistry();
    CString path = pszPath;
    for (uint32_t i = 0; i < registry.relocations.GetSize(); ++i)
    {
        if (registry.relocations[i]->oldPath.CompareNoCase(path) == 0)
        {
            path = registry.relocations[i]->newPath;
            break;
        }
    }
    for (uint32_t i = 0; i < registry.sets.GetSize(); ++i)
    {
        const CDataFileSet& files = registry.sets[i]->GetFiles();
        for (uint32_t f = 0; f < files.GetSize(); ++f)
            if (files[f] && CString(files[f]->GetName()).CompareNoCase(path) == 0)
                return registry.sets[i];
    }
    if (bPrompt && !kx::FileExists((const char*)path))
    {
        std::string chosen = PromptForMovedFile(path);
        if (chosen.empty())
        {
            log.ReportError(FormatString("File %s is not found", (const char*)path), DVD_LOCATION);
            return nullptr;
        }
        CString newPath = chosen.c_str();
        for (uint32_t i = 0; i < registry.relocations.GetSize(); ++i)
            if (registry.relocations[i]->oldPath.CompareNoCase(path) == 0)
                registry.relocations[i]->newPath = newPath;
        CPathRelocation* pEntry = new CPathRelocation;
        pEntry->oldPath = path;
        pEntry->newPath = newPath;
        registry.relocations.Add(pEntry);
        path = newPath;
    }
    CVobData* pSet = new CVobData(log, path, pProgress);
    if (log.IsCancelled() || !pSet->IsUsable())
    {
        delete pSet;
        return nullptr;
    }
    RegisterVobData(pSet);
    return pSet;
}

CVobData* CreateMemoryVobData(CDvdLog& log, uint32_t nSize, const BYTE* pSectors)
{
    CVobData* pSet = new CVobData(log, "", nSize, pSectors, nullptr);
    if (log.IsCancelled() || log.HasError() || !pSet->IsUsable())
    {
        delete pSet;
        return nullptr;
    }
    GetRegistry().memory.Add(pSet);
    return pSet;
}

uint32_t CountUnusedVobData()
{
    const CVobDataArray& sets = GetRegistry().sets;
    uint32_t n = 0;
    for (uint32_t i = 0; i < sets.GetSize(); ++i)
        if (sets[i]->GetExternalRefCount() == 0)
            ++n;
    return n;
}

void PurgeUnusedVobData()
{
    CVobDataRegistry& registry = GetRegistry();
    PurgeUnused(registry.memory);
    kx::ScopedLock lock(GetVobScanScheduler().GetLock());
    PurgeUnused(registry.sets);
}

uint32_t GetVobDataCount()
{
    return GetRegistry().sets.GetSize();
}

CVobData* GetVobDataAt(uint32_t nIndex)
{
    return GetRegistry().sets[nIndex];
}

const CPathRelocationArray& GetPathRelocations()
{
    return GetRegistry().relocations;
}

void DeleteAllVobData()
{
    CVobDataRegistry& registry = GetRegistry();
    registry.sets.RemoveAll();
    registry.memory.RemoveAll();
    registry.relocations.RemoveAll();
}

void InitVobDataRegistry()
{
    GetRegistry();
}
