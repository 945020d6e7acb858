#include "Shared/platform/PlatformFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"

namespace kx
{

namespace
{

// Names built by Windows-minded callers may use '\\'; here only '/' divides.
std::string NativePath(const char* path)
{
    std::string p(path);
    for (char& c : p)
    {
        if (c == '\\')
            c = '/';
    }
    return p;
}

int Fd(intptr_t h)
{
    return static_cast<int>(h);
}

} // namespace

bool PlatformFile::Open(const char* path, const FileOpenOptions& options)
{
    Close();
    if (path == nullptr || *path == '\0')
    {
        errno = ENOENT;
        return false;
    }
    std::string name = NativePath(path);
    if (name.size() > kMaxPathLength)
    {
        errno = ENAMETOOLONG;
        return false;
    }
    int flags = O_CLOEXEC;
    if ((options.access & kFileReadWrite) == kFileReadWrite)
    {
        flags |= O_RDWR;
    }
    else if (options.access & kFileWrite)
    {
        flags |= O_WRONLY;
    }
    else
    {
        flags |= O_RDONLY;
    }
    switch (options.disposition)
    {
    case FileDisposition::OpenExisting: break;
    case FileDisposition::OpenAlways: flags |= O_CREAT; break;
    case FileDisposition::CreateAlways: flags |= O_CREAT | O_TRUNC; break;
    case FileDisposition::CreateNew: flags |= O_CREAT | O_EXCL; break;
    }
    int fd = ::open(name.c_str(), flags, 0666);
    if (fd < 0 && errno == ENOENT &&
        (options.disposition == FileDisposition::OpenExisting || options.disposition == FileDisposition::OpenAlways))
    {
        std::string found = ResolveExistingFile(name);
        if (!found.empty() && found != name)
        {
            fd = ::open(found.c_str(), flags & ~O_CREAT, 0666);
        }
        else
        {
            if (options.disposition == FileDisposition::OpenAlways)
            {
                fd = ::open(name.c_str(), flags, 0666);
            }
            else
            {
                errno = ENOENT;
            }
        }
    }
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))
    {
        ::close(fd);
        errno = EISDIR;
        return false;
    }
#ifdef POSIX_FADV_RANDOM
    if (options.hint == FileHint::RandomAccess)
    {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
    }
    else if (options.hint == FileHint::SequentialScan)
    {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
#endif
    handle_ = fd;
    pos_ = 0;
    options_ = options;
    return true;
}

bool PlatformFile::Advise(FileHint hint)
{
    if (handle_ < 0)
        return false;
#ifdef POSIX_FADV_SEQUENTIAL
    const int advice = hint == FileHint::RandomAccess     ? POSIX_FADV_RANDOM
                       : hint == FileHint::SequentialScan ? POSIX_FADV_SEQUENTIAL
                                                          : POSIX_FADV_NORMAL;
    return ::posix_fadvise(Fd(handle_), 0, 0, advice) == 0;
#else
    (void)hint;
    return false;
#endif
}

bool PlatformFile::CreateTemp(std::string& createdPath)
{
    Close();
    std::string pattern = JoinPath(TempFolder(), "ZEVXXXXXX");
    std::string buffer = pattern;
    int fd = ::mkstemp(&buffer[0]);
    if (fd < 0)
        return false;
    // Removing the name now gives the delete-on-close of other systems: the
    // data live until the descriptor is closed, whatever ends the process.
    ::unlink(buffer.c_str());
    createdPath = buffer;
    handle_ = fd;
    pos_ = 0;
    options_ = FileOpenOptions();
    options_.access = kFileReadWrite;
    return true;
}

void PlatformFile::Close()
{
    if (handle_ >= 0)
    {
        ::close(Fd(handle_));
        handle_ = -1;
    }
    pos_ = 0;
}

bool PlatformFile::IsOpen() const
{
    return handle_ >= 0;
}

int64_t PlatformFile::Seek(int64_t offset, SeekOrigin origin)
{
    if (handle_ < 0)
    {
        errno = EBADF;
        return -1;
    }
    int64_t base = 0;
    if (origin == SeekOrigin::Current)
    {
        base = pos_;
    }
    else if (origin == SeekOrigin::End)
    {
        base = GetSize();
        if (base < 0)
            return -1;
    }
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0)
    {
        errno = EINVAL;
        return -1;
    }
    pos_ = base + offset;
    return pos_;
}

int64_t PlatformFile::Tell() const
{
    return handle_ >= 0 ? pos_ : -1;
}

int64_t PlatformFile::Read(void* buffer, size_t count)
{
    if (handle_ < 0)
    {
        errno = EBADF;
        return -1;
    }
    char* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count)
    {
        ssize_t n = ::pread(Fd(handle_), out + done, count - done, pos_ + static_cast<int64_t>(done));
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            if (done == 0)
                return -1;
            break;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    pos_ += static_cast<int64_t>(done);
    return static_cast<int64_t>(done);
}

int64_t PlatformFile::Write(const void* buffer, size_t count)
{
    if (handle_ < 0)
    {
        errno = EBADF;
        return -1;
    }
    const char* in = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < count)
    {
        ssize_t n = ::pwrite(Fd(handle_), in + done, count - done, pos_ + static_cast<int64_t>(done));
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            if (done == 0)
                return -1;
            break;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    pos_ += static_cast<int64_t>(done);
    return static_cast<int64_t>(done);
}

int64_t PlatformFile::GetSize() const
{
    if (handle_ < 0)
    {
        errno = EBADF;
        return -1;
    }
    struct stat st;
    if (::fstat(Fd(handle_), &st) != 0)
        return -1;
    return static_cast<int64_t>(st.st_size);
}

bool PlatformFile::SetEndOfFile()
{
    if (handle_ < 0)
    {
        errno = EBADF;
        return false;
    }
    return ::ftruncate(Fd(handle_), static_cast<off_t>(pos_)) == 0;
}

bool PlatformFile::Flush()
{
    if (handle_ < 0)
    {
        errno = EBADF;
        return false;
    }
    return ::fsync(Fd(handle_)) == 0;
}

} // namespace kx
