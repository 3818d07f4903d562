// Pieces shared by the tests of the folder commands.
#include "folderops_support.h"

#include <algorithm>
#include <string>

HICON IconOf(Driver& d, int nID)
{
    HICON hIcon = NULL;
    d.OnUi([&] { hIcon = (HICON)SendMessageA(d.Item(nID), STM_GETICON, 0, 0); });
    return hIcon;
}

HWND StartMakeFolder(Driver& d, const CString& strParent)
{
    HTREEITEM hParent = NodeOf(d, strParent);
    EXPECT_NE(nullptr, hParent) << strParent;
    d.ClickNode(hParent);
    d.Command(IDC_STATIC_MAKEFOLDER, STN_CLICKED);
    return d.LabelEditor();
}

static void SnapshotW(const std::wstring& strFolder, std::vector<CString>& paths)
{
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW((strFolder + L"\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L".."))
            continue;
        std::wstring strPath = strFolder + L"\\" + fd.cFileName;
        char szUtf8[MAX_PATH * 3] = "";
        WideCharToMultiByte(CP_UTF8, 0, strPath.c_str(), -1, szUtf8, sizeof szUtf8, NULL, NULL);
        paths.push_back(szUtf8);
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            SnapshotW(strPath, paths);
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
}

std::vector<CString> Snapshot(const CString& strRoot)
{
    std::vector<CString> paths;
    WCHAR szWide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, strRoot, -1, szWide, MAX_PATH);
    SnapshotW(szWide, paths);
    std::sort(paths.begin(), paths.end(), [](const CString& a, const CString& b) { return a.Compare(b) < 0; });
    return paths;
}
