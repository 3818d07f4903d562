// The Expand Recursive command and its progress-and-kill dialog: how the
// dialog shows, every way it can end, and what the command keeps after a
// stop.
#include "scan_support.h"

TEST(Expand, WithoutASelectedNodeOnlyTheInformationBoxShows)
{
    TestFolder folder("nosel");
    folder.MakeDirs("a\\b");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = NodeOf(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        std::vector<CString> before = Subtree(d, d.Root());
        d.OnUi([&] { TreeView_SelectItem(d.Item(IDC_FOLDER_TREE), NULL); });
        ASSERT_EQ(nullptr, d.Selected());

        d.Command(IDC_BN_EXPAND);
        HWND hBox = d.WaitForMessageBox();
        ASSERT_NE(nullptr, hBox);
        EXPECT_EQ(CString(VarnetText::SELECT_FOLDER), d.MessageBoxText(hBox));
        d.Answer(hBox, IDOK);
        d.Sync();
        EXPECT_FALSE(d.AnyOtherWindow());
        EXPECT_EQ(before, Subtree(d, d.Root()));
        d.Cancel();
    });
}

static BOOL CALLBACK CountProgressDialogs(HWND hWnd, LPARAM lParam)
{
    char szCaption[64] = "";
    GetWindowTextA(hWnd, szCaption, sizeof szCaption);
    if (IsWindowVisible(hWnd) && !strcmp(szCaption, PROGRESS_CAPTION))
        ++*(int*)lParam;
    return TRUE;
}

TEST(Expand, TheProgressDialogIsModalShowsItsTextAndEndsWithTheScan)
{
    TestFolder folder("progress");
    folder.MakeDirs("a\\b");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = SelectNodeOf(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        DWORD dwStart = GetTickCount();
        d.Command(IDC_BN_EXPAND);
        HWND hProgress = d.WaitForDialog(PROGRESS_CAPTION);
        ASSERT_NE(nullptr, hProgress);
        EXPECT_EQ(CString(VarnetText::SCAN_PROGRESS), d.Text(GetDlgItem(hProgress, IDC_EDIT_SCAN_TEXT)));
        EXPECT_EQ(CString("Kill Running Process or Thread"), d.Text(GetDlgItem(hProgress, IDC_BN_KILL)));
        EXPECT_EQ(GetDlgItem(hProgress, IDC_BN_KILL), d.Focus());
        EXPECT_EQ(d.Dialog(), GetWindow(hProgress, GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(d.Dialog()));

        // A second command while this one runs, by the button or the key,
        // is ignored: no second progress dialog opens.
        d.Command(IDC_BN_EXPAND);
        d.Key(VK_MULTIPLY, d.Item(IDC_FOLDER_TREE));
        int nProgress = 0;
        EnumThreadWindows(GetWindowThreadProcessId(d.Dialog(), NULL), CountProgressDialogs, (LPARAM)&nProgress);
        EXPECT_EQ(1, nProgress);

        // The timer sees the worker end at its first tick.
        ASSERT_TRUE(WaitForCommandEnd(d));
        DWORD dwElapsed = GetTickCount() - dwStart;
        EXPECT_GE(dwElapsed, 900u);
        EXPECT_LT(dwElapsed, 5000u);
        EXPECT_FALSE(d.AnyOtherWindow());
        EXPECT_TRUE(IsWindowEnabled(d.Dialog()));
        EXPECT_EQ((std::vector<CString>{ "a", "a\\b" }), Subtree(d, hNode));
        d.Cancel();
    });
}

