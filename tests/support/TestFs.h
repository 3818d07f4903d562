// Real folders for tests, on the test drives of the private prefix.
#pragma once

#include <afxwin.h>

#include <vector>

// Why a test program must not run here, or "" when it may: it runs only in
// the private test prefix of the build at strBuildDir (build/wine-test
// sets VARNET_BUILD_DIR to it), whose drive D: is the build's test drive.
CString TestPrefixRefusal(const char* pszBuildDir);
// Ends the program with a message, before it creates or deletes anything,
// unless it runs in its build's test prefix. Every helper below that
// changes the disk asks first.
void RequireTestPrefix();
// Removes what interrupted earlier runs of this program left on drive D:
// the folders D:\<program>-<process id> of processes that have ended.
void RemoveStaleTestFolders();

// A folder of one test's own: D:\<program>-<process id>\<name>, made empty
// at construction and removed with everything in it at destruction.
class TestFolder {
public:
    explicit TestFolder(const char* pszName, const char* pszDrive = "D:");
    ~TestFolder();

    // The folder's path, or the path of pszRelative inside it.
    CString Path(const char* pszRelative = NULL) const;
    // Makes pszRelative and its missing parents as folders.
    void MakeDirs(const char* pszRelative) const;
    // Writes a file (its folder must exist).
    void MakeFile(const char* pszRelative, const char* pszContent = "x") const;

private:
    CString m_strPath;
};

// Makes a folder and its missing parents.
bool MakeDirsAt(const CString& strPath);
// Removes a folder with everything in it, clearing read-only attributes;
// links are removed alone, never followed.
void RemoveTree(const CString& strPath);
// Makes strLink a symbolic link to the folder strTarget (which must exist),
// as a Unix symbolic link that the system lists as a directory link.
bool MakeLink(const CString& strLink, const CString& strTarget);
// The Unix path of a Windows path, from Wine; empty when it has none.
CString UnixPath(const CString& strPath);
bool IsFolder(const CString& strPath);
bool Exists(const CString& strPath);

// Runs a bash command line natively (outside Wine) and waits for it; its
// exit code, or -1 when it could not be started or did not end in a minute.
int RunNative(const CString& strCommand);
// The lines a native command line prints (none when it fails).
std::vector<CString> NativeLines(const CString& strCommand);
// pszText (bytes, UTF-8 for a Unix name) as one bash word, every byte
// escaped: names that Win32 calls cannot make (a trailing dot, a device
// name) or that the ANSI code page cannot hold pass through a command line.
CString BashWord(const char* pszText);
