// The edits of a block: hide, restore, split, keep one angle, separate the
// angles, take another block's content, bypass a menu. After changing a block
// each edit tells the PGCs that play it what happened, through the notices
// its title set or VMG passes on, and keeps the button commands that link to
// moved cells right with a reference collector.
#include "DVD/source/AngleBlock.h"

#include "DVD/source/BlockCollector.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/PGC.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VobData.h"

#include <utility>
#include <vector>

namespace
{

void NotifyOwner(CAngleBlock* pBlock, int nCode, intptr_t a, intptr_t b)
{
    if (CDvdObject* pOwner = pBlock->GetDomainOwner())
        pOwner->Notify(pBlock, nCode, a, b);
}

// Lets the PGCs report the cells whose numbers move when the block's angle
// count becomes nAngles, and shifts the button commands that link to them.
void CollectAngleReferences(CAngleBlock* pBlock, uint32_t nAngles)
{
    CBlockReferenceCollector collector;
    NotifyOwner(pBlock, DVDNOTICE_COLLECT_ANGLE_REFS, intptr_t(nAngles), reinterpret_cast<intptr_t>(&collector));
    collector.Collect();
    collector.Resolve(nullptr, nullptr);
    collector.Finish();
}

// The block drops to one angle: references first, then the PGCs' cells.
void ReduceToOneAngle(CAngleBlock* pBlock)
{
    CollectAngleReferences(pBlock, 1);
    NotifyOwner(pBlock, DVDNOTICE_ANGLE_COUNT, 1, 0);
}

} // namespace

// ---- Hide and restore -------------------------------------------------------------

CVobCell* CAngleBlock::GetBlankCell() const
{
    const CVobCell* pFirst = m_ilvus[0];
    if (!pFirst)
        return nullptr;
    return GetStockCell(pFirst->GetFrameRate() == 25 ? STOCK_EMPTY_PAL : STOCK_EMPTY_NTSC);
}

bool CAngleBlock::SetBlank()
{
    CVobCell* pStock = GetBlankCell();
    if (!pStock)
        return false;
    const WORD wVobId = m_ilvus[0]->GetVobId();
    const BYTE nCellId = m_ilvus[0]->GetCellId();
    NotifyOwner(this, DVDNOTICE_BLOCK_HIDDEN, 0, 0);
    if (GetIlvuCount() > 1)
        ReduceToOneAngle(this);
    m_ilvus.RemoveAll();
    // An interleaved block cannot be brought back piece by piece; a plain
    // one keeps its pristine cells so that a restore undoes the hide.
    if (m_bInterleaved)
    {
        SetPristineCount(0);
        AddPristine(nullptr);
    }
    m_bInterleaved = 0;
    CVobCell* pBlank = CVobCell::CopyConstruct(*pStock, this);
    pBlank->SetIds(wVobId, nCellId);
    pBlank->SetModified();
    m_ilvus.Add(pBlank);
    SetModified();
    return true;
}

bool CAngleBlock::CanRestore() const
{
    // Without any pristine cell a restore would leave the block empty.
    if (!IsModified() || GetPristineCount() == 0)
        return false;
    for (uint32_t i = 0; i < GetPristineCount(); ++i)
        if (!GetPristine(i))
            return false;
    return true;
}

bool CAngleBlock::Restore()
{
    if (!CanRestore())
        return false;
    m_ilvus.RemoveAll();
    for (uint32_t i = 0; i < GetPristineCount(); ++i)
        m_ilvus.Add(CVobCell::CopyConstruct(*GetPristine(i), this));
    SetModified();
    // A domain whose blocks were all hidden and then dropped by the PGCs has
    // lost its streams; the restored content brings them back.
    CAngleBlockList* pList = GetList();
    const CVobCell* pFirst = m_ilvus.GetSize() > 0 ? m_ilvus[0] : nullptr;
    if (pList && pFirst && !pFirst->IsStock() && pFirst->GetVobData())
        pList->UpdateStreams(pFirst->GetVobData()->GetStreams(), this);
    return true;
}

// ---- Split ---------------------------------------------------------------------------

CAngleBlock* CAngleBlock::Duplicate()
{
    // A block its domain no longer holds has nowhere to put the copy.
    CAngleBlockList* pList = GetList();
    if (!pList || pList->GetBlockIndex(this) < 0)
        return nullptr;
    CAngleBlock* pCopy = new CAngleBlock(nullptr, nullptr, pList);
    for (uint32_t i = 0; i < m_ilvus.GetSize(); ++i)
        pCopy->m_ilvus.Add(CVobCell::CopyConstruct(*m_ilvus[i], pCopy));
    for (uint32_t i = 0; i < GetPristineCount(); ++i)
        pCopy->AddPristine(GetPristine(i));
    pCopy->m_bInterleaved = m_bInterleaved;
    pList->InsertAfter(this, pCopy);
    SetModified();
    return pCopy;
}

bool CAngleBlock::SplitAt(uint32_t nVobu)
{
    const CVobCell* pFirst = m_ilvus[0];
    if (!pFirst || !pFirst->CanCutTo(nVobu) || !GetList())
        return false;

    // Blocks whose buttons serve PGCs that number their cells differently
    // after the split get a copy per PGC; every copy is split too.
    CAngleBlockArray blocks;
    blocks.Add(this);
    {
        CBlockReferenceCollector collector;
        NotifyOwner(this, DVDNOTICE_COLLECT_SPLIT_REFS, reinterpret_cast<intptr_t>(&collector), 0);
        collector.Collect();
        if (collector.HasOverlaps(this))
            collector.Resolve(this, &blocks);
        collector.Resolve(nullptr, nullptr);
        collector.Finish();
    }

    for (int32_t i = 0; i < blocks.GetSize(); ++i)
    {
        CAngleBlock* pBlock = blocks[i];
        CAngleBlock* pSecond = pBlock->Duplicate();
        if (!pSecond)
            continue;
        pBlock->m_ilvus[0]->CutBefore(nVobu);
        pSecond->m_ilvus[0]->CutTo(nVobu);
        NotifyOwner(pBlock, DVDNOTICE_BLOCK_SPLIT, reinterpret_cast<intptr_t>(pSecond), 0);
        pBlock->SetModified();
    }
    return true;
}

