// Windows of the framework: the modal loop, pre-translation, message-map
// dispatch, exceptions escaping a handler, and the module chain.
#include <DialogDriver.h>
#include <afxcmn.h>
#include <afxwin.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <malloc.h>
#include <string>
#include <thread>
#include <vector>

namespace {

CWinApp& App()
{
    static CWinApp s_app("FrameworkTest");
    return s_app;
}
CWinApp& s_app = App();

// An edit control that records the keys it is sent.
class CRecordingEdit : public CEdit {
public:
    std::vector<UINT> keys;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (nMsg == WM_KEYDOWN)
            keys.push_back((UINT)wParam);
        return CEdit::WindowProc(nMsg, wParam, lParam);
    }
};

class CTestDlg : public CDialog {
public:
    explicit CTestDlg(CWnd* pParent = NULL) : CDialog(500, pParent) {}

    std::vector<std::string> calls;
    std::vector<UINT> pretranslated;  // key-downs, in the order seen
    CRecordingEdit m_edit;
    int m_nEndInInit = 0;
    bool m_bThrow = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, 100, m_edit);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        calls.push_back("init");
        if (m_nEndInInit)
            EndDialog(m_nEndInInit);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN) {
            pretranslated.push_back((UINT)pMsg->wParam);
            if (pMsg->wParam == VK_F5)
                return TRUE;  // consumed: nobody else sees it
        }
        return CDialog::PreTranslateMessage(pMsg);
    }
    void OnOK() override
    {
        calls.push_back("ok");
        CDialog::OnOK();
    }
    void OnAction()
    {
        calls.push_back("base action");
        if (m_bThrow)
            AfxThrowFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, "D:\\locked");
    }
    void OnOther() { calls.push_back("base other"); }
    void OnNotifyOther(NMHDR* pNMHDR, LRESULT* pResult)
    {
        calls.push_back("notify " + std::to_string(pNMHDR->code));
        *pResult = 7;
    }
    void OnTimer(UINT_PTR nIDEvent)
    {
        calls.push_back("timer " + std::to_string(nIDEvent));
        KillTimer(nIDEvent);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_BN_CLICKED(101, OnAction)
    ON_BN_CLICKED(102, OnOther)
    ON_NOTIFY(NM_CLICK, 102, OnNotifyOther)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// A derived map comes first; what it does not map goes to the base's.
class CDerivedDlg : public CTestDlg {
protected:
    void OnDerivedAction() { calls.push_back("derived action"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedDlg, CTestDlg)
    ON_BN_CLICKED(101, OnDerivedAction)
END_MESSAGE_MAP()

}  // namespace

TEST(Dialog, MessageMapsDispatchDerivedFirst)
{
    CDerivedDlg dlg;
    LRESULT lNotify = 0, lWide = 0;
    // On x86-64 the timer id and a sender's id use the upper half: the
    // timer's reaches the handler whole, and an idFrom that only cut to
    // 32 bits would be control 102 reaches no handler.
    const UINT_PTR nUpper = sizeof(UINT_PTR) > 4 ? (UINT_PTR)1 << (4 * sizeof(UINT_PTR)) : 0;
    INT_PTR nResult = RunDialog(dlg, [&](Driver& d) {
        d.Command(101);
        d.Command(102);
        d.OnUi([&] {
            NMHDR nmhdr = { d.Item(102), 102, (UINT)NM_CLICK };
            lNotify = SendMessageA(d.Dialog(), WM_NOTIFY, 102, (LPARAM)&nmhdr);
            if (nUpper) {
                NMHDR wide = { d.Item(102), nUpper | 102, (UINT)NM_CLICK };
                lWide = SendMessageA(d.Dialog(), WM_NOTIFY, 102, (LPARAM)&wide);
            }
            SetTimer(d.Dialog(), nUpper | 42, 1, NULL);
        });
        ASSERT_TRUE(WaitFor([&] {
            bool bFired = false;
            d.OnUi([&] { bFired = dlg.calls.back().compare(0, 6, "timer ") == 0; });
            return bFired;
        }, "the timer has fired"));
        d.Ok();
    });
    EXPECT_EQ(IDOK, nResult);
    std::vector<std::string> expected = { "init", "derived action", "base other",
                                          "notify " + std::to_string((UINT)NM_CLICK),
                                          "timer " + std::to_string(nUpper | 42), "ok" };
    EXPECT_EQ(expected, dlg.calls);
    EXPECT_EQ(7, lNotify);
    EXPECT_EQ(0, lWide);
}

TEST(Dialog, PreTranslateMessageSeesKeysBeforeTheControlAndTheDialogManager)
{
    CTestDlg dlg;
    INT_PTR nResult = RunDialog(dlg, [&](Driver& d) {
        HWND hEdit = d.Item(100);
        d.Key(VK_F5, hEdit);   // consumed by the dialog
        d.Key('A', hEdit);     // goes on to the edit
        d.Key(VK_ESCAPE, hEdit);  // the dialog manager makes it Cancel
    });
    EXPECT_EQ(IDCANCEL, nResult);
    EXPECT_EQ((std::vector<UINT>{ VK_F5, 'A', VK_ESCAPE }), dlg.pretranslated);
    EXPECT_EQ((std::vector<UINT>{ 'A' }), dlg.m_edit.keys);
    // The bound control let go of its window with the dialog.
    EXPECT_EQ(nullptr, dlg.m_edit.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

// Characters typed into a Unicode control (one the framework does not
// subclass, such as a tree's label editor) reach it exactly, also those
// that the ANSI code page lacks and those outside the Basic Multilingual
// Plane (two messages, one per UTF-16 unit).
TEST(Dialog, TheModalLoopKeepsTheCharactersTypedIntoAUnicodeControl)
{
    const std::wstring strTyped = L"Gr\x00FC\x00DF" L"e \x2713 \x03A9 \x65E5\x672C \xD83D\xDCC1";
    CTestDlg dlg;
    std::wstring strText;
    RunDialog(dlg, [&](Driver& d) {
        HWND hEdit = NULL;
        d.OnUi([&] {
            hEdit = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 8, 30, 140, 12, d.Dialog(), NULL,
                                    GetModuleHandleA(NULL), NULL);
            SetFocus(hEdit);
        });
        ASSERT_TRUE(hEdit && IsWindowUnicode(hEdit));
        d.TypeWide(hEdit, strTyped);
        strText = d.TextWide(hEdit);
        d.Cancel();
    });
    EXPECT_TRUE(strTyped == strText) << "typed " << strTyped.size() << " UTF-16 units, the control holds "
                                     << strText.size();
}

TEST(Dialog, AnExceptionEscapingAHandlerIsReportedAndTheDialogGoesOn)
{
    CTestDlg dlg;
    dlg.m_bThrow = true;
    CString strReport;
    INT_PTR nResult = RunDialog(dlg, [&](Driver& d) {
        PostMessageA(d.Dialog(), WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), 0);
        HWND hBox = d.WaitForMessageBox();
        ASSERT_NE(nullptr, hBox);
        strReport = d.MessageBoxText(hBox);
        d.Answer(hBox, IDOK);
        d.Ok();
    });
    EXPECT_EQ(IDOK, nResult);
    CString strSystem;
    AfxGetSystemErrorText(ERROR_ACCESS_DENIED, strSystem);
    strSystem.TrimRight();
    EXPECT_NE(-1, strReport.Find("D:\\locked")) << strReport;
    EXPECT_NE(-1, strReport.Find(strSystem)) << strReport;
}

TEST(Dialog, DoModalResults)
{
    CDialog missing(9999);
    EXPECT_EQ(-1, missing.DoModal());

    CTestDlg ended;
    ended.m_nEndInInit = 1234;
    EXPECT_EQ(1234, ended.DoModal());
    EXPECT_EQ(nullptr, ended.m_hWnd);

    // One object, two runs: the controls are bound afresh.
    CTestDlg twice;
    for (int nRun = 0; nRun < 2; nRun++) {
        INT_PTR nResult = RunDialog(twice, [&](Driver& d) {
            EXPECT_EQ(d.Item(100), twice.m_edit.m_hWnd) << "run " << nRun;
            d.Ok();
        });
        EXPECT_EQ(IDOK, nResult) << "run " << nRun;
    }
}

static DWORD WINAPI ValidateHeap(LPVOID hHeap)
{
    return HeapValidate((HANDLE)hHeap, 0, NULL);
}

TEST(Dialog, AThreadThatRanADialogEndsWithTheHeapIntact)
{
    // The framework's state for the thread goes when the thread ends, while
    // the memory it lives in is still there.
    std::thread([] {
        CTestDlg dlg;
        EXPECT_EQ(IDOK, RunDialog(dlg, [](Driver& d) { d.Ok(); }));
    }).join();
    HANDLE hCrtHeap = (HANDLE)_get_heap_handle();
    EXPECT_TRUE(HeapValidate(hCrtHeap, HEAP_NO_SERIALIZE, NULL));
    // A block freed at the thread's end left the heap locked, and every
    // later allocation waited for good.
    HANDLE hProbe = CreateThread(NULL, 0, ValidateHeap, hCrtHeap, 0, NULL);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hProbe, 5000)) << "the heap stays locked";
    CloseHandle(hProbe);
}

