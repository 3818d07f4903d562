// Every command that changes many nodes leaves the tree the plain
// algorithms give (labels, order, expansion, selection), built here in a
// tree view of the test's own, and turns the tree's redrawing off and on
// once, changing no node while it redraws.
#include "scan_support.h"

namespace {

// Every node below hNode, depth first: its path below hNode, and " +" when
// it is expanded.
std::vector<CString> ShapeOf(CTreeCtrl* pTree, HTREEITEM hNode, const CString& strPrefix = "")
{
    std::vector<CString> shape;
    for (HTREEITEM h = pTree->GetChildItem(hNode); h; h = pTree->GetNextSiblingItem(h)) {
        CString strPath = strPrefix + pTree->GetItemText(h);
        shape.push_back(strPath + (pTree->GetItemState(h, TVIS_EXPANDED) & TVIS_EXPANDED ? " +" : ""));
        std::vector<CString> below = ShapeOf(pTree, h, strPath + "\\");
        shape.insert(shape.end(), below.begin(), below.end());
    }
    return shape;
}

std::vector<CString> ShapeOf(Driver& d, HTREEITEM hNode)
{
    std::vector<CString> shape;
    d.OnUi([&] { shape = ShapeOf((CTreeCtrl*)CWnd::FromHandle(d.Item(IDC_FOLDER_TREE)), hNode); });
    return shape;
}

// The shape the plain way gives to paths (a\b) taken in their order: each
// label looked up by a linear search of the children and appended when
// missing; then the root's children sorted by the control (bSort), or
// every node with children expanded by a recursion from the top down.
std::vector<CString> PlainShape(const std::vector<CString>& paths, bool bSort)
{
    CTreeCtrl tree;
    tree.Attach(CreateWindowA(WC_TREEVIEWA, "", WS_POPUP | TVS_HASBUTTONS, 0, 0, 200, 200, NULL, NULL, NULL, NULL));
    auto insert = [&](HTREEITEM hParent, const CString& strLabel) {
        TVINSERTSTRUCTA tvis = {};
        tvis.hParent = hParent;
        tvis.hInsertAfter = TVI_LAST;
        tvis.item.mask = TVIF_TEXT;
        tvis.item.pszText = (LPSTR)(LPCSTR)strLabel;
        return tree.InsertItem(&tvis);
    };
    HTREEITEM hRoot = insert(TVI_ROOT, "root");
    for (const CString& strPath : paths) {
        HTREEITEM hCurrent = hRoot;
        for (int nStart = 0; nStart <= strPath.GetLength();) {
            int nEnd = strPath.Find('\\', nStart);
            CString strLabel = strPath.Mid(nStart, (nEnd == -1 ? strPath.GetLength() : nEnd) - nStart);
            HTREEITEM hFound = tree.GetChildItem(hCurrent);
            while (hFound && tree.GetItemText(hFound) != strLabel)
                hFound = tree.GetNextSiblingItem(hFound);
            hCurrent = hFound ? hFound : insert(hCurrent, strLabel);
            nStart = nEnd == -1 ? strPath.GetLength() + 1 : nEnd + 1;
        }
    }
    std::function<void(HTREEITEM)> expandAll = [&](HTREEITEM hItem) {
        if (!tree.GetChildItem(hItem))
            return;
        tree.Expand(hItem, TVE_EXPAND);
        for (HTREEITEM h = tree.GetChildItem(hItem); h; h = tree.GetNextSiblingItem(h))
            expandAll(h);
    };
    if (bSort)
        tree.SortChildren(hRoot);
    else
        expandAll(hRoot);
    std::vector<CString> shape = ShapeOf(&tree, hRoot);
    DestroyWindow(tree.Detach());
    return shape;
}

// The names of one folder's subfolders, in the order the system lists them.
std::vector<CString> Listing(const CString& strFolder)
{
    std::vector<CString> names;
    for (const CString& strPath : FoldersOnDisk(strFolder))
        if (strPath.Find('\\') == -1)
            names.push_back(strPath);
    return names;
}

// The WM_SETREDRAW messages the dialog's tree is sent, and CHANGE_SHOWN for
// each message that changes nodes while it redraws (the test's own
// selections aside), recorded on the user-interface thread.
const WPARAM CHANGE_SHOWN = 2;
const std::vector<WPARAM> ONCE_OFF_AND_ON = { FALSE, TRUE };
std::vector<WPARAM> g_redraws;
bool g_bRedrawOff;
WNDPROC g_pfnTreeProc;
LRESULT CALLBACK RecordRedraw(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_SETREDRAW) {
        g_redraws.push_back(wParam);
        g_bRedrawOff = !wParam;
    }
    // A node's item data alone is not shown.
    bool bDataOnly = (nMsg == TVM_SETITEMA || nMsg == TVM_SETITEMW) &&
                     (((TVITEMA*)lParam)->mask & ~(TVIF_PARAM | TVIF_HANDLE)) == 0;
    bool bChange = nMsg == TVM_INSERTITEMA || nMsg == TVM_INSERTITEMW || nMsg == TVM_DELETEITEM ||
                   nMsg == TVM_EXPAND || nMsg == TVM_SORTCHILDREN ||
                   ((nMsg == TVM_SETITEMA || nMsg == TVM_SETITEMW) && !bDataOnly);
    if (bChange && !g_bRedrawOff)
        g_redraws.push_back(CHANGE_SHOWN);
    return CallWindowProcW(g_pfnTreeProc, hWnd, nMsg, wParam, lParam);
}

