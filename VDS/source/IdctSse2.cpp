// Fast_SSE2_iDCT: a fixed-point row pass with one scaled table per row pair
// and a column pass of tangent butterflies over all eight columns at once, in
// 16-bit lanes that wrap; nothing clamps to -256..255.
#include "VDS/source/Idct.h"

#include <cmath>

#include <emmintrin.h>

namespace
{

// Sign and index j of the 32 places of a row table.
constexpr int kRowPlaces[32] = {+4, +2, +4, +6, +4, -6, +4, -2, +4, +6, -4, -2, -4, +2, +4, -6,
                                +1, +3, +3, -7, +5, -1, +7, -5, +5, +7, -1, -5, +7, +3, +3, -1};

struct RowTables
{
    // Table m at [m - 1]: +-round(2^15 cos(m pi / 16) cos(j pi / 16)).
    alignas(16) int16_t table[4][32];

    RowTables()
    {
        const double pi = 3.14159265358979323846;
        for (int m = 1; m <= 4; ++m)
            for (int p = 0; p < 32; ++p)
            {
                int j = kRowPlaces[p] < 0 ? -kRowPlaces[p] : kRowPlaces[p];
                double v = std::round(32768.0 * std::cos(m * pi / 16) * std::cos(j * pi / 16));
                table[m - 1][p] = int16_t(kRowPlaces[p] < 0 ? -v : v);
            }
    }
};

const RowTables s_rows;

// The table of each row: m = 4 for rows 0 and 4, 1 for 1 and 7, 2 for 2
// and 6, 3 for 3 and 5.
constexpr int kRowTable[8] = {4, 1, 2, 3, 4, 3, 2, 1};

// round(tan(pi/16) 2^16), round(tan(pi/8) 2^16), round((tan(3pi/16) - 1) 2^16),
// round((cos(pi/4) - 1) 2^16).
constexpr int16_t T1 = 13036, T2 = 27146, T3 = -21746, K4 = -19195;

void Row(int16_t* row, const int16_t* t)
{
    __m128i x = _mm_load_si128(reinterpret_cast<const __m128i*>(row));
    // Lanes of 32 bits: (x0, x2), (x1, x3), (x4, x6), (x5, x7).
    x = _mm_shufflelo_epi16(x, _MM_SHUFFLE(3, 1, 2, 0));
    x = _mm_shufflehi_epi16(x, _MM_SHUFFLE(3, 1, 2, 0));
    __m128i x02 = _mm_shuffle_epi32(x, 0x00), x13 = _mm_shuffle_epi32(x, 0x55);
    __m128i x46 = _mm_shuffle_epi32(x, 0xAA), x57 = _mm_shuffle_epi32(x, 0xFF);
    const __m128i* tv = reinterpret_cast<const __m128i*>(t);
    __m128i a = _mm_add_epi32(_mm_madd_epi16(x02, _mm_load_si128(tv)), _mm_madd_epi16(x46, _mm_load_si128(tv + 1)));
    a = _mm_add_epi32(a, _mm_set1_epi32(2048));
    __m128i b = _mm_add_epi32(_mm_madd_epi16(x13, _mm_load_si128(tv + 2)), _mm_madd_epi16(x57, _mm_load_si128(tv + 3)));
    __m128i sum = _mm_srai_epi32(_mm_add_epi32(a, b), 12);
    __m128i diff = _mm_shuffle_epi32(_mm_srai_epi32(_mm_sub_epi32(a, b), 12), _MM_SHUFFLE(0, 1, 2, 3));
    _mm_store_si128(reinterpret_cast<__m128i*>(row), _mm_packs_epi32(sum, diff));
}

__m128i MulHi(__m128i a, int16_t c)
{
    return _mm_mulhi_epi16(a, _mm_set1_epi16(c));
}

} // namespace

void FastSse2Idct(int16_t* block)
{
    for (int r = 0; r < 8; ++r)
        Row(block + 8 * r, s_rows.table[kRowTable[r] - 1]);

    __m128i* rows = reinterpret_cast<__m128i*>(block);
    __m128i X0 = _mm_load_si128(rows + 0), X1 = _mm_load_si128(rows + 1), X2 = _mm_load_si128(rows + 2),
            X3 = _mm_load_si128(rows + 3), X4 = _mm_load_si128(rows + 4), X5 = _mm_load_si128(rows + 5),
            X6 = _mm_load_si128(rows + 6), X7 = _mm_load_si128(rows + 7);
    const __m128i one = _mm_set1_epi16(1), c15 = _mm_set1_epi16(15), c16 = _mm_set1_epi16(16);

    __m128i tp17 = _mm_add_epi16(X1, MulHi(X7, T1));
    __m128i tm17 = _mm_sub_epi16(MulHi(X1, T1), X7);
    __m128i u5 = _mm_add_epi16(MulHi(X5, T3), X5);
    __m128i u3 = _mm_add_epi16(MulHi(X3, T3), X3);
    __m128i tp35 = _mm_add_epi16(u5, X3);
    __m128i tm53 = _mm_sub_epi16(X5, u3);
    __m128i b0 = _mm_add_epi16(_mm_add_epi16(tp17, tp35), one);
    __m128i b3 = _mm_add_epi16(tm17, tm53);
    __m128i t1 = _mm_sub_epi16(tp17, tp35);
    __m128i t2 = _mm_add_epi16(_mm_sub_epi16(tm17, tm53), one);
    __m128i s = _mm_add_epi16(t1, t2);
    __m128i b1 = _mm_or_si128(_mm_add_epi16(MulHi(s, K4), s), one);
    __m128i d = _mm_sub_epi16(t1, t2);
    __m128i b2 = _mm_or_si128(_mm_add_epi16(MulHi(d, K4), d), one);

    __m128i tp26 = _mm_add_epi16(X2, MulHi(X6, T2));
    __m128i tm26 = _mm_sub_epi16(MulHi(X2, T2), X6);
    __m128i tp04 = _mm_add_epi16(X0, X4);
    __m128i tm04 = _mm_sub_epi16(X0, X4);
    __m128i a0 = _mm_add_epi16(_mm_add_epi16(tp04, tp26), c16);
    __m128i a1 = _mm_add_epi16(_mm_add_epi16(tm04, tm26), c16);
    __m128i a2 = _mm_add_epi16(_mm_sub_epi16(tm04, tm26), c15);
    __m128i a3 = _mm_add_epi16(_mm_sub_epi16(tp04, tp26), c15);

    _mm_store_si128(rows + 0, _mm_srai_epi16(_mm_add_epi16(a0, b0), 5));
    _mm_store_si128(rows + 1, _mm_srai_epi16(_mm_add_epi16(a1, b1), 5));
    _mm_store_si128(rows + 2, _mm_srai_epi16(_mm_add_epi16(a2, b2), 5));
    _mm_store_si128(rows + 3, _mm_srai_epi16(_mm_add_epi16(a3, b3), 5));
    _mm_store_si128(rows + 4, _mm_srai_epi16(_mm_sub_epi16(a3, b3), 5));
    _mm_store_si128(rows + 5, _mm_srai_epi16(_mm_sub_epi16(a2, b2), 5));
    _mm_store_si128(rows + 6, _mm_srai_epi16(_mm_sub_epi16(a1, b1), 5));
    _mm_store_si128(rows + 7, _mm_srai_epi16(_mm_sub_epi16(a0, b0), 5));
}

// For tests: the row table m (1..4).
const int16_t* FastSse2RowTable(int m)
{
    return s_rows.table[m - 1];
}
