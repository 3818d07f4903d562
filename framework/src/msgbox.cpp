// Message boxes and debug traces.
#include "afx/msgbox.h"
#include "afx/winapp.h"
#include "afx/wnd.h"

#include <stdarg.h>
#include <stdio.h>

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    return ::MessageBoxA(AfxGetSafeOwner(NULL), lpszText ? lpszText : "", AfxGetAppName(), nType);
}

void AfxTrace(LPCSTR lpszFormat, ...)
{
    char szBuffer[1024];
    va_list args;
    va_start(args, lpszFormat);
    vsnprintf(szBuffer, sizeof szBuffer, lpszFormat, args);
    va_end(args);
    ::OutputDebugStringA(szBuffer);
}

void AfxAssertFailed(LPCSTR lpszFile, int nLine, LPCSTR lpszExpr)
{
    AfxTrace("%s(%d): assertion failed: %s\n", lpszFile, nLine, lpszExpr);
    ::DebugBreak();
}
