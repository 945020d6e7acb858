#include "DVD/source/VobScan.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{

// A VOBU is read in loads of at most this many sectors.
const uint32_t SCAN_LOAD_SECTORS = 512;

void AddSaturated(WORD& count)
{
    if (count < 0xFFFF)
        ++count;
}

int32_t NextVobuIndex(const CVobData& set, int32_t nPrevious, DWORD dwSector)
{
    const CVobuAddressList& vobus = set.GetVobus();
    if (nPrevious + 1 < vobus.GetSize() && vobus[nPrevious + 1] == dwSector)
        return nPrevious + 1;
    return set.FindVobuIndex(dwSector);
}

} // namespace

// ---- Counting --------------------------------------------------------------------------

void CVobData::ResetScanData()
{
    memset(m_audioIds, 0xFF, sizeof(m_audioIds));
    m_records.SetSize(m_vobus.GetSize(), true);
    m_nAudioStreams = 0;
    m_nSubpictureStreams = 0;
}

void CVobData::CountPacket(int32_t i, const BYTE* pSector)
{
    if (i < 0 || i >= m_records.GetSize() || !pSector)
        return;
    CVobuScanRecord& record = m_records[i];
    BYTE nStream = 0;
    BYTE nCoding = GetAudioStreamInfo(pSector, nStream);
    if (nCoding != 255 && nStream < 8)
    {
        m_audioIds[nStream] = nCoding;
        AddSaturated(record.audio[nStream]);
        m_nAudioStreams = std::max<BYTE>(m_nAudioStreams, BYTE(nStream + 1));
        return;
    }
    int nSubpicture = GetSubpictureStream(pSector);
    if (nSubpicture >= 0 && nSubpicture < 32)
    {
        AddSaturated(record.subpictures[nSubpicture]);
        m_nSubpictureStreams = std::max<BYTE>(m_nSubpictureStreams, BYTE(nSubpicture + 1));
    }
}

void CVobData::ScanVobu(int32_t i)
{
    if (i < 0 || i >= m_records.GetSize() || i >= m_vobus.GetSize() || m_records[i].length != 0)
        return;
    const uint32_t nSectors = GetSectorCount();
    const DWORD dwStart = m_vobus[i] + 1;
    DWORD dwEnd = i + 1 < m_vobus.GetSize() ? m_vobus[i + 1] : nSectors;
    dwEnd = std::min<DWORD>(dwEnd, nSectors);
    for (DWORD s = dwStart; s < dwEnd;)
    {
        uint32_t nWant = std::min<uint32_t>(dwEnd - s, SCAN_LOAD_SECTORS);
        // The buffer stays with the set: a fresh one for every VOBU costs
        // more in allocation and page faults than the read itself.
        if (m_scanBuffer.size() < size_t(nWant) * VOB_SECTOR_SIZE)
            m_scanBuffer.resize(size_t(nWant) * VOB_SECTOR_SIZE);
        uint32_t nRead =
            m_files.Read(m_scanBuffer.data(), uint64_t(s) * VOB_SECTOR_SIZE, nWant * VOB_SECTOR_SIZE) / VOB_SECTOR_SIZE;
        for (uint32_t k = 0; k < nRead; ++k)
            CountPacket(i, m_scanBuffer.data() + size_t(k) * VOB_SECTOR_SIZE);
        if (nRead < nWant)
            break; // the files end early: what is missing holds no packs
        s += nWant;
    }
    // A damaged table may give a VOBU no sectors; it still counts as scanned.
    DWORD dwLength = dwEnd > m_vobus[i] ? dwEnd - m_vobus[i] : 1;
    m_records[i].length = WORD(std::min<DWORD>(dwLength, 0xFFFF));
    m_nLastScanned = i;
}

