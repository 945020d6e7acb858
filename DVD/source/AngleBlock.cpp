#include "DVD/source/AngleBlock.h"

#include "DVD/source/Validator.h"

// ---- CAngleBlock ----------------------------------------------------------------

CAngleBlock::CAngleBlock(CVobCell* pFirst, CVobCell* pPristine, CAngleBlockList* pList)
    : CDvdObject(DVDNODE_ANGLE_BLOCK, pList)
{
    if (pFirst)
    {
        m_ilvus.Add(pFirst);
        m_pristine.Add(pPristine);
        m_bInterleaved = pFirst->GetFirstDsi().IsIlvu() ? 1 : 0;
    }
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
    m_pristine.Add(pPristine);
    if (!m_bInterleaved)
        m_bInterleaved = pIlvu->GetFirstDsi().IsIlvu() ? 1 : 0;
    return true;
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

CAngleBlock* CAngleBlockList::AddCell(CVobCell* pIlvu, CVobCell* pPristine)
{
    CAngleBlock* pBlock = new CAngleBlock(pIlvu, pPristine, this);
    pIlvu->SetParent(pBlock);
    AddBlock(pBlock);
    return pBlock;
}

void CAngleBlockList::AddBlock(CAngleBlock* pBlock)
{
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
