#include "VDS/source/AudioChain.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

// ----------------------------------------------------------------- buffer ---

void CAudioBuffer::Init(CAudioSource* source, uint32_t blockSize, uint32_t blockCount)
{
    Free();
    pSource = source;
    nBlockSize = blockSize;
    nBlockCount = blockCount;
    // A refill pulls while fewer than the threshold bytes are held, so one
    // pull can start at threshold - 1 and write the source's largest piece.
    uint32_t threshold = blockSize * blockCount;
    nCapacity = std::max(2 * threshold, threshold + (source ? source->GetMaxProduce() : 0));
    pStorage = new BYTE[nCapacity];
    nFilled = 0;
    nReadPos = 0;
    nLastPull = int(blockSize);
}

int CAudioBuffer::Read(BYTE** ppOut, uint32_t count)
{
    uint32_t held = nFilled - nReadPos;
    if (held < count)
    {
        memmove(pStorage, pStorage + nReadPos, held);
        nReadPos = 0;
        nFilled = held;
        uint32_t threshold = nBlockSize * nBlockCount;
        while (nFilled < threshold)
        {
            nLastPull = pSource->Produce(pStorage + nFilled);
            if (nLastPull <= 0)
                break;
            nFilled += uint32_t(nLastPull);
        }
        held = nFilled;
        if (held < count)
            memset(pStorage + held, 0, std::min(count, nCapacity) - held);
    }
    *ppOut = pStorage + nReadPos;
    nReadPos += std::min(count, held);
    return nLastPull;
}

void CAudioBuffer::Free()
{
    delete[] pStorage;
    pStorage = nullptr;
    nCapacity = nFilled = nReadPos = 0;
}

// ------------------------------------------------------------- compressor ---

static const int COMPRESSOR_POINTS = 6;

void CCompressorStage::SetSource(CAudioBuffer* pSource)
{
    if (!pSource)
        return;
    m_pSource = pSource;
    m_nPoints = COMPRESSOR_POINTS;
    m_curve.assign(2 * COMPRESSOR_POINTS, 0.0f);
    m_curve[0] = -100.0f;
    for (int i = 1; i < COMPRESSOR_POINTS; i++)
        m_curve[2 * i] = -100.0f + float(i) * 100.0f / 6.0f;
    m_gain = 0;
    SetLevel(5);
}

void CCompressorStage::SetLevel(int level)
{
    level = std::clamp(level, 0, 49);
    m_curve[1] = -100.0f;
    for (int i = 1; i < m_nPoints; i++)
        m_curve[2 * i + 1] = m_curve[2 * i] * (1.0f - 0.02f * float(level));
}

int CCompressorStage::Produce(BYTE* pDest)
{
    BYTE* p = nullptr;
    m_pSource->Read(&p, BLOCK);
    memcpy(pDest, p, BLOCK);
    if (!m_bOn || m_nPoints == 0)
        return BLOCK;

    int16_t* s = reinterpret_cast<int16_t*>(pDest);
    const int frames = BLOCK / 4;
    double sum = 0;
    for (int i = 0; i < frames; i++)
    {
        double mono = (double(s[2 * i]) + s[2 * i + 1]) / 2;
        sum += mono * mono;
    }
    double m = sum / frames;
    double level = m > 0 ? 10 * std::log10(m * std::pow(2.0, -30)) : 10;
    double target = level;
    if (level < 0)
    {
        // Along the curve; beyond its last point it stays flat up to 0 dB.
        target = m_curve[2 * (m_nPoints - 1) + 1];
        for (int i = 0; i + 1 < m_nPoints; i++)
        {
            double x0 = m_curve[2 * i], y0 = m_curve[2 * i + 1];
            double x1 = m_curve[2 * i + 2], y1 = m_curve[2 * i + 3];
            if (level < x1)
            {
                target = level <= x0 ? y0 : y0 + (y1 - y0) * (level - x0) / (x1 - x0);
                break;
            }
        }
    }
    m_gain = float(0.05 * (target - level) + 0.95 * m_gain);
    double factor = std::pow(10.0, m_gain / 20.0);
    for (int i = 0; i < 2 * frames; i++)
        s[i] = int16_t(std::clamp(int(s[i] * factor), -32767, 32767));
    return BLOCK;
}

// -------------------------------------------------------------- resampler ---

CResampler::CResampler(double ratio, int channels, CAudioBuffer* pSource)
    : m_ratio(ratio), m_pSource(pSource), m_nChannels(channels == 1 ? 1 : 2)
{
}

void CResampler::Init()
{
    m_nOutSize = int(m_ratio * INPUT) + 2;
    for (auto& out : m_out)
        out.assign(size_t(m_nOutSize), 0);
    for (auto& in : m_in)
        std::fill(in, in + HISTORY, int16_t(0));
    m_nKept = HISTORY;
    m_pos = uint32_t(HISTORY) << 15;
    m_nOutCount = 0;
}

int CResampler::Produce(BYTE* pDest)
{
    const int frameBytes = 2 * m_nChannels;
    BYTE* p = nullptr;
    m_nLastPull = m_pSource->Read(&p, uint32_t(PER_CALL * frameBytes));
    if (m_nLastPull <= 0)
        return 0;
    const int16_t* s = reinterpret_cast<const int16_t*>(p);
    for (int i = 0; i < PER_CALL; i++)
        for (int c = 0; c < m_nChannels; c++)
            m_in[c][m_nKept + i] = s[i * m_nChannels + c];
    const int avail = m_nKept + PER_CALL;

    const uint32_t step = uint32_t(32768.0 / m_ratio + 0.5);
    uint32_t pos = m_pos;
    int n = 0;
    for (int c = 0; c < m_nChannels; c++)
    {
        pos = m_pos;
        n = 0;
        const int16_t* in = m_in[c];
        int16_t* out = m_out[c].data();
        while (int(pos >> 15) + 1 < avail && n < m_nOutSize)
        {
            uint32_t i = pos >> 15, frac = pos & 32767;
            int v = (in[i + 1] * int(frac) + in[i] * int(32768 - frac) + 16384) >> 15;
            out[n++] = int16_t(std::clamp(v, -32768, 32767));
            pos += step;
        }
    }
    // The samples not yet passed start the next call's arrays.
    int first = std::min(int(pos >> 15), avail - 1);
    m_nKept = avail - first;
    for (int c = 0; c < m_nChannels; c++)
        memmove(m_in[c], m_in[c] + first, size_t(m_nKept) * sizeof(int16_t));
    m_pos = pos - (uint32_t(first) << 15);
    m_nOutCount = n;

    int16_t* d = reinterpret_cast<int16_t*>(pDest);
    for (int i = 0; i < n; i++)
        for (int c = 0; c < m_nChannels; c++)
            d[i * m_nChannels + c] = m_out[c][size_t(i)];
    return n * frameBytes;
}

void CResampler::Free()
{
    for (auto& out : m_out)
        out.clear();
    m_nOutSize = 0;
}
