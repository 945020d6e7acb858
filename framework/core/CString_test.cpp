#include "framework/core/CString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace
{

struct StringCase
{
    const char* name;
    const char* input;
    std::function<CString(CString&)> op;
    const char* expected;
};

CString Num(int n)
{
    CString s;
    s.Format("%d", n);
    return s;
}

const StringCase kCases[] = {
    {"Left", "abcdef", [](CString& s) { return s.Left(2); }, "ab"},
    {"LeftPastEnd", "abc", [](CString& s) { return s.Left(10); }, "abc"},
    {"LeftNegative", "abc", [](CString& s) { return s.Left(-1); }, ""},
    {"Mid", "abcdef", [](CString& s) { return s.Mid(2, 3); }, "cde"},
    {"MidToEnd", "abcdef", [](CString& s) { return s.Mid(4); }, "ef"},
    {"MidStartPastEnd", "abc", [](CString& s) { return s.Mid(7, 2); }, ""},
    {"MidCountPastEnd", "abcdef", [](CString& s) { return s.Mid(4, 100); }, "ef"},
    {"MidNegativeStart", "abc", [](CString& s) { return s.Mid(-3, 2); }, "ab"},
    {"Right", "abcdef", [](CString& s) { return s.Right(2); }, "ef"},
    {"RightPastStart", "abc", [](CString& s) { return s.Right(9); }, "abc"},
    {"FindChar", "a/b/c", [](CString& s) { return Num(s.Find('/')); }, "1"},
    {"FindCharFrom", "a/b/c", [](CString& s) { return Num(s.Find('/', 2)); }, "3"},
    {"FindCharMissing", "abc", [](CString& s) { return Num(s.Find('x')); }, "-1"},
    {"FindCharStartPastEnd", "abc", [](CString& s) { return Num(s.Find('a', 5)); }, "-1"},
    {"FindText", "VTS_01_1.VOB", [](CString& s) { return Num(s.Find(".VOB")); }, "8"},
    {"FindTextFrom", "abab", [](CString& s) { return Num(s.Find("ab", 1)); }, "2"},
    {"FindEmptyText", "abc", [](CString& s) { return Num(s.Find("")); }, "0"},
    {"ReverseFind", "C:\\a\\b.ifo", [](CString& s) { return Num(s.ReverseFind('\\')); }, "4"},
    {"ReverseFindMissing", "abc", [](CString& s) { return Num(s.ReverseFind('\\')); }, "-1"},
    {"ReplaceChar", "a/b/c",
     [](CString& s)
     {
         s.Replace('/', '\\');
         return s;
     },
     "a\\b\\c"},
    {"ReplaceCharCount", "a/b/c", [](CString& s) { return Num(s.Replace('/', '\\')); }, "2"},
    {"ReplaceText", "one two one",
     [](CString& s)
     {
         s.Replace("one", "three");
         return s;
     },
     "three two three"},
    {"ReplaceTextShorter", "aaaa",
     [](CString& s)
     {
         s.Replace("aa", "b");
         return s;
     },
     "bb"},
    {"ReplaceTextCount", "aaaa", [](CString& s) { return Num(s.Replace("aa", "b")); }, "2"},
    {"ReplaceTextByNothing", "a--b",
     [](CString& s)
     {
         s.Replace("-", "");
         return s;
     },
     "ab"},
    {"ReplaceEmptyOld", "abc", [](CString& s) { return Num(s.Replace("", "x")); }, "0"},
    {"ReplaceWithSelfContaining", "ab",
     [](CString& s)
     {
         s.Replace("a", "aa");
         return s;
     },
     "aab"},
    {"Remove", "a b c ",
     [](CString& s)
     {
         s.Remove(' ');
         return s;
     },
     "abc"},
    {"RemoveCount", "a b c ", [](CString& s) { return Num(s.Remove(' ')); }, "3"},
    {"TrimLeft", " \t\r\nabc ", [](CString& s) { return s.TrimLeft(); }, "abc "},
    {"TrimRight", " abc \t\r\n", [](CString& s) { return s.TrimRight(); }, " abc"},
    {"TrimAllSpace", "   ", [](CString& s) { return s.TrimRight(); }, ""},
    {"TrimLeftChar", "000120", [](CString& s) { return s.TrimLeft('0'); }, "120"},
    {"TrimRightChar", "1.500", [](CString& s) { return s.TrimRight('0'); }, "1.5"},
    {"TrimLeftSet", "-+-x+", [](CString& s) { return s.TrimLeft("+-"); }, "x+"},
    {"TrimRightSet", "x.;.;", [](CString& s) { return s.TrimRight(".;"); }, "x"},
    {"MakeLower", "VTS_01.Ifo", [](CString& s) { return s.MakeLower(); }, "vts_01.ifo"},
    {"MakeUpper", "vts_01.Ifo", [](CString& s) { return s.MakeUpper(); }, "VTS_01.IFO"},
    {"AppendText", "ab", [](CString& s) { return s += "cd"; }, "abcd"},
    {"AppendChar", "ab", [](CString& s) { return s += 'c'; }, "abc"},
    {"AppendSelf", "ab", [](CString& s) { return s += s; }, "abab"},
    {"AssignOwnTail", "abcdef",
     [](CString& s)
     {
         s = (LPCSTR)s + 3;
         return s;
     },
     "def"},
    {"ConcatTextFirst", "b", [](CString& s) { return "a" + s; }, "ab"},
    {"ConcatCharBoth", "b", [](CString& s) { return 'a' + s + 'c'; }, "abc"},
    {"RepeatChar", "", [](CString&) { return CString('-', 3); }, "---"},
    {"CountedText", "", [](CString&) { return CString("abcdef", 3); }, "abc"},
    {"FormatMixed", "",
     [](CString& s)
     {
         s.Format("%s %02d %5.1f %X %c", "vts", 7, 2.0, 255u, 'z');
         return s;
     },
     "vts 07   2.0 FF z"},
    {"FormatWideIntegers", "",
     [](CString& s)
     {
         s.Format("%lld %zu %llu", -5LL, (size_t)7, 18446744073709551615ULL);
         return s;
     },
     "-5 7 18446744073709551615"},
    {"FormatOwnText", "x",
     [](CString& s)
     {
         s.Format("[%s]", (LPCSTR)s);
         return s;
     },
     "[x]"},
    {"FormatEmptyResult", "abc",
     [](CString& s)
     {
         s.Format("%s", "");
         return s;
     },
     ""},
    {"GetAtPastEnd", "ab", [](CString& s) { return CString(s.GetAt(2) == '\0' ? "nul" : "char"); }, "nul"},
    {"SetAt", "abc",
     [](CString& s)
     {
         s.SetAt(1, 'X');
         return s;
     },
     "aXc"},
    {"SetAtPastEndIgnored", "abc",
     [](CString& s)
     {
         s.SetAt(3, 'X');
         s.SetAt(-1, 'X');
         return s;
     },
     "abc"},
    {"Index", "abc", [](CString& s) { return CString(s[2]); }, "c"},
    {"Compare", "abc", [](CString& s) { return Num(s.Compare("abd") < 0); }, "1"},
    {"CompareNoCaseEqual", "VIDEO_TS", [](CString& s) { return Num(s.CompareNoCase("video_ts")); }, "0"},
    {"CompareNoCaseOrder", "a", [](CString& s) { return Num(s.CompareNoCase("B") < 0); }, "1"},
    {"CompareNoCasePrefix", "abc", [](CString& s) { return Num(s.CompareNoCase("AB") > 0); }, "1"},
    {"Empty", "abc",
     [](CString& s)
     {
         s.Empty();
         return Num(s.IsEmpty());
     },
     "1"},
};

class CStringOps : public ::testing::TestWithParam<StringCase>
{
};

TEST_P(CStringOps, GivesExpectedText)
{
    const StringCase& c = GetParam();
    CString s(c.input);
    CString result = c.op(s);
    EXPECT_STREQ(c.expected, (LPCSTR)result);
    EXPECT_EQ((int)strlen(c.expected), result.GetLength());
}

INSTANTIATE_TEST_SUITE_P(Table, CStringOps, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<StringCase>& info) { return std::string(info.param.name); });

