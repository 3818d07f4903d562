// CRefusal: why a command does not do what was asked, or stops halfway:
// its reason, the paths it is about and the system's error code. Text()
// turns it into the sentence the error box shows, in one place, from the
// texts of UserTexts.h; a system error reads as CErrorMessage::DisplayText.
#pragma once

#include <afxwin.h>

// Why a listed name may not name its entry exactly in a Win32 path.
enum NameProblem {
    NAME_EXACT,
    NAME_CONVERTED,   // the ANSI code page cannot hold it, or another folder lists under the same name
    NAME_TRAILING,    // it ends in a dot or a space, which Win32 paths drop
    NAME_DEVICE,      // CON, NUL.txt ...: Win32 paths name a device
    NAME_SPECIAL,     // it holds \ / : * ? " < > | or a control character
    NAME_REDIRECTED,  // a Win32 path with it leads to another entry
    NAME_MISSING,     // no folder of the parent lists under it
};

// Why not, in a user's words (for the problems from NAME_CONVERTED to
// NAME_REDIRECTED).
CString NameProblemText(NameProblem nProblem);

class AFX_EXT_CLASS CRefusal {
public:
    enum Reason {
        NONE,                  // nothing refused
        SYSTEM_ERROR,          // the system's text for m_dwError alone
        NO_SELECTION,          // no folder selected
        DRIVE_NOT_DELETED,     // a drive's top node cannot be deleted
        DRIVE_NOT_RENAMED,     // nor renamed
        DELETION_ABORTED,      // Abort Deletion, or the dialog ended meanwhile
        CREATE_FAILED,         // CreateDirectoryA failed with m_dwError
        RENAME_FAILED,         // the rename failed with m_dwError
        // A typed name m_strPath that cannot become one folder
        NAME_DOTS,             // "." or ".."
        NAME_SPECIAL,          // \ / : * ? " < > | or a control character
        NAME_TRAILING,         // ends with a dot or a space
        NAME_DEVICE,           // CON, NUL.txt ...
        NAME_TOO_LONG,         // longer than the file system takes
        PATH_TOO_LONG,         // its folder's path would be too long to list
        NAME_UNREPRESENTABLE,  // the typed characters are not all in the ANSI code page
        // A label on the way to m_strPath may name another folder
        // (m_nProblem); m_pszAction says what was not done
        LABEL_AMBIGUOUS,
        // Found by the check before a deletion of m_strPath, about m_strInner
        HOLDS_UNREPRESENTABLE, // a name there is not exact in the ANSI code page
        HOLDS_AMBIGUOUS,       // m_strInner may name another entry (m_nProblem)
        HOLDS_LONG_PATH,       // m_strInner's path is too long
        HOLDS_LINK,            // m_strInner is a link that cannot go alone
        HOLDS_UNLISTABLE,      // m_strInner cannot be listed (m_dwError)
        HOLDS_UNOPENABLE,      // m_strInner cannot be opened for deletion (m_dwError)
        HOLDS_REPLACED,        // m_strInner changed while it was checked
        HOLDS_SPECIAL,         // m_strInner is a pipe, socket or device, which cannot be deleted
        HOLDS_IN_USE,          // m_strInner is mapped into memory by a program (m_dwError)
        IS_LINK,               // m_strPath is a link that cannot go alone
        // What stops a deletion of m_strPath halfway
        HELD_FOLDER_CHANGED,   // renamed, removed or replaced while a question waited
        REPLACED_AFTER_CHECK,  // not the entry that was checked
        NEW_ENTRY,             // m_strInner came into it after the check
        STILL_THERE,           // everything in it went, it did not
    };

    CRefusal() {}
    explicit CRefusal(Reason nReason, const CString& strPath = CString(), const CString& strInner = CString())
        : m_nReason(nReason), m_strPath(strPath), m_strInner(strInner)
    {
    }
    // The system's text for dwError.
    static CRefusal System(DWORD dwError) { return WithError(SYSTEM_ERROR, dwError); }
    // A reason that the system's error dwError explains.
    static CRefusal WithError(Reason nReason, DWORD dwError, const CString& strPath = CString(),
                              const CString& strInner = CString())
    {
        CRefusal refusal(nReason, strPath, strInner);
        refusal.m_dwError = dwError;
        return refusal;
    }
    // A label of strPath that may name another folder, or an entry
    // strInner of strPath that may name another (nProblem: a NameProblem).
    static CRefusal Ambiguous(Reason nReason, const CString& strPath, const CString& strInner, int nProblem,
                              const char* pszAction = NULL)
    {
        CRefusal refusal(nReason, strPath, strInner);
        refusal.m_nProblem = nProblem;
        refusal.m_pszAction = pszAction;
        return refusal;
    }

    // Whether something was refused.
    explicit operator bool() const { return m_nReason != NONE; }
    // The sentence the user reads.
    CString Text() const;

    Reason m_nReason = NONE;
    CString m_strPath;         // what the command was about
    CString m_strInner;        // the entry in it that stopped the command
    DWORD m_dwError = 0;       // the system's error, where it has one
    int m_nProblem = 0;        // a NameProblem, for the ambiguous ones
    const char* m_pszAction = NULL;  // LABEL_AMBIGUOUS: what was not done
};
