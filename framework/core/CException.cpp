#include "framework/core/CException.h"

#include <cstring>
#include <string>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    return CopyMessage(nullptr, lpszError, nMaxError, pnHelpContext);
}

BOOL CException::CopyMessage(LPCSTR pszText, LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    if (lpszError != nullptr && nMaxError > 0)
    {
        size_t n = pszText != nullptr ? strlen(pszText) : 0;
        if (n > nMaxError - 1)
            n = nMaxError - 1;
        memcpy(lpszError, pszText != nullptr ? pszText : "", n);
        lpszError[n] = '\0';
    }
    return pszText != nullptr;
}

BOOL CMemoryException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    return CopyMessage("Out of memory.", lpszError, nMaxError, pnHelpContext);
}

BOOL CNotSupportedException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    return CopyMessage("The operation is not supported.", lpszError, nMaxError, pnHelpContext);
}

BOOL CInvalidArgException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    return CopyMessage("An invalid argument was given.", lpszError, nMaxError, pnHelpContext);
}

BOOL CResourceException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    return CopyMessage("A system resource could not be obtained.", lpszError, nMaxError, pnHelpContext);
}

BOOL CFileException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    static const char* const kCauses[] = {
        "No error occurred",
        "An error occurred",
        "The file was not found",
        "The path is not valid",
        "Too many files are open",
        "Access was denied",
        "The file handle is not valid",
        "The current folder cannot be removed",
        "The folder is full",
        "The file position could not be set",
        "A hardware error occurred",
        "The file is in use by another program",
        "A region of the file is locked",
        "The disk is full",
        "The end of the file was reached unexpectedly",
    };
    std::string text = m_cause >= 0 && m_cause < (int)(sizeof(kCauses) / sizeof(kCauses[0]))
                           ? kCauses[m_cause]
                           : kCauses[genericException];
    if (!m_strFileName.IsEmpty())
    {
        text += " accessing ";
        text += (LPCSTR)m_strFileName;
    }
    text += '.';
    return CopyMessage(text.c_str(), lpszError, nMaxError, pnHelpContext);
}

BOOL CArchiveException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    static const char* const kCauses[] = {
        "No error occurred",
        "The file content is not as expected",
        "Tried to write to an archive opened for loading",
        "The file ended unexpectedly",
        "Tried to read from an archive opened for storing",
        "The file holds an invalid object reference",
        "The file holds an unknown object class",
        "The file holds an unsupported object version",
    };
    std::string text = m_cause >= 0 && m_cause < (int)(sizeof(kCauses) / sizeof(kCauses[0]))
                           ? kCauses[m_cause]
                           : kCauses[genericException];
    if (!m_strFileName.IsEmpty())
    {
        text += ": ";
        text += (LPCSTR)m_strFileName;
    }
    text += '.';
    return CopyMessage(text.c_str(), lpszError, nMaxError, pnHelpContext);
}

void AfxThrowMemoryException()
{
    // Thrown when memory has run out, so throwing it must not need memory;
    // made on first use, so static initialisers may already throw it.
    static CMemoryException s_outOfMemory(FALSE);
    throw &s_outOfMemory;
}

void AfxThrowNotSupportedException()
{
    throw new CNotSupportedException;
}

void AfxThrowInvalidArgException()
{
    throw new CInvalidArgException;
}

void AfxThrowResourceException()
{
    throw new CResourceException;
}

void AfxThrowUserException()
{
    throw new CUserException;
}

void AfxThrowFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowArchiveException(int cause, LPCSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}
