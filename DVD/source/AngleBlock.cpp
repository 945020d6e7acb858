#include "DVD/source/AngleBlock.h"

#include "DVD/source/Menu.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/Validator.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobScan.h"

#include <algorithm>
#include <cstring>

namespace
{

// A domain may hold thousands of blocks (one per cell of a disc, more after
// splits); growing the list one slot at a time copies it at every block.
const uint32_t BLOCK_LIST_GROW_BY = 256;

void AddVobData(CVobDataList& sets, CVobData* pSet)
{
    if (!pSet)
        return;
    for (int32_t i = 0; i < sets.GetSize(); ++i)
        if (sets[i] == pSet)
            return;
    sets.Add(pSet);
}

void AddIlvuVobData(CVobDataList& sets, const CVobCell* pIlvu)
{
    if (!pIlvu)
        return;
    AddVobData(sets, pIlvu->GetVobData());
    if (const CStillSource* pStill = pIlvu->GetStillSource())
        AddVobData(sets, pStill->GetVobData());
}

// The aspect ratio code of a 16:9 picture.
const BYTE kAspectWide = 3;

} // namespace

// ---- CAngleBlock ----------------------------------------------------------------

CAngleBlock::CAngleBlock(CVobCell* pFirst, CVobCell* pPristine, CAngleBlockList* pList)
    : CDvdObject(DVDNODE_ANGLE_BLOCK, pList)
{
    if (pFirst)
    {
        m_ilvus.Add(pFirst);
        AddPristine(pPristine);
        m_bInterleaved = pFirst->GetFirstDsi().IsIlvu() ? 1 : 0;
    }
}

CAngleBlock::CAngleBlock(const CAngleBlock& source, CAngleBlockList* pList)
    : CDvdObject(source, pList), m_bInterleaved(source.m_bInterleaved), m_bMasksValid(source.m_bMasksValid),
      m_nAudioMask(source.m_nAudioMask), m_dwSubpictureMask(source.m_dwSubpictureMask)
{
    // The blocks of a source VOB set's own domain are the imported content
    // itself: a copy of one restores to it.
    const CDvdObject* pSourceList = source.GetParent();
    for (uint32_t i = 0; i < source.m_ilvus.GetSize(); ++i)
    {
        const CVobCell* pIlvu = source.m_ilvus[i];
        m_ilvus.Add(CVobCell::CopyConstruct(*pIlvu, this));
        CVobCell* pPristine = source.GetPristine(i);
        const CVobData* pSet = pIlvu->GetVobData();
        if (!pPristine && pSet && !pIlvu->IsStock() && pSourceList == &pSet->GetPristineBlocks())
            pPristine = const_cast<CVobCell*>(pIlvu);
        AddPristine(pPristine);
    }
}

CAngleBlock* CAngleBlock::CopyConstruct(const CAngleBlock& source, CAngleBlockList* pList)
{
    return new CAngleBlock(source, pList);
}

CAngleBlock::~CAngleBlock()
{
    ReleasePristine(0);
}

int CAngleBlock::GetChildIndex(const CDvdObject* pChild) const
{
    const CDvdObject* pNode = pChild ? pChild->Self() : nullptr;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        if (m_ilvus[i] == pNode)
            return int(i);
    return -1;
}

bool CAngleBlock::IsModified() const
{
    if (CDvdObject::IsModified())
        return true;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        if (m_ilvus[i]->IsModified())
            return true;
    return false;
}

void CAngleBlock::ClearModified()
{
    CDvdObject::ClearModified();
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        m_ilvus[i]->ClearModified();
}

bool CAngleBlock::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        bReported = m_ilvus[i]->Validate(validator, messages) || bReported;
    return bReported;
}

void CAngleBlock::Invalidate()
{
    m_bMasksValid = 0;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        m_ilvus[i]->Invalidate();
}

CAngleBlockList* CAngleBlock::GetList() const
{
    CDvdObject* pParent = GetParent();
    return pParent && pParent->GetKind() == DVDNODE_ANGLE_BLOCK_LIST ? static_cast<CAngleBlockList*>(pParent) : nullptr;
}

