#include "VDS/source/AudioPlayer.h"

#include <algorithm>
#include <cstring>

// ------------------------------------------------------------ frame queue ---

void CAudioFrameQueue::Append(const BYTE* pData, int nSize, uint64_t qwPts, bool bHasPts)
{
    CAudioFrame* f = new CAudioFrame;
    f->pData = new BYTE[size_t(nSize)];
    memcpy(f->pData, pData, size_t(nSize));
    f->nSize = nSize;
    f->qwPts = qwPts;
    f->bHasPts = bHasPts;
    f->pNext = nullptr;
    f->pPrev = m_pTail;
    if (m_pTail)
        m_pTail->pNext = f;
    else
        m_pHead = f;
    m_pTail = f;
    m_nCount++;
}

void CAudioFrameQueue::Remove(CAudioFrame* f)
{
    if (f->pPrev)
        f->pPrev->pNext = f->pNext;
    else
        m_pHead = f->pNext;
    if (f->pNext)
        f->pNext->pPrev = f->pPrev;
    else
        m_pTail = f->pPrev;
    delete[] f->pData;
    delete f;
    m_nCount--;
}

void CAudioFrameQueue::Clear()
{
    while (m_pHead)
        Remove(m_pHead);
}

// ---------------------------------------------------------------- player ---

CAudioPlayer::CAudioPlayer() : m_pCompressor(new CCompressorStage)
{
}

CAudioPlayer::~CAudioPlayer()
{
    Stop();
    delete m_pQueue;
    FreeChain();
    delete m_pCompressor;
}

bool CAudioPlayer::SetStreamIds(WORD selection)
{
    BYTE stream = BYTE(selection), sub = BYTE(selection >> 8);
    m_streamId = stream;
    m_subStreamId = sub;
    if (stream == kPsPrivateStream1 && sub >= 0x80 && sub <= 0x87)
        m_nStreamType = AUDIO_TYPE_AC3;
    else if (stream >= 0xC0 && stream <= 0xDF)
        m_nStreamType = AUDIO_TYPE_MPEG;
    else
        return false;
    return true;
}

bool CAudioPlayer::SelectStream(const WORD* pSelection)
{
    bool ok = SetStreamIds(*pSelection);
    if (m_pQueue)
        m_pQueue->Clear();
    ResetAssembly();
    m_bHeader = false;
    return ok;
}

bool CAudioPlayer::IsSelected(const CPsPacketInfo& info) const
{
    if (info.streamId != m_streamId)
        return false;
    return info.streamId != kPsPrivateStream1 || info.subStreamId == m_subStreamId;
}

void CAudioPlayer::ResetAssembly()
{
    m_bInFrame = false;
    m_bInSync = false;
    m_nSyncState = 0;
    m_nFrameSize = 0;
    m_nFrameBytes = 0;
    m_nMissing = 0;
    m_bFrameHasPts = false;
}

bool CAudioPlayer::ReadNextPacket()
{
    m_pPayload = nullptr;
    m_nPayloadPos = 0;
    if (!m_demux.ReadTimedPacket(&m_pPayload, &m_packet))
    {
        m_pPayload = nullptr;
        return false;
    }
    m_bPacketPts = m_packet.presentationTime != 0;
    return true;
}

void CAudioPlayer::ResetParse()
{
    ResetAssembly();
    if (ReadNextPacket())
        m_qwSpanStart = m_packet.clockReference;
}

