// Tree navigation: the path of a node, selection, clicks, and opening a
// node by name while the initial path is followed.
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "TreeNodes.h"
#include "UserTexts.h"
#include "resource.h"

CString CFolderTreeDlg::GetNodePath(HTREEITEM hNode)
{
    CTreeCtrl* pTree = GetTree();
    CString strPath = pTree->GetItemText(hNode);
    if (strPath.Find('\\') == -1)
        strPath.Insert(0, '\\');
    for (HTREEITEM hParent = pTree->GetParentItem(hNode); hParent; hParent = pTree->GetParentItem(hParent)) {
        CString strLabel = pTree->GetItemText(hParent);
        if (strLabel.Find('\\') == -1)
            strLabel.Insert(0, '\\');
        strPath.Insert(0, strLabel);
        strPath.Replace("\\\\", "\\");
    }
    return strPath;
}

void CFolderTreeDlg::OnSelchangedFolderTree(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    CTreeCtrl* pTree = GetTree();
    HTREEITEM hSelected = pTree->GetSelectedItem();
    if (!hSelected)
        return;

    CString strPath = GetNodePath(hSelected);
    // While the delete command removes its node, the control moves the
    // selection before it has finished with that node; relisting the new
    // selection then could delete the same node a second time. The node
    // that the opening has just listed is not listed again.
    // Windows selects the node whose label it opens for editing: a new
    // folder's node has no folder to list until its name is given.
    bool bListed = hSelected == m_hJustListed;
    m_hJustListed = NULL;
    bool bNewFolder = m_bNewFolderPending && hSelected == m_hNewFolderItem;
    if (pTree->GetParentItem(hSelected) && !m_bDeleteBusy && !bListed && !bNewFolder)
        RelistNode(hSelected, strPath);
    SetDlgItemText(IDC_EDIT_PATH, strPath);
}

void CFolderTreeDlg::RelistNode(HTREEITEM hNode, const CString& strPath, CPathSiblings* pLater)
{
    // A label that may name another folder would list that folder's
    // subfolders as this node's own: the node keeps no children, and the
    // error box says why.
    CRefusal refusal = CheckNodeNames(GetTree(), hNode, VarnetText::NOT_LISTED);
    if (refusal) {
        DeleteRecursive(hNode);
        ShowRefusal(refusal);
        return;
    }
    CArray<CString, CString&> arrNames;
    CArray<int, int> arrVerdicts;
    GetOneLevelNames(strPath, arrNames, arrVerdicts);
    CreateSubNodes(hNode, arrNames, arrVerdicts, pLater);
}

void CFolderTreeDlg::OnClickFolderTree(NMHDR* pNMHDR, LRESULT* pResult)
{
    m_bTreeClicked = 1;
    SetDlgItemText(IDC_EDIT_ERROR, "");
    *pResult = 0;
}

void CFolderTreeDlg::OnRightClick_FolderTree(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    CTreeCtrl* pTree = GetTree();
    HTREEITEM hSelected = pTree->GetSelectedItem();
    if (!hSelected)
        return;
    CRedrawOff noRedraw(pTree);
    for (HTREEITEM hChild = pTree->GetChildItem(hSelected); hChild; hChild = pTree->GetNextSiblingItem(hChild))
        RecursiveExpandCollapse(hChild, 0);
}

void CFolderTreeDlg::RecursiveExpandCollapse(HTREEITEM hItem, int bExpand)
{
    CTreeCtrl* pTree = GetTree();
    if (!pTree->GetChildItem(hItem))
        return;
    pTree->Expand(hItem, bExpand ? TVE_EXPAND : TVE_COLLAPSE);
    for (HTREEITEM hChild = pTree->GetChildItem(hItem); hChild; hChild = pTree->GetNextSiblingItem(hChild))
        if (pTree->GetChildItem(hChild))
            RecursiveExpandCollapse(hChild, 1);
}

void CFolderTreeDlg::OpenInPath(CString& strName, HTREEITEM& hNode, CPathSiblings* pLater)
{
    // No drive was chosen: there is nothing to open below.
    if (!hNode)
        return;
    CTreeCtrl* pTree = GetTree();

    // A missing or empty name leaves the node where it is.
    HTREEITEM hFound = FindChildNode(pTree, hNode, strName);
    if (!hFound)
        return;
    hNode = hFound;

    // The found node is listed, expanded and shown; the selection stays.
    CRedrawOff noRedraw(pTree);
    CString strPath = GetNodePath(hNode);
    if (pTree->GetParentItem(hNode))
        RelistNode(hNode, strPath, pLater);
    pTree->Expand(hNode, TVE_EXPAND);
    SetDlgItemText(IDC_EDIT_PATH, strPath);
}
