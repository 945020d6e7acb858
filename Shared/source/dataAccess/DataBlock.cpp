#include "Shared/source/dataAccess/DataBlock.h"

#include "Shared/source/dataAccess/BufferPool.h"
#include "Shared/source/dataAccess/DataFile.h"

CDataBlock::CDataBlock(const CDataRange& range)
    : m_pData(nullptr), m_pBuffer(nullptr), m_nCount(0), m_pFile(range.GetFile()), m_nOffset(range.GetOffset())
{
    m_pBuffer = CBufferPool::Global().Get(range.GetLength());
    m_pData = static_cast<unsigned char*>(m_pBuffer);
    if (m_pFile != nullptr)
        m_nCount = m_pFile->ReadAt(m_pData, m_nOffset, range.GetLength());
}

CDataBlock::~CDataBlock()
{
    if (m_pBuffer == nullptr)
        return;
    if (m_pFile != nullptr && !m_pFile->IsReadOnly() && m_nCount > 0)
    {
        m_pFile->WriteAt(m_pBuffer, m_nOffset, m_nCount);
    }
    CBufferPool::Release(m_pBuffer);
}