std::vector<WPARAM> TakeRedraws(Driver& d)
{
    std::vector<WPARAM> redraws;
    d.OnUi([&] { redraws.swap(g_redraws); });
    return redraws;
}

}  // namespace

TEST(LargeTree, EveryCommandLeavesThePlainAlgorithmsTreeDrawnOnce)
{
    TestFolder folder("plain");
    // Names whose order depends on letter case, digits and punctuation,
    // made natively (Wine's own calls do not tell apart names that differ
    // in case only) and in an order unlike any sort.
    ASSERT_EQ(0, RunNative("cd '" + UnixPath(folder.Path()) +
                           "' && mkdir -p x.y ab/x a9/Z/q b/c/d '~t/u/v/w' a10 1 B a_1/k 'a 1' Ab 10 a-1 b/C a9/z 2"));
    const std::vector<CString> expanded = PlainShape(FoldersOnDisk(folder.Path()), false);

    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = NodeOf(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        // The folder opened on starts selected: the top node first, so that
        // selecting the folder is a change.
        d.SelectNode(d.Root());
        d.OnUi([&] { g_pfnTreeProc = (WNDPROC)SetWindowLongPtrW(d.Item(IDC_FOLDER_TREE), GWLP_WNDPROC, (LONG_PTR)RecordRedraw); });

        // Selecting lists one level, sorted as the control sorts.
        d.SelectNode(hNode);
        EXPECT_EQ(PlainShape(Listing(folder.Path()), true), ShapeOf(d, hNode));
        EXPECT_EQ(ONCE_OFF_AND_ON, TakeRedraws(d)) << "selection";

        // Expand Recursive builds the scan's tree, every node with children
        // expanded; again on the expanded subtree, the same.
        for (const char* pszContext : { "Expand Recursive", "Expand Recursive again" }) {
            ExpandRecursive(d);
            EXPECT_EQ(expanded, ShapeOf(d, hNode)) << pszContext;
            EXPECT_TRUE(d.IsExpanded(hNode)) << pszContext;
            EXPECT_EQ(hNode, d.Selected()) << pszContext;
            EXPECT_EQ(ONCE_OFF_AND_ON, TakeRedraws(d)) << pszContext;
        }

        // A node inside the expanded tree is relisted alone; then the
        // folder's node: its expanded subtree goes, its new children show
        // below it, unlisted.
        HTREEITEM hB = NodeOf(d, folder.Path("b"));
        d.SelectNode(hB);
        EXPECT_EQ(PlainShape(Listing(folder.Path("b")), true), ShapeOf(d, hB));
        EXPECT_EQ(ONCE_OFF_AND_ON, TakeRedraws(d)) << "selection inside";
        d.SelectNode(hNode);
        std::vector<CString> level = PlainShape(Listing(folder.Path()), true);
        EXPECT_EQ(level, ShapeOf(d, hNode));
        HTREEITEM hFirstShown = NULL;
        d.OnUi([&] { hFirstShown = TreeView_GetNextVisible(d.Item(IDC_FOLDER_TREE), hNode); });
        EXPECT_EQ(d.Child(hNode, level.front()), hFirstShown);
        EXPECT_EQ(ONCE_OFF_AND_ON, TakeRedraws(d)) << "selection of the expanded node";

        // Deleting a folder whose node holds an expanded subtree removes
        // that node alone.
        ExpandRecursive(d);
        d.ClickNode(NodeOf(d, folder.Path("a9")));
        ExpandRecursive(d);
        d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
        HWND hBox = d.WaitForMessageBox();
        ASSERT_NE(nullptr, hBox);
        std::vector<CString> remaining;
        for (const CString& strLine : ShapeOf(d, hNode))
            if (strLine != "a9 +" && strLine.Left(3) != "a9\\")
                remaining.push_back(strLine);
        TakeRedraws(d);
        d.Answer(hBox, IDYES);
        EXPECT_FALSE(IsFolder(folder.Path("a9")));
        EXPECT_EQ(remaining, ShapeOf(d, hNode));
        EXPECT_EQ(ONCE_OFF_AND_ON, TakeRedraws(d)) << "deletion";

        // Choosing the drive again lists its first level, sorted.
        d.ChooseDrive(d.DriveSelection());
        EXPECT_EQ(PlainShape(d.Children(d.Root()), true), ShapeOf(d, d.Root()));
        EXPECT_EQ(ONCE_OFF_AND_ON, TakeRedraws(d)) << "drive";
        d.Cancel();
    });
}
