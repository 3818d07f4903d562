// Shared pieces of the tests of Expand Recursive and the keys.
#include "scan_support.h"

const char* const PROGRESS_CAPTION = "Progress and Kill Dialog";

HTREEITEM SelectNodeOf(Driver& d, const CString& strPath)
{
    HTREEITEM hNode = NodeOf(d, strPath);
    EXPECT_NE(nullptr, hNode) << "no node for " << strPath;
    if (hNode)
        d.SelectNode(hNode);
    return hNode;
}

bool WaitForCommandEnd(Driver& d, DWORD nTimeoutMs)
{
    DWORD dwStart = GetTickCount();
    while (d.WaitForDialog(PROGRESS_CAPTION, 0)) {
        if (GetTickCount() - dwStart > nTimeoutMs)
            return false;
        Sleep(20);
    }
    // Once the progress dialog has gone, the command runs to its end
    // without a message loop, so this call is answered after it.
    d.Sync();
    return true;
}

void ExpandRecursive(Driver& d)
{
    d.Command(IDC_BN_EXPAND);
    EXPECT_TRUE(WaitForCommandEnd(d)) << "the progress dialog did not close by itself";
}

// Runs on the user-interface thread.
static void AddSubtree(CTreeCtrl* pTree, HTREEITEM hNode, const CString& strPrefix, std::vector<CString>& paths)
{
    for (HTREEITEM hChild = pTree->GetChildItem(hNode); hChild; hChild = pTree->GetNextSiblingItem(hChild)) {
        CString strPath = strPrefix + pTree->GetItemText(hChild);
        paths.push_back(strPath);
        AddSubtree(pTree, hChild, strPath + "\\", paths);
    }
}

std::vector<CString> Subtree(Driver& d, HTREEITEM hNode)
{
    std::vector<CString> paths;
    d.OnUi([&] { AddSubtree((CTreeCtrl*)CWnd::FromHandle(d.Item(IDC_FOLDER_TREE)), hNode, "", paths); });
    return paths;
}

bool IsFullyExpanded(Driver& d, HTREEITEM hNode)
{
    bool bAll = true;
    d.OnUi([&] {
        HWND hTree = d.Item(IDC_FOLDER_TREE);
        std::function<void(HTREEITEM)> check = [&](HTREEITEM h) {
            HTREEITEM hChild = TreeView_GetChild(hTree, h);
            if (hChild && !(TreeView_GetItemState(hTree, h, TVIS_EXPANDED) & TVIS_EXPANDED))
                bAll = false;
            for (; hChild; hChild = TreeView_GetNextSibling(hTree, hChild))
                check(hChild);
        };
        check(hNode);
    });
    return bAll;
}

static void AddFolders(const CString& strFolder, const CString& strPrefix, std::vector<CString>& paths)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(strFolder + "\\*.*", &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, ".."))
            continue;
        paths.push_back(strPrefix + fd.cFileName);
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            AddFolders(strFolder + "\\" + fd.cFileName, strPrefix + fd.cFileName + "\\", paths);
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
}

std::vector<CString> FoldersOnDisk(const CString& strFolder)
{
    std::vector<CString> paths;
    AddFolders(strFolder, "", paths);
    return paths;
}
