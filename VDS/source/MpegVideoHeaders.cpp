// Bit reader, headers and frame stores of the MPEG video decoding core.
#include "VDS/source/MpegVideoCore.h"
#include "VDS/source/MpegVideoTables.h"

#include <cstdio>
#include <cstring>

namespace
{
// What the reader reads once the data have ended: sequence_end_code over and
// over, so every search for a header stops there.
const uint8_t kSequenceEnd[16] = {0, 0, 1, 0xB7, 0, 0, 1, 0xB7, 0, 0, 1, 0xB7, 0, 0, 1, 0xB7};

const uint8_t kDefaultIntraQ[64] = {
    8,  16, 19, 22, 26, 27, 29, 34, 16, 16, 22, 24, 27, 29, 34, 37, 19, 22, 26, 27, 29, 34,
    34, 38, 22, 22, 26, 27, 29, 34, 37, 40, 22, 26, 27, 29, 32, 35, 40, 48, 26, 27, 29, 32,
    35, 40, 48, 58, 26, 27, 29, 34, 38, 46, 56, 69, 27, 29, 35, 38, 46, 56, 69, 83,
};
}

CMpegVideoCore::CMpegVideoCore()
{
    m_pBuffer = m_pRead = m_pEnd = kSequenceEnd;
    m_nWindow = 0;
    m_nBitCount = 0;
    m_bEndOfData = false;
    m_bHeaderPending = false;
    std::memset(m_store, 0, sizeof(m_store));
    m_nForward = m_nBackward = m_nCurrent = -1;
    m_bSecondField = false;
    m_pfnIdct = nullptr;
    m_nCodedBlocks = 0;
    m_nMbType = m_nMotionType = m_nMvCount = m_bMvField = m_bDmv = m_bDctType = 0;
    m_nQuantiserScale = 0;
    std::memset(m_pmv, 0, sizeof(m_pmv));
    std::memset(m_mv, 0, sizeof(m_mv));
    std::memset(m_fieldSelect, 0, sizeof(m_fieldSelect));
    std::memset(m_dmvector, 0, sizeof(m_dmvector));
    std::memset(m_dcPred, 0, sizeof(m_dcPred));
    std::memset(m_block, 0, sizeof(m_block));
    m_pScan = g_mpegZigzag;
    m_nPictureStructure = MPEG_FRAME_PICTURE;
    m_nChromaFormat = 1;
}

// ---- bit reader --------------------------------------------------------------

void CMpegVideoCore::FillBuffer()
{
    const uint8_t* pData = nullptr;
    size_t nLength = 0;
    m_nPreviousPacketPts = m_nPacketPts;
    m_nPreviousPacketScr = m_nPacketScr;
    while (!m_bEndOfData)
    {
        if (!ReadVideoData(&pData, &nLength))
        {
            m_bEndOfData = true;
            break;
        }
        if (nLength > 0)
        {
            m_nBufferSerial++;
            m_pBuffer = m_pRead = pData;
            m_pEnd = pData + nLength;
            return;
        }
    }
    m_pBuffer = m_pRead = kSequenceEnd;
    m_pEnd = kSequenceEnd + sizeof(kSequenceEnd);
}

void CMpegVideoCore::RefillAcrossBuffers()
{
    while (m_nBitCount <= 56)
    {
        m_nWindow |= uint64_t(NextByte()) << (56 - m_nBitCount);
        m_nBitCount += 8;
    }
}

void CMpegVideoCore::NextStartCode()
{
    FlushBits(m_nBitCount & 7);
    while (ShowBits(24) != 1)
        FlushBits(8);
}

void CMpegVideoCore::RestartBits(const uint8_t* pData, size_t nLength, size_t nOffset)
{
    if (nOffset < nLength)
    {
        m_pBuffer = pData;
        m_pRead = pData + nOffset;
        m_pEnd = pData + nLength;
    }
    else
    {
        m_pBuffer = m_pRead = m_pEnd = pData;
    }
    m_nBufferSerial++;
    m_nWindow = 0;
    m_nBitCount = 0;
    m_bHeaderPending = false;
    m_bEndOfData = false;
    m_nPacketPts = m_nPreviousPacketPts = 0;
    FlushBits(0);
}

// ---- headers -------------------------------------------------------------------

int CMpegVideoCore::GetHeader()
{
    if (m_bHeaderPending)
    {
        m_bHeaderPending = false;
        return 1;
    }
    for (;;)
    {
        NextStartCode();
        uint32_t code = GetBits32();
        switch (code)
        {
        case 0x100: ReadPictureHeader(); return 1;
        case 0x1B3: ReadSequenceHeader(); break;
        case 0x1B8: ReadGopHeader(); break;
        case 0x1B7: return 0;
        default: break;
        }
    }
}

