// The host quits (WM_QUIT) or destroys its main window, which owns the
// folder dialog, while the folder dialog, the progress dialog or the
// request dialog is open: each ends at once, a scan stops, a deletion
// stops, DoModal returns, and WM_QUIT goes on to the host's own loop.
#include "scan_support.h"

#include <functional>
#include <memory>

namespace {

enum Open { FolderDialog, ProgressDialog, RequestDialog };
enum End { Quit, OwnerDestroyed };

// Takes the WM_QUIT waiting in this thread's queue, if any.
bool TakeQuit()
{
    MSG msg;
    return PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

// The folder dialog with the run flag of its scan in view.
class CWatchedDlg : public CFolderTreeDlg {
public:
    using CFolderTreeDlg::CFolderTreeDlg;
    bool ScanStopped() const { return __atomic_load_n(&m_bScanContinue, __ATOMIC_SEQ_CST) == 0; }
};

}  // namespace

TEST(Ending, TheHostQuittingOrDestroyingTheOwnerEndsEveryDialogAtOnce)
{
    TestFolder folder("ending");
    for (int i = 0; i < 30; i++) {
        CString strName;
        strName.Format("scan\\f%02d", i);
        folder.MakeDirs(strName);
    }
    folder.MakeDirs("delete");
    const struct {
        const char* pszContext;
        Open open;
        End end;
    } cases[] = {
        { "WM_QUIT in the folder dialog", FolderDialog, Quit },
        { "WM_QUIT in the progress dialog", ProgressDialog, Quit },
        { "WM_QUIT in the request dialog", RequestDialog, Quit },
        { "the owner destroyed under the folder dialog", FolderDialog, OwnerDestroyed },
        { "the owner destroyed under the progress dialog", ProgressDialog, OwnerDestroyed },
        { "the owner destroyed under the request dialog", RequestDialog, OwnerDestroyed },
    };
    for (const auto& c : cases) {
        folder.MakeFile("delete\\locked.txt");
        SetFileAttributesA(folder.Path("delete\\locked.txt"), FILE_ATTRIBUTE_READONLY);
        HostMainWindow mainWnd;
        CWatchedDlg dlg(folder.Path());
        INT_PTR nResult = RunDialog(dlg, [&](Driver& d) {
            std::unique_ptr<WorkerHold> pHold;
            const char* pszNested = NULL;
            if (c.open == ProgressDialog) {
                ASSERT_NE(nullptr, SelectNodeOf(d, folder.Path("scan"))) << c.pszContext;
                pHold.reset(new WorkerHold(d, 5));
                d.Command(IDC_BN_EXPAND);
                ASSERT_TRUE(pHold->WaitUntilHeld()) << c.pszContext;
                pszNested = PROGRESS_CAPTION;
            } else if (c.open == RequestDialog) {
                ASSERT_NE(nullptr, SelectNodeOf(d, folder.Path("delete"))) << c.pszContext;
                d.Key(VK_DELETE, d.Item(IDC_FOLDER_TREE));
                HWND hQuestion = d.WaitForMessageBox();
                ASSERT_NE(nullptr, hQuestion) << c.pszContext;
                d.Answer(hQuestion, IDYES);
                pszNested = "File Deletion Request";
            }
            if (pszNested) {
                ASSERT_NE(nullptr, d.WaitForDialog(pszNested)) << c.pszContext;
            }

            if (c.end == Quit)
                d.PostUi([] { PostQuitMessage(5); });
            else
                d.PostUi([&] { DestroyWindow(mainWnd.m_hWnd); });
            // The scan is stopped (the worker, held, has not seen it yet),
            // and stops where it was: it does not go on through the folders.
            if (pHold) {
                EXPECT_TRUE(WaitFor([&] { return dlg.ScanStopped(); }, "the scan is stopped")) << c.pszContext;
                pHold->Release();
            }
            EXPECT_TRUE(d.WaitForEnd()) << c.pszContext;
            EXPECT_FALSE(d.AnyOtherWindow()) << c.pszContext;
            if (pHold) {
                EXPECT_LT(pHold->AllocationsAfterRelease(), 20) << c.pszContext;
            }
        });
        EXPECT_EQ(c.end == Quit ? -1 : IDABORT, nResult) << c.pszContext;
        EXPECT_EQ(c.end == Quit, TakeQuit()) << c.pszContext;
        // The deletion stopped at the file it asked about.
        EXPECT_TRUE(Exists(folder.Path("delete\\locked.txt"))) << c.pszContext;
    }
}
