#include "VDS/source/MpegAudioDecoder.h"

#include "VDS/source/AudioFrameDecoders.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>

namespace
{

// ------------------------------------------------------------- tables ---

// The synthesis window of ISO/IEC 11172-3 in units of 2^-16. The entries at
// 64 x i + 16 meet a matrix row that is zero for every subband, so they never
// reach the output.
const int32_t kWindow[512] = {
    0,      -1,     -1,     -1,     -1,     -1,     -1,     -2,     -2,     -2,     -2,     -3,     -3,     -4,
    -4,     -5,     0,      -6,     -7,     -7,     -8,     -9,     -10,    -11,    -13,    -14,    -16,    -17,
    -19,    -21,    -24,    -26,    -29,    -31,    -35,    -38,    -41,    -45,    -49,    -53,    -58,    -63,
    -68,    -73,    -79,    -85,    -91,    -97,    -104,   -111,   -117,   -125,   -132,   -139,   -147,   -154,
    -161,   -169,   -176,   -183,   -190,   -196,   -202,   -208,   213,    218,    222,    225,    227,    228,
    228,    227,    224,    221,    215,    208,    200,    189,    177,    163,    0,      127,    106,    83,
    57,     29,     -2,     -36,    -72,    -111,   -153,   -197,   -244,   -294,   -347,   -401,   -459,   -519,
    -581,   -645,   -711,   -779,   -848,   -919,   -991,   -1064,  -1137,  -1210,  -1283,  -1356,  -1428,  -1498,
    -1567,  -1634,  -1698,  -1759,  -1817,  -1870,  -1919,  -1962,  -2001,  -2032,  -2057,  -2075,  -2085,  -2087,
    -2080,  -2063,  2037,   2000,   1952,   1893,   1822,   1739,   1644,   1535,   1414,   1280,   1131,   970,
    794,    605,    402,    185,    0,      -288,   -545,   -814,   -1095,  -1388,  -1692,  -2006,  -2330,  -2663,
    -3004,  -3351,  -3705,  -4063,  -4425,  -4788,  -5153,  -5517,  -5879,  -6237,  -6589,  -6935,  -7271,  -7597,
    -7910,  -8209,  -8491,  -8755,  -8998,  -9219,  -9416,  -9585,  -9727,  -9838,  -9916,  -9959,  -9966,  -9935,
    -9863,  -9750,  -9592,  -9389,  -9139,  -8840,  -8492,  -8092,  -7640,  -7134,  6574,   5959,   5288,   4561,
    3776,   2935,   2037,   1082,   70,     -998,   -2122,  -3300,  -4533,  -5818,  -7154,  -8540,  0,      -11455,
    -12980, -14548, -16155, -17799, -19478, -21189, -22929, -24694, -26482, -28289, -30112, -31947, -33791, -35640,
    -37489, -39336, -41176, -43006, -44821, -46617, -48390, -50137, -51853, -53534, -55178, -56778, -58333, -59838,
    -61289, -62684, -64019, -65290, -66494, -67629, -68692, -69679, -70590, -71420, -72169, -72835, -73415, -73908,
    -74313, -74630, -74856, -74992, 75038,  74992,  74856,  74630,  74313,  73908,  73415,  72835,  72169,  71420,
    70590,  69679,  68692,  67629,  66494,  65290,  0,      62684,  61289,  59838,  58333,  56778,  55178,  53534,
    51853,  50137,  48390,  46617,  44821,  43006,  41176,  39336,  37489,  35640,  33791,  31947,  30112,  28289,
    26482,  24694,  22929,  21189,  19478,  17799,  16155,  14548,  12980,  11455,  9975,   8540,   7154,   5818,
    4533,   3300,   2122,   998,    -70,    -1082,  -2037,  -2935,  -3776,  -4561,  -5288,  -5959,  6574,   7134,
    7640,   8092,   8492,   8840,   9139,   9389,   9592,   9750,   9863,   9935,   9966,   9959,   9916,   9838,
    0,      9585,   9416,   9219,   8998,   8755,   8491,   8209,   7910,   7597,   7271,   6935,   6589,   6237,
    5879,   5517,   5153,   4788,   4425,   4063,   3705,   3351,   3004,   2663,   2330,   2006,   1692,   1388,
    1095,   814,    545,    288,    45,     -185,   -402,   -605,   -794,   -970,   -1131,  -1280,  -1414,  -1535,
    -1644,  -1739,  -1822,  -1893,  -1952,  -2000,  2037,   2063,   2080,   2087,   2085,   2075,   2057,   2032,
    2001,   1962,   1919,   1870,   1817,   1759,   1698,   1634,   0,      1498,   1428,   1356,   1283,   1210,
    1137,   1064,   991,    919,    848,    779,    711,    645,    581,    519,    459,    401,    347,    294,
    244,    197,    153,    111,    72,     36,     2,      -29,    -57,    -83,    -106,   -127,   -146,   -163,
    -177,   -189,   -200,   -208,   -215,   -221,   -224,   -227,   -228,   -228,   -227,   -225,   -222,   -218,
    213,    208,    202,    196,    190,    183,    176,    169,    161,    154,    147,    139,    132,    125,
    117,    111,    0,      97,     91,     85,     79,     73,     68,     63,     58,     53,     49,     45,
    41,     38,     35,     31,     29,     26,     24,     21,     19,     17,     16,     14,     13,     11,
    10,     9,      8,      7,      7,      6,      5,      5,      4,      4,      3,      3,      2,      2,
    2,      2,      1,      1,      1,      1,      1,      1,
};

struct Tables
{
    float window[512];
    float matrix[64][32]; // cos((16 + i)(2k + 1) pi / 64)
    float scale[64];      // 2 x 2^(-i/3); index 63 is not a valid code and gives 0
};

Tables g_tables;
std::once_flag g_tablesOnce;

void BuildTables()
{
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < 512; i++)
        g_tables.window[i] = float(kWindow[i] / 65536.0);
    for (int i = 0; i < 64; i++)
        for (int k = 0; k < 32; k++)
            g_tables.matrix[i][k] = float(std::cos((16 + i) * (2 * k + 1) * pi / 64));
    for (int i = 0; i < 63; i++)
        g_tables.scale[i] = float(2.0 * std::pow(2.0, -i / 3.0));
    g_tables.scale[63] = 0;
}

