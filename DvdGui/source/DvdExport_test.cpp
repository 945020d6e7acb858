// The destination checks of the export: the source folder in any spelling,
// a missing folder, old disc files and the free space, each with the
// message the user sees.
#include "DVD/source/DVD.h"
#include "DVD/source/VobData.h"
#include "DvdGui/source/DvdDoc.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const char kSourceRefused[] = "Kestrelux|Can't export disk to source directory.";
const char kOldFilesQuestion[] =
    "Kestrelux|There are *.ifo, *.bup or *.vob files in the destination directory. Remove these files?";

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    ::CloseHandle(h);
}

ULONGLONG g_nFakeFree = 0;
BOOL WINAPI FakeFreeSpace(LPCSTR, PULARGE_INTEGER pAvailable, PULARGE_INTEGER pTotal, PULARGE_INTEGER pFree)
{
    pAvailable->QuadPart = pTotal->QuadPart = pFree->QuadPart = g_nFakeFree;
    return TRUE;
}
DiskFreeSpaceFunction FindFakeFreeSpace()
{
    return FakeFreeSpace;
}
DiskFreeSpaceFunction FindNoFreeSpace()
{
    return nullptr;
}

class ExportChecks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_scratch.Created());
        ::GetCurrentDirectoryA(sizeof(m_oldDir), m_oldDir);
    }
    void TearDown() override
    {
        ::SetCurrentDirectoryA(m_oldDir);
        g_pfnFindDiskFreeSpace = FindDiskFreeSpaceFunction;
        m_dvd.Reset();
        PurgeUnusedVobData();
        for (const std::string& folder : m_folders)
        {
            std::vector<std::string> names;
            kx::ListFiles(folder, names);
            for (const auto& n : names)
                kx::RemoveFile(kx::JoinPath(folder, n));
            kx::RemoveFolder(folder);
        }
    }

    // A private copy of the sample disc, read so that its VOB sets are the
    // registered sources.
    void ReadSourceCopy()
    {
        const std::string fixture = kxtest::FixturePath("ntscmenu", "VIDEO_TS");
        std::vector<std::string> names;
        kx::ListFiles(fixture, names);
        for (const auto& n : names)
        {
            ASSERT_TRUE(::CopyFileA(kx::JoinPath(fixture, n).c_str(), m_scratch.File(n).c_str(), FALSE));
            m_sourceFiles.push_back(m_scratch.File(n));
        }
        kxtest::RecordingLog log;
        ASSERT_TRUE(m_dvd.Read(log, m_scratch.Path().c_str(), nullptr));
    }
    std::string Folder(const std::string& name)
    {
        const std::string path = m_scratch.File(name);
        ::CreateDirectoryA(path.c_str(), nullptr);
        m_folders.push_back(path);
        return path;
    }
    // The check with every box answered as given; the boxes' texts.
    std::vector<std::string> Run(const std::string& folder, uint64_t nNeeded, bool bOldFiles, int nAnswer,
                                 bool& bResult)
    {
        kxgui::DialogAnswerer answerer(nAnswer);
        bResult = CheckExportFolder(folder.c_str(), nNeeded, bOldFiles);
        return answerer.Seen();
    }

    CWinApp m_app{"Kestrelux"};
    kxtest::ScratchFolder m_scratch;
    CDvd m_dvd;
    std::vector<std::string> m_sourceFiles;
    std::vector<std::string> m_folders;
    char m_oldDir[MAX_PATH] = "";
};

TEST_F(ExportChecks, EverySpellingOfTheSourceFolderIsRefusedAndNothingIsDeleted)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ReadSourceCopy();
    const std::string path = m_scratch.Path();
    const size_t nSlash = path.find_last_of('\\');
    const std::string parent = path.substr(0, nSlash), name = path.substr(nSlash + 1);
    char shortPath[MAX_PATH] = "";
    ::GetShortPathNameA(path.c_str(), shortPath, sizeof(shortPath));
    std::string lower = path, slashes = path;
    for (char& c : lower)
        c = char(tolower(static_cast<unsigned char>(c)));
    for (char& c : slashes)
        c = c == '\\' ? '/' : c;
    ASSERT_TRUE(::SetCurrentDirectoryA(parent.c_str()));

    for (const std::string& spelling :
         {path, path + "\\", lower, slashes, name, path + "\\..\\" + name, std::string(shortPath)})
    {
        SCOPED_TRACE(spelling);
        bool bResult = true;
        const std::vector<std::string> seen = Run(spelling, 0, true, IDYES, bResult);
        EXPECT_FALSE(bResult);
        EXPECT_EQ(seen, std::vector<std::string>{kSourceRefused});
        for (const std::string& file : m_sourceFiles)
            EXPECT_TRUE(Exists(file)) << file;
    }
}

TEST_F(ExportChecks, AMissingFolderIsReported)
{
    bool bResult = true;
    const std::vector<std::string> seen = Run(m_scratch.File("missing"), 0, true, IDOK, bResult);
    EXPECT_FALSE(bResult);
    EXPECT_EQ(seen, std::vector<std::string>{"Kestrelux|Path specified for DVD export does not exist."});
}

TEST_F(ExportChecks, OldDiscFilesAreAskedAboutOnceAndKeptOrDeletedByTheAnswer)
{
    g_pfnFindDiskFreeSpace = FindNoFreeSpace;
    struct Case
    {
        int nAnswer;
        bool bResult;
        bool bKept;
    } cases[] = {{IDNO, true, true}, {IDYES, true, false}, {IDCANCEL, false, true}};
    int n = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.nAnswer);
        const std::string out = Folder("out" + std::to_string(n++));
        const std::vector<std::string> files = {out + "\\a.ifo", out + "\\B.IFO", out + "\\VIDEO_TS.BUP",
                                                out + "\\VTS_01_1.VOB"};
        for (const std::string& file : files)
            Touch(file);
        Touch(out + "\\keep.txt");
        bool bResult = !c.bResult;
        const std::vector<std::string> seen = Run(out, 0, true, c.nAnswer, bResult);
        EXPECT_EQ(bResult, c.bResult);
        EXPECT_EQ(seen, std::vector<std::string>{kOldFilesQuestion});
        for (const std::string& file : files)
            EXPECT_EQ(Exists(file), c.bKept) << file;
        EXPECT_TRUE(Exists(out + "\\keep.txt"));
    }
}

TEST_F(ExportChecks, TooLittleFreeSpaceReportsBothSizesInWholeMegabytes)
{
    const std::string out = Folder("out");
    g_pfnFindDiskFreeSpace = FindFakeFreeSpace;
    g_nFakeFree = 10 * 1048576ull + 1048575;
    bool bResult = true;
    std::vector<std::string> seen = Run(out, 100 * 1048576ull + 5, true, IDOK, bResult);
    EXPECT_FALSE(bResult);
    EXPECT_EQ(seen, std::vector<std::string>{"Kestrelux|Not enough space in " + out +
                                             "\\. Needed - 100 Mb, disk free size - 10 Mb."});

    // exactly enough, or no way to ask: the export goes on
    g_nFakeFree = 100 * 1048576ull + 5;
    seen = Run(out, 100 * 1048576ull + 5, true, IDOK, bResult);
    EXPECT_TRUE(bResult);
    EXPECT_TRUE(seen.empty());
    g_pfnFindDiskFreeSpace = FindNoFreeSpace;
    seen = Run(out, ~0ull, true, IDOK, bResult);
    EXPECT_TRUE(bResult);
}

} // namespace
