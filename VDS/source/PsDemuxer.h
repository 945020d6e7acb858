// The program-stream demultiplexer of the preview engine: cuts the packs of a
// cell into PES packets of the kept streams, with their times in 27 MHz
// ticks on one continuous time line.
#pragma once

#include "Shared/platform/PlatformSync.h"
#include "framework/core/AfxTypes.h"

#include <cstdint>

// The byte source the preview engine reads a cell through.
class CByteStream
{
public:
    virtual ~CByteStream() {}
    // A new, independent source over the same bytes at position 0; the caller
    // owns it. The mode is the implementation's own.
    virtual CByteStream* Clone(DWORD mode) = 0;
    // Up to count bytes from the position; fewer only at the end (0 there).
    virtual int32_t Read(void* buffer, DWORD count) = 0;
    // A position beyond the size moves to the size. Always true.
    virtual bool Seek(uint64_t position) = 0;
    virtual uint64_t GetPosition() = 0;
    virtual uint64_t GetSize() = 0;
};

// Stream ids of PES packets.
enum : DWORD
{
    kPsPrivateStream1 = 0xBD,
    kPsPaddingStream = 0xBE,
    kPsPrivateStream2 = 0xBF, // navigation packs
    kPsFirstAudioStream = 0xC0,
    kPsFirstVideoStream = 0xE0,
};

// One packet as ReadPacket found it.
struct CPsPacketInfo
{
    BYTE packSeen;             // a pack header came before it in the same read
    DWORD bytesSincePack;      // from the last pack header to the packet's end
    DWORD streamId;            // PES stream_id
    DWORD subStreamId;         // first payload byte of private stream 1, else 0
    uint64_t clockReference;   // SCR of the last MPEG-2 pack, 27 MHz
    DWORD muxRate;             // of the last pack, 50 bytes per second
    uint64_t presentationTime; // PTS in 27 MHz, 0 when the packet has none
    DWORD payloadLength;
};

class CPsDemuxer
{
public:
    CPsDemuxer();
    CPsDemuxer(const CPsDemuxer&) = delete;
    CPsDemuxer& operator=(const CPsDemuxer&) = delete;

    // Starts reading a source (not owned) at 0 on a new time line; false
    // without a source.
    bool Attach(CByteStream* source);
    CByteStream* GetSource() const { return m_pSource; }
    bool Seek(uint64_t position);
    uint64_t GetPosition();
    uint64_t GetSize();
    // The next packet starts a new time line at 0.
    void Reset();

    // The next packet of a video, MPEG audio or private stream 1; the payload
    // stays valid until the next read. False at the end of the data. Times
    // are the stream's own.
    bool ReadPacket(const BYTE** payload, CPsPacketInfo* info);
    // ReadPacket with the clock reference and time stamp on the continuous
    // time line: 0 at the first packet, growing across clock restarts.
    bool ReadTimedPacket(const BYTE** payload, CPsPacketInfo* info);

    // The position of the pack header at or before a position (see the
    // source for which one); the source position is kept.
    uint64_t SeekToPack(uint64_t position);
    // Moves the source to the nearest packet of a stream before the current
    // position; false when there is none.
    bool SeekToPreviousPacket(DWORD streamId);

    bool IsMpeg2() const { return m_nMpeg2 != 0; }
    // The demultiplexer's lock; callers that need several operations to
    // stay together hold it around them.
    kx::RecursiveLock& GetLock() { return m_lock; }

private:
    enum
    {
        kSectorSize = 2048,
        kPacketBufferSize = 65536,
    };

    bool ReadSource(BYTE* buffer, DWORD count);
    void Resynchronise();
    bool ReadPackHeader();

    bool LoadSectorAt(uint64_t position);
    bool LoadPreviousSector();
    bool LoadNextSector();
    bool ReadBufferedByte(BYTE& value);
    bool ReadBufferedBytes(BYTE* buffer, int count);
    bool PreviousBufferedByte(BYTE& value);

    DWORD m_nMpeg2;
    DWORD m_nMuxRate;
    BYTE m_packet[kPacketBufferSize];
    uint64_t m_qwScrBase;
    uint64_t m_qwScrExtension;
    uint64_t m_qwMpeg1Scr;
    uint64_t m_qwPts;
    kx::RecursiveLock m_lock;
    CByteStream* m_pSource;
    bool m_bFirstPacket;
    int64_t m_nTimeOffset;
    uint64_t m_qwPrevClock;
    DWORD m_nPrevBytesSincePack;
    DWORD m_nPrevMuxRate;
    DWORD m_nByteCounter;
    BYTE m_sector[kSectorSize];
    DWORD m_nSectorIndex;
    DWORD m_nSectorLength;
    uint64_t m_qwSectorPosition;
};
