#include "VDS/source/PsDemuxer.h"

#include <cstring>

namespace
{

constexpr uint64_t kTicksPerSecond = 27000000;

bool IsPackStart(const BYTE* b)
{
    return b[0] == 0 && b[1] == 0 && b[2] == 1 && b[3] == 0xBA;
}

bool IsStartCodePrefix(const BYTE* b)
{
    return b[0] == 0 && b[1] == 0 && b[2] == 1;
}

// The marker bits of a pack header's SCR, in either form.
bool PackMarkersHold(const BYTE* b)
{
    bool mpeg2 = (b[0] & 0xC4) == 0x44 && (b[2] & 4) && (b[4] & 4) && (b[5] & 1);
    bool mpeg1 = (b[0] & 0xF1) == 0x21 && (b[2] & 1) && (b[4] & 1);
    return mpeg2 || mpeg1;
}

// A 33-bit time in the five-byte form of PTS and MPEG-1 SCR.
uint64_t ReadTime33(const BYTE* b)
{
    return (uint64_t(b[0] >> 1) & 7) << 30 | uint64_t(b[1]) << 22 | uint64_t(b[2] >> 1) << 15 | uint64_t(b[3]) << 7 |
           uint64_t(b[4] >> 1);
}

} // namespace

CPsDemuxer::CPsDemuxer()
    : m_nMpeg2(0), m_nMuxRate(0), m_qwScrBase(0), m_qwScrExtension(0), m_qwMpeg1Scr(0), m_qwPts(0), m_pSource(nullptr),
      m_bFirstPacket(true), m_nTimeOffset(0), m_qwPrevClock(0), m_nPrevBytesSincePack(0), m_nPrevMuxRate(0),
      m_nByteCounter(0), m_nSectorIndex(0), m_nSectorLength(0), m_qwSectorPosition(0)
{
}

bool CPsDemuxer::Attach(CByteStream* source)
{
    kx::ScopedLock hold(m_lock);
    m_pSource = source;
    m_nMpeg2 = 0;
    m_nMuxRate = 0;
    m_qwScrBase = 0;
    m_qwScrExtension = 0;
    m_qwMpeg1Scr = 0;
    m_qwPts = 0;
    m_nByteCounter = 0;
    Reset();
    if (!m_pSource)
        return false;
    m_pSource->Seek(0);
    return true;
}

bool CPsDemuxer::Seek(uint64_t position)
{
    kx::ScopedLock hold(m_lock);
    return m_pSource ? m_pSource->Seek(position) : false;
}

uint64_t CPsDemuxer::GetPosition()
{
    kx::ScopedLock hold(m_lock);
    return m_pSource ? m_pSource->GetPosition() : 0;
}

uint64_t CPsDemuxer::GetSize()
{
    kx::ScopedLock hold(m_lock);
    return m_pSource ? m_pSource->GetSize() : 0;
}

void CPsDemuxer::Reset()
{
    kx::ScopedLock hold(m_lock);
    m_nTimeOffset = 0;
    m_qwPrevClock = 0;
    m_nPrevBytesSincePack = 0;
    m_nPrevMuxRate = 0;
    m_bFirstPacket = true;
}

bool CPsDemuxer::ReadSource(BYTE* buffer, DWORD count)
{
    if (count == 0)
        return true;
    int32_t got = m_pSource->Read(buffer, count);
    if (got > 0)
        m_nByteCounter += DWORD(got);
    return got == int32_t(count);
}

// Skips to the next pack header that starts a sector; damaged or foreign
// bytes cost at most the rest of their sector. At the end of the data the
// source is left at the end and the next read fails.
void CPsDemuxer::Resynchronise()
{
    uint64_t position = m_pSource->GetPosition();
    if (position % kSectorSize)
        m_pSource->Seek(position - position % kSectorSize + kSectorSize);
    for (;;)
    {
        BYTE code[4];
        if (!ReadSource(code, 4))
            return;
        position = m_pSource->GetPosition();
        if (IsPackStart(code))
        {
            m_pSource->Seek(position - 4);
            return;
        }
        m_pSource->Seek(position + kSectorSize - 4);
    }
}

