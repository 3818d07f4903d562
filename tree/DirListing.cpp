// Listing one level of a folder and turning the listing into tree nodes.
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "TreeNodes.h"
#include "resource.h"

void CFolderTreeDlg::GetOneLevelDir(CString strFolder, CArray<CString, CString&>& arrDirs)
{
    CFileFind finder;

    // A search that cannot start is shown in the error box; the list stays as it is.
    if (!finder.FindFile(JoinPath(strFolder, "*.*"))) {
        DWORD dwError = GetLastError();
        if (IsSearchFailure(dwError))
            ShowRefusal(CRefusal::System(dwError));
        return;
    }

    // The entry that the last FindNextFile reached is still handled.
    BOOL bWorking = TRUE;
    while (bWorking) {
        bWorking = finder.FindNextFile();
        if (!bWorking) {
            DWORD dwError = GetLastError();
            if (dwError != ERROR_NO_MORE_FILES) {
                ShowRefusal(CRefusal::System(dwError));
                break;
            }
        }
        if (finder.IsDots() || !finder.IsDirectory())
            continue;
        // Out of memory the list is emptied and the listing goes on.
        CollectFolders(m_hWnd, arrDirs, NULL, [&] {
            CString strPath = finder.GetFilePath();
            arrDirs.Add(strPath);
        });
    }

    finder.Close();
}

void CFolderTreeDlg::CreateRootSubNodes(const char* pszDrive, CArray<CString, CString&>& arrDirs)
{
    CTreeCtrl* pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    CRedrawOff noRedraw(pTree);

    // C:\Windows gives Windows: everything after the drive's root is the
    // one name the listing gave, also when it holds a backslash (best fit
    // turns a fullwidth reverse solidus into one). Each listed folder is a
    // node of its own, below a top node that has no other children yet.
    int nRootLength = (int)strlen(pszDrive) + 1;
    for (int i = 0; i < arrDirs.GetSize(); i++)
        InsertFolderNode(pTree, pTree->GetRootItem(), arrDirs[i].Mid(nRootLength));

    // Selecting the top node notifies the selection handler.
    pTree->SortChildren(m_hTopNode);
    pTree->SelectItem(m_hTopNode);
}

void CFolderTreeDlg::CreateSubNodes(const char* pszPath, CArray<CString, CString&>& arrDirs)
{
    CTreeCtrl* pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);

    // Find the node of the path, component by component below the
    // top node. A component that names no node means the path is not the
    // path of a node: nothing is changed rather than refilling an ancestor
    // with the listing of another folder.
    CString strRest = CString(pszPath).Mid(3);
    HTREEITEM hNode = pTree->GetRootItem();
    int nStart = 0;
    while (hNode && nStart <= strRest.GetLength()) {
        int nEnd = strRest.Find('\\', nStart);
        if (nEnd == -1)
            nEnd = strRest.GetLength();
        hNode = FindChildNode(pTree, hNode, strRest.Mid(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    if (!hNode)
        return;

    // The old children go; the listing comes in as bare names: what
    // follows the path and its backslash, whatever it holds.
    CRedrawOff noRedraw(pTree);
    DeleteRecursive(hNode);
    std::vector<CString> names;
    names.reserve(arrDirs.GetSize());
    int nPathLength = (int)strlen(pszPath) + 1;
    for (int i = 0; i < arrDirs.GetSize(); i++)
        names.push_back(arrDirs[i].Mid(nPathLength));

    // Siblings in the tree's alphabetical order; no selection, no expansion.
    // They are inserted in that order where it can be confirmed: the
    // control's own sort costs more than the listing of a large folder.
    bool bSorted = SortLikeTree(names);
    for (const CString& strName : names)
        InsertFolderNode(pTree, hNode, strName);
    if (!bSorted)
        pTree->SortChildren(hNode);
}

void CFolderTreeDlg::DeleteRecursive(HTREEITEM hItem)
{
    CTreeCtrl* pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    CRedrawOff noRedraw(pTree);
    DeleteChildNodes(pTree, hItem);
}
