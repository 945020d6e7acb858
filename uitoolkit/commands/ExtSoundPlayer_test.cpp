// The menu sound player with injected play and thread functions: which ids
// play what, dropped requests while a command sound plays, and the idle
// event after a failed thread start.
#include "uitoolkit/commands/ExtSoundPlayer.h"

#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace
{

std::mutex g_callsLock;
std::vector<std::string> g_calls; // "alias|flags" of each play call
std::atomic<int> g_threadsStarted{0};
HANDLE g_hReleaseCommand = nullptr; // the command sound plays until this is set

BOOL WINAPI RecordingPlaySound(LPCSTR pszSound, HMODULE, DWORD dwFlags)
{
    {
        std::lock_guard<std::mutex> lock(g_callsLock);
        g_calls.push_back(std::string(pszSound != nullptr ? pszSound : "(none)") + "|" + std::to_string(dwFlags));
    }
    if (pszSound != nullptr && std::string(pszSound) == "MenuCommand" && g_hReleaseCommand != nullptr)
        ::WaitForSingleObject(g_hReleaseCommand, INFINITE);
    return TRUE;
}

HANDLE WINAPI CountingCreateThread(LPSECURITY_ATTRIBUTES pAttributes, SIZE_T nStackSize,
                                   LPTHREAD_START_ROUTINE pfnStart, LPVOID pParameter, DWORD dwFlags, LPDWORD pThreadId)
{
    ++g_threadsStarted;
    return ::CreateThread(pAttributes, nStackSize, pfnStart, pParameter, dwFlags, pThreadId);
}

HANDLE WINAPI FailingCreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD)
{
    ++g_threadsStarted;
    return nullptr;
}

// Waits until the player is idle and leaves it so (the event resets when
// a wait takes it).
void WaitUntilIdle()
{
    ASSERT_EQ(::WaitForSingleObject(g_SoundPlayerIdleEvent, 10000), WAIT_OBJECT_0);
    ::SetEvent(g_SoundPlayerIdleEvent);
}

bool IsIdle()
{
    if (::WaitForSingleObject(g_SoundPlayerIdleEvent, 0) != WAIT_OBJECT_0)
        return false;
    ::SetEvent(g_SoundPlayerIdleEvent);
    return true;
}

std::vector<std::string> Calls()
{
    std::lock_guard<std::mutex> lock(g_callsLock);
    return g_calls;
}

class SoundPlayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_threadsStarted = 0;
        ExtTestHooks().pfnPlaySound = RecordingPlaySound;
        ExtTestHooks().pfnCreateThread = CountingCreateThread;
    }
    void TearDown() override
    {
        WaitUntilIdle();
        ExtTestHooks() = ExtPaintTestHooks();
    }
};

TEST_F(SoundPlayerTest, IdsMapToTheSystemSounds)
{
    g_SoundPlayer->PlaySound(CExtSoundPlayer::SoundMenuPopup);
    WaitUntilIdle();
    g_SoundPlayer->PlaySound(CExtSoundPlayer::SoundMenuExpand);
    WaitUntilIdle();
    g_SoundPlayer->PlaySound(CExtSoundPlayer::SoundMenuCommand);
    WaitUntilIdle();
    // the asynchronous sound first cuts off whatever still plays
    const std::string purge = "(none)|" + std::to_string(SND_PURGE);
    const std::string popup = "MenuPopup|" + std::to_string(0x12003);
    EXPECT_EQ(Calls(),
              (std::vector<std::string>{purge, popup, purge, popup, "MenuCommand|" + std::to_string(0x12002)}));
    EXPECT_EQ(g_threadsStarted, 3);
}

TEST_F(SoundPlayerTest, NoSoundStartsNoThread)
{
    for (int id : {0, 4, -1})
        g_SoundPlayer->PlaySound(id);
    EXPECT_EQ(g_threadsStarted, 0);
    EXPECT_TRUE(IsIdle());
    EXPECT_TRUE(Calls().empty());
}

TEST_F(SoundPlayerTest, RequestsWhileACommandSoundPlaysAreDropped)
{
    g_hReleaseCommand = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_SoundPlayer->PlaySound(CExtSoundPlayer::SoundMenuCommand);
    // the caller is back while the sound plays on
    EXPECT_FALSE(IsIdle());
    g_SoundPlayer->PlaySound(CExtSoundPlayer::SoundMenuPopup);
    g_SoundPlayer->PlaySound(CExtSoundPlayer::SoundMenuCommand);
    EXPECT_EQ(g_threadsStarted, 1);
    ::SetEvent(g_hReleaseCommand);
    WaitUntilIdle();
    ::CloseHandle(g_hReleaseCommand);
    g_hReleaseCommand = nullptr;
    EXPECT_EQ(Calls(), (std::vector<std::string>{"MenuCommand|" + std::to_string(0x12002)}));
    // nothing was remembered for later
    EXPECT_EQ(g_threadsStarted, 1);
}

TEST_F(SoundPlayerTest, AFailedThreadStartLeavesThePlayerIdle)
{
    ExtTestHooks().pfnCreateThread = FailingCreateThread;
    g_SoundPlayer->PlaySound(CExtSoundPlayer::SoundMenuPopup);
    EXPECT_EQ(g_threadsStarted, 1);
    EXPECT_TRUE(IsIdle());
    ExtTestHooks().pfnCreateThread = CountingCreateThread;
    g_SoundPlayer->PlaySound(CExtSoundPlayer::SoundMenuPopup);
    WaitUntilIdle();
    EXPECT_EQ(g_threadsStarted, 2);
    EXPECT_EQ(Calls().size(), 2u);
}

} // namespace
