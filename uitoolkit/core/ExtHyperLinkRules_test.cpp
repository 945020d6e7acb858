#include "uitoolkit/core/ExtHyperLinkRules.h"

#include <gtest/gtest.h>

namespace
{

using Rules = CExtHyperLinkRules;

TEST(ExtHyperLinkRules, WebAddresses)
{
    struct Case
    {
        const char* target;
        bool web;
    };
    const Case cases[] = {
        {"www.x.y", true},          {"WEB.example.org", true},
        {"http://a", true},         {"HTTP://a", true},
        {"file://c:/a.htm", true},  {"https://a", false},
        {"c:\\docs\\a.htm", false}, {"www", false},
        {"http:/a", false},         {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.web, Rules::IsWebAddress(c.target)) << c.target;
}

TEST(ExtHyperLinkRules, VerbsAndKeys)
{
    EXPECT_STREQ("open", Rules::VerbText(0));
    EXPECT_STREQ("edit", Rules::VerbText(1));
    EXPECT_STREQ("print", Rules::VerbText(2));
    EXPECT_STREQ("htmlfile\\shell\\print\\command", Rules::CommandKeyPath("htmlfile", 2));
}

TEST(ExtHyperLinkRules, QuotedArguments)
{
    struct Case
    {
        const char* arg;
        const char* quoted;
    };
    const Case cases[] = {
        {"c:\\my docs\\a.htm", "\"c:\\my docs\\a.htm\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"c:\\dir\\", "\"c:\\dir\\\\\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},
        {"", "\"\""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.quoted, Rules::QuoteArgument(c.arg)) << c.arg;
}

TEST(ExtHyperLinkRules, CommandLines)
{
    struct Case
    {
        const char* command;
        const char* target;
        const char* line;
    };
    const Case cases[] = {
        {"\"c:\\b\\browser.exe\" \"%1\"", "c:\\x.htm", "\"c:\\b\\browser.exe\"  \"c:\\x.htm\""},
        {"browser.exe %1 -new", "a b", "browser.exe  \"a b\""},
        {"browser.exe", "a", "browser.exe \"a\""},
        {"viewer.exe \"%1\"", "it's \"odd\" & bad", "viewer.exe  \"it's \\\"odd\\\" & bad\""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.line, Rules::BuildCommandLine(c.command, c.target)) << c.command;
}

TEST(ExtHyperLinkRules, ErrorTexts)
{
    EXPECT_STREQ("Unable to open hyper link:\nFile was not found.", Rules::OpenErrorText(2));
    EXPECT_STREQ("Unable to open hyper link:\nDLL was not found.", Rules::OpenErrorText(32));
    EXPECT_STREQ("Unable to open hyper link:\nUnknown Error (42=0x2A) occurred.", Rules::OpenErrorText(42));
}

} // namespace
