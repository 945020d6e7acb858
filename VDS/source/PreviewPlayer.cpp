#include "VDS/source/PreviewPlayer.h"

#include "Shared/platform/PlatformTime.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{

// Commands of the video thread beyond quit.
enum : uint32_t
{
    kVideoSeek = 2,
    kVideoFromStart = 3,
    kVideoPosition = 4,
    kVideoPlay = 5,
    kVideoPause = 6,
    kVideoSubpicture = 8,
};

// Commands of the audio thread beyond quit.
enum : uint32_t
{
    kAudioSeek = 2,
    kAudioResume = 3,
    kAudioStop = 4,
    kAudioMeter = 5,
    kAudioSelect = 6,
};

const uint32_t kAudioRate = 48000;
const int kAudioBlockFrames = 8192;
const CAudioOutFormat kAudioFormat = {2, kAudioRate, kAudioBlockFrames * 4};

std::unique_ptr<CPreviewPlayer> g_player;

} // namespace

// ---------------------------------------------------------------------------

CPlaybackClock::CPlaybackClock(int32_t mode) : m_nMode(mode), m_qwFrequency(0), m_nOffset(0), m_nManualTime(0)
{
}

bool CPlaybackClock::Init()
{
    if (m_nMode != 0)
        return true;
    kx::ScopedLock hold(m_lock);
    m_qwFrequency = kx::MonotonicFrequency();
    return m_qwFrequency != 0;
}

int64_t CPlaybackClock::CounterTime() const
{
    if (m_qwFrequency == 0)
        return 0;
    // Split so that the product never overflows, however long the machine
    // has been up.
    const uint64_t ticks = kx::MonotonicTicks();
    return int64_t(ticks / m_qwFrequency * 10000 + ticks % m_qwFrequency * 10000 / m_qwFrequency);
}

void CPlaybackClock::SetTime(int64_t time)
{
    kx::ScopedLock hold(m_lock);
    if (m_nMode == 0)
        m_nOffset = CounterTime() - time;
    else
        m_nManualTime = time;
}

int64_t CPlaybackClock::GetTime()
{
    kx::ScopedLock hold(m_lock);
    return m_nMode == 0 ? CounterTime() - m_nOffset : m_nManualTime;
}

void CPlaybackClock::SleepUntilDue(uint64_t a, uint64_t b)
{
    kx::SleepMilliseconds(uint32_t(std::min(a, b) / 10));
}

// ---------------------------------------------------------------------------

CVideoThread::CVideoThread() : m_pCallback(nullptr), m_pClock(nullptr), m_bFilm(false), m_nState(kIdle), m_bOpen(false)
{
    Start();
}

CVideoThread::~CVideoThread()
{
    CWorkerThread::Stop();
}

void CVideoThread::SetClock(CPlaybackClock* clock, CPlayerCallbackBase* callback)
{
    m_pClock = clock;
    m_pCallback = callback;
}

bool CVideoThread::Open(const MpegVideoInitAttributes& attributes, bool bFilm)
{
    if (!m_pClock)
        return false;
    Close();
    if (!m_decoder.Init(attributes))
        return false;
    m_decoder.Start(m_bFilm, true, 0);
    m_decoder.Stop();
    m_bFilm = bFilm;
    m_nPictureWidth = m_decoder.GetCodedWidth();
    m_nPictureHeight = m_decoder.GetCodedHeight();
    m_qwShownPosition = 0;
    m_bOpen = true;
    return true;
}

bool CVideoThread::Close()
{
    Pause();
    // The stream is the client's and may go once closed.
    m_bOpen = false;
    m_nPictureWidth = 0;
    m_nPictureHeight = 0;
    m_decoder.Reset();
    Send(kPlayerClosed);
    return true;
}

void CVideoThread::Pause()
{
    ClearMessages();
    SendMessage(kVideoPause, 0);
}

void CVideoThread::Seek(uint64_t position)
{
    SendMessage(kVideoSeek, position);
}

void CVideoThread::Play(uint64_t packPosition)
{
    PostMessage(kVideoPlay, packPosition);
}

uint64_t CVideoThread::GetPicturePosition()
{
    return SendMessage(kVideoPosition, 0);
}

void CVideoThread::SetSubpictureStream(BYTE streamId)
{
    PostMessage(kVideoSubpicture, streamId);
}

void CVideoThread::Send(int32_t code, uint64_t value, DWORD flag)
{
    if (!m_pCallback)
        return;
    CPlayerEvent event = {code, value, flag};
    m_pCallback->Invoke(&event);
}

