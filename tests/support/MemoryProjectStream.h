#pragma once
// Project streams over bytes in memory, for the tests of node records: a
// writer that collects what is stored and a reader over given bytes, which
// can be cut short or damaged to test the loaders.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "DVD/source/ProjectStream.h"

namespace kxtest
{

// Collects every byte written; with a limit, takes no more than that many
// bytes in all, as a full disk would.
class MemoryProjectWriter : public CProjectWriter
{
public:
    explicit MemoryProjectWriter(size_t limit = SIZE_MAX) : m_limit(limit) {}

    uint32_t Write(const void* data, uint32_t count) override
    {
        const size_t room = m_limit - std::min(m_limit, bytes.size());
        const uint32_t taken = static_cast<uint32_t>(std::min<size_t>(count, room));
        const uint8_t* begin = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), begin, begin + taken);
        return taken;
    }

    std::vector<uint8_t> bytes;

private:
    size_t m_limit;
};

// Reads a copy of the given bytes; GetSize answers their count.
class MemoryProjectReader : public CProjectReader
{
public:
    explicit MemoryProjectReader(std::vector<uint8_t> data) : bytes(std::move(data)) {}

    uint32_t Read(void* buffer, uint32_t count) override
    {
        const size_t left = bytes.size() - std::min(bytes.size(), m_position);
        const uint32_t moved = static_cast<uint32_t>(std::min<size_t>(count, left));
        if (moved > 0)
            std::memcpy(buffer, bytes.data() + m_position, moved);
        m_position += moved;
        return moved;
    }
    uint64_t GetSize() const override { return bytes.size(); }

    std::vector<uint8_t> bytes;

private:
    size_t m_position = 0;
};

} // namespace kxtest