bool CAudioPlayer::FindSync(BYTE b)
{
    const bool ac3 = m_nStreamType == AUDIO_TYPE_AC3;
    const BYTE first = ac3 ? 0x0B : 0xFF;
    switch (m_nSyncState)
    {
    case 0: break;
    case 1:
        if (ac3 ? b == 0x77 : (b & 0xF8) == 0xF8 && (b & 0x06) != 0)
        {
            m_syncBytes[m_nSyncState++] = b;
            return false;
        }
        break;
    case 2:
    case 3:
        if (ac3)
        {
            m_syncBytes[m_nSyncState++] = b;
            return false;
        }
        [[fallthrough]];
    default:
    {
        m_syncBytes[m_nSyncState] = b;
        int size = ac3 ? Ac3FrameBytes(b >> 6, b & 0x3F) : MpegFrameBytes(m_syncBytes);
        int headerBytes = m_nSyncState + 1;
        // The tables keep frames far below the buffer; a size beyond it is
        // refused all the same.
        if (size >= headerBytes && size <= FRAME_BUFFER)
        {
            memcpy(m_frame, m_syncBytes, size_t(headerBytes));
            m_nFrameBytes = headerBytes;
            m_nFrameSize = size;
            m_nMissing = size - headerBytes;
            m_nSyncState = 0;
            m_bInSync = true;
            return true;
        }
        break;
    }
    }
    // No frame here: the search starts again, this byte perhaps opening it.
    m_nSyncState = 0;
    m_bInSync = false;
    m_bFrameHasPts = false;
    if (b == first)
    {
        m_syncBytes[0] = b;
        m_nSyncState = 1;
        // The packet's stamp belongs to the first frame that begins in it.
        m_bFrameHasPts = m_bPacketPts;
        m_qwFramePts = m_packet.presentationTime;
        m_bPacketPts = false;
    }
    return false;
}

void CAudioPlayer::AssembleFrame()
{
    DWORD left = m_packet.payloadLength - m_nPayloadPos;
    DWORD n = std::min<DWORD>(left, DWORD(m_nMissing));
    memcpy(m_frame + m_nFrameBytes, m_pPayload + m_nPayloadPos, n);
    m_nFrameBytes += int(n);
    m_nMissing -= int(n);
    m_nPayloadPos += n;
    m_bInFrame = m_nMissing > 0;
    if (!m_bInFrame)
    {
        if (m_pQueue)
            m_pQueue->Append(m_frame, m_nFrameSize, m_qwFramePts, m_bFrameHasPts);
        m_bFrameHasPts = false;
    }
}

void CAudioPlayer::CutFrames()
{
    if (!m_pPayload || !IsSelected(m_packet))
        return;
    if (m_bInFrame)
        AssembleFrame();
    while (m_nPayloadPos < m_packet.payloadLength)
    {
        bool start = false;
        while (!start && m_nPayloadPos < m_packet.payloadLength)
            start = FindSync(m_pPayload[m_nPayloadPos++]);
        if (start)
            AssembleFrame();
    }
}

bool CAudioPlayer::Open(CByteStream* pStream, bool bProbe)
{
    Stop();
    if (!pStream || !m_demux.Attach(pStream))
        return false;
    delete m_pQueue;
    m_pQueue = nullptr;
    FreeChain();
    m_demux.Seek(0);
    ResetAssembly();
    m_pPayload = nullptr;
    m_nStreamRate = 48000;
    if (!bProbe)
        return true;

    m_pQueue = new CAudioFrameQueue;
    bool selected = false, ended = false;
    int agreeing = 0;
    while (m_demux.GetPosition() < 819200 && agreeing < 10)
    {
        if (!m_pQueue->GetHead())
        {
            if (!selected && m_pPayload && SetStreamIds(WORD(m_packet.streamId | (m_packet.subStreamId << 8))))
                selected = true;
            if (selected)
                CutFrames();
            if (!ReadNextPacket())
            {
                ended = true;
                break;
            }
        }
        while (CAudioFrame* f = m_pQueue->GetHead())
        {
            CAudioFrameHeader h = {};
            ParseFrameHeader(m_nStreamType, f->pData, &h);
            if (h.nRate == m_nStreamRate)
                agreeing++;
            else
            {
                agreeing = 0;
                if (h.nRate > 0)
                    m_nStreamRate = h.nRate;
            }
            m_pQueue->Remove(f);
        }
    }
    delete m_pQueue;
    m_pQueue = nullptr;
    // Playing starts from the beginning, whatever probing read.
    m_demux.Seek(0);
    ResetAssembly();
    m_pPayload = nullptr;
    return !ended;
}