void CMpegVideoCore::LoadMatrix(uint8_t* q)
{
    for (int i = 0; i < 64; i++)
        q[g_mpegZigzag[i]] = uint8_t(GetBits(8));
}

void CMpegVideoCore::ReadSequenceHeader()
{
    m_nHorizontalSize = GetBits(12);
    m_nVerticalSize = GetBits(12);
    m_nAspectRatioInformation = GetBits(4);
    m_nFrameRateCode = GetBits(4);
    m_dBitRate = GetBits(18) * 400.0;
    FlushBits(1); // marker
    m_nVbvBufferSize = GetBits(10);
    m_bConstrainedParameters = GetBits(1);
    if (GetBits(1))
        LoadMatrix(m_intraQ);
    else
        std::memcpy(m_intraQ, kDefaultIntraQ, 64);
    if (GetBits(1))
        LoadMatrix(m_nonIntraQ);
    else
        std::memset(m_nonIntraQ, 16, 64);
    std::memcpy(m_chromaIntraQ, m_intraQ, 64);
    std::memcpy(m_chromaNonIntraQ, m_nonIntraQ, 64);
    ReadExtensionsAndUserData();
}

void CMpegVideoCore::ReadGopHeader()
{
    m_bDropFrame = GetBits(1);
    m_nHour = GetBits(5);
    m_nMinute = GetBits(6);
    FlushBits(1);
    m_nSecond = GetBits(6);
    m_nFrame = GetBits(6);
    m_bClosedGop = GetBits(1);
    m_bBrokenLink = GetBits(1);
    ReadExtensionsAndUserData();
}

void CMpegVideoCore::ReadPictureHeader()
{
    // The picture owns the time stamp of the packet in which its start code
    // begins: the current one, or the one before when the code began there
    // (the window already reaches into the next packet).
    uint64_t nPts = 0, nScr = 0;
    m_nPictureStartSerial = m_nBufferSerial;
    m_nPictureStartOffset = GetBufferPosition() - 4;
    uint64_t& pts = m_nPictureStartOffset >= 0 ? m_nPacketPts : m_nPreviousPacketPts;
    nPts = pts;
    nScr = m_nPictureStartOffset >= 0 ? m_nPacketScr : m_nPreviousPacketScr;
    pts = 0;
    m_nTemporalReference = GetBits(10);
    m_nPictureCodingType = GetBits(3);
    m_nVbvDelay = GetBits(16);
    if (m_nPictureCodingType == MPEG_PICTURE_P || m_nPictureCodingType == MPEG_PICTURE_B)
    {
        m_bFullPelForward = GetBits(1);
        m_nForwardFCode = GetBits(3);
    }
    if (m_nPictureCodingType == MPEG_PICTURE_B)
    {
        m_bFullPelBackward = GetBits(1);
        m_nBackwardFCode = GetBits(3);
    }
    while (GetBits(1))
        FlushBits(8);
    if (!m_bMpeg2)
    {
        // MPEG-1 has one vector range per direction for both components.
        m_fCode[0][0] = m_fCode[0][1] = m_nForwardFCode;
        m_fCode[1][0] = m_fCode[1][1] = m_nBackwardFCode;
    }
    ReadExtensionsAndUserData();

    bool bFirst = m_nPictureStructure == MPEG_FRAME_PICTURE || m_nFirstFieldStructure == 0 ||
                  m_nPictureStructure == m_nFirstFieldStructure;
    // Field pictures code top_field_first as 0; their order is the order of
    // the fields, which the first field's structure gives.
    int bTopFirst =
        m_nPictureStructure == MPEG_FRAME_PICTURE ? m_bTopFieldFirst : m_nPictureStructure == MPEG_TOP_FIELD;
    MpegPictureRecord rec = {
        nPts, nScr, m_nPictureCodingType, m_bProgressiveFrame, m_bRepeatFirstField, m_nPictureStructure, bTopFirst};
    if (!bFirst)
        return;
    if (m_nPictureCodingType == MPEG_PICTURE_I || m_nPictureCodingType == MPEG_PICTURE_P)
    {
        m_recPreviousReference = m_recLastReference;
        m_recLastReference = rec;
        m_recLastDecoded = rec;
    }
    else if (m_nPictureCodingType == MPEG_PICTURE_B)
    {
        m_recLastDecoded = rec;
    }
}

