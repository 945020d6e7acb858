// Document templates' strings and file matching, the recent-file list's
// display names and the shell registration of the document type.
#include "framework/win/DocTemplate.h"
#include "framework/win/Document.h"
#include "framework/win/RecentFileList.h"
#include "framework/win/WinThread.h"
#include "framework/win/testapp/TestAppRes.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(DocTemplateTest, TheDocumentStringGivesItsFields)
{
    CMultiDocTemplate tmpl(IDR_PROJECTTYPE, nullptr, nullptr, nullptr);
    tmpl.LoadTemplate();
    EXPECT_NE(tmpl.m_hMenuShared, nullptr);
    EXPECT_NE(tmpl.m_hAccelTable, nullptr);
    const struct
    {
        CDocTemplate::DocStringIndex index;
        const char* text;
    } fields[] = {
        {CDocTemplate::windowTitle, ""},
        {CDocTemplate::docName, "project"},
        {CDocTemplate::fileNewName, "KLX Project"},
        {CDocTemplate::filterName, "Kestrelux Project Files (*.kxp)"},
        {CDocTemplate::filterExt, ".kxp"},
        {CDocTemplate::regFileTypeId, "Kestrelux.Document"},
        {CDocTemplate::regFileTypeName, "Kestrelux Document"},
    };
    for (const auto& f : fields)
    {
        CString text;
        EXPECT_TRUE(tmpl.GetDocString(text, f.index)) << f.index;
        EXPECT_STREQ(text, f.text) << f.index;
    }
    // a string with fewer fields answers FALSE for the missing ones
    CMultiDocTemplate shortTmpl(IDR_MAINFRAME, nullptr, nullptr, nullptr);
    shortTmpl.LoadTemplate();
    CString text;
    EXPECT_TRUE(shortTmpl.GetDocString(text, CDocTemplate::windowTitle));
    EXPECT_STREQ(text, "KxFrameTest");
    EXPECT_FALSE(shortTmpl.GetDocString(text, CDocTemplate::filterExt));
    EXPECT_STREQ(text, "");
}

TEST(DocTemplateTest, FilesMatchByExtension)
{
    CMultiDocTemplate tmpl(IDR_PROJECTTYPE, nullptr, nullptr, nullptr);
    tmpl.LoadTemplate();
    const struct
    {
        const char* path;
        CDocTemplate::Confidence match;
    } cases[] = {
        {"C:\\dvd\\a.kxp", CDocTemplate::yesAttemptNative},
        {"C:\\dvd\\A.KXP", CDocTemplate::yesAttemptNative},
        {"C:\\dvd\\VIDEO_TS.IFO", CDocTemplate::yesAttemptForeign},
        {"C:\\dvd.kxp\\noext", CDocTemplate::yesAttemptForeign},
    };
    for (const auto& c : cases)
    {
        CDocument* pOpen = reinterpret_cast<CDocument*>(1);
        EXPECT_EQ(tmpl.MatchDocType(c.path, pOpen), c.match) << c.path;
        EXPECT_EQ(pOpen, nullptr);
    }
}

TEST(RecentFileListTest, DisplayNamesAreShortAndKeepTheFileName)
{
    CRecentFileList list(0, "Recent File List", "File%d", 4, 24);
    list.Add("C:\\projects\\short.kxp");
    list.Add("C:\\projects\\deep\\folder\\below\\name.kxp");
    list.Add("C:\\projects\\a_file_name_longer_than_the_limit.kxp");
    list.Add("C:\\projects\\short.kxp"); // again: moves to the top, no copy
    EXPECT_STREQ(list[0], "C:\\projects\\short.kxp");
    EXPECT_STREQ(list[1], "C:\\projects\\a_file_name_longer_than_the_limit.kxp");
    EXPECT_STREQ(list[2], "C:\\projects\\deep\\folder\\below\\name.kxp");
    EXPECT_STREQ(list[3], "");

    const struct
    {
        int index;
        const char* curDir;
        const char* shown;
    } cases[] = {
        {0, "C:\\projects\\", "short.kxp"},
        {0, "C:\\other\\", "C:\\projects\\short.kxp"},
        {1, "", "a_file_name_longer_than_the_limit.kxp"},
        {2, "", "C:\\...\\below\\name.kxp"},
    };
    for (const auto& c : cases)
    {
        CString shown;
        ASSERT_TRUE(list.GetDisplayName(shown, c.index, c.curDir, static_cast<int>(strlen(c.curDir))));
        EXPECT_STREQ(shown, c.shown);
    }
    CString shown;
    EXPECT_FALSE(list.GetDisplayName(shown, 3, "", 0));
    EXPECT_FALSE(list.GetDisplayName(shown, 9, "", 0));

    list.Remove(0);
    EXPECT_STREQ(list[0], "C:\\projects\\a_file_name_longer_than_the_limit.kxp");
    EXPECT_STREQ(list[2], "");
}

TEST(DocTemplateTest, TheDocumentTypeIsRegisteredWithTheShellPerUser)
{
    CWinApp app("Kestrelux");
    app.AddDocTemplate(new CMultiDocTemplate(IDR_PROJECTTYPE, nullptr, nullptr, nullptr));
    app.RegisterShellFileTypes(FALSE);
    auto readDefault = [](const char* key)
    {
        char value[MAX_PATH * 2] = "";
        LONG cb = sizeof(value);
        std::string path = std::string("Software\\Classes\\") + key;
        if (::RegQueryValueA(HKEY_CURRENT_USER, path.c_str(), value, &cb) != ERROR_SUCCESS)
            return std::string("(missing)");
        return std::string(value);
    };
    EXPECT_EQ(readDefault(".kxp"), "Kestrelux.Document");
    EXPECT_EQ(readDefault("Kestrelux.Document"), "Kestrelux Document");
    std::string command = readDefault("Kestrelux.Document\\shell\\open\\command");
    EXPECT_NE(command.find(".exe\" \"%1\""), std::string::npos) << command;
    EXPECT_EQ(readDefault("Kestrelux.Document\\shell\\print\\command"), "(missing)");
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\Kestrelux.Document");
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\.kxp");
    app.ExitInstance();
}

} // namespace
