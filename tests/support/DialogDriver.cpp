// The dialog driver.
#include "DialogDriver.h"

#include <resource.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

const UINT WM_DRIVER_CALL = WM_APP + 1;
const UINT WM_DRIVER_POST = WM_APP + 2;
// How long a call may wait for the user-interface thread
// (VARNET_UI_TIMEOUT_MS; benchmarks need longer).
DWORD UiTimeoutMs()
{
    const char* psz = getenv("VARNET_UI_TIMEOUT_MS");
    return psz ? (DWORD)atol(psz) : 15000;
}

struct UiCall {
    const std::function<void()>* pFn;
    HANDLE hDone;
};

LRESULT CALLBACK SyncWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_DRIVER_CALL) {
        UiCall* pCall = reinterpret_cast<UiCall*>(lParam);
        (*pCall->pFn)();
        SetEvent(pCall->hDone);
        return 0;
    }
    if (nMsg == WM_DRIVER_POST) {
        std::unique_ptr<std::function<void()>> pFn(reinterpret_cast<std::function<void()>*>(lParam));
        (*pFn)();
        return 0;
    }
    return DefWindowProcA(hWnd, nMsg, wParam, lParam);
}

HWND CreateSyncWindow()
{
    static ATOM s_atom = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = SyncWndProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "VarnetTestSync";
        return RegisterClassA(&wc);
    }();
    (void)s_atom;
    return CreateWindowA("VarnetTestSync", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, GetModuleHandleA(NULL), NULL);
}

bool IsDialogWindow(HWND hWnd)
{
    char szClass[32] = "";
    GetClassNameA(hWnd, szClass, sizeof szClass);
    return strcmp(szClass, "#32770") == 0;
}

struct FindContext {
    DWORD nProcess;
    HWND hExclude;
    const std::function<bool(HWND)>* pPred;
    HWND hFound;
};

BOOL CALLBACK FindProc(HWND hWnd, LPARAM lParam)
{
    FindContext* pCtx = reinterpret_cast<FindContext*>(lParam);
    DWORD nProcess = 0;
    GetWindowThreadProcessId(hWnd, &nProcess);
    if (nProcess != pCtx->nProcess || hWnd == pCtx->hExclude || !IsWindowVisible(hWnd) || !IsDialogWindow(hWnd))
        return TRUE;
    if (pCtx->pPred && !(*pCtx->pPred)(hWnd))
        return TRUE;
    pCtx->hFound = hWnd;
    return FALSE;
}

// An action needs its target: without one the input would go nowhere (to
// the script's own queue) and a later check that nothing happened would
// pass. The test fails instead.
bool HasTarget(HWND hWnd, const char* pszAction)
{
    if (hWnd && IsWindow(hWnd))
        return true;
    ADD_FAILURE() << "the driver found no window to " << pszAction;
    return false;
}

bool HasNode(HTREEITEM hItem, const char* pszAction)
{
    if (hItem)
        return true;
    ADD_FAILURE() << "the driver was given no tree node to " << pszAction;
    return false;
}

// Polls pred every nPollMs until it holds (true) or nTimeoutMs have passed
// (false); pred is asked once more at the end.
bool PollUntil(const std::function<bool()>& pred, DWORD nTimeoutMs, DWORD nPollMs = 10)
{
    for (DWORD dwStart = GetTickCount(); GetTickCount() - dwStart < nTimeoutMs; Sleep(nPollMs))
        if (pred())
            return true;
    return pred();
}

}  // namespace

void Driver::OnUi(const std::function<void()>& fn)
{
    UiCall call = { &fn, CreateEventA(NULL, TRUE, FALSE, NULL) };
    PostMessageA(m_hSync, WM_DRIVER_CALL, 0, (LPARAM)&call);
    if (WaitForSingleObject(call.hDone, UiTimeoutMs()) != WAIT_OBJECT_0) {
        // The call still refers to this frame: nothing can safely go on.
        fprintf(stderr, "\nDRIVER: the user-interface thread did not answer within %lu ms.\n", UiTimeoutMs());
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 96);
    }
    CloseHandle(call.hDone);
}

void Driver::PostUi(std::function<void()> fn)
{
    PostMessageA(m_hSync, WM_DRIVER_POST, 0, (LPARAM) new std::function<void()>(std::move(fn)));
}

CString Driver::Text(HWND hWnd)
{
    CString strText;
    OnUi([&] { CWnd::FromHandle(hWnd)->GetWindowText(strText); });
    return strText;
}

