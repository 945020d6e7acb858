#include "framework/core/CFile.h"

#include "Shared/platform/PlatformFileSystem.h"

#include <cerrno>
#include <cstdio>

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError)
    {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EEXIST:
    case EISDIR: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY:
    case ETXTBSY: return sharingViolation;
    case ENOLCK: return lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    case ESPIPE:
    case EOVERFLOW: return badSeek;
    case EIO: return hardIO;
    default: return genericException;
    }
}

void CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName)
{
    if (lpszOldName == nullptr || lpszNewName == nullptr)
        AfxThrowFileException(CFileException::badPath, -1, lpszOldName);
    // The system would replace an existing target; the framework refuses.
    if (kx::FileExists(lpszNewName) || kx::FolderExists(lpszNewName))
        AfxThrowFileException(CFileException::accessDenied, EEXIST, lpszNewName);
    if (::rename(lpszOldName, lpszNewName) != 0)
    {
        LONG lOsError = errno;
        AfxThrowFileException(CFileException::OsErrorToException(lOsError), lOsError, lpszOldName);
    }
}
