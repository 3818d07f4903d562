// Exceptions. They are thrown as pointers, caught as pointers, and released
// with Delete(), as in the classic framework.
#pragma once

#include "allocator.h"
#include "cstring.h"
#include "object.h"

class FX_API CException : public CObject {
public:
    // Copies the exception's text into lpszError (at most nMaxError - 1
    // characters and a terminator). pnHelpContext, if given, receives 0.
    virtual BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) = 0;
    // Shows the text in a message box; returns the box's result.
    virtual int ReportError(UINT nType = MB_OK | MB_ICONEXCLAMATION, UINT nMessageID = 0);
    // Deletes the exception unless it is a preallocated one.
    void Delete();

    BOOL m_bAutoDelete = TRUE;

protected:
    CException() {}
    // Copies strText into the caller's buffer, cut to fit.
    static BOOL CopyMessage(const CString& strText, LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext);
};

class FX_API CMemoryException : public CException {
public:
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;
};

class FX_API CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCSTR lpszFileName = NULL)
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName)
    {
    }

    // The system's text for m_lOsError, after the file name.
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;
    // The cause that matches a system error code.
    static int OsErrorToException(LONG lOsError);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

// Throws a new CFileException.
[[noreturn]] FX_API void AfxThrowFileException(int cause, LONG lOsError = -1, LPCSTR lpszFileName = NULL);
