/* A plain C host of Varnet.dll: the C interface (varnet.h) drives the real
 * dialog. No application object, no framework, no manifest: the process
 * runs in the ANSI code page (1252 in the test prefix), and the paths, in
 * Greek, Japanese and emoji, must still cross whole.
 *
 * Each case runs one pick on a user-interface thread while a script on a
 * second thread finds the dialog and acts as the user (or the host) would.
 * Prints one line per failure; the exit code is the number of failures. */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "resource.h"
#include "varnet.h"

static int g_nFailures;

static const char* g_pszCase = "";

static void Check(const char* pszCase, int bHolds, const char* pszWhat, int nLine)
{
    if (!bHolds) {
        printf("FAILED %s: %s (line %d)\n", pszCase, pszWhat, nLine);
        g_nFailures++;
    }
}
#define CHECK(cond, what) Check(g_pszCase, (cond) != 0, what, __LINE__)

/* The test folders: D:\capi-<pid>\日本\📁 photos and D:\capi-<pid>\Ελληνικά. */
static wchar_t g_szBase[64], g_szJapan[128], g_szPhotos[160];

/* --- The script's side --------------------------------------------------- */

enum Action { ACT_OK, ACT_PARENT_OK, ACT_CANCEL, ACT_QUIT, ACT_DESTROY_OWNER, ACT_CHECK_OWNER_CANCEL };

typedef struct Run {
    const char* pszCase;
    DWORD nUiThread;    /* the thread that runs the pick */
    enum Action action;
    HWND hOwner;
    HWND hDialog;       /* found by the script */
} Run;

static BOOL CALLBACK FindDialog(HWND hWnd, LPARAM lParam)
{
    wchar_t szClass[16];
    Run* pRun = (Run*)lParam;
    if (IsWindowVisible(hWnd) && GetClassNameW(hWnd, szClass, 16) && wcscmp(szClass, L"#32770") == 0 &&
        GetDlgItem(hWnd, IDC_FOLDER_TREE)) {
        pRun->hDialog = hWnd;
        return FALSE;
    }
    return TRUE;
}

#define WM_DESTROY_ME (WM_APP + 1)

static DWORD WINAPI Script(LPVOID pParam)
{
    Run* pRun = (Run*)pParam;
    HWND hTree;
    int i;
    for (i = 0; i < 500 && !pRun->hDialog; i++) {
        EnumThreadWindows(pRun->nUiThread, FindDialog, (LPARAM)pRun);
        if (!pRun->hDialog)
            Sleep(20);
    }
    if (!pRun->hDialog)
        return 1;
    hTree = GetDlgItem(pRun->hDialog, IDC_FOLDER_TREE);
    switch (pRun->action) {
    case ACT_PARENT_OK: {
        /* The user selects the parent of the folder it opened on. */
        HTREEITEM hSelected = (HTREEITEM)SendMessageW(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0);
        HTREEITEM hParent = (HTREEITEM)SendMessageW(hTree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)hSelected);
        SendMessageW(hTree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)hParent);
    }
        /* fall through */
    case ACT_OK:
        PostMessageW(pRun->hDialog, WM_COMMAND, IDOK, 0);
        break;
    case ACT_CHECK_OWNER_CANCEL: {
        /* Owned by the host's window, which it disables, and centred over it. */
        RECT rcOwner, rcDialog;
        GetWindowRect(pRun->hOwner, &rcOwner);
        GetWindowRect(pRun->hDialog, &rcDialog);
        Check(pRun->pszCase, GetWindow(pRun->hDialog, GW_OWNER) == pRun->hOwner,
              "the dialog is owned by the host's window", __LINE__);
        Check(pRun->pszCase, !IsWindowEnabled(pRun->hOwner), "the owner is disabled while the dialog runs", __LINE__);
        Check(pRun->pszCase,
              abs((rcOwner.left + rcOwner.right) - (rcDialog.left + rcDialog.right)) <= 2 &&
                  abs((rcOwner.top + rcOwner.bottom) - (rcDialog.top + rcDialog.bottom)) <= 2,
              "the dialog is centred over its owner", __LINE__);
    }
        /* fall through */
    case ACT_CANCEL:
        PostMessageW(pRun->hDialog, WM_COMMAND, IDCANCEL, 0);
        break;
    case ACT_QUIT:
        PostThreadMessageW(pRun->nUiThread, WM_QUIT, 7, 0);
        break;
    case ACT_DESTROY_OWNER:
        PostMessageW(pRun->hOwner, WM_DESTROY_ME, 0, 0);
        break;
    }
    return 0;
}

/* --- The host's side ----------------------------------------------------- */

