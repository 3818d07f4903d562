// The message boxes and nested dialogs that the folder dialog opens are
// owned by it, so that it takes no input while they wait (a host's main
// window, or whichever window is active, need not be the folder dialog),
// and they open centred over it, on its monitor.
#pragma once

#include <afxwin.h>

// Moves hWnd so that it is centred over its owner, kept inside the work
// area of the owner's monitor. A window without owner stays where it is.
inline void CenterOverOwner(HWND hWnd)
{
    HWND hOwner = ::GetWindow(hWnd, GW_OWNER);
    RECT rcOwner, rcWindow;
    if (!hOwner || !::GetWindowRect(hOwner, &rcOwner) || !::GetWindowRect(hWnd, &rcWindow))
        return;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(::MonitorFromWindow(hOwner, MONITOR_DEFAULTTONEAREST), &info))
        return;
    const RECT& rcWork = info.rcWork;
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
inline thread_local HWND t_hBoxOwner = NULL;

// Centres a box once it has placed itself (its WM_INITDIALOG), before it shows.
inline LRESULT CALLBACK CenterBoxHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* pMsg = (const CWPRETSTRUCT*)lParam;
    if (nCode == HC_ACTION && pMsg->message == WM_INITDIALOG && t_hBoxOwner &&
        ::GetWindow(pMsg->hwnd, GW_OWNER) == t_hBoxOwner)
        CenterOverOwner(pMsg->hwnd);
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

// MessageBoxA owned by hOwner and centred over it, titled with the
// application's name as AfxMessageBox titles it; returns the button pressed.
inline int OwnedMessageBox(HWND hOwner, const char* pszText, UINT nType)
{
    HWND hOuterOwner = t_hBoxOwner;
    t_hBoxOwner = hOwner;
    HHOOK hHook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, CenterBoxHook, NULL, ::GetCurrentThreadId());
    int nResult = ::MessageBoxA(hOwner, pszText ? pszText : "", AfxGetAppName(), nType);
    if (hHook)
        ::UnhookWindowsHookEx(hHook);
    t_hBoxOwner = hOuterOwner;
    return nResult;
}
