// VarnetDemoDriver: works the folder dialog of a running VarnetPick.exe as a
// user would, for scripts/demo.sh, scripts/screenshots.sh and the pick
// tool's test.
//   VarnetDemoDriver.exe navigate PATH  Tab to the tree, then Down until the
//                                       path box reads PATH
//   VarnetDemoDriver.exe ok             Enter on the tree (OK button if
//                                       Enter cannot mean OK)
//   VarnetDemoDriver.exe cancel         Esc
//   VarnetDemoDriver.exe expand         Expand Recursive; returns while the
//                                       scan runs, its progress bar moved
//   VarnetDemoDriver.exe kill           Kill on the progress dialog
//   VarnetDemoDriver.exe delete         Del on the tree, Yes to the question;
//                                       returns when the request dialog for
//                                       a read-only file is open
//   VarnetDemoDriver.exe abort          Abort Deletion on that dialog
// Keys and clicks are posted to the dialogs' windows, so they pass through
// the dialog's own message loop and dialog manager like typed keys. Every
// wait is bounded. Each command that leaves a dialog open ends by printing
// "frame x y w h": the rectangle, in desktop coordinates, that a screenshot
// shows (the folder dialog, with the progress or request dialog over it).
// Exit codes: 0 done, 2 wrong arguments, 3 a window was not found or did
// not react as expected.
#include <windows.h>
#include <commctrl.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <string>

namespace {

const char kCaption[] = "Varnet";
const char kProgressCaption[] = "Progress and Kill Dialog";
const char kRequestCaption[] = "File Deletion Request";
// The controls of the dialogs that the driver works (their ids in res/resource.h).
enum { kTreeId = 1003, kPathBoxId = 1007, kExpandId = 1008, kKillId = 1009, kProgressId = 1010 };
const DWORD kFindTimeoutMs = 20000;
const DWORD kReactTimeoutMs = 5000;
const DWORD kCloseTimeoutMs = 5000;
// Wine takes seconds for a scan's end and the rebuilt, expanded subtree.
const DWORD kScanEndTimeoutMs = 60000;
// The progress bar's first step (after a second): the picture shows a scan
// that is under way.
const int kProgressShown = 10;
const int kMaxDownPresses = 12;
const int kMaxTabPresses = 8;

void Say(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    printf("driver: ");
    vprintf(pszFormat, args);
    printf("\n");
    va_end(args);
    fflush(stdout);
}

int Fail(const char* pszWhat)
{
    Say("FAILED: %s", pszWhat);
    return 3;
}

// Text of a window of the other process (WM_GETTEXT is marshalled across
// processes); the buffer grows until the text fits.
std::string WindowText(HWND hWnd)
{
    DWORD_PTR nLength = 0;
    if (!SendMessageTimeoutA(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &nLength))
        return std::string();
    std::string strText(nLength + 1, '\0');
    DWORD_PTR nCopied = 0;
    if (!SendMessageTimeoutA(hWnd, WM_GETTEXT, strText.size(), (LPARAM)&strText[0],
                             SMTO_ABORTIFHUNG, 2000, &nCopied))
        return std::string();
    strText.resize(nCopied);
    return strText;
}

// A visible dialog (class #32770) of another process with the caption and
// the child control given; visible means that WM_INITDIALOG has run. The
// message boxes of VarnetPick.exe carry the folder dialog's caption too,
// but not its tree.
struct DialogQuery {
    const char* pszCaption;
    int nChildId;
    HWND hFound;
};

BOOL CALLBACK MatchDialog(HWND hWnd, LPARAM lParam)
{
    DialogQuery* pQuery = (DialogQuery*)lParam;
    char szClass[16] = "";
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    if (strcmp(szClass, "#32770") == 0 && dwProcess != GetCurrentProcessId() && IsWindowVisible(hWnd)
        && WindowText(hWnd) == pQuery->pszCaption && GetDlgItem(hWnd, pQuery->nChildId)) {
        pQuery->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindDialog(const char* pszCaption, int nChildId, DWORD dwTimeoutMs = kFindTimeoutMs)
{
    DWORD dwStart = GetTickCount();
    for (;;) {
        DialogQuery query = { pszCaption, nChildId, NULL };
        EnumWindows(MatchDialog, (LPARAM)&query);
        if (query.hFound)
            return query.hFound;
        if (GetTickCount() - dwStart > dwTimeoutMs)
            return NULL;
        Sleep(100);
    }
}

// The message box that the folder dialog owns, with the button given.
HWND FindOwnedBox(HWND hOwner, int nButtonId)
{
    DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < kFindTimeoutMs) {
        for (HWND hWnd = GetTopWindow(NULL); hWnd; hWnd = GetWindow(hWnd, GW_HWNDNEXT)) {
            if (hWnd != hOwner && GetWindow(hWnd, GW_OWNER) == hOwner && IsWindowVisible(hWnd)
                && GetDlgItem(hWnd, nButtonId))
                return hWnd;
        }
        Sleep(100);
    }
    return NULL;
}

// For the screenshot: the rectangle around a dialog and the one it opened,
// in desktop coordinates, once both have painted what a closed message box
// had covered.
void SayFrame(HWND hDlg, HWND hNested)
{
    UINT nRedraw = RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;
    RedrawWindow(hDlg, NULL, NULL, nRedraw);
    if (hNested)
        RedrawWindow(hNested, NULL, NULL, nRedraw);
    Sleep(300);
    RECT rc, rcNested;
    GetWindowRect(hDlg, &rc);
    if (hNested && GetWindowRect(hNested, &rcNested))
        UnionRect(&rc, &rc, &rcNested);
    Say("frame %ld %ld %ld %ld", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

HWND FocusOf(HWND hDlg)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hDlg, NULL), &info))
        return NULL;
    return info.hwndFocus;
}

