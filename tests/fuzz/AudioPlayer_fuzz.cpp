// Feeds arbitrary bytes to the audio player as a cell's program stream, once
// with an AC-3 and once with an MPEG audio stream selected, and pulls the
// whole chain as the audio thread does: damaged packs, packets and frames
// must come out as sound or silence, never as a crash or a write outside a
// buffer.

#include "VDS/source/AudioPlayer.h"
#include "tests/support/ByteStreams.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<BYTE> bytes(data, data + size);
    for (WORD selection : {WORD(0x80BD), WORD(0xC0)})
    {
        kxtest::MemoryByteStream stream(bytes);
        CAudioPlayer player;
        if (!player.Open(&stream, (size & 1) != 0))
            continue;
        CAudioSettings settings = {};
        settings.dwStream = selection;
        if (!player.Start(48000, AUDIOPLAYER_CHAIN | AUDIOPLAYER_RESTATE, &settings))
            continue;
        BYTE* samples = nullptr;
        // Each read hands out 8,192 frames; a stream of this size cannot
        // honestly last longer than these.
        for (int i = 0; i < 16 && player.Read(nullptr, &samples, 8192); i++)
        {
        }
        player.Stop();
    }
    return 0;
}
