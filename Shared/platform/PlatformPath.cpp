#include "Shared/platform/PlatformPath.h"

namespace kx
{

bool IsPathSeparator(char c)
{
    return c == '/' || c == '\\';
}

namespace
{

size_t LastSeparator(const std::string& path)
{
    for (size_t i = path.size(); i > 0; --i)
    {
        if (IsPathSeparator(path[i - 1]))
            return i - 1;
    }
    return std::string::npos;
}

} // namespace

std::string PathFolder(const std::string& path)
{
    size_t at = LastSeparator(path);
    if (at == std::string::npos)
        return std::string();
    if (at == 0)
        return path.substr(0, 1); // the root itself
    return path.substr(0, at);
}

std::string PathFileName(const std::string& path)
{
    size_t at = LastSeparator(path);
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string PathExtension(const std::string& path)
{
    std::string name = PathFileName(path);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return std::string();
    return name.substr(dot);
}

std::string PathStem(const std::string& path)
{
    std::string name = PathFileName(path);
    return name.substr(0, name.size() - PathExtension(name).size());
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (IsPathSeparator(folder.back()))
        return folder + name;
    return folder + NativePathSeparator() + name;
}

} // namespace kx
