// CFileFind, CFile::Rename and the system's error texts, on real folders.
#include <TestFs.h>
#include <afxwin.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Names;

// The loop the dialog uses: every entry, the last one included.
Names Collect(CFileFind& ff, const CString& strPattern)
{
    Names names;
    BOOL bWorking = ff.FindFile(strPattern);
    while (bWorking) {
        bWorking = ff.FindNextFile();
        names.push_back((const char*)ff.GetFileName());
    }
    return names;
}

Names Sorted(Names names)
{
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CFileFindTest, EntrySequenceGivesEveryNameOnceThenNoMoreFiles)
{
    TestFolder dir("sequence");
    dir.MakeFile("a");
    dir.MakeFile("b.txt");
    dir.MakeDirs("sub");

    CFileFind ff;
    Names names = Collect(ff, dir.Path("*.*"));
    EXPECT_EQ(ERROR_NO_MORE_FILES, GetLastError());
    EXPECT_EQ((Names{".", "..", "a", "b.txt", "sub"}), Sorted(names));

    // The error code outlives Close, and a further call stays at the end.
    ff.Close();
    EXPECT_EQ(ERROR_NO_MORE_FILES, GetLastError());
    SetLastError(0);
    EXPECT_FALSE(ff.FindNextFile());
    EXPECT_EQ(ERROR_NO_MORE_FILES, GetLastError());
}

TEST(CFileFindTest, SingleEntryIsCurrentAfterTheFalseResult)
{
    TestFolder dir("single");
    dir.MakeFile("only.txt");

    for (const char* pszPattern : {"*.txt", "only.txt"}) {
        CFileFind ff;
        ASSERT_TRUE(ff.FindFile(dir.Path(pszPattern))) << pszPattern;
        EXPECT_STREQ("", ff.GetFileName()) << pszPattern << ": current before FindNextFile";
        EXPECT_FALSE(ff.FindNextFile()) << pszPattern;
        EXPECT_EQ(ERROR_NO_MORE_FILES, GetLastError()) << pszPattern;
        EXPECT_STREQ("only.txt", ff.GetFileName()) << pszPattern;
        EXPECT_STREQ(dir.Path("only.txt"), ff.GetFilePath()) << pszPattern;
        EXPECT_FALSE(ff.IsDirectory()) << pszPattern;
    }
}

TEST(CFileFindTest, MissingFolderStartsNoSearch)
{
    TestFolder dir("missing");
    dir.MakeFile("a");
    CFileFind ff;
    // First a search that works, so that a stale entry would show.
    ASSERT_TRUE(ff.FindFile(dir.Path("*.*")));
    ff.FindNextFile();

    for (const char* pszPattern : {"nothere\\*.*", "nothere\\deeper\\*.*"}) {
        SetLastError(0);
        EXPECT_FALSE(ff.FindFile(dir.Path(pszPattern))) << pszPattern;
        DWORD dwError = GetLastError();
        EXPECT_TRUE(dwError == ERROR_PATH_NOT_FOUND || dwError == ERROR_FILE_NOT_FOUND)
            << pszPattern << ": error " << dwError;
        EXPECT_STREQ("", ff.GetFileName()) << pszPattern;
        EXPECT_STREQ("", ff.GetFilePath()) << pszPattern;
        EXPECT_FALSE(ff.FindNextFile()) << pszPattern;
    }
}

TEST(CFileFindTest, Attributes)
{
    TestFolder dir("attributes");
    dir.MakeDirs("sub");
    dir.MakeDirs(".x");
    dir.MakeFile("rw.txt");
    dir.MakeFile("ro.txt");
    ASSERT_TRUE(SetFileAttributesA(dir.Path("ro.txt"), FILE_ATTRIBUTE_READONLY));

    struct Expected {
        const char* name;
        bool dots, directory, readOnly;
    } expected[] = {
        {".", true, true, false},        {"..", true, true, false},        {"sub", false, true, false},
        {".x", false, true, false},      {"rw.txt", false, false, false},  {"ro.txt", false, false, true},
    };
    CFileFind ff;
    BOOL bWorking = ff.FindFile(dir.Path("*.*"));
    ASSERT_TRUE(bWorking);
    int nSeen = 0;
    while (bWorking) {
        bWorking = ff.FindNextFile();
        CString strName = ff.GetFileName();
        for (const Expected& e : expected)
            if (strName == e.name) {
                ++nSeen;
                EXPECT_EQ(e.dots, !!ff.IsDots()) << e.name;
                EXPECT_EQ(e.directory, !!ff.IsDirectory()) << e.name;
                EXPECT_EQ(e.readOnly, !!ff.IsReadOnly()) << e.name;
                EXPECT_STREQ(dir.Path(e.name), ff.GetFilePath()) << e.name;
            }
    }
    EXPECT_EQ(6, nSeen);
}

