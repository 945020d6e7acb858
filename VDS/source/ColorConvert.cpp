#include "VDS/source/ColorConvert.h"

#include <cmath>
#include <cstring>

namespace
{

// The terms of the YUV to RGB sums: coefficient (in single precision) times
// the offset sample, rounded half away from zero.
struct YuvTables
{
    int luma[256];
    int blueU[256];
    int greenU[256];
    int greenV[256];
    int redV[256];
    BYTE clamp[1024]; // index + 384: 0..255

    static int Term(float coefficient, int offset) { return int(std::round(double(coefficient) * offset)); }

    YuvTables()
    {
        for (int x = 0; x < 256; ++x)
        {
            luma[x] = Term(1.164f, x - 16);
            blueU[x] = Term(2.018f, x - 128);
            greenU[x] = Term(-0.391f, x - 128);
            redV[x] = Term(1.596f, x - 128);
            greenV[x] = Term(-0.813f, x - 128);
        }
        for (int i = 0; i < 1024; ++i)
            clamp[i] = BYTE(i < 384 ? 0 : i > 384 + 255 ? 255 : i - 384);
    }

    BYTE Clamp(int v) const { return clamp[v < -384 ? 0 : v > 639 ? 1023 : v + 384]; }
};

const YuvTables s_yuv;

// Index i clamped to 0..n-1 (n > 0).
inline DWORD Edge(long long i, DWORD n)
{
    return i < 0 ? 0 : i >= (long long)n ? n - 1 : DWORD(i);
}

// The chroma row that serves luma row j.
DWORD ChromaRowOf(DWORD j, DWORD chromaHeight, bool progressive)
{
    DWORD row = progressive ? j / 2 : (j / 4) * 2 + (j % 2);
    return row < chromaHeight ? row : chromaHeight - 1;
}

void ConvertRow(BYTE* dst, const BYTE* y, const BYTE* u, const BYTE* v, DWORD width, DWORD chromaWidth)
{
    static const BYTE kNeutral = 128;
    for (DWORD x = 0; x < width; ++x)
    {
        DWORD i = x / 2 < chromaWidth ? x / 2 : chromaWidth - 1;
        BYTE cu = chromaWidth ? u[i] : kNeutral, cv = chromaWidth ? v[i] : kNeutral;
        int l = s_yuv.luma[y[x]];
        dst[4 * x] = s_yuv.Clamp(l + s_yuv.blueU[cu]);
        dst[4 * x + 1] = s_yuv.Clamp(l + s_yuv.greenU[cu] + s_yuv.greenV[cv]);
        dst[4 * x + 2] = s_yuv.Clamp(l + s_yuv.redV[cv]);
        dst[4 * x + 3] = 0;
    }
}

void PackRows(const BYTE* y, const BYTE* u, const BYTE* v, BYTE* dst, DWORD width, DWORD height, DWORD first)
{
    DWORD cw = width / 2;
    for (DWORD row = first; row < height; row += 2)
    {
        const BYTE* yr = y + size_t(row) * width;
        const BYTE* ur = u + size_t(row) * cw;
        const BYTE* vr = v + size_t(row) * cw;
        BYTE* d = dst + size_t(row) * width * 2;
        for (DWORD i = 0; i < cw; ++i)
        {
            d[4 * i] = yr[2 * i];
            d[4 * i + 1] = ur[i];
            d[4 * i + 2] = yr[2 * i + 1];
            d[4 * i + 3] = vr[i];
        }
        if (width % 2)
        {
            // The last pixel has no partner: its Y and the nearest U.
            d[2 * width - 2] = yr[width - 1];
            d[2 * width - 1] = cw ? ur[cw - 1] : 128;
        }
    }
}

} // namespace

void ConvertYuvToRgb32(const BYTE* y, const BYTE* u, const BYTE* v, BYTE* dst, DWORD dstStride, DWORD width,
                       DWORD height, DWORD yStride, DWORD chromaStride, bool progressive)
{
    DWORD cw = width / 2, ch = height / 2;
    for (DWORD j = 0; j < height; ++j)
    {
        DWORD c = ch ? ChromaRowOf(j, ch, progressive) : 0;
        ConvertRow(dst + size_t(height - 1 - j) * dstStride, y + size_t(j) * yStride, u + size_t(c) * chromaStride,
                   v + size_t(c) * chromaStride, width, ch ? cw : 0);
    }
}