bool CVobData::HoldsOnlyStreams(DWORD dwNavSector, BYTE nAudio, DWORD dwSubpictures)
{
    kx::ScopedLock lock(GetLock());
    const int32_t i = FindVobuIndex(dwNavSector);
    if (i < 0 || m_vobus[i] != dwNavSector || i >= m_records.GetSize() || m_records[i].length == 0)
        return false;
    const CVobuScanRecord& record = m_records[i];
    for (int a = 0; a < 8; ++a)
        if (record.audio[a] != 0 && !(nAudio & (1u << a)))
            return false;
    for (int p = 0; p < 32; ++p)
        if (record.subpictures[p] != 0 && !(dwSubpictures & (DWORD(1) << p)))
            return false;
    return true;
}

bool CVobData::GetStreamSizes(const CGrowArray<DWORD>& vobus, DWORD* pAudio, DWORD* pSubpictures)
{
    kx::ScopedLock lock(GetLock());
    memset(pAudio, 0, sizeof(DWORD) * 8);
    memset(pSubpictures, 0, sizeof(DWORD) * 32);
    uint32_t nScanned = 0;
    uint32_t nNotScanned = 0;
    int32_t nIndex = -1;
    for (int32_t k = 0; k < vobus.GetSize(); ++k)
    {
        nIndex = NextVobuIndex(*this, nIndex, vobus[k]);
        if (nIndex >= 0 && nIndex < m_records.GetSize() && m_records[nIndex].length != 0)
        {
            const CVobuScanRecord& record = m_records[nIndex];
            for (int a = 0; a < m_nAudioStreams; ++a)
                pAudio[a] += record.audio[a];
            for (int p = 0; p < m_nSubpictureStreams; ++p)
                pSubpictures[p] += record.subpictures[p];
            ++nScanned;
        }
        else
        {
            ++nNotScanned;
        }
    }
    if (nNotScanned > 0 && nScanned > 0)
    {
        // The product of a large total and many VOBUs does not fit 32 bits.
        auto extrapolate = [&](DWORD& total)
        {
            uint64_t nExtra = uint64_t(total) * nNotScanned / nScanned;
            total = DWORD(std::min<uint64_t>(uint64_t(total) + nExtra, 0xFFFFFFFF));
        };
        for (int a = 0; a < m_nAudioStreams; ++a)
            extrapolate(pAudio[a]);
        for (int p = 0; p < m_nSubpictureStreams; ++p)
            extrapolate(pSubpictures[p]);
    }
    return nNotScanned == 0;
}

// ---- The set's thread ----------------------------------------------------------------

bool CVobData::DoScanUnit()
{
    kx::ScopedLock lock(GetLock());
    switch (m_nScanState.load())
    {
    case VOBSCAN_PRELIMINARY:
        if (m_nBlockCursor < m_pBlocks->GetBlockCount())
        {
            const CAngleBlock* pBlock = m_pBlocks->GetBlock(m_nBlockCursor);
            for (uint32_t c = 0; c < pBlock->GetIlvuCount(); ++c)
            {
                const CGrowArray<DWORD>& cellVobus = pBlock->GetIlvu(c)->GetSourceVobus();
                int32_t nCount = std::min<int32_t>(cellVobus.GetSize(), VOBSCAN_PRELIMINARY_VOBUS);
                int32_t nIndex = -1;
                for (int32_t k = 0; k < nCount; ++k)
                {
                    nIndex = NextVobuIndex(*this, nIndex, cellVobus[k]);
                    ScanVobu(nIndex);
                }
            }
            ++m_nBlockCursor;
        }
        else
        {
            m_nScanState = VOBSCAN_IDLE;
            m_bPreliminaryDone = true;
        }
        break;
    case VOBSCAN_FULL:
        if (m_nVobuCursor < uint32_t(m_vobus.GetSize()))
        {
            ScanVobu(int32_t(m_nVobuCursor.load()));
            ++m_nVobuCursor;
        }
        else
        {
            m_nScanState = VOBSCAN_IDLE;
        }
        break;
    default: break;
    }
    return m_nScanState.load() != VOBSCAN_IDLE;
}

