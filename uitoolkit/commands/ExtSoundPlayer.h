// The menu sounds: the system sound scheme's "MenuPopup" when a menu shows
// or expands and "MenuCommand" when a command is chosen. Each sound plays on
// a short-lived thread of its own so that the GUI thread never waits for the
// sound; a request while an earlier sound is still starting or playing is
// dropped, not queued.
#pragma once

#include "framework/core/CCriticalSection.h"
#include "framework/core/CObject.h"

#include <mmsystem.h>

// mmsystem.h makes PlaySound a macro; the player has a member of that name.
#undef PlaySound

class CExtSoundPlayer : public CObject
{
    DECLARE_DYNCREATE(CExtSoundPlayer)
public:
    enum e_sound_id
    {
        SoundNone = 0,
        SoundMenuExpand = 1,
        SoundMenuPopup = 2,
        SoundMenuCommand = 3,
    };

    // An event per request, set by the sound thread once it has copied the
    // request and no longer touches the caller's stack.
    class InternalSoundEventInitDone_t
    {
    public:
        InternalSoundEventInitDone_t() : m_hEvent(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
        ~InternalSoundEventInitDone_t()
        {
            if (m_hEvent != nullptr)
                ::CloseHandle(m_hEvent);
        }
        InternalSoundEventInitDone_t(const InternalSoundEventInitDone_t&) = delete;
        InternalSoundEventInitDone_t& operator=(const InternalSoundEventInitDone_t&) = delete;
        void SetInitDone() { ::SetEvent(m_hEvent); }
        void WaitInitDone() { ::WaitForSingleObject(m_hEvent, INFINITE); }

    private:
        HANDLE m_hEvent;
    };

    // Ids 1 and 2 play "MenuPopup" asynchronously, 3 plays "MenuCommand" to
    // its end; any other id plays nothing.
    virtual void PlaySound(int nSoundId);

private:
    struct SoundRequest
    {
        InternalSoundEventInitDone_t* pInitDone = nullptr;
        char szSound[1024] = {};
        HMODULE hModule = nullptr;
        DWORD dwFlags = 0;
        HANDLE hThread = nullptr;
        DWORD dwThreadId = 0;
    };
    static void PlaySoundOnThread(LPCSTR pszSound, DWORD dwFlags);
    static DWORD WINAPI SoundThreadProc(LPVOID pParameter);
    static void RunSoundRequest(SoundRequest& request);
};

// Signalled while no sound thread is starting or playing (auto-reset: the
// request that takes it marks the player busy).
extern HANDLE g_SoundPlayerIdleEvent;
// Lets one request at a time take the idle event and start its thread.
extern CCriticalSection g_SoundPlayerLock;

class CExtSoundPlayerHolder
{
public:
    CExtSoundPlayerHolder();
    // Waits until no sound thread runs any more before the player goes.
    ~CExtSoundPlayerHolder();
    CExtSoundPlayerHolder(const CExtSoundPlayerHolder&) = delete;
    CExtSoundPlayerHolder& operator=(const CExtSoundPlayerHolder&) = delete;

    CExtSoundPlayer* operator->() { return m_pPlayer; }

private:
    CExtSoundPlayer* m_pPlayer;
};

extern CExtSoundPlayerHolder g_SoundPlayer;
