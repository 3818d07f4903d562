// The tree-node helpers against what the tree view itself does: the order of
// names, the deletion of a node's children, and the guard that suspends a
// window's redrawing.
#include <TreeNodes.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A tree view of the test's own; Insert puts a node last below hParent.
struct TreeWindow {
    CTreeCtrl tree;
    TreeWindow()
    {
        InitCommonControls();
        tree.Attach(CreateWindowA(WC_TREEVIEWA, "", WS_POPUP | TVS_HASBUTTONS, 0, 0, 300, 300, NULL, NULL, NULL, NULL));
    }
    ~TreeWindow() { DestroyWindow(tree.Detach()); }
    HTREEITEM Insert(HTREEITEM hParent, const char* pszName) { return InsertFolderNode(&tree, hParent, pszName); }
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
        HTREEITEM hParent = window.Insert(TVI_ROOT, "parent");
        for (const CString& strName : names)
            window.Insert(hParent, strName);
        window.tree.SortChildren(hParent);
        std::vector<CString> sorted;
        for (HTREEITEM h = window.tree.GetChildItem(hParent); h; h = window.tree.GetNextSiblingItem(h))
            sorted.push_back(window.tree.GetItemText(h));
        window.tree.DeleteItem(hParent);

        std::vector<CString> ordered = names;
        EXPECT_TRUE(SortLikeTree(ordered)) << Joined(names);
        EXPECT_EQ(Joined(sorted), Joined(ordered)) << "given: " << Joined(names);
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

// The tree_tests_dbcs run starts the program in code page 932.
TEST(SortLikeTreeDbcs, OrdersDoubleByteNamesAsTheControlsOwnSort)
{
    if (getenv("VARNET_EXPECT_ACP"))
        ASSERT_EQ((UINT)atoi(getenv("VARNET_EXPECT_ACP")), GetACP());
    else if (GetACP() != 932)
        GTEST_SKIP() << "ANSI code page " << GetACP() << " is not 932";
    // Hiragana, katakana (full and half width), kanji, full-width letters,
    // and characters whose second byte is a backslash (ソ, 表, 能).
    std::vector<CString> names;
    for (const wchar_t* pszWide : { L"\x3042", L"\x3044", L"\x30A2", L"\x30A4", L"\xFF71", L"\x65E5\x672C", L"\x6F22\x5B57",
                                    L"\xFF21", L"\xFF42", L"A", L"b", L"\x65E5\x672C" L"a", L"\x65E5\x672C" L"B", L"\x30BD",
                                    L"\x8868", L"\x80FD", L"\x30BD" L"x" }) {
        char szName[64] = "";
        WideCharToMultiByte(CP_ACP, 0, pszWide, -1, szName, sizeof szName, NULL, NULL);
        names.push_back(szName);
    }
    ExpectTheControlsOrder({ names, std::vector<CString>(names.rbegin(), names.rend()) });
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
        // Twin trees: one loses the children one by one, the other by the
        // helper; then the selection, the node's state and where a new child shows.
        std::string results[2];
        for (int nHelper = 0; nHelper < 2; nHelper++) {
            TreeWindow w;
            HTREEITEM hTop = w.Insert(TVI_ROOT, "top"), hNode = w.Insert(hTop, "node"), hChild = w.Insert(hNode, "child");
            w.Insert(hChild, "grandchild");
            w.Insert(hNode, "second");
            w.tree.Expand(hTop, TVE_EXPAND);
            if (c.bExpanded)
                w.tree.Expand(hNode, TVE_EXPAND);
            w.tree.SelectItem(c.bSelectBelow ? hChild : hTop);
            if (nHelper)
                DeleteChildNodes(&w.tree, hNode);
            else
                while (HTREEITEM h = w.tree.GetChildItem(hNode))
                    w.tree.DeleteItem(h);
            bool bLeft = w.tree.GetChildItem(hNode) != NULL;
            HTREEITEM hNew = w.Insert(hNode, "new");
            results[nHelper] = std::string(w.tree.GetItemText(w.tree.GetSelectedItem())) + (bLeft ? " children left" : "") +
                               (w.tree.GetItemState(hNode, TVIS_EXPANDED) & TVIS_EXPANDED ? " expanded" : "") +
                               (w.tree.GetNextItem(hNode, TVGN_NEXTVISIBLE) == hNew ? " shows the new child" : "");
        }
        EXPECT_EQ(results[0], results[1]) << c.pszContext;
    }
}

// The WM_SETREDRAW messages the tree was sent.
static std::vector<WPARAM> s_redraws;
static WNDPROC s_pfnTreeProc;
static LRESULT CALLBACK RecordRedraw(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_SETREDRAW)
        s_redraws.push_back(wParam);
    return CallWindowProcW(s_pfnTreeProc, hWnd, nMsg, wParam, lParam);
}

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
    s_pfnTreeProc = (WNDPROC)SetWindowLongPtrW(window.tree, GWLP_WNDPROC, (LONG_PTR)RecordRedraw);
    for (const Case& c : cases) {
        s_redraws.clear();
        std::function<void(int)> nest = [&](int nLeft) {
            CRedrawOff noRedraw(&window.tree);
            EXPECT_EQ(std::vector<WPARAM>{ FALSE }, s_redraws) << c.pszContext;
            if (nLeft > 1)
                nest(nLeft - 1);
            else if (c.bThrow)
                throw std::runtime_error("inside");
        };
        try {
            nest(c.nDepth);
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ((std::vector<WPARAM>{ FALSE, TRUE }), s_redraws) << c.pszContext;
    }
    SetWindowLongPtrW(window.tree, GWLP_WNDPROC, (LONG_PTR)s_pfnTreeProc);
}