// Layer II allocation: quantisation levels by allocation code, per class of
// subbands, for the tables of ISO/IEC 11172-3 (B.2a to B.2d) and the one of
// ISO/IEC 13818-3 for the lower sampling frequencies.
const uint16_t kLevelsA[16] = {0, 3, 7, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 16383, 32767, 65535};
const uint16_t kLevelsB[16] = {0, 3, 5, 7, 9, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 65535};
const uint16_t kLevelsC[8] = {0, 3, 5, 7, 9, 15, 31, 65535};
const uint16_t kLevelsD[4] = {0, 3, 5, 65535};
const uint16_t kLevelsE[16] = {0, 3, 5, 9, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 16383, 32767};
const uint16_t kLevelsF[8] = {0, 3, 5, 9, 15, 31, 63, 127};
const uint16_t kLevelsLsfA[16] = {0, 3, 5, 7, 9, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 16383};
const uint16_t kLevelsLsfC[4] = {0, 3, 5, 9};

struct AllocClass
{
    int firstSubband;
    int nbal;
    const uint16_t* levels;
};

struct AllocTable
{
    int sblimit;
    int classCount;
    AllocClass classes[4];
};

const AllocTable kAllocTables[5] = {
    {27, 4, {{0, 4, kLevelsA}, {3, 4, kLevelsB}, {11, 3, kLevelsC}, {23, 2, kLevelsD}}},
    {30, 4, {{0, 4, kLevelsA}, {3, 4, kLevelsB}, {11, 3, kLevelsC}, {23, 2, kLevelsD}}},
    {8, 2, {{0, 4, kLevelsE}, {2, 3, kLevelsF}}},
    {12, 2, {{0, 4, kLevelsE}, {2, 3, kLevelsF}}},
    {30, 3, {{0, 4, kLevelsLsfA}, {4, 3, kLevelsF}, {11, 2, kLevelsLsfC}}},
};

const AllocClass& ClassOf(const AllocTable& t, int sb)
{
    int c = 0;
    while (c + 1 < t.classCount && sb >= t.classes[c + 1].firstSubband)
        c++;
    return t.classes[c];
}

// Bits of one code word: 3, 5 and 9 levels come grouped, three samples to a word.
int GroupBits(int levels)
{
    switch (levels)
    {
    case 3: return 5;
    case 5: return 7;
    case 9: return 10;
    default: return 0;
    }
}

