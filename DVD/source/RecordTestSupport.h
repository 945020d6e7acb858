#pragma once
// Hand-built project records for the loader tests: little-endian fields
// appended in stream order, and a reader over them.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/MemoryProjectStream.h"

namespace kxtest
{

class RecordBytes
{
public:
    RecordBytes& U8(uint64_t value) { return Put(value, 1); }
    RecordBytes& U16(uint64_t value) { return Put(value, 2); }
    RecordBytes& U32(uint64_t value) { return Put(value, 4); }
    RecordBytes& U64(uint64_t value) { return Put(value, 8); }
    RecordBytes& Fill(size_t count, uint8_t value = 0)
    {
        bytes.insert(bytes.end(), count, value);
        return *this;
    }
    RecordBytes& Raw(const std::vector<uint8_t>& more)
    {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    // A text as the project streams store it: length + 1, text, NUL.
    RecordBytes& Text(const std::string& text)
    {
        U32(text.size() + 1);
        bytes.insert(bytes.end(), text.begin(), text.end());
        return U8(0);
    }
    size_t Size() const { return bytes.size(); }

    std::vector<uint8_t> bytes;

private:
    RecordBytes& Put(uint64_t value, int width)
    {
        for (int i = 0; i < width; ++i)
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }
};

inline MemoryProjectReader ReaderOf(const RecordBytes& record)
{
    return MemoryProjectReader(record.bytes);
}

} // namespace kxtest
