#include "VDS/source/AudioFrameDecoders.h"

#include "VDS/source/MpegAudioDecoder.h"

#include <cstring>
#include <new>

#include <cstdint>

extern "C"
{
#include <a52dec/a52.h>
}

static a52_state_t* State(void* p)
{
    return static_cast<a52_state_t*>(p);
}

// ---------------------------------------------------------------- tables ---

static const int kAc3Rates[4] = {48000, 44100, 32000, 0};
static const int kAc3Channels[8] = {2, 1, 2, 3, 3, 4, 4, 5};
static const BYTE kAc3LfeMask[8] = {0x10, 0x10, 0x04, 0x04, 0x04, 0x01, 0x04, 0x01};
// Bit rate in kbit/s of each pair of frame-size codes.
static const int kAc3BitRates[19] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                     192, 224, 256, 320, 384, 448, 512, 576, 640};

int Ac3SampleRate(int fscod)
{
    return kAc3Rates[fscod & 3];
}

int Ac3BitRate(int frmsizecod)
{
    return frmsizecod >= 0 && frmsizecod < 38 ? kAc3BitRates[frmsizecod / 2] : 0;
}

int Ac3FrameBytes(int fscod, int frmsizecod)
{
    int rate = Ac3BitRate(frmsizecod);
    if (rate == 0)
        return 0;
    // 1,536 samples per frame, counted in 16-bit words; at 44.1 kHz the
    // fraction is carried by the odd code of each pair.
    switch (fscod)
    {
    case 0: return 2 * (rate * 2);
    case 1: return 2 * (rate * 1536000 / (44100 * 16) + (frmsizecod & 1));
    case 2: return 2 * (rate * 3);
    default: return 0;
    }
}

