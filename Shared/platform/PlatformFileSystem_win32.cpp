#include "Shared/platform/PlatformFileSystem.h"

#include <windows.h>

#include "Shared/platform/PlatformPath.h"

namespace kx
{

namespace
{

DWORD Attributes(const std::string& path)
{
    if (path.empty() || path.size() > kMaxPathLength)
        return INVALID_FILE_ATTRIBUTES;
    return ::GetFileAttributesA(path.c_str());
}

} // namespace

bool FileExists(const std::string& path)
{
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path)
{
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool GetFreeDiskSpace(const std::string& path, uint64_t& freeBytes)
{
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr))
        return false;
    freeBytes = available.QuadPart;
    return true;
}

std::string TempFolder()
{
    char folder[MAX_PATH + 1];
    DWORD n = ::GetTempPathA(sizeof(folder), folder);
    if (n == 0 || n > sizeof(folder))
        return ".";
    std::string result(folder, n);
    while (result.size() > 3 && IsPathSeparator(result.back()))
        result.pop_back();
    return result;
}

bool CreateFolder(const std::string& path)
{
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool RemoveFile(const std::string& path)
{
    return ::DeleteFileA(path.c_str()) != 0;
}

bool RemoveFolder(const std::string& path)
{
    return ::RemoveDirectoryA(path.c_str()) != 0;
}

bool ListFiles(const std::string& folder, std::vector<std::string>& names)
{
    names.clear();
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA(JoinPath(folder, "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do
    {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.emplace_back(data.cFileName);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return true;
}

// Names differing only in case are one name here.
std::string ResolveExistingFile(const std::string& path)
{
    return FileExists(path) ? path : std::string();
}

uint32_t LastErrorCode()
{
    return ::GetLastError();
}

void SetLastErrorCode(uint32_t code)
{
    ::SetLastError(code);
}

std::string SystemErrorText(uint32_t code)
{
    char* text = nullptr;
    DWORD n = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = (n != 0 && text != nullptr) ? std::string(text, n) : std::string();
    if (text != nullptr)
        ::LocalFree(text);
    return result;
}

} // namespace kx
