// Exceptions, their texts, and the framework's allocation.
#include "afx/exception.h"
#include "afx/msgbox.h"
#include "afx/syserror.h"

#include <stdlib.h>
#include <string.h>

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char szText[512];
    if (!GetErrorMessage(szText, sizeof szText))
        lstrcpynA(szText, "An unknown error occurred.", sizeof szText);
    return AfxMessageBox(szText, nType, nMessageID);
}

BOOL CException::CopyMessage(const CString& strText, LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    lstrcpynA(lpszError, strText, (int)nMaxError);
    return TRUE;
}

BOOL CMemoryException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    return CopyMessage("Out of memory.", lpszError, nMaxError, pnHelpContext);
}

BOOL CFileException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    CString strText;
    if (!AfxGetSystemErrorText((DWORD)m_lOsError, strText))
        strText = "A file error occurred.";
    if (!m_strFileName.IsEmpty())
        strText = m_strFileName + ": " + strText;
    return CopyMessage(strText, lpszError, nMaxError, pnHelpContext);
}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
    case ERROR_WRITE_PROTECT: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK: return badSeek;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}

void AfxThrowMemoryException()
{
    static CMemoryException s_memoryException;
    s_memoryException.m_bAutoDelete = FALSE;
    throw static_cast<CMemoryException*>(&s_memoryException);
}

void AfxThrowFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

static AFX_ALLOC_HOOK s_pfnAllocHook = NULL;
static volatile LONG s_lRequestNumber = 0;

AFX_ALLOC_HOOK AfxSetAllocHook(AFX_ALLOC_HOOK pfnAllocHook)
{
    return (AFX_ALLOC_HOOK)InterlockedExchangePointer((PVOID*)&s_pfnAllocHook, (PVOID)pfnAllocHook);
}

void* AfxAllocMemory(size_t nBytes, BOOL bObject)
{
    LONG lRequest = InterlockedIncrement(&s_lRequestNumber);
    AFX_ALLOC_HOOK pfnHook = s_pfnAllocHook;
    if (pfnHook && !pfnHook(nBytes, bObject, lRequest))
        return NULL;
    return malloc(nBytes ? nBytes : 1);
}

void AfxFreeMemory(void* p)
{
    free(p);
}
