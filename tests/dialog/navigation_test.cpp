// Tree navigation: following the initial path, selecting, clicking and
// right-clicking nodes, and what the tree shows for the folders on disk.
#include "dialog_support.h"

#include <atomic>

TEST(Navigation, InitialPathComponentsOpenFromTheDriveDown)
{
    TestFolder folder("path");
    folder.MakeDirs("a\\b");
    folder.MakeDirs("Data");
    struct Case {
        const char* pszContext;
        CString strInitial;
        CString strShown;        // the path box after the start
        CString strExpanded;     // the deepest node with children, expanded
    } cases[] = {
        { "a\\b opens a, then b", folder.Path("a\\b"), folder.Path("a\\b"), folder.Path("a") },
        { "a missing component is skipped", folder.Path("missing\\a"), folder.Path("a"), folder.Path("a") },
        { "a doubled backslash is an empty component", folder.Path() + "\\\\a", folder.Path("a"), folder.Path("a") },
        { "a trailing backslash", folder.Path("a") + "\\", folder.Path("a"), folder.Path("a") },
        { "the lookup is case-sensitive", folder.Path("data"), folder.Path(), folder.Path() },
        { "the drive root", "D:\\", "D:\\", "D:\\" },
    };
    for (const Case& c : cases) {
        RunFolderDialog(c.strInitial, [&](Driver& d) {
            EXPECT_EQ(c.strShown, d.ItemText(IDC_EDIT_PATH)) << c.pszContext;
            // The folder shown is the selected node.
            EXPECT_EQ(NodeOf(d, c.strShown), d.Selected()) << c.pszContext;
            HTREEITEM hNode = NodeOf(d, c.strExpanded);
            ASSERT_NE(nullptr, hNode) << c.pszContext;
            EXPECT_FALSE(d.Children(hNode).empty()) << c.pszContext;
            EXPECT_TRUE(d.IsExpanded(hNode)) << c.pszContext;
            d.Cancel();
        });
    }

    // The folders beside those of the path are all there, in the tree's
    // order, before and after them.
    folder.MakeDirs("0x");
    folder.MakeDirs("zz");
    for (const char* pszName : { "a\\0", "a\\1", "a\\c" })
        folder.MakeDirs(pszName);
    RunFolderDialog(folder.Path("a\\b"), [&](Driver& d) {
        EXPECT_EQ((std::vector<CString>{ "0x", "a", "Data", "zz" }), d.Children(NodeOf(d, folder.Path())));
        EXPECT_EQ((std::vector<CString>{ "0", "1", "b", "c" }), d.Children(NodeOf(d, folder.Path("a"))));
        EXPECT_TRUE(d.IsExpanded(NodeOf(d, folder.Path())));
        d.Cancel();
    });
}

// The folder the dialog opens on is selected and in view, and the commands
// that act on the selection at once (Del, Ins) act on it.
TEST(Navigation, TheFolderOpenedOnIsTheSelectionInView)
{
    TestFolder folder("start");
    for (int i = 0; i < 60; i++)
        folder.MakeDirs(CString("a") + (char)('A' + i / 26) + (char)('a' + i % 26));
    folder.MakeDirs("zz\\inner");
    CString strDeep = folder.Path("zz\\inner");
    RunFolderDialog(strDeep, [&](Driver& d) {
        HTREEITEM hNode = NodeOf(d, strDeep);
        ASSERT_NE(nullptr, hNode);
        EXPECT_EQ(hNode, d.Selected());
        RECT rcItem, rcTree;
        memcpy(&rcItem, &hNode, sizeof hNode);
        ASSERT_TRUE(SendMessageA(d.Item(IDC_FOLDER_TREE), TVM_GETITEMRECT, TRUE, (LPARAM)&rcItem));
        GetClientRect(d.Item(IDC_FOLDER_TREE), &rcTree);
        EXPECT_TRUE(rcItem.top >= 0 && rcItem.bottom <= rcTree.bottom) << "the selection is out of view";

        // Del asks about this folder (not the drive's top node, which it
        // refuses); No keeps it.
        d.Key(VK_DELETE, d.Item(IDC_FOLDER_TREE));
        HWND hBox = d.WaitForMessageBox();
        ASSERT_NE(nullptr, hBox) << d.ItemText(IDC_EDIT_ERROR);
        d.Answer(hBox, IDNO);
        // Ins makes the new folder inside it.
        d.Key(VK_INSERT, d.Item(IDC_FOLDER_TREE));
        ASSERT_NE(nullptr, d.LabelEditor());
        d.Key(VK_RETURN, d.LabelEditor());
        d.Cancel();
    });
    EXPECT_TRUE(Exists(strDeep));
    EXPECT_TRUE(Exists(folder.Path("zz\\inner\\NewFolder")));
}

