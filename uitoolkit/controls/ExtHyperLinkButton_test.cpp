// Hyperlink buttons: the order in which the three ways of opening are
// tried for web addresses and plain paths, the visited colour after a
// successful open, and the command line built from a registered ".htm"
// command under a private key. Nothing is ever launched: the openers are
// recorded by a subclass.
#include "uitoolkit/controls/ExtHyperLinkButton.h"

#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/support/ControlStage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class CRecordingLink : public CExtHyperLinkButton
{
public:
    std::vector<std::string> tried;
    std::string target;
    const char* succeeding = ""; // the opener that succeeds
    bool OpenByUrlObject(const CString& sTarget, int, bool) override { return Try("url", sTarget); }
    bool OpenByShellExecute(const CString& sTarget, int, bool) override { return Try("shell", sTarget); }
    bool OpenByRegistryCommand(const CString& sTarget, int, bool) override { return Try("registry", sTarget); }

private:
    bool Try(const char* sWay, const CString& sTarget)
    {
        tried.push_back(sWay);
        target = sTarget;
        return tried.back() == succeeding;
    }
};

class ExtHyperLinkTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager)); }
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }

    kxtest::ControlStage m_stage{300, 120, "Hyperlinks"};
};

TEST_F(ExtHyperLinkTest, WebAddressesTryTheShortcutObjectFirst)
{
    CRecordingLink link;
    ASSERT_TRUE(link.Create("  www.x.y ", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 200, 30), &m_stage.Parent(), 601));
    link.OnClick(false, false);
    EXPECT_EQ((std::vector<std::string>{"url", "shell", "registry"}), link.tried);
    EXPECT_EQ("www.x.y", link.target);
    EXPECT_EQ(0, link.m_bLinkFlags & CExtHyperLinkButton::LINK_VISITED);

    link.tried.clear();
    link.succeeding = "shell";
    link.OnClick(false, false);
    EXPECT_EQ((std::vector<std::string>{"url", "shell"}), link.tried);
    EXPECT_NE(0, link.m_bLinkFlags & CExtHyperLinkButton::LINK_VISITED);
    EXPECT_EQ(RGB(128, 0, 128), link.GetLinkTextColor(true, true, true, false, false, false));
    EXPECT_EQ(RGB(255, 0, 0), link.GetLinkTextColor(true, true, true, false, true, false));
    EXPECT_EQ(RGB(0, 0, 255), link.GetLinkTextColor(false, true, true, false, false, false));
}

TEST_F(ExtHyperLinkTest, PlainPathsTryTheRegisteredCommandFirst)
{
    CRecordingLink link;
    ASSERT_TRUE(link.Create("Read me", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 200, 30), &m_stage.Parent(), 601));
    link.m_strURL = "c:\\docs\\read me.htm";
    link.OnClick(false, false);
    EXPECT_EQ((std::vector<std::string>{"registry", "url", "shell"}), link.tried);
    EXPECT_EQ("c:\\docs\\read me.htm", link.target);
}

TEST_F(ExtHyperLinkTest, ClickAsButtonOpensNothingAndMarksVisited)
{
    CRecordingLink link;
    ASSERT_TRUE(link.Create("www.x.y", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 200, 30), &m_stage.Parent(), 601));
    link.m_bLinkFlags |= CExtHyperLinkButton::LINK_CLICK_AS_BUTTON;
    link.OnClick(false, false);
    EXPECT_TRUE(link.tried.empty());
    EXPECT_NE(0, link.m_bLinkFlags & CExtHyperLinkButton::LINK_VISITED);
}

// Fake document classes under a private key of the current user.
class FakeClasses
{
public:
    FakeClasses()
    {
        ::RegCreateKeyExA(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_hKey, nullptr);
        Set(".htm", REG_SZ, "kxtesthtml");
        Set("kxtesthtml\\shell\\open\\command", REG_SZ, "\"c:\\b\\browser.exe\" \"%1\"");
        Set("kxtesthtml\\shell\\print\\command", REG_EXPAND_SZ, "%KX_LINK_TOOL%\\print.exe /p %1");
    }
    ~FakeClasses()
    {
        ::RegCloseKey(m_hKey);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
    }
    HKEY Key() const { return m_hKey; }

private:
    void Set(const char* sKey, DWORD dwType, const char* sValue)
    {
        HKEY hKey = nullptr;
        ::RegCreateKeyExA(m_hKey, sKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
        ::RegSetValueExA(hKey, nullptr, 0, dwType, reinterpret_cast<const BYTE*>(sValue),
                         static_cast<DWORD>(strlen(sValue) + 1));
        ::RegCloseKey(hKey);
    }
    static constexpr const char* kRoot = "Software\\KestreluxTests\\HyperLinkClasses";
    HKEY m_hKey = nullptr;
};

TEST_F(ExtHyperLinkTest, RegisteredCommandGetsTheQuotedTarget)
{
    FakeClasses classes;
    ASSERT_NE(nullptr, classes.Key());
    ::SetEnvironmentVariableA("KX_LINK_TOOL", "c:\\tools");
    CExtHyperLinkButton link;
    link.m_hKeyClassesRoot = classes.Key();
    CString sLine;
    ASSERT_TRUE(link.GetRegistryCommandLine("c:\\my docs\\a.htm", CExtHyperLinkButton::VERB_OPEN, sLine));
    EXPECT_STREQ("\"c:\\b\\browser.exe\"  \"c:\\my docs\\a.htm\"", sLine);
    ASSERT_TRUE(link.GetRegistryCommandLine("say \"hi\" & bye", CExtHyperLinkButton::VERB_OPEN, sLine));
    EXPECT_STREQ("\"c:\\b\\browser.exe\"  \"say \\\"hi\\\" & bye\"", sLine);
    ASSERT_TRUE(link.GetRegistryCommandLine("d:\\x.htm", CExtHyperLinkButton::VERB_PRINT, sLine));
    EXPECT_STREQ("c:\\tools\\print.exe /p  \"d:\\x.htm\"", sLine);
    // no edit command registered: that way fails quietly
    EXPECT_FALSE(link.GetRegistryCommandLine("d:\\x.htm", CExtHyperLinkButton::VERB_EDIT, sLine));
    EXPECT_FALSE(link.OpenByRegistryCommand("d:\\x.htm", CExtHyperLinkButton::VERB_EDIT, false));
    ::SetEnvironmentVariableA("KX_LINK_TOOL", nullptr);
}

} // namespace
