#include "VDS/source/MpegAudioDecoder.h"

#include "VDS/source/AudioFrameDecoders.h"
#include "VDS/source/MpegAudioHuffman.h"

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

// ------------------------------------------------------ Layer III tables ---

// Scale-factor band boundaries in spectral lines (ISO/IEC 11172-3 Table B.8;
// ISO/IEC 13818-3 Table B.2 for the lower sampling frequencies), by sampling
// index: 44.1, 48, 32 kHz, then 22.05, 24, 16 kHz.
const int16_t kSfbLong[6][23] = {
    {0, 4, 8, 12, 16, 20, 24, 30, 36, 44, 52, 62, 74, 90, 110, 134, 162, 196, 238, 288, 342, 418, 576},
    {0, 4, 8, 12, 16, 20, 24, 30, 36, 42, 50, 60, 72, 88, 106, 128, 156, 190, 230, 276, 330, 384, 576},
    {0, 4, 8, 12, 16, 20, 24, 30, 36, 44, 54, 66, 82, 102, 126, 156, 194, 240, 296, 364, 448, 550, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 114, 136, 162, 194, 232, 278, 330, 394, 464, 540, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
};
// Per window of a short block.
const int16_t kSfbShort[6][14] = {
    {0, 4, 8, 12, 16, 22, 30, 40, 52, 66, 84, 106, 136, 192},
    {0, 4, 8, 12, 16, 22, 28, 38, 50, 64, 80, 100, 126, 192},
    {0, 4, 8, 12, 16, 22, 30, 42, 58, 78, 104, 138, 180, 192},
    {0, 4, 8, 12, 18, 24, 32, 42, 56, 74, 100, 132, 174, 192},
    {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 136, 180, 192},
    {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192},
};

// Pre-emphasis added to the long-block scale factors when preflag is set.
const int8_t kPretab[22] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 3, 3, 3, 2, 0};

// MPEG-1 scale-factor lengths (slen1, slen2) by scalefac_compress.
const int8_t kSlen[2][16] = {
    {0, 0, 0, 0, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4},
    {0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 2, 3},
};

// Lower sampling frequencies: scale factors per partition, by the
// partitioning that scalefac_compress selects (three for ordinary channels,
// three for the intensity-coded right channel) and by block kind (long,
// short, mixed); short and mixed counts are in windows of short bands, the
// first 6 of a mixed block being long bands.
const int8_t kLsfPartitions[6][3][4] = {
    {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}},       {{6, 5, 7, 3}, {9, 9, 12, 6}, {6, 9, 12, 6}},
    {{11, 10, 0, 0}, {18, 18, 0, 0}, {15, 18, 0, 0}}, {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}},
    {{6, 6, 6, 3}, {12, 9, 9, 6}, {6, 12, 9, 6}},     {{8, 8, 5, 0}, {15, 12, 9, 0}, {6, 18, 9, 0}},
};

// The count1 code tables of Table B.7, as (code, length) by the value
// vwxy read as a 4-bit number. Table B is the value's 4 bits inverted.
struct QuadCode
{
    uint8_t code;
    uint8_t bits;
};
const QuadCode kCount1A[16] = {{1, 1}, {5, 4}, {4, 4}, {5, 5}, {6, 4}, {5, 6}, {4, 5}, {4, 6},
                               {7, 4}, {3, 5}, {6, 5}, {0, 6}, {7, 5}, {2, 6}, {3, 6}, {1, 6}};

// Alias-reduction coefficients c(i).
const double kAliasC[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};

struct Tables
{
    float window[512];
    float matrix[64][32]; // cos((16 + i)(2k + 1) pi / 64)
    float scale[64];      // 2 x 2^(-i/3); index 63 is not a valid code and gives 0
    // Layer III
    float imdctLong[36][18];  // cos(pi / 72 (2i + 1 + 18)(2k + 1))
    float imdctShort[12][6];  // cos(pi / 24 (2i + 1 + 6)(2k + 1))
    float blockWindow[4][36]; // by block type; type 2 uses shortWindow
    float shortWindow[12];
    float aliasCs[8];
    float aliasCa[8];
    // The big-value codes as binary trees: node i's children at 2i and
    // 2i + 1, an inner node by its index, a leaf as -1 - (x << 4 | y).
    // Tables sharing codes share a tree.
    int16_t huffmanNodes[15][2 * 256];
    const int16_t* huffmanTree[32];
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

