// The test programs run only in their build's private test prefix, and
// start by removing what interrupted runs of theirs left on the test drive.
#include <TestFs.h>
#include <gtest/gtest.h>

#include <stdlib.h>

TEST(TestPrefix, OnlyTheBuildsOwnPrefixAndTestDriveAreAccepted)
{
    CString strBuild = getenv("VARNET_BUILD_DIR");
    ASSERT_FALSE(strBuild.IsEmpty());
    EXPECT_EQ(CString(""), TestPrefixRefusal(strBuild));
    for (const CString& strOther : { CString(), strBuild + "-other", strBuild.Left(strBuild.ReverseFind('/')) })
        EXPECT_NE(CString(""), TestPrefixRefusal(strOther)) << (const char*)strOther;
}

TEST(TestPrefix, FoldersOfEndedRunsAreRemovedAndThoseOfRunningOnesKept)
{
    TestFolder own("own");
    CString strProgram = own.Path().Mid(3, own.Path().Find('-') - 3);
    // Process ids are multiples of four: no process has this one.
    CString strEnded = "D:\\" + strProgram + "-4294967295";
    CString strNotOurs = "D:\\" + strProgram + "-x1";
    for (const CString& strPath : { strEnded + "\\a\\b", strNotOurs })
        ASSERT_TRUE(MakeDirsAt(strPath)) << (const char*)strPath;

    RemoveStaleTestFolders();
    EXPECT_FALSE(Exists(strEnded));
    EXPECT_TRUE(IsFolder(own.Path()));
    EXPECT_TRUE(IsFolder(strNotOurs));
    RemoveTree(strNotOurs);
}