TEST(Expand, TheWorkersOutOfMemoryBoxComesInFrontWhileTheCommandWaitsAndTheScanGoesOn)
{
    TestFolder folder("oombox");
    for (const char* pszName : { "x1", "x2", "x3", "x4", "x5", "x6", "x7", "x8" })
        folder.MakeDirs(pszName);
    std::vector<CString> full = FoldersOnDisk(folder.Path());
    // A host with a main window on this thread, as hosts have.
    HostMainWindow mainWnd;
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = SelectNodeOf(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        WorkerHold hold(d, 10);
        d.Command(IDC_BN_EXPAND);
        ASSERT_TRUE(hold.WaitUntilHeld());
        HWND hProgress = d.WaitForDialog(PROGRESS_CAPTION);
        ASSERT_NE(nullptr, hProgress);

        // Escape, then Yes: the command waits for the whole scan, and then
        // the worker runs out of memory.
        d.Key(VK_ESCAPE, GetDlgItem(hProgress, IDC_BN_KILL));
        HWND hQuestion = d.WaitForMessageBox();
        ASSERT_NE(nullptr, hQuestion);
        d.Answer(hQuestion, IDYES, false);
        ASSERT_TRUE(d.WaitUntilGone(hQuestion));
        // The activation has gone back to the folder dialog before the box comes.
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == d.Dialog(); }, "the folder dialog is in front"));
        hold.Release(true);

        // The worker's box, owned by no window and brought to the front
        // (Windows also makes it topmost; Wine 8 ignores that flag).
        HWND hBox = WaitForListFullBox(d);
        ASSERT_NE(nullptr, hBox);
        EXPECT_EQ(nullptr, GetWindow(hBox, GW_OWNER));
        EXPECT_EQ(hBox, GetForegroundWindow());
        d.Answer(hBox, IDOK);

        // The scan went on to its end after the box.
        ASSERT_TRUE(WaitForCommandEnd(d));
        std::vector<CString> tree = Subtree(d, hNode);
        EXPECT_FALSE(tree.empty());
        EXPECT_LT(tree.size(), full.size());
        EXPECT_TRUE(std::equal(tree.begin(), tree.end(), full.end() - tree.size()));
        d.Cancel();
    });
}

TEST(Expand, InsAndDelDoNothingWhileTheScanRuns)
{
    TestFolder folder("insdel");
    folder.MakeDirs("a\\b");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = SelectNodeOf(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        HWND hTree = d.Item(IDC_FOLDER_TREE);
        WorkerHold hold(d);
        d.Command(IDC_BN_EXPAND);
        ASSERT_TRUE(hold.WaitUntilHeld());
        ASSERT_NE(nullptr, d.WaitForDialog(PROGRESS_CAPTION));

        // Keys and clicks that still reach the dialog while the progress
        // dialog is open.
        d.Key(VK_INSERT, hTree);
        d.Key(VK_DELETE, hTree);
        d.Command(IDC_STATIC_MAKEFOLDER, STN_CLICKED);
        d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
        EXPECT_EQ(nullptr, d.LabelEditor());
        EXPECT_EQ(nullptr, d.WaitForMessageBox(0));
        EXPECT_EQ((std::vector<CString>{ "a" }), d.Children(hNode));

        hold.Release();
        ASSERT_TRUE(WaitForCommandEnd(d));
        EXPECT_EQ((std::vector<CString>{ "a", "a\\b" }), Subtree(d, hNode));
        EXPECT_TRUE(IsFolder(folder.Path()));
        d.Cancel();
    });
}

// Refuses the first allocation of an object larger than a bare dialog on
// the user-interface thread: the progress dialog, made after the worker started.
static DWORD s_nUiThread;
static LONG s_nRefused;
static BOOL RefuseTheProgressDialog(size_t nSize, BOOL bObject, LONG)
{
    if (!bObject || nSize <= sizeof(CDialog) || GetCurrentThreadId() != s_nUiThread)
        return TRUE;
    return InterlockedExchange(&s_nRefused, 1) != 0;
}

TEST(Expand, AnExceptionAfterTheWorkerStartedStillStopsAndWaitsForItAndTheCommandRunsAgain)
{
    TestFolder folder("exception");
    folder.MakeDirs("a\\b");
    s_nUiThread = GetCurrentThreadId();
    s_nRefused = 0;
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hNode = SelectNodeOf(d, folder.Path());
        ASSERT_NE(nullptr, hNode);
        AFX_ALLOC_HOOK pfnOld = AfxSetAllocHook(RefuseTheProgressDialog);
        d.Command(IDC_BN_EXPAND);
        HWND hBox = d.WaitForMessageBox();
        AfxSetAllocHook(pfnOld);
        ASSERT_NE(nullptr, hBox);
        EXPECT_EQ(1, s_nRefused);
        EXPECT_EQ(CString(VarnetText::OUT_OF_MEMORY), d.MessageBoxText(hBox));
        d.Answer(hBox, IDOK);
        EXPECT_FALSE(d.AnyOtherWindow());

        // The command runs again, to its end.
        d.Command(IDC_BN_EXPAND);
        EXPECT_NE(nullptr, d.WaitForDialog(PROGRESS_CAPTION));
        ASSERT_TRUE(WaitForCommandEnd(d));
        EXPECT_EQ((std::vector<CString>{ "a", "a\\b" }), Subtree(d, hNode));
        d.Cancel();
    });
}

