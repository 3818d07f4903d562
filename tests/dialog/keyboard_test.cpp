// Keypad * and the tooltip relay: whichever control has the focus, the
// dialog takes the key before the control sees it.
#include "scan_support.h"

#include <map>

// Counts the messages that reach a window's procedure, for one window at a
// time; installed and removed on the user-interface thread.
struct Spy {
    HWND hWnd = NULL;
    WNDPROC pfnOld = NULL;
    std::map<UINT, int> keyDowns;  // virtual-key code: WM_KEYDOWN seen
    int nRelayed = 0;              // TTM_RELAYEVENT of a WM_MOUSEMOVE to hSource
    HWND hSource = NULL;
};
static Spy* s_pSpy;

static LRESULT CALLBACK SpyProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_KEYDOWN)
        s_pSpy->keyDowns[(UINT)wParam]++;
    if (nMsg == TTM_RELAYEVENT) {
        const MSG* pMsg = (const MSG*)lParam;
        if (pMsg->message == WM_MOUSEMOVE && pMsg->hwnd == s_pSpy->hSource)
            s_pSpy->nRelayed++;
    }
    return CallWindowProcA(s_pSpy->pfnOld, hWnd, nMsg, wParam, lParam);
}

static void Watch(Driver& d, Spy& spy, HWND hWnd)
{
    d.OnUi([&] {
        s_pSpy = &spy;
        spy.hWnd = hWnd;
        spy.pfnOld = (WNDPROC)SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)SpyProc);
    });
}

static void Unwatch(Driver& d, Spy& spy)
{
    d.OnUi([&] {
        SetWindowLongPtrA(spy.hWnd, GWLP_WNDPROC, (LONG_PTR)spy.pfnOld);
        s_pSpy = NULL;
    });
}

// Ins and Del, which start the folder commands, are tested with them.
// One test per control: each runs the command, which takes a second.
struct StarTarget {
    const char* pszName;
    HWND (*focus)(Driver& d, HWND hTree, HTREEITEM hNode);  // gives the focus to a control, returns it
};
const StarTarget s_starTargets[] = {
    { "Tree", [](Driver&, HWND hTree, HTREEITEM) { return hTree; } },
    { "DriveList", [](Driver& d, HWND, HTREEITEM) { return GetWindow(d.Item(IDC_CBX_DRIVES), GW_CHILD); } },
    { "PathBox", [](Driver& d, HWND, HTREEITEM) { return d.Item(IDC_EDIT_PATH); } },
    { "ErrorBox", [](Driver& d, HWND, HTREEITEM) { return d.Item(IDC_EDIT_ERROR); } },
    { "OkButton", [](Driver& d, HWND, HTREEITEM) { return d.Item(IDOK); } },
    { "ExpandRecursiveButton", [](Driver& d, HWND, HTREEITEM) { return d.Item(IDC_BN_EXPAND); } },
    { "LabelEditor", [](Driver&, HWND hTree, HTREEITEM hNode) {
          SetFocus(hTree);
          return TreeView_EditLabel(hTree, hNode);
      } },
};

class KeypadStar : public ::testing::TestWithParam<StarTarget> {};

TEST_P(KeypadStar, ExpandsFromTheControlAndNeverReachesIt)
{
    const StarTarget& t = GetParam();
    TestFolder folder("keys");
    folder.MakeDirs("a\\b");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = SelectNodeOf(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        HWND hTree = d.Item(IDC_FOLDER_TREE);
        // Collapsed first, so that the command's expansion shows.
        d.OnUi([&] { TreeView_Expand(hTree, hNode, TVE_COLLAPSE); });
        HWND hTarget = NULL;
        d.OnUi([&] {
            HWND h = t.focus(d, hTree, hNode);
            SetFocus(h);
            hTarget = h;
        });
        ASSERT_NE(nullptr, hTarget);
        ASSERT_EQ(hTarget, d.Focus());

        // The command runs (its progress dialog opens) instead of the
        // tree's own expand-all or the editor's typing.
        Spy spy;
        Watch(d, spy, hTarget);
        d.Key(VK_MULTIPLY, hTarget);
        EXPECT_NE(nullptr, d.WaitForDialog(PROGRESS_CAPTION, 0));
        ASSERT_TRUE(WaitForCommandEnd(d));
        if (IsWindow(hTarget))
            Unwatch(d, spy);
        s_pSpy = NULL;
        EXPECT_EQ(0, spy.keyDowns[VK_MULTIPLY]);
        EXPECT_TRUE(d.IsExpanded(hNode));
        EXPECT_EQ((std::vector<CString>{ "a", "a\\b" }), Subtree(d, hNode));
        d.OnUi([&] { TreeView_EndEditLabelNow(hTree, TRUE); });
        d.Cancel();
    });
}

INSTANTIATE_TEST_SUITE_P(Keyboard, KeypadStar, ::testing::ValuesIn(s_starTargets),
                         [](const ::testing::TestParamInfo<StarTarget>& info) { return std::string(info.param.pszName); });

// Keypad * typed into the editor of a label that was changed: the rename
// comes first, and the folder scanned is the renamed one (the edit used to
// end under the progress dialog, renaming the folder being scanned).
TEST(Keyboard, KeypadStarInALabelEditorRenamesFirstAndExpandsTheRenamedFolder)
{
    TestFolder folder("keys-rename");
    folder.MakeDirs("old\\a\\b");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hOld = SelectNodeOf(d, folder.Path("old"));
        ASSERT_NE(nullptr, hOld);
        d.EditLabel(hOld);
        ASSERT_NE(nullptr, d.LabelEditor());
        d.TypeText(d.LabelEditor(), "new");
        d.Key(VK_MULTIPLY, d.LabelEditor());
        ASSERT_TRUE(WaitForCommandEnd(d));
        EXPECT_EQ(nullptr, d.LabelEditor());
        EXPECT_EQ(CString("new"), d.Label(hOld));
        EXPECT_EQ((std::vector<CString>{ "a", "a\\b" }), Subtree(d, hOld));
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
    EXPECT_TRUE(IsFolder(folder.Path("new\\a\\b")));
    EXPECT_FALSE(Exists(folder.Path("old")));
}

TEST(Keyboard, MouseMessagesOfTheControlsAreRelayedToTheToolTips)
{
    TestFolder folder("tips");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HWND hToolTip = DialogToolTip(d.Dialog());
        ASSERT_NE(nullptr, hToolTip);
        Spy spy;
        spy.hSource = d.Item(IDC_BN_EXPAND);
        Watch(d, spy, hToolTip);
        PostMessageA(spy.hSource, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        d.Sync();
        Unwatch(d, spy);
        EXPECT_EQ(1, spy.nRelayed);
        d.Cancel();
    });
}
