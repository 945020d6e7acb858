// The application's profile in the registry and its command line.
#include "framework/win/CommandLineInfo.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const char kKey[] = "KxProfileTests";

class ProfileTest : public ::testing::Test
{
protected:
    void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KxProfileTests"); }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KxProfileTests"); }

    // What the registry itself holds, read without the framework.
    static bool ReadRaw(const char* section, const char* entry, DWORD* pType, std::string* pData)
    {
        std::string path = std::string("Software\\KxProfileTests\\Kestrelux\\") + section;
        HKEY hKey;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        char buf[256];
        DWORD cb = sizeof(buf);
        bool ok = ::RegQueryValueExA(hKey, entry, nullptr, pType, reinterpret_cast<BYTE*>(buf), &cb) == ERROR_SUCCESS;
        ::RegCloseKey(hKey);
        if (ok)
            pData->assign(buf, cb);
        return ok;
    }
};

TEST_F(ProfileTest, ValuesLiveUnderSoftwareKeyAndApplication)
{
    CWinApp app("Kestrelux");
    app.SetRegistryKey(kKey);
    EXPECT_STREQ(app.m_pszRegistryKey, kKey);
    EXPECT_STREQ(app.m_pszProfileName, "Kestrelux");

    EXPECT_TRUE(app.WriteProfileInt("Settings", "MF_MX", 1));
    EXPECT_TRUE(app.WriteProfileString("Settings", "MF_ID", "C:\\dvd\\VIDEO_TS"));

    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(ReadRaw("Settings", "MF_MX", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, std::string("\x01\0\0\0", 4));
    ASSERT_TRUE(ReadRaw("Settings", "MF_ID", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, std::string("C:\\dvd\\VIDEO_TS\0", 16));

    EXPECT_EQ(app.GetProfileInt("Settings", "MF_MX", 7), 1u);
    EXPECT_STREQ(app.GetProfileString("Settings", "MF_ID"), "C:\\dvd\\VIDEO_TS");
}

TEST_F(ProfileTest, MissingOrMistypedValuesGiveTheDefault)
{
    CWinApp app("Kestrelux");
    app.SetRegistryKey(kKey);
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("Settings", "MF_PM", 4)), 4);
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("Settings", "X", -1)), -1);
    EXPECT_STREQ(app.GetProfileString("Settings", "MF_ED", "none"), "none");
    EXPECT_STREQ(app.GetProfileString("Settings", "MF_ED"), "");

    // a number asked for as text and text asked for as a number
    app.WriteProfileInt("Settings", "N", 3);
    app.WriteProfileString("Settings", "S", "3");
    EXPECT_STREQ(app.GetProfileString("Settings", "N", "d"), "d");
    EXPECT_EQ(app.GetProfileInt("Settings", "S", 9), 9u);
}