static LRESULT CALLBACK OwnerProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_DESTROY_ME) {
        DestroyWindow(hWnd);
        return 0;
    }
    return DefWindowProcW(hWnd, nMsg, wParam, lParam);
}

static HWND MakeOwner(void)
{
    WNDCLASSW wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"CapiOwner";
    RegisterClassW(&wc);
    return CreateWindowExW(0, L"CapiOwner", L"Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 700, 560, NULL,
                           NULL, wc.hInstance, NULL);
}

/* One case of the table: the pick in the form given (wide or UTF-8), the
 * script's action, and what must come back. */
typedef struct Case {
    const char* pszName;
    BOOL bUtf8;
    const wchar_t* pszInitial;  /* NULL: NULL */
    enum Action action;
    BOOL bOwner;
    int nExpected;
    const wchar_t* pszExpected; /* NULL: no path */
} Case;

typedef struct Pick {
    const Case* pCase;
    int nResult;
    wchar_t szPath[512];
    BOOL bPathNull;
    BOOL bQuitLeft;
    BOOL bOwnerEnabled, bOwnerActive, bOwnerGone;
} Pick;

/* Runs one case on the calling thread. */
static void RunCase(Pick* pPick)
{
    const Case* pCase = pPick->pCase;
    Run run;
    HANDLE hScript;
    MSG msg;
    memset(&run, 0, sizeof run);
    run.pszCase = pCase->pszName;
    run.nUiThread = GetCurrentThreadId();
    run.action = pCase->action;
    run.hOwner = pCase->bOwner ? MakeOwner() : NULL;
    hScript = CreateThread(NULL, 0, Script, &run, 0, NULL);
    if (pCase->bUtf8) {
        char szInitial[512], *pszPath = NULL;
        WideCharToMultiByte(CP_UTF8, 0, pCase->pszInitial ? pCase->pszInitial : L"", -1, szInitial, 512, NULL, NULL);
        pPick->nResult = VarnetPickFolderU8(run.hOwner, pCase->pszInitial ? szInitial : NULL, &pszPath);
        pPick->bPathNull = pszPath == NULL;
        if (pszPath)
            MultiByteToWideChar(CP_UTF8, 0, pszPath, -1, pPick->szPath, 512);
        VarnetFreePath(pszPath);
    } else {
        wchar_t* pszPath = NULL;
        pPick->nResult = VarnetPickFolderW(run.hOwner, pCase->pszInitial, &pszPath);
        pPick->bPathNull = pszPath == NULL;
        if (pszPath)
            lstrcpynW(pPick->szPath, pszPath, 512);
        VarnetFreePath(pszPath);
    }
    pPick->bOwnerGone = run.hOwner && !IsWindow(run.hOwner);
    pPick->bOwnerEnabled = run.hOwner && IsWindowEnabled(run.hOwner);
    pPick->bOwnerActive = run.hOwner && GetActiveWindow() == run.hOwner;
    pPick->bQuitLeft = PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
    WaitForSingleObject(hScript, 15000);
    CloseHandle(hScript);
    if (run.hOwner && IsWindow(run.hOwner))
        DestroyWindow(run.hOwner);
}

static DWORD WINAPI RunCaseThread(LPVOID pParam)
{
    RunCase((Pick*)pParam);
    return 0;
}

/* bAlone: no other thread's window took the foreground, which the owner
 * can then get back. */
static void CheckPick(const Pick* pPick, BOOL bAlone)
{
    const Case* pCase = pPick->pCase;
    char szWhat[1024];
    g_pszCase = pCase->pszName;
    sprintf(szWhat, "returns %d (expected %d; error: %s)", pPick->nResult, pCase->nExpected, VarnetGetErrorU8());
    CHECK(pPick->nResult == pCase->nExpected, szWhat);
    if (pCase->pszExpected)
        CHECK(!pPick->bPathNull && wcscmp(pPick->szPath, pCase->pszExpected) == 0, "gives the path exactly");
    else
        CHECK(pPick->bPathNull, "gives no path");
    if (pCase->action == ACT_QUIT)
        CHECK(pPick->bQuitLeft, "posts WM_QUIT again for the host's loop");
    if (pCase->bOwner && pCase->action != ACT_DESTROY_OWNER) {
        CHECK(pPick->bOwnerEnabled, "enables the owner again");
        CHECK(!bAlone || pPick->bOwnerActive, "activates the owner again");
    }
}