int CAngleBlock::FindIlvu(WORD wVobId, BYTE nCellId) const
{
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        if (m_ilvus[i]->GetVobId() == wVobId && m_ilvus[i]->GetCellId() == nCellId)
            return int(i);
    return -1;
}

bool CAngleBlock::AddCell(CVobCell* pIlvu, CVobCell* pPristine)
{
    if (HasCell(pIlvu->GetVobId(), pIlvu->GetCellId()))
        return false;
    m_ilvus.Add(pIlvu);
    AddPristine(pPristine);
    if (!m_bInterleaved)
        m_bInterleaved = pIlvu->GetFirstDsi().IsIlvu() ? 1 : 0;
    return true;
}

void CAngleBlock::SortByVobId()
{
    // Few angles: an insertion sort keeps equal ids in their order. The
    // pristine entries follow their angles.
    const uint32_t nCount = m_ilvus.GetSize();
    if (nCount < 2)
        return;
    SetPristineCount(nCount);
    CVobCell** ppIlvus = m_ilvus.GetData();
    for (uint32_t i = 1; i < nCount; ++i)
    {
        CVobCell* pIlvu = ppIlvus[i];
        CVobCell* pPristine = m_pristine[int32_t(i)];
        uint32_t j = i;
        for (; j > 0 && ppIlvus[j - 1]->GetVobId() > pIlvu->GetVobId(); --j)
        {
            ppIlvus[j] = ppIlvus[j - 1];
            m_pristine[int32_t(j)] = m_pristine[int32_t(j - 1)];
        }
        ppIlvus[j] = pIlvu;
        m_pristine[int32_t(j)] = pPristine;
    }
}

void CAngleBlock::Clear()
{
    m_ilvus.RemoveAll();
    SetPristineCount(0);
    m_bMasksValid = 0;
}

// ---- Pristine ILVUs ---------------------------------------------------------------

CVobCell* CAngleBlock::GetPristine(uint32_t nAngle) const
{
    return nAngle < GetPristineCount() ? m_pristine[int32_t(nAngle)] : nullptr;
}

void CAngleBlock::AddPristine(CVobCell* pPristine)
{
    if (pPristine && pPristine->GetVobData())
        pPristine->GetVobData()->AddRef();
    m_pristine.Add(pPristine);
}

void CAngleBlock::ReleasePristine(uint32_t nFrom)
{
    for (uint32_t i = nFrom; i < GetPristineCount(); ++i)
    {
        CVobCell* pPristine = m_pristine[int32_t(i)];
        if (pPristine && pPristine->GetVobData())
            pPristine->GetVobData()->Release();
        m_pristine[int32_t(i)] = nullptr;
    }
}

void CAngleBlock::SetPristineCount(uint32_t n)
{
    const uint32_t nOld = GetPristineCount();
    if (n < nOld)
        ReleasePristine(n);
    m_pristine.SetSize(int32_t(n));
    for (uint32_t i = nOld; i < n; ++i)
        m_pristine[int32_t(i)] = nullptr;
}

bool CAngleBlock::GetSourceStreams(CStreamSet& streams) const
{
    const CVobCell* pFirst = m_ilvus[0];
    if (!pFirst || pFirst->IsStock() || !pFirst->GetVobData())
        return false;
    streams = pFirst->GetVobData()->GetStreams();
    return true;
}

bool CAngleBlock::HasButtons() const
{
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        if (m_ilvus[i]->HasButtons())
            return true;
    return false;
}

void CAngleBlock::MatchStockStandard(bool bPal)
{
    // Only a block that already holds a stock cell asks for the table.
    const int nWanted = bPal ? 25 : 30;
    CVobCell* pFirst = m_ilvus[0];
    if (pFirst && pFirst->IsStock() && pFirst->GetFrameRate() != nWanted)
    {
        if (CVobCell* pStock = GetStockCell(bPal ? 0 : 1))
        {
            CVobCell* pCopy = CVobCell::CopyConstruct(*pStock, this);
            pCopy->SetIds(pFirst->GetVobId(), pFirst->GetCellId());
            m_ilvus.SetAt(0, pCopy);
            delete pFirst;
            m_bMasksValid = 0;
            SetModified();
        }
    }
    const CVobCell* pPristine = GetPristine(0);
    if (pPristine && pPristine->IsStock() && pPristine->GetFrameRate() != nWanted)
    {
        if (CVobCell* pStock = GetStockCell(bPal ? 0 : 1))
        {
            SetPristineCount(0);
            AddPristine(pStock);
        }
    }
}

