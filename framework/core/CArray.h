// CArray: the framework's growable array, and the ready-made arrays built on it.
//
// The array grows by its grow-by count when one is set, else by an eighth of
// its size, at least 4 and at most 1,024 elements. New elements start zeroed
// and then default-constructed; elements are moved and copied by their own
// constructors and assignments, so records holding CString are safe. An index
// outside the array throws CInvalidArgException; running out of memory throws
// CMemoryException.
#pragma once

#include "framework/core/CException.h"
#include "framework/core/CObject.h"
#include "framework/core/CString.h"

#include <cstddef>
#include <cstring>
#include <new>
#include <utility>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject
{
public:
    CArray() = default;
    ~CArray() override { RemoveAll(); }

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }

    // nGrowBy -1 keeps the current grow-by count.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);
    void FreeExtra();
    void RemoveAll() { SetSize(0, -1); }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_pData[Checked(nIndex)]; }
    TYPE& GetAt(INT_PTR nIndex) { return m_pData[Checked(nIndex)]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_pData[Checked(nIndex)] = newElement; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return m_pData[Checked(nIndex)]; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_pData[Checked(nIndex)]; }
    const TYPE& operator[](INT_PTR nIndex) const { return m_pData[Checked(nIndex)]; }
    TYPE& operator[](INT_PTR nIndex) { return m_pData[Checked(nIndex)]; }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }

    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement);
    INT_PTR Add(ARG_TYPE newElement);
    INT_PTR Append(const CArray& src);
    void Copy(const CArray& src);

    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1);
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray);
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1);

protected:
    TYPE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;

