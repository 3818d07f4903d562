// The texts the dialog shows the user, in one place: the commands and the
// refusals (CRefusal::Text) take them from here, and the tests compare with
// them. Literals are written in UTF-8 and stored in the ANSI code page.
#pragma once

#include "Refusal.h"

namespace VarnetText {

// Commands
const char SELECT_FOLDER[] = "Please Select a Folder";
const char DRIVE_NOT_DELETED[] = "A Drive cannot be Deleted: please select a folder on it";
const char DRIVE_NOT_RENAMED[] = "A Drive cannot be Renamed";
const char CONFIRM_DELETE[] = "Do you really want to Remove the folder with its contents?";
const char READ_ONLY_FILE[] = "File is Read-Only !";
// Asked before the read-only attribute of a file with other names is
// cleared (%s: the file's path); the system cannot delete it otherwise.
const char CLEAR_SHARED_READ_ONLY[] =
    "%s is read-only and has other names, which may lie outside the folder. Its read-only attribute belongs "
    "to all its names: to delete this one, it must be cleared for all of them.\n\nClear it and delete the file?";
const char DELETION_ABORTED[] = "No or partial deletion";
const char REQUEST_NOT_CREATED[] = "Fatal Error dialog box could not be created!";
const char DEFAULT_FOLDER_NAME[] = "NewFolder";
const char SCAN_PROGRESS[] = "Search Recursive all Folders";
const char SCAN_WAIT_QUESTION[] = "\nYES = Waiting until the search finished?\n\nNo = Abort search process\n";

// Start-up and the drive list
const char NO_DRIVES[] = "Can't get drives. Start Program again";
const char NO_DRIVE_SELECTED[] = "No Select! Start Program New!!";
const char DEFAULT_DRIVE[] = "(C:) Disk";
const char LIST_FULL[] = "Probable to many Dirs\n";

// What a handler threw, when it carries no text of its own
const char UNKNOWN_ERROR[] = "An unknown error occurred.";
const char OUT_OF_MEMORY[] = "Out of memory.";

// Tooltips
const char TIP_DELETE[] = "Delete Folder with Contents. (Key Del)";
const char TIP_MAKE[] = "Create Folder. (Key Ins)";
const char TIP_EXPAND[] = "Expand Folder (NumPad *)";
const char TIP_OK[] = "Get Path";
const char TIP_PATH[] = "Currently Selected Path";
const char TIP_ERROR[] = "Displays any Errors";

// The names screen readers read for the controls: the labels beside them
// in the template, and for the two command icons their tooltips
const char NAME_PATH[] = "Selected Folder";
const char NAME_DRIVES[] = "Select Drive";
const char NAME_TREE[] = "Single click expand";
const char NAME_ERROR[] = "Error Message";

// What a refusal of a label says was not done (CRefusal::LABEL_AMBIGUOUS)
const char NOT_CHANGED[] = "Not Changed";
const char NOT_CHOSEN[] = "Not Chosen";
const char NOT_EXPANDED[] = "Not Expanded";
const char NOT_LISTED[] = "Not Listed";

// The refusals (CRefusal::Text) by their reason, where %1 stands for the
// path refused, %2 for the entry in it, %e for the system's text, %n for
// why a name may name another entry and %a for what was not done.
struct RefusalText {
    CRefusal::Reason nReason;
    const char* pszText;
};
const RefusalText REFUSAL_TEXTS[] = {
    { CRefusal::SYSTEM_ERROR, "%e" },
    { CRefusal::NO_SELECTION, SELECT_FOLDER },
    { CRefusal::DRIVE_NOT_DELETED, DRIVE_NOT_DELETED },
    { CRefusal::DRIVE_NOT_RENAMED, DRIVE_NOT_RENAMED },
    { CRefusal::DELETION_ABORTED, DELETION_ABORTED },
    { CRefusal::CREATE_FAILED, "Cannot Create Directory %e" },
    { CRefusal::RENAME_FAILED, "Cannot Rename Directory %e" },
    { CRefusal::NAME_DOTS, "Invalid Folder Name \"%1\": \".\" and \"..\" are not names of a folder" },
    { CRefusal::NAME_SPECIAL, "Invalid Folder Name \"%1\": a name cannot contain control characters or any of \\ / : * ? \" < > |" },
    { CRefusal::NAME_TRAILING, "Invalid Folder Name \"%1\": a name cannot end with a dot or a space" },
    { CRefusal::NAME_DEVICE, "Invalid Folder Name \"%1\": the name is reserved for a device" },
    { CRefusal::NAME_TOO_LONG, "Invalid Folder Name \"%1\": the name is longer than the 255 bytes that the file system takes" },
    { CRefusal::PATH_TOO_LONG, "Invalid Folder Name \"%1\": the folder's path would be longer than the 255 characters that the ANSI file functions can list" },
    { CRefusal::NAME_UNREPRESENTABLE, "Invalid Folder Name: the name typed holds characters that the ANSI code page cannot represent" },
    { CRefusal::LABEL_AMBIGUOUS, "%a: %1 may name another folder (%n)" },
    { CRefusal::HOLDS_UNREPRESENTABLE, "Not Deleted: %1 holds a name that cannot be represented exactly in the ANSI code page" },
    { CRefusal::HOLDS_AMBIGUOUS, "Not Deleted: %1 holds %2, which may name another entry (%n)" },
    { CRefusal::HOLDS_LONG_PATH, "Not Deleted: %1 holds %2, whose path is too long for the ANSI file functions" },
    { CRefusal::HOLDS_LINK, "Not Deleted: %1 holds the link %2, which cannot be removed here without what it points to" },
    { CRefusal::HOLDS_UNLISTABLE, "Not Deleted: %1 holds %2, which cannot be listed: %e" },
    { CRefusal::HOLDS_UNOPENABLE, "Not Deleted: %1 holds %2, which cannot be opened for deletion: %e" },
    { CRefusal::HOLDS_REPLACED, "Not Deleted: %1 holds %2, which was replaced while it was checked" },
    { CRefusal::HOLDS_SPECIAL, "Not Deleted: %1 holds %2, which is a pipe, socket or device and cannot be deleted here" },
    { CRefusal::HOLDS_IN_USE, "Not Deleted: %1 holds %2, which a program uses and which cannot be deleted now: %e" },
    { CRefusal::IS_LINK, "Not Deleted: %1 is a link, which cannot be removed here without what it points to" },
    { CRefusal::HELD_FOLDER_CHANGED, "Deletion Stopped: %1 was renamed, removed or replaced while the question waited; nothing more was deleted" },
    { CRefusal::REPLACED_AFTER_CHECK, "Deletion Stopped: %1 was replaced after it was checked; nothing more was deleted" },
    { CRefusal::NEW_ENTRY, "Deletion Stopped: %1 holds %2, which was not there when it was checked; nothing more was deleted" },
    { CRefusal::STILL_THERE, "Partly Deleted: %1 is still there, although everything in it was deleted" },
};

// Why a listed name may not name its entry exactly (NameProblemText)
const char PROBLEM_CONVERTED[] = "a name there cannot be represented exactly in the ANSI code page";
const char PROBLEM_TRAILING[] = "Windows paths drop the dots and spaces that end a name";
const char PROBLEM_DEVICE[] = "Windows paths take the name for a device";
const char PROBLEM_SPECIAL[] = "the name holds a character that Windows paths give a meaning to";
const char PROBLEM_REDIRECTED[] = "a Windows path with that name leads to another entry";

}  // namespace VarnetText
