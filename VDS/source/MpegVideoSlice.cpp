// Picture data of MPEG video: slices, macroblocks, motion vectors and
// coefficient blocks with their inverse quantisation.
#include "VDS/source/MpegVideoCore.h"
#include "VDS/source/MpegVideoTables.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
const uint8_t kNonLinearQuant[32] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10, 12, 14, 16, 18, 20,  22,
                                     24, 28, 32, 36, 40, 44, 48, 52, 56, 64, 72, 80, 88, 96, 104, 112};

// The range every inverse transform is built for; larger coefficients would
// make the picture depend on which transform the benchmark chose.
inline int Saturate(int v)
{
    return v < -2048 ? -2048 : (v > 2047 ? 2047 : v);
}

enum
{
    MC_FIELD = 1,
    MC_FRAME = 2,
    MC_16X8 = 2,
    MC_DMV = 3,
};
}

int CMpegVideoCore::DecodePicture()
{
    // B pictures go to the third store; I and P replace the older reference.
    if (m_nPictureCodingType == MPEG_PICTURE_B)
    {
        int used[3] = {0, 0, 0};
        if (m_nForward >= 0)
            used[m_nForward] = 1;
        if (m_nBackward >= 0)
            used[m_nBackward] = 1;
        m_nCurrent = !used[0] ? 0 : (!used[1] ? 1 : 2);
    }
    else
    {
        if (m_nBackward >= 0)
            m_nForward = m_nBackward;
        int used[3] = {0, 0, 0};
        if (m_nForward >= 0)
            used[m_nForward] = 1;
        m_nCurrent = !used[0] ? 0 : (!used[1] ? 1 : 2);
        m_nBackward = m_nCurrent;
    }

    // After a B picture it is shown itself; after a reference picture the
    // reference before it.
    int nDisplay = m_nPictureCodingType == MPEG_PICTURE_B ? m_nCurrent : m_nForward;
    m_bSecondField = false;
    int nStructure = m_nPictureStructure;
    int nType = m_nPictureCodingType;
    DecodePictureData();
    if (nStructure != MPEG_FRAME_PICTURE)
    {
        // The second field of the pair: a field picture of the other parity
        // follows; anything else is a picture of its own for the next call.
        m_nFirstFieldStructure = nStructure;
        int header = GetHeader();
        m_nFirstFieldStructure = 0;
        if (header == 1)
        {
            if (m_nPictureStructure != MPEG_FRAME_PICTURE && m_nPictureStructure != nStructure)
            {
                m_bSecondField = true;
                DecodePictureData();
                m_bSecondField = false;
            }
            else
            {
                m_bHeaderPending = true;
            }
        }
        m_nPictureCodingType = nType;
    }

    return nDisplay;
}

void CMpegVideoCore::DecodePictureData()
{
    if (m_nCurrent < 0 || !m_store[m_nCurrent].pY || m_nMbWidth == 0 || !m_pfnIdct)
        return;
    m_pScan = m_bAlternateScan ? g_mpegAlternate : g_mpegZigzag;
    int nLimit = m_nMbWidth * m_nMbHeight;
    if (m_nPictureStructure != MPEG_FRAME_PICTURE)
        nLimit /= 2;
    while (DecodeSlice(nLimit) >= 0)
    {
    }
}

int CMpegVideoCore::GetMacroblockAddressIncrement()
{
    int inc = 0;
    for (;;)
    {
        uint32_t code = ShowBits(11);
        const MpegVlc& e = g_mpegVlc.mbaIncrement[code];
        if (e.length == 0)
        {
            m_bFault = true;
            return 0;
        }
        FlushBits(e.length);
        if (e.value == 34)
            inc += 33;
        else if (e.value != 35)
            return inc + e.value;
    }
}