void Driver::Command(int nID, int nCode)
{
    if (!HasTarget(m_hDialog, "send a command to"))
        return;
    PostMessageA(m_hDialog, WM_COMMAND, MAKEWPARAM(nID, nCode), (LPARAM)::GetDlgItem(m_hDialog, nID));
    Sync();
}

HWND Driver::Focus()
{
    HWND hFocus = NULL;
    OnUi([&] { hFocus = ::GetFocus(); });
    return hFocus;
}

void Driver::Key(UINT nVirtualKey)
{
    Key(nVirtualKey, Focus());
}

void Driver::Key(UINT nVirtualKey, HWND hTarget)
{
    if (!HasTarget(hTarget, "press a key in"))
        return;
    UINT nScan = MapVirtualKeyA(nVirtualKey, 0);
    PostMessageA(hTarget, WM_KEYDOWN, nVirtualKey, 1 | (nScan << 16));
    PostMessageA(hTarget, WM_KEYUP, nVirtualKey, 1 | (nScan << 16) | 0xC0000000);
    Sync();
}

std::vector<CString> Driver::DriveEntries()
{
    std::vector<CString> entries;
    OnUi([&] {
        CComboBox* pList = (CComboBox*)CWnd::FromHandle(Item(IDC_CBX_DRIVES));
        for (int i = 0; i < pList->GetCount(); i++) {
            char szText[MAX_PATH] = "";
            COMBOBOXEXITEMA item = {};
            item.mask = CBEIF_TEXT;
            item.iItem = i;
            item.pszText = szText;
            item.cchTextMax = sizeof szText;
            pList->SendMessage(CBEM_GETITEMA, 0, (LPARAM)&item);
            entries.push_back(szText);
        }
    });
    return entries;
}

int Driver::DriveSelection()
{
    int nSel = -1;
    OnUi([&] { nSel = (int)::SendMessageA(Item(IDC_CBX_DRIVES), CB_GETCURSEL, 0, 0); });
    return nSel;
}

void Driver::ChooseDrive(int nIndex)
{
    if (!HasTarget(Item(IDC_CBX_DRIVES), "choose a drive in"))
        return;
    PostMessageA(Item(IDC_CBX_DRIVES), CB_SETCURSEL, nIndex, 0);
    Command(IDC_CBX_DRIVES, CBN_SELENDOK);
}

HTREEITEM Driver::Root()
{
    HTREEITEM hRoot = NULL;
    OnUi([&] { hRoot = TreeView_GetRoot(Item(IDC_FOLDER_TREE)); });
    return hRoot;
}

CString Driver::Label(HTREEITEM hItem)
{
    CString strLabel;
    OnUi([&] { strLabel = ((CTreeCtrl*)CWnd::FromHandle(Item(IDC_FOLDER_TREE)))->GetItemText(hItem); });
    return strLabel;
}

std::vector<CString> Driver::Children(HTREEITEM hParent)
{
    std::vector<CString> labels;
    OnUi([&] {
        CTreeCtrl* pTree = (CTreeCtrl*)CWnd::FromHandle(Item(IDC_FOLDER_TREE));
        for (HTREEITEM h = pTree->GetChildItem(hParent); h; h = pTree->GetNextSiblingItem(h))
            labels.push_back(pTree->GetItemText(h));
    });
    return labels;
}

HTREEITEM Driver::Child(HTREEITEM hParent, const char* pszLabel)
{
    HTREEITEM hFound = NULL;
    OnUi([&] {
        CTreeCtrl* pTree = (CTreeCtrl*)CWnd::FromHandle(Item(IDC_FOLDER_TREE));
        for (HTREEITEM h = pTree->GetChildItem(hParent); h && !hFound; h = pTree->GetNextSiblingItem(h))
            if (pTree->GetItemText(h) == pszLabel)
                hFound = h;
    });
    return hFound;
}

HTREEITEM Driver::Selected()
{
    HTREEITEM hSel = NULL;
    OnUi([&] { hSel = TreeView_GetSelection(Item(IDC_FOLDER_TREE)); });
    return hSel;
}

bool Driver::IsExpanded(HTREEITEM hItem)
{
    UINT nState = 0;
    OnUi([&] { nState = TreeView_GetItemState(Item(IDC_FOLDER_TREE), hItem, TVIS_EXPANDED); });
    return (nState & TVIS_EXPANDED) != 0;
}

