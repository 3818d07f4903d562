// The drive list and drive switching, on the drives of the test prefix:
// A: floppy, C: the prefix's own, D: fixed, E: CD-ROM without medium,
// N: network.
#include "dialog_support.h"

TEST(Drives, ListShowsEveryDriveWithItsTypeWord)
{
    // No drive matches: the list keeps the entry it made current (the
    // second one) and the tree stays empty.
    RunFolderDialog("Q:\\nowhere", [&](Driver& d) {
        std::vector<CString> expected = { "(A:) Removable Disk", "(C:) Disk", "(D:) Disk", "(E:) CD-ROM",
                                          "(N:) Remote Drive" };
        EXPECT_EQ(expected, d.DriveEntries());
        EXPECT_EQ(1, d.DriveSelection());
        EXPECT_EQ(nullptr, d.Root());
        EXPECT_EQ(CString(""), d.ItemText(IDC_EDIT_PATH));
        d.Cancel();
    });
}

TEST(Drives, ChoosingADriveBuildsItsTopNodeAndFirstLevel)
{
    TestFolder folder("choose");
    folder.MakeDirs("a\\b");
    RunFolderDialog("Q:\\nowhere", [&](Driver& d) {
        d.ChooseDrive(2);
        HTREEITEM hRoot = d.Root();
        ASSERT_NE(nullptr, hRoot);
        EXPECT_EQ(CString("D:\\"), d.Label(hRoot));
        EXPECT_EQ(hRoot, d.Selected());
        EXPECT_EQ(CString("D:\\"), d.ItemText(IDC_EDIT_PATH));
        int nImage = -1, nSelected = -1;
        d.Images(hRoot, nImage, nSelected);
        EXPECT_EQ(2, nImage);
        EXPECT_EQ(2, nSelected);

        // The first level: our program's folder among the others, unlisted.
        CString strProgram = folder.Path().Mid(3, folder.Path().Mid(3).Find('\\'));
        HTREEITEM hProgram = d.Child(hRoot, strProgram);
        ASSERT_NE(nullptr, hProgram);
        EXPECT_TRUE(d.Children(hProgram).empty());
        d.Images(hProgram, nImage, nSelected);
        EXPECT_EQ(0, nImage);
        EXPECT_EQ(1, nSelected);
        // Siblings come sorted.
        std::vector<CString> labels = d.Children(hRoot);
        for (size_t i = 1; i < labels.size(); i++)
            EXPECT_LE(lstrcmpiA(labels[i - 1], labels[i]), 0) << labels[i - 1] << " before " << labels[i];
        d.Cancel();
    });
}

TEST(Drives, ChoosingTheShownDriveAgainRebuildsTheTree)
{
    TestFolder folder("again");
    folder.MakeDirs("a\\b\\c");
    RunFolderDialog(folder.Path("a\\b"), [&](Driver& d) {
        HTREEITEM hA = NodeOf(d, folder.Path("a"));
        ASSERT_NE(nullptr, hA);
        EXPECT_FALSE(d.Children(hA).empty());
        d.ChooseDrive(2);
        // Every node below the top is new and unlisted.
        HTREEITEM hProgram = NodeOf(d, folder.Path().Left(folder.Path().ReverseFind('\\')));
        ASSERT_NE(nullptr, hProgram);
        EXPECT_TRUE(d.Children(hProgram).empty());
        EXPECT_FALSE(d.IsExpanded(hProgram));
        d.Cancel();
    });
}

TEST(Drives, ADriveThatCannotBeReadShowsTheSystemsTextAnEmptyOneNothing)
{
    WIN32_FIND_DATAA fd;
    SetLastError(0xdeadbeef);
    ASSERT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("E:\\*.*", &fd));
    CString strNoMedium = SystemText(GetLastError());
    ASSERT_FALSE(strNoMedium.IsEmpty());
    // An empty root has no entries, not even "." and ".." (Windows and Wine alike).
    SetLastError(0xdeadbeef);
    ASSERT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("A:\\*.*", &fd));
    ASSERT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
    struct Case {
        const char* pszContext;
        int nDrive;
        const char* pszRoot;
        CString strError;
    } cases[] = {
        { "a CD drive without a medium", 3, "E:\\", strNoMedium },
        { "an empty floppy", 0, "A:\\", "" },
    };

    TestFolder folder("cd");
    for (const Case& c : cases) {
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            d.ChooseDrive(c.nDrive);
            EXPECT_EQ(CString(c.pszRoot), d.Label(d.Root())) << c.pszContext;
            EXPECT_TRUE(d.Children(d.Root()).empty()) << c.pszContext;
            EXPECT_EQ(CString(c.pszRoot), d.ItemText(IDC_EDIT_PATH)) << c.pszContext;
            EXPECT_EQ(c.strError, d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            // The next switch clears the error box and the dialog goes on.
            d.ChooseDrive(2);
            EXPECT_EQ(CString(""), d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            EXPECT_EQ(CString("D:\\"), d.Label(d.Root())) << c.pszContext;
            d.Ok();
        });
    }
}

TEST(Drives, TheInitialPathsDriveLetterMatchesInAnyCase)
{
    TestFolder folder("lower");
    folder.MakeDirs("sub");
    CString strLower = folder.Path("sub");
    strLower.SetAt(0, 'd');
    RunFolderDialog(strLower, [&](Driver& d) {
        EXPECT_EQ(2, d.DriveSelection());
        EXPECT_EQ(CString("D:\\"), d.Label(d.Root()));
        EXPECT_EQ(folder.Path("sub"), d.ItemText(IDC_EDIT_PATH));
        d.Cancel();
    });
}
