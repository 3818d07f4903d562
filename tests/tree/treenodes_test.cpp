// The tree-node helpers: the order of names as the tree's own sort leaves
// them, and the guard that suspends a window's redrawing.
#include <TreeNodes.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A tree view in a window of its own.
class TreeWindow {
public:
    TreeWindow()
    {
        InitCommonControls();
        m_hParent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 300, 300, NULL, NULL, NULL, NULL);
        m_hTree = CreateWindowA(WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0, 0, 300, 300, m_hParent,
                                NULL, NULL, NULL);
        m_tree.Attach(m_hTree);
    }
    ~TreeWindow()
    {
        m_tree.Detach();
        DestroyWindow(m_hParent);
    }
    CTreeCtrl* Tree() { return &m_tree; }

    // The children of a new node inserted in the given order, then sorted by the control.
    std::vector<CString> SortedByTheControl(const std::vector<CString>& names)
    {
        HTREEITEM hParent = InsertFolderNode(&m_tree, TVI_ROOT, "parent");
        for (const CString& strName : names)
            InsertFolderNode(&m_tree, hParent, strName);
        m_tree.SortChildren(hParent);
        std::vector<CString> sorted;
        for (HTREEITEM h = m_tree.GetChildItem(hParent); h; h = m_tree.GetNextSiblingItem(h))
            sorted.push_back(m_tree.GetItemText(h));
        m_tree.DeleteItem(hParent);
        return sorted;
    }

private:
    HWND m_hParent;
    HWND m_hTree;
    CTreeCtrl m_tree;
};

std::string Joined(const std::vector<CString>& names)
{
    std::string str;
    for (const CString& strName : names)
        str += std::string(strName) + " | ";
    return str;
}

// Each set, in its given order, ordered by SortLikeTree and by the control.
void ExpectTheControlsOrder(const std::vector<std::vector<CString>>& sets)
{
    TreeWindow window;
    for (const std::vector<CString>& names : sets) {
        std::vector<CString> ordered = names;
        EXPECT_TRUE(SortLikeTree(ordered)) << Joined(names);
        EXPECT_EQ(Joined(window.SortedByTheControl(names)), Joined(ordered)) << "given: " << Joined(names);
    }
}

}  // namespace

TEST(SortLikeTree, OrdersNamesAsTheControlsOwnSort)
{
    ExpectTheControlsOrder({
        // letter case: names equal but for it keep their given order
        { "b", "B", "a", "A", "ab", "Ab", "aB", "AB" },
        { "B", "b", "A", "a" },
        // digits
        { "a10", "a9", "a1", "a01", "10", "9", "1.5", "1,5", "2", "02", "a 2", "a2" },
        // punctuation, which the locale's word sort weighs apart
        { "a-b", "ab", "a_b", "a b", "a.b", "a'b", "-ab", "_x", "~x", "!x", "#x", "(x)", "[x]", "{x}", "x+y", "x=y",
          "x@y", "x$y", "x%y", "x&y", "a--b", "a-", "'a", "co-op", "coop", "co op" },
        // letters beyond ASCII in the ANSI code page
        { "\xE9", "e", "E", "f", "\xE4", "a", "z", "\xC6", "ae", "\xDF", "ss", "\xD8", "o", "\xF1", "n", "\xFF", "y" },
        // a folder's listing: no order at all
        { "folder00007", "Folder00003", "folder00005", "FOLDER00001", "folder00010", "folder00002" },
    });
}

TEST(SortLikeTreeDbcs, OrdersDoubleByteNamesAsTheControlsOwnSort)
{
    if (getenv("VARNET_EXPECT_ACP"))
        ASSERT_EQ((UINT)atoi(getenv("VARNET_EXPECT_ACP")), GetACP());
    else if (GetACP() != 932)
        GTEST_SKIP() << "ANSI code page " << GetACP() << " is not 932";
    // Hiragana, katakana (full and half width), kanji, full-width letters,
    // and characters whose second byte is a backslash (ソ, 表, 能).
    const wchar_t* apszWide[] = { L"\x3042", L"\x3044", L"\x30A2", L"\x30A4", L"\xFF71", L"\x65E5\x672C",
                                  L"\x6F22\x5B57", L"\xFF21", L"\xFF42", L"A", L"b", L"\x65E5\x672C" L"a",
                                  L"\x65E5\x672C" L"B", L"\x30BD", L"\x8868", L"\x80FD", L"\x30BD" L"x" };
    std::vector<CString> names;
    for (const wchar_t* pszWide : apszWide) {
        char szName[64] = "";
        WideCharToMultiByte(CP_ACP, 0, pszWide, -1, szName, sizeof szName, NULL, NULL);
        names.push_back(szName);
    }
    std::vector<CString> reversed(names.rbegin(), names.rend());
    ExpectTheControlsOrder({ names, reversed });
}