void Driver::Images(HTREEITEM hItem, int& nImage, int& nSelectedImage)
{
    OnUi([&] { ((CTreeCtrl*)CWnd::FromHandle(Item(IDC_FOLDER_TREE)))->GetItemImage(hItem, nImage, nSelectedImage); });
}

void Driver::SelectNode(HTREEITEM hItem)
{
    if (!HasTarget(Item(IDC_FOLDER_TREE), "select a node in") || !HasNode(hItem, "select"))
        return;
    PostMessageA(Item(IDC_FOLDER_TREE), TVM_SELECTITEM, TVGN_CARET, (LPARAM)hItem);
    Sync();
}

void Driver::EditLabel(HTREEITEM hItem)
{
    if (!HasTarget(Item(IDC_FOLDER_TREE), "edit a label in") || !HasNode(hItem, "edit"))
        return;
    OnUi([&] {
        ::SetFocus(Item(IDC_FOLDER_TREE));
        TreeView_EditLabel(Item(IDC_FOLDER_TREE), hItem);
    });
}

HWND Driver::LabelEditor()
{
    HWND hEdit = NULL;
    OnUi([&] { hEdit = TreeView_GetEditControl(Item(IDC_FOLDER_TREE)); });
    return hEdit;
}

void Driver::TypeText(HWND hEdit, const char* pszText)
{
    if (!HasTarget(hEdit, "type into"))
        return;
    OnUi([&] { ::SetWindowTextA(hEdit, pszText); });
}

void Driver::TypeWide(HWND hEdit, const std::wstring& strText)
{
    if (!HasTarget(hEdit, "type into"))
        return;
    for (wchar_t ch : strText)
        PostMessageW(hEdit, WM_CHAR, ch, 1);
    Sync();
}

std::wstring Driver::TextWide(HWND hWnd)
{
    std::wstring strText;
    OnUi([&] {
        strText.assign(GetWindowTextLengthW(hWnd) + 1, L'\0');
        strText.resize(GetWindowTextW(hWnd, &strText[0], (int)strText.size()));
    });
    return strText;
}

static POINT LabelCentre(HWND hTree, HTREEITEM hItem)
{
    RECT rect = {};
    memcpy(&rect, &hItem, sizeof hItem);  // TVM_GETITEMRECT takes the item in the rectangle
    SendMessageA(hTree, TVM_GETITEMRECT, TRUE, (LPARAM)&rect);
    POINT pt = { (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 };
    return pt;
}

// Mouse button down and up on the centre of the node's label.
static void PostClickOnNode(Driver& d, HWND hTree, HTREEITEM hItem, UINT nDown, UINT nUp, WPARAM nButton)
{
    if (!HasTarget(hTree, "click a node in") || !HasNode(hItem, "click"))
        return;
    POINT pt = {};
    d.OnUi([&] {
        TreeView_EnsureVisible(hTree, hItem);
        pt = LabelCentre(hTree, hItem);
    });
    PostMessageA(hTree, nDown, nButton, MAKELPARAM(pt.x, pt.y));
    PostMessageA(hTree, nUp, 0, MAKELPARAM(pt.x, pt.y));
    d.Sync();
}

void Driver::ClickNode(HTREEITEM hItem)
{
    PostClickOnNode(*this, Item(IDC_FOLDER_TREE), hItem, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
}

void Driver::RightClickNode(HTREEITEM hItem)
{
    PostClickOnNode(*this, Item(IDC_FOLDER_TREE), hItem, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
}

HWND Driver::WaitForWindow(const std::function<bool(HWND)>& pred, DWORD nTimeoutMs)
{
    FindContext ctx = { GetCurrentProcessId(), m_hDialog, &pred, NULL };
    PollUntil([&] {
        EnumWindows(FindProc, (LPARAM)&ctx);
        return ctx.hFound != NULL;
    }, nTimeoutMs, 20);
    return ctx.hFound;
}

HWND Driver::WaitForMessageBox(DWORD nTimeoutMs)
{
    return WaitForWindow([](HWND hWnd) { return ::GetDlgItem(hWnd, 0xFFFF) != NULL; }, nTimeoutMs);
}

HWND Driver::WaitForDialog(const char* pszCaption, DWORD nTimeoutMs)
{
    std::string strCaption(pszCaption);
    return WaitForWindow(
        [&](HWND hWnd) {
            char szText[256] = "";
            GetWindowTextA(hWnd, szText, sizeof szText);
            return strCaption == szText;
        },
        nTimeoutMs);
}

bool Driver::AnyOtherWindow()
{
    return WaitForWindow([](HWND) { return true; }, 0) != NULL;
}

bool Driver::WaitUntilGone(HWND hWindow, DWORD nTimeoutMs, DWORD nPollMs)
{
    // IsWindow on a window of this process reads the process's own handle
    // table.
    return PollUntil([&] { return !::IsWindow(hWindow); }, nTimeoutMs, nPollMs);
}

CString Driver::MessageBoxText(HWND hBox)
{
    char szText[2048] = "";
    GetDlgItemTextA(hBox, 0xFFFF, szText, sizeof szText);
    return szText;
}

void Driver::Answer(HWND hWindow, int nID, bool bWait)
{
    if (!HasTarget(hWindow, "answer"))
        return;
    PostMessageA(hWindow, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), (LPARAM)::GetDlgItem(hWindow, nID));
    if (bWait)
        Sync();
}

bool Driver::WaitForEnd(DWORD nTimeoutMs)
{
    return PollUntil([&] { return m_bEnded.load(); }, nTimeoutMs);
}

bool WaitFor(const std::function<bool()>& pred, const char* pszWhat, DWORD nTimeoutMs)
{
    if (PollUntil(pred, nTimeoutMs))
        return true;
    ADD_FAILURE() << "gave up after " << nTimeoutMs << " ms waiting until " << pszWhat;
    return false;
}

CString SystemText(DWORD dwError)
{
    char szText[1024] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, dwError,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), szText, sizeof szText, NULL);
    return szText;
}