bool CAudioPlayer::Start(int nOutputRate, DWORD dwMode, const CAudioSettings* pSettings)
{
    kx::ScopedLock hold(m_lock);
    if (!pSettings)
        return false;
    m_settings = *pSettings;
    m_dwMode = dwMode;
    if (!SetStreamIds(WORD(m_settings.dwStream)))
        return false;
    m_bEnd = false;
    m_bCarry = false;
    m_nCarryBytes = m_nCarryOffset = 0;
    m_qwTotalSpan = 0;
    m_nSamplesProduced = 0;
    m_demux.Reset();
    if (!(dwMode & AUDIOPLAYER_CHAIN))
        return true;

    FreeChain();
    ResetParse();
    m_pAc3 = new CAc3Decoder;
    m_pAc3->Init();
    m_pMpeg = new CMpegAudioInput;
    m_pMpeg->Init();
    delete m_pQueue;
    m_pQueue = new CAudioFrameQueue;
    m_pSource = new CAudioBuffer;
    m_pSource->Init(this, 256000, 1);
    CAudioBuffer* compressorInput = m_pSource;
    if (nOutputRate != m_nStreamRate)
    {
        m_pResampler = new CResampler(double(nOutputRate) / m_nStreamRate, 2, m_pSource);
        m_pResampler->Init();
        m_pResampled = new CAudioBuffer;
        m_pResampled->Init(m_pResampler, 4096, 10);
        compressorInput = m_pResampled;
    }
    m_pCompressor->SetSource(compressorInput);
    m_pCompressor->SetSwitch((m_settings.dwCompressor & 0xFF) != 0);
    if (m_settings.dwCompressor & 0xFF)
        m_pCompressor->SetLevel(int(m_settings.dwCompressorLevel));
    m_pOutput = new CAudioBuffer;
    m_pOutput->Init(m_pCompressor, CCompressorStage::BLOCK, 20);
    return true;
}

void CAudioPlayer::FreeChain()
{
    delete m_pOutput;
    delete m_pResampled;
    if (m_pResampler)
        m_pResampler->Free();
    delete m_pResampler;
    delete m_pSource;
    delete m_pAc3;
    delete m_pMpeg;
    m_pOutput = m_pResampled = m_pSource = nullptr;
    m_pResampler = nullptr;
    m_pAc3 = nullptr;
    m_pMpeg = nullptr;
}

int CAudioPlayer::Stop()
{
    kx::ScopedLock hold(m_lock);
    if (m_dwMode & AUDIOPLAYER_CHAIN)
        FreeChain();
    delete m_pQueue;
    m_pQueue = nullptr;
    return 1;
}

bool CAudioPlayer::Read(void*, BYTE** ppSamples, int nFrames)
{
    kx::ScopedLock hold(m_lock);
    if (!m_pOutput)
        return false;
    if (m_dwMode & AUDIOPLAYER_RESTATE)
    {
        m_pCompressor->SetSwitch((m_settings.dwCompressor & 0xFF) != 0);
        m_pCompressor->SetLevel(int(m_settings.dwCompressorLevel));
    }
    m_pOutput->Read(ppSamples, uint32_t(nFrames) * 4);
    if (((m_settings.dwVolumeFlags >> 8) & 0xFF) && !(m_dwMode & AUDIOPLAYER_METERING))
    {
        int16_t* s = reinterpret_cast<int16_t*>(*ppSamples);
        const double factor = m_settings.dwVolume * 0.01;
        for (int i = 0; i < nFrames * 2; i++)
            s[i] = int16_t(std::clamp(int(s[i] * factor), -32768, 32767));
    }
    return !m_bEnd;
}

uint32_t CAudioPlayer::GetMaxProduce() const
{
    // A span is cut at 1.5 s; the rounding of the running total adds at most one frame.
    return (uint32_t(m_nStreamRate) * 3 / 2 + 1) * 4;
}

void CAudioPlayer::DecodeAt(CAudioFrame* f, BYTE* pDest)
{
    if (m_nStreamType == AUDIO_TYPE_AC3 && m_pAc3)
        m_pAc3->DecodeFrame(pDest, f->pData, f->nSize);
    else if (m_nStreamType == AUDIO_TYPE_MPEG && m_pMpeg)
        m_pMpeg->DecodeFrame(pDest, f->pData, f->nSize);
}

