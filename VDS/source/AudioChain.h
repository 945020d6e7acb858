// The pull chain between the audio player and the sound device: buffers that
// refill themselves from the stage before them, a compressor stage that
// passes sound on in blocks of 2,000 bytes, and a resampler for streams whose
// rate differs from the device's. All PCM is 16-bit stereo, interleaved.
#pragma once

#include "framework/core/AfxTypes.h"

#include <cstdint>
#include <vector>

class CAudioSource
{
public:
    virtual ~CAudioSource() = default;
    // Writes the next piece of sound to pDest; returns its size in bytes,
    // 0 when the source has nothing more.
    virtual int Produce(BYTE* pDest) = 0;
    // The most bytes one Produce can write: the buffer pulling from this
    // source keeps room for it.
    virtual uint32_t GetMaxProduce() const = 0;
};

// One buffering point. Read hands out count bytes from storage, pulling the
// source until block size x block count bytes are held.
struct CAudioBuffer
{
    CAudioSource* pSource = nullptr;
    uint32_t nBlockCount = 0;
    uint32_t nBlockSize = 0;
    BYTE* pStorage = nullptr;
    uint32_t nCapacity = 0;
    uint32_t nFilled = 0;
    uint32_t nReadPos = 0;
    int nLastPull = 0;

    ~CAudioBuffer() { Free(); }

    void Init(CAudioSource* source, uint32_t blockSize, uint32_t blockCount);
    // Sets *ppOut to count bytes and returns the size of the last pull.
    // When the source ended with fewer bytes held, the block handed out ends
    // in silence: only held bytes are consumed.
    int Read(BYTE** ppOut, uint32_t count);
    void Free();
};

class CCompressorStage : public CAudioSource
{
public:
    static const uint32_t BLOCK = 2000;

    CCompressorStage() = default;
    ~CCompressorStage() override = default;
    CCompressorStage(const CCompressorStage&) = delete;
    CCompressorStage& operator=(const CCompressorStage&) = delete;

    void SetSource(CAudioBuffer* pSource);
    void SetLevel(int level);
    void SetSwitch(bool bOn) { m_bOn = bOn; }
    int Produce(BYTE* pDest) override;
    uint32_t GetMaxProduce() const override { return BLOCK; }

private:
    int m_nPoints = 0;
    std::vector<float> m_curve; // (input dB, output dB) pairs
    float m_gain = 0;
    CAudioBuffer* m_pSource = nullptr;
    bool m_bOn = false;
};

class CResampler : public CAudioSource
{
public:
    static const int INPUT = 4096;    // samples per channel in the input arrays
    static const int PER_CALL = 4076; // input frames taken per Produce
    static const int HISTORY = 10;    // silence ahead of the first input

    CResampler(double ratio, int channels, CAudioBuffer* pSource);
    ~CResampler() override = default;

    void Init();
    int Produce(BYTE* pDest) override;
    uint32_t GetMaxProduce() const override { return uint32_t(m_nOutSize) * 4; }
    void Free();
    // Output frames of the last Produce.
    int GetOutputCount() const { return m_nOutCount; }

private:
    double m_ratio;
    uint32_t m_pos = 0; // in 1/32,768 of an input sample, from the head of the arrays
    int m_nKept = 0;
    int16_t m_in[2][INPUT] = {};
    std::vector<int16_t> m_out[2];
    int m_nOutSize = 0;
    int m_nOutCount = 0;
    CAudioBuffer* m_pSource;
    int m_nLastPull = 0;
    int m_nChannels;
};
