#include "framework/core/CFile.h"

#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

CFile::CFile() = default;

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile() = default;

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    m_file.Close();
    m_strFileName.Empty();

    kx::FileOpenOptions options;
    int nBadCause = CFileException::none;
    switch (nOpenFlags & 0x3)
    {
    case modeRead: options.access = kx::kFileRead; break;
    case modeWrite: options.access = kx::kFileWrite; break;
    case modeReadWrite: options.access = kx::kFileReadWrite; break;
    default: nBadCause = CFileException::genericException; break;
    }
    if (lpszFileName == nullptr || *lpszFileName == '\0')
        nBadCause = CFileException::badPath;
    if (nBadCause != CFileException::none)
    {
        if (pError != nullptr)
        {
            pError->m_cause = nBadCause;
            pError->m_lOsError = -1;
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }

    if (nOpenFlags & modeCreate)
        options.disposition =
            (nOpenFlags & modeNoTruncate) ? kx::FileDisposition::OpenAlways : kx::FileDisposition::CreateAlways;
    else
        options.disposition = kx::FileDisposition::OpenExisting;
    options.shareWrite = (nOpenFlags & 0x70) == shareDenyNone;
    if (nOpenFlags & osRandomAccess)
        options.hint = kx::FileHint::RandomAccess;
    else if (nOpenFlags & osSequentialScan)
        options.hint = kx::FileHint::SequentialScan;

    if (!m_file.Open(lpszFileName, options))
    {
        if (pError != nullptr)
        {
            LONG lOsError = (LONG)kx::LastErrorCode();
            pError->m_cause = CFileException::OsErrorToException(lOsError);
            if (pError->m_cause == CFileException::none)
                pError->m_cause = CFileException::genericException;
            pError->m_lOsError = lOsError;
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_strFileName = lpszFileName;
    return TRUE;
}

void CFile::Close()
{
    m_file.Close();
}

void CFile::Abort()
{
    m_file.Close();
}

void CFile::Flush()
{
    RequireOpen();
    if (!m_file.Flush())
        ThrowLastError(CFileException::hardIO);
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    RequireOpen();
    if (nCount == 0)
        return 0;
    int64_t n = m_file.Read(lpBuf, nCount);
    if (n < 0)
        ThrowLastError(CFileException::hardIO);
    return (UINT)n;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    RequireOpen();
    if (nCount == 0)
        return;
    int64_t n = m_file.Write(lpBuf, nCount);
    if (n < 0)
        ThrowLastError(CFileException::hardIO);
    if ((UINT)n != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    RequireOpen();
    kx::SeekOrigin origin;
    switch (nFrom)
    {
    case begin: origin = kx::SeekOrigin::Begin; break;
    case current: origin = kx::SeekOrigin::Current; break;
    case end: origin = kx::SeekOrigin::End; break;
    default: AfxThrowFileException(CFileException::badSeek, -1, m_strFileName);
    }
    int64_t pos = m_file.Seek(lOff, origin);
    if (pos < 0)
        ThrowLastError(CFileException::badSeek);
    return (ULONGLONG)pos;
}

ULONGLONG CFile::GetPosition() const
{
    RequireOpen();
    int64_t pos = m_file.Tell();
    if (pos < 0)
        ThrowLastError(CFileException::badSeek);
    return (ULONGLONG)pos;
}

ULONGLONG CFile::GetLength() const
{
    RequireOpen();
    int64_t n = m_file.GetSize();
    if (n < 0)
        ThrowLastError(CFileException::genericException);
    return (ULONGLONG)n;
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    if (dwNewLen > (ULONGLONG)INT64_MAX)
        AfxThrowFileException(CFileException::badSeek, -1, m_strFileName);
    ULONGLONG nPosition = GetPosition();
    Seek((LONGLONG)dwNewLen, begin);
    if (!m_file.SetEndOfFile())
        ThrowLastError(CFileException::genericException);
    if (nPosition < dwNewLen)
        Seek((LONGLONG)nPosition, begin);
}

CString CFile::GetFileName() const
{
    return CString(kx::PathFileName((LPCSTR)m_strFileName).c_str());
}

void CFile::Remove(LPCSTR lpszFileName)
{
    if (!kx::RemoveFile(lpszFileName != nullptr ? lpszFileName : ""))
    {
        LONG lOsError = (LONG)kx::LastErrorCode();
        int cause = CFileException::OsErrorToException(lOsError);
        AfxThrowFileException(cause != CFileException::none ? cause : CFileException::genericException, lOsError,
                              lpszFileName);
    }
}

void CFile::ThrowLastError(int nDefaultCause) const
{
    LONG lOsError = (LONG)kx::LastErrorCode();
    int cause = lOsError != 0 ? CFileException::OsErrorToException(lOsError) : CFileException::none;
    if (cause == CFileException::none || cause == CFileException::genericException)
        cause = nDefaultCause;
    AfxThrowFileException(cause, lOsError != 0 ? lOsError : -1, m_strFileName);
}

void CFile::RequireOpen() const
{
    if (!m_file.IsOpen())
        AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
}
