// Scan orders and variable-length code tables of MPEG video (ISO/IEC 13818-2
// Annex B), as lookup tables indexed by the next bits of the stream.
#pragma once

#include <cstdint>

extern const uint8_t g_mpegZigzag[64];
extern const uint8_t g_mpegAlternate[64];

// One entry of a lookup table: the decoded value and the code's length in
// bits; length 0 marks bits that begin no code.
struct MpegVlc
{
    int16_t value;
    uint8_t length;
};

// A DCT coefficient code: run and level (the sign bit follows), or the end
// of block, escape or invalid marker in run.
struct MpegDctVlc
{
    uint8_t run;
    uint8_t level;
    uint8_t length;
};

const uint8_t MPEG_DCT_EOB = 64;
const uint8_t MPEG_DCT_ESCAPE = 65;
const uint8_t MPEG_DCT_INVALID = 66; // bits that begin no code

// Macroblock type flags.
enum
{
    MB_INTRA = 1,
    MB_PATTERN = 2,
    MB_BACKWARD = 4,
    MB_FORWARD = 8,
    MB_QUANT = 16,
};

struct MpegVlcTables
{
    MpegVlc mbaIncrement[2048]; // 11 bits; escape 34, stuffing 35
    MpegVlc mbTypeI[64];        // 6 bits each
    MpegVlc mbTypeP[64];
    MpegVlc mbTypeB[64];
    MpegVlc codedBlockPattern[512]; // 9 bits
    MpegVlc motionCode[2048];       // 11 bits, sign included
    MpegVlc dmvector[4];            // 2 bits
    MpegVlc dcSizeLuma[512];        // 9 bits
    MpegVlc dcSizeChroma[1024];     // 10 bits
    // Coefficients: codes that do not start with six zeros are looked up by
    // their first 8 bits, the others by the 10 bits after the zeros.
    MpegDctVlc dctShort[2][256];
    MpegDctVlc dctLong[2][1024];

    MpegVlcTables();
};

extern const MpegVlcTables g_mpegVlc;