// The body of a pack header after its start code; false for a form that is
// neither MPEG-1 nor MPEG-2 or when the data end.
bool CPsDemuxer::ReadPackHeader()
{
    BYTE h[10];
    if (!ReadSource(h, 1))
        return false;
    if ((h[0] & 0xC0) == 0x40)
    {
        if (!ReadSource(h + 1, 9))
            return false;
        m_nMpeg2 = 1;
        m_qwScrBase = (uint64_t(h[0] >> 3) & 7) << 30 | uint64_t(h[0] & 3) << 28 | uint64_t(h[1]) << 20 |
                      uint64_t(h[2] >> 3) << 15 | uint64_t(h[2] & 3) << 13 | uint64_t(h[3]) << 5 | uint64_t(h[4] >> 3);
        m_qwScrExtension = uint64_t(h[4] & 3) << 7 | uint64_t(h[5] >> 1);
        m_nMuxRate = DWORD(h[6]) << 14 | DWORD(h[7]) << 6 | DWORD(h[8]) >> 2;
        m_nByteCounter = 5;
        BYTE stuffing[7];
        return ReadSource(stuffing, h[9] & 7);
    }
    if ((h[0] & 0xF0) == 0x20)
    {
        if (!ReadSource(h + 1, 7))
            return false;
        m_nMpeg2 = 0;
        m_qwMpeg1Scr = ReadTime33(h);
        m_nMuxRate = DWORD(h[5] & 0x7F) << 15 | DWORD(h[6]) << 7 | DWORD(h[7]) >> 1;
        m_nByteCounter = 3;
        return true;
    }
    Resynchronise();
    return true;
}

bool CPsDemuxer::ReadPacket(const BYTE** payload, CPsPacketInfo* info)
{
    kx::ScopedLock hold(m_lock);
    m_qwPts = 0;
    info->packSeen = 0;
    info->payloadLength = 255;
    if (!m_pSource)
        return false;
    for (;;)
    {
        BYTE code[4];
        int32_t got = m_pSource->Read(code, 3);
        if (got > 0)
            m_nByteCounter += DWORD(got);
        if (got != 3)
            return false;
        if (!IsStartCodePrefix(code))
        {
            Resynchronise();
            continue;
        }
        if (!ReadSource(code + 3, 1))
            return false;
        DWORD id = code[3];
        if (id == 0xBA)
        {
            info->packSeen = 1;
            if (!ReadPackHeader())
                return false;
            continue;
        }
        if (id < 0xBA)
        {
            // Not a packet: the program end code has no body, and lower
            // codes belong inside video data, not between packets.
            if (id != 0xB9)
                Resynchronise();
            continue;
        }
        if (id == kPsPrivateStream1 || (id >= 0xC0 && id <= 0xEF))
        {
            BYTE h[5];
            if (!ReadSource(h, 5))
                return false;
            DWORD packetLength = DWORD(h[0]) << 8 | h[1];
            DWORD headerLength = h[4];
            bool hasPts = (h[3] & 0x80) != 0;
            // Lengths that contradict each other are damage, not a packet:
            // the header must hold the PTS it announces and fit the packet.
            if ((hasPts && headerLength < 5) || packetLength < headerLength + 3)
            {
                Resynchronise();
                continue;
            }
            DWORD payloadOffset = headerLength;
            DWORD bodyLength = packetLength - 3;
            if (hasPts)
            {
                BYTE pts[5];
                if (!ReadSource(pts, 5))
                    return false;
                m_qwPts = ReadTime33(pts);
                payloadOffset -= 5;
                bodyLength -= 5;
            }
            if (!ReadSource(m_packet, bodyLength))
                return false;
            const BYTE* data = m_packet + payloadOffset;
            DWORD length = packetLength - headerLength - 3;
            DWORD subStream = 0;
            if (id == kPsPrivateStream1)
            {
                DWORD dropped = 1;
                if (length >= 1)
                {
                    subStream = data[0];
                    if (subStream < 0x20 || subStream >= 0x40)
                        dropped = 4;
                }
                if (length < dropped)
                {
                    Resynchronise();
                    continue;
                }
                data += dropped;
                length -= dropped;
            }
            info->streamId = id;
            info->subStreamId = subStream;
            info->clockReference = m_qwScrBase * 300 + m_qwScrExtension;
            info->muxRate = m_nMuxRate;
            info->presentationTime = m_qwPts * 300;
            info->bytesSincePack = m_nByteCounter;
            info->payloadLength = length;
            *payload = data;
            return true;
        }
        // System header, padding, navigation and other packets are skipped.
        BYTE h[2];
        if (!ReadSource(h, 2))
            return false;
        if (!ReadSource(m_packet, DWORD(h[0]) << 8 | h[1]))
            return false;
    }
}