static const short kMpegBitRates[2][3][15] = {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
                                               {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
                                               {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
                                              {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
                                               {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
                                               {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};

int MpegBitRate(bool lsf, int layer, int index)
{
    if (layer < 1 || layer > 3 || index < 0 || index > 14)
        return 0;
    return kMpegBitRates[lsf ? 1 : 0][layer - 1][index];
}

int MpegSampleRate(int index)
{
    static const int rates[4] = {44100, 48000, 32000, 0};
    return rates[index & 3];
}

int MpegFrameBytes(const BYTE* h)
{
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0)
        return 0;
    const int layer = 4 - ((h[1] >> 1) & 3);
    const bool lsf = (h[1] & 0x08) == 0;
    const int index = h[2] >> 4;
    int rate = MpegSampleRate((h[2] >> 2) & 3);
    if (layer == 4 || index == 0 || index == 15 || rate == 0 || (h[1] & 0xF0) != 0xF0)
        return 0;
    if (lsf)
        rate /= 2;
    const int bitRate = MpegBitRate(lsf, layer, index) * 1000;
    const int padding = (h[2] >> 1) & 1;
    if (layer == 1)
        return (12 * bitRate / rate + padding) * 4;
    return (layer == 3 && lsf ? 72 : 144) * bitRate / rate + padding;
}

bool ParseFrameHeader(int type, const BYTE* pFrame, CAudioFrameHeader* pHeader)
{
    if (!pFrame)
        return false;
    switch (type)
    {
    case AUDIO_TYPE_AC3:
    {
        int acmod = pFrame[6] >> 5;
        pHeader->nType = AUDIO_TYPE_AC3;
        pHeader->nRate = Ac3SampleRate(pFrame[4] >> 6);
        pHeader->nBitRate = Ac3BitRate(pFrame[4] & 0x3F);
        pHeader->nChannels = kAc3Channels[acmod];
        pHeader->nLfe = pFrame[6] & kAc3LfeMask[acmod];
        return true;
    }
    case AUDIO_TYPE_MPEG:
    {
        uint32_t h =
            uint32_t(pFrame[0]) | uint32_t(pFrame[1]) << 8 | uint32_t(pFrame[2]) << 16 | uint32_t(pFrame[3]) << 24;
        int layer = (4 - ((h >> 9) & 3)) & 3;
        bool lsf = (h & (1u << 11)) == 0;
        int rate = MpegSampleRate((h >> 18) & 3);
        pHeader->nType = AUDIO_TYPE_MPEG;
        pHeader->nBitRate = MpegBitRate(lsf, layer, (h >> 20) & 15);
        pHeader->nRate = lsf ? rate / 2 : rate;
        pHeader->nChannels = (h >> 30) == 3 ? 1 : 2;
        pHeader->nLfe = 0;
        return true;
    }
    case 2: return true;
    default: return false;
    }
}

// ------------------------------------------------------------------ AC-3 ---

CAc3Decoder::~CAc3Decoder()
{
    if (m_pState)
        a52_free(State(m_pState));
}

int CAc3Decoder::Init()
{
    if (!m_pState)
        m_pState = a52_init(0);
    return 1;
}

// liba52 adds the bias to each sample, so -1..1 lands in 383..385, where a
// float's low mantissa bits are the 16-bit sample.
static int16_t BiasedToPcm(float f)
{
    int32_t p;
    memcpy(&p, &f, sizeof(p));
    if (p > 0x43C07FFF)
        return 32767;
    if (p < 0x43BF8000)
        return -32768;
    return int16_t(p - 0x43C00000);
}

int CAc3Decoder::DecodeFrame(BYTE* pDest, const BYTE* pFrame, int nSize)
{
    int flags = A52_STEREO | A52_ADJUST_LEVEL;
    sample_t level = 1.0f;
    bool ok = m_pState && a52_frame(State(m_pState), const_cast<uint8_t*>(pFrame), &flags, &level, 384.0f) == 0;
    int16_t* out = reinterpret_cast<int16_t*>(pDest);
    for (int block = 0; ok && block < 6; block++)
    {
        if (a52_block(State(m_pState)) != 0)
        {
            ok = false;
            break;
        }
        const sample_t* s = a52_samples(State(m_pState));
        for (int i = 0; i < 256; i++)
        {
            out[block * 512 + 2 * i] = BiasedToPcm(s[i]);
            out[block * 512 + 2 * i + 1] = BiasedToPcm(s[256 + i]);
        }
    }
    if (!ok)
        memset(pDest, 0, AC3_FRAME_BYTES_OUT);
    return AC3_FRAME_BYTES_OUT;
}

// ------------------------------------------------------------ MPEG audio ---

CMpegAudioInput::~CMpegAudioInput()
{
    delete m_pDecoder;
}

int CMpegAudioInput::Init()
{
    m_nReadOffset = 0;
    m_nFrameSize = 0;
    m_pFrame = nullptr;
    if (!m_pDecoder)
        m_pDecoder = CreateMpegAudioDecoder();
    if (!m_pDecoder)
        return 0;
    m_pDecoder->Reset();
    m_pDecoder->SetInput(this);
    return 1;
}

int CMpegAudioInput::Read(BYTE* pDest, int nCount)
{
    int n = nCount < m_nFrameSize - m_nReadOffset ? nCount : m_nFrameSize - m_nReadOffset;
    if (n <= 0)
        return 0;
    memcpy(pDest, m_pFrame + m_nReadOffset, size_t(n));
    m_nReadOffset += n;
    return n;
}

bool CMpegAudioInput::DecodeFrame(BYTE* pDest, const BYTE* pFrame, int nSize)
{
    if (!m_pDecoder)
        return false;
    m_pFrame = pFrame;
    m_nFrameSize = nSize;
    m_nReadOffset = 0;
    CMpegAudioFormat format = {};
    try
    {
        m_pDecoder->ReadHeader();
        m_pDecoder->GetFormat(&format);
        int16_t* out = format.bStereo ? reinterpret_cast<int16_t*>(pDest) : m_mono;
        m_pDecoder->SetOutput(out);
        if (!m_pDecoder->Decode())
            return false;
    }
    catch (int)
    {
        return false;
    }
    if (!format.bStereo)
    {
        int16_t* out = reinterpret_cast<int16_t*>(pDest);
        int n = m_pDecoder->GetOutputCount();
        for (int i = 0; i < n && i < MPEG_FRAME_SAMPLES; i++)
            out[2 * i] = out[2 * i + 1] = m_mono[i];
    }
    return true;
}
