#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "Shared/source/dataAccess/BufferPool.h"

namespace
{

// Hands out buffers of the given sizes and frees them again, leaving free
// records of exactly those sizes in the pool.
void Prime(CBufferPool& pool, std::vector<uint32_t> sizes)
{
    std::vector<void*> taken;
    for (uint32_t n : sizes)
        taken.push_back(pool.Get(n));
    for (void* p : taken)
        CBufferPool::Release(p);
}

TEST(CBufferPool, TakesTheBestFit)
{
    CBufferPool pool;
    Prime(pool, {50, 200, 150});
    void* p = pool.Get(100);
    EXPECT_EQ(CPoolBuffer::FromBuffer(p)->GetSize(), 150u);
    EXPECT_EQ(pool.GetBufferCount(), 3u);
    void* q = pool.Get(100);
    EXPECT_EQ(CPoolBuffer::FromBuffer(q)->GetSize(), 200u);
    CBufferPool::Release(p);
    CBufferPool::Release(q);
}

TEST(CBufferPool, GrowsTheSmallestFreeOneWhenNoneFits)
{
    CBufferPool pool;
    Prime(pool, {50, 20, 80});
    void* p = pool.Get(100);
    CPoolBuffer* record = CPoolBuffer::FromBuffer(p);
    EXPECT_EQ(record->GetSize(), 100u);
    EXPECT_EQ(pool.GetBufferCount(), 3u);
    std::memset(p, 0x5A, 100); // the grown buffer is usable to its end
    void* q = pool.Get(60);
    EXPECT_EQ(CPoolBuffer::FromBuffer(q)->GetSize(), 80u);
    CBufferPool::Release(p);
    CBufferPool::Release(q);
}

TEST(CBufferPool, MakesANewBufferWhenNoneIsFree)
{
    CBufferPool pool;
    void* a = pool.Get(100);
    void* b = pool.Get(100);
    EXPECT_NE(a, b);
    EXPECT_EQ(pool.GetBufferCount(), 2u);
    void* empty = pool.Get(0); // even a 0-byte request gets a releasable buffer
    ASSERT_NE(empty, nullptr);
    CBufferPool::Release(empty);
    CBufferPool::Release(nullptr);
    CBufferPool::Release(a);
    EXPECT_EQ(pool.Get(100), a); // reused, not new
    CBufferPool::Release(a);
    CBufferPool::Release(b);
}

TEST(CBufferPool, BuffersAreAlignedAndCarryAWholePointerBack)
{
    CBufferPool pool;
    void* p = pool.Get(3);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(std::max_align_t), 0u);
    EXPECT_GE(CPoolBuffer::kHeaderSize, sizeof(void*));
    EXPECT_TRUE(CPoolBuffer::FromBuffer(p)->IsInUse());
    CBufferPool::Release(p);
    EXPECT_FALSE(CPoolBuffer::FromBuffer(p)->IsInUse());
}

TEST(CBufferPool, FreeUnusedKeepsBuffersInUse)
{
    CBufferPool pool;
    Prime(pool, {10, 20});
    void* held = pool.Get(30);
    pool.FreeUnused();
    EXPECT_EQ(pool.GetBufferCount(), 1u);
    CBufferPool::Release(held);
}

TEST(CBufferPool, ManyThreadsGetAndRelease)
{
    CBufferPool pool;
    std::atomic<int> errors{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
    {
        threads.emplace_back(
            [&pool, &errors, t]
            {
                for (int i = 0; i < 2000; ++i)
                {
                    uint32_t n = 16 + uint32_t((i * 37 + t * 11) % 700);
                    unsigned char* p = static_cast<unsigned char*>(pool.Get(n));
                    std::memset(p, t, n);
                    for (uint32_t k = 0; k < n; k += 97)
                    {
                        if (p[k] != t)
                            ++errors; // another thread wrote into this buffer
                    }
                    CBufferPool::Release(p);
                }
            });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(errors.load(), 0);
    EXPECT_LE(pool.GetBufferCount(), 8u);
}

} // namespace
