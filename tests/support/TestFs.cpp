// Test folders.
#include "TestFs.h"

static CString ProgramName()
{
    char szPath[MAX_PATH] = "";
    GetModuleFileNameA(NULL, szPath, sizeof szPath);
    CString strName(szPath);
    strName = strName.Mid(strName.ReverseFind('\\') + 1);
    int nDot = strName.ReverseFind('.');
    return nDot > 0 ? strName.Left(nDot) : strName;
}

TestFolder::TestFolder(const char* pszName, const char* pszDrive)
{
    m_strPath.Format("%s\\%s-%lu\\%s", pszDrive, (const char*)ProgramName(), GetCurrentProcessId(), pszName);
    RemoveTree(m_strPath);
    MakeDirsAt(m_strPath);
}

TestFolder::~TestFolder()
{
    RemoveTree(m_strPath);
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
    for (int i = 3; i <= strPath.GetLength(); i++)
        if (i == strPath.GetLength() || strPath[i] == '\\')
            CreateDirectoryA(strPath.Left(i), NULL);
    return IsFolder(strPath);
}

void RemoveTree(const CString& strPath)
{
    DWORD dwAttributes = GetFileAttributesA(strPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return;
    // A link is left alone: under Wine removing a link to an empty folder
    // removes the folder instead. The build's test drives are emptied
    // before each run.
    if (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return;
    SetFileAttributesA(strPath, FILE_ATTRIBUTE_NORMAL);
    if (!(dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(strPath);
        return;
    }
    {
        WIN32_FIND_DATAA fd;
        HANDLE hFind = FindFirstFileA(strPath + "\\*.*", &fd);
        if (hFind != INVALID_HANDLE_VALUE) {
            do {
                if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, ".."))
                    RemoveTree(strPath + "\\" + fd.cFileName);
            } while (FindNextFileA(hFind, &fd));
            FindClose(hFind);
        }
    }
    RemoveDirectoryA(strPath);
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