// Returns -1 when the picture ends, 0 when the next slice may follow.
int CMpegVideoCore::DecodeSlice(int nLimit)
{
    NextStartCode();
    uint32_t code = ShowBits(32);
    if (code < 0x101 || code > 0x1AF)
        return -1;
    FlushBits32();
    m_bFault = false;
    int nRow = int(code & 0xFF) - 1;
    int qcode = GetBits(5);
    m_nQuantiserScale = m_bMpeg2 ? (m_nQScaleType ? kNonLinearQuant[qcode] : qcode * 2) : qcode;
    if (GetBits(1))
    {
        // intra_slice and the reserved bits, or MPEG-1 extra information
        FlushBits(8);
        while (GetBits(1))
            FlushBits(8);
    }
    int inc = GetMacroblockAddressIncrement();
    if (m_bFault)
    {
        std::printf("start_of_slice(): MBAinc unsuccessful\n");
        return 0;
    }
    int nRows = m_nPictureStructure == MPEG_FRAME_PICTURE ? m_nMbHeight : m_nMbHeight / 2;
    if (nRow >= nRows)
        return 0; // a slice below the stores: the next one may still fit
    int nAddress = nRow * m_nMbWidth + inc - 1;
    if (nAddress >= nLimit)
        return 0;

    int dcReset = 1 << (7 + m_nIntraDcPrecision);
    m_dcPred[0] = m_dcPred[1] = m_dcPred[2] = dcReset;
    std::memset(m_pmv, 0, sizeof(m_pmv));
    inc = 1;
    for (;;)
    {
        if (nAddress >= nLimit)
            return -1;
        if (inc == 0)
        {
            if (ShowBits(23) == 0 || m_bFault)
                return 0;
            inc = GetMacroblockAddressIncrement();
            if (m_bFault)
                return 0;
            if (nAddress + inc - 1 >= nLimit)
                return 0;
        }
        if (inc == 1)
        {
            int r = DecodeMacroblock();
            if (r < 0)
                return -1;
            if (r == 0)
                return 0;
            Reconstruct(nAddress);
        }
        else
        {
            SkipMacroblock(nAddress);
        }
        nAddress++;
        inc--;
    }
}

void CMpegVideoCore::SkipMacroblock(int nAddress)
{
    m_dcPred[0] = m_dcPred[1] = m_dcPred[2] = 1 << (7 + m_nIntraDcPrecision);
    m_nCodedBlocks = 0;
    if (m_nPictureCodingType == MPEG_PICTURE_P)
    {
        std::memset(m_pmv, 0, sizeof(m_pmv));
        std::memset(m_mv, 0, sizeof(m_mv));
        m_nMbType = MB_FORWARD;
        if (m_nPictureStructure == MPEG_FRAME_PICTURE)
        {
            m_nMotionType = MC_FRAME;
            m_bMvField = 0;
        }
        else
        {
            m_nMotionType = MC_FIELD;
            m_bMvField = 1;
            m_fieldSelect[0][0] = m_nPictureStructure == MPEG_BOTTOM_FIELD;
        }
        m_bDmv = 0;
    }
    else if (m_nMbType & MB_INTRA)
    {
        // Not allowed after an intra macroblock; predicting from the forward
        // reference without motion keeps the picture whole.
        m_nMbType = MB_FORWARD;
        std::memset(m_mv, 0, sizeof(m_mv));
    }
    m_nMbType &= MB_FORWARD | MB_BACKWARD;
    Reconstruct(nAddress);
}

