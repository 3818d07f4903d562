// System error codes into text.
#include "afx/syserror.h"
#include "afx/codepage.h"

BOOL AfxGetSystemErrorText(DWORD dwError, CString& strText)
{
    // Wide, then in the text code page: the system's words whole in UTF-8.
    LPWSTR pBuffer = NULL;
    DWORD nChars = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  NULL, dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  (LPWSTR)&pBuffer, 0, NULL);
    strText.Empty();
    if (pBuffer == NULL)
        return FALSE;
    pBuffer[nChars] = L'\0';
    // The system's buffer is freed also when the copy throws (memory running out).
    struct LocalBuffer {
        LPWSTR p;
        ~LocalBuffer() { LocalFree(p); }
    } buffer = { pBuffer };
    strText = AfxWideToAnsi(buffer.p);
    return !strText.IsEmpty();
}