static BOOL CALLBACK FindToolTipProc(HWND hWnd, LPARAM lParam)
{
    auto* pBest = reinterpret_cast<std::pair<HWND, int>*>(lParam);
    char szClass[64] = "";
    GetClassNameA(hWnd, szClass, sizeof szClass);
    if (lstrcmpiA(szClass, TOOLTIPS_CLASSA) == 0) {
        int nTools = (int)SendMessageA(hWnd, TTM_GETTOOLCOUNT, 0, 0);
        if (nTools > pBest->second)
            *pBest = { hWnd, nTools };
    }
    return TRUE;
}

HWND DialogToolTip(HWND hDialog)
{
    std::pair<HWND, int> best(NULL, 0);
    EnumThreadWindows(GetWindowThreadProcessId(hDialog, NULL), FindToolTipProc, (LPARAM)&best);
    return best.first;
}

INT_PTR RunDialog(CDialog& dlg, const std::function<void(Driver&)>& script)
{
    Driver driver;
    driver.m_nUiThread = GetCurrentThreadId();
    driver.m_hSync = CreateSyncWindow();
    std::atomic<bool>& bEnded = driver.m_bEnded;
    std::atomic<bool> bScriptDone{false};

    std::thread worker([&] {
        // The dialog is up once its loop runs and its window is visible.
        HWND hWnd = NULL;
        auto up = [&] {
            driver.OnUi([&] { hWnd = dlg.m_hWnd; });
            return bEnded || (hWnd && IsWindowVisible(hWnd));
        };
        if (!PollUntil(up, 10000) || bEnded) {
            ADD_FAILURE() << "the dialog did not open";
            bScriptDone = true;
            return;
        }
        driver.m_hDialog = hWnd;
        script(driver);
        if (!driver.WaitForEnd(1000)) {
            ADD_FAILURE() << "the script left the dialog open; closing it";
            // Close nested windows first, then the dialog.
            for (int i = 0; i < 20 && !bEnded; i++) {
                HWND hOther = driver.WaitForWindow([](HWND) { return true; }, 0);
                HWND hClose = hOther ? hOther : driver.m_hDialog;
                PostMessageA(hClose, hOther ? WM_CLOSE : WM_COMMAND, hOther ? 0 : IDCANCEL, 0);
                driver.WaitUntilGone(hClose, 1000);
            }
        }
        bScriptDone = true;
    });
    INT_PTR nResult = dlg.DoModal();
    bEnded = true;
    // Calls still posted by the script are answered until it ends; a
    // WM_QUIT is handed on.
    bool bQuit = false;
    int nQuitCode = 0;
    while (!bScriptDone) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                bQuit = true;
                nQuitCode = (int)msg.wParam;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    worker.join();
    DestroyWindow(driver.m_hSync);
    if (bQuit)
        PostQuitMessage(nQuitCode);
    return nResult;
}
