// Locks in the framework's shape over the portable layer's re-entrant lock.
// CSingleLock takes a lock for one scope and gives it back when it ends.
#pragma once

#include "framework/core/CObject.h"

#include "Shared/platform/PlatformSync.h"

class CSyncObject : public CObject
{
public:
    // The time-out is in milliseconds; INFINITE waits as long as it takes.
    virtual BOOL Lock(DWORD dwTimeout = INFINITE) = 0;
    virtual BOOL Unlock() = 0;
};

// Re-entrant: the thread holding it may lock it again and must unlock it as
// often. A critical section has no time-out: Lock always waits.
class CCriticalSection : public CSyncObject
{
public:
    BOOL Lock(DWORD dwTimeout = INFINITE) override;
    BOOL Unlock() override;

private:
    kx::RecursiveLock m_lock;
};

class CSingleLock
{
public:
    explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE);
    ~CSingleLock();

    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    BOOL Lock(DWORD dwTimeout = INFINITE);
    BOOL Unlock();
    BOOL IsLocked() const { return m_bAcquired; }

private:
    CSyncObject* m_pObject;
    BOOL m_bAcquired = FALSE;
};