// Takes the WM_QUIT waiting in this thread's queue, if any.
static bool TakeQuit()
{
    MSG msg;
    return PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

TEST(Dialog, TheModalLoopEndsWhenTheApplicationQuitsOrItsOwnerIsDestroyed)
{
    struct Case {
        const char* pszContext;
        std::function<void(Driver&, HWND hOwner)> end;
        INT_PTR nResult;
        bool bQuit;  // WM_QUIT is handed on to the loops outside
    } cases[] = {
        { "WM_QUIT", [](Driver& d, HWND) { d.PostUi([] { PostQuitMessage(3); }); }, -1, true },
        { "the owner destroyed", [](Driver& d, HWND hOwner) { d.PostUi([=] { DestroyWindow(hOwner); }); }, IDABORT, false },
        // While the loop waits for a message: only a sent one comes.
        { "the owner closed by another thread", [](Driver&, HWND hOwner) { SendMessageA(hOwner, WM_CLOSE, 0, 0); },
          IDABORT, false },
    };
    for (const Case& c : cases) {
        CWnd owner;
        owner.Attach(CreateWindowA("STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, NULL, NULL,
                                   GetModuleHandleA(NULL), NULL));
        CTestDlg dlg(&owner);
        INT_PTR nResult = RunDialog(dlg, [&](Driver& d) {
            EXPECT_EQ(owner.m_hWnd, GetWindow(d.Dialog(), GW_OWNER)) << c.pszContext;
            c.end(d, owner.m_hWnd);
            EXPECT_TRUE(d.WaitForEnd()) << c.pszContext;
        });
        EXPECT_EQ(c.nResult, nResult) << c.pszContext;
        EXPECT_EQ(nullptr, dlg.m_hWnd) << c.pszContext;
        EXPECT_EQ(c.bQuit, TakeQuit()) << c.pszContext;
        owner.DestroyWindow();
    }
}

TEST(Driver, AnActionThatFindsNoTargetWindowFailsTheTest)
{
    CTestDlg dlg;
    INT_PTR nResult = RunDialog(dlg, [&](Driver& d) {
        EXPECT_NONFATAL_FAILURE(d.Key(VK_F5, d.Item(999)), "no window to press a key in");
        EXPECT_NONFATAL_FAILURE(d.Answer(d.WaitForMessageBox(0), IDOK), "no window to answer");
        EXPECT_NONFATAL_FAILURE(d.SelectNode(NULL), "no window to select a node in");
        d.Ok();
    });
    EXPECT_EQ(IDOK, nResult);
    EXPECT_TRUE(dlg.pretranslated.empty());
}

// A class that the host registers, as a module's static would.
static CRuntimeClass s_hostClass = { "CHostClass", NULL };
static AFX_CLASSINIT s_hostClassInit(&s_hostClass);

TEST(ModuleChain, AnExtensionModuleJoinsAtLoadAndLeavesAtUnload)
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    EXPECT_EQ(&s_hostClass, pState->m_pClassList);
    EXPECT_EQ(nullptr, pState->m_pFirstLibrary);
    HINSTANCE hExe = GetModuleHandleA(NULL);
    EXPECT_EQ(hExe, AfxFindResourceHandle(MAKEINTRESOURCEA(149), (LPCSTR)RT_DIALOG));

    HMODULE hVarnet = LoadLibraryA("Varnet.dll");
    ASSERT_NE(nullptr, hVarnet);
    // The host's own class list is untouched by the module's start-up.
    EXPECT_EQ(&s_hostClass, pState->m_pClassList);
    EXPECT_EQ(nullptr, pState->m_pClassInit);
    ASSERT_NE(nullptr, pState->m_pFirstLibrary);
    EXPECT_EQ(hVarnet, pState->m_pFirstLibrary->m_hModule);
    EXPECT_EQ(nullptr, pState->m_pFirstLibrary->m_pNextDLL);
    // Resources the host lacks come from the module; its own come first.
    EXPECT_EQ(hVarnet, AfxFindResourceHandle(MAKEINTRESOURCEA(149), (LPCSTR)RT_DIALOG));
    EXPECT_EQ(hVarnet, AfxFindResourceHandle(MAKEINTRESOURCEA(128), (LPCSTR)RT_GROUP_ICON));
    EXPECT_EQ(hExe, AfxFindResourceHandle(MAKEINTRESOURCEA(500), (LPCSTR)RT_DIALOG));
    EXPECT_NE(nullptr, App().LoadIcon(128));

    EXPECT_TRUE(FreeLibrary(hVarnet));
    EXPECT_EQ(nullptr, pState->m_pFirstLibrary);
    EXPECT_EQ(&s_hostClass, pState->m_pClassList);
    EXPECT_EQ(hExe, AfxFindResourceHandle(MAKEINTRESOURCEA(149), (LPCSTR)RT_DIALOG));
}