TEST(CString, ComparisonOperatorsAgreeWithStrcmp)
{
    CString a("abc"), b("abd");
    EXPECT_TRUE(a == "abc");
    EXPECT_TRUE("abc" == a);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b > "abc");
    EXPECT_TRUE(a <= "abc");
    EXPECT_TRUE("abd" >= a);
    EXPECT_FALSE(a == b);
}

TEST(CString, FormatHandlesTextLongerThanAnyFixedBuffer)
{
    std::string big(100000, 'q');
    CString s;
    s.Format("<%s>", big.c_str());
    ASSERT_EQ(100002, s.GetLength());
    EXPECT_EQ('<', s[0]);
    EXPECT_EQ('q', s[50000]);
    EXPECT_EQ('>', s[100001]);
}

TEST(CString, CopiesAreIndependent)
{
    CString a("one");
    CString b(a);
    b.SetAt(0, 'O');
    CString c;
    c = a;
    c += "!";
    EXPECT_STREQ("one", a);
    EXPECT_STREQ("One", b);
    EXPECT_STREQ("one!", c);
    CString moved(std::move(c));
    EXPECT_STREQ("one!", moved);
}

TEST(CString, GetBufferAndReleaseBufferFindTheTerminator)
{
    CString s;
    char* p = s.GetBuffer(16);
    strcpy(p, "filled");
    s.ReleaseBuffer();
    EXPECT_STREQ("filled", s);
    EXPECT_EQ(6, s.GetLength());

    p = s.GetBuffer(0); // an existing text stays in the buffer
    EXPECT_STREQ("filled", p);
    s.ReleaseBuffer(3);
    EXPECT_STREQ("fil", s);
}

