// Test folders.
#include "TestFs.h"

#include <functional>
#include <stdio.h>
#include <stdlib.h>
#include <string>

static CString ProgramName()
{
    char szPath[MAX_PATH] = "";
    GetModuleFileNameA(NULL, szPath, sizeof szPath);
    CString strName(szPath);
    strName = strName.Mid(strName.ReverseFind('\\') + 1);
    int nDot = strName.ReverseFind('.');
    return nDot > 0 ? strName.Left(nDot) : strName;
}

// What wine-prefix.sh writes on the test drive: the build's folder.
static const char s_szDriveMark[] = "D:\\.varnet-test-drive";

CString TestPrefixRefusal(const char* pszBuildDir)
{
    if (!pszBuildDir || !*pszBuildDir)
        return "VARNET_BUILD_DIR is not set";
    CString strBuild(pszBuildDir);
    // The test prefix, or its copy at the display scale VARNET_DPI names.
    const char* pszDpi = getenv("VARNET_DPI");
    CString strPrefix = pszDpi && *pszDpi && strcmp(pszDpi, "96") != 0 ? CString("test-dpi") + pszDpi : CString("test");
    CString strExpected = strBuild + "/wine/" + strPrefix + "/dosdevices/d:/";
    CString strDrive = UnixPath("D:\\");
    if (strDrive != strExpected)
        return "drive D: is " + (strDrive.IsEmpty() ? CString("missing") : strDrive) + ", not " + strExpected;
    char szMark[MAX_PATH + 2] = "";
    HANDLE hFile = CreateFileA(s_szDriveMark, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD dwRead = 0;
    if (hFile != INVALID_HANDLE_VALUE) {
        ReadFile(hFile, szMark, MAX_PATH, &dwRead, NULL);
        CloseHandle(hFile);
    }
    CString strMark(szMark, (int)dwRead);
    strMark.TrimRight();
    if (strMark != strBuild)
        return CString("drive D: is not the test drive of ") + strBuild + " (" + s_szDriveMark + " does not name it)";
    return CString();
}

void RequireTestPrefix()
{
    static bool s_bChecked = false;
    if (s_bChecked)
        return;
    CString strRefusal = TestPrefixRefusal(getenv("VARNET_BUILD_DIR"));
    if (!strRefusal.IsEmpty()) {
        fprintf(stderr,
                "\nREFUSED: %s runs only in its build's private Wine prefix, where it creates and deletes folders "
                "on the build's test drive D: (run it with ctest in the build tree, or with <tree>/varnet-wine): "
                "%s. Nothing was created or deleted.\n",
                (const char*)ProgramName(), (const char*)strRefusal);
        fflush(stderr);
        ExitProcess(2);
    }
    s_bChecked = true;
}

static bool IsProcessRunning(DWORD nProcessId)
{
    HANDLE hProcess = OpenProcess(SYNCHRONIZE, FALSE, nProcessId);
    if (!hProcess)
        return GetLastError() == ERROR_ACCESS_DENIED;
    bool bRunning = WaitForSingleObject(hProcess, 0) == WAIT_TIMEOUT;
    CloseHandle(hProcess);
    return bRunning;
}

void RemoveStaleTestFolders()
{
    RequireTestPrefix();
    CString strPrefix = ProgramName() + "-";
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA("D:\\" + strPrefix + "*", &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        CString strId = CString(fd.cFileName).Mid(strPrefix.GetLength());
        char* pEnd = NULL;
        DWORD nProcessId = strtoul(strId, &pEnd, 10);
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || strId.IsEmpty() || *pEnd)
            continue;
        if (nProcessId != GetCurrentProcessId() && !IsProcessRunning(nProcessId))
            RemoveTree(CString("D:\\") + fd.cFileName);
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
}

TestFolder::TestFolder(const char* pszName, const char* pszDrive)
{
    RequireTestPrefix();
    m_strPath.Format("%s\\%s-%lu\\%s", pszDrive, (const char*)ProgramName(), GetCurrentProcessId(), pszName);
    RemoveTree(m_strPath);
    MakeDirsAt(m_strPath);
}

TestFolder::~TestFolder()
{
    RemoveTree(m_strPath);
    // Names that Win32 paths do not take as they are go natively.
    if (Exists(m_strPath))
        RunNative("rm -rf '" + UnixPath(m_strPath) + "'");
    // The program's folder goes when its last test folder has gone.
    RemoveDirectoryA(m_strPath.Left(m_strPath.ReverseFind('\\')));
}

CString TestFolder::Path(const char* pszRelative) const
{
    if (!pszRelative || !*pszRelative)
        return m_strPath;
    return m_strPath + "\\" + pszRelative;
}

void TestFolder::MakeDirs(const char* pszRelative) const
{
    MakeDirsAt(Path(pszRelative));
}

void TestFolder::MakeFile(const char* pszRelative, const char* pszContent) const
{
    HANDLE hFile = CreateFileA(Path(pszRelative), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    DWORD dwWritten = 0;
    WriteFile(hFile, pszContent, lstrlenA(pszContent), &dwWritten, NULL);
    CloseHandle(hFile);
}

bool MakeDirsAt(const CString& strPath)
{
    RequireTestPrefix();
    for (int i = 3; i <= strPath.GetLength(); i++)
        if (i == strPath.GetLength() || strPath[i] == '\\')
            CreateDirectoryA(strPath.Left(i), NULL);
    return IsFolder(strPath);
}

CString UnixPath(const CString& strPath)
{
    typedef char*(CDECL * UnixFileName)(const WCHAR*);
    UnixFileName pfn = (UnixFileName)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    WCHAR szWide[MAX_PATH];
    if (!pfn || !MultiByteToWideChar(CP_ACP, 0, strPath, -1, szWide, MAX_PATH))
        return CString();
    char* pszUnix = pfn(szWide);
    CString strUnix = pszUnix ? pszUnix : "";
    HeapFree(GetProcessHeap(), 0, pszUnix);
    return strUnix;
}

// Runs one of the machine's programs that the prefix offers (C:\varnet),
// then waits until done() says that it has done its work: a Unix process
// cannot be waited for from here.
static bool RunUnixTool(const CString& strCommand, const std::function<bool()>& done)
{
    CString strLine = "C:\\varnet\\" + strCommand;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, strLine.GetBuffer(0), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (int i = 0; i < 500; i++) {
        if (done())
            return true;
        Sleep(10);
    }
    return false;
}

bool MakeLink(const CString& strLink, const CString& strTarget)
{
    CString strUnixLink = UnixPath(strLink), strUnixTarget = UnixPath(strTarget);
    if (strUnixLink.IsEmpty() || strUnixTarget.IsEmpty())
        return false;
    return RunUnixTool("ln -sfn \"" + strUnixTarget + "\" \"" + strUnixLink + "\"",
                       [&] { return GetFileAttributesA(strLink) != INVALID_FILE_ATTRIBUTES; }) &&
           (GetFileAttributesA(strLink) & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Removes a link alone (rm without -r never follows it).
static void RemoveLink(const std::wstring& strLink)
{
    char szLink[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, strLink.c_str(), -1, szLink, MAX_PATH, NULL, NULL);
    CString strUnixLink = UnixPath(szLink);
    if (!strUnixLink.IsEmpty())
        RunUnixTool("rm -f \"" + strUnixLink + "\"", [&] { return GetFileAttributesW(strLink.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

// Wide names throughout, so that a name the ANSI code page cannot hold is
// removed as itself and not as another entry of the same converted name.
// bLinksOnly: only the links in the tree go (a first pass: a link whose
// target went first would no longer be listed, and its folder would stay).
static void RemoveTreeW(const std::wstring& strPath, bool bLinksOnly)
{
    DWORD dwAttributes = GetFileAttributesW(strPath.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return;
    // A link goes alone: under Wine removing a link to an empty folder
    // removes the folder instead.
    if (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveLink(strPath);
        return;
    }
    if (!bLinksOnly)
        SetFileAttributesW(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (!bLinksOnly)
            DeleteFileW(strPath.c_str());
        return;
    }
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW((strPath + L"\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L".."))
                RemoveTreeW(strPath + L"\\" + fd.cFileName, bLinksOnly);
        } while (FindNextFileW(hFind, &fd));
        FindClose(hFind);
    }
    if (!bLinksOnly)
        RemoveDirectoryW(strPath.c_str());
}

void RemoveTree(const CString& strPath)
{
    RequireTestPrefix();
    WCHAR szWide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, strPath, -1, szWide, MAX_PATH))
        return;
    RemoveTreeW(szWide, true);
    RemoveTreeW(szWide, false);
    // What the system's calls cannot see (a link whose target has gone, left
    // by an earlier run) goes natively; rm never follows a link. Never a
    // drive's root, nor a path that climbs.
    CString strUnix = UnixPath(strPath);
    if (Exists(strPath) && !strUnix.IsEmpty() && strPath.GetLength() > 3 && strPath.Find("..") == -1)
        RunUnixTool("rm -rf \"" + strUnix + "\"", [&] { return !Exists(strPath); });
}

bool IsFolder(const CString& strPath)
{
    DWORD dwAttributes = GetFileAttributesA(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const CString& strPath)
{
    return GetFileAttributesA(strPath) != INVALID_FILE_ATTRIBUTES;
}

int RunNative(const CString& strCommand)
{
    // Wine starts a Linux program named by a \\?\unix\ path, but its
    // process handle does not wait for it: the command leaves its exit code
    // in a file of its own, which is waited for instead.
    static int s_nRun = 0;
    char szTemp[MAX_PATH] = "";
    GetTempPathA(sizeof szTemp, szTemp);
    CString strDone;
    strDone.Format("%svarnet-native-%lu-%d", szTemp, GetCurrentProcessId(), ++s_nRun);
    // A run of an earlier process of the same id (Wine reuses them) that
    // was ended may have left its file: it would be taken for this one's.
    DeleteFileA(strDone);
    CString strUnixDone = UnixPath(strDone);
    CString strLine = "\\\\?\\unix\\bin\\bash -c \"(" + strCommand + "); echo $? >'" + strUnixDone +
                      ".tmp'; mv '" + strUnixDone + ".tmp' '" + strUnixDone + "'\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (strUnixDone.IsEmpty() || !CreateProcessA(NULL, strLine.GetBuffer(0), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (DWORD dwStart = GetTickCount(); GetFileAttributesA(strDone) == INVALID_FILE_ATTRIBUTES;) {
        if (GetTickCount() - dwStart > 60000)
            return -1;
        Sleep(10);
    }
    char szCode[16] = "";
    HANDLE hFile = CreateFileA(strDone, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD dwRead = 0;
    ReadFile(hFile, szCode, sizeof szCode - 1, &dwRead, NULL);
    CloseHandle(hFile);
    DeleteFileA(strDone);
    return atoi(szCode);
}

std::vector<CString> NativeLines(const CString& strCommand)
{
    char szTemp[MAX_PATH] = "";
    GetTempPathA(sizeof szTemp, szTemp);
    CString strOut;
    strOut.Format("%svarnet-lines-%lu", szTemp, GetCurrentProcessId());
    std::vector<CString> lines;
    if (RunNative("(" + strCommand + ") >'" + UnixPath(strOut) + "'") != 0)
        return lines;
    HANDLE hFile = CreateFileA(strOut, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    std::string strText;
    char szBuffer[4096];
    DWORD dwRead = 0;
    while (hFile != INVALID_HANDLE_VALUE && ReadFile(hFile, szBuffer, sizeof szBuffer, &dwRead, NULL) && dwRead)
        strText.append(szBuffer, dwRead);
    CloseHandle(hFile);
    DeleteFileA(strOut);
    for (size_t nStart = 0, nEnd; (nEnd = strText.find('\n', nStart)) != std::string::npos; nStart = nEnd + 1)
        lines.push_back(CString(strText.substr(nStart, nEnd - nStart).c_str()));
    return lines;
}

CString BashWord(const char* pszText)
{
    CString strWord = "$'";
    for (const unsigned char* p = (const unsigned char*)pszText; *p; p++) {
        CString strByte;
        strByte.Format("\\x%02x", *p);
        strWord += strByte;
    }
    return strWord + "'";
}