    for (int i = 0; i < 36; i++)
        for (int k = 0; k < 18; k++)
            g_tables.imdctLong[i][k] = float(std::cos(pi / 72 * (2 * i + 1 + 18) * (2 * k + 1)));
    for (int i = 0; i < 12; i++)
        for (int k = 0; k < 6; k++)
            g_tables.imdctShort[i][k] = float(std::cos(pi / 24 * (2 * i + 1 + 6) * (2 * k + 1)));
    auto longSine = [&](int i) { return float(std::sin(pi / 36 * (i + 0.5))); };
    auto shortSine = [&](int i) { return float(std::sin(pi / 12 * (i + 0.5))); };
    for (int i = 0; i < 36; i++)
    {
        g_tables.blockWindow[0][i] = longSine(i);
        // Start block: long rising half, then flat, the falling half of a
        // short window, and zeros; the stop block is its mirror image.
        float start = i < 18 ? longSine(i) : i < 24 ? 1.0f : i < 30 ? shortSine(i - 18) : 0.0f;
        g_tables.blockWindow[1][i] = start;
        g_tables.blockWindow[3][35 - i] = start;
        g_tables.blockWindow[2][i] = 0;
    }
    for (int i = 0; i < 12; i++)
        g_tables.shortWindow[i] = shortSine(i);
    for (int i = 0; i < 8; i++)
    {
        double root = std::sqrt(1 + kAliasC[i] * kAliasC[i]);
        g_tables.aliasCs[i] = float(1 / root);
        g_tables.aliasCa[i] = float(kAliasC[i] / root);
    }
    int trees = 0;
    for (int n = 0; n < 32; n++)
    {
        const Layer3HuffmanCodes* codes = g_layer3BigValueTables[n].codes;
        if (!codes)
            continue;
        if (n > 0 && g_layer3BigValueTables[n - 1].codes == codes)
        {
            g_tables.huffmanTree[n] = g_tables.huffmanTree[n - 1];
            continue;
        }
        int16_t* nodes = g_tables.huffmanNodes[trees++];
        std::fill(nodes, nodes + 2 * 256, int16_t(0));
        int used = 1;
        for (int x = 0; x < codes->size; x++)
        {
            const char* c = codes->rows[x];
            for (int y = 0; y < codes->size; y++)
            {
                int node = 0;
                for (; c[1] == '0' || c[1] == '1'; c++)
                {
                    int16_t& child = nodes[2 * node + (*c - '0')];
                    if (child == 0)
                        child = int16_t(used++);
                    node = child;
                }
                nodes[2 * node + (*c - '0')] = int16_t(-1 - (x << 4 | y));
                c += c[1] ? 2 : 1;
            }
        }
        g_tables.huffmanTree[n] = nodes;
    }
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
    bool DecodeLayer3();

    // Layer III side information of one granule and channel.
    struct Granule
    {
        int part23Length;
        int bigValues;
        int globalGain;
        int scfCompress;
        int blockType; // 0 normal, 1 start, 2 short, 3 stop
        bool mixed;
        int table[3];
        int subblockGain[3];
        int region0Count;
        int region1Count;
        int preflag;
        int scfScale;
        int count1Table;
    };
    // Scale factors of one channel: long bands, then short bands by window.
    // For the intensity-coded right channel at the lower sampling
    // frequencies, the position that marks a band as not intensity-coded.
    struct ScaleFactors
    {
        int l[22];
        int s[13][3];
        int illegalL[22];
        int illegalS[13];
    };
    const int16_t* SfbLong() const { return kSfbLong[m_nRateIndex + (m_bLsf ? 3 : 0)]; }
    const int16_t* SfbShort() const { return kSfbShort[m_nRateIndex + (m_bLsf ? 3 : 0)]; }
    // Where a mixed block's short bands start, in long lines and short bands.
    int MixedLongEnd() const { return SfbLong()[m_bLsf ? 6 : 8]; }
    void ReadScaleFactors(int gr, int ch);
    void ReadLsfScaleFactors(int ch);
    // Huffman decoding and requantisation of one granule's channel into
    // m_xr[ch]; false when the granule names an unused big-value code table.
    bool ReadSpectrum(const Granule& g, int ch, uint64_t end);
    void Requantise(const Granule& g, int ch, const int* q);
    void Stereo(int gr);
    void IntensityBand(int start, int width, int pos, int illegal);
    void Hybrid(const Granule& g, int ch, int gr);
    bool BitsBefore(int n, uint64_t end, uint32_t* pValue);
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
    int m_nRateIndex = 0;