TEST(CString, ReleaseBufferWithoutTerminatorStopsAtTheBuffer)
{
    CString s;
    char* p = s.GetBuffer(4);
    memset(p, 'x', 5); // the caller overwrote the terminator too
    s.ReleaseBuffer();
    EXPECT_EQ(4, s.GetLength());
    EXPECT_STREQ("xxxx", s);
}

TEST(CString, GetBufferSetLengthFixesTheLength)
{
    CString s("ab");
    char* p = s.GetBufferSetLength(5);
    EXPECT_EQ(5, s.GetLength());
    memcpy(p + 2, "cde", 3);
    EXPECT_STREQ("abcde", s);
    s.ReleaseBuffer(1);
    EXPECT_STREQ("a", s);
}

TEST(CString, EmptyStringsGiveWritableBuffers)
{
    CString s;
    EXPECT_STREQ("", s);
    char* p = s.GetBuffer(0);
    ASSERT_NE(nullptr, p);
    p[0] = '\0';
    s.ReleaseBuffer();
    EXPECT_TRUE(s.IsEmpty());
}

const char* TestTable(UINT nID)
{
    switch (nID)
    {
    case 100: return "Can't open %s";
    case 101: return "";
    default: return nullptr;
    }
}

TEST(CString, LoadStringUsesTheTable)
{
    CString::SetStringTable(TestTable);
    CString s("old");
    EXPECT_TRUE(s.LoadString(100));
    EXPECT_STREQ("Can't open %s", s);
    EXPECT_TRUE(s.LoadString(101));
    EXPECT_STREQ("", s);

    s = "old";
    EXPECT_FALSE(s.LoadString(4242));
    EXPECT_TRUE(s.IsEmpty());

    s.Format(100u, "VIDEO_TS.IFO");
    EXPECT_STREQ("Can't open VIDEO_TS.IFO", s);

    CString byId((LPCSTR)(uintptr_t)100); // a resource ID in place of the text
    EXPECT_STREQ("Can't open %s", byId);
    CString::SetStringTable(nullptr);
}

TEST(CString, LoadStringOfAnUnknownIdFails)
{
    CString s("old");
    EXPECT_FALSE(s.LoadString(4242)); // no table, and no such resource
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(CString((LPCSTR)(uintptr_t)4242).IsEmpty());
}

} // namespace