uint32_t CVobData::Run()
{
    m_nScanState = VOBSCAN_IDLE;
    for (;;)
    {
        Message message;
        if (GetMessage(message))
        {
            switch (message.command)
            {
            case VOBSCAN_CMD_QUIT: Reply(message, 0); return 0;
            case VOBSCAN_CMD_STOP: m_nScanState = VOBSCAN_IDLE; break;
            case VOBSCAN_CMD_PRELIMINARY: m_nScanState = VOBSCAN_PRELIMINARY; break;
            case VOBSCAN_CMD_FULL:
                if (m_nScanState.load() != VOBSCAN_FULL)
                {
                    // The full scan walks the whole set.
                    m_files.AdviseSequential();
                    m_nScanState = VOBSCAN_FULL;
                }
                break;
            default: break;
            }
            Reply(message, 0);
        }
        else if (m_nScanState.load() == VOBSCAN_IDLE)
        {
            GetVobScanScheduler().Poke();
            WaitForMessage();
            continue;
        }
        if (m_nScanState.load() != VOBSCAN_IDLE)
            DoScanUnit();
    }
}

// ---- The scheduler ------------------------------------------------------------------

CVobScanScheduler::CVobScanScheduler()
{
    InitVobDataRegistry();
    Start();
    SetPriority(kx::ThreadPriority::BelowNormal);
}

CVobScanScheduler::~CVobScanScheduler()
{
    Pause();
    Stop();
    ReleaseStockCells();
    kx::ScopedLock lock(GetLock());
    DeleteAllVobData();
}

uint32_t CVobScanScheduler::Run()
{
    m_bRunning = 0;
    for (;;)
    {
        while (!m_bRunning)
        {
            Message message;
            if (!GetMessage(message))
            {
                WaitForMessage();
                continue;
            }
            if (message.command == VOBSCAN_CMD_QUIT)
            {
                Reply(message, 0);
                return 0;
            }
            if (message.command == VOBSCAN_CMD_STOP)
                m_bRunning = 0;
            else if (message.command == VOBSCAN_CMD_PRELIMINARY)
                m_bRunning = 1;
            Reply(message, 0);
        }
        kx::ScopedLock lock(GetLock());
        for (uint32_t i = 0; i < GetVobDataCount(); ++i)
        {
            CVobData* pSet = GetVobDataAt(i);
            if (!pSet->IsPreliminaryDone())
            {
                pSet->Resume();
                break;
            }
        }
        m_bRunning = 0;
    }
}

void CVobScanScheduler::Poke()
{
    PostMessage(VOBSCAN_CMD_PRELIMINARY, 0);
}

CVobScanScheduler& GetVobScanScheduler()
{
    static CVobScanScheduler scheduler;
    return scheduler;
}

// ---- Queries over sets ------------------------------------------------------------

bool IsPreliminaryScanDone(CVobData* const* ppSets, uint32_t nCount)
{
    for (uint32_t i = 0; i < nCount; ++i)
        if (ppSets[i] && !ppSets[i]->IsPreliminaryDone())
            return false;
    return true;
}

bool IsFullScanRunning(CVobData* const* ppSets, uint32_t nCount)
{
    for (uint32_t i = 0; i < nCount; ++i)
        if (ppSets[i] && ppSets[i]->GetScanState() == VOBSCAN_FULL)
            return true;
    return false;
}

bool IsFullScanComplete(CVobData* const* ppSets, uint32_t nCount)
{
    for (uint32_t i = 0; i < nCount; ++i)
        if (ppSets[i] && int64_t(ppSets[i]->GetLastScannedVobu()) + 1 < ppSets[i]->GetVobus().GetSize())
            return false;
    return true;
}

void StartFullScan(CVobData* const* ppSets, uint32_t nCount)
{
    for (uint32_t i = 0; i < nCount; ++i)
        if (ppSets[i])
            ppSets[i]->PostMessage(VOBSCAN_CMD_FULL, 0);
}

void StopScan(CVobData* const* ppSets, uint32_t nCount)
{
    for (uint32_t i = 0; i < nCount; ++i)
        if (ppSets[i])
            ppSets[i]->PostMessage(VOBSCAN_CMD_STOP, 0);
}
