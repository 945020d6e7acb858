// CPlexPool: fixed-size nodes for the framework's lists and maps, carved from
// blocks of a set number of nodes and recycled through a free list, so a
// collection that adds and removes often does not go to the heap each time.
#pragma once

#include "framework/core/AfxTypes.h"

class CPlexPool
{
public:
    CPlexPool(size_t nNodeSize, INT_PTR nBlockSize);
    ~CPlexPool() { FreeAll(); }

    CPlexPool(const CPlexPool&) = delete;
    CPlexPool& operator=(const CPlexPool&) = delete;

    // Raw storage for one node; throws CMemoryException when out of memory.
    void* Alloc();
    void Free(void* pNode);
    // Releases every block; nodes still constructed must be destroyed first.
    void FreeAll();

private:
    struct Block
    {
        Block* pNext;
    };
    struct FreeNode
    {
        FreeNode* pNext;
    };

    size_t m_nNodeSize;
    INT_PTR m_nBlockSize;
    Block* m_pBlocks = nullptr;
    FreeNode* m_pFree = nullptr;
};