// A tree whose scan takes seconds under Wine (about 8,400 folders), made
// natively once for the tests that stop it, with the complete scan's
// result as the reference.
class ExpandStop : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_pFolder = new TestFolder("big");
        RunNative("cd '" + UnixPath(s_pFolder->Path()) + "' && mkdir -p d{00..19}/e{00..19}/f{00..19}");
        s_pFull = new std::vector<CString>(FoldersOnDisk(s_pFolder->Path()));
    }
    static void TearDownTestSuite()
    {
        RunNative("rm -rf '" + UnixPath(s_pFolder->Path()) + "'");
        delete s_pFull;
        delete s_pFolder;
    }
    static TestFolder* s_pFolder;
    static std::vector<CString>* s_pFull;
};
TestFolder* ExpandStop::s_pFolder;
std::vector<CString>* ExpandStop::s_pFull;

// Each way of ending the progress dialog is a test of its own: a full scan
// of the tree takes seconds.
enum class StopBy { Kill, Escape, CloseBox, EnterInEdit };
struct StopCase {
    const char* pszName;
    StopBy by;
    int nAnswer;    // to the question: IDYES, IDNO, or 0 when none is asked
    bool bComplete; // the whole tree, or a part found up to the stop
};
const StopCase s_stopCases[] = {
    // Kill stops at once, without a question.
    { "Kill", StopBy::Kill, 0, false },
    { "EscapeThenNoStops", StopBy::Escape, IDNO, false },
    { "EscapeThenYesWaitsForTheWholeScan", StopBy::Escape, IDYES, true },
    { "CloseBoxThenNoStops", StopBy::CloseBox, IDNO, false },
    { "CloseBoxThenYesWaitsForTheWholeScan", StopBy::CloseBox, IDYES, true },
    // Enter in the edit box does not end the dialog while the scan runs.
    { "EnterInTheEditBoxIsIgnored", StopBy::EnterInEdit, 0, true },
};

class ExpandStopBy : public ExpandStop, public ::testing::WithParamInterface<StopCase> {};

TEST_P(ExpandStopBy, KeepsAWholeOrPartialScan)
{
    ASSERT_EQ(8420u, s_pFull->size());
    const StopCase& c = GetParam();
    RunFolderDialog(s_pFolder->Path(), [&](Driver& d) {
        HTREEITEM hNode = SelectNodeOf(d, s_pFolder->Path());
        ASSERT_NE(nullptr, hNode);
        // The scan has found some folders before it is stopped.
        WorkerHold hold(d, 100);
        d.Command(IDC_BN_EXPAND);
        HWND hProgress = d.WaitForDialog(PROGRESS_CAPTION);
        ASSERT_NE(nullptr, hProgress);
        ASSERT_TRUE(hold.WaitUntilHeld());
        hold.Release();

        switch (c.by) {
        case StopBy::Kill:
            d.Answer(hProgress, IDC_BN_KILL);
            break;
        case StopBy::Escape:
            d.Key(VK_ESCAPE, GetDlgItem(hProgress, IDC_BN_KILL));
            break;
        case StopBy::CloseBox:
            PostMessageA(hProgress, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case StopBy::EnterInEdit:
            d.OnUi([&] { SetFocus(GetDlgItem(hProgress, IDC_EDIT_SCAN_TEXT)); });
            d.Key(VK_RETURN);
            EXPECT_EQ(hProgress, d.WaitForDialog(PROGRESS_CAPTION, 0));
            break;
        }
        if (c.nAnswer) {
            HWND hBox = d.WaitForMessageBox();
            ASSERT_NE(nullptr, hBox);
            EXPECT_EQ(CString(VarnetText::SCAN_WAIT_QUESTION),
                      d.MessageBoxText(hBox));
            d.Answer(hBox, c.nAnswer);
        }
        ASSERT_TRUE(WaitForCommandEnd(d));
        EXPECT_FALSE(d.AnyOtherWindow());

        // What the scan found up to its end or its stop, in its order.
        std::vector<CString> tree = Subtree(d, hNode);
        if (c.bComplete) {
            EXPECT_EQ(*s_pFull, tree);
        } else {
            EXPECT_GT(tree.size(), 0u);
            EXPECT_LT(tree.size(), s_pFull->size());
            EXPECT_TRUE(std::equal(tree.begin(), tree.end(), s_pFull->begin()));
        }
        EXPECT_TRUE(IsFullyExpanded(d, hNode));
        d.Cancel();
    });
}

INSTANTIATE_TEST_SUITE_P(EveryWayOfEndingTheProgressDialog, ExpandStopBy, ::testing::ValuesIn(s_stopCases),
                         [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.pszName); });