void ConvertRgb32ToYuv420(const BYTE* src, BYTE* dst, DWORD width, DWORD height)
{
    DWORD cw = width / 2, ch = height / 2;
    BYTE* yPlane = dst;
    BYTE* vPlane = dst + size_t(width) * height;
    BYTE* uPlane = vPlane + size_t(cw) * ch;
    for (DWORD j = 0; j < height; ++j)
        for (DWORD x = 0; x < width; ++x)
        {
            const BYTE* p = src + (size_t(j) * width + x) * 4;
            yPlane[size_t(j) * width + x] = BYTE((66 * p[2] + 129 * p[1] + 25 * p[0]) / 256 + 16);
        }
    for (DWORD j = 0; j < ch; ++j)
        for (DWORD i = 0; i < cw; ++i)
        {
            int sumV = 0, sumU = 0;
            for (DWORD dy = 0; dy < 2; ++dy)
                for (DWORD dx = 0; dx < 2; ++dx)
                {
                    const BYTE* p = src + (size_t(2 * j + dy) * width + 2 * i + dx) * 4;
                    int r = p[2], g = p[1], b = p[0];
                    sumV += (112 * r - 94 * g - 18 * b) / 256;
                    sumU += (112 * b - 38 * r - 75 * g) / 256;
                }
            vPlane[size_t(j) * cw + i] = BYTE((sumV + 512) >> 2);
            uPlane[size_t(j) * cw + i] = BYTE((sumU + 512) >> 2);
        }
}

void UpsampleChromaVertical(const BYTE* src, BYTE* dst, DWORD width, DWORD height, bool progressive)
{
    DWORD cw = width / 2, n = height / 2;
    if (n == 0)
    {
        std::memset(dst, 128, size_t(cw) * height);
        return;
    }
    // Rows outside the plane repeat its first or last row.
    auto s = [&](long long row, DWORD col) { return int(src[size_t(Edge(row, n)) * cw + col]); };
    for (DWORD o = 0; o < height; ++o)
    {
        BYTE* out = dst + size_t(o) * cw;
        long long i = o / 2, k = o / 4;
        DWORD r = o % 4;
        bool first = k == 0, last = 2 * k + 2 >= n;
        for (DWORD c = 0; c < cw; ++c)
        {
            int value;
            if (progressive)
                value = o % 2 ? (3 * s(i, c) + s(i + 1, c) + 2) / 4 : (s(i - 1, c) + 3 * s(i, c) + 2) / 4;
            else if (r == 0)
                value = first ? s(0, c) : (s(2 * k - 2, c) + 7 * s(2 * k, c) + 4) / 8;
            else if (r == 1)
                value =
                    first ? (3 * s(0, c) + 5 * s(1, c) + 4) / 8 : (3 * s(2 * k - 1, c) + 5 * s(2 * k + 1, c) + 4) / 8;
            else if (r == 2)
                value = last ? s(2 * k, c) : (5 * s(2 * k, c) + 3 * s(2 * k + 2, c) + 4) / 8;
            else
                value = last ? (s(2 * k, c) + 7 * s(2 * k + 1, c) + 4) / 8
                             : (7 * s(2 * k + 1, c) + s(2 * k + 3, c) + 4) / 8;
            out[c] = BYTE(value);
        }
    }
}

void UpsampleChromaHorizontal(const BYTE* src, BYTE* dst, DWORD width, DWORD height)
{
    DWORD cw = width / 2;
    for (DWORD row = 0; row < height; ++row)
    {
        const BYTE* s = src + size_t(row) * cw;
        BYTE* d = dst + size_t(row) * width;
        for (DWORD i = 0; i < cw; ++i)
        {
            d[2 * i] = s[i];
            // The last eight samples are doubled rather than interpolated.
            d[2 * i + 1] = i + 8 >= cw ? s[i] : BYTE((s[i] + s[i + 1] + 1) / 2);
        }
        if (width % 2)
            d[width - 1] = cw ? s[cw - 1] : 128;
    }
}