    int m_scfsi[2][4] = {};
    Granule m_granules[2][2] = {};
    ScaleFactors m_scf[2] = {};
    int m_nIntensityScale = 0;
    float m_xr[2][576];
    // Lines up to the last non-zero one, per channel, after Huffman decoding.
    int m_nNonZero[2] = {};
    float m_overlap[2][32][18];
    bool m_intensity[576];
};

void CDecoder::Reset()
{
    std::call_once(g_tablesOnce, BuildTables);
    memset(m_history, 0, sizeof(m_history));
    m_nCurrent[0] = m_nCurrent[1] = 0;
    memset(m_overlap, 0, sizeof(m_overlap));
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
    m_nRateIndex = (h[2] >> 2) & 3;
    m_nRate = MpegSampleRate(m_nRateIndex);
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
    for (int ch = 0; ch < m_nChannels; ch++)
        for (int band = 0; band < 4; band++)
            m_scfsi[ch][band] = m_bLsf ? 0 : int(bits(1));
    for (int gr = 0; gr < granules; gr++)
        for (int ch = 0; ch < m_nChannels; ch++)
        {
            Granule& g = m_granules[gr][ch];
            g.part23Length = int(bits(12));
            g.bigValues = int(bits(9));
            g.globalGain = int(bits(8));
            g.scfCompress = int(bits(m_bLsf ? 9 : 4));
            if (bits(1))
            {
                g.blockType = int(bits(2));
                if (g.blockType == 0)
                    throw MPEGAUDIO_ERR_BLOCKTYPE;
                g.mixed = bits(1) != 0;
                g.table[0] = int(bits(5));
                g.table[1] = int(bits(5));
                g.table[2] = 0;
                for (int& gain : g.subblockGain)
                    gain = int(bits(3));
                // The region boundaries are implied: region 1 takes the
                // rest of the big values.
                g.region0Count = g.blockType == 2 && !g.mixed ? 8 : 7;
                g.region1Count = 20 - g.region0Count;
            }
            else
            {
                g.blockType = 0;
                g.mixed = false;
                for (int& table : g.table)
                    table = int(bits(5));
                g.subblockGain[0] = g.subblockGain[1] = g.subblockGain[2] = 0;
                g.region0Count = int(bits(4));
                g.region1Count = int(bits(3));
            }
            g.preflag = m_bLsf ? 0 : int(bits(1));
            g.scfScale = int(bits(1));
            g.count1Table = int(bits(1));
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
    default: return DecodeLayer3();
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

bool CDecoder::BitsBefore(int n, uint64_t end, uint32_t* pValue)
{
    if (m_nReadBit + uint64_t(n) > end)
        return false;
    *pValue = GetBits(n);
    return true;
}

bool CDecoder::DecodeLayer3()
{
    LoadMainData();
    const int granules = m_bLsf ? 1 : 2;
    const int nch = m_nChannels;
    uint64_t end = m_nReadBit;
    for (int gr = 0; gr < granules; gr++)
        for (int ch = 0; ch < nch; ch++)
            end += uint64_t(m_granules[gr][ch].part23Length);
    bool decoded = true;
    try
    {
        for (int gr = 0; gr < granules && decoded; gr++)
        {
            for (int ch = 0; ch < nch; ch++)
            {
                const Granule& g = m_granules[gr][ch];
                const uint64_t granuleEnd = m_nReadBit + uint64_t(g.part23Length);
                if (m_bLsf)
                    ReadLsfScaleFactors(ch);
                else
                    ReadScaleFactors(gr, ch);
                if (!ReadSpectrum(g, ch, granuleEnd))
                    decoded = false;
                // Stuffing after the count1 values, or a last count1 value
                // that ran over the granule's end, is skipped.
                m_nReadBit = granuleEnd;
            }
            if (!decoded)
                break;
            Stereo(gr);
            for (int ch = 0; ch < nch; ch++)
                Hybrid(m_granules[gr][ch], ch, gr);
        }
    }
    catch (int)
    {
        // The next frame's main data are found from the end of this one's.
        m_nReadBit = std::min(end, m_nWritten * 8);
        memset(m_overlap, 0, sizeof(m_overlap));
        throw;
    }
    m_nReadBit = end;
    if (!decoded)
    {
        // The frame stays silent; what overlaps into the next one is lost.
        memset(m_overlap, 0, sizeof(m_overlap));
        return false;
    }
    m_nOutputCount = 576 * granules * nch;
    return true;
}

void CDecoder::ReadScaleFactors(int gr, int ch)
{
    const Granule& g = m_granules[gr][ch];
    ScaleFactors& f = m_scf[ch];
    const int slen1 = kSlen[0][g.scfCompress];
    const int slen2 = kSlen[1][g.scfCompress];
    if (g.blockType == 2)
    {
        int sfb = 0;
        if (g.mixed)
        {
            for (; sfb < 8; sfb++)
                f.l[sfb] = int(GetBits(slen1));
            sfb = 3;
        }
        for (; sfb < 12; sfb++)
            for (int& v : f.s[sfb])
                v = int(GetBits(sfb < 6 ? slen1 : slen2));
        f.s[12][0] = f.s[12][1] = f.s[12][2] = 0;
        return;
    }
    // Four groups of long bands; the second granule may reuse the first
    // one's factors group by group.
    static const int kGroups[5] = {0, 6, 11, 16, 21};
    for (int group = 0; group < 4; group++)
    {
        if (gr == 1 && m_scfsi[ch][group])
            continue;
        for (int sfb = kGroups[group]; sfb < kGroups[group + 1]; sfb++)
            f.l[sfb] = int(GetBits(group < 2 ? slen1 : slen2));
    }
    f.l[21] = 0;
}

void CDecoder::ReadLsfScaleFactors(int ch)
{
    const Granule& g = m_granules[0][ch];
    ScaleFactors& f = m_scf[ch];
    const bool intensity = ch == 1 && m_nMode == 1 && (m_nModeExt & 1);
    int sfc = g.scfCompress;
    int slen[4] = {};
    int partitioning;
    m_granules[0][ch].preflag = 0;
    if (!intensity)
    {
        if (sfc < 400)
        {
            slen[0] = (sfc >> 4) / 5;
            slen[1] = (sfc >> 4) % 5;
            slen[2] = (sfc & 15) >> 2;
            slen[3] = sfc & 3;
            partitioning = 0;
        }
        else if (sfc < 500)
        {
            sfc -= 400;
            slen[0] = (sfc >> 2) / 5;
            slen[1] = (sfc >> 2) % 5;
            slen[2] = sfc & 3;
            partitioning = 1;
        }
        else
        {
            sfc -= 500;
            slen[0] = sfc / 3;
            slen[1] = sfc % 3;
            partitioning = 2;
            m_granules[0][ch].preflag = 1;
        }
    }
    else
    {
        m_nIntensityScale = sfc & 1;
        sfc >>= 1;
        if (sfc < 180)
        {
            slen[0] = sfc / 36;
            slen[1] = (sfc % 36) / 6;
            slen[2] = sfc % 6;
            partitioning = 3;
        }
        else if (sfc < 244)
        {
            sfc -= 180;
            slen[0] = (sfc & 63) >> 4;
            slen[1] = (sfc & 15) >> 2;
            slen[2] = sfc & 3;
            partitioning = 4;
        }
        else
        {
            sfc -= 244;
            slen[0] = sfc / 3;
            slen[1] = sfc % 3;
            partitioning = 5;
        }
    }
    const int kind = g.blockType != 2 ? 0 : g.mixed ? 2 : 1;
    const int8_t* counts = kLsfPartitions[partitioning][kind];
    // Scale factors run through the long bands, then the short bands
    // window by window; a mixed block's first 6 are long bands and its
    // short bands start at 3.
    int longBand = 0;
    int shortIndex = kind == 2 ? 9 : 0;
    const int longCount = kind == 0 ? 22 : kind == 2 ? 6 : 0;
    for (int part = 0; part < 4; part++)
        for (int n = 0; n < counts[part]; n++)
        {
            const int v = int(GetBits(slen[part]));
            const int illegal = (1 << slen[part]) - 1;
            if (longBand < longCount)
            {
                f.l[longBand] = v;
                f.illegalL[longBand++] = illegal;
            }
            else
            {
                f.s[shortIndex / 3][shortIndex % 3] = v;
                f.illegalS[shortIndex / 3] = illegal;
                shortIndex++;
            }
        }
    // Bands without a transmitted factor.
    for (; longBand < 22; longBand++)
    {
        f.l[longBand] = 0;
        f.illegalL[longBand] = -1;
    }
    for (; shortIndex < 39; shortIndex++)
    {
        f.s[shortIndex / 3][shortIndex % 3] = 0;
        f.illegalS[shortIndex / 3] = -1;
    }
}

bool CDecoder::ReadSpectrum(const Granule& g, int ch, uint64_t end)
{
    int q[576] = {};
    const int bigEnd = std::min(g.bigValues * 2, 576);
    int regionEnd[3];
    if (g.blockType != 0)
    {
        regionEnd[0] = g.blockType == 2 && !g.mixed ? SfbShort()[3] * 3 : SfbLong()[8];
        regionEnd[1] = 576;
    }
    else
    {
        regionEnd[0] = SfbLong()[std::min(g.region0Count + 1, 22)];
        regionEnd[1] = SfbLong()[std::min(g.region0Count + g.region1Count + 2, 22)];
    }
    regionEnd[2] = 576;
    int line = 0;
    bool complete = true;
    for (int region = 0; region < 3 && line < bigEnd && complete; region++)
    {
        const int stop = std::min(regionEnd[region], bigEnd);
        const Layer3BigValueTable& table = g_layer3BigValueTables[g.table[region]];
        // Table 0 codes nothing: its lines are zero.
        if (!table.codes)
        {
            if (g.table[region] != 0)
                return false;
            line = std::max(line, stop);
            continue;
        }
        const int16_t* tree = g_tables.huffmanTree[g.table[region]];
        // A value of 15 is followed by linbits more, then every value
        // other than 0 by its sign.
        auto value = [&](int v, int* pOut)
        {
            uint32_t bits = 0;
            if (v == 15 && table.linbits && !(complete = BitsBefore(table.linbits, end, &bits)))
                return;
            v += int(bits);
            uint32_t sign = 0;
            if (v && !(complete = BitsBefore(1, end, &sign)))
                return;
            *pOut = sign ? -v : v;
        };
        for (; line < stop && complete; line += 2)
        {
            int node = 0;
            uint32_t bit;
            while (node >= 0 && (complete = BitsBefore(1, end, &bit)))
                node = tree[2 * node + int(bit)];
            if (complete)
                value((-1 - node) >> 4, &q[line]);
            if (complete)
                value((-1 - node) & 15, &q[line + 1]);
        }
    }
    // Big values cut short by the granule's end leave no count1 values.
    line = complete ? bigEnd : 576;
    while (line + 4 <= 576)
    {
        uint32_t code = 0;
        int value = -1;
        if (g.count1Table)
        {
            if (!BitsBefore(4, end, &code))
                break;
            value = int(~code & 15);
        }
        else
        {
            // Prefix codes of at most 6 bits, read bit by bit.
            uint32_t bit;
            for (int bits = 1; bits <= 6 && value < 0; bits++)
            {
                if (!BitsBefore(1, end, &bit))
                    break;
                code = code << 1 | bit;
                for (int v = 0; v < 16; v++)
                    if (kCount1A[v].bits == bits && kCount1A[v].code == code)
                        value = v;
            }
            if (value < 0)
                break;
        }
        for (int i = 0; i < 4 && complete; i++)
        {
            q[line + i] = (value >> (3 - i)) & 1;
            uint32_t sign;
            if (q[line + i] && (complete = BitsBefore(1, end, &sign)) && sign)
                q[line + i] = -1;
        }
        if (!complete)
            break;
        line += 4;
    }
    int nonZero = line;
    while (nonZero > 0 && q[nonZero - 1] == 0)
        nonZero--;
    m_nNonZero[ch] = nonZero;
    Requantise(g, ch, q);
    return true;
}

void CDecoder::Requantise(const Granule& g, int ch, const int* q)
{
    const ScaleFactors& f = m_scf[ch];
    float* xr = m_xr[ch];
    const int shift = g.scfScale + 1; // half steps of 2^(-1/2) or whole 2^-1
    auto gain = [&](int quarterSteps) { return float(std::exp2(quarterSteps / 4.0)); };
    auto put = [&](int start, int width, float scale)
    {
        for (int i = start; i < start + width; i++)
        {
            const int a = std::abs(q[i]);
            const float mag = a <= 1 ? float(a) : float(std::pow(double(a), 4.0 / 3.0));
            xr[i] = q[i] < 0 ? -mag * scale : mag * scale;
        }
    };
    const int16_t* sfbL = SfbLong();
    const int16_t* sfbS = SfbShort();
    int longEnd = g.blockType != 2 ? 576 : g.mixed ? MixedLongEnd() : 0;
    for (int sfb = 0; sfb < 22 && sfbL[sfb] < longEnd; sfb++)
    {
        const int sf = f.l[sfb] + g.preflag * kPretab[sfb];
        put(sfbL[sfb], sfbL[sfb + 1] - sfbL[sfb], gain(g.globalGain - 210 - 2 * shift * sf));
    }
    if (longEnd == 576)
        return;
    for (int sfb = g.mixed ? 3 : 0; sfb < 13; sfb++)
    {
        const int width = sfbS[sfb + 1] - sfbS[sfb];
        for (int w = 0; w < 3; w++)
            put(sfbS[sfb] * 3 + w * width, width,
                gain(g.globalGain - 210 - 8 * g.subblockGain[w] - 2 * shift * f.s[sfb][w]));
    }
}

void CDecoder::IntensityBand(int start, int width, int pos, int illegal)
{
    // MPEG-1 positions run 0 to 6; 7, and the larger values a 4-bit scale
    // factor can hold, mark a band without intensity coding.
    if (pos == illegal || pos < 0 || (!m_bLsf && pos >= 7))
        return;
    float kl, kr;
    if (m_bLsf)
    {
        const double k = m_nIntensityScale ? std::sqrt(0.5) : std::pow(2.0, -0.25);
        kl = pos & 1 ? float(std::pow(k, (pos + 1) / 2)) : 1.0f;
        kr = pos & 1 ? 1.0f : float(std::pow(k, pos / 2));
    }
    else
    {
        const double a = pos * 3.14159265358979323846 / 12;
        kl = float(std::sin(a) / (std::sin(a) + std::cos(a)));
        kr = float(std::cos(a) / (std::sin(a) + std::cos(a)));
    }
    for (int i = start; i < start + width; i++)
    {
        const float v = m_xr[0][i];
        m_xr[0][i] = v * kl;
        m_xr[1][i] = v * kr;
        m_intensity[i] = true;
    }
}

void CDecoder::Stereo(int gr)
{
    if (m_nMode != 1 || m_nModeExt == 0)
        return;
    memset(m_intensity, 0, sizeof(m_intensity));
    if (m_nModeExt & 1)
    {
        // Bands above the last non-zero value of the right channel carry
        // the left channel's values, shared out by the right channel's
        // scale factors (the last band, which has none, takes the one
        // below it). Short bands count per window.
        const Granule& g = m_granules[gr][0];
        const ScaleFactors& f = m_scf[1];
        const int16_t* sfbL = SfbLong();
        const int16_t* sfbS = SfbShort();
        const float* right = m_xr[1];
        const int nonZero = m_nNonZero[1];
        auto illegalL = [&](int sfb) { return m_bLsf ? f.illegalL[sfb] : 7; };
        auto illegalS = [&](int sfb) { return m_bLsf ? f.illegalS[sfb] : 7; };
        const int longEnd = g.blockType != 2 ? 576 : g.mixed ? MixedLongEnd() : 0;
        if (longEnd > 0 && nonZero <= longEnd)
            for (int sfb = 0; sfb < 22 && sfbL[sfb] < longEnd; sfb++)
            {
                if (sfbL[sfb] < nonZero)
                    continue;
                const int src = std::min(sfb, 20);
                IntensityBand(sfbL[sfb], sfbL[sfb + 1] - sfbL[sfb], f.l[src], illegalL(src));
            }
        if (longEnd < 576)
            for (int w = 0; w < 3; w++)
            {
                const int first = g.mixed ? 3 : 0;
                int top = first; // first band of the window above its last non-zero value
                for (int sfb = first; sfb < 13; sfb++)
                {
                    const int width = sfbS[sfb + 1] - sfbS[sfb];
                    const int start = sfbS[sfb] * 3 + w * width;
                    for (int i = start; i < start + width; i++)
                        if (right[i] != 0)
                            top = sfb + 1;
                }
                for (int sfb = top; sfb < 13; sfb++)
                {
                    const int width = sfbS[sfb + 1] - sfbS[sfb];
                    const int src = std::min(sfb, 11);
                    IntensityBand(sfbS[sfb] * 3 + w * width, width, f.s[src][w], illegalS(src));
                }
            }
    }
    if (m_nModeExt & 2)
    {
        const float r = float(std::sqrt(0.5));
        for (int i = 0; i < 576; i++)
            if (!m_intensity[i])
            {
                const float m = m_xr[0][i], s = m_xr[1][i];
                m_xr[0][i] = (m + s) * r;
                m_xr[1][i] = (m - s) * r;
            }
    }
}

void CDecoder::Hybrid(const Granule& g, int ch, int gr)
{
    float* xr = m_xr[ch];
    const bool shortBlocks = g.blockType == 2;
    // Short bands are sent window by window; the IMDCT takes each
    // subband's 18 lines as 6 triples of one line per window.
    if (shortBlocks)
    {
        const int16_t* sfbS = SfbShort();
        float band[3 * 192];
        for (int sfb = g.mixed ? 3 : 0; sfb < 13; sfb++)
        {
            const int start = sfbS[sfb] * 3;
            const int width = sfbS[sfb + 1] - sfbS[sfb];
            for (int w = 0; w < 3; w++)
                for (int i = 0; i < width; i++)
                    band[i * 3 + w] = xr[start + w * width + i];
            memcpy(xr + start, band, sizeof(float) * size_t(3 * width));
        }
    }
    // Alias reduction between long-block subbands only.
    const int aliasBounds = !shortBlocks ? 32 : g.mixed ? 2 : 0;
    for (int sb = 1; sb < aliasBounds; sb++)
        for (int i = 0; i < 8; i++)
        {
            float& a = xr[18 * sb - 1 - i];
            float& b = xr[18 * sb + i];
            const float lo = a, hi = b;
            a = lo * g_tables.aliasCs[i] - hi * g_tables.aliasCa[i];
            b = hi * g_tables.aliasCs[i] + lo * g_tables.aliasCa[i];
        }

    float out[18][32];
    for (int sb = 0; sb < 32; sb++)
    {
        const float* in = xr + 18 * sb;
        float z[36] = {};
        if (shortBlocks && !(g.mixed && sb < 2))
        {
            for (int w = 0; w < 3; w++)
                for (int i = 0; i < 12; i++)
                {
                    float sum = 0;
                    for (int k = 0; k < 6; k++)
                        sum += in[3 * k + w] * g_tables.imdctShort[i][k];
                    z[6 + 6 * w + i] += sum * g_tables.shortWindow[i];
                }
        }
        else
        {
            // The long subbands of a mixed block take the normal window.
            const float* win = g_tables.blockWindow[shortBlocks ? 0 : g.blockType];
            for (int i = 0; i < 36; i++)
            {
                float sum = 0;
                for (int k = 0; k < 18; k++)
                    sum += in[k] * g_tables.imdctLong[i][k];
                z[i] = sum * win[i];
            }
        }
        float* overlap = m_overlap[ch][sb];
        for (int t = 0; t < 18; t++)
        {
            float v = z[t] + overlap[t];
            overlap[t] = z[18 + t];
            // Odd subbands come out frequency-inverted.
            out[t][sb] = (sb & 1) && (t & 1) ? -v : v;
        }
    }
    for (int t = 0; t < 18; t++)
        Synthesise(ch, out[t], gr * 18 + t);
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
        // Clamped before rounding: a damaged Layer III gain can take the sum
        // far beyond what a 32-bit long holds.
        int16_t s = int16_t(std::lround(std::clamp(sum * 32768.0f, -32768.0f, 32767.0f)));
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
