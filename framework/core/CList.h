// CList: the framework's doubly linked list, and the ready-made lists built
// on it. Nodes come from blocks of nBlockSize (10) nodes; a POSITION names a
// node and stays valid until that node is removed.
#pragma once

#include "framework/core/AfxPlex.h"
#include "framework/core/CException.h"
#include "framework/core/CObject.h"

#include <new>
#include <utility>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject
{
public:
    explicit CList(INT_PTR nBlockSize = 10) : m_pool(sizeof(CNode), nBlockSize) {}
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    // The head and tail of an empty list throw CInvalidArgException.
    TYPE& GetHead() { return NodeAt(Position(m_pHead))->data; }
    const TYPE& GetHead() const { return NodeAt(Position(m_pHead))->data; }
    TYPE& GetTail() { return NodeAt(Position(m_pTail))->data; }
    const TYPE& GetTail() const { return NodeAt(Position(m_pTail))->data; }

    TYPE RemoveHead();
    TYPE RemoveTail();
    POSITION AddHead(ARG_TYPE newElement) { return InsertBefore(Position(m_pHead), newElement); }
    POSITION AddTail(ARG_TYPE newElement) { return InsertAfter(Position(m_pTail), newElement); }
    void AddHead(const CList* pNewList);
    void AddTail(const CList* pNewList);
    void RemoveAll();

    POSITION GetHeadPosition() const { return Position(m_pHead); }
    POSITION GetTailPosition() const { return Position(m_pTail); }
    // Return the element at rPosition and move it on (nullptr past the end).
    TYPE& GetNext(POSITION& rPosition);
    const TYPE& GetNext(POSITION& rPosition) const;
    TYPE& GetPrev(POSITION& rPosition);
    const TYPE& GetPrev(POSITION& rPosition) const;

    TYPE& GetAt(POSITION position) { return NodeAt(position)->data; }
    const TYPE& GetAt(POSITION position) const { return NodeAt(position)->data; }
    void SetAt(POSITION position, ARG_TYPE newElement) { NodeAt(position)->data = newElement; }
    void RemoveAt(POSITION position);

    // A null position inserts at the head (InsertBefore) or the tail
    // (InsertAfter).
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement);
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement);

    // The first element equal to searchValue after startAfter (from the head
    // when null); nullptr when there is none.
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const;
    POSITION FindIndex(INT_PTR nIndex) const;

private:
    struct CNode
    {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

    static POSITION Position(CNode* pNode) { return reinterpret_cast<POSITION>(pNode); }
    static CNode* NodeAt(POSITION position)
    {
        if (position == nullptr)
            AfxThrowInvalidArgException();
        return reinterpret_cast<CNode*>(position);
    }
    CNode* NewNode(CNode* pPrev, CNode* pNext, ARG_TYPE newElement);
    void FreeNode(CNode* pNode);

    CNode* m_pHead = nullptr;
    CNode* m_pTail = nullptr;
    INT_PTR m_nCount = 0;
    CPlexPool m_pool;
};

