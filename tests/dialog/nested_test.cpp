// The windows that the folder dialog opens over itself: each is owned by it
// (so that the folder dialog takes no input while it waits), opens centred
// over it inside its monitor's work area, and the folder dialog goes on
// painting under it. The host has a main window and another top-level
// window, which owns the folder dialog: neither the main window nor
// whichever window is active may own them.
#include "scan_support.h"

#include <atomic>

// Counts, on the user-interface thread, what the folder dialog's controls
// do when they paint: the tree's custom-draw notice before it draws its
// items (none while its redrawing is off), the path and error boxes'
// colour queries.
struct PaintWatch {
    HWND hDialog = NULL, hTree = NULL, hPath = NULL, hError = NULL;
    std::atomic<int> nTree{ 0 }, nPath{ 0 }, nError{ 0 };
    HHOOK hHook = NULL;
};
static PaintWatch* s_pWatch;

static LRESULT CALLBACK WatchPaint(int nCode, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* pMsg = (const CWPSTRUCT*)lParam;
    PaintWatch* w = s_pWatch;
    if (nCode == HC_ACTION && w && pMsg->hwnd == w->hDialog) {
        const NMCUSTOMDRAW* pDraw = (const NMCUSTOMDRAW*)pMsg->lParam;
        if (pMsg->message == WM_NOTIFY && pDraw->hdr.hwndFrom == w->hTree && pDraw->hdr.code == (UINT)NM_CUSTOMDRAW &&
            pDraw->dwDrawStage == CDDS_PREPAINT)
            w->nTree++;
        if (pMsg->message == WM_CTLCOLORSTATIC || pMsg->message == WM_CTLCOLOREDIT) {
            w->nPath += (HWND)pMsg->lParam == w->hPath;
            w->nError += (HWND)pMsg->lParam == w->hError;
        }
    }
    return CallNextHookEx(NULL, nCode, wParam, lParam);
}

// Where hNested must open over hOwner: centred, moved into the work area.
static POINT ExpectedPlace(HWND hOwner, HWND hNested)
{
    RECT rcOwner, rcNested;
    GetWindowRect(hOwner, &rcOwner);
    GetWindowRect(hNested, &rcNested);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(hOwner, MONITOR_DEFAULTTONEAREST), &info);
    LONG cx = rcNested.right - rcNested.left, cy = rcNested.bottom - rcNested.top;
    POINT pt = { (rcOwner.left + rcOwner.right - cx) / 2, (rcOwner.top + rcOwner.bottom - cy) / 2 };
    pt.x = std::max(info.rcWork.left, std::min(pt.x, info.rcWork.right - cx));
    pt.y = std::max(info.rcWork.top, std::min(pt.y, info.rcWork.bottom - cy));
    return pt;
}

static void ExpectOverTheDialog(Driver& d, HWND hNested, const CString& strContext)
{
    ASSERT_NE(nullptr, hNested) << strContext;
    EXPECT_EQ(d.Dialog(), GetWindow(hNested, GW_OWNER)) << strContext;
    EXPECT_FALSE(IsWindowEnabled(d.Dialog())) << strContext;
    RECT rc;
    GetWindowRect(hNested, &rc);
    POINT pt = ExpectedPlace(d.Dialog(), hNested);
    EXPECT_EQ(pt.x, rc.left) << strContext;
    EXPECT_EQ(pt.y, rc.top) << strContext;

    // The folder dialog's controls paint what is invalidated meanwhile.
    PaintWatch watch;
    watch.hDialog = d.Dialog();
    watch.hTree = d.Item(IDC_FOLDER_TREE);
    watch.hPath = d.Item(IDC_EDIT_PATH);
    watch.hError = d.Item(IDC_EDIT_ERROR);
    d.OnUi([&] {
        s_pWatch = &watch;
        watch.hHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchPaint, NULL, GetCurrentThreadId());
        for (HWND hControl : { watch.hTree, watch.hPath, watch.hError })
            InvalidateRect(hControl, NULL, TRUE);
    });
    WaitFor([&] { return watch.nTree && watch.nPath && watch.nError; }, "the tree and both boxes have painted", 2000);
    d.OnUi([&] {
        UnhookWindowsHookEx(watch.hHook);
        s_pWatch = NULL;
    });
    EXPECT_LT(0, watch.nTree) << strContext << ": the tree did not draw its items";
    EXPECT_LT(0, watch.nPath) << strContext << ": the path box did not paint";
    EXPECT_LT(0, watch.nError) << strContext << ": the error box did not paint";
}