int CAudioPlayer::PlaceFrame(CAudioFrame* f, BYTE* pDest, int pos, int n, int samplesPerFrame)
{
    if (pos + samplesPerFrame <= n)
    {
        DecodeAt(f, pDest + size_t(pos) * 4);
        return pos + samplesPerFrame;
    }
    // Only what fits goes out now; the rest opens the next call.
    memset(m_carry, 0, sizeof(m_carry));
    DecodeAt(f, m_carry);
    const int fit = n - pos;
    memcpy(pDest + size_t(pos) * 4, m_carry, size_t(fit) * 4);
    m_bCarry = true;
    m_nCarryOffset = fit * 4;
    m_nCarryBytes = (samplesPerFrame - fit) * 4;
    return n;
}

static uint32_t TicksToSamples(uint64_t ticks, int rate)
{
    // Halves and less are dropped, more counts as a whole sample.
    const uint64_t x = ticks * uint64_t(rate);
    const uint64_t q = x / CAudioPlayer::TICKS_PER_SECOND, r = x % CAudioPlayer::TICKS_PER_SECOND;
    return uint32_t(q + (r > CAudioPlayer::TICKS_PER_SECOND / 2 ? 1 : 0));
}

int CAudioPlayer::Produce(BYTE* pDest)
{
    const uint64_t start = m_qwSpanStart;
    uint64_t end = start;
    bool ended = false;
    for (;;)
    {
        CutFrames();
        if (!ReadNextPacket())
        {
            ended = true;
            break;
        }
        end = m_packet.clockReference;
        m_qwSpanStart = end;
        if (end >= start && end - start >= TICKS_PER_SECOND)
            break;
    }
    m_bEnd = ended;
    uint64_t span = end > start ? end - start : 0;
    if (span > TICKS_PER_SECOND * 3 / 2)
    {
        m_bEnd = true;
        span = TICKS_PER_SECOND * 3 / 2;
    }
    m_qwTotalSpan += span;
    const uint32_t samples = TicksToSamples(m_qwTotalSpan, m_nStreamRate);
    const int n = int(samples - m_nSamplesProduced);
    m_nSamplesProduced = samples;
    memset(pDest, 0, size_t(n) * 4);
    const uint64_t spanEnd = start + span;

    const int spf = m_nStreamType == AUDIO_TYPE_AC3 ? AC3_FRAME_SAMPLES : MPEG_FRAME_SAMPLES;
    int pos = 0;
    if (m_bCarry)
    {
        const int bytes = std::min(m_nCarryBytes, n * 4);
        memcpy(pDest, m_carry + m_nCarryOffset, size_t(bytes));
        m_nCarryOffset += bytes;
        m_nCarryBytes -= bytes;
        m_bCarry = m_nCarryBytes > 0;
        pos = bytes / 4;
    }
    if (m_pQueue && m_pQueue->GetHead() && !m_bHeader)
    {
        ParseFrameHeader(m_nStreamType, m_pQueue->GetHead()->pData, &m_header);
        m_bHeader = true;
    }
    CAudioFrame* f = m_pQueue ? m_pQueue->GetHead() : nullptr;
    while (f && pos < n)
    {
        CAudioFrame* next = f->pNext;
        if (!f->bHasPts || pos + spf > n)
            pos = PlaceFrame(f, pDest, pos, n, spf);
        else if (f->qwPts > spanEnd)
        {
            f = next;
            continue;
        }
        else if (f->qwPts >= start)
        {
            int target = int(TicksToSamples(f->qwPts - start, m_nStreamRate));
            int place = target < pos + 250 ? pos : std::min(target, n);
            pos = PlaceFrame(f, pDest, place, n, spf);
        }
        else
        {
            const uint64_t outTime = uint64_t(pos) * TICKS_PER_SECOND / uint64_t(m_nStreamRate);
            if (outTime + (start - f->qwPts) < 1000)
                pos = PlaceFrame(f, pDest, pos, n, spf);
        }
        m_pQueue->Remove(f);
        f = next;
    }
    return n * 4;
}