// ---- Sizes --------------------------------------------------------------------------

bool CAngleBlock::GetStreamMasks(BYTE& nAudio, DWORD& dwSubpictures)
{
    if (!m_bMasksValid)
    {
        CAngleBlockList* pList = GetList();
        if (!pList)
        {
            // Outside a domain no PGC drops a stream.
            nAudio = 0xFF;
            dwSubpictures = 0xFFFFFFFF;
            return true;
        }
        m_nAudioMask = pList->MapAudioMask(pList->GetAudioStreamMask());
        m_dwSubpictureMask = pList->MapSubpictureMask(pList->GetSubpictureStreamMask());
        m_bMasksValid = 1;
    }
    nAudio = m_nAudioMask;
    dwSubpictures = m_dwSubpictureMask;
    return true;
}

uint64_t CAngleBlock::GetOutputSize()
{
    BYTE nAudio = 0;
    DWORD dwSubpictures = 0;
    GetStreamMasks(nAudio, dwSubpictures);
    return GetOutputSizeWithMasks(nAudio, dwSubpictures);
}

uint64_t CAngleBlock::GetOutputSizeWithMasks(BYTE nAudio, DWORD dwSubpictures) const
{
    uint64_t nSize = 0;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        nSize += m_ilvus[i]->GetOutputSize(nAudio, dwSubpictures);
    return nSize;
}

uint64_t CAngleBlock::GetSourceSize() const
{
    uint64_t nSize = 0;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        nSize += uint64_t(m_ilvus[i]->GetSectorCount()) * VOB_SECTOR_SIZE;
    return nSize;
}

uint64_t CAngleBlock::GetExportedSize() const
{
    uint64_t nSize = 0;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        nSize += uint64_t(m_ilvus[i]->GetExportedSectorCount()) * VOB_SECTOR_SIZE;
    return nSize;
}

uint64_t CAngleBlock::GetAudioStreamSize(int nStream, bool& bExact) const
{
    uint64_t nSize = 0;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        nSize += m_ilvus[i]->GetAudioStreamSize(nStream, bExact);
    return nSize;
}

uint64_t CAngleBlock::GetSubpictureStreamSize(int nStream, bool& bExact) const
{
    uint64_t nSize = 0;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        nSize += m_ilvus[i]->GetSubpictureStreamSize(nStream, bExact);
    return nSize;
}

uint32_t CAngleBlock::GetVobuAddressMapSize() const
{
    uint32_t nSize = 0;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        nSize += 4 * m_ilvus[i]->GetVobuCount();
    return nSize;
}

uint32_t CAngleBlock::GetCellAddressTableSize() const
{
    uint32_t nSize = 0;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        nSize += 12 * m_ilvus[i]->GetSourcePieces().GetSize();
    return nSize;
}

// ---- Scans ----------------------------------------------------------------------------

void CAngleBlock::CollectVobData(CVobDataList& sets) const
{
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        AddVobData(sets, m_ilvus[i]->GetVobData());
}

void CAngleBlock::StartFullScan() const
{
    CVobDataList sets;
    CollectVobData(sets);
    ::StartFullScan(sets.GetData(), uint32_t(sets.GetSize()));
}

void CAngleBlock::StopScan() const
{
    CVobDataList sets;
    CollectVobData(sets);
    ::StopScan(sets.GetData(), uint32_t(sets.GetSize()));
}

bool CAngleBlock::IsScanning() const
{
    CVobDataList sets;
    CollectVobData(sets);
    return IsFullScanRunning(sets.GetData(), uint32_t(sets.GetSize()));
}

bool CAngleBlock::IsFullScanComplete() const
{
    CVobDataList sets;
    CollectVobData(sets);
    return ::IsFullScanComplete(sets.GetData(), uint32_t(sets.GetSize()));
}

// ---- Button commands ------------------------------------------------------------------

