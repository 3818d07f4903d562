// VarnetDemoDriver: works the folder dialog of a running VarnetPick.exe from
// the keyboard, as a user would, for scripts/demo.sh.
//   VarnetDemoDriver.exe navigate   Tab to the tree, then Down until the
//                                   path box reads D:\data\2002
//   VarnetDemoDriver.exe ok         Enter on the tree (OK button if Enter
//                                   cannot mean OK)
// Keys are posted to the dialog's windows, so they pass through the dialog's
// own message loop and dialog manager like typed keys. Every wait is bounded.
// Exit codes: 0 done, 2 wrong arguments, 3 the dialog was not found or did
// not react as expected.
#include <windows.h>
#include <commctrl.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <string>

namespace {

const char kCaption[] = "Varnet";
const char kTarget[] = "D:\\data\\2002";
const int kTreeId = 1003;
const int kPathBoxId = 1007;
const DWORD kFindTimeoutMs = 20000;
const DWORD kReactTimeoutMs = 5000;
const DWORD kCloseTimeoutMs = 5000;
const int kMaxDownPresses = 6;
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

// The dialog's class (#32770) and caption, in another process: this
// console's own window never matches.
HWND FindDialog()
{
    DWORD dwStart = GetTickCount();
    for (;;) {
        HWND hDlg = FindWindowA("#32770", kCaption);
        DWORD dwProcess = 0;
        if (hDlg)
            GetWindowThreadProcessId(hDlg, &dwProcess);
        // Visible means that WM_INITDIALOG has run.
        if (hDlg && dwProcess != GetCurrentProcessId() && IsWindowVisible(hDlg))
            return hDlg;
        if (GetTickCount() - dwStart > kFindTimeoutMs)
            return NULL;
        Sleep(100);
    }
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

int Navigate(HWND hDlg, HWND hTree, HWND hPathBox)
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
        if (strPath == kTarget) {
            Say("%s is selected", kTarget);
            return 0;
        }
        if (strPath.compare(0, 7, "D:\\data") != 0)
            return Fail("the selection left D:\\data");
    }
    return Fail("D:\\data\\2002 was not reached");
}

bool WaitClosed(HWND hDlg)
{
    DWORD dwStart = GetTickCount();
    while (IsWindow(hDlg) && GetTickCount() - dwStart < kCloseTimeoutMs)
        Sleep(50);
    return !IsWindow(hDlg);
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
    bool bNavigate = argc == 2 && strcmp(argv[1], "navigate") == 0;
    bool bOk = argc == 2 && strcmp(argv[1], "ok") == 0;
    if (!bNavigate && !bOk) {
        fprintf(stderr, "usage: VarnetDemoDriver.exe navigate|ok\n");
        return 2;
    }

    HWND hDlg = FindDialog();
    if (!hDlg)
        return Fail("no \"Varnet\" dialog appeared within 20 s");
    HWND hTree = GetDlgItem(hDlg, kTreeId);
    HWND hPathBox = GetDlgItem(hDlg, kPathBoxId);
    if (!hTree || !hPathBox)
        return Fail("the dialog has no tree (1003) or no path box (1007)");
    RECT rc;
    GetWindowRect(hDlg, &rc);
    Say("found the Varnet dialog at %ld,%ld, %ld x %ld%s", rc.left, rc.top, rc.right - rc.left,
        rc.bottom - rc.top, GetForegroundWindow() == hDlg ? ", active" : ", not active");
    // For the screenshot: the dialog's frame in desktop coordinates.
    Say("frame %ld %ld %ld %ld", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);

    return bNavigate ? Navigate(hDlg, hTree, hPathBox) : PressOk(hDlg, hTree, hPathBox);
}
