#pragma once
// The program's own containers: owning arrays of pointers and growable arrays
// of values. Both grow by reallocation to exactly the size asked plus the
// grow-by step (0 unless the owner sets one), so an owner that knows its
// final count allocates once.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace kxdetail
{

// Allocation for the containers: count elements of elementSize bytes,
// refusing counts whose byte size does not fit.
inline void* ReallocElements(void* old, size_t count, size_t elementSize)
{
    if (count == 0)
    {
        std::free(old);
        return nullptr;
    }
    if (count > SIZE_MAX / elementSize)
        throw std::bad_alloc();
    void* grown = std::realloc(old, count * elementSize);
    if (grown == nullptr)
        throw std::bad_alloc();
    return grown;
}

} // namespace kxdetail

template <class T>
struct CDvdDefaultDelete
{
    void operator()(T* element) const { delete element; }
};

// An owning array of pointers. Deleter decides how an element goes away
// (a plain delete by default; nodes with a virtual destructor are deleted
// through it). Slots may hold null.
template <class T, class Deleter = CDvdDefaultDelete<T>>
class CDvdPtrArray
{
public:
    CDvdPtrArray() = default;
    virtual ~CDvdPtrArray()
    {
        DeleteSlots(0, m_nCapacity);
        std::free(m_pData);
    }
    CDvdPtrArray(const CDvdPtrArray&) = delete;
    CDvdPtrArray& operator=(const CDvdPtrArray&) = delete;

    T** GetData() const { return m_pData; }
    uint32_t GetSize() const { return m_nSize; }
    uint32_t GetCapacity() const { return m_nCapacity; }
    uint32_t GetGrowBy() const { return m_nGrowBy; }
    void SetGrowBy(uint32_t growBy) { m_nGrowBy = growBy; }

    // Out-of-range indices answer null rather than reading past the storage.
    T* GetAt(uint32_t index) const { return index < m_nSize ? m_pData[index] : nullptr; }
    T* operator[](uint32_t index) const { return GetAt(index); }
    // Stores into a slot without deleting what it held; false out of range.
    bool SetAt(uint32_t index, T* element)
    {
        if (index >= m_nSize)
            return false;
        m_pData[index] = element;
        return true;
    }

    // Above the capacity the storage grows to n + grow-by null slots; below it
    // the elements from n up are deleted. With deleteAll the first n elements
    // are deleted too, leaving n null slots.
    void SetSize(uint32_t n, bool deleteAll = false)
    {
        if (n > m_nCapacity)
        {
            uint64_t capacity = uint64_t(n) + m_nGrowBy;
            if (capacity > UINT32_MAX)
                capacity = n;
            m_pData = static_cast<T**>(kxdetail::ReallocElements(m_pData, size_t(capacity), sizeof(T*)));
            for (uint64_t i = m_nCapacity; i < capacity; ++i)
                m_pData[i] = nullptr;
            m_nCapacity = uint32_t(capacity);
        }
        else
        {
            DeleteSlots(n, m_nCapacity);
        }
        m_nSize = n;
        if (deleteAll)
            DeleteSlots(0, n);
    }

    // Appends an element (taking ownership) and answers its index.
    uint32_t Add(T* element)
    {
        SetSize(m_nSize + 1);
        m_pData[m_nSize - 1] = element;
        return m_nSize - 1;
    }

    // Deletes the element at index; the later ones move down by one.
    void RemoveAt(uint32_t index)
    {
        if (index >= m_nSize)
            return;
        T* element = m_pData[index];
        for (uint32_t i = index; i + 1 < m_nSize; ++i)
            m_pData[i] = m_pData[i + 1];
        m_pData[m_nSize - 1] = nullptr;
        SetSize(m_nSize - 1);
        if (element != nullptr)
            Deleter()(element);
    }

    // Deletes every element; the size stays.
    void DeleteAll() { DeleteSlots(0, m_nCapacity); }

    // Deletes every element and frees the storage.
    void RemoveAll()
    {
        SetSize(0);
        FreeExtra();
    }