/* Malformed input is refused before any window opens, with a clear text. */
static void CheckRefusals(void)
{
    char* pszU8 = (char*)1;
    wchar_t* pszW = (wchar_t*)1;
    static const wchar_t szLone[] = { L'D', L':', L'\\', 0xD83D, L'x', 0 };
    g_pszCase = "malformed UTF-8";
    CHECK(VarnetPickFolderU8(NULL, "D:\\caf\xC3(", &pszU8) == VARNET_ERROR && pszU8 == NULL, "is an error");
    CHECK(strstr(VarnetGetErrorU8(), "UTF-8") != NULL, VarnetGetErrorU8());
    g_pszCase = "half a surrogate pair";
    CHECK(VarnetPickFolderW(NULL, szLone, &pszW) == VARNET_ERROR && pszW == NULL, "is an error");
    CHECK(wcsstr(VarnetGetErrorW(), L"UTF-16") != NULL, "the text names UTF-16");
    g_pszCase = "no place for the path";
    CHECK(VarnetPickFolderW(NULL, NULL, NULL) == VARNET_ERROR, "is an error");
    g_pszCase = "an owner that is no window";
    CHECK(VarnetPickFolderW((HWND)(INT_PTR)0x7FF0, NULL, &pszW) == VARNET_ERROR && pszW == NULL, "is an error");
    CHECK(VarnetGetErrorW()[0] != 0, "with the system's words");
}

static DWORD WINAPI Watchdog(LPVOID pParam)
{
    Sleep(240000);
    printf("FAILED: the test did not end in 4 minutes\n");
    fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 99);
    return 0;
}

static void MakeFolders(void)
{
    wsprintfW(g_szBase, L"D:\\capi-%lu", GetCurrentProcessId());
    wsprintfW(g_szJapan, L"%s\\\x65E5\x672C", g_szBase);
    wsprintfW(g_szPhotos, L"%s\\\xD83D\xDCC1 photos", g_szJapan);
    CreateDirectoryW(g_szBase, NULL);
    CreateDirectoryW(g_szJapan, NULL);
    CreateDirectoryW(g_szPhotos, NULL);
}

static void RemoveFolders(void)
{
    RemoveDirectoryW(g_szPhotos);
    RemoveDirectoryW(g_szJapan);
    RemoveDirectoryW(g_szBase);
}

int main(void)
{
    int i;
    CloseHandle(CreateThread(NULL, 0, Watchdog, NULL, 0, NULL));
    if (!getenv("VARNET_BUILD_DIR")) {
        printf("capi_test runs only in its build's test prefix (VARNET_BUILD_DIR)\n");
        return 1;
    }
    MakeFolders();
    CheckRefusals();
    {
        /* In a row on the main thread. */
        const Case cases[] = {
            { "choose the folder it opened on (UTF-8)", TRUE, g_szPhotos, ACT_OK, FALSE, VARNET_OK, g_szPhotos },
            { "choose another folder (UTF-16)", FALSE, g_szPhotos, ACT_PARENT_OK, FALSE, VARNET_OK, g_szJapan },
            { "cancel, from drive C", FALSE, NULL, ACT_CANCEL, FALSE, VARNET_CANCEL, NULL },
            { "an owner window", FALSE, L"", ACT_CHECK_OWNER_CANCEL, TRUE, VARNET_CANCEL, NULL },
            { "WM_QUIT", TRUE, g_szJapan, ACT_QUIT, FALSE, VARNET_CANCEL, NULL },
            { "the owner destroyed", FALSE, g_szJapan, ACT_DESTROY_OWNER, TRUE, VARNET_CANCEL, NULL },
        };
        for (i = 0; i < (int)(sizeof cases / sizeof cases[0]); i++) {
            Pick pick;
            memset(&pick, 0, sizeof pick);
            pick.pCase = &cases[i];
            RunCase(&pick);
            CheckPick(&pick, TRUE);
        }
    }
    {
        /* From two other threads at once, each with its own dialog. */
        const Case cases[] = {
            { "a second thread, choosing", FALSE, g_szPhotos, ACT_PARENT_OK, FALSE, VARNET_OK, g_szJapan },
            { "a third thread at the same time, cancelling", TRUE, g_szJapan, ACT_CANCEL, TRUE, VARNET_CANCEL, NULL },
        };
        Pick picks[2];
        HANDLE hThreads[2];
        for (i = 0; i < 2; i++) {
            memset(&picks[i], 0, sizeof picks[i]);
            picks[i].pCase = &cases[i];
            hThreads[i] = CreateThread(NULL, 0, RunCaseThread, &picks[i], 0, NULL);
        }
        WaitForMultipleObjects(2, hThreads, TRUE, INFINITE);
        for (i = 0; i < 2; i++) {
            CloseHandle(hThreads[i]);
            CheckPick(&picks[i], FALSE);
        }
    }
    RemoveFolders();
    printf("capi_test: %d failures\n", g_nFailures);
    return g_nFailures;
}
