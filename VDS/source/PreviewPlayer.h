// The preview player: plays the VOB data of one cell for the editor's preview
// window. A video thread decodes pictures and hands each to the client at its
// due time; an audio thread decodes the selected audio stream into the sound
// device and sets the playback clock from what it has queued. Events tell the
// client what happened; they arrive on the worker threads.
#pragma once

#include "Shared/platform/PlatformSync.h"
#include "Shared/source/WorkerThread.h"
#include "VDS/source/AudioOut.h"
#include "VDS/source/AudioPlayer.h"
#include "VDS/source/MpegVideoDecoder.h"
#include "VDS/source/PsDemuxer.h"

#include <atomic>
#include <cstdint>
#include <memory>

enum : int32_t
{
    kPlayerClosed = 1,
    kPlayerPicture = 2, // value: the CVideoPicture, valid during the call only
    kPlayerStopped = 3,
    kPlayerStarted = 4,
    kPlayerSubpictureSet = 5,
    kPlayerAudioSet = 6,
    kPlayerEndOfStream = 7,
};

struct CPlayerEvent
{
    int32_t code;
    uint64_t value;
    DWORD flag; // picture events: 1 when the picture is late
};

class CPlayerCallbackBase
{
public:
    virtual ~CPlayerCallbackBase() {}
    virtual int64_t Invoke(const CPlayerEvent* event) = 0;
};

template <class T>
class CPlayerCallback : public CPlayerCallbackBase
{
public:
    using Method = int64_t (T::*)(const CPlayerEvent*);
    CPlayerCallback(Method method, T* object) : m_method(method), m_object(object) {}
    int64_t Invoke(const CPlayerEvent* event) override { return (m_object->*m_method)(event); }

private:
    Method m_method;
    T* m_object;
};

// The time base of playback, in 0.1 ms: mode 0 runs on the monotonic
// counter from the last SetTime, mode 1 is whatever was last set.
class CPlaybackClock
{
public:
    explicit CPlaybackClock(int32_t mode);
    bool Init();
    void SetTime(int64_t time);
    int64_t GetTime();
    // Sleeps the shorter of the two durations (0.1 ms).
    void SleepUntilDue(uint64_t a, uint64_t b);
    int32_t GetMode() const { return m_nMode; }

private:
    int64_t CounterTime() const;

    int32_t m_nMode;
    uint64_t m_qwFrequency;
    int64_t m_nOffset;
    int64_t m_nManualTime;
    kx::RecursiveLock m_lock;
};

class CVideoThread : public CWorkerThread
{
public:
    enum : int32_t
    {
        kOnePicture = 0,
        kIdle = 1,
        kPlaying = 2
    };

    CVideoThread();
    ~CVideoThread() override;

    void SetClock(CPlaybackClock* clock, CPlayerCallbackBase* callback);
    bool Open(const MpegVideoInitAttributes& attributes, bool bFilm);
    bool Close();
    // Stops showing or playing; queued commands are dropped.
    void Pause();
    // Shows the first picture at or after a byte position and goes idle.
    void Seek(uint64_t position);
    // Plays from a pack position.
    void Play(uint64_t packPosition);
    // Where the data of the last decoded picture start.
    uint64_t GetPicturePosition();
    // The same for the last picture handed to the client; safe on any thread,
    // the client's callback included.
    uint64_t GetShownPosition() const { return m_qwShownPosition; }
    // The coded picture size of the open stream; 0 when closed.
    int GetPictureWidth() const { return m_nPictureWidth; }
    int GetPictureHeight() const { return m_nPictureHeight; }
    void SetSubpictureStream(BYTE streamId);
    int32_t GetState() const { return m_nState; }

    // The base's pause and resume commands mean "show one picture" here.
    uint64_t Resume() = delete;

protected:
    uint32_t Run() override;

private:
    void Send(int32_t code, uint64_t value = 0, DWORD flag = 0);
    void StopStep();
    void PlayNextPicture();

    CPlayerCallbackBase* m_pCallback;
    CMpegVideoDecoder m_decoder;
    CPlaybackClock* m_pClock;
    bool m_bFilm;
    std::atomic<int32_t> m_nState;
    std::atomic<bool> m_bOpen;
    std::atomic<uint64_t> m_qwShownPosition{0};
    std::atomic<int> m_nPictureWidth{0};
    std::atomic<int> m_nPictureHeight{0};
};