bool CPsDemuxer::ReadTimedPacket(const BYTE** payload, CPsPacketInfo* info)
{
    kx::ScopedLock hold(m_lock);
    if (!ReadPacket(payload, info))
        return false;
    uint64_t clock = info->clockReference;
    if (m_bFirstPacket)
    {
        m_bFirstPacket = false;
        m_nTimeOffset = -int64_t(clock);
    }
    else if (info->packSeen && m_qwPrevClock >= clock)
    {
        // The clock went back or stood still (cells of different origin
        // follow each other): continue from where the previous pack ended.
        // A pack without a mux rate has no duration to add.
        int64_t duration = 0;
        if (m_nPrevMuxRate != 0)
            duration =
                int64_t((uint64_t(m_nPrevBytesSincePack) + 1) * kTicksPerSecond / (uint64_t(m_nPrevMuxRate) * 50));
        m_nTimeOffset += int64_t(m_qwPrevClock - clock) + duration;
    }
    m_qwPrevClock = clock;
    m_nPrevBytesSincePack = info->bytesSincePack;
    m_nPrevMuxRate = info->muxRate;
    info->clockReference = uint64_t(int64_t(clock) + m_nTimeOffset);
    if (info->presentationTime != 0)
        info->presentationTime = uint64_t(int64_t(info->presentationTime) + m_nTimeOffset);
    return true;
}

uint64_t CPsDemuxer::SeekToPack(uint64_t position)
{
    kx::ScopedLock hold(m_lock);
    if (!m_pSource)
        return 0;
    uint64_t kept = m_pSource->GetPosition();
    m_pSource->Seek(position);
    uint64_t at = m_pSource->GetPosition();
    // A position inside a sector starts the search a sector lower; the search
    // never goes below byte 0.
    auto sectorBelow = [](uint64_t p)
    {
        uint64_t start = p - p % kSectorSize;
        return start >= kSectorSize ? start - kSectorSize : 0;
    };
    if (at % kSectorSize)
        at = sectorBelow(at);
    uint64_t result;
    for (;;)
    {
        m_pSource->Seek(at);
        BYTE code[4];
        if (m_pSource->Read(code, 4) != 4)
        {
            result = m_pSource->GetPosition();
            break;
        }
        if (IsPackStart(code))
        {
            BYTE b[6];
            if (m_pSource->Read(b, 6) != 6)
            {
                result = m_pSource->GetPosition();
                break;
            }
            if (PackMarkersHold(b))
            {
                result = at;
                break;
            }
            if (at == 0)
            {
                result = 0;
                break;
            }
            at = sectorBelow(at - 1);
            continue;
        }
        if (at < kSectorSize)
        {
            result = 0;
            break;
        }
        at -= kSectorSize;
    }
    m_pSource->Seek(kept);
    return result;
}