bool CAngleBlock::ForEachButtonCommand(int nKind, int nStart, int nDelta, int nLimit, bool bWriteBack)
{
    bool bChanged = false;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        bChanged =
            m_ilvus[i]->ForEachButtonCommand(
                [&](BYTE* pCommand) { return RetargetCommand(pCommand, nKind, nStart, nDelta, nLimit); }, bWriteBack) ||
            bChanged;
    return bChanged;
}

bool CAngleBlock::RetargetButtonCommands(int nKind, int nStart, int nDelta, int nLimit)
{
    return ForEachButtonCommand(nKind, nStart, nDelta, nLimit, true);
}

bool CAngleBlock::ButtonsReferTo(int nKind, int nFirst, int nLast) const
{
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        if (m_ilvus[i]->AnyButtonCommand([&](const BYTE* pCommand)
                                         { return CommandRefersTo(pCommand, nKind, nFirst, nLast); }))
            return true;
    return false;
}

bool CAngleBlock::AdjustButtonCommandsForMerge(const CCommandOperation& operation)
{
    bool bChanged = false;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        bChanged = m_ilvus[i]->ForEachButtonCommand(
                       [&](BYTE* pCommand) { return AdjustCommandForMerge(pCommand, operation); }, true) ||
                   bChanged;
    return bChanged;
}

bool CAngleBlock::CheckButtonCommands(const CCommandOperation& operation) const
{
    if (operation.nOperation == COMMANDOP_TITLE_REGISTER)
        return operation.a == 0 || (GetUsedSystemRegisters() & (1u << 4)) == 0;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        if (m_ilvus[i]->AnyButtonCommand([&](const BYTE* pCommand)
                                         { return !CanAdjustCommandForMerge(pCommand, operation); }))
            return false;
    return true;
}

WORD CAngleBlock::GetUsedRegisters() const
{
    WORD wMask = 0;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        wMask |= m_ilvus[i]->GetUsedRegisters();
    return wMask;
}

DWORD CAngleBlock::GetUsedSystemRegisters() const
{
    DWORD dwMask = 0;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        dwMask |= m_ilvus[i]->GetUsedSystemRegisters();
    return dwMask;
}

// ---- User operations ------------------------------------------------------------------

bool CAngleBlock::ModifyUops(DWORD dwClear, DWORD dwSet)
{
    bool bChanged = false;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        bChanged = m_ilvus[i]->ModifyUops(dwClear, dwSet) || bChanged;
    return bChanged;
}

bool CAngleBlock::SetUops(DWORD dwMask)
{
    bool bChanged = false;
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        bChanged = m_ilvus[i]->SetUops(dwMask) || bChanged;
    return bChanged;
}

void CAngleBlock::CollectAddresses(CCellAddressList& cells, CVobuAddressList& vobus) const
{
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
    {
        const CVobCell* pIlvu = m_ilvus[i];
        const CDvdPtrArray<CVobCellPiece>& pieces = pIlvu->GetOutputPieces();
        for (uint32_t p = 0; p < pieces.GetSize(); ++p)
        {
            CCellAddress* pEntry = new CCellAddress();
            pEntry->m_wVobId = pIlvu->GetVobId();
            pEntry->m_nCellId = pIlvu->GetCellId();
            pEntry->m_dwFirstSector = pieces[p]->m_dwFirstSector;
            pEntry->m_dwLastSector = pieces[p]->m_dwLastSector;
            cells.Add(pEntry);
        }
        const CGrowArray<DWORD>& starts = pIlvu->GetOutputVobus();
        for (int32_t v = 0; v < starts.GetSize(); ++v)
            vobus.Add(starts[v]);
    }
}

// ---- CBlockMap ------------------------------------------------------------------

CAngleBlock* CBlockMap::Lookup(const CAngleBlock* pSource) const
{
    for (int32_t i = 0; i < GetSize(); ++i)
        if ((*this)[i].pSource == pSource)
            return (*this)[i].pCopy;
    return const_cast<CAngleBlock*>(pSource);
}

// ---- CAngleBlockList ------------------------------------------------------------

CAngleBlockList::CAngleBlockList(CDvdObject* pOwner, bool bMenu)
    : CDvdObject(DVDNODE_ANGLE_BLOCK_LIST, pOwner), m_streams(this, bMenu)
{
    m_blocks.SetGrowBy(BLOCK_LIST_GROW_BY);
}

