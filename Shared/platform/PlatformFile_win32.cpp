#include "Shared/platform/PlatformFile.h"

#include <windows.h>

#include "Shared/platform/PlatformPath.h"

namespace kx
{

namespace
{

HANDLE H(intptr_t h)
{
    return reinterpret_cast<HANDLE>(h);
}
intptr_t Stored(HANDLE h)
{
    return h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<intptr_t>(h);
}

// ReadFile and WriteFile move at most a DWORD per call.
constexpr size_t kMaxChunk = 0x40000000;

DWORD Access(const FileOpenOptions& options)
{
    DWORD access = 0;
    if (options.access & kFileRead)
        access |= GENERIC_READ;
    if (options.access & kFileWrite)
        access |= GENERIC_WRITE;
    return access;
}

// Others may always read; writing is shared only on request.
DWORD Share(const FileOpenOptions& options)
{
    return FILE_SHARE_READ | (options.shareWrite ? FILE_SHARE_WRITE : 0);
}

DWORD HintFlags(FileHint hint)
{
    return hint == FileHint::RandomAccess     ? FILE_FLAG_RANDOM_ACCESS
           : hint == FileHint::SequentialScan ? FILE_FLAG_SEQUENTIAL_SCAN
                                              : 0;
}

} // namespace

bool PlatformFile::Open(const char* path, const FileOpenOptions& options)
{
    Close();
    if (path == nullptr || *path == '\0')
    {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    if (std::string(path).size() > kMaxPathLength)
    {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    const DWORD access = Access(options);
    const DWORD share = Share(options);
    DWORD disposition = OPEN_EXISTING;
    switch (options.disposition)
    {
    case FileDisposition::OpenExisting: disposition = OPEN_EXISTING; break;
    case FileDisposition::OpenAlways: disposition = OPEN_ALWAYS; break;
    case FileDisposition::CreateAlways: disposition = CREATE_ALWAYS; break;
    case FileDisposition::CreateNew: disposition = CREATE_NEW; break;
    }
    HANDLE h = ::CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL | HintFlags(options.hint),
                             nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    handle_ = Stored(h);
    pos_ = 0;
    options_ = options;
    return true;
}

bool PlatformFile::Advise(FileHint hint)
{
    if (handle_ == -1)
        return false;
    // The system takes the hint only when a handle is opened: the file is
    // opened again with it, and the new handle goes on where the old one was.
    // A second handle for writing would break the file's own sharing.
    if (options_.access & kFileWrite)
        return false;
    HANDLE h = ::ReOpenFile(H(handle_), Access(options_), Share(options_), HintFlags(hint));
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER at;
    at.QuadPart = pos_;
    if (!::SetFilePointerEx(h, at, nullptr, FILE_BEGIN))
    {
        ::CloseHandle(h);
        return false;
    }
    ::CloseHandle(H(handle_));
    handle_ = Stored(h);
    options_.hint = hint;
    return true;
}

bool PlatformFile::CreateTemp(std::string& createdPath)
{
    Close();
    char folder[MAX_PATH + 1];
    DWORD n = ::GetTempPathA(sizeof(folder), folder);
    if (n == 0 || n > sizeof(folder))
        return false;
    char name[MAX_PATH + 1];
    if (::GetTempFileNameA(folder, "ZEV", 0, name) == 0)
        return false;
    HANDLE h = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
    {
        DWORD error = ::GetLastError();
        ::DeleteFileA(name);
        ::SetLastError(error);
        return false;
    }
    createdPath = name;
    handle_ = Stored(h);
    pos_ = 0;
    options_ = FileOpenOptions();
    options_.access = kFileReadWrite;
    return true;
}

void PlatformFile::Close()
{
    if (handle_ != -1)
    {
        ::CloseHandle(H(handle_));
        handle_ = -1;
    }
    pos_ = 0;
}

bool PlatformFile::IsOpen() const
{
    return handle_ != -1;
}

int64_t PlatformFile::Seek(int64_t offset, SeekOrigin origin)
{
    if (handle_ == -1)
    {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    DWORD method = origin == SeekOrigin::Begin ? FILE_BEGIN : origin == SeekOrigin::Current ? FILE_CURRENT : FILE_END;
    LONG high = static_cast<LONG>(offset >> 32);
    ::SetLastError(NO_ERROR);
    DWORD low = ::SetFilePointer(H(handle_), static_cast<LONG>(offset & 0xFFFFFFFF), &high, method);
    if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR)
        return -1;
    pos_ = (static_cast<int64_t>(high) << 32) | low;
    return pos_;
}

int64_t PlatformFile::Tell() const
{
    return handle_ != -1 ? pos_ : -1;
}

int64_t PlatformFile::Read(void* buffer, size_t count)
{
    if (handle_ == -1)
    {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    char* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count)
    {
        DWORD chunk = static_cast<DWORD>(count - done < kMaxChunk ? count - done : kMaxChunk);
        DWORD got = 0;
        if (!::ReadFile(H(handle_), out + done, chunk, &got, nullptr))
        {
            if (done == 0)
                return -1;
            break;
        }
        if (got == 0)
            break;
        done += got;
    }
    pos_ += static_cast<int64_t>(done);
    return static_cast<int64_t>(done);
}

int64_t PlatformFile::Write(const void* buffer, size_t count)
{
    if (handle_ == -1)
    {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    const char* in = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < count)
    {
        DWORD chunk = static_cast<DWORD>(count - done < kMaxChunk ? count - done : kMaxChunk);
        DWORD put = 0;
        if (!::WriteFile(H(handle_), in + done, chunk, &put, nullptr))
        {
            if (done == 0)
                return -1;
            break;
        }
        if (put == 0)
            break;
        done += put;
    }
    pos_ += static_cast<int64_t>(done);
    return static_cast<int64_t>(done);
}

int64_t PlatformFile::GetSize() const
{
    if (handle_ == -1)
    {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    DWORD high = 0;
    ::SetLastError(NO_ERROR);
    DWORD low = ::GetFileSize(H(handle_), &high);
    if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR)
        return -1;
    return (static_cast<int64_t>(high) << 32) | low;
}

bool PlatformFile::SetEndOfFile()
{
    if (handle_ == -1)
    {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return ::SetEndOfFile(H(handle_)) != 0;
}

bool PlatformFile::Flush()
{
    if (handle_ == -1)
    {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return ::FlushFileBuffers(H(handle_)) != 0;
}

} // namespace kx
