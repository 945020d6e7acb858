#pragma once
// An in-memory copy of a file range in a pooled buffer. Users read and change
// the bytes through GetData; when the block goes away the bytes are written
// back unless the file was opened read-only. IFO files are read and written
// whole through one block.

#include <cstdint>

#include "Shared/source/dataAccess/DataRange.h"

class CDataBlock
{
public:
    explicit CDataBlock(const CDataRange& range);
    ~CDataBlock();
    CDataBlock(const CDataBlock&) = delete;
    CDataBlock& operator=(const CDataBlock&) = delete;

    unsigned char* GetData() const { return m_pData; }
    // Bytes read from the file (below the range's length after a short read).
    uint32_t GetCount() const { return m_nCount; }

private:
    unsigned char* m_pData;
    void* m_pBuffer;
    uint32_t m_nCount;
    CDataFile* m_pFile;
    uint32_t m_nOffset;
};
