// Motion-compensated prediction and block reconstruction of MPEG video,
// eight or sixteen samples at a time with SSE2.
#include "VDS/source/MpegVideoCore.h"
#include "VDS/source/MpegVideoTables.h"

#include <emmintrin.h>

#include <cstdio>

namespace
{
enum
{
    MC_FIELD = 1,
    MC_FRAME = 2,
    MC_16X8 = 2,
    MC_DMV = 3,
};

template <int W>
inline __m128i Load(const uint8_t* p)
{
    if (W == 16)
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

template <int W>
inline void Store(uint8_t* p, __m128i v)
{
    if (W == 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    else
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
}

// (a + b + c + d + 2) / 4 exactly, which two byte averages would not give.
inline __m128i Average4(__m128i a, __m128i b, __m128i c, __m128i d)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i two = _mm_set1_epi16(2);
    __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)),
                               _mm_add_epi16(_mm_unpacklo_epi8(c, zero), _mm_unpacklo_epi8(d, zero)));
    __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)),
                               _mm_add_epi16(_mm_unpackhi_epi8(c, zero), _mm_unpackhi_epi8(d, zero)));
    lo = _mm_srli_epi16(_mm_add_epi16(lo, two), 2);
    hi = _mm_srli_epi16(_mm_add_epi16(hi, two), 2);
    return _mm_packus_epi16(lo, hi);
}

// One prediction block: W x h samples at half-sample position (HX, HY),
// averaged with what the destination holds when AVERAGE is set.
template <int W, bool HX, bool HY, bool AVERAGE>
void PredictRows(uint8_t* d, ptrdiff_t ds, const uint8_t* s, ptrdiff_t ss, int h)
{
    for (int row = 0; row < h; row++, d += ds, s += ss)
    {
        __m128i p;
        if (!HX && !HY)
            p = Load<W>(s);
        else if (HX && !HY)
            p = _mm_avg_epu8(Load<W>(s), Load<W>(s + 1));
        else if (!HX && HY)
            p = _mm_avg_epu8(Load<W>(s), Load<W>(s + ss));
        else
            p = Average4(Load<W>(s), Load<W>(s + 1), Load<W>(s + ss), Load<W>(s + ss + 1));
        if (AVERAGE)
            p = _mm_avg_epu8(p, Load<W>(d));
        Store<W>(d, p);
    }
}

typedef void (*PredictRowsFn)(uint8_t* d, ptrdiff_t ds, const uint8_t* s, ptrdiff_t ss, int h);

// Every form of the row loop, so that none tests the half-sample position
// or the averaging per row, indexed by hx * 4 + hy * 2 + average.
template <int W>
constexpr PredictRowsFn kPredictRows[8] = {
    PredictRows<W, false, false, false>, PredictRows<W, false, false, true>, PredictRows<W, false, true, false>,
    PredictRows<W, false, true, true>,   PredictRows<W, true, false, false>, PredictRows<W, true, false, true>,
    PredictRows<W, true, true, false>,   PredictRows<W, true, true, true>,
};

inline void PredictBlock(uint8_t* d, ptrdiff_t ds, const uint8_t* s, ptrdiff_t ss, int w, int h, int hx, int hy,
                         bool bAverage)
{
    int form = hx * 4 + hy * 2 + int(bAverage);
    (w == 16 ? kPredictRows<16> : kPredictRows<8>)[form](d, ds, s, ss, h);
}

// Writes an 8x8 result: intra samples are the value + 128, others the
// prediction + the value, both saturated to 0..255.
void PutBlock(uint8_t* d, ptrdiff_t ds, const short* blk, bool bIntra)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i bias = _mm_set1_epi16(128);
    for (int row = 0; row < 8; row++, d += ds)
    {
        __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(blk + 8 * row));
        if (bIntra)
            v = _mm_adds_epi16(v, bias);
        else
            v = _mm_adds_epi16(v, _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d)), zero));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(v, v));
    }
}

// (v * m) // 2 of the dual-prime derivation: halves rounded away from zero.
inline int HalfAway(int v)
{
    return (v + (v > 0)) >> 1;
}
}

