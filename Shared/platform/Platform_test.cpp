#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "Shared/platform/PlatformFile.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "Shared/platform/PlatformSync.h"
#include "Shared/platform/PlatformThread.h"
#include "Shared/platform/PlatformTime.h"
#include "Shared/platform/UiServices.h"
#include "tests/support/ScratchFolder.h"

namespace kx
{
namespace
{

using kxtest::ScratchFolder;

bool WriteWhole(const std::string& path, const std::string& bytes)
{
    PlatformFile f;
    FileOpenOptions o;
    o.access = kFileReadWrite;
    o.disposition = FileDisposition::CreateAlways;
    return f.Open(path.c_str(), o) && f.Write(bytes.data(), bytes.size()) == static_cast<int64_t>(bytes.size());
}

TEST(PlatformFile, WritesSeeksReadsAndTruncates)
{
    ScratchFolder dir;
    std::string path = dir.File("data.bin");
    ASSERT_TRUE(WriteWhole(path, "0123456789"));

    PlatformFile f;
    FileOpenOptions o;
    o.access = kFileReadWrite;
    ASSERT_TRUE(f.Open(path.c_str(), o));
    EXPECT_EQ(f.GetSize(), 10);
    char buf[8] = {};
    EXPECT_EQ(f.Seek(6), 6);
    EXPECT_EQ(f.Read(buf, 8), 4); // short at the end of the file
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_EQ(f.Tell(), 10);
    EXPECT_EQ(f.Seek(-3, SeekOrigin::End), 7);
    EXPECT_EQ(f.Seek(-8, SeekOrigin::Current), -1);
    EXPECT_EQ(f.Tell(), 7);
    EXPECT_EQ(f.Seek(4), 4);
    EXPECT_TRUE(f.SetEndOfFile());
    EXPECT_EQ(f.GetSize(), 4);
    EXPECT_EQ(f.Seek(20), 20);
    EXPECT_TRUE(f.SetEndOfFile());
    EXPECT_EQ(f.GetSize(), 20);
}

// A hint given to an open file changes nothing of what it reads and writes:
// the transfers go on where they were.
TEST(PlatformFile, AdviceKeepsThePosition)
{
    ScratchFolder dir;
    std::string path = dir.File("data.bin");
    ASSERT_TRUE(WriteWhole(path, "0123456789"));
    for (unsigned access : {unsigned(kFileRead), unsigned(kFileReadWrite)})
    {
        SCOPED_TRACE(access);
        PlatformFile f;
        FileOpenOptions o;
        o.access = access;
        o.hint = FileHint::RandomAccess;
        ASSERT_TRUE(f.Open(path.c_str(), o));
        char buf[4] = {};
        EXPECT_EQ(f.Read(buf, 3), 3);
        // A file open for reading takes the hint everywhere; whether one
        // open for writing does is the system's affair.
        const bool bAdvised = f.Advise(FileHint::SequentialScan);
        if (access == kFileRead)
        {
            EXPECT_TRUE(bAdvised);
        }
        EXPECT_EQ(f.Tell(), 3);
        EXPECT_EQ(f.Read(buf, 3), 3);
        EXPECT_EQ(std::string(buf, 3), "345");
        if (access & kFileWrite)
        {
            EXPECT_EQ(f.Write("ab", 2), 2);
            EXPECT_EQ(f.GetSize(), 10);
        }
    }
    PlatformFile closed;
    EXPECT_FALSE(closed.Advise(FileHint::SequentialScan));
    PlatformFile f;
    FileOpenOptions o;
    ASSERT_TRUE(f.Open(path.c_str(), o));
    char buf[10] = {};
    EXPECT_EQ(f.Read(buf, 10), 10);
    EXPECT_EQ(std::string(buf, 10), "012345ab89");
}

TEST(PlatformFile, MissingFileFailsWithSystemError)
{
    ScratchFolder dir;
    PlatformFile f;
    SetLastErrorCode(0);
    EXPECT_FALSE(f.Open(dir.File("absent.ifo").c_str(), FileOpenOptions()));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_NE(LastErrorCode(), 0u);
    EXPECT_FALSE(LastErrorText().empty());
    EXPECT_EQ(f.Read(nullptr, 0), -1);
}

TEST(PlatformFile, OverlongPathIsRefused)
{
    PlatformFile f;
    std::string path(kMaxPathLength + 10, 'a');
    EXPECT_FALSE(f.Open(path.c_str(), FileOpenOptions()));
    EXPECT_FALSE(FileExists(path));
}

TEST(PlatformFile, FindsNamesWhateverTheirCase)
{
    ScratchFolder dir;
    ASSERT_TRUE(WriteWhole(dir.File("video_ts.ifo"), "abc"));
    std::string upper = dir.File("VIDEO_TS.IFO");
    EXPECT_TRUE(FileExists(upper));
    PlatformFile f;
    ASSERT_TRUE(f.Open(upper.c_str(), FileOpenOptions()));
    EXPECT_EQ(f.GetSize(), 3);
    EXPECT_FALSE(ResolveExistingFile(upper).empty());
    EXPECT_TRUE(ResolveExistingFile(dir.File("VIDEO_TS.BUP")).empty());
}

TEST(PlatformFile, TempFileHasPrefixAndGoesAwayOnClose)
{
    PlatformFile f;
    std::string name;
    ASSERT_TRUE(f.CreateTemp(name));
    EXPECT_EQ(PathFileName(name).substr(0, 3), "ZEV");
    EXPECT_EQ(f.Write("xyz", 3), 3);
    EXPECT_EQ(f.Seek(0), 0);
    char buf[3];
    EXPECT_EQ(f.Read(buf, 3), 3);
    f.Close();
    EXPECT_FALSE(FileExists(name));
}

TEST(PlatformPath, Splitting)
{
    struct Case
    {
        const char* path;
        const char* folder;
        const char* name;
        const char* ext;
        const char* stem;
    } cases[] = {
        {"a/b/VTS_01_1.VOB", "a/b", "VTS_01_1.VOB", ".VOB", "VTS_01_1"},
        {"C:\\dvd\\VIDEO_TS\\VIDEO_TS.IFO", "C:\\dvd\\VIDEO_TS", "VIDEO_TS.IFO", ".IFO", "VIDEO_TS"},
        {"name", "", "name", "", "name"},
        {"dir/.hidden", "dir", ".hidden", "", ".hidden"},
        {"/top", "/", "top", "", "top"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(PathFolder(c.path), c.folder) << c.path;
        EXPECT_EQ(PathFileName(c.path), c.name) << c.path;
        EXPECT_EQ(PathExtension(c.path), c.ext) << c.path;
        EXPECT_EQ(PathStem(c.path), c.stem) << c.path;
    }
    std::string sep(1, NativePathSeparator());
    EXPECT_EQ(JoinPath("a", "b"), "a" + sep + "b");
    EXPECT_EQ(JoinPath("a/", "b"), "a/b");
    EXPECT_EQ(JoinPath("", "b"), "b");
}

TEST(PlatformFileSystem, FoldersAndFreeSpace)
{
    ScratchFolder dir;
    EXPECT_TRUE(FolderExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.Path()));
    ASSERT_TRUE(WriteWhole(dir.File("one.vob"), "1"));
    EXPECT_FALSE(FolderExists(dir.File("one.vob")));
    std::vector<std::string> names;
    ASSERT_TRUE(ListFiles(dir.Path(), names));
    EXPECT_EQ(names, std::vector<std::string>{"one.vob"});
    uint64_t free = 0;
    EXPECT_TRUE(GetFreeDiskSpace(dir.Path(), free));
    EXPECT_GT(free, 0u);
}

TEST(PlatformSync, AutoResetEventLetsOneWaiterThroughPerSet)
{
    AutoResetEvent e;
    EXPECT_FALSE(e.Wait(0));
    e.Set();
    EXPECT_TRUE(e.Wait(0));
    EXPECT_FALSE(e.Wait(0)); // reset by the wait
    e.Set();
    e.Reset();
    EXPECT_FALSE(e.Wait(0));
}

TEST(PlatformSync, LockIsReentrant)
{
    RecursiveLock lock;
    ScopedLock a(lock);
    ScopedLock b(lock);
    EXPECT_TRUE(lock.TryLock());
    lock.Unlock();
}

TEST(PlatformThread, RunsJoinsAndRefusesSecondStart)
{
    PlatformThread t;
    AutoResetEvent go;
    std::atomic<int> runs{0};
    uint64_t mainId = PlatformThread::CurrentThreadId();
    std::atomic<uint64_t> workerId{0};
    ASSERT_TRUE(t.Start(
        [&]
        {
            go.Wait();
            workerId = PlatformThread::CurrentThreadId();
            ++runs;
        }));
    EXPECT_TRUE(t.IsStarted());
    EXPECT_FALSE(t.Start([&] { ++runs; }));
    t.SetPriority(ThreadPriority::BelowNormal); // best effort, may be refused
    go.Set();
    t.Join();
    EXPECT_FALSE(t.IsStarted());
    EXPECT_EQ(runs, 1);
    EXPECT_NE(workerId.load(), mainId);
    t.Join(); // nothing held: returns at once
}

TEST(PlatformTime, ClockDoesNotGoBack)
{
    uint64_t a = MonotonicTicks();
    SleepMilliseconds(1);
    EXPECT_GE(MonotonicTicks(), a);
    EXPECT_GT(MonotonicFrequency(), 0u);
}

struct ScriptedUi : UiServices
{
    MessageResult answer = MessageResult::Yes;
    std::string lastText;
    MessageResult ShowMessage(void*, const char* text, const char*, MessageButtons, MessageIcon) override
    {
        lastText = text;
        return answer;
    }
    bool PromptOpenFile(void*, const char*, const char*, const std::string&, std::string& chosen) override
    {
        chosen = "picked.vob";
        return true;
    }
    bool PromptFolder(void*, const char*, const std::string&, std::string&) override { return false; }
};

TEST(UiServices, HeadlessDeclinesAndScriptedAnswersAreUsed)
{
    UiServices& headless = GetUiServices();
    EXPECT_EQ(headless.ShowMessage(nullptr, "Delete?", "Kestrelux", MessageButtons::YesNo, MessageIcon::Question),
              MessageResult::No);
    EXPECT_EQ(headless.ShowMessage(nullptr, "Go?", "Kestrelux", MessageButtons::OkCancel, MessageIcon::Question),
              MessageResult::Cancel);
    std::string chosen;
    EXPECT_FALSE(headless.PromptOpenFile(nullptr, "Open", "*.vob", "", chosen));
    EXPECT_TRUE(chosen.empty());

    ScriptedUi scripted;
    UiServices* before = SetUiServices(&scripted);
    EXPECT_EQ(GetUiServices().ShowMessage(nullptr, "Delete?", "", MessageButtons::YesNo, MessageIcon::Question),
              MessageResult::Yes);
    EXPECT_EQ(scripted.lastText, "Delete?");
    SetUiServices(before);
    EXPECT_EQ(&GetUiServices(), &headless);
}

} // namespace
} // namespace kx