void CVideoThread::StopStep()
{
    if (m_nState == kIdle)
        return;
    m_decoder.Stop();
    m_nState = kIdle;
    Send(kPlayerStopped);
}

uint32_t CVideoThread::Run()
{
    for (;;)
    {
        Message message;
        if (GetMessage(message))
        {
            if (message.command == kQuit)
            {
                StopStep();
                Reply(message, 0);
                return 0;
            }
            if (!m_bOpen)
            {
                Reply(message, 0);
                continue;
            }
            uint64_t position = 0;
            switch (message.command)
            {
            case kVideoPosition: Reply(message, m_decoder.GetPicturePosition()); continue;
            case kVideoSubpicture:
                m_decoder.SetSubpictureStream(int(message.parameter & 0xFF));
                Send(kPlayerSubpictureSet);
                continue;
            case kVideoSeek:
            case kVideoFromStart:
            case kVideoPlay:
            case kVideoPause:
                StopStep();
                if (message.command == kVideoSeek || message.command == kVideoPlay)
                    position = message.parameter;
                if (message.command == kVideoPlay)
                {
                    m_nState = kPlaying;
                    Send(kPlayerStarted);
                }
                else if (message.command != kVideoPause)
                {
                    m_nState = kOnePicture;
                }
                Reply(message, 0);
                if (m_nState != kIdle)
                    m_decoder.Start(m_bFilm, true, position);
                break;
            default: Reply(message, 0); continue;
            }
        }
        else if (m_nState == kIdle)
        {
            WaitForMessage();
            continue;
        }

        if (m_nState == kOnePicture)
        {
            CVideoPicture* picture = nullptr;
            if (!m_decoder.GetNextPicture(&picture) || !picture)
                Send(kPlayerEndOfStream);
            else
            {
                m_qwShownPosition = m_decoder.GetPicturePosition();
                Send(kPlayerPicture, uint64_t(uintptr_t(picture)), 0);
                picture->Release();
            }
            m_decoder.Stop();
            m_nState = kIdle;
        }
        else if (m_nState == kPlaying)
            PlayNextPicture();
    }
}

void CVideoThread::PlayNextPicture()
{
    CVideoPicture* picture = nullptr;
    if (!m_decoder.GetNextPicture(&picture) || !picture)
    {
        Send(kPlayerEndOfStream);
        ClearMessages();
        PostMessage(kVideoPause, 0);
        return;
    }
    const int64_t due = int64_t(picture->GetTimeStamp() / 2700);
    const int64_t now = m_pClock->GetTime();
    const uint64_t period = picture->GetFramePeriod();
    DWORD late = 0;
    if (due == 0)
        m_pClock->SleepUntilDue(period, period);
    else if (due >= now)
        m_pClock->SleepUntilDue(uint64_t(due - now), 4 * period);
    else if (uint64_t(now - due) >= 3 * period)
        late = 1;
    m_qwShownPosition = m_decoder.GetPicturePosition();
    Send(kPlayerPicture, uint64_t(uintptr_t(picture)), late);
    picture->Release();
}

// ---------------------------------------------------------------------------

WORD GetPeakLevel(const BYTE* samples, DWORD bytes)
{
    WORD peak = 0;
    for (DWORD i = 0; i + 4 <= bytes; i += 4)
    {
        int16_t left, right;
        std::memcpy(&left, samples + i, 2);
        std::memcpy(&right, samples + i + 2, 2);
        const WORD level = WORD(std::abs((left + right) / 2));
        peak = std::max(peak, level);
    }
    return peak;
}

CAudioThread::CAudioThread()
    : m_pClock(nullptr), m_nPeakLevel(0), m_nState(kStopped), m_pCallback(nullptr), m_settings(), m_pStream(nullptr),
      m_bDevice(false), m_qwSamplesPlayed(0)
{
    Start();
}

CAudioThread::~CAudioThread()
{
    CWorkerThread::Stop();
}

void CAudioThread::SetCallback(CPlaybackClock* clock, CPlayerCallbackBase* callback)
{
    m_pClock = clock;
    m_pCallback = callback;
}

bool CAudioThread::Open(CByteStream* stream)
{
    m_pStream = stream;
    return stream && m_player.Open(stream, false);
}

void CAudioThread::Seek(uint64_t position)
{
    SendMessage(kAudioSeek, position);
}

void CAudioThread::Stop()
{
    ClearMessages();
    SendMessage(kAudioStop, 0);
}

