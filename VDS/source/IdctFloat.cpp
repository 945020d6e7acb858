// The matrix-product transforms: all 1,024 products of a row pass and a
// column pass over the basis c(u) cos((x + 0.5) u pi / 8), in double or single
// precision, differing in their rounding.
#include "VDS/source/Idct.h"

#include <cmath>

#include <emmintrin.h>

namespace
{

constexpr double kPi = 3.14159265358979323846;

// Basis[u][x]: frequency u, sample position x.
void BuildBasis(double basis[8][8])
{
    for (int u = 0; u < 8; ++u)
    {
        double c = u == 0 ? std::sqrt(0.125) : 0.5;
        for (int x = 0; x < 8; ++x)
            basis[u][x] = c * std::cos((x + 0.5) * u * kPi / 8.0);
    }
}

void BuildBasis(float basis[8][8])
{
    double exact[8][8];
    BuildBasis(exact);
    for (int u = 0; u < 8; ++u)
        for (int x = 0; x < 8; ++x)
            basis[u][x] = float(exact[u][x]);
}

int16_t Clamp256(double s)
{
    return int16_t(s < -256.0 ? -256 : s > 255.0 ? 255 : int(s));
}

// Both double forms; round maps a sum to an integral double.
template <double (*Round)(double)>
void DoubleTransform(const double basis[8][8], int16_t* block)
{
    double t[8][8];
    for (int r = 0; r < 8; ++r)
        for (int x = 0; x < 8; ++x)
        {
            double s = 0.0;
            for (int u = 0; u < 8; ++u)
                s += block[8 * r + u] * basis[u][x];
            t[r][x] = s;
        }
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
        {
            double s = 0.0;
            for (int v = 0; v < 8; ++v)
                s += basis[v][y] * t[v][x];
            block[8 * y + x] = Clamp256(Round(s));
        }
}

double HalfUp(double s)
{
    return std::floor(s + 0.5);
}

double HalfEven(double s)
{
    // The default rounding mode: nearest, halves to even.
    return std::nearbyint(s);
}

double s_refBasis[8][8];
double s_x87Basis[8][8];
alignas(16) float s_sse2Basis[8][8];
float s_3dNowBasis[8][8];

} // namespace

void InitRefIdct()
{
    BuildBasis(s_refBasis);
}

void RefIdct(int16_t* block)
{
    DoubleTransform<HalfUp>(s_refBasis, block);
}

void InitX87Idct()
{
    BuildBasis(s_x87Basis);
}

void X87Idct(int16_t* block)
{
    DoubleTransform<HalfEven>(s_x87Basis, block);
}

void InitRefLowSse2Idct()
{
    BuildBasis(s_sse2Basis);
}

// Four sums at a time: each lane holds one sample position.
void RefLowSse2Idct(int16_t* block)
{
    alignas(16) float t[8][8];
    for (int r = 0; r < 8; ++r)
    {
        __m128 lo = _mm_setzero_ps(), hi = _mm_setzero_ps();
        for (int u = 0; u < 8; ++u)
        {
            __m128 f = _mm_set1_ps(float(block[8 * r + u]));
            lo = _mm_add_ps(lo, _mm_mul_ps(f, _mm_load_ps(&s_sse2Basis[u][0])));
            hi = _mm_add_ps(hi, _mm_mul_ps(f, _mm_load_ps(&s_sse2Basis[u][4])));
        }
        _mm_store_ps(&t[r][0], lo);
        _mm_store_ps(&t[r][4], hi);
    }
    const __m128i low = _mm_set1_epi16(-256), high = _mm_set1_epi16(255);
    for (int y = 0; y < 8; ++y)
    {
        __m128 lo = _mm_setzero_ps(), hi = _mm_setzero_ps();
        for (int v = 0; v < 8; ++v)
        {
            __m128 w = _mm_set1_ps(s_sse2Basis[v][y]);
            lo = _mm_add_ps(lo, _mm_mul_ps(w, _mm_load_ps(&t[v][0])));
            hi = _mm_add_ps(hi, _mm_mul_ps(w, _mm_load_ps(&t[v][4])));
        }
        // Conversion rounds in the default mode (halves to even); packing
        // saturates at 16 bits before the clamp.
        __m128i row = _mm_packs_epi32(_mm_cvtps_epi32(lo), _mm_cvtps_epi32(hi));
        row = _mm_min_epi16(_mm_max_epi16(row, low), high);
        _mm_store_si128(reinterpret_cast<__m128i*>(block + 8 * y), row);
    }
}

void Init3dNowIdct()
{
    BuildBasis(s_3dNowBasis);
}

// Two sums at a time in single precision, as the two-lane registers of
// 3DNow! held them; the block is converted to floats first.
void Amd3dNowIdct(int16_t* block)
{
    float f[64], t[8][8];
    for (int i = 0; i < 64; ++i)
        f[i] = float(block[i]);
    for (int r = 0; r < 8; ++r)
        for (int x = 0; x < 8; x += 2)
        {
            float s0 = 0.0f, s1 = 0.0f;
            for (int u = 0; u < 8; ++u)
            {
                s0 += f[8 * r + u] * s_3dNowBasis[u][x];
                s1 += f[8 * r + u] * s_3dNowBasis[u][x + 1];
            }
            t[r][x] = s0;
            t[r][x + 1] = s1;
        }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; x += 2)
        {
            float s0 = 0.0f, s1 = 0.0f;
            for (int v = 0; v < 8; ++v)
            {
                s0 += s_3dNowBasis[v][y] * t[v][x];
                s1 += s_3dNowBasis[v][y] * t[v][x + 1];
            }
            block[8 * y + x] = Clamp256(std::floor(s0 + 0.5f));
            block[8 * y + x + 1] = Clamp256(std::floor(s1 + 0.5f));
        }
}
