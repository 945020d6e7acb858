// The sound source of the preview player: reads the selected audio stream of
// a cell through its own demultiplexer, cuts it into whole frames, decodes
// them and lays the samples out on a timeline taken from the stream's clock
// references and time stamps. It heads the pull chain the audio thread reads
// 16-bit stereo PCM from.
#pragma once

#include "Shared/platform/PlatformSync.h"
#include "VDS/source/AudioChain.h"
#include "VDS/source/AudioFrameDecoders.h"
#include "VDS/source/PsDemuxer.h"
#include "framework/core/AfxTypes.h"

#include <cstdint>

struct CAudioFrame
{
    BYTE* pData; // owned copy of the frame's bytes
    int nSize;
    uint64_t qwPts; // 27 MHz, on the demultiplexer's continuous time line
    bool bHasPts;
    CAudioFrame* pNext;
    CAudioFrame* pPrev;
};

class CAudioFrameQueue
{
public:
    CAudioFrameQueue() = default;
    ~CAudioFrameQueue() { Clear(); }
    CAudioFrameQueue(const CAudioFrameQueue&) = delete;
    CAudioFrameQueue& operator=(const CAudioFrameQueue&) = delete;

    void Append(const BYTE* pData, int nSize, uint64_t qwPts, bool bHasPts);
    void Remove(CAudioFrame* pFrame);
    void Clear();
    CAudioFrame* GetHead() const { return m_pHead; }
    int GetCount() const { return m_nCount; }

private:
    CAudioFrame* m_pHead = nullptr;
    CAudioFrame* m_pTail = nullptr;
    int m_nCount = 0;
};

// What the audio thread hands to Start.
struct CAudioSettings
{
    DWORD dwCompressor; // low byte: the compressor's switch
    DWORD dwCompressorLevel;
    DWORD dwReserved[4];
    DWORD dwVolumeFlags; // second byte: the volume switch
    DWORD dwVolume;      // percent
    DWORD dwStream;      // low byte stream id, high byte sub-stream id
};

// Mode flags of Start.
const DWORD AUDIOPLAYER_CHAIN = 2;    // build the decoding chain
const DWORD AUDIOPLAYER_RESTATE = 4;  // hand the settings to the compressor on every Read
const DWORD AUDIOPLAYER_METERING = 8; // leave the volume alone

class CAudioPlayer : public CAudioSource
{
public:
    static const int FRAME_BUFFER = 65000;
    static const uint64_t TICKS_PER_SECOND = 27000000;

    CAudioPlayer();
    ~CAudioPlayer() override;
    CAudioPlayer(const CAudioPlayer&) = delete;
    CAudioPlayer& operator=(const CAudioPlayer&) = delete;

    // Reads pStream (not owned) from its start; with bProbe, looks at the
    // first frames for the stream's sampling rate. False without a stream,
    // or when probing met the end of the data.
    bool Open(CByteStream* pStream, bool bProbe);
    bool SelectStream(const WORD* pSelection);
    // True for AC-3 (0xBD with 0x80..0x87) and MPEG audio (0xC0..0xDF).
    bool SetStreamIds(WORD selection);
    bool Start(int nOutputRate, DWORD dwMode, const CAudioSettings* pSettings);
    int Stop();
    // Sets *ppSamples to nFrames stereo frames; false once the stream ended.
    bool Read(void* pUnused, BYTE** ppSamples, int nFrames);

    int Produce(BYTE* pDest) override;
    uint32_t GetMaxProduce() const override;

    int GetStreamRate() const { return m_nStreamRate; }
    int GetStreamType() const { return m_nStreamType; }
    bool HasHeader() const { return m_bHeader; }
    const CAudioFrameHeader& GetHeader() const { return m_header; }

private:
    bool IsSelected(const CPsPacketInfo& info) const;
    void ResetAssembly();
    bool ReadNextPacket();
    // Starts assembly over and makes the next packet current.
    void ResetParse();
    // Cuts the current packet's payload into frames of the selected stream.
    void CutFrames();
    bool FindSync(BYTE b);
    void AssembleFrame();
    void DecodeAt(CAudioFrame* pFrame, BYTE* pDest);
    // Places a frame at position pos of n, keeping what does not fit for the
    // next call; returns the position after it.
    int PlaceFrame(CAudioFrame* pFrame, BYTE* pDest, int pos, int n, int samplesPerFrame);
    void FreeChain();

    CPsDemuxer m_demux;
    int m_nStreamRate = 48000;
    int m_nStreamType = AUDIO_TYPE_AC3;
    BYTE m_subStreamId = 0;
    BYTE m_streamId = 0;
    CAc3Decoder* m_pAc3 = nullptr;
    CMpegAudioInput* m_pMpeg = nullptr;
    CCompressorStage* m_pCompressor;
    CAudioSettings m_settings = {};
    DWORD m_dwMode = 0;

    BYTE m_frame[FRAME_BUFFER];
    int m_nFrameBytes = 0;
    int m_nMissing = 0;
    int m_nFrameSize = 0;
    bool m_bInFrame = false;
    bool m_bInSync = false;
    uint64_t m_qwFramePts = 0;
    bool m_bFrameHasPts = false;
    int m_nSyncState = 0;
    BYTE m_syncBytes[5] = {};

    CPsPacketInfo m_packet = {};
    const BYTE* m_pPayload = nullptr;
    DWORD m_nPayloadPos = 0;
    bool m_bPacketPts = false; // the packet's stamp is not used up yet

    uint64_t m_qwSpanStart = 0;
    CAudioFrameQueue* m_pQueue = nullptr;
    bool m_bHeader = false;
    CAudioFrameHeader m_header = {};
    bool m_bEnd = false;

    bool m_bCarry = false;
    int m_nCarryBytes = 0;
    int m_nCarryOffset = 0;
    BYTE m_carry[AC3_FRAME_BYTES_OUT];

    uint64_t m_qwTotalSpan = 0;
    uint32_t m_nSamplesProduced = 0;

    CAudioBuffer* m_pSource = nullptr;
    CResampler* m_pResampler = nullptr;
    CAudioBuffer* m_pResampled = nullptr;
    CAudioBuffer* m_pOutput = nullptr;

    kx::RecursiveLock m_lock;
};