void CMpegVideoCore::ReadExtensionsAndUserData()
{
    for (;;)
    {
        NextStartCode();
        uint32_t code = ShowBits(32);
        if (code == 0x1B2)
        {
            FlushBits32();
            continue; // user data run to the next start code
        }
        if (code != 0x1B5)
            return;
        FlushBits32();
        int id = GetBits(4);
        switch (id)
        {
        case 1: ReadSequenceExtension(); break;
        case 2:
            m_nVideoFormat = GetBits(3);
            if (GetBits(1))
            {
                m_nColourPrimaries = GetBits(8);
                m_nTransferCharacteristics = GetBits(8);
                m_nMatrixCoefficients = GetBits(8);
            }
            m_nDisplayHorizontalSize = GetBits(14);
            FlushBits(1);
            m_nDisplayVerticalSize = GetBits(14);
            break;
        case 3: ReadQuantMatrixExtension(); break;
        case 4:
        case 5:
        case 7:
        case 9:
        case 10:
            // Copyright, scalability and display offsets do not change what
            // the base layer decodes to; the next start code ends them.
            break;
        case 8: ReadPictureCodingExtension(); break;
        default: std::fprintf(stderr, "reserved extension start code ID %d\n", id); break;
        }
    }
}

void CMpegVideoCore::ReadSequenceExtension()
{
    int pl = GetBits(8);
    m_nProfile = (pl >> 4) & 7;
    m_nLevel = pl & 15;
    if ((pl & 0x80) && m_nLevel == 5)
    {
        m_nProfile = 133;
        m_nLevel = 8;
    }
    m_bProgressiveSequence = GetBits(1);
    m_nChromaFormat = GetBits(2);
    int hExt = GetBits(2);
    int vExt = GetBits(2);
    int brExt = GetBits(12);
    FlushBits(1);
    int vbvExt = GetBits(8);
    m_bLowDelay = GetBits(1);
    m_nFrameRateExtN = GetBits(2);
    m_nFrameRateExtD = GetBits(5);
    m_nHorizontalSize = (hExt << 12) | (m_nHorizontalSize & 0xFFF);
    m_nVerticalSize = (vExt << 12) | (m_nVerticalSize & 0xFFF);
    m_dBitRate += double(brExt) * (1 << 18) * 400.0;
    m_nVbvBufferSize |= vbvExt << 10;
    m_bMpeg2 = true;
}

void CMpegVideoCore::ReadQuantMatrixExtension()
{
    if (GetBits(1))
    {
        LoadMatrix(m_intraQ);
        std::memcpy(m_chromaIntraQ, m_intraQ, 64);
    }
    if (GetBits(1))
    {
        LoadMatrix(m_nonIntraQ);
        std::memcpy(m_chromaNonIntraQ, m_nonIntraQ, 64);
    }
    if (GetBits(1))
        LoadMatrix(m_chromaIntraQ);
    if (GetBits(1))
        LoadMatrix(m_chromaNonIntraQ);
}

void CMpegVideoCore::ReadPictureCodingExtension()
{
    m_fCode[0][0] = GetBits(4);
    m_fCode[0][1] = GetBits(4);
    m_fCode[1][0] = GetBits(4);
    m_fCode[1][1] = GetBits(4);
    m_nIntraDcPrecision = GetBits(2);
    m_nPictureStructure = GetBits(2);
    m_bTopFieldFirst = GetBits(1);
    m_bFramePredFrameDct = GetBits(1);
    m_bConcealmentMotionVectors = GetBits(1);
    m_nQScaleType = GetBits(1);
    m_bIntraVlcFormat = GetBits(1);
    m_bAlternateScan = GetBits(1);
    m_bRepeatFirstField = GetBits(1);
    m_bChroma420Type = GetBits(1);
    m_bProgressiveFrame = GetBits(1);
}

bool CMpegVideoCore::AllocateFrameStores()
{
    if (!m_bMpeg2)
    {
        m_bProgressiveSequence = 1;
        m_bProgressiveFrame = 1;
        m_nPictureStructure = MPEG_FRAME_PICTURE;
        m_bFramePredFrameDct = 1;
        m_nChromaFormat = 1;
        m_nMatrixCoefficients = 5;
    }
    if (m_nHorizontalSize < 1 || m_nVerticalSize < 1 || m_nHorizontalSize > MPEG_MAX_WIDTH ||
        m_nVerticalSize > MPEG_MAX_HEIGHT || m_nChromaFormat != 1)
        return false;
    m_nMbWidth = (m_nHorizontalSize + 15) / 16;
    m_nMbHeight =
        (m_bMpeg2 && !m_bProgressiveSequence) ? 2 * ((m_nVerticalSize + 31) / 32) : (m_nVerticalSize + 15) / 16;
    return m_nMbHeight * 16 <= MPEG_MAX_HEIGHT + 16;
}

void CMpegVideoCore::ResetFrameStores()
{
    m_nForward = m_nBackward = m_nCurrent = -1;
    m_bSecondField = false;
    m_bHeaderPending = false;
    std::memset(&m_recLastDecoded, 0, sizeof(m_recLastDecoded));
    std::memset(&m_recLastReference, 0, sizeof(m_recLastReference));
    std::memset(&m_recPreviousReference, 0, sizeof(m_recPreviousReference));
}