template <class TYPE, class ARG_TYPE>
typename CList<TYPE, ARG_TYPE>::CNode* CList<TYPE, ARG_TYPE>::NewNode(CNode* pPrev, CNode* pNext, ARG_TYPE newElement)
{
    void* pRaw = m_pool.Alloc();
    try
    {
        return ::new (pRaw) CNode{pNext, pPrev, TYPE(newElement)};
    }
    catch (...)
    {
        m_pool.Free(pRaw);
        throw;
    }
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::FreeNode(CNode* pNode)
{
    pNode->~CNode();
    m_pool.Free(pNode);
    if (--m_nCount == 0)
        RemoveAll(); // give the blocks back once nothing is left
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertBefore(POSITION position, ARG_TYPE newElement)
{
    CNode* pAt = reinterpret_cast<CNode*>(position);
    if (pAt == nullptr)
        pAt = m_pHead;
    CNode* pPrev = pAt != nullptr ? pAt->pPrev : nullptr;
    CNode* pNode = NewNode(pPrev, pAt, newElement);
    if (pPrev != nullptr)
        pPrev->pNext = pNode;
    else
        m_pHead = pNode;
    if (pAt != nullptr)
        pAt->pPrev = pNode;
    else
        m_pTail = pNode;
    ++m_nCount;
    return Position(pNode);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertAfter(POSITION position, ARG_TYPE newElement)
{
    CNode* pAt = reinterpret_cast<CNode*>(position);
    if (pAt == nullptr)
        pAt = m_pTail;
    CNode* pNext = pAt != nullptr ? pAt->pNext : nullptr;
    CNode* pNode = NewNode(pAt, pNext, newElement);
    if (pNext != nullptr)
        pNext->pPrev = pNode;
    else
        m_pTail = pNode;
    if (pAt != nullptr)
        pAt->pNext = pNode;
    else
        m_pHead = pNode;
    ++m_nCount;
    return Position(pNode);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddHead(const CList* pNewList)
{
    if (pNewList == nullptr)
        AfxThrowInvalidArgException();
    // Walking backwards from the tail keeps the order; a list may be added
    // to itself because the count is taken first.
    POSITION pos = pNewList->GetTailPosition();
    for (INT_PTR n = pNewList->GetCount(); n > 0; --n)
        AddHead(pNewList->GetPrev(pos));
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddTail(const CList* pNewList)
{
    if (pNewList == nullptr)
        AfxThrowInvalidArgException();
    POSITION pos = pNewList->GetHeadPosition();
    for (INT_PTR n = pNewList->GetCount(); n > 0; --n)
        AddTail(pNewList->GetNext(pos));
}

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveHead()
{
    CNode* pNode = NodeAt(Position(m_pHead));
    TYPE value(std::move(pNode->data));
    RemoveAt(Position(pNode));
    return value;
}

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveTail()
{
    CNode* pNode = NodeAt(Position(m_pTail));
    TYPE value(std::move(pNode->data));
    RemoveAt(Position(pNode));
    return value;
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAt(POSITION position)
{
    CNode* pNode = NodeAt(position);
    if (pNode->pPrev != nullptr)
        pNode->pPrev->pNext = pNode->pNext;
    else
        m_pHead = pNode->pNext;
    if (pNode->pNext != nullptr)
        pNode->pNext->pPrev = pNode->pPrev;
    else
        m_pTail = pNode->pPrev;
    FreeNode(pNode);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAll()
{
    for (CNode* p = m_pHead; p != nullptr;)
    {
        CNode* pNext = p->pNext;
        p->~CNode();
        p = pNext;
    }
    m_pHead = m_pTail = nullptr;
    m_nCount = 0;
    m_pool.FreeAll();
}

template <class TYPE, class ARG_TYPE>
TYPE& CList<TYPE, ARG_TYPE>::GetNext(POSITION& rPosition)
{
    CNode* pNode = NodeAt(rPosition);
    rPosition = Position(pNode->pNext);
    return pNode->data;
}

template <class TYPE, class ARG_TYPE>
const TYPE& CList<TYPE, ARG_TYPE>::GetNext(POSITION& rPosition) const
{
    CNode* pNode = NodeAt(rPosition);
    rPosition = Position(pNode->pNext);
    return pNode->data;
}

template <class TYPE, class ARG_TYPE>
TYPE& CList<TYPE, ARG_TYPE>::GetPrev(POSITION& rPosition)
{
    CNode* pNode = NodeAt(rPosition);
    rPosition = Position(pNode->pPrev);
    return pNode->data;
}

template <class TYPE, class ARG_TYPE>
const TYPE& CList<TYPE, ARG_TYPE>::GetPrev(POSITION& rPosition) const
{
    CNode* pNode = NodeAt(rPosition);
    rPosition = Position(pNode->pPrev);
    return pNode->data;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::Find(ARG_TYPE searchValue, POSITION startAfter) const
{
    CNode* p = startAfter != nullptr ? NodeAt(startAfter)->pNext : m_pHead;
    for (; p != nullptr; p = p->pNext)
    {
        if (p->data == searchValue)
            return Position(p);
    }
    return nullptr;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::FindIndex(INT_PTR nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return nullptr;
    CNode* p = m_pHead;
    while (nIndex-- > 0)
        p = p->pNext;
    return Position(p);
}

class CPtrList : public CList<void*, void*>
{
public:
    explicit CPtrList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};

// A pointer list whose elements are typed: BASE_CLASS is CPtrList, TYPE the
// pointer type kept in it.
template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS
{
public:
    explicit CTypedPtrList(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}

    TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
    TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
    TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
    TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
    TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
    TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
    POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
    POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
    TYPE& GetNext(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(rPosition)); }
    TYPE GetNext(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetNext(rPosition)); }
    TYPE& GetPrev(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE GetPrev(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
    TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
    void SetAt(POSITION position, TYPE newElement) { BASE_CLASS::SetAt(position, newElement); }
    POSITION InsertBefore(POSITION position, TYPE newElement) { return BASE_CLASS::InsertBefore(position, newElement); }
    POSITION InsertAfter(POSITION position, TYPE newElement) { return BASE_CLASS::InsertAfter(position, newElement); }
};