CAngleBlockList::CAngleBlockList(const CStreamSet& streams, CDvdObject* pOwner)
    : CDvdObject(DVDNODE_ANGLE_BLOCK_LIST, pOwner), m_streams(streams, this)
{
    m_blocks.SetGrowBy(BLOCK_LIST_GROW_BY);
}

CAngleBlockList& CAngleBlockList::operator=(const CAngleBlockList& source)
{
    Assign(source, nullptr);
    return *this;
}

void CAngleBlockList::Assign(const CAngleBlockList& source, CBlockMap* pMap)
{
    if (this == &source)
        return;
    m_blocks.RemoveAll();
    CAngleBlockArray blocks;
    source.GetBlocks(blocks);
    CBlockMap map;
    CopyBlocks(blocks, pMap ? *pMap : map);
    m_streams = source.m_streams;
    memcpy(m_audioMaps, source.m_audioMaps, sizeof(m_audioMaps));
    memcpy(m_subpictureMaps, source.m_subpictureMaps, sizeof(m_subpictureMaps));
    m_bMapsValid = source.m_bMapsValid;
    CDvdObject::operator=(source);
}

int CAngleBlockList::GetChildIndex(const CDvdObject* pChild) const
{
    return GetBlockIndex(static_cast<const CAngleBlock*>(pChild ? pChild->Self() : nullptr));
}

bool CAngleBlockList::IsModified() const
{
    if (CDvdObject::IsModified() || m_streams.IsModified())
        return true;
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        if (m_blocks[i]->IsModified())
            return true;
    return false;
}

void CAngleBlockList::ClearModified()
{
    CDvdObject::ClearModified();
    m_streams.ClearModified();
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        m_blocks[i]->ClearModified();
}

bool CAngleBlockList::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        bReported = m_blocks[i]->Validate(validator, messages) || bReported;
    return bReported;
}

void CAngleBlockList::Invalidate()
{
    m_bMapsValid = 0;
    m_streams.Invalidate();
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        m_blocks[i]->Invalidate();
}

int CAngleBlockList::GetBlockIndex(const CAngleBlock* pBlock) const
{
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        if (m_blocks[i] == pBlock)
            return int(i);
    return -1;
}

void CAngleBlockList::GetBlocks(CAngleBlockArray& blocks) const
{
    blocks.SetSize(0);
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        blocks.Add(m_blocks[i]);
}

void CAngleBlockList::CopyConstruct(const CAngleBlockList& source)
{
    m_streams = source.m_streams;
    for (uint32_t i = 0; i < source.m_blocks.GetSize(); ++i)
        m_blocks.Add(CAngleBlock::CopyConstruct(*source.m_blocks[i], this));
    memcpy(m_audioMaps, source.m_audioMaps, sizeof(m_audioMaps));
    memcpy(m_subpictureMaps, source.m_subpictureMaps, sizeof(m_subpictureMaps));
    m_bMapsValid = source.m_bMapsValid;
}

void CAngleBlockList::CopyBlocks(const CAngleBlockArray& blocks, CBlockMap& map)
{
    for (int32_t i = 0; i < blocks.GetSize(); ++i)
    {
        CAngleBlock* pCopy = CAngleBlock::CopyConstruct(*blocks[i], this);
        m_blocks.Add(pCopy);
        map.Add(CBlockMapEntry{blocks[i], pCopy});
    }
    if (blocks.GetSize() > 0)
        SetModified();
}

CAngleBlock* CAngleBlockList::AddCell(CVobCell* pIlvu, CVobCell* pPristine)
{
    CAngleBlock* pBlock = new CAngleBlock(pIlvu, pPristine, this);
    pIlvu->SetParent(pBlock);
    AddBlock(pBlock);
    return pBlock;
}

void CAngleBlockList::AddBlock(CAngleBlock* pBlock)
{
    CStreamSet streams(nullptr, m_streams.IsMenu());
    if (pBlock->GetIlvuCount() > 0 && pBlock->GetSourceStreams(streams))
        UpdateStreams(streams, nullptr);
    pBlock->SetParent(this);
    m_blocks.Add(pBlock);
    SetModified();
}