void CMpegVideoCore::Predict(const MpegFrameStore& ref, int nSrcField, int nDstField, int x, int y, int h, int mvx,
                             int mvy, bool bAverage)
{
    const MpegFrameStore& cur = m_store[m_nCurrent];
    int width = m_nMbWidth * 16;
    int height = m_nMbHeight * 16;
    for (int plane = 0; plane < 3; plane++)
    {
        const uint8_t* src = plane == 0 ? ref.pY : (plane == 1 ? ref.pCb : ref.pCr);
        uint8_t* dst = plane == 0 ? cur.pY : (plane == 1 ? cur.pCb : cur.pCr);
        int pw = plane ? width / 2 : width;
        int ph = plane ? height / 2 : height;
        int bw = plane ? 8 : 16;
        int bh = plane ? h / 2 : h;
        int px = plane ? x / 2 : x;
        int py = plane ? y / 2 : y;
        int dx = plane ? mvx / 2 : mvx;
        int dy = plane ? mvy / 2 : mvy;

        ptrdiff_t sStride = nSrcField >= 0 ? 2 * pw : pw;
        int sHeight = nSrcField >= 0 ? ph / 2 : ph;
        if (nSrcField > 0)
            src += pw;
        ptrdiff_t dStride = nDstField >= 0 ? 2 * pw : pw;
        if (nDstField > 0)
            dst += pw;

        // Vectors that point outside the reference are held at its edge, so
        // a damaged stream never reads beyond the store.
        int xi = px + (dx >> 1), yi = py + (dy >> 1);
        int hx = dx & 1, hy = dy & 1;
        if (xi < 0)
            xi = 0, hx = 0;
        else if (xi + bw + hx > pw)
            xi = pw - bw, hx = 0;
        if (yi < 0)
            yi = 0, hy = 0;
        else if (yi + bh + hy > sHeight)
            yi = sHeight - bh, hy = 0;

        uint8_t* d = dst + py * dStride + px;
        const uint8_t* s = src + yi * sStride + xi;
        PredictBlock(d, dStride, s, sStride, bw, bh, hx, hy, bAverage);
    }
}

