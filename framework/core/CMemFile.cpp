#include "framework/core/CMemFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CMemFile, CFile)

CMemFile::CMemFile(UINT nGrowBytes) : m_nGrowBytes(nGrowBytes)
{
}

CMemFile::CMemFile(BYTE* pBuffer, UINT nBufferSize, UINT nGrowBytes) : m_nGrowBytes(0)
{
    Attach(pBuffer, nBufferSize, nGrowBytes);
}

CMemFile::CMemFile(const BYTE* pBuffer, UINT nBufferSize) : m_nGrowBytes(0)
{
    Attach(pBuffer, nBufferSize);
}

CMemFile::~CMemFile()
{
    Reset();
}

void CMemFile::Attach(BYTE* pBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    Reset();
    m_lpBuffer = pBuffer;
    m_nBufferSize = pBuffer != nullptr ? nBufferSize : 0;
    m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_bAutoDelete = false;
}

void CMemFile::Attach(const BYTE* pBuffer, UINT nBufferSize)
{
    Attach(const_cast<BYTE*>(pBuffer), nBufferSize, 0);
    m_bReadOnly = true;
}

BYTE* CMemFile::Detach()
{
    BYTE* pBuffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bAutoDelete = true;
    m_bReadOnly = false;
    return pBuffer;
}

void CMemFile::Reset()
{
    if (m_bAutoDelete)
        free(m_lpBuffer);
    Detach();
}

void CMemFile::Close()
{
    Reset();
}

void CMemFile::Abort()
{
    Reset();
}

void CMemFile::Flush()
{
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (m_nPosition >= m_nFileSize || nCount == 0)
        return 0;
    size_t n = m_nFileSize - m_nPosition;
    if (n > nCount)
        n = nCount;
    memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return (UINT)n;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (m_bReadOnly)
        AfxThrowFileException(CFileException::accessDenied);
    if (nCount == 0)
        return;
    if (m_nPosition > SIZE_MAX - nCount)
        AfxThrowMemoryException();
    size_t nEnd = m_nPosition + nCount;
    if (nEnd > m_nBufferSize)
        Grow(nEnd);
    if (m_nPosition > m_nFileSize)
        memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = nEnd;
    if (nEnd > m_nFileSize)
        m_nFileSize = nEnd;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LONGLONG nBase;
    switch (nFrom)
    {
    case begin: nBase = 0; break;
    case current: nBase = (LONGLONG)m_nPosition; break;
    case end: nBase = (LONGLONG)m_nFileSize; break;
    default: AfxThrowFileException(CFileException::badSeek);
    }
    if ((lOff < 0 && nBase + lOff < 0) || (lOff > 0 && lOff > INT64_MAX - nBase) ||
        (ULONGLONG)(nBase + lOff) > SIZE_MAX)
        AfxThrowFileException(CFileException::badSeek);
    m_nPosition = (size_t)(nBase + lOff);
    return m_nPosition;
}

ULONGLONG CMemFile::GetPosition() const
{
    return m_nPosition;
}

ULONGLONG CMemFile::GetLength() const
{
    return m_nFileSize;
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
    if (m_bReadOnly)
        AfxThrowFileException(CFileException::accessDenied);
    if (dwNewLen > SIZE_MAX)
        AfxThrowMemoryException();
    size_t nNewLength = (size_t)dwNewLen;
    if (nNewLength > m_nBufferSize)
        Grow(nNewLength);
    if (nNewLength > m_nFileSize)
        memset(m_lpBuffer + m_nFileSize, 0, nNewLength - m_nFileSize);
    m_nFileSize = nNewLength;
    if (m_nPosition > nNewLength)
        m_nPosition = nNewLength;
}

void CMemFile::Grow(size_t nNewLength)
{
    // A fixed buffer (grow step 0) cannot take more than it holds.
    if (m_nGrowBytes == 0)
        AfxThrowMemoryException();
    size_t nSteps = nNewLength / m_nGrowBytes + (nNewLength % m_nGrowBytes != 0 ? 1 : 0);
    if (nSteps > SIZE_MAX / m_nGrowBytes)
        AfxThrowMemoryException();
    size_t nNewSize = nSteps * m_nGrowBytes;
    BYTE* pNew;
    if (m_bAutoDelete)
    {
        pNew = static_cast<BYTE*>(realloc(m_lpBuffer, nNewSize));
        if (pNew == nullptr)
            AfxThrowMemoryException();
    }
    else
    {
        // The caller's bytes are not ours to reallocate: move to our own block.
        pNew = static_cast<BYTE*>(malloc(nNewSize));
        if (pNew == nullptr)
            AfxThrowMemoryException();
        if (m_nFileSize != 0)
            memcpy(pNew, m_lpBuffer, m_nFileSize);
        m_bAutoDelete = true;
    }
    m_lpBuffer = pNew;
    m_nBufferSize = nNewSize;
}
