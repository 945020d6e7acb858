// MMX_iDCT: one even/odd routine in 16-bit by 16-bit products summed in 32
// bits, run on the rows and, after a transpose, on the columns. Written with
// plain integers that keep the register arithmetic: sums wrap at 32 bits,
// results saturate at 16 bits, and nothing clamps to -256..255.
#include "VDS/source/Idct.h"

namespace
{

// round(2^14 sqrt(2) cos(k pi / 16))
constexpr int32_t c1 = 22725, c2 = 21407, c3 = 19266, c4 = 16384, c5 = 12873, c6 = 8867, c7 = 4520;

int32_t Wrap(int64_t v)
{
    return int32_t(uint32_t(uint64_t(v)));
}

int16_t Saturate(int32_t v)
{
    return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

void Routine(const int16_t* x, int16_t* y, int32_t round, int shift)
{
    int64_t e0 = int64_t(c4) * (x[0] + x[4]) + int64_t(c2) * x[2] + int64_t(c6) * x[6] + round;
    int64_t e1 = int64_t(c4) * (x[0] - x[4]) + int64_t(c6) * x[2] - int64_t(c2) * x[6] + round;
    int64_t e2 = int64_t(c4) * (x[0] - x[4]) - int64_t(c6) * x[2] + int64_t(c2) * x[6] + round;
    int64_t e3 = int64_t(c4) * (x[0] + x[4]) - int64_t(c2) * x[2] - int64_t(c6) * x[6] + round;
    int64_t o0 = int64_t(c1) * x[1] + int64_t(c3) * x[3] + int64_t(c5) * x[5] + int64_t(c7) * x[7];
    int64_t o1 = int64_t(c3) * x[1] - int64_t(c7) * x[3] - int64_t(c1) * x[5] - int64_t(c5) * x[7];
    int64_t o2 = int64_t(c5) * x[1] - int64_t(c1) * x[3] + int64_t(c7) * x[5] + int64_t(c3) * x[7];
    int64_t o3 = int64_t(c7) * x[1] - int64_t(c5) * x[3] + int64_t(c3) * x[5] - int64_t(c1) * x[7];
    const int64_t e[4] = {e0, e1, e2, e3}, o[4] = {o0, o1, o2, o3};
    for (int k = 0; k < 4; ++k)
    {
        y[k] = Saturate(Wrap(e[k] + o[k]) >> shift);
        y[7 - k] = Saturate(Wrap(e[k] - o[k]) >> shift);
    }
}

void Pass(int16_t* block, int32_t round, int shift)
{
    int16_t t[64];
    for (int r = 0; r < 8; ++r)
        Routine(block + 8 * r, t + 8 * r, round, shift);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            block[8 * c + r] = t[8 * r + c];
}

} // namespace

void MmxIdct(int16_t* block)
{
    // The rows come out about 8 sqrt(2) times too large; the second pass's
    // larger shift takes that out.
    Pass(block, 2048, 12);
    Pass(block, 262144, 19);
}