TEST(CFileFindTest, DriveRootPathHasOneBackslash)
{
    TestFolder dir("root");  // D:\<program>-<pid>\root
    CString strOwn = dir.Path();
    strOwn = strOwn.Left(strOwn.ReverseFind('\\'));  // D:\<program>-<pid>

    CFileFind ff;
    BOOL bWorking = ff.FindFile("D:\\*.*");
    ASSERT_TRUE(bWorking);
    bool bSawOwn = false;
    while (bWorking) {
        bWorking = ff.FindNextFile();
        CString strPath = ff.GetFilePath();
        EXPECT_STREQ("D:\\" + ff.GetFileName(), strPath);
        if (strPath == strOwn)
            bSawOwn = true;
    }
    EXPECT_TRUE(bSawOwn) << (const char*)strOwn;
    EXPECT_STREQ("D:", ff.GetRoot());
}

TEST(CFileFindTest, SecondSearchRestartsCleanly)
{
    TestFolder first("first");
    first.MakeFile("f1");
    first.MakeFile("f2");
    TestFolder second("second");
    second.MakeFile("s1");

    CFileFind ff;
    ASSERT_TRUE(ff.FindFile(first.Path("f*")));
    ASSERT_TRUE(ff.FindNextFile());  // left in the middle of the search

    EXPECT_EQ((Names{"s1"}), Collect(ff, second.Path("s*")));
    EXPECT_STREQ(second.Path("s1"), ff.GetFilePath());
    EXPECT_EQ((Names{"f1", "f2"}), Sorted(Collect(ff, first.Path("f*"))));
}

TEST(CFileRenameTest, MovesFolder)
{
    TestFolder dir("rename");
    dir.MakeDirs("old");
    dir.MakeFile("old\\kept.txt", "content");

    CFile::Rename(dir.Path("old"), dir.Path("new"));
    EXPECT_FALSE(Exists(dir.Path("old")));
    EXPECT_TRUE(IsFolder(dir.Path("new")));
    EXPECT_TRUE(Exists(dir.Path("new\\kept.txt")));
}

TEST(CFileRenameTest, FailureThrowsFileExceptionWithSystemError)
{
    TestFolder dir("renamefail");
    dir.MakeDirs("src");
    dir.MakeDirs("taken");

    struct Case {
        const char* what;
        const char* from;
        const char* to;
        LONG error;
        int cause;
    } cases[] = {
        {"missing source", "absent", "new", ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
        {"target exists", "src", "taken", ERROR_ALREADY_EXISTS, CFileException::accessDenied},
    };
    for (const Case& c : cases) {
        CString strFrom = dir.Path(c.from);
        try {
            CFile::Rename(strFrom, dir.Path(c.to));
            ADD_FAILURE() << c.what << ": no exception";
        } catch (CFileException* e) {
            EXPECT_EQ(c.error, e->m_lOsError) << c.what;
            EXPECT_EQ(c.cause, e->m_cause) << c.what;
            CString strSystem;
            EXPECT_TRUE(AfxGetSystemErrorText((DWORD)c.error, strSystem)) << c.what;
            char szText[512] = "";
            EXPECT_TRUE(e->GetErrorMessage(szText, sizeof szText)) << c.what;
            EXPECT_TRUE(strstr(szText, strSystem) != NULL) << c.what << ": " << szText;
            EXPECT_TRUE(strstr(szText, strFrom) != NULL) << c.what << ": " << szText;
            e->Delete();
        }
    }
    // Nothing was lost.
    EXPECT_TRUE(IsFolder(dir.Path("src")));
    EXPECT_TRUE(IsFolder(dir.Path("taken")));
}

TEST(SystemErrorTextTest, KnownAndUnknownCodes)
{
    // Exactly the system's text for a known code.
    char szExpected[512] = "";
    ASSERT_NE(0u, FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                                 ERROR_ACCESS_DENIED, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), szExpected,
                                 sizeof szExpected, NULL));
    CString strText;
    EXPECT_TRUE(AfxGetSystemErrorText(ERROR_ACCESS_DENIED, strText));
    EXPECT_FALSE(strText.IsEmpty());
    EXPECT_STREQ(szExpected, strText);

    // No text: FALSE, and the earlier text is gone.
    EXPECT_FALSE(AfxGetSystemErrorText(0x2FFFFFFF, strText));
    EXPECT_TRUE(strText.IsEmpty());
}

}  // namespace
