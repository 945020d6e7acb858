// The sound device of the preview engine: 20 buffers of 16 KB that the audio
// thread fills with 16-bit PCM and whose queued length sets the playback clock.
//
// The five plain functions drive the process-wide device. On Windows that is
// waveOut; natively it is a device that cannot be opened, so the player takes
// its no-device path. Tests install a capture device, which keeps what it is
// given and plays it by the wall clock, so latency and pacing behave as with
// real hardware.
#pragma once

#include "framework/core/AfxTypes.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// What the audio thread asks of the device.
struct CAudioOutFormat
{
    int32_t nChannels;
    uint32_t nRate;
    uint32_t nBlockSize; // bytes handed to one WriteWaveOut
};

const int AUDIOOUT_BUFFERS = 20;
const uint32_t AUDIOOUT_BUFFER_SIZE = 16384;
// How long WriteWaveOut waits for a buffer to come back before it declares the
// device dead. A device that plays hands one back every 85 ms at 48 kHz.
const uint32_t AUDIOOUT_STALL_MS = 2000;

class CAudioDevice
{
public:
    virtual ~CAudioDevice() = default;
    virtual BOOL Open(const CAudioOutFormat& format) = 0;
    virtual void Reset() = 0;
    virtual DWORD GetLatency(const CAudioOutFormat& format) = 0;
    virtual BOOL Write(const CAudioOutFormat& format, const BYTE* pBlock) = 0;
    virtual void Close() = 0;
};

// No sound hardware: opening fails, everything else does nothing.
class CNullAudioDevice : public CAudioDevice
{
public:
    BOOL Open(const CAudioOutFormat&) override { return FALSE; }
    void Reset() override {}
    DWORD GetLatency(const CAudioOutFormat&) override { return 0; }
    BOOL Write(const CAudioOutFormat&, const BYTE*) override { return FALSE; }
    void Close() override {}
};

// The buffer bookkeeping every device shares: which buffers are free, which
// were filled and wait to be queued, how much sound is queued, and the
// writing of a block through them. Subclasses give the system's side.
class CBufferedAudioDevice : public CAudioDevice
{
public:
    BOOL Open(const CAudioOutFormat& format) override;
    void Reset() override;
    DWORD GetLatency(const CAudioOutFormat& format) override;
    BOOL Write(const CAudioOutFormat& format, const BYTE* pBlock) override;
    void Close() override;

protected:
    virtual bool OpenDevice(const CAudioOutFormat& format) = 0;
    virtual void CloseDevice() = 0;
    virtual void ResetDevice() = 0;
    virtual bool IsBufferFree(int i) = 0;
    virtual BYTE* BufferData(int i) = 0;
    // Queues buffer i with its 16 KB; false when the system refused.
    virtual bool QueueBuffer(int i) = 0;
    // Waits until the device hands a buffer back; false after timeoutMs.
    virtual bool WaitForBuffer(uint32_t timeoutMs) = 0;

    bool m_bOpen = false;

private:
    bool m_marked[AUDIOOUT_BUFFERS] = {};
};

// Plays into memory at the wall clock's pace: a queued buffer is kept, and
// handed back once its duration has passed since the previous one ended (or
// since it was queued, when the device ran dry).
class CCaptureAudioDevice : public CBufferedAudioDevice
{
public:
    CCaptureAudioDevice();
    ~CCaptureAudioDevice() override;

    // A stalled device stops playing: queued buffers never come back.
    void SetStalled(bool bStalled);
    // Everything played so far, and the buffer indices in the order queued.
    std::vector<BYTE> GetCaptured();
    std::vector<int> GetQueueOrder();

protected:
    bool OpenDevice(const CAudioOutFormat& format) override;
    void CloseDevice() override;
    void ResetDevice() override;
    bool IsBufferFree(int i) override;
    BYTE* BufferData(int i) override;
    bool QueueBuffer(int i) override;
    bool WaitForBuffer(uint32_t timeoutMs) override;

private:
    void Play();

    std::mutex m_mutex;
    std::condition_variable m_wake;     // the playing thread: work or stop
    std::condition_variable m_returned; // the writer: a buffer came back
    bool m_bReturned = false;
    bool m_bQuit = false;
    bool m_bStalled = false;
    uint32_t m_nBytesPerSecond = 0;
    bool m_free[AUDIOOUT_BUFFERS];
    std::vector<BYTE> m_data;
    std::deque<int> m_queue;
    std::vector<int> m_order;
    std::vector<BYTE> m_captured;
    std::thread m_thread;
};

// The device the five functions drive (never null). SetAudioDevice installs
// another one and returns the previous; null restores the platform's own.
CAudioDevice* GetAudioDevice();
CAudioDevice* SetAudioDevice(CAudioDevice* pDevice);
// The platform's device: waveOut on Windows, the null device elsewhere.
CAudioDevice* PlatformAudioDevice();

// All return 1 on success.
BOOL OpenWaveOut(const CAudioOutFormat& format);
BOOL ResetWaveOut();
// Milliseconds of sound still queued.
DWORD GetWaveOutLatency(const CAudioOutFormat& format);
// Queues one block of format.nBlockSize bytes. A device that hands no buffer
// back within AUDIOOUT_STALL_MS counts as failed: it is closed and 0 returned,
// so the caller's clock runs by itself from then on.
BOOL WriteWaveOut(const CAudioOutFormat& format, const BYTE* pBlock);
BOOL CloseWaveOut();