// 1 decoded, 0 the slice ends, -1 the picture ends.
int CMpegVideoCore::DecodeMacroblock()
{
    const MpegVlc* table;
    switch (m_nPictureCodingType)
    {
    case MPEG_PICTURE_I: table = g_mpegVlc.mbTypeI; break;
    case MPEG_PICTURE_P: table = g_mpegVlc.mbTypeP; break;
    case MPEG_PICTURE_B: table = g_mpegVlc.mbTypeB; break;
    default: table = g_mpegVlc.mbTypeI; break; // D pictures: "1" is intra
    }
    const MpegVlc& t = table[ShowBits(6)];
    if (t.length == 0 || (m_nPictureCodingType == MPEG_PICTURE_D && t.value != MB_INTRA))
    {
        m_bFault = true;
        return 0;
    }
    FlushBits(t.length);
    m_nMbType = t.value;
    bool bIntra = m_nMbType & MB_INTRA;

    bool bFrame = m_nPictureStructure == MPEG_FRAME_PICTURE;
    if (m_nMbType & (MB_FORWARD | MB_BACKWARD))
    {
        if (bFrame && (m_bFramePredFrameDct || !m_bMpeg2))
            m_nMotionType = MC_FRAME;
        else
            m_nMotionType = GetBits(2);
    }
    else if (bIntra && m_bConcealmentMotionVectors)
    {
        m_nMotionType = bFrame ? MC_FRAME : MC_FIELD;
    }
    if (bFrame)
    {
        m_nMvCount = m_nMotionType == MC_FIELD ? 2 : 1;
        m_bMvField = m_nMotionType != MC_FRAME;
    }
    else
    {
        m_nMvCount = m_nMotionType == MC_16X8 ? 2 : 1;
        m_bMvField = 1;
    }
    m_bDmv = m_nMotionType == MC_DMV;
    if (m_nMotionType == 0 && (m_nMbType & (MB_FORWARD | MB_BACKWARD)))
    {
        std::printf("invalid motion_type\n");
        m_nMbType &= ~(MB_FORWARD | MB_BACKWARD);
        m_nMvCount = 0;
    }

    m_bDctType = 0;
    if (bFrame && !m_bFramePredFrameDct && m_bMpeg2 && (m_nMbType & (MB_INTRA | MB_PATTERN)))
        m_bDctType = GetBits(1);

    if (m_nMbType & MB_QUANT)
    {
        int qcode = GetBits(5);
        m_nQuantiserScale = m_bMpeg2 ? (m_nQScaleType ? kNonLinearQuant[qcode] : qcode * 2) : qcode;
    }

    if ((m_nMbType & MB_FORWARD) || (bIntra && m_bConcealmentMotionVectors))
        ReadMotionVectors(0);
    if (m_nMbType & MB_BACKWARD)
        ReadMotionVectors(1);
    if (bIntra && m_bConcealmentMotionVectors)
        FlushBits(1);
    if (m_bFault)
        return 0;

    int cbp;
    if (bIntra)
    {
        cbp = 0x3F;
    }
    else if (m_nMbType & MB_PATTERN)
    {
        const MpegVlc& e = g_mpegVlc.codedBlockPattern[ShowBits(9)];
        if (e.length == 0)
        {
            m_bFault = true;
            return 0;
        }
        FlushBits(e.length);
        cbp = e.value;
    }
    else
    {
        cbp = 0;
    }

    if (bIntra)
    {
        if (!m_bConcealmentMotionVectors)
            std::memset(m_pmv, 0, sizeof(m_pmv));
    }
    else
    {
        m_dcPred[0] = m_dcPred[1] = m_dcPred[2] = 1 << (7 + m_nIntraDcPrecision);
        if (m_nPictureCodingType == MPEG_PICTURE_P && !(m_nMbType & MB_FORWARD))
        {
            // No motion in a P picture: zero vectors, frame or same-parity field.
            std::memset(m_pmv, 0, sizeof(m_pmv));
            std::memset(m_mv, 0, sizeof(m_mv));
            m_nMbType |= MB_FORWARD;
            m_nMotionType = bFrame ? MC_FRAME : MC_FIELD;
            m_bMvField = !bFrame;
            m_bDmv = 0;
            m_fieldSelect[0][0] = m_nPictureStructure == MPEG_BOTTOM_FIELD;
        }
    }

    m_nCodedBlocks = cbp;
    for (int b = 0; b < 6; b++)
    {
        if (!(cbp & (32 >> b)))
            continue;
        std::memset(m_block[b], 0, sizeof(m_block[b]));
        if (bIntra)
            DecodeIntraBlock(b);
        else
            DecodeNonIntraBlock(b);
        if (m_bFault)
            return 0;
    }
    if (m_nPictureCodingType == MPEG_PICTURE_D)
        FlushBits(1); // end_of_macroblock
    return 1;
}

void CMpegVideoCore::ReadMotionVectors(int s)
{
    if (m_nMvCount == 1)
    {
        if (m_bMvField && !m_bDmv)
            m_fieldSelect[0][s] = GetBits(1);
        ReadMotionVector(0, s);
        // One vector serves both predictors.
        m_pmv[1][s][0] = m_pmv[0][s][0];
        m_pmv[1][s][1] = m_pmv[0][s][1];
    }
    else
    {
        m_fieldSelect[0][s] = GetBits(1);
        ReadMotionVector(0, s);
        m_fieldSelect[1][s] = GetBits(1);
        ReadMotionVector(1, s);
    }
}