bool CPsDemuxer::LoadSectorAt(uint64_t position)
{
    m_qwSectorPosition = position - position % kSectorSize;
    m_pSource->Seek(m_qwSectorPosition);
    int32_t got = m_pSource->Read(m_sector, kSectorSize);
    m_nSectorLength = got > 0 ? DWORD(got) : 0;
    m_nSectorIndex = DWORD(position % kSectorSize);
    if (m_nSectorIndex > m_nSectorLength)
        m_nSectorIndex = m_nSectorLength;
    return m_nSectorLength != 0;
}

bool CPsDemuxer::LoadPreviousSector()
{
    if (m_qwSectorPosition < kSectorSize)
        return false;
    LoadSectorAt(m_qwSectorPosition - kSectorSize);
    m_nSectorIndex = m_nSectorLength;
    return m_nSectorLength != 0;
}

bool CPsDemuxer::LoadNextSector()
{
    uint64_t next = m_qwSectorPosition + kSectorSize;
    if (next >= m_pSource->GetSize())
        return false;
    return LoadSectorAt(next);
}

bool CPsDemuxer::ReadBufferedByte(BYTE& value)
{
    if (m_nSectorIndex >= m_nSectorLength && !LoadNextSector())
        return false;
    value = m_sector[m_nSectorIndex++];
    return true;
}

bool CPsDemuxer::ReadBufferedBytes(BYTE* buffer, int count)
{
    for (int i = 0; i < count; ++i)
        if (!ReadBufferedByte(buffer[i]))
            return false;
    return true;
}

bool CPsDemuxer::PreviousBufferedByte(BYTE& value)
{
    if (m_nSectorIndex == 0 && !LoadPreviousSector())
        return false;
    value = m_sector[--m_nSectorIndex];
    return true;
}

bool CPsDemuxer::SeekToPreviousPacket(DWORD streamId)
{
    kx::ScopedLock hold(m_lock);
    if (!m_pSource)
        return false;
    uint64_t size = m_pSource->GetSize();
    LoadSectorAt(m_pSource->GetPosition());
    const uint32_t wanted = 0x00000100u | (streamId & 0xFF);
    uint32_t window = 0;
    int seen = 0;
    bool found = false;
    uint64_t packet = 0;
    // Backwards a byte at a time; window holds the four bytes from the
    // current one on, in stream order.
    BYTE b;
    while (PreviousBufferedByte(b))
    {
        window = uint32_t(b) << 24 | window >> 8;
        if (++seen < 4 || window != wanted)
            continue;
        uint64_t candidate = m_qwSectorPosition + m_nSectorIndex;
        // A real packet is followed by another start code, or by the end of
        // the data.
        BYTE head[6];
        LoadSectorAt(candidate);
        bool real = false;
        if (ReadBufferedBytes(head, 6))
        {
            uint64_t next = candidate + 6 + (DWORD(head[4]) << 8 | head[5]);
            BYTE after[4];
            if (next == size)
                real = true;
            else if (next < size && LoadSectorAt(next) && ReadBufferedBytes(after, 4))
                real = IsStartCodePrefix(after);
        }
        LoadSectorAt(candidate);
        if (real)
        {
            packet = candidate;
            found = true;
            break;
        }
    }
    if (found)
    {
        // The pack that holds the packet sets the form and the byte count.
        found = false;
        window = 0;
        seen = 0;
        while (PreviousBufferedByte(b))
        {
            window = uint32_t(b) << 24 | window >> 8;
            if (++seen < 4 || window != 0x000001BAu)
                continue;
            uint64_t pack = m_qwSectorPosition + m_nSectorIndex;
            BYTE head[5];
            if (ReadBufferedBytes(head, 5))
            {
                m_nMpeg2 = (head[4] & 0xC0) == 0x40 ? 1 : 0;
                m_nByteCounter = DWORD(packet - pack + 4);
                found = true;
            }
            break;
        }
        LoadSectorAt(packet);
    }
    m_pSource->Seek(m_qwSectorPosition + m_nSectorIndex);
    return found;
}
