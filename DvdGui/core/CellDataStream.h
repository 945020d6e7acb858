// One interleaved unit's source sectors as one contiguous byte stream, for
// the preview player and the editor's video decoders.
//
// A unit's data may lie in several separate sector ranges of its VOB file
// set; the stream reads them one after the other through a buffer of five
// sectors, so a decoder's many small reads cost one file-set read per
// 10,240 bytes. A unit converted to a still picture reads, in mode 0, only
// the VOBU of its still (the size stays that of the whole unit); mode 1 reads
// the whole unit. A stream is used by one thread at a time.
#pragma once

#include "VDS/source/PsDemuxer.h"

#include <cstdint>

class CVobCell;

const DWORD CELL_STREAM_BUFFER_SIZE = 5 * 2048;

class CCellDataStream : public CByteStream
{
public:
    CCellDataStream() = default;
    ~CCellDataStream() override;
    CCellDataStream(const CCellDataStream&) = delete;
    CCellDataStream& operator=(const CCellDataStream&) = delete;

    // Always true; a null unit gives an empty stream.
    bool Open(CVobCell* pUnit, DWORD nMode);

    CByteStream* Clone(DWORD nMode) override;
    int32_t Read(void* pBuffer, DWORD nCount) override;
    bool Seek(uint64_t nPosition) override;
    uint64_t GetPosition() override { return m_nPosition; }
    uint64_t GetSize() override { return m_nSize; }

    // A byte address of the file set as a stream offset of the source unit:
    // 0 without a unit, -1 beyond its last range.
    int64_t SourceToStreamPosition(uint64_t nAddress) const;
    // The byte address of a stream offset; the end of the data maps to just
    // after the last range; 0 when no range holds the offset.
    uint64_t StreamToSourcePosition(uint64_t nOffset) const;

private:
    // The range of the unit that holds the offset, the offset inside it and
    // the bytes left in it; false past all ranges.
    static bool Locate(const CVobCell& unit, uint64_t nOffset, uint32_t& nRange, uint64_t& nInside, uint64_t& nLeft);
    void Fill();
    DWORD ReadChunk(BYTE* pOut, DWORD nCount);

    uint64_t m_nPosition = 0;
    uint64_t m_nSize = 0;
    CVobCell* m_pReading = nullptr;
    CVobCell* m_pSource = nullptr; // not owned
    CVobCell* m_pStill = nullptr;  // owned
    BYTE m_buffer[CELL_STREAM_BUFFER_SIZE];
    uint64_t m_nBufferStart = 0;
    DWORD m_nBufferLength = 0;
};
