// FAST_iDCT: the integer butterflies of the Chen-Wang factorisation, rows
// then columns, in place, with a shortcut for rows and columns that hold only
// their first value.
#include "VDS/source/Idct.h"

namespace
{

constexpr int W1 = 2841; // 2048 sqrt(2) cos(k pi / 16)
constexpr int W2 = 2676;
constexpr int W3 = 2408;
constexpr int W5 = 1609;
constexpr int W6 = 1108;
constexpr int W7 = 565;

int16_t s_clip[1024]; // entry i + 512: i clamped to -256..255

int16_t Clip(int i)
{
    if (i < -512 || i > 511)
        return int16_t(i < 0 ? -256 : 255);
    return s_clip[i + 512];
}

void Row(int16_t* b)
{
    int x0, x1, x2, x3, x4, x5, x6, x7, x8;
    if (!((x1 = b[4] * 2048) | (x2 = b[6]) | (x3 = b[2]) | (x4 = b[1]) | (x5 = b[7]) | (x6 = b[5]) | (x7 = b[3])))
    {
        int16_t dc = int16_t(b[0] * 8);
        for (int i = 0; i < 8; ++i)
            b[i] = dc;
        return;
    }
    x0 = b[0] * 2048 + 128;

    x8 = W7 * (x4 + x5);
    x4 = x8 + (W1 - W7) * x4;
    x5 = x8 - (W1 + W7) * x5;
    x8 = W3 * (x6 + x7);
    x6 = x8 - (W3 - W5) * x6;
    x7 = x8 - (W3 + W5) * x7;

    x8 = x0 + x1;
    x0 -= x1;
    x1 = W6 * (x3 + x2);
    x2 = x1 - (W2 + W6) * x2;
    x3 = x1 + (W2 - W6) * x3;
    x1 = x4 + x6;
    x4 -= x6;
    x6 = x5 + x7;
    x5 -= x7;

    x7 = x8 + x3;
    x8 -= x3;
    x3 = x0 + x2;
    x0 -= x2;
    x2 = (181 * (x4 + x5) + 128) >> 8;
    x4 = (181 * (x4 - x5) + 128) >> 8;

    b[0] = int16_t((x7 + x1) >> 8);
    b[1] = int16_t((x3 + x2) >> 8);
    b[2] = int16_t((x0 + x4) >> 8);
    b[3] = int16_t((x8 + x6) >> 8);
    b[4] = int16_t((x8 - x6) >> 8);
    b[5] = int16_t((x0 - x4) >> 8);
    b[6] = int16_t((x3 - x2) >> 8);
    b[7] = int16_t((x7 - x1) >> 8);
}

void Column(int16_t* b)
{
    int x0, x1, x2, x3, x4, x5, x6, x7, x8;
    if (!((x1 = b[8 * 4] * 256) | (x2 = b[8 * 6]) | (x3 = b[8 * 2]) | (x4 = b[8 * 1]) | (x5 = b[8 * 7]) |
          (x6 = b[8 * 5]) | (x7 = b[8 * 3])))
    {
        int16_t dc = Clip((b[0] + 32) >> 6);
        for (int i = 0; i < 8; ++i)
            b[8 * i] = dc;
        return;
    }
    x0 = b[0] * 256 + 8192;

    x8 = W7 * (x4 + x5) + 4;
    x4 = (x8 + (W1 - W7) * x4) >> 3;
    x5 = (x8 - (W1 + W7) * x5) >> 3;
    x8 = W3 * (x6 + x7) + 4;
    x6 = (x8 - (W3 - W5) * x6) >> 3;
    x7 = (x8 - (W3 + W5) * x7) >> 3;

    x8 = x0 + x1;
    x0 -= x1;
    x1 = W6 * (x3 + x2) + 4;
    x2 = (x1 - (W2 + W6) * x2) >> 3;
    x3 = (x1 + (W2 - W6) * x3) >> 3;
    x1 = x4 + x6;
    x4 -= x6;
    x6 = x5 + x7;
    x5 -= x7;

    x7 = x8 + x3;
    x8 -= x3;
    x3 = x0 + x2;
    x0 -= x2;
    x2 = (181 * (x4 + x5) + 128) >> 8;
    x4 = (181 * (x4 - x5) + 128) >> 8;

    b[8 * 0] = Clip((x7 + x1) >> 14);
    b[8 * 1] = Clip((x3 + x2) >> 14);
    b[8 * 2] = Clip((x0 + x4) >> 14);
    b[8 * 3] = Clip((x8 + x6) >> 14);
    b[8 * 4] = Clip((x8 - x6) >> 14);
    b[8 * 5] = Clip((x0 - x4) >> 14);
    b[8 * 6] = Clip((x3 - x2) >> 14);
    b[8 * 7] = Clip((x7 - x1) >> 14);
}

} // namespace

void InitFastIdct()
{
    for (int i = -512; i < 512; ++i)
        s_clip[i + 512] = int16_t(i < -256 ? -256 : i > 255 ? 255 : i);
}

void FastIdct(int16_t* block)
{
    for (int r = 0; r < 8; ++r)
        Row(block + 8 * r);
    for (int c = 0; c < 8; ++c)
        Column(block + c);
}
