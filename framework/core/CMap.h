// CMap: the framework's hash map, and the ready-made maps built on it.
//
// Keys hash into a bucket table (17 buckets unless InitHashTable sets
// another size); entries come from blocks of nBlockSize (10) entries.
// Iteration by POSITION visits every entry once in no particular order; the
// entry just returned may be removed without disturbing the walk.
#pragma once

#include "framework/core/AfxPlex.h"
#include "framework/core/CException.h"
#include "framework/core/CObject.h"
#include "framework/core/CString.h"

#include <new>
#include <type_traits>
#include <utility>

// Hash values of keys: integers and enumerations by value, pointers by
// address, texts by content. A map with another key type supplies its own
// HashKey overload beside the type.
template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key)
{
    using Key = typename std::remove_cv<typename std::remove_reference<ARG_KEY>::type>::type;
    static_assert(std::is_integral<Key>::value || std::is_enum<Key>::value || std::is_pointer<Key>::value,
                  "no HashKey for this key type");
    uint64_t n;
    if constexpr (std::is_pointer<Key>::value)
        n = (uint64_t)(uintptr_t)key >> 4; // heap blocks are aligned; the low bits say little
    else
        n = (uint64_t)key;
    return (UINT)(n ^ (n >> 32));
}

UINT HashKey(LPCSTR key);
UINT HashKey(const CString& key);

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject
{
public:
    explicit CMap(INT_PTR nBlockSize = 10) : m_pool(sizeof(CAssoc), nBlockSize) {}
    ~CMap() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    UINT GetHashTableSize() const { return m_nHashTableSize; }

    // Sets the bucket count; existing entries are redistributed.
    void InitHashTable(UINT nHashSize, BOOL bAllocNow = TRUE);

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const;
    // The value for key, added with a default value when missing.
    VALUE& operator[](ARG_KEY key);
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    BOOL RemoveKey(ARG_KEY key);
    void RemoveAll();

    // nullptr when the map is empty.
    POSITION GetStartPosition() const;
    // Returns the entry at rNextPosition and moves it to the next one
    // (nullptr after the last).
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const;

private:
    struct CAssoc
    {
        CAssoc* pNext;
        UINT nHashValue;
        KEY key;
        VALUE value;
    };

    CAssoc* Find(ARG_KEY key, UINT& nBucket) const;
    void AllocTable();

    CAssoc** m_pHashTable = nullptr;
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
    CPlexPool m_pool;
};

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::AllocTable()
{
    m_pHashTable = new (std::nothrow) CAssoc*[m_nHashTableSize]();
    if (m_pHashTable == nullptr)
        AfxThrowMemoryException();
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::InitHashTable(UINT nHashSize, BOOL bAllocNow)
{
    if (nHashSize == 0)
        AfxThrowInvalidArgException();
    CAssoc** pOldTable = m_pHashTable;
    UINT nOldSize = m_nHashTableSize;
    m_pHashTable = nullptr;
    m_nHashTableSize = nHashSize;
    if (pOldTable == nullptr)
    {
        if (bAllocNow)
            AllocTable();
        return;
    }
    try
    {
        AllocTable();
    }
    catch (CException*)
    {
        m_pHashTable = pOldTable;
        m_nHashTableSize = nOldSize;
        throw;
    }
    for (UINT i = 0; i < nOldSize; ++i)
    {
        for (CAssoc* p = pOldTable[i]; p != nullptr;)
        {
            CAssoc* pNext = p->pNext;
            UINT nBucket = p->nHashValue % m_nHashTableSize;
            p->pNext = m_pHashTable[nBucket];
            m_pHashTable[nBucket] = p;
            p = pNext;
        }
    }
    delete[] pOldTable;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Find(ARG_KEY key,
                                                                                                  UINT& nBucket) const
{
    UINT nHash = HashKey(key);
    nBucket = nHash % m_nHashTableSize;
    if (m_pHashTable == nullptr)
        return nullptr;
    for (CAssoc* p = m_pHashTable[nBucket]; p != nullptr; p = p->pNext)
    {
        if (p->nHashValue == nHash && p->key == key)
            return p;
    }
    return nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Lookup(ARG_KEY key, VALUE& rValue) const
{
    UINT nBucket;
    CAssoc* p = Find(key, nBucket);
    if (p == nullptr)
        return FALSE;
    rValue = p->value;
    return TRUE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
VALUE& CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::operator[](ARG_KEY key)
{
    UINT nBucket;
    CAssoc* p = Find(key, nBucket);
    if (p != nullptr)
        return p->value;
    if (m_pHashTable == nullptr)
        AllocTable();
    void* pRaw = m_pool.Alloc();
    try
    {
        p = ::new (pRaw) CAssoc{nullptr, HashKey(key), KEY(key), VALUE()};
    }
    catch (...)
    {
        m_pool.Free(pRaw);
        throw;
    }
    p->pNext = m_pHashTable[nBucket];
    m_pHashTable[nBucket] = p;
    ++m_nCount;
    return p->value;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveKey(ARG_KEY key)
{
    if (m_pHashTable == nullptr)
        return FALSE;
    UINT nHash = HashKey(key);
    for (CAssoc** pp = &m_pHashTable[nHash % m_nHashTableSize]; *pp != nullptr; pp = &(*pp)->pNext)
    {
        CAssoc* p = *pp;
        if (p->nHashValue == nHash && p->key == key)
        {
            *pp = p->pNext;
            p->~CAssoc();
            m_pool.Free(p);
            if (--m_nCount == 0)
                RemoveAll(); // give the blocks back once nothing is left
            return TRUE;
        }
    }
    return FALSE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveAll()
{
    if (m_pHashTable != nullptr)
    {
        for (UINT i = 0; i < m_nHashTableSize; ++i)
        {
            for (CAssoc* p = m_pHashTable[i]; p != nullptr;)
            {
                CAssoc* pNext = p->pNext;
                p->~CAssoc();
                p = pNext;
            }
        }
        delete[] m_pHashTable;
        m_pHashTable = nullptr;
    }
    m_nCount = 0;
    m_pool.FreeAll();
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
POSITION CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetStartPosition() const
{
    if (m_pHashTable == nullptr)
        return nullptr;
    for (UINT i = 0; i < m_nHashTableSize; ++i)
    {
        if (m_pHashTable[i] != nullptr)
            return reinterpret_cast<POSITION>(m_pHashTable[i]);
    }
    return nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
{
    CAssoc* p = reinterpret_cast<CAssoc*>(rNextPosition);
    if (p == nullptr)
        AfxThrowInvalidArgException();
    CAssoc* pNext = p->pNext;
    for (UINT i = p->nHashValue % m_nHashTableSize + 1; pNext == nullptr && i < m_nHashTableSize; ++i)
        pNext = m_pHashTable[i];
    rNextPosition = reinterpret_cast<POSITION>(pNext);
    rKey = p->key;
    rValue = p->value;
}

class CMapPtrToWord : public CMap<void*, void*, WORD, WORD>
{
public:
    explicit CMapPtrToWord(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapPtrToPtr : public CMap<void*, void*, void*, void*>
{
public:
    explicit CMapPtrToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapWordToPtr : public CMap<WORD, WORD, void*, void*>
{
public:
    explicit CMapWordToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapStringToPtr : public CMap<CString, LPCSTR, void*, void*>
{
public:
    explicit CMapStringToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};
