#include "Shared/platform/PlatformThread.h"

#include <process.h>
#include <windows.h>

namespace kx
{

struct PlatformThread::Impl
{
    HANDLE thread = nullptr;
    std::function<void()> body;
};

namespace
{

unsigned __stdcall ThreadEntry(void* arg)
{
    static_cast<PlatformThread::Impl*>(arg)->body();
    return 0;
}

int WindowsPriority(ThreadPriority priority)
{
    switch (priority)
    {
    case ThreadPriority::Lowest: return THREAD_PRIORITY_LOWEST;
    case ThreadPriority::BelowNormal: return THREAD_PRIORITY_BELOW_NORMAL;
    case ThreadPriority::Normal: return THREAD_PRIORITY_NORMAL;
    case ThreadPriority::AboveNormal: return THREAD_PRIORITY_ABOVE_NORMAL;
    case ThreadPriority::Highest: return THREAD_PRIORITY_HIGHEST;
    }
    return THREAD_PRIORITY_NORMAL;
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
    if (impl_->thread != nullptr || !body)
        return false;
    impl_->body = std::move(body);
    // _beginthreadex rather than CreateThread so the C runtime's per-thread
    // data are set up for the thread.
    uintptr_t h = ::_beginthreadex(nullptr, 0, &ThreadEntry, impl_, 0, nullptr);
    if (h == 0)
    {
        impl_->body = nullptr;
        return false;
    }
    impl_->thread = reinterpret_cast<HANDLE>(h);
    return true;
}

void PlatformThread::Join()
{
    if (impl_->thread == nullptr)
        return;
    ::WaitForSingleObject(impl_->thread, INFINITE);
    ::CloseHandle(impl_->thread);
    impl_->thread = nullptr;
    impl_->body = nullptr;
}

bool PlatformThread::IsStarted() const
{
    return impl_->thread != nullptr;
}

bool PlatformThread::SetPriority(ThreadPriority priority)
{
    if (impl_->thread == nullptr)
        return false;
    return ::SetThreadPriority(impl_->thread, WindowsPriority(priority)) != 0;
}

uint64_t PlatformThread::CurrentThreadId()
{
    return ::GetCurrentThreadId();
}

} // namespace kx
