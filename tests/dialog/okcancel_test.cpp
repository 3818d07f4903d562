// OK and Cancel: what the host reads back.
#include "dialog_support.h"

// The host passes a folder, the user clicks a subfolder, OK returns it.
TEST(OkCancel, TypicalRoadReturnsTheClickedFolder)
{
    TestFolder folder("road");
    folder.MakeDirs("data\\2001");
    folder.MakeDirs("data\\2002");
    CString strSelected;
    INT_PTR nResult = RunFolderDialog(folder.Path("data"), [&](Driver& d) {
        EXPECT_EQ(folder.Path("data"), d.ItemText(IDC_EDIT_PATH));
        HTREEITEM hNode = NodeOf(d, folder.Path("data"));
        ASSERT_NE(nullptr, hNode);
        EXPECT_EQ(hNode, d.Selected());
        EXPECT_TRUE(d.IsExpanded(hNode));
        EXPECT_EQ((std::vector<CString>{ "2001", "2002" }), d.Children(hNode));
        d.ClickNode(d.Child(hNode, "2002"));
        EXPECT_EQ(folder.Path("data\\2002"), d.ItemText(IDC_EDIT_PATH));
        d.Ok();
    }, &strSelected);
    EXPECT_EQ(IDOK, nResult);
    EXPECT_EQ(folder.Path("data\\2002"), strSelected);
}

TEST(OkCancel, OkReturnsTheSelectedNodeOrTheInitialPath)
{
    TestFolder folder("ok");
    folder.MakeDirs("a\\b");
    struct Case {
        const char* pszContext;
        CString strInitial;
        std::function<void(Driver&)> act;
        CString strExpected;
    } cases[] = {
        // Right after the start OK returns what the path box shows: the
        // deepest folder of the initial path that was found, as the tree
        // names it.
        { "right after start", folder.Path("a\\b"), [](Driver&) {}, folder.Path("a\\b") },
        { "a lower-case drive letter", "d" + folder.Path("a\\b").Mid(1), [](Driver&) {}, folder.Path("a\\b") },
        { "a missing last component", folder.Path("a\\gone"), [](Driver&) {}, folder.Path("a") },
        { "top node of drive D", folder.Path(), [](Driver& d) { d.SelectNode(d.Root()); }, "D:\\" },
        { "no drive matches the initial path", "Q:\\nowhere", [](Driver&) {}, "Q:\\nowhere" },
        { "a drive chosen later", "Q:\\nowhere", [](Driver& d) { d.ChooseDrive(2); }, "D:\\" },
        { "two-character path", "D:", [](Driver&) {}, "D:\\" },
    };
    for (const Case& c : cases) {
        CString strSelected;
        INT_PTR nResult = RunFolderDialog(c.strInitial, [&](Driver& d) {
            c.act(d);
            d.Ok();
        }, &strSelected);
        EXPECT_EQ(IDOK, nResult) << c.pszContext;
        EXPECT_EQ(c.strExpected, strSelected) << c.pszContext;
    }
}

TEST(OkCancel, EveryWayOfCancellingReturnsAnEmptyPath)
{
    TestFolder folder("cancel");
    folder.MakeDirs("a");
    struct Case {
        const char* pszContext;
        std::function<void(Driver&)> cancel;
    } cases[] = {
        { "Cancel button", [](Driver& d) { d.Cancel(); } },
        { "Esc key", [](Driver& d) { d.Key(VK_ESCAPE, d.Item(IDC_FOLDER_TREE)); } },
        { "close box", [](Driver& d) { PostMessageA(d.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); d.Sync(); } },
    };
    for (const Case& c : cases) {
        CString strSelected = "unchanged";
        INT_PTR nResult = RunFolderDialog(folder.Path(), [&](Driver& d) {
            d.SelectNode(d.Root());
            c.cancel(d);
        }, &strSelected);
        EXPECT_EQ(IDCANCEL, nResult) << c.pszContext;
        EXPECT_EQ(CString(""), strSelected) << c.pszContext;
    }
}
