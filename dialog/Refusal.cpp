// The sentences of the refusals.
#include "Refusal.h"

#include "ErrorMessage.h"
#include "FolderNames.h"
#include "UserTexts.h"

CString CRefusal::Text() const
{
    const CString strInvalid = "Invalid Folder Name \"" + m_strPath + "\": ";
    const CString strHolds = "Not Deleted: " + m_strPath + " holds " + m_strInner;
    const CString strStopped = "Deletion Stopped: " + m_strPath;
    const CString strProblem = " (" + NameProblemText((NameProblem)m_nProblem) + ")";
    switch (m_nReason) {
    case NONE: return CString();
    case SYSTEM_ERROR: return CErrorMessage::DisplayText(m_dwError);
    case NO_SELECTION: return VarnetText::SELECT_FOLDER;
    case DRIVE_NOT_DELETED: return VarnetText::DRIVE_NOT_DELETED;
    case DRIVE_NOT_RENAMED: return VarnetText::DRIVE_NOT_RENAMED;
    case DELETION_ABORTED: return VarnetText::DELETION_ABORTED;
    case CREATE_FAILED: return CString(VarnetText::CANNOT_CREATE) + " " + CErrorMessage::DisplayText(m_dwError);
    case RENAME_FAILED: return CString(VarnetText::CANNOT_RENAME) + " " + CErrorMessage::DisplayText(m_dwError);
    case NAME_DOTS: return strInvalid + "\".\" and \"..\" are not names of a folder";
    case NAME_SPECIAL: return strInvalid + "a name cannot contain control characters or any of \\ / : * ? \" < > |";
    case NAME_TRAILING: return strInvalid + "a name cannot end with a dot or a space";
    case NAME_DEVICE: return strInvalid + "the name is reserved for a device";
    case NAME_TOO_LONG: return strInvalid + "the name is longer than the 255 bytes that the file system takes";
    case PATH_TOO_LONG:
        return strInvalid + "the folder's path would be longer than the 255 characters that the ANSI file functions can list";
    case NAME_UNREPRESENTABLE:
        return "Invalid Folder Name: the name typed holds characters that the ANSI code page cannot represent";
    case LABEL_AMBIGUOUS: return CString(m_pszAction) + ": " + m_strPath + " may name another folder" + strProblem;
    case HOLDS_UNREPRESENTABLE:
        return "Not Deleted: " + m_strPath + " holds a name that cannot be represented exactly in the ANSI code page";
    case HOLDS_AMBIGUOUS: return strHolds + ", which may name another entry" + strProblem;
    case HOLDS_LONG_PATH: return strHolds + ", whose path is too long for the ANSI file functions";
    case HOLDS_LINK:
        return "Not Deleted: " + m_strPath + " holds the link " + m_strInner +
               ", which cannot be removed here without what it points to";
    case HOLDS_UNLISTABLE: return strHolds + ", which cannot be listed: " + CErrorMessage::DisplayText(m_dwError);
    case HOLDS_UNOPENABLE: return strHolds + ", which cannot be opened for deletion: " + CErrorMessage::DisplayText(m_dwError);
    case HOLDS_REPLACED: return strHolds + ", which was replaced while it was checked";
    case IS_LINK: return "Not Deleted: " + m_strPath + " is a link, which cannot be removed here without what it points to";
    case HELD_FOLDER_CHANGED:
        return strStopped + " was renamed, removed or replaced while the question waited; nothing more was deleted";
    case REPLACED_AFTER_CHECK: return strStopped + " was replaced after it was checked; nothing more was deleted";
    case NEW_ENTRY:
        return strStopped + " holds " + m_strInner + ", which was not there when it was checked; nothing more was deleted";
    case STILL_THERE:
        return "Partly Deleted: " + m_strPath + " is still there, although everything in it was deleted";
    }
    return CString();
}
