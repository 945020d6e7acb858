#pragma once
// One input of the video decoder's fuzz target, shared by the libFuzzer
// target (tests/fuzz/MpegVideo_fuzz.cpp) and the unit test that replays its
// committed corpus: the bytes as a cell, decoded from the start and again
// after a seek to their middle, with a sub-picture stream selected.

#include "VDS/source/Idct.h"
#include "VDS/source/MpegVideoDecoder.h"
#include "tests/support/ByteStreams.h"

#include <cstring>
#include <vector>

namespace kxtest
{

// Decodes at most this many pictures per start; each is read and released.
inline int DecodeVideoInput(const BYTE* data, size_t size, int maxPictures = 48)
{
    g_pfnIdct = FastSse2Idct;
    MemoryByteStream stream(std::vector<BYTE>(data, data + size));
    CMpegVideoDecoder decoder;
    MpegVideoInitAttributes attributes;
    attributes.pStream = &stream;
    attributes.nSubpictureStream = 0x20;
    for (int i = 0; i < 16; i++)
    {
        BYTE entry[4] = {0, BYTE(16 + 14 * i), BYTE(128 + i), BYTE(128 - i)};
        std::memcpy(&attributes.palette[i], entry, 4);
    }
    if (!decoder.Init(attributes))
        return 0;
    int pictures = 0;
    for (uint64_t start : {uint64_t(0), uint64_t(size / 2)})
    {
        if (!decoder.Start(start != 0, start != 0, start))
            break;
        CVideoPicture* picture = nullptr;
        for (int n = 0; n < maxPictures && decoder.GetNextPicture(&picture); n++, pictures++)
        {
            PicturePlanes planes;
            picture->GetPlanes(&planes);
            // Touch the first and last samples so a picture outside its
            // buffer shows.
            volatile BYTE sum = BYTE(planes.pY[0] + planes.pY[size_t(planes.width) * planes.height - 1]);
            (void)sum;
            picture->Release();
        }
        decoder.Stop();
    }
    return pictures;
}

} // namespace kxtest