void CMpegVideoCore::FormPredictions(int mbx, int mby)
{
    int x = mbx * 16;
    int nRef[2] = {m_nForward, m_nBackward};
    // A picture whose references are missing (the start of an open GOP)
    // predicts from what the stores hold.
    if (nRef[1] < 0)
        nRef[1] = m_nCurrent;
    if (nRef[0] < 0)
        nRef[0] = nRef[1];
    bool bAverage = false;

    if (m_nPictureStructure == MPEG_FRAME_PICTURE)
    {
        int y = mby * 16;
        if (m_nMotionType == MC_DMV)
        {
            const MpegFrameStore& ref = m_store[nRef[0]];
            int mvx = m_mv[0][0][0], mvy = m_mv[0][0][1];
            int m0 = m_bTopFieldFirst ? 1 : 3, m1 = m_bTopFieldFirst ? 3 : 1;
            // The top field from the opposite (bottom) field, the bottom
            // field from the top one, each averaged with the same parity.
            int dmv0x = HalfAway(mvx * m0) + m_dmvector[0], dmv0y = HalfAway(mvy * m0) + m_dmvector[1] - 1;
            int dmv1x = HalfAway(mvx * m1) + m_dmvector[0], dmv1y = HalfAway(mvy * m1) + m_dmvector[1] + 1;
            Predict(ref, 0, 0, x, y / 2, 8, mvx, mvy, false);
            Predict(ref, 1, 0, x, y / 2, 8, dmv0x, dmv0y, true);
            Predict(ref, 1, 1, x, y / 2, 8, mvx, mvy, false);
            Predict(ref, 0, 1, x, y / 2, 8, dmv1x, dmv1y, true);
            return;
        }
        for (int s = 0; s < 2; s++)
        {
            if (!(m_nMbType & (s == 0 ? MB_FORWARD : MB_BACKWARD)))
                continue;
            const MpegFrameStore& ref = m_store[nRef[s]];
            if (m_nMotionType == MC_FRAME || !m_bMpeg2)
            {
                Predict(ref, -1, -1, x, y, 16, m_mv[0][s][0], m_mv[0][s][1], bAverage);
            }
            else
            {
                Predict(ref, m_fieldSelect[0][s], 0, x, y / 2, 8, m_mv[0][s][0], m_mv[0][s][1], bAverage);
                Predict(ref, m_fieldSelect[1][s], 1, x, y / 2, 8, m_mv[1][s][0], m_mv[1][s][1], bAverage);
            }
            bAverage = true;
        }
        return;
    }

    int nField = m_nPictureStructure == MPEG_BOTTOM_FIELD ? 1 : 0;
    int y = mby * 16;
    if (m_nMotionType == MC_DMV)
    {
        // Same parity from the reference frame; opposite parity from the
        // field decoded last, which for a second field is this frame's first.
        int mvx = m_mv[0][0][0], mvy = m_mv[0][0][1];
        int dmvx = HalfAway(mvx) + m_dmvector[0];
        int dmvy = HalfAway(mvy) + m_dmvector[1] + (nField ? 1 : -1);
        const MpegFrameStore& same = m_store[nRef[0]];
        const MpegFrameStore& opposite = m_bSecondField ? m_store[m_nCurrent] : m_store[nRef[0]];
        Predict(same, nField, nField, x, y, 16, mvx, mvy, false);
        Predict(opposite, !nField, nField, x, y, 16, dmvx, dmvy, true);
        return;
    }
    for (int s = 0; s < 2; s++)
    {
        if (!(m_nMbType & (s == 0 ? MB_FORWARD : MB_BACKWARD)))
            continue;
        for (int r = 0; r < (m_nMotionType == MC_16X8 ? 2 : 1); r++)
        {
            int sel = m_fieldSelect[r][s];
            // The second field of a P frame may predict from the first.
            bool bSameFrame = s == 0 && m_nPictureCodingType == MPEG_PICTURE_P && m_bSecondField && sel != nField;
            const MpegFrameStore& ref = bSameFrame ? m_store[m_nCurrent] : m_store[nRef[s]];
            int h = m_nMotionType == MC_16X8 ? 8 : 16;
            Predict(ref, sel, nField, x, y + 8 * r, h, m_mv[r][s][0], m_mv[r][s][1], bAverage);
        }
        bAverage = true;
    }
}

void CMpegVideoCore::AddBlocks(int mbx, int mby)
{
    const MpegFrameStore& cur = m_store[m_nCurrent];
    int width = m_nMbWidth * 16;
    bool bIntra = m_nMbType & MB_INTRA;
    bool bFrame = m_nPictureStructure == MPEG_FRAME_PICTURE;
    int nField = m_nPictureStructure == MPEG_BOTTOM_FIELD ? 1 : 0;
    for (int b = 0; b < 6; b++)
    {
        if (!(m_nCodedBlocks & (32 >> b)))
            continue;
        uint8_t* d;
        ptrdiff_t ds;
        if (b < 4)
        {
            if (bFrame)
            {
                d = cur.pY + ptrdiff_t(mby) * 16 * width + mbx * 16 + (b & 1) * 8;
                if (m_bDctType)
                {
                    d += (b >> 1) * width;
                    ds = 2 * width;
                }
                else
                {
                    d += (b >> 1) * 8 * width;
                    ds = width;
                }
            }
            else
            {
                ds = 2 * width;
                d = cur.pY + nField * width + ptrdiff_t(mby) * 16 * ds + (b >> 1) * 8 * ds + mbx * 16 + (b & 1) * 8;
            }
        }
        else
        {
            uint8_t* plane = b == 4 ? cur.pCb : cur.pCr;
            int cw = width / 2;
            if (bFrame)
            {
                ds = cw;
                d = plane + ptrdiff_t(mby) * 8 * ds + mbx * 8;
            }
            else
            {
                ds = 2 * cw;
                d = plane + nField * cw + ptrdiff_t(mby) * 8 * ds + mbx * 8;
            }
        }
        PutBlock(d, ds, m_block[b], bIntra);
    }
}
