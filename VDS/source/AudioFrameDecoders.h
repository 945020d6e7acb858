// Decoders of whole audio frames into 16-bit stereo PCM at the frame's place
// on the player's timeline: AC-3 through liba52 and MPEG audio through the
// program's own decoder, with the header tables both the player's frame
// synchronisation and ParseFrameHeader read.
#pragma once

#include "framework/core/AfxTypes.h"

#include <cstdint>

class CMpegAudioDecoder;

const int AUDIO_TYPE_AC3 = 0;
const int AUDIO_TYPE_MPEG = 1;

// Decoded size of one frame: stereo frames of 4 bytes.
const int AC3_FRAME_SAMPLES = 1536;
const int MPEG_FRAME_SAMPLES = 1152;
const int AC3_FRAME_BYTES_OUT = AC3_FRAME_SAMPLES * 4;

struct CAudioFrameHeader
{
    int32_t nType;
    int32_t nBitRate; // kbit/s
    int32_t nChannels;
    int32_t nLfe; // AC-3: non-zero when the low-frequency channel is present
    int32_t nRate;
};

// AC-3 (ATSC A/52) header tables.
int Ac3SampleRate(int fscod); // 0 for the reserved code 3
int Ac3BitRate(int frmsizecod);
// Frame size in bytes, 0 for a reserved rate or a code of 38 and above.
int Ac3FrameBytes(int fscod, int frmsizecod);

// MPEG audio tables (ISO/IEC 11172-3, and 13818-3 for lsf true).
int MpegBitRate(bool lsf, int layer, int index);
// 44,100, 48,000, 32,000 by index 0..2; 0 for 3.
int MpegSampleRate(int index);
// The size in bytes of the frame whose first three header bytes are given;
// 0 unless they hold the sync, a layer, a sampling rate and a bit-rate index
// other than free format (0) and the forbidden 15.
int MpegFrameBytes(const BYTE* pHeader);

// Fills header from the first bytes of a frame of the given type (0 AC-3,
// 1 MPEG audio); type 2 succeeds without filling anything.
bool ParseFrameHeader(int type, const BYTE* pFrame, CAudioFrameHeader* pHeader);

class CAc3Decoder
{
public:
    CAc3Decoder() = default;
    ~CAc3Decoder();
    CAc3Decoder(const CAc3Decoder&) = delete;
    CAc3Decoder& operator=(const CAc3Decoder&) = delete;

    int Init();
    // Always 6,144 bytes (1,536 stereo frames); a frame liba52 rejects is
    // silence. nSize is not needed: liba52 reads it from the frame.
    int DecodeFrame(BYTE* pDest, const BYTE* pFrame, int nSize);

private:
    void* m_pState = nullptr; // liba52's a52_state_t, whose header stays in the .cpp
};

// Where CMpegAudioDecoder takes its bytes from.
class CMpegAudioReader
{
public:
    virtual int Read(BYTE* pDest, int nCount) = 0;
    virtual ~CMpegAudioReader() = default;
};

class CMpegAudioInput : public CMpegAudioReader
{
public:
    CMpegAudioInput() = default;
    ~CMpegAudioInput() override;
    CMpegAudioInput(const CMpegAudioInput&) = delete;
    CMpegAudioInput& operator=(const CMpegAudioInput&) = delete;

    int Init();
    int Read(BYTE* pDest, int nCount) override;
    // Writes the frame's stereo PCM to pDest (a mono frame as identical
    // pairs); false when the frame could not be decoded, and then pDest
    // keeps whatever had been written.
    bool DecodeFrame(BYTE* pDest, const BYTE* pFrame, int nSize);

private:
    int16_t m_mono[MPEG_FRAME_SAMPLES] = {};
    int m_nReadOffset = 0;
    int m_nFrameSize = 0;
    const BYTE* m_pFrame = nullptr;
    CMpegAudioDecoder* m_pDecoder = nullptr;
};