    void FreeExtra()
    {
        if (m_nCapacity > m_nSize)
        {
            m_pData = static_cast<T**>(kxdetail::ReallocElements(m_pData, m_nSize, sizeof(T*)));
            m_nCapacity = m_nSize;
        }
    }

private:
    void DeleteSlots(uint32_t from, uint32_t to)
    {
        for (uint32_t i = from; i < to; ++i)
        {
            if (m_pData[i] != nullptr)
            {
                T* element = m_pData[i];
                m_pData[i] = nullptr;
                Deleter()(element);
            }
        }
    }

    T** m_pData = nullptr;
    uint32_t m_nSize = 0;
    uint32_t m_nCapacity = 0;
    uint32_t m_nGrowBy = 0;
};

// A growable array of plain values (numbers or fixed records), copied
// bytewise and never destroyed one by one.
template <class T>
class CGrowArray
{
    static_assert(std::is_trivially_copyable<T>::value, "CGrowArray holds plain values");

public:
    CGrowArray() = default;
    CGrowArray(const CGrowArray& other) { *this = other; }
    virtual ~CGrowArray() { std::free(m_pData); }

    CGrowArray& operator=(const CGrowArray& other)
    {
        if (this == &other)
            return *this;
        if (m_nCapacity < other.m_nSize)
            Reserve(other.m_nSize + m_nGrowBy);
        if (other.m_nSize > 0)
            std::memcpy(m_pData, other.m_pData, sizeof(T) * size_t(other.m_nSize));
        m_nSize = other.m_nSize;
        return *this;
    }

    T* GetData() const { return m_pData; }
    int32_t GetSize() const { return m_nSize; }
    int32_t GetCapacity() const { return m_nCapacity; }
    int32_t GetGrowBy() const { return m_nGrowBy; }
    void SetGrowBy(int32_t growBy) { m_nGrowBy = growBy < 0 ? 0 : growBy; }
    // Bytes the array occupies: its storage and its own record.
    size_t GetMemorySize() const { return size_t(m_nCapacity) * sizeof(T) + 16; }

    // Callers index within GetSize().
    T& operator[](int32_t index) { return m_pData[index]; }
    const T& operator[](int32_t index) const { return m_pData[index]; }

    // Above the capacity the storage grows to n + grow-by elements (the new
    // part zeroed when zero is set); with zero all n elements are zeroed.
    // A negative n counts as 0.
    void SetSize(int32_t n, bool zero = false)
    {
        if (n < 0)
            n = 0;
        if (n > m_nCapacity)
        {
            int64_t capacity = int64_t(n) + m_nGrowBy;
            if (capacity > INT32_MAX)
                capacity = n;
            int32_t old = m_nCapacity;
            Reserve(int32_t(capacity));
            if (zero)
                std::memset(m_pData + old, 0, sizeof(T) * size_t(m_nCapacity - old));
        }
        m_nSize = n;
        if (zero && n > 0)
            std::memset(m_pData, 0, sizeof(T) * size_t(n));
    }

    // Appends a value and answers its index.
    int32_t Add(const T& value)
    {
        SetSize(m_nSize + 1);
        m_pData[m_nSize - 1] = value;
        return m_nSize - 1;
    }

    void FreeExtra()
    {
        if (m_nCapacity > m_nSize)
        {
            m_pData = static_cast<T*>(kxdetail::ReallocElements(m_pData, size_t(m_nSize), sizeof(T)));
            m_nCapacity = m_nSize;
        }
    }

private:
    void Reserve(int32_t capacity)
    {
        m_pData = static_cast<T*>(kxdetail::ReallocElements(m_pData, size_t(capacity), sizeof(T)));
        m_nCapacity = capacity;
    }

    T* m_pData = nullptr;
    int32_t m_nSize = 0;
    int32_t m_nCapacity = 0;
    int32_t m_nGrowBy = 0;
};

// Index of a two-byte code (a language or country code as stored on the
// disc) in an array of such codes, comparing the bytes; -1 when absent.
inline int32_t FindTwoByteCode(const CGrowArray<uint16_t>& codes, const char code[2])
{
    for (int32_t i = 0; i < codes.GetSize(); ++i)
    {
        const unsigned char* entry = reinterpret_cast<const unsigned char*>(&codes[i]);
        if (entry[0] == static_cast<unsigned char>(code[0]) && entry[1] == static_cast<unsigned char>(code[1]))
        {
            return i;
        }
    }
    return -1;
}
