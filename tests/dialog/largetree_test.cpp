// Every command that changes many nodes leaves the tree the plain
// algorithms give (labels, order, expansion, selection), built here in a
// tree view of the test's own, and the dialog's tree turns its redrawing
// off and on once per command.
#include "scan_support.h"

namespace {

// A tree view on the test's own thread, built the plain way: each label
// looked up by a linear search of the children and appended when missing,
// siblings sorted by the control, nodes expanded from the top down.
class PlainTree {
public:
    PlainTree()
    {
        m_hWnd = CreateWindowA(WC_TREEVIEWA, "", WS_POPUP | TVS_HASBUTTONS, 0, 0, 200, 200, NULL, NULL, NULL, NULL);
        m_tree.Attach(m_hWnd);
        m_hRoot = Insert(TVI_ROOT, "root");
    }
    ~PlainTree()
    {
        m_tree.Detach();
        DestroyWindow(m_hWnd);
    }
    HTREEITEM Insert(HTREEITEM hParent, const CString& strLabel)
    {
        TVINSERTSTRUCTA tvis = {};
        tvis.hParent = hParent;
        tvis.hInsertAfter = TVI_LAST;
        tvis.item.mask = TVIF_TEXT;
        tvis.item.pszText = (LPSTR)(LPCSTR)strLabel;
        return m_tree.InsertItem(&tvis);
    }
    // Paths relative to the root, a\b, in the order given.
    void Build(const std::vector<CString>& paths)
    {
        for (const CString& strPath : paths) {
            HTREEITEM hCurrent = m_hRoot;
            for (int nStart = 0; nStart <= strPath.GetLength();) {
                int nEnd = strPath.Find('\\', nStart);
                if (nEnd == -1)
                    nEnd = strPath.GetLength();
                CString strLabel = strPath.Mid(nStart, nEnd - nStart);
                HTREEITEM hFound = NULL;
                for (HTREEITEM h = m_tree.GetChildItem(hCurrent); h && !hFound; h = m_tree.GetNextSiblingItem(h))
                    if (m_tree.GetItemText(h) == strLabel)
                        hFound = h;
                hCurrent = hFound ? hFound : Insert(hCurrent, strLabel);
                nStart = nEnd + 1;
            }
        }
    }
    void SortChildren() { m_tree.SortChildren(m_hRoot); }
    void ExpandAll(HTREEITEM hItem = NULL)
    {
        hItem = hItem ? hItem : m_hRoot;
        if (!m_tree.GetChildItem(hItem))
            return;
        m_tree.Expand(hItem, TVE_EXPAND);
        for (HTREEITEM h = m_tree.GetChildItem(hItem); h; h = m_tree.GetNextSiblingItem(h))
            ExpandAll(h);
    }
    std::vector<CString> Shape() { return ShapeOf(&m_tree, m_hRoot); }

