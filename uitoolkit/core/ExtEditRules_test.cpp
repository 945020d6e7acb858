#include "uitoolkit/core/ExtEditRules.h"

#include <gtest/gtest.h>

namespace
{

using Rules = CExtEditRules;

TEST(ExtEditRules, MenuRowsInOrder)
{
    const UINT expected[] = {57643, 0, 57635, 57634, 57637, 57632, 0, 57642};
    const char* captions[] = {"&Undo", nullptr, "Cu&t", "&Copy", "&Paste", "Cl&ear", nullptr, "Select &All"};
    for (int i = 0; i < Rules::kMenuRowCount; ++i)
    {
        EXPECT_EQ(expected[i], Rules::g_menuRows[i].nCmdID) << i;
        if (captions[i] == nullptr)
            EXPECT_EQ(nullptr, Rules::g_menuRows[i].sCaption) << i;
        else
            EXPECT_STREQ(captions[i], Rules::g_menuRows[i].sCaption) << i;
    }
    EXPECT_TRUE(Rules::IsEditCommand(57642));
    EXPECT_FALSE(Rules::IsEditCommand(0));
    EXPECT_FALSE(Rules::IsEditCommand(57633));
}

TEST(ExtEditRules, EnabledStates)
{
    struct Case
    {
        const char* what;
        Rules::EditState state;
        bool undo, cut, copy, paste, clear, selectAll;
    };
    // read-only, can undo, selection start and end, text length, clipboard text
    const Case cases[] = {
        {"editable with selection", {false, true, 1, 3, 5, true}, true, true, true, true, true, true},
        {"read-only with selection", {true, true, 1, 3, 5, true}, false, false, true, false, false, true},
        {"caret only", {false, false, 2, 2, 5, false}, false, false, false, false, false, true},
        {"all selected", {false, false, 0, 5, 5, true}, false, true, true, true, true, false},
        {"empty text", {false, false, 0, 0, 0, true}, false, false, false, true, false, false},
        {"read-only empty", {true, true, 0, 0, 0, true}, false, false, false, false, false, false},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.undo, Rules::IsCommandEnabled(Rules::CmdUndo, c.state)) << c.what;
        EXPECT_EQ(c.cut, Rules::IsCommandEnabled(Rules::CmdCut, c.state)) << c.what;
        EXPECT_EQ(c.copy, Rules::IsCommandEnabled(Rules::CmdCopy, c.state)) << c.what;
        EXPECT_EQ(c.paste, Rules::IsCommandEnabled(Rules::CmdPaste, c.state)) << c.what;
        EXPECT_EQ(c.clear, Rules::IsCommandEnabled(Rules::CmdClear, c.state)) << c.what;
        EXPECT_EQ(c.selectAll, Rules::IsCommandEnabled(Rules::CmdSelectAll, c.state)) << c.what;
    }
    EXPECT_FALSE(Rules::IsCommandEnabled(57600, Rules::EditState{false, true, 0, 3, 5, true}));
}

TEST(ExtEditRules, MenuCaptions)
{
    struct Case
    {
        const char* resource;
        const char* caption;
    };
    const Case cases[] = {
        {"Copy the selection and put it on the Clipboard\nCopy", "Copy"},
        {"Erase\tthe selection \r\n  Erase\tnow ", "Erase now"},
        {"Select everything", "Select everything"},
        {"Status only\n", "&Paste"},
        {"", "&Paste"},
        {" \t ", "&Paste"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.caption, Rules::MenuCaption(c.resource, "&Paste")) << c.resource;
}

} // namespace
