#pragma once
// One system thread with an optional scheduling priority.

#include <cstdint>
#include <functional>

namespace kx
{

enum class ThreadPriority
{
    Lowest,
    BelowNormal,
    Normal,
    AboveNormal,
    Highest
};

class PlatformThread
{
public:
    PlatformThread();
    // A thread still running is joined.
    ~PlatformThread();
    PlatformThread(const PlatformThread&) = delete;
    PlatformThread& operator=(const PlatformThread&) = delete;

    // Starts body on a new thread; false when a thread is already held or the
    // system refused to create one.
    bool Start(std::function<void()> body);
    // Waits without limit for the thread to end and releases it. Returns at
    // once when no thread is held. Must not be called from the thread itself.
    void Join();
    bool IsStarted() const;

    // Best effort: where the system does not let this process change the
    // priority the thread keeps running at its old one and false is returned.
    bool SetPriority(ThreadPriority priority);

    static uint64_t CurrentThreadId();

    struct Impl; // the system's thread record, opaque here

private:
    Impl* impl_;
};

} // namespace kx