void CAngleBlockList::InsertAfter(const CAngleBlock* pBlock, CAngleBlock* pNew)
{
    const int nIndex = GetBlockIndex(pBlock);
    if (nIndex < 0)
        return;
    pNew->SetParent(this);
    const uint32_t nSize = m_blocks.GetSize();
    m_blocks.SetSize(nSize + 1);
    CAngleBlock** ppBlocks = m_blocks.GetData();
    for (uint32_t i = nSize; i > uint32_t(nIndex) + 1; --i)
        ppBlocks[i] = ppBlocks[i - 1];
    ppBlocks[nIndex + 1] = pNew;
    SetModified();
    CStreamSet streams(nullptr, m_streams.IsMenu());
    if (pNew->GetIlvuCount() > 0 && pNew->GetSourceStreams(streams))
        UpdateStreams(streams, pNew);
}

void CAngleBlockList::RemoveBlock(uint32_t nIndex, bool bRecompute)
{
    if (nIndex >= m_blocks.GetSize())
        return;
    m_blocks.RemoveAt(nIndex);
    SetModified();
    if (bRecompute)
        UpdateStreams(CStreamSet(nullptr, m_streams.IsMenu()), nullptr);
}

void CAngleBlockList::RemoveAll()
{
    m_blocks.RemoveAll();
    m_streams.RemoveAll();
    m_bMapsValid = 0;
    SetModified();
}

void CAngleBlockList::MoveBlock(uint32_t nFrom, uint32_t nTo)
{
    const uint32_t nSize = m_blocks.GetSize();
    if (nFrom == nTo || nFrom >= nSize || nTo >= nSize)
        return;
    CAngleBlock** ppBlocks = m_blocks.GetData();
    CAngleBlock* pBlock = ppBlocks[nFrom];
    for (uint32_t i = nFrom; i < nTo; ++i)
        ppBlocks[i] = ppBlocks[i + 1];
    for (uint32_t i = nFrom; i > nTo; --i)
        ppBlocks[i] = ppBlocks[i - 1];
    ppBlocks[nTo] = pBlock;
    SetModified();
}

CAngleBlock* CAngleBlockList::FindCell(WORD wVobId, BYTE nCellId, int& nAngle) const
{
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
    {
        const int nFound = m_blocks[i]->FindIlvu(wVobId, nCellId);
        if (nFound >= 0)
        {
            nAngle = nFound;
            return m_blocks[i];
        }
    }
    return nullptr;
}

// ---- Button commands --------------------------------------------------------------------

bool CAngleBlockList::RetargetButtonCommands(int nKind, int nStart, int nDelta, int nLimit)
{
    bool bChanged = false;
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        bChanged = m_blocks[i]->RetargetButtonCommands(nKind, nStart, nDelta, nLimit) || bChanged;
    return bChanged;
}

bool CAngleBlockList::CheckButtonCommands(const CCommandOperation& operation) const
{
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        if (!m_blocks[i]->CheckButtonCommands(operation))
            return false;
    return true;
}

WORD CAngleBlockList::GetUsedRegisters() const
{
    WORD wMask = 0;
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        wMask |= m_blocks[i]->GetUsedRegisters();
    return wMask;
}

bool RetargetButtonCommands(const CAngleBlockArray& blocks, int nKind, int nStart, int nDelta, int nLimit)
{
    bool bChanged = false;
    for (int32_t i = 0; i < blocks.GetSize(); ++i)
        bChanged = blocks[i]->RetargetButtonCommands(nKind, nStart, nDelta, nLimit) || bChanged;
    return bChanged;
}

// ---- Streams ----------------------------------------------------------------------------

void CAngleBlockList::SetStreams(const CStreamSet& streams)
{
    m_streams = streams;
    // Stream counts and the aspect ratio decide the masks.
    m_bMapsValid = 0;
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        m_blocks[i]->Invalidate();
    MatchStockStandard();
}

void CAngleBlockList::UpdateStreams(const CStreamSet& streams, const CAngleBlock* pExcluded)
{
    if (HasSourceStreams(pExcluded))
        return;
    SetStreams(streams);
    SetModified();
}

