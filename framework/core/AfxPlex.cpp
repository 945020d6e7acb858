#include "framework/core/AfxPlex.h"

#include "framework/core/CException.h"

#include <cstddef>
#include <cstdlib>

namespace
{

constexpr size_t kAlign = alignof(std::max_align_t);

size_t RoundUp(size_t n)
{
    return (n + kAlign - 1) / kAlign * kAlign;
}

} // namespace

CPlexPool::CPlexPool(size_t nNodeSize, INT_PTR nBlockSize)
    : m_nNodeSize(RoundUp(nNodeSize < sizeof(FreeNode) ? sizeof(FreeNode) : nNodeSize)),
      m_nBlockSize(nBlockSize > 0 ? nBlockSize : 1)
{
}

void* CPlexPool::Alloc()
{
    if (m_pFree == nullptr)
    {
        size_t nHeader = RoundUp(sizeof(Block));
        if ((size_t)m_nBlockSize > (SIZE_MAX - nHeader) / m_nNodeSize)
            AfxThrowMemoryException();
        void* pRaw = malloc(nHeader + m_nNodeSize * (size_t)m_nBlockSize);
        if (pRaw == nullptr)
            AfxThrowMemoryException();
        Block* pBlock = static_cast<Block*>(pRaw);
        pBlock->pNext = m_pBlocks;
        m_pBlocks = pBlock;
        // Chain the new nodes so that the first one is handed out first.
        BYTE* pNodes = static_cast<BYTE*>(pRaw) + nHeader;
        for (INT_PTR i = m_nBlockSize - 1; i >= 0; --i)
        {
            FreeNode* pNode = reinterpret_cast<FreeNode*>(pNodes + (size_t)i * m_nNodeSize);
            pNode->pNext = m_pFree;
            m_pFree = pNode;
        }
    }
    FreeNode* pNode = m_pFree;
    m_pFree = pNode->pNext;
    return pNode;
}

void CPlexPool::Free(void* pNode)
{
    FreeNode* p = static_cast<FreeNode*>(pNode);
    p->pNext = m_pFree;
    m_pFree = p;
}

void CPlexPool::FreeAll()
{
    while (m_pBlocks != nullptr)
    {
        Block* pNext = m_pBlocks->pNext;
        free(m_pBlocks);
        m_pBlocks = pNext;
    }
    m_pFree = nullptr;
}