TEST_F(ProfileTest, AStoredTextWithoutTerminatorIsReadWhole)
{
    CWinApp app("Kestrelux");
    app.SetRegistryKey(kKey);
    HKEY hSection = app.GetSectionKey("Settings");
    ASSERT_NE(hSection, nullptr);
    ::RegSetValueExA(hSection, "Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
    ::RegCloseKey(hSection);
    EXPECT_STREQ(app.GetProfileString("Settings", "Raw"), "abc");
}

TEST_F(ProfileTest, WritingNullRemovesTheEntryOrTheSection)
{
    CWinApp app("Kestrelux");
    app.SetRegistryKey(kKey);
    app.WriteProfileString("Recent File List", "File1", "a.kxp");
    app.WriteProfileString("Recent File List", "File2", "b.kxp");
    EXPECT_TRUE(app.WriteProfileString("Recent File List", "File1", nullptr));
    EXPECT_STREQ(app.GetProfileString("Recent File List", "File1", "gone"), "gone");
    EXPECT_STREQ(app.GetProfileString("Recent File List", "File2"), "b.kxp");
    EXPECT_TRUE(app.WriteProfileString("Recent File List", nullptr, nullptr));
    EXPECT_STREQ(app.GetProfileString("Recent File List", "File2", "gone"), "gone");
}

TEST_F(ProfileTest, WithoutANameTheApplicationTakesItsTitleString)
{
    // The test program has no title string of its own: the module's name.
    CWinApp app;
    app.SetRegistryKey(kKey);
    ASSERT_NE(app.m_pszAppName, nullptr);
    EXPECT_STREQ(app.m_pszProfileName, app.m_pszAppName);
    EXPECT_GT(std::string(app.m_pszAppName).size(), 0u);
}

TEST(CommandLineTest, NoPathAsksForANewDocumentAndAPathOpensIt)
{
    const struct
    {
        const char* cmdLine;
        int shellCommand;
        const char* fileName;
    } cases[] = {
        {"", CCommandLineInfo::FileNew, ""},
        {"   ", CCommandLineInfo::FileNew, ""},
        {"C:\\dvd\\project.kxp", CCommandLineInfo::FileOpen, "C:\\dvd\\project.kxp"},
        {"\"C:\\My Discs\\VIDEO_TS\\VTS_01_1.VOB\"", CCommandLineInfo::FileOpen,
         "C:\\My Discs\\VIDEO_TS\\VTS_01_1.VOB"},
        {"/p \"C:\\a b.kxp\"", CCommandLineInfo::FilePrint, "C:\\a b.kxp"},
        {"-Embedding", CCommandLineInfo::FileNew, ""},
        {"C:\\dvd", CCommandLineInfo::FileOpen, "C:\\dvd"},
    };
    for (const auto& c : cases)
    {
        CWinApp app("Kestrelux");
        char buffer[256];
        strcpy(buffer, c.cmdLine);
        app.m_lpCmdLine = buffer;
        CCommandLineInfo info;
        app.ParseCommandLine(info);
        EXPECT_EQ(info.m_nShellCommand, c.shellCommand) << c.cmdLine;
        EXPECT_STREQ(info.m_strFileName, c.fileName) << c.cmdLine;
    }
}

TEST(CommandLineTest, QuotesAndBackslashesSplitAsTheRuntimeSplitsThem)
{
    CStringArray args;
    CCommandLineInfo::SplitCommandLine("a \"b c\" d\\\\\"e f\" g\\\"h \"\" i\\j", args);
    ASSERT_EQ(args.GetSize(), 6);
    EXPECT_STREQ(args[0], "a");
    EXPECT_STREQ(args[1], "b c");
    EXPECT_STREQ(args[2], "d\\e f");
    EXPECT_STREQ(args[3], "g\"h");
    EXPECT_STREQ(args[4], "");
    EXPECT_STREQ(args[5], "i\\j");
    CCommandLineInfo::SplitCommandLine(nullptr, args);
    EXPECT_EQ(args.GetSize(), 0);
}

class CQuickApp : public CWinApp
{
public:
    explicit CQuickApp(BOOL bStart) : CWinApp("Kestrelux"), m_bStart(bStart) {}
    int exits = 0;
    CString cmdLineSeen;
    BOOL InitInstance() override
    {
        cmdLineSeen = m_lpCmdLine;
        if (!m_bStart)
            return FALSE;
        auto* pFrame = new CFrameWnd;
        if (!pFrame->Create(nullptr, "quick", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 100)))
            return FALSE;
        m_pMainWnd = pFrame;
        pFrame->ShowWindow(m_nCmdShow);
        // The user closes the window as soon as the loop runs.
        pFrame->PostMessage(WM_CLOSE);
        return TRUE;
    }
    int ExitInstance() override
    {
        ++exits;
        return CWinApp::ExitInstance();
    }

private:
    BOOL m_bStart;
};

TEST(AppMainTest, TheProgramRunsUntilItsMainWindowCloses)
{
    char cmdLine[] = "C:\\dvd\\project.kxp";
    for (BOOL bStart : {TRUE, FALSE})
    {
        CQuickApp app(bStart);
        EXPECT_EQ(AfxWinMain(::GetModuleHandleA(nullptr), nullptr, cmdLine, SW_SHOWNORMAL), 0);
        EXPECT_EQ(app.exits, 1);
        EXPECT_STREQ(app.cmdLineSeen, cmdLine);
        EXPECT_EQ(app.m_pMainWnd, nullptr);
    }
}

} // namespace
