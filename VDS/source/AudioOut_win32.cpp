#include "VDS/source/AudioOut.h"

#include <mmsystem.h>

namespace
{

// waveOut with an event callback: the device sets the event whenever it
// finishes a buffer.
class CWaveOutDevice : public CBufferedAudioDevice
{
public:
    CWaveOutDevice()
    {
        for (int i = 0; i < AUDIOOUT_BUFFERS; i++)
        {
            memset(&m_headers[i], 0, sizeof(WAVEHDR));
            m_headers[i].dwFlags = WHDR_DONE;
        }
    }
    ~CWaveOutDevice() override { Close(); }

protected:
    bool OpenDevice(const CAudioOutFormat& format) override
    {
        WAVEFORMATEX wf = {};
        wf.wFormatTag = WAVE_FORMAT_PCM;
        wf.nChannels = WORD(format.nChannels);
        wf.nSamplesPerSec = format.nRate;
        wf.wBitsPerSample = 16;
        wf.nBlockAlign = WORD(format.nChannels * 2);
        wf.nAvgBytesPerSec = wf.nBlockAlign * format.nRate;
        m_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!m_event)
            return false;
        if (waveOutOpen(&m_device, WAVE_MAPPER, &wf, DWORD_PTR(m_event), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR)
        {
            m_device = nullptr;
            CloseHandle(m_event);
            m_event = nullptr;
            return false;
        }
        for (int i = 0; i < AUDIOOUT_BUFFERS; i++)
        {
            WAVEHDR& h = m_headers[i];
            memset(&h, 0, sizeof(h));
            h.lpData = reinterpret_cast<LPSTR>(m_data[i]);
            h.dwBufferLength = AUDIOOUT_BUFFER_SIZE;
            if (waveOutPrepareHeader(m_device, &h, sizeof(h)) != MMSYSERR_NOERROR)
            {
                for (int j = 0; j < i; j++)
                    waveOutUnprepareHeader(m_device, &m_headers[j], sizeof(WAVEHDR));
                CloseSystemDevice();
                return false;
            }
            h.dwFlags |= WHDR_DONE;
        }
        return true;
    }

    void CloseDevice() override
    {
        waveOutReset(m_device);
        for (WAVEHDR& h : m_headers)
        {
            waveOutUnprepareHeader(m_device, &h, sizeof(h));
            h.dwFlags = WHDR_DONE;
        }
        CloseSystemDevice();
    }

    void ResetDevice() override { waveOutReset(m_device); }
    bool IsBufferFree(int i) override { return (m_headers[i].dwFlags & WHDR_DONE) != 0; }
    BYTE* BufferData(int i) override { return m_data[i]; }

    bool QueueBuffer(int i) override
    {
        return waveOutWrite(m_device, &m_headers[i], sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
    }

    bool WaitForBuffer(uint32_t timeoutMs) override { return WaitForSingleObject(m_event, timeoutMs) == WAIT_OBJECT_0; }

private:
    void CloseSystemDevice()
    {
        waveOutClose(m_device);
        m_device = nullptr;
        CloseHandle(m_event);
        m_event = nullptr;
    }

    HWAVEOUT m_device = nullptr;
    HANDLE m_event = nullptr;
    WAVEHDR m_headers[AUDIOOUT_BUFFERS];
    BYTE m_data[AUDIOOUT_BUFFERS][AUDIOOUT_BUFFER_SIZE];
};

} // namespace

CAudioDevice* PlatformAudioDevice()
{
    static CWaveOutDevice device;
    return &device;
}
