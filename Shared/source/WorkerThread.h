#pragma once
// The base of every background thread: one system thread running the derived
// class's Run, and a first-in first-out queue of messages from other threads.
// A posted message lets the sender go on; a sent one makes it wait for the
// worker's Reply. Command 1 is quit for every worker; Run must answer it with
// Reply and return. Command numbers from 2 up belong to the derived classes
// (2 and 3 being pause and resume by convention).

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

// The Windows build's system headers define PostMessage, GetMessage and
// SendMessage as macros; every user of this class must see them alike, so the
// members are renamed the same way everywhere.
#include "framework/core/AfxTypes.h"
#include "Shared/platform/PlatformSync.h"
#include "Shared/platform/PlatformThread.h"

class CWorkerThread
{
public:
    enum : uint32_t
    {
        kQuit = 1,
        kPause = 2,
        kResume = 3
    };

    struct ReplySlot;

    struct Message
    {
        uint32_t command = 0;
        uint64_t parameter = 0;
        bool synchronous = false;
        // Where the reply to a sent message goes: each sent message has its own,
        // so concurrent senders never see each other's replies.
        std::shared_ptr<ReplySlot> reply;
    };

    CWorkerThread();
    // Joins the thread: a derived class stops its thread before this runs.
    virtual ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Starts the thread; false when one exists already or the system refused.
    bool Start();
    // Waits for the thread to end and lets it go; at once when there is none.
    void Join();
    // Quit, then join; at once when no thread was started.
    void Stop();
    bool IsRunning();
    bool SetPriority(kx::ThreadPriority priority);

    void PostMessage(uint32_t command, uint64_t parameter);
    // Waits for the worker's reply to this very message (0 when the worker
    // ended without taking it). Never call it from the worker's own thread.
    uint64_t SendMessage(uint32_t command, uint64_t parameter);
    uint64_t Pause() { return SendMessage(kPause, 0); }
    uint64_t Resume() { return SendMessage(kResume, 0); }

    // Drops every queued message. Senders of dropped messages are answered 0
    // so that none of them waits for ever.
    void ClearMessages();
    size_t GetMessageCount();

    // The object lock of the derived classes (it also guards Start).
    kx::RecursiveLock& GetLock() { return m_threadLock; }

protected:
    // The thread's body: wait for messages, take them in order with
    // GetMessage, act, Reply to each sent one, return on kQuit.
    virtual uint32_t Run() = 0;

    // Takes the oldest message; false when the queue is empty.
    bool GetMessage(Message& message);
    // Waits until a message has been queued since the last wait, or until the
    // time-out passes; true when one was.
    bool WaitForMessage(uint32_t timeoutMs = kx::kWaitForever);
    // Answers a sent message; nothing for a posted one.
    void Reply(const Message& message, uint64_t value);

private:
    void Enqueue(Message&& message);
    void StopAccepting();

    std::unique_ptr<kx::PlatformThread> m_thread;
    std::mutex m_handleLock; // guards m_thread alone, never held while waiting
    kx::RecursiveLock m_threadLock;
    kx::RecursiveLock m_queueLock;
    kx::AutoResetEvent m_messageAvailable;
    std::deque<Message> m_queue;
    // Messages queue up before the first Start too (a worker may be primed
    // before it runs); once its Run has returned, senders are answered 0.
    bool m_bAccepting = true;
};
