#include "Shared/platform/PlatformSync.h"

#include <chrono>

namespace kx
{

void AutoResetEvent::Set()
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        signalled_ = true;
    }
    cond_.notify_one();
}

void AutoResetEvent::Reset()
{
    std::lock_guard<std::mutex> guard(mutex_);
    signalled_ = false;
}

bool AutoResetEvent::Wait(uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> guard(mutex_);
    if (timeoutMs == kWaitForever)
    {
        cond_.wait(guard, [this] { return signalled_; });
    }
    else if (!cond_.wait_for(guard, std::chrono::milliseconds(timeoutMs), [this] { return signalled_; }))
    {
        return false;
    }
    signalled_ = false;
    return true;
}

} // namespace kx