bool CAngleBlockList::HasSourceStreams(const CAngleBlock* pExcluded) const
{
    CStreamSet streams(nullptr, m_streams.IsMenu());
    return GetSourceStreams(streams, pExcluded);
}

bool CAngleBlockList::GetSourceStreams(CStreamSet& streams, const CAngleBlock* pExcluded) const
{
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        if (m_blocks[i] != pExcluded && m_blocks[i]->GetIlvuCount() > 0 && m_blocks[i]->GetSourceStreams(streams))
            return true;
    return false;
}

void CAngleBlockList::MatchStockStandard()
{
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        m_blocks[i]->MatchStockStandard(IsPal());
}

BYTE CAngleBlockList::GetAudioStreamMask() const
{
    const int n = std::min(m_streams.GetAudioCount(), 8);
    return BYTE((1u << n) - 1);
}

DWORD CAngleBlockList::GetSubpictureStreamMask() const
{
    const int n = std::min(m_streams.GetSubpictureCount(), 32);
    return n >= 32 ? 0xFFFFFFFF : DWORD((1u << n) - 1);
}

void CAngleBlockList::BuildStreamMaps()
{
    memset(m_audioMaps, 0, sizeof(m_audioMaps));
    memset(m_subpictureMaps, 0, sizeof(m_subpictureMaps));
    const BYTE nVideo = m_streams.GetVideo().bytes[0];
    const bool bWide = ((nVideo >> 2) & 0x03) == kAspectWide;
    const bool bLetterbox = (nVideo & 0x01) == 0;
    const bool bPanScan = (nVideo & 0x02) == 0;

    auto addTable = [&](const CPgcTable& table)
    {
        for (uint32_t p = 0; p < table.GetPgcCount(); ++p)
        {
            const CPgc* pPgc = table.GetPgc(p);
            for (int i = 0; i < 8; ++i)
                if (pPgc->m_audio[i].bEnabled)
                    m_audioMaps[i] |= 1u << (pPgc->m_audio[i].nStream & 31);
            for (int i = 0; i < 32; ++i)
            {
                const CSubpictureControl& control = pPgc->m_subpictures[i];
                if (!control.bEnabled)
                    continue;
                if (!bWide)
                {
                    m_subpictureMaps[i] |= 1u << (control.nStreams[0] & 31);
                    continue;
                }
                m_subpictureMaps[i] |= 1u << (control.nStreams[1] & 31);
                if (bLetterbox)
                    m_subpictureMaps[i] |= 1u << (control.nStreams[2] & 31);
                if (bPanScan)
                    m_subpictureMaps[i] |= 1u << (control.nStreams[3] & 31);
            }
        }
    };

    const CDvdObject* pContainer = GetPgcContainer();
    if (pContainer && pContainer->GetKind() == DVDNODE_LANGUAGE_UNITS)
    {
        const CLanguageUnits* pUnits = static_cast<const CLanguageUnits*>(pContainer);
        for (uint32_t u = 0; u < pUnits->GetUnitCount(); ++u)
            addTable(*pUnits->GetUnit(u));
    }
    else if (pContainer)
    {
        addTable(*static_cast<const CPgcTable*>(pContainer));
    }
    m_bMapsValid = 1;
}

BYTE CAngleBlockList::MapAudioMask(BYTE nLogical)
{
    if (m_blocks.GetSize() == 0)
        return 0;
    if (!m_bMapsValid)
        BuildStreamMaps();
    DWORD dwMask = 0;
    for (int i = 0; i < 8; ++i)
        if (nLogical & (1u << i))
            dwMask |= m_audioMaps[i];
    return BYTE(dwMask);
}

DWORD CAngleBlockList::MapSubpictureMask(DWORD dwLogical)
{
    if (m_blocks.GetSize() == 0)
        return 0;
    if (!m_bMapsValid)
        BuildStreamMaps();
    DWORD dwMask = 0;
    for (int i = 0; i < 32; ++i)
        if (dwLogical & (1u << i))
            dwMask |= m_subpictureMaps[i];
    return dwMask;
}

// ---- Owner ------------------------------------------------------------------------------