void CAudioThread::SetStream(WORD selection)
{
    PostMessage(kAudioSelect, selection);
}

void CAudioThread::StartMetering()
{
    SendMessage(kAudioMeter, 0);
}

void CAudioThread::Send(int32_t code)
{
    if (!m_pCallback)
        return;
    CPlayerEvent event = {code, 0, 0};
    m_pCallback->Invoke(&event);
}

void CAudioThread::StopPlaying(bool bResetDevice)
{
    if (m_nState != kStopped)
    {
        m_player.Stop();
        Send(kPlayerStopped);
    }
    if (bResetDevice && m_bDevice)
        ResetWaveOut();
    m_nState = kStopped;
}

void CAudioThread::Handle(const Message& message)
{
    switch (message.command)
    {
    case kQuit: StopPlaying(false); break;
    case kAudioSeek:
        if (m_nState != kStopped)
        {
            m_player.Stop();
            Send(kPlayerStopped);
        }
        if (m_pStream)
            m_pStream->Seek(message.parameter);
        m_nState = kStopped;
        break;
    case kAudioResume:
        if (!m_bDevice || !m_pStream)
            break;
        if (m_nState != kStopped)
            m_player.Stop();
        m_nState = kStopped;
        m_qwSamplesPlayed = 0;
        if (m_player.Start(int(kAudioRate), AUDIOPLAYER_CHAIN, &m_settings))
        {
            Send(kPlayerStarted);
            m_nState = kPlaying;
        }
        break;
    case kAudioStop: StopPlaying(true); break;
    case kAudioMeter:
        if (!m_pStream)
            break;
        if (m_nState != kStopped)
            m_player.Stop();
        m_pStream->Seek(0);
        m_qwSamplesPlayed = 0;
        m_player.Start(int(kAudioRate), AUDIOPLAYER_CHAIN | AUDIOPLAYER_METERING, &m_settings);
        m_nState = kMetering;
        break;
    case kAudioSelect:
    {
        // The value itself travels with the command: nothing of the
        // sender's has to outlive it.
        const WORD selection = WORD(message.parameter);
        m_player.SelectStream(&selection);
        m_settings.dwStream = selection;
        Send(kPlayerAudioSet);
        break;
    }
    default: break;
    }
}

uint32_t CAudioThread::Run()
{
    m_bDevice = OpenWaveOut(kAudioFormat) == TRUE;
    SetPriority(kx::ThreadPriority::AboveNormal);
    m_nState = kStopped;
    for (;;)
    {
        Message message;
        if (GetMessage(message))
        {
            Handle(message);
            Reply(message, 0);
            if (message.command == kQuit)
            {
                if (m_bDevice)
                    CloseWaveOut();
                return 0;
            }
        }
        else if (m_nState == kStopped)
        {
            WaitForMessage();
            continue;
        }
        if (m_nState == kStopped)
            continue;

        BYTE* samples = nullptr;
        const bool more = m_player.Read(nullptr, &samples, kAudioBlockFrames);
        if (m_nState == kMetering)
        {
            m_qwSamplesPlayed += kAudioBlockFrames;
            if (more && samples)
                m_nPeakLevel = std::max<WORD>(m_nPeakLevel, ::GetPeakLevel(samples, kAudioFormat.nBlockSize));
            // A metered stream that ended has nothing more to measure.
            if (!more)
            {
                m_player.Stop();
                m_nState = kStopped;
            }
            continue;
        }
        if (!more)
        {
            m_player.Stop();
            Send(kPlayerStopped);
            if (m_bDevice)
                ResetWaveOut();
            m_nState = kStopped;
            continue;
        }
        m_qwSamplesPlayed += kAudioBlockFrames;
        if (!m_bDevice)
            continue;
        int64_t audioTime = int64_t(m_qwSamplesPlayed * 10000 / kAudioRate);
        audioTime -= 10 * int64_t(GetWaveOutLatency(kAudioFormat));
        m_pClock->SetTime(audioTime);
        // A device that stopped taking sound is closed by the write; the
        // clock runs by itself from then on.
        if (!WriteWaveOut(kAudioFormat, samples))
            m_bDevice = false;
    }
}

// ---------------------------------------------------------------------------

CPreviewPlayer::CPreviewPlayer(int32_t clockMode)
    : m_videoFilter(new CPlayerCallback<CPreviewPlayer>(&CPreviewPlayer::OnVideoEvent, this)),
      m_audioFilter(new CPlayerCallback<CPreviewPlayer>(&CPreviewPlayer::OnAudioEvent, this)), m_clock(clockMode),
      m_pClient(nullptr)
{
    m_clock.Init();
    m_video.SetClock(&m_clock, m_videoFilter.get());
    m_audio.SetCallback(&m_clock, m_audioFilter.get());
}