void CMpegVideoCore::ReadMotionVector(int r, int s)
{
    for (int t = 0; t < 2; t++)
    {
        const MpegVlc& e = g_mpegVlc.motionCode[ShowBits(11)];
        if (e.length == 0)
        {
            m_bFault = true;
            return;
        }
        FlushBits(e.length);
        int code = e.value;
        int fCode = m_fCode[s][t];
        if (fCode < 1 || fCode > 9)
        {
            m_bFault = true;
            return;
        }
        int rSize = fCode - 1;
        int delta = code;
        if (rSize > 0 && code != 0)
        {
            int residual = GetBits(rSize);
            delta = ((std::abs(code) - 1) << rSize) + residual + 1;
            if (code < 0)
                delta = -delta;
        }
        if (m_bDmv)
        {
            const MpegVlc& d = g_mpegVlc.dmvector[ShowBits(2)];
            FlushBits(d.length);
            m_dmvector[t] = d.value;
        }
        // Field vectors of a frame picture are predicted from frame-unit predictors.
        bool bHalve = t == 1 && m_bMvField && m_nPictureStructure == MPEG_FRAME_PICTURE;
        int pred = bHalve ? m_pmv[r][s][t] >> 1 : m_pmv[r][s][t];
        int f = 1 << rSize;
        int v = pred + delta;
        if (v < -16 * f)
            v += 32 * f;
        else if (v > 16 * f - 1)
            v -= 32 * f;
        m_pmv[r][s][t] = bHalve ? v * 2 : v;
        m_mv[r][s][t] = v;
    }
    if (!m_bMpeg2 && (s == 0 ? m_bFullPelForward : m_bFullPelBackward))
    {
        m_mv[r][s][0] *= 2;
        m_mv[r][s][1] *= 2;
    }
}

int CMpegVideoCore::GetDcDiff(int comp)
{
    int size;
    if (comp == 0)
    {
        const MpegVlc& e = g_mpegVlc.dcSizeLuma[ShowBits(9)];
        FlushBits(e.length);
        size = e.value;
    }
    else
    {
        const MpegVlc& e = g_mpegVlc.dcSizeChroma[ShowBits(10)];
        FlushBits(e.length);
        size = e.value;
    }
    if (size == 0)
        return 0;
    int v = GetBits(size);
    if (!(v & (1 << (size - 1))))
        v -= (1 << size) - 1;
    return v;
}

namespace
{
// A coefficient's magnitude from its level: intra blocks scale the level,
// others (2 x level + 1); MPEG-1 makes every non-zero result odd.
template <bool bIntra, bool bMpeg2>
inline int Dequantise(int level, int weight)
{
    int v = bIntra ? (level * weight) >> (bMpeg2 ? 4 : 3) : ((2 * level + 1) * weight) >> (bMpeg2 ? 5 : 4);
    if (!bMpeg2 && v)
        v = (v - 1) | 1;
    return v;
}
}