int CodeBits(int levels)
{
    int nb = 0;
    while ((1 << nb) <= levels)
        nb++;
    return nb;
}

// A code v of an L-level quantiser stands for (2v - (L - 1)) / L; this is the
// standard's inverted most significant bit plus offset, in one step.
float Dequantise(uint32_t v, int levels)
{
    return float(2 * int(v) - (levels - 1)) / float(levels);
}

// ---------------------------------------------------------- the decoder ---

class CDecoder : public CMpegAudioDecoder
{
public:
    CDecoder() { Reset(); }

    const char* GetName() override { return ""; }
    void Reset() override;
    void SetInput(CMpegAudioReader* pInput) override { m_pInput = pInput; }
    void SetOutput(int16_t* pOutput) override { m_pOutput = pOutput; }
    int GetOutputCount() override { return m_nOutputCount; }
    void GetFormat(CMpegAudioFormat* pFormat) override;
    const char* GetErrorText() override { return "Error"; }
    void Flush() override {}
    void ReadHeader() override;
    void SkipFrame() override;
    bool Decode() override;

private:
    // The bit reader: a ring of 2,048 bytes. Positions count from the last
    // Reset; the ring index is the position modulo 2,048.
    static const uint32_t RING = 2048;
    void ReadInput(BYTE* pDest, int nCount);
    void LoadBytes(int nCount);
    uint32_t GetBits(int n);
    uint64_t BitsLeft() const { return m_nWritten * 8 - m_nReadBit; }

    void ReadSideInfo();
    // Adds the frame's main data to the Layer III reservoir and moves the
    // read position back to where the frame's main data begin.
    void LoadMainData();
    void DecodeLayer1();
    void DecodeLayer2();
    // One block of 32 subband samples into 32 output samples of channel ch
    // at output block index `block`.
    void Synthesise(int ch, const float* subbands, int block);

    CMpegAudioReader* m_pInput = nullptr;
    BYTE m_ring[RING] = {};
    uint64_t m_nWritten = 0;
    uint64_t m_nReadBit = 0;

    float m_history[2][16][64];
    int m_nCurrent[2];

    int16_t* m_pOutput = nullptr;
    int m_nOutputCount = 0;

    int m_nLayer = 0;
    bool m_bCrc = false;
    int m_nBitRateIndex = 0;
    int m_nBitRate = 0;
    int m_nRate = 0;
    bool m_bLsf = false;
    int m_nPadding = 0;
    int m_nPrivate = 0;
    int m_nMode = 0;
    int m_nModeExt = 0;
    int m_nCopyright = 0;
    int m_nOriginal = 0;
    int m_nEmphasis = 0;
    int m_nChannels = 0;
    int m_nDataBytes = 0;
    int m_nSideInfoBytes = 0;
    int m_nMainDataBegin = 0;
};

void CDecoder::Reset()
{
    std::call_once(g_tablesOnce, BuildTables);
    memset(m_history, 0, sizeof(m_history));
    m_nCurrent[0] = m_nCurrent[1] = 0;
    m_nWritten = 0;
    m_nReadBit = 0;
}

void CDecoder::ReadInput(BYTE* pDest, int nCount)
{
    int got = 0;
    while (got < nCount)
    {
        int n = m_pInput ? m_pInput->Read(pDest + got, nCount - got) : 0;
        if (n <= 0)
            throw MPEGAUDIO_ERR_INPUT;
        got += n;
    }
}

void CDecoder::LoadBytes(int nCount)
{
    BYTE chunk[256];
    while (nCount > 0)
    {
        int n = std::min(nCount, int(sizeof(chunk)));
        ReadInput(chunk, n);
        for (int i = 0; i < n; i++)
            m_ring[(m_nWritten + uint64_t(i)) % RING] = chunk[i];
        m_nWritten += uint64_t(n);
        nCount -= n;
    }
    // What the ring overwrote can no longer be read.
    if (BitsLeft() > uint64_t(RING) * 8)
        m_nReadBit = (m_nWritten - RING) * 8;
}

uint32_t CDecoder::GetBits(int n)
{
    if (n == 0)
        return 0;
    if (BitsLeft() < uint64_t(n))
        throw MPEGAUDIO_ERR_BITS;
    uint32_t v = 0;
    while (n > 0)
    {
        uint64_t byte = m_nReadBit >> 3;
        int offset = int(m_nReadBit & 7);
        int take = std::min(n, 8 - offset);
        uint32_t bits = (uint32_t(m_ring[byte % RING]) >> (8 - offset - take)) & ((1u << take) - 1);
        v = (v << take) | bits;
        m_nReadBit += uint64_t(take);
        n -= take;
    }
    return v;
}

