// What Expand Recursive builds from the folders on disk: the whole subtree
// in scan order, fully expanded, with the folders that cannot be listed
// reported and links collected but not followed.
#include "scan_support.h"

// Selects the node of strPath (which lists it) and runs the command on it.
static HTREEITEM ExpandAt(Driver& d, const CString& strPath)
{
    HTREEITEM hNode = SelectNodeOf(d, strPath);
    if (hNode)
        ExpandRecursive(d);
    return hNode;
}

TEST(Scan, TheSubtreeIsRebuiltFromDiskInScanOrderAndFullyExpanded)
{
    TestFolder folder("tree");
    folder.MakeDirs("a\\b\\c");
    folder.MakeDirs("a\\x");
    folder.MakeDirs("d\\hidden");
    folder.MakeDirs("d\\e");
    SetFileAttributesA(folder.Path("d\\hidden"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    folder.MakeFile("top.txt");
    folder.MakeFile("a\\b\\inner.txt");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = ExpandAt(d, folder.Path());
        ASSERT_NE(nullptr, hNode);

        // Every folder, hidden and system ones too, files not, each level
        // in the order the system lists it.
        std::vector<CString> tree = Subtree(d, hNode);
        EXPECT_EQ(FoldersOnDisk(folder.Path()), tree);
        EXPECT_EQ(7u, tree.size());
        auto at = [&](const char* psz) { return std::find(tree.begin(), tree.end(), CString(psz)) - tree.begin(); };
        EXPECT_LT(at("a"), at("a\\b"));
        EXPECT_LT(at("a\\b"), at("a\\b\\c"));

        EXPECT_TRUE(IsFullyExpanded(d, hNode));
        EXPECT_EQ(hNode, d.Selected());
        EXPECT_EQ(folder.Path(), d.ItemText(IDC_EDIT_PATH));
        EXPECT_EQ(CString(""), d.ItemText(IDC_EDIT_ERROR));
        int nImage = -1, nSelected = -1;
        d.Images(NodeOf(d, folder.Path("a\\b\\c")), nImage, nSelected);
        EXPECT_EQ(0, nImage);
        EXPECT_EQ(1, nSelected);

        // Again on the expanded subtree: the same nodes, expanded, laid out
        // so that a click on the deepest one reaches it.
        ExpandRecursive(d);
        EXPECT_EQ(tree, Subtree(d, hNode));
        EXPECT_TRUE(IsFullyExpanded(d, hNode));
        HTREEITEM hDeep = NodeOf(d, folder.Path("a\\b\\c"));
        d.ClickNode(hDeep);
        EXPECT_EQ(hDeep, d.Selected());
        d.Cancel();
    });
}

TEST(Scan, ANodeWithoutSubfoldersLosesItsChildrenAndStaysCollapsed)
{
    TestFolder folder("empty");
    folder.MakeDirs("files\\old");
    folder.MakeFile("files\\one.txt");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hFiles = SelectNodeOf(d, folder.Path("files"));
        ASSERT_NE(nullptr, hFiles);
        ASSERT_EQ((std::vector<CString>{ "old" }), d.Children(hFiles));
        d.OnUi([&] { TreeView_Expand(d.Item(IDC_FOLDER_TREE), hFiles, TVE_COLLAPSE); });
        RemoveTree(folder.Path("files\\old"));

        ExpandRecursive(d);
        EXPECT_TRUE(d.Children(hFiles).empty());
        EXPECT_FALSE(d.IsExpanded(hFiles));
        EXPECT_EQ(folder.Path("files"), d.ItemText(IDC_EDIT_PATH));
        EXPECT_EQ(CString(""), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
}

TEST(Scan, TheDriveTopNodeGetsTheDrivesFoldersUnderTheirOwnNames)
{
    TestFolder folder("top");
    folder.MakeDirs("a\\b");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        d.SelectNode(d.Root());
        ExpandRecursive(d);
        EXPECT_EQ(CString("D:\\"), d.ItemText(IDC_EDIT_PATH));
        // Other test programs change the drive meanwhile: only this test's
        // own folders are checked.
        std::vector<CString> tree = Subtree(d, d.Root());
        CString strOwn = folder.Path().Mid(3);
        for (const char* pszRelative : { "", "\\a", "\\a\\b" })
            EXPECT_NE(tree.end(), std::find(tree.begin(), tree.end(), strOwn + pszRelative)) << pszRelative;
        for (HTREEITEM h : { NodeOf(d, folder.Path()), NodeOf(d, folder.Path("a\\b")) })
            EXPECT_EQ(-1, d.Label(h).Find('\\'));
        EXPECT_TRUE(d.IsExpanded(NodeOf(d, folder.Path("a"))));
        d.Cancel();
    });
}

