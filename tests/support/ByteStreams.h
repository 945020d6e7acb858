#pragma once
// Byte sources for the preview engine's tests: bytes in memory, and the
// sectors of one or more files laid end to end (a whole VOB file, a VOB set
// spread over several files, or the sector extents of one cell) - the stand-in
// for the editor's cell stream.
//
//   kxtest::SectorExtentStream cell({{vob1, 120, 80}, {vob2, 0, 16}});
//   kxtest::SectorExtentStream title(kxtest::FixtureCellExtents("pal1", 1, false, 1, 2));
//   (tests/support/FixtureCells.h)
//   CPsDemuxer demuxer;
//   demuxer.Attach(&cell);

#include "Shared/platform/PlatformFile.h"
#include "VDS/source/PsDemuxer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace kxtest
{

class MemoryByteStream : public CByteStream
{
public:
    explicit MemoryByteStream(std::vector<BYTE> bytes)
        : m_bytes(std::make_shared<const std::vector<BYTE>>(std::move(bytes)))
    {
    }

    // Clones share the bytes, as clones of a file share the file: a large
    // stream is not copied for each reader.
    CByteStream* Clone(DWORD) override { return new MemoryByteStream(m_bytes); }
    int32_t Read(void* buffer, DWORD count) override
    {
        uint64_t left = m_bytes->size() - m_position;
        DWORD n = DWORD(std::min<uint64_t>(count, left));
        if (n)
            std::memcpy(buffer, m_bytes->data() + m_position, n);
        m_position += n;
        return int32_t(n);
    }
    bool Seek(uint64_t position) override
    {
        m_position = std::min<uint64_t>(position, m_bytes->size());
        return true;
    }
    uint64_t GetPosition() override { return m_position; }
    uint64_t GetSize() override { return m_bytes->size(); }

private:
    explicit MemoryByteStream(std::shared_ptr<const std::vector<BYTE>> bytes) : m_bytes(std::move(bytes)) {}

    std::shared_ptr<const std::vector<BYTE>> m_bytes;
    uint64_t m_position = 0;
};

// sectorCount -1: to the end of the file (a partial last sector included).
struct SectorExtent
{
    std::string path;
    uint64_t firstSector;
    int64_t sectorCount;
};

class SectorExtentStream : public CByteStream
{
public:
    explicit SectorExtentStream(std::vector<SectorExtent> extents) : m_extents(std::move(extents))
    {
        for (const SectorExtent& e : m_extents)
        {
            Piece piece;
            piece.file = std::make_shared<kx::PlatformFile>();
            piece.start = m_size;
            piece.offset = e.firstSector * 2048;
            piece.length = 0;
            if (piece.file->Open(e.path.c_str(), kx::FileOpenOptions()))
            {
                int64_t fileSize = piece.file->Seek(0, kx::SeekOrigin::End);
                uint64_t available = fileSize > int64_t(piece.offset) ? uint64_t(fileSize) - piece.offset : 0;
                piece.length = e.sectorCount < 0 ? available : std::min<uint64_t>(available, e.sectorCount * 2048);
            }
            m_size += piece.length;
            m_pieces.push_back(piece);
        }
    }
    // A whole file.
    explicit SectorExtentStream(const std::string& path) : SectorExtentStream(std::vector<SectorExtent>{{path, 0, -1}})
    {
    }

    CByteStream* Clone(DWORD) override { return new SectorExtentStream(m_extents); }
    int32_t Read(void* buffer, DWORD count) override
    {
        BYTE* out = static_cast<BYTE*>(buffer);
        DWORD done = 0;
        for (const Piece& piece : m_pieces)
        {
            if (done == count)
                break;
            if (m_position >= piece.start + piece.length || m_position < piece.start)
                continue;
            uint64_t inside = m_position - piece.start;
            DWORD n = DWORD(std::min<uint64_t>(count - done, piece.length - inside));
            if (piece.file->Seek(int64_t(piece.offset + inside)) < 0)
                break;
            int64_t got = piece.file->Read(out + done, n);
            if (got <= 0)
                break;
            done += DWORD(got);
            m_position += uint64_t(got);
            if (DWORD(got) < n)
                break;
        }
        return int32_t(done);
    }
    bool Seek(uint64_t position) override
    {
        m_position = std::min(position, m_size);
        return true;
    }
    uint64_t GetPosition() override { return m_position; }
    uint64_t GetSize() override { return m_size; }

private:
    struct Piece
    {
        std::shared_ptr<kx::PlatformFile> file;
        uint64_t start;  // position in this stream
        uint64_t offset; // byte offset in the file
        uint64_t length;
    };
    std::vector<SectorExtent> m_extents;
    std::vector<Piece> m_pieces;
    uint64_t m_size = 0;
    uint64_t m_position = 0;
};

} // namespace kxtest
