// The program's own MPEG audio decoder (ISO/IEC 11172-3 Layers I, II and III,
// with the lower sampling frequencies of ISO/IEC 13818-3). It pulls each
// frame's bytes through a CMpegAudioReader and reports every failure by
// throwing an int: 1 the input ran short of the header or the frame, 2 the
// CRC was cut short, 7 Layer III side information with window switching and
// block type 0, 8 the bit reader or the Layer III reservoir ran short.
//
// A Layer III granule whose big values name table 4 or 14, which the
// standard leaves unused, makes Decode return false, and the frame's place
// stays silent.
#pragma once

#include "framework/core/AfxTypes.h"

#include <cstdint>

class CMpegAudioReader;

struct CMpegAudioFormat
{
    int32_t nBitRate; // kbit/s
    int32_t nRate;    // Hz
    BYTE nLayer;
    BYTE nVersion; // 1, or 2 for the lower sampling frequencies
    BYTE bStereo;
};

const int MPEGAUDIO_ERR_INPUT = 1;
const int MPEGAUDIO_ERR_CRC = 2;
const int MPEGAUDIO_ERR_BLOCKTYPE = 7;
const int MPEGAUDIO_ERR_BITS = 8;

class CMpegAudioDecoder
{
public:
    virtual ~CMpegAudioDecoder() = default;
    virtual const char* GetName() = 0;
    virtual void Reset() = 0;
    virtual void SetInput(CMpegAudioReader* pInput) = 0;
    virtual void SetOutput(int16_t* pOutput) = 0;
    virtual int GetOutputCount() = 0;
    virtual void GetFormat(CMpegAudioFormat* pFormat) = 0;
    virtual const char* GetErrorText() = 0;
    virtual void Flush() = 0;
    // Finds the next frame header in the input and parses it.
    virtual void ReadHeader() = 0;
    // Takes the frame's audio data in without decoding it.
    virtual void SkipFrame() = 0;
    // Decodes the frame whose header was read into the output.
    virtual bool Decode() = 0;
};

// Null when memory is short.
CMpegAudioDecoder* CreateMpegAudioDecoder();
