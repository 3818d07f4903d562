// Shared pieces of the folder dialog's tests.
#pragma once

#include <DialogDriver.h>
#include <FolderTreeDlg.h>
#include <Refusal.h>
#include <TestFs.h>
#include <gtest/gtest.h>
#include <UserTexts.h>
#include <resource.h>

// The application object every host has.
CWinApp& TestApp();

// Opens the folder dialog on strInitialPath, runs script, and returns
// what DoModal returned; the dialog's result path goes to *pstrSelected.
INT_PTR RunFolderDialog(const char* pszInitialPath, const std::function<void(Driver&)>& script,
                        CString* pstrSelected = NULL);

// A host's main window on the calling thread (the user-interface thread),
// made the application's main window while it lives.
class HostMainWindow : public CWnd {
public:
    HostMainWindow();
    ~HostMainWindow() override;
};

// Waits for the box that says a folder list ran out of memory, and checks
// its text; NULL, and a failure, when none comes.
HWND WaitForListFullBox(Driver& d);

// The caption of the progress-and-kill dialog.
extern const char* const PROGRESS_CAPTION;
// Waits until the progress dialog has closed by itself and the command has
// finished; false, and a failure, when it is still open after nTimeoutMs.
bool WaitForCommandEnd(Driver& d, DWORD nTimeoutMs = 30000);
// Clicks "Expand Recursive" and waits until the command has finished.
void ExpandRecursive(Driver& d);

// The node of a folder path such as D:\a\b, walking the labels from the
// top node; NULL when a label is missing.
HTREEITEM NodeOf(Driver& d, const CString& strPath);

// Every entry of drive D: by its Unix name and type, with the folders of
// other test programs left out (they change meanwhile): what a refused
// command must leave as it was.
std::vector<CString> DriveSnapshot();
// Makes folders and empty files natively below strFolder; entries are
// UTF-8 paths, a folder's ending in "/". Names that Win32 calls cannot
// make (a trailing dot, a device name) or that the ANSI code page cannot
// hold are made so.
void MakeNative(const CString& strFolder, const std::vector<CString>& entries);
// Removes the entry pszName (UTF-8) of strFolder natively, with its contents.
void RemoveNative(const CString& strFolder, const char* pszName);

// gtest printing of CString
inline std::ostream& operator<<(std::ostream& os, const CString& str) { return os << (const char*)str; }
