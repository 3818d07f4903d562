// CFileFind: a directory search. FindFile starts the search without making
// an entry current; each FindNextFile makes the next entry current and
// returns FALSE when that entry is the last one (it is still valid). After
// a FALSE result GetLastError() tells why: ERROR_NO_MORE_FILES at the end.
//
// It searches with the wide functions and gives each name whole, as the
// ANSI file functions convert it: their fixed buffer of MAX_PATH bytes
// holds fewer characters than a name may have where a character takes
// several bytes (the UTF-8 code page), and would cut the name.
#pragma once

#include "cstring.h"

class FX_API CFileFind {
public:
    CFileFind();
    ~CFileFind();

    // FindFirstFile on a pattern such as C:\dir\*.* (NULL: *.*). FALSE
    // when the search cannot start; GetLastError() tells why.
    BOOL FindFile(LPCSTR pstrName = NULL, DWORD dwUnused = 0);
    BOOL FindNextFile();
    void Close();

    // The current entry
    CString GetFileName() const;
    // The folder of the pattern, a backslash, and the entry's name.
    CString GetFilePath() const;
    // The folder of the pattern, without a trailing backslash.
    CString GetRoot() const { return m_strRoot; }
    DWORD GetAttributes() const { return m_current.dwFileAttributes; }
    BOOL MatchesMask(DWORD dwMask) const { return (m_current.dwFileAttributes & dwMask) != 0; }
    BOOL IsDots() const;
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }

private:
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    HANDLE m_hContext;
    BOOL m_bHaveNext;  // m_next holds an entry not yet made current
    WIN32_FIND_DATAW m_current;
    WIN32_FIND_DATAW m_next;
    CString m_strCurrentName;  // m_current's name in the file functions' code page
    CString m_strRoot;
};