void CDecoder::GetFormat(CMpegAudioFormat* pFormat)
{
    pFormat->nBitRate = m_nBitRate;
    pFormat->nRate = m_nRate;
    pFormat->nLayer = BYTE(m_nLayer);
    pFormat->nVersion = m_bLsf ? 2 : 1;
    pFormat->bStereo = m_nMode != 3;
}

bool IsSync(const BYTE* b)
{
    return b[0] == 0xFF && (b[1] & 0xF0) == 0xF0;
}

void CDecoder::ReadHeader()
{
    BYTE h[4];
    ReadInput(h, 4);
    for (;;)
    {
        // Bit-rate index 0 (free format) has no frame size to go by.
        int rateIndex = h[2] >> 4;
        if (IsSync(h) && ((h[1] >> 1) & 3) != 0 && rateIndex != 15 && rateIndex != 0 && ((h[2] >> 2) & 3) != 3)
            break;
        int drop = IsSync(h + 1) ? 1 : IsSync(h + 2) ? 2 : h[3] == 0xFF ? 3 : 4;
        memmove(h, h + drop, size_t(4 - drop));
        ReadInput(h + 4 - drop, drop);
    }
    m_bCrc = (h[1] & 1) == 0;
    m_nLayer = 4 - ((h[1] >> 1) & 3);
    m_bLsf = (h[1] & 0x08) == 0;
    m_nBitRateIndex = h[2] >> 4;
    m_nBitRate = MpegBitRate(m_bLsf, m_nLayer, m_nBitRateIndex);
    m_nRate = MpegSampleRate((h[2] >> 2) & 3);
    if (m_bLsf)
        m_nRate /= 2;
    m_nPadding = (h[2] >> 1) & 1;
    m_nPrivate = h[2] & 1;
    m_nMode = h[3] >> 6;
    m_nModeExt = (h[3] >> 4) & 3;
    m_nCopyright = (h[3] >> 3) & 1;
    m_nOriginal = (h[3] >> 2) & 1;
    m_nEmphasis = h[3] & 3;
    m_nChannels = m_nMode == 3 ? 1 : 2;

    if (m_nLayer == 1)
        m_nDataBytes = 4 * (12000 * m_nBitRate / m_nRate) + 4 * m_nPadding - 4;
    else if (m_nLayer == 3 && m_bLsf)
        m_nDataBytes = 72000 * m_nBitRate / m_nRate + m_nPadding - 4;
    else
        m_nDataBytes = 144000 * m_nBitRate / m_nRate + m_nPadding - 4;
    m_nSideInfoBytes = 0;
    if (m_nLayer == 3)
    {
        m_nSideInfoBytes = m_bLsf ? (m_nChannels == 1 ? 9 : 17) : (m_nChannels == 1 ? 17 : 32);
        m_nDataBytes -= m_nSideInfoBytes;
    }
    if (m_bCrc)
    {
        BYTE crc[2];
        try
        {
            ReadInput(crc, 2);
        }
        catch (int)
        {
            throw MPEGAUDIO_ERR_CRC;
        }
        m_nDataBytes -= 2;
    }
    if (m_nLayer == 3)
        ReadSideInfo();
}

void CDecoder::ReadSideInfo()
{
    BYTE side[32];
    ReadInput(side, m_nSideInfoBytes);
    uint32_t pos = 0;
    auto bits = [&](int n)
    {
        uint32_t v = 0;
        for (int i = 0; i < n; i++, pos++)
            v = (v << 1) | ((side[pos >> 3] >> (7 - (pos & 7))) & 1);
        return v;
    };
    const int granules = m_bLsf ? 1 : 2;
    m_nMainDataBegin = int(bits(m_bLsf ? 8 : 9));
    bits(m_bLsf ? m_nChannels : (m_nChannels == 1 ? 5 : 3)); // private bits
    if (!m_bLsf)
        bits(4 * m_nChannels); // scale-factor selection
    for (int gr = 0; gr < granules; gr++)
        for (int ch = 0; ch < m_nChannels; ch++)
        {
            bits(12 + 9 + 8 + (m_bLsf ? 9 : 4)); // part 2/3 length, big values, gain, compression
            if (bits(1))
            {
                if (bits(2) == 0)
                    throw MPEGAUDIO_ERR_BLOCKTYPE;
                bits(1 + 2 * 5 + 3 * 3); // mixed flag, tables, sub-block gains
            }
            else
                bits(3 * 5 + 4 + 3); // tables, region counts
            bits(m_bLsf ? 2 : 3);    // pre-emphasis, scale-factor scale, count1 table
        }
}

