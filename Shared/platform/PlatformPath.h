#pragma once
// Path texts. Both '/' and '\\' separate folders in the texts given here
// (paths written on Windows reach every build through project files); the
// paths built here use the native separator.

#include <string>

namespace kx
{

char NativePathSeparator();
bool IsPathSeparator(char c);

// "a/b/c.ifo" -> folder "a/b", name "c.ifo" (no separator at the end of the
// folder; "" when the path has no folder part).
std::string PathFolder(const std::string& path);
std::string PathFileName(const std::string& path);
// The extension with its dot (".ifo"), "" when the name has none.
std::string PathExtension(const std::string& path);
// The name without folder and extension ("c").
std::string PathStem(const std::string& path);
// folder + separator + name, without doubling a separator already there.
std::string JoinPath(const std::string& folder, const std::string& name);

// Longest path this layer accepts; longer ones are refused, never cut.
constexpr size_t kMaxPathLength = 4095;

} // namespace kx
