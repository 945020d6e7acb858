// The decoding process of MPEG-1 and MPEG-2 video (ISO/IEC 11172-2 and
// 13818-2, main profile, 4:2:0): the bit reader over the elementary stream,
// the headers, and the picture data decoded into three frame stores. The
// owner supplies the data (ReadVideoData) and the frame stores' memory.
#pragma once

#include <cstddef>
#include <cstdint>

typedef void (*MpegIdctFn)(short* pBlock);

// The three planes of one frame store. Chroma planes are half size both ways.
struct MpegFrameStore
{
    uint8_t* pY;
    uint8_t* pCb;
    uint8_t* pCr;
};

// What the display order needs of a coded picture: its time and structure.
struct MpegPictureRecord
{
    uint64_t nPts; // 27 MHz, 0 = none
    uint64_t nScr;
    int nCodingType; // 1 I, 2 P, 3 B
    int bProgressiveFrame;
    int bRepeatFirstField;
    int nPictureStructure; // 1 top field, 2 bottom field, 3 frame
    int bTopFieldFirst;
};

// The largest pictures main profile at high level allows; bigger announced
// sizes are refused rather than allocated.
const int MPEG_MAX_WIDTH = 1920;
const int MPEG_MAX_HEIGHT = 1152;

enum
{
    MPEG_PICTURE_I = 1,
    MPEG_PICTURE_P = 2,
    MPEG_PICTURE_B = 3,
    MPEG_PICTURE_D = 4,
    MPEG_TOP_FIELD = 1,
    MPEG_BOTTOM_FIELD = 2,
    MPEG_FRAME_PICTURE = 3,
};

class CMpegVideoCore
{
public:
    CMpegVideoCore();
    virtual ~CMpegVideoCore() = default;
    CMpegVideoCore(const CMpegVideoCore&) = delete;
    CMpegVideoCore& operator=(const CMpegVideoCore&) = delete;

    // The next payload of the video stream; false at the end of the data.
    virtual bool ReadVideoData(const uint8_t** ppData, size_t* pnLength) = 0;

    // ---- bit reader ----------------------------------------------------------
    // The window holds the next bits left-aligned, at least 32 of them after
    // every call, so up to 32 bits can be shown or consumed at a time.
    uint32_t ShowBits(int n) const { return uint32_t(m_nWindow >> (64 - n)); }
    uint32_t GetBits(int n)
    {
        uint32_t v = ShowBits(n);
        FlushBits(n);
        return v;
    }
    void FlushBits(int n)
    {
        SkipBits(n);
        if (m_nBitCount < 32)
            Refill();
    }
    uint32_t GetBits32() { return GetBits(32); }
    void FlushBits32() { FlushBits(32); }
    // To the byte boundary, then byte by byte until the window starts with 00 00 01.
    void NextStartCode();
    // Restarts the reader at a byte of a buffer; the reader goes on with
    // ReadVideoData when that buffer is used up.
    void RestartBits(const uint8_t* pData, size_t nLength, size_t nOffset);
    // Bytes of the current buffer consumed (the window's whole unread bytes
    // count as not consumed); below 0 while the window still holds bytes of
    // the buffer before.
    ptrdiff_t GetBufferPosition() const { return (m_pRead - m_pBuffer) - m_nBitCount / 8; }
    bool IsEndOfData() const { return m_bEndOfData; }

    // ---- headers ------------------------------------------------------------
    // 1 after a picture header, 0 at a sequence_end_code.
    int GetHeader();
    // Derived sizes from the sequence header; false for streams the frame
    // stores cannot hold (beyond MP@HL, not 4:2:0). Call once per opening.
    bool AllocateFrameStores();
    // The memory of store i (0..2): coded width x coded height luma, half
    // both ways for each chroma plane, rows without gaps.
    void SetFrameStore(int i, const MpegFrameStore& store) { m_store[i] = store; }
    // Forgets the reference stores' roles, as at the start of a sequence.
    void ResetFrameStores();
    // The store of the newest I or P picture, -1 when there is none.
    int GetNewestReference() const { return m_nBackward; }
    // The store the last DecodePicture wrote, -1 before the first.
    int GetDecodedStore() const { return m_nCurrent; }

    // ---- picture data -------------------------------------------------------
    // Decodes the picture whose header GetHeader just read, both fields of a
    // field pair, into the store its type calls for. Returns the store of the
    // picture to display next in display order (-1 when there is none yet,
    // after the first reference picture).
    int DecodePicture();
    // Installs the 8x8 inverse transform used for every block.
    void SetIdct(MpegIdctFn pfn) { m_pfnIdct = pfn; }

    // ---- state read by the owner ------------------------------------------
    int GetCodedWidth() const { return m_nMbWidth * 16; }
    int GetCodedHeight() const { return m_nMbHeight * 16; }