void PackYuyvEvenRows(const BYTE* y, const BYTE* u, const BYTE* v, BYTE* dst, DWORD width, DWORD height)
{
    PackRows(y, u, v, dst, width, height, 0);
}

void PackYuyvOddRows(const BYTE* y, const BYTE* u, const BYTE* v, BYTE* dst, DWORD width, DWORD height)
{
    PackRows(y, u, v, dst, width, height, 1);
}

void DecimateChromaHorizontal(const BYTE* src, BYTE* dst, DWORD width, DWORD height)
{
    DWORD cw = width / 2;
    for (DWORD row = 0; row < height; ++row)
    {
        const BYTE* p = src + size_t(row) * width;
        auto at = [&](long long x) { return int(p[Edge(x, width)]); };
        for (DWORD i = 0; i < cw; ++i)
        {
            long long x = 2 * i;
            int sum = 256 * at(x) + 159 * (at(x - 1) + at(x + 1)) - 52 * (at(x - 3) + at(x + 3)) +
                      22 * (at(x - 5) + at(x + 5)) + 256;
            dst[size_t(row) * cw + i] = s_yuv.Clamp(sum >> 9);
        }
    }
}

void DecimateChromaVertical(const BYTE* src, BYTE* dst, DWORD width, DWORD height)
{
    DWORD cw = width / 2, rows = height & ~DWORD(1);
    if (rows == 0)
        return;
    for (DWORD c = 0; c < cw; ++c)
    {
        auto at = [&](long long y) { return int(src[size_t(Edge(y, rows)) * cw + c]); };
        for (DWORD y = 0; y < rows; y += 2)
        {
            int sum = 228 * (at(y) + at(y + 1)) + 70 * (at(y - 1LL) + at(y + 2)) - 37 * (at(y - 2LL) + at(y + 3)) -
                      21 * (at(y - 3LL) + at(y + 4)) + 11 * (at(y - 4LL) + at(y + 5)) + 5 * (at(y - 5LL) + at(y + 6)) +
                      256;
            dst[size_t(y / 2) * cw + c] = s_yuv.Clamp(sum >> 9);
        }
    }
}

void BlendOverlayYuv(BYTE* dst, DWORD dstWidth, DWORD dstHeight, const BYTE* overlay, const BYTE* fullAlpha,
                     const BYTE* quarterAlpha, DWORD x, DWORD y, DWORD overlayWidth, DWORD overlayHeight)
{
    auto blend = [](BYTE d, BYTE o, BYTE a) { return BYTE(((255 - a) * d + a * o + 128) >> 8); };
    for (DWORD r = 0; r < overlayHeight; ++r)
    {
        BYTE* d = dst + size_t(y + r) * dstWidth + x;
        const BYTE* o = overlay + size_t(r) * overlayWidth;
        const BYTE* a = fullAlpha + size_t(r) * overlayWidth;
        for (DWORD c = 0; c < overlayWidth; ++c)
            d[c] = blend(d[c], o[c], a[c]);
    }
    DWORD dcw = dstWidth / 2, dch = dstHeight / 2, ocw = overlayWidth / 2, och = overlayHeight / 2;
    BYTE* dstV = dst + size_t(dstWidth) * dstHeight;
    const BYTE* overlayV = overlay + size_t(overlayWidth) * overlayHeight;
    for (int plane = 0; plane < 2; ++plane)
    {
        BYTE* dp = dstV + size_t(plane) * dcw * dch;
        const BYTE* op = overlayV + size_t(plane) * ocw * och;
        for (DWORD r = 0; r < och; ++r)
            for (DWORD c = 0; c < ocw; ++c)
            {
                BYTE& d = dp[size_t(y / 2 + r) * dcw + x / 2 + c];
                d = blend(d, op[size_t(r) * ocw + c], quarterAlpha[size_t(r) * ocw + c]);
            }
    }
}
