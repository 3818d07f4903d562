// Listing one level of a folder and turning the listing into tree nodes.
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "TreeNodes.h"
#include "resource.h"

void CFolderTreeDlg::GetOneLevelNames(const CString& strFolder, CArray<CString, CString&>& arrNames,
                                      CArray<int, int>& arrVerdicts)
{
    // Listed with the wide functions, which tell whether each name is
    // exact. A search that cannot start, or stops part-way, is shown in the
    // error box; what it found is kept.
    std::vector<CListedName> names;
    if (DWORD dwError = ListFolderWide(strFolder, names))
        ShowRefusal(CRefusal::System(dwError));

    for (CListedName& name : names) {
        if (!name.IsDirectory())
            continue;
        // Out of memory the list is emptied and the listing goes on.
        CollectFolders(m_hWnd, arrNames, &arrVerdicts, [&] {
            arrNames.Add(name.strAnsi);
            arrVerdicts.Add((int)LabelVerdict(name.nProblem));
        });
    }
}

void CFolderTreeDlg::GetOneLevelDir(CString strFolder, CArray<CString, CString&>& arrDirs)
{
    // The full paths of the folder's subfolders, for a caller that wants
    // them as such.
    CArray<CString, CString&> arrNames;
    CArray<int, int> arrVerdicts;
    GetOneLevelNames(strFolder, arrNames, arrVerdicts);
    for (int i = 0; i < arrNames.GetSize(); i++)
        CollectFolders(m_hWnd, arrDirs, NULL, [&] {
            CString strPath = JoinPath(strFolder, arrNames[i]);
            arrDirs.Add(strPath);
        });
}

void CFolderTreeDlg::CreateRootSubNodes(const char* pszDrive, CArray<CString, CString&>& arrDirs)
{
    CTreeCtrl* pTree = GetTree();
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
    CTreeCtrl* pTree = GetTree();

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

    // The listing comes in as bare names: what follows the path and its
    // backslash, whatever it holds. Nothing is known about them.
    CArray<CString, CString&> arrNames;
    CArray<int, int> arrVerdicts;
    int nPathLength = (int)strlen(pszPath) + 1;
    for (int i = 0; i < arrDirs.GetSize(); i++) {
        CString strName = arrDirs[i].Mid(nPathLength);
        arrNames.Add(strName);
        arrVerdicts.Add(0);
    }
    CreateSubNodes(hNode, arrNames, arrVerdicts);
}

void CFolderTreeDlg::CreateSubNodes(HTREEITEM hNode, CArray<CString, CString&>& arrNames,
                                    CArray<int, int>& arrVerdicts, CPathSiblings* pLater)
{
    // The old children go.
    CTreeCtrl* pTree = GetTree();
    CRedrawOff noRedraw(pTree);
    DeleteRecursive(hNode);

    // Siblings in the tree's alphabetical order; no selection, no expansion.
    // They are inserted in that order where it can be confirmed: the
    // control's own sort costs more than the listing of a large folder.
    // Each keeps what the listing said about its name. While a path is
    // opened, the siblings of its next folder's node wait (CPathSiblings).
    int nCount = (int)arrNames.GetSize();
    std::vector<int> order;
    bool bSorted = OrderLikeTree(arrNames.GetData(), nCount, order);
    int nNext = bSorted && pLater ? pLater->FindNext(arrNames.GetData(), order) : -1;
    for (int i = 0; i < nCount; i++) {
        int n = bSorted ? order[i] : i;
        LPARAM lVerdict = n < arrVerdicts.GetSize() ? arrVerdicts[n] : 0;
        if (nNext == -1 || i == nNext)
            InsertFolderNode(pTree, hNode, arrNames[n], lVerdict);
        else
            pLater->Keep(hNode, i < nNext, arrNames[n], lVerdict);
    }
    if (!bSorted)
        pTree->SortChildren(hNode);
}

void CFolderTreeDlg::DeleteRecursive(HTREEITEM hItem)
{
    CTreeCtrl* pTree = GetTree();
    CRedrawOff noRedraw(pTree);
    DeleteChildNodes(pTree, hItem);
}