void CDecoder::LoadMainData()
{
    const uint64_t start = m_nWritten;
    const uint64_t readByte = (m_nReadBit + 7) / 8;
    const uint64_t held = start > readByte ? start - readByte : 0;
    LoadBytes(m_nDataBytes);
    if (uint64_t(m_nMainDataBegin) > held)
    {
        // The frame's data stay in the reservoir for the frames after it.
        m_nReadBit = start * 8;
        throw MPEGAUDIO_ERR_BITS;
    }
    m_nReadBit = (start - uint64_t(m_nMainDataBegin)) * 8;
}

void CDecoder::SkipFrame()
{
    if (m_nLayer == 3)
    {
        LoadBytes(m_nDataBytes);
        return;
    }
    m_nReadBit = m_nWritten * 8;
    LoadBytes(m_nDataBytes);
}

bool CDecoder::Decode()
{
    m_nOutputCount = 0;
    switch (m_nLayer)
    {
    case 1: DecodeLayer1(); return true;
    case 2: DecodeLayer2(); return true;
    default:
        // Layer III: the reservoir is kept, so the frames after this one
        // find their data; its samples are not decoded.
        LoadMainData();
        return false;
    }
}

void CDecoder::DecodeLayer1()
{
    m_nReadBit = m_nWritten * 8;
    LoadBytes(m_nDataBytes);
    const int nch = m_nChannels;
    const int bound = m_nMode == 1 ? 4 * (m_nModeExt + 1) : 32;
    int alloc[2][32] = {};
    int scf[2][32] = {};
    for (int sb = 0; sb < 32; sb++)
        for (int ch = 0; ch < nch; ch++)
        {
            if (sb >= bound && ch == 1)
                alloc[1][sb] = alloc[0][sb];
            else
                alloc[ch][sb] = int(GetBits(4)) % 15;
        }
    for (int sb = 0; sb < 32; sb++)
        for (int ch = 0; ch < nch; ch++)
            if (alloc[ch][sb])
                scf[ch][sb] = int(GetBits(6));
    float samples[2][32];
    for (int s = 0; s < 12; s++)
    {
        memset(samples, 0, sizeof(samples));
        for (int sb = 0; sb < 32; sb++)
            for (int ch = 0; ch < nch; ch++)
            {
                if (!alloc[ch][sb] || (sb >= bound && ch == 1))
                    continue;
                const int nb = alloc[ch][sb] + 1;
                const float q = Dequantise(GetBits(nb), (1 << nb) - 1);
                samples[ch][sb] = q * g_tables.scale[scf[ch][sb]];
                // Above the bound both channels share the sample, each with
                // its own scale factor.
                if (sb >= bound && nch == 2)
                    samples[1][sb] = q * g_tables.scale[scf[1][sb]];
            }
        for (int ch = 0; ch < nch; ch++)
            Synthesise(ch, samples[ch], s);
    }
    m_nOutputCount = 384 * nch;
}

