// A whole file's bytes, for tests that compare output with files on disk.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kxtest
{

// Empty when the file cannot be opened.
inline std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    uint8_t buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

} // namespace kxtest
