#pragma once
// Writes small MPEG program streams for cases no fixture holds: packs with a
// chosen SCR and mux rate, PES packets with chosen stream and sub-stream ids,
// time stamps and payloads, wrong lengths, and junk between them.
//
//   kxtest::ProgramStreamWriter w;
//   w.Sector(0, 25200, {0xE0, -1, 90000, {1, 2, 3}});   // pack + packet + padding
//   w.Pack(300 * 3600, 25200);
//   w.Packet({0xBD, 0x80, 0, ac3Frame});
//   w.PadSector();
//   kxtest::MemoryByteStream stream(w.Bytes());

#include "framework/core/AfxTypes.h"

#include <cstdint>
#include <vector>

namespace kxtest
{

struct PesPacket
{
    BYTE streamId;
    int subStreamId; // private stream 1 only; -1 writes none
    uint64_t pts90;  // 90 kHz; 0 writes no PTS
    std::vector<BYTE> payload;
    int lengthDelta = 0;   // added to the true PES_packet_length
    int headerLength = -1; // PES_header_data_length to write; -1 the true one
};

class ProgramStreamWriter
{
public:
    // An MPEG-2 pack header; scr27 in 27 MHz ticks.
    void Pack(uint64_t scr27, DWORD muxRate, int stuffing = 0)
    {
        uint64_t base = scr27 / 300, ext = scr27 % 300;
        Put({0, 0, 1, 0xBA});
        Put(BYTE(0x40 | (base >> 27 & 0x38) | 4 | (base >> 28 & 3)));
        Put(BYTE(base >> 20));
        Put(BYTE((base >> 12 & 0xF8) | 4 | (base >> 13 & 3)));
        Put(BYTE(base >> 5));
        Put(BYTE((base << 3 & 0xF8) | 4 | (ext >> 7 & 3)));
        Put(BYTE(ext << 1 | 1));
        Put(BYTE(muxRate >> 14));
        Put(BYTE(muxRate >> 6));
        Put(BYTE(muxRate << 2 | 3));
        Put(BYTE(0xF8 | (stuffing & 7)));
        for (int i = 0; i < (stuffing & 7); ++i)
            Put(0xFF);
    }

    // An MPEG-1 pack header; scr90 in 90 kHz ticks.
    void Mpeg1Pack(uint64_t scr90, DWORD muxRate)
    {
        Put({0, 0, 1, 0xBA});
        PutTime(0x20, scr90);
        Put(BYTE(0x80 | (muxRate >> 15 & 0x7F)));
        Put(BYTE(muxRate >> 7));
        Put(BYTE(muxRate << 1 | 1));
    }

    void Packet(const PesPacket& p)
    {
        std::vector<BYTE> body;
        if (p.subStreamId >= 0)
        {
            body.push_back(BYTE(p.subStreamId));
            if (p.subStreamId < 0x20 || p.subStreamId >= 0x40)
                body.insert(body.end(), {1, 0, 1}); // frame count, first access unit
        }
        body.insert(body.end(), p.payload.begin(), p.payload.end());
        int trueHeader = p.pts90 ? 5 : 0;
        int length = 3 + trueHeader + int(body.size()) + p.lengthDelta;
        Put({0, 0, 1, p.streamId, BYTE(length >> 8), BYTE(length)});
        Put(0x81);
        Put(p.pts90 ? 0x80 : 0);
        Put(BYTE(p.headerLength >= 0 ? p.headerLength : trueHeader));
        if (p.pts90)
            PutTime(0x20, p.pts90);
        Put(body);
    }

    // A packet of another stream (navigation 0xBF, padding 0xBE) with n bytes.
    void OtherPacket(BYTE streamId, int n)
    {
        Put({0, 0, 1, streamId, BYTE(n >> 8), BYTE(n)});
        m_bytes.insert(m_bytes.end(), size_t(n), 0xFF);
    }

    // Fills the sector with a padding packet (or stuffing where fewer than 6
    // bytes are left).
    void PadSector()
    {
        size_t left = (2048 - m_bytes.size() % 2048) % 2048;
        if (left >= 6)
            OtherPacket(0xBE, int(left - 6));
        else
            m_bytes.insert(m_bytes.end(), left, 0xFF);
    }

    // One whole DVD sector: pack header, packet, padding.
    void Sector(uint64_t scr27, DWORD muxRate, const PesPacket& p)
    {
        Pack(scr27, muxRate);
        Packet(p);
        PadSector();
    }

    void Put(BYTE b) { m_bytes.push_back(b); }
    void Put(const std::vector<BYTE>& bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }

    const std::vector<BYTE>& Bytes() const { return m_bytes; }
    uint64_t Position() const { return m_bytes.size(); }

private:
    // The five-byte form of a 33-bit time with a four-bit prefix.
    void PutTime(BYTE prefix, uint64_t t)
    {
        Put(BYTE(prefix | (t >> 29 & 0x0E) | 1));
        Put(BYTE(t >> 22));
        Put(BYTE(t >> 14 | 1));
        Put(BYTE(t >> 7));
        Put(BYTE(t << 1 | 1));
    }

    std::vector<BYTE> m_bytes;
};

} // namespace kxtest