TEST(Navigation, SelectingANodeListsItAndShowsItsPath)
{
    TestFolder folder("select");
    folder.MakeDirs("a\\y");
    folder.MakeDirs("a\\x\\deep");
    folder.MakeDirs("a\\.hidden");
    folder.MakeDirs("files");
    folder.MakeFile("files\\one.txt");
    folder.MakeFile("a\\file.txt");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hA = NodeOf(d, folder.Path("a"));
        ASSERT_NE(nullptr, hA);
        d.SelectNode(hA);
        EXPECT_EQ(folder.Path("a"), d.ItemText(IDC_EDIT_PATH));
        // Folders only, hidden ones too, sorted; files are not nodes.
        EXPECT_EQ((std::vector<CString>{ ".hidden", "x", "y" }), d.Children(hA));

        // Opening x lists it; selecting a again relists a, so x comes
        // back unlisted.
        d.SelectNode(d.Child(hA, "x"));
        EXPECT_EQ(folder.Path("a\\x"), d.ItemText(IDC_EDIT_PATH));
        EXPECT_EQ((std::vector<CString>{ "deep" }), d.Children(d.Child(hA, "x")));
        d.SelectNode(hA);
        EXPECT_TRUE(d.Children(d.Child(hA, "x")).empty());

        // A folder that holds only files has no children.
        HTREEITEM hFiles = NodeOf(d, folder.Path("files"));
        d.SelectNode(hFiles);
        EXPECT_TRUE(d.Children(hFiles).empty());
        EXPECT_EQ(CString(""), d.ItemText(IDC_EDIT_ERROR));

        // The top node shows its root and is not relisted.
        d.SelectNode(d.Root());
        EXPECT_EQ(CString("D:\\"), d.ItemText(IDC_EDIT_PATH));
        d.Cancel();
    });
}

TEST(Navigation, AFolderGoneFromDiskShowsTheSystemsTextAndTheDialogGoesOn)
{
    TestFolder folder("gone");
    folder.MakeDirs("gone");
    folder.MakeDirs("here\\sub");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hGone = NodeOf(d, folder.Path("gone"));
        ASSERT_NE(nullptr, hGone);
        RemoveTree(folder.Path("gone"));
        WIN32_FIND_DATAA fd;
        SetLastError(0xdeadbeef);
        FindFirstFileA(folder.Path("gone\\*.*"), &fd);
        CString strExpected = SystemText(GetLastError());
        ASSERT_FALSE(strExpected.IsEmpty());

        d.ClickNode(hGone);
        EXPECT_EQ(folder.Path("gone"), d.ItemText(IDC_EDIT_PATH));
        EXPECT_EQ(strExpected, d.ItemText(IDC_EDIT_ERROR));
        EXPECT_TRUE(d.Children(hGone).empty());

        // A click elsewhere clears the box; the tree still works.
        HTREEITEM hHere = NodeOf(d, folder.Path("here"));
        d.ClickNode(hHere);
        EXPECT_EQ(CString(""), d.ItemText(IDC_EDIT_ERROR));
        EXPECT_EQ(hHere, d.Selected());
        EXPECT_EQ((std::vector<CString>{ "sub" }), d.Children(hHere));
        d.Cancel();
    });
}

TEST(Navigation, APathLongerThanTheAnsiApiAllowsShowsTheSystemsText)
{
    TestFolder folder("long");
    // Made with the wide API, which takes longer paths than the dialog can.
    CString strName(CString('n', 60));
    CString strPath = folder.Path();
    for (int i = 0; i < 4; i++) {
        strPath += "\\" + strName;
        WCHAR wszPath[1024];
        MultiByteToWideChar(CP_ACP, 0, "\\\\?\\" + strPath, -1, wszPath, 1024);
        CreateDirectoryW(wszPath, NULL);
    }
    ASSERT_GT(strPath.GetLength(), MAX_PATH);
    // The reason the ANSI functions give for listing it.
    WIN32_FIND_DATAA fd;
    SetLastError(0xdeadbeef);
    ASSERT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA(strPath + "\\*.*", &fd));
    const CString strExpected = SystemText(GetLastError());
    ASSERT_FALSE(strExpected.IsEmpty());
    RunFolderDialog(folder.Path(strName + "\\" + strName + "\\" + strName), [&](Driver& d) {
        HTREEITEM hDeep = NodeOf(d, strPath);
        ASSERT_NE(nullptr, hDeep);
        d.SelectNode(hDeep);
        EXPECT_EQ(strPath, d.ItemText(IDC_EDIT_PATH));
        EXPECT_EQ(strExpected, d.ItemText(IDC_EDIT_ERROR));
        d.SelectNode(d.Root());
        EXPECT_EQ(CString("D:\\"), d.ItemText(IDC_EDIT_PATH));
        d.Cancel();
    });
}