CPreviewPlayer::~CPreviewPlayer()
{
    Close();
}

bool CPreviewPlayer::Open(CByteStream* stream, bool bFilm, const DWORD palette[16], CPlayerCallbackBase* callback)
{
    if (!stream)
    {
        Close();
        return false;
    }
    if (IsOpen())
        Close();
    m_pClient = callback;
    m_audioStream.reset(stream->Clone(1));
    m_packStream.reset(stream->Clone(1));
    MpegVideoInitAttributes attributes;
    attributes.pStream = stream;
    attributes.nVideoStreamId = kPsFirstVideoStream;
    attributes.nSubpictureStream = 0x20;
    if (palette)
        std::memcpy(attributes.palette, palette, sizeof attributes.palette);
    if (m_audioStream && m_packStream && m_packFinder.Attach(m_packStream.get()))
    {
        m_audio.Open(m_audioStream.get());
        if (m_video.Open(attributes, bFilm))
            return true;
    }
    m_audio.Stop();
    m_audio.Open(nullptr);
    m_packFinder.Attach(nullptr);
    m_audioStream.reset();
    m_packStream.reset();
    m_pClient = nullptr;
    return false;
}

bool CPreviewPlayer::Close()
{
    m_audio.Stop();
    m_audio.Open(nullptr);
    const bool result = m_video.Close();
    m_packFinder.Attach(nullptr);
    m_audioStream.reset();
    m_packStream.reset();
    if (CPlayerCallbackBase* client = m_pClient.exchange(nullptr))
    {
        CPlayerEvent event = {kPlayerClosed, 0, 0};
        client->Invoke(&event);
    }
    return result;
}

void CPreviewPlayer::Seek(uint64_t position)
{
    m_audio.Stop();
    m_video.Seek(position);
}

uint64_t CPreviewPlayer::PlayPosition()
{
    return m_packFinder.SeekToPack(m_video.GetPicturePosition());
}

void CPreviewPlayer::Play()
{
    if (!IsOpen())
        return;
    m_audio.Stop();
    m_video.Pause();
    m_clock.SetTime(0);
    const uint64_t pack = PlayPosition();
    m_audio.Seek(pack);
    m_audio.Resume();
    m_video.Play(pack);
}

void CPreviewPlayer::Pause()
{
    m_audio.Stop();
    m_video.Pause();
}

void CPreviewPlayer::SetAudioStream(WORD selection)
{
    m_wAudioStream = selection;
    const bool videoPlaying = m_video.GetState() == CVideoThread::kPlaying;
    if (!IsOpen() || (m_audio.GetState() != CAudioThread::kPlaying && !videoPlaying))
    {
        m_audio.SetStream(selection);
        return;
    }
    m_audio.Stop();
    m_video.Pause();
    m_clock.SetTime(0);
    m_audio.SetStream(selection);
    const uint64_t pack = PlayPosition();
    if (videoPlaying)
        m_audio.Seek(pack);
    m_audio.Resume();
    m_video.Play(pack);
}

void CPreviewPlayer::SetSubpictureStream(BYTE streamId)
{
    m_nSubpictureStream = streamId;
    m_video.SetSubpictureStream(streamId);
}

int64_t CPreviewPlayer::OnVideoEvent(const CPlayerEvent* event)
{
    CPlayerCallbackBase* client = m_pClient;
    if (!client || event->code == kPlayerClosed ||
        (event->code == kPlayerStopped && m_audio.GetState() == CAudioThread::kPlaying))
        return -1;
    return client->Invoke(event);
}

int64_t CPreviewPlayer::OnAudioEvent(const CPlayerEvent* event)
{
    CPlayerCallbackBase* client = m_pClient;
    if (!client || event->code == kPlayerStarted ||
        (event->code == kPlayerStopped && m_video.GetState() == CVideoThread::kPlaying))
        return -1;
    return client->Invoke(event);
}

CPreviewPlayer* CPreviewPlayer::StartGlobal()
{
    if (!g_player)
        g_player.reset(new CPreviewPlayer());
    return g_player.get();
}

void CPreviewPlayer::StopGlobal()
{
    g_player.reset();
}

CPreviewPlayer* CPreviewPlayer::GetGlobal()
{
    return g_player.get();
}
