// System error codes into text.
#include "afx/syserror.h"

BOOL AfxGetSystemErrorText(DWORD dwError, CString& strText)
{
    LPSTR pBuffer = NULL;
    DWORD nChars = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  NULL, dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  (LPSTR)&pBuffer, 0, NULL);
    strText.Empty();
    if (pBuffer == NULL)
        return FALSE;
    // The system's buffer is freed also when the copy throws (memory running out).
    struct LocalBuffer {
        LPSTR p;
        ~LocalBuffer() { LocalFree(p); }
    } buffer = { pBuffer };
    strText = CString(buffer.p, (int)nChars);
    return !strText.IsEmpty();
}
