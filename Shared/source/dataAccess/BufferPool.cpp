#include "Shared/source/dataAccess/BufferPool.h"

#include <cstdlib>
#include <cstring>
#include <new>

CPoolBuffer::~CPoolBuffer()
{
    std::free(m_pMemory);
}

unsigned char* CPoolBuffer::Resize(uint32_t size)
{
    std::free(m_pMemory);
    m_pMemory = nullptr;
    m_nSize = 0;
    // Even an empty buffer gets its header so that its pointer can be released.
    m_pMemory = static_cast<unsigned char*>(std::malloc(kHeaderSize + size_t(size)));
    if (m_pMemory == nullptr)
        throw std::bad_alloc();
    CPoolBuffer* self = this;
    std::memcpy(m_pMemory, &self, sizeof(self));
    m_nSize = size;
    return GetBuffer();
}

CPoolBuffer* CPoolBuffer::FromBuffer(void* buffer)
{
    CPoolBuffer* record;
    std::memcpy(&record, static_cast<unsigned char*>(buffer) - kHeaderSize, sizeof(record));
    return record;
}

CBufferPool& CBufferPool::Global()
{
    // Never destroyed: workers and other process-wide objects may still hand
    // buffers back while static destructors run, in whatever order they run.
    static CBufferPool* pool = new CBufferPool;
    return *pool;
}

void* CBufferPool::Get(uint32_t n)
{
    kx::ScopedLock guard(m_lock);
    CPoolBuffer* best = nullptr;
    CPoolBuffer* smallest = nullptr;
    for (uint32_t i = 0; i < m_buffers.GetSize(); ++i)
    {
        CPoolBuffer* record = m_buffers[i];
        if (record->IsInUse())
            continue;
        if (record->GetSize() >= n && (best == nullptr || record->GetSize() < best->GetSize()))
        {
            best = record;
        }
        if (smallest == nullptr || record->GetSize() < smallest->GetSize())
            smallest = record;
    }
    if (best != nullptr)
    {
        best->SetInUse(true);
        return best->GetBuffer();
    }
    if (smallest != nullptr)
    {
        void* buffer = smallest->Resize(n);
        smallest->SetInUse(true);
        return buffer;
    }
    CPoolBuffer* record = new CPoolBuffer;
    try
    {
        record->Resize(n);
    }
    catch (...)
    {
        delete record;
        throw;
    }
    record->SetInUse(true);
    m_buffers.Add(record);
    return record->GetBuffer();
}

void CBufferPool::Release(void* buffer)
{
    if (buffer != nullptr)
        CPoolBuffer::FromBuffer(buffer)->SetInUse(false);
}

void CBufferPool::FreeUnused()
{
    kx::ScopedLock guard(m_lock);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < m_buffers.GetSize(); ++i)
    {
        CPoolBuffer* record = m_buffers[i];
        m_buffers.SetAt(i, nullptr);
        if (record->IsInUse())
        {
            m_buffers.SetAt(kept++, record);
        }
        else
        {
            delete record;
        }
    }
    m_buffers.SetSize(kept);
    m_buffers.FreeExtra();
}

uint32_t CBufferPool::GetBufferCount()
{
    kx::ScopedLock guard(m_lock);
    return m_buffers.GetSize();
}