TEST(NestedWindows, AreOwnedByTheFolderDialogCentredOverItAndItPaintsUnderThem)
{
    TestFolder folder("nested");
    folder.MakeDirs("target\\sub");
    folder.MakeFile("target\\r");
    SetFileAttributesA(folder.Path("target\\r"), FILE_ATTRIBUTE_READONLY);
    HostMainWindow mainWindow;
    CWnd other;
    other.Attach(CreateWindowA("STATIC", "Another window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 300, 300, 200, NULL,
                               NULL, GetModuleHandleA(NULL), NULL));
    struct Case {
        const char* pszContext;
        bool bMiddle;  // else partly off the work area's top left corner
    } cases[] = { { "in the middle", true }, { "partly off the top left corner", false } };
    for (const Case& c : cases) {
        CFolderTreeDlg dlg(folder.Path(), &other);
        RunDialog(dlg, [&](Driver& d) {
            ASSERT_EQ(other.m_hWnd, GetWindow(d.Dialog(), GW_OWNER));
            d.OnUi([&] {
                RECT rc;
                GetWindowRect(d.Dialog(), &rc);
                MONITORINFO info = {};
                info.cbSize = sizeof info;
                GetMonitorInfoA(MonitorFromWindow(d.Dialog(), MONITOR_DEFAULTTONEAREST), &info);
                POINT pt = { info.rcWork.left - 200, info.rcWork.top - 150 };
                if (c.bMiddle)
                    pt = { (info.rcWork.left + info.rcWork.right - (rc.right - rc.left)) / 2,
                           (info.rcWork.top + info.rcWork.bottom - (rc.bottom - rc.top)) / 2 };
                SetWindowPos(d.Dialog(), NULL, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            });
            CString strContext = CString(c.pszContext) + ": ";

            // Delete: the question, then the request for the read-only file.
            d.ClickNode(NodeOf(d, folder.Path("target")));
            d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
            HWND hQuestion = d.WaitForMessageBox();
            ExpectOverTheDialog(d, hQuestion, strContext + "the question");
            d.Answer(hQuestion, IDYES);
            HWND hRequest = d.WaitForDialog("File Deletion Request");
            ExpectOverTheDialog(d, hRequest, strContext + "the request");
            d.Answer(hRequest, IDCANCEL);

            // Expand Recursive: the progress dialog, held open, and the
            // question after Esc.
            {
                WorkerHold hold(d);
                d.Command(IDC_BN_EXPAND);
                HWND hProgress = d.WaitForDialog(PROGRESS_CAPTION);
                ExpectOverTheDialog(d, hProgress, strContext + "the progress dialog");
                d.Key(VK_ESCAPE, hProgress);
                HWND hWait = d.WaitForMessageBox();
                ExpectOverTheDialog(d, hWait, strContext + "the question whether to wait");
                d.Answer(hWait, IDNO, false);
            }
            ASSERT_TRUE(WaitForCommandEnd(d)) << strContext;

            // An error box: Expand Recursive without a selected node.
            d.OnUi([&] { TreeView_SelectItem(d.Item(IDC_FOLDER_TREE), NULL); });
            d.Command(IDC_BN_EXPAND);
            HWND hError = d.WaitForMessageBox();
            ExpectOverTheDialog(d, hError, strContext + "an error box");
            d.Answer(hError, IDOK);
            d.Cancel();
        });
    }
    other.DestroyWindow();
}
