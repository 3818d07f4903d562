// AfxMessageBox: a message box titled with the application's name.
#pragma once

#include "fxdefs.h"

// Shows lpszText with MessageBoxA, owned by the thread's active window (see
// AfxGetSafeOwner), and returns the button pressed. nIDHelp is kept for
// callers that pass one; no help is shown.
FX_API int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
