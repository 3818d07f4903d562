// Message boxes and debug traces.
#include "afx/msgbox.h"
#include "afx/codepage.h"
#include "afx/winapp.h"
#include "afx/wnd.h"

#include <stdarg.h>
#include <stdio.h>
#include <string>

// MessageBoxW of a text in the thread's text code page; the application's
// name, the caption, is in the ANSI code page.
static int BoxW(HWND hOwner, LPCSTR pszText, UINT nType)
{
    return ::MessageBoxW(hOwner, AfxToWide(pszText).c_str(), AfxToWide(AfxGetAppName(), CP_ACP).c_str(), nType);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    return BoxW(AfxGetSafeOwner(NULL), lpszText, nType);
}

int AfxTopMessageBox(LPCSTR pszText, UINT nType)
{
    return BoxW(NULL, pszText, nType | MB_TOPMOST | MB_SETFOREGROUND);
}

BOOL AfxGetWorkArea(HWND hWnd, RECT* pWork)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &info))
        return FALSE;
    *pWork = info.rcWork;
    return TRUE;
}

// Moves hWnd so that it is centred over its owner, kept inside the work
// area of the owner's monitor. A window without owner stays where it is.
void AfxCenterOverOwner(HWND hWnd)
{
    HWND hOwner = ::GetWindow(hWnd, GW_OWNER);
    RECT rcOwner, rcWindow, rcWork;
    if (!hOwner || !::GetWindowRect(hOwner, &rcOwner) || !::GetWindowRect(hWnd, &rcWindow) ||
        !AfxGetWorkArea(hOwner, &rcWork))
        return;
    LONG cx = rcWindow.right - rcWindow.left, cy = rcWindow.bottom - rcWindow.top;
    LONG x = (rcOwner.left + rcOwner.right - cx) / 2, y = (rcOwner.top + rcOwner.bottom - cy) / 2;
    // A window larger than the work area keeps its top left corner in it.
    x = x + cx > rcWork.right ? rcWork.right - cx : x;
    y = y + cy > rcWork.bottom ? rcWork.bottom - cy : y;
    x = x < rcWork.left ? rcWork.left : x;
    y = y < rcWork.top ? rcWork.top : y;
    ::SetWindowPos(hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The owner of the box being opened on this thread (boxes nest when one
// opens while another waits).
static thread_local HWND t_hBoxOwner = NULL;

// Centres a box once it has placed itself (its WM_INITDIALOG), before it shows.
static LRESULT CALLBACK CenterBoxHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* pMsg = (const CWPRETSTRUCT*)lParam;
    if (nCode == HC_ACTION && pMsg->message == WM_INITDIALOG && t_hBoxOwner &&
        ::GetWindow(pMsg->hwnd, GW_OWNER) == t_hBoxOwner)
        AfxCenterOverOwner(pMsg->hwnd);
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

int AfxOwnedMessageBox(HWND hOwner, LPCSTR pszText, UINT nType)
{
    HWND hOuterOwner = t_hBoxOwner;
    t_hBoxOwner = hOwner;
    HHOOK hHook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, CenterBoxHook, NULL, ::GetCurrentThreadId());
    int nResult = BoxW(hOwner, pszText, nType);
    if (hHook)
        ::UnhookWindowsHookEx(hHook);
    t_hBoxOwner = hOuterOwner;
    return nResult;
}

void AfxTrace(LPCSTR lpszFormat, ...)
{
    // Whole: a fixed buffer would cut a long path, maybe inside a character.
    va_list args;
    va_start(args, lpszFormat);
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(NULL, 0, lpszFormat, copy);
    va_end(copy);
    std::string strText(n > 0 ? n : 0, '\0');
    if (n > 0)
        vsnprintf(&strText[0], n + 1, lpszFormat, args);
    va_end(args);
    ::OutputDebugStringA(strText.c_str());
}

void AfxAssertFailed(LPCSTR lpszFile, int nLine, LPCSTR lpszExpr)
{
    AfxTrace("%s(%d): assertion failed: %s\n", lpszFile, nLine, lpszExpr);
    ::DebugBreak();
}
