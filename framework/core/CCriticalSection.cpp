#include "framework/core/CCriticalSection.h"

#include "framework/core/CException.h"

BOOL CCriticalSection::Lock(DWORD)
{
    m_lock.Lock();
    return TRUE;
}

BOOL CCriticalSection::Unlock()
{
    m_lock.Unlock();
    return TRUE;
}

CSingleLock::CSingleLock(CSyncObject* pObject, BOOL bInitialLock) : m_pObject(pObject)
{
    if (pObject == nullptr)
        AfxThrowInvalidArgException();
    if (bInitialLock)
        Lock();
}

CSingleLock::~CSingleLock()
{
    Unlock();
}

BOOL CSingleLock::Lock(DWORD dwTimeout)
{
    // Held already: one CSingleLock stands for one hold of the object.
    if (m_bAcquired)
        return TRUE;
    m_bAcquired = m_pObject->Lock(dwTimeout);
    return m_bAcquired;
}

BOOL CSingleLock::Unlock()
{
    if (m_bAcquired)
        m_bAcquired = !m_pObject->Unlock();
    return TRUE;
}
