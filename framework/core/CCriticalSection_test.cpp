#include "framework/core/CCriticalSection.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{

TEST(CCriticalSection, IsReentrantAndReleasedByEveryScope)
{
    CCriticalSection cs;
    {
        CSingleLock outer(&cs, TRUE);
        EXPECT_TRUE(outer.IsLocked());
        CSingleLock inner(&cs);
        EXPECT_FALSE(inner.IsLocked());
        EXPECT_TRUE(inner.Lock());
        EXPECT_TRUE(inner.Lock()); // one CSingleLock holds the object once
        inner.Unlock();
        EXPECT_FALSE(inner.IsLocked());
    }
    // Both holds are gone: another thread gets the lock (a leftover hold
    // would leave it waiting for ever).
    bool bTaken = false;
    std::thread other(
        [&]
        {
            CSingleLock lock(&cs, TRUE);
            bTaken = lock.IsLocked();
        });
    other.join();
    EXPECT_TRUE(bTaken);
}

TEST(CCriticalSection, KeepsThreadsApart)
{
    CCriticalSection cs;
    long nCounter = 0;
    auto work = [&]
    {
        for (int i = 0; i < 100000; ++i)
        {
            CSingleLock lock(&cs, TRUE);
            long n = nCounter;
            nCounter = n + 1;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(200000, nCounter);
}

} // namespace
