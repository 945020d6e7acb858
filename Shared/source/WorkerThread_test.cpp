#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "Shared/platform/PlatformSync.h"
#include "Shared/source/WorkerThread.h"

namespace
{

// Records the commands it takes in order and replies with parameter + 1000.
// Command 10 blocks the worker until the test opens the gate.
class EchoWorker : public CWorkerThread
{
public:
    enum : uint32_t
    {
        kEcho = 4,
        kHold = 10
    };
    std::vector<uint32_t> commands;
    std::vector<uint64_t> parameters;
    kx::AutoResetEvent gate;
    kx::AutoResetEvent holding;
    std::atomic<int> runs{0};

    ~EchoWorker() override { Stop(); }

protected:
    uint32_t Run() override
    {
        ++runs;
        for (;;)
        {
            WaitForMessage();
            Message m;
            while (GetMessage(m))
            {
                commands.push_back(m.command);
                parameters.push_back(m.parameter);
                if (m.command == kHold)
                {
                    holding.Set();
                    gate.Wait();
                }
                Reply(m, m.parameter + 1000);
                if (m.command == kQuit)
                    return 0;
            }
        }
    }
};

TEST(CWorkerThread, PostedAndSentMessagesKeepTheirOrder)
{
    EchoWorker worker;
    worker.PostMessage(EchoWorker::kHold, 0);
    worker.PostMessage(5, 1);
    worker.PostMessage(6, 2);
    ASSERT_TRUE(worker.Start());
    worker.holding.Wait();
    worker.PostMessage(7, 3);
    worker.gate.Set();
    EXPECT_EQ(worker.SendMessage(8, 4), 1004u);
    worker.PostMessage(9, 5);
    worker.Stop();
    EXPECT_EQ(worker.commands, (std::vector<uint32_t>{10, 5, 6, 7, 8, 9, 1}));
    EXPECT_FALSE(worker.IsRunning());
}

TEST(CWorkerThread, RepliesReachTheirOwnSenders)
{
    EchoWorker worker;
    ASSERT_TRUE(worker.Start());
    std::atomic<int> wrong{0};
    std::vector<std::thread> senders;
    for (int s = 0; s < 4; ++s)
    {
        senders.emplace_back(
            [&worker, &wrong, s]
            {
                for (uint64_t i = 0; i < 500; ++i)
                {
                    uint64_t p = uint64_t(s) * 1000000 + i;
                    if (worker.SendMessage(EchoWorker::kEcho, p) != p + 1000)
                        ++wrong;
                }
            });
    }
    for (auto& t : senders)
        t.join();
    worker.Stop();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(worker.commands.size(), 4u * 500 + 1);
}

TEST(CWorkerThread, StopOfAWorkerNeverStartedReturnsAtOnce)
{
    EchoWorker worker;
    worker.Stop();
    worker.Join();
    EXPECT_EQ(worker.runs.load(), 0);
}

TEST(CWorkerThread, ClearMessagesDropsWhatIsQueued)
{
    EchoWorker worker;
    worker.PostMessage(5, 1);
    worker.PostMessage(6, 2);
    worker.ClearMessages();
    ASSERT_TRUE(worker.Start());
    EXPECT_EQ(worker.SendMessage(7, 3), 1003u);
    worker.Stop();
    EXPECT_EQ(worker.commands, (std::vector<uint32_t>{7, 1}));
}

TEST(CWorkerThread, DroppedSendersAreAnsweredRatherThanLeftWaiting)
{
    EchoWorker worker; // not started: the message stays queued
    std::atomic<uint64_t> answer{7};
    std::thread sender([&] { answer = worker.SendMessage(5, 1); });
    while (worker.GetMessageCount() == 0)
        std::this_thread::yield();
    worker.ClearMessages();
    sender.join();
    EXPECT_EQ(answer.load(), 0u);
    EXPECT_EQ(worker.GetMessageCount(), 0u);
}

TEST(CWorkerThread, SecondStartMakesNoSecondThread)
{
    EchoWorker worker;
    ASSERT_TRUE(worker.Start());
    EXPECT_FALSE(worker.Start());
    worker.Stop();
    EXPECT_EQ(worker.runs.load(), 1);
    ASSERT_TRUE(worker.Start()); // after the join it may run again
    worker.Stop();
    EXPECT_EQ(worker.runs.load(), 2);
}

TEST(CWorkerThread, SendAfterTheWorkerEndedIsAnswered)
{
    EchoWorker worker;
    ASSERT_TRUE(worker.Start());
    worker.PostMessage(CWorkerThread::kQuit, 0);
    worker.Join();
    EXPECT_EQ(worker.SendMessage(5, 1), 0u);
}

} // namespace
