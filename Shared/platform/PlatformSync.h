#pragma once
// Locks and events shared by the engine's threads.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace kx
{

// A re-entrant lock: the thread that holds it may take it again and must
// release it as often as it took it.
class RecursiveLock
{
public:
    RecursiveLock() = default;
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    void Lock() { mutex_.lock(); }
    bool TryLock() { return mutex_.try_lock(); }
    void Unlock() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

class ScopedLock
{
public:
    explicit ScopedLock(RecursiveLock& lock) : lock_(lock) { lock_.Lock(); }
    ~ScopedLock() { lock_.Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    RecursiveLock& lock_;
};

constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

// An event that lets exactly one waiter through per Set and then resets
// itself; a Set with nobody waiting stays signalled until the next wait.
class AutoResetEvent
{
public:
    explicit AutoResetEvent(bool signalled = false) : signalled_(signalled) {}
    AutoResetEvent(const AutoResetEvent&) = delete;
    AutoResetEvent& operator=(const AutoResetEvent&) = delete;

    void Set();
    void Reset();
    // Waits until signalled or until the time-out (milliseconds) passes;
    // true when the event was taken.
    bool Wait(uint32_t timeoutMs = kWaitForever);

private:
    std::mutex mutex_;
    std::condition_variable cond_;
    bool signalled_;
};

} // namespace kx
