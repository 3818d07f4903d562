// Message boxes and debug traces.
#include "afx/msgbox.h"
#include "afx/winapp.h"
#include "afx/wnd.h"

#include <stdarg.h>
#include <stdio.h>
#include <string>

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    return ::MessageBoxA(AfxGetSafeOwner(NULL), lpszText ? lpszText : "", AfxGetAppName(), nType);
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