TEST(Navigation, RightClickCollapsesTheChildrenAndExpandsWhatIsBelow)
{
    TestFolder folder("rclick");
    folder.MakeDirs("a\\b\\c");
    RunFolderDialog(folder.Path("a\\b"), [&](Driver& d) {
        HTREEITEM hProgram = NodeOf(d, folder.Path().Left(folder.Path().ReverseFind('\\')));
        HTREEITEM hFolder = NodeOf(d, folder.Path());
        HTREEITEM hA = NodeOf(d, folder.Path("a"));
        HTREEITEM hB = NodeOf(d, folder.Path("a\\b"));
        ASSERT_TRUE(hProgram && hFolder && hA && hB);
        d.SelectNode(d.Root());
        d.OnUi([&] { TreeView_Expand(d.Item(IDC_FOLDER_TREE), hA, TVE_COLLAPSE); });

        // The top node is selected: its children collapse, every deeper
        // node with children expands; nothing is listed or selected.
        d.RightClickNode(hFolder);
        EXPECT_EQ(d.Root(), d.Selected());
        EXPECT_FALSE(d.IsExpanded(hProgram));
        EXPECT_TRUE(d.IsExpanded(hFolder));
        EXPECT_TRUE(d.IsExpanded(hA));
        EXPECT_TRUE(d.IsExpanded(hB));
        EXPECT_EQ((std::vector<CString>{ "c" }), d.Children(hB));

        // A selected node without children: nothing changes.
        HTREEITEM hC = d.Child(hB, "c");
        d.SelectNode(hC);
        d.RightClickNode(hC);
        EXPECT_EQ(hC, d.Selected());
        EXPECT_TRUE(d.IsExpanded(hB));
        d.Cancel();
    });
}

// Memory runs out while a listing collects: the user is told, the list is
// emptied and the search goes on, so the node gets the folders found after.
// The hook refuses the n-th allocation of one size on the user-interface thread.
static DWORD s_nRefuseThread;
static size_t s_nRefuseSize;
static std::atomic<int> s_nRefuseBefore{-1};
static BOOL RefuseNth(size_t nSize, BOOL, LONG)
{
    if (GetCurrentThreadId() != s_nRefuseThread || nSize != s_nRefuseSize)
        return TRUE;
    return s_nRefuseBefore.fetch_sub(1) != 0;
}

TEST(Navigation, RunningOutOfMemoryWhileListingEmptiesTheListAndGoesOn)
{
    TestFolder folder("oom");
    for (int i = 0; i < 20; i++) {
        CString strName;
        strName.Format("many\\folder-number-%03d", i);
        folder.MakeDirs(strName);
    }
    struct Case {
        const char* pszContext;
        size_t nSize;
        int nRefused;  // the n-th allocation of that size fails
    } cases[] = {
        // The list grows at 0, 4 and 8 entries: the third growth, to 12, fails.
        { "the list cannot grow", 12 * sizeof(CString), 1 },
        // The ninth copy of a name into the list fails (names of 17
        // characters, beyond what a string holds in itself: the listing
        // makes each in a buffer one byte larger).
        { "a name cannot be copied into the list", strlen("folder-number-000") + 1, 9 },
    };
    for (const Case& c : cases) {
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            HTREEITEM hMany = NodeOf(d, folder.Path("many"));
            ASSERT_NE(nullptr, hMany) << c.pszContext;
            d.OnUi([&] {
                s_nRefuseThread = GetCurrentThreadId();
                s_nRefuseSize = c.nSize;
                s_nRefuseBefore = c.nRefused - 1;
                AfxSetAllocHook(RefuseNth);
            });
            d.PostUi([&] { TreeView_SelectItem(d.Item(IDC_FOLDER_TREE), hMany); });
            HWND hBox = WaitForListFullBox(d);
            ASSERT_NE(nullptr, hBox) << c.pszContext;
            d.Answer(hBox, IDOK);
            d.OnUi([] { AfxSetAllocHook(NULL); });
            // Eight entries were dropped with the list and the ninth was lost.
            EXPECT_EQ(11u, d.Children(hMany).size()) << c.pszContext;
            EXPECT_EQ(folder.Path("many"), d.ItemText(IDC_EDIT_PATH)) << c.pszContext;
            d.Cancel();
        });
    }
}
