// Directory search, and file renaming.
#include "afx/exception.h"
#include "afx/file.h"
#include "afx/filefind.h"

#include <string.h>

CFileFind::CFileFind() : m_hContext(INVALID_HANDLE_VALUE), m_bHaveNext(FALSE)
{
    memset(&m_current, 0, sizeof m_current);
    memset(&m_next, 0, sizeof m_next);
}

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    if (m_hContext != INVALID_HANDLE_VALUE) {
        // FindClose must not change the error code that the caller may
        // still read from the last FindNextFile.
        DWORD dwError = ::GetLastError();
        ::FindClose(m_hContext);
        ::SetLastError(dwError);
        m_hContext = INVALID_HANDLE_VALUE;
    }
    m_bHaveNext = FALSE;
}

BOOL CFileFind::FindFile(LPCSTR pstrName, DWORD)
{
    Close();
    if (!pstrName)
        pstrName = "*.*";
    memset(&m_current, 0, sizeof m_current);
    m_strRoot.Empty();
    m_hContext = ::FindFirstFileA(pstrName, &m_next);
    if (m_hContext == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHaveNext = TRUE;

    // The folder part of the pattern, as written.
    CString strName(pstrName);
    int nSlash = strName.ReverseFind('\\');
    int nForward = strName.ReverseFind('/');
    if (nForward > nSlash)
        nSlash = nForward;
    m_strRoot = nSlash >= 0 ? strName.Left(nSlash) : CString();
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (m_hContext == INVALID_HANDLE_VALUE || !m_bHaveNext) {
        ::SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    m_current = m_next;
    m_bHaveNext = ::FindNextFileA(m_hContext, &m_next);
    return m_bHaveNext;
}

CString CFileFind::GetFileName() const
{
    return CString(m_current.cFileName);
}

CString CFileFind::GetFilePath() const
{
    if (m_strRoot.IsEmpty())
        return GetFileName();
    return m_strRoot + "\\" + m_current.cFileName;
}

BOOL CFileFind::IsDots() const
{
    return IsDirectory() && (strcmp(m_current.cFileName, ".") == 0 || strcmp(m_current.cFileName, "..") == 0);
}

void CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName)
{
    if (!::MoveFileA(lpszOldName, lpszNewName)) {
        LONG lError = (LONG)::GetLastError();
        AfxThrowFileException(CFileException::OsErrorToException(lError), lError, lpszOldName);
    }
}
