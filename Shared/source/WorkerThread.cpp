#include "Shared/source/WorkerThread.h"

#include <utility>

struct CWorkerThread::ReplySlot
{
    kx::AutoResetEvent ready;
    uint64_t value = 0;
};

CWorkerThread::CWorkerThread() = default;

CWorkerThread::~CWorkerThread()
{
    Join();
    StopAccepting();
}

bool CWorkerThread::Start()
{
    kx::ScopedLock guard(m_threadLock);
    std::lock_guard<std::mutex> handle(m_handleLock);
    if (m_thread)
        return false;
    auto thread = std::make_unique<kx::PlatformThread>();
    {
        kx::ScopedLock queue(m_queueLock);
        m_bAccepting = true;
    }
    if (!thread->Start(
            [this]
            {
                Run();
                // Whatever is still queued will never be taken: answer its senders,
                // and answer at once whoever sends before the thread is joined.
                StopAccepting();
            }))
    {
        return false;
    }
    m_thread = std::move(thread);
    return true;
}

void CWorkerThread::Join()
{
    std::unique_ptr<kx::PlatformThread> thread;
    {
        std::lock_guard<std::mutex> handle(m_handleLock);
        thread = std::move(m_thread);
    }
    if (thread)
        thread->Join();
}

void CWorkerThread::Stop()
{
    {
        std::lock_guard<std::mutex> handle(m_handleLock);
        if (!m_thread)
            return;
    }
    SendMessage(kQuit, 0);
    Join();
}

bool CWorkerThread::IsRunning()
{
    std::lock_guard<std::mutex> handle(m_handleLock);
    return m_thread != nullptr;
}

bool CWorkerThread::SetPriority(kx::ThreadPriority priority)
{
    std::lock_guard<std::mutex> handle(m_handleLock);
    return m_thread && m_thread->SetPriority(priority);
}

void CWorkerThread::Enqueue(Message&& message)
{
    bool queued = false;
    {
        kx::ScopedLock guard(m_queueLock);
        if (m_bAccepting)
        {
            m_queue.push_back(std::move(message));
            queued = true;
        }
    }
    // Signalled outside the queue lock so that no two of our locks nest.
    if (queued)
    {
        m_messageAvailable.Set();
    }
    else
    {
        Reply(message, 0);
    }
}

void CWorkerThread::StopAccepting()
{
    {
        kx::ScopedLock guard(m_queueLock);
        m_bAccepting = false;
    }
    ClearMessages();
}

void CWorkerThread::PostMessage(uint32_t command, uint64_t parameter)
{
    Message message;
    message.command = command;
    message.parameter = parameter;
    Enqueue(std::move(message));
}

uint64_t CWorkerThread::SendMessage(uint32_t command, uint64_t parameter)
{
    auto slot = std::make_shared<ReplySlot>();
    Message message;
    message.command = command;
    message.parameter = parameter;
    message.synchronous = true;
    message.reply = slot;
    Enqueue(std::move(message));
    slot->ready.Wait();
    return slot->value;
}

bool CWorkerThread::GetMessage(Message& message)
{
    kx::ScopedLock guard(m_queueLock);
    if (m_queue.empty())
        return false;
    message = std::move(m_queue.front());
    m_queue.pop_front();
    return true;
}

bool CWorkerThread::WaitForMessage(uint32_t timeoutMs)
{
    return m_messageAvailable.Wait(timeoutMs);
}

void CWorkerThread::Reply(const Message& message, uint64_t value)
{
    if (!message.synchronous || !message.reply)
        return;
    message.reply->value = value;
    message.reply->ready.Set();
}

void CWorkerThread::ClearMessages()
{
    std::deque<Message> dropped;
    {
        kx::ScopedLock guard(m_queueLock);
        dropped.swap(m_queue);
    }
    for (const Message& message : dropped)
        Reply(message, 0);
}

size_t CWorkerThread::GetMessageCount()
{
    kx::ScopedLock guard(m_queueLock);
    return m_queue.size();
}