// A key press as the keyboard driver would queue it: down, then up.
void PressKey(HWND hTarget, UINT vk)
{
    UINT nScan = MapVirtualKeyA(vk, 0 /* MAPVK_VK_TO_VSC */);
    LPARAM lExtended = 0;
    switch (vk) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT:
        lExtended = 1 << 24;
        break;
    }
    LPARAM lDown = 1 | ((LPARAM)nScan << 16) | lExtended;
    LPARAM lUp = lDown | (1 << 30) | (1u << 31);
    PostMessageA(hTarget, WM_KEYDOWN, vk, lDown);
    PostMessageA(hTarget, WM_KEYUP, vk, lUp);
}

HTREEITEM Caret(HWND hTree)
{
    return (HTREEITEM)SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0);
}

std::string ControlName(HWND hDlg, HWND hWnd)
{
    if (!hWnd)
        return "nothing";
    // The drive list's focus sits in the combo box inside the ComboBoxEx.
    HWND hControl = hWnd;
    while (hControl && GetParent(hControl) != hDlg)
        hControl = GetParent(hControl);
    if (!hControl)
        return "a window outside the dialog";
    char szClass[64] = "";
    GetClassNameA(hControl, szClass, sizeof(szClass));
    char szName[160];
    snprintf(szName, sizeof(szName), "control %d (%s \"%s\")", GetDlgCtrlID(hControl), szClass,
             WindowText(hControl).c_str());
    return szName;
}

// Tab, as often as needed, until the tree has the keyboard focus.
bool TabToTree(HWND hDlg, HWND hTree)
{
    for (int i = 0;; i++) {
        HWND hFocus = FocusOf(hDlg);
        if (hFocus == hTree) {
            Say("the tree has the focus");
            return true;
        }
        if (i == kMaxTabPresses)
            return false;
        Say("focus on %s: Tab", ControlName(hDlg, hFocus).c_str());
        PressKey(hFocus ? hFocus : hDlg, VK_TAB);
        DWORD dwStart = GetTickCount();
        while (FocusOf(hDlg) == hFocus && GetTickCount() - dwStart < kReactTimeoutMs)
            Sleep(50);
    }
}