TEST(Scan, AnEmptyDriveRootScansAsEmptyWithoutAnError)
{
    RunFolderDialog("A:\\", [&](Driver& d) {
        ASSERT_EQ(CString("A:\\"), d.Label(d.Root()));
        d.SelectNode(d.Root());
        ExpandRecursive(d);
        EXPECT_TRUE(d.Children(d.Root()).empty());
        EXPECT_EQ(CString(""), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
}

TEST(Scan, FoldersThatDifferOnlyInLetterCaseAreSeparateNodes)
{
    TestFolder folder("case");
    // Wine's own calls do not tell such names apart: they are made natively.
    ASSERT_EQ(0, RunNative("cd '" + UnixPath(folder.Path()) + "' && mkdir -p Data/upper data/lower"));
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = ExpandAt(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        std::vector<CString> tree = Subtree(d, hNode);
        std::sort(tree.begin(), tree.end());
        EXPECT_EQ((std::vector<CString>{ "Data", "Data\\upper", "data", "data\\lower" }), tree);
        d.Cancel();
    });
}

TEST(Scan, AFolderThatCannotBeListedIsKeptAndItsErrorShownAlsoByLaterCommands)
{
    TestFolder folder("unlistable");
    folder.MakeDirs("fine\\sub");
    // The deepest folder is made with the wide API: its path is longer than
    // the ANSI calls of the scan accept, so it is found but cannot be listed.
    CString strName(CString('n', 60));
    CString strPath = folder.Path();
    for (int i = 0; i < 5; i++) {
        strPath += "\\" + strName;
        WCHAR wszPath[1024];
        MultiByteToWideChar(CP_ACP, 0, "\\\\?\\" + strPath, -1, wszPath, 1024);
        CreateDirectoryW(wszPath, NULL);
    }
    CString strDeep = strPath.Left(strPath.ReverseFind('\\'));
    ASSERT_GT(strDeep.GetLength() + 4, MAX_PATH);
    WIN32_FIND_DATAA fd;
    SetLastError(0xdeadbeef);
    ASSERT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA(strDeep + "\\*.*", &fd));
    CString strError = strDeep + "\\*.* " + SystemText(GetLastError());

    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = ExpandAt(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        EXPECT_EQ(strError, d.ItemText(IDC_EDIT_ERROR));
        // The folder is there, nothing below it; the scan went on past it.
        HTREEITEM hDeep = NodeOf(d, strDeep);
        ASSERT_NE(nullptr, hDeep);
        EXPECT_TRUE(d.Children(hDeep).empty());
        EXPECT_NE(nullptr, NodeOf(d, folder.Path("fine\\sub")));

        // A click clears the error box; a later command that meets no error
        // shows the earlier scan's text again.
        HTREEITEM hFine = NodeOf(d, folder.Path("fine"));
        d.ClickNode(hFine);
        ASSERT_EQ(CString(""), d.ItemText(IDC_EDIT_ERROR));
        ExpandRecursive(d);
        EXPECT_EQ((std::vector<CString>{ "sub" }), Subtree(d, hFine));
        EXPECT_EQ(strError, d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
}

TEST(Scan, LinksAreCollectedButNotFollowed)
{
    TestFolder folder("links");
    folder.MakeDirs("a\\b");
    folder.MakeDirs("target\\inside");
    // A link to an ancestor (a loop) and one to a folder with contents.
    ASSERT_TRUE(MakeLink(folder.Path("a\\b\\loop"), folder.Path("a")));
    ASSERT_TRUE(MakeLink(folder.Path("a\\totarget"), folder.Path("target")));

    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = ExpandAt(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        std::vector<CString> tree = Subtree(d, hNode);
        std::sort(tree.begin(), tree.end());
        EXPECT_EQ((std::vector<CString>{ "a", "a\\b", "a\\b\\loop", "a\\totarget", "target", "target\\inside" }), tree);
        EXPECT_EQ(CString(""), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
}

TEST(Scan, NamesThatMayLeadElsewhereAreCollectedButNotListed)
{
    // Listing foo. or CON would list foo or a device; a converted name is
    // one node, its backslash included.
    TestFolder folder("leaves");
    MakeNative(folder.Path(), { "foo/f1/", "foo./g1/", "CON/c1/", "x\xef\xbc\xbcy/h1/" });
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = ExpandAt(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        std::vector<CString> tree = Subtree(d, hNode);
        std::sort(tree.begin(), tree.end());
        EXPECT_EQ((std::vector<CString>{ "CON", "foo", "foo.", "foo\\f1", "x\\y" }), tree);
        HTREEITEM hConverted = d.Child(hNode, "x\\y");
        ASSERT_NE(nullptr, hConverted);
        EXPECT_TRUE(d.Children(hConverted).empty());
        d.Cancel();
    });
}

// Refuses, once, the worker's n-th allocation of one size.
static DWORD s_nUiThread, s_nScriptThread;
static size_t s_nRefuseSize;
static LONG s_nRefuseBefore;
static LONG s_nRefused;
static BOOL RefuseNth(size_t nSize, BOOL, LONG)
{
    DWORD nThread = GetCurrentThreadId();
    if (nThread == s_nUiThread || nThread == s_nScriptThread || nSize != s_nRefuseSize)
        return TRUE;
    if (InterlockedDecrement(&s_nRefuseBefore) != 0)
        return TRUE;
    InterlockedIncrement(&s_nRefused);
    return FALSE;
}

TEST(Scan, RunningOutOfMemoryEmptiesTheListAndTheScanGoesOn)
{
    TestFolder folder("memory");
    for (const char* pszName : { "x1", "x2", "x3", "x4", "x5", "x6", "x7", "x8" })
        folder.MakeDirs(pszName);
    std::vector<CString> full = FoldersOnDisk(folder.Path());
    ASSERT_EQ(8u, full.size());
    const CString strNoMemory = SystemText(ERROR_NOT_ENOUGH_MEMORY);
    // Three allocations per folder have the size of its path: its copy into
    // the list, then its own listing's folder and pattern.
    size_t nPathSize = (size_t)folder.Path("x1").GetLength() + 1;
    struct Case {
        const char* pszContext;
        size_t nSize;
        LONG nRefused;  // the n-th allocation of that size fails
        size_t nKept;   // the folders left at the end
        bool bBox;      // the box and an emptied list; else the folder cannot be listed
    } cases[] = {
        // The list grows at 0 and 4 entries: the second growth fails at the fifth folder.
        { "the list cannot grow", 8 * sizeof(CString), 1, 3, true },
        { "the third path cannot be copied into the list", nPathSize, 7, 5, true },
        { "the third folder cannot be listed", nPathSize, 9, 8, false },
    };
    for (const Case& c : cases) {
        s_nUiThread = GetCurrentThreadId();
        s_nRefuseSize = c.nSize;
        s_nRefuseBefore = c.nRefused;
        s_nRefused = 0;
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            s_nScriptThread = GetCurrentThreadId();
            HTREEITEM hNode = SelectNodeOf(d, folder.Path());
            ASSERT_NE(nullptr, hNode) << c.pszContext;
            AFX_ALLOC_HOOK pfnOld = AfxSetAllocHook(RefuseNth);
            d.Command(IDC_BN_EXPAND);
            if (c.bBox) {
                // The worker itself says so, and waits for the answer.
                HWND hBox = WaitForListFullBox(d);
                ASSERT_NE(nullptr, hBox) << c.pszContext;
                d.Answer(hBox, IDOK);
            }
            ASSERT_TRUE(WaitForCommandEnd(d)) << c.pszContext;
            AfxSetAllocHook(pfnOld);
            // What was found before is gone; the scan went on to the end.
            std::vector<CString> tree = Subtree(d, hNode);
            EXPECT_EQ(c.nKept, tree.size()) << c.pszContext;
            EXPECT_TRUE(std::equal(tree.begin(), tree.end(), full.end() - tree.size())) << c.pszContext;
            if (!c.bBox) {
                EXPECT_EQ(folder.Path() + "\\" + full[2] + "\\*.* " + strNoMemory, d.ItemText(IDC_EDIT_ERROR));
            }
            d.Cancel();
        });
        EXPECT_EQ(1, s_nRefused) << c.pszContext;
    }
}

TEST(Scan, AFolderTheListCouldNotTakeIsStillListedThrough)
{
    // The list is emptied when a's path cannot be copied into it; the scan
    // goes on into a as if it had been, and the tree is rebuilt from what
    // came after: a\deep, below a node a made for it.
    TestFolder folder("memory-through");
    folder.MakeDirs("a\\deep");
    s_nUiThread = GetCurrentThreadId();
    s_nRefuseSize = (size_t)folder.Path("a").GetLength() + 1;
    s_nRefuseBefore = 1;
    s_nRefused = 0;
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        s_nScriptThread = GetCurrentThreadId();
        HTREEITEM hNode = SelectNodeOf(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        AFX_ALLOC_HOOK pfnOld = AfxSetAllocHook(RefuseNth);
        d.Command(IDC_BN_EXPAND);
        HWND hBox = WaitForListFullBox(d);
        ASSERT_NE(nullptr, hBox);
        d.Answer(hBox, IDOK);
        ASSERT_TRUE(WaitForCommandEnd(d));
        AfxSetAllocHook(pfnOld);
        EXPECT_EQ((std::vector<CString>{ "a", "a\\deep" }), Subtree(d, hNode));
        d.Cancel();
    });
    EXPECT_EQ(1, s_nRefused);
}
