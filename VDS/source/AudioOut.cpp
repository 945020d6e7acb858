#include "VDS/source/AudioOut.h"

#include <chrono>
#include <cstring>

BOOL CBufferedAudioDevice::Open(const CAudioOutFormat& format)
{
    if (m_bOpen || format.nBlockSize == 0 || format.nBlockSize % AUDIOOUT_BUFFER_SIZE != 0)
        return FALSE;
    if (format.nChannels <= 0 || format.nRate == 0 || !OpenDevice(format))
        return FALSE;
    for (bool& m : m_marked)
        m = false;
    m_bOpen = true;
    return TRUE;
}

void CBufferedAudioDevice::Reset()
{
    if (m_bOpen)
        ResetDevice();
}

DWORD CBufferedAudioDevice::GetLatency(const CAudioOutFormat& format)
{
    if (!m_bOpen)
        return 0;
    uint64_t queued = 0;
    for (int i = 0; i < AUDIOOUT_BUFFERS; i++)
        if (!IsBufferFree(i))
            queued += AUDIOOUT_BUFFER_SIZE;
    return DWORD(queued * 1000 / (uint64_t(format.nChannels) * format.nRate * 2));
}

BOOL CBufferedAudioDevice::Write(const CAudioOutFormat& format, const BYTE* pBlock)
{
    if (!m_bOpen)
        return FALSE;
    uint32_t left = format.nBlockSize;
    // Fill every free buffer first and queue them together, so the device
    // gets as much as it can take in one go, in index order.
    for (int i = 0; i < AUDIOOUT_BUFFERS && left > 0; i++)
        if (IsBufferFree(i))
        {
            memcpy(BufferData(i), pBlock, AUDIOOUT_BUFFER_SIZE);
            pBlock += AUDIOOUT_BUFFER_SIZE;
            left -= AUDIOOUT_BUFFER_SIZE;
            m_marked[i] = true;
        }
    bool ok = true;
    for (int i = 0; i < AUDIOOUT_BUFFERS; i++)
        if (m_marked[i])
        {
            m_marked[i] = false;
            ok = QueueBuffer(i) && ok;
        }
    while (ok && left > 0)
    {
        bool any = false;
        for (int i = 0; i < AUDIOOUT_BUFFERS && left > 0; i++)
            if (IsBufferFree(i))
            {
                memcpy(BufferData(i), pBlock, AUDIOOUT_BUFFER_SIZE);
                pBlock += AUDIOOUT_BUFFER_SIZE;
                left -= AUDIOOUT_BUFFER_SIZE;
                ok = QueueBuffer(i);
                any = true;
                if (!ok)
                    break;
            }
        if (ok && left > 0 && !any)
            ok = WaitForBuffer(AUDIOOUT_STALL_MS);
    }
    if (!ok)
    {
        Close();
        return FALSE;
    }
    return TRUE;
}

void CBufferedAudioDevice::Close()
{
    if (!m_bOpen)
        return;
    CloseDevice();
    m_bOpen = false;
}

// ---------------------------------------------------------------- capture ---

CCaptureAudioDevice::CCaptureAudioDevice() : m_data(size_t(AUDIOOUT_BUFFERS) * AUDIOOUT_BUFFER_SIZE)
{
    for (bool& f : m_free)
        f = true;
}

CCaptureAudioDevice::~CCaptureAudioDevice()
{
    Close();
}

void CCaptureAudioDevice::SetStalled(bool bStalled)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bStalled = bStalled;
    m_wake.notify_all();
}

std::vector<BYTE> CCaptureAudioDevice::GetCaptured()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_captured;
}

std::vector<int> CCaptureAudioDevice::GetQueueOrder()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_order;
}

bool CCaptureAudioDevice::OpenDevice(const CAudioOutFormat& format)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nBytesPerSecond = uint32_t(format.nChannels) * 2 * format.nRate;
    for (bool& f : m_free)
        f = true;
    m_queue.clear();
    m_order.clear();
    m_captured.clear();
    m_bQuit = false;
    m_bReturned = false;
    m_thread = std::thread([this] { Play(); });
    return true;
}

void CCaptureAudioDevice::CloseDevice()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
        m_wake.notify_all();
    }
    m_thread.join();
    ResetDevice();
}

void CCaptureAudioDevice::ResetDevice()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i : m_queue)
        m_free[i] = true;
    m_queue.clear();
    m_bReturned = true;
    m_returned.notify_all();
    m_wake.notify_all();
}

bool CCaptureAudioDevice::IsBufferFree(int i)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_free[i];
}

BYTE* CCaptureAudioDevice::BufferData(int i)
{
    return m_data.data() + size_t(i) * AUDIOOUT_BUFFER_SIZE;
}

bool CCaptureAudioDevice::QueueBuffer(int i)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_free[i] = false;
    m_queue.push_back(i);
    m_order.push_back(i);
    m_wake.notify_all();
    return true;
}

bool CCaptureAudioDevice::WaitForBuffer(uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    bool got = m_returned.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_bReturned; });
    m_bReturned = false;
    return got;
}

void CCaptureAudioDevice::Play()
{
    using clock = std::chrono::steady_clock;
    std::unique_lock<std::mutex> lock(m_mutex);
    clock::time_point end = clock::now();
    while (!m_bQuit)
    {
        if (m_queue.empty() || m_bStalled)
        {
            m_wake.wait(lock);
            continue;
        }
        int i = m_queue.front();
        // A device that ran dry starts the next buffer when it arrives.
        clock::time_point now = clock::now();
        if (end < now)
            end = now;
        end += std::chrono::microseconds(uint64_t(AUDIOOUT_BUFFER_SIZE) * 1000000 / m_nBytesPerSecond);
        bool cut = m_wake.wait_until(lock, end,
                                     [&] { return m_bQuit || m_bStalled || m_queue.empty() || m_queue.front() != i; });
        if (cut)
        {
            end = clock::now();
            continue;
        }
        const BYTE* p = BufferData(i);
        m_captured.insert(m_captured.end(), p, p + AUDIOOUT_BUFFER_SIZE);
        m_queue.pop_front();
        m_free[i] = true;
        m_bReturned = true;
        m_returned.notify_all();
    }
}

// -------------------------------------------------------- plain functions ---

static CAudioDevice* g_pAudioDevice = nullptr;

CAudioDevice* GetAudioDevice()
{
    return g_pAudioDevice ? g_pAudioDevice : PlatformAudioDevice();
}

CAudioDevice* SetAudioDevice(CAudioDevice* pDevice)
{
    CAudioDevice* previous = GetAudioDevice();
    g_pAudioDevice = pDevice;
    return previous;
}

BOOL OpenWaveOut(const CAudioOutFormat& format)
{
    return GetAudioDevice()->Open(format);
}

BOOL ResetWaveOut()
{
    GetAudioDevice()->Reset();
    return TRUE;
}

DWORD GetWaveOutLatency(const CAudioOutFormat& format)
{
    return GetAudioDevice()->GetLatency(format);
}

BOOL WriteWaveOut(const CAudioOutFormat& format, const BYTE* pBlock)
{
    return GetAudioDevice()->Write(format, pBlock);
}

BOOL CloseWaveOut()
{
    GetAudioDevice()->Close();
    return TRUE;
}
