// The texts the dialog shows the user, in one place: the commands and the
// refusals (CRefusal::Text) take them from here, and the tests compare with
// them. Literals are written in UTF-8 and stored in the ANSI code page.
#pragma once

namespace VarnetText {

// Commands
const char SELECT_FOLDER[] = "Please Select a Folder";
const char DRIVE_NOT_DELETED[] = "A Drive cannot be Deleted: please select a folder on it";
const char DRIVE_NOT_RENAMED[] = "A Drive cannot be Renamed";
const char CONFIRM_DELETE[] = "Do you really want to Remove the folder with its contents?";
const char READ_ONLY_FILE[] = "File is Read-Only !";
const char DELETION_ABORTED[] = "No or partial deletion";
const char REQUEST_NOT_CREATED[] = "Fatal Error dialog box could not be created!";
const char CANNOT_CREATE[] = "Cannot Create Directory";
const char CANNOT_RENAME[] = "Cannot Rename Directory";
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

// What a refusal of a label says was not done (CRefusal::LABEL_AMBIGUOUS)
const char NOT_CHANGED[] = "Not Changed";
const char NOT_CHOSEN[] = "Not Chosen";
const char NOT_EXPANDED[] = "Not Expanded";
const char NOT_LISTED[] = "Not Listed";

// Why a listed name may not name its entry exactly (NameProblemText)
const char PROBLEM_CONVERTED[] = "a name there cannot be represented exactly in the ANSI code page";
const char PROBLEM_TRAILING[] = "Windows paths drop the dots and spaces that end a name";
const char PROBLEM_DEVICE[] = "Windows paths take the name for a device";
const char PROBLEM_SPECIAL[] = "the name holds a character that Windows paths give a meaning to";
const char PROBLEM_REDIRECTED[] = "a Windows path with that name leads to another entry";

}  // namespace VarnetText
