// The rules about names that the tree, the scan and the folder commands
// share: which typed names can become one folder, which listed names name
// their folder exactly in a Win32 path, and what counts as a link.
//
// The tree shows names as the ANSI file functions give them, and every
// path is made by joining those labels. A label names its folder exactly
// only when the ANSI code page holds its name exactly (best fit turns
// "\x0101" into "a" and a fullwidth reverse solidus into "\"), when no other
// folder of the same parent lists under the same label, and when Win32 path
// handling leaves the name as it is (it drops trailing dots and spaces,
// takes CON or NUL.txt for a device, and gives \ / : * ? " < > | a meaning).
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include "Refusal.h"

#include <string>
#include <vector>

// Nothing refused when strName can be created or renamed to as one folder
// inside its parent; otherwise why not.
CRefusal CheckFolderName(const CString& strName);

// NameProblem and NameProblemText, what a listed name may do in a Win32
// path, are in Refusal.h: a refusal names them.

// Whether a search that could not start (dwError from GetLastError) failed:
// one that matches no entry did not, it lists nothing (an empty drive root
// has not even the entries "." and "..").
inline BOOL IsSearchFailure(DWORD dwError)
{
    return dwError != ERROR_FILE_NOT_FOUND;
}

// A search of FindFirstFileW, closed however the scope that owns it is
// left. Start makes the first entry current; Next the next one.
class CWideFind {
public:
    CWideFind() = default;
    ~CWideFind() { Close(); }

    // FindFirstFileW: FALSE, with the reason in GetLastError, when it finds nothing.
    BOOL Start(const std::wstring& strPattern)
    {
        Close();
        m_hFind = ::FindFirstFileW(strPattern.c_str(), &m_data);
        return m_hFind != INVALID_HANDLE_VALUE;
    }
    // FindNextFileW
    BOOL Next() { return ::FindNextFileW(m_hFind, &m_data); }
    // FindClose
    void Close()
    {
        if (m_hFind != INVALID_HANDLE_VALUE)
            ::FindClose(m_hFind);
        m_hFind = INVALID_HANDLE_VALUE;
    }
    const WIN32_FIND_DATAW& Data() const { return m_data; }

private:
    // One owner closes the handle.
    CWideFind(const CWideFind&) = delete;
    CWideFind& operator=(const CWideFind&) = delete;

    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW m_data;
};

// One entry of a folder, listed with the wide functions.
struct CListedName {
    std::wstring strWide;  // the name as the file system holds it
    CString strAnsi;       // the name as the ANSI functions give it
    DWORD dwAttributes;
    bool bLink;            // a link (see IsLink); never listed through
    NameProblem nProblem;  // as far as the listing alone tells
    bool bCaseTwin;        // another entry differs from it only in letter case

    bool IsDirectory() const { return (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

// Lists strFolder (a folder path; a drive root with or without its
// backslash) in the file system's order, without "." and "..", and tells
// for each entry what the listing alone tells about its name.
// ERROR_SUCCESS, or the system's reason why the folder cannot be listed.
// A listing that breaks off keeps the entries found before, each marked as
// a case twin: a twin of any of them may be among those not listed.
DWORD ListFolderWide(const CString& strFolder, std::vector<CListedName>& names);

// Completes the listing's verdict on an entry of strFolder: an entry with
// a twin in letter case is looked up by its name as a Win32 path does, and
// must be found as itself. Lookups cost as much as a listing, so the scan
// asks only when the listing leaves a doubt; the commands always ask.
// *pdwError is the system's reason when the answer is NAME_MISSING (the
// lookup failed).
NameProblem ResolveName(const CString& strFolder, const CListedName& name, bool bAlways, DWORD* pdwError = NULL);

// A link: a reparse point that stands for another name (symbolic link,
// junction, mount point: the name-surrogate bit of its tag). Other reparse
// points, such as cloud placeholders or deduplicated files, are ordinary
// entries. dwReparseTag is WIN32_FIND_DATAW.dwReserved0. Wine reports Unix
// symbolic links to folders as reparse points without a tag; a reparse
// point without a tag is taken for a link.
bool IsLink(DWORD dwAttributes, DWORD dwReparseTag);

// Whether the entry at strPath itself (not followed) is a link.
bool IsLinkAt(const CString& strPath);

// Whether RemoveDirectoryA removes a directory link (junction or symbolic
// link) alone, and DeleteFileA a file link. Windows does; Wine follows a
// link to an empty folder and removes the folder it points to, and deletes
// the file a file link points to.
bool CanRemoveLinkAlone();

// Under Wine a Unix symbolic link to a file lists as a plain file, and
// deleting it deletes the file it points to. Finds such links among the
// files of one folder by where each really leads; finds none where links
// carry their tag (Windows).
class CHiddenFileLinks {
public:
    explicit CHiddenFileLinks(const CString& strFolder);
    bool IsLink(const CListedName& name) const;

private:
    CString m_strFolder;
    std::wstring m_strFinal;  // where the folder itself leads; empty: nothing to find
};

// strFolder and strName joined by one backslash (a drive root keeps one).
CString JoinPath(const CString& strFolder, const CString& strName);

// The wide form of an ANSI text, as the ANSI file functions convert it
// (in the OEM code page once a host has called SetFileApisToOEM).
std::wstring Widen(const char* psz);

// A folder node keeps in its item data what the listing of its parent's
// folder said about its label, until the parent is listed again (its
// children are then made anew) or the label changes (SetFolderLabel):
// LabelVerdict of the name's problem; 0 when nothing is kept.
inline LPARAM LabelVerdict(NameProblem nProblem)
{
    return (LPARAM)nProblem + 1;
}

// Checks the labels from the top node down to hNode: each must be the ANSI
// name of exactly one folder in its parent's folder, and that folder's name
// must be exact. What a node keeps (LabelVerdict) answers the first part;
// a node that keeps nothing has its parent's folder listed once, and every
// child of that parent keeps what the listing said. An exact label is then
// looked up by itself, and must be found as that very folder. Nothing
// refused when every label names its folder exactly; otherwise
// LABEL_AMBIGUOUS with pszRefused (VarnetText::NOT_CHANGED ...), or the
// system's error when a folder is not there, or NO_SELECTION without a node.
CRefusal CheckNodeNames(CTreeCtrl* pTree, HTREEITEM hNode, const char* pszRefused);
