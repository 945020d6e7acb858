#include "framework/core/CArchive.h"

#include <climits>
#include <new>

namespace
{

constexpr int kMinBufSize = 128;
// Texts are read in pieces of at most this size beyond what has arrived,
// so a damaged length cannot make the load allocate more than the file holds.
constexpr int kTextChunk = 64 * 1024;

} // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pFile(pFile), m_nMode(nMode), m_nBufSize(nBufSize < kMinBufSize ? kMinBufSize : nBufSize),
      m_bUserBuf(lpBuf != nullptr)
{
    if (pFile == nullptr)
        AfxThrowInvalidArgException();
    if (m_bUserBuf && nBufSize < kMinBufSize)
        AfxThrowInvalidArgException();
    m_lpBufStart = m_bUserBuf ? static_cast<BYTE*>(lpBuf) : new (std::nothrow) BYTE[m_nBufSize];
    if (m_lpBufStart == nullptr)
        AfxThrowMemoryException();
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
}

CArchive::~CArchive()
{
    if (m_pFile != nullptr && !(m_nMode & bNoFlushOnDelete))
    {
        try
        {
            Close();
        }
        catch (CException* e)
        {
            e->Delete();
        }
    }
    if (!m_bUserBuf)
        delete[] m_lpBufStart;
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    if (m_pFile == nullptr)
        Throw(CArchiveException::genericException);
    if (!IsLoading())
        Throw(CArchiveException::writeOnly);
    BYTE* pDest = static_cast<BYTE*>(lpBuf);
    UINT nDone = 0;
    while (nDone < nMax)
    {
        UINT nAvail = (UINT)(m_lpBufMax - m_lpBufCur);
        if (nAvail == 0)
        {
            UINT nLeft = nMax - nDone;
            if (nLeft >= m_nBufSize)
            {
                // Large reads go straight to the caller's memory.
                UINT n = m_pFile->Read(pDest + nDone, nLeft);
                if (n == 0)
                    break;
                nDone += n;
                continue;
            }
            UINT n = m_pFile->Read(m_lpBufStart, m_nBufSize);
            m_lpBufCur = m_lpBufStart;
            m_lpBufMax = m_lpBufStart + n;
            if (n == 0)
                break;
            nAvail = n;
        }
        UINT nCopy = nMax - nDone < nAvail ? nMax - nDone : nAvail;
        memcpy(pDest + nDone, m_lpBufCur, nCopy);
        m_lpBufCur += nCopy;
        nDone += nCopy;
    }
    return nDone;
}

void CArchive::ReadExact(void* lpBuf, UINT nCount)
{
    if (Read(lpBuf, nCount) != nCount)
        Throw(CArchiveException::endOfFile);
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    if (m_pFile == nullptr)
        Throw(CArchiveException::genericException);
    if (IsLoading())
        Throw(CArchiveException::readOnly);
    const BYTE* pSrc = static_cast<const BYTE*>(lpBuf);
    while (nMax > 0)
    {
        UINT nRoom = (UINT)(m_lpBufMax - m_lpBufCur);
        if (nRoom == 0)
        {
            WriteBuffer();
            if (nMax >= m_nBufSize)
            {
                m_pFile->Write(pSrc, nMax);
                return;
            }
            nRoom = m_nBufSize;
        }
        UINT nCopy = nMax < nRoom ? nMax : nRoom;
        memcpy(m_lpBufCur, pSrc, nCopy);
        m_lpBufCur += nCopy;
        pSrc += nCopy;
        nMax -= nCopy;
    }
}

void CArchive::WriteBuffer()
{
    UINT n = (UINT)(m_lpBufCur - m_lpBufStart);
    // Empty the buffer first: if the write throws, the same bytes are not
    // offered again by the close that follows.
    m_lpBufCur = m_lpBufStart;
    if (n != 0)
        m_pFile->Write(m_lpBufStart, n);
}

ULONGLONG CArchive::GetBytesLeft() const
{
    ULONGLONG nBuffered = (ULONGLONG)(m_lpBufMax - m_lpBufCur);
    if (m_pFile == nullptr || IsStoring())
        return 0;
    ULONGLONG nLength = m_pFile->GetLength();
    ULONGLONG nPosition = m_pFile->GetPosition();
    return nBuffered + (nLength > nPosition ? nLength - nPosition : 0);
}

void CArchive::Flush()
{
    if (m_pFile == nullptr)
        return;
    if (IsStoring())
    {
        WriteBuffer();
    }
    else if (m_lpBufCur != m_lpBufMax)
    {
        LONGLONG nUnread = m_lpBufMax - m_lpBufCur;
        m_lpBufCur = m_lpBufMax = m_lpBufStart;
        m_pFile->Seek(-nUnread, CFile::current);
    }
}

void CArchive::Close()
{
    if (m_pFile == nullptr)
        return;
    try
    {
        Flush();
    }
    catch (CException*)
    {
        m_pFile = nullptr;
        throw;
    }
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
    m_pFile = nullptr;
}

CArchive& CArchive::operator<<(const CString& str)
{
    int n = str.GetLength();
    if (n < 0xFF)
    {
        *this << (BYTE)n;
    }
    else if (n < 0xFFFE)
    {
        *this << (BYTE)0xFF << (WORD)n;
    }
    else
    {
        *this << (BYTE)0xFF << (WORD)0xFFFF << (DWORD)n;
    }
    Write((LPCSTR)str, (UINT)n);
    return *this;
}

CArchive& CArchive::operator>>(CString& str)
{
    BYTE nByte;
    *this >> nByte;
    DWORD nLength = nByte;
    if (nByte == 0xFF)
    {
        WORD nWord;
        *this >> nWord;
        nLength = nWord;
        // 0xFFFE marks wide-character text, which this 8-bit program neither
        // writes nor reads.
        if (nWord == 0xFFFE)
            Throw(CArchiveException::genericException);
        if (nWord == 0xFFFF)
            *this >> nLength;
    }
    if (nLength > (DWORD)INT_MAX - 1)
        Throw(CArchiveException::genericException);

    int nTotal = (int)nLength;
    CString text;
    int nDone = 0;
    while (nDone < nTotal)
    {
        // Grow with what has actually arrived, never straight to the stated length.
        int nWant = nDone < kTextChunk ? kTextChunk : nDone;
        if (nWant > nTotal - nDone)
            nWant = nTotal - nDone;
        char* p = text.GetBuffer(nDone + nWant);
        UINT nRead = Read(p + nDone, (UINT)nWant);
        text.ReleaseBuffer(nDone + (int)nRead);
        if (nRead != (UINT)nWant)
            Throw(CArchiveException::endOfFile);
        nDone += nWant;
    }
    str = std::move(text);
    return *this;
}

void CArchive::Throw(int cause) const
{
    AfxThrowArchiveException(cause, m_pFile != nullptr ? (LPCSTR)m_pFile->GetFilePath() : nullptr);
}
