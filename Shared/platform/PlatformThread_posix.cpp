#include "Shared/platform/PlatformThread.h"

#include <cerrno>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <memory>

namespace kx
{

struct PlatformThread::Impl
{
    pthread_t thread{};
    bool started = false;
    std::function<void()> body;
    std::atomic<pid_t> tid{0};
};

namespace
{

void* ThreadEntry(void* arg)
{
    auto* impl = static_cast<PlatformThread::Impl*>(arg);
    impl->tid.store(static_cast<pid_t>(::syscall(SYS_gettid)));
    impl->body();
    return nullptr;
}

// Linux schedules each thread by its own nice value.
int NiceValue(ThreadPriority priority)
{
    switch (priority)
    {
    case ThreadPriority::Lowest: return 10;
    case ThreadPriority::BelowNormal: return 5;
    case ThreadPriority::Normal: return 0;
    case ThreadPriority::AboveNormal: return -5;
    case ThreadPriority::Highest: return -10;
    }
    return 0;
}

} // namespace

PlatformThread::PlatformThread() : impl_(new Impl)
{
}

PlatformThread::~PlatformThread()
{
    Join();
    delete impl_;
}

bool PlatformThread::Start(std::function<void()> body)
{
    if (impl_->started || !body)
        return false;
    impl_->body = std::move(body);
    impl_->tid.store(0);
    if (::pthread_create(&impl_->thread, nullptr, &ThreadEntry, impl_) != 0)
    {
        impl_->body = nullptr;
        return false;
    }
    impl_->started = true;
    return true;
}

void PlatformThread::Join()
{
    if (!impl_->started)
        return;
    ::pthread_join(impl_->thread, nullptr);
    impl_->started = false;
    impl_->body = nullptr;
}

bool PlatformThread::IsStarted() const
{
    return impl_->started;
}

bool PlatformThread::SetPriority(ThreadPriority priority)
{
    if (!impl_->started)
        return false;
    // The thread publishes its id on its first step; wait for it briefly.
    pid_t tid = impl_->tid.load();
    while (tid == 0)
    {
        ::sched_yield();
        tid = impl_->tid.load();
    }
    return ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceValue(priority)) == 0;
}

uint64_t PlatformThread::CurrentThreadId()
{
    return static_cast<uint64_t>(::syscall(SYS_gettid));
}

} // namespace kx
