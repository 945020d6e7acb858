#pragma once
// Questions about files and folders, and the last system error.

#include <cstdint>
#include <string>
#include <vector>

namespace kx
{

// Both find a file or folder the way PlatformFile::Open does.
bool FileExists(const std::string& path); // a file, not a folder
bool FolderExists(const std::string& path);
// Bytes free for the caller on the volume that holds path; false when the
// system cannot tell.
bool GetFreeDiskSpace(const std::string& path, uint64_t& freeBytes);
std::string TempFolder();
bool CreateFolder(const std::string& path);
bool RemoveFile(const std::string& path);
bool RemoveFolder(const std::string& path); // an empty folder
// Names (not paths) of the files directly inside a folder, in no fixed order.
bool ListFiles(const std::string& folder, std::vector<std::string>& names);
// The path under which an existing file is found: the exact name when it
// exists, else on case-sensitive systems the name found by matching each
// missing part against its folder ignoring case (the first in name order
// when several match); "" when there is none.
std::string ResolveExistingFile(const std::string& path);

// The calling thread's last system error code and its system message text
// (as the system gives it: Windows ends it with a line end).
uint32_t LastErrorCode();
void SetLastErrorCode(uint32_t code);
std::string SystemErrorText(uint32_t code);
inline std::string LastErrorText()
{
    return SystemErrorText(LastErrorCode());
}

} // namespace kx
