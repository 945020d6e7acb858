#include "Shared/platform/PlatformFileSystem.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "Shared/platform/PlatformPath.h"

namespace kx
{

namespace
{

std::string NativePath(const std::string& path)
{
    std::string p(path);
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
}

enum class Kind
{
    Missing,
    File,
    Folder,
    Other
};

Kind KindOf(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return Kind::Missing;
    if (S_ISREG(st.st_mode))
        return Kind::File;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

// Finds path, matching each missing component against its folder's names
// without regard to case; the first match in name order wins.
std::string Resolve(const std::string& path, Kind wanted)
{
    if (path.empty() || path.size() > kMaxPathLength)
        return std::string();
    if (KindOf(path) == wanted)
        return path;
    std::string folder = PathFolder(path);
    std::string name = PathFileName(path);
    if (name.empty() || name == "." || name == "..")
        return std::string();
    std::string where;
    if (folder.empty())
    {
        where = ".";
    }
    else
    {
        where = KindOf(folder) == Kind::Folder ? folder : Resolve(folder, Kind::Folder);
        if (where.empty())
            return std::string();
    }
    DIR* dir = ::opendir(where.c_str());
    if (dir == nullptr)
        return std::string();
    std::string best;
    while (dirent* entry = ::readdir(dir))
    {
        if (::strcasecmp(entry->d_name, name.c_str()) != 0)
            continue;
        std::string candidate = folder.empty() ? std::string(entry->d_name) : JoinPath(where, entry->d_name);
        if (KindOf(candidate) != wanted)
            continue;
        if (best.empty() || candidate < best)
            best = candidate;
    }
    ::closedir(dir);
    return best;
}

} // namespace

bool FileExists(const std::string& path)
{
    return !Resolve(NativePath(path), Kind::File).empty();
}

bool FolderExists(const std::string& path)
{
    return !Resolve(NativePath(path), Kind::Folder).empty();
}

bool GetFreeDiskSpace(const std::string& path, uint64_t& freeBytes)
{
    struct statvfs vfs;
    if (::statvfs(NativePath(path).c_str(), &vfs) != 0)
        return false;
    freeBytes = static_cast<uint64_t>(vfs.f_bavail) * static_cast<uint64_t>(vfs.f_frsize);
    return true;
}

std::string TempFolder()
{
    const char* dir = std::getenv("TMPDIR");
    std::string folder = (dir != nullptr && *dir != '\0') ? dir : "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

bool CreateFolder(const std::string& path)
{
    return ::mkdir(NativePath(path).c_str(), 0777) == 0;
}

bool RemoveFile(const std::string& path)
{
    return ::unlink(NativePath(path).c_str()) == 0;
}

bool RemoveFolder(const std::string& path)
{
    return ::rmdir(NativePath(path).c_str()) == 0;
}

bool ListFiles(const std::string& folder, std::vector<std::string>& names)
{
    names.clear();
    std::string where = NativePath(folder);
    DIR* dir = ::opendir(where.c_str());
    if (dir == nullptr)
        return false;
    while (dirent* entry = ::readdir(dir))
    {
        if (KindOf(JoinPath(where, entry->d_name)) == Kind::File)
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return true;
}

std::string ResolveExistingFile(const std::string& path)
{
    return Resolve(NativePath(path), Kind::File);
}

uint32_t LastErrorCode()
{
    return static_cast<uint32_t>(errno);
}

void SetLastErrorCode(uint32_t code)
{
    errno = static_cast<int>(code);
}

std::string SystemErrorText(uint32_t code)
{
    char buffer[256];
    // The GNU strerror_r may answer a static text instead of filling buffer.
    const char* text = ::strerror_r(static_cast<int>(code), buffer, sizeof(buffer));
    return text != nullptr ? std::string(text) : std::string();
}

} // namespace kx
