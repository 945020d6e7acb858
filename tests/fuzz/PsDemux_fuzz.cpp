// Feeds arbitrary bytes to the program-stream demultiplexer as a cell's
// content: every packet read, the pack search and the backward packet search
// must stay inside the data and end, whatever the lengths and codes say.

#include "VDS/source/PsDemuxer.h"
#include "tests/support/ByteStreams.h"

#include <cstdint>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> bytes(data, data + size);
    kxtest::MemoryByteStream stream(bytes);
    std::unique_ptr<CPsDemuxer> demuxer(new CPsDemuxer());
    demuxer->Attach(&stream);

    const BYTE* payload = nullptr;
    CPsPacketInfo info;
    uint64_t payloadBytes = 0;
    while (demuxer->ReadTimedPacket(&payload, &info))
    {
        // Touch the payload so that a pointer or length outside the packet
        // buffer shows.
        for (DWORD i = 0; i < info.payloadLength; ++i)
            payloadBytes += payload[i];
    }

    for (uint64_t position : {uint64_t(0), uint64_t(size / 2), uint64_t(size), uint64_t(size) + 4096})
    {
        uint64_t pack = demuxer->SeekToPack(position);
        if (pack > size)
            __builtin_trap();
    }

    // Walk back over the video packets from the end; every step moves back.
    demuxer->Seek(size);
    uint64_t last = size;
    for (int steps = 0; steps < 64 && demuxer->SeekToPreviousPacket(0xE0); ++steps)
    {
        uint64_t at = demuxer->GetPosition();
        if (at >= last)
            __builtin_trap();
        last = at;
        demuxer->ReadPacket(&payload, &info);
        demuxer->Seek(at);
    }
    static volatile uint64_t s_sink;
    s_sink = payloadBytes;
    return 0;
}
