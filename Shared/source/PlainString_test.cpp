#include <gtest/gtest.h>

#include "Shared/source/PlainString.h"

namespace
{

TEST(CPlainString, AlwaysOwnsAText)
{
    CPlainString fromNothing(static_cast<const char*>(nullptr));
    ASSERT_NE(fromNothing.GetText(), nullptr);
    EXPECT_STREQ(fromNothing, "");
    CPlainString empty;
    EXPECT_EQ(empty.GetLength(), 0);
    CPlainString fromCString(CString("SPRM 1"));
    EXPECT_STREQ(fromCString, "SPRM 1");
}

TEST(CPlainString, AssignAppendAndCopy)
{
    CPlainString s("Set ");
    const char* before = s.GetText();
    s.Append("");
    s.Append(nullptr);
    EXPECT_EQ(s.GetText(), before); // an empty append leaves the buffer alone
    s.Append("GPRM 3");
    EXPECT_STREQ(s, "Set GPRM 3");
    EXPECT_EQ(s.GetLength(), 10);
    s.Assign("abcdef", 3);
    EXPECT_STREQ(s, "abc");
    s.Assign(nullptr, -1);
    EXPECT_STREQ(s, "");
    CPlainString t("x");
    t = t;
    EXPECT_STREQ(t, "x");
    t = t.GetText();
    EXPECT_STREQ(t, "x");
    t.Append(t);
    EXPECT_STREQ(t, "xx");
    CPlainString u(t);
    u = "y";
    EXPECT_STREQ(t, "xx");
    EXPECT_STREQ(u, "y");
}

} // namespace