class CAudioThread : public CWorkerThread
{
public:
    enum : int32_t
    {
        kStopped = 0,
        kPlaying = 1,
        kMetering = 2
    };

    CAudioThread();
    ~CAudioThread() override;

    void SetCallback(CPlaybackClock* clock, CPlayerCallbackBase* callback);
    // The cell's audio through its own stream (not owned; null forgets it).
    // Only while stopped.
    bool Open(CByteStream* stream);
    void Seek(uint64_t position);
    // Starts playing when there is a sound device.
    uint64_t Resume() { return SendMessage(kResume, 0); }
    void Stop();
    // The low byte is the PES stream id, the high byte the sub-stream id.
    void SetStream(WORD selection);
    // Level metering from the start of the stream; Stop ends it.
    void StartMetering();
    int32_t GetState() const { return m_nState; }
    WORD GetPeakLevel() const { return m_nPeakLevel; }

    uint64_t Pause() = delete;

protected:
    uint32_t Run() override;

private:
    void Send(int32_t code);
    void Handle(const Message& message);
    void StopPlaying(bool bResetDevice);

    CPlaybackClock* m_pClock;
    std::atomic<WORD> m_nPeakLevel;
    std::atomic<int32_t> m_nState;
    CPlayerCallbackBase* m_pCallback;
    CAudioPlayer m_player;
    CAudioSettings m_settings;
    CByteStream* m_pStream;
    bool m_bDevice;
    uint64_t m_qwSamplesPlayed;
};

// The highest absolute level of (left + right) / 2 over the whole stereo
// frames of a block; 0 for fewer than 4 bytes.
WORD GetPeakLevel(const BYTE* samples, DWORD bytes);

class CPreviewPlayer
{
public:
    // Tests run the clock in mode 1 to drive pacing by hand.
    explicit CPreviewPlayer(int32_t clockMode = 0);
    ~CPreviewPlayer();
    CPreviewPlayer(const CPreviewPlayer&) = delete;
    CPreviewPlayer& operator=(const CPreviewPlayer&) = delete;

    // The stream and the callback must stay until Close; the callback is
    // called on the worker threads and must not call the player back.
    bool Open(CByteStream* stream, bool bFilm, const DWORD palette[16], CPlayerCallbackBase* callback);
    bool Close();
    void Seek(uint64_t position);
    void Play();
    void Pause();
    void SetAudioStream(WORD selection);
    // The sub-picture sub-stream id 0x20 + n.
    void SetSubpictureStream(BYTE streamId);
    // The last selections made; neither waits for the threads.
    WORD GetAudioStream() const { return m_wAudioStream; }
    BYTE GetSubpictureStream() const { return m_nSubpictureStream; }
    bool IsPlaying() const { return m_video.GetState() == CVideoThread::kPlaying; }
    // The stream position of the picture shown last.
    uint64_t GetPosition() const { return m_video.GetShownPosition(); }
    int GetPictureWidth() const { return m_video.GetPictureWidth(); }
    int GetPictureHeight() const { return m_video.GetPictureHeight(); }

    int64_t OnVideoEvent(const CPlayerEvent* event);
    int64_t OnAudioEvent(const CPlayerEvent* event);

    CPlaybackClock& GetClock() { return m_clock; }

    // The editor's player, made at start-up and ended at shut-down.
    static CPreviewPlayer* StartGlobal();
    static void StopGlobal();
    static CPreviewPlayer* GetGlobal();

private:
    bool IsOpen() const { return m_audioStream != nullptr; }
    uint64_t PlayPosition();

    // The filters outlive the threads that call them.
    std::unique_ptr<CPlayerCallback<CPreviewPlayer>> m_videoFilter;
    std::unique_ptr<CPlayerCallback<CPreviewPlayer>> m_audioFilter;
    CPlaybackClock m_clock;
    CVideoThread m_video;
    CAudioThread m_audio;
    std::unique_ptr<CByteStream> m_audioStream;
    // A third reader of the cell that finds pack headers for the two others.
    std::unique_ptr<CByteStream> m_packStream;
    CPsDemuxer m_packFinder;
    std::atomic<CPlayerCallbackBase*> m_pClient;
    std::atomic<WORD> m_wAudioStream{0};
    std::atomic<BYTE> m_nSubpictureStream{0x20};
};