    // Sequence
    int m_nHorizontalSize{}, m_nVerticalSize{};
    int m_nAspectRatioInformation{}, m_nFrameRateCode{};
    double m_dBitRate{};
    int m_nVbvBufferSize{}, m_bConstrainedParameters{};
    uint8_t m_intraQ[64]{}, m_nonIntraQ[64]{}, m_chromaIntraQ[64]{}, m_chromaNonIntraQ[64]{}; // natural order
    int m_nProfile{}, m_nLevel{}, m_bProgressiveSequence{}, m_nChromaFormat{}, m_bLowDelay{};
    int m_nFrameRateExtN{}, m_nFrameRateExtD{};
    int m_nVideoFormat{}, m_nColourPrimaries{}, m_nTransferCharacteristics{}, m_nMatrixCoefficients{};
    int m_nDisplayHorizontalSize{}, m_nDisplayVerticalSize{};
    bool m_bMpeg2{};
    // GOP
    int m_bDropFrame{}, m_nHour{}, m_nMinute{}, m_nSecond{}, m_nFrame{}, m_bClosedGop{}, m_bBrokenLink{};
    // Picture
    int m_nTemporalReference{}, m_nPictureCodingType{}, m_nVbvDelay{};
    int m_bFullPelForward{}, m_nForwardFCode{}, m_bFullPelBackward{}, m_nBackwardFCode{};
    int m_fCode[2][2]{};
    int m_nIntraDcPrecision{}, m_nPictureStructure{}, m_bTopFieldFirst{}, m_bFramePredFrameDct{};
    int m_bConcealmentMotionVectors{}, m_nQScaleType{}, m_bIntraVlcFormat{}, m_bAlternateScan{};
    int m_bRepeatFirstField{}, m_bChroma420Type{}, m_bProgressiveFrame{};
    // Derived
    int m_nMbWidth{}, m_nMbHeight{};

    // The current video packet's times, set by the data source, and those of
    // the packet before; a picture takes the times of the packet in which
    // its start code begins (and clears that PTS).
    uint64_t m_nPacketPts{}, m_nPacketScr{};
    uint64_t m_nPreviousPacketPts{}, m_nPreviousPacketScr{};
    MpegPictureRecord m_recLastDecoded{}, m_recLastReference{}, m_recPreviousReference{};

    // Where the last picture start code began: the buffer (counted by
    // ReadVideoData calls) and the byte offset in it (below 0 when it began
    // in the buffer before).
    uint64_t m_nBufferSerial{}, m_nPictureStartSerial{};
    ptrdiff_t m_nPictureStartOffset{};

    // Set by damaged data; ends the current slice.
    bool m_bFault = false;

protected:
    uint8_t NextByte()
    {
        if (m_pRead == m_pEnd)
            FillBuffer();
        return *m_pRead++;
    }

private:
    // Consumes bits the window holds without refilling it: the hot loops
    // consume a whole code and its tail at once, then refill once.
    void SkipBits(int n)
    {
        m_nWindow <<= n;
        m_nBitCount -= n;
    }
    void Refill()
    {
        // Four bytes at once while the buffer holds them; byte by byte across
        // the end of a buffer.
        if (m_pEnd - m_pRead >= 4)
            RefillFour(m_nWindow, m_nBitCount, m_pRead);
        else
            RefillAcrossBuffers();
    }
    // Below 32 bits in the window, four more bytes; on any copy of the reader's
    // state, which the coefficient loop keeps in registers.
    static void RefillFour(uint64_t& window, int& count, const uint8_t*& read)
    {
        uint32_t v = uint32_t(read[0]) << 24 | uint32_t(read[1]) << 16 | uint32_t(read[2]) << 8 | read[3];
        window |= uint64_t(v) << (32 - count);
        count += 32;
        read += 4;
    }
    void RefillAcrossBuffers();
    void FillBuffer();
    void ReadSequenceHeader();
    void ReadGopHeader();
    void ReadPictureHeader();
    void ReadExtensionsAndUserData();
    void ReadSequenceExtension();
    void ReadQuantMatrixExtension();
    void ReadPictureCodingExtension();
    void ReadPictureDisplayExtension();
    void LoadMatrix(uint8_t* q);

    // slices and macroblocks (MpegVideoSlice.cpp)
    void DecodePictureData();
    int DecodeSlice(int nLimit);
    int DecodeMacroblock();
    int GetMacroblockAddressIncrement();
    void ReadMotionVectors(int s);
    void ReadMotionVector(int r, int s);
    void DecodeIntraBlock(int b);
    void DecodeNonIntraBlock(int b);
    template <bool bIntra, bool bMpeg2>
    void ReadCoefficients(short* blk, const uint8_t* q, int table);
    int GetDcDiff(int comp);
    void SkipMacroblock(int nAddress);
    void Reconstruct(int nAddress);

    // prediction (MpegVideoMotion.cpp)
    void FormPredictions(int mbx, int mby);
    void Predict(const MpegFrameStore& ref, int nSrcField, int nDstField, int x, int y, int h, int mvx, int mvy,
                 bool bAverage);
    void AddBlocks(int mbx, int mby);

    // bit reader
    const uint8_t* m_pBuffer;
    const uint8_t* m_pRead;
    const uint8_t* m_pEnd;
    uint64_t m_nWindow;
    int m_nBitCount;
    bool m_bEndOfData;
    bool m_bHeaderPending; // GetHeader already holds the next picture header

    MpegFrameStore m_store[3];
    int m_nForward, m_nBackward, m_nCurrent; // store indices, -1 none
    bool m_bSecondField;
    int m_nFirstFieldStructure = 0; // while the header after a first field is read
    MpegIdctFn m_pfnIdct;

    // macroblock state
    alignas(16) short m_block[6][64];
    int m_nCodedBlocks; // bit 5 - b set for each coded block
    int m_nMbType, m_nMotionType, m_nMvCount, m_bMvField, m_bDmv, m_bDctType;
    int m_nQuantiserScale;
    int m_pmv[2][2][2]; // [r][s][t]
    int m_mv[2][2][2];
    int m_fieldSelect[2][2]; // [r][s]
    int m_dmvector[2];
    int m_dcPred[3];
    const uint8_t* m_pScan;
};