private:
    static_assert(alignof(TYPE) <= alignof(std::max_align_t), "over-aligned elements are not supported");

    INT_PTR Checked(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nSize)
            AfxThrowInvalidArgException();
        return nIndex;
    }

    static TYPE* Allocate(INT_PTR nCount)
    {
        if ((size_t)nCount > SIZE_MAX / sizeof(TYPE))
            AfxThrowMemoryException();
        void* p = ::operator new((size_t)nCount * sizeof(TYPE), std::nothrow);
        if (p == nullptr)
            AfxThrowMemoryException();
        return static_cast<TYPE*>(p);
    }

    static void ConstructZeroed(TYPE* p, INT_PTR nCount)
    {
        memset(static_cast<void*>(p), 0, (size_t)nCount * sizeof(TYPE));
        for (INT_PTR i = 0; i < nCount; ++i)
            ::new (static_cast<void*>(p + i)) TYPE;
    }

    static void Destroy(TYPE* p, INT_PTR nCount)
    {
        for (INT_PTR i = 0; i < nCount; ++i)
            p[i].~TYPE();
    }
};

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy)
{
    if (nNewSize < 0)
        AfxThrowInvalidArgException();
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;

    if (nNewSize == 0)
    {
        Destroy(m_pData, m_nSize);
        ::operator delete(m_pData);
        m_pData = nullptr;
        m_nSize = m_nMaxSize = 0;
    }
    else if (m_pData == nullptr)
    {
        INT_PTR nAlloc = nNewSize > m_nGrowBy ? nNewSize : m_nGrowBy;
        m_pData = Allocate(nAlloc);
        ConstructZeroed(m_pData, nNewSize);
        m_nSize = nNewSize;
        m_nMaxSize = nAlloc;
    }
    else if (nNewSize <= m_nMaxSize)
    {
        if (nNewSize > m_nSize)
            ConstructZeroed(m_pData + m_nSize, nNewSize - m_nSize);
        else
            Destroy(m_pData + nNewSize, m_nSize - nNewSize);
        m_nSize = nNewSize;
    }
    else
    {
        INT_PTR nGrow = m_nGrowBy;
        if (nGrow == 0)
        {
            nGrow = m_nSize / 8;
            nGrow = nGrow < 4 ? 4 : (nGrow > 1024 ? 1024 : nGrow);
        }
        INT_PTR nNewMax = nNewSize < m_nMaxSize + nGrow ? m_nMaxSize + nGrow : nNewSize;
        TYPE* pNewData = Allocate(nNewMax);
        for (INT_PTR i = 0; i < m_nSize; ++i)
        {
            ::new (static_cast<void*>(pNewData + i)) TYPE(std::move(m_pData[i]));
            m_pData[i].~TYPE();
        }
        ConstructZeroed(pNewData + m_nSize, nNewSize - m_nSize);
        ::operator delete(m_pData);
        m_pData = pNewData;
        m_nSize = nNewSize;
        m_nMaxSize = nNewMax;
    }
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::FreeExtra()
{
    if (m_nSize == m_nMaxSize)
        return;
    TYPE* pNewData = nullptr;
    if (m_nSize != 0)
    {
        pNewData = Allocate(m_nSize);
        for (INT_PTR i = 0; i < m_nSize; ++i)
        {
            ::new (static_cast<void*>(pNewData + i)) TYPE(std::move(m_pData[i]));
            m_pData[i].~TYPE();
        }
    }
    ::operator delete(m_pData);
    m_pData = pNewData;
    m_nMaxSize = m_nSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
{
    if (nIndex < 0)
        AfxThrowInvalidArgException();
    if (nIndex < m_nSize)
    {
        m_pData[nIndex] = newElement;
        return;
    }
    // The new element may live in this very array: take it before growing
    // moves the elements away.
    TYPE value(newElement);
    SetSize(nIndex + 1, -1);
    m_pData[nIndex] = std::move(value);
}

template <class TYPE, class ARG_TYPE>
INT_PTR CArray<TYPE, ARG_TYPE>::Add(ARG_TYPE newElement)
{
    INT_PTR nIndex = m_nSize;
    SetAtGrow(nIndex, newElement);
    return nIndex;
}

template <class TYPE, class ARG_TYPE>
INT_PTR CArray<TYPE, ARG_TYPE>::Append(const CArray& src)
{
    INT_PTR nOldSize = m_nSize;
    INT_PTR nCount = src.m_nSize;
    SetSize(m_nSize + nCount);
    // Indexing src after the resize also serves appending an array to itself.
    for (INT_PTR i = 0; i < nCount; ++i)
        m_pData[nOldSize + i] = src.m_pData[i];
    return nOldSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Copy(const CArray& src)
{
    if (this == &src)
        return;
    SetSize(src.m_nSize);
    for (INT_PTR i = 0; i < m_nSize; ++i)
        m_pData[i] = src.m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount)
{
    if (nIndex < 0 || nCount < 0)
        AfxThrowInvalidArgException();
    if (nCount == 0)
        return;
    TYPE value(newElement); // may be one of the elements about to move
    if (nIndex >= m_nSize)
    {
        SetSize(nIndex + nCount, -1);
    }
    else
    {
        INT_PTR nOldSize = m_nSize;
        SetSize(m_nSize + nCount, -1);
        for (INT_PTR i = nOldSize - 1; i >= nIndex; --i)
            m_pData[i + nCount] = std::move(m_pData[i]);
    }
    for (INT_PTR i = 0; i < nCount; ++i)
        m_pData[nIndex + i] = value;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nStartIndex, const CArray* pNewArray)
{
    if (pNewArray == nullptr || nStartIndex < 0)
        AfxThrowInvalidArgException();
    if (pNewArray->m_nSize == 0)
        return;
    if (pNewArray == this)
    {
        CArray copy;
        copy.Copy(*this);
        InsertAt(nStartIndex, &copy);
        return;
    }
    InsertAt(nStartIndex, pNewArray->m_pData[0], pNewArray->m_nSize);
    for (INT_PTR i = 1; i < pNewArray->m_nSize; ++i)
        m_pData[nStartIndex + i] = pNewArray->m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::RemoveAt(INT_PTR nIndex, INT_PTR nCount)
{
    if (nIndex < 0 || nCount < 0 || nCount > m_nSize - nIndex)
        AfxThrowInvalidArgException();
    for (INT_PTR i = nIndex; i + nCount < m_nSize; ++i)
        m_pData[i] = std::move(m_pData[i + nCount]);
    Destroy(m_pData + m_nSize - nCount, nCount);
    m_nSize -= nCount;
}

class CPtrArray : public CArray<void*, void*>
{
};

class CDWordArray : public CArray<DWORD, DWORD>
{
};

class CStringArray : public CArray<CString, const CString&>
{
};

// A pointer array whose elements are typed: BASE_CLASS is CPtrArray (or
// another array of void*), TYPE the pointer type kept in it.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS
{
public:
    TYPE GetAt(INT_PTR nIndex) const { return static_cast<TYPE>(BASE_CLASS::GetAt(nIndex)); }
    TYPE& ElementAt(INT_PTR nIndex) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex)); }
    void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAtGrow(nIndex, ptr); }
    INT_PTR Add(TYPE ptr) { return BASE_CLASS::Add(ptr); }
    void InsertAt(INT_PTR nIndex, TYPE ptr, INT_PTR nCount = 1) { BASE_CLASS::InsertAt(nIndex, ptr, nCount); }
    TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
};