    // Every node below hNode, depth first: its path below hNode, and " +"
    // when it is expanded.
    static std::vector<CString> ShapeOf(CTreeCtrl* pTree, HTREEITEM hNode, const CString& strPrefix = "")
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

private:
    HWND m_hWnd;
    CTreeCtrl m_tree;
    HTREEITEM m_hRoot;
};

std::vector<CString> ShapeOf(Driver& d, HTREEITEM hNode)
{
    std::vector<CString> shape;
    d.OnUi([&] { shape = PlainTree::ShapeOf((CTreeCtrl*)CWnd::FromHandle(d.Item(IDC_FOLDER_TREE)), hNode); });
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

// The shape of one level listed and sorted the plain way.
std::vector<CString> PlainLevel(const std::vector<CString>& names)
{
    PlainTree plain;
    plain.Build(names);
    plain.SortChildren();
    return plain.Shape();
}

// The WM_SETREDRAW messages the dialog's tree is sent, and CHANGE_SHOWN
// for each message that changes nodes while the tree redraws (other than
// the selections the test makes), recorded on the user-interface thread.
const WPARAM CHANGE_SHOWN = 2;
std::vector<WPARAM> g_redraws;
bool g_bRedrawOff;
WNDPROC g_pfnTreeProc;
LRESULT CALLBACK RecordRedraw(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_SETREDRAW) {
        g_redraws.push_back(wParam);
        g_bRedrawOff = !wParam;
    }
    bool bChange = nMsg == TVM_INSERTITEMA || nMsg == TVM_INSERTITEMW || nMsg == TVM_DELETEITEM ||
                   nMsg == TVM_EXPAND || nMsg == TVM_SORTCHILDREN || nMsg == TVM_SETITEMA || nMsg == TVM_SETITEMW;
    if (bChange && !g_bRedrawOff)
        g_redraws.push_back(CHANGE_SHOWN);
    return CallWindowProcW(g_pfnTreeProc, hWnd, nMsg, wParam, lParam);
}
const std::vector<WPARAM> ONCE_OFF_AND_ON = { FALSE, TRUE };

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
    std::vector<CString> paths = FoldersOnDisk(folder.Path());
    PlainTree scanned;
    scanned.Build(paths);
    scanned.ExpandAll();
    const std::vector<CString> expanded = scanned.Shape();

    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = NodeOf(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        d.OnUi([&] {
            HWND hTree = d.Item(IDC_FOLDER_TREE);
            g_pfnTreeProc = (WNDPROC)SetWindowLongPtrW(hTree, GWLP_WNDPROC, (LONG_PTR)RecordRedraw);
        });

        // Selecting lists one level, sorted as the control sorts.
        d.SelectNode(hNode);
        EXPECT_EQ(PlainLevel(Listing(folder.Path())), ShapeOf(d, hNode));
        EXPECT_EQ(ONCE_OFF_AND_ON, TakeRedraws(d)) << "selection";

        // Expand Recursive builds the scan's tree, every node with
        // children expanded; again on the expanded subtree, the same.
        for (const char* pszContext : { "Expand Recursive", "Expand Recursive again" }) {
            ExpandRecursive(d);
            EXPECT_EQ(expanded, ShapeOf(d, hNode)) << pszContext;
            EXPECT_TRUE(d.IsExpanded(hNode)) << pszContext;
            EXPECT_EQ(hNode, d.Selected()) << pszContext;
            EXPECT_EQ(ONCE_OFF_AND_ON, TakeRedraws(d)) << pszContext;
        }

        // Selecting a node inside the expanded tree relists it alone; then
        // the folder's own node again: its expanded subtree goes, its new
        // children show below it, unlisted.
        HTREEITEM hB = NodeOf(d, folder.Path("b"));
        d.SelectNode(hB);
        EXPECT_EQ(PlainLevel(Listing(folder.Path("b"))), ShapeOf(d, hB));
        EXPECT_EQ(ONCE_OFF_AND_ON, TakeRedraws(d)) << "selection inside";
        d.SelectNode(hNode);
        std::vector<CString> level = PlainLevel(Listing(folder.Path()));
        EXPECT_EQ(level, ShapeOf(d, hNode));
        EXPECT_TRUE(d.IsExpanded(hNode));
        HTREEITEM hFirstShown = NULL;
        d.OnUi([&] { hFirstShown = TreeView_GetNextVisible(d.Item(IDC_FOLDER_TREE), hNode); });
        EXPECT_EQ(d.Child(hNode, level.front()), hFirstShown);
        EXPECT_EQ(ONCE_OFF_AND_ON, TakeRedraws(d)) << "selection of the expanded node";

        // Deleting a folder whose node holds an expanded subtree removes
        // the node alone.
        ExpandRecursive(d);
        TakeRedraws(d);
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
        std::vector<CString> top = d.Children(d.Root());
        EXPECT_EQ(PlainLevel(top), ShapeOf(d, d.Root()));
        EXPECT_EQ(d.Root(), d.Selected());
        EXPECT_EQ(ONCE_OFF_AND_ON, TakeRedraws(d)) << "drive";
        d.Cancel();
    });

    // Following an initial path lists and expands each folder on it.
    RunFolderDialog(folder.Path("b\\c"), [&](Driver& d) {
        for (const char* pszFolder : { "", "b", "b\\c" }) {
            HTREEITEM hOpened = NodeOf(d, folder.Path(pszFolder));
            ASSERT_NE(nullptr, hOpened) << pszFolder;
            std::vector<CString> shape = ShapeOf(d, hOpened);
            std::vector<CString> level = PlainLevel(Listing(folder.Path(pszFolder)));
            for (CString& strLine : shape)
                strLine.Replace(" +", "");
            shape.erase(std::remove_if(shape.begin(), shape.end(), [](const CString& s) { return s.Find('\\') != -1; }),
                        shape.end());
            EXPECT_EQ(level, shape) << pszFolder;
            EXPECT_TRUE(d.IsExpanded(hOpened)) << pszFolder;
        }
        EXPECT_EQ(d.Root(), d.Selected());
        d.Cancel();
    });
}