bool CAngleBlockList::IsMenuDomain() const
{
    const CDvdObject* pOwner = GetParent();
    if (!pOwner)
        return false;
    if (pOwner->GetKind() == DVDNODE_VMG)
        return true;
    return pOwner->GetKind() == DVDNODE_VTS && &static_cast<const CVts*>(pOwner)->GetMenuDomain() == this;
}

CDvdObject* CAngleBlockList::GetPgcContainer() const
{
    CDvdObject* pOwner = GetParent();
    if (!pOwner)
        return nullptr;
    if (pOwner->GetKind() == DVDNODE_VMG)
        return &static_cast<CVmg*>(pOwner)->GetLanguageUnits();
    if (pOwner->GetKind() != DVDNODE_VTS)
        return nullptr;
    CVts* pVts = static_cast<CVts*>(pOwner);
    if (&pVts->GetMenuDomain() == this)
        return &pVts->GetLanguageUnits();
    return &pVts->GetPgcTable();
}

void CAngleBlockList::CollectVobData(CVobDataList& sets) const
{
    for (uint32_t b = 0; b < m_blocks.GetSize(); ++b)
    {
        const CAngleBlock* pBlock = m_blocks[b];
        for (uint32_t i = 0; i < pBlock->GetIlvuCount(); ++i)
            AddIlvuVobData(sets, pBlock->GetIlvu(i));
        for (uint32_t i = 0; i < pBlock->GetPristineCount(); ++i)
            AddIlvuVobData(sets, pBlock->GetPristine(i));
    }
}

// ---- Sizes ------------------------------------------------------------------------------

uint64_t CAngleBlockList::GetOutputSize()
{
    const BYTE nAudio = MapAudioMask(GetAudioStreamMask());
    const DWORD dwSubpictures = MapSubpictureMask(GetSubpictureStreamMask());
    uint64_t nSize = 0;
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        nSize += m_blocks[i]->GetOutputSizeWithMasks(nAudio, dwSubpictures);
    return nSize;
}

uint64_t CAngleBlockList::GetSourceSize() const
{
    uint64_t nSize = 0;
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        nSize += m_blocks[i]->GetSourceSize();
    return nSize;
}

uint64_t CAngleBlockList::GetExportedSize() const
{
    uint64_t nSize = 0;
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        nSize += m_blocks[i]->GetExportedSize();
    return nSize;
}

uint64_t CAngleBlockList::GetAudioStreamSize(int nStream, bool& bExact) const
{
    uint64_t nSize = 0;
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        nSize += m_blocks[i]->GetAudioStreamSize(nStream, bExact);
    return nSize;
}

uint64_t CAngleBlockList::GetSubpictureStreamSize(int nStream, bool& bExact) const
{
    uint64_t nSize = 0;
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        nSize += m_blocks[i]->GetSubpictureStreamSize(nStream, bExact);
    return nSize;
}

uint32_t CAngleBlockList::GetVobuAddressMapSize() const
{
    uint32_t nSize = 4;
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        nSize += m_blocks[i]->GetVobuAddressMapSize();
    return nSize;
}

uint32_t CAngleBlockList::GetCellAddressTableSize() const
{
    uint32_t nSize = 8;
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        nSize += m_blocks[i]->GetCellAddressTableSize();
    return nSize;
}

// ---- Scans ------------------------------------------------------------------------------

void CAngleBlockList::StartFullScan() const
{
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        m_blocks[i]->StartFullScan();
}

void CAngleBlockList::StopScan() const
{
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        m_blocks[i]->StopScan();
}

bool CAngleBlockList::IsScanning() const
{
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        if (m_blocks[i]->IsScanning())
            return true;
    return false;
}

bool CAngleBlockList::IsFullScanComplete() const
{
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
        if (!m_blocks[i]->IsFullScanComplete())
            return false;
    return true;
}

bool CAngleBlockList::IsPreliminaryScanDone() const
{
    for (uint32_t i = 0; i < m_blocks.GetSize(); ++i)
    {
        const CAngleBlock* pBlock = m_blocks[i];
        CVobData* pSet = pBlock->GetIlvuCount() > 0 ? pBlock->GetIlvu(0)->GetVobData() : nullptr;
        if (pSet && !pSet->IsPreliminaryDone())
            return false;
    }
    return true;
}