// The run-level codes of one block to the end of block, from coefficient 1
// of an intra block or 0 of another. Each code with its sign or escape tail
// takes at most 28 bits, which the window always holds, so the window is
// refilled once per coefficient. The reader's state lives in locals here and
// goes back to the members wherever the loop leaves or refills across
// buffers.
template <bool bIntra, bool bMpeg2>
void CMpegVideoCore::ReadCoefficients(short* blk, const uint8_t* q, int table)
{
    const uint8_t* scan = m_pScan;
    const int qs = m_nQuantiserScale;
    const MpegDctVlc* shortCodes = g_mpegVlc.dctShort[table];
    const MpegDctVlc* longCodes = g_mpegVlc.dctLong[table];
    uint64_t window = m_nWindow;
    int count = m_nBitCount;
    const uint8_t* read = m_pRead;
    const uint8_t* end = m_pEnd;
    auto show = [&](int n) { return uint32_t(window >> (64 - n)); };
    auto skip = [&](int n)
    {
        window <<= n;
        count -= n;
    };
    auto save = [&]()
    {
        m_nWindow = window;
        m_nBitCount = count;
        m_pRead = read;
    };
    auto refill = [&]()
    {
        if (count >= 32)
            return;
        if (end - read >= 4)
        {
            RefillFour(window, count, read);
            return;
        }
        save();
        RefillAcrossBuffers();
        window = m_nWindow;
        count = m_nBitCount;
        read = m_pRead;
        end = m_pEnd;
    };

    int i = bIntra ? 1 : 0;
    if (!bIntra && (window >> 63))
    {
        // "1s" opens a non-intra block with (0, 1).
        bool bNeg = (window >> 62) & 1;
        skip(2);
        refill();
        int v = Dequantise<bIntra, bMpeg2>(1, q[0] * qs);
        blk[0] = short(Saturate(bNeg ? -v : v));
        i = 1;
    }
    for (;;)
    {
        uint32_t code = show(16);
        const MpegDctVlc& e = code >= 0x400 ? shortCodes[code >> 8] : longCodes[code];
        int run, level;
        bool bNeg;
        if (e.run < MPEG_DCT_EOB)
        {
            run = e.run;
            level = e.level;
            bNeg = (window << e.length) >> 63;
            skip(e.length + 1);
        }
        else if (e.run == MPEG_DCT_EOB)
        {
            skip(e.length);
            refill();
            save();
            return;
        }
        else if (e.run == MPEG_DCT_ESCAPE)
        {
            skip(e.length);
            run = show(6);
            skip(6);
            if (bMpeg2)
            {
                level = show(12);
                skip(12);
                if ((level & 0x7FF) == 0)
                    break;
                if (level >= 2048)
                    level -= 4096;
            }
            else
            {
                level = show(8);
                skip(8);
                if (level == 0)
                {
                    level = show(8);
                    skip(8);
                }
                else if (level == 128)
                {
                    level = int(show(8)) - 256;
                    skip(8);
                }
                else if (level > 128)
                {
                    level -= 256;
                }
            }
            bNeg = level < 0;
            level = std::abs(level);
        }
        else
        {
            break;
        }
        i += run;
        if (i > 63)
            break;
        int pos = scan[i];
        int v = Dequantise<bIntra, bMpeg2>(level, q[pos] * qs);
        blk[pos] = short(Saturate(bNeg ? -v : v));
        i++;
        refill();
    }
    // Bits that begin no code, a level of 0 or a run past the block.
    refill();
    save();
    m_bFault = true;
}

void CMpegVideoCore::DecodeIntraBlock(int b)
{
    short* blk = m_block[b];
    int comp = b < 4 ? 0 : b - 3;
    m_dcPred[comp] += GetDcDiff(comp);
    const uint8_t* q = comp ? m_chromaIntraQ : m_intraQ;
    // The transform works on samples centred on 0; the 128 comes back when
    // the block is stored.
    int dc = m_bMpeg2 ? m_dcPred[comp] * (1 << (3 - m_nIntraDcPrecision)) : m_dcPred[comp] * 8;
    blk[0] = short(Saturate(dc - 1024));
    if (m_nPictureCodingType == MPEG_PICTURE_D)
        return;
    int table = m_bMpeg2 && m_bIntraVlcFormat ? 1 : 0;
    if (m_bMpeg2)
        ReadCoefficients<true, true>(blk, q, table);
    else
        ReadCoefficients<true, false>(blk, q, table);
}

void CMpegVideoCore::DecodeNonIntraBlock(int b)
{
    const uint8_t* q = b < 4 ? m_nonIntraQ : m_chromaNonIntraQ;
    if (m_bMpeg2)
        ReadCoefficients<false, true>(m_block[b], q, 0);
    else
        ReadCoefficients<false, false>(m_block[b], q, 0);
}

void CMpegVideoCore::Reconstruct(int nAddress)
{
    int mbx = nAddress % m_nMbWidth;
    int mby = nAddress / m_nMbWidth;
    if (!(m_nMbType & MB_INTRA))
        FormPredictions(mbx, mby);
    for (int b = 0; b < 6; b++)
        if (m_nCodedBlocks & (32 >> b))
            m_pfnIdct(m_block[b]);
    AddBlocks(mbx, mby);
}
