// AfxMessageBox: a message box titled with the application's name.
#pragma once

#include "fxdefs.h"

// Shows lpszText with MessageBoxA, owned by the thread's active window (see
// AfxGetSafeOwner), and returns the button pressed. nIDHelp is kept for
// callers that pass one; no help is shown.
FX_API int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// Shows lpszText with MessageBoxA owned by hOwner, so that the owner takes
// no input while it waits, centred over it on its monitor and titled with
// the application's name; returns the button pressed. A null owner gives
// an unowned box.
FX_API int AfxOwnedMessageBox(HWND hOwner, LPCSTR lpszText, UINT nType = MB_OK);
// A box without owner, above every window and brought to the foreground
// (from a thread that has no window to own it).
FX_API int AfxTopMessageBox(LPCSTR lpszText, UINT nType = MB_OK);

// Moves hWnd so that it is centred over its owner, inside the work area of
// the owner's monitor (CWnd::CenterWindow).
FX_API void AfxCenterOverOwner(HWND hWnd);

// The work area (the screen less the task bar) of the monitor nearest hWnd.
FX_API BOOL AfxGetWorkArea(HWND hWnd, RECT* pWork);
