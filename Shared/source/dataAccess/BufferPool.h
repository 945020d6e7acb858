#pragma once
// The process-wide pool of reusable byte buffers. A request takes the
// smallest free buffer that is large enough; failing that the smallest free
// one is regrown, and only when none is free a new one is made. Buffers are
// kept until the pool goes away, so a steady pattern of sizes allocates
// nothing after the first requests.

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "Shared/platform/PlatformSync.h"
#include "Shared/source/DvdArray.h"

class CPoolBuffer
{
public:
    CPoolBuffer() = default;
    ~CPoolBuffer();
    CPoolBuffer(const CPoolBuffer&) = delete;
    CPoolBuffer& operator=(const CPoolBuffer&) = delete;

    // Gives the record memory for size bytes (old contents are lost) and
    // answers the caller's part of it.
    unsigned char* Resize(uint32_t size);
    unsigned char* GetBuffer() const { return m_pMemory + kHeaderSize; }
    uint32_t GetSize() const { return m_nSize; }
    bool IsInUse() const { return m_nInUse.load(std::memory_order_acquire) != 0; }
    void SetInUse(bool inUse) { m_nInUse.store(inUse ? 1 : 0, std::memory_order_release); }

    // The record that owns a buffer handed out by the pool.
    static CPoolBuffer* FromBuffer(void* buffer);

    // The caller's bytes follow a header that holds the pointer back to the
    // record; it is a whole pointer wide and keeps the caller's bytes aligned
    // like any heap block.
    static constexpr size_t kHeaderSize = alignof(std::max_align_t) > sizeof(void*) ? alignof(std::max_align_t)
                                                                                    : sizeof(void*);

private:
    std::atomic<uint32_t> m_nInUse{0};
    uint32_t m_nSize = 0;
    unsigned char* m_pMemory = nullptr;
};

class CBufferPool
{
public:
    CBufferPool() = default;
    ~CBufferPool() = default;
    CBufferPool(const CBufferPool&) = delete;
    CBufferPool& operator=(const CBufferPool&) = delete;

    // The pool of the process, made on first use and kept to the very end of
    // the process (its memory goes back to the system with the process).
    static CBufferPool& Global();

    // A buffer of at least n bytes, marked in use; never null.
    void* Get(uint32_t n);
    // Marks a buffer from Get free again; nothing for null.
    static void Release(void* buffer);

    // Frees the buffers not in use (tests start from an empty pool this way).
    void FreeUnused();
    uint32_t GetBufferCount();

private:
    CDvdPtrArray<CPoolBuffer> m_buffers;
    kx::RecursiveLock m_lock;
};