// ---- Angles ----------------------------------------------------------------------------

bool CAngleBlock::KeepAngle(uint32_t nAngle)
{
    if (GetIlvuCount() < 2 || nAngle >= GetIlvuCount())
        return false;
    ReduceToOneAngle(this);
    CVobCell* pKept = m_ilvus[nAngle];
    m_ilvus.SetAt(nAngle, nullptr);
    m_ilvus.RemoveAll();
    m_ilvus.Add(pKept);
    SetPristineCount(0);
    AddPristine(nullptr);
    m_bInterleaved = 0;
    SetModified();
    return true;
}

bool CAngleBlock::SeparateAngles()
{
    CAngleBlockList* pList = GetList();
    const uint32_t nAngles = GetIlvuCount();
    if (nAngles < 2 || !pList)
        return false;
    CAngleBlockArray blocks;
    blocks.Add(this);
    const CAngleBlock* pAfter = this;
    for (uint32_t i = 1; i < nAngles; ++i)
    {
        CVobCell* pIlvu = m_ilvus[i];
        m_ilvus.SetAt(i, nullptr);
        CAngleBlock* pBlock = new CAngleBlock(pIlvu, GetPristine(i), pList);
        pIlvu->SetParent(pBlock);
        pBlock->m_bInterleaved = 0;
        pBlock->SetModified();
        pList->InsertAfter(pAfter, pBlock);
        pAfter = pBlock;
        blocks.Add(pBlock);
    }
    m_ilvus.SetSize(1);
    if (GetPristineCount() != 1)
    {
        SetPristineCount(0);
        AddPristine(nullptr);
    }
    m_bInterleaved = 0;
    NotifyOwner(this, DVDNOTICE_ANGLES_SEPARATED, reinterpret_cast<intptr_t>(&blocks), 0);
    SetModified();
    return true;
}

// ---- Content of another block -----------------------------------------------------

bool CAngleBlock::CopyContentFrom(const CAngleBlock* pSource, bool bUpdateStreams)
{
    if (!pSource || pSource == this || pSource->GetIlvuCount() == 0)
        return false;
    std::vector<std::pair<WORD, BYTE>> ids;
    for (uint32_t i = 0; i < GetIlvuCount(); ++i)
        ids.emplace_back(m_ilvus[i]->GetVobId(), m_ilvus[i]->GetCellId());

    const uint32_t nAngles = pSource->GetIlvuCount();
    if (nAngles == GetIlvuCount())
    {
        m_ilvus.RemoveAll();
        for (uint32_t i = 0; i < nAngles; ++i)
        {
            CVobCell* pCopy = CVobCell::CopyConstruct(*pSource->m_ilvus[i], this);
            pCopy->SetIds(ids[i].first, ids[i].second);
            m_ilvus.Add(pCopy);
        }
    }
    else if (nAngles == 1)
    {
        ReduceToOneAngle(this);
        m_ilvus.RemoveAll();
        if (GetPristineCount() != 1)
        {
            SetPristineCount(0);
            AddPristine(nullptr);
        }
        CVobCell* pCopy = CVobCell::CopyConstruct(*pSource->m_ilvus[0], this);
        if (!ids.empty())
            pCopy->SetIds(ids[0].first, ids[0].second);
        m_ilvus.Add(pCopy);
    }
    else
    {
        return false;
    }
    SetModified();
    m_bInterleaved = pSource->m_bInterleaved;
    CAngleBlockList* pList = GetList();
    const CVobData* pSet = pSource->m_ilvus[0]->GetVobData();
    if (bUpdateStreams && pList && pSet)
        pList->UpdateStreams(pSet->GetStreams(), pSource);
    return true;
}

// ---- Menu bypass ------------------------------------------------------------------------

bool CAngleBlock::BypassMenu(const BYTE* pCommand, int nButton)
{
    // Nothing changes unless the block can be hidden afterwards.
    if (!pCommand || !GetBlankCell())
        return false;
    bool bDecoded = false;
    CNavCommand command =
        CNavCommand::FromBytes(BYTE(m_ilvus[0]->GetDomain() | DVDDOMAIN_COMMAND_GROUP), pCommand, &bDecoded);
    if (!bDecoded)
        return false;
    command.GetInstruction().SetButton(WORD(nButton + 1));
    BYTE bytes[PGC_COMMAND_SIZE];
    command.Encode(bytes);
    CPgcCellArray cells;
    CollectCellsPlaying(this, cells);
    for (int32_t i = 0; i < cells.GetSize(); ++i)
        cells[i]->SetCellCommand(bytes);
    return SetBlank();
}

// ---- A PGC cell's own copy ------------------------------------------------------------

CAngleBlock* CPgcCell::GetBlockDuplicate()
{
    CAngleBlock* pCopy = m_pBlock ? m_pBlock->Duplicate() : nullptr;
    if (pCopy)
    {
        m_pBlock = pCopy;
        SetModified();
    }
    return pCopy;
}
