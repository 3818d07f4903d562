// The one place where a system error code becomes text.
#pragma once

#include "cstring.h"

// Sets strText to the system's message for dwError (FormatMessageA from the
// system table, inserts ignored, the user's default language) exactly as the
// system gives it, line break included. Returns FALSE, with strText empty,
// when the system has no text for the code. Only a buffer that the system
// allocated is freed.
FX_API BOOL AfxGetSystemErrorText(DWORD dwError, CString& strText);