TEST(DeleteChildNodes, LeavesTheNodeAsDeletingEachChildDoes)
{
    struct Case {
        const char* pszContext;
        bool bExpanded;  // the node, before
        bool bSelectBelow;
    } cases[] = {
        { "a collapsed node", false, false },
        { "an expanded node", true, false },
        { "an expanded node with the selection below it", true, true },
    };
    for (const Case& c : cases) {
        // Twin trees: one loses the children one by one, the other by the helper.
        std::vector<std::string> results;
        for (bool bHelper : { false, true }) {
            TreeWindow window;
            CTreeCtrl* pTree = window.Tree();
            HTREEITEM hTop = InsertFolderNode(pTree, TVI_ROOT, "top");
            HTREEITEM hNode = InsertFolderNode(pTree, hTop, "node");
            HTREEITEM hChild = InsertFolderNode(pTree, hNode, "child");
            InsertFolderNode(pTree, hChild, "grandchild");
            InsertFolderNode(pTree, hNode, "second");
            pTree->Expand(hTop, TVE_EXPAND);
            if (c.bExpanded)
                pTree->Expand(hNode, TVE_EXPAND);
            pTree->SelectItem(c.bSelectBelow ? hChild : hTop);
            if (bHelper) {
                DeleteChildNodes(pTree, hNode);
            } else {
                while (HTREEITEM h = pTree->GetChildItem(hNode))
                    pTree->DeleteItem(h);
            }
            // The node, the selection, and where a new child shows.
            HTREEITEM hNew = InsertFolderNode(pTree, hNode, "new");
            HTREEITEM hShown = pTree->GetNextItem(hNode, TVGN_NEXTVISIBLE);
            results.push_back(std::string(pTree->GetItemText(pTree->GetSelectedItem())) +
                              (pTree->GetItemState(hNode, TVIS_EXPANDED) & TVIS_EXPANDED ? " expanded" : "") +
                              (hShown == hNew ? " shows the new child" : ""));
        }
        EXPECT_EQ(results[0], results[1]) << c.pszContext;
    }
}

namespace {

// The WM_SETREDRAW messages a window was sent.
std::vector<WPARAM> g_redraws;
WNDPROC g_pfnTreeProc;
LRESULT CALLBACK RecordRedraw(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_SETREDRAW)
        g_redraws.push_back(wParam);
    return CallWindowProcA(g_pfnTreeProc, hWnd, nMsg, wParam, lParam);
}

}  // namespace

TEST(RedrawOff, OnlyTheOutermostGuardTurnsRedrawingBackOnHoweverItsScopeIsLeft)
{
    struct Case {
        const char* pszContext;
        int nDepth;   // guards inside one another
        bool bThrow;  // the innermost scope is left by an exception
    } cases[] = {
        { "one guard", 1, false },
        { "three guards inside one another", 3, false },
        { "an exception from inside two guards", 2, true },
    };
    TreeWindow window;
    HWND hTree = window.Tree()->GetSafeHwnd();
    g_pfnTreeProc = (WNDPROC)SetWindowLongPtrA(hTree, GWLP_WNDPROC, (LONG_PTR)RecordRedraw);
    for (const Case& c : cases) {
        g_redraws.clear();
        std::function<void(int)> nest = [&](int nLeft) {
            CRedrawOff noRedraw(window.Tree());
            EXPECT_EQ(std::vector<WPARAM>{ FALSE }, g_redraws) << c.pszContext;
            if (nLeft > 1)
                nest(nLeft - 1);
            else if (c.bThrow)
                throw std::runtime_error("inside");
        };
        try {
            nest(c.nDepth);
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ((std::vector<WPARAM>{ FALSE, TRUE }), g_redraws) << c.pszContext;
    }
    SetWindowLongPtrA(hTree, GWLP_WNDPROC, (LONG_PTR)g_pfnTreeProc);
}