int Navigate(HWND hDlg, HWND hTree, HWND hPathBox, const std::string& strTarget)
{
    HTREEITEM hRoot = (HTREEITEM)SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    Say("path box: %s; %d tree nodes; the top node is %sselected", WindowText(hPathBox).c_str(),
        (int)SendMessageA(hTree, TVM_GETCOUNT, 0, 0), Caret(hTree) == hRoot ? "" : "not ");

    if (!TabToTree(hDlg, hTree))
        Say("the focus did not reach the tree; the keys go to the tree directly");

    for (int i = 1; i <= kMaxDownPresses; i++) {
        HTREEITEM hBefore = Caret(hTree);
        PressKey(hTree, VK_DOWN);
        DWORD dwStart = GetTickCount();
        while (Caret(hTree) == hBefore && GetTickCount() - dwStart < kReactTimeoutMs)
            Sleep(50);
        if (Caret(hTree) == hBefore)
            return Fail("the selection did not move on Down");
        // The dialog's thread answers our queries between its messages, so
        // the key, with its selection handler and path box, is done by now.
        std::string strPath = WindowText(hPathBox);
        Say("Down %d: path box: %s", i, strPath.c_str());
        if (strPath == strTarget) {
            Say("%s is selected", strTarget.c_str());
            SayFrame(hDlg, NULL);
            return 0;
        }
        if (strPath.compare(0, 3, strTarget, 0, 3) != 0)
            return Fail("the selection left the drive");
    }
    return Fail("the folder was not reached");
}

bool WaitClosed(HWND hDlg, DWORD dwTimeoutMs = kCloseTimeoutMs)
{
    DWORD dwStart = GetTickCount();
    while (IsWindow(hDlg) && GetTickCount() - dwStart < dwTimeoutMs)
        Sleep(50);
    return !IsWindow(hDlg);
}

int Cancel(HWND hDlg)
{
    Say("Esc");
    PressKey(hDlg, VK_ESCAPE);
    if (!WaitClosed(hDlg))
        return Fail("the dialog did not close on Esc");
    Say("the dialog has closed");
    return 0;
}

// Expand Recursive on the selected folder; done while the scan runs, once
// its progress bar has moved.
int Expand(HWND hDlg)
{
    Say("clicking Expand Recursive");
    PostMessageA(GetDlgItem(hDlg, kExpandId), BM_CLICK, 0, 0);
    HWND hProgress = FindDialog(kProgressCaption, kProgressId);
    if (!hProgress)
        return Fail("no progress dialog appeared");
    HWND hBar = GetDlgItem(hProgress, kProgressId);
    DWORD dwStart = GetTickCount();
    DWORD_PTR nPos = 0;
    while (IsWindow(hProgress) && nPos < (DWORD_PTR)kProgressShown && GetTickCount() - dwStart < kFindTimeoutMs) {
        Sleep(100);
        SendMessageTimeoutA(hBar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &nPos);
    }
    if (!IsWindow(hProgress))
        return Fail("the scan ended before its progress bar moved (a larger tree is needed)");
    Say("the scan runs; progress %d%%", (int)nPos);
    SayFrame(hDlg, hProgress);
    return 0;
}

// Clicks the button nButtonId (named pszButton) of the open nested dialog
// pszWhat, found by its caption and its control nChildId, and waits up to
// dwTimeoutMs for it to close: 0, or the failure said.
int ClickToClose(const char* pszWhat, const char* pszCaption, int nChildId, int nButtonId, const char* pszButton,
                 DWORD dwTimeoutMs)
{
    HWND hNested = FindDialog(pszCaption, nChildId, 0);
    std::string strWhat = pszWhat;
    if (!hNested)
        return Fail(("no " + strWhat + " is open").c_str());
    Say("clicking %s", pszButton);
    PostMessageA(GetDlgItem(hNested, nButtonId), BM_CLICK, 0, 0);
    if (!WaitClosed(hNested, dwTimeoutMs))
        return Fail(("the " + strWhat + " did not close on " + pszButton).c_str());
    return 0;
}

int Kill(HWND hDlg)
{
    if (int nFailed = ClickToClose("progress dialog", kProgressCaption, kProgressId, kKillId, "Kill", kScanEndTimeoutMs))
        return nFailed;
    // The subtree is rebuilt from what the scan found; the dialog answers
    // again when that is done.
    DWORD_PTR nResult;
    if (!SendMessageTimeoutA(hDlg, WM_NULL, 0, 0, SMTO_NORMAL, kScanEndTimeoutMs, &nResult))
        return Fail("the folder dialog did not come back after the scan");
    Say("the scan was stopped");
    SayFrame(hDlg, NULL);
    return 0;
}