void CDecoder::DecodeLayer2()
{
    m_nReadBit = m_nWritten * 8;
    LoadBytes(m_nDataBytes);
    const int nch = m_nChannels;
    int table;
    if (m_bLsf)
        table = 4;
    else
    {
        int perChannel = m_nBitRate / nch;
        if ((m_nRate == 48000 && perChannel >= 56) || (perChannel >= 56 && perChannel <= 80))
            table = 0;
        else if (m_nRate != 48000 && perChannel >= 96)
            table = 1;
        else if (m_nRate != 32000 && perChannel <= 48)
            table = 2;
        else
            table = 3;
    }
    const AllocTable& t = kAllocTables[table];
    const int sblimit = t.sblimit;
    const int bound = m_nMode == 1 ? std::min(4 * (m_nModeExt + 1), sblimit) : sblimit;

    int levels[2][32] = {};
    for (int sb = 0; sb < sblimit; sb++)
    {
        const AllocClass& c = ClassOf(t, sb);
        for (int ch = 0; ch < nch; ch++)
        {
            if (sb >= bound && ch == 1)
                levels[1][sb] = levels[0][sb];
            else
                levels[ch][sb] = c.levels[GetBits(c.nbal)];
        }
    }
    int scfsi[2][32] = {};
    for (int sb = 0; sb < sblimit; sb++)
        for (int ch = 0; ch < nch; ch++)
            if (levels[ch][sb])
                scfsi[ch][sb] = int(GetBits(2));
    int scf[2][32][3] = {};
    for (int sb = 0; sb < sblimit; sb++)
        for (int ch = 0; ch < nch; ch++)
        {
            if (!levels[ch][sb])
                continue;
            int* f = scf[ch][sb];
            switch (scfsi[ch][sb])
            {
            case 0:
                f[0] = int(GetBits(6));
                f[1] = int(GetBits(6));
                f[2] = int(GetBits(6));
                break;
            case 1:
                f[0] = f[1] = int(GetBits(6));
                f[2] = int(GetBits(6));
                break;
            case 2: f[0] = f[1] = f[2] = int(GetBits(6)); break;
            default:
                f[0] = int(GetBits(6));
                f[1] = f[2] = int(GetBits(6));
                break;
            }
        }

    float samples[2][3][32];
    for (int gr = 0; gr < 12; gr++)
    {
        const int part = gr / 4;
        memset(samples, 0, sizeof(samples));
        for (int sb = 0; sb < sblimit; sb++)
            for (int ch = 0; ch < nch; ch++)
            {
                const int L = levels[ch][sb];
                if (!L || (sb >= bound && ch == 1))
                    continue;
                float v[3];
                if (int gb = GroupBits(L))
                {
                    uint32_t code = GetBits(gb);
                    for (float& x : v)
                    {
                        x = Dequantise(code % uint32_t(L), L);
                        code /= uint32_t(L);
                    }
                }
                else
                {
                    const int nb = CodeBits(L);
                    for (float& x : v)
                        x = Dequantise(GetBits(nb), L);
                }
                for (int i = 0; i < 3; i++)
                {
                    samples[ch][i][sb] = v[i] * g_tables.scale[scf[ch][sb][part]];
                    if (sb >= bound)
                        samples[1][i][sb] = v[i] * g_tables.scale[scf[1][sb][part]];
                }
            }
        for (int i = 0; i < 3; i++)
            for (int ch = 0; ch < nch; ch++)
                Synthesise(ch, samples[ch][i], gr * 3 + i);
    }
    m_nOutputCount = 1152 * nch;
}

void CDecoder::Synthesise(int ch, const float* subbands, int block)
{
    int cur = m_nCurrent[ch] = (m_nCurrent[ch] + 15) % 16;
    float* v = m_history[ch][cur];
    // Rows 16 + i and 48 - i of the matrix are opposite, rows i and 96 - i
    // (above 32) equal, and row 16 is zero: 32 rows give all 64 values.
    auto row = [&](int i)
    {
        const float* m = g_tables.matrix[i];
        float sum = 0;
        for (int k = 0; k < 32; k++)
            sum += m[k] * subbands[k];
        return sum;
    };
    for (int i = 0; i < 16; i++)
    {
        v[i] = row(i);
        v[32 - i] = -v[i];
    }
    v[16] = 0;
    for (int i = 33; i < 48; i++)
    {
        v[i] = row(i);
        v[96 - i] = v[i];
    }
    v[48] = row(48);
    const float* d = g_tables.window;
    for (int j = 0; j < 32; j++)
    {
        float sum = 0;
        for (int i = 0; i < 8; i++)
        {
            sum += d[64 * i + j] * m_history[ch][(cur + 2 * i) % 16][j];
            sum += d[64 * i + 32 + j] * m_history[ch][(cur + 2 * i + 1) % 16][32 + j];
        }
        long pcm = std::lround(sum * 32768.0f);
        int16_t s = int16_t(std::clamp(pcm, -32768L, 32767L));
        if (m_nChannels == 2)
            m_pOutput[(block * 32 + j) * 2 + ch] = s;
        else
            m_pOutput[block * 32 + j] = s;
    }
}

} // namespace

CMpegAudioDecoder* CreateMpegAudioDecoder()
{
    return new (std::nothrow) CDecoder();
}
