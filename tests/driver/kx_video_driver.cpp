// kx_video_driver: decodes the video of a VOB file (or of a sector range of
// it, such as one cell) with the preview engine's decoder and prints one line
// per picture, to reproduce a decode by hand:
//
//   kx_video_driver VOB [--sectors FIRST:COUNT] [--seek BYTES] [--subpicture N]
//                   [--film] [--yuv FILE] [--ref-idct]
//
// Each line: index, time stamp (27 MHz ticks), frame period (0.1 ms), flags
// (1 assembled from fields, 2 progressive) and coding type (1 I, 2 P, 3 B).
// --seek starts at a byte position of the input (sector x 2,048);
// --subpicture draws sub-picture stream N (0..31) with a grey palette;
// --yuv writes the pictures as raw 4:2:0 (Y, U, V) at their coded size;
// --ref-idct uses Ref_iDCT instead of the transform the benchmark chooses.
//
// Exit code 0 when the input opened, 1 when it did not, 2 for bad usage.

#include "VDS/source/Idct.h"
#include "VDS/source/MpegVideoDecoder.h"
#include "tests/support/ByteStreams.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: kx_video_driver VOB [--sectors FIRST:COUNT] [--seek BYTES] [--subpicture N] "
                             "[--film] [--yuv FILE] [--ref-idct]\n");
        return 2;
    }
    std::string vob = argv[1];
    uint64_t firstSector = 0, seek = 0;
    int64_t sectorCount = -1;
    int subpicture = -1;
    bool film = false, bSeek = false, refIdct = false;
    const char* yuvPath = nullptr;
    for (int i = 2; i < argc; i++)
    {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--sectors" && hasValue)
        {
            std::string v = argv[++i];
            size_t colon = v.find(':');
            if (colon == std::string::npos)
                return 2;
            firstSector = std::strtoull(v.c_str(), nullptr, 10);
            sectorCount = std::strtoll(v.c_str() + colon + 1, nullptr, 10);
        }
        else if (arg == "--seek" && hasValue)
        {
            seek = std::strtoull(argv[++i], nullptr, 10);
            bSeek = true;
        }
        else if (arg == "--subpicture" && hasValue)
        {
            subpicture = 0x20 + std::atoi(argv[++i]);
        }
        else if (arg == "--film")
        {
            film = true;
        }
        else if (arg == "--yuv" && hasValue)
        {
            yuvPath = argv[++i];
        }
        else if (arg == "--ref-idct")
        {
            refIdct = true;
        }
        else
        {
            std::fprintf(stderr, "kx_video_driver: unknown option %s\n", arg.c_str());
            return 2;
        }
    }

    if (refIdct)
    {
        InitRefIdct();
        g_pfnIdct = RefIdct;
    }
    else
    {
        SelectFastestIdct();
    }
    kxtest::SectorExtentStream stream(std::vector<kxtest::SectorExtent>{{vob, firstSector, sectorCount}});
    MpegVideoInitAttributes attributes;
    attributes.pStream = &stream;
    attributes.nSubpictureStream = subpicture;
    for (int i = 0; i < 16; i++)
    {
        // Entry i: Y from dark to light, neutral chroma (bytes 0, Y, Cr, Cb).
        BYTE entry[4] = {0, BYTE(16 + i * 14), 128, 128};
        std::memcpy(&attributes.palette[i], entry, 4);
    }
    CMpegVideoDecoder decoder;
    if (!decoder.Init(attributes) || !decoder.Start(film, bSeek, seek))
    {
        std::fprintf(stderr, "kx_video_driver: %s holds no MPEG video the decoder opens\n", vob.c_str());
        return 1;
    }
    std::FILE* yuv = yuvPath ? std::fopen(yuvPath, "wb") : nullptr;
    if (yuvPath && !yuv)
    {
        std::fprintf(stderr, "kx_video_driver: cannot write %s\n", yuvPath);
        return 1;
    }
    CVideoPicture* picture = nullptr;
    for (unsigned index = 0; decoder.GetNextPicture(&picture); index++)
    {
        std::printf("%u %llu %u %u %u\n", index, static_cast<unsigned long long>(picture->GetTimeStamp()),
                    unsigned(picture->GetFramePeriod()), unsigned(picture->GetFlags()),
                    unsigned(picture->GetCodingType()));
        if (yuv)
        {
            PicturePlanes p;
            picture->GetPlanes(&p);
            std::fwrite(p.pY, 1, size_t(p.width) * p.height, yuv);
            std::fwrite(p.pU, 1, size_t(p.chromaWidth) * p.chromaHeight, yuv);
            std::fwrite(p.pV, 1, size_t(p.chromaWidth) * p.chromaHeight, yuv);
        }
        picture->Release();
    }
    decoder.Stop();
    if (yuv)
        std::fclose(yuv);
    return 0;
}