// Del on the tree and Yes to the question; done when the request dialog for
// a read-only file is open.
int Delete(HWND hDlg, HWND hTree)
{
    if (!TabToTree(hDlg, hTree))
        return Fail("the focus did not reach the tree");
    Say("Del");
    PressKey(hTree, VK_DELETE);
    HWND hQuestion = FindOwnedBox(hDlg, IDYES);
    if (!hQuestion)
        return Fail("no question appeared on Del");
    Say("question: Yes");
    PostMessageA(GetDlgItem(hQuestion, IDYES), BM_CLICK, 0, 0);
    HWND hRequest = FindDialog(kRequestCaption, IDCANCEL);
    if (!hRequest)
        return Fail("no request for a read-only file appeared");
    // How far the request is from centred over the folder dialog, for the
    // screenshot script to check under a window manager.
    RECT rcDlg, rcRequest;
    GetWindowRect(hDlg, &rcDlg);
    GetWindowRect(hRequest, &rcRequest);
    Say("the request dialog is open, off centre by %ld %ld",
        (rcRequest.left + rcRequest.right - rcDlg.left - rcDlg.right) / 2,
        (rcRequest.top + rcRequest.bottom - rcDlg.top - rcDlg.bottom) / 2);
    SayFrame(hDlg, hRequest);
    return 0;
}

int Abort(HWND hDlg)
{
    if (int nFailed = ClickToClose("request dialog", kRequestCaption, IDCANCEL, IDCANCEL, "Abort Deletion", kCloseTimeoutMs))
        return nFailed;
    Say("the deletion was aborted");
    SayFrame(hDlg, NULL);
    return 0;
}

int PressOk(HWND hDlg, HWND hTree, HWND hPathBox)
{
    Say("path box: %s", WindowText(hPathBox).c_str());

    // Enter means the default button. It means OK only when the focus is not
    // on another push button and no other button is the default.
    bool bEnterIsOk = TabToTree(hDlg, hTree);
    if (bEnterIsOk) {
        DWORD dwDefId = (DWORD)SendMessageA(hDlg, DM_GETDEFID, 0, 0);
        if (HIWORD(dwDefId) == DC_HASDEFID && LOWORD(dwDefId) != IDOK) {
            Say("the default button is %d, not OK", LOWORD(dwDefId));
            bEnterIsOk = false;
        }
    }
    if (bEnterIsOk) {
        Say("Enter");
        PressKey(hTree, VK_RETURN);
        if (WaitClosed(hDlg)) {
            Say("the dialog has closed");
            return 0;
        }
        if (!IsWindowVisible(hDlg))
            return Fail("the dialog was hidden but not closed");
        Say("the dialog is still open after Enter");
    }
    Say("clicking OK");
    PostMessageA(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
    if (!WaitClosed(hDlg))
        return Fail("the dialog did not close on OK");
    Say("the dialog has closed");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string strCommand = argc >= 2 ? argv[1] : "";
    bool bNavigate = strCommand == "navigate";
    const char* const commands[] = { "ok", "cancel", "expand", "kill", "delete", "abort" };
    bool bKnown = false;
    for (const char* pszCommand : commands)
        bKnown = bKnown || strCommand == pszCommand;
    if (bNavigate ? argc != 3 : (!bKnown || argc != 2)) {
        fprintf(stderr, "usage: VarnetDemoDriver.exe navigate PATH|ok|cancel|expand|kill|delete|abort\n");
        return 2;
    }

    HWND hDlg = FindDialog(kCaption, kTreeId);
    if (!hDlg)
        return Fail("no \"Varnet\" dialog appeared within 20 s");
    HWND hTree = GetDlgItem(hDlg, kTreeId);
    HWND hPathBox = GetDlgItem(hDlg, kPathBoxId);
    if (!hPathBox)
        return Fail("the dialog has no path box (1007)");
    RECT rc;
    GetWindowRect(hDlg, &rc);
    Say("found the Varnet dialog at %ld,%ld, %ld x %ld", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);

    if (bNavigate)
        return Navigate(hDlg, hTree, hPathBox, argv[2]);
    if (strCommand == "ok")
        return PressOk(hDlg, hTree, hPathBox);
    if (strCommand == "cancel")
        return Cancel(hDlg);
    if (strCommand == "expand")
        return Expand(hDlg);
    if (strCommand == "kill")
        return Kill(hDlg);
    if (strCommand == "delete")
        return Delete(hDlg, hTree);
    return Abort(hDlg);
}
