#include "uitoolkit/commands/ExtSoundPlayer.h"

#include "uitoolkit/paint/ExtPaintManager.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CExtSoundPlayer, CObject)

namespace
{

// Created before the holder below and destroyed after it.
struct SoundPlayerIdleEvent
{
    SoundPlayerIdleEvent() { g_SoundPlayerIdleEvent = ::CreateEventA(nullptr, FALSE, TRUE, nullptr); }
    ~SoundPlayerIdleEvent()
    {
        ::CloseHandle(g_SoundPlayerIdleEvent);
        g_SoundPlayerIdleEvent = nullptr;
    }
};

} // namespace

HANDLE g_SoundPlayerIdleEvent = nullptr;
CCriticalSection g_SoundPlayerLock;
static SoundPlayerIdleEvent g_soundPlayerIdleEventOwner;
CExtSoundPlayerHolder g_SoundPlayer;

void CExtSoundPlayer::PlaySound(int nSoundId)
{
    switch (nSoundId)
    {
    case SoundMenuExpand:
    case SoundMenuPopup: PlaySoundOnThread("MenuPopup", SND_ALIAS | SND_NOWAIT | SND_NODEFAULT | SND_ASYNC); break;
    case SoundMenuCommand: PlaySoundOnThread("MenuCommand", SND_ALIAS | SND_NOWAIT | SND_NODEFAULT); break;
    default: break;
    }
}

void CExtSoundPlayer::PlaySoundOnThread(LPCSTR pszSound, DWORD dwFlags)
{
    SoundRequest request;
    ::strncpy(request.szSound, pszSound, sizeof(request.szSound) - 1);
    request.dwFlags = dwFlags;
    CSingleLock lock(&g_SoundPlayerLock, TRUE);
    if (::WaitForSingleObject(g_SoundPlayerIdleEvent, 0) != WAIT_OBJECT_0)
        return; // a sound is still starting or playing: this one is dropped
    InternalSoundEventInitDone_t initDone;
    request.pInitDone = &initDone;
    const ExtCreateThreadFn pfnCreateThread =
        ExtTestHooks().pfnCreateThread != nullptr ? ExtTestHooks().pfnCreateThread : ::CreateThread;
    request.hThread = pfnCreateThread(nullptr, 0, SoundThreadProc, &request, CREATE_SUSPENDED, &request.dwThreadId);
    if (request.hThread != nullptr)
    {
        ::SetThreadPriority(request.hThread, THREAD_PRIORITY_BELOW_NORMAL);
        ::ResumeThread(request.hThread);
        initDone.WaitInitDone();
        ::CloseHandle(request.hThread); // the thread runs on by itself
    }
    else
        ::SetEvent(g_SoundPlayerIdleEvent);
}

DWORD WINAPI CExtSoundPlayer::SoundThreadProc(LPVOID pParameter)
{
    RunSoundRequest(*static_cast<SoundRequest*>(pParameter));
    return 0;
}

void CExtSoundPlayer::RunSoundRequest(SoundRequest& request)
{
    char szSound[sizeof(request.szSound)];
    ::memcpy(szSound, request.szSound, sizeof(szSound));
    const HMODULE hModule = request.hModule;
    const DWORD dwFlags = request.dwFlags;
    // from here on the request, on the caller's stack, is gone
    request.pInitDone->SetInitDone();
    const ExtPlaySoundFn pfnPlaySound =
        ExtTestHooks().pfnPlaySound != nullptr ? ExtTestHooks().pfnPlaySound : ::PlaySoundA;
    if (dwFlags & SND_ASYNC)
        pfnPlaySound(nullptr, nullptr, SND_PURGE);
    pfnPlaySound(szSound, hModule, dwFlags);
    ::SetEvent(g_SoundPlayerIdleEvent);
}

CExtSoundPlayerHolder::CExtSoundPlayerHolder() : m_pPlayer(new CExtSoundPlayer)
{
}

CExtSoundPlayerHolder::~CExtSoundPlayerHolder()
{
    // a sound thread signals the idle event as its last act; taking the
    // event under the lock keeps new requests out
    {
        CSingleLock lock(&g_SoundPlayerLock, TRUE);
        ::WaitForSingleObject(g_SoundPlayerIdleEvent, INFINITE);
        ::SetEvent(g_SoundPlayerIdleEvent);
    }
    delete m_pPlayer;
    m_pPlayer = nullptr;
}
