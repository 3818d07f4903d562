// CString: the members the dialog builds its paths and texts with.
#include <afxwin.h>
#include <gtest/gtest.h>

#include <functional>
#include <mbctype.h>
#include <stdlib.h>
#include <string.h>

namespace {

TEST(CStringTest, ReplaceScansLeftToRightWithoutOverlap)
{
    struct Case {
        const char* text;
        const char* from;
        const char* to;
        int count;
        const char* result;
    } cases[] = {
        {"\\\\\\", "\\\\", "\\", 1, "\\\\"},
        {"\\\\\\\\", "\\\\", "\\", 2, "\\\\"},
        {"aaa", "aa", "a", 1, "aa"},
        {"aaaa", "aa", "a", 2, "aa"},
        {"aa", "a", "aa", 2, "aaaa"},  // inserted text is not scanned again
        {"abcabc", "bc", "", 2, "aa"},
        {"a.b", ".", "::", 1, "a::b"},
        {"abc", "x", "y", 0, "abc"},
        {"abc", "", "y", 0, "abc"},
        {"", "a", "b", 0, ""},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        EXPECT_EQ(c.count, s.Replace(c.from, c.to)) << c.text << " " << c.from << "->" << c.to;
        EXPECT_STREQ(c.result, s) << c.text << " " << c.from << "->" << c.to;
    }

    CString s("D:/a/b");
    EXPECT_EQ(2, s.Replace('/', '\\'));
    EXPECT_STREQ("D:\\a\\b", s);
    EXPECT_EQ(0, s.Replace('/', '\\'));
}

TEST(CStringTest, ExtractionClampsOutOfRangeArguments)
{
    const CString s("hello");
    struct Case {
        const char* what;
        CString got;
        const char* expected;
    } cases[] = {
        {"Mid(1,3)", s.Mid(1, 3), "ell"},
        {"Mid(2)", s.Mid(2), "llo"},
        {"Mid(-2,3)", s.Mid(-2, 3), "hel"},
        {"Mid(-2)", s.Mid(-2), "hello"},
        {"Mid(3,100)", s.Mid(3, 100), "lo"},
        {"Mid(1,-1)", s.Mid(1, -1), ""},
        {"Mid(5)", s.Mid(5), ""},
        {"Mid(100,2)", s.Mid(100, 2), ""},
        {"Left(2)", s.Left(2), "he"},
        {"Left(100)", s.Left(100), "hello"},
        {"Left(-1)", s.Left(-1), ""},
        {"Right(2)", s.Right(2), "lo"},
        {"Right(100)", s.Right(100), "hello"},
        {"Right(-1)", s.Right(-1), ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected, c.got) << c.what;
}

TEST(CStringTest, FindAndReverseFind)
{
    const CString s("D:\\ab\\ab");
    struct Case {
        const char* what;
        int got;
        int expected;
    } cases[] = {
        {"Find('\\\\')", s.Find('\\'), 2},
        {"Find('\\\\',3)", s.Find('\\', 3), 5},
        {"Find('\\\\',5)", s.Find('\\', 5), 5},
        {"Find('\\\\',6)", s.Find('\\', 6), -1},
        {"Find('\\\\',-4)", s.Find('\\', -4), 2},
        {"Find('\\\\',100)", s.Find('\\', 100), -1},
        {"Find('x')", s.Find('x'), -1},
        {"Find(\"ab\")", s.Find("ab"), 3},
        {"Find(\"ab\",4)", s.Find("ab", 4), 6},
        {"Find(\"ab\",7)", s.Find("ab", 7), -1},
        {"Find(\"abc\")", s.Find("abc"), -1},
        {"Find(\"\")", s.Find(""), 0},
        {"ReverseFind('\\\\')", s.ReverseFind('\\'), 5},
        {"ReverseFind('D')", s.ReverseFind('D'), 0},
        {"ReverseFind('x')", s.ReverseFind('x'), -1},
        {"empty ReverseFind", CString().ReverseFind('\\'), -1},
        {"empty Find", CString().Find('\\'), -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, c.got) << c.what;
}

TEST(CStringTest, InsertRemoveDelete)
{
    struct Case {
        const char* what;
        const char* text;
        std::function<int(CString&)> op;
        int result;  // the new length, or for Remove the count
        const char* expected;
    } cases[] = {
        {"Insert(1,'b')", "ac", [](CString& s) { return s.Insert(1, 'b'); }, 3, "abc"},
        {"Insert(0,\"__\")", "ac", [](CString& s) { return s.Insert(0, "__"); }, 4, "__ac"},
        {"Insert(2,\"de\")", "ac", [](CString& s) { return s.Insert(2, "de"); }, 4, "acde"},
        {"Insert(100,'!')", "ac", [](CString& s) { return s.Insert(100, '!'); }, 3, "ac!"},
        {"Insert(100,\"!!\")", "ac", [](CString& s) { return s.Insert(100, "!!"); }, 4, "ac!!"},
        {"Insert(-3,'x')", "ac", [](CString& s) { return s.Insert(-3, 'x'); }, 3, "xac"},
        {"Remove('\\\\')", "\\a\\\\b\\", [](CString& s) { return s.Remove('\\'); }, 4, "ab"},
        {"Remove('x')", "abc", [](CString& s) { return s.Remove('x'); }, 0, "abc"},
        {"Delete(1,2)", "hello", [](CString& s) { return s.Delete(1, 2); }, 3, "hlo"},
        {"Delete(0)", "hello", [](CString& s) { return s.Delete(0); }, 4, "ello"},
        {"Delete(3,100)", "hello", [](CString& s) { return s.Delete(3, 100); }, 3, "hel"},
        {"Delete(10,1)", "hello", [](CString& s) { return s.Delete(10, 1); }, 5, "hello"},
        {"Delete(-1,2)", "hello", [](CString& s) { return s.Delete(-1, 2); }, 3, "llo"},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        EXPECT_EQ(c.result, c.op(s)) << c.what;
        EXPECT_STREQ(c.expected, s) << c.what;
    }
}

TEST(CStringTest, TrimRightChar)
{
    struct TrimCase {
        const char* text;
        const char* expected;
    } trims[] = {{"C:\\", "C:"}, {"C:\\\\\\", "C:"}, {"C:", "C:"}, {"\\\\", ""}, {"", ""}, {"\\a", "\\a"}};
    for (const TrimCase& c : trims) {
        CString s(c.text);
        EXPECT_STREQ(c.expected, s.TrimRight('\\')) << c.text;
        EXPECT_STREQ(c.expected, s) << c.text;
    }
}

TEST(CStringTest, CompareIsExactAndCompareNoCaseIgnoresCase)
{
    struct Case {
        const char* a;
        const char* b;
        int exact;   // sign of Compare
        int noCase;  // sign of CompareNoCase
    } cases[] = {
        {"abc", "abc", 0, 0},  {"abc", "ABC", 1, 0}, {"(c:)", "(C:)", 1, 0}, {"ab", "abc", -1, -1},
        {"abd", "ABC", 1, 1},  {"", "", 0, 0},       {"a", "", 1, 1},        {"A", "b", -1, -1},
    };
    auto sign = [](int n) { return n < 0 ? -1 : n > 0 ? 1 : 0; };
    for (const Case& c : cases) {
        CString s(c.a);
        EXPECT_EQ(c.exact, sign(s.Compare(c.b))) << c.a << " vs " << c.b;
        EXPECT_EQ(c.noCase, sign(s.CompareNoCase(c.b))) << c.a << " vs " << c.b;
        EXPECT_EQ(c.exact == 0, s == c.b) << c.a << " vs " << c.b;
    }
    EXPECT_EQ(0, CString().Compare(NULL));
    EXPECT_EQ(0, CString().CompareNoCase(NULL));
}

TEST(CStringTest, LengthEmptinessAndConstruction)
{
    CString s("abc");
    EXPECT_EQ(3, s.GetLength());
    EXPECT_FALSE(s.IsEmpty());
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(0, s.GetLength());
    EXPECT_STREQ("", s);

    EXPECT_TRUE(CString((const char*)NULL).IsEmpty());
    EXPECT_STREQ("xxx", CString('x', 3));
    EXPECT_STREQ("abc", CString("abcdef", 3));
    EXPECT_TRUE(CString("abc", -1).IsEmpty());
}

TEST(CStringTest, ConcatenationAndConversion)
{
    CString dir("D:");
    EXPECT_STREQ("D:\\", dir + '\\');
    EXPECT_STREQ("(D:)", '(' + dir + ")");
    EXPECT_STREQ("D:\\x", dir + "\\x");
    EXPECT_STREQ("\\D:", "\\" + dir);
    EXPECT_STREQ("D:D:", dir + dir);

    CString s(dir);
    s += '\\';
    s += "a";
    s += CString("b");
    s += (const char*)NULL;
    EXPECT_STREQ("D:\\ab", s);
    s += s;  // appending itself
    EXPECT_STREQ("D:\\abD:\\ab", s);
    EXPECT_STREQ("D:", dir);  // the source is a separate copy

    const char* psz = s;
    EXPECT_EQ((size_t)s.GetLength(), strlen(psz));
}

TEST(CStringTest, GetBufferAndReleaseBuffer)
{
    CString s("old");
    char* p = s.GetBuffer(MAX_PATH);
    EXPECT_STREQ("old", p);  // the content is kept
    lstrcpyA(p, "D:\\longer text");
    s.ReleaseBuffer();
    EXPECT_EQ(14, s.GetLength());
    EXPECT_STREQ("D:\\longer text", s);

    p = s.GetBuffer(0);
    p[2] = '/';
    s.ReleaseBuffer(5);
    EXPECT_STREQ("D:/lo", s);
    EXPECT_EQ(5, s.GetLength());

    CString e;
    p = e.GetBuffer(4);
    memcpy(p, "abcd", 5);
    e.ReleaseBuffer();
    EXPECT_STREQ("abcd", e);
}

TEST(CStringTest, Format)
{
    CString s;
    s.Format("%s\\%d-%03u %c%% %.2f %lx", "D:", -5, 7u, 'z', 2.5, 0xbeefUL);
    EXPECT_STREQ("D:\\-5-007 z% 2.50 beef", s);

    // Longer than any small fixed buffer.
    CString strLong('a', 3000);
    s.Format("[%s]", (const char*)strLong);
    EXPECT_EQ(3002, s.GetLength());
    EXPECT_EQ(']', s[3001]);

    // The usual append-to-itself idiom.
    s = "D:\\a";
    s.Format("%s\\%s", (const char*)s, "b");
    EXPECT_STREQ("D:\\a\\b", s);

    s.Format("");
    EXPECT_TRUE(s.IsEmpty());
}

// CompareNoCase follows the C run time's multibyte code page: in code page
// 932 a trail byte that looks like a letter is not folded.
TEST(CStringDbcs, CompareNoCaseUsesMultibyteCodePage)
{
    int nOld = _getmbcp();
    ASSERT_EQ(0, _setmbcp(932));
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"\x81\x41", "\x81\x61", false},  // two different characters
        {"\x95\x5C" "a", "\x95\x5C" "A", true},
        {"Ab\x95\x5C", "aB\x95\x5C", true},
        {"\x95\x5C", "\x95\x5D", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.equal, CString(c.a).CompareNoCase(c.b) == 0) << c.a << " vs " << c.b;
    _setmbcp(nOld);
}

// The searching and changing members skip the trail byte of a double-byte
// character, by the system's ANSI code page. Run with a double-byte code
// page (the framework_tests_dbcs test runs the program in code page 932).
TEST(CStringDbcs, BackslashTrailByteIsNotSplit)
{
    if (!IsDBCSLeadByte(0x95))
        GTEST_SKIP() << "ANSI code page " << GetACP() << " has no double-byte characters";

    // D:\<0x95 0x5C>\<0x95 0x5C>: the real backslashes are at 2 and 5.
    const CString path("D:\\\x95\x5C\\\x95\x5C");
    EXPECT_EQ(2, path.Find('\\'));
    EXPECT_EQ(5, path.Find('\\', 3));
    EXPECT_EQ(-1, path.Find('\\', 6));
    EXPECT_EQ(5, path.ReverseFind('\\'));
    EXPECT_EQ(5, path.Find("\\", 3));

    CString s(path);
    EXPECT_EQ(2, s.Replace('\\', '/'));
    EXPECT_STREQ("D:/\x95\x5C/\x95\x5C", s);

    s = "\x95\x5C\\\x95\x5C";
    EXPECT_EQ(0, s.Replace("\\\\", "\\"));
    EXPECT_EQ(1, s.Replace("\\", "/"));
    EXPECT_STREQ("\x95\x5C/\x95\x5C", s);

    s = path;
    EXPECT_EQ(2, s.Remove('\\'));
    EXPECT_STREQ("D:\x95\x5C\x95\x5C", s);

    s = path;
    EXPECT_STREQ("D:\\\x95\x5C\\\x95\x5C", s.TrimRight('\\'));
    s += "\\\\";
    EXPECT_STREQ("D:\\\x95\x5C\\\x95\x5C", s.TrimRight('\\'));
}

// In the code-page run, make sure the code page really changed, so that the
// test above is not silently skipped there.
TEST(DbcsEnvironment, RequestedCodePageIsActive)
{
    const char* pszWanted = getenv("VARNET_EXPECT_ACP");
    if (!pszWanted)
        GTEST_SKIP() << "no code page requested";
    EXPECT_EQ((UINT)atoi(pszWanted), GetACP());
}

}  // namespace
